// Colours of styled parts, colour arithmetic, and the single-line text helpers.
#include "PaintTest.h"
#include "TestControls.h"
#include "draw/kxStyledPaintText.h"

using namespace vcl;
using namespace kx;
using namespace painttest;

class StyledText : public PaintTest {};

TEST_F(StyledText, PartColoursFollowTheStyleOrTheSystem) {
  TCustomStyleServices* glow = Use(u"Glow");
  auto text = [&](TThemedElementDetails d) {
    TColor c = clNone;
    EXPECT_TRUE(glow->GetElementColor(d, ecTextColor, c));
    return c;
  };
  EXPECT_EQ(GetButtonTextColor(kxsHot, nullptr), text(GetElementDetails(tbPushButtonHot)));
  EXPECT_EQ(GetButtonTextColor(kxsFocused, nullptr),
            text(GetElementDetails(tbPushButtonDefaulted)));
  EXPECT_EQ(GetToolButtonTextColor(kxsFocused, nullptr), text(GetElementDetails(ttbButtonHot)));
  EXPECT_EQ(GetCheckBoxTextColor(kxsPressed, nullptr),
            text(GetElementDetails(tbCheckBoxUncheckedPressed)));
  EXPECT_EQ(GetHeaderTextColor(kxsPressed, nullptr), text(GetElementDetails(tgFixedCellPressed)));
  EXPECT_EQ(GetTabTextColor(kxsFocused, nullptr), text(GetElementDetails(ttTabItemSelected)));
  EXPECT_EQ(GetTabTextColor(kxsPressed, nullptr), text(GetElementDetails(ttTabItemNormal)));
  EXPECT_EQ(GetTabButtonTextColor(kxsPressed, nullptr),
            text(GetElementDetails(ttTabItemSelected)));
  EXPECT_EQ(GetSelectionTextColor(nullptr), text(GetElementDetails(tgCellSelected)));
  EXPECT_EQ(GetCaptionTextColor(kxsDisabled, nullptr),
            text(GetElementDetails(twCaptionInactive)));
  EXPECT_EQ(GetMenuItemTextColor(kxsHot, nullptr), text(GetElementDetails(tmPopupItemHot)));
  // The hot tab and the normal one of this style differ, so the mapping is visible.
  EXPECT_NE(GetTabTextColor(kxsHot, nullptr), GetTabTextColor(kxsNormal, nullptr));
  // Edit colours: the style's edit colour, its disabled colour only when disabled.
  EXPECT_EQ(GetEditColor(kxsNormal, nullptr), glow->GetStyleColor(scEdit));
  EXPECT_EQ(GetEditColor(kxsFocused, nullptr), glow->GetStyleColor(scEdit));
  EXPECT_EQ(GetEditColor(kxsDisabled, nullptr), glow->GetStyleColor(scEditDisabled));
  EXPECT_EQ(GetEditTextColor(kxsHot, nullptr), glow->GetStyleFontColor(sfEditBoxTextNormal));

  // A control with its own style answers in that style while another is active.
  drawtest::TGlowControl sky(nullptr);
  sky.SetStyleName(u"Sky");
  EXPECT_EQ(GetEditColor(kxsNormal, &sky), TStyleManager::Style(u"Sky")->GetStyleColor(scEdit));

  // The system style: push-button captions keep the system colours.
  Use(u"Windows");
  EXPECT_EQ(GetButtonTextColor(kxsNormal, nullptr), clBtnText);
  EXPECT_EQ(GetButtonTextColor(kxsDisabled, nullptr), clGrayText);
  EXPECT_EQ(GetEditColor(kxsDisabled, nullptr), clWindow);
  SetWindowsVersion(10, 0, 22000);
  EXPECT_EQ(GetSelectionTextColor(nullptr), clWindowText);
  SetWindowsVersion(5, 1, 0);
  EXPECT_EQ(GetSelectionTextColor(nullptr), clHighlightText);
  SetWindowsVersion(10, 0, 19045);

  UseClassic();
  EXPECT_EQ(GetEditTextColor(kxsDisabled, nullptr), clGrayText);
  EXPECT_EQ(GetTabTextColor(kxsHot, nullptr), clBtnText);
  EXPECT_EQ(GetSelectionTextColor(nullptr), clHighlightText);
  EXPECT_EQ(GetCaptionTextColor(kxsNormal, nullptr), clCaptionText);
  EXPECT_EQ(GetCaptionTextColor(kxsDisabled, nullptr), clInactiveCaptionText);
  EXPECT_EQ(GetMenuItemTextColor(kxsHot, nullptr), clHighlightText);
  EXPECT_EQ(GetMenuItemTextColor(kxsDisabled, nullptr), clGrayText);
}

