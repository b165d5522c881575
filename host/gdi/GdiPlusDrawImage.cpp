// GDI+ image drawing. Axis-aligned draws are resampled here with a separable filter into
// exactly the visible destination pixels and then composited; unscaled pixel-aligned draws
// are plain blits; rotated or sheared draws go through a cairo surface pattern.
//
// Filters (all on premultiplied pixels, so transparent pixels never tint their neighbours):
// nearest neighbour; bilinear (tent of radius 1); bicubic (Catmull-Rom, radius 2). The
// high-quality modes widen the kernel by the shrink factor when shrinking, so a large image
// drawn small is averaged over all its pixels instead of sampled (no aliasing).
#include <algorithm>
#include <cmath>
#include <cstring>
#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include "host/gdi/GdiPlusInternal.h"

namespace vcl {

namespace {

constexpr int kWeightBits = 14;
constexpr int kOne = 1 << kWeightBits;

enum class Kernel { Nearest, Tent, Cubic };
enum class Edge { Pad, Tile, Border };

struct Filter {
  Kernel K = Kernel::Tent;
  bool Prefilter = false;
};

Filter FilterFor(InterpolationMode m) {
  switch (m) {
    case InterpolationModeNearestNeighbor: return {Kernel::Nearest, false};
    case InterpolationModeHighQualityBilinear: return {Kernel::Tent, true};
    case InterpolationModeBicubic: return {Kernel::Cubic, false};
    case InterpolationModeHighQuality:
    case InterpolationModeHighQualityBicubic: return {Kernel::Cubic, true};
    default: return {Kernel::Tent, false};
  }
}

cairo_filter_t CairoFilterFor(const Filter& f) {
  switch (f.K) {
    case Kernel::Nearest: return CAIRO_FILTER_NEAREST;
    case Kernel::Tent: return f.Prefilter ? CAIRO_FILTER_GOOD : CAIRO_FILTER_BILINEAR;
    default: return CAIRO_FILTER_BEST;
  }
}

double KernelAt(Kernel k, double x) {
  x = std::fabs(x);
  if (k == Kernel::Tent) return x < 1 ? 1 - x : 0;
  // Catmull-Rom (a = -0.5).
  if (x < 1) return (1.5 * x - 2.5) * x * x + 1;
  if (x < 2) return ((-0.5 * x + 2.5) * x - 4) * x + 2;
  return 0;
}

// Filter taps of one axis: for output o, the pairs (Index[Start[o] + t], Weight[...]) for
// t < Count[o]; index -1 stands for the border colour. Contiguous: every output's indices are
// consecutive (always so with edge padding), which the vector code relies on.
struct Axis {
  std::vector<int> Start, Count, Index, Weight;
  int MaxTaps = 0;
  bool Contiguous = true;
  void Clear() {
    Start.clear();
    Count.clear();
    Index.clear();
    Weight.clear();
    MaxTaps = 0;
    Contiguous = true;
  }
};

int MapIndex(int j, int lo, int hi, Edge edge) {
  if (j >= lo && j < hi) return j;
  switch (edge) {
    case Edge::Pad: return j < lo ? lo : hi - 1;
    case Edge::Tile: {
      int n = hi - lo, m = (j - lo) % n;
      return lo + (m < 0 ? m + n : m);
    }
    default: return -1;
  }
}

// Output pixel i (of n starting at out0) samples the source around u = a * i + b (source pixel
// j covers [j, j + 1)). Source pixels [lo, hi) are inside; others follow `edge`.
void BuildAxis(Axis& ax, int out0, int n, double a, double b, int lo, int hi, const Filter& f, Edge edge) {
  ax.Clear();
  ax.Start.reserve(size_t(n));
  ax.Count.reserve(size_t(n));
  thread_local std::vector<double> raw;
  double fs = f.Prefilter ? std::max(1.0, std::fabs(a)) : 1.0;
  double radius = (f.K == Kernel::Cubic ? 2.0 : 1.0) * fs;
  for (int o = 0; o < n; ++o) {
    double u = a * (out0 + o) + b;
    int start = int(ax.Index.size());
    auto push = [&](int idx, int w) {
      int s = int(ax.Index.size());
      if (s > start && ax.Index[s - 1] == idx) {
        ax.Weight[s - 1] += w;
      } else {
        ax.Index.push_back(idx);
        ax.Weight.push_back(w);
      }
    };
    if (f.K == Kernel::Nearest) {
      push(MapIndex(int(std::floor(u - 1e-9)), lo, hi, edge), kOne);
    } else {
      int j0 = int(std::floor(u - radius)), j1 = int(std::ceil(u + radius));
      if (edge == Edge::Pad) {
        // Taps outside the source are dropped and the rest renormalised: repeating the edge
        // pixel would overweight it under a wide (shrinking) kernel.
        j0 = std::max(j0, lo);
        j1 = std::min(j1, hi - 1);
      }
      raw.clear();
      double sum = 0;
      for (int j = j0; j <= j1; ++j) {
        double w = KernelAt(f.K, (j + 0.5 - u) / fs);
        raw.push_back(w);
        sum += w;
      }
      // Zero weights at either end are trimmed; inner ones stay so indices remain consecutive.
      int t0 = 0, t1 = int(raw.size());
      while (t0 < t1 && raw[size_t(t0)] == 0) ++t0;
      while (t1 > t0 && raw[size_t(t1 - 1)] == 0) --t1;
      if (!(sum > 1e-9) || t0 == t1) {
        push(MapIndex(int(std::floor(u)), lo, hi, edge), kOne);
      } else {
        int total = 0;
        for (int t = t0; t < t1; ++t) {
          int w = int(std::lround(raw[size_t(t)] / sum * kOne));
          push(MapIndex(j0 + t, lo, hi, edge), w);
          total += w;
        }
        // Make the weights sum to exactly one: flat areas stay exactly flat.
        if (total != kOne) {
          auto first = ax.Weight.begin() + start;
          *std::max_element(first, ax.Weight.end()) += kOne - total;
        }
      }
    }
    int count = int(ax.Index.size()) - start;
    for (int t = 1; t < count && ax.Contiguous; ++t)
      if (ax.Index[size_t(start + t)] != ax.Index[size_t(start)] + t || ax.Index[size_t(start)] < 0)
        ax.Contiguous = false;
    if (count > 0 && ax.Index[size_t(start)] < 0) ax.Contiguous = false;
    ax.Start.push_back(start);
    ax.Count.push_back(count);
    ax.MaxTaps = std::max(ax.MaxTaps, count);
  }
}

// Both passes work on 16-bit channels: the horizontal pass keeps 6 fraction bits (channel
// value x 64, room for the overshoot of the bicubic lobes), the vertical pass rounds them away.
constexpr int kHorzShift = kWeightBits - 6;
constexpr int kVertShift = kWeightBits + 6;

inline std::uint32_t PackWeights(int w0, int w1) {
  return (std::uint32_t(w0) & 0xFFFFu) | (std::uint32_t(w1) << 16);
}

// One source row filtered horizontally into outW pixels of four int16 channels (b, g, r, a).
void FilterRow(const std::uint32_t* row, const Axis& ax, int outW, std::uint32_t border, std::int16_t* dst) {
#ifdef __SSE2__
  if (ax.Contiguous) {
    const __m128i zero = _mm_setzero_si128(), round = _mm_set1_epi32(1 << (kHorzShift - 1));
    for (int o = 0; o < outW; ++o) {
      int s = ax.Start[size_t(o)], n = ax.Count[size_t(o)];
      const int* w = ax.Weight.data() + s;
      const std::uint32_t* p = row + ax.Index[size_t(s)];
      __m128i acc = zero;
      int t = 0;
      for (; t + 1 < n; t += 2) {
        __m128i v = _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(p + t)), zero);
        __m128i pair = _mm_unpacklo_epi16(v, _mm_srli_si128(v, 8));
        acc = _mm_add_epi32(acc, _mm_madd_epi16(pair, _mm_set1_epi32(int(PackWeights(w[t], w[t + 1])))));
      }
      if (t < n) {
        __m128i v = _mm_unpacklo_epi8(_mm_cvtsi32_si128(int(p[t])), zero);
        acc = _mm_add_epi32(acc, _mm_madd_epi16(_mm_unpacklo_epi16(v, zero), _mm_set1_epi32(w[t] & 0xFFFF)));
      }
      acc = _mm_srai_epi32(_mm_add_epi32(acc, round), kHorzShift);
      _mm_storel_epi64(reinterpret_cast<__m128i*>(dst + size_t(o) * 4), _mm_packs_epi32(acc, acc));
    }
    return;
  }
#endif
  for (int o = 0; o < outW; ++o) {
    int s = ax.Start[size_t(o)], n = ax.Count[size_t(o)];
    int c[4] = {0, 0, 0, 0};
    for (int t = 0; t < n; ++t) {
      int idx = ax.Index[size_t(s + t)], w = ax.Weight[size_t(s + t)];
      std::uint32_t px = idx < 0 ? border : row[idx];
      for (int k = 0; k < 4; ++k) c[k] += w * int((px >> (8 * k)) & 0xFF);
    }
    for (int k = 0; k < 4; ++k)
      dst[size_t(o) * 4 + size_t(k)] =
          std::int16_t(std::clamp((c[k] + (1 << (kHorzShift - 1))) >> kHorzShift, -32768, 32767));
  }
}

