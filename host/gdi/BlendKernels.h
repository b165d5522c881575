// Row kernels of premultiplied source-over blending (AlphaBlend, image lists, glows): a scalar
// reference and SSE2/AVX2 versions chosen at run time, all giving the same bits.
#pragma once
#include <cstdint>

namespace vcl {

// How a row is blended. PerPixel: the source's own alpha (premultiplied); Opaque: the source
// counts as opaque (its alpha byte ignored). The Constant forms scale the source by a constant
// alpha first, as AlphaBlend's SourceConstantAlpha does.
enum class TBlendMode { PerPixel, PerPixelConstant, Opaque, OpaqueConstant };

// The instruction sets a kernel may use.
enum class TBlendIsa { Scalar, Sse2, Avx2 };

// d[i] = s[i] over d[i] for i < n, each channel rounded to nearest as x * a / 255 and
// saturated at 255. `constAlpha` (0..255) is read by the Constant modes only.
void BlendRow(std::uint32_t* d, const std::uint32_t* s, int n, TBlendMode mode,
              std::uint32_t constAlpha);

// The same with a chosen instruction set (for tests and benchmarks); an instruction set the
// processor lacks falls back to the best one it has.
void BlendRowWith(TBlendIsa isa, std::uint32_t* d, const std::uint32_t* s, int n, TBlendMode mode,
                  std::uint32_t constAlpha);

// Glow colouring: each pixel becomes `rgb` (0x00RRGGBB) at the opacity of the pixel's red byte,
// premultiplied as (c * a + 127) / 255 (the rounding of SetAlphaFormat).
void ColorizeRow(std::uint32_t* row, int n, std::uint32_t rgb);
void ColorizeRowWith(TBlendIsa isa, std::uint32_t* row, int n, std::uint32_t rgb);

// The instruction set BlendRow uses on this processor.
TBlendIsa BestBlendIsa();

}  // namespace vcl
