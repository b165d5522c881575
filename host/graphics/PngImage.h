// TPngImage: a picture loaded from and saved as PNG.
#pragma once
#include <cstdint>
#include <vector>

#include "host/graphics/Graphic.h"

namespace vcl {

class TBitmap;

// How the picture lets the destination show through:
//   ptmNone    every pixel is opaque;
//   ptmBit     every pixel is either opaque or fully transparent (drawn keyed);
//   ptmPartial some pixels are partly transparent (drawn alpha-blended).
// A file with an alpha channel (colour types 4 and 6) is ptmPartial whatever its pixels; for
// the other colour types the mode follows the decoded pixels (palette or tRNS transparency).
enum TPngTransparencyMode { ptmNone, ptmBit, ptmPartial };
constexpr TEnumNames EnumNames(TPngTransparencyMode) {
  return {u"TPNGTransparencyMode", u"ptmNone ptmBit ptmPartial"};
}

// PNG colour types.
constexpr Byte COLOR_GRAYSCALE = 0;
constexpr Byte COLOR_RGB = 2;
constexpr Byte COLOR_PALETTE = 3;
constexpr Byte COLOR_GRAYSCALEALPHA = 4;
constexpr Byte COLOR_RGBALPHA = 6;

// The picture is decoded once, when loaded; it keeps the straight pixels, the file it was
// loaded from (saved back unchanged, ancillary chunks included) and, from the first draw on, a
// premultiplied copy to draw from. A picture made from a bitmap is saved as 8-bit RGB or RGBA.
//
// Loading reads the PNG from the stream's position and leaves the stream after its IEND chunk.
// A file that cannot be decoded raises EInvalidGraphic naming the source and the reason, and
// leaves the picture (and the stream position) as they were.
class TPngImage : public TGraphic {
 public:
  static const TClass Class;
  const TClass* ClassType() const override { return &Class; }

  TPngImage();
  ~TPngImage() override;

  // From a TPngImage (a copy), a TBitmap (32-bit bitmaps with afDefined or afPremultiplied
  // keep their alpha as RGBA; others become RGB, with the transparent colour of a Transparent
  // bitmap keyed out), or nullptr (empty).
  void Assign(TPersistent* source) override;

  bool Empty() const override { return FWidth == 0 || FHeight == 0; }
  int Width() const override { return FWidth; }
  int Height() const override { return FHeight; }
  // Resizes to a blank (transparent black, RGBA) picture; 0 empties it.
  void SetSize(int width, int height) override;
  bool Transparent() const override { return FMode != ptmNone; }
  TPngTransparencyMode TransparencyMode() const { return FMode; }
  // Colour type and bits per sample of the file the picture came from (RGBA/8 when made).
  Byte ColorType() const { return FColorType; }
  Byte BitDepth() const { return FBitDepth; }

  // Straight 0xAARRGGBB word of a pixel (0 outside the picture).
  std::uint32_t Pixel(int x, int y) const;
  // All pixels, straight, top row first.
  const std::vector<std::uint32_t>& Pixels() const { return FPixels; }

  void LoadFromStream(TStream* stream) override;
  void SaveToStream(TStream* stream) override;

 protected:
  // To a TBitmap: pf32bit rows holding the straight pixels; AlphaFormat afDefined when the
  // picture has transparency (ptmBit or ptmPartial), else afIgnored with every alpha 255.
  void AssignTo(TPersistent* dest) override;
  void Draw(TCanvas* canvas, const TRect& r) override;
  void DrawTransparent(TCanvas* canvas, const TRect& r, Byte opacity) override;

 private:
  void SetPixels(int width, int height, std::vector<std::uint32_t> pixels, Byte colorType,
                 Byte bitDepth, std::vector<Byte> file);
  void FreeDrawCache();
  void DrawInto(TCanvas* canvas, const TRect& r, Byte opacity);

  int FWidth = 0;
  int FHeight = 0;
  std::vector<std::uint32_t> FPixels;
  std::vector<Byte> FFile;  // the PNG as loaded; empty when made from pixels
  TPngTransparencyMode FMode = ptmNone;
  Byte FColorType = COLOR_RGBALPHA;
  Byte FBitDepth = 8;
  HBITMAP FDrawBitmap = nullptr;  // premultiplied copy
  HDC FDrawDC = nullptr;
};

}  // namespace vcl
