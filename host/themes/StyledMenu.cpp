#include "host/themes/StyledMenu.h"

#include <algorithm>
#include <map>

#include "host/gdi/GdiInternal.h"
#include "host/gdi/GdiDraw.h"
#include "host/gdi/GdiText.h"

namespace vcl {

namespace {

int Px(int v96, int dpi) { return MulDiv(v96, dpi, 96); }

TThemedElementDetails Menu(TThemedMenu m) { return GetElementDetails(m); }

TSize SizeOf(TCustomStyleServices* s, const TThemedElementDetails& d, int dpi, TSize fallback96) {
  TSize z;
  if (!s->GetElementSize(nullptr, d, esActual, z, dpi)) z = {};
  if (z.cx <= 0) z.cx = Px(fallback96.cx, dpi);
  if (z.cy <= 0) z.cy = Px(fallback96.cy, dpi);
  return z;
}

TRect Centered(const TRect& area, TSize z) {
  return TRect::FromSize(area.Left + (area.Width() - z.cx) / 2, area.Top + (area.Height() - z.cy) / 2, z.cx, z.cy);
}

// A bold version of a font, made once per font.
HFONT BoldOf(HFONT f) {
  static auto* cache = new std::map<HFONT, HFONT>;  // process lifetime, like the fonts it knows
  auto it = cache->find(f);
  if (it != cache->end()) return it->second;
  LOGFONTW lf;
  GetObject(f, &lf);
  lf.lfWeight = FW_BOLD;
  HFONT b = CreateFontIndirectW(lf);
  cache->emplace(f, b);
  return b;
}

int ArrowWidth(TCustomStyleServices* s, int dpi) { return SizeOf(s, Menu(tmPopupSubMenuNormal), dpi, {16, 16}).cx; }

// Splits "Open\tCtrl+O" into caption and shortcut when no shortcut was given apart.
void SplitCaption(const TStyledMenuItem& item, String& caption, String& shortcut) {
  caption = item.Text;
  shortcut = item.ShortCut;
  size_t tab = caption.find(u'\t');
  if (tab != String::npos) {
    if (shortcut.empty()) shortcut = caption.substr(tab + 1);
    caption.resize(tab);
  }
}

}  // namespace

int StyledMenuGutterWidth(TCustomStyleServices* s, int dpi) {
  TSize gutter = SizeOf(s, Menu(tmPopupGutter), dpi, {0, 0});
  TSize check = SizeOf(s, Menu(tmPopupCheckBackgroundNormal), dpi, {22, 22});
  return std::max({gutter.cx, check.cx + Px(6, dpi), Px(24, dpi)});
}

TColor StyledMenuItemTextColor(TCustomStyleServices* s, bool hot, bool disabled) {
  TThemedMenu d = disabled ? (hot ? tmPopupItemDisabledHot : tmPopupItemDisabled) : hot ? tmPopupItemHot : tmPopupItemNormal;
  TColor c;
  if (s->GetElementColor(Menu(d), ecTextColor, c)) return c;
  return s->GetStyleFontColor(disabled ? sfPopupMenuItemTextDisabled : hot ? sfPopupMenuItemTextHot : sfPopupMenuItemTextNormal);
}

int StyledMenuBorderWidth(TCustomStyleServices* s, int dpi) {
  TColor c;
  return s->GetElementColor(Menu(tmPopupBorders), ecBorderColor, c) ? std::max(1, Px(1, dpi)) : 0;
}

void DrawStyledMenuBackground(HDC dc, TCustomStyleServices* s, const TRect& itemArea, int dpi, const TRect* window) {
  if (!dc || !s) return;
  if (window) s->DrawElement(dc, Menu(tmPopupBorders), *window, nullptr, dpi);
  s->DrawElement(dc, Menu(tmPopupBackground), itemArea, nullptr, dpi);
  TRect gutter(itemArea.Left, itemArea.Top, itemArea.Left + StyledMenuGutterWidth(s, dpi), itemArea.Bottom);
  s->DrawElement(dc, Menu(tmPopupGutter), gutter, nullptr, dpi);
}

void DrawStyledMenuItem(HDC dc, TCustomStyleServices* s, const TStyledMenuItem& item, int dpi, HFONT font) {
  const TRect& r = item.Rect;
  if (!dc || !s || r.IsEmpty()) return;
  int gutter = StyledMenuGutterWidth(s, dpi);
  if (item.Separator) {
    s->DrawElement(dc, Menu(tmPopupSeparator), TRect(r.Left + gutter + Px(4, dpi), r.Top, r.Right - Px(4, dpi), r.Bottom),
                   nullptr, dpi);
    return;
  }
  if (item.Hot) {
    TRect hot = r;
    hot.Inflate(-Px(2, dpi), 0);
    s->DrawElement(dc, Menu(item.Disabled ? tmPopupItemDisabledHot : tmPopupItemHot), hot, nullptr, dpi);
  }
  TRect column(r.Left, r.Top, r.Left + gutter, r.Bottom);
  bool image = item.Images && item.ImageIndex >= 0 &&
               s->DrawIcon(dc, Menu(item.Disabled ? tmPopupItemDisabled : tmPopupItemNormal), column, item.Images,
                           item.ImageIndex, dpi);
  if (item.Checked && !image) {
    TThemedMenu back = item.Disabled ? tmPopupCheckBackgroundDisabled : tmPopupCheckBackgroundNormal;
    // As large as the style makes it, but clear of the rows above and below.
    TSize z = SizeOf(s, Menu(back), dpi, {22, 22});
    int fit = r.Height() - 2 * Px(2, dpi);
    if (z.cy > fit) z = {std::max(1, z.cx - (z.cy - fit)), std::max(1, fit)};
    TRect box = Centered(column, z);
    s->DrawElement(dc, Menu(back), box, nullptr, dpi);
    TThemedMenu mark = item.RadioCheck ? (item.Disabled ? tmPopupBulletDisabled : tmPopupBulletNormal)
                                       : (item.Disabled ? tmPopupCheckMarkDisabled : tmPopupCheckMarkNormal);
    s->DrawElement(dc, Menu(mark), Centered(column, SizeOf(s, Menu(mark), dpi, {16, 16})), nullptr, dpi);
  }
  int arrow = ArrowWidth(s, dpi);
  if (item.HasSubMenu) {
    TThemedMenu sub = item.Disabled ? tmPopupSubMenuDisabled : tmPopupSubMenuNormal;
    TSize z = SizeOf(s, Menu(sub), dpi, {16, 16});
    s->DrawElement(dc, Menu(sub), Centered(TRect(r.Right - arrow - Px(4, dpi), r.Top, r.Right - Px(4, dpi), r.Bottom), z),
                   nullptr, dpi);
  }
  String caption, shortcut;
  SplitCaption(item, caption, shortcut);
  int saved = SaveDC(dc);
  HFONT base = font ? font : AsFont(GetCurrentObject(dc, OBJ_FONT));
  SelectObject(dc, item.Default && base ? BoldOf(base) : base);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, ColorToRGB(StyledMenuItemTextColor(s, item.Hot, item.Disabled)));
  TRect text(r.Left + gutter + Px(8, dpi), r.Top, r.Right - arrow - Px(8, dpi), r.Bottom);
  if (!shortcut.empty()) {
    TRect sc = text;
    DrawTextW(dc, shortcut, &sc, DT_SINGLELINE | DT_VCENTER | DT_RIGHT | DT_NOPREFIX);
    TRect ext = text;
    DrawTextW(dc, shortcut, &ext, DT_SINGLELINE | DT_CALCRECT | DT_NOPREFIX);
    text.Right -= ext.Width() + Px(12, dpi);
  }
  DrawTextW(dc, caption, &text, DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_END_ELLIPSIS);
  RestoreDC(dc, saved);
}

