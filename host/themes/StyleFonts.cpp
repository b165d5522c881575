#include "host/themes/StyleFonts.h"

#include <algorithm>
#include <map>
#include <tuple>

#include "host/gdi/GdiText.h"
#include "host/win/WinUser.h"

namespace vcl {

namespace {

using TFontKey = std::tuple<String, int, int, bool, int>;  // face, height, weight, italic, quality

LOGFONTW SystemFont(TStyleFontKind kind, int dpi) {
  NONCLIENTMETRICSW m;
  SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof m, &m, 0, UINT(dpi));
  switch (kind) {
    case sfkCaption: return m.lfCaptionFont;
    case sfkSmallCaption: return m.lfSmCaptionFont;
    case sfkMenu: return m.lfMenuFont;
    case sfkHint: return m.lfStatusFont;
    default: return m.lfMessageFont;
  }
}

}  // namespace

HFONT StyleFontHandle(TCustomStyleServices* style, TStyleFontKind kind, int dpi, bool bold) {
  if (dpi <= 0) dpi = 96;
  LOGFONTW lf = SystemFont(kind, dpi);
  TStyleFontSpec spec = style ? style->GetStyleFont(kind) : TStyleFontSpec{};
  if (spec.Size > 0) {
    size_t n = std::min(spec.Face.size(), size_t(LF_FACESIZE - 1));
    std::fill(std::begin(lf.lfFaceName), std::end(lf.lfFaceName), Char(0));
    std::copy_n(spec.Face.begin(), n, lf.lfFaceName);
    lf.lfHeight = -MulDiv(spec.Size, dpi, 72);
    lf.lfWeight = spec.Bold ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = spec.Italic ? 1 : 0;
  }
  if (bold) lf.lfWeight = FW_BOLD;
  lf.lfQuality = ANTIALIASED_QUALITY;
  static auto* cache = new std::map<TFontKey, HFONT>;  // process lifetime
  TFontKey key{String(lf.lfFaceName), int(lf.lfHeight), int(lf.lfWeight), lf.lfItalic != 0, int(lf.lfQuality)};
  auto it = cache->find(key);
  if (it != cache->end()) return it->second;
  HFONT f = CreateFontIndirectW(lf);
  cache->emplace(key, f);
  return f;
}

}  // namespace vcl
