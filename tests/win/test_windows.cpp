// Windows and classes: creation and destruction message order, styles and window longs,
// the tree and z-order, subclassing chains, properties, text, re-entrant sending.
#include "tests/win/WinTestUtil.h"

using namespace vcl;
using namespace vcl::wintest;

namespace {

class Windows : public WinTest {};

std::vector<UINT> Lifecycle(HWND h) {
  return Msgs(h, {WM_NCCREATE, WM_NCCALCSIZE, WM_CREATE, WM_SIZE, WM_MOVE, WM_SHOWWINDOW,
                  WM_WINDOWPOSCHANGING, WM_WINDOWPOSCHANGED, WM_DESTROY, WM_NCDESTROY,
                  WM_PARENTNOTIFY});
}

}  // namespace

TEST_F(Windows, CreationSendsNcCreateCalcSizeCreateSizeMoveThenShows) {
  HWND top = MakeWindow(WS_OVERLAPPEDWINDOW, TRect(100, 100, 500, 400));
  ASSERT_TRUE(IsWindow(top));
  EXPECT_EQ(Lifecycle(top),
            (std::vector<UINT>{WM_NCCREATE, WM_NCCALCSIZE, WM_CREATE, WM_SIZE, WM_MOVE}));
  Log().clear();
  HWND child = MakeWindow(WS_CHILD | WS_VISIBLE, TRect(10, 20, 110, 70), top, 0, nullptr, nullptr, 7);
  EXPECT_EQ(Lifecycle(child),
            (std::vector<UINT>{WM_NCCREATE, WM_NCCALCSIZE, WM_CREATE, WM_SIZE, WM_MOVE,
                               WM_SHOWWINDOW, WM_WINDOWPOSCHANGING, WM_WINDOWPOSCHANGED}));
  // The parent hears of the child's creation with its id.
  auto pn = std::find_if(Log().begin(), Log().end(),
                         [&](const Logged& l) { return l.Hwnd == top && l.Msg == WM_PARENTNOTIFY; });
  ASSERT_NE(pn, Log().end());
  EXPECT_EQ(LOWORD(pn->WParam), WM_CREATE);
  EXPECT_EQ(HIWORD(pn->WParam), 7);
  EXPECT_EQ(reinterpret_cast<HWND>(pn->LParam), child);
  // WM_SIZE carries the client size, WM_MOVE the client origin in parent coordinates.
  auto sz = std::find_if(Log().begin(), Log().end(),
                         [&](const Logged& l) { return l.Hwnd == child && l.Msg == WM_SIZE; });
  EXPECT_EQ(LOWORD(std::uintptr_t(sz->LParam)), 100);
  EXPECT_EQ(HIWORD(std::uintptr_t(sz->LParam)), 50);
  EXPECT_EQ(GetDlgItem(top, 7), child);
  EXPECT_EQ(GetDlgCtrlID(child), 7);
}

TEST_F(Windows, DestructionSendsDestroyParentFirstAndNcDestroyChildrenFirst) {
  HWND top = MakeWindow(WS_OVERLAPPEDWINDOW | WS_VISIBLE, TRect(0, 0, 300, 300));
  HWND a = MakeWindow(WS_CHILD | WS_VISIBLE, TRect(0, 0, 50, 50), top);
  HWND b = MakeWindow(WS_CHILD | WS_VISIBLE, TRect(0, 0, 20, 20), a);
  HWND owned = MakeWindow(WS_POPUP, TRect(0, 0, 20, 20), a);  // owner becomes the top-level
  EXPECT_EQ(GetWindow(owned, GW_OWNER), top);
  Log().clear();
  ASSERT_TRUE(DestroyWindow(top));
  std::vector<std::pair<HWND, UINT>> order;
  for (const Logged& l : Log())
    if (l.Msg == WM_DESTROY || l.Msg == WM_NCDESTROY) order.push_back({l.Hwnd, l.Msg});
  std::vector<std::pair<HWND, UINT>> want = {
      {owned, WM_DESTROY}, {owned, WM_NCDESTROY},  // owned windows go first
      {top, WM_DESTROY},   {a, WM_DESTROY},        {b, WM_DESTROY},
      {b, WM_NCDESTROY},   {a, WM_NCDESTROY},      {top, WM_NCDESTROY}};
  EXPECT_EQ(order, want);
  EXPECT_FALSE(IsWindow(top));
  EXPECT_FALSE(IsWindow(a));
  EXPECT_FALSE(IsWindow(b));
  EXPECT_FALSE(IsWindow(owned));
  EXPECT_FALSE(DestroyWindow(top));  // a stale handle is refused, not dereferenced
}

