// stylegallery: renders every element family of every style, in every state, into PNG sheets.
//
//   stylegallery OUTDIR [STYLE ...]
//
// For each style (all registered styles, and the classic look as "Windows classic", when none is
// named) and each scale (100 % and 200 %) it writes OUTDIR/<style>-<scale>.png: a small window
// put together from the style's elements at the top, beside it window frames with their caption
// buttons in every state, a popup menu and a tooltip as the engine's hooks paint them, then each
// family with one row per part and one tile per state, labelled with the state names. Sample
// text in the tiles uses the element's text colour, so legibility can be judged too.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "host/gdi/AppFonts.h"
#include "host/gdi/Codecs.h"
#include "host/gdi/Gdi.h"
#include "host/gdi/GdiText.h"
#include "host/themes/StyleFonts.h"
#include "host/themes/StyleManager.h"
#include "host/themes/StyledFrame.h"
#include "host/themes/StyledMenu.h"
#include "host/themes/format/ElementModel.h"

using namespace vcl;

namespace {

struct TSheet {
  TCustomStyleServices* Style;
  int Dpi;
  HDC Dc = nullptr;
  HBITMAP Bmp = nullptr;
  HBITMAP OldBmp = nullptr;
  HFONT Small = nullptr, Normal = nullptr, Bold = nullptr, Title = nullptr;
  int Width = 0, Height = 0;
  std::uint32_t* Bits = nullptr;

  int S(int v) const { return MulDiv(v, Dpi, 96); }
  TColor Sys(TColor c) const { return Style->ColorToRGB(c); }

  void Begin(int w, int h) {
    Width = w;
    Height = h;
    void* bits = nullptr;
    Bmp = CreateDIB32(w, h, &bits);
    Bits = static_cast<std::uint32_t*>(bits);
    Dc = CreateCompatibleDC(nullptr);
    OldBmp = SelectObject(Dc, Bmp);
    SetDcDpi(Dc, Dpi);
    auto font = [&](int pt, int weight) {
      return CreateFontW(-MulDiv(pt, Dpi, 72), 0, 0, 0, weight, 0, 0, 0, DEFAULT_CHARSET, 0, 0,
                         ANTIALIASED_QUALITY, 0, u"Tahoma");
    };
    Small = font(7, FW_NORMAL);
    Normal = font(8, FW_NORMAL);
    Bold = font(8, FW_BOLD);
    Title = font(14, FW_BOLD);
    Fill(Sys(clBtnFace), TRect(0, 0, w, h));
  }
  // A solid rectangle, written straight into the sheet's pixels.
  void Fill(TColor c, const TRect& r) {
    GdiFlush();
    TRect clip = TRect::Intersect(r, TRect(0, 0, Width, Height));
    std::uint32_t px = 0xFF000000u | (GetRValue(ColorToRGB(c)) << 16) | (GetGValue(ColorToRGB(c)) << 8) |
                       GetBValue(ColorToRGB(c));
    for (int y = clip.Top; y < clip.Bottom; ++y)
      for (int x = clip.Left; x < clip.Right; ++x) Bits[size_t(y) * size_t(Width) + size_t(x)] = px;
  }
  void Text(const String& s, TRect r, HFONT f, TColor c, UINT fmt) {
    HFONT old = SelectObject(Dc, f);
    SetTextColor(Dc, ColorToRGB(c));
    SetBkMode(Dc, TRANSPARENT);
    DrawTextW(Dc, s, &r, fmt | DT_NOPREFIX);
    SelectObject(Dc, old);
  }
  // Element text in the element's own text colour.
  void ElementText(const TThemedElementDetails& d, const String& s, TRect r, UINT fmt = DT_CENTER) {
    HFONT old = SelectObject(Dc, Normal);
    // The content margins across; vertically the text is centred in the whole element, so
    // a style with roomy margins still shows it in the fixed-size tiles.
    TRect content;
    Style->GetElementContentRect(Dc, d, r, content, Dpi);
    content.Top = r.Top;
    content.Bottom = r.Bottom;
    Style->DrawText(Dc, d, s, content, fmt | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX, clNone, Dpi);
    SelectObject(Dc, old);
  }
  // The width an element needs for a caption in the normal font with its content margins, at
  // least min96 (at 96 DPI).
  int WidthFor(const TThemedElementDetails& d, StringView text, int min96) {
    TElementMargins m;
    if (!Style->GetElementMargins(Dc, d, emContent, m, Dpi)) m = {};
    HFONT old = SelectObject(Dc, Normal);
    TRect ext;
    DrawTextW(Dc, text, &ext, DT_SINGLELINE | DT_CALCRECT);
    SelectObject(Dc, old);
    return std::max(S(min96), ext.Width() + m.cxLeftWidth + m.cxRightWidth + S(8));
  }
  void Draw(const TThemedElementDetails& d, const TRect& r) { Style->DrawElement(Dc, d, r, nullptr, Dpi); }
  template <class T>
  void Draw(T detail, const TRect& r) {
    Draw(GetElementDetails(detail), r);
  }

