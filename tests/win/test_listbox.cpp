// The "LISTBOX" class driven by real input: keyboard navigation, extended selection with the
// mouse, type-ahead on the virtual clock, owner-draw states, scrolling by messages others post,
// refused bad input, and parents that change or destroy the list inside a notification.
#include <cstring>

#include "host/gdi/GdiDraw.h"
#include "host/gdi/GdiText.h"
#include "host/platform/headless/HeadlessBackend.h"
#include "host/win/ctl/ListBox.h"
#include "host/win/ctl/OwnerDraw.h"
#include "tests/win/WinTestUtil.h"

using namespace vcl;
using namespace vcl::wintest;

namespace {

class ListBox : public WinTest {
 protected:
  HWND Top = nullptr, List = nullptr;
  std::vector<WORD> Notes;              // LBN_ codes received by the parent
  std::vector<DRAWITEMSTRUCT> Draws;    // WM_DRAWITEM records
  std::function<void(WORD)> OnNote;     // runs inside WM_COMMAND
  std::function<void(const DRAWITEMSTRUCT&)> OnDraw;

  void MakeList(DWORD style, int items = 0, TRect r = TRect(10, 10, 160, 170)) {
    Top = MakeWindow(WS_POPUP | WS_VISIBLE, TRect(0, 0, 400, 400), nullptr, 0,
                     [this](HWND, UINT m, WPARAM wp, LPARAM lp, LRESULT& res) {
                       if (m == WM_COMMAND && reinterpret_cast<HWND>(lp) == List) {
                         Notes.push_back(HIWORD(wp));
                         if (OnNote) OnNote(HIWORD(wp));
                         res = 0;
                         return true;
                       }
                       if (m == WM_DRAWITEM) {
                         auto* d = reinterpret_cast<DRAWITEMSTRUCT*>(lp);
                         Draws.push_back(*d);
                         FillRect(d->hDC, &d->rcItem, GetSysColorBrush(
                             (d->itemState & ODS_SELECTED) ? COLOR_HIGHLIGHT : COLOR_WINDOW));
                         if (OnDraw) OnDraw(*d);
                         res = 1;
                         return true;
                       }
                       if (m == WM_MEASUREITEM) {
                         auto* mi = reinterpret_cast<MEASUREITEMSTRUCT*>(lp);
                         mi->itemHeight = 18 + mi->itemID % 3;
                         res = 1;
                         return true;
                       }
                       return false;
                     });
    List = CreateWindowExW(0, u"LISTBOX", u"", WS_CHILD | WS_VISIBLE | WS_VSCROLL | style, r.Left,
                           r.Top, r.Width(), r.Height(), Top, ChildId(7), nullptr, nullptr);
    ASSERT_NE(List, nullptr);
    for (int i = 0; i < items; ++i) Add(u"Item " + String(1, Char(u'A' + i % 26)) + Char(u'0' + i / 26));
    SetFocus(List);
    Pump();
    Notes.clear();
    Draws.clear();
  }
  LRESULT Add(const String& s) { return SendMessageW(List, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s.c_str())); }
  LRESULT Send(UINT m, WPARAM wp = 0, LPARAM lp = 0) { return SendMessageW(List, m, wp, lp); }
  void Key(WORD vk) {
    Headless().InjectKey(vk, true);
    Pump();
    Headless().InjectKey(vk, false);
    Pump();
  }
  void Type(const char* text) {
    Headless().InjectText(text);
    Pump();
  }
  void ClickItem(int index, WORD modifier = 0) {
    TRect r;
    ASSERT_NE(Send(LB_GETITEMRECT, WPARAM(index), reinterpret_cast<LPARAM>(&r)), LB_ERR);
    TPoint p = ScreenOf(List, TPoint(r.Left + 20, r.Top + r.Height() / 2));
    if (modifier) Headless().InjectKey(modifier, true);
    Headless().InjectClick(p.X, p.Y);
    Pump();
    if (modifier) Headless().InjectKey(modifier, false);
    Pump();
  }
  std::vector<int> Selection() {
    int n = int(Send(LB_GETSELCOUNT));
    std::vector<int> v(size_t(std::max(n, 0)));
    if (n > 0) Send(LB_GETSELITEMS, WPARAM(n), reinterpret_cast<LPARAM>(v.data()));
    return v;
  }
  int SelChanges() const { return int(std::count(Notes.begin(), Notes.end(), LBN_SELCHANGE)); }
  void TearDown() override {
    for (int vk : {VK_CONTROL, VK_SHIFT}) Headless().InjectKey(std::uint16_t(vk), false);
    WinTest::TearDown();
  }
};

}  // namespace

