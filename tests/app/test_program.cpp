// The program's start: units, application, the start-up style and the main window; a style
// that cannot be set is reported and the program goes on; closing the main window ends the
// message loop.
#include <gtest/gtest.h>

#include "app/Program.h"
#include "app/Unit1.h"
#include "controls/kxControls.h"
#include "draw/kxSystem.h"
#include "host/themes/StyleManager.h"
#include "host/vcl/Application.h"

using namespace vcl;

namespace {

class Program : public ::testing::Test {
 protected:
  void TearDown() override {
    delete app::Form1;
    app::Form1 = nullptr;
    TStyleManager::SetErrorReporter(nullptr);
    TStyleManager::SetStyle(u"Windows");
  }
};

}  // namespace

TEST_F(Program, StartsInGlowWithTheMainWindowStyledAndEndsWhenItCloses) {
  kx::TkxUnitsScope units(app::ProgramUnits());
  EXPECT_TRUE(kx::IsWindows10());  // the drawing core read the system's version
  EXPECT_NE(GetClass(u"TkxCustomControl"), nullptr);
  app::StartProgram();
  ASSERT_NE(app::Form1, nullptr);
  EXPECT_EQ(Application->MainForm(), app::Form1);
  EXPECT_EQ(TStyleManager::ActiveStyle()->Name(), u"Glow");
  EXPECT_TRUE(Application->MainFormOnTaskBar());
  app::Form1->Show();
  // The form is framed by the engine's form hook in the style.
  EXPECT_NE(TStyleManager::StyleHookOf(app::Form1), nullptr);
  PostMessageW(app::Form1->Handle(), WM_SYSCOMMAND, SC_CLOSE, 0);
  Application->Run();
  EXPECT_TRUE(Application->Terminated());
}

TEST_F(Program, AStyleThatCannotBeSetIsReportedAndTheWindowOpensInTheActiveStyle) {
  kx::TkxUnitsScope units(app::ProgramUnits());
  String reported;
  TStyleManager::SetErrorReporter([&](const String& m) { reported = m; });
  app::StartProgram(u"Missing Style");
  EXPECT_NE(reported.find(u"Missing Style"), String::npos);
  ASSERT_NE(app::Form1, nullptr);
  EXPECT_EQ(TStyleManager::ActiveStyle()->Name(), u"Windows");
  app::Form1->Show();
  EXPECT_TRUE(IsWindowVisible(app::Form1->Handle()));
}
