// Internal raster core of the drawing calls: a drawing session on a DC (surface pixels and
// clip), paints (solid, hatched and pattern brushes with a ROP2 mix), clipped spans, shape
// rows, a coverage mask for non-convex shapes and the raster-operation helpers.
// Coordinates here are surface coordinates unless a name says otherwise.
#pragma once
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "host/gdi/GdiInternal.h"

namespace vcl::raster {

// Coordinates are clamped to +-2^29 so sizes and offsets never overflow an int.
constexpr long long kCoordLimit = 1LL << 29;
inline int ClampCoord(long long v) { return int(std::clamp(v, -kCoordLimit, kCoordLimit)); }

// ---- Drawing session --------------------------------------------------------------------------
// BeginDraw on construction, EndDraw on destruction (unless opened for reading only); exposes
// the pixels and the effective clip.
class DrawTarget {
 public:
  explicit DrawTarget(HDC dc, bool write = true);
  ~DrawTarget();
  DrawTarget(const DrawTarget&) = delete;
  DrawTarget& operator=(const DrawTarget&) = delete;

  explicit operator bool() const { return Px != nullptr; }
  std::uint32_t* Row(int y) const { return Px + size_t(y) * size_t(Stride); }
  bool Visible(int x, int y) const;
  TPoint ToSurface(int x, int y) const {
    return {ClampCoord((long long)x + Off.X), ClampCoord((long long)y + Off.Y)};
  }
  TPoint ToSurface(TPoint p) const { return ToSurface(p.X, p.Y); }
  TRect ToSurface(const TRect& r) const {
    return {ToSurface(r.Left, r.Top), ToSurface(r.Right, r.Bottom)};
  }
  // The device position of a surface pixel (for patterns aligned to the device).
  TPoint DeviceOrigin() const { return Dc->DcOrg; }

  // Calls fn(y, x0, x1) for each visible piece of row y, [x0, x1).
  template <class F>
  void ForSpan(int y, int x0, int x1, F&& fn) const {
    if (x0 >= x1 || y < ClipBox.Top || y >= ClipBox.Bottom) return;
    if (NumRects == 1) {
      int a = x0 > ClipBox.Left ? x0 : ClipBox.Left, b = x1 < ClipBox.Right ? x1 : ClipBox.Right;
      if (a < b) fn(y, a, b);
      return;
    }
    for (int i = 0; i < NumRects; ++i) {
      cairo_rectangle_int_t c;
      cairo_region_get_rectangle(Clip, i, &c);
      if (c.y > y) break;
      if (y >= c.y + c.height) continue;
      int a = x0 > c.x ? x0 : c.x, b = x1 < c.x + c.width ? x1 : c.x + c.width;
      if (a < b) fn(y, a, b);
    }
  }
  // Calls fn(rect) for each visible piece of r.
  template <class F>
  void ForRect(const TRect& r, F&& fn) const {
    if (NumRects == 1) {
      TRect c = TRect::Intersect(r, ClipBox);
      if (!c.IsEmpty()) fn(c);
      return;
    }
    ForEachClipRect(Clip, r, fn);
  }

