// Forms: the stored description with nested controls and a bound handler, modal showing,
// closing, keyboard navigation and accelerators, KeyPreview.
#include "tests/vcl/FormsTest.h"

#include "host/classes/Filer.h"
#include "host/classes/TypInfo.h"
#include "host/rtl/Resources.h"

namespace vcl::formstest {

// The form class of TestForm.dfm.
class TTestForm : public TForm {
 public:
  static const TClass Class;
  const TClass* ClassType() const override { return &Class; }
  explicit TTestForm(TComponent* owner) : TForm(owner) {}

  int Clicks = 0;
  int Created = 0;
  std::vector<Word> PreviewKeys;
  bool SwallowKeys = false;
  void Button1Click(TObject*) { ++Clicks; }
  bool WasMainForm = false;
  void FormCreate(TObject*) {
    ++Created;
    WasMainForm = Application->MainForm() == this;
    // The handler runs after the description has been read: its components are there.
    if (FindComponent(u"Button1")) ++Created;
  }
  void FormKeyDown(TObject*, Word& key, TShiftState) {
    PreviewKeys.push_back(key);
    if (SwallowKeys) key = 0;
  }
  template <class T>
  T* Get(StringView name) {
    return dynamic_cast<T*>(FindComponent(name));
  }
};

const TClass TTestForm::Class = TClass::Define<TTestForm, TForm>(u"TTestForm", [](auto& c) {
  c.Method(u"Button1Click", &TTestForm::Button1Click);
  c.Method(u"FormCreate", &TTestForm::FormCreate);
});

using Forms = FormsTest;

TEST_F(Forms, StoredFormLoadsNestedControlsAndItsHandlerFiresOnAClick) {
  TTestForm* f = TCustomForm::Create<TTestForm>(nullptr);
  EXPECT_EQ(f->Created, 2);
  EXPECT_EQ(f->Caption(), u"Stored test form");
  EXPECT_EQ(f->ClientWidth(), 320);
  EXPECT_EQ(f->ClientHeight(), 200);
  EXPECT_EQ(f->Constraints()->MinWidth(), 200);
  EXPECT_TRUE(f->KeyPreview());
  auto* panel = f->Get<TPanel>(u"Panel1");
  auto* button = f->Get<TButton>(u"Button1");
  auto* label = f->Get<TLabel>(u"Label1");
  auto* check = f->Get<TCheckBox>(u"CheckBox1");
  ASSERT_TRUE(panel && button && label && check);
  EXPECT_EQ(panel->Parent(), f);
  EXPECT_EQ(button->Parent(), panel);
  EXPECT_EQ(label->Parent(), panel);
  EXPECT_EQ(button->Owner(), f);
  EXPECT_TRUE(button->Default());
  EXPECT_EQ(label->FocusControl(), check);
  EXPECT_EQ(f->Get<TButton>(u"CancelButton")->ModalResult(), mrCancel);
  // The form is not shown until asked.
  EXPECT_FALSE(f->Visible());
  f->Show();
  Pump();
  ASSERT_TRUE(IsWindowVisible(f->Handle()));
  TRect wr;
  GetWindowRect(f->Handle(), &wr);
  EXPECT_EQ(wr.TopLeft(), TPoint(120, 90));
  ClickOn(button);
  EXPECT_EQ(f->Clicks, 1);
  delete f;
}

TEST_F(Forms, UnknownClassInAStoredFormIsAnErrorNamingIt) {
  // A description naming a class nobody registered fails with a message naming that class,
  // and leaves no form behind.
  const char* text = "object F: TForm\n  object X: TNoSuchControl\n  end\nend\n";
  int before = Screen->FormCount();
  try {
    ReadComponentFromText(Utf8ToString(text), nullptr, u"inline.dfm");
    FAIL() << "no error";
  } catch (const EReadError& e) {
    EXPECT_NE(std::string(e.what()).find("TNoSuchControl"), std::string::npos) << e.what();
  }
  EXPECT_EQ(Screen->FormCount(), before);
}

TEST_F(Forms, ShowModalReturnsTheModalResultOfAButtonClickedInsideItsLoop) {
  TForm* owner = NewForm(50, 50);
  owner->Show();
  Pump();
  TForm* dlg = NewForm(300, 200, 200, 100);
  auto* ok = Add<TButton>(dlg, 10, 10, 75, 25, u"OK");
  ok->SetModalResult(mrOk);
  // While the dialog runs, the other form is disabled; a timer clicks the button.
  static TButton* target;
  static HWND other;
  static bool otherDisabled;
  target = ok;
  other = owner->Handle();
  otherDisabled = false;
  UINT_PTR t = SetTimer(nullptr, 0, 100, [](HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    otherDisabled = !IsWindowEnabled(other);
    TPoint p = target->ClientToScreen(TPoint{5, 5});
    Headless().InjectClick(p.X, p.Y);
  });
  ASSERT_NE(t, 0u);
  EXPECT_EQ(dlg->ShowModal(), mrOk);
  EXPECT_TRUE(otherDisabled);
  EXPECT_TRUE(IsWindowEnabled(owner->Handle()));
  EXPECT_FALSE(dlg->Visible());
  EXPECT_FALSE(IsWindowVisible(dlg->Handle()));
  EXPECT_FALSE(dlg->FormState().Contains(fsModal));
  // A visible form cannot be made modal.
  dlg->Show();
  EXPECT_THROW(dlg->ShowModal(), ECannotShowModal);
}

TEST_F(Forms, ShowModalThatNothingCanEndGivesUpWithCancel) {
  TForm* dlg = NewForm();
  EXPECT_EQ(dlg->ShowModal(), mrCancel);
  EXPECT_FALSE(dlg->Visible());
}

TEST_F(Forms, CloseQueryCanRefuseAndCaFreeFreesTheForm) {
  TForm* main = NewForm(10, 10);
  main->Show();  // not the application's main form: it was not made by CreateForm
  TForm* f = NewForm(200, 200);
  f->Show();
  Pump();
  struct Handlers : TObject {
    bool Allow = false;
    TCloseAction Action = caHide;
    int Closed = 0;
    void Query(TObject*, bool& can) { can = Allow; }
    void OnClose(TObject*, TCloseAction& a) {
      ++Closed;
      a = Action;
    }
  } h;
  f->OnCloseQuery = TCloseQueryEvent(&h, &Handlers::Query);
  f->OnClose = TCloseEvent(&h, &Handlers::OnClose);
  // The close button (WM_CLOSE) asks the form.
  SendMessageW(f->Handle(), WM_CLOSE, 0, 0);
  EXPECT_TRUE(IsWindowVisible(f->Handle()));
  EXPECT_EQ(h.Closed, 0);
  h.Allow = true;
  f->Close();
  EXPECT_EQ(h.Closed, 1);
  EXPECT_FALSE(f->Visible());  // caHide
  f->Show();
  h.Action = caNone;
  f->Close();
  EXPECT_TRUE(f->Visible());
  // caFree: freed once the queued messages are handled, not inside Close.
  h.Action = caFree;
  int before = Screen->FormCount();
  f->Close();
  EXPECT_EQ(Screen->FormCount(), before);
  Pump();
  EXPECT_EQ(Screen->FormCount(), before - 1);
  for (int i = 0; i < Screen->FormCount(); ++i) EXPECT_NE(Screen->Forms(i), f);
}

TEST_F(Forms, EnterClicksTheDefaultButtonAndEscapeTheCancelButton) {
  TForm* f = NewForm();
  auto* check = Add<TCheckBox>(f, 10, 10, 100, 17, u"Option");
  auto* ok = Add<TButton>(f, 10, 40, 75, 25, u"OK");
  auto* cancel = Add<TButton>(f, 100, 40, 75, 25, u"Cancel");
  ok->SetDefault(true);
  cancel->SetCancel(true);
  TCounter okc, cancelc;
  int& okClicks = okc.Count;
  int& cancelClicks = cancelc.Count;
  ok->SetOnClick(okc.Event());
  cancel->SetOnClick(cancelc.Event());
  f->SetActiveControl(check);
  f->Show();
  Pump();
  ASSERT_EQ(GetFocus(), check->Handle());
  EXPECT_TRUE(ok->IsActiveDefault());
  Key(VK_RETURN);
  EXPECT_EQ(okClicks, 1);
  EXPECT_EQ(cancelClicks, 0);
  Key(VK_ESCAPE);
  EXPECT_EQ(cancelClicks, 1);
  // With the focus on a button, Enter clicks that button, not the default one.
  cancel->SetFocus();
  EXPECT_FALSE(ok->IsActiveDefault());
  Key(VK_RETURN);
  EXPECT_EQ(cancelClicks, 2);
  EXPECT_EQ(okClicks, 1);
  // Space clicks the focused button too.
  Key(VK_SPACE);
  EXPECT_EQ(cancelClicks, 3);
  // A modifier makes it no dialog key.
  check->SetFocus();
  KeyWith(VK_CONTROL, VK_RETURN);
  EXPECT_EQ(okClicks, 1);
}

TEST_F(Forms, TabFollowsTheTabOrderAndArrowsStayInTheGroup) {
  TForm* f = NewForm();
  auto* a = Add<TButton>(f, 10, 10, 75, 25, u"A");
  auto* b = Add<TButton>(f, 10, 40, 75, 25, u"B");
  auto* c = Add<TButton>(f, 10, 70, 75, 25, u"C");
  auto* group = Add<TPanel>(f, 100, 10, 150, 120);
  auto* g1 = Add<TCheckBox>(group, 5, 5, 100, 17, u"G1");
  auto* g2 = Add<TCheckBox>(group, 5, 30, 100, 17, u"G2");
  auto* g3 = Add<TCheckBox>(group, 5, 55, 100, 17, u"G3");
  g2->SetTabStop(false);
  g3->SetTabStop(false);
  // Tab order: C, A, panel (G1), B.
  c->SetTabOrder(0);
  a->SetTabOrder(1);
  group->SetTabOrder(2);
  b->SetTabOrder(3);
  f->Show();
  Pump();
  EXPECT_EQ(GetFocus(), c->Handle()) << "the first control in tab order has the focus";
  std::vector<HWND> seen;
  for (int i = 0; i < 4; ++i) {
    Key(VK_TAB);
    seen.push_back(GetFocus());
  }
  EXPECT_EQ(seen, (std::vector<HWND>{a->Handle(), g1->Handle(), b->Handle(), c->Handle()}));
  EXPECT_EQ(f->ActiveControl(), c);
  KeyWith(VK_SHIFT, VK_TAB);
  EXPECT_EQ(GetFocus(), b->Handle());
  // Arrows move among the group's controls, including those without a tab stop, and wrap.
  g1->SetFocus();
  Key(VK_DOWN);
  EXPECT_EQ(GetFocus(), g2->Handle());
  Key(VK_DOWN);
  EXPECT_EQ(GetFocus(), g3->Handle());
  Key(VK_DOWN);
  EXPECT_EQ(GetFocus(), g1->Handle());
  Key(VK_UP);
  EXPECT_EQ(GetFocus(), g3->Handle());
  EXPECT_EQ(f->ActiveControl(), g3);
}

TEST_F(Forms, AltLetterClicksButtonsAndLabelsFocusTheirControl) {
  TTestForm* f = TCustomForm::Create<TTestForm>(nullptr);
  f->Show();
  Pump();
  auto* check = f->Get<TCheckBox>(u"CheckBox1");
  auto* cancel = f->Get<TButton>(u"CancelButton");
  cancel->SetFocus();
  KeyWith(VK_MENU, 'N');  // "&Name" focuses the check box beside it
  EXPECT_EQ(GetFocus(), check->Handle());
  KeyWith(VK_MENU, 'P');  // "&Press"
  EXPECT_EQ(f->Clicks, 1);
  KeyWith(VK_MENU, 'Q');  // nobody's accelerator
  EXPECT_EQ(f->Clicks, 1);
  EXPECT_EQ(GetFocus(), check->Handle());
  // On a button (which takes no characters) the letter alone works as in a dialog.
  cancel->SetFocus();
  Type('P', "p");
  EXPECT_EQ(f->Clicks, 2);
}

TEST_F(Forms, KeyPreviewLetsTheFormSeeAndSwallowKeysFirst) {
  TTestForm* f = TCustomForm::Create<TTestForm>(nullptr);
  f->SetOnKeyDown(TKeyEvent(f, &TTestForm::FormKeyDown));
  auto* check = f->Get<TCheckBox>(u"CheckBox1");
  std::vector<Word> controlKeys;
  struct Watch : TObject {
    std::vector<Word>* Keys = nullptr;
    void Down(TObject*, Word& k, TShiftState) { Keys->push_back(k); }
  } w;
  w.Keys = &controlKeys;
  check->SetOnKeyDown(TKeyEvent(&w, &Watch::Down));
  f->SetActiveControl(check);
  f->Show();
  Pump();
  Key('X');
  EXPECT_EQ(f->PreviewKeys, std::vector<Word>{'X'});
  EXPECT_EQ(controlKeys, std::vector<Word>{'X'});
  f->SwallowKeys = true;
  Key('Y');
  EXPECT_EQ(f->PreviewKeys, (std::vector<Word>{'X', 'Y'}));
  EXPECT_EQ(controlKeys, std::vector<Word>{'X'});
  f->SetKeyPreview(false);
  Key('Z');
  EXPECT_EQ(f->PreviewKeys.size(), 2u);
  EXPECT_EQ(controlKeys, (std::vector<Word>{'X', 'Z'}));
}

TEST_F(Forms, ActivationFocusesTheActiveControlAndScreenFollows) {
  TForm* a = NewForm(10, 10);
  auto* ab = Add<TButton>(a, 10, 10, 75, 25, u"A1");
  auto* ab2 = Add<TButton>(a, 10, 40, 75, 25, u"A2");
  TForm* b = NewForm(500, 10);
  auto* bb = Add<TButton>(b, 10, 10, 75, 25, u"B1");
  TCounter ca, cd;
  int& activated = ca.Count;
  int& deactivated = cd.Count;
  a->OnActivate = ca.Event();
  a->OnDeactivate = cd.Event();
  a->Show();
  Pump();
  EXPECT_EQ(activated, 1);
  EXPECT_TRUE(a->Active());
  EXPECT_EQ(Screen->ActiveForm(), a);
  EXPECT_EQ(GetFocus(), ab->Handle());
  ab2->SetFocus();
  EXPECT_EQ(a->ActiveControl(), ab2);
  EXPECT_EQ(Screen->ActiveControl(), ab2);
  b->Show();
  Pump();
  EXPECT_EQ(deactivated, 1);
  EXPECT_EQ(Screen->ActiveForm(), b);
  EXPECT_EQ(GetFocus(), bb->Handle());
  EXPECT_EQ(Screen->Forms(0), b) << "the forms are listed front to back";
  // Back to the first form: the focus returns to the control that had it.
  a->SetFocus();
  Pump();
  EXPECT_EQ(Screen->ActiveForm(), a);
  EXPECT_EQ(GetFocus(), ab2->Handle());
  // An active control must be on the form and able to take the focus.
  EXPECT_THROW(a->SetActiveControl(bb), EInvalidOperation);
  ab->SetEnabled(false);
  EXPECT_THROW(a->SetActiveControl(ab), EInvalidOperation);
  // The counters go with this test; the forms are freed later.
  a->OnActivate = nullptr;
  a->OnDeactivate = nullptr;
}

TEST_F(Forms, BorderStyleAndIconsMakeTheWindowStyle) {
  TForm* f = NewForm();
  f->SetBorderStyle(bsDialog);
  f->SetBorderIcons(TBorderIcons{biSystemMenu, biMinimize, biMaximize, biHelp});
  f->Show();
  Pump();
  DWORD style = DWORD(GetWindowLongW(f->Handle(), GWL_STYLE));
  DWORD ex = DWORD(GetWindowLongW(f->Handle(), GWL_EXSTYLE));
  EXPECT_EQ(style & WS_CAPTION, WS_CAPTION);
  EXPECT_TRUE(style & WS_SYSMENU);
  EXPECT_FALSE(style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX));  // dialogs have none
  EXPECT_TRUE(ex & WS_EX_DLGMODALFRAME);
  EXPECT_TRUE(ex & WS_EX_CONTEXTHELP);
  EXPECT_EQ(f->ClientWidth(), 300) << "a border change keeps the client size";
  f->SetBorderStyle(bsSizeToolWin);
  style = DWORD(GetWindowLongW(f->Handle(), GWL_STYLE));
  ex = DWORD(GetWindowLongW(f->Handle(), GWL_EXSTYLE));
  EXPECT_TRUE(style & WS_THICKFRAME);
  EXPECT_TRUE(ex & WS_EX_TOOLWINDOW);
  EXPECT_TRUE(IsWindowVisible(f->Handle()));
  EXPECT_EQ(f->ClientWidth(), 300);
  f->SetBorderStyle(bsNone);
  style = DWORD(GetWindowLongW(f->Handle(), GWL_STYLE));
  EXPECT_EQ(style & WS_CAPTION, 0u);
  TRect wr;
  GetWindowRect(f->Handle(), &wr);
  EXPECT_EQ(wr.Width(), 300);
  f->SetFormStyle(fsStayOnTop);
  EXPECT_TRUE(GetWindowLongW(f->Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST);
}

TEST_F(Forms, WindowStateFollowsTheWindow) {
  TForm* f = NewForm();
  f->SetWindowState(wsMaximized);
  f->Show();
  Pump();
  EXPECT_TRUE(IsZoomed(f->Handle()));
  EXPECT_EQ(f->WindowState(), wsMaximized);
  SendMessageW(f->Handle(), WM_SYSCOMMAND, SC_RESTORE, 0);
  EXPECT_EQ(f->WindowState(), wsNormal);
  f->SetWindowState(wsMinimized);
  EXPECT_TRUE(IsIconic(f->Handle()));
  EXPECT_EQ(f->WindowState(), wsMinimized);
}

}  // namespace vcl::formstest

