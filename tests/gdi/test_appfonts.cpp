#include <fontconfig/fontconfig.h>
#include <gtest/gtest.h>

#include <string>

#include "host/gdi/AppFonts.h"

// The design font of the controls must resolve to the real face, not a fallback.
TEST(AppFonts, TahomaAndMarlettResolveToTheirOwnFaces) {
  vcl::EnsureAppFonts();
  for (const char* family : {"Tahoma", "Marlett"}) {
    FcPattern* pat = FcNameParse(reinterpret_cast<const FcChar8*>(family));
    FcConfigSubstitute(nullptr, pat, FcMatchPattern);
    FcDefaultSubstitute(pat);
    FcResult result;
    FcPattern* match = FcFontMatch(nullptr, pat, &result);
    ASSERT_NE(match, nullptr);
    FcChar8* name = nullptr;
    ASSERT_EQ(FcPatternGetString(match, FC_FAMILY, 0, &name), FcResultMatch);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(name)), family);
    FcPatternDestroy(match);
    FcPatternDestroy(pat);
  }
}
