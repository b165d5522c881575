// The list box under a custom style: the engine's hook attaches, and the items and the area
// below them take the style's list colour.
#include "host/themes/ListStyleHooks.h"
#include "host/vcl/ListCtrls.h"
#include "tests/vcl/VclTest.h"

namespace vcl::vcltest {
namespace {

class ListStyleHooks : public VclTest {
 protected:
  void SetUp() override {
    VclTest::SetUp();
    RegisterListControlClasses();
    TStyleManager::SetStyle(u"Windows");
  }
  void TearDown() override {
    TStyleManager::SetStyle(u"Windows");
    VclTest::TearDown();
  }
};

TEST_F(ListStyleHooks, ACustomStyleColoursTheItemsAndTheEmptyArea) {
  TTestRoot* root = MakeRoot();
  auto* list = Make<TListBox>(root, TRect(10, 10, 130, 110));
  list->Items()->Add(u"a");
  list->HandleNeeded();
  Pump();
  EXPECT_EQ(Pixel(root, 100, 15), Rgb(ColorToRGB(clWindow)));
  TStyleManager::SetStyle(u"Tablet Dark");
  Pump();
  auto* hook = dynamic_cast<TListBoxStyleHook*>(TStyleManager::StyleHookOf(list));
  ASSERT_NE(hook, nullptr);
  TColor back = hook->StyleServices()->GetStyleColor(scListBox);
  InvalidateRect(list->Handle(), nullptr, true);
  Pump();
  TPoint item(100, 15), below(60, 90);  // right of the item's text; under the only item
  EXPECT_EQ(Pixel(root, item.X, item.Y), Rgb(ColorToRGB(back)));
  EXPECT_EQ(Pixel(root, below.X, below.Y), Rgb(ColorToRGB(back)));
  EXPECT_NE(Rgb(ColorToRGB(back)), Rgb(ColorToRGB(clWindow)));
}

}  // namespace
}  // namespace vcl::vcltest
