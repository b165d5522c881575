#include "app/Program.h"

#include "app/Unit1.h"
#include "controls/kxControls.h"
#include "draw/kxSystem.h"
#include "host/themes/StyleManager.h"
#include "host/vcl/Application.h"
#include "host/vcl/Menus.h"
#include "host/vcl/Mask.h"
#include "host/vcl/StdCtrls.h"
#include "host/vcl/Timers.h"

namespace app {
namespace {

void InitializeHost() {
  vcl::RegisterStdControlClasses();
  vcl::RegisterMenuClasses();
  vcl::RegisterTimerClasses();
  vcl::RegisterMaskClasses();  // the edits and the masked edit
  // Registers the embedded styles and the engine's own hooks.
  vcl::TStyleManager::Initialize();
}

void InitializeDrawUtils() { kx::InitializeDrawUtils(); }

const kx::TkxUnit Units[] = {
    {"host framework", InitializeHost, nullptr},
    {"kxDrawUtils", InitializeDrawUtils, kx::FinalizeDrawUtils},
    {"kxControls", kx::RegisterKxControlClasses, nullptr},
};

}  // namespace

std::span<const kx::TkxUnit> ProgramUnits() { return Units; }

void StartProgram(vcl::StringView startStyle) {
  vcl::Application->Initialize();
  vcl::Application->SetMainFormOnTaskBar(true);
  vcl::TStyleManager::TrySetStyle(startStyle, true);
  vcl::Application->CreateForm(Form1);
}

}  // namespace app