TEST_F(ListBox, KeysMoveTheSelectionAndScrollItIntoView) {
  MakeList(LBS_NOTIFY, 40);
  int rows = 160 / int(Send(LB_GETITEMHEIGHT));
  Key(VK_DOWN);  // the first arrow selects the first item
  EXPECT_EQ(Send(LB_GETCURSEL), 0);
  Key(VK_DOWN);
  Key(VK_DOWN);
  EXPECT_EQ(Send(LB_GETCURSEL), 2);
  EXPECT_EQ(SelChanges(), 3);
  Key(VK_END);
  EXPECT_EQ(Send(LB_GETCURSEL), 39);
  EXPECT_EQ(Send(LB_GETTOPINDEX), 40 - rows);
  Key(VK_HOME);
  EXPECT_EQ(Send(LB_GETCURSEL), 0);
  EXPECT_EQ(Send(LB_GETTOPINDEX), 0);
  Key(VK_NEXT);
  EXPECT_EQ(Send(LB_GETCURSEL), rows - 1);
  Key(VK_UP);
  EXPECT_EQ(Send(LB_GETCURSEL), rows - 2);
  // The scroll bar follows the first visible item.
  Key(VK_END);
  EXPECT_EQ(GetScrollPos(List, SB_VERT), 40 - rows);
}

TEST_F(ListBox, ExtendedSelectionByShiftCtrlAndMouse) {
  MakeList(LBS_NOTIFY | LBS_EXTENDEDSEL, 20);
  ClickItem(2);
  EXPECT_EQ(Selection(), (std::vector<int>{2}));
  ClickItem(5, VK_SHIFT);
  EXPECT_EQ(Selection(), (std::vector<int>{2, 3, 4, 5}));
  EXPECT_EQ(Send(LB_GETANCHORINDEX), 2);
  ClickItem(8, VK_CONTROL);  // adds one item and moves the anchor
  EXPECT_EQ(Selection(), (std::vector<int>{2, 3, 4, 5, 8}));
  EXPECT_EQ(Send(LB_GETANCHORINDEX), 8);
  ClickItem(3, VK_CONTROL);
  EXPECT_EQ(Selection(), (std::vector<int>{2, 4, 5, 8}));
  // Shift+arrows extend from the anchor; a plain arrow selects one item again.
  Headless().InjectKey(VK_SHIFT, true);
  Key(VK_DOWN);
  Key(VK_DOWN);
  Headless().InjectKey(VK_SHIFT, false);
  Pump();
  EXPECT_EQ(Selection(), (std::vector<int>{3, 4, 5}));
  EXPECT_EQ(Send(LB_GETCARETINDEX), 5);
  Key(VK_DOWN);
  EXPECT_EQ(Selection(), (std::vector<int>{6}));
  // Ctrl+arrows move only the caret; Ctrl+Space toggles there.
  Headless().InjectKey(VK_CONTROL, true);
  Key(VK_DOWN);
  Key(VK_DOWN);
  Key(VK_SPACE);
  Headless().InjectKey(VK_CONTROL, false);
  Pump();
  EXPECT_EQ(Selection(), (std::vector<int>{6, 8}));
  // A drag extends from the pressed item.
  TRect a, b;
  Send(LB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&a));
  Send(LB_GETITEMRECT, 4, reinterpret_cast<LPARAM>(&b));
  TPoint pa = ScreenOf(List, TPoint(20, a.Top + 2)), pb = ScreenOf(List, TPoint(20, b.Top + 2));
  Headless().InjectMouseMove(pa.X, pa.Y);
  Headless().InjectMouseButton(platform::MouseButton::Left, true);
  Pump();
  Headless().InjectMouseMove(pb.X, pb.Y);
  Pump();
  Headless().InjectMouseButton(platform::MouseButton::Left, false);
  Pump();
  EXPECT_EQ(Selection(), (std::vector<int>{1, 2, 3, 4}));
  EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(ListBox, MultipleSelectionTogglesWithClicksAndSpace) {
  MakeList(LBS_NOTIFY | LBS_MULTIPLESEL, 10);
  ClickItem(1);
  ClickItem(3);
  ClickItem(1);
  EXPECT_EQ(Selection(), (std::vector<int>{3}));
  Key(VK_DOWN);  // moves the caret (from the last click, item 1) only
  EXPECT_EQ(Selection(), (std::vector<int>{3}));
  Key(VK_SPACE);
  EXPECT_EQ(Selection(), (std::vector<int>{2, 3}));
  EXPECT_EQ(Send(LB_SETCURSEL, 2), LB_ERR);  // single-selection messages are refused
}

