// The label: automatic sizing (single line, word wrap, glow margin, right alignment),
// alignment, vertical placement and ellipsis in pixels, the style's text colour and the
// StyleElements rule, accelerators.
#include "ControlsTest.h"
#include "controls/kxLabels.h"
#include "draw/kxStyleUtils.h"
#include "draw/kxStyledPaintText.h"
#include "host/classes/Filer.h"
#include "host/gdi/GdiText.h"
#include "host/themes/StyleManager.h"

namespace ctltest {
namespace {

class Label : public ControlsTest {
 protected:
  void SetUp() override {
    ControlsTest::SetUp();
    FPanel = Make<TkxPanel>(nullptr, Rect(0, 0, 220, 160));
    FPanel->SetParentWindow(FTop);
    FPanel->SetColor(clWhite);
    FPanel->HandleNeeded();
  }
  void TearDown() override {
    FOwner.reset();
    TStyleManager::SetStyle(u"Windows");
    ControlsTest::TearDown();
  }
  TkxLabel* MakeLabel(StringView caption, int x = 10, int y = 10) {
    auto* l = Make<TkxLabel>(FPanel, Rect(x, y, x + 65, y + 17));
    l->SetCaption(caption);
    l->Font()->SetColor(clBlack);
    l->HandleNeeded();
    return l;
  }
  // The text's extent in the label's font, as the system measures it.
  TRect Measure(TkxLabel* l, StringView text, int width = 0, UINT flags = 0) {
    TBitmap b;
    b.Canvas()->Font()->Assign(l->Font());
    TRect r(0, 0, width, 0);
    DrawTextW(b.Canvas()->Handle(), text, &r, flags | DT_CALCRECT | DT_EXPANDTABS);
    return r;
  }
  // The ink (non-white pixels) of the test window inside r.
  TRect Ink(const TRect& r) {
    TRect ink(r.Right, r.Bottom, r.Left - 1, r.Top - 1);
    for (int y = r.Top; y < r.Bottom; ++y)
      for (int x = r.Left; x < r.Right; ++x)
        if (Shown(x, y) != 0xFFFFFF) {
          ink.Left = std::min(ink.Left, x);
          ink.Top = std::min(ink.Top, y);
          ink.Right = std::max(ink.Right, x + 1);
          ink.Bottom = std::max(ink.Bottom, y + 1);
        }
    return ink;
  }

