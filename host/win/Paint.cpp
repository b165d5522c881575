// Painting: top-level back buffers and presents, update regions, window device contexts with
// visible regions, BeginPaint/EndPaint, RedrawWindow, scrolling and printing.
#include <algorithm>
#include <unordered_map>
#include <unordered_set>

#include "host/win/WinInternal.h"

namespace vcl {

namespace {

struct WindowDc {
  HWND Hwnd = nullptr;
  DWORD Flags = 0;
  cairo_region_t* ExtraClip = nullptr;  // surface coordinates (intersect) — owned
  bool Exclude = false;
  HRGN OwnedRgn = nullptr;              // GetDCEx region to delete at release
};

std::unordered_map<DcObject*, WindowDc>& Dcs() {
  static auto* m = new std::unordered_map<DcObject*, WindowDc>;
  return *m;
}

// Regions handed to WM_NCPAINT: the sender deletes them, so GetDCEx must not.
std::unordered_set<HRGN>& SystemRegions() {
  static auto* s = new std::unordered_set<HRGN>;
  return *s;
}

HWND gLockedWindow = nullptr;

cairo_rectangle_int_t ToCairo(const TRect& r) {
  return {r.Left, r.Top, std::max(0, r.Width()), std::max(0, r.Height())};
}

cairo_region_t* RectRgn(const TRect& r) {
  cairo_rectangle_int_t c{r.Left, r.Top, std::max(0, r.Width()), std::max(0, r.Height())};
  return cairo_region_create_rectangle(&c);
}

void IntersectRect(cairo_region_t* rgn, const TRect& r) {
  cairo_rectangle_int_t c{r.Left, r.Top, std::max(0, r.Width()), std::max(0, r.Height())};
  cairo_region_intersect_rectangle(rgn, &c);
}

void SubtractRect(cairo_region_t* rgn, const TRect& r) {
  if (r.IsEmpty()) return;
  cairo_rectangle_int_t c{r.Left, r.Top, r.Width(), r.Height()};
  cairo_region_subtract_rectangle(rgn, &c);
}

TRect Extents(const cairo_region_t* r) {
  if (!r || cairo_region_is_empty(r)) return {};
  cairo_rectangle_int_t e;
  cairo_region_get_extents(r, &e);
  return {e.x, e.y, e.x + e.width, e.y + e.height};
}

// Subtracts a window's shape (screen coordinates) from a region.
void SubtractWindowShape(cairo_region_t* rgn, const WindowObject* w) {
  TRect r = ScreenWindowRect(w);
  if (!w->WindowRgn) {
    SubtractRect(rgn, r);
    return;
  }
  cairo_region_t* shape = cairo_region_copy(w->WindowRgn);
  cairo_region_translate(shape, r.Left, r.Top);
  cairo_region_subtract(rgn, shape);
  cairo_region_destroy(shape);
}

void IntersectWindowShape(cairo_region_t* rgn, const WindowObject* w) {
  if (!w->WindowRgn) return;
  TRect r = ScreenWindowRect(w);
  cairo_region_t* shape = cairo_region_copy(w->WindowRgn);
  cairo_region_translate(shape, r.Left, r.Top);
  cairo_region_intersect(rgn, shape);
  cairo_region_destroy(shape);
}

bool InLockedTree(WindowObject* w) {
  WindowObject* l = Live(gLockedWindow);
  return l && (w == l || IsDescendant(l, w));
}

bool NeedsPaint(const WindowObject* w) {
  return (w->Update && !cairo_region_is_empty(w->Update)) || w->InternalPaint || w->FrameNeeded;
}

void MarkDirty(WindowObject* top, const cairo_region_t* surfaceRgn) {
  if (!top || !top->Surface || !surfaceRgn) return;
  if (!top->Surface->Dirty) top->Surface->Dirty = cairo_region_create();
  cairo_region_union(top->Surface->Dirty, surfaceRgn);
}

// Wraps the port's back buffer in a bitmap object that window DCs select.
BitmapObject* WrapBuffer(cairo_surface_t* s) {
  if (!s) return nullptr;
  auto* b = new BitmapObject;
  b->Width = cairo_image_surface_get_width(s);
  b->Height = cairo_image_surface_get_height(s);
  b->BitsPerPixel = 32;
  b->Stride = cairo_image_surface_get_stride(s);
  b->TopDown = true;
  b->IsDib = true;
  b->Bits = cairo_image_surface_get_data(s);
  b->Surface = cairo_surface_reference(s);
  b->Stock = true;  // never deleted through DeleteObject
  return b;
}

void FreeBuffer(BitmapObject* b) {
  if (!b) return;
  b->Bits = nullptr;  // the pixels belong to the port
  delete b;
}

void BindDc(DcObject* dc, WindowObject* w, const WindowDc& info);

void RebindDcsOf(WindowObject* top) {
  for (auto& [dc, info] : Dcs()) {
    WindowObject* w = Live(info.Hwnd);
    if (w && TopLevelOf(w) == top) BindDc(dc, w, info);
  }
}

}  // namespace

// ---- Surfaces --------------------------------------------------------------------------------------

namespace {

// The backend surface of a window: at least 1 x 1, and no larger than a back buffer the
// backend can allocate; a window larger than that shows its top left part only.
constexpr int kMaxBufferSide = 8192;

TRect SurfaceBounds(const TRect& window) {
  return TRect::FromSize(window.Left, window.Top, std::clamp(window.Width(), 1, kMaxBufferSide),
                         std::clamp(window.Height(), 1, kMaxBufferSide));
}

}  // namespace

void EnsureSurface(WindowObject* top) {
  if (!top || top->Surface || !IsTopLevel(top)) return;
  auto st = std::make_unique<SurfaceState>();
  wm::SurfaceKind kind = wm::SurfaceKind::Normal;
  if (top->Class->Name == u"tooltips_class32")
    kind = wm::SurfaceKind::Tooltip;
  else if ((top->Style & WS_POPUP) && ((top->Style & WS_CAPTION) != WS_CAPTION) &&
           (top->ExStyle & (WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE)))
    kind = wm::SurfaceKind::Popup;
  TRect r = SurfaceBounds(top->WindowRect);
  wm::SurfaceId owner = (top->Owner && top->Owner->Surface) ? top->Owner->Surface->Id : 0;
  st->Id = wm::Port().CreateSurface(kind, r, (top->ExStyle & WS_EX_TOPMOST) != 0, owner);
  st->Buffer = WrapBuffer(wm::Port().BackBuffer(st->Id));
  top->Surface = std::move(st);
  if (!top->Text.empty()) wm::Port().SetTitle(top->Surface->Id, top->Text);
  if ((top->ExStyle & WS_EX_LAYERED) && (top->LayeredFlags & LWA_ALPHA))
    wm::Port().SetOpacity(top->Surface->Id, top->Alpha / 255.0);
  RestackSurfaces();
}

void DestroySurface(WindowObject* top) {
  if (!top || !top->Surface) return;
  for (auto& [dc, info] : Dcs()) {
    WindowObject* w = Live(info.Hwnd);
    if (w && TopLevelOf(w) == top) {
      info.Hwnd = nullptr;
      BindDc(dc, nullptr, info);
    }
  }
  if (top->Surface->Id) wm::Port().DestroySurface(top->Surface->Id);
  FreeBuffer(top->Surface->Buffer);
  top->Surface.reset();
}

void SyncSurfaceBounds(WindowObject* top) {
  if (!top || !top->Surface || (top->Style & WS_MINIMIZE)) return;
  TRect r = SurfaceBounds(top->WindowRect);
  BitmapObject* old = top->Surface->Buffer;
  bool resized = !old || old->Width != r.Width() || old->Height != r.Height();
  wm::Port().SetBounds(top->Surface->Id, r);
  if (resized) {
    top->Surface->Buffer = WrapBuffer(wm::Port().BackBuffer(top->Surface->Id));
    RebindDcsOf(top);
    FreeBuffer(old);
    if (top->Surface->Dirty) {
      cairo_region_destroy(top->Surface->Dirty);
      top->Surface->Dirty = nullptr;
    }
  }
}

void ShowSurface(WindowObject* top, bool show) {
  if (!top || !top->Surface || top->Surface->Shown == show) return;
  if (show) SyncSurfaceBounds(top);
  top->Surface->Shown = show;
  wm::Port().Show(top->Surface->Id, show);
}

void PresentNow(WindowObject* top) {
  if (!top || !top->Surface || !top->Surface->Dirty) return;
  cairo_region_t* d = top->Surface->Dirty;
  top->Surface->Dirty = nullptr;
  if (top->Surface->Shown && top->Surface->Buffer) {
    BitmapObject* b = top->Surface->Buffer;
    IntersectRect(d, TRect(0, 0, b->Width, b->Height));
    int n = cairo_region_num_rectangles(d);
    if (n > 0) {
      std::vector<TRect> rects;
      rects.reserve(size_t(n));
      for (int i = 0; i < n; ++i) {
        cairo_rectangle_int_t c;
        cairo_region_get_rectangle(d, i, &c);
        rects.push_back(TRect::FromSize(c.x, c.y, c.width, c.height));
      }
      cairo_surface_flush(b->Surface);
      wm::Port().Present(top->Surface->Id, rects);
    }
  }
  cairo_region_destroy(d);
}

void ExposeSurface(WindowObject* top, const TRect& area) {
  if (!top->Surface) return;
  cairo_rectangle_int_t c = ToCairo(area);
  cairo_region_t* r = cairo_region_create_rectangle(&c);
  MarkDirty(top, r);
  cairo_region_destroy(r);
}

namespace {

bool TreeNeedsPaint(WindowObject* w) {
  if (w->PaintQueued) return true;
  for (WindowObject* c : w->Children)
    if (TreeNeedsPaint(c)) return true;
  return false;
}

}  // namespace

void FlushPresents() {
  WinState& s = Wm();
  std::vector<WindowObject*> tops = s.Desktop->Children;
  for (WindowObject* t : tops) {
    if (!t->Surface || !t->Surface->Dirty) continue;
    if (s.PendingPaint > 0 && TreeNeedsPaint(t)) continue;  // never a half-painted frame
    PresentNow(t);
  }
}

// ---- Update regions ------------------------------------------------------------------------------

void SetPaintQueued(WindowObject* w) {
  WinState& s = Wm();
  bool want = NeedsPaint(w) && IsVisibleTree(w) && w != s.Desktop;
  if (want != w->PaintQueued) {
    w->PaintQueued = want;
    s.PendingPaint += want ? 1 : -1;
  }
}

namespace {

WindowObject* FindPaintIn(WindowObject* w) {
  if (!(w->Style & WS_VISIBLE)) return nullptr;
  if (w->PaintQueued) return w;
  for (auto it = w->Children.rbegin(); it != w->Children.rend(); ++it)
    if (WindowObject* r = FindPaintIn(*it)) return r;
  return nullptr;
}

}  // namespace

WindowObject* FindPaintWindow(WindowObject* filter) {
  WinState& s = Wm();
  if (s.PendingPaint <= 0) return nullptr;
  if (filter) return IsVisibleTree(filter) ? FindPaintIn(filter) : nullptr;
  for (WindowObject* t : s.Desktop->Children)
    if (WindowObject* r = FindPaintIn(t)) return r;
  return nullptr;
}

namespace {

bool ShowsLayeredPixels(WindowObject* w) {
  WindowObject* top = TopLevelOf(w);
  return top && top->LayeredUpdate;
}

void Invalidate(WindowObject* w, const cairo_region_t* rgn, UINT flags, bool child) {
  if (!IsVisibleTree(w) || ShowsLayeredPixels(w)) return;
  TRect whole(0, 0, w->WindowRect.Width(), w->WindowRect.Height());
  TRect client = ClientRectInWindow(w);
  cairo_region_t* r;
  if (rgn)
    r = cairo_region_copy(rgn);
  else
    r = RectRgn((flags & RDW_FRAME) ? whole : client);
  // Children always take the frame part; the window itself only with RDW_FRAME.
  if (!child && !(flags & RDW_FRAME)) IntersectRect(r, client);
  IntersectRect(r, whole);

  if (flags & RDW_INVALIDATE) {
    if (!cairo_region_is_empty(r)) {
      if (!w->Update) w->Update = cairo_region_create();
      cairo_region_union(w->Update, r);
      cairo_region_t* nc = cairo_region_copy(r);
      SubtractRect(nc, client);
      if (!cairo_region_is_empty(nc)) w->FrameNeeded = true;
      cairo_region_destroy(nc);
      if (flags & RDW_ERASE) w->EraseNeeded = true;
    }
  } else if (flags & RDW_VALIDATE) {
    if (w->Update) {
      cairo_region_subtract(w->Update, r);
      if (flags & RDW_NOFRAME) {
        cairo_region_t* nc = RectRgn(whole);
        SubtractRect(nc, client);
        cairo_region_subtract(w->Update, nc);
        cairo_region_destroy(nc);
      }
      cairo_region_t* nc = cairo_region_copy(w->Update);
      SubtractRect(nc, client);
      if (cairo_region_is_empty(nc)) w->FrameNeeded = false;
      cairo_region_destroy(nc);
      if (cairo_region_is_empty(w->Update)) w->EraseNeeded = false;
    }
    if (flags & RDW_NOFRAME) w->FrameNeeded = false;
  }
  if (flags & RDW_NOERASE) w->EraseNeeded = false;
  if (flags & RDW_INTERNALPAINT) w->InternalPaint = true;
  if (flags & RDW_NOINTERNALPAINT) w->InternalPaint = false;
  SetPaintQueued(w);

  bool kids = (flags & RDW_ALLCHILDREN) ||
              (!(flags & RDW_NOCHILDREN) && !(w->Style & WS_CLIPCHILDREN));
  if (kids && !w->Children.empty()) {
    // The part over the client area, in the parent's client coordinates.
    IntersectRect(r, client);
    cairo_region_translate(r, -client.Left, -client.Top);
    for (WindowObject* c : w->Children) {
      if (!(c->Style & WS_VISIBLE)) continue;
      cairo_rectangle_int_t cr0 = ToCairo(c->WindowRect);
      if (cairo_region_contains_rectangle(r, &cr0) == CAIRO_REGION_OVERLAP_OUT) continue;
      cairo_region_t* cr = cairo_region_copy(r);
      cairo_region_translate(cr, -c->WindowRect.Left, -c->WindowRect.Top);
      Invalidate(c, cr, flags, true);
      cairo_region_destroy(cr);
    }
  }
  cairo_region_destroy(r);
}

}  // namespace


namespace {

// Sends WM_NCPAINT for an invalid frame; the frame part of the update region is validated.
void SendNcPaint(WindowObject* w) {
  if (!w->FrameNeeded) return;
  w->FrameNeeded = false;
  TRect whole(0, 0, w->WindowRect.Width(), w->WindowRect.Height());
  TRect client = ClientRectInWindow(w);
  HRGN rgn = CreateRectRgn(0, 0, 0, 0);
  cairo_region_destroy(rgn->Rgn);
  rgn->Rgn = w->Update ? cairo_region_copy(w->Update) : RectRgn(whole);
  SubtractRect(rgn->Rgn, client);
  if (w->Update) IntersectRect(w->Update, client);
  SetPaintQueued(w);
  if (cairo_region_is_empty(rgn->Rgn)) {
    DeleteObject(rgn);
    return;
  }
  TPoint o = WindowOrigin(w);
  cairo_region_translate(rgn->Rgn, o.X, o.Y);
  SystemRegions().insert(rgn);
  SendMessageW(w, WM_NCPAINT, reinterpret_cast<WPARAM>(rgn), 0);
  SystemRegions().erase(rgn);
  DeleteObject(rgn);
}

}  // namespace

void SendNcPaintNow(WindowObject* w, const TRect& area) {
  if (!IsVisibleTree(w) || area.IsEmpty()) return;
  HRGN rgn = CreateRectRgn(0, 0, 0, 0);
  cairo_region_destroy(rgn->Rgn);
  rgn->Rgn = RectRgn(area);
  TPoint o = WindowOrigin(w);
  cairo_region_translate(rgn->Rgn, o.X, o.Y);
  SystemRegions().insert(rgn);
  SendMessageW(w, WM_NCPAINT, reinterpret_cast<WPARAM>(rgn), 0);
  SystemRegions().erase(rgn);
  DeleteObject(rgn);
}

namespace {

// The client part of the update region in surface coordinates (for a paint or erase DC).
cairo_region_t* UpdateInSurface(WindowObject* w) {
  TRect client = ClientRectInWindow(w);
  cairo_region_t* r = w->Update ? cairo_region_copy(w->Update) : cairo_region_create();
  if (w->InternalPaint && cairo_region_is_empty(r)) {
    // An internal paint with nothing invalid paints nothing.
  }
  IntersectRect(r, client);
  TPoint off = SurfaceOffset(w);
  cairo_region_translate(r, off.X, off.Y);
  return r;
}

HDC MakeWindowDc(WindowObject* w, DWORD flags, cairo_region_t* extraSurface, bool exclude,
                 HRGN owned);

// Sends WM_ERASEBKGND with a DC clipped to the update region; returns its result.
LRESULT SendErase(WindowObject* w) {
  w->EraseNeeded = false;
  cairo_region_t* clip = UpdateInSurface(w);
  HDC dc = MakeWindowDc(w, DCX_USESTYLE | DCX_INTERSECTRGN, clip, false, nullptr);
  LRESULT r = SendMessageW(w, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
  ReleaseDC(w, dc);
  return r;
}

void CollectUpdates(WindowObject* w, UINT flags, std::vector<WindowObject*>& out, bool root) {
  if (!(w->Style & WS_VISIBLE)) return;
  out.push_back(w);
  bool kids = (flags & RDW_ALLCHILDREN) ||
              (!(flags & RDW_NOCHILDREN) && !(w->Style & WS_CLIPCHILDREN));
  if (!kids && root) return;
  if (!kids) return;
  for (auto it = w->Children.rbegin(); it != w->Children.rend(); ++it)
    CollectUpdates(*it, flags, out, false);
}

void UpdateNow(WindowObject* w, UINT flags) {
  std::vector<WindowObject*> list;
  CollectUpdates(w, flags, list, true);
  for (WindowObject* c : list) {
    if (!Live(c) || !IsVisibleTree(c)) continue;
    WindowLock lock(c);
    if (flags & RDW_UPDATENOW) {
      if (c->PaintQueued && c != Wm().Desktop) SendMessageW(c, WM_PAINT, 0, 0);
    } else {
      SendNcPaint(c);
      if (Live(c) && c->EraseNeeded) SendErase(c);
    }
  }
}

}  // namespace

void RedrawWindowInternal(WindowObject* w, const cairo_region_t* rgn, UINT flags) {
  if (!w) return;
  if (flags & (RDW_INVALIDATE | RDW_VALIDATE | RDW_INTERNALPAINT | RDW_NOINTERNALPAINT |
               RDW_NOERASE | RDW_NOFRAME))
    Invalidate(w, rgn, flags, false);
  if (flags & (RDW_UPDATENOW | RDW_ERASENOW)) {
    WindowLock lock(w);
    if (flags & RDW_UPDATENOW) {
      UpdateNow(w, (flags & ~RDW_ERASENOW));
    } else {
      UpdateNow(w, flags);
    }
  }
}

BOOL RedrawWindow(HWND hwnd, const TRect* rect, HRGN rgn, UINT flags) {
  WindowObject* w = hwnd ? Live(hwnd) : Wm().Desktop;
  if (!w) return false;
  // rect and rgn are client coordinates; the region wins over the rectangle.
  TRect c = ClientRectInWindow(w);
  cairo_region_t* r = nullptr;
  if (rgn) {
    r = cairo_region_copy(rgn->Rgn);
    cairo_region_translate(r, c.Left, c.Top);
  } else if (rect) {
    r = RectRgn(rect->Offsetted(c.Left, c.Top));
  }
  RedrawWindowInternal(w, r, flags);
  if (r) cairo_region_destroy(r);
  return true;
}

BOOL InvalidateRect(HWND hwnd, const TRect* rect, BOOL erase) {
  return RedrawWindow(hwnd, rect, nullptr, RDW_INVALIDATE | (erase ? RDW_ERASE : 0));
}

BOOL InvalidateRgn(HWND hwnd, HRGN rgn, BOOL erase) {
  return RedrawWindow(hwnd, nullptr, rgn, RDW_INVALIDATE | (erase ? RDW_ERASE : 0));
}

BOOL ValidateRect(HWND hwnd, const TRect* rect) {
  return RedrawWindow(hwnd, rect, nullptr, RDW_VALIDATE);
}

BOOL ValidateRgn(HWND hwnd, HRGN rgn) { return RedrawWindow(hwnd, nullptr, rgn, RDW_VALIDATE); }

BOOL UpdateWindow(HWND hwnd) {
  return RedrawWindow(hwnd, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
}

BOOL GetUpdateRect(HWND hwnd, TRect* rect, BOOL erase) {
  WindowObject* w = Live(hwnd);
  if (!w) return false;
  if (erase) RedrawWindowInternal(w, nullptr, RDW_ERASENOW | RDW_NOCHILDREN);
  if (!Live(w)) return false;
  TRect client = ClientRectInWindow(w);
  TRect r;
  if (w->Update) {
    cairo_region_t* u = cairo_region_copy(w->Update);
    IntersectRect(u, client);
    r = Extents(u).Offsetted(-client.Left, -client.Top);
    cairo_region_destroy(u);
  }
  if (rect) *rect = r;
  return !r.IsEmpty();
}

int GetUpdateRgn(HWND hwnd, HRGN rgn, BOOL erase) {
  WindowObject* w = Live(hwnd);
  if (!w || !rgn) return ERROR;
  if (erase) RedrawWindowInternal(w, nullptr, RDW_ERASENOW | RDW_NOCHILDREN);
  if (!Live(w)) return ERROR;
  TRect client = ClientRectInWindow(w);
  cairo_region_t* u = w->Update ? cairo_region_copy(w->Update) : cairo_region_create();
  IntersectRect(u, client);
  cairo_region_translate(u, -client.Left, -client.Top);
  cairo_region_destroy(rgn->Rgn);
  rgn->Rgn = u;
  int n = cairo_region_num_rectangles(u);
  return n == 0 ? NULLREGION : n == 1 ? SIMPLEREGION : COMPLEXREGION;
}

int ExcludeUpdateRgn(HDC dc, HWND hwnd) {
  WindowObject* w = Live(hwnd);
  if (!w || !dc) return ERROR;
  HRGN u = CreateRectRgn(0, 0, 0, 0);
  GetUpdateRgn(hwnd, u, false);
  // Client coordinates -> the DC's device coordinates.
  TPoint clientInSurface = SurfaceOffset(w) + ClientRectInWindow(w).TopLeft();
  OffsetRgn(u, clientInSurface.X - dc->DcOrg.X, clientInSurface.Y - dc->DcOrg.Y);
  int r = ExtSelectClipRgn(dc, u, RGN_DIFF);
  DeleteObject(u);
  return r;
}

BOOL LockWindowUpdate(HWND hwnd) {
  if (hwnd) {
    if (Live(gLockedWindow) || !Live(hwnd)) return false;
    gLockedWindow = hwnd;
    return true;
  }
  WindowObject* l = Live(gLockedWindow);
  gLockedWindow = nullptr;
  if (l) RedrawWindowInternal(l, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
  return true;
}

// ---- Visible regions and window DCs -------------------------------------------------------------------

cairo_region_t* VisibleRegion(WindowObject* w, DWORD flags) {
  WindowObject* top = TopLevelOf(w);
  if (!top || !IsVisibleTree(w) || (top->Style & WS_MINIMIZE) || top->LayeredUpdate ||
      (!(flags & DCX_LOCKWINDOWUPDATE) && InLockedTree(w)))
    return cairo_region_create();
  TRect base = (flags & DCX_WINDOW) ? ScreenWindowRect(w) : ScreenClientRect(w);
  cairo_region_t* rgn = RectRgn(base);
  IntersectWindowShape(rgn, w);
  if (flags & DCX_CLIPCHILDREN)
    for (WindowObject* c : w->Children)
      if (c->Style & WS_VISIBLE) SubtractWindowShape(rgn, c);
  bool clipSiblings = (flags & DCX_CLIPSIBLINGS) != 0;
  for (WindowObject* c = w; c != top; c = c->Parent) {
    WindowObject* p = c->Parent;
    if (clipSiblings) {
      for (WindowObject* sib : p->Children) {
        if (sib == c) break;  // siblings above c come first
        if (sib->Style & WS_VISIBLE) SubtractWindowShape(rgn, sib);
      }
    }
    IntersectRect(rgn, ScreenClientRect(p));
    IntersectWindowShape(rgn, p);
    clipSiblings = (p->Style & WS_CLIPSIBLINGS) != 0;
  }
  cairo_region_translate(rgn, -top->WindowRect.Left, -top->WindowRect.Top);
  if (top->Surface && top->Surface->Buffer)
    IntersectRect(rgn, TRect(0, 0, top->Surface->Buffer->Width, top->Surface->Buffer->Height));
  return rgn;
}

namespace {

DWORD EffectiveDcFlags(WindowObject* w, DWORD flags) {
  if (!(flags & DCX_USESTYLE)) return flags;
  flags &= ~(DCX_CLIPCHILDREN | DCX_CLIPSIBLINGS | DCX_PARENTCLIP);
  if (w->Style & WS_CLIPSIBLINGS) flags |= DCX_CLIPSIBLINGS;
  if (!(flags & DCX_WINDOW)) {
    if (w->Class->Style & CS_PARENTDC) flags |= DCX_PARENTCLIP;
    if ((w->Style & WS_CLIPCHILDREN) && !(w->Style & WS_MINIMIZE)) flags |= DCX_CLIPCHILDREN;
  }
  return flags;
}

void SelectBuffer(DcObject* dc, BitmapObject* b) {
  if (dc->Bitmap == b) return;
  if (b) ++b->SelectCount;
  if (dc->Bitmap) --dc->Bitmap->SelectCount;
  dc->Bitmap = b;
}

BitmapObject* NullBitmap() {
  static BitmapObject* b = [] {
    BitmapObject* bmp = CreateCompatibleBitmap(nullptr, 1, 1);
    bmp->Stock = true;
    return bmp;
  }();
  return b;
}

void BindDc(DcObject* dc, WindowObject* w, const WindowDc& info) {
  WindowObject* top = w ? TopLevelOf(w) : nullptr;
  cairo_region_t* vis;
  if (top && top->Surface && top->Surface->Buffer) {
    SelectBuffer(dc, top->Surface->Buffer);
    vis = VisibleRegion(w, info.Flags);
    if (info.ExtraClip) {
      if (info.Exclude)
        cairo_region_subtract(vis, info.ExtraClip);
      else
        cairo_region_intersect(vis, info.ExtraClip);
    }
    TPoint off = SurfaceOffset(w);
    if (!(info.Flags & DCX_WINDOW)) off = off + ClientRectInWindow(w).TopLeft();
    dc->DcOrg = off;
    dc->Dpi = int(w->Dpi);
    MarkDirty(top, vis);
  } else {
    SelectBuffer(dc, NullBitmap());
    vis = cairo_region_create();
    dc->DcOrg = {};
    dc->Dpi = int(w ? w->Dpi : GetDpiForSystem());
  }
  if (dc->VisRgn) cairo_region_destroy(dc->VisRgn);
  dc->VisRgn = vis;
  dc->InvalidateClip();
}

HDC MakeWindowDc(WindowObject* w, DWORD flags, cairo_region_t* extraSurface, bool exclude,
                 HRGN owned) {
  auto* dc = new DcObject;
  dc->IsMemoryDc = false;
  WindowDc info;
  info.Hwnd = w;
  info.Flags = w ? EffectiveDcFlags(w, flags) : flags;
  info.ExtraClip = extraSurface;
  info.Exclude = exclude;
  info.OwnedRgn = owned;
  dc->Owner = &Dcs();
  BindDc(dc, w, info);
  Dcs()[dc] = info;
  return dc;
}

}  // namespace

HDC GetDCEx(HWND hwnd, HRGN clip, DWORD flags) {
  WinState& s = Wm();
  WindowObject* w = hwnd ? Live(hwnd) : s.Desktop;
  if (!w) return nullptr;
  if (w == s.Desktop) return MakeWindowDc(nullptr, flags, nullptr, false, nullptr);
  cairo_region_t* extra = nullptr;
  bool exclude = false;
  HRGN owned = nullptr;
  if (clip && (flags & (DCX_INTERSECTRGN | DCX_EXCLUDERGN))) {
    // The region is in screen coordinates.
    extra = cairo_region_copy(clip->Rgn);
    WindowObject* top = TopLevelOf(w);
    if (top) cairo_region_translate(extra, -top->WindowRect.Left, -top->WindowRect.Top);
    exclude = (flags & DCX_EXCLUDERGN) != 0;
    if (!SystemRegions().count(clip)) owned = clip;
  }
  return MakeWindowDc(w, flags, extra, exclude, owned);
}

HDC GetDC(HWND hwnd) { return GetDCEx(hwnd, nullptr, DCX_CACHE | DCX_USESTYLE); }

HDC GetWindowDC(HWND hwnd) { return GetDCEx(hwnd, nullptr, DCX_CACHE | DCX_WINDOW | DCX_USESTYLE); }

int ReleaseDC(HWND, HDC dc) {
  auto it = Dcs().find(dc);
  if (it == Dcs().end()) return 0;
  WindowDc info = it->second;
  Dcs().erase(it);
  WindowObject* w = Live(info.Hwnd);
  if (w && dc->VisRgn) MarkDirty(TopLevelOf(w), dc->VisRgn);
  if (info.ExtraClip) cairo_region_destroy(info.ExtraClip);
  if (info.OwnedRgn) DeleteObject(info.OwnedRgn);
  dc->Owner = nullptr;
  delete dc;
  return 1;
}

HWND WindowFromDC(HDC dc) {
  auto it = Dcs().find(dc);
  return it == Dcs().end() ? nullptr : Live(it->second.Hwnd);
}

void ReleaseWindowDcs(WindowObject* w) {
  for (auto& [dc, info] : Dcs())
    if (info.Hwnd == w) {
      info.Hwnd = nullptr;
      BindDc(dc, nullptr, info);
    }
}

// ---- BeginPaint / EndPaint ----------------------------------------------------------------------------

HDC BeginPaint(HWND hwnd, PAINTSTRUCT* ps) {
  WindowObject* w = Live(hwnd);
  if (!w || !ps) return nullptr;
  WindowLock lock(w);
  CaretHideForPaint(w, true);
  SendNcPaint(w);
  if (!Live(w)) return nullptr;
  cairo_region_t* clip = UpdateInSurface(w);
  bool erase = w->EraseNeeded;
  w->EraseNeeded = false;
  if (w->Update) {
    cairo_region_destroy(w->Update);
    w->Update = nullptr;
  }
  w->InternalPaint = false;
  w->FrameNeeded = false;
  SetPaintQueued(w);
  TPoint clientInSurface = SurfaceOffset(w) + ClientRectInWindow(w).TopLeft();
  TRect paint = Extents(clip);
  HDC dc = MakeWindowDc(w, DCX_USESTYLE | DCX_INTERSECTRGN, clip, false, nullptr);
  TRect vis = Extents(dc->VisRgn);
  paint = TRect::Intersect(paint, vis);
  ps->hdc = dc;
  ps->rcPaint = paint.IsEmpty() ? TRect{} : paint.Offsetted(-clientInSurface.X, -clientInSurface.Y);
  ps->fRestore = false;
  ps->fIncUpdate = false;
  ps->fErase = false;
  w->InPaint = true;
  if (erase) ps->fErase = SendMessageW(w, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0) == 0;
  return dc;
}

BOOL EndPaint(HWND hwnd, const PAINTSTRUCT* ps) {
  WindowObject* w = Live(hwnd);
  if (ps && ps->hdc) ReleaseDC(hwnd, ps->hdc);
  if (w) {
    w->InPaint = false;
    CaretHideForPaint(w, false);
  }
  return true;
}

// ---- Scrolling -------------------------------------------------------------------------------------------

int ScrollWindowEx(HWND hwnd, int dx, int dy, const TRect* scrollRect, const TRect* clipRect,
                   HRGN update, TRect* updateRect, UINT flags) {
  WindowObject* w = Live(hwnd);
  if (!w) return ERROR;
  WindowLock lock(w);
  TRect client(0, 0, w->ClientRect.Width(), w->ClientRect.Height());
  TRect src = scrollRect ? TRect::Intersect(*scrollRect, client) : client;
  TRect clip = clipRect ? TRect::Intersect(*clipRect, client) : client;

  if (flags & SW_SCROLLCHILDREN) {
    std::vector<WindowObject*> kids = w->Children;
    for (WindowObject* c : kids) {
      if (!Live(c)) continue;
      if (scrollRect && !scrollRect->IntersectsWith(c->WindowRect)) continue;
      SetWindowPosInternal(c, nullptr, c->WindowRect.Left + dx, c->WindowRect.Top + dy, 0, 0,
                           SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
    }
    if (!Live(w)) return ERROR;
  }

  // Client coordinates -> surface coordinates.
  TPoint base = SurfaceOffset(w) + ClientRectInWindow(w).TopLeft();
  cairo_region_t* vis = VisibleRegion(w, DCX_CLIPCHILDREN | DCX_CLIPSIBLINGS);
  cairo_region_translate(vis, -base.X, -base.Y);  // now client coordinates
  cairo_region_t* srcRgn = cairo_region_copy(vis);
  IntersectRect(srcRgn, src);
  cairo_region_t* dst = cairo_region_copy(srcRgn);
  cairo_region_translate(dst, dx, dy);
  IntersectRect(dst, clip);
  cairo_region_intersect(dst, vis);

  WindowObject* top = TopLevelOf(w);
  if (top && top->Surface && top->Surface->Buffer && !cairo_region_is_empty(dst) && (dx || dy)) {
    cairo_surface_t* surf = top->Surface->Buffer->Surface;
    cairo_surface_flush(surf);
    TRect e = Extents(dst).Offsetted(-dx, -dy);  // source extents
    cairo_surface_t* tmp = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, e.Width(), e.Height());
    cairo_t* cr = cairo_create(tmp);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_set_source_surface(cr, surf, -(e.Left + base.X), -(e.Top + base.Y));
    cairo_paint(cr);
    cairo_destroy(cr);
    cr = cairo_create(surf);
    int n = cairo_region_num_rectangles(dst);
    for (int i = 0; i < n; ++i) {
      cairo_rectangle_int_t c;
      cairo_region_get_rectangle(dst, i, &c);
      cairo_rectangle(cr, c.x + base.X, c.y + base.Y, c.width, c.height);
    }
    cairo_clip(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_set_source_surface(cr, tmp, e.Left + dx + base.X, e.Top + dy + base.Y);
    cairo_paint(cr);
    cairo_destroy(cr);
    cairo_surface_destroy(tmp);
    cairo_surface_mark_dirty(surf);
    cairo_region_t* dirty = cairo_region_copy(dst);
    cairo_region_translate(dirty, base.X, base.Y);
    MarkDirty(top, dirty);
    cairo_region_destroy(dirty);
  }

  // The invalid part of the window moves along; what was not copied becomes invalid.
  if (w->Update) {
    TRect cw = ClientRectInWindow(w);
    cairo_region_t* moving = cairo_region_copy(w->Update);
    IntersectRect(moving, src.Offsetted(cw.Left, cw.Top));
    cairo_region_subtract(w->Update, moving);
    cairo_region_translate(moving, dx, dy);
    IntersectRect(moving, clip.Offsetted(cw.Left, cw.Top));
    cairo_region_union(w->Update, moving);
    cairo_region_destroy(moving);
  }
  cairo_region_t* exposed = RectRgn(TRect::Intersect(src, clip));
  cairo_region_subtract(exposed, dst);
  if (update) {
    cairo_region_destroy(update->Rgn);
    update->Rgn = cairo_region_copy(exposed);
  }
  if (updateRect) *updateRect = Extents(exposed);
  int type = cairo_region_is_empty(exposed) ? NULLREGION : SIMPLEREGION;
  if (flags & (SW_INVALIDATE | SW_ERASE)) {
    TRect cw = ClientRectInWindow(w);
    cairo_region_translate(exposed, cw.Left, cw.Top);
    RedrawWindowInternal(w, exposed,
                         RDW_INVALIDATE | ((flags & SW_ERASE) ? RDW_ERASE : 0) |
                             ((flags & SW_SCROLLCHILDREN) ? RDW_ALLCHILDREN : 0));
  }
  cairo_region_destroy(exposed);
  cairo_region_destroy(dst);
  cairo_region_destroy(srcRgn);
  cairo_region_destroy(vis);
  return type;
}

BOOL ScrollWindow(HWND hwnd, int dx, int dy, const TRect* scrollRect, const TRect* clipRect) {
  return ScrollWindowEx(hwnd, dx, dy, scrollRect, clipRect, nullptr, nullptr,
                        SW_INVALIDATE | SW_ERASE | (scrollRect ? 0 : SW_SCROLLCHILDREN)) != ERROR;
}

BOOL PrintWindow(HWND hwnd, HDC dc, UINT flags) {
  if (!Live(hwnd) || !dc) return false;
  LPARAM prf = PRF_CHILDREN | PRF_CLIENT | PRF_ERASEBKGND;
  if (!(flags & PW_CLIENTONLY)) prf |= PRF_NONCLIENT;
  SendMessageW(hwnd, WM_PRINT, reinterpret_cast<WPARAM>(dc), prf);
  return true;
}

}  // namespace vcl
