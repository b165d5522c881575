// The queue: posting order and filters, WM_QUIT, WM_PAINT and WM_TIMER only when nothing else
// waits, timers on the backend clock, hooks on sent and retrieved messages and on creation and
// destruction.
#include "tests/win/WinTestUtil.h"

using namespace vcl;
using namespace vcl::wintest;

namespace {

class Messages : public WinTest {};

std::vector<UINT> Drain(HWND filter = nullptr, UINT min = 0, UINT max = 0) {
  std::vector<UINT> got;
  MSG m;
  while (PeekMessageW(&m, filter, min, max, PM_REMOVE)) {
    got.push_back(m.message);
    if (m.message == WM_PAINT) ValidateRect(m.hwnd, nullptr);
    if (got.size() > 100) break;
  }
  return got;
}

}  // namespace

TEST_F(Messages, PostedMessagesKeepOrderAndFiltersSelectSome) {
  HWND a = MakeWindow(WS_POPUP, TRect(0, 0, 10, 10));
  HWND b = MakeWindow(WS_CHILD, TRect(0, 0, 5, 5), a);
  HWND c = MakeWindow(WS_POPUP, TRect(0, 0, 10, 10));
  PostMessageW(a, WM_USER + 1, 0, 0);
  PostMessageW(c, WM_USER + 2, 0, 0);
  PostMessageW(b, WM_USER + 3, 0, 0);
  PostMessageW(a, WM_USER + 4, 0, 0);
  PostThreadMessageW(0, WM_USER + 5, 0, 0);
  MSG m;
  // PM_NOREMOVE leaves the message in place.
  ASSERT_TRUE(PeekMessageW(&m, nullptr, 0, 0, PM_NOREMOVE));
  EXPECT_EQ(m.message, WM_USER + 1u);
  // A window filter takes that window and its descendants.
  EXPECT_EQ(Drain(a), (std::vector<UINT>{WM_USER + 1, WM_USER + 3, WM_USER + 4}));
  // A range filter; (HWND)-1 selects thread messages.
  EXPECT_EQ(Drain(reinterpret_cast<HWND>(-1)), (std::vector<UINT>{WM_USER + 5}));
  EXPECT_EQ(Drain(nullptr, WM_USER + 2, WM_USER + 2), (std::vector<UINT>{WM_USER + 2}));
  EXPECT_FALSE(PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE));
  EXPECT_FALSE(PostMessageW(reinterpret_cast<HWND>(0x1234), WM_USER, 0, 0));
}

TEST_F(Messages, QuitComesAfterPostedMessagesAndEndsGetMessage) {
  HWND a = MakeWindow(WS_POPUP, TRect(0, 0, 10, 10));
  PostQuitMessage(7);
  PostMessageW(a, WM_USER, 0, 0);
  MSG m;
  ASSERT_TRUE(GetMessageW(&m, nullptr, 0, 0));
  EXPECT_EQ(m.message, WM_USER);
  EXPECT_FALSE(GetMessageW(&m, nullptr, 0, 0));
  EXPECT_EQ(m.message, WM_QUIT);
  EXPECT_EQ(m.wParam, 7u);
}

TEST_F(Messages, PaintAndTimerOnlyWhenTheQueueIsOtherwiseEmpty) {
  HWND a = MakeWindow(WS_POPUP | WS_VISIBLE, TRect(0, 0, 50, 50));
  Pump();
  SetTimer(a, 1, 10, nullptr);
  AdvanceClock(20);
  InvalidateRect(a, nullptr, true);
  PostMessageW(a, WM_USER, 0, 0);
  PostMessageW(a, WM_USER + 1, 0, 0);
  EXPECT_EQ(Drain(), (std::vector<UINT>{WM_USER, WM_USER + 1, WM_PAINT, WM_TIMER}));
  // WM_PAINT stays until the window is validated; a timer fires once per interval however
  // late it is collected.
  AdvanceClock(100);
  EXPECT_EQ(Drain(), (std::vector<UINT>{WM_TIMER}));
  KillTimer(a, 1);
}