  void Save(const std::string& path) {
    GdiFlush();
    TDecodedImage img = ImageFromBitmap(Bmp, true);
    std::vector<Byte> png = EncodePng(img.Pixels.data(), img.Width, img.Height, img.Width);
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(png.data()), std::streamsize(png.size()));
    for (HFONT f : {Small, Normal, Bold, Title}) DeleteObject(f);
    SelectObject(Dc, OldBmp);
    DeleteDC(Dc);
    DeleteObject(Bmp);
  }
};

// ---- the sample window -----------------------------------------------------------------------

int DrawPreview(TSheet& g, int x0, int y0) {
  const int W = g.S(560), H = g.S(400);
  TRect win = Bounds(x0, y0, W, H);
  // Frame and caption as a window's frame hook paints them, the close button hot.
  TStyledFrameInfo frame;
  frame.Size = {W, H};
  frame.Caption = u"Sample window";
  frame.Dpi = g.Dpi;
  frame.States[scbClose] = sbsHot;
  TPoint oldOrg;
  SetWindowOrgEx(g.Dc, -win.Left, -win.Top, &oldOrg);
  DrawStyledFrame(g.Dc, g.Style, frame);
  SetWindowOrgEx(g.Dc, oldOrg.X, oldOrg.Y, nullptr);
  TRect client = GetStyledFrameLayout(g.Style, frame).Client.Offsetted(win.Left, win.Top);
  g.Draw(twWindowRoot, client);
  int x = client.Left, y = client.Top;
  // Menu bar.
  int mh = g.S(20);
  TRect menu(client.Left, y, client.Right, y + mh);
  g.Draw(tmMenuBarBackgroundActive, menu);
  const char16_t* items[] = {u"File", u"Edit", u"View", u"Help"};
  int mx = menu.Left + g.S(2);
  for (int i = 0; i < 4; ++i) {
    auto d = GetElementDetails(i == 1 ? tmMenuBarItemHot : tmMenuBarItemNormal);
    TRect ir(mx, menu.Top + g.S(1), mx + g.WidthFor(d, items[i], 44), menu.Bottom - g.S(1));
    g.Draw(d, ir);
    g.ElementText(d, items[i], ir);
    mx = ir.Right;
  }
  y = menu.Bottom;
  // Tool bar.
  int th = g.S(28);
  TRect tb(client.Left, y, client.Right, y + th);
  g.Draw(ttbToolBarRoot, tb);
  int tx = tb.Left + g.S(4);
  const TThemedToolBar tstates[] = {ttbButtonNormal, ttbButtonHot, ttbButtonPressed, ttbButtonChecked};
  const char16_t* tlabels[] = {u"New", u"Open", u"Save", u"Bold"};
  for (int i = 0; i < 4; ++i) {
    TRect br(tx, tb.Top + g.S(3), tx + g.S(46), tb.Bottom - g.S(3));
    g.Draw(tstates[i], br);
    g.ElementText(GetElementDetails(tstates[i]), tlabels[i], br);
    tx = br.Right + g.S(2);
  }
  g.Draw(ttbSeparatorNormal, TRect(tx, tb.Top + g.S(4), tx + g.S(6), tb.Bottom - g.S(4)));
  y = tb.Bottom + g.S(8);
  x = client.Left + g.S(10);
  // Tabs and their page.
  int tabh = g.S(24);
  TRect page(x, y + tabh, x + g.S(300), y + tabh + g.S(236));
  g.Draw(ttPane, page);
  const char16_t* tabs[] = {u"General", u"Options", u"About"};
  int tabx = x + g.S(2);
  for (int i = 0; i < 3; ++i) {
    TThemedTab t = i == 0 ? ttTabItemSelected : i == 1 ? ttTabItemHot : ttTabItemNormal;
    TRect r(tabx, y + (i == 0 ? 0 : g.S(2)), tabx + g.WidthFor(GetElementDetails(t), tabs[i], 68),
            y + tabh + (i == 0 ? g.S(2) : 0));
    g.Draw(t, r);
    g.ElementText(GetElementDetails(t), tabs[i], r);
    tabx = r.Right;
  }
  int px = page.Left + g.S(12), py = page.Top + g.S(12);
  // Buttons.
  const TThemedButton pb[] = {tbPushButtonDefaulted, tbPushButtonHot, tbPushButtonDisabled};
  const char16_t* pl[] = {u"OK", u"Hot", u"Disabled"};
  for (int i = 0; i < 3; ++i) {
    TRect r = Bounds(px + i * g.S(88), py, g.S(80), g.S(25));
    g.Draw(pb[i], r);
    g.ElementText(GetElementDetails(pb[i]), pl[i], r);
  }
  py += g.S(36);
  // Check boxes and radio buttons with labels in the style's check-box text colour.
  auto boxRow = [&](TThemedButton b, const char16_t* label, int bx) {
    TSize bs;
    g.Style->GetElementSize(g.Dc, GetElementDetails(b), esActual, bs, g.Dpi);
    TRect r = Bounds(bx, py + (g.S(20) - bs.cy) / 2, bs.cx, bs.cy);
    g.Draw(b, r);
    TRect lr(r.Right + g.S(5), py, bx + g.S(140), py + g.S(20));
    HFONT old = SelectObject(g.Dc, g.Normal);
    g.Style->DrawText(g.Dc, GetElementDetails(b), label, lr, DT_SINGLELINE | DT_VCENTER, clNone, g.Dpi);
    SelectObject(g.Dc, old);
  };
  boxRow(tbCheckBoxCheckedNormal, u"Checked", px);
  boxRow(tbRadioButtonCheckedNormal, u"Selected", px + g.S(140));
  py += g.S(24);
  boxRow(tbCheckBoxUncheckedHot, u"Unchecked, hot", px);
  boxRow(tbRadioButtonUncheckedNormal, u"Other", px + g.S(140));
  py += g.S(24);
  boxRow(tbCheckBoxMixedNormal, u"Mixed", px);
  boxRow(tbRadioButtonUncheckedDisabled, u"Disabled", px + g.S(140));
  py += g.S(30);
  // Edit and combo box.
  TRect er = Bounds(px, py, g.S(130), g.S(23));
  g.Draw(teEditTextFocused, er);
  TRect etr = er;
  etr.Inflate(-g.S(4), 0);
  {
    HFONT old = SelectObject(g.Dc, g.Normal);
    g.Style->DrawText(g.Dc, GetElementDetails(teEditTextFocused), u"Edit text", etr,
                      DT_SINGLELINE | DT_VCENTER, g.Style->GetStyleFontColor(sfEditBoxTextNormal), g.Dpi);
    SelectObject(g.Dc, old);
  }
  TRect cr = Bounds(px + g.S(140), py, g.S(130), g.S(23));
  g.Draw(tcReadOnlyNormal, cr);
  TSize dd;
  g.Style->GetElementSize(g.Dc, GetElementDetails(tcDropDownButtonRightNormal), esActual, dd, g.Dpi);
  TRect cb(cr.Right - dd.cx, cr.Top + 1, cr.Right - 1, cr.Bottom - 1);
  g.Draw(tcDropDownButtonRightNormal, cb);
  TRect ctr(cr.Left + g.S(5), cr.Top, cb.Left, cr.Bottom);
  {
    HFONT old = SelectObject(g.Dc, g.Normal);
    g.Style->DrawText(g.Dc, GetElementDetails(tcReadOnlyNormal), u"Combo", ctr, DT_SINGLELINE | DT_VCENTER,
                      clNone, g.Dpi);
    SelectObject(g.Dc, old);
  }
  py += g.S(34);
  // Progress and track bar.
  TRect bar = Bounds(px, py, g.S(270), g.S(14));
  g.Draw(tpBar, bar);
  TRect chunk = bar;
  chunk.Inflate(-1, -1);
  chunk.Right = chunk.Left + chunk.Width() * 6 / 10;
  g.Draw(tpChunk, chunk);
  py += g.S(24);
  TSize track, thumb;
  g.Style->GetElementSize(g.Dc, GetElementDetails(ttbTrack), esActual, track, g.Dpi);
  g.Style->GetElementSize(g.Dc, GetElementDetails(ttbThumbBottomNormal), esActual, thumb, g.Dpi);
  int tcy = py + thumb.cy / 2;
  g.Draw(ttbTrack, TRect(px, tcy - track.cy / 2, px + g.S(270), tcy - track.cy / 2 + track.cy));
  g.Draw(ttbThumbBottomHot, Bounds(px + g.S(90), py, thumb.cx, thumb.cy));
  // A list with a scroll bar, beside the tab page.
  int lx = page.Right + g.S(12), ly = page.Top - tabh;
  TRect list(lx, ly, client.Right - g.S(10), page.Bottom);
  g.Draw(teEditBorderNoScrollNormal, list);
  TRect inner = list;
  inner.Inflate(-g.S(1), -g.S(1));
  g.Fill(g.Style->GetStyleColor(scListBox), inner);
  TSize arrow;
  g.Style->GetElementSize(g.Dc, GetElementDetails(tsArrowBtnUpNormal), esActual, arrow, g.Dpi);
  TRect sb(inner.Right - arrow.cx, inner.Top, inner.Right, inner.Bottom);
  g.Draw(tsUpperTrackVertNormal, sb);
  g.Draw(tsArrowBtnUpNormal, TRect(sb.Left, sb.Top, sb.Right, sb.Top + arrow.cy));
  g.Draw(tsArrowBtnDownHot, TRect(sb.Left, sb.Bottom - arrow.cy, sb.Right, sb.Bottom));
  g.Draw(tsThumbBtnVertNormal, TRect(sb.Left, sb.Top + arrow.cy + g.S(20), sb.Right, sb.Top + arrow.cy + g.S(70)));
  const char16_t* rows[] = {u"Alpha", u"Beta", u"Gamma", u"Delta", u"Epsilon", u"Zeta", u"Eta"};
  int rh = g.S(20);
  for (int i = 0; i < 7; ++i) {
    TRect r(inner.Left + g.S(2), inner.Top + g.S(2) + i * rh, sb.Left - g.S(2), inner.Top + g.S(2) + (i + 1) * rh);
    if (i == 2) g.Draw(tgCellSelected, r);
    if (i == 4) g.Draw(tlListItemHot, r);
    TRect tr = r;
    tr.Left += g.S(6);
    TColor c = i == 2 ? clNone : g.Style->GetStyleFontColor(sfListItemTextNormal);
    HFONT old = SelectObject(g.Dc, g.Normal);
    auto td = i == 2 ? GetElementDetails(tgCellSelected) : GetElementDetails(tlListItemHot);
    g.Style->DrawText(g.Dc, td, rows[i], tr,
                      DT_SINGLELINE | DT_VCENTER, c, g.Dpi);
    SelectObject(g.Dc, old);
  }
  // Status bar.
  TRect status(client.Left, client.Bottom - g.S(22), client.Right, client.Bottom);
  g.Draw(tsStatusRoot, status);
  TRect pane(status.Left, status.Top, status.Left + g.S(180), status.Bottom);
  g.Draw(tsPane, pane);
  g.ElementText(GetElementDetails(tsPane), u"Ready", pane, DT_LEFT);
  TSize grip;
  g.Style->GetElementSize(g.Dc, GetElementDetails(tsGripper), esActual, grip, g.Dpi);
  g.Draw(tsGripper, TRect(status.Right - grip.cx, status.Bottom - grip.cy, status.Right, status.Bottom));
  // A tooltip hovering over the window.
  TRect tip = Bounds(win.Right - g.S(150), win.Bottom - g.S(80), g.S(130), g.S(24));
  g.Draw(thHintNormal, tip);
  g.ElementText(GetElementDetails(thHintNormal), u"A helpful hint", tip);
  return win.Bottom;
}

