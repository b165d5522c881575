// Popup menus tracked by TrackPopupMenu, driven by real headless input: choosing by click,
// Enter and accelerator, keyboard navigation, sub-menus, cancelling, placement in the work area,
// the owner keeping focus and activation, owner-drawn items, notifications and message filters.
//
// The owner's WM_ENTERIDLE (sent whenever the menu loop has nothing to do) runs the next step of
// a script; a step returns false to be run again at the next idle moment (after a timer, say).
// Typed characters come from the backend's text input, as from a real keyboard.
// With the script done and nothing pending, the loop finds that nothing can arrive and closes.
#include <cctype>
#include <deque>

#include "host/platform/headless/HeadlessBackend.h"
#include "host/win/ctl/Menus.h"
#include "tests/win/WinTestUtil.h"

using namespace vcl;
using namespace vcl::wintest;

namespace {

using Step = std::function<bool()>;

class PopupMenu : public WinTest {
 protected:
  void SetUp() override {
    WinTest::SetUp();
    Headless().InjectMouseMove(1900, 1000);
    Owner = MakeWindow(WS_OVERLAPPEDWINDOW | WS_VISIBLE, TRect(100, 100, 700, 600), nullptr, 0,
                       [this](HWND, UINT m, WPARAM, LPARAM lp, LRESULT& r) {
                         if (m == WM_ENTERIDLE && !Script.empty()) {
                           // A finished step is followed by the next at the next idle moment,
                           // which a posted message guarantees.
                           if (Script.front()()) {
                             Script.pop_front();
                             if (!Script.empty()) PostMessageW(Owner, WM_NULL, 0, 0);
                           }
                           r = 0;
                           return true;
                         }
                         if (m == WM_MEASUREITEM && OnMeasure) {
                           OnMeasure(reinterpret_cast<MEASUREITEMSTRUCT*>(lp));
                           return true;
                         }
                         if (m == WM_DRAWITEM && OnDraw) {
                           OnDraw(reinterpret_cast<DRAWITEMSTRUCT*>(lp));
                           return true;
                         }
                         return false;
                       });
    SetActiveWindow(Owner);
    SetFocus(Owner);
    Pump();
    Log().clear();
  }
  void TearDown() override {
    for (int vk : {VK_MENU, VK_SHIFT, VK_CONTROL}) Headless().InjectKey(std::uint16_t(vk), false);
    for (HMENU m : Menus) DestroyMenu(m);
    WinTest::TearDown();
  }

  // A popup menu of items given as captions: "-" a separator, a leading "!" a disabled item;
  // ids are 100 + position.
  HMENU Make(std::initializer_list<const char*> items) {
    HMENU m = CreatePopupMenu();
    Menus.push_back(m);
    UINT id = 100;
    for (const char* c : items) {
      std::string s = c;
      if (s == "-") AppendMenuW(m, MF_SEPARATOR, 0, nullptr);
      else if (s[0] == '!') AppendMenuW(m, MF_STRING | MF_GRAYED, id, S(s.substr(1)).c_str());
      else AppendMenuW(m, MF_STRING, id, S(s).c_str());
      ++id;
    }
    return m;
  }

  int Track(HMENU m, UINT flags = TPM_RETURNCMD, TPoint at = {200, 200}) {
    return TrackPopupMenu(m, flags, at.X, at.Y, 0, Owner, nullptr);
  }

  static TPoint Center(HMENU m, UINT pos) {
    TRect r;
    EXPECT_TRUE(GetMenuItemRect(nullptr, m, pos, &r));
    return r.CenterPoint();
  }
  static void Key(int vk) {
    Headless().InjectKey(std::uint16_t(vk), true);
    Headless().InjectKey(std::uint16_t(vk), false);
  }
  static void Type(char c) {
    Headless().InjectKey(std::uint16_t(std::toupper(c)), true);
    Headless().InjectText(std::string(1, c));
    Headless().InjectKey(std::uint16_t(std::toupper(c)), false);
  }
  static void MoveTo(TPoint p) { Headless().InjectMouseMove(p.X, p.Y); }
  static void ClickAt(TPoint p, platform::MouseButton b = platform::MouseButton::Left) {
    MoveTo(p);
    Headless().InjectClick(p.X, p.Y, b);
  }
  static int Hot(HMENU m) { return int(SendMessageW(MenuWindowOf(m), MN_GETHOTITEM, 0, 0)); }
  static int MenuWindowCount() {
    int n = 0;
    EnumWindows(
        [](HWND h, LPARAM lp) {
          if (GetClassName(h) == u"#32768" && IsWindowVisible(h)) ++*reinterpret_cast<int*>(lp);
          return BOOL(true);
        },
        reinterpret_cast<LPARAM>(&n));
    return n;
  }

