// The paint pipeline of the custom control base: what transparent controls show, when the
// parent is asked to paint, how background changes travel, and the buffers' lifetimes.
#include "ControlsTest.h"
#include "tests/graphics/GraphicsTest.h"
#include "host/themes/StyleManager.h"

namespace ctltest {
namespace {

using PaintPipeline = ControlsTest;

TEST_F(PaintPipeline, TransparentChildOverStoringParentShowsExactlyItsPixels) {
  TPatternControl* root = MakeRoot();
  root->SetStorePaintBuffer(true);
  TRect area = Rect(13, 21, 13 + 37, 21 + 26);
  auto* probe = Make<TProbe>(root, area);
  wintest::Pump();
  EXPECT_TRUE(ShowsPattern(area, 10));
  // From now on the child copies its background out of the kept buffer: no capture paints
  // the root.
  root->CapturedByChild = false;
  SendMessageW(probe->Handle(), WM_PARENTBGCHANGED, 0, 0);
  EXPECT_TRUE(ShowsPattern(area, 10));
  EXPECT_FALSE(root->CapturedByChild);

  root->Phase = 99;
  int paints = root->Paints;
  root->RePaintControl();
  root->UpdateControls();
  wintest::Pump();
  EXPECT_TRUE(ShowsPattern(area, 99));
  EXPECT_EQ(probe->BackgroundChanges, 2);
  EXPECT_EQ(root->Paints, paints + 1);
  EXPECT_FALSE(root->CapturedByChild);
}

TEST_F(PaintPipeline, RePaintControlKeepsTheOldBackgroundUntilItChanges) {
  TPatternControl* root = MakeRoot();
  TRect area = Rect(20, 10, 60, 40);
  auto* probe = Make<TProbe>(root, area);
  wintest::Pump();
  int rootPaints = root->Paints;
  int captures = probe->Captures;

  root->Phase = 77;  // changed without telling the child
  probe->RePaintControl();
  EXPECT_EQ(root->Paints, rootPaints) << "the parent was asked to paint again";
  EXPECT_EQ(probe->Captures, captures);
  EXPECT_EQ(Rgb(probe->ParentBackgroundBuffer(), 5, 5), PatternAt(25, 15, 10));
  EXPECT_EQ(Shown(25, 15), PatternAt(25, 15, 10));

  SendMessageW(probe->Handle(), WM_PARENTBGCHANGED, 0, 0);
  EXPECT_EQ(Shown(25, 15), PatternAt(25, 15, 77));
  EXPECT_EQ(probe->Captures, captures + 1);
}

TEST_F(PaintPipeline, BackgroundChangesTravelDownTheWholeTree) {
  TPatternControl* root = MakeRoot();
  auto* middle = Make<TProbe>(root, Rect(10, 10, 110, 90));
  auto* inner = Make<TProbe>(middle, Rect(20, 20, 60, 50));
  auto* graphic = Make<TSolidGraphic>(middle, Rect(70, 5, 90, 15), clRed);
  auto* hidden = Make<TProbe>(middle, Rect(0, 60, 10, 70));
  hidden->SetVisible(false);
  wintest::Pump();

  root->Phase = 200;
  root->RePaintControl();
  root->UpdateControls();
  EXPECT_EQ(middle->BackgroundChanges, 1);
  EXPECT_EQ(inner->BackgroundChanges, 1);
  EXPECT_EQ(graphic->BackgroundChanges, 1);
  EXPECT_EQ(hidden->BackgroundChanges, 0);
  // The grandchild sits at 30, 30 of the root and shows the root's new pattern there.
  EXPECT_EQ(Rgb(inner->ParentBackgroundBuffer(), 3, 4), PatternAt(33, 34, 200));
  EXPECT_EQ(Shown(33, 34), PatternAt(33, 34, 200));
}

TEST_F(PaintPipeline, GraphicControlBeneathIsCapturedAndWindowAboveIsNot) {
  TPatternControl* root = MakeRoot();
  Make<TSolidGraphic>(root, Rect(0, 0, 30, 30), clLime);
  auto* probe = Make<TProbe>(root, Rect(20, 20, 60, 60));
  // A windowed sibling above the probe, overlapping its lower right corner.
  Make<TPatternControl>(root, Rect(50, 50, 80, 80))->Phase = 250;
  wintest::Pump();
  TBitmap* bg = probe->ParentBackgroundBuffer();
  EXPECT_EQ(Rgb(bg, 5, 5), 0x00FF00u);                      // the graphic control at 25, 25
  EXPECT_EQ(Rgb(bg, 15, 15), PatternAt(35, 35, 10));         // the root beyond it
  EXPECT_EQ(Rgb(bg, 35, 35), PatternAt(55, 55, 10));         // not the sibling above
  EXPECT_EQ(Shown(25, 25), 0x00FF00u);
}

TEST_F(PaintPipeline, GraphicSiblingsAfterAGraphicControlAreNotBeneathIt) {
  TPatternControl* root = MakeRoot();
  Make<TSolidGraphic>(root, Rect(0, 0, 20, 20), clRed);
  auto* target = Make<TSolidGraphic>(root, Rect(10, 10, 30, 30), clBlue);
  Make<TSolidGraphic>(root, Rect(25, 25, 40, 40), clLime);
  TBitmap image;
  image.SetSize(20, 20);
  DrawParentImage(target, image.Canvas());
  EXPECT_EQ(Rgb(&image, 2, 2), 0xFF0000u);               // beneath: drawn
  EXPECT_EQ(Rgb(&image, 17, 17), PatternAt(27, 27, 10));  // above: left out
  EXPECT_EQ(Rgb(&image, 12, 3), PatternAt(22, 13, 10));   // itself: left out
}

TEST_F(PaintPipeline, CustomControlParentPaintsOnceIntoAChildsCapture) {
  TPatternControl* root = MakeRoot();
  auto* probe = Make<TProbe>(root, Rect(30, 30, 70, 60));
  wintest::Pump();
  int before = root->Paints;
  root->CapturedByChild = false;
  SendMessageW(probe->Handle(), WM_PARENTBGCHANGED, 0, 0);
  EXPECT_EQ(root->Paints, before + 1);
  EXPECT_TRUE(root->CapturedByChild);
  EXPECT_FALSE(root->FGetControlBG);
  EXPECT_FALSE(root->ControlState().Contains(csPaintCopy));
}

TEST_F(PaintPipeline, ZeroSizeControlPaintsAndCapturesNothing) {
  TPatternControl* root = MakeRoot();
  auto* probe = Make<TProbe>(root, Rect(10, 10, 50, 50));
  wintest::Pump();
  ASSERT_FALSE(probe->ParentBackgroundBuffer()->Empty());
  int paints = probe->Paints;

  root->CapturedByChild = false;
  probe->SetBounds(10, 10, 0, 40);
  probe->Repaint();
  SendMessageW(probe->Handle(), WM_PARENTBGCHANGED, 0, 0);
  wintest::Pump();
  EXPECT_EQ(probe->Paints, paints);
  EXPECT_FALSE(root->CapturedByChild) << "the root was painted for an empty capture";
  EXPECT_TRUE(probe->ParentBackgroundBuffer()->Empty()) << "the old capture is kept";
  EXPECT_EQ(probe->FPaintBuffer, nullptr);
}

TEST_F(PaintPipeline, PaintBufferLivesOnlyWhileKept) {
  TPatternControl* root = MakeRoot();
  wintest::Pump();
  EXPECT_EQ(root->FPaintBuffer, nullptr);

  root->SetStorePaintBuffer(true);
  root->RePaintControl();
  ASSERT_NE(root->FPaintBuffer, nullptr);
  EXPECT_EQ(root->FPaintBuffer->Width(), 160);
  EXPECT_EQ(Rgb(root->FPaintBuffer.get(), 9, 9), PatternAt(9, 9, 10));

  root->SetStorePaintBuffer(false);
  EXPECT_EQ(root->FPaintBuffer, nullptr);
  // A child does not copy from a buffer the parent no longer keeps.
  root->Phase = 50;
  root->RePaintControl();
  auto* probe = Make<TProbe>(root, Rect(0, 0, 20, 20));
  wintest::Pump();
  EXPECT_EQ(Rgb(probe->ParentBackgroundBuffer(), 9, 9), PatternAt(9, 9, 50));
}

TEST_F(PaintPipeline, ResizingAStoringControlRepaintsAndChildrenRecapture) {
  TPatternControl* root = MakeRoot(100, 100);
  root->SetStorePaintBuffer(true);
  auto* probe = Make<TProbe>(root, Rect(10, 10, 40, 40));
  wintest::Pump();
  int paints = root->Paints;
  root->Phase = 123;
  root->SetBounds(0, 0, 140, 110);
  EXPECT_EQ(root->FPaintBuffer->Width(), 140);
  EXPECT_EQ(root->Paints, paints + 1);
  EXPECT_EQ(Rgb(probe->ParentBackgroundBuffer(), 2, 2), PatternAt(12, 12, 123));
}

TEST_F(PaintPipeline, ErasePhasePaintsOnlyWhenNoPaintFollows) {
  TPatternControl* root = MakeRoot(40, 40);
  wintest::Pump();
  TBitmap target;
  target.SetSize(40, 40);
  HDC dc = target.Canvas()->Handle();
  int paints = root->Paints;
  EXPECT_EQ(SendMessageW(root->Handle(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0), 1);
  EXPECT_EQ(root->Paints, paints + 1);
  EXPECT_EQ(Rgb(&target, 5, 9), PatternAt(5, 9, 10));

  root->FForceDraw = true;
  EXPECT_EQ(SendMessageW(root->Handle(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0), 1);
  root->FForceDraw = false;
  root->RePaintControl();  // a forced repaint: one paint, none in its erase phase
  EXPECT_EQ(root->Paints, paints + 2);
}

TEST_F(PaintPipeline, ClientRectBufferIsTheClientSize) {
  TPatternControl* root = MakeRoot();
  auto* probe = Make<TBorderedProbe>(root, Rect(10, 10, 50, 40));
  probe->HandleNeeded();
  ASSERT_EQ(probe->ClientWidth(), probe->Width() - 2);
  ASSERT_EQ(probe->ClientHeight(), probe->Height() - 2);
  probe->FDrawInClientRect = true;
  probe->SetStorePaintBuffer(true);
  probe->RePaintControl();
  ASSERT_NE(probe->FPaintBuffer, nullptr);
  EXPECT_EQ(probe->FPaintBuffer->Width(), probe->ClientWidth());
  EXPECT_EQ(probe->FPaintBuffer->Height(), probe->ClientHeight());
}

TEST_F(PaintPipeline, OnlyParentBackgroundCapturesBeneathTheParent) {
  TPatternControl* root = MakeRoot();
  auto* panel = Make<TPatternControl>(root, Rect(40, 30, 120, 100));
  panel->Phase = 222;
  auto* probe = Make<TProbe>(panel, Rect(10, 10, 30, 30));
  probe->FUseOnlyParentBackground = true;
  wintest::Pump();
  // The capture is the root beneath the whole panel (the probe's own size, from its corner).
  EXPECT_EQ(Rgb(probe->ParentBackgroundBuffer(), 3, 3), PatternAt(43, 33, 10));
}

// A container that keeps an image of its client area, as the library's scroll box does.
class TKeepingBox : public TScrollBox, public TkxPaintBufferSource {
 public:
  explicit TKeepingBox(TComponent* owner) : TScrollBox(owner) { SetBorderStyle(bsNone); }
  bool Keep = true;
  TBitmap Image;
  bool StoresPaintBuffer() const override { return Keep; }
  TBitmap* StoredPaintBuffer() const override { return const_cast<TBitmap*>(&Image); }
};

TEST_F(PaintPipeline, ContainerKeepingItsImageIsCopiedNotPainted) {
  TPatternControl* root = MakeRoot();
  auto* box = Make<TKeepingBox>(root, Rect(0, 0, 100, 80));
  gfxtest::Make32(box->Image, box->ClientWidth(), box->ClientHeight(), 0xFF123456u);
  gfxtest::Px(box->Image, 15, 12) = 0xFFABCDEFu;
  auto* probe = Make<TProbe>(box, Rect(10, 10, 40, 40));
  wintest::Pump();
  EXPECT_EQ(Rgb(probe->ParentBackgroundBuffer(), 5, 2), 0xABCDEFu);
  EXPECT_EQ(Rgb(probe->ParentBackgroundBuffer(), 0, 0), 0x123456u);
  // An image of another size than the client area is stale: the box is painted instead.
  box->Image.SetSize(10, 10);
  SendMessageW(probe->Handle(), WM_PARENTBGCHANGED, 0, 0);
  EXPECT_NE(Rgb(probe->ParentBackgroundBuffer(), 5, 2), 0xABCDEFu);
}

TEST_F(PaintPipeline, CustomStyleStillShowsTheParentBeneath) {
  struct TStyleGuard {
    ~TStyleGuard() { TStyleManager::SetStyle(u"Windows"); }
  } restore;
  TStyleManager::SetStyle(u"Glow");
  TPatternControl* root = MakeRoot();
  TRect area = Rect(30, 20, 70, 50);
  Make<TProbe>(root, area);
  wintest::Pump();
  EXPECT_TRUE(ShowsPattern(area, 10));
}

}  // namespace
}  // namespace ctltest

namespace ctltest {
namespace {

TEST_F(PaintPipeline, ControlsOfOtherClassesCaptureByTheSameCases) {
  TPatternControl* root = MakeRoot();
  auto* box = Make<TScrollBox>(root, Rect(20, 10, 60, 40));
  box->SetBorderStyle(bsNone);
  wintest::Pump();
  TBitmap b;
  b.SetPixelFormat(pf32bit);
  b.SetSize(40, 30);
  CaptureBackground(box, b.Canvas());
  EXPECT_EQ(Rgb(&b, 3, 4), PatternAt(23, 14, 10));
  // A storing parent's kept buffer is copied, not painted, unless the caller asks afresh.
  root->SetStorePaintBuffer(true);
  root->RePaintControl();
  root->Phase = 50;
  const int paints = root->Paints;
  CaptureBackground(box, b.Canvas());
  EXPECT_EQ(Rgb(&b, 3, 4), PatternAt(23, 14, 10));
  EXPECT_EQ(root->Paints, paints);
  CaptureBackground(box, b.Canvas(), kxbgParent, kxkiPaintAfresh);
  EXPECT_EQ(Rgb(&b, 3, 4), PatternAt(23, 14, 50));
  EXPECT_EQ(root->Paints, paints + 1);
}

}  // namespace
}  // namespace ctltest
