// Mouse and keyboard through the headless backend's real input: entering and leaving graphic
// and windowed controls, clicks, tab order, focus entering and leaving, dialog keys and
// accelerators.
#include "host/platform/headless/HeadlessBackend.h"
#include "host/rtl/NumFormat.h"
#include "tests/vcl/VclTest.h"

namespace vcl::vcltest {
namespace {

using InputTest = VclTest;

struct EventLog : TObject {
  std::vector<String> Lines;
  void Enter(TObject* s) { Lines.push_back(u"enter " + dynamic_cast<TComponent*>(s)->Name()); }
  void Leave(TObject* s) { Lines.push_back(u"leave " + dynamic_cast<TComponent*>(s)->Name()); }
  void Click(TObject* s) { Lines.push_back(u"click " + dynamic_cast<TComponent*>(s)->Name()); }
  void Down(TObject* s, TMouseButton b, TShiftState, int x, int y) {
    Lines.push_back(u"down " + dynamic_cast<TComponent*>(s)->Name() + u" " + IntToStr(x) + u"," +
                    IntToStr(y) + (b == mbRight ? u" right" : u""));
  }
  void Wire(TControl* c, StringView name) {
    c->SetName(name);
    c->SetOnMouseEnter(TNotifyEvent(this, &EventLog::Enter));
    c->SetOnMouseLeave(TNotifyEvent(this, &EventLog::Leave));
    c->SetOnClick(TNotifyEvent(this, &EventLog::Click));
    c->SetOnMouseDown(TMouseEvent(this, &EventLog::Down));
  }
  void WireFocus(TWinControl* c, StringView name) {
    c->SetName(name);
    c->SetOnEnter(TNotifyEvent(this, &EventLog::Enter));
    c->SetOnExit(TNotifyEvent(this, &EventLog::Leave));
  }
  String Take() {
    String r;
    for (const String& l : Lines) r += (r.empty() ? u"" : u"; ") + l;
    Lines.clear();
    return r;
  }
};


TEST_F(InputTest, MouseEntersAndLeavesGraphicAndWindowedControls) {
  TTestRoot* root = MakeRoot(300, 200, 100, 100);
  EventLog log;
  auto* panel = Make<TLogControl>(root, Bounds(10, 10, 150, 100));
  auto* shape = Make<TLogGraphic>(panel, Bounds(10, 10, 30, 30));
  auto* button = Make<TLogControl>(panel, Bounds(80, 10, 40, 30));
  auto* side = Make<TLogGraphic>(root, Bounds(200, 10, 50, 50));
  log.Wire(root, u"Root");
  log.Wire(panel, u"Panel");
  log.Wire(shape, u"Shape");
  log.Wire(button, u"Button");
  log.Wire(side, u"Side");
  Pump();
  TPoint o = root->ClientOrigin();

  MoveMouse({o.X + 5, o.Y + 5});
  EXPECT_EQ(log.Take(), u"enter Root");
  MoveMouse({o.X + 15, o.Y + 15});
  EXPECT_EQ(log.Take(), u"leave Root; enter Panel");
  EXPECT_TRUE(panel->MouseInClient());
  MoveMouse({o.X + 25, o.Y + 25});  // onto the graphic control inside the panel
  EXPECT_EQ(log.Take(), u"leave Panel; enter Shape");
  EXPECT_TRUE(shape->MouseInClient());
  EXPECT_FALSE(panel->MouseInClient());
  MoveMouse({o.X + 100, o.Y + 25});  // onto the windowed child
  EXPECT_EQ(log.Take(), u"leave Shape; enter Button");
  MoveMouse({o.X + 220, o.Y + 20});  // straight across to a graphic control of the root
  EXPECT_EQ(log.Take(), u"leave Button; enter Side");
  MoveMouse({1500, 900});  // off the window
  EXPECT_EQ(log.Take(), u"leave Side");
  EXPECT_FALSE(side->MouseInClient());
  // Parents hear of their children's entering, with the child as lParam.
  EXPECT_GE(panel->Count(CM_MOUSEENTER), 3);
}

TEST_F(InputTest, AClickOnAGraphicControlGoesToItInItsOwnCoordinates) {
  TTestRoot* root = MakeRoot(300, 200, 100, 100);
  EventLog log;
  auto* shape = Make<TLogGraphic>(root, Bounds(40, 30, 50, 50));
  log.Wire(shape, u"Shape");
  log.Wire(root, u"Root");
  Pump();
  TPoint o = root->ClientOrigin();
  MoveMouse({o.X + 45, o.Y + 37});
  log.Take();
  Click({o.X + 45, o.Y + 37});
  EXPECT_EQ(log.Take(), u"down Shape 5,7; click Shape");
  EXPECT_EQ(shape->Clicks, 1);
  // Pressed on the control and released elsewhere: no click; the control kept the mouse.
  wintest::Headless().InjectMouseButton(platform::MouseButton::Left, true);
  Pump();
  EXPECT_TRUE(shape->MouseCapture());
  MoveMouse({o.X + 200, o.Y + 150});
  wintest::Headless().InjectMouseButton(platform::MouseButton::Left, false);
  Pump();
  EXPECT_EQ(shape->Clicks, 1);
  EXPECT_FALSE(shape->MouseCapture());
  log.Take();
  Click({o.X + 150, o.Y + 150});
  EXPECT_EQ(log.Take(), u"down Root 150,150; click Root");
}

TEST_F(InputTest, TabOrderDecidesWhereSelectNextGoes) {
  TTestRoot* root = MakeRoot();
  auto* a = Make<TLogControl>(root, Bounds(0, 0, 20, 20));
  auto* b = Make<TLogControl>(root, Bounds(30, 0, 20, 20));
  auto* group = Make<TLogControl>(root, Bounds(0, 30, 100, 50));
  auto* g1 = Make<TLogControl>(group, Bounds(0, 0, 20, 20));
  auto* g2 = Make<TLogControl>(group, Bounds(30, 0, 20, 20));
  for (TWinControl* c : std::vector<TWinControl*>{a, b, g1, g2})
    c->SetTabStop(true);
  b->SetTabOrder(0);
  EXPECT_EQ(b->TabOrder(), 0);
  EXPECT_EQ(a->TabOrder(), 1);
  g2->SetTabOrder(-5);
  EXPECT_EQ(g2->TabOrder(), 0) << "clamped into the list";
  std::vector<TWinControl*> order;
  root->GetTabOrderList(order);
  ASSERT_EQ(order.size(), 5u);
  EXPECT_EQ(order[0], b);
  EXPECT_EQ(order[1], a);
  EXPECT_EQ(order[2], group);
  EXPECT_EQ(order[3], g2);
  EXPECT_EQ(order[4], g1);

  SetActiveWindow(root->Handle());
  b->SetFocus();
  root->SelectNext(b, true, true);
  EXPECT_TRUE(a->Focused());
  root->SelectNext(a, true, true);
  EXPECT_TRUE(g2->Focused()) << "the group itself is no tab stop";
  g2->Hide();
  root->SelectNext(a, true, true);
  EXPECT_TRUE(g1->Focused()) << "hidden controls are skipped";
  root->SelectNext(g1, true, true);
  EXPECT_TRUE(b->Focused()) << "wraps around";
  root->SelectNext(b, false, true);
  EXPECT_TRUE(g1->Focused());
  a->SetEnabled(false);
  EXPECT_EQ(root->FindNextControl(b, true, true, false), g1);
  EXPECT_FALSE(a->CanFocus());
  EXPECT_THROW(a->SetFocus(), EInvalidOperation);
}

TEST_F(InputTest, FocusEntersAndExitsContainersInOrder) {
  TTestRoot* root = MakeRoot();
  EventLog log;
  auto* left = Make<TLogControl>(root, Bounds(0, 0, 100, 100));
  auto* l1 = Make<TLogControl>(left, Bounds(0, 0, 20, 20));
  auto* l2 = Make<TLogControl>(left, Bounds(30, 0, 20, 20));
  auto* right = Make<TLogControl>(root, Bounds(100, 0, 100, 100));
  auto* r1 = Make<TLogControl>(right, Bounds(0, 0, 20, 20));
  log.WireFocus(left, u"Left");
  log.WireFocus(l1, u"L1");
  log.WireFocus(l2, u"L2");
  log.WireFocus(right, u"Right");
  log.WireFocus(r1, u"R1");
  SetActiveWindow(root->Handle());
  l1->SetFocus();
  EXPECT_EQ(log.Take(), u"enter Left; enter L1");
  l2->SetFocus();
  EXPECT_EQ(log.Take(), u"leave L1; enter L2");
  r1->SetFocus();
  EXPECT_EQ(log.Take(), u"leave L2; leave Left; enter Right; enter R1");
  EXPECT_EQ(root->EnteredControl(), r1);
  EXPECT_GE(l1->Count(CM_FOCUSCHANGED), 1) << "broadcast to every control";
  EXPECT_EQ(l1->Full.back().Msg == CM_FOCUSCHANGED ? l1->Full.back().LParam : LPARAM(r1),
            LPARAM(r1));
}

TEST_F(InputTest, DialogKeysGoToTheRootAndAreBroadcastUnlessTheFocusedControlWantsThem) {
  TTestRoot* root = MakeRoot();
  auto* edit = Make<TLogControl>(root, Bounds(0, 0, 50, 20));
  auto* button = Make<TLogControl>(root, Bounds(0, 30, 50, 20));
  auto* other = Make<TLogControl>(root, Bounds(0, 60, 50, 20));
  button->DialogKey = VK_RETURN;
  button->DialogKeyResult = 1;
  SetActiveWindow(root->Handle());
  edit->SetFocus();
  Key(VK_RETURN);
  EXPECT_EQ(edit->Count(CN_KEYDOWN), 1);
  EXPECT_EQ(button->Count(CM_DIALOGKEY), 1);
  EXPECT_EQ(other->Count(CM_DIALOGKEY), 0) << "the broadcast stops at the first taker";

  edit->DlgCode = DLGC_WANTALLKEYS;
  Key(VK_RETURN);
  EXPECT_EQ(button->Count(CM_DIALOGKEY), 1) << "a control that wants Enter keeps it";
  EXPECT_EQ(edit->Count(CM_WANTSPECIALKEY), 2);

  edit->DlgCode = 0;
  Key(VK_ESCAPE);
  EXPECT_EQ(button->Count(CM_DIALOGKEY), 2);
  EXPECT_EQ(other->Count(CM_DIALOGKEY), 1) << "Escape is not taken, so everyone hears it";
}

TEST_F(InputTest, KeyEventsSeeKeysWithTheirShiftStateAndTypedCharacters) {
  TTestRoot* root = MakeRoot();
  auto* c = Make<TLogControl>(root, Bounds(0, 0, 50, 20));
  c->DlgCode = DLGC_WANTCHARS;
  struct Keys : TObject {
    String Log;
    void Down(TObject*, Word& key, TShiftState shift) {
      if (key == VK_SHIFT) return;
      Log += u"d" + String(1, Char(key)) + (shift.Contains(ssShift) ? u"+" : u"") + u" ";
    }
    void Up(TObject*, Word& key, TShiftState) {
      if (key != VK_SHIFT) Log += u"u" + String(1, Char(key)) + u" ";
    }
    void Press(TObject*, Char& ch) { Log += u"p" + String(1, ch) + u" "; }
  } keys;
  c->SetOnKeyDown(TKeyEvent(&keys, &Keys::Down));
  c->SetOnKeyUp(TKeyEvent(&keys, &Keys::Up));
  c->SetOnKeyPress(TKeyPressEvent(&keys, &Keys::Press));
  SetActiveWindow(root->Handle());
  c->SetFocus();
  Type('A', "a");
  wintest::Headless().InjectKey(VK_SHIFT, true);
  Type('B', "B");
  wintest::Headless().InjectKey(VK_SHIFT, false);
  Pump();
  EXPECT_EQ(keys.Log, u"dA pa uA dB+ pB uB ");
}

TEST_F(InputTest, AcceleratorsReachTheControlWhoseCaptionHasThem) {
  EXPECT_TRUE(IsAccel('O', u"&Open"));
  EXPECT_TRUE(IsAccel('o', u"&Open"));
  EXPECT_FALSE(IsAccel('O', u"Open"));
  EXPECT_FALSE(IsAccel('S', u"Save && &Close"));
  EXPECT_TRUE(IsAccel('C', u"Save && &Close"));
  EXPECT_EQ(StripHotkey(u"Save && &Close"), u"Save & Close");
  EXPECT_EQ(GetHotkey(u"&&x"), 0);

  TTestRoot* root = MakeRoot();
  auto* edit = Make<TLogControl>(root, Bounds(0, 0, 50, 20));
  edit->DlgCode = DLGC_WANTCHARS;
  auto* box = Make<TLogControl>(root, Bounds(0, 30, 100, 50));
  auto* target = Make<TLogControl>(box, Bounds(0, 0, 50, 20));
  target->Accel = u'k';
  SetActiveWindow(root->Handle());
  edit->SetFocus();
  wintest::Headless().InjectKey(VK_MENU, true);
  Key('K');
  wintest::Headless().InjectKey(VK_MENU, false);
  Pump();
  EXPECT_EQ(target->Count(CM_DIALOGCHAR), 1) << "Alt+K is broadcast down to the nested control";
  Type('K', "k");
  EXPECT_EQ(target->Count(CM_DIALOGCHAR), 1) << "plain characters stay with a control that wants them";
  edit->DlgCode = 0;
  Type('K', "k");
  EXPECT_EQ(target->Count(CM_DIALOGCHAR), 2);
}

TEST_F(InputTest, TheWheelGoesToTheControlAndUpToItsParents) {
  TTestRoot* root = MakeRoot();
  auto* c = Make<TLogControl>(root, Bounds(10, 10, 50, 50));
  struct Wheel : TObject {
    int Delta = 0;
    TObject* Who = nullptr;
    void On(TObject* s, TShiftState, int d, TPoint, bool& handled) {
      Delta += d;
      Who = s;
      handled = true;
    }
  } wheel;
  root->SetOnMouseWheel(TMouseWheelEvent(&wheel, &Wheel::On));
  SetActiveWindow(root->Handle());
  c->SetFocus();
  TPoint o = c->ClientOrigin();
  MoveMouse({o.X + 5, o.Y + 5});
  wintest::Headless().InjectWheel(-120);
  Pump();
  EXPECT_EQ(wheel.Delta, -120);
  EXPECT_EQ(wheel.Who, root);
  EXPECT_GE(c->Count(CM_MOUSEWHEEL), 1);
}

TEST_F(InputTest, ARightClickAsksTheControlUnderTheMouseForItsContextMenuFirst) {
  TTestRoot* root = MakeRoot(300, 200, 100, 100);
  auto* shape = Make<TLogGraphic>(root, Bounds(10, 10, 40, 40));
  auto* win = Make<TLogControl>(root, Bounds(100, 10, 40, 40));
  struct Popup : TObject {
    std::vector<TObject*> Asked;
    bool Take = false;
    TPoint At;
    void On(TObject* s, TPoint p, bool& handled) {
      Asked.push_back(s);
      At = p;
      handled = Take;
    }
  } popup;
  for (TControl* c : std::vector<TControl*>{root, shape, win})
    c->SetOnContextPopup(TContextPopupEvent(&popup, &Popup::On));
  Pump();
  TPoint o = root->ClientOrigin();
  wintest::Headless().InjectClick(o.X + 20, o.Y + 25, platform::MouseButton::Right);
  Pump();
  ASSERT_EQ(popup.Asked.size(), 2u) << "the graphic control, then its parent";
  EXPECT_EQ(popup.Asked[0], shape);
  EXPECT_EQ(popup.Asked[1], root);
  popup.Asked.clear();
  popup.Take = true;
  wintest::Headless().InjectClick(o.X + 110, o.Y + 30, platform::MouseButton::Right);
  Pump();
  ASSERT_EQ(popup.Asked.size(), 1u) << "a handled request stops there";
  EXPECT_EQ(popup.Asked[0], win);
  EXPECT_EQ(popup.At, TPoint(10, 20));
}

TEST_F(InputTest, TheCursorOfTheControlUnderTheMouseIsShown) {
  TTestRoot* root = MakeRoot(300, 200, 100, 100);
  auto* shape = Make<TLogGraphic>(root, Bounds(10, 10, 40, 40));
  shape->SetCursor(crHandPoint);
  root->SetCursor(crIBeam);
  Pump();
  TPoint o = root->ClientOrigin();
  MoveMouse({o.X + 20, o.Y + 20});
  EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_HAND));
  MoveMouse({o.X + 200, o.Y + 100});
  EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_IBEAM));
}

