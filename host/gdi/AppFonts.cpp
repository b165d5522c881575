#include "host/gdi/AppFonts.h"

#include <fontconfig/fontconfig.h>

#include <mutex>

namespace vcl {

namespace {
constexpr const char* kAppFontDirs[] = {
    "/usr/share/wine/fonts",
};
}

void EnsureAppFonts() {
  static std::once_flag once;
  std::call_once(once, [] {
    FcConfig* config = FcConfigGetCurrent();
    for (const char* dir : kAppFontDirs) FcConfigAppFontAddDir(config, reinterpret_cast<const FcChar8*>(dir));
  });
}

}  // namespace vcl