TEST_F(StyledText, ColourArithmetic) {
  EXPECT_EQ(MiddleColor(TColor(RGB(10, 200, 255)), TColor(RGB(21, 100, 0))),
            TColor(RGB(15, 150, 127)));
  // System colours are resolved first.
  COLORREF face = ColorToRGB(clBtnFace);
  EXPECT_EQ(MiddleColor(clBtnFace, clBtnFace), TColor(face));

  EXPECT_EQ(DarkerColor(TColor(RGB(200, 100, 51)), 10), TColor(RGB(180, 90, 46)));
  EXPECT_EQ(LighterColor(TColor(RGB(200, 100, 0)), 10), TColor(RGB(206, 116, 26)));
  EXPECT_EQ(DarkerColor(TColor(RGB(200, 100, 51)), 250), clBlack);  // capped at 100 %

  // Bright colours shade darker, dark ones lighter; 50 % brightness counts as bright.
  EXPECT_EQ(ShadeColor(clWhite), TColor(RGB(229, 229, 229)));
  EXPECT_EQ(ShadeColor(clBlack), TColor(RGB(26, 26, 26)));
  EXPECT_EQ(ShadeColor(TColor(RGB(128, 0, 0))), DarkerColor(TColor(RGB(128, 0, 0)), 10));
  EXPECT_EQ(ShadeColor(TColor(RGB(126, 0, 0))), LighterColor(TColor(RGB(126, 0, 0)), 10));
}

TEST_F(StyledText, GeometryHelpers) {
  EXPECT_EQ(RectVCenter(TRect(50, 50, 60, 56), TRect(10, 20, 100, 41)), TRect(10, 27, 20, 33));
  EXPECT_TRUE(PointInRect(TPoint{10, 20}, TRect(10, 20, 30, 40)));
  EXPECT_TRUE(PointInRect(TPoint{30, 40}, TRect(10, 20, 30, 40)));
  EXPECT_FALSE(PointInRect(TPoint{31, 40}, TRect(10, 20, 30, 40)));
  EXPECT_FALSE(PointInRect(TPoint{9, 25}, TRect(10, 20, 30, 40)));
}

TEST_F(StyledText, AlphaFillRectBlendsTheBrushColour) {
  TTarget t(20, 10, 0xFF000000u);
  t.Canvas()->Brush()->SetColor(TColor(RGB(255, 0, 200)));
  AlphaFillRect(t.Canvas(), TRect(2, 2, 12, 8), 128);
  EXPECT_TRUE(gfxtest::Near(t.At(5, 5), 0xFF800064u, 1));
  EXPECT_EQ(t.At(1, 5), 0xFF000000u);
  EXPECT_EQ(PaintedExtent(t, 0xFF000000u), TRect(2, 2, 12, 8));
  AlphaFillRect(t.Canvas(), TRect(15, 5, 15, 9), 255);
  EXPECT_EQ(t.At(15, 6), 0xFF000000u);
}

