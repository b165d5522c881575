// Menu handles and their items: creation, insertion, changes, queries and destruction.
#include <algorithm>
#include <cstddef>
#include <cstring>
#include <unordered_set>

#include "host/win/PlatformFacts.h"
#include "host/win/ctl/MenuInternal.h"

namespace vcl {

namespace menus {

namespace {

std::unordered_set<MenuObject*>& Menus() {
  static auto* set = new std::unordered_set<MenuObject*>;  // process lifetime, like the handles
  return *set;
}

// Whether `inner` is `outer` or lies somewhere below it.
bool Contains(MenuObject* outer, MenuObject* inner, int depth = 0) {
  if (!outer || depth > 64) return false;
  if (outer == inner) return true;
  for (const Item& it : outer->Items)
    if (Contains(LiveMenu(it.SubMenu), inner, depth + 1)) return true;
  return false;
}

// Whether a live menu already holds `sub` as a sub-menu.
bool IsSubMenuSomewhere(MenuObject* sub, const Item* except = nullptr) {
  for (MenuObject* m : Menus())
    for (const Item& it : m->Items)
      if (&it != except && it.SubMenu == reinterpret_cast<HMENU>(sub)) return true;
  return false;
}

// A sub-menu may go into `menu` (in place of the item `replacing`, if any): it must be a live
// menu, not in another place, and not contain `menu`.
bool SubMenuAllowed(MenuObject* menu, HMENU sub, const Item* replacing = nullptr) {
  if (!sub) return true;
  MenuObject* s = LiveMenu(sub);
  if (!s) return false;
  if (replacing && replacing->SubMenu == sub) return true;
  if (IsSubMenuSomewhere(s, replacing)) return false;
  return !Contains(s, menu);
}

void DestroyTree(MenuObject* m, int depth) {
  if (!m || depth > 64) return;
  Menus().erase(m);
  for (Item& it : m->Items) {
    MenuObject* sub = LiveMenu(it.SubMenu);
    if (sub && !sub->Shown) DestroyTree(sub, depth + 1);
  }
  delete m;
}

bool AnyShown(MenuObject* m, int depth = 0) {
  if (!m || depth > 64) return false;
  if (m->Shown) return true;
  for (const Item& it : m->Items)
    if (AnyShown(LiveMenu(it.SubMenu), depth + 1)) return true;
  return false;
}

// An item from the AppendMenuW / InsertMenuW / ModifyMenuW arguments; false when they are
// unusable.
bool ItemFromFlags(MenuObject* menu, UINT flags, UINT_PTR id, const Char* newItem, Item& out,
                   const Item* replacing = nullptr) {
  Item it;
  if (flags & MF_SEPARATOR) {
    it.Type = MFT_SEPARATOR;
  } else if (flags & MF_OWNERDRAW) {
    it.Type = MFT_OWNERDRAW;
    it.Data = reinterpret_cast<ULONG_PTR>(newItem);
  } else if (flags & MF_BITMAP) {
    it.Type = MFT_BITMAP;
    it.Bitmap = reinterpret_cast<HBITMAP>(const_cast<Char*>(newItem));
  } else if (newItem) {
    it.Text = newItem;
  }
  it.Type |= flags & (MF_MENUBARBREAK | MF_MENUBREAK | MF_RIGHTJUSTIFY);
  // MF_DEFAULT is only given by SetMenuDefaultItem (or item information); separators are grayed.
  it.State = flags & (MF_GRAYED | MF_DISABLED | MF_CHECKED | MF_HILITE);
  if (flags & MF_SEPARATOR) it.State |= MF_GRAYED | MF_DISABLED;
  if (replacing) {
    // A modified item keeps what the flags do not describe.
    it.State |= replacing->State & MFS_DEFAULT;
    if (!(flags & MF_OWNERDRAW)) it.Data = replacing->Data;
    it.CheckedBitmap = replacing->CheckedBitmap;
    it.UncheckedBitmap = replacing->UncheckedBitmap;
    if (!(flags & (MF_BITMAP | MF_SEPARATOR | MF_OWNERDRAW)) && !(replacing->Type & MFT_BITMAP))
      it.Bitmap = replacing->Bitmap;
  }
  if (flags & MF_POPUP) {
    HMENU sub = reinterpret_cast<HMENU>(id);
    if (!SubMenuAllowed(menu, sub, replacing)) return false;
    it.SubMenu = sub;
    it.Id = UINT(id);
  } else {
    it.Id = UINT(id);
  }
  out = std::move(it);
  return true;
}

void Apply(MenuObject* menu, Item& it, const MENUITEMINFOW& info) {
  UINT mask = info.fMask;
  if (mask & MIIM_TYPE) {
    it.Type = info.fType;
    if (!(info.fType & (MFT_BITMAP | MFT_SEPARATOR | MFT_OWNERDRAW)))
      it.Text = info.dwTypeData ? String(info.dwTypeData) : String();
    if (info.fType & MFT_BITMAP) it.Bitmap = reinterpret_cast<HBITMAP>(info.dwTypeData);
  }
  // MFT_BITMAP comes from the legacy MIIM_TYPE or an item's bitmap, never from MIIM_FTYPE.
  if (mask & MIIM_FTYPE) it.Type = (info.fType & ~MFT_BITMAP) | (it.Type & MFT_BITMAP);
  if (mask & MIIM_STRING) it.Text = info.dwTypeData ? String(info.dwTypeData) : String();
  if (mask & MIIM_STATE) it.State = info.fState & (MFS_GRAYED | MFS_CHECKED | MFS_DEFAULT | MFS_HILITE);
  if (mask & MIIM_ID) it.Id = info.wID;
  if (mask & MIIM_SUBMENU) it.SubMenu = info.hSubMenu;
  if (mask & MIIM_CHECKMARKS) {
    it.CheckedBitmap = info.hbmpChecked;
    it.UncheckedBitmap = info.hbmpUnchecked;
  }
  if (mask & MIIM_DATA) it.Data = info.dwItemData;
  if (mask & MIIM_BITMAP) it.Bitmap = info.hbmpItem;
  (void)menu;
}

// The older record ends before hbmpItem; both sizes are accepted.
constexpr UINT kLegacyItemInfoSize = UINT(offsetof(MENUITEMINFOW, hbmpItem));

bool ItemInfoSizeValid(const MENUITEMINFOW* info) {
  return info && (info->cbSize == sizeof(MENUITEMINFOW) || info->cbSize == kLegacyItemInfoSize);
}

// A caller's record of either size as a whole one (hbmpItem null for the older size).
MENUITEMINFOW WholeItemInfo(const MENUITEMINFOW* info) {
  MENUITEMINFOW whole;
  std::memcpy(static_cast<void*>(&whole), info, info->cbSize);
  whole.cbSize = sizeof(MENUITEMINFOW);
  return whole;
}

bool InfoUsable(MenuObject* menu, const MENUITEMINFOW* info, const Item* replacing) {
  if (!ItemInfoSizeValid(info)) return false;
  if (info->fMask & MIIM_SUBMENU) return SubMenuAllowed(menu, info->hSubMenu, replacing);
  return true;
}

// Only one default item per menu.
void KeepOneDefault(MenuObject* m, const Item* keep) {
  if (!(keep->State & MFS_DEFAULT)) return;
  for (Item& it : m->Items)
    if (&it != keep) it.State &= ~MFS_DEFAULT;
}

UINT StateFlags(const Item& it) {
  UINT f = it.State & (MF_GRAYED | MF_DISABLED | MF_CHECKED | MF_DEFAULT | MF_HILITE);
  f |= it.Type & (MF_SEPARATOR | MF_OWNERDRAW | MF_BITMAP | MF_MENUBARBREAK | MF_MENUBREAK | MF_RIGHTJUSTIFY);
  return f;
}

bool InsertAt(MenuObject* m, UINT item, bool byPosition, Item it) {
  size_t at = m->Items.size();
  if (byPosition) {
    if (item < m->Items.size()) at = item;
  } else if (item != UINT(-1)) {
    MenuObject* owner = nullptr;
    int pos = -1;
    if (FindItem(m, item, false, &owner, &pos)) {
      m = owner;
      at = size_t(pos);
      if (it.SubMenu && Contains(LiveMenu(it.SubMenu), m)) return false;
    }
  }
  m->Items.insert(m->Items.begin() + std::ptrdiff_t(at), std::move(it));
  KeepOneDefault(m, &m->Items[at]);
  MenuChanged(m);
  return true;
}

bool TakeOut(HMENU menu, UINT position, UINT flags, bool destroy) {
  MenuObject* m = LiveMenu(menu);
  if (!m) return false;
  MenuObject* owner = nullptr;
  int pos = -1;
  if (!FindItem(m, position, (flags & MF_BYPOSITION) != 0, &owner, &pos)) return false;
  HMENU sub = owner->Items[size_t(pos)].SubMenu;
  if (destroy && AnyShown(LiveMenu(sub))) return false;
  owner->Items.erase(owner->Items.begin() + pos);
  if (destroy && sub) DestroyMenu(sub);
  MenuChanged(owner);
  return true;
}

}  // namespace

MenuObject* LiveMenu(HMENU menu) {
  if (!menu) return nullptr;
  auto& set = Menus();
  auto it = set.find(menu);
  return it == set.end() ? nullptr : *it;
}

Item* FindItem(MenuObject* menu, UINT item, bool byPosition, MenuObject** owner, int* pos) {
  if (!menu) return nullptr;
  if (byPosition) {
    if (item >= menu->Items.size()) return nullptr;
    if (owner) *owner = menu;
    if (pos) *pos = int(item);
    return &menu->Items[item];
  }
  // By command: this menu's items first, then the sub-menus depth first (as the system does).
  std::vector<MenuObject*> stack{menu};
  for (int guard = 0; !stack.empty() && guard < 4096; ++guard) {
    MenuObject* m = stack.back();
    stack.pop_back();
    for (size_t i = 0; i < m->Items.size(); ++i) {
      Item& it = m->Items[i];
      if (!it.SubMenu && it.Id == item) {
        if (owner) *owner = m;
        if (pos) *pos = int(i);
        return &it;
      }
    }
    for (size_t i = m->Items.size(); i-- > 0;)
      if (MenuObject* sub = LiveMenu(m->Items[i].SubMenu)) stack.push_back(sub);
  }
  return nullptr;
}

Char Accelerator(const String& text) {
  for (size_t i = 0; i + 1 < text.size(); ++i) {
    if (text[i] == u'\t') break;
    if (text[i] != u'&') continue;
    if (text[i + 1] == u'&') {
      ++i;
      continue;
    }
    return text[i + 1];
  }
  return 0;
}

Char FoldChar(Char c) {
  if (c >= u'a' && c <= u'z') return Char(c - 32);
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return Char(c - 32);
  if (c >= 0x3B1 && c <= 0x3C9 && c != 0x3C2) return Char(c - 32);
  if (c >= 0x430 && c <= 0x44F) return Char(c - 32);
  if (c >= 0x450 && c <= 0x45F) return Char(c - 80);
  return c;
}

}  // namespace menus

using menus::Item;
using menus::LiveMenu;

HMENU CreateMenu() {
  auto* m = new MenuObject;
  m->Bar = true;
  menus::Menus().insert(m);
  return m;
}

HMENU CreatePopupMenu() {
  auto* m = new MenuObject;
  menus::Menus().insert(m);
  return m;
}

BOOL IsMenu(HMENU menu) { return LiveMenu(menu) != nullptr; }

BOOL DestroyMenu(HMENU menu) {
  MenuObject* m = LiveMenu(menu);
  if (!m || menus::AnyShown(m)) return false;
  // A menu destroyed while it is still some item's sub-menu leaves that item without one.
  for (MenuObject* other : menus::Menus())
    for (Item& it : other->Items)
      if (it.SubMenu == menu) it.SubMenu = nullptr;
  menus::DestroyTree(m, 0);
  return true;
}

BOOL AppendMenuW(HMENU menu, UINT flags, UINT_PTR idNewItem, const Char* newItem) {
  MenuObject* m = LiveMenu(menu);
  Item it;
  if (!m || !menus::ItemFromFlags(m, flags, idNewItem, newItem, it)) return false;
  m->Items.push_back(std::move(it));
  menus::KeepOneDefault(m, &m->Items.back());
  menus::MenuChanged(m);
  return true;
}

BOOL InsertMenuW(HMENU menu, UINT position, UINT flags, UINT_PTR idNewItem, const Char* newItem) {
  MenuObject* m = LiveMenu(menu);
  Item it;
  if (!m || !menus::ItemFromFlags(m, flags, idNewItem, newItem, it)) return false;
  return menus::InsertAt(m, position, (flags & MF_BYPOSITION) != 0, std::move(it));
}

BOOL ModifyMenuW(HMENU menu, UINT position, UINT flags, UINT_PTR idNewItem, const Char* newItem) {
  MenuObject* m = LiveMenu(menu);
  if (!m) return false;
  MenuObject* owner = nullptr;
  Item* old = menus::FindItem(m, position, (flags & MF_BYPOSITION) != 0, &owner);
  Item it;
  if (!old || !menus::ItemFromFlags(owner, flags, idNewItem, newItem, it, old)) return false;
  // The sub-menu an item loses is destroyed, as the system does.
  HMENU lost = old->SubMenu != it.SubMenu ? old->SubMenu : nullptr;
  if (lost && menus::AnyShown(LiveMenu(lost))) return false;
  *old = std::move(it);
  menus::KeepOneDefault(owner, old);
  if (lost) DestroyMenu(lost);
  menus::MenuChanged(owner);
  return true;
}

BOOL InsertMenuItemW(HMENU menu, UINT item, BOOL byPosition, const MENUITEMINFOW* info) {
  MenuObject* m = LiveMenu(menu);
  if (!m || !menus::InfoUsable(m, info, nullptr)) return false;
  Item it;
  menus::Apply(m, it, menus::WholeItemInfo(info));
  return menus::InsertAt(m, item, byPosition, std::move(it));
}

BOOL SetMenuItemInfoW(HMENU menu, UINT item, BOOL byPosition, const MENUITEMINFOW* info) {
  MenuObject* m = LiveMenu(menu);
  if (!m) return false;
  MenuObject* owner = nullptr;
  Item* it = menus::FindItem(m, item, byPosition, &owner);
  if (!it || !menus::InfoUsable(owner, info, it)) return false;
  menus::Apply(owner, *it, menus::WholeItemInfo(info));
  menus::KeepOneDefault(owner, it);
  menus::MenuChanged(owner);
  return true;
}

BOOL GetMenuItemInfoW(HMENU menu, UINT item, BOOL byPosition, MENUITEMINFOW* info) {
  MenuObject* m = LiveMenu(menu);
  if (!m || !menus::ItemInfoSizeValid(info)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return false;
  }
  UINT mask = info->fMask;
  // The legacy MIIM_TYPE stands for MIIM_FTYPE, MIIM_STRING and MIIM_BITMAP together.
  if ((mask & MIIM_TYPE) && (mask & (MIIM_STRING | MIIM_FTYPE | MIIM_BITMAP))) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return false;
  }
  const Item* it = menus::FindItem(m, item, byPosition);
  if (!it) return false;
  MENUITEMINFOW out = menus::WholeItemInfo(info);
  if (mask & MIIM_TYPE) {
    // An item with a bitmap reads as a bitmap item, its handle in place of the text.
    out.fType = it->Type | (it->Bitmap ? MFT_BITMAP : 0);
    out.hbmpItem = it->Bitmap;
    if (out.fType & MFT_BITMAP) {
      out.dwTypeData = reinterpret_cast<Char*>(it->Bitmap);
      out.cch = 0;
    } else if (out.fType & (MFT_OWNERDRAW | MFT_SEPARATOR)) {
      out.dwTypeData = nullptr;
      out.cch = 0;
    }
  }
  if (mask & MIIM_FTYPE) out.fType = it->Type;
  if (mask & MIIM_STATE) out.fState = it->State;
  if (mask & MIIM_ID) out.wID = it->Id;
  out.hSubMenu = (mask & MIIM_SUBMENU) ? it->SubMenu : nullptr;
  if (mask & MIIM_CHECKMARKS) {
    out.hbmpChecked = it->CheckedBitmap;
    out.hbmpUnchecked = it->UncheckedBitmap;
  }
  if (mask & MIIM_DATA) out.dwItemData = it->Data;
  if (mask & MIIM_BITMAP) out.hbmpItem = it->Bitmap;
  if (mask & (MIIM_TYPE | MIIM_STRING)) {
    // Copied only into a buffer of a known size; cch is the length copied, or the whole length.
    UINT len = UINT(it->Text.size());
    if (out.dwTypeData && out.cch) {
      UINT n = std::min(len, out.cch - 1);
      std::copy_n(it->Text.data(), n, out.dwTypeData);
      out.dwTypeData[n] = 0;
      out.cch = n;
    } else {
      out.cch = len;
    }
  }
  UINT size = info->cbSize;
  out.cbSize = size;
  std::memcpy(static_cast<void*>(info), &out, size);
  return true;
}

