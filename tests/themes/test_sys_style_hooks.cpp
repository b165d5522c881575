// Style hooks of system window classes: attached to existing and new windows while a custom
// style is active, removed with the system style, told of style changes, surviving their own
// removal from inside their messages; the engine's popup-menu and tooltip hooks.
#include <gtest/gtest.h>

#include "host/graphics/Canvas.h"
#include "host/themes/StyleHooks.h"
#include "host/themes/StyleManager.h"
#include "host/themes/SysDefaultHooks.h"
#include "tests/win/WinTestUtil.h"

using namespace vcl;
using namespace vcl::wintest;

namespace {

// What the test hooks saw, in order: "hook:<msg>" for the hook, "wnd:<msg>" for the window.
std::vector<std::string>& Trace() {
  static std::vector<std::string> t;
  return t;
}
int gHooksAlive = 0;
// Set by a test: a message on which the hook switches to the system style from inside.
UINT gSwitchOn = 0;

class TRecordingHook : public TSysStyleHook {
 public:
  explicit TRecordingHook(HWND h) : TSysStyleHook(h) { ++gHooksAlive; }
  ~TRecordingHook() override { --gHooksAlive; }

 protected:
  void WndProc(TMessage& msg) override {
    if (msg.Msg == WM_NCCREATE || msg.Msg == CM_STYLECHANGED || msg.Msg >= WM_USER)
      Trace().push_back("hook:" + std::to_string(msg.Msg));
    if (msg.Msg == WM_USER + 1) {  // taken by the hook
      msg.Result = 42;
      SetHandled(true);
      return;
    }
    if (msg.Msg == WM_USER + 2) {  // passed on, the result changed afterwards
      msg.Result = CallDefaultProc(msg) + 1;
      SetHandled(true);
      return;
    }
    if (gSwitchOn && msg.Msg == gSwitchOn) {
      TStyleManager::SetStyle(u"Windows");  // removes this hook while it runs
      Trace().push_back("hook still running");
      msg.Result = CallDefaultProc(msg);
      SetHandled(true);
      return;
    }
    TSysStyleHook::WndProc(msg);
  }
};

class TOtherHook : public TRecordingHook {
 public:
  using TRecordingHook::TRecordingHook;
};

LRESULT HookTestProc(HWND h, UINT m, WPARAM wp, LPARAM lp) {
  if (m == WM_NCCREATE || m == CM_STYLECHANGED || m >= WM_USER) Trace().push_back("wnd:" + std::to_string(m));
  if (m == WM_USER + 2) return 10;
  return DefWindowProcW(h, m, wp, lp);
}

const Char* HookTestClass() {
  static bool done = [] {
    WNDCLASSEXW wc;
    wc.lpfnWndProc = HookTestProc;
    wc.lpszClassName = u"KxHookTest";
    return RegisterClassExW(&wc) != 0;
  }();
  (void)done;
  return u"KxHookTest";
}

HWND MakeHooked(DWORD style = WS_POPUP | WS_VISIBLE, TRect r = TRect(10, 10, 110, 60), HWND parent = nullptr) {
  return CreateWindowExW(0, HookTestClass(), u"x", style, r.Left, r.Top, r.Width(), r.Height(), parent, nullptr,
                         nullptr, nullptr);
}

std::string Msg(const char* who, UINT m) { return std::string(who) + ":" + std::to_string(m); }

class SysStyleHooks : public WinTest {
 protected:
  void SetUp() override {
    WinTest::SetUp();
    Trace().clear();
    gSwitchOn = 0;
    TStyleManager::SetStyle(u"Windows");
    TStyleManager::RegisterSysStyleHook(u"kxhooktest", SysStyleHookClass<TRecordingHook>());
  }
  void TearDown() override {
    TStyleManager::SetStyle(u"Windows");
    TStyleManager::UnRegisterSysStyleHook(u"KxHookTest", SysStyleHookClass<TRecordingHook>());
    TStyleManager::UnRegisterSysStyleHook(u"KxHookTest", SysStyleHookClass<TOtherHook>());
    TSysPopupStyleHook::SetItemSource(nullptr);
    WinTest::TearDown();
    EXPECT_EQ(gHooksAlive, 0);
  }
};

}  // namespace

