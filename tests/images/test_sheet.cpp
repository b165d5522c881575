// A sheet of every draw style, the slicing variants, a caption wallpaper and the virtual image
// lists over the demo's 96 x 96 artwork, rendered at 100, 150 and 200 %. With KX_SHEET_DIR set
// the sheets are written there as images-sheet-<percent>.png for looking at.
#include <cstdlib>
#include <memory>
#include <string>

#include "ImagesTest.h"
#include "host/classes/TypInfo.h"
#include "host/graphics/ImgList.h"
#include "images/kxGPImages.h"

using namespace imgtest;

namespace {

std::string Artwork(const std::string& name) {
  return std::string(KX_SOURCE_DIR) + "/resources/images/glyphs/" + name + ".png";
}

// The picture sliced by margins of 10: a dark rounded frame around a light gradient, its corners
// marked so that stretching or clipping them shows.
std::unique_ptr<TPngImage> FramePng() {
  return MakePng(30, 30, [](int x, int y) -> std::uint32_t {
    bool corner = (x < 10 || x >= 20) && (y < 10 || y >= 20);
    bool edge = x < 10 || x >= 20 || y < 10 || y >= 20;
    if (corner) {
      int cx = x < 10 ? 9 : 20, cy = y < 10 ? 9 : 20;
      int dx = x - cx, dy = y - cy;
      if (dx * dx + dy * dy > 81) return 0;  // rounded outer corners
      return 0xFF1E3A5Fu;
    }
    if (edge) return ((x + y) % 4 < 2) ? 0xFF2E5A8Fu : 0xFF1E3A5Fu;  // a texture that shows tiling
    return 0xFF000000u | std::uint32_t(0xC0 + y) << 16 | std::uint32_t(0xD8 + y) << 8 | 0xF0u;
  });
}

struct TSheet {
  double S;
  int W, H;
  TSurface Surface;
  TkxGPImageCollection Images{nullptr};
  std::unique_ptr<TImageList> Source;
  std::vector<TRect> StyleCells;
  std::vector<TRect> GlyphCells, DisabledCells;

  int Px(int v) const { return kxRound(v * S); }
  TRect Box(int l, int t, int w, int h) const { return TRect::FromSize(Px(l), Px(t), Px(w), Px(h)); }

