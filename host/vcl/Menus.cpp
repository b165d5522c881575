// Menu items and menus: the item tree, its system menus, commands and shortcuts, owner drawing,
// menu messages, and the published properties.
#include "host/vcl/Menus.h"

#include <algorithm>
#include <bitset>
#include <map>
#include <unordered_set>

#include "host/classes/TypInfo.h"
#include "host/graphics/Canvas.h"
#include "host/graphics/GraphicsObjects.h"
#include "host/graphics/ImgList.h"
#include "host/rtl/NumFormat.h"
#include "host/vcl/Controls.h"
#include "host/vcl/MenuInternal.h"

namespace vcl {

namespace menuimpl {

namespace {

std::unordered_set<const void*>& LiveItems() {
  static auto* set = new std::unordered_set<const void*>;
  return *set;
}

// Command ids in use; 0 is never given out.
std::bitset<65536>& Commands() {
  static auto* used = new std::bitset<65536>;
  return *used;
}

WORD NewCommand() {
  auto& used = Commands();
  static unsigned next = 1;
  for (unsigned k = 0; k < 65535; ++k) {
    unsigned c = (next + k - 1) % 65535 + 1;
    if (!used[c]) {
      used[c] = true;
      next = c % 65535 + 1;
      return WORD(c);
    }
  }
  throw EMenuError("Out of menu command ids: more than 65535 menu items exist");
}

TMenuHintProc& HintProc() {
  static TMenuHintProc proc;
  return proc;
}

}  // namespace

bool IsLiveItem(const void* p) { return p && LiveItems().count(p) != 0; }

HFONT MenuFont(UINT dpi) {
  static auto* cache = new std::map<UINT, HFONT>;  // process lifetime
  auto it = cache->find(dpi);
  if (it != cache->end()) return it->second;
  NONCLIENTMETRICSW m;
  SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof m, &m, 0, dpi);
  HFONT f = CreateFontIndirectW(m.lfMenuFont);
  cache->emplace(dpi, f);
  return f;
}

void ShowHint(TMenuItem* item) {
  if (HintProc()) HintProc()(item);
}

}  // namespace menuimpl

void SetMenuHintProc(TMenuHintProc proc) { menuimpl::HintProc() = std::move(proc); }

// ---- TMenuItem ---------------------------------------------------------------------------------------

TMenuItem::TMenuItem(TComponent* owner) : TComponent(owner) {
  FCommand = menuimpl::NewCommand();
  menuimpl::LiveItems().insert(this);
}

TMenuItem::~TMenuItem() {
  menuimpl::LiveItems().erase(this);
  if (FParent) FParent->Remove(this);
  while (!FItems.empty()) delete FItems.back();  // each leaves this item on the way
  if (FHandle) {
    // The sub-menus belong to the sub-items, which are gone: only this menu is left. (A menu
    // still shown is refused by DestroyMenu and left empty, without this item's image source.)
    SetMenuImageSource(FHandle, nullptr);
    while (GetMenuItemCount(FHandle) > 0) RemoveMenu(FHandle, 0, MF_BYPOSITION);
    DestroyMenu(FHandle);
  }
  menuimpl::Commands()[FCommand] = false;
}

TMenuItem* TMenuItem::Items(int index) const {
  if (index < 0 || index >= Count())
    throw EMenuError(u"Menu index out of range: " + IntToStr(index) + u" in " +
                     (Name().empty() ? String(u"a menu item") : Name()) + u" with " + IntToStr(Count()) +
                     u" sub-items");
  return FItems[size_t(index)];
}

bool TMenuItem::IsAncestorOf(const TMenuItem* item) const {
  for (const TMenuItem* p = item; p; p = p->FParent)
    if (p == this) return true;
  return false;
}

void TMenuItem::Add(TMenuItem* item) { Insert(Count(), item); }

void TMenuItem::Add(std::initializer_list<TMenuItem*> items) {
  for (TMenuItem* i : items) Add(i);
}

