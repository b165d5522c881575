// Helpers of the control-foundation tests: a patterned parent whose paints are counted, a
// transparent probe that shows what it captured, a solid graphic control, and a fixture that
// hosts them in a top-level window of the headless backend.
#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>

#include "controls/kxCustomControl.h"
#include "tests/win/WinTestUtil.h"

namespace ctltest {

using namespace vcl;
using namespace kx;

// The colour the patterned parent shows at a point of its own: 4 x 4 cells coloured by their
// column, their row and the parent's phase.
inline std::uint32_t PatternAt(int x, int y, int phase) {
  return wintest::Px(BYTE(40 + (x / 4) * 7), BYTE(30 + (y / 4) * 9), BYTE(phase));
}

// A custom control painting the pattern; counts its paints and notes when a child was
// capturing it during one (until the test clears CapturedByChild).
class TPatternControl : public TkxCustomControl {
 public:
  explicit TPatternControl(TComponent* owner) : TkxCustomControl(owner) {
    FTransparentBackground = false;
    FControlStyle.Include(csAcceptsControls);
  }
  int Phase = 10;
  int Paints = 0;
  bool CapturedByChild = false;
  using TkxCustomControl::SetTransparentBackground;

 protected:
  void DrawControl(TCanvas* canvas, TkxsCtrlState) override {
    ++Paints;
    if (FGetControlBG) CapturedByChild = true;
    for (int y = 0; y < Height(); y += 4)
      for (int x = 0; x < Width(); x += 4) {
        std::uint32_t c = PatternAt(x, y, Phase);
        canvas->Brush()->SetColor(TColor(RGB(BYTE(c >> 16), BYTE(c >> 8), BYTE(c))));
        canvas->FillRect(Rect(x, y, x + 4, y + 4));
      }
  }
};

// A transparent custom control that draws nothing over its background, so its pixels are the
// captured image; counts its paints, captures and background-change messages.
class TProbe : public TkxCustomControl {
 public:
  explicit TProbe(TComponent* owner) : TkxCustomControl(owner) {
    FControlStyle.Include(csAcceptsControls);
  }
  int Paints = 0;
  int Captures = 0;
  int BackgroundChanges = 0;
  using TkxCustomControl::FDrawInClientRect;
  using TkxCustomControl::FUseOnlyParentBackground;
  using TkxCustomControl::SetTransparentBackground;

 protected:
  void GetParentBG() override {
    ++Captures;
    TkxCustomControl::GetParentBG();
  }
  void DrawControl(TCanvas*, TkxsCtrlState) override { ++Paints; }
  void WMParentBGChanged(TMessage& m) override {
    ++BackgroundChanges;
    TkxCustomControl::WMParentBGChanged(m);
  }
};

// A probe with a one-pixel window border: its client area starts at (1, 1) of its window.
class TBorderedProbe : public TProbe {
 public:
  using TProbe::TProbe;

 protected:
  void CreateParams(TCreateParams& params) override {
    TProbe::CreateParams(params);
    params.Style |= WS_BORDER;
  }
};

// A graphic control filling itself with one colour; counts background-change messages.
class TSolidGraphic : public TGraphicControl {
 public:
  TSolidGraphic(TComponent* owner, TColor color) : TGraphicControl(owner), FFill(color) {}
  int BackgroundChanges = 0;
  void Dispatch(TMessage& m) override {
    if (m.Msg == WM_PARENTBGCHANGED) ++BackgroundChanges;
    TGraphicControl::Dispatch(m);
  }

 protected:
  void Paint() override {
    Canvas()->Brush()->SetColor(FFill);
    Canvas()->FillRect(Rect(0, 0, Width(), Height()));
  }

 private:
  TColor FFill;
};

// 0xRRGGBB of a pixel of a bitmap (as drawn: the stored word without alpha).
inline std::uint32_t Rgb(TBitmap* b, int x, int y) {
  return static_cast<std::uint32_t*>(b->ScanLine(y))[x] & 0xFFFFFF;
}

class ControlsTest : public wintest::WinTest {
 protected:
  void SetUp() override {
    WinTest::SetUp();
    RegisterKxControlClasses();
    FTop = wintest::MakeWindow(WS_POPUP | WS_VISIBLE, Rect(0, 0, 240, 180));
    FOwner = std::make_unique<TComponent>(nullptr);
  }
  void TearDown() override {
    FOwner.reset();
    WinTest::TearDown();
  }

  // A patterned root at the top-left of the test window.
  TPatternControl* MakeRoot(int w = 160, int h = 120) {
    auto* root = new TPatternControl(FOwner.get());
    root->SetBounds(0, 0, w, h);
    root->SetParentWindow(FTop);
    root->HandleNeeded();
    return root;
  }
  template <class T, class... A>
  T* Make(TWinControl* parent, TRect bounds, A... args) {
    auto* c = new T(FOwner.get(), args...);
    c->SetBounds(bounds.Left, bounds.Top, bounds.Width(), bounds.Height());
    c->SetParent(parent);
    return c;
  }
  // What the test window shows at a point (window coordinates).
  std::uint32_t Shown(int x, int y) { return wintest::PixelAt(FTop, x, y); }
  // Whether every pixel of r (window coordinates) shows the root's pattern in `phase`.
  ::testing::AssertionResult ShowsPattern(const TRect& r, int phase) {
    for (int y = r.Top; y < r.Bottom; ++y)
      for (int x = r.Left; x < r.Right; ++x)
        if (Shown(x, y) != PatternAt(x, y, phase))
          return ::testing::AssertionFailure() << "at " << x << "," << y << ": " << std::hex
                                               << Shown(x, y) << " instead of "
                                               << PatternAt(x, y, phase);
    return ::testing::AssertionSuccess();
  }

  HWND FTop = nullptr;
  std::unique_ptr<TComponent> FOwner;
};

}  // namespace ctltest
