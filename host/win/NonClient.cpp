// Non-client areas: hit testing, the default frame and caption (the unstyled system look),
// borders of child windows, caption buttons, system commands and the move/size tracking.
#include <algorithm>

#include "host/win/WinInternal.h"

namespace vcl {

namespace {

// Colours of the system look.
constexpr COLORREF kCaptionBack = RGB(255, 255, 255);
constexpr COLORREF kCaptionText = RGB(0, 0, 0);
constexpr COLORREF kCaptionTextInactive = RGB(153, 153, 153);
constexpr COLORREF kBorderActive = RGB(112, 112, 112);
constexpr COLORREF kBorderInactive = RGB(170, 170, 170);
constexpr COLORREF kButtonHot = RGB(229, 229, 229);
constexpr COLORREF kButtonPressed = RGB(202, 202, 202);
constexpr COLORREF kCloseHot = RGB(232, 17, 35);
constexpr COLORREF kClosePressed = RGB(241, 112, 122);

bool HasCaption(const WindowObject* w) { return (w->Style & WS_CAPTION) == WS_CAPTION; }

}  // namespace

CaptionLayout GetCaptionLayout(const WindowObject* w) {
  CaptionLayout l;
  if (!HasCaption(w)) return l;
  UINT dpi = w->Dpi;
  TRect in = NonClientInsets(w->Style & ~(WS_VSCROLL | WS_HSCROLL), w->ExStyle & ~(WS_EX_CLIENTEDGE | WS_EX_STATICEDGE), dpi, false);
  int frame = in.Left;
  bool tool = (w->ExStyle & WS_EX_TOOLWINDOW) != 0;
  int ch = GetSystemMetricsForDpi(tool ? SM_CYSMCAPTION : SM_CYCAPTION, dpi);
  int width = w->WindowRect.Width();
  l.Caption = TRect(frame, frame, width - frame, frame + ch);
  int bw = GetSystemMetricsForDpi(tool ? SM_CXSMSIZE : SM_CXSIZE, dpi);
  int right = l.Caption.Right;
  if (w->Style & WS_SYSMENU) {
    l.Close = TRect(right - bw, l.Caption.Top, right, l.Caption.Bottom);
    right -= bw;
    if (!tool && (w->Style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX))) {
      l.Max = TRect(right - bw, l.Caption.Top, right, l.Caption.Bottom);
      right -= bw;
      l.Min = TRect(right - bw, l.Caption.Top, right, l.Caption.Bottom);
      right -= bw;
      l.MinEnabled = (w->Style & WS_MINIMIZEBOX) != 0;
      l.MaxEnabled = (w->Style & WS_MAXIMIZEBOX) != 0;
    } else if (!tool && (w->ExStyle & WS_EX_CONTEXTHELP)) {
      l.Help = TRect(right - bw, l.Caption.Top, right, l.Caption.Bottom);
      right -= bw;
    }
    if (!tool && !(w->ExStyle & WS_EX_DLGMODALFRAME)) {
      int icon = GetSystemMetricsForDpi(SM_CXSMICON, dpi);
      int pad = MulDiv(8, int(dpi), 96);
      int top = l.Caption.Top + (ch - icon) / 2;
      l.Icon = TRect::FromSize(l.Caption.Left + pad, top, icon, icon);
      l.SysMenu = TRect(l.Caption.Left, l.Caption.Top, l.Icon.Right + pad / 2, l.Caption.Bottom);
    }
  }
  int textLeft = l.SysMenu.IsEmpty() ? l.Caption.Left + MulDiv(8, int(dpi), 96)
                                     : l.SysMenu.Right + MulDiv(2, int(dpi), 96);
  l.Text = TRect(textLeft, l.Caption.Top, std::max(textLeft, right), l.Caption.Bottom);
  return l;
}

// ---- Hit testing ------------------------------------------------------------------------------------

