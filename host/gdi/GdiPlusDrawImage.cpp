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

#include "host/gdi/GdiPlusInternal.h"

namespace vcl {

namespace {

constexpr int kWeightBits = 14;
constexpr int kOne = 1 << kWeightBits;
constexpr int kInterShift = 6;  // horizontal results keep 8 fraction bits

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
// t < Count[o]; index -1 stands for the border colour.
struct Axis {
  std::vector<int> Start, Count, Index, Weight;
  int MaxTaps = 0;
  void Clear() {
    Start.clear();
    Count.clear();
    Index.clear();
    Weight.clear();
    MaxTaps = 0;
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
      raw.clear();
      double sum = 0;
      // With edge padding, taps outside the source are dropped and the rest renormalised:
      // repeating the edge pixel would overweight it under a wide (shrinking) kernel.
      for (int j = j0; j <= j1; ++j) {
        double w = KernelAt(f.K, (j + 0.5 - u) / fs);
        if (edge == Edge::Pad && (j < lo || j >= hi)) w = 0;
        raw.push_back(w);
        sum += w;
      }
      if (!(sum > 1e-9)) {
        push(MapIndex(int(std::floor(u)), lo, hi, edge), kOne);
      } else {
        int total = 0;
        for (int j = j0; j <= j1; ++j) {
          int w = int(std::lround(raw[size_t(j - j0)] / sum * kOne));
          if (w == 0) continue;
          push(MapIndex(j, lo, hi, edge), w);
          total += w;
        }
        // Make the weights sum to exactly one: flat areas stay exactly flat.
        if (total != kOne && int(ax.Index.size()) > start) {
          auto first = ax.Weight.begin() + start;
          auto big = std::max_element(first, ax.Weight.end());
          *big += kOne - total;
        }
      }
    }
    int count = int(ax.Index.size()) - start;
    ax.Start.push_back(start);
    ax.Count.push_back(count);
    ax.MaxTaps = std::max(ax.MaxTaps, count);
  }
}

inline int Channel(std::uint32_t p, int c) { return int((p >> (c * 8)) & 0xFF); }

// Resamples src (premultiplied words) into out (outW x outH words, premultiplied).
void Resample(const std::uint32_t* src, int srcStride, const Axis& ax, const Axis& ay, int outW,
              int outH, int loY, int hiY, Edge edgeY, std::uint32_t border, std::uint32_t* out) {
  // Ring of horizontally filtered rows: each source row is filtered once.
  int ringRows = edgeY == Edge::Tile ? hiY - loY : std::max(1, ay.MaxTaps);
  size_t rowInts = size_t(outW) * 4;
  thread_local std::vector<int> ring, tags, acc;
  ring.resize(size_t(ringRows) * rowInts);
  tags.assign(size_t(ringRows), -1);
  acc.resize(rowInts);
  int bc[4] = {Channel(border, 0), Channel(border, 1), Channel(border, 2), Channel(border, 3)};

  auto filterRow = [&](int y, int* dst) {
    const std::uint32_t* row = src + size_t(y) * size_t(srcStride);
    for (int o = 0; o < outW; ++o) {
      int s = ax.Start[size_t(o)], n = ax.Count[size_t(o)];
      int c0 = 0, c1 = 0, c2 = 0, c3 = 0;
      for (int t = 0; t < n; ++t) {
        int idx = ax.Index[size_t(s + t)], w = ax.Weight[size_t(s + t)];
        if (idx < 0) {
          c0 += w * bc[0];
          c1 += w * bc[1];
          c2 += w * bc[2];
          c3 += w * bc[3];
        } else {
          std::uint32_t p = row[idx];
          c0 += w * int(p & 0xFF);
          c1 += w * int((p >> 8) & 0xFF);
          c2 += w * int((p >> 16) & 0xFF);
          c3 += w * int(p >> 24);
        }
      }
      int* d = dst + size_t(o) * 4;
      d[0] = c0 >> kInterShift;
      d[1] = c1 >> kInterShift;
      d[2] = c2 >> kInterShift;
      d[3] = c3 >> kInterShift;
    }
  };

  constexpr int kFinalShift = kWeightBits + (8 - kInterShift) + kInterShift;  // 22
  for (int oy = 0; oy < outH; ++oy) {
    std::fill(acc.begin(), acc.end(), 0);
    int s = ay.Start[size_t(oy)], n = ay.Count[size_t(oy)];
    for (int t = 0; t < n; ++t) {
      int idx = ay.Index[size_t(s + t)], w = ay.Weight[size_t(s + t)];
      if (idx < 0) {
        for (size_t x = 0; x < rowInts; x += 4)
          for (int c = 0; c < 4; ++c) acc[x + size_t(c)] += w * (bc[c] << 8);
        continue;
      }
      int slot = edgeY == Edge::Tile ? idx - loY : idx % ringRows;
      int* r = ring.data() + size_t(slot) * rowInts;
      if (tags[size_t(slot)] != idx) {
        filterRow(idx, r);
        tags[size_t(slot)] = idx;
      }
      int* a = acc.data();
      for (size_t x = 0; x < rowInts; ++x) a[x] += w * r[x];
    }
    std::uint32_t* o = out + size_t(oy) * size_t(outW);
    for (int x = 0; x < outW; ++x) {
      const int* a = acc.data() + size_t(x) * 4;
      constexpr int kRound = 1 << (kFinalShift - 1);
      int al = std::clamp((a[3] + kRound) >> kFinalShift, 0, 255);
      int b = std::clamp((a[0] + kRound) >> kFinalShift, 0, al);
      int g = std::clamp((a[1] + kRound) >> kFinalShift, 0, al);
      int r = std::clamp((a[2] + kRound) >> kFinalShift, 0, al);
      o[x] = (std::uint32_t(al) << 24) | (std::uint32_t(r) << 16) | (std::uint32_t(g) << 8) | std::uint32_t(b);
    }
  }
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
  cairo_surface_t* ss = d->SourceSurface();
  if (!ss) {
    g.End();
    return OutOfMemory;
  }
  cairo_surface_flush(ss);
  cairo_matrix_t m;
  cairo_get_matrix(cr, &m);

  if (m.xy != 0 || m.yx != 0) {
    // Rotated or sheared: a surface pattern over the source rectangle.
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
      cairo_set_source_surface(cr, ss, -dx, -dy);
      cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_NEAREST);
      cairo_rectangle(cr, vx0, vy0, outW, outH);
      cairo_fill(cr);
      g.End();
      return Ok;
    }
  }

  thread_local Axis axX, axY;
  BuildAxis(axX, vx0, outW, ax, bx, loX, hiX, filter, edge);
  BuildAxis(axY, vy0, outH, ay, by, loY, hiY, filter, edge);
  thread_local std::vector<std::uint32_t> out;
  out.resize(size_t(outW) * size_t(outH));
  int sw;
  const std::uint32_t* px = SurfacePixels(ss, sw);
  Resample(px, sw, axX, axY, outW, outH, loY, hiY, edge, border, out.data());
  cairo_surface_t* tmp = cairo_image_surface_create_for_data(reinterpret_cast<unsigned char*>(out.data()),
                                                             CAIRO_FORMAT_ARGB32, outW, outH, outW * 4);
  cairo_set_source_surface(cr, tmp, vx0, vy0);
  cairo_rectangle(cr, vx0, vy0, outW, outH);
  cairo_fill(cr);
  cairo_surface_destroy(tmp);
  g.End();
  return Ok;
}

}  // namespace vcl
