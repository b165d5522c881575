// Styled frames: metrics, layout and hit-testing from the window elements of every style, the
// painting of caption, buttons and scroll bars, and a window whose frame hook paints them.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include "host/gdi/Codecs.h"
#include "host/gdi/GdiDraw.h"
#include "host/platform/headless/HeadlessBackend.h"
#include "host/themes/StyleManager.h"
#include "host/themes/StyledFrame.h"
#include "host/themes/SysFrameHook.h"
#include "host/themes/format/ElementModel.h"
#include "tests/themes/ThemesTestSupport.h"
#include "tests/win/WinTestUtil.h"

using namespace vcl;
using namespace vcl::wintest;
using vcl::test::TCanvasBitmap;

namespace {

TCustomStyleServices* Glow() { return TStyleManager::GetStyle(u"Glow"); }

TStyledFrameInfo Frame(int w, int h, int dpi = 96) {
  TStyledFrameInfo f;
  f.Size = {w, h};
  f.Caption = u"Sample window";
  f.Dpi = dpi;
  return f;
}

// Colours within a few steps per channel (blending at the edges of glows and gradients).
bool Near(std::uint32_t a, std::uint32_t b, int tolerance = 4) {
  for (int shift : {0, 8, 16})
    if (std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF)) > tolerance) return false;
  return true;
}

std::uint32_t Opaque(TColor c) {
  COLORREF v = ColorToRGB(c);
  return 0xFF000000u | (std::uint32_t(GetRValue(v)) << 16) | (std::uint32_t(GetGValue(v)) << 8) | GetBValue(v);
}

TColor Fill(TCustomStyleServices* s, TThemedElementDetails d) {
  TColor c = clNone;
  EXPECT_TRUE(s->GetElementColor(d, ecFillColor, c)) << ElementDetailsName(d);
  return c;
}

}  // namespace

TEST(StyledFrame, MetricsComeFromTheWindowElementsAndScale) {
  for (int dpi : {96, 144, 192}) {
    TStyledFrameMetrics m = GetStyledFrameMetrics(Glow(), false, true, dpi);
    EXPECT_EQ(m, (TStyledFrameMetrics{MulDiv(4, dpi, 96), MulDiv(30, dpi, 96), MulDiv(4, dpi, 96), MulDiv(4, dpi, 96)}));
    EXPECT_EQ(GetStyledFrameMetrics(Glow(), true, true, dpi).Top, MulDiv(22, dpi, 96));
    // No caption: the top border is as thin as the bottom one.
    EXPECT_EQ(GetStyledFrameMetrics(Glow(), false, false, dpi).Top, MulDiv(4, dpi, 96));
  }
  TStyleManager::SetThemesEnabled(false);
  TStyledFrameMetrics classic = GetStyledFrameMetrics(TStyleManager::SystemStyle(), false, true, 144);
  TStyleManager::SetThemesEnabled(true);
  EXPECT_EQ(classic.Top, GetSystemMetricsForDpi(SM_CYCAPTION, 144));
  EXPECT_EQ(classic.Left, GetSystemMetricsForDpi(SM_CXFRAME, 144));
}

