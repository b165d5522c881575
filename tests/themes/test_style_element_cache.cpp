// The cache of rendered style elements: cached paints are the fresh paints' pixels, through
// clips and regions too; the byte budget holds; nothing outlives a style switch or its style.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "host/gdi/GdiDraw.h"
#include "host/themes/CustomStyle.h"
#include "host/themes/StyleElementCache.h"
#include "host/themes/StyleManager.h"
#include "host/themes/format/ElementModel.h"
#include "tests/themes/ThemesTestSupport.h"

using namespace vcl;
using vcl::test::TCanvasBitmap;

namespace {

TStyleElementCache& Cache() { return TStyleElementCache::Instance(); }

// Restores the cache's switch and budget and the active style after a test.
struct TCacheScope {
  TCustomStyleServices* Active = TStyleManager::ActiveStyle();
  ~TCacheScope() {
    Cache().SetEnabled(true);
    Cache().SetBudget(TStyleElementCache::kDefaultBudget);
    TStyleManager::SetStyle(Active);
  }
};

// A backdrop with a different colour at every pixel, so compositing shows: drawn once, then
// copied under every paint.
void Pattern(TCanvasBitmap& c, int w, int h) {
  static TCanvasBitmap* source = [&] {
    auto* s = new TCanvasBitmap(w, h);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        int a = 128 + (x * 7 + y * 3) % 128;
        int v = (x * 5 + y * 11) % (a + 1);
        SetPixelV(s->Dc(), x, y, RGB(BYTE(v), BYTE(a - v / 2), BYTE((x + y) % (a + 1))));
      }
    return s;
  }();
  BitBlt(c.Dc(), 0, 0, w, h, source->Dc(), 0, 0, SRCCOPY);
}

// The pixels of r and a margin around it.
std::vector<std::uint32_t> Pixels(const TCanvasBitmap& c, const TRect& r, int w, int h) {
  std::vector<std::uint32_t> out;
  for (int y = std::max(0, r.Top - 2); y < std::min(h, r.Bottom + 2); ++y)
    for (int x = std::max(0, r.Left - 2); x < std::min(w, r.Right + 2); ++x) out.push_back(c.Pixel(x, y));
  return out;
}

std::vector<TCustomStyle*> CustomStyles() {
  std::vector<TCustomStyle*> out;
  for (const String& n : TStyleManager::StyleNames())
    if (auto* s = dynamic_cast<TCustomStyle*>(TStyleManager::GetStyle(n))) out.push_back(s);
  return out;
}

}  // namespace

TEST(StyleElementCache, CachedPaintsAreTheFreshPixelsForEveryElementOfEveryStyle) {
  TCacheScope scope;
  constexpr int W = 200, H = 110;
  TCanvasBitmap fresh(W, H), cached(W, H);
  HRGN region = CreateRectRgn(0, 0, 30, 200);
  HRGN band = CreateRectRgn(40, 20, 200, 34);
  CombineRgn(region, region, band, RGN_OR);
  DeleteObject(band);
  auto styles = CustomStyles();
  ASSERT_GE(styles.size(), 6u);
  auto rows = ElementEntries();
  for (TCustomStyle* style : styles) {
    SCOPED_TRACE(StringToUtf8(style->Name()));
    for (size_t i = 0; i < rows.size(); ++i) {
      if (rows[i].TextOnly) continue;
      TThemedElementDetails d = DetailsOfEntry(int(i));
      for (int dpi : {96, 192}) {
        TSize size{};
        int w = MulDiv(60, dpi, 96), h = MulDiv(24, dpi, 96);
        if (style->GetElementSize(fresh.Dc(), d, esActual, size, dpi)) {
          if (size.cx > 0) w = std::min<int>(size.cx, 180);
          if (size.cy > 0) h = std::min<int>(size.cy, 90);
        }
        // At an odd position, whole, through a clip rectangle and through a clip region.
        TRect r = Bounds(7, 5, w, h);
        TRect clip = Bounds(12, 9, w / 2 + 1, h / 2 + 1);
        // (The clipped ways for every fifth entry: they share the blit, not the rendering.)
        for (int way = 0; way < (i % 5 == 0 ? 3 : 1); ++way) {
          auto paint = [&](TCanvasBitmap& c, bool useCache) {
            Cache().SetEnabled(useCache);
            Pattern(c, W, H);
            if (way == 2) SelectClipRgn(c.Dc(), region);
            bool ok = style->DrawElement(c.Dc(), d, r, way == 1 ? &clip : nullptr, dpi);
            if (way == 2) SelectClipRgn(c.Dc(), nullptr);
            return ok;
          };
          ASSERT_TRUE(paint(fresh, false)) << rows[i].Name;
          ASSERT_TRUE(paint(cached, true));   // rendered and kept
          ASSERT_TRUE(paint(cached, true));   // served from the cache
          ASSERT_EQ(Pixels(fresh, r, W, H), Pixels(cached, r, W, H))
              << rows[i].Name << " at " << dpi << " dpi, way " << way;
        }
      }
    }
  }
  DeleteObject(region);
}