// Combines filtered rows with vertical weights into premultiplied pixels.
void CombineRows(const std::int16_t* const* rows, const int* w, int n, int outW, std::uint32_t* out) {
  int x = 0;
#ifdef __SSE2__
  const __m128i zero = _mm_setzero_si128(), round = _mm_set1_epi32(1 << (kVertShift - 1));
  for (; x + 1 < outW; x += 2) {
    __m128i acc0 = zero, acc1 = zero;
    int t = 0;
    for (; t + 1 < n; t += 2) {
      __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(rows[t] + size_t(x) * 4));
      __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(rows[t + 1] + size_t(x) * 4));
      __m128i ww = _mm_set1_epi32(int(PackWeights(w[t], w[t + 1])));
      acc0 = _mm_add_epi32(acc0, _mm_madd_epi16(_mm_unpacklo_epi16(a, b), ww));
      acc1 = _mm_add_epi32(acc1, _mm_madd_epi16(_mm_unpackhi_epi16(a, b), ww));
    }
    if (t < n) {
      __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(rows[t] + size_t(x) * 4));
      __m128i ww = _mm_set1_epi32(w[t] & 0xFFFF);
      acc0 = _mm_add_epi32(acc0, _mm_madd_epi16(_mm_unpacklo_epi16(a, zero), ww));
      acc1 = _mm_add_epi32(acc1, _mm_madd_epi16(_mm_unpackhi_epi16(a, zero), ww));
    }
    acc0 = _mm_srai_epi32(_mm_add_epi32(acc0, round), kVertShift);
    acc1 = _mm_srai_epi32(_mm_add_epi32(acc1, round), kVertShift);
    __m128i px = _mm_packus_epi16(_mm_packs_epi32(acc0, acc1), zero);  // 2 pixels, clamped to 0..255
    // Colour never exceeds alpha in premultiplied pixels.
    __m128i al = _mm_srli_epi32(px, 24);
    al = _mm_or_si128(al, _mm_slli_epi32(al, 8));
    al = _mm_or_si128(al, _mm_slli_epi32(al, 16));
    px = _mm_min_epu8(px, al);
    _mm_storel_epi64(reinterpret_cast<__m128i*>(out + x), px);
  }