TEST_F(SysStyleHooks, AttachedWhileACustomStyleIsActiveAndRemovedWithTheSystemStyle) {
  EXPECT_EQ(TStyleManager::SysStyleHookClassOf(u"KXHOOKTEST"), SysStyleHookClass<TRecordingHook>());
  HWND before = MakeHooked();
  HWND child = MakeHooked(WS_CHILD | WS_VISIBLE, TRect(0, 0, 10, 10), before);
  EXPECT_EQ(TStyleManager::SysStyleHookOf(before), nullptr);  // the system style: no hooks
  EXPECT_EQ(gHooksAlive, 0);

  TStyleManager::SetStyle(u"Glow");
  // Existing windows of the class, children included, have hooks now.
  EXPECT_NE(TStyleManager::SysStyleHookOf(before), nullptr);
  EXPECT_NE(TStyleManager::SysStyleHookOf(child), nullptr);
  EXPECT_EQ(gHooksAlive, 2);
  // Every window is told of the change, the hook before the window itself.
  auto it = std::find(Trace().begin(), Trace().end(), Msg("hook", CM_STYLECHANGED));
  ASSERT_NE(it, Trace().end());
  EXPECT_EQ(*(it + 1), Msg("wnd", CM_STYLECHANGED));

  // A new window gets its hook before its first message.
  Trace().clear();
  HWND after = MakeHooked();
  ASSERT_NE(TStyleManager::SysStyleHookOf(after), nullptr);
  ASSERT_GE(Trace().size(), 2u);
  EXPECT_EQ(Trace()[0], Msg("hook", WM_NCCREATE));
  EXPECT_EQ(Trace()[1], Msg("wnd", WM_NCCREATE));
  // Windows of other classes are left alone.
  HWND plain = MakeWindow(WS_POPUP, TRect(0, 0, 10, 10));
  EXPECT_EQ(TStyleManager::SysStyleHookOf(plain), nullptr);

  // Handled messages stop at the hook; passed-on ones reach the window procedure.
  Trace().clear();
  EXPECT_EQ(SendMessageW(after, WM_USER + 1, 0, 0), 42);
  EXPECT_EQ(Trace(), (std::vector<std::string>{Msg("hook", WM_USER + 1)}));
  EXPECT_EQ(SendMessageW(after, WM_USER + 2, 0, 0), 11);
  EXPECT_EQ(SendMessageW(after, WM_USER + 3, 0, 0), 0);
  EXPECT_EQ(Trace().back(), Msg("wnd", WM_USER + 3));

  // Another custom style keeps the hooks and tells them.
  Trace().clear();
  TSysStyleHook* kept = TStyleManager::SysStyleHookOf(after);
  TStyleManager::SetStyle(u"Sky");
  EXPECT_EQ(TStyleManager::SysStyleHookOf(after), kept);
  EXPECT_NE(std::find(Trace().begin(), Trace().end(), Msg("hook", CM_STYLECHANGED)), Trace().end());

  // A destroyed window takes its hook with it.
  DestroyWindow(after);
  EXPECT_EQ(gHooksAlive, 2);
  // The system style removes the others; the windows work on without them.
  TStyleManager::SetStyle(u"Windows");
  EXPECT_EQ(gHooksAlive, 0);
  EXPECT_EQ(TStyleManager::SysStyleHookOf(before), nullptr);
  Trace().clear();
  EXPECT_EQ(SendMessageW(before, WM_USER + 1, 0, 0), 0);
  EXPECT_EQ(Trace(), (std::vector<std::string>{Msg("wnd", WM_USER + 1)}));
  HWND later = MakeHooked();
  EXPECT_EQ(TStyleManager::SysStyleHookOf(later), nullptr);
}

TEST_F(SysStyleHooks, RegistrationChangesApplyToExistingWindows) {
  TStyleManager::SetStyle(u"Glow");
  HWND w = MakeHooked();
  TSysStyleHook* first = TStyleManager::SysStyleHookOf(w);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(dynamic_cast<TOtherHook*>(first), nullptr);
  // Registering the class again replaces the hook class, on existing windows too.
  TStyleManager::RegisterSysStyleHook(u"KxHookTest", SysStyleHookClass<TOtherHook>());
  EXPECT_NE(dynamic_cast<TOtherHook*>(TStyleManager::SysStyleHookOf(w)), nullptr);
  EXPECT_EQ(gHooksAlive, 1);
  // Unregistering with a class that is not the registered one changes nothing.
  TStyleManager::UnRegisterSysStyleHook(u"KxHookTest", SysStyleHookClass<TRecordingHook>());
  EXPECT_NE(TStyleManager::SysStyleHookOf(w), nullptr);
  TStyleManager::UnRegisterSysStyleHook(u"kxhooktest", SysStyleHookClass<TOtherHook>());
  EXPECT_EQ(TStyleManager::SysStyleHookOf(w), nullptr);
  EXPECT_EQ(TStyleManager::SysStyleHookClassOf(u"KxHookTest"), nullptr);
  EXPECT_EQ(gHooksAlive, 0);
  EXPECT_EQ(TStyleManager::SysStyleHookOf(MakeHooked()), nullptr);
  // Registering while a custom style is active hooks the windows there are.
  TStyleManager::RegisterSysStyleHook(u"KxHookTest", SysStyleHookClass<TRecordingHook>());
  EXPECT_NE(TStyleManager::SysStyleHookOf(w), nullptr);
  EXPECT_THROW(TStyleManager::RegisterSysStyleHook(u"KxHookTest", nullptr), EStyleEngineException);
}