// ---- frames, a popup menu and a tooltip ---------------------------------------------------------

// A window frame of `size` at (x, y) with a client in the window colour; its label below.
void DrawFrameSample(TSheet& g, int x, int y, TStyledFrameInfo f, const char16_t* label) {
  f.Dpi = g.Dpi;
  TPoint old;
  SetWindowOrgEx(g.Dc, -x, -y, &old);
  DrawStyledFrame(g.Dc, g.Style, f);
  SetWindowOrgEx(g.Dc, old.X, old.Y, nullptr);
  g.Draw(twWindowRoot, GetStyledFrameLayout(g.Style, f).Client.Offsetted(x, y));
  g.Text(label, TRect(x, y + f.Size.cy + g.S(2), x + f.Size.cx, y + f.Size.cy + g.S(16)), g.Small,
         g.Sys(clBtnText), DT_CENTER | DT_SINGLELINE);
}

// A popup menu with every kind of item, its top left at (x, y); returns its size.
TSize DrawMenuSample(TSheet& g, int x, int y) {
  struct TDef {
    const char16_t* Text;
    const char16_t* ShortCut;
    bool Separator, Hot, Disabled, Checked, Radio, Sub, Default;
  };
  const TDef defs[] = {
      {u"&Open...", u"Ctrl+O", false, false, false, false, false, false, true},
      {u"&Save", u"Ctrl+S", false, true, false, false, false, false, false},
      {u"Save &As...", nullptr, false, false, true, false, false, false, false},
      {nullptr, nullptr, true, false, false, false, false, false, false},
      {u"&Word wrap", nullptr, false, false, false, true, false, false, false},
      {u"&Large icons", nullptr, false, false, false, true, true, false, false},
      {u"Locked option", nullptr, false, false, true, true, false, false, false},
      {nullptr, nullptr, true, false, false, false, false, false, false},
      {u"&Recent files", nullptr, false, false, false, false, false, true, false},
      {u"Disabled sub-menu", nullptr, false, false, true, false, false, true, false},
      {u"E&xit", nullptr, false, false, false, false, false, false, false},
  };
  HFONT font = StyleFontHandle(g.Style, sfkMenu, g.Dpi);
  int border = StyledMenuBorderWidth(g.Style, g.Dpi), pad = g.S(2);
  std::vector<TStyledMenuItem> items;
  int width = g.S(160), cy = y + border + pad;
  for (const TDef& d : defs) {
    TStyledMenuItem it;
    if (d.Text) it.Text = d.Text;
    if (d.ShortCut) it.ShortCut = d.ShortCut;
    it.Separator = d.Separator;
    it.Hot = d.Hot;
    it.Disabled = d.Disabled;
    it.Checked = d.Checked;
    it.RadioCheck = d.Radio;
    it.HasSubMenu = d.Sub;
    it.Default = d.Default;
    TSize z = MeasureStyledMenuItem(g.Dc, g.Style, it, g.Dpi, font);
    width = std::max(width, z.cx);
    it.Rect = TRect(0, cy, 0, cy + z.cy);
    cy += z.cy;
    items.push_back(it);
  }
  TRect window(x, y, x + width + 2 * border, cy + pad + border);
  TRect inner = window;
  inner.Inflate(-border, -border);
  DrawStyledMenuBackground(g.Dc, g.Style, inner, g.Dpi, &window);
  for (TStyledMenuItem& it : items) {
    it.Rect.Left = inner.Left;
    it.Rect.Right = inner.Right;
    DrawStyledMenuItem(g.Dc, g.Style, it, g.Dpi, font);
  }
  return window.Size();
}