#endif
  for (; x < outW; ++x) {
    int c[4] = {0, 0, 0, 0};
    for (int t = 0; t < n; ++t)
      for (int k = 0; k < 4; ++k) c[k] += w[t] * rows[t][size_t(x) * 4 + size_t(k)];
    int v[4];
    for (int k = 0; k < 4; ++k) v[k] = std::clamp((c[k] + (1 << (kVertShift - 1))) >> kVertShift, 0, 255);
    for (int k = 0; k < 3; ++k) v[k] = std::min(v[k], v[3]);
    out[x] = (std::uint32_t(v[3]) << 24) | (std::uint32_t(v[2]) << 16) | (std::uint32_t(v[1]) << 8) | std::uint32_t(v[0]);
  }
}

// Resamples src (premultiplied words) into out (outW x outH words, premultiplied).
void Resample(const std::uint32_t* src, int srcStride, const Axis& ax, const Axis& ay, int outW,
              int outH, int loY, int hiY, Edge edgeY, std::uint32_t border, std::uint32_t* out) {
  // Ring of horizontally filtered rows (each source row is filtered once), plus one row of
  // the border colour.
  int ringRows = edgeY == Edge::Tile ? hiY - loY : std::max(1, ay.MaxTaps);
  size_t rowLen = size_t(outW + 1) * 4;  // one spare pixel for the two-pixel vector loop
  thread_local std::vector<std::int16_t> ring;
  thread_local std::vector<int> tags;
  thread_local std::vector<const std::int16_t*> rows;
  ring.assign(size_t(ringRows + 1) * rowLen, 0);
  tags.assign(size_t(ringRows), -1);
  std::int16_t* borderRow = ring.data() + size_t(ringRows) * rowLen;
  for (int x = 0; x < outW; ++x)
    for (int k = 0; k < 4; ++k) borderRow[size_t(x) * 4 + size_t(k)] = std::int16_t(((border >> (8 * k)) & 0xFF) << 6);
  for (int oy = 0; oy < outH; ++oy) {
    int s = ay.Start[size_t(oy)], n = ay.Count[size_t(oy)];
    rows.resize(size_t(n));
    for (int t = 0; t < n; ++t) {
      int idx = ay.Index[size_t(s + t)];
      if (idx < 0) {
        rows[size_t(t)] = borderRow;
        continue;
      }
      int slot = edgeY == Edge::Tile ? idx - loY : idx % ringRows;
      std::int16_t* r = ring.data() + size_t(slot) * rowLen;
      if (tags[size_t(slot)] != idx) {
        FilterRow(src + size_t(idx) * size_t(srcStride), ax, outW, border, r);
        tags[size_t(slot)] = idx;
      }
      rows[size_t(t)] = r;
    }
    CombineRows(rows.data(), ay.Weight.data() + s, n, outW, out + size_t(oy) * size_t(outW));
  }
}