  HWND Owner = nullptr;
  std::deque<Step> Script;
  std::vector<HMENU> Menus;
  std::function<void(MEASUREITEMSTRUCT*)> OnMeasure;
  std::function<void(DRAWITEMSTRUCT*)> OnDraw;
};

}  // namespace

TEST_F(PopupMenu, AClickChoosesAnItemWhileTheOwnerKeepsFocusAndActivation) {
  HMENU m = Make({"&Open", "-", "!Gone", "&Save"});
  HWND shown = nullptr;
  String className;
  DWORD exStyle = 0;
  HWND focusDuring = nullptr, activeDuring = nullptr;
  Script.push_back([&] {
    shown = MenuWindowOf(m);
    className = GetClassName(shown);
    exStyle = DWORD(GetWindowLongW(shown, GWL_EXSTYLE));
    focusDuring = GetFocus();
    activeDuring = GetActiveWindow();
    ClickAt(Center(m, 3));
    return true;
  });
  EXPECT_EQ(Track(m), 103);
  ASSERT_NE(shown, nullptr);
  EXPECT_EQ(className, u"#32768");
  EXPECT_EQ(exStyle & (WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE),
            WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE);
  EXPECT_EQ(focusDuring, Owner);
  EXPECT_EQ(activeDuring, Owner);
  EXPECT_EQ(GetFocus(), Owner);
  // The menu window is gone and the owner never lost focus or activation.
  EXPECT_FALSE(IsWindow(shown));
  EXPECT_EQ(MenuWindowCount(), 0);
  EXPECT_EQ(Count(Owner, WM_KILLFOCUS), 0);
  EXPECT_EQ(Count(Owner, WM_ACTIVATE), 0);
  // The notifications, in order.
  std::vector<UINT> seen = Msgs(Owner, {WM_ENTERMENULOOP, WM_INITMENUPOPUP, WM_UNINITMENUPOPUP, WM_EXITMENULOOP});
  EXPECT_EQ(seen, (std::vector<UINT>{WM_ENTERMENULOOP, WM_INITMENUPOPUP, WM_UNINITMENUPOPUP, WM_EXITMENULOOP}));
  const Logged* sel = nullptr;
  for (const Logged& l : Log())
    if (l.Hwnd == Owner && l.Msg == WM_MENUSELECT && HIWORD(l.WParam) != 0xFFFF) sel = &l;
  ASSERT_NE(sel, nullptr);
  EXPECT_EQ(LOWORD(sel->WParam), 103);
  EXPECT_TRUE(HIWORD(sel->WParam) & MF_MOUSESELECT);
  EXPECT_EQ(reinterpret_cast<HMENU>(sel->LParam), m);
  EXPECT_EQ(Last(Owner, WM_MENUSELECT)->WParam, MAKEWPARAM(0, 0xFFFF));
}

TEST_F(PopupMenu, WithoutReturnCmdTheCommandIsPostedAfterTheMenuClosed) {
  HMENU m = Make({"One", "Two"});
  Script.push_back([&] {
    ClickAt(Center(m, 1));
    return true;
  });
  EXPECT_EQ(Track(m, 0), 1);
  EXPECT_EQ(Count(Owner, WM_COMMAND), 0);
  Pump();
  const Logged* cmd = Last(Owner, WM_COMMAND);
  ASSERT_NE(cmd, nullptr);
  EXPECT_EQ(cmd->WParam, MAKEWPARAM(101, 0));
  // With TPM_NONOTIFY nothing is sent or posted: the id comes back instead.
  Log().clear();
  Headless().InjectKey(VK_DOWN, true);
  Headless().InjectKey(VK_DOWN, false);
  Headless().InjectKey(VK_RETURN, true);
  Headless().InjectKey(VK_RETURN, false);
  EXPECT_EQ(TrackPopupMenu(m, TPM_NONOTIFY | TPM_RETURNCMD, 200, 200, 0, Owner, nullptr), 100);
  Pump();
  EXPECT_EQ(Msgs(Owner, {WM_ENTERMENULOOP, WM_INITMENUPOPUP, WM_MENUSELECT, WM_COMMAND, WM_EXITMENULOOP}),
            std::vector<UINT>{});
}

