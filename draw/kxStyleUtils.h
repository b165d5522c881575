// Which style paints a control: the per-control styling rule, whether a custom style is in
// effect, and colours translated into the style's colours.
#pragma once
#include "host/gdi/Types.h"
#include "host/rtl/System.h"

namespace vcl {
class TComponent;
class TCustomStyleServices;
}  // namespace vcl

namespace kx {

// What a control asks of the styling: its StyleName and whether its StyleElements set is
// empty (nothing of it follows the style).
struct TkxControlStyling {
  vcl::String StyleName;
  bool NoStyleElements = false;
};

// Reads a control's styling; false when the component is no control that has one.
using TkxControlStylingReader = bool (*)(const vcl::TComponent* control,
                                         TkxControlStyling& styling);
// Replaces how a control's styling is read (nullptr: the default). The default reads the
// published properties "StyleName" (a string) and "StyleElements" (a set) of the control's
// class, each where it has one; the control framework installs a direct reader.
void SetControlStylingReader(TkxControlStylingReader reader);
// The styling of a control as the current reader sees it (no name and elements for nullptr or
// a component without styling).
TkxControlStyling GetControlStyling(const vcl::TComponent* control);

// The per-control rule. While no custom style is active: the active style. Otherwise a style
// name naming a registered, enabled style gives that style; an empty name while
// `systemStyleIsDefault`, or an empty StyleElements set, gives the system style; anything else
// the active style.
vcl::TCustomStyleServices* StyleServicesFor(vcl::StringView styleName, bool noStyleElements,
                                            bool systemStyleIsDefault = false);
// The style services that paint a control (the active style's for nullptr). A host control
// inherits the StyleName of its nearest parent that names a style (vcl::StyleServices); other
// components answer through their own styling and the registry's SystemStyleIsDefault switch.
vcl::TCustomStyleServices* ControlStyleServices(const vcl::TComponent* control);
// The StyleName that decides a control's style: its own or its nearest parent's that names a
// registered, enabled style (empty when none does; a component's own name otherwise).
vcl::String EffectiveStyleName(const vcl::TComponent* control);

// Whether the services draw the themed look: false for services that report themselves not
// enabled, and for the system style while the host's themes are switched off (the classic
// look).
bool StyleServicesEnabled(const vcl::TCustomStyleServices* services);

// With a control: false while it is being designed, else whether the style that paints it is a
// custom style. Without: whether the registry has a custom style active.
bool IsCustomStyle(const vcl::TComponent* control = nullptr);
// The colour as the control's style shows it: system colours become the style's colours while
// a custom style is in effect for the control; other colours, and every colour otherwise, pass
// unchanged.
vcl::TColor ColorToStyleColor(vcl::TColor color, const vcl::TComponent* control = nullptr);
// True when a custom style is in effect for the control and the control's StyleName (without a
// control: the active style's name), in lower case, contains "windows".
bool IsWindowsStyle(const vcl::TComponent* control = nullptr);

}  // namespace kx
