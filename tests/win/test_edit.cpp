// The "EDIT" control: typing, selection, clipboard, undo, limits, password and read-only,
// surrogate pairs, mouse selection, multi-line wrap and scrolling, out-of-range messages,
// colours and a parent that destroys the edit inside a notification.
#include "host/gdi/GdiDraw.h"
#include "host/gdi/GdiText.h"
#include "host/platform/headless/HeadlessBackend.h"
#include "host/win/ctl/Edit.h"
#include "tests/win/WinTestUtil.h"

using namespace vcl;
using namespace vcl::wintest;

namespace {

class Edit : public WinTest {
 protected:
  void SetUp() override {
    WinTest::SetUp();
    Top = MakeWindow(WS_POPUP | WS_VISIBLE, TRect(100, 100, 500, 400));
  }
  void TearDown() override {
    for (int vk : {VK_CONTROL, VK_SHIFT}) Headless().InjectKey(std::uint16_t(vk), false);
    Headless().InjectMouseMove(1900, 1000);
    WinTest::TearDown();
  }
  HWND MakeEdit(DWORD style = 0, const Char* text = u"", TRect r = TRect(10, 10, 210, 34)) {
    HWND e = CreateWindowExW(0, u"EDIT", text, WS_CHILD | WS_VISIBLE | style, r.Left, r.Top,
                             r.Width(), r.Height(), Top, ChildId(7), nullptr, nullptr);
    SendMessageW(e, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), 0);
    SetFocus(e);
    Pump();
    return e;
  }
  static void Key(int vk) {
    Headless().InjectKey(std::uint16_t(vk), true);
    Headless().InjectKey(std::uint16_t(vk), false);
    Pump();
  }
  static void Hold(int vk, bool down) {
    Headless().InjectKey(std::uint16_t(vk), down);
    Pump();
  }
  static void Ctrl(int vk) {
    Hold(VK_CONTROL, true);
    Key(vk);
    Hold(VK_CONTROL, false);
  }
  // Letters, digits and spaces, typed as key presses with their characters.
  static void Type(const std::string& s) {
    for (char c : s) {
      int vk = c == ' ' ? VK_SPACE : std::toupper(static_cast<unsigned char>(c));
      Headless().InjectKey(std::uint16_t(vk), true);
      Headless().InjectText(std::string(1, c));
      Headless().InjectKey(std::uint16_t(vk), false);
    }
    Pump();
  }
  int Changes() const {
    int n = 0;
    for (const Logged& l : Log())
      if (l.Hwnd == Top && l.Msg == WM_COMMAND && HIWORD(l.WParam) == EN_CHANGE) ++n;
    return n;
  }
  static std::pair<int, int> Sel(HWND e) {
    DWORD a = 0, b = 0;
    SendMessageW(e, EM_GETSEL, reinterpret_cast<WPARAM>(&a), reinterpret_cast<LPARAM>(&b));
    return {int(a), int(b)};
  }
  static void SetClip(const String& t) {
    OpenClipboard(nullptr);
    EmptyClipboard();
    HGLOBAL m = GlobalAlloc(GMEM_MOVEABLE, (t.size() + 1) * 2);
    auto* p = static_cast<Char*>(GlobalLock(m));
    std::copy(t.begin(), t.end(), p);
    p[t.size()] = 0;
    GlobalUnlock(m);
    SetClipboardData(CF_UNICODETEXT, m);
    CloseClipboard();
  }
  static String Clip() {
    OpenClipboard(nullptr);
    String t;
    if (HANDLE d = GetClipboardData(CF_UNICODETEXT)) t = static_cast<const Char*>(GlobalLock(d));
    CloseClipboard();
    return t;
  }
  HWND Top = nullptr;
};

}  // namespace

