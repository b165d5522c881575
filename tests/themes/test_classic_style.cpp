// The classic look while themes are off: services that report themselves not enabled, answer
// from the system colours and metrics, and draw the classic equivalents of what has one.
#include <gtest/gtest.h>

#include <functional>

#include "host/gdi/GdiDraw.h"
#include "host/themes/ClassicStyle.h"
#include "host/themes/StyleManager.h"
#include "host/themes/format/ElementModel.h"
#include "host/win/PlatformFacts.h"
#include "host/win/WinUser.h"
#include "tests/themes/ThemesTestSupport.h"

using namespace vcl;
using vcl::test::TCanvasBitmap;

namespace {

struct TThemesOff {
  TThemesOff() { TStyleManager::SetThemesEnabled(false); }
  ~TThemesOff() {
    TStyleManager::SetThemesEnabled(true);
    TStyleManager::SetStyle(u"Windows");
  }
};

std::uint32_t Opaque(COLORREF c) {
  return 0xFF000000u | (std::uint32_t(GetRValue(c)) << 16) | (std::uint32_t(GetGValue(c)) << 8) | GetBValue(c);
}

// Whether drawing a detail gives the same pixels as the classic call.
void ExpectSamePixels(TCustomStyleServices* s, TThemedElementDetails d, const TRect& r,
                      const std::function<void(HDC, TRect)>& classic) {
  TCanvasBitmap a(120, 60), b(120, 60);
  ASSERT_TRUE(s->DrawElement(a.Dc(), d, r)) << ElementDetailsName(d);
  classic(b.Dc(), r);
  int differ = 0;
  for (int y = 0; y < 60; ++y)
    for (int x = 0; x < 120; ++x) differ += a.Pixel(x, y) != b.Pixel(x, y);
  EXPECT_EQ(differ, 0) << ElementDetailsName(d);
  EXPECT_GT(a.ChangedIn(r), 0) << ElementDetailsName(d);
}

}  // namespace

TEST(ClassicStyle, ThemesOffMakeTheSystemStyleClassicAndNotifyLikeASwitch) {
  TCustomStyleServices* themed = TStyleManager::SystemStyle();
  ASSERT_TRUE(themed->Enabled());
  std::vector<std::pair<TCustomStyleServices*, TCustomStyleServices*>> calls;
  int id = TStyleManager::AddStyleChangedHandler(
      [&](TCustomStyleServices* a, TCustomStyleServices* b) { calls.push_back({a, b}); });
  {
    TThemesOff off;
    TCustomStyleServices* classic = TStyleManager::SystemStyle();
    EXPECT_NE(classic, themed);
    EXPECT_FALSE(classic->Enabled());
    EXPECT_TRUE(classic->IsSystemStyle());
    EXPECT_EQ(classic->Name(), u"Windows");
    // Every way to the system style gives the classic services now.
    EXPECT_EQ(TStyleManager::ActiveStyle(), classic);
    EXPECT_EQ(TStyleManager::Style(u"windows"), classic);
    EXPECT_EQ(StyleServices(), classic);
    EXPECT_FALSE(TStyleManager::IsCustomStyleActive());
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].first, themed);
    EXPECT_EQ(calls[0].second, classic);
    TStyleManager::SetThemesEnabled(false);  // no change: no notification
    EXPECT_EQ(calls.size(), 1u);

    // A custom style is unaffected by the themes; switching back to "Windows" by either
    // services object reaches the system style.
    TStyleManager::SetStyle(u"Glow");
    EXPECT_TRUE(TStyleManager::ActiveStyle()->Enabled());
    TStyleManager::SetStyle(classic);
    EXPECT_EQ(TStyleManager::ActiveStyle(), classic);
    TStyleManager::SetStyle(u"Glow");
    TStyleManager::SetStyle(themed);
    EXPECT_EQ(TStyleManager::ActiveStyle(), classic);
    calls.clear();
  }
  ASSERT_EQ(calls.size(), 1u);  // themes on; "Windows" was active already
  EXPECT_FALSE(calls[0].first->Enabled());
  EXPECT_EQ(calls[0].second, themed);
  EXPECT_EQ(TStyleManager::SystemStyle(), themed);
  EXPECT_TRUE(TStyleManager::SystemStyle()->Enabled());
  TStyleManager::RemoveStyleChangedHandler(id);
}

