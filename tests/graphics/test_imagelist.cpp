// TCustomImageList: images, change rules, drawing, and the stored form in window descriptions.
#include <memory>
#include <string>

#include "GraphicsTest.h"
#include "host/classes/Classes.h"
#include "host/classes/TypInfo.h"
#include "host/gdi/Codecs.h"
#include "host/gdi/GdiInternal.h"
#include "host/graphics/ImgList.h"

using namespace vcl;
using namespace gfxtest;

namespace {

class TImageForm : public TComponent {
 public:
  static const TClass Class;
  const TClass* ClassType() const override { return &Class; }
  explicit TImageForm(TComponent* owner) : TComponent(owner) {}
};
const TClass TImageForm::Class = TClass::Define<TImageForm, TComponent>(u"TImageForm");

// A strip of n w x h images; image k is a solid colour (blue k * 20, green from a row ramp),
// with alpha 255 (opaque) or a per-row alpha ramp (premultiplied) when `alpha`.
TBitmap* Strip(int n, int w, int h, bool alpha) {
  auto* b = new TBitmap;
  Make32(*b, n * w, h);
  for (int k = 0; k < n; ++k)
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        std::uint32_t a = alpha ? std::uint32_t((y * 255) / (h - 1)) : 255;
        std::uint32_t straight = (a << 24) | (std::uint32_t(x * 255 / w) << 16) |
                                 (std::uint32_t(y * 255 / h) << 8) | std::uint32_t(k * 20);
        Px(*b, k * w + x, y) = straight;
      }
  if (alpha) b->SetAlphaFormat(afDefined);
  return b;
}

// The pixels of every image, as GetBitmap gives them.
std::vector<std::uint32_t> Images(TCustomImageList& il) {
  std::vector<std::uint32_t> out;
  for (int i = 0; i < il.Count(); ++i) {
    TBitmap b;
    EXPECT_TRUE(il.GetBitmap(i, &b));
    for (int y = 0; y < il.Height(); ++y)
      for (int x = 0; x < il.Width(); ++x) out.push_back(Px(b, x, y));
  }
  return out;
}

// The form of the demo: a 96 x 96 32-bit list of ten images of every kind, and a small list
// with other settings.
std::unique_ptr<TImageForm> DemoForm() {
  RegisterGraphicsClasses();
  RegisterClass(&TImageForm::Class);
  auto form = std::make_unique<TImageForm>(nullptr);
  form->SetName(u"Form1");
  auto* il = new TImageList(form.get());
  il->SetName(u"ImageList1");
  il->SetColorDepth(cd32Bit);
  il->SetSize(96, 96);
  std::unique_ptr<TBitmap> alpha(Strip(6, 96, 96, true));
  std::unique_ptr<TBitmap> opaque(Strip(2, 96, 96, false));
  il->Add(alpha.get(), nullptr);
  il->AddMasked(opaque.get(), clDefault);  // the top-left colour becomes transparent
  TBitmap holes;
  Make32(holes, 96, 96, 0xFF804020);
  TBitmap mask;
  mask.SetPixelFormat(pf1bit);
  mask.SetSize(96, 96);
  mask.Canvas()->Brush()->SetColor(clWhite);
  mask.Canvas()->FillRect(Rect(10, 10, 50, 90));
  il->Add(&holes, &mask);
  ImageList_SetImageCount(il->Handle(), 10);  // a wholly transparent image
  auto* small = new TImageList(form.get());
  small->SetName(u"ImageList2");
  small->SetBkColor(clBtnFace);
  small->SetDrawingStyle(dsTransparent);
  small->SetAllocBy(8);
  std::unique_ptr<TBitmap> s(Strip(3, 16, 16, false));
  small->AddMasked(s.get(), TColor(RGB(0, 0, 0)));
  return form;
}

TCustomImageList* List(TComponent* form, const char16_t* name) {
  return dynamic_cast<TCustomImageList*>(form->FindComponent(name));
}

}  // namespace

