// Geometry: SetWindowPos and ShowWindow message sequences and flags, minimise/maximise and
// placement, non-client sizes, coordinate mapping, hit testing and window regions.
#include "tests/win/WinTestUtil.h"

using namespace vcl;
using namespace vcl::wintest;

namespace {

class Geometry : public WinTest {};

const std::vector<UINT> kPosMsgs = {WM_WINDOWPOSCHANGING, WM_NCCALCSIZE, WM_WINDOWPOSCHANGED,
                                    WM_MOVE, WM_SIZE, WM_SHOWWINDOW, WM_GETMINMAXINFO};

const WINDOWPOS* LastChanged(HWND h) {
  for (auto it = Log().rbegin(); it != Log().rend(); ++it)
    if (it->Hwnd == h && it->Msg == WM_WINDOWPOSCHANGED)
      return reinterpret_cast<const WINDOWPOS*>(it->LParam);
  return nullptr;
}

}  // namespace

TEST_F(Geometry, SetWindowPosMessagesFollowTheFlags) {
  HWND top = MakeWindow(WS_POPUP | WS_VISIBLE, TRect(0, 0, 300, 300));
  HWND c = MakeWindow(WS_CHILD | WS_VISIBLE, TRect(10, 10, 60, 60), top);
  UINT flagsSeen = 0;
  Handlers()[c] = [&](HWND, UINT m, WPARAM, LPARAM lp, LRESULT&) {
    if (m == WM_WINDOWPOSCHANGED) flagsSeen = reinterpret_cast<const WINDOWPOS*>(lp)->flags;
    return false;
  };
  Log().clear();
  SetWindowPos(c, nullptr, 20, 30, 80, 40, SWP_NOZORDER | SWP_NOACTIVATE);
  EXPECT_EQ(Msgs(c, kPosMsgs), (std::vector<UINT>{WM_WINDOWPOSCHANGING, WM_NCCALCSIZE,
                                                  WM_WINDOWPOSCHANGED, WM_MOVE, WM_SIZE}));
  TRect r;
  GetWindowRect(c, &r);
  EXPECT_EQ(r, TRect(20, 30, 100, 70));

  Log().clear();  // a move alone: no size calculation, no WM_SIZE
  SetWindowPos(c, nullptr, 25, 30, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  EXPECT_EQ(Msgs(c, kPosMsgs), (std::vector<UINT>{WM_WINDOWPOSCHANGING, WM_WINDOWPOSCHANGED, WM_MOVE}));
  EXPECT_TRUE(flagsSeen & SWP_NOCLIENTSIZE);
  EXPECT_FALSE(flagsSeen & SWP_NOCLIENTMOVE);

  Log().clear();  // a frame change recalculates the client area without moving
  SetWindowPos(c, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_FRAMECHANGED);
  EXPECT_EQ(Msgs(c, kPosMsgs), (std::vector<UINT>{WM_WINDOWPOSCHANGING, WM_NCCALCSIZE, WM_WINDOWPOSCHANGED}));

  Log().clear();  // no WM_WINDOWPOSCHANGING with SWP_NOSENDCHANGING
  SetWindowPos(c, nullptr, 0, 0, 10, 10, SWP_NOZORDER | SWP_NOSENDCHANGING);
  EXPECT_EQ(Count(c, WM_WINDOWPOSCHANGING), 0);
  EXPECT_EQ(Count(c, WM_WINDOWPOSCHANGED), 1);

  // WM_WINDOWPOSCHANGING may change what happens.
  Handlers()[c] = [&](HWND, UINT m, WPARAM, LPARAM lp, LRESULT&) {
    if (m == WM_WINDOWPOSCHANGING) reinterpret_cast<WINDOWPOS*>(lp)->cx = 33;
    return false;
  };
  SetWindowPos(c, nullptr, 0, 0, 90, 20, SWP_NOZORDER);
  GetClientRect(c, &r);
  EXPECT_EQ(r, TRect(0, 0, 33, 20));

  // Hiding and showing through SetWindowPos (no WM_SHOWWINDOW there).
  Log().clear();
  SetWindowPos(c, nullptr, 0, 0, 0, 0, SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER);
  EXPECT_FALSE(IsWindowVisible(c));
  EXPECT_EQ(Count(c, WM_SHOWWINDOW), 0);
  SetWindowPos(c, nullptr, 0, 0, 0, 0, SWP_SHOWWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER);
  EXPECT_TRUE(IsWindowVisible(c));
  // An insert-after window that is not a sibling leaves the order alone; a dead one is refused.
  HWND stranger = MakeWindow(WS_POPUP, TRect(0, 0, 5, 5));
  HWND before = GetWindow(c, GW_HWNDPREV);
  EXPECT_TRUE(SetWindowPos(c, stranger, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE));
  EXPECT_EQ(GetWindow(c, GW_HWNDPREV), before);
  DestroyWindow(stranger);
  EXPECT_FALSE(SetWindowPos(c, stranger, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE));
}

TEST_F(Geometry, ShowWindowSequencesAndReturnValues) {
  HWND top = MakeWindow(WS_POPUP | WS_VISIBLE, TRect(0, 0, 300, 300));
  HWND c = MakeWindow(WS_CHILD, TRect(0, 0, 50, 50), top);
  Log().clear();
  EXPECT_FALSE(ShowWindow(c, SW_SHOW));  // was hidden
  EXPECT_EQ(Msgs(c, kPosMsgs), (std::vector<UINT>{WM_SHOWWINDOW, WM_WINDOWPOSCHANGING, WM_WINDOWPOSCHANGED}));
  Log().clear();
  EXPECT_TRUE(ShowWindow(c, SW_SHOW));  // already visible: nothing happens
  EXPECT_TRUE(Msgs(c, kPosMsgs).empty());
  EXPECT_TRUE(ShowWindow(c, SW_HIDE));
  EXPECT_FALSE(ShowWindow(c, SW_HIDE));
  // A child of a hidden parent is not visible, though its own style says so.
  ShowWindow(c, SW_SHOW);
  ShowWindow(top, SW_HIDE);
  EXPECT_NE(DWORD(GetWindowLongW(c, GWL_STYLE)) & WS_VISIBLE, 0u);
  EXPECT_FALSE(IsWindowVisible(c));
}

TEST_F(Geometry, MinimiseMaximiseRestoreAndPlacement) {
  HWND w = MakeWindow(WS_OVERLAPPEDWINDOW | WS_VISIBLE, TRect(100, 100, 500, 400));
  Log().clear();
  ShowWindow(w, SW_MAXIMIZE);
  EXPECT_TRUE(IsZoomed(w));
  auto sizeArg = [&](HWND h) {
    for (auto it = Log().rbegin(); it != Log().rend(); ++it)
      if (it->Hwnd == h && it->Msg == WM_SIZE) return it->WParam;
    return WPARAM(99);
  };
  EXPECT_EQ(sizeArg(w), SIZE_MAXIMIZED);
  EXPECT_GE(Count(w, WM_GETMINMAXINFO), 1);
  // The frame hangs outside the work area; the client area fills it below the caption.
  TRect work;
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  TRect wr, cr;
  GetWindowRect(w, &wr);
  TRect in(0, 0, 0, 0);
  AdjustWindowRectEx(&in, WS_OVERLAPPEDWINDOW, false, 0);
  EXPECT_EQ(wr, TRect(work.Left + in.Left, work.Top + in.Left, work.Right - in.Left, work.Bottom - in.Left));
  GetClientRect(w, &cr);
  EXPECT_EQ(cr.Width(), work.Width());

  WINDOWPLACEMENT wp;
  GetWindowPlacement(w, &wp);
  EXPECT_EQ(wp.showCmd, UINT(SW_SHOWMAXIMIZED));
  EXPECT_EQ(wp.rcNormalPosition, TRect(100, 100, 500, 400).Offsetted(-work.Left, -work.Top));

  ShowWindow(w, SW_MINIMIZE);
  EXPECT_TRUE(IsIconic(w));
  EXPECT_FALSE(IsZoomed(w));
  EXPECT_EQ(sizeArg(w), SIZE_MINIMIZED);
  ShowWindow(w, SW_RESTORE);  // back to maximised, where it was minimised from
  EXPECT_TRUE(IsZoomed(w));
  ShowWindow(w, SW_RESTORE);
  EXPECT_FALSE(IsZoomed(w));
  EXPECT_EQ(sizeArg(w), SIZE_RESTORED);
  GetWindowRect(w, &wr);
  EXPECT_EQ(wr, TRect(100, 100, 500, 400));

  // WM_GETMINMAXINFO limits tracking sizes, also for SetWindowPos.
  Handlers()[w] = [](HWND, UINT m, WPARAM, LPARAM lp, LRESULT&) {
    if (m == WM_GETMINMAXINFO) {
      auto* mmi = reinterpret_cast<MINMAXINFO*>(lp);
      mmi->ptMinTrackSize = {200, 150};
      mmi->ptMaxTrackSize = {600, 500};
    }
    return false;
  };
  SetWindowPos(w, nullptr, 0, 0, 50, 900, SWP_NOMOVE | SWP_NOZORDER);
  GetWindowRect(w, &wr);
  EXPECT_EQ(wr.Width(), 200);
  EXPECT_EQ(wr.Height(), 500);
}

TEST_F(Geometry, NonClientSizesAndCoordinateMapping) {
  HWND top = MakeWindow(WS_OVERLAPPEDWINDOW | WS_VISIBLE, TRect(100, 50, 600, 450));
  TRect in(0, 0, 0, 0);
  AdjustWindowRectEx(&in, WS_OVERLAPPEDWINDOW, false, 0);
  EXPECT_EQ(in, TRect(-8, -31, 8, 8));  // Windows 10 frame and caption at 96 DPI
  HWND c = MakeWindow(WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL, TRect(10, 20, 110, 120), top,
                      WS_EX_CLIENTEDGE);
  TRect cr;
  GetClientRect(c, &cr);
  EXPECT_EQ(cr, TRect(0, 0, 100 - 2 * 3 - 17, 100 - 2 * 3));
  TPoint p{0, 0};
  ClientToScreen(c, &p);
  EXPECT_EQ(p, TPoint(100 + 8 + 10 + 3, 50 + 31 + 20 + 3));
  ScreenToClient(c, &p);
  EXPECT_EQ(p, TPoint(0, 0));
  HWND d = MakeWindow(WS_CHILD | WS_VISIBLE, TRect(5, 5, 25, 25), c);
  TPoint pts[2] = {{1, 2}, {3, 4}};
  MapWindowPoints(d, top, pts, 2);
  EXPECT_EQ(pts[0], TPoint(1 + 5 + 3 + 10, 2 + 5 + 3 + 20));
  TRect rr(0, 0, 4, 4);
  MapWindowPoints(d, nullptr, &rr);  // to the screen
  EXPECT_EQ(rr.TopLeft(), TPoint(100 + 8 + 10 + 3 + 5, 50 + 31 + 20 + 3 + 5));

  // A window may size its own non-client area.
  HWND e = MakeWindow(WS_CHILD | WS_VISIBLE, TRect(0, 0, 50, 50), top, 0,
                      [](HWND, UINT m, WPARAM wp, LPARAM lp, LRESULT& r) {
                        if (m != WM_NCCALCSIZE) return false;
                        TRect* rc = wp ? &reinterpret_cast<NCCALCSIZE_PARAMS*>(lp)->rgrc[0]
                                       : reinterpret_cast<TRect*>(lp);
                        rc->Top += 10;
                        r = 0;
                        return true;
                      });
  GetClientRect(e, &cr);
  EXPECT_EQ(cr, TRect(0, 0, 50, 40));
  SetWindowPos(e, nullptr, 0, 0, 60, 60, SWP_NOMOVE | SWP_NOZORDER);
  GetClientRect(e, &cr);
  EXPECT_EQ(cr, TRect(0, 0, 60, 50));
}

TEST_F(Geometry, HitTestingFindsTheRightWindowAndCode) {
  HWND top = MakeWindow(WS_OVERLAPPEDWINDOW | WS_VISIBLE, TRect(100, 100, 500, 400));
  TPoint o{0, 0};
  ClientToScreen(top, &o);
  HWND a = MakeWindow(WS_CHILD | WS_VISIBLE, TRect(10, 10, 110, 110), top);
  HWND b = MakeWindow(WS_CHILD | WS_VISIBLE, TRect(50, 50, 150, 150), top);  // below a
  HWND hidden = MakeWindow(WS_CHILD, TRect(0, 0, 400, 400), top);
  (void)hidden;
  EXPECT_EQ(WindowFromPoint(o + TPoint(60, 60)), a);
  EXPECT_EQ(WindowFromPoint(o + TPoint(120, 120)), b);
  EXPECT_EQ(WindowFromPoint(o + TPoint(300, 250)), top);
  EXPECT_EQ(WindowFromPoint(TPoint(5, 5)), nullptr);
  // A disabled child lets the point through; so does one answering HTTRANSPARENT.
  EnableWindow(a, false);
  EXPECT_EQ(WindowFromPoint(o + TPoint(60, 60)), b);
  EnableWindow(a, true);
  Handlers()[a] = [](HWND, UINT m, WPARAM, LPARAM, LRESULT& r) {
    if (m != WM_NCHITTEST) return false;
    r = HTTRANSPARENT;
    return true;
  };
  EXPECT_EQ(WindowFromPoint(o + TPoint(60, 60)), b);
  EXPECT_EQ(WindowFromPoint(o + TPoint(20, 20)), top);
  EXPECT_EQ(ChildWindowFromPointEx(top, TPoint(60, 60), CWP_ALL), a);
  EXPECT_EQ(RealChildWindowFromPoint(top, TPoint(60, 60)), b);
  EXPECT_EQ(ChildWindowFromPointEx(top, TPoint(5, 5), CWP_ALL), hidden);
  EXPECT_EQ(ChildWindowFromPointEx(top, TPoint(5, 5), CWP_SKIPINVISIBLE), top);
  EXPECT_EQ(ChildWindowFromPointEx(top, TPoint(-5, 5), CWP_ALL), nullptr);

  // Non-client codes of the default frame.
  auto hit = [&](int x, int y) { return SendMessageW(top, WM_NCHITTEST, 0, PointToLParam({x, y})); };
  EXPECT_EQ(hit(300, 110), HTCAPTION);
  EXPECT_EQ(hit(495, 110), HTTOPRIGHT);
  EXPECT_EQ(hit(300, 102), HTTOP);
  EXPECT_EQ(hit(102, 250), HTLEFT);
  EXPECT_EQ(hit(498, 250), HTRIGHT);
  EXPECT_EQ(hit(300, 397), HTBOTTOM);
  EXPECT_EQ(hit(498, 398), HTBOTTOMRIGHT);
  EXPECT_EQ(hit(500 - 8 - 10, 100 + 8 + 10), HTCLOSE);
  EXPECT_EQ(hit(500 - 8 - 36 - 10, 100 + 8 + 10), HTMAXBUTTON);
  EXPECT_EQ(hit(500 - 8 - 72 - 10, 100 + 8 + 10), HTMINBUTTON);
  EXPECT_EQ(hit(100 + 8 + 10, 100 + 8 + 10), HTSYSMENU);
  EXPECT_EQ(hit(600, 600), HTNOWHERE);
  // A child with a border, a client edge and both scroll bars.
  HWND s = MakeWindow(WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | WS_HSCROLL, TRect(200, 10, 300, 110),
                      top, WS_EX_CLIENTEDGE);
  TPoint so{0, 0};
  ClientToScreen(top, &so);
  so = so + TPoint(200, 10);
  auto shit = [&](int x, int y) { return SendMessageW(s, WM_NCHITTEST, 0, PointToLParam(so + TPoint(x, y))); };
  EXPECT_EQ(shit(0, 50), HTBORDER);
  EXPECT_EQ(shit(50, 50), HTCLIENT);
  EXPECT_EQ(shit(100 - 3 - 5, 40), HTVSCROLL);
  EXPECT_EQ(shit(40, 100 - 3 - 5), HTHSCROLL);
}

TEST_F(Geometry, WindowRegionsShapeHitTesting) {
  HWND top = MakeWindow(WS_POPUP | WS_VISIBLE, TRect(100, 100, 300, 300));
  HWND c = MakeWindow(WS_CHILD | WS_VISIBLE, TRect(0, 0, 100, 100), top);
  SetWindowRgn(c, CreateEllipticRgn(0, 0, 100, 100), true);
  EXPECT_EQ(WindowFromPoint(TPoint(150, 150)), c);
  EXPECT_EQ(WindowFromPoint(TPoint(102, 102)), top);  // outside the ellipse's corner
  HRGN copy = CreateRectRgn(0, 0, 0, 0);
  EXPECT_EQ(GetWindowRgn(c, copy), COMPLEXREGION);
  DeleteObject(copy);
  SetWindowRgn(c, nullptr, true);
  EXPECT_EQ(WindowFromPoint(TPoint(102, 102)), c);
}

TEST_F(Geometry, ShowingATopLevelWindowActivatesItBeforeItsFirstPaint) {
  HWND w = MakeWindow(WS_OVERLAPPEDWINDOW, TRect(100, 100, 500, 400));
  std::vector<bool> activeAtNcPaint;
  Handlers()[w] = [&](HWND h, UINT m, WPARAM, LPARAM, LRESULT&) {
    if (m == WM_NCPAINT) activeAtNcPaint.push_back(GetActiveWindow() == h);
    return false;
  };
  Log().clear();
  ShowWindow(w, SW_SHOW);
  std::vector<UINT> seq = Msgs(w, {WM_SHOWWINDOW, WM_WINDOWPOSCHANGED, WM_NCACTIVATE, WM_ACTIVATE,
                                   WM_SETFOCUS, WM_NCPAINT, WM_ERASEBKGND});
  EXPECT_EQ(seq, (std::vector<UINT>{WM_SHOWWINDOW, WM_NCACTIVATE, WM_ACTIVATE, WM_SETFOCUS,
                                    WM_NCPAINT, WM_ERASEBKGND, WM_WINDOWPOSCHANGED}));
  // The frame was drawn once, already active.
  EXPECT_EQ(activeAtNcPaint, (std::vector<bool>{true}));

  // Raising a window that is already on top changes nothing and says nothing.
  Log().clear();
  SetWindowPos(w, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  EXPECT_EQ(Count(w, WM_WINDOWPOSCHANGING), 1);
  EXPECT_EQ(Count(w, WM_WINDOWPOSCHANGED), 0);
  EXPECT_EQ(Count(w, WM_NCPAINT), 0);
  // A real z-order change is reported, with SWP_NOZORDER clear.
  HWND other = MakeWindow(WS_OVERLAPPEDWINDOW | WS_VISIBLE, TRect(0, 0, 100, 100));
  Log().clear();
  SetWindowPos(w, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  ASSERT_NE(LastChanged(w), nullptr);
  EXPECT_EQ(LastChanged(w)->flags & SWP_NOZORDER, 0u);
  EXPECT_EQ(GetTopWindow(nullptr), w);
  (void)other;
}

TEST_F(Geometry, ResizingAChildKeepsItsOldContentsUnlessTheClassRedrawsWhole) {
  HWND top = MakeWindow(WS_POPUP | WS_VISIBLE, TRect(0, 0, 300, 300));
  HWND plain = MakeWindow(WS_CHILD | WS_VISIBLE | WS_BORDER, TRect(10, 10, 60, 60), top);
  Pump();
  SetWindowPos(plain, nullptr, 0, 0, 80, 50, SWP_NOMOVE | SWP_NOZORDER);
  HRGN u = CreateRectRgn(0, 0, 0, 0);
  GetUpdateRgn(plain, u, false);
  // Client 48x48 became 78x48: only the strip on the right is new.
  EXPECT_TRUE(PtInRegion(u, 60, 10));
  EXPECT_FALSE(PtInRegion(u, 10, 10));
  Pump();

  static const bool registered = [] {
    WNDCLASSEXW wc;
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = DefWindowProcW;
    wc.lpszClassName = u"WinTestRedraw";
    return RegisterClassExW(&wc) != 0;
  }();
  ASSERT_TRUE(registered);
  HWND whole = CreateWindowExW(0, u"WinTestRedraw", nullptr, WS_CHILD | WS_VISIBLE, 100, 100, 50, 50, top,
                               nullptr, nullptr, nullptr);
  Pump();
  SetWindowPos(whole, nullptr, 0, 0, 80, 50, SWP_NOMOVE | SWP_NOZORDER);
  GetUpdateRgn(whole, u, false);
  EXPECT_TRUE(PtInRegion(u, 10, 10));
  EXPECT_TRUE(PtInRegion(u, 70, 10));
  DeleteObject(u);
}
