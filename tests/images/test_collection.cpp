// The image collection's answers (sizes, margins, predicates), its pictures and GDI+
// bitmaps, recolouring, copying, references and its stored form in window descriptions.
#include <memory>
#include <string>

#include "tests/support/SharedData.h"
#include "ImagesTest.h"
#include "host/classes/Classes.h"
#include "host/classes/TypInfo.h"
#include "host/rtl/Resources.h"
#include "images/kxGPImageCollection.h"

using namespace imgtest;

namespace {

TkxGPImageCollectionItem* AddPng(TkxGPImageCollection& c, TPngImage* png) {
  TkxGPImageCollectionItem* item = c.Images()->Add();
  item->SetPngImage(png);
  return item;
}

ARGB GPPixel(TGPBitmap* b, int x, int y) {
  ARGB c = 0;
  b->GetPixel(x, y, &c);
  return c;
}

// A form that owns what it reads.
class TImagesForm : public TComponent {
 public:
  static const TClass Class;
  const TClass* ClassType() const override { return &Class; }
  explicit TImagesForm(TComponent* owner) : TComponent(owner) {}
};
const TClass TImagesForm::Class = TClass::Define<TImagesForm, TComponent>(u"TImagesForm");

}  // namespace

TEST(ImageCollection, SizesFollowTheVirtualSizeAndTheScale) {
  TkxGPImageCollection c(nullptr);
  TkxGPImageCollectionItem* item = AddPng(c, SolidPng(233, 50, 0x80FF0000u).get());
  item->SetVirtualWidth(110);
  item->SetVirtualHeight(24);
  EXPECT_EQ(c.GetWidth(0, 1), 110);
  EXPECT_EQ(c.GetWidth(0, 1.5), 165);
  EXPECT_EQ(c.GetHeight(0, 1.5), 36);
  item->SetVirtualWidth(0);
  item->SetVirtualHeight(0);
  EXPECT_EQ(c.GetWidth(0, 1), 233);
  // round(233 * 2.5) = round(582.5) = 582 and round(50 * 1.25) = 62: halves go to even.
  EXPECT_EQ(c.GetWidth(0, 2.5), 582);
  EXPECT_EQ(c.GetHeight(0, 1.25), 62);
  item->SetScaled(false);
  EXPECT_EQ(c.GetWidth(0, 2), 233);
  EXPECT_EQ(c.GetHeight(0, 2), 50);

  // Margins and content margins, scaled and rounded; Left/Top/Right/Bottom in that order.
  item->SetScaled(true);
  item->Options()->SetLeftMargin(3);
  item->Options()->SetTopMargin(5);
  item->Options()->SetRightMargin(7);
  item->Options()->SetBottomMargin(1);
  item->SetContentLeftMargin(2);
  item->SetContentTopMargin(4);
  item->SetContentRightMargin(6);
  item->SetContentBottomMargin(9);
  EXPECT_EQ(c.GetMargins(0, 1.5), TRect(4, 8, 10, 2));  // 4.5 -> 4, 7.5 -> 8, 10.5 -> 10
  EXPECT_EQ(c.GetContentMargins(0, 1.5), TRect(3, 6, 9, 14));  // 13.5 -> 14

  // Out of range, or an item without a picture: zeros and no errors.
  c.Images()->Add();
  for (int bad : {-1, 1, 2, 100}) {
    EXPECT_EQ(c.GetWidth(bad, 1), 0) << bad;
    EXPECT_EQ(c.GetMargins(bad, 1), TRect()) << bad;
    EXPECT_FALSE(c.IsIndexAvailable(bad)) << bad;
    EXPECT_FALSE(c.IsSolidDrawing(bad)) << bad;
    EXPECT_FALSE(c.NeedFullUpdate(bad)) << bad;
    EXPECT_FALSE(c.IsStretchTileDrawing(bad)) << bad;
  }
  EXPECT_EQ(c.Count(), 2);
  EXPECT_TRUE(c.IsIndexAvailable(0));
  // The base class answers nothing at all.
  TkxCustomImageCollection base(nullptr);
  EXPECT_EQ(base.Count(), 0);
  EXPECT_EQ(base.GetWidth(0, 1), 0);
  EXPECT_FALSE(base.IsIndexAvailable(0));
}

