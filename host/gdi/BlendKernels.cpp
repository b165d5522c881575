// Source-over row kernels: the scalar reference and its SSE2 and AVX2 versions. The vector
// versions compute each channel in a 16-bit lane with the same rounding as the scalar one,
// (x * a + 128 + ((x * a + 128) >> 8)) >> 8, and saturate the sum while packing back to bytes,
// so all three give the same bits. AVX2 is compiled for the few functions marked with its
// target attribute only and chosen when the processor reports it.
#include "host/gdi/BlendKernels.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define KX_BLEND_X86 1
#endif

namespace vcl {
namespace {

// ---- scalar ----------------------------------------------------------------------------------

// The four bytes of a pixel in 16-bit lanes (0x00AA00GG00RR00BB), so one multiplication
// scales all of them, and back.
inline std::uint64_t Spread(std::uint32_t v) {
  return (std::uint64_t(v & 0xFF00FF00u) << 24) | (v & 0x00FF00FFu);
}
inline std::uint32_t Pack(std::uint64_t x) {
  return std::uint32_t(x & 0x00FF00FFu) | std::uint32_t((x >> 24) & 0xFF00FF00u);
}
constexpr std::uint64_t kLanes = 0x00FF00FF00FF00FFull;

// Each lane times a (0..255) divided by 255, rounded to nearest: exact for products up to
// 255 * 255 via (x + 128 + ((x + 128) >> 8)) >> 8.
inline std::uint64_t ScaleSpread(std::uint64_t x, std::uint32_t a) {
  x = x * a + 0x0080008000800080ull;
  return ((x + ((x >> 8) & kLanes)) >> 8) & kLanes;
}

// Source over destination for a premultiplied source (spread); lane sums saturate at 255.
inline std::uint32_t Over(std::uint64_t s, std::uint32_t d) {
  std::uint64_t sum = s + ScaleSpread(Spread(d), 255 - std::uint32_t(s >> 48));
  std::uint64_t over = sum & 0x0100010001000100ull;
  return Pack((sum | (over - (over >> 8))) & kLanes);
}

template <bool PerPixel, bool Constant>
void ScalarRow(std::uint32_t* d, const std::uint32_t* s, int n, std::uint32_t sca) {
  for (int i = 0; i < n; ++i) {
    std::uint32_t px = s[i];
    if constexpr (!PerPixel) px |= 0xFF000000u;
    if constexpr (!Constant) {
      if (px >= 0xFF000000u) {
        d[i] = px;
        continue;
      }
    }
    std::uint64_t sp = Spread(px);
    if constexpr (Constant) sp = ScaleSpread(sp, sca);
    if (sp != 0) d[i] = Over(sp, d[i]);
  }
}

void ScalarColorize(std::uint32_t* row, int n, std::uint32_t rgb) {
  const std::uint32_t c[4] = {rgb & 0xFF, (rgb >> 8) & 0xFF, (rgb >> 16) & 0xFF, 255};
  for (int i = 0; i < n; ++i) {
    std::uint32_t a = (row[i] >> 16) & 0xFF, out = 0;
    for (int k = 0; k < 4; ++k) out |= ((c[k] * a + 127) / 255) << (8 * k);
    row[i] = out;
  }
}

using RowFn = void (*)(std::uint32_t*, const std::uint32_t*, int, std::uint32_t);

using ColorizeFn = void (*)(std::uint32_t*, int, std::uint32_t);

struct KernelSet {
  RowFn PerPixel, PerPixelConstant, Opaque, OpaqueConstant;
  ColorizeFn Colorize;
};

constexpr KernelSet kScalar{ScalarRow<true, false>, ScalarRow<true, true>, ScalarRow<false, false>,
                            ScalarRow<false, true>, ScalarColorize};

#ifdef KX_BLEND_X86
// ---- SSE2 (the x86-64 baseline) -------------------------------------------------------------

// round(x * a / 255) in 16-bit lanes: t = x * a + 128, then (t + (t >> 8)) >> 8, which for
// t < 65536 is the high half of t * 257.
inline __m128i Scale16(__m128i x, __m128i a) {
  __m128i t = _mm_add_epi16(_mm_mullo_epi16(x, a), _mm_set1_epi16(128));
  return _mm_mulhi_epu16(t, _mm_set1_epi16(257));
}

// Four pixels of source (already made opaque as the mode says) over four of d. The sum of the
// source and the scaled destination saturates at 255 per byte, as the scalar lanes do.
template <bool Constant>
inline __m128i Over4(__m128i src, __m128i dst, __m128i sca) {
  const __m128i zero = _mm_setzero_si128();
  if constexpr (Constant) {
    __m128i slo = Scale16(_mm_unpacklo_epi8(src, zero), sca);
    __m128i shi = Scale16(_mm_unpackhi_epi8(src, zero), sca);
    src = _mm_packus_epi16(slo, shi);
  }
  // 255 - alpha of each pixel, spread over its four lanes.
  __m128i inv = _mm_srli_epi32(_mm_xor_si128(src, _mm_set1_epi32(-1)), 24);
  inv = _mm_or_si128(inv, _mm_slli_epi32(inv, 16));
  __m128i ilo = _mm_shuffle_epi32(inv, 0x50), ihi = _mm_shuffle_epi32(inv, 0xFA);
  __m128i dlo = Scale16(_mm_unpacklo_epi8(dst, zero), ilo);
  __m128i dhi = Scale16(_mm_unpackhi_epi8(dst, zero), ihi);
  return _mm_adds_epu8(src, _mm_packus_epi16(dlo, dhi));
}

template <bool PerPixel, bool Constant>
void Sse2Row(std::uint32_t* d, const std::uint32_t* s, int n, std::uint32_t sca) {
  const __m128i alpha = _mm_set1_epi32(int(0xFF000000u));
  const __m128i zero = _mm_setzero_si128();
  const __m128i a16 = _mm_set1_epi16(short(sca));
  int i = 0;
  for (; i + 4 <= n; i += 4) {
    __m128i src = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
    if constexpr (!PerPixel) src = _mm_or_si128(src, alpha);
    if constexpr (PerPixel) {
      // Fully transparent run: nothing to do.
      if (_mm_movemask_epi8(_mm_cmpeq_epi32(src, zero)) == 0xFFFF) continue;
    }
    if constexpr (!Constant) {
      // Opaque run: the source replaces the destination.
      if (_mm_movemask_epi8(_mm_cmpeq_epi32(_mm_and_si128(src, alpha), alpha)) == 0xFFFF) {
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i), src);
        continue;
      }
    }
    __m128i dst = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + i));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i), Over4<Constant>(src, dst, a16));
  }
  ScalarRow<PerPixel, Constant>(d + i, s + i, n - i, sca);
}

