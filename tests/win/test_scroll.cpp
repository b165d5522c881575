// Scroll bars: showing and hiding with the range, positions and thumb geometry, arrows with
// auto-repeat on the virtual clock, paging up to the pointer, thumb dragging, the SCROLLBAR
// control.
#include "host/platform/headless/HeadlessBackend.h"
#include "tests/win/WinTestUtil.h"

using namespace vcl;
using namespace vcl::wintest;
using platform::MouseButton;

namespace {

class Scroll : public WinTest {
 protected:
  HWND Top = nullptr, List = nullptr;
  std::vector<std::pair<WORD, int>> Events;  // WM_VSCROLL codes and positions

  // A 100x200 child at (10,10) with a vertical bar: the bar is x 93..110, y 10..210 on screen,
  // arrows 17 pixels, the track 166 pixels long.
  void MakeList(int pageStep = 10) {
    Top = MakeWindow(WS_POPUP | WS_VISIBLE, TRect(0, 0, 300, 300));
    List = MakeWindow(WS_CHILD | WS_VISIBLE | WS_VSCROLL, TRect(10, 10, 110, 210), Top, 0,
                      [this, pageStep](HWND h, UINT m, WPARAM wp, LPARAM, LRESULT& r) {
                        if (m != WM_VSCROLL) return false;
                        WORD code = LOWORD(wp);
                        int pos = GetScrollPos(h, SB_VERT);
                        Events.push_back({code, code == SB_THUMBTRACK || code == SB_THUMBPOSITION
                                                    ? int(HIWORD(wp)) : pos});
                        switch (code) {
                          case SB_LINEDOWN: SetScrollPos(h, SB_VERT, pos + 1, true); break;
                          case SB_LINEUP: SetScrollPos(h, SB_VERT, pos - 1, true); break;
                          case SB_PAGEDOWN: SetScrollPos(h, SB_VERT, pos + pageStep, true); break;
                          case SB_PAGEUP: SetScrollPos(h, SB_VERT, pos - pageStep, true); break;
                          case SB_THUMBPOSITION: SetScrollPos(h, SB_VERT, HIWORD(wp), true); break;
                          default: break;
                        }
                        r = 0;
                        return true;
                      });
    SCROLLINFO si;
    si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    si.nMin = 0;
    si.nMax = 99;
    si.nPage = 10;
    si.nPos = 0;
    SetScrollInfo(List, SB_VERT, &si, true);
    Pump();
  }
  int CountOf(WORD code) const {
    int n = 0;
    for (auto& e : Events)
      if (e.first == code) ++n;
    return n;
  }
  void TearDown() override {
    Headless().InjectMouseButton(MouseButton::Left, false);
    WinTest::TearDown();
  }
};

}  // namespace

TEST_F(Scroll, RangeShowsAndHidesTheBarAndClampsThePosition) {
  HWND top = MakeWindow(WS_POPUP | WS_VISIBLE, TRect(0, 0, 300, 300));
  HWND w = MakeWindow(WS_CHILD | WS_VISIBLE, TRect(0, 0, 100, 100), top);
  TRect c;
  GetClientRect(w, &c);
  EXPECT_EQ(c.Width(), 100);
  SCROLLINFO si;
  si.fMask = SIF_RANGE | SIF_PAGE;
  si.nMin = 0;
  si.nMax = 99;
  si.nPage = 20;
  SetScrollInfo(w, SB_VERT, &si, true);
  EXPECT_NE(DWORD(GetWindowLongW(w, GWL_STYLE)) & WS_VSCROLL, 0u);
  GetClientRect(w, &c);
  EXPECT_EQ(c.Width(), 100 - GetSystemMetrics(SM_CXVSCROLL));
  // The position stops at max - page + 1.
  EXPECT_EQ(SetScrollPos(w, SB_VERT, 500, true), 0);
  EXPECT_EQ(GetScrollPos(w, SB_VERT), 80);
  EXPECT_EQ(SetScrollPos(w, SB_VERT, -5, true), 80);
  EXPECT_EQ(GetScrollPos(w, SB_VERT), 0);
  // A page covering the range hides the bar ...
  si.nPage = 100;
  SetScrollInfo(w, SB_VERT, &si, true);
  EXPECT_EQ(DWORD(GetWindowLongW(w, GWL_STYLE)) & WS_VSCROLL, 0u);
  GetClientRect(w, &c);
  EXPECT_EQ(c.Width(), 100);
  // ... or, asked to, leaves it disabled.
  si.fMask = SIF_RANGE | SIF_PAGE | SIF_DISABLENOSCROLL;
  SetScrollInfo(w, SB_VERT, &si, true);
  EXPECT_NE(DWORD(GetWindowLongW(w, GWL_STYLE)) & WS_VSCROLL, 0u);
  SCROLLBARINFO sbi;
  ASSERT_TRUE(GetScrollBarInfo(w, OBJID_VSCROLL, &sbi));
  EXPECT_TRUE(sbi.rgstate[0] & STATE_SYSTEM_UNAVAILABLE);
  // Invalid ranges are refused.
  si.fMask = SIF_RANGE;
  si.nMin = 10;
  si.nMax = 5;
  SetScrollInfo(w, SB_VERT, &si, true);
  int mn, mx;
  GetScrollRange(w, SB_VERT, &mn, &mx);
  EXPECT_EQ(mx, 99);
  EXPECT_FALSE(SetScrollInfo(w, SB_CTL, &si, true));  // not a scroll bar control
}

