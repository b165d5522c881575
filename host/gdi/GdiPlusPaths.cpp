// GDI+ geometry and paint: matrices, paths (lines, arcs, Bezier curves, rectangles,
// ellipses, polygons), the rounded-rectangle helper, solid and linear-gradient brushes, pens.
#include <cairo.h>

#include <algorithm>
#include <cmath>

#include "host/gdi/GdiPlus.h"

namespace vcl {

namespace {

bool Finite(double v) { return std::isfinite(v); }

cairo_matrix_t ToCairo(const REAL* m) {
  cairo_matrix_t c;
  cairo_matrix_init(&c, m[0], m[1], m[2], m[3], m[4], m[5]);
  return c;
}

void FromCairo(const cairo_matrix_t& c, REAL* m) {
  m[0] = REAL(c.xx);
  m[1] = REAL(c.yx);
  m[2] = REAL(c.xy);
  m[3] = REAL(c.yy);
  m[4] = REAL(c.x0);
  m[5] = REAL(c.y0);
}

}  // namespace

// ---- TGPMatrix -------------------------------------------------------------------------------------

TGPMatrix::TGPMatrix(REAL m11, REAL m12, REAL m21, REAL m22, REAL dx, REAL dy) {
  SetElements(m11, m12, m21, m22, dx, dy);
}

TGPMatrix::TGPMatrix(const TGPRectF& rect, const TGPPointF* p) {
  if (!p || rect.Width == 0 || rect.Height == 0) {
    FLastStatus = InvalidParameter;
    return;
  }
  REAL m11 = (p[1].X - p[0].X) / rect.Width, m12 = (p[1].Y - p[0].Y) / rect.Width;
  REAL m21 = (p[2].X - p[0].X) / rect.Height, m22 = (p[2].Y - p[0].Y) / rect.Height;
  SetElements(m11, m12, m21, m22, p[0].X - m11 * rect.X - m21 * rect.Y,
              p[0].Y - m12 * rect.X - m22 * rect.Y);
}

Status TGPMatrix::GetElements(REAL* m) const {
  if (!m) return InvalidParameter;
  std::copy(FM, FM + 6, m);
  return Ok;
}

Status TGPMatrix::SetElements(REAL m11, REAL m12, REAL m21, REAL m22, REAL dx, REAL dy) {
  REAL v[6] = {m11, m12, m21, m22, dx, dy};
  for (REAL x : v)
    if (!Finite(x)) return FLastStatus = InvalidParameter;
  std::copy(v, v + 6, FM);
  return Ok;
}

Status TGPMatrix::Reset() { return SetElements(1, 0, 0, 1, 0, 0); }

Status TGPMatrix::Combine(const REAL* m, MatrixOrder order) {
  cairo_matrix_t self = ToCairo(FM), other = ToCairo(m), r;
  if (order == MatrixOrderPrepend)
    cairo_matrix_multiply(&r, &other, &self);
  else if (order == MatrixOrderAppend)
    cairo_matrix_multiply(&r, &self, &other);
  else
    return FLastStatus = InvalidParameter;
  REAL out[6];
  FromCairo(r, out);
  return SetElements(out[0], out[1], out[2], out[3], out[4], out[5]);
}

Status TGPMatrix::Multiply(const TGPMatrix* matrix, MatrixOrder order) {
  if (!matrix) return FLastStatus = InvalidParameter;
  return Combine(matrix->FM, order);
}

Status TGPMatrix::Translate(REAL x, REAL y, MatrixOrder order) {
  REAL m[6] = {1, 0, 0, 1, x, y};
  return Combine(m, order);
}

Status TGPMatrix::Scale(REAL x, REAL y, MatrixOrder order) {
  REAL m[6] = {x, 0, 0, y, 0, 0};
  return Combine(m, order);
}

Status TGPMatrix::Rotate(REAL angle, MatrixOrder order) {
  double a = double(angle) * M_PI / 180.0, c = std::cos(a), s = std::sin(a);
  REAL m[6] = {REAL(c), REAL(s), REAL(-s), REAL(c), 0, 0};
  return Combine(m, order);
}

Status TGPMatrix::RotateAt(REAL angle, const TGPPointF& center, MatrixOrder order) {
  TGPMatrix r;
  r.Translate(-center.X, -center.Y, MatrixOrderAppend);
  r.Rotate(angle, MatrixOrderAppend);
  r.Translate(center.X, center.Y, MatrixOrderAppend);
  return Combine(r.FM, order);
}

Status TGPMatrix::Shear(REAL x, REAL y, MatrixOrder order) {
  REAL m[6] = {1, y, x, 1, 0, 0};
  return Combine(m, order);
}

bool TGPMatrix::IsInvertible() const {
  double det = double(FM[0]) * FM[3] - double(FM[1]) * FM[2];
  return std::fabs(det) > 1e-12;
}

Status TGPMatrix::Invert() {
  if (!IsInvertible()) return FLastStatus = InvalidParameter;
  cairo_matrix_t c = ToCairo(FM);
  cairo_matrix_invert(&c);
  FromCairo(c, FM);
  return Ok;
}

Status TGPMatrix::TransformPoints(TGPPointF* pts, int count) const {
  if (!pts || count < 0) return InvalidParameter;
  for (int i = 0; i < count; ++i) {
    REAL x = pts[i].X, y = pts[i].Y;
    pts[i] = {FM[0] * x + FM[2] * y + FM[4], FM[1] * x + FM[3] * y + FM[5]};
  }
  return Ok;
}

Status TGPMatrix::TransformVectors(TGPPointF* pts, int count) const {
  if (!pts || count < 0) return InvalidParameter;
  for (int i = 0; i < count; ++i) {
    REAL x = pts[i].X, y = pts[i].Y;
    pts[i] = {FM[0] * x + FM[2] * y, FM[1] * x + FM[3] * y};
  }
  return Ok;
}

bool TGPMatrix::IsIdentity() const {
  return FM[0] == 1 && FM[1] == 0 && FM[2] == 0 && FM[3] == 1 && FM[4] == 0 && FM[5] == 0;
}

bool TGPMatrix::Equals(const TGPMatrix* m) const { return m && std::equal(FM, FM + 6, m->FM); }

// ---- Paths -------------------------------------------------------------------------------------------

void TGPGraphicsPath::Add(const TGPPointF& p, BYTE type) {
  if (!FigureOpen()) {
    type = PathPointTypeStart;
    FNewFigure = false;
  }
  FPoints.push_back(p);
  FTypes.push_back(type);
}

TGPGraphicsPath* TGPGraphicsPath::Clone() const {
  auto* p = new TGPGraphicsPath(FFillMode);
  p->FPoints = FPoints;
  p->FTypes = FTypes;
  p->FNewFigure = FNewFigure;
  return p;
}

Status TGPGraphicsPath::Reset() {
  FPoints.clear();
  FTypes.clear();
  FNewFigure = true;
  FFillMode = FillModeAlternate;
  return Ok;
}

Status TGPGraphicsPath::SetFillMode(FillMode mode) {
  if (mode != FillModeAlternate && mode != FillModeWinding) return Fail(InvalidParameter);
  FFillMode = mode;
  return Ok;
}

Status TGPGraphicsPath::StartFigure() {
  FNewFigure = true;
  return Ok;
}

Status TGPGraphicsPath::CloseFigure() {
  if (!FTypes.empty()) FTypes.back() |= PathPointTypeCloseSubpath;
  FNewFigure = true;
  return Ok;
}

Status TGPGraphicsPath::CloseAllFigures() {
  for (size_t i = 0; i < FTypes.size(); ++i) {
    bool last = i + 1 == FTypes.size() || (FTypes[i + 1] & PathPointTypePathTypeMask) == PathPointTypeStart;
    if (last) FTypes[i] |= PathPointTypeCloseSubpath;
  }
  FNewFigure = true;
  return Ok;
}

Status TGPGraphicsPath::AddLine(REAL x1, REAL y1, REAL x2, REAL y2) {
  if (!Finite(x1) || !Finite(y1) || !Finite(x2) || !Finite(y2)) return Fail(InvalidParameter);
  Add({x1, y1}, PathPointTypeLine);
  Add({x2, y2}, PathPointTypeLine);
  return Ok;
}

Status TGPGraphicsPath::AddLines(const TGPPointF* pts, int count) {
  if (!pts || count < 1) return Fail(InvalidParameter);
  for (int i = 0; i < count; ++i)
    if (!Finite(pts[i].X) || !Finite(pts[i].Y)) return Fail(InvalidParameter);
  for (int i = 0; i < count; ++i) Add(pts[i], PathPointTypeLine);
  return Ok;
}

Status TGPGraphicsPath::AddArc(REAL x, REAL y, REAL w, REAL h, REAL start, REAL sweep) {
  if (!Finite(x) || !Finite(y) || !Finite(w) || !Finite(h) || !Finite(start) || !Finite(sweep) ||
      w <= 0 || h <= 0)
    return Fail(InvalidParameter);
  double rx = w / 2.0, ry = h / 2.0, cx = x + rx, cy = y + ry;
  // The parameter t of the ellipse point (rx cos t, ry sin t) seen from the centre at `deg`.
  auto param = [&](double deg) {
    double a = deg * M_PI / 180.0;
    return std::atan2(rx * std::sin(a), ry * std::cos(a));
  };
  double t0 = param(start), t1;
  if (std::fabs(sweep) >= 360) {
    t1 = t0 + (sweep > 0 ? 2 * M_PI : -2 * M_PI);
  } else {
    t1 = param(double(start) + sweep);
    if (sweep > 0)
      while (t1 < t0) t1 += 2 * M_PI;
    else if (sweep < 0)
      while (t1 > t0) t1 -= 2 * M_PI;
    else
      t1 = t0;
  }
  auto pt = [&](double t) { return TGPPointF{REAL(cx + rx * std::cos(t)), REAL(cy + ry * std::sin(t))}; };
  Add(pt(t0), PathPointTypeLine);
  int n = std::max(1, int(std::ceil(std::fabs(t1 - t0) / (M_PI / 2) - 1e-9)));
  if (t1 == t0) return Ok;
  double dt = (t1 - t0) / n, k = 4.0 / 3.0 * std::tan(dt / 4);
  for (int i = 0; i < n; ++i) {
    double a = t0 + i * dt, b = a + dt;
    TGPPointF p0 = pt(a), p3 = pt(b);
    TGPPointF c1{REAL(p0.X - k * rx * std::sin(a)), REAL(p0.Y + k * ry * std::cos(a))};
    TGPPointF c2{REAL(p3.X + k * rx * std::sin(b)), REAL(p3.Y - k * ry * std::cos(b))};
    Add(c1, PathPointTypeBezier);
    Add(c2, PathPointTypeBezier);
    Add(p3, PathPointTypeBezier);
  }
  return Ok;
}

Status TGPGraphicsPath::AddBezier(const TGPPointF& p1, const TGPPointF& p2, const TGPPointF& p3,
                                  const TGPPointF& p4) {
  for (const TGPPointF* p : {&p1, &p2, &p3, &p4})
    if (!Finite(p->X) || !Finite(p->Y)) return Fail(InvalidParameter);
  Add(p1, PathPointTypeLine);
  Add(p2, PathPointTypeBezier);
  Add(p3, PathPointTypeBezier);
  Add(p4, PathPointTypeBezier);
  return Ok;
}

Status TGPGraphicsPath::AddBeziers(const TGPPointF* pts, int count) {
  if (!pts || count < 4 || (count - 1) % 3 != 0) return Fail(InvalidParameter);
  for (int i = 0; i < count; ++i)
    if (!Finite(pts[i].X) || !Finite(pts[i].Y)) return Fail(InvalidParameter);
  Add(pts[0], PathPointTypeLine);
  for (int i = 1; i < count; ++i) Add(pts[i], PathPointTypeBezier);
  return Ok;
}

Status TGPGraphicsPath::AddRectangle(const TGPRectF& r) {
  if (!Finite(r.X) || !Finite(r.Y) || !Finite(r.Width) || !Finite(r.Height)) return Fail(InvalidParameter);
  StartFigure();
  Add({r.X, r.Y}, PathPointTypeStart);
  Add({r.X + r.Width, r.Y}, PathPointTypeLine);
  Add({r.X + r.Width, r.Y + r.Height}, PathPointTypeLine);
  Add({r.X, r.Y + r.Height}, PathPointTypeLine);
  return CloseFigure();
}

Status TGPGraphicsPath::AddRectangles(const TGPRectF* rects, int count) {
  if (!rects || count <= 0) return Fail(InvalidParameter);
  for (int i = 0; i < count; ++i)
    if (Status s = AddRectangle(rects[i]); s != Ok) return s;
  return Ok;
}

Status TGPGraphicsPath::AddEllipse(REAL x, REAL y, REAL w, REAL h) {
  StartFigure();
  if (Status s = AddArc(x, y, w, h, 0, 360); s != Ok) return s;
  return CloseFigure();
}

Status TGPGraphicsPath::AddPolygon(const TGPPointF* pts, int count) {
  if (!pts || count < 2) return Fail(InvalidParameter);
  for (int i = 0; i < count; ++i)
    if (!Finite(pts[i].X) || !Finite(pts[i].Y)) return Fail(InvalidParameter);
  StartFigure();
  for (int i = 0; i < count; ++i) Add(pts[i], PathPointTypeLine);
  return CloseFigure();
}

Status TGPGraphicsPath::AddPie(REAL x, REAL y, REAL w, REAL h, REAL start, REAL sweep) {
  if (!Finite(x) || !Finite(y) || !Finite(w) || !Finite(h) || w <= 0 || h <= 0)
    return Fail(InvalidParameter);
  StartFigure();
  Add({x + w / 2, y + h / 2}, PathPointTypeStart);
  if (Status s = AddArc(x, y, w, h, start, sweep); s != Ok) return s;
  return CloseFigure();
}

Status TGPGraphicsPath::AddPath(const TGPGraphicsPath* path, bool connect) {
  if (!path || path == this) return Fail(InvalidParameter);
  if (path->FPoints.empty()) return Ok;
  bool join = connect && FigureOpen();
  for (size_t i = 0; i < path->FPoints.size(); ++i) {
    BYTE t = path->FTypes[i];
    if (i == 0) t = BYTE((join ? PathPointTypeLine : PathPointTypeStart) | (t & PathPointTypeCloseSubpath));
    FPoints.push_back(path->FPoints[i]);
    FTypes.push_back(t);
  }
  FNewFigure = path->FNewFigure || (FTypes.back() & PathPointTypeCloseSubpath);
  return Ok;
}

Status TGPGraphicsPath::Transform(const TGPMatrix* matrix) {
  if (!matrix) return Fail(InvalidParameter);
  if (!FPoints.empty()) matrix->TransformPoints(FPoints.data(), int(FPoints.size()));
  return Ok;
}

Status TGPGraphicsPath::GetBounds(TGPRectF* bounds, const TGPMatrix* matrix, const TGPPen* pen) const {
  if (!bounds) return InvalidParameter;
  if (FPoints.empty()) {
    *bounds = {};
    return Ok;
  }
  std::vector<TGPPointF> pts = FPoints;
  if (matrix) matrix->TransformPoints(pts.data(), int(pts.size()));
  REAL x0 = pts[0].X, y0 = pts[0].Y, x1 = x0, y1 = y0;
  for (const TGPPointF& p : pts) {
    x0 = std::min(x0, p.X);
    y0 = std::min(y0, p.Y);
    x1 = std::max(x1, p.X);
    y1 = std::max(y1, p.Y);
  }
  REAL half = pen ? pen->GetWidth() / 2 : 0;
  *bounds = {x0 - half, y0 - half, x1 - x0 + 2 * half, y1 - y0 + 2 * half};
  return Ok;
}

Status TGPGraphicsPath::GetPathPoints(TGPPointF* points, int count) const {
  if (!points || count < int(FPoints.size())) return InsufficientBuffer;
  std::copy(FPoints.begin(), FPoints.end(), points);
  return Ok;
}

Status TGPGraphicsPath::GetPathTypes(BYTE* types, int count) const {
  if (!types || count < int(FTypes.size())) return InsufficientBuffer;
  std::copy(FTypes.begin(), FTypes.end(), types);
  return Ok;
}

Status TGPGraphicsPath::GetLastPoint(TGPPointF* p) const {
  if (!p || FPoints.empty()) return InvalidParameter;
  *p = FPoints.back();
  return Ok;
}

Status GPAddRoundRect(TGPGraphicsPath& path, const TGPRectF& rect, REAL radius) {
  TGPRectF r = rect;
  if (r.Width < 0) { r.X += r.Width; r.Width = -r.Width; }
  if (r.Height < 0) { r.Y += r.Height; r.Height = -r.Height; }
  if (!Finite(radius)) return InvalidParameter;
  REAL rad = std::clamp(radius, REAL(0), std::min(r.Width, r.Height) / 2);
  if (rad <= 0) return path.AddRectangle(r);
  REAL d = 2 * rad;
  path.StartFigure();
  path.AddArc(r.X, r.Y, d, d, 180, 90);
  path.AddArc(r.X + r.Width - d, r.Y, d, d, 270, 90);
  path.AddArc(r.X + r.Width - d, r.Y + r.Height - d, d, d, 0, 90);
  path.AddArc(r.X, r.Y + r.Height - d, d, d, 90, 90);
  return path.CloseFigure();
}

std::unique_ptr<TGPGraphicsPath> GPRoundRectPath(const TGPRectF& rect, REAL radius) {
  auto p = std::make_unique<TGPGraphicsPath>();
  GPAddRoundRect(*p, rect, radius);
  return p;
}

// ---- Brushes ------------------------------------------------------------------------------------------

Status TGPSolidBrush::GetColor(ARGB* color) const {
  if (!color) return InvalidParameter;
  *color = FColor;
  return Ok;
}

TGPLinearGradientBrush::TGPLinearGradientBrush(const TGPPointF& p1, const TGPPointF& p2, ARGB c1, ARGB c2)
    : TGPBrush(BrushTypeLinearGradient), FColor1(c1), FColor2(c2) {
  double dx = double(p2.X) - p1.X, dy = double(p2.Y) - p1.Y, len2 = dx * dx + dy * dy;
  FRect = {std::min(p1.X, p2.X), std::min(p1.Y, p2.Y), std::fabs(p2.X - p1.X), std::fabs(p2.Y - p1.Y)};
  if (!(len2 > 0) || !Finite(len2) || !Finite(p1.X) || !Finite(p1.Y)) {
    FLastStatus = InvalidParameter;
    return;
  }
  FA = REAL(dx / len2);
  FB = REAL(dy / len2);
  FC = REAL(-(dx * p1.X + dy * p1.Y) / len2);
}

TGPLinearGradientBrush::TGPLinearGradientBrush(const TGPPoint& p1, const TGPPoint& p2, ARGB c1, ARGB c2)
    : TGPLinearGradientBrush(TGPPointF{REAL(p1.X), REAL(p1.Y)}, TGPPointF{REAL(p2.X), REAL(p2.Y)}, c1, c2) {}

TGPLinearGradientBrush::TGPLinearGradientBrush(const TGPRectF& rect, ARGB c1, ARGB c2, LinearGradientMode mode)
    : TGPBrush(BrushTypeLinearGradient), FColor1(c1), FColor2(c2) {
  switch (mode) {
    case LinearGradientModeHorizontal: InitAngle(rect, 0, false); break;
    case LinearGradientModeVertical: InitAngle(rect, 90, false); break;
    case LinearGradientModeForwardDiagonal: InitAngle(rect, 45, true); break;
    case LinearGradientModeBackwardDiagonal: InitAngle(rect, 135, true); break;
    default: FLastStatus = InvalidParameter; break;
  }
}

TGPLinearGradientBrush::TGPLinearGradientBrush(const TGPRect& rect, ARGB c1, ARGB c2, LinearGradientMode mode)
    : TGPLinearGradientBrush(ToRectF(rect), c1, c2, mode) {}

TGPLinearGradientBrush::TGPLinearGradientBrush(const TGPRectF& rect, ARGB c1, ARGB c2, REAL angle,
                                               bool scalable)
    : TGPBrush(BrushTypeLinearGradient), FColor1(c1), FColor2(c2) {
  InitAngle(rect, angle, scalable);
}

void TGPLinearGradientBrush::InitAngle(const TGPRectF& rect, REAL angle, bool scalable) {
  FRect = rect;
  if (!Finite(rect.X) || !Finite(rect.Y) || !Finite(angle) || !(rect.Width > 0) || !(rect.Height > 0) ||
      !Finite(rect.Width) || !Finite(rect.Height)) {
    FLastStatus = InvalidParameter;
    return;
  }
  double a = double(angle) * M_PI / 180.0, dx = std::cos(a), dy = std::sin(a);
  if (std::fabs(dx) < 1e-12) dx = 0;
  if (std::fabs(dy) < 1e-12) dy = 0;
  // Corner projections on the direction; t runs from the lowest (0) to the highest (1).
  double sx = scalable ? 1.0 : rect.Width, sy = scalable ? 1.0 : rect.Height;
  double proj[4] = {0, dx * sx, dy * sy, dx * sx + dy * sy};
  double lo = *std::min_element(proj, proj + 4), hi = *std::max_element(proj, proj + 4);
  double span = hi - lo;
  if (!(span > 0)) {
    FLastStatus = InvalidParameter;
    return;
  }
  // t = ((x - X) / kx * dx + (y - Y) / ky * dy - lo) / span, kx = W (scalable) or 1.
  double kx = scalable ? rect.Width : 1.0, ky = scalable ? rect.Height : 1.0;
  FA = REAL(dx / kx / span);
  FB = REAL(dy / ky / span);
  FC = REAL((-rect.X * dx / kx - rect.Y * dy / ky - lo) / span);
}

TGPBrush* TGPLinearGradientBrush::Clone() const {
  auto* b = new TGPLinearGradientBrush;
  b->FRect = FRect;
  b->FColor1 = FColor1;
  b->FColor2 = FColor2;
  b->FA = FA;
  b->FB = FB;
  b->FC = FC;
  b->FWrap = FWrap;
  b->FGamma = FGamma;
  b->FTransform = FTransform;
  b->FPresetColors = FPresetColors;
  b->FPresetPositions = FPresetPositions;
  b->FLastStatus = FLastStatus;
  return b;
}

Status TGPLinearGradientBrush::SetLinearColors(ARGB c1, ARGB c2) {
  FColor1 = c1;
  FColor2 = c2;
  FPresetColors.clear();
  FPresetPositions.clear();
  return Ok;
}

Status TGPLinearGradientBrush::GetLinearColors(ARGB* colors) const {
  if (!colors) return InvalidParameter;
  colors[0] = FColor1;
  colors[1] = FColor2;
  return Ok;
}

Status TGPLinearGradientBrush::GetRectangle(TGPRectF* rect) const {
  if (!rect) return InvalidParameter;
  *rect = FRect;
  return Ok;
}

Status TGPLinearGradientBrush::SetInterpolationColors(const ARGB* colors, const REAL* positions, int count) {
  if (!colors || !positions || count < 2 || positions[0] != 0 || positions[count - 1] != 1)
    return FLastStatus = InvalidParameter;
  for (int i = 1; i < count; ++i)
    if (!(positions[i] >= positions[i - 1])) return FLastStatus = InvalidParameter;
  FPresetColors.assign(colors, colors + count);
  FPresetPositions.assign(positions, positions + count);
  return Ok;
}

Status TGPLinearGradientBrush::SetWrapMode(WrapMode wrap) {
  // Clamping has no meaning for a gradient.
  if (wrap < WrapModeTile || wrap > WrapModeTileFlipXY) return FLastStatus = InvalidParameter;
  FWrap = wrap;
  return Ok;
}

Status TGPLinearGradientBrush::TranslateTransform(REAL dx, REAL dy, MatrixOrder order) {
  return FTransform.Translate(dx, dy, order);
}

Status TGPLinearGradientBrush::ScaleTransform(REAL sx, REAL sy, MatrixOrder order) {
  TGPMatrix m = FTransform;
  if (Status s = m.Scale(sx, sy, order); s != Ok || !m.IsInvertible()) return FLastStatus = InvalidParameter;
  FTransform = m;
  return Ok;
}

Status TGPLinearGradientBrush::RotateTransform(REAL angle, MatrixOrder order) {
  return FTransform.Rotate(angle, order);
}

Status TGPLinearGradientBrush::SetTransform(const TGPMatrix* matrix) {
  if (!matrix || !matrix->IsInvertible()) return FLastStatus = InvalidParameter;
  FTransform = *matrix;
  return Ok;
}

Status TGPLinearGradientBrush::GetTransform(TGPMatrix* matrix) const {
  if (!matrix) return InvalidParameter;
  *matrix = FTransform;
  return Ok;
}

// ---- Pens -----------------------------------------------------------------------------------------------

TGPPen::TGPPen(ARGB color, REAL width) : FColor(color) {
  if (Finite(width) && width >= 0)
    FWidth = width;
  else
    FLastStatus = InvalidParameter;
}

TGPPen::TGPPen(const TGPBrush* brush, REAL width) {
  if (!brush || !Finite(width) || width < 0) {
    FLastStatus = InvalidParameter;
    return;
  }
  FWidth = width;
  SetBrush(brush);
}

TGPPen::~TGPPen() = default;

TGPPen* TGPPen::Clone() const {
  auto* p = new TGPPen(FColor, FWidth);
  if (FBrush) p->FBrush.reset(FBrush->Clone());
  p->FAlignment = FAlignment;
  p->FJoin = FJoin;
  p->FMiterLimit = FMiterLimit;
  p->FStartCap = FStartCap;
  p->FEndCap = FEndCap;
  p->FDashStyle = FDashStyle;
  p->FDashes = FDashes;
  p->FDashOffset = FDashOffset;
  return p;
}

Status TGPPen::SetWidth(REAL width) {
  if (!Finite(width) || width < 0) return FLastStatus = InvalidParameter;
  FWidth = width;
  return Ok;
}

Status TGPPen::SetColor(ARGB color) {
  FColor = color;
  FBrush.reset();
  return Ok;
}

Status TGPPen::GetColor(ARGB* color) const {
  if (!color) return InvalidParameter;
  if (FBrush && FBrush->GetType() != BrushTypeSolidColor) return WrongState;
  *color = FColor;
  return Ok;
}

Status TGPPen::SetBrush(const TGPBrush* brush) {
  if (!brush) return FLastStatus = InvalidParameter;
  if (brush->GetType() == BrushTypeSolidColor) {
    FColor = static_cast<const TGPSolidBrush*>(brush)->Color();
    FBrush.reset();
  } else {
    FBrush.reset(brush->Clone());
  }
  return Ok;
}

Status TGPPen::SetAlignment(PenAlignment a) {
  if (a != PenAlignmentCenter && a != PenAlignmentInset) return FLastStatus = InvalidParameter;
  FAlignment = a;
  return Ok;
}

Status TGPPen::SetLineJoin(LineJoin j) {
  if (j < LineJoinMiter || j > LineJoinMiterClipped) return FLastStatus = InvalidParameter;
  FJoin = j;
  return Ok;
}

Status TGPPen::SetMiterLimit(REAL limit) {
  if (!Finite(limit)) return FLastStatus = InvalidParameter;
  FMiterLimit = std::max(REAL(1), limit);
  return Ok;
}

Status TGPPen::SetStartCap(LineCap cap) {
  if (cap < LineCapFlat || cap > LineCapTriangle) return FLastStatus = InvalidParameter;
  FStartCap = cap;
  return Ok;
}

Status TGPPen::SetEndCap(LineCap cap) {
  if (cap < LineCapFlat || cap > LineCapTriangle) return FLastStatus = InvalidParameter;
  FEndCap = cap;
  return Ok;
}

Status TGPPen::SetLineCap(LineCap startCap, LineCap endCap, DashCap) {
  if (Status s = SetStartCap(startCap); s != Ok) return s;
  return SetEndCap(endCap);
}

Status TGPPen::SetDashStyle(DashStyle style) {
  if (style < DashStyleSolid || style > DashStyleCustom) return FLastStatus = InvalidParameter;
  if (style == DashStyleCustom && FDashes.empty()) return FLastStatus = InvalidParameter;
  FDashStyle = style;
  return Ok;
}

Status TGPPen::SetDashPattern(const REAL* dashes, int count) {
  if (!dashes || count <= 0 || count > 16) return FLastStatus = InvalidParameter;
  for (int i = 0; i < count; ++i)
    if (!(dashes[i] > 0) || !Finite(dashes[i])) return FLastStatus = InvalidParameter;
  FDashes.assign(dashes, dashes + count);
  FDashStyle = DashStyleCustom;
  return Ok;
}

}  // namespace vcl