TEST_F(Windows, FailedCreationCleansUp) {
  HWND made = nullptr;
  HWND h = MakeWindow(WS_POPUP, TRect(0, 0, 10, 10), nullptr, 0,
                      [&](HWND hw, UINT m, WPARAM, LPARAM, LRESULT& r) {
                        made = hw;
                        if (m == WM_CREATE) {
                          r = -1;
                          return true;
                        }
                        return false;
                      });
  EXPECT_EQ(h, nullptr);
  EXPECT_FALSE(IsWindow(made));
  EXPECT_EQ(Msgs(made, {WM_CREATE, WM_DESTROY, WM_NCDESTROY}),
            (std::vector<UINT>{WM_CREATE, WM_DESTROY, WM_NCDESTROY}));
  Log().clear();
  h = MakeWindow(WS_POPUP, TRect(0, 0, 10, 10), nullptr, 0,
                 [&](HWND hw, UINT m, WPARAM, LPARAM, LRESULT& r) {
                   made = hw;
                   if (m == WM_NCCREATE) {
                     r = 0;
                     return true;
                   }
                   return false;
                 });
  EXPECT_EQ(h, nullptr);
  EXPECT_EQ(Msgs(made, {WM_NCCREATE, WM_CREATE, WM_DESTROY, WM_NCDESTROY}),
            (std::vector<UINT>{WM_NCCREATE, WM_NCDESTROY}));
  // Unknown classes and child windows without a parent fail without side effects.
  EXPECT_EQ(CreateWindowExW(0, u"NoSuchClass", nullptr, WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                            nullptr, nullptr),
            nullptr);
  EXPECT_EQ(MakeWindow(WS_CHILD, TRect(0, 0, 1, 1), nullptr), nullptr);
}

TEST_F(Windows, DestroyWindowInsideItsOwnHandlerIsSafe) {
  HWND top = MakeWindow(WS_POPUP, TRect(0, 0, 100, 100));
  HWND child = MakeWindow(WS_CHILD, TRect(0, 0, 10, 10), top);
  Handlers()[child] = [&](HWND h, UINT m, WPARAM, LPARAM, LRESULT& r) {
    if (m != WM_USER) return false;
    DestroyWindow(top);  // destroys the window whose procedure is running
    r = IsWindow(h) ? 1 : 2;
    return true;
  };
  EXPECT_EQ(SendMessageW(child, WM_USER, 0, 0), 2);
  EXPECT_FALSE(IsWindow(child));
  EXPECT_EQ(SendMessageW(child, WM_USER, 0, 0), 0);
}

TEST_F(Windows, ReentrantSendMessageNestsAndReturnsEachResult) {
  HWND a = MakeWindow(WS_POPUP, TRect(0, 0, 10, 10));
  HWND b = MakeWindow(WS_POPUP, TRect(0, 0, 10, 10));
  std::vector<std::string> trace;
  Handlers()[a] = [&](HWND, UINT m, WPARAM wp, LPARAM, LRESULT& r) {
    if (m != WM_USER) return false;
    trace.push_back("a" + std::to_string(wp));
    r = wp == 0 ? SendMessageW(b, WM_USER, 1, 0) + 100 : LRESULT(wp);
    trace.push_back("/a" + std::to_string(wp));
    return true;
  };
  Handlers()[b] = [&](HWND, UINT m, WPARAM wp, LPARAM, LRESULT& r) {
    if (m != WM_USER) return false;
    trace.push_back("b" + std::to_string(wp));
    r = SendMessageW(a, WM_USER, wp + 1, 0) * 10;  // back into a, which is still running
    trace.push_back("/b" + std::to_string(wp));
    return true;
  };
  EXPECT_EQ(SendMessageW(a, WM_USER, 0, 0), 2 * 10 + 100);
  EXPECT_EQ(trace, (std::vector<std::string>{"a0", "b1", "a2", "/a2", "/b1", "/a0"}));
}

