// TkxGPVirtualImageList: an image list whose pictures are not stored but rendered through
// GDI+ at the list's current, scalable size from a source of large pictures: a 32-bit host
// image list or a TkxGPImageCollection. SetScaleFactor resizes it to round(factor x the
// scale-1 size), and every change that leaves it empty rebuilds its entries from the source,
// so each size is rendered afresh from the full-size pictures.
//
// With DirectDraw on (the default) the entries are 1-bit placeholders and every draw renders
// from the source; with it off each picture is rendered once per rebuild into a 32-bit entry.
// Users hear of a rebuild once, through the list's change links, when it is complete.
#pragma once
#include <memory>
#include <vector>

#include "images/kxCustomImageList.h"

namespace vcl {
class TImageList;
class TBitmap;
class TGPBitmap;
}  // namespace vcl

namespace kx {

class TkxGPImageCollection;

enum TkxGPPixelOffsetMode { kxgppomDefault, kxgppomHighQuality };
constexpr vcl::TEnumNames EnumNames(TkxGPPixelOffsetMode) {
  return {u"TkxGPPixelOffsetMode", u"kxgppomDefault kxgppomHighQuality"};
}
enum TkxGPInterpolationMode { kxgppimDefault, kxgppimHighQualityBilinear };
constexpr vcl::TEnumNames EnumNames(TkxGPInterpolationMode) {
  return {u"TkxGPInterpolationMode", u"kxgppimDefault kxgppimHighQualityBilinear"};
}

// Constant opacity of disabled pictures drawn from a collection or from stored entries.
constexpr vcl::Byte kxVirtualDisabledAlpha = 125;

class TkxGPVirtualImageList : public TkxCustomImageList {
 public:
  static const vcl::TClass Class;
  const vcl::TClass* ClassType() const override { return &Class; }

  explicit TkxGPVirtualImageList(vcl::TComponent* owner);
  ~TkxGPVirtualImageList() override;

  // Width = round(Value x DefaultWidth), Height = round(Value x DefaultHeight), halves to
  // even; negative values are ignored. The same size again changes nothing.
  void SetScaleFactor(double Value);
  // Brings the number of entries in line with the source without rendering (with DirectDraw
  // on); with DirectDraw off, rebuilds.
  void Update();
  // Renders every entry afresh from the source.
  void Rebuild();

  bool DirectDraw() const { return FDirectDraw; }
  // Switching it off also makes the list 32-bit; either way the entries are rebuilt.
  void SetDirectDraw(bool v);
  TkxGPPixelOffsetMode PixelOffsetMode() const { return FPixelOffsetMode; }
  void SetPixelOffsetMode(TkxGPPixelOffsetMode v) { FPixelOffsetMode = v; }
  TkxGPInterpolationMode InterpolationMode() const { return FInterpolationMode; }
  void SetInterpolationMode(TkxGPInterpolationMode v) { FInterpolationMode = v; }
  // The size at scale 1.
  int DefaultWidth() const { return FDefaultWidth; }
  void SetDefaultWidth(int v) { FDefaultWidth = v; }
  int DefaultHeight() const { return FDefaultHeight; }
  void SetDefaultHeight(int v) { FDefaultHeight = v; }
  vcl::TImageList* SourceImageList() const { return FSourceImageList; }
  // Accepted when nullptr or a cd32Bit list (any other list is ignored); the entries are then
  // rebuilt from it.
  void SetSourceImageList(vcl::TImageList* v);
  TkxGPImageCollection* SourceImageCollection() const { return FSourceImageCollection; }
  void SetSourceImageCollection(TkxGPImageCollection* v);

  void Loaded() override;

 protected:
  void Change() override;
  void DoDraw(int index, vcl::TCanvas* canvas, int x, int y, vcl::UINT style, bool enabled) override;
  void Notification(vcl::TComponent* AComponent, vcl::TOperation Operation) override;

 private:
  bool HasSource() const { return FSourceImageList || FSourceImageCollection; }
  // The number of pictures the entries follow (the source list's, else the collection's).
  int SourceCount() const;
  bool NeedsRebuild();
  // Empties the list and adds one entry per source picture; callers hold the guard.
  void RebuildEntries();
  // Renders picture `index` into (x, y, Width, Height) of the DC. forStorage: the picture is
  // going into a stored entry.
  void RenderPicture(int index, vcl::HDC dc, int x, int y, bool enabled, bool forStorage);
  void RenderFromCollection(int index, vcl::HDC dc, int x, int y, bool enabled);
  void RenderFromList(int index, vcl::HDC dc, int x, int y, bool enabled, bool forStorage);
  // Picture `index` of the source list as a premultiplied GDI+ bitmap of the source's size,
  // faded to a quarter of its opacity when disabled; for storage, a picture without any
  // alpha is made opaque.
  std::unique_ptr<vcl::TGPBitmap> FetchFromList(int index, bool enabled, bool forStorage);
  void SourceListChanged(vcl::TObject* sender);
  void DropListPictures();

  bool FLoading = false;
  vcl::TImageList* FSourceImageList = nullptr;
  TkxGPImageCollection* FSourceImageCollection = nullptr;
  int FDefaultWidth = 16;
  int FDefaultHeight = 16;
  TkxGPPixelOffsetMode FPixelOffsetMode = kxgppomDefault;
  TkxGPInterpolationMode FInterpolationMode = kxgppimDefault;
  bool FDirectDraw = true;
  // The source list's pictures as fetched for direct drawing (enabled, disabled), kept until
  // the source list changes, so that repeated draws at one size reuse the filtered result.
  std::vector<std::unique_ptr<vcl::TGPBitmap>> FListPictures[2];
  std::unique_ptr<vcl::TChangeLink> FSourceLink;
};

}  // namespace kx
