// Drawing calls over a 782 x 450 surface (a typical page of the demo).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "host/gdi/BlendKernels.h"
#include "host/gdi/GdiDraw.h"
#include "host/gdi/GdiInternal.h"

using namespace vcl;

namespace {

constexpr int kW = 782, kH = 450;

struct Surface {
  HDC Dc;
  HBITMAP Bmp;
  std::uint32_t* Bits;
  explicit Surface(std::uint32_t fill) {
    Dc = CreateCompatibleDC(nullptr);
    void* b = nullptr;
    Bmp = CreateDIB32(kW, kH, &b);
    Bits = static_cast<std::uint32_t*>(b);
    SelectObject(Dc, Bmp);
    std::fill(Bits, Bits + size_t(kW) * kH, fill);
  }
  ~Surface() {
    DeleteDC(Dc);
    DeleteObject(Bmp);
  }
};

void Pixels(benchmark::State& st) {
  st.SetItemsProcessed(st.iterations() * kW * kH);
  st.SetBytesProcessed(st.iterations() * kW * kH * 4);
}

void BM_FillRectSolid(benchmark::State& st) {
  Surface s(0xFF000000u);
  HBRUSH b = CreateSolidBrush(RGB(10, 20, 30));
  TRect r(0, 0, kW, kH);
  for (auto _ : st) {
    FillRect(s.Dc, &r, b);
    benchmark::ClobberMemory();
  }
  Pixels(st);
  DeleteObject(b);
}
BENCHMARK(BM_FillRectSolid);

void BM_BitBltSrcCopy(benchmark::State& st) {
  Surface src(0x80402010u), dst(0xFF000000u);
  for (auto _ : st) {
    BitBlt(dst.Dc, 0, 0, kW, kH, src.Dc, 0, 0, SRCCOPY);
    benchmark::ClobberMemory();
  }
  Pixels(st);
}
BENCHMARK(BM_BitBltSrcCopy);

// Premultiplied source whose alpha sweeps 0..255 along each row.
void FillAlphaRamp(Surface& s) {
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW; ++x) {
      std::uint32_t a = std::uint32_t(x * 255 / (kW - 1));
      s.Bits[size_t(y) * kW + x] = a << 24 | (a * 200 / 255) << 16 | (a * 100 / 255) << 8 | (a / 2);
    }
}

void BM_AlphaBlendPerPixel(benchmark::State& st) {
  Surface src(0), dst(0xFF808080u);
  FillAlphaRamp(src);
  BLENDFUNCTION bf{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
  for (auto _ : st) {
    AlphaBlend(dst.Dc, 0, 0, kW, kH, src.Dc, 0, 0, kW, kH, bf);
    benchmark::ClobberMemory();
  }
  Pixels(st);
}
BENCHMARK(BM_AlphaBlendPerPixel);

void BM_AlphaBlendPerPixelAndConstant(benchmark::State& st) {
  Surface src(0), dst(0xFF808080u);
  FillAlphaRamp(src);
  BLENDFUNCTION bf{AC_SRC_OVER, 0, 220, AC_SRC_ALPHA};
  for (auto _ : st) {
    AlphaBlend(dst.Dc, 0, 0, kW, kH, src.Dc, 0, 0, kW, kH, bf);
    benchmark::ClobberMemory();
  }
  Pixels(st);
}
BENCHMARK(BM_AlphaBlendPerPixelAndConstant);

void BM_AlphaBlendConstant(benchmark::State& st) {
  Surface src(0xFF204060u), dst(0xFF808080u);
  BLENDFUNCTION bf{AC_SRC_OVER, 0, 160, 0};
  for (auto _ : st) {
    AlphaBlend(dst.Dc, 0, 0, kW, kH, src.Dc, 0, 0, kW, kH, bf);
    benchmark::ClobberMemory();
  }
  Pixels(st);
}
BENCHMARK(BM_AlphaBlendConstant);

// The yardstick of the blends: a plain copy of the destination's bytes.
void BM_MemcpyDestination(benchmark::State& st) {
  Surface src(0x80402010u), dst(0xFF000000u);
  for (auto _ : st) {
    std::memcpy(dst.Bits, src.Bits, size_t(kW) * kH * 4);
    benchmark::ClobberMemory();
  }
  Pixels(st);
}
BENCHMARK(BM_MemcpyDestination);

// The per-pixel blend's row kernel alone, by instruction set (0 scalar, 1 SSE2, 2 AVX2).
void BM_BlendRowsPerPixel(benchmark::State& st) {
  Surface src(0), dst(0xFF808080u);
  FillAlphaRamp(src);
  TBlendIsa isa = TBlendIsa(st.range(0));
  for (auto _ : st) {
    for (int y = 0; y < kH; ++y)
      BlendRowWith(isa, dst.Bits + size_t(y) * kW, src.Bits + size_t(y) * kW, kW, TBlendMode::PerPixel, 255);
    benchmark::ClobberMemory();
  }
  Pixels(st);
}
BENCHMARK(BM_BlendRowsPerPixel)->DenseRange(0, 2);

void BM_GradientFill(benchmark::State& st) {
  Surface s(0xFF000000u);
  TRIVERTEX v[2];
  v[0].Red = 0xFF00;
  v[1].x = kW;
  v[1].y = kH;
  v[1].Blue = 0xFF00;
  GRADIENT_RECT r{0, 1};
  ULONG mode = ULONG(st.range(0));
  for (auto _ : st) {
    GradientFill(s.Dc, v, 2, &r, 1, mode);
    benchmark::ClobberMemory();
  }
  Pixels(st);
}
BENCHMARK(BM_GradientFill)->Arg(GRADIENT_FILL_RECT_H)->Arg(GRADIENT_FILL_RECT_V);

void BM_StretchBltHalftoneHalf(benchmark::State& st) {
  Surface src(0), dst(0xFF000000u);
  FillAlphaRamp(src);
  SetStretchBltMode(dst.Dc, HALFTONE);
  for (auto _ : st) {
    StretchBlt(dst.Dc, 0, 0, kW / 2, kH / 2, src.Dc, 0, 0, kW, kH, SRCCOPY);
    benchmark::ClobberMemory();
  }
  Pixels(st);
}
BENCHMARK(BM_StretchBltHalftoneHalf);

// A classic control face: small calls, where per-call overhead dominates.
void BM_ClassicCheckBoxAndEdge(benchmark::State& st) {
  Surface s(0xFFF0F0F0u);
  for (auto _ : st) {
    TRect r(10, 10, 23, 23);
    DrawFrameControl(s.Dc, &r, DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_CHECKED);
    TRect e(40, 10, 140, 33);
    DrawEdge(s.Dc, &e, EDGE_RAISED, BF_RECT | BF_MIDDLE | BF_SOFT);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_ClassicCheckBoxAndEdge);

void BM_EllipseWithPen(benchmark::State& st) {
  Surface s(0xFFFFFFFFu);
  HPEN pen = CreatePen(PS_SOLID, 1, RGB(0, 0, 0));
  HBRUSH br = CreateSolidBrush(RGB(255, 0, 0));
  SelectObject(s.Dc, pen);
  SelectObject(s.Dc, br);
  for (auto _ : st) {
    Ellipse(s.Dc, 100, 50, 300, 250);
    benchmark::ClobberMemory();
  }
  SelectObject(s.Dc, AsPen(GetStockObject(BLACK_PEN)));
  SelectObject(s.Dc, AsBrush(GetStockObject(WHITE_BRUSH)));
  DeleteObject(pen);
  DeleteObject(br);
}
BENCHMARK(BM_EllipseWithPen);

}  // namespace
