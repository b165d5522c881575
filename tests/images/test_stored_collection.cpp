// Image collections in window descriptions: the stored properties, the picture blocks, and
// text and binary forms read back and written again byte for byte.
#include <cstring>
#include <memory>
#include <string>

#include "tests/support/SharedData.h"
#include "ImagesTest.h"
#include "host/classes/Classes.h"
#include "host/classes/TypInfo.h"
#include "images/kxGPImageCollection.h"

using namespace imgtest;

namespace {

class TStoreForm : public TComponent {
 public:
  static const TClass Class;
  const TClass* ClassType() const override { return &Class; }
  explicit TStoreForm(TComponent* owner) : TComponent(owner) {}
};
const TClass TStoreForm::Class = TClass::Define<TStoreForm, TComponent>(u"TStoreForm");

struct StoredCollection : ::testing::Test {
  void SetUp() override {
    RegisterImageClasses();
    RegisterClass(&TStoreForm::Class);
  }
};

// The properties of an item without pictures, every one written.
constexpr const char* kPlainItem =
    "      item\r\n"
    "        ContentLeftMargin = 1\r\n"
    "        ContentRightMargin = 2\r\n"
    "        ContentTopMargin = 3\r\n"
    "        ContentBottomMargin = 4\r\n"
    "        Options.LeftMargin = 5\r\n"
    "        Options.TopMargin = 6\r\n"
    "        Options.RightMargin = 7\r\n"
    "        Options.BottomMargin = 8\r\n"
    "        Options.Stretch = False\r\n"
    "        Options.StretchBorder = True\r\n"
    "        Options.DrawOnlyBorder = False\r\n"
    "        Options.DrawOnlyClient = True\r\n"
    "        DrawStyle = idsTopTile\r\n"
    "        VirtualWidth = 110\r\n"
    "        VirtualHeight = 24\r\n"
    "        TileOffsetX = -3\r\n"
    "        TileOffsetY = 0\r\n"
    "        Proportional = True\r\n"
    "        Description = 'caption wallpaper'\r\n"
    "        Scaled = False\r\n"
    "        PixelOffsetModeHighQuality = True\r\n"
    "        InterpolationModeHighQuality = False\r\n"
    "      end";

TkxGPImageCollection* MakeCollection(TComponent* owner) {
  auto* c = new TkxGPImageCollection(owner);
  c->SetName(u"kxGPImageCollection1");
  TkxGPImageCollectionItem* plain = c->Images()->Add();
  plain->SetContentLeftMargin(1);
  plain->SetContentRightMargin(2);
  plain->SetContentTopMargin(3);
  plain->SetContentBottomMargin(4);
  plain->Options()->SetLeftMargin(5);
  plain->Options()->SetTopMargin(6);
  plain->Options()->SetRightMargin(7);
  plain->Options()->SetBottomMargin(8);
  plain->Options()->SetStretch(false);
  plain->Options()->SetStretchBorder(true);
  plain->Options()->SetDrawOnlyClient(true);
  plain->SetDrawStyle(idsTopTile);
  plain->SetVirtualWidth(110);
  plain->SetVirtualHeight(24);
  plain->SetTileOffsetX(-3);
  plain->SetProportional(true);
  plain->SetDescription(u"caption wallpaper");
  plain->SetScaled(false);
  plain->SetInterpolationModeHighQuality(false);

  c->Images()->Add()->LoadPngFromFile(Utf8ToString(SharedPng("basn6a08")));
  TBitmap b;
  b.SetPixelFormat(pf32bit);
  b.SetSize(3, 2);
  static_cast<std::uint32_t*>(b.ScanLine(0))[0] = 0x80FF0000u;
  static_cast<std::uint32_t*>(b.ScanLine(1))[2] = 0xFF00FF00u;
  c->Images()->Add()->SetBitmap(&b);
  return c;
}

// The hex digits of a binary block that starts after `name = {`.
std::string Block(const std::string& text, const std::string& name, size_t from = 0) {
  size_t at = text.find(name + " = {", from);
  if (at == std::string::npos) return {};
  std::string hex;
  for (size_t i = at + name.size() + 4; i < text.size() && text[i] != '}'; ++i)
    if (std::isxdigit(static_cast<unsigned char>(text[i]))) hex += text[i];
  return hex;
}

void ExpectSameCollection(TkxGPImageCollection* a, TkxGPImageCollection* b) {
  ASSERT_EQ(a->Count(), b->Count());
  for (int i = 0; i < a->Count(); ++i) {
    TkxGPImageCollectionItem* x = a->Images()->GetItem(i);
    TkxGPImageCollectionItem* y = b->Images()->GetItem(i);
    EXPECT_EQ(x->DrawStyle(), y->DrawStyle());
    EXPECT_EQ(x->Description(), y->Description());
    EXPECT_EQ(x->Options()->DrawOnlyClient(), y->Options()->DrawOnlyClient());
    EXPECT_EQ(x->PngImage()->Pixels(), y->PngImage()->Pixels());
    EXPECT_EQ(x->Bitmap()->Width(), y->Bitmap()->Width());
    // Read pictures are ready to draw once loading is over.
    EXPECT_EQ(x->GPB() != nullptr, y->GPB() != nullptr) << i;
    EXPECT_EQ(a->GetWidth(i, 1.5), b->GetWidth(i, 1.5)) << i;
  }
}

}  // namespace

