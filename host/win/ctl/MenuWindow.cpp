// The popup menu window "#32768": layout of a menu's items, the default (light) painting, the
// window procedure, and what style hooks read from it.
//
// Layout at 96 DPI, scaled to the window's density: a 1-pixel border and 2 pixels of padding
// around the items; each row is the image column (the gutter, 28 pixels or the image width +
// 12), the caption, the shortcut column (right-aligned, 28 pixels after the widest caption)
// and the sub-menu arrow column (20 pixels). Rows are at least 22 pixels high; separators 7.
#include <algorithm>
#include <map>
#include <unordered_map>

#include "host/gdi/GdiDraw.h"
#include "host/win/WinInternal.h"
#include "host/win/ctl/MenuInternal.h"

namespace vcl {

namespace menus {

namespace {

constexpr COLORREF kBack = RGB(0xF2, 0xF2, 0xF2);
constexpr COLORREF kBorder = RGB(0xCC, 0xCC, 0xCC);
constexpr COLORREF kHotFill = RGB(0xCC, 0xE8, 0xFF);
constexpr COLORREF kHotFrame = RGB(0x99, 0xD1, 0xFF);
constexpr COLORREF kHotDisabled = RGB(0xE6, 0xE6, 0xE6);
constexpr COLORREF kSeparator = RGB(0xD7, 0xD7, 0xD7);

std::unordered_map<HWND, Level*>& Windows() {
  static auto* map = new std::unordered_map<HWND, Level*>;
  return *map;
}

int Px(int v, UINT dpi) { return MulDiv(v, int(dpi), 96); }

HFONT MenuFont(UINT dpi, bool bold) {
  static auto* cache = new std::map<std::pair<UINT, bool>, HFONT>;  // process lifetime
  auto key = std::make_pair(dpi, bold);
  auto it = cache->find(key);
  if (it != cache->end()) return it->second;
  NONCLIENTMETRICSW m;
  SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof m, &m, 0, dpi);
  LOGFONTW lf = m.lfMenuFont;
  if (bold) lf.lfWeight = FW_BOLD;
  HFONT f = CreateFontIndirectW(lf);
  cache->emplace(key, f);
  return f;
}

void SplitText(const String& text, String& caption, String& shortcut) {
  size_t tab = text.find(u'\t');
  if (tab == String::npos) {
    caption = text;
    shortcut.clear();
  } else {
    caption = text.substr(0, tab);
    shortcut = text.substr(tab + 1);
  }
}

TSize TextSize(HDC dc, const String& s, UINT flags) {
  TRect r;
  DrawTextW(dc, s.empty() ? String(u" ") : s, &r, DT_SINGLELINE | DT_CALCRECT | flags);
  return {s.empty() ? 0 : r.Width(), r.Height()};
}

TSize BitmapSize(HBITMAP b) {
  BITMAP bm;
  if (!b || !GetObject(b, &bm)) return {};
  return {bm.bmWidth, std::abs(bm.bmHeight)};
}

UINT OwnerDrawState(const Level& l, const Item& it, int index) {
  UINT s = 0;
  if (index == l.Hot) s |= ODS_SELECTED;
  if (it.Grayed()) s |= ODS_GRAYED;
  if (it.State & MF_DISABLED) s |= ODS_DISABLED;
  if (it.State & MFS_CHECKED) s |= ODS_CHECKED;
  if (it.State & MFS_DEFAULT) s |= ODS_DEFAULT;
  if (!l.ShowAccel) s |= ODS_NOACCEL;
  return s;
}

void SendDrawItem(const Level& l, const Item& it, int index, HDC dc) {
  DRAWITEMSTRUCT d;
  d.CtlType = ODT_MENU;
  d.itemID = it.Id;
  d.itemAction = ODA_DRAWENTIRE;
  d.itemState = OwnerDrawState(l, it, index);
  d.hwndItem = reinterpret_cast<HWND>(l.Menu);
  d.hDC = dc;
  d.rcItem = l.Rects[size_t(index)];
  d.itemData = it.Data;
  int saved = SaveDC(dc);
  SendMessageW(l.Owner, WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&d));
  RestoreDC(dc, saved);
}

void DrawBitmap(HDC dc, HBITMAP b, int x, int y, TSize z) {
  HDC mem = CreateCompatibleDC(dc);
  HGDIOBJ old = SelectObject(mem, AsGdiObj(b));
  BitBlt(dc, x, y, z.cx, z.cy, mem, 0, 0, SRCCOPY);
  SelectObject(mem, old);
  DeleteDC(mem);
}

void Frame(HDC dc, const TRect& r, COLORREF frame, COLORREF fill) {
  WmFillSolid(dc, r, frame);
  WmFillSolid(dc, r.Inflated(-1, -1), fill);
}

void PaintItem(Level& l, HDC dc, MenuObject* m, int index) {
  const Item& it = m->Items[size_t(index)];
  const TRect& r = l.Rects[size_t(index)];
  if (r.IsEmpty()) return;
  UINT dpi = l.Dpi;
  if (it.Separator()) {
    int y = r.Top + r.Height() / 2;
    WmFillSolid(dc, TRect(r.Left + l.Gutter, y, r.Right - Px(2, dpi), y + std::max(1, Px(1, dpi))), kSeparator);
    return;
  }
  bool hot = index == l.Hot;
  bool disabled = it.Disabled();
  if (it.OwnerDraw()) {
    WmFillSolid(dc, r, kBack);
    SendDrawItem(l, it, index, dc);
    return;
  }
  if (hot) {
    if (disabled) WmFillSolid(dc, r, kHotDisabled);
    else Frame(dc, r, kHotFrame, kHotFill);
  }
  // The image column: the item's bitmap or image, else its check mark.
  TRect column(r.Left, r.Top, r.Left + l.Gutter, r.Bottom);
  const TMenuItemImage& img = l.Images[size_t(index)];
  bool checked = (it.State & MFS_CHECKED) != 0;
  TSize imgSize;
  if (it.Bitmap) imgSize = BitmapSize(it.Bitmap);
  else if (img.Images && img.Index >= 0 && img.Index < ImageList_GetImageCount(img.Images))
    ImageList_GetIconSize(img.Images, &imgSize.cx, &imgSize.cy);
  if (imgSize.cx > 0) {
    int x = column.Left + (column.Width() - imgSize.cx) / 2, y = r.Top + (r.Height() - imgSize.cy) / 2;
    if (checked) {
      TRect box(x - Px(3, dpi), y - Px(3, dpi), x + imgSize.cx + Px(3, dpi), y + imgSize.cy + Px(3, dpi));
      Frame(dc, TRect::Intersect(box, r), kHotFrame, kHotFill);
    }
    if (it.Bitmap) DrawBitmap(dc, it.Bitmap, x, y, imgSize);
    else
      ImageList_DrawEx(img.Images, img.Index, dc, x, y, 0, 0, CLR_NONE, disabled ? CLR_NONE : CLR_DEFAULT,
                       ILD_TRANSPARENT | (disabled ? ILD_BLEND50 : 0));
  } else if (checked) {
    int side = Px(16, dpi);
    TRect box = TRect::FromSize(column.Left + (column.Width() - side) / 2, r.Top + (r.Height() - side) / 2, side, side);
    TRect back = box.Inflated(Px(2, dpi), Px(2, dpi));
    if (!hot) Frame(dc, TRect::Intersect(back, r), kHotFrame, kHotFill);
    UINT glyph = (it.Type & MFT_RADIOCHECK) ? DFCS_MENUBULLET : DFCS_MENUCHECK;
    DrawFrameControl(dc, &box, DFC_MENU, glyph | DFCS_TRANSPARENT | (disabled ? DFCS_INACTIVE : 0));
  }
  String caption, shortcut;
  SplitText(it.Text, caption, shortcut);
  int saved = SaveDC(dc);
  SelectObject(dc, (it.State & MFS_DEFAULT) ? l.BoldFont : l.Font);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(disabled ? COLOR_GRAYTEXT : COLOR_MENUTEXT));
  TRect text(r.Left + l.TextLeft, r.Top, l.ShortcutRight, r.Bottom);
  if (!shortcut.empty()) {
    TRect sc = text;
    DrawTextW(dc, shortcut, &sc, DT_SINGLELINE | DT_VCENTER | DT_RIGHT | DT_NOPREFIX);
    text.Right -= TextSize(dc, shortcut, DT_NOPREFIX).cx + Px(12, dpi);
  }
  if (it.Type & MFT_BITMAP) {
    // A bitmap instead of a caption: drawn where the caption would go.
    TSize z = BitmapSize(it.Bitmap);
    if (z.cx > 0) DrawBitmap(dc, it.Bitmap, text.Left, r.Top + (r.Height() - z.cy) / 2, z);
  } else {
    DrawTextW(dc, caption, &text,
              DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_END_ELLIPSIS | (l.ShowAccel ? 0 : DT_HIDEPREFIX));
  }
  RestoreDC(dc, saved);
  if (LiveMenu(it.SubMenu)) {
    int side = Px(16, dpi);
    TRect a = TRect::FromSize(r.Right - l.ArrowWidth + (l.ArrowWidth - side) / 2, r.Top + (r.Height() - side) / 2,
                              side, side);
    DrawFrameControl(dc, &a, DFC_MENU, DFCS_MENUARROW | DFCS_TRANSPARENT | (disabled ? DFCS_INACTIVE : 0));
  }
}

}  // namespace

