#include "host/themes/StyledFrame.h"

#include <algorithm>

#include "host/gdi/GdiText.h"
#include "host/themes/StyleFonts.h"
#include "host/win/WinUser.h"

namespace vcl {

namespace {

int Px(int v96, int dpi) { return MulDiv(v96, dpi, 96); }

TThemedElementDetails Detail(TThemedWindow w) { return GetElementDetails(w); }

TThemedElementDetails CaptionDetail(const TStyledFrameInfo& info) {
  if (info.ToolWindow) return Detail(info.Active ? twSmallCaptionActive : twSmallCaptionInactive);
  return Detail(info.Active ? twCaptionActive : twCaptionInactive);
}

// The first (normal) detail of a caption button; its hot, pushed and disabled details follow.
TThemedWindow ButtonBase(const TStyledFrameInfo& info, int button) {
  switch (button) {
    case scbClose: return info.ToolWindow ? twSmallCloseButtonNormal : twCloseButtonNormal;
    case scbMax: return info.Maximized ? twRestoreButtonNormal : twMaxButtonNormal;
    case scbMin: return twMinButtonNormal;
    default: return twHelpButtonNormal;
  }
}

// Which buttons are shown: a tool window has only its close button, and help goes only where
// neither minimise nor maximise is.
void ShownButtons(const TStyledFrameInfo& info, bool shown[StyledCaptionButtonCount]) {
  for (int i = 0; i < StyledCaptionButtonCount; ++i) shown[i] = info.HasCaption && info.Buttons[i];
  if (info.ToolWindow) shown[scbMax] = shown[scbMin] = shown[scbHelp] = false;
  if (shown[scbMax] || shown[scbMin]) shown[scbHelp] = false;
}

int ElementHeight(TCustomStyleServices* s, const TThemedElementDetails& d, int dpi) {
  TSize z;
  return s->GetElementSize(nullptr, d, esActual, z, dpi) ? z.cy : 0;
}

int ElementWidth(TCustomStyleServices* s, const TThemedElementDetails& d, int dpi) {
  TSize z;
  return s->GetElementSize(nullptr, d, esActual, z, dpi) ? z.cx : 0;
}

}  // namespace

TStyledFrameMetrics GetStyledFrameMetrics(TCustomStyleServices* s, bool toolWindow, bool hasCaption,
                                          int dpi) {
  TStyledFrameMetrics m;
  if (dpi <= 0) dpi = 96;
  m.Left = ElementWidth(s, Detail(toolWindow ? twSmallFrameLeftActive : twFrameLeftActive), dpi);
  m.Right = ElementWidth(s, Detail(toolWindow ? twSmallFrameRightActive : twFrameRightActive), dpi);
  m.Bottom = ElementHeight(s, Detail(toolWindow ? twSmallFrameBottomActive : twFrameBottomActive), dpi);
  if (hasCaption) {
    m.Top = ElementHeight(s, Detail(toolWindow ? twSmallCaptionActive : twCaptionActive), dpi);
    if (m.Top <= 0) m.Top = GetSystemMetricsForDpi(toolWindow ? SM_CYSMCAPTION : SM_CYCAPTION, UINT(dpi));
  } else {
    m.Top = m.Bottom;
  }
  return m;
}

TStyledFrameLayout GetStyledFrameLayout(TCustomStyleServices* s, const TStyledFrameInfo& info) {
  TStyledFrameLayout l;
  int dpi = info.Dpi > 0 ? info.Dpi : 96;
  int W = info.Size.cx, H = info.Size.cy;
  TStyledFrameMetrics& m = l.Metrics;
  m = GetStyledFrameMetrics(s, info.ToolWindow, info.HasCaption, dpi);
  l.Client = TRect(m.Left, m.Top, std::max(m.Left, W - m.Right), std::max(m.Top, H - m.Bottom));
  l.FrameLeft = TRect(0, m.Top, m.Left, std::max(m.Top, H - m.Bottom));
  l.FrameRight = TRect(W - m.Right, m.Top, W, std::max(m.Top, H - m.Bottom));
  l.FrameBottom = TRect(0, std::max(m.Top, H - m.Bottom), W, H);
  if (!info.HasCaption) return l;
  l.Caption = TRect(0, 0, W, m.Top);

  bool shown[StyledCaptionButtonCount];
  ShownButtons(info, shown);
  int leftmost = W;
  TRect maxSlot;
  s->GetElementContentRect(nullptr, Detail(ButtonBase(info, scbMax)), l.Caption, maxSlot, dpi);
  for (int b = 0; b < StyledCaptionButtonCount; ++b) {
    if (!shown[b]) continue;
    TRect r;
    s->GetElementContentRect(nullptr, Detail(ButtonBase(info, b)), l.Caption, r, dpi);
    // Minimise alone takes maximise's place (help always does, it shares that slot).
    if (b == scbMin && !shown[scbMax]) r = maxSlot;
    if (r.Left < 0 || r.IsEmpty()) continue;  // too narrow a window
    l.Buttons[b] = r;
    leftmost = std::min(leftmost, r.Left);
  }
  if (info.ShowIcon && !info.ToolWindow) {
    TRect icon;
    s->GetElementContentRect(nullptr, Detail(twSysButtonNormal), l.Caption, icon, dpi);
    if (icon.Right <= leftmost) l.Icon = icon;
  }
  TRect content;
  s->GetElementContentRect(nullptr, CaptionDetail(info), l.Caption, content, dpi);
  int left = l.Icon.IsEmpty() ? std::max(content.Left, m.Left + Px(4, dpi)) : l.Icon.Right + Px(6, dpi);
  int right = std::min(content.Right, leftmost - Px(4, dpi));
  l.Text = TRect(left, l.Caption.Top, std::max(left, right), l.Caption.Bottom);
  return l;
}

TColor StyledCaptionTextColor(TCustomStyleServices* s, bool active, bool toolWindow) {
  TColor c;
  TThemedWindow d = toolWindow ? (active ? twSmallCaptionActive : twSmallCaptionInactive)
                               : (active ? twCaptionActive : twCaptionInactive);
  if (s->GetElementColor(Detail(d), ecTextColor, c)) return c;
  if (toolWindow) return s->GetStyleFontColor(active ? sfSmCaptionTextNormal : sfSmCaptionTextInactive);
  return s->GetStyleFontColor(active ? sfCaptionTextNormal : sfCaptionTextInactive);
}

void DrawStyledFrame(HDC dc, TCustomStyleServices* s, const TStyledFrameInfo& info) {
  if (!dc || !s || info.Size.cx <= 0 || info.Size.cy <= 0) return;
  int dpi = info.Dpi > 0 ? info.Dpi : 96;
  TStyledFrameLayout l = GetStyledFrameLayout(s, info);
  bool small = info.ToolWindow;
  auto frame = [&](TThemedWindow active, TThemedWindow inactive, const TRect& r) {
    if (!r.IsEmpty()) s->DrawElement(dc, Detail(info.Active ? active : inactive), r, nullptr, dpi);
  };
  frame(small ? twSmallFrameLeftActive : twFrameLeftActive, small ? twSmallFrameLeftInactive : twFrameLeftInactive,
        l.FrameLeft);
  frame(small ? twSmallFrameRightActive : twFrameRightActive,
        small ? twSmallFrameRightInactive : twFrameRightInactive, l.FrameRight);
  frame(small ? twSmallFrameBottomActive : twFrameBottomActive,
        small ? twSmallFrameBottomInactive : twFrameBottomInactive, l.FrameBottom);
  if (!info.HasCaption) {
    // No caption: the top border is the caption element, as thin as the bottom border.
    s->DrawElement(dc, CaptionDetail(info), TRect(0, 0, info.Size.cx, l.Metrics.Top), nullptr, dpi);
    return;
  }
  s->DrawElement(dc, CaptionDetail(info), l.Caption, nullptr, dpi);
  if (!l.Icon.IsEmpty()) {
    // The window's icon; else the style's system-button glyph; else (a style without one, such
    // as the classic look) the generic application icon.
    bool drawn = !info.Icon && s->DrawElement(dc, Detail(info.Active ? twSysButtonNormal : twSysButtonDisabled),
                                              l.Icon, nullptr, dpi);
    if (!drawn) {
      HICON icon = info.Icon ? info.Icon : LoadIconW(nullptr, IDI_APPLICATION);
      DrawIconEx(dc, l.Icon.Left, l.Icon.Top, icon, l.Icon.Width(), l.Icon.Height(), 0, nullptr, DI_NORMAL);
    }
  }
  if (!info.Caption.empty() && !l.Text.IsEmpty()) {
    int saved = SaveDC(dc);
    SelectObject(dc, StyleFontHandle(s, small ? sfkSmallCaption : sfkCaption, dpi));
    TRect t = l.Text;
    s->DrawText(dc, CaptionDetail(info), info.Caption, t,
                DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_END_ELLIPSIS | DT_NOPREFIX,
                StyledCaptionTextColor(s, info.Active, small), dpi);
    RestoreDC(dc, saved);
  }
  for (int b = 0; b < StyledCaptionButtonCount; ++b) {
    if (l.Buttons[b].IsEmpty()) continue;
    int state = std::clamp(int(info.States[b]), 0, 3);
    // The window elements have no inactive buttons: an inactive window's buttons at rest are
    // drawn as disabled ones, which every style makes legible on its inactive caption. (Classic
    // buttons carry their own face and look the same either way.)
    if (!info.Active && state == sbsNormal && s->Enabled()) state = sbsDisabled;
    s->DrawElement(dc, Detail(TThemedWindow(ButtonBase(info, b) + state)), l.Buttons[b], nullptr, dpi);
  }
}

LRESULT StyledFrameHitTest(TCustomStyleServices* s, const TStyledFrameInfo& info, TPoint pt) {
  int W = info.Size.cx, H = info.Size.cy;
  if (!TRect(0, 0, W, H).Contains(pt)) return HTNOWHERE;
  TStyledFrameLayout l = GetStyledFrameLayout(s, info);
  static constexpr LRESULT Codes[StyledCaptionButtonCount] = {HTCLOSE, HTMAXBUTTON, HTMINBUTTON, HTHELP};
  for (int b = 0; b < StyledCaptionButtonCount; ++b)
    if (l.Buttons[b].Contains(pt)) return Codes[b];
  if (l.Icon.Contains(pt)) return HTSYSMENU;
  if (l.Client.Contains(pt)) return HTCLIENT;
  const TStyledFrameMetrics& m = l.Metrics;
  if (info.Sizeable && !info.Maximized) {
    // The top sizing strip is as high as the left border is wide; corners reach a little way
    // along the edges so they are easy to grab.
    bool left = pt.X < m.Left, right = pt.X >= W - m.Right;
    bool top = pt.Y < m.Left, bottom = pt.Y >= H - m.Bottom;
    int grip = Px(16, info.Dpi > 0 ? info.Dpi : 96);
    if (top || bottom) {
      if (pt.X < grip) return top ? HTTOPLEFT : HTBOTTOMLEFT;
      if (pt.X >= W - grip) return top ? HTTOPRIGHT : HTBOTTOMRIGHT;
      return top ? HTTOP : HTBOTTOM;
    }
    if (left || right) {
      if (pt.Y < grip) return left ? HTTOPLEFT : HTTOPRIGHT;
      if (pt.Y >= H - grip) return left ? HTBOTTOMLEFT : HTBOTTOMRIGHT;
      return left ? HTLEFT : HTRIGHT;
    }
  }
  if (l.Caption.Contains(pt)) return HTCAPTION;
  return HTBORDER;
}

// ---- scroll bars ------------------------------------------------------------------------------

namespace {

// The state offset (normal, hot, pressed, disabled) of a part of a scroll bar.
int PartState(const SCROLLBARINFO& info, int part) {
  if ((info.rgstate[0] & STATE_SYSTEM_UNAVAILABLE) || (info.rgstate[part] & STATE_SYSTEM_UNAVAILABLE)) return 3;
  if (info.rgstate[part] & STATE_SYSTEM_PRESSED) return 2;
  if (info.rgstate[part] & STATE_SYSTEM_HOTTRACKED) return 1;
  return 0;
}

TThemedElementDetails Bar(TThemedScrollBar base, int state) {
  return GetElementDetails(TThemedScrollBar(base + state));
}

}  // namespace

void DrawStyledScrollBar(HDC dc, TCustomStyleServices* s, const TRect& bar, const SCROLLBARINFO& info,
                         bool vertical, int dpi) {
  if (!dc || !s || bar.IsEmpty()) return;
  int len = vertical ? bar.Height() : bar.Width();
  int arrow = std::clamp(info.dxyLineButton, 0, len / 2);
  auto seg = [&](int a, int b) {
    return vertical ? TRect(bar.Left, bar.Top + a, bar.Right, bar.Top + b)
                    : TRect(bar.Left + a, bar.Top, bar.Left + b, bar.Bottom);
  };
  bool thumb = !(info.rgstate[3] & STATE_SYSTEM_INVISIBLE) && info.xyThumbBottom > info.xyThumbTop;
  int t0 = thumb ? std::clamp(info.xyThumbTop, arrow, len - arrow) : len - arrow;
  int t1 = thumb ? std::clamp(info.xyThumbBottom, t0, len - arrow) : len - arrow;
  // The track before the thumb (towards the first arrow) and after it.
  TRect lower = seg(arrow, t0), upper = seg(t1, len - arrow);
  if (!lower.IsEmpty())
    s->DrawElement(dc, Bar(vertical ? tsLowerTrackVertNormal : tsLowerTrackHorzNormal, PartState(info, 2)), lower,
                   nullptr, dpi);
  if (!upper.IsEmpty())
    s->DrawElement(dc, Bar(vertical ? tsUpperTrackVertNormal : tsUpperTrackHorzNormal, PartState(info, 4)), upper,
                   nullptr, dpi);
  if (arrow > 0) {
    s->DrawElement(dc, Bar(vertical ? tsArrowBtnUpNormal : tsArrowBtnLeftNormal, PartState(info, 1)), seg(0, arrow),
                   nullptr, dpi);
    s->DrawElement(dc, Bar(vertical ? tsArrowBtnDownNormal : tsArrowBtnRightNormal, PartState(info, 5)),
                   seg(len - arrow, len), nullptr, dpi);
  }
  if (thumb && t1 > t0) {
    TRect tr = seg(t0, t1);
    int state = PartState(info, 3);
    // A thumb narrower than the bar (a style's inset or rounded thumb) shows the track beside it.
    s->DrawElement(dc, Bar(vertical ? tsUpperTrackVertNormal : tsUpperTrackHorzNormal, PartState(info, 4)), tr,
                   nullptr, dpi);
    s->DrawElement(dc, Bar(vertical ? tsThumbBtnVertNormal : tsThumbBtnHorzNormal, state), tr, nullptr, dpi);
    int cross = vertical ? bar.Width() : bar.Height();
    if (t1 - t0 >= cross)
      s->DrawElement(dc, Bar(vertical ? tsGripperVertNormal : tsGripperHorzNormal, state), tr, nullptr, dpi);
  }
}

void DrawStyledScrollBars(HDC dc, HWND hwnd, TCustomStyleServices* s) {
  if (!dc || !s || !IsWindow(hwnd)) return;
  int dpi = int(GetDpiForWindow(hwnd));
  TRect wr;
  GetWindowRect(hwnd, &wr);
  TRect bars[2];
  const LONG ids[2] = {OBJID_VSCROLL, OBJID_HSCROLL};
  for (int i = 0; i < 2; ++i) {
    SCROLLBARINFO sbi;
    if (!GetScrollBarInfo(hwnd, ids[i], &sbi) || (sbi.rgstate[0] & STATE_SYSTEM_INVISIBLE)) continue;
    bars[i] = sbi.rcScrollBar.Offsetted(-wr.Left, -wr.Top);
    DrawStyledScrollBar(dc, s, bars[i], sbi, i == 0, dpi);
  }
  if (!bars[0].IsEmpty() && !bars[1].IsEmpty()) {
    TRect corner(bars[0].Left, bars[1].Top, bars[0].Right, bars[1].Bottom);
    DWORD style = DWORD(GetWindowLongW(hwnd, GWL_STYLE));
    DWORD ex = DWORD(GetWindowLongW(hwnd, GWL_EXSTYLE));
    // The size grip only where the corner is the window's sizing corner.
    bool grip = (style & WS_THICKFRAME) && !(style & WS_MAXIMIZE);
    auto d = grip ? GetElementDetails((ex & WS_EX_LEFTSCROLLBAR) ? tsSizeBoxLeftAlign : tsSizeBoxRightAlign)
                  : GetElementDetails(tsUpperTrackVertNormal);
    s->DrawElement(dc, d, corner, nullptr, dpi);
  }
}

// ---- the frame of a window -------------------------------------------------------------------

const LRESULT StyledCaptionButtonCodes[StyledCaptionButtonCount] = {HTCLOSE, HTMAXBUTTON, HTMINBUTTON, HTHELP};

int StyledCaptionButtonOf(LRESULT hit) {
  for (int b = 0; b < StyledCaptionButtonCount; ++b)
    if (StyledCaptionButtonCodes[b] == hit) return b;
  return -1;
}

bool HasStyledWindowFrame(HWND h) {
  DWORD style = DWORD(GetWindowLongW(h, GWL_STYLE));
  if (style & WS_CHILD) return false;
  return (style & WS_CAPTION) == WS_CAPTION || (style & WS_THICKFRAME);
}

TStyledFrameInfo StyledWindowFrameInfo(HWND h, bool active, LRESULT hot, LRESULT pressed) {
  DWORD style = DWORD(GetWindowLongW(h, GWL_STYLE)), ex = DWORD(GetWindowLongW(h, GWL_EXSTYLE));
  TStyledFrameInfo f;
  TRect wr;
  GetWindowRect(h, &wr);
  f.Size = wr.Size();
  f.Caption = GetWindowText(h);
  f.HasCaption = (style & WS_CAPTION) == WS_CAPTION;
  f.ToolWindow = (ex & WS_EX_TOOLWINDOW) != 0;
  f.Active = active;
  f.Maximized = (style & WS_MAXIMIZE) != 0;
  f.Sizeable = (style & WS_THICKFRAME) != 0;
  f.Dpi = int(GetDpiForWindow(h));
  bool sys = (style & WS_SYSMENU) != 0;
  // Dialogs and tool windows show no icon.
  f.ShowIcon = sys && !(ex & WS_EX_DLGMODALFRAME) && !f.ToolWindow;
  f.Icon = reinterpret_cast<HICON>(SendMessageW(h, WM_GETICON, ICON_SMALL, 0));
  if (!f.Icon) f.Icon = reinterpret_cast<HICON>(SendMessageW(h, WM_GETICON, ICON_BIG, 0));
  if (!f.Icon) f.Icon = reinterpret_cast<HICON>(GetClassLongPtrW(h, GCLP_HICONSM));
  bool minmax = (style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX)) != 0;
  f.Buttons[scbClose] = sys;
  f.Buttons[scbMax] = f.Buttons[scbMin] = sys && minmax && !f.ToolWindow;
  f.Buttons[scbHelp] = sys && (ex & WS_EX_CONTEXTHELP);
  bool enabled[StyledCaptionButtonCount] = {!(GetClassLongPtrW(h, GCL_STYLE) & CS_NOCLOSE),
                                            (style & WS_MAXIMIZEBOX) != 0, (style & WS_MINIMIZEBOX) != 0, true};
  for (int b = 0; b < StyledCaptionButtonCount; ++b) {
    LRESULT code = StyledCaptionButtonCodes[b];
    if (!enabled[b]) f.States[b] = sbsDisabled;
    else if (pressed == code && hot == code) f.States[b] = sbsPressed;
    else if (hot == code) f.States[b] = sbsHot;
  }
  return f;
}

