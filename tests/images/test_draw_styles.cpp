// The rectangles each draw style and each slicing issues, recorded through the drawing
// interface: placements, tiling counts and overlaps, three- and nine-slice cells, clips.
#include <cmath>
#include <string>
#include <vector>

#include "ImagesTest.h"
#include "host/classes/TypInfo.h"
#include "images/kxGPImageCollection.h"

using namespace imgtest;

namespace {

using Rects = std::vector<std::string>;

// A collection with one item holding a PNG of the given size and transparency.
struct TOneImage {
  TkxGPImageCollection C{nullptr};
  TkxGPImageCollectionItem* Item;
  TRecorder Rec;
  TOneImage(int w, int h, bool opaque = false) {
    Item = C.Images()->Add();
    Item->SetPngImage(SolidPng(w, h, opaque ? 0xFF336699u : 0x80336699u).get());
  }
  const Rects& Draw(const TRect& r, double scale = 1) {
    Rec.Clear();
    C.DrawToTarget(Rec, r, 0, scale);
    return Rec.Dests;
  }
  const std::vector<std::string>& Ops(const TRect& r, double scale = 1) {
    Draw(r, scale);
    return Rec.Ops;
  }
};

// "(x,y,w,h)" for every combination of the xs and ys, xs outermost.
Rects Grid(const std::vector<int>& xs, const std::vector<int>& ys, int w, int h) {
  Rects out;
  for (int x : xs)
    for (int y : ys)
      out.push_back(Str({float(x), float(y), float(w), float(h)}));
  return out;
}
std::string R(float x, float y, float w, float h) { return Str({x, y, w, h}); }

}  // namespace

// A 20 x 10 image into (5, 7)-(68, 52): Wr = 63, Hr = 45. The centres are round(26.5) = 26 and
// round(24.5) = 24 (halves to even); 63 div 20 = 3 extra columns, 45 div 10 = 4 extra rows.
TEST(DrawStyles, EveryStylePlacesItsRectangles) {
  TOneImage t(20, 10);
  const TRect dest(5, 7, 68, 52);
  const std::vector<int> cols{5, 25, 45, 65}, rows{7, 17, 27, 37, 47};
  struct Case {
    TkxImageDrawStyle Style;
    Rects Want;
  } cases[] = {
      {idsTile, Grid(cols, rows, 20, 10)},
      {idsStretch, {R(5, 7, 63, 45)}},
      {idsCenter, {R(26, 24, 20, 10)}},
      {idsTopLeft, {R(5, 7, 20, 10)}},
      {idsTopRight, {R(48, 7, 20, 10)}},
      {idsBottomLeft, {R(5, 42, 20, 10)}},
      {idsBottomRight, {R(48, 42, 20, 10)}},
      {idsTopTile, Grid(cols, {7}, 20, 10)},
      {idsLeftTile, Grid({5}, rows, 20, 10)},
      {idsRightTile, Grid({48}, rows, 20, 10)},
      {idsBottomTile, Grid(cols, {42}, 20, 10)},
      {idsTopStretch, {R(5, 7, 63, 10)}},
      {idsLeftStretch, {R(5, 7, 20, 45)}},
      {idsRightStretch, {R(48, 7, 20, 45)}},
      {idsBottomStretch, {R(5, 42, 63, 10)}},
      {idsHorzStretchTile, Grid(cols, {7}, 20, 45)},
      {idsVertStretchTile, Grid({5}, rows, 63, 10)},
      {idsHorzCenterStretch, {R(5, 24, 63, 10)}},
      {idsVertCenterStretch, {R(26, 7, 20, 45)}},
      {idsLeftCenter, {R(5, 24, 20, 10)}},
      {idsTopCenter, {R(26, 7, 20, 10)}},
      {idsRightCenter, {R(48, 24, 20, 10)}},
      {idsBottomCenter, {R(26, 42, 20, 10)}},
      {idsHorzCenterTile, Grid(cols, {24}, 20, 10)},
      {idsVertCenterTile, Grid({26}, rows, 20, 10)},
  };
  ASSERT_EQ(std::size(cases), size_t(kxImageDrawStyleCount));
  for (const Case& c : cases) {
    SCOPED_TRACE(StringToUtf8(EnumName(c.Style)));
    t.Item->SetDrawStyle(c.Style);
    EXPECT_EQ(t.Draw(dest), c.Want);
  }
  // Every draw takes the whole image.
  t.Item->SetDrawStyle(idsCenter);
  EXPECT_EQ(t.Ops(dest), (Rects{"draw " + R(26, 24, 20, 10) + " <- " + R(0, 0, 20, 10)}));
}

