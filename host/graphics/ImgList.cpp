// TCustomImageList and TChangeLink.
#include "host/graphics/ImgList.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "host/gdi/Codecs.h"
#include "host/gdi/GdiDraw.h"
#include "host/graphics/Canvas.h"
#include "host/graphics/Graphic.h"
#include "host/graphics/GraphicsObjects.h"
#include "host/graphics/GraphicsInternal.h"
#include "host/rtl/Assert.h"
#include "host/rtl/ScopeGuards.h"

namespace vcl {

using graphics_detail::BitmapWords;
using graphics_detail::TImageCell;
using graphics_detail::TTempImage;

// ---- image cells ------------------------------------------------------------------------------

namespace graphics_detail {

HBITMAP CreateMonoDib(int w, int h) {
  BITMAPINFO bi{};
  bi.bmiHeader.biWidth = w;
  bi.bmiHeader.biHeight = -h;
  bi.bmiHeader.biBitCount = 1;
  bi.bmiColors[1] = {255, 255, 255, 0};
  return CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, nullptr);
}

TImageCell::~TImageCell() {
  if (Image) DeleteObject(Image);
  if (Mask) DeleteObject(Mask);
}

bool ExtractImageCell(HIMAGELIST list, int index, TImageCell& cell) {
  IMAGEINFO info;
  if (!ImageList_GetImageInfo(list, index, &info) || !info.hbmImage) return false;
  int w = info.rcImage.Width(), h = info.rcImage.Height();
  int stride;
  const std::uint32_t* px = BitmapWords(info.hbmImage, stride);
  if (!px) return false;
  std::uint32_t* bits = nullptr;
  cell.Image = CreateDIB32(w, h, reinterpret_cast<void**>(&bits));
  if (!cell.Image) return false;
  int outStride = cell.Image->Stride / 4;
  for (int y = 0; y < h; ++y)
    std::memcpy(bits + size_t(y) * outStride,
                px + size_t(info.rcImage.Top + y) * stride + info.rcImage.Left, size_t(w) * 4);
  if (info.hbmMask) {
    cell.Mask = CreateMonoDib(w, h);
    if (!cell.Mask) return false;
    size_t bytes = size_t((w + 7) / 8);
    for (int y = 0; y < h; ++y)
      std::memcpy(BitmapRow(cell.Mask, y), BitmapRow(info.hbmMask, info.rcImage.Top + y), bytes);
  }
  return true;
}

}  // namespace graphics_detail

namespace {

COLORREF ListColor(TColor c) {
  if (c == clNone) return CLR_NONE;
  if (c == clDefault) return CLR_DEFAULT;
  return ColorToRGB(c);
}

// A bitmap as an image list takes it: premultiplied 32-bit words (see ImgList.h).
HBITMAP ListSource(TBitmap* image) {
  int w = image->Width(), h = image->Height(), stride;
  const std::uint32_t* px = BitmapWords(image->Handle(), stride);
  if (!px) return nullptr;
  std::uint32_t* out = nullptr;
  HBITMAP copy = CreateDIB32(w, h, reinterpret_cast<void**>(&out));
  if (!copy) return nullptr;
  int outStride = copy->Stride / 4;
  bool premultiply = false;
  if (image->BitsPerPixel() == 32 && image->AlphaFormat() != afPremultiplied)
    for (int y = 0; y < h && !premultiply; ++y)
      for (int x = 0; x < w; ++x)
        if (px[size_t(y) * stride + x] >> 24) {
          premultiply = true;
          break;
        }
  for (int y = 0; y < h; ++y) {
    const std::uint32_t* s = px + size_t(y) * stride;
    std::uint32_t* d = out + size_t(y) * outStride;
    if (premultiply)
      PremultiplyRow(s, d, size_t(w));
    else
      std::memcpy(d, s, size_t(w) * 4);
  }
  return copy;
}

}  // namespace

// ---- TChangeLink ------------------------------------------------------------------------------

TChangeLink::~TChangeLink() {
  if (FSender) FSender->UnRegisterChanges(this);
}

void TChangeLink::Change() { FOnChange(FSender); }

