// Images drawn from the per-size cache: the same pixels as a fresh drawing, repeats served from
// the cache, and a changed picture, draw style or option never served stale.
#include "ImagesTest.h"
#include "images/kxGPImageCollection.h"
#include "images/kxGPImageSizeCache.h"

using namespace imgtest;

namespace {

constexpr std::uint32_t kBack = 0xFF203040u;

std::uint32_t Opaque(int x, int y) { return 0xFF000000u | std::uint32_t(x * 11 % 256) << 16 | std::uint32_t(y * 13 % 256) << 8 | 0x55; }

// The collection's drawing without the cache: its GDI+ path with the item's modes.
std::vector<std::uint32_t> Fresh(TkxGPImageCollection& c, const TRect& r, double scale) {
  TSurface s(90, 70, kBack);
  TkxGPImageCollectionItem* item = c.Item(0);
  TGPGraphics g(s.Dc);
  g.SetPixelOffsetMode(item->PixelOffsetModeHighQuality() ? PixelOffsetModeHighQuality : PixelOffsetModeDefault);
  g.SetInterpolationMode(item->InterpolationModeHighQuality() ? InterpolationModeHighQuality
                                                              : InterpolationModeDefault);
  c.DrawToGraphic(&g, r, 0, scale);
  return s.Snapshot();
}

std::vector<std::uint32_t> Cached(TkxGPImageCollection& c, const TRect& r, double scale) {
  TSurface s(90, 70, kBack);
  c.Draw(&s.Canvas, r, 0, scale);
  return s.Snapshot();
}

}  // namespace

TEST(SizeCache, RepeatsAreServedWithTheFreshPixelsAtAnyPosition) {
  TkxGPImageCollection c(nullptr);
  TkxGPImageCollectionItem* item = c.Images()->Add();
  item->SetPngImage(MakePng(23, 17, Opaque).get());
  for (TkxImageDrawStyle style : {idsStretch, idsTile, idsCenter, idsTopStretch}) {
    item->SetDrawStyle(style);
    for (double scale : {1.0, 2.0})
      for (TRect r : {TRect(3, 4, 80, 61), TRect(4, 5, 81, 62), TRect(0, 0, 77, 57)}) {
        SCOPED_TRACE(std::to_string(int(style)) + " at " + std::to_string(scale));
        auto want = Fresh(c, r, scale);
        EXPECT_EQ(Cached(c, r, scale), want);
        std::size_t hits = c.SizeCache()->Hits();
        EXPECT_EQ(Cached(c, r, scale), want);
        // A covering stretch repeats from the cache; the centred picture leaves the backdrop
        // showing and plain tiles may reach beyond the rectangle, so both are drawn afresh.
        if (style == idsStretch) EXPECT_EQ(c.SizeCache()->Hits(), hits + 1);
      }
  }
  ASSERT_NE(c.SizeCache(), nullptr);
  EXPECT_LE(c.SizeCache()->Count(), TkxImageSizeCache::kMaxEntries);
}

TEST(SizeCache, AChangedPictureStyleOrOptionIsDrawnAfresh) {
  TkxGPImageCollection c(nullptr);
  TkxGPImageCollectionItem* item = c.Images()->Add();
  item->SetPngImage(MakePng(23, 17, Opaque).get());
  item->SetDrawStyle(idsStretch);
  const TRect r(2, 2, 70, 50);
  auto first = Cached(c, r, 1);
  ASSERT_EQ(first, Fresh(c, r, 1));

  item->SetPngImage(SolidPng(5, 5, 0xFF00A000u).get());
  auto second = Cached(c, r, 1);
  EXPECT_NE(second, first);
  EXPECT_EQ(second, Fresh(c, r, 1));

  item->SetDrawStyle(idsTile);
  item->SetPngImage(MakePng(23, 17, Opaque).get());
  auto tiled = Cached(c, r, 1);
  EXPECT_NE(tiled, first);
  EXPECT_EQ(tiled, Fresh(c, r, 1));

  item->SetTileOffsetX(3);
  EXPECT_EQ(Cached(c, r, 1), Fresh(c, r, 1));
  item->SetDrawStyle(idsStretch);
  item->SetInterpolationModeHighQuality(false);
  EXPECT_EQ(Cached(c, r, 1), Fresh(c, r, 1));
  item->Options()->SetLeftMargin(4);
  item->Options()->SetRightMargin(4);
  EXPECT_EQ(Cached(c, r, 1), Fresh(c, r, 1));
}

TEST(SizeCache, TranslucentPicturesBlendOverWhatIsBeneath) {
  TkxGPImageCollection c(nullptr);
  TkxGPImageCollectionItem* item = c.Images()->Add();
  item->SetPngImage(SolidPng(8, 8, 0x80336699u).get());
  item->SetDrawStyle(idsStretch);
  const TRect r(1, 1, 60, 40);
  auto want = Fresh(c, r, 1);
  EXPECT_EQ(Cached(c, r, 1), want);
  EXPECT_EQ(Cached(c, r, 1), want);
  ASSERT_NE(c.SizeCache(), nullptr);
  EXPECT_EQ(c.SizeCache()->Hits(), 0u);
}