LRESULT DefNcHitTest(WindowObject* w, TPoint screen) {
  if (w == Wm().Desktop) return HTCLIENT;
  TRect wr = ScreenWindowRect(w);
  if (!wr.Contains(screen)) return HTNOWHERE;
  if (w->Style & WS_MINIMIZE) return HTCAPTION;
  TPoint p = screen - wr.TopLeft();  // window coordinates
  TRect client = ClientRectInWindow(w);
  if (client.Contains(p)) return HTCLIENT;
  int W = wr.Width(), H = wr.Height();

  // Frame.
  TRect in = NonClientInsets(w->Style & ~(WS_VSCROLL | WS_HSCROLL), w->ExStyle & ~(WS_EX_CLIENTEDGE | WS_EX_STATICEDGE), w->Dpi, false);
  int frame = in.Left;
  bool thick = (w->Style & WS_THICKFRAME) && !(w->Style & WS_MAXIMIZE);
  if (frame > 0 && (p.X < frame || p.Y < frame || p.X >= W - frame || p.Y >= H - frame)) {
    if (!thick) return HTBORDER;
    int corner = frame + GetSystemMetricsForDpi(SM_CXSMICON, w->Dpi);
    bool left = p.X < corner, right = p.X >= W - corner;
    bool top = p.Y < corner, bottom = p.Y >= H - corner;
    if (p.Y < frame) return left ? HTTOPLEFT : right ? HTTOPRIGHT : HTTOP;
    if (p.Y >= H - frame) return left ? HTBOTTOMLEFT : right ? HTBOTTOMRIGHT : HTBOTTOM;
    if (p.X < frame) return top ? HTTOPLEFT : bottom ? HTBOTTOMLEFT : HTLEFT;
    return top ? HTTOPRIGHT : bottom ? HTBOTTOMRIGHT : HTRIGHT;
  }

  // Caption.
  CaptionLayout l = GetCaptionLayout(w);
  if (!l.Caption.IsEmpty() && l.Caption.Contains(p)) {
    if (l.Close.Contains(p)) return HTCLOSE;
    if (l.Max.Contains(p)) return HTMAXBUTTON;
    if (l.Min.Contains(p)) return HTMINBUTTON;
    if (l.Help.Contains(p)) return HTHELP;
    if (l.SysMenu.Contains(p)) return HTSYSMENU;
    return HTCAPTION;
  }
  if (IsTopLevel(w) && w->Menu && p.Y < client.Top && p.Y >= l.Caption.Bottom) return HTMENU;

  // Scroll bars and the size box between them.
  TRect vs = ScrollBarRect(w, SB_VERT), hs = ScrollBarRect(w, SB_HORZ);
  if (!vs.IsEmpty() && vs.Contains(p)) return HTVSCROLL;
  if (!hs.IsEmpty() && hs.Contains(p)) return HTHSCROLL;
  if (!vs.IsEmpty() && !hs.IsEmpty() && p.Y >= hs.Top && p.Y < hs.Bottom) {
    bool leftBar = (w->ExStyle & WS_EX_LEFTSCROLLBAR) != 0;
    bool inBox = leftBar ? (p.X >= vs.Left && p.X < vs.Right) : (p.X >= vs.Left && p.X < vs.Right);
    if (inBox) return (w->Style & WS_THICKFRAME) ? (leftBar ? HTBOTTOMLEFT : HTBOTTOMRIGHT) : HTSIZE;
  }
  return HTBORDER;
}

// ---- Painting -------------------------------------------------------------------------------------

