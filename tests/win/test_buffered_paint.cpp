// Buffered animation: a window's paint starts a cross-fade; the frame timer on the virtual clock
// brings the following frames; the end image stays; stopping, destroying and bad arguments.
#include <gtest/gtest.h>

#include "host/gdi/GdiDraw.h"
#include "host/win/BufferedPaint.h"
#include "tests/win/WinTestUtil.h"

using namespace vcl;
using namespace vcl::wintest;

namespace {

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kGreen = RGB(0, 255, 0);

// A window that paints its state colour, fading from the colour it showed last when asked to,
// the way an animated control paints.
struct TFadingWindow {
  HWND Hwnd = nullptr;
  COLORREF Shown = kRed;  // the state of the last completed paint
  COLORREF State = kRed;  // the state to show
  DWORD Duration = 200;
  BP_ANIMATIONSTYLE Style = BPAS_LINEAR;
  bool Animate = false;
  int Paints = 0;
  int Rendered = 0;  // paints answered by the service

  explicit TFadingWindow(TRect bounds = TRect(100, 100, 200, 160)) {
    Hwnd = MakeWindow(WS_POPUP | WS_VISIBLE, bounds, nullptr, 0,
                      [this](HWND h, UINT m, WPARAM, LPARAM, LRESULT& r) {
                        if (m == WM_ERASEBKGND) {
                          r = 1;
                          return true;
                        }
                        if (m != WM_PAINT) return false;
                        Paint(h);
                        r = 0;
                        return true;
                      });
    Pump();
  }
  ~TFadingWindow() {
    if (IsWindow(Hwnd)) DestroyWindow(Hwnd);
  }

  void Paint(HWND h) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(h, &ps);
    ++Paints;
    TRect rc;
    GetClientRect(h, &rc);
    if (BufferedPaintRenderAnimation(h, dc)) {
      ++Rendered;
    } else if (Animate && Shown != State) {
      BP_ANIMATIONPARAMS p;
      p.style = Style;
      p.dwDuration = Duration;
      HDC from = nullptr, to = nullptr;
      HANIMATIONBUFFER a =
          BeginBufferedAnimation(h, dc, &rc, BPBF_COMPATIBLEBITMAP, nullptr, &p, &from, &to);
      ASSERT_NE(a, nullptr);
      FillDc(from, rc, Shown);
      FillDc(to, rc, State);
      EXPECT_EQ(EndBufferedAnimation(a, true), S_OK);
    } else {
      FillDc(dc, rc, State);
    }
    Shown = State;
    EndPaint(h, &ps);
  }

  void Change(COLORREF to) {
    State = to;
    Animate = true;
    InvalidateRect(Hwnd, nullptr, false);
    Pump();
  }

  std::uint32_t Center() const { return PixelAt(Hwnd, 50, 30); }
};

std::uint32_t Rgb(COLORREF c) { return Px(GetRValue(c), GetGValue(c), GetBValue(c)); }

void ExpectNear(std::uint32_t px, int r, int g, int b, int tolerance = 2) {
  EXPECT_NEAR(int((px >> 16) & 0xFF), r, tolerance) << std::hex << px;
  EXPECT_NEAR(int((px >> 8) & 0xFF), g, tolerance) << std::hex << px;
  EXPECT_NEAR(int(px & 0xFF), b, tolerance) << std::hex << px;
}

}  // namespace

using BufferedPaint = WinTest;

TEST_F(BufferedPaint, CrossFadeBlendsMidwayAndEndsOnTheEndImage) {
  TFadingWindow w;
  EXPECT_EQ(w.Center(), Rgb(kRed));
  w.Change(kBlue);
  // The first frame is the start image.
  EXPECT_EQ(w.Center(), Rgb(kRed));
  EXPECT_EQ(BufferedAnimationCount(w.Hwnd), 1);

  AdvanceClock(50);
  Pump();
  ExpectNear(w.Center(), 191, 0, 64);  // a quarter of the way
  AdvanceClock(50);
  Pump();
  ExpectNear(w.Center(), 127, 0, 128);  // halfway: an even blend of both images
  EXPECT_EQ(w.Rendered, 2);

  AdvanceClock(100);
  Pump();
  EXPECT_EQ(w.Center(), Rgb(kBlue));
  EXPECT_EQ(BufferedAnimationCount(w.Hwnd), 0);
  EXPECT_FALSE(BufferedPaintRenderAnimation(w.Hwnd, nullptr));

  // Nothing runs on: no more frames, and the end image stays.
  int paints = w.Paints;
  AdvanceClock(500);
  Pump();
  EXPECT_EQ(w.Paints, paints);
  EXPECT_EQ(w.Center(), Rgb(kBlue));
  // The frame timer is the service's own: the window procedure never saw a WM_TIMER.
  EXPECT_EQ(Count(w.Hwnd, WM_TIMER), 0);
}

TEST_F(BufferedPaint, EasedStylesAndZeroDuration) {
  TFadingWindow w;
  w.Style = BPAS_CUBIC;
  w.Change(kBlue);
  AdvanceClock(50);  // t = 1/4: smoothstep gives 0.156
  Pump();
  ExpectNear(w.Center(), 215, 0, 40);

  TFadingWindow z(TRect(300, 100, 400, 160));
  z.Duration = 0;
  z.Change(kGreen);
  // A zero duration paints the end image at once and leaves nothing running.
  EXPECT_EQ(z.Center(), Rgb(kGreen));
  EXPECT_EQ(BufferedAnimationCount(z.Hwnd), 0);
  int paints = z.Paints;
  AdvanceClock(100);
  Pump();
  EXPECT_EQ(z.Paints, paints);

}

