// Image lists: TCustomImageList over an image-list handle, TImageList with the published
// properties, and TChangeLink, through which users hear of changes.
#pragma once
#include <vector>

#include "host/classes/Component.h"
#include "host/gdi/ImageList.h"

namespace vcl {

class TBitmap;
class TCanvas;
class TCustomImageList;

enum TColorDepth { cdDeviceDependent, cd4Bit, cd8Bit, cd16Bit, cd24Bit, cd32Bit };
constexpr TEnumNames EnumNames(TColorDepth) {
  return {u"TColorDepth", u"cdDeviceDependent cd4Bit cd8Bit cd16Bit cd24Bit cd32Bit"};
}
enum TDrawingStyle { dsFocus, dsSelected, dsNormal, dsTransparent };
constexpr TEnumNames EnumNames(TDrawingStyle) {
  return {u"TDrawingStyle", u"dsFocus dsSelected dsNormal dsTransparent"};
}
enum TImageType { itImage, itMask };
constexpr TEnumNames EnumNames(TImageType) { return {u"TImageType", u"itImage itMask"}; }

// A user's subscription to an image list's changes (controls that draw from a list repaint
// through it). The link unregisters itself when freed; the list clears Sender when it goes.
class TChangeLink : public TObject {
 public:
  TChangeLink() = default;
  ~TChangeLink() override;
  TCustomImageList* Sender() const { return FSender; }
  void SetSender(TCustomImageList* v) { FSender = v; }
  const TNotifyEvent& OnChange() const { return FOnChange; }
  void SetOnChange(const TNotifyEvent& e) { FOnChange = e; }
  virtual void Change();

 private:
  TCustomImageList* FSender = nullptr;
  TNotifyEvent FOnChange;
};

// A list of Width x Height images kept in an image-list handle (ILC_MASK when Masked; the
// colour depth from ColorDepth, cdDeviceDependent meaning 32 bits without kept alpha).
//
// Changes. Adding, replacing, deleting, moving, clearing, resizing and changing the storage
// (Masked, ColorDepth, Handle) call Change, which fires OnChange and every registered change
// link — unless an update is open (BeginUpdate ... EndUpdate) or the component is loading,
// in which case the change is remembered and announced once by the last EndUpdate or by
// Loaded. Resizing (Width, Height, SetSize) to another size removes every image; to the same
// size it does nothing. Changing Masked or ColorDepth keeps the images.
//
// Bitmaps given to Add, Insert and Replace are read by their AlphaFormat: afPremultiplied rows
// as they are; other 32-bit rows as straight alpha (premultiplied on the way in), except that
// rows whose alpha bytes are all 0 count as opaque. Only a cd32Bit list keeps alpha.
//
// Stored form: the binary property "Bitmap" (written when StoreBitmap is set and the list has
// images; see ImgListStream.cpp for the byte layout).
class TCustomImageList : public TComponent {
 public:
  static const TClass Class;
  const TClass* ClassType() const override { return &Class; }

  explicit TCustomImageList(TComponent* owner);
  TCustomImageList(int width, int height, TComponent* owner = nullptr);
  ~TCustomImageList() override;

  void Assign(TPersistent* source) override;

  // ---- storage ----
  HIMAGELIST Handle();
  // Adopts a list (destroyed with this component unless ShareImages); nullptr frees the
  // current one. Width and Height become the list's. A list the component made itself is
  // destroyed when replaced whatever ShareImages says.
  void SetHandle(HIMAGELIST value);
  bool HandleAllocated() const { return FHandle != nullptr; }
  bool ShareImages() const { return FShareImages; }
  void SetShareImages(bool v) { FShareImages = v; }

  int Width() const { return FWidth; }
  void SetWidth(int v) { SetSize(v, FHeight); }
  int Height() const { return FHeight; }
  void SetHeight(int v) { SetSize(FWidth, v); }
  // Sizes below 1 raise EInvalidOperation naming the list.
  void SetSize(int width, int height);
  virtual int GetCount();
  int Count() { return GetCount(); }
  TColorDepth ColorDepth() const { return FColorDepth; }
  void SetColorDepth(TColorDepth v);
  bool Masked() const { return FMasked; }
  void SetMasked(bool v);
  int AllocBy() const { return FAllocBy; }
  void SetAllocBy(int v) { FAllocBy = v < 1 ? 1 : v; }
  // Colour of masked pixels in ILD_NORMAL drawing; clNone draws them transparent.
  TColor BkColor() const { return FBkColor; }
  void SetBkColor(TColor v);
  // Colour mixed in by dsFocus (25 %) and dsSelected (50 %); clNone fades the image instead.
  TColor BlendColor() const { return FBlendColor; }
  void SetBlendColor(TColor v);
  TDrawingStyle DrawingStyle() const { return FDrawingStyle; }
  void SetDrawingStyle(TDrawingStyle v);
  TImageType ImageType() const { return FImageType; }
  void SetImageType(TImageType v);
  // Whether the images are written to window descriptions (true unless switched off).
  bool StoreBitmap() const { return FStoreBitmap; }
  void SetStoreBitmap(bool v) { FStoreBitmap = v; }