namespace {

void Fill(HDC dc, const TRect& r, COLORREF c) { WmFillSolid(dc, r, c); }

void FrameLine(HDC dc, const TRect& r, COLORREF c, int t) {
  Fill(dc, TRect(r.Left, r.Top, r.Right, r.Top + t), c);
  Fill(dc, TRect(r.Left, r.Bottom - t, r.Right, r.Bottom), c);
  Fill(dc, TRect(r.Left, r.Top + t, r.Left + t, r.Bottom - t), c);
  Fill(dc, TRect(r.Right - t, r.Top + t, r.Right, r.Bottom - t), c);
}

// A classic two-tone edge: top/left in one colour, bottom/right in the other.
void Edge(HDC dc, TRect& r, COLORREF topLeft, COLORREF bottomRight) {
  Fill(dc, TRect(r.Left, r.Top, r.Right - 1, r.Top + 1), topLeft);
  Fill(dc, TRect(r.Left, r.Top + 1, r.Left + 1, r.Bottom - 1), topLeft);
  Fill(dc, TRect(r.Left, r.Bottom - 1, r.Right, r.Bottom), bottomRight);
  Fill(dc, TRect(r.Right - 1, r.Top, r.Right, r.Bottom - 1), bottomRight);
  r.Inflate(-1, -1);
}

void SunkenEdge(HDC dc, TRect& r) {
  Edge(dc, r, GetSysColor(COLOR_BTNSHADOW), GetSysColor(COLOR_BTNHIGHLIGHT));
  Edge(dc, r, GetSysColor(COLOR_3DDKSHADOW), GetSysColor(COLOR_3DLIGHT));
}

void RaisedEdge(HDC dc, TRect& r) {
  Edge(dc, r, GetSysColor(COLOR_3DLIGHT), GetSysColor(COLOR_3DDKSHADOW));
  Edge(dc, r, GetSysColor(COLOR_BTNHIGHLIGHT), GetSysColor(COLOR_BTNSHADOW));
}

// Caption button glyphs, drawn as pixel-exact 1-pixel strokes.
void GlyphLine(HDC dc, int x0, int y0, int x1, int y1, COLORREF c, int t) {
  int n = std::max(std::abs(x1 - x0), std::abs(y1 - y0));
  for (int i = 0; i <= n; ++i) {
    int x = x0 + (n ? (x1 - x0) * i / n : 0), y = y0 + (n ? (y1 - y0) * i / n : 0);
    Fill(dc, TRect::FromSize(x, y, t, t), c);
  }
}

void DrawCaptionButton(HDC dc, const TRect& r, LRESULT kind, bool hot, bool pressed, bool active,
                       bool enabled, bool maximized, UINT dpi) {
  bool close = kind == HTCLOSE;
  COLORREF back = kCaptionBack, glyph = active ? kCaptionText : kCaptionTextInactive;
  if (enabled && pressed) {
    back = close ? kClosePressed : kButtonPressed;
    if (close) glyph = RGB(255, 255, 255);
  } else if (enabled && hot) {
    back = close ? kCloseHot : kButtonHot;
    if (close) glyph = RGB(255, 255, 255);
  }
  if (!enabled) glyph = RGB(204, 204, 204);
  Fill(dc, r, back);
  int g = MulDiv(10, int(dpi), 96);
  int t = std::max(1, int(dpi) / 96);
  TPoint c = r.CenterPoint();
  int x = c.X - g / 2, y = c.Y - g / 2;
  switch (kind) {
    case HTCLOSE:
      GlyphLine(dc, x, y, x + g - t, y + g - t, glyph, t);
      GlyphLine(dc, x + g - t, y, x, y + g - t, glyph, t);
      break;
    case HTMAXBUTTON:
      if (maximized) {
        int s = g - 2 * t;
        FrameLine(dc, TRect::FromSize(x, y + 2 * t, s, s), glyph, t);
        Fill(dc, TRect(x + 2 * t, y, x + g, y + t), glyph);
        Fill(dc, TRect(x + g - t, y, x + g, y + s), glyph);
      } else {
        FrameLine(dc, TRect::FromSize(x, y, g, g), glyph, t);
      }
      break;
    case HTMINBUTTON: Fill(dc, TRect(x, c.Y, x + g, c.Y + t), glyph); break;
    case HTHELP: {
      // A question mark from strokes.
      Fill(dc, TRect(x + t, y, x + g - t, y + t), glyph);
      Fill(dc, TRect(x + g - 2 * t, y + t, x + g - t, y + g / 2), glyph);
      Fill(dc, TRect(c.X - t / 2, y + g / 2, c.X - t / 2 + t, y + g - 3 * t), glyph);
      Fill(dc, TRect(c.X - t / 2, y + g - t, c.X - t / 2 + t, y + g), glyph);
      break;
    }
    default: break;
  }
}

void DrawCaption(WindowObject* w, HDC dc, const TRect& whole) {
  CaptionLayout l = GetCaptionLayout(w);
  if (l.Caption.IsEmpty()) return;
  bool active = w->NcActive;
  Fill(dc, l.Caption, kCaptionBack);
  if (!l.Icon.IsEmpty()) DrawWindowIcon(w, dc, l.Icon);
  if (!w->Text.empty()) DrawCaptionText(dc, l.Text, w->Text, active ? kCaptionText : kCaptionTextInactive, w->Dpi);
  bool maximized = (w->Style & WS_MAXIMIZE) != 0;
  auto button = [&](const TRect& r, LRESULT kind, bool enabled) {
    if (r.IsEmpty()) return;
    DrawCaptionButton(dc, r, kind, w->HotNcButton == kind, w->PressedNcButton == kind, active,
                      enabled, maximized, w->Dpi);
  };
  button(l.Close, HTCLOSE, !(w->Class->Style & CS_NOCLOSE));
  button(l.Max, HTMAXBUTTON, l.MaxEnabled);
  button(l.Min, HTMINBUTTON, l.MinEnabled);
  button(l.Help, HTHELP, true);
  (void)whole;
}

}  // namespace

