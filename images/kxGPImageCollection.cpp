// TkxGPImageCollectionItem, TkxGPImageCollectionItems and TkxGPImageCollection: pictures,
// their GDI+ bitmaps, the collection's answers to its users and the stored form. The drawing
// itself is in kxGPImageDraw.cpp.
#include "images/kxGPImageCollection.h"
#include "images/kxGPImageSizeCache.h"

#include <cmath>
#include <cstring>

#include "host/classes/TypInfo.h"
#include "host/gdi/Codecs.h"
#include "host/gdi/GdiPlus.h"
#include "host/graphics/Canvas.h"
#include "host/graphics/Graphic.h"
#include "host/graphics/GraphicsObjects.h"
#include "host/graphics/PngImage.h"
#include "images/kxGPVirtualImageList.h"

namespace kx {

using namespace vcl;

// ---- metadata ---------------------------------------------------------------------------------

const TClass TkxCustomImageCollection::Class =
    TClass::Define<TkxCustomImageCollection, TComponent>(u"TkxCustomImageCollection");

const TClass TkxGPImageCollectionItem::Class =
    TClass::Define<TkxGPImageCollectionItem, TCollectionItem>(u"TkxGPImageCollectionItem", [](auto& c) {
      using T = TkxGPImageCollectionItem;
      c.Property(u"Bitmap", &T::Bitmap, &T::SetBitmap);
      c.Property(u"PngImage", &T::PngImage, &T::SetPngImage);
      c.Property(u"ContentLeftMargin", &T::ContentLeftMargin, &T::SetContentLeftMargin);
      c.Property(u"ContentRightMargin", &T::ContentRightMargin, &T::SetContentRightMargin);
      c.Property(u"ContentTopMargin", &T::ContentTopMargin, &T::SetContentTopMargin);
      c.Property(u"ContentBottomMargin", &T::ContentBottomMargin, &T::SetContentBottomMargin);
      c.Property(u"Options", &T::Options, &T::SetOptions);
      c.Property(u"DrawStyle", &T::DrawStyle, &T::SetDrawStyle);
      c.Property(u"VirtualWidth", &T::VirtualWidth, &T::SetVirtualWidth);
      c.Property(u"VirtualHeight", &T::VirtualHeight, &T::SetVirtualHeight);
      c.Property(u"TileOffsetX", &T::TileOffsetX, &T::SetTileOffsetX);
      c.Property(u"TileOffsetY", &T::TileOffsetY, &T::SetTileOffsetY);
      c.Property(u"Proportional", &T::Proportional, &T::SetProportional);
      c.Property(u"Description", &T::Description, &T::SetDescription);
      c.Property(u"Scaled", &T::Scaled, &T::SetScaled);
      c.Property(u"PixelOffsetModeHighQuality", &T::PixelOffsetModeHighQuality,
                 &T::SetPixelOffsetModeHighQuality);
      c.Property(u"InterpolationModeHighQuality", &T::InterpolationModeHighQuality,
                 &T::SetInterpolationModeHighQuality);
    });

const TClass TkxGPImageCollectionItems::Class =
    TClass::Define<TkxGPImageCollectionItems, TCollection>(u"TkxGPImageCollectionItems");

const TClass TkxGPImageCollection::Class =
    TClass::Define<TkxGPImageCollection, TkxCustomImageCollection>(u"TkxGPImageCollection", [](auto& c) {
      c.Property(u"Images", &TkxGPImageCollection::Images, &TkxGPImageCollection::SetImages);
    });

void RegisterImageClasses() {
  static const bool done = [] {
    RegisterGraphicsClasses();
    RegisterClasses({&TkxGPImageCollection::Class, &TkxGPVirtualImageList::Class});
    return true;
  }();
  (void)done;
}

// ---- TkxGPImageCollectionItem -------------------------------------------------------------------

TkxGPImageCollectionItem::TkxGPImageCollectionItem(TCollection* collection)
    : TCollectionItem(collection),
      FBitmap(std::make_unique<TBitmap>()),
      FPngImage(std::make_unique<TPngImage>()),
      FOptions(std::make_unique<TkxGPBitmapOptions>()) {
  FBitmap->SetOnChange(TNotifyEvent(this, &TkxGPImageCollectionItem::BitmapChanged));
  FPngImage->SetOnChange(TNotifyEvent(this, &TkxGPImageCollectionItem::PngChanged));
}

TkxGPImageCollectionItem::~TkxGPImageCollectionItem() {
  FBitmap->SetOnChange(nullptr);
  FPngImage->SetOnChange(nullptr);
}

String TkxGPImageCollectionItem::DisplayName() const {
  return FDescription.empty() ? TCollectionItem::DisplayName() : FDescription;
}

void TkxGPImageCollectionItem::Assign(TPersistent* source) {
  auto* s = dynamic_cast<TkxGPImageCollectionItem*>(source);
  if (!s) {
    TCollectionItem::Assign(source);
    return;
  }
  if (s == this) return;
  // The pictures are copied with their change events detached; GPB is rebuilt once below.
  FBitmap->SetOnChange(nullptr);
  FPngImage->SetOnChange(nullptr);
  try {
    FBitmap->Assign(s->FBitmap.get());
    FPngImage->Assign(s->FPngImage.get());
  } catch (...) {
    FBitmap->SetOnChange(TNotifyEvent(this, &TkxGPImageCollectionItem::BitmapChanged));
    FPngImage->SetOnChange(TNotifyEvent(this, &TkxGPImageCollectionItem::PngChanged));
    throw;
  }
  FBitmap->SetOnChange(TNotifyEvent(this, &TkxGPImageCollectionItem::BitmapChanged));
  FPngImage->SetOnChange(TNotifyEvent(this, &TkxGPImageCollectionItem::PngChanged));
  FOptions->Assign(s->FOptions.get());
  FDrawStyle = s->FDrawStyle;
  FTileOffsetX = s->FTileOffsetX;
  FTileOffsetY = s->FTileOffsetY;
  FDescription = s->FDescription;
  FContentLeftMargin = s->FContentLeftMargin;
  FContentRightMargin = s->FContentRightMargin;
  FContentTopMargin = s->FContentTopMargin;
  FContentBottomMargin = s->FContentBottomMargin;
  FScaled = s->FScaled;
  FProportional = s->FProportional;
  FVirtualWidth = s->FVirtualWidth;
  FVirtualHeight = s->FVirtualHeight;
  FPixelOffsetModeHighQuality = s->FPixelOffsetModeHighQuality;
  FInterpolationModeHighQuality = s->FInterpolationModeHighQuality;
  FGPB.reset();
  NeedGPB();
}

void TkxGPImageCollectionItem::SetBitmap(TBitmap* v) { FBitmap->Assign(v); }

void TkxGPImageCollectionItem::SetPngImage(TPngImage* v) {
  FPngImage->SetOnChange(nullptr);
  try {
    FPngImage->Assign(v);
  } catch (...) {
    FPngImage->SetOnChange(TNotifyEvent(this, &TkxGPImageCollectionItem::PngChanged));
    throw;
  }
  FPngImage->SetOnChange(TNotifyEvent(this, &TkxGPImageCollectionItem::PngChanged));
  PngChanged(FPngImage.get());
}

void TkxGPImageCollectionItem::LoadPngFromFile(const String& AFileName) {
  FPngImage->LoadFromFile(AFileName);
}

void TkxGPImageCollectionItem::LoadPngFromStream(TStream* AStream) {
  FPngImage->LoadFromStream(AStream);
}

void TkxGPImageCollectionItem::LoadPngFromResourceName(NativeUInt Instance, StringView ResName) {
  FPngImage->LoadFromResourceName(Instance, ResName);
}

// A loaded PNG fires the picture's change, which rebuilds GPB: loading through the item and
// loading into PngImage directly (or reading "PngImage.Data") end the same way.
void TkxGPImageCollectionItem::PngChanged(TObject*) {
  if (!FPngImage->Empty() || FBitmap->Empty())
    BuildFromPng();
  else
    BuildFromBitmap();
}

void TkxGPImageCollectionItem::BitmapChanged(TObject*) { ImageChanged(); }

void TkxGPImageCollectionItem::ImageChanged() {
  if (!FBitmap->Empty())
    BuildFromBitmap();
  else
    BuildFromPng();
}

bool TkxGPImageCollectionItem::HasImage() const { return !FBitmap->Empty() || !FPngImage->Empty(); }

TGPBitmap* TkxGPImageCollectionItem::NeedGPB() {
  if (!FGPB) {
    if (!FPngImage->Empty())
      BuildFromPng();
    else if (!FBitmap->Empty())
      BuildFromBitmap();
  }
  return FGPB.get();
}

namespace {

std::uint64_t NextImageGeneration() {
  static std::uint64_t next = 0;
  return ++next;
}

// A GDI+ bitmap of the given format filled from straight ARGB rows.
std::unique_ptr<TGPBitmap> MakeGPBitmap(int w, int h, PixelFormat format,
                                        const std::uint32_t* rows, int strideWords,
                                        bool premultiplied) {
  bool opaque = format == PixelFormat32bppRGB;
  auto b = std::make_unique<TGPBitmap>(w, h, format);
  BitmapData data;
  if (b->LockBits(nullptr, ImageLockModeWrite, format, &data) != Ok) return nullptr;
  for (int y = 0; y < h; ++y) {
    auto* out = reinterpret_cast<std::uint32_t*>(static_cast<Byte*>(data.Scan0) + ptrdiff_t(y) * data.Stride);
    const std::uint32_t* in = rows + size_t(y) * size_t(strideWords);
    if (premultiplied)
      UnpremultiplyRow(in, out, size_t(w));
    else
      std::memcpy(out, in, size_t(w) * 4);
    if (opaque)
      for (int x = 0; x < w; ++x) out[x] |= 0xFF000000u;
  }
  b->UnlockBits(&data);
  return b;
}

}  // namespace

void TkxGPImageCollectionItem::BuildFromPng() {
  FImageGeneration = NextImageGeneration();
  FGPB.reset();
  if (FPngImage->Empty()) return;
  int w = FPngImage->Width(), h = FPngImage->Height();
  PixelFormat f = FPngImage->TransparencyMode() == ptmNone ? PixelFormat32bppRGB : PixelFormat32bppARGB;
  FGPB = MakeGPBitmap(w, h, f, FPngImage->Pixels().data(), w, false);
}

// The pixels are copied, so GPB never points into rows the bitmap may reallocate, and a
// recolouring stays in GPB. 32-bit rows are read by their AlphaFormat; rows whose alpha bytes
// are all 0 are taken as opaque, as the image lists take them.
void TkxGPImageCollectionItem::BuildFromBitmap() {
  FImageGeneration = NextImageGeneration();
  FGPB.reset();
  if (FBitmap->Empty()) return;
  int w = FBitmap->Width(), h = FBitmap->Height();
  if (FBitmap->PixelFormat() != pf32bit) {
    auto b = std::make_unique<TGPBitmap>(FBitmap->Handle());
    if (b->GetWidth() > 0) FGPB = std::move(b);
    return;
  }
  const auto* rows = static_cast<const std::uint32_t*>(FBitmap->ScanLine(0));
  int stride = FBitmap->RowBytes() / 4;
  bool premultiplied = FBitmap->AlphaFormat() == afPremultiplied;
  bool anyAlpha = false;
  for (int y = 0; y < h && !anyAlpha; ++y)
    for (int x = 0; x < w; ++x)
      if (rows[size_t(y) * size_t(stride) + size_t(x)] >> 24) {
        anyAlpha = true;
        break;
      }
  if (!anyAlpha) {
    FGPB = MakeGPBitmap(w, h, PixelFormat32bppRGB, rows, stride, false);
    return;
  }
  FGPB = MakeGPBitmap(w, h, PixelFormat32bppARGB, rows, stride, premultiplied);
}

bool TkxGPImageCollectionItem::Transparent() const {
  if (!FBitmap->Empty()) return FBitmap->PixelFormat() == pf32bit;
  return !FPngImage->Empty() && FPngImage->TransparencyMode() != ptmNone;
}

void TkxGPImageCollectionItem::SetColor(TColor v) {
  if (ColorToRGB(v) == ColorToRGB(FColor)) return;
  FColor = v;
  if (Transparent() && FGPB && FGPB->GetWidth() > 0 && FGPB->GetHeight() > 0) Recolor();
}

void TkxGPImageCollectionItem::Recolor() {
  FImageGeneration = NextImageGeneration();
  PixelFormat f = FGPB->GetPixelFormat();
  if (f != PixelFormat32bppARGB) {
    // An opaque-format GPB has no alpha to keep; recolour a straight copy.
    std::unique_ptr<TGPBitmap> c(FGPB->Clone(0, 0, int(FGPB->GetWidth()), int(FGPB->GetHeight()),
                                             PixelFormat32bppARGB));
    if (!c) return;
    FGPB = std::move(c);
  }
  BitmapData data;
  if (FGPB->LockBits(nullptr, ImageLockModeRead | ImageLockModeWrite, PixelFormat32bppARGB, &data) != Ok)
    return;
  std::uint32_t rgb = ColorToGPColor(FColor, 0);
  for (UINT y = 0; y < data.Height; ++y) {
    auto* row = reinterpret_cast<std::uint32_t*>(static_cast<Byte*>(data.Scan0) + ptrdiff_t(y) * data.Stride);
    for (UINT x = 0; x < data.Width; ++x) row[x] = (row[x] & 0xFF000000u) | rgb;
  }
  FGPB->UnlockBits(&data);
}

bool TkxGPImageCollectionItem::NeedFullUpdate() const {
  // Sliced images follow the destination's size whatever the style.
  bool lr = FOptions->LeftMargin() > 0 && FOptions->RightMargin() > 0;
  bool tb = FOptions->TopMargin() > 0 && FOptions->BottomMargin() > 0;
  if (lr || tb) return true;
  switch (FDrawStyle) {
    case idsTile:
    case idsTopLeft:
    case idsTopTile:
    case idsLeftTile:
      return false;
    default:
      return true;
  }
}

// ---- TkxGPImageCollectionItems ------------------------------------------------------------------

TkxGPImageCollectionItems::TkxGPImageCollectionItems(TkxGPImageCollection* owner)
    : TCollection(&TkxGPImageCollectionItem::Class), FImageCollection(owner) {}

TkxGPImageCollectionItem* TkxGPImageCollectionItems::GetItem(int index) const {
  return static_cast<TkxGPImageCollectionItem*>(Items(index));
}

TkxGPImageCollectionItem* TkxGPImageCollectionItems::Add() {
  return static_cast<TkxGPImageCollectionItem*>(TCollection::Add());
}

TPersistent* TkxGPImageCollectionItems::GetOwner() const { return FImageCollection; }

// ---- TkxGPImageCollection -----------------------------------------------------------------------

TkxGPImageCollection::TkxGPImageCollection(TComponent* owner)
    : TkxCustomImageCollection(owner), FImages(std::make_unique<TkxGPImageCollectionItems>(this)) {
  RegisterImageClasses();
  FScaled = true;
}

TkxGPImageCollection::~TkxGPImageCollection() = default;

TkxGPImageCollectionItem* TkxGPImageCollection::Item(int AIndex) const {
  if (AIndex < 0 || AIndex >= FImages->Count()) return nullptr;
  return FImages->GetItem(AIndex);
}

double TkxGPImageCollection::ItemScale(const TkxGPImageCollectionItem* item, double AScaleFactor) const {
  if (!(FScaled && item->Scaled())) return 1;
  // A factor that is not a finite positive number measures and draws nothing.
  return std::isfinite(AScaleFactor) && AScaleFactor > 0 ? AScaleFactor : 0;
}

int TkxGPImageCollection::GetCount() const { return FImages->Count(); }

bool TkxGPImageCollection::IsIndexAvailable(int AIndex) const {
  TkxGPImageCollectionItem* item = Item(AIndex);
  return item && item->HasImage();
}

int TkxGPImageCollection::GetWidth(int AIndex, double AScaleFactor) const {
  if (!IsIndexAvailable(AIndex)) return 0;
  TkxGPImageCollectionItem* item = Item(AIndex);
  if (!item->GPB()) return 0;
  double s = ItemScale(item, AScaleFactor);
  return item->VirtualWidth() > 0 ? kxRound(item->VirtualWidth() * s)
                                  : kxRound(double(item->GPB()->GetWidth()) * s);
}

int TkxGPImageCollection::GetHeight(int AIndex, double AScaleFactor) const {
  if (!IsIndexAvailable(AIndex)) return 0;
  TkxGPImageCollectionItem* item = Item(AIndex);
  if (!item->GPB()) return 0;
  double s = ItemScale(item, AScaleFactor);
  return item->VirtualHeight() > 0 ? kxRound(item->VirtualHeight() * s)
                                   : kxRound(double(item->GPB()->GetHeight()) * s);
}

TRect TkxGPImageCollection::GetMargins(int AIndex, double AScaleFactor) const {
  if (!IsIndexAvailable(AIndex)) return {};
  TkxGPImageCollectionItem* item = Item(AIndex);
  double s = ItemScale(item, AScaleFactor);
  const TkxGPBitmapOptions* o = item->Options();
  return {kxRound(o->LeftMargin() * s), kxRound(o->TopMargin() * s),
          kxRound(o->RightMargin() * s), kxRound(o->BottomMargin() * s)};
}

TRect TkxGPImageCollection::GetContentMargins(int AIndex, double AScaleFactor) const {
  if (!IsIndexAvailable(AIndex)) return {};
  TkxGPImageCollectionItem* item = Item(AIndex);
  double s = ItemScale(item, AScaleFactor);
  return {kxRound(item->ContentLeftMargin() * s), kxRound(item->ContentTopMargin() * s),
          kxRound(item->ContentRightMargin() * s), kxRound(item->ContentBottomMargin() * s)};
}

bool TkxGPImageCollection::NeedFullUpdate(int AIndex) const {
  return IsIndexAvailable(AIndex) && Item(AIndex)->NeedFullUpdate();
}

bool TkxGPImageCollection::IsStretchTileDrawing(int AIndex) const {
  if (!IsIndexAvailable(AIndex)) return false;
  TkxImageDrawStyle s = Item(AIndex)->DrawStyle();
  return s == idsTile || s == idsStretch;
}

// Solid means every destination pixel is covered by an opaque one, so the cases that leave
// part of the destination uncovered are excluded: a proportional stretch, a grid shifted away
// from the top-left corner, and a sliced image without its centre.
bool TkxGPImageCollection::IsSolidDrawing(int AIndex) const {
  if (!IsStretchTileDrawing(AIndex)) return false;
  TkxGPImageCollectionItem* item = Item(AIndex);
  if (item->Transparent()) return false;
  const TkxGPBitmapOptions* o = item->Options();
  bool sliced = (o->LeftMargin() >= 1 && o->RightMargin() >= 1) ||
                (o->TopMargin() >= 1 && o->BottomMargin() >= 1);
  if (sliced) return !o->DrawOnlyBorder();
  if (item->DrawStyle() == idsStretch) return !item->Proportional();
  return item->TileOffsetX() <= 0 && item->TileOffsetY() <= 0;
}

void TkxGPImageCollection::Assign(TPersistent* source) {
  if (auto* c = dynamic_cast<TkxGPImageCollection*>(source)) {
    if (c != this) FImages->Assign(c->FImages.get());
    return;
  }
  TkxCustomImageCollection::Assign(source);
}

void TkxGPImageCollection::Loaded() {
  TkxCustomImageCollection::Loaded();
  for (int i = 0; i < FImages->Count(); ++i) FImages->GetItem(i)->NeedGPB();
}

}  // namespace kx
