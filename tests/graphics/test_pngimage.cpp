// TPngImage: the PngSuite images against their reference pixels, corrupt files, conversions.
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include "tests/support/SharedData.h"
#include "GraphicsTest.h"
#include "PngSuiteRef.h"
#include "host/graphics/PngImage.h"
#include "host/rtl/Streams.h"

using namespace vcl;
using namespace gfxtest;

namespace {

String PngPath(const std::string& name) {
  return Utf8ToString((pngsuite::Dir() / "png" / (name + ".png")).string());
}

// Pixels that differ from the reference; the first described in `first`.
int Diffs(const TPngImage& png, const std::vector<int>& ref, std::string& first) {
  size_t n = size_t(png.Width()) * size_t(png.Height());
  if (ref.size() != n * 4) {
    first = "reference has " + std::to_string(ref.size() / 4) + " pixels";
    return int(n);
  }
  int diffs = 0;
  for (size_t i = 0; i < n; ++i) {
    std::uint32_t p = png.Pixels()[i];
    int got[4] = {int(p >> 16) & 255, int(p >> 8) & 255, int(p) & 255, int(p >> 24)};
    bool same = true;
    for (int k = 0; k < 4; ++k) same &= got[k] == ref[4 * i + k];
    if (!same && !diffs++)
      first = "pixel " + std::to_string(i) + ": got " + Hex(p) + " want " +
              std::to_string(ref[4 * i]) + "," + std::to_string(ref[4 * i + 1]) + "," +
              std::to_string(ref[4 * i + 2]) + "," + std::to_string(ref[4 * i + 3]);
  }
  return diffs;
}

}  // namespace

TEST(PngImage, EverySuiteImageLoadsWithItsReferencePixels) {
  KX_REQUIRE_PNGSUITE();
  int checked = 0;
  for (const std::string& name : pngsuite::PngNames()) {
    if (name[0] == 'x') continue;
    SCOPED_TRACE(name);
    TPngImage png;
    ASSERT_NO_THROW(png.LoadFromFile(PngPath(name)));
    std::string first;
    EXPECT_EQ(Diffs(png, pngsuite::Reference(name), first), 0) << first;

    // The transparency mode agrees with the colour type and the pixels.
    bool anyPartial = false, anyClear = false;
    for (std::uint32_t p : png.Pixels()) {
      anyPartial |= (p >> 24) != 0 && (p >> 24) != 255;
      anyClear |= (p >> 24) == 0;
    }
    if (png.ColorType() == COLOR_RGBALPHA || png.ColorType() == COLOR_GRAYSCALEALPHA || anyPartial)
      EXPECT_EQ(png.TransparencyMode(), ptmPartial);
    else
      EXPECT_EQ(png.TransparencyMode(), anyClear ? ptmBit : ptmNone);
    EXPECT_EQ(png.Transparent(), png.TransparencyMode() != ptmNone);
    ++checked;
  }
  EXPECT_GT(checked, 150);
}

TEST(PngImage, CorruptFilesAreRejectedAndThePreviousImageStays) {
  KX_REQUIRE_PNGSUITE();
  TPngImage png;
  png.LoadFromFile(PngPath("basn6a08"));
  const std::vector<std::uint32_t> before = png.Pixels();
  TCounter changes;
  png.SetOnChange(changes.Event());
  int checked = 0;
  for (const std::string& name : pngsuite::PngNames()) {
    if (name[0] != 'x') continue;
    SCOPED_TRACE(name);
    try {
      png.LoadFromFile(PngPath(name));
      ADD_FAILURE() << "accepted";
    } catch (const EInvalidGraphic& e) {
      EXPECT_NE(std::string(e.what()).find(name), std::string::npos) << e.what();
    }
    EXPECT_EQ(png.Width(), 32);
    EXPECT_EQ(png.Height(), 32);
    EXPECT_TRUE(png.Pixels() == before);
    ++checked;
  }
  EXPECT_GE(checked, 14);
  EXPECT_EQ(changes.Count, 0);

  // From a stream: the position stays where the bad data starts.
  TStringStream junk("\x89PNG\r\n\x1a\n but nothing more");
  junk.SetPosition(0);
  EXPECT_THROW(png.LoadFromStream(&junk), EInvalidGraphic);
  EXPECT_EQ(junk.Position(), 0);
  EXPECT_TRUE(png.Pixels() == before);
}