namespace {
std::vector<std::string> gChain;
WNDPROC gPrevA = nullptr;
LRESULT SubA(HWND h, UINT m, WPARAM wp, LPARAM lp) {
  if (m == WM_USER) gChain.push_back("A");
  return CallWindowProcW(gPrevA, h, m, wp, lp);
}
}  // namespace

TEST_F(Windows, SubclassingChainsCallNewestFirstAndUnwind) {
  HWND h = MakeWindow(WS_POPUP, TRect(0, 0, 10, 10));
  WNDPROC classProc = LongToProc(GetWindowLongPtrW(h, GWLP_WNDPROC));
  gChain.clear();
  gPrevA = LongToProc(SetWindowLongPtrW(h, GWLP_WNDPROC, ProcToLong(SubA)));
  EXPECT_EQ(gPrevA, classProc);
  WNDPROC prevB = nullptr;
  WNDPROC instB = MakeWndProcInstance([&](HWND hw, UINT m, WPARAM wp, LPARAM lp) -> LRESULT {
    if (m == WM_USER) gChain.push_back("B");
    return CallWindowProcW(prevB, hw, m, wp, lp);
  });
  prevB = LongToProc(SetWindowLongPtrW(h, GWLP_WNDPROC, ProcToLong(instB)));
  EXPECT_EQ(prevB, SubA);
  EXPECT_EQ(LongToProc(GetWindowLongPtrW(h, GWLP_WNDPROC)), instB);
  Log().clear();
  SendMessageW(h, WM_USER, 0, 0);
  EXPECT_EQ(gChain, (std::vector<std::string>{"B", "A"}));
  EXPECT_EQ(Count(h, WM_USER), 1);  // the class procedure ran last, once
  // Unwinding restores the previous procedures.
  SetWindowLongPtrW(h, GWLP_WNDPROC, ProcToLong(prevB));
  gChain.clear();
  SendMessageW(h, WM_USER, 0, 0);
  EXPECT_EQ(gChain, (std::vector<std::string>{"A"}));
  // Freeing an instance that is still installed must not leave a dangling procedure.
  SetWindowLongPtrW(h, GWLP_WNDPROC, ProcToLong(instB));
  FreeWndProcInstance(instB);
  EXPECT_EQ(SendMessageW(h, WM_GETTEXTLENGTH, 0, 0), 4);
}

