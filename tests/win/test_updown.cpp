// The "msctls_updown32" class with a buddy window: clicks and held buttons that repeat and
// accelerate on the virtual clock, the buddy's text and arrow keys, wrapping, 32-bit ranges,
// refused and changed steps (UDN_DELTAPOS), and a parent destroying it mid-notification.
#include "host/platform/headless/HeadlessBackend.h"
#include "host/win/ctl/UpDown.h"
#include "tests/win/WinTestUtil.h"

using namespace vcl;
using namespace vcl::wintest;

namespace {

class UpDown : public WinTest {
 protected:
  HWND Top = nullptr, Buddy = nullptr, Spin = nullptr;
  std::vector<std::pair<int, int>> Deltas;  // iPos, iDelta of each UDN_DELTAPOS
  std::vector<WORD> Scrolls;                // WM_VSCROLL / WM_HSCROLL codes
  int Vertical = 0;                         // how many were WM_VSCROLL
  std::function<LRESULT(NMUPDOWN&)> OnDelta;

  void Make(DWORD style) {
    Top = MakeWindow(WS_POPUP | WS_VISIBLE, TRect(0, 0, 300, 200), nullptr, 0,
                     [this](HWND, UINT m, WPARAM wp, LPARAM lp, LRESULT& r) {
                       if (m == WM_NOTIFY) {
                         auto* nm = reinterpret_cast<NMUPDOWN*>(lp);
                         if (nm->code != UDN_DELTAPOS) return false;
                         Deltas.push_back({nm->iPos, nm->iDelta});
                         r = OnDelta ? OnDelta(*nm) : 0;
                         return true;
                       }
                       if (m == WM_VSCROLL || m == WM_HSCROLL) {
                         Scrolls.push_back(LOWORD(wp));
                         if (m == WM_VSCROLL) ++Vertical;
                         r = 0;
                         return true;
                       }
                       return false;
                     });
    Buddy = MakeWindow(WS_CHILD | WS_VISIBLE, TRect(10, 10, 110, 32), Top);
    Spin = CreateWindowExW(0, u"msctls_updown32", u"", WS_CHILD | WS_VISIBLE | style, 0, 0, 17, 22,
                           Top, ChildId(3), nullptr, nullptr);
    ASSERT_NE(Spin, nullptr);
    SendMessageW(Spin, UDM_SETBUDDY, reinterpret_cast<WPARAM>(Buddy), 0);
    SendMessageW(Spin, UDM_SETRANGE32, 0, 100);
    Pump();
  }
  String BuddyText() {
    Char buf[64] = {};
    GetWindowTextW(Buddy, buf, 64);
    return buf;
  }
  int Pos() { return int(SendMessageW(Spin, UDM_GETPOS32, 0, 0)); }
  TPoint UpPoint() { return ScreenOf(Spin, TPoint(8, 3)); }
  TPoint DownPoint() { return ScreenOf(Spin, TPoint(8, 18)); }
  void TearDown() override {
    Headless().InjectMouseButton(platform::MouseButton::Left, false);
    WinTest::TearDown();
  }
};

}  // namespace

TEST_F(UpDown, ClicksStepAndTheBuddyShowsThePosition) {
  Make(UDS_SETBUDDYINT | UDS_ALIGNRIGHT | UDS_ARROWKEYS);
  // Aligned to the buddy's right edge, which shrinks to make room.
  TRect b, s;
  GetWindowRect(Buddy, &b);
  GetWindowRect(Spin, &s);
  EXPECT_EQ(s.Left, b.Right);
  EXPECT_EQ(s.Right, 110);
  Headless().InjectClick(UpPoint().X, UpPoint().Y);
  Pump();
  Headless().InjectClick(UpPoint().X, UpPoint().Y);
  Pump();
  EXPECT_EQ(Pos(), 2);
  EXPECT_EQ(BuddyText(), u"2");
  EXPECT_EQ(Deltas, (std::vector<std::pair<int, int>>{{0, 1}, {1, 1}}));
  EXPECT_EQ(Scrolls, (std::vector<WORD>{SB_THUMBPOSITION, SB_ENDSCROLL, SB_THUMBPOSITION, SB_ENDSCROLL}));
  // The buddy's text is read back before a step; the arrow keys in the buddy step too.
  SetWindowTextW(Buddy, u"40");
  SetFocus(Buddy);
  Headless().InjectKey(VK_DOWN, true);
  Pump();
  Headless().InjectKey(VK_DOWN, false);
  Pump();
  EXPECT_EQ(Pos(), 39);
  EXPECT_EQ(BuddyText(), u"39");
  // Past the maximum it stops; thousands are grouped.
  SendMessageW(Spin, UDM_SETRANGE32, 0, 5000);
  SendMessageW(Spin, UDM_SETPOS32, 0, 4999);
  EXPECT_EQ(BuddyText(), u"4,999");
  Headless().InjectClick(UpPoint().X, UpPoint().Y);
  Pump();
  Headless().InjectClick(UpPoint().X, UpPoint().Y);
  Pump();
  EXPECT_EQ(Pos(), 5000);
}

