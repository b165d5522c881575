// Glows of images and image-list images, and image-list images drawn with an opacity.
//
// Glyphs are pure blue, halos pure red, targets opaque black: blue is the glyph alone and,
// where there is no blue, red is the halo alone.
#include <memory>

#include "DrawTest.h"
#include "draw/kxBitmapUtils.h"
#include "draw/kxGlow.h"
#include "draw/kxImageListGlyphs.h"
#include "host/classes/TypInfo.h"
#include "host/graphics/ImgList.h"

using namespace vcl;
using namespace kx;
using namespace drawtest;

namespace {

constexpr std::uint32_t kGreen = 0xFF00FF00u;
constexpr std::uint32_t kBlue = 0xFF0000FFu;

// An 8 x 8 glyph: a 2 x 2 blue block at (3, 3) on green.
void Glyph(TBitmap& b, int at = 3) {
  Make32(b, 8, 8, kGreen);
  for (int y = at; y < at + 2; ++y)
    for (int x = at; x < at + 2; ++x) Px(b, x, y) = kBlue;
}

// A list without alpha whose glyph's green is opaque (masked: transparent).
std::unique_ptr<TImageList> OpaqueList(bool masked) {
  auto il = std::make_unique<TImageList>(8, 8);
  TBitmap g;
  Glyph(g);
  if (masked)
    il->AddMasked(&g, clDefault);
  else
    il->Add(&g, nullptr);
  return il;
}

// A 32-bit list whose glyph is black everywhere, opaque only in a 3 x 3 block at (2, 2): its
// shape is in the alpha channel alone.
std::unique_ptr<TImageList> AlphaList() {
  auto il = std::make_unique<TImageList>(8, 8);
  il->SetColorDepth(cd32Bit);
  TBitmap g;
  Make32(g, 8, 8, 0x00000000u);
  for (int y = 2; y < 5; ++y)
    for (int x = 2; x < 5; ++x) Px(g, x, y) = 0xFF000000u;
  g.SetAlphaFormat(afDefined);
  il->Add(&g, nullptr);
  return il;
}

// One of the library's own image lists: the images are drawn by the list itself, not kept in
// its handle.
class TDrawnImageList : public TCustomImageList {
 public:
  static const TClass Class;
  const TClass* ClassType() const override { return &Class; }
  TDrawnImageList() : TCustomImageList(8, 8) { Handle(); }
  int GetCount() override { return 1; }

 protected:
  void DoDraw(int index, TCanvas* canvas, int x, int y, UINT, bool) override {
    canvas->Brush()->SetColor(clBlue);
    canvas->FillRect(Rect(x + 1, y + 1, x + 3, y + 3));
  }
};
const TClass TDrawnImageList::Class =
    TClass::Define<TDrawnImageList, TCustomImageList>(u"TkxCustomImageList");

// A list of the host's "TVirtualImageList" class, recognised by its name alone.
class TNamedVirtualList : public TImageList {
 public:
  static const TClass Class;
  const TClass* ClassType() const override { return &Class; }
  TNamedVirtualList() : TImageList(8, 8) {}
};
const TClass TNamedVirtualList::Class =
    TClass::Define<TNamedVirtualList, TImageList>(u"TVirtualImageList");

// A library list that shows how it was asked to draw: blue enabled, red disabled.
class TLookList : public TCustomImageList {
 public:
  static const TClass Class;
  const TClass* ClassType() const override { return &Class; }
  TLookList() : TCustomImageList(8, 8) { Handle(); }
  int GetCount() override { return 1; }

 protected:
  void DoDraw(int, TCanvas* canvas, int x, int y, UINT, bool enabled) override {
    canvas->Brush()->SetColor(enabled ? clBlue : clRed);
    canvas->FillRect(Rect(x + 1, y + 1, x + 3, y + 3));
  }
};
const TClass TLookList::Class = TClass::Define<TLookList, TCustomImageList>(u"TkxCustomImageList");

// Where alpha is non-zero.
std::vector<bool> Shape(TBitmap& b) {
  std::vector<bool> s;
  for (std::uint32_t p : Pixels(b)) s.push_back(Alpha(p) != 0);
  return s;
}

}  // namespace

