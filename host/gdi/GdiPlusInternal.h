// Internal structures of the GDI+ subset, shared by its implementation files only.
#pragma once
#include <cairo.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "host/gdi/GdiInternal.h"
#include "host/gdi/GdiPlus.h"

namespace vcl {

constexpr int kGpMaxImageSide = 32767;  // the largest cairo image surface

// ---- Pixel words ------------------------------------------------------------------------------
// Storage words of a bitmap: straight ARGB, premultiplied ARGB, or opaque RGB (alpha 0xFF).
enum class GpWordKind : std::uint8_t { Straight, Premultiplied, Opaque };
GpWordKind WordKindOf(PixelFormat format);
bool IsSupportedFormat(PixelFormat format);
// Converts count words between two kinds (src and dst may be the same buffer).
void ConvertWords(const std::uint32_t* src, GpWordKind from, std::uint32_t* dst, GpWordKind to,
                  size_t count);

// ---- Images --------------------------------------------------------------------------------------
// A bitmap keeps its pixels in its own format (owned 32-bit words, or the caller's rows) and a
// premultiplied cairo surface for drawing from and into it. For an owned PARGB bitmap the
// surface aliases the words; otherwise the two are converted lazily: whichever side was
// written last is current. Wrapped caller memory is re-read at every use and written back
// after every drawing operation, since its owner may change it at any time.
struct GpImageData {
  GpImageData();
  ~GpImageData();
  GpImageData(const GpImageData&) = delete;
  GpImageData& operator=(const GpImageData&) = delete;

  int Width = 0;
  int Height = 0;
  PixelFormat Format = PixelFormat32bppARGB;
  std::vector<std::uint32_t> Own;  // owned words, Width per row
  BYTE* Ext = nullptr;             // wrapped rows
  int ExtStride = 0;
  cairo_surface_t* Surface = nullptr;
  bool SurfaceAliases = false;
  bool SurfaceCurrent = false;
  bool StorageCurrent = true;
  std::uint64_t Uid;          // unique for the process lifetime
  std::uint64_t Version = 1;  // changes with every change of the pixels

  // LockBits state.
  bool Locked = false;
  TGPRect LockRect;
  UINT LockFlags = 0;
  PixelFormat LockFormat = 0;
  bool LockInPlace = false;
  std::unique_ptr<BYTE[]> LockBuffer;
  void* LockScan0 = nullptr;
  int LockStride = 0;

  bool Valid() const { return Width > 0 && Height > 0; }
  GpWordKind Kind() const { return WordKindOf(Format); }
  // Allocates owned storage (zero = transparent; opaque formats get black).
  Status Allocate(int width, int height, PixelFormat format);
  // Row y of the storage as 32-bit words in the storage kind, converted into `out` (n words
  // from column x0). Brings the storage up to date first.
  void ReadStorage(int y, int x0, int n, std::uint32_t* out);
  void WriteStorage(int y, int x0, int n, const std::uint32_t* in);
  // Marks the storage as changed (after writing it directly).
  void StorageChanged();
  // The current pixels, premultiplied (nullptr when the surface cannot be created).
  cairo_surface_t* SourceSurface();
  // Brackets around drawing into the bitmap.
  cairo_surface_t* BeginTarget();
  void EndTarget();
  // Brings the storage up to date after drawing into a non-aliasing surface.
  void SyncStorage();

 private:
  bool EnsureSurface();
  void FillSurfaceFromStorage();
};

// ---- Graphics ------------------------------------------------------------------------------------
// A clip shape in device coordinates (world transform applied at the time it was set).
struct GpClipItem {
  std::vector<TGPPointF> Points;
  std::vector<BYTE> Types;
  FillMode Fill = FillModeAlternate;
  bool Exclude = false;
  TGPRectF Bounds;  // of the points
};

struct GpState {
  cairo_matrix_t World;
  std::vector<GpClipItem> Clip;
  CompositingMode Compositing = CompositingModeSourceOver;
  CompositingQuality CompQuality = CompositingQualityDefault;
  InterpolationMode Interpolation = InterpolationModeBilinear;
  PixelOffsetMode PixelOffset = PixelOffsetModeDefault;
  SmoothingMode Smoothing = SmoothingModeNone;
  TextRenderingHint TextHint = TextRenderingHintSystemDefault;
  UINT TextContrast = 4;
  GpState() { cairo_matrix_init_identity(&World); }
};

struct GpGraphicsData {
  ~GpGraphicsData();
  HDC Dc = nullptr;
  TGPImage* Image = nullptr;
  Status Last = Ok;
  GpState S;
  std::vector<std::pair<GraphicsState, GpState>> Saved;
  GraphicsState NextState = 1;
  std::uint64_t ClipVersion = 1;

  // Prepares the context for one drawing operation: target surface, clip, device matrix
  // (world, then pixel offset, then the DC origin), antialiasing and operator. Returns
  // nullptr with the failure in `status`. Every successful Begin must be paired with End.
  cairo_t* Begin(Status& status);
  void End();

  // Logical -> surface offset of the target.
  TPoint Origin() const;
  // 0.5 for the modes that put pixel centres on integer coordinates, else 0.
  double Shift() const;
  // World -> surface matrix.
  cairo_matrix_t DeviceMatrix() const;
  double Dpi() const;
  // The bounds of the target's drawable area in surface coordinates.
  TGPRectF TargetBounds() const;
  // Rectangle extents of the clip items (device coordinates); false when unbounded.
  bool ClipItemBounds(TGPRectF& r) const;
  Status Fail(Status s) { Last = s; return s; }

 private:
  void ApplyClip();
  cairo_t* FCr = nullptr;
  cairo_surface_t* FCrSurface = nullptr;
  bool FClipApplied = false;
  std::uint64_t FAppliedVersion = 0;
  TPoint FAppliedOrigin;
  double FAppliedShift = -1;
  cairo_region_t* FAppliedDcClip = nullptr;
};

// Path and brush helpers.
void EmitPath(cairo_t* cr, const std::vector<TGPPointF>& points, const std::vector<BYTE>& types);
void EmitRect(cairo_t* cr, const TGPRectF& r);
cairo_fill_rule_t FillRuleOf(FillMode mode);
// Sets the brush as the source of cr (in cr's current user space). False for an unusable brush.
bool SetBrushSource(cairo_t* cr, const TGPBrush* brush);
void SetColorSource(cairo_t* cr, ARGB color);
bool HalfPixelMode(PixelOffsetMode mode);

// Image drawing (GdiPlusDrawImage.cpp).
Status GpDrawImage(GpGraphicsData& g, TGPImage* image, const TGPRectF& dest, const TGPRectF& src,
                   const TGPImageAttributes* attributes);

// Text (GdiPlusText.cpp).
Status GpDrawString(GpGraphicsData& g, const Char* text, int length, const TGPFont* font,
                    const TGPRectF& layout, bool fromOrigin, const TGPStringFormat* format,
                    const TGPBrush* brush);
Status GpMeasureString(const GpGraphicsData& g, const Char* text, int length, const TGPFont* font,
                       const TGPRectF& layout, bool fromOrigin, const TGPStringFormat* format,
                       TGPRectF* box, int* fitted, int* lines);

}  // namespace vcl