namespace vcl::formstest {

namespace {
// A form class whose stored description names a property the class does not have.
class TBrokenForm : public TForm {
 public:
  static const TClass Class;
  const TClass* ClassType() const override { return &Class; }
  explicit TBrokenForm(TComponent* owner) : TForm(owner) {}
};
const TClass TBrokenForm::Class = TClass::Define<TBrokenForm, TForm>(u"TBrokenForm");
const char kBroken[] = "object BrokenForm: TBrokenForm\n  Caption = 'x'\n  NoSuchProperty = 1\nend\n";
}  // namespace

TEST_F(Forms, CreateFormBuildsTheFormFromItsDescriptionAndMakesTheFirstTheMainForm) {
  TTestForm* f = nullptr;
  Application->CreateForm(f);
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(f->Created, 2) << "OnCreate, bound by the description, ran after reading";
  EXPECT_TRUE(f->WasMainForm) << "the first form is the main form already in OnCreate";
  EXPECT_EQ(f->Caption(), u"Stored test form");
  EXPECT_EQ(Application->MainForm(), f);
  EXPECT_EQ(f->Owner(), static_cast<TComponent*>(Application));
}

TEST_F(Forms, AFormWhoseDescriptionFailsIsFreedAndItsReferenceCleared) {
  static bool registered = [] {
    RegisterResource("RCDATA", "TBROKENFORM", reinterpret_cast<const Byte*>(kBroken), sizeof kBroken - 1);
    return true;
  }();
  (void)registered;
  int before = Screen->FormCount();
  TBrokenForm* f = reinterpret_cast<TBrokenForm*>(1);
  try {
    Application->CreateForm(f);
    FAIL() << "no error";
  } catch (const EReadError& e) {
    EXPECT_NE(std::string(e.what()).find("NoSuchProperty"), std::string::npos) << e.what();
  }
  EXPECT_EQ(f, nullptr);
  EXPECT_EQ(Screen->FormCount(), before);
  EXPECT_EQ(Application->MainForm(), nullptr);
}

}  // namespace vcl::formstest