// Frames in every caption-button state, inactive, maximised, as a tool window and with a help
// button; a popup menu and a tooltip. Returns the bottom.
int DrawHookSamples(TSheet& g, int x0, int y0) {
  const int fw = g.S(250), fh = g.S(84), gapX = g.S(14), gapY = g.S(22);
  TStyledFrameInfo base;
  base.Size = {fw, fh};
  const char16_t* stateNames[] = {u"buttons normal", u"buttons hot", u"buttons pressed", u"buttons disabled"};
  for (int st = 0; st < 4; ++st) {
    TStyledFrameInfo f = base;
    f.Caption = u"Active window";
    for (auto& s : f.States) s = TStyledButtonState(st);
    DrawFrameSample(g, x0 + st * (fw + gapX), y0, f, stateNames[st]);
  }
  int y1 = y0 + fh + gapY;
  TStyledFrameInfo inactive = base;
  inactive.Caption = u"Inactive window";
  inactive.Active = false;
  DrawFrameSample(g, x0, y1, inactive, u"inactive");
  TStyledFrameInfo maxed = base;
  maxed.Caption = u"Maximised window";
  maxed.Maximized = true;
  maxed.States[scbMax] = sbsHot;
  DrawFrameSample(g, x0 + (fw + gapX), y1, maxed, u"maximised (restore hot)");
  TStyledFrameInfo tool = base;
  tool.Caption = u"Tool window";
  tool.ToolWindow = true;
  tool.States[scbClose] = sbsPressed;
  DrawFrameSample(g, x0 + 2 * (fw + gapX), y1, tool, u"tool window (close pressed)");
  TStyledFrameInfo help = base;
  help.Caption = u"A dialog with a long caption that does not fit";
  help.Buttons[scbMax] = help.Buttons[scbMin] = false;
  help.Buttons[scbHelp] = true;
  help.States[scbHelp] = sbsHot;
  help.Sizeable = false;
  DrawFrameSample(g, x0 + 3 * (fw + gapX), y1, help, u"dialog (help hot)");
  int y2 = y1 + fh + gapY;
  TSize menu = DrawMenuSample(g, x0, y2);
  // A tooltip beside the menu, in the hint font, as large as its text needs.
  HFONT old = SelectObject(g.Dc, StyleFontHandle(g.Style, sfkHint, g.Dpi));
  const char16_t* tipText = u"A tooltip: styled background,\nborder and text colour";
  TRect tip = Bounds(x0 + menu.cx + g.S(40), y2 + g.S(8), 0, 0);
  TSize tipSize = MeasureStyledToolTip(g.Dc, g.Style, tipText, g.S(300), g.Dpi);
  tip.Right = tip.Left + tipSize.cx;
  tip.Bottom = tip.Top + tipSize.cy;
  DrawStyledToolTip(g.Dc, g.Style, tip, tipText, g.Dpi);
  SelectObject(g.Dc, old);
  g.Text(u"popup menu", TRect(x0, y2 + menu.cy + g.S(2), x0 + menu.cx, y2 + menu.cy + g.S(16)), g.Small,
         g.Sys(clBtnText), DT_CENTER | DT_SINGLELINE);
  g.Text(u"tooltip", TRect(tip.Left, tip.Bottom + g.S(2), tip.Right, tip.Bottom + g.S(16)), g.Small,
         g.Sys(clBtnText), DT_CENTER | DT_SINGLELINE);
  return y2 + menu.cy + g.S(16);
}

