// Style hooks of controls: attached to the controls of a registered class and its descendants
// while a custom style paints them, removed with the system style, seeing messages before the
// control, surviving re-created windows, following the control's StyleName; CM_STYLECHANGED once
// per switch for every windowed control; the hot-track timer of the mouse-tracking hook.
#include <algorithm>
#include <string>

#include "host/classes/TypInfo.h"
#include "host/themes/ControlStyleHooks.h"
#include "tests/vcl/VclTest.h"

using namespace vcl;
using namespace vcl::vcltest;

namespace {

// "hook:<msg>" and "ctl:<msg>" for the messages the tests look at, in the order seen.
std::vector<std::string>& Trace() {
  static std::vector<std::string> t;
  return t;
}
std::string Msg(const char* who, UINT m) { return std::string(who) + ":" + std::to_string(m); }
bool Traced(UINT m) { return m >= WM_USER && m < WM_USER + 100; }

int gHooksAlive = 0;
int gHooksMade = 0;

class TBox : public TCustomControl {
 public:
  static const TClass Class;
  const TClass* ClassType() const override { return &Class; }
  explicit TBox(TComponent* owner) : TCustomControl(owner) {}
  int StyleChanges = 0;
  void Dispatch(TMessage& m) override {
    if (Traced(m.Msg) || m.Msg == CM_STYLECHANGED) Trace().push_back(Msg("ctl", m.Msg));
    if (m.Msg == CM_STYLECHANGED) ++StyleChanges;
    if (m.Msg == WM_USER + 2) {
      m.Result = 10;
      return;
    }
    TCustomControl::Dispatch(m);
  }
};
const TClass TBox::Class = TClass::Define<TBox, TCustomControl>(u"TBox");

class TDerivedBox : public TBox {
 public:
  static const TClass Class;
  const TClass* ClassType() const override { return &Class; }
  using TBox::TBox;
};
const TClass TDerivedBox::Class = TClass::Define<TDerivedBox, TBox>(u"TDerivedBox");

// Takes WM_USER + 1, adds one to the control's answer to WM_USER + 2, and gives the control a
// 5-pixel frame, so that its client area shows whether the hook saw WM_NCCALCSIZE.
class TTestHook : public TMouseTrackControlStyleHook {
 public:
  explicit TTestHook(TWinControl* c) : TMouseTrackControlStyleHook(c) {
    ++gHooksAlive;
    ++gHooksMade;
  }
  ~TTestHook() override { --gHooksAlive; }
  int Enters = 0, Leaves = 0;
  static constexpr int Frame = 5;

 protected:
  void WndProc(TMessage& m) override {
    if (Traced(m.Msg) || m.Msg == CM_STYLECHANGED) Trace().push_back(Msg("hook", m.Msg));
    switch (m.Msg) {
      case WM_USER + 1:
        m.Result = 42;
        SetHandled(true);
        return;
      case WM_USER + 2:
        m.Result = CallDefaultProc(m) + 1;
        SetHandled(true);
        return;
      case WM_NCCALCSIZE: {
        auto* r = m.WParam ? &reinterpret_cast<NCCALCSIZE_PARAMS*>(m.LParam)->rgrc[0]
                           : reinterpret_cast<TRect*>(m.LParam);
        r->Inflate(-Frame, -Frame);
        m.Result = 0;
        SetHandled(true);
        return;
      }
      default: break;
    }
    TMouseTrackControlStyleHook::WndProc(m);
  }
  void MouseEnter() override {
    ++Enters;
    TMouseTrackControlStyleHook::MouseEnter();
  }
  void MouseLeave() override {
    ++Leaves;
    TMouseTrackControlStyleHook::MouseLeave();
  }
};

class TOtherHook : public TTestHook {
 public:
  using TTestHook::TTestHook;
};

// Paints the control's client area itself.
class TPaintingHook : public TStyleHook {
 public:
  explicit TPaintingHook(TWinControl* c) : TStyleHook(c) {
    SetOverridePaint(true);
    SetOverrideEraseBkgnd(true);
  }