TEST_F(Messages, TimersFireInDueOrderAndDieWithTheirWindow) {
  HWND a = MakeWindow(WS_POPUP, TRect(0, 0, 10, 10));
  HWND b = MakeWindow(WS_POPUP, TRect(0, 0, 10, 10));
  EXPECT_EQ(SetTimer(a, 5, 300, nullptr), 5u);
  EXPECT_EQ(SetTimer(b, 6, 100, nullptr), 6u);
  EXPECT_EQ(SetTimer(a, 7, 200, nullptr), 7u);
  AdvanceClock(99);
  Pump();
  EXPECT_EQ(Count(a, WM_TIMER) + Count(b, WM_TIMER), 0);
  AdvanceClock(250);  // all three due: delivered earliest first
  Pump();
  std::vector<WPARAM> ids;
  for (const Logged& l : Log())
    if (l.Msg == WM_TIMER) ids.push_back(l.WParam);
  EXPECT_EQ(ids, (std::vector<WPARAM>{6, 7, 5}));
  // Setting an existing timer again restarts it.
  Log().clear();
  AdvanceClock(60);
  SetTimer(b, 6, 100, nullptr);
  AdvanceClock(60);
  Pump();
  EXPECT_EQ(Count(b, WM_TIMER), 0);
  AdvanceClock(40);
  Pump();
  EXPECT_EQ(Count(b, WM_TIMER), 1);
  // Destroying the window kills its timers.
  DestroyWindow(a);
  EXPECT_FALSE(KillTimer(a, 5));
  EXPECT_TRUE(KillTimer(b, 6));
  EXPECT_FALSE(KillTimer(b, 6));
}

namespace {
std::vector<std::pair<HWND, UINT_PTR>> gTicks;
void TimerProc(HWND h, UINT msg, UINT_PTR id, DWORD) {
  if (msg == WM_TIMER) gTicks.push_back({h, id});
}
}  // namespace

TEST_F(Messages, TimerProcsAndThreadTimers) {
  HWND a = MakeWindow(WS_POPUP, TRect(0, 0, 10, 10));
  gTicks.clear();
  SetTimer(a, 3, 50, TimerProc);
  UINT_PTR t = SetTimer(nullptr, 0, 50, TimerProc);
  ASSERT_NE(t, 0u);
  AdvanceClock(50);
  Pump();
  EXPECT_EQ(gTicks.size(), 2u);
  EXPECT_EQ(Count(a, WM_TIMER), 0);  // the procedure took the message
  EXPECT_TRUE(KillTimer(nullptr, t));
  // A forged WM_TIMER naming a procedure that is no timer's is not called.
  gTicks.clear();
  MSG forged{};
  forged.hwnd = a;
  forged.message = WM_TIMER;
  forged.wParam = 99;
  forged.lParam = reinterpret_cast<LPARAM>(&TimerProc);
  DispatchMessageW(&forged);
  EXPECT_TRUE(gTicks.empty());
  KillTimer(a, 3);
}

namespace {
std::vector<UINT> gCallWnd;
std::vector<UINT> gGetMsg;
HHOOK gHookA = nullptr;
LRESULT CallWndHook(int code, WPARAM wp, LPARAM lp) {
  auto* c = reinterpret_cast<CWPSTRUCT*>(lp);
  if (c->message >= WM_USER) gCallWnd.push_back(c->message);
  return CallNextHookEx(gHookA, code, wp, lp);
}
LRESULT GetMsgHook(int code, WPARAM wp, LPARAM lp) {
  auto* m = reinterpret_cast<MSG*>(lp);
  if (wp == PM_REMOVE && m->message == WM_USER + 10) m->message = WM_USER + 11;  // may rewrite
  gGetMsg.push_back(m->message);
  return CallNextHookEx(nullptr, code, wp, lp);
}
}  // namespace

TEST_F(Messages, CallWndProcAndGetMessageHooks) {
  HWND a = MakeWindow(WS_POPUP, TRect(0, 0, 10, 10));
  gCallWnd.clear();
  gGetMsg.clear();
  gHookA = SetWindowsHookExW(WH_CALLWNDPROC, CallWndHook, nullptr, 0);
  HHOOK g = SetWindowsHookExW(WH_GETMESSAGE, GetMsgHook, nullptr, 0);
  SendMessageW(a, WM_USER + 1, 0, 0);
  PostMessageW(a, WM_USER + 10, 0, 0);
  Pump();
  EXPECT_EQ(gCallWnd, (std::vector<UINT>{WM_USER + 1}));  // only sent messages
  EXPECT_EQ(gGetMsg, (std::vector<UINT>{WM_USER + 11}));
  EXPECT_EQ(Count(a, WM_USER + 11), 1);
  EXPECT_TRUE(UnhookWindowsHookEx(gHookA));
  EXPECT_FALSE(UnhookWindowsHookEx(gHookA));
  SendMessageW(a, WM_USER + 2, 0, 0);
  EXPECT_EQ(gCallWnd.size(), 1u);
  UnhookWindowsHookEx(g);
}

