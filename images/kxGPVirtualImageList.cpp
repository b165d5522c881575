// TkxGPVirtualImageList: sizing, rebuilding from the source and rendering its pictures.
#include "images/kxGPVirtualImageList.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <memory>

#include "host/classes/TypInfo.h"
#include "host/gdi/GdiDraw.h"
#include "host/gdi/GdiPlus.h"
#include "host/graphics/Canvas.h"
#include "host/graphics/Graphic.h"
#include "host/graphics/GraphicsObjects.h"
#include "images/kxGPImageCollection.h"

namespace kx {

using namespace vcl;

const TClass TkxCustomImageList::Class =
    TClass::Define<TkxCustomImageList, TCustomImageList>(u"TkxCustomImageList");

const TClass TkxGPVirtualImageList::Class =
    TClass::Define<TkxGPVirtualImageList, TkxCustomImageList>(u"TkxGPVirtualImageList", [](auto& c) {
      using T = TkxGPVirtualImageList;
      c.Property(u"ColorDepth", &T::ColorDepth, &T::SetColorDepth).Default(cdDeviceDependent);
      c.Property(u"DirectDraw", &T::DirectDraw, &T::SetDirectDraw);
      c.Property(u"PixelOffsetMode", &T::PixelOffsetMode, &T::SetPixelOffsetMode);
      c.Property(u"InterpolationMode", &T::InterpolationMode, &T::SetInterpolationMode);
      c.Property(u"Width", &T::Width, &T::SetWidth).Default(16);
      c.Property(u"Height", &T::Height, &T::SetHeight).Default(16);
      c.Property(u"DefaultWidth", &T::DefaultWidth, &T::SetDefaultWidth).Default(16);
      c.Property(u"DefaultHeight", &T::DefaultHeight, &T::SetDefaultHeight).Default(16);
      c.Property(u"SourceImageList", &T::SourceImageList, &T::SetSourceImageList);
      c.Property(u"SourceImageCollection", &T::SourceImageCollection, &T::SetSourceImageCollection);
    });

namespace {

// Sets a flag for the lifetime of the object.
class TFlagGuard {
 public:
  explicit TFlagGuard(bool& f) : F(f) { F = true; }
  ~TFlagGuard() { F = false; }
  TFlagGuard(const TFlagGuard&) = delete;
  TFlagGuard& operator=(const TFlagGuard&) = delete;

 private:
  bool& F;
};

// An update bracket of an image list that is closed on every path.
class TUpdateGuard {
 public:
  explicit TUpdateGuard(TCustomImageList* l) : L(l) { L->BeginUpdate(); }
  ~TUpdateGuard() { L->EndUpdate(); }
  TUpdateGuard(const TUpdateGuard&) = delete;
  TUpdateGuard& operator=(const TUpdateGuard&) = delete;

