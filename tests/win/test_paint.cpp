// Painting: update regions and the erase flag, RedrawWindow flag combinations, WM_SETREDRAW,
// clipping of children and siblings (pixels), printing and scrolling.
#include "tests/win/WinTestUtil.h"

using namespace vcl;
using namespace vcl::wintest;

namespace {

class Paint : public WinTest {};

bool PaintPending(HWND h) {
  MSG m;
  return PeekMessageW(&m, h, WM_PAINT, WM_PAINT, PM_NOREMOVE) && m.hwnd == h;
}

// A handler painting the client area in one colour.
Handler Painter(COLORREF color, std::vector<HWND>* order = nullptr) {
  return [color, order](HWND h, UINT m, WPARAM wp, LPARAM, LRESULT& r) {
    if (m == WM_PAINT) {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(h, &ps);
      TRect c;
      GetClientRect(h, &c);
      FillDc(dc, c, color);
      EndPaint(h, &ps);
      if (order) order->push_back(h);
      r = 0;
      return true;
    }
    if (m == WM_PRINTCLIENT) {
      TRect c;
      GetClientRect(h, &c);
      FillDc(reinterpret_cast<HDC>(wp), c, color);
      return true;
    }
    if (m == WM_ERASEBKGND) {
      r = 1;
      return true;
    }
    return false;
  };
}

constexpr COLORREF kRed = RGB(255, 0, 0), kBlue = RGB(0, 0, 255), kGreen = RGB(0, 255, 0);

}  // namespace

TEST_F(Paint, UpdateRegionsAccumulateAndTheEraseFlagFollowsRequests) {
  HWND w = MakeWindow(WS_POPUP | WS_VISIBLE, TRect(0, 0, 100, 100));
  Pump();
  Log().clear();
  TRect a(10, 10, 20, 20), b(30, 30, 40, 40);
  InvalidateRect(w, &a, false);
  InvalidateRect(w, &b, false);
  TRect u;
  EXPECT_TRUE(GetUpdateRect(w, &u, false));
  EXPECT_EQ(u, TRect(10, 10, 40, 40));
  HRGN rgn = CreateRectRgn(0, 0, 0, 0);
  EXPECT_EQ(GetUpdateRgn(w, rgn, false), COMPLEXREGION);
  EXPECT_TRUE(PtInRegion(rgn, 15, 15));
  EXPECT_FALSE(PtInRegion(rgn, 25, 25));
  ValidateRect(w, &a);
  GetUpdateRect(w, &u, false);
  EXPECT_EQ(u, b);
  // Without an erase request BeginPaint sends no WM_ERASEBKGND.
  PAINTSTRUCT ps;
  BeginPaint(w, &ps);
  EXPECT_EQ(ps.rcPaint, b);
  EXPECT_FALSE(ps.fErase);
  EndPaint(w, &ps);
  EXPECT_EQ(Count(w, WM_ERASEBKGND), 0);
  EXPECT_FALSE(GetUpdateRect(w, &u, false));
  EXPECT_FALSE(PaintPending(w));

  // One erase request among several marks the whole update for erasing; an unhandled erase
  // tells BeginPaint's caller to erase.
  InvalidateRect(w, &a, false);
  InvalidateRect(w, &b, true);
  BeginPaint(w, &ps);
  EXPECT_EQ(Count(w, WM_ERASEBKGND), 1);
  EXPECT_TRUE(ps.fErase);  // the default procedure has no class brush to erase with
  EndPaint(w, &ps);
  Handlers()[w] = [](HWND, UINT m, WPARAM, LPARAM, LRESULT& r) {
    if (m != WM_ERASEBKGND) return false;
    r = 1;
    return true;
  };
  InvalidateRect(w, nullptr, true);
  BeginPaint(w, &ps);
  EXPECT_FALSE(ps.fErase);
  EXPECT_EQ(ps.rcPaint, TRect(0, 0, 100, 100));
  EndPaint(w, &ps);
  DeleteObject(rgn);
}