TEST_F(StyledText, AlignedTextLines) {
  auto extent = [](TAlignment a, bool rtl) {
    TTarget t(200, 30, 0xFF000000u);
    drawtest::UseFont(t.Canvas(), 14, clWhite);
    t.Canvas()->Brush()->SetStyle(bsClear);
    DrawTextAligned(t.Canvas(), u"Wide&Text", TRect(10, 0, 190, 30), a, rtl);
    return t.Extent(16);
  };
  TRect left = extent(taLeftJustify, false), right = extent(taRightJustify, false),
        centre = extent(taCenter, false);
  ASSERT_FALSE(left.IsEmpty());
  EXPECT_LE(left.Left, 12);
  EXPECT_GE(right.Right, 187);
  EXPECT_LE(right.Right, 190);
  EXPECT_NEAR((centre.Left + centre.Right) / 2, 100, 2);
  EXPECT_EQ(left.Width(), right.Width());
  // Centred vertically.
  EXPECT_NEAR((left.Top + left.Bottom) / 2, 15, 3);
  // Right-to-left mirrors left and right.
  EXPECT_EQ(extent(taLeftJustify, true), right);
  EXPECT_EQ(extent(taRightJustify, true), left);

  // No prefix processing: the "&" shows, so the text is wider than its prefixed form.
  TTarget prefixed(200, 30, 0xFF000000u);
  drawtest::UseFont(prefixed.Canvas(), 14, clWhite);
  prefixed.Canvas()->Brush()->SetStyle(bsClear);
  DrawTextLine(prefixed.Canvas(), u"Wide&Text", TRect(10, 0, 190, 30));
  EXPECT_LT(prefixed.Extent(16).Width(), left.Width());

  // An end ellipsis keeps the text inside a narrow rectangle; empty text draws nothing.
  TTarget narrow(200, 30, 0xFF000000u);
  drawtest::UseFont(narrow.Canvas(), 14, clWhite);
  narrow.Canvas()->Brush()->SetStyle(bsClear);
  DrawTextAligned(narrow.Canvas(), u"A rather long caption", TRect(10, 0, 60, 30), taLeftJustify,
                  false, true);
  EXPECT_LE(narrow.Extent(16).Right, 60);
  TTarget empty(50, 20, 0xFF000000u);
  DrawTextAligned(empty.Canvas(), u"", TRect(0, 0, 50, 20), taCenter);
  DrawTextLine(empty.Canvas(), u"", TRect(0, 0, 50, 20));
  EXPECT_EQ(Painted(empty, 0xFF000000u), 0);
}

TEST_F(StyledText, TruncateTextToWidth) {
  TTarget t(10, 10);
  drawtest::UseFont(t.Canvas(), 13, clBlack);
  TCanvas* c = t.Canvas();
  String fits = u"Short";
  const int w = c->TextWidth(fits);
  TruncateTextToWidth(c, fits, w);
  EXPECT_EQ(fits, u"Short");

  for (int width : {30, 45, 60, 80}) {
    String s = u"Kexora painting routines";
    TruncateTextToWidth(c, s, width);
    ASSERT_GE(s.size(), 3u);
    EXPECT_EQ(s.substr(s.size() - 3), u"...");
    EXPECT_LE(c->TextWidth(s), width) << StringToUtf8(s);
    // The longest such prefix: one more character would not fit.
    String prefix = s.substr(0, s.size() - 3);
    String longer = String(u"Kexora painting routines").substr(0, prefix.size() + 1) + u"...";
    EXPECT_GT(c->TextWidth(longer), width) << StringToUtf8(s);
  }
  // Nothing fits: only the ellipsis is left.
  String tiny = u"Wide";
  TruncateTextToWidth(c, tiny, 2);
  EXPECT_EQ(tiny, u"...");
  // A surrogate pair goes as one character.
  String pair = u"ab\U0001F600\U0001F600\U0001F600";
  TruncateTextToWidth(c, pair, c->TextWidth(u"ab\U0001F600..."));
  EXPECT_EQ(pair, u"ab\U0001F600...");
}
