// What transparent controls capture beneath them while a custom style paints their parent: the
// style's parent-background painter over a library control, a form, a host container and a
// frame that shows its own parent, and a border of the capturing window.
#include "ControlsTest.h"
#include "host/themes/StyleManager.h"
#include "host/vcl/Forms.h"

namespace ctltest {
namespace {

class ParentBackground : public ControlsTest {
 protected:
  void SetUp() override {
    ControlsTest::SetUp();
    TStyleManager::SetStyle(u"Glow");
    FEngine = TStyleManager::ParentBackgroundPainter();
    ASSERT_TRUE(FEngine) << "the engine paints parent backgrounds";
    TStyleManager::SetParentBackgroundPainter(
        [this](WindowObject* w, HDC dc, const TThemedElementDetails* d, bool only, const TRect* b) {
          ++Calls;
          return FEngine(w, dc, d, only, b);
        });
  }
  void TearDown() override {
    TStyleManager::SetParentBackgroundPainter(FEngine);
    TStyleManager::SetStyle(u"Windows");
    ControlsTest::TearDown();
  }
  // What a top-level window shows at a client point of a control.
  static std::uint32_t ShownAt(TWinControl* c, TPoint client) {
    HWND top = c->Handle();
    while (GetParent(top)) top = GetParent(top);
    TPoint s = c->ClientToScreen(client);
    TRect wr;
    GetWindowRect(top, &wr);
    return wintest::PixelAt(top, s.X - wr.Left, s.Y - wr.Top);
  }

  int Calls = 0;
  TStyleManager::TParentBackgroundPainter FEngine;
};

TEST_F(ParentBackground, ALibraryParentLandsUnderTheClientAreaOfABorderedWindow) {
  TPatternControl* root = MakeRoot();
  auto* probe = Make<TBorderedProbe>(root, Rect(21, 13, 61, 43));
  wintest::Pump();
  ASSERT_EQ(probe->ClientWidth(), 38);
  EXPECT_GT(Calls, 0) << "the style painted the capture";
  // The client area starts one pixel in: the root's pattern there, not shifted by the border.
  EXPECT_TRUE(ShowsPattern(Rect(22, 14, 60, 42), 10));
  EXPECT_EQ(Rgb(probe->ParentBackgroundBuffer(), 0, 0), PatternAt(22, 14, 10));
  EXPECT_EQ(Rgb(probe->ParentBackgroundBuffer(), 5, 3), PatternAt(27, 17, 10));
}

TEST_F(ParentBackground, AFormAndAHostContainerPaintTheirOwnBackgrounds) {
  auto* form = new TForm(FOwner.get());
  form->SetBounds(300, 200, 300, 200);
  form->SetColor(clRed);
  auto* onForm = Make<TProbe>(form, Rect(10, 10, 50, 40));
  auto* box = Make<TScrollBox>(form, Rect(100, 10, 260, 150));
  box->SetBorderStyle(bsNone);
  box->SetColor(clLime);
  auto* inBox = Make<TProbe>(box, Rect(20, 20, 60, 60));
  form->Show();
  wintest::Pump();
  EXPECT_GT(Calls, 1);
  // Each probe shows what its parent shows beside it.
  const std::uint32_t formFace = ShownAt(form, {80, 100});
  const std::uint32_t boxFace = ShownAt(box, {100, 100});
  EXPECT_NE(formFace, boxFace);
  EXPECT_EQ(ShownAt(onForm, {5, 5}), formFace);
  EXPECT_EQ(Rgb(onForm->ParentBackgroundBuffer(), 5, 5), formFace);
  EXPECT_EQ(ShownAt(inBox, {5, 5}), boxFace);
  EXPECT_EQ(Rgb(inBox->ParentBackgroundBuffer(), 5, 5), boxFace);
}

TEST_F(ParentBackground, AFrameShowingItsParentPassesThePatternThrough) {
  TPatternControl* root = MakeRoot();
  auto* frame = Make<TFrame>(root, Rect(20, 20, 140, 110));
  frame->SetParentBackground(true);
  Make<TProbe>(frame, Rect(10, 10, 50, 40));
  wintest::Pump();
  EXPECT_GT(Calls, 0);
  EXPECT_TRUE(ShowsPattern(Rect(30, 30, 70, 60), 10));
}

}  // namespace
}  // namespace ctltest