// floor(y / 255) for y < 65536 is (y * 0x8081) >> 23: the high half of the product, >> 7.
inline __m128i Div255(__m128i y) { return _mm_srli_epi16(_mm_mulhi_epu16(y, _mm_set1_epi16(short(0x8081))), 7); }

// Each pixel's red byte, spread over its four 16-bit lanes.
inline __m128i RedLanes(__m128i px16) { return _mm_shufflehi_epi16(_mm_shufflelo_epi16(px16, 0xAA), 0xAA); }

void Sse2Colorize(std::uint32_t* row, int n, std::uint32_t rgb) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i c = _mm_unpacklo_epi8(_mm_set1_epi32(int(rgb | 0xFF000000u)), zero);
  const __m128i half = _mm_set1_epi16(127);
  int i = 0;
  for (; i + 4 <= n; i += 4) {
    __m128i px = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + i));
    __m128i lo = RedLanes(_mm_unpacklo_epi8(px, zero)), hi = RedLanes(_mm_unpackhi_epi8(px, zero));
    lo = Div255(_mm_add_epi16(_mm_mullo_epi16(lo, c), half));
    hi = Div255(_mm_add_epi16(_mm_mullo_epi16(hi, c), half));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(row + i), _mm_packus_epi16(lo, hi));
  }
  ScalarColorize(row + i, n - i, rgb);
}

