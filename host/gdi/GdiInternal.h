// Internal structures of GDI objects and device contexts, shared by the drawing layers
// (host/gdi, host/graphics, host/win). Application code uses the handles of Gdi.h only.
#pragma once
#include <cairo.h>

#include <memory>
#include <vector>

#include "host/gdi/Gdi.h"
#include "host/gdi/GdiText.h"

namespace vcl {

enum class GdiKind : std::uint8_t { Pen, Brush, Font, Bitmap, Region };

struct GdiObject {
  explicit GdiObject(GdiKind kind) : Kind(kind) {}
  virtual ~GdiObject() = default;
  GdiObject(const GdiObject&) = delete;
  GdiObject& operator=(const GdiObject&) = delete;

  GdiKind Kind;
  bool Stock = false;    // never deleted
  int SelectCount = 0;   // number of DCs (and saved DC states) that hold it selected
};

struct PenObject final : GdiObject {
  PenObject() : GdiObject(GdiKind::Pen) {}
  UINT Style = PS_SOLID;
  int Width = 1;
  COLORREF Color = 0;
  bool UsesDcColor = false;  // the DC_PEN stock object
};

struct BrushObject final : GdiObject {
  BrushObject() : GdiObject(GdiKind::Brush) {}
  ~BrushObject() override;
  UINT Style = BS_SOLID;
  COLORREF Color = 0;
  int Hatch = 0;
  BitmapObject* Pattern = nullptr;  // owned copy for BS_PATTERN (32-bit)
  bool UsesDcColor = false;         // the DC_BRUSH stock object
  int SysColorIndex = -1;           // GetSysColorBrush: follows the system colour table
};

// Text resources of a font (layout font description, metrics) are built on first use by the
// text code and cached here; see Font.cpp.
struct FontCache;
struct FontObject final : GdiObject {
  FontObject() : GdiObject(GdiKind::Font) {}
  ~FontObject() override;
  LOGFONTW Log{};
  mutable FontCache* Cache = nullptr;
};

struct BitmapObject final : GdiObject {
  BitmapObject() : GdiObject(GdiKind::Bitmap) {}
  ~BitmapObject() override;

  int Width = 0;
  int Height = 0;
  int BitsPerPixel = 32;   // 1, 4, 8, 24 or 32
  int Stride = 0;          // bytes per row as stored (DWORD aligned)
  bool TopDown = true;     // row 0 of Bits is the top row
  bool IsDib = false;      // a DIB section (GetObject reports DIBSECTION)
  BYTE* Bits = nullptr;    // owned pixel memory
  std::vector<RGBQUAD> Palette;  // colour table of 1/4/8-bit bitmaps
  DWORD Masks[3] = {0, 0, 0};    // BI_BITFIELDS masks as created (reported by GetObject)
  DcObject* SelectedInto = nullptr;

  // Drawing goes to a 32-bit surface. For a top-down 32-bit bitmap it aliases Bits directly;
  // for other formats it is a shadow copy, refreshed from Bits when drawing starts and written
  // back when it ends (see DcObject::BeginDraw/EndDraw), so Bits is always current.
  cairo_surface_t* Surface = nullptr;
  bool IsShadow() const { return !(BitsPerPixel == 32 && TopDown); }
};

struct RegionObject final : GdiObject {
  RegionObject();
  ~RegionObject() override;
  cairo_region_t* Rgn;
};

// Saved DC state (SaveDC).
struct DcState {
  PenObject* Pen;
  BrushObject* Brush;
  FontObject* Font;
  BitmapObject* Bitmap;
  TPoint WindowOrg, ViewportOrg, BrushOrg, CurPos;
  cairo_region_t* ClipRgn;  // owned copy or nullptr
  COLORREF TextColor, BkColor, DcPenColor, DcBrushColor;
  int BkMode, Rop2, StretchMode, PolyFillMode, ArcDirection;
  UINT TextAlign;
  int TextCharExtra;
};

struct DcObject {
  DcObject();
  ~DcObject();
  DcObject(const DcObject&) = delete;
  DcObject& operator=(const DcObject&) = delete;

  bool IsMemoryDc = true;
  PenObject* Pen = nullptr;
  BrushObject* Brush = nullptr;
  FontObject* Font = nullptr;
  BitmapObject* Bitmap = nullptr;

  TPoint WindowOrg{};
  TPoint ViewportOrg{};
  TPoint BrushOrg{};
  TPoint CurPos{};
  // Where device (0,0) lies on the surface: a window DC sits at the window's position in its
  // top-level back buffer.
  TPoint DcOrg{};
  // Visible region in surface coordinates, set by the window manager (nullptr: whole surface).
  cairo_region_t* VisRgn = nullptr;
  // The application clip region in device coordinates (nullptr: none).
  cairo_region_t* ClipRgn = nullptr;