void DrawNonClient(WindowObject* w, HDC dc) {
  if (w == Wm().Desktop) return;
  TRect whole(0, 0, w->WindowRect.Width(), w->WindowRect.Height());
  TRect client = ClientRectInWindow(w);
  if (client == whole) return;
  int saved = SaveDC(dc);
  ExcludeClipRect(dc, client.Left, client.Top, client.Right, client.Bottom);
  TRect r = whole;
  DWORD st = w->Style, ex = w->ExStyle;
  UINT dpi = w->Dpi;
  bool top = IsTopLevel(w);
  TRect frameIn = NonClientInsets(st & ~(WS_VSCROLL | WS_HSCROLL | WS_CAPTION), ex & WS_EX_DLGMODALFRAME, dpi, false);
  if (HasCaption(w) || (top && (st & WS_THICKFRAME))) {
    // The system look: a flat frame in the caption's colour with a thin outer line.
    TRect in = NonClientInsets(st & ~(WS_VSCROLL | WS_HSCROLL), ex & ~(WS_EX_CLIENTEDGE | WS_EX_STATICEDGE), dpi, false);
    Fill(dc, TRect(r.Left, r.Top, r.Right, r.Top + in.Top), kCaptionBack);
    Fill(dc, TRect(r.Left, r.Bottom - in.Bottom, r.Right, r.Bottom), kCaptionBack);
    Fill(dc, TRect(r.Left, r.Top + in.Top, r.Left + in.Left, r.Bottom - in.Bottom), kCaptionBack);
    Fill(dc, TRect(r.Right - in.Right, r.Top + in.Top, r.Right, r.Bottom - in.Bottom), kCaptionBack);
    FrameLine(dc, r, w->NcActive ? kBorderActive : kBorderInactive, GetSystemMetricsForDpi(SM_CXBORDER, dpi));
    DrawCaption(w, dc, whole);
    r = TRect(r.Left + in.Left, r.Top + in.Top, r.Right - in.Right, r.Bottom - in.Bottom);
  } else if (st & WS_THICKFRAME) {
    RaisedEdge(dc, r);
    TRect inner = whole;
    inner.Inflate(-frameIn.Left, -frameIn.Top);
    Fill(dc, TRect(r.Left, r.Top, r.Right, inner.Top), GetSysColor(COLOR_BTNFACE));
    Fill(dc, TRect(r.Left, inner.Bottom, r.Right, r.Bottom), GetSysColor(COLOR_BTNFACE));
    Fill(dc, TRect(r.Left, inner.Top, inner.Left, inner.Bottom), GetSysColor(COLOR_BTNFACE));
    Fill(dc, TRect(inner.Right, inner.Top, r.Right, inner.Bottom), GetSysColor(COLOR_BTNFACE));
    r = inner;
  } else if ((st & WS_DLGFRAME) || (ex & WS_EX_DLGMODALFRAME)) {
    RaisedEdge(dc, r);
    TRect inner = whole;
    inner.Inflate(-frameIn.Left, -frameIn.Top);
    Fill(dc, TRect(r.Left, r.Top, r.Right, inner.Top), GetSysColor(COLOR_BTNFACE));
    Fill(dc, TRect(r.Left, inner.Bottom, r.Right, r.Bottom), GetSysColor(COLOR_BTNFACE));
    Fill(dc, TRect(r.Left, inner.Top, inner.Left, inner.Bottom), GetSysColor(COLOR_BTNFACE));
    Fill(dc, TRect(inner.Right, inner.Top, r.Right, inner.Bottom), GetSysColor(COLOR_BTNFACE));
    r = inner;
  } else if (st & WS_BORDER) {
    int b = GetSystemMetricsForDpi(SM_CXBORDER, dpi);
    FrameLine(dc, r, GetSysColor(COLOR_WINDOWFRAME), b);
    r.Inflate(-b, -b);
  }
  if (ex & WS_EX_CLIENTEDGE) {
    SunkenEdge(dc, r);
  }
  if (ex & WS_EX_STATICEDGE) Edge(dc, r, GetSysColor(COLOR_BTNSHADOW), GetSysColor(COLOR_BTNHIGHLIGHT));
  TRect vs = ScrollBarRect(w, SB_VERT), hs = ScrollBarRect(w, SB_HORZ);
  if (!vs.IsEmpty()) DrawScrollBar(w, dc, SB_VERT, vs, true);
  if (!hs.IsEmpty()) DrawScrollBar(w, dc, SB_HORZ, hs, false);
  if (!vs.IsEmpty() && !hs.IsEmpty())
    Fill(dc, TRect(vs.Left, hs.Top, vs.Right, hs.Bottom), GetSysColor(COLOR_BTNFACE));
  RestoreDC(dc, saved);
}