TEST(StyleElementCache, RepaintsHitAndAThousandSizesStayWithinTheBudget) {
  TCacheScope scope;
  TCustomStyle* style = CustomStyles().front();
  TCanvasBitmap canvas(220, 220);
  TThemedElementDetails face = GetElementDetails(tbPushButtonNormal);
  Cache().Clear();
  ASSERT_TRUE(style->DrawElement(canvas.Dc(), face, Bounds(0, 0, 80, 25), nullptr, 96));
  std::size_t hits = Cache().Hits();
  ASSERT_TRUE(style->DrawElement(canvas.Dc(), face, Bounds(30, 40, 80, 25), nullptr, 96));
  EXPECT_EQ(Cache().Hits(), hits + 1);

  const std::size_t budget = 256 * 1024;
  Cache().SetBudget(budget);
  std::size_t most = 0;
  for (int i = 0; i < 1000; ++i) {
    TRect r = Bounds(0, 0, 20 + i % 40, 10 + i / 40);
    ASSERT_TRUE(style->DrawElement(canvas.Dc(), face, r, nullptr, 96 + 96 * (i % 2)));
    ASSERT_LE(Cache().Bytes(), budget) << i;
    most = std::max(most, Cache().Count());
  }
  EXPECT_GT(most, 20u);
  EXPECT_LT(Cache().Count(), 1000u);
  // The newest size is still there; the oldest went first.
  hits = Cache().Hits();
  style->DrawElement(canvas.Dc(), face, Bounds(0, 0, 20 + 999 % 40, 10 + 999 / 40), nullptr, 192);
  EXPECT_EQ(Cache().Hits(), hits + 1);
  std::size_t misses = Cache().Misses();
  style->DrawElement(canvas.Dc(), face, Bounds(0, 0, 20, 10), nullptr, 96);
  EXPECT_EQ(Cache().Misses(), misses + 1);
}

TEST(StyleElementCache, AStyleSwitchServesNothingOfTheOldStyle) {
  TCacheScope scope;
  auto* glow = dynamic_cast<TCustomStyle*>(TStyleManager::GetStyle(u"Glow"));
  ASSERT_NE(glow, nullptr);
  TStyleManager::SetStyle(glow);
  TCanvasBitmap canvas(100, 60);
  ASSERT_TRUE(glow->DrawElement(canvas.Dc(), GetElementDetails(tbPushButtonHot), Bounds(0, 0, 80, 25), nullptr, 96));
  EXPECT_TRUE(Cache().Holds(glow->Serial()));
  TStyleManager::SetStyle(u"Sky");
  EXPECT_FALSE(Cache().Holds(glow->Serial()));
  EXPECT_EQ(Cache().Count(), 0u);
  // The next paint of the old style renders afresh.
  std::size_t misses = Cache().Misses();
  glow->DrawElement(canvas.Dc(), GetElementDetails(tbPushButtonHot), Bounds(0, 0, 80, 25), nullptr, 96);
  EXPECT_EQ(Cache().Misses(), misses + 1);
}

TEST(StyleElementCache, LargeElementsPaintDirectlyAndAreNotKept) {
  TCacheScope scope;
  TCustomStyle* style = CustomStyles().front();
  TCanvasBitmap canvas(600, 500);
  Cache().Clear();
  ASSERT_FALSE(TStyleElementCache::Admits(600, 500));
  ASSERT_TRUE(style->DrawElement(canvas.Dc(), GetElementDetails(tbPushButtonNormal), Bounds(0, 0, 600, 500), nullptr, 96));
  EXPECT_EQ(Cache().Count(), 0u);
  EXPECT_GT(canvas.ChangedIn(Bounds(0, 0, 600, 500)), 0);
}