void TMenuItem::Insert(int index, TMenuItem* item) {
  if (!item) throw EMenuError("A menu item to insert is missing");
  auto name = [](const TMenuItem* i) { return i->Name().empty() ? String(u"a menu item") : i->Name(); };
  if (item->FParent) throw EMenuError(u"Menu item " + name(item) + u" is inserted twice");
  if (item->FMenu) throw EMenuError(u"The root items of a menu cannot be inserted into another item");
  if (item->IsAncestorOf(this)) throw EMenuError(u"Menu item " + name(item) + u" cannot be inserted into itself");
  if (index < 0 || index > Count())
    throw EMenuError(u"Menu index out of range: " + IntToStr(index) + u" in " + name(this));
  FItems.insert(FItems.begin() + index, item);
  item->FParent = this;
  if (item->FChecked && item->FRadioItem) item->TurnSiblingsOff();
  ChildrenChanged();
}

void TMenuItem::Delete(int index) {
  TMenuItem* item = Items(index);
  FItems.erase(FItems.begin() + index);
  item->FParent = nullptr;
  ChildrenChanged();
}

void TMenuItem::Remove(TMenuItem* item) {
  int i = IndexOf(item);
  if (i < 0) throw EMenuError(u"The menu item to remove is not a sub-item of " + (Name().empty() ? String(u"this item") : Name()));
  Delete(i);
}

void TMenuItem::Clear() {
  while (!FItems.empty()) delete FItems.back();
}

int TMenuItem::IndexOf(const TMenuItem* item) const {
  auto it = std::find(FItems.begin(), FItems.end(), item);
  return it == FItems.end() ? -1 : int(it - FItems.begin());
}

TMenuItem* TMenuItem::Find(StringView caption) const {
  String want = StripHotkey(caption);
  for (TMenuItem* i : FItems)
    if (detail::SameTextIgnoreCase(StripHotkey(i->FCaption), want)) return i;
  return nullptr;
}

int TMenuItem::MenuIndex() const { return FParent ? FParent->IndexOf(this) : -1; }

void TMenuItem::SetMenuIndex(int index) {
  if (!FParent) return;
  TMenuItem* p = FParent;
  int cur = p->IndexOf(this);
  index = std::clamp(index, 0, p->Count() - 1);
  if (cur == index) return;
  p->FItems.erase(p->FItems.begin() + cur);
  p->FItems.insert(p->FItems.begin() + index, this);
  p->ChildrenChanged();
}

TMenu* TMenuItem::GetParentMenu() const {
  const TMenuItem* i = this;
  while (i->FParent) i = i->FParent;
  return i->FMenu;
}

// ---- properties ----

void TMenuItem::SetCaption(StringView v) {
  if (FCaption == v) return;
  bool wasLine = IsLine();
  FCaption = String(v);
  MenuChanged(wasLine != IsLine());
}

void TMenuItem::TurnSiblingsOff() {
  if (!FParent) return;
  for (TMenuItem* s : FParent->FItems)
    if (s != this && s->FRadioItem && s->FGroupIndex == FGroupIndex && s->FChecked) {
      s->FChecked = false;
      s->MenuChanged(false);
    }
}

void TMenuItem::SetChecked(bool v) {
  if (FChecked == v) return;
  FChecked = v;
  if (v && FRadioItem) TurnSiblingsOff();
  MenuChanged(false);
}

void TMenuItem::SetRadioItem(bool v) {
  if (FRadioItem == v) return;
  FRadioItem = v;
  if (FChecked && FRadioItem) TurnSiblingsOff();
  MenuChanged(false);
}

void TMenuItem::SetGroupIndex(int v) {
  if (FGroupIndex == v) return;
  FGroupIndex = v;
  if (FChecked && FRadioItem) TurnSiblingsOff();
  MenuChanged(false);
}

void TMenuItem::SetEnabled(bool v) {
  if (FEnabled == v) return;
  FEnabled = v;
  MenuChanged(false);
}

void TMenuItem::SetVisible(bool v) {
  if (FVisible == v) return;
  FVisible = v;
  MenuChanged(true);
}

void TMenuItem::SetDefault(bool v) {
  if (FDefault == v) return;
  FDefault = v;
  if (v && FParent)
    for (TMenuItem* s : FParent->FItems)
      if (s != this && s->FDefault) {
        s->FDefault = false;
        s->MenuChanged(false);
      }
  MenuChanged(false);
}

void TMenuItem::SetImageIndex(int v) {
  if (FImageIndex == v) return;
  FImageIndex = v;
  MenuChanged(false);
}

void TMenuItem::SetShortCut(TShortCut v) {
  if (FShortCut == v) return;
  FShortCut = v;
  MenuChanged(false);
}

// ---- changes and the system menu ----