TEST(PngImage, StreamsStopAfterTheImageAndSaveTheFileBack) {
  KX_REQUIRE_PNGSUITE();
  std::ifstream f(pngsuite::Dir() / "png" / "basn3p04.png", std::ios::binary);
  std::vector<Byte> file{std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
  TBytesStream s;
  s.WriteBuffer("pre", 3);
  s.WriteBuffer(file.data(), Int64(file.size()));
  s.WriteBuffer("post", 4);
  s.SetPosition(3);
  TPngImage png;
  png.LoadFromStream(&s);
  EXPECT_EQ(s.Position(), Int64(3 + file.size()));
  EXPECT_EQ(png.ColorType(), COLOR_PALETTE);
  EXPECT_EQ(png.BitDepth(), 4);
  EXPECT_EQ(png.TransparencyMode(), ptmNone);
  TBytesStream out;
  png.SaveToStream(&out);
  EXPECT_TRUE(out.Bytes() == file);  // the file as loaded, byte for byte

  // A copy saves the same bytes; an empty picture saves nothing.
  TPngImage copy;
  copy.Assign(&png);
  TBytesStream out2;
  copy.SaveToStream(&out2);
  EXPECT_TRUE(out2.Bytes() == file);
  copy.Assign(nullptr);
  EXPECT_TRUE(copy.Empty());
  TBytesStream none;
  copy.SaveToStream(&none);
  EXPECT_EQ(none.Size(), 0);
}

TEST(PngImage, ConvertsToAndFromBitmaps) {
  KX_REQUIRE_PNGSUITE();
  TPngImage png;
  png.LoadFromFile(PngPath("basn6a08"));  // RGBA with every alpha
  TBitmap b;
  b.Assign(&png);
  EXPECT_EQ(b.PixelFormat(), pf32bit);
  EXPECT_EQ(b.AlphaFormat(), afDefined);  // straight rows, as in the file
  for (int y = 0; y < 32; y += 7)
    for (int x = 0; x < 32; x += 5) EXPECT_EQ(Hex(Px(b, x, y)), Hex(png.Pixel(x, y)));

  // Back to a PNG: straight RGBA, the same pixels; premultiplied rows are un-premultiplied.
  TPngImage back;
  back.Assign(&b);
  EXPECT_EQ(back.ColorType(), COLOR_RGBALPHA);
  EXPECT_TRUE(back.Pixels() == png.Pixels());
  b.SetAlphaFormat(afPremultiplied);
  TPngImage fromPre;
  fromPre.Assign(&b);
  int far = 0;
  for (size_t i = 0; i < png.Pixels().size(); ++i) {
    // Premultiplying rounds each channel by up to half a level, which un-premultiplying
    // magnifies by 255 / alpha.
    int a = int(png.Pixels()[i] >> 24);
    far += !Near(fromPre.Pixels()[i], png.Pixels()[i], a == 0 ? 255 : 1 + 128 / a);
  }
  EXPECT_EQ(far, 0);

  // An opaque picture gives opaque afIgnored rows; a keyed bitmap a bit-transparent picture.
  TPngImage rgb;
  rgb.LoadFromFile(PngPath("basn2c08"));
  TBitmap c;
  c.Assign(&rgb);
  EXPECT_EQ(c.AlphaFormat(), afIgnored);
  EXPECT_EQ(Px(c, 3, 3) >> 24, 0xFFu);
  c.SetTransparent(true);
  c.SetTransparentColor(TColor(RGB(Byte(Px(c, 0, 0) >> 16), Byte(Px(c, 0, 0) >> 8), Byte(Px(c, 0, 0)))));
  TPngImage keyed;
  keyed.Assign(&c);
  EXPECT_EQ(keyed.Pixel(0, 0), 0u);
  EXPECT_NE(keyed.TransparencyMode(), ptmNone);
  // Saved and loaded again it keeps its pixels.
  TBytesStream s;
  keyed.SaveToStream(&s);
  s.SetPosition(0);
  TPngImage again;
  again.LoadFromStream(&s);
  EXPECT_TRUE(again.Pixels() == keyed.Pixels());
}