TEST_F(ListBox, TypeAheadMatchesThePrefixTypedWithinTheDelay) {
  MakeList(LBS_NOTIFY);
  for (const char16_t* s : {u"apple", u"banana", u"Blueberry", u"blackberry", u"cherry"}) Add(s);
  Type("b");
  EXPECT_EQ(Send(LB_GETCURSEL), 1);
  AdvanceClock(200);
  Type("l");  // "bl": the first item from the caret on starting with it
  EXPECT_EQ(Send(LB_GETCURSEL), 2);
  AdvanceClock(200);
  Type("a");
  EXPECT_EQ(Send(LB_GETCURSEL), 3);
  AdvanceClock(kListBoxTypeAheadMs + 1);
  Type("c");  // a new search after the pause
  EXPECT_EQ(Send(LB_GETCURSEL), 4);
  AdvanceClock(kListBoxTypeAheadMs + 1);
  // The same letter again steps through the items starting with it.
  Type("b");
  EXPECT_EQ(Send(LB_GETCURSEL), 1);
  Type("b");
  EXPECT_EQ(Send(LB_GETCURSEL), 2);
  Type("b");
  EXPECT_EQ(Send(LB_GETCURSEL), 3);
  AdvanceClock(kListBoxTypeAheadMs + 1);
  Type("z");  // no match: nothing changes
  EXPECT_EQ(Send(LB_GETCURSEL), 3);
}

TEST_F(ListBox, OwnerDrawStatesFocusOnlyOnTheCaretOfAFocusedList) {
  MakeList(LBS_NOTIFY | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS, 5);
  auto stateOf = [this](int item) {
    UINT s = 0xFFFF;
    for (auto& d : Draws)
      if (int(d.itemID) == item) s = d.itemState;
    return s;
  };
  Key(VK_DOWN);
  Key(VK_DOWN);
  InvalidateRect(List, nullptr, true);
  Draws.clear();
  UpdateWindow(List);
  ASSERT_FALSE(Draws.empty());
  EXPECT_EQ(Draws[0].CtlType, ODT_LISTBOX);
  EXPECT_EQ(Draws[0].CtlID, 7u);
  EXPECT_EQ(Draws[0].hwndItem, List);
  EXPECT_EQ(stateOf(1), ODS_SELECTED | ODS_FOCUS);
  EXPECT_EQ(stateOf(0), 0u);
  EXPECT_EQ(stateOf(2), 0u);
  SetFocus(Top);
  Pump();
  InvalidateRect(List, nullptr, true);
  Draws.clear();
  UpdateWindow(List);
  EXPECT_EQ(stateOf(1), UINT(ODS_SELECTED));
  EnableWindow(List, false);
  InvalidateRect(List, nullptr, true);
  Draws.clear();
  UpdateWindow(List);
  EXPECT_EQ(stateOf(0), UINT(ODS_DISABLED));
}

TEST_F(ListBox, VariableHeightsComeFromMeasureItem) {
  MakeList(LBS_OWNERDRAWVARIABLE | LBS_HASSTRINGS, 6);
  TRect r0, r1, r2;
  Send(LB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&r0));
  Send(LB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&r1));
  Send(LB_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&r2));
  EXPECT_EQ(r0.Height(), 18);
  EXPECT_EQ(r1.Height(), 19);
  EXPECT_EQ(r2.Top, 18 + 19);
  EXPECT_EQ(Send(LB_GETITEMHEIGHT, 2), 20);
  EXPECT_EQ(LOWORD(Send(LB_ITEMFROMPOINT, 0, MAKELPARAM(5, 18 + 19 + 3))), 2);
}

TEST_F(ListBox, ColumnsFlowDownAndScrollSideways) {
  Top = nullptr;
  MakeList(LBS_NOTIFY | LBS_MULTICOLUMN | WS_HSCROLL, 90);
  Send(LB_SETCOLUMNWIDTH, 50);
  int rows = int(Send(LB_GETLISTBOXINFO));
  ASSERT_GT(rows, 1);
  TRect r;
  Send(LB_GETITEMRECT, WPARAM(rows + 1), reinterpret_cast<LPARAM>(&r));
  EXPECT_EQ(r.Left, 50);
  EXPECT_EQ(r.Top, int(Send(LB_GETITEMHEIGHT)));
  Send(LB_SETCURSEL, 0);
  Key(VK_RIGHT);
  EXPECT_EQ(Send(LB_GETCURSEL), rows);
  Key(VK_END);
  EXPECT_EQ(Send(LB_GETTOPINDEX) % rows, 0);
  EXPECT_GT(Send(LB_GETTOPINDEX), 0);
}

