// The stack blur and the glow mask made from it.
//
// A triangle of weights r + 1 - |k| over -r..r sums to s = (r + 1)^2. Its sum moves along a
// line in constant time: with L the sum of the r + 1 pixels up to and including the current
// one and R the sum of the r + 1 pixels after it,
//   S(x + 1) = S(x) + R(x) - L(x),
//   L(x + 1) = L(x) - p(x - r) + p(x + 1),
//   R(x + 1) = R(x) - p(x + 1) + p(x + r + 2),
// positions outside the line taking the nearest edge pixel. The averages S div s are exact
// integer quotients, computed by a multiplication with a rounded-up reciprocal instead of a
// table of 256 s entries (64 MiB at radius 255).
#include <algorithm>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "draw/kxBitmapUtils.h"
#include "draw/kxGlow.h"
#include "draw/kxPixels.h"
#include "host/gdi/BlendKernels.h"

namespace kx {

using namespace vcl;
using detail::Rows32;
using detail::TPixelRows;

namespace {

// Radii above this would let the weighted sums outgrow 24 bits.
constexpr int kMaxBlurRadius = 255;

// floor(n / d) for 0 <= n < 2^24 and 1 <= d <= 2^16: with l = ceil(log2 d) and
// m = ceil(2^(24 + l) / d), m d - 2^(24 + l) < d <= 2^l, which makes (n m) >> (24 + l) exact
// over the whole range. m <= 2^25, so both factors are 32-bit numbers (a multiplication the
// vector units do) and n m stays below 2^49.
struct TDivider {
  explicit TDivider(std::uint32_t d) {
    int l = 0;
    while ((std::uint32_t(1) << l) < d) ++l;
    Shift = 24 + l;
    M = std::uint32_t(((std::uint64_t(1) << Shift) + d - 1) / d);
  }
  std::uint32_t operator()(std::uint32_t n) const {
    return std::uint32_t((std::uint64_t(n) * std::uint64_t(M)) >> Shift);
  }
  std::uint32_t M;
  int Shift;
};

// The weights of the starting sums along a line of n pixels, gathered onto the pixels the
// positions clamp to: S(0) = sum wS[i] p(i), R(0) = sum wR[i] p(i), for i < Count.
struct TStartWeights {
  TStartWeights(int r, int n) {
    Count = std::min(r + 2, n);
    S.assign(size_t(Count), 0);
    R.assign(size_t(Count), 0);
    auto at = [&](int k) { return size_t(std::clamp(k, 0, Count - 1)); };
    for (int k = -r; k <= r; ++k) S[at(std::min(k, n - 1))] += std::uint32_t(r + 1 - std::abs(k));
    for (int k = 1; k <= r + 1; ++k) R[at(std::min(k, n - 1))] += 1;
  }
  int Count;
  std::vector<std::uint32_t> S, R;
};

#if defined(__SSE2__)
// A 16 x 16 block of bytes transposed: four rounds of interleaving vector i with vector i + 8
// (bytes, then 16-, 32- and 64-bit units) turn rows taken in bit-reversed order into columns.
void TransposeBlock(const Byte* src, size_t srcStride, Byte* dst, size_t dstStride) {
  static constexpr int kBitReversed[16] = {0, 8, 4, 12, 2, 10, 6, 14, 1, 9, 5, 13, 3, 11, 7, 15};
  __m128i x[16], y[16];
  for (int i = 0; i < 16; ++i)
    x[i] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + size_t(kBitReversed[i]) * srcStride));
  for (int i = 0; i < 8; ++i) {
    y[2 * i] = _mm_unpacklo_epi8(x[i], x[i + 8]);
    y[2 * i + 1] = _mm_unpackhi_epi8(x[i], x[i + 8]);
  }
  for (int i = 0; i < 8; ++i) {
    x[2 * i] = _mm_unpacklo_epi16(y[i], y[i + 8]);
    x[2 * i + 1] = _mm_unpackhi_epi16(y[i], y[i + 8]);
  }
  for (int i = 0; i < 8; ++i) {
    y[2 * i] = _mm_unpacklo_epi32(x[i], x[i + 8]);
    y[2 * i + 1] = _mm_unpackhi_epi32(x[i], x[i + 8]);
  }
  for (int i = 0; i < 8; ++i) {
    x[2 * i] = _mm_unpacklo_epi64(y[i], y[i + 8]);
    x[2 * i + 1] = _mm_unpackhi_epi64(y[i], y[i + 8]);
  }
  for (int i = 0; i < 16; ++i)
    _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + size_t(i) * dstStride), x[i]);
}
#endif

// dst (height x width) = src (width x height) transposed, in 16 x 16 blocks that stay in the
// cache.
void Transpose(const Byte* __restrict src, Byte* __restrict dst, int width, int height) {
  constexpr int kTile = 16;
  for (int y0 = 0; y0 < height; y0 += kTile)
    for (int x0 = 0; x0 < width; x0 += kTile) {
      const int y1 = std::min(y0 + kTile, height), x1 = std::min(x0 + kTile, width);
#if defined(__SSE2__)
      if (y1 - y0 == kTile && x1 - x0 == kTile) {
        TransposeBlock(src + size_t(y0) * size_t(width) + size_t(x0), size_t(width),
                       dst + size_t(x0) * size_t(height) + size_t(y0), size_t(height));
        continue;
      }
#endif
      for (int x = x0; x < x1; ++x)
        for (int y = y0; y < y1; ++y)
          dst[size_t(x) * size_t(height) + size_t(y)] = src[size_t(y) * size_t(width) + size_t(x)];
    }
}

