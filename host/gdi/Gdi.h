// The Win32-level drawing API: GDI objects, device contexts, regions and bitmaps.
// Primitives and blits are declared in GdiDraw.h, text in GdiText.h, codecs in Codecs.h,
// image lists in ImageList.h and the GDI+ subset in GdiPlus.h; Windows.h includes them all.
#pragma once
#include <cstdint>

#include "host/gdi/Types.h"

namespace vcl {

// ---- Handles ---------------------------------------------------------------------------------
// Every GDI object derives from GdiObject; the typed handles are pointers to the concrete
// structures (defined in GdiInternal.h, which only the drawing layers include).
struct GdiObject;
struct PenObject;
struct BrushObject;
struct FontObject;
struct BitmapObject;
struct RegionObject;
struct DcObject;

using HGDIOBJ = GdiObject*;
using HPEN = PenObject*;
using HBRUSH = BrushObject*;
using HFONT = FontObject*;
using HBITMAP = BitmapObject*;
using HRGN = RegionObject*;
using HDC = DcObject*;

// Object types (GetObjectType).
constexpr DWORD OBJ_PEN = 1;
constexpr DWORD OBJ_BRUSH = 2;
constexpr DWORD OBJ_DC = 3;
constexpr DWORD OBJ_REGION = 8;
constexpr DWORD OBJ_FONT = 6;
constexpr DWORD OBJ_BITMAP = 7;
constexpr DWORD OBJ_MEMDC = 10;

// Stock objects (GetStockObject).
constexpr int WHITE_BRUSH = 0;
constexpr int LTGRAY_BRUSH = 1;
constexpr int GRAY_BRUSH = 2;
constexpr int DKGRAY_BRUSH = 3;
constexpr int BLACK_BRUSH = 4;
constexpr int NULL_BRUSH = 5;
constexpr int HOLLOW_BRUSH = NULL_BRUSH;
constexpr int WHITE_PEN = 6;
constexpr int BLACK_PEN = 7;
constexpr int NULL_PEN = 8;
constexpr int OEM_FIXED_FONT = 10;
constexpr int ANSI_FIXED_FONT = 11;
constexpr int ANSI_VAR_FONT = 12;
constexpr int SYSTEM_FONT = 13;
constexpr int DEVICE_DEFAULT_FONT = 14;
constexpr int DEFAULT_GUI_FONT = 17;
constexpr int DC_BRUSH = 18;
constexpr int DC_PEN = 19;

HGDIOBJ GetStockObject(int index);
DWORD GetObjectType(HGDIOBJ obj);
// Deleting an object still selected into a DC is refused (returns false), as Win32 does.
// Stock objects are never deleted.
bool DeleteObject(HGDIOBJ obj);
bool DeleteObject(HPEN obj);
bool DeleteObject(HBRUSH obj);
bool DeleteObject(HFONT obj);
bool DeleteObject(HBITMAP obj);
bool DeleteObject(HRGN obj);
// The handle of a typed object as a generic one.
HGDIOBJ AsGdiObj(HPEN h);
HGDIOBJ AsGdiObj(HBRUSH h);
HGDIOBJ AsGdiObj(HFONT h);
HGDIOBJ AsGdiObj(HBITMAP h);
HGDIOBJ AsGdiObj(HRGN h);

// ---- Pens and brushes --------------------------------------------------------------------------
constexpr UINT PS_SOLID = 0;
constexpr UINT PS_DASH = 1;
constexpr UINT PS_DOT = 2;
constexpr UINT PS_DASHDOT = 3;
constexpr UINT PS_DASHDOTDOT = 4;
constexpr UINT PS_NULL = 5;
constexpr UINT PS_INSIDEFRAME = 6;
constexpr UINT PS_STYLE_MASK = 0x0F;

constexpr UINT BS_SOLID = 0;
constexpr UINT BS_NULL = 1;
constexpr UINT BS_HOLLOW = BS_NULL;
constexpr UINT BS_HATCHED = 2;
constexpr UINT BS_PATTERN = 3;

constexpr int HS_HORIZONTAL = 0;
constexpr int HS_VERTICAL = 1;
constexpr int HS_FDIAGONAL = 2;
constexpr int HS_BDIAGONAL = 3;
constexpr int HS_CROSS = 4;
constexpr int HS_DIAGCROSS = 5;

struct LOGPEN {
  UINT lopnStyle = PS_SOLID;
  TPoint lopnWidth{};
  COLORREF lopnColor = 0;
};
struct LOGBRUSH {
  UINT lbStyle = BS_SOLID;
  COLORREF lbColor = 0;
  std::uintptr_t lbHatch = 0;
};

HPEN CreatePen(int style, int width, COLORREF color);
HPEN CreatePenIndirect(const LOGPEN& lp);
HBRUSH CreateSolidBrush(COLORREF color);
HBRUSH CreateHatchBrush(int hatch, COLORREF color);
HBRUSH CreatePatternBrush(HBITMAP bitmap);  // the pattern is copied
HBRUSH CreateBrushIndirect(const LOGBRUSH& lb);
HBRUSH GetSysColorBrush(int index);  // a stock brush of the current system colour

// ---- Bitmaps -----------------------------------------------------------------------------------
constexpr DWORD BI_RGB = 0;
constexpr DWORD BI_RLE8 = 1;
constexpr DWORD BI_RLE4 = 2;
constexpr DWORD BI_BITFIELDS = 3;
constexpr UINT DIB_RGB_COLORS = 0;

struct RGBQUAD {
  BYTE rgbBlue = 0;
  BYTE rgbGreen = 0;
  BYTE rgbRed = 0;
  BYTE rgbReserved = 0;
};

struct BITMAPINFOHEADER {
  DWORD biSize = 40;
  LONG biWidth = 0;
  LONG biHeight = 0;  // negative: top-down rows
  WORD biPlanes = 1;
  WORD biBitCount = 0;
  DWORD biCompression = BI_RGB;
  DWORD biSizeImage = 0;
  LONG biXPelsPerMeter = 0;
  LONG biYPelsPerMeter = 0;
  DWORD biClrUsed = 0;
  DWORD biClrImportant = 0;
};

// Header followed by the colour table (or the three BI_BITFIELDS masks). Up to 256 entries.
struct BITMAPINFO {
  BITMAPINFOHEADER bmiHeader;
  RGBQUAD bmiColors[256];
};

struct BITMAP {
  LONG bmType = 0;
  LONG bmWidth = 0;
  LONG bmHeight = 0;
  LONG bmWidthBytes = 0;
  WORD bmPlanes = 1;
  WORD bmBitsPixel = 0;
  void* bmBits = nullptr;
};

struct DIBSECTION {
  BITMAP dsBm;
  BITMAPINFOHEADER dsBmih;
  DWORD dsBitfields[3] = {0, 0, 0};
};

// A DIB section: 1, 4, 8, 24 or 32 bits per pixel (16 is refused), rows DWORD aligned,
// top-down when biHeight < 0. *bits receives the pixel memory, owned by the bitmap.
// A 32-bit bitmap's pixels are words 0xAARRGGBB (blue in the low byte).
HBITMAP CreateDIBSection(HDC dc, const BITMAPINFO* info, UINT usage, void** bits,
                         void* section = nullptr, DWORD offset = 0);
// Convenience: a zero-filled top-down 32-bit DIB section.
HBITMAP CreateDIB32(int width, int height, void** bits = nullptr);
// A device-compatible bitmap: 32 bits per pixel, top-down, zero-filled (alpha 0).
HBITMAP CreateCompatibleBitmap(HDC dc, int width, int height);
// Device-dependent bitmap from raw rows (1 or 32 bits per pixel; rows WORD aligned).
HBITMAP CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits);