TEST(StyledFrame, ButtonsLineUpInsideTheCaptionInEveryStyle) {
  std::vector<TCustomStyleServices*> styles;
  for (const String& n : TStyleManager::StyleNames()) styles.push_back(TStyleManager::GetStyle(n));
  TStyleManager::SetThemesEnabled(false);
  styles.push_back(TStyleManager::SystemStyle());
  for (TCustomStyleServices* s : styles) {
    for (int dpi : {96, 192}) {
      SCOPED_TRACE(StringToUtf8(s->Name()) + " " + std::to_string(dpi) + (s->Enabled() ? "" : " classic"));
      TStyledFrameInfo f = Frame(MulDiv(500, dpi, 96), MulDiv(300, dpi, 96), dpi);
      TStyledFrameLayout l = GetStyledFrameLayout(s, f);
      const TRect& close = l.Buttons[scbClose];
      const TRect& max = l.Buttons[scbMax];
      const TRect& min = l.Buttons[scbMin];
      for (const TRect* b : {&close, &max, &min, static_cast<const TRect*>(&l.Icon)}) {
        EXPECT_FALSE(b->IsEmpty());
        EXPECT_TRUE(l.Caption.Contains(*b));
      }
      EXPECT_TRUE(l.Buttons[scbHelp].IsEmpty());  // not with minimise and maximise
      EXPECT_LE(max.Right, close.Left);
      EXPECT_LE(min.Right, max.Left);
      EXPECT_GE(close.Right, f.Size.cx - MulDiv(12, dpi, 96));  // at the right edge
      EXPECT_LE(l.Icon.Right, l.Text.Left);
      EXPECT_LE(l.Text.Right, min.Left);
      EXPECT_GT(l.Text.Width(), f.Size.cx / 2);
      EXPECT_EQ(l.Client, TRect(l.Metrics.Left, l.Metrics.Top, f.Size.cx - l.Metrics.Right, f.Size.cy - l.Metrics.Bottom));
      // Help alone takes maximise's place; a tool window keeps only close, in its small form.
      f.Buttons[scbMax] = f.Buttons[scbMin] = false;
      f.Buttons[scbHelp] = true;
      EXPECT_EQ(GetStyledFrameLayout(s, f).Buttons[scbHelp], max);
      f.ToolWindow = true;
      f.Buttons[scbMax] = true;
      TStyledFrameLayout t = GetStyledFrameLayout(s, f);
      EXPECT_FALSE(t.Buttons[scbClose].IsEmpty());
      EXPECT_TRUE(t.Buttons[scbMax].IsEmpty() && t.Buttons[scbHelp].IsEmpty() && t.Icon.IsEmpty());
      EXPECT_LE(t.Buttons[scbClose].Height(), t.Caption.Height());
    }
  }
  TStyleManager::SetThemesEnabled(true);
}

TEST(StyledFrame, HitTestingFindsButtonsCaptionAndBorders) {
  TCustomStyleServices* s = Glow();
  TStyledFrameInfo f = Frame(400, 300);
  TStyledFrameLayout l = GetStyledFrameLayout(s, f);
  auto hit = [&](int x, int y) { return StyledFrameHitTest(s, f, TPoint(x, y)); };
  EXPECT_EQ(hit(l.Buttons[scbClose].CenterPoint().X, l.Buttons[scbClose].CenterPoint().Y), HTCLOSE);
  EXPECT_EQ(hit(l.Buttons[scbMax].CenterPoint().X, l.Buttons[scbMax].CenterPoint().Y), HTMAXBUTTON);
  EXPECT_EQ(hit(l.Buttons[scbMin].CenterPoint().X, l.Buttons[scbMin].CenterPoint().Y), HTMINBUTTON);
  EXPECT_EQ(hit(l.Icon.CenterPoint().X, l.Icon.CenterPoint().Y), HTSYSMENU);
  EXPECT_EQ(hit(200, 15), HTCAPTION);
  EXPECT_EQ(hit(200, 150), HTCLIENT);
  EXPECT_EQ(hit(400, 150), HTNOWHERE);
  EXPECT_EQ(hit(-1, 150), HTNOWHERE);
  // Sizing borders: the top strip is as high as the left border is wide (4), corners reach
  // along the edges.
  EXPECT_EQ(hit(200, 3), HTTOP);
  EXPECT_EQ(hit(200, 4), HTCAPTION);
  EXPECT_EQ(hit(1, 150), HTLEFT);
  EXPECT_EQ(hit(398, 150), HTRIGHT);
  EXPECT_EQ(hit(200, 298), HTBOTTOM);
  EXPECT_EQ(hit(0, 0), HTTOPLEFT);
  EXPECT_EQ(hit(10, 1), HTTOPLEFT);
  EXPECT_EQ(hit(1, 10), HTTOPLEFT);
  EXPECT_EQ(hit(399, 0), HTTOPRIGHT);
  EXPECT_EQ(hit(2, 299), HTBOTTOMLEFT);
  EXPECT_EQ(hit(399, 290), HTBOTTOMRIGHT);
  // A maximised or fixed window has plain borders; its top strip is caption.
  f.Maximized = true;
  EXPECT_EQ(hit(1, 150), HTBORDER);
  EXPECT_EQ(hit(200, 1), HTCAPTION);
  f.Maximized = false;
  f.Sizeable = false;
  EXPECT_EQ(hit(200, 298), HTBORDER);
  EXPECT_EQ(hit(0, 0), HTCAPTION);
  // Doubled density: everything twice as far in.
  TStyledFrameInfo big = Frame(800, 600, 192);
  EXPECT_EQ(StyledFrameHitTest(s, big, TPoint(400, 7)), HTTOP);
  EXPECT_EQ(StyledFrameHitTest(s, big, TPoint(400, 59)), HTCAPTION);
  EXPECT_EQ(StyledFrameHitTest(s, big, TPoint(400, 60)), HTCLIENT);
  // A window too narrow for its buttons drops those that do not fit; nothing is left of the
  // window's left edge.
  TStyledFrameInfo narrow = Frame(70, 100);
  TStyledFrameLayout nl = GetStyledFrameLayout(s, narrow);
  for (const TRect& b : nl.Buttons) EXPECT_TRUE(b.IsEmpty() || b.Left >= 0);
  EXPECT_GE(nl.Text.Width(), 0);
}

