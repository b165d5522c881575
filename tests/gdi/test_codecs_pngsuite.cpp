// Decoding the PngSuite images (PNG and the BMP conversions beside them) against reference
// pixels, and rejection of the corrupt x*.png files.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tests/support/SharedData.h"
#include "host/gdi/Codecs.h"
#include "host/rtl/SysUtils.h"

namespace fs = std::filesystem;
using namespace vcl;

namespace {

const fs::path kSuite = fs::path(KX_SHARED_DIR) / "testdata" / "pngsuite";

std::vector<Byte> ReadFile(const fs::path& p) {
  std::ifstream f(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
}

// The reference files are flat JSON arrays of RGBA sample values.
std::vector<int> ReadJsonInts(const fs::path& p) {
  std::ifstream f(p);
  std::string text{std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
  std::vector<int> out;
  int v = 0;
  bool in = false;
  for (char c : text) {
    if (c >= '0' && c <= '9') {
      v = v * 10 + (c - '0');
      in = true;
    } else if (in) {
      out.push_back(v);
      v = 0;
      in = false;
    }
  }
  return out;
}

std::vector<std::string> SuiteNames(const char* dir, const char* ext) {
  std::vector<std::string> names;
  for (auto& e : fs::directory_iterator(kSuite / dir))
    if (e.path().extension() == ext) names.push_back(e.path().stem().string());
  std::sort(names.begin(), names.end());
  return names;
}

// Reference RGBA of an image. The plain files hold the source samples (16-bit ones too); the
// `_to8` files hold the 8-bit conversion the BMP files were made from.
std::vector<int> Reference(const std::string& name, bool to8) {
  fs::path p = kSuite / "json" / (name + "_to8.json");
  if (!to8 || !fs::exists(p)) p = kSuite / "json" / (name + ".json");
  return ReadJsonInts(p);
}

// 16-bit samples reduced to their high byte, the decoder's 16 -> 8 bit rule.
std::vector<int> HighBytes(std::vector<int> ref) {
  if (std::any_of(ref.begin(), ref.end(), [](int v) { return v > 255; }))
    for (int& v : ref) v >>= 8;
  return ref;
}

// Number of pixels that differ from the reference, with the first difference described.
// Channels may differ by up to `tolerance`; with ignoreHidden the colour of fully transparent
// pixels is not compared.
int CountDiffs(const TDecodedImage& img, const std::vector<int>& ref, std::string& first,
               int tolerance = 0, bool ignoreHidden = false) {
  if (ref.size() != img.Pixels.size() * 4) {
    first = "reference has " + std::to_string(ref.size() / 4) + " pixels, image " +
            std::to_string(img.Pixels.size());
    return int(img.Pixels.size());
  }
  int diffs = 0;
  for (size_t i = 0; i < img.Pixels.size(); ++i) {
    std::uint32_t p = img.Pixels[i];
    int r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF, a = p >> 24;
    auto off = [&](int got, int want) { return std::abs(got - want) > tolerance; };
    bool hidden = ignoreHidden && a == 0 && ref[4 * i + 3] == 0;
    if (off(a, ref[4 * i + 3]) ||
        (!hidden && (off(r, ref[4 * i]) || off(g, ref[4 * i + 1]) || off(b, ref[4 * i + 2])))) {
      if (!diffs++)
        first = "pixel " + std::to_string(i) + ": got " + std::to_string(r) + "," +
                std::to_string(g) + "," + std::to_string(b) + "," + std::to_string(a) +
                " want " + std::to_string(ref[4 * i]) + "," + std::to_string(ref[4 * i + 1]) +
                "," + std::to_string(ref[4 * i + 2]) + "," + std::to_string(ref[4 * i + 3]);
    }
  }
  return diffs;
}

}  // namespace

TEST(CodecsPngSuite, EveryValidPngMatchesItsReferencePixels) {
  KX_REQUIRE_PNGSUITE();
  int checked = 0;
  for (const std::string& name : SuiteNames("png", ".png")) {
    if (name[0] == 'x') continue;
    SCOPED_TRACE(name);
    std::vector<Byte> data = ReadFile(kSuite / "png" / (name + ".png"));
    TDecodedImage img;
    ASSERT_NO_THROW(img = DecodePng(data.data(), data.size(), Utf8ToString(name)));
    std::string first;
    EXPECT_EQ(CountDiffs(img, HighBytes(Reference(name, false)), first), 0) << first;
    if (img.SourceBitDepth == 16) {
      // The 8-bit conversions agree exactly for colour images; for 16-bit grey they come from
      // a colour-managed path and stray by one level here and there.
      bool grey = (img.SourceColorType & 2) == 0;
      EXPECT_EQ(CountDiffs(img, HighBytes(Reference(name, true)), first, grey ? 1 : 0), 0) << first;
    }
    ++checked;
  }
  EXPECT_GT(checked, 150);
}

TEST(CodecsPngSuite, EveryBmpConversionMatchesTheReferencePixels) {
  KX_REQUIRE_PNGSUITE();
  int checked = 0;
  for (const std::string& name : SuiteNames("bmp", ".bmp")) {
    SCOPED_TRACE(name);
    std::vector<Byte> data = ReadFile(kSuite / "bmp" / (name + ".bmp"));
    TDecodedImage img;
    ASSERT_NO_THROW(img = DecodeBmp(data.data(), data.size(), Utf8ToString(name)));
    // tbbn0g04.bmp stores black in its transparent pixels where the reference has white.
    std::string first;
    EXPECT_EQ(CountDiffs(img, HighBytes(Reference(name, true)), first, 0, true), 0) << first;
    ++checked;
  }
  EXPECT_GT(checked, 150);
}

TEST(CodecsPngSuite, EveryCorruptPngIsRejectedWithItsName) {
  KX_REQUIRE_PNGSUITE();
  int checked = 0;
  for (const std::string& name : SuiteNames("png", ".png")) {
    if (name[0] != 'x') continue;
    SCOPED_TRACE(name);
    std::vector<Byte> data = ReadFile(kSuite / "png" / (name + ".png"));
    try {
      DecodePng(data.data(), data.size(), Utf8ToString(name));
      ADD_FAILURE() << "accepted";
    } catch (const EInvalidGraphic& e) {
      EXPECT_NE(std::string(e.what()).find(name), std::string::npos) << e.what();
    }
    ++checked;
  }
  EXPECT_GE(checked, 14);
}