  explicit TSheet(double s) : S(s), W(kxRound(940 * s)), H(kxRound(560 * s)), Surface(W, H, 0xFFFFFFFFu) {
    TCanvas& c = Surface.Canvas;
    c.Font()->SetName(u"Tahoma");
    c.Font()->SetHeight(-Px(11));
    c.Brush()->SetStyle(bsClear);

    // Items: 0 the star glyph shown as 20 x 20, 1 the frame, 2 the caption wallpaper.
    TkxGPImageCollectionItem* star = Images.Images()->Add();
    star->LoadPngFromFile(Utf8ToString(Artwork("glyph3")));
    star->SetVirtualWidth(20);
    star->SetVirtualHeight(20);
    TkxGPImageCollectionItem* frame = Images.Images()->Add();
    frame->SetPngImage(FramePng().get());
    frame->Options()->SetLeftMargin(10);
    frame->Options()->SetTopMargin(10);
    frame->Options()->SetRightMargin(10);
    frame->Options()->SetBottomMargin(10);
    TkxGPImageCollectionItem* wall = Images.Images()->Add();
    wall->LoadPngFromFile(Utf8ToString(Artwork("wallpaper-active")));
    wall->SetDrawStyle(idsTopTile);
    wall->SetVirtualWidth(110);
    wall->SetVirtualHeight(24);

    // Every draw style into a framed cell, clipped to it as controls clip.
    for (int i = 0; i < kxImageDrawStyleCount; ++i) {
      int col = i % 9, row = i / 9;
      TRect cell = Box(10 + col * 102, 10 + row * 88, 96, 82);
      c.Font()->SetColor(clGray);
      c.TextOut(cell.Left, cell.Top, EnumName(TkxImageDrawStyle(i)).substr(3));
      TRect dest = TRect(cell.Left, cell.Top + Px(16), cell.Right, cell.Bottom);
      Outline(dest, 0xFFC8D0D8u);
      star->SetDrawStyle(TkxImageDrawStyle(i));
      Clipped(dest, [&] { Images.Draw(&c, dest, 0, S); });
      StyleCells.push_back(dest);
    }

    // Slicing: stretched, tiled, border only, centre only, narrow; a three-slice bar.
    int y = 290;
    auto slice = [&](int x, int w, int h, const char16_t* label, auto setup) {
      TRect dest = Box(x, y + 16, w, h);
      c.Font()->SetColor(clGray);
      c.TextOut(dest.Left, dest.Top - Px(16), label);
      TkxGPBitmapOptions* o = frame->Options();
      o->SetStretch(true);
      o->SetStretchBorder(true);
      o->SetDrawOnlyBorder(false);
      o->SetDrawOnlyClient(false);
      setup(o);
      Images.Draw(&c, dest, 1, S);
    };
    slice(10, 170, 70, u"nine, stretched", [](TkxGPBitmapOptions*) {});
    slice(195, 170, 70, u"nine, tiled", [](TkxGPBitmapOptions* o) {
      o->SetStretch(false);
      o->SetStretchBorder(false);
    });
    slice(380, 170, 70, u"border only", [](TkxGPBitmapOptions* o) { o->SetDrawOnlyBorder(true); });
    slice(565, 170, 70, u"centre only", [](TkxGPBitmapOptions* o) { o->SetDrawOnlyClient(true); });
    slice(750, 15, 70, u"narrow", [](TkxGPBitmapOptions*) {});
    slice(800, 120, 30, u"three", [](TkxGPBitmapOptions* o) {
      o->SetTopMargin(0);
      o->SetBottomMargin(0);
    });
    frame->Options()->SetTopMargin(10);
    frame->Options()->SetBottomMargin(10);

    // The caption wallpaper over a caption-coloured bar.
    TRect bar = Box(10, 390, 460, 30);
    c.Brush()->SetStyle(bsSolid);
    c.Brush()->SetColor(TColor(0x5A4A3A));
    c.FillRect(bar);
    c.Brush()->SetStyle(bsClear);
    Clipped(bar, [&] { Images.Draw(&c, bar, 2, S); });

    // The virtual image lists: the ten glyphs at this scale, enabled and disabled, from the
    // image list (direct drawing) and from a collection (stored entries).
    Source = std::make_unique<TImageList>(96, 96, nullptr);
    Source->SetColorDepth(cd32Bit);
    TkxGPImageCollection glyphs(nullptr);
    for (int i = 0; i < 10; ++i) {
      TPngImage png;
      png.LoadFromFile(Utf8ToString(Artwork("glyph" + std::to_string(i))));
      TBitmap b;
      b.Assign(&png);
      Source->Add(&b, nullptr);
      glyphs.Images()->Add()->SetPngImage(&png);
    }
    TkxGPVirtualImageList fromList(nullptr), fromCollection(nullptr);
    for (auto* l : {&fromList, &fromCollection}) {
      l->SetDefaultWidth(24);
      l->SetDefaultHeight(24);
      l->SetScaleFactor(S);
    }
    fromList.SetSourceImageList(Source.get());
    fromCollection.SetInterpolationMode(kxgppimHighQualityBilinear);
    fromCollection.SetDirectDraw(false);
    fromCollection.SetSourceImageCollection(&glyphs);
    int g = fromList.Width();
    for (int row = 0; row < 3; ++row) {
      TkxGPVirtualImageList& l = row == 2 ? fromCollection : fromList;
      bool enabled = row != 1;
      for (int i = 0; i < 10; ++i) {
        TRect cell = TRect::FromSize(Px(10) + i * (g + Px(8)), Px(440) + row * (g + Px(10)), g, g);
        l.Draw(&c, cell.Left, cell.Top, i, enabled);
        (enabled ? GlyphCells : DisabledCells).push_back(cell);
      }
    }
  }