int GetObject(HGDIOBJ obj, int size, void* out);
int GetObject(HBITMAP bmp, BITMAP* out);
int GetObject(HBITMAP bmp, DIBSECTION* out);
// Rows of a bitmap in the format of info (1/4/8/24/32 bits; biHeight sign chooses the row
// order). Returns the number of lines copied, or 0 on failure. With bits == nullptr, fills in
// info's header (size, bit count, image size) and returns the height.
int GetDIBits(HDC dc, HBITMAP bmp, UINT start, UINT lines, void* bits, BITMAPINFO* info,
              UINT usage);
int SetDIBits(HDC dc, HBITMAP bmp, UINT start, UINT lines, const void* bits,
              const BITMAPINFO* info, UINT usage);
TSize GetBitmapDimension(HBITMAP bmp);
// Makes pending drawing visible in the bits of DIB sections (and vice versa).
bool GdiFlush();

// ---- Regions -----------------------------------------------------------------------------------
constexpr int ERROR = 0;
constexpr int NULLREGION = 1;
constexpr int SIMPLEREGION = 2;
constexpr int COMPLEXREGION = 3;
constexpr int RGN_AND = 1;
constexpr int RGN_OR = 2;
constexpr int RGN_XOR = 3;
constexpr int RGN_DIFF = 4;
constexpr int RGN_COPY = 5;

