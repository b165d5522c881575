// Tracking a popup menu: opening menu windows where they fit, the modal loop with its mouse and
// keyboard handling, sub-menus, and closing.
#include <algorithm>

#include "host/win/WinInternal.h"
#include "host/win/ctl/MenuInternal.h"

namespace vcl {

namespace menus {

namespace {

bool IsButtonDown(UINT m) {
  return m == WM_LBUTTONDOWN || m == WM_RBUTTONDOWN || m == WM_MBUTTONDOWN || m == WM_XBUTTONDOWN ||
         m == WM_LBUTTONDBLCLK || m == WM_RBUTTONDBLCLK || m == WM_MBUTTONDBLCLK || m == WM_XBUTTONDBLCLK ||
         m == WM_NCLBUTTONDOWN || m == WM_NCRBUTTONDOWN || m == WM_NCMBUTTONDOWN || m == WM_NCXBUTTONDOWN ||
         m == WM_NCLBUTTONDBLCLK || m == WM_NCRBUTTONDBLCLK || m == WM_NCMBUTTONDBLCLK;
}

bool IsMouseMessage(UINT m) {
  return (m >= WM_MOUSEFIRST && m <= WM_MOUSELAST) || (m >= WM_NCMOUSEMOVE && m <= WM_NCXBUTTONDBLCLK);
}

bool IsKeyMessage(UINT m) { return m >= WM_KEYFIRST && m <= WM_KEYLAST; }

TRect WorkAreaAt(TPoint p) {
  MONITORINFO mi;
  if (GetMonitorInfoW(MonitorFromPoint(p, MONITOR_DEFAULTTONEAREST), &mi)) return mi.rcWork;
  TRect r;
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &r, 0);
  return r;
}

UINT DpiAtPoint(TPoint p) {
  UINT dx = 96, dy = 96;
  if (GetDpiForMonitor(MonitorFromPoint(p, MONITOR_DEFAULTTONEAREST), MDT_EFFECTIVE_DPI, &dx, &dy) != S_OK) return 96;
  return dx ? dx : 96;
}

// Pushes a w x h box at `left` inside [lo, hi).
int Inside(int left, int size, int lo, int hi) { return std::max(lo, std::min(left, hi - size)); }

bool Selectable(const Item& it) { return !it.Separator() && !it.Disabled(); }

struct MenuTracker;
MenuTracker* gTracker = nullptr;
HHOOK gMouseHook = nullptr;

struct MenuTracker {
  HWND Owner = nullptr;
  UINT Flags = 0;
  bool Notify = true;
  std::vector<std::unique_ptr<Level>> Levels;
  bool Done = false;
  bool Chosen = false;
  UINT Command = 0;
  HWND ActiveAtStart = nullptr;
  TPoint LastMouse;
  bool Moved = false;          // the pointer moved since the menu opened
  bool PressedInMenu = false;  // a button went down inside a menu window
  bool AltPending = false;     // Alt is down and nothing else was pressed since
  bool ShowAccel = false;
  bool IdleSent = false;

  ~MenuTracker() { CloseAll(); }

  MenuObject* MenuOf(const Level& l) const { return LiveMenu(l.Menu); }
  int IndexOf(const Level& l) const { return l.Index; }

  // The deepest open level whose window contains a screen point, -1 for none.
  int LevelAt(TPoint pt) const {
    for (size_t i = Levels.size(); i-- > 0;) {
      TRect r;
      if (Levels[i]->Window && GetWindowRect(Levels[i]->Window, &r) && r.Contains(pt)) return int(i);
    }
    return -1;
  }

  TPoint ToClient(const Level& l, TPoint pt) const {
    ScreenToClient(l.Window, &pt);
    return pt;
  }

  void Cancel() { Done = true; }

