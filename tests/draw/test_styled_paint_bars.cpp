// Styled painting of track bars, progress bars, backgrounds, status panes, tab sheets, tab
// buttons and popup-menu selections.
#include "PaintTest.h"
#include "TestControls.h"
#include "draw/kxStyledPaintBars.h"

using namespace vcl;
using namespace kx;
using namespace painttest;

class StyledBars : public PaintTest {};

TEST_F(StyledBars, ProgressChunkWidths) {
  const TRect bar(10, 5, 112, 25);  // 100 pixels inside
  EXPECT_EQ(ProgressBarChunkRect(bar, 0, 100, 50), TRect(11, 6, 61, 24));
  EXPECT_EQ(ProgressBarChunkRect(bar, 0, 100, 100), TRect(11, 6, 111, 24));
  EXPECT_EQ(ProgressBarChunkRect(bar, 20, 30, 25), TRect(11, 6, 61, 24));
  EXPECT_EQ(ProgressBarChunkRect(bar, 0, 3, 1).Width(), 33);
  EXPECT_EQ(ProgressBarChunkRect(bar, 0, 8, 1).Width(), 12);  // 12.5 rounds to even
  // Beyond the maximum: full, never past the bar.
  EXPECT_EQ(ProgressBarChunkRect(bar, 0, 100, 250), TRect(11, 6, 111, 24));
  EXPECT_EQ(ProgressBarChunkRect(bar, -5, 5, 2147483647), TRect(11, 6, 111, 24));
  // Nothing at or below the minimum, for an empty range, or for a reversed one.
  EXPECT_TRUE(ProgressBarChunkRect(bar, 0, 100, 0).IsEmpty());
  EXPECT_TRUE(ProgressBarChunkRect(bar, 10, 100, 5).IsEmpty());
  EXPECT_TRUE(ProgressBarChunkRect(bar, 50, 50, 50).IsEmpty());
  EXPECT_TRUE(ProgressBarChunkRect(bar, 50, 10, 60).IsEmpty());
  EXPECT_TRUE(ProgressBarChunkRect(TRect(0, 0, 2, 10), 0, 10, 5).IsEmpty());
}

TEST_F(StyledBars, ProgressBarsDrawBarAndChunk) {
  TCustomStyleServices* s = Use(u"Windows10");
  const TRect bar(4, 4, 104, 20);
  {
    TTarget got(120, 24, kBackdrop), want(120, 24, kBackdrop);
    DrawProgressBar(got.Canvas(), bar, 0, 10, 4, nullptr);
    Element(want, s, GetElementDetails(tpBar), bar);
    Element(want, s, GetElementDetails(tpChunk), TRect(5, 5, 5 + 39, 19));
    EXPECT_TRUE(SameAs(got, want));
  }
  {
    // Past the maximum the chunk stops at the bar's inside.
    TTarget got(120, 24, kBackdrop), want(120, 24, kBackdrop);
    DrawProgressBar(got.Canvas(), bar, 0, 10, 40, nullptr);
    Element(want, s, GetElementDetails(tpBar), bar);
    Element(want, s, GetElementDetails(tpChunk), TRect(5, 5, 103, 19));
    EXPECT_TRUE(SameAs(got, want));
    EXPECT_EQ(PaintedExtent(got), bar);
  }
  {
    // An empty range shows the bar alone.
    TTarget got(120, 24, kBackdrop), want(120, 24, kBackdrop);
    DrawProgressBar(got.Canvas(), bar, 7, 7, 7, nullptr);
    Element(want, s, GetElementDetails(tpBar), bar);
    EXPECT_TRUE(SameAs(got, want));
  }
  UseClassic();
  TTarget t(120, 24, kBackdrop);
  DrawProgressBar(t.Canvas(), bar, 0, 100, 25, nullptr);
  EXPECT_EQ(t.At(4, 10), Opaque(clBtnShadow));
  EXPECT_EQ(t.At(103, 10), Opaque(clBtnShadow));
  EXPECT_EQ(t.At(5, 10), Opaque(clGreen));
  // 98 x 25 % = 24.5, rounded to the even 24: columns 5 to 28.
  EXPECT_EQ(t.At(28, 10), Opaque(clGreen));
  EXPECT_EQ(t.At(29, 10), 0xFFFFFFFFu);
  EXPECT_EQ(t.At(60, 10), 0xFFFFFFFFu);
}

