// Window menus: SetMenu/GetMenu and the frame, GetMenuBarInfo, HiliteMenuItem, the system menu
// and menus loaded from in-memory templates.
#include <cstdint>
#include <vector>

#include "host/win/ctl/Menus.h"
#include "tests/win/WinTestUtil.h"

using namespace vcl;
using namespace vcl::wintest;

namespace {

class WindowMenus : public WinTest {};

TRect Client(HWND h) {
  TRect r;
  GetClientRect(h, &r);
  return r;
}

}  // namespace

TEST_F(WindowMenus, SetMenuTakesALineOfTheFrame) {
  HWND top = MakeWindow(WS_OVERLAPPEDWINDOW | WS_VISIBLE, TRect(100, 100, 500, 400));
  HWND child = MakeWindow(WS_CHILD | WS_VISIBLE, TRect(0, 0, 50, 50), top);
  HMENU bar = CreateMenu();
  AppendMenuW(bar, MF_STRING, 1, u"&File");
  const int before = Client(top).Height();
  struct Case {
    const char* Name;
    HWND Window;
    HMENU Menu;
    BOOL Result;
    HMENU After;
    int ClientHeight;
  };
  const int cyMenu = GetSystemMetrics(SM_CYMENU);
  const Case cases[] = {
      {"set", top, bar, true, bar, before - cyMenu},
      {"set again", top, bar, true, bar, before - cyMenu},
      {"not a menu", top, reinterpret_cast<HMENU>(std::uintptr_t(0x4321)), false, bar, before - cyMenu},
      {"removed", top, nullptr, true, nullptr, before},
      {"a child has none", child, bar, false, nullptr, 50},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    EXPECT_EQ(SetMenu(c.Window, c.Menu), c.Result);
    EXPECT_EQ(GetMenu(c.Window), c.After);
    EXPECT_EQ(Client(c.Window).Height(), c.ClientHeight);
  }

  // The bar lies between the caption and the client area.
  SetMenu(top, bar);
  MENUBARINFO mbi;
  ASSERT_TRUE(GetMenuBarInfo(top, OBJID_MENU, 0, &mbi));
  EXPECT_EQ(mbi.hMenu, bar);
  EXPECT_EQ(mbi.rcBar.Height(), cyMenu);
  TPoint origin{0, 0};
  ClientToScreen(top, &origin);
  EXPECT_LE(mbi.rcBar.Bottom, origin.Y);
  EXPECT_FALSE(GetMenuBarInfo(child, OBJID_MENU, 0, &mbi));
  mbi.cbSize = 3;
  EXPECT_FALSE(GetMenuBarInfo(top, OBJID_MENU, 0, &mbi));
  SetMenu(top, nullptr);
  DestroyMenu(bar);
}

TEST_F(WindowMenus, HiliteMenuItemSetsAndClearsTheHighlight) {
  HWND top = MakeWindow(WS_OVERLAPPEDWINDOW, TRect(0, 0, 200, 200));
  HMENU m = CreateMenu();
  AppendMenuW(m, MF_STRING, 10, u"A");
  AppendMenuW(m, MF_STRING, 11, u"B");
  struct Case {
    UINT Item, Flags;
    BOOL Result;
    UINT StateOfB;
  };
  const Case cases[] = {
      {1, MF_BYPOSITION | MF_HILITE, true, MF_HILITE},
      {11, MF_BYCOMMAND | MF_UNHILITE, true, 0},
      {11, MF_BYCOMMAND | MF_HILITE, true, MF_HILITE},
      {7, MF_BYPOSITION | MF_HILITE, false, MF_HILITE},  // no such item
  };
  for (const Case& c : cases) {
    EXPECT_EQ(HiliteMenuItem(top, m, c.Item, c.Flags), c.Result);
    EXPECT_EQ(GetMenuState(m, 11, MF_BYCOMMAND) & MF_HILITE, c.StateOfB);
  }
  EXPECT_EQ(GetMenuState(m, 10, MF_BYCOMMAND) & MF_HILITE, 0u);
  DestroyMenu(m);
}

