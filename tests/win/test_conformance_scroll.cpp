// Scroll information as Win32 keeps it: none until set, the SCROLLBAR control's empty start,
// enabling and disabling, SIF_DISABLENOSCROLL, and the API reaching a control through its SBM_
// messages (a subclassed control sees every call; a class forwarding to the scroll-bar
// procedure is a scroll bar).
#include <algorithm>

#include "host/win/PlatformFacts.h"
#include "tests/win/WinTestUtil.h"

using namespace vcl;
using namespace vcl::wintest;

namespace {

class ScrollInfo : public WinTest {
 protected:
  HWND Top = nullptr;
  void SetUp() override {
    WinTest::SetUp();
    Top = MakeWindow(WS_POPUP | WS_VISIBLE, TRect(0, 0, 300, 300));
  }
  HWND Bar(DWORD style = WS_CHILD | WS_VISIBLE | SBS_HORZ, const Char* cls = u"SCROLLBAR") {
    return CreateWindowExW(0, cls, nullptr, style, 10, 10, 150, 17, Top, ChildId(5), nullptr,
                           nullptr);
  }
};

struct Range {
  BOOL InfoOk;  // GetScrollInfo
  int Min, Max, Pos;
};

Range Read(HWND h, int bar) {
  ::vcl::SCROLLINFO si;
  si.fMask = SIF_ALL;
  si.nMin = si.nMax = si.nPos = -7;
  Range r;
  r.InfoOk = GetScrollInfo(h, bar, &si);
  int mn = -7, mx = -7;
  EXPECT_TRUE(GetScrollRange(h, bar, &mn, &mx));
  if (r.InfoOk) {
    EXPECT_EQ(si.nMin, mn);
    EXPECT_EQ(si.nMax, mx);
  }
  r.Min = mn;
  r.Max = mx;
  r.Pos = GetScrollPos(h, bar);
  return r;
}

void ExpectRange(const Range& got, const Range& want) {
  EXPECT_EQ(got.InfoOk, want.InfoOk);
  EXPECT_EQ(got.Min, want.Min);
  EXPECT_EQ(got.Max, want.Max);
  EXPECT_EQ(got.Pos, want.Pos);
}

}  // namespace