// ---- TCustomImageList -------------------------------------------------------------------------

TCustomImageList::TCustomImageList(TComponent* owner) : TComponent(owner) { Initialize(16, 16); }

TCustomImageList::TCustomImageList(int width, int height, TComponent* owner)
    : TComponent(owner) {
  Initialize(width, height);
}

TCustomImageList::~TCustomImageList() {
  for (TChangeLink* link : FClients) link->SetSender(nullptr);
  FClients.clear();
  FreeHandle();
}

void TCustomImageList::Initialize(int width, int height) {
  RegisterGraphicsClasses();
  if (width < 1 || height < 1 || width > 32768 || height > 32768)
    Error(u"invalid image size " + S(std::to_string(width)) + u" x " + S(std::to_string(height)));
  FWidth = width;
  FHeight = height;
  CreateHandle();
}

void TCustomImageList::Error(StringView what) const {
  String name = Name().empty() ? String(u"image list") : u"image list " + Name();
  throw EInvalidOperation(name + u": " + String(what));
}

UINT TCustomImageList::CreateFlags() const {
  static constexpr UINT kDepth[] = {ILC_COLORDDB, ILC_COLOR4,  ILC_COLOR8,
                                    ILC_COLOR16,  ILC_COLOR24, ILC_COLOR32};
  return (FMasked ? ILC_MASK : 0) | TableAt(kDepth, FColorDepth);
}

void TCustomImageList::CreateHandle() {
  FHandle = ImageList_Create(FWidth, FHeight, CreateFlags(), FAllocBy, FAllocBy);
  if (!FHandle) Error(u"cannot create the image storage");
  FCreatedHandle = true;
  ImageList_SetBkColor(FHandle, ListColor(FBkColor));
}

// A handle the list made itself is always its own; an adopted one unless ShareImages.
void TCustomImageList::FreeHandle() {
  if (FHandle && (FCreatedHandle || !FShareImages)) ImageList_Destroy(FHandle);
  FHandle = nullptr;
  FCreatedHandle = false;
}

HIMAGELIST TCustomImageList::Handle() {
  if (!FHandle) CreateHandle();
  return FHandle;
}

void TCustomImageList::SetHandle(HIMAGELIST value) {
  if (value == FHandle) return;
  FreeHandle();
  FHandle = value;
  if (FHandle) {
    ImageList_GetIconSize(FHandle, &FWidth, &FHeight);
    FBkColor = TColor(ImageList_GetBkColor(FHandle));
    if (COLORREF(FBkColor) == CLR_NONE) FBkColor = clNone;
  }
  Change();
}

// The images move to a list made with the current settings.
void TCustomImageList::RecreateHandle() {
  if (!FHandle) return;
  HIMAGELIST old = FHandle;
  bool ownedOld = FCreatedHandle || !FShareImages;
  FHandle = nullptr;
  CreateHandle();
  int n = ImageList_GetImageCount(old);
  for (int i = 0; i < n; ++i) {
    TImageCell cell;
    if (graphics_detail::ExtractImageCell(old, i, cell))
      ImageList_Add(FHandle, cell.Image, FMasked ? cell.Mask : nullptr);
  }
  if (ownedOld) ImageList_Destroy(old);
}

void TCustomImageList::Assign(TPersistent* source) {
  auto* src = dynamic_cast<TCustomImageList*>(source);
  if (!src) {
    TComponent::Assign(source);
    return;
  }
  if (src == this) return;
  FreeHandle();
  FWidth = src->FWidth;
  FHeight = src->FHeight;
  FColorDepth = src->FColorDepth;
  FMasked = src->FMasked;
  FBkColor = src->FBkColor;
  FBlendColor = src->FBlendColor;
  FDrawingStyle = src->FDrawingStyle;
  FImageType = src->FImageType;
  FAllocBy = src->FAllocBy;
  FHandle = src->FHandle ? ImageList_Duplicate(src->FHandle) : nullptr;
  FCreatedHandle = FHandle != nullptr;
  if (!FHandle) CreateHandle();
  Change();
}

// ---- settings -------------------------------------------------------------------------------

