// The drag, dock and touch properties and events every control publishes: a window
// description naming all of them loads, binds its handlers and writes back unchanged.
#include "host/classes/Filer.h"
#include "host/classes/TypInfo.h"
#include "host/vcl/DragDrop.h"
#include "host/vcl/Touch.h"
#include "tests/vcl/VclTest.h"

namespace vcl::vcltest {
namespace {

class TDockRoot : public TTestRoot {
 public:
  static const TClass Class;
  const TClass* ClassType() const override { return &Class; }
  using TTestRoot::TTestRoot;
  int Drops = 0;
  void PanelDragDrop(TObject*, TObject*, int, int) { ++Drops; }
  void PanelDragOver(TObject*, TObject*, int, int, TDragState, bool& accept) { accept = true; }
  void PanelEndDrag(TObject*, TObject*, int, int) {}
  void PanelStartDrag(TObject*, TDragObject*&) {}
  void PanelMouseActivate(TObject*, TMouseButton, TShiftState, int, int, int,
                          TMouseActivate& r) {
    r = maNoActivate;
  }
  void PanelDockDrop(TObject*, TDragDockObject*, int, int) {}
  void PanelDockOver(TObject*, TDragDockObject*, int, int, TDragState, bool&) {}
  void PanelEndDock(TObject*, TObject*, int, int) {}
  void PanelStartDock(TObject*, TDragDockObject*&) {}
  void PanelUnDock(TObject*, TControl*, TWinControl*, bool&) {}
  void PanelGetSiteInfo(TObject*, TControl*, TRect&, TPoint, bool&) {}
  void PanelGesture(TObject*, const TGestureEventInfo&, bool&) {}
};
const TClass TDockRoot::Class = TClass::Define<TDockRoot, TTestRoot>(u"TDockRoot", [](auto& c) {
  c.Method(u"PanelDragDrop", &TDockRoot::PanelDragDrop);
  c.Method(u"PanelDragOver", &TDockRoot::PanelDragOver);
  c.Method(u"PanelEndDrag", &TDockRoot::PanelEndDrag);
  c.Method(u"PanelStartDrag", &TDockRoot::PanelStartDrag);
  c.Method(u"PanelMouseActivate", &TDockRoot::PanelMouseActivate);
  c.Method(u"PanelDockDrop", &TDockRoot::PanelDockDrop);
  c.Method(u"PanelDockOver", &TDockRoot::PanelDockOver);
  c.Method(u"PanelEndDock", &TDockRoot::PanelEndDock);
  c.Method(u"PanelStartDock", &TDockRoot::PanelStartDock);
  c.Method(u"PanelUnDock", &TDockRoot::PanelUnDock);
  c.Method(u"PanelGetSiteInfo", &TDockRoot::PanelGetSiteInfo);
  c.Method(u"PanelGesture", &TDockRoot::PanelGesture);
});

class RepublishedTest : public VclTest {
 protected:
  void SetUp() override {
    VclTest::SetUp();
    static bool once = [] {
      RegisterClasses({&TDockRoot::Class});
      return true;
    }();
    (void)once;
  }
};

// Every re-published property with a value other than its default, in the writer's order and
// line breaks.
const char16_t kDescription[] =
    u"object Root: TDockRoot\r\n"
    u"  Left = 0\r\n"
    u"  Top = 0\r\n"
    u"  Width = 300\r\n"
    u"  Height = 200\r\n"
    u"  Color = clWhite\r\n"
    u"  Font.Charset = DEFAULT_CHARSET\r\n"
    u"  Font.Color = clWindowText\r\n"
    u"  Font.Height = -11\r\n"
    u"  Font.Name = 'Tahoma'\r\n"
    u"  Font.Style = []\r\n"
    u"  ParentColor = False\r\n"
    u"  ParentFont = False\r\n"
    u"  Visible = False\r\n"
    u"  ParentBackground = False\r\n"
    u"  object Panel1: TPanel\r\n"
    u"    Left = 10\r\n"
    u"    Top = 10\r\n"
    u"    Width = 120\r\n"
    u"    Height = 80\r\n"
    u"    Color = clBtnFace\r\n"
    u"    DragCursor = crHandPoint\r\n"
    u"    DragKind = dkDock\r\n"
    u"    DragMode = dmAutomatic\r\n"
    u"    Touch.InteractiveGestures = [igZoom, igRotate]\r\n"
    u"    Touch.InteractiveGestureOptions = [igoPanInertia]\r\n"
    u"    Touch.ParentTabletOptions = False\r\n"
    u"    Touch.TabletOptions = [toPenTapFeedback, toFlicks]\r\n"
    u"    OnDragDrop = PanelDragDrop\r\n"
    u"    OnDragOver = PanelDragOver\r\n"
    u"    OnEndDock = PanelEndDock\r\n"
    u"    OnEndDrag = PanelEndDrag\r\n"
    u"    OnGesture = PanelGesture\r\n"
    u"    OnMouseActivate = PanelMouseActivate\r\n"
    u"    OnStartDock = PanelStartDock\r\n"
    u"    OnStartDrag = PanelStartDrag\r\n"
    u"    DockSite = True\r\n"
    u"    TabOrder = 0\r\n"
    u"    OnDockDrop = PanelDockDrop\r\n"
    u"    OnDockOver = PanelDockOver\r\n"
    u"    OnGetSiteInfo = PanelGetSiteInfo\r\n"
    u"    OnUnDock = PanelUnDock\r\n"
    u"  end\r\n"
    u"end\r\n";

TEST_F(RepublishedTest, ADescriptionUsingEveryRepublishedPropertyLoadsAndWritesBackUnchanged) {
  auto root = std::make_unique<TDockRoot>();
  ReadComponentFromText(kDescription, root.get(), u"dock.txt");
  auto* panel = dynamic_cast<TPanel*>(root->FindComponent(u"Panel1"));
  ASSERT_NE(panel, nullptr);
  EXPECT_EQ(panel->DragCursor(), crHandPoint);
  EXPECT_EQ(panel->DragKind(), dkDock);
  EXPECT_EQ(panel->DragMode(), dmAutomatic);
  EXPECT_TRUE(panel->DockSite());
  EXPECT_EQ(panel->Touch()->InteractiveGestures(), (TInteractiveGestures{igZoom, igRotate}));
  EXPECT_EQ(panel->Touch()->TabletOptions(), (TTabletOptions{toPenTapFeedback, toFlicks}));
  EXPECT_FALSE(panel->Touch()->ParentTabletOptions());
  ASSERT_TRUE(bool(panel->OnDragDrop()));
  panel->DragDrop(panel, 1, 2);
  EXPECT_EQ(root->Drops, 1) << "the stored handler is bound to the root's method";
  bool accept = false;
  panel->DragOver(panel, 0, 0, dsDragMove, accept);
  EXPECT_TRUE(accept);
  TMouseActivate answer = maDefault;
  panel->OnMouseActivate()(panel, mbLeft, {}, 0, 0, 1, answer);
  EXPECT_EQ(answer, maNoActivate);

  EXPECT_EQ(WriteComponentText(root.get()), String(kDescription));
}

TEST_F(RepublishedTest, DefaultsAreNotWrittenAndBadValuesNameTheProperty) {
  auto root = std::make_unique<TDockRoot>();
  auto* panel = new TPanel(root.get());
  panel->SetName(u"P");
  panel->SetParent(root.get());
  String text = WriteComponentText(root.get());
  for (const char16_t* name : {u"DragCursor", u"DragKind", u"DragMode", u"DockSite", u"Touch"})
    EXPECT_EQ(text.find(name), String::npos) << StringToUtf8(String(name));
  const char16_t bad[] =
      u"object Root: TDockRoot\n"
      u"  object P: TPanel\n"
      u"    DragMode = dmSometimes\n"
      u"  end\n"
      u"end\n";
  auto again = std::make_unique<TDockRoot>();
  try {
    ReadComponentFromText(bad, again.get(), u"bad.txt");
    FAIL();
  } catch (const EReadError& e) {
    EXPECT_NE(e.Message().find(u"DragMode"), String::npos) << StringToUtf8(e.Message());
  }
}

}  // namespace
}  // namespace vcl::vcltest
