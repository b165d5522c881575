// Shared helpers of the window manager tests: a logging window class, per-window handlers,
// pumping the queue, and a fixture that leaves no window, timer or capture behind.
#pragma once
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "host/win/WinUser.h"

namespace vcl::wintest {

struct Logged {
  HWND Hwnd;
  UINT Msg;
  WPARAM WParam;
  LPARAM LParam;
};

// Every message the test windows receive, in order.
inline std::vector<Logged>& Log() {
  static std::vector<Logged> log;
  return log;
}

using Handler = std::function<bool(HWND, UINT, WPARAM, LPARAM, LRESULT&)>;

// Per-window handlers: return true to answer the message with the given result instead of
// the default handling.
inline std::map<HWND, Handler>& Handlers() {
  static std::map<HWND, Handler> h;
  return h;
}

// A handler installed before CreateWindowExW returns (for creation messages).
inline Handler& NextHandler() {
  static Handler h;
  return h;
}

inline LRESULT CALLBACK_LogProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  Log().push_back({hwnd, msg, wp, lp});
  if (msg == WM_NCCREATE && NextHandler()) {
    Handlers()[hwnd] = NextHandler();
    NextHandler() = nullptr;
  }
  auto it = Handlers().find(hwnd);
  if (it != Handlers().end() && it->second) {
    LRESULT r = 0;
    Handler h = it->second;  // the handler may replace itself
    if (h(hwnd, msg, wp, lp, r)) return r;
  }
  if (msg == WM_NCDESTROY) Handlers().erase(hwnd);
  return DefWindowProcW(hwnd, msg, wp, lp);
}

inline const Char* TestClass() {
  static bool done = [] {
    WNDCLASSEXW wc;
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = CALLBACK_LogProc;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = u"WinTest";
    wc.cbWndExtra = 16;
    return RegisterClassExW(&wc) != 0;
  }();
  (void)done;
  return u"WinTest";
}

// A class whose background is filled with a system colour brush.
inline const Char* FilledClass() {
  static bool done = [] {
    WNDCLASSEXW wc;
    wc.lpfnWndProc = CALLBACK_LogProc;
    wc.hbrBackground = GetSysColorBrush(COLOR_WINDOW);
    wc.lpszClassName = u"WinTestFilled";
    return RegisterClassExW(&wc) != 0;
  }();
  (void)done;
  return u"WinTestFilled";
}

inline HWND MakeWindow(DWORD style, const TRect& r, HWND parent = nullptr, DWORD exStyle = 0,
                       Handler handler = nullptr, const Char* cls = nullptr, int id = 0) {
  NextHandler() = std::move(handler);
  HWND h = CreateWindowExW(exStyle, cls ? cls : TestClass(), u"test", style, r.Left, r.Top,
                           r.Width(), r.Height(), parent,
                           (style & WS_CHILD) ? ChildId(id) : nullptr, nullptr, nullptr);
  NextHandler() = nullptr;
  return h;
}

// The messages of one window (or all when hwnd is null), optionally only those in a set.
inline std::vector<UINT> Msgs(HWND hwnd = nullptr, std::vector<UINT> only = {}) {
  std::vector<UINT> r;
  for (const Logged& l : Log()) {
    if (hwnd && l.Hwnd != hwnd) continue;
    if (!only.empty() && std::find(only.begin(), only.end(), l.Msg) == only.end()) continue;
    r.push_back(l.Msg);
  }
  return r;
}

// The latest logged message of a window, or nullptr.
inline const Logged* Last(HWND h, UINT msg) {
  for (auto it = Log().rbegin(); it != Log().rend(); ++it)
    if (it->Hwnd == h && it->Msg == msg) return &*it;
  return nullptr;
}

inline TPoint ScreenOf(HWND h, TPoint client) {
  ClientToScreen(h, &client);
  return client;
}

inline int Count(HWND hwnd, UINT msg) {
  int n = 0;
  for (const Logged& l : Log())
    if (l.Hwnd == hwnd && l.Msg == msg) ++n;
  return n;
}

// Retrieves and dispatches until the queue is empty; fails the test after too many messages
// (a window that never validates would loop forever).
inline int Pump(int limit = 10000) {
  MSG m;
  int n = 0;
  while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
    if (m.message == WM_QUIT) {
      PostQuitMessage(int(m.wParam));
      break;
    }
    TranslateMessage(&m);
    DispatchMessageW(&m);
    if (++n > limit) {
      ADD_FAILURE() << "message loop did not settle";
      break;
    }
  }
  return n;
}

void AdvanceClock(unsigned ms);  // the headless backend's clock

class WinTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Log().clear();
    Handlers().clear();
  }
  void TearDown() override {
    ReleaseCapture();
    std::vector<HWND> tops;
    EnumWindows(
        [](HWND h, LPARAM lp) {
          reinterpret_cast<std::vector<HWND>*>(lp)->push_back(h);
          return BOOL(true);
        },
        reinterpret_cast<LPARAM>(&tops));
    for (HWND h : tops) DestroyWindow(h);
    MSG m;
    while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
    }
    Handlers().clear();
    Log().clear();
  }
};

}  // namespace vcl::wintest

namespace vcl::wintest {
// The back-buffer pixel of a top-level window at a point in window coordinates, as 0xRRGGBB.
std::uint32_t PixelAt(HWND top, int x, int y);
}  // namespace vcl::wintest

namespace vcl::wintest {
// Fills a rectangle (logical coordinates) on any DC with an opaque colour.
void FillDc(HDC dc, const TRect& r, COLORREF color);
constexpr std::uint32_t Px(BYTE r, BYTE g, BYTE b) { return (std::uint32_t(r) << 16) | (g << 8) | b; }
}  // namespace vcl::wintest

namespace vcl::platform {
class HeadlessBackend;
}
namespace vcl::wintest {
platform::HeadlessBackend& Headless();
}  // namespace vcl::wintest
