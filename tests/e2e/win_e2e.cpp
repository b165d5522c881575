// A small program for the window manager's end-to-end test in a real X server (win_e2e.sh):
// a top-level window with the default frame and caption and a focused child, and a
// non-activating pop-up beside it. It writes what happens to a log file, one line per event,
// which the script waits for while it drives the mouse:
//   ready                              everything is painted and on the screen
//   pos L T R B                        the main window's rectangle after each change
//   exitsizemove L T R B active=A focus=F
//   popup-click active=A focus=F       the pop-up got a click (A, F: main, popup, edit, none)
//   closed                             the main window was destroyed
// Usage: win_e2e LOGFILE
#include <cstdio>
#include <string>

#include "host/gdi/GdiDraw.h"
#include "host/win/WinUser.h"

extern "C" {
// Process-lifetime caches of the system libraries (fonts, the video driver, X11).
const char* __lsan_default_suppressions() {
  return "leak:libfontconfig.so\nleak:libpango-1.0.so\nleak:libpangoft2-1.0.so\n"
         "leak:libpangocairo-1.0.so\nleak:libglib-2.0.so\nleak:libgobject-2.0.so\n"
         "leak:libharfbuzz.so\nleak:libcairo.so\nleak:libfreetype.so\nleak:libSDL2-2.0.so\n"
         "leak:libX11.so\nleak:libxcb.so\nleak:libdbus-1.so\n";
}
}

namespace {

using namespace vcl;

FILE* gLog = nullptr;
HWND gMain = nullptr, gEdit = nullptr, gPopup = nullptr;
bool gReady = false;

constexpr COLORREF kMainColor = RGB(30, 110, 200);
constexpr COLORREF kEditColor = RGB(255, 255, 255);
constexpr COLORREF kPopupColor = RGB(250, 150, 20);

const char* Who(HWND h) {
  if (!h) return "none";
  if (h == gMain) return "main";
  if (h == gEdit) return "edit";
  if (h == gPopup) return "popup";
  return "other";
}

void Log(const std::string& line) {
  std::fprintf(gLog, "%s\n", line.c_str());
  std::fflush(gLog);
}

std::string RectText(HWND h) {
  TRect r;
  GetWindowRect(h, &r);
  return std::to_string(r.Left) + " " + std::to_string(r.Top) + " " + std::to_string(r.Right) + " " +
         std::to_string(r.Bottom);
}

std::string State() {
  return std::string("active=") + Who(GetActiveWindow()) + " focus=" + Who(GetFocus());
}

void PaintIn(HWND h, COLORREF color) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(h, &ps);
  TRect c;
  GetClientRect(h, &c);
  HBRUSH b = CreateSolidBrush(color);
  FillRect(dc, &c, b);
  DeleteObject(b);
  EndPaint(h, &ps);
}

LRESULT Proc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_ERASEBKGND: return 1;
    case WM_PAINT:
      PaintIn(h, h == gPopup ? kPopupColor : h == gEdit ? kEditColor : kMainColor);
      return 0;
    case WM_TIMER:
      // Timers come only when nothing is left to paint and every frame has been presented.
      KillTimer(h, wp);
      if (!gReady) {
        gReady = true;
        Log("ready");
      }
      return 0;
    case WM_WINDOWPOSCHANGED:
      if (h == gMain && gReady) Log("pos " + RectText(h));
      break;
    case WM_EXITSIZEMOVE: Log("exitsizemove " + RectText(h) + " " + State()); return 0;
    case WM_LBUTTONDOWN:
      if (h == gPopup) Log("popup-click " + State());
      return 0;
    case WM_DESTROY:
      if (h == gMain) {
        Log("closed");
        PostQuitMessage(0);
      }
      return 0;
    default: break;
  }
  return DefWindowProcW(h, msg, wp, lp);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: win_e2e LOGFILE\n");
    return 2;
  }
  gLog = std::fopen(argv[1], "w");
  if (!gLog) {
    std::perror(argv[1]);
    return 2;
  }
  WNDCLASSEXW wc;
  wc.style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
  wc.lpfnWndProc = Proc;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.lpszClassName = u"KxE2E";
  if (!RegisterClassExW(&wc)) return 3;

  gMain = CreateWindowExW(0, u"KxE2E", u"Kexora e2e main", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 100, 100,
                          400, 300, nullptr, nullptr, nullptr, nullptr);
  gEdit = CreateWindowExW(0, u"KxE2E", nullptr, WS_CHILD | WS_VISIBLE | WS_BORDER, 20, 20, 200, 28, gMain,
                          ChildId(1), nullptr, nullptr);
  gPopup = CreateWindowExW(WS_EX_NOACTIVATE | WS_EX_TOPMOST | WS_EX_TOOLWINDOW, u"KxE2E", u"Kexora e2e popup",
                           WS_POPUP | WS_BORDER, 800, 150, 160, 100, gMain, nullptr, nullptr, nullptr);
  if (!gMain || !gEdit || !gPopup) return 3;
  ShowWindow(gMain, SW_SHOW);
  SetFocus(gEdit);
  ShowWindow(gPopup, SW_SHOWNOACTIVATE);
  SetTimer(gMain, 1, 30, nullptr);

  MSG m;
  while (GetMessageW(&m, nullptr, 0, 0)) {
    TranslateMessage(&m);
    DispatchMessageW(&m);
  }
  std::fclose(gLog);
  return int(m.wParam);
}