TEST_F(InputTest, AWindowThatCapturedTheMouseKeepsItFromItsGraphicChildren) {
  TTestRoot* root = MakeRoot(300, 200, 100, 100);
  auto* box = Make<TLogControl>(root, Bounds(10, 10, 200, 100));
  auto* shape = Make<TLogGraphic>(box, Bounds(100, 10, 40, 40));
  struct Moves : TObject {
    int Box = 0, Shape = 0;
    void OnBox(TObject*, TShiftState, int, int) { ++Box; }
    void OnShape(TObject*, TShiftState, int, int) { ++Shape; }
  } moves;
  box->SetOnMouseMove(TMouseMoveEvent(&moves, &Moves::OnBox));
  shape->SetOnMouseMove(TMouseMoveEvent(&moves, &Moves::OnShape));
  Pump();
  TPoint o = box->ClientOrigin();
  MoveMouse({o.X + 120, o.Y + 20});
  EXPECT_EQ(moves.Shape, 1);
  MoveMouse({o.X + 10, o.Y + 10});
  wintest::Headless().InjectMouseButton(platform::MouseButton::Left, true);
  Pump();
  EXPECT_TRUE(box->MouseCapture());
  int before = moves.Box;
  MoveMouse({o.X + 121, o.Y + 21});
  EXPECT_EQ(moves.Shape, 1) << "the pressed window keeps the moves";
  EXPECT_EQ(moves.Box, before + 1);
  wintest::Headless().InjectMouseButton(platform::MouseButton::Left, false);
  Pump();
  EXPECT_FALSE(box->MouseCapture());
  MoveMouse({o.X + 122, o.Y + 22});
  EXPECT_GT(moves.Shape, 1) << "released, the child hears the mouse again";
}

}  // namespace
}  // namespace vcl::vcltest
