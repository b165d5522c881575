// The custom control base beyond painting: scaling and its event, bounds changes, the
// layered opaque mode, failures while drawing, and the stored form.
#include "ControlsTest.h"
#include "draw/kxSystem.h"
#include "host/classes/Filer.h"

namespace ctltest {
namespace {

using ControlBase = ControlsTest;

struct TScaleWatch : TObject {
  void Changed(TObject* sender) {
    ++Count;
    Factor = static_cast<TkxCustomControl*>(sender)->CurrentScaleFactor();
    Width = static_cast<TControl*>(sender)->Width();
  }
  int Count = 0;
  double Factor = 0;
  int Width = 0;
};

TEST_F(ControlBase, ChangeScaleRaisesOnChangeScaleWithTheNewFactor) {
  TPatternControl* root = MakeRoot(100, 60);
  TScaleWatch watch;
  root->SetOnChangeScale(TNotifyEvent(&watch, &TScaleWatch::Changed));
  root->ScaleForPPI(144);
  EXPECT_EQ(watch.Count, 1);
  EXPECT_DOUBLE_EQ(watch.Factor, 1.5);
  EXPECT_EQ(watch.Width, 150) << "raised after the host scaled the bounds";
  root->ScaleForPPI(144);
  EXPECT_EQ(watch.Count, 1) << "no change, no event";
  root->ScaleForPPI(96);
  EXPECT_EQ(watch.Count, 2);
  EXPECT_DOUBLE_EQ(root->CurrentScaleFactor(), 1.0);
  EXPECT_EQ(root->Width(), 100);
}

// Records whether the erase phase was forbidden while its bounds changed.
class TBoundsProbe : public TProbe {
 public:
  using TProbe::TProbe;
  bool ForcedDuringSize = false;

 protected:
  void WMSize(TMessage& m) override {
    ForcedDuringSize = FForceDraw;
    TProbe::WMSize(m);
  }
};

TEST_F(ControlBase, MovingAContainerForbidsErasePaintsInItsChildren) {
  TPatternControl* root = MakeRoot();
  auto* container = Make<TBoundsProbe>(root, Rect(10, 10, 90, 90));
  auto* child = Make<TBoundsProbe>(container, Rect(5, 5, 30, 30));
  child->SetAlign(alClient);  // resized with its container
  wintest::Pump();
  bool childForced = false;
  struct TSpy : TObject {
    TBoundsProbe* Child = nullptr;
    bool* Seen = nullptr;
    void Resized(TObject*) { *Seen = Child->FForceDraw; }
  } spy;
  spy.Child = child;
  spy.Seen = &childForced;
  child->SetOnResize(TNotifyEvent(&spy, &TSpy::Resized));
  container->SetBounds(12, 12, 100, 80);
  EXPECT_TRUE(container->ForcedDuringSize);
  EXPECT_TRUE(childForced);
  EXPECT_FALSE(container->FForceDraw);
  EXPECT_FALSE(child->FForceDraw);
}

TEST_F(ControlBase, MovingATransparentControlRecapturesAtOnce) {
  TPatternControl* root = MakeRoot();
  auto* probe = Make<TProbe>(root, Rect(10, 10, 40, 40));
  wintest::Pump();
  probe->SetBounds(50, 30, 30, 30);
  EXPECT_EQ(Rgb(probe->ParentBackgroundBuffer(), 0, 0), PatternAt(50, 30, 10));
  EXPECT_EQ(Shown(51, 31), PatternAt(51, 31, 10));
}

// A control whose drawing fails once.
class TFailing : public TProbe {
 public:
  using TProbe::TProbe;
  bool Fail = false;

 protected:
  void DrawControl(TCanvas* c, TkxsCtrlState s) override {
    if (Fail) throw EInvalidOperation(u"drawing failed");
    TProbe::DrawControl(c, s);
  }
};

TEST_F(ControlBase, FailedDrawingReleasesTheBufferAndTheFlags) {
  TPatternControl* root = MakeRoot();
  auto* probe = Make<TFailing>(root, Rect(10, 10, 40, 40));
  wintest::Pump();
  probe->Fail = true;
  EXPECT_THROW(probe->RePaintControl(), EInvalidOperation);
  EXPECT_EQ(probe->FPaintBuffer, nullptr);
  EXPECT_FALSE(probe->FForceDraw);
  probe->Fail = false;
  // The next background change captures again (a stuck repaint flag would skip it).
  int captures = probe->Captures;
  probe->Invalidate();
  probe->Update();
  EXPECT_EQ(probe->Captures, captures + 1);
}

// A control whose drawing asks for a repaint and stops keeping its buffer, as a property
// setter called while drawing would.
class TReentrant : public TProbe {
 public:
  using TProbe::TProbe;
  bool Poke = false;

