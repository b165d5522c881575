// Alignment of children: every Align value, margins, padding, constraints, anchors following
// the parent's size, custom placement and auto-sizing containers.
#include "tests/vcl/VclTest.h"

namespace vcl::vcltest {
namespace {

using AlignTest = VclTest;

// A container without a window, so the layout is pure arithmetic.
struct Box {
  std::unique_ptr<TLogControl> Parent = std::make_unique<TLogControl>(nullptr);
  Box(int w, int h) { Parent->SetBounds(0, 0, w, h); }
  TLogGraphic* Add(TAlign a, TRect r) {
    auto* c = new TLogGraphic(nullptr);
    c->SetBoundsRect(r);
    c->SetAlign(a);
    c->SetParent(Parent.get());
    return c;
  }
};

TEST_F(AlignTest, BarsStackFromTheEdgesAndTheClientTakesWhatIsLeft) {
  Box b(300, 200);
  TLogGraphic* top = b.Add(alTop, Bounds(0, 0, 10, 20));
  TLogGraphic* bottom = b.Add(alBottom, Bounds(0, 0, 10, 30));
  TLogGraphic* left = b.Add(alLeft, Bounds(0, 0, 40, 10));
  TLogGraphic* right = b.Add(alRight, Bounds(0, 0, 50, 10));
  TLogGraphic* client = b.Add(alClient, Bounds(0, 0, 1, 1));
  EXPECT_EQ(top->BoundsRect(), Bounds(0, 0, 300, 20));
  EXPECT_EQ(bottom->BoundsRect(), Bounds(0, 170, 300, 30));
  EXPECT_EQ(left->BoundsRect(), Bounds(0, 20, 40, 150));
  EXPECT_EQ(right->BoundsRect(), Bounds(250, 20, 50, 150));
  EXPECT_EQ(client->BoundsRect(), Bounds(40, 20, 210, 150));

  b.Parent->SetBounds(0, 0, 400, 300);
  EXPECT_EQ(top->BoundsRect(), Bounds(0, 0, 400, 20));
  EXPECT_EQ(bottom->BoundsRect(), Bounds(0, 270, 400, 30));
  EXPECT_EQ(right->BoundsRect(), Bounds(350, 20, 50, 250));
  EXPECT_EQ(client->BoundsRect(), Bounds(40, 20, 310, 250));
}

TEST_F(AlignTest, SameAlignedBarsKeepTheirOrderByPosition) {
  Box b(100, 100);
  b.Parent->DisableAlign();  // as while a description is read
  TLogGraphic* second = b.Add(alTop, Bounds(0, 50, 10, 10));
  TLogGraphic* first = b.Add(alTop, Bounds(0, 5, 10, 15));
  b.Parent->EnableAlign();
  EXPECT_EQ(first->Top(), 0);
  EXPECT_EQ(second->Top(), 15);
  // Moving a bar above another reorders them.
  second->SetTop(-1);
  EXPECT_EQ(second->Top(), 0);
  EXPECT_EQ(first->Top(), 10);
  // A bar added later goes inside the existing ones.
  TLogGraphic* r1 = b.Add(alRight, Bounds(0, 0, 10, 10));
  TLogGraphic* r2 = b.Add(alRight, Bounds(0, 0, 20, 10));
  EXPECT_EQ(r1->Left(), 90);
  EXPECT_EQ(r2->Left(), 70);
}

TEST_F(AlignTest, HiddenControlsTakeNoSpaceAndShowingThemRealigns) {
  Box b(100, 100);
  TLogGraphic* top = b.Add(alTop, Bounds(0, 0, 10, 20));
  TLogGraphic* client = b.Add(alClient, Bounds(0, 0, 1, 1));
  top->Hide();
  EXPECT_EQ(client->BoundsRect(), Bounds(0, 0, 100, 100));
  top->Show();
  EXPECT_EQ(client->BoundsRect(), Bounds(0, 20, 100, 80));
}

TEST_F(AlignTest, MarginsSurroundAlignedControlsThatAskForThem) {
  Box b(200, 100);
  TLogGraphic* top = b.Add(alTop, Bounds(0, 0, 10, 20));
  top->Margins()->SetBounds(1, 2, 3, 4);
  top->SetAlignWithMargins(true);
  TLogGraphic* client = b.Add(alClient, Bounds(0, 0, 1, 1));
  client->SetAlignWithMargins(true);  // 3 on every side
  EXPECT_EQ(top->BoundsRect(), Bounds(1, 2, 196, 20));
  EXPECT_EQ(client->BoundsRect(), Rect(3, 26 + 3, 197, 97));
  top->Margins()->SetBottom(10);
  EXPECT_EQ(client->Top(), 2 + 20 + 10 + 3);
}

TEST_F(AlignTest, PaddingAndBorderWidthShrinkTheAreaOfAlignedChildren) {
  Box b(200, 100);
  b.Parent->Padding()->SetBounds(5, 6, 7, 8);
  TLogGraphic* client = b.Add(alClient, Bounds(0, 0, 1, 1));
  EXPECT_EQ(client->BoundsRect(), Rect(5, 6, 193, 92));
  b.Parent->SetBorderWidth(2);
  EXPECT_EQ(client->BoundsRect(), Rect(7, 8, 191, 90));
}

TEST_F(AlignTest, ConstrainedControlsKeepTheirLimitsAndTheRestMovesUp) {
  Box b(200, 200);
  TLogGraphic* left = b.Add(alLeft, Bounds(0, 0, 150, 10));
  left->Constraints()->SetMaxWidth(60);
  EXPECT_EQ(left->Width(), 60);
  TLogGraphic* client = b.Add(alClient, Bounds(0, 0, 1, 1));
  client->Constraints()->SetMaxHeight(50);
  EXPECT_EQ(client->BoundsRect(), Bounds(60, 0, 140, 50));
  TLogGraphic* top = b.Add(alTop, Bounds(0, 0, 10, 5));
  top->Constraints()->SetMinHeight(30);
  EXPECT_EQ(top->BoundsRect(), Bounds(0, 0, 200, 30));
  EXPECT_EQ(left->BoundsRect(), Bounds(0, 30, 60, 170));
  // A maximum below the minimum cannot leave the control without a legal size.
  top->Constraints()->SetMaxHeight(10);
  EXPECT_EQ(top->Height(), 10);
  EXPECT_LE(top->Constraints()->MinHeight(), top->Constraints()->MaxHeight());
}

TEST_F(AlignTest, AnchorsKeepDistancesToTheAnchoredEdgesWhenTheParentResizes) {
  Box b(200, 100);
  TLogGraphic* right = b.Add(alNone, Bounds(150, 10, 40, 20));
  right->SetAnchors({akRight, akTop});
  TLogGraphic* stretch = b.Add(alNone, Bounds(10, 40, 180, 20));
  stretch->SetAnchors({akLeft, akRight, akBottom});
  TLogGraphic* all = b.Add(alNone, Bounds(10, 70, 20, 20));
  all->SetAnchors({akLeft, akTop, akRight, akBottom});
  TLogGraphic* centre = b.Add(alNone, Bounds(90, 40, 20, 20));
  centre->SetAnchors({});
  TLogGraphic* plain = b.Add(alNone, Bounds(5, 5, 5, 5));

  b.Parent->SetBounds(0, 0, 300, 160);
  EXPECT_EQ(right->BoundsRect(), Bounds(250, 10, 40, 20));
  EXPECT_EQ(stretch->BoundsRect(), Bounds(10, 100, 280, 20));
  EXPECT_EQ(all->BoundsRect(), Bounds(10, 70, 120, 80));
  EXPECT_EQ(centre->BoundsRect(), Bounds(140, 70, 20, 20));
  EXPECT_EQ(plain->BoundsRect(), Bounds(5, 5, 5, 5));
  // Back to the first size: back to the first places.
  b.Parent->SetBounds(0, 0, 200, 100);
  EXPECT_EQ(right->BoundsRect(), Bounds(150, 10, 40, 20));
  EXPECT_EQ(stretch->BoundsRect(), Bounds(10, 40, 180, 20));
  EXPECT_EQ(centre->BoundsRect(), Bounds(90, 40, 20, 20));
  // Moving an anchored control by hand makes the new place the reference.
  right->SetLeft(100);
  b.Parent->SetWidth(250);
  EXPECT_EQ(right->Left(), 150);
}

TEST_F(AlignTest, AnchorsWorkTheSameWithRealWindows) {
  TTestRoot* root = MakeRoot(200, 100);
  auto* c = Make<TLogControl>(root, Bounds(150, 60, 40, 30));
  c->SetAnchors({akRight, akBottom});
  auto* top = Make<TLogControl>(root, Bounds(0, 0, 10, 10));
  top->SetAlign(alTop);
  root->SetBounds(100, 100, 260, 130);
  Pump();
  EXPECT_EQ(c->BoundsRect(), Bounds(210, 90, 40, 30));
  TRect wr;
  GetWindowRect(c->Handle(), &wr);
  MapWindowPoints(nullptr, root->Handle(), &wr);
  EXPECT_EQ(wr, Bounds(210, 90, 40, 30));
  EXPECT_EQ(top->BoundsRect(), Bounds(0, 0, 260, 10));
}

TEST_F(AlignTest, CustomPlacementIsTheParentsChoice) {
  Box b(200, 100);
  struct Placer : TObject {
    int Calls = 0;
    void Place(TWinControl*, TControl* c, int& l, int& t, int& w, int& h, TRect& rect, TAlignInfo) {
      ++Calls;
      l = rect.Right - 30;
      t = rect.Bottom - 20;
      w = 30;
      h = 20;
    }
  } placer;
  b.Parent->SetOnAlignPosition(TAlignPositionEvent(&placer, &Placer::Place));
  TLogGraphic* c = b.Add(alCustom, Bounds(0, 0, 5, 5));
  EXPECT_EQ(c->BoundsRect(), Bounds(170, 80, 30, 20));
  b.Parent->SetWidth(300);
  EXPECT_EQ(c->BoundsRect(), Bounds(270, 80, 30, 20));
  EXPECT_GE(placer.Calls, 2);
}

TEST_F(AlignTest, SwitchingBetweenHorizontalAndVerticalBarsKeepsTheThickness) {
  Box b(200, 100);
  TLogGraphic* bar = b.Add(alTop, Bounds(0, 0, 10, 25));
  bar->SetAlign(alLeft);
  EXPECT_EQ(bar->Width(), 25);
  EXPECT_EQ(bar->Height(), 100);
  bar->SetAlign(alNone);
  EXPECT_EQ(bar->Anchors(), DefaultAnchors);
}

TEST_F(AlignTest, DisabledAlignmentRunsOnceWhenEnabled) {
  Box b(200, 100);
  TLogGraphic* client = b.Add(alClient, Bounds(0, 0, 1, 1));
  b.Parent->DisableAlign();
  b.Parent->SetBounds(0, 0, 400, 300);
  EXPECT_EQ(client->Width(), 200);
  b.Parent->EnableAlign();
  EXPECT_EQ(client->BoundsRect(), Bounds(0, 0, 400, 300));
}

TEST_F(AlignTest, AnAutoSizedContainerWrapsItsChildren) {
  TTestRoot* root = MakeRoot(400, 300);
  auto* box = Make<TLogControl>(root, Bounds(10, 10, 50, 50));
  auto* a = Make<TLogGraphic>(box, Bounds(5, 5, 100, 20));
  Make<TLogGraphic>(box, Bounds(5, 40, 30, 30));
  box->SetAutoSize(true);
  EXPECT_EQ(box->Width(), 105);
  EXPECT_EQ(box->Height(), 70);
  a->SetWidth(150);
  EXPECT_EQ(box->Width(), 155);
}

TEST_F(AlignTest, ResizeEventsFollowSizeChangesOnly) {
  Box b(100, 100);
  struct Counter : TObject {
    int N = 0;
    void OnResize(TObject*) { ++N; }
  } counter;
  TLogGraphic* c = b.Add(alNone, Bounds(0, 0, 10, 10));
  c->SetOnResize(TNotifyEvent(&counter, &Counter::OnResize));
  c->SetLeft(20);
  EXPECT_EQ(counter.N, 0);
  c->SetWidth(30);
  EXPECT_EQ(counter.N, 1);
  b.Parent->SetOnResize(TNotifyEvent(&counter, &Counter::OnResize));
  b.Parent->SetHeight(90);
  EXPECT_EQ(counter.N, 2);
}

}  // namespace
}  // namespace vcl::vcltest

namespace vcl::vcltest {
namespace {

TEST_F(AlignTest, AWindowMovedOrSizedByItsHandleIsAtItsNewBoundsWhenItsHandlersRun) {
  TTestRoot* root = MakeRoot();
  auto* c = Make<TLogControl>(root, Bounds(10, 10, 50, 40));
  c->HandleNeeded();
  struct Watcher : TObject {
    TControl* Control = nullptr;
    TRect Seen;
    void OnResize(TObject*) { Seen = Control->BoundsRect(); }
  } watcher;
  watcher.Control = c;
  c->SetOnResize(TNotifyEvent(&watcher, &Watcher::OnResize));
  SetWindowPos(c->Handle(), nullptr, 30, 20, 120, 70, SWP_NOZORDER | SWP_NOACTIVATE);
  EXPECT_EQ(watcher.Seen, Bounds(30, 20, 120, 70));
  EXPECT_EQ(c->BoundsRect(), Bounds(30, 20, 120, 70));
}

}  // namespace
}  // namespace vcl::vcltest