  TkxPanel* FPanel = nullptr;
};

TEST_F(Label, AutoSizeFitsTheTextWithTheGlowMargin) {
  TkxLabel* l = MakeLabel(u"Auto sized text");
  TRect m = Measure(l, u"Auto sized text");
  EXPECT_EQ(l->Width(), m.Width());
  EXPECT_EQ(l->Height(), m.Height());
  int line = m.Height();
  l->SetCaption(u"");
  EXPECT_EQ(l->Height(), line) << "an empty caption keeps one line";
  EXPECT_GT(l->Width(), 0);
  l->SetCaption(u"&");
  EXPECT_EQ(l->Height(), line) << "a lone accelerator marker too";
  // A glow of size 7 adds 7 pixels on every side, the offset once more.
  l->SetCaption(u"Auto sized text");
  l->GlowEffect()->SetGlowSize(7);
  l->GlowEffect()->SetEnabled(true);
  EXPECT_EQ(l->Width(), m.Width() + 14);
  EXPECT_EQ(l->Height(), m.Height() + 14);
  l->GlowEffect()->SetOffset(2);
  EXPECT_EQ(l->Width(), m.Width() + 16);
  l->GlowEffect()->SetEnabled(false);
  // Right aligned, the right edge stays where it is as the text grows.
  l->SetAlignment(taRightJustify);
  int right = l->Left() + l->Width();
  l->SetCaption(u"A much longer caption");
  EXPECT_EQ(l->Left() + l->Width(), right);
  int longer = Measure(l, u"A much longer caption").Width();
  EXPECT_EQ(l->Width(), longer);
  // Scaling to 200 % doubles the font and refits the bounds to it.
  FPanel->ScaleForPPI(192);
  EXPECT_NEAR(l->Height(), 2 * line, 3);
  EXPECT_NEAR(l->Width(), 2 * longer, longer / 10);
}

TEST_F(Label, AWrappedGlowingLabelKeepsItsSizeWhenAdjustedAgain) {
  const char16_t* text = u"one two three four five six seven eight";
  TkxLabel* l = MakeLabel(text);
  l->GlowEffect()->SetEnabled(true);
  l->SetAutoSize(false);
  l->SetBounds(10, 10, 100, 17);
  l->SetWordWrap(true);
  l->SetAutoSize(true);
  int w = l->Width(), h = l->Height();
  TRect lines = Measure(l, text, 100 - 14, DT_WORDBREAK);
  EXPECT_EQ(w, lines.Width() + 14);
  EXPECT_EQ(h, lines.Height() + 14);
  EXPECT_GT(lines.Height(), Measure(l, u"one").Height()) << "wrapped onto several lines";
  for (int i = 0; i < 3; ++i) {
    l->AdjustBounds();
    EXPECT_EQ(l->Width(), w);
    EXPECT_EQ(l->Height(), h);
  }
  // Without glow the margin goes again.
  l->GlowEffect()->SetEnabled(false);
  EXPECT_EQ(l->Height(), Measure(l, text, l->Width(), DT_WORDBREAK).Height());
}

TEST_F(Label, AlignmentAndVerticalPlacementMoveTheText) {
  TkxLabel* l = MakeLabel(u"Text");
  l->SetAutoSize(false);
  l->SetBounds(10, 10, 120, 60);
  TRect m = Measure(l, u"Text");
  TRect area(10, 10, 130, 70);
  TRect ink = Ink(area);
  EXPECT_LE(ink.Left, 10 + 2);
  EXPECT_LE(ink.Top, 10 + m.Height() / 2);
  l->SetAlignment(taRightJustify);
  EXPECT_GE(Ink(area).Right, 130 - 2);
  l->SetAlignment(taCenter);
  ink = Ink(area);
  EXPECT_NEAR((ink.Left + ink.Right) / 2, 70, 2);
  l->SetVertAlignment(kxvtaCenter);
  ink = Ink(area);
  EXPECT_NEAR((ink.Top + ink.Bottom) / 2, 40, m.Height() / 2);
  EXPECT_GT(ink.Top, 10 + 15);
  l->SetVertAlignment(kxvtaBottom);
  ink = Ink(area);
  EXPECT_GE(ink.Bottom, 70 - m.Height() / 2);
  EXPECT_LE(ink.Bottom, 70);
}

TEST_F(Label, EllipsisShortensTextThatDoesNotFitUnlessAutoSized) {
  const char16_t* text = u"This caption is far too long";
  TkxLabel* l = MakeLabel(text);
  l->SetShowEllipsis(true);
  EXPECT_EQ(l->Width(), Measure(l, text).Width()) << "an auto-sized label fits its text";
  l->SetAutoSize(false);
  l->SetBounds(10, 10, 60, 20);
  wintest::Pump();
  // Exactly what the system draws with an end ellipsis in that rectangle.
  TBitmap ref;
  ref.SetPixelFormat(pf32bit);
  ref.SetSize(60, 20);
  ref.Canvas()->Brush()->SetColor(clWhite);
  ref.Canvas()->FillRect(Rect(0, 0, 60, 20));
  ref.Canvas()->Font()->Assign(l->Font());
  ref.Canvas()->Brush()->SetStyle(bsClear);
  TRect r(0, 0, 60, 20);
  DrawTextW(ref.Canvas()->Handle(), text, &r, DT_LEFT | DT_EXPANDTABS | DT_END_ELLIPSIS);
  int differing = 0, inkRight = -1;
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 60; ++x) {
      if (Shown(10 + x, 10 + y) != Rgb(&ref, x, y)) ++differing;
      if (Rgb(&ref, x, y) != 0xFFFFFF) inkRight = std::max(inkRight, x);
    }
  EXPECT_EQ(differing, 0);
  EXPECT_GT(inkRight, 40) << "the dots reach the end";
  l->SetShowEllipsis(false);
  wintest::Pump();
  int changed = 0;
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 60; ++x)
      if (Shown(10 + x, 10 + y) != Rgb(&ref, x, y)) ++changed;
  EXPECT_GT(changed, 0) << "without the ellipsis the text is cut instead";
}