void DefNcPaint(WindowObject* w, HRGN clip) {
  if (!IsVisibleTree(w)) return;
  HDC dc;
  if (reinterpret_cast<std::uintptr_t>(clip) > 1) {
    HRGN copy = CreateRectRgn(0, 0, 0, 0);
    CombineRgn(copy, clip, nullptr, RGN_COPY);
    dc = GetDCEx(w, copy, DCX_WINDOW | DCX_INTERSECTRGN | DCX_USESTYLE);
  } else {
    dc = GetWindowDC(w);
  }
  // A repaint of one scroll bar (scrolling, hot tracking) draws only that bar.
  TRect box;
  if (reinterpret_cast<std::uintptr_t>(clip) > 1 && GetRgnBox(clip, &box) != NULLREGION) {
    TPoint o = WindowOrigin(w);
    box.Offset(-o.X, -o.Y);
    for (int bar : {SB_VERT, SB_HORZ}) {
      TRect r = ScrollBarRect(w, bar);
      if (!r.IsEmpty() && TRect::Intersect(box, r) == box) {
        DrawScrollBar(w, dc, bar, r, bar == SB_VERT);
        ReleaseDC(w, dc);
        return;
      }
    }
  }
  DrawNonClient(w, dc);
  ReleaseDC(w, dc);
}

namespace {

void InvalidateFrame(WindowObject* w, bool now) {
  if (!IsVisibleTree(w)) return;
  TRect whole(0, 0, w->WindowRect.Width(), w->WindowRect.Height());
  TRect client = ClientRectInWindow(w);
  cairo_rectangle_int_t all{0, 0, whole.Width(), whole.Height()};
  cairo_region_t* nc = cairo_region_create_rectangle(&all);
  cairo_rectangle_int_t c{client.Left, client.Top, client.Width(), client.Height()};
  cairo_region_subtract_rectangle(nc, &c);
  RedrawWindowInternal(w, nc, RDW_INVALIDATE | RDW_FRAME | RDW_NOCHILDREN | (now ? RDW_ERASENOW : 0));
  cairo_region_destroy(nc);
}

}  // namespace

void RedrawFrameNow(WindowObject* w) { InvalidateFrame(w, true); }

void DefNcActivate(WindowObject* w, bool active) {
  if (w->NcActive == active) return;
  w->NcActive = active;
  if (!HasCaption(w) && !(IsTopLevel(w) && (w->Style & WS_THICKFRAME))) return;
  // A frame already waiting for WM_NCPAINT (a window being shown) is drawn then, once.
  InvalidateFrame(w, !w->FrameNeeded);
}

// ---- Caption buttons ---------------------------------------------------------------------------------

