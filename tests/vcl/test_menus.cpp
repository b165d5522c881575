// Menu items and menus without showing them: the item tree, radio groups and defaults, the
// system menu kept in step with the items, commands and shortcut keys, shortcut texts, change
// events, images, and menus in window descriptions.
#include <gtest/gtest.h>

#include "host/classes/Filer.h"
#include "host/classes/TypInfo.h"
#include "host/graphics/ImgList.h"
#include "host/vcl/Controls.h"
#include "host/vcl/Menus.h"

using namespace vcl;

namespace {

std::vector<std::string>& Log() {
  static std::vector<std::string> log;
  return log;
}

class TMenuTestForm : public TComponent {
 public:
  static const TClass Class;
  const TClass* ClassType() const override { return &Class; }
  explicit TMenuTestForm(TComponent* owner) : TComponent(owner) {}
  void Exit1Click(TObject* sender) {
    Log().push_back("Exit1Click:" + StringToUtf8(static_cast<TComponent*>(sender)->Name()));
  }
  void Changed(TObject*, TMenuItem* source, bool rebuild) {
    Log().push_back("change:" + (source ? StringToUtf8(source->Name()) : std::string("-")) + (rebuild ? "+" : ""));
  }
};

const TClass TMenuTestForm::Class = TClass::Define<TMenuTestForm, TComponent>(u"TMenuTestForm", [](auto& c) {
  c.Method(u"Exit1Click", &TMenuTestForm::Exit1Click);
});

TMenuItem* Item(TComponent* owner, const char16_t* name, const char16_t* caption) {
  auto* i = new TMenuItem(owner);
  i->SetName(name);
  i->SetCaption(caption);
  return i;
}

class Menus : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterMenuClasses();
    RegisterClass(&TMenuTestForm::Class);
    Log().clear();
    Form = new TMenuTestForm(nullptr);
  }
  void TearDown() override { delete Form; }
  TMenuTestForm* Form = nullptr;
};

const char16_t* kDescription =
    u"object MenuTestForm: TMenuTestForm\n"
    u"  object PopupMenu1: TPopupMenu\n"
    u"    Alignment = paRight\n"
    u"    object Open1: TMenuItem\n"
    u"      Caption = '&Open...'\n"
    u"      ShortCut = 16463\n"
    u"    end\n"
    u"    object N1: TMenuItem\n"
    u"      Caption = '-'\n"
    u"    end\n"
    u"    object Recent1: TMenuItem\n"
    u"      Caption = '&Recent'\n"
    u"      object File11: TMenuItem\n"
    u"        Caption = 'File 1'\n"
    u"        RadioItem = True\n"
    u"        Checked = True\n"
    u"      end\n"
    u"      object File21: TMenuItem\n"
    u"        Caption = 'File 2'\n"
    u"        RadioItem = True\n"
    u"        Checked = True\n"
    u"      end\n"
    u"    end\n"
    u"    object Exit1: TMenuItem\n"
    u"      Caption = 'E&xit'\n"
    u"      OnClick = Exit1Click\n"
    u"    end\n"
    u"  end\n"
    u"end\n";

}  // namespace

TEST_F(Menus, TheTreeAddsInsertsMovesAndRemovesItems) {
  TPopupMenu* menu = new TPopupMenu(Form);
  TMenuItem* a = Item(Form, u"A", u"A");
  TMenuItem* b = Item(Form, u"B", u"B");
  TMenuItem* c = Item(Form, u"C", u"C");
  menu->Items()->Add({a, c});
  menu->Items()->Insert(1, b);
  EXPECT_EQ(menu->Items()->Count(), 3);
  EXPECT_EQ(b->MenuIndex(), 1);
  EXPECT_EQ(b->Parent(), menu->Items());
  EXPECT_EQ(b->GetParentMenu(), menu);
  c->SetMenuIndex(0);
  EXPECT_EQ(menu->Items()->IndexOf(c), 0);
  EXPECT_EQ(menu->Items()->Find(u"&b"), b);
  // An item in one place only, never inside itself.
  TMenuItem* d = Item(Form, u"D", u"D");
  b->Add(d);
  EXPECT_THROW(menu->Items()->Add(d), EMenuError);
  EXPECT_THROW(d->Add(b), EMenuError);
  EXPECT_THROW(d->Add(d), EMenuError);
  EXPECT_THROW(menu->Items()->Insert(9, Item(Form, u"E", u"E")), EMenuError);
  EXPECT_THROW(menu->Items()->Items(3), EMenuError);
  // Delete takes out without freeing; freeing an item takes it out of its parent.
  menu->Items()->Delete(0);
  EXPECT_EQ(c->Parent(), nullptr);
  EXPECT_EQ(Form->FindComponent(u"C"), c);
  delete a;
  EXPECT_EQ(menu->Items()->Count(), 1);
  // Freeing a parent frees its sub-items, which leave their owner.
  delete b;
  EXPECT_EQ(Form->FindComponent(u"D"), nullptr);
  EXPECT_EQ(menu->Items()->Count(), 0);
  delete c;
}

