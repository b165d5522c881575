// The control foundation: a state repaint (RePaintControl) of a transparent custom control,
// which reuses its captured background, beside a full repaint that captures it afresh, over
// an opaque parent that paints a 4 x 4 pixel pattern.
#include <benchmark/benchmark.h>

#include <memory>

#include "controls/kxCustomControl.h"
#include "host/platform/headless/HeadlessBackend.h"
#include "host/win/WinUser.h"

namespace {

using namespace vcl;
using namespace kx;

class TBenchParent : public TkxCustomControl {
 public:
  explicit TBenchParent(TComponent* owner) : TkxCustomControl(owner) {
    FTransparentBackground = false;
    FControlStyle.Include(csAcceptsControls);
  }

 protected:
  void DrawControl(TCanvas* canvas, TkxsCtrlState) override {
    for (int y = 0; y < Height(); y += 4)
      for (int x = 0; x < Width(); x += 4) {
        canvas->Brush()->SetColor(TColor(RGB(BYTE(x), BYTE(y), 128)));
        canvas->FillRect(Rect(x, y, x + 4, y + 4));
      }
  }
};

// A transparent control drawing a small face over its background, like a button.
class TBenchChild : public TkxCustomControl {
 public:
  using TkxCustomControl::TkxCustomControl;

 protected:
  void DrawControl(TCanvas* canvas, TkxsCtrlState) override {
    canvas->Brush()->SetColor(clBtnFace);
    canvas->FillRect(Rect(4, 4, Width() - 4, Height() - 4));
  }
};

struct Scene {
  std::unique_ptr<TComponent> Owner;
  TBenchParent* Parent = nullptr;
  TBenchChild* Child = nullptr;
  HWND Top = nullptr;
  Scene() {
    if (!platform::HasCurrentBackend())
      platform::SetCurrentBackend(std::make_unique<platform::HeadlessBackend>());
    RegisterKxControlClasses();
    WNDCLASSEXW wc;
    wc.lpfnWndProc = DefWindowProcW;
    wc.lpszClassName = u"BenchControls";
    RegisterClassExW(&wc);
    Top = CreateWindowExW(0, u"BenchControls", u"bench", WS_POPUP | WS_VISIBLE, 0, 0, 400, 300,
                          nullptr, nullptr, nullptr, nullptr);
    Owner = std::make_unique<TComponent>(nullptr);
    Parent = new TBenchParent(Owner.get());
    Parent->SetBounds(0, 0, 400, 300);
    Parent->SetParentWindow(Top);
    Child = new TBenchChild(Owner.get());
    Child->SetBounds(40, 40, 120, 32);
    Child->SetParent(Parent);
    Drain();
  }
  ~Scene() {
    Owner.reset();
    DestroyWindow(Top);
    Drain();
  }
  static void Drain() {
    MSG m;
    while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&m);
  }
};

void BM_RePaintTransparentControl(benchmark::State& state) {
  Scene scene;
  for (auto _ : state) scene.Child->RePaintControl();
}
BENCHMARK(BM_RePaintTransparentControl);

// The same control told that its background changed: capture (the parent paints) and repaint.
void BM_RecaptureTransparentControl(benchmark::State& state) {
  Scene scene;
  for (auto _ : state) SendMessageW(scene.Child->Handle(), WM_PARENTBGCHANGED, 0, 0);
}
BENCHMARK(BM_RecaptureTransparentControl);

// With the parent keeping its paint buffer the capture is a copy out of it.
void BM_RecaptureFromStoredBuffer(benchmark::State& state) {
  Scene scene;
  scene.Parent->SetStorePaintBuffer(true);
  scene.Parent->RePaintControl();
  for (auto _ : state) SendMessageW(scene.Child->Handle(), WM_PARENTBGCHANGED, 0, 0);
}
BENCHMARK(BM_RecaptureFromStoredBuffer);

}  // namespace