namespace {
struct TCbtRecord {
  int Code;
  HWND Hwnd;
  size_t LogSize;  // messages logged before the call
};
std::vector<TCbtRecord> gCbt;
HHOOK gCbtHook = nullptr;
int gRefuseWidth = -1;   // refuse creations of this width
int gResizeWidth = -1;   // make creations of this width 77 wide
WNDPROC gSubclassedOrig = nullptr;
std::vector<UINT> gSubclassSaw;
LRESULT SubclassProc(HWND h, UINT m, WPARAM wp, LPARAM lp) {
  gSubclassSaw.push_back(m);
  return CallWindowProcW(gSubclassedOrig, h, m, wp, lp);
}
LRESULT CbtHook(int code, WPARAM wp, LPARAM lp) {
  HWND h = reinterpret_cast<HWND>(wp);
  gCbt.push_back({code, h, Log().size()});
  if (code == HCBT_CREATEWND) {
    auto* c = reinterpret_cast<CBT_CREATEWNDW*>(lp);
    if (c->lpcs->cx == gRefuseWidth) return 1;
    if (c->lpcs->cx == gResizeWidth) c->lpcs->cx = 77;
    if (c->lpcs->cx == 33) gSubclassedOrig = LongToProc(SetWindowLongPtrW(h, GWLP_WNDPROC, ProcToLong(SubclassProc)));
  }
  return CallNextHookEx(gCbtHook, code, wp, lp);
}
}  // namespace

TEST_F(Messages, CbtHookSeesCreationFirstAndEveryDestroyedWindow) {
  gCbt.clear();
  gSubclassSaw.clear();
  gCbtHook = SetWindowsHookExW(WH_CBT, CbtHook, nullptr, 0);
  ASSERT_NE(gCbtHook, nullptr);

  // Creation: the hook runs before the window's first message, and a procedure it installs
  // sees WM_NCCREATE.
  HWND top = MakeWindow(WS_POPUP, TRect(0, 0, 33, 20));
  ASSERT_NE(top, nullptr);
  ASSERT_EQ(gCbt.size(), 1u);
  EXPECT_EQ(gCbt[0].Code, HCBT_CREATEWND);
  EXPECT_EQ(gCbt[0].Hwnd, top);
  EXPECT_EQ(gCbt[0].LogSize, 0u);
  ASSERT_FALSE(gSubclassSaw.empty());
  EXPECT_EQ(gSubclassSaw.front(), UINT(WM_NCCREATE));
  EXPECT_EQ(Msgs(top).front(), UINT(WM_NCCREATE));

  // The hook may change the size, or refuse the window: then the window is never created.
  gResizeWidth = 40;
  HWND resized = MakeWindow(WS_POPUP, TRect(0, 0, 40, 20));
  gResizeWidth = -1;
  TRect r;
  GetWindowRect(resized, &r);
  EXPECT_EQ(r.Width(), 77);
  gRefuseWidth = 41;
  size_t before = Log().size();
  EXPECT_EQ(MakeWindow(WS_POPUP, TRect(0, 0, 41, 20)), nullptr);
  gRefuseWidth = -1;
  for (size_t i = before; i < Log().size(); ++i) {
    EXPECT_NE(Log()[i].Msg, WM_NCCREATE);
    EXPECT_NE(Log()[i].Msg, WM_CREATE);
  }

  // Destruction: every window of the tree, each before its WM_DESTROY.
  HWND child = MakeWindow(WS_CHILD, TRect(0, 0, 5, 5), top);
  HWND grandchild = MakeWindow(WS_CHILD, TRect(0, 0, 2, 2), child);
  gCbt.clear();
  Log().clear();
  DestroyWindow(top);
  std::vector<HWND> destroyed;
  for (const TCbtRecord& c : gCbt) {
    EXPECT_EQ(c.Code, HCBT_DESTROYWND);
    destroyed.push_back(c.Hwnd);
    // No WM_DESTROY of that window was logged before the hook saw it.
    for (size_t i = 0; i < c.LogSize; ++i)
      EXPECT_FALSE(Log()[i].Hwnd == c.Hwnd && Log()[i].Msg == WM_DESTROY);
  }
  EXPECT_EQ(destroyed, (std::vector<HWND>{top, child, grandchild}));
  EXPECT_TRUE(UnhookWindowsHookEx(gCbtHook));
  gCbt.clear();
  DestroyWindow(resized);
  EXPECT_TRUE(gCbt.empty());
}

TEST_F(Messages, GetMessageWaitsForTheNextTimerOnTheClock) {
  HWND a = MakeWindow(WS_POPUP, TRect(0, 0, 10, 10));
  Pump();
  DWORD start = GetTickCount();
  SetTimer(a, 9, 250, nullptr);
  MSG m;
  // Nothing is queued: waiting lets the (virtual) clock run until the timer is due.
  ASSERT_TRUE(GetMessageW(&m, nullptr, 0, 0));
  EXPECT_EQ(m.message, UINT(WM_TIMER));
  EXPECT_EQ(m.wParam, 9u);
  EXPECT_GE(GetTickCount() - start, 250u);
  EXPECT_LT(GetTickCount() - start, 300u);
  KillTimer(a, 9);
  // With nothing that could ever arrive, the headless loop ends instead of blocking.
  EXPECT_FALSE(WaitMessage());
  EXPECT_FALSE(GetMessageW(&m, nullptr, 0, 0));
  EXPECT_EQ(m.message, UINT(WM_QUIT));
}