BOOL RemoveMenu(HMENU menu, UINT position, UINT flags) { return menus::TakeOut(menu, position, flags, false); }

BOOL DeleteMenu(HMENU menu, UINT position, UINT flags) { return menus::TakeOut(menu, position, flags, true); }

int GetMenuItemCount(HMENU menu) {
  MenuObject* m = LiveMenu(menu);
  return m ? int(m->Items.size()) : -1;
}

HMENU GetSubMenu(HMENU menu, int pos) {
  MenuObject* m = LiveMenu(menu);
  if (!m || pos < 0 || size_t(pos) >= m->Items.size()) return nullptr;
  return LiveMenu(m->Items[size_t(pos)].SubMenu) ? m->Items[size_t(pos)].SubMenu : nullptr;
}

UINT GetMenuItemID(HMENU menu, int pos) {
  MenuObject* m = LiveMenu(menu);
  if (!m || pos < 0 || size_t(pos) >= m->Items.size()) return UINT(-1);
  const Item& it = m->Items[size_t(pos)];
  return it.SubMenu ? UINT(-1) : it.Id;
}

UINT GetMenuState(HMENU menu, UINT id, UINT flags) {
  const Item* it = menus::FindItem(LiveMenu(menu), id, (flags & MF_BYPOSITION) != 0);
  if (!it) return UINT(-1);
  UINT f = menus::StateFlags(*it);
  if (MenuObject* sub = LiveMenu(it->SubMenu)) f = (f & 0xFF) | MF_POPUP | (UINT(std::min<size_t>(sub->Items.size(), 255)) << 8);
  return f;
}