TEST_F(ScrollInfo, ABarHasInformationOnlyOnceSetOrCreatedWithIt) {
  struct Case {
    const char* Name;
    DWORD Style;
    std::function<void(HWND)> Do;
    int Bar;
    Range Want;
  };
  const Case cases[] = {
      {"plain window", 0, nullptr, SB_VERT, {false, 0, 0, 0}},
      {"style added later", 0,
       [](HWND h) {
         SetWindowLongW(h, GWL_STYLE, GetWindowLongW(h, GWL_STYLE) | WS_VSCROLL | WS_HSCROLL);
       },
       SB_VERT, {false, 0, 0, 0}},
      {"created with WS_VSCROLL", WS_VSCROLL, nullptr, SB_VERT, {true, 0, 100, 0}},
      {"... but not WS_HSCROLL", WS_VSCROLL, nullptr, SB_HORZ, {false, 0, 0, 0}},
      {"SetScrollRange creates it", 0, [](HWND h) { SetScrollRange(h, SB_HORZ, 0, 50, false); },
       SB_HORZ, {true, 0, 50, 0}},
      {"SetScrollPos creates the default range", 0,
       [](HWND h) { SetScrollPos(h, SB_VERT, 30, false); }, SB_VERT, {true, 0, 100, 30}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    HWND w = MakeWindow(WS_CHILD | WS_VISIBLE | c.Style, TRect(0, 0, 100, 100), Top);
    if (c.Do) c.Do(w);
    ExpectRange(Read(w, c.Bar), c.Want);
    DestroyWindow(w);
  }
}

TEST_F(ScrollInfo, AScrollBarControlStartsWithAnEmptyRange) {
  HWND sb = Bar();
  ASSERT_TRUE(sb);
  ExpectRange(Read(sb, SB_CTL), {true, 0, 0, 0});
  EXPECT_EQ(SetScrollPos(sb, SB_CTL, 30, false), 0);
  EXPECT_EQ(GetScrollPos(sb, SB_CTL), 0);  // nothing to scroll in 0..0
  EXPECT_TRUE(SetScrollRange(sb, SB_CTL, 0, 100, false));
  EXPECT_EQ(SetScrollPos(sb, SB_CTL, 30, false), 0);
  ExpectRange(Read(sb, SB_CTL), {true, 0, 100, 30});
  // SB_CTL on a window that is not a scroll bar.
  HWND plain = MakeWindow(WS_CHILD | WS_VISIBLE, TRect(0, 0, 50, 50), Top);
  ::vcl::SCROLLINFO si;
  si.fMask = SIF_ALL;
  EXPECT_FALSE(GetScrollInfo(plain, SB_CTL, &si));
  EXPECT_EQ(GetScrollPos(plain, SB_CTL), 0);
}

TEST_F(ScrollInfo, EnableScrollBarOnAControlSwitchesItsWindow) {
  HWND sb = Bar();
  SetScrollRange(sb, SB_CTL, 0, 100, false);
  struct Step {
    UINT Arrows;
    BOOL Result;
    bool WindowEnabled;
    bool Unavailable;  // GetScrollBarInfo: the bar as a whole
  };
  const Step steps[] = {
      {ESB_DISABLE_BOTH, true, false, true},
      {ESB_DISABLE_BOTH, true, false, true},  // unchanged, still TRUE
      {ESB_ENABLE_BOTH, true, true, false},
      {ESB_DISABLE_LTUP, true, true, false},  // one arrow: the window stays enabled
      {ESB_ENABLE_BOTH, true, true, false},
  };
  for (const Step& s : steps) {
    SCOPED_TRACE(s.Arrows);
    EXPECT_EQ(EnableScrollBar(sb, SB_CTL, s.Arrows), s.Result);
    EXPECT_EQ(IsWindowEnabled(sb) != 0, s.WindowEnabled);
    SCROLLBARINFO sbi;
    ASSERT_TRUE(GetScrollBarInfo(sb, OBJID_CLIENT, &sbi));
    EXPECT_EQ((sbi.rgstate[0] & STATE_SYSTEM_UNAVAILABLE) != 0, s.Unavailable);
  }
  // Only the window changed: the control was disabled with EnableWindow.
  EnableWindow(sb, false);
  EXPECT_TRUE(EnableScrollBar(sb, SB_CTL, ESB_ENABLE_BOTH));
  EXPECT_TRUE(IsWindowEnabled(sb));
  // Not a scroll bar.
  HWND plain = MakeWindow(WS_CHILD | WS_VISIBLE, TRect(0, 0, 50, 50), Top);
  SetLastError(0);
  EXPECT_FALSE(EnableScrollBar(plain, SB_CTL, ESB_DISABLE_BOTH));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
  EXPECT_TRUE(IsWindowEnabled(plain));
}

TEST_F(ScrollInfo, DisableNoScrollDisablesTheControlUntilTheRangeScrollsAgain) {
  HWND sb = Bar();
  struct Step {
    UINT Mask;
    int Min, Max;
    UINT Page;
    bool WindowEnabled;
  };
  const Step steps[] = {
      {SIF_RANGE | SIF_PAGE, 0, 10, 5, true},
      {SIF_PAGE, 0, 10, 20, true},                          // no longer scrolls, not asked to disable
      {SIF_PAGE | SIF_DISABLENOSCROLL, 0, 10, 20, false},   // asked to: disabled
      {SIF_PAGE, 0, 10, 5, false},                          // the page alone does not re-enable
      {SIF_RANGE, 0, 100, 5, true},                         // a range that scrolls does
  };
  for (const Step& s : steps) {
    SCOPED_TRACE(s.Mask);
    ::vcl::SCROLLINFO si;
    si.fMask = s.Mask;
    si.nMin = s.Min;
    si.nMax = s.Max;
    si.nPage = s.Page;
    SetScrollInfo(sb, SB_CTL, &si, true);
    EXPECT_EQ(IsWindowEnabled(sb) != 0, s.WindowEnabled);
  }
  // A window's own bar with SIF_DISABLENOSCROLL stays shown, disabled.
  HWND w = MakeWindow(WS_CHILD | WS_VISIBLE, TRect(0, 0, 100, 100), Top);
  ::vcl::SCROLLINFO si;
  si.fMask = SIF_RANGE | SIF_PAGE | SIF_DISABLENOSCROLL;
  si.nMin = 0;
  si.nMax = 9;
  si.nPage = 10;
  SetScrollInfo(w, SB_VERT, &si, true);
  SCROLLBARINFO sbi;
  ASSERT_TRUE(GetScrollBarInfo(w, OBJID_VSCROLL, &sbi));
  EXPECT_FALSE(sbi.rgstate[0] & STATE_SYSTEM_INVISIBLE);
  EXPECT_TRUE(sbi.rgstate[0] & STATE_SYSTEM_UNAVAILABLE);
}

namespace {

WNDPROC gBarProc = nullptr;
std::vector<UINT>* gSeen = nullptr;

LRESULT CALLBACK_Subclass(HWND h, UINT m, WPARAM wp, LPARAM lp) {
  if (gSeen && ((m >= SBM_SETPOS && m <= SBM_GETSCROLLBARINFO) || m == WM_PAINT)) gSeen->push_back(m);
  return CallWindowProcW(gBarProc, h, m, wp, lp);
}

}  // namespace

TEST_F(ScrollInfo, TheApiReachesAControlThroughItsMessages) {
  HWND sb = Bar();
  Pump();
  gBarProc = LongToProc(SetWindowLongPtrW(sb, GWLP_WNDPROC, ProcToLong(CALLBACK_Subclass)));
  std::vector<UINT> seen;
  gSeen = &seen;
  struct Call {
    const char* Name;
    std::function<void()> Do;
    UINT Msg;
  };
  ::vcl::SCROLLINFO si;
  si.fMask = SIF_ALL;
  si.nMin = 0;
  si.nMax = 50;
  si.nPage = 10;
  si.nPos = 3;
  SCROLLBARINFO sbi;
  int mn, mx;
  const Call calls[] = {
      {"SetScrollInfo", [&] { SetScrollInfo(sb, SB_CTL, &si, false); }, SBM_SETSCROLLINFO},
      {"GetScrollInfo", [&] { GetScrollInfo(sb, SB_CTL, &si); }, SBM_GETSCROLLINFO},
      {"SetScrollPos", [&] { SetScrollPos(sb, SB_CTL, 7, false); }, SBM_SETPOS},
      {"GetScrollPos", [&] { GetScrollPos(sb, SB_CTL); }, SBM_GETPOS},
      {"SetScrollRange", [&] { SetScrollRange(sb, SB_CTL, 0, 60, false); }, SBM_SETRANGE},
      {"SetScrollRange redraw", [&] { SetScrollRange(sb, SB_CTL, 0, 60, true); }, SBM_SETRANGEREDRAW},
      {"GetScrollRange", [&] { GetScrollRange(sb, SB_CTL, &mn, &mx); }, SBM_GETRANGE},
      {"EnableScrollBar", [&] { EnableScrollBar(sb, SB_CTL, ESB_ENABLE_BOTH); }, SBM_ENABLE_ARROWS},
      {"GetScrollBarInfo", [&] { GetScrollBarInfo(sb, OBJID_CLIENT, &sbi); }, SBM_GETSCROLLBARINFO},
  };
  for (const Call& c : calls) {
    SCOPED_TRACE(c.Name);
    seen.clear();
    c.Do();
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(seen.front(), c.Msg);
  }
  EXPECT_EQ(GetScrollPos(sb, SB_CTL), 7);
  // Without the redraw flag a new position paints nothing; with it, the bar repaints.
  Pump();
  seen.clear();
  SetScrollPos(sb, SB_CTL, 9, false);
  Pump();
  EXPECT_EQ(std::count(seen.begin(), seen.end(), WM_PAINT), 0);
  SetScrollPos(sb, SB_CTL, 11, true);
  Pump();
  EXPECT_EQ(std::count(seen.begin(), seen.end(), WM_PAINT), 1);
  gSeen = nullptr;
}

namespace {

WNDPROC gForwardTo = nullptr;
LRESULT CALLBACK_Forward(HWND h, UINT m, WPARAM wp, LPARAM lp) {
  return CallWindowProcW(gForwardTo, h, m, wp, lp);
}

}  // namespace

TEST_F(ScrollInfo, AClassForwardingToTheScrollBarProcedureIsAScrollBar) {
  WNDCLASSEXW sys;
  ASSERT_TRUE(GetClassInfoExW(nullptr, u"SCROLLBAR", &sys));
  gForwardTo = sys.lpfnWndProc;
  WNDCLASSEXW wc;
  wc.lpfnWndProc = CALLBACK_Forward;
  wc.lpszClassName = u"ConformanceOwnBar";
  static bool registered = RegisterClassExW(&wc) != 0;
  ASSERT_TRUE(registered);
  HWND sb = Bar(WS_CHILD | WS_VISIBLE | SBS_VERT, u"ConformanceOwnBar");
  ASSERT_TRUE(sb);
  EXPECT_TRUE(SetScrollRange(sb, SB_CTL, 0, 20, false));
  SetScrollPos(sb, SB_CTL, 12, false);
  ExpectRange(Read(sb, SB_CTL), {true, 0, 20, 12});
  EXPECT_TRUE(EnableScrollBar(sb, SB_CTL, ESB_DISABLE_BOTH));
  EXPECT_FALSE(IsWindowEnabled(sb));
}

TEST_F(ScrollInfo, AVisibleControlReportsItsOwnVisibility) {
  HWND hidden = MakeWindow(WS_POPUP, TRect(0, 0, 100, 100));
  HWND sb = CreateWindowExW(0, u"SCROLLBAR", nullptr, WS_CHILD | WS_VISIBLE | SBS_HORZ, 0, 0, 80,
                            17, hidden, ChildId(1), nullptr, nullptr);
  SCROLLBARINFO sbi;
  ASSERT_TRUE(GetScrollBarInfo(sb, OBJID_CLIENT, &sbi));
  EXPECT_FALSE(sbi.rgstate[0] & STATE_SYSTEM_INVISIBLE);
  ShowWindow(sb, SW_HIDE);
  ASSERT_TRUE(GetScrollBarInfo(sb, OBJID_CLIENT, &sbi));
  EXPECT_TRUE(sbi.rgstate[0] & STATE_SYSTEM_INVISIBLE);
}
