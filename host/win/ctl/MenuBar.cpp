// Window menus: the menu bar a top-level window holds (SetMenu, GetMenu, GetMenuBarInfo), the
// window's system menu, highlighting items, and menus built from in-memory templates.
#include <cstring>
#include <unordered_map>

#include "host/win/WinInternal.h"
#include "host/win/ctl/MenuInternal.h"

namespace vcl {

namespace {

// The system menus handed out, per window; destroyed with their window.
std::unordered_map<WindowObject*, HMENU>& SystemMenus() {
  static auto* map = new std::unordered_map<WindowObject*, HMENU>;
  return *map;
}

void ForgetSystemMenu(WindowObject* w) {
  auto& map = SystemMenus();
  auto it = map.find(w);
  if (it == map.end()) return;
  DestroyMenu(it->second);
  map.erase(it);
}

// The standard commands, enabled as the window's style and state allow.
HMENU MakeSystemMenu(WindowObject* w) {
  HMENU m = CreatePopupMenu();
  DWORD st = w->Style;
  bool minimized = (st & WS_MINIMIZE) != 0, maximized = (st & WS_MAXIMIZE) != 0;
  auto add = [&](WPARAM cmd, const Char* text, bool enabled) {
    AppendMenuW(m, MF_STRING | (enabled ? 0 : MF_GRAYED), UINT_PTR(cmd), text);
  };
  add(SC_RESTORE, u"&Restore", minimized || maximized);
  add(SC_MOVE, u"&Move", !maximized);
  add(SC_SIZE, u"&Size", (st & WS_THICKFRAME) && !maximized && !minimized);
  add(SC_MINIMIZE, u"Mi&nimize", (st & WS_MINIMIZEBOX) && !minimized);
  add(SC_MAXIMIZE, u"Ma&ximize", (st & WS_MAXIMIZEBOX) && !maximized);
  AppendMenuW(m, MF_SEPARATOR, 0, nullptr);
  add(SC_CLOSE, u"&Close\tAlt+F4", true);
  SetMenuDefaultItem(m, UINT(SC_CLOSE), false);
  return m;
}

// ---- Templates -------------------------------------------------------------------------------------

constexpr WORD kTemplateEnd = 0x0080;    // MF_END: the last item of its level
constexpr WORD kExPopup = 0x0001;        // MENUEX item with a sub-menu
constexpr int kMaxTemplateDepth = 16;

const BYTE* SkipString(const BYTE* p, String* out) {
  const Char* c = reinterpret_cast<const Char*>(p);
  size_t n = 0;
  while (c[n]) ++n;
  if (out) out->assign(c, n);
  return p + (n + 1) * sizeof(Char);
}

WORD ReadWord(const BYTE*& p) {
  WORD v;
  std::memcpy(&v, p, sizeof v);
  p += sizeof v;
  return v;
}

DWORD ReadDword(const BYTE*& p) {
  DWORD v;
  std::memcpy(&v, p, sizeof v);
  p += sizeof v;
  return v;
}

const BYTE* AlignDword(const BYTE* base, const BYTE* p) {
  size_t off = size_t(p - base);
  return base + ((off + 3) & ~size_t(3));
}

// The classic format: WORD flags, WORD id (not for pop-ups), text; pop-ups nest.
const BYTE* ReadItems(HMENU menu, const BYTE* p, int depth, bool& ok) {
  if (depth > kMaxTemplateDepth) {
    ok = false;
    return p;
  }
  for (;;) {
    WORD flags = ReadWord(p);
    WORD id = 0;
    if (!(flags & MF_POPUP)) id = ReadWord(p);
    String text;
    p = SkipString(p, &text);
    UINT add = flags & ~UINT(kTemplateEnd);
    if (flags & MF_POPUP) {
      HMENU sub = CreatePopupMenu();
      p = ReadItems(sub, p, depth + 1, ok);
      if (!ok || !AppendMenuW(menu, add, reinterpret_cast<UINT_PTR>(sub), text.c_str())) {
        DestroyMenu(sub);
        ok = false;
        return p;
      }
    } else if (!id && text.empty() && !(flags & ~UINT(kTemplateEnd))) {
      AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    } else {
      AppendMenuW(menu, add, id, text.c_str());
    }
    if (flags & kTemplateEnd) return p;
  }
}

// The extended format: DWORD type, state, id; WORD flags; text (DWORD aligned after it); a
// pop-up's help id and items follow it.
const BYTE* ReadExItems(const BYTE* base, HMENU menu, const BYTE* p, int depth, bool& ok) {
  if (depth > kMaxTemplateDepth) {
    ok = false;
    return p;
  }
  for (;;) {
    p = AlignDword(base, p);
    MENUITEMINFOW mi;
    mi.fType = ReadDword(p);
    mi.fState = ReadDword(p);
    mi.wID = ReadDword(p);
    WORD flags = ReadWord(p);
    String text;
    p = SkipString(p, &text);
    mi.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID;
    if (!(mi.fType & (MFT_SEPARATOR | MFT_BITMAP | MFT_OWNERDRAW))) {
      mi.fMask |= MIIM_STRING;
      mi.dwTypeData = text.data();
    }
    if (flags & kExPopup) {
      p = AlignDword(base, p);
      ReadDword(p);  // the pop-up's help id
      HMENU sub = CreatePopupMenu();
      p = ReadExItems(base, sub, p, depth + 1, ok);
      mi.fMask |= MIIM_SUBMENU;
      mi.hSubMenu = sub;
      if (!ok || !InsertMenuItemW(menu, UINT(GetMenuItemCount(menu)), true, &mi)) {
        DestroyMenu(sub);
        ok = false;
        return p;
      }
    } else {
      InsertMenuItemW(menu, UINT(GetMenuItemCount(menu)), true, &mi);
    }
    if (flags & kTemplateEnd) return p;
  }
}

}  // namespace

// ---- The menu bar ------------------------------------------------------------------------------------

HMENU GetMenu(HWND hwnd) {
  WindowObject* w = Live(hwnd);
  if (!w || (w->Style & WS_CHILD)) return nullptr;
  return w->Menu;
}

BOOL SetMenu(HWND hwnd, HMENU menu) {
  WindowObject* w = Live(hwnd);
  if (!w || (w->Style & WS_CHILD)) return false;
  if (menu && !IsMenu(menu)) return false;
  if (w->Menu == menu) return true;
  w->Menu = menu;
  // The bar takes its line of the frame (or gives it back).
  SetWindowPosInternal(w, nullptr, 0, 0, 0, 0,
                       SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  return true;
}

BOOL GetMenuBarInfo(HWND hwnd, LONG objectId, LONG item, MENUBARINFO* info) {
  WindowObject* w = Live(hwnd);
  if (!w || !info || info->cbSize != sizeof(MENUBARINFO) || item < 0) return false;
  MENUBARINFO out;
  if (objectId == OBJID_MENU) {
    // Known limit: the bar's items are not laid out here, so only the whole bar is reported.
    if ((w->Style & WS_CHILD) || !w->Menu || item > 0) return false;
    // The line between the caption and the client area.
    TRect ins = NonClientInsets(w->Style & ~(WS_VSCROLL | WS_HSCROLL),
                                w->ExStyle & ~WS_EX_CLIENTEDGE, w->Dpi, false);
    TPoint o = WindowOrigin(w);
    out.rcBar = TRect(ins.Left, ins.Top, w->WindowRect.Width() - ins.Right,
                      ins.Top + GetSystemMetricsForDpi(SM_CYMENU, w->Dpi))
                    .Offsetted(o.X, o.Y);
    out.hMenu = w->Menu;
    out.fBarFocused = TrackedMenu() == w->Menu;
  } else if (objectId == OBJID_CLIENT) {
    // A menu window: the menu it shows, or one of its items.
    menus::Level* level = menus::LevelOfWindow(w);
    if (!level) return false;
    out.hMenu = level->Menu;
    if (item == 0) {
      GetWindowRect(w, &out.rcBar);
    } else if (!GetMenuItemRect(w, level->Menu, UINT(item - 1), &out.rcBar)) {
      return false;
    }
    out.fBarFocused = true;
    out.fFocused = item > 0 && level->Hot == item - 1;
  } else if (objectId == OBJID_SYSMENU) {
    CaptionLayout l = GetCaptionLayout(w);
    if (!(w->Style & WS_SYSMENU) || l.SysMenu.IsEmpty() || item > 1) return false;
    TPoint o = WindowOrigin(w);
    out.rcBar = l.SysMenu.Offsetted(o.X, o.Y);
    out.hMenu = GetSystemMenu(w, false);
  } else {
    return false;
  }
  *info = out;
  return true;
}

BOOL HiliteMenuItem(HWND hwnd, HMENU menu, UINT item, UINT flags) {
  if (!IsWindow(hwnd)) return false;
  MenuObject* m = menus::LiveMenu(menu);
  if (!m) return false;
  MenuObject* owner = nullptr;
  menus::Item* it = menus::FindItem(m, item, (flags & MF_BYPOSITION) != 0, &owner);
  if (!it) return false;
  UINT before = it->State;
  if (flags & MF_HILITE)
    it->State |= MFS_HILITE;
  else
    it->State &= ~MFS_HILITE;
  if (before != it->State) menus::MenuChanged(owner);
  return true;
}

// ---- The system menu ---------------------------------------------------------------------------------

HMENU GetSystemMenu(HWND hwnd, BOOL revert) {
  WindowObject* w = Live(hwnd);
  if (!w) return nullptr;
  static bool observing = (AddWindowFreedObserver(ForgetSystemMenu), true);
  (void)observing;
  if (revert) {
    ForgetSystemMenu(w);
    return nullptr;
  }
  if (!(w->Style & WS_SYSMENU)) return nullptr;
  auto& map = SystemMenus();
  auto it = map.find(w);
  if (it != map.end() && IsMenu(it->second)) return it->second;
  HMENU m = MakeSystemMenu(w);
  map[w] = m;
  return m;
}

// ---- Templates -----------------------------------------------------------------------------------------

HMENU LoadMenuIndirectW(const void* menuTemplate) {
  if (!menuTemplate) return nullptr;
  const BYTE* base = static_cast<const BYTE*>(menuTemplate);
  const BYTE* p = base;
  WORD version = ReadWord(p);
  WORD offset = ReadWord(p);
  HMENU menu = CreateMenu();
  bool ok = true;
  if (version == 0) {
    ReadItems(menu, p + offset, 0, ok);
  } else if (version == 1) {
    ReadExItems(base, menu, p + offset, 0, ok);  // the offset counts from after the header words
  } else {
    ok = false;
  }
  if (!ok) {
    DestroyMenu(menu);
    return nullptr;
  }
  return menu;
}

}  // namespace vcl