void TCustomImageList::SetSize(int width, int height) {
  if (width < 1 || height < 1 || width > 32768 || height > 32768)
    Error(u"invalid image size " + S(std::to_string(width)) + u" x " + S(std::to_string(height)));
  if (width == FWidth && height == FHeight) return;
  FWidth = width;
  FHeight = height;
  if (FHandle) ImageList_SetIconSize(FHandle, width, height);
  Change();
}

int TCustomImageList::GetCount() { return FHandle ? ImageList_GetImageCount(FHandle) : 0; }

void TCustomImageList::SetColorDepth(TColorDepth v) {
  if (v == FColorDepth || unsigned(v) > unsigned(cd32Bit)) return;
  FColorDepth = v;
  RecreateHandle();
  Change();
}

void TCustomImageList::SetMasked(bool v) {
  if (v == FMasked) return;
  FMasked = v;
  RecreateHandle();
  Change();
}

void TCustomImageList::SetBkColor(TColor v) {
  if (v == FBkColor) return;
  FBkColor = v;
  if (FHandle) ImageList_SetBkColor(FHandle, ListColor(v));
  Change();
}

void TCustomImageList::SetBlendColor(TColor v) {
  if (v == FBlendColor) return;
  FBlendColor = v;
  Change();
}

void TCustomImageList::SetDrawingStyle(TDrawingStyle v) {
  if (v == FDrawingStyle) return;
  FDrawingStyle = v;
  Change();
}

void TCustomImageList::SetImageType(TImageType v) {
  if (v == FImageType) return;
  FImageType = v;
  Change();
}

// ---- images -----------------------------------------------------------------------------------

void TCustomImageList::CheckIndex(int index, bool allowEnd) {
  int n = Count();
  if (index < 0 || index > n || (index == n && !allowEnd))
    Error(u"image index " + S(std::to_string(index)) + u" out of range (" +
          S(std::to_string(n)) + u" images)");
}

// Adds (replace < 0) or replaces image `replace`; returns the index or -1, without Change.
int TCustomImageList::AddBitmap(TBitmap* image, TBitmap* mask, TColor maskColor, bool masked,
                                int replace) {
  if (!image || image->Empty() || image->Width() < FWidth) return -1;
  HBITMAP src = ListSource(image);
  if (!src) return -1;
  HIMAGELIST h = Handle();
  HBITMAP m = mask && !mask->Empty() ? mask->Handle() : nullptr;
  int result = -1;
  if (!masked) {
    if (replace < 0)
      result = ImageList_Add(h, src, m);
    else if (ImageList_Replace(h, replace, src, m))
      result = replace;
  } else {
    COLORREF key = maskColor == clDefault ? CLR_DEFAULT : ColorToRGB(maskColor);
    result = ImageList_AddMasked(h, src, key);
    if (result >= 0 && replace >= 0) {
      // Replacing with a colour mask: added at the end, moved into place.
      int added = result;
      ImageList_Copy(h, replace, h, added, ILCF_MOVE);
      ImageList_SetImageCount(h, UINT(added));
      result = replace;
    }
  }
  DeleteObject(src);
  return result;
}

int TCustomImageList::Add(TBitmap* image, TBitmap* mask) {
  int r = AddBitmap(image, mask, clNone, false, -1);
  if (r >= 0) Change();
  return r;
}

int TCustomImageList::AddMasked(TBitmap* image, TColor maskColor) {
  int r = AddBitmap(image, nullptr, maskColor, true, -1);
  if (r >= 0) Change();
  return r;
}

void TCustomImageList::AddImage(TCustomImageList* source, int index) {
  if (!source) return;
  if (source->FWidth != FWidth || source->FHeight != FHeight)
    Error(u"cannot copy images of another size");
  TImageCell cell;
  if (!source->FHandle || !graphics_detail::ExtractImageCell(source->FHandle, index, cell))
    Error(u"image index " + S(std::to_string(index)) + u" out of range in the source list");
  if (ImageList_Add(Handle(), cell.Image, FMasked ? cell.Mask : nullptr) < 0)
    Error(u"unable to add an image");
  Change();
}