  void Outline(const TRect& r, std::uint32_t colour) {
    GdiFlush();
    for (int x = r.Left; x < r.Right; ++x) Set(x, r.Top - 1, colour), Set(x, r.Bottom, colour);
    for (int y = r.Top; y < r.Bottom; ++y) Set(r.Left - 1, y, colour), Set(r.Right, y, colour);
  }
  void Set(int x, int y, std::uint32_t colour) {
    if (x >= 0 && y >= 0 && x < W && y < H) Surface.Bits[size_t(y) * W + x] = colour;
  }
  template <class F>
  void Clipped(const TRect& r, F&& draw) {
    int saved = SaveDC(Surface.Dc);
    IntersectClipRect(Surface.Dc, r.Left, r.Top, r.Right, r.Bottom);
    draw();
    RestoreDC(Surface.Dc, saved);
  }
  // Pixels of r that are not the white background.
  int Painted(const TRect& r) const {
    GdiFlush();
    int n = 0;
    for (int y = r.Top; y < r.Bottom; ++y)
      for (int x = r.Left; x < r.Right; ++x) n += Surface.Bits[size_t(y) * W + x] != 0xFFFFFFFFu;
    return n;
  }
  // The bounding box of what is painted in r.
  TRect PaintedBox(const TRect& r) const {
    TRect box{r.Right, r.Bottom, r.Left, r.Top};
    for (int y = r.Top; y < r.Bottom; ++y)
      for (int x = r.Left; x < r.Right; ++x)
        if (Surface.Bits[size_t(y) * W + x] != 0xFFFFFFFFu)
          box = {std::min(box.Left, x), std::min(box.Top, y), std::max(box.Right, x + 1), std::max(box.Bottom, y + 1)};
    return box;
  }
};

}  // namespace

TEST(ImageSheet, RendersEveryStyleAndTheGlyphsAtEachScale) {
  for (double s : {1.0, 1.5, 2.0}) {
    SCOPED_TRACE(s);
    TSheet sheet(s);
    for (size_t i = 0; i < sheet.StyleCells.size(); ++i)
      EXPECT_GT(sheet.Painted(sheet.StyleCells[i]), 0) << StringToUtf8(EnumName(TkxImageDrawStyle(i)));
    // The glyphs fill cells of round(24 * s) and keep inside them; a disabled glyph is paler.
    int g = kxRound(24 * s);
    for (size_t i = 0; i < sheet.GlyphCells.size(); ++i) {
      TRect cell = sheet.GlyphCells[i];
      ASSERT_EQ(cell.Width(), g);
      TRect around = cell.Inflated(3, 3);
      TRect box = sheet.PaintedBox(around);
      EXPECT_TRUE(cell.Contains(box)) << i;
      EXPECT_GT(box.Width(), g / 2) << i;
    }
    for (size_t i = 0; i < sheet.DisabledCells.size(); ++i) {
      TRect on = sheet.GlyphCells[i], off = sheet.DisabledCells[i];
      long darkOn = 0, darkOff = 0;
      for (int y = 0; y < g; ++y)
        for (int x = 0; x < g; ++x) {
          darkOn += 255 - int(sheet.Surface.At(on.Left + x, on.Top + y) & 0xFF);
          darkOff += 255 - int(sheet.Surface.At(off.Left + x, off.Top + y) & 0xFF);
        }
      EXPECT_LT(darkOff * 2, darkOn) << i;
    }
    if (const char* dir = std::getenv("KX_SHEET_DIR"))
      sheet.Surface.SavePng(std::string(dir) + "/images-sheet-" + std::to_string(int(s * 100)) + ".png");
  }
}