Level* LevelOfWindow(HWND hwnd) {
  auto& w = Windows();
  auto it = w.find(hwnd);
  return it == w.end() ? nullptr : it->second;
}

void RegisterLevelWindow(Level& level) { Windows()[level.Window] = &level; }
void UnregisterLevelWindow(Level& level) { Windows().erase(level.Window); }

void LayoutLevel(Level& l) {
  MenuObject* m = LiveMenu(l.Menu);
  l.Rects.clear();
  l.Images.clear();
  if (!m) {
    l.Size = {Px(60, l.Dpi), Px(12, l.Dpi)};
    return;
  }
  UINT dpi = l.Dpi;
  l.Font = MenuFont(dpi, false);
  l.BoldFont = MenuFont(dpi, true);
  l.Border = Px(3, dpi);
  l.ArrowWidth = Px(20, dpi);
  size_t n = m->Items.size();
  l.Images.resize(n);
  l.Rects.resize(n);
  HDC dc = CreateCompatibleDC(nullptr);
  int imageW = Px(16, dpi), imageH = Px(16, dpi);
  int captionW = 0, shortcutW = 0, ownerW = 0, textH = 0;
  std::vector<int> heights(n, 0);
  for (size_t i = 0; i < n; ++i) {
    const Item& it = m->Items[i];
    if (m->Images) l.Images[i] = m->Images(l.Menu, UINT(i), it.Data);
    TSize z;
    if (it.Bitmap) z = BitmapSize(it.Bitmap);
    else if (l.Images[i].Images) ImageList_GetIconSize(l.Images[i].Images, &z.cx, &z.cy);
    imageW = std::max(imageW, z.cx);
    imageH = std::max(imageH, z.cy);
  }
  int gutter = std::max(Px(28, dpi), imageW + Px(12, dpi));
  for (size_t i = 0; i < n; ++i) {
    const Item& it = m->Items[i];
    if (it.Separator()) {
      heights[i] = Px(7, dpi);
      continue;
    }
    if (it.OwnerDraw()) {
      MEASUREITEMSTRUCT mi;
      mi.CtlType = ODT_MENU;
      mi.itemID = it.Id;
      mi.itemHeight = UINT(Px(22, dpi));
      mi.itemData = it.Data;
      SendMessageW(l.Owner, WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&mi));
      ownerW = std::max(ownerW, int(std::min<UINT>(mi.itemWidth, 32767)));
      heights[i] = std::clamp(int(mi.itemHeight), 1, 32767);
      continue;
    }
    String caption, shortcut;
    SplitText(it.Text, caption, shortcut);
    SelectObject(dc, (it.State & MFS_DEFAULT) ? l.BoldFont : l.Font);
    TSize c = TextSize(dc, caption, 0);
    if (it.Type & MFT_BITMAP) c = BitmapSize(it.Bitmap);
    TSize k = shortcut.empty() ? TSize{} : TextSize(dc, shortcut, DT_NOPREFIX);
    captionW = std::max(captionW, c.cx);
    shortcutW = std::max(shortcutW, k.cx);
    textH = std::max(textH, c.cy);
    heights[i] = std::max({Px(22, dpi), c.cy + Px(6, dpi), imageH + Px(6, dpi)});
  }
  DeleteDC(dc);
  l.Gutter = gutter;
  l.TextLeft = gutter + Px(4, dpi);
  int inner = l.TextLeft + captionW + (shortcutW ? Px(28, dpi) + shortcutW : 0) + Px(8, dpi) + l.ArrowWidth;
  inner = std::max({inner, ownerW, Px(40, dpi)});
  int y = l.Border;
  for (size_t i = 0; i < n; ++i) {
    l.Rects[i] = TRect(l.Border, y, l.Border + inner, y + heights[i]);
    y += heights[i];
  }
  l.ShortcutRight = l.Border + inner - l.ArrowWidth - Px(4, dpi);
  l.Size = {inner + 2 * l.Border, std::max(y + l.Border, 2 * l.Border + Px(6, dpi))};
  (void)textH;
}

