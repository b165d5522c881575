// Per-control styling by inheritance: a container's StyleName paints everything inside it that
// names no style of its own, a change of it re-styles the subtree once, and style hooks come
// and go with the style that applies.
#include "ControlsTest.h"
#include "controls/kxLabels.h"
#include "controls/kxPanels.h"
#include "draw/kxStyleUtils.h"
#include "host/themes/ControlStyleHooks.h"
#include "host/themes/StyleManager.h"

namespace ctltest {
namespace {

// A panel counting the style changes it hears of.
class TCountingPanel : public TkxPanel {
 public:
  explicit TCountingPanel(TComponent* owner) : TkxPanel(owner) {}
  int StyleChanges = 0;

 protected:
  void WndProc(TMessage& m) override {
    if (m.Msg == CM_STYLECHANGED) ++StyleChanges;
    TkxPanel::WndProc(m);
  }
};

std::uint32_t FaceOf(StringView style) {
  COLORREF c = ColorToRGB(TStyleManager::Style(style)->GetSystemColor(clBtnFace));
  return (std::uint32_t(GetRValue(c)) << 16) | (GetGValue(c) << 8) | GetBValue(c);
}

class StyleInheritance : public ControlsTest {
 protected:
  void SetUp() override {
    ControlsTest::SetUp();
    FRoot = MakeRoot(240, 180);
    FPage = Make<TCountingPanel>(FRoot, Rect(0, 0, 200, 160));
    FPage->SetStyleName(u"Windows10 Dark");
    FPanel = Make<TCountingPanel>(FPage, Rect(10, 10, 110, 90));
    FLabel = Make<TkxLabel>(FPanel, Rect(5, 5, 60, 20));
    FLabel->SetCaption(u"Label");
    FOwn = Make<TCountingPanel>(FPage, Rect(120, 10, 190, 90));
    FOwn->SetStyleName(u"Sky");
    wintest::Pump();
  }
  void TearDown() override {
    TStyleManager::SetSystemStyleIsDefault(false);
    TStyleManager::SetStyle(u"Windows");
    ControlsTest::TearDown();
  }
  static String NameOf(const TComponent* c) { return ControlStyleServices(c)->Name(); }

  TPatternControl* FRoot = nullptr;
  TCountingPanel *FPage = nullptr, *FPanel = nullptr, *FOwn = nullptr;
  TkxLabel* FLabel = nullptr;
};

TEST_F(StyleInheritance, ThePageStylePaintsEverythingInsideItUnderEveryCustomStyle) {
  for (const String& style : TStyleManager::StyleNames()) {
    if (style == u"Windows") continue;
    TStyleManager::SetStyle(style);
    wintest::Pump();
    const std::string s = StringToUtf8(style);
    for (TControl* c : std::initializer_list<TControl*>{FPage, FPanel, FLabel}) {
      EXPECT_EQ(NameOf(c), u"Windows10 Dark") << s;
      EXPECT_EQ(StyleServices(c)->Name(), u"Windows10 Dark") << s << " (the host's answer)";
      EXPECT_TRUE(IsWindowsStyle(c)) << s;
      EXPECT_EQ(ColorToStyleColor(clBtnFace, c),
                TStyleManager::Style(u"Windows10 Dark")->GetSystemColor(clBtnFace))
          << s;
    }
    EXPECT_EQ(NameOf(FOwn), u"Sky") << s << ": a child's own name wins";
    // What is painted: the inner panel in the page's face colour.
    EXPECT_EQ(Shown(60, 70), FaceOf(u"Windows10 Dark")) << s;
    EXPECT_EQ(Shown(150, 70), FaceOf(u"Sky")) << s;
  }
  // Without a custom style the system style paints everything.
  TStyleManager::SetStyle(u"Windows");
  EXPECT_EQ(ControlStyleServices(FLabel), TStyleManager::SystemStyle());
}

TEST_F(StyleInheritance, ChangingThePageStyleRestylesItsSubtreeOnce) {
  TStyleManager::SetStyle(u"Glow");
  wintest::Pump();
  const int page = FPage->StyleChanges, panel = FPanel->StyleChanges, own = FOwn->StyleChanges;
  FPage->SetStyleName(u"Tablet Dark");
  EXPECT_EQ(FPage->StyleChanges, page + 1);
  EXPECT_EQ(FPanel->StyleChanges, panel + 1);
  EXPECT_EQ(FOwn->StyleChanges, own + 1);
  EXPECT_EQ(NameOf(FLabel), u"Tablet Dark");
  EXPECT_EQ(NameOf(FOwn), u"Sky");
  wintest::Pump();
  EXPECT_EQ(Shown(60, 70), FaceOf(u"Tablet Dark")) << "repainted in the new style";
  // Naming no style: the subtree follows the application style again.
  FPage->SetStyleName(u"");
  wintest::Pump();
  EXPECT_EQ(NameOf(FPanel), u"Glow");
  EXPECT_EQ(Shown(60, 70), FaceOf(u"Glow"));
  // An unknown name counts as none: the nearest parent that names a style decides.
  FPage->SetStyleName(u"Windows10 Dark");
  FPanel->SetStyleName(u"No Such Style");
  EXPECT_EQ(NameOf(FLabel), u"Windows10 Dark");
}

TEST_F(StyleInheritance, TheSystemStyleAsDefaultAppliesWhereNothingNamesAStyle) {
  TStyleManager::SetStyle(u"Glow");
  FPage->SetStyleName(u"");
  EXPECT_EQ(NameOf(FPanel), u"Glow");
  TStyleManager::SetSystemStyleIsDefault(true);
  EXPECT_EQ(ControlStyleServices(FPanel), TStyleManager::SystemStyle());
  EXPECT_FALSE(IsCustomStyle(FLabel));
  EXPECT_EQ(NameOf(FOwn), u"Sky");
  wintest::Pump();
  EXPECT_EQ(Shown(60, 70), FaceOf(u"Windows"));
  FPage->SetStyleName(u"Windows10 Dark");
  EXPECT_EQ(NameOf(FLabel), u"Windows10 Dark");
}

TEST_F(StyleInheritance, HooksFollowTheStyleThatApplies) {
  auto* box = Make<TScrollBox>(FPanel, Rect(10, 30, 90, 70));
  box->HandleNeeded();
  wintest::Pump();
  EXPECT_EQ(TStyleManager::StyleHookOf(box), nullptr) << "no custom style is active";
  TStyleManager::SetStyle(u"Glow");
  ASSERT_NE(TStyleManager::StyleHookOf(box), nullptr);
  EXPECT_EQ(TStyleManager::StyleHookOf(box)->StyleServices()->Name(), u"Windows10 Dark");
  // The page in the system look: the box inside it loses its hook.
  FPage->SetStyleName(u"Windows");
  EXPECT_EQ(TStyleManager::StyleHookOf(box), nullptr);
  // Following the application style, the box is hooked again, in that style.
  FPage->SetStyleName(u"");
  ASSERT_NE(TStyleManager::StyleHookOf(box), nullptr);
  EXPECT_EQ(TStyleManager::StyleHookOf(box)->StyleServices()->Name(), u"Glow");
}

}  // namespace
}  // namespace ctltest