TEST(ImageList, AddedImagesComeBackExactly) {
  TImageList il(4, 2);
  il.SetColorDepth(cd32Bit);
  std::unique_ptr<TBitmap> strip(Strip(3, 4, 2, true));
  EXPECT_EQ(il.Add(strip.get(), nullptr), 0);
  EXPECT_EQ(il.Count(), 3);
  // Straight rows go in premultiplied; GetBitmap gives premultiplied rows, marked so.
  TBitmap b;
  ASSERT_TRUE(il.GetBitmap(2, &b));
  EXPECT_EQ(b.Width(), 4);
  EXPECT_EQ(b.AlphaFormat(), afPremultiplied);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 4; ++x) EXPECT_EQ(Hex(Px(b, x, y)), Hex(PremultiplyPixel(Px(*strip, 8 + x, y))));
  EXPECT_FALSE(il.GetBitmap(3, &b));
  EXPECT_FALSE(il.GetBitmap(0, nullptr));
  // A bitmap narrower than the images adds nothing.
  TBitmap narrow;
  Make32(narrow, 3, 2, 0xFFFFFFFF);
  EXPECT_EQ(il.Add(&narrow, nullptr), -1);
  EXPECT_EQ(il.Add(nullptr, nullptr), -1);
  EXPECT_EQ(il.Count(), 3);
}

TEST(ImageList, ChangesAreAnnouncedByTheRules) {
  TImageList il(nullptr);
  il.SetName(u"Icons");
  TCounter n, linked;
  il.SetOnChange(n.Event());
  auto link = std::make_unique<TChangeLink>();
  link->SetOnChange(linked.Event());
  il.RegisterChanges(link.get());
  EXPECT_EQ(link->Sender(), &il);
  std::unique_ptr<TBitmap> strip(Strip(4, 16, 16, false));
  il.Add(strip.get(), nullptr);
  EXPECT_EQ(n.Count, 1);
  EXPECT_EQ(linked.Count, 1);

  // Resizing to the same size does nothing; to another size it empties the list.
  il.SetSize(16, 16);
  EXPECT_EQ(n.Count, 1);
  il.SetWidth(20);
  EXPECT_EQ(n.Count, 2);
  EXPECT_EQ(il.Count(), 0);

  // An update announces its changes once, at the end.
  il.SetSize(16, 16);
  il.BeginUpdate();
  il.Add(strip.get(), nullptr);
  il.Delete(0);
  il.BeginUpdate();
  il.Move(0, 2);
  il.EndUpdate();
  EXPECT_EQ(n.Count, 3);
  il.EndUpdate();
  EXPECT_EQ(n.Count, 4);
  il.BeginUpdate();
  il.EndUpdate();  // nothing changed
  EXPECT_EQ(n.Count, 4);

  // Changing the storage keeps the images.
  std::vector<std::uint32_t> before = Images(il);
  il.SetMasked(false);
  il.SetColorDepth(cd24Bit);
  EXPECT_EQ(n.Count, 6);
  EXPECT_EQ(il.Count(), 3);
  EXPECT_TRUE(Images(il) == before);

  // Bad indexes name the list and the index.
  try {
    il.Delete(7);
    ADD_FAILURE() << "deleted";
  } catch (const EInvalidOperation& e) {
    EXPECT_NE(std::string(e.what()).find("Icons"), std::string::npos) << e.what();
    EXPECT_NE(std::string(e.what()).find("7"), std::string::npos) << e.what();
  }
  EXPECT_THROW(il.Move(0, 3), EInvalidOperation);
  EXPECT_THROW(il.Replace(-1, strip.get(), nullptr), EInvalidOperation);
  EXPECT_THROW(il.SetSize(0, 16), EInvalidOperation);
  EXPECT_EQ(n.Count, 6);

  // Links unregister when freed, and the list forgets them.
  link.reset();
  il.Clear();
  EXPECT_EQ(linked.Count, 6);
  auto orphan = std::make_unique<TChangeLink>();
  {
    TImageList other(nullptr);
    other.RegisterChanges(orphan.get());
  }
  EXPECT_EQ(orphan->Sender(), nullptr);
}

TEST(ImageList, MoveInsertReplaceAndDeleteKeepTheOrder) {
  TImageList il(2, 1);
  il.SetColorDepth(cd32Bit);
  std::unique_ptr<TBitmap> strip(Strip(5, 2, 1, false));  // blue byte 0, 20, 40, 60, 80
  il.Add(strip.get(), nullptr);
  il.Delete(4);
  auto order = [&] {
    std::string s;
    for (int i = 0; i < il.Count(); ++i) {
      TBitmap b;
      il.GetBitmap(i, &b);
      s += std::to_string((Px(b, 0, 0) & 0xFF) / 20);
    }
    return s;
  };
  EXPECT_EQ(order(), "0123");
  il.Move(0, 2);
  EXPECT_EQ(order(), "1203");
  il.Move(3, 0);
  EXPECT_EQ(order(), "3120");
  TBitmap four;
  Make32(four, 2, 1, 0xFF000050);
  il.Insert(1, &four, nullptr);
  EXPECT_EQ(order(), "34120");
  il.Insert(5, &four, nullptr);
  EXPECT_EQ(order(), "341204");
  il.Replace(0, &four, nullptr);
  EXPECT_EQ(order(), "441204");
  il.ReplaceMasked(2, &four, TColor(RGB(1, 2, 3)));
  EXPECT_EQ(order(), "444204");
  il.Delete(0);
  EXPECT_EQ(order(), "44204");
}

