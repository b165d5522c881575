// Non-client areas: the default frame and caption in the system look (active, inactive, hot
// caption buttons), child borders and scroll bars (pixels), caption buttons, and moving and
// sizing through our own move/size tracking.
#include "host/platform/headless/HeadlessBackend.h"
#include "tests/win/WinTestUtil.h"

using namespace vcl;
using namespace vcl::wintest;
using platform::MouseButton;

namespace {

class NonClient : public WinTest {
 protected:
  void TearDown() override {
    Headless().InjectMouseButton(MouseButton::Left, false);
    Headless().InjectMouseMove(1900, 1000);
    WinTest::TearDown();
  }
};

std::uint32_t SysPx(int index) {
  COLORREF c = GetSysColor(index);
  return Px(GetRValue(c), GetGValue(c), GetBValue(c));
}

bool HasDarkPixel(HWND top, const TRect& r) {
  for (int y = r.Top; y < r.Bottom; ++y)
    for (int x = r.Left; x < r.Right; ++x) {
      std::uint32_t p = PixelAt(top, x, y);
      if (((p >> 16) & 0xFF) < 100 && ((p >> 8) & 0xFF) < 100 && (p & 0xFF) < 100) return true;
    }
  return false;
}

}  // namespace

TEST_F(NonClient, DefaultFrameAndCaptionFollowActivationAndHover) {
  HWND a = MakeWindow(WS_OVERLAPPEDWINDOW | WS_VISIBLE, TRect(100, 100, 500, 400));
  SetWindowTextW(a, u"Caption");
  Pump();
  EXPECT_EQ(PixelAt(a, 0, 0), Px(112, 112, 112));  // active border
  EXPECT_EQ(PixelAt(a, 200, 4), Px(255, 255, 255));  // frame in the caption colour
  EXPECT_EQ(PixelAt(a, 300, 15), Px(255, 255, 255));  // caption background
  EXPECT_TRUE(HasDarkPixel(a, TRect(8 + 30, 8, 8 + 90, 31)));  // the title, in black
  // The close button turns red under the pointer.
  EXPECT_EQ(PixelAt(a, 400 - 8 - 34, 10), Px(255, 255, 255));
  Headless().InjectMouseMove(100 + 400 - 8 - 18, 100 + 8 + 12);
  Pump();
  EXPECT_EQ(PixelAt(a, 400 - 8 - 34, 10), Px(232, 17, 35));
  Headless().InjectMouseMove(300, 300);
  Pump();
  EXPECT_EQ(PixelAt(a, 400 - 8 - 34, 10), Px(255, 255, 255));  // left again
  // Another window activating makes this frame inactive.
  HWND b = MakeWindow(WS_OVERLAPPEDWINDOW | WS_VISIBLE, TRect(600, 100, 800, 300));
  Pump();
  EXPECT_EQ(GetActiveWindow(), b);
  EXPECT_EQ(PixelAt(a, 0, 0), Px(170, 170, 170));
  EXPECT_EQ(PixelAt(b, 0, 0), Px(112, 112, 112));
  EXPECT_FALSE(HasDarkPixel(a, TRect(8 + 30, 8, 8 + 90, 31)));  // the inactive title is grey
}

TEST_F(NonClient, ChildBordersEdgesAndScrollBars) {
  HWND top = MakeWindow(WS_POPUP | WS_VISIBLE, TRect(0, 0, 300, 300), nullptr, 0, nullptr, FilledClass());
  MakeWindow(WS_CHILD | WS_VISIBLE | WS_BORDER, TRect(10, 10, 60, 60), top, 0, nullptr, FilledClass());
  MakeWindow(WS_CHILD | WS_VISIBLE, TRect(100, 10, 150, 60), top, WS_EX_CLIENTEDGE, nullptr, FilledClass());
  HWND s = MakeWindow(WS_CHILD | WS_VISIBLE | WS_VSCROLL, TRect(10, 100, 110, 200), top, 0, nullptr,
                      FilledClass());
  SCROLLINFO si;
  si.fMask = SIF_RANGE | SIF_PAGE;
  si.nMax = 99;
  si.nPage = 50;
  SetScrollInfo(s, SB_VERT, &si, true);
  Pump();
  EXPECT_EQ(PixelAt(top, 10, 10), SysPx(COLOR_WINDOWFRAME));
  EXPECT_EQ(PixelAt(top, 59, 30), SysPx(COLOR_WINDOWFRAME));
  EXPECT_EQ(PixelAt(top, 30, 30), SysPx(COLOR_WINDOW));
  // A sunken client edge: shadow outside, dark shadow inside, highlights bottom right.
  EXPECT_EQ(PixelAt(top, 100, 30), SysPx(COLOR_BTNSHADOW));
  EXPECT_EQ(PixelAt(top, 101, 30), SysPx(COLOR_3DDKSHADOW));
  EXPECT_EQ(PixelAt(top, 149, 30), SysPx(COLOR_BTNHIGHLIGHT));
  EXPECT_EQ(PixelAt(top, 148, 30), SysPx(COLOR_3DLIGHT));
  // The scroll bar: track, thumb over the first half, arrows.
  EXPECT_EQ(PixelAt(top, 110 - 9, 100 + 17 + 5), Px(205, 205, 205));   // thumb
  EXPECT_EQ(PixelAt(top, 110 - 9, 200 - 17 - 5), Px(240, 240, 240));   // track below it
  EXPECT_TRUE(HasDarkPixel(top, TRect(110 - 17, 100, 110, 117)) ||
              PixelAt(top, 110 - 9, 108) != Px(240, 240, 240));        // an arrow glyph
}