TEST_F(Menus, RadioItemsUncheckTheirGroupAndOneItemIsTheDefault) {
  TPopupMenu* menu = new TPopupMenu(Form);
  TMenuItem *r1 = Item(Form, u"R1", u"1"), *r2 = Item(Form, u"R2", u"2"), *r3 = Item(Form, u"R3", u"3");
  TMenuItem* plain = Item(Form, u"P", u"p");
  menu->Items()->Add({r1, r2, r3, plain});
  for (TMenuItem* r : {r1, r2, r3}) r->SetRadioItem(true);
  r3->SetGroupIndex(1);
  plain->SetChecked(true);
  r1->SetChecked(true);
  r3->SetChecked(true);
  r2->SetChecked(true);
  EXPECT_FALSE(r1->Checked());
  EXPECT_TRUE(r2->Checked());
  EXPECT_TRUE(r3->Checked());     // another group
  EXPECT_TRUE(plain->Checked());  // not a radio item
  r3->SetGroupIndex(0);           // joins the group: the others go off
  EXPECT_FALSE(r2->Checked());
  // AutoCheck toggles on a click; disabled items do nothing.
  plain->SetAutoCheck(true);
  plain->Click();
  EXPECT_FALSE(plain->Checked());
  plain->SetEnabled(false);
  plain->Click();
  EXPECT_FALSE(plain->Checked());
  r1->SetDefault(true);
  r2->SetDefault(true);
  EXPECT_FALSE(r1->Default());
  EXPECT_TRUE(r2->Default());
}

TEST_F(Menus, TheSystemMenuFollowsTheItems) {
  TPopupMenu* menu = new TPopupMenu(Form);
  TMenuItem* open = Item(Form, u"Open1", u"&Open");
  TMenuItem* line = Item(Form, u"N1", u"-");
  TMenuItem* more = Item(Form, u"More1", u"More");
  TMenuItem* inner = Item(Form, u"Inner1", u"Inner");
  TMenuItem* hidden = Item(Form, u"Hidden1", u"Hidden");
  more->Add(inner);
  hidden->SetVisible(false);
  menu->Items()->Add({open, line, hidden, more});
  open->SetShortCut(TextToShortCut(u"Ctrl+O"));
  HMENU h = menu->Handle();
  ASSERT_EQ(GetMenuItemCount(h), 3);  // the hidden item is left out
  EXPECT_EQ(GetMenuString(h, 0, MF_BYPOSITION), u"&Open\tCtrl+O");
  EXPECT_EQ(GetMenuItemID(h, 0), open->Command());
  EXPECT_EQ(GetMenuState(h, 1, MF_BYPOSITION) & MF_SEPARATOR, MF_SEPARATOR);
  EXPECT_EQ(GetSubMenu(h, 2), more->Handle());
  EXPECT_EQ(GetMenuItemID(more->Handle(), 0), inner->Command());
  // Changes reach the same handle.
  open->SetEnabled(false);
  open->SetChecked(true);
  open->SetCaption(u"&Open file");
  EXPECT_EQ(GetMenuState(h, open->Command(), MF_BYCOMMAND) & (MF_GRAYED | MF_CHECKED), MF_GRAYED | MF_CHECKED);
  EXPECT_EQ(GetMenuString(h, 0, MF_BYPOSITION), u"&Open file\tCtrl+O");
  hidden->SetVisible(true);
  EXPECT_EQ(GetMenuItemCount(h), 4);
  EXPECT_EQ(menu->Handle(), h);
  // An item without sub-items loses its sub-menu entry; one that gains them gets one.
  delete inner;
  EXPECT_EQ(GetSubMenu(h, 3), nullptr);
  open->Add(Item(Form, u"Sub1", u"Sub"));
  EXPECT_NE(GetSubMenu(h, 0), nullptr);
  // Commands are unique and found again.
  EXPECT_NE(open->Command(), more->Command());
  EXPECT_EQ(menu->FindItem(more->Command(), fkCommand), more);
  EXPECT_EQ(menu->FindItem(reinterpret_cast<NativeUInt>(more->Handle()), fkHandle), more);
  EXPECT_EQ(menu->FindItem(TextToShortCut(u"Ctrl+O"), fkShortCut), open);
  EXPECT_EQ(menu->FindItem(0xFFFF, fkCommand), nullptr);
}

