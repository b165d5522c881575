// The classic look: DrawEdge colours and corners, DrawFrameControl shapes and states.
#include "DrawFixture.h"

using namespace kxtest;

namespace {

constexpr std::uint32_t kWhite = 0xFFFFFFFFu;

// Distinct system colours so every pixel tells which role painted it.
class ClassicColours : public ::testing::Test {
 protected:
  void SetUp() override {
    SetSysColor(COLOR_3DLIGHT, RGB(200, 200, 200));
    SetSysColor(COLOR_3DDKSHADOW, RGB(10, 10, 10));
    SetSysColor(COLOR_3DHIGHLIGHT, RGB(250, 250, 250));
    SetSysColor(COLOR_3DSHADOW, RGB(100, 100, 100));
    SetSysColor(COLOR_3DFACE, RGB(150, 150, 150));
    SetSysColor(COLOR_WINDOW, RGB(255, 255, 240));
    SetSysColor(COLOR_WINDOWTEXT, RGB(0, 0, 80));
    SetSysColor(COLOR_WINDOWFRAME, RGB(5, 0, 0));
    SetSysColor(COLOR_BTNTEXT, RGB(0, 70, 0));
  }
  void TearDown() override { ResetSysColors(); }

  static std::uint32_t Sys(int index) { return Px(GetSysColor(index)); }
};

}  // namespace

TEST_F(ClassicColours, DrawEdgeRingsAndCorners) {
  Canvas c(10, 10);
  TRect r(0, 0, 10, 10);
  ASSERT_TRUE(DrawEdge(c.Dc, &r, EDGE_RAISED, BF_RECT));
  EXPECT_EQ(c.At(0, 0), Sys(COLOR_3DLIGHT));
  EXPECT_EQ(c.At(8, 0), Sys(COLOR_3DLIGHT));
  EXPECT_EQ(c.At(0, 8), Sys(COLOR_3DLIGHT));
  EXPECT_EQ(c.At(9, 0), Sys(COLOR_3DDKSHADOW));  // top-right corner: the dark side
  EXPECT_EQ(c.At(0, 9), Sys(COLOR_3DDKSHADOW));  // bottom-left corner too
  EXPECT_EQ(c.At(9, 9), Sys(COLOR_3DDKSHADOW));
  EXPECT_EQ(c.At(1, 1), Sys(COLOR_3DHIGHLIGHT));
  EXPECT_EQ(c.At(7, 1), Sys(COLOR_3DHIGHLIGHT));
  EXPECT_EQ(c.At(8, 1), Sys(COLOR_3DSHADOW));
  EXPECT_EQ(c.At(1, 8), Sys(COLOR_3DSHADOW));
  EXPECT_EQ(c.At(8, 8), Sys(COLOR_3DSHADOW));
  EXPECT_EQ(c.Count(kWhite), 36);

  c.Clear(kWhite);
  DrawEdge(c.Dc, &r, EDGE_SUNKEN, BF_RECT | BF_MIDDLE);
  EXPECT_EQ(c.At(0, 0), Sys(COLOR_3DSHADOW));
  EXPECT_EQ(c.At(9, 0), Sys(COLOR_3DHIGHLIGHT));
  EXPECT_EQ(c.At(9, 9), Sys(COLOR_3DHIGHLIGHT));
  EXPECT_EQ(c.At(1, 1), Sys(COLOR_3DDKSHADOW));
  EXPECT_EQ(c.At(8, 8), Sys(COLOR_3DLIGHT));
  EXPECT_EQ(c.At(5, 5), Sys(COLOR_3DFACE));

  c.Clear(kWhite);
  DrawEdge(c.Dc, &r, EDGE_ETCHED, BF_RECT);
  EXPECT_EQ(c.At(0, 0), Sys(COLOR_3DSHADOW));
  EXPECT_EQ(c.At(1, 1), Sys(COLOR_3DHIGHLIGHT));
  DrawEdge(c.Dc, &r, EDGE_BUMP, BF_RECT);
  EXPECT_EQ(c.At(0, 0), Sys(COLOR_3DLIGHT));
  EXPECT_EQ(c.At(1, 1), Sys(COLOR_3DDKSHADOW));
  DrawEdge(c.Dc, &r, EDGE_RAISED, BF_RECT | BF_SOFT);
  EXPECT_EQ(c.At(0, 0), Sys(COLOR_3DHIGHLIGHT));
  EXPECT_EQ(c.At(1, 1), Sys(COLOR_3DLIGHT));
  EXPECT_EQ(c.At(9, 9), Sys(COLOR_3DDKSHADOW));
  DrawEdge(c.Dc, &r, EDGE_SUNKEN, BF_RECT | BF_SOFT);
  EXPECT_EQ(c.At(0, 0), Sys(COLOR_3DDKSHADOW));
  EXPECT_EQ(c.At(1, 1), Sys(COLOR_3DSHADOW));
  DrawEdge(c.Dc, &r, EDGE_SUNKEN, BF_RECT | BF_FLAT | BF_MIDDLE);
  EXPECT_EQ(c.At(0, 0), Sys(COLOR_3DSHADOW));
  EXPECT_EQ(c.At(9, 9), Sys(COLOR_3DSHADOW));
  EXPECT_EQ(c.At(1, 1), Sys(COLOR_3DFACE));
  DrawEdge(c.Dc, &r, EDGE_RAISED, BF_RECT | BF_MONO | BF_MIDDLE);
  EXPECT_EQ(c.At(9, 0), Sys(COLOR_WINDOWFRAME));
  EXPECT_EQ(c.At(1, 1), Sys(COLOR_WINDOW));
  EXPECT_EQ(c.At(5, 5), Sys(COLOR_WINDOW));
}