TEST_F(Edit, TypingSelectingAndUndoWithEveryChangeNotified) {
  HWND e = MakeEdit(ES_AUTOHSCROLL);
  Log().clear();
  Type("hello world");
  EXPECT_EQ(GetWindowText(e), u"hello world");
  EXPECT_EQ(Sel(e), std::make_pair(11, 11));
  EXPECT_EQ(Changes(), 11);
  EXPECT_TRUE(SendMessageW(e, EM_GETMODIFY, 0, 0));

  // Ctrl+Left moves by words; Shift extends; typing replaces the selection.
  Ctrl(VK_LEFT);
  EXPECT_EQ(Sel(e), std::make_pair(6, 6));
  Hold(VK_SHIFT, true);
  Key(VK_END);
  Hold(VK_SHIFT, false);
  EXPECT_EQ(Sel(e), std::make_pair(6, 11));
  Type("there");
  EXPECT_EQ(GetWindowText(e), u"hello there");
  // The whole typing run is one undo step; a second undo redoes it.
  EXPECT_TRUE(SendMessageW(e, EM_CANUNDO, 0, 0));
  Ctrl('Z');
  EXPECT_EQ(GetWindowText(e), u"hello world");
  Ctrl('Z');
  EXPECT_EQ(GetWindowText(e), u"hello there");
  // Ctrl+Backspace deletes the word before the caret.
  Headless().InjectKey(VK_CONTROL, true);
  Headless().InjectKey(VK_BACK, true);
  Headless().InjectKey(VK_BACK, false);
  Headless().InjectKey(VK_CONTROL, false);
  Pump();
  EXPECT_EQ(GetWindowText(e), u"hello ");
  // Up and Down leave a single-line caret where it is.
  SendMessageW(e, EM_SETSEL, 2, 2);
  Key(VK_UP);
  Key(VK_DOWN);
  EXPECT_EQ(Sel(e), std::make_pair(2, 2));
  // WM_SETTEXT is a change too and clears the undo step.
  Log().clear();
  SetWindowText(e, u"new");
  EXPECT_EQ(Changes(), 1);
  EXPECT_FALSE(SendMessageW(e, EM_CANUNDO, 0, 0));
  EXPECT_FALSE(SendMessageW(e, EM_GETMODIFY, 0, 0));
}

TEST_F(Edit, ClipboardKeysLimitPasswordAndReadOnly) {
  HWND e = MakeEdit(ES_AUTOHSCROLL, u"abc def");
  SendMessageW(e, EM_SETSEL, 0, 3);
  Ctrl('C');
  EXPECT_EQ(Clip(), u"abc");
  Ctrl('X');
  EXPECT_EQ(GetWindowText(e), u" def");
  SendMessageW(e, EM_SETSEL, 4, 4);
  Ctrl('V');
  EXPECT_EQ(GetWindowText(e), u" defabc");

  // A single-line edit drops line breaks from a paste and from EM_REPLACESEL.
  SetClip(u"x\r\ny\nz");
  Ctrl('V');
  EXPECT_EQ(GetWindowText(e), u" defabcxyz");
  SendMessageW(e, EM_REPLACESEL, 1, reinterpret_cast<LPARAM>(u"1\n2"));
  EXPECT_EQ(GetWindowText(e), u" defabcxyz12");

  // The limit cuts typing, pastes and EM_REPLACESEL, but not WM_SETTEXT.
  SetWindowText(e, u"12345678");
  SendMessageW(e, EM_LIMITTEXT, 10, 0);
  EXPECT_EQ(SendMessageW(e, EM_GETLIMITTEXT, 0, 0), 10);
  SendMessageW(e, EM_SETSEL, 8, 8);
  Log().clear();
  SetClip(u"abcdef");
  Ctrl('V');
  EXPECT_EQ(GetWindowText(e), u"12345678ab");
  Type("q");
  EXPECT_EQ(GetWindowText(e), u"12345678ab");
  int maxText = 0;
  for (const Logged& l : Log())
    if (l.Msg == WM_COMMAND && HIWORD(l.WParam) == EN_MAXTEXT) ++maxText;
  EXPECT_EQ(maxText, 2);
  SetWindowText(e, u"a much longer text than ten");
  EXPECT_EQ(GetWindowTextLengthW(e), 27);

  // A password edit never gives its text to the clipboard.
  SetClip(u"kept");
  SendMessageW(e, EM_SETPASSWORDCHAR, u'*', 0);
  SendMessageW(e, EM_SETSEL, 0, -1);
  Ctrl('C');
  Ctrl('X');
  EXPECT_EQ(Clip(), u"kept");
  EXPECT_EQ(GetWindowTextLengthW(e), 27);

  // Read-only: neither typing, deleting nor pasting changes it; copying works.
  SendMessageW(e, EM_SETPASSWORDCHAR, 0, 0);
  SendMessageW(e, EM_SETREADONLY, 1, 0);
  Log().clear();
  Type("z");
  Key(VK_BACK);
  Key(VK_DELETE);
  Ctrl('V');
  EXPECT_EQ(GetWindowText(e), u"a much longer text than ten");
  EXPECT_EQ(Changes(), 0);
  Ctrl('C');
  EXPECT_EQ(Clip(), u"a much longer text than ten");
}