  void SendSelect(Level& l, int i, bool byMouse) {
    if (!Notify || i < 0) return;
    MenuObject* m = MenuOf(l);
    if (!m || size_t(i) >= m->Items.size()) return;
    const Item& it = m->Items[size_t(i)];
    UINT f = MF_HILITE | (it.State & (MF_GRAYED | MF_DISABLED | MF_CHECKED)) |
             (it.Type & (MF_SEPARATOR | MF_OWNERDRAW | MF_BITMAP));
    if (byMouse) f |= MF_MOUSESELECT;
    bool popup = LiveMenu(it.SubMenu) != nullptr;
    if (popup) f |= MF_POPUP;
    SendMessageW(Owner, WM_MENUSELECT, MAKEWPARAM(WORD(popup ? UINT(i) : it.Id), WORD(f)),
                 reinterpret_cast<LPARAM>(l.Menu));
  }

  void SetHot(Level& l, int i, bool byMouse) {
    MenuObject* m = MenuOf(l);
    if (!m || i < -1 || i >= int(m->Items.size())) i = -1;
    if (i >= 0 && m->Items[size_t(i)].Separator()) i = -1;
    if (i == l.Hot) return;
    InvalidateItem(l, l.Hot);
    l.Hot = i;
    InvalidateItem(l, i);
    SendSelect(l, i, byMouse);
  }

  void ShowAccelerators() {
    if (ShowAccel) return;
    ShowAccel = true;
    for (auto& l : Levels) {
      l->ShowAccel = true;
      if (l->Window) InvalidateRect(l->Window, nullptr, false);
    }
  }

  // ---- opening and closing -----------------------------------------------------------------------

  std::unique_ptr<Level> MakeLevel(HMENU menu, int index, int parentItem, TPoint at) {
    MenuObject* m = LiveMenu(menu);
    if (!m || m->Shown) return nullptr;
    if (Notify)
      SendMessageW(Owner, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu),
                   MAKELPARAM(WORD(parentItem < 0 ? 0 : parentItem), 0));
    m = LiveMenu(menu);  // the owner may have destroyed it
    if (!m || m->Shown || Done) return nullptr;
    auto l = std::make_unique<Level>();
    l->Menu = menu;
    l->Owner = Owner;
    l->Index = index;
    l->ParentItem = parentItem;
    l->Notify = Notify;
    l->ShowAccel = ShowAccel;
    l->Dpi = DpiAtPoint(at);
    LayoutLevel(*l);
    return l;
  }

