// The desktop: monitors and DPI changes between monitors, system metrics, the clipboard,
// the shell, layered windows, presenting whole frames, and the absent composition service.
#include "host/platform/headless/HeadlessBackend.h"
#include "tests/win/WinTestUtil.h"

using namespace vcl;
using namespace vcl::wintest;

namespace {

class Desktop : public WinTest {
 protected:
  void TwoMonitors() {
    platform::MonitorInfo a, b;
    a.Bounds = {0, 0, 1920, 1080};
    a.WorkArea = {0, 0, 1920, 1040};
    a.Dpi = 96;
    a.Primary = true;
    b.Bounds = {1920, 0, 3840, 1080};
    b.WorkArea = {1920, 0, 3840, 1080};
    b.Dpi = 144;
    Headless().SetMonitors({a, b});
    Pump();
  }
  void TearDown() override {
    WinTest::TearDown();
    platform::MonitorInfo a;
    a.Bounds = {0, 0, 1920, 1080};
    a.WorkArea = {0, 0, 1920, 1040};
    a.Primary = true;
    Headless().SetMonitors({a});
    MSG m;
    while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
    }
  }
};

}  // namespace

TEST_F(Desktop, MovingToAMonitorOfAnotherDpiSendsDpiChanged) {
  TwoMonitors();
  HMONITOR second = MonitorFromPoint({2000, 10}, MONITOR_DEFAULTTONULL);
  ASSERT_NE(second, nullptr);
  UINT dx = 0, dy = 0;
  EXPECT_EQ(GetDpiForMonitor(second, MDT_EFFECTIVE_DPI, &dx, &dy), S_OK);
  EXPECT_EQ(dx, 144u);
  EXPECT_EQ(MonitorFromPoint({5000, 10}, MONITOR_DEFAULTTONULL), nullptr);
  EXPECT_EQ(MonitorFromPoint({5000, 10}, MONITOR_DEFAULTTONEAREST), second);

  HWND top = MakeWindow(WS_OVERLAPPEDWINDOW | WS_VISIBLE, TRect(100, 100, 500, 400));
  HWND child = MakeWindow(WS_CHILD | WS_VISIBLE | WS_VSCROLL, TRect(0, 0, 100, 100), top);
  EXPECT_EQ(GetDpiForWindow(top), 96u);
  Log().clear();
  SetWindowPos(top, nullptr, 2100, 100, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  EXPECT_EQ(GetDpiForWindow(top), 144u);
  EXPECT_EQ(GetDpiForWindow(child), 144u);
  std::vector<std::pair<HWND, UINT>> seq;
  const Logged* changed = nullptr;
  for (const Logged& l : Log())
    if (l.Msg == WM_DPICHANGED || l.Msg == WM_DPICHANGED_BEFOREPARENT || l.Msg == WM_DPICHANGED_AFTERPARENT) {
      seq.push_back({l.Hwnd, l.Msg});
      if (l.Msg == WM_DPICHANGED) changed = &l;
    }
  EXPECT_EQ(seq, (std::vector<std::pair<HWND, UINT>>{{child, WM_DPICHANGED_BEFOREPARENT},
                                                      {top, WM_DPICHANGED},
                                                      {child, WM_DPICHANGED_AFTERPARENT}}));
  ASSERT_NE(changed, nullptr);
  EXPECT_EQ(changed->WParam, MAKEWPARAM(144, 144));
  // The default handling takes the suggested rectangle: the size scaled by 3/2 around the
  // same centre; the frame follows the new density.
  TRect r;
  GetWindowRect(top, &r);
  EXPECT_EQ(r.Width(), 600);
  EXPECT_EQ(r.Height(), 450);
  EXPECT_EQ(r.CenterPoint(), TRect(2100, 100, 2500, 400).CenterPoint());
  TRect in(0, 0, 0, 0);
  AdjustWindowRectExForDpi(&in, WS_OVERLAPPEDWINDOW, false, 0, 144);
  TRect cr;
  GetClientRect(top, &cr);
  EXPECT_EQ(cr.Width(), 600 - in.Width());
  GetClientRect(child, &cr);
  EXPECT_EQ(cr.Width(), 100 - GetSystemMetricsForDpi(SM_CXVSCROLL, 144));
  EXPECT_EQ(GetSystemMetricsForDpi(SM_CXVSCROLL, 144), 26);
  // And back.
  Log().clear();
  SetWindowPos(top, nullptr, 100, 100, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  EXPECT_EQ(GetDpiForWindow(top), 96u);
  EXPECT_EQ(Count(top, WM_DPICHANGED), 1);
}

TEST_F(Desktop, MonitorInfoAndSystemParameters) {
  TwoMonitors();
  EXPECT_EQ(GetSystemMetrics(SM_CMONITORS), 2);
  EXPECT_EQ(GetSystemMetrics(SM_CXVIRTUALSCREEN), 3840);
  MONITORINFOEXW mi;
  ASSERT_TRUE(GetMonitorInfoW(MonitorFromPoint({10, 10}, MONITOR_DEFAULTTONULL), &mi));
  EXPECT_EQ(mi.rcWork, TRect(0, 0, 1920, 1040));
  EXPECT_EQ(mi.dwFlags, MONITORINFOF_PRIMARY);
  EXPECT_EQ(String(mi.szDevice), u"\\\\.\\DISPLAY1");
  int count = 0;
  EnumDisplayMonitors(nullptr, nullptr, [](HMONITOR, HDC, TRect*, LPARAM lp) {
    ++*reinterpret_cast<int*>(lp);
    return BOOL(true);
  }, reinterpret_cast<LPARAM>(&count));
  EXPECT_EQ(count, 2);
  HWND w = MakeWindow(WS_POPUP | WS_VISIBLE, TRect(3000, 100, 3100, 200));
  EXPECT_EQ(MonitorFromWindow(w, MONITOR_DEFAULTTONULL), MonitorFromPoint({3000, 100}, MONITOR_DEFAULTTONULL));
  TRect work;
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  EXPECT_EQ(work, TRect(0, 0, 1920, 1040));
  NONCLIENTMETRICSW ncm;
  ASSERT_TRUE(SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof ncm, &ncm, 0, 144));
  EXPECT_EQ(ncm.lfCaptionFont.lfHeight, -18);
  EXPECT_EQ(ncm.iScrollWidth, 26);
  EXPECT_EQ(GetSystemMetrics(SM_CYCAPTION), 23);
  EXPECT_EQ(GetSystemMetricsForDpi(SM_CYCAPTION, 192), 46);
}

TEST_F(Desktop, ClipboardRoundTrip) {
  HWND w = MakeWindow(WS_POPUP, TRect(0, 0, 10, 10));
  ASSERT_TRUE(OpenClipboard(w));
  EXPECT_FALSE(OpenClipboard(w));  // one opener at a time
  ASSERT_TRUE(EmptyClipboard());
  String text = u"Kexora \u00e9\u4e2d";
  HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(Char));
  auto* p = static_cast<Char*>(GlobalLock(h));
  std::copy(text.begin(), text.end(), p);
  p[text.size()] = 0;
  GlobalUnlock(h);
  EXPECT_EQ(SetClipboardData(CF_UNICODETEXT, h), h);
  ASSERT_TRUE(CloseClipboard());
  EXPECT_FALSE(CloseClipboard());
  EXPECT_EQ(Headless().ClipboardText(), StringToUtf8(text));
  // Another program changes the clipboard; we read it back in both text formats.
  Headless().SetClipboardText("from elsewhere");
  EXPECT_TRUE(IsClipboardFormatAvailable(CF_UNICODETEXT));
  EXPECT_EQ(GetClipboardData(CF_UNICODETEXT), nullptr);  // not open
  ASSERT_TRUE(OpenClipboard(nullptr));
  HANDLE got = GetClipboardData(CF_UNICODETEXT);
  ASSERT_NE(got, nullptr);
  EXPECT_EQ(String(static_cast<const Char*>(GlobalLock(got))), u"from elsewhere");
  GlobalUnlock(got);
  HANDLE ansi = GetClipboardData(CF_TEXT);
  ASSERT_NE(ansi, nullptr);
  EXPECT_EQ(std::string(static_cast<const char*>(GlobalLock(ansi))), "from elsewhere");
  GlobalUnlock(ansi);
  EXPECT_EQ(GetClipboardData(CF_BITMAP), nullptr);
  CloseClipboard();
}