TEST_F(NonClient, CaptionButtonsAndDoubleClicks) {
  HWND w = MakeWindow(WS_OVERLAPPEDWINDOW | WS_VISIBLE, TRect(100, 100, 500, 400));
  Pump();
  TPoint maxBtn{100 + 400 - 8 - 36 - 18, 100 + 8 + 12}, closeBtn{100 + 400 - 8 - 18, 100 + 8 + 12};
  Headless().InjectClick(maxBtn.X, maxBtn.Y);
  Pump();
  EXPECT_TRUE(IsZoomed(w));
  // Double-clicking the caption restores.
  Headless().InjectClick(300, 15);
  Headless().InjectClick(300, 15);
  Pump();
  EXPECT_FALSE(IsZoomed(w));
  TRect r;
  GetWindowRect(w, &r);
  EXPECT_EQ(r, TRect(100, 100, 500, 400));
  // Pressing close and releasing elsewhere does nothing; a full click closes.
  Headless().InjectMouseMove(closeBtn.X, closeBtn.Y);
  Headless().InjectMouseButton(MouseButton::Left, true);
  Pump();
  EXPECT_EQ(GetCapture(), w);
  EXPECT_EQ(PixelAt(w, 400 - 8 - 34, 10), Px(241, 112, 122));  // pressed
  Headless().InjectMouseMove(closeBtn.X - 60, closeBtn.Y);
  Pump();
  EXPECT_EQ(PixelAt(w, 400 - 8 - 34, 10), Px(255, 255, 255));  // not pressed while off it
  Headless().InjectMouseMove(300, 300);
  Headless().InjectMouseButton(MouseButton::Left, false);
  Pump();
  EXPECT_TRUE(IsWindow(w));
  EXPECT_EQ(GetCapture(), nullptr);
  // The minimise button; the window comes back with SW_RESTORE.
  Headless().InjectClick(closeBtn.X - 72, closeBtn.Y);
  Pump();
  EXPECT_TRUE(IsIconic(w));
  ShowWindow(w, SW_RESTORE);
  EXPECT_FALSE(IsIconic(w));
  Log().clear();
  Headless().InjectClick(closeBtn.X, closeBtn.Y);
  Pump();
  EXPECT_FALSE(IsWindow(w));
  std::vector<UINT> seq = Msgs(w, {WM_SYSCOMMAND, WM_CLOSE, WM_DESTROY});
  EXPECT_EQ(seq, (std::vector<UINT>{WM_SYSCOMMAND, WM_CLOSE, WM_DESTROY}));
}