// ---- Resampled results ----------------------------------------------------------------------
// Icons and wallpapers are drawn again and again at the same size: the resampled pixels are
// kept, keyed by the source (bitmap identity and pixel version, or for wrapped memory a hash of
// its rows) and every parameter of the resampling, within a small memory budget.
struct ScaledKey {
  std::uint64_t Source = 0, Version = 0;
  bool Wrapped = false;
  int OutW = 0, OutH = 0, LoX = 0, HiX = 0, LoY = 0, HiY = 0;
  double Ax = 0, Bx = 0, Ay = 0, By = 0;  // sampling of the first output pixel and the step
  Kernel K = Kernel::Nearest;
  bool Prefilter = false;
  Edge EdgeMode = Edge::Pad;
  std::uint32_t Border = 0;
  bool operator==(const ScaledKey&) const = default;
};

class ScaledCache {
 public:
  static constexpr size_t kBudget = size_t(2) << 20;    // bytes of pixels
  static constexpr size_t kMaxEntry = size_t(256) << 10;  // larger results are not kept

  const std::vector<std::uint32_t>* Find(const ScaledKey& key) {
    for (Entry& e : FEntries)
      if (e.Key == key) {
        e.Stamp = ++FClock;
        return &e.Pixels;
      }
    return nullptr;
  }

  void Store(const ScaledKey& key, const std::uint32_t* px, size_t count) {
    size_t bytes = count * 4;
    if (bytes > kMaxEntry) return;
    while (!FEntries.empty() && FBytes + bytes > kBudget) {
      auto oldest = std::min_element(FEntries.begin(), FEntries.end(),
                                     [](const Entry& a, const Entry& b) { return a.Stamp < b.Stamp; });
      FBytes -= oldest->Pixels.size() * 4;
      *oldest = std::move(FEntries.back());
      FEntries.pop_back();
    }
    FEntries.push_back({key, std::vector<std::uint32_t>(px, px + count), ++FClock});
    FBytes += bytes;
  }

 private:
  struct Entry {
    ScaledKey Key;
    std::vector<std::uint32_t> Pixels;
    std::uint64_t Stamp;
  };
  std::vector<Entry> FEntries;
  size_t FBytes = 0;
  std::uint64_t FClock = 0;
};

ScaledCache& Cache() {
  thread_local ScaledCache cache;
  return cache;
}

// A 64-bit hash of the wrapped rows (8 bytes at a time, multiply-rotate mixing).
std::uint64_t HashRows(const GpImageData& d) {
  const int rowBytes = d.Width * (d.Format == PixelFormat24bppRGB ? 3 : 4);
  std::uint64_t h = 0x9E3779B97F4A7C15ull ^ (std::uint64_t(d.Width) << 32) ^ std::uint64_t(d.Height) ^
                    (std::uint64_t(d.Format) << 16);
  auto mix = [&h](std::uint64_t v) {
    v *= 0x87C37B91114253D5ull;
    v = (v << 31) | (v >> 33);
    h ^= v * 0x4CF5AD432745937Full;
    h = ((h << 27) | (h >> 37)) * 5 + 0x52DCE729;
  };
  for (int y = 0; y < d.Height; ++y) {
    const BYTE* row = d.Ext + std::ptrdiff_t(y) * d.ExtStride;
    int i = 0;
    for (; i + 8 <= rowBytes; i += 8) {
      std::uint64_t v;
      std::memcpy(&v, row + i, 8);
      mix(v);
    }
    std::uint64_t tail = 0;
    std::memcpy(&tail, row + i, size_t(rowBytes - i));
    mix(tail ^ (std::uint64_t(y) << 56));
  }
  h ^= h >> 33;
  h *= 0xFF51AFD7ED558CCDull;
  return h ^ (h >> 33);
}