TEST_F(StyledBars, TrackBarsRenderForTheDensityOnlyInCustomStyles) {
  const TRect track(2, 8, 80, 12), thumb(20, 2, 31, 22);
  TCustomStyleServices* sys = Use(u"Windows");
  {
    TTarget got(90, 24, kBackdrop), want(90, 24, kBackdrop);
    DrawTrackBarTrack(got.Canvas(), track, false, nullptr, 2);
    DrawTrackBarThumb(got.Canvas(), thumb, kxsFocused, false, nullptr, 2);
    Element(want, sys, GetElementDetails(ttbTrack), track, 96);
    Element(want, sys, GetElementDetails(ttbThumbHot), thumb, 96);
    EXPECT_TRUE(SameAs(got, want));
  }
  TCustomStyleServices* glow = Use(u"Glow");
  {
    TTarget got(90, 24, kBackdrop), want(90, 24, kBackdrop);
    DrawTrackBarTrack(got.Canvas(), track, true, nullptr, 2);
    DrawTrackBarThumb(got.Canvas(), thumb, kxsPressed, true, nullptr, 2);
    Element(want, glow, GetElementDetails(ttbTrackVert), track, 192);
    Element(want, glow, GetElementDetails(ttbThumbVertPressed), thumb, 192);
    EXPECT_TRUE(SameAs(got, want));
  }
  UseClassic();
  TTarget t(90, 24, kBackdrop), want(90, 24, kBackdrop);
  DrawTrackBarTrack(t.Canvas(), track, false, nullptr, 1);
  DrawTrackBarThumb(t.Canvas(), thumb, kxsPressed, false, nullptr, 1);
  TRect a = track, b = thumb;
  DrawEdge(want.Canvas()->Handle(), &a, EDGE_SUNKEN, BF_RECT);
  DrawFrameControl(want.Canvas()->Handle(), &b, DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_PUSHED);
  EXPECT_TRUE(SameAs(t, want));
}

TEST_F(StyledBars, BackgroundsAndPanes) {
  const TRect r(0, 0, 40, 20);
  TCustomStyleServices* sky = Use(u"Sky");
  struct TCase {
    void (*Paint)(TCanvas*, const TRect&, const TComponent*);
    TThemedElementDetails Details;
  };
  const TCase cases[] = {{&DrawToolBarBackground, GetElementDetails(ttbToolBarRoot)},
                         {&DrawFormBackground, GetElementDetails(twWindowRoot)},
                         {&DrawStatusBarBackground, GetElementDetails(tsStatusRoot)},
                         {&DrawStatusBarPane, GetElementDetails(tsPane)},
                         {&DrawTabSheetBody, GetElementDetails(ttPane)}};
  for (const TCase& c : cases) {
    TTarget got(40, 20, kBackdrop), want(40, 20, kBackdrop);
    c.Paint(got.Canvas(), r, nullptr);
    Element(want, sky, c.Details, r);
    EXPECT_TRUE(SameAs(got, want)) << ElementDetailsName(c.Details);
    EXPECT_GT(Painted(got), 0) << ElementDetailsName(c.Details);
  }
  // The form background follows only custom styles: the system style fills clBtnFace.
  Use(u"Windows");
  TTarget form(40, 20, kBackdrop);
  DrawFormBackground(form.Canvas(), r, nullptr);
  EXPECT_EQ(form.At(20, 10), Opaque(clBtnFace));

  UseClassic();
  TTarget tool(40, 20, kBackdrop), pane(40, 20, kBackdrop), body(40, 20, kBackdrop);
  DrawToolBarBackground(tool.Canvas(), r, nullptr);
  DrawStatusBarPane(pane.Canvas(), r, nullptr);
  DrawTabSheetBody(body.Canvas(), r, nullptr);
  EXPECT_EQ(tool.At(20, 10), Opaque(clBtnFace));
  EXPECT_EQ(pane.At(0, 10), Opaque(clBtnShadow));
  EXPECT_EQ(pane.At(39, 10), Opaque(clBtnHighlight));
  EXPECT_EQ(pane.At(20, 10), kBackdrop);
  EXPECT_EQ(body.At(0, 10), Opaque(clBtnHighlight));
  EXPECT_EQ(body.At(1, 10), Opaque(cl3DLight));
  EXPECT_EQ(body.At(39, 10), Opaque(cl3DDkShadow));
  EXPECT_EQ(body.At(38, 10), Opaque(clBtnShadow));
  EXPECT_EQ(body.At(20, 10), Opaque(clBtnFace));
}

