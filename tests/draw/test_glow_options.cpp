// Glow options: notifications, copying, stored properties, and the glow a state is drawn with
// (colours, alphas of the classic look, half alpha when disabled).
#include <memory>

#include "DrawTest.h"
#include "TestControls.h"
#include "draw/kxStates.h"
#include "draw/kxStyleUtils.h"
#include "host/classes/Classes.h"
#include "host/classes/TypInfo.h"
#include "host/graphics/GraphicsObjects.h"

using namespace vcl;
using namespace kx;
using namespace drawtest;

TEST(GlowOptions, ADisabledGlowNotifiesNothingAndEnabledNotifiesOncePerSwitch) {
  TkxButtonGlowEffect e;
  TCounter n;
  e.SetOnChange(n.Event());
  e.SetColor(clRed);
  e.SetAlphaValue(100);
  e.SetGlowSize(3);
  e.SetOffset(2);
  e.SetIntensive(false);
  e.SetStyleColors(false);
  e.SetHotColor(clYellow);
  e.SetPressedAlphaValue(9);
  e.SetPressedGlowSize(1);
  e.SetStates({kxsNormal});
  EXPECT_EQ(n.Count, 0);
  // ... yet every value was kept.
  EXPECT_EQ(e.Color(), clRed);
  EXPECT_EQ(e.AlphaValue(), 100);
  EXPECT_EQ(e.GlowSize(), 3);
  EXPECT_EQ(e.Offset(), 2);
  EXPECT_FALSE(e.Intensive());
  EXPECT_EQ(e.HotColor(), clYellow);
  EXPECT_EQ(e.States(), TkxsCtrlStates{kxsNormal});

  e.SetEnabled(true);
  EXPECT_EQ(n.Count, 1);
  e.SetEnabled(true);
  e.SetColor(clRed);  // unchanged values notify nothing
  e.SetStates({kxsNormal});
  EXPECT_EQ(n.Count, 1);
  e.SetColor(clBlue);
  e.SetFocusedColor(clLime);
  e.SetStates({kxsHot});
  EXPECT_EQ(n.Count, 4);
  e.SetEnabled(false);
  EXPECT_EQ(n.Count, 5);
  e.SetPressedColor(clAqua);
  EXPECT_EQ(n.Count, 5);
}

TEST(GlowOptions, DefaultsAreWhatDescriptionsLeaveOut) {
  TkxButtonGlowEffect e;
  EXPECT_FALSE(e.Enabled());
  EXPECT_EQ(e.Color(), clHighlight);
  EXPECT_EQ(e.AlphaValue(), 255);
  EXPECT_EQ(e.GlowSize(), 7);
  EXPECT_TRUE(e.Intensive());
  EXPECT_EQ(e.Offset(), 0);
  EXPECT_TRUE(e.StyleColors());
  EXPECT_EQ(e.HotColor(), clNone);
  EXPECT_EQ(e.PressedColor(), clNone);
  EXPECT_EQ(e.FocusedColor(), clNone);
  EXPECT_EQ(e.PressedAlphaValue(), 255);
  EXPECT_EQ(e.PressedGlowSize(), 7);
  EXPECT_EQ(e.States(), (TkxsCtrlStates{kxsHot, kxsPressed, kxsFocused}));
  // Every published option is at its declared default, so nothing of it is written.
  for (const TPropInfo* p : GetPropList(&TkxButtonGlowEffect::Class)) {
    if (p->Kind == pkMethod) continue;
    SCOPED_TRACE(StringToUtf8(p->Name));
    EXPECT_TRUE(p->HasDefault);
    EXPECT_TRUE(p->IsDefaultValue(&e));
  }
}

