// The "EDIT" control: one typed character with its repaint in a 200-character single-line
// edit, and in memos of 10 and 10,000 lines (the layout is redone only around the change).
#include <benchmark/benchmark.h>

#include "host/gdi/Gdi.h"
#include "host/platform/headless/HeadlessBackend.h"
#include "host/win/WinUser.h"
#include "host/win/ctl/Edit.h"

namespace {

using namespace vcl;

void Drain() {
  MSG m;
  while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&m);
    DispatchMessageW(&m);
  }
}

HWND Parent() {
  static HWND top = [] {
    if (!platform::HasCurrentBackend())
      platform::SetCurrentBackend(std::make_unique<platform::HeadlessBackend>());
    WNDCLASSEXW wc;
    wc.lpfnWndProc = DefWindowProcW;
    wc.lpszClassName = u"BenchEditParent";
    RegisterClassExW(&wc);
    return CreateWindowExW(0, u"BenchEditParent", u"bench", WS_POPUP | WS_VISIBLE, 50, 50, 640,
                           480, nullptr, nullptr, nullptr, nullptr);
  }();
  return top;
}

HWND MakeEdit(DWORD style, const String& text, int height) {
  HWND e = CreateWindowExW(0, u"EDIT", text.c_str(), WS_CHILD | WS_VISIBLE | style, 10, 10, 600,
                           height, Parent(), ChildId(1), nullptr, nullptr);
  SendMessageW(e, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), 0);
  SetFocus(e);
  Drain();
  return e;
}

// Types a character in the middle and takes it out again, repainting after each.
void TypeAndRepaint(benchmark::State& state, HWND e, int pos) {
  for (auto _ : state) {
    SendMessageW(e, EM_SETSEL, WPARAM(pos), LPARAM(pos));
    SendMessageW(e, WM_CHAR, u'x', 1);
    UpdateWindow(e);
    SendMessageW(e, WM_CHAR, 0x08, 1);
    UpdateWindow(e);
  }
  state.SetItemsProcessed(state.iterations() * 2);
}

void BM_EditKeystroke200(benchmark::State& state) {
  String text;
  for (int i = 0; i < 200; ++i) text += Char(u'a' + i % 26);
  HWND e = MakeEdit(ES_AUTOHSCROLL, text, 24);
  TypeAndRepaint(state, e, 100);
  DestroyWindow(e);
}
BENCHMARK(BM_EditKeystroke200)->Unit(benchmark::kMicrosecond);

// range(0): the number of lines.
void BM_MemoKeystroke(benchmark::State& state) {
  String text;
  for (int i = 0; i < state.range(0); ++i) text += u"The quick brown fox jumps over the lazy dog\r\n";
  HWND e = MakeEdit(ES_MULTILINE | WS_VSCROLL, text, 400);
  TypeAndRepaint(state, e, 5 * 45 + 10);
  DestroyWindow(e);
}
BENCHMARK(BM_MemoKeystroke)->Arg(10)->Arg(10000)->Unit(benchmark::kMicrosecond);

}  // namespace
