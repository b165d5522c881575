// The application's loop (Run, OnMessage, OnIdle, exceptions) and the screen object.
#include "tests/vcl/FormsTest.h"

#include "host/classes/StringList.h"
#include "host/graphics/GraphicsObjects.h"

namespace vcl::formstest {

using App = FormsTest;

namespace {
TForm* gClosing = nullptr;
}

TEST_F(App, RunEndsWhenTheMainFormCloses) {
  TForm* main = nullptr;
  Application->CreateForm(main);
  ASSERT_EQ(Application->MainForm(), main);
  main->SetPosition(poDesigned);
  TForm* second = Application->CreateForm<TForm>();
  EXPECT_EQ(Application->MainForm(), main) << "only the first form becomes the main form";
  (void)second;
  // The close button of the main form, pressed on the virtual clock while Run waits.
  gClosing = main;
  SetTimer(nullptr, 0, 250, [](HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    PostMessageW(gClosing->Handle(), WM_SYSCOMMAND, SC_CLOSE, 0);
  });
  DWORD start = GetTickCount();
  Application->Run();
  EXPECT_TRUE(Application->Terminated());
  EXPECT_GE(GetTickCount() - start, 250u);
  EXPECT_TRUE(main->Visible()) << "Run showed the main form";
  // A freed main form is forgotten.
  delete main;
  EXPECT_EQ(Application->MainForm(), nullptr);
}

TEST_F(App, RunWithNothingLeftToHappenReturnsWithoutTerminating) {
  TForm* main = Application->CreateForm<TForm>();
  main->SetPosition(poDesigned);
  Application->Run();
  EXPECT_FALSE(Application->Terminated());
  EXPECT_TRUE(main->Visible());
}

TEST_F(App, OnMessageSeesMessagesFirstAndCanKeepThemFromTheWindow) {
  TForm* f = NewForm();
  f->Show();
  Pump();
  struct Filter : TObject {
    UINT Eat = 0;
    std::vector<UINT> Seen;
    void Msg(MSG& m, bool& handled) {
      Seen.push_back(m.message);
      if (m.message == Eat) handled = true;
    }
  } filter;
  filter.Eat = WM_USER + 7;
  Application->OnMessage = TMessageEvent(&filter, &Filter::Msg);
  int reached = 0;
  struct Proc : TObject {
    int* N = nullptr;
    TWndMethod Old;
    void Wnd(TMessage& m) {
      if (m.Msg == WM_USER + 7 || m.Msg == WM_USER + 8) ++*N;
      Old(m);
    }
  } proc;
  proc.N = &reached;
  proc.Old = f->WindowProc();
  f->SetWindowProc(TWndMethod(&proc, &Proc::Wnd));
  PostMessageW(f->Handle(), WM_USER + 7, 0, 0);
  PostMessageW(f->Handle(), WM_USER + 8, 0, 0);
  Application->ProcessMessages();
  EXPECT_EQ(reached, 1);
  EXPECT_NE(std::find(filter.Seen.begin(), filter.Seen.end(), WM_USER + 7), filter.Seen.end());
  f->SetWindowProc(nullptr);
}

TEST_F(App, HandleMessageIdlesWhenTheQueueIsEmpty) {
  struct Idle : TObject {
    int Calls = 0;
    void OnIdle(TObject*, bool& done) { ++Calls; }
  } idle;
  Application->OnIdle = TIdleEvent(&idle, &Idle::OnIdle);
  PostMessageW(Application->Handle(), WM_USER + 1, 0, 0);
  Application->HandleMessage();
  EXPECT_EQ(idle.Calls, 0) << "a message was waiting";
  Application->HandleMessage();
  EXPECT_EQ(idle.Calls, 1);
}

TEST_F(App, ExceptionsInHandlersReachOnExceptionAndAbortIsSilent) {
  TForm* f = NewForm();
  auto* b = Add<TButton>(f, 10, 10, 75, 25, u"Throw");
  struct Thrower : TObject {
    bool Abort = false;
    void Click(TObject*) {
      if (Abort) throw EAbort("quiet");
      throw EConvertError("'x' is not a valid integer value");
    }
  } thrower;
  b->SetOnClick(TNotifyEvent(&thrower, &Thrower::Click));
  struct Catcher : TObject {
    std::vector<std::string> Seen;
    void Handle(TObject*, const std::exception& e) { Seen.push_back(e.what()); }
  } catcher;
  Application->OnException = TExceptionEvent(&catcher, &Catcher::Handle);
  f->Show();
  Pump();
  ClickOn(b);
  ASSERT_EQ(catcher.Seen.size(), 1u);
  EXPECT_EQ(catcher.Seen[0], "'x' is not a valid integer value");
  thrower.Abort = true;
  ClickOn(b);
  EXPECT_EQ(catcher.Seen.size(), 1u);
  // Without a handler, a headless program reports on the standard error stream.
  Application->OnException = nullptr;
  Application->SetTitle(u"Tests");
  thrower.Abort = false;
  testing::internal::CaptureStderr();
  ClickOn(b);
  std::string err = testing::internal::GetCapturedStderr();
  EXPECT_EQ(err, "Tests: 'x' is not a valid integer value.\n");
  Application->SetTitle(u"");
}

TEST_F(App, ScreenReportsMonitorsWorkAreasAndDensities) {
  TwoMonitors();
  ASSERT_EQ(Screen->MonitorCount(), 2);
  TMonitor* m0 = Screen->Monitors(0);
  TMonitor* m1 = Screen->Monitors(1);
  EXPECT_TRUE(m0->Primary());
  EXPECT_EQ(m0->BoundsRect(), TRect(0, 0, 1920, 1080));
  EXPECT_EQ(m0->WorkareaRect(), TRect(0, 0, 1920, 1040));
  EXPECT_EQ(m1->PixelsPerInch(), 144);
  EXPECT_EQ(Screen->MonitorFromPoint({2500, 300}), m1);
  EXPECT_EQ(Screen->MonitorFromPoint({9000, 300}, mdNull), nullptr);
  EXPECT_EQ(Screen->MonitorFromPoint({9000, 300}, mdPrimary), m0);
  EXPECT_EQ(Screen->WorkAreaRect(), TRect(0, 0, 1920, 1040));
  EXPECT_EQ(Screen->DesktopRect(), TRect(0, 0, 3840, 1080));
  EXPECT_EQ(Screen->PixelsPerInch(), 96);
  EXPECT_THROW(Screen->Monitors(2), EListError);
  TForm* f = NewForm(2000, 100);
  f->SetScaled(false);
  f->Show();
  Pump();
  EXPECT_EQ(f->Monitor(), m1);
  EXPECT_EQ(Screen->MonitorFromWindow(f->Handle()), m1);
  Headless().InjectMouseMove(2021, 123);
  Pump();
  EXPECT_EQ(Mouse->CursorPos(), TPoint(2021, 123));
}

TEST_F(App, ScreenFontsComeFromTheSystem) {
  TStrings* fonts = Screen->Fonts();
  ASSERT_GT(fonts->Count(), 0);
  EXPECT_GE(fonts->IndexOf(u"Tahoma"), 0);
  for (int i = 1; i < fonts->Count(); ++i)
    EXPECT_LE(detail::CompareTextIgnoreCase(fonts->Strings(i - 1), fonts->Strings(i)), 0);
  NONCLIENTMETRICSW ncm;
  SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof ncm, &ncm, 0);
  EXPECT_EQ(Screen->HintFont()->Name(), String(ncm.lfStatusFont.lfFaceName));
  EXPECT_EQ(Screen->HintFont()->Height(), ncm.lfStatusFont.lfHeight);
  EXPECT_EQ(Screen->MenuFont()->Height(), ncm.lfMenuFont.lfHeight);
  EXPECT_EQ(Screen->MessageFont()->Name(), String(ncm.lfMessageFont.lfFaceName));
}