TEST(ImageGlow, GlyphsWithoutAlphaGlowAroundPixelsUnlikeTheTopLeftOne) {
  TBitmap glyph;
  Glyph(glyph);
  glyph.SetPixelFormat(pf24bit);
  TBitmap glow;
  MakeImageGlow(&glow, &glyph, 0, clRed);
  EXPECT_EQ(glyph.PixelFormat(), pf24bit);  // the caller's image is left as it was
  ASSERT_EQ(glow.Width(), 8);
  EXPECT_EQ(glow.AlphaFormat(), afPremultiplied);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) {
      bool inBlock = x >= 3 && x < 5 && y >= 3 && y < 5;
      EXPECT_EQ(Px(glow, x, y), inBlock ? 0xFFFF0000u : 0u) << x << "," << y;
    }

  // With a radius the glow grows by it on every side, centred on the shape.
  MakeImageGlow(&glow, &glyph, 2, clRed);
  ASSERT_EQ(glow.Width(), 12);
  ASSERT_EQ(glow.Height(), 12);
  EXPECT_EQ(Px(glow, 0, 0), 0u);
  EXPECT_GT(Alpha(Px(glow, 5, 5)), Alpha(Px(glow, 3, 5)));
  EXPECT_GT(Alpha(Px(glow, 3, 5)), 0);
  EXPECT_EQ(Px(glow, 3, 5), Px(glow, 8, 5));  // symmetric about the block
  EXPECT_EQ(Px(glow, 5, 3), Px(glow, 5, 8));

  // A 32-bit image that uses its alpha glows where it is not transparent.
  auto il = AlphaList();
  TBitmap shaped;
  ASSERT_TRUE(il->GetBitmap(0, &shaped));
  MakeImageGlow(&glow, &shaped, 0, clRed);
  std::vector<bool> s = Shape(glow);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x)
      EXPECT_EQ(s[size_t(y) * 8 + x], x >= 2 && x < 5 && y >= 2 && y < 5) << x << "," << y;

  TBitmap empty;
  MakeImageGlow(&glow, &empty, 3, clRed);
  EXPECT_TRUE(glow.Empty());
}

TEST(ImageGlow, ListsWithAndWithoutAlpha) {
  TBitmap glow;
  // Without alpha: keyed by the top-left colour, whether or not the list masks it.
  for (bool masked : {false, true}) {
    auto il = OpaqueList(masked);
    ASSERT_TRUE(MakeImageListGlow(&glow, il.get(), 0, clRed, 0)) << masked;
    std::vector<bool> s = Shape(glow);
    for (int y = 0; y < 8; ++y)
      for (int x = 0; x < 8; ++x)
        ASSERT_EQ(s[size_t(y) * 8 + x], x >= 3 && x < 5 && y >= 3 && y < 5) << masked;
  }
  // With alpha: by the alpha channel, though every pixel has the same colour.
  auto il = AlphaList();
  ASSERT_TRUE(MakeImageListGlow(&glow, il.get(), 0, clRed, 1));
  ASSERT_EQ(glow.Width(), 10);
  EXPECT_EQ(Px(glow, 4, 4), 0xFFFF0000u);  // inside the 3 x 3 block, blur of all white
  EXPECT_GT(Alpha(Px(glow, 2, 4)), 0);
  EXPECT_EQ(Px(glow, 0, 0), 0u);
  // Lists that draw their images themselves glow around what they draw.
  TDrawnImageList drawn;
  ASSERT_TRUE(MakeImageListGlow(&glow, &drawn, 0, clRed, 0));
  std::vector<bool> s = Shape(glow);
  EXPECT_TRUE(s[1 * 8 + 1] && s[2 * 8 + 2]);
  EXPECT_FALSE(s[0] || s[3 * 8 + 3]);
  // Nothing to glow.
  EXPECT_FALSE(MakeImageListGlow(&glow, il.get(), 1, clRed, 1));
  EXPECT_FALSE(MakeImageListGlow(&glow, il.get(), -1, clRed, 1));
  EXPECT_FALSE(MakeImageListGlow(&glow, nullptr, 0, clRed, 1));
}

