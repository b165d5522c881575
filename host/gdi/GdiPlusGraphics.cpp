// GDI+ graphics: the drawing target (a DC's surface or a bitmap), rendering modes, the world
// transform, clipping, saved states and the shape primitives.
#include <cmath>

#include "host/gdi/GdiPlusInternal.h"

namespace vcl {

namespace {

constexpr double kHuge = 4194304.0;  // GDI+'s "infinite" clip half-extent

bool Finite(double v) { return std::isfinite(v); }
bool Finite(const TGPRectF& r) { return Finite(r.X) && Finite(r.Y) && Finite(r.Width) && Finite(r.Height); }
bool Finite(const TGPPointF* p, int n) {
  for (int i = 0; i < n; ++i)
    if (!Finite(p[i].X) || !Finite(p[i].Y)) return false;
  return true;
}

cairo_matrix_t ToCairo(const TGPMatrix& m) {
  REAL e[6];
  m.GetElements(e);
  cairo_matrix_t c;
  cairo_matrix_init(&c, e[0], e[1], e[2], e[3], e[4], e[5]);
  return c;
}

bool Invertible(const cairo_matrix_t& m) {
  double det = m.xx * m.yy - m.xy * m.yx;
  return Finite(det) && std::fabs(det) > 1e-12 && Finite(m.x0) && Finite(m.y0);
}

// Applies m to the world transform (prepend: before it, in world space; append: after it).
Status Combine(cairo_matrix_t& world, const cairo_matrix_t& m, MatrixOrder order) {
  cairo_matrix_t r;
  if (order == MatrixOrderPrepend)
    cairo_matrix_multiply(&r, &m, &world);
  else if (order == MatrixOrderAppend)
    cairo_matrix_multiply(&r, &world, &m);
  else
    return InvalidParameter;
  if (!Invertible(r)) return InvalidParameter;
  world = r;
  return Ok;
}

TGPPointF Apply(const cairo_matrix_t& m, TGPPointF p) {
  double x = p.X, y = p.Y;
  cairo_matrix_transform_point(&m, &x, &y);
  return {REAL(x), REAL(y)};
}

TGPRectF BoundsOf(const std::vector<TGPPointF>& pts) {
  if (pts.empty()) return {};
  REAL x0 = pts[0].X, y0 = pts[0].Y, x1 = x0, y1 = y0;
  for (const TGPPointF& p : pts) {
    x0 = std::min(x0, p.X);
    y0 = std::min(y0, p.Y);
    x1 = std::max(x1, p.X);
    y1 = std::max(y1, p.Y);
  }
  return {x0, y0, x1 - x0, y1 - y0};
}

// Bounding box of a rectangle mapped through m.
TGPRectF MapBounds(const cairo_matrix_t& m, const TGPRectF& r) {
  std::vector<TGPPointF> c = {Apply(m, {r.X, r.Y}), Apply(m, {r.X + r.Width, r.Y}),
                              Apply(m, {r.X, r.Y + r.Height}),
                              Apply(m, {r.X + r.Width, r.Y + r.Height})};
  return BoundsOf(c);
}

bool IntersectRectF(TGPRectF& a, const TGPRectF& b) {
  REAL x0 = std::max(a.X, b.X), y0 = std::max(a.Y, b.Y);
  REAL x1 = std::min(a.X + a.Width, b.X + b.Width), y1 = std::min(a.Y + a.Height, b.Y + b.Height);
  if (x1 <= x0 || y1 <= y0) {
    a = {x0, y0, 0, 0};
    return false;
  }
  a = {x0, y0, x1 - x0, y1 - y0};
  return true;
}

void ApplyPen(cairo_t* cr, const TGPPen* pen, double widthFactor = 1) {
  double w = pen->GetWidth();
  if (w <= 0) {
    // A zero-width pen draws one device pixel wide whatever the transform.
    double dx = 1, dy = 0;
    cairo_device_to_user_distance(cr, &dx, &dy);
    w = std::hypot(dx, dy);
  }
  cairo_set_line_width(cr, w * widthFactor);
  switch (pen->GetLineJoin()) {
    case LineJoinBevel: cairo_set_line_join(cr, CAIRO_LINE_JOIN_BEVEL); break;
    case LineJoinRound: cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND); break;
    default: cairo_set_line_join(cr, CAIRO_LINE_JOIN_MITER); break;
  }
  cairo_set_miter_limit(cr, std::max<double>(1, pen->GetMiterLimit()));
  switch (pen->GetStartCap()) {
    case LineCapSquare: cairo_set_line_cap(cr, CAIRO_LINE_CAP_SQUARE); break;
    case LineCapRound: cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND); break;
    default: cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT); break;
  }
  static const double kDash[] = {3, 1}, kDot[] = {1, 1}, kDashDot[] = {3, 1, 1, 1},
                      kDashDotDot[] = {3, 1, 1, 1, 1, 1};
  const double* pattern = nullptr;
  int n = 0;
  std::vector<double> custom;
  switch (pen->GetDashStyle()) {
    case DashStyleDash: pattern = kDash; n = 2; break;
    case DashStyleDot: pattern = kDot; n = 2; break;
    case DashStyleDashDot: pattern = kDashDot; n = 4; break;
    case DashStyleDashDotDot: pattern = kDashDotDot; n = 6; break;
    case DashStyleCustom:
      custom.assign(pen->DashPattern().begin(), pen->DashPattern().end());
      pattern = custom.data();
      n = int(custom.size());
      break;
    default: break;
  }
  if (n > 0) {
    double scaled[16];
    n = std::min(n, 16);
    for (int i = 0; i < n; ++i) scaled[i] = pattern[i] * w;
    cairo_set_dash(cr, scaled, n, pen->GetDashOffset() * w);
  } else {
    cairo_set_dash(cr, nullptr, 0, 0);
  }
}