TEST(GlowOptions, AssignCopiesOptionsButNotOwnerOrEvent) {
  TkxButtonGlowEffect src, dst;
  src.SetEnabled(true);
  src.SetColor(clRed);
  src.SetAlphaValue(10);
  src.SetGlowSize(4);
  src.SetIntensive(false);
  src.SetOffset(3);
  src.SetStyleColors(false);
  src.SetHotColor(clYellow);
  src.SetPressedColor(clLime);
  src.SetFocusedColor(clAqua);
  src.SetPressedAlphaValue(20);
  src.SetPressedGlowSize(2);
  src.SetStates({kxsDisabled});
  TGlowControl owner(nullptr);
  src.FControl = &owner;
  TCounter a, b;
  src.SetOnChange(a.Event());
  dst.SetOnChange(b.Event());

  dst.Assign(&src);
  EXPECT_TRUE(dst.Enabled());
  EXPECT_EQ(dst.Color(), clRed);
  EXPECT_EQ(dst.AlphaValue(), 10);
  EXPECT_EQ(dst.GlowSize(), 4);
  EXPECT_FALSE(dst.Intensive());
  EXPECT_EQ(dst.Offset(), 3);
  EXPECT_FALSE(dst.StyleColors());
  EXPECT_EQ(dst.HotColor(), clYellow);
  EXPECT_EQ(dst.PressedColor(), clLime);
  EXPECT_EQ(dst.FocusedColor(), clAqua);
  EXPECT_EQ(dst.PressedAlphaValue(), 20);
  EXPECT_EQ(dst.PressedGlowSize(), 2);
  EXPECT_EQ(dst.States(), TkxsCtrlStates{kxsDisabled});
  EXPECT_EQ(dst.FControl, nullptr);
  EXPECT_EQ(b.Count, 1);  // one repaint for the whole copy
  dst.Assign(&src);
  EXPECT_EQ(b.Count, 1);  // nothing changed
  EXPECT_EQ(a.Count, 0);

  // A plain glow gives a button glow its base options only, and takes only those.
  TkxGlowEffect plain;
  plain.SetColor(clGreen);
  dst.Assign(&plain);
  EXPECT_FALSE(dst.Enabled());
  EXPECT_EQ(dst.Color(), clGreen);
  EXPECT_EQ(dst.HotColor(), clYellow);
  EXPECT_EQ(dst.States(), TkxsCtrlStates{kxsDisabled});
  EXPECT_EQ(b.Count, 2);  // switched off: the owner must repaint without the glow
  plain.Assign(&src);
  EXPECT_EQ(plain.Color(), clRed);
  EXPECT_EQ(plain.GlowSize(), 4);

  // Copying between two disabled glows repaints nothing.
  TkxGlowEffect off1, off2;
  TCounter c;
  off2.SetOnChange(c.Event());
  off1.SetGlowSize(1);
  off2.Assign(&off1);
  EXPECT_EQ(off2.GlowSize(), 1);
  EXPECT_EQ(c.Count, 0);

  TFont font;
  EXPECT_THROW(dst.Assign(&font), EConvertError);
  EXPECT_THROW(dst.Assign(nullptr), EConvertError);
}