TEST(ImageGlow, DrawnUnderTheImageWithTheOffsetMovingOnlyTheHalo) {
  auto il = OpaqueList(true);
  TTarget a(40, 40), b(40, 40);
  DrawImageWithGlow(a.Canvas(), 10, 10, 255, 3, clRed, 0, 0, il.get());
  DrawImageWithGlow(b.Canvas(), 10, 10, 255, 3, clRed, 2, 0, il.get());
  // The image at (10, 10): its block blue, its masked green not drawn.
  EXPECT_EQ(a.At(13, 13), kBlue);
  EXPECT_EQ(a.Count(8), 0);
  EXPECT_EQ(a.Extent(0), Rect(13, 13, 15, 15));
  EXPECT_EQ(b.Extent(0), Rect(13, 13, 15, 15));
  // The halo around it, 3 pixels on each side, and moved by the offset.
  EXPECT_EQ(a.Extent(16), Rect(10, 10, 18, 18));
  EXPECT_EQ(b.Extent(16), Rect(12, 12, 20, 20));
  for (int y = 0; y < 36; ++y)
    for (int x = 0; x < 36; ++x)
      if (Blue(a.At(x, y)) == 0 && Blue(b.At(x + 2, y + 2)) == 0) {
        ASSERT_EQ(Red(a.At(x, y)), Red(b.At(x + 2, y + 2))) << x << "," << y;
      }

  // A list sharing its images draws through the handle, to the same effect.
  il->SetShareImages(true);
  TTarget shared(40, 40);
  DrawImageWithGlow(shared.Canvas(), 10, 10, 255, 3, clRed, 0, 0, il.get());
  EXPECT_EQ(Pixels(shared.Bitmap), Pixels(a.Bitmap));
  il->SetShareImages(false);

  // Bad indexes and missing lists draw nothing.
  TTarget none(40, 40);
  DrawImageWithGlow(none.Canvas(), 10, 10, 255, 3, clRed, 0, 5, il.get());
  DrawImageWithGlow(none.Canvas(), 10, 10, 255, 3, clRed, 0, 0, nullptr);
  EXPECT_EQ(none.Count(0) + none.Count(8) + none.Count(16), 0);
}

TEST(ImageGlow, TheCachedHaloIsKeptUntilARebuild) {
  auto il = OpaqueList(true);
  std::unique_ptr<TBitmap> cache;
  TTarget first(40, 40), uncached(40, 40);
  DrawImageWithGlowCached(cache, false, first.Canvas(), 10, 10, 200, 3, clRed, 1, 0, il.get());
  DrawImageWithGlow(uncached.Canvas(), 10, 10, 200, 3, clRed, 1, 0, il.get());
  EXPECT_EQ(Pixels(first.Bitmap), Pixels(uncached.Bitmap));
  ASSERT_TRUE(cache);
  TBitmap* kept = cache.get();

  // The glyph moves within its cell: the kept halo does not follow until rebuilt.
  il->Clear();
  TBitmap g;
  Glyph(g, 5);
  il->AddMasked(&g, clDefault);
  TTarget stale(40, 40), rebuilt(40, 40);
  DrawImageWithGlowCached(cache, false, stale.Canvas(), 10, 10, 200, 3, clRed, 1, 0, il.get());
  EXPECT_EQ(cache.get(), kept);
  EXPECT_EQ(stale.Extent(16), first.Extent(16));
  DrawImageWithGlowCached(cache, true, rebuilt.Canvas(), 10, 10, 200, 3, clRed, 1, 0, il.get());
  EXPECT_EQ(rebuilt.Extent(16), first.Extent(16).Offsetted(2, 2));
  // A bad index keeps no glow.
  DrawImageWithGlowCached(cache, true, rebuilt.Canvas(), 10, 10, 200, 3, clRed, 1, 9, il.get());
  EXPECT_FALSE(cache);
}