HRGN CreateRectRgn(int left, int top, int right, int bottom);
HRGN CreateRectRgnIndirect(const TRect& r);
HRGN CreateRoundRectRgn(int left, int top, int right, int bottom, int w, int h);
HRGN CreateEllipticRgn(int left, int top, int right, int bottom);
HRGN CreateEllipticRgnIndirect(const TRect& r);
constexpr int ALTERNATE = 1;
constexpr int WINDING = 2;
HRGN CreatePolygonRgn(const TPoint* points, int count, int fillMode);
int CombineRgn(HRGN dst, HRGN src1, HRGN src2, int mode);
bool SetRectRgn(HRGN rgn, int left, int top, int right, int bottom);
int OffsetRgn(HRGN rgn, int dx, int dy);
int GetRgnBox(HRGN rgn, TRect* box);
bool PtInRegion(HRGN rgn, int x, int y);
bool RectInRegion(HRGN rgn, const TRect* r);
bool EqualRgn(HRGN a, HRGN b);
// Number of rectangles in the region's band decomposition, and the rectangles themselves.
int GetRegionRects(HRGN rgn, TRect* out, int capacity);

// ---- Device contexts -----------------------------------------------------------------------------
// A memory DC: a 1x1 default bitmap until a bitmap is selected. dc may be nullptr.
HDC CreateCompatibleDC(HDC dc);
bool DeleteDC(HDC dc);

// Selects a pen, brush, font or bitmap (a region: SelectClipRgn semantics, returns the
// region type cast). Returns the previous object of that kind, or nullptr on failure (a bitmap
// already selected into another DC is refused).
HGDIOBJ SelectObject(HDC dc, HGDIOBJ obj);
HPEN SelectObject(HDC dc, HPEN obj);
HBRUSH SelectObject(HDC dc, HBRUSH obj);
HFONT SelectObject(HDC dc, HFONT obj);
HBITMAP SelectObject(HDC dc, HBITMAP obj);
HGDIOBJ GetCurrentObject(HDC dc, UINT type);

int SaveDC(HDC dc);                 // returns the new save depth (>= 1), 0 on failure
bool RestoreDC(HDC dc, int saved);  // saved > 0: that level; < 0: relative to the current

