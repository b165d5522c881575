// Bilinear rescaling in 16.16 fixed point, and drawing at a scale factor.
#include "draw/kxResample.h"

#include <cmath>
#include <string>
#include <vector>

#include "draw/kxBitmapUtils.h"
#include "draw/kxPixels.h"
#include "host/graphics/Graphic.h"

namespace kx {

using namespace vcl;
using detail::Rows32;
using detail::TPixelRows;

namespace {

// Where a destination column (or row) samples: the source pixel, its clamped neighbour and
// the 16-bit fraction between them.
struct TSample {
  int I0, I1;
  std::uint32_t F;
};

std::vector<TSample> Samples(int count, int sourceCount, std::uint64_t step) {
  std::vector<TSample> s(static_cast<size_t>(count));
  for (int i = 0; i < count; ++i) {
    std::uint64_t pos = std::uint64_t(i) * step;
    int i0 = int(std::min<std::uint64_t>(pos >> 16, std::uint64_t(sourceCount - 1)));
    s[size_t(i)] = {i0, std::min(i0 + 1, sourceCount - 1), std::uint32_t(pos & 0xFFFF)};
  }
  return s;
}

}  // namespace

void ResampleBitmap(TBitmap* source, TBitmap* dest) {
  if (!source || !dest || source == dest || source->Empty() || dest->Empty()) return;
  const int sw = source->Width(), sh = source->Height();
  const int dw = dest->Width(), dh = dest->Height();
  if (sw == dw && sh == dh) {
    dest->Assign(source);
    if (dest->BitsPerPixel() != 32) dest->SetPixelFormat(pf32bit);
    return;
  }
  TBitmap copy;
  TBitmap* src = detail::As32(source, copy);
  // Source steps per destination pixel; enlarging divides by k + size - 1, k being how many
  // times the destination is wider.
  std::uint64_t xStep, yStep;
  if (sw >= dw) {
    xStep = (std::uint64_t(sw) << 16) / std::uint64_t(dw);
    yStep = (std::uint64_t(sh) << 16) / std::uint64_t(dh);
  } else {
    const std::uint64_t k = std::uint64_t(dw / sw);
    xStep = (std::uint64_t(sw) << 16) / (k + std::uint64_t(dw) - 1);
    yStep = (std::uint64_t(sh) << 16) / (k + std::uint64_t(dh) - 1);
  }
  const std::vector<TSample> xs = Samples(dw, sw, xStep), ys = Samples(dh, sh, yStep);

  TPixelRows in, out;
  Rows32(src, in);
  Rows32(dest, out);
  for (int y = 0; y < dh; ++y) {
    const TSample& sy = ys[size_t(y)];
    const std::uint32_t* r0 = in.Row(sy.I0);
    const std::uint32_t* r1 = in.Row(sy.I1);
    const std::uint64_t fy = sy.F, gy = 65536 - fy;
    std::uint32_t* d = out.Row(y);
    for (int x = 0; x < dw; ++x) {
      const TSample& sx = xs[size_t(x)];
      const std::uint32_t fx = sx.F, gx = 65536 - fx;
      const std::uint32_t p00 = r0[sx.I0], p10 = r0[sx.I1], p01 = r1[sx.I0], p11 = r1[sx.I1];
      std::uint32_t result = 0;
      for (int shift = 0; shift < 32; shift += 8) {
        // Each row's blend is below 2^24; the column blend rounds to the nearest value.
        std::uint64_t top = ((p00 >> shift) & 0xFF) * gx + ((p10 >> shift) & 0xFF) * fx;
        std::uint64_t bottom = ((p01 >> shift) & 0xFF) * gx + ((p11 >> shift) & 0xFF) * fx;
        std::uint64_t v = (top * gy + bottom * fy + (std::uint64_t(1) << 31)) >> 32;
        result |= std::uint32_t(v) << shift;
      }
      d[x] = result;
    }
  }
  MarkAlphaFormat(dest, source->AlphaFormat());
}

void DrawScaledBitmap(TBitmap* bitmap, TCanvas* canvas, int x, int y, double scale, Byte alpha) {
  if (!bitmap || !canvas || bitmap->Empty() || !std::isfinite(scale) || !(scale > 0)) return;
  if (scale == 1) {
    AlphaDrawBitmap(bitmap, canvas, x, y, alpha);
    return;
  }
  const double w = std::nearbyint(scale * bitmap->Width());
  const double h = std::nearbyint(scale * bitmap->Height());
  if (w < 1 || h < 1) return;
  if (w > 32768 || h > 32768)
    throw EInvalidGraphicOperation(u"A bitmap scaled by " + Utf8ToString(std::to_string(scale)) +
                                   u" is too large to draw");
  TBitmap scaled;
  detail::Make32(scaled, int(w), int(h));
  ResampleBitmap(bitmap, &scaled);
  AlphaDrawBitmap(&scaled, canvas, x, y, alpha);
}

}  // namespace kx