  bool ShowLevel(std::unique_ptr<Level> l, TPoint pos) {
    Level& ref = *l;
    HWND w = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, u"#32768", u"",
                             WS_POPUP | WS_CLIPSIBLINGS, pos.X, pos.Y, ref.Size.cx, ref.Size.cy, nullptr,
                             nullptr, nullptr, nullptr);
    if (!w) return false;
    ref.Window = w;
    RegisterLevelWindow(ref);
    if (MenuObject* m = MenuOf(ref)) m->Shown = &ref;
    UINT dpi = GetDpiForWindow(w);
    if (dpi && dpi != ref.Dpi) {
      ref.Dpi = dpi;
      LayoutLevel(ref);
      SetWindowPos(w, nullptr, 0, 0, ref.Size.cx, ref.Size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    Levels.push_back(std::move(l));
    SetWindowPos(w, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    return true;
  }

  // Where the top-level menu goes: aligned at (x, y) by the flags, opening to the other side of
  // the point where it would leave the work area, then pushed inside it; clear of `exclude`.
  TPoint PlaceTop(TSize z, TPoint p, UINT flags, const TRect* exclude) const {
    TRect work = WorkAreaAt(p);
    int x = p.X, y = p.Y;
    if (flags & TPM_RIGHTALIGN) x -= z.cx;
    else if (flags & TPM_CENTERALIGN) x -= z.cx / 2;
    if (flags & TPM_BOTTOMALIGN) y -= z.cy;
    else if (flags & TPM_VCENTERALIGN) y -= z.cy / 2;
    if (x + z.cx > work.Right && !(flags & (TPM_RIGHTALIGN | TPM_CENTERALIGN))) x = p.X - z.cx;
    else if (x < work.Left && (flags & TPM_RIGHTALIGN)) x = p.X;
    if (y + z.cy > work.Bottom && !(flags & (TPM_BOTTOMALIGN | TPM_VCENTERALIGN))) y = p.Y - z.cy;
    else if (y < work.Top && (flags & TPM_BOTTOMALIGN)) y = p.Y;
    x = Inside(x, z.cx, work.Left, work.Right);
    y = Inside(y, z.cy, work.Top, work.Bottom);
    if (exclude && !exclude->IsEmpty() && TRect::FromSize(x, y, z.cx, z.cy).IntersectsWith(*exclude)) {
      if (flags & TPM_VERTICAL) {
        if (exclude->Bottom + z.cy <= work.Bottom) y = exclude->Bottom;
        else if (exclude->Top - z.cy >= work.Top) y = exclude->Top - z.cy;
      } else {
        if (exclude->Right + z.cx <= work.Right) x = exclude->Right;
        else if (exclude->Left - z.cx >= work.Left) x = exclude->Left - z.cx;
      }
    }
    return {x, y};
  }

  // A sub-menu opens beside its item: to the right of the parent menu, or to its left when it
  // would leave the work area; its first item level with the parent item, moved up to fit.
  TPoint PlaceSub(TSize z, const Level& parent, int item) const {
    TRect pr;
    GetWindowRect(parent.Window, &pr);
    TRect ir = parent.Rects[size_t(item)];
    TPoint itemTop = pr.TopLeft() + TPoint(ir.Left, ir.Top);
    TRect work = WorkAreaAt(itemTop);
    int overlap = MulDiv(3, int(parent.Dpi), 96);
    int x = pr.Right - overlap;
    if (x + z.cx > work.Right) x = pr.Left - z.cx + overlap;
    int y = itemTop.Y - MulDiv(3, int(parent.Dpi), 96);
    return {Inside(x, z.cx, work.Left, work.Right), Inside(y, z.cy, work.Top, work.Bottom)};
  }

  bool OpenTop(HMENU menu, TPoint p, UINT flags, const TRect* exclude) {
    auto l = MakeLevel(menu, 0, -1, p);
    if (!l) return false;
    TPoint pos = PlaceTop(l->Size, p, flags, exclude);
    return ShowLevel(std::move(l), pos);
  }

  void CloseLevel() {
    std::unique_ptr<Level> l = std::move(Levels.back());
    Levels.pop_back();
    if (MenuObject* m = MenuOf(*l)) m->Shown = nullptr;
    if (l->Window) {
      KillTimer(l->Window, kHoverTimer);
      UnregisterLevelWindow(*l);
      DestroyWindow(l->Window);
    }
    if (Notify && IsWindow(Owner)) SendMessageW(Owner, WM_UNINITMENUPOPUP, reinterpret_cast<WPARAM>(l->Menu), 0);
  }

  void CloseLevelsAbove(int index) {
    while (int(Levels.size()) > index + 1) CloseLevel();
  }

  void CloseAll() {
    while (!Levels.empty()) CloseLevel();
  }

  bool ChildOpenFor(int index, int item) const {
    return int(Levels.size()) > index + 1 && Levels[size_t(index) + 1]->ParentItem == item;
  }

  void SelectFirst(Level& l) {
    l.Hot = -1;
    MoveHot(l, 1, false);
  }

  void OpenSubMenu(int index, int item, bool selectFirst) {
    Level& l = *Levels[size_t(index)];
    MenuObject* m = MenuOf(l);
    if (!m || item < 0 || size_t(item) >= m->Items.size()) return;
    const Item& it = m->Items[size_t(item)];
    HMENU sub = it.SubMenu;
    if (!LiveMenu(sub) || it.Disabled()) return;
    KillTimer(l.Window, kHoverTimer);
    SetHot(l, item, false);
    if (ChildOpenFor(index, item)) {
      Level& child = *Levels[size_t(index) + 1];
      if (selectFirst && child.Hot < 0) SelectFirst(child);
      return;
    }
    CloseLevelsAbove(index);
    TRect pr;
    GetWindowRect(l.Window, &pr);
    auto c = MakeLevel(sub, index + 1, item, pr.TopLeft() + l.Rects[size_t(item)].TopLeft());
    if (!c || int(Levels.size()) != index + 1 || Done) return;
    TPoint pos = PlaceSub(c->Size, l, item);
    if (ShowLevel(std::move(c), pos) && selectFirst) SelectFirst(*Levels.back());
  }

  // Chooses item i of a level: a sub-menu opens, a command ends the menu.
  void Choose(int index, int i, bool byKeyboard) {
    Level& l = *Levels[size_t(index)];
    MenuObject* m = MenuOf(l);
    if (!m || i < 0 || size_t(i) >= m->Items.size()) return;
    const Item& it = m->Items[size_t(i)];
    if (!Selectable(it)) return;
    if (LiveMenu(it.SubMenu)) {
      OpenSubMenu(index, i, byKeyboard);
      return;
    }
    Chosen = true;
    Command = it.Id;
    Done = true;
  }

  // ---- keyboard ---------------------------------------------------------------------------------------

  // Moves the highlight by one selectable item (wrapping), skipping separators and disabled items.
  void MoveHot(Level& l, int dir, bool) {
    MenuObject* m = MenuOf(l);
    if (!m || m->Items.empty()) return;
    int n = int(m->Items.size());
    int at = l.Hot;
    if (at < 0) at = dir > 0 ? -1 : n;
    for (int k = 1; k <= n; ++k) {
      int i = ((at + dir * k) % n + n) % n;
      if (Selectable(m->Items[size_t(i)])) {
        SetHot(l, i, false);
        return;
      }
    }
  }

  void HotEnd(Level& l, bool last) {
    MenuObject* m = MenuOf(l);
    if (!m) return;
    int n = int(m->Items.size());
    for (int k = 0; k < n; ++k) {
      int i = last ? n - 1 - k : k;
      if (Selectable(m->Items[size_t(i)])) {
        SetHot(l, i, false);
        return;
      }
    }
  }

  void OnChar(Char c) {
    if (c < 32 || Levels.empty()) return;
    int di = int(Levels.size()) - 1;
    Level& d = *Levels.back();
    MenuObject* m = MenuOf(d);
    if (!m) return;
    Char key = FoldChar(c);
    std::vector<int> matches;
    for (size_t i = 0; i < m->Items.size(); ++i) {
      const Item& it = m->Items[i];
      if (Selectable(it) && !(it.Type & MFT_BITMAP) && FoldChar(Accelerator(it.Text)) == key) matches.push_back(int(i));
    }
    if (matches.size() == 1) {
      SetHot(d, matches[0], false);
      Choose(di, matches[0], true);
      return;
    }
    if (matches.size() > 1) {
      auto next = std::upper_bound(matches.begin(), matches.end(), d.Hot);
      SetHot(d, next == matches.end() ? matches.front() : *next, false);
      return;
    }
    LRESULT r = 0;
    if (Notify)
      r = SendMessageW(Owner, WM_MENUCHAR, MAKEWPARAM(WORD(c), WORD(MF_POPUP)), reinterpret_cast<LPARAM>(d.Menu));
    if (Done || Levels.size() != size_t(di) + 1) return;
    int pos = LOWORD(std::uintptr_t(r));
    switch (HIWORD(std::uintptr_t(r))) {
      case MNC_EXECUTE:
        SetHot(d, pos, false);
        Choose(di, pos, true);
        break;
      case MNC_SELECT: SetHot(d, pos, false); break;
      case MNC_CLOSE: Cancel(); break;
      default: MessageBeep(MB_OK);
    }
  }

  void OnKey(MSG& msg) {
    UINT id = msg.message;
    if (id == WM_CHAR || id == WM_SYSCHAR) {
      OnChar(Char(msg.wParam));
      return;
    }
    int vk = int(msg.wParam);
    bool down = id == WM_KEYDOWN || id == WM_SYSKEYDOWN;
    bool up = id == WM_KEYUP || id == WM_SYSKEYUP;
    if (up) {
      if (vk == VK_MENU && AltPending) Cancel();
      if (vk == VK_MENU) AltPending = false;
      return;
    }
    if (!down || Levels.empty()) return;
    bool repeat = (msg.lParam >> 30) & 1;
    if (vk == VK_MENU) {
      if (!repeat) AltPending = true;
      return;
    }
    AltPending = false;
    if (vk == VK_SHIFT || vk == VK_CONTROL) return;
    ShowAccelerators();
    int di = int(Levels.size()) - 1;
    Level& d = *Levels.back();
    switch (vk) {
      case VK_ESCAPE:
        if (di > 0) CloseLevelsAbove(di - 1);
        else Cancel();
        break;
      case VK_LEFT:
        if (di > 0) CloseLevelsAbove(di - 1);
        break;
      case VK_RIGHT:
        if (d.Hot >= 0) OpenSubMenu(di, d.Hot, true);
        break;
      case VK_UP: MoveHot(d, -1, false); break;
      case VK_DOWN: MoveHot(d, 1, false); break;
      case VK_HOME: HotEnd(d, false); break;
      case VK_END: HotEnd(d, true); break;
      case VK_RETURN:
        if (d.Hot >= 0) Choose(di, d.Hot, true);
        break;
      default: TranslateMessage(&msg);  // characters come as WM_CHAR / WM_SYSCHAR
    }
  }

  // ---- mouse ----------------------------------------------------------------------------------------

  void HoverAt(TPoint pt) {
    int li = LevelAt(pt);
    if (li < 0) {
      Level& d = *Levels.back();
      SetHot(d, -1, true);
      return;
    }
    // Back in a menu whose sub-menu is open: the path to it is highlighted again.
    for (int k = 0; k < li; ++k) {
      Level& a = *Levels[size_t(k)];
      int want = Levels[size_t(k) + 1]->ParentItem;
      if (a.Hot != want) SetHot(a, want, true);
      KillTimer(a.Window, kHoverTimer);
    }
    Level& l = *Levels[size_t(li)];
    int i = ItemAt(l, ToClient(l, pt));
    if (i == l.Hot) {
      if (i >= 0 && ChildOpenFor(li, i)) KillTimer(l.Window, kHoverTimer);
      return;
    }
    SetHot(l, i, true);
    i = l.Hot;
    MenuObject* m = MenuOf(l);
    bool sub = m && i >= 0 && LiveMenu(m->Items[size_t(i)].SubMenu) && !m->Items[size_t(i)].Disabled();
    bool childOpen = int(Levels.size()) > li + 1;
    if (sub || childOpen) {
      int delay = 400;
      SystemParametersInfoW(SPI_GETMENUSHOWDELAY, 0, &delay, 0);
      SetTimer(l.Window, kHoverTimer, UINT(std::max(delay, 1)), nullptr);
    }
  }

  void OnMouse(const MSG& msg) {
    if (Levels.empty()) return;
    TPoint pt = msg.pt;
    UINT id = msg.message;
    if (id == WM_MOUSEMOVE || id == WM_NCMOUSEMOVE) {
      if (pt == LastMouse) return;
      LastMouse = pt;
      Moved = true;
      HoverAt(pt);
      return;
    }
    int li = LevelAt(pt);
    if (IsButtonDown(id)) {
      if (li < 0) {
        Cancel();
        return;
      }
      PressedInMenu = true;
      Level& l = *Levels[size_t(li)];
      int i = ItemAt(l, ToClient(l, pt));
      if (i >= 0) {
        SetHot(l, i, true);
        MenuObject* m = MenuOf(l);
        if (m && LiveMenu(m->Items[size_t(i)].SubMenu)) OpenSubMenu(li, i, false);
      }
      return;
    }
    bool chooses = id == WM_LBUTTONUP || id == WM_NCLBUTTONUP ||
                   ((Flags & TPM_RIGHTBUTTON) && (id == WM_RBUTTONUP || id == WM_NCRBUTTONUP));
    if (!chooses || li < 0) return;
    // The release of the press that opened the menu, where the menu appeared under it.
    if (!PressedInMenu && !Moved) return;
    Level& l = *Levels[size_t(li)];
    int i = ItemAt(l, ToClient(l, pt));
    if (i >= 0) Choose(li, i, false);
  }

  // ---- the loop -------------------------------------------------------------------------------------

  void CheckState() {
    if (Done) return;
    if (!IsWindow(Owner) || GetActiveWindow() != ActiveAtStart || Levels.empty() ||
        GetCapture() != Levels.front()->Window)
      Cancel();
  }

  void Run() {
    while (!Done) {
      MSG msg;
      bool got = PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);
      // Reading the queue routes raw input, and a press outside closes the menu on the way.
      if (Done) break;
      if (!got) {
        if (Notify && !IdleSent) {
          IdleSent = true;
          SendMessageW(Owner, WM_ENTERIDLE, WPARAM(MSGF_MENU), reinterpret_cast<LPARAM>(Levels.front()->Window));
          CheckState();
          continue;
        }
        // Nothing can ever arrive (a desktop without a user): the menu closes.
        if (!WaitMessage()) Cancel();
        IdleSent = false;
        continue;
      }
      if (msg.message == WM_QUIT) {
        Cancel();  // left in the queue for the caller's loop
        break;
      }
      PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE);
      IdleSent = false;
      if (CallMsgFilterW(&msg, MSGF_MENU)) {
        CheckState();
        continue;
      }
      if (msg.message == MN_MOUSEMOVE) {
        TrackerMouseAtCursor();
      } else if (IsMouseMessage(msg.message)) {
        OnMouse(msg);
      } else if (IsKeyMessage(msg.message)) {
        OnKey(msg);
      } else {
        DispatchMessageW(&msg);
      }
      CheckState();
    }
  }
};

// A press outside every menu window closes the menu before the press is routed, so that it goes
// to the window under the pointer (which it activates as usual) and stays in its queue.
LRESULT MenuMouseHook(int code, WPARAM wp, LPARAM lp) {
  if (code == HC_ACTION && gTracker && !gTracker->Done && IsButtonDown(UINT(wp))) {
    const auto* ms = reinterpret_cast<const MSLLHOOKSTRUCT*>(lp);
    if (gTracker->LevelAt(ms->pt) < 0) {
      gTracker->Cancel();
      if (!gTracker->Levels.empty() && GetCapture() == gTracker->Levels.front()->Window) ReleaseCapture();
    }
  }
  return CallNextHookEx(gMouseHook, code, wp, lp);
}

// Restores the global state however the tracking ends (a handler may throw).
struct TrackScope {
  MenuTracker& T;
  bool Notify;
  explicit TrackScope(MenuTracker& t) : T(t), Notify(t.Notify) { gTracker = &t; }
  ~TrackScope() {
    if (gMouseHook) {
      UnhookWindowsHookEx(gMouseHook);
      gMouseHook = nullptr;
    }
    HWND top = T.Levels.empty() ? nullptr : T.Levels.front()->Window;
    T.Done = true;
    if (top && GetCapture() == top) ReleaseCapture();
    T.CloseAll();
    gTracker = nullptr;
    if (Notify && IsWindow(T.Owner)) {
      SendMessageW(T.Owner, WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0);
      SendMessageW(T.Owner, WM_EXITMENULOOP, WPARAM(true), 0);
    }
  }
};

}  // namespace