TEST(StyledFrame, PaintsTheFrameAroundAnUntouchedClient) {
  TCustomStyleServices* s = Glow();
  TCanvasBitmap a(300, 200), b(300, 200);
  TStyledFrameInfo f = Frame(300, 200);
  DrawStyledFrame(a.Dc(), s, f);
  TStyledFrameLayout l = GetStyledFrameLayout(s, f);
  EXPECT_EQ(a.ChangedIn(l.Client), 0);
  EXPECT_EQ(a.ChangedOutside(l.Client), 300 * 200 - l.Client.Width() * l.Client.Height());
  // The caption text in the caption text colour, left of the buttons.
  std::uint32_t text = Opaque(StyledCaptionTextColor(s, true, false));
  int textPixels = 0;
  for (int y = l.Text.Top; y < l.Text.Bottom; ++y)
    for (int x = l.Text.Left; x < l.Text.Right; ++x) textPixels += a.Pixel(x, y) == text;
  EXPECT_GT(textPixels, 40);
  // States show: a hot close button lights up, an inactive window dims its caption.
  f.States[scbClose] = sbsHot;
  DrawStyledFrame(b.Dc(), s, f);
  TPoint c = l.Buttons[scbClose].CenterPoint();
  EXPECT_NE(a.Pixel(c.X - 8, c.Y), b.Pixel(c.X - 8, c.Y));
  EXPECT_EQ(a.Pixel(l.Buttons[scbMax].CenterPoint().X - 8, c.Y), b.Pixel(l.Buttons[scbMax].CenterPoint().X - 8, c.Y));
  f.States[scbClose] = sbsNormal;
  f.Active = false;
  b.Clear();
  DrawStyledFrame(b.Dc(), s, f);
  EXPECT_NE(a.Pixel(150, 2), b.Pixel(150, 2));
  // No icon given: the style's system-button glyph is drawn there.
  TRect icon = l.Icon;
  EXPECT_GT(a.ChangedIn(icon), 0);
  std::uint32_t captionAtIcon = b.Pixel(icon.Left - 2, icon.Top);
  int glyph = 0;
  for (int y = icon.Top; y < icon.Bottom; ++y)
    for (int x = icon.Left; x < icon.Right; ++x) glyph += a.Pixel(x, y) != captionAtIcon;
  EXPECT_GT(glyph, 10);
}

