#include <fontconfig/fontconfig.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "host/gdi/AppFonts.h"
#include "host/gdi/GdiText.h"

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

namespace {
// Dark pixels of a sample line drawn with Tahoma at the given em height and weight.
int InkOf(int height, vcl::LONG weight, int dpi) {
  using namespace vcl;
  void* bits = nullptr;
  const int w = 600, h = 60;
  HBITMAP bmp = CreateDIB32(w, h, &bits);
  HDC dc = CreateCompatibleDC(nullptr);
  SelectObject(dc, bmp);
  SetDcDpi(dc, dpi);
  LOGFONTW lf;
  lf.lfHeight = height;
  lf.lfWeight = weight;
  std::u16string face = u"Tahoma";
  face.copy(lf.lfFaceName, face.size());
  HFONT font = CreateFontIndirectW(lf);
  HFONT old = SelectObject(dc, font);
  SetBkMode(dc, TRANSPARENT);
  TRect r{0, 0, w, h};
  DrawTextW(dc, u"Primitives (exact pixels, Win32 edges)", &r, DT_SINGLELINE | DT_NOPREFIX);
  GdiFlush();
  int ink = 0;
  auto* px = static_cast<const std::uint32_t*>(bits);
  for (int i = 0; i < w * h; ++i) ink += px[i] >> 24;  // coverage of black text on transparent
  SelectObject(dc, old);
  DeleteObject(font);
  DeleteDC(dc);
  DeleteObject(bmp);
  return ink;
}
}  // namespace

// Bold must look bold at every size the densities from 100 % to 250 % produce.
TEST(AppFonts, BoldTahomaIsHeavierThanRegularAtEverySize) {
  for (int dpi : {96, 144, 192})
    for (int px : {11, 12, 13, 14, 16, 18, 21, 24, 28}) {
      SCOPED_TRACE(testing::Message() << px << " px at " << dpi << " dpi");
      int regular = InkOf(-px, vcl::FW_NORMAL, dpi), bold = InkOf(-px, vcl::FW_BOLD, dpi);
      EXPECT_GT(bold, regular * 5 / 4);
      EXPECT_LT(bold, regular * 2);  // never emboldened twice
    }
}