TEST(ImageList, DrawsEnabledAndDisabled) {
  // A 32-bit list: opaque red over a transparent border.
  TImageList il(3, 3);
  il.SetColorDepth(cd32Bit);
  TBitmap img;
  Make32(img, 3, 3, 0);
  Px(img, 1, 1) = 0xFFFF0000;
  img.SetAlphaFormat(afPremultiplied);
  il.Add(&img, nullptr);
  TBitmap t;
  Make32(t, 4, 4, 0xFFFFFFFF);
  il.Draw(t.Canvas(), 0, 0, 0);
  EXPECT_EQ(Hex(Px(t, 1, 1)), "FFFF0000");
  EXPECT_EQ(Hex(Px(t, 0, 0)), "FFFFFFFF");
  il.Draw(t.Canvas(), 1, 1, 0, false);  // grey, alpha kept
  std::uint32_t g = Px(t, 2, 2);
  EXPECT_EQ(g >> 24, 0xFFu);
  EXPECT_EQ((g >> 16) & 0xFF, g & 0xFF);
  EXPECT_EQ((g >> 8) & 0xFF, g & 0xFF);
  EXPECT_TRUE(Near(g, 0xFF4D4D4D, 1));  // red's luminance
  EXPECT_EQ(Hex(Px(t, 3, 3)), "FFFFFFFF");
  il.Draw(t.Canvas(), 0, 0, 5);  // a bad index draws nothing
  il.Draw(nullptr, 0, 0, 0);

  // Other depths: embossed, the shape in the highlight colour shifted under the shadow colour.
  TImageList old(3, 3);
  TBitmap shape;
  Make32(shape, 3, 3, 0xFFFF00FF);
  Px(shape, 0, 0) = 0xFF000000;
  Px(shape, 1, 0) = 0xFF000000;
  old.AddMasked(&shape, clFuchsia);  // a 2 x 1 shape at the top left
  Make32(t, 4, 4, 0xFF00FF00);
  old.Draw(t.Canvas(), 0, 0, 0, false);
  COLORREF shadow = GetSysColor(COLOR_BTNSHADOW), light = GetSysColor(COLOR_BTNHIGHLIGHT);
  EXPECT_EQ(Px(t, 0, 0) & 0xFFFFFF, OpaquePixel(shadow) & 0xFFFFFF);
  EXPECT_EQ(Px(t, 1, 0) & 0xFFFFFF, OpaquePixel(shadow) & 0xFFFFFF);
  EXPECT_EQ(Px(t, 2, 1) & 0xFFFFFF, OpaquePixel(light) & 0xFFFFFF);
  EXPECT_EQ(Px(t, 0, 1) & 0xFFFFFF, 0x00FF00u);
  // Enabled with a background colour: masked pixels take it.
  old.SetBkColor(clBlue);
  old.Draw(t.Canvas(), 0, 0, 0);
  EXPECT_EQ(Hex(Px(t, 2, 2)), "FF0000FF");
  EXPECT_EQ(Hex(Px(t, 0, 0)), "FF000000");
  // GetBitmap of such a list: the image over the background colour, opaque.
  TBitmap got;
  old.GetBitmap(0, &got);
  EXPECT_EQ(got.AlphaFormat(), afIgnored);
  EXPECT_EQ(Hex(Px(got, 2, 2)), "FF0000FF");
}

TEST(ImageList, SharedHandlesOutliveTheList) {
  HIMAGELIST h = ImageList_Create(8, 8, ILC_COLOR32, 1, 1);
  ImageList_SetImageCount(h, 3);
  {
    TImageList il(nullptr);
    il.SetShareImages(true);
    il.SetHandle(h);
    EXPECT_EQ(il.Width(), 8);
    EXPECT_EQ(il.Count(), 3);
  }
  EXPECT_EQ(ImageList_GetImageCount(h), 3);
  {
    TImageList il(nullptr);
    il.SetHandle(h);  // owned now
  }
  EXPECT_FALSE(ImageList_Destroy(h));
}