  HDC Dc;
  bool Write;
  cairo_surface_t* Surface = nullptr;
  std::uint32_t* Px = nullptr;
  int Stride = 0;  // in words
  int W = 0, H = 0;
  TPoint Off;      // logical -> surface
  const cairo_region_t* Clip = nullptr;
  TRect ClipBox;   // extents of Clip
  int NumRects = 0;
};

// ---- Raster operations --------------------------------------------------------------------------
// Results of mixing operations are opaque: the colour bits come from the operation.
inline std::uint32_t Opaque(std::uint32_t v) { return v | 0xFF000000u; }

// ROP2 (R2_BLACK .. R2_WHITE) of pen/brush colour p over destination d.
inline std::uint32_t Rop2(int rop2, std::uint32_t d, std::uint32_t p) {
  switch (rop2) {
    case R2_BLACK: return 0xFF000000u;
    case R2_NOTMERGEPEN: return Opaque(~(d | p));
    case R2_MASKNOTPEN: return Opaque(d & ~p);
    case R2_NOTCOPYPEN: return Opaque(~p);
    case R2_MASKPENNOT: return Opaque(p & ~d);
    case R2_NOT: return Opaque(~d);
    case R2_XORPEN: return Opaque(d ^ p);
    case R2_NOTMASKPEN: return Opaque(~(d & p));
    case R2_MASKPEN: return Opaque(d & p);
    case R2_NOTXORPEN: return Opaque(~(d ^ p));
    case R2_NOP: return d;
    case R2_MERGENOTPEN: return Opaque(d | ~p);
    case R2_MERGEPENNOT: return Opaque(p | ~d);
    case R2_MERGEPEN: return Opaque(d | p);
    case R2_WHITE: return 0xFFFFFFFFu;
    default: return Opaque(p);  // R2_COPYPEN
  }
}

// Ternary raster operation (the truth-table byte of a ROP code) on colour bits.
inline std::uint32_t Rop3(unsigned code, std::uint32_t p, std::uint32_t s, std::uint32_t d) {
  std::uint32_t r = 0;
  for (unsigned i = 0; i < 8; ++i)
    if (code & (1u << i)) r |= ((i & 4) ? p : ~p) & ((i & 2) ? s : ~s) & ((i & 1) ? d : ~d);
  return r;
}
inline bool RopUsesSource(unsigned code) { return ((code >> 2) ^ code) & 0x33; }
inline bool RopUsesPattern(unsigned code) { return ((code >> 4) ^ code) & 0x0F; }
inline bool RopUsesDest(unsigned code) { return ((code >> 1) ^ code) & 0x55; }

// ---- Paints ---------------------------------------------------------------------------------------
// How a brush or pen colours pixels.
struct Paint {
  enum class Kind : std::uint8_t { None, Solid, Hatch, Pattern };
  Kind K = Kind::None;
  int Mix = R2_COPYPEN;
  std::uint32_t Color = 0;   // Solid; Hatch foreground
  std::uint32_t Bk = 0;      // Hatch background
  bool BkTransparent = false;
  std::uint8_t HatchRows[8] = {};
  const std::uint32_t* Pat = nullptr;  // Pattern words (alpha forced opaque when used)
  int PatW = 0, PatH = 0, PatStride = 0;
  int OrgX = 0, OrgY = 0;    // surface position of the pattern's (0, 0)

  bool Visible() const { return K != Kind::None && Mix != R2_NOP; }
  // The pattern word at surface (x, y); *skip is set for transparent hatch background.
  std::uint32_t At(int x, int y, bool* skip) const;
};

Paint SolidPaint(COLORREF c, int mix = R2_COPYPEN);
// A brush handle (system colour index + 1 accepted) as a paint aligned to the DC's brush
// origin. A null or invalid brush gives an invisible paint.
Paint BrushPaint(HDC dc, HBRUSH brush, int mix);
// The selected brush with the DC's ROP2 mode.
Paint SelectedBrushPaint(HDC dc);
// The colour of a brush as the DC resolves it (DC_BRUSH, system colour brushes).
COLORREF BrushObjectColor(HDC dc, const BrushObject* b);
// A brush handle with the system-colour-index form resolved; nullptr for an invalid handle.
BrushObject* ResolveBrush(HBRUSH h);

// Fills [x0, x1) of row y, clipped.
void PaintSpan(const DrawTarget& t, int y, int x0, int x1, const Paint& p);
// Fills a surface rectangle, clipped.
void PaintRect(const DrawTarget& t, const TRect& r, const Paint& p);
void PaintPixel(const DrawTarget& t, int x, int y, const Paint& p);

// ---- Shape rows -----------------------------------------------------------------------------------
// One horizontal run per row: [X0, X1) of row Top + i (empty when X0 >= X1).
struct Run {
  int X0, X1;
};
struct Rows {
  int Top = 0;
  std::vector<Run> R;
  int Bottom() const { return Top + int(R.size()); }
  Run At(int y) const {
    return (y < Top || y >= Bottom()) ? Run{0, 0} : R[size_t(y - Top)];
  }
};
// Only the rows of `lim` (plus one each side, for outlines) are computed.
// Pixels whose centres lie inside the ellipse inscribed in box (symmetric in both axes).
void EllipseRows(const TRect& box, const TRect& lim, Rows& out);
// A rectangle whose corners are quarters of an ew x eh ellipse (symmetric in both axes).
void RoundRectRows(const TRect& box, int ew, int eh, const TRect& lim, Rows& out);
void RectRows(const TRect& box, const TRect& lim, Rows& out);
// The one-pixel, 8-connected inner border of a convex row shape at row y: up to two runs.
void OutlineRuns(const Rows& s, int y, Run& left, Run& right);

// ---- Coverage mask --------------------------------------------------------------------------------
// Byte per pixel over a bounding rectangle; values select the paint used for the pixel.
struct DPoint {
  double X, Y;
};
class Mask {
 public:
  explicit Mask(const TRect& bounds);
  const TRect& Bounds() const { return B; }
  bool Empty() const { return B.IsEmpty(); }
  std::uint8_t* Row(int y) { return D.data() + size_t(y - B.Top) * size_t(B.Width()); }
  void Span(int y, int x0, int x1, std::uint8_t v);
  void Set(int x, int y, std::uint8_t v) {
    if (x >= B.Left && x < B.Right && y >= B.Top && y < B.Bottom) Row(y)[x - B.Left] = v;
  }
  // Polygons whose integer vertices lie on pixel centres; a pixel is inside when its centre is
  // (top and left edges inclusive). All rings are filled together.
  void FillPolygons(const std::vector<std::vector<DPoint>>& rings, bool winding, std::uint8_t v);
  // Pixels whose centres lie strictly within r of (cx, cy) (pixel-centre coordinates).
  void Disc(double cx, double cy, double r, std::uint8_t v);
  // Paints each pixel with paints[value] (nullptr or an invisible paint: left alone).
  void PaintTo(const DrawTarget& t, const Paint* const paints[4]);