TEST_F(Scroll, ScrollBarInfoDescribesTheThumb) {
  MakeList();
  SCROLLBARINFO sbi;
  ASSERT_TRUE(GetScrollBarInfo(List, OBJID_VSCROLL, &sbi));
  EXPECT_EQ(sbi.rcScrollBar, TRect(93, 10, 110, 210));
  EXPECT_EQ(sbi.dxyLineButton, 17);
  EXPECT_EQ(sbi.xyThumbTop, 17);
  EXPECT_EQ(sbi.xyThumbBottom, 17 + 166 * 10 / 100);
  SetScrollPos(List, SB_VERT, 90, true);
  GetScrollBarInfo(List, OBJID_VSCROLL, &sbi);
  EXPECT_EQ(sbi.xyThumbBottom, 200 - 17);  // the last position puts the thumb at the end
  ASSERT_TRUE(GetScrollBarInfo(List, OBJID_HSCROLL, &sbi));
  EXPECT_TRUE(sbi.rgstate[0] & STATE_SYSTEM_INVISIBLE);
}

TEST_F(Scroll, ArrowsRepeatOnTheClockUntilReleased) {
  MakeList();
  Headless().InjectMouseMove(100, 200);  // the down arrow
  Headless().InjectMouseButton(MouseButton::Left, true);
  Pump();
  EXPECT_EQ(CountOf(SB_LINEDOWN), 1);
  EXPECT_EQ(GetCapture(), List);
  AdvanceClock(199);
  Pump();
  EXPECT_EQ(CountOf(SB_LINEDOWN), 1);
  AdvanceClock(1);  // first repeat after 200 ms
  Pump();
  EXPECT_EQ(CountOf(SB_LINEDOWN), 2);
  for (int i = 0; i < 4; ++i) {
    AdvanceClock(50);  // then every 50 ms
    Pump();
  }
  EXPECT_EQ(CountOf(SB_LINEDOWN), 6);
  // Leaving the arrow pauses the repeat; coming back resumes it.
  Headless().InjectMouseMove(100, 100);
  AdvanceClock(50);
  Pump();
  EXPECT_EQ(CountOf(SB_LINEDOWN), 6);
  Headless().InjectMouseMove(100, 200);
  AdvanceClock(50);
  Pump();
  EXPECT_EQ(CountOf(SB_LINEDOWN), 7);
  Log().clear();
  Headless().InjectMouseButton(MouseButton::Left, false);
  Pump();
  EXPECT_EQ(Events.back().first, SB_ENDSCROLL);
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_EQ(Count(List, WM_CAPTURECHANGED), 1);
  EXPECT_EQ(Count(List, WM_LBUTTONUP), 0);  // the tracking took the release
  AdvanceClock(500);
  Pump();
  EXPECT_EQ(CountOf(SB_LINEDOWN), 7);
  EXPECT_EQ(GetScrollPos(List, SB_VERT), 7);
}

