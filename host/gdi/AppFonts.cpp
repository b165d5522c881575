#include "host/gdi/AppFonts.h"

#include <fontconfig/fontconfig.h>

#include <algorithm>
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

std::vector<String> FontFamilyNames() {
  EnsureAppFonts();
  std::vector<String> names;
  FcPattern* pattern = FcPatternCreate();
  FcObjectSet* objects = FcObjectSetBuild(FC_FAMILY, nullptr);
  FcFontSet* set = FcFontList(nullptr, pattern, objects);
  if (set) {
    for (int i = 0; i < set->nfont; ++i) {
      FcChar8* family = nullptr;
      // A font may list several family names (localised ones); the first is the main one.
      if (FcPatternGetString(set->fonts[i], FC_FAMILY, 0, &family) == FcResultMatch && family)
        names.push_back(Utf8ToString(reinterpret_cast<const char*>(family)));
    }
    FcFontSetDestroy(set);
  }
  FcObjectSetDestroy(objects);
  FcPatternDestroy(pattern);
  auto lower = [](Char c) { return c >= u'A' && c <= u'Z' ? Char(c + 32) : c; };
  auto less = [&](const String& a, const String& b) {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                        [&](Char x, Char y) { return lower(x) < lower(y); });
  };
  std::sort(names.begin(), names.end(), less);
  names.erase(std::unique(names.begin(), names.end(),
                          [&](const String& a, const String& b) { return !less(a, b) && !less(b, a); }),
              names.end());
  return names;
}

}  // namespace vcl
