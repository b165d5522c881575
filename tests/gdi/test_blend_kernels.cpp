// The source-over and glow-colouring row kernels: every instruction set gives the bits of an
// independent per-channel reference, at every alignment and length, on random pixels mixed
// with the opaque and transparent runs that take the short paths.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "host/gdi/BlendKernels.h"

using namespace vcl;

namespace {

// round(x / 255) to nearest (x / 255 is never exactly halfway).
std::uint32_t Div255(std::uint32_t x) { return (2 * x + 255) / 510; }

std::uint32_t Channel(std::uint32_t p, int k) { return (p >> (8 * k)) & 0xFF; }

std::uint32_t ReferenceOver(std::uint32_t s, std::uint32_t d, TBlendMode mode, std::uint32_t sca) {
  bool opaque = mode == TBlendMode::Opaque || mode == TBlendMode::OpaqueConstant;
  bool constant = mode == TBlendMode::PerPixelConstant || mode == TBlendMode::OpaqueConstant;
  if (opaque) s |= 0xFF000000u;
  std::uint32_t sc[4];
  for (int k = 0; k < 4; ++k) sc[k] = constant ? Div255(Channel(s, k) * sca) : Channel(s, k);
  std::uint32_t out = 0;
  for (int k = 0; k < 4; ++k)
    out |= std::min<std::uint32_t>(255, sc[k] + Div255(Channel(d, k) * (255 - sc[3]))) << (8 * k);
  return out;
}

// Random pixels: a third validly premultiplied, the rest in runs of opaque, transparent or
// arbitrary bytes (colour above alpha included, which saturates).
std::vector<std::uint32_t> RandomPixels(std::mt19937& rng, size_t n) {
  std::vector<std::uint32_t> v(n);
  std::uniform_int_distribution<std::uint32_t> any(0, 0xFFFFFFFFu), kind(0, 5), run(1, 12);
  size_t i = 0;
  while (i < n) {
    std::uint32_t k = kind(rng), len = run(rng);
    for (std::uint32_t j = 0; j < len && i < n; ++j, ++i) {
      std::uint32_t p = any(rng);
      switch (k) {
        case 0: v[i] = p | 0xFF000000u; break;
        case 1: v[i] = 0; break;
        case 2: {
          std::uint32_t a = p >> 24;
          v[i] = a << 24 | Div255(Channel(p, 2) * a) << 16 | Div255(Channel(p, 1) * a) << 8 |
                 Div255(Channel(p, 0) * a);
          break;
        }
        default: v[i] = p;
      }
    }
  }
  return v;
}

const TBlendIsa kIsas[] = {TBlendIsa::Scalar, TBlendIsa::Sse2, TBlendIsa::Avx2};

}  // namespace

TEST(BlendKernels, EveryInstructionSetMatchesTheReferenceAtEveryAlignmentAndLength) {
  std::mt19937 rng(1234);
  const TBlendMode modes[] = {TBlendMode::PerPixel, TBlendMode::PerPixelConstant, TBlendMode::Opaque,
                              TBlendMode::OpaqueConstant};
  const std::uint32_t alphas[] = {0, 1, 77, 128, 254, 255};
  for (int len = 0; len <= 67; ++len)
    for (int so = 0; so < 8; so += (len < 20 ? 1 : 3))
      for (int dof = 0; dof < 8; dof += (len < 20 ? 1 : 5)) {
        auto src = RandomPixels(rng, size_t(len + so + 8));
        auto dst = RandomPixels(rng, size_t(len + dof + 8));
        for (TBlendMode mode : modes)
          for (std::uint32_t sca : alphas) {
            for (TBlendIsa isa : kIsas) {
              auto out = dst;
              BlendRowWith(isa, out.data() + dof, src.data() + so, len, mode, sca);
              for (int i = 0; i < int(out.size()); ++i) {
                int j = i - dof;
                bool inside = j >= 0 && j < len;
                std::uint32_t want = inside ? ReferenceOver(src[size_t(so + j)], dst[size_t(i)], mode,
                                                            mode == TBlendMode::PerPixel || mode == TBlendMode::Opaque ? 255 : sca)
                                            : dst[size_t(i)];
                ASSERT_EQ(out[size_t(i)], want)
                    << "isa " << int(isa) << " mode " << int(mode) << " alpha " << sca << " len " << len
                    << " offsets " << so << "/" << dof << " at " << j;
              }
            }
            // The dispatching entry point is one of them.
            auto a = dst, b = dst;
            BlendRow(a.data() + dof, src.data() + so, len, mode, sca);
            BlendRowWith(TBlendIsa::Scalar, b.data() + dof, src.data() + so, len, mode, sca);
            ASSERT_EQ(a, b);
          }
      }
}

TEST(BlendKernels, ColorizingMatchesTheOpacityTableAtEveryAlignmentAndLength) {
  std::mt19937 rng(99);
  for (std::uint32_t rgb : {0x000000u, 0xFFFFFFu, 0x12C0FEu, 0x80FF01u}) {
    std::uint32_t table[256];
    for (std::uint32_t a = 0; a < 256; ++a) {
      auto pm = [a](std::uint32_t c) { return (c * a + 127) / 255; };
      table[a] = a << 24 | pm((rgb >> 16) & 0xFF) << 16 | pm((rgb >> 8) & 0xFF) << 8 | pm(rgb & 0xFF);
    }
    for (int len = 0; len <= 67; ++len)
      for (int off = 0; off < 8; ++off) {
        auto px = RandomPixels(rng, size_t(len + off + 8));
        for (TBlendIsa isa : kIsas) {
          auto out = px;
          ColorizeRowWith(isa, out.data() + off, len, rgb);
          for (int i = 0; i < int(out.size()); ++i) {
            int j = i - off;
            std::uint32_t want = j >= 0 && j < len ? table[(px[size_t(i)] >> 16) & 0xFF] : px[size_t(i)];
            ASSERT_EQ(out[size_t(i)], want) << "isa " << int(isa) << " len " << len << " at " << j;
          }
        }
      }
  }
}

TEST(BlendKernels, TheChosenInstructionSetFollowsTheProcessor) {
#if defined(__x86_64__)
  EXPECT_EQ(BestBlendIsa(), __builtin_cpu_supports("avx2") ? TBlendIsa::Avx2 : TBlendIsa::Sse2);
#else
  EXPECT_EQ(BestBlendIsa(), TBlendIsa::Scalar);
#endif
}