void TrackerOnTimer(Level& level, UINT_PTR id) {
  KillTimer(level.Window, id);
  MenuTracker* t = gTracker;
  if (!t || t->Done || id != kHoverTimer) return;
  int index = level.Index;
  if (index >= int(t->Levels.size()) || t->Levels[size_t(index)].get() != &level) return;
  int hot = level.Hot;
  if (int(t->Levels.size()) > index + 1 && t->Levels[size_t(index) + 1]->ParentItem != hot)
    t->CloseLevelsAbove(index);
  if (hot >= 0) t->OpenSubMenu(index, hot, false);
}

void TrackerCancel() {
  if (gTracker) gTracker->Cancel();
}

void TrackerSelect(Level& level, int index) {
  if (gTracker) gTracker->SetHot(level, index, false);
}

void TrackerMouseAtCursor() {
  MenuTracker* t = gTracker;
  if (!t || t->Done || t->Levels.empty()) return;
  TPoint p;
  GetCursorPos(&p);
  t->LastMouse = p;
  t->HoverAt(p);
}

void TrackerCaptureLost(HWND hwnd) {
  MenuTracker* t = gTracker;
  if (t && !t->Levels.empty() && t->Levels.front()->Window == hwnd) t->Cancel();
}

}  // namespace menus

int TrackPopupMenuEx(HMENU menu, UINT flags, int x, int y, HWND owner, const TPMPARAMS* params) {
  using namespace menus;
  MenuObject* m = LiveMenu(menu);
  if (!m || m->Shown || !IsWindow(owner) || gTracker) return 0;
  MenuTracker t;
  t.Owner = owner;
  t.Flags = flags;
  t.Notify = !(flags & TPM_NONOTIFY);
  t.ActiveAtStart = GetActiveWindow();
  BOOL cues = false;
  SystemParametersInfoW(SPI_GETKEYBOARDCUES, 0, &cues, 0);
  t.ShowAccel = cues;
  GetCursorPos(&t.LastMouse);
  bool shown = false;
  {
    TrackScope scope(t);
    if (t.Notify) SendMessageW(owner, WM_ENTERMENULOOP, WPARAM(true), 0);
    const TRect* exclude = params && params->cbSize >= sizeof(TPMPARAMS) ? &params->rcExclude : nullptr;
    shown = !t.Done && t.OpenTop(menu, {x, y}, flags, exclude);
    if (shown) {
      SetCapture(t.Levels.front()->Window);
      gMouseHook = SetWindowsHookExW(WH_MOUSE_LL, MenuMouseHook, nullptr, 0);
      t.Run();
    }
  }
  if (!shown) return 0;
  if (!t.Chosen) return (flags & TPM_RETURNCMD) ? 0 : 1;
  if (flags & TPM_RETURNCMD) return int(t.Command);
  if (t.Notify && IsWindow(owner)) PostMessageW(owner, WM_COMMAND, MAKEWPARAM(WORD(t.Command), 0), 0);
  return 1;
}