bool SetPenSource(cairo_t* cr, const TGPPen* pen) {
  if (const TGPBrush* b = pen->GetBrush()) return SetBrushSource(cr, b);
  ARGB c;
  pen->GetColor(&c);
  SetColorSource(cr, c);
  return true;
}

// Paths of the basic shapes.
void EmitEllipse(cairo_t* cr, const TGPRectF& r) {
  TGPGraphicsPath p;
  p.AddEllipse(r);
  EmitPath(cr, p.Points(), p.Types());
}

}  // namespace

bool HalfPixelMode(PixelOffsetMode mode) {
  return mode == PixelOffsetModeHalf || mode == PixelOffsetModeHighQuality;
}

void SetColorSource(cairo_t* cr, ARGB c) {
  cairo_set_source_rgba(cr, GetRed(c) / 255.0, GetGreen(c) / 255.0, GetBlue(c) / 255.0, GetAlpha(c) / 255.0);
}

cairo_fill_rule_t FillRuleOf(FillMode mode) {
  return mode == FillModeWinding ? CAIRO_FILL_RULE_WINDING : CAIRO_FILL_RULE_EVEN_ODD;
}

void EmitRect(cairo_t* cr, const TGPRectF& r) { cairo_rectangle(cr, r.X, r.Y, r.Width, r.Height); }

void EmitPath(cairo_t* cr, const std::vector<TGPPointF>& pts, const std::vector<BYTE>& types) {
  size_t n = std::min(pts.size(), types.size());
  for (size_t i = 0; i < n; ++i) {
    BYTE t = types[i] & PathPointTypePathTypeMask;
    size_t closeAt = i;
    if (t == PathPointTypeStart) {
      cairo_move_to(cr, pts[i].X, pts[i].Y);
    } else if (t == PathPointTypeBezier && i + 2 < n) {
      cairo_curve_to(cr, pts[i].X, pts[i].Y, pts[i + 1].X, pts[i + 1].Y, pts[i + 2].X, pts[i + 2].Y);
      closeAt = i + 2;
      i += 2;
    } else {
      cairo_line_to(cr, pts[i].X, pts[i].Y);
    }
    if (types[closeAt] & PathPointTypeCloseSubpath) cairo_close_path(cr);
  }
}

bool SetBrushSource(cairo_t* cr, const TGPBrush* brush) {
  if (!brush) return false;
  if (brush->GetType() == BrushTypeSolidColor) {
    SetColorSource(cr, static_cast<const TGPSolidBrush*>(brush)->Color());
    return true;
  }
  if (brush->GetType() != BrushTypeLinearGradient) return false;
  auto* g = static_cast<const TGPLinearGradientBrush*>(brush);
  double a = g->ParamA(), b = g->ParamB(), c = g->ParamC();
  if (!(a != 0 || b != 0) || !Finite(a) || !Finite(b) || !Finite(c)) return false;
  cairo_matrix_t param, brushToWorld = ToCairo(g->Transform()), worldToBrush = brushToWorld, m;
  if (cairo_matrix_invert(&worldToBrush) != CAIRO_STATUS_SUCCESS) return false;
  // Pattern x is the gradient parameter; pattern y any independent direction.
  cairo_matrix_init(&param, a, -b, b, a, c, 0);
  cairo_matrix_multiply(&m, &worldToBrush, &param);
  cairo_pattern_t* pat = cairo_pattern_create_linear(0, 0, 1, 0);
  auto stop = [pat](double pos, ARGB col) {
    cairo_pattern_add_color_stop_rgba(pat, pos, GetRed(col) / 255.0, GetGreen(col) / 255.0,
                                      GetBlue(col) / 255.0, GetAlpha(col) / 255.0);
  };
  if (!g->PresetColors().empty()) {
    for (size_t i = 0; i < g->PresetColors().size(); ++i) stop(g->PresetPositions()[i], g->PresetColors()[i]);
  } else {
    stop(0, g->Color1());
    stop(1, g->Color2());
  }
  cairo_pattern_set_extend(pat, g->GetWrapMode() == WrapModeTile ? CAIRO_EXTEND_REPEAT : CAIRO_EXTEND_REFLECT);
  cairo_pattern_set_matrix(pat, &m);
  cairo_set_source(cr, pat);
  cairo_pattern_destroy(pat);
  return true;
}

// ---- GpGraphicsData ------------------------------------------------------------------------------

GpGraphicsData::~GpGraphicsData() {
  if (FCr) cairo_destroy(FCr);
  if (FAppliedDcClip) cairo_region_destroy(FAppliedDcClip);
}

TPoint GpGraphicsData::Origin() const { return Dc ? Dc->Offset() : TPoint{}; }

double GpGraphicsData::Shift() const { return HalfPixelMode(S.PixelOffset) ? 0.0 : 0.5; }