TEST_F(NonClient, MovingAndSizingRunInOurOwnLoop) {
  HWND w = MakeWindow(WS_OVERLAPPEDWINDOW | WS_VISIBLE, TRect(100, 100, 500, 400));
  Pump();
  Log().clear();
  Headless().InjectMouseMove(300, 112);  // the caption
  Headless().InjectMouseButton(MouseButton::Left, true);
  Pump();
  EXPECT_EQ(Count(w, WM_ENTERSIZEMOVE), 1);
  Headless().InjectMouseMove(350, 140);
  Pump();
  TRect r;
  GetWindowRect(w, &r);
  EXPECT_EQ(r, TRect(150, 128, 550, 428));
  EXPECT_GE(Count(w, WM_MOVING), 1);
  Headless().InjectMouseButton(MouseButton::Left, false);
  Pump();
  EXPECT_EQ(Count(w, WM_EXITSIZEMOVE), 1);
  EXPECT_EQ(GetCapture(), nullptr);

  // Sizing from the bottom-right corner, limited by the minimum tracking size.
  Log().clear();
  Headless().InjectMouseMove(548, 426);
  Headless().InjectMouseButton(MouseButton::Left, true);
  Headless().InjectMouseMove(600, 450);
  Pump();
  GetWindowRect(w, &r);
  EXPECT_EQ(r, TRect(150, 128, 602, 452));
  const Logged* sizing = nullptr;
  for (const Logged& l : Log())
    if (l.Msg == WM_SIZING) sizing = &l;
  ASSERT_NE(sizing, nullptr);
  EXPECT_EQ(sizing->WParam, WMSZ_BOTTOMRIGHT);
  Headless().InjectMouseMove(0, 0);
  Pump();
  GetWindowRect(w, &r);
  EXPECT_EQ(r.Width(), GetSystemMetrics(SM_CXMINTRACK));
  EXPECT_EQ(r.Height(), GetSystemMetrics(SM_CYMINTRACK));
  EXPECT_EQ(r.TopLeft(), TPoint(150, 128));
  Headless().InjectMouseButton(MouseButton::Left, false);
  Pump();

  // Escape during a move puts the window back.
  SetWindowPos(w, nullptr, 100, 100, 400, 300, SWP_NOZORDER);
  Headless().InjectMouseMove(300, 112);
  Headless().InjectMouseButton(MouseButton::Left, true);
  Headless().InjectMouseMove(400, 200);
  Pump();
  GetWindowRect(w, &r);
  EXPECT_EQ(r.TopLeft(), TPoint(200, 188));
  Headless().InjectKey(VK_ESCAPE, true);
  Headless().InjectKey(VK_ESCAPE, false);
  Pump();
  GetWindowRect(w, &r);
  EXPECT_EQ(r, TRect(100, 100, 500, 400));
  EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(NonClient, TrackSizesAndSizingAnswersBindTheSizeLoop) {
  HWND w = MakeWindow(WS_OVERLAPPEDWINDOW | WS_VISIBLE, TRect(300, 200, 700, 500), nullptr, 0,
                      [](HWND, UINT m, WPARAM wp, LPARAM lp, LRESULT&) {
                        if (m == WM_GETMINMAXINFO) {
                          auto* mmi = reinterpret_cast<MINMAXINFO*>(lp);
                          mmi->ptMinTrackSize = {250, 150};
                          mmi->ptMaxTrackSize = {550, 420};
                        } else if (m == WM_SIZING && wp == WMSZ_BOTTOM) {
                          // Heights in steps of 25 pixels, measured from the top.
                          auto* r = reinterpret_cast<TRect*>(lp);
                          r->Bottom = r->Top + (r->Height() + 12) / 25 * 25;
                        }
                        return false;
                      });
  Pump();
  TRect r;
  // The left edge: the right edge stays put, the width stops at both limits.
  Headless().InjectMouseMove(302, 350);
  Headless().InjectMouseButton(MouseButton::Left, true);
  Headless().InjectMouseMove(600, 350);
  Pump();
  GetWindowRect(w, &r);
  EXPECT_EQ(r, TRect(700 - 250, 200, 700, 500));
  Headless().InjectMouseMove(0, 350);
  Pump();
  GetWindowRect(w, &r);
  EXPECT_EQ(r, TRect(700 - 550, 200, 700, 500));
  Headless().InjectMouseButton(MouseButton::Left, false);
  Pump();
  // The top edge up to the maximum height, the bottom edge steered by WM_SIZING.
  Headless().InjectMouseMove(400, 201);
  Headless().InjectMouseButton(MouseButton::Left, true);
  Headless().InjectMouseMove(400, 0);
  Headless().InjectMouseButton(MouseButton::Left, false);
  Pump();
  GetWindowRect(w, &r);
  EXPECT_EQ(r, TRect(150, 500 - 420, 700, 500));
  Headless().InjectMouseMove(400, 498);
  Headless().InjectMouseButton(MouseButton::Left, true);
  Headless().InjectMouseMove(400, 300);  // 420 - 198 = 222 -> 225
  Pump();
  GetWindowRect(w, &r);
  EXPECT_EQ(r.Top, 80);
  EXPECT_EQ(r.Height(), 225);
  Headless().InjectMouseButton(MouseButton::Left, false);
  Pump();
  EXPECT_EQ(GetCapture(), nullptr);
}