TEST(ClassicStyle, ThePlatformsThemesSwitchIsTheEnginesToo) {
  TCustomStyleServices* themed = TStyleManager::SystemStyle();
  std::vector<std::pair<TCustomStyleServices*, TCustomStyleServices*>> calls;
  int id = TStyleManager::AddStyleChangedHandler(
      [&](TCustomStyleServices* a, TCustomStyleServices* b) { calls.push_back({a, b}); });
  // Switched off where the platform keeps the fact: the engine reports the classic look and
  // notifies as it does for its own switch.
  vcl::SetThemesEnabled(false);
  EXPECT_FALSE(TStyleManager::ThemesEnabled());
  EXPECT_FALSE(IsThemeActive());
  EXPECT_FALSE(TStyleManager::SystemStyle()->Enabled());
  EXPECT_FALSE(TStyleManager::ActiveStyle()->Enabled());
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].first, themed);
  EXPECT_EQ(calls[0].second, TStyleManager::SystemStyle());
  // With a custom style active the switch changes what the system style is, not the active one.
  TStyleManager::SetStyle(u"Glow");
  calls.clear();
  ResetPlatformFacts();  // themes on again
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].first, calls[0].second);
  EXPECT_EQ(calls[0].second, TStyleManager::ActiveStyle());
  EXPECT_EQ(TStyleManager::SystemStyle(), themed);
  TStyleManager::SetStyle(u"Windows");
  TStyleManager::RemoveStyleChangedHandler(id);
}