namespace {

TRect ButtonRect(const CaptionLayout& l, LRESULT hit) {
  switch (hit) {
    case HTCLOSE: return l.Close;
    case HTMAXBUTTON: return l.Max;
    case HTMINBUTTON: return l.Min;
    case HTHELP: return l.Help;
    default: return {};
  }
}

bool ButtonEnabled(const WindowObject* w, const CaptionLayout& l, LRESULT hit) {
  switch (hit) {
    case HTCLOSE: return !(w->Class->Style & CS_NOCLOSE);
    case HTMAXBUTTON: return l.MaxEnabled;
    case HTMINBUTTON: return l.MinEnabled;
    case HTHELP: return true;
    default: return false;
  }
}

struct CaptionButtonTracker final : Tracker {
  LRESULT Button = 0;
  bool OnMessage(const MSG& msg) override {
    WindowObject* w = Live(Hwnd);
    if (!w) return false;
    switch (TrackedMessage(msg.message)) {
      case WM_MOUSEMOVE: {
        CaptionLayout l = GetCaptionLayout(w);
        TPoint p = msg.pt - WindowOrigin(w);
        int pressed = ButtonRect(l, Button).Contains(p) ? int(Button) : 0;
        if (pressed != w->PressedNcButton) {
          w->PressedNcButton = pressed;
          w->HotNcButton = pressed;
          RedrawFrameNow(w);
        }
        return true;
      }
      case WM_LBUTTONUP: {
        bool inside = w->PressedNcButton == Button;
        LRESULT b = Button;
        HWND h = Hwnd;
        Finish();  // deletes this
        if (!inside || !Live(h)) return true;
        WPARAM cmd = b == HTCLOSE ? SC_CLOSE
                     : b == HTMINBUTTON ? SC_MINIMIZE
                     : b == HTHELP ? SC_CONTEXTHELP
                     : (w->Style & WS_MAXIMIZE) ? SC_RESTORE : SC_MAXIMIZE;
        SendMessageW(w, WM_SYSCOMMAND, cmd, PointToLParam(msg.pt));
        return true;
      }
      case WM_KEYDOWN:
        if (msg.wParam == VK_ESCAPE) {
          Finish();
          return true;
        }
        return false;
      default:
        return (msg.message >= WM_MOUSEFIRST && msg.message <= WM_MOUSELAST) ||
               (msg.message >= WM_NCMOUSEMOVE && msg.message <= WM_NCXBUTTONDBLCLK);
    }
  }
  void Finish() {
    HWND h = Hwnd;
    Wm().ActiveTracker.reset();  // deletes this
    if (WindowObject* w = Live(h)) {
      w->PressedNcButton = 0;
      w->HotNcButton = 0;
      if (GetCapture() == w) ReleaseCapture();
      if (Live(h)) RedrawFrameNow(w);
    }
  }
  void Cancel() override { Finish(); }
};

}  // namespace

LRESULT DefNcMouseMove(WindowObject* w, WPARAM hit, LPARAM lp) {
  int bar = LRESULT(hit) == HTVSCROLL ? SB_VERT : LRESULT(hit) == HTHSCROLL ? SB_HORZ : -1;
  if (bar >= 0 || w->ScrollHot) {
    ScrollHotTrack(w, bar, LParamToPoint(lp));
    if (bar >= 0) {
      TRACKMOUSEEVENT tme;
      tme.dwFlags = TME_LEAVE | TME_NONCLIENT;
      tme.hwndTrack = w;
      TrackMouseEvent(&tme);
    }
  }
  if (!HasCaption(w)) return 0;
  CaptionLayout l = GetCaptionLayout(w);
  int hot = (!ButtonRect(l, LRESULT(hit)).IsEmpty() && ButtonEnabled(w, l, LRESULT(hit))) ? int(hit) : 0;
  if (hot != w->HotNcButton) {
    w->HotNcButton = hot;
    RedrawFrameNow(w);
  }
  if (hot) {
    TRACKMOUSEEVENT tme;
    tme.dwFlags = TME_LEAVE | TME_NONCLIENT;
    tme.hwndTrack = w;
    TrackMouseEvent(&tme);
  }
  return 0;
}

void DefNcMouseLeave(WindowObject* w) {
  if (w->ScrollHot) ScrollHotTrack(w, -1, {});
  if (w->HotNcButton && !w->PressedNcButton) {
    w->HotNcButton = 0;
    RedrawFrameNow(w);
  }
}