TEST_F(Desktop, ShellOpenHandsUrlsToTheDesktop) {
  size_t before = Headless().OpenedUrls().size();
  auto ok = [](HINSTANCE r) { return reinterpret_cast<std::intptr_t>(r) > 32; };
  EXPECT_TRUE(ok(ShellExecuteW(nullptr, u"open", u"https://example.com/kexora", nullptr, nullptr, SW_SHOWNORMAL)));
  ASSERT_EQ(Headless().OpenedUrls().size(), before + 1);
  EXPECT_EQ(Headless().OpenedUrls().back(), "https://example.com/kexora");
  EXPECT_FALSE(ok(ShellExecuteW(nullptr, u"print", u"https://example.com", nullptr, nullptr, SW_SHOW)));
  EXPECT_FALSE(ok(ShellExecuteW(nullptr, u"open", u"", nullptr, nullptr, SW_SHOW)));
  EXPECT_FALSE(ok(ShellExecuteW(nullptr, u"open", u"-rf", nullptr, nullptr, SW_SHOW)));  // refused
  EXPECT_EQ(Headless().OpenedUrls().size(), before + 1);
}

TEST_F(Desktop, LayeredWindowsAndAbsentComposition) {
  HWND w = MakeWindow(WS_POPUP | WS_VISIBLE, TRect(500, 500, 600, 600), nullptr, 0, nullptr, FilledClass());
  Pump();
  EXPECT_FALSE(SetLayeredWindowAttributes(w, 0, 128, LWA_ALPHA));  // not layered
  SetWindowLongW(w, GWL_EXSTYLE, LONG(WS_EX_LAYERED));
  ASSERT_TRUE(SetLayeredWindowAttributes(w, 0, 128, LWA_ALPHA));
  BYTE alpha = 0;
  DWORD flags = 0;
  ASSERT_TRUE(GetLayeredWindowAttributes(w, nullptr, &alpha, &flags));
  EXPECT_EQ(alpha, 128);
  EXPECT_EQ(flags, LWA_ALPHA);
  Headless().SetDesktopColor(0x000000);
  platform::PixelBuffer screen = Headless().CaptureScreen();
  std::uint32_t px = screen.At(550 - screen.Left, 550 - screen.Top) & 0xFF;
  EXPECT_NEAR(int(px), 128, 2);  // white at half opacity over black
  // On a child window the attributes are only recorded.
  HWND c = MakeWindow(WS_CHILD | WS_VISIBLE, TRect(0, 0, 10, 10), w, WS_EX_LAYERED);
  EXPECT_TRUE(SetLayeredWindowAttributes(c, RGB(1, 2, 3), 0, LWA_COLORKEY));
  COLORREF key = 0;
  GetLayeredWindowAttributes(c, &key, nullptr, nullptr);
  EXPECT_EQ(key, RGB(1, 2, 3));

  BOOL enabled = true;
  EXPECT_EQ(DwmIsCompositionEnabled(&enabled), S_OK);
  EXPECT_FALSE(enabled);
  MARGINS m;
  EXPECT_TRUE(FAILED(DwmExtendFrameIntoClientArea(w, &m)));
  LRESULT r = 5;
  EXPECT_FALSE(DwmDefWindowProc(w, WM_NCHITTEST, 0, 0, &r));
}

