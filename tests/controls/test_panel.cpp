// The panel: backgrounds per style kind, borders and client insets, wallpapers and custom
// images, the caption, transparency over the parent and a stored paint buffer for
// transparent children.
#include "ControlsTest.h"
#include "controls/kxPanels.h"
#include "draw/kxStyledPaintBars.h"
#include "draw/kxStyledPaintBorders.h"
#include "draw/kxStyledPaintText.h"
#include "host/platform/headless/HeadlessBackend.h"
#include "host/themes/StyleManager.h"
#include "host/vcl/Forms.h"
#include "images/kxImageCollection.h"

namespace ctltest {
namespace {

constexpr std::uint32_t kFill = 0xC81E1E, kLight = 0x10F010, kShadow = 0x1010F0;

TColor Col(std::uint32_t rgb) { return TColor(RGB(BYTE(rgb >> 16), BYTE(rgb >> 8), BYTE(rgb))); }
std::uint32_t Rgb(TColor c) {
  COLORREF r = ColorToRGB(c);
  return (std::uint32_t(GetRValue(r)) << 16) | (GetGValue(r) << 8) | GetBValue(r);
}

// A panel whose every paint and content rectangle is noted.
class TTestPanel : public TkxPanel {
 public:
  explicit TTestPanel(TComponent* owner) : TkxPanel(owner) {}
  int Contents = 0;
  int SizeUpdates = 0;
  TRect Content;
  using TkxPanel::FCanEmpty;
  using TkxPanel::FPopupMode;

 protected:
  void DrawPanelContent(TCanvas*, const TRect& r, bool&, TkxsCtrlState) override {
    ++Contents;
    Content = r;
  }
  void SizeUpdate() override { ++SizeUpdates; }
};

// A collection of solid colours: image i fills its rectangle with Colours[i]; whether the
// images cover everything and depend on the size is chosen by the test.
class TColourCollection : public TkxCustomImageCollection {
 public:
  explicit TColourCollection(TComponent* owner) : TkxCustomImageCollection(owner) {}
  std::vector<std::uint32_t> Colours;
  bool Solid = false;
  bool SizeDependent = false;
  TRect Inset{};  // drawn inside the rectangle by this much

  int GetCount() const override { return int(Colours.size()); }
  bool IsIndexAvailable(int i) const override { return i >= 0 && i < GetCount(); }
  bool IsSolidDrawing(int i) const override { return Solid && IsIndexAvailable(i); }
  bool NeedFullUpdate(int i) const override { return SizeDependent && IsIndexAvailable(i); }
  void Draw(TCanvas* canvas, const TRect& r, int i, double) override {
    if (!IsIndexAvailable(i)) return;
    canvas->Brush()->SetStyle(bsSolid);
    canvas->Brush()->SetColor(Col(Colours[i]));
    canvas->FillRect(TRect(r.Left + Inset.Left, r.Top + Inset.Top, r.Right - Inset.Right,
                           r.Bottom - Inset.Bottom));
  }
};

class Panel : public ControlsTest {
 protected:
  void SetUp() override {
    ControlsTest::SetUp();
    FRoot = MakeRoot(200, 150);
  }
  TTestPanel* MakePanel(TRect r, TkxPanelBorderStyle border = kxpbsNone) {
    auto* p = Make<TTestPanel>(FRoot, r);
    p->SetColor(Col(kFill));
    p->SetLightBorderColor(Col(kLight));
    p->SetShadowBorderColor(Col(kShadow));
    p->SetBorderStyle(border);
    p->HandleNeeded();
    p->Repaint();
    return p;
  }
  // What a drawing routine paints into a bitmap of the given size, at a point.
  template <class F>
  std::uint32_t Reference(int w, int h, int x, int y, F draw) {
    TBitmap b;
    b.SetPixelFormat(pf32bit);
    b.SetSize(w, h);
    draw(b.Canvas());
    return ctltest::Rgb(&b, x, y);
  }

