// List box wrappers: items kept across window re-creation and read from a stored
// description, owner drawing through OnDrawItem, OnClick from the native selection, index
// errors naming the index, and the check list box's toggles by mouse and Space.
#include "host/classes/Filer.h"
#include "host/classes/TypInfo.h"
#include "host/vcl/ListCtrls.h"
#include "host/win/ctl/ListBox.h"
#include "tests/vcl/VclTest.h"

namespace vcl::vcltest {
namespace {

class TListRoot : public TTestRoot {
 public:
  static const TClass Class;
  const TClass* ClassType() const override { return &Class; }
  using TTestRoot::TTestRoot;
};
const TClass TListRoot::Class = TClass::Define<TListRoot, TTestRoot>(u"TListRoot");

class ListCtrls : public VclTest {
 protected:
  void SetUp() override {
    VclTest::SetUp();
    RegisterListControlClasses();
    static bool once = [] {
      RegisterClass(&TListRoot::Class);
      return true;
    }();
    (void)once;
  }
  struct Counter : TObject {
    int Clicks = 0;
    std::vector<std::pair<int, TOwnerDrawState>> Drawn;
    void Click(TObject*) { ++Clicks; }
    void Draw(TWinControl*, int index, TRect, TOwnerDrawState state) { Drawn.push_back({index, state}); }
  };
  TPoint ScreenOfItem(TCustomListBox* l, int index, int x) {
    TRect r = l->ItemRect(index);
    TPoint p(x, r.Top + r.Height() / 2);
    ClientToScreen(l->Handle(), &p);
    return p;
  }
};

TEST_F(ListCtrls, ItemsAndSelectionSurviveWindowRecreation) {
  TTestRoot* root = MakeRoot();
  auto* list = new TListBox(root);
  list->Items()->Add(u"one");
  list->Items()->Add(u"two");
  list->Items()->Add(u"three");
  list->SetItemIndex(1);
  EXPECT_FALSE(list->HandleAllocated());
  list->SetBounds(10, 10, 120, 100);
  list->SetParent(root);
  Pump();
  ASSERT_TRUE(list->HandleAllocated());
  EXPECT_EQ(SendMessageW(list->Handle(), LB_GETCOUNT, 0, 0), 3);
  EXPECT_EQ(list->ItemIndex(), 1);
  list->SetBorderStyle(bsNone);  // re-creates the window
  Pump();
  EXPECT_EQ(list->Count(), 3);
  EXPECT_EQ(list->Items()->Strings(2), u"three");
  EXPECT_EQ(list->ItemIndex(), 1);
  list->SetSorted(true);
  EXPECT_EQ(list->Items()->Strings(0), u"one");
  EXPECT_EQ(list->Items()->Strings(1), u"three");
  list->Items()->Add(u"four");
  EXPECT_EQ(list->Items()->IndexOf(u"four"), 0);
}

TEST_F(ListCtrls, BadIndexesRaiseErrorsNamingThem) {
  TTestRoot* root = MakeRoot();
  auto* list = Make<TListBox>(root, TRect(10, 10, 130, 110));
  list->Items()->Add(u"a");
  try {
    list->SetItemIndex(5);
    FAIL() << "no error";
  } catch (const EListError& e) {
    EXPECT_NE(String(e.Message()).find(u"(5)"), String::npos);
  }
  EXPECT_THROW(list->Items()->Strings(3), EListError);
  EXPECT_THROW(list->Items()->Delete(-1), EListError);
  EXPECT_THROW(list->SetItemHeight(0), EInvalidOperation);
  EXPECT_THROW(list->Selected(2), EListError);
  EXPECT_EQ(list->Count(), 1);
  EXPECT_EQ(list->ItemAtPos(TPoint(5, 90), true), -1);
}

TEST_F(ListCtrls, OwnerDrawAndClickEventsFollowTheNativeList) {
  TTestRoot* root = MakeRoot();
  auto* list = Make<TListBox>(root, TRect(10, 10, 130, 110));
  Counter counter;
  list->SetStyle(lbOwnerDrawFixed);
  list->SetItemHeight(20);
  list->SetOnDrawItem(TDrawItemEvent(&counter, &Counter::Draw));
  list->SetOnClick(TNotifyEvent(&counter, &Counter::Click));
  for (const char16_t* s : {u"a", u"b", u"c"}) list->Items()->Add(s);
  list->SetFocus();
  Pump();
  Key(VK_DOWN);
  Key(VK_DOWN);
  EXPECT_EQ(list->ItemIndex(), 1);
  EXPECT_EQ(counter.Clicks, 2);
  EXPECT_EQ(list->ItemRect(1).Top, 20);
  counter.Drawn.clear();
  InvalidateRect(list->Handle(), nullptr, true);
  Pump();
  bool sawSelected = false;
  for (auto& [index, state] : counter.Drawn) {
    if (index == 1) {
      EXPECT_TRUE(state.Contains(odSelected));
      EXPECT_TRUE(state.Contains(odFocused));
      sawSelected = true;
    } else {
      EXPECT_FALSE(state.Contains(odSelected) || state.Contains(odFocused)) << index;
    }
  }
  EXPECT_TRUE(sawSelected);
  Click(ScreenOfItem(list, 2, 30));
  EXPECT_EQ(list->ItemIndex(), 2);
  EXPECT_EQ(counter.Clicks, 3);
}

TEST_F(ListCtrls, APostedThumbTrackScrollsTheList) {
  TTestRoot* root = MakeRoot();
  auto* list = Make<TListBox>(root, TRect(10, 10, 130, 110));
  list->Items()->BeginUpdate();
  for (int i = 0; i < 100; ++i) list->Items()->Add(u"row");
  list->Items()->EndUpdate();
  Pump();
  // What a style hook dragging its own thumb posts to the list.
  PostMessageW(list->Handle(), WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 40), 0);
  Pump();
  EXPECT_EQ(list->TopIndex(), 40);
  EXPECT_EQ(GetScrollPos(list->Handle(), SB_VERT), 40);
  EXPECT_THROW(list->SetTopIndex(100), EListError);
  EXPECT_EQ(list->TopIndex(), 40);
}

TEST_F(ListCtrls, ItemHeightFollowsADensityChange) {
  TTestRoot* root = MakeRoot();
  auto* list = Make<TCheckListBox>(root, TRect(10, 10, 150, 120));
  list->SetItemHeight(25);
  list->Items()->Add(u"x");
  Pump();
  list->ScaleForPPI(144);
  EXPECT_EQ(list->ItemHeight(), 38);  // MulDiv rounds to nearest
  EXPECT_EQ(list->ItemRect(0).Height(), 38);
  EXPECT_EQ(list->CheckWidth(), MulDiv(17, 144, 96));
}

TEST_F(ListCtrls, CheckListTogglesByCheckAreaAndSpace) {
  TTestRoot* root = MakeRoot();
  auto* list = Make<TCheckListBox>(root, TRect(10, 10, 150, 120));
  for (const char16_t* s : {u"red", u"green", u"blue"}) list->Items()->Add(s);
  Counter counter;
  list->SetOnClickCheck(TNotifyEvent(&counter, &Counter::Click));
  Pump();
  // A press at x = 10 lies in the check area: it toggles.
  Click(ScreenOfItem(list, 1, 10));
  EXPECT_TRUE(list->Checked(1));
  EXPECT_EQ(counter.Clicks, 1);
  EXPECT_EQ(list->ItemIndex(), 1);
  // A press on the text only selects.
  Click(ScreenOfItem(list, 2, 80));
  EXPECT_FALSE(list->Checked(2));
  EXPECT_EQ(counter.Clicks, 1);
  Type(VK_SPACE, " ");
  EXPECT_TRUE(list->Checked(2));
  EXPECT_EQ(counter.Clicks, 2);
  list->SetAllowGrayed(true);
  Type(VK_SPACE, " ");
  EXPECT_EQ(list->State(2), cbGrayed);
  Type(VK_SPACE, " ");
  EXPECT_EQ(list->State(2), cbUnchecked);
  // States follow their items when others are inserted or deleted.
  list->Items()->Insert(0, u"first");
  EXPECT_TRUE(list->Checked(2));
  list->Items()->Delete(0);
  EXPECT_TRUE(list->Checked(1));
  EXPECT_THROW(list->State(99), EListError);
  EXPECT_THROW(list->SetChecked(-1, true), EListError);
}

TEST_F(ListCtrls, StoredDescriptionFillsTheItems) {
  auto root = std::make_unique<TListRoot>();
  ReadComponentFromText(u"object Root: TListRoot\n"
                        u"  Left = 10\n  Top = 10\n  Width = 300\n  Height = 200\n"
                        u"  object Fruit: TListBox\n"
                        u"    Left = 8\n    Top = 8\n    Width = 120\n    Height = 90\n"
                        u"    ItemHeight = 18\n"
                        u"    Style = lbOwnerDrawFixed\n"
                        u"    MultiSelect = True\n"
                        u"    Items.Strings = (\n      'apple'\n      'pear')\n"
                        u"  end\n"
                        u"  object Checks: TCheckListBox\n"
                        u"    Left = 140\n    Top = 8\n    Width = 120\n    Height = 90\n"
                        u"    AllowGrayed = True\n"
                        u"    Items.Strings = (\n      'x')\n"
                        u"  end\n"
                        u"end\n",
                        root.get(), u"lists.txt");
  auto* fruit = dynamic_cast<TListBox*>(root->FindComponent(u"Fruit"));
  auto* checks = dynamic_cast<TCheckListBox*>(root->FindComponent(u"Checks"));
  ASSERT_TRUE(fruit && checks);
  root->Show();
  Pump();
  ASSERT_TRUE(fruit->HandleAllocated());
  EXPECT_EQ(fruit->Count(), 2);
  EXPECT_EQ(fruit->Items()->Strings(1), u"pear");
  EXPECT_EQ(SendMessageW(fruit->Handle(), LB_GETITEMHEIGHT, 0, 0), 18);
  fruit->SetSelected(1, true);
  EXPECT_EQ(fruit->SelCount(), 1);
  EXPECT_TRUE(checks->AllowGrayed());
  EXPECT_EQ(checks->Style(), lbOwnerDrawFixed);
  EXPECT_EQ(checks->Count(), 1);
}

}  // namespace
}  // namespace vcl::vcltest