cairo_matrix_t GpGraphicsData::DeviceMatrix() const {
  TPoint o = Origin();
  double sh = Shift();
  cairo_matrix_t t, r;
  cairo_matrix_init_translate(&t, o.X + sh, o.Y + sh);
  cairo_matrix_multiply(&r, &S.World, &t);
  return r;
}

double GpGraphicsData::Dpi() const { return Dc ? Dc->Dpi : 96.0; }

TGPRectF GpGraphicsData::TargetBounds() const {
  if (Dc) {
    cairo_rectangle_int_t e;
    cairo_region_get_extents(Dc->Clip(), &e);
    return {REAL(e.x), REAL(e.y), REAL(e.width), REAL(e.height)};
  }
  GpImageData* d = Image->Data();
  return {0, 0, REAL(d->Width), REAL(d->Height)};
}

bool GpGraphicsData::ClipItemBounds(TGPRectF& r) const {
  bool bounded = false;
  for (const GpClipItem& c : S.Clip) {
    if (c.Exclude) continue;
    if (!bounded) {
      r = c.Bounds;
      bounded = true;
    } else {
      IntersectRectF(r, c.Bounds);
    }
  }
  return bounded;
}

void GpGraphicsData::ApplyClip() {
  const cairo_region_t* dcClip = Dc ? Dc->Clip() : nullptr;
  TPoint org = Origin();
  double sh = Shift();
  if (FClipApplied && FAppliedVersion == ClipVersion &&
      (S.Clip.empty() || (org == FAppliedOrigin && sh == FAppliedShift)) &&
      (!Dc || (FAppliedDcClip && cairo_region_equal(FAppliedDcClip, dcClip))))
    return;
  cairo_reset_clip(FCr);
  cairo_identity_matrix(FCr);
  cairo_new_path(FCr);
  cairo_set_antialias(FCr, CAIRO_ANTIALIAS_NONE);
  if (dcClip) {
    int n = cairo_region_num_rectangles(dcClip);
    for (int i = 0; i < n; ++i) {
      cairo_rectangle_int_t r;
      cairo_region_get_rectangle(dcClip, i, &r);
      cairo_rectangle(FCr, r.x, r.y, r.width, r.height);
    }
    if (n == 0) cairo_rectangle(FCr, 0, 0, 0, 0);
    cairo_set_fill_rule(FCr, CAIRO_FILL_RULE_WINDING);
    cairo_clip(FCr);
  }
  for (const GpClipItem& c : S.Clip) {
    cairo_identity_matrix(FCr);
    cairo_translate(FCr, org.X + sh, org.Y + sh);
    EmitPath(FCr, c.Points, c.Types);
    if (c.Exclude) {
      cairo_identity_matrix(FCr);
      cairo_rectangle(FCr, -kHuge, -kHuge, 2 * kHuge, 2 * kHuge);
      cairo_set_fill_rule(FCr, CAIRO_FILL_RULE_EVEN_ODD);
    } else {
      cairo_set_fill_rule(FCr, FillRuleOf(c.Fill));
    }
    cairo_clip(FCr);
  }
  cairo_identity_matrix(FCr);
  FClipApplied = true;
  FAppliedVersion = ClipVersion;
  FAppliedOrigin = org;
  FAppliedShift = sh;
  if (FAppliedDcClip) cairo_region_destroy(FAppliedDcClip);
  FAppliedDcClip = dcClip ? cairo_region_copy(dcClip) : nullptr;
}

cairo_t* GpGraphicsData::Begin(Status& status) {
  cairo_surface_t* surf = nullptr;
  if (Dc) {
    surf = Dc->BeginDraw();
    if (!surf) {
      status = Win32Error;
      return nullptr;
    }
  } else {
    GpImageData* d = Image ? Image->Data() : nullptr;
    if (!d || !d->Valid()) {
      status = InvalidParameter;
      return nullptr;
    }
    if (d->Locked) {
      status = ObjectBusy;
      return nullptr;
    }
    surf = d->BeginTarget();
    if (!surf) {
      status = OutOfMemory;
      return nullptr;
    }
  }
  if (FCr && (FCrSurface != surf || cairo_status(FCr) != CAIRO_STATUS_SUCCESS)) {
    cairo_destroy(FCr);
    FCr = nullptr;
  }
  if (!FCr) {
    FCr = cairo_create(surf);
    FCrSurface = surf;
    FClipApplied = false;
  }
  ApplyClip();
  cairo_save(FCr);
  cairo_matrix_t m = DeviceMatrix();
  cairo_set_matrix(FCr, &m);
  bool aa = S.Smoothing == SmoothingModeHighQuality || S.Smoothing == SmoothingModeAntiAlias ||
            S.Smoothing == SmoothingModeAntiAlias8x8;
  cairo_set_antialias(FCr, aa ? CAIRO_ANTIALIAS_GRAY : CAIRO_ANTIALIAS_NONE);
  cairo_set_operator(FCr, S.Compositing == CompositingModeSourceCopy ? CAIRO_OPERATOR_SOURCE
                                                                      : CAIRO_OPERATOR_OVER);
  cairo_new_path(FCr);
  status = Ok;
  return FCr;
}

void GpGraphicsData::End() {
  cairo_restore(FCr);
  if (Dc)
    Dc->EndDraw();
  else
    Image->Data()->EndTarget();
}

// ---- TGPGraphics: construction and modes ------------------------------------------------------------

