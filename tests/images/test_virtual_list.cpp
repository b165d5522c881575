// The virtual image list: sizes at each scale, rebuilding from the sources (never from the
// previous size), drawing enabled and disabled, references, change notifications and the
// stored form.
#include <cmath>
#include <memory>
#include <string>

#include "ImagesTest.h"
#include "host/classes/Classes.h"
#include "host/classes/TypInfo.h"
#include "host/graphics/ImgList.h"
#include "images/kxGPImages.h"

using namespace imgtest;

namespace {

// Picture i of the source artwork: 96 x 96 with fine detail (one-pixel stripes whose phase
// depends on i, a diagonal, a solid block), opaque everywhere.
std::uint32_t Artwork(int i, int x, int y) {
  if (x >= 60 && y >= 60) return 0xFF000000u | std::uint32_t(0x10 * (i + 1)) << 16;
  if (x == y) return 0xFFFFFFFFu;
  return ((x + i) & 1) ? 0xFF2040C0u : 0xFFE0A020u;
}

void FillBitmap(TBitmap& b, int w, int h, const TPixelFn& f) {
  b.SetPixelFormat(pf32bit);
  b.SetSize(w, h);
  b.SetAlphaFormat(afDefined);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) static_cast<std::uint32_t*>(b.ScanLine(y))[x] = f(x, y);
}

// A 32-bit host list of `n` pictures of 96 x 96.
std::unique_ptr<TImageList> SourceList(int n, TComponent* owner = nullptr) {
  auto list = std::make_unique<TImageList>(96, 96, owner);
  list->SetColorDepth(cd32Bit);
  for (int i = 0; i < n; ++i) {
    TBitmap b;
    FillBitmap(b, 96, 96, [i](int x, int y) { return Artwork(i, x, y); });
    list->Add(&b, nullptr);
  }
  return list;
}

// DefaultWidth and DefaultHeight `size`, scaled by `factor`.
void Size(TkxGPVirtualImageList& l, int size, double factor = 1) {
  l.SetDefaultWidth(size);
  l.SetDefaultHeight(size);
  l.SetScaleFactor(factor);
}

class TCounter : public TObject {
 public:
  void Hit(TObject*) {
    ++Count;
    if (List) {
      SeenCount = List->Count();
      SeenWidth = List->Width();
    }
  }
  TCustomImageList* List = nullptr;
  int Count = 0, SeenCount = -1, SeenWidth = -1;
};

std::vector<std::uint32_t> Drawn(TCustomImageList& l, int index, bool enabled = true) {
  TSurface s(l.Width(), l.Height());
  l.Draw(&s.Canvas, 0, 0, index, enabled);
  return s.Snapshot();
}

std::vector<std::uint32_t> Stored(TCustomImageList& l, int index) {
  TBitmap b;
  EXPECT_TRUE(l.GetBitmap(index, &b));
  std::vector<std::uint32_t> out;
  for (int y = 0; y < b.Height(); ++y)
    for (int x = 0; x < b.Width(); ++x) out.push_back(static_cast<std::uint32_t*>(b.ScanLine(y))[x]);
  return out;
}

class TListForm : public TComponent {
 public:
  static const TClass Class;
  const TClass* ClassType() const override { return &Class; }
  explicit TListForm(TComponent* owner) : TComponent(owner) {}
};
const TClass TListForm::Class = TClass::Define<TListForm, TComponent>(u"TListForm");

}  // namespace

TEST(VirtualImageList, SizesFollowTheScaleFactorRoundedToEven) {
  TkxGPVirtualImageList l(nullptr);
  EXPECT_EQ(l.Width(), 16);
  EXPECT_TRUE(l.DirectDraw());
  EXPECT_FALSE(l.StoreBitmap());
  l.SetScaleFactor(1.25);
  EXPECT_EQ(l.Width(), 20);
  l.SetDefaultWidth(24);
  l.SetDefaultHeight(18);
  l.SetScaleFactor(1.5);
  EXPECT_EQ(l.Width(), 36);
  EXPECT_EQ(l.Height(), 27);
  l.SetScaleFactor(1.25);  // 30 x 22.5
  EXPECT_EQ(l.Width(), 30);
  EXPECT_EQ(l.Height(), 22);
  for (double ignored : {-1.0, std::nan(""), double(INFINITY)}) {
    l.SetScaleFactor(ignored);
    EXPECT_EQ(l.Width(), 30) << ignored;
  }
  // A side that rounds to nothing keeps one pixel.
  l.SetScaleFactor(0);
  EXPECT_EQ(l.Width(), 1);
  EXPECT_EQ(l.Height(), 1);
}