TEST_F(Scroll, PagingStopsWhenTheThumbReachesThePointer) {
  MakeList();
  Headless().InjectMouseMove(100, 150);  // on the track, below the thumb
  Headless().InjectMouseButton(MouseButton::Left, true);
  Pump();
  AdvanceClock(200);
  Pump();
  for (int i = 0; i < 20; ++i) {
    AdvanceClock(50);
    Pump();
  }
  // Thumb start = 17 + pos * 150 / 90 along the bar; the pointer is 140 along it.
  EXPECT_EQ(CountOf(SB_PAGEDOWN), 7);
  EXPECT_EQ(GetScrollPos(List, SB_VERT), 70);
  Headless().InjectMouseButton(MouseButton::Left, false);
  Pump();
}

TEST_F(Scroll, DraggingTheThumbTracksAndSetsThePosition) {
  MakeList();
  Headless().InjectMouseMove(100, 30);  // on the thumb, 3 pixels into it
  Headless().InjectMouseButton(MouseButton::Left, true);
  Pump();
  Headless().InjectMouseMove(100, 105);
  Pump();
  ASSERT_FALSE(Events.empty());
  EXPECT_EQ(Events.back(), (std::pair<WORD, int>{SB_THUMBTRACK, 45}));
  SCROLLINFO si;
  si.fMask = SIF_TRACKPOS | SIF_POS;
  GetScrollInfo(List, SB_VERT, &si);
  EXPECT_EQ(si.nTrackPos, 45);
  EXPECT_EQ(si.nPos, 0);  // the application has not moved yet
  Headless().InjectMouseMove(100, 400);  // far past the end
  Pump();
  EXPECT_EQ(Events.back(), (std::pair<WORD, int>{SB_THUMBTRACK, 90}));
  Headless().InjectMouseButton(MouseButton::Left, false);
  Pump();
  ASSERT_GE(Events.size(), 2u);
  EXPECT_EQ(Events[Events.size() - 2], (std::pair<WORD, int>{SB_THUMBPOSITION, 90}));
  EXPECT_EQ(Events.back().first, SB_ENDSCROLL);
  EXPECT_EQ(GetScrollPos(List, SB_VERT), 90);
}

TEST_F(Scroll, ScrollBarControlNotifiesItsParent) {
  HWND top = MakeWindow(WS_POPUP | WS_VISIBLE, TRect(0, 0, 300, 300));
  HWND sb = CreateWindowExW(0, u"SCROLLBAR", nullptr, WS_CHILD | WS_VISIBLE | SBS_VERT, 50, 50, 17,
                            150, top, ChildId(3), nullptr, nullptr);
  ASSERT_NE(sb, nullptr);
  EXPECT_EQ(SendMessageW(sb, SBM_SETRANGE, 0, 9), 0);
  SendMessageW(sb, SBM_SETPOS, 4, 1);
  EXPECT_EQ(SendMessageW(sb, SBM_GETPOS, 0, 0), 4);
  Pump();
  Log().clear();
  Headless().InjectClick(58, 195);  // the down arrow
  Pump();
  const Logged* v = nullptr;
  for (const Logged& l : Log())
    if (l.Hwnd == top && l.Msg == WM_VSCROLL && LOWORD(l.WParam) == SB_LINEDOWN) v = &l;
  ASSERT_NE(v, nullptr);
  EXPECT_EQ(reinterpret_cast<HWND>(v->LParam), sb);
  EXPECT_EQ(Msgs(top, {WM_VSCROLL}).size(), 2u);  // the line step and SB_ENDSCROLL
}