 private:
  TRect B;
  std::vector<std::uint8_t> D;
};

// ---- Cosmetic pen styles --------------------------------------------------------------------------
// The dash pattern of a width-1 pen: On(n) tells whether the n-th pixel along a path is drawn.
class Dasher {
 public:
  explicit Dasher(UINT penStyle);
  bool Solid() const { return N == 0; }
  bool On(long long n) const;

 private:
  const std::uint8_t* Pat = nullptr;
  int N = 0, Period = 0;
};

// Bresenham steps from (x0, y0) towards (x1, y1), the end pixel excluded; y (x for steep
// lines) rounds to the nearest pixel, halves towards the end point. Only the steps that can
// fall inside `bounds` are visited: plot(x, y, i) with i the step number from the start.
template <class F>
void LinePixels(int x0, int y0, int x1, int y1, const TRect& bounds, F&& plot) {
  if (bounds.IsEmpty()) return;
  bool steep = std::abs((long long)y1 - y0) > std::abs((long long)x1 - x0);
  // Work in (major, minor) coordinates.
  long long ma0 = steep ? y0 : x0, mi0 = steep ? x0 : y0;
  long long dma = steep ? (long long)y1 - y0 : (long long)x1 - x0;
  long long dmi = steep ? (long long)x1 - x0 : (long long)y1 - y0;
  long long sma = dma < 0 ? -1 : 1, smi = dmi < 0 ? -1 : 1;
  long long a = dma < 0 ? -dma : dma, b = dmi < 0 ? -dmi : dmi;
  if (a == 0) return;
  long long bMaLo = steep ? bounds.Top : bounds.Left, bMaHi = steep ? bounds.Bottom : bounds.Right;
  long long bMiLo = steep ? bounds.Left : bounds.Top, bMiHi = steep ? bounds.Right : bounds.Bottom;
  // Steps whose major coordinate is inside.
  long long i0 = sma > 0 ? bMaLo - ma0 : ma0 - bMaHi + 1;
  long long i1 = sma > 0 ? bMaHi - ma0 : ma0 - bMaLo + 1;
  i0 = std::max(i0, 0LL);
  i1 = std::min(i1, a);
  // Steps whose minor coordinate can be inside: offset k = floor((a + 2 b i) / (2 a)).
  if (b == 0) {
    if (mi0 < bMiLo || mi0 >= bMiHi) return;
  } else {
    long long kLo = smi > 0 ? bMiLo - mi0 : mi0 - bMiHi + 1;
    long long kHi = smi > 0 ? bMiHi - mi0 : mi0 - bMiLo + 1;  // exclusive
    if (kHi <= 0) return;
    kLo = std::max(kLo, 0LL);
    i0 = std::max(i0, (2 * a * kLo - a) / (2 * b) - 1);
    i1 = std::min(i1, (2 * a * kHi - a) / (2 * b) + 2);
  }
  if (i0 >= i1) return;
  long long num = a + 2 * b * i0;
  long long k = num / (2 * a), err = num % (2 * a);
  for (long long i = i0; i < i1; ++i) {
    long long ma = ma0 + sma * i, mi = mi0 + smi * k;
    if (steep) plot(int(mi), int(ma), i);
    else plot(int(ma), int(mi), i);
    err += 2 * b;
    if (err >= 2 * a) {
      err -= 2 * a;
      ++k;
    }
  }
}

}  // namespace vcl::raster
