// Drag and drop between controls through real mouse input: the threshold, the targets' accept
// feedback and cursor, dropping, cancelling with Esc, the right button or a release before the
// threshold, OnEndDrag's target, automatic drag mode, DragDetect; and OnMouseActivate.
#include "host/platform/headless/HeadlessBackend.h"
#include "host/rtl/NumFormat.h"
#include "host/vcl/DragDrop.h"
#include "host/vcl/Screen.h"
#include "tests/vcl/VclTest.h"

namespace vcl::vcltest {
namespace {

using DragDropTest = VclTest;

String NameOf(TObject* o) {
  auto* c = dynamic_cast<TComponent*>(o);
  return c ? c->Name() : String(u"nil");
}

// Logs the drag events of the controls it is wired to; AcceptOn says which target accepts.
struct DragLog : TObject {
  std::vector<String> Lines;
  TControl* AcceptOn = nullptr;
  void StartDrag(TObject* s, TDragObject*&) { Lines.push_back(u"start " + NameOf(s)); }
  void DragOver(TObject* s, TObject* source, int x, int y, TDragState state, bool& accept) {
    static const char16_t* kStates[] = {u"enter", u"leave", u"move"};
    accept = s == AcceptOn;
    if (state != dsDragMove)
      Lines.push_back(String(kStates[state]) + u" " + NameOf(s) + u" from " + NameOf(source));
  }
  void DragDrop(TObject* s, TObject* source, int x, int y) {
    Lines.push_back(u"drop " + NameOf(source) + u" on " + NameOf(s) + u" at " + IntToStr(x) +
                    u"," + IntToStr(y));
  }
  void EndDrag(TObject* s, TObject* target, int, int) {
    Lines.push_back(u"end " + NameOf(s) + u" -> " + NameOf(target));
  }
  void Source(TControl* c, StringView name) {
    c->SetName(name);
    c->SetOnStartDrag(TStartDragEvent(this, &DragLog::StartDrag));
    c->SetOnEndDrag(TEndDragEvent(this, &DragLog::EndDrag));
  }
  void Target(TControl* c, StringView name) {
    c->SetName(name);
    c->SetOnDragOver(TDragOverEvent(this, &DragLog::DragOver));
    c->SetOnDragDrop(TDragDropEvent(this, &DragLog::DragDrop));
  }
  String Take() {
    String r;
    for (const String& l : Lines) r += (r.empty() ? u"" : u"; ") + l;
    Lines.clear();
    return r;
  }
};

// A control that starts a manual drag from its own mouse press, as a pager does with a tab.
class TPressDrag : public TLogControl {
 public:
  using TLogControl::TLogControl;
  int Threshold = 3;

 protected:
  void MouseDown(TMouseButton b, TShiftState shift, int x, int y) override {
    TLogControl::MouseDown(b, shift, x, y);
    if (b == mbLeft) BeginDrag(false, Threshold);
  }
};

void Press() {
  wintest::Headless().InjectMouseButton(platform::MouseButton::Left, true);
}
void Release() {
  wintest::Headless().InjectMouseButton(platform::MouseButton::Left, false);
}

TEST_F(DragDropTest, AManualDragWaitsForTheThresholdAsksTargetsAndDropsOnTheAcceptingOne) {
  TTestRoot* root = MakeRoot(400, 200, 100, 100);
  auto* source = Make<TPressDrag>(root, Bounds(10, 10, 80, 40));
  auto* target = Make<TLogControl>(root, Bounds(200, 10, 100, 80));
  auto* refuser = Make<TLogGraphic>(root, Bounds(200, 120, 100, 50));
  source->SetDragCursor(crHandPoint);
  DragLog log;
  log.Source(source, u"Src");
  log.Target(target, u"Dst");
  log.Target(refuser, u"No");
  log.AcceptOn = target;
  Pump();
  TPoint o = root->ClientOrigin();
  MoveMouse({o.X + 20, o.Y + 20});
  Press();
  Pump();
  EXPECT_EQ(log.Take(), u"start Src");
  EXPECT_TRUE(source->Dragging());
  EXPECT_EQ(GetCapture(), source->Handle()) << "the drag tracks the mouse through a capture";
  // Two pixels: below the threshold of 3, nothing is asked yet.
  MoveMouse({o.X + 22, o.Y + 20});
  EXPECT_EQ(log.Take(), u"");
  EXPECT_NE(GetCursor(), LoadCursorW(nullptr, IDC_HAND));
  // Past the threshold, over the source itself (no OnDragOver): refused.
  MoveMouse({o.X + 24, o.Y + 20});
  EXPECT_EQ(GetCursor(), CursorHandle(crNoDrop));
  // Over the refusing graphic control: entered, refused.
  MoveMouse({o.X + 250, o.Y + 140});
  EXPECT_EQ(log.Take(), u"enter No from Src");
  EXPECT_EQ(GetCursor(), CursorHandle(crNoDrop));
  // Over the accepting one: the source's drag cursor.
  MoveMouse({o.X + 250, o.Y + 50});
  EXPECT_EQ(log.Take(), u"leave No from Src; enter Dst from Src");
  EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_HAND));
  Release();
  Pump();
  EXPECT_EQ(log.Take(), u"drop Src on Dst at 50,40; end Src -> Dst");
  EXPECT_FALSE(source->Dragging());
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_EQ(DragSourceControl(), nullptr);
}

