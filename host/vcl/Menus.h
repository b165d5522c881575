// Menus of the framework: menu items in a tree, popup (context and drop-down) menus, main menus,
// and keyboard shortcuts.
//
// The item tree. A TMenu holds a root item (Items) whose sub-items are the menu's entries; any
// item may hold sub-items of its own. Items are components owned by the form (or whoever created
// them); a parent item frees its sub-items when it is freed, and an item leaves its parent when
// it is freed. Every item has a unique command id; the system menu built from the tree (Handle)
// carries it, so a chosen command finds its item again (TMenu::DispatchCommand).
//
// Window descriptions hold menus as nested objects:
//   object PopupMenu1: TPopupMenu
//     object Exit1: TMenuItem
//       Caption = 'E&xit'
//       ShortCut = 16472
//       OnClick = Exit1Click
//     end
//   end
// RegisterMenuClasses makes the classes known to the reader (call it at start-up, before
// reading; it registers the graphics classes too).
#pragma once
#include <functional>
#include <vector>

#include "host/classes/Component.h"
#include "host/vcl/InputTypes.h"
#include "host/win/ctl/Menus.h"

namespace vcl {

class TCanvas;
class TChangeLink;
class TCustomImageList;
class TMenu;
class TMenuItem;

class EMenuError : public Exception {
 public:
  using Exception::Exception;
};

// ---- Shortcuts -----------------------------------------------------------------------------------
// A key (VK_ code in the low byte) with modifiers.
using TShortCut = WORD;
constexpr TShortCut scCommand = 0x1000;
constexpr TShortCut scShift = 0x2000;
constexpr TShortCut scCtrl = 0x4000;
constexpr TShortCut scAlt = 0x8000;
constexpr TShortCut scNone = 0;

TShortCut ShortCut(WORD key, TShiftState shift);
void ShortCutToKey(TShortCut shortCut, WORD& key, TShiftState& shift);
// "Ctrl+O", "Shift+Ctrl+S", "Alt+F4", "Del", "Num 5"; "" for no key or a key without a name.
String ShortCutToText(TShortCut shortCut);
// The reverse, ignoring case and the order of the modifiers; 0 for a text that names no key.
TShortCut TextToShortCut(StringView text);

// ---- Items -----------------------------------------------------------------------------------------
using TMenuDrawItemEvent = TEvent<void(TObject* Sender, TCanvas* ACanvas, TRect ARect, bool Selected)>;
using TAdvancedMenuDrawItemEvent =
    TEvent<void(TObject* Sender, TCanvas* ACanvas, TRect ARect, TOwnerDrawState State)>;
using TMenuMeasureItemEvent = TEvent<void(TObject* Sender, TCanvas* ACanvas, int& Width, int& Height)>;
using TMenuChangeEvent = TEvent<void(TObject* Sender, TMenuItem* Source, bool Rebuild)>;

class TMenuItem : public TComponent {
 public:
  static const TClass Class;
  const TClass* ClassType() const override { return &Class; }

  explicit TMenuItem(TComponent* owner);
  ~TMenuItem() override;

  // ---- properties ----
  // "-" makes the item a separator; "&" marks the accelerator.
  const String& Caption() const { return FCaption; }
  void SetCaption(StringView v);
  // Checking a radio item unchecks the other radio items of its group (same parent and
  // GroupIndex).
  bool Checked() const { return FChecked; }
  void SetChecked(bool v);
  bool RadioItem() const { return FRadioItem; }
  void SetRadioItem(bool v);
  int GroupIndex() const { return FGroupIndex; }
  void SetGroupIndex(int v);
  // Click toggles Checked first.
  bool AutoCheck() const { return FAutoCheck; }
  void SetAutoCheck(bool v) { FAutoCheck = v; }
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool v);
  bool Visible() const { return FVisible; }
  void SetVisible(bool v);
  // Drawn bold; at most one default item among siblings.
  bool Default() const { return FDefault; }
  void SetDefault(bool v);
  const String& Hint() const { return FHint; }
  void SetHint(StringView v) { FHint = String(v); }
  // An image of the menu's Images, -1 for none.
  int ImageIndex() const { return FImageIndex; }
  void SetImageIndex(int v);
  TShortCut ShortCut() const { return FShortCut; }
  void SetShortCut(TShortCut v);

