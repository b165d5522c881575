// The active control: hover, press and focus through headless input, the leave timer on the
// virtual clock, and cross-faded state changes through the buffered-animation service.
#include "ControlsTest.h"
#include "controls/kxActiveControl.h"
#include "draw/kxSystem.h"
#include "host/platform/headless/HeadlessBackend.h"

namespace ctltest {
namespace {

constexpr std::uint32_t kNormal = 0x0000FF, kHot = 0xFF0000, kPressed = 0x00FF00,
                        kFocused = 0xFFFF00, kDisabled = 0x808080;

// A button-like active control: pressed while the left button is held on it, focused while
// it has the focus; each state fills the control with its own colour.
class TStateButton : public TkxCustomActiveControl {
 public:
  explicit TStateButton(TComponent* owner) : TkxCustomActiveControl(owner) {
    FTransparentBackground = false;
    SetTabStop(true);
  }
  bool FadeFocused = false;
  // Shows the normal look while set, whatever the mouse does (a look changed by code, with no
  // transition of its own).
  bool Dim = false;
  void SetDim(bool v) {
    Dim = v;
    RePaintControl();
  }
  using TkxCustomActiveControl::SetTransparentBackground;
  using TkxCustomActiveControl::StopTransition;

 protected:
  TkxsCtrlState GetCtrlState() override {
    TkxsCtrlState s = TkxCustomActiveControl::GetCtrlState();
    if (s == kxsDisabled) return s;
    if (Dim) return kxsNormal;
    if (FPressed) return kxsPressed;
    if (s == kxsNormal && Focused()) return kxsFocused;
    return s;
  }
  bool AnimateFocusedState() override { return FadeFocused; }
  void MouseDown(TMouseButton b, TShiftState shift, int x, int y) override {
    TkxCustomActiveControl::MouseDown(b, shift, x, y);
    FPressed = true;
    RePaintControl();
  }
  void MouseUp(TMouseButton b, TShiftState shift, int x, int y) override {
    TkxCustomActiveControl::MouseUp(b, shift, x, y);
    FPressed = false;
    RePaintControl();
  }
  void DrawControl(TCanvas* canvas, TkxsCtrlState state) override {
    static constexpr std::uint32_t colours[] = {kNormal, kHot, kPressed, kFocused, kDisabled};
    std::uint32_t c = colours[state];
    canvas->Brush()->SetColor(TColor(RGB(BYTE(c >> 16), BYTE(c >> 8), BYTE(c))));
    canvas->FillRect(Rect(0, 0, Width(), Height()));
  }

 private:
  bool FPressed = false;
};

HANIMATIONBUFFER FailingBegin(HWND, HDC, const TRect*, BP_BUFFERFORMAT, const BP_PAINTPARAMS*,
                              const BP_ANIMATIONPARAMS*, HDC* from, HDC* to) {
  *from = *to = nullptr;
  return nullptr;
}

class ActiveControl : public ControlsTest {
 protected:
  void SetUp() override {
    ControlsTest::SetUp();
    InitializeDrawUtils();
    FRoot = MakeRoot(200, 150);
    FButton = Make<TStateButton>(FRoot, Rect(20, 20, 80, 50));  // 60 x 30
    FButton->HandleNeeded();
    Park();
  }
  void TearDown() override {
    FOwner.reset();
    FinalizeDrawUtils();
    ControlsTest::TearDown();
  }
  // Moves the pointer (window coordinates of the test window) and lets the messages run.
  void MoveTo(int x, int y) {
    TPoint p = wintest::ScreenOf(FTop, {x, y});
    wintest::Headless().InjectMouseMove(p.X, p.Y);
    wintest::Pump();
  }
  void Button(bool down) {
    wintest::Headless().InjectMouseButton(platform::MouseButton::Left, down);
    wintest::Pump();
  }
  void Advance(unsigned ms) {
    wintest::AdvanceClock(ms);
    wintest::Pump();
  }
  // The pointer over the root, away from the button.
  void Park() { MoveTo(150, 120); }
  std::uint32_t Face() { return Shown(50, 35); }