TEST(ImageList, StoredFormsRoundTripTheDemoList) {
  auto form = DemoForm();
  auto* il = List(form.get(), u"ImageList1");
  ASSERT_EQ(il->Count(), 10);
  std::vector<std::uint32_t> images = Images(*il);
  std::vector<std::uint32_t> small = Images(*List(form.get(), u"ImageList2"));

  String text = WriteComponentText(form.get());
  std::string utf8 = StringToUtf8(text);
  for (const char* expected : {"object ImageList1: TImageList", "ColorDepth = cd32Bit", "Height = 96",
                               "Width = 96", "Bitmap = {", "BkColor = clBtnFace",
                               "DrawingStyle = dsTransparent", "AllocBy = 8"})
    EXPECT_NE(utf8.find(expected), std::string::npos) << expected;
  for (const char* absent : {"Masked", "ShareImages", "ImageType", "BlendColor"})
    EXPECT_EQ(utf8.find(absent), std::string::npos) << absent;

  auto check = [&](TComponent* read) {
    ASSERT_NE(read, nullptr);
    auto* a = List(read, u"ImageList1");
    auto* b = List(read, u"ImageList2");
    ASSERT_TRUE(a && b);
    EXPECT_EQ(a->ColorDepth(), cd32Bit);
    EXPECT_EQ(a->Width(), 96);
    EXPECT_EQ(a->Count(), 10);
    EXPECT_TRUE(Images(*a) == images);
    EXPECT_EQ(b->BkColor(), clBtnFace);
    EXPECT_EQ(b->DrawingStyle(), dsTransparent);
    EXPECT_EQ(b->AllocBy(), 8);
    EXPECT_TRUE(Images(*b) == small);
  };
  // text -> objects
  std::unique_ptr<TComponent> fromText(ReadComponentFromText(text, nullptr, u"demo.txt"));
  check(fromText.get());
  // ... -> text again, unchanged
  EXPECT_EQ(WriteComponentText(fromText.get()), text);
  // objects -> binary -> objects
  std::vector<Byte> binary = WriteComponentBinary(form.get());
  std::unique_ptr<TComponent> fromBinary(ReadComponentData(binary, nullptr, u"demo.bin"));
  check(fromBinary.get());
  // text -> binary (converter) -> objects, and binary -> text
  std::unique_ptr<TComponent> converted(
      ReadComponentData(ObjectTextToBinary(text), nullptr, u"converted.bin"));
  check(converted.get());
  EXPECT_EQ(ObjectBinaryToText(binary), text);

  // StoreBitmap off: no images in the description.
  il->SetStoreBitmap(false);
  String without = WriteComponentText(form.get());
  EXPECT_EQ(StringToUtf8(without).find("Bitmap = {"), StringToUtf8(without).rfind("Bitmap = {"));
}

TEST(ImageList, DamagedImageDataIsRejectedWithTheListsName) {
  auto form = DemoForm();
  std::string text = StringToUtf8(WriteComponentText(form.get()));
  size_t open = text.find("Bitmap = {");
  ASSERT_NE(open, std::string::npos);
  size_t hex = text.find_first_of("0123456789ABCDEF", open + 10);
  ASSERT_EQ(text.substr(hex, 8), "4B58494C");  // "KXIL"

  auto expectError = [&](const std::string& bad, const char* what) {
    try {
      std::unique_ptr<TComponent> r(ReadComponentFromText(Utf8ToString(bad), nullptr, u"bad.txt"));
      ADD_FAILURE() << what << ": accepted";
    } catch (const EReadError& e) {
      EXPECT_NE(std::string(e.what()).find("ImageList1"), std::string::npos) << e.what();
      EXPECT_NE(std::string(e.what()).find(what), std::string::npos) << e.what();
    }
  };
  std::string sig = text;
  sig.replace(hex, 8, "4B58494D");
  expectError(sig, "signature");

  // Cut the picture short: drop the hex lines after the first ones of the block.
  size_t close = text.find('}', hex);
  size_t cutFrom = text.find('\n', hex + 200);
  std::string cut = text.substr(0, cutFrom) + text.substr(text.rfind('\n', close));
  expectError(cut, "truncated");

  // An image count the picture cannot hold.
  std::string count = text;
  size_t countHex = hex + 32;  // offset 16, two hex digits a byte
  count.replace(countHex, 8, "FFFFFF7F");
  expectError(count, "count");
}
