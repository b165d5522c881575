// Small GDI+ helpers shared by the image collection, the virtual image list and the icon-font
// glyphs, the slice options of an image (TkxGPBitmapOptions) and the three- and nine-slice
// drawing that uses them.
#pragma once
#include "host/classes/Persistent.h"
#include "host/gdi/Gdi.h"

namespace vcl {
class TBitmap;
class TGPBitmap;
class TGPGraphics;
struct TGPRectF;
}

namespace kx {

// ---- slice options ----------------------------------------------------------------------------

// Margins (in image pixels) that cut an image into three or nine slices, and how the slices
// fill the destination. OnChange fires after each margin setter, whatever the value.
class TkxGPBitmapOptions : public vcl::TPersistent {
 public:
  static const vcl::TClass Class;
  const vcl::TClass* ClassType() const override { return &Class; }

  TkxGPBitmapOptions() = default;

  int LeftMargin() const { return FLeftMargin; }
  void SetLeftMargin(int v);
  int TopMargin() const { return FTopMargin; }
  void SetTopMargin(int v);
  int RightMargin() const { return FRightMargin; }
  void SetRightMargin(int v);
  int BottomMargin() const { return FBottomMargin; }
  void SetBottomMargin(int v);
  // The centre slice is stretched (else tiled).
  bool Stretch() const { return FStretch; }
  void SetStretch(bool v) { FStretch = v; }
  // The edge slices of a nine-slice image are stretched (else tiled).
  bool StretchBorder() const { return FStretchBorder; }
  void SetStretchBorder(bool v) { FStretchBorder = v; }
  // The centre slice is left out.
  bool DrawOnlyBorder() const { return FDrawOnlyBorder; }
  void SetDrawOnlyBorder(bool v) { FDrawOnlyBorder = v; }
  // Only the centre slice is drawn, over the whole destination.
  bool DrawOnlyClient() const { return FDrawOnlyClient; }
  void SetDrawOnlyClient(bool v) { FDrawOnlyClient = v; }

  const vcl::TNotifyEvent& OnChange() const { return FOnChange; }
  void SetOnChange(const vcl::TNotifyEvent& e) { FOnChange = e; }

  // From another TkxGPBitmapOptions: the eight values (not OnChange).
  void Assign(vcl::TPersistent* source) override;

 private:
  int FLeftMargin = 0;
  int FRightMargin = 0;
  int FTopMargin = 0;
  int FBottomMargin = 0;
  bool FStretch = true;
  bool FStretchBorder = false;
  bool FDrawOnlyBorder = false;
  bool FDrawOnlyClient = false;
  vcl::TNotifyEvent FOnChange;
};

// ---- where image drawing goes -------------------------------------------------------------------

// The slicing and placement code issues its drawing through this interface: one image draw
// per slice or tile, and rectangular clips around the slices that must not spill over.
// TkxGPGraphicsTarget sends it to a GDI+ graphics object; tests record it.
class TkxGPDrawTarget {
 public:
  virtual ~TkxGPDrawTarget() = default;
  // The source rectangle (pixels of the image) stretched into dest.
  virtual void DrawImage(vcl::TGPBitmap* image, const vcl::TGPRectF& dest,
                         const vcl::TGPRectF& src) = 0;
  // Restricts the following draws to r, within whatever clip the target already had.
  virtual void SetClip(const vcl::TGPRectF& r) = 0;
  // Ends the restriction of SetClip (the target's own clip stays).
  virtual void ResetClip() = 0;
};

// Draws through a caller's graphics object with the caller's modes. Clips are intersected
// with the graphics object's clip and taken back afterwards, so a clip the caller set
// survives the drawing.
class TkxGPGraphicsTarget final : public TkxGPDrawTarget {
 public:
  explicit TkxGPGraphicsTarget(vcl::TGPGraphics* g) : G(g) {}
  ~TkxGPGraphicsTarget() override { ResetClip(); }
  TkxGPGraphicsTarget(const TkxGPGraphicsTarget&) = delete;
  TkxGPGraphicsTarget& operator=(const TkxGPGraphicsTarget&) = delete;
  void DrawImage(vcl::TGPBitmap* image, const vcl::TGPRectF& dest,
                 const vcl::TGPRectF& src) override;
  void SetClip(const vcl::TGPRectF& r) override;
  void ResetClip() override;

 private:
  vcl::TGPGraphics* G;
  vcl::UINT FSaved = 0;  // the graphics state saved around a clip
  bool FClipped = false;
};

// ---- helpers ------------------------------------------------------------------------------------

// clNone gives 0 (fully transparent); any other colour its RGB (system colours resolved) with
// the given alpha in the top byte.
vcl::DWORD ColorToGPColor(vcl::TColor AColor, vcl::Byte AAlpha = 255);  // an ARGB word
vcl::TGPRectF RectToGPRectF(const vcl::TRect& R);
void InflateGPRectF(vcl::TGPRectF& R, float DX, float DY);

// Draws the bitmap stretched into R through GDI+ with high-quality smoothing and
// interpolation, and high-quality pixel offset unless AHighQualityPixelOffset is false (then
// the graphics object's default). A 32-bit bitmap is read with its alpha (its AlphaFormat says
// whether the rows are premultiplied); other depths are opaque. Nothing for an empty bitmap.
void DrawBitmapGP(vcl::HDC DC, const vcl::TRect& R, vcl::TBitmap* B,
                  bool AHighQualityPixelOffset = true);
// The same for a GDI+ bitmap.
void DrawGPBitmap(vcl::HDC DC, const vcl::TRect& R, vcl::TGPBitmap* B,
                  bool AHighQualityPixelOffset = true);

// Draws bitmap B sliced by the margins of O into D at scale AScaleFactor. VW and VH, when both
// are at least 1, are the logical size of the image, by which the margins and tiles are
// scaled as well. Nine slices when all four margins are at least 1, three side by side when
// only the left and right ones are, three stacked when only the top and bottom ones are;
// otherwise nothing is drawn (the caller places the image by its draw style instead).
// Tiles whose length comes out as 0 or less are not drawn.
void GPDrawBitmapWithOptions(TkxGPDrawTarget& G, vcl::TGPBitmap* B, const TkxGPBitmapOptions* O,
                             double AScaleFactor, int VW, int VH, const vcl::TGPRectF& D);
void GPDrawBitmapWithOptions(vcl::TGPGraphics* G, vcl::TGPBitmap* B, const TkxGPBitmapOptions* O,
                             double AScaleFactor, int VW, int VH, const vcl::TGPRectF& D);

// Rounding of sizes and positions: to the nearest integer, halves to even. Values that are
// not finite, or beyond the integer range, give 0.
int kxRound(double x);
// Drops the fraction; the same guard.
int kxTrunc(double x);

}  // namespace kx