TEST(ImageAlpha, ListImagesDrawnWithAnOpacity) {
  // Without alpha: the pixels unlike the top-left one, opaque, then faded by the opacity.
  auto il = OpaqueList(false);
  TTarget t(20, 20);
  DrawImageWithAlpha(t.Canvas(), 4, 4, 80, 0, il.get());
  EXPECT_EQ(Hex(t.At(7, 7)), Hex(0xFF000050u));  // 255 * 80 / 255 of blue
  EXPECT_EQ(t.Count(8), 0);                       // the green background stays out
  EXPECT_EQ(t.Extent(0), Rect(7, 7, 9, 9));

  // With alpha: the image's own alpha times the opacity.
  auto al = AlphaList();
  TBitmap white;
  Make32(white, 8, 8, 0x00000000u);
  Px(white, 1, 1) = 0x80FFFFFFu;
  white.SetAlphaFormat(afDefined);
  al->Replace(0, &white, nullptr);
  TTarget u(20, 20, 0xFF000000u);
  DrawImageWithAlpha(u.Canvas(), 0, 0, 128, 0, al.get());
  // 128 * 128 / 255 = 64 of white over black.
  EXPECT_NEAR(Blue(u.At(1, 1)), 64, 1);
  EXPECT_EQ(Alpha(u.At(1, 1)), 255);
  EXPECT_EQ(u.At(0, 0), 0xFF000000u);

  // The library's own lists by drawing them.
  TDrawnImageList drawn;
  TTarget d(20, 20);
  DrawImageWithAlpha(d.Canvas(), 0, 0, 255, 0, &drawn);
  EXPECT_EQ(d.Extent(0), Rect(1, 1, 3, 3));

  // Opacity 0, bad indexes and missing lists draw nothing.
  TTarget none(20, 20);
  DrawImageWithAlpha(none.Canvas(), 4, 4, 0, 0, il.get());
  DrawImageWithAlpha(none.Canvas(), 4, 4, 255, 1, il.get());
  DrawImageWithAlpha(none.Canvas(), 4, 4, 255, 0, nullptr);
  EXPECT_EQ(none.Count(0) + none.Count(8), 0);
}

TEST(ImageListGlyphs, TheFourDisabledCases) {
  // The host's virtual list: keyed on its top-left pixel and blended at 80 (100 in the gallery).
  TNamedVirtualList named;
  {
    TBitmap g;
    Glyph(g);
    named.Add(&g, nullptr);
  }
  TTarget v(20, 20), gallery(20, 20), enabled(20, 20);
  DrawImageListGlyph(v.Canvas(), 4, 4, 0, &named, kxglDisabled);
  EXPECT_EQ(Hex(v.At(7, 7)), Hex(0xFF000050u));
  EXPECT_EQ(v.Count(8), 0);  // the green around the glyph counts as transparent
  DrawImageListGlyph(gallery.Canvas(), 4, 4, 0, &named, kxglDisabled, kxGalleryDisabledGlyphAlpha);
  EXPECT_EQ(Hex(gallery.At(7, 7)), Hex(0xFF000064u));
  DrawImageListGlyph(enabled.Canvas(), 4, 4, 0, &named, kxglEnabled);
  EXPECT_EQ(Hex(enabled.At(7, 7)), Hex(kBlue));
  EXPECT_EQ(Hex(enabled.At(4, 4)), Hex(kGreen));  // enabled, the list draws itself

  // The library's lists draw their own disabled look.
  TLookList look;
  TTarget l(20, 20), le(20, 20);
  DrawImageListGlyph(l.Canvas(), 0, 0, 0, &look, kxglDisabled);
  EXPECT_EQ(Hex(l.At(1, 1)), Hex(0xFFFF0000u));
  DrawImageListGlyph(le.Canvas(), 0, 0, 0, &look, kxglEnabled);
  EXPECT_EQ(Hex(le.At(1, 1)), Hex(kBlue));

  // Any other list draws itself disabled, not blended at 80.
  auto plain = OpaqueList(false);
  TTarget p(20, 20), own(20, 20);
  DrawImageListGlyph(p.Canvas(), 4, 4, 0, plain.get(), kxglDisabled);
  EXPECT_NE(Hex(p.At(7, 7)), Hex(0xFF000050u));
  plain->Draw(own.Canvas(), 4, 4, 0, false);
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 20; ++x) ASSERT_EQ(p.At(x, y), own.At(x, y)) << x << "," << y;

  // Missing lists and bad indexes draw nothing.
  TTarget none(20, 20);
  DrawImageListGlyph(none.Canvas(), 0, 0, 3, &named, kxglDisabled);
  DrawImageListGlyph(none.Canvas(), 0, 0, -1, &look, kxglEnabled);
  DrawImageListGlyph(none.Canvas(), 0, 0, 0, nullptr, kxglDisabled);
  EXPECT_EQ(none.Count(0) + none.Count(8) + none.Count(16), 0);
}