 private:
  TCustomImageList* L;
};

// A zero-filled 32-bit DIB selected into a memory DC of its own.
class TTempSurface {
 public:
  TTempSurface(int w, int h) : W(w), H(h) {
    Bmp = CreateDIB32(w, h, nullptr);
    if (!Bmp) throw EOutOfResources(u"Cannot create a temporary bitmap");
    Dc = CreateCompatibleDC(nullptr);
    SelectObject(Dc, Bmp);
  }
  ~TTempSurface() {
    DeleteDC(Dc);
    DeleteObject(Bmp);
  }
  TTempSurface(const TTempSurface&) = delete;
  TTempSurface& operator=(const TTempSurface&) = delete;
  // Blends the (premultiplied) pixels onto dc at (x, y) with a constant opacity.
  void BlendTo(HDC dc, int x, int y, Byte opacity) const {
    BLENDFUNCTION bf;
    bf.SourceConstantAlpha = opacity;
    bf.AlphaFormat = AC_SRC_ALPHA;
    AlphaBlend(dc, x, y, W, H, Dc, 0, 0, W, H, bf);
  }
  int W, H;
  HBITMAP Bmp = nullptr;
  HDC Dc = nullptr;
};

}  // namespace

TkxGPVirtualImageList::TkxGPVirtualImageList(TComponent* owner)
    : TkxCustomImageList(owner), FSourceLink(std::make_unique<TChangeLink>()) {
  RegisterImageClasses();
  SetStoreBitmap(false);
  FSourceLink->SetOnChange(TNotifyEvent(this, &TkxGPVirtualImageList::SourceListChanged));
}

TkxGPVirtualImageList::~TkxGPVirtualImageList() = default;

// ---- properties -------------------------------------------------------------------------------

void TkxGPVirtualImageList::SetScaleFactor(double Value) {
  if (!(Value >= 0) || !std::isfinite(Value)) return;
  // A factor so small that a side rounds to 0 keeps one pixel.
  int w = std::max(1, kxRound(Value * FDefaultWidth));
  int h = std::max(1, kxRound(Value * FDefaultHeight));
  SetSize(w, h);
}

void TkxGPVirtualImageList::SetSourceImageList(TImageList* v) {
  if (v && v->ColorDepth() != cd32Bit) return;
  if (FSourceImageList && FSourceImageList != v) {
    FSourceImageList->RemoveFreeNotification(this);
    FSourceImageList->UnRegisterChanges(FSourceLink.get());
  }
  FSourceImageList = v;
  DropListPictures();
  if (v) {
    v->FreeNotification(this);
    v->RegisterChanges(FSourceLink.get());
  }
  Clear();
}

void TkxGPVirtualImageList::SetSourceImageCollection(TkxGPImageCollection* v) {
  if (v == FSourceImageCollection) return;
  if (FSourceImageCollection) FSourceImageCollection->RemoveFreeNotification(this);
  FSourceImageCollection = v;
  if (v) v->FreeNotification(this);
  Clear();
}

void TkxGPVirtualImageList::SetDirectDraw(bool v) {
  if (v == FDirectDraw) return;
  FDirectDraw = v;
  TUpdateGuard update(this);
  if (!v) {
    // The depth change empties nothing; the rebuild below renders every entry.
    TFlagGuard guard(FLoading);
    SetColorDepth(cd32Bit);
  }
  Rebuild();
}

void TkxGPVirtualImageList::Notification(TComponent* AComponent, TOperation Operation) {
  TkxCustomImageList::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (AComponent == FSourceImageList) {
    FSourceImageList = nullptr;
    DropListPictures();
  }
  if (AComponent == FSourceImageCollection) FSourceImageCollection = nullptr;
}

// ---- rebuilding ---------------------------------------------------------------------------------

int TkxGPVirtualImageList::SourceCount() const {
  if (FSourceImageList) return FSourceImageList->Count();
  return FSourceImageCollection ? FSourceImageCollection->Count() : 0;
}

bool TkxGPVirtualImageList::NeedsRebuild() {
  if (!HasSource()) return false;
  if (FSourceImageList && FSourceImageList->Count() == 0) return false;
  if (FSourceImageCollection && FSourceImageCollection->Count() == 0) return false;
  TComponentState st = ComponentState();
  return !st.Contains(csLoading) && !st.Contains(csDestroying);
}

// A change that leaves the list empty (a resize, a new source, Clear) rebuilds it; the users
// hear of the change once, when the entries are complete.
void TkxGPVirtualImageList::Change() {
  if (ComponentState().Contains(csDesigning)) {
    FDefaultWidth = Width();
    FDefaultHeight = Height();
  }
  if (FLoading || Count() > 0 || !NeedsRebuild()) {
    TkxCustomImageList::Change();
    return;
  }
  TFlagGuard guard(FLoading);
  TUpdateGuard update(this);
  TkxCustomImageList::Change();  // remembered until the update ends
  RebuildEntries();
}

void TkxGPVirtualImageList::Rebuild() {
  if (FLoading || !NeedsRebuild()) return;
  TFlagGuard guard(FLoading);
  TUpdateGuard update(this);
  RebuildEntries();
}

void TkxGPVirtualImageList::RebuildEntries() {
  if (Count() > 0) Clear();
  int n = SourceCount();
  int w = Width(), h = Height();
  TBitmap entry;
  if (FDirectDraw) {
    // Placeholders only: the pictures are rendered when drawn.
    entry.SetPixelFormat(pf1bit);
    entry.SetSize(w, h);
    for (int i = 0; i < n; ++i) Add(&entry, nullptr);
    return;
  }
  entry.SetPixelFormat(pf32bit);
  entry.SetSize(w, h);
  entry.SetAlphaFormat(afPremultiplied);
  for (int i = 0; i < n; ++i) {
    HDC dc = entry.Canvas()->Handle();
    {
      TGPGraphics g(dc);
      g.Clear(0);
    }
    RenderPicture(i, dc, 0, 0, true, true);
    Add(&entry, nullptr);
  }
}

void TkxGPVirtualImageList::Update() {
  if (!HasSource()) {
    if (Count() > 0) Clear();
    return;
  }
  if (!FDirectDraw) {
    Rebuild();
    return;
  }
  if (FLoading) return;
  int count = Count(), target = 0;
  if (FSourceImageCollection && FSourceImageCollection->Count() != count)
    target = FSourceImageCollection->Count();
  else if (FSourceImageList && FSourceImageList->Count() != count)
    target = FSourceImageList->Count();
  if (target == 0) return;
  TFlagGuard guard(FLoading);
  TUpdateGuard update(this);
  if (count < target) {
    TBitmap entry;
    entry.SetPixelFormat(pf1bit);
    entry.SetSize(Width(), Height());
    for (; count < target; ++count) Add(&entry, nullptr);
  }
  for (; count > target; --count) Delete(count - 1);
}

void TkxGPVirtualImageList::Loaded() {
  TkxCustomImageList::Loaded();
  if (!FDirectDraw) Rebuild();
}

// ---- rendering ----------------------------------------------------------------------------------

void TkxGPVirtualImageList::RenderPicture(int index, HDC dc, int x, int y, bool enabled,
                                          bool forStorage) {
  if (!dc) return;
  if (FSourceImageCollection)
    RenderFromCollection(index, dc, x, y, enabled);
  else if (FSourceImageList)
    RenderFromList(index, dc, x, y, enabled, forStorage);
}

void TkxGPVirtualImageList::RenderFromCollection(int index, HDC dc, int x, int y, bool enabled) {
  TkxGPImageCollection* c = FSourceImageCollection;
  if (!c->IsIndexAvailable(index)) return;
  TkxGPImageCollectionItem* item = c->Item(index);
  TGPBitmap* gpb = item->NeedGPB();
  if (!gpb || gpb->GetWidth() == 0 || gpb->GetHeight() == 0) return;
  int w = Width(), h = Height();
  auto render = [&](HDC target, int px, int py) {
    TGPGraphics g(target);
    g.SetSmoothingMode(SmoothingModeHighQuality);
    g.SetInterpolationMode(FInterpolationMode == kxgppimHighQualityBilinear
                               ? InterpolationModeHighQualityBilinear
                               : InterpolationModeHighQuality);
    if (FPixelOffsetMode == kxgppomHighQuality) g.SetPixelOffsetMode(PixelOffsetModeHighQuality);
    if (item->DrawStyle() == idsStretch && item->Proportional())
      c->DrawToGraphic(&g, TRect::FromSize(px, py, w, h), index, 1);
    else
      g.DrawImage(gpb, TGPRectF{float(px), float(py), float(w), float(h)});
  };
  if (enabled) {
    render(dc, x, y);
    return;
  }
  TTempSurface tmp(w, h);
  render(tmp.Dc, 0, 0);
  tmp.BlendTo(dc, x, y, kxVirtualDisabledAlpha);
}

void TkxGPVirtualImageList::SourceListChanged(TObject*) { DropListPictures(); }

void TkxGPVirtualImageList::DropListPictures() {
  for (auto& pictures : FListPictures) pictures.clear();
}

std::unique_ptr<TGPBitmap> TkxGPVirtualImageList::FetchFromList(int index, bool enabled, bool forStorage) {
  TImageList* src = FSourceImageList;
  TBitmap pic;
  if (!src->GetBitmap(index, &pic)) return nullptr;
  int w = pic.Width(), h = pic.Height();
  auto out = std::make_unique<TGPBitmap>(w, h, PixelFormat32bppPARGB);
  BitmapData data;
  if (out->LockBits(nullptr, ImageLockModeWrite, PixelFormat32bppPARGB, &data) != Ok) return nullptr;
  auto row = [&](int y) {
    return reinterpret_cast<std::uint32_t*>(static_cast<Byte*>(data.Scan0) + ptrdiff_t(y) * data.Stride);
  };
  // A 32-bit list gives premultiplied rows; any other its pictures opaque.
  bool alpha = src->ColorDepth() == cd32Bit;
  bool anyAlpha = false;
  for (int y = 0; y < h; ++y) {
    const auto* in = static_cast<const std::uint32_t*>(pic.ScanLine(y));
    std::uint32_t* o = row(y);
    for (int x = 0; x < w; ++x) {
      o[x] = alpha ? in[x] : in[x] | 0xFF000000u;
      anyAlpha |= (o[x] >> 24) != 0;
    }
  }
  if (alpha && forStorage && !anyAlpha)
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) row(y)[x] |= 0xFF000000u;
  if (alpha && !enabled)
    // A quarter of the opacity, every premultiplied channel with it.
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) row(y)[x] = (row(y)[x] >> 2) & 0x3F3F3F3Fu;
  out->UnlockBits(&data);
  return out;
}

