// Menus: menu handles (HMENU) with their items, and popup menus tracked in a window of class
// "#32768".
//
// A popup menu window is a top-level WS_POPUP window with WS_EX_TOPMOST | WS_EX_TOOLWINDOW |
// WS_EX_NOACTIVATE and a drop-shadow class style. It is never activated: the owner window keeps
// the activation and the keyboard focus. TrackPopupMenu runs a modal loop of its own while the
// menu is open: it holds the mouse capture, reads every keyboard message itself, offers each
// message to the WH_MSGFILTER hooks (MSGF_MENU) and dispatches the rest (painting, timers,
// posted messages). The loop ends when an item is chosen (click or Enter), on Esc at the top
// level, on Alt, on a press outside every menu window (the press then stays in the queue for
// the window under the pointer), when the owner loses the activation, on WM_CANCELMODE, when the
// capture is taken away, on EndMenu and on WM_QUIT (posted again).
//
// Notifications to the owner, unless TPM_NONOTIFY: WM_ENTERMENULOOP, WM_INITMENUPOPUP before a
// menu (or sub-menu) is measured and shown, WM_MENUSELECT when the highlight moves (and with
// wParam MAKEWPARAM(0, 0xFFFF), lParam 0 when the menu closes), WM_MENUCHAR for a typed
// character no item claims, WM_ENTERIDLE whenever the loop has nothing to do, WM_UNINITMENUPOPUP
// when a menu window goes, WM_EXITMENULOOP, and a posted WM_COMMAND with the chosen item's id
// after the loop has closed (unless TPM_RETURNCMD, which returns the id instead).
// WM_MEASUREITEM and WM_DRAWITEM for MFT_OWNERDRAW items are sent in any case.
#pragma once
#include <functional>
#include <vector>

#include "host/gdi/ImageList.h"
#include "host/win/WinUser.h"
#include "host/win/ctl/OwnerDraw.h"