TEST_F(Desktop, FramesReachTheScreenWhole) {
  COLORREF parentColor = RGB(255, 0, 0), childColor = RGB(0, 0, 255);
  auto painter = [](COLORREF* color) {
    return [color](HWND h, UINT m, WPARAM, LPARAM, LRESULT& r) {
      if (m == WM_ERASEBKGND) {
        r = 1;
        return true;
      }
      if (m != WM_PAINT) return false;
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(h, &ps);
      TRect c;
      GetClientRect(h, &c);
      FillDc(dc, c, *color);
      EndPaint(h, &ps);
      r = 0;
      return true;
    };
  };
  HWND top = MakeWindow(WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, TRect(100, 100, 300, 300), nullptr, 0,
                        painter(&parentColor));
  MakeWindow(WS_CHILD | WS_VISIBLE, TRect(50, 50, 100, 100), top, 0, painter(&childColor));
  Pump();
  auto screenPx = [](int x, int y) {
    platform::PixelBuffer s = Headless().CaptureScreen();
    return s.At(x - s.Left, y - s.Top) & 0xFFFFFF;
  };
  EXPECT_EQ(screenPx(110, 110), Px(255, 0, 0));
  EXPECT_EQ(screenPx(170, 170), Px(0, 0, 255));
  // Half of the frame painted: nothing reaches the screen yet.
  parentColor = RGB(0, 255, 0);
  childColor = RGB(255, 255, 0);
  RedrawWindow(top, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
  MSG m;
  ASSERT_TRUE(PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE));
  ASSERT_EQ(m.message, WM_PAINT);
  EXPECT_EQ(m.hwnd, top);  // the parent first
  DispatchMessageW(&m);
  EXPECT_EQ(screenPx(110, 110), Px(255, 0, 0));
  EXPECT_EQ(PixelAt(top, 10, 10), Px(0, 255, 0));  // drawn in the back buffer
  Pump();
  EXPECT_EQ(screenPx(110, 110), Px(0, 255, 0));
  EXPECT_EQ(screenPx(170, 170), Px(255, 255, 0));
  // Drawing outside WM_PAINT shows at the next pass of the loop.
  HDC dc = GetDC(top);
  FillDc(dc, TRect(0, 0, 20, 20), RGB(0, 0, 0));
  ReleaseDC(top, dc);
  EXPECT_EQ(screenPx(105, 105), Px(0, 255, 0));
  PeekMessageW(&m, nullptr, 0, 0, PM_NOREMOVE);
  EXPECT_EQ(screenPx(105, 105), Px(0, 0, 0));
}