  TPatternControl* FRoot = nullptr;
  TStateButton* FButton = nullptr;
};

TEST_F(ActiveControl, HoverPressAndFocusFollowTheInput) {
  EXPECT_EQ(Face(), kNormal);
  MoveTo(30, 30);
  EXPECT_TRUE(FButton->MouseIn());
  EXPECT_EQ(Face(), kHot);
  MoveTo(79, 49);  // the last pixel of the button
  EXPECT_EQ(Face(), kHot);
  Park();
  EXPECT_FALSE(FButton->MouseIn());
  EXPECT_EQ(Face(), kNormal);
  // Pressed while held, hot again on release, focused once the mouse is gone.
  MoveTo(30, 30);
  Button(true);
  EXPECT_EQ(Face(), kPressed);
  Button(false);
  EXPECT_EQ(Face(), kHot);
  FButton->SetFocus();
  Park();
  EXPECT_EQ(Face(), kFocused);
  // A disabled control shows disabled, hovered or not.
  FButton->SetEnabled(false);
  MoveTo(30, 30);
  EXPECT_EQ(Face(), kDisabled);
}

TEST_F(ActiveControl, CapturedMovesCountBothFarEdgesAsInside) {
  MoveTo(30, 30);
  Button(true);  // the press captures the mouse: the button sees moves outside it
  TPoint edge = wintest::ScreenOf(FTop, {20 + 60, 20 + 30});  // x = Width, y = Height
  wintest::Headless().InjectMouseMove(edge.X, edge.Y);
  wintest::Pump();
  EXPECT_TRUE(FButton->MouseIn());
  wintest::Headless().InjectMouseMove(edge.X + 1, edge.Y);
  wintest::Pump();
  EXPECT_FALSE(FButton->MouseIn());
  Button(false);
}

TEST_F(ActiveControl, TheLeaveTimerNoticesTheMouseGoneWithoutALeaveMessage) {
  // The control is told the mouse entered while the pointer is elsewhere: no leave message
  // will ever come, only the timer can notice.
  FButton->Perform(CM_MOUSEENTER, 0, 0);
  EXPECT_TRUE(FButton->MouseIn());
  EXPECT_EQ(Face(), kHot);
  Advance(kx::TkxCustomActiveControl::kMouseTimerInterval - 10);
  EXPECT_TRUE(FButton->MouseIn()) << "not before the first tick";
  Advance(20);
  EXPECT_FALSE(FButton->MouseIn());
  EXPECT_EQ(Face(), kNormal);
  MoveTo(30, 30);
  Advance(350);
  EXPECT_TRUE(FButton->MouseIn()) << "the ticks leave a control the pointer is over alone";
}

// Red and blue both well away from their ends: a blend of the two looks.
bool IsBlend(std::uint32_t c) {
  int r = (c >> 16) & 0xFF, b = c & 0xFF;
  return r > 40 && r < 215 && b > 40 && b < 215 && r + b > 200 && r + b < 310;
}

TEST_F(ActiveControl, AnimatedHoverFadesFromTheNormalToTheHotLook) {
  ASSERT_TRUE(IsBufferedAnimationAvailable());
  FButton->SetAnimation(true);
  MoveTo(30, 30);
  EXPECT_EQ(Face(), kNormal) << "the fade starts at the old look";
  Advance(kx::TkxCustomActiveControl::kFadeDuration / 2);
  EXPECT_TRUE(IsBlend(Face())) << std::hex << Face();
  Advance(kx::TkxCustomActiveControl::kFadeDuration);
  EXPECT_EQ(Face(), kHot);
  // Leaving fades back.
  Park();
  Advance(kx::TkxCustomActiveControl::kFadeDuration / 2);
  EXPECT_TRUE(IsBlend(Face())) << std::hex << Face();
  Advance(kx::TkxCustomActiveControl::kFadeDuration);
  EXPECT_EQ(Face(), kNormal);
}

TEST_F(ActiveControl, PressedAndFocusedStatesAreShownAtOnce) {
  FButton->SetAnimation(true);
  MoveTo(30, 30);
  Advance(kx::TkxCustomActiveControl::kFadeDuration + 20);
  Button(true);
  EXPECT_EQ(Face(), kPressed) << "a press never fades";
  EXPECT_EQ(FButton->OldCtrlState(), kxsHot) << "an ordinary paint leaves the old state";
  Button(false);
  EXPECT_EQ(Face(), kHot) << "the release shows at once: the old state is still hot";
  Advance(kx::TkxCustomActiveControl::kTransitionWindow);
  FButton->SetFocus();
  wintest::Pump();
  Park();
  EXPECT_EQ(Face(), kFocused) << "focus fades only where the control asks for it";
  // With the focused state animated, leaving fades into it.
  FButton->FadeFocused = true;
  MoveTo(30, 30);
  Advance(kx::TkxCustomActiveControl::kTransitionWindow);
  EXPECT_EQ(Face(), kHot);
  Park();
  Advance(kx::TkxCustomActiveControl::kFadeDuration / 2);
  std::uint32_t mid = Face();
  EXPECT_NE(mid, kHot);
  EXPECT_NE(mid, kFocused);
  Advance(kx::TkxCustomActiveControl::kFadeDuration);
  EXPECT_EQ(Face(), kFocused);
}

TEST_F(ActiveControl, ATransitionLastsTheTransitionWindowAtMost) {
  FButton->SetAnimation(true);
  MoveTo(30, 30);
  Advance(kx::TkxCustomActiveControl::kFadeDuration + 20);
  ASSERT_EQ(Face(), kHot);
  // Inside the window every change of look fades, also one made by code.
  FButton->SetDim(true);
  EXPECT_EQ(Face(), kHot);
  Advance(kx::TkxCustomActiveControl::kFadeDuration / 2);
  EXPECT_TRUE(IsBlend(Face())) << std::hex << Face();
  Advance(kx::TkxCustomActiveControl::kFadeDuration);
  FButton->SetDim(false);
  // Timer 1 ends the window: a change after it shows at once, with no fade left running.
  Advance(kx::TkxCustomActiveControl::kTransitionWindow);
  EXPECT_EQ(BufferedAnimationCount(FButton->Handle()), 0);
  FButton->SetDim(true);
  EXPECT_EQ(Face(), kNormal);
}

TEST_F(ActiveControl, BackgroundChangesAndSubclassesCancelATransition) {
  FButton->SetAnimation(true);
  auto hoverThenDim = [&](auto&& cancel) {
    FButton->SetDim(false);
    Park();
    Advance(kx::TkxCustomActiveControl::kTransitionWindow + 10);
    MoveTo(30, 30);
    Advance(kx::TkxCustomActiveControl::kFadeDuration + 20);
    cancel();
    FButton->SetDim(true);
    return Face();
  };
  // Nothing cancels: the change fades from the hot look.
  EXPECT_EQ(hoverThenDim([] {}), kHot);
  // Erasing outside a paint.
  EXPECT_EQ(hoverThenDim([&] {
              HDC dc = GetDC(FButton->Handle());
              FButton->Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
              ReleaseDC(FButton->Handle(), dc);
            }),
            kNormal);
  // A changed background beneath a transparent control; an opaque one keeps its fade.
  EXPECT_EQ(hoverThenDim([&] { FButton->Perform(WM_PARENTBGCHANGED, 0, 0); }), kHot);
  FButton->SetTransparentBackground(true);
  EXPECT_EQ(hoverThenDim([&] { FButton->Perform(WM_PARENTBGCHANGED, 0, 0); }), kNormal);
  FButton->SetTransparentBackground(false);
  // A subclass stopping it.
  EXPECT_EQ(hoverThenDim([&] { FButton->StopTransition(); }), kNormal);
}

TEST_F(ActiveControl, AFailedCrossFadeFallsBackToAnOrdinaryPaint) {
  TkxSystemFacts facts = ReadSystemFacts();
  facts.BeginBufferedAnimation = &FailingBegin;
  InitializeDrawUtils(facts);
  ASSERT_TRUE(IsBufferedAnimationAvailable());
  FButton->SetAnimation(true);
  MoveTo(30, 30);
  EXPECT_EQ(Face(), kHot) << "painted at once although no transition could start";
  Park();
  EXPECT_EQ(Face(), kNormal);
  // Without the service at all, the same.
  facts.BeginBufferedAnimation = nullptr;
  InitializeDrawUtils(facts);
  MoveTo(30, 30);
  EXPECT_EQ(Face(), kHot);
  EXPECT_EQ(BufferedAnimationCount(FButton->Handle()), 0);
}

TEST_F(ActiveControl, MovingATransparentControlCancelsARunningFade) {
  FButton->SetTransparentBackground(true);
  FButton->SetAnimation(true);
  MoveTo(30, 30);
  ASSERT_EQ(Face(), kNormal);
  FButton->SetBounds(24, 20, 60, 30);
  EXPECT_EQ(Shown(60, 35), kHot) << "the moved control shows its state without fading";
  Advance(kx::TkxCustomActiveControl::kFadeDuration / 2);
  EXPECT_EQ(Shown(60, 35), kHot);
}

}  // namespace
}  // namespace ctltest
