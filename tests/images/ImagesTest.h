// Helpers of the image tests: pictures with known pixels, a recorder of the drawing that
// slicing and placement issue, and a 32-bit surface to draw on and read back.
#pragma once
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "host/gdi/Codecs.h"
#include "host/gdi/Gdi.h"
#include "host/gdi/GdiPlus.h"
#include "host/graphics/Canvas.h"
#include "host/graphics/Graphic.h"
#include "host/graphics/PngImage.h"
#include "host/rtl/Streams.h"
#include "images/kxGPUtils.h"
#include "tests/graphics/GraphicsTest.h"

namespace imgtest {

using namespace vcl;
using namespace kx;

using gfxtest::Hex;
using gfxtest::Near;

using TPixelFn = std::function<std::uint32_t(int x, int y)>;

// A PNG of straight ARGB pixels f(x, y) (RGB when every pixel is opaque).
inline std::unique_ptr<TPngImage> MakePng(int w, int h, const TPixelFn& f) {
  std::vector<std::uint32_t> px(size_t(w) * size_t(h));
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) px[size_t(y) * w + x] = f(x, y);
  std::vector<Byte> file = EncodePng(px.data(), w, h, w);
  TBytesStream s(std::move(file));
  auto png = std::make_unique<TPngImage>();
  png->LoadFromStream(&s);
  return png;
}
inline std::unique_ptr<TPngImage> SolidPng(int w, int h, std::uint32_t argb) {
  return MakePng(w, h, [argb](int, int) { return argb; });
}

inline std::string Str(const TGPRectF& r) {
  auto n = [](float v) {
    std::string s = std::to_string(v);
    s.erase(s.find_last_not_of('0') + 1);
    if (s.back() == '.') s.pop_back();
    return s;
  };
  return "(" + n(r.X) + "," + n(r.Y) + "," + n(r.Width) + "," + n(r.Height) + ")";
}

// Records every call of the drawing interface as text: "draw (dest) <- (src)", "clip (r)",
// "reset".
class TRecorder final : public TkxGPDrawTarget {
 public:
  void DrawImage(TGPBitmap*, const TGPRectF& dest, const TGPRectF& src) override {
    Ops.push_back("draw " + Str(dest) + " <- " + Str(src));
    Dests.push_back(Str(dest));
  }
  void SetClip(const TGPRectF& r) override { Ops.push_back("clip " + Str(r)); }
  void ResetClip() override { Ops.push_back("reset"); }
  void Clear() {
    Ops.clear();
    Dests.clear();
  }
  std::vector<std::string> Ops;
  std::vector<std::string> Dests;  // destinations of the draws only
};

// A top-down 32-bit surface in a memory DC, with a canvas bound to it.
class TSurface {
 public:
  TSurface(int w, int h, std::uint32_t fill = 0) : W(w), H(h) {
    void* bits = nullptr;
    Bmp = CreateDIB32(w, h, &bits);
    Bits = static_cast<std::uint32_t*>(bits);
    for (int i = 0; i < w * h; ++i) Bits[i] = fill;
    Dc = CreateCompatibleDC(nullptr);
    SelectObject(Dc, Bmp);
    Canvas.SetHandle(Dc);
  }
  ~TSurface() {
    Canvas.SetHandle(nullptr);
    DeleteDC(Dc);
    DeleteObject(Bmp);
  }
  TSurface(const TSurface&) = delete;
  TSurface& operator=(const TSurface&) = delete;

  // Premultiplied word at (x, y), after pending drawing reached the bits.
  std::uint32_t At(int x, int y) const {
    GdiFlush();
    return Bits[size_t(y) * W + x];
  }
  int Alpha(int x, int y) const { return int(At(x, y) >> 24); }
  // Pixels of the rectangle whose alpha is not 0.
  int Ink(const TRect& r) const {
    GdiFlush();
    int n = 0;
    for (int y = std::max(0, r.Top); y < std::min(H, r.Bottom); ++y)
      for (int x = std::max(0, r.Left); x < std::min(W, r.Right); ++x) n += (Bits[size_t(y) * W + x] >> 24) != 0;
    return n;
  }
  std::vector<std::uint32_t> Snapshot() const {
    GdiFlush();
    return std::vector<std::uint32_t>(Bits, Bits + size_t(W) * H);
  }
  // Writes the pixels as a PNG (straight alpha) for looking at.
  void SavePng(const std::string& path) const;

  int W, H;
  std::uint32_t* Bits = nullptr;
  HBITMAP Bmp = nullptr;
  HDC Dc = nullptr;
  TCanvas Canvas;
};

inline void TSurface::SavePng(const std::string& path) const {
  std::vector<std::uint32_t> px = Snapshot();
  UnpremultiplyRow(px.data(), px.data(), px.size());
  std::vector<Byte> file = EncodePng(px.data(), W, H, W);
  TFileStream f(Utf8ToString(path), fmCreate);
  f.WriteBuffer(file.data(), Int64(file.size()));
}

inline std::string SharedPng(const char* name) {
  return std::string(KX_SHARED_DIR) + "/testdata/pngsuite/png/" + name + ".png";
}

}  // namespace imgtest
