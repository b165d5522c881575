// The image collection drawn through GDI+: items holding a PNG picture or a bitmap, decoded
// once into a GDI+ bitmap (GPB) and drawn at a scale factor with one of the placement styles
// of TkxImageDrawStyle, or sliced into three or nine parts by the margins of their Options.
//
// Stored form: the collection is the published property Images, one record per item with
// "Bitmap.Data" and "PngImage.Data" (when not empty), the content margins, "Options.*",
// DrawStyle, the virtual size and tile offsets, Proportional, Description (when not empty),
// Scaled and the two quality flags, in that order; every value is written, none has a
// default.
#pragma once
#include <cstdint>
#include <memory>

#include "host/classes/Collection.h"
#include "images/kxGPUtils.h"
#include "images/kxImageCollection.h"

namespace vcl {
class TBitmap;
class TPngImage;
class TStream;
}  // namespace vcl

namespace kx {

class TkxGPImageCollection;
class TkxImageSizeCache;
struct TkxImageSizeKey;

class TkxGPImageCollectionItem : public vcl::TCollectionItem {
 public:
  static const vcl::TClass Class;
  const vcl::TClass* ClassType() const override { return &Class; }

  explicit TkxGPImageCollectionItem(vcl::TCollection* collection);
  ~TkxGPImageCollectionItem() override;

  // From another item: its pictures and every stored property; the copy's GPB is rebuilt
  // from its own pictures (so a recolouring of the source is not carried over).
  void Assign(vcl::TPersistent* source) override;
  vcl::String DisplayName() const override;

  // ---- pictures ----
  vcl::TBitmap* Bitmap() const { return FBitmap.get(); }
  // Assigns to the owned bitmap; its change rebuilds GPB from the bitmap.
  void SetBitmap(vcl::TBitmap* v);
  vcl::TPngImage* PngImage() const { return FPngImage.get(); }
  // Assigns to the owned PNG and rebuilds GPB from it.
  void SetPngImage(vcl::TPngImage* v);
  // Load the PNG, then rebuild GPB from it. A file or stream that is not a valid PNG raises
  // the PNG reader's error and leaves the picture and GPB as they were.
  void LoadPngFromFile(const vcl::String& AFileName);
  void LoadPngFromStream(vcl::TStream* AStream);
  void LoadPngFromResourceName(vcl::NativeUInt Instance, vcl::StringView ResName);
  // Rebuilds GPB from the bitmap when it is not empty, else from the PNG. Call it after
  // writing a picture's pixels directly.
  void ImageChanged();
  // Whether the bitmap or the PNG holds an image.
  bool HasImage() const;

  // The decoded GDI+ bitmap (nullptr until built). Owned by the item.
  vcl::TGPBitmap* GPB() const { return FGPB.get(); }
  // GPB, built first when missing (from the PNG when it is not empty, else from the bitmap).
  vcl::TGPBitmap* NeedGPB();

  // ---- stored properties ----
  int ContentLeftMargin() const { return FContentLeftMargin; }
  void SetContentLeftMargin(int v) { FContentLeftMargin = v; }
  int ContentRightMargin() const { return FContentRightMargin; }
  void SetContentRightMargin(int v) { FContentRightMargin = v; }
  int ContentTopMargin() const { return FContentTopMargin; }
  void SetContentTopMargin(int v) { FContentTopMargin = v; }
  int ContentBottomMargin() const { return FContentBottomMargin; }
  void SetContentBottomMargin(int v) { FContentBottomMargin = v; }
  TkxGPBitmapOptions* Options() const { return FOptions.get(); }
  void SetOptions(TkxGPBitmapOptions* v) { FOptions->Assign(v); }
  TkxImageDrawStyle DrawStyle() const { return FDrawStyle; }
  void SetDrawStyle(TkxImageDrawStyle v) { FDrawStyle = v; }
  // Logical size used instead of the pixel size when greater than 0.
  int VirtualWidth() const { return FVirtualWidth; }
  void SetVirtualWidth(int v) { FVirtualWidth = v; }
  int VirtualHeight() const { return FVirtualHeight; }
  void SetVirtualHeight(int v) { FVirtualHeight = v; }
  // Shift of the tile grid, in unscaled pixels.
  int TileOffsetX() const { return FTileOffsetX; }
  void SetTileOffsetX(int v) { FTileOffsetX = v; }
  int TileOffsetY() const { return FTileOffsetY; }
  void SetTileOffsetY(int v) { FTileOffsetY = v; }
  // Stretch styles keep the aspect ratio.
  bool Proportional() const { return FProportional; }
  void SetProportional(bool v) { FProportional = v; }
  const vcl::String& Description() const { return FDescription; }
  void SetDescription(vcl::StringView v) { FDescription = vcl::String(v); }
  // The item follows the scale factor.
  bool Scaled() const { return FScaled; }
  void SetScaled(bool v) { FScaled = v; }
  bool PixelOffsetModeHighQuality() const { return FPixelOffsetModeHighQuality; }
  void SetPixelOffsetModeHighQuality(bool v) { FPixelOffsetModeHighQuality = v; }
  bool InterpolationModeHighQuality() const { return FInterpolationModeHighQuality; }
  void SetInterpolationModeHighQuality(bool v) { FInterpolationModeHighQuality = v; }

