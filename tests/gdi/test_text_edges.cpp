// DrawTextW and DrawTextExW at their edges (no text, a count of 0, empty text, measuring placed
// text, DT_TABSTOP with the flags it shares a byte with, the DRAWTEXTPARAMS size) and
// right-aligned (negative) tab stops of the tabbed-text functions.
#include <vector>

#include "tests/gdi/test_text_support.h"

using namespace texttest;

namespace {

constexpr TRect kStart{5, 7, 105, 57};

struct EdgeCase {
  const char* Name;
  const Char* Text;
  int Count;
  UINT Format;
  int Result;    // -1: the line height
  TRect Rect;    // the rectangle afterwards
};

}  // namespace

TEST(DrawTextEdges, NoTextCountZeroAndEmptyText) {
  Canvas c(120, 80);
  const int lh = c.Metrics().tmHeight;
  const EdgeCase cases[] = {
      {"null, count 0", nullptr, 0, DT_CALCRECT, 0, kStart},
      {"null, count -1", nullptr, -1, DT_CALCRECT, 0, kStart},
      {"null, drawing", nullptr, -1, DT_LEFT, 0, kStart},
      {"count 0 measuring", u"text", 0, DT_CALCRECT, -1, kStart},
      {"count 0 drawing", u"text", 0, DT_LEFT, -1, kStart},
      {"empty, several lines", u"", -1, DT_CALCRECT, -1, {5, 7, 5, 7}},
      {"empty, one line", u"", -1, DT_CALCRECT | DT_SINGLELINE, -1, {5, 7, 5, 7 + lh}},
  };
  for (const EdgeCase& e : cases) {
    SCOPED_TRACE(e.Name);
    TRect r = kStart;
    EXPECT_EQ(DrawTextW(c.Dc, e.Text, e.Count, &r, e.Format), e.Result < 0 ? lh : e.Result);
    EXPECT_EQ(r, e.Rect);
  }
  EXPECT_EQ(c.InkCount({0, 0, 120, 80}), 0);
}

TEST(DrawTextEdges, MeasuringPlacedTextAnswersTheOffsetOfItsBottom) {
  Canvas c(120, 80);
  const int lh = c.Metrics().tmHeight;
  struct Case {
    const char* Name;
    UINT Format;
    TRect Start;
    int Result;
  };
  const Case cases[] = {
      {"top", DT_SINGLELINE, {0, 0, 100, 50}, lh},
      {"bottom", DT_SINGLELINE | DT_BOTTOM, {0, 0, 100, 50}, 50},
      {"centred", DT_SINGLELINE | DT_VCENTER, {0, 0, 100, 50}, (50 - lh) / 2 + lh},
      {"bottom of an empty rectangle: 1, not 0", DT_SINGLELINE | DT_BOTTOM, {0, 0, 100, 0}, 1},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.Name);
    TRect measured = k.Start;
    EXPECT_EQ(DrawTextW(c.Dc, u"Caption", -1, &measured, k.Format | DT_CALCRECT), k.Result);
    EXPECT_EQ(measured.Height(), lh);  // the rectangle is the text's, from the top
    TRect drawn = k.Start;
    if (k.Start.Height() > 0) EXPECT_EQ(DrawTextW(c.Dc, u"Caption", -1, &drawn, k.Format), k.Result);
  }
}