TEST(GlowOptions, WindowDescriptionsSetTheOptionsAndRefuseBadValuesByName) {
  RegisterGlowClasses();
  const char16_t* text =
      u"object Form1: TGlowForm\r\n"
      u"  object Button1: TGlowControl\r\n"
      u"    GlowEffect.AlphaValue = 200\r\n"
      u"    GlowEffect.Color = clRed\r\n"
      u"    GlowEffect.Enabled = True\r\n"
      u"    GlowEffect.Intensive = False\r\n"
      u"    GlowEffect.HotColor = clYellow\r\n"
      u"    GlowEffect.PressedGlowSize = 3\r\n"
      u"    GlowEffect.States = [kxsHot, kxsDisabled]\r\n"
      u"  end\r\n"
      u"  object Button2: TGlowControl\r\n"
      u"  end\r\n"
      u"end\r\n";
  TGlowForm form(nullptr);
  ReadComponentFromText(text, &form, u"Glow.dfm");
  auto* b1 = dynamic_cast<TGlowControl*>(form.FindComponent(u"Button1"));
  auto* b2 = dynamic_cast<TGlowControl*>(form.FindComponent(u"Button2"));
  ASSERT_TRUE(b1 && b2);
  TkxButtonGlowEffect* g = b1->GlowEffect();
  EXPECT_TRUE(g->Enabled());
  EXPECT_EQ(g->AlphaValue(), 200);
  EXPECT_EQ(g->Color(), clRed);
  EXPECT_FALSE(g->Intensive());
  EXPECT_EQ(g->HotColor(), clYellow);
  EXPECT_EQ(g->PressedGlowSize(), 3);
  EXPECT_EQ(g->States(), (TkxsCtrlStates{kxsHot, kxsDisabled}));
  EXPECT_FALSE(b2->GlowEffect()->Enabled());
  // Written back as read (in property order), the untouched button without glow lines.
  const String written = WriteComponentText(&form);
  EXPECT_NE(written.find(u"GlowEffect.States = [kxsHot, kxsDisabled]"), String::npos);
  EXPECT_NE(written.find(u"GlowEffect.HotColor = clYellow"), String::npos);
  EXPECT_NE(written.find(u"  object Button2: TGlowControl\r\n  end"), String::npos);

  const char16_t* bad =
      u"object Form1: TGlowForm\r\n"
      u"  object Button1: TGlowControl\r\n"
      u"    GlowEffect.AlphaValue = 300\r\n"
      u"  end\r\n"
      u"end\r\n";
  TGlowForm form2(nullptr);
  try {
    ReadComponentFromText(bad, &form2, u"Bad.dfm");
    FAIL() << "an alpha of 300 was accepted";
  } catch (const Exception& e) {
    EXPECT_NE(e.Message().find(u"AlphaValue"), String::npos) << StringToUtf8(e.Message());
    EXPECT_NE(e.Message().find(u"300"), String::npos);
  }
}

TEST(GlowParams, EachStateTakesItsColourSizeAndAlpha) {
  TkxButtonGlowEffect e;
  e.SetColor(clRed);
  e.SetHotColor(clYellow);
  e.SetFocusedColor(clLime);
  e.SetGlowSize(5);
  e.SetAlphaValue(201);
  e.SetPressedGlowSize(9);
  e.SetPressedAlphaValue(99);
  e.SetOffset(2);
  TkxGlowParams p;
  ASSERT_TRUE(e.GetStateParams(kxsHot, p));
  EXPECT_EQ(p.Color, clYellow);
  EXPECT_EQ(p.Size, 5);
  EXPECT_EQ(p.Alpha, 201);
  EXPECT_EQ(p.Offset, 2);
  EXPECT_TRUE(p.Intensive);
  ASSERT_TRUE(e.GetStateParams(kxsFocused, p));
  EXPECT_EQ(p.Color, clLime);
  // The pressed colour left at clNone glows in the base colour, with the pressed look.
  ASSERT_TRUE(e.GetStateParams(kxsPressed, p));
  EXPECT_EQ(p.Color, clRed);
  EXPECT_EQ(p.Size, 9);
  EXPECT_EQ(p.Alpha, 99);
  // States outside States have no glow: normal and disabled by default.
  EXPECT_FALSE(e.GetStateParams(kxsNormal, p));
  EXPECT_FALSE(e.GetStateParams(kxsDisabled, p));
  e.SetStates({kxsNormal, kxsDisabled});
  ASSERT_TRUE(e.GetStateParams(kxsDisabled, p));
  EXPECT_EQ(p.Color, clRed);
  EXPECT_EQ(p.Size, 5);
  EXPECT_EQ(p.Alpha, 100);  // 201 div 2
  ASSERT_TRUE(e.GetStateParams(kxsNormal, p));
  EXPECT_EQ(p.Alpha, 201);
  EXPECT_FALSE(e.GetStateParams(kxsHot, p));

  // A plain glow glows the same in every state.
  TkxGlowEffect plain;
  plain.SetColor(clBlue);
  plain.SetGlowSize(3);
  plain.SetOffset(1);
  plain.SetIntensive(false);
  TkxGlowParams q = plain.GetParams();
  EXPECT_EQ(q.Color, clBlue);
  EXPECT_EQ(q.Size, 3);
  EXPECT_EQ(q.Alpha, 255);
  EXPECT_EQ(q.Offset, 1);
  EXPECT_FALSE(q.Intensive);
}