void TCustomImageList::AddImages(TCustomImageList* source) {
  if (!source) return;
  BeginUpdate();
  TFinally updated([this] { EndUpdate(); });
  int n = source->Count();
  for (int i = 0; i < n; ++i) AddImage(source, i);
}

namespace {
// Moves image `from` to `to` by adjacent swaps.
void MoveImage(HIMAGELIST h, int from, int to) {
  for (; from < to; ++from) ImageList_Copy(h, from, h, from + 1, ILCF_SWAP);
  for (; from > to; --from) ImageList_Copy(h, from, h, from - 1, ILCF_SWAP);
}
}  // namespace

void TCustomImageList::Insert(int index, TBitmap* image, TBitmap* mask) {
  CheckIndex(index, true);
  int r = AddBitmap(image, mask, clNone, false, -1);
  if (r < 0) Error(u"unable to insert an image");
  MoveImage(FHandle, r, index);
  Change();
}

void TCustomImageList::InsertMasked(int index, TBitmap* image, TColor maskColor) {
  CheckIndex(index, true);
  int r = AddBitmap(image, nullptr, maskColor, true, -1);
  if (r < 0) Error(u"unable to insert an image");
  MoveImage(FHandle, r, index);
  Change();
}

void TCustomImageList::Replace(int index, TBitmap* image, TBitmap* mask) {
  CheckIndex(index);
  if (AddBitmap(image, mask, clNone, false, index) < 0) Error(u"unable to replace an image");
  Change();
}

void TCustomImageList::ReplaceMasked(int index, TBitmap* image, TColor maskColor) {
  CheckIndex(index);
  if (AddBitmap(image, nullptr, maskColor, true, index) < 0) Error(u"unable to replace an image");
  Change();
}

void TCustomImageList::Delete(int index) {
  CheckIndex(index);
  ImageList_Remove(FHandle, index);
  Change();
}

void TCustomImageList::Clear() {
  if (FHandle) ImageList_Remove(FHandle, -1);
  Change();
}

void TCustomImageList::Move(int curIndex, int newIndex) {
  if (curIndex == newIndex) return;
  CheckIndex(curIndex);
  CheckIndex(newIndex);
  MoveImage(FHandle, curIndex, newIndex);
  Change();
}

bool TCustomImageList::GetBitmap(int index, TBitmap* image) {
  if (!image || !FHandle || index < 0 || index >= Count()) return false;
  TTempImage tmp(FWidth, FHeight);
  bool keepsAlpha = FColorDepth == cd32Bit;
  if (!keepsAlpha) {
    std::uint32_t fill = OpaquePixel(FBkColor == clNone ? 0 : ColorToRGB(FBkColor));
    for (int y = 0; y < FHeight; ++y) std::fill_n(tmp.Row(y), FWidth, fill);
    tmp.Touch();
  }
  ImageList_DrawEx(FHandle, index, tmp.Dc, 0, 0, 0, 0, CLR_NONE, CLR_DEFAULT, ILD_NORMAL);
  image->SetHandle(tmp.Release(), keepsAlpha ? afPremultiplied : afIgnored);
  return true;
}

// ---- drawing ----------------------------------------------------------------------------------

void TCustomImageList::Draw(TCanvas* canvas, int x, int y, int index, bool enabled) {
  Draw(canvas, x, y, index, FDrawingStyle, FImageType, enabled);
}

void TCustomImageList::Draw(TCanvas* canvas, int x, int y, int index, TDrawingStyle style,
                            TImageType type, bool enabled) {
  static constexpr UINT kStyles[] = {ILD_FOCUS, ILD_SELECTED, ILD_NORMAL, ILD_TRANSPARENT};
  if (!canvas || !HandleAllocated()) return;
  DoDraw(index, canvas, x, y, kStyles[style] | (type == itMask ? ILD_MASK : 0), enabled);
}

