// The desktop: monitors and DPI changes between monitors, system metrics, the clipboard,
// the shell, layered windows, presenting whole frames, and the absent composition service.
#include "host/platform/headless/HeadlessBackend.h"
#include "host/gdi/GdiDraw.h"
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

TEST_F(Desktop, UpdateLayeredWindowShowsGivenPixelsAndCutsOutTransparentOnes) {
  Headless().SetDesktopColor(0x000000);
  HWND under = MakeWindow(WS_POPUP | WS_VISIBLE, TRect(0, 0, 400, 400), nullptr, 0, nullptr, FilledClass());
  HWND w = MakeWindow(WS_POPUP, TRect(0, 0, 10, 10), nullptr, WS_EX_LAYERED | WS_EX_NOACTIVATE);
  // A 60x40 picture: the left half opaque red, the right half fully transparent; a 20x20 blue
  // square keyed out in a second call.
  void* bits = nullptr;
  HBITMAP bmp = CreateDIB32(80, 40, &bits);
  auto* px = static_cast<std::uint32_t*>(bits);
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 80; ++x) px[y * 80 + x] = x < 10 ? 0xFF00FF00u : x < 40 ? 0xFFFF0000u : 0u;
  HDC mem = CreateCompatibleDC(nullptr);
  SelectObject(mem, bmp);
  TPoint dst{100, 120}, src{10, 0};
  SIZE size{60, 40};
  BLENDFUNCTION blend;
  blend.SourceConstantAlpha = 255;
  blend.AlphaFormat = AC_SRC_ALPHA;
  ASSERT_TRUE(UpdateLayeredWindow(w, nullptr, &dst, &size, mem, &src, 0, &blend, ULW_ALPHA));
  ShowWindow(w, SW_SHOWNOACTIVATE);
  Pump();
  TRect r;
  GetWindowRect(w, &r);
  EXPECT_EQ(r, TRect(100, 120, 160, 160));
  platform::PixelBuffer screen = Headless().CaptureScreen();
  auto at = [&](int x, int y) { return screen.At(x - screen.Left, y - screen.Top) & 0xFFFFFF; };
  EXPECT_EQ(at(110, 130), Px(255, 0, 0));    // the picture from its source point on
  EXPECT_EQ(at(150, 130), Px(255, 255, 255));  // the window beneath shows through
  // The pointer goes through the transparent part too; the window is never painted.
  EXPECT_EQ(WindowFromPoint({110, 130}), w);
  EXPECT_EQ(WindowFromPoint({150, 130}), under);
  InvalidateRect(w, nullptr, true);
  Log().clear();
  Pump();
  EXPECT_EQ(Count(w, WM_PAINT) + Count(w, WM_ERASEBKGND) + Count(w, WM_NCPAINT), 0);

  // Opaque with a colour key; half the constant alpha becomes the window's opacity.
  for (int y = 0; y < 20; ++y)
    for (int x = 10; x < 30; ++x) px[y * 80 + x] = 0xFF0000FFu;
  blend.SourceConstantAlpha = 128;
  ASSERT_TRUE(UpdateLayeredWindow(w, nullptr, nullptr, nullptr, mem, &src, RGB(0, 0, 255), &blend,
                                  ULW_ALPHA | ULW_COLORKEY | ULW_OPAQUE));
  Pump();
  screen = Headless().CaptureScreen();
  EXPECT_EQ(at(110, 130), Px(255, 255, 255));  // keyed out
  EXPECT_NEAR(int((at(110, 150) >> 16) & 0xFF), 255, 1);  // red at half opacity over white
  EXPECT_NEAR(int(at(110, 150) & 0xFF), 127, 2);
  EXPECT_NEAR(int(at(150, 130) & 0xFF), 127, 2);  // opaque now: black at half opacity
  EXPECT_EQ(WindowFromPoint({110, 130}), under);

  // Layering set the other way refuses it; so do child windows and windows not layered.
  HWND attr = MakeWindow(WS_POPUP, TRect(0, 0, 10, 10), nullptr, WS_EX_LAYERED);
  SetLayeredWindowAttributes(attr, 0, 200, LWA_ALPHA);
  EXPECT_FALSE(UpdateLayeredWindow(attr, nullptr, nullptr, nullptr, mem, &src, 0, &blend, ULW_ALPHA));
  HWND plain = MakeWindow(WS_POPUP, TRect(0, 0, 10, 10));
  EXPECT_FALSE(UpdateLayeredWindow(plain, nullptr, nullptr, nullptr, mem, &src, 0, &blend, ULW_ALPHA));
  HWND child = MakeWindow(WS_CHILD, TRect(0, 0, 10, 10), under, WS_EX_LAYERED);
  EXPECT_FALSE(UpdateLayeredWindow(child, nullptr, nullptr, nullptr, mem, &src, 0, &blend, ULW_ALPHA));
  EXPECT_FALSE(UpdateLayeredWindow(w, nullptr, nullptr, nullptr, mem, nullptr, 0, &blend, ULW_ALPHA));
  // Dropping the layered style makes it an ordinary painted window again.
  Log().clear();
  SetWindowLongW(w, GWL_EXSTYLE, LONG(WS_EX_NOACTIVATE));
  Pump();
  EXPECT_EQ(Count(w, WM_PAINT), 1);
  EXPECT_EQ(WindowFromPoint({110, 130}), w);
  DeleteDC(mem);
  DeleteObject(bmp);
}