TEST_F(PopupMenu, KeyboardNavigationSkipsSeparatorsAndDisabledItems) {
  HMENU m = Make({"Alpha", "-", "!Beta", "Gamma", "-", "Delta"});
  std::vector<int> hot;
  auto record = [&] {
    hot.push_back(Hot(m));
    return true;
  };
  Script.push_back([&] { Key(VK_DOWN); return true; });
  Script.push_back(record);
  Script.push_back([&] { Key(VK_DOWN); return true; });
  Script.push_back(record);
  Script.push_back([&] { Key(VK_DOWN); return true; });
  Script.push_back(record);
  Script.push_back([&] { Key(VK_DOWN); return true; });  // wraps to the first
  Script.push_back(record);
  Script.push_back([&] { Key(VK_UP); return true; });  // and back to the last
  Script.push_back(record);
  Script.push_back([&] { Key(VK_HOME); return true; });
  Script.push_back(record);
  Script.push_back([&] { Key(VK_END); Key(VK_UP); return true; });
  Script.push_back(record);
  Script.push_back([&] { Key(VK_RETURN); return true; });
  EXPECT_EQ(Track(m), 103);
  EXPECT_EQ(hot, (std::vector<int>{0, 3, 5, 0, 5, 0, 3}));
}

TEST_F(PopupMenu, EscapeAnOutsideClickAndAltCloseWithoutACommand) {
  HMENU m = Make({"One", "Two"});
  Script.push_back([&] { Key(VK_DOWN); Key(VK_ESCAPE); return true; });
  EXPECT_EQ(Track(m), 0);
  EXPECT_EQ(MenuWindowCount(), 0);

  // A press outside the menu closes it and then reaches the window under the pointer.
  HWND other = MakeWindow(WS_POPUP | WS_VISIBLE, TRect(900, 100, 1100, 300));
  Pump();
  SetActiveWindow(Owner);
  Pump();
  Log().clear();
  Script.push_back([&] { ClickAt({1000, 200}); return true; });
  EXPECT_EQ(Track(m), 0);
  EXPECT_EQ(Count(other, WM_LBUTTONDOWN), 0);  // not yet: it waits in the queue
  Pump();
  ASSERT_NE(Last(other, WM_LBUTTONDOWN), nullptr);
  EXPECT_EQ(LParamToPoint(Last(other, WM_LBUTTONDOWN)->LParam), TPoint(100, 100));
  EXPECT_EQ(GetActiveWindow(), other);  // the click activated it as usual

  // Alt pressed and released on its own.
  SetActiveWindow(Owner);
  SetFocus(Owner);
  Pump();
  Script.push_back([&] {
    Headless().InjectKey(VK_MENU, true);
    Headless().InjectKey(VK_MENU, false);
    return true;
  });
  Script.push_back([&] { Key(VK_DOWN); Key(VK_RETURN); return true; });  // never reached
  EXPECT_EQ(Track(m), 0);
  EXPECT_EQ(Script.size(), 1u);
  Script.clear();
}

TEST_F(PopupMenu, TheMenuClosesWhenTheOwnerLosesTheActivation) {
  HMENU m = Make({"One", "Two"});
  HWND other = MakeWindow(WS_POPUP | WS_VISIBLE, TRect(900, 100, 1100, 300));
  SetActiveWindow(Owner);
  Pump();
  Script.push_back([&] { SetActiveWindow(other); return true; });
  Script.push_back([&] { Key(VK_DOWN); Key(VK_RETURN); return true; });
  EXPECT_EQ(Track(m), 0);
  EXPECT_EQ(Script.size(), 1u);
  Script.clear();
  // So does it when the application loses the focus (another program was clicked).
  Headless().InjectFocus(true);
  Pump();
  SetActiveWindow(Owner);
  Pump();
  Script.push_back([&] { Headless().InjectFocus(false); return true; });
  Script.push_back([&] { Key(VK_DOWN); Key(VK_RETURN); return true; });
  EXPECT_EQ(Track(m), 0);
  EXPECT_EQ(Script.size(), 1u);
  Script.clear();
  Headless().InjectFocus(true);
  Pump();
}

