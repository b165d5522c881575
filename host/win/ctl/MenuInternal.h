// Internal structures of menus, shared by the menu sources only.
#pragma once
#include <memory>
#include <vector>

#include "host/win/ctl/Menus.h"

namespace vcl {

namespace menus {

struct Item {
  UINT Type = MFT_STRING;  // MFT_ bits
  UINT State = 0;          // MFS_ bits
  UINT Id = 0;
  HMENU SubMenu = nullptr;
  HBITMAP CheckedBitmap = nullptr;
  HBITMAP UncheckedBitmap = nullptr;
  ULONG_PTR Data = 0;
  String Text;
  HBITMAP Bitmap = nullptr;

  bool Separator() const { return (Type & MFT_SEPARATOR) != 0; }
  bool Disabled() const { return (State & MFS_DISABLED) != 0; }
  bool Grayed() const { return (State & MF_GRAYED) != 0; }
  bool OwnerDraw() const { return (Type & MFT_OWNERDRAW) != 0; }
};

struct Level;

}  // namespace menus

struct MenuObject {
  bool Bar = false;  // CreateMenu rather than CreatePopupMenu
  std::vector<menus::Item> Items;
  DWORD Style = 0;
  UINT MaxHeight = 0;
  HBRUSH Background = nullptr;
  DWORD HelpId = 0;
  ULONG_PTR Data = 0;
  TMenuImageSource Images;
  menus::Level* Shown = nullptr;  // the open menu window showing it
};

namespace menus {

MenuObject* LiveMenu(HMENU menu);  // nullptr for destroyed or made-up handles
// The item addressed by command (searching sub-menus; *owner receives the menu holding it) or
// by position; nullptr when absent.
Item* FindItem(MenuObject* menu, UINT item, bool byPosition, MenuObject** owner = nullptr, int* pos = nullptr);
// The accelerator character of a caption ("&x"; "&&" is a literal ampersand), 0 for none.
Char Accelerator(const String& text);
// Case-insensitive comparison of single characters (ASCII, Latin-1, Greek, Cyrillic).
Char FoldChar(Char c);
// An open menu window shows the change (relayout, repaint).
void MenuChanged(MenuObject* menu);

// One open menu window of the menu being tracked.
struct Level {
  HMENU Menu = nullptr;
  HWND Window = nullptr;
  HWND Owner = nullptr;
  int Index = 0;        // 0 for the top-level menu
  int ParentItem = -1;  // the item of the level below whose sub-menu this is
  int Hot = -1;
  UINT Dpi = 96;
  bool Notify = true;
  bool ShowAccel = false;
  // Layout (client coordinates) and metrics at Dpi.
  std::vector<TRect> Rects;
  std::vector<TMenuItemImage> Images;
  TSize Size;
  int Border = 3;
  int Gutter = 28;
  int TextLeft = 32;
  int ArrowWidth = 20;
  int ShortcutRight = 0;  // right edge of the shortcut column (client coordinates)
  HFONT Font = nullptr;
  HFONT BoldFont = nullptr;
};

// Layout of a level: sends WM_MEASUREITEM for owner-drawn items; sets Rects and Size.
void LayoutLevel(Level& level);
// Default painting of a level's window.
void PaintLevel(Level& level, HDC dc);
// Invalidates one item of a level's window.
void InvalidateItem(Level& level, int index);
// The level showing a menu window, or nullptr.
Level* LevelOfWindow(HWND hwnd);
void RegisterLevelWindow(Level& level);
void UnregisterLevelWindow(Level& level);
// The item of a level at a point in its client coordinates, -1 for none.
int ItemAt(const Level& level, TPoint client);
// Called by the menu window procedure.
void TrackerOnTimer(Level& level, UINT_PTR id);
void TrackerCancel();
void TrackerSelect(Level& level, int index);
void TrackerMouseAtCursor();
void TrackerCaptureLost(HWND hwnd);

constexpr UINT_PTR kHoverTimer = 1;

}  // namespace menus

}  // namespace vcl
