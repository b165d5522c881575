// Menu handles: building menus, reading and changing items, sub-menus and their ownership,
// radio groups and default items, and bad handles or arguments failing without harm.
#include <gtest/gtest.h>

#include "host/win/ctl/Menus.h"

using namespace vcl;

namespace {

HMENU Sub(HMENU m, int pos) { return GetSubMenu(m, pos); }

String Text(HMENU m, UINT item, BOOL byPos) {
  Char buf[64];
  MENUITEMINFOW mi;
  mi.fMask = MIIM_STRING;
  mi.dwTypeData = buf;
  mi.cch = 64;
  if (!GetMenuItemInfoW(m, item, byPos, &mi)) return u"<none>";
  return String(buf, mi.cch);
}

}  // namespace

TEST(MenuHandles, ItemsAreAppendedInsertedAndFoundByPositionOrCommand) {
  HMENU m = CreatePopupMenu();
  HMENU file = CreatePopupMenu();
  AppendMenuW(file, MF_STRING, 11, u"&New");
  AppendMenuW(file, MF_STRING, 13, u"&Close");
  ASSERT_TRUE(AppendMenuW(m, MF_POPUP, reinterpret_cast<UINT_PTR>(file), u"&File"));
  AppendMenuW(m, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(m, MF_STRING | MF_GRAYED, 20, u"Gone");
  // By command the item goes before the one with that id, in whatever sub-menu it is.
  ASSERT_TRUE(InsertMenuW(m, 13, MF_BYCOMMAND | MF_STRING, 12, u"&Open"));
  ASSERT_TRUE(InsertMenuW(m, 0, MF_BYPOSITION | MF_STRING, 1, u"First"));
  EXPECT_EQ(GetMenuItemCount(m), 4);
  EXPECT_EQ(GetMenuItemCount(file), 3);
  EXPECT_EQ(Text(file, 1, true), u"&Open");
  EXPECT_EQ(Text(m, 12, false), u"&Open");  // found in the sub-menu
  EXPECT_EQ(Sub(m, 1), file);
  EXPECT_EQ(Sub(m, 0), nullptr);
  EXPECT_EQ(GetMenuItemID(m, 0), 1u);
  EXPECT_EQ(GetMenuItemID(m, 1), UINT(-1));  // a sub-menu item
  EXPECT_EQ(GetMenuState(m, 1, MF_BYPOSITION), MF_POPUP | (3u << 8));
  EXPECT_EQ(GetMenuState(m, 2, MF_BYPOSITION), MF_SEPARATOR | MF_GRAYED | MF_DISABLED);  // grayed
  EXPECT_EQ(GetMenuState(m, 20, MF_BYCOMMAND), MF_GRAYED);
  EXPECT_EQ(GetMenuState(m, 99, MF_BYCOMMAND), UINT(-1));
  EXPECT_EQ(GetMenuString(m, 3, MF_BYPOSITION), u"Gone");
  DestroyMenu(m);
  EXPECT_FALSE(IsMenu(file));  // destroyed with its menu
}

TEST(MenuHandles, ItemInfoReadsAndWritesEveryPart) {
  HMENU m = CreatePopupMenu();
  MENUITEMINFOW in;
  in.fMask = MIIM_STRING | MIIM_ID | MIIM_STATE | MIIM_DATA | MIIM_FTYPE;
  Char text[] = u"Save &As\tCtrl+Shift+S";
  in.dwTypeData = text;
  in.wID = 7;
  in.fState = MFS_CHECKED | MFS_DEFAULT;
  in.fType = MFT_RADIOCHECK;
  in.dwItemData = 0xBEEF;
  ASSERT_TRUE(InsertMenuItemW(m, 0, true, &in));
  MENUITEMINFOW out;
  out.fMask = MIIM_STRING | MIIM_ID | MIIM_STATE | MIIM_DATA | MIIM_FTYPE | MIIM_SUBMENU;
  ASSERT_TRUE(GetMenuItemInfoW(m, 7, false, &out));
  EXPECT_EQ(out.cch, 21u);  // no buffer: the length
  EXPECT_EQ(out.wID, 7u);
  EXPECT_EQ(out.fState, MFS_CHECKED | MFS_DEFAULT);
  EXPECT_EQ(out.fType, MFT_RADIOCHECK);
  EXPECT_EQ(out.dwItemData, 0xBEEFu);
  EXPECT_EQ(out.hSubMenu, nullptr);
  // A short buffer gets what fits, terminated.
  Char small[5] = {'x', 'x', 'x', 'x', 'x'};
  out.fMask = MIIM_STRING;
  out.dwTypeData = small;
  out.cch = 5;
  ASSERT_TRUE(GetMenuItemInfoW(m, 0, true, &out));
  EXPECT_EQ(String(small), u"Save");
  EXPECT_EQ(out.cch, 4u);
  // Changing only the state keeps the rest.
  MENUITEMINFOW st;
  st.fMask = MIIM_STATE;
  st.fState = MFS_GRAYED;
  ASSERT_TRUE(SetMenuItemInfoW(m, 7, false, &st));
  EXPECT_EQ(GetMenuState(m, 7, MF_BYCOMMAND), MF_GRAYED | MF_DISABLED);
  EXPECT_EQ(Text(m, 0, true), u"Save &As\tCtrl+Shift+S");
  // A too small cbSize is refused.
  MENUITEMINFOW bad;
  bad.cbSize = 4;
  bad.fMask = MIIM_ID;
  EXPECT_FALSE(GetMenuItemInfoW(m, 0, true, &bad));
  EXPECT_FALSE(SetMenuItemInfoW(m, 0, true, nullptr));
  DestroyMenu(m);
}

TEST(MenuHandles, ChecksEnablingRadioGroupsAndTheDefaultItem) {
  HMENU m = CreatePopupMenu();
  for (UINT id = 1; id <= 4; ++id) AppendMenuW(m, MF_STRING, id, u"Item");
  EXPECT_EQ(CheckMenuItem(m, 2, MF_CHECKED), DWORD(MF_UNCHECKED));
  EXPECT_EQ(CheckMenuItem(m, 2, MF_UNCHECKED), DWORD(MF_CHECKED));
  EXPECT_EQ(CheckMenuItem(m, 42, MF_CHECKED), DWORD(-1));
  EXPECT_EQ(EnableMenuItem(m, 3, MF_GRAYED), int(MF_ENABLED));
  EXPECT_EQ(EnableMenuItem(m, 3, MF_ENABLED), int(MF_GRAYED));
  EXPECT_EQ(EnableMenuItem(m, 42, MF_GRAYED), -1);
  // A radio group: exactly one checked, with a bullet.
  CheckMenuItem(m, 1, MF_CHECKED);
  ASSERT_TRUE(CheckMenuRadioItem(m, 1, 3, 2, MF_BYCOMMAND));
  EXPECT_EQ(GetMenuState(m, 1, MF_BYCOMMAND) & MF_CHECKED, 0u);
  EXPECT_EQ(GetMenuState(m, 2, MF_BYCOMMAND) & MF_CHECKED, MF_CHECKED);
  MENUITEMINFOW t;
  t.fMask = MIIM_FTYPE;
  GetMenuItemInfoW(m, 2, false, &t);
  EXPECT_TRUE(t.fType & MFT_RADIOCHECK);
  EXPECT_EQ(GetMenuState(m, 4, MF_BYCOMMAND) & MF_CHECKED, 0u);
  ASSERT_TRUE(CheckMenuRadioItem(m, 0, 2, 2, MF_BYPOSITION));  // positions
  EXPECT_EQ(GetMenuState(m, 2, MF_BYCOMMAND) & MF_CHECKED, 0u);
  EXPECT_EQ(GetMenuState(m, 3, MF_BYCOMMAND) & MF_CHECKED, MF_CHECKED);
  // One default item at a time.
  ASSERT_TRUE(SetMenuDefaultItem(m, 2, false));
  ASSERT_TRUE(SetMenuDefaultItem(m, 3, true));
  EXPECT_EQ(GetMenuDefaultItem(m, false, 0), 4u);
  EXPECT_EQ(GetMenuState(m, 2, MF_BYCOMMAND) & MF_DEFAULT, 0u);
  EnableMenuItem(m, 4, MF_GRAYED);
  EXPECT_EQ(GetMenuDefaultItem(m, false, 0), UINT(-1));  // disabled
  EXPECT_EQ(GetMenuDefaultItem(m, true, GMDI_USEDISABLED), 3u);
  ASSERT_TRUE(SetMenuDefaultItem(m, UINT(-1), false));
  EXPECT_EQ(GetMenuDefaultItem(m, false, GMDI_USEDISABLED), UINT(-1));
  DestroyMenu(m);
}

TEST(MenuHandles, RemoveKeepsTheSubMenuDeleteDestroysIt) {
  HMENU m = CreatePopupMenu();
  HMENU a = CreatePopupMenu();
  HMENU b = CreatePopupMenu();
  AppendMenuW(b, MF_STRING, 5, u"Deep");
  AppendMenuW(a, MF_POPUP, reinterpret_cast<UINT_PTR>(b), u"B");
  AppendMenuW(m, MF_POPUP, reinterpret_cast<UINT_PTR>(a), u"A");
  AppendMenuW(m, MF_STRING, 9, u"Plain");
  ASSERT_TRUE(RemoveMenu(m, 0, MF_BYPOSITION));
  EXPECT_TRUE(IsMenu(a));
  EXPECT_EQ(GetMenuItemCount(m), 1);
  ASSERT_TRUE(AppendMenuW(m, MF_POPUP, reinterpret_cast<UINT_PTR>(a), u"A again"));
  ASSERT_TRUE(DeleteMenu(m, 1, MF_BYPOSITION));
  EXPECT_FALSE(IsMenu(a));
  EXPECT_FALSE(IsMenu(b));
  // By command, in a sub-menu.
  HMENU c = CreatePopupMenu();
  AppendMenuW(c, MF_STRING, 31, u"x");
  AppendMenuW(c, MF_STRING, 32, u"y");
  AppendMenuW(m, MF_POPUP, reinterpret_cast<UINT_PTR>(c), u"C");
  ASSERT_TRUE(DeleteMenu(m, 31, MF_BYCOMMAND));
  EXPECT_EQ(GetMenuItemCount(c), 1);
  EXPECT_FALSE(DeleteMenu(m, 31, MF_BYCOMMAND));
  DestroyMenu(m);
  EXPECT_FALSE(IsMenu(c));
}

TEST(MenuHandles, ASubMenuLivesInOnePlaceAndNeverInsideItself) {
  HMENU m = CreatePopupMenu();
  HMENU a = CreatePopupMenu();
  HMENU b = CreatePopupMenu();
  ASSERT_TRUE(AppendMenuW(m, MF_POPUP, reinterpret_cast<UINT_PTR>(a), u"A"));
  ASSERT_TRUE(AppendMenuW(a, MF_POPUP, reinterpret_cast<UINT_PTR>(b), u"B"));
  EXPECT_FALSE(AppendMenuW(m, MF_POPUP, reinterpret_cast<UINT_PTR>(a), u"A twice"));
  EXPECT_FALSE(AppendMenuW(b, MF_POPUP, reinterpret_cast<UINT_PTR>(m), u"cycle"));
  EXPECT_FALSE(AppendMenuW(a, MF_POPUP, reinterpret_cast<UINT_PTR>(a), u"itself"));
  MENUITEMINFOW mi;
  mi.fMask = MIIM_SUBMENU;
  mi.hSubMenu = m;
  EXPECT_FALSE(SetMenuItemInfoW(b, 0, true, &mi));  // b has no item 0 anyway
  AppendMenuW(b, MF_STRING, 1, u"leaf");
  EXPECT_FALSE(SetMenuItemInfoW(b, 0, true, &mi));
  mi.hSubMenu = reinterpret_cast<HMENU>(std::intptr_t(0x1234));  // not a menu
  EXPECT_FALSE(SetMenuItemInfoW(b, 0, true, &mi));
  EXPECT_EQ(GetMenuItemCount(m), 1);
  EXPECT_EQ(GetMenuItemCount(b), 1);
  // Destroying a menu that is someone's sub-menu leaves that item without one.
  ASSERT_TRUE(DestroyMenu(b));
  EXPECT_EQ(GetSubMenu(a, 0), nullptr);
  DestroyMenu(m);
  EXPECT_FALSE(IsMenu(a));
}

TEST(MenuHandles, DestroyedAndMadeUpHandlesFailWithoutHarm) {
  HMENU m = CreatePopupMenu();
  AppendMenuW(m, MF_STRING, 1, u"x");
  ASSERT_TRUE(DestroyMenu(m));
  HMENU fake = reinterpret_cast<HMENU>(std::intptr_t(0x40));
  for (HMENU h : {m, fake, static_cast<HMENU>(nullptr)}) {
    EXPECT_FALSE(IsMenu(h));
    EXPECT_FALSE(DestroyMenu(h));
    EXPECT_FALSE(AppendMenuW(h, MF_STRING, 1, u"x"));
    EXPECT_EQ(GetMenuItemCount(h), -1);
    EXPECT_EQ(GetSubMenu(h, 0), nullptr);
    EXPECT_EQ(CheckMenuItem(h, 1, MF_CHECKED), DWORD(-1));
    EXPECT_EQ(EnableMenuItem(h, 1, MF_GRAYED), -1);
    EXPECT_FALSE(RemoveMenu(h, 0, MF_BYPOSITION));
    EXPECT_FALSE(SetMenuDefaultItem(h, 0, true));
    EXPECT_EQ(TrackPopupMenu(h, TPM_RETURNCMD, 0, 0, 0, nullptr, nullptr), 0);
    EXPECT_EQ(MenuWindowOf(h), nullptr);
    MENUINFO info;
    info.fMask = MIM_MENUDATA;
    EXPECT_FALSE(GetMenuInfo(h, &info));
  }
}

TEST(MenuHandles, MenuDataAppliesToSubMenusWhenAsked) {
  HMENU m = CreatePopupMenu();
  HMENU a = CreatePopupMenu();
  AppendMenuW(m, MF_POPUP, reinterpret_cast<UINT_PTR>(a), u"A");
  MENUINFO set;
  set.fMask = MIM_MENUDATA | MIM_APPLYTOSUBMENUS;
  set.dwMenuData = 99;
  ASSERT_TRUE(SetMenuInfo(m, &set));
  MENUINFO got;
  got.fMask = MIM_MENUDATA;
  ASSERT_TRUE(GetMenuInfo(a, &got));
  EXPECT_EQ(got.dwMenuData, 99u);
  set.fMask = MIM_MENUDATA;
  set.dwMenuData = 5;
  SetMenuInfo(m, &set);
  GetMenuInfo(a, &got);
  EXPECT_EQ(got.dwMenuData, 99u);
  DestroyMenu(m);
}