TGPGraphics::TGPGraphics(HDC dc) : FData(std::make_unique<GpGraphicsData>()) {
  FData->Dc = dc;
  if (!dc) FData->Last = InvalidParameter;
}

TGPGraphics::TGPGraphics(TGPImage* image) : FData(std::make_unique<GpGraphicsData>()) {
  if (!image || !image->Data()->Valid()) {
    FData->Last = InvalidParameter;
    return;
  }
  if (image->Data()->Locked) {
    FData->Last = ObjectBusy;
    return;
  }
  FData->Image = image;
}

TGPGraphics::~TGPGraphics() = default;

Status TGPGraphics::GetLastStatus() {
  Status s = FData->Last;
  FData->Last = Ok;
  return s;
}

namespace {
template <class E>
Status SetMode(GpGraphicsData& g, E& slot, E value, int lo, int hi) {
  if (int(value) < lo || int(value) > hi) return g.Fail(InvalidParameter);
  slot = value;
  return Ok;
}
}  // namespace

Status TGPGraphics::SetCompositingMode(CompositingMode m) { return SetMode(*FData, FData->S.Compositing, m, 0, 1); }
CompositingMode TGPGraphics::GetCompositingMode() const { return FData->S.Compositing; }
Status TGPGraphics::SetCompositingQuality(CompositingQuality q) { return SetMode(*FData, FData->S.CompQuality, q, 0, 4); }
CompositingQuality TGPGraphics::GetCompositingQuality() const { return FData->S.CompQuality; }
Status TGPGraphics::SetInterpolationMode(InterpolationMode m) {
  return SetMode(*FData, FData->S.Interpolation, m, 0, 7);
}
InterpolationMode TGPGraphics::GetInterpolationMode() const { return FData->S.Interpolation; }
Status TGPGraphics::SetPixelOffsetMode(PixelOffsetMode m) { return SetMode(*FData, FData->S.PixelOffset, m, 0, 4); }
PixelOffsetMode TGPGraphics::GetPixelOffsetMode() const { return FData->S.PixelOffset; }
Status TGPGraphics::SetSmoothingMode(SmoothingMode m) { return SetMode(*FData, FData->S.Smoothing, m, 0, 5); }
SmoothingMode TGPGraphics::GetSmoothingMode() const { return FData->S.Smoothing; }
Status TGPGraphics::SetTextRenderingHint(TextRenderingHint h) { return SetMode(*FData, FData->S.TextHint, h, 0, 5); }
TextRenderingHint TGPGraphics::GetTextRenderingHint() const { return FData->S.TextHint; }
Status TGPGraphics::SetTextContrast(UINT c) {
  if (c > 12) return FData->Fail(InvalidParameter);
  FData->S.TextContrast = c;
  return Ok;
}
UINT TGPGraphics::GetTextContrast() const { return FData->S.TextContrast; }
REAL TGPGraphics::GetDpiX() const { return REAL(FData->Dpi()); }
REAL TGPGraphics::GetDpiY() const { return REAL(FData->Dpi()); }

// ---- Transform ----------------------------------------------------------------------------------------

Status TGPGraphics::SetTransform(const TGPMatrix* matrix) {
  if (!matrix) return FData->Fail(InvalidParameter);
  cairo_matrix_t m = ToCairo(*matrix);
  if (!Invertible(m)) return FData->Fail(InvalidParameter);
  FData->S.World = m;
  return Ok;
}

Status TGPGraphics::GetTransform(TGPMatrix* matrix) const {
  if (!matrix) return InvalidParameter;
  const cairo_matrix_t& w = FData->S.World;
  return matrix->SetElements(REAL(w.xx), REAL(w.yx), REAL(w.xy), REAL(w.yy), REAL(w.x0), REAL(w.y0));
}

Status TGPGraphics::ResetTransform() {
  cairo_matrix_init_identity(&FData->S.World);
  return Ok;
}

Status TGPGraphics::MultiplyTransform(const TGPMatrix* matrix, MatrixOrder order) {
  if (!matrix) return FData->Fail(InvalidParameter);
  Status s = Combine(FData->S.World, ToCairo(*matrix), order);
  return s == Ok ? s : FData->Fail(s);
}

Status TGPGraphics::TranslateTransform(REAL dx, REAL dy, MatrixOrder order) {
  if (!Finite(dx) || !Finite(dy)) return FData->Fail(InvalidParameter);
  cairo_matrix_t m;
  cairo_matrix_init_translate(&m, dx, dy);
  Status s = Combine(FData->S.World, m, order);
  return s == Ok ? s : FData->Fail(s);
}

Status TGPGraphics::ScaleTransform(REAL sx, REAL sy, MatrixOrder order) {
  cairo_matrix_t m;
  cairo_matrix_init_scale(&m, sx, sy);
  Status s = Combine(FData->S.World, m, order);
  return s == Ok ? s : FData->Fail(s);
}

Status TGPGraphics::RotateTransform(REAL angle, MatrixOrder order) {
  if (!Finite(angle)) return FData->Fail(InvalidParameter);
  cairo_matrix_t m;
  cairo_matrix_init_rotate(&m, angle * M_PI / 180.0);
  Status s = Combine(FData->S.World, m, order);
  return s == Ok ? s : FData->Fail(s);
}

// ---- Clipping -----------------------------------------------------------------------------------------