String GetMenuString(HMENU menu, UINT item, UINT flags) {
  const Item* it = menus::FindItem(LiveMenu(menu), item, (flags & MF_BYPOSITION) != 0);
  return it ? it->Text : String();
}

int GetMenuStringW(HMENU menu, UINT item, Char* buffer, int maxCount, UINT flags) {
  const Item* it = menus::FindItem(LiveMenu(menu), item, (flags & MF_BYPOSITION) != 0);
  if (!it) return 0;
  int len = int(it->Text.size());
  if (!buffer || maxCount <= 0) return len;
  int n = std::min(len, maxCount - 1);
  std::copy_n(it->Text.data(), n, buffer);
  buffer[n] = 0;
  return n;
}

DWORD CheckMenuItem(HMENU menu, UINT item, UINT check) {
  MenuObject* owner = nullptr;
  Item* it = menus::FindItem(LiveMenu(menu), item, (check & MF_BYPOSITION) != 0, &owner);
  if (!it) return DWORD(-1);
  DWORD old = it->State & MF_CHECKED;
  it->State = (it->State & ~MF_CHECKED) | (check & MF_CHECKED);
  if (old != (check & MF_CHECKED)) menus::MenuChanged(owner);
  return old;
}

int EnableMenuItem(HMENU menu, UINT item, UINT enable) {
  MenuObject* owner = nullptr;
  Item* it = menus::FindItem(LiveMenu(menu), item, (enable & MF_BYPOSITION) != 0, &owner);
  if (!it) return -1;
  UINT old = it->State & (MF_GRAYED | MF_DISABLED);
  UINT now = enable & (MF_GRAYED | MF_DISABLED);
  it->State = (it->State & ~(MF_GRAYED | MF_DISABLED)) | now;
  if (old != now) menus::MenuChanged(owner);
  return int(old);
}