TSize MeasureStyledMenuItem(HDC dc, TCustomStyleServices* s, const TStyledMenuItem& item, int dpi, HFONT font) {
  if (item.Separator) return {0, SizeOf(s, Menu(tmPopupSeparator), dpi, {0, 7}).cy};
  String caption, shortcut;
  SplitCaption(item, caption, shortcut);
  int saved = SaveDC(dc);
  HFONT base = font ? font : AsFont(GetCurrentObject(dc, OBJ_FONT));
  SelectObject(dc, item.Default && base ? BoldOf(base) : base);
  TRect c, k;
  DrawTextW(dc, caption.empty() ? String(u" ") : caption, &c, DT_SINGLELINE | DT_CALCRECT);
  if (!shortcut.empty()) DrawTextW(dc, shortcut, &k, DT_SINGLELINE | DT_CALCRECT | DT_NOPREFIX);
  RestoreDC(dc, saved);
  TElementMargins m;
  if (!s->GetElementMargins(dc, Menu(tmPopupItemNormal), emContent, m, dpi)) m = {};
  int w = StyledMenuGutterWidth(s, dpi) + Px(8, dpi) + c.Width() + (k.IsEmpty() ? 0 : Px(12, dpi) + k.Width()) +
          Px(8, dpi) + ArrowWidth(s, dpi) + Px(4, dpi);
  int h = std::max({c.Height() + m.cyTopHeight + m.cyBottomHeight + Px(4, dpi),
                    SizeOf(s, Menu(tmPopupCheckBackgroundNormal), dpi, {22, 22}).cy, Px(22, dpi)});
  return {w, h};
}

void DrawStyledToolTip(HDC dc, TCustomStyleServices* s, const TRect& r, StringView text, int dpi) {
  if (!dc || !s || r.IsEmpty()) return;
  auto d = GetElementDetails(tttStandardNormal);
  if (s->HasTransparentParts(d)) {
    // Rounded corners in a square window: what shows through is the tooltip colour.
    HBRUSH b = CreateSolidBrush(ColorToRGB(s->GetSystemColor(clInfoBk)));
    FillRect(dc, &r, b);
    DeleteObject(b);
  }
  s->DrawElement(dc, d, r, nullptr, dpi);
  if (text.empty()) return;
  TRect content;
  s->GetElementContentRect(dc, d, r, content, dpi);
  if (content.Width() <= 0 || content.Height() <= 0) content = r;
  TColor color;
  if (!s->GetElementColor(d, ecTextColor, color)) color = s->GetStyleFontColor(sfWindowTextNormal);
  TRect ext = content;
  UINT format = DT_LEFT | DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS;
  s->DrawText(dc, d, text, ext, format | DT_CALCRECT, color, dpi);
  TRect t = content;
  if (ext.Height() < content.Height()) t.Top += (content.Height() - ext.Height()) / 2;
  s->DrawText(dc, d, text, t, format, color, dpi);
}

TSize MeasureStyledToolTip(HDC dc, TCustomStyleServices* s, StringView text, int maxWidth, int dpi) {
  auto d = GetElementDetails(tttStandardNormal);
  TElementMargins m;
  if (!s->GetElementMargins(dc, d, emContent, m, dpi)) m = {};
  int inner = std::max(1, maxWidth - m.cxLeftWidth - m.cxRightWidth);
  TRect ext(0, 0, inner, 0);
  if (!text.empty()) DrawTextW(dc, text, &ext, DT_LEFT | DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS | DT_CALCRECT);
  return {ext.Width() + m.cxLeftWidth + m.cxRightWidth, ext.Height() + m.cyTopHeight + m.cyBottomHeight};
}

}  // namespace vcl