TEST_F(DragDropTest, EscTheRightButtonOrAReleaseOverARefusingTargetCancel) {
  TTestRoot* root = MakeRoot(400, 200, 100, 100);
  auto* source = Make<TPressDrag>(root, Bounds(10, 10, 80, 40));
  auto* target = Make<TLogControl>(root, Bounds(200, 10, 100, 80));
  DragLog log;
  log.Source(source, u"Src");
  log.Target(target, u"Dst");
  log.AcceptOn = target;
  Pump();
  root->SetFocus();
  Pump();
  TPoint o = root->ClientOrigin();

  // Esc while over an accepting target: cancelled, the target is left, nothing dropped.
  MoveMouse({o.X + 20, o.Y + 20});
  Press();
  Pump();
  MoveMouse({o.X + 250, o.Y + 50});
  EXPECT_EQ(log.Take(), u"start Src; enter Dst from Src");
  Key(VK_ESCAPE);
  EXPECT_EQ(log.Take(), u"leave Dst from Src; end Src -> nil");
  EXPECT_FALSE(source->Dragging());
  EXPECT_EQ(GetCapture(), nullptr);
  Release();
  Pump();
  EXPECT_EQ(log.Take(), u"") << "the release after a cancelled drag drops nothing";

  // The right button cancels.
  MoveMouse({o.X + 20, o.Y + 20});
  Press();
  Pump();
  MoveMouse({o.X + 250, o.Y + 50});
  log.Take();
  wintest::Headless().InjectMouseButton(platform::MouseButton::Right, true);
  Pump();
  EXPECT_EQ(log.Take(), u"leave Dst from Src; end Src -> nil");
  wintest::Headless().InjectMouseButton(platform::MouseButton::Right, false);
  Release();
  Pump();

  // Released where nobody accepts: cancelled.
  log.AcceptOn = nullptr;
  MoveMouse({o.X + 20, o.Y + 20});
  Press();
  Pump();
  MoveMouse({o.X + 250, o.Y + 50});
  Release();
  Pump();
  EXPECT_EQ(log.Take(), u"start Src; enter Dst from Src; leave Dst from Src; end Src -> nil");

  // Released before the threshold: no drag, an ordinary click.
  int clicks = 0;
  struct Counter : TObject {
    int* N;
    void Click(TObject*) { ++*N; }
  } counter;
  counter.N = &clicks;
  source->SetOnClick(TNotifyEvent(&counter, &Counter::Click));
  MoveMouse({o.X + 20, o.Y + 20});
  Press();
  Pump();
  MoveMouse({o.X + 21, o.Y + 21});
  Release();
  Pump();
  EXPECT_EQ(log.Take(), u"start Src; end Src -> nil");
  EXPECT_EQ(clicks, 1);
}

TEST_F(DragDropTest, AutomaticModeDragsAGraphicControlWithTheDefaultThreshold) {
  TTestRoot* root = MakeRoot(400, 200, 100, 100);
  auto* shape = Make<TLogGraphic>(root, Bounds(10, 10, 50, 50));
  auto* target = Make<TLogControl>(root, Bounds(200, 10, 100, 80));
  shape->SetDragMode(dmAutomatic);
  shape->SetDragKind(dkDock);  // docking is not built: a dock drag is a plain drag
  DragLog log;
  log.Source(shape, u"Shape");
  log.Target(target, u"Dst");
  log.AcceptOn = target;
  Pump();
  TPoint o = root->ClientOrigin();
  ASSERT_EQ(Mouse->DragThreshold(), 5);
  MoveMouse({o.X + 20, o.Y + 20});
  Press();
  Pump();
  EXPECT_TRUE(shape->Dragging());
  EXPECT_EQ(GetCaptureControl(), shape);
  MoveMouse({o.X + 24, o.Y + 24});
  EXPECT_EQ(log.Take(), u"start Shape") << "four pixels stay below the default threshold";
  MoveMouse({o.X + 250, o.Y + 30});
  EXPECT_EQ(GetCursor(), CursorHandle(crDrag));
  Release();
  Pump();
  EXPECT_EQ(log.Take(), u"enter Dst from Shape; drop Shape on Dst at 50,20; end Shape -> Dst");
  EXPECT_EQ(shape->Clicks, 0) << "a drop is not a click";
}

