// Mouse routing past the plain cases: transparent hit-test answers, owners disabled by a modal
// pop-up, child windows with a non-client area of their own (sizes, painting, hit-test codes,
// dragging by a caption code), activation decided by the parent, and the application's
// keyboard and mouse hooks.
#include "host/platform/headless/HeadlessBackend.h"
#include "tests/win/WinTestUtil.h"

using namespace vcl;
using namespace vcl::wintest;
using platform::MouseButton;

namespace {

class Routing : public WinTest {
 protected:
  void TearDown() override {
    Headless().InjectMouseButton(MouseButton::Left, false);
    Headless().InjectMouseMove(1900, 1000);
    WinTest::TearDown();
  }
  static void Click(TPoint p) { Headless().InjectClick(p.X, p.Y); }
  static void Move(TPoint p) { Headless().InjectMouseMove(p.X, p.Y); }
};

Handler AnswerHitTest(LRESULT code) {
  return [code](HWND, UINT m, WPARAM, LPARAM, LRESULT& r) {
    if (m != WM_NCHITTEST) return false;
    r = code;
    return true;
  };
}

}  // namespace

TEST_F(Routing, TransparentHitTestsPassClicksToWhatLiesBeneath) {
  HWND top = MakeWindow(WS_POPUP | WS_VISIBLE, TRect(0, 0, 300, 300));
  HWND below = MakeWindow(WS_CHILD | WS_VISIBLE, TRect(50, 50, 150, 150), top);
  HWND glass = MakeWindow(WS_CHILD | WS_VISIBLE, TRect(0, 0, 200, 200), top, 0, AnswerHitTest(HTTRANSPARENT));
  SetWindowPos(glass, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  ASSERT_EQ(GetWindow(top, GW_CHILD), glass);
  Pump();
  Log().clear();
  Click({100, 100});  // over both: the sibling beneath takes it
  Click({20, 20});    // over the glass only: its parent takes it
  Pump();
  EXPECT_EQ(Count(glass, WM_LBUTTONDOWN) + Count(glass, WM_NCLBUTTONDOWN), 0);
  EXPECT_EQ(Count(below, WM_LBUTTONDOWN), 1);
  ASSERT_NE(Last(top, WM_LBUTTONDOWN), nullptr);
  EXPECT_EQ(LParamToPoint(Last(top, WM_LBUTTONDOWN)->LParam), TPoint(20, 20));

  // A whole top-level window answering HTTRANSPARENT lets the window under it have the mouse.
  HWND under = MakeWindow(WS_POPUP | WS_VISIBLE, TRect(400, 0, 600, 200));
  HWND veil = MakeWindow(WS_POPUP | WS_VISIBLE, TRect(350, 0, 650, 100), nullptr, WS_EX_NOACTIVATE,
                         AnswerHitTest(HTTRANSPARENT));
  SetWindowPos(veil, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  Pump();
  Log().clear();
  Move({450, 50});
  Click({450, 50});
  Pump();
  EXPECT_EQ(Count(veil, WM_MOUSEMOVE) + Count(veil, WM_LBUTTONDOWN), 0);
  EXPECT_EQ(Count(under, WM_LBUTTONDOWN), 1);
  EXPECT_EQ(Count(under, WM_MOUSEMOVE), 1);
  EXPECT_EQ(WindowFromPoint({360, 50}), nullptr);  // nothing but the veil there
  // A layered window with WS_EX_TRANSPARENT is click-through without being asked.
  Handlers()[veil] = nullptr;
  SetWindowLongW(veil, GWL_EXSTYLE, LONG(WS_EX_NOACTIVATE | WS_EX_LAYERED | WS_EX_TRANSPARENT));
  EXPECT_EQ(WindowFromPoint({450, 50}), under);
  SetWindowLongW(veil, GWL_EXSTYLE, LONG(WS_EX_NOACTIVATE | WS_EX_TRANSPARENT));
  EXPECT_EQ(WindowFromPoint({450, 50}), veil);  // not layered: an ordinary window
}

TEST_F(Routing, ModalPopupKeepsClicksFromItsDisabledOwner) {
  HWND owner = MakeWindow(WS_OVERLAPPEDWINDOW | WS_VISIBLE, TRect(0, 0, 400, 300));
  HWND dialog = MakeWindow(WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE, TRect(100, 100, 300, 200), owner);
  EXPECT_EQ(GetActiveWindow(), dialog);
  EnableWindow(owner, false);
  HWND other = MakeWindow(WS_OVERLAPPEDWINDOW | WS_VISIBLE, TRect(500, 0, 800, 300));
  EXPECT_EQ(GetActiveWindow(), other);
  Pump();
  UINT beeps = MessageBeepCount();
  Log().clear();
  Move({50, 250});
  Pump();
  Click({50, 250});  // the owner's client area
  Click({50, 15});   // and its caption
  Pump();
  for (UINT m : {WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP, WM_NCLBUTTONDOWN, WM_MOUSEACTIVATE})
    EXPECT_EQ(Count(owner, m), 0) << "message " << m;
  // The owner is told with HTERROR, the user hears a beep, and the dialog comes forward.
  const Logged* sc = Last(owner, WM_SETCURSOR);
  ASSERT_NE(sc, nullptr);
  EXPECT_EQ(SHORT(LOWORD(std::uintptr_t(sc->LParam))), SHORT(HTERROR));
  EXPECT_EQ(MessageBeepCount(), beeps + 2);
  EXPECT_EQ(GetActiveWindow(), dialog);
  EXPECT_EQ(GetTopWindow(nullptr), dialog);
  // Enabled again, the owner takes clicks as before.
  EnableWindow(owner, true);
  Log().clear();
  Click({50, 250});
  Pump();
  EXPECT_EQ(Count(owner, WM_LBUTTONDOWN), 1);
  EXPECT_EQ(GetActiveWindow(), owner);
  (void)other;
}

namespace {

constexpr LRESULT kGripCode = 0x60;  // a hit-test code of the application's own

// A child with a frame of its own: 4 pixels around, a 16-pixel band at the top acting as its
// caption, a grip code in the left border; the frame painted in one colour.
Handler OwnFrame(COLORREF color, HRGN* lastRegion) {
  return [color, lastRegion](HWND h, UINT m, WPARAM wp, LPARAM lp, LRESULT& r) {
    switch (m) {
      case WM_NCCALCSIZE: {
        TRect* rc = wp ? &reinterpret_cast<NCCALCSIZE_PARAMS*>(lp)->rgrc[0] : reinterpret_cast<TRect*>(lp);
        rc->Left += 4;
        rc->Right -= 4;
        rc->Top += 16;
        rc->Bottom -= 4;
        r = 0;
        return true;
      }
      case WM_NCPAINT: {
        if (lastRegion) {
          if (*lastRegion) DeleteObject(*lastRegion);
          *lastRegion = CreateRectRgn(0, 0, 0, 0);
          if (reinterpret_cast<std::uintptr_t>(wp) > 1) CombineRgn(*lastRegion, reinterpret_cast<HRGN>(wp), nullptr, RGN_COPY);
        }
        HDC dc = GetWindowDC(h);
        TRect wr;
        GetWindowRect(h, &wr);
        FillDc(dc, TRect(0, 0, wr.Width(), wr.Height()), color);
        ReleaseDC(h, dc);
        r = 0;
        return true;
      }
      case WM_NCHITTEST: {
        TPoint p = LParamToPoint(lp);
        TRect wr;
        GetWindowRect(h, &wr);
        p = p - wr.TopLeft();
        if (p.Y < 16 && p.Y >= 0) r = HTCAPTION;
        else if (p.X < 4 && p.X >= 0) r = kGripCode;
        else return false;
        return true;
      }
      default: return false;
    }
  };
}

}  // namespace

TEST_F(Routing, ChildWindowsWithTheirOwnNonClientArea) {
  HWND top = MakeWindow(WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, TRect(0, 0, 400, 400), nullptr, 0, nullptr,
                        FilledClass());
  HRGN ncRegion = nullptr;
  HWND c = MakeWindow(WS_CHILD | WS_VISIBLE, TRect(50, 60, 150, 160), top, 0, OwnFrame(RGB(200, 0, 200), &ncRegion),
                      FilledClass());
  Pump();
  // The client area is what WM_NCCALCSIZE left; the frame around it is the child's own.
  TRect cr;
  GetClientRect(c, &cr);
  EXPECT_EQ(cr, TRect(0, 0, 92, 80));
  EXPECT_EQ(ScreenOf(c, {0, 0}), TPoint(54, 76));
  EXPECT_EQ(PixelAt(top, 50, 60), Px(200, 0, 200));
  EXPECT_EQ(PixelAt(top, 149, 159), Px(200, 0, 200));
  EXPECT_EQ(PixelAt(top, 100, 100), Px(255, 255, 255));  // its client area, in the class brush

  // Invalidating the frame asks for WM_NCPAINT with the frame's region, in screen coordinates.
  Log().clear();
  RedrawWindow(c, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW);
  EXPECT_EQ(Count(c, WM_NCPAINT), 1);
  ASSERT_NE(ncRegion, nullptr);
  EXPECT_TRUE(PtInRegion(ncRegion, 51, 61));
  EXPECT_TRUE(PtInRegion(ncRegion, 148, 158));
  EXPECT_FALSE(PtInRegion(ncRegion, 100, 100));

  // The custom codes steer the mouse: the grip code arrives as a non-client message with it,
  // and a press on the caption code drags the child inside its parent.
  Log().clear();
  Move({51, 120});
  Pump();
  ASSERT_NE(Last(c, WM_NCMOUSEMOVE), nullptr);
  EXPECT_EQ(LRESULT(Last(c, WM_NCMOUSEMOVE)->WParam), kGripCode);
  EXPECT_EQ(SHORT(LOWORD(std::uintptr_t(Last(c, WM_SETCURSOR)->LParam))), SHORT(kGripCode));
  Click({51, 120});
  Pump();
  EXPECT_EQ(LRESULT(Last(c, WM_NCLBUTTONDOWN)->WParam), kGripCode);

  Move({100, 65});
  Headless().InjectMouseButton(MouseButton::Left, true);
  Move({130, 95});
  Headless().InjectMouseButton(MouseButton::Left, false);
  Pump();
  TRect wr;
  GetWindowRect(c, &wr);
  EXPECT_EQ(wr, TRect(80, 90, 180, 190));
  EXPECT_EQ(Count(c, WM_ENTERSIZEMOVE), 1);
  EXPECT_EQ(Count(c, WM_EXITSIZEMOVE), 1);
  EXPECT_EQ(GetCapture(), nullptr);
  // The parent repainted where the child was; the child's frame is drawn at its new place.
  EXPECT_EQ(PixelAt(top, 55, 65), Px(255, 255, 255));
  EXPECT_EQ(PixelAt(top, 80, 90), Px(200, 0, 200));
  if (ncRegion) DeleteObject(ncRegion);
}

TEST_F(Routing, ParentsDecideTheActivationOfClicksOnTheirChildren) {
  HWND a = MakeWindow(WS_OVERLAPPEDWINDOW | WS_VISIBLE, TRect(0, 0, 300, 300));
  HWND panel = MakeWindow(WS_POPUP | WS_VISIBLE, TRect(400, 0, 600, 200), nullptr, 0,
                          [](HWND, UINT m, WPARAM, LPARAM lp, LRESULT& r) {
                            if (m != WM_MOUSEACTIVATE) return false;
                            r = HIWORD(std::uintptr_t(lp)) == WM_RBUTTONDOWN ? MA_NOACTIVATEANDEAT : MA_NOACTIVATE;
                            return true;
                          });
  HWND button = MakeWindow(WS_CHILD | WS_VISIBLE, TRect(10, 10, 110, 60), panel);
  SetActiveWindow(a);
  Pump();
  Log().clear();
  Click({450, 30});
  Pump();
  // The child's default handling asked its parent, whose answer kept the activation where
  // it was; the click itself reached the child.
  ASSERT_NE(Last(button, WM_MOUSEACTIVATE), nullptr);
  EXPECT_EQ(reinterpret_cast<HWND>(Last(button, WM_MOUSEACTIVATE)->WParam), panel);
  EXPECT_EQ(Count(panel, WM_MOUSEACTIVATE), 1);
  EXPECT_EQ(Count(button, WM_LBUTTONDOWN), 1);
  EXPECT_EQ(GetActiveWindow(), a);
  Headless().InjectClick(450, 30, MouseButton::Right);  // ... "and eat": the press is swallowed
  Pump();
  EXPECT_EQ(Count(button, WM_RBUTTONDOWN), 0);
  EXPECT_EQ(Count(button, WM_RBUTTONUP), 1);
  EXPECT_EQ(GetActiveWindow(), a);
}

namespace {
std::vector<std::pair<WPARAM, MOUSEHOOKSTRUCT>> gMouse;
std::vector<std::pair<int, WPARAM>> gKeys;
bool gEatKeyA = false;
LRESULT MouseHook(int code, WPARAM wp, LPARAM lp) {
  if (code == HC_ACTION && wp != WM_MOUSEMOVE && wp != WM_NCMOUSEMOVE)
    gMouse.push_back({wp, *reinterpret_cast<MOUSEHOOKSTRUCT*>(lp)});
  if (code == HC_ACTION && wp == WM_NCRBUTTONDOWN) return 1;  // swallowed
  return CallNextHookEx(nullptr, code, wp, lp);
}
LRESULT KeyHook(int code, WPARAM wp, LPARAM lp) {
  if (code == HC_ACTION) gKeys.push_back({code, wp});
  if (gEatKeyA && wp == 'A') return 1;
  return CallNextHookEx(nullptr, code, wp, lp);
}
}  // namespace

TEST_F(Routing, ApplicationHooksSeeInputAsItIsRetrieved) {
  HWND top = MakeWindow(WS_OVERLAPPEDWINDOW | WS_VISIBLE, TRect(0, 0, 300, 300));
  HWND c = MakeWindow(WS_CHILD | WS_VISIBLE, TRect(10, 10, 110, 110), top);
  SetFocus(c);
  Pump();
  gMouse.clear();
  gKeys.clear();
  gEatKeyA = false;
  HHOOK mh = SetWindowsHookExW(WH_MOUSE, MouseHook, nullptr, 0);
  HHOOK kh = SetWindowsHookExW(WH_KEYBOARD, KeyHook, nullptr, 0);
  ASSERT_NE(mh, nullptr);
  ASSERT_NE(kh, nullptr);
  Log().clear();
  TPoint p = ScreenOf(c, {5, 5});
  Click(p);
  Headless().InjectClick(150, 15, MouseButton::Right);  // the caption
  Pump();
  ASSERT_EQ(gMouse.size(), 4u);
  EXPECT_EQ(gMouse[0].first, WPARAM(WM_LBUTTONDOWN));
  EXPECT_EQ(gMouse[0].second.hwnd, c);
  EXPECT_EQ(gMouse[0].second.wHitTestCode, UINT(HTCLIENT));
  EXPECT_EQ(gMouse[0].second.pt, p);
  EXPECT_EQ(gMouse[2].first, WPARAM(WM_NCRBUTTONDOWN));
  EXPECT_EQ(gMouse[2].second.wHitTestCode, UINT(HTCAPTION));
  EXPECT_EQ(Count(c, WM_LBUTTONDOWN), 1);
  EXPECT_EQ(Count(top, WM_NCRBUTTONDOWN), 0);  // the hook swallowed it
  EXPECT_EQ(Count(top, WM_NCRBUTTONUP), 1);

  gEatKeyA = true;
  Headless().InjectKey('A', true);
  Headless().InjectKey('A', false);
  Headless().InjectKey('B', true);
  Headless().InjectKey('B', false);
  Pump();
  EXPECT_EQ(gKeys.size(), 4u);
  EXPECT_EQ(Count(c, WM_KEYDOWN), 1);  // only B got through
  EXPECT_EQ(Last(c, WM_KEYDOWN)->WParam, WPARAM('B'));
  // A peek without removing tells the hooks so, and cannot discard.
  Headless().InjectKey('A', true);
  MSG m;
  ASSERT_TRUE(PeekMessageW(&m, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_NOREMOVE));
  EXPECT_EQ(m.wParam, WPARAM('A'));
  UnhookWindowsHookEx(kh);
  UnhookWindowsHookEx(mh);
  Headless().InjectKey('A', false);
  Pump();
  EXPECT_EQ(Count(c, WM_KEYDOWN), 2);
}