TEST(VirtualImageList, RebuildsAtEveryScaleWithGlyphsOfExactlyThatSize) {
  auto src = SourceList(10);
  TkxGPImageCollection coll(nullptr);
  for (int i = 0; i < 3; ++i)
    coll.Images()->Add()->SetPngImage(MakePng(96, 96, [i](int x, int y) { return Artwork(i, x, y); }).get());
  for (bool fromCollection : {false, true}) {
    for (bool direct : {true, false}) {
      SCOPED_TRACE(std::string(fromCollection ? "collection" : "image list") + (direct ? ", direct" : ", stored"));
      TkxGPVirtualImageList l(nullptr);
      l.SetDirectDraw(direct);
      l.SetDefaultWidth(24);
      l.SetDefaultHeight(24);
      if (fromCollection)
        l.SetSourceImageCollection(&coll);
      else
        l.SetSourceImageList(src.get());
      int n = fromCollection ? 3 : 10;
      for (double f : {1.0, 1.25, 1.5, 2.0}) {
        l.SetScaleFactor(f);
        int size = int(std::lround(24 * f));
        ASSERT_EQ(l.Width(), size) << f;
        ASSERT_EQ(l.Count(), n) << f;
        // Each glyph fills exactly its cell.
        TSurface s(3 * size, 2 * size);
        l.Draw(&s.Canvas, size, size / 2, n - 1);
        EXPECT_EQ(s.Ink(TRect(0, 0, 3 * size, 2 * size)), size * size) << f;
        EXPECT_EQ(s.Ink(TRect(size, size / 2, 2 * size, size / 2 + size)), size * size) << f;
        // The solid block of the artwork lands in the bottom-right part of the cell.
        std::uint32_t block = s.At(2 * size - 2, size / 2 + size - 2);
        EXPECT_EQ(block, 0xFF000000u | std::uint32_t(0x10 * n) << 16) << f;
      }
    }
  }
}

TEST(VirtualImageList, EverySizeIsRenderedFromTheSourceNotFromThePreviousSize) {
  auto src = SourceList(4);
  for (bool direct : {false, true}) {
    SCOPED_TRACE(direct ? "direct" : "stored");
    TkxGPVirtualImageList travelled(nullptr);
    travelled.SetDirectDraw(direct);
    Size(travelled, 24, 1);
    travelled.SetSourceImageList(src.get());
    std::vector<std::vector<std::uint32_t>> small;
    for (int i = 0; i < 4; ++i) small.push_back(Drawn(travelled, i));
    for (double f : {1.25, 2.0, 1.0, 1.5, 2.0}) travelled.SetScaleFactor(f);

    TkxGPVirtualImageList fresh(nullptr);
    fresh.SetDirectDraw(direct);
    Size(fresh, 24, 2.0);
    fresh.SetSourceImageList(src.get());
    for (int i = 0; i < 4; ++i) {
      std::vector<std::uint32_t> a = Drawn(travelled, i), b = Drawn(fresh, i);
      EXPECT_EQ(a, b) << i;
      if (!direct) {
        EXPECT_EQ(Stored(travelled, i), Stored(fresh, i)) << i;
      }
      // Blowing up the 24-pixel glyph gives something else: the stripes are gone from it.
      std::vector<std::uint32_t> upscaled(48 * 48);
      for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 48; ++x) upscaled[size_t(y) * 48 + x] = small[i][size_t(y / 2) * 24 + x / 2];
      EXPECT_NE(a, upscaled) << i;
    }
  }
}

TEST(VirtualImageList, UsersHearOfARebuildOnceWhenItIsComplete) {
  auto src = SourceList(10);
  TkxGPVirtualImageList l(nullptr);
  Size(l, 24, 1);
  TCounter counter;
  counter.List = &l;
  TChangeLink link;
  link.SetOnChange(TNotifyEvent(&counter, &TCounter::Hit));
  l.RegisterChanges(&link);
  l.SetSourceImageList(src.get());
  EXPECT_EQ(counter.Count, 1);
  EXPECT_EQ(counter.SeenCount, 10);
  l.SetScaleFactor(1.5);
  EXPECT_EQ(counter.Count, 2);
  EXPECT_EQ(counter.SeenCount, 10);
  EXPECT_EQ(counter.SeenWidth, 36);
  // The factor that produced the current size changes nothing.
  l.SetScaleFactor(1.5);
  l.SetScaleFactor(1.49);  // round(35.76) = 36 as well
  EXPECT_EQ(counter.Count, 2);
  l.SetScaleFactor(-2);
  EXPECT_EQ(counter.Count, 2);
}