// Whether some pixel inside r is clearly green (the test's font colour).
bool HasGreenInk(Label* t, std::function<std::uint32_t(int, int)> shown, const TRect& r) {
  for (int y = r.Top; y < r.Bottom; ++y)
    for (int x = r.Left; x < r.Right; ++x) {
      std::uint32_t c = shown(x, y);
      int red = (c >> 16) & 0xFF, green = (c >> 8) & 0xFF, blue = c & 0xFF;
      if (green > 120 && red < green - 60 && blue < green - 60) return true;
    }
  return false;
}

TEST_F(Label, TheStyleDecidesTheTextColourOnlyThroughSeFont) {
  TStyleManager::SetStyle(u"Glow");
  ASSERT_TRUE(IsCustomStyle());
  TkxLabel* l = MakeLabel(u"WWWW MMMM");
  l->Font()->SetColor(TColor(RGB(0, 200, 0)));
  auto shown = [this](int x, int y) { return Shown(x, y); };
  TRect area(10, 10, 10 + l->Width(), 10 + l->Height());
  l->RePaintControl();
  ASSERT_FALSE(IsCustomStyle(l) && GetCheckBoxTextColor(kxsNormal, l) == TColor(RGB(0, 200, 0)));
  EXPECT_FALSE(HasGreenInk(this, shown, area)) << "with seFont the style's text colour";
  l->SetUseFontColorToStyleColor(true);
  l->RePaintControl();
  EXPECT_TRUE(HasGreenInk(this, shown, area)) << "the font colour mapped through the style";
  l->SetUseFontColorToStyleColor(false);
  l->SetStyleElements(TStyleElements{seClient, seBorder});
  EXPECT_TRUE(HasGreenInk(this, shown, area)) << "without seFont the control's font colour";
}

TEST_F(Label, TheAcceleratorFocusesItsControlOnlyWhenItCan) {
  TkxLabel* l = MakeLabel(u"&Name");
  auto* target = Make<TProbe>(FPanel, Rect(100, 100, 140, 120));
  target->SetTabStop(true);
  target->HandleNeeded();
  l->SetFocusControl(target);
  TMessage m{CM_DIALOGCHAR, WPARAM(u'n'), 0, 0};
  l->Dispatch(m);
  EXPECT_EQ(m.Result, 1);
  EXPECT_TRUE(target->Focused());
  FPanel->SetFocus();
  target->SetEnabled(false);
  TMessage again{CM_DIALOGCHAR, WPARAM(u'n'), 0, 0};
  l->Dispatch(again);
  EXPECT_EQ(again.Result, 0);
  EXPECT_FALSE(target->Focused());
  delete target;
  EXPECT_EQ(l->FocusControl(), nullptr) << "a freed focus control is forgotten";
}