std::uint32_t PremultipliedColor(ARGB c) {
  std::uint32_t w = c;
  ConvertWords(&w, GpWordKind::Straight, &w, GpWordKind::Premultiplied, 1);
  return w;
}

bool NearInteger(double v) { return std::fabs(v - std::round(v)) < 1e-6; }

}  // namespace

Status GpDrawImage(GpGraphicsData& g, TGPImage* image, const TGPRectF& dest, const TGPRectF& src,
                   const TGPImageAttributes* attr) {
  GpImageData* d = image->Data();
  if (!d->Valid() || src.Width == 0 || src.Height == 0) return InvalidParameter;
  if (d->Locked) return ObjectBusy;
  if (dest.Width == 0 || dest.Height == 0) return Ok;

  // Source pixels the samples may read; beyond them the edge rule applies.
  double sx0 = std::min(src.X, src.X + src.Width), sx1 = std::max(src.X, src.X + src.Width);
  double sy0 = std::min(src.Y, src.Y + src.Height), sy1 = std::max(src.Y, src.Y + src.Height);
  int loX = std::max(0, int(std::floor(sx0 + 1e-6))), hiX = std::min(d->Width, int(std::ceil(sx1 - 1e-6)));
  int loY = std::max(0, int(std::floor(sy0 + 1e-6))), hiY = std::min(d->Height, int(std::ceil(sy1 - 1e-6)));
  if (loX >= hiX || loY >= hiY) return Ok;  // nothing of the image inside the source rectangle

  Edge edge = Edge::Pad;
  std::uint32_t border = 0;
  if (attr) {
    if (attr->GetWrapMode() == WrapModeTile) edge = Edge::Tile;
    if (attr->GetWrapMode() == WrapModeClamp) {
      edge = Edge::Border;
      border = PremultipliedColor(attr->GetWrapColor());
    }
  }
  Filter filter = FilterFor(g.S.Interpolation);
  double off = HalfPixelMode(g.S.PixelOffset) ? 0.0 : 0.5;
  double kx = double(src.Width) / dest.Width, ky = double(src.Height) / dest.Height;

  Status st;
  cairo_t* cr = g.Begin(st);
  if (!cr) return st;
  cairo_matrix_t m;
  cairo_get_matrix(cr, &m);
  auto source = [d]() {
    cairo_surface_t* s = d->SourceSurface();
    if (s) cairo_surface_flush(s);
    return s;
  };

  if (m.xy != 0 || m.yx != 0) {
    // Rotated or sheared: a surface pattern over the source rectangle.
    cairo_surface_t* ss = source();
    if (!ss) {
      g.End();
      return OutOfMemory;
    }
    cairo_surface_t* sub = cairo_surface_create_for_rectangle(ss, loX, loY, hiX - loX, hiY - loY);
    cairo_pattern_t* pat = cairo_pattern_create_for_surface(sub);
    cairo_matrix_t pm;
    cairo_matrix_init(&pm, kx, 0, 0, ky, src.X + off - kx * dest.X - loX, src.Y + off - ky * dest.Y - loY);
    cairo_pattern_set_matrix(pat, &pm);
    cairo_pattern_set_extend(pat, edge == Edge::Tile   ? CAIRO_EXTEND_REPEAT
                                  : edge == Edge::Pad ? CAIRO_EXTEND_PAD
                                                      : CAIRO_EXTEND_NONE);
    cairo_pattern_set_filter(pat, CairoFilterFor(filter));
    cairo_set_source(cr, pat);
    cairo_rectangle(cr, dest.X, dest.Y, dest.Width, dest.Height);
    cairo_fill(cr);
    cairo_pattern_destroy(pat);
    cairo_surface_destroy(sub);
    g.End();
    return Ok;
  }

  // Destination pixels (surface coordinates) whose centres lie inside the destination.
  double X0 = m.xx * dest.X + m.x0, X1 = m.xx * (dest.X + dest.Width) + m.x0;
  double Y0 = m.yy * dest.Y + m.y0, Y1 = m.yy * (dest.Y + dest.Height) + m.y0;
  int ix0 = int(std::ceil(std::min(X0, X1) - 0.5)), ix1 = int(std::ceil(std::max(X0, X1) - 0.5));
  int iy0 = int(std::ceil(std::min(Y0, Y1) - 0.5)), iy1 = int(std::ceil(std::max(Y0, Y1) - 0.5));
  cairo_identity_matrix(cr);
  double cx0, cy0, cx1, cy1;
  cairo_clip_extents(cr, &cx0, &cy0, &cx1, &cy1);
  int vx0 = std::max(ix0, int(std::floor(cx0))), vx1 = std::min(ix1, int(std::ceil(cx1)));
  int vy0 = std::max(iy0, int(std::floor(cy0))), vy1 = std::min(iy1, int(std::ceil(cy1)));
  if (vx0 >= vx1 || vy0 >= vy1) {
    g.End();
    return Ok;
  }
  int outW = vx1 - vx0, outH = vy1 - vy0;

  // Surface pixel i samples the source at u = a * i + b.
  double ax = kx / m.xx, bx = kx * ((0.5 - m.x0) / m.xx - dest.X) + src.X + off;
  double ay = ky / m.yy, by = ky * ((0.5 - m.y0) / m.yy - dest.Y) + src.Y + off;

  // Unscaled and pixel-aligned: every filter reads exactly one source pixel per pixel.
  if (std::fabs(ax - 1) < 1e-9 && std::fabs(ay - 1) < 1e-9 && NearInteger(bx - 0.5) && NearInteger(by - 0.5)) {
    int dx = int(std::lround(bx - 0.5)), dy = int(std::lround(by - 0.5));
    if (vx0 + dx >= loX && vx1 + dx <= hiX && vy0 + dy >= loY && vy1 + dy <= hiY) {
      cairo_surface_t* ss = source();
      if (!ss) {
        g.End();
        return OutOfMemory;
      }
      cairo_set_source_surface(cr, ss, -dx, -dy);
      cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_NEAREST);
      cairo_rectangle(cr, vx0, vy0, outW, outH);
      cairo_fill(cr);
      g.End();
      return Ok;
    }
  }

  ScaledKey key;
  key.Wrapped = d->Ext != nullptr;
  key.Source = key.Wrapped ? HashRows(*d) : d->Uid;
  key.Version = key.Wrapped ? 0 : d->Version;
  key.OutW = outW;
  key.OutH = outH;
  key.LoX = loX;
  key.HiX = hiX;
  key.LoY = loY;
  key.HiY = hiY;
  key.Ax = ax;
  key.Bx = ax * vx0 + bx;
  key.Ay = ay;
  key.By = ay * vy0 + by;
  key.K = filter.K;
  key.Prefilter = filter.Prefilter;
  key.EdgeMode = edge;
  key.Border = border;
  ScaledCache& cache = Cache();
  const std::uint32_t* pixels;
  thread_local std::vector<std::uint32_t> out;
  if (const std::vector<std::uint32_t>* hit = cache.Find(key)) {
    pixels = hit->data();
  } else {
    cairo_surface_t* ss = source();
    if (!ss) {
      g.End();
      return OutOfMemory;
    }
    thread_local Axis axX, axY;
    BuildAxis(axX, vx0, outW, ax, bx, loX, hiX, filter, edge);
    BuildAxis(axY, vy0, outH, ay, by, loY, hiY, filter, edge);
    out.resize(size_t(outW) * size_t(outH));
    int sw;
    const std::uint32_t* px = SurfacePixels(ss, sw);
    Resample(px, sw, axX, axY, outW, outH, loY, hiY, edge, border, out.data());
    cache.Store(key, out.data(), out.size());
    pixels = out.data();
  }
  cairo_surface_t* tmp = cairo_image_surface_create_for_data(reinterpret_cast<unsigned char*>(const_cast<std::uint32_t*>(pixels)),
                                                             CAIRO_FORMAT_ARGB32, outW, outH, outW * 4);
  cairo_set_source_surface(cr, tmp, vx0, vy0);
  cairo_rectangle(cr, vx0, vy0, outW, outH);
  cairo_fill(cr);
  cairo_surface_destroy(tmp);
  g.End();
  return Ok;
}

}  // namespace vcl