TEST_F(UpDown, HeldButtonRepeatsAndAccelerates) {
  Make(UDS_SETBUDDYINT);
  SendMessageW(Spin, UDM_SETRANGE32, 0, 100000);
  Headless().InjectMouseMove(UpPoint().X, UpPoint().Y);
  Headless().InjectMouseButton(platform::MouseButton::Left, true);
  Pump();
  EXPECT_EQ(Pos(), 1);
  AdvanceClock(kUpDownFirstRepeatMs);
  Pump();
  EXPECT_EQ(Pos(), 2);
  for (int i = 0; i < 20; ++i) {  // to 2.4 s: steps of 5 after 2 s
    AdvanceClock(kUpDownRepeatMs);
    Pump();
  }
  int at2s = Pos();
  AdvanceClock(kUpDownRepeatMs);
  Pump();
  EXPECT_EQ(Pos() - at2s, 5);
  Headless().InjectMouseButton(platform::MouseButton::Left, false);
  Pump();
  int released = Pos();
  AdvanceClock(1000);
  Pump();
  EXPECT_EQ(Pos(), released);
  EXPECT_EQ(Scrolls.back(), SB_ENDSCROLL);
}

TEST_F(UpDown, WrapInvertedAnd32BitRanges) {
  Make(UDS_WRAP | UDS_SETBUDDYINT | UDS_NOTHOUSANDS);
  SendMessageW(Spin, UDM_SETPOS32, 0, 100);
  Headless().InjectClick(UpPoint().X, UpPoint().Y);
  Pump();
  EXPECT_EQ(Pos(), 0);
  Headless().InjectClick(DownPoint().X, DownPoint().Y);
  Pump();
  EXPECT_EQ(Pos(), 100);
  // A minimum above the maximum turns the arrows round.
  SendMessageW(Spin, UDM_SETRANGE32, 10, 0);
  SendMessageW(Spin, UDM_SETPOS32, 0, 5);
  Headless().InjectClick(UpPoint().X, UpPoint().Y);
  Pump();
  EXPECT_EQ(Pos(), 4);
  SendMessageW(Spin, UDM_SETRANGE32, WPARAM(-3000000), 3000000);
  SendMessageW(Spin, UDM_SETPOS32, 0, 2999999);
  EXPECT_EQ(BuddyText(), u"2999999");
  int lo = 0, hi = 0;
  SendMessageW(Spin, UDM_GETRANGE32, reinterpret_cast<WPARAM>(&lo), reinterpret_cast<LPARAM>(&hi));
  EXPECT_EQ(lo, -3000000);
  EXPECT_EQ(hi, 3000000);
  // An unreadable buddy text is reported and keeps the last position.
  SetWindowTextW(Buddy, u"abc");
  BOOL error = false;
  EXPECT_EQ(SendMessageW(Spin, UDM_GETPOS32, 0, reinterpret_cast<LPARAM>(&error)), 2999999);
  EXPECT_TRUE(error);
}

TEST_F(UpDown, DeltaPosMayRefuseOrChangeTheStepHorizontally) {
  Make(UDS_HORZ | UDS_SETBUDDYINT);
  SetWindowPos(Spin, nullptr, 120, 10, 34, 17, SWP_NOZORDER);
  Pump();
  OnDelta = [](NMUPDOWN&) -> LRESULT { return 1; };
  TPoint right = ScreenOf(Spin, TPoint(25, 8)), left = ScreenOf(Spin, TPoint(5, 8));
  Headless().InjectClick(right.X, right.Y);
  Pump();
  EXPECT_EQ(Pos(), 0);
  EXPECT_EQ(Deltas.size(), 1u);
  OnDelta = [](NMUPDOWN& nm) -> LRESULT {
    nm.iDelta *= 10;
    return 0;
  };
  Headless().InjectClick(right.X, right.Y);
  Pump();
  EXPECT_EQ(Pos(), 10);
  Headless().InjectClick(left.X, left.Y);
  Pump();
  EXPECT_EQ(Pos(), 0);
  EXPECT_EQ(std::count(Scrolls.begin(), Scrolls.end(), SB_THUMBPOSITION), 2);
  EXPECT_EQ(Vertical, 0);  // all of them WM_HSCROLL
}

TEST_F(UpDown, ParentMayDestroyItOrItsBuddyInsideANotification) {
  Make(UDS_SETBUDDYINT | UDS_ARROWKEYS);
  OnDelta = [this](NMUPDOWN&) -> LRESULT {
    DestroyWindow(Spin);
    return 0;
  };
  Headless().InjectClick(UpPoint().X, UpPoint().Y);
  Pump();
  EXPECT_FALSE(IsWindow(Spin));
  EXPECT_EQ(GetCapture(), nullptr);
  // The buddy keeps working without its up-down.
  SetFocus(Buddy);
  Headless().InjectKey(VK_UP, true);
  Pump();
  Headless().InjectKey(VK_UP, false);
  Pump();
  OnDelta = nullptr;
  Make(UDS_SETBUDDYINT | UDS_ARROWKEYS);
  DestroyWindow(Buddy);
  EXPECT_EQ(SendMessageW(Spin, UDM_GETBUDDY, 0, 0), 0);
  Headless().InjectClick(UpPoint().X, UpPoint().Y);
  Pump();
  EXPECT_EQ(Pos(), 1);
}
