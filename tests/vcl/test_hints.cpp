// The application's hints: timing on the virtual clock, the hint window, CM_HINTSHOW, the
// replaceable hint window class and the fade-in.
#include "tests/vcl/FormsTest.h"

#include "host/classes/TypInfo.h"

namespace vcl::formstest {

namespace {

bool HintShowing() {
  THintWindow* w = Application->HintWindow();
  return w && w->HandleAllocated() && IsWindowVisible(w->Handle());
}

String HintText() {
  THintWindow* w = Application->HintWindow();
  return w ? w->Caption() : String();
}

// A hint window class of its own, as a library would install.
class TMarkedHintWindow : public THintWindow {
 public:
  static const TClass Class;
  const TClass* ClassType() const override { return &Class; }
  explicit TMarkedHintWindow(TComponent* owner) : THintWindow(owner) {}
  static inline int Shown = 0;
  void ActivateHint(const TRect& rect, StringView hint) override {
    ++Shown;
    THintWindow::ActivateHint(rect, String(u"[") + String(hint) + u"]");
  }
};
const TClass TMarkedHintWindow::Class = TClass::Define<TMarkedHintWindow, THintWindow>(u"TMarkedHintWindow");

// A button that edits or refuses its hint in CM_HINTSHOW.
class THintButton : public TButton {
 public:
  static const TClass Class;
  const TClass* ClassType() const override { return &Class; }
  explicit THintButton(TComponent* owner) : TButton(owner) {}
  bool Refuse = false;
  THintInfo Seen;
  void Dispatch(TMessage& m) override {
    if (m.Msg == CM_HINTSHOW) {
      auto* info = reinterpret_cast<THintInfo*>(m.LParam);
      Seen = *info;
      info->HintStr += u"!";
      m.Result = Refuse ? 1 : 0;
      return;
    }
    TButton::Dispatch(m);
  }
};
const TClass THintButton::Class = TClass::Define<THintButton, TButton>(u"THintButton");

}  // namespace

class Hints : public FormsTest {
 protected:
  void SetUp() override {
    FormsTest::SetUp();
    Form = NewForm(100, 100, 400, 200);
    A = Add<TButton>(Form, 10, 10, 100, 25, u"A");
    A->SetHint(u"Save|Saves the document");
    A->SetShowHint(true);
    B = Add<TButton>(Form, 10, 60, 100, 25, u"B");
    B->SetHint(u"Open");
    B->SetShowHint(true);
    Plain = Add<TButton>(Form, 200, 10, 100, 25, u"Plain");
    Form->Show();
    Pump();
  }
  void TearDown() override {
    HintWindowClass = &THintWindow::Class;
    FormsTest::TearDown();
  }
  TForm* Form = nullptr;
  TButton* A = nullptr;
  TButton* B = nullptr;
  TButton* Plain = nullptr;
};

TEST_F(Hints, AppearAfterTheHintPauseAndHideAfterTheHidePause) {
  EXPECT_EQ(Application->HintPause(), 500);
  EXPECT_EQ(Application->HintHidePause(), 2500);
  EXPECT_EQ(Application->HintShortPause(), 50);
  MoveTo(CenterOf(A));
  Wait(490);
  EXPECT_FALSE(HintShowing());
  Wait(20);
  ASSERT_TRUE(HintShowing());
  EXPECT_EQ(HintText(), u"Save") << "the short part of the hint";
  EXPECT_EQ(Application->Hint(), u"Saves the document");
  // Below the pointer, on top of everything, and the form keeps the activation.
  TRect hr;
  GetWindowRect(Application->HintWindow()->Handle(), &hr);
  TPoint p = CenterOf(A);
  EXPECT_EQ(hr.Left, p.X);
  EXPECT_GT(hr.Top, p.Y);
  EXPECT_EQ(GetActiveWindow(), Form->Handle());
  DWORD ex = DWORD(GetWindowLongW(Application->HintWindow()->Handle(), GWL_EXSTYLE));
  EXPECT_TRUE(ex & WS_EX_TOPMOST);
  EXPECT_TRUE(ex & WS_EX_TOOLWINDOW);
  EXPECT_TRUE(ex & WS_EX_NOACTIVATE);
  EXPECT_TRUE(GetWindowLongW(Application->HintWindow()->Handle(), GWL_STYLE) & WS_POPUP);
  // Small moves inside the control keep it.
  MoveTo(CenterOf(A) + TPoint{3, 1});
  EXPECT_TRUE(HintShowing());
  Wait(2450);
  EXPECT_TRUE(HintShowing());
  Wait(80);
  EXPECT_FALSE(HintShowing());
  // Still on the same control: it does not come back by itself.
  Wait(1000);
  EXPECT_FALSE(HintShowing());
}

TEST_F(Hints, MovingToAnotherControlUsesTheShortPause) {
  MoveTo(CenterOf(A));
  Wait(510);
  ASSERT_TRUE(HintShowing());
  MoveTo(CenterOf(B));
  EXPECT_FALSE(HintShowing()) << "the old hint goes at once";
  Wait(40);
  EXPECT_FALSE(HintShowing());
  Wait(20);
  ASSERT_TRUE(HintShowing());
  EXPECT_EQ(HintText(), u"Open");
  // Over a control without hints the hint ends, and the next one waits the full pause.
  MoveTo(CenterOf(Plain));
  EXPECT_FALSE(HintShowing());
  MoveTo(CenterOf(A));
  Wait(100);
  EXPECT_FALSE(HintShowing());
  Wait(420);
  EXPECT_TRUE(HintShowing());
}

TEST_F(Hints, AKeyOrAClickEndsTheHintAndCancelHintForgetsIt) {
  MoveTo(CenterOf(A));
  Wait(510);
  ASSERT_TRUE(HintShowing());
  Key(VK_SHIFT);
  EXPECT_FALSE(HintShowing());
  // A pending hint is cancelled too.
  MoveTo(CenterOf(B));
  Wait(200);
  ClickOn(B);
  Wait(600);
  EXPECT_FALSE(HintShowing());
  // Hints off for the application.
  Application->SetShowHint(false);
  MoveTo(CenterOf(A));
  Wait(600);
  EXPECT_FALSE(HintShowing());
  Application->SetShowHint(true);
}

TEST_F(Hints, TheControlCanEditOrRefuseItsHint) {
  auto* h = Add<THintButton>(Form, 10, 110, 100, 25, u"H");
  h->SetHint(u"Edit");
  h->SetShowHint(true);
  MoveTo(CenterOf(h));
  Wait(510);
  ASSERT_TRUE(HintShowing());
  EXPECT_EQ(HintText(), u"Edit!");
  EXPECT_EQ(h->Seen.HintControl, h);
  EXPECT_EQ(h->Seen.HideTimeout, 2500);
  EXPECT_EQ(h->Seen.CursorPos, TPoint(50, 12));
  EXPECT_EQ(h->Seen.CursorRect, h->ClientRect());
  MoveTo(CenterOf(Plain));
  h->Refuse = true;
  MoveTo(CenterOf(h));
  Wait(600);
  EXPECT_FALSE(HintShowing());
}

TEST_F(Hints, TheHintWindowClassIsReplaceable) {
  HintWindowClass = &TMarkedHintWindow::Class;
  TMarkedHintWindow::Shown = 0;
  MoveTo(CenterOf(B));
  Wait(510);
  ASSERT_TRUE(HintShowing());
  EXPECT_EQ(TMarkedHintWindow::Shown, 1);
  EXPECT_EQ(Application->HintWindow()->ClassType(), &TMarkedHintWindow::Class);
  EXPECT_EQ(HintText(), u"[Open]");
}

TEST_F(Hints, WindowSizesToItsTextAndStaysOnTheWorkArea) {
  THintWindow w(nullptr);
  TRect one = w.CalcHintRect(1000, u"Short", nullptr);
  TRect two = w.CalcHintRect(1000, u"Short\nSecond line", nullptr);
  EXPECT_EQ(one.TopLeft(), TPoint(0, 0));
  EXPECT_GT(two.Height(), one.Height() * 3 / 2);
  TRect wide = w.CalcHintRect(1000, u"A rather longer hint text", nullptr);
  EXPECT_GT(wide.Width(), one.Width());
  TRect wrapped = w.CalcHintRect(60, u"A rather longer hint text", nullptr);
  EXPECT_LE(wrapped.Width(), 60 + 6);
  EXPECT_GT(wrapped.Height(), wide.Height());
  // Asked to show past the right and bottom edges of the work area, it moves inside.
  TRect r = one;
  r.Offset(1900, 1030);
  w.ActivateHint(r, u"Short");
  TRect got;
  GetWindowRect(w.Handle(), &got);
  EXPECT_EQ(got.Right, 1920);
  EXPECT_EQ(got.Bottom, 1040);
  EXPECT_EQ(got.Size(), one.Size());
  w.ReleaseHandle();
  EXPECT_FALSE(IsWindowVisible(w.Handle()));
}

TEST_F(Hints, FadesInThroughLayeredAlphaOnTheWindowTimer) {
  THintWindow w(nullptr);
  w.SetFadeDuration(200);
  TRect r = w.CalcHintRect(0, u"Fading", nullptr);
  r.Offset(300, 300);
  w.ActivateHint(r, u"Fading");
  HWND h = w.Handle();
  EXPECT_TRUE(GetWindowLongW(h, GWL_EXSTYLE) & WS_EX_LAYERED);
  BYTE alpha = 255;
  DWORD flags = 0;
  ASSERT_TRUE(GetLayeredWindowAttributes(h, nullptr, &alpha, &flags));
  EXPECT_EQ(alpha, 0);
  EXPECT_TRUE(w.Fading());
  Wait(100);
  GetLayeredWindowAttributes(h, nullptr, &alpha, &flags);
  EXPECT_GT(alpha, 90);
  EXPECT_LT(alpha, 160);
  EXPECT_EQ(w.CurrentAlpha(), alpha);
  Wait(150);
  GetLayeredWindowAttributes(h, nullptr, &alpha, &flags);
  EXPECT_EQ(alpha, 255);
  EXPECT_FALSE(w.Fading());
  EXPECT_NE(GetActiveWindow(), h);
}

}  // namespace vcl::formstest

namespace vcl::formstest {

TEST_F(Hints, AControlFreedWhileItsHintIsPendingOrShownTakesTheHintWithIt) {
  MoveTo(CenterOf(A));
  Wait(200);
  delete A;
  A = nullptr;
  EXPECT_EQ(Application->HintControl(), nullptr);
  Wait(600);
  EXPECT_FALSE(HintShowing());
  EXPECT_EQ(Application->HintControl(), nullptr);
  MoveTo(CenterOf(B));
  Wait(510);
  ASSERT_TRUE(HintShowing());
  delete B;
  B = nullptr;
  EXPECT_EQ(Application->HintControl(), nullptr);
  Wait(3000);  // the hide timer finds nothing to act on
  MoveTo(CenterOf(Plain));
  EXPECT_FALSE(HintShowing());
}

}  // namespace vcl::formstest