TEST_F(Scroll, BarRedrawsGoThroughNcPaintAndReportTheHotPart) {
  // A child that paints its own frame: the bar stays in its colour whatever the window manager
  // redraws, and each redraw arrives as WM_NCPAINT limited to the bar.
  HWND top = MakeWindow(WS_POPUP | WS_VISIBLE, TRect(0, 0, 300, 300));
  std::vector<TRect> ncBoxes;
  HWND own = MakeWindow(WS_CHILD | WS_VISIBLE | WS_VSCROLL, TRect(10, 10, 110, 210), top, 0,
                        [&](HWND h, UINT m, WPARAM wp, LPARAM, LRESULT& r) {
                          if (m != WM_NCPAINT) return false;
                          TRect box;
                          if (wp > 1 && GetRgnBox(reinterpret_cast<HRGN>(wp), &box) != NULLREGION)
                            ncBoxes.push_back(box);
                          HDC dc = GetWindowDC(h);
                          FillDc(dc, TRect(83, 0, 100, 200), RGB(10, 200, 30));
                          ReleaseDC(h, dc);
                          r = 0;
                          return true;
                        });
  SCROLLINFO si;
  si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
  si.nMin = 0;
  si.nMax = 99;
  si.nPage = 10;
  si.nPos = 0;
  SetScrollInfo(own, SB_VERT, &si, true);
  Pump();
  ncBoxes.clear();
  SetScrollPos(own, SB_VERT, 50, true);
  ASSERT_EQ(ncBoxes.size(), 1u);
  EXPECT_EQ(ncBoxes[0], TRect(93, 10, 110, 210));  // screen coordinates of the bar
  EXPECT_EQ(PixelAt(top, 100, 110), Px(10, 200, 30));

  // Hot tracking: the part under the mouse is reported, and leaving clears it.
  SCROLLBARINFO sbi;
  Headless().InjectMouseMove(100, 200);  // the down arrow
  Pump();
  ASSERT_TRUE(GetScrollBarInfo(own, OBJID_VSCROLL, &sbi));
  EXPECT_TRUE(sbi.rgstate[5] & STATE_SYSTEM_HOTTRACKED);
  EXPECT_FALSE(sbi.rgstate[1] & STATE_SYSTEM_HOTTRACKED);
  EXPECT_FALSE(ncBoxes.size() < 2);  // the hot change repainted the bar
  Headless().InjectMouseMove(100, 15);  // the up arrow
  Pump();
  GetScrollBarInfo(own, OBJID_VSCROLL, &sbi);
  EXPECT_TRUE(sbi.rgstate[1] & STATE_SYSTEM_HOTTRACKED);
  EXPECT_FALSE(sbi.rgstate[5] & STATE_SYSTEM_HOTTRACKED);
  Headless().InjectMouseMove(250, 250);  // off the window
  Pump();
  GetScrollBarInfo(own, OBJID_VSCROLL, &sbi);
  for (DWORD st : sbi.rgstate) EXPECT_FALSE(st & STATE_SYSTEM_HOTTRACKED);
  EXPECT_EQ(PixelAt(top, 100, 110), Px(10, 200, 30));
}

TEST_F(Scroll, DisabledArrowsIgnorePressesAndHiddenBarsGiveBackTheirSpace) {
  MakeList();
  SetScrollPos(List, SB_VERT, 5, true);
  EXPECT_TRUE(EnableScrollBar(List, SB_VERT, ESB_DISABLE_RTDN));
  EXPECT_FALSE(EnableScrollBar(List, SB_VERT, ESB_DISABLE_RTDN));  // no change
  SCROLLBARINFO sbi;
  GetScrollBarInfo(List, OBJID_VSCROLL, &sbi);
  EXPECT_TRUE(sbi.rgstate[5] & STATE_SYSTEM_UNAVAILABLE);
  EXPECT_FALSE(sbi.rgstate[1] & STATE_SYSTEM_UNAVAILABLE);
  Headless().InjectClick(100, 200);  // the disabled down arrow
  Pump();
  EXPECT_EQ(CountOf(SB_LINEDOWN), 0);
  Headless().InjectClick(100, 15);  // the up arrow still scrolls
  Pump();
  EXPECT_EQ(CountOf(SB_LINEUP), 1);
  EXPECT_EQ(GetScrollPos(List, SB_VERT), 4);

  TRect c;
  GetClientRect(List, &c);
  EXPECT_EQ(c.Width(), 100 - GetSystemMetrics(SM_CXVSCROLL));
  ShowScrollBar(List, SB_VERT, false);
  GetClientRect(List, &c);
  EXPECT_EQ(c.Width(), 100);
  GetScrollBarInfo(List, OBJID_VSCROLL, &sbi);
  EXPECT_TRUE(sbi.rgstate[0] & STATE_SYSTEM_INVISIBLE);
  EXPECT_EQ(GetScrollPos(List, SB_VERT), 4);  // the position survives hiding
  ShowScrollBar(List, SB_VERT, true);
  GetClientRect(List, &c);
  EXPECT_EQ(c.Width(), 100 - GetSystemMetrics(SM_CXVSCROLL));
}