LRESULT StyledWindowHitTest(HWND h, TCustomStyleServices* style, const TStyledFrameInfo& info, TPoint screen) {
  TRect wr;
  GetWindowRect(h, &wr);
  LRESULT hit = StyledFrameHitTest(style, info, screen - wr.TopLeft());
  if (hit != HTCLIENT) return hit;
  // Inside the frame: the scroll bars, then the client area.
  const LONG ids[2] = {OBJID_VSCROLL, OBJID_HSCROLL};
  TRect bars[2];
  for (int i = 0; i < 2; ++i) {
    SCROLLBARINFO sbi;
    if (GetScrollBarInfo(h, ids[i], &sbi) && !(sbi.rgstate[0] & STATE_SYSTEM_INVISIBLE)) bars[i] = sbi.rcScrollBar;
    if (bars[i].Contains(screen)) return i == 0 ? HTVSCROLL : HTHSCROLL;
  }
  if (!bars[0].IsEmpty() && !bars[1].IsEmpty() &&
      TRect(bars[0].Left, bars[1].Top, bars[0].Right, bars[1].Bottom).Contains(screen))
    return (GetWindowLongW(h, GWL_STYLE) & WS_THICKFRAME) ? HTBOTTOMRIGHT : HTSIZE;
  return HTCLIENT;
}