TEST_F(PopupMenu, AcceleratorsChooseAndSharedLettersCycle) {
  HMENU m = Make({"&Open", "&Save", "Save &As", "E&xit", "&Print", "&Preview"});
  Script.push_back([&] { Type('x'); return true; });
  EXPECT_EQ(Track(m), 103);
  // Two items with the letter P: it moves between them; Enter chooses.
  std::vector<int> hot;
  Script.push_back([&] { Type('p'); return true; });
  Script.push_back([&] { hot.push_back(Hot(m)); Type('p'); return true; });
  Script.push_back([&] { hot.push_back(Hot(m)); Type('p'); return true; });
  Script.push_back([&] { hot.push_back(Hot(m)); Key(VK_RETURN); return true; });
  EXPECT_EQ(Track(m), 104);
  EXPECT_EQ(hot, (std::vector<int>{4, 5, 4}));
  // A letter no item has goes to the owner (WM_MENUCHAR), which may choose an item itself.
  Handlers()[Owner] = [&, prev = Handlers()[Owner]](HWND h, UINT msg, WPARAM wp, LPARAM lp, LRESULT& r) {
    if (msg == WM_MENUCHAR) {
      r = LOWORD(wp) == u'q' ? MAKELRESULT(1, MNC_EXECUTE) : 0;
      return true;
    }
    return prev(h, msg, wp, lp, r);
  };
  Script.push_back([&] { Type('q'); return true; });
  EXPECT_EQ(Track(m), 101);
}

TEST_F(PopupMenu, SubMenusOpenOnHoverAndWithTheKeyboardAndCloseAgain) {
  HMENU sub = CreatePopupMenu();
  AppendMenuW(sub, MF_STRING, 201, u"New");
  AppendMenuW(sub, MF_STRING, 202, u"Open");
  HMENU m = Make({"Top", "-"});
  AppendMenuW(m, MF_POPUP, reinterpret_cast<UINT_PTR>(sub), u"&File");
  AppendMenuW(m, MF_STRING, 103, u"Last");
  TRect parent, subRect, fileItem;
  int afterMove = -1;
  std::vector<int> windows;
  Script.push_back([&] { MoveTo(Center(m, 2)); return true; });
  Script.push_back([&] {
    afterMove = MenuWindowCount();  // not yet: after the hover delay
    EXPECT_EQ(Hot(m), 2);
    return true;
  });
  Script.push_back([&] { return MenuWindowOf(sub) != nullptr; });
  Script.push_back([&] {
    GetWindowRect(MenuWindowOf(m), &parent);
    GetWindowRect(MenuWindowOf(sub), &subRect);
    GetMenuItemRect(nullptr, m, 2, &fileItem);
    windows.push_back(MenuWindowCount());
    Key(VK_LEFT);  // closes the sub-menu, File stays highlighted
    return true;
  });
  Script.push_back([&] {
    windows.push_back(MenuWindowCount());
    EXPECT_EQ(Hot(m), 2);
    Key(VK_RIGHT);  // opens it again with its first item highlighted
    return true;
  });
  Script.push_back([&] {
    windows.push_back(MenuWindowCount());
    EXPECT_EQ(Hot(sub), 0);
    Key(VK_DOWN);
    Key(VK_RETURN);
    return true;
  });
  EXPECT_EQ(Track(m), 202);
  EXPECT_EQ(afterMove, 1);
  EXPECT_EQ(windows, (std::vector<int>{2, 1, 2}));
  // Beside the parent menu, its first item level with File.
  EXPECT_GE(subRect.Left, parent.Right - 6);
  EXPECT_LE(std::abs(subRect.Top - fileItem.Top), 6);
  EXPECT_EQ(MenuWindowCount(), 0);
  EXPECT_TRUE(IsMenu(sub));  // still owned by the menu

  // Moving to another item of the parent closes the sub-menu after the delay; Esc in a
  // sub-menu closes only the sub-menu.
  windows.clear();
  Script.push_back([&] { MoveTo(Center(m, 2) + TPoint(10, 0)); return true; });
  Script.push_back([&] { return MenuWindowOf(sub) != nullptr; });
  Script.push_back([&] { MoveTo(Center(m, 0)); return true; });
  Script.push_back([&] { return MenuWindowOf(sub) == nullptr; });
  Script.push_back([&] { windows.push_back(MenuWindowCount()); Key(VK_DOWN); Key(VK_RIGHT); return true; });
  Script.push_back([&] { windows.push_back(MenuWindowCount()); Key(VK_ESCAPE); return true; });
  Script.push_back([&] { windows.push_back(MenuWindowCount()); Key(VK_ESCAPE); return true; });
  EXPECT_EQ(Track(m), 0);
  EXPECT_EQ(windows, (std::vector<int>{1, 2, 1}));
  EXPECT_TRUE(Script.empty());
}

