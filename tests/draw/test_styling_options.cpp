// The process-wide styling options: their initial values, the resets, and the menu images
// option letting go of a freed collection.
#include <gtest/gtest.h>

#include "draw/kxStylingOptions.h"
#include "images/kxImageCollection.h"

using namespace kx;

namespace {

void ExpectInitial() {
  EXPECT_FALSE(StylingOptions.ModernArrows);
  EXPECT_FALSE(StylingOptions.RTLMode);
  EXPECT_TRUE(StylingOptions.ScaleFormBorder);
  EXPECT_TRUE(StylingOptions.ScaleStyles);
  EXPECT_FALSE(StylingOptions.ScaleThemes);
  EXPECT_TRUE(StylingOptions.ScaleResources);
  EXPECT_FALSE(StylingOptions.MenuColorSelection);
  EXPECT_TRUE(StylingOptions.MenuHeadersSupport);
  EXPECT_EQ(StylingOptions.MenuAlphaBlendValue, 255);
  EXPECT_EQ(StylingMenuImages(), nullptr);
  EXPECT_EQ(StylingOptions.MenuWallpaperIndex, -1);
  EXPECT_EQ(StylingOptions.MenuBackgroundIndex, -1);
  EXPECT_EQ(StylingOptions.MenuBackgroundOverContentIndex, -1);
}

void ChangeAll(TkxCustomImageCollection* images) {
  StylingOptions.ModernArrows = true;
  StylingOptions.RTLMode = true;
  StylingOptions.ScaleFormBorder = false;
  StylingOptions.ScaleStyles = false;
  StylingOptions.ScaleThemes = true;
  StylingOptions.ScaleResources = false;
  StylingOptions.MenuColorSelection = true;
  StylingOptions.MenuHeadersSupport = false;
  StylingOptions.MenuAlphaBlendValue = 200;
  StylingOptions.MenuWallpaperIndex = 1;
  StylingOptions.MenuBackgroundIndex = 2;
  StylingOptions.MenuBackgroundOverContentIndex = 3;
  SetStylingMenuImages(images);
}

}  // namespace

TEST(StylingOptions, InitialValuesAndFullReset) {
  ResetStylingOptions();
  ExpectInitial();
  TkxCustomImageCollection images(nullptr);
  ChangeAll(&images);
  EXPECT_EQ(StylingMenuImages(), &images);
  ResetStylingOptions();
  ExpectInitial();
}

TEST(StylingOptions, DestroyingAStyleManagerResetsOnlyTheMenuOptions) {
  TkxCustomImageCollection images(nullptr);
  ChangeAll(&images);
  ResetMenuStylingOptions();
  EXPECT_EQ(StylingMenuImages(), nullptr);
  EXPECT_EQ(StylingOptions.MenuWallpaperIndex, -1);
  EXPECT_EQ(StylingOptions.MenuBackgroundIndex, -1);
  EXPECT_EQ(StylingOptions.MenuBackgroundOverContentIndex, -1);
  EXPECT_TRUE(StylingOptions.MenuHeadersSupport);
  // The rest keep their last values.
  EXPECT_TRUE(StylingOptions.ModernArrows);
  EXPECT_TRUE(StylingOptions.RTLMode);
  EXPECT_FALSE(StylingOptions.ScaleFormBorder);
  EXPECT_TRUE(StylingOptions.MenuColorSelection);
  EXPECT_EQ(StylingOptions.MenuAlphaBlendValue, 200);
  ResetStylingOptions();
}

TEST(StylingOptions, MenuImagesLetGoOfAFreedCollection) {
  ResetStylingOptions();
  auto* first = new TkxCustomImageCollection(nullptr);
  TkxCustomImageCollection second(nullptr);
  SetStylingMenuImages(first);
  delete first;
  EXPECT_EQ(StylingMenuImages(), nullptr);
  // A replaced collection no longer clears the option when it goes.
  auto* third = new TkxCustomImageCollection(nullptr);
  SetStylingMenuImages(third);
  SetStylingMenuImages(&second);
  delete third;
  EXPECT_EQ(StylingMenuImages(), &second);
  ResetStylingOptions();
}