  // ---- images ----
  // Adds Image.Width / Width images taken left to right (mask: white = transparent). Returns
  // the index of the first, or -1 when the bitmap is missing or narrower than Width.
  int Add(TBitmap* image, TBitmap* mask);
  // The mask made of the pixels of maskColor (clDefault: the colour of the top-left pixel).
  int AddMasked(TBitmap* image, TColor maskColor);
  // Copies image `index` of another list of the same image size (EInvalidOperation
  // otherwise), or all of its images.
  void AddImage(TCustomImageList* source, int index);
  void AddImages(TCustomImageList* source);
  // Inserts at index (0..Count); EInvalidOperation for a bad index or an unusable bitmap.
  void Insert(int index, TBitmap* image, TBitmap* mask);
  void InsertMasked(int index, TBitmap* image, TColor maskColor);
  void Replace(int index, TBitmap* image, TBitmap* mask);
  void ReplaceMasked(int index, TBitmap* image, TColor maskColor);
  void Delete(int index);
  void Clear();
  // Moves image curIndex to newIndex, shifting the ones between.
  void Move(int curIndex, int newIndex);

  // Image `index` into `image`: Width x Height, pf32bit. In a cd32Bit list the rows are the
  // image's premultiplied pixels over transparent black (AlphaFormat afPremultiplied); in
  // other lists the image drawn over BkColor (black when clNone), opaque, afIgnored. False
  // (and the bitmap untouched) for a bad index or a null bitmap.
  bool GetBitmap(int index, TBitmap* image);

  // Draws image `index` at (x, y) in DrawingStyle and ImageType. Disabled images are drawn
  // greyed: in a cd32Bit list as the grey (luminance) image keeping its alpha; in other lists
  // embossed, the image's shape in clBtnHighlight one pixel right and down under its shape in
  // clBtnShadow. Nothing for a bad index or a list without handle.
  void Draw(TCanvas* canvas, int x, int y, int index, bool enabled = true);
  void Draw(TCanvas* canvas, int x, int y, int index, TDrawingStyle style, TImageType type,
            bool enabled = true);

  // ---- changes ----
  void BeginUpdate();
  void EndUpdate();
  void RegisterChanges(TChangeLink* link);
  void UnRegisterChanges(TChangeLink* link);
  const TNotifyEvent& OnChange() const { return FOnChange; }
  void SetOnChange(const TNotifyEvent& e) { FOnChange = e; }

  void DefineProperties(TFiler* filer) override;
  void Loaded() override;

 protected:
  // Announces a change (see above). Overrides call the base class first.
  virtual void Change();
  // Draws one image: the ILD_ style of DrawingStyle/ImageType and the enabled flag. Called by
  // Draw when the list has a handle; overrides may draw differently.
  virtual void DoDraw(int index, TCanvas* canvas, int x, int y, UINT style, bool enabled);
  // Makes the handle for the current size, depth and mask setting.
  virtual void CreateHandle();

  // Serialisation of the images (ImgListStream.cpp).
  void ReadData(TStream* stream);
  void WriteData(TStream* stream);

  TNotifyEvent FOnChange;

 private:
  void Initialize(int width, int height);
  void FreeHandle();
  void RecreateHandle();
  UINT CreateFlags() const;
  [[noreturn]] void Error(StringView what) const;
  void CheckIndex(int index, bool allowEnd = false);
  int AddBitmap(TBitmap* image, TBitmap* mask, TColor maskColor, bool masked, int replace);

  HIMAGELIST FHandle = nullptr;
  bool FCreatedHandle = false;
  int FWidth = 16;
  int FHeight = 16;
  int FAllocBy = 4;
  TColorDepth FColorDepth = cdDeviceDependent;
  bool FMasked = true;
  bool FShareImages = false;
  bool FStoreBitmap = true;
  TColor FBkColor = clNone;
  TColor FBlendColor = clNone;
  TDrawingStyle FDrawingStyle = dsNormal;
  TImageType FImageType = itImage;
  int FUpdateCount = 0;
  bool FChanged = false;
  std::vector<TChangeLink*> FClients;
};

// The image list of window descriptions, with every property published.
class TImageList : public TCustomImageList {
 public:
  static const TClass Class;
  const TClass* ClassType() const override { return &Class; }
  explicit TImageList(TComponent* owner) : TCustomImageList(owner) {}
  TImageList(int width, int height, TComponent* owner = nullptr)
      : TCustomImageList(width, height, owner) {}
};

}  // namespace vcl