// ---- the element families ----------------------------------------------------------------------

// A tile size for elements that do not say how big they are.
TSize DefaultTile(const std::string& family, const std::string& path) {
  auto has = [&](const char* s) { return path.find(s) != std::string::npos; };
  bool vert = has("vert");
  if (family == "window") {
    if (has("caption")) return {220, 0};
    if (has("frame.bottom")) return {120, 0};
    if (has("frame")) return {0, 48};
    return {72, 40};
  }
  if (family == "progress") return vert ? TSize{18, 64} : has("bar") ? TSize{120, 18} : TSize{64, 14};
  if (family == "trackbar") {
    if (has("thumb")) return {0, 0};
    if (has("tics")) return {16, 16};
    return vert ? TSize{0, 64} : TSize{120, 0};
  }
  if (family == "scrollbar") {
    if (has("thumb")) return vert ? TSize{0, 40} : TSize{40, 0};
    if (has("track")) return vert ? TSize{17, 48} : TSize{48, 17};
    return {17, 17};
  }
  if (family == "rebar" && has("gripper")) return vert ? TSize{48, 0} : TSize{0, 40};
  if (family == "toolbar" && has("separator")) return vert ? TSize{40, 8} : TSize{8, 26};
  if (family == "menu") {
    if (has("popupgutter")) return {0, 40};
    if (has("popupseparator")) return {90, 0};
    if (has("popupitem") || has("background") || has("borders")) return {100, 22};
  }
  if (family == "tab" && (has("pane") || has("body"))) return {80, 40};
  if (family == "status") return has("root") ? TSize{140, 22} : TSize{72, 22};
  return vert ? TSize{24, 64} : TSize{76, 24};
}