TEST(ClassicStyle, ColoursAreTheSystemColoursOfTheParts) {
  TClassicStyle s;
  EXPECT_EQ(s.GetSystemColor(clBtnFace), clBtnFace);  // identity, not resolved
  EXPECT_EQ(s.GetSystemColor(TColor(0x123456)), TColor(0x123456));
  EXPECT_EQ(s.ColorToRGB(clBtnFace), TColor(GetSysColor(COLOR_BTNFACE)));
  EXPECT_EQ(s.GetStyleColor(scEdit), TColor(GetSysColor(COLOR_WINDOW)));
  EXPECT_EQ(s.GetStyleColor(scListBox), TColor(GetSysColor(COLOR_WINDOW)));
  EXPECT_EQ(s.GetStyleColor(scButtonNormal), TColor(GetSysColor(COLOR_BTNFACE)));
  EXPECT_EQ(s.GetStyleColor(scWindow), TColor(GetSysColor(COLOR_BTNFACE)));
  EXPECT_EQ(s.GetStyleColor(scHintGradientBase), TColor(GetSysColor(COLOR_INFOBK)));
  EXPECT_EQ(s.GetStyleColor(scBorder), TColor(GetSysColor(COLOR_WINDOWFRAME)));
  EXPECT_EQ(s.GetStyleColor(TStyleColor(StyleColorCount)), clNone);

  auto font = [&](TStyleFont f) { return s.GetStyleFontColor(f); };
  auto sys = [](int i) { return TColor(GetSysColor(i)); };
  EXPECT_EQ(font(sfButtonTextNormal), sys(COLOR_BTNTEXT));
  EXPECT_EQ(font(sfButtonTextDisabled), sys(COLOR_GRAYTEXT));
  EXPECT_EQ(font(sfEditBoxTextNormal), sys(COLOR_WINDOWTEXT));
  EXPECT_EQ(font(sfEditBoxTextDisabled), sys(COLOR_GRAYTEXT));
  EXPECT_EQ(font(sfEditBoxTextSelected), sys(COLOR_HIGHLIGHTTEXT));
  EXPECT_EQ(font(sfListItemTextSelected), sys(COLOR_HIGHLIGHTTEXT));
  EXPECT_EQ(font(sfCaptionTextNormal), sys(COLOR_CAPTIONTEXT));
  EXPECT_EQ(font(sfCaptionTextInactive), sys(COLOR_INACTIVECAPTIONTEXT));
  EXPECT_EQ(font(sfSmCaptionTextInactive), sys(COLOR_INACTIVECAPTIONTEXT));
  EXPECT_EQ(font(sfPopupMenuItemTextNormal), sys(COLOR_MENUTEXT));
  EXPECT_EQ(font(sfPopupMenuItemTextHot), sys(COLOR_HIGHLIGHTTEXT));
  EXPECT_EQ(font(sfPopupMenuItemTextDisabled), sys(COLOR_GRAYTEXT));
  EXPECT_EQ(font(sfToolItemTextSelected), sys(COLOR_BTNTEXT));
  EXPECT_EQ(font(sfWindowTextNormal), sys(COLOR_WINDOWTEXT));

  // Element text colours follow the part and state.
  auto text = [&](auto detail) {
    TColor c = clNone;
    EXPECT_TRUE(s.GetElementColor(GetElementDetails(detail), ecTextColor, c)) << ElementDetailsName(GetElementDetails(detail));
    return c;
  };
  EXPECT_EQ(text(tbPushButtonNormal), sys(COLOR_BTNTEXT));
  EXPECT_EQ(text(tbPushButtonDisabled), sys(COLOR_GRAYTEXT));
  EXPECT_EQ(text(tmPopupItemHot), sys(COLOR_HIGHLIGHTTEXT));
  EXPECT_EQ(text(tmPopupItemNormal), sys(COLOR_MENUTEXT));
  EXPECT_EQ(text(tmPopupItemDisabled), sys(COLOR_GRAYTEXT));
  EXPECT_EQ(text(tgCellSelected), sys(COLOR_HIGHLIGHTTEXT));
  EXPECT_EQ(text(tlListItemSelectedNotFocus), sys(COLOR_WINDOWTEXT));
  EXPECT_EQ(text(twCaptionActive), sys(COLOR_CAPTIONTEXT));
  EXPECT_EQ(text(twCaptionInactive), sys(COLOR_INACTIVECAPTIONTEXT));
  EXPECT_EQ(text(tttStandardNormal), sys(COLOR_INFOTEXT));
  EXPECT_EQ(text(ttsHyperLinkTextNormal), sys(COLOR_HOTLIGHT));
  TColor fill;
  ASSERT_TRUE(s.GetElementColor(GetElementDetails(tmPopupItemHot), ecFillColor, fill));
  EXPECT_EQ(fill, sys(COLOR_HIGHLIGHT));
  ASSERT_TRUE(s.GetElementColor(GetElementDetails(twCaptionActive), ecGradientColor2, fill));
  EXPECT_EQ(fill, sys(COLOR_GRADIENTACTIVECAPTION));
  EXPECT_FALSE(s.GetElementColor(GetElementDetails(tmChevron), ecFillColor, fill));
  EXPECT_FALSE(s.GetElementColor(TThemedElementDetails::Create(teButton, 99, 1), ecTextColor, fill));
}