TEST_F(ListBox, PostedThumbTrackScrollsToItsPositionAlsoPast16Bits) {
  MakeList(0, 100);
  PostMessageW(List, WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 40), 0);
  Pump();
  EXPECT_EQ(Send(LB_GETTOPINDEX), 40);
  Send(LB_RESETCONTENT);
  Send(WM_SETREDRAW, 0);
  for (int i = 0; i < 70010; ++i) Add(u"x");
  Send(WM_SETREDRAW, 1);
  // A style hook sets the 32-bit position and posts its low 16 bits.
  SCROLLINFO si;
  si.fMask = SIF_POS;
  si.nPos = 69000;
  SetScrollInfo(List, SB_VERT, &si, false);
  PostMessageW(List, WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, WORD(69000)), 0);
  Pump();
  EXPECT_EQ(Send(LB_GETTOPINDEX), 69000);
  Send(WM_VSCROLL, SB_LINEDOWN);
  EXPECT_EQ(Send(LB_GETTOPINDEX), 69001);
}

TEST_F(ListBox, BadInputIsRefusedAndChangesNothing) {
  MakeList(LBS_NOTIFY);
  // An empty list has no index to show at the top.
  EXPECT_EQ(Send(LB_SETTOPINDEX, WPARAM(-1)), LB_ERR);
  EXPECT_EQ(Send(LB_SETTOPINDEX, 0), LB_ERR);
  for (int i = 0; i < 5; ++i) Add(u"a");
  Send(LB_SETCURSEL, 2);
  int height = int(Send(LB_GETITEMHEIGHT));
  EXPECT_EQ(Send(LB_SETITEMHEIGHT, 0, 0), LB_ERR);
  EXPECT_EQ(Send(LB_SETITEMHEIGHT, 0, -5), LB_ERR);
  EXPECT_EQ(Send(LB_GETITEMHEIGHT), height);
  EXPECT_EQ(Send(LB_SETITEMHEIGHT, 0, 300), 0);  // no 255 ceiling
  EXPECT_EQ(Send(LB_GETITEMHEIGHT), 300);
  EXPECT_EQ(Send(LB_SETCURSEL, 5), LB_ERR);
  EXPECT_EQ(Send(LB_GETCURSEL), 2);
  EXPECT_EQ(Send(LB_SETTOPINDEX, 5), LB_ERR);
  Char buf[16];
  EXPECT_EQ(Send(LB_GETTEXT, 5, reinterpret_cast<LPARAM>(buf)), LB_ERR);
  EXPECT_EQ(Send(LB_GETTEXTLEN, WPARAM(-1)), LB_ERR);
  EXPECT_EQ(Send(LB_DELETESTRING, 5), LB_ERR);
  EXPECT_EQ(Send(LB_INSERTSTRING, 7, reinterpret_cast<LPARAM>(u"x")), LB_ERR);
  EXPECT_EQ(Send(LB_GETITEMDATA, 9), LB_ERR);
  EXPECT_EQ(Send(LB_SETITEMDATA, WPARAM(-3), 1), LB_ERR);
  TRect r;
  EXPECT_EQ(Send(LB_GETITEMRECT, 5, reinterpret_cast<LPARAM>(&r)), LB_ERR);
  EXPECT_EQ(Send(LB_SETCARETINDEX, 8), LB_ERR);
  EXPECT_EQ(Send(LB_SETCOLUMNWIDTH, 0), LB_ERR);
  EXPECT_EQ(Send(LB_SETSEL, 1, 1), LB_ERR);  // not a multi-selection list
  EXPECT_EQ(Send(LB_GETCOUNT), 5);
  EXPECT_EQ(Send(LB_GETCURSEL), 2);
  // Deleting the selected item leaves no selection; later ones move up.
  Send(LB_SETCURSEL, 3);
  EXPECT_EQ(Send(LB_DELETESTRING, 1), 4);
  EXPECT_EQ(Send(LB_GETCURSEL), 2);
  EXPECT_EQ(Send(LB_DELETESTRING, 2), 3);
  EXPECT_EQ(Send(LB_GETCURSEL), LB_ERR);
}

TEST_F(ListBox, SortedListsInsertInOrderAndFindIgnoresCase) {
  MakeList(LBS_SORT);
  for (const char16_t* s : {u"pear", u"Apple", u"fig", u"banana"}) Add(s);
  Char buf[32];
  Send(LB_GETTEXT, 0, reinterpret_cast<LPARAM>(buf));
  EXPECT_EQ(String(buf), u"Apple");
  Send(LB_GETTEXT, 3, reinterpret_cast<LPARAM>(buf));
  EXPECT_EQ(String(buf), u"pear");
  EXPECT_EQ(Send(LB_FINDSTRINGEXACT, WPARAM(-1), reinterpret_cast<LPARAM>(u"FIG")), 2);
  EXPECT_EQ(Send(LB_FINDSTRING, WPARAM(-1), reinterpret_cast<LPARAM>(u"ba")), 1);
  EXPECT_EQ(Send(LB_FINDSTRING, WPARAM(-1), reinterpret_cast<LPARAM>(u"kiwi")), LB_ERR);
}

