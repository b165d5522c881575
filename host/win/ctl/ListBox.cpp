// The list box window class "LISTBOX": item storage (strings and item data, sorted or not),
// single, multiple and extended selection with caret and anchor, fixed and variable item
// heights, multiple columns, scrolling by items, keyboard navigation with type-ahead, mouse
// selection with capture, and the standard or owner-drawn (WM_DRAWITEM) painting.
//
// The parent may do anything inside a notification (WM_COMMAND, WM_DRAWITEM, WM_MEASUREITEM,
// WM_CTLCOLORLISTBOX, WM_VKEYTOITEM), destroying the list box included: the state is held by a
// shared pointer for the duration of each message and every send is followed by a check.
#include "host/win/ctl/ListBox.h"

#include <algorithm>
#include <cwctype>
#include <memory>
#include <unordered_map>
#include <vector>

#include "host/gdi/GdiDraw.h"
#include "host/gdi/GdiText.h"
#include "host/win/Messages.h"
#include "host/win/WinUser.h"
#include "host/win/ctl/OwnerDraw.h"

namespace vcl {

namespace {

constexpr UINT_PTR kAutoScrollTimer = 1;
constexpr UINT kAutoScrollMs = 50;

struct Item {
  String Text;
  ULONG_PTR Data = 0;
  bool Selected = false;
  int Height = 0;  // owner-draw variable only
};

struct ListState {
  HWND Hwnd = nullptr;
  bool Dead = false;
  std::vector<Item> Items;
  int Top = 0;
  int Caret = -1;
  int Anchor = -1;
  int Cur = -1;  // single selection
  int ItemHeight = 13;
  int ColumnWidth = 0;
  int HExtent = 0;
  int HPos = 0;
  HFONT Font = nullptr;
  bool Focused = false;
  bool Redraw = true;
  std::vector<int> Tabs;  // dialog units
  String Prefix;
  DWORD LastChar = 0;
  bool Tracking = false;
  bool TrackCtrl = false;
  // The scroll bars asked for at creation (the window's WS_VSCROLL / WS_HSCROLL come and go
  // as the bars show and hide).
  bool VBar = false;
  bool HBar = false;
};

using ListPtr = std::shared_ptr<ListState>;

std::unordered_map<HWND, ListPtr>& Lists() {
  static auto* map = new std::unordered_map<HWND, ListPtr>;  // process lifetime
  return *map;
}

DWORD StyleOf(const ListState& s) { return DWORD(GetWindowLongW(s.Hwnd, GWL_STYLE)); }
bool IsOwnerDraw(DWORD st) { return st & (LBS_OWNERDRAWFIXED | LBS_OWNERDRAWVARIABLE); }
bool IsVariable(DWORD st) {
  return (st & LBS_OWNERDRAWVARIABLE) && !(st & LBS_MULTICOLUMN);
}
bool HasStrings(DWORD st) { return !IsOwnerDraw(st) || (st & LBS_HASSTRINGS); }
bool IsMulti(DWORD st) { return st & (LBS_MULTIPLESEL | LBS_EXTENDEDSEL); }
bool IsExtended(DWORD st) { return st & LBS_EXTENDEDSEL; }
int Count(const ListState& s) { return int(s.Items.size()); }
bool InRange(const ListState& s, WPARAM i) { return INT_PTR(i) >= 0 && INT_PTR(i) < Count(s); }

TRect Client(const ListState& s) {
  TRect r;
  GetClientRect(s.Hwnd, &r);
  return r;
}

Char Fold(Char c) {
  if (c < 0x80) return (c >= u'A' && c <= u'Z') ? Char(c + 32) : c;
  return Char(std::towlower(wint_t(c)));
}

int CompareNoCase(StringView a, StringView b) {
  size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    Char x = Fold(a[i]), y = Fold(b[i]);
    if (x != y) return x < y ? -1 : 1;
  }
  return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

bool StartsNoCase(StringView text, StringView prefix) {
  return text.size() >= prefix.size() && CompareNoCase(text.substr(0, prefix.size()), prefix) == 0;
}

// ---- geometry ----------------------------------------------------------------------------------

int HeightOf(const ListState& s, DWORD st, int i) {
  if (IsVariable(st) && i >= 0 && i < Count(s)) return s.Items[size_t(i)].Height;
  return s.ItemHeight;
}

// Rows in one column (multi-column lists) or whole rows on the page.
int PageRows(const ListState& s) { return std::max(1, Client(s).Height() / s.ItemHeight); }

int ColumnWidthOf(const ListState& s) {
  return s.ColumnWidth > 0 ? s.ColumnWidth : std::max(1, Client(s).Width());
}

// Items that fit wholly from `top` on (at least 1 when any exist).
int FitFrom(const ListState& s, DWORD st, int top) {
  if (!IsVariable(st)) return PageRows(s);
  int h = Client(s).Height(), used = 0, n = 0;
  for (int i = top; i < Count(s); ++i) {
    used += HeightOf(s, st, i);
    if (used > h) break;
    ++n;
  }
  return std::max(1, n);
}

int MaxTop(const ListState& s, DWORD st) {
  int n = Count(s);
  if (n == 0) return 0;
  if (st & LBS_MULTICOLUMN) {
    int rows = PageRows(s);
    int cols = (n + rows - 1) / rows;
    int visible = std::max(1, Client(s).Width() / ColumnWidthOf(s));
    return std::max(0, cols - visible) * rows;
  }
  if (!IsVariable(st)) return std::max(0, n - PageRows(s));
  int h = Client(s).Height(), used = 0, top = n;
  while (top > 0 && used + HeightOf(s, st, top - 1) <= h) used += HeightOf(s, st, --top);
  return std::min(top, n - 1);
}

TRect ItemRectOf(const ListState& s, DWORD st, int i) {
  TRect c = Client(s);
  if (st & LBS_MULTICOLUMN) {
    int rows = PageRows(s), w = ColumnWidthOf(s);
    int col = i / rows - s.Top / rows;
    int y = (i % rows) * s.ItemHeight;
    return TRect(col * w, y, col * w + w, y + s.ItemHeight);
  }
  int width = std::max(c.Width(), s.HExtent);
  int y = 0;
  if (IsVariable(st)) {
    if (i >= s.Top)
      for (int k = s.Top; k < i; ++k) y += HeightOf(s, st, k);
    else
      for (int k = i; k < s.Top; ++k) y -= HeightOf(s, st, k);
  } else {
    y = (i - s.Top) * s.ItemHeight;
  }
  return TRect(-s.HPos, y, width - s.HPos, y + HeightOf(s, st, i));
}

// The item under a client point (clamped to the list) and whether the point lies outside
// every item; -1 for an empty list.
int ItemFromPoint(const ListState& s, DWORD st, TPoint p, bool& outside) {
  outside = false;
  int n = Count(s);
  if (n == 0) {
    outside = true;
    return -1;
  }
  TRect c = Client(s);
  int i;
  if (st & LBS_MULTICOLUMN) {
    int rows = PageRows(s), w = ColumnWidthOf(s);
    int row = std::clamp(p.Y / s.ItemHeight, 0, rows - 1);
    int col = std::max(0, p.X / w);
    if (p.Y < 0 || p.Y >= rows * s.ItemHeight || p.X < 0) outside = true;
    i = s.Top + col * rows + row;
  } else if (IsVariable(st)) {
    i = s.Top;
    int y = 0;
    if (p.Y < 0) outside = true;
    while (i < n - 1 && p.Y >= y + HeightOf(s, st, i)) y += HeightOf(s, st, i++);
    if (p.Y >= y + HeightOf(s, st, i)) outside = true;
  } else {
    if (p.Y < 0) {
      outside = true;
      i = s.Top;
    } else {
      i = s.Top + p.Y / s.ItemHeight;
    }
  }
  if (p.X < 0 || p.X >= c.Width() || p.Y >= c.Height()) outside = true;
  if (i >= n) {
    outside = true;
    i = n - 1;
  }
  return std::max(0, i);
}

// ---- invalidation and scrolling ----------------------------------------------------------------

void InvalidateAll(ListState& s) {
  if (s.Redraw) InvalidateRect(s.Hwnd, nullptr, true);
}

void InvalidateItem(ListState& s, int i) {
  if (!s.Redraw || i < 0 || i >= Count(s)) return;
  TRect r = ItemRectOf(s, StyleOf(s), i);
  InvalidateRect(s.Hwnd, &r, false);
}

void UpdateScroll(ListState& s) {
  if (!s.Redraw) return;
  DWORD st = StyleOf(s);
  SCROLLINFO si;
  si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | ((st & LBS_DISABLENOSCROLL) ? SIF_DISABLENOSCROLL : 0);
  int n = Count(s);
  if (st & LBS_MULTICOLUMN) {
    if (!s.HBar) return;
    int rows = PageRows(s);
    si.nMin = 0;
    si.nMax = std::max(0, (n + rows - 1) / rows - 1);
    si.nPage = UINT(std::max(1, Client(s).Width() / ColumnWidthOf(s)));
    si.nPos = s.Top / rows;
    SetScrollInfo(s.Hwnd, SB_HORZ, &si, true);
    return;
  }
  if (s.VBar) {
    si.nMin = 0;
    si.nMax = std::max(0, n - 1);
    si.nPage = UINT(n ? FitFrom(s, st, s.Top) : 0);
    si.nPos = s.Top;
    SetScrollInfo(s.Hwnd, SB_VERT, &si, true);
  }
  if (s.HBar) {
    si.nMin = 0;
    si.nMax = std::max(0, s.HExtent - 1);
    si.nPage = UINT(std::max(0, Client(s).Width()));
    si.nPos = s.HPos;
    SetScrollInfo(s.Hwnd, SB_HORZ, &si, true);
  }
}

void SetTop(ListState& s, int top) {
  DWORD st = StyleOf(s);
  top = std::clamp(top, 0, MaxTop(s, st));
  if (st & LBS_MULTICOLUMN) top -= top % PageRows(s);
  if (top == s.Top) return;
  s.Top = top;
  InvalidateAll(s);
  UpdateScroll(s);
}

void SetHPos(ListState& s, int pos) {
  pos = std::clamp(pos, 0, std::max(0, s.HExtent - Client(s).Width()));
  if (pos == s.HPos) return;
  s.HPos = pos;
  InvalidateAll(s);
  UpdateScroll(s);
}

void EnsureVisible(ListState& s, int i) {
  if (i < 0 || i >= Count(s)) return;
  DWORD st = StyleOf(s);
  if (st & LBS_MULTICOLUMN) {
    int rows = PageRows(s);
    int visible = std::max(1, Client(s).Width() / ColumnWidthOf(s));
    int col = i / rows, first = s.Top / rows;
    if (col < first) SetTop(s, col * rows);
    else if (col >= first + visible) SetTop(s, (col - visible + 1) * rows);
    return;
  }
  if (i < s.Top) {
    SetTop(s, i);
    return;
  }
  if (i < s.Top + FitFrom(s, st, s.Top)) return;
  if (!IsVariable(st)) {
    SetTop(s, i - PageRows(s) + 1);
    return;
  }
  int h = Client(s).Height(), used = HeightOf(s, st, i), top = i;
  while (top > 0 && used + HeightOf(s, st, top - 1) <= h) used += HeightOf(s, st, --top);
  SetTop(s, top);
}

// ---- notifications ------------------------------------------------------------------------------

// WM_COMMAND to the parent; false when the list box did not survive it.
bool Notify(ListState& s, WORD code) {
  if (code != LBN_ERRSPACE && !(StyleOf(s) & LBS_NOTIFY)) return true;
  HWND parent = GetParent(s.Hwnd);
  if (!parent) return true;
  SendMessageW(parent, WM_COMMAND, MAKEWPARAM(WORD(GetDlgCtrlID(s.Hwnd)), code),
               reinterpret_cast<LPARAM>(s.Hwnd));
  return !s.Dead;
}

// ---- selection ----------------------------------------------------------------------------------

bool IsSelected(const ListState& s, DWORD st, int i) {
  if (i < 0 || i >= Count(s)) return false;
  return IsMulti(st) ? s.Items[size_t(i)].Selected : i == s.Cur;
}

void SetCaret(ListState& s, int i) {
  if (i == s.Caret) return;
  InvalidateItem(s, s.Caret);
  s.Caret = i;
  InvalidateItem(s, s.Caret);
}

// Single selection: one item (or none); true when it changed.
bool SelectSingle(ListState& s, int i) {
  bool changed = i != s.Cur;
  if (changed) {
    InvalidateItem(s, s.Cur);
    s.Cur = i;
    InvalidateItem(s, i);
  }
  SetCaret(s, i);
  return changed;
}

bool SetItemSel(ListState& s, int i, bool on) {
  Item& it = s.Items[size_t(i)];
  if (it.Selected == on) return false;
  it.Selected = on;
  InvalidateItem(s, i);
  return true;
}

// Multiple selection: items first..last (either order) take `on`; with `only` every other
// item is cleared. True when anything changed.
bool SelectRange(ListState& s, int first, int last, bool on, bool only) {
  if (first > last) std::swap(first, last);
  bool changed = false;
  for (int i = 0; i < Count(s); ++i) {
    bool inside = i >= first && i <= last;
    if (inside) changed |= SetItemSel(s, i, on);
    else if (only) changed |= SetItemSel(s, i, false);
  }
  return changed;
}

// Moves the caret to `i` as the keyboard or mouse does, selecting by the list's kind.
bool MoveTo(ListState& s, DWORD st, int i, bool shift, bool ctrl) {
  bool changed = false;
  if (!IsMulti(st)) {
    changed = SelectSingle(s, i);
  } else if (!IsExtended(st)) {
    SetCaret(s, i);
  } else if (shift) {
    if (s.Anchor < 0 || s.Anchor >= Count(s)) s.Anchor = std::max(0, s.Caret);
    changed = SelectRange(s, s.Anchor, i, true, !ctrl);
    SetCaret(s, i);
  } else if (ctrl) {
    SetCaret(s, i);
  } else {
    changed = SelectRange(s, i, i, true, true);
    s.Anchor = i;
    SetCaret(s, i);
  }
  EnsureVisible(s, i);
  return changed;
}

// ---- item storage -------------------------------------------------------------------------------

int InsertAt(ListState& s, int i, String text, ULONG_PTR data) {
  DWORD st = StyleOf(s);
  Item item;
  if (HasStrings(st)) item.Text = std::move(text);
  item.Data = HasStrings(st) ? 0 : data;
  item.Height = s.ItemHeight;
  s.Items.insert(s.Items.begin() + i, std::move(item));
  auto shift = [i](int& v) {
    if (v >= i) ++v;
  };
  shift(s.Cur);
  shift(s.Caret);
  shift(s.Anchor);
  if (s.Top > i) ++s.Top;
  if (IsVariable(st)) {
    if (HWND parent = GetParent(s.Hwnd)) {
      MEASUREITEMSTRUCT mi;
      mi.CtlType = ODT_LISTBOX;
      mi.CtlID = UINT(GetDlgCtrlID(s.Hwnd));
      mi.itemID = UINT(i);
      mi.itemHeight = UINT(s.ItemHeight);
      mi.itemData = data;
      SendMessageW(parent, WM_MEASUREITEM, mi.CtlID, reinterpret_cast<LPARAM>(&mi));
      if (s.Dead) return int(LB_ERR);
      // The handler may have changed the items; find ours again by position.
      if (i < Count(s)) s.Items[size_t(i)].Height = std::max(1, int(mi.itemHeight));
    }
  }
  InvalidateAll(s);
  UpdateScroll(s);
  return i;
}

int SortedIndex(const ListState& s, StringView text) {
  auto it = std::upper_bound(s.Items.begin(), s.Items.end(), text,
                             [](StringView t, const Item& e) { return CompareNoCase(t, e.Text) < 0; });
  return int(it - s.Items.begin());
}

String TextArg(DWORD st, LPARAM lp) {
  if (!HasStrings(st) || !lp) return {};
  return String(reinterpret_cast<const Char*>(lp));
}

LRESULT DeleteAt(ListState& s, int i) {
  s.Items.erase(s.Items.begin() + i);
  int n = Count(s);
  if (s.Cur == i) s.Cur = -1;
  else if (s.Cur > i) --s.Cur;
  if (s.Caret > i || s.Caret >= n) --s.Caret;
  if (s.Anchor > i || s.Anchor >= n) --s.Anchor;
  s.Top = std::clamp(s.Top, 0, MaxTop(s, StyleOf(s)));
  InvalidateAll(s);
  UpdateScroll(s);
  return n;
}

// Finds from the item after `start` round to `start`: a prefix match, or an exact one.
int Find(const ListState& s, DWORD st, WPARAM start, LPARAM lp, bool exact) {
  int n = Count(s);
  if (n == 0) return int(LB_ERR);
  int from = InRange(s, start) ? int(start) + 1 : 0;
  for (int k = 0; k < n; ++k) {
    int i = (from + k) % n;
    const Item& it = s.Items[size_t(i)];
    if (!HasStrings(st)) {
      if (it.Data == ULONG_PTR(lp)) return i;
      continue;
    }
    if (!lp) return int(LB_ERR);
    StringView text(reinterpret_cast<const Char*>(lp));
    if (exact ? CompareNoCase(it.Text, text) == 0 : StartsNoCase(it.Text, text)) return i;
  }
  return int(LB_ERR);
}

// ---- painting -----------------------------------------------------------------------------------

// Restores a device context's saved state at the end of a scope.
class SavedDC {
 public:
  explicit SavedDC(HDC dc) : Dc(dc), Level(SaveDC(dc)) {}
  ~SavedDC() { RestoreDC(Dc, Level); }
  SavedDC(const SavedDC&) = delete;
  SavedDC& operator=(const SavedDC&) = delete;