TEST_F(Label, WindowDescriptionsReadAndWriteOnlyWhatDiffersFromTheDefaults) {
  TPatternControl* root = MakeRoot();
  ReadComponentFromText(u"object Root: TkxCustomControl\n"
                        u"  object Bar: TkxPanel\n"
                        u"    Width = 120\n    Height = 40\n"
                        u"    StyleKind = kxpsToolBar\n    BorderStyle = kxpbsTopBevel\n"
                        u"    CaptionGlowEffect.Enabled = True\n"
                        u"    object Title: TkxLabel\n"
                        u"      Left = 4\n      Top = 4\n      Width = 200\n      Height = 60\n"
                        u"      GlowEffect.Enabled = True\n"
                        u"      VertAlignment = kxvtaCenter\n"
                        u"      Caption = 'Loaded'\n"
                        u"    end\n"
                        u"    object Fixed: TkxLabel\n"
                        u"      Width = 30\n      Height = 12\n      AutoSize = False\n"
                        u"      Caption = 'Fixed size text'\n"
                        u"    end\n"
                        u"  end\n"
                        u"end\n",
                        root);
  auto* bar = dynamic_cast<TkxPanel*>(root->FindComponent(u"Bar"));
  auto* title = dynamic_cast<TkxLabel*>(root->FindComponent(u"Title"));
  auto* fixed = dynamic_cast<TkxLabel*>(root->FindComponent(u"Fixed"));
  ASSERT_TRUE(bar && title && fixed);
  EXPECT_EQ(bar->StyleKind(), kxpsToolBar);
  EXPECT_TRUE(bar->CaptionGlowEffect()->Enabled());
  EXPECT_EQ(title->VertAlignment(), kxvtaCenter);
  // Fitted once everything was read, glow margin included.
  TRect m = Measure(title, u"Loaded");
  EXPECT_EQ(title->Width(), m.Width() + 14);
  EXPECT_EQ(title->Height(), m.Height() + 14);
  EXPECT_EQ(fixed->BoundsRect(), Rect(0, 0, 30, 12));
  String text = WriteComponentText(root);
  for (const char16_t* present : {u"StyleKind = kxpsToolBar", u"BorderStyle = kxpbsTopBevel",
                                  u"GlowEffect.Enabled = True", u"VertAlignment = kxvtaCenter",
                                  u"AutoSize = False",
                                  // The label's four options without a default: always written.
                                  u"DragForm = False", u"DragTopForm = True", u"AutoSize = True",
                                  u"UseFontColorToStyleColor = False"})
    EXPECT_NE(text.find(present), String::npos) << StringToUtf8(present);
  for (const char16_t* absent : {u" Alignment", u"ShowAccelChar", u"WordWrap",
                                 u"WallpaperIndex"})
    EXPECT_EQ(text.find(absent), String::npos) << StringToUtf8(absent);
}


TEST_F(Label, TheHaloIsRebuiltOnlyWhenWhatItDependsOnChanges) {
  TkxLabel* l = MakeLabel(u"Glowing text");
  l->SetAutoSize(false);
  l->SetBounds(10, 10, 120, 40);
  l->GlowEffect()->SetEnabled(true);
  l->RePaintControl();
  ASSERT_NE(l->GlowBuffer(), nullptr);
  // A kept halo is marked by a size no halo has: a rebuilt one has lost the mark.
  auto mark = [&] { l->GlowBuffer()->SetSize(1, 1); };
  auto rebuiltAfter = [&](auto&& change) {
    mark();
    change();
    l->RePaintControl();
    return l->GlowBuffer() && l->GlowBuffer()->Width() != 1;
  };
  EXPECT_FALSE(rebuiltAfter([] {})) << "a repaint without changes reuses the halo";
  EXPECT_TRUE(rebuiltAfter([&] { l->SetCaption(u"Other text"); }));
  EXPECT_TRUE(rebuiltAfter([&] { l->Font()->SetSize(l->Font()->Size() + 2); }));
  EXPECT_TRUE(rebuiltAfter([&] { l->Font()->SetName(u"DejaVu Sans"); }));
  EXPECT_TRUE(rebuiltAfter([&] { l->GlowEffect()->SetColor(clRed); }));
  EXPECT_TRUE(rebuiltAfter([&] { l->SetWordWrap(true); }));
  EXPECT_TRUE(rebuiltAfter([&] { l->SetBounds(10, 10, 90, 40); }));
  EXPECT_TRUE(rebuiltAfter([&] { l->SetShowEllipsis(true); }));
  EXPECT_FALSE(rebuiltAfter([&] { l->Font()->SetColor(clBlue); }))
      << "the text colour is not part of the halo";
}

}  // namespace
}  // namespace ctltest
