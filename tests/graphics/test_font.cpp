// TFont sizes and handles, pens and brushes, colour names.
#include <string>

#include "GraphicsTest.h"
#include "host/gdi/GdiText.h"

using namespace vcl;
using namespace gfxtest;

TEST(Font, SizeAndHeightConvertAtThePixelDensity) {
  TFont f;
  EXPECT_EQ(f.Name(), u"Tahoma");
  EXPECT_EQ(f.Height(), -11);
  EXPECT_EQ(f.Size(), 8);
  struct Case {
    int ppi, size, height;
  };
  // Height = -MulDiv(Size, PPI, 72), halves away from zero.
  for (Case c : {Case{96, 8, -11}, {96, 9, -12}, {96, 10, -13}, {96, 12, -16}, {96, 7, -9},
                 {144, 8, -16}, {144, 9, -18}, {144, 10, -20}, {144, 11, -22}, {120, 9, -15}}) {
    f.SetPixelsPerInch(c.ppi);
    f.SetSize(c.size);
    EXPECT_EQ(f.Height(), c.height) << c.size << " pt at " << c.ppi;
    EXPECT_EQ(f.Size(), c.size) << c.size << " pt at " << c.ppi;
  }
  // Size = -MulDiv(Height, 72, PPI): -11 px is 5.5 pt at 144 PPI, which rounds to 6.
  f.SetPixelsPerInch(144);
  f.SetHeight(-11);
  EXPECT_EQ(f.Size(), 6);
  f.SetPixelsPerInch(96);
  EXPECT_EQ(f.Height(), -11);  // changing the density keeps the height
  EXPECT_EQ(f.Size(), 8);
  f.SetHeight(16);  // a cell height reads as a negative size
  EXPECT_EQ(f.Size(), -12);
}

TEST(Font, EveryRealChangeFiresOnChangeOnce) {
  TFont f;
  TCounter n;
  f.SetOnChange(n.Event());
  f.SetName(u"Tahoma");  // unchanged
  f.SetHeight(-11);
  f.SetSize(8);
  f.SetColor(clWindowText);
  f.SetStyle({});
  EXPECT_EQ(n.Count, 0);
  f.SetName(u"DejaVu Sans");
  f.SetSize(12);
  f.SetStyle({fsBold, fsUnderline});
  f.SetColor(clRed);
  f.SetCharset(0);
  f.SetQuality(fqNonAntialiased);
  f.SetOrientation(900);
  f.SetPitch(fpFixed);
  EXPECT_EQ(n.Count, 8);

  TFont g;
  g.SetPixelsPerInch(144);
  g.SetHeight(-24);
  g.SetStyle({fsItalic});
  f.Assign(&g);
  EXPECT_EQ(n.Count, 9);
  EXPECT_EQ(f.Height(), -16);  // 144 -> 96 PPI
  EXPECT_EQ(f.Style(), TFontStyles{fsItalic});
  EXPECT_EQ(f.Name(), u"Tahoma");
  EXPECT_EQ(f.Color(), clWindowText);
  TPen p;
  EXPECT_THROW(f.Assign(&p), EConvertError);
}

TEST(Font, TheHandleIsMadeFromTheCurrentAttributes) {
  TFont f;
  f.SetName(u"DejaVu Sans");
  f.SetHeight(-15);
  f.SetStyle({fsBold, fsItalic, fsStrikeOut});
  f.SetOrientation(450);
  f.SetQuality(fqClearType);
  f.SetPitch(fpVariable);
  f.SetCharset(SYMBOL_CHARSET);
  LOGFONTW lf;
  ASSERT_TRUE(GetObject(f.Handle(), &lf));
  EXPECT_EQ(String(lf.lfFaceName), u"DejaVu Sans");
  EXPECT_EQ(lf.lfHeight, -15);
  EXPECT_EQ(lf.lfWeight, FW_BOLD);
  EXPECT_EQ(lf.lfItalic, 1);
  EXPECT_EQ(lf.lfUnderline, 0);
  EXPECT_EQ(lf.lfStrikeOut, 1);
  EXPECT_EQ(lf.lfEscapement, 450);
  EXPECT_EQ(lf.lfQuality, CLEARTYPE_QUALITY);
  EXPECT_EQ(lf.lfPitchAndFamily & 3, VARIABLE_PITCH);
  EXPECT_EQ(lf.lfCharSet, SYMBOL_CHARSET);
  EXPECT_EQ(f.Handle(), f.Handle());  // made once
  f.SetStyle({});
  ASSERT_TRUE(GetObject(f.Handle(), &lf));
  EXPECT_EQ(lf.lfWeight, FW_NORMAL);

  // Adopting a handle takes over its attributes.
  TFont g;
  g.SetHandle(f.Handle());
  EXPECT_EQ(g.Name(), u"DejaVu Sans");
  EXPECT_EQ(g.Height(), -15);
  EXPECT_EQ(g.Orientation(), 450);
  EXPECT_EQ(g.Pitch(), fpVariable);
}