void TMenuItem::MenuChanged(bool rebuild) {
  if (ComponentState().Contains(csLoading) || ComponentState().Contains(csDestroying)) return;
  if (FParent && FParent->FHandle) FParent->RebuildHandle();
  if (TMenu* m = GetParentMenu()) m->MenuChanged(this, rebuild);
}

void TMenuItem::ChildrenChanged() {
  if (ComponentState().Contains(csDestroying)) return;
  if (FHandle && !ComponentState().Contains(csLoading)) RebuildHandle();
  // An item that gains or loses its first sub-item changes its parent's entry as well.
  if (FParent && FParent->FHandle && !ComponentState().Contains(csLoading)) FParent->RebuildHandle();
  if (ComponentState().Contains(csLoading)) return;
  if (TMenu* m = GetParentMenu()) m->MenuChanged(this, true);
}

HMENU TMenuItem::Handle() {
  bool bar = !FParent && FMenu && FMenu->IsBar();
  if (FHandle && bar != FBar) {
    SetMenuImageSource(FHandle, nullptr);
    while (GetMenuItemCount(FHandle) > 0) RemoveMenu(FHandle, 0, MF_BYPOSITION);
    DestroyMenu(FHandle);
    FHandle = nullptr;
  }
  if (!FHandle) {
    FBar = bar;
    FHandle = bar ? CreateMenu() : CreatePopupMenu();
    // The images come from the menu's list, by the items' current ImageIndex.
    SetMenuImageSource(FHandle, [this](HMENU, UINT, ULONG_PTR data) {
      TMenuItemImage r;
      auto* item = reinterpret_cast<TMenuItem*>(data);
      TMenu* menu = GetParentMenu();
      if (!menuimpl::IsLiveItem(item) || item->FParent != this || !menu || !menu->Images()) return r;
      TCustomImageList* images = menu->Images();
      if (item->FImageIndex < 0 || item->FImageIndex >= images->Count()) return r;
      r.Images = images->Handle();
      r.Index = item->FImageIndex;
      return r;
    });
    RebuildHandle();
  }
  return FHandle;
}

void TMenuItem::RebuildHandle() {
  if (!FHandle) return;
  // The sub-menus stay theirs: they are taken out, not destroyed.
  while (GetMenuItemCount(FHandle) > 0) RemoveMenu(FHandle, 0, MF_BYPOSITION);
  FHandleItems.clear();
  for (TMenuItem* i : FItems) {
    if (!i->FVisible) continue;
    MENUITEMINFOW mi;
    mi.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_DATA | MIIM_STRING;
    String text = i->FCaption;
    if (i->IsLine()) {
      mi.fType = MFT_SEPARATOR;
      text.clear();
    } else {
      if (i->FRadioItem) mi.fType |= MFT_RADIOCHECK;
      if (i->IsOwnerDrawn()) mi.fType |= MFT_OWNERDRAW;
      if (i->FShortCut) text += u"\t" + ShortCutToText(i->FShortCut);
    }
    if (i->FChecked) mi.fState |= MFS_CHECKED;
    if (!i->FEnabled) mi.fState |= MFS_GRAYED;
    if (i->FDefault) mi.fState |= MFS_DEFAULT;
    mi.wID = i->FCommand;
    mi.dwItemData = reinterpret_cast<ULONG_PTR>(i);
    mi.dwTypeData = text.data();
    if (!i->FItems.empty() && !i->IsLine()) {
      mi.fMask |= MIIM_SUBMENU;
      mi.hSubMenu = i->Handle();
    }
    InsertMenuItemW(FHandle, UINT(-1), true, &mi);
    FHandleItems.push_back(i);
  }
}

void TMenuItem::Click() {
  if (!FEnabled) return;
  if (FAutoCheck) SetChecked(!FChecked);
  FOnClick(this);
}

void TMenuItem::MeasureItem(TCanvas* canvas, int& width, int& height) {
  if (FOnMeasureItem) {
    FOnMeasureItem(this, canvas, width, height);
    return;
  }
  String text = StripHotkey(FCaption);
  width = canvas->TextWidth(text.empty() ? String(u" ") : text) + 32;
  height = std::max(height, canvas->TextHeight(u"Wg") + 6);
}

void TMenuItem::DrawItem(TCanvas* canvas, const TRect& rect, TOwnerDrawState state) {
  if (FOnAdvancedDrawItem) FOnAdvancedDrawItem(this, canvas, rect, state);
  else if (FOnDrawItem) FOnDrawItem(this, canvas, rect, state.Contains(odSelected));
}