TEST_F(Menus, CommandsAndShortCutKeysClickTheirItems) {
  TPopupMenu* menu = new TPopupMenu(Form);
  TMenuItem* exit = Item(Form, u"Exit1", u"E&xit");
  TMenuItem* parent = Item(Form, u"Parent1", u"Parent");
  TMenuItem* inner = Item(Form, u"Save1", u"Save");
  parent->Add(inner);
  menu->Items()->Add({exit, parent});
  exit->SetOnClick(TNotifyEvent(Form, &TMenuTestForm::Exit1Click));
  inner->SetOnClick(TNotifyEvent(Form, &TMenuTestForm::Exit1Click));
  inner->SetShortCut(ShortCut('S', {ssCtrl}));
  EXPECT_TRUE(menu->DispatchCommand(exit->Command()));
  EXPECT_FALSE(menu->DispatchCommand(0));
  EXPECT_TRUE(menu->IsShortCut('S', {ssCtrl}));
  EXPECT_FALSE(menu->IsShortCut('S', {ssCtrl, ssShift}));
  parent->SetEnabled(false);  // a shortcut under a disabled item does nothing
  EXPECT_FALSE(menu->IsShortCut('S', {ssCtrl}));
  EXPECT_EQ(Log(), (std::vector<std::string>{"Exit1Click:Exit1", "Exit1Click:Save1"}));
}

TEST_F(Menus, ShortCutTextsRoundTrip) {
  EXPECT_EQ(ShortCutToText(ShortCut('O', {ssCtrl})), u"Ctrl+O");
  EXPECT_EQ(ShortCutToText(ShortCut('S', {ssCtrl, ssShift})), u"Shift+Ctrl+S");
  EXPECT_EQ(ShortCutToText(ShortCut(VK_F4, {ssAlt})), u"Alt+F4");
  EXPECT_EQ(ShortCutToText(ShortCut(VK_DELETE, {})), u"Del");
  EXPECT_EQ(ShortCutToText(ShortCut(VK_NUMPAD5, {ssCtrl})), u"Ctrl+Num 5");
  EXPECT_EQ(ShortCutToText(0), u"");
  EXPECT_EQ(TextToShortCut(u"Ctrl+O"), ShortCut('O', {ssCtrl}));
  EXPECT_EQ(TextToShortCut(u"ctrl+shift+s"), ShortCut('S', {ssCtrl, ssShift}));
  EXPECT_EQ(TextToShortCut(u"Alt+Ctrl+PgDn"), ShortCut(VK_NEXT, {ssCtrl, ssAlt}));
  EXPECT_EQ(TextToShortCut(u"F12"), TShortCut(VK_F12));
  for (const char16_t* bad : {u"", u"Ctrl+", u"Ctrl+Nothing", u"Hyper+A", u"+"}) EXPECT_EQ(TextToShortCut(bad), 0) << StringToUtf8(bad);
  // Every key that has a text comes back from it, with any modifiers.
  int named = 0;
  for (int key = 1; key < 256; ++key)
    for (TShortCut mods : {TShortCut(0), scShift, TShortCut(scCtrl | scAlt), TShortCut(scShift | scCtrl | scAlt)}) {
      TShortCut sc = TShortCut(key) | mods;
      String text = ShortCutToText(sc);
      if (text.empty()) continue;
      ++named;
      EXPECT_EQ(TextToShortCut(text), sc) << StringToUtf8(text);
    }
  EXPECT_GT(named, 4 * 80);
  WORD key = 0;
  TShiftState shift;
  ShortCutToKey(ShortCut(VK_F1, {ssShift, ssAlt}), key, shift);
  EXPECT_EQ(key, VK_F1);
  EXPECT_EQ(shift, (TShiftState{ssShift, ssAlt}));
  EXPECT_EQ(StripHotkey(u"Save &As && Close"), u"Save As & Close");
}

