// TGraphic, the abstract picture, and TBitmap, a picture held as device-independent rows.
#pragma once
#include <memory>

#include "host/classes/Persistent.h"
#include "host/classes/Sets.h"
#include "host/gdi/Gdi.h"

namespace vcl {

class TCanvas;
class TStream;

// ---- TGraphic -------------------------------------------------------------------------------
// A picture that draws itself on a canvas, loads and saves itself as a file format, and stores
// itself in window descriptions as the binary property "Data" (whatever WriteData writes).
class TGraphic : public TPersistent {
 public:
  static const TClass Class;
  const TClass* ClassType() const override { return &Class; }

  ~TGraphic() override;

  virtual bool Empty() const = 0;
  virtual int Width() const = 0;
  virtual int Height() const = 0;
  virtual void SetWidth(int v) { SetSize(v, Height()); }
  virtual void SetHeight(int v) { SetSize(Width(), v); }
  virtual void SetSize(int width, int height) = 0;
  // Whether drawing leaves some pixels of the destination visible.
  virtual bool Transparent() const { return FTransparent; }
  virtual void SetTransparent(bool v);
  bool Modified() const { return FModified; }
  void SetModified(bool v);

  virtual void LoadFromStream(TStream* stream) = 0;
  virtual void SaveToStream(TStream* stream) = 0;
  // Failures name the file; a file that cannot be decoded leaves the picture as it was.
  void LoadFromFile(const String& fileName);
  void SaveToFile(const String& fileName);
  // An embedded resource of type RCDATA (the instance is ignored: there is one program).
  void LoadFromResourceName(NativeUInt instance, StringView name);

  const TNotifyEvent& OnChange() const { return FOnChange; }
  void SetOnChange(const TNotifyEvent& e) { FOnChange = e; }

  // "Data": binary, written when the picture is not empty.
  void DefineProperties(TFiler* filer) override;

 protected:
  friend class TCanvas;
  TGraphic() = default;

  // Fires OnChange (and marks the picture modified).
  virtual void Changed(TObject* sender);
  // Draws the picture stretched into r on the canvas (whose DC is bound).
  virtual void Draw(TCanvas* canvas, const TRect& r) = 0;
  // The same, with a constant opacity on top.
  virtual void DrawTransparent(TCanvas* canvas, const TRect& r, Byte opacity) = 0;
  // The stored form; the defaults are SaveToStream and LoadFromStream.
  virtual void ReadData(TStream* stream);
  virtual void WriteData(TStream* stream);
  // The name used in messages of the load in progress (a file or resource name), or "".
  const String& SourceName() const { return FSourceName; }

  bool FTransparent = false;
  bool FModified = false;
  TNotifyEvent FOnChange;

 private:
  String FSourceName;
};

// ---- TBitmap --------------------------------------------------------------------------------
enum TPixelFormat { pfDevice, pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit, pfCustom };
constexpr TEnumNames EnumNames(TPixelFormat) {
  return {u"TPixelFormat",
          u"pfDevice pf1bit pf4bit pf8bit pf15bit pf16bit pf24bit pf32bit pfCustom"};
}
enum TAlphaFormat { afIgnored, afDefined, afPremultiplied };
constexpr TEnumNames EnumNames(TAlphaFormat) {
  return {u"TAlphaFormat", u"afIgnored afDefined afPremultiplied"};
}
enum TTransparentMode { tmAuto, tmFixed };
constexpr TEnumNames EnumNames(TTransparentMode) {
  return {u"TTransparentMode", u"tmAuto tmFixed"};
}
enum TBitmapHandleType { bmDIB, bmDDB };

// Rows are kept top row first in a DIB section; ScanLine(y) is row y counted from the top, and
// ScanLine(y + 1) lies RowBytes() after ScanLine(y). A 32-bit pixel is the word 0xAARRGGBB
// (blue in the lowest byte).
//
// Pixel formats: pf1bit (black/white), pf4bit (the 16 VGA colours), pf8bit (a 6x6x6 colour
// cube plus 40 greys), pf24bit, pf32bit, and pfDevice, the format of a new bitmap, which holds
// 32-bit rows like pf32bit but reports pfDevice until ScanLine or PixelFormat makes it a DIB
// (then it is pf32bit). Changing the format converts the pixels (to a palette by the nearest
// colour); pf15bit, pf16bit and pfCustom raise EInvalidGraphicOperation.
//
// AlphaFormat says how drawing reads 32-bit rows: afIgnored draws them opaque (the alpha bytes
// are ignored), afDefined blends them as straight (non-premultiplied) alpha, afPremultiplied
// as premultiplied alpha. Changing it converts the rows of a non-empty 32-bit bitmap:
//   to afPremultiplied (from afIgnored or afDefined): every channel c becomes
//     round(c * a / 255) = (c * a + 127) / 255;
//   from afPremultiplied (to afIgnored or afDefined): every channel c of a pixel with a > 0
//     becomes min(255, round(c * 255 / a)) = (c * 255 + a / 2) / a, and a pixel with a = 0
//     becomes 0;
//   between afIgnored and afDefined: the rows stay as they are.
// Premultiplying after un-premultiplying gives back every validly premultiplied pixel exactly.
//
// Transparent bitmaps (Transparent true, AlphaFormat afIgnored or not 32 bits) are drawn keyed:
// pixels of TransparentColor (the bottom-left pixel in tmAuto, the set colour in tmFixed)
// leave the destination unchanged.
//
// The file format is BMP: 32-bit bitmaps are saved with their alpha (afPremultiplied rows
// un-premultiplied, so the file holds straight alpha), others as 24 bits (1, 4 and 8-bit
// bitmaps too). A loaded 32-bit file gives pf32bit rows as in the file with AlphaFormat
// afIgnored; any other file gives pf24bit. The stored form "Data" is a 32-bit little-endian
// byte count followed by that BMP file.
class TBitmap : public TGraphic {
 public:
  static const TClass Class;
  const TClass* ClassType() const override { return &Class; }