TEST_F(ClassicColours, DrawEdgeSidesAndAdjust) {
  Canvas c(12, 12);
  TRect r(1, 1, 11, 11);
  ASSERT_TRUE(DrawEdge(c.Dc, &r, EDGE_RAISED, BF_TOPLEFT | BF_ADJUST));
  EXPECT_EQ(r, TRect(3, 3, 11, 11));
  EXPECT_EQ(c.At(10, 1), Sys(COLOR_3DLIGHT));  // no right side: the top row runs to the end
  EXPECT_EQ(c.At(10, 5), kWhite);
  EXPECT_EQ(c.At(5, 10), kWhite);
  r = {1, 1, 11, 11};
  DrawEdge(c.Dc, &r, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
  EXPECT_EQ(r, TRect(3, 3, 9, 9));
  r = {1, 1, 11, 11};
  DrawEdge(c.Dc, &r, BDR_RAISEDINNER, BF_BOTTOMRIGHT | BF_ADJUST);
  EXPECT_EQ(r, TRect(1, 1, 10, 10));
  EXPECT_EQ(c.At(1, 10), Sys(COLOR_3DSHADOW));
}

TEST_F(ClassicColours, CheckMarkOnlyWhenChecked) {
  Canvas c(40, 30);
  const std::uint32_t text = Sys(COLOR_WINDOWTEXT);
  TRect r(0, 0, 13, 13);
  ASSERT_TRUE(DrawFrameControl(c.Dc, &r, DFC_BUTTON, DFCS_BUTTONCHECK));
  EXPECT_EQ(c.Count(text), 0);
  EXPECT_EQ(c.At(0, 0), Sys(COLOR_3DSHADOW));
  EXPECT_EQ(c.At(1, 1), Sys(COLOR_3DDKSHADOW));
  EXPECT_EQ(c.At(12, 12), Sys(COLOR_3DHIGHLIGHT));
  EXPECT_EQ(c.At(11, 11), Sys(COLOR_3DLIGHT));
  EXPECT_EQ(c.Count(Sys(COLOR_WINDOW)), 81);
  DrawFrameControl(c.Dc, &r, DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_CHECKED);
  // The 7x7 mark of three-pixel columns, centred in the 9x9 inside.
  EXPECT_EQ(c.Count(text), 21);
  EXPECT_EQ(c.Changed(kWhite), TRect(0, 0, 13, 13));
  for (int y : {5, 6, 7}) EXPECT_EQ(c.At(3, y), text);
  for (int y : {3, 4, 5}) EXPECT_EQ(c.At(9, y), text);
  EXPECT_EQ(c.At(5, 9), text);  // the bottom of the V
  EXPECT_EQ(c.At(3, 4), Sys(COLOR_WINDOW));
  // Inactive: a grey mark on the face colour.
  DrawFrameControl(c.Dc, &r, DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_CHECKED | DFCS_INACTIVE);
  EXPECT_EQ(c.Count(text), 0);
  EXPECT_EQ(c.Count(Sys(COLOR_3DSHADOW), {2, 2, 11, 11}), 21);
  EXPECT_EQ(c.At(3, 4), Sys(COLOR_3DFACE));
  // At twice the size the mark doubles and the box is centred in a wider rectangle.
  c.Clear(kWhite);
  TRect big(0, 0, 40, 26);
  DrawFrameControl(c.Dc, &big, DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_CHECKED);
  EXPECT_EQ(c.Changed(kWhite), TRect(7, 0, 33, 26));
  EXPECT_EQ(c.Count(text), 14 * 6);
  c.Clear(kWhite);
  DrawFrameControl(c.Dc, &big, DFC_BUTTON, DFCS_BUTTONCHECK);
  EXPECT_EQ(c.Count(text), 0);
}

TEST_F(ClassicColours, RadioButtonIsRoundWithADotWhenChecked) {
  Canvas c(12, 12);
  TRect r(0, 0, 12, 12);
  ASSERT_TRUE(DrawFrameControl(c.Dc, &r, DFC_BUTTON, DFCS_BUTTONRADIO));
  const std::uint32_t text = Sys(COLOR_WINDOWTEXT);
  EXPECT_EQ(c.Count(text), 0);
  EXPECT_EQ(c.At(0, 0), kWhite);
  EXPECT_EQ(c.At(11, 11), kWhite);
  EXPECT_EQ(c.At(4, 0), Sys(COLOR_3DSHADOW));
  EXPECT_EQ(c.At(0, 5), Sys(COLOR_3DSHADOW));
  EXPECT_EQ(c.At(11, 6), Sys(COLOR_3DHIGHLIGHT));
  EXPECT_EQ(c.At(6, 11), Sys(COLOR_3DHIGHLIGHT));
  EXPECT_EQ(c.At(1, 5), Sys(COLOR_3DDKSHADOW));
  EXPECT_EQ(c.At(10, 6), Sys(COLOR_3DLIGHT));
  EXPECT_TRUE(c.Symmetric(r, [](std::uint32_t v) { return v != kWhite; }));
  DrawFrameControl(c.Dc, &r, DFC_BUTTON, DFCS_BUTTONRADIO | DFCS_CHECKED);
  EXPECT_EQ(c.Count(text), 12);  // a 4x4 dot without its corners
  EXPECT_EQ(c.At(5, 4), text);
  EXPECT_EQ(c.At(4, 4), Sys(COLOR_WINDOW));
  EXPECT_TRUE(c.Symmetric(r, [&](std::uint32_t v) { return v == text; }));
  // Pushed: the inside takes the face colour.
  DrawFrameControl(c.Dc, &r, DFC_BUTTON, DFCS_BUTTONRADIO | DFCS_PUSHED);
  EXPECT_EQ(c.At(5, 5), Sys(COLOR_3DFACE));
  EXPECT_EQ(c.Count(text), 0);
}

TEST_F(ClassicColours, PushButtonStates) {
  Canvas c(30, 20);
  TRect r(0, 0, 30, 20);
  ASSERT_TRUE(DrawFrameControl(c.Dc, &r, DFC_BUTTON, DFCS_BUTTONPUSH));
  EXPECT_EQ(c.At(0, 0), Sys(COLOR_3DHIGHLIGHT));
  EXPECT_EQ(c.At(1, 1), Sys(COLOR_3DLIGHT));
  EXPECT_EQ(c.At(29, 19), Sys(COLOR_3DDKSHADOW));
  EXPECT_EQ(c.At(28, 18), Sys(COLOR_3DSHADOW));
  EXPECT_EQ(c.At(15, 10), Sys(COLOR_3DFACE));
  DrawFrameControl(c.Dc, &r, DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_PUSHED);
  EXPECT_EQ(c.At(0, 0), Sys(COLOR_3DDKSHADOW));
  EXPECT_EQ(c.At(1, 1), Sys(COLOR_3DSHADOW));
  EXPECT_EQ(c.At(29, 19), Sys(COLOR_3DHIGHLIGHT));
  // A latched (checked) button shows a checkerboard face.
  DrawFrameControl(c.Dc, &r, DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_CHECKED);
  EXPECT_NE(c.At(15, 10), c.At(16, 10));
  EXPECT_EQ(c.At(15, 10), c.At(16, 11));
  EXPECT_EQ(c.Count(Sys(COLOR_3DHIGHLIGHT), {2, 2, 28, 18}), 26 * 16 / 2);
  TRect adj = r;
  DrawFrameControl(c.Dc, &adj, DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_ADJUSTRECT);
  EXPECT_EQ(adj, TRect(2, 2, 28, 18));
  c.Clear(kWhite);
  DrawFrameControl(c.Dc, &r, DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_TRANSPARENT);
  EXPECT_EQ(c.At(15, 10), kWhite);
}

TEST_F(ClassicColours, ScrollArrowsAreCentredAndFollowTheirState) {
  Canvas c(17, 17);
  TRect r(0, 0, 17, 17);
  const std::uint32_t text = Sys(COLOR_BTNTEXT);
  ASSERT_TRUE(DrawFrameControl(c.Dc, &r, DFC_SCROLL, DFCS_SCROLLUP));
  EXPECT_EQ(c.Count(text), 1 + 3 + 5 + 7);
  TRect glyph{};
  for (int y = 0; y < 17; ++y)
    for (int x = 0; x < 17; ++x)
      if (c.At(x, y) == text) glyph = TRect::Union(glyph, {x, y, x + 1, y + 1});
  EXPECT_EQ(glyph, TRect(5, 6, 12, 10));
  EXPECT_EQ(c.At(8, 6), text);  // the apex on top
  EXPECT_EQ(c.At(7, 6), Sys(COLOR_3DFACE));
  EXPECT_EQ(c.At(0, 0), Sys(COLOR_3DLIGHT));
  DrawFrameControl(c.Dc, &r, DFC_SCROLL, DFCS_SCROLLDOWN);
  EXPECT_EQ(c.At(8, 9), text);
  EXPECT_EQ(c.At(7, 9), Sys(COLOR_3DFACE));
  DrawFrameControl(c.Dc, &r, DFC_SCROLL, DFCS_SCROLLLEFT);
  EXPECT_EQ(c.At(6, 8), text);
  EXPECT_EQ(c.At(6, 7), Sys(COLOR_3DFACE));
  EXPECT_EQ(c.Count(text), 16);
  // Pushed: flat frame, glyph one pixel down and right.
  DrawFrameControl(c.Dc, &r, DFC_SCROLL, DFCS_SCROLLUP | DFCS_PUSHED);
  EXPECT_EQ(c.At(9, 7), text);
  EXPECT_EQ(c.At(0, 0), Sys(COLOR_3DSHADOW));
  EXPECT_EQ(c.At(16, 16), Sys(COLOR_3DSHADOW));
  // Inactive: embossed, no text colour.
  DrawFrameControl(c.Dc, &r, DFC_SCROLL, DFCS_SCROLLUP | DFCS_INACTIVE);
  EXPECT_EQ(c.Count(text), 0);
  EXPECT_EQ(c.At(8, 6), Sys(COLOR_3DSHADOW));
  EXPECT_EQ(c.At(9, 7), Sys(COLOR_3DSHADOW));
  EXPECT_EQ(c.At(12, 10), Sys(COLOR_3DHIGHLIGHT));
}

TEST_F(ClassicColours, CaptionAndMenuGlyphs) {
  Canvas c(32, 28);
  const std::uint32_t text = Sys(COLOR_BTNTEXT);
  for (TRect r : {TRect(0, 0, 16, 14), TRect(0, 0, 32, 28)}) {
    c.Clear(kWhite);
    ASSERT_TRUE(DrawFrameControl(c.Dc, &r, DFC_CAPTION, DFCS_CAPTIONCLOSE));
    TRect g{};
    for (int y = 0; y < r.Bottom; ++y)
      for (int x = 0; x < r.Right; ++x)
        if (c.At(x, y) == text) g = TRect::Union(g, {x, y, x + 1, y + 1});
    // 45-degree strokes 2 pixels wide per 14 pixels of height.
    int k = r.Width() / 16;
    EXPECT_EQ(g.Height(), 7 * k);
    EXPECT_EQ(g.Width(), 7 * k + 2 * k - 1);
    EXPECT_TRUE(c.Symmetric(g, [&](std::uint32_t v) { return v == text; }));
    EXPECT_EQ(c.At(g.Left, g.Top), text);
    EXPECT_EQ(c.At(g.Right - 1, g.Bottom - 1), text);
    EXPECT_EQ(c.At(g.Left + g.Width() / 2, g.Top), Sys(COLOR_3DFACE));
  }
  for (UINT kind : {DFCS_CAPTIONMIN, DFCS_CAPTIONMAX, DFCS_CAPTIONRESTORE, DFCS_CAPTIONHELP}) {
    c.Clear(kWhite);
    TRect r(0, 0, 16, 14);
    ASSERT_TRUE(DrawFrameControl(c.Dc, &r, DFC_CAPTION, kind));
    EXPECT_GT(c.Count(text), 5) << kind;
  }
  // Menu glyphs are black on white.
  c.Clear(Px(RGB(1, 2, 3)));
  TRect m(0, 0, 16, 16);
  ASSERT_TRUE(DrawFrameControl(c.Dc, &m, DFC_MENU, DFCS_MENUCHECK));
  EXPECT_EQ(c.Count(0xFF000000u), 21);
  EXPECT_EQ(c.Count(kWhite), 256 - 21);
  DrawFrameControl(c.Dc, &m, DFC_MENU, DFCS_MENUARROW);
  EXPECT_EQ(c.Count(0xFF000000u), 16);
  c.Clear(Px(RGB(1, 2, 3)));
  DrawFrameControl(c.Dc, &m, DFC_MENU, DFCS_MENUBULLET | DFCS_TRANSPARENT);
  EXPECT_EQ(c.Count(kWhite), 0);
  EXPECT_GT(c.Count(0xFF000000u), 20);
  EXPECT_FALSE(DrawFrameControl(c.Dc, &m, 99, 0));
}