LRESULT DefNcLButtonDown(WindowObject* w, WPARAM hit, LPARAM lp) {
  WinState& s = Wm();
  switch (LRESULT(hit)) {
    case HTCAPTION: return SendMessageW(w, WM_SYSCOMMAND, SC_MOVE + HTCAPTION, lp);
    case HTLEFT:
    case HTRIGHT:
    case HTTOP:
    case HTTOPLEFT:
    case HTTOPRIGHT:
    case HTBOTTOM:
    case HTBOTTOMLEFT:
    case HTBOTTOMRIGHT: return SendMessageW(w, WM_SYSCOMMAND, SC_SIZE + (hit - 9), lp);
    case HTVSCROLL: return SendMessageW(w, WM_SYSCOMMAND, SC_VSCROLL + hit, lp);
    case HTHSCROLL: return SendMessageW(w, WM_SYSCOMMAND, SC_HSCROLL + hit, lp);
    case HTMINBUTTON:
    case HTMAXBUTTON:
    case HTCLOSE:
    case HTHELP: {
      CaptionLayout l = GetCaptionLayout(w);
      if (!ButtonEnabled(w, l, LRESULT(hit)) || ButtonRect(l, LRESULT(hit)).IsEmpty()) return 0;
      CancelTracking();
      auto t = std::make_unique<CaptionButtonTracker>();
      t->Hwnd = w;
      t->Button = LRESULT(hit);
      s.ActiveTracker = std::move(t);
      w->PressedNcButton = int(hit);
      w->HotNcButton = int(hit);
      SetCapture(w);
      RedrawFrameNow(w);
      return 0;
    }
    default: return 0;
  }
}

LRESULT DefNcLButtonDblClk(WindowObject* w, WPARAM hit, LPARAM lp) {
  switch (LRESULT(hit)) {
    case HTCAPTION:
      if ((w->Style & WS_MAXIMIZEBOX) && IsTopLevel(w))
        SendMessageW(w, WM_SYSCOMMAND, (w->Style & (WS_MAXIMIZE | WS_MINIMIZE)) ? SC_RESTORE : SC_MAXIMIZE, lp);
      return 0;
    case HTSYSMENU:
      if (!(w->Class->Style & CS_NOCLOSE)) SendMessageW(w, WM_SYSCOMMAND, SC_CLOSE, lp);
      return 0;
    case HTVSCROLL:
    case HTHSCROLL:
    case HTMINBUTTON:
    case HTMAXBUTTON:
    case HTCLOSE:
    case HTHELP: return DefNcLButtonDown(w, hit, lp);  // a quick second press still counts
    default: return 0;
  }
}

// ---- Moving and sizing --------------------------------------------------------------------------------

namespace {

struct MoveSizeTracker final : Tracker {
  int Edge = 0;  // 0: move; WMSZ_xxx: size
  TPoint Start;
  TRect Orig;    // parent coordinates
  MINMAXINFO Mmi;

  bool OnMessage(const MSG& msg) override {
    WindowObject* w = Live(Hwnd);
    if (!w) return false;
    if (GetCapture() != w) {
      Finish(false);
      return false;
    }
    switch (TrackedMessage(msg.message)) {
      case WM_MOUSEMOVE: Track(w, msg.pt); return true;
      case WM_LBUTTONUP:
        Track(w, msg.pt);
        Finish(true);
        return true;
      case WM_KEYDOWN:
      case WM_SYSKEYDOWN:
        if (msg.wParam == VK_ESCAPE) {
          Finish(false);
          return true;
        }
        if (msg.wParam == VK_RETURN) {
          Finish(true);
          return true;
        }
        return true;
      case WM_KEYUP:
      case WM_SYSKEYUP:
      case WM_CHAR:
      case WM_SYSCHAR: return true;
      default:
        return (msg.message >= WM_MOUSEFIRST && msg.message <= WM_MOUSELAST) ||
               (msg.message >= WM_NCMOUSEMOVE && msg.message <= WM_NCXBUTTONDBLCLK);
    }
  }