TEST(ImageCollection, SolidDrawingNeedsOpaquePixelsCoveringTheDestination) {
  KX_REQUIRE_PNGSUITE();
  TkxGPImageCollection c(nullptr);
  TkxGPImageCollectionItem* opaque = AddPng(c, SolidPng(16, 16, 0xFF00FF00u).get());
  TkxGPImageCollectionItem* alpha = c.Images()->Add();
  alpha->LoadPngFromFile(Utf8ToString(SharedPng("basn6a08")));  // RGBA with partial alpha
  TkxGPImageCollectionItem* keyed = c.Images()->Add();
  keyed->LoadPngFromFile(Utf8ToString(SharedPng("tbbn3p08")));  // palette with transparent entries
  ASSERT_EQ(alpha->PngImage()->TransparencyMode(), ptmPartial);
  ASSERT_NE(keyed->PngImage()->TransparencyMode(), ptmNone);

  for (auto* item : {opaque, alpha, keyed}) item->SetDrawStyle(idsStretch);
  EXPECT_TRUE(c.IsSolidDrawing(0));
  EXPECT_FALSE(c.IsSolidDrawing(1));  // an alpha channel, even stretched
  EXPECT_FALSE(c.IsSolidDrawing(2));  // fully transparent pixels show what is beneath
  EXPECT_FALSE(opaque->Transparent());
  EXPECT_TRUE(alpha->Transparent());
  EXPECT_TRUE(keyed->Transparent());

  opaque->SetDrawStyle(idsTile);
  EXPECT_TRUE(c.IsSolidDrawing(0));
  opaque->SetDrawStyle(idsCenter);
  EXPECT_FALSE(c.IsSolidDrawing(0));
  EXPECT_FALSE(c.IsStretchTileDrawing(0));
  // Draws that leave part of the destination uncovered are not solid either.
  opaque->SetDrawStyle(idsStretch);
  opaque->SetProportional(true);
  EXPECT_FALSE(c.IsSolidDrawing(0));
  EXPECT_TRUE(c.IsStretchTileDrawing(0));
  opaque->SetProportional(false);
  opaque->Options()->SetLeftMargin(4);
  opaque->Options()->SetRightMargin(4);
  EXPECT_TRUE(c.IsSolidDrawing(0));
  opaque->Options()->SetDrawOnlyBorder(true);
  EXPECT_FALSE(c.IsSolidDrawing(0));
  opaque->Options()->SetDrawOnlyBorder(false);
  opaque->Options()->SetLeftMargin(0);
  opaque->SetDrawStyle(idsTile);
  opaque->SetTileOffsetX(2);
  EXPECT_FALSE(c.IsSolidDrawing(0));
  opaque->SetTileOffsetX(-2);
  EXPECT_TRUE(c.IsSolidDrawing(0));

  // A 32-bit bitmap is transparent, a 24-bit one opaque.
  TkxGPImageCollectionItem* bmpItem = c.Images()->Add();
  bmpItem->SetDrawStyle(idsStretch);
  TBitmap b;
  b.SetPixelFormat(pf24bit);
  b.SetSize(4, 4);
  bmpItem->SetBitmap(&b);
  EXPECT_TRUE(c.IsSolidDrawing(3));
  bmpItem->Bitmap()->SetPixelFormat(pf32bit);
  EXPECT_FALSE(c.IsSolidDrawing(3));
}