TEST(GlowParams, TheClassicLookLowersHighlightAlphas) {
  TStyleGuard guard;
  TStyleManager::SetThemesEnabled(false);
  ASSERT_FALSE(StyleServicesEnabled(TStyleManager::SystemStyle()));
  TGlowControl control(nullptr);
  TkxButtonGlowEffect& e = *control.GlowEffect();
  EXPECT_EQ(e.GetAlphaValue(), 175);  // clHighlight, 255
  e.SetAlphaValue(171);
  EXPECT_EQ(e.GetAlphaValue(), 91);
  e.SetAlphaValue(170);
  EXPECT_EQ(e.GetAlphaValue(), 170);
  e.SetAlphaValue(255);
  e.SetColor(clRed);
  EXPECT_EQ(e.GetAlphaValue(), 255);
  e.SetColor(clHighlight);

  // The pressed alpha follows the pressed colour.
  EXPECT_EQ(e.GetPressedAlphaValue(), 255);  // PressedColor clNone
  e.SetPressedColor(clHighlight);
  EXPECT_EQ(e.GetPressedAlphaValue(), 205);
  e.SetPressedAlphaValue(200);
  EXPECT_EQ(e.GetPressedAlphaValue(), 200);
  e.SetPressedAlphaValue(201);
  EXPECT_EQ(e.GetPressedAlphaValue(), 151);

  // A disabled state halves the adjusted alpha.
  e.SetStates({kxsDisabled});
  TkxGlowParams p;
  ASSERT_TRUE(e.GetStateParams(kxsDisabled, p));
  EXPECT_EQ(p.Alpha, 87);

  // No adjustment with themes on, or while a custom style paints the control.
  TStyleManager::SetThemesEnabled(true);
  EXPECT_EQ(e.GetAlphaValue(), 255);
  EXPECT_EQ(e.GetPressedAlphaValue(), 201);
  TStyleManager::SetThemesEnabled(false);
  TStyleManager::SetStyle(u"Glow");
  EXPECT_EQ(e.GetAlphaValue(), 255);
  // ... but again for a control that keeps the system look.
  control.SetStyleElements({});
  EXPECT_EQ(e.GetAlphaValue(), 175);
}

TEST(GlowParams, StyleColorsFollowTheStyleThatPaintsTheControl) {
  TStyleGuard guard;
  TGlowControl control(nullptr);
  TkxButtonGlowEffect& e = *control.GlowEffect();
  e.SetHotColor(clBtnFace);
  EXPECT_EQ(e.GetColor(), clHighlight);  // the system style maps nothing
  TStyleManager::SetStyle(u"Glow");
  const TColor styled = TStyleManager::Style(u"Glow")->GetSystemColor(clHighlight);
  ASSERT_NE(styled, clHighlight);
  EXPECT_EQ(e.GetColor(), styled);
  EXPECT_EQ(e.GetHotColor(), TStyleManager::Style(u"Glow")->GetSystemColor(clBtnFace));
  EXPECT_EQ(e.GetPressedColor(), clNone);  // unset stays unset
  TkxGlowParams p;
  ASSERT_TRUE(e.GetStateParams(kxsPressed, p));
  EXPECT_EQ(p.Color, styled);
  // A control with its own style takes that style's colour.
  control.SetStyleName(u"Windows10 Dark");
  EXPECT_EQ(e.GetColor(), TStyleManager::Style(u"Windows10 Dark")->GetSystemColor(clHighlight));
  control.SetStyleName(u"");
  // StyleColors off, or a control that keeps the system look: the colour as set.
  e.SetStyleColors(false);
  EXPECT_EQ(e.GetColor(), clHighlight);
  e.SetStyleColors(true);
  control.SetStyleElements({});
  EXPECT_EQ(e.GetColor(), clHighlight);
  // Options without an owner follow the active style.
  TkxGlowEffect loose;
  EXPECT_EQ(loose.GetColor(), styled);
}