TEST_F(Desktop, NonClientMetricsCarryTheSystemFontsAtEachDensity) {
  for (UINT dpi : {96u, 144u, 192u}) {
    NONCLIENTMETRICSW ncm;
    ASSERT_TRUE(SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof ncm, &ncm, 0, dpi));
    int h = -MulDiv(9, int(dpi), 72);
    for (const LOGFONTW* lf : {&ncm.lfCaptionFont, &ncm.lfSmCaptionFont, &ncm.lfMenuFont,
                               &ncm.lfStatusFont, &ncm.lfMessageFont}) {
      EXPECT_EQ(String(lf->lfFaceName), u"Segoe UI") << dpi;
      EXPECT_EQ(lf->lfHeight, h) << dpi;
      EXPECT_EQ(lf->lfWeight, FW_NORMAL);
    }
    EXPECT_EQ(ncm.iCaptionHeight, GetSystemMetricsForDpi(SM_CYSIZE, dpi));
    EXPECT_EQ(ncm.iMenuHeight, GetSystemMetricsForDpi(SM_CYMENUSIZE, dpi));
    EXPECT_EQ(ncm.iScrollWidth, GetSystemMetricsForDpi(SM_CXVSCROLL, dpi));
    // The message font is a usable font: its cell is about one and a third of the em height.
    HFONT f = CreateFontIndirectW(ncm.lfMessageFont);
    HDC dc = CreateCompatibleDC(nullptr);
    HFONT old = SelectObject(dc, f);
    TEXTMETRICW tm;
    ASSERT_TRUE(GetTextMetricsW(dc, &tm));
    EXPECT_GE(tm.tmHeight, -h);
    EXPECT_LE(tm.tmHeight, -h * 3 / 2);
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(f);
  }
  NONCLIENTMETRICSW small;
  small.cbSize = sizeof small - 4;
  EXPECT_FALSE(SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, small.cbSize, &small, 0));
}

TEST_F(Desktop, MaximisedWindowsFillTheWorkAreaOfTheirOwnMonitor) {
  platform::MonitorInfo a, b;
  a.Bounds = {0, 0, 1920, 1080};
  a.WorkArea = {0, 0, 1920, 1040};
  a.Primary = true;
  b.Bounds = {1920, 0, 3200, 1024};
  b.WorkArea = {1920, 40, 3200, 1024};  // a task bar at the top
  Headless().SetMonitors({a, b});
  Pump();
  HWND w = MakeWindow(WS_OVERLAPPEDWINDOW | WS_VISIBLE, TRect(2000, 100, 2400, 400));
  ShowWindow(w, SW_MAXIMIZE);
  TRect client = {0, 0, 0, 0};
  GetClientRect(w, &client);
  TPoint o{0, 0};
  ClientToScreen(w, &o);
  TRect in(0, 0, 0, 0);
  AdjustWindowRectEx(&in, WS_OVERLAPPEDWINDOW, false, 0);
  EXPECT_EQ(client.Offsetted(o.X, o.Y), TRect(1920, 40 - in.Top + in.Left, 3200, 1024));
  EXPECT_EQ(MonitorFromWindow(w, MONITOR_DEFAULTTONULL), MonitorFromPoint({2000, 500}, MONITOR_DEFAULTTONULL));
  // The work area changing (the task bar moving) leaves the restored size where it was.
  ShowWindow(w, SW_RESTORE);
  TRect r;
  GetWindowRect(w, &r);
  EXPECT_EQ(r, TRect(2000, 100, 2400, 400));
}