TEST_F(Paint, RedrawWindowFlagCombinations) {
  HWND top = MakeWindow(WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, TRect(0, 0, 200, 200));
  HWND c = MakeWindow(WS_CHILD | WS_VISIBLE | WS_BORDER, TRect(10, 10, 60, 60), top);
  Pump();
  TRect u;
  // A parent clipping its children invalidates only itself, unless asked for all children.
  RedrawWindow(top, nullptr, nullptr, RDW_INVALIDATE);
  EXPECT_TRUE(GetUpdateRect(top, &u, false));
  EXPECT_FALSE(GetUpdateRect(c, &u, false));
  RedrawWindow(top, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
  EXPECT_TRUE(GetUpdateRect(c, &u, false));
  Pump();
  SetWindowLongW(top, GWL_STYLE, LONG(WS_POPUP | WS_VISIBLE));  // no WS_CLIPCHILDREN
  RedrawWindow(top, nullptr, nullptr, RDW_INVALIDATE);
  EXPECT_TRUE(GetUpdateRect(c, &u, false));
  Pump();
  RedrawWindow(top, nullptr, nullptr, RDW_INVALIDATE | RDW_NOCHILDREN);
  EXPECT_FALSE(GetUpdateRect(c, &u, false));
  Pump();

  // RDW_UPDATENOW paints before returning, parent first.
  Log().clear();
  RedrawWindow(top, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  EXPECT_EQ(Msgs(nullptr, {WM_PAINT}), (std::vector<UINT>{WM_PAINT, WM_PAINT}));
  EXPECT_EQ(Log().front().Hwnd, top);
  EXPECT_FALSE(PaintPending(top));
  EXPECT_FALSE(PaintPending(c));

  // RDW_ERASENOW erases (and draws frames) now, the paint comes later.
  Log().clear();
  RedrawWindow(c, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ERASENOW);
  EXPECT_EQ(Msgs(c, {WM_NCPAINT, WM_ERASEBKGND, WM_PAINT}), (std::vector<UINT>{WM_NCPAINT, WM_ERASEBKGND}));
  EXPECT_TRUE(PaintPending(c));
  Log().clear();
  Pump();
  EXPECT_EQ(Msgs(c, {WM_NCPAINT, WM_ERASEBKGND, WM_PAINT}), (std::vector<UINT>{WM_PAINT}));

  // Only the frame: WM_NCPAINT at BeginPaint, nothing to erase.
  Log().clear();
  RedrawWindow(c, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_NOCHILDREN);
  RedrawWindow(c, nullptr, nullptr, RDW_VALIDATE);  // the client part only; the frame stays
  EXPECT_TRUE(PaintPending(c));
  Pump();
  EXPECT_EQ(Msgs(c, {WM_NCPAINT, WM_ERASEBKGND, WM_PAINT}), (std::vector<UINT>{WM_PAINT, WM_NCPAINT}));
  RedrawWindow(c, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME);
  RedrawWindow(c, nullptr, nullptr, RDW_VALIDATE | RDW_NOFRAME);
  EXPECT_FALSE(PaintPending(c));

  // An internal paint makes a WM_PAINT without an update region.
  RedrawWindow(c, nullptr, nullptr, RDW_INTERNALPAINT);
  EXPECT_TRUE(PaintPending(c));
  EXPECT_FALSE(GetUpdateRect(c, &u, false));
  Pump();
  EXPECT_FALSE(PaintPending(c));

  // UpdateWindow paints synchronously.
  InvalidateRect(c, nullptr, false);
  Log().clear();
  UpdateWindow(top);
  EXPECT_EQ(Count(c, WM_PAINT), 1);
}

TEST_F(Paint, SetRedrawSuspendsInvalidationAndPainting) {
  HWND top = MakeWindow(WS_POPUP | WS_VISIBLE, TRect(0, 0, 100, 100));
  HWND c = MakeWindow(WS_CHILD | WS_VISIBLE, TRect(0, 0, 50, 50), top);
  Pump();
  InvalidateRect(top, nullptr, true);
  SendMessageW(top, WM_SETREDRAW, 0, 0);
  EXPECT_FALSE(IsWindowVisible(top));
  EXPECT_FALSE(IsWindowVisible(c));
  TRect u;
  EXPECT_FALSE(GetUpdateRect(top, &u, false));  // pending invalidation dropped
  InvalidateRect(top, nullptr, true);
  InvalidateRect(c, nullptr, true);
  Log().clear();
  Pump();
  EXPECT_EQ(Count(top, WM_PAINT) + Count(c, WM_PAINT), 0);
  SendMessageW(top, WM_SETREDRAW, 1, 0);
  EXPECT_TRUE(IsWindowVisible(c));
  EXPECT_FALSE(GetUpdateRect(c, &u, false));  // switching on repaints nothing by itself
  RedrawWindow(top, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  EXPECT_EQ(Count(top, WM_PAINT), 1);
  EXPECT_EQ(Count(c, WM_PAINT), 1);
}

TEST_F(Paint, ChildrenAndSiblingsClipByStyle) {
  HWND top = MakeWindow(WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, TRect(0, 0, 200, 200), nullptr, 0,
                        Painter(kRed));
  HWND a = MakeWindow(WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, TRect(20, 20, 120, 120), top, 0, Painter(kBlue));
  HWND b = MakeWindow(WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, TRect(60, 60, 160, 160), top, 0, Painter(kGreen));
  Pump();
  EXPECT_EQ(PixelAt(top, 10, 10), Px(255, 0, 0));
  EXPECT_EQ(PixelAt(top, 40, 40), Px(0, 0, 255));
  EXPECT_EQ(PixelAt(top, 100, 100), Px(0, 0, 255));  // a is above b
  EXPECT_EQ(PixelAt(top, 140, 140), Px(0, 255, 0));
  // Repainting b alone: with WS_CLIPSIBLINGS it stays under a.
  RedrawWindow(b, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  EXPECT_EQ(PixelAt(top, 100, 100), Px(0, 0, 255));
  // Without it, b paints over its sibling.
  SetWindowLongW(b, GWL_STYLE, LONG(WS_CHILD | WS_VISIBLE));
  RedrawWindow(b, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  EXPECT_EQ(PixelAt(top, 100, 100), Px(0, 255, 0));
  // The parent repainting alone keeps off its children with WS_CLIPCHILDREN ...
  RedrawWindow(top, nullptr, nullptr, RDW_INVALIDATE | RDW_NOCHILDREN | RDW_UPDATENOW);
  EXPECT_EQ(PixelAt(top, 40, 40), Px(0, 0, 255));
  // ... and paints over them without it.
  SetWindowLongW(top, GWL_STYLE, LONG(WS_POPUP | WS_VISIBLE));
  RedrawWindow(top, nullptr, nullptr, RDW_INVALIDATE | RDW_NOCHILDREN | RDW_UPDATENOW);
  EXPECT_EQ(PixelAt(top, 40, 40), Px(255, 0, 0));
  // Children never draw outside their parent's client area.
  HWND inner = MakeWindow(WS_CHILD | WS_VISIBLE, TRect(90, 90, 300, 300), a, 0, Painter(kGreen));
  UpdateWindow(inner);
  EXPECT_EQ(PixelAt(top, 115, 115), Px(0, 255, 0));
  EXPECT_NE(PixelAt(top, 125, 125), Px(0, 255, 0));
  // A hidden window's DC draws nothing.
  ShowWindow(a, SW_HIDE);
  HDC dc = GetDC(a);
  FillDc(dc, TRect(0, 0, 100, 100), kGreen);
  ReleaseDC(a, dc);
  EXPECT_NE(PixelAt(top, 40, 40), Px(0, 255, 0));
}

TEST_F(Paint, PrintDrawsWindowAndChildrenIntoAnyDc) {
  HWND top = MakeWindow(WS_POPUP | WS_VISIBLE | WS_BORDER, TRect(0, 0, 100, 100), nullptr, 0, Painter(kRed));
  MakeWindow(WS_CHILD | WS_VISIBLE, TRect(10, 10, 30, 30), top, 0, Painter(kBlue));
  void* bits = nullptr;
  HBITMAP bmp = CreateDIB32(100, 100, &bits);
  HDC mem = CreateCompatibleDC(nullptr);
  SelectObject(mem, bmp);
  SendMessageW(top, WM_PRINT, reinterpret_cast<WPARAM>(mem),
               PRF_NONCLIENT | PRF_CLIENT | PRF_CHILDREN | PRF_ERASEBKGND);
  GdiFlush();
  auto px = [&](int x, int y) { return static_cast<std::uint32_t*>(bits)[y * 100 + x] & 0xFFFFFF; };
  COLORREF frame = GetSysColor(COLOR_WINDOWFRAME);
  EXPECT_EQ(px(0, 0), Px(GetRValue(frame), GetGValue(frame), GetBValue(frame)));
  EXPECT_EQ(px(5, 5), Px(255, 0, 0));
  EXPECT_EQ(px(1 + 15, 1 + 15), Px(0, 0, 255));  // the child, below the 1-pixel border
  DeleteDC(mem);
  DeleteObject(bmp);
}

TEST_F(Paint, ScrollWindowMovesPixelsAndInvalidatesTheRest) {
  std::uint32_t row[4] = {Px(255, 0, 0), Px(0, 255, 0), Px(0, 0, 255), Px(255, 255, 0)};
  HWND w = MakeWindow(WS_POPUP | WS_VISIBLE, TRect(0, 0, 40, 40), nullptr, 0,
                      [&](HWND h, UINT m, WPARAM, LPARAM, LRESULT& r) {
                        if (m != WM_PAINT) return false;
                        PAINTSTRUCT ps;
                        HDC dc = BeginPaint(h, &ps);
                        for (int i = 0; i < 4; ++i)
                          FillDc(dc, TRect(0, i * 10, 40, i * 10 + 10),
                                 RGB(BYTE(row[i] >> 16), BYTE(row[i] >> 8), BYTE(row[i])));
                        EndPaint(h, &ps);
                        r = 0;
                        return true;
                      });
  Pump();
  EXPECT_EQ(PixelAt(w, 5, 25), row[2]);
  ScrollWindowEx(w, 0, -10, nullptr, nullptr, nullptr, nullptr, SW_INVALIDATE);
  EXPECT_EQ(PixelAt(w, 5, 15), row[2]);  // moved up by one stripe
  EXPECT_EQ(PixelAt(w, 5, 5), row[1]);
  TRect u;
  EXPECT_TRUE(GetUpdateRect(w, &u, false));
  EXPECT_EQ(u, TRect(0, 30, 40, 40));
}