void PaintLevel(Level& l, HDC dc) {
  TRect client(0, 0, l.Size.cx, l.Size.cy);
  if (l.Window) GetClientRect(l.Window, &client);
  WmFillSolid(dc, client, kBorder);
  int line = std::max(1, Px(1, l.Dpi));
  WmFillSolid(dc, client.Inflated(-line, -line), kBack);
  MenuObject* m = LiveMenu(l.Menu);
  if (!m) return;
  size_t n = std::min(m->Items.size(), l.Rects.size());
  for (size_t i = 0; i < n; ++i) PaintItem(l, dc, m, int(i));
}

void InvalidateItem(Level& l, int index) {
  if (!l.Window || index < 0 || size_t(index) >= l.Rects.size()) return;
  InvalidateRect(l.Window, &l.Rects[size_t(index)], false);
}

int ItemAt(const Level& l, TPoint p) {
  for (size_t i = 0; i < l.Rects.size(); ++i)
    if (l.Rects[i].Contains(p)) return int(i);
  return -1;
}

void MenuChanged(MenuObject* m) {
  if (!m || !m->Shown) return;
  Level& l = *m->Shown;
  LayoutLevel(l);
  if (l.Hot >= int(l.Rects.size())) l.Hot = -1;
  if (l.Window) {
    SetWindowPos(l.Window, nullptr, 0, 0, l.Size.cx, l.Size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    InvalidateRect(l.Window, nullptr, true);
  }
}

}  // namespace menus