TEST(StyledFrame, ScrollBarPartsTakeTheirStates) {
  TCustomStyleServices* s = Glow();
  TCanvasBitmap c(40, 220);
  TRect bar(10, 10, 27, 210);
  SCROLLBARINFO info;
  info.dxyLineButton = 17;
  info.xyThumbTop = 60;
  info.xyThumbBottom = 100;
  DrawStyledScrollBar(c.Dc(), s, bar, info, true, 96);
  EXPECT_EQ(c.ChangedOutside(bar), 0);
  std::uint32_t thumbNormal = c.Pixel(18, 10 + 64);
  EXPECT_EQ(thumbNormal, Opaque(Fill(s, GetElementDetails(tsThumbBtnVertNormal))));
  EXPECT_EQ(c.Pixel(18, 10 + 30), Opaque(Fill(s, GetElementDetails(tsLowerTrackVertNormal))));
  info.rgstate[3] = STATE_SYSTEM_PRESSED;
  DrawStyledScrollBar(c.Dc(), s, bar, info, true, 96);
  EXPECT_TRUE(Near(c.Pixel(18, 10 + 64), Opaque(Fill(s, GetElementDetails(tsThumbBtnVertPressed)))));
  // A hot arrow, then a disabled bar: the arrows take those states.
  info.rgstate[3] = 0;
  info.rgstate[5] = STATE_SYSTEM_HOTTRACKED;
  DrawStyledScrollBar(c.Dc(), s, bar, info, true, 96);
  std::uint32_t hotArrow = c.Pixel(12, 208);
  info.rgstate[5] = 0;
  DrawStyledScrollBar(c.Dc(), s, bar, info, true, 96);
  EXPECT_NE(c.Pixel(12, 208), hotArrow);
  // No thumb: the track runs from arrow to arrow.
  info.rgstate[0] = STATE_SYSTEM_UNAVAILABLE;
  info.rgstate[3] = STATE_SYSTEM_INVISIBLE;
  DrawStyledScrollBar(c.Dc(), s, bar, info, true, 96);
  EXPECT_EQ(c.Pixel(18, 10 + 80), Opaque(Fill(s, GetElementDetails(tsLowerTrackVertDisabled))));
}

TEST(StyledFrame, TheTrackShowsBesideAThumbNarrowerThanTheBar) {
  // "Windows10" insets its thumb: the pixels beside it are the track's, never what was beneath.
  for (int dpi : {96, 192}) {
    TCustomStyleServices* s = TStyleManager::GetStyle(u"Windows10");
    ASSERT_NE(s, nullptr);
    TCanvasBitmap c(80, 440);
    c.Clear();
    TRect bar(10, 10, 10 + MulDiv(17, dpi, 96), 10 + MulDiv(200, dpi, 96));
    SCROLLBARINFO info;
    info.dxyLineButton = MulDiv(17, dpi, 96);
    info.xyThumbTop = MulDiv(60, dpi, 96);
    info.xyThumbBottom = MulDiv(100, dpi, 96);
    DrawStyledScrollBar(c.Dc(), s, bar, info, true, dpi);
    int mid = bar.Top + MulDiv(80, dpi, 96);
    for (int x = bar.Left; x < bar.Right; ++x) EXPECT_NE(c.Pixel(x, mid), test::Backdrop) << x << " at " << dpi;
  }
}

// ---- a window with a styled frame -----------------------------------------------------------

namespace {

const Char* FramedClass() {
  static bool done = [] {
    WNDCLASSEXW wc;
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = CALLBACK_LogProc;
    wc.hbrBackground = GetSysColorBrush(COLOR_WINDOW);
    wc.lpszClassName = u"KxFramedTest";
    return RegisterClassExW(&wc) != 0;
  }();
  (void)done;
  return u"KxFramedTest";
}

// The window's pixels as a PNG in KX_PNG_DIR (or the test temporary folder).
std::string SaveWindowPng(HWND h, const std::string& name) {
  TRect wr;
  GetWindowRect(h, &wr);
  void* bits = nullptr;
  HBITMAP bmp = CreateDIB32(wr.Width(), wr.Height(), &bits);
  HDC mem = CreateCompatibleDC(nullptr);
  HBITMAP old = SelectObject(mem, bmp);
  HDC wdc = GetWindowDC(h);
  BitBlt(mem, 0, 0, wr.Width(), wr.Height(), wdc, 0, 0, SRCCOPY);
  ReleaseDC(h, wdc);
  GdiFlush();
  TDecodedImage img = ImageFromBitmap(bmp, true);
  for (auto& p : img.Pixels) p |= 0xFF000000u;
  std::vector<Byte> png = EncodePng(img.Pixels.data(), img.Width, img.Height, img.Width);
  SelectObject(mem, old);
  DeleteDC(mem);
  DeleteObject(bmp);
  const char* dir = std::getenv("KX_PNG_DIR");
  std::string path = (dir ? std::string(dir) + "/" : testing::TempDir()) + name;
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(png.data()), std::streamsize(png.size()));
  return path;
}