TEST_F(PopupMenu, TheMenuStaysInsideTheWorkAreaNearItsEdges) {
  HMENU m = Make({"A fairly long first item", "Two", "Three"});
  TRect r;
  auto grab = [&] {
    GetWindowRect(MenuWindowOf(m), &r);
    Key(VK_ESCAPE);
    return true;
  };
  TRect work;
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  // Near the bottom-right corner it opens up and to the left of the point.
  Script.push_back(grab);
  Track(m, TPM_RETURNCMD, {work.Right - 10, work.Bottom - 10});
  EXPECT_EQ(r.Right, work.Right - 10);
  EXPECT_EQ(r.Bottom, work.Bottom - 10);
  // Right- and bottom-aligned at the top-left corner it opens to the right and below.
  Script.push_back(grab);
  Track(m, TPM_RETURNCMD | TPM_RIGHTALIGN | TPM_BOTTOMALIGN, {5, 5});
  EXPECT_EQ(r.TopLeft(), TPoint(5, 5));
  // Centred on a point near the left edge: pushed inside.
  Script.push_back(grab);
  Track(m, TPM_RETURNCMD | TPM_CENTERALIGN | TPM_VCENTERALIGN, {2, 300});
  EXPECT_EQ(r.Left, work.Left);
  EXPECT_EQ(r.CenterPoint().Y, 300);
  // Keeping clear of an exclusion rectangle.
  Script.push_back(grab);
  TPMPARAMS p;
  p.rcExclude = TRect(150, 150, 400, 250);
  TrackPopupMenuEx(m, TPM_RETURNCMD | TPM_VERTICAL, 200, 200, Owner, &p);
  EXPECT_EQ(r.Top, 250);
  EXPECT_EQ(r.Left, 200);
}

TEST_F(PopupMenu, ASubMenuNearTheRightEdgeOpensToTheLeftOnTheSecondMonitor) {
  platform::MonitorInfo a, b;
  a.Bounds = {0, 0, 1920, 1080};
  a.WorkArea = {0, 0, 1920, 1040};
  a.Primary = true;
  b.Bounds = {1920, 0, 3200, 1024};
  b.WorkArea = {1920, 0, 3200, 984};
  Headless().SetMonitors({a, b});
  Pump();
  HMENU sub = CreatePopupMenu();
  AppendMenuW(sub, MF_STRING, 201, u"Inner item");
  HMENU m = Make({"Outer item"});
  AppendMenuW(m, MF_POPUP, reinterpret_cast<UINT_PTR>(sub), u"More");
  TRect parent, child;
  Script.push_back([&] { Key(VK_UP); Key(VK_RIGHT); return true; });
  Script.push_back([&] {
    GetWindowRect(MenuWindowOf(m), &parent);
    GetWindowRect(MenuWindowOf(sub), &child);
    Key(VK_ESCAPE);
    Key(VK_ESCAPE);
    return true;
  });
  Track(m, TPM_RETURNCMD, {3190, 970});
  EXPECT_LE(parent.Right, 3190);
  EXPECT_GE(parent.Left, 1920);
  EXPECT_LE(parent.Bottom, 984);
  EXPECT_LE(child.Right, parent.Left + 6);  // to the left of the parent
  EXPECT_LE(child.Bottom, 984);
  a.Bounds = {0, 0, 1920, 1080};
  Headless().SetMonitors({a});
  Pump();
}