namespace vcl::formstest {

TEST_F(Forms, TheFormAndItsButtonsPaintInTheSystemColours) {
  TForm* f = NewForm(100, 100, 200, 100);
  Add<TButton>(f, 20, 20, 75, 25, u"OK");
  f->Show();
  Pump();
  UpdateWindow(f->Handle());
  TRect wr;
  GetWindowRect(f->Handle(), &wr);
  TPoint origin{0, 0};
  ClientToScreen(f->Handle(), &origin);
  int ox = origin.X - wr.Left, oy = origin.Y - wr.Top;
  COLORREF face = GetSysColor(COLOR_BTNFACE);
  auto rgb = [](COLORREF c) { return wintest::Px(GetRValue(c), GetGValue(c), GetBValue(c)); };
  EXPECT_EQ(wintest::PixelAt(f->Handle(), ox + 150, oy + 80), rgb(face)) << "the client area";
  // The button: face inside, a darker edge at the bottom right, its caption in the middle.
  EXPECT_EQ(wintest::PixelAt(f->Handle(), ox + 20 + 5, oy + 20 + 5), rgb(face));
  EXPECT_NE(wintest::PixelAt(f->Handle(), ox + 20 + 74, oy + 20 + 24), rgb(face));
  bool text = false;
  for (int x = 20 + 25; x < 20 + 50 && !text; ++x)
    for (int y = 20 + 8; y < 20 + 18 && !text; ++y)
      text = wintest::PixelAt(f->Handle(), ox + x, oy + y) != rgb(face);
  EXPECT_TRUE(text) << "the caption is drawn";
}

}  // namespace vcl::formstest