TEST(VirtualImageList, OnlyA32BitListIsTakenAsSource) {
  auto good = SourceList(2);
  TImageList rgb(96, 96, nullptr);
  rgb.SetColorDepth(cd24Bit);
  TkxGPVirtualImageList l(nullptr);
  l.SetSourceImageList(&rgb);
  EXPECT_EQ(l.SourceImageList(), nullptr);
  l.SetSourceImageList(good.get());
  l.SetSourceImageList(&rgb);
  EXPECT_EQ(l.SourceImageList(), good.get());
  EXPECT_EQ(l.Count(), 2);
  l.SetSourceImageList(nullptr);
  EXPECT_EQ(l.SourceImageList(), nullptr);
  EXPECT_EQ(l.Count(), 0);
}

TEST(VirtualImageList, DisabledPicturesFade) {
  auto src = SourceList(1);
  TkxGPImageCollection coll(nullptr);
  coll.Images()->Add()->SetPngImage(SolidPng(96, 96, 0xFFFF0000u).get());
  TkxGPVirtualImageList l(nullptr);
  Size(l, 24, 1);
  // From a 96 x 96 image list: scaled into the 24 x 24 cell, at a quarter of its alpha.
  l.SetSourceImageList(src.get());
  TSurface s(24, 24);
  l.Draw(&s.Canvas, 0, 0, 0, false);
  EXPECT_EQ(s.Alpha(5, 5), 255 / 4);
  EXPECT_EQ(s.Alpha(22, 22), 255 / 4);
  // From a collection: blended at 125 of 255.
  l.SetSourceImageList(nullptr);
  l.SetSourceImageCollection(&coll);
  TSurface t(24, 24);
  l.Draw(&t.Canvas, 0, 0, 0, false);
  EXPECT_EQ(t.At(12, 12), 0x7D7D0000u);
  EXPECT_EQ(t.Ink(TRect(0, 0, 24, 24)), 24 * 24);
  // Stored entries fade the same way.
  l.SetDirectDraw(false);
  EXPECT_EQ(l.ColorDepth(), cd32Bit);
  TSurface u(24, 24);
  l.Draw(&u.Canvas, 0, 0, 0, false);
  EXPECT_EQ(u.At(12, 12), 0x7D7D0000u);
  TSurface e(24, 24);
  l.Draw(&e.Canvas, 0, 0, 0, true);
  EXPECT_EQ(e.At(12, 12), 0xFFFF0000u);
}

TEST(VirtualImageList, EntriesArePlaceholdersUnlessStored) {
  TkxGPImageCollection coll(nullptr);
  coll.Images()->Add()->SetPngImage(SolidPng(96, 96, 0xFF00FF00u).get());
  TkxGPVirtualImageList l(nullptr);
  l.SetSourceImageCollection(&coll);
  ASSERT_EQ(l.Count(), 1);
  for (std::uint32_t p : Stored(l, 0)) ASSERT_EQ(p & 0xFFFFFFu, 0u);  // a blank placeholder
  EXPECT_EQ(Drawn(l, 0)[8 * 16 + 8], 0xFF00FF00u);                   // drawn from the source
  l.SetDirectDraw(false);
  ASSERT_EQ(l.Count(), 1);
  EXPECT_EQ(Stored(l, 0)[8 * 16 + 8], 0xFF00FF00u);
  // A stored list keeps drawing its entries when the source is gone.
  coll.Images()->GetItem(0)->PngImage()->Assign(SolidPng(96, 96, 0xFF0000FFu).get());
  EXPECT_EQ(Drawn(l, 0)[8 * 16 + 8], 0xFF00FF00u);
  l.Rebuild();
  EXPECT_EQ(Drawn(l, 0)[8 * 16 + 8], 0xFF0000FFu);
}