 protected:
  void DrawControl(TCanvas* c, TkxsCtrlState s) override {
    TProbe::DrawControl(c, s);
    if (Poke) {
      Poke = false;
      SetStorePaintBuffer(false);
      RePaintControl();
    }
    c->Brush()->SetColor(clBlue);
    c->FillRect(Rect(0, 0, Width(), Height()));
  }
};

TEST_F(ControlBase, DrawingThatAsksForARepaintKeepsTheBufferIntact) {
  TPatternControl* root = MakeRoot();
  auto* probe = Make<TReentrant>(root, Rect(10, 10, 40, 40));
  probe->SetStorePaintBuffer(true);
  wintest::Pump();
  probe->Poke = true;
  probe->RePaintControl();
  EXPECT_EQ(probe->FPaintBuffer, nullptr);
  EXPECT_EQ(Shown(20, 20), 0x0000FFu);
}

TEST_F(ControlBase, FluentOpaqueNeedsWindows10Build17134) {
  TPatternControl* root = MakeRoot();
  auto* probe = Make<TProbe>(root, Rect(10, 10, 40, 40));
  probe->HandleNeeded();
  struct TVersionGuard {
    ~TVersionGuard() { SetWindowsVersion(10, 0, 19045); }
  } restore;

  SetWindowsVersion(10, 0, 17133);
  HWND before = probe->Handle();
  probe->SetFluentUIOpaque(true);
  EXPECT_FALSE(probe->IsFluentUIOpaqueActive());
  EXPECT_EQ(probe->Handle(), before) << "the window was made again";
  EXPECT_FALSE(GetWindowLongW(probe->Handle(), GWL_EXSTYLE) & WS_EX_LAYERED);
  EXPECT_TRUE(probe->TransparentBackground());

  probe->SetFluentUIOpaque(false);
  SetWindowsVersion(10, 0, 17134);
  probe->SetFluentUIOpaque(true);
  EXPECT_TRUE(probe->IsFluentUIOpaqueActive());
  EXPECT_TRUE(GetWindowLongW(probe->Handle(), GWL_EXSTYLE) & WS_EX_LAYERED);
  EXPECT_FALSE(probe->TransparentBackground());
  // One full redraw 10 ms after creation.
  int paints = probe->Paints;
  wintest::Pump();
  paints = probe->Paints;
  wintest::AdvanceClock(10);
  wintest::Pump();
  EXPECT_EQ(probe->Paints, paints + 1);
  wintest::AdvanceClock(50);
  wintest::Pump();
  EXPECT_EQ(probe->Paints, paints + 1) << "the redraw timer keeps running";
}

TEST_F(ControlBase, ReadsFromAWindowDescription) {
  TPatternControl* root = MakeRoot();
  ReadComponentFromText(u"object Root: TkxCustomControl\n"
                        u"  FluentUIOpaque = True\n"
                        u"  object Inner: TkxCustomControl\n"
                        u"    Left = 7\n    Top = 9\n    Width = 30\n    Height = 20\n"
                        u"    FluentUIOpaque = True\n"
                        u"    StyleElements = [seFont]\n"
                        u"  end\n"
                        u"end\n",
                        root);
  EXPECT_TRUE(root->FluentUIOpaque());
  auto* inner = dynamic_cast<TkxCustomControl*>(root->FindComponent(u"Inner"));
  ASSERT_NE(inner, nullptr);
  EXPECT_EQ(inner->Parent(), root);
  EXPECT_EQ(inner->BoundsRect(), Rect(7, 9, 37, 29));
  EXPECT_TRUE(inner->FluentUIOpaque());
  EXPECT_EQ(inner->StyleElements(), TStyleElements{seFont});
}

}  // namespace
}  // namespace ctltest