TEST_F(SysStyleHooks, AHookRemovedInsideItsOwnMessageFinishesIt) {
  TStyleManager::SetStyle(u"Glow");
  HWND w = MakeHooked();
  ASSERT_EQ(gHooksAlive, 1);
  gSwitchOn = WM_USER + 5;
  EXPECT_EQ(SendMessageW(w, WM_USER + 5, 0, 0), 0);
  gSwitchOn = 0;
  EXPECT_NE(std::find(Trace().begin(), Trace().end(), std::string("hook still running")), Trace().end());
  EXPECT_EQ(Trace().back(), Msg("wnd", WM_USER + 5));  // the default processing still ran
  EXPECT_EQ(gHooksAlive, 0);                            // and the hook went afterwards
  EXPECT_EQ(TStyleManager::SysStyleHookOf(w), nullptr);
  Trace().clear();
  SendMessageW(w, WM_USER + 1, 0, 0);
  EXPECT_EQ(Trace(), (std::vector<std::string>{Msg("wnd", WM_USER + 1)}));
}

namespace {
WNDPROC gLaterOrig = nullptr;
int gLaterCalls = 0;
LRESULT LaterSubclass(HWND h, UINT m, WPARAM wp, LPARAM lp) {
  if (m == WM_USER + 7) ++gLaterCalls;
  return CallWindowProcW(gLaterOrig, h, m, wp, lp);
}
}  // namespace

TEST_F(SysStyleHooks, ASubclassInstalledAfterTheHookKeepsWorking) {
  TStyleManager::SetStyle(u"Glow");
  HWND w = MakeHooked();
  gLaterCalls = 0;
  gLaterOrig = LongToProc(SetWindowLongPtrW(w, GWLP_WNDPROC, ProcToLong(LaterSubclass)));
  EXPECT_EQ(SendMessageW(w, WM_USER + 1, 0, 0), 42);  // through the later subclass to the hook
  // The hook cannot unlink itself from under the later procedure: it passes messages on.
  TStyleManager::SetStyle(u"Windows");
  EXPECT_EQ(gHooksAlive, 0);
  Trace().clear();
  EXPECT_EQ(SendMessageW(w, WM_USER + 7, 0, 0), 0);
  EXPECT_EQ(gLaterCalls, 1);
  EXPECT_EQ(Trace(), (std::vector<std::string>{Msg("wnd", WM_USER + 7)}));
  // Back to a custom style: the same window is hooked again.
  TStyleManager::SetStyle(u"Glow");
  EXPECT_EQ(SendMessageW(w, WM_USER + 1, 0, 0), 42);
  DestroyWindow(w);
  EXPECT_EQ(gHooksAlive, 0);
}

// ---- the engine's hooks -------------------------------------------------------------------------

namespace {

const Char* FakeMenuClass() {
  static bool done = [] {
    WNDCLASSEXW wc;
    wc.lpfnWndProc = DefWindowProcW;
    wc.hbrBackground = GetSysColorBrush(COLOR_MENU);
    wc.lpszClassName = u"KxFakeMenu";
    return RegisterClassExW(&wc) != 0;
  }();
  (void)done;
  return u"KxFakeMenu";
}

std::uint32_t Rgb(TColor c) {
  COLORREF v = ColorToRGB(c);
  return (std::uint32_t(GetRValue(v)) << 16) | (std::uint32_t(GetGValue(v)) << 8) | GetBValue(v);
}

TColor FillOf(TCustomStyleServices* s, TThemedElementDetails d) {
  TColor c = clNone;
  EXPECT_TRUE(s->GetElementColor(d, ecFillColor, c)) << ElementDetailsName(d);
  return c;
}

}  // namespace

TEST_F(SysStyleHooks, TheEngineHooksPopupMenusAndTooltips) {
  EXPECT_EQ(TStyleManager::SysStyleHookClassOf(u"#32768"), SysStyleHookClass<TSysPopupStyleHook>());
  EXPECT_EQ(TStyleManager::SysStyleHookClassOf(u"TOOLTIPS_CLASS32"), SysStyleHookClass<TSysTooltipsStyleHook>());
}