TEST(DrawTextEdges, TabStopKeepsTheFlagsItSharesItsByteWith) {
  Canvas c(200, 60);
  const int ave = c.Metrics().tmAveCharWidth;
  const int b = c.Extent(u"b").cx;
  // 4 << 8 is DT_CALCRECT as well: the call measures with a tab length of 4.
  TRect r{0, 0, 0, 0};
  int h = DrawTextW(c.Dc, u"a\tb", -1, &r, DT_EXPANDTABS | DT_TABSTOP | DT_SINGLELINE | (4 << 8));
  EXPECT_EQ(h, c.Metrics().tmHeight);
  EXPECT_EQ(r.Width(), 4 * ave + b);
  EXPECT_EQ(c.InkCount({0, 0, 200, 60}), 0);  // measured, not drawn
  // 8 << 8 is DT_NOPREFIX: the ampersand stays.
  TRect p{0, 0, 0, 0};
  DrawTextW(c.Dc, u"&a", -1, &p, DT_CALCRECT | DT_SINGLELINE | DT_TABSTOP | (8 << 8));
  EXPECT_EQ(p.Width(), c.Extent(u"&a").cx);
  // The high half of the byte (here DT_END_ELLIPSIS) is not taken as flags.
  TRect e{0, 0, 10, 0};
  DrawTextW(c.Dc, u"a long text", -1, &e,
            DT_CALCRECT | DT_SINGLELINE | DT_TABSTOP | DT_END_ELLIPSIS);
  EXPECT_EQ(e.Width(), c.Extent(u"a long text").cx);
}

TEST(DrawTextEdges, DrawTextExChecksTheParameterSize) {
  Canvas c(120, 40);
  const int lh = c.Metrics().tmHeight;
  DRAWTEXTPARAMS p;
  p.cbSize = sizeof(DRAWTEXTPARAMS) + 4;
  p.uiLengthDrawn = 77;
  TRect r = kStart;
  EXPECT_EQ(DrawTextExW(c.Dc, u"text", -1, &r, DT_CALCRECT, &p), 0);
  EXPECT_EQ(p.uiLengthDrawn, 77u);
  EXPECT_EQ(r, kStart);
  // Non-empty text with a count of 0 still answers the height, writing nothing.
  EXPECT_EQ(DrawTextExW(c.Dc, u"text", 0, &r, DT_CALCRECT, &p), lh);
  EXPECT_EQ(p.uiLengthDrawn, 77u);
  p.cbSize = sizeof(DRAWTEXTPARAMS);
  EXPECT_EQ(DrawTextExW(c.Dc, u"text", -1, &r, DT_CALCRECT, &p), lh);
  EXPECT_EQ(p.uiLengthDrawn, 4u);
}

TEST(TabbedTextEdges, NegativeStopsAlignTheTextAfterThemToTheRight) {
  Canvas c(300, 40);
  const int interval = 8 * c.Metrics().tmAveCharWidth;
  const int a = c.Extent(u"a").cx, bb = c.Extent(u"bb").cx, cc = c.Extent(u"c").cx;
  auto extent = [&](const Char* s, int n, const int* tabs) {
    return int(GetTabbedTextExtentW(c.Dc, s, -1, n, tabs) & 0xFFFF);
  };
  struct Case {
    const char* Name;
    const Char* Text;
    std::vector<int> Tabs;
    int Width;
  };
  const Case cases[] = {
      {"one right stop ends the text at it", u"a\tbb", {-100}, 100},
      {"one left stop", u"a\tbb", {100}, 100 + bb},
      {"left then right", u"a\tbb\tc", {40, -150}, 150},
      {"right then left", u"a\tbb\tc", {-60, 150}, 150 + cc},
      {"text wider than the room keeps going", u"a\tbb", {-(a + 1)}, a + bb},
      {"past the last stop: the default interval", u"a\tbb\tc\tc", {40, -150},
       (150 / interval + 1) * interval + cc},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.Name);
    EXPECT_EQ(extent(k.Text, int(k.Tabs.size()), k.Tabs.data()), k.Width);
  }
  EXPECT_EQ(GetTabbedTextExtentW(c.Dc, u"a\tb", 0, 0, nullptr), 0u);

  // Drawing puts the right-aligned piece so that it ends at the stop.
  const int right[1] = {-200};
  TabbedTextOutW(c.Dc, 0, 5, u"\tbb", -1, 1, right, 0);
  TRect ink = c.InkBounds();
  EXPECT_LE(ink.Right, 200);
  EXPECT_GE(ink.Left, 200 - bb);
}