TEST(DrawStyles, ProportionalStretchesKeepTheAspectRatio) {
  TOneImage wide(20, 10);
  wide.Item->SetProportional(true);
  const TRect dest(5, 7, 68, 52);
  struct Case {
    TkxImageDrawStyle Style;
    Rects Want;
  } cases[] = {
      // Fitted: 63 wide, trunc(63 * 10 / 20) = 31 high, centred.
      {idsStretch, {R(5, 14, 63, 31)}},
      {idsTopStretch, {R(5, 7, 63, 31)}},
      {idsBottomStretch, {R(5, 21, 63, 31)}},
      {idsHorzCenterStretch, {R(5, 14, 63, 31)}},
      // trunc(20 * 45 / 10) = 90 wide; round(5 + 31.5 - 45) = round(-8.5) = -8.
      {idsLeftStretch, {R(5, 7, 90, 45)}},
      {idsRightStretch, {R(-22, 7, 90, 45)}},
      {idsVertCenterStretch, {R(-8, 7, 90, 45)}},
      // Styles that do not stretch ignore the flag.
      {idsCenter, {R(26, 24, 20, 10)}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(StringToUtf8(EnumName(c.Style)));
    wide.Item->SetDrawStyle(c.Style);
    EXPECT_EQ(wide.Draw(dest), c.Want);
  }
  TOneImage tall(10, 20);
  tall.Item->SetProportional(true);
  tall.Item->SetDrawStyle(idsStretch);
  // Full height, trunc(45 * 10 / 20) = 22 wide, at round(25.5) = 26.
  EXPECT_EQ(tall.Draw(dest), (Rects{R(26, 7, 22, 45)}));
  // Too wide for a 15-pixel destination: 15 wide, trunc(15 * 20 / 10) = 30 high.
  EXPECT_EQ(tall.Draw(TRect(5, 7, 20, 52)), (Rects{R(5, 14, 15, 30)}));
}

TEST(DrawStyles, VirtualSizeAndScaleSetTheDrawnSize) {
  // The caption wallpaper: a 233 x 50 picture shown as 110 x 24.
  TOneImage t(233, 50);
  t.Item->SetVirtualWidth(110);
  t.Item->SetVirtualHeight(24);
  t.Item->SetDrawStyle(idsTopTile);
  EXPECT_EQ(t.Draw(TRect(0, 0, 250, 30)), (Rects{R(0, 0, 110, 24), R(110, 0, 110, 24), R(220, 0, 110, 24)}));
  EXPECT_EQ(t.Draw(TRect(0, 0, 250, 40), 1.5), (Rects{R(0, 0, 165, 36), R(165, 0, 165, 36)}));
  // Not scaled: the unscaled size at any factor.
  t.Item->SetScaled(false);
  EXPECT_EQ(t.Draw(TRect(0, 0, 100, 40), 2), (Rects{R(0, 0, 110, 24)}));
}

TEST(DrawStyles, TileRowsOverhangAndOpaqueTilesOverlap) {
  // W = 100 into 250: tiles at X, X + 100, X + 200, the last overhanging by 50.
  TOneImage t(100, 20);
  t.Item->SetDrawStyle(idsTopTile);
  EXPECT_EQ(t.Draw(TRect(10, 0, 260, 20)), (Rects{R(10, 0, 100, 20), R(110, 0, 100, 20), R(210, 0, 100, 20)}));

  // Opaque tiles at scale 2 are drawn round(64 / 32) = 2 pixels wider and higher than the step.
  TOneImage opaque(32, 16, true);
  opaque.Item->SetDrawStyle(idsTile);
  EXPECT_EQ(opaque.Draw(TRect(0, 0, 100, 40), 2), Grid({0, 64}, {0, 32}, 66, 34));
  // A picture with partial alpha tiles exactly at the step.
  TOneImage alpha(32, 16);
  alpha.Item->SetDrawStyle(idsTile);
  EXPECT_EQ(alpha.Draw(TRect(0, 0, 100, 40), 2), Grid({0, 64}, {0, 32}, 64, 32));
  // Single placements never overlap.
  opaque.Item->SetDrawStyle(idsCenter);
  EXPECT_EQ(opaque.Draw(TRect(0, 0, 100, 40), 2), (Rects{R(18, 4, 64, 32)}));
}

TEST(DrawStyles, TileOffsetsShiftTheGridAndAZeroStepDrawsNothing) {
  TOneImage t(20, 10);
  t.Item->SetDrawStyle(idsTile);
  t.Item->SetTileOffsetX(3);
  t.Item->SetTileOffsetY(-2);
  // Steps 23 and 8: 63 div 23 = 2 extra columns, 45 div 8 = 5 extra rows.
  EXPECT_EQ(t.Draw(TRect(5, 7, 68, 52)), Grid({8, 28, 48}, {5, 15, 25, 35, 45, 55}, 20, 10));
  // Offsets scale: at 1.5, ox = round(4.5) = 4, step round(4.5 + 30) = 34 (halves to even).
  t.Item->SetTileOffsetY(0);
  t.Item->SetDrawStyle(idsTopTile);
  EXPECT_EQ(t.Draw(TRect(0, 0, 70, 15), 1.5), (Rects{R(4, 0, 30, 15), R(34, 0, 30, 15), R(64, 0, 30, 15)}));

  // An offset that cancels the image size (step 0) or exceeds it (negative step) tiles
  // nothing, in every tiling style; the single placements still draw.
  for (int offset : {-20, -25}) {
    t.Item->SetTileOffsetX(offset);
    t.Item->SetTileOffsetY(-10);
    for (TkxImageDrawStyle s : {idsTile, idsTopTile, idsBottomTile, idsHorzStretchTile, idsHorzCenterTile,
                                idsLeftTile, idsRightTile, idsVertStretchTile, idsVertCenterTile}) {
      t.Item->SetDrawStyle(s);
      EXPECT_TRUE(t.Draw(TRect(0, 0, 63, 45)).empty()) << StringToUtf8(EnumName(s)) << " " << offset;
    }
    t.Item->SetDrawStyle(idsTopLeft);
    EXPECT_EQ(t.Draw(TRect(0, 0, 63, 45)).size(), 1u);
  }
  // A scale so small that the tile rounds to 0 pixels.
  t.Item->SetTileOffsetX(0);
  t.Item->SetTileOffsetY(0);
  t.Item->SetDrawStyle(idsTile);
  EXPECT_TRUE(t.Draw(TRect(0, 0, 63, 45), 0.01).empty());
  // Nonsense factors and empty destinations draw nothing and raise nothing.
  for (double bad : {-1.0, 0.0, std::nan(""), 1e300}) EXPECT_TRUE(t.Draw(TRect(0, 0, 63, 45), bad).empty()) << bad;
  EXPECT_TRUE(t.Draw(TRect(10, 10, 5, 40)).empty());
}

TEST(DrawStyles, MarginsThatAreNoPairLeaveItToTheStyle) {
  TOneImage t(20, 10);
  t.Item->SetDrawStyle(idsCenter);
  t.Item->Options()->SetLeftMargin(10);  // right margin 0: no slice pair
  t.Item->Options()->SetTopMargin(3);    // bottom margin 0
  EXPECT_EQ(t.Ops(TRect(5, 7, 68, 52)), (Rects{"draw " + R(26, 24, 20, 10) + " <- " + R(0, 0, 20, 10)}));
}

// A 30 x 12 picture with margins 8 and 6 at the sides: left cell, right cell, middle.
TEST(DrawStyles, ThreeSlicesSideBySidePlacedByTheStyle) {
  TOneImage t(30, 12);
  TkxGPBitmapOptions* o = t.Item->Options();
  o->SetLeftMargin(8);
  o->SetRightMargin(6);
  o->SetTopMargin(4);  // bottom 0: the rows play no part
  t.Item->SetDrawStyle(idsBottomTile);
  const TRect dest(0, 0, 100, 40);
  EXPECT_EQ(t.Ops(dest), (Rects{"draw " + R(0, 28, 8, 12) + " <- " + R(0, 0, 8, 12),
                                "draw " + R(94, 28, 6, 12) + " <- " + R(24, 0, 6, 12),
                                "draw " + R(8, 28, 86, 12) + " <- " + R(8, 0, 16, 12)}));
  t.Item->SetDrawStyle(idsTopStretch);
  EXPECT_EQ(t.Draw(dest)[0], R(0, 0, 8, 12));
  // Centred: round(0 + (40 div 2) - 6) = 14.
  t.Item->SetDrawStyle(idsCenter);
  EXPECT_EQ(t.Draw(dest)[0], R(0, 14, 8, 12));
  // Any other style keeps the whole destination.
  t.Item->SetDrawStyle(idsLeftTile);
  EXPECT_EQ(t.Draw(dest)[0], R(0, 0, 8, 40));

  // A tiled middle: round(86 / 16) + 1 = 6 tiles 16 wide and the whole height, clipped.
  o->SetStretch(false);
  t.Item->SetDrawStyle(idsBottomTile);
  const auto& ops = t.Ops(dest);
  ASSERT_EQ(ops.size(), 2u + 1 + 6 + 1);
  EXPECT_EQ(ops[2], "clip " + R(8, 28, 86, 12));
  for (int k = 0; k < 6; ++k) EXPECT_EQ(ops[3 + k], "draw " + R(8 + 16.f * k, 28, 16, 12) + " <- " + R(8, 0, 16, 12));
  EXPECT_EQ(ops.back(), "reset");

  // Narrower than the left margin: the left cell clipped to the destination, the right one
  // clipped to start after the left margin (nothing left of it), no middle.
  o->SetStretch(true);
  EXPECT_EQ(t.Ops(TRect(0, 0, 5, 40)), (Rects{"clip " + R(0, 28, 5, 12), "draw " + R(0, 28, 8, 12) + " <- " + R(0, 0, 8, 12), "reset"}));
  // Between l and l + r: the right cell starts at X + l.
  EXPECT_EQ(t.Ops(TRect(0, 0, 11, 40)),
            (Rects{"draw " + R(0, 28, 8, 12) + " <- " + R(0, 0, 8, 12), "clip " + R(8, 28, 3, 12),
                   "draw " + R(5, 28, 6, 12) + " <- " + R(24, 0, 6, 12), "reset"}));
}

TEST(DrawStyles, ThreeSlicesStacked) {
  TOneImage t(12, 30);
  TkxGPBitmapOptions* o = t.Item->Options();
  o->SetTopMargin(8);
  o->SetBottomMargin(6);
  t.Item->SetDrawStyle(idsRightStretch);
  EXPECT_EQ(t.Ops(TRect(0, 0, 40, 100)), (Rects{"draw " + R(28, 0, 12, 8) + " <- " + R(0, 0, 12, 8),
                                                "draw " + R(28, 94, 12, 6) + " <- " + R(0, 24, 12, 6),
                                                "draw " + R(28, 8, 12, 86) + " <- " + R(0, 8, 12, 16)}));
  t.Item->SetDrawStyle(idsVertCenterStretch);
  EXPECT_EQ(t.Draw(TRect(0, 0, 40, 100))[0], R(14, 0, 12, 8));
  // Tiled vertically: tiles 16 high and the whole width.
  o->SetStretch(false);
  t.Item->SetDrawStyle(idsTopLeft);
  const auto& ops = t.Ops(TRect(0, 0, 40, 100));
  EXPECT_EQ(ops[2], "clip " + R(0, 8, 12, 86));
  EXPECT_EQ(ops[3], "draw " + R(0, 8, 12, 16) + " <- " + R(0, 8, 12, 16));
  EXPECT_EQ(ops.size(), 2u + 1 + 6 + 1);
}

// A 40 x 20 picture with a logical size of 80 x 40 (ratios 2), margins 5, 3, 7, 4 at scale
// 1.5: l = round(round(7.5) * 2) = 16, t = round(round(4.5) * 2) = 8, r = round(round(10.5) * 2)
// = 20, b = 12. Destination (10, 10, 200, 100): columns 10, 26, 190, 210; rows 10, 18, 98, 110.
TEST(DrawStyles, NineSlicesWithVirtualSizeAndScale) {
  TOneImage t(40, 20);
  t.Item->SetVirtualWidth(80);
  t.Item->SetVirtualHeight(40);
  TkxGPBitmapOptions* o = t.Item->Options();
  o->SetLeftMargin(5);
  o->SetTopMargin(3);
  o->SetRightMargin(7);
  o->SetBottomMargin(4);
  const TRect dest = TRect::FromSize(10, 10, 200, 100);
  auto draw = [](const std::string& d, const std::string& s) { return "draw " + d + " <- " + s; };
  Rects want{
      draw(R(10, 10, 16, 8), R(0, 0, 5, 3)),     draw(R(190, 10, 20, 8), R(33, 0, 7, 3)),
      draw(R(10, 98, 16, 12), R(0, 16, 5, 4)),   draw(R(190, 98, 20, 12), R(33, 16, 7, 4)),
      // Edges tiled: round(1.5 * 28 * 2) = 84 along the top and bottom, round(164 / 84) + 1 = 3.
      "clip " + R(26, 10, 164, 8),               draw(R(26, 10, 84, 8), R(5, 0, 28, 3)),
      draw(R(110, 10, 84, 8), R(5, 0, 28, 3)),   draw(R(194, 10, 84, 8), R(5, 0, 28, 3)),
      "reset",
      "clip " + R(26, 98, 164, 12),              draw(R(26, 98, 84, 12), R(5, 16, 28, 4)),
      draw(R(110, 98, 84, 12), R(5, 16, 28, 4)), draw(R(194, 98, 84, 12), R(5, 16, 28, 4)),
      "reset",
      // round(1.5 * 13 * 2) = 39 down the sides, round(80 / 39) + 1 = 3.
      "clip " + R(10, 18, 16, 80),               draw(R(10, 18, 16, 39), R(0, 3, 5, 13)),
      draw(R(10, 57, 16, 39), R(0, 3, 5, 13)),   draw(R(10, 96, 16, 39), R(0, 3, 5, 13)),
      "reset",
      "clip " + R(190, 18, 20, 80),              draw(R(190, 18, 20, 39), R(33, 3, 7, 13)),
      draw(R(190, 57, 20, 39), R(33, 3, 7, 13)), draw(R(190, 96, 20, 39), R(33, 3, 7, 13)),
      "reset",
      draw(R(26, 18, 164, 80), R(5, 3, 28, 13)),
  };
  EXPECT_EQ(t.Ops(dest, 1.5), want);
  // Whatever the draw style: slicing fills the destination.
  t.Item->SetDrawStyle(idsBottomRight);
  EXPECT_EQ(t.Ops(dest, 1.5), want);

  // Stretched borders: one draw per edge.
  o->SetStretchBorder(true);
  Rects stretched{want[0], want[1], want[2], want[3],
                  draw(R(26, 10, 164, 8), R(5, 0, 28, 3)),   draw(R(26, 98, 164, 12), R(5, 16, 28, 4)),
                  draw(R(10, 18, 16, 80), R(0, 3, 5, 13)),   draw(R(190, 18, 20, 80), R(33, 3, 7, 13)),
                  want.back()};
  EXPECT_EQ(t.Ops(dest, 1.5), stretched);

  // A tiled centre: 84 x 39 tiles, 3 columns of 3 rows, columns outermost.
  o->SetStretch(false);
  const auto& ops = t.Ops(dest, 1.5);
  Rects centre(ops.begin() + 8, ops.end());
  Rects wantCentre{"clip " + R(26, 18, 164, 80)};
  for (int x : {26, 110, 194})
    for (int y : {18, 57, 96}) wantCentre.push_back(draw(R(float(x), float(y), 84, 39), R(5, 3, 28, 13)));
  wantCentre.push_back("reset");
  EXPECT_EQ(centre, wantCentre);
}

TEST(DrawStyles, NineSlicesInNarrowDestinationsAndPartialDrawing) {
  TOneImage t(30, 30);
  TkxGPBitmapOptions* o = t.Item->Options();
  o->SetLeftMargin(10);
  o->SetTopMargin(10);
  o->SetRightMargin(10);
  o->SetBottomMargin(10);
  o->SetStretchBorder(true);
  auto draw = [](const std::string& d, const std::string& s) { return "draw " + d + " <- " + s; };
  // 15 wide (less than l + r = 20): the right corners start at X + l and are clipped; no top
  // or bottom edge and no centre, whose widths are not positive; the side edges remain.
  EXPECT_EQ(t.Ops(TRect(0, 0, 15, 40)),
            (Rects{draw(R(0, 0, 10, 10), R(0, 0, 10, 10)),
                   "clip " + R(10, 0, 5, 10), draw(R(5, 0, 10, 10), R(20, 0, 10, 10)), "reset",
                   draw(R(0, 30, 10, 10), R(0, 20, 10, 10)),
                   "clip " + R(10, 30, 5, 10), draw(R(5, 30, 10, 10), R(20, 20, 10, 10)), "reset",
                   draw(R(0, 10, 10, 20), R(0, 10, 10, 10)),
                   "clip " + R(10, 10, 5, 20), draw(R(5, 10, 10, 20), R(20, 10, 10, 10)), "reset"}));
  // Narrower than the left margin and lower than the top one: the top-left corner is cut back
  // to the destination, the others show nothing.
  EXPECT_EQ(t.Ops(TRect(0, 0, 6, 8)),
            (Rects{"clip " + R(0, 0, 6, 8), draw(R(0, 0, 10, 10), R(0, 0, 10, 10)), "reset"}));

  // Only the centre, stretched over the whole destination.
  o->SetDrawOnlyClient(true);
  EXPECT_EQ(t.Ops(TRect(0, 0, 100, 50)), (Rects{draw(R(0, 0, 100, 50), R(10, 10, 10, 10))}));
  // Only the border: corners and edges, the centre left untouched.
  o->SetDrawOnlyClient(false);
  o->SetDrawOnlyBorder(true);
  const auto& ops = t.Ops(TRect(0, 0, 100, 50));
  EXPECT_EQ(ops.size(), 8u);
  for (const std::string& op : ops) EXPECT_EQ(op.find("<- " + R(10, 10, 10, 10)), std::string::npos) << op;

  // Margins that use up the whole picture leave nothing to tile: the tiles would be 0 long.
  o->SetDrawOnlyBorder(false);
  o->SetStretchBorder(false);
  o->SetStretch(false);
  o->SetLeftMargin(15);
  o->SetRightMargin(15);
  // Corners, then the side edges in round(30 / 10) + 1 = 4 tiles each; no top, bottom or centre.
  const auto& noMiddle = t.Ops(TRect(0, 0, 100, 50));
  EXPECT_EQ(noMiddle.size(), 4u + 2 * (1 + 4 + 1));
  for (const std::string& op : noMiddle) {
    size_t at = op.find("<- (");
    if (at == std::string::npos) continue;
    // Nothing from the empty middle column: every source is at least a pixel wide.
    std::string src = op.substr(at + 4);
    size_t w1 = src.find(',', src.find(',') + 1) + 1;
    EXPECT_NE(src.substr(w1, 2), "0,") << op;
  }
  // Margins beyond the picture are kept inside it.
  o->SetLeftMargin(50);
  for (const std::string& op : t.Ops(TRect(0, 0, 100, 50))) {
    size_t at = op.find("<- (");
    if (at == std::string::npos) continue;
    EXPECT_EQ(op.find('-', at + 3), std::string::npos) << op;
  }
}