TEST_F(App, ScreenCursorOverridesEveryControlsCursor) {
  TForm* f = NewForm();
  auto* b = Add<TButton>(f, 10, 10, 75, 25, u"B");
  b->SetCursor(crHandPoint);
  f->Show();
  Pump();
  MoveTo(CenterOf(b));
  EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_HAND));
  Screen->SetCursor(crHourGlass);
  EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_WAIT));
  MoveTo(CenterOf(b) + TPoint{1, 0});
  EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_WAIT));
  Screen->SetCursor(crDefault);
  EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_HAND));
}

}  // namespace vcl::formstest

namespace vcl::formstest {

TEST_F(App, TerminatingInsideAModalFormEndsItWithCancelAndThenTheRun) {
  TForm* main = Application->CreateForm<TForm>();
  main->SetPosition(poDesigned);
  static TModalResult result;
  static TForm* dialog;
  result = -1;
  dialog = NewForm(300, 300);
  // The main form's OnShow would be too early: a timer opens the dialog once Run waits.
  SetTimer(nullptr, 0, 10, [](HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    SetTimer(nullptr, 0, 100, [](HWND, UINT, UINT_PTR id2, DWORD) {
      KillTimer(nullptr, id2);
      Application->Terminate();
    });
    result = dialog->ShowModal();
  });
  Application->Run();
  EXPECT_EQ(result, mrCancel);
  EXPECT_TRUE(Application->Terminated());
  EXPECT_FALSE(dialog->Visible());
}

}  // namespace vcl::formstest