namespace vcl::formstest {

TEST_F(Forms, ShowAndHideEventsAndReleaseFromTheFormsOwnButton) {
  TForm* f = NewForm();
  auto* b = Add<TButton>(f, 10, 10, 75, 25, u"Done");
  TCounter shown, hidden, destroyed;
  f->OnShow = shown.Event();
  f->OnHide = hidden.Event();
  f->OnDestroy = destroyed.Event();
  f->Show();
  Pump();
  EXPECT_EQ(shown.Count, 1);
  f->Hide();
  EXPECT_EQ(hidden.Count, 1);
  f->Show();
  Pump();
  EXPECT_EQ(shown.Count, 2);
  // A click handler that frees its own form: the form goes once the click is over.
  struct Releaser : TObject {
    TForm* Form = nullptr;
    void Click(TObject*) { Form->Release(); }
  } r;
  r.Form = f;
  b->SetOnClick(TNotifyEvent(&r, &Releaser::Click));
  ClickOn(b);
  EXPECT_EQ(destroyed.Count, 1);
  for (int i = 0; i < Screen->FormCount(); ++i) EXPECT_NE(Screen->Forms(i), f);
}

TEST_F(Forms, TheMessageBoxIsModalAndEnterClosesIt) {
  static bool sawBox;
  sawBox = false;
  SetTimer(nullptr, 0, 50, [](HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    TCustomForm* box = Screen->ActiveForm();
    sawBox = box && box->Caption() == u"Title" && box->FormState().Contains(fsModal);
    Headless().InjectKey(VK_RETURN, true);
    Headless().InjectKey(VK_RETURN, false);
  });
  int before = Screen->FormCount();
  ShowMessageBox(u"Something happened.", u"Title");
  EXPECT_TRUE(sawBox);
  EXPECT_EQ(Screen->FormCount(), before);
}

}  // namespace vcl::formstest
