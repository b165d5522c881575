// Device contexts: selected objects, coordinate origins, clipping and saved states.
#include <cstdlib>

#include "host/gdi/GdiInternal.h"

namespace vcl {

namespace {

BitmapObject* DefaultBitmap() {
  // The 1x1 bitmap every memory DC starts with; shared and never deleted.
  static BitmapObject* b = [] {
    BitmapObject* bmp = CreateCompatibleBitmap(nullptr, 1, 1);
    bmp->Stock = true;
    return bmp;
  }();
  return b;
}

template <class T>
void Hold(T*& slot, T* obj) {
  if (obj) ++obj->SelectCount;
  if (slot) --slot->SelectCount;
  slot = obj;
}

cairo_region_t* CopyRegion(const cairo_region_t* r) {
  return r ? cairo_region_copy(r) : nullptr;
}

void SetRegion(cairo_region_t*& slot, cairo_region_t* r) {
  if (slot) cairo_region_destroy(slot);
  slot = r;
}

int ClipType(const cairo_region_t* r) {
  int n = cairo_region_num_rectangles(r);
  return n == 0 ? NULLREGION : n == 1 ? SIMPLEREGION : COMPLEXREGION;
}

}  // namespace

// ---- DcObject ---------------------------------------------------------------------------------

DcObject::DcObject() {
  Hold(Pen, AsPen(GetStockObject(BLACK_PEN)));
  Hold(Brush, AsBrush(GetStockObject(WHITE_BRUSH)));
  Hold(Font, AsFont(GetStockObject(SYSTEM_FONT)));
  Hold(Bitmap, DefaultBitmap());
  Bitmap->SelectedInto = nullptr;  // the shared default bitmap belongs to no DC
}

DcObject::~DcObject() {
  for (DcState& s : Saved) {
    --s.Pen->SelectCount;
    --s.Brush->SelectCount;
    --s.Font->SelectCount;
    --s.Bitmap->SelectCount;
    if (s.ClipRgn) cairo_region_destroy(s.ClipRgn);
  }
  if (Bitmap && Bitmap->SelectedInto == this) Bitmap->SelectedInto = nullptr;
  Hold<PenObject>(Pen, nullptr);
  Hold<BrushObject>(Brush, nullptr);
  Hold<FontObject>(Font, nullptr);
  Hold<BitmapObject>(Bitmap, nullptr);
  if (FCr) cairo_destroy(FCr);
  if (FClip) cairo_region_destroy(FClip);
  if (VisRgn) cairo_region_destroy(VisRgn);
  if (ClipRgn) cairo_region_destroy(ClipRgn);
}

void DcObject::InvalidateClip() {
  FClipValid = false;
  FCrValid = false;
}

const cairo_region_t* DcObject::Clip() {
  if (FClipValid) return FClip;
  cairo_rectangle_int_t bounds{0, 0, Bitmap ? Bitmap->Width : 0, Bitmap ? Bitmap->Height : 0};
  SetRegion(FClip, cairo_region_create_rectangle(&bounds));
  if (VisRgn) cairo_region_intersect(FClip, VisRgn);
  if (ClipRgn) {
    cairo_region_t* c = cairo_region_copy(ClipRgn);
    cairo_region_translate(c, DcOrg.X, DcOrg.Y);
    cairo_region_intersect(FClip, c);
    cairo_region_destroy(c);
  }
  FClipValid = true;
  return FClip;
}

cairo_surface_t* DcObject::BeginDraw() {
  cairo_surface_t* s = BitmapSurface(Bitmap);
  if (s) cairo_surface_flush(s);
  return s;
}

void DcObject::EndDraw() {
  if (!Bitmap || !Bitmap->Surface) return;
  cairo_surface_mark_dirty(Bitmap->Surface);
  if (Bitmap->IsShadow()) StoreShadow(Bitmap);
}

cairo_t* DcObject::Cairo() {
  cairo_surface_t* surface = BitmapSurface(Bitmap);
  if (!surface) return nullptr;
  if (FCr && FCrSurface != surface) {
    cairo_destroy(FCr);
    FCr = nullptr;
  }
  if (!FCr) {
    FCr = cairo_create(surface);
    FCrSurface = surface;
    FCrValid = false;
  }
  if (!FCrValid) {
    cairo_reset_clip(FCr);
    cairo_identity_matrix(FCr);
    const cairo_region_t* clip = Clip();
    int n = cairo_region_num_rectangles(clip);
    for (int i = 0; i < n; ++i) {
      cairo_rectangle_int_t r;
      cairo_region_get_rectangle(clip, i, &r);
      cairo_rectangle(FCr, r.x, r.y, r.width, r.height);
    }
    if (n == 0) cairo_rectangle(FCr, 0, 0, 0, 0);
    cairo_clip(FCr);
    FCrValid = true;
  }
  TPoint off = Offset();
  cairo_identity_matrix(FCr);
  cairo_translate(FCr, off.X, off.Y);
  return FCr;
}

COLORREF DcObject::PenColor() const {
  if (!Pen) return 0;
  return Pen->UsesDcColor ? DcPenColor : Pen->Color;
}

COLORREF DcObject::BrushColor() const {
  if (!Brush) return 0;
  if (Brush->UsesDcColor) return DcBrushColor;
  if (Brush->SysColorIndex >= 0) return GetSysColor(Brush->SysColorIndex);
  return Brush->Color;
}

// ---- Creation and selection ---------------------------------------------------------------------

HDC CreateCompatibleDC(HDC dc) {
  auto* d = new DcObject;
  if (dc) d->Dpi = dc->Dpi;
  return d;
}

bool DeleteDC(HDC dc) {
  if (!dc) return false;
  delete dc;
  return true;
}

HGDIOBJ SelectObject(HDC dc, HGDIOBJ obj) {
  if (!dc || !obj) return nullptr;
  switch (obj->Kind) {
    case GdiKind::Pen: return SelectObject(dc, static_cast<HPEN>(obj));
    case GdiKind::Brush: return SelectObject(dc, static_cast<HBRUSH>(obj));
    case GdiKind::Font: return SelectObject(dc, static_cast<HFONT>(obj));
    case GdiKind::Bitmap: return SelectObject(dc, static_cast<HBITMAP>(obj));
    case GdiKind::Region: {
      int t = SelectClipRgn(dc, static_cast<HRGN>(obj));
      return reinterpret_cast<HGDIOBJ>(std::intptr_t(t));
    }
  }
  return nullptr;
}

HPEN SelectObject(HDC dc, HPEN obj) {
  if (!dc || !obj) return nullptr;
  HPEN old = dc->Pen;
  Hold(dc->Pen, obj);
  return old;
}

HBRUSH SelectObject(HDC dc, HBRUSH obj) {
  if (!dc || !obj) return nullptr;
  HBRUSH old = dc->Brush;
  Hold(dc->Brush, obj);
  return old;
}

HFONT SelectObject(HDC dc, HFONT obj) {
  if (!dc || !obj) return nullptr;
  HFONT old = dc->Font;
  Hold(dc->Font, obj);
  return old;
}

HBITMAP SelectObject(HDC dc, HBITMAP obj) {
  if (!dc || !obj || !dc->IsMemoryDc) return nullptr;
  if (obj->SelectedInto && obj->SelectedInto != dc) return nullptr;
  HBITMAP old = dc->Bitmap;
  if (old == obj) return old;
  if (old && old->SelectedInto == dc) old->SelectedInto = nullptr;
  Hold(dc->Bitmap, obj);
  if (!obj->Stock) obj->SelectedInto = dc;
  dc->InvalidateClip();
  return old;
}

HGDIOBJ GetCurrentObject(HDC dc, UINT type) {
  if (!dc) return nullptr;
  switch (type) {
    case OBJ_PEN: return dc->Pen;
    case OBJ_BRUSH: return dc->Brush;
    case OBJ_FONT: return dc->Font;
    case OBJ_BITMAP: return dc->Bitmap;
    default: return nullptr;
  }
}

HBITMAP GetDcBitmap(HDC dc) { return dc ? dc->Bitmap : nullptr; }

// ---- Saved states -----------------------------------------------------------------------------

int SaveDC(HDC dc) {
  if (!dc) return 0;
  DcState s{dc->Pen, dc->Brush, dc->Font, dc->Bitmap, dc->WindowOrg, dc->ViewportOrg,
            dc->BrushOrg, dc->CurPos, CopyRegion(dc->ClipRgn), dc->TextColor, dc->BkColor,
            dc->DcPenColor, dc->DcBrushColor, dc->BkMode, dc->Rop2, dc->StretchMode,
            dc->PolyFillMode, dc->ArcDirection, dc->TextAlign, dc->TextCharExtra};
  ++s.Pen->SelectCount;
  ++s.Brush->SelectCount;
  ++s.Font->SelectCount;
  ++s.Bitmap->SelectCount;
  dc->Saved.push_back(s);
  return int(dc->Saved.size());
}

bool RestoreDC(HDC dc, int saved) {
  if (!dc) return false;
  int depth = int(dc->Saved.size());
  int target = saved < 0 ? depth + saved + 1 : saved;  // the level to return to
  if (target < 1 || target > depth) return false;
  // Pop states above the target, then restore the target itself.
  while (int(dc->Saved.size()) > target) {
    DcState& s = dc->Saved.back();
    --s.Pen->SelectCount;
    --s.Brush->SelectCount;
    --s.Font->SelectCount;
    --s.Bitmap->SelectCount;
    if (s.ClipRgn) cairo_region_destroy(s.ClipRgn);
    dc->Saved.pop_back();
  }
  DcState s = dc->Saved.back();
  dc->Saved.pop_back();
  Hold(dc->Pen, s.Pen);
  Hold(dc->Brush, s.Brush);
  Hold(dc->Font, s.Font);
  if (dc->Bitmap != s.Bitmap) {
    if (dc->Bitmap && dc->Bitmap->SelectedInto == dc) dc->Bitmap->SelectedInto = nullptr;
    Hold(dc->Bitmap, s.Bitmap);
    if (!s.Bitmap->Stock) s.Bitmap->SelectedInto = dc;
  }
  // The saved state held one extra reference to each object; drop it.
  --s.Pen->SelectCount;
  --s.Brush->SelectCount;
  --s.Font->SelectCount;
  --s.Bitmap->SelectCount;
  dc->WindowOrg = s.WindowOrg;
  dc->ViewportOrg = s.ViewportOrg;
  dc->BrushOrg = s.BrushOrg;
  dc->CurPos = s.CurPos;
  SetRegion(dc->ClipRgn, s.ClipRgn);
  dc->TextColor = s.TextColor;
  dc->BkColor = s.BkColor;
  dc->DcPenColor = s.DcPenColor;
  dc->DcBrushColor = s.DcBrushColor;
  dc->BkMode = s.BkMode;
  dc->Rop2 = s.Rop2;
  dc->StretchMode = s.StretchMode;
  dc->PolyFillMode = s.PolyFillMode;
  dc->ArcDirection = s.ArcDirection;
  dc->TextAlign = s.TextAlign;
  dc->TextCharExtra = s.TextCharExtra;
  dc->InvalidateClip();
  return true;
}

// ---- Coordinates -------------------------------------------------------------------------------

namespace {
bool SetOrg(TPoint& org, int x, int y, TPoint* old) {
  if (old) *old = org;
  org = {x, y};
  return true;
}
}  // namespace

bool SetWindowOrgEx(HDC dc, int x, int y, TPoint* old) { return dc && SetOrg(dc->WindowOrg, x, y, old); }
bool SetViewportOrgEx(HDC dc, int x, int y, TPoint* old) { return dc && SetOrg(dc->ViewportOrg, x, y, old); }
bool SetBrushOrgEx(HDC dc, int x, int y, TPoint* old) { return dc && SetOrg(dc->BrushOrg, x, y, old); }
bool GetWindowOrgEx(HDC dc, TPoint* out) { if (!dc || !out) return false; *out = dc->WindowOrg; return true; }
bool GetViewportOrgEx(HDC dc, TPoint* out) { if (!dc || !out) return false; *out = dc->ViewportOrg; return true; }
bool GetBrushOrgEx(HDC dc, TPoint* out) { if (!dc || !out) return false; *out = dc->BrushOrg; return true; }

bool OffsetWindowOrgEx(HDC dc, int dx, int dy, TPoint* old) {
  return dc && SetOrg(dc->WindowOrg, dc->WindowOrg.X + dx, dc->WindowOrg.Y + dy, old);
}
bool OffsetViewportOrgEx(HDC dc, int dx, int dy, TPoint* old) {
  return dc && SetOrg(dc->ViewportOrg, dc->ViewportOrg.X + dx, dc->ViewportOrg.Y + dy, old);
}

bool LPtoDP(HDC dc, TPoint* pts, int count) {
  if (!dc || !pts) return false;
  for (int i = 0; i < count; ++i)
    pts[i] = {pts[i].X - dc->WindowOrg.X + dc->ViewportOrg.X, pts[i].Y - dc->WindowOrg.Y + dc->ViewportOrg.Y};
  return true;
}

bool DPtoLP(HDC dc, TPoint* pts, int count) {
  if (!dc || !pts) return false;
  for (int i = 0; i < count; ++i)
    pts[i] = {pts[i].X + dc->WindowOrg.X - dc->ViewportOrg.X, pts[i].Y + dc->WindowOrg.Y - dc->ViewportOrg.Y};
  return true;
}

// ---- Clipping ---------------------------------------------------------------------------------

namespace {

// The device-space rectangle of a logical rectangle.
cairo_rectangle_int_t DeviceRect(HDC dc, int l, int t, int r, int b) {
  if (r < l) std::swap(l, r);
  if (b < t) std::swap(t, b);
  int dx = dc->ViewportOrg.X - dc->WindowOrg.X, dy = dc->ViewportOrg.Y - dc->WindowOrg.Y;
  return {l + dx, t + dy, r - l, b - t};
}

// The region a clip operation starts from when no clip is set: the whole device surface.
cairo_region_t* CurrentClipOrAll(HDC dc) {
  if (dc->ClipRgn) return cairo_region_copy(dc->ClipRgn);
  cairo_rectangle_int_t all{-(1 << 28), -(1 << 28), 1 << 29, 1 << 29};
  return cairo_region_create_rectangle(&all);
}

int ResultType(HDC dc) { return ClipType(dc->Clip()); }

}  // namespace

int IntersectClipRect(HDC dc, int left, int top, int right, int bottom) {
  if (!dc) return ERROR;
  cairo_region_t* r = CurrentClipOrAll(dc);
  cairo_rectangle_int_t c = DeviceRect(dc, left, top, right, bottom);
  cairo_region_intersect_rectangle(r, &c);
  SetRegion(dc->ClipRgn, r);
  dc->InvalidateClip();
  return ResultType(dc);
}

int ExcludeClipRect(HDC dc, int left, int top, int right, int bottom) {
  if (!dc) return ERROR;
  cairo_region_t* r = CurrentClipOrAll(dc);
  cairo_rectangle_int_t c = DeviceRect(dc, left, top, right, bottom);
  cairo_region_subtract_rectangle(r, &c);
  SetRegion(dc->ClipRgn, r);
  dc->InvalidateClip();
  return ResultType(dc);
}

int SelectClipRgn(HDC dc, HRGN rgn) { return ExtSelectClipRgn(dc, rgn, RGN_COPY); }

int ExtSelectClipRgn(HDC dc, HRGN rgn, int mode) {
  if (!dc) return ERROR;
  if (!rgn) {
    if (mode != RGN_COPY) return ERROR;
    SetRegion(dc->ClipRgn, nullptr);
    dc->InvalidateClip();
    return ResultType(dc);
  }
  cairo_region_t* r;
  if (mode == RGN_COPY) {
    r = cairo_region_copy(rgn->Rgn);
  } else {
    r = CurrentClipOrAll(dc);
    switch (mode) {
      case RGN_AND: cairo_region_intersect(r, rgn->Rgn); break;
      case RGN_OR: cairo_region_union(r, rgn->Rgn); break;
      case RGN_XOR: cairo_region_xor(r, rgn->Rgn); break;
      case RGN_DIFF: cairo_region_subtract(r, rgn->Rgn); break;
      default: cairo_region_destroy(r); return ERROR;
    }
  }
  SetRegion(dc->ClipRgn, r);
  dc->InvalidateClip();
  return ResultType(dc);
}

int OffsetClipRgn(HDC dc, int dx, int dy) {
  if (!dc) return ERROR;
  if (dc->ClipRgn) cairo_region_translate(dc->ClipRgn, dx, dy);
  dc->InvalidateClip();
  return ResultType(dc);
}

int GetClipRgn(HDC dc, HRGN rgn) {
  if (!dc || !rgn) return -1;
  if (!dc->ClipRgn) return 0;
  cairo_region_destroy(rgn->Rgn);
  rgn->Rgn = cairo_region_copy(dc->ClipRgn);
  return 1;
}

int GetClipBox(HDC dc, TRect* box) {
  if (!dc || !box) return ERROR;
  const cairo_region_t* clip = dc->Clip();
  if (cairo_region_is_empty(clip)) {
    *box = {};
    return NULLREGION;
  }
  cairo_rectangle_int_t e;
  cairo_region_get_extents(clip, &e);
  TPoint off = dc->Offset();
  *box = {e.x - off.X, e.y - off.Y, e.x + e.width - off.X, e.y + e.height - off.Y};
  return ClipType(clip);
}

bool PtVisible(HDC dc, int x, int y) {
  if (!dc) return false;
  TPoint off = dc->Offset();
  return cairo_region_contains_point(dc->Clip(), x + off.X, y + off.Y);
}

bool RectVisible(HDC dc, const TRect* r) {
  if (!dc || !r) return false;
  TPoint off = dc->Offset();
  cairo_rectangle_int_t c{r->Left + off.X, r->Top + off.Y, r->Width(), r->Height()};
  if (c.width <= 0 || c.height <= 0) return false;
  return cairo_region_contains_rectangle(dc->Clip(), &c) != CAIRO_REGION_OVERLAP_OUT;
}

// ---- Attributes -------------------------------------------------------------------------------

namespace {
template <class T>
T Swap(T& slot, T v) {
  T old = slot;
  slot = v;
  return old;
}
}  // namespace

COLORREF SetTextColor(HDC dc, COLORREF c) { return dc ? Swap(dc->TextColor, c & 0xFFFFFF) : CLR_INVALID; }
COLORREF GetTextColor(HDC dc) { return dc ? dc->TextColor : CLR_INVALID; }
COLORREF SetBkColor(HDC dc, COLORREF c) { return dc ? Swap(dc->BkColor, c & 0xFFFFFF) : CLR_INVALID; }
COLORREF GetBkColor(HDC dc) { return dc ? dc->BkColor : CLR_INVALID; }
int SetBkMode(HDC dc, int mode) {
  if (!dc || (mode != TRANSPARENT && mode != OPAQUE)) return 0;
  return Swap(dc->BkMode, mode);
}
int GetBkMode(HDC dc) { return dc ? dc->BkMode : 0; }
COLORREF SetDCPenColor(HDC dc, COLORREF c) { return dc ? Swap(dc->DcPenColor, c & 0xFFFFFF) : CLR_INVALID; }
COLORREF GetDCPenColor(HDC dc) { return dc ? dc->DcPenColor : CLR_INVALID; }
COLORREF SetDCBrushColor(HDC dc, COLORREF c) { return dc ? Swap(dc->DcBrushColor, c & 0xFFFFFF) : CLR_INVALID; }
COLORREF GetDCBrushColor(HDC dc) { return dc ? dc->DcBrushColor : CLR_INVALID; }
int SetROP2(HDC dc, int rop2) {
  if (!dc || rop2 < R2_BLACK || rop2 > R2_WHITE) return 0;
  return Swap(dc->Rop2, rop2);
}
int GetROP2(HDC dc) { return dc ? dc->Rop2 : 0; }
int SetStretchBltMode(HDC dc, int mode) {
  if (!dc || mode < BLACKONWHITE || mode > HALFTONE) return 0;
  return Swap(dc->StretchMode, mode);
}
int GetStretchBltMode(HDC dc) { return dc ? dc->StretchMode : 0; }

int GetDeviceCaps(HDC dc, int index) {
  switch (index) {
    case LOGPIXELSX:
    case LOGPIXELSY: return dc ? dc->Dpi : 96;
    case BITSPIXEL: return 32;
    case PLANES: return 1;
    case HORZRES: return dc && dc->Bitmap ? dc->Bitmap->Width : 0;
    case VERTRES: return dc && dc->Bitmap ? dc->Bitmap->Height : 0;
    default: return 0;
  }
}

void SetDcDpi(HDC dc, int dpi) {
  if (dc && dpi > 0) dc->Dpi = dpi;
}

}  // namespace vcl