bool WantsSample(const std::string& family, const std::string& path, int w, int h, const TSheet& g) {
  if (w < g.S(40) || h < g.S(16)) return false;
  static const char* parts[] = {"button.push", "button.commandlink", "combobox.readonly", "edit.text", "grid.cell",
                                "grid.fixedcell", "header.item", "hint", "listview.item", "menu.baritem",
                                "menu.popupitem", "tab.item", "tab.topitem", "toolbar.button", "tooltip.standard",
                                "tooltip.balloon", "treeview.item", "window.caption", "categorypanelgroup.header",
                                "monthcal.gridcell", "status.pane", "textstyle"};
  std::string full = family + "." + path;
  for (const char* p : parts)
    if (full.rfind(p, 0) == 0) return true;
  return false;
}

struct TRowItem {
  int Entry;
  TRect Tile;
  int CellLeft, CellRight;  // the column the tile and its label occupy
};

// Lays out (measure) or draws one family block at (x, y), `width` wide; returns its height.
int FamilyBlock(TSheet& g, const TFamilyInfo& f, int x, int y, int width, bool draw) {
  auto rows = ElementEntries();
  int lineH = g.S(14);
  int cy = y;
  if (draw) g.Text(Utf8ToString(f.TypeName), TRect(x, cy, x + width, cy + g.S(18)), g.Bold, g.Sys(clBtnText), DT_LEFT);
  cy += g.S(20);
  // Rows: one per path, in table order.
  std::vector<std::string> paths;
  std::map<std::string, std::vector<int>> byPath;
  for (int i = f.First; i < f.First + f.Count; ++i) {
    std::string p = rows[size_t(i)].Path;
    if (!byPath.count(p)) paths.push_back(p);
    byPath[p].push_back(i);
  }
  int labelW = g.S(118);
  for (const std::string& p : paths) {
    // The states of a part, wrapped onto as many lines as they need.
    std::vector<std::vector<TRowItem>> lines(1);
    std::vector<int> lineHeights(1, 0);
    int tx = x + labelW;
    for (int e : byPath[p]) {
      TThemedElementDetails d = DetailsOfEntry(e);
      TSize sz, def = DefaultTile(f.Selector, p);
      int w = g.S(def.cx > 0 ? def.cx : 60), h = g.S(def.cy > 0 ? def.cy : 24);
      if (g.Style->GetElementSize(g.Dc, d, esActual, sz, g.Dpi)) {
        bool fixedTile = def.cx != 0 && def.cy != 0;
        bool windowButton = f.Selector == std::string("window") && p.rfind("button", 0) == 0;
        if (sz.cx > 0 && def.cx == 0) w = sz.cx;
        if (sz.cy > 0 && def.cy == 0) h = sz.cy;
        if (sz.cx > 0 && sz.cy > 0 &&
            ((fixedTile && f.Selector != std::string("window") && f.Selector != std::string("scrollbar")) ||
             windowButton)) {
          w = sz.cx;
          h = sz.cy;
        }
      }
      w = std::min(w, width - labelW - g.S(10));
      int cellW = std::max(w, g.S(58));
      if (tx + cellW > x + width && !lines.back().empty()) {
        lines.emplace_back();
        lineHeights.push_back(0);
        tx = x + labelW;
      }
      lines.back().push_back({e, Bounds(tx + (cellW - w) / 2, 0, w, h), tx, tx + cellW});
      tx += cellW + g.S(8);
      lineHeights.back() = std::max(lineHeights.back(), h);
    }
    for (size_t li = 0; li < lines.size(); ++li) {
      int rowH = lineHeights[li];
      if (draw) {
        if (li == 0)
          g.Text(Utf8ToString(p), TRect(x, cy, x + labelW - g.S(4), cy + rowH), g.Small, g.Sys(clGrayText),
                 DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS);
        for (TRowItem& it : lines[li]) {
          TRect r = it.Tile.Offsetted(0, cy + (rowH - it.Tile.Height()) / 2);
          TThemedElementDetails d = DetailsOfEntry(it.Entry);
          const TElementEntry& row = rows[size_t(it.Entry)];
          if (row.TextOnly) {
            g.Style->DrawText(g.Dc, d, u"Text style", r, DT_SINGLELINE | DT_VCENTER | DT_CENTER, clNone, g.Dpi);
          } else {
            g.Draw(d, r);
            if (WantsSample(f.Selector, p, r.Width(), r.Height(), g)) g.ElementText(d, u"Text", r);
          }
          TRect lr(it.CellLeft - g.S(4), cy + rowH + g.S(1), it.CellRight + g.S(4), cy + rowH + lineH);
          g.Text(Utf8ToString(row.State), lr, g.Small, g.Sys(clBtnText), DT_CENTER | DT_SINGLELINE);
        }
      }
      cy += rowH + lineH + g.S(6);
    }
  }
  return cy - y + g.S(10);
}