BOOL CheckMenuRadioItem(HMENU menu, UINT first, UINT last, UINT check, UINT flags) {
  MenuObject* m = LiveMenu(menu);
  if (!m) return false;
  bool byPos = (flags & MF_BYPOSITION) != 0;
  MenuObject* owner = m;
  int a = int(first), b = int(last), c = int(check);
  if (!byPos) {
    // The ids are looked up in one menu: the one holding `first`.
    int pa = -1, pb = -1, pc = -1;
    MenuObject* o2 = nullptr;
    MenuObject* o3 = nullptr;
    if (!menus::FindItem(m, first, false, &owner, &pa) || !menus::FindItem(m, last, false, &o2, &pb) ||
        o2 != owner)
      return false;
    if (!menus::FindItem(m, check, false, &o3, &pc) || o3 != owner) pc = -1;
    a = pa;
    b = pb;
    c = pc;
  }
  if (a > b) std::swap(a, b);
  if (a < 0 || size_t(b) >= owner->Items.size()) return false;
  bool found = false;
  for (int i = a; i <= b; ++i) {
    Item& it = owner->Items[size_t(i)];
    if (it.SubMenu || it.Separator()) continue;
    if (i == c) {
      it.State |= MF_CHECKED;
      it.Type |= MFT_RADIOCHECK;
      found = true;
    } else {
      it.State &= ~MF_CHECKED;
    }
  }
  menus::MenuChanged(owner);
  return found;
}

