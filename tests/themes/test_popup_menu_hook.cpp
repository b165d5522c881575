// A tracked popup menu under a custom style: the engine's popup-menu hook paints the items the
// menu window reports, in the style's colours, and leaves owner-drawn items to their owner;
// with the system style the window's own light painting shows again.
#include <gtest/gtest.h>

#include <deque>

#include "host/platform/headless/HeadlessBackend.h"
#include "host/themes/StyleManager.h"
#include "host/themes/SysDefaultHooks.h"
#include "host/win/ctl/Menus.h"
#include "tests/win/WinTestUtil.h"

using namespace vcl;
using namespace vcl::wintest;

namespace {

std::uint32_t Rgb(TColor c) {
  COLORREF v = ColorToRGB(c);
  return (std::uint32_t(GetRValue(v)) << 16) | (std::uint32_t(GetGValue(v)) << 8) | GetBValue(v);
}

TColor Fill(TCustomStyleServices* s, TThemedMenu m) {
  TColor c = clNone;
  EXPECT_TRUE(s->GetElementColor(GetElementDetails(m), ecFillColor, c));
  return c;
}

class StyledPopupMenu : public WinTest {
 protected:
  void SetUp() override {
    WinTest::SetUp();
    Owner = MakeWindow(WS_OVERLAPPEDWINDOW | WS_VISIBLE, TRect(100, 100, 700, 600), nullptr, 0,
                       [this](HWND, UINT m, WPARAM, LPARAM lp, LRESULT& r) {
                         if (m == WM_ENTERIDLE && !Script.empty()) {
                           if (Script.front()()) {
                             Script.pop_front();
                             if (!Script.empty()) PostMessageW(Owner, WM_NULL, 0, 0);
                           }
                           r = 0;
                           return true;
                         }
                         if (m == WM_MEASUREITEM) {
                           reinterpret_cast<MEASUREITEMSTRUCT*>(lp)->itemWidth = 120;
                           reinterpret_cast<MEASUREITEMSTRUCT*>(lp)->itemHeight = 24;
                           return true;
                         }
                         if (m == WM_DRAWITEM) {
                           auto* d = reinterpret_cast<DRAWITEMSTRUCT*>(lp);
                           FillDc(d->hDC, d->rcItem, RGB(255, 0, 0));
                           return true;
                         }
                         return false;
                       });
    SetActiveWindow(Owner);
    SetFocus(Owner);
    Pump();
    Menu = CreatePopupMenu();
    AppendMenuW(Menu, MF_STRING, 1, u"&Open\tCtrl+O");
    AppendMenuW(Menu, MF_STRING, 2, u"Plain");
    AppendMenuW(Menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(Menu, MF_OWNERDRAW, 3, nullptr);
  }
  void TearDown() override {
    TStyleManager::SetStyle(u"Windows");
    DestroyMenu(Menu);
    WinTest::TearDown();
  }

  // Pixels of the open menu: at the middle right of items 0 (hot) and 1, and the middle of the
  // owner-drawn item 3.
  void Sample(std::uint32_t& hot, std::uint32_t& plain, std::uint32_t& owner) {
    Script.push_back([&] {
      Headless().InjectKey(VK_DOWN, true);
      Headless().InjectKey(VK_DOWN, false);
      return true;
    });
    Script.push_back([&] {
      HWND w = MenuWindowOf(Menu);
      std::vector<TMenuWindowItem> items = GetMenuWindowItems(w);
      auto at = [&](int i, bool middle) {
        const TRect& r = items[size_t(i)].Rect;
        return PixelAt(w, middle ? r.CenterPoint().X : r.Right - 10, r.CenterPoint().Y);
      };
      hot = at(0, false);
      plain = at(1, false);
      owner = at(3, true);
      Headless().InjectKey(VK_ESCAPE, true);
      Headless().InjectKey(VK_ESCAPE, false);
      return true;
    });
    TrackPopupMenu(Menu, TPM_RETURNCMD, 200, 200, 0, Owner, nullptr);
  }

  HWND Owner = nullptr;
  HMENU Menu = nullptr;
  std::deque<std::function<bool()>> Script;
};

}  // namespace

TEST_F(StyledPopupMenu, TheStyleHookPaintsTheMenuWindowsItems) {
  std::uint32_t hot = 0, plain = 0, owner = 0;
  Sample(hot, plain, owner);
  EXPECT_EQ(plain, 0xF2F2F2u);  // the window's own light look
  std::uint32_t defaultHot = hot;

  TStyleManager::SetStyle(u"Glow");
  TCustomStyleServices* glow = TStyleManager::ActiveStyle();
  Sample(hot, plain, owner);
  EXPECT_EQ(plain, Rgb(Fill(glow, tmPopupBackground)));
  EXPECT_EQ(hot, Rgb(Fill(glow, tmPopupItemHot)));
  EXPECT_NE(hot, defaultHot);
  EXPECT_EQ(owner, 0xFF0000u);  // drawn by the owner, not the style

  TStyleManager::SetStyle(u"Windows10 Dark");
  TCustomStyleServices* dark = TStyleManager::ActiveStyle();
  Sample(hot, plain, owner);
  EXPECT_EQ(plain, Rgb(Fill(dark, tmPopupBackground)));
  EXPECT_NE(plain, Rgb(Fill(glow, tmPopupBackground)));

  TStyleManager::SetStyle(u"Windows");
  Sample(hot, plain, owner);
  EXPECT_EQ(plain, 0xF2F2F2u);
  EXPECT_EQ(hot, defaultHot);
}