void TkxGPVirtualImageList::RenderFromList(int index, HDC dc, int x, int y, bool enabled,
                                           bool forStorage) {
  if (index < 0 || index >= FSourceImageList->Count()) return;
  std::unique_ptr<TGPBitmap> fetched;
  TGPBitmap* pic;
  if (forStorage) {
    fetched = FetchFromList(index, enabled, true);
    pic = fetched.get();
  } else {
    auto& cache = FListPictures[enabled ? 0 : 1];
    if (cache.size() != size_t(FSourceImageList->Count())) {
      cache.clear();
      cache.resize(size_t(FSourceImageList->Count()));
    }
    if (!cache[size_t(index)]) cache[size_t(index)] = FetchFromList(index, enabled, false);
    pic = cache[size_t(index)].get();
  }
  if (pic)
    DrawGPBitmap(dc, TRect::FromSize(x, y, Width(), Height()), pic, FPixelOffsetMode == kxgppomHighQuality);
}

void TkxGPVirtualImageList::DoDraw(int index, TCanvas* canvas, int x, int y, UINT style,
                                   bool enabled) {
  if (!canvas || !HasSource() || Count() == 0) return;
  if (FDirectDraw) {
    RenderPicture(index, canvas->Handle(), x, y, enabled, false);
    return;
  }
  if (enabled) {
    TkxCustomImageList::DoDraw(index, canvas, x, y, style, enabled);
    return;
  }
  if (index < 0 || index >= Count()) return;
  TBitmap pic;
  if (!GetBitmap(index, &pic)) return;
  if (pic.AlphaFormat() != afPremultiplied) pic.SetAlphaFormat(afPremultiplied);
  BLENDFUNCTION bf;
  bf.SourceConstantAlpha = kxVirtualDisabledAlpha;
  bf.AlphaFormat = AC_SRC_ALPHA;
  AlphaBlend(canvas->Handle(), x, y, pic.Width(), pic.Height(), pic.Canvas()->Handle(), 0, 0,
             pic.Width(), pic.Height(), bf);
}

}  // namespace kx