  TNotifyEvent FOnClick;
  TMenuDrawItemEvent FOnDrawItem;
  TAdvancedMenuDrawItemEvent FOnAdvancedDrawItem;
  TMenuMeasureItemEvent FOnMeasureItem;
  const TNotifyEvent& OnClick() const { return FOnClick; }
  void SetOnClick(const TNotifyEvent& e) { FOnClick = e; }

  // ---- the tree ----
  int Count() const { return int(FItems.size()); }
  TMenuItem* Items(int index) const;  // EMenuError out of range
  // Inserting an item that already has a parent, or into itself or one of its own sub-items,
  // raises EMenuError.
  void Add(TMenuItem* item);
  void Add(std::initializer_list<TMenuItem*> items);
  void Insert(int index, TMenuItem* item);
  // Delete and Remove take the item out without freeing it; Clear frees every sub-item.
  void Delete(int index);
  void Remove(TMenuItem* item);
  void Clear();
  int IndexOf(const TMenuItem* item) const;
  // The sub-item with this caption, "&" ignored; nullptr when none.
  TMenuItem* Find(StringView caption) const;
  TMenuItem* Parent() const { return FParent; }
  int MenuIndex() const;
  void SetMenuIndex(int index);
  TMenu* GetParentMenu() const;
  bool IsLine() const { return FCaption == u"-"; }

  // Enabled items: AutoCheck, then OnClick.
  virtual void Click();
  // Owner drawing (the menu window asks through WM_MEASUREITEM and WM_DRAWITEM): the events,
  // or the caption's size and nothing drawn when none is assigned.
  virtual void MeasureItem(TCanvas* canvas, int& width, int& height);
  virtual void DrawItem(TCanvas* canvas, const TRect& rect, TOwnerDrawState state);
  bool IsOwnerDrawn() const { return bool(FOnDrawItem) || bool(FOnAdvancedDrawItem); }

  // The command id the system menu gives the item (unique in the process, 1..65535).
  WORD Command() const { return FCommand; }
  // The system menu of the sub-items (popup, or a menu bar for a main menu's root), built on
  // first use and kept up to date.
  HMENU Handle();
  bool HandleAllocated() const { return FHandle != nullptr; }

  // ---- streaming ----
  bool HasParent() const override { return true; }
  TComponent* GetParentComponent() const override;
  void SetParentComponent(TComponent* value) override;
  void GetChildren(const TGetChildProc& proc, TComponent* root) override;
  void SetChildOrder(TComponent* child, int order) override;
  void Loaded() override;

 protected:
  // A property changed: the parent's system menu and the menu's OnChange hear of it.
  void MenuChanged(bool rebuild);

 private:
  friend class TMenu;
  void TurnSiblingsOff();
  void RebuildHandle();
  void ChildrenChanged();
  bool IsAncestorOf(const TMenuItem* item) const;

  String FCaption;
  bool FChecked = false;
  bool FRadioItem = false;
  bool FAutoCheck = false;
  bool FEnabled = true;
  bool FVisible = true;
  bool FDefault = false;
  int FGroupIndex = 0;
  String FHint;
  int FImageIndex = -1;
  TShortCut FShortCut = 0;
  WORD FCommand = 0;
  std::vector<TMenuItem*> FItems;
  std::vector<TMenuItem*> FHandleItems;  // the visible sub-items, in the system menu's order
  TMenuItem* FParent = nullptr;
  TMenu* FMenu = nullptr;  // set on a menu's root item
  HMENU FHandle = nullptr;
  bool FBar = false;       // the handle is a menu bar
};

// ---- Menus -----------------------------------------------------------------------------------------
enum TFindItemKind { fkCommand, fkHandle, fkShortCut };

class TMenu : public TComponent {
 public:
  static const TClass Class;
  const TClass* ClassType() const override { return &Class; }

  explicit TMenu(TComponent* owner);
  ~TMenu() override;

  TMenuItem* Items() const { return FItems; }
  HMENU Handle() { return FItems->Handle(); }
  // The images the items' ImageIndex refers to (not owned; forgotten when freed).
  TCustomImageList* Images() const { return FImages; }
  void SetImages(TCustomImageList* v);

  TMenuChangeEvent FOnChange;
  const TMenuChangeEvent& OnChange() const { return FOnChange; }
  void SetOnChange(const TMenuChangeEvent& e) { FOnChange = e; }

