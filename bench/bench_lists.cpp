// Native list box repaints: a full repaint of a "LISTBOX" scrolled to the middle of 10 or of
// 100,000 items should cost the same (only the visible rows are drawn).
#include <benchmark/benchmark.h>

#include "host/platform/headless/HeadlessBackend.h"
#include "host/win/WinUser.h"
#include "host/win/ctl/ListBox.h"

namespace {

using namespace vcl;

void Drain() {
  MSG m;
  while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&m);
}

HWND MakeList(int items) {
  if (!platform::HasCurrentBackend())
    platform::SetCurrentBackend(std::make_unique<platform::HeadlessBackend>());
  static HWND top = [] {
    WNDCLASSEXW wc;
    wc.lpfnWndProc = DefWindowProcW;
    wc.lpszClassName = u"BenchListTop";
    RegisterClassExW(&wc);
    return CreateWindowExW(0, u"BenchListTop", u"", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0,
                           220, 320, nullptr, nullptr, nullptr, nullptr);
  }();
  HWND list = CreateWindowExW(0, u"LISTBOX", u"", WS_CHILD | WS_VISIBLE | WS_VSCROLL, 0, 0, 200, 300,
                              top, ChildId(1), nullptr, nullptr);
  SendMessageW(list, WM_SETREDRAW, 0, 0);
  for (int i = 0; i < items; ++i)
    SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(u"An item of the list"));
  SendMessageW(list, WM_SETREDRAW, 1, 0);
  SendMessageW(list, LB_SETTOPINDEX, WPARAM(items / 2), 0);
  SendMessageW(list, LB_SETCURSEL, WPARAM(items / 2 + 1), 0);
  Drain();
  return list;
}

// range(0): the item count.
void BM_ListBoxRepaint(benchmark::State& state) {
  HWND list = MakeList(int(state.range(0)));
  for (auto _ : state) {
    InvalidateRect(list, nullptr, true);
    Drain();
  }
  DestroyWindow(list);
}
BENCHMARK(BM_ListBoxRepaint)->Arg(10)->Arg(100000)->Unit(benchmark::kMicrosecond);

}  // namespace
