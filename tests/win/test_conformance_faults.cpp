// Calls that used to crash, hang or write through the caller's pointers: window sizes beyond
// the 16-bit range, WM_CANCELMODE closing a tracked menu, and the legacy MIIM_TYPE item query.
#include <cstddef>
#include <cstdint>

#include "host/gdi/Gdi.h"
#include "host/platform/headless/HeadlessBackend.h"
#include "host/win/PlatformFacts.h"
#include "host/win/ctl/Menus.h"
#include "tests/win/WinTestUtil.h"

using namespace vcl;
using namespace vcl::wintest;

namespace {

class Conformance : public WinTest {};

TRect WindowRectOf(HWND h) {
  TRect r;
  GetWindowRect(h, &r);
  return r;
}

// ---- Sizes and positions beyond the 16-bit range -------------------------------------------------

struct PosCase {
  const char* Name;
  int X, Y, Cx, Cy;
  TRect Expected;  // screen coordinates
};

const PosCase kPosCases[] = {
    {"size 32768 x 32768", 0, 0, 32768, 32768, {0, 0, 32767, 32767}},
    {"one side huge", 10, 20, 100000, 5, {10, 20, 10 + 32767, 25}},
    {"positions past both ends", -40000, 40000, 10, 10, {-32768, 32767, -32758, 32777}},
    {"negative sizes", 10, 20, -5, -7, {10, 20, 10, 20}},
    {"ordinary", 50, 60, 300, 200, {50, 60, 350, 260}},
};

TEST_F(Conformance, SetWindowPosClampsSizesAndPositionsAndSucceeds) {
  for (DWORD style : {DWORD(WS_POPUP), DWORD(WS_POPUP | WS_VISIBLE)}) {
    HWND h = MakeWindow(style, TRect(0, 0, 100, 100));
    ASSERT_TRUE(h);
    for (const PosCase& c : kPosCases) {
      SCOPED_TRACE(c.Name);
      // Twice: a clamped window must accept the next call as well.
      for (int i = 0; i < 2; ++i) {
        EXPECT_TRUE(SetWindowPos(h, nullptr, c.X, c.Y, c.Cx, c.Cy, SWP_NOZORDER | SWP_NOACTIVATE));
        EXPECT_EQ(WindowRectOf(h), c.Expected);
      }
    }
    EXPECT_TRUE(MoveWindow(h, 0, 0, 50000, 40000, true));
    EXPECT_EQ(WindowRectOf(h), TRect(0, 0, 32767, 32767));
    EXPECT_TRUE(MoveWindow(h, 5, 5, 20, 20, true));
    EXPECT_EQ(WindowRectOf(h), TRect(5, 5, 25, 25));
    DestroyWindow(h);
  }
}

TEST_F(Conformance, OversizedWindowsAreCreatedClampedAndHandlersCannotExceedTheRange) {
  HWND h = MakeWindow(WS_POPUP, TRect::FromSize(-50000, 0, 70000, 32768));
  ASSERT_TRUE(h);
  EXPECT_EQ(WindowRectOf(h), TRect(-32768, 0, -32768 + 32767, 32767));
  // A WM_WINDOWPOSCHANGING handler asking for more than the range gets the range.
  HWND g = MakeWindow(WS_POPUP, TRect(0, 0, 10, 10), nullptr, 0,
                      [](HWND, UINT m, WPARAM, LPARAM lp, LRESULT&) {
                        if (m == WM_WINDOWPOSCHANGING) {
                          auto* p = reinterpret_cast<WINDOWPOS*>(lp);
                          p->cx = 90000;
                          p->cy = 33000;
                        }
                        return false;
                      });
  ASSERT_TRUE(g);
  EXPECT_TRUE(SetWindowPos(g, nullptr, 0, 0, 20, 20, SWP_NOZORDER | SWP_NOACTIVATE));
  EXPECT_EQ(WindowRectOf(g), TRect(0, 0, 32767, 32767));
  // Child windows are clamped the same way, in their parent's coordinates.
  HWND parent = MakeWindow(WS_POPUP, TRect(0, 0, 200, 200));
  HWND child = MakeWindow(WS_CHILD | WS_VISIBLE, TRect(0, 0, 10, 10), parent);
  EXPECT_TRUE(SetWindowPos(child, nullptr, -33000, 1, 40000, 2, SWP_NOZORDER));
  TRect r = WindowRectOf(child);
  EXPECT_EQ(r.Width(), 32767);
  EXPECT_EQ(r.Left, -32768);
}

// ---- WM_CANCELMODE ends menu tracking --------------------------------------------------------------

TEST_F(Conformance, CancelModePostedFromEnterIdleClosesTheMenu) {
  Headless().InjectMouseMove(1900, 1000);
  int idles = 0;
  bool forced = false;
  HWND owner = MakeWindow(WS_OVERLAPPEDWINDOW | WS_VISIBLE, TRect(100, 100, 500, 400), nullptr, 0,
                          [&](HWND h, UINT m, WPARAM, LPARAM, LRESULT& r) {
                            if (m != WM_ENTERIDLE) return false;
                            if (++idles > 50) {
                              forced = true;  // the menu ignored WM_CANCELMODE
                              EndMenu();
                            } else {
                              PostMessageW(h, WM_CANCELMODE, 0, 0);
                            }
                            r = 0;
                            return true;
                          });
  SetActiveWindow(owner);
  HMENU m = CreatePopupMenu();
  AppendMenuW(m, MF_STRING, 1, u"One");
  AppendMenuW(m, MF_STRING, 2, u"Two");
  EXPECT_EQ(TrackPopupMenu(m, TPM_RETURNCMD, 200, 200, 0, owner, nullptr), 0);
  EXPECT_FALSE(forced);
  EXPECT_EQ(idles, 1);
  EXPECT_EQ(TrackedMenu(), nullptr);
  EXPECT_EQ(Count(owner, WM_EXITMENULOOP), 1);
  // WM_CANCELMODE to a window that is not tracking a menu changes nothing.
  EXPECT_FALSE(EndMenu());
  SendMessageW(owner, WM_CANCELMODE, 0, 0);
  DestroyMenu(m);
}

// ---- GetMenuItemInfoW and the legacy MIIM_TYPE -----------------------------------------------------

struct TypeCase {
  const char* Name;
  int Pos;
  UINT Type;          // fType read with MIIM_TYPE
  bool TypeDataIsBitmap;
  bool TypeDataIsNull;
  UINT Cch;
  const Char* Buffer;  // what the caller's buffer holds afterwards
};

TEST_F(Conformance, LegacyTypeQueryFollowsTheOldRules) {
  HBITMAP bmp = CreateBitmap(16, 16, 1, 32, nullptr);
  HMENU sub = CreatePopupMenu();
  HMENU m = CreatePopupMenu();
  // 0: text and a bitmap
  MENUITEMINFOW in;
  in.fMask = MIIM_STRING | MIIM_BITMAP | MIIM_ID;
  Char text[] = u"Open";
  in.dwTypeData = text;
  in.hbmpItem = bmp;
  in.wID = 5;
  ASSERT_TRUE(InsertMenuItemW(m, 0, true, &in));
  AppendMenuW(m, MF_STRING, 6, u"Plain");                                   // 1
  AppendMenuW(m, MF_SEPARATOR, 0, nullptr);                                 // 2
  AppendMenuW(m, MF_POPUP, reinterpret_cast<UINT_PTR>(sub), u"Sub");        // 3
  AppendMenuW(m, MF_BITMAP, 7, reinterpret_cast<const Char*>(bmp));         // 4

  const TypeCase cases[] = {
      {"text and bitmap", 0, MFT_BITMAP, true, false, 4, u"xxxxxxx"},
      {"text", 1, MFT_STRING, false, false, 5, u"Plain"},
      {"separator", 2, MFT_SEPARATOR, false, true, 0, u"xxxxxxx"},
      {"popup", 3, MFT_STRING, false, false, 3, u"Sub"},
      {"bitmap", 4, MFT_BITMAP, true, false, 0, u"xxxxxxx"},
  };
  for (const TypeCase& c : cases) {
    SCOPED_TRACE(c.Name);
    Char buf[8] = u"xxxxxxx";
    MENUITEMINFOW mi;
    mi.fMask = MIIM_TYPE;
    mi.dwTypeData = buf;
    mi.cch = 8;
    mi.hSubMenu = reinterpret_cast<HMENU>(std::uintptr_t(0x1234));
    ASSERT_TRUE(GetMenuItemInfoW(m, UINT(c.Pos), true, &mi));
    EXPECT_EQ(mi.fType, c.Type);
    if (c.TypeDataIsBitmap) EXPECT_EQ(reinterpret_cast<HBITMAP>(mi.dwTypeData), bmp);
    else if (c.TypeDataIsNull) EXPECT_EQ(mi.dwTypeData, nullptr);
    else EXPECT_EQ(mi.dwTypeData, buf);
    EXPECT_EQ(mi.cch, c.Cch);
    EXPECT_EQ(String(buf), String(c.Buffer));
    EXPECT_EQ(mi.hSubMenu, nullptr);  // cleared unless asked for
  }

  // MIIM_TYPE does not combine with the masks that replaced it.
  for (UINT extra : {MIIM_STRING, MIIM_FTYPE, MIIM_BITMAP}) {
    MENUITEMINFOW mi;
    mi.fMask = MIIM_TYPE | extra;
    SetLastError(0);
    EXPECT_FALSE(GetMenuItemInfoW(m, 1, true, &mi));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
  }

  // The older record without hbmpItem is read and written up to its own size.
  MENUITEMINFOW legacy;
  legacy.cbSize = UINT(offsetof(MENUITEMINFOW, hbmpItem));
  legacy.fMask = MIIM_ID | MIIM_FTYPE;
  HBITMAP sentinel = reinterpret_cast<HBITMAP>(std::uintptr_t(0x5151));
  legacy.hbmpItem = sentinel;
  ASSERT_TRUE(GetMenuItemInfoW(m, 0, true, &legacy));
  EXPECT_EQ(legacy.wID, 5u);
  EXPECT_EQ(legacy.fType, MFT_STRING);
  EXPECT_EQ(legacy.hbmpItem, sentinel);
  legacy.fMask = MIIM_ID;
  legacy.wID = 9;
  EXPECT_TRUE(SetMenuItemInfoW(m, 1, true, &legacy));
  EXPECT_EQ(GetMenuItemID(m, 1), 9u);
  MENUITEMINFOW wrong;
  wrong.cbSize = sizeof(MENUITEMINFOW) + 4;
  wrong.fMask = MIIM_ID;
  EXPECT_FALSE(GetMenuItemInfoW(m, 1, true, &wrong));

  // MIIM_FTYPE never makes a text item a bitmap item.
  MENUITEMINFOW ft;
  ft.fMask = MIIM_FTYPE;
  ft.fType = MFT_BITMAP | MFT_RADIOCHECK;
  ASSERT_TRUE(SetMenuItemInfoW(m, 1, true, &ft));
  ft.fType = 0;
  ASSERT_TRUE(GetMenuItemInfoW(m, 1, true, &ft));
  EXPECT_EQ(ft.fType, MFT_RADIOCHECK);

  DestroyMenu(m);
  DeleteObject(bmp);
}

}  // namespace