namespace {

Status AddClip(GpGraphicsData& g, GpClipItem item, CombineMode mode) {
  if (mode == CombineModeUnion || mode == CombineModeXor || mode == CombineModeComplement)
    return g.Fail(NotImplemented);
  if (mode < CombineModeReplace || mode > CombineModeComplement) return g.Fail(InvalidParameter);
  item.Bounds = BoundsOf(item.Points);
  item.Exclude = mode == CombineModeExclude;
  if (mode == CombineModeReplace) g.S.Clip.clear();
  g.S.Clip.push_back(std::move(item));
  ++g.ClipVersion;
  return Ok;
}

GpClipItem WorldRectItem(const cairo_matrix_t& world, const TGPRectF& r) {
  GpClipItem c;
  TGPRectF n = r;
  if (n.Width < 0) { n.X += n.Width; n.Width = -n.Width; }
  if (n.Height < 0) { n.Y += n.Height; n.Height = -n.Height; }
  c.Points = {Apply(world, {n.X, n.Y}), Apply(world, {n.X + n.Width, n.Y}),
              Apply(world, {n.X + n.Width, n.Y + n.Height}), Apply(world, {n.X, n.Y + n.Height})};
  c.Types = {PathPointTypeStart, PathPointTypeLine, PathPointTypeLine,
             BYTE(PathPointTypeLine | PathPointTypeCloseSubpath)};
  return c;
}

}  // namespace

Status TGPGraphics::SetClip(const TGPRectF& rect, CombineMode mode) {
  if (!Finite(rect)) return FData->Fail(InvalidParameter);
  return AddClip(*FData, WorldRectItem(FData->S.World, rect), mode);
}

Status TGPGraphics::SetClip(const TGPRect& rect, CombineMode mode) { return SetClip(ToRectF(rect), mode); }

Status TGPGraphics::SetClip(const TGPGraphicsPath* path, CombineMode mode) {
  if (!path) return FData->Fail(InvalidParameter);
  GpClipItem c;
  c.Points.reserve(path->Points().size());
  for (const TGPPointF& p : path->Points()) c.Points.push_back(Apply(FData->S.World, p));
  c.Types = path->Types();
  c.Fill = path->GetFillMode();
  return AddClip(*FData, std::move(c), mode);
}

Status TGPGraphics::SetClip(const TGPGraphics* g, CombineMode mode) {
  if (!g) return FData->Fail(InvalidParameter);
  if (mode == CombineModeReplace) {
    FData->S.Clip = g->FData->S.Clip;
    ++FData->ClipVersion;
    return Ok;
  }
  if (mode != CombineModeIntersect) return FData->Fail(NotImplemented);
  for (const GpClipItem& c : g->FData->S.Clip) FData->S.Clip.push_back(c);
  ++FData->ClipVersion;
  return Ok;
}

Status TGPGraphics::SetClip(HRGN rgn, CombineMode mode) {
  if (!rgn) return FData->Fail(InvalidParameter);
  GpClipItem c;
  c.Fill = FillModeWinding;
  int n = cairo_region_num_rectangles(rgn->Rgn);
  for (int i = 0; i < n; ++i) {
    cairo_rectangle_int_t r;
    cairo_region_get_rectangle(rgn->Rgn, i, &r);
    REAL x0 = REAL(r.x), y0 = REAL(r.y), x1 = REAL(r.x + r.width), y1 = REAL(r.y + r.height);
    c.Points.insert(c.Points.end(), {{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}});
    c.Types.insert(c.Types.end(), {PathPointTypeStart, PathPointTypeLine, PathPointTypeLine,
                                   BYTE(PathPointTypeLine | PathPointTypeCloseSubpath)});
  }
  if (n == 0) {
    c.Points = {{0, 0}, {0, 0}, {0, 0}};
    c.Types = {PathPointTypeStart, PathPointTypeLine, BYTE(PathPointTypeLine | PathPointTypeCloseSubpath)};
  }
  return AddClip(*FData, std::move(c), mode);
}

Status TGPGraphics::ResetClip() {
  FData->S.Clip.clear();
  ++FData->ClipVersion;
  return Ok;
}

Status TGPGraphics::TranslateClip(REAL dx, REAL dy) {
  if (!Finite(dx) || !Finite(dy)) return FData->Fail(InvalidParameter);
  double vx = dx, vy = dy;
  cairo_matrix_transform_distance(&FData->S.World, &vx, &vy);
  for (GpClipItem& c : FData->S.Clip) {
    for (TGPPointF& p : c.Points) {
      p.X += REAL(vx);
      p.Y += REAL(vy);
    }
    c.Bounds.Offset(REAL(vx), REAL(vy));
  }
  ++FData->ClipVersion;
  return Ok;
}

Status TGPGraphics::GetClipBounds(TGPRectF* rect) const {
  if (!rect) return InvalidParameter;
  TGPRectF dev;
  if (!FData->ClipItemBounds(dev)) {
    *rect = {REAL(-kHuge), REAL(-kHuge), REAL(2 * kHuge), REAL(2 * kHuge)};
    return Ok;
  }
  cairo_matrix_t inv = FData->S.World;
  cairo_matrix_invert(&inv);
  *rect = dev.IsEmptyArea() ? TGPRectF{} : MapBounds(inv, dev);
  return Ok;
}