TEST_F(Edit, SurrogatePairsAreNeverSplit) {
  // U+1F600 between two letters: a(0) pair(1,2) b(3).
  HWND e = MakeEdit(ES_AUTOHSCROLL, u"a\xD83D\xDE00" u"b");
  SendMessageW(e, EM_SETSEL, 2, 2);
  EXPECT_EQ(Sel(e), std::make_pair(1, 1));
  Key(VK_RIGHT);
  EXPECT_EQ(Sel(e), std::make_pair(3, 3));
  Key(VK_BACK);
  EXPECT_EQ(GetWindowText(e), u"ab");
  // A limit that would keep half a pair keeps none of it.
  SendMessageW(e, EM_LIMITTEXT, 3, 0);
  SendMessageW(e, EM_SETSEL, 2, 2);
  SendMessageW(e, EM_REPLACESEL, 0, reinterpret_cast<LPARAM>(u"\xD83D\xDE00"));
  EXPECT_EQ(GetWindowText(e), u"ab");
}

TEST_F(Edit, OutOfRangeMessagesGiveTheWin32Results) {
  HWND e = MakeEdit(ES_AUTOHSCROLL, u"abc");
  SendMessageW(e, EM_SETSEL, 2, 99);
  EXPECT_EQ(Sel(e), std::make_pair(2, 3));
  SendMessageW(e, EM_SETSEL, WPARAM(-5), 1);
  EXPECT_EQ(Sel(e), std::make_pair(1, 3));
  SendMessageW(e, EM_SETSEL, 0, -1);
  EXPECT_EQ(Sel(e), std::make_pair(0, 3));
  SendMessageW(e, EM_SETSEL, WPARAM(-1), 0);  // deselects, the caret stays
  EXPECT_EQ(Sel(e), std::make_pair(3, 3));
  EXPECT_EQ(SendMessageW(e, EM_LINEINDEX, 1, 0), -1);
  EXPECT_EQ(SendMessageW(e, EM_LINEINDEX, WPARAM(-1), 0), 0);
  EXPECT_EQ(SendMessageW(e, EM_POSFROMCHAR, 3, 0), -1);
  EXPECT_EQ(SendMessageW(e, EM_LINELENGTH, 50, 0), 0);
  EXPECT_EQ(SendMessageW(e, EM_LINEFROMCHAR, 50, 0), 0);
  Char buf[8] = {8};
  EXPECT_EQ(SendMessageW(e, EM_GETLINE, 3, reinterpret_cast<LPARAM>(buf)), 0);
  EXPECT_EQ(SendMessageW(e, EM_GETLINE, 0, 0), 0);
  buf[0] = 2;
  EXPECT_EQ(SendMessageW(e, EM_GETLINE, 0, reinterpret_cast<LPARAM>(buf)), 2);
  EXPECT_EQ(SendMessageW(e, EM_LINESCROLL, 0, 5), 0);  // single-line
  EXPECT_FALSE(SendMessageW(e, EM_UNDO, 0, 0));
}

