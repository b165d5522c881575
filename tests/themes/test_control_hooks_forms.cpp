// The engine's form hook: a form in a custom style gets the style's frame (pixels, metrics,
// hit-testing), its caption buttons light up, press and carry out their commands; forms whose
// border does not follow the style keep the system frame. The scroll-bar hook of scroll boxes
// paints their bars in the style that applies to each box.
#include "host/themes/FormStyleHook.h"
#include "host/themes/ScrollingStyleHook.h"
#include "tests/themes/ThemesTestSupport.h"
#include "tests/vcl/FormsTest.h"

using namespace vcl;
using namespace vcl::formstest;
using vcl::test::TCanvasBitmap;
using wintest::PixelAt;

namespace {

TCustomStyleServices* Glow() { return TStyleManager::GetStyle(u"Glow"); }

struct TCloseCounter : TObject {
  int Closes = 0;
  void FormClose(TObject*, TCloseAction&) { ++Closes; }
};

class FormHook : public FormsTest {
 protected:
  void SetUp() override {
    FormsTest::SetUp();
    TStyleManager::SetStyle(u"Glow");
  }
  void TearDown() override {
    TStyleManager::SetStyle(u"Windows");
    TStyleManager::SetFormBorderStyle(TStyleManager::fbsCurrentStyle);
    FormsTest::TearDown();
  }
  TForm* ShownForm(StringView caption = u"Styled form") {
    TForm* f = NewForm(100, 100, 360, 220);
    f->SetCaption(caption);
    f->Show();
    Pump();
    return f;
  }
  static TFormStyleHook* HookOf(TWinControl* f) { return dynamic_cast<TFormStyleHook*>(TStyleManager::StyleHookOf(f)); }
  static TRect SystemFrame(TWinControl* f) {
    TRect in(0, 0, 0, 0);
    AdjustWindowRectEx(&in, DWORD(GetWindowLongW(f->Handle(), GWL_STYLE)), false,
                       DWORD(GetWindowLongW(f->Handle(), GWL_EXSTYLE)));
    return in;
  }
};

TEST_F(FormHook, AFormInACustomStyleHasTheStylesFrame) {
  TForm* f = ShownForm();
  TFormStyleHook* hook = HookOf(f);
  ASSERT_NE(hook, nullptr);
  EXPECT_EQ(hook->Form(), f);
  EXPECT_TRUE(hook->BorderFollowsStyle());
  // The client area is what the style's frame leaves.
  TStyledFrameMetrics m = GetStyledFrameMetrics(Glow(), false, true, 96);
  EXPECT_EQ(f->ClientWidth(), f->Width() - m.Left - m.Right);
  EXPECT_EQ(f->ClientHeight(), f->Height() - m.Top - m.Bottom);

  // The window shows exactly the frame the style paints: caption bar, text, buttons, borders.
  TStyledFrameInfo info = hook->FrameInfo();
  EXPECT_EQ(info.Caption, u"Styled form");
  EXPECT_TRUE(info.Active);
  TCanvasBitmap expected(f->Width(), f->Height());
  DrawStyledFrame(expected.Dc(), Glow(), info);
  TStyledFrameLayout l = GetStyledFrameLayout(Glow(), info);
  auto same = [&](int x, int y) { return PixelAt(f->Handle(), x, y) == (expected.Pixel(x, y) & 0xFFFFFF); };
  int differing = 0, text = 0;
  COLORREF tc = ColorToRGB(StyledCaptionTextColor(Glow(), true, false));
  std::uint32_t textColour = wintest::Px(GetRValue(tc), GetGValue(tc), GetBValue(tc));
  for (int y = 0; y < m.Top; ++y)
    for (int x = 0; x < f->Width(); ++x) {
      differing += !same(x, y);
      text += l.Text.Contains(TPoint(x, y)) && PixelAt(f->Handle(), x, y) == textColour;
    }
  EXPECT_EQ(differing, 0) << "the caption bar is the style's";
  EXPECT_GT(text, 40) << "the caption text in the style's caption colour";
  for (int y = m.Top; y < f->Height(); y += 7) {
    EXPECT_TRUE(same(0, y)) << y;
    EXPECT_TRUE(same(f->Width() - 1, y)) << y;
  }
  EXPECT_TRUE(same(f->Width() / 2, f->Height() - 1));
  // Glow's caption is dark, the system caption is not.
  std::uint32_t caption = PixelAt(f->Handle(), l.Caption.Left + 200, l.Caption.Top + 5);
  EXPECT_LT(caption >> 16, 0x50u);

  // The client area in the style's version of the form's colour.
  auto rgb = [](TColor c) {
    COLORREF v = ColorToRGB(c);
    return wintest::Px(GetRValue(v), GetGValue(v), GetBValue(v));
  };
  EXPECT_EQ(PixelAt(f->Handle(), m.Left + 100, m.Top + 100), rgb(Glow()->GetSystemColor(clBtnFace)));
  EXPECT_NE(rgb(Glow()->GetSystemColor(clBtnFace)), rgb(clBtnFace));

  // Hit-testing follows the style's layout.
  TRect wr;
  GetWindowRect(f->Handle(), &wr);
  auto hit = [&](TPoint p) { return SendMessageW(f->Handle(), WM_NCHITTEST, 0, PointToLParam(p + wr.TopLeft())); };
  EXPECT_EQ(hit(l.Buttons[scbClose].CenterPoint()), HTCLOSE);
  EXPECT_EQ(hit(l.Buttons[scbMax].CenterPoint()), HTMAXBUTTON);
  EXPECT_EQ(hit(l.Buttons[scbMin].CenterPoint()), HTMINBUTTON);
  EXPECT_EQ(hit(TPoint(l.Text.Left + 5, l.Text.CenterPoint().Y)), HTCAPTION);
  EXPECT_EQ(hit(TPoint(f->Width() - 1, f->Height() - 1)), HTBOTTOMRIGHT);
  EXPECT_EQ(hit(TPoint(0, f->Height() / 2)), HTLEFT);
  EXPECT_EQ(hit(TPoint(f->Width() / 2, f->Height() / 2)), HTCLIENT);

  // Back to the system style: the system frame again.
  TStyleManager::SetStyle(u"Windows");
  Pump();
  EXPECT_EQ(TStyleManager::StyleHookOf(f), nullptr);
  TRect sys = SystemFrame(f);
  EXPECT_EQ(f->ClientWidth(), f->Width() - sys.Width());
  EXPECT_EQ(f->ClientHeight(), f->Height() - sys.Height());
  EXPECT_NE(PixelAt(f->Handle(), l.Caption.Left + 200, l.Caption.Top + 5), caption);
  TPoint origin = f->ClientToScreen(TPoint(0, 0)) - wr.TopLeft();
  EXPECT_EQ(PixelAt(f->Handle(), origin.X + 100, origin.Y + 100), rgb(clBtnFace));
  delete f;
}

TEST_F(FormHook, AFormKeepsTheClientSizeItWasGivenInsideTheStylesFrame) {
  TForm* f = NewForm(100, 100, 360, 220);
  f->SetClientWidth(300);
  f->SetClientHeight(180);
  f->Show();
  Pump();
  ASSERT_NE(HookOf(f), nullptr);
  EXPECT_EQ(f->ClientWidth(), 300);
  EXPECT_EQ(f->ClientHeight(), 180);
  TRect client;
  GetClientRect(f->Handle(), &client);
  EXPECT_EQ(client.Width(), 300);
  EXPECT_EQ(client.Height(), 180);
}

TEST_F(FormHook, CaptionButtonsLightUpPressAndCarryOutTheirCommands) {
  TForm* f = ShownForm();
  TCloseCounter counter;
  f->OnClose = TCloseEvent(&counter, &TCloseCounter::FormClose);
  TFormStyleHook* hook = HookOf(f);
  ASSERT_NE(hook, nullptr);
  TStyledFrameLayout l = GetStyledFrameLayout(Glow(), hook->FrameInfo());
  TRect wr;
  GetWindowRect(f->Handle(), &wr);
  TPoint close = l.Buttons[scbClose].CenterPoint() + wr.TopLeft();
  TPoint max = l.Buttons[scbMax].CenterPoint() + wr.TopLeft();
  TPoint probe(l.Buttons[scbClose].Left + 3, l.Buttons[scbClose].CenterPoint().Y);
  std::uint32_t normal = PixelAt(f->Handle(), probe.X, probe.Y);

  MoveTo(close);
  EXPECT_EQ(hook->HotButton(), HTCLOSE);
  std::uint32_t hot = PixelAt(f->Handle(), probe.X, probe.Y);
  EXPECT_NE(hot, normal);
  Headless().InjectMouseButton(platform::MouseButton::Left, true);
  Pump();
  EXPECT_EQ(hook->PressedButton(), HTCLOSE);
  EXPECT_NE(PixelAt(f->Handle(), probe.X, probe.Y), hot) << "pressed looks different from hot";
  // Moving off while pressed shows it released; releasing there does nothing.
  MoveTo(TPoint(wr.Left + 150, wr.Top + 150));
  EXPECT_EQ(hook->HotButton(), 0);
  Headless().InjectMouseButton(platform::MouseButton::Left, false);
  Pump();
  EXPECT_EQ(counter.Closes, 0);
  EXPECT_TRUE(f->Visible());
  EXPECT_EQ(PixelAt(f->Handle(), probe.X, probe.Y), normal) << "leaving puts it out";

  // The maximise button maximises and restores.
  Headless().InjectClick(max.X, max.Y);
  Pump();
  EXPECT_TRUE(IsZoomed(f->Handle()));
  EXPECT_EQ(f->WindowState(), wsMaximized);
  EXPECT_TRUE(hook->FrameInfo().Maximized);
  TStyledFrameLayout zl = GetStyledFrameLayout(Glow(), hook->FrameInfo());
  GetWindowRect(f->Handle(), &wr);
  TPoint restore = zl.Buttons[scbMax].CenterPoint() + wr.TopLeft();
  Headless().InjectClick(restore.X, restore.Y);
  Pump();
  EXPECT_FALSE(IsZoomed(f->Handle()));

  // A click on the close button closes the form (WM_SYSCOMMAND SC_CLOSE, then OnClose).
  Headless().InjectClick(close.X, close.Y);
  Pump();
  EXPECT_EQ(counter.Closes, 1);
  EXPECT_FALSE(f->Visible());
  delete f;
}

TEST_F(FormHook, FormsWhoseBorderDoesNotFollowTheStyleKeepTheSystemFrame) {
  TForm* f = ShownForm();
  TForm* g = ShownForm(u"Second");
  g->SetStyleElements({seFont, seClient});
  Pump();
  TFormStyleHook* hook = HookOf(g);
  ASSERT_NE(hook, nullptr) << "the hook stays for client and font";
  EXPECT_FALSE(hook->BorderFollowsStyle());
  TRect sys = SystemFrame(g);
  EXPECT_EQ(g->ClientWidth(), g->Width() - sys.Width());
  TStyledFrameMetrics m = GetStyledFrameMetrics(Glow(), false, true, 96);
  EXPECT_EQ(f->ClientWidth(), f->Width() - m.Left - m.Right);

  // The style manager's setting gives every form the system frame.
  TStyleManager::SetFormBorderStyle(TStyleManager::fbsSystemStyle);
  Pump();
  EXPECT_EQ(f->ClientWidth(), f->Width() - SystemFrame(f).Width());
  EXPECT_EQ(f->ClientHeight(), f->Height() - SystemFrame(f).Height());
  TStyleManager::SetFormBorderStyle(TStyleManager::fbsCurrentStyle);
  Pump();
  EXPECT_EQ(f->ClientHeight(), f->Height() - m.Top - m.Bottom);
  delete g;
  delete f;
}

TEST_F(FormHook, FormsWithoutWindowsHearOfASwitchOnceToo) {
  struct TCountingForm : TForm {
    using TForm::TForm;
    int StyleChanges = 0;
    void Dispatch(TMessage& m) override {
      if (m.Msg == CM_STYLECHANGED) ++StyleChanges;
      TForm::Dispatch(m);
    }
  };
  auto* shown = new TCountingForm(nullptr);
  shown->Show();
  auto* unshown = new TCountingForm(nullptr);
  auto* child = new TCountingForm(nullptr);  // a form inside a form, without a window either
  child->SetParent(unshown);
  Pump();
  ASSERT_FALSE(unshown->HandleAllocated());
  TStyleManager::SetStyle(u"Sky");
  TStyleManager::SetStyle(u"Windows");
  EXPECT_EQ(shown->StyleChanges, 2);
  EXPECT_EQ(unshown->StyleChanges, 2);
  EXPECT_EQ(child->StyleChanges, 2);
  delete unshown;
  delete shown;
}

TEST_F(FormHook, ToolWindowsAndDialogsGetTheirFrames) {
  TForm* tool = NewForm(100, 100, 200, 120);
  tool->SetBorderStyle(bsToolWindow);
  tool->Show();
  TForm* dialog = NewForm(400, 100, 200, 120);
  dialog->SetBorderStyle(bsDialog);
  dialog->Show();
  Pump();
  TStyledFrameMetrics mt = GetStyledFrameMetrics(Glow(), true, true, 96);
  EXPECT_EQ(tool->Height() - tool->ClientHeight(), mt.Top + mt.Bottom);
  // Fixed borders are borders, not sizing edges.
  TRect wr;
  GetWindowRect(dialog->Handle(), &wr);
  EXPECT_EQ(SendMessageW(dialog->Handle(), WM_NCHITTEST, 0, PointToLParam(TPoint(wr.Left, wr.Top + 60))), HTBORDER);
  delete tool;
  delete dialog;
}

TEST_F(FormHook, AScrollBoxPaintsItsBarInTheStyleThatAppliesToIt) {
  TForm* f = ShownForm();
  auto* own = Add<TScrollBox>(f, 10, 10, 120, 150);
  auto* follows = Add<TScrollBox>(f, 150, 10, 120, 150);
  for (TScrollBox* b : {own, follows}) {
    auto* tall = Add<TPanel>(b, 0, 0, 60, 600);
    (void)tall;
  }
  own->SetStyleName(u"Windows10 Dark");
  Pump();
  ASSERT_NE(dynamic_cast<TScrollingStyleHook*>(TStyleManager::StyleHookOf(own)), nullptr);
  ASSERT_TRUE(GetWindowLongW(own->Handle(), GWL_STYLE) & WS_VSCROLL);
  // A point on the bar's track below the thumb, in form-window coordinates.
  auto trackPixel = [&](TScrollBox* b) {
    SCROLLBARINFO sbi;
    GetScrollBarInfo(b->Handle(), OBJID_VSCROLL, &sbi);
    TRect fw;
    GetWindowRect(f->Handle(), &fw);
    TPoint p((sbi.rcScrollBar.Left + sbi.rcScrollBar.Right) / 2, sbi.rcScrollBar.Bottom - sbi.dxyLineButton - 3);
    return PixelAt(f->Handle(), p.X - fw.Left, p.Y - fw.Top);
  };
  auto trackColour = [](StringView style) {
    TCanvasBitmap bmp(20, 40);
    TCustomStyleServices* s = TStyleManager::GetStyle(style);
    s->DrawElement(bmp.Dc(), s->GetElementDetails(tsUpperTrackVertNormal), TRect(0, 0, 20, 40), nullptr, 96);
    return bmp.Pixel(10, 20) & 0xFFFFFF;
  };
  EXPECT_EQ(trackPixel(own), trackColour(u"Windows10 Dark"));
  EXPECT_EQ(trackPixel(follows), trackColour(u"Glow"));
  TStyleManager::SetStyle(u"Sky");
  Pump();
  EXPECT_EQ(trackPixel(own), trackColour(u"Windows10 Dark")) << "its own style stays";
  EXPECT_EQ(trackPixel(follows), trackColour(u"Sky"));
  TStyleManager::SetStyle(u"Windows");
  Pump();
  EXPECT_EQ(TStyleManager::StyleHookOf(own), nullptr);
  EXPECT_NE(trackPixel(own), trackColour(u"Windows10 Dark"));
  delete f;
}

}  // namespace
