// Shared helpers of the control tests: a top-level container control, controls that record
// what they receive, and a fixture that pumps the headless window manager.
#pragma once
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "host/vcl/Controls.h"
#include "tests/win/WinTestUtil.h"

namespace vcl::vcltest {

// A top-level window control (a popup with no frame), the root of the test trees.
class TTestRoot : public TCustomControl {
 public:
  static const TClass Class;
  const TClass* ClassType() const override { return &Class; }
  explicit TTestRoot(TComponent* owner = nullptr);
  using TWinControl::SetFocusedControl;

 protected:
  void CreateParams(TCreateParams& p) override;
};

// A windowed control that logs the control messages and key events it receives.
class TLogControl : public TCustomControl {
 public:
  static const TClass Class;
  const TClass* ClassType() const override { return &Class; }
  explicit TLogControl(TComponent* owner);

  std::vector<UINT> Messages;  // CM_ and CN_ messages, in order
  std::vector<TMessage> Full;  // the same with their parameters
  int Count(UINT msg) const;
  LRESULT DialogKeyResult = 0;   // answer to CM_DIALOGKEY when the key is DialogKey
  Word DialogKey = 0;
  Char Accel = 0;                // answer CM_DIALOGCHAR for this character
  LRESULT DlgCode = 0;           // answer to WM_GETDLGCODE
  TColor PaintColor = clNone;    // fills the client area with this colour when set
  int Paints = 0;

  void Dispatch(TMessage& m) override;

 protected:
  void Paint() override;
};

// A graphic control that fills itself with a colour and logs what it receives.
class TLogGraphic : public TGraphicControl {
 public:
  static const TClass Class;
  const TClass* ClassType() const override { return &Class; }
  explicit TLogGraphic(TComponent* owner);
  std::vector<UINT> Messages;
  int Count(UINT msg) const;
  TColor PaintColor = clRed;
  int Paints = 0;
  int Clicks = 0;
  void Dispatch(TMessage& m) override;
  void Click() override {
    ++Clicks;
    TGraphicControl::Click();
  }

 protected:
  void Paint() override;
};

void RegisterTestClasses();

class VclTest : public wintest::WinTest {
 protected:
  void SetUp() override;
  void TearDown() override;
  // A shown root at (x, y) with the given client size.
  TTestRoot* MakeRoot(int w = 400, int h = 300, int x = 100, int y = 100);
  template <class T>
  T* Make(TWinControl* parent, TRect bounds) {
    auto* c = new T(FRoots.empty() ? nullptr : FRoots.front().get());
    c->SetBounds(bounds.Left, bounds.Top, bounds.Width(), bounds.Height());
    c->SetParent(parent);
    return c;
  }
  // Moves the headless pointer to a screen point and lets the messages arrive.
  void MoveMouse(TPoint screen);
  void Click(TPoint screen);
  void Key(Word vk);  // press and release, with the key step of the message loop
  void Type(Word vk, const char* text);  // a key that makes a character
  int Pump();
  std::vector<std::unique_ptr<TTestRoot>> FRoots;
};

// The pixel of a root's window at a client point, 0xRRGGBB.
std::uint32_t Pixel(TWinControl* root, int x, int y);
constexpr std::uint32_t Rgb(TColor c) {
  return ((std::uint32_t(c) & 0xFF) << 16) | (std::uint32_t(c) & 0xFF00) | ((std::uint32_t(c) >> 16) & 0xFF);
}

}  // namespace vcl::vcltest