  // ---- public state ----
  // Recolouring: a new RGB value (system colours resolved) is stored and, for a transparent
  // item with a GPB, written into the red, green and blue of every GPB pixel, each pixel's
  // alpha kept. The same RGB value again does nothing. A rebuild of GPB restores the
  // picture's own colours.
  vcl::TColor Color() const { return FColor; }
  void SetColor(vcl::TColor v);
  // A 32-bit bitmap, or (without a bitmap) a PNG with transparent pixels (keyed or partial).
  bool Transparent() const;
  // What is drawn depends on the destination size.
  bool NeedFullUpdate() const;
  // A number that changes whenever GPB's pixels do (rebuilt or recoloured), unique in the
  // process: drawings kept at a size are valid while it stays.
  std::uint64_t ImageGeneration() const { return FImageGeneration; }

 private:
  void BitmapChanged(vcl::TObject* sender);
  void PngChanged(vcl::TObject* sender);
  void BuildFromPng();
  void BuildFromBitmap();
  void Recolor();

  std::unique_ptr<vcl::TBitmap> FBitmap;
  std::unique_ptr<vcl::TPngImage> FPngImage;
  std::unique_ptr<TkxGPBitmapOptions> FOptions;
  TkxImageDrawStyle FDrawStyle = idsTile;
  int FTileOffsetX = 0;
  int FTileOffsetY = 0;
  vcl::String FDescription;
  int FContentLeftMargin = 0;
  int FContentRightMargin = 0;
  int FContentTopMargin = 0;
  int FContentBottomMargin = 0;
  vcl::TColor FColor = vcl::clFuchsia;
  bool FScaled = true;
  bool FProportional = false;
  int FVirtualWidth = 0;
  int FVirtualHeight = 0;
  bool FPixelOffsetModeHighQuality = true;
  bool FInterpolationModeHighQuality = true;
  std::unique_ptr<vcl::TGPBitmap> FGPB;
  std::uint64_t FImageGeneration = 0;
};

class TkxGPImageCollectionItems : public vcl::TCollection {
 public:
  static const vcl::TClass Class;
  const vcl::TClass* ClassType() const override { return &Class; }

  explicit TkxGPImageCollectionItems(TkxGPImageCollection* owner);

  TkxGPImageCollection* ImageCollection() const { return FImageCollection; }
  TkxGPImageCollectionItem* GetItem(int index) const;  // EListError when out of range
  void SetItem(int index, TkxGPImageCollectionItem* value) { SetItems(index, value); }
  TkxGPImageCollectionItem* Add();
  vcl::TPersistent* GetOwner() const override;

 private:
  TkxGPImageCollection* FImageCollection;
};

class TkxGPImageCollection : public TkxCustomImageCollection {
 public:
  static const vcl::TClass Class;
  const vcl::TClass* ClassType() const override { return &Class; }

  explicit TkxGPImageCollection(vcl::TComponent* owner);
  ~TkxGPImageCollection() override;

  TkxGPImageCollectionItems* Images() const { return FImages.get(); }
  void SetImages(TkxGPImageCollectionItems* v) { FImages->Assign(v); }
  // Item AIndex, or nullptr when out of range.
  TkxGPImageCollectionItem* Item(int AIndex) const;

  int GetCount() const override;
  int GetWidth(int AIndex, double AScaleFactor) const override;
  int GetHeight(int AIndex, double AScaleFactor) const override;
  vcl::TRect GetContentMargins(int AIndex, double AScaleFactor) const override;
  vcl::TRect GetMargins(int AIndex, double AScaleFactor) const override;
  bool NeedFullUpdate(int AIndex) const override;
  bool IsIndexAvailable(int AIndex) const override;
  bool IsSolidDrawing(int AIndex) const override;
  bool IsStretchTileDrawing(int AIndex) const override;
  // Through a GDI+ graphics object of its own on the canvas, with the item's pixel offset and
  // interpolation modes.
  void Draw(vcl::TCanvas* ACanvas, const vcl::TRect& ARect, int AIndex,
            double AScaleFactor) override;
  // Onto a caller's GDI+ surface with the caller's modes. Tiles are not clipped to ARect (the
  // caller clips); slices are.
  void DrawToGraphic(vcl::TGPGraphics* G, const vcl::TRect& ARect, int AIndex, double AScaleFactor);
  // The cache of Draw's renderings at a size (created by the first Draw).
  TkxImageSizeCache* SizeCache() const { return FSizeCache.get(); }
  // The same drawing sent to any target.
  void DrawToTarget(TkxGPDrawTarget& G, const vcl::TRect& ARect, int AIndex, double AScaleFactor);
  // The source rectangle (pixels of GPB) stretched into the destination, with high-quality
  // smoothing (and interpolation when the item asks for it).
  void DrawRect(vcl::TCanvas* ACanvas, const vcl::TRect& ADestRect, const vcl::TRect& ASrcRect,
                int AIndex);

  // From another image collection: a copy of its items.
  void Assign(vcl::TPersistent* source) override;
  // Builds GPB for every item that has none.
  void Loaded() override;

 private:
  // The scale an item is drawn and measured at.
  double ItemScale(const TkxGPImageCollectionItem* item, double AScaleFactor) const;

  TkxImageSizeKey SizeKey(int AIndex, const vcl::TRect& ARect, double AScaleFactor) const;

  std::unique_ptr<TkxGPImageCollectionItems> FImages;
  std::unique_ptr<TkxImageSizeCache> FSizeCache;  // Draw's renderings at a size
};

// Registers the image classes that window descriptions name (TkxGPImageCollection,
// TkxGPVirtualImageList and their ancestors). Calling it again does nothing.
void RegisterImageClasses();

}  // namespace kx