TEST_F(BufferedPaint, StoppingMidwayRepaintsTheWindowAsItIs) {
  TFadingWindow w;
  w.Change(kBlue);
  AdvanceClock(100);
  Pump();
  ExpectNear(w.Center(), 127, 0, 128);
  // The state moves on while the fade runs; stopping must not leave the blend on screen.
  w.State = kGreen;
  w.Animate = false;
  EXPECT_EQ(BufferedPaintStopAllAnimations(w.Hwnd), S_OK);
  EXPECT_EQ(BufferedAnimationCount(w.Hwnd), 0);
  Pump();
  EXPECT_EQ(w.Center(), Rgb(kGreen));
}

TEST_F(BufferedPaint, DestroyingTheWindowStopsItsAnimations) {
  TFadingWindow w;
  w.Change(kBlue);
  ASSERT_EQ(BufferedAnimationCount(w.Hwnd), 1);
  DestroyWindow(w.Hwnd);
  EXPECT_EQ(BufferedAnimationCount(w.Hwnd), 0);
  AdvanceClock(100);
  Pump();  // no frame for a window that is gone

  // A window freed between Begin and End: its DCs stay usable until End, which drops it.
  HWND h = MakeWindow(WS_POPUP | WS_VISIBLE, TRect(0, 0, 40, 40));
  HDC dc = GetDC(h);
  TRect rc(0, 0, 40, 40);
  BP_ANIMATIONPARAMS p;
  p.dwDuration = 100;
  HDC from = nullptr, to = nullptr;
  HANIMATIONBUFFER a = BeginBufferedAnimation(h, dc, &rc, BPBF_COMPATIBLEBITMAP, nullptr, &p, &from, &to);
  ASSERT_NE(a, nullptr);
  ReleaseDC(h, dc);
  DestroyWindow(h);
  FillDc(from, rc, kRed);
  FillDc(to, rc, kBlue);
  EXPECT_EQ(EndBufferedAnimation(a, true), S_OK);
  EXPECT_EQ(BufferedAnimationCount(h), 0);
}

TEST_F(BufferedPaint, BuffersUseTheTargetsCoordinatesAndStartAsItsPixels) {
  HWND h = MakeWindow(WS_POPUP | WS_VISIBLE, TRect(0, 0, 80, 60));
  Pump();
  HDC dc = GetDC(h);
  FillDc(dc, TRect(0, 0, 80, 60), kGreen);
  TRect rc(20, 10, 60, 50);
  BP_ANIMATIONPARAMS p;
  p.dwDuration = 0;
  HDC from = nullptr, to = nullptr;
  HANIMATIONBUFFER a = BeginBufferedAnimation(h, dc, &rc, BPBF_COMPATIBLEBITMAP, nullptr, &p, &from, &to);
  ASSERT_NE(a, nullptr);
  // Logical (20, 10) is the buffer's first pixel; the end image holds the target's pixels
  // where the caller leaves it alone.
  EXPECT_EQ(GetPixel(to, 20, 10), kGreen);
  FillDc(to, TRect(20, 10, 40, 50), kBlue);
  EXPECT_EQ(EndBufferedAnimation(a, true), S_OK);
  EXPECT_EQ(PixelAt(h, 25, 20), Rgb(kBlue));
  EXPECT_EQ(PixelAt(h, 45, 20), Rgb(kGreen));  // inside, not painted: the old pixels
  EXPECT_EQ(PixelAt(h, 10, 20), Rgb(kGreen));  // outside the rectangle

  ReleaseDC(h, dc);
}

TEST_F(BufferedPaint, BadArgumentsGiveNoAnimation) {
  HWND h = MakeWindow(WS_POPUP | WS_VISIBLE, TRect(0, 0, 40, 40));
  HDC dc = GetDC(h);
  TRect rc(0, 0, 40, 40), empty(10, 10, 10, 30);
  BP_ANIMATIONPARAMS p;
  p.dwDuration = 100;
  HDC from = dc, to = dc;
  EXPECT_EQ(BeginBufferedAnimation(h, dc, &empty, BPBF_COMPATIBLEBITMAP, nullptr, &p, &from, &to), nullptr);
  EXPECT_EQ(from, nullptr);
  EXPECT_EQ(to, nullptr);
  EXPECT_EQ(BeginBufferedAnimation(nullptr, dc, &rc, BPBF_COMPATIBLEBITMAP, nullptr, &p, &from, &to), nullptr);
  EXPECT_EQ(BeginBufferedAnimation(h, dc, &rc, BPBF_COMPATIBLEBITMAP, nullptr, nullptr, &from, &to), nullptr);
  BP_ANIMATIONPARAMS wrong = p;
  wrong.cbSize = 12;
  EXPECT_EQ(BeginBufferedAnimation(h, dc, &rc, BPBF_COMPATIBLEBITMAP, nullptr, &wrong, &from, &to), nullptr);
  TRect huge(0, 0, 100000, 100000);
  EXPECT_EQ(BeginBufferedAnimation(h, dc, &huge, BPBF_COMPATIBLEBITMAP, nullptr, &p, &from, &to), nullptr);
  EXPECT_EQ(BufferedAnimationCount(h), 0);

  // Ending twice, or ending what was never begun, is refused.
  HANIMATIONBUFFER a = BeginBufferedAnimation(h, dc, &rc, BPBF_COMPATIBLEBITMAP, nullptr, &p, &from, &to);
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(EndBufferedAnimation(a, false), S_OK);
  EXPECT_EQ(EndBufferedAnimation(a, true), E_INVALIDARG);
  EXPECT_EQ(BufferedAnimationCount(h), 0);
  ReleaseDC(h, dc);
}
