// The demo's main window, built from its embedded description as the program builds it.
#include <gtest/gtest.h>

#include "app/Unit1.h"
#include "host/graphics/GraphicsObjects.h"
#include "host/vcl/Application.h"
#include "host/vcl/StdCtrls.h"

using namespace vcl;

TEST(MainWindow, IsBuiltFromItsDescriptionCentredAndLimitedInSize) {
  RegisterStdControlClasses();
  Application->Initialize();
  Application->SetMainFormOnTaskBar(true);
  Application->CreateForm(app::Form1);
  ASSERT_NE(app::Form1, nullptr);
  EXPECT_EQ(Application->MainForm(), app::Form1);
  app::TForm1* f = app::Form1;
  EXPECT_EQ(f->Caption(), u"Kexora VCL - HighDPI - Per-Control Styling - Demo");
  EXPECT_EQ(f->ClientWidth(), 782);
  EXPECT_EQ(f->ClientHeight(), 450);
  EXPECT_EQ(f->Position(), poScreenCenter);
  EXPECT_EQ(f->PixelsPerInch(), 96);
  EXPECT_EQ(f->Font()->Name(), u"Tahoma");
  EXPECT_EQ(f->Font()->Height(), -11);
  EXPECT_EQ(f->Color(), clBtnFace);
  f->Show();
  TRect r, work;
  GetWindowRect(f->Handle(), &r);
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  EXPECT_EQ(r.Left, work.Left + (work.Width() - r.Width()) / 2);
  EXPECT_EQ(r.Top, work.Top + (work.Height() - r.Height()) / 2);
  // The window cannot be made smaller than 400 x 300.
  f->SetBounds(r.Left, r.Top, 100, 100);
  GetWindowRect(f->Handle(), &r);
  EXPECT_EQ(r.Width(), 400);
  EXPECT_EQ(r.Height(), 300);
  EXPECT_TRUE(GetWindowLongW(f->Handle(), GWL_EXSTYLE) & WS_EX_APPWINDOW);
  delete f;
  app::Form1 = nullptr;
  EXPECT_EQ(Application->MainForm(), nullptr);
}
