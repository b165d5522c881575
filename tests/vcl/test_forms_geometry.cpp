// Forms: placement, constraints during sizing by the user, and scaling between densities.
#include "tests/vcl/FormsTest.h"

namespace vcl::formstest {

using FormGeometry = FormsTest;

TEST_F(FormGeometry, ScreenCenterPlacesTheFormInTheMiddleOfTheWorkArea) {
  TForm* f = NewForm(0, 0, 400, 300);
  f->SetPosition(poScreenCenter);
  TRect before = f->BoundsRect();
  f->Show();
  Pump();
  TRect r;
  GetWindowRect(f->Handle(), &r);
  EXPECT_EQ(r.Size(), before.Size());
  EXPECT_EQ(r.Left, (1920 - before.Width()) / 2);
  EXPECT_EQ(r.Top, (1040 - before.Height()) / 2);
  EXPECT_EQ(f->BoundsRect(), r);
  // Placed once: a form the user moved stays where it is when shown again.
  f->SetBounds(10, 20, r.Width(), r.Height());
  f->Hide();
  f->Show();
  Pump();
  GetWindowRect(f->Handle(), &r);
  EXPECT_EQ(r.TopLeft(), TPoint(10, 20));
}

TEST_F(FormGeometry, MainFormAndOwnerCenterAndDesktopCenter) {
  TForm* owner = NewForm(100, 100, 600, 400);
  owner->Show();
  Pump();
  TRect orc;
  GetWindowRect(owner->Handle(), &orc);
  auto* child = new TForm(owner);
  child->SetPosition(poOwnerFormCenter);
  child->SetBounds(0, 0, 200, 100);
  child->Show();
  Pump();
  TRect cr;
  GetWindowRect(child->Handle(), &cr);
  EXPECT_EQ(cr.CenterPoint().X, orc.Left + (orc.Width() - 200) / 2 + 100);
  EXPECT_EQ(cr.Top, orc.Top + (orc.Height() - 100) / 2);
  TwoMonitors();
  TForm* d = NewForm(0, 0, 200, 100);
  d->SetScaled(false);
  d->SetPosition(poDesktopCenter);
  TRect size = d->BoundsRect();
  d->Show();
  Pump();
  TRect dr;
  GetWindowRect(d->Handle(), &dr);
  EXPECT_EQ(dr.Left, (3840 - size.Width()) / 2);
}

TEST_F(FormGeometry, ConstraintsHoldWhileTheUserSizesTheWindow) {
  TForm* f = NewForm(100, 100, 500, 400);
  f->Constraints()->SetConstraints(400, 300, 900, 700);
  f->Show();
  Pump();
  TRect r;
  GetWindowRect(f->Handle(), &r);
  // Drag the bottom-right corner far up and left, through the window manager's own loop.
  TPoint corner{r.Right - 2, r.Bottom - 2};
  ASSERT_EQ(SendMessageW(f->Handle(), WM_NCHITTEST, 0, PointToLParam(corner)), HTBOTTOMRIGHT);
  Headless().InjectMouseMove(corner.X, corner.Y);
  Headless().InjectMouseButton(platform::MouseButton::Left, true);
  Pump();
  Headless().InjectMouseMove(corner.X - 600, corner.Y - 600);
  Pump();
  GetWindowRect(f->Handle(), &r);
  EXPECT_EQ(r.Width(), 400);
  EXPECT_EQ(r.Height(), 300);
  Headless().InjectMouseMove(corner.X + 2000, corner.Y + 2000);
  Pump();
  GetWindowRect(f->Handle(), &r);
  EXPECT_EQ(r.Width(), 900);
  EXPECT_EQ(r.Height(), 700);
  Headless().InjectMouseButton(platform::MouseButton::Left, false);
  Pump();
  EXPECT_EQ(f->Width(), 900);
  EXPECT_EQ(f->Height(), 700);
  EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(FormGeometry, MovingToADenserMonitorAndBackRestoresTheExactBounds) {
  TwoMonitors();
  TForm* f = NewForm(100, 100, 301, 203);
  f->Constraints()->SetMinWidth(250);
  f->Font()->SetHeight(-11);
  auto* panel = Add<TPanel>(f, 0, 0, 10, 41);
  panel->SetAlign(alTop);
  auto* b = Add<TButton>(f, 13, 57, 75, 25, u"OK");
  f->Show();
  Pump();
  const TRect outer0 = f->BoundsRect();
  const TRect button0 = b->BoundsRect();
  const int client0 = f->ClientWidth();
  TCounter counter;
  int& resizes = counter.Count;
  panel->SetOnResize(counter.Event());

  // Onto the 144-DPI monitor.
  f->SetBounds(2200, 100, outer0.Width(), outer0.Height());
  Pump();
  EXPECT_EQ(f->CurrentPPI(), 144);
  EXPECT_EQ(f->PixelsPerInch(), 144);
  EXPECT_EQ(b->BoundsRect(), TRect(MulDiv(13, 3, 2), MulDiv(57, 3, 2), MulDiv(88, 3, 2), MulDiv(82, 3, 2)));
  EXPECT_EQ(b->Font()->Height(), MulDiv(-11, 3, 2));
  EXPECT_EQ(panel->Height(), MulDiv(41, 3, 2));
  EXPECT_EQ(panel->Width(), f->ClientWidth()) << "aligned children follow the new client area";
  EXPECT_EQ(f->Constraints()->MinWidth(), 375);
  EXPECT_EQ(f->Width(), MulDiv(outer0.Width(), 3, 2)) << "the suggested rectangle is taken";
  EXPECT_LE(resizes, 2) << "realigned once, not for every child";

  // And back.
  TRect r;
  GetWindowRect(f->Handle(), &r);
  f->SetBounds(100, 100, r.Width(), r.Height());
  Pump();
  EXPECT_EQ(f->CurrentPPI(), 96);
  EXPECT_EQ(f->Width(), outer0.Width());
  EXPECT_EQ(f->Height(), outer0.Height());
  EXPECT_EQ(f->ClientWidth(), client0);
  EXPECT_EQ(b->BoundsRect(), button0);
  EXPECT_EQ(b->Font()->Height(), -11);
  EXPECT_EQ(panel->Height(), 41);
  EXPECT_EQ(f->Constraints()->MinWidth(), 250);
  panel->SetOnResize(nullptr);
}

TEST_F(FormGeometry, AFormMadeForADenserMonitorIsScaledBeforeItShows) {
  // One monitor at 144 DPI.
  platform::MonitorInfo a;
  a.Bounds = {0, 0, 2880, 1620};
  a.WorkArea = {0, 0, 2880, 1560};
  a.Dpi = 144;
  a.Primary = true;
  Headless().SetMonitors({a});
  Pump();
  auto* f = new TForm(nullptr);
  f->SetPosition(poScreenCenter);
  f->SetClientWidth(782);
  f->SetClientHeight(450);
  auto* child = Add<TButton>(f, 10, 10, 75, 25, u"OK");
  f->AfterConstruction();
  EXPECT_EQ(f->CurrentPPI(), 144);
  EXPECT_EQ(f->ClientWidth(), 1173);
  EXPECT_EQ(f->ClientHeight(), 675);
  EXPECT_EQ(child->Width(), 113);
  f->Show();
  Pump();
  TRect cr;
  GetClientRect(f->Handle(), &cr);
  EXPECT_EQ(cr.Width(), 1173);
  EXPECT_EQ(cr.Height(), 675);
  EXPECT_EQ(GetDpiForWindow(f->Handle()), 144u);
}

}  // namespace vcl::formstest
