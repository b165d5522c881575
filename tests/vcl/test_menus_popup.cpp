// Popup menus shown with Popup and driven by real headless input (a thread timer runs the next
// step of a script while the menu is open): the chosen item's OnClick runs before Popup
// returns, cancelling runs none, OnPopup and OnClose bracket the menu, a sub-menu's parent item
// is clicked as it opens, owner drawing goes to the item's events, images come from the menu's
// list, the owner window keeps focus and activation, and context-menu requests honour
// AutoPopup.
#include <deque>

#include "host/graphics/Canvas.h"
#include "host/graphics/Graphic.h"
#include "host/graphics/GraphicsObjects.h"
#include "host/graphics/ImgList.h"
#include "host/platform/headless/HeadlessBackend.h"
#include "host/classes/TypInfo.h"
#include "host/rtl/NumFormat.h"
#include "host/vcl/Controls.h"
#include "host/vcl/Menus.h"
#include "tests/win/WinTestUtil.h"

using namespace vcl;
using namespace vcl::wintest;

namespace {

std::vector<std::string>& Events() {
  static std::vector<std::string> e;
  return e;
}

std::deque<std::function<bool()>>& Steps() {
  static std::deque<std::function<bool()>> s;
  return s;
}

void Tick(HWND, UINT, UINT_PTR id, DWORD) {
  if (Steps().empty()) {
    KillTimer(nullptr, id);
    return;
  }
  if (Steps().front()()) Steps().pop_front();
}

class THandlers : public TComponent {
 public:
  static const TClass Class;
  const TClass* ClassType() const override { return &Class; }
  explicit THandlers(TComponent* owner) : TComponent(owner) {}
  void Clicked(TObject* s) { Events().push_back("click:" + StringToUtf8(static_cast<TComponent*>(s)->Name())); }
  void Popped(TObject*) { Events().push_back("popup"); }
  void Closed(TObject*) { Events().push_back("close"); }
  // Fills the sub-menu as it opens, as a month menu does.
  void FillRecent(TObject* s) {
    auto* parent = static_cast<TMenuItem*>(s);
    Events().push_back("fill");
    if (parent->Count() > 0) return;
    auto* i = new TMenuItem(Owner());
    i->SetName(u"Recent11");
    i->SetCaption(u"First recent");
    i->SetOnClick(TNotifyEvent(this, &THandlers::Clicked));
    parent->Add(i);
  }
  void Measure(TObject*, TCanvas*, int& w, int& h) {
    w = 180;
    h = 40;
  }
  void Draw(TObject*, TCanvas* canvas, TRect r, TOwnerDrawState state) {
    canvas->Brush()->SetColor(state.Contains(odSelected) ? TColor(0xFF0000) : TColor(0x0000FF));
    canvas->FillRect(r);
    Events().push_back(state.Contains(odSelected) ? "draw:selected" : "draw");
  }
};
const TClass THandlers::Class = TClass::Define<THandlers, TComponent>(u"THandlers");

class PopupMenus : public WinTest {
 protected:
  void SetUp() override {
    WinTest::SetUp();
    RegisterMenuClasses();
    Events().clear();
    Steps().clear();
    Headless().InjectMouseMove(1900, 1000);
    Window = MakeWindow(WS_OVERLAPPEDWINDOW | WS_VISIBLE, TRect(100, 100, 700, 600));
    SetActiveWindow(Window);
    SetFocus(Window);
    Pump();
    Root = new TComponent(nullptr);
    H = new THandlers(Root);
    Menu = new TPopupMenu(Root);
    Menu->SetName(u"PopupMenu1");
    Menu->FOnPopup = TNotifyEvent(H, &THandlers::Popped);
    Menu->FOnClose = TNotifyEvent(H, &THandlers::Closed);
    for (const char16_t* c : {u"&Open...", u"&New", u"-", u"&Print...", u"E&xit"}) Add(Menu->Items(), c);
  }
  void TearDown() override {
    delete Root;
    Steps().clear();
    for (int vk : {VK_MENU, VK_SHIFT, VK_CONTROL}) Headless().InjectKey(std::uint16_t(vk), false);
    WinTest::TearDown();
  }

