// Font objects. Text layout resources are attached lazily by the text code.
#include <algorithm>
#include <cstring>

#include "host/gdi/GdiInternal.h"

namespace vcl {

void FreeFontCache(FontCache* cache);

FontObject::~FontObject() {
  if (Cache) FreeFontCache(Cache);
}

HFONT CreateFontIndirectW(const LOGFONTW& lf) {
  auto* f = new FontObject;
  f->Log = lf;
  f->Log.lfFaceName[LF_FACESIZE - 1] = 0;
  return f;
}

HFONT CreateFontW(int height, int width, int escapement, int orientation, int weight,
                  DWORD italic, DWORD underline, DWORD strikeOut, DWORD charSet,
                  DWORD outPrecision, DWORD clipPrecision, DWORD quality, DWORD pitchAndFamily,
                  const Char* faceName) {
  LOGFONTW lf;
  lf.lfHeight = height;
  lf.lfWidth = width;
  lf.lfEscapement = escapement;
  lf.lfOrientation = orientation;
  lf.lfWeight = weight;
  lf.lfItalic = BYTE(italic != 0);
  lf.lfUnderline = BYTE(underline != 0);
  lf.lfStrikeOut = BYTE(strikeOut != 0);
  lf.lfCharSet = BYTE(charSet);
  lf.lfOutPrecision = BYTE(outPrecision);
  lf.lfClipPrecision = BYTE(clipPrecision);
  lf.lfQuality = BYTE(quality);
  lf.lfPitchAndFamily = BYTE(pitchAndFamily);
  if (faceName) {
    int i = 0;
    for (; i < LF_FACESIZE - 1 && faceName[i]; ++i) lf.lfFaceName[i] = faceName[i];
    lf.lfFaceName[i] = 0;
  }
  return CreateFontIndirectW(lf);
}

}  // namespace vcl