class FrameHook : public WinTest {
 protected:
  void SetUp() override {
    WinTest::SetUp();
    TStyleManager::RegisterSysStyleHook(u"KxFramedTest", SysStyleHookClass<TSysFrameStyleHook>());
    TStyleManager::SetStyle(u"Glow");
  }
  void TearDown() override {
    TStyleManager::SetStyle(u"Windows");
    TStyleManager::UnRegisterSysStyleHook(u"KxFramedTest", SysStyleHookClass<TSysFrameStyleHook>());
    WinTest::TearDown();
    platform::MonitorInfo m;
    m.Bounds = {0, 0, 1920, 1080};
    m.WorkArea = {0, 0, 1920, 1040};
    m.Primary = true;
    Headless().SetMonitors({m});
    Pump();
  }
  HWND MakeFramed(DWORD style = WS_OVERLAPPEDWINDOW | WS_VSCROLL | WS_VISIBLE, int w = 420, int h = 260) {
    HWND hw = CreateWindowExW(0, FramedClass(), u"Styled frame \u2014 Glow", style, 100, 100, w, h, nullptr, nullptr,
                              nullptr, nullptr);
    if (style & WS_VSCROLL) {
      SCROLLINFO si;
      si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
      si.nMin = 0;
      si.nMax = 99;
      si.nPage = 30;
      si.nPos = 20;
      SetScrollInfo(hw, SB_VERT, &si, true);
    }
    Pump();
    return hw;
  }
};

}  // namespace

TEST_F(FrameHook, TheWindowGetsTheStyleFrameAndItsButtonsWork) {
  HWND w = MakeFramed();
  auto* hook = dynamic_cast<TSysFrameStyleHook*>(TStyleManager::SysStyleHookOf(w));
  ASSERT_NE(hook, nullptr);
  // The client area is what the style's frame and the scroll bar leave.
  TStyledFrameMetrics m = GetStyledFrameMetrics(Glow(), false, true, 96);
  TRect cr;
  GetClientRect(w, &cr);
  EXPECT_EQ(cr.Width(), 420 - m.Left - m.Right - GetSystemMetrics(SM_CXVSCROLL));
  EXPECT_EQ(cr.Height(), 260 - m.Top - m.Bottom);
  TStyledFrameLayout l = GetStyledFrameLayout(Glow(), hook->FrameInfo());
  TPoint close = l.Buttons[scbClose].CenterPoint() + TPoint(100, 100);
  EXPECT_EQ(SendMessageW(w, WM_NCHITTEST, 0, PointToLParam(close)), HTCLOSE);
  EXPECT_EQ(SendMessageW(w, WM_NCHITTEST, 0, PointToLParam(TPoint(300, 110))), HTCAPTION);
  EXPECT_EQ(SendMessageW(w, WM_NCHITTEST, 0, PointToLParam(TPoint(100 + 420 - m.Right - 5, 200))), HTVSCROLL);
  // The frame is the style's dark one, the bar's track in the style's colour.
  std::uint32_t cap = PixelAt(w, 210, 15);
  EXPECT_LT(cap >> 16, 0x50u);
  EXPECT_LT((cap >> 8) & 0xFF, 0x50u);
  EXPECT_EQ(PixelAt(w, 420 - m.Right - 8, m.Top + 25), Opaque(Fill(Glow(), GetElementDetails(tsLowerTrackVertNormal))) & 0xFFFFFF);
  SaveWindowPng(w, "styled-frame-glow-100.png");

  // Hovering the close button lights it; leaving the caption puts it out.
  std::uint32_t normal = PixelAt(w, l.Buttons[scbClose].Left + 3, l.Buttons[scbClose].CenterPoint().Y);
  Headless().InjectMouseMove(close.X, close.Y);
  Pump();
  EXPECT_EQ(hook->HotButton(), HTCLOSE);
  EXPECT_NE(PixelAt(w, l.Buttons[scbClose].Left + 3, l.Buttons[scbClose].CenterPoint().Y), normal);
  Headless().InjectMouseMove(300, 250);
  Pump();
  EXPECT_EQ(hook->HotButton(), 0);
  EXPECT_EQ(PixelAt(w, l.Buttons[scbClose].Left + 3, l.Buttons[scbClose].CenterPoint().Y), normal);

  // Pressing and releasing elsewhere does nothing; pressing and releasing on it closes.
  Headless().InjectMouseMove(close.X, close.Y);
  Headless().InjectMouseButton(platform::MouseButton::Left, true);
  Pump();
  EXPECT_EQ(hook->PressedButton(), HTCLOSE);
  Headless().InjectMouseMove(250, 250);
  Pump();
  EXPECT_EQ(hook->HotButton(), 0);  // shown released while the mouse is away
  Headless().InjectMouseButton(platform::MouseButton::Left, false);
  Pump();
  EXPECT_EQ(Count(w, WM_CLOSE), 0);
  Headless().InjectClick(close.X, close.Y);
  Pump();
  EXPECT_EQ(Count(w, WM_CLOSE), 1);
  EXPECT_FALSE(IsWindow(w));  // the default WM_CLOSE handling destroyed it
}

