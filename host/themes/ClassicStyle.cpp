#include "host/themes/ClassicStyle.h"

#include <algorithm>
#include <cstring>
#include <string_view>

#include "host/gdi/GdiDraw.h"
#include "host/themes/format/ElementModel.h"
#include "host/win/WinUser.h"

namespace vcl {

namespace {

enum class TClassicKind : std::uint8_t {
  None,        // no classic counterpart: DrawElement returns false
  TextOnly,    // a text style: colours only
  Fill,        // a solid system colour
  Frame,       // DrawFrameControl
  Edge,        // DrawEdge per state, over an optional fill
  FillBorder,  // a fill framed by a one-pixel line (tooltips, hints)
  Caption,     // a horizontal gradient between two system colours
  Etched,      // an etched frame (group boxes)
  SeparatorH,  // an etched line across the middle
  SeparatorV,  // an etched line down the middle
  PlusMinus,   // the tree-view expand box
};

bool Has(std::string_view s, std::string_view part) { return s.find(part) != std::string_view::npos; }
bool Starts(std::string_view s, std::string_view prefix) { return s.substr(0, prefix.size()) == prefix; }

int Px(int v96, int dpi) { return MulDiv(v96, dpi, 96); }

}  // namespace

struct TClassicStyle::TRecipe {
  TClassicKind Kind = TClassicKind::None;
  UINT Type = 0;               // DFC_ of a frame control
  UINT Flags = 0;              // DFCS_ of a frame control, BF_ of an edge
  UINT Edge[3] = {0, 0, 0};    // edge when normal, hot, pressed or checked (0: none)
  int Fill = -1;               // COLOR_ index, -1 for none
  int Fill2 = -1;              // second gradient colour of a caption
  int Border = -1;             // frame colour of FillBorder
  int Text = COLOR_BTNTEXT;
  int Width = 0, Height = 0;   // natural size at 96 DPI (0: none in that direction)
  int WidthMetric = -1, HeightMetric = -1;  // or a system metric (SM_)
  int Content = 0;             // content inset at 96 DPI
  bool Hot = false, Pressed = false, Disabled = false, Checked = false, Defaulted = false;
};

namespace {

using TRecipe = TClassicStyle::TRecipe;

TRecipe FrameRecipe(UINT type, UINT flags, int w = 0, int h = 0) {
  TRecipe r;
  r.Kind = TClassicKind::Frame;
  r.Type = type;
  r.Flags = flags;
  r.Width = w;
  r.Height = h;
  return r;
}

TRecipe EdgeRecipe(UINT normal, UINT hot, UINT pressed, UINT flags = BF_RECT, int fill = -1) {
  TRecipe r;
  r.Kind = TClassicKind::Edge;
  r.Edge[0] = normal;
  r.Edge[1] = hot;
  r.Edge[2] = pressed;
  r.Flags = flags;
  r.Fill = fill;
  r.Content = 2;
  return r;
}

TRecipe FillRecipe(int color) {
  TRecipe r;
  r.Kind = TClassicKind::Fill;
  r.Fill = color;
  return r;
}

TRecipe KindRecipe(TClassicKind k) {
  TRecipe r;
  r.Kind = k;
  return r;
}

UINT ScrollGlyph(std::string_view path) {
  if (Has(path, "up")) return DFCS_SCROLLUP;
  if (Has(path, "down")) return DFCS_SCROLLDOWN;
  if (Has(path, "left")) return DFCS_SCROLLLEFT;
  return DFCS_SCROLLRIGHT;
}

// The recipe of a row of the element model, by its family, path and state.
TRecipe Build(const TElementEntry& e) {
  std::string_view fam = FamilyOf(e.Element).Selector, path = e.Path, st = e.State;
  TRecipe r;
  bool item = false;  // a list, tree or grid item: selection colours
  if (e.TextOnly) {
    r.Kind = TClassicKind::TextOnly;
    r.Text = Starts(path, "hyperlink") ? COLOR_HOTLIGHT : COLOR_WINDOWTEXT;
  } else if (fam == "button") {
    if (path == "push") {
      r = FrameRecipe(DFC_BUTTON, DFCS_BUTTONPUSH);
      r.Content = 3;
    } else if (Starts(path, "radio")) {
      r = FrameRecipe(DFC_BUTTON, DFCS_BUTTONRADIO, 13, 13);
      r.Checked = path == "radio.checked";
    } else if (Starts(path, "check")) {
      r = FrameRecipe(DFC_BUTTON, path == "check.mixed" ? DFCS_BUTTON3STATE : DFCS_BUTTONCHECK, 13, 13);
      r.Checked = path != "check.unchecked";
    } else if (path == "groupbox") {
      r = KindRecipe(TClassicKind::Etched);
      r.Content = 8;
    } else {  // command link
      r = EdgeRecipe(0, BDR_RAISEDINNER, BDR_SUNKENOUTER);
      r.Content = 8;
    }
  } else if (fam == "combobox") {
    if (Starts(path, "dropdown")) {
      r = FrameRecipe(DFC_SCROLL, DFCS_SCROLLCOMBOBOX);
      r.WidthMetric = SM_CXVSCROLL;
    } else if (path == "background") {
      r = FillRecipe(COLOR_WINDOW);
    } else if (path == "border") {
      r = EdgeRecipe(EDGE_SUNKEN, EDGE_SUNKEN, EDGE_SUNKEN, BF_RECT, COLOR_WINDOW);
      r.Text = COLOR_WINDOWTEXT;
    } else {  // read-only: a push face
      r = FrameRecipe(DFC_BUTTON, DFCS_BUTTONPUSH);
      r.Content = 3;
    }
  } else if (fam == "edit") {
    if (path == "background") r = FillRecipe(COLOR_WINDOW);
    else if (path == "text") r = EdgeRecipe(EDGE_SUNKEN, EDGE_SUNKEN, EDGE_SUNKEN, BF_RECT, COLOR_WINDOW);
    else r = EdgeRecipe(EDGE_SUNKEN, EDGE_SUNKEN, EDGE_SUNKEN);
    if (st == "disabled" || st == "readonly") {
      if (r.Fill >= 0) r.Fill = COLOR_BTNFACE;
    }
    r.Text = st == "selected" ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT;
  } else if (fam == "grid") {
    if (path == "cell") {
      r = FillRecipe(st == "selected" ? COLOR_HIGHLIGHT : COLOR_WINDOW);
      r.Text = st == "selected" ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT;
      r.Content = 2;
    } else {
      r = EdgeRecipe(BDR_RAISEDINNER, BDR_RAISEDINNER, BDR_SUNKENOUTER, BF_RECT, COLOR_BTNFACE);
    }
  } else if (fam == "header") {
    if (path == "root") r = FillRecipe(COLOR_BTNFACE);
    else if (Starts(path, "item")) r = EdgeRecipe(EDGE_RAISED, EDGE_RAISED, BDR_SUNKENOUTER, BF_RECT, COLOR_BTNFACE);
    else if (path == "dropdown") r = FrameRecipe(DFC_SCROLL, DFCS_SCROLLCOMBOBOX, 16, 0);
  } else if (fam == "hint" || fam == "tooltip") {
    if (path == "close") {
      r = FrameRecipe(DFC_CAPTION, DFCS_CAPTIONCLOSE, 16, 16);
    } else {
      r.Kind = TClassicKind::FillBorder;
      r.Fill = COLOR_INFOBK;
      r.Border = COLOR_WINDOWFRAME;
      r.Text = st == "link" ? COLOR_HOTLIGHT : COLOR_INFOTEXT;
      r.Content = 3;
    }
  } else if (fam == "listview" || fam == "treeview") {
    if (path == "root" || path == "detail" || path == "sortdetail") {
      r = FillRecipe(COLOR_WINDOW);
    } else if (path == "item") {
      item = true;
    } else if (Starts(path, "glyph")) {
      r = KindRecipe(TClassicKind::PlusMinus);
      r.Checked = path == "glyph.closed";  // closed: the box shows a plus
      r.Width = r.Height = 16;
    }
    if (r.Text == COLOR_BTNTEXT) r.Text = path == "emptytext" ? COLOR_GRAYTEXT : COLOR_WINDOWTEXT;
  } else if (fam == "menu") {
    r.Text = COLOR_MENUTEXT;
    if (path == "separator") {
      r = KindRecipe(TClassicKind::SeparatorV);
    } else if (path == "barbackground") {
      r = FillRecipe(COLOR_MENUBAR);
      r.Text = st == "inactive" ? COLOR_GRAYTEXT : COLOR_MENUTEXT;
    } else if (path == "baritem") {
      r = EdgeRecipe(0, BDR_RAISEDINNER, BDR_SUNKENOUTER);
      r.Text = Starts(st, "disabled") ? COLOR_GRAYTEXT : COLOR_MENUTEXT;
      if (Starts(st, "disabled")) r.Edge[1] = r.Edge[2] = 0;
    } else if (path == "popupbackground") {
      r = FillRecipe(COLOR_MENU);
    } else if (path == "popupborders") {
      r = EdgeRecipe(EDGE_RAISED, EDGE_RAISED, EDGE_RAISED, BF_RECT, COLOR_MENU);
    } else if (Starts(path, "popupcheck.")) {
      r = FrameRecipe(DFC_MENU, (path == "popupcheck.bullet" ? DFCS_MENUBULLET : DFCS_MENUCHECK) | DFCS_TRANSPARENT);
      r.WidthMetric = SM_CXMENUCHECK;
      r.HeightMetric = SM_CYMENUCHECK;
    } else if (path == "popupitem") {
      r = KindRecipe(Has(st, "hot") ? TClassicKind::Fill : TClassicKind::Edge);
      if (Has(st, "hot")) r.Fill = COLOR_HIGHLIGHT;
      r.Text = Starts(st, "disabled") ? COLOR_GRAYTEXT : Has(st, "hot") ? COLOR_HIGHLIGHTTEXT : COLOR_MENUTEXT;
      r.Content = 2;
    } else if (path == "popupseparator") {
      r = KindRecipe(TClassicKind::SeparatorH);
      r.Height = 9;
    } else if (path == "popupsubmenu") {
      r = FrameRecipe(DFC_MENU, DFCS_MENUARROW | DFCS_TRANSPARENT, 16, 16);
    } else if (Starts(path, "system.")) {
      UINT g = Has(path, "close") ? DFCS_CAPTIONCLOSE : Has(path, "maximize") ? DFCS_CAPTIONMAX
               : Has(path, "minimize") ? DFCS_CAPTIONMIN : DFCS_CAPTIONRESTORE;
      r = FrameRecipe(DFC_CAPTION, g, 16, 16);
    }
    if (r.Text == COLOR_BTNTEXT) r.Text = st == "disabled" ? COLOR_GRAYTEXT : COLOR_MENUTEXT;
  } else if (fam == "monthcal") {
    if (path == "background" || path == "gridbackground") r = FillRecipe(COLOR_WINDOW);
    else if (path == "borders") r = EdgeRecipe(EDGE_SUNKEN, EDGE_SUNKEN, EDGE_SUNKEN);
    else if (Starts(path, "nav")) r = FrameRecipe(DFC_SCROLL, ScrollGlyph(path), 16, 16);
    else if (path == "gridcellbackground" && Starts(st, "selected")) r = FillRecipe(COLOR_HIGHLIGHT);
    else if (st == "today") {
      r.Kind = TClassicKind::FillBorder;
      r.Border = COLOR_HIGHLIGHT;
    }
    r.Text = r.Fill == COLOR_HIGHLIGHT ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT;
  } else if (fam == "progress") {
    if (Starts(path, "bar")) r = EdgeRecipe(BDR_SUNKENOUTER, BDR_SUNKENOUTER, BDR_SUNKENOUTER, BF_RECT, COLOR_BTNFACE);
    else r = FillRecipe(COLOR_HIGHLIGHT);
  } else if (fam == "rebar") {
    if (path == "root" || path == "background") r = FillRecipe(COLOR_BTNFACE);
    else if (Starts(path, "gripper")) {
      r = EdgeRecipe(BDR_RAISEDINNER, BDR_RAISEDINNER, BDR_RAISEDINNER);
      if (path == "gripper") r.Width = 3;
      else r.Height = 3;
    }
  } else if (fam == "scrollbar") {
    if (Starts(path, "arrow")) {
      r = FrameRecipe(DFC_SCROLL, ScrollGlyph(path));
      r.WidthMetric = SM_CXVSCROLL;
      r.HeightMetric = SM_CYVSCROLL;
    } else if (Starts(path, "thumb")) {
      r = EdgeRecipe(EDGE_RAISED, EDGE_RAISED, EDGE_RAISED, BF_RECT, COLOR_BTNFACE);
      r.Width = r.Height = 8;
    } else if (Starts(path, "track")) {
      r = FillRecipe(st == "pressed" ? COLOR_3DDKSHADOW : COLOR_SCROLLBAR);
    } else if (Starts(path, "sizebox")) {
      r = FrameRecipe(DFC_SCROLL, path == "sizebox.left" ? DFCS_SCROLLSIZEGRIPRIGHT : DFCS_SCROLLSIZEGRIP);
      r.WidthMetric = SM_CXVSCROLL;
      r.HeightMetric = SM_CYHSCROLL;
    }
  } else if (fam == "spin") {
    r = FrameRecipe(DFC_SCROLL, ScrollGlyph(path));
    bool horz = Has(path, "left") || Has(path, "right");
    r.Width = horz ? 11 : 16;
    r.Height = horz ? 16 : 11;
  } else if (fam == "status") {
    if (path == "root") r = FillRecipe(COLOR_BTNFACE);
    else if (path == "pane") r = EdgeRecipe(BDR_SUNKENOUTER, BDR_SUNKENOUTER, BDR_SUNKENOUTER);
    else if (path == "gripper") r = FrameRecipe(DFC_SCROLL, DFCS_SCROLLSIZEGRIP, 16, 16);
  } else if (fam == "tab") {
    if (path == "body") r = FillRecipe(COLOR_BTNFACE);
    else if (path == "pane") r = EdgeRecipe(EDGE_RAISED, EDGE_RAISED, EDGE_RAISED, BF_RECT | BF_SOFT, COLOR_BTNFACE);
    else r = EdgeRecipe(EDGE_RAISED, EDGE_RAISED, EDGE_RAISED, BF_LEFT | BF_TOP | BF_RIGHT | BF_SOFT, COLOR_BTNFACE);
    if (Starts(path, "pane")) r.Content = 4;
  } else if (fam == "toolbar") {
    if (path == "root") r = FillRecipe(COLOR_BTNFACE);
    else if (path == "separator") r = KindRecipe(TClassicKind::SeparatorV);
    else if (path == "separator.vert") r = KindRecipe(TClassicKind::SeparatorH);
    else if (path != "dropdownglyph") {
      r = EdgeRecipe(0, BDR_RAISEDINNER, BDR_SUNKENOUTER);
      if (Starts(st, "checked")) r.Edge[0] = r.Edge[1] = BDR_SUNKENOUTER;
      if (st == "disabled") r.Edge[1] = r.Edge[2] = 0;
    }
  } else if (fam == "trackbar") {
    if (path == "root") r = FillRecipe(COLOR_BTNFACE);
    else if (Starts(path, "track")) {
      r = EdgeRecipe(EDGE_SUNKEN, EDGE_SUNKEN, EDGE_SUNKEN, BF_RECT, COLOR_WINDOW);
      if (path == "track") r.Height = 4;
      else r.Width = 4;
    } else if (Starts(path, "thumb")) {
      r = EdgeRecipe(EDGE_RAISED, EDGE_RAISED, EDGE_RAISED, BF_RECT, COLOR_BTNFACE);
      bool vert = path == "thumb.vert" || path == "thumb.left" || path == "thumb.right";
      r.Width = vert ? 21 : 11;
      r.Height = vert ? 11 : 21;
    }
  } else if (fam == "window") {
    if (path == "root" || path == "dialog") {
      r = FillRecipe(COLOR_BTNFACE);
    } else if (Starts(path, "caption")) {
      r.Kind = TClassicKind::Caption;
      bool active = st == "active";
      r.Fill = active ? COLOR_ACTIVECAPTION : COLOR_INACTIVECAPTION;
      r.Fill2 = active ? COLOR_GRADIENTACTIVECAPTION : COLOR_GRADIENTINACTIVECAPTION;
      r.Text = active ? COLOR_CAPTIONTEXT : COLOR_INACTIVECAPTIONTEXT;
      r.HeightMetric = path == "caption.small" ? SM_CYSMCAPTION : SM_CYCAPTION;
      r.Content = 2;
    } else if (Starts(path, "frame")) {
      // The window's raised outer edge runs along the outside of each border.
      bool bottom = Starts(path, "frame.bottom");
      UINT sides = bottom ? BF_LEFT | BF_RIGHT | BF_BOTTOM : Starts(path, "frame.left") ? BF_LEFT : BF_RIGHT;
      r = EdgeRecipe(EDGE_RAISED, EDGE_RAISED, EDGE_RAISED, sides, COLOR_BTNFACE);
      r.Content = 0;
      if (bottom) r.HeightMetric = SM_CYFRAME;
      else r.WidthMetric = SM_CXFRAME;
    } else if (Starts(path, "button.") && !Starts(path, "button.sys")) {
      UINT g = Has(path, "close") ? DFCS_CAPTIONCLOSE : Has(path, "min") ? DFCS_CAPTIONMIN
               : Has(path, "max") ? DFCS_CAPTIONMAX : Has(path, "help") ? DFCS_CAPTIONHELP
                                                    : DFCS_CAPTIONRESTORE;
      r = FrameRecipe(DFC_CAPTION, g);
      r.WidthMetric = Has(path, "small") ? SM_CXSMSIZE : SM_CXSIZE;
      r.HeightMetric = Has(path, "small") ? SM_CYSMSIZE : SM_CYSIZE;
    } else if (Starts(path, "button.sys")) {
      r.WidthMetric = SM_CXSMICON;  // the window's icon: drawn by the caller
      r.HeightMetric = SM_CYSMICON;
    }
  } else if (fam == "categorypanelgroup") {
    if (path == "background") r = FillRecipe(COLOR_BTNFACE);
    else if (path == "header") r = EdgeRecipe(EDGE_RAISED, EDGE_RAISED, EDGE_RAISED, BF_RECT, COLOR_BTNFACE);
  }
  if (item) {
    bool selected = Starts(st, "selected") || st == "hotselected";
    bool focusedSel = selected && st != "selectednotfocus";
    r = KindRecipe(selected ? TClassicKind::Fill : TClassicKind::Edge);
    r.Fill = focusedSel ? COLOR_HIGHLIGHT : selected ? COLOR_BTNFACE : -1;
    r.Text = focusedSel ? COLOR_HIGHLIGHTTEXT : st == "disabled" ? COLOR_GRAYTEXT : COLOR_WINDOWTEXT;
    r.Content = 2;
  }
  r.Hot = Has(st, "hot");
  r.Pressed = st == "pressed" || Starts(st, "checked");
  r.Disabled = Has(st, "disabled");
  r.Defaulted = Starts(st, "defaulted");
  if (r.Disabled && r.Text != COLOR_GRAYTEXT && fam != "window") r.Text = COLOR_GRAYTEXT;
  return r;
}

COLORREF Sys(int index) { return GetSysColor(index); }

void FillSys(HDC dc, const TRect& r, int index) { FillRect(dc, &r, GetSysColorBrush(index)); }

void DrawPlusMinus(HDC dc, const TRect& r, bool plus, int dpi) {
  int n = Px(9, dpi) | 1;
  TRect box = TRect::FromSize(r.Left + (r.Width() - n) / 2, r.Top + (r.Height() - n) / 2, n, n);
  FillSys(dc, box, COLOR_WINDOW);
  FrameRect(dc, &box, GetSysColorBrush(COLOR_BTNSHADOW));
  int t = std::max(1, dpi / 96), c = box.Left + n / 2, m = box.Top + n / 2, arm = n / 2 - Px(2, dpi);
  FillSys(dc, TRect(c - arm, m - t / 2, c + arm + 1, m - t / 2 + t), COLOR_WINDOWTEXT);
  if (plus) FillSys(dc, TRect(c - t / 2, m - arm, c - t / 2 + t, m + arm + 1), COLOR_WINDOWTEXT);
}

}  // namespace

TClassicStyle::TClassicStyle() {
  auto rows = ElementEntries();
  FRecipes.reset(new TRecipe[rows.size()]);
  for (size_t i = 0; i < rows.size(); ++i) FRecipes[i] = Build(rows[i]);
}

TClassicStyle::~TClassicStyle() = default;

TStyleInfo TClassicStyle::Info() const {
  TStyleInfo info;
  info.Name = Name();
  info.Description = u"The classic look, while themes are switched off";
  return info;
}

const TClassicStyle::TRecipe* TClassicStyle::RecipeOf(const TThemedElementDetails& details) const {
  int entry = EntryOfDetails(details);
  return entry < 0 ? nullptr : &FRecipes[size_t(entry)];
}

bool TClassicStyle::DrawElement(HDC dc, const TThemedElementDetails& details, const TRect& r,
                                const TRect* clip, int dpi) const {
  const TRecipe* rc = RecipeOf(details);
  if (!rc || !dc || rc->Kind == TClassicKind::None) return false;
  if (rc->Kind == TClassicKind::TextOnly || r.IsEmpty() || (clip && clip->IsEmpty())) return true;
  if (dpi <= 0) dpi = GetDeviceCaps(dc, LOGPIXELSY);
  int saved = 0;
  if (clip) {
    saved = SaveDC(dc);
    IntersectClipRect(dc, clip->Left, clip->Top, clip->Right, clip->Bottom);
  }
  TRect t = r;
  switch (rc->Kind) {
    case TClassicKind::Fill: FillSys(dc, t, rc->Fill); break;
    case TClassicKind::Frame: {
      if (rc->Defaulted) {
        FrameRect(dc, &t, GetSysColorBrush(COLOR_WINDOWFRAME));
        t.Inflate(-1, -1);
      }
      UINT state = rc->Flags;
      if (rc->Pressed) state |= DFCS_PUSHED;
      if (rc->Disabled) state |= DFCS_INACTIVE;
      if (rc->Checked) state |= DFCS_CHECKED;
      if (rc->Hot) state |= DFCS_HOT;
      DrawFrameControl(dc, &t, rc->Type, state);
      break;
    }
    case TClassicKind::Edge: {
      if (rc->Fill >= 0) FillSys(dc, t, rc->Fill);
      UINT edge = rc->Pressed ? rc->Edge[2] : rc->Hot ? rc->Edge[1] : rc->Edge[0];
      if (edge) DrawEdge(dc, &t, edge, rc->Flags);
      break;
    }
    case TClassicKind::FillBorder:
      if (rc->Fill >= 0) FillSys(dc, t, rc->Fill);
      FrameRect(dc, &t, GetSysColorBrush(rc->Border));
      break;
    case TClassicKind::Caption: {
      // The window's raised edge above and beside the gradient bar.
      FillSys(dc, t, COLOR_BTNFACE);
      DrawEdge(dc, &t, EDGE_RAISED, BF_LEFT | BF_TOP | BF_RIGHT | BF_ADJUST);
      t.Inflate(-1, 0);
      t.Top += 1;
      COLORREF a = Sys(rc->Fill), b = Sys(rc->Fill2);
      TRIVERTEX v[2];
      v[0] = {t.Left, t.Top, COLOR16(GetRValue(a) << 8), COLOR16(GetGValue(a) << 8), COLOR16(GetBValue(a) << 8), 0};
      v[1] = {t.Right, t.Bottom, COLOR16(GetRValue(b) << 8), COLOR16(GetGValue(b) << 8), COLOR16(GetBValue(b) << 8), 0};
      GRADIENT_RECT g{0, 1};
      GradientFill(dc, v, 2, &g, 1, GRADIENT_FILL_RECT_H);
      break;
    }
    case TClassicKind::Etched: DrawEdge(dc, &t, EDGE_ETCHED, BF_RECT); break;
    case TClassicKind::SeparatorH: {
      TRect line(t.Left, t.Top + t.Height() / 2 - 1, t.Right, t.Top + t.Height() / 2 + 1);
      DrawEdge(dc, &line, EDGE_ETCHED, BF_TOP);
      break;
    }
    case TClassicKind::SeparatorV: {
      TRect line(t.Left + t.Width() / 2 - 1, t.Top, t.Left + t.Width() / 2 + 1, t.Bottom);
      DrawEdge(dc, &line, EDGE_ETCHED, BF_LEFT);
      break;
    }
    case TClassicKind::PlusMinus: DrawPlusMinus(dc, t, rc->Checked, dpi); break;
    default: break;
  }
  if (saved) RestoreDC(dc, saved);
  return true;
}

bool TClassicStyle::GetElementColor(const TThemedElementDetails& details, TElementColor kind,
                                    TColor& color) const {
  const TRecipe* rc = RecipeOf(details);
  if (!rc) return false;
  bool framed = rc->Kind == TClassicKind::Frame || rc->Kind == TClassicKind::Edge;
  int index = -1;
  switch (kind) {
    case ecTextColor:
    case ecBodyTextColor:
    case ecTextColorHint:
    case ecGlyphTextColor: index = rc->Text; break;
    case ecFillColor:
    case ecFillColorHint:
    case ecEdgeFillColor:
    case ecGradientColor1:
      index = rc->Fill >= 0 ? rc->Fill : rc->Kind == TClassicKind::Frame ? COLOR_BTNFACE : -1;
      break;
    case ecGradientColor2: index = rc->Fill2 >= 0 ? rc->Fill2 : rc->Fill; break;
    case ecBorderColor:
    case ecBorderColorHint:
      index = rc->Kind == TClassicKind::FillBorder ? rc->Border : framed ? COLOR_BTNSHADOW : -1;
      break;
    case ecEdgeLightColor: index = framed ? COLOR_3DLIGHT : -1; break;
    case ecEdgeHighLightColor: index = framed ? COLOR_BTNHIGHLIGHT : -1; break;
    case ecEdgeShadowColor: index = framed ? COLOR_BTNSHADOW : -1; break;
    case ecEdgeDkShadowColor: index = framed ? COLOR_3DDKSHADOW : -1; break;
    case ecAccentColorHint: index = COLOR_HIGHLIGHT; break;
    default: break;
  }
  if (index < 0) return false;
  color = TColor(Sys(index));
  return true;
}

bool TClassicStyle::GetElementSize(HDC, const TThemedElementDetails& details, TElementSize kind,
                                   TSize& size, int dpi) const {
  const TRecipe* rc = RecipeOf(details);
  if (!rc || kind == esStretch) return false;
  if (dpi <= 0) dpi = 96;
  auto length = [&](int metric, int v96) {
    return metric >= 0 ? GetSystemMetricsForDpi(metric, UINT(dpi)) : Px(v96, dpi);
  };
  int w = length(rc->WidthMetric, rc->Width), h = length(rc->HeightMetric, rc->Height);
  if (w == 0 && h == 0) return false;
  if (rc->Type == DFC_CAPTION && rc->WidthMetric >= 0) {
    // Classic caption buttons sit inside the caption with a small margin.
    w -= Px(2, dpi);
    h -= Px(4, dpi);
  }
  size = {w, h};
  return true;
}

bool TClassicStyle::GetElementSize(HDC dc, const TThemedElementDetails& details, const TRect& r,
                                   TElementSize kind, TSize& size, int dpi) const {
  if (kind != esStretch) return GetElementSize(dc, details, kind, size, dpi);
  TSize natural;
  if (!GetElementSize(dc, details, esActual, natural, dpi) || natural.cx <= 0 || natural.cy <= 0) {
    size = {natural.cx > 0 ? natural.cx : r.Width(), natural.cy > 0 ? natural.cy : r.Height()};
    return RecipeOf(details) != nullptr;
  }
  double f = std::min(double(r.Width()) / natural.cx, double(r.Height()) / natural.cy);
  size = {int(natural.cx * f), int(natural.cy * f)};
  return true;
}

bool TClassicStyle::GetElementContentRect(HDC dc, const TThemedElementDetails& details,
                                          const TRect& bounds, TRect& contentRect, int dpi) const {
  const TRecipe* rc = RecipeOf(details);
  if (!rc) return false;
  if (dpi <= 0) dpi = 96;
  if (details.Element == teWindow) {
    const char* path = ElementEntries()[size_t(EntryOfDetails(details))].Path;
    if (Starts(path, "button.")) {
      // Placed like the classic caption: close at the right, maximise (or restore, or help)
      // and minimise to its left, the icon at the left.
      TSize s;
      GetElementSize(dc, details, esActual, s, dpi);
      int top = bounds.Top + (bounds.Height() - s.cy) / 2, gap = Px(2, dpi);
      int right = bounds.Right - gap;
      if (Starts(path, "button.sys")) {
        contentRect = TRect::FromSize(bounds.Left + gap, top, s.cx, s.cy);
        return true;
      }
      if (!Has(path, "close")) right -= s.cx + gap;
      if (Has(path, "min")) right -= s.cx;
      contentRect = TRect(right - s.cx, top, right, top + s.cy);
      return true;
    }
  }
  int c = Px(rc->Content, dpi);
  contentRect = TRect(bounds.Left + c, bounds.Top + c, bounds.Right - c, bounds.Bottom - c);
  return true;
}

bool TClassicStyle::GetElementMargins(HDC, const TThemedElementDetails& details, TElementMargin margin,
                                      TElementMargins& margins, int dpi) const {
  const TRecipe* rc = RecipeOf(details);
  if (!rc) return false;
  int c = margin == emSizing ? 0 : Px(rc->Content, dpi > 0 ? dpi : 96);
  margins = {c, c, c, c};
  return true;
}

bool TClassicStyle::GetElementMargins(HDC dc, const TThemedElementDetails& details, const TRect&,
                                      TElementMargin margin, TElementMargins& margins, int dpi) const {
  return GetElementMargins(dc, details, margin, margins, dpi);
}

bool TClassicStyle::GetElementRegion(HDC, const TThemedElementDetails&, const TRect&, HRGN& region,
                                     int) const {
  region = nullptr;  // classic parts are rectangular
  return false;
}

bool TClassicStyle::HasTransparentParts(const TThemedElementDetails& details) const {
  const TRecipe* rc = RecipeOf(details);
  if (!rc) return true;
  switch (rc->Kind) {
    case TClassicKind::Fill:
    case TClassicKind::Caption: return false;
    case TClassicKind::Edge: return rc->Fill < 0;
    case TClassicKind::FillBorder: return rc->Fill < 0;
    case TClassicKind::Frame: return rc->Type == DFC_MENU || (rc->Type == DFC_BUTTON && rc->Flags != DFCS_BUTTONPUSH);
    default: return true;
  }
}

bool TClassicStyle::HasElementFixedPosition(const TThemedElementDetails&) const { return false; }

TColor TClassicStyle::GetStyleColor(TStyleColor color) const {
  int index;
  switch (color) {
    case scBorder: index = COLOR_WINDOWFRAME; break;
    case scComboBox:
    case scEdit:
    case scGrid:
    case scListBox:
    case scListView:
    case scTreeView: index = COLOR_WINDOW; break;
    case scHintGradientBase:
    case scHintGradientEnd: index = COLOR_INFOBK; break;
    default:
      if (int(color) < 0 || int(color) >= StyleColorCount) return clNone;
      index = COLOR_BTNFACE;  // buttons, panels, bars, splitters, the window, disabled fields
      break;
  }
  return TColor(Sys(index));
}

TColor TClassicStyle::GetStyleFontColor(TStyleFont font) const {
  if (int(font) < 0 || int(font) >= StyleFontCount) return clNone;
  std::string_view n = StyleFontName(font);
  int index = COLOR_BTNTEXT;
  bool window = Starts(n, "sfEdit") || Starts(n, "sfComboBoxItem") || Starts(n, "sfGridItemNormal") ||
                Starts(n, "sfGridItemSelected") || Starts(n, "sfListItem") || Starts(n, "sfTreeItem") ||
                Starts(n, "sfTextLabel") || Starts(n, "sfWindowText");
  bool menu = Starts(n, "sfMenuItem") || Starts(n, "sfPopupMenuItem");
  if (window) index = COLOR_WINDOWTEXT;
  if (menu) index = COLOR_MENUTEXT;
  if (Has(n, "Caption")) index = Has(n, "Inactive") ? COLOR_INACTIVECAPTIONTEXT : COLOR_CAPTIONTEXT;
  else if (Has(n, "Disabled")) index = COLOR_GRAYTEXT;
  else if ((window || menu || Starts(n, "sfCategoryButtons")) && Has(n, "Selected")) index = COLOR_HIGHLIGHTTEXT;
  else if (menu && Has(n, "Hot")) index = COLOR_HIGHLIGHTTEXT;
  return TColor(Sys(index));
}

TStyleFontSpec TClassicStyle::GetStyleFont(TStyleFontKind) const { return {}; }

}  // namespace vcl
