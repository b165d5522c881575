// The demonstration program: the application object, the main window from its stored
// description, and the message loop until the main window closes.
//
//   kx_demo    the main window on the current display (a virtual screen without one)
#include <cstdio>
#include <exception>

#include "app/Unit1.h"
#include "host/vcl/Application.h"
#include "host/vcl/StdCtrls.h"

int main() {
  try {
    vcl::RegisterStdControlClasses();
    vcl::Application->Initialize();
    vcl::Application->SetMainFormOnTaskBar(true);
    vcl::Application->CreateForm(app::Form1);
    vcl::Application->Run();
    return 0;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "kx_demo: %s\n", e.what());
    return 1;
  }
}
