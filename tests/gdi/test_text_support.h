// Helpers of the text tests: a white 32-bit memory DC, fonts by name, ink searches.
#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "host/gdi/GdiInternal.h"
#include "host/gdi/GdiText.h"

namespace texttest {

using namespace vcl;

constexpr std::uint32_t kWhite = 0xFFFFFFFFu;

inline HFONT MakeFont(int height, const char16_t* face = u"Tahoma", int weight = FW_NORMAL,
                      BYTE quality = DEFAULT_QUALITY) {
  LOGFONTW lf;
  lf.lfHeight = height;
  lf.lfWeight = weight;
  lf.lfQuality = quality;
  for (int i = 0; face[i] && i < LF_FACESIZE - 1; ++i) lf.lfFaceName[i] = face[i];
  return CreateFontIndirectW(lf);
}

// A font deleted at the end of the scope.
struct OwnedFont {
  HFONT H;
  explicit OwnedFont(HFONT h) : H(h) {}
  OwnedFont(int height, const char16_t* face = u"Tahoma", int weight = FW_NORMAL,
            BYTE quality = DEFAULT_QUALITY)
      : H(MakeFont(height, face, weight, quality)) {}
  ~OwnedFont() { DeleteObject(H); }
  OwnedFont(const OwnedFont&) = delete;
  OwnedFont& operator=(const OwnedFont&) = delete;
  operator HFONT() const { return H; }
};

// A memory DC on a white top-down 32-bit bitmap, with a font selected, black text and a
// transparent background.
class Canvas {
 public:
  Canvas(int w, int h, HFONT font = nullptr) : W(w), H(h) {
    void* bits = nullptr;
    Bmp = CreateDIB32(w, h, &bits);
    Px = static_cast<std::uint32_t*>(bits);
    Dc = CreateCompatibleDC(nullptr);
    SelectObject(Dc, Bmp);
    Font = font ? font : MakeFont(-11);
    SelectObject(Dc, Font);
    SetBkMode(Dc, TRANSPARENT);
    SetTextColor(Dc, 0x000000);
    Clear();
  }
  ~Canvas() {
    DeleteDC(Dc);
    DeleteObject(Bmp);
    DeleteObject(Font);
  }
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;

  void Clear() {
    for (int i = 0; i < W * H; ++i) Px[i] = kWhite;
  }
  std::uint32_t At(int x, int y) const { return Px[y * W + x]; }
  bool Ink(int x, int y) const { return At(x, y) != kWhite; }

  // Bounding box of the non-white pixels (empty when none).
  TRect InkBounds() const { return InkBounds({0, 0, W, H}); }
  TRect InkBounds(const TRect& area) const {
    TRect box{W, H, 0, 0};
    for (int y = std::max(0, area.Top); y < std::min(H, area.Bottom); ++y)
      for (int x = std::max(0, area.Left); x < std::min(W, area.Right); ++x)
        if (Ink(x, y)) {
          box.Left = std::min(box.Left, x);
          box.Top = std::min(box.Top, y);
          box.Right = std::max(box.Right, x + 1);
          box.Bottom = std::max(box.Bottom, y + 1);
        }
    return box.IsEmpty() ? TRect{} : box;
  }
  int InkCount(const TRect& area) const {
    int n = 0;
    for (int y = std::max(0, area.Top); y < std::min(H, area.Bottom); ++y)
      for (int x = std::max(0, area.Left); x < std::min(W, area.Right); ++x) n += Ink(x, y);
    return n;
  }
  bool SamePixels(const Canvas& o) const {
    for (int i = 0; i < W * H; ++i)
      if (Px[i] != o.Px[i]) return false;
    return true;
  }

  TSize Extent(const String& s) const {
    TSize size;
    GetTextExtentPoint32W(Dc, s.data(), int(s.size()), &size);
    return size;
  }
  TEXTMETRICW Metrics() const {
    TEXTMETRICW tm;
    GetTextMetricsW(Dc, &tm);
    return tm;
  }
  // The DT_CALCRECT rectangle of text from (0, 0, width, 0).
  TRect Calc(const String& s, UINT flags, int width = 0) const {
    TRect r{0, 0, width, 0};
    DrawTextW(Dc, s, &r, flags | DT_CALCRECT);
    return r;
  }

  const int W, H;
  HBITMAP Bmp;
  HDC Dc;
  HFONT Font;
  std::uint32_t* Px;
};

}  // namespace texttest