namespace vcl {

// ---- Flags -------------------------------------------------------------------------------------------
// AppendMenuW / InsertMenuW / CheckMenuItem / EnableMenuItem / GetMenuState.
constexpr UINT MF_INSERT = 0x00000000;
constexpr UINT MF_CHANGE = 0x00000080;
constexpr UINT MF_APPEND = 0x00000100;
constexpr UINT MF_DELETE = 0x00000200;
constexpr UINT MF_REMOVE = 0x00001000;
constexpr UINT MF_BYCOMMAND = 0x00000000;
constexpr UINT MF_BYPOSITION = 0x00000400;
constexpr UINT MF_SEPARATOR = 0x00000800;
constexpr UINT MF_ENABLED = 0x00000000;
constexpr UINT MF_GRAYED = 0x00000001;
constexpr UINT MF_DISABLED = 0x00000002;
constexpr UINT MF_UNCHECKED = 0x00000000;
constexpr UINT MF_CHECKED = 0x00000008;
constexpr UINT MF_USECHECKBITMAPS = 0x00000200;
constexpr UINT MF_STRING = 0x00000000;
constexpr UINT MF_BITMAP = 0x00000004;
constexpr UINT MF_OWNERDRAW = 0x00000100;
constexpr UINT MF_POPUP = 0x00000010;
constexpr UINT MF_MENUBARBREAK = 0x00000020;
constexpr UINT MF_MENUBREAK = 0x00000040;
constexpr UINT MF_UNHILITE = 0x00000000;
constexpr UINT MF_HILITE = 0x00000080;
constexpr UINT MF_DEFAULT = 0x00001000;
constexpr UINT MF_SYSMENU = 0x00002000;
constexpr UINT MF_HELP = 0x00004000;
constexpr UINT MF_RIGHTJUSTIFY = 0x00004000;
constexpr UINT MF_MOUSESELECT = 0x00008000;

// MENUITEMINFOW.fMask.
constexpr UINT MIIM_STATE = 0x00000001;
constexpr UINT MIIM_ID = 0x00000002;
constexpr UINT MIIM_SUBMENU = 0x00000004;
constexpr UINT MIIM_CHECKMARKS = 0x00000008;
constexpr UINT MIIM_TYPE = 0x00000010;  // fType and, for strings, dwTypeData
constexpr UINT MIIM_DATA = 0x00000020;
constexpr UINT MIIM_STRING = 0x00000040;
constexpr UINT MIIM_BITMAP = 0x00000080;
constexpr UINT MIIM_FTYPE = 0x00000100;

// MENUITEMINFOW.fType.
constexpr UINT MFT_STRING = MF_STRING;
constexpr UINT MFT_BITMAP = MF_BITMAP;
constexpr UINT MFT_MENUBARBREAK = MF_MENUBARBREAK;
constexpr UINT MFT_MENUBREAK = MF_MENUBREAK;
constexpr UINT MFT_OWNERDRAW = MF_OWNERDRAW;
constexpr UINT MFT_RADIOCHECK = 0x00000200;
constexpr UINT MFT_SEPARATOR = MF_SEPARATOR;
constexpr UINT MFT_RIGHTORDER = 0x00002000;
constexpr UINT MFT_RIGHTJUSTIFY = MF_RIGHTJUSTIFY;

// MENUITEMINFOW.fState.
constexpr UINT MFS_GRAYED = 0x00000003;
constexpr UINT MFS_DISABLED = MFS_GRAYED;
constexpr UINT MFS_CHECKED = MF_CHECKED;
constexpr UINT MFS_HILITE = MF_HILITE;
constexpr UINT MFS_ENABLED = MF_ENABLED;
constexpr UINT MFS_UNCHECKED = MF_UNCHECKED;
constexpr UINT MFS_UNHILITE = MF_UNHILITE;
constexpr UINT MFS_DEFAULT = MF_DEFAULT;

// GetMenuDefaultItem.
constexpr UINT GMDI_USEDISABLED = 0x0001;
constexpr UINT GMDI_GOINTOPOPUPS = 0x0002;

// TrackPopupMenu(Ex) flags.
constexpr UINT TPM_LEFTBUTTON = 0x0000;
constexpr UINT TPM_RIGHTBUTTON = 0x0002;  // the right button chooses items too
constexpr UINT TPM_LEFTALIGN = 0x0000;
constexpr UINT TPM_CENTERALIGN = 0x0004;
constexpr UINT TPM_RIGHTALIGN = 0x0008;
constexpr UINT TPM_TOPALIGN = 0x0000;
constexpr UINT TPM_VCENTERALIGN = 0x0010;
constexpr UINT TPM_BOTTOMALIGN = 0x0020;
constexpr UINT TPM_HORIZONTAL = 0x0000;  // with an exclusion rectangle: move sideways first
constexpr UINT TPM_VERTICAL = 0x0040;    // ... or up and down first
constexpr UINT TPM_NONOTIFY = 0x0080;
constexpr UINT TPM_RETURNCMD = 0x0100;
constexpr UINT TPM_RECURSE = 0x0001;
constexpr UINT TPM_HORPOSANIMATION = 0x0400;
constexpr UINT TPM_HORNEGANIMATION = 0x0800;
constexpr UINT TPM_VERPOSANIMATION = 0x1000;
constexpr UINT TPM_VERNEGANIMATION = 0x2000;
constexpr UINT TPM_NOANIMATION = 0x4000;
constexpr UINT TPM_LAYOUTRTL = 0x8000;
constexpr UINT TPM_WORKAREA = 0x10000;

// WM_MENUCHAR results (high word; the low word is the item position).
constexpr WORD MNC_IGNORE = 0;
constexpr WORD MNC_CLOSE = 1;
constexpr WORD MNC_EXECUTE = 2;
constexpr WORD MNC_SELECT = 3;

// Messages a popup menu window answers.
constexpr UINT MN_GETHMENU = 0x01E1;    // its HMENU
constexpr UINT MN_SELECTITEM = 0x01E5;  // highlights item wParam (-1: none)
// Highlights the entry under the pointer (what a message filter posts when tracking starts with
// the left button already down).
constexpr UINT MN_MOUSEMOVE = 0x01EE;
constexpr UINT MN_GETHOTITEM = 0x01F4;  // the highlighted item's position, -1 for none

struct MENUITEMINFOW {
  UINT cbSize = sizeof(MENUITEMINFOW);
  UINT fMask = 0;
  UINT fType = 0;
  UINT fState = 0;
  UINT wID = 0;
  HMENU hSubMenu = nullptr;
  HBITMAP hbmpChecked = nullptr;
  HBITMAP hbmpUnchecked = nullptr;
  ULONG_PTR dwItemData = 0;
  // The text: set from it (NUL-terminated); read into it, cch being the buffer size in
  // characters. Reading with a null buffer gives the length in cch.
  Char* dwTypeData = nullptr;
  UINT cch = 0;
  HBITMAP hbmpItem = nullptr;  // drawn in the image column (not owned)
};

constexpr DWORD MIM_MAXHEIGHT = 0x00000001;
constexpr DWORD MIM_BACKGROUND = 0x00000002;
constexpr DWORD MIM_HELPID = 0x00000004;
constexpr DWORD MIM_MENUDATA = 0x00000008;
constexpr DWORD MIM_STYLE = 0x00000010;
constexpr DWORD MIM_APPLYTOSUBMENUS = 0x80000000;
struct MENUINFO {
  DWORD cbSize = sizeof(MENUINFO);
  DWORD fMask = 0;
  DWORD dwStyle = 0;
  UINT cyMax = 0;
  HBRUSH hbrBack = nullptr;
  DWORD dwContextHelpID = 0;
  ULONG_PTR dwMenuData = 0;
};

struct TPMPARAMS {
  UINT cbSize = sizeof(TPMPARAMS);
  TRect rcExclude;  // screen rectangle the menu must not cover
};

// ---- Menus and items -----------------------------------------------------------------------------
// Handles are checked: a call on a destroyed or made-up handle fails (false, -1 or nullptr) and
// never touches memory. `item` is a position with MF_BYPOSITION / fByPosition, else a command
// id, looked for in sub-menus too.
HMENU CreateMenu();       // a menu bar
HMENU CreatePopupMenu();  // a drop-down or context menu
// Destroys the menu and its sub-menus; a menu that is being shown cannot be destroyed.
BOOL DestroyMenu(HMENU menu);
BOOL IsMenu(HMENU menu);

// uFlags: MF_STRING (text), MF_SEPARATOR, MF_POPUP (uIDNewItem is the sub-menu), MF_OWNERDRAW
// (lpNewItem is the item data), MF_BITMAP (lpNewItem is an HBITMAP), MF_CHECKED, MF_GRAYED,
// MF_DISABLED, MF_DEFAULT, MF_RIGHTJUSTIFY, MF_MENUBREAK. A sub-menu can be in one place only
// and never inside itself.
BOOL AppendMenuW(HMENU menu, UINT flags, UINT_PTR idNewItem, const Char* newItem);
BOOL InsertMenuW(HMENU menu, UINT position, UINT flags, UINT_PTR idNewItem, const Char* newItem);
BOOL ModifyMenuW(HMENU menu, UINT position, UINT flags, UINT_PTR idNewItem, const Char* newItem);
BOOL InsertMenuItemW(HMENU menu, UINT item, BOOL byPosition, const MENUITEMINFOW* info);
BOOL SetMenuItemInfoW(HMENU menu, UINT item, BOOL byPosition, const MENUITEMINFOW* info);
BOOL GetMenuItemInfoW(HMENU menu, UINT item, BOOL byPosition, MENUITEMINFOW* info);
// Takes the item out; its sub-menu (if any) stays alive.
BOOL RemoveMenu(HMENU menu, UINT position, UINT flags);
// Takes the item out and destroys its sub-menu.
BOOL DeleteMenu(HMENU menu, UINT position, UINT flags);

int GetMenuItemCount(HMENU menu);        // -1 for a bad handle
HMENU GetSubMenu(HMENU menu, int pos);   // nullptr when the item has none
UINT GetMenuItemID(HMENU menu, int pos);  // UINT(-1) for a sub-menu item or a bad position
// MF_ flags of the item (for a sub-menu item the item count in the high byte); UINT(-1) when
// there is no such item.
UINT GetMenuState(HMENU menu, UINT id, UINT flags);
int GetMenuStringW(HMENU menu, UINT item, Char* buffer, int maxCount, UINT flags);
String GetMenuString(HMENU menu, UINT item, UINT flags);

// Both return the previous state (MF_CHECKED / MF_UNCHECKED; MF_ENABLED / MF_GRAYED /
// MF_DISABLED), or DWORD(-1) / -1 when there is no such item. An open menu shows the change.
DWORD CheckMenuItem(HMENU menu, UINT item, UINT check);
int EnableMenuItem(HMENU menu, UINT item, UINT enable);
// Checks one item of [first, last] with a radio bullet and unchecks the others.
BOOL CheckMenuRadioItem(HMENU menu, UINT first, UINT last, UINT check, UINT flags);
BOOL SetMenuDefaultItem(HMENU menu, UINT item, UINT byPos);  // UINT(-1): none
UINT GetMenuDefaultItem(HMENU menu, UINT byPos, UINT flags);

BOOL GetMenuInfo(HMENU menu, MENUINFO* info);
BOOL SetMenuInfo(HMENU menu, const MENUINFO* info);

// Item images: the menu asks the source for the image of each item it lays out and paints
// (an item's own hbmpItem comes first). Not inherited by sub-menus; nullptr removes it.
struct TMenuItemImage {
  HIMAGELIST Images = nullptr;
  int Index = -1;
};
using TMenuImageSource = std::function<TMenuItemImage(HMENU menu, UINT position, ULONG_PTR itemData)>;
BOOL SetMenuImageSource(HMENU menu, TMenuImageSource source);

// ---- Tracking -------------------------------------------------------------------------------------
// Shows `menu` at (x, y) (screen) aligned by the TPM_ flags, kept inside the work area of the
// monitor of that point: a menu that would leave it on the right or at the bottom opens to the
// other side of the point, and is then pushed inside. Returns, with TPM_RETURNCMD, the chosen
// item's id (0 when none); otherwise whether the menu could be shown. Fails for a bad menu, an
// owner that is not a window, a menu already shown, and while another menu is tracked.
// (The result is an int, as the id needs one.)
int TrackPopupMenu(HMENU menu, UINT flags, int x, int y, int reserved, HWND owner, const TRect* ignored);
int TrackPopupMenuEx(HMENU menu, UINT flags, int x, int y, HWND owner, const TPMPARAMS* params);
// Ends the menu being tracked (no command); false when none is.
BOOL EndMenu();
// The item's rectangle on the screen while its menu is shown.
BOOL GetMenuItemRect(HWND hwnd, HMENU menu, UINT item, TRect* rect);
// The position of the item at a screen point of a shown menu, -1 for none.
int MenuItemFromPoint(HWND hwnd, HMENU menu, TPoint screen);
// The menu window showing `menu`, or nullptr.
HWND MenuWindowOf(HMENU menu);
// The menu being tracked (the top-level one), or nullptr.
HMENU TrackedMenu();

// ---- Window menus -----------------------------------------------------------------------------------
// The menu bar of a top-level window (nullptr for none; child windows have none). Setting it
// recalculates the frame; the window does not own the menu.
HMENU GetMenu(HWND hwnd);
BOOL SetMenu(HWND hwnd, HMENU menu);

constexpr LONG OBJID_MENU = LONG(0xFFFFFFFD);
constexpr LONG OBJID_SYSMENU = LONG(0xFFFFFFFF);
struct MENUBARINFO {
  DWORD cbSize = sizeof(MENUBARINFO);
  TRect rcBar;               // screen coordinates
  HMENU hMenu = nullptr;
  HWND hwndMenu = nullptr;
  BOOL fBarFocused = false;  // the menu is being tracked
  BOOL fFocused = false;     // the item is the highlighted one
};
// OBJID_MENU: a window's menu bar (item 0 only); OBJID_CLIENT: a menu window "#32768" (item 0
// the window, item n its n-th item); OBJID_SYSMENU: the system-menu icon of the caption.
BOOL GetMenuBarInfo(HWND hwnd, LONG objectId, LONG item, MENUBARINFO* info);
// Sets (MF_HILITE) or clears (MF_UNHILITE) an item's highlight.
BOOL HiliteMenuItem(HWND hwnd, HMENU menu, UINT item, UINT flags);
// The window's system menu (WS_SYSMENU windows only), made on first use with the standard
// commands enabled as the style and state were then; `revert` destroys it and answers nullptr.
HMENU GetSystemMenu(HWND hwnd, BOOL revert);
// A menu bar built from an in-memory template: version 0 (WORD flags, WORD id, text; MF_POPUP
// items nest, MF_END ends a level) or 1 (the extended items). nullptr for an unknown version or
// a template nested too deeply. The template carries no size: it must be well formed.
HMENU LoadMenuIndirectW(const void* menuTemplate);

// ---- For painters of menu windows (style hooks) -------------------------------------------------------
// What a "#32768" window shows, in its client coordinates.
struct TMenuWindowItem {
  String Text;       // the caption before a tab; "&" marks the accelerator
  String ShortCut;   // the text after the tab
  TRect Rect;
  bool Separator = false;
  bool Hot = false;
  bool Disabled = false;
  bool Checked = false;
  bool RadioCheck = false;
  bool HasSubMenu = false;
  bool Default = false;
  bool OwnerDraw = false;  // drawn by the owner: DrawMenuWindowOwnerItem
  HIMAGELIST Images = nullptr;
  int ImageIndex = -1;
  HBITMAP Bitmap = nullptr;
};
// The items of a menu window; empty for any other window.
std::vector<TMenuWindowItem> GetMenuWindowItems(HWND menuWindow);
// The border the default painting leaves around the items (client coordinates).
int MenuWindowBorder(HWND menuWindow);
// Asks the owner to draw owner-drawn item `index` of the menu window into dc (WM_DRAWITEM).
void DrawMenuWindowOwnerItem(HWND menuWindow, int index, HDC dc);

}  // namespace vcl