int TrackPopupMenu(HMENU menu, UINT flags, int x, int y, int, HWND owner, const TRect*) {
  return TrackPopupMenuEx(menu, flags, x, y, owner, nullptr);
}

BOOL EndMenu() {
  if (!menus::gTracker || menus::gTracker->Done) return false;
  menus::gTracker->Cancel();
  return true;
}

bool EndMenuOf(HWND owner) {
  menus::MenuTracker* t = menus::gTracker;
  if (!t || t->Done || t->Owner != owner) return false;
  t->Cancel();
  return true;
}

HMENU TrackedMenu() {
  menus::MenuTracker* t = menus::gTracker;
  return t && !t->Levels.empty() ? t->Levels.front()->Menu : nullptr;
}

HWND MenuWindowOf(HMENU menu) {
  MenuObject* m = menus::LiveMenu(menu);
  return m && m->Shown ? m->Shown->Window : nullptr;
}

BOOL GetMenuItemRect(HWND, HMENU menu, UINT item, TRect* rect) {
  MenuObject* m = menus::LiveMenu(menu);
  if (!m || !m->Shown || !rect || item >= m->Shown->Rects.size()) return false;
  TRect r = m->Shown->Rects[item];
  TPoint o{0, 0};
  ClientToScreen(m->Shown->Window, &o);
  *rect = r.Offsetted(o.X, o.Y);
  return true;
}

int MenuItemFromPoint(HWND, HMENU menu, TPoint screen) {
  MenuObject* m = menus::LiveMenu(menu);
  if (!m || !m->Shown) return -1;
  TPoint p = screen;
  ScreenToClient(m->Shown->Window, &p);
  return menus::ItemAt(*m->Shown, p);
}

}  // namespace vcl
