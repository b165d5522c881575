// The demonstration program's start and end: the host and the library's units, the
// application object, the start-up style and the main window.
#pragma once
#include <span>

#include "draw/kxUnits.h"
#include "host/rtl/System.h"

namespace app {

// The units the program starts, in their order of dependence: the host framework, then the
// library's units.
std::span<const kx::TkxUnit> ProgramUnits();

// Start-up after the units: initialises the application, lets the main window own the
// task-bar button, asks for the start-up style (a style that cannot be set is reported by the
// style registry and the program goes on in the active style) and creates the main window
// from its stored description as the application's main form.
void StartProgram(vcl::StringView startStyle = u"Glow");

}  // namespace app