void RenderSheet(TCustomStyleServices* style, int dpi, const std::string& path) {
  TSheet g{style, dpi};
  // Measure with a scratch DC first.
  g.Begin(8, 8);
  const int colW = g.S(600), gap = g.S(24), margin = g.S(16);
  auto fams = ElementFamilies();
  // Three columns, families placed into the shortest column in table order.
  std::vector<int> heights(fams.size());
  for (size_t i = 0; i < fams.size(); ++i) heights[i] = FamilyBlock(g, fams[i], 0, 0, colW, false);
  // Below the sample window and the hook samples beside it, whichever is taller.
  int top = margin + g.S(36) + std::max(g.S(410), DrawHookSamples(g, 0, 0)) + g.S(24);
  g.Save("/dev/null");
  int colH[3] = {top, top, top};
  std::vector<std::pair<int, int>> at(fams.size());
  for (size_t i = 0; i < fams.size(); ++i) {
    int c = int(std::min_element(colH, colH + 3) - colH);
    at[i] = {margin + c * (colW + gap), colH[c]};
    colH[c] += heights[i];
  }
  int W = margin * 2 + 3 * colW + 2 * gap, H = *std::max_element(colH, colH + 3) + margin;
  TSheet s{style, dpi};
  s.Begin(W, H);
  String title = style->Name() + (style->Enabled() ? u"" : u" (classic, themes off)") + u" \u2014 " + Utf8ToString(std::to_string(dpi * 100 / 96)) + u" %";
  s.Text(title, TRect(margin, margin, W - margin, margin + s.S(30)), s.Title, s.Sys(clBtnText), DT_LEFT);
  DrawPreview(s, margin, margin + s.S(36));
  DrawHookSamples(s, margin + s.S(560) + gap, margin + s.S(36));
  for (size_t i = 0; i < fams.size(); ++i) FamilyBlock(s, fams[i], at[i].first, at[i].second, colW, true);
  s.Save(path);
}