TEST(VirtualImageList, ProportionalCollectionItemsAreFittedAndBothSourcesCombine) {
  TkxGPImageCollection coll(nullptr);
  TkxGPImageCollectionItem* wide = coll.Images()->Add();
  wide->SetPngImage(SolidPng(40, 20, 0xFF0000FFu).get());
  wide->SetDrawStyle(idsStretch);
  wide->SetProportional(true);
  coll.Images()->Add()->SetPngImage(SolidPng(40, 20, 0xFFFF0000u).get());
  TkxGPVirtualImageList l(nullptr);
  Size(l, 24, 1);
  l.SetSourceImageCollection(&coll);
  TSurface s(24, 24);
  l.Draw(&s.Canvas, 0, 0, 0);
  EXPECT_EQ(s.Ink(TRect(0, 0, 24, 24)), 24 * 12);  // 24 x 12, centred
  EXPECT_EQ(s.Ink(TRect(0, 6, 24, 18)), 24 * 12);
  TSurface t(24, 24);
  l.Draw(&t.Canvas, 0, 0, 1);  // not proportional: stretched over the cell
  EXPECT_EQ(t.Ink(TRect(0, 0, 24, 24)), 24 * 24);

  // Both sources: as many entries as the image list has, the pictures from the collection.
  auto src = SourceList(5);
  l.SetSourceImageList(src.get());
  EXPECT_EQ(l.Count(), 5);
  EXPECT_EQ(Drawn(l, 1)[12 * 24 + 12], 0xFFFF0000u);
  TSurface none(24, 24);
  l.Draw(&none.Canvas, 0, 0, 3);  // beyond the collection: nothing
  EXPECT_EQ(none.Ink(TRect(0, 0, 24, 24)), 0);
}

TEST(VirtualImageList, UpdateFollowsTheSourceCountWithoutRendering) {
  TkxGPImageCollection coll(nullptr);
  for (int i = 0; i < 3; ++i) coll.Images()->Add()->SetPngImage(SolidPng(8, 8, 0xFF101010u).get());
  TkxGPVirtualImageList l(nullptr);
  l.SetSourceImageCollection(&coll);
  ASSERT_EQ(l.Count(), 3);
  coll.Images()->Add()->SetPngImage(SolidPng(8, 8, 0xFF202020u).get());
  coll.Images()->Add();
  l.Update();
  EXPECT_EQ(l.Count(), 5);
  coll.Images()->Delete(0);
  coll.Images()->Delete(0);
  l.Update();
  EXPECT_EQ(l.Count(), 3);
  l.Update();
  EXPECT_EQ(l.Count(), 3);
  l.SetSourceImageCollection(nullptr);
  l.Update();
  EXPECT_EQ(l.Count(), 0);
}

TEST(VirtualImageList, RemovedSourcesAreForgotten) {
  auto* coll = new TkxGPImageCollection(nullptr);
  coll->Images()->Add()->SetPngImage(SolidPng(8, 8, 0xFF00FF00u).get());
  auto src = SourceList(2);
  TkxGPVirtualImageList l(nullptr);
  l.SetSourceImageCollection(coll);
  ASSERT_EQ(l.Count(), 1);
  delete coll;
  EXPECT_EQ(l.SourceImageCollection(), nullptr);
  EXPECT_EQ(l.Count(), 1);  // the entries stay
  TSurface s(16, 16);
  l.Draw(&s.Canvas, 0, 0, 0);
  EXPECT_EQ(s.Ink(TRect(0, 0, 16, 16)), 0);
  l.SetSourceImageList(src.get());
  EXPECT_EQ(l.Count(), 2);
  src.reset();
  EXPECT_EQ(l.SourceImageList(), nullptr);
  l.Draw(&s.Canvas, 0, 0, 0);
  EXPECT_EQ(s.Ink(TRect(0, 0, 16, 16)), 0);

  // The list going first leaves the sources intact.
  auto src2 = SourceList(1);
  {
    TkxGPVirtualImageList gone(nullptr);
    gone.SetSourceImageList(src2.get());
  }
  EXPECT_EQ(src2->Count(), 1);
}

TEST(VirtualImageList, InterpolationModeReachesCollectionPictures) {
  TkxGPImageCollection coll(nullptr);
  coll.Images()->Add()->SetPngImage(MakePng(96, 96, [](int x, int y) { return Artwork(0, x, y); }).get());
  TkxGPVirtualImageList a(nullptr), b(nullptr);
  b.SetInterpolationMode(kxgppimHighQualityBilinear);
  for (auto* l : {&a, &b}) {
    Size(*l, 30, 1);
    l->SetSourceImageCollection(&coll);
  }
  EXPECT_NE(Drawn(a, 0), Drawn(b, 0));
  // The pixel offset mode moves the sampling grid.
  TkxGPVirtualImageList c(nullptr);
  c.SetPixelOffsetMode(kxgppomHighQuality);
  Size(c, 30, 1);
  c.SetSourceImageCollection(&coll);
  EXPECT_NE(Drawn(a, 0), Drawn(c, 0));
}

