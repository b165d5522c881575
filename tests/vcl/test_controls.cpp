// Control tree basics: notifications, font and colour inheritance, text, window recreation,
// reflected notifications and the replaceable window procedure.
#include <set>

#include "tests/vcl/VclTest.h"

namespace vcl::vcltest {
namespace {

using ControlsTest = VclTest;

TEST(ControlMessages, NotificationNumbersAreDistinctAndClearOfTheLibrarysOwn) {
  const UINT cms[] = {
      CM_ACTIVATE, CM_DEACTIVATE, CM_DIALOGKEY, CM_DIALOGCHAR, CM_FOCUSCHANGED,
      CM_PARENTFONTCHANGED, CM_PARENTCOLORCHANGED, CM_HITTEST, CM_VISIBLECHANGED,
      CM_ENABLEDCHANGED, CM_COLORCHANGED, CM_FONTCHANGED, CM_CURSORCHANGED, CM_TEXTCHANGED,
      CM_MOUSEENTER, CM_MOUSELEAVE, CM_MENUCHANGED, CM_APPKEYDOWN, CM_BUTTONPRESSED,
      CM_SHOWINGCHANGED, CM_ENTER, CM_EXIT, CM_DESIGNHITTEST, CM_ICONCHANGED, CM_WANTSPECIALKEY,
      CM_SHOWHINTCHANGED, CM_PARENTSHOWHINTCHANGED, CM_SYSCOLORCHANGE, CM_HINTSHOW,
      CM_CANCELMODE, CM_RECREATEWND, CM_CTL3DCHANGED, CM_BIDIMODECHANGED,
      CM_PARENTBIDIMODECHANGED, CM_CHILDKEY, CM_CONTROLCHANGE, CM_CONTROLLISTCHANGE, CM_RELEASE,
      CM_MOUSEWHEEL, CM_PARENTDOUBLEBUFFEREDCHANGED, CM_STYLEELEMENTSCHANGED, CM_STYLECHANGED,
      CM_STYLENAMECHANGED, CM_TABSTOPCHANGED, CM_DOUBLEBUFFEREDCHANGED};
  std::set<UINT> seen;
  for (UINT m : cms) {
    EXPECT_TRUE(seen.insert(m).second) << m;
    EXPECT_GE(m, CM_BASE);
    EXPECT_NE(m, 45512u);
    EXPECT_NE(m, 45513u);
    EXPECT_NE(m, WM_USER + 260);
    EXPECT_NE(m, WM_USER + 270);
    EXPECT_LT(m, CN_BASE);
  }
  EXPECT_EQ(CM_BASE, 45056u);
  EXPECT_EQ(CM_STYLECHANGED, CM_BASE + 81);
  EXPECT_EQ(CN_COMMAND, 0xBC00u + WM_COMMAND);
  EXPECT_EQ(CN_CTLCOLORSTATIC, 0xBC00u + WM_CTLCOLORSTATIC);
  EXPECT_EQ(CN_KEYDOWN, 0xBC00u + WM_KEYDOWN);
}

TEST_F(ControlsTest, FontFollowsTheParentUntilSetAndAgainWhenParentFontReturns) {
  TTestRoot* root = MakeRoot();
  auto* mid = Make<TLogControl>(root, Bounds(0, 0, 200, 200));
  auto* leaf = Make<TLogGraphic>(mid, Bounds(0, 0, 20, 20));
  root->Font()->SetName(u"DejaVu Sans");
  root->Font()->SetHeight(-20);
  EXPECT_EQ(mid->Font()->Height(), -20);
  EXPECT_EQ(leaf->Font()->Height(), -20);
  EXPECT_EQ(leaf->Font()->Name(), u"DejaVu Sans");
  EXPECT_TRUE(mid->ParentFont());
  EXPECT_GE(mid->Count(CM_PARENTFONTCHANGED), 1);
  EXPECT_GE(leaf->Count(CM_FONTCHANGED), 1);

  mid->Font()->SetHeight(-9);
  EXPECT_FALSE(mid->ParentFont());
  EXPECT_EQ(leaf->Font()->Height(), -9) << "the grandchild follows its own parent";
  root->Font()->SetHeight(-30);
  EXPECT_EQ(mid->Font()->Height(), -9);
  EXPECT_EQ(leaf->Font()->Height(), -9);

  mid->SetParentFont(true);
  EXPECT_EQ(mid->Font()->Height(), -30);
  EXPECT_EQ(leaf->Font()->Height(), -30);
  EXPECT_TRUE(mid->ParentFont());
}

TEST_F(ControlsTest, ColourFollowsTheParentAndSettingItClearsParentColor) {
  TTestRoot* root = MakeRoot();
  auto* child = Make<TLogControl>(root, Bounds(0, 0, 50, 50));
  auto* leaf = Make<TLogGraphic>(child, Bounds(0, 0, 10, 10));
  EXPECT_EQ(child->Color(), clWhite);
  root->SetColor(clYellow);
  EXPECT_EQ(child->Color(), clYellow);
  EXPECT_EQ(leaf->Color(), clYellow);
  EXPECT_EQ(child->Brush()->Color(), clYellow);
  int changes = child->Count(CM_COLORCHANGED);
  root->SetColor(clYellow);
  EXPECT_EQ(child->Count(CM_COLORCHANGED), changes) << "no notification without a change";

  child->SetColor(clBlue);
  EXPECT_FALSE(child->ParentColor());
  root->SetColor(clRed);
  EXPECT_EQ(child->Color(), clBlue);
  EXPECT_EQ(leaf->Color(), clBlue);
  child->SetParentColor(true);
  EXPECT_EQ(child->Color(), clRed);
  EXPECT_EQ(leaf->Color(), clRed);
}

TEST_F(ControlsTest, ShowHintAndReadingOrderAreInheritedToo) {
  TTestRoot* root = MakeRoot();
  auto* child = Make<TLogControl>(root, Bounds(0, 0, 50, 50));
  root->SetShowHint(true);
  EXPECT_TRUE(child->ShowHint());
  EXPECT_TRUE(child->ParentShowHint());
  child->SetShowHint(false);
  EXPECT_FALSE(child->ParentShowHint());
  root->SetBiDiMode(bdRightToLeft);
  EXPECT_EQ(child->BiDiMode(), bdRightToLeft);
  EXPECT_TRUE(child->UseRightToLeftAlignment());
  EXPECT_EQ(child->DrawTextBiDiModeFlags(DT_LEFT) & (DT_RIGHT | DT_RTLREADING),
            DT_RIGHT | DT_RTLREADING);
}

TEST_F(ControlsTest, TextChangesNotifyOnceAndLiveInTheWindowWhileItExists) {
  TTestRoot* root = MakeRoot();
  auto* c = Make<TLogControl>(root, Bounds(0, 0, 50, 50));
  c->SetText(u"one");
  c->SetText(u"one");
  EXPECT_EQ(c->Count(CM_TEXTCHANGED), 1);
  ASSERT_TRUE(c->HandleAllocated());
  EXPECT_EQ(GetWindowText(c->Handle()), u"one");
  SetWindowText(c->Handle(), u"two");
  EXPECT_EQ(c->Caption(), u"two");
  auto* g = Make<TLogGraphic>(root, Bounds(0, 0, 5, 5));
  g->SetCaption(u"label");
  Char buf[16];
  EXPECT_EQ(g->Perform(WM_GETTEXT, 16, LPARAM(buf)), 5);
  EXPECT_EQ(String(buf), u"label");
}

TEST_F(ControlsTest, ANewNamedControlTakesItsNameAsCaption) {
  TTestRoot* root = MakeRoot();
  auto* c = Make<TLogControl>(root, Bounds(0, 0, 50, 50));
  c->SetName(u"Panel1");
  EXPECT_EQ(c->Caption(), u"Panel1");
  c->SetName(u"Panel2");
  EXPECT_EQ(c->Caption(), u"Panel2");
  c->SetCaption(u"Hello");
  c->SetName(u"Panel3");
  EXPECT_EQ(c->Caption(), u"Hello");
}

TEST_F(ControlsTest, RecreatingAWindowKeepsBoundsTextFocusAndTheChildrensWindows) {
  TTestRoot* root = MakeRoot();
  auto* box = Make<TLogControl>(root, Bounds(10, 20, 200, 150));
  auto* inner = Make<TLogControl>(box, Bounds(5, 6, 50, 40));
  inner->SetTabStop(true);
  box->SetCaption(u"caption");
  box->HandleNeeded();
  SetActiveWindow(root->Handle());
  inner->SetFocus();
  ASSERT_TRUE(inner->Focused());

  box->Perform(CM_RECREATEWND, 0, 0);
  Pump();
  ASSERT_TRUE(box->HandleAllocated());
  ASSERT_TRUE(inner->HandleAllocated());
  EXPECT_EQ(box->Count(WM_DESTROY), 1);
  EXPECT_EQ(box->Count(WM_CREATE), 2);
  EXPECT_EQ(inner->Count(WM_DESTROY), 1);
  EXPECT_EQ(inner->Count(WM_CREATE), 2);
  EXPECT_EQ(GetParent(inner->Handle()), box->Handle());
  EXPECT_EQ(box->BoundsRect(), Bounds(10, 20, 200, 150));
  TRect wr;
  GetWindowRect(inner->Handle(), &wr);
  MapWindowPoints(nullptr, box->Handle(), &wr);
  EXPECT_EQ(wr, Bounds(5, 6, 50, 40));
  EXPECT_EQ(box->Caption(), u"caption");
  EXPECT_EQ(GetWindowText(box->Handle()), u"caption");
  EXPECT_TRUE(inner->Focused());
  EXPECT_EQ(FindControl(box->Handle()), box);
}

TEST_F(ControlsTest, ReflectedNotificationsReachTheChildControl) {
  TTestRoot* root = MakeRoot();
  auto* child = Make<TLogControl>(root, Bounds(0, 0, 50, 50));
  HWND h = child->Handle();
  SendMessageW(root->Handle(), WM_COMMAND, MAKEWPARAM(1, 0), LPARAM(h));
  EXPECT_EQ(child->Count(CN_COMMAND), 1);
  NMHDR hdr;
  hdr.hwndFrom = h;
  hdr.code = 7;
  SendMessageW(root->Handle(), WM_NOTIFY, 1, LPARAM(&hdr));
  ASSERT_EQ(child->Count(CN_NOTIFY), 1);
  EXPECT_EQ(reinterpret_cast<NMHDR*>(child->Full.back().LParam)->code, 7u);
  DRAWITEMSTRUCT dis;
  dis.CtlType = ODT_BUTTON;
  dis.hwndItem = h;
  SendMessageW(root->Handle(), WM_DRAWITEM, 0, LPARAM(&dis));
  EXPECT_EQ(child->Count(CN_DRAWITEM), 1);
  MEASUREITEMSTRUCT mis;
  mis.CtlType = ODT_LISTBOX;
  mis.CtlID = UINT(GetDlgCtrlID(h));
  SendMessageW(root->Handle(), WM_MEASUREITEM, mis.CtlID, LPARAM(&mis));
  EXPECT_EQ(child->Count(CN_MEASUREITEM), 1);

  child->SetColor(clLime);
  HDC dc = GetDC(h);
  LRESULT brush = SendMessageW(root->Handle(), WM_CTLCOLORBTN, WPARAM(dc), LPARAM(h));
  EXPECT_EQ(child->Count(CN_CTLCOLORBTN), 1);
  EXPECT_EQ(brush, reinterpret_cast<LRESULT>(child->Brush()->Handle()));
  EXPECT_EQ(GetBkColor(dc), ColorToRGB(clLime));
  ReleaseDC(h, dc);
}

TEST_F(ControlsTest, AReplacedWindowProcSeesEveryMessageAndCanBeRestored) {
  TTestRoot* root = MakeRoot();
  auto* c = Make<TLogControl>(root, Bounds(0, 0, 50, 50));
  struct Spy : TObject {
    TControl* Target;
    TWndMethod Old;
    int Seen = 0;
    void Proc(TMessage& m) {
      if (m.Msg == CM_TEXTCHANGED) ++Seen;
      Old(m);
    }
  } spy;
  spy.Target = c;
  spy.Old = c->WindowProc();
  c->SetWindowProc(TWndMethod(&spy, &Spy::Proc));
  c->SetCaption(u"x");
  SetWindowText(c->Handle(), u"y");
  c->Perform(CM_TEXTCHANGED, 0, 0);
  EXPECT_EQ(spy.Seen, 2);
  EXPECT_EQ(c->Count(CM_TEXTCHANGED), 2) << "the old procedure still runs";
  c->SetWindowProc(spy.Old);
  c->SetCaption(u"z");
  EXPECT_EQ(spy.Seen, 2);
}

TEST_F(ControlsTest, RemovingAndFreeingControlsLeavesNoDanglingChildOrWindow) {
  TTestRoot* root = MakeRoot();
  auto* box = Make<TLogControl>(root, Bounds(0, 0, 100, 100));
  auto* inner = Make<TLogControl>(box, Bounds(0, 0, 10, 10));
  Make<TLogGraphic>(box, Bounds(0, 0, 10, 10));
  HWND innerWnd = inner->Handle();
  EXPECT_EQ(box->ControlCount(), 2);
  inner->SetParent(nullptr);
  EXPECT_EQ(box->ControlCount(), 1);
  EXPECT_FALSE(IsWindow(innerWnd));
  EXPECT_FALSE(inner->HandleAllocated());
  inner->SetParent(root);
  EXPECT_TRUE(inner->HandleAllocated());
  HWND boxWnd = box->Handle();
  delete box;
  EXPECT_FALSE(IsWindow(boxWnd));
  EXPECT_EQ(root->ControlCount(), 1);
  EXPECT_EQ(root->Controls(0), inner);
  EXPECT_THROW(root->Controls(5), EListError);
}

TEST_F(ControlsTest, AControlCannotBecomeItsOwnAncestor) {
  TTestRoot* root = MakeRoot();
  auto* a = Make<TLogControl>(root, Bounds(0, 0, 100, 100));
  auto* b = Make<TLogControl>(a, Bounds(0, 0, 10, 10));
  EXPECT_THROW(a->SetParent(b), EInvalidOperation);
  EXPECT_THROW(a->SetParent(a), EInvalidOperation);
  EXPECT_EQ(b->Parent(), a);
  EXPECT_EQ(a->Parent(), root);
}

TEST_F(ControlsTest, AChildWindowWithoutParentWindowIsAnErrorNamingTheControl) {
  TLogControl orphan(nullptr);
  orphan.SetName(u"Orphan");
  try {
    orphan.HandleNeeded();
    FAIL();
  } catch (const EInvalidOperation& e) {
    EXPECT_NE(e.Message().find(u"Orphan"), String::npos);
  }
}

TEST_F(ControlsTest, PopupMenuMustBeAPopupMenu) {
  TTestRoot* root = MakeRoot();
  auto* c = Make<TLogControl>(root, Bounds(0, 0, 10, 10));
  TComponent other(nullptr);
  other.SetName(u"Other");
  try {
    c->SetPopupMenuComponent(&other);
    FAIL();
  } catch (const EInvalidOperation& e) {
    EXPECT_NE(e.Message().find(u"Other"), String::npos);
  }
  EXPECT_EQ(c->PopupMenuComponent(), nullptr);
}

TEST_F(ControlsTest, StyleElementsDefaultToAllAndChangesNotify) {
  TTestRoot* root = MakeRoot();
  auto* c = Make<TLogControl>(root, Bounds(0, 0, 10, 10));
  EXPECT_EQ(c->StyleElements(), (TStyleElements{seFont, seClient, seBorder}));
  c->SetStyleElements({seFont});
  c->SetStyleElements({seFont});
  EXPECT_EQ(c->Count(CM_STYLEELEMENTSCHANGED), 1);
  c->SetStyleName(u"Glow");
  EXPECT_EQ(c->Count(CM_STYLECHANGED), 1);
}

}  // namespace
}  // namespace vcl::vcltest