  TMenuItem* Add(TMenuItem* parent, const char16_t* caption) {
    auto* i = new TMenuItem(Root);
    String name;
    for (Char c : StripHotkey(caption))
      if ((c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z')) name += c;
    i->SetName((name.empty() ? String(u"N") : name) + IntToStr(++Counter));
    i->SetCaption(caption);
    i->SetOnClick(TNotifyEvent(H, &THandlers::Clicked));
    parent->Add(i);
    return i;
  }
  // Runs Popup at a point with the script's steps run by a timer while the menu is open.
  void Popup(TPoint at = {200, 200}) {
    UINT_PTR timer = SetTimer(nullptr, 0, 10, Tick);
    Menu->Popup(at.X, at.Y);
    KillTimer(nullptr, timer);
    Events().push_back("returned");
  }
  static void Key(int vk) {
    Headless().InjectKey(std::uint16_t(vk), true);
    Headless().InjectKey(std::uint16_t(vk), false);
  }
  static TPoint Center(TMenuItem* parent, int visiblePos) {
    TRect r;
    EXPECT_TRUE(GetMenuItemRect(nullptr, parent->Handle(), UINT(visiblePos), &r));
    return r.CenterPoint();
  }
  static void ClickAt(TPoint p) {
    Headless().InjectMouseMove(p.X, p.Y);
    Headless().InjectClick(p.X, p.Y);
  }

  HWND Window = nullptr;
  TComponent* Root = nullptr;
  THandlers* H = nullptr;
  TPopupMenu* Menu = nullptr;
  int Counter = 0;
};

}  // namespace

TEST_F(PopupMenus, PopupReturnsAfterTheChosenItemsClickHasRun) {
  HWND focus = nullptr, active = nullptr;
  Steps().push_back([&] { return MenuWindowOf(Menu->Handle()) != nullptr; });
  Steps().push_back([&] {
    focus = GetFocus();
    active = GetActiveWindow();
    ClickAt(Center(Menu->Items(), 4));
    return true;
  });
  Popup();
  EXPECT_EQ(Events(), (std::vector<std::string>{"popup", "close", "click:Exit5", "returned"}));
  EXPECT_EQ(focus, Window);
  EXPECT_EQ(active, Window);
  EXPECT_EQ(GetFocus(), Window);
  EXPECT_EQ(Count(Window, WM_KILLFOCUS), 0);
  EXPECT_EQ(Menu->PopupPoint(), TPoint(200, 200));
  // Nothing is left to run after Popup returned.
  Pump();
  EXPECT_EQ(Events().size(), 4u);
}

TEST_F(PopupMenus, EscapeOrAClickOutsideRunsNoItem) {
  Steps().push_back([&] { return MenuWindowOf(Menu->Handle()) != nullptr; });
  Steps().push_back([&] { Key(VK_DOWN); Key(VK_ESCAPE); return true; });
  Popup();
  EXPECT_EQ(Events(), (std::vector<std::string>{"popup", "close", "returned"}));
  Events().clear();
  Steps().push_back([&] { return MenuWindowOf(Menu->Handle()) != nullptr; });
  Steps().push_back([&] { ClickAt({650, 550}); return true; });
  Popup();
  EXPECT_EQ(Events(), (std::vector<std::string>{"popup", "close", "returned"}));
}

TEST_F(PopupMenus, KeysSkipDisabledAndHiddenItemsAndAcceleratorsChoose) {
  Menu->Items()->Items(0)->SetEnabled(false);
  Menu->Items()->Items(1)->SetVisible(false);
  // Down from nothing: Open is disabled, New hidden, the line skipped: Print.
  Steps().push_back([&] { return MenuWindowOf(Menu->Handle()) != nullptr; });
  Steps().push_back([&] { Key(VK_DOWN); Key(VK_RETURN); return true; });
  Popup();
  EXPECT_EQ(Events(), (std::vector<std::string>{"popup", "close", "click:Print4", "returned"}));
  Events().clear();
  Steps().push_back([&] { return MenuWindowOf(Menu->Handle()) != nullptr; });
  Steps().push_back([&] {
    Headless().InjectKey('X', true);
    Headless().InjectText("x");
    Headless().InjectKey('X', false);
    return true;
  });
  Popup();
  EXPECT_EQ(Events(), (std::vector<std::string>{"popup", "close", "click:Exit5", "returned"}));
}

TEST_F(PopupMenus, ASubMenusParentIsClickedAsItOpensAndMayFillIt) {
  TMenuItem* recent = Add(Menu->Items(), u"&Recent");
  recent->SetOnClick(TNotifyEvent(H, &THandlers::FillRecent));
  // An item opens a sub-menu only once it has sub-items: filled once here, clicked again as it
  // opens.
  H->FillRecent(recent);
  Events().clear();
  Steps().push_back([&] { return MenuWindowOf(Menu->Handle()) != nullptr; });
  Steps().push_back([&] { Key(VK_UP); Key(VK_RIGHT); return true; });
  Steps().push_back([&] { return MenuWindowOf(recent->Handle()) != nullptr; });
  Steps().push_back([&] { Key(VK_RETURN); return true; });
  Popup();
  EXPECT_EQ(Events(), (std::vector<std::string>{"popup", "fill", "close", "click:Recent11", "returned"}));
}

TEST_F(PopupMenus, OwnerDrawnItemsUseTheItemsEvents) {
  TMenuItem* drawn = Add(Menu->Items(), u"Drawn");
  drawn->FOnMeasureItem = TMenuMeasureItemEvent(H, &THandlers::Measure);
  drawn->FOnAdvancedDrawItem = TAdvancedMenuDrawItemEvent(H, &THandlers::Draw);
  TRect r;
  std::uint32_t before = 0, after = 0;
  Steps().push_back([&] { return MenuWindowOf(Menu->Handle()) != nullptr; });
  Steps().push_back([&] {
    GetMenuItemRect(nullptr, Menu->Handle(), 5, &r);
    HWND w = MenuWindowOf(Menu->Handle());
    TPoint c = r.CenterPoint();
    ScreenToClient(w, &c);
    before = PixelAt(w, c.X, c.Y);
    Key(VK_UP);
    return true;
  });
  Steps().push_back([&] {
    HWND w = MenuWindowOf(Menu->Handle());
    TPoint c = r.CenterPoint();
    ScreenToClient(w, &c);
    after = PixelAt(w, c.X, c.Y);
    Key(VK_RETURN);
    return true;
  });
  Popup();
  EXPECT_EQ(r.Height(), 40);
  EXPECT_EQ(before, Px(255, 0, 0));  // clRed is 0x0000FF
  EXPECT_EQ(after, Px(0, 0, 255));
  ASSERT_GE(Events().size(), 4u);
  EXPECT_EQ(Events()[1], "draw");
  EXPECT_NE(std::find(Events().begin(), Events().end(), "draw:selected"), Events().end());
  EXPECT_EQ(Events()[Events().size() - 2], "click:Drawn6");
}

TEST_F(PopupMenus, ItemImagesComeFromTheMenusImageList) {
  auto* images = new TImageList(Root);
  images->SetColorDepth(cd32Bit);
  TBitmap bmp;
  bmp.SetPixelFormat(pf32bit);
  bmp.SetSize(32, 16);
  bmp.Canvas()->Brush()->SetColor(TColor(0x00FF00));
  bmp.Canvas()->FillRect(TRect(0, 0, 32, 16));
  images->Add(&bmp, nullptr);
  ASSERT_EQ(images->Count(), 2);
  Menu->SetImages(images);
  Menu->Items()->Items(3)->SetImageIndex(1);
  Menu->Items()->Items(4)->SetImageIndex(7);  // out of range: none
  std::vector<TMenuWindowItem> items;
  Steps().push_back([&] { return MenuWindowOf(Menu->Handle()) != nullptr; });
  Steps().push_back([&] {
    items = GetMenuWindowItems(MenuWindowOf(Menu->Handle()));
    Key(VK_ESCAPE);
    return true;
  });
  Popup();
  ASSERT_EQ(items.size(), 5u);
  EXPECT_EQ(items[3].Images, images->Handle());
  EXPECT_EQ(items[3].ImageIndex, 1);
  EXPECT_EQ(items[4].Images, nullptr);
  EXPECT_EQ(items[0].ImageIndex, -1);
}

TEST_F(PopupMenus, AnEmptyMenuShowsNothingAndContextRequestsHonourAutoPopup) {
  for (int i = 0; i < Menu->Items()->Count(); ++i) Menu->Items()->Items(i)->SetVisible(false);
  Popup();
  EXPECT_EQ(Events(), (std::vector<std::string>{"popup", "close", "returned"}));
  Events().clear();
  auto* control = new TComponent(Root);
  Menu->SetAutoPopup(false);
  EXPECT_FALSE(ShowControlPopupMenu(Menu, control, {10, 10}));
  EXPECT_TRUE(Events().empty());
  Menu->SetAutoPopup(true);
  EXPECT_TRUE(ShowControlPopupMenu(Menu, control, {10, 10}));
  EXPECT_EQ(Menu->PopupComponent(), control);
  delete control;
  EXPECT_EQ(Menu->PopupComponent(), nullptr);
}

TEST_F(PopupMenus, AControlsContextMenuRequestPopsItsMenuUpAtThePoint) {
  auto* panel = new TPanel(Root);
  panel->SetParentWindow(Window);
  panel->SetBounds(10, 10, 200, 100);
  panel->SetPopupMenu(Menu);
  Steps().push_back([&] { return MenuWindowOf(Menu->Handle()) != nullptr; });
  Steps().push_back([&] { ClickAt(Center(Menu->Items(), 1)); return true; });
  UINT_PTR timer = SetTimer(nullptr, 0, 10, Tick);
  SendMessageW(panel->Handle(), WM_CONTEXTMENU, WPARAM(panel->Handle()), MAKELPARAM(300, 250));
  KillTimer(nullptr, timer);
  EXPECT_EQ(Events(), (std::vector<std::string>{"popup", "close", "click:New2"}));
  EXPECT_EQ(Menu->PopupPoint(), TPoint(300, 250));
  EXPECT_EQ(Menu->PopupComponent(), panel);
}

TEST_F(PopupMenus, TheHighlightedItemsHintIsReported) {
  Menu->Items()->Items(1)->SetHint(u"Make a new file");
  std::vector<String> hints;
  SetMenuHintProc([&](TMenuItem* i) { hints.push_back(i ? i->Hint() : String(u"<closed>")); });
  Steps().push_back([&] { return MenuWindowOf(Menu->Handle()) != nullptr; });
  Steps().push_back([&] { Key(VK_DOWN); Key(VK_DOWN); Key(VK_ESCAPE); return true; });
  Popup();
  SetMenuHintProc(nullptr);
  EXPECT_EQ(hints, (std::vector<String>{u"", u"Make a new file", u"<closed>"}));
}