bool SetWindowOrgEx(HDC dc, int x, int y, TPoint* old);
bool GetWindowOrgEx(HDC dc, TPoint* out);
bool SetViewportOrgEx(HDC dc, int x, int y, TPoint* old);
bool GetViewportOrgEx(HDC dc, TPoint* out);
bool OffsetWindowOrgEx(HDC dc, int dx, int dy, TPoint* old);
bool OffsetViewportOrgEx(HDC dc, int dx, int dy, TPoint* old);
bool SetBrushOrgEx(HDC dc, int x, int y, TPoint* old);
bool GetBrushOrgEx(HDC dc, TPoint* out);
bool LPtoDP(HDC dc, TPoint* pts, int count);
bool DPtoLP(HDC dc, TPoint* pts, int count);

// Clipping. Rectangles are logical coordinates; SelectClipRgn takes device coordinates
// (a copy of the region is kept; nullptr removes the clip).
int IntersectClipRect(HDC dc, int left, int top, int right, int bottom);
int ExcludeClipRect(HDC dc, int left, int top, int right, int bottom);
int SelectClipRgn(HDC dc, HRGN rgn);
int ExtSelectClipRgn(HDC dc, HRGN rgn, int mode);
int OffsetClipRgn(HDC dc, int dx, int dy);
// 1 and a copy in rgn (device coordinates) when a clip region is set, 0 when none, -1 error.
int GetClipRgn(HDC dc, HRGN rgn);
// The clip box in logical coordinates: the intersection of the clip region, the visible
// region and the surface.
int GetClipBox(HDC dc, TRect* box);
bool PtVisible(HDC dc, int x, int y);
bool RectVisible(HDC dc, const TRect* r);

constexpr int TRANSPARENT = 1;
constexpr int OPAQUE = 2;
COLORREF SetTextColor(HDC dc, COLORREF color);
COLORREF GetTextColor(HDC dc);
COLORREF SetBkColor(HDC dc, COLORREF color);
COLORREF GetBkColor(HDC dc);
int SetBkMode(HDC dc, int mode);
int GetBkMode(HDC dc);
COLORREF SetDCPenColor(HDC dc, COLORREF color);
COLORREF GetDCPenColor(HDC dc);
COLORREF SetDCBrushColor(HDC dc, COLORREF color);
COLORREF GetDCBrushColor(HDC dc);

// Binary raster operations for pens (SetROP2).
constexpr int R2_BLACK = 1;
constexpr int R2_NOTMERGEPEN = 2;
constexpr int R2_MASKNOTPEN = 3;
constexpr int R2_NOTCOPYPEN = 4;
constexpr int R2_MASKPENNOT = 5;
constexpr int R2_NOT = 6;
constexpr int R2_XORPEN = 7;
constexpr int R2_NOTMASKPEN = 8;
constexpr int R2_MASKPEN = 9;
constexpr int R2_NOTXORPEN = 10;
constexpr int R2_NOP = 11;
constexpr int R2_MERGENOTPEN = 12;
constexpr int R2_COPYPEN = 13;
constexpr int R2_MERGEPENNOT = 14;
constexpr int R2_MERGEPEN = 15;
constexpr int R2_WHITE = 16;
int SetROP2(HDC dc, int rop2);
int GetROP2(HDC dc);

constexpr int BLACKONWHITE = 1;
constexpr int WHITEONBLACK = 2;
constexpr int COLORONCOLOR = 3;
constexpr int HALFTONE = 4;
int SetStretchBltMode(HDC dc, int mode);
int GetStretchBltMode(HDC dc);

// Device capabilities (GetDeviceCaps).
constexpr int HORZRES = 8;
constexpr int VERTRES = 10;
constexpr int BITSPIXEL = 12;
constexpr int PLANES = 14;
constexpr int LOGPIXELSX = 88;
constexpr int LOGPIXELSY = 90;
int GetDeviceCaps(HDC dc, int index);
// The pixels per inch a DC reports (LOGPIXELSX/Y); 96 unless set, e.g. by the window manager
// for a window on a high-density monitor.
void SetDcDpi(HDC dc, int dpi);

// The bitmap selected into a DC (the 1x1 default bitmap when none was selected).
HBITMAP GetDcBitmap(HDC dc);

}  // namespace vcl