TEST_F(StyledBars, TabButtons) {
  const TRect r(5, 5, 45, 25);
  TCustomStyleServices* s = Use(u"Aqua Light Slate");
  struct TCase {
    TkxsCtrlState State;
    TThemedTab Part;
    int Lower;
  };
  const TCase cases[] = {{kxsNormal, ttTabItemNormal, 0},
                         {kxsHot, ttTabItemHot, 0},
                         {kxsPressed, ttTabItemSelected, 2},
                         {kxsFocused, ttTabItemSelected, 2}};
  for (const TCase& c : cases) {
    TTarget got(50, 32, kBackdrop), want(50, 32, kBackdrop);
    DrawTabButton(got.Canvas(), r, c.State, nullptr);
    Element(want, s, GetElementDetails(c.Part), TRect(5, 5, 45, 25 + c.Lower));
    EXPECT_TRUE(SameAs(got, want)) << c.State;
    EXPECT_EQ(PaintedExtent(got).Bottom, 25 + c.Lower);
  }
  // Disabled: the normal tab at 150 of 255.
  {
    TTarget got(50, 32, kBackdrop), normal(50, 32, kBackdrop);
    DrawTabButton(got.Canvas(), r, kxsDisabled, nullptr);
    Element(normal, s, GetElementDetails(ttTabItemNormal), r);
    const std::uint32_t g = got.At(25, 15), n = normal.At(25, 15);
    for (int shift : {0, 8, 16}) {
      const int want = (drawtest::Chan(n, shift) * 150 + 0x80 * 105 + 127) / 255;
      EXPECT_NEAR(drawtest::Chan(g, shift), want, 1);
    }
  }
  // Windows XP with the system style has no disabled tab.
  Use(u"Windows");
  SetWindowsVersion(5, 1, 2600);
  TTarget xp(50, 32, kBackdrop);
  DrawTabButton(xp.Canvas(), r, kxsDisabled, nullptr);
  EXPECT_EQ(Painted(xp), 0);

  // Classic: unselected tabs start 2 pixels lower; disabled tabs keep their outline.
  UseClassic();
  TTarget sel(50, 32, kBackdrop), unsel(50, 32, kBackdrop), off(50, 32, kBackdrop);
  DrawTabButton(sel.Canvas(), r, kxsPressed, nullptr);
  DrawTabButton(unsel.Canvas(), r, kxsNormal, nullptr);
  DrawTabButton(off.Canvas(), r, kxsDisabled, nullptr);
  EXPECT_EQ(PaintedExtent(sel), r);
  EXPECT_EQ(PaintedExtent(unsel), TRect(5, 7, 45, 25));
  EXPECT_TRUE(SameAs(off, unsel));
  EXPECT_EQ(sel.At(5, 15), Opaque(clBtnHighlight));
  EXPECT_EQ(sel.At(20, 5), Opaque(clBtnHighlight));
  EXPECT_EQ(sel.At(44, 15), Opaque(cl3DDkShadow));
  EXPECT_EQ(sel.At(43, 15), Opaque(clBtnShadow));
  EXPECT_EQ(sel.At(25, 15), Opaque(clBtnFace));
}

TEST_F(StyledBars, PopupItemSelectionAndThePerControlRule) {
  Use(u"Glow");
  drawtest::TGlowControl dark(nullptr);
  dark.SetStyleName(u"Windows10 Dark");
  TCustomStyleServices* w10 = TStyleManager::Style(u"Windows10 Dark");
  TTarget got(40, 20, kBackdrop), want(40, 20, kBackdrop), glow(40, 20, kBackdrop);
  DrawPopupItemSelection(got.Canvas(), TRect(0, 0, 40, 20), &dark);
  Element(want, w10, GetElementDetails(tmPopupItemHot), TRect(0, 0, 40, 20));
  DrawPopupItemSelection(glow.Canvas(), TRect(0, 0, 40, 20), nullptr);
  EXPECT_TRUE(SameAs(got, want));
  EXPECT_FALSE(SameAs(glow, want));

  UseClassic();
  TTarget classic(40, 20, kBackdrop);
  DrawPopupItemSelection(classic.Canvas(), TRect(0, 0, 40, 20), nullptr);
  EXPECT_EQ(classic.At(20, 10), Opaque(clHighlight));
}