Status TGPGraphics::GetClipBounds(TGPRect* rect) const {
  if (!rect) return InvalidParameter;
  TGPRectF r;
  GetClipBounds(&r);
  int x0 = int(std::floor(r.X)), y0 = int(std::floor(r.Y));
  *rect = {x0, y0, int(std::ceil(r.X + r.Width)) - x0, int(std::ceil(r.Y + r.Height)) - y0};
  return Ok;
}

Status TGPGraphics::GetVisibleClipBounds(TGPRectF* rect) const {
  if (!rect) return InvalidParameter;
  if (!FData->Dc && !FData->Image) return InvalidParameter;
  TGPRectF dev = FData->TargetBounds();
  TPoint o = FData->Origin();
  dev.Offset(REAL(-o.X), REAL(-o.Y));
  TGPRectF items;
  if (FData->ClipItemBounds(items)) IntersectRectF(dev, items);
  cairo_matrix_t inv = FData->S.World;
  cairo_matrix_invert(&inv);
  *rect = dev.IsEmptyArea() ? TGPRectF{} : MapBounds(inv, dev);
  return Ok;
}

bool TGPGraphics::IsClipEmpty() const {
  TGPRectF r;
  return FData->ClipItemBounds(r) && r.IsEmptyArea();
}

bool TGPGraphics::IsVisible(REAL x, REAL y) const {
  if (!FData->Dc && !FData->Image) return false;
  TGPPointF d = Apply(FData->S.World, {x, y});
  TPoint o = FData->Origin();
  double sx = d.X + o.X, sy = d.Y + o.Y;
  TGPRectF bounds = FData->TargetBounds();
  if (!bounds.Contains(REAL(sx), REAL(sy))) return false;
  if (FData->Dc && !cairo_region_contains_point(FData->Dc->Clip(), int(std::floor(sx)), int(std::floor(sy))))
    return false;
  if (FData->S.Clip.empty()) return true;
  // Hit-test the clip shapes on a scratch context.
  cairo_surface_t* scratch = cairo_image_surface_create(CAIRO_FORMAT_A8, 1, 1);
  cairo_t* cr = cairo_create(scratch);
  cairo_surface_destroy(scratch);
  bool inside = true;
  for (const GpClipItem& c : FData->S.Clip) {
    cairo_new_path(cr);
    EmitPath(cr, c.Points, c.Types);
    cairo_set_fill_rule(cr, FillRuleOf(c.Fill));
    bool in = cairo_in_fill(cr, d.X, d.Y);
    if (in == c.Exclude) {
      inside = false;
      break;
    }
  }
  cairo_destroy(cr);
  return inside;
}

// ---- Saved states -----------------------------------------------------------------------------------

GraphicsState TGPGraphics::Save() {
  GraphicsState id = FData->NextState++;
  FData->Saved.emplace_back(id, FData->S);
  return id;
}

Status TGPGraphics::Restore(GraphicsState state) {
  auto& saved = FData->Saved;
  for (size_t i = saved.size(); i-- > 0;) {
    if (saved[i].first == state) {
      FData->S = std::move(saved[i].second);
      saved.resize(i);
      ++FData->ClipVersion;
      return Ok;
    }
  }
  return FData->Fail(InvalidParameter);
}

// ---- Drawing ------------------------------------------------------------------------------------------

namespace {

template <class F>
Status FillShape(GpGraphicsData& g, const TGPBrush* brush, cairo_fill_rule_t rule, F&& emit) {
  if (!brush) return g.Fail(InvalidParameter);
  Status st;
  cairo_t* cr = g.Begin(st);
  if (!cr) return g.Fail(st);
  emit(cr);
  if (!SetBrushSource(cr, brush)) {
    g.End();
    return g.Fail(InvalidParameter);
  }
  cairo_set_fill_rule(cr, rule);
  cairo_fill(cr);
  g.End();
  return Ok;
}

// closed: every figure is closed, so an inset pen can be drawn inside it.
template <class F>
Status StrokeShape(GpGraphicsData& g, const TGPPen* pen, bool closed, cairo_fill_rule_t rule, F&& emit) {
  if (!pen) return g.Fail(InvalidParameter);
  Status st;
  cairo_t* cr = g.Begin(st);
  if (!cr) return g.Fail(st);
  emit(cr);
  if (!SetPenSource(cr, pen)) {
    g.End();
    return g.Fail(InvalidParameter);
  }
  if (closed && pen->GetAlignment() == PenAlignmentInset && pen->GetWidth() > 0) {
    // The inner half of a stroke twice as wide.
    cairo_set_fill_rule(cr, rule);
    cairo_clip_preserve(cr);
    ApplyPen(cr, pen, 2.0);
  } else {
    ApplyPen(cr, pen);
  }
  cairo_stroke(cr);
  g.End();
  return Ok;
}

}  // namespace

Status TGPGraphics::Clear(ARGB color) {
  Status st;
  cairo_t* cr = FData->Begin(st);
  if (!cr) return FData->Fail(st);
  cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
  SetColorSource(cr, color);
  cairo_paint(cr);
  FData->End();
  return Ok;
}

Status TGPGraphics::DrawLine(const TGPPen* pen, REAL x1, REAL y1, REAL x2, REAL y2) {
  if (!Finite(x1) || !Finite(y1) || !Finite(x2) || !Finite(y2)) return FData->Fail(InvalidParameter);
  return StrokeShape(*FData, pen, false, CAIRO_FILL_RULE_WINDING, [&](cairo_t* cr) {
    cairo_move_to(cr, x1, y1);
    cairo_line_to(cr, x2, y2);
  });
}