  TBitmap();
  TBitmap(int width, int height);
  ~TBitmap() override;

  // From a TBitmap (a deep copy of pixels, formats and transparency settings), nullptr (empty)
  // or any other graphic, which is drawn into this bitmap (pf32bit, afPremultiplied, starting
  // transparent black) unless the graphic converts itself (TPngImage does).
  void Assign(TPersistent* source) override;

  bool Empty() const override { return FWidth == 0 || FHeight == 0; }
  int Width() const override { return FWidth; }
  int Height() const override { return FHeight; }
  // Keeps the pixels of the common top-left area; new pixels are 0 (black, alpha 0). A size
  // of 0 in either direction empties the bitmap. Negative or oversized (> 32768 per side or
  // 2^28 pixels) sizes raise EInvalidGraphicOperation.
  void SetSize(int width, int height) override;

  TPixelFormat PixelFormat() const { return FPixelFormat; }
  void SetPixelFormat(TPixelFormat v);
  TAlphaFormat AlphaFormat() const { return FAlphaFormat; }
  void SetAlphaFormat(TAlphaFormat v);
  bool Monochrome() const { return FPixelFormat == pf1bit; }
  void SetMonochrome(bool v);
  TBitmapHandleType HandleType() const { return FPixelFormat == pfDevice ? bmDDB : bmDIB; }
  void SetHandleType(TBitmapHandleType v);
  // Bits per pixel of the rows (32 for pfDevice), 0 for an empty bitmap.
  int BitsPerPixel() const;

  // Row y from the top (0 <= y < Height, else EInvalidGraphicOperation), for reading and
  // writing. A pfDevice bitmap becomes pf32bit.
  void* ScanLine(int y);
  // Bytes from one row to the next (rows are DWORD aligned).
  int RowBytes() const;

  void SetTransparent(bool v) override;
  // The colour keyed out when Transparent: the bottom-left pixel's colour in tmAuto, the set
  // colour (system colours resolved) in tmFixed.
  TColor TransparentColor();
  // Setting a colour switches to tmFixed; clDefault switches back to tmAuto.
  void SetTransparentColor(TColor v);
  TTransparentMode TransparentMode() const { return FTransparentMode; }
  void SetTransparentMode(TTransparentMode v);

  // The bitmap's canvas, drawing into the pixels. Drawing fires the bitmap's OnChange.
  TCanvas* Canvas();
  // The bitmap handle (nullptr while empty); owned by the bitmap.
  HBITMAP Handle();
  // Adopts a bitmap (ownership passes to this TBitmap); its size and depth become the
  // bitmap's (32-bit DIB: pf32bit; other 32-bit bitmaps: pfDevice).
  void SetHandle(HBITMAP bitmap);
  // The same, declaring how the adopted rows hold alpha (the rows are not converted).
  void SetHandle(HBITMAP bitmap, TAlphaFormat alphaFormat);
  // Gives up the handle: the caller owns it and the bitmap is empty.
  HBITMAP ReleaseHandle();
  bool HandleAllocated() const { return FHandle != nullptr; }
  // Kept for compatibility: the pixels are always device independent.
  void Dormant() {}
  void FreeImage() {}

  void LoadFromStream(TStream* stream) override;
  void SaveToStream(TStream* stream) override;

 protected:
  void Changed(TObject* sender) override;
  void Draw(TCanvas* canvas, const TRect& r) override;
  void DrawTransparent(TCanvas* canvas, const TRect& r, Byte opacity) override;
  void ReadData(TStream* stream) override;
  void WriteData(TStream* stream) override;
  void AssignTo(TPersistent* dest) override;

 private:
  class TBitmapCanvas;
  friend class TBitmapCanvas;

  // Replaces the pixel storage (the canvas lets go of the old bitmap first).
  void ReplaceHandle(HBITMAP bitmap, TPixelFormat format);
  void FreeContext();
  void BeginPixels();
  void EndPixels();
  void DrawInto(TCanvas* canvas, const TRect& r, Byte opacity);
  void CanvasChanged(TObject* sender);

  HBITMAP FHandle = nullptr;
  int FWidth = 0;
  int FHeight = 0;
  TPixelFormat FPixelFormat = pfDevice;
  TAlphaFormat FAlphaFormat = afIgnored;
  TTransparentMode FTransparentMode = tmAuto;
  TColor FTransparentColor = clDefault;
  std::unique_ptr<TBitmapCanvas> FCanvas;
};

// A top-down 32-bit DIB section holding the bitmap's pixels as drawing sees them, premultiplied:
// afIgnored and lower depths opaque (alpha 255), afDefined rows premultiplied, afPremultiplied
// rows as they are. nullptr for an empty bitmap. The caller owns the result.
HBITMAP CreatePremultipliedCopy(TBitmap* bitmap);

}  // namespace vcl
