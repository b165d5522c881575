// Names of host colours and character sets for window descriptions.
#include <iterator>

#include "host/classes/TypInfo.h"
#include "host/graphics/GraphicsObjects.h"
#include "host/rtl/NumFormat.h"

namespace vcl {

namespace {

// The first entry of a value is the name it is written with; later ones are accepted aliases.
constexpr TIdentMapEntry kColors[] = {
    {clBlack, u"clBlack"},
    {clMaroon, u"clMaroon"},
    {clGreen, u"clGreen"},
    {clOlive, u"clOlive"},
    {clNavy, u"clNavy"},
    {clPurple, u"clPurple"},
    {clTeal, u"clTeal"},
    {clGray, u"clGray"},
    {clSilver, u"clSilver"},
    {clRed, u"clRed"},
    {clLime, u"clLime"},
    {clYellow, u"clYellow"},
    {clBlue, u"clBlue"},
    {clFuchsia, u"clFuchsia"},
    {clAqua, u"clAqua"},
    {clWhite, u"clWhite"},
    {clMoneyGreen, u"clMoneyGreen"},
    {clSkyBlue, u"clSkyBlue"},
    {clCream, u"clCream"},
    {clMedGray, u"clMedGray"},
    {clActiveBorder, u"clActiveBorder"},
    {clActiveCaption, u"clActiveCaption"},
    {clAppWorkSpace, u"clAppWorkSpace"},
    {clBackground, u"clBackground"},
    {clBtnFace, u"clBtnFace"},
    {clBtnHighlight, u"clBtnHighlight"},
    {clBtnShadow, u"clBtnShadow"},
    {clBtnText, u"clBtnText"},
    {clCaptionText, u"clCaptionText"},
    {clDefault, u"clDefault"},
    {clGradientActiveCaption, u"clGradientActiveCaption"},
    {clGradientInactiveCaption, u"clGradientInactiveCaption"},
    {clGrayText, u"clGrayText"},
    {clHighlight, u"clHighlight"},
    {clHighlightText, u"clHighlightText"},
    {clHotLight, u"clHotLight"},
    {clInactiveBorder, u"clInactiveBorder"},
    {clInactiveCaption, u"clInactiveCaption"},
    {clInactiveCaptionText, u"clInactiveCaptionText"},
    {clInfoBk, u"clInfoBk"},
    {clInfoText, u"clInfoText"},
    {clMenu, u"clMenu"},
    {clMenuBar, u"clMenuBar"},
    {clMenuHighlight, u"clMenuHighlight"},
    {clMenuText, u"clMenuText"},
    {clNone, u"clNone"},
    {clScrollBar, u"clScrollBar"},
    {cl3DDkShadow, u"cl3DDkShadow"},
    {cl3DLight, u"cl3DLight"},
    {clWindow, u"clWindow"},
    {clWindowFrame, u"clWindowFrame"},
    {clWindowText, u"clWindowText"},
    // aliases
    {clLtGray, u"clLtGray"},
    {clDkGray, u"clDkGray"},
};

constexpr TIdentMapEntry kCharsets[] = {
    {0, u"ANSI_CHARSET"},        {1, u"DEFAULT_CHARSET"},     {2, u"SYMBOL_CHARSET"},
    {77, u"MAC_CHARSET"},        {128, u"SHIFTJIS_CHARSET"},  {129, u"HANGEUL_CHARSET"},
    {130, u"JOHAB_CHARSET"},     {134, u"GB2312_CHARSET"},    {136, u"CHINESEBIG5_CHARSET"},
    {161, u"GREEK_CHARSET"},     {162, u"TURKISH_CHARSET"},   {163, u"VIETNAMESE_CHARSET"},
    {177, u"HEBREW_CHARSET"},    {178, u"ARABIC_CHARSET"},    {186, u"BALTIC_CHARSET"},
    {204, u"RUSSIAN_CHARSET"},   {222, u"THAI_CHARSET"},      {238, u"EASTEUROPE_CHARSET"},
    {255, u"OEM_CHARSET"},
};

}  // namespace

void RegisterColorIdents() {
  static const bool done = [] {
    RegisterIntegerConsts(u"TColor", kColors);
    return true;
  }();
  (void)done;
}

void RegisterCharsetIdents() {
  static const bool done = [] {
    RegisterIntegerConsts(u"TFontCharset", kCharsets);
    return true;
  }();
  (void)done;
}

bool ColorToIdent(TColor color, String& ident) {
  RegisterColorIdents();
  return IntToIdent(u"TColor", color, ident);
}

bool IdentToColor(StringView ident, TColor& color) {
  RegisterColorIdents();
  Integer v = 0;
  if (!IdentToInt(u"TColor", ident, v)) return false;
  color = v;
  return true;
}

String ColorToString(TColor color) {
  String s;
  if (ColorToIdent(color, s)) return s;
  return u"$" + IntToHex(color, 8);
}

TColor StringToColor(StringView s) {
  TColor c;
  if (IdentToColor(s, c)) return c;
  Integer v;
  if (TryStrToInt(s, v)) return v;
  throw EConvertError(u"'" + String(s) + u"' is not a valid colour");
}

}  // namespace vcl