TEST_F(FrameHook, AHeldButtonKeepsTheOthersColdAndItsCommandFollowsTheWindowState) {
  HWND w = MakeFramed();
  auto* hook = dynamic_cast<TSysFrameStyleHook*>(TStyleManager::SysStyleHookOf(w));
  ASSERT_NE(hook, nullptr);
  SendMessageW(w, WM_NCLBUTTONDOWN, HTCLOSE, 0);
  EXPECT_EQ(hook->PressedButton(), HTCLOSE);
  EXPECT_EQ(GetCapture(), w);
  // Another button under the mouse while one is held does not light up.
  SendMessageW(w, WM_NCMOUSEMOVE, HTMAXBUTTON, 0);
  EXPECT_EQ(hook->HotButton(), HTCLOSE);
  SendMessageW(w, WM_NCMOUSEMOVE, HTCLOSE, 0);
  EXPECT_EQ(hook->HotButton(), HTCLOSE);
  // Losing the capture lets go without the command.
  ReleaseCapture();
  SendMessageW(w, WM_CAPTURECHANGED, 0, 0);
  EXPECT_EQ(hook->PressedButton(), 0);
  EXPECT_EQ(hook->HotButton(), 0);
  EXPECT_EQ(Count(w, WM_CLOSE), 0);
  // The minimise and maximise buttons restore a window that is minimised or maximised.
  EXPECT_EQ(CaptionButtonCommand(w, HTMINBUTTON), WPARAM(SC_MINIMIZE));
  EXPECT_EQ(CaptionButtonCommand(w, HTMAXBUTTON), WPARAM(SC_MAXIMIZE));
  ShowWindow(w, SW_MINIMIZE);
  Pump();
  EXPECT_EQ(CaptionButtonCommand(w, HTMINBUTTON), WPARAM(SC_RESTORE));
  EXPECT_EQ(CaptionButtonCommand(w, HTCAPTION), WPARAM(0));
  DestroyWindow(w);
}

TEST_F(FrameHook, MaximiseRestoresAndTheSystemStyleGivesTheDefaultFrameBack) {
  HWND w = MakeFramed(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 300, 200);
  auto* hook = dynamic_cast<TSysFrameStyleHook*>(TStyleManager::SysStyleHookOf(w));
  ASSERT_NE(hook, nullptr);
  TStyledFrameLayout l = GetStyledFrameLayout(Glow(), hook->FrameInfo());
  TPoint max = l.Buttons[scbMax].CenterPoint() + TPoint(100, 100);
  Headless().InjectClick(max.X, max.Y);
  Pump();
  EXPECT_TRUE(IsZoomed(w));
  EXPECT_TRUE(hook->FrameInfo().Maximized);
  TRect cr;
  GetClientRect(w, &cr);
  TRect wr;
  GetWindowRect(w, &wr);
  EXPECT_EQ(cr.Height(), wr.Height() - GetStyledFrameMetrics(Glow(), false, true, 96).Top - 4);
  SendMessageW(w, WM_SYSCOMMAND, SC_RESTORE, 0);
  EXPECT_FALSE(IsZoomed(w));

  TStyleManager::SetStyle(u"Windows");
  EXPECT_EQ(TStyleManager::SysStyleHookOf(w), nullptr);
  GetClientRect(w, &cr);
  TRect in(0, 0, 0, 0);
  AdjustWindowRectEx(&in, WS_OVERLAPPEDWINDOW, false, 0);
  EXPECT_EQ(cr.Width(), 300 - in.Width());
  EXPECT_EQ(cr.Height(), 200 - in.Height());
}