TEST_F(Edit, MouseSelectsByDragAndWordsByDoubleClick) {
  HWND e = MakeEdit(ES_AUTOHSCROLL, u"alpha beta gamma");
  SendMessageW(e, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, 0);
  HDC dc = GetDC(e);
  SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
  TSize a, ab;
  GetTextExtentPoint32W(dc, u"alpha ", 6, &a);
  GetTextExtentPoint32W(dc, u"alpha beta", 10, &ab);
  ReleaseDC(e, dc);
  TPoint from = ScreenOf(e, {a.cx + 1, 5});
  TPoint to = ScreenOf(e, {ab.cx + 1, 5});
  Headless().InjectMouseMove(from.X, from.Y);
  Headless().InjectMouseButton(platform::MouseButton::Left, true);
  Headless().InjectMouseMove(to.X, to.Y);
  Pump();
  EXPECT_EQ(GetCapture(), e);
  Headless().InjectMouseButton(platform::MouseButton::Left, false);
  Pump();
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_EQ(Sel(e), std::make_pair(6, 10));
  AdvanceClock(1000);
  TPoint g = ScreenOf(e, {ab.cx + 12, 5});
  Headless().InjectClick(g.X, g.Y);
  Headless().InjectClick(g.X, g.Y);
  Pump();
  EXPECT_EQ(Sel(e), std::make_pair(11, 16));
}

TEST_F(Edit, MultiLineWrapsScrollsAndFollowsScrollMessages) {
  HWND e = MakeEdit(ES_MULTILINE | WS_VSCROLL, u"", TRect(10, 10, 110, 80));
  String text;
  for (int i = 0; i < 30; ++i) text += u"word" + String(1, Char(u'a' + i % 26)) + u" ";
  SetWindowText(e, text);
  int lines = int(SendMessageW(e, EM_GETLINECOUNT, 0, 0));
  EXPECT_GT(lines, 5);  // wrapped at the width
  // Every wrapped line begins at a word.
  for (int i = 1; i < lines; ++i) {
    int start = int(SendMessageW(e, EM_LINEINDEX, WPARAM(i), 0));
    EXPECT_EQ(text[size_t(start - 1)], u' ') << "line " << i;
  }
  SCROLLINFO si;
  si.fMask = SIF_ALL;
  ASSERT_TRUE(GetScrollInfo(e, SB_VERT, &si));
  EXPECT_EQ(si.nMax, lines - 1);
  // Another window's SB_THUMBTRACK with a position scrolls there and notifies.
  Log().clear();
  SendMessageW(e, WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 3), 0);
  EXPECT_EQ(SendMessageW(e, EM_GETFIRSTVISIBLELINE, 0, 0), 3);
  int vscroll = 0;
  for (const Logged& l : Log())
    if (l.Msg == WM_COMMAND && HIWORD(l.WParam) == EN_VSCROLL) ++vscroll;
  EXPECT_EQ(vscroll, 1);
  // Ctrl+End brings the caret's line into view; Up moves a line in a multi-line edit.
  Ctrl(VK_END);
  int first = int(SendMessageW(e, EM_GETFIRSTVISIBLELINE, 0, 0));
  EXPECT_GT(first, 3);
  int line = int(SendMessageW(e, EM_LINEFROMCHAR, WPARAM(-1), 0));
  Key(VK_UP);
  EXPECT_EQ(SendMessageW(e, EM_LINEFROMCHAR, WPARAM(-1), 0), line - 1);
  // Enter breaks the line with CR LF.
  SetWindowText(e, u"ab");
  SendMessageW(e, EM_SETSEL, 1, 1);
  Key(VK_RETURN);
  EXPECT_EQ(GetWindowText(e), u"a\r\nb");
  EXPECT_EQ(SendMessageW(e, EM_GETLINECOUNT, 0, 0), 2);
  EXPECT_EQ(SendMessageW(e, EM_LINEINDEX, 1, 0), 3);
}

