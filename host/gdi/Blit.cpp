// Block transfers: raster operations, stretching, masks, colour keys, alpha blending and
// gradient fills.
#include <cmath>
#include <cstring>

#include "host/gdi/BlendKernels.h"
#include "host/gdi/GdiDraw.h"
#include "host/gdi/GdiRaster.h"

namespace vcl {

using namespace raster;

namespace {

constexpr unsigned kSrcCopy = 0xCC;

// A surface rectangle from logical position and (non-negative) extents, clamped.
TRect SurfaceRect(TPoint off, long long x, long long y, long long w, long long h) {
  return {ClampCoord(x + off.X), ClampCoord(y + off.Y), ClampCoord(x + w + off.X),
          ClampCoord(y + h + off.Y)};
}

// ---- Source pixels --------------------------------------------------------------------------------

// 32-bit source pixels addressed in source surface coordinates.
struct SrcView {
  const std::uint32_t* Base = nullptr;
  int Stride = 0;
  int OX = 0, OY = 0;
  const std::uint32_t* At(int x, int y) const {
    return Base + ptrdiff_t(y - OY) * Stride + (x - OX);
  }
};

bool IsMono(HDC dc) { return dc->Bitmap && dc->Bitmap->BitsPerPixel == 1; }

// The pixels of s (inside the source surface) as the destination sees them: a monochrome
// source becomes the destination's text (0 bits) and background (1 bits) colours; a colour
// source for a monochrome destination becomes white where it equals the source's background
// colour and black elsewhere. With `copy`, the pixels are copied even without conversion (the
// source overlaps the destination).
SrcView SourcePixels(HDC src, cairo_surface_t* ss, const TRect& s, HDC dst, bool copy,
                     std::vector<std::uint32_t>& store) {
  int sw;
  const std::uint32_t* sp = SurfacePixels(ss, sw);
  bool monoToColour = IsMono(src) && !IsMono(dst);
  bool colourToMono = !IsMono(src) && IsMono(dst);
  if (!monoToColour && !colourToMono && !copy) return {sp, sw, 0, 0};
  int w = s.Width();
  store.resize(size_t(w) * size_t(s.Height()));
  std::uint32_t fg = OpaquePixel(dst->TextColor), bg = OpaquePixel(dst->BkColor);
  std::uint32_t key = OpaquePixel(src->BkColor) & 0xFFFFFFu;
  for (int y = s.Top; y < s.Bottom; ++y) {
    std::uint32_t* out = store.data() + size_t(y - s.Top) * size_t(w);
    if (monoToColour) {
      const BYTE* row = BitmapRow(src->Bitmap, y);
      for (int x = s.Left; x < s.Right; ++x)
        out[x - s.Left] = ((row[x >> 3] >> (7 - (x & 7))) & 1) ? bg : fg;
    } else {
      const std::uint32_t* in = sp + size_t(y) * size_t(sw) + s.Left;
      if (colourToMono) {
        for (int i = 0; i < w; ++i) out[i] = (in[i] & 0xFFFFFFu) == key ? 0xFFFFFFFFu : 0xFF000000u;
      } else {
        std::memcpy(out, in, size_t(w) * 4);
      }
    }
  }
  return {store.data(), w, s.Left, s.Top};
}

// The source surface of a DC (its drawing surface, flushed), or the destination's when the
// same DC.
cairo_surface_t* SourceSurface(HDC src, const DrawTarget& t) {
  return src == t.Dc ? t.Surface : src->BeginDraw();
}

// ---- Raster-operation kernels --------------------------------------------------------------------

template <unsigned Code>
struct FixedOp {
  std::uint32_t operator()(std::uint32_t p, std::uint32_t s, std::uint32_t d) const {
    if constexpr (Code == 0xEE) return Opaque(s | d);         // SRCPAINT
    else if constexpr (Code == 0x88) return Opaque(s & d);    // SRCAND
    else if constexpr (Code == 0x66) return Opaque(s ^ d);    // SRCINVERT
    else if constexpr (Code == 0x44) return Opaque(s & ~d);   // SRCERASE
    else if constexpr (Code == 0x33) return Opaque(~s);       // NOTSRCCOPY
    else if constexpr (Code == 0x11) return Opaque(~(s | d)); // NOTSRCERASE
    else if constexpr (Code == 0xC0) return Opaque(p & s);    // MERGECOPY
    else if constexpr (Code == 0xBB) return Opaque(~s | d);   // MERGEPAINT
    else if constexpr (Code == 0xF0) return Opaque(p);        // PATCOPY
    else if constexpr (Code == 0xFB) return Opaque(p | ~s | d);  // PATPAINT
    else if constexpr (Code == 0x5A) return Opaque(p ^ d);    // PATINVERT
    else if constexpr (Code == 0x55) return Opaque(~d);       // DSTINVERT
    else if constexpr (Code == 0x00) return 0xFF000000u;      // BLACKNESS
    else if constexpr (Code == 0xFF) return 0xFFFFFFFFu;      // WHITENESS
    else return Opaque(Rop3(Code, p, s, d));
  }
};

struct GenericOp {
  unsigned Code;
  std::uint32_t operator()(std::uint32_t p, std::uint32_t s, std::uint32_t d) const {
    return Code == kSrcCopy ? s : Opaque(Rop3(Code, p, s, d));
  }
};

// Applies op over the visible part of surface rect r; the source pixel of destination (x, y)
// is sv->At(x - dx, y - dy). pat: the pattern (nullptr when unused).
template <class Op>
void RunOp(const DrawTarget& t, const TRect& r, const SrcView* sv, int dx, int dy, const Paint* pat,
           Op op) {
  t.ForRect(r, [&](const TRect& c) {
    int n = c.Width();
    for (int y = c.Top; y < c.Bottom; ++y) {
      std::uint32_t* d = t.Row(y) + c.Left;
      const std::uint32_t* s = sv ? sv->At(c.Left - dx, y - dy) : nullptr;
      if (pat && pat->K != Paint::Kind::Solid) {
        for (int i = 0; i < n; ++i) {
          bool skip;
          std::uint32_t p = pat->At(c.Left + i, y, &skip);
          if (!skip) d[i] = op(p, s ? s[i] : 0, d[i]);
        }
      } else {
        std::uint32_t p = pat ? pat->Color : 0;
        if (s) {
          for (int i = 0; i < n; ++i) d[i] = op(p, s[i], d[i]);
        } else {
          for (int i = 0; i < n; ++i) d[i] = op(p, 0, d[i]);
        }
      }
    }
  });
}

void Apply(const DrawTarget& t, const TRect& r, unsigned code, const SrcView* sv, int dx, int dy,
           const Paint* pattern) {
  const Paint* pat = RopUsesPattern(code) ? pattern : nullptr;
  switch (code) {
    case kSrcCopy:
      t.ForRect(r, [&](const TRect& c) {
        for (int y = c.Top; y < c.Bottom; ++y)
          std::memcpy(t.Row(y) + c.Left, sv->At(c.Left - dx, y - dy), size_t(c.Width()) * 4);
      });
      return;
    case 0xF0:
      if (pat->K == Paint::Kind::Solid) {
        PaintRect(t, r, *pat);
        return;
      }
      return RunOp(t, r, sv, dx, dy, pat, FixedOp<0xF0>{});
    case 0xEE: return RunOp(t, r, sv, dx, dy, pat, FixedOp<0xEE>{});
    case 0x88: return RunOp(t, r, sv, dx, dy, pat, FixedOp<0x88>{});
    case 0x66: return RunOp(t, r, sv, dx, dy, pat, FixedOp<0x66>{});
    case 0x44: return RunOp(t, r, sv, dx, dy, pat, FixedOp<0x44>{});
    case 0x33: return RunOp(t, r, sv, dx, dy, pat, FixedOp<0x33>{});
    case 0x11: return RunOp(t, r, sv, dx, dy, pat, FixedOp<0x11>{});
    case 0xC0: return RunOp(t, r, sv, dx, dy, pat, FixedOp<0xC0>{});
    case 0xBB: return RunOp(t, r, sv, dx, dy, pat, FixedOp<0xBB>{});
    case 0xFB: return RunOp(t, r, sv, dx, dy, pat, FixedOp<0xFB>{});
    case 0x5A: return RunOp(t, r, sv, dx, dy, pat, FixedOp<0x5A>{});
    case 0x55: return RunOp(t, r, sv, dx, dy, pat, FixedOp<0x55>{});
    case 0x00: return PaintRect(t, r, SolidPaint(0));
    case 0xFF: return PaintRect(t, r, SolidPaint(0xFFFFFF));
    case 0xAA: return;  // the destination unchanged
    default: return RunOp(t, r, sv, dx, dy, pat, GenericOp{code});
  }
}

// The pattern of a raster operation: the selected brush. Returns false when the operation
// needs a pattern and the brush is hollow (nothing is drawn then).
bool PatternOf(HDC dc, unsigned code, Paint& pat) {
  if (!RopUsesPattern(code)) return true;
  pat = BrushPaint(dc, dc->Brush, R2_COPYPEN);
  return pat.K != Paint::Kind::None;
}

// Index of the source pixel under the centre of destination pixel i of n, for a source of m
// pixels; mirrored when flip.
inline int NearestIndex(long long i, long long n, long long m, bool flip) {
  long long j = ((2 * i + 1) * m) / (2 * n);
  return int(flip ? m - 1 - j : j);
}

// Normalises a signed extent: [pos, pos + ext) or [pos + ext, pos).
inline void SpanOf(long long pos, long long ext, long long& lo, long long& len) {
  lo = ext < 0 ? pos + ext : pos;
  len = ext < 0 ? -ext : ext;
}

// ---- Stretching -----------------------------------------------------------------------------------

// Weights of the source pixels a destination pixel covers (box filter), summing to 256.
struct Taps {
  std::vector<int> First;   // first source index per destination pixel
  std::vector<int> Start;   // offset into W per destination pixel (+ one end entry)
  std::vector<int> W;
};

void BoxTaps(int n, int m, bool flip, int i0, int i1, Taps& taps) {
  // Destination pixel i covers [i*m, (i+1)*m) in units where source pixel j is [j*n, (j+1)*n).
  taps.First.clear();
  taps.Start.clear();
  taps.W.clear();
  for (int i = i0; i < i1; ++i) {
    long long a = (long long)i * m, b = a + m;
    int j0 = int(a / n), j1 = int((b - 1) / n);
    taps.Start.push_back(int(taps.W.size()));
    int sum = 0, biggest = 0;
    size_t base = taps.W.size();
    for (int j = j0; j <= j1; ++j) {
      long long lo = std::max(a, (long long)j * n), hi = std::min(b, (long long)(j + 1) * n);
      int w = int(((hi - lo) * 256 + m / 2) / m);
      taps.W.push_back(w);
      sum += w;
      if (w > taps.W[base + biggest]) biggest = j - j0;
    }
    taps.W[base + biggest] += 256 - sum;
    if (flip) {
      std::reverse(taps.W.begin() + long(base), taps.W.end());
      taps.First.push_back(m - 1 - j1);
    } else {
      taps.First.push_back(j0);
    }
  }
  taps.Start.push_back(int(taps.W.size()));
}

// Fills `out` (v.Width() x v.Height()) with the source stretched onto destination rect d, for
// the visible part v of d. Source pixel (j, k) of the sw x sh source is src.At(sx0 + j, sy0 + k);
// only the pixels of `on` (source offsets on the surface) are read: v holds just the
// destination pixels whose nearest source pixel is there, and averaging repeats edge pixels.
void StretchInto(const SrcView& src, int sx0, int sy0, int sw, int sh, const TRect& on, bool flipX,
                 bool flipY, const TRect& d, const TRect& v, bool halftone,
                 std::vector<std::uint32_t>& out) {
  int vw = v.Width(), vh = v.Height();
  out.resize(size_t(vw) * size_t(vh));
  int dw = d.Width(), dh = d.Height();
  if (!halftone) {
    std::vector<int> cols(static_cast<size_t>(vw));
    for (int i = 0; i < vw; ++i) cols[size_t(i)] = NearestIndex(v.Left - d.Left + i, dw, sw, flipX);
    for (int y = 0; y < vh; ++y) {
      int k = NearestIndex(v.Top - d.Top + y, dh, sh, flipY);
      const std::uint32_t* s = src.At(sx0, sy0 + k);
      std::uint32_t* o = out.data() + size_t(y) * size_t(vw);
      for (int i = 0; i < vw; ++i) o[i] = s[cols[size_t(i)]];
    }
    return;
  }
  Taps tx, ty;
  BoxTaps(dw, sw, flipX, v.Left - d.Left, v.Right - d.Left, tx);
  BoxTaps(dh, sh, flipY, v.Top - d.Top, v.Bottom - d.Top, ty);
  std::vector<std::uint32_t> acc(size_t(vw) * 4);
  for (int y = 0; y < vh; ++y) {
    std::fill(acc.begin(), acc.end(), 0u);
    for (int q = ty.Start[size_t(y)]; q < ty.Start[size_t(y) + 1]; ++q) {
      int k = std::clamp(ty.First[size_t(y)] + (q - ty.Start[size_t(y)]), on.Top, on.Bottom - 1);
      std::uint32_t wy = std::uint32_t(ty.W[size_t(q)]);
      if (!wy) continue;
      const std::uint32_t* s = src.At(sx0, sy0 + k);
      for (int i = 0; i < vw; ++i) {
        std::uint32_t c0 = 0, c1 = 0, c2 = 0, c3 = 0;
        int first = tx.First[size_t(i)];
        for (int p = tx.Start[size_t(i)]; p < tx.Start[size_t(i) + 1]; ++p) {
          int j = std::clamp(first + (p - tx.Start[size_t(i)]), on.Left, on.Right - 1);
          std::uint32_t px = s[j], w = std::uint32_t(tx.W[size_t(p)]);
          c0 += (px & 0xFF) * w;
          c1 += ((px >> 8) & 0xFF) * w;
          c2 += ((px >> 16) & 0xFF) * w;
          c3 += (px >> 24) * w;
        }
        std::uint32_t* a = acc.data() + size_t(i) * 4;
        a[0] += c0 * wy;
        a[1] += c1 * wy;
        a[2] += c2 * wy;
        a[3] += c3 * wy;
      }
    }
    std::uint32_t* o = out.data() + size_t(y) * size_t(vw);
    for (int i = 0; i < vw; ++i) {
      const std::uint32_t* a = acc.data() + size_t(i) * 4;
      o[i] = ((a[0] + 32768) >> 16) | (((a[1] + 32768) >> 16) << 8) | (((a[2] + 32768) >> 16) << 16) |
             (((a[3] + 32768) >> 16) << 24);
    }
  }
}

// The destination pixels [lo, lo + n) whose nearest source index falls inside [0, avail) when
// the source starts at offset `first` (may be negative) of m pixels.
void ValidRange(long long n, long long m, bool flip, long long first, long long avail, long long& i0,
                long long& i1) {
  // Source index j (of m) is usable when 0 <= first + j < avail. Indices are monotonic in i.
  long long jLo = std::max(0LL, -first), jHi = std::min(m, avail - first);  // usable [jLo, jHi)
  if (jLo >= jHi) {
    i0 = i1 = 0;
    return;
  }
  if (flip) {
    long long a = m - jHi, b = m - jLo;
    jLo = a;
    jHi = b;
  }
  // Smallest i with j(i) >= jLo: (2i+1)m >= 2 n jLo.
  auto firstAtLeast = [&](long long j) {
    long long num = 2 * n * j - m;
    long long i = num <= 0 ? 0 : (num + 2 * m - 1) / (2 * m);
    return std::min(i, n);
  };
  i0 = firstAtLeast(jLo);
  i1 = firstAtLeast(jHi);
}

// ---- Gradients ------------------------------------------------------------------------------------

// Channel value at step i of n (0 .. n-1) between 16-bit c0 and c1, as a byte.
inline std::uint32_t Lerp16(long long c0, long long c1, long long i, long long n) {
  if (n <= 1) return std::uint32_t(c0 >> 8);
  long long num = (c1 - c0) * i * 2, den = 2 * (n - 1);
  long long q = num >= 0 ? (num + (n - 1)) / den : -((-num + (n - 1)) / den);
  return std::uint32_t(std::clamp(c0 + q, 0LL, 65535LL) >> 8);
}

std::uint32_t GradientPixel(const TRIVERTEX& a, const TRIVERTEX& b, long long i, long long n) {
  return 0xFF000000u | (Lerp16(a.Red, b.Red, i, n) << 16) | (Lerp16(a.Green, b.Green, i, n) << 8) |
         Lerp16(a.Blue, b.Blue, i, n);
}

void GradientRect(const DrawTarget& t, const TRIVERTEX& v0, const TRIVERTEX& v1, bool vertical) {
  const TRIVERTEX* a = &v0;
  const TRIVERTEX* b = &v1;
  if (vertical ? b->y < a->y : b->x < a->x) std::swap(a, b);
  TRect r{ClampCoord((long long)std::min(v0.x, v1.x) + t.Off.X),
          ClampCoord((long long)std::min(v0.y, v1.y) + t.Off.Y),
          ClampCoord((long long)std::max(v0.x, v1.x) + t.Off.X),
          ClampCoord((long long)std::max(v0.y, v1.y) + t.Off.Y)};
  TRect vis = TRect::Intersect(r, t.ClipBox);
  if (vis.IsEmpty()) return;
  if (vertical) {
    long long n = r.Height();
    t.ForRect(vis, [&](const TRect& c) {
      for (int y = c.Top; y < c.Bottom; ++y) {
        std::uint32_t px = GradientPixel(*a, *b, y - r.Top, n);
        std::fill(t.Row(y) + c.Left, t.Row(y) + c.Right, px);
      }
    });
    return;
  }
  long long n = r.Width();
  std::vector<std::uint32_t> row(static_cast<size_t>(vis.Width()));
  for (int x = vis.Left; x < vis.Right; ++x) row[size_t(x - vis.Left)] = GradientPixel(*a, *b, x - r.Left, n);
  t.ForRect(vis, [&](const TRect& c) {
    for (int y = c.Top; y < c.Bottom; ++y)
      std::memcpy(t.Row(y) + c.Left, row.data() + (c.Left - vis.Left), size_t(c.Width()) * 4);
  });
}

void GradientTriangle(const DrawTarget& t, const TRIVERTEX& v0, const TRIVERTEX& v1,
                      const TRIVERTEX& v2) {
  // Doubled coordinates: vertices at even values, pixel centres at odd ones.
  const TRIVERTEX* v[3] = {&v0, &v1, &v2};
  long long X[3], Y[3];
  for (int i = 0; i < 3; ++i) {
    X[i] = 2 * (long long)ClampCoord((long long)v[i]->x + t.Off.X);
    Y[i] = 2 * (long long)ClampCoord((long long)v[i]->y + t.Off.Y);
  }
  long long area = (X[1] - X[0]) * (Y[2] - Y[0]) - (Y[1] - Y[0]) * (X[2] - X[0]);
  if (area == 0) return;
  if (area < 0) {
    std::swap(X[1], X[2]);
    std::swap(Y[1], Y[2]);
    std::swap(v[1], v[2]);
    area = -area;
  }
  TRect box{int(std::min({X[0], X[1], X[2]}) / 2), int(std::min({Y[0], Y[1], Y[2]}) / 2),
            int(std::max({X[0], X[1], X[2]}) / 2), int(std::max({Y[0], Y[1], Y[2]}) / 2)};
  TRect vis = TRect::Intersect(box, t.ClipBox);
  if (vis.IsEmpty()) return;
  // Edge i runs from vertex i+1 to vertex i+2 and weighs vertex i.
  struct Edge {
    long long ax, ay, dx, dy;
    bool TopLeft;
  } e[3];
  for (int i = 0; i < 3; ++i) {
    int p = (i + 1) % 3, q = (i + 2) % 3;
    e[i] = {X[p], Y[p], X[q] - X[p], Y[q] - Y[p], false};
    e[i].TopLeft = (e[i].dy == 0 && e[i].dx > 0) || e[i].dy < 0;
  }
  double inv = 1.0 / double(area);
  auto chan = [&](int c, const double* l) {
    double s = 0;
    for (int i = 0; i < 3; ++i) {
      COLOR16 cv = c == 0 ? v[i]->Red : c == 1 ? v[i]->Green : v[i]->Blue;
      s += l[i] * cv;
    }
    return std::uint32_t(std::clamp(std::lround(s), 0L, 65535L) >> 8);
  };
  for (int y = vis.Top; y < vis.Bottom; ++y) {
    long long py = 2LL * y + 1;
    t.ForSpan(y, vis.Left, vis.Right, [&](int yy, int x0, int x1) {
      std::uint32_t* row = t.Row(yy);
      for (int x = x0; x < x1; ++x) {
        long long px = 2LL * x + 1;
        double l[3];
        bool in = true;
        for (int i = 0; i < 3 && in; ++i) {
          long long ev = e[i].dx * (py - e[i].ay) - e[i].dy * (px - e[i].ax);
          if (ev < 0 || (ev == 0 && !e[i].TopLeft)) in = false;
          l[i] = double(ev) * inv;
        }
        if (in) row[x] = 0xFF000000u | (chan(0, l) << 16) | (chan(1, l) << 8) | chan(2, l);
      }
    });
  }
}

}  // namespace

// ---- Public calls ---------------------------------------------------------------------------------

bool PatBlt(HDC dc, int x, int y, int w, int h, DWORD rop) {
  if (!dc) return false;
  unsigned code = (rop >> 16) & 0xFF;
  if (RopUsesSource(code)) return false;
  DrawTarget t(dc);
  if (!t) return false;
  long long lx, lw, ly, lh;
  SpanOf(x, w, lx, lw);
  SpanOf(y, h, ly, lh);
  Paint pat;
  if (!PatternOf(dc, code, pat)) return true;
  Apply(t, SurfaceRect(t.Off, lx, ly, lw, lh), code, nullptr, 0, 0, &pat);
  return true;
}

bool BitBlt(HDC dst, int x, int y, int w, int h, HDC src, int sx, int sy, DWORD rop) {
  if (!dst) return false;
  unsigned code = (rop >> 16) & 0xFF;
  if (!RopUsesSource(code)) return PatBlt(dst, x, y, w, h, rop);
  if (!src) return false;
  long long lx = x, ly = y, lw = w, lh = h, lsx = sx, lsy = sy;
  if (lw < 0) { lx += lw; lsx += lw; lw = -lw; }
  if (lh < 0) { ly += lh; lsy += lh; lh = -lh; }
  DrawTarget t(dst);
  if (!t) return false;
  cairo_surface_t* ss = SourceSurface(src, t);
  if (!ss) return false;
  TRect d = SurfaceRect(t.Off, lx, ly, lw, lh);
  TRect s = SurfaceRect(src->Offset(), lsx, lsy, lw, lh);
  int dx = d.Left - s.Left, dy = d.Top - s.Top;
  // Only source pixels inside the source surface are transferred.
  s = TRect::Intersect(s, {0, 0, cairo_image_surface_get_width(ss), cairo_image_surface_get_height(ss)});
  d = TRect::Intersect(s.Offsetted(dx, dy), TRect::Intersect(d, t.ClipBox));
  if (d.IsEmpty()) return true;
  s = d.Offsetted(-dx, -dy);
  Paint pat;
  if (!PatternOf(dst, code, pat)) return true;
  std::vector<std::uint32_t> store;
  bool overlap = ss == t.Surface && s.IntersectsWith(d);
  SrcView sv = SourcePixels(src, ss, s, dst, overlap, store);
  Apply(t, d, code, &sv, dx, dy, &pat);
  return true;
}

bool StretchBlt(HDC dst, int x, int y, int w, int h, HDC src, int sx, int sy, int sw, int sh,
                DWORD rop) {
  if (!dst) return false;
  unsigned code = (rop >> 16) & 0xFF;
  if (!RopUsesSource(code)) return PatBlt(dst, x, y, w, h, rop);
  if (!src) return false;
  if (w == sw && h == sh) return BitBlt(dst, x, y, w, h, src, sx, sy, rop);
  if (w == 0 || h == 0 || sw == 0 || sh == 0) return true;
  DrawTarget t(dst);
  if (!t) return false;
  cairo_surface_t* ss = SourceSurface(src, t);
  if (!ss) return false;
  long long dlx, dlw, dly, dlh, slx, slw, sly, slh;
  SpanOf(x, w, dlx, dlw);
  SpanOf(y, h, dly, dlh);
  SpanOf(sx, sw, slx, slw);
  SpanOf(sy, sh, sly, slh);
  bool flipX = (w < 0) != (sw < 0), flipY = (h < 0) != (sh < 0);
  TRect d = SurfaceRect(t.Off, dlx, dly, dlw, dlh);
  TRect s = SurfaceRect(src->Offset(), slx, sly, slw, slh);
  int ssw = cairo_image_surface_get_width(ss), ssh = cairo_image_surface_get_height(ss);
  // Keep the destination pixels whose source pixel lies on the source surface.
  long long i0, i1, k0, k1;
  ValidRange(d.Width(), s.Width(), flipX, s.Left, ssw, i0, i1);
  ValidRange(d.Height(), s.Height(), flipY, s.Top, ssh, k0, k1);
  TRect v{int(d.Left + i0), int(d.Top + k0), int(d.Left + i1), int(d.Top + k1)};
  v = TRect::Intersect(v, t.ClipBox);
  if (v.IsEmpty()) return true;
  Paint pat;
  if (!PatternOf(dst, code, pat)) return true;
  // The source rectangle's part on the surface, converted for the destination.
  TRect sOn = TRect::Intersect(s, {0, 0, ssw, ssh});
  std::vector<std::uint32_t> store, stretched;
  SrcView sv = SourcePixels(src, ss, sOn, dst, false, store);
  StretchInto(sv, s.Left, s.Top, s.Width(), s.Height(), sOn.Offsetted(-s.Left, -s.Top), flipX,
              flipY, d, v, dst->StretchMode == HALFTONE, stretched);
  SrcView tv{stretched.data(), v.Width(), v.Left, v.Top};
  Apply(t, v, code, &tv, 0, 0, &pat);
  return true;
}

bool MaskBlt(HDC dst, int x, int y, int w, int h, HDC src, int sx, int sy, HBITMAP mask, int mx,
             int my, DWORD rop4) {
  if (!dst) return false;
  if (!mask) return BitBlt(dst, x, y, w, h, src, sx, sy, rop4 & 0x00FFFFFFu);
  unsigned fore = (rop4 >> 16) & 0xFF, back = (rop4 >> 24) & 0xFF;
  bool useSrc = RopUsesSource(fore) || RopUsesSource(back);
  if (useSrc && !src) return false;
  if (w <= 0 || h <= 0) return true;
  if (mx < 0 || my < 0 || (long long)mx + w > mask->Width || (long long)my + h > mask->Height)
    return false;
  DrawTarget t(dst);
  if (!t) return false;
  cairo_surface_t* ss = useSrc ? SourceSurface(src, t) : nullptr;
  if (useSrc && !ss) return false;
  cairo_surface_t* ms = mask->BitsPerPixel == 1 ? nullptr : BitmapSurface(mask);
  int msw = 0;
  const std::uint32_t* mp = ms ? (cairo_surface_flush(ms), SurfacePixels(ms, msw)) : nullptr;
  auto maskBit = [&](int i, int j) {
    int bx = mx + i, by = my + j;
    if (!ms) return ((BitmapRow(mask, by)[bx >> 3] >> (7 - (bx & 7))) & 1) != 0;
    return (mp[size_t(by) * size_t(msw) + size_t(bx)] & 0xFFFFFFu) != 0;
  };
  TRect d = SurfaceRect(t.Off, x, y, w, h);
  int dx = 0, dy = 0;
  SrcView sv;
  std::vector<std::uint32_t> store;
  TRect vis = TRect::Intersect(d, t.ClipBox);
  if (useSrc) {
    TRect s = SurfaceRect(src->Offset(), sx, sy, w, h);
    dx = d.Left - s.Left;
    dy = d.Top - s.Top;
    s = TRect::Intersect(s, {0, 0, cairo_image_surface_get_width(ss), cairo_image_surface_get_height(ss)});
    vis = TRect::Intersect(vis, s.Offsetted(dx, dy));
    if (vis.IsEmpty()) return true;
    s = vis.Offsetted(-dx, -dy);
    sv = SourcePixels(src, ss, s, dst, ss == t.Surface && s.IntersectsWith(vis), store);
  }
  if (vis.IsEmpty()) return true;
  Paint pat;
  if ((RopUsesPattern(fore) || RopUsesPattern(back)) && !PatternOf(dst, 0xF0, pat)) return true;
  t.ForRect(vis, [&](const TRect& c) {
    for (int yy = c.Top; yy < c.Bottom; ++yy) {
      std::uint32_t* row = t.Row(yy);
      const std::uint32_t* s = useSrc ? sv.At(c.Left - dx, yy - dy) : nullptr;
      for (int xx = c.Left; xx < c.Right; ++xx) {
        unsigned code = maskBit(xx - d.Left, yy - d.Top) ? fore : back;
        bool skip = false;
        std::uint32_t p = pat.K != Paint::Kind::None ? pat.At(xx, yy, &skip) : 0;
        if (skip) continue;
        std::uint32_t sp = s ? s[xx - c.Left] : 0;
        row[xx] = GenericOp{code}(p, sp, row[xx]);
      }
    }
  });
  return true;
}

bool TransparentBlt(HDC dst, int x, int y, int w, int h, HDC src, int sx, int sy, int sw, int sh,
                    UINT transparent) {
  if (!dst || !src || w <= 0 || h <= 0 || sw <= 0 || sh <= 0) return false;
  DrawTarget t(dst);
  if (!t) return false;
  cairo_surface_t* ss = SourceSurface(src, t);
  if (!ss) return false;
  TRect d = SurfaceRect(t.Off, x, y, w, h);
  TRect s = SurfaceRect(src->Offset(), sx, sy, sw, sh);
  int ssw = cairo_image_surface_get_width(ss), ssh = cairo_image_surface_get_height(ss);
  long long i0, i1, k0, k1;
  ValidRange(d.Width(), s.Width(), false, s.Left, ssw, i0, i1);
  ValidRange(d.Height(), s.Height(), false, s.Top, ssh, k0, k1);
  TRect v = TRect::Intersect({int(d.Left + i0), int(d.Top + k0), int(d.Left + i1), int(d.Top + k1)},
                             t.ClipBox);
  if (v.IsEmpty()) return true;
  TRect sOn = TRect::Intersect(s, {0, 0, ssw, ssh});
  std::vector<std::uint32_t> store, stretched;
  SrcView sv = SourcePixels(src, ss, sOn, dst, false, store);
  StretchInto(sv, s.Left, s.Top, s.Width(), s.Height(), sOn.Offsetted(-s.Left, -s.Top), false,
              false, d, v, false, stretched);
  std::uint32_t key = OpaquePixel(transparent) & 0xFFFFFFu;
  t.ForRect(v, [&](const TRect& c) {
    for (int yy = c.Top; yy < c.Bottom; ++yy) {
      std::uint32_t* row = t.Row(yy);
      const std::uint32_t* sp = stretched.data() + size_t(yy - v.Top) * size_t(v.Width()) - v.Left;
      for (int xx = c.Left; xx < c.Right; ++xx)
        if ((sp[xx] & 0xFFFFFFu) != key) row[xx] = sp[xx];
    }
  });
  return true;
}

bool AlphaBlend(HDC dst, int x, int y, int w, int h, HDC src, int sx, int sy, int sw, int sh,
                BLENDFUNCTION bf) {
  if (!dst || !src || w <= 0 || h <= 0 || sw <= 0 || sh <= 0) return false;
  if (bf.BlendOp != AC_SRC_OVER || (bf.AlphaFormat & ~AC_SRC_ALPHA)) return false;
  DrawTarget t(dst);
  if (!t) return false;
  cairo_surface_t* ss = SourceSurface(src, t);
  if (!ss) return false;
  TRect s = SurfaceRect(src->Offset(), sx, sy, sw, sh);
  if (!TRect{0, 0, cairo_image_surface_get_width(ss), cairo_image_surface_get_height(ss)}.Contains(s))
    return false;
  TRect d = SurfaceRect(t.Off, x, y, w, h);
  TRect v = TRect::Intersect(d, t.ClipBox);
  if (v.IsEmpty()) return true;
  std::vector<std::uint32_t> store;
  SrcView sv = SourcePixels(src, ss, s, dst, ss == t.Surface && s.IntersectsWith(d), store);
  bool stretch = sw != w || sh != h;
  std::vector<int> cols;
  if (stretch) {
    cols.resize(size_t(v.Width()));
    for (int i = v.Left; i < v.Right; ++i) cols[size_t(i - v.Left)] = NearestIndex(i - d.Left, d.Width(), sw, false);
  }
  std::uint32_t sca = bf.SourceConstantAlpha;
  bool perPixel = bf.AlphaFormat & AC_SRC_ALPHA;
  TBlendMode mode = perPixel ? TBlendMode::PerPixelConstant : TBlendMode::OpaqueConstant;
  std::vector<std::uint32_t> gathered(stretch ? size_t(v.Width()) : 0);
  t.ForRect(v, [&](const TRect& c) {
    for (int yy = c.Top; yy < c.Bottom; ++yy) {
      int k = stretch ? NearestIndex(yy - d.Top, d.Height(), sh, false) : yy - d.Top;
      const std::uint32_t* srow = sv.At(s.Left, s.Top + k);
      const std::uint32_t* in = srow + (c.Left - d.Left);
      if (stretch) {
        for (int xx = c.Left; xx < c.Right; ++xx) gathered[size_t(xx - c.Left)] = srow[cols[size_t(xx - v.Left)]];
        in = gathered.data();
      }
      BlendRow(t.Row(yy) + c.Left, in, c.Width(), mode, sca);
    }
  });
  return true;
}

bool GradientFill(HDC dc, const TRIVERTEX* vertices, ULONG nVertices, const void* mesh, ULONG nMesh,
                  ULONG mode) {
  if (!dc || !vertices || !mesh || mode > GRADIENT_FILL_TRIANGLE) return false;
  DrawTarget t(dc);
  if (!t) return false;
  if (mode == GRADIENT_FILL_TRIANGLE) {
    const auto* tri = static_cast<const GRADIENT_TRIANGLE*>(mesh);
    for (ULONG i = 0; i < nMesh; ++i)
      if (tri[i].Vertex1 >= nVertices || tri[i].Vertex2 >= nVertices || tri[i].Vertex3 >= nVertices)
        return false;
    for (ULONG i = 0; i < nMesh; ++i)
      GradientTriangle(t, vertices[tri[i].Vertex1], vertices[tri[i].Vertex2], vertices[tri[i].Vertex3]);
    return true;
  }
  const auto* rects = static_cast<const GRADIENT_RECT*>(mesh);
  for (ULONG i = 0; i < nMesh; ++i)
    if (rects[i].UpperLeft >= nVertices || rects[i].LowerRight >= nVertices) return false;
  for (ULONG i = 0; i < nMesh; ++i)
    GradientRect(t, vertices[rects[i].UpperLeft], vertices[rects[i].LowerRight],
                 mode == GRADIENT_FILL_RECT_V);
  return true;
}

}  // namespace vcl
