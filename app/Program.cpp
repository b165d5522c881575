#include "app/Program.h"

#include "app/Unit1.h"
#include "controls/kxLibrary.h"
#include "host/themes/StyleManager.h"
#include "host/vcl/Application.h"

namespace app {

// The program has no units of its own: the library's, in their order.
std::span<const kx::TkxUnit> ProgramUnits() { return kx::LibraryUnits(); }

void StartProgram(vcl::StringView startStyle) {
  vcl::Application->Initialize();
  vcl::Application->SetMainFormOnTaskBar(true);
  vcl::TStyleManager::TrySetStyle(startStyle, true);
  vcl::Application->CreateForm(Form1);
}

}  // namespace app