constexpr KernelSet kSse2{Sse2Row<true, false>, Sse2Row<true, true>, Sse2Row<false, false>,
                          Sse2Row<false, true>, Sse2Colorize};

// ---- AVX2 (run-time choice) -----------------------------------------------------------------

#define KX_AVX2 __attribute__((target("avx2")))

KX_AVX2 inline __m256i Scale16x(__m256i x, __m256i a) {
  __m256i t = _mm256_add_epi16(_mm256_mullo_epi16(x, a), _mm256_set1_epi16(128));
  return _mm256_mulhi_epu16(t, _mm256_set1_epi16(257));
}

// Unpacking and packing both work within 128-bit halves, so the pixel order is kept. The
// inverted alpha is spread over each pixel's lanes by one byte shuffle per half.
template <bool Constant>
KX_AVX2 inline __m256i Over8(__m256i src, __m256i dst, __m256i sca) {
  const __m256i zero = _mm256_setzero_si256();
  if constexpr (Constant) {
    __m256i slo = Scale16x(_mm256_unpacklo_epi8(src, zero), sca);
    __m256i shi = Scale16x(_mm256_unpackhi_epi8(src, zero), sca);
    src = _mm256_packus_epi16(slo, shi);
  }
  const __m256i loMask = _mm256_setr_epi8(3, -128, 3, -128, 3, -128, 3, -128, 7, -128, 7, -128, 7, -128, 7, -128,
                                          3, -128, 3, -128, 3, -128, 3, -128, 7, -128, 7, -128, 7, -128, 7, -128);
  const __m256i hiMask = _mm256_setr_epi8(11, -128, 11, -128, 11, -128, 11, -128, 15, -128, 15, -128, 15, -128, 15, -128,
                                          11, -128, 11, -128, 11, -128, 11, -128, 15, -128, 15, -128, 15, -128, 15, -128);
  __m256i inv = _mm256_xor_si256(src, _mm256_set1_epi32(-1));
  __m256i dlo = Scale16x(_mm256_unpacklo_epi8(dst, zero), _mm256_shuffle_epi8(inv, loMask));
  __m256i dhi = Scale16x(_mm256_unpackhi_epi8(dst, zero), _mm256_shuffle_epi8(inv, hiMask));
  return _mm256_adds_epu8(src, _mm256_packus_epi16(dlo, dhi));
}

template <bool PerPixel, bool Constant>
KX_AVX2 void Avx2Row(std::uint32_t* d, const std::uint32_t* s, int n, std::uint32_t sca) {
  const __m256i alpha = _mm256_set1_epi32(int(0xFF000000u));
  const __m256i a16 = _mm256_set1_epi16(short(sca));
  int i = 0;
  for (; i + 8 <= n; i += 8) {
    __m256i src = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + i));
    if constexpr (!PerPixel) src = _mm256_or_si256(src, alpha);
    if constexpr (PerPixel) {
      if (_mm256_testz_si256(src, src)) continue;
    }
    if constexpr (!Constant) {
      if (_mm256_movemask_epi8(_mm256_cmpeq_epi32(_mm256_and_si256(src, alpha), alpha)) == -1) {
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(d + i), src);
        continue;
      }
    }
    __m256i dst = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(d + i));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(d + i), Over8<Constant>(src, dst, a16));
  }
  Sse2Row<PerPixel, Constant>(d + i, s + i, n - i, sca);
}

KX_AVX2 inline __m256i RedLanesx(__m256i v) {
  return _mm256_shufflehi_epi16(_mm256_shufflelo_epi16(v, 0xAA), 0xAA);
}
KX_AVX2 inline __m256i Div255x(__m256i magic, __m256i y) {
  return _mm256_srli_epi16(_mm256_mulhi_epu16(y, magic), 7);
}