TEST(PenAndBrush, HandlesFollowTheProperties) {
  TPen p;
  EXPECT_EQ(p.Color(), clBlack);
  EXPECT_EQ(p.Width(), 1);
  TCounter n;
  p.SetOnChange(n.Event());
  p.SetWidth(3);
  p.SetStyle(psDot);
  p.SetMode(pmXor);
  p.SetColor(clBtnShadow);
  p.SetColor(clBtnShadow);
  EXPECT_EQ(n.Count, 4);
  EXPECT_NE(p.Handle(), nullptr);
  EXPECT_EQ(PenModeToRop2(pmXor), R2_XORPEN);
  EXPECT_EQ(PenModeToRop2(pmNotCopy), R2_NOTCOPYPEN);

  TBrush b;
  EXPECT_EQ(b.Color(), clWhite);
  b.SetStyle(bsCross);
  TBitmap t;
  Make32(t, 8, 8, 0xFFFFFFFF);
  t.Canvas()->Brush()->Assign(&b);
  t.Canvas()->Brush()->SetColor(clRed);
  t.Canvas()->Brush()->SetStyle(bsCross);
  t.Canvas()->FillRect(Rect(0, 0, 8, 8));
  int red = 0;
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) red += Px(t, x, y) == 0xFFFF0000;
  EXPECT_GT(red, 0);
  EXPECT_LT(red, 64);  // hatched, not solid

  // A pattern brush repeats the bitmap.
  TBitmap pattern;
  Make32(pattern, 2, 1, 0xFF0000FF);
  Px(pattern, 1, 0) = 0xFF00FF00;
  t.Canvas()->Brush()->SetBitmap(&pattern);
  t.Canvas()->FillRect(Rect(0, 0, 8, 8));
  EXPECT_EQ(Px(t, 0, 3), 0xFF0000FFu);
  EXPECT_EQ(Px(t, 5, 3), 0xFF00FF00u);
  t.Canvas()->Brush()->SetBitmap(nullptr);
}

TEST(Colors, NamesOfEveryNamedColour) {
  const std::pair<TColor, const char16_t*> named[] = {
      {clBlack, u"clBlack"}, {clMaroon, u"clMaroon"}, {clGreen, u"clGreen"},
      {clOlive, u"clOlive"}, {clNavy, u"clNavy"}, {clPurple, u"clPurple"}, {clTeal, u"clTeal"},
      {clGray, u"clGray"}, {clSilver, u"clSilver"}, {clRed, u"clRed"}, {clLime, u"clLime"},
      {clYellow, u"clYellow"}, {clBlue, u"clBlue"}, {clFuchsia, u"clFuchsia"},
      {clAqua, u"clAqua"}, {clWhite, u"clWhite"}, {clMoneyGreen, u"clMoneyGreen"},
      {clSkyBlue, u"clSkyBlue"}, {clCream, u"clCream"}, {clMedGray, u"clMedGray"},
      {clScrollBar, u"clScrollBar"}, {clBackground, u"clBackground"},
      {clActiveCaption, u"clActiveCaption"}, {clInactiveCaption, u"clInactiveCaption"},
      {clMenu, u"clMenu"}, {clWindow, u"clWindow"}, {clWindowFrame, u"clWindowFrame"},
      {clMenuText, u"clMenuText"}, {clWindowText, u"clWindowText"},
      {clCaptionText, u"clCaptionText"}, {clActiveBorder, u"clActiveBorder"},
      {clInactiveBorder, u"clInactiveBorder"}, {clAppWorkSpace, u"clAppWorkSpace"},
      {clHighlight, u"clHighlight"}, {clHighlightText, u"clHighlightText"},
      {clBtnFace, u"clBtnFace"}, {clBtnShadow, u"clBtnShadow"}, {clGrayText, u"clGrayText"},
      {clBtnText, u"clBtnText"}, {clInactiveCaptionText, u"clInactiveCaptionText"},
      {clBtnHighlight, u"clBtnHighlight"}, {cl3DDkShadow, u"cl3DDkShadow"},
      {cl3DLight, u"cl3DLight"}, {clInfoText, u"clInfoText"}, {clInfoBk, u"clInfoBk"},
      {clHotLight, u"clHotLight"}, {clGradientActiveCaption, u"clGradientActiveCaption"},
      {clGradientInactiveCaption, u"clGradientInactiveCaption"},
      {clMenuHighlight, u"clMenuHighlight"}, {clMenuBar, u"clMenuBar"}, {clNone, u"clNone"},
      {clDefault, u"clDefault"}};
  for (auto [color, name] : named) {
    EXPECT_EQ(ColorToString(color), name);
    EXPECT_EQ(StringToColor(name), color) << StringToUtf8(name);
  }
  // Aliases read, the usual names are written.
  EXPECT_EQ(StringToColor(u"clLtGray"), clSilver);
  EXPECT_EQ(StringToColor(u"CLBTNFACE"), clBtnFace);
  EXPECT_EQ(ColorToString(clDkGray), u"clGray");
  EXPECT_EQ(ColorToString(0x123456), u"$00123456");
  EXPECT_EQ(StringToColor(u"$00123456"), 0x123456);
  EXPECT_EQ(StringToColor(u"255"), clRed);
  try {
    StringToColor(u"clBogus");
    ADD_FAILURE() << "accepted";
  } catch (const EConvertError& e) {
    EXPECT_NE(std::string(e.what()).find("clBogus"), std::string::npos) << e.what();
  }
}