  void Track(WindowObject* w, TPoint pt) {
    int dx = pt.X - Start.X, dy = pt.Y - Start.Y;
    TRect r = Orig;
    TPoint origin = IsTopLevel(w) ? TPoint{} : ClientOrigin(w->Parent);
    if (Edge == 0) {
      r.Offset(dx, dy);
      TRect sr = r.Offsetted(origin.X, origin.Y);
      SendMessageW(w, WM_MOVING, 0, reinterpret_cast<LPARAM>(&sr));
      if (!Live(w)) return;
      r = sr.Offsetted(-origin.X, -origin.Y);
      SetWindowPosInternal(w, nullptr, r.Left, r.Top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
      return;
    }
    bool left = Edge == WMSZ_LEFT || Edge == WMSZ_TOPLEFT || Edge == WMSZ_BOTTOMLEFT;
    bool right = Edge == WMSZ_RIGHT || Edge == WMSZ_TOPRIGHT || Edge == WMSZ_BOTTOMRIGHT;
    bool top = Edge == WMSZ_TOP || Edge == WMSZ_TOPLEFT || Edge == WMSZ_TOPRIGHT;
    bool bottom = Edge == WMSZ_BOTTOM || Edge == WMSZ_BOTTOMLEFT || Edge == WMSZ_BOTTOMRIGHT;
    auto clampW = [&](int v) { return std::clamp(v, Mmi.ptMinTrackSize.X, Mmi.ptMaxTrackSize.X); };
    auto clampH = [&](int v) { return std::clamp(v, Mmi.ptMinTrackSize.Y, Mmi.ptMaxTrackSize.Y); };
    if (left) r.Left = r.Right - clampW(Orig.Width() - dx);
    if (right) r.Right = r.Left + clampW(Orig.Width() + dx);
    if (top) r.Top = r.Bottom - clampH(Orig.Height() - dy);
    if (bottom) r.Bottom = r.Top + clampH(Orig.Height() + dy);
    TRect sr = r.Offsetted(origin.X, origin.Y);
    SendMessageW(w, WM_SIZING, WPARAM(Edge), reinterpret_cast<LPARAM>(&sr));
    if (!Live(w)) return;
    r = sr.Offsetted(-origin.X, -origin.Y);
    SetWindowPosInternal(w, nullptr, r.Left, r.Top, r.Width(), r.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
  }

  void Finish(bool accept) {
    HWND h = Hwnd;
    TRect orig = Orig;
    Wm().ActiveTracker.reset();  // deletes this
    WindowObject* w = Live(h);
    if (!w) return;
    if (!accept)
      SetWindowPosInternal(w, nullptr, orig.Left, orig.Top, orig.Width(), orig.Height(),
                           SWP_NOZORDER | SWP_NOACTIVATE);
    if (Live(w) && GetCapture() == w) ReleaseCapture();
    if (Live(w)) SendMessageW(w, WM_EXITSIZEMOVE, 0, 0);
  }
  void Cancel() override { Finish(false); }
};

void StartMoveSize(WindowObject* w, int edge, TPoint pt) {
  WinState& s = Wm();
  if (w->Style & (WS_MAXIMIZE | WS_MINIMIZE)) return;
  if (edge && !(w->Style & WS_THICKFRAME)) return;
  CancelTracking();
  auto t = std::make_unique<MoveSizeTracker>();
  t->Hwnd = w;
  t->Edge = edge;
  t->Start = pt;
  t->Orig = w->WindowRect;
  GetMinMaxInfo(w, &t->Mmi);
  if (!Live(w)) return;
  SendMessageW(w, WM_ENTERSIZEMOVE, 0, 0);
  if (!Live(w)) return;
  s.ActiveTracker = std::move(t);
  SetCapture(w);
}

}  // namespace

LRESULT DefSysCommand(WindowObject* w, WPARAM cmd, LPARAM lp) {
  if (w->Style & WS_DISABLED) return 0;  // a disabled window takes no commands (nor closes)
  WindowLock lock(w);
  switch (cmd & 0xFFF0) {
    case SC_MOVE: StartMoveSize(w, 0, LParamToPoint(lp)); return 0;
    case SC_SIZE: StartMoveSize(w, int(cmd & 0x0F), LParamToPoint(lp)); return 0;
    case SC_MINIMIZE: ShowWindow(w, SW_MINIMIZE); return 0;
    case SC_MAXIMIZE: ShowWindow(w, SW_MAXIMIZE); return 0;
    case SC_RESTORE:
      if (w->Style & (WS_MINIMIZE | WS_MAXIMIZE)) ShowWindow(w, SW_RESTORE);
      return 0;
    case SC_CLOSE:
      if (!(w->Class->Style & CS_NOCLOSE)) SendMessageW(w, WM_CLOSE, 0, 0);
      return 0;
    case SC_VSCROLL: StartScrollTracking(w, SB_VERT, LParamToPoint(lp)); return 0;
    case SC_HSCROLL: StartScrollTracking(w, SB_HORZ, LParamToPoint(lp)); return 0;
    default: return 0;
  }
}

void CancelTracking() {
  WinState& s = Wm();
  if (s.ActiveTracker) s.ActiveTracker->Cancel();
}

}  // namespace vcl
