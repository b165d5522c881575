// Temporary: replaced by the text implementation.
#include "host/gdi/GdiInternal.h"

namespace vcl {

void FreeFontCache(FontCache*) {}

HFONT StockFont(int index) {
  static HFONT fonts[18] = {};
  if (index < 0 || index >= 18) return nullptr;
  if (!fonts[index]) {
    LOGFONTW lf;
    lf.lfHeight = -11;
    const char16_t* face = u"Tahoma";
    for (int i = 0; face[i]; ++i) lf.lfFaceName[i] = face[i];
    fonts[index] = CreateFontIndirectW(lf);
    fonts[index]->Stock = true;
  }
  return fonts[index];
}

}  // namespace vcl