  COLORREF TextColor = 0x000000;
  COLORREF BkColor = 0xFFFFFF;
  COLORREF DcPenColor = 0x000000;
  COLORREF DcBrushColor = 0xFFFFFF;
  int BkMode = OPAQUE;
  int Rop2 = R2_COPYPEN;
  int StretchMode = BLACKONWHITE;
  int PolyFillMode = ALTERNATE;
  int ArcDirection = 1;  // AD_COUNTERCLOCKWISE
  UINT TextAlign = 0;
  int TextCharExtra = 0;
  int Dpi = 96;
  std::vector<DcState> Saved;

  // For window DCs: the window manager's release hook and data.
  void* Owner = nullptr;

  // ---- derived, cached -----------------------------------------------------------------
  // Logical -> surface offset.
  TPoint Offset() const {
    return {DcOrg.X + ViewportOrg.X - WindowOrg.X, DcOrg.Y + ViewportOrg.Y - WindowOrg.Y};
  }
  // Device -> surface offset.
  TPoint DeviceOffset() const { return DcOrg; }

  // The effective clip in surface coordinates: surface bounds ∩ VisRgn ∩ (ClipRgn + DcOrg).
  // Owned by the DC; valid until the next change of clip, origin or bitmap.
  const cairo_region_t* Clip();
  // Call after changing VisRgn, ClipRgn, DcOrg or the bitmap.
  void InvalidateClip();

  // A cairo context on the surface with the effective clip applied and the logical -> surface
  // translation set as its matrix; operator OVER, antialiasing default. The context is owned
  // by the DC and reused; callers must leave it as they found it (cairo_save/restore).
  cairo_t* Cairo();

  // Brackets around direct pixel access and cairo drawing. BeginDraw returns the 32-bit
  // surface (nullptr for the 1x1 default bitmap only when it failed) and flushes cairo;
  // EndDraw marks the surface dirty (and, for shadowed bitmaps, writes back to Bits).
  cairo_surface_t* BeginDraw();
  void EndDraw();

  // Pen/brush colours with DC_PEN / DC_BRUSH / system colour brushes resolved.
  COLORREF PenColor() const;
  COLORREF BrushColor() const;

 private:
  cairo_region_t* FClip = nullptr;
  bool FClipValid = false;
  cairo_t* FCr = nullptr;
  cairo_surface_t* FCrSurface = nullptr;
  bool FCrValid = false;
};

// Pixel access of a 32-bit surface (after BeginDraw).
inline std::uint32_t* SurfacePixels(cairo_surface_t* s, int& strideWords) {
  strideWords = cairo_image_surface_get_stride(s) / 4;
  return reinterpret_cast<std::uint32_t*>(cairo_image_surface_get_data(s));
}

// The 32-bit drawing surface of a bitmap (created on demand; a shadow is refreshed from Bits).
cairo_surface_t* BitmapSurface(BitmapObject* bmp);
// Writes a shadow surface back into the bitmap's native Bits (no-op for aliasing surfaces).
void StoreShadow(BitmapObject* bmp);
// Row y (0 = top) of a bitmap's native Bits.
inline BYTE* BitmapRow(BitmapObject* bmp, int y) {
  int row = bmp->TopDown ? y : bmp->Height - 1 - y;
  return bmp->Bits + size_t(row) * size_t(bmp->Stride);
}

// Iterate the rectangles of a cairo region intersected with r (surface coordinates).
template <class F>
void ForEachClipRect(const cairo_region_t* clip, const TRect& r, F&& fn) {
  if (r.IsEmpty()) return;
  int n = cairo_region_num_rectangles(clip);
  for (int i = 0; i < n; ++i) {
    cairo_rectangle_int_t c;
    cairo_region_get_rectangle(clip, i, &c);
    TRect cr = TRect::Intersect(r, TRect{c.x, c.y, c.x + c.width, c.y + c.height});
    if (!cr.IsEmpty()) fn(cr);
  }
}

// Validating casts from handles: nullptr for a wrong or null handle.
PenObject* AsPen(HGDIOBJ h);
BrushObject* AsBrush(HGDIOBJ h);
FontObject* AsFont(HGDIOBJ h);
BitmapObject* AsBitmap(HGDIOBJ h);
RegionObject* AsRegion(HGDIOBJ h);

// A premultiplied 0xAARRGGBB pixel of an opaque COLORREF.
inline std::uint32_t OpaquePixel(COLORREF c) {
  return 0xFF000000u | (std::uint32_t(GetRValue(c)) << 16) | (std::uint32_t(GetGValue(c)) << 8) |
         GetBValue(c);
}

}  // namespace vcl
