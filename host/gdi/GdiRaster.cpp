// Raster core shared by the drawing calls: sessions, paints, shape rows and coverage masks.
#include "host/gdi/GdiRaster.h"

#include <algorithm>
#include <cmath>

namespace vcl::raster {

// ---- Drawing session --------------------------------------------------------------------------

DrawTarget::DrawTarget(HDC dc, bool write) : Dc(dc), Write(write) {
  if (!dc) return;
  Surface = dc->BeginDraw();
  if (!Surface) return;
  Px = SurfacePixels(Surface, Stride);
  W = cairo_image_surface_get_width(Surface);
  H = cairo_image_surface_get_height(Surface);
  Off = dc->Offset();
  Clip = dc->Clip();
  NumRects = cairo_region_num_rectangles(Clip);
  if (NumRects > 0) {
    cairo_rectangle_int_t e;
    cairo_region_get_extents(Clip, &e);
    ClipBox = {e.x, e.y, e.x + e.width, e.y + e.height};
  }
}

DrawTarget::~DrawTarget() {
  if (Surface && Write) Dc->EndDraw();
}

bool DrawTarget::Visible(int x, int y) const {
  if (!ClipBox.Contains(TPoint{x, y})) return false;
  return NumRects == 1 || cairo_region_contains_point(Clip, x, y);
}

// ---- Paints ---------------------------------------------------------------------------------------

namespace {

// 8x8 hatch patterns, bit 7 = leftmost pixel.
constexpr std::uint8_t kHatch[6][8] = {
    {0x00, 0x00, 0x00, 0xFF, 0x00, 0x00, 0x00, 0x00},  // HS_HORIZONTAL
    {0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08},  // HS_VERTICAL
    {0x80, 0x40, 0x20, 0x10, 0x08, 0x04, 0x02, 0x01},  // HS_FDIAGONAL
    {0x01, 0x02, 0x04, 0x08, 0x10, 0x20, 0x40, 0x80},  // HS_BDIAGONAL
    {0x08, 0x08, 0x08, 0xFF, 0x08, 0x08, 0x08, 0x08},  // HS_CROSS
    {0x81, 0x42, 0x24, 0x18, 0x18, 0x24, 0x42, 0x81},  // HS_DIAGCROSS
};

inline int Mod(int a, int m) {
  int r = a % m;
  return r < 0 ? r + m : r;
}

void FillRun(std::uint32_t* row, int y, int a, int b, const Paint& p) {
  switch (p.K) {
    case Paint::Kind::None: return;
    case Paint::Kind::Solid:
      if (p.Mix == R2_COPYPEN) {
        std::fill(row + a, row + b, p.Color);
      } else {
        for (int x = a; x < b; ++x) row[x] = Rop2(p.Mix, row[x], p.Color);
      }
      return;
    case Paint::Kind::Hatch: {
      std::uint8_t bits = p.HatchRows[(y - p.OrgY) & 7];
      for (int x = a; x < b; ++x) {
        bool fg = (bits >> (7 - ((x - p.OrgX) & 7))) & 1;
        if (!fg && p.BkTransparent) continue;
        row[x] = Rop2(p.Mix, row[x], fg ? p.Color : p.Bk);
      }
      return;
    }
    case Paint::Kind::Pattern: {
      const std::uint32_t* pr = p.Pat + size_t(Mod(y - p.OrgY, p.PatH)) * size_t(p.PatStride);
      int px = Mod(a - p.OrgX, p.PatW);
      for (int x = a; x < b; ++x) {
        row[x] = Rop2(p.Mix, row[x], Opaque(pr[px]));
        if (++px == p.PatW) px = 0;
      }
      return;
    }
  }
}

}  // namespace

std::uint32_t Paint::At(int x, int y, bool* skip) const {
  *skip = false;
  switch (K) {
    case Kind::Solid: return Color;
    case Kind::Hatch: {
      bool fg = (HatchRows[(y - OrgY) & 7] >> (7 - ((x - OrgX) & 7))) & 1;
      if (!fg && BkTransparent) *skip = true;
      return fg ? Color : Bk;
    }
    case Kind::Pattern:
      return Opaque(Pat[size_t(Mod(y - OrgY, PatH)) * size_t(PatStride) + size_t(Mod(x - OrgX, PatW))]);
    case Kind::None: break;
  }
  *skip = true;
  return 0;
}

Paint SolidPaint(COLORREF c, int mix) {
  Paint p;
  p.K = Paint::Kind::Solid;
  p.Mix = mix;
  p.Color = OpaquePixel(c);
  return p;
}

BrushObject* ResolveBrush(HBRUSH h) {
  auto v = reinterpret_cast<std::uintptr_t>(h);
  if (v == 0) return nullptr;
  if (v <= std::uintptr_t(COLOR_COUNT)) return GetSysColorBrush(int(v) - 1);
  return h->Kind == GdiKind::Brush ? h : nullptr;
}

COLORREF BrushObjectColor(HDC dc, const BrushObject* b) {
  if (b->UsesDcColor) return dc->DcBrushColor;
  if (b->SysColorIndex >= 0) return GetSysColor(b->SysColorIndex);
  return b->Color;
}

Paint BrushPaint(HDC dc, HBRUSH brush, int mix) {
  Paint p;
  BrushObject* b = ResolveBrush(brush);
  if (!dc || !b) return p;
  p.Mix = mix;
  p.OrgX = dc->DcOrg.X + dc->BrushOrg.X;
  p.OrgY = dc->DcOrg.Y + dc->BrushOrg.Y;
  switch (b->Style) {
    case BS_SOLID:
      p.K = Paint::Kind::Solid;
      p.Color = OpaquePixel(BrushObjectColor(dc, b));
      break;
    case BS_HATCHED:
      p.K = Paint::Kind::Hatch;
      p.Color = OpaquePixel(BrushObjectColor(dc, b));
      p.Bk = OpaquePixel(dc->BkColor);
      p.BkTransparent = dc->BkMode == TRANSPARENT;
      std::copy(std::begin(kHatch[std::clamp(b->Hatch, 0, 5)]),
                std::end(kHatch[std::clamp(b->Hatch, 0, 5)]), p.HatchRows);
      break;
    case BS_PATTERN:
      if (b->Pattern && b->Pattern->Bits && b->Pattern->Width > 0 && b->Pattern->Height > 0) {
        p.K = Paint::Kind::Pattern;
        p.Pat = reinterpret_cast<const std::uint32_t*>(b->Pattern->Bits);
        p.PatW = b->Pattern->Width;
        p.PatH = b->Pattern->Height;
        p.PatStride = b->Pattern->Stride / 4;
      }
      break;
    default:
      break;  // BS_NULL
  }
  return p;
}

Paint SelectedBrushPaint(HDC dc) { return BrushPaint(dc, dc->Brush, dc->Rop2); }

void PaintSpan(const DrawTarget& t, int y, int x0, int x1, const Paint& p) {
  if (!p.Visible()) return;
  t.ForSpan(y, x0, x1, [&](int yy, int a, int b) { FillRun(t.Row(yy), yy, a, b, p); });
}

void PaintRect(const DrawTarget& t, const TRect& r, const Paint& p) {
  if (!p.Visible() || r.IsEmpty()) return;
  t.ForRect(r, [&](const TRect& c) {
    for (int y = c.Top; y < c.Bottom; ++y) FillRun(t.Row(y), y, c.Left, c.Right, p);
  });
}

void PaintPixel(const DrawTarget& t, int x, int y, const Paint& p) {
  if (!p.Visible() || !t.Visible(x, y)) return;
  FillRun(t.Row(y), y, x, x + 1, p);
}

// ---- Shape rows -----------------------------------------------------------------------------------

namespace {

long long ISqrt(unsigned long long v) {
  auto r = static_cast<unsigned long long>(std::sqrt(static_cast<long double>(v)));
  while (r > 0 && r * r > v) --r;
  while ((r + 1) * (r + 1) <= v) ++r;
  return static_cast<long long>(r);
}

long long FloorDiv2(long long v) { return v >= 0 ? v / 2 : -((-v + 1) / 2); }
long long CeilDiv2(long long v) { return -FloorDiv2(-v); }

// Columns [j0, j1] (inclusive, relative to the box's left) of row i of the ellipse inscribed in
// a w x h box: pixel centres with (2dx/w)^2 + (2dy/h)^2 <= 1, in exact integer arithmetic.
void EllipseRow(long long w, long long h, long long i, long long& j0, long long& j1) {
  long long dy2 = 2 * i + 1 - h;
  unsigned __int128 num = (unsigned __int128)(w * w) * (unsigned __int128)(h * h - dy2 * dy2);
  auto bound = static_cast<unsigned long long>(num / (unsigned __int128)(h * h));
  long long m = ISqrt(bound);
  j0 = std::max(0LL, CeilDiv2(w - 1 - m));
  j1 = std::min(w - 1, FloorDiv2(w - 1 + m));
}

// The rows of box worth computing for a view `lim` (one extra row each side for outlines).
bool RowRange(const TRect& box, const TRect& lim, int& y0, int& y1) {
  y0 = std::max(box.Top, lim.Top - 1);
  y1 = std::min(box.Bottom, lim.Bottom + 1);
  return y0 < y1 && box.Left < box.Right;
}

}  // namespace

void EllipseRows(const TRect& box, const TRect& lim, Rows& out) {
  out.R.clear();
  int y0, y1;
  if (!RowRange(box, lim, y0, y1)) return;
  out.Top = y0;
  long long w = (long long)box.Right - box.Left, h = (long long)box.Bottom - box.Top;
  for (int y = y0; y < y1; ++y) {
    long long j0, j1;
    EllipseRow(w, h, y - box.Top, j0, j1);
    out.R.push_back({int(box.Left + j0), int(box.Left + j1 + 1)});
  }
}

void RoundRectRows(const TRect& box, int ew, int eh, const TRect& lim, Rows& out) {
  out.R.clear();
  int y0, y1;
  if (!RowRange(box, lim, y0, y1)) return;
  out.Top = y0;
  long long w = (long long)box.Right - box.Left, h = (long long)box.Bottom - box.Top;
  long long cw = std::min<long long>(std::abs((long long)ew), w);
  long long ch = std::min<long long>(std::abs((long long)eh), h);
  for (int y = y0; y < y1; ++y) {
    long long i = y - box.Top;
    long long edge = std::min(i, h - 1 - i);  // rows from the nearer horizontal edge
    long long inset = 0;
    if (cw > 0 && ch > 0 && 2 * edge + 1 < ch) {
      long long j0, j1;
      EllipseRow(cw, ch, edge, j0, j1);
      inset = j0;
    }
    out.R.push_back({int(box.Left + inset), int(box.Right - inset)});
  }
}

void RectRows(const TRect& box, const TRect& lim, Rows& out) {
  out.R.clear();
  int y0, y1;
  if (!RowRange(box, lim, y0, y1)) return;
  out.Top = y0;
  out.R.assign(size_t(y1 - y0), Run{box.Left, box.Right});
}

void OutlineRuns(const Rows& s, int y, Run& left, Run& right) {
  Run r = s.At(y);
  right = {0, 0};
  if (r.X0 >= r.X1) {
    left = {0, 0};
    return;
  }
  Run up = s.At(y - 1), dn = s.At(y + 1);
  if (up.X0 >= up.X1 || dn.X0 >= dn.X1) {
    left = r;
    return;
  }
  int a = std::max({up.X0, dn.X0, r.X0 + 1});
  int b = std::min({up.X1, dn.X1, r.X1 - 1});
  if (a >= b) {
    left = r;
    return;
  }
  left = {r.X0, a};
  right = {b, r.X1};
}

// ---- Coverage mask --------------------------------------------------------------------------------

Mask::Mask(const TRect& bounds) : B(bounds.IsEmpty() ? TRect{} : bounds) {
  D.assign(size_t(B.Width()) * size_t(B.Height()), 0);
}

void Mask::Span(int y, int x0, int x1, std::uint8_t v) {
  if (y < B.Top || y >= B.Bottom) return;
  x0 = std::max(x0, B.Left);
  x1 = std::min(x1, B.Right);
  if (x0 < x1) std::fill(Row(y) + (x0 - B.Left), Row(y) + (x1 - B.Left), v);
}

void Mask::FillPolygons(const std::vector<std::vector<DPoint>>& rings, bool winding, std::uint8_t v) {
  if (Empty()) return;
  struct Edge {
    double X0, Y0, X1, Y1;
    int Dir;
  };
  std::vector<Edge> edges;
  double minY = 1e300, maxY = -1e300;
  for (const auto& ring : rings) {
    size_t n = ring.size();
    if (n < 2) continue;
    for (size_t i = 0; i < n; ++i) {
      DPoint a = ring[i], b = ring[(i + 1) % n];
      if (a.Y == b.Y) continue;
      int dir = b.Y > a.Y ? 1 : -1;
      if (a.Y > b.Y) std::swap(a, b);
      edges.push_back({a.X, a.Y, b.X, b.Y, dir});
      minY = std::min(minY, a.Y);
      maxY = std::max(maxY, b.Y);
    }
  }
  if (edges.empty()) return;
  int y0 = std::max(B.Top, int(std::max(-1e9, std::ceil(minY))));
  int y1 = std::min(B.Bottom, int(std::min(1e9, std::ceil(maxY))));
  struct Cross {
    double X;
    int Dir;
  };
  std::vector<Cross> xs;
  for (int y = y0; y < y1; ++y) {
    xs.clear();
    for (const Edge& e : edges) {
      if (y < e.Y0 || y >= e.Y1) continue;
      xs.push_back({e.X0 + (y - e.Y0) * (e.X1 - e.X0) / (e.Y1 - e.Y0), e.Dir});
    }
    std::sort(xs.begin(), xs.end(), [](const Cross& p, const Cross& q) { return p.X < q.X; });
    int wind = 0;
    for (size_t i = 0; i + 1 < xs.size(); ++i) {
      bool inside;
      if (winding) {
        wind += xs[i].Dir;
        inside = wind != 0;
      } else {
        inside = (i % 2) == 0;
      }
      if (!inside) continue;
      double a = std::clamp(std::ceil(xs[i].X), -1e9, 1e9), b = std::clamp(std::ceil(xs[i + 1].X), -1e9, 1e9);
      Span(y, int(a), int(b), v);
    }
  }
}

void Mask::Disc(double cx, double cy, double r, std::uint8_t v) {
  if (Empty() || r <= 0) return;
  int y0 = std::max(B.Top, int(std::floor(cy - r)));
  int y1 = std::min(B.Bottom - 1, int(std::ceil(cy + r)));
  for (int y = y0; y <= y1; ++y) {
    double dy = y - cy, q = r * r - dy * dy;
    if (q <= 0) continue;
    double hw = std::sqrt(q);
    int x0 = int(std::floor(cx - hw)) + 1, x1 = int(std::ceil(cx + hw)) - 1;
    Span(y, x0, x1 + 1, v);
  }
}

void Mask::PaintTo(const DrawTarget& t, const Paint* const paints[4]) {
  int w = B.Width();
  for (int y = B.Top; y < B.Bottom; ++y) {
    const std::uint8_t* row = Row(y);
    int x = 0;
    while (x < w) {
      std::uint8_t v = row[x];
      int e = x + 1;
      while (e < w && row[e] == v) ++e;
      if (v < 4 && paints[v]) PaintSpan(t, y, B.Left + x, B.Left + e, *paints[v]);
      x = e;
    }
  }
}

// ---- Cosmetic pen styles --------------------------------------------------------------------------

namespace {
constexpr std::uint8_t kDash[] = {18, 6};
constexpr std::uint8_t kDot[] = {3, 3};
constexpr std::uint8_t kDashDot[] = {9, 6, 3, 6};
constexpr std::uint8_t kDashDotDot[] = {9, 3, 3, 3, 3, 3};
}  // namespace

Dasher::Dasher(UINT style) {
  switch (style & PS_STYLE_MASK) {
    case PS_DASH: Pat = kDash; N = 2; break;
    case PS_DOT: Pat = kDot; N = 2; break;
    case PS_DASHDOT: Pat = kDashDot; N = 4; break;
    case PS_DASHDOTDOT: Pat = kDashDotDot; N = 6; break;
    default: break;
  }
  for (int i = 0; i < N; ++i) Period += Pat[i];
}

bool Dasher::On(long long n) const {
  if (!N) return true;
  long long r = n % Period;
  if (r < 0) r += Period;
  for (int i = 0; i < N; ++i) {
    if (r < Pat[i]) return (i & 1) == 0;
    r -= Pat[i];
  }
  return true;
}

}  // namespace vcl::raster
