#include "host/gdi/AppFonts.h"

#include <fontconfig/fontconfig.h>

#include <mutex>

namespace vcl {

namespace {
constexpr const char* kAppFontDirs[] = {
    "/usr/share/wine/fonts",
};

// The bold Tahoma face carries properly bold bitmap strikes up to 12 pixels, but its larger
// strikes and its outlines are barely heavier than the regular face's, so bold text from 13
// pixels up would look regular with wide spacing. There fontconfig asks for synthetic
// emboldening of that face.
constexpr const char* kAppFontRules = R"(<?xml version="1.0"?>
<!DOCTYPE fontconfig SYSTEM "fonts.dtd">
<fontconfig>
  <match target="font">
    <test name="family"><string>Tahoma</string></test>
    <test name="weight" compare="more_eq"><const>bold</const></test>
    <test name="pixelsize" compare="more"><double>12.5</double></test>
    <edit name="embolden" mode="assign"><bool>true</bool></edit>
  </match>
</fontconfig>
)";
}

void EnsureAppFonts() {
  static std::once_flag once;
  std::call_once(once, [] {
    FcConfig* config = FcConfigGetCurrent();
    for (const char* dir : kAppFontDirs) FcConfigAppFontAddDir(config, reinterpret_cast<const FcChar8*>(dir));
    FcConfigParseAndLoadFromMemory(config, reinterpret_cast<const FcChar8*>(kAppFontRules), FcTrue);
  });
}

}  // namespace vcl