 private:
  HDC Dc;
  int Level;
};

HFONT FontOf(const ListState& s) {
  return s.Font ? s.Font : reinterpret_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

int FontHeight(HFONT font) {
  HDC dc = GetDC(nullptr);
  HFONT old = SelectObject(dc, font);
  TEXTMETRICW tm;
  GetTextMetricsW(dc, &tm);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  return std::max(1, int(tm.tmHeight));
}

// The parent's colours for the list (WM_CTLCOLORLISTBOX), set on the DC.
HBRUSH ListBrush(ListState& s, HDC dc) {
  HWND parent = GetParent(s.Hwnd);
  LRESULT r = parent ? SendMessageW(parent, WM_CTLCOLORLISTBOX, reinterpret_cast<WPARAM>(dc),
                                    reinterpret_cast<LPARAM>(s.Hwnd))
                     : DefWindowProcW(s.Hwnd, WM_CTLCOLORLISTBOX, reinterpret_cast<WPARAM>(dc),
                                      reinterpret_cast<LPARAM>(s.Hwnd));
  if (!r) {
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    SetBkColor(dc, GetSysColor(COLOR_WINDOW));
    return GetSysColorBrush(COLOR_WINDOW);
  }
  return reinterpret_cast<HBRUSH>(r);
}

struct PaintColors {
  HBRUSH Brush;
  COLORREF Text;
  COLORREF Back;
};

void DrawStandardItem(ListState& s, DWORD st, HDC dc, int i, const TRect& r, UINT state,
                      const PaintColors& colors) {
  bool sel = state & ODS_SELECTED;
  FillRect(dc, &r, sel ? GetSysColorBrush(COLOR_HIGHLIGHT) : colors.Brush);
  COLORREF text = (state & ODS_DISABLED) ? GetSysColor(COLOR_GRAYTEXT)
                  : sel                  ? GetSysColor(COLOR_HIGHLIGHTTEXT)
                                         : colors.Text;
  SetTextColor(dc, text);
  SetBkMode(dc, TRANSPARENT);
  const String& t = s.Items[size_t(i)].Text;
  int pad = MulDiv(2, int(GetDpiForWindow(s.Hwnd)), 96);
  if (st & LBS_USETABSTOPS) {
    TEXTMETRICW tm;
    GetTextMetricsW(dc, &tm);
    std::vector<int> tabs;
    for (int d : s.Tabs) tabs.push_back(MulDiv(d, int(tm.tmAveCharWidth), 4));
    int y = r.Top + (r.Height() - int(tm.tmHeight)) / 2;
    TabbedTextOutW(dc, r.Left + pad, y, t.c_str(), int(t.size()), int(tabs.size()),
                   tabs.empty() ? nullptr : tabs.data(), r.Left + pad);
  } else {
    TRect tr(r.Left + pad, r.Top, r.Right, r.Bottom);
    DrawTextW(dc, t, &tr, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
  }
  if (state & ODS_FOCUS) DrawFocusRect(dc, &r);
}

// Draws item i (or the focus of an empty list for -1); false when the list did not survive.
bool DrawOne(ListState& s, DWORD st, HDC dc, int i, const TRect& r, const PaintColors& colors) {
  UINT state = 0;
  if (i >= 0 && IsSelected(s, st, i)) state |= ODS_SELECTED;
  if (s.Focused && (i == s.Caret || (i < 0 && s.Caret < 0))) state |= ODS_FOCUS;
  if (!IsWindowEnabled(s.Hwnd)) state |= ODS_DISABLED;
  if (!IsOwnerDraw(st)) {
    if (i >= 0) DrawStandardItem(s, st, dc, i, r, state, colors);
    else if (state & ODS_FOCUS) DrawFocusRect(dc, &r);
    return true;
  }
  HWND parent = GetParent(s.Hwnd);
  if (!parent) return true;
  DRAWITEMSTRUCT d;
  d.CtlType = ODT_LISTBOX;
  d.CtlID = UINT(GetDlgCtrlID(s.Hwnd));
  d.itemID = UINT(i);
  d.itemAction = i >= 0 ? ODA_DRAWENTIRE : ODA_FOCUS;
  d.itemState = state;
  d.hwndItem = s.Hwnd;
  d.hDC = dc;
  d.rcItem = r;
  d.itemData = i >= 0 ? s.Items[size_t(i)].Data : 0;
  SetTextColor(dc, colors.Text);
  SetBkColor(dc, colors.Back);
  SavedDC saved(dc);
  SendMessageW(parent, WM_DRAWITEM, d.CtlID, reinterpret_cast<LPARAM>(&d));
  return !s.Dead;
}

void Paint(ListState& s, HDC dc) {
  if (!dc) return;
  DWORD st = StyleOf(s);
  SavedDC saved(dc);
  SelectObject(dc, FontOf(s));
  HBRUSH brush = ListBrush(s, dc);
  if (s.Dead) return;
  PaintColors colors{brush, GetTextColor(dc), GetBkColor(dc)};
  TRect c = Client(s);
  if (Count(s) == 0) {
    FillRect(dc, &c, brush);
    TRect r(0, 0, c.Right, s.ItemHeight);
    if (s.Focused) DrawOne(s, st, dc, -1, r, colors);
    return;
  }
  TRect clip;
  GetClipBox(dc, &clip);
  // The handler of an item may change the list; the bounds are re-read for every item.
  for (int i = s.Top; i < Count(s); ++i) {
    TRect r = ItemRectOf(s, st, i);
    if ((st & LBS_MULTICOLUMN) ? r.Left >= c.Right : r.Top >= c.Bottom) break;
    TRect hit;
    if (!IntersectRect(hit, r, clip)) continue;
    if (!DrawOne(s, st, dc, i, r, colors)) return;
    ExcludeClipRect(dc, r.Left, r.Top, r.Right, r.Bottom);
  }
  FillRect(dc, &c, brush);
}

// ---- input --------------------------------------------------------------------------------------

bool KeyDown(ListState& s, WPARAM vk) {
  DWORD st = StyleOf(s);
  if (st & LBS_WANTKEYBOARDINPUT) {
    if (HWND parent = GetParent(s.Hwnd)) {
      LRESULT r = SendMessageW(parent, WM_VKEYTOITEM, MAKEWPARAM(WORD(vk), WORD(s.Caret)),
                               reinterpret_cast<LPARAM>(s.Hwnd));
      if (s.Dead) return false;
      if (r == -2) return true;
    }
  }
  int n = Count(s);
  if (n == 0) return true;
  bool shift = GetKeyState(VK_SHIFT) < 0, ctrl = GetKeyState(VK_CONTROL) < 0;
  int caret = s.Caret < 0 ? std::max(0, s.Cur) : s.Caret;
  int rows = (st & LBS_MULTICOLUMN) ? PageRows(s) : 1;
  int page = std::max(1, FitFrom(s, st, s.Top) - 1);
  int to = -1;
  switch (vk) {
    case VK_UP: to = caret - 1; break;
    case VK_DOWN: to = caret + 1; break;
    case VK_LEFT: to = caret - rows; break;
    case VK_RIGHT: to = caret + rows; break;
    case VK_PRIOR: to = caret - ((st & LBS_MULTICOLUMN) ? rows : page); break;
    case VK_NEXT: to = caret + ((st & LBS_MULTICOLUMN) ? rows : page); break;
    case VK_HOME: to = 0; break;
    case VK_END: to = n - 1; break;
    case VK_SPACE:
      if (IsMulti(st) && (!IsExtended(st) || ctrl) && InRange(s, WPARAM(caret))) {
        SetCaret(s, caret);
        SetItemSel(s, caret, !s.Items[size_t(caret)].Selected);
        s.Anchor = caret;
        return Notify(s, LBN_SELCHANGE);
      }
      return true;
    default: return true;
  }
  if (s.Caret < 0) to = caret;  // the first arrow only shows the caret
  to = std::clamp(to, 0, n - 1);
  bool changed = MoveTo(s, st, to, shift, ctrl);
  if (changed || !IsMulti(st)) return Notify(s, LBN_SELCHANGE);
  return true;
}

bool CharTyped(ListState& s, Char ch) {
  DWORD st = StyleOf(s);
  if (!HasStrings(st)) {
    if ((st & LBS_WANTKEYBOARDINPUT) && GetParent(s.Hwnd)) {
      LRESULT r = SendMessageW(GetParent(s.Hwnd), WM_CHARTOITEM, MAKEWPARAM(ch, WORD(s.Caret)),
                               reinterpret_cast<LPARAM>(s.Hwnd));
      if (s.Dead) return false;
      if (r >= 0 && r < Count(s)) return !MoveTo(s, st, int(r), false, false) || Notify(s, LBN_SELCHANGE);
    }
    return true;
  }
  if (ch < 0x20 || (ch == u' ' && IsMulti(st))) return true;
  DWORD now = GetTickCount();
  if (s.Prefix.empty() || now - s.LastChar > kListBoxTypeAheadMs) s.Prefix.clear();
  s.LastChar = now;
  s.Prefix += ch;
  // A repeated single letter steps through the items starting with it.
  bool same = s.Prefix.size() > 1 &&
              std::all_of(s.Prefix.begin(), s.Prefix.end(), [&](Char c) { return Fold(c) == Fold(s.Prefix[0]); });
  StringView key = same ? StringView(s.Prefix).substr(0, 1) : StringView(s.Prefix);
  int n = Count(s);
  int start = s.Caret < 0 ? 0 : s.Caret + (key.size() == 1 ? 1 : 0);
  for (int k = 0; k < n; ++k) {
    int i = (start + k) % n;
    if (StartsNoCase(s.Items[size_t(i)].Text, key)) {
      bool changed = MoveTo(s, st, i, false, false);
      return (!changed && IsMulti(st)) || Notify(s, LBN_SELCHANGE);
    }
  }
  return true;
}

bool MouseSelect(ListState& s, TPoint p, WPARAM keys, bool press) {
  DWORD st = StyleOf(s);
  bool outside = false;
  int i = ItemFromPoint(s, st, p, outside);
  if (i < 0) return true;
  if (press && outside) {
    TRect last = ItemRectOf(s, st, Count(s) - 1);
    if (p.Y >= last.Bottom || p.X >= last.Right) return true;  // the empty area below the items
  }
  bool changed = false;
  bool shift = keys & MK_SHIFT, ctrl = keys & MK_CONTROL;
  if (st & LBS_NOSEL) return true;
  if (!IsMulti(st)) {
    changed = SelectSingle(s, i);
  } else if (!IsExtended(st)) {
    if (!press) return true;
    SetCaret(s, i);
    changed = SetItemSel(s, i, !s.Items[size_t(i)].Selected);
    s.Anchor = i;
  } else if (press && ctrl && !shift) {
    SetCaret(s, i);
    changed = SetItemSel(s, i, !s.Items[size_t(i)].Selected);
    s.Anchor = i;
    s.TrackCtrl = true;
  } else if (press && !shift) {
    changed = SelectRange(s, i, i, true, true);
    s.Anchor = i;
    SetCaret(s, i);
    s.TrackCtrl = false;
  } else {
    if (s.Anchor < 0) s.Anchor = i;
    bool on = !s.TrackCtrl || IsSelected(s, st, s.Anchor);
    changed = SelectRange(s, s.Anchor, i, on, !(ctrl || s.TrackCtrl));
    SetCaret(s, i);
  }
  EnsureVisible(s, i);
  return !changed || Notify(s, LBN_SELCHANGE);
}

void AutoScrollStep(ListState& s) {
  TPoint p;
  GetCursorPos(&p);
  ScreenToClient(s.Hwnd, &p);
  TRect c = Client(s);
  DWORD st = StyleOf(s);
  if (st & LBS_MULTICOLUMN) {
    int rows = PageRows(s);
    if (p.X < 0) SetTop(s, s.Top - rows);
    else if (p.X >= c.Right) SetTop(s, s.Top + rows);
    else return;
  } else {
    if (p.Y < 0) SetTop(s, s.Top - 1);
    else if (p.Y >= c.Bottom) SetTop(s, s.Top + 1);
    else return;
  }
  TPoint q(std::clamp(p.X, 0, std::max(0, c.Right - 1)), std::clamp(p.Y, 0, std::max(0, c.Bottom - 1)));
  MouseSelect(s, q, (GetKeyState(VK_SHIFT) < 0 ? MK_SHIFT : 0) | (GetKeyState(VK_CONTROL) < 0 ? MK_CONTROL : 0) | MK_SHIFT, false);
}

void Scroll(ListState& s, int bar, WPARAM wp) {
  DWORD st = StyleOf(s);
  WORD code = LOWORD(wp);
  bool byColumns = (st & LBS_MULTICOLUMN) && bar == SB_HORZ;
  bool pixels = bar == SB_HORZ && !byColumns;
  int unit = byColumns ? PageRows(s) : 1;
  int pos = pixels ? s.HPos : s.Top / unit;
  int page = pixels ? Client(s).Width()
             : byColumns ? std::max(1, Client(s).Width() / ColumnWidthOf(s))
                         : std::max(1, FitFrom(s, st, s.Top) - 1);
  int line = pixels ? std::max(1, s.ItemHeight) : 1;
  int to = pos;
  switch (code) {
    case SB_LINEUP: to = pos - line; break;
    case SB_LINEDOWN: to = pos + line; break;
    case SB_PAGEUP: to = pos - page; break;
    case SB_PAGEDOWN: to = pos + page; break;
    case SB_TOP: to = 0; break;
    case SB_BOTTOM: to = 1 << 30; break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: {
      // The message carries 16 bits; the scroll information holds the whole position,
      // as the tracking position (a drag of the bar) or the position (set by whoever posted
      // the message). The one whose low 16 bits match is taken.
      to = int(HIWORD(wp));
      SCROLLINFO si;
      si.fMask = SIF_RANGE | SIF_TRACKPOS | SIF_POS;
      if (GetScrollInfo(s.Hwnd, bar, &si) && si.nMax > 0xFFFF) {
        if (code == SB_THUMBTRACK && WORD(si.nTrackPos) == WORD(to)) to = si.nTrackPos;
        else if (WORD(si.nPos) == WORD(to)) to = si.nPos;
      }
      break;
    }
    default: return;
  }
  if (pixels) SetHPos(s, to);
  else SetTop(s, std::max(0, to) * unit);
}

// ---- messages -----------------------------------------------------------------------------------

LRESULT ListMessage(ListState& s, UINT msg, WPARAM wp, LPARAM lp) {
  HWND h = s.Hwnd;
  DWORD st = StyleOf(s);
  switch (msg) {
    case WM_CREATE: {
      s.ItemHeight = FontHeight(FontOf(s));
      if ((st & LBS_OWNERDRAWFIXED) && GetParent(h)) {
        MEASUREITEMSTRUCT mi;
        mi.CtlType = ODT_LISTBOX;
        mi.CtlID = UINT(GetDlgCtrlID(h));
        mi.itemHeight = UINT(s.ItemHeight);
        SendMessageW(GetParent(h), WM_MEASUREITEM, mi.CtlID, reinterpret_cast<LPARAM>(&mi));
        if (s.Dead) return -1;
        s.ItemHeight = std::max(1, int(mi.itemHeight));
      }
      UpdateScroll(s);
      return 0;
    }
    case WM_SETFONT:
      s.Font = reinterpret_cast<HFONT>(wp);
      if (!IsOwnerDraw(st)) s.ItemHeight = FontHeight(FontOf(s));
      s.Top = std::clamp(s.Top, 0, MaxTop(s, st));
      UpdateScroll(s);
      if (lp) InvalidateAll(s);
      return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(s.Font);
    case WM_SETREDRAW:
      s.Redraw = wp != 0;
      if (s.Redraw) {
        UpdateScroll(s);
        InvalidateRect(h, nullptr, true);
      }
      return 0;
    case WM_SIZE:
      s.Top = std::clamp(s.Top, 0, MaxTop(s, st));
      if (st & LBS_MULTICOLUMN) s.Top -= s.Top % PageRows(s);
      s.HPos = std::clamp(s.HPos, 0, std::max(0, s.HExtent - Client(s).Width()));
      UpdateScroll(s);
      InvalidateAll(s);
      return 0;
    case WM_ENABLE: InvalidateAll(s); return 0;
    case WM_GETDLGCODE: return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_SETFOCUS:
      s.Focused = true;
      if (Count(s) == 0) InvalidateAll(s);
      InvalidateItem(s, s.Caret);
      Notify(s, LBN_SETFOCUS);
      return 0;
    case WM_KILLFOCUS:
      s.Focused = false;
      if (Count(s) == 0) InvalidateAll(s);
      InvalidateItem(s, s.Caret);
      Notify(s, LBN_KILLFOCUS);
      return 0;
    case WM_ERASEBKGND: {
      HDC dc = reinterpret_cast<HDC>(wp);
      HBRUSH b = ListBrush(s, dc);
      if (s.Dead) return 1;
      TRect c = Client(s);
      FillRect(dc, &c, b);
      return 1;
    }
    case WM_PAINT: {
      if (wp) {
        Paint(s, reinterpret_cast<HDC>(wp));
        return 0;
      }
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(h, &ps);
      Paint(s, dc);
      EndPaint(h, &ps);
      return 0;
    }
    case WM_PRINTCLIENT: Paint(s, reinterpret_cast<HDC>(wp)); return 0;
    case WM_KEYDOWN: KeyDown(s, wp); return 0;
    case WM_CHAR: CharTyped(s, Char(wp)); return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
      if (GetFocus() != h) {
        SetFocus(h);
        if (s.Dead) return 0;
      }
      if (!MouseSelect(s, LParamToPoint(lp), wp, true)) return 0;
      if (msg == WM_LBUTTONDBLCLK && !Notify(s, LBN_DBLCLK)) return 0;
      s.Tracking = true;
      SetCapture(h);
      SetTimer(h, kAutoScrollTimer, kAutoScrollMs, nullptr);
      return 0;
    }
    case WM_MOUSEMOVE:
      if (s.Tracking && (wp & MK_LBUTTON)) {
        TPoint p = LParamToPoint(lp);
        TRect c = Client(s);
        if (c.Contains(p)) MouseSelect(s, p, (wp & MK_CONTROL) | MK_SHIFT, false);
      }
      return 0;
    case WM_TIMER:
      if (wp == kAutoScrollTimer && s.Tracking) AutoScrollStep(s);
      return 0;
    case WM_LBUTTONUP:
      if (s.Tracking) {
        s.Tracking = false;
        KillTimer(h, kAutoScrollTimer);
        if (GetCapture() == h) ReleaseCapture();
      }
      return 0;
    case WM_CAPTURECHANGED:
      if (s.Tracking) {
        s.Tracking = false;
        KillTimer(h, kAutoScrollTimer);
      }
      return 0;
    case WM_MOUSEWHEEL: {
      int notches = GET_WHEEL_DELTA_WPARAM(wp) / WHEEL_DELTA;
      if (st & LBS_MULTICOLUMN) SetTop(s, s.Top - notches * PageRows(s));
      else SetTop(s, s.Top - notches * 3);
      return 0;
    }
    case WM_VSCROLL: Scroll(s, SB_VERT, wp); return 0;
    case WM_HSCROLL: Scroll(s, SB_HORZ, wp); return 0;

    case LB_ADDSTRING: {
      String text = TextArg(st, lp);
      int at = ((st & LBS_SORT) && HasStrings(st)) ? SortedIndex(s, text) : Count(s);
      return InsertAt(s, at, std::move(text), ULONG_PTR(lp));
    }
    case LB_INSERTSTRING: {
      INT_PTR at = INT_PTR(wp);
      if (at == -1) at = Count(s);
      if (at < 0 || at > Count(s)) return LB_ERR;
      return InsertAt(s, int(at), TextArg(st, lp), ULONG_PTR(lp));
    }
    case LB_DELETESTRING:
      if (!InRange(s, wp)) return LB_ERR;
      return DeleteAt(s, int(wp));
    case LB_RESETCONTENT:
      s.Items.clear();
      s.Top = s.HPos = 0;
      s.Cur = s.Caret = s.Anchor = -1;
      InvalidateAll(s);
      UpdateScroll(s);
      return LB_OKAY;
    case LB_INITSTORAGE: s.Items.reserve(s.Items.size() + size_t(wp)); return LRESULT(s.Items.capacity());
    case LB_GETCOUNT: return Count(s);
    case LB_GETTEXTLEN:
      if (!InRange(s, wp)) return LB_ERR;
      return HasStrings(st) ? LRESULT(s.Items[wp].Text.size()) : LRESULT(sizeof(ULONG_PTR));
    case LB_GETTEXT: {
      if (!InRange(s, wp) || !lp) return LB_ERR;
      const Item& it = s.Items[wp];
      if (!HasStrings(st)) {
        *reinterpret_cast<ULONG_PTR*>(lp) = it.Data;
        return sizeof(ULONG_PTR);
      }
      auto* out = reinterpret_cast<Char*>(lp);
      std::copy(it.Text.begin(), it.Text.end(), out);
      out[it.Text.size()] = 0;
      return LRESULT(it.Text.size());
    }
    case LB_GETITEMDATA:
      if (!InRange(s, wp)) return LB_ERR;
      return LRESULT(s.Items[wp].Data);
    case LB_SETITEMDATA:
      if (!InRange(s, wp)) return LB_ERR;
      s.Items[wp].Data = ULONG_PTR(lp);
      return 0;
    case LB_FINDSTRING: return Find(s, st, wp, lp, false);
    case LB_FINDSTRINGEXACT: return Find(s, st, wp, lp, true);
    case LB_SELECTSTRING: {
      if (IsMulti(st)) return LB_ERR;
      int i = Find(s, st, wp, lp, false);
      if (i < 0) return LB_ERR;
      SelectSingle(s, i);
      EnsureVisible(s, i);
      return i;
    }
    case LB_GETCURSEL:
      if (IsMulti(st)) return s.Caret >= 0 ? s.Caret : LB_ERR;
      return s.Cur >= 0 ? s.Cur : LB_ERR;
    case LB_SETCURSEL: {
      if (IsMulti(st)) return LB_ERR;
      if (INT_PTR(wp) == -1) {
        SelectSingle(s, -1);
        return LB_ERR;
      }
      if (!InRange(s, wp)) return LB_ERR;
      SelectSingle(s, int(wp));
      EnsureVisible(s, int(wp));
      return LRESULT(wp);
    }
    case LB_GETSEL:
      if (!InRange(s, wp)) return LB_ERR;
      return IsSelected(s, st, int(wp)) ? 1 : 0;
    case LB_SETSEL: {
      if (!IsMulti(st)) return LB_ERR;
      INT_PTR i = INT_PTR(lp);
      if (i == -1) {
        if (Count(s)) SelectRange(s, 0, Count(s) - 1, wp != 0, false);
        return 0;
      }
      if (!InRange(s, WPARAM(i))) return LB_ERR;
      SetItemSel(s, int(i), wp != 0);
      SetCaret(s, int(i));
      EnsureVisible(s, int(i));
      return 0;
    }
    case LB_SELITEMRANGE:
    case LB_SELITEMRANGEEX: {
      if (!IsMulti(st)) return LB_ERR;
      int first, last;
      bool on = true;
      if (msg == LB_SELITEMRANGE) {
        first = LOWORD(lp);
        last = HIWORD(lp);
        on = wp != 0;
      } else {
        first = int(INT_PTR(wp));
        last = int(lp);
        on = first <= last;
      }
      if (!InRange(s, WPARAM(first)) || !InRange(s, WPARAM(last))) return LB_ERR;
      SelectRange(s, first, last, on, false);
      return 0;
    }
    case LB_GETSELCOUNT: {
      if (!IsMulti(st)) return LB_ERR;
      return std::count_if(s.Items.begin(), s.Items.end(), [](const Item& i) { return i.Selected; });
    }
    case LB_GETSELITEMS: {
      if (!IsMulti(st) || !lp) return LB_ERR;
      auto* out = reinterpret_cast<int*>(lp);
      int max = int(INT_PTR(wp)), n = 0;
      for (int i = 0; i < Count(s) && n < max; ++i)
        if (s.Items[size_t(i)].Selected) out[n++] = i;
      return n;
    }
    case LB_GETTOPINDEX: return s.Top;
    case LB_SETTOPINDEX:
      if (!InRange(s, wp)) return LB_ERR;
      SetTop(s, int(wp));
      return 0;
    case LB_GETCARETINDEX: return s.Caret >= 0 ? s.Caret : (Count(s) ? 0 : LB_ERR);
    case LB_SETCARETINDEX:
      if (!InRange(s, wp)) return LB_ERR;
      if (!IsMulti(st)) SelectSingle(s, int(wp));
      else SetCaret(s, int(wp));
      EnsureVisible(s, int(wp));
      return 0;
    case LB_GETANCHORINDEX: return s.Anchor;
    case LB_SETANCHORINDEX:
      if (!InRange(s, wp)) return LB_ERR;
      s.Anchor = int(wp);
      return 0;
    case LB_GETITEMHEIGHT:
      if (IsVariable(st)) {
        if (!InRange(s, wp)) return LB_ERR;
        return s.Items[wp].Height;
      }
      return s.ItemHeight;
    case LB_SETITEMHEIGHT: {
      // Heights below 1 would leave nothing to hit or scroll by; no upper limit.
      int height = int(lp);
      if (height < 1) return LB_ERR;
      if (IsVariable(st)) {
        if (!InRange(s, wp)) return LB_ERR;
        s.Items[wp].Height = height;
      } else {
        s.ItemHeight = height;
      }
      s.Top = std::clamp(s.Top, 0, MaxTop(s, st));
      if (st & LBS_MULTICOLUMN) s.Top -= s.Top % PageRows(s);
      InvalidateAll(s);
      UpdateScroll(s);
      return 0;
    }
    case LB_GETITEMRECT: {
      if (!lp) return LB_ERR;
      if (!InRange(s, wp) && !(wp == 0 && Count(s) == 0)) return LB_ERR;
      TRect r = Count(s) ? ItemRectOf(s, st, int(wp)) : TRect(0, 0, Client(s).Right, s.ItemHeight);
      *reinterpret_cast<TRect*>(lp) = r;
      return 1;
    }
    case LB_ITEMFROMPOINT: {
      bool outside = false;
      int i = ItemFromPoint(s, st, LParamToPoint(lp), outside);
      if (i < 0) return MAKELRESULT(0, 1);
      return MAKELRESULT(WORD(i), outside ? 1 : 0);
    }
    case LB_SETCOLUMNWIDTH:
      if (INT_PTR(wp) < 1) return LB_ERR;
      s.ColumnWidth = int(wp);
      s.Top = std::clamp(s.Top, 0, MaxTop(s, st));
      InvalidateAll(s);
      UpdateScroll(s);
      return 0;
    case LB_GETHORIZONTALEXTENT: return s.HExtent;
    case LB_SETHORIZONTALEXTENT:
      s.HExtent = std::max(0, int(INT_PTR(wp)));
      s.HPos = std::clamp(s.HPos, 0, std::max(0, s.HExtent - Client(s).Width()));
      UpdateScroll(s);
      InvalidateAll(s);
      return 0;
    case LB_SETTABSTOPS: {
      int n = int(INT_PTR(wp));
      if (n < 0 || (n > 0 && !lp)) return 0;
      const int* tabs = reinterpret_cast<const int*>(lp);
      s.Tabs.assign(tabs, tabs + n);
      InvalidateAll(s);
      return 1;
    }
    case LB_GETLISTBOXINFO: return (st & LBS_MULTICOLUMN) ? PageRows(s) : 0;
    case LB_SETCOUNT: return LB_ERR;  // LBS_NODATA lists are not supported
    default: return DefWindowProcW(h, msg, wp, lp);
  }
}

}  // namespace

LRESULT ListBoxWndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  auto& all = Lists();
  if (msg == WM_NCCREATE) {
    auto s = std::make_shared<ListState>();
    s->Hwnd = hwnd;
    if (auto* cs = reinterpret_cast<const CREATESTRUCTW*>(lp)) {
      s->VBar = DWORD(cs->style) & WS_VSCROLL;
      s->HBar = DWORD(cs->style) & WS_HSCROLL;
    }
    all[hwnd] = s;
    return DefWindowProcW(hwnd, msg, wp, lp);
  }
  auto it = all.find(hwnd);
  if (it == all.end()) return DefWindowProcW(hwnd, msg, wp, lp);
  ListPtr keep = it->second;  // alive for this message, whatever the parent does
  if (msg == WM_NCDESTROY) {
    keep->Dead = true;
    KillTimer(hwnd, kAutoScrollTimer);
    all.erase(hwnd);
    return DefWindowProcW(hwnd, msg, wp, lp);
  }
  if (keep->Dead) return 0;
  return ListMessage(*keep, msg, wp, lp);
}

}  // namespace vcl
