// Shapes, lines, pixels, rectangles and regions drawn with the selected pen and brush.
//
// Geometry: a width-1 outline is the one-pixel, 8-connected inner border of the shape's pixel
// set; the brush fills the pixels inside it. A wider pen is a band `width` pixels thick centred
// on that border (odd widths exactly; even widths with the extra pixel outside), or inside the
// bounding box for PS_INSIDEFRAME. Polygons and lines put integer vertices on pixel centres;
// wide lines have round caps and joins.
#include <climits>
#include <cmath>
#include <numbers>

#include "host/gdi/GdiDraw.h"
#include "host/gdi/GdiRaster.h"

namespace vcl {

using namespace raster;

namespace {

constexpr int kMaxPenWidth = 1 << 16;
constexpr double kTwoPi = 2 * std::numbers::pi;

struct PenInfo {
  bool On = false;
  int Width = 1;
  bool Inside = false;
  UINT Style = PS_SOLID;  // dash style; solid for wide and inside-frame pens
};

PenInfo PenOf(HDC dc) {
  PenInfo p;
  if (!dc->Pen) return p;
  UINT st = dc->Pen->Style & PS_STYLE_MASK;
  p.On = st != PS_NULL;
  p.Width = std::clamp(dc->Pen->Width, 1, kMaxPenWidth);
  p.Inside = st == PS_INSIDEFRAME;
  p.Style = (p.Width > 1 || p.Inside) ? PS_SOLID : st;
  return p;
}

struct Paints {
  Paint Brush, Pen, Gap;
  const Paint* Table[4] = {nullptr, &Brush, &Pen, &Gap};
};

// Mask values.
constexpr std::uint8_t kFill = 1, kPen = 2, kGap = 3;

void InitPaints(HDC dc, Paints& p, bool fill) {
  if (fill) p.Brush = SelectedBrushPaint(dc);
  p.Pen = SolidPaint(dc->PenColor(), dc->Rop2);
  if (dc->BkMode == OPAQUE) p.Gap = SolidPaint(dc->BkColor, dc->Rop2);
}

TRect Normalized(TRect r) {
  if (r.Right < r.Left) std::swap(r.Left, r.Right);
  if (r.Bottom < r.Top) std::swap(r.Top, r.Bottom);
  return r;
}

double Mod2Pi(double a) {
  a = std::fmod(a, kTwoPi);
  return a < 0 ? a + kTwoPi : a;
}

// Angle of a pixel centre around (cx, cy), counter-clockwise on screen.
double PixelAngle(int x, int y, double cx, double cy) {
  return std::atan2(-(y + 0.5 - cy), x + 0.5 - cx);
}

// ---- Box shapes (rectangle, ellipse, rounded rectangle) -------------------------------------------

enum class BoxKind { Rect, Ellipse, RoundRect };

void BuildRows(BoxKind k, const TRect& box, int ew, int eh, const TRect& lim, Rows& out) {
  switch (k) {
    case BoxKind::Rect: RectRows(box, lim, out); break;
    case BoxKind::Ellipse: EllipseRows(box, lim, out); break;
    case BoxKind::RoundRect: RoundRectRows(box, ew, eh, lim, out); break;
  }
}

// For each row of the shape within lim: row(y, penLeft, penRight, fill).
template <class F>
void BoxRows(BoxKind k, const TRect& box, int ew, int eh, const PenInfo& pen, const TRect& lim,
             F&& row) {
  Rows o;
  if (!pen.On) {
    // Without a pen the filled shape loses its right column and bottom row.
    BuildRows(k, {box.Left, box.Top, box.Right - 1, box.Bottom - 1}, ew, eh, lim, o);
    for (int y = std::max(o.Top, lim.Top); y < std::min(o.Bottom(), lim.Bottom); ++y)
      row(y, Run{0, 0}, Run{0, 0}, o.At(y));
    return;
  }
  int out = (pen.Width > 1 && !pen.Inside) ? pen.Width / 2 : 0;
  TRect ob = box.Inflated(out, out);
  int oew = ew + 2 * out, oeh = eh + 2 * out;
  BuildRows(k, ob, oew, oeh, lim, o);
  Rows in;
  if (pen.Width > 1)
    BuildRows(k, ob.Inflated(-pen.Width, -pen.Width), std::max(0, oew - 2 * pen.Width),
              std::max(0, oeh - 2 * pen.Width), lim, in);
  for (int y = std::max(o.Top, lim.Top); y < std::min(o.Bottom(), lim.Bottom); ++y) {
    Run r = o.At(y);
    if (r.X0 >= r.X1) continue;
    Run l, rr;
    OutlineRuns(o, y, l, rr);
    int leftEnd = l.X1, rightStart = rr.X0 < rr.X1 ? rr.X0 : r.X1;
    if (pen.Width > 1) {
      Run i = in.At(y);
      if (i.X0 >= i.X1) {
        leftEnd = rightStart = r.X1;
      } else {
        leftEnd = std::max(leftEnd, i.X0);
        rightStart = std::max(leftEnd, std::min(rightStart, i.X1));
      }
    }
    row(y, Run{r.X0, leftEnd}, Run{rightStart, r.X1}, Run{leftEnd, rightStart});
  }
}

// The rows worth collecting for a dashed outline: the whole shape when it is of sane size (so
// the dash phase does not depend on the clip), else just the visible rows.
TRect DashRange(const TRect& box, const TRect& clip) {
  if (box.Width() <= (1 << 15) && box.Height() <= (1 << 15)) return box.Inflated(1, 1);
  return clip;
}

void Collect(std::vector<TPoint>& px, int y, Run r, const TRect& range) {
  for (int x = std::max(r.X0, range.Left); x < std::min(r.X1, range.Right); ++x) px.push_back({x, y});
}

// Paints outline pixels in path order (by angle from `start`, counter-clockwise when dir > 0)
// with the dash pattern.
void PaintDashed(const DrawTarget& t, std::vector<TPoint>& px, double cx, double cy, double start,
                 int dir, const Dasher& dash, const Paints& ps) {
  std::vector<std::pair<double, TPoint>> keyed;
  keyed.reserve(px.size());
  for (TPoint p : px) keyed.push_back({Mod2Pi(dir * (PixelAngle(p.X, p.Y, cx, cy) - start)), p});
  std::sort(keyed.begin(), keyed.end(), [](const auto& a, const auto& b) {
    if (a.first != b.first) return a.first < b.first;
    return a.second.Y != b.second.Y ? a.second.Y < b.second.Y : a.second.X < b.second.X;
  });
  long long n = 0;
  for (const auto& [key, p] : keyed) PaintPixel(t, p.X, p.Y, dash.On(n++) ? ps.Pen : ps.Gap);
}

bool BoxShape(HDC dc, BoxKind k, int l, int tp, int r, int b, int ew, int eh) {
  if (!dc) return false;
  DrawTarget t(dc);
  if (!t) return false;
  TRect box = Normalized(t.ToSurface(TRect{l, tp, r, b}));
  PenInfo pen = PenOf(dc);
  Paints ps;
  InitPaints(dc, ps, true);
  Dasher dash(pen.Style);
  if (!pen.On || dash.Solid()) {
    BoxRows(k, box, ew, eh, pen, t.ClipBox, [&](int y, Run pl, Run pr, Run f) {
      PaintSpan(t, y, pl.X0, pl.X1, ps.Pen);
      PaintSpan(t, y, pr.X0, pr.X1, ps.Pen);
      PaintSpan(t, y, f.X0, f.X1, ps.Brush);
    });
    return true;
  }
  std::vector<TPoint> outline;
  TRect range = DashRange(box, t.ClipBox);
  BoxRows(k, box, ew, eh, pen, range, [&](int y, Run pl, Run pr, Run f) {
    PaintSpan(t, y, f.X0, f.X1, ps.Brush);
    Collect(outline, y, pl, range);
    Collect(outline, y, pr, range);
  });
  double cx = (box.Left + box.Right) / 2.0, cy = (box.Top + box.Bottom) / 2.0;
  // The pattern starts at the top-left corner and runs clockwise.
  PaintDashed(t, outline, cx, cy, PixelAngle(box.Left, box.Top, cx, cy), -1, dash, ps);
  return true;
}

// ---- Lines ----------------------------------------------------------------------------------------

// A wide stroke along a path: a band per segment and a disc per vertex (round caps and joins).
void Stroke(Mask& m, const std::vector<TPoint>& path, bool closed, int width, std::uint8_t v) {
  double off = (width % 2 == 0) ? -0.5 : 0.0, r = width / 2.0;
  size_t n = path.size();
  size_t segs = closed ? n : (n ? n - 1 : 0);
  std::vector<std::vector<DPoint>> quad(1);
  for (size_t i = 0; i < segs; ++i) {
    TPoint a = path[i], b = path[(i + 1) % n];
    if (a == b) continue;
    double dx = double(b.X) - a.X, dy = double(b.Y) - a.Y, len = std::hypot(dx, dy);
    double nx = -dy / len * r, ny = dx / len * r;
    double ax = a.X + off, ay = a.Y + off, bx = b.X + off, by = b.Y + off;
    quad[0] = {{ax + nx, ay + ny}, {bx + nx, by + ny}, {bx - nx, by - ny}, {ax - nx, ay - ny}};
    m.FillPolygons(quad, true, v);
  }
  for (TPoint p : path) m.Disc(p.X + off, p.Y + off, r, v);
}

// Cosmetic (width-1) segments of a path; `n` carries the dash position along the path.
template <class Plot>
void CosmeticPath(const std::vector<TPoint>& path, bool closed, const TRect& bounds, long long& n,
                  Plot&& plot) {
  size_t cnt = path.size();
  size_t segs = closed ? cnt : (cnt ? cnt - 1 : 0);
  for (size_t i = 0; i < segs; ++i) {
    TPoint a = path[i], b = path[(i + 1) % cnt];
    long long base = n;
    LinePixels(a.X, a.Y, b.X, b.Y, bounds, [&](int x, int y, long long step) { plot(x, y, base + step); });
    n += std::max(std::abs((long long)b.X - a.X), std::abs((long long)b.Y - a.Y));
  }
}

// Polygons (closed, optionally filled) and polylines in logical coordinates.
bool DrawPaths(HDC dc, const std::vector<std::vector<TPoint>>& logical, bool closed, bool fill) {
  DrawTarget t(dc);
  if (!t) return false;
  PenInfo pen = PenOf(dc);
  Paints ps;
  InitPaints(dc, ps, fill);
  Dasher dash(pen.Style);
  std::vector<std::vector<TPoint>> paths(logical.size());
  long long minX = LLONG_MAX, minY = LLONG_MAX, maxX = LLONG_MIN, maxY = LLONG_MIN;
  for (size_t i = 0; i < logical.size(); ++i) {
    for (TPoint p : logical[i]) {
      TPoint s = t.ToSurface(p);
      paths[i].push_back(s);
      minX = std::min<long long>(minX, s.X);
      minY = std::min<long long>(minY, s.Y);
      maxX = std::max<long long>(maxX, s.X);
      maxY = std::max<long long>(maxY, s.Y);
    }
  }
  if (minX > maxX) return true;
  long long margin = pen.On ? pen.Width + 1 : 1;
  TRect bounds = TRect::Intersect(
      {ClampCoord(minX - margin), ClampCoord(minY - margin), ClampCoord(maxX + margin + 1),
       ClampCoord(maxY + margin + 1)},
      t.ClipBox);
  if (bounds.IsEmpty()) return true;

  bool cosmetic = pen.Width <= 1;
  if (!ps.Brush.Visible() && cosmetic) {
    // Lines only: plot straight to the surface.
    if (!pen.On) return true;
    for (const auto& path : paths) {
      long long n = 0;
      CosmeticPath(path, closed, bounds, n, [&](int x, int y, long long i) {
        PaintPixel(t, x, y, dash.On(i) ? ps.Pen : ps.Gap);
      });
    }
    return true;
  }
  Mask m(bounds);
  if (ps.Brush.Visible()) {
    std::vector<std::vector<DPoint>> rings;
    for (const auto& path : paths) {
      rings.emplace_back();
      for (TPoint p : path) rings.back().push_back({double(p.X), double(p.Y)});
    }
    m.FillPolygons(rings, dc->PolyFillMode == WINDING, kFill);
  }
  if (pen.On) {
    for (const auto& path : paths) {
      if (cosmetic) {
        long long n = 0;
        CosmeticPath(path, closed, bounds, n, [&](int x, int y, long long i) {
          if (dash.On(i)) m.Set(x, y, kPen);
          else if (ps.Gap.Visible()) m.Set(x, y, kGap);
        });
      } else {
        Stroke(m, path, closed, pen.Width, kPen);
      }
    }
  }
  m.PaintTo(t, ps.Table);
  return true;
}

// ---- Arcs, chords and pies ------------------------------------------------------------------------

enum class ArcKind { Arc, Chord, Pie };

bool ArcShape(HDC dc, ArcKind k, int l, int tp, int r, int b, int xs, int ys, int xe, int ye) {
  if (!dc) return false;
  DrawTarget t(dc);
  if (!t) return false;
  TRect box = Normalized(t.ToSurface(TRect{l, tp, r, b}));
  PenInfo pen = PenOf(dc);
  if (k == ArcKind::Arc && !pen.On) return true;
  Paints ps;
  InitPaints(dc, ps, k != ArcKind::Arc);
  Dasher dash(pen.Style);

  // The box the outline path runs in (pixel-centre coordinates of its outermost pixels).
  TRect pathBox = pen.On ? box : TRect{box.Left, box.Top, box.Right - 1, box.Bottom - 1};
  double cx = (pathBox.Left + pathBox.Right) / 2.0, cy = (pathBox.Top + pathBox.Bottom) / 2.0;
  TPoint s = t.ToSurface(xs, ys), e = t.ToSurface(xe, ye);
  double sdx = s.X + 0.5 - cx, sdy = s.Y + 0.5 - cy, edx = e.X + 0.5 - cx, edy = e.Y + 0.5 - cy;
  bool full = sdx * edy - sdy * edx == 0 && sdx * edx + sdy * edy >= 0;
  double as = std::atan2(-sdy, sdx), ae = std::atan2(-edy, edx);
  if (dc->ArcDirection == AD_CLOCKWISE) std::swap(as, ae);
  double sweep = full ? kTwoPi : Mod2Pi(ae - as);
  auto inSweep = [&](int x, int y) {
    return full || Mod2Pi(PixelAngle(x, y, cx, cy) - as) <= sweep;
  };
  // End points on the outline path.
  double inset = (pen.On && pen.Inside) ? (pen.Width - 1) / 2.0 : 0.0;
  double ra = (pathBox.Width() - 1) / 2.0 - inset, rb = (pathBox.Height() - 1) / 2.0 - inset;
  double pcx = cx - 0.5, pcy = cy - 0.5;
  auto onPath = [&](double a) {
    double c = std::cos(a), sn = std::sin(a);
    double q = (ra > 0 && rb > 0) ? 1.0 / std::sqrt(c * c / (ra * ra) + sn * sn / (rb * rb)) : 0.0;
    return TPoint{int(std::lround(pcx + q * c)), int(std::lround(pcy - q * sn))};
  };
  TPoint ps0 = onPath(as), pe0 = onPath(ae);
  TPoint centre{int(std::lround(pcx)), int(std::lround(pcy))};

  int grow = pen.On ? pen.Width + 1 : 1;
  TRect bounds = TRect::Intersect(box.Inflated(grow, grow), t.ClipBox);
  if (bounds.IsEmpty()) return true;
  Mask m(bounds);

  // Fill: the interior on the arc's side of the chord, or within the sweep for a pie.
  if (ps.Brush.Visible()) {
    long long cdx = (long long)pe0.X - ps0.X, cdy = (long long)pe0.Y - ps0.Y;
    BoxRows(BoxKind::Ellipse, box, 0, 0, pen, bounds, [&](int y, Run, Run, Run f) {
      for (int x = std::max(f.X0, bounds.Left); x < std::min(f.X1, bounds.Right); ++x) {
        bool in = full;
        if (!in && k == ArcKind::Pie) in = inSweep(x, y);
        if (!in && k == ArcKind::Chord) in = cdx * (y - ps0.Y) - cdy * (x - ps0.X) >= 0;
        if (in) m.Set(x, y, kFill);
      }
    });
  }
  if (!pen.On) {
    m.PaintTo(t, ps.Table);
    return true;
  }
  // Outline: the arc part of the ellipse outline, then the straight closing lines.
  bool dashed = !dash.Solid();
  std::vector<TPoint> arcPx;
  TRect range = dashed ? DashRange(box, bounds) : bounds;
  BoxRows(BoxKind::Ellipse, box, 0, 0, pen, range, [&](int y, Run pl, Run pr, Run) {
    for (Run run : {pl, pr}) {
      for (int x = std::max(run.X0, range.Left); x < std::min(run.X1, range.Right); ++x) {
        if (!inSweep(x, y)) continue;
        if (dashed) arcPx.push_back({x, y});
        else m.Set(x, y, kPen);
      }
    }
  });
  long long n = 0;
  if (dashed) {
    std::vector<std::pair<double, TPoint>> keyed;
    for (TPoint p : arcPx) keyed.push_back({Mod2Pi(PixelAngle(p.X, p.Y, cx, cy) - as), p});
    std::sort(keyed.begin(), keyed.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    for (const auto& [key, p] : keyed) {
      if (dash.On(n++)) m.Set(p.X, p.Y, kPen);
      else if (ps.Gap.Visible()) m.Set(p.X, p.Y, kGap);
    }
  }
  if (!full && k != ArcKind::Arc) {
    std::vector<TPoint> lines = k == ArcKind::Chord ? std::vector<TPoint>{pe0, ps0}
                                                    : std::vector<TPoint>{pe0, centre, ps0};
    if (pen.Width <= 1) {
      CosmeticPath(lines, false, bounds, n, [&](int x, int y, long long i) {
        if (dash.On(i)) m.Set(x, y, kPen);
        else if (ps.Gap.Visible()) m.Set(x, y, kGap);
      });
    } else {
      Stroke(m, lines, false, pen.Width, kPen);
    }
  }
  m.PaintTo(t, ps.Table);
  return true;
}

// ---- Regions --------------------------------------------------------------------------------------

// Paints a region given in logical coordinates.
bool PaintRegion(HDC dc, const cairo_region_t* rgn, const Paint& p) {
  DrawTarget t(dc);
  if (!t) return false;
  int n = cairo_region_num_rectangles(rgn);
  for (int i = 0; i < n; ++i) {
    cairo_rectangle_int_t c;
    cairo_region_get_rectangle(rgn, i, &c);
    PaintRect(t, t.ToSurface(TRect{c.x, c.y, c.x + c.width, c.y + c.height}), p);
  }
  return true;
}

}  // namespace

// ---- Rectangles -------------------------------------------------------------------------------------

int FillRect(HDC dc, const TRect* r, HBRUSH brush) {
  if (!dc || !r || !ResolveBrush(brush)) return 0;
  DrawTarget t(dc);
  if (!t) return 0;
  PaintRect(t, t.ToSurface(*r), BrushPaint(dc, brush, R2_COPYPEN));
  return 1;
}

int FrameRect(HDC dc, const TRect* r, HBRUSH brush) {
  if (!dc || !r || !ResolveBrush(brush)) return 0;
  DrawTarget t(dc);
  if (!t) return 0;
  TRect s = t.ToSurface(*r);
  if (s.IsEmpty()) return 1;
  Paint p = BrushPaint(dc, brush, R2_COPYPEN);
  PaintRect(t, {s.Left, s.Top, s.Right, s.Top + 1}, p);
  PaintRect(t, {s.Left, s.Bottom - 1, s.Right, s.Bottom}, p);
  PaintRect(t, {s.Left, s.Top + 1, s.Left + 1, s.Bottom - 1}, p);
  PaintRect(t, {s.Right - 1, s.Top + 1, s.Right, s.Bottom - 1}, p);
  return 1;
}

bool InvertRect(HDC dc, const TRect* r) {
  if (!dc || !r) return false;
  DrawTarget t(dc);
  if (!t) return false;
  PaintRect(t, t.ToSurface(*r), SolidPaint(0, R2_NOT));
  return true;
}

bool DrawFocusRect(HDC dc, const TRect* r) {
  if (!dc || !r) return false;
  DrawTarget t(dc);
  if (!t) return false;
  TRect s = t.ToSurface(*r);
  if (s.IsEmpty()) return true;
  // Every second pixel, in a checkerboard fixed to the device, is inverted.
  TPoint org = t.DeviceOrigin();
  auto dots = [&](int y, int x0, int x1) {
    t.ForSpan(y, x0, x1, [&](int yy, int a, int b) {
      std::uint32_t* row = t.Row(yy);
      int x = a + (((a - org.X) + (yy - org.Y)) & 1);
      for (; x < b; x += 2) row[x] = Opaque(row[x] ^ 0x00FFFFFFu);
    });
  };
  dots(s.Top, s.Left, s.Right);
  if (s.Bottom - 1 > s.Top) dots(s.Bottom - 1, s.Left, s.Right);
  int y0 = std::max(s.Top + 1, t.ClipBox.Top), y1 = std::min(s.Bottom - 1, t.ClipBox.Bottom);
  for (int y = y0; y < y1; ++y) {
    dots(y, s.Left, s.Left + 1);
    if (s.Right - 1 > s.Left) dots(y, s.Right - 1, s.Right);
  }
  return true;
}

// ---- Regions --------------------------------------------------------------------------------------

bool FillRgn(HDC dc, HRGN rgn, HBRUSH brush) {
  if (!dc || !rgn || !ResolveBrush(brush)) return false;
  return PaintRegion(dc, rgn->Rgn, BrushPaint(dc, brush, R2_COPYPEN));
}

bool PaintRgn(HDC dc, HRGN rgn) {
  if (!dc || !rgn) return false;
  return PaintRegion(dc, rgn->Rgn, SelectedBrushPaint(dc));
}

bool InvertRgn(HDC dc, HRGN rgn) {
  if (!dc || !rgn) return false;
  return PaintRegion(dc, rgn->Rgn, SolidPaint(0, R2_NOT));
}

bool FrameRgn(HDC dc, HRGN rgn, HBRUSH brush, int w, int h) {
  if (!dc || !rgn || !ResolveBrush(brush) || w <= 0 || h <= 0) return false;
  // The frame is the region minus the region shrunk by w horizontally and h vertically.
  cairo_region_t* inner = cairo_region_copy(rgn->Rgn);
  const int shifts[4][2] = {{w, 0}, {-w, 0}, {0, h}, {0, -h}};
  for (const auto& d : shifts) {
    cairo_region_t* moved = cairo_region_copy(rgn->Rgn);
    cairo_region_translate(moved, d[0], d[1]);
    cairo_region_intersect(inner, moved);
    cairo_region_destroy(moved);
  }
  cairo_region_t* frame = cairo_region_copy(rgn->Rgn);
  cairo_region_subtract(frame, inner);
  bool ok = PaintRegion(dc, frame, BrushPaint(dc, brush, R2_COPYPEN));
  cairo_region_destroy(frame);
  cairo_region_destroy(inner);
  return ok;
}

// ---- Shapes -----------------------------------------------------------------------------------------

bool Rectangle(HDC dc, int left, int top, int right, int bottom) {
  return BoxShape(dc, BoxKind::Rect, left, top, right, bottom, 0, 0);
}

bool RoundRect(HDC dc, int left, int top, int right, int bottom, int width, int height) {
  // Corner sizes beyond any coordinate are as good as the whole box.
  auto corner = [](int v) { return int(std::min<long long>(std::abs((long long)v), 1LL << 30)); };
  return BoxShape(dc, BoxKind::RoundRect, left, top, right, bottom, corner(width), corner(height));
}

bool Ellipse(HDC dc, int left, int top, int right, int bottom) {
  return BoxShape(dc, BoxKind::Ellipse, left, top, right, bottom, 0, 0);
}

int SetArcDirection(HDC dc, int direction) {
  if (!dc || (direction != AD_COUNTERCLOCKWISE && direction != AD_CLOCKWISE)) return 0;
  int old = dc->ArcDirection;
  dc->ArcDirection = direction;
  return old;
}

int GetArcDirection(HDC dc) { return dc ? dc->ArcDirection : 0; }

bool Arc(HDC dc, int left, int top, int right, int bottom, int xs, int ys, int xe, int ye) {
  return ArcShape(dc, ArcKind::Arc, left, top, right, bottom, xs, ys, xe, ye);
}

bool Chord(HDC dc, int left, int top, int right, int bottom, int xs, int ys, int xe, int ye) {
  return ArcShape(dc, ArcKind::Chord, left, top, right, bottom, xs, ys, xe, ye);
}

bool Pie(HDC dc, int left, int top, int right, int bottom, int xs, int ys, int xe, int ye) {
  return ArcShape(dc, ArcKind::Pie, left, top, right, bottom, xs, ys, xe, ye);
}

int SetPolyFillMode(HDC dc, int mode) {
  if (!dc || (mode != ALTERNATE && mode != WINDING)) return 0;
  int old = dc->PolyFillMode;
  dc->PolyFillMode = mode;
  return old;
}

int GetPolyFillMode(HDC dc) { return dc ? dc->PolyFillMode : 0; }

bool Polygon(HDC dc, const TPoint* points, int count) {
  if (!dc || !points || count < 2) return false;
  return DrawPaths(dc, {std::vector<TPoint>(points, points + count)}, true, true);
}

bool PolyPolygon(HDC dc, const TPoint* points, const int* counts, int polygons) {
  if (!dc || !points || !counts || polygons <= 0) return false;
  std::vector<std::vector<TPoint>> rings;
  const TPoint* p = points;
  for (int i = 0; i < polygons; ++i) {
    if (counts[i] < 2) return false;
    rings.emplace_back(p, p + counts[i]);
    p += counts[i];
  }
  return DrawPaths(dc, rings, true, true);
}

bool Polyline(HDC dc, const TPoint* points, int count) {
  if (!dc || !points || count < 2) return false;
  return DrawPaths(dc, {std::vector<TPoint>(points, points + count)}, false, false);
}

bool PolyPolyline(HDC dc, const TPoint* points, const DWORD* counts, DWORD polylines) {
  if (!dc || !points || !counts || polylines == 0) return false;
  std::vector<std::vector<TPoint>> lines;
  const TPoint* p = points;
  for (DWORD i = 0; i < polylines; ++i) {
    if (counts[i] < 2) return false;
    lines.emplace_back(p, p + counts[i]);
    p += counts[i];
  }
  // Each polyline is drawn on its own, so the dash pattern restarts for each.
  for (const auto& l : lines)
    if (!DrawPaths(dc, {l}, false, false)) return false;
  return true;
}

bool MoveToEx(HDC dc, int x, int y, TPoint* old) {
  if (!dc) return false;
  if (old) *old = dc->CurPos;
  dc->CurPos = {x, y};
  return true;
}

bool LineTo(HDC dc, int x, int y) {
  if (!dc) return false;
  std::vector<std::vector<TPoint>> line{std::vector<TPoint>{dc->CurPos, TPoint{x, y}}};
  bool ok = DrawPaths(dc, line, false, false);
  dc->CurPos = {x, y};
  return ok;
}

bool GetCurrentPositionEx(HDC dc, TPoint* out) {
  if (!dc || !out) return false;
  *out = dc->CurPos;
  return true;
}

// ---- Pixels -----------------------------------------------------------------------------------------

COLORREF SetPixel(HDC dc, int x, int y, COLORREF color) {
  if (!dc) return CLR_INVALID;
  DrawTarget t(dc);
  if (!t) return CLR_INVALID;
  TPoint s = t.ToSurface(x, y);
  if (!t.Visible(s.X, s.Y)) return CLR_INVALID;
  t.Row(s.Y)[s.X] = OpaquePixel(color);
  return color & 0xFFFFFF;
}

bool SetPixelV(HDC dc, int x, int y, COLORREF color) {
  return SetPixel(dc, x, y, color) != CLR_INVALID;
}

COLORREF GetPixel(HDC dc, int x, int y) {
  if (!dc) return CLR_INVALID;
  DrawTarget t(dc, false);
  if (!t) return CLR_INVALID;
  TPoint s = t.ToSurface(x, y);
  if (!t.Visible(s.X, s.Y)) return CLR_INVALID;
  std::uint32_t px = t.Row(s.Y)[s.X];
  return RGB(BYTE(px >> 16), BYTE(px >> 8), BYTE(px));
}

}  // namespace vcl