Status TGPGraphics::DrawLines(const TGPPen* pen, const TGPPointF* pts, int count) {
  if (!pts || count < 2 || !Finite(pts, count)) return FData->Fail(InvalidParameter);
  return StrokeShape(*FData, pen, false, CAIRO_FILL_RULE_WINDING, [&](cairo_t* cr) {
    cairo_move_to(cr, pts[0].X, pts[0].Y);
    for (int i = 1; i < count; ++i) cairo_line_to(cr, pts[i].X, pts[i].Y);
  });
}

Status TGPGraphics::DrawArc(const TGPPen* pen, const TGPRectF& rect, REAL start, REAL sweep) {
  if (!Finite(rect) || !Finite(start) || !Finite(sweep)) return FData->Fail(InvalidParameter);
  TGPGraphicsPath p;
  p.AddArc(rect, start, sweep);
  return StrokeShape(*FData, pen, false, CAIRO_FILL_RULE_WINDING,
                     [&](cairo_t* cr) { EmitPath(cr, p.Points(), p.Types()); });
}

Status TGPGraphics::DrawBezier(const TGPPen* pen, const TGPPointF& p1, const TGPPointF& p2,
                               const TGPPointF& p3, const TGPPointF& p4) {
  TGPPointF pts[4] = {p1, p2, p3, p4};
  if (!Finite(pts, 4)) return FData->Fail(InvalidParameter);
  return StrokeShape(*FData, pen, false, CAIRO_FILL_RULE_WINDING, [&](cairo_t* cr) {
    cairo_move_to(cr, p1.X, p1.Y);
    cairo_curve_to(cr, p2.X, p2.Y, p3.X, p3.Y, p4.X, p4.Y);
  });
}

Status TGPGraphics::DrawRectangle(const TGPPen* pen, const TGPRectF& rect) {
  if (!Finite(rect)) return FData->Fail(InvalidParameter);
  return StrokeShape(*FData, pen, true, CAIRO_FILL_RULE_WINDING, [&](cairo_t* cr) { EmitRect(cr, rect); });
}

Status TGPGraphics::DrawEllipse(const TGPPen* pen, const TGPRectF& rect) {
  if (!Finite(rect)) return FData->Fail(InvalidParameter);
  return StrokeShape(*FData, pen, true, CAIRO_FILL_RULE_WINDING, [&](cairo_t* cr) { EmitEllipse(cr, rect); });
}

Status TGPGraphics::DrawPie(const TGPPen* pen, const TGPRectF& rect, REAL start, REAL sweep) {
  if (!Finite(rect) || !Finite(start) || !Finite(sweep)) return FData->Fail(InvalidParameter);
  TGPGraphicsPath p;
  p.AddPie(rect.X, rect.Y, rect.Width, rect.Height, start, sweep);
  return StrokeShape(*FData, pen, true, CAIRO_FILL_RULE_WINDING,
                     [&](cairo_t* cr) { EmitPath(cr, p.Points(), p.Types()); });
}

Status TGPGraphics::DrawPolygon(const TGPPen* pen, const TGPPointF* pts, int count) {
  if (!pts || count < 2 || !Finite(pts, count)) return FData->Fail(InvalidParameter);
  return StrokeShape(*FData, pen, true, CAIRO_FILL_RULE_EVEN_ODD, [&](cairo_t* cr) {
    cairo_move_to(cr, pts[0].X, pts[0].Y);
    for (int i = 1; i < count; ++i) cairo_line_to(cr, pts[i].X, pts[i].Y);
    cairo_close_path(cr);
  });
}

Status TGPGraphics::DrawPath(const TGPPen* pen, const TGPGraphicsPath* path) {
  if (!path || !Finite(path->Points().data(), path->GetPointCount())) return FData->Fail(InvalidParameter);
  bool closed = !path->Types().empty();
  for (size_t i = 0; i < path->Types().size(); ++i) {
    bool last = i + 1 == path->Types().size() ||
                (path->Types()[i + 1] & PathPointTypePathTypeMask) == PathPointTypeStart;
    if (last && !(path->Types()[i] & PathPointTypeCloseSubpath)) closed = false;
  }
  return StrokeShape(*FData, pen, closed, FillRuleOf(path->GetFillMode()),
                     [&](cairo_t* cr) { EmitPath(cr, path->Points(), path->Types()); });
}

Status TGPGraphics::FillRectangle(const TGPBrush* brush, const TGPRectF& rect) {
  if (!Finite(rect)) return FData->Fail(InvalidParameter);
  return FillShape(*FData, brush, CAIRO_FILL_RULE_WINDING, [&](cairo_t* cr) { EmitRect(cr, rect); });
}

Status TGPGraphics::FillRectangles(const TGPBrush* brush, const TGPRectF* rects, int count) {
  if (!rects || count <= 0) return FData->Fail(InvalidParameter);
  for (int i = 0; i < count; ++i)
    if (!Finite(rects[i])) return FData->Fail(InvalidParameter);
  return FillShape(*FData, brush, CAIRO_FILL_RULE_WINDING, [&](cairo_t* cr) {
    for (int i = 0; i < count; ++i) EmitRect(cr, rects[i]);
  });
}