TEST_F(Windows, StylesPropertiesTextAndExtraBytes) {
  HWND h = MakeWindow(WS_POPUP | WS_BORDER, TRect(0, 0, 50, 50));
  Log().clear();
  LONG_PTR old = SetWindowLongPtrW(h, GWL_STYLE, LONG_PTR(WS_POPUP | WS_BORDER | WS_VSCROLL));
  EXPECT_EQ(DWORD(old) & WS_VSCROLL, 0u);
  EXPECT_NE(DWORD(GetWindowLongPtrW(h, GWL_STYLE)) & WS_VSCROLL, 0u);
  EXPECT_EQ(Msgs(h), (std::vector<UINT>{WM_STYLECHANGING, WM_STYLECHANGED}));
  // WM_STYLECHANGING may amend the new style.
  Handlers()[h] = [](HWND, UINT m, WPARAM, LPARAM lp, LRESULT&) {
    if (m == WM_STYLECHANGING) reinterpret_cast<STYLESTRUCT*>(lp)->styleNew |= WS_HSCROLL;
    return false;
  };
  SetWindowLongPtrW(h, GWL_STYLE, LONG_PTR(WS_POPUP));
  EXPECT_EQ(DWORD(GetWindowLongPtrW(h, GWL_STYLE)), WS_POPUP | WS_HSCROLL | WS_CLIPSIBLINGS);  // top-level: always clipping
  // Topmost status is not changed through the extended style.
  SetWindowLongPtrW(h, GWL_EXSTYLE, LONG_PTR(WS_EX_TOPMOST));
  EXPECT_EQ(DWORD(GetWindowLongPtrW(h, GWL_EXSTYLE)) & WS_EX_TOPMOST, 0u);

  SetWindowLongPtrW(h, GWLP_USERDATA, 1234);
  EXPECT_EQ(GetWindowLongPtrW(h, GWLP_USERDATA), 1234);
  SetWindowLongPtrW(h, 8, 77);  // extra bytes of the class (16)
  EXPECT_EQ(GetWindowLongPtrW(h, 8), 77);
  EXPECT_EQ(SetWindowLongPtrW(h, 12, 5), 0);  // past the end: refused
  EXPECT_EQ(GetWindowLongPtrW(h, 12), 0);

  int token = 5;
  EXPECT_TRUE(SetPropW(h, u"Token", &token));
  EXPECT_EQ(GetPropW(h, u"TOKEN"), &token);  // names compare case-insensitively
  EXPECT_EQ(RemovePropW(h, u"token"), &token);
  EXPECT_EQ(GetPropW(h, u"Token"), nullptr);

  EXPECT_TRUE(SetWindowTextW(h, u"Hello"));
  EXPECT_EQ(GetWindowTextLengthW(h), 5);
  Char buf[4];
  EXPECT_EQ(GetWindowTextW(h, buf, 4), 3);  // truncated and terminated
  EXPECT_EQ(String(buf), u"Hel");
  EXPECT_EQ(GetWindowText(h), u"Hello");
  EXPECT_EQ(GetClassName(h), u"WinTest");
  EXPECT_EQ(FindWindowW(u"wintest", u"hello"), h);
}

