// Scaling controls to another pixel density: bounds, constraints, margins, padding and fonts
// by MulDiv, exact on the way back, with inherited fonts and anchors kept.
#include "tests/vcl/VclTest.h"

namespace vcl::vcltest {
namespace {

using ScalingTest = VclTest;

struct Snapshot {
  TRect Bounds;
  int FontHeight;
  int MinW, MaxH;
  TRect Margins;
  bool operator==(const Snapshot&) const = default;
};
Snapshot Take(TControl* c) {
  return {c->BoundsRect(), c->Font()->Height(), c->Constraints()->MinWidth(),
          c->Constraints()->MaxHeight(), c->Margins()->AsRect()};
}

TEST_F(ScalingTest, UpAndBackDownReturnsToTheExactBoundsFontsAndLimits) {
  TTestRoot* root = MakeRoot(333, 221, 7, 9);
  root->Font()->SetHeight(-11);
  auto* box = Make<TLogControl>(root, Bounds(3, 5, 101, 77));
  box->Font()->SetHeight(-13);
  box->Constraints()->SetMinWidth(33);
  box->Constraints()->SetMaxHeight(101);
  box->Margins()->SetBounds(1, 2, 3, 5);
  box->Padding()->SetBounds(1, 1, 3, 3);
  auto* odd = Make<TLogGraphic>(box, Bounds(1, 1, 7, 9));
  auto* inherits = Make<TLogGraphic>(box, Bounds(11, 13, 15, 17));
  Pump();
  Snapshot rootBefore = Take(root), boxBefore = Take(box), oddBefore = Take(odd);
  TRect inheritsBefore = inherits->BoundsRect();

  root->ScaleForPPI(144);
  EXPECT_EQ(root->CurrentPPI(), 144);
  EXPECT_EQ(odd->CurrentPPI(), 144);
  EXPECT_DOUBLE_EQ(odd->ScaleFactor(), 1.5);
  EXPECT_EQ(box->BoundsRect(), Rect(5, 8, 156, 123));  // edges 3,5,104,82 times 1.5
  EXPECT_EQ(box->Font()->Height(), -20);
  EXPECT_EQ(box->Font()->PixelsPerInch(), 144);
  EXPECT_EQ(box->Constraints()->MinWidth(), 50);
  EXPECT_EQ(box->Constraints()->MaxHeight(), 152);
  EXPECT_EQ(box->Margins()->AsRect(), Rect(2, 3, 5, 8));
  EXPECT_EQ(box->Padding()->AsRect(), Rect(2, 2, 5, 5));
  EXPECT_EQ(root->Font()->Height(), -17);
  EXPECT_EQ(inherits->Font()->Height(), -20) << "an inherited font follows its parent's";
  EXPECT_TRUE(inherits->ParentFont());

  root->ScaleForPPI(96);
  EXPECT_EQ(Take(root), rootBefore);
  EXPECT_EQ(Take(box), boxBefore);
  EXPECT_EQ(Take(odd), oddBefore);
  EXPECT_EQ(inherits->BoundsRect(), inheritsBefore);
  EXPECT_EQ(inherits->Font()->Height(), -13);
  EXPECT_EQ(box->Padding()->AsRect(), Rect(1, 1, 3, 3));
}

TEST_F(ScalingTest, AlignedAndAnchoredChildrenStayInPlaceAfterScaling) {
  TTestRoot* root = MakeRoot(200, 100);
  auto* top = Make<TLogControl>(root, Bounds(0, 0, 10, 20));
  top->SetAlign(alTop);
  auto* corner = Make<TLogControl>(root, Bounds(150, 60, 40, 30));
  corner->SetAnchors({akRight, akBottom});
  root->ScaleForPPI(192);
  Pump();
  EXPECT_EQ(root->Width(), 400);
  EXPECT_EQ(top->BoundsRect(), Bounds(0, 0, 400, 40));
  EXPECT_EQ(corner->BoundsRect(), Bounds(300, 120, 80, 60));
  root->SetWidth(500);
  Pump();
  EXPECT_EQ(corner->Left(), 400) << "the anchor distance is the scaled one";
}

TEST_F(ScalingTest, FixedSizesAndUnscaledChildrenAreLeftAlone) {
  TTestRoot* root = MakeRoot(200, 100);
  auto* fixed = Make<TLogGraphic>(root, Bounds(10, 10, 30, 30));
  fixed->SetControlStyle(fixed->ControlStyle() + TControlStyle{csFixedWidth});
  root->ScaleForPPI(192);
  EXPECT_EQ(fixed->BoundsRect(), Bounds(20, 20, 30, 60));
  root->ScaleForPPI(192);
  EXPECT_EQ(fixed->BoundsRect(), Bounds(20, 20, 30, 60)) << "the same density changes nothing";
}

TEST_F(ScalingTest, AControlPutIntoAScaledParentTakesItsDensity) {
  TTestRoot* root = MakeRoot(200, 100);
  root->ScaleForPPI(144);
  auto* late = Make<TLogGraphic>(root, Bounds(10, 20, 30, 40));
  EXPECT_EQ(late->CurrentPPI(), 144);
  EXPECT_EQ(late->BoundsRect(), Rect(15, 30, 60, 90));
  EXPECT_EQ(late->ScaleValue(10), 15);
}

}  // namespace
}  // namespace vcl::vcltest