std::string FileName(const String& style) {
  std::string n = StringToUtf8(style);
  for (char& c : n)
    if (c == ' ') c = '_';
  return n;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: stylegallery OUTDIR [STYLE ...]\n");
    return 2;
  }
  // Switching the themes off and on tells the windows: there are none, so the window manager
  // it starts needs no screen.
  setenv("KX_BACKEND", "headless", 0);
  std::filesystem::path out = argv[1];
  std::error_code ec;
  std::filesystem::create_directories(out, ec);
  EnsureAppFonts();
  std::vector<String> names;
  for (int i = 2; i < argc; ++i) names.push_back(Utf8ToString(argv[i]));
  if (names.empty()) {
    names = TStyleManager::StyleNames();
    names.push_back(u"Windows classic");
  }
  try {
    for (const String& n : names) {
      // "Windows classic": the system style with themes switched off.
      bool classic = n == u"Windows classic";
      TStyleManager::SetThemesEnabled(!classic);
      TCustomStyleServices* s = TStyleManager::GetStyle(classic ? String(u"Windows") : n);
      for (int dpi : {96, 192}) {
        std::string file = (out / (FileName(n) + "-" + std::to_string(dpi * 100 / 96) + ".png")).string();
        RenderSheet(s, dpi, file);
        std::printf("%s\n", file.c_str());
      }
    }
    TStyleManager::SetThemesEnabled(true);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "stylegallery: %s\n", e.what());
    return 1;
  }
  return 0;
}