TEST(ClassicStyle, DrawsTheClassicEquivalentsAndRefusesTheRest) {
  // Through the services interface, which carries the default arguments.
  TClassicStyle classic;
  TCustomStyleServices& s = classic;
  TRect r(10, 10, 90, 40);
  ExpectSamePixels(&s, GetElementDetails(tbPushButtonNormal), r,
                   [](HDC dc, TRect t) { DrawFrameControl(dc, &t, DFC_BUTTON, DFCS_BUTTONPUSH); });
  ExpectSamePixels(&s, GetElementDetails(tbPushButtonPressed), r,
                   [](HDC dc, TRect t) { DrawFrameControl(dc, &t, DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_PUSHED); });
  TRect box(10, 10, 23, 23);
  ExpectSamePixels(&s, GetElementDetails(tbCheckBoxCheckedDisabled), box, [](HDC dc, TRect t) {
    DrawFrameControl(dc, &t, DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_CHECKED | DFCS_INACTIVE);
  });
  ExpectSamePixels(&s, GetElementDetails(tbRadioButtonUncheckedNormal), box,
                   [](HDC dc, TRect t) { DrawFrameControl(dc, &t, DFC_BUTTON, DFCS_BUTTONRADIO); });
  ExpectSamePixels(&s, GetElementDetails(tsArrowBtnDownPressed), TRect(10, 10, 27, 27),
                   [](HDC dc, TRect t) { DrawFrameControl(dc, &t, DFC_SCROLL, DFCS_SCROLLDOWN | DFCS_PUSHED); });
  ExpectSamePixels(&s, GetElementDetails(twCloseButtonNormal), TRect(10, 10, 26, 24),
                   [](HDC dc, TRect t) { DrawFrameControl(dc, &t, DFC_CAPTION, DFCS_CAPTIONCLOSE); });
  ExpectSamePixels(&s, GetElementDetails(teEditTextNormal), r, [](HDC dc, TRect t) {
    FillRect(dc, &t, GetSysColorBrush(COLOR_WINDOW));
    DrawEdge(dc, &t, EDGE_SUNKEN, BF_RECT);
  });
  ExpectSamePixels(&s, GetElementDetails(ttbButtonPressed), r,
                   [](HDC dc, TRect t) { DrawEdge(dc, &t, BDR_SUNKENOUTER, BF_RECT); });
  ExpectSamePixels(&s, GetElementDetails(tmPopupItemHot), r,
                   [](HDC dc, TRect t) { FillRect(dc, &t, GetSysColorBrush(COLOR_HIGHLIGHT)); });

  // A tool button at rest draws nothing, which is its classic look, and says it drew.
  TCanvasBitmap c(100, 50);
  EXPECT_TRUE(s.DrawElement(c.Dc(), GetElementDetails(ttbButtonNormal), r));
  EXPECT_EQ(c.ChangedIn(TRect(0, 0, 100, 50)), 0);
  // The default push button gets the classic dark outline.
  EXPECT_TRUE(s.DrawElement(c.Dc(), GetElementDetails(tbPushButtonDefaulted), r));
  EXPECT_EQ(c.Pixel(10, 25), Opaque(GetSysColor(COLOR_WINDOWFRAME)));
  // A caption is the gradient between the two caption colours inside the window's raised edge.
  c.Clear();
  EXPECT_TRUE(s.DrawElement(c.Dc(), GetElementDetails(twCaptionActive), TRect(0, 0, 100, 20)));
  EXPECT_EQ(c.Pixel(0, 10), Opaque(GetSysColor(COLOR_3DLIGHT)));
  EXPECT_EQ(c.Pixel(3, 10), Opaque(GetSysColor(COLOR_ACTIVECAPTION)));
  EXPECT_EQ(c.Pixel(96, 10), Opaque(GetSysColor(COLOR_GRADIENTACTIVECAPTION)));
  EXPECT_EQ(c.Pixel(50, 19), c.Pixel(50, 10));  // no edge below
  // Clipping is honoured.
  c.Clear();
  TRect clip(10, 10, 30, 40);
  EXPECT_TRUE(s.DrawElement(c.Dc(), GetElementDetails(tbPushButtonHot), r, &clip));
  EXPECT_EQ(c.ChangedOutside(clip), 0);
  EXPECT_GT(c.ChangedIn(clip), 0);

  // Details without a classic counterpart, and unknown details, are left to the caller.
  c.Clear();
  for (auto d : {GetElementDetails(tmChevron), GetElementDetails(tcpChevronOpenedNormal),
                 GetElementDetails(thHeaderSortArrowSortedUp), TThemedElementDetails::Create(teWindow, 999, 1)})
    EXPECT_FALSE(s.DrawElement(c.Dc(), d, r)) << ElementDetailsName(d);
  EXPECT_EQ(c.ChangedIn(TRect(0, 0, 100, 50)), 0);
  // Text styles have colours only.
  EXPECT_TRUE(s.DrawElement(c.Dc(), GetElementDetails(ttsBodyText), r));
  EXPECT_FALSE(s.DrawElement(nullptr, GetElementDetails(tbPushButtonNormal), r));
}