TEST(ImageCollection, FullUpdateFollowsWhatDependsOnTheDestinationSize) {
  TkxGPImageCollection c(nullptr);
  TkxGPImageCollectionItem* item = AddPng(c, SolidPng(8, 8, 0xFF000000u).get());
  for (int s = 0; s < kxImageDrawStyleCount; ++s) {
    auto style = TkxImageDrawStyle(s);
    item->SetDrawStyle(style);
    // Anchored at the top-left corner, a growing destination only adds to what was drawn.
    bool anchored = style == idsTile || style == idsTopLeft || style == idsTopTile || style == idsLeftTile;
    EXPECT_EQ(c.NeedFullUpdate(0), !anchored) << StringToUtf8(EnumName(style));
  }
  // Slicing follows the destination whatever the style.
  item->SetDrawStyle(idsTopLeft);
  item->Options()->SetTopMargin(2);
  item->Options()->SetBottomMargin(2);
  EXPECT_TRUE(c.NeedFullUpdate(0));
  item->SetDrawStyle(idsTile);
  item->Options()->SetLeftMargin(2);
  item->Options()->SetRightMargin(2);
  EXPECT_TRUE(c.NeedFullUpdate(0));
}

TEST(ImageCollection, PicturesBuildTheGdiPlusBitmapWhicheverWayTheyArrive) {
  KX_REQUIRE_PNGSUITE();
  TkxGPImageCollection c(nullptr);
  TkxGPImageCollectionItem* item = c.Images()->Add();
  EXPECT_EQ(item->GPB(), nullptr);
  EXPECT_EQ(item->NeedGPB(), nullptr);  // no picture, nothing to build

  item->LoadPngFromFile(Utf8ToString(SharedPng("basn6a08")));
  ASSERT_NE(item->GPB(), nullptr);
  EXPECT_EQ(item->GPB()->GetWidth(), 32u);
  EXPECT_EQ(GPPixel(item->GPB(), 5, 7), item->PngImage()->Pixel(5, 7));
  EXPECT_EQ(c.GetWidth(0, 1), 32);

  // Loading into the picture directly rebuilds it as well.
  item->PngImage()->Assign(SolidPng(12, 6, 0xFF123456u).get());
  ASSERT_NE(item->GPB(), nullptr);
  EXPECT_EQ(item->GPB()->GetWidth(), 12u);
  EXPECT_EQ(GPPixel(item->GPB(), 3, 3), 0xFF123456u);

  // Not a PNG: the reader's error, and the picture and GPB stay.
  TBytesStream junk(std::vector<Byte>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10});
  EXPECT_THROW(item->LoadPngFromStream(&junk), EInvalidGraphic);
  EXPECT_EQ(item->GPB()->GetWidth(), 12u);
  EXPECT_THROW(item->LoadPngFromFile(u"/nonexistent/none.png"), Exception);
  EXPECT_EQ(item->PngImage()->Width(), 12);

  // From an embedded resource (RCDATA), and a missing one named in the error.
  static const std::vector<Byte> file = [] {
    std::vector<std::uint32_t> px(4 * 3, 0xFF00AA00u);
    return EncodePng(px.data(), 4, 3, 4);
  }();
  RegisterResource("RCDATA", "KXTESTPNG", file.data(), file.size());
  item->LoadPngFromResourceName(0, u"KXTESTPNG");
  EXPECT_EQ(item->GPB()->GetWidth(), 4u);
  try {
    item->LoadPngFromResourceName(0, u"KXNOSUCHPNG");
    ADD_FAILURE() << "loaded a resource that does not exist";
  } catch (const Exception& e) {
    EXPECT_NE(StringToUtf8(e.Message()).find("KXNOSUCHPNG"), std::string::npos) << StringToUtf8(e.Message());
  }
  EXPECT_EQ(item->GPB()->GetWidth(), 4u);
  item->PngImage()->Assign(SolidPng(12, 6, 0xFF123456u).get());

  // A bitmap takes precedence; premultiplied rows are read back to straight colours.
  TBitmap b;
  b.SetPixelFormat(pf32bit);
  b.SetSize(3, 2);
  b.SetAlphaFormat(afPremultiplied);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) static_cast<std::uint32_t*>(b.ScanLine(y))[x] = 0x80400000u;
  item->SetBitmap(&b);
  ASSERT_NE(item->GPB(), nullptr);
  EXPECT_EQ(item->GPB()->GetWidth(), 3u);
  EXPECT_EQ(GPPixel(item->GPB(), 1, 1), 0x80800000u);
  // Changes of the owned bitmap rebuild it; the copy never follows the bitmap's memory.
  item->Bitmap()->SetSize(5, 5);
  EXPECT_EQ(item->GPB()->GetWidth(), 5u);
  // A 32-bit bitmap without any alpha is opaque.
  TBitmap noAlpha;
  noAlpha.SetPixelFormat(pf32bit);
  noAlpha.SetSize(2, 2);
  static_cast<std::uint32_t*>(noAlpha.ScanLine(0))[0] = 0x00ABCDEFu;
  item->SetBitmap(&noAlpha);
  EXPECT_EQ(GPPixel(item->GPB(), 0, 0), 0xFFABCDEFu);
  // Emptying the PNG through the item leaves the bitmap's picture.
  item->SetPngImage(nullptr);
  ASSERT_NE(item->GPB(), nullptr);
  EXPECT_EQ(item->GPB()->GetWidth(), 2u);
  EXPECT_EQ(c.GetWidth(0, 1), 2);
  // Emptying both pictures frees it.
  item->Bitmap()->SetSize(0, 0);
  item->PngImage()->Assign(nullptr);
  EXPECT_EQ(item->GPB(), nullptr);
  EXPECT_FALSE(c.IsIndexAvailable(0));
}