TEST_F(SysStyleHooks, APopupMenuIsPaintedInTheStyle) {
  TStyleManager::RegisterSysStyleHook(u"KxFakeMenu", SysStyleHookClass<TSysPopupStyleHook>());
  // Items: a hot one, a separator, a checked disabled one with a sub-menu.
  TSysPopupStyleHook::SetItemSource([](HWND) {
    std::vector<TStyledMenuItem> items(3);
    items[0].Text = u"&Open\tCtrl+O";
    items[0].Hot = true;
    items[0].Rect = TRect(2, 2, 158, 26);
    items[1].Separator = true;
    items[1].Rect = TRect(2, 26, 158, 33);
    items[2].Text = u"Recent";
    items[2].Checked = true;
    items[2].HasSubMenu = true;
    items[2].Rect = TRect(2, 33, 158, 57);
    return items;
  });
  TStyleManager::SetStyle(u"Glow");
  TCustomStyleServices* glow = TStyleManager::ActiveStyle();
  HWND menu = CreateWindowExW(0, FakeMenuClass(), nullptr, WS_POPUP | WS_VISIBLE, 300, 300, 160, 60, nullptr,
                              nullptr, nullptr, nullptr);
  ASSERT_NE(dynamic_cast<TSysPopupStyleHook*>(TStyleManager::SysStyleHookOf(menu)), nullptr);
  Pump();
  // The background is the style's popup background, not the class brush.
  EXPECT_EQ(PixelAt(menu, 80, 58), Rgb(FillOf(glow, GetElementDetails(tmPopupBackground))));
  // The hot item shows the style's hot item, its text in the hot text colour somewhere.
  EXPECT_EQ(PixelAt(menu, 150, 14), Rgb(FillOf(glow, GetElementDetails(tmPopupItemHot))));
  bool hotText = false;
  std::uint32_t hotColor = Rgb(StyledMenuItemTextColor(glow, true, false));
  for (int x = 30; x < 80 && !hotText; ++x)
    for (int y = 6; y < 22; ++y) hotText = hotText || PixelAt(menu, x, y) == hotColor;
  EXPECT_TRUE(hotText);
  // The gutter at the left of a plain row, the check background in the checked row.
  std::uint32_t gutter = Rgb(FillOf(glow, GetElementDetails(tmPopupGutter)));
  EXPECT_EQ(PixelAt(menu, 4, 29), gutter);
  std::uint32_t checkBack = Rgb(FillOf(glow, GetElementDetails(tmPopupCheckBackgroundNormal)));
  int checkPixels = 0;
  for (int x = 2; x < 30; ++x)
    for (int y = 33; y < 57; ++y) checkPixels += PixelAt(menu, x, y) == checkBack;
  EXPECT_GT(checkPixels, 100);
  // Without a custom style the class paints it again.
  TStyleManager::SetStyle(u"Windows");
  UpdateWindow(menu);
  EXPECT_EQ(PixelAt(menu, 80, 58), Rgb(TColor(GetSysColor(COLOR_MENU))));
  TStyleManager::UnRegisterSysStyleHook(u"KxFakeMenu", SysStyleHookClass<TSysPopupStyleHook>());
}

TEST_F(SysStyleHooks, ATooltipIsPaintedInTheStyleUnlessItIsABalloon) {
  TStyleManager::RegisterSysStyleHook(u"KxFakeMenu", SysStyleHookClass<TSysTooltipsStyleHook>());
  TStyleManager::SetStyle(u"Windows10 Dark");
  TCustomStyleServices* dark = TStyleManager::ActiveStyle();
  HWND tip = CreateWindowExW(0, FakeMenuClass(), u"A helpful hint", WS_POPUP | WS_VISIBLE | WS_BORDER, 300, 300,
                             140, 24, nullptr, nullptr, nullptr, nullptr);
  HWND balloon = CreateWindowExW(0, FakeMenuClass(), u"Balloon", WS_POPUP | WS_VISIBLE | TSysTooltipsStyleHook::TTS_BALLOON,
                                 300, 400, 140, 24, nullptr, nullptr, nullptr, nullptr);
  Pump();
  auto d = GetElementDetails(tttStandardNormal);
  TColor border = clNone, text = clNone;
  ASSERT_TRUE(dark->GetElementColor(d, ecBorderColor, border));
  ASSERT_TRUE(dark->GetElementColor(d, ecTextColor, text));
  EXPECT_EQ(PixelAt(tip, 0, 12), Rgb(border));                 // the frame in the border colour
  EXPECT_EQ(PixelAt(tip, 136, 12), Rgb(FillOf(dark, d)));       // the inside in the fill
  int textPixels = 0;
  for (int x = 2; x < 120; ++x)
    for (int y = 2; y < 22; ++y) {
      std::uint32_t p = PixelAt(tip, x, y);
      textPixels += p != Rgb(FillOf(dark, d));
    }
  EXPECT_GT(textPixels, 30);  // the text was drawn
  // The balloon keeps its class painting.
  EXPECT_EQ(PixelAt(balloon, 70, 12), Rgb(TColor(GetSysColor(COLOR_MENU))));
  TStyleManager::UnRegisterSysStyleHook(u"KxFakeMenu", SysStyleHookClass<TSysTooltipsStyleHook>());
}