 protected:
  void Paint(TCanvas& canvas) override {
    canvas.Brush()->SetColor(clLime);
    TRect r = Control()->ClientRect();
    canvas.FillRect(TRect(0, 0, r.Width() / 2, r.Height()));
  }
  void PaintBackground(TCanvas& canvas) override {
    canvas.Brush()->SetColor(clNavy);
    canvas.FillRect(Control()->ClientRect());
  }
};

TTestHook* HookOf(TWinControl* c) { return dynamic_cast<TTestHook*>(TStyleManager::StyleHookOf(c)); }

class ControlHooks : public VclTest {
 protected:
  void SetUp() override {
    VclTest::SetUp();
    Trace().clear();
    TStyleManager::SetStyle(u"Windows");
    TStyleManager::RegisterStyleHook(TBox::Class, StyleHookClass<TTestHook>());
  }
  void TearDown() override {
    TStyleManager::SetStyle(u"Windows");
    TStyleManager::UnRegisterStyleHook(TBox::Class, StyleHookClass<TTestHook>());
    TStyleManager::UnRegisterStyleHook(TDerivedBox::Class, StyleHookClass<TOtherHook>());
    TStyleManager::UnRegisterStyleHook(TDerivedBox::Class, StyleHookClass<TPaintingHook>());
    VclTest::TearDown();
    EXPECT_EQ(gHooksAlive, 0);
  }
  template <class T>
  T* MakeBox(TWinControl* parent, int x = 10, int y = 10) {
    T* c = Make<T>(parent, Bounds(x, y, 80, 40));
    c->HandleNeeded();
    Pump();
    return c;
  }
};

TEST_F(ControlHooks, AttachedToTheClassAndItsDescendantsWhileACustomStylePaintsThem) {
  TTestRoot* root = MakeRoot();
  TBox* box = MakeBox<TBox>(root);
  TDerivedBox* derived = MakeBox<TDerivedBox>(root, 100);
  TLogControl* other = MakeBox<TLogControl>(root, 200);
  EXPECT_EQ(TStyleManager::StyleHookClassOf(TDerivedBox::Class), StyleHookClass<TTestHook>());
  EXPECT_EQ(TStyleManager::StyleHookClassOf(TCustomControl::Class), nullptr);
  EXPECT_EQ(TStyleManager::StyleHookOf(box), nullptr) << "the system style has no hooks";
  EXPECT_EQ(box->ClientWidth(), 80);

  TStyleManager::SetStyle(u"Glow");
  TTestHook* hook = HookOf(box);
  ASSERT_NE(hook, nullptr);
  EXPECT_EQ(hook->Control(), box);
  EXPECT_EQ(hook->Handle(), box->Handle());
  EXPECT_EQ(hook->StyleServices()->Name(), u"Glow");
  EXPECT_NE(HookOf(derived), nullptr);
  EXPECT_EQ(TStyleManager::StyleHookOf(other), nullptr);
  EXPECT_EQ(gHooksAlive, 2);
  // The switch recalculated the frames: the hook's frame is there.
  EXPECT_EQ(box->ClientWidth(), 80 - 2 * TTestHook::Frame);

  // A control made now has its hook from its window's creation on.
  TBox* late = MakeBox<TBox>(root, 10, 100);
  ASSERT_NE(HookOf(late), nullptr);
  EXPECT_EQ(late->ClientWidth(), 80 - 2 * TTestHook::Frame);
  EXPECT_EQ(late->ClientHeight(), 40 - 2 * TTestHook::Frame);

  // Another custom style keeps the hooks.
  TStyleManager::SetStyle(u"Sky");
  EXPECT_EQ(HookOf(box), hook);
  EXPECT_EQ(hook->StyleServices()->Name(), u"Sky");

  TStyleManager::SetStyle(u"Windows");
  EXPECT_EQ(TStyleManager::StyleHookOf(box), nullptr);
  EXPECT_EQ(TStyleManager::StyleHookOf(late), nullptr);
  EXPECT_EQ(gHooksAlive, 0);
  EXPECT_EQ(box->ClientWidth(), 80) << "the frame is the control's own again";
}

TEST_F(ControlHooks, TheLaterRegistrationTakesOverUntilItIsRemoved) {
  TTestRoot* root = MakeRoot();
  TBox* box = MakeBox<TBox>(root);
  TDerivedBox* derived = MakeBox<TDerivedBox>(root, 100);
  TStyleManager::SetStyle(u"Glow");
  ASSERT_NE(HookOf(derived), nullptr);
  EXPECT_EQ(dynamic_cast<TOtherHook*>(HookOf(derived)), nullptr);

  TStyleManager::RegisterStyleHook(TDerivedBox::Class, StyleHookClass<TOtherHook>());
  EXPECT_NE(dynamic_cast<TOtherHook*>(HookOf(derived)), nullptr) << "the nearer class wins";
  EXPECT_EQ(dynamic_cast<TOtherHook*>(HookOf(box)), nullptr);
  EXPECT_EQ(gHooksAlive, 2);
  EXPECT_THROW(TStyleManager::RegisterStyleHook(TDerivedBox::Class, StyleHookClass<TOtherHook>()),
               EStyleEngineException);
  EXPECT_THROW(TStyleManager::RegisterStyleHook(TBox::Class, nullptr), EStyleEngineException);

  TStyleManager::UnRegisterStyleHook(TDerivedBox::Class, StyleHookClass<TOtherHook>());
  ASSERT_NE(HookOf(derived), nullptr);
  EXPECT_EQ(dynamic_cast<TOtherHook*>(HookOf(derived)), nullptr) << "the earlier registration again";

  TStyleManager::UnRegisterStyleHook(TBox::Class, StyleHookClass<TTestHook>());
  EXPECT_EQ(TStyleManager::StyleHookOf(box), nullptr);
  EXPECT_EQ(TStyleManager::StyleHookOf(derived), nullptr);
  EXPECT_EQ(gHooksAlive, 0);
  EXPECT_EQ(box->ClientWidth(), 80);
  // Messages reach the controls as before.
  EXPECT_EQ(box->Perform(WM_USER + 2), 10);
  EXPECT_EQ(SendMessageW(box->Handle(), WM_USER + 2, 0, 0), 10);
}

TEST_F(ControlHooks, TheHookSeesMessagesBeforeTheControl) {
  TTestRoot* root = MakeRoot();
  TBox* box = MakeBox<TBox>(root);
  TStyleManager::SetStyle(u"Glow");
  ASSERT_NE(HookOf(box), nullptr);
  Trace().clear();
  // Taken by the hook: the control never sees it, sent or performed.
  EXPECT_EQ(SendMessageW(box->Handle(), WM_USER + 1, 0, 0), 42);
  EXPECT_EQ(box->Perform(WM_USER + 1), 42);
  EXPECT_EQ(Trace(), (std::vector<std::string>{Msg("hook", WM_USER + 1), Msg("hook", WM_USER + 1)}));
  // Passed on: the hook first, the control inside CallDefaultProc, the hook's answer last.
  Trace().clear();
  EXPECT_EQ(SendMessageW(box->Handle(), WM_USER + 2, 0, 0), 11);
  EXPECT_EQ(Trace(), (std::vector<std::string>{Msg("hook", WM_USER + 2), Msg("ctl", WM_USER + 2)}));
  Trace().clear();
  EXPECT_EQ(box->Perform(WM_USER + 3), 0);
  EXPECT_EQ(Trace(), (std::vector<std::string>{Msg("hook", WM_USER + 3), Msg("ctl", WM_USER + 3)}));
  // The switch's notification too.
  Trace().clear();
  TStyleManager::SetStyle(u"Sky");
  auto it = std::find(Trace().begin(), Trace().end(), Msg("hook", CM_STYLECHANGED));
  ASSERT_NE(it, Trace().end());
  EXPECT_EQ(*(it + 1), Msg("ctl", CM_STYLECHANGED));
}

TEST_F(ControlHooks, ARecreatedWindowGetsANewHook) {
  TTestRoot* root = MakeRoot();
  TBox* box = MakeBox<TBox>(root);
  TStyleManager::SetStyle(u"Glow");
  ASSERT_NE(HookOf(box), nullptr);
  int made = gHooksMade;
  box->RecreateWnd();
  Pump();
  ASSERT_NE(box->Handle(), nullptr);
  TTestHook* hook = HookOf(box);
  ASSERT_NE(hook, nullptr);
  EXPECT_EQ(hook->Handle(), box->Handle());
  EXPECT_EQ(gHooksMade, made + 1);
  EXPECT_EQ(gHooksAlive, 1) << "the old window's hook went with it";
  // The new window's creation went through the hook.
  EXPECT_EQ(box->ClientWidth(), 80 - 2 * TTestHook::Frame);
  EXPECT_EQ(SendMessageW(box->Handle(), WM_USER + 1, 0, 0), 42);

  // A window destroyed and made again later (moving to another parent) likewise.
  TTestRoot* other = MakeRoot(300, 200, 600, 100);
  box->SetParent(other);
  Pump();
  ASSERT_NE(HookOf(box), nullptr);
  EXPECT_EQ(HookOf(box)->Handle(), box->Handle());
  EXPECT_EQ(gHooksMade, made + 2);
  EXPECT_EQ(gHooksAlive, 1);

  // Freeing the control frees its hook.
  delete box;
  Pump();
  EXPECT_EQ(gHooksAlive, 0);
}

TEST_F(ControlHooks, AControlsStyleNameDecidesItsHookAndKeepsItAcrossSwitches) {
  TTestRoot* root = MakeRoot();
  TBox* dark = MakeBox<TBox>(root);
  TBox* plain = MakeBox<TBox>(root, 100);
  TBox* follows = MakeBox<TBox>(root, 200);
  TBox* noElements = MakeBox<TBox>(root, 300);
  dark->SetStyleName(u"Windows10 Dark");
  plain->SetStyleName(u"Windows");
  noElements->SetStyleElements({});
  EXPECT_EQ(TStyleManager::StyleHookOf(dark), nullptr) << "no custom style is active";
  EXPECT_EQ(StyleServices(dark), TStyleManager::SystemStyle());

  TStyleManager::SetStyle(u"Glow");
  ASSERT_NE(HookOf(dark), nullptr);
  EXPECT_EQ(HookOf(dark)->StyleServices()->Name(), u"Windows10 Dark");
  EXPECT_EQ(TStyleManager::StyleHookOf(plain), nullptr) << "it keeps the system look";
  EXPECT_EQ(TStyleManager::StyleHookOf(noElements), nullptr);
  ASSERT_NE(HookOf(follows), nullptr);
  EXPECT_EQ(HookOf(follows)->StyleServices()->Name(), u"Glow");

  TStyleManager::SetStyle(u"Sky");
  EXPECT_EQ(HookOf(dark)->StyleServices()->Name(), u"Windows10 Dark");
  EXPECT_EQ(HookOf(follows)->StyleServices()->Name(), u"Sky");
  EXPECT_EQ(TStyleManager::StyleHookOf(plain), nullptr);

  // Changing the name takes effect at once, with the frame.
  plain->SetStyleName(u"");
  ASSERT_NE(HookOf(plain), nullptr);
  EXPECT_EQ(plain->ClientWidth(), 80 - 2 * TTestHook::Frame);
  dark->SetStyleName(u"Windows");
  EXPECT_EQ(TStyleManager::StyleHookOf(dark), nullptr);
  EXPECT_EQ(dark->ClientWidth(), 80);
  // An unknown style name follows the application's style.
  dark->SetStyleName(u"No Such Style");
  ASSERT_NE(HookOf(dark), nullptr);
  EXPECT_EQ(HookOf(dark)->StyleServices()->Name(), u"Sky");
  noElements->SetStyleElements({seClient});
  EXPECT_NE(HookOf(noElements), nullptr);
}

TEST_F(ControlHooks, EveryWindowedControlHearsOfASwitchOnce) {
  TTestRoot* root = MakeRoot();
  TBox* a = MakeBox<TBox>(root);
  TBox* b = MakeBox<TBox>(root, 100);
  TBox* inner = Make<TBox>(a, Bounds(2, 2, 20, 20));
  auto* hidden = new TBox(root);
  hidden->SetVisible(false);
  hidden->SetBounds(200, 10, 20, 20);
  hidden->SetParent(root);
  TBox* hiddenChild = Make<TBox>(hidden, Bounds(0, 0, 5, 5));
  TLogControl* unhooked = MakeBox<TLogControl>(root, 300);
  Pump();
  ASSERT_TRUE(inner->HandleAllocated());
  ASSERT_FALSE(hidden->HandleAllocated());
  std::vector<TBox*> all{a, b, inner, hidden, hiddenChild};

  const char* styles[] = {"Glow", "Sky", "Windows", "Windows10 Dark"};
  int n = 0;
  for (const char* s : styles) {
    TStyleManager::SetStyle(Utf8ToString(s));
    ++n;
    for (TBox* c : all) EXPECT_EQ(c->StyleChanges, n) << s << " " << c->Left();
    EXPECT_EQ(unhooked->Count(CM_STYLECHANGED), n) << s;
  }
  // Setting the same style again is no switch.
  TStyleManager::SetStyle(u"Windows10 Dark");
  EXPECT_EQ(a->StyleChanges, n);
}

TEST_F(ControlHooks, TheHotTrackTimerNoticesTheMouseLeavingWithoutALeaveMessage) {
  TTestRoot* root = MakeRoot(400, 300, 100, 100);
  TBox* box = MakeBox<TBox>(root, 10, 10);
  TStyleManager::SetStyle(u"Glow");
  TTestHook* hook = HookOf(box);
  ASSERT_NE(hook, nullptr);
  EXPECT_FALSE(hook->MouseInControl());

  TPoint inside = box->ClientToScreen(TPoint(20, 20));
  MoveMouse(inside);
  EXPECT_TRUE(hook->MouseInControl());
  EXPECT_TRUE(hook->HotTrackTimerRunning());
  EXPECT_EQ(hook->Enters, 1);
  MoveMouse(inside + TPoint(3, 3));
  EXPECT_EQ(hook->Enters, 1) << "moving inside is no new entry";

  // A window appears under the still mouse: no mouse message comes, the timer finds out.
  HWND cover = wintest::MakeWindow(WS_POPUP | WS_VISIBLE, TRect(inside.X - 30, inside.Y - 30, inside.X + 30, inside.Y + 30));
  Pump();
  EXPECT_TRUE(hook->MouseInControl());
  wintest::AdvanceClock(TMouseTrackControlStyleHook::HotTrackInterval + 10);
  Pump();
  EXPECT_FALSE(hook->MouseInControl());
  EXPECT_EQ(hook->Leaves, 1);
  EXPECT_FALSE(hook->HotTrackTimerRunning());
  DestroyWindow(cover);
  Pump();

  // Leaving by moving the mouse onto the parent ends the tracking too, once.
  MoveMouse(inside);
  EXPECT_EQ(hook->Enters, 2);
  MoveMouse(root->ClientToScreen(TPoint(300, 250)));
  wintest::AdvanceClock(TMouseTrackControlStyleHook::HotTrackInterval + 10);
  Pump();
  EXPECT_FALSE(hook->MouseInControl());
  EXPECT_EQ(hook->Leaves, 2);
  EXPECT_FALSE(hook->HotTrackTimerRunning());
}

TEST_F(ControlHooks, AHookThatPaintsTheClientAreaPaintsTheGraphicChildrenOverIt) {
  TStyleManager::RegisterStyleHook(TDerivedBox::Class, StyleHookClass<TPaintingHook>());
  TTestRoot* root = MakeRoot();
  auto* box = MakeBox<TDerivedBox>(root, 10, 10);
  auto* shape = Make<TLogGraphic>(box, Bounds(50, 5, 10, 10));
  shape->PaintColor = clRed;
  box->SetColor(clYellow);
  Pump();
  EXPECT_EQ(Pixel(root, 15, 30), Rgb(clYellow)) << "the control paints itself in the system style";
  TStyleManager::SetStyle(u"Glow");
  Pump();
  EXPECT_EQ(Pixel(root, 15, 30), Rgb(clLime)) << "the hook's painting";
  EXPECT_EQ(Pixel(root, 80, 30), Rgb(clNavy)) << "the hook's background";
  EXPECT_EQ(Pixel(root, 65, 20), Rgb(clRed)) << "the graphic child over it";
  EXPECT_EQ(Pixel(root, 75, 20), Rgb(clNavy));
  TStyleManager::UnRegisterStyleHook(TDerivedBox::Class, StyleHookClass<TPaintingHook>());
  Pump();
  EXPECT_EQ(Pixel(root, 15, 30), Rgb(clYellow)) << "unregistered: the earlier hook paints nothing";
  EXPECT_EQ(Pixel(root, 65, 20), Rgb(clRed));
}

TEST_F(ControlHooks, AHookMayRemoveItselfWhileHandlingAMessage) {
  TTestRoot* root = MakeRoot();
  TBox* box = MakeBox<TBox>(root);
  TStyleManager::SetStyle(u"Glow");
  ASSERT_NE(HookOf(box), nullptr);
  // A style change from inside the control's own handling (as a style menu does) removes the
  // hook while it is on the stack; the message still completes.
  struct TSwitcher : TBox {
    using TBox::TBox;
    void Dispatch(TMessage& m) override {
      if (m.Msg == WM_USER + 5) {
        TStyleManager::SetStyle(u"Windows");
        m.Result = 7;
        return;
      }
      TBox::Dispatch(m);
    }
  };
  auto* sw = MakeBox<TSwitcher>(root, 100);
  TStyleManager::SetStyle(u"Sky");
  ASSERT_NE(HookOf(sw), nullptr);
  EXPECT_EQ(SendMessageW(sw->Handle(), WM_USER + 5, 0, 0), 7);
  EXPECT_EQ(TStyleManager::StyleHookOf(sw), nullptr);
  EXPECT_EQ(TStyleManager::StyleHookOf(box), nullptr);
  EXPECT_EQ(gHooksAlive, 0);
  EXPECT_EQ(SendMessageW(sw->Handle(), WM_USER + 2, 0, 0), 10);
}

}  // namespace