// One step down every column: the row of averages, and the sums moved on by one row (`next`,
// `gone` and `come` are the rows entering and leaving the two halves of the window).
void BlurRowStep(const Byte* __restrict next, const Byte* __restrict gone,
                 const Byte* __restrict come, Byte* __restrict out, std::uint32_t* __restrict s,
                 std::uint32_t* __restrict sr, std::uint32_t* __restrict sl, size_t width,
                 const TDivider div) {
  for (size_t x = 0; x < width; ++x) {
    out[x] = Byte(div(s[x]));
    s[x] += sr[x] - sl[x];
    sl[x] += std::uint32_t(next[x]) - gone[x];
    sr[x] += std::uint32_t(come[x]) - next[x];
  }
}

// Blurs every column of a plane of `width` x `height` bytes (rows `width` apart) along the
// column: all columns at once, a row at a time, so memory is read along the rows and the work
// across a row is vector work.
void BlurColumns(const Byte* in, Byte* out, int width, int height, int r, const TDivider div,
                 std::vector<std::uint32_t>& sums) {
  const size_t w = size_t(width);
  const TStartWeights weights(r, height);
  sums.assign(w * 3, 0);
  std::uint32_t* s = sums.data();
  std::uint32_t* sr = s + w;
  std::uint32_t* sl = sr + w;
  auto row = [&](int y) { return in + size_t(y) * w; };
  for (int i = 0; i < weights.Count; ++i) {
    const Byte* p = row(i);
    const std::uint32_t ws = weights.S[size_t(i)], wr = weights.R[size_t(i)];
    for (size_t x = 0; x < w; ++x) {
      s[x] += ws * p[x];
      sr[x] += wr * p[x];
    }
  }
  for (size_t x = 0; x < w; ++x) sl[x] = std::uint32_t(r + 1) * in[x];
  const int last = height - 1;
  for (int y = 0; y < height; ++y)
    BlurRowStep(row(std::min(y + 1, last)), row(std::max(y - r, 0)), row(std::min(y + r + 2, last)),
                out + size_t(y) * w, s, sr, sl, w, div);
}

}  // namespace

void BlurBitmap(TBitmap* bitmap, int radius) {
  if (radius <= 0) return;
  TPixelRows rows;
  if (!Rows32(bitmap, rows)) return;
  const int r = std::min(radius, kMaxBlurRadius);
  const int w = rows.Width, h = rows.Height;
  const size_t plane = size_t(w) * size_t(h);
  const TDivider div(std::uint32_t(r + 1) * std::uint32_t(r + 1));

  // The three channels as planes of bytes.
  std::vector<Byte> a(plane * 3), b(plane * 3);
  for (int y = 0; y < h; ++y) {
    const std::uint32_t* src = rows.Row(y);
    const size_t o = size_t(y) * size_t(w);
    Byte* bl = &a[o];
    Byte* gr = &a[plane + o];
    Byte* rd = &a[2 * plane + o];
    for (int x = 0; x < w; ++x) {
      const std::uint32_t p = src[x];
      bl[x] = Byte(p);
      gr[x] = Byte(p >> 8);
      rd[x] = Byte(p >> 16);
    }
  }
  // Transposed, row x of a plane is column x of the bitmap, so blurring the columns of the
  // transposed planes blurs the bitmap's rows; transposed back, the columns themselves.
  std::vector<std::uint32_t> sums;
  for (int c = 0; c < 3; ++c) {
    Transpose(&a[c * plane], &b[c * plane], w, h);
    BlurColumns(&b[c * plane], &a[c * plane], h, w, r, div, sums);
    Transpose(&a[c * plane], &b[c * plane], h, w);
  }
  for (int c = 0; c < 3; ++c) BlurColumns(&b[c * plane], &a[c * plane], w, h, r, div, sums);
  for (int y = 0; y < h; ++y) {
    std::uint32_t* dst = rows.Row(y);
    const size_t o = size_t(y) * size_t(w);
    const Byte* bl = &a[o];
    const Byte* gr = &a[plane + o];
    const Byte* rd = &a[2 * plane + o];
    for (int x = 0; x < w; ++x)
      dst[x] = 0xFF000000u | std::uint32_t(rd[x]) << 16 | std::uint32_t(gr[x]) << 8 | bl[x];
  }
}

void ColorizeGlowMask(TBitmap* bitmap, int radius, TColor color) {
  BlurBitmap(bitmap, radius);
  TPixelRows rows;
  if (!Rows32(bitmap, rows)) return;
  // The colour at the opacity of each pixel's red byte, premultiplied with the rounding of
  // SetAlphaFormat, a vector of pixels at a time.
  const std::uint32_t argb = ColorToARGB(color, 0);
  for (int y = 0; y < rows.Height; ++y) vcl::ColorizeRow(rows.Row(y), rows.Width, argb);
  MarkAlphaFormat(bitmap, afPremultiplied);
}

}  // namespace kx