TEST_F(StoredCollection, EveryItemPropertyIsWrittenInOrderWithThePictureBlocks) {
  KX_REQUIRE_PNGSUITE();
  TStoreForm form(nullptr);
  form.SetName(u"Form1");
  MakeCollection(&form);
  std::string text = StringToUtf8(WriteComponentText(&form));

  std::string head =
      "object Form1: TStoreForm\r\n"
      "  object kxGPImageCollection1: TkxGPImageCollection\r\n"
      "    Images = <\r\n";
  ASSERT_EQ(text.substr(0, head.size()), head);
  EXPECT_EQ(text.substr(head.size(), std::strlen(kPlainItem)), kPlainItem);
  // The PNG item: "PngImage.Data" first, holding the PNG file.
  size_t second = text.find("      item\r\n", head.size() + 10);
  ASSERT_NE(second, std::string::npos);
  EXPECT_EQ(text.compare(second + 12, 29, "        PngImage.Data = {\r\n  "), 0) << text.substr(second, 80);
  std::string png = Block(text, "PngImage.Data");
  EXPECT_EQ(png.substr(0, 16), "89504E470D0A1A0A");
  // The bitmap item: "Bitmap.Data", a byte count and then the BMP file.
  std::string bmp = Block(text, "Bitmap.Data");
  ASSERT_GE(bmp.size(), 12u);
  EXPECT_EQ(bmp.substr(8, 4), "424D");
  unsigned long count = std::stoul(bmp.substr(6, 2) + bmp.substr(4, 2) + bmp.substr(2, 2) + bmp.substr(0, 2), nullptr, 16);
  EXPECT_EQ(count * 2, bmp.size() - 8);
  // Pictures that are empty, and empty descriptions, are left out.
  EXPECT_EQ(text.find("PngImage.Data"), text.rfind("PngImage.Data"));
  EXPECT_EQ(text.find("Bitmap.Data"), text.rfind("Bitmap.Data"));
  EXPECT_EQ(text.find("Description"), text.rfind("Description"));
}

TEST_F(StoredCollection, TextAndBinaryFormsReadBackAndWriteTheSameBytes) {
  KX_REQUIRE_PNGSUITE();
  TStoreForm form(nullptr);
  form.SetName(u"Form1");
  TkxGPImageCollection* original = MakeCollection(&form);
  String text = WriteComponentText(&form);
  std::vector<Byte> binary = WriteComponentBinary(&form);
  EXPECT_EQ(ObjectBinaryToText(binary), text);
  EXPECT_EQ(ObjectTextToBinary(text), binary);

  std::unique_ptr<TComponent> fromText(ReadComponentFromText(text, nullptr, u"Unit1.dfm"));
  std::unique_ptr<TComponent> fromBinary(ReadComponentData(binary, nullptr, u"Unit1.res"));
  TkxGPImageCollection* readBinary = nullptr;
  for (TComponent* read : {fromText.get(), fromBinary.get()}) {
    EXPECT_EQ(WriteComponentText(read), text);
    EXPECT_EQ(WriteComponentBinary(read), binary);
    auto* c = dynamic_cast<TkxGPImageCollection*>(read->FindComponent(u"kxGPImageCollection1"));
    ASSERT_NE(c, nullptr);
    ExpectSameCollection(original, c);
    readBinary = c;
  }
  // The bitmap's pixels and alpha survive.
  TBitmap* b = readBinary->Images()->GetItem(2)->Bitmap();
  EXPECT_EQ(static_cast<std::uint32_t*>(b->ScanLine(0))[0], 0x80FF0000u);
  EXPECT_EQ(static_cast<std::uint32_t*>(b->ScanLine(1))[2], 0xFF00FF00u);
}

TEST_F(StoredCollection, BadValuesAreReportedWithTheirProperty) {
  KX_REQUIRE_PNGSUITE();
  TStoreForm form(nullptr);
  form.SetName(u"Form1");
  MakeCollection(&form);
  std::string text = StringToUtf8(WriteComponentText(&form));
  std::string bad = text;
  bad.replace(bad.find("idsTopTile"), 10, "idsSideways");
  try {
    std::unique_ptr<TComponent>(ReadComponentFromText(Utf8ToString(bad), nullptr, u"u.dfm"));
    FAIL() << "read a draw style that does not exist";
  } catch (const EReadError& e) {
    std::string m = StringToUtf8(e.Message());
    EXPECT_NE(m.find("DrawStyle"), std::string::npos) << m;
    EXPECT_NE(m.find("u.dfm"), std::string::npos) << m;
  }
  // A PNG block that is not a PNG.
  std::string junk = text;
  size_t at = junk.find("89504E47");
  junk.replace(at, 8, "00000000");
  EXPECT_THROW(std::unique_ptr<TComponent>(ReadComponentFromText(Utf8ToString(junk), nullptr)), EReadError);
}