Status TGPGraphics::FillEllipse(const TGPBrush* brush, const TGPRectF& rect) {
  if (!Finite(rect)) return FData->Fail(InvalidParameter);
  return FillShape(*FData, brush, CAIRO_FILL_RULE_WINDING, [&](cairo_t* cr) { EmitEllipse(cr, rect); });
}

Status TGPGraphics::FillPie(const TGPBrush* brush, const TGPRectF& rect, REAL start, REAL sweep) {
  if (!Finite(rect) || !Finite(start) || !Finite(sweep)) return FData->Fail(InvalidParameter);
  TGPGraphicsPath p;
  p.AddPie(rect.X, rect.Y, rect.Width, rect.Height, start, sweep);
  return FillShape(*FData, brush, CAIRO_FILL_RULE_WINDING,
                   [&](cairo_t* cr) { EmitPath(cr, p.Points(), p.Types()); });
}

Status TGPGraphics::FillPolygon(const TGPBrush* brush, const TGPPointF* pts, int count, FillMode fillMode) {
  if (!pts || count < 3 || !Finite(pts, count)) return FData->Fail(InvalidParameter);
  return FillShape(*FData, brush, FillRuleOf(fillMode), [&](cairo_t* cr) {
    cairo_move_to(cr, pts[0].X, pts[0].Y);
    for (int i = 1; i < count; ++i) cairo_line_to(cr, pts[i].X, pts[i].Y);
    cairo_close_path(cr);
  });
}

Status TGPGraphics::FillPath(const TGPBrush* brush, const TGPGraphicsPath* path) {
  if (!path || !Finite(path->Points().data(), path->GetPointCount())) return FData->Fail(InvalidParameter);
  return FillShape(*FData, brush, FillRuleOf(path->GetFillMode()),
                   [&](cairo_t* cr) { EmitPath(cr, path->Points(), path->Types()); });
}

// ---- Images and text ------------------------------------------------------------------------------------

Status TGPGraphics::DrawImage(TGPImage* image, REAL x, REAL y) {
  if (!image) return FData->Fail(InvalidParameter);
  REAL w = REAL(image->GetWidth()), h = REAL(image->GetHeight());
  return DrawImage(image, TGPRectF{x, y, w, h}, 0, 0, w, h, UnitPixel);
}

Status TGPGraphics::DrawImage(TGPImage* image, REAL x, REAL y, REAL width, REAL height) {
  if (!image) return FData->Fail(InvalidParameter);
  return DrawImage(image, TGPRectF{x, y, width, height}, 0, 0, REAL(image->GetWidth()),
                   REAL(image->GetHeight()), UnitPixel);
}

Status TGPGraphics::DrawImage(TGPImage* image, REAL x, REAL y, REAL srcx, REAL srcy, REAL srcwidth,
                              REAL srcheight, Unit srcUnit) {
  return DrawImage(image, TGPRectF{x, y, srcwidth, srcheight}, srcx, srcy, srcwidth, srcheight, srcUnit);
}

Status TGPGraphics::DrawImage(TGPImage* image, const TGPRectF& destRect, REAL srcx, REAL srcy,
                              REAL srcwidth, REAL srcheight, Unit srcUnit,
                              const TGPImageAttributes* attributes) {
  if (!image || !Finite(destRect) || !Finite(srcx) || !Finite(srcy) || !Finite(srcwidth) ||
      !Finite(srcheight))
    return FData->Fail(InvalidParameter);
  if (srcUnit != UnitPixel && srcUnit != UnitWorld) return FData->Fail(NotImplemented);
  Status s = GpDrawImage(*FData, image, destRect, TGPRectF{srcx, srcy, srcwidth, srcheight}, attributes);
  return s == Ok ? s : FData->Fail(s);
}

Status TGPGraphics::DrawString(const Char* string, int length, const TGPFont* font,
                               const TGPRectF& layoutRect, const TGPStringFormat* format,
                               const TGPBrush* brush) {
  if (!Finite(layoutRect)) return FData->Fail(InvalidParameter);
  Status s = GpDrawString(*FData, string, length, font, layoutRect, false, format, brush);
  return s == Ok ? s : FData->Fail(s);
}

Status TGPGraphics::DrawString(const Char* string, int length, const TGPFont* font,
                               const TGPPointF& origin, const TGPStringFormat* format,
                               const TGPBrush* brush) {
  if (!Finite(origin.X) || !Finite(origin.Y)) return FData->Fail(InvalidParameter);
  Status s = GpDrawString(*FData, string, length, font, TGPRectF{origin.X, origin.Y, 0, 0}, true,
                          format, brush);
  return s == Ok ? s : FData->Fail(s);
}

Status TGPGraphics::MeasureString(const Char* string, int length, const TGPFont* font,
                                  const TGPRectF& layoutRect, const TGPStringFormat* format,
                                  TGPRectF* box, int* fitted, int* lines) const {
  if (!Finite(layoutRect)) return InvalidParameter;
  return GpMeasureString(*FData, string, length, font, layoutRect, false, format, box, fitted, lines);
}

Status TGPGraphics::MeasureString(const Char* string, int length, const TGPFont* font,
                                  const TGPPointF& origin, const TGPStringFormat* format,
                                  TGPRectF* box) const {
  if (!Finite(origin.X) || !Finite(origin.Y)) return InvalidParameter;
  return GpMeasureString(*FData, string, length, font, TGPRectF{origin.X, origin.Y, 0, 0}, true,
                         format, box, nullptr, nullptr);
}

}  // namespace vcl