TEST(ClassicStyle, SizesAreTheSystemMetricsAndCaptionButtonsLineUp) {
  TClassicStyle s;
  TSize z;
  for (int dpi : {96, 144, 192}) {
    SCOPED_TRACE(dpi);
    ASSERT_TRUE(s.GetElementSize(nullptr, GetElementDetails(tbCheckBoxUncheckedNormal), esActual, z, dpi));
    EXPECT_EQ(z, TSize(MulDiv(13, dpi, 96), MulDiv(13, dpi, 96)));
    ASSERT_TRUE(s.GetElementSize(nullptr, GetElementDetails(tsArrowBtnUpNormal), esActual, z, dpi));
    EXPECT_EQ(z, TSize(GetSystemMetricsForDpi(SM_CXVSCROLL, UINT(dpi)), GetSystemMetricsForDpi(SM_CYVSCROLL, UINT(dpi))));
    ASSERT_TRUE(s.GetElementSize(nullptr, GetElementDetails(twCaptionActive), esActual, z, dpi));
    EXPECT_EQ(z.cy, GetSystemMetricsForDpi(SM_CYCAPTION, UINT(dpi)));
    ASSERT_TRUE(s.GetElementSize(nullptr, GetElementDetails(twFrameLeftActive), esActual, z, dpi));
    EXPECT_EQ(z.cx, GetSystemMetricsForDpi(SM_CXFRAME, UINT(dpi)));

    // Close at the right, maximise and minimise to its left, none overlapping, all inside.
    TRect caption(0, 0, 400, GetSystemMetricsForDpi(SM_CYCAPTION, UINT(dpi))), close, max, min, help, sys;
    ASSERT_TRUE(s.GetElementContentRect(nullptr, GetElementDetails(twCloseButtonNormal), caption, close, dpi));
    ASSERT_TRUE(s.GetElementContentRect(nullptr, GetElementDetails(twMaxButtonNormal), caption, max, dpi));
    ASSERT_TRUE(s.GetElementContentRect(nullptr, GetElementDetails(twMinButtonNormal), caption, min, dpi));
    ASSERT_TRUE(s.GetElementContentRect(nullptr, GetElementDetails(twHelpButtonNormal), caption, help, dpi));
    ASSERT_TRUE(s.GetElementContentRect(nullptr, GetElementDetails(twSysButtonNormal), caption, sys, dpi));
    for (const TRect* b : {&close, &max, &min, &sys}) EXPECT_TRUE(caption.Contains(*b));
    EXPECT_GT(close.Left, max.Right - 1);
    EXPECT_EQ(min.Right, max.Left);
    EXPECT_EQ(help, max);
    EXPECT_LT(sys.Right, min.Left);
    EXPECT_LE(std::abs((close.Top - caption.Top) - (caption.Bottom - close.Bottom)), 1)
        << close.Top << " " << close.Bottom << " in " << caption.Bottom;
  }
  EXPECT_FALSE(s.GetElementSize(nullptr, GetElementDetails(tmChevron), esActual, z, 96));
  TElementMargins m;
  ASSERT_TRUE(s.GetElementMargins(nullptr, GetElementDetails(tbPushButtonNormal), emContent, m, 192));
  EXPECT_EQ(m.cxLeftWidth, 6);
}