TEST(ImageCollection, RecolouringKeepsAlphaAndLivesOnlyInTheBitmap) {
  KX_REQUIRE_PNGSUITE();
  TkxGPImageCollection c(nullptr);
  TkxGPImageCollectionItem* item = c.Images()->Add();
  item->LoadPngFromFile(Utf8ToString(SharedPng("basn6a08")));
  const TPngImage* png = item->PngImage();
  EXPECT_EQ(item->Color(), clFuchsia);

  item->SetColor(clRed);
  TGPBitmap* gpb = item->GPB();
  int w = int(gpb->GetWidth()), h = int(gpb->GetHeight());
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      ARGB p = GPPixel(gpb, x, y);
      ASSERT_EQ(p >> 24, png->Pixel(x, y) >> 24) << x << "," << y;
      ASSERT_EQ(p & 0xFFFFFFu, 0xFF0000u) << x << "," << y;
    }
  // The same RGB value again (here through a system colour resolving to it) changes nothing.
  item->SetColor(clHighlight);
  COLORREF hl = ColorToRGB(clHighlight);
  EXPECT_EQ(GPPixel(item->GPB(), 0, 0) & 0xFFFFFFu,
            (ARGB(GetRValue(hl)) << 16) | (ARGB(GetGValue(hl)) << 8) | GetBValue(hl));
  gpb->SetPixel(0, 0, 0x11223344u);
  item->SetColor(TColor(hl));
  EXPECT_EQ(GPPixel(item->GPB(), 0, 0), 0x11223344u);
  // A rebuild restores the picture's own colours.
  item->ImageChanged();
  EXPECT_EQ(GPPixel(item->GPB(), 9, 9), png->Pixel(9, 9));

  // An opaque item is not recoloured.
  TkxGPImageCollectionItem* opaque = AddPng(c, SolidPng(4, 4, 0xFF0000FFu).get());
  opaque->SetColor(clLime);
  EXPECT_EQ(opaque->Color(), clLime);
  EXPECT_EQ(GPPixel(opaque->GPB(), 1, 1), 0xFF0000FFu);
  // A 32-bit bitmap is: its alpha kept.
  TkxGPImageCollectionItem* bmp = c.Images()->Add();
  TBitmap b;
  b.SetPixelFormat(pf32bit);
  b.SetSize(2, 1);
  static_cast<std::uint32_t*>(b.ScanLine(0))[0] = 0x40102030u;
  static_cast<std::uint32_t*>(b.ScanLine(0))[1] = 0xFF102030u;
  bmp->SetBitmap(&b);
  bmp->SetColor(clBlue);
  EXPECT_EQ(GPPixel(bmp->GPB(), 0, 0), 0x400000FFu);
  EXPECT_EQ(GPPixel(bmp->GPB(), 1, 0), 0xFF0000FFu);
  EXPECT_EQ(static_cast<std::uint32_t*>(bmp->Bitmap()->ScanLine(0))[0], 0x40102030u);  // the bitmap is untouched
}

