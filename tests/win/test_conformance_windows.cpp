// Parents and owners as Win32 reports them: GetParent, GA_ROOTOWNER and EnumChildWindows.
#include "tests/win/WinTestUtil.h"

using namespace vcl;
using namespace vcl::wintest;

namespace {

class Relations : public WinTest {};

}  // namespace

TEST_F(Relations, GetParentAnswersTheOwnerOfPopupsAndTheParentOfChildren) {
  HWND owner = MakeWindow(WS_OVERLAPPEDWINDOW, TRect(0, 0, 300, 300));
  HWND popup = MakeWindow(WS_POPUP, TRect(0, 0, 100, 100), owner);
  HWND overlapped = MakeWindow(WS_OVERLAPPED | WS_CAPTION, TRect(0, 0, 100, 100), owner);
  HWND child = MakeWindow(WS_CHILD, TRect(0, 0, 10, 10), popup);
  HWND grandChild = MakeWindow(WS_CHILD, TRect(0, 0, 5, 5), child);
  struct Case {
    const char* Name;
    HWND Window;
    HWND Parent;     // GetParent
    HWND RootOwner;  // GetAncestor(GA_ROOTOWNER)
  };
  const Case cases[] = {
      {"unowned top-level", owner, nullptr, owner},
      {"owned pop-up", popup, owner, owner},
      {"owned overlapped window: no parent", overlapped, nullptr, overlapped},
      {"child", child, popup, owner},
      {"grandchild", grandChild, child, owner},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    EXPECT_EQ(GetParent(c.Window), c.Parent);
    EXPECT_EQ(GetAncestor(c.Window, GA_ROOTOWNER), c.RootOwner);
  }
  // GWLP_HWNDPARENT: the parent unless it is the desktop, else the owner.
  EXPECT_EQ(HWND(GetWindowLongPtrW(child, GWLP_HWNDPARENT)), popup);
  EXPECT_EQ(HWND(GetWindowLongPtrW(overlapped, GWLP_HWNDPARENT)), owner);
  EXPECT_EQ(HWND(GetWindowLongPtrW(owner, GWLP_HWNDPARENT)), nullptr);
  EXPECT_EQ(GetWindow(overlapped, GW_OWNER), owner);  // still owned
}

TEST_F(Relations, EnumChildWindowsWithoutChildrenAnswersFalse) {
  HWND top = MakeWindow(WS_POPUP, TRect(0, 0, 100, 100));
  auto count = [](HWND, LPARAM lp) {
    ++*reinterpret_cast<int*>(lp);
    return BOOL(true);
  };
  int n = 0;
  EXPECT_FALSE(EnumChildWindows(top, count, reinterpret_cast<LPARAM>(&n)));
  EXPECT_EQ(n, 0);
  HWND kid = MakeWindow(WS_CHILD, TRect(0, 0, 10, 10), top);
  MakeWindow(WS_CHILD, TRect(0, 0, 5, 5), kid);
  EXPECT_TRUE(EnumChildWindows(top, count, reinterpret_cast<LPARAM>(&n)));
  EXPECT_EQ(n, 2);  // the whole tree
}

TEST_F(Relations, StylesAreAdjustedAsAtCreationAndCreateStructKeepsTheCallers) {
  struct Case {
    const char* Name;
    DWORD Style, ExStyle;
    bool WindowEdge;
  };
  const Case cases[] = {
      {"sizing border", WS_POPUP | WS_THICKFRAME, 0, true},
      {"dialog frame", WS_POPUP | WS_DLGFRAME, 0, true},
      {"static edge wins over the border", WS_POPUP | WS_THICKFRAME, WS_EX_STATICEDGE, false},
      {"modal frame", WS_POPUP, WS_EX_DLGMODALFRAME, true},
      {"modal frame with a static edge", WS_POPUP, WS_EX_DLGMODALFRAME | WS_EX_STATICEDGE, true},
      {"asked for, not deserved", WS_POPUP, WS_EX_WINDOWEDGE, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    DWORD seenStyle = 0;
    HWND w = MakeWindow(c.Style, TRect(0, 0, 100, 100), nullptr, c.ExStyle,
                        [&](HWND, UINT m, WPARAM, LPARAM lp, LRESULT&) {
                          if (m == WM_CREATE)
                            seenStyle = DWORD(reinterpret_cast<CREATESTRUCTW*>(lp)->style);
                          return false;
                        });
    ASSERT_TRUE(w);
    EXPECT_EQ(seenStyle, c.Style);  // without the WS_CLIPSIBLINGS the window got
    EXPECT_NE(DWORD(GetWindowLongW(w, GWL_STYLE)) & WS_CLIPSIBLINGS, 0u);
    auto edge = [&] { return (DWORD(GetWindowLongW(w, GWL_EXSTYLE)) & WS_EX_WINDOWEDGE) != 0; };
    EXPECT_EQ(edge(), c.WindowEdge);
    // Setting the extended style again applies the same rule.
    SetWindowLongW(w, GWL_EXSTYLE, LONG(c.ExStyle ^ WS_EX_WINDOWEDGE));
    EXPECT_EQ(edge(), c.WindowEdge);
    // A top-level window keeps WS_CLIPSIBLINGS.
    SetWindowLongW(w, GWL_STYLE, LONG(c.Style & ~WS_CLIPSIBLINGS));
    EXPECT_NE(DWORD(GetWindowLongW(w, GWL_STYLE)) & WS_CLIPSIBLINGS, 0u);
    DestroyWindow(w);
  }
  HWND desktop = GetDesktopWindow();
  LONG before = GetWindowLongW(desktop, GWL_STYLE);
  SetWindowLongW(desktop, GWL_STYLE, before ^ LONG(WS_DISABLED));
  EXPECT_EQ(GetWindowLongW(desktop, GWL_STYLE), before);
}

TEST_F(Relations, SystemCommandsToADisabledWindowAreIgnored) {
  HWND w = MakeWindow(WS_OVERLAPPEDWINDOW | WS_VISIBLE, TRect(0, 0, 300, 200));
  EnableWindow(w, false);
  struct Case {
    WPARAM Command;
    bool Alive;
    bool Minimized;
  };
  const Case cases[] = {{SC_CLOSE, true, false}, {SC_MINIMIZE, true, false}};
  for (const Case& c : cases) {
    DefWindowProcW(w, WM_SYSCOMMAND, c.Command, 0);
    EXPECT_EQ(IsWindow(w) != 0, c.Alive);
    EXPECT_EQ(IsIconic(w) != 0, c.Minimized);
  }
  EnableWindow(w, true);
  DefWindowProcW(w, WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_FALSE(IsWindow(w));  // enabled again, it closes
}