TEST_F(WindowMenus, TheSystemMenuFollowsTheWindowsStyle) {
  struct Case {
    const char* Name;
    DWORD Style;
    bool HasMenu;
    UINT SizeState, MinState, MaxState;
  };
  const Case cases[] = {
      {"overlapped", WS_OVERLAPPEDWINDOW, true, 0, 0, 0},
      {"fixed dialog", WS_POPUP | WS_CAPTION | WS_SYSMENU, true, MF_GRAYED, MF_GRAYED, MF_GRAYED},
      {"no system menu", WS_POPUP | WS_CAPTION, false, 0, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    HWND w = MakeWindow(c.Style, TRect(0, 0, 300, 200));
    HMENU sys = GetSystemMenu(w, false);
    EXPECT_EQ(sys != nullptr, c.HasMenu);
    if (sys) {
      EXPECT_EQ(GetSystemMenu(w, false), sys);  // the same menu each time
      EXPECT_EQ(GetMenuItemCount(sys), 7);
      EXPECT_EQ(GetMenuState(sys, UINT(SC_RESTORE), MF_BYCOMMAND) & MF_GRAYED, UINT(MF_GRAYED));
      EXPECT_EQ(GetMenuState(sys, UINT(SC_SIZE), MF_BYCOMMAND) & MF_GRAYED, c.SizeState);
      EXPECT_EQ(GetMenuState(sys, UINT(SC_MINIMIZE), MF_BYCOMMAND) & MF_GRAYED, c.MinState);
      EXPECT_EQ(GetMenuState(sys, UINT(SC_MAXIMIZE), MF_BYCOMMAND) & MF_GRAYED, c.MaxState);
      EXPECT_EQ(GetMenuState(sys, UINT(SC_CLOSE), MF_BYCOMMAND) & MF_GRAYED, 0u);
      EXPECT_EQ(GetSystemMenu(w, true), nullptr);
      EXPECT_FALSE(IsMenu(sys));  // reverting destroyed the copy
    }
    DestroyWindow(w);
  }
}

namespace {

void Push(std::vector<WORD>& t, const char16_t* s) {
  for (; *s; ++s) t.push_back(WORD(*s));
  t.push_back(0);
}

}  // namespace

TEST_F(WindowMenus, LoadMenuIndirectBuildsBothTemplateFormats) {
  // Classic: &File { &Open (1), separator, E&xit (2, last) }, &Help (3, last).
  std::vector<WORD> t = {0, 0};
  t.push_back(WORD(MF_POPUP));
  Push(t, u"&File");
  t.push_back(0);
  t.push_back(1);
  Push(t, u"&Open");
  t.push_back(0);
  t.push_back(0);
  t.push_back(0);  // separator: no flags, no id, no text
  t.push_back(0x80);
  t.push_back(2);
  Push(t, u"E&xit");
  t.push_back(0x80);
  t.push_back(3);
  Push(t, u"&Help");
  HMENU m = LoadMenuIndirectW(t.data());
  ASSERT_TRUE(m);
  EXPECT_EQ(GetMenuItemCount(m), 2);
  HMENU file = GetSubMenu(m, 0);
  ASSERT_TRUE(file);
  EXPECT_EQ(GetMenuItemCount(file), 3);
  EXPECT_EQ(GetMenuString(file, 2, MF_BYPOSITION), u"E&xit");
  EXPECT_EQ(GetMenuState(file, 1, MF_BYPOSITION) & MF_SEPARATOR, UINT(MF_SEPARATOR));
  EXPECT_EQ(GetMenuItemID(m, 1), 3u);
  DestroyMenu(m);

  // Extended: header {1, 4, help id}, then items of DWORD type, state, id, WORD flags, text.
  std::vector<WORD> x = {1, 4, 0, 0};
  auto item = [&](DWORD type, DWORD state, DWORD id, WORD flags, const char16_t* s) {
    while (x.size() % 2) x.push_back(0);  // DWORD aligned
    for (DWORD v : {type, state, id}) {
      x.push_back(WORD(v & 0xFFFF));
      x.push_back(WORD(v >> 16));
    }
    x.push_back(flags);
    Push(x, s);
  };
  item(MFT_STRING, 0, 100, 0x01, u"&Edit");
  while (x.size() % 2) x.push_back(0);
  x.push_back(0);  // the pop-up's help id
  x.push_back(0);
  item(MFT_STRING, MFS_CHECKED, 101, 0x80, u"&Wrap");
  item(MFT_STRING, MFS_GRAYED, 102, 0x80, u"&View");
  HMENU e = LoadMenuIndirectW(x.data());
  ASSERT_TRUE(e);
  EXPECT_EQ(GetMenuItemCount(e), 2);
  HMENU edit = GetSubMenu(e, 0);
  ASSERT_TRUE(edit);
  EXPECT_EQ(GetMenuState(edit, 101, MF_BYCOMMAND) & MF_CHECKED, UINT(MF_CHECKED));
  EXPECT_EQ(GetMenuState(e, 102, MF_BYCOMMAND) & MF_GRAYED, UINT(MF_GRAYED));
  DestroyMenu(e);

  const WORD unknown[] = {7, 0, 0, 0};
  EXPECT_EQ(LoadMenuIndirectW(unknown), nullptr);
}

TEST_F(WindowMenus, AppendInsertAndModifyKeepWhatWin32Keeps) {
  HMENU m = CreatePopupMenu();
  struct Case {
    const char* Name;
    UINT Flags;
    UINT State;  // GetMenuState afterwards
  };
  const Case cases[] = {
      {"separator: grayed", MF_SEPARATOR, MF_SEPARATOR | MF_GRAYED | MF_DISABLED},
      {"MF_DEFAULT is not kept", MF_STRING | MF_DEFAULT, 0},
      {"checked and grayed are", MF_STRING | MF_CHECKED | MF_GRAYED, MF_CHECKED | MF_GRAYED},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    ASSERT_TRUE(AppendMenuW(m, c.Flags, 0, (c.Flags & MF_SEPARATOR) ? nullptr : u"x"));
    UINT pos = UINT(GetMenuItemCount(m) - 1);
    EXPECT_EQ(GetMenuState(m, pos, MF_BYPOSITION), c.State);
    ASSERT_TRUE(InsertMenuW(m, 0, MF_BYPOSITION | c.Flags, 0, (c.Flags & MF_SEPARATOR) ? nullptr : u"x"));
    EXPECT_EQ(GetMenuState(m, 0, MF_BYPOSITION), c.State);
  }
  EXPECT_EQ(GetMenuDefaultItem(m, true, GMDI_USEDISABLED), UINT(-1));
  // MF_POPUP with a handle that is not a menu is refused.
  EXPECT_FALSE(AppendMenuW(m, MF_POPUP, UINT_PTR(0x7777), u"bad"));

  // ModifyMenu changes the text, id and flags it is given; the item data, the check-mark
  // bitmaps and the default state stay.
  AppendMenuW(m, MF_STRING, 50, u"Old");
  MENUITEMINFOW mi;
  mi.fMask = MIIM_DATA;
  mi.dwItemData = 1234;
  ASSERT_TRUE(SetMenuItemInfoW(m, 50, false, &mi));
  ASSERT_TRUE(SetMenuDefaultItem(m, 50, false));
  ASSERT_TRUE(ModifyMenuW(m, 50, MF_BYCOMMAND | MF_STRING | MF_CHECKED, 51, u"New"));
  EXPECT_EQ(GetMenuString(m, 51, MF_BYCOMMAND), u"New");
  mi.fMask = MIIM_DATA | MIIM_STATE;
  ASSERT_TRUE(GetMenuItemInfoW(m, 51, false, &mi));
  EXPECT_EQ(mi.dwItemData, 1234u);
  EXPECT_EQ(mi.fState, MFS_DEFAULT | MFS_CHECKED);
  DestroyMenu(m);
}