TEST_F(ListBox, ParentMayDestroyTheListOrDeleteItemsInsideNotifications) {
  MakeList(LBS_NOTIFY | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS, 8);
  // Items deleted while the list paints them.
  OnDraw = [this](const DRAWITEMSTRUCT& d) {
    if (d.itemID == 1) SendMessageW(List, LB_DELETESTRING, 5, 0);
  };
  InvalidateRect(List, nullptr, true);
  UpdateWindow(List);
  OnDraw = nullptr;
  EXPECT_EQ(Send(LB_GETCOUNT), 7);
  // The list destroyed by its selection notification, from the keyboard and from the mouse.
  OnNote = [this](WORD code) {
    if (code == LBN_SELCHANGE) DestroyWindow(List);
  };
  Key(VK_DOWN);
  EXPECT_FALSE(IsWindow(List));
  MakeList(LBS_NOTIFY, 8);
  OnNote = [this](WORD code) {
    if (code == LBN_SELCHANGE) DestroyWindow(List);
  };
  TPoint p = ScreenOf(List, TPoint(20, 5));
  Headless().InjectClick(p.X, p.Y);
  Pump();
  EXPECT_FALSE(IsWindow(List));
  EXPECT_EQ(GetCapture(), nullptr);
  // Destroyed while painting an item.
  MakeList(LBS_OWNERDRAWFIXED | LBS_HASSTRINGS, 8);
  OnDraw = [this](const DRAWITEMSTRUCT&) { DestroyWindow(List); };
  InvalidateRect(List, nullptr, true);
  Pump();
  EXPECT_FALSE(IsWindow(List));
}

TEST_F(ListBox, ItemTextAt192DpiEqualsDrawTextInTheScaledFont) {
  LOGFONTW lf;
  lf.lfHeight = -MulDiv(8, 192, 72);
  std::u16string face = u"Tahoma";
  std::copy(face.begin(), face.end(), lf.lfFaceName);
  HFONT font = CreateFontIndirectW(lf);
  MakeList(0);
  Add(u"Agiły quick descender");
  SendMessageW(List, WM_SETFONT, reinterpret_cast<WPARAM>(font), 1);
  // The reference: a plain window beside the list drawing the same row with DrawTextW.
  int itemHeight = int(Send(LB_GETITEMHEIGHT));
  HWND ref = MakeWindow(WS_CHILD | WS_VISIBLE, TRect(200, 10, 350, 170), Top, 0,
                        [&](HWND h, UINT m, WPARAM, LPARAM, LRESULT& res) {
                          if (m != WM_PAINT) return false;
                          PAINTSTRUCT ps;
                          HDC dc = BeginPaint(h, &ps);
                          TRect c;
                          GetClientRect(h, &c);
                          FillRect(dc, &c, GetSysColorBrush(COLOR_WINDOW));
                          SelectObject(dc, font);
                          SetBkMode(dc, TRANSPARENT);
                          SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
                          int pad = MulDiv(2, int(GetDpiForWindow(h)), 96);
                          TRect r(pad, 0, c.Right, itemHeight);
                          DrawTextW(dc, u"Agiły quick descender", &r, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
                          EndPaint(h, &ps);
                          res = 0;
                          return true;
                        });
  SetFocus(Top);  // no focus rectangle
  Send(LB_SETCURSEL, WPARAM(-1));
  Pump();
  EXPECT_GE(itemHeight, 20);
  int dark = 0, diff = 0;
  TPoint lo = ScreenOf(List, TPoint(0, 0)), ro = ScreenOf(ref, TPoint(0, 0));
  for (int y = 0; y < itemHeight; ++y)
    for (int x = 0; x < 140; ++x) {
      std::uint32_t a = PixelAt(Top, lo.X + x, lo.Y + y), b = PixelAt(Top, ro.X + x, ro.Y + y);
      if (a != b) ++diff;
      if ((a & 0xFF) < 0x80) ++dark;
    }
  EXPECT_EQ(diff, 0);
  EXPECT_GT(dark, 100);  // the text is there
  DestroyWindow(ref);
  DestroyWindow(List);
  DeleteObject(font);
}
