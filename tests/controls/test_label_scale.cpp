// Labels under scaling: the font and the fitted bounds follow the density.
#include "ControlsTest.h"
#include "controls/kxLabels.h"

namespace ctltest {
namespace {

using LabelScale = ControlsTest;

TEST_F(LabelScale, ScalingGrowsTheFontAndRefitsTheBounds) {
  auto* panel = Make<TkxPanel>(nullptr, Rect(0, 0, 220, 160));
  panel->SetParentWindow(FTop);
  auto* l = Make<TkxLabel>(panel, Rect(10, 10, 75, 27));
  l->SetCaption(u"Scaled text");
  int h = l->Height(), w = l->Width();
  int fh = l->Font()->Height();
  panel->ScaleForPPI(192);
  EXPECT_EQ(l->Font()->Height(), fh * 2);
  EXPECT_NEAR(l->Height(), 2 * h, 3);
  EXPECT_NEAR(l->Width(), 2 * w, 6);
  EXPECT_EQ(l->Left(), 20);
}

}  // namespace
}  // namespace ctltest