BOOL SetMenuDefaultItem(HMENU menu, UINT item, UINT byPos) {
  MenuObject* m = LiveMenu(menu);
  if (!m) return false;
  if (item == UINT(-1)) {
    for (Item& it : m->Items) it.State &= ~MFS_DEFAULT;
    menus::MenuChanged(m);
    return true;
  }
  Item* target = nullptr;
  if (byPos) {
    if (item < m->Items.size()) target = &m->Items[item];
  } else {
    for (Item& it : m->Items)
      if (!it.SubMenu && it.Id == item) target = &it;
  }
  if (!target) return false;
  target->State |= MFS_DEFAULT;
  menus::KeepOneDefault(m, target);
  menus::MenuChanged(m);
  return true;
}

UINT GetMenuDefaultItem(HMENU menu, UINT byPos, UINT flags) {
  MenuObject* m = LiveMenu(menu);
  for (int depth = 0; m && depth < 64; ++depth) {
    for (size_t i = 0; i < m->Items.size(); ++i) {
      const Item& it = m->Items[i];
      if (!(it.State & MFS_DEFAULT)) continue;
      if (it.Disabled() && !(flags & GMDI_USEDISABLED)) return UINT(-1);
      MenuObject* sub = LiveMenu(it.SubMenu);
      if (sub && (flags & GMDI_GOINTOPOPUPS)) {
        bool hasDefault = std::any_of(sub->Items.begin(), sub->Items.end(),
                                      [](const Item& s) { return (s.State & MFS_DEFAULT) != 0; });
        if (hasDefault) {
          m = sub;
          goto next;
        }
      }
      return byPos ? UINT(i) : it.Id;
    }
    return UINT(-1);
  next:;
  }
  return UINT(-1);
}

