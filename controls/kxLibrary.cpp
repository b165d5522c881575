// The library's units in their order of start.
#include "controls/kxLibrary.h"

#include "controls/kxControls.h"
#include "draw/kxSystem.h"
#include "host/themes/StyleManager.h"
#include "host/vcl/Mask.h"
#include "host/vcl/Menus.h"
#include "host/vcl/StdCtrls.h"
#include "host/vcl/Timers.h"

namespace kx {
namespace {

void InitializeHost() {
  vcl::RegisterStdControlClasses();
  vcl::RegisterMenuClasses();
  vcl::RegisterTimerClasses();
  vcl::RegisterMaskClasses();  // the edits and the masked edit
  // Registers the embedded styles and the engine's own hooks.
  vcl::TStyleManager::Initialize();
}

const TkxUnit Units[] = {
    {"host framework", InitializeHost, nullptr},
    {"kxDrawUtils", InitializeDrawUtils, FinalizeDrawUtils},
    {"kxControls", RegisterKxControlClasses, nullptr},
};

}  // namespace

std::span<const TkxUnit> LibraryUnits() { return Units; }

}  // namespace kx
