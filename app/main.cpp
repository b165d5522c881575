// The demonstration program: the host and the library's units, the application object, the
// "Glow" style, the main window from its stored description, and the message loop until the
// main window closes.
//
//   kx_demo    the main window on the current display (a virtual screen without one)
#include <cstdio>
#include <exception>

#include "app/Program.h"
#include "host/vcl/Application.h"

int main() {
  try {
    kx::TkxUnitsScope units(app::ProgramUnits());
    app::StartProgram();
    vcl::Application->Run();
    return 0;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "kx_demo: %s\n", e.what());
    return 1;
  }
}