TEST_F(PopupMenu, TheReleaseOfThePressThatOpenedTheMenuDoesNotChoose) {
  HMENU m = Make({"One", "Two"});
  // The pointer rests over the first item where the menu appears (a press opened it).
  MoveTo({205, 210});
  Pump();
  Headless().InjectMouseButton(platform::MouseButton::Left, true);
  Pump();
  Log().clear();
  Script.push_back([&] { Headless().InjectMouseButton(platform::MouseButton::Left, false); return true; });
  Script.push_back([&] { EXPECT_EQ(Hot(m), -1); return true; });
  EXPECT_EQ(Track(m, TPM_RETURNCMD, {200, 200}), 0);
  // Dragging onto an item and releasing there chooses it.
  Headless().InjectMouseButton(platform::MouseButton::Left, true);
  Pump();
  Script.push_back([&] {
    MoveTo(Center(m, 1));
    Headless().InjectMouseButton(platform::MouseButton::Left, false);
    return true;
  });
  EXPECT_EQ(Track(m, TPM_RETURNCMD, {200, 200}), 101);
}

TEST_F(PopupMenu, TheRightButtonChoosesOnlyWhenAsked) {
  HMENU m = Make({"One", "Two"});
  Script.push_back([&] { ClickAt(Center(m, 1), platform::MouseButton::Right); return true; });
  EXPECT_EQ(Track(m, TPM_RETURNCMD), 0);
  Script.push_back([&] { ClickAt(Center(m, 1), platform::MouseButton::Right); return true; });
  EXPECT_EQ(Track(m, TPM_RETURNCMD | TPM_RIGHTBUTTON), 101);
}

TEST_F(PopupMenu, OwnerDrawnItemsAreMeasuredAndDrawnByTheOwner) {
  HMENU m = Make({"Plain"});
  AppendMenuW(m, MF_OWNERDRAW, 150, reinterpret_cast<const Char*>(std::intptr_t(77)));
  std::vector<MEASUREITEMSTRUCT> measured;
  std::vector<DRAWITEMSTRUCT> drawn;
  OnMeasure = [&](MEASUREITEMSTRUCT* mi) {
    measured.push_back(*mi);
    mi->itemWidth = 220;
    mi->itemHeight = 30;
  };
  OnDraw = [&](DRAWITEMSTRUCT* d) {
    drawn.push_back(*d);
    FillDc(d->hDC, d->rcItem, (d->itemState & ODS_SELECTED) ? RGB(0, 0, 255) : RGB(255, 0, 0));
  };
  TRect item, client;
  std::uint32_t before = 0, after = 0;
  Script.push_back([&] {
    HWND w = MenuWindowOf(m);
    GetMenuItemRect(nullptr, m, 1, &item);
    GetClientRect(w, &client);
    TPoint c = item.CenterPoint();
    ScreenToClient(w, &c);
    before = PixelAt(w, c.X, c.Y);
    Key(VK_DOWN);
    Key(VK_DOWN);
    return true;
  });
  Script.push_back([&] {
    HWND w = MenuWindowOf(m);
    TPoint c = item.CenterPoint();
    ScreenToClient(w, &c);
    after = PixelAt(w, c.X, c.Y);
    Key(VK_RETURN);
    return true;
  });
  EXPECT_EQ(Track(m), 150);
  ASSERT_EQ(measured.size(), 1u);
  EXPECT_EQ(measured[0].CtlType, ODT_MENU);
  EXPECT_EQ(measured[0].itemID, 150u);
  EXPECT_EQ(measured[0].itemData, 77u);
  EXPECT_EQ(item.Height(), 30);
  EXPECT_GE(client.Width(), 220);
  ASSERT_GE(drawn.size(), 2u);
  EXPECT_EQ(drawn[0].itemData, 77u);
  EXPECT_EQ(MenuOfDrawItem(drawn[0]), m);
  EXPECT_EQ(drawn[0].rcItem.Height(), 30);
  EXPECT_FALSE(drawn[0].itemState & ODS_SELECTED);
  EXPECT_TRUE(drawn.back().itemState & ODS_SELECTED);
  EXPECT_EQ(before, Px(255, 0, 0));
  EXPECT_EQ(after, Px(0, 0, 255));
}

