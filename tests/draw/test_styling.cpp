// Which style paints a control, and the helpers that depend on it.
#include "DrawTest.h"
#include "TestControls.h"
#include "draw/kxStyleUtils.h"

using namespace vcl;
using namespace kx;
using namespace drawtest;

namespace {

TCustomStyleServices* S(const char16_t* name) { return TStyleManager::Style(name); }

}  // namespace

TEST(ControlStyling, ThePerControlRule) {
  TStyleGuard guard;
  TCustomStyleServices* sys = TStyleManager::SystemStyle();
  // Without a custom style, the active (system) style paints everything.
  EXPECT_EQ(StyleServicesFor(u"Sky", false), sys);
  EXPECT_EQ(StyleServicesFor(u"", true, true), sys);

  TStyleManager::SetStyle(u"Glow");
  EXPECT_EQ(StyleServicesFor(u"", false), S(u"Glow"));
  EXPECT_EQ(StyleServicesFor(u"Windows10 Dark", false), S(u"Windows10 Dark"));
  EXPECT_EQ(StyleServicesFor(u"windows10 dark", false), S(u"Windows10 Dark"));
  EXPECT_EQ(StyleServicesFor(u"No Such Style", false), S(u"Glow"));
  // Empty StyleElements keep the system look, unless a style is named.
  EXPECT_EQ(StyleServicesFor(u"", true), sys);
  EXPECT_EQ(StyleServicesFor(u"No Such Style", true), sys);
  EXPECT_EQ(StyleServicesFor(u"Sky", true), S(u"Sky"));
  // The registry's "system style by default" switch applies to unnamed controls only.
  EXPECT_EQ(StyleServicesFor(u"", false, true), sys);
  EXPECT_EQ(StyleServicesFor(u"Sky", false, true), S(u"Sky"));
}

TEST(ControlStyling, ControlsAnswerThroughTheirPublishedStyling) {
  TStyleGuard guard;
  TGlowControl c(nullptr);
  TStyleManager::SetStyle(u"Glow");
  EXPECT_EQ(ControlStyleServices(nullptr), S(u"Glow"));
  EXPECT_EQ(ControlStyleServices(&c), S(u"Glow"));
  c.SetStyleName(u"Tablet Dark");
  EXPECT_EQ(ControlStyleServices(&c), S(u"Tablet Dark"));
  c.SetStyleName(u"");
  c.SetStyleElements({});
  EXPECT_EQ(ControlStyleServices(&c), TStyleManager::SystemStyle());
  // A component that publishes no styling is painted by the active style.
  TComponent plain(nullptr);
  EXPECT_EQ(ControlStyleServices(&plain), S(u"Glow"));

  // The control framework may read the styling directly.
  SetControlStylingReader([](const TComponent*, TkxControlStyling& s) {
    s.StyleName = u"Sky";
    return true;
  });
  EXPECT_EQ(ControlStyleServices(&plain), S(u"Sky"));
  SetControlStylingReader(nullptr);
  EXPECT_EQ(ControlStyleServices(&plain), S(u"Glow"));
}

TEST(ControlStyling, CustomStyleColoursAndWindowsStyles) {
  TStyleGuard guard;
  TGlowControl c(nullptr);
  EXPECT_FALSE(IsCustomStyle());
  EXPECT_FALSE(IsCustomStyle(&c));
  EXPECT_EQ(ColorToStyleColor(clBtnFace, &c), clBtnFace);
  EXPECT_FALSE(IsWindowsStyle());  // "Windows" is active, but it is no custom style

  TStyleManager::SetStyle(u"Glow");
  EXPECT_TRUE(IsCustomStyle());
  EXPECT_TRUE(IsCustomStyle(&c));
  const TColor face = S(u"Glow")->GetSystemColor(clBtnFace);
  ASSERT_NE(face, clBtnFace);
  EXPECT_EQ(ColorToStyleColor(clBtnFace, &c), face);
  EXPECT_EQ(ColorToStyleColor(clBtnFace), face);
  EXPECT_EQ(ColorToStyleColor(clRed, &c), clRed);
  EXPECT_FALSE(IsWindowsStyle());
  EXPECT_FALSE(IsWindowsStyle(&c));
  c.SetStyleName(u"Windows10 Dark");
  EXPECT_TRUE(IsWindowsStyle(&c));
  EXPECT_EQ(ColorToStyleColor(clBtnFace, &c), S(u"Windows10 Dark")->GetSystemColor(clBtnFace));

  // A control kept in the system look, or being designed, has no custom style.
  c.SetStyleName(u"");
  c.SetStyleElements({});
  EXPECT_FALSE(IsCustomStyle(&c));
  EXPECT_EQ(ColorToStyleColor(clBtnFace, &c), clBtnFace);
  c.SetStyleElements({seClient});
  c.SetDesigning(true);
  EXPECT_FALSE(IsCustomStyle(&c));
  c.SetDesigning(false);

  // With a control, its own StyleName decides, not the active style's name.
  TStyleManager::SetStyle(u"Windows10");
  EXPECT_TRUE(IsWindowsStyle());
  EXPECT_FALSE(IsWindowsStyle(&c));
  c.SetStyleName(u"Sky");
  EXPECT_FALSE(IsWindowsStyle(&c));
}