KX_AVX2 void Avx2Colorize(std::uint32_t* row, int n, std::uint32_t rgb) {
  const __m256i zero = _mm256_setzero_si256();
  const __m256i c = _mm256_unpacklo_epi8(_mm256_set1_epi32(int(rgb | 0xFF000000u)), zero);
  const __m256i half = _mm256_set1_epi16(127);
  const __m256i magic = _mm256_set1_epi16(short(0x8081));
  int i = 0;
  for (; i + 8 <= n; i += 8) {
    __m256i px = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(row + i));
    __m256i lo = RedLanesx(_mm256_unpacklo_epi8(px, zero)), hi = RedLanesx(_mm256_unpackhi_epi8(px, zero));
    lo = Div255x(magic, _mm256_add_epi16(_mm256_mullo_epi16(lo, c), half));
    hi = Div255x(magic, _mm256_add_epi16(_mm256_mullo_epi16(hi, c), half));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(row + i), _mm256_packus_epi16(lo, hi));
  }
  Sse2Colorize(row + i, n - i, rgb);
}

constexpr KernelSet kAvx2{Avx2Row<true, false>, Avx2Row<true, true>, Avx2Row<false, false>,
                          Avx2Row<false, true>, Avx2Colorize};

bool HasAvx2() {
  static const bool has = __builtin_cpu_supports("avx2");
  return has;
}
#endif

const KernelSet& Kernels(TBlendIsa isa) {
#ifdef KX_BLEND_X86
  if (isa == TBlendIsa::Avx2 && HasAvx2()) return kAvx2;
  if (isa != TBlendIsa::Scalar) return kSse2;
#else
  (void)isa;
#endif
  return kScalar;
}

void Run(const KernelSet& k, std::uint32_t* d, const std::uint32_t* s, int n, TBlendMode mode,
         std::uint32_t sca) {
  if (n <= 0) return;
  switch (mode) {
    case TBlendMode::PerPixel: return k.PerPixel(d, s, n, 255);
    case TBlendMode::Opaque: return k.Opaque(d, s, n, 255);
    case TBlendMode::PerPixelConstant:
    case TBlendMode::OpaqueConstant:
      sca &= 0xFFu;
      if (sca == 0) return;  // a fully transparent source changes nothing
      if (sca == 255) return Run(k, d, s, n, mode == TBlendMode::PerPixelConstant ? TBlendMode::PerPixel
                                                                                 : TBlendMode::Opaque, 255);
      return (mode == TBlendMode::PerPixelConstant ? k.PerPixelConstant : k.OpaqueConstant)(d, s, n, sca);
  }
}

}  // namespace

TBlendIsa BestBlendIsa() {
#ifdef KX_BLEND_X86
  return HasAvx2() ? TBlendIsa::Avx2 : TBlendIsa::Sse2;
#else
  return TBlendIsa::Scalar;
#endif
}

void BlendRow(std::uint32_t* d, const std::uint32_t* s, int n, TBlendMode mode, std::uint32_t constAlpha) {
  static const KernelSet& best = Kernels(BestBlendIsa());
  Run(best, d, s, n, mode, constAlpha);
}

void BlendRowWith(TBlendIsa isa, std::uint32_t* d, const std::uint32_t* s, int n, TBlendMode mode,
                  std::uint32_t constAlpha) {
  Run(Kernels(isa), d, s, n, mode, constAlpha);
}

void ColorizeRow(std::uint32_t* row, int n, std::uint32_t rgb) {
  static const KernelSet& best = Kernels(BestBlendIsa());
  if (n > 0) best.Colorize(row, n, rgb & 0xFFFFFFu);
}

void ColorizeRowWith(TBlendIsa isa, std::uint32_t* row, int n, std::uint32_t rgb) {
  if (n > 0) Kernels(isa).Colorize(row, n, rgb & 0xFFFFFFu);
}

}  // namespace vcl