TEST(VirtualImageList, StoredWithoutPicturesAndRebuiltAfterLoading) {
  RegisterImageClasses();
  RegisterClass(&TListForm::Class);
  TListForm form(nullptr);
  form.SetName(u"Form1");
  auto src = SourceList(10, &form);
  src->SetName(u"ImageList1");
  auto* l = new TkxGPVirtualImageList(&form);
  l->SetName(u"kxGPVirtualImageList1");
  Size(*l, 24, 1);
  l->SetInterpolationMode(kxgppimHighQualityBilinear);
  l->SetSourceImageList(src.get());
  ASSERT_EQ(l->Count(), 10);
  std::string text = StringToUtf8(WriteComponentText(&form));
  std::string want =
      "  object kxGPVirtualImageList1: TkxGPVirtualImageList\r\n"
      "    DirectDraw = True\r\n"
      "    PixelOffsetMode = kxgppomDefault\r\n"
      "    InterpolationMode = kxgppimHighQualityBilinear\r\n"
      "    Width = 24\r\n"
      "    Height = 24\r\n"
      "    DefaultWidth = 24\r\n"
      "    DefaultHeight = 24\r\n"
      "    SourceImageList = ImageList1\r\n"
      "  end\r\n";
  EXPECT_NE(text.find(want), std::string::npos) << text.substr(text.find("  object kxGPVirtual"));

  std::vector<Byte> binary = WriteComponentBinary(&form);
  std::unique_ptr<TComponent> read(ReadComponentData(binary, nullptr));
  auto* rl = dynamic_cast<TkxGPVirtualImageList*>(read->FindComponent(u"kxGPVirtualImageList1"));
  ASSERT_NE(rl, nullptr);
  EXPECT_EQ(rl->SourceImageList(), read->FindComponent(u"ImageList1"));
  EXPECT_EQ(rl->Count(), 10);
  EXPECT_EQ(rl->Width(), 24);
  EXPECT_EQ(rl->InterpolationMode(), kxgppimHighQualityBilinear);
  EXPECT_EQ(Drawn(*rl, 3), Drawn(*l, 3));
  EXPECT_EQ(WriteComponentBinary(read.get()), binary);
  src.release();  // owned by the form
}

TEST(VirtualImageList, ASizeChosenInTheDesignerBecomesTheScaleOneSize) {
  TkxGPVirtualImageList l(nullptr);
  EXPECT_TRUE(l.InheritsFrom(&TkxCustomImageList::Class));
  l.SetDesigning(true);
  l.SetSize(32, 20);
  EXPECT_EQ(l.DefaultWidth(), 32);
  EXPECT_EQ(l.DefaultHeight(), 20);
  l.SetDesigning(false);
  l.SetSize(16, 16);
  EXPECT_EQ(l.DefaultWidth(), 32);
  l.SetScaleFactor(2);
  EXPECT_EQ(l.Width(), 64);
  EXPECT_EQ(l.Height(), 40);
}

TEST(VirtualImageList, ChangedSourcePicturesShowAtTheNextDraw) {
  auto src = SourceList(2);
  TkxGPVirtualImageList l(nullptr);
  l.SetSourceImageList(src.get());
  std::vector<std::uint32_t> before = Drawn(l, 1), beforeDisabled = Drawn(l, 1, false);
  EXPECT_EQ(Drawn(l, 1), before);
  TBitmap green;
  FillBitmap(green, 96, 96, [](int, int) { return 0xFF00FF00u; });
  src->Replace(1, &green, nullptr);
  EXPECT_EQ(Drawn(l, 1)[8 * 16 + 8], 0xFF00FF00u);
  EXPECT_EQ(Drawn(l, 1, false)[8 * 16 + 8], 0x3F003F00u);
  EXPECT_NE(Drawn(l, 0), Drawn(l, 1));
  // A source list that goes away takes nothing of it along.
  src.reset();
  TSurface s(16, 16);
  l.Draw(&s.Canvas, 0, 0, 1);
  EXPECT_EQ(s.Ink(TRect(0, 0, 16, 16)), 0);
}
