// Owner-drawn items of menus and native controls: WM_MEASUREITEM asks the owner for an item's
// size, WM_DRAWITEM asks it to draw the item into the given device context.
#pragma once
#include "host/win/WinTypes.h"

namespace vcl {

// Control types (CtlType).
constexpr UINT ODT_MENU = 1;
constexpr UINT ODT_LISTBOX = 2;
constexpr UINT ODT_COMBOBOX = 3;
constexpr UINT ODT_BUTTON = 4;
constexpr UINT ODT_STATIC = 5;

// What to draw (itemAction).
constexpr UINT ODA_DRAWENTIRE = 0x0001;
constexpr UINT ODA_SELECT = 0x0002;
constexpr UINT ODA_FOCUS = 0x0004;

// The item's state (itemState).
constexpr UINT ODS_SELECTED = 0x0001;
constexpr UINT ODS_GRAYED = 0x0002;
constexpr UINT ODS_DISABLED = 0x0004;
constexpr UINT ODS_CHECKED = 0x0008;
constexpr UINT ODS_FOCUS = 0x0010;
constexpr UINT ODS_DEFAULT = 0x0020;
constexpr UINT ODS_HOTLIGHT = 0x0040;
constexpr UINT ODS_INACTIVE = 0x0080;
constexpr UINT ODS_NOACCEL = 0x0100;
constexpr UINT ODS_NOFOCUSRECT = 0x0200;
constexpr UINT ODS_COMBOBOXEDIT = 0x1000;

// WM_MEASUREITEM (lParam). For menus CtlID is 0, itemID the item's command and itemData its
// item data; the owner fills in itemWidth and itemHeight.
struct MEASUREITEMSTRUCT {
  UINT CtlType = 0;
  UINT CtlID = 0;
  UINT itemID = 0;
  UINT itemWidth = 0;
  UINT itemHeight = 0;
  ULONG_PTR itemData = 0;
};

// WM_DRAWITEM (lParam). For menus hwndItem holds the HMENU (MenuOfDrawItem), rcItem is the
// item's row in the menu window's client coordinates, hDC that window's DC.
struct DRAWITEMSTRUCT {
  UINT CtlType = 0;
  UINT CtlID = 0;
  UINT itemID = 0;
  UINT itemAction = 0;
  UINT itemState = 0;
  HWND hwndItem = nullptr;
  HDC hDC = nullptr;
  TRect rcItem;
  ULONG_PTR itemData = 0;
};

inline HMENU MenuOfDrawItem(const DRAWITEMSTRUCT& d) { return reinterpret_cast<HMENU>(d.hwndItem); }

}  // namespace vcl