TEST_F(Windows, TreeZOrderOwnersAndReparenting) {
  HWND top = MakeWindow(WS_POPUP | WS_VISIBLE, TRect(0, 0, 200, 200));
  HWND c1 = MakeWindow(WS_CHILD | WS_VISIBLE, TRect(0, 0, 10, 10), top);
  HWND c2 = MakeWindow(WS_CHILD | WS_VISIBLE, TRect(0, 0, 10, 10), top);
  HWND c3 = MakeWindow(WS_CHILD | WS_VISIBLE, TRect(0, 0, 10, 10), top);
  // Children are added at the bottom: creation order is the z-order from the top.
  EXPECT_EQ(GetWindow(top, GW_CHILD), c1);
  EXPECT_EQ(GetWindow(c1, GW_HWNDNEXT), c2);
  EXPECT_EQ(GetWindow(c3, GW_HWNDPREV), c2);
  EXPECT_EQ(GetWindow(c1, GW_HWNDLAST), c3);
  SetWindowPos(c3, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  EXPECT_EQ(GetWindow(top, GW_CHILD), c3);
  SetWindowPos(c3, c2, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);  // just below c2
  EXPECT_EQ(GetWindow(c2, GW_HWNDNEXT), c3);
  SetWindowPos(c1, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  EXPECT_EQ(GetWindow(c1, GW_HWNDNEXT), nullptr);
  EXPECT_EQ(GetParent(c1), top);
  EXPECT_TRUE(IsChild(top, c1));
  EXPECT_EQ(GetAncestor(c1, GA_ROOT), top);

  // Owned pop-ups stay above their owner; topmost windows above all others.
  HWND owned = MakeWindow(WS_POPUP | WS_VISIBLE, TRect(0, 0, 10, 10), top, WS_EX_NOACTIVATE);
  HWND other = MakeWindow(WS_POPUP | WS_VISIBLE, TRect(0, 0, 10, 10));
  HWND topmost = MakeWindow(WS_POPUP | WS_VISIBLE, TRect(0, 0, 10, 10), nullptr, WS_EX_TOPMOST);
  EXPECT_EQ(GetParent(owned), top);  // a pop-up's "parent" is its owner
  SetWindowPos(top, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  EXPECT_EQ(GetWindow(top, GW_HWNDPREV), owned);
  EXPECT_EQ(GetWindow(owned, GW_HWNDPREV), topmost);
  EXPECT_EQ(GetTopWindow(nullptr), topmost);
  (void)other;

  // Reparenting keeps the coordinates, relative to the new parent.
  HWND other2 = MakeWindow(WS_POPUP | WS_VISIBLE, TRect(300, 300, 400, 400));
  MoveWindow(c2, 5, 6, 10, 10, true);
  EXPECT_EQ(SetParent(c2, other2), top);
  TRect r;
  GetWindowRect(c2, &r);
  EXPECT_EQ(r, TRect(305, 306, 315, 316));
  EXPECT_EQ(GetParent(c2), other2);
  EXPECT_EQ(SetParent(other2, c2), nullptr);  // a window cannot go below its own child
}

TEST_F(Windows, EnableWindowSendsMessagesAndDropsFocus) {
  HWND top = MakeWindow(WS_POPUP | WS_VISIBLE, TRect(0, 0, 100, 100));
  HWND c = MakeWindow(WS_CHILD | WS_VISIBLE, TRect(0, 0, 10, 10), top);
  SetFocus(c);
  EXPECT_EQ(GetFocus(), c);
  Log().clear();
  EXPECT_FALSE(EnableWindow(c, false));  // was enabled
  EXPECT_FALSE(IsWindowEnabled(c));
  EXPECT_EQ(GetFocus(), nullptr);
  EXPECT_EQ(Msgs(c, {WM_CANCELMODE, WM_KILLFOCUS, WM_ENABLE}),
            (std::vector<UINT>{WM_CANCELMODE, WM_KILLFOCUS, WM_ENABLE}));
  EXPECT_EQ(SetFocus(c), nullptr);  // a disabled window cannot take the focus
  EXPECT_TRUE(EnableWindow(c, true));
  EXPECT_TRUE(IsWindowEnabled(c));
}

TEST_F(Windows, TopmostBandThroughSetWindowPos) {
  HWND a = MakeWindow(WS_POPUP | WS_VISIBLE, TRect(0, 0, 10, 10));
  HWND owned = MakeWindow(WS_POPUP | WS_VISIBLE, TRect(0, 0, 10, 10), a, WS_EX_NOACTIVATE);
  HWND b = MakeWindow(WS_POPUP | WS_VISIBLE, TRect(0, 0, 10, 10));
  ASSERT_EQ(GetTopWindow(nullptr), b);
  SetWindowPos(a, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  EXPECT_NE(DWORD(GetWindowLongW(a, GWL_EXSTYLE)) & WS_EX_TOPMOST, 0u);
  EXPECT_NE(DWORD(GetWindowLongW(owned, GWL_EXSTYLE)) & WS_EX_TOPMOST, 0u);  // owned windows follow
  EXPECT_EQ(GetTopWindow(nullptr), owned);
  EXPECT_EQ(GetWindow(owned, GW_HWNDNEXT), a);
  // An ordinary window raised to the top stays below the topmost band.
  SetWindowPos(b, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  EXPECT_EQ(GetWindow(a, GW_HWNDNEXT), b);
  SetWindowPos(a, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  EXPECT_EQ(DWORD(GetWindowLongW(a, GWL_EXSTYLE)) & WS_EX_TOPMOST, 0u);
  EXPECT_EQ(DWORD(GetWindowLongW(owned, GWL_EXSTYLE)) & WS_EX_TOPMOST, 0u);
}
