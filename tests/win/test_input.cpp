// Input: mouse routing and activation, double clicks, capture across windows, mouse leave
// and hover, focus and activation with non-activating pop-ups, the low-level mouse hook,
// keyboard messages and translation, key state, carets.
#include "host/platform/headless/HeadlessBackend.h"
#include "tests/win/WinTestUtil.h"

using namespace vcl;
using namespace vcl::wintest;
using platform::MouseButton;

namespace {

class Input : public WinTest {
 protected:
  void TearDown() override {
    for (int vk : {VK_CONTROL, VK_MENU, VK_SHIFT}) Headless().InjectKey(std::uint16_t(vk), false);
    Headless().InjectMouseMove(1900, 1000);
    WinTest::TearDown();
  }
  static void Click(TPoint p, MouseButton b = MouseButton::Left) { Headless().InjectClick(p.X, p.Y, b); }
  static void Move(TPoint p) { Headless().InjectMouseMove(p.X, p.Y); }
  static void Key(int vk, bool down) { Headless().InjectKey(std::uint16_t(vk), down); }
};

}  // namespace

TEST_F(Input, MouseMessagesGoToTheWindowUnderThePointer) {
  HWND top = MakeWindow(WS_OVERLAPPEDWINDOW | WS_VISIBLE, TRect(100, 100, 500, 400));
  HWND c = MakeWindow(WS_CHILD | WS_VISIBLE, TRect(10, 10, 110, 110), top);
  Pump();
  Log().clear();
  Move(ScreenOf(c, {5, 7}));
  Pump();
  EXPECT_EQ(Msgs(c, {WM_SETCURSOR, WM_MOUSEMOVE}), (std::vector<UINT>{WM_SETCURSOR, WM_MOUSEMOVE}));
  EXPECT_EQ(LParamToPoint(Last(c, WM_MOUSEMOVE)->LParam), TPoint(5, 7));
  // Over the caption: a non-client move with the hit-test code and screen coordinates.
  Move({300, 112});
  Pump();
  const Logged* nc = Last(top, WM_NCMOUSEMOVE);
  ASSERT_NE(nc, nullptr);
  EXPECT_EQ(LRESULT(nc->WParam), HTCAPTION);
  EXPECT_EQ(LParamToPoint(nc->LParam), TPoint(300, 112));
  // Buttons carry the key state; a move keeps its order between button events.
  Log().clear();
  TPoint p = ScreenOf(c, {20, 20});
  Move(p);
  Headless().InjectMouseButton(MouseButton::Left, true);
  Move(p + TPoint(3, 0));
  Headless().InjectMouseButton(MouseButton::Left, false);
  Pump();
  EXPECT_EQ(Msgs(c, {WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP}),
            (std::vector<UINT>{WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_MOUSEMOVE, WM_LBUTTONUP}));
  EXPECT_EQ(Last(c, WM_MOUSEMOVE)->WParam & MK_LBUTTON, MK_LBUTTON);
  EXPECT_EQ(LParamToPoint(Last(c, WM_LBUTTONUP)->LParam), TPoint(23, 20));
}

TEST_F(Input, MouseMovesCoalesceButDoubleClicksNeedTheClassStyle) {
  HWND top = MakeWindow(WS_POPUP | WS_VISIBLE, TRect(0, 0, 300, 300));
  Pump();
  Log().clear();
  for (int i = 0; i < 5; ++i) Move({10 + i, 10});
  Pump();
  EXPECT_EQ(Count(top, WM_MOUSEMOVE), 1);
  EXPECT_EQ(LParamToPoint(Last(top, WM_MOUSEMOVE)->LParam), TPoint(14, 10));

  Click({50, 50});
  Click({51, 50});
  Click({51, 51});  // a third click starts over
  Pump();
  EXPECT_EQ(Msgs(top, {WM_LBUTTONDOWN, WM_LBUTTONDBLCLK}),
            (std::vector<UINT>{WM_LBUTTONDOWN, WM_LBUTTONDBLCLK, WM_LBUTTONDOWN}));
  // Too slow, or a class without CS_DBLCLKS: two single clicks.
  AdvanceClock(1000);
  Log().clear();
  Click({50, 50});
  AdvanceClock(GetDoubleClickTime() + 1);
  Click({50, 50});
  HWND plain = MakeWindow(WS_CHILD | WS_VISIBLE, TRect(100, 100, 200, 200), top, 0, nullptr, FilledClass());
  Click({150, 150});
  Click({150, 150});
  Pump();
  EXPECT_EQ(Msgs(top, {WM_LBUTTONDOWN, WM_LBUTTONDBLCLK}), (std::vector<UINT>{WM_LBUTTONDOWN, WM_LBUTTONDOWN}));
  EXPECT_EQ(Msgs(plain, {WM_LBUTTONDOWN, WM_LBUTTONDBLCLK}), (std::vector<UINT>{WM_LBUTTONDOWN, WM_LBUTTONDOWN}));
}