TEST_F(FrameHook, ChildWindowsGetStyledScrollBarsOnly) {
  HWND top = MakeWindow(WS_POPUP | WS_VISIBLE, TRect(0, 0, 300, 300));
  HWND child = CreateWindowExW(0, FramedClass(), nullptr, WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_BORDER, 10, 10, 100,
                               200, top, nullptr, nullptr, nullptr);
  ASSERT_NE(TStyleManager::SysStyleHookOf(child), nullptr);
  SCROLLINFO si;
  si.fMask = SIF_RANGE | SIF_PAGE;
  si.nMin = 0;
  si.nMax = 99;
  si.nPage = 10;
  SetScrollInfo(child, SB_VERT, &si, true);
  Pump();
  TRect cr;
  GetClientRect(child, &cr);
  EXPECT_EQ(cr.Width(), 100 - 2 - GetSystemMetrics(SM_CXVSCROLL));  // the default border stays
  // The track in the style's colour, and so after a scroll moved the thumb over it and back.
  std::uint32_t track = Opaque(Fill(Glow(), GetElementDetails(tsUpperTrackVertNormal))) & 0xFFFFFF;
  EXPECT_EQ(PixelAt(top, 10 + 99 - 8, 10 + 150), track);
  SetScrollPos(child, SB_VERT, 90, true);
  EXPECT_EQ(PixelAt(top, 10 + 99 - 8, 10 + 30), track);
  EXPECT_NE(PixelAt(top, 10 + 99 - 8, 10 + 170), track);  // the thumb is there now
  SetScrollPos(child, SB_VERT, 0, true);
  EXPECT_EQ(PixelAt(top, 10 + 99 - 8, 10 + 170), track);
}

TEST_F(FrameHook, RendersCrispAtDoubleDensity) {
  platform::MonitorInfo m;
  m.Bounds = {0, 0, 1920, 1080};
  m.WorkArea = {0, 0, 1920, 1040};
  m.Dpi = 192;
  m.Primary = true;
  Headless().SetMonitors({m});
  Pump();
  HWND w = MakeFramed(WS_OVERLAPPEDWINDOW | WS_VSCROLL | WS_VISIBLE, 840, 520);
  ASSERT_EQ(GetDpiForWindow(w), 192u);
  TStyledFrameMetrics fm = GetStyledFrameMetrics(Glow(), false, true, 192);
  EXPECT_EQ(fm.Top, 60);
  TRect cr;
  GetClientRect(w, &cr);
  EXPECT_EQ(cr.Height(), 520 - 60 - 8);
  // Hot close button for the picture.
  auto* hook = dynamic_cast<TSysFrameStyleHook*>(TStyleManager::SysStyleHookOf(w));
  ASSERT_NE(hook, nullptr);
  TStyledFrameLayout l = GetStyledFrameLayout(Glow(), hook->FrameInfo());
  TPoint close = l.Buttons[scbClose].CenterPoint() + TPoint(100, 100);
  Headless().InjectMouseMove(close.X, close.Y);
  Pump();
  SaveWindowPng(w, "styled-frame-glow-200.png");
  // The frame's border lines are whole pixels: two device pixels of the frame colour at the
  // left edge, then the frame's fill.
  std::uint32_t edge = PixelAt(w, 0, 300), edge2 = PixelAt(w, 1, 300), inside = PixelAt(w, 2, 300);
  EXPECT_EQ(edge, edge2);
  EXPECT_NE(edge, inside);
}