TEST_F(DragDropTest, ADragObjectFromOnStartDragIsTheSourceTargetsSee) {
  TTestRoot* root = MakeRoot(400, 200, 100, 100);
  auto* source = Make<TPressDrag>(root, Bounds(10, 10, 80, 40));
  auto* target = Make<TLogControl>(root, Bounds(200, 10, 100, 80));
  struct Custom : TDragObject {
    TControl* Seen = nullptr;
    TCursor GetDragCursor(bool accepted, int, int) override { return accepted ? crCross : crNo; }
    void Finished(TObject* t, int, int, bool) override { Seen = dynamic_cast<TControl*>(t); }
  } object;
  struct Handlers : TObject {
    TDragObject* Object = nullptr;
    TObject* SourceSeen = nullptr;
    void Start(TObject*, TDragObject*& d) { d = Object; }
    void Over(TObject*, TObject* s, int, int, TDragState, bool& accept) {
      SourceSeen = s;
      accept = true;
    }
  } handlers;
  handlers.Object = &object;
  source->SetOnStartDrag(TStartDragEvent(&handlers, &Handlers::Start));
  target->SetOnDragOver(TDragOverEvent(&handlers, &Handlers::Over));
  Pump();
  TPoint o = root->ClientOrigin();
  MoveMouse({o.X + 20, o.Y + 20});
  Press();
  Pump();
  MoveMouse({o.X + 250, o.Y + 50});
  EXPECT_EQ(handlers.SourceSeen, &object);
  EXPECT_EQ(GetCursor(), CursorHandle(crCross));
  Release();
  Pump();
  EXPECT_EQ(object.Seen, target);
}

TEST_F(DragDropTest, DestroyingTheTargetOrSourceMidDragLeavesNothingDangling) {
  TTestRoot* root = MakeRoot(400, 200, 100, 100);
  auto* source = Make<TPressDrag>(root, Bounds(10, 10, 80, 40));
  auto* target = Make<TLogControl>(root, Bounds(200, 10, 100, 80));
  DragLog log;
  log.Source(source, u"Src");
  log.Target(target, u"Dst");
  log.AcceptOn = target;
  Pump();
  TPoint o = root->ClientOrigin();
  MoveMouse({o.X + 20, o.Y + 20});
  Press();
  Pump();
  MoveMouse({o.X + 250, o.Y + 50});
  delete target;
  Release();
  Pump();
  EXPECT_EQ(log.Take(), u"start Src; enter Dst from Src; end Src -> nil");
  MoveMouse({o.X + 20, o.Y + 20});
  Press();
  Pump();
  MoveMouse({o.X + 250, o.Y + 50});
  delete source;
  EXPECT_EQ(DragSourceControl(), nullptr);
  Release();
  Pump();
}

TEST_F(DragDropTest, DragDetectTellsADragFromAClick) {
  TTestRoot* root = MakeRoot(300, 200, 100, 100);
  Pump();
  TPoint o = root->ClientOrigin();
  MoveMouse({o.X + 20, o.Y + 20});
  wintest::Headless().InjectMouseMove(o.X + 22, o.Y + 21);
  wintest::Headless().InjectMouseMove(o.X + 20, o.Y + 24);
  EXPECT_TRUE(DragDetect(root->Handle(), {o.X + 20, o.Y + 20}, 3));
  Pump();
  Press();
  Pump();
  wintest::Headless().InjectMouseMove(o.X + 22, o.Y + 21);
  Release();
  EXPECT_FALSE(DragDetect(root->Handle(), {o.X + 20, o.Y + 20}, 3));
}

TEST_F(DragDropTest, OnMouseActivateAnswersAPressOnAnInactiveWindow) {
  TTestRoot* first = MakeRoot(200, 150, 100, 100);
  auto* shape = Make<TLogGraphic>(first, Bounds(10, 10, 50, 50));
  struct Answer : TObject {
    std::vector<String> Asked;
    TMouseActivate Result = maDefault;
    void Ask(TObject* s, TMouseButton, TShiftState, int x, int y, int hit, TMouseActivate& r) {
      Asked.push_back(NameOf(s) + u" " + IntToStr(x) + u"," + IntToStr(y) +
                      (hit == HTCLIENT ? u" client" : u""));
      r = Result;
    }
  } answer;
  shape->SetName(u"Shape");
  first->SetName(u"First");
  shape->SetOnMouseActivate(TMouseActivateEvent(&answer, &Answer::Ask));
  first->SetOnMouseActivate(TMouseActivateEvent(&answer, &Answer::Ask));
  TTestRoot* second = MakeRoot(200, 150, 400, 100);
  SetActiveWindow(second->Handle());
  Pump();
  ASSERT_EQ(GetActiveWindow(), second->Handle());
  TPoint o = first->ClientOrigin();
  // The graphic child answers no activation: the window stays inactive; the press arrives.
  answer.Result = maNoActivate;
  Click({o.X + 15, o.Y + 17});
  EXPECT_EQ(answer.Asked, std::vector<String>{u"Shape 5,7 client"});
  EXPECT_EQ(GetActiveWindow(), second->Handle());
  EXPECT_EQ(shape->Clicks, 1);
  // No answer from the child: the window is asked, and its maActivateAndEat activates and
  // swallows the press.
  answer.Asked.clear();
  shape->SetOnMouseActivate(nullptr);
  answer.Result = maActivateAndEat;
  Click({o.X + 15, o.Y + 17});
  EXPECT_EQ(answer.Asked, std::vector<String>{u"First 15,17 client"});
  EXPECT_EQ(GetActiveWindow(), first->Handle());
  EXPECT_EQ(shape->Clicks, 1) << "the press was eaten";
}

}  // namespace
}  // namespace vcl::vcltest