TEST_F(PopupMenu, TheDefaultLookShowsTheHotItemChecksAndDisabledText) {
  HMENU m = Make({"Hot item", "Checked", "!Disabled", "Open\tCtrl+O"});
  CheckMenuItem(m, 101, MF_CHECKED);
  std::uint32_t back = 0, hotFill = 0;
  int checkDark = 0, disabledText = 0, plainDark = 0, shortcutDark = 0;
  Script.push_back([&] { Key(VK_DOWN); return true; });
  Script.push_back([&] {
    HWND w = MenuWindowOf(m);
    auto rectOf = [&](UINT i) {
      TRect r;
      GetMenuItemRect(nullptr, m, i, &r);
      TPoint o{0, 0};
      ScreenToClient(w, &o);
      return r.Offsetted(o.X, o.Y);
    };
    TRect hot = rectOf(0), checked = rectOf(1), disabled = rectOf(2), open = rectOf(3);
    back = PixelAt(w, checked.Right - 4, checked.Top + 2);
    hotFill = PixelAt(w, hot.Right - 4, hot.CenterPoint().Y);
    for (int y = checked.Top; y < checked.Bottom; ++y)
      for (int x = checked.Left; x < checked.Left + 28; ++x) checkDark += PixelAt(w, x, y) == 0;
    std::uint32_t gray = Px(GetRValue(GetSysColor(COLOR_GRAYTEXT)), GetGValue(GetSysColor(COLOR_GRAYTEXT)),
                            GetBValue(GetSysColor(COLOR_GRAYTEXT)));
    for (int y = disabled.Top; y < disabled.Bottom; ++y)
      for (int x = disabled.Left + 28; x < disabled.Right; ++x) {
        std::uint32_t p = PixelAt(w, x, y);
        disabledText += p == gray;
        plainDark += p == 0;
      }
    // The shortcut is right-aligned: dark pixels in the right part of its row.
    for (int y = open.Top; y < open.Bottom; ++y)
      for (int x = open.Right - 90; x < open.Right - 20; ++x) shortcutDark += PixelAt(w, x, y) == 0;
    Key(VK_ESCAPE);
    return true;
  });
  Track(m);
  EXPECT_EQ(back, Px(0xF2, 0xF2, 0xF2));
  EXPECT_NE(hotFill, back);
  EXPECT_GT(checkDark, 5);
  EXPECT_GT(disabledText, 5);
  EXPECT_EQ(plainDark, 0);
  EXPECT_GT(shortcutDark, 5);
}

TEST_F(PopupMenu, MessageFiltersSeeTheLoopsMessagesAndMayEndIt) {
  HMENU m = Make({"One", "Two"});
  static std::vector<UINT> seen;
  static int eatDown = 0;
  seen.clear();
  eatDown = 1;
  HHOOK hook = SetWindowsHookExW(
      WH_MSGFILTER,
      [](int code, WPARAM, LPARAM lp) -> LRESULT {
        const MSG* msg = reinterpret_cast<const MSG*>(lp);
        if (code == MSGF_MENU) seen.push_back(msg->message);
        if (code == MSGF_MENU && msg->message == WM_KEYDOWN && msg->wParam == VK_DOWN && eatDown-- > 0) return 1;
        if (code == MSGF_MENU && msg->message == WM_KEYDOWN && msg->wParam == 'E') EndMenu();
        return 0;
      },
      nullptr, 0);
  ASSERT_NE(hook, nullptr);
  Script.push_back([&] { Key(VK_DOWN); Key(VK_DOWN); Key(VK_RETURN); return true; });
  EXPECT_EQ(Track(m), 100);  // the first Down was taken by the filter
  EXPECT_NE(std::find(seen.begin(), seen.end(), UINT(WM_KEYDOWN)), seen.end());
  Script.push_back([&] { Type('e'); return true; });
  Script.push_back([&] { Key(VK_DOWN); Key(VK_RETURN); return true; });
  EXPECT_EQ(Track(m), 0);
  EXPECT_EQ(Script.size(), 1u);
  Script.clear();
  UnhookWindowsHookEx(hook);
}

TEST_F(PopupMenu, QuitEndsTheMenuAndStaysQueued) {
  HMENU m = Make({"One"});
  Script.push_back([&] { PostQuitMessage(3); return true; });
  EXPECT_EQ(Track(m), 0);
  MSG msg;
  WPARAM code = 0;
  bool quit = false;
  while (!quit && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    quit = msg.message == WM_QUIT;
    code = msg.wParam;
  }
  EXPECT_TRUE(quit);
  EXPECT_EQ(code, 3u);
}