TEST_F(Edit, ParentThatDestroysTheEditInsideANotification) {
  HWND e = MakeEdit(ES_AUTOHSCROLL);
  Handlers()[Top] = [e](HWND, UINT msg, WPARAM wp, LPARAM, LRESULT&) {
    if (msg == WM_COMMAND && HIWORD(wp) == EN_UPDATE) DestroyWindow(e);
    return false;
  };
  Type("ab");
  EXPECT_FALSE(IsWindow(e));
  Handlers().erase(Top);
}

TEST_F(Edit, PaintsIntoTheGivenDcInTheParentsColours) {
  HWND e = MakeEdit(ES_AUTOHSCROLL, u"");
  // A transparent answer with a null brush keeps what lies beneath.
  Handlers()[Top] = [](HWND, UINT msg, WPARAM wp, LPARAM, LRESULT& r) {
    if (msg != WM_CTLCOLOREDIT) return false;
    SetBkMode(reinterpret_cast<HDC>(wp), TRANSPARENT);
    SetTextColor(reinterpret_cast<HDC>(wp), RGB(255, 0, 0));
    r = reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
    return true;
  };
  HDC screen = GetDC(nullptr);
  HDC mem = CreateCompatibleDC(screen);
  HBITMAP bmp = CreateCompatibleBitmap(screen, 200, 24);
  ReleaseDC(nullptr, screen);
  HBITMAP old = SelectObject(mem, bmp);
  FillDc(mem, TRect(0, 0, 200, 24), RGB(0, 0, 255));
  SetWindowText(e, u"MMMM");
  SendMessageW(e, WM_ERASEBKGND, reinterpret_cast<WPARAM>(mem), 0);
  SendMessageW(e, WM_PAINT, reinterpret_cast<WPARAM>(mem), 0);
  int red = 0, blue = 0;
  for (int x = 0; x < 200; ++x)
    for (int y = 0; y < 24; ++y) {
      COLORREF c = GetPixel(mem, x, y);
      if (c == RGB(255, 0, 0)) ++red;
      if (c == RGB(0, 0, 255)) ++blue;
    }
  EXPECT_GT(red, 10);
  EXPECT_GT(blue, 200 * 24 - 800);
  SelectObject(mem, old);
  DeleteObject(bmp);
  DeleteDC(mem);
  Handlers().erase(Top);
}