// ---- streaming ----

TComponent* TMenuItem::GetParentComponent() const {
  if (FParent && FParent->FMenu) return FParent->FMenu;
  return FParent;
}

void TMenuItem::SetParentComponent(TComponent* value) {
  if (FParent) FParent->Remove(this);
  if (!value) return;
  if (auto* m = dynamic_cast<TMenu*>(value)) m->Items()->Add(this);
  else if (auto* i = dynamic_cast<TMenuItem*>(value)) i->Add(this);
  else
    throw EMenuError(u"Menu item " + (Name().empty() ? String(u"(unnamed)") : Name()) + u" cannot be placed in " +
                     String(value->ClassName()) + u" " + value->Name() + u": menu items go into menus or items");
}

void TMenuItem::GetChildren(const TGetChildProc& proc, TComponent*) {
  for (TMenuItem* i : std::vector<TMenuItem*>(FItems)) proc(i);
}

void TMenuItem::SetChildOrder(TComponent* child, int order) {
  auto* i = dynamic_cast<TMenuItem*>(child);
  if (i && i->FParent == this) i->SetMenuIndex(order);
}

void TMenuItem::Loaded() {
  TComponent::Loaded();
  if (FChecked && FRadioItem) TurnSiblingsOff();
  if (FParent && FParent->FHandle) FParent->RebuildHandle();
}

// ---- TMenu -------------------------------------------------------------------------------------------

TMenu::TMenu(TComponent* owner) : TComponent(owner) {
  FItems = new TMenuItem(nullptr);
  FItems->FMenu = this;
  FImageChangeLink = new TChangeLink;
  FImageChangeLink->SetOnChange(TNotifyEvent(this, &TMenu::ImageListChange));
}

TMenu::~TMenu() {
  SetImages(nullptr);
  delete FImageChangeLink;
  TMenuItem* items = FItems;
  items->FMenu = nullptr;
  delete items;
}

void TMenu::SetBar(bool v) { FBar = v; }

void TMenu::SetImages(TCustomImageList* v) {
  if (FImages == v) return;
  if (FImages) {
    FImages->UnRegisterChanges(FImageChangeLink);
    FImages->RemoveFreeNotification(this);
  }
  FImages = v;
  if (FImages) {
    FImages->RegisterChanges(FImageChangeLink);
    FImages->FreeNotification(this);
  }
  ImageListChange(nullptr);
}

void TMenu::ImageListChange(TObject*) {
  if (ComponentState().Contains(csLoading) || ComponentState().Contains(csDestroying)) return;
  // Open menu windows ask for their images again.
  std::vector<TMenuItem*> stack{FItems};
  while (!stack.empty()) {
    TMenuItem* i = stack.back();
    stack.pop_back();
    if (i->FHandle) i->RebuildHandle();
    for (TMenuItem* c : i->FItems) stack.push_back(c);
  }
  MenuChanged(nullptr, false);
}

void TMenu::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation == opRemove && component == FImages) {
    FImages = nullptr;
    ImageListChange(nullptr);
  }
}

void TMenu::MenuChanged(TMenuItem* source, bool rebuild) {
  if (ComponentState().Contains(csLoading) || ComponentState().Contains(csDestroying)) return;
  FOnChange(this, source, rebuild);
}

TMenuItem* TMenu::FindItem(NativeUInt value, TFindItemKind kind) const {
  std::vector<TMenuItem*> stack(FItems->FItems.rbegin(), FItems->FItems.rend());
  if (kind == fkHandle && FItems->FHandle == reinterpret_cast<HMENU>(value)) return FItems;
  while (!stack.empty()) {
    TMenuItem* i = stack.back();
    stack.pop_back();
    switch (kind) {
      case fkCommand:
        if (i->FCommand == value) return i;
        break;
      case fkHandle:
        if (i->FHandle && i->FHandle == reinterpret_cast<HMENU>(value)) return i;
        break;
      case fkShortCut:
        if (i->FShortCut && i->FShortCut == value) return i;
        break;
    }
    for (auto it = i->FItems.rbegin(); it != i->FItems.rend(); ++it) stack.push_back(*it);
  }
  return nullptr;
}

bool TMenu::DispatchCommand(WORD command) {
  TMenuItem* i = FindItem(command, fkCommand);
  if (!i) return false;
  i->Click();
  return true;
}