TEST_F(Menus, ChangesAreAnnouncedWithTheirSource) {
  TMainMenu* menu = new TMainMenu(Form);
  menu->SetOnChange(TMenuChangeEvent(Form, &TMenuTestForm::Changed));
  TMenuItem* file = Item(Form, u"File1", u"&File");
  menu->Items()->Add(file);
  file->SetCaption(u"&Files");
  TMenuItem* n = Item(Form, u"New1", u"&New");
  file->Add(n);
  n->SetVisible(false);
  EXPECT_EQ(Log(), (std::vector<std::string>{"change:+", "change:File1", "change:File1+", "change:New1+"}));
  // A main menu's handle is a menu bar with the items' drop-downs.
  HMENU bar = menu->Handle();
  ASSERT_EQ(GetMenuItemCount(bar), 1);
  EXPECT_EQ(GetSubMenu(bar, 0), file->Handle());
}

TEST_F(Menus, ImagesAreForgottenWhenTheListGoes) {
  TPopupMenu* menu = new TPopupMenu(Form);
  auto* images = new TImageList(Form);
  menu->SetImages(images);
  menu->SetOnChange(TMenuChangeEvent(Form, &TMenuTestForm::Changed));
  delete images;
  EXPECT_EQ(menu->Images(), nullptr);
  EXPECT_EQ(Log(), (std::vector<std::string>{"change:-"}));
}

TEST_F(Menus, AMenuReadFromADescriptionBindsItsHandlers) {
  ReadComponentFromText(kDescription, Form);
  auto* menu = dynamic_cast<TPopupMenu*>(Form->FindComponent(u"PopupMenu1"));
  ASSERT_NE(menu, nullptr);
  EXPECT_EQ(menu->Alignment(), paRight);
  ASSERT_EQ(menu->Items()->Count(), 4);
  TMenuItem* recent = menu->Items()->Items(2);
  EXPECT_EQ(recent->Name(), u"Recent1");
  ASSERT_EQ(recent->Count(), 2);
  EXPECT_FALSE(recent->Items(0)->Checked());  // the later one of the group won
  EXPECT_TRUE(recent->Items(1)->Checked());
  EXPECT_TRUE(menu->Items()->Items(1)->IsLine());
  EXPECT_EQ(menu->Items()->Items(0)->ShortCut(), ShortCut('O', {ssCtrl}));
  TMenuItem* exit = menu->Items()->Items(3);
  EXPECT_TRUE(menu->DispatchCommand(exit->Command()));
  EXPECT_EQ(Log(), (std::vector<std::string>{"Exit1Click:Exit1"}));
  // Written out and read again, the tree is the same.
  String text = WriteComponentText(Form);
  EXPECT_NE(text.find(u"OnClick = Exit1Click"), String::npos);
  EXPECT_NE(text.find(u"ShortCut = 16463"), String::npos);
  auto* copy = new TMenuTestForm(nullptr);
  ReadComponentFromText(text, copy);
  auto* again = dynamic_cast<TPopupMenu*>(copy->FindComponent(u"PopupMenu1"));
  ASSERT_NE(again, nullptr);
  ASSERT_EQ(again->Items()->Count(), 4);
  EXPECT_EQ(again->Items()->Items(2)->Items(1)->Caption(), u"File 2");
  EXPECT_EQ(again->Items()->Items(3)->OnClick(), TNotifyEvent(copy, &TMenuTestForm::Exit1Click));
  delete copy;
}

TEST_F(Menus, BadDescriptionsNameWhatIsWrong) {
  auto message = [&](const char16_t* text) {
    auto* f = new TMenuTestForm(nullptr);
    std::string what;
    try {
      ReadComponentFromText(text, f, u"bad.dfm");
    } catch (const Exception& e) {
      what = StringToUtf8(e.Message());
    }
    delete f;
    return what;
  };
  std::string range = message(
      u"object F: TMenuTestForm\n object P: TPopupMenu\n  object I: TMenuItem\n   ShortCut = 70000\n  end\n end\nend\n");
  EXPECT_NE(range.find("ShortCut"), std::string::npos) << range;
  EXPECT_NE(range.find("70000"), std::string::npos) << range;
  std::string place = message(u"object F: TMenuTestForm\n object Loose1: TMenuItem\n end\nend\n");
  EXPECT_NE(place.find("Loose1"), std::string::npos) << place;
  EXPECT_NE(place.find("bad.dfm"), std::string::npos) << place;
}