TEST_F(Edit, CompositionShowsAtTheCaretUntilItIsCommittedOrCancelled) {
  HWND e = MakeEdit(ES_AUTOHSCROLL, u"ab");
  SendMessageW(e, EM_SETSEL, 2, 2);
  // The focused edit's caret starts text input at its place in the surface.
  EXPECT_TRUE(Headless().TextInputActive());
  TPoint caret;
  GetCaretPos(&caret);
  TPoint onTop = caret;
  ClientToScreen(e, &onTop);
  EXPECT_EQ(Headless().TextInputRect().Left, onTop.X - 100);
  auto shot = [e] {
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    HBITMAP bmp = CreateCompatibleBitmap(screen, 200, 24);
    ReleaseDC(nullptr, screen);
    HBITMAP old = SelectObject(mem, bmp);
    SendMessageW(e, WM_ERASEBKGND, reinterpret_cast<WPARAM>(mem), 0);
    SendMessageW(e, WM_PAINT, reinterpret_cast<WPARAM>(mem), 0);
    std::vector<COLORREF> px;
    for (int y = 0; y < 24; ++y)
      for (int x = 0; x < 200; ++x) px.push_back(GetPixel(mem, x, y));
    SelectObject(mem, old);
    DeleteObject(bmp);
    DeleteDC(mem);
    return px;
  };
  auto plain = shot();
  Headless().InjectComposition("xy");
  Pump();
  EXPECT_EQ(GetWindowText(e), u"ab");  // shown, not yet part of the text
  EXPECT_NE(shot(), plain);
  TPoint during;
  GetCaretPos(&during);
  EXPECT_GT(during.X, caret.X);  // the caret sits after the composition
  // Cancelled: nothing typed and the picture is the plain one again.
  Headless().InjectComposition("");
  Pump();
  EXPECT_EQ(GetWindowText(e), u"ab");
  EXPECT_EQ(shot(), plain);
  // Committed: the result arrives as characters.
  Headless().InjectComposition("\xE3\x81\x8B");
  Pump();
  Headless().InjectText("\xE3\x81\x8B");
  Pump();
  EXPECT_EQ(GetWindowText(e), u"ab\x304B");
  // Losing the focus stops text input.
  SetFocus(Top);
  Pump();
  EXPECT_FALSE(Headless().TextInputActive());
}

TEST_F(Edit, TextAt192DpiEqualsDrawTextInTheScaledFont) {
  platform::MonitorInfo hi;
  hi.Bounds = {0, 0, 1920, 1080};
  hi.WorkArea = {0, 0, 1920, 1040};
  hi.Dpi = 192;
  hi.Primary = true;
  Headless().SetMonitors({hi});
  Pump();
  HWND top = MakeWindow(WS_POPUP | WS_VISIBLE, TRect(100, 100, 700, 300));
  HFONT font = CreateFontW(-22, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, u"Tahoma");
  HWND e = CreateWindowExW(0, u"EDIT", u"", WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, 10, 10, 400,
                           40, top, ChildId(3), nullptr, nullptr);
  EXPECT_EQ(GetDpiForWindow(e), 192u);
  SendMessageW(e, WM_SETFONT, reinterpret_cast<WPARAM>(font), 0);
  SendMessageW(e, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, 0);
  const Char* text = u"Quick brown fox: gypsy 0123";
  SetWindowText(e, text);
  auto render = [](auto draw) {
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    HBITMAP bmp = CreateCompatibleBitmap(screen, 400, 40);
    ReleaseDC(nullptr, screen);
    HBITMAP old = SelectObject(mem, bmp);
    draw(mem);
    std::vector<COLORREF> px;
    for (int y = 0; y < 40; ++y)
      for (int x = 0; x < 400; ++x) px.push_back(GetPixel(mem, x, y));
    SelectObject(mem, old);
    DeleteObject(bmp);
    DeleteDC(mem);
    return px;
  };
  auto edit = render([e](HDC dc) {
    SendMessageW(e, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    SendMessageW(e, WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
  });
  auto reference = render([font, text](HDC dc) {
    TRect r(0, 0, 400, 40);
    FillRect(dc, &r, GetSysColorBrush(COLOR_WINDOW));
    SelectObject(dc, font);
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    SetBkMode(dc, TRANSPARENT);
    DrawTextW(dc, text, -1, &r, DT_SINGLELINE | DT_NOPREFIX | DT_LEFT | DT_TOP);
  });
  int dark = 0;
  for (COLORREF c : reference) dark += c != GetSysColor(COLOR_WINDOW);
  EXPECT_GT(dark, 100);
  EXPECT_TRUE(edit == reference);
  DestroyWindow(top);
  DeleteObject(font);
  platform::MonitorInfo normal;
  normal.Bounds = {0, 0, 1920, 1080};
  normal.WorkArea = {0, 0, 1920, 1040};
  normal.Primary = true;
  Headless().SetMonitors({normal});
  Pump();
}