TEST_F(PopupMenu, TrackingRefusesBadArgumentsAndASecondMenu) {
  HMENU m = Make({"One"});
  HMENU other = Make({"Two"});
  EXPECT_EQ(TrackPopupMenu(nullptr, TPM_RETURNCMD, 10, 10, 0, Owner, nullptr), 0);
  EXPECT_EQ(TrackPopupMenu(m, 0, 10, 10, 0, nullptr, nullptr), 0);
  int nested = -1;
  bool destroyed = true;
  Script.push_back([&] {
    nested = TrackPopupMenu(other, 0, 10, 10, 0, Owner, nullptr);
    destroyed = DestroyMenu(m);  // shown: refused
    EXPECT_EQ(SendMessageW(MenuWindowOf(m), MN_GETHMENU, 0, 0), reinterpret_cast<LRESULT>(m));
    Key(VK_ESCAPE);
    return true;
  });
  EXPECT_EQ(Track(m), 0);
  EXPECT_EQ(nested, 0);
  EXPECT_FALSE(destroyed);
  EXPECT_TRUE(IsMenu(m));
  EXPECT_EQ(TrackedMenu(), nullptr);
  EXPECT_FALSE(EndMenu());
}

TEST_F(PopupMenu, PaintersReadTheItemsOfAMenuWindowAndTheImagesItsSourceGives) {
  HIMAGELIST images = ImageList_Create(16, 16, ILC_COLOR32, 1, 1);
  void* bits = nullptr;
  HBITMAP red = CreateDIB32(16, 16, &bits);
  for (int i = 0; i < 256; ++i) static_cast<std::uint32_t*>(bits)[i] = 0xFFFF0000u;
  ImageList_Add(images, red, nullptr);
  DeleteObject(red);
  HMENU sub = CreatePopupMenu();
  AppendMenuW(sub, MF_STRING, 201, u"Inner");
  HMENU m = Make({"&Open\tCtrl+O", "-", "!Off"});
  AppendMenuW(m, MF_POPUP, reinterpret_cast<UINT_PTR>(sub), u"More");
  CheckMenuRadioItem(m, 0, 0, 0, MF_BYPOSITION);
  SetMenuDefaultItem(m, 0, true);
  SetMenuImageSource(m, [&](HMENU, UINT pos, ULONG_PTR) {
    return pos == 2 ? TMenuItemImage{images, 0} : TMenuItemImage{};
  });
  std::vector<TMenuWindowItem> items, later;
  int redPixels = 0;
  TRect client;
  Script.push_back([&] { Key(VK_DOWN); return true; });
  Script.push_back([&] {
    HWND w = MenuWindowOf(m);
    items = GetMenuWindowItems(w);
    GetClientRect(w, &client);
    if (items.size() == 4)
      for (int y = items[2].Rect.Top; y < items[2].Rect.Bottom; ++y)
        for (int x = items[2].Rect.Left; x < items[2].Rect.Left + 28; ++x)
          redPixels += PixelAt(w, x, y) != Px(0xF2, 0xF2, 0xF2) && (PixelAt(w, x, y) & 0xFF0000) >= 0x800000;
    CheckMenuItem(m, 0, MF_BYPOSITION | MF_UNCHECKED);  // an open menu shows changes
    return true;
  });
  Script.push_back([&] {
    later = GetMenuWindowItems(MenuWindowOf(m));
    Key(VK_ESCAPE);
    return true;
  });
  Track(m);
  ASSERT_EQ(items.size(), 4u);
  EXPECT_EQ(items[0].Text, u"&Open");
  EXPECT_EQ(items[0].ShortCut, u"Ctrl+O");
  EXPECT_TRUE(items[0].Hot && items[0].Checked && items[0].RadioCheck && items[0].Default);
  EXPECT_TRUE(items[1].Separator);
  EXPECT_TRUE(items[2].Disabled);
  EXPECT_EQ(items[2].Images, images);
  EXPECT_EQ(items[2].ImageIndex, 0);
  EXPECT_TRUE(items[3].HasSubMenu);
  EXPECT_FALSE(items[3].Hot);
  for (const TMenuWindowItem& it : items) EXPECT_TRUE(client.Contains(it.Rect));
  EXPECT_EQ(items[0].Rect.Bottom, items[1].Rect.Top);
  EXPECT_GT(redPixels, 20);  // the image, faded as the item is disabled
  ASSERT_EQ(later.size(), 4u);
  EXPECT_FALSE(later[0].Checked);
  EXPECT_TRUE(GetMenuWindowItems(Owner).empty());
  ImageList_Destroy(images);
}