  // The item with a command id, a sub-menu handle or a shortcut (visible, enabled items only for
  // shortcuts); nullptr when none.
  TMenuItem* FindItem(NativeUInt value, TFindItemKind kind) const;
  // Clicks the item with the command; false when there is none.
  bool DispatchCommand(WORD command);
  // A sub-menu is about to open: its parent item is clicked (it may fill the sub-menu).
  bool DispatchPopup(HMENU submenu);
  // A shortcut key: clicks the enabled item (whose parents are all enabled and visible) with it.
  bool IsShortCut(WORD key, TShiftState shift);
  // The menu messages a window receives for this menu (WM_INITMENUPOPUP, WM_MEASUREITEM,
  // WM_DRAWITEM, WM_MENUSELECT, WM_COMMAND from a menu): true when handled, result set.
  bool ProcessMenuMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);

  void GetChildren(const TGetChildProc& proc, TComponent* root) override;
  void SetChildOrder(TComponent* child, int order) override;
  void Loaded() override;

 protected:
  void Notification(TComponent* component, TOperation operation) override;
  // Any change in the tree (rebuild: items were added, removed or shown/hidden).
  virtual void MenuChanged(TMenuItem* source, bool rebuild);
  bool IsBar() const { return FBar; }
  void SetBar(bool v);

 private:
  friend class TMenuItem;
  void ImageListChange(TObject* sender);

  TMenuItem* FItems;
  TCustomImageList* FImages = nullptr;
  TChangeLink* FImageChangeLink;
  bool FBar = false;
};

enum TPopupAlignment { paLeft, paRight, paCenter };
constexpr TEnumNames EnumNames(TPopupAlignment) { return {u"TPopupAlignment", u"paLeft paRight paCenter"}; }
enum TTrackButton { tbRightButton, tbLeftButton };
constexpr TEnumNames EnumNames(TTrackButton) { return {u"TTrackButton", u"tbRightButton tbLeftButton"}; }

// A context or drop-down menu. Popup shows it modally (the owner window keeps focus and
// activation) and returns once it closed and the chosen item's OnClick has run.
class TPopupMenu : public TMenu {
 public:
  static const TClass Class;
  const TClass* ClassType() const override { return &Class; }

  explicit TPopupMenu(TComponent* owner);
  ~TPopupMenu() override;

  // Shows the menu at a screen point: OnPopup, the menu (aligned by Alignment), OnClose, then
  // the chosen item's Click. Nothing is shown for a menu without visible items (OnPopup and
  // OnClose still run). Popping up a menu that is already open does nothing.
  virtual void Popup(int X, int Y);
  TPoint PopupPoint() const { return FPopupPoint; }

  TPopupAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TPopupAlignment v) { FAlignment = v; }
  // Whether a control's context-menu request shows it (ShowControlPopupMenu).
  bool AutoPopup() const { return FAutoPopup; }
  void SetAutoPopup(bool v) { FAutoPopup = v; }
  TTrackButton TrackButton() const { return FTrackButton; }
  void SetTrackButton(TTrackButton v) { FTrackButton = v; }
  // The component the menu was last popped up for (forgotten when it is freed).
  TComponent* PopupComponent() const { return FPopupComponent; }
  void SetPopupComponent(TComponent* v);

  TNotifyEvent FOnPopup;
  TNotifyEvent FOnClose;

 protected:
  void Notification(TComponent* component, TOperation operation) override;
  virtual void DoPopup(TObject* sender);
  virtual void DoClose();

 private:
  TPoint FPopupPoint;
  TPopupAlignment FAlignment = paLeft;
  bool FAutoPopup = true;
  TTrackButton FTrackButton = tbRightButton;
  TComponent* FPopupComponent = nullptr;
  bool FTracking = false;
};

// A form's main menu: the items a menu bar shows (the styled menu bar draws them), with a menu
// bar as its handle.
class TMainMenu : public TMenu {
 public:
  static const TClass Class;
  const TClass* ClassType() const override { return &Class; }
  explicit TMainMenu(TComponent* owner);
};

// A control's context-menu request: pops the menu up at the screen point for popupComponent
// when the menu's AutoPopup is set. Returns whether it was shown.
bool ShowControlPopupMenu(TPopupMenu* menu, TComponent* popupComponent, TPoint screenPt);

// What a highlighted menu item's hint goes to (the application's hint, once there is one);
// called with the item, or nullptr when the menu closes.
using TMenuHintProc = std::function<void(TMenuItem* item)>;
void SetMenuHintProc(TMenuHintProc proc);

// Registers TMenuItem, TPopupMenu and TMainMenu (and the graphics classes) with the class
// registry; later calls do nothing.
void RegisterMenuClasses();

}  // namespace vcl
