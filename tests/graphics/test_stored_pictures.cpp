// Pictures as properties of components in window descriptions: "Bitmap.Data" and
// "PngImage.Data".
#include <memory>
#include <string>

#include "tests/support/SharedData.h"
#include "GraphicsTest.h"
#include "PngSuiteRef.h"
#include "host/classes/Classes.h"
#include "host/classes/TypInfo.h"
#include "host/graphics/PngImage.h"

using namespace vcl;
using namespace gfxtest;

namespace {

class TPictureHolder : public TComponent {
 public:
  static const TClass Class;
  const TClass* ClassType() const override { return &Class; }
  explicit TPictureHolder(TComponent* owner) : TComponent(owner) {}
  TBitmap* Bitmap() const { return FBitmap.get(); }
  void SetBitmap(TBitmap* v) { FBitmap->Assign(v); }
  TPngImage* PngImage() const { return FPng.get(); }
  void SetPngImage(TPngImage* v) { FPng->Assign(v); }
  TFont* Font() const { return FFont.get(); }
  void SetFont(TFont* v) { FFont->Assign(v); }

 private:
  std::unique_ptr<TBitmap> FBitmap = std::make_unique<TBitmap>();
  std::unique_ptr<TPngImage> FPng = std::make_unique<TPngImage>();
  std::unique_ptr<TFont> FFont = std::make_unique<TFont>();
};
const TClass TPictureHolder::Class =
    TClass::Define<TPictureHolder, TComponent>(u"TPictureHolder", [](auto& c) {
      c.Property(u"Bitmap", &TPictureHolder::Bitmap, &TPictureHolder::SetBitmap);
      c.Property(u"PngImage", &TPictureHolder::PngImage, &TPictureHolder::SetPngImage);
      c.Property(u"Font", &TPictureHolder::Font, &TPictureHolder::SetFont);
    });

// The hex digits of a binary property's block in a text description.
std::string Block(const std::string& text, const std::string& name) {
  size_t at = text.find(name + " = {");
  if (at == std::string::npos) return {};
  std::string hex;
  for (size_t i = at + name.size() + 4; i < text.size() && text[i] != '}'; ++i)
    if (std::isxdigit(static_cast<unsigned char>(text[i]))) hex += text[i];
  return hex;
}

}  // namespace

TEST(StoredPictures, BitmapAndPngDataRoundTrip) {
  KX_REQUIRE_PNGSUITE();
  RegisterGraphicsClasses();
  RegisterClass(&TPictureHolder::Class);
  TPictureHolder holder(nullptr);
  holder.SetName(u"Holder1");
  Make32(*holder.Bitmap(), 3, 2, 0xFF102030);
  Px(*holder.Bitmap(), 2, 1) = 0x80FF0000;
  holder.PngImage()->LoadFromFile(
      Utf8ToString((pngsuite::Dir() / "png" / "basn6a08.png").string()));
  holder.Font()->SetStyle({fsBold});
  holder.Font()->SetColor(clHighlight);

  std::string text = StringToUtf8(WriteComponentText(&holder));
  // Bitmap.Data: a 32-bit byte count, then the BMP file ("BM").
  std::string bmp = Block(text, "Bitmap.Data");
  ASSERT_GE(bmp.size(), 12u);
  unsigned long count = std::stoul(bmp.substr(6, 2) + bmp.substr(4, 2) + bmp.substr(2, 2) + bmp.substr(0, 2), nullptr, 16);
  EXPECT_EQ(count * 2, bmp.size() - 8);
  EXPECT_EQ(bmp.substr(8, 4), "424D");
  // PngImage.Data: the PNG file itself.
  EXPECT_EQ(Block(text, "PngImage.Data").substr(0, 16), "89504E470D0A1A0A");
  // The font with names for its character set and colour; no size (it is the height).
  for (const char* expected : {"Font.Charset = DEFAULT_CHARSET", "Font.Color = clHighlight",
                               "Font.Height = -11", "Font.Name = 'Tahoma'",
                               "Font.Style = [fsBold]"})
    EXPECT_NE(text.find(expected), std::string::npos) << expected << "\n" << text;
  for (const char* absent : {"Font.Size", "Font.Pitch", "Font.Quality", "Font.Orientation"})
    EXPECT_EQ(text.find(absent), std::string::npos) << absent;

  auto check = [&](TComponent* c) {
    auto* h = dynamic_cast<TPictureHolder*>(c);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(h->Bitmap()->Width(), 3);
    EXPECT_EQ(h->Bitmap()->PixelFormat(), pf32bit);
    EXPECT_EQ(Hex(Px(*h->Bitmap(), 2, 1)), "80FF0000");
    EXPECT_EQ(Hex(Px(*h->Bitmap(), 0, 0)), "FF102030");
    EXPECT_TRUE(h->PngImage()->Pixels() == holder.PngImage()->Pixels());
    EXPECT_EQ(h->PngImage()->TransparencyMode(), ptmPartial);
    EXPECT_EQ(h->Font()->Style(), TFontStyles{fsBold});
    EXPECT_EQ(h->Font()->Color(), clHighlight);
  };
  std::unique_ptr<TComponent> fromText(ReadComponentFromText(Utf8ToString(text), nullptr));
  check(fromText.get());
  std::vector<Byte> binary = WriteComponentBinary(&holder);
  std::unique_ptr<TComponent> fromBinary(ReadComponentData(binary, nullptr));
  check(fromBinary.get());

  // Empty pictures write nothing.
  TPictureHolder empty(nullptr);
  std::string none = StringToUtf8(WriteComponentText(&empty));
  EXPECT_EQ(none.find("Bitmap.Data"), std::string::npos);
  EXPECT_EQ(none.find("PngImage.Data"), std::string::npos);

  // A byte count beyond the block is refused.
  std::string bad = text;
  size_t at = bad.find("Bitmap.Data = {");
  size_t hex = bad.find_first_of("0123456789ABCDEF", at + 15);
  bad.replace(hex, 8, "FFFFFF00");
  EXPECT_THROW(std::unique_ptr<TComponent>(ReadComponentFromText(Utf8ToString(bad), nullptr)),
               EReadError);
}
