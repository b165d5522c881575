// Controls in stored window descriptions: published properties, children read as owned and
// parented controls, tab order, events, writing back, frames read from their own
// descriptions, and scroll boxes.
#include "host/classes/Filer.h"
#include "host/classes/TypInfo.h"
#include "host/rtl/Resources.h"
#include "tests/vcl/VclTest.h"

namespace vcl::vcltest {
namespace {

class TFormRoot : public TTestRoot {
 public:
  static const TClass Class;
  const TClass* ClassType() const override { return &Class; }
  using TTestRoot::TTestRoot;
  int Clicks = 0;
  void PanelClick(TObject*) { ++Clicks; }
};
const TClass TFormRoot::Class = TClass::Define<TFormRoot, TTestRoot>(u"TFormRoot", [](auto& c) {
  c.Method(u"PanelClick", &TFormRoot::PanelClick);
});

class TTestFrame : public TFrame {
 public:
  static const TClass Class;
  const TClass* ClassType() const override { return &Class; }
  using TFrame::TFrame;
};
const TClass TTestFrame::Class = TClass::Define<TTestFrame, TFrame>(u"TTestFrame");

const char kFrameText[] =
    "object TestFrame: TTestFrame\n"
    "  Width = 120\n"
    "  Height = 80\n"
    "  object Title: TLogGraphic\n"
    "    Left = 0\n    Top = 0\n    Width = 120\n    Height = 20\n"
    "    Align = alTop\n"
    "    Caption = 'Frame title'\n"
    "  end\n"
    "  object Field: TLogControl\n"
    "    Left = 10\n    Top = 30\n    Width = 50\n    Height = 20\n"
    "    TabStop = True\n"
    "  end\n"
    "end\n";

class StoredTest : public VclTest {
 protected:
  void SetUp() override {
    VclTest::SetUp();
    static bool once = [] {
      RegisterClasses({&TFormRoot::Class, &TTestFrame::Class});
      RegisterResource("RCDATA", "TTESTFRAME", reinterpret_cast<const Byte*>(kFrameText),
                       sizeof kFrameText - 1);
      return true;
    }();
    (void)once;
  }
};

const char16_t kForm[] =
    u"object Root: TFormRoot\n"
    u"  Left = 10\n  Top = 10\n  Width = 300\n  Height = 200\n"
    u"  Font.Height = -15\n"
    u"  object Panel1: TPanel\n"
    u"    Left = 0\n    Top = 0\n    Width = 300\n    Height = 41\n"
    u"    Align = alTop\n"
    u"    Caption = 'Top'\n"
    u"    Color = clRed\n"
    u"    ParentBackground = False\n"
    u"    TabOrder = 1\n"
    u"    OnClick = PanelClick\n"
    u"    object Inner: TLogControl\n"
    u"      Left = 200\n      Top = 5\n      Width = 60\n      Height = 30\n"
    u"      Anchors = [akTop, akRight]\n"
    u"      Constraints.MinWidth = 50\n"
    u"      Margins.Left = 7\n"
    u"      AlignWithMargins = True\n"
    u"      StyleElements = [seFont]\n"
    u"      StyleName = 'Glow'\n"
    u"      Cursor = crHandPoint\n"
    u"      Hint = 'inner hint'\n"
    u"      ShowHint = True\n"
    u"      TabStop = True\n"
    u"    end\n"
    u"  end\n"
    u"  object Box: TScrollBox\n"
    u"    Left = 0\n    Top = 41\n    Width = 300\n    Height = 159\n"
    u"    Align = alClient\n"
    u"    Padding.Left = 4\n"
    u"    TabOrder = 0\n"
    u"    ParentFont = False\n"
    u"    Font.Height = -20\n"
    u"    Font.Name = 'DejaVu Sans'\n"
    u"    Visible = False\n"
    u"  end\n"
    u"end\n";

TEST_F(StoredTest, ADescriptionSetsPublishedPropertiesAndBuildsTheTree) {
  auto root = std::make_unique<TFormRoot>();
  ReadComponentFromText(kForm, root.get(), u"form.txt");
  auto* panel = dynamic_cast<TPanel*>(root->FindComponent(u"Panel1"));
  auto* inner = dynamic_cast<TLogControl*>(root->FindComponent(u"Inner"));
  auto* box = dynamic_cast<TScrollBox*>(root->FindComponent(u"Box"));
  ASSERT_TRUE(panel && inner && box);
  EXPECT_EQ(panel->Parent(), root.get());
  EXPECT_EQ(inner->Parent(), panel);
  EXPECT_EQ(inner->Owner(), root.get());
  EXPECT_EQ(panel->Align(), alTop);
  EXPECT_EQ(panel->Caption(), u"Top");
  EXPECT_EQ(panel->Color(), clRed);
  EXPECT_FALSE(panel->ParentColor());
  EXPECT_FALSE(panel->ParentBackground());
  EXPECT_EQ(inner->Anchors(), (TAnchors{akTop, akRight}));
  EXPECT_EQ(inner->Constraints()->MinWidth(), 50);
  EXPECT_EQ(inner->Margins()->Left(), 7);
  EXPECT_TRUE(inner->AlignWithMargins());
  EXPECT_EQ(inner->StyleElements(), TStyleElements{seFont});
  EXPECT_EQ(inner->StyleName(), u"Glow");
  EXPECT_EQ(inner->Cursor(), crHandPoint);
  EXPECT_EQ(inner->Hint(), u"inner hint");
  EXPECT_TRUE(inner->ShowHint());
  EXPECT_FALSE(inner->ParentShowHint());
  EXPECT_EQ(inner->Font()->Height(), -15) << "the root's font reaches children that inherit it";
  EXPECT_EQ(box->Font()->Height(), -20);
  EXPECT_EQ(box->Font()->Name(), u"DejaVu Sans");
  EXPECT_EQ(box->Padding()->Left(), 4);
  EXPECT_FALSE(box->Visible());
  EXPECT_EQ(box->TabOrder(), 0);
  EXPECT_EQ(panel->TabOrder(), 1);
  panel->Click();
  EXPECT_EQ(root->Clicks, 1);

  // The parent grows: the right-anchored child follows.
  root->SetWidth(400);
  EXPECT_EQ(panel->Width(), 400);
  EXPECT_EQ(inner->Left(), 300);
}

TEST_F(StoredTest, WritingAndReadingBackGivesTheSameControls) {
  auto root = std::make_unique<TFormRoot>();
  ReadComponentFromText(kForm, root.get(), u"form.txt");
  String text = WriteComponentText(root.get());
  EXPECT_NE(text.find(u"ParentFont = False"), String::npos);
  EXPECT_EQ(text.find(u"Anchors = [akLeft, akTop]"), String::npos) << "defaults are left out";
  auto again = std::make_unique<TFormRoot>();
  ReadComponentFromText(text, again.get(), u"again.txt");
  auto* inner = dynamic_cast<TLogControl*>(again->FindComponent(u"Inner"));
  auto* box = dynamic_cast<TScrollBox*>(again->FindComponent(u"Box"));
  ASSERT_TRUE(inner && box);
  EXPECT_EQ(inner->BoundsRect(),
            dynamic_cast<TControl*>(root->FindComponent(u"Inner"))->BoundsRect());
  EXPECT_EQ(inner->Anchors(), (TAnchors{akTop, akRight}));
  EXPECT_EQ(inner->StyleElements(), TStyleElements{seFont});
  EXPECT_EQ(box->Font()->Height(), -20);
  EXPECT_EQ(box->TabOrder(), 0);
  EXPECT_EQ(WriteComponentText(again.get()), text);
}

TEST_F(StoredTest, BadValuesAreErrorsNamingThePropertyAndValue) {
  auto root = std::make_unique<TFormRoot>();
  const char16_t bad[] =
      u"object Root: TFormRoot\n"
      u"  object P: TPanel\n"
      u"    Align = alSideways\n"
      u"  end\n"
      u"end\n";
  try {
    ReadComponentFromText(bad, root.get(), u"bad.txt");
    FAIL();
  } catch (const EReadError& e) {
    EXPECT_NE(e.Message().find(u"Align"), String::npos) << StringToUtf8(e.Message());
    EXPECT_NE(e.Message().find(u"bad.txt"), String::npos);
  }
  EXPECT_EQ(root->ControlCount(), 0);
}

TEST_F(StoredTest, FramesReadTheirOwnDescriptionEachTime) {
  TTestRoot* root = MakeRoot(400, 300);
  auto* f1 = new TTestFrame(root);
  f1->SetParent(root);
  auto* f2 = new TTestFrame(root);
  f2->SetName(u"Second");
  f2->SetParent(root);
  f2->SetLeft(150);
  for (TTestFrame* f : {f1, f2}) {
    ASSERT_EQ(f->ControlCount(), 2);
    auto* title = dynamic_cast<TLogGraphic*>(f->FindComponent(u"Title"));
    ASSERT_NE(title, nullptr);
    EXPECT_EQ(title->Owner(), f) << "a frame owns its content";
    EXPECT_EQ(title->Caption(), u"Frame title");
    EXPECT_EQ(title->Width(), 120);
    EXPECT_EQ(f->Width(), 120);
  }
  EXPECT_NE(f1->FindComponent(u"Field"), f2->FindComponent(u"Field"));
  EXPECT_EQ(f1->Name(), u"TestFrame");
  EXPECT_EQ(f2->Name(), u"Second");
  auto* f3 = new TTestFrame(root);
  f3->SetParent(root);
  EXPECT_EQ(f3->Name(), u"TestFrame_1") << "stored names stay unique among the owner's";
}

TEST_F(StoredTest, AFrameInsideADescriptionTakesTheOverridesOfThatDescription) {
  auto root = std::make_unique<TFormRoot>();
  const char16_t form[] =
      u"object Root: TFormRoot\n"
      u"  Width = 400\n  Height = 300\n"
      u"  inline Frame1: TTestFrame\n"
      u"    Left = 20\n    Top = 30\n    Width = 200\n"
      u"    inherited Title: TLogGraphic\n"
      u"      Caption = 'Changed'\n"
      u"    end\n"
      u"  end\n"
      u"end\n";
  ReadComponentFromText(form, root.get(), u"inline.txt");
  auto* frame = dynamic_cast<TTestFrame*>(root->FindComponent(u"Frame1"));
  ASSERT_NE(frame, nullptr);
  EXPECT_EQ(frame->Parent(), root.get());
  EXPECT_EQ(frame->BoundsRect(), Bounds(20, 30, 200, 80));
  auto* title = dynamic_cast<TLogGraphic*>(frame->FindComponent(u"Title"));
  ASSERT_NE(title, nullptr);
  EXPECT_EQ(title->Caption(), u"Changed");
  EXPECT_EQ(title->Width(), 200) << "aligned to the frame's new width";
  EXPECT_EQ(frame->ControlCount(), 2);
}

TEST_F(StoredTest, AScrollBoxRangeFollowsItsChildrenAndScrollingMovesThem) {
  TTestRoot* root = MakeRoot(400, 300);
  auto* box = new TScrollBox(nullptr);
  box->SetBounds(0, 0, 200, 100);
  box->SetBorderStyle(bsNone);
  box->SetParent(root);
  auto* far = Make<TLogControl>(box, Bounds(10, 250, 50, 30));
  auto* wide = Make<TLogGraphic>(box, Bounds(300, 10, 20, 20));
  Pump();
  EXPECT_EQ(box->VertScrollBar()->Range(), 280);
  EXPECT_EQ(box->HorzScrollBar()->Range(), 320);
  EXPECT_TRUE(box->VertScrollBar()->IsScrollBarVisible());
  EXPECT_TRUE(box->HorzScrollBar()->IsScrollBarVisible());
  int clientH = box->ClientHeight();
  EXPECT_EQ(clientH, 100 - GetSystemMetrics(SM_CYHSCROLL));

  box->VertScrollBar()->SetPosition(100);
  EXPECT_EQ(far->Top(), 150);
  EXPECT_EQ(wide->Top(), -90);
  TRect wr;
  GetWindowRect(far->Handle(), &wr);
  MapWindowPoints(nullptr, box->Handle(), &wr);
  EXPECT_EQ(wr.Top, 150) << "the child window moved with it";
  EXPECT_EQ(GetScrollPos(box->Handle(), SB_VERT), 100);
  EXPECT_EQ(box->VertScrollBar()->Range(), 280) << "the range does not change by scrolling";

  box->VertScrollBar()->SetPosition(10000);
  EXPECT_EQ(box->VertScrollBar()->Position(), 280 - clientH);
  SendMessageW(box->Handle(), WM_VSCROLL, MAKEWPARAM(SB_TOP, 0), 0);
  EXPECT_EQ(far->Top(), 250);
  SendMessageW(box->Handle(), WM_VSCROLL, MAKEWPARAM(SB_LINEDOWN, 0), 0);
  EXPECT_EQ(box->VertScrollBar()->Position(), 8);

  box->ScrollInView(far);
  EXPECT_EQ(far->Top() + far->Height(), clientH);
  box->ScrollInView(wide);
  EXPECT_EQ(wide->Left() + wide->Width(), box->ClientWidth());
  far->Hide();
  wide->Hide();
  Pump();
  EXPECT_FALSE(box->VertScrollBar()->IsScrollBarVisible());
  EXPECT_EQ(box->VertScrollBar()->Position(), 0);
  EXPECT_EQ(box->HorzScrollBar()->Position(), 0);
}

TEST_F(StoredTest, FocusScrollsTheFocusedControlIntoView) {
  TTestRoot* root = MakeRoot(400, 300);
  auto* box = new TScrollBox(nullptr);
  box->SetBounds(0, 0, 200, 100);
  box->SetParent(root);
  auto* far = Make<TLogControl>(box, Bounds(10, 250, 50, 30));
  SetActiveWindow(root->Handle());
  far->SetFocus();
  Pump();
  EXPECT_GT(box->VertScrollBar()->Position(), 0);
  EXPECT_LE(far->Top() + far->Height(), box->ClientHeight());
  EXPECT_GE(far->Top(), 0);
}

}  // namespace
}  // namespace vcl::vcltest