void StyledWindowCalcClientRect(HWND h, TCustomStyleServices* s, TRect& r) {
  DWORD style = DWORD(GetWindowLongW(h, GWL_STYLE)), ex = DWORD(GetWindowLongW(h, GWL_EXSTYLE));
  UINT dpi = GetDpiForWindow(h);
  TStyledFrameMetrics m = GetStyledFrameMetrics(s, (ex & WS_EX_TOOLWINDOW) != 0,
                                                (style & WS_CAPTION) == WS_CAPTION, int(dpi));
  r.Left += m.Left;
  r.Top += m.Top;
  r.Right -= m.Right;
  r.Bottom -= m.Bottom;
  int cxv = GetSystemMetricsForDpi(SM_CXVSCROLL, dpi), cyh = GetSystemMetricsForDpi(SM_CYHSCROLL, dpi);
  if ((style & WS_VSCROLL) && r.Width() >= cxv) {
    if (ex & WS_EX_LEFTSCROLLBAR) r.Left += cxv;
    else r.Right -= cxv;
  }
  if ((style & WS_HSCROLL) && r.Height() >= cyh) r.Bottom -= cyh;
  if (r.Right < r.Left) r.Right = r.Left;
  if (r.Bottom < r.Top) r.Bottom = r.Top;
}

}  // namespace vcl