  TPatternControl* FRoot = nullptr;
};

struct BorderCase {
  TkxPanelBorderStyle Style;
  // Points of a 40 x 20 panel at (10, 10) in panel coordinates with their colours.
  std::vector<std::pair<TPoint, std::uint32_t>> Points;
  TRect Inset;  // Left, Top, Right, Bottom of the client area
};

TEST_F(Panel, BordersDrawTheirLinesAndInsetTheClientArea) {
  const BorderCase cases[] = {
      {kxpbsNone, {{{0, 0}, kFill}, {{39, 19}, kFill}}, {0, 0, 0, 0}},
      {kxpbsFlat, {{{0, 0}, kShadow}, {{39, 19}, kShadow}, {{1, 1}, kFill}}, {1, 1, 1, 1}},
      {kxpbsRaised, {{{0, 5}, kLight}, {{5, 0}, kLight}, {{39, 5}, kShadow}, {{5, 19}, kShadow}},
       {1, 1, 1, 1}},
      {kxpbsLowered, {{{0, 5}, kShadow}, {{39, 5}, kLight}, {{1, 1}, kFill}}, {1, 1, 1, 1}},
      {kxpbsLoweredBevel,
       {{{0, 5}, kShadow}, {{1, 5}, kLight}, {{38, 5}, kShadow}, {{39, 5}, kLight}, {{2, 2}, kFill}},
       {2, 2, 2, 2}},
      {kxpbsRaisedBevel,
       {{{5, 0}, kLight}, {{5, 1}, kShadow}, {{5, 18}, kLight}, {{5, 19}, kShadow}},
       {2, 2, 2, 2}},
      {kxpbsTopBevel, {{{5, 0}, kShadow}, {{39, 1}, kLight}, {{5, 2}, kFill}}, {0, 2, 0, 0}},
      {kxpbsBottomBevel, {{{5, 18}, kShadow}, {{5, 19}, kLight}, {{5, 17}, kFill}}, {0, 0, 0, 2}},
      {kxpbsTopLightLine, {{{5, 0}, kLight}, {{5, 1}, kFill}}, {0, 1, 0, 0}},
      {kxpbsBottomLightLine, {{{5, 19}, kLight}, {{5, 18}, kFill}}, {0, 0, 0, 1}},
      {kxpbsTopShadowLine, {{{5, 0}, kShadow}}, {0, 1, 0, 0}},
      {kxpbsBottomShadowLine, {{{5, 19}, kShadow}}, {0, 0, 0, 1}},
      {kxpbsLeftBevel, {{{0, 19}, kShadow}, {{1, 0}, kLight}, {{2, 5}, kFill}}, {2, 0, 0, 0}},
      {kxpbsRightBevel, {{{38, 0}, kShadow}, {{39, 19}, kLight}, {{37, 5}, kFill}}, {0, 0, 2, 0}},
      {kxpbsLeftLightLine, {{{0, 5}, kLight}, {{1, 5}, kFill}}, {1, 0, 0, 0}},
      {kxpbsRightLightLine, {{{39, 5}, kLight}, {{38, 5}, kFill}}, {0, 0, 1, 0}},
      {kxpbsLeftShadowLine, {{{0, 5}, kShadow}}, {1, 0, 0, 0}},
      {kxpbsRightShadowLine, {{{39, 5}, kShadow}}, {0, 0, 1, 0}},
      {kxpbsHorzCenterBevel, {{{0, 9}, kShadow}, {{39, 10}, kLight}, {{5, 8}, kFill}}, {0, 0, 0, 0}},
      {kxpbsVertCenterBevel, {{{19, 0}, kShadow}, {{20, 19}, kLight}, {{21, 5}, kFill}}, {0, 0, 0, 0}},
  };
  for (const BorderCase& c : cases) {
    SCOPED_TRACE(int(c.Style));
    TTestPanel* p = MakePanel(Rect(10, 10, 50, 30), c.Style);
    for (auto& [pt, colour] : c.Points)
      EXPECT_EQ(Shown(10 + pt.X, 10 + pt.Y), colour) << pt.X << "," << pt.Y;
    auto* child = Make<TProbe>(p, Rect(0, 0, 1, 1));
    child->SetAlign(alClient);
    EXPECT_EQ(child->BoundsRect(),
              TRect(c.Inset.Left, c.Inset.Top, 40 - c.Inset.Right, 20 - c.Inset.Bottom));
    delete p;
  }
  // Ten rows high, the centre bevel lies on rows 4 and 5.
  MakePanel(Rect(10, 10, 50, 20), kxpbsHorzCenterBevel);
  EXPECT_EQ(Shown(20, 13), kFill);
  EXPECT_EQ(Shown(20, 14), kShadow);
  EXPECT_EQ(Shown(20, 15), kLight);
}

TEST_F(Panel, StyleKindsPaintTheirBackgrounds) {
  // Tool bar, header and form backgrounds: what their painting routines draw.
  TTestPanel* p = MakePanel(Rect(10, 10, 70, 40));
  p->SetStyleKind(kxpsToolBar);
  EXPECT_EQ(Shown(40, 25), Reference(60, 30, 30, 15, [&](TCanvas* c) {
              DrawToolBarBackground(c, Rect(0, 0, 60, 30), p);
            }));
  p->SetStyleKind(kxpsHeader);
  for (TPoint pt : {TPoint{0, 0}, TPoint{59, 29}, TPoint{30, 15}})
    EXPECT_EQ(Shown(10 + pt.X, 10 + pt.Y), Reference(60, 30, pt.X, pt.Y, [&](TCanvas* c) {
                DrawHeaderSection(c, Rect(0, 0, 60, 30), kxsNormal, p);
              }));
  p->SetStyleKind(kxpsFormBackground);
  EXPECT_EQ(Shown(40, 25), Reference(60, 30, 30, 15, [&](TCanvas* c) {
              DrawFormBackground(c, Rect(0, 0, 60, 30), p);
            }));
  // The edit field: the edit border, then the edit colour inside it; no border style.
  p->SetBorderStyle(kxpbsFlat);
  p->SetStyleKind(kxpsEdit);
  std::uint32_t frame = Reference(60, 30, 0, 0, [&](TCanvas* c) {
    DrawEditBorder(c, Rect(0, 0, 60, 30), kxsNormal, p);
  });
  EXPECT_EQ(Shown(10, 10), frame);
  EXPECT_EQ(Shown(12, 12), Rgb(GetEditColor(kxsNormal, p)));
  EXPECT_EQ(Shown(40, 25), Rgb(GetEditColor(kxsNormal, p)));
  // A pop-up's edit field is a flat window-coloured face with the border style.
  p->FPopupMode = true;
  p->RePaintControl();
  EXPECT_EQ(Shown(10, 10), kShadow);
  EXPECT_EQ(Shown(40, 25), Rgb(clWindow));
  // The tab-sheet body reaches 4 pixels beyond the panel; no border style shows.
  p->SetStyleKind(kxpsTabSheet);
  for (TPoint pt : {TPoint{0, 0}, TPoint{1, 1}, TPoint{30, 15}})
    EXPECT_EQ(Shown(10 + pt.X, 10 + pt.Y), Reference(60, 30, pt.X, pt.Y, [&](TCanvas* c) {
                DrawTabSheetBody(c, Rect(-4, -4, 64, 34), p);
              }));
  auto* child = Make<TProbe>(p, Rect(0, 0, 1, 1));
  child->SetAlign(alClient);
  EXPECT_EQ(child->BoundsRect(), Rect(0, 0, 60, 30)) << "no inset for a tab sheet";
}

TEST_F(Panel, EmptyPanelsPaintNothingUnlessASubclassAsks) {
  TTestPanel* p = MakePanel(Rect(10, 10, 70, 40));
  int before = p->Contents;
  p->SetStyleKind(kxpsEmpty);
  p->Repaint();
  EXPECT_EQ(p->Contents, before) << "not even the content hook runs";
  p->FCanEmpty = false;
  p->SetBorderStyle(kxpbsFlat);
  p->Repaint();
  EXPECT_GT(p->Contents, before);
  EXPECT_EQ(Shown(40, 25), kFill);
  EXPECT_EQ(Shown(10, 10), kShadow);
  EXPECT_EQ(p->Content, Rect(2, 2, 58, 28)) << "the content lies 2 pixels inside a border";
}

TEST_F(Panel, TransparentKindShowsTheParentUnderItsBorder) {
  TTestPanel* p = MakePanel(Rect(20, 20, 80, 60), kxpbsFlat);
  p->SetStyleKind(kxpsTransparent);
  EXPECT_TRUE(p->TransparentBackground());
  p->Repaint();
  EXPECT_TRUE(ShowsPattern(Rect(21, 21, 79, 59), FRoot->Phase));
  EXPECT_EQ(Shown(20, 20), kShadow);
  // Leaving the kind lets go of the captured image and paints the colour again.
  p->SetStyleKind(kxpsPanel);
  EXPECT_FALSE(p->TransparentBackground());
  EXPECT_TRUE(p->ParentBackgroundBuffer()->Empty());
  EXPECT_EQ(Shown(40, 40), kFill);
}

TEST_F(Panel, WallpapersAndCustomImages) {
  TColourCollection images(FOwner.get());
  images.Colours = {0x204060, 0x608020};
  images.Inset = TRect(5, 5, 5, 5);
  TTestPanel* p = MakePanel(Rect(10, 10, 70, 50), kxpbsFlat);
  p->SetCustomImages(&images);
  p->SetCustomImageIndex(1);
  EXPECT_EQ(Shown(40, 30), 0x608020u);
  EXPECT_EQ(Shown(12, 12), kFill) << "drawn over the background";
  EXPECT_EQ(Shown(10, 10), kShadow) << "the border again over the image";
  p->SetWallpapers(&images);
  p->SetWallpaperIndex(0);
  EXPECT_EQ(Shown(40, 30), 0x204060u) << "the wallpaper over the custom image";
  // A solid wallpaper replaces the background; the custom image lies over it.
  TColourCollection solid(FOwner.get());
  solid.Colours = {0x446688};
  solid.Solid = true;
  p->SetWallpapers(&solid);
  EXPECT_EQ(Shown(12, 12), 0x446688u);
  EXPECT_EQ(Shown(40, 30), 0x608020u);
  // An unavailable index draws nothing of its image; a freed collection is forgotten.
  p->SetCustomImageIndex(7);
  EXPECT_EQ(Shown(40, 30), 0x446688u);
  delete p;
  auto* gone = new TColourCollection(FOwner.get());
  p = MakePanel(Rect(10, 10, 70, 50));
  p->SetWallpapers(gone);
  p->SetCustomImages(gone);
  delete gone;
  EXPECT_EQ(p->Wallpapers(), nullptr);
  EXPECT_EQ(p->CustomImages(), nullptr);
}

TEST_F(Panel, ResizingUpdatesTransparentChildrenOnlyWhenTheImageDependsOnTheSize) {
  TColourCollection images(FOwner.get());
  images.Colours = {0x204060};
  TTestPanel* p = MakePanel(Rect(10, 10, 110, 90));
  p->SetWallpapers(&images);
  p->SetWallpaperIndex(0);
  auto* child = Make<TProbe>(p, Rect(5, 5, 40, 30));
  child->HandleNeeded();
  wintest::Pump();
  int changes = child->BackgroundChanges;
  p->SetBounds(10, 10, 120, 90);
  EXPECT_EQ(child->BackgroundChanges, changes);
  int updates = p->SizeUpdates;
  EXPECT_GE(updates, 1);
  images.SizeDependent = true;
  p->SetBounds(10, 10, 130, 90);
  EXPECT_GT(child->BackgroundChanges, changes);
  EXPECT_EQ(p->SizeUpdates, updates);
}

TEST_F(Panel, ATransparentChildCopiesTheStoredPaintBuffer) {
  TTestPanel* p = MakePanel(Rect(10, 10, 110, 90), kxpbsRaised);
  p->SetStorePaintBuffer(true);
  p->Repaint();
  auto* child = Make<TProbe>(p, Rect(0, 0, 30, 20));
  child->HandleNeeded();
  child->Repaint();
  int contents = p->Contents;
  // The child shows the panel's own pixels, border included, without painting the panel.
  EXPECT_EQ(Shown(10, 10), kLight);
  EXPECT_EQ(Shown(20, 20), kFill);
  child->Repaint();
  EXPECT_EQ(p->Contents, contents) << "copied from the kept buffer, no second panel paint";
  // A new look of the panel reaches the child through UpdateControls.
  p->SetColor(Col(0x123456));
  p->RePaintControl();
  p->UpdateControls();
  EXPECT_EQ(Shown(20, 20), 0x123456u);
  EXPECT_EQ(Shown(60, 60), 0x123456u);
}

// The first and last columns of r holding dark (text) pixels.
std::pair<int, int> InkColumns(ControlsTest* t, const TRect& r,
                               const std::function<std::uint32_t(int, int)>& shown) {
  int first = -1, last = -1;
  for (int x = r.Left; x < r.Right; ++x)
    for (int y = r.Top; y < r.Bottom; ++y)
      if ((shown(x, y) & 0xF0F0F0) == 0 || (shown(x, y) & 0x808080) == 0) {
        if (first < 0) first = x;
        last = x;
        break;
      }
  return {first, last};
}

TEST_F(Panel, TheCaptionFollowsItsAlignmentWithAndWithoutGlow) {
  TTestPanel* p = MakePanel(Rect(10, 10, 170, 40));
  p->SetColor(clWhite);
  p->Font()->SetColor(clBlack);
  p->SetCaption(u"&File");
  p->SetShowCaption(true);
  auto ink = [this] { return InkColumns(this, Rect(10, 10, 170, 40), [this](int x, int y) { return Shown(x, y); }); };
  for (bool glow : {false, true}) {
    SCOPED_TRACE(glow);
    p->CaptionGlowEffect()->SetEnabled(glow);
    p->SetAlignment(taLeftJustify);
    auto [l1, r1] = ink();
    EXPECT_GE(l1 - 10, 3);
    EXPECT_LE(l1 - 10, 3 + (glow ? 8 : 3));
    p->SetAlignment(taRightJustify);
    auto [l2, r2] = ink();
    EXPECT_GE(r2 - 10, 160 - 3 - (glow ? 12 : 4));
    EXPECT_LE(r2 - 10, 160 - 3);
    EXPECT_EQ(r2 - l2, r1 - l1);
    p->SetAlignment(taCenter);
    auto [l3, r3] = ink();
    EXPECT_NEAR((l3 + r3) / 2 - 10, 80, glow ? 6 : 3);
  }
  // No prefix processing: the ampersand is drawn, so "&File" is wider than "File".
  auto [a, b] = ink();
  p->SetCaption(u"File");
  auto [c, d] = ink();
  EXPECT_GT(b - a, d - c + 3);
}

TEST_F(Panel, PressingADraggingPanelMovesItsFormUnlessMaximised) {
  auto* form = new TForm(FOwner.get());
  form->SetBounds(300, 200, 300, 200);
  auto* p = new TkxPanel(form);
  p->SetBounds(10, 10, 100, 60);
  p->SetParent(form);
  p->SetDragForm(true);
  form->Show();
  wintest::Pump();
  auto& input = wintest::Headless();
  auto drag = [&](int dx, int dy) {
    TPoint start = p->ClientToScreen(TPoint{20, 20});
    input.InjectMouseMove(start.X, start.Y);
    input.InjectMouseButton(platform::MouseButton::Left, true);
    wintest::Pump();
    input.InjectMouseMove(start.X + dx / 2, start.Y + dy / 2);
    wintest::Pump();
    input.InjectMouseMove(start.X + dx, start.Y + dy);
    wintest::Pump();
    input.InjectMouseButton(platform::MouseButton::Left, false);
    wintest::Pump();
  };
  int left = form->Left(), top = form->Top();
  drag(30, 16);
  EXPECT_EQ(form->Left(), left + 30);
  EXPECT_EQ(form->Top(), top + 16);
  EXPECT_EQ(form->Width(), 300) << "the size is kept";
  // After the release, moves no longer drag.
  input.InjectMouseMove(10, 10);
  wintest::Pump();
  EXPECT_EQ(form->Left(), left + 30);
  form->SetWindowState(wsMaximized);
  wintest::Pump();
  TRect maximised = form->BoundsRect();
  drag(30, 16);
  EXPECT_EQ(form->BoundsRect(), maximised);
}


TEST_F(Panel, TheCaptionHaloIsRebuiltOnlyWhenWhatItDependsOnChanges) {
  TTestPanel* p = MakePanel(Rect(10, 10, 150, 60));
  p->SetShowCaption(true);
  p->SetCaption(u"Glowing caption");
  p->CaptionGlowEffect()->SetEnabled(true);
  p->RePaintControl();
  ASSERT_NE(p->GlowBuffer(), nullptr);
  auto rebuiltAfter = [&](auto&& change) {
    p->GlowBuffer()->SetSize(1, 1);  // a mark no halo has
    change();
    p->RePaintControl();
    return p->GlowBuffer() && p->GlowBuffer()->Width() != 1;
  };
  EXPECT_FALSE(rebuiltAfter([] {})) << "a repaint without changes reuses the halo";
  EXPECT_TRUE(rebuiltAfter([&] { p->SetCaption(u"Another caption"); }));
  EXPECT_TRUE(rebuiltAfter([&] { p->Font()->SetSize(p->Font()->Size() + 2); }));
  EXPECT_TRUE(rebuiltAfter([&] { p->CaptionGlowEffect()->SetColor(clRed); }));
  EXPECT_TRUE(rebuiltAfter([&] { p->SetWordWrap(true); }));
  // A wrapped caption breaks its lines anew in another width.
  EXPECT_TRUE(rebuiltAfter([&] { p->SetBounds(10, 10, 80, 60); }));
}

TEST_F(Panel, UnderACustomStyleThePanelTakesTheStylesFaceAndTextColours) {
  TStyleManager::SetStyle(u"Tablet Dark");
  struct TRestore {
    ~TRestore() { TStyleManager::SetStyle(u"Windows"); }
  } restore;
  auto* p = Make<TkxPanel>(FRoot, Rect(10, 10, 150, 60));
  p->SetShowCaption(true);
  p->SetCaption(u"WWWWWWWW");
  p->Font()->SetColor(clBtnText);
  p->HandleNeeded();
  p->RePaintControl();
  TCustomStyleServices* style = TStyleManager::Style(u"Tablet Dark");
  const std::uint32_t face = Rgb(style->GetSystemColor(clBtnFace));
  ASSERT_NE(face, Rgb(clBtnFace)) << "the style has a face colour of its own";
  EXPECT_EQ(Shown(12, 12), face);
  EXPECT_EQ(Shown(145, 55), face);
  // The caption is drawn in a colour far from the dark face (the style's text colour).
  int light = 0;
  for (int y = 20; y < 50; ++y)
    for (int x = 20; x < 140; ++x) {
      std::uint32_t c = Shown(x, y);
      int sum = int((c >> 16) & 0xFF) + int((c >> 8) & 0xFF) + int(c & 0xFF);
      int faceSum = int((face >> 16) & 0xFF) + int((face >> 8) & 0xFF) + int(face & 0xFF);
      light += sum > faceSum + 200;
    }
  EXPECT_GT(light, 20);
  // Its own StyleElements without seClient keep the panel's own colour.
  p->SetColor(Col(kFill));
  p->SetStyleElements({seFont, seBorder});
  p->RePaintControl();
  EXPECT_EQ(Shown(12, 12), kFill);
}

}  // namespace
}  // namespace ctltest