TEST(ImageCollection, ItemsAndCollectionsCopy) {
  KX_REQUIRE_PNGSUITE();
  TkxGPImageCollection a(nullptr);
  TkxGPImageCollectionItem* src = a.Images()->Add();
  src->LoadPngFromFile(Utf8ToString(SharedPng("basn6a08")));
  src->SetDrawStyle(idsHorzCenterTile);
  src->SetVirtualWidth(40);
  src->SetTileOffsetY(3);
  src->SetDescription(u"wallpaper");
  src->SetScaled(false);
  src->SetInterpolationModeHighQuality(false);
  src->Options()->SetTopMargin(6);
  src->Options()->SetStretchBorder(true);
  src->SetContentBottomMargin(5);
  src->SetColor(clRed);

  TkxGPImageCollection b(nullptr);
  TkxGPImageCollectionItem* dst = b.Images()->Add();
  EXPECT_NO_THROW(dst->Assign(src));
  EXPECT_EQ(dst->DrawStyle(), idsHorzCenterTile);
  EXPECT_EQ(dst->VirtualWidth(), 40);
  EXPECT_EQ(dst->TileOffsetY(), 3);
  EXPECT_EQ(dst->Description(), u"wallpaper");
  EXPECT_FALSE(dst->Scaled());
  EXPECT_FALSE(dst->InterpolationModeHighQuality());
  EXPECT_EQ(dst->Options()->TopMargin(), 6);
  EXPECT_TRUE(dst->Options()->StretchBorder());
  EXPECT_EQ(dst->ContentBottomMargin(), 5);
  EXPECT_EQ(dst->DisplayName(), u"wallpaper");
  // Its own pictures and GPB, built from the picture, not from the recoloured source.
  ASSERT_NE(dst->GPB(), nullptr);
  EXPECT_NE(dst->GPB(), src->GPB());
  EXPECT_EQ(GPPixel(dst->GPB(), 9, 9), src->PngImage()->Pixel(9, 9));
  src->PngImage()->Assign(nullptr);
  EXPECT_EQ(dst->PngImage()->Width(), 32);

  // Whole collections, and a component copying from an image collection.
  a.Images()->Add()->SetDescription(u"second");
  TkxGPImageCollection copy(nullptr);
  EXPECT_NO_THROW(copy.Assign(&a));
  ASSERT_EQ(copy.Count(), 2);
  EXPECT_EQ(copy.Images()->GetItem(1)->Description(), u"second");
  EXPECT_THROW(copy.Images()->GetItem(0)->Assign(copy.Images()), EConvertError);
}

TEST(ImageCollection, ItemsBelongToTheirCollection) {
  TImagesForm form(nullptr);
  form.SetName(u"Form1");
  auto* c = new TkxGPImageCollection(&form);
  c->SetName(u"kxGPImageCollection1");
  TkxGPImageCollectionItem* item = c->Images()->Add();
  EXPECT_EQ(c->Images()->ImageCollection(), c);
  EXPECT_EQ(c->Images()->GetOwner(), c);
  EXPECT_EQ(StringToUtf8(item->GetNamePath()), "kxGPImageCollection1.Images[0]");
  EXPECT_EQ(c->Item(0), item);
  EXPECT_EQ(c->Item(1), nullptr);
  EXPECT_THROW(c->Images()->GetItem(3), EListError);
}