bool TMenu::DispatchPopup(HMENU submenu) {
  TMenuItem* i = FindItem(reinterpret_cast<NativeUInt>(submenu), fkHandle);
  if (!i) return false;
  i->Click();
  // Whatever the click changed is in the system menu before it is measured.
  if (menuimpl::IsLiveItem(i) && i->FHandle) i->RebuildHandle();
  return true;
}

bool TMenu::IsShortCut(WORD key, TShiftState shift) {
  TShortCut sc = ShortCut(key, shift);
  if (!sc || !(sc & 0xFF)) return false;
  std::vector<TMenuItem*> stack(FItems->FItems.rbegin(), FItems->FItems.rend());
  while (!stack.empty()) {
    TMenuItem* i = stack.back();
    stack.pop_back();
    if (!i->FVisible || !i->FEnabled) continue;  // nor anything below it
    if (i->FShortCut == sc) {
      i->Click();
      return true;
    }
    for (auto it = i->FItems.rbegin(); it != i->FItems.rend(); ++it) stack.push_back(*it);
  }
  return false;
}

bool TMenu::ProcessMenuMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
  switch (msg) {
    case WM_INITMENUPOPUP:
      if (DispatchPopup(reinterpret_cast<HMENU>(wp))) {
        result = 0;
        return true;
      }
      return false;
    case WM_COMMAND:
      if (HIWORD(wp) == 0 && lp == 0 && DispatchCommand(LOWORD(wp))) {
        result = 0;
        return true;
      }
      return false;
    case WM_MENUSELECT: {
      if (HIWORD(wp) == 0xFFFF && lp == 0) {  // the menu closed
        menuimpl::ShowHint(nullptr);
        result = 0;
        return true;
      }
      auto* h = reinterpret_cast<HMENU>(lp);
      TMenuItem* owner = FindItem(reinterpret_cast<NativeUInt>(h), fkHandle);
      if (!owner) return false;
      TMenuItem* item = nullptr;
      if (HIWORD(wp) & MF_POPUP) {
        int pos = LOWORD(wp);
        if (pos >= 0 && size_t(pos) < owner->FHandleItems.size()) item = owner->FHandleItems[size_t(pos)];
      } else {
        item = FindItem(LOWORD(wp), fkCommand);
      }
      menuimpl::ShowHint(item);
      result = 0;
      return true;
    }
    case WM_MEASUREITEM: {
      auto* mi = reinterpret_cast<MEASUREITEMSTRUCT*>(lp);
      if (!mi || mi->CtlType != ODT_MENU || !menuimpl::IsLiveItem(reinterpret_cast<void*>(mi->itemData))) return false;
      auto* item = reinterpret_cast<TMenuItem*>(mi->itemData);
      if (item->GetParentMenu() != this) return false;
      HDC dc = CreateCompatibleDC(nullptr);
      TCanvas canvas;
      canvas.SetHandle(dc);
      canvas.Font()->SetHandle(menuimpl::MenuFont(GetDpiForSystem()));
      int w = int(mi->itemWidth), h = int(mi->itemHeight);
      item->MeasureItem(&canvas, w, h);
      canvas.SetHandle(nullptr);
      DeleteDC(dc);
      mi->itemWidth = UINT(std::max(0, w));
      mi->itemHeight = UINT(std::max(1, h));
      result = 1;
      return true;
    }
    case WM_DRAWITEM: {
      auto* d = reinterpret_cast<DRAWITEMSTRUCT*>(lp);
      if (!d || d->CtlType != ODT_MENU || !menuimpl::IsLiveItem(reinterpret_cast<void*>(d->itemData))) return false;
      auto* item = reinterpret_cast<TMenuItem*>(d->itemData);
      if (item->GetParentMenu() != this) return false;
      TOwnerDrawState state;
      if (d->itemState & ODS_SELECTED) state.Include(odSelected);
      if (d->itemState & ODS_GRAYED) state.Include(odGrayed);
      if (d->itemState & ODS_DISABLED) state.Include(odDisabled);
      if (d->itemState & ODS_CHECKED) state.Include(odChecked);
      if (d->itemState & ODS_DEFAULT) state.Include(odDefault);
      if (d->itemState & ODS_NOACCEL) state.Include(odNoAccel);
      TCanvas canvas;
      canvas.SetHandle(d->hDC);
      canvas.Font()->SetHandle(menuimpl::MenuFont(GetDpiForSystem()));
      item->DrawItem(&canvas, d->rcItem, state);
      canvas.SetHandle(nullptr);
      result = 1;
      return true;
    }
    default: return false;
  }
}