BOOL GetMenuInfo(HMENU menu, MENUINFO* info) {
  MenuObject* m = LiveMenu(menu);
  if (!m || !info || info->cbSize < sizeof(MENUINFO)) return false;
  if (info->fMask & MIM_STYLE) info->dwStyle = m->Style;
  if (info->fMask & MIM_MAXHEIGHT) info->cyMax = m->MaxHeight;
  if (info->fMask & MIM_BACKGROUND) info->hbrBack = m->Background;
  if (info->fMask & MIM_HELPID) info->dwContextHelpID = m->HelpId;
  if (info->fMask & MIM_MENUDATA) info->dwMenuData = m->Data;
  return true;
}

BOOL SetMenuInfo(HMENU menu, const MENUINFO* info) {
  MenuObject* m = LiveMenu(menu);
  if (!m || !info || info->cbSize < sizeof(MENUINFO)) return false;
  std::vector<MenuObject*> targets{m};
  if (info->fMask & MIM_APPLYTOSUBMENUS) {
    for (size_t i = 0; i < targets.size() && i < 4096; ++i)
      for (const Item& it : targets[i]->Items)
        if (MenuObject* sub = LiveMenu(it.SubMenu)) targets.push_back(sub);
  }
  for (MenuObject* t : targets) {
    if (info->fMask & MIM_STYLE) t->Style = info->dwStyle;
    if (info->fMask & MIM_MAXHEIGHT) t->MaxHeight = info->cyMax;
    if (info->fMask & MIM_BACKGROUND) t->Background = info->hbrBack;
    if (info->fMask & MIM_HELPID) t->HelpId = info->dwContextHelpID;
    if (info->fMask & MIM_MENUDATA) t->Data = info->dwMenuData;
  }
  return true;
}

BOOL SetMenuImageSource(HMENU menu, TMenuImageSource source) {
  MenuObject* m = LiveMenu(menu);
  if (!m) return false;
  m->Images = std::move(source);
  menus::MenuChanged(m);
  return true;
}

}  // namespace vcl