LRESULT MenuWindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  using namespace menus;
  Level* l = LevelOfWindow(hwnd);
  switch (msg) {
    case WM_MOUSEACTIVATE: return MA_NOACTIVATE;
    case WM_NCHITTEST: return HTCLIENT;
    case WM_ERASEBKGND: return 1;  // the painting covers everything
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, &ps);
      if (l) {
        PaintLevel(*l, dc);
      } else {
        TRect r;
        GetClientRect(hwnd, &r);
        WmFillSolid(dc, r, kBack);
      }
      EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_PRINTCLIENT:
      if (l) PaintLevel(*l, reinterpret_cast<HDC>(wp));
      return 0;
    case WM_TIMER:
      if (l) TrackerOnTimer(*l, wp);
      return 0;
    case MN_GETHMENU: return l ? reinterpret_cast<LRESULT>(l->Menu) : 0;
    case MN_GETHOTITEM: return l ? l->Hot : -1;
    case MN_SELECTITEM:
      if (l) TrackerSelect(*l, int(std::intptr_t(wp)));
      return 0;
    case MN_MOUSEMOVE:
      if (l) TrackerMouseAtCursor();
      return 0;
    case WM_CANCELMODE:
      if (l) TrackerCancel();
      return 0;
    case WM_CAPTURECHANGED:
      if (l) TrackerCaptureLost(hwnd);
      return 0;
    default: return DefWindowProcW(hwnd, msg, wp, lp);
  }
}

std::vector<TMenuWindowItem> GetMenuWindowItems(HWND hwnd) {
  using namespace menus;
  std::vector<TMenuWindowItem> out;
  Level* l = LevelOfWindow(hwnd);
  MenuObject* m = l ? LiveMenu(l->Menu) : nullptr;
  if (!m) return out;
  size_t n = std::min(m->Items.size(), l->Rects.size());
  out.reserve(n);
  for (size_t i = 0; i < n; ++i) {
    const Item& it = m->Items[i];
    TMenuWindowItem w;
    SplitText(it.Text, w.Text, w.ShortCut);
    w.Rect = l->Rects[i];
    w.Separator = it.Separator();
    w.Hot = int(i) == l->Hot;
    w.Disabled = it.Disabled();
    w.Checked = (it.State & MFS_CHECKED) != 0;
    w.RadioCheck = (it.Type & MFT_RADIOCHECK) != 0;
    w.HasSubMenu = LiveMenu(it.SubMenu) != nullptr;
    w.Default = (it.State & MFS_DEFAULT) != 0;
    w.OwnerDraw = it.OwnerDraw();
    w.Images = l->Images[i].Images;
    w.ImageIndex = l->Images[i].Index;
    w.Bitmap = it.Bitmap;
    out.push_back(std::move(w));
  }
  return out;
}

int MenuWindowBorder(HWND hwnd) {
  menus::Level* l = menus::LevelOfWindow(hwnd);
  return l ? l->Border : 0;
}

void DrawMenuWindowOwnerItem(HWND hwnd, int index, HDC dc) {
  using namespace menus;
  Level* l = LevelOfWindow(hwnd);
  MenuObject* m = l ? LiveMenu(l->Menu) : nullptr;
  if (!m || !dc || index < 0 || size_t(index) >= std::min(m->Items.size(), l->Rects.size())) return;
  const Item& it = m->Items[size_t(index)];
  if (it.OwnerDraw()) SendDrawItem(*l, it, index, dc);
}

}  // namespace vcl