void TMenu::GetChildren(const TGetChildProc& proc, TComponent* root) { FItems->GetChildren(proc, root); }

void TMenu::SetChildOrder(TComponent* child, int order) { FItems->SetChildOrder(child, order); }

void TMenu::Loaded() {
  TComponent::Loaded();
  if (FItems->FHandle) FItems->RebuildHandle();
}

TMainMenu::TMainMenu(TComponent* owner) : TMenu(owner) { SetBar(true); }

// ---- published properties -----------------------------------------------------------------------------

const TClass TMenuItem::Class = TClass::Define<TMenuItem, TComponent>(u"TMenuItem", [](auto& c) {
  c.Property(u"AutoCheck", &TMenuItem::AutoCheck, &TMenuItem::SetAutoCheck).Default(false);
  c.Property(u"Caption", &TMenuItem::Caption, &TMenuItem::SetCaption);
  c.Property(u"Checked", &TMenuItem::Checked, &TMenuItem::SetChecked).Default(false);
  c.Property(u"Default", &TMenuItem::Default, &TMenuItem::SetDefault).Default(false);
  c.Property(u"Enabled", &TMenuItem::Enabled, &TMenuItem::SetEnabled).Default(true);
  c.Property(u"GroupIndex", &TMenuItem::GroupIndex, &TMenuItem::SetGroupIndex).Default(0);
  c.Property(u"Hint", &TMenuItem::Hint, &TMenuItem::SetHint);
  c.Property(u"ImageIndex", &TMenuItem::ImageIndex, &TMenuItem::SetImageIndex).Default(-1);
  c.Property(u"RadioItem", &TMenuItem::RadioItem, &TMenuItem::SetRadioItem).Default(false);
  c.Property(u"ShortCut", [](const TMenuItem& i) { return int(i.ShortCut()); },
             [](TMenuItem& i, int v) {
               if (v < 0 || v > 0xFFFF)
                 throw EMenuError(u"ShortCut value " + IntToStr(v) + u" of " + i.Name() + u" is out of range (0..65535)");
               i.SetShortCut(TShortCut(v));
             })
      .Default(0);
  c.Property(u"Visible", &TMenuItem::Visible, &TMenuItem::SetVisible).Default(true);
  c.Property(u"OnClick", &TMenuItem::FOnClick);
  c.Property(u"OnDrawItem", &TMenuItem::FOnDrawItem);
  c.Property(u"OnAdvancedDrawItem", &TMenuItem::FOnAdvancedDrawItem);
  c.Property(u"OnMeasureItem", &TMenuItem::FOnMeasureItem);
});

const TClass TMenu::Class = TClass::Define<TMenu, TComponent>(u"TMenu", [](auto& c) {
  c.Property(u"Images", &TMenu::Images, &TMenu::SetImages);
  c.Property(u"OnChange", &TMenu::FOnChange);
});

const TClass TPopupMenu::Class = TClass::Define<TPopupMenu, TMenu>(u"TPopupMenu", [](auto& c) {
  c.Property(u"Alignment", &TPopupMenu::Alignment, &TPopupMenu::SetAlignment).Default(paLeft);
  c.Property(u"AutoPopup", &TPopupMenu::AutoPopup, &TPopupMenu::SetAutoPopup).Default(true);
  c.Property(u"TrackButton", &TPopupMenu::TrackButton, &TPopupMenu::SetTrackButton).Default(tbRightButton);
  c.Property(u"OnPopup", &TPopupMenu::FOnPopup);
  c.Property(u"OnClose", &TPopupMenu::FOnClose);
});

const TClass TMainMenu::Class = TClass::Define<TMainMenu, TMenu>(u"TMainMenu");

void RegisterMenuClasses() {
  static const bool done = [] {
    RegisterGraphicsClasses();
    RegisterClasses({&TMenuItem::Class, &TPopupMenu::Class, &TMainMenu::Class});
    // A control's context-menu request shows its popup menu.
    SetPopupMenuHandler([](TControl* control, TComponent* menu, TPoint screenPos) {
      return ShowControlPopupMenu(dynamic_cast<TPopupMenu*>(menu), control, screenPos);
    });
    return true;
  }();
  (void)done;
}

}  // namespace vcl