TEST_F(Input, CaptureHoldsTheMouseAcrossTopLevelWindows) {
  HWND a = MakeWindow(WS_POPUP | WS_VISIBLE, TRect(0, 0, 200, 200));
  HWND b = MakeWindow(WS_POPUP | WS_VISIBLE, TRect(400, 0, 600, 200));
  Pump();
  EXPECT_EQ(SetCapture(a), nullptr);
  EXPECT_EQ(GetCapture(), a);
  Log().clear();
  Move({450, 50});
  Click({450, 50});
  Pump();
  EXPECT_EQ(Count(b, WM_MOUSEMOVE) + Count(b, WM_LBUTTONDOWN), 0);
  ASSERT_NE(Last(a, WM_LBUTTONDOWN), nullptr);
  EXPECT_EQ(LParamToPoint(Last(a, WM_LBUTTONDOWN)->LParam), TPoint(450, 50));  // a's client coordinates
  // Another window taking the capture tells the old one.
  Log().clear();
  SetCapture(b);
  ASSERT_NE(Last(a, WM_CAPTURECHANGED), nullptr);
  EXPECT_EQ(reinterpret_cast<HWND>(Last(a, WM_CAPTURECHANGED)->LParam), b);
  ReleaseCapture();
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_EQ(reinterpret_cast<HWND>(Last(b, WM_CAPTURECHANGED)->LParam), nullptr);
  // Destroying the capturing window releases the capture.
  SetCapture(a);
  DestroyWindow(a);
  EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(Input, MouseLeaveAndHoverTracking) {
  HWND top = MakeWindow(WS_OVERLAPPEDWINDOW | WS_VISIBLE, TRect(0, 0, 400, 300));
  HWND a = MakeWindow(WS_CHILD | WS_VISIBLE, TRect(10, 10, 110, 110), top);
  HWND b = MakeWindow(WS_CHILD | WS_VISIBLE, TRect(150, 10, 250, 110), top);
  Move(ScreenOf(a, {50, 50}));
  Pump();
  TRACKMOUSEEVENT tme;
  tme.dwFlags = TME_LEAVE | TME_HOVER;
  tme.hwndTrack = a;
  tme.dwHoverTime = 300;
  ASSERT_TRUE(TrackMouseEvent(&tme));
  Log().clear();
  AdvanceClock(299);
  Pump();
  EXPECT_EQ(Count(a, WM_MOUSEHOVER), 0);
  AdvanceClock(1);
  Pump();
  EXPECT_EQ(Count(a, WM_MOUSEHOVER), 1);
  AdvanceClock(1000);
  Pump();
  EXPECT_EQ(Count(a, WM_MOUSEHOVER), 1);  // once per request
  Move(ScreenOf(b, {50, 50}));
  Pump();
  EXPECT_EQ(Count(a, WM_MOUSELEAVE), 1);
  Move(ScreenOf(a, {50, 50}));
  Move(ScreenOf(b, {50, 50}));
  Pump();
  EXPECT_EQ(Count(a, WM_MOUSELEAVE), 1);  // tracking ended with the first leave
  // Asking while the pointer is elsewhere reports the leave at once.
  tme.dwFlags = TME_LEAVE;
  TrackMouseEvent(&tme);
  Pump();
  EXPECT_EQ(Count(a, WM_MOUSELEAVE), 2);
  // Non-client tracking ends when the pointer enters the client area.
  Move({200, 15});  // the caption
  Pump();
  tme.dwFlags = TME_LEAVE | TME_NONCLIENT;
  tme.hwndTrack = top;
  TrackMouseEvent(&tme);
  Move(ScreenOf(top, {300, 200}));
  Pump();
  EXPECT_EQ(Count(top, WM_NCMOUSELEAVE), 1);
  EXPECT_EQ(Count(top, WM_MOUSELEAVE), 0);
}

TEST_F(Input, ActivationAndFocusWithNonActivatingPopups) {
  HWND a = MakeWindow(WS_OVERLAPPEDWINDOW | WS_VISIBLE, TRect(0, 0, 300, 300));
  HWND edit = MakeWindow(WS_CHILD | WS_VISIBLE, TRect(10, 10, 100, 40), a);
  HWND b = MakeWindow(WS_OVERLAPPEDWINDOW | WS_VISIBLE, TRect(400, 0, 700, 300));
  Pump();
  EXPECT_EQ(GetActiveWindow(), b);
  SetFocus(edit);  // activates a again
  EXPECT_EQ(GetActiveWindow(), a);
  EXPECT_EQ(GetFocus(), edit);
  EXPECT_EQ(GetForegroundWindow(), a);

  // Clicking the inactive window: deactivation first, then activation by click, then focus.
  Log().clear();
  Click({550, 150});
  Pump();
  std::vector<std::pair<HWND, UINT>> seq;
  for (const Logged& l : Log())
    if (l.Msg == WM_MOUSEACTIVATE || l.Msg == WM_NCACTIVATE || l.Msg == WM_ACTIVATE ||
        l.Msg == WM_KILLFOCUS || l.Msg == WM_SETFOCUS || l.Msg == WM_LBUTTONDOWN)
      seq.push_back({l.Hwnd, l.Msg});
  std::vector<std::pair<HWND, UINT>> want = {
      {b, WM_MOUSEACTIVATE}, {a, WM_NCACTIVATE}, {a, WM_ACTIVATE}, {b, WM_NCACTIVATE},
      {b, WM_ACTIVATE},      {edit, WM_KILLFOCUS}, {b, WM_SETFOCUS}, {b, WM_LBUTTONDOWN}};
  EXPECT_EQ(seq, want);
  EXPECT_EQ(LOWORD(Last(b, WM_ACTIVATE)->WParam), WA_CLICKACTIVE);

  // A non-activating pop-up owned by a: shown, clicked and focused, it never takes
  // activation, and the focus stays where it was.
  SetFocus(edit);
  HWND pop = MakeWindow(WS_POPUP, TRect(50, 50, 150, 150), a, WS_EX_NOACTIVATE | WS_EX_TOPMOST);
  ShowWindow(pop, SW_SHOW);
  Pump();
  EXPECT_EQ(GetActiveWindow(), a);
  EXPECT_EQ(GetFocus(), edit);
  Log().clear();
  Click({100, 100});
  Pump();
  EXPECT_EQ(Count(pop, WM_LBUTTONDOWN), 1);
  EXPECT_EQ(GetActiveWindow(), a);
  EXPECT_EQ(GetFocus(), edit);
  EXPECT_EQ(Count(a, WM_NCACTIVATE), 0);
  EXPECT_EQ(SetFocus(pop), nullptr);
  EXPECT_EQ(GetFocus(), edit);
  EXPECT_EQ(SetActiveWindow(pop), a);
  EXPECT_EQ(GetActiveWindow(), a);

  // An ordinary pop-up answering MA_NOACTIVATE stays inactive too; MA_ACTIVATEANDEAT
  // activates and swallows the click.
  HWND pop2 = MakeWindow(WS_POPUP | WS_VISIBLE, TRect(200, 400, 300, 500), nullptr, 0,
                         [](HWND, UINT m, WPARAM, LPARAM, LRESULT& r) {
                           if (m != WM_MOUSEACTIVATE) return false;
                           r = MA_NOACTIVATE;
                           return true;
                         });
  SetActiveWindow(a);
  Log().clear();
  Click({250, 450});
  Pump();
  EXPECT_EQ(GetActiveWindow(), a);
  EXPECT_EQ(Count(pop2, WM_LBUTTONDOWN), 1);
  Handlers()[pop2] = [](HWND, UINT m, WPARAM, LPARAM, LRESULT& r) {
    if (m != WM_MOUSEACTIVATE) return false;
    r = MA_ACTIVATEANDEAT;
    return true;
  };
  Log().clear();
  Click({250, 450});
  Pump();
  EXPECT_EQ(GetActiveWindow(), pop2);
  EXPECT_EQ(Count(pop2, WM_LBUTTONDOWN), 0);

  // Losing the application's focus deactivates without activating another window.
  SetActiveWindow(a);
  SetFocus(edit);
  Log().clear();
  Headless().InjectFocus(false);
  Pump();
  EXPECT_EQ(GetForegroundWindow(), nullptr);
  EXPECT_EQ(GetFocus(), nullptr);
  EXPECT_EQ(Count(a, WM_ACTIVATEAPP), 1);
  EXPECT_EQ(Last(a, WM_ACTIVATEAPP)->WParam, 0u);
  Headless().InjectFocus(true);
  Pump();
  EXPECT_EQ(GetActiveWindow(), a);
}

namespace {
std::vector<std::pair<WPARAM, TPoint>> gLL;
bool gSwallow = false;
LRESULT MouseLL(int code, WPARAM wp, LPARAM lp) {
  auto* ms = reinterpret_cast<MSLLHOOKSTRUCT*>(lp);
  if (wp != WM_MOUSEMOVE) gLL.push_back({wp, ms->pt});
  if (gSwallow && wp == WM_LBUTTONDOWN) return 1;
  return CallNextHookEx(nullptr, code, wp, lp);
}
}  // namespace

TEST_F(Input, LowLevelMouseHookSeesEveryClickFirst) {
  HWND a = MakeWindow(WS_POPUP | WS_VISIBLE, TRect(0, 0, 200, 200));
  HWND pop = MakeWindow(WS_POPUP | WS_VISIBLE, TRect(300, 300, 400, 400), a, WS_EX_NOACTIVATE);
  Pump();
  gLL.clear();
  gSwallow = false;
  HHOOK h = SetWindowsHookExW(WH_MOUSE_LL, MouseLL, nullptr, 0);
  Click({50, 50});
  Click({350, 350}, MouseButton::Right);
  Pump();
  ASSERT_EQ(gLL.size(), 4u);
  EXPECT_EQ(gLL[0].first, WPARAM(WM_LBUTTONDOWN));
  EXPECT_EQ(gLL[0].second, TPoint(50, 50));
  EXPECT_EQ(gLL[2].first, WPARAM(WM_RBUTTONDOWN));
  EXPECT_EQ(WindowFromPoint(gLL[2].second), pop);
  // A hook that swallows the press keeps it from the window.
  gSwallow = true;
  Log().clear();
  Click({50, 50});
  Pump();
  EXPECT_EQ(Count(a, WM_LBUTTONDOWN), 0);
  EXPECT_EQ(Count(a, WM_LBUTTONUP), 1);
  gSwallow = false;
  // Another program taking the focus reaches the hooks as a press outside every window.
  gLL.clear();
  Headless().InjectFocus(false);
  Pump();
  ASSERT_FALSE(gLL.empty());
  EXPECT_EQ(gLL[0].first, WPARAM(WM_LBUTTONDOWN));
  EXPECT_EQ(WindowFromPoint(gLL[0].second), nullptr);
  UnhookWindowsHookEx(h);
  Headless().InjectFocus(true);
  Pump();
}

TEST_F(Input, KeyboardGoesToTheFocusAndTranslatesToCharacters) {
  HWND top = MakeWindow(WS_OVERLAPPEDWINDOW | WS_VISIBLE, TRect(0, 0, 300, 300));
  HWND edit = MakeWindow(WS_CHILD | WS_VISIBLE, TRect(10, 10, 100, 40), top);
  Pump();
  SetFocus(edit);
  SHORT ctrlDuringKey = 0;
  Handlers()[edit] = [&](HWND, UINT m, WPARAM wp, LPARAM, LRESULT&) {
    if (m == WM_KEYDOWN && wp == 'C') ctrlDuringKey = GetKeyState(VK_CONTROL);
    return false;
  };
  Log().clear();
  Key(VK_CONTROL, true);
  Key('C', true);
  Key('C', false);
  Key('V', true);
  Key('V', false);
  Key(VK_CONTROL, false);
  Pump();
  std::vector<WPARAM> chars;
  for (const Logged& l : Log())
    if (l.Hwnd == edit && l.Msg == WM_CHAR) chars.push_back(l.WParam);
  EXPECT_EQ(chars, (std::vector<WPARAM>{3, 22}));  // Ctrl+C, Ctrl+V
  EXPECT_LT(ctrlDuringKey, 0);
  EXPECT_GE(GetKeyState(VK_CONTROL), 0);
  EXPECT_EQ(Count(top, WM_KEYDOWN), 0);

  // Printable characters follow their key press; Enter and Escape are control characters.
  Log().clear();
  Key('A', true);
  Headless().InjectText("a");
  Key('A', false);
  Key(VK_RETURN, true);
  Key(VK_RETURN, false);
  Key(VK_ESCAPE, true);
  Key(VK_ESCAPE, false);
  Pump();
  chars.clear();
  for (const Logged& l : Log())
    if (l.Hwnd == edit && l.Msg == WM_CHAR) chars.push_back(l.WParam);
  EXPECT_EQ(chars, (std::vector<WPARAM>{'a', 13, 27}));
  std::vector<UINT> order = Msgs(edit, {WM_KEYDOWN, WM_CHAR, WM_KEYUP});
  EXPECT_EQ(order[0], WM_KEYDOWN);
  EXPECT_EQ(order[1], WM_CHAR);  // the character comes before the key's release
  EXPECT_EQ(order[2], WM_KEYUP);

  // Alt combinations are system keys with system characters.
  Log().clear();
  Key(VK_MENU, true);
  Key('F', true);
  Key('F', false);
  Key(VK_MENU, false);
  Pump();
  EXPECT_EQ(Count(edit, WM_SYSKEYDOWN), 2);
  ASSERT_NE(Last(edit, WM_SYSCHAR), nullptr);
  EXPECT_EQ(Last(edit, WM_SYSCHAR)->WParam, WPARAM('f'));
  EXPECT_NE(Last(edit, WM_SYSKEYDOWN)->LParam & (LPARAM(1) << 29), 0);  // context code: Alt held

  // Without a focus window, keys go to the active window as system keys.
  SetFocus(nullptr);
  Log().clear();
  Key('K', true);
  Key('K', false);
  Pump();
  EXPECT_EQ(Count(top, WM_SYSKEYDOWN), 1);
}

TEST_F(Input, CaretBlinksOnTheClockAndHidesWhilePainting) {
  HWND w = MakeWindow(WS_POPUP | WS_VISIBLE, TRect(0, 0, 100, 100), nullptr, 0, nullptr, FilledClass());
  Pump();
  std::uint32_t back = PixelAt(w, 20, 20);
  ASSERT_TRUE(CreateCaret(w, nullptr, 2, 16));
  SetCaretPos(20, 20);
  ShowCaret(w);
  EXPECT_EQ(PixelAt(w, 20, 20), back ^ 0xFFFFFF);
  AdvanceClock(GetCaretBlinkTime());
  Pump();
  EXPECT_EQ(PixelAt(w, 20, 20), back);  // blinked off
  AdvanceClock(GetCaretBlinkTime());
  Pump();
  EXPECT_EQ(PixelAt(w, 20, 20), back ^ 0xFFFFFF);
  // Painting over the caret takes it away first and puts it back after.
  InvalidateRect(w, nullptr, true);
  Pump();
  EXPECT_EQ(PixelAt(w, 20, 20), back ^ 0xFFFFFF);
  HideCaret(w);
  EXPECT_EQ(PixelAt(w, 20, 20), back);
  ShowCaret(w);
  SetCaretPos(40, 40);
  EXPECT_EQ(PixelAt(w, 20, 20), back);
  EXPECT_EQ(PixelAt(w, 40, 40), back ^ 0xFFFFFF);
  DestroyCaret();
  EXPECT_EQ(PixelAt(w, 40, 40), back);
}

TEST_F(Input, CursorsPointerPositionAndPhysicalKeyState) {
  HWND top = MakeWindow(WS_OVERLAPPEDWINDOW | WS_VISIBLE, TRect(100, 100, 500, 400));
  static const bool registered = [] {
    WNDCLASSEXW wc;
    wc.lpfnWndProc = CALLBACK_LogProc;
    wc.hCursor = LoadCursorW(nullptr, IDC_HAND);
    wc.lpszClassName = u"WinTestHand";
    return RegisterClassExW(&wc) != 0;
  }();
  ASSERT_TRUE(registered);
  HWND link = MakeWindow(WS_CHILD | WS_VISIBLE, TRect(10, 10, 110, 40), top, 0, nullptr, u"WinTestHand");
  Pump();
  platform::SurfaceId surface = Headless().SurfaceAt(300, 300);
  ASSERT_NE(surface, platform::NoSurface);
  auto shapeAt = [&](TPoint p) {
    Move(p);
    Pump();
    return Headless().Cursor(surface);
  };
  EXPECT_EQ(shapeAt(ScreenOf(link, {5, 5})), platform::CursorShape::Hand);  // the class cursor
  EXPECT_EQ(shapeAt({300, 300}), platform::CursorShape::Arrow);
  EXPECT_EQ(shapeAt({497, 250}), platform::CursorShape::SizeWE);            // the frame's edges
  EXPECT_EQ(shapeAt({300, 398}), platform::CursorShape::SizeNS);
  EXPECT_EQ(shapeAt({498, 398}), platform::CursorShape::SizeNWSE);
  EXPECT_EQ(shapeAt({102, 398}), platform::CursorShape::SizeNESW);
  // A window answering WM_SETCURSOR itself decides.
  Handlers()[top] = [](HWND, UINT m, WPARAM, LPARAM, LRESULT& r) {
    if (m != WM_SETCURSOR) return false;
    SetCursor(LoadCursorW(nullptr, IDC_IBEAM));
    r = 1;
    return true;
  };
  EXPECT_EQ(shapeAt({300, 301}), platform::CursorShape::IBeam);
  EXPECT_EQ(shapeAt(ScreenOf(link, {6, 5})), platform::CursorShape::IBeam);  // the parent first

  // SetCursorPos moves the pointer, and the window under it hears of it.
  Log().clear();
  EXPECT_TRUE(SetCursorPos(250, 250));
  TPoint p;
  EXPECT_TRUE(GetCursorPos(&p));
  EXPECT_EQ(p, TPoint(250, 250));
  Pump();
  ASSERT_NE(Last(top, WM_MOUSEMOVE), nullptr);
  EXPECT_EQ(LParamToPoint(Last(top, WM_MOUSEMOVE)->LParam), TPoint(250, 250) - TPoint(108, 131));

  // The physical state changes at once, the message state when the queue gets there.
  SetFocus(top);
  Key(VK_SHIFT, true);
  EXPECT_LT(GetAsyncKeyState(VK_SHIFT), 0);
  EXPECT_GE(GetKeyState(VK_SHIFT), 0);
  Pump();
  EXPECT_LT(GetKeyState(VK_SHIFT), 0);
  EXPECT_LT(GetKeyState(VK_LSHIFT), 0);
  Key(VK_SHIFT, false);
  EXPECT_GE(GetAsyncKeyState(VK_SHIFT), 0);
  Pump();
  EXPECT_GE(GetKeyState(VK_SHIFT), 0);
}