void TCustomImageList::DoDraw(int index, TCanvas* canvas, int x, int y, UINT style,
                              bool enabled) {
  if (!FHandle || index < 0 || index >= Count()) return;
  HDC dc = canvas->Handle();
  if (enabled) {
    ImageList_DrawEx(FHandle, index, dc, x, y, 0, 0, ListColor(FBkColor), ListColor(FBlendColor),
                     style);
    return;
  }
  TTempImage tmp(FWidth, FHeight);
  BLENDFUNCTION blend;
  blend.AlphaFormat = AC_SRC_ALPHA;
  if (FColorDepth == cd32Bit) {
    // Grey: the luminance of each premultiplied pixel, alpha kept.
    ImageList_DrawEx(FHandle, index, tmp.Dc, 0, 0, 0, 0, CLR_NONE, CLR_NONE, ILD_TRANSPARENT);
    for (int yy = 0; yy < FHeight; ++yy) {
      std::uint32_t* row = tmp.Row(yy);
      for (int xx = 0; xx < FWidth; ++xx) {
        std::uint32_t p = row[xx];
        std::uint32_t l = (((p >> 16) & 0xFF) * 77 + ((p >> 8) & 0xFF) * 151 + (p & 0xFF) * 28 + 128) >> 8;
        row[xx] = (p & 0xFF000000u) | (l << 16) | (l << 8) | l;
      }
    }
    tmp.Touch();
    AlphaBlend(dc, x, y, FWidth, FHeight, tmp.Dc, 0, 0, FWidth, FHeight, blend);
    return;
  }
  // Embossed: the image's shape in the highlight colour, shifted, under it in the shadow colour.
  ImageList_DrawEx(FHandle, index, tmp.Dc, 0, 0, 0, 0, CLR_NONE, CLR_NONE, ILD_MASK);
  std::vector<Byte> shape(size_t(FWidth) * size_t(FHeight));
  for (int yy = 0; yy < FHeight; ++yy)
    for (int xx = 0; xx < FWidth; ++xx)
      shape[size_t(yy) * FWidth + xx] = (tmp.Row(yy)[xx] & 0xFFFFFFu) == 0;
  for (TColor color : {clBtnHighlight, clBtnShadow}) {
    std::uint32_t px = OpaquePixel(ColorToRGB(color));
    for (int yy = 0; yy < FHeight; ++yy)
      for (int xx = 0; xx < FWidth; ++xx)
        tmp.Row(yy)[xx] = shape[size_t(yy) * FWidth + xx] ? px : 0u;
    tmp.Touch();
    int offset = color == clBtnHighlight ? 1 : 0;
    AlphaBlend(dc, x + offset, y + offset, FWidth, FHeight, tmp.Dc, 0, 0, FWidth, FHeight, blend);
  }
}

// ---- changes ----------------------------------------------------------------------------------

void TCustomImageList::Change() {
  FChanged = true;
  if (FUpdateCount > 0 || ComponentState().Contains(csLoading)) return;
  FChanged = false;
  std::vector<TChangeLink*> clients = FClients;
  for (TChangeLink* link : clients)
    if (std::find(FClients.begin(), FClients.end(), link) != FClients.end()) link->Change();
  FOnChange(this);
}

void TCustomImageList::BeginUpdate() { ++FUpdateCount; }

void TCustomImageList::EndUpdate() {
  if (FUpdateCount == 0) return;
  if (--FUpdateCount == 0 && FChanged) Change();
}

void TCustomImageList::RegisterChanges(TChangeLink* link) {
  if (!link || std::find(FClients.begin(), FClients.end(), link) != FClients.end()) return;
  if (link->Sender() && link->Sender() != this) link->Sender()->UnRegisterChanges(link);
  link->SetSender(this);
  FClients.push_back(link);
}

void TCustomImageList::UnRegisterChanges(TChangeLink* link) {
  auto it = std::find(FClients.begin(), FClients.end(), link);
  if (it == FClients.end()) return;
  FClients.erase(it);
  link->SetSender(nullptr);
}

void TCustomImageList::Loaded() {
  TComponent::Loaded();
  if (FChanged) Change();
}

void TCustomImageList::DefineProperties(TFiler* filer) {
  TComponent::DefineProperties(filer);
  filer->DefineBinaryProperty(
      u"Bitmap", [this](TStream& s) { ReadData(&s); }, [this](TStream& s) { WriteData(&s); },
      FStoreBitmap && Count() > 0);
}

}  // namespace vcl
