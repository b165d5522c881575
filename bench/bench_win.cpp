// The window manager: invalidating and repainting a top-level window with 50 child windows
// (update regions, visible regions, WM_ERASEBKGND/WM_PAINT dispatch, window DCs, present).
#include <benchmark/benchmark.h>
#include <cairo.h>

#include "host/gdi/GdiInternal.h"
#include "host/platform/headless/HeadlessBackend.h"
#include "host/win/WinUser.h"

namespace {

using namespace vcl;

void Fill(HDC dc, const TRect& r, double shade) {
  cairo_t* cr = dc->Cairo();
  cairo_save(cr);
  cairo_set_source_rgb(cr, shade, 0.5, 1.0 - shade);
  cairo_rectangle(cr, r.Left, r.Top, r.Width(), r.Height());
  cairo_fill(cr);
  cairo_restore(cr);
  dc->EndDraw();
}

LRESULT PaintProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(h, &ps);
      TRect c;
      GetClientRect(h, &c);
      Fill(dc, c, (GetDlgCtrlID(h) % 7) / 7.0);
      EndPaint(h, &ps);
      return 0;
    }
    default: return DefWindowProcW(h, msg, wp, lp);
  }
}

struct Scene {
  HWND Top = nullptr;
  std::vector<HWND> Children;
  Scene() {
    if (!platform::HasCurrentBackend())
      platform::SetCurrentBackend(std::make_unique<platform::HeadlessBackend>());
    WNDCLASSEXW wc;
    wc.lpfnWndProc = PaintProc;
    wc.lpszClassName = u"BenchPaint";
    RegisterClassExW(&wc);
    Top = CreateWindowExW(0, u"BenchPaint", u"bench", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_VISIBLE,
                          50, 50, 820, 640, nullptr, nullptr, nullptr, nullptr);
    for (int i = 0; i < 50; ++i) {
      int x = 10 + (i % 10) * 78, y = 10 + (i / 10) * 110;
      Children.push_back(CreateWindowExW(0, u"BenchPaint", nullptr,
                                         WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_BORDER, x, y,
                                         72, 100, Top, ChildId(i + 1), nullptr, nullptr));
    }
    Drain();
  }
  static void Drain() {
    MSG m;
    while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&m);
  }
};

Scene& TheScene() {
  static Scene* s = new Scene;
  return *s;
}

// range(0): 0 = the whole window with all 50 children, 1 = one child.
void BM_InvalidateAndRepaint(benchmark::State& state) {
  Scene& s = TheScene();
  for (auto _ : state) {
    if (state.range(0) == 0)
      RedrawWindow(s.Top, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
    else
      InvalidateRect(s.Children[17], nullptr, true);
    Scene::Drain();
  }
}
BENCHMARK(BM_InvalidateAndRepaint)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

}  // namespace
