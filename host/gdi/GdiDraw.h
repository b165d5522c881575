// Drawing on device contexts: filled shapes, lines, pixels, regions, block transfers,
// blending, gradients and the classic 3-D look (DrawEdge, DrawFrameControl).
//
// Every call honours the DC's window/viewport origins and its clip region; shapes use the
// selected pen and brush (NULL_PEN / NULL_BRUSH, DC_PEN / DC_BRUSH, hatched and pattern
// brushes aligned to the brush origin) and the ROP2 mix mode where Win32 does. Drawing is
// pixel-exact and unantialiased; a rectangle includes its left/top and excludes its
// right/bottom edge.
//
// Pixel model: 32-bit surfaces hold premultiplied 0xAARRGGBB words. Pens and brushes write
// opaque pixels. Raster operations other than a plain copy combine the colour bits and leave an
// opaque pixel; SRCCOPY copies all four bytes.
#pragma once
#include <cstdint>

#include "host/gdi/Gdi.h"

namespace vcl {

// ---- Brushes given as system colour indexes -----------------------------------------------------
// Win32 lets FillRect (and the other calls taking a brush) accept a system colour index plus
// one cast to a brush handle, e.g. (HBRUSH)(COLOR_BTNFACE + 1). SysColorBrushHandle(index)
// builds that value; every HBRUSH parameter below accepts it.
inline HBRUSH SysColorBrushHandle(int index) {
  return reinterpret_cast<HBRUSH>(static_cast<std::uintptr_t>(index + 1));
}

// ---- Rectangles and regions -----------------------------------------------------------------------
// FillRect, FrameRect and FillRgn/FrameRgn use the given brush and ignore the ROP2 mode
// (PATCOPY); PaintRgn uses the selected brush and the ROP2 mode. Return nonzero on success.
int FillRect(HDC dc, const TRect* r, HBRUSH brush);
int FrameRect(HDC dc, const TRect* r, HBRUSH brush);
bool InvertRect(HDC dc, const TRect* r);
// An XOR frame of single dots: drawing the same rectangle twice restores the pixels.
bool DrawFocusRect(HDC dc, const TRect* r);
bool FillRgn(HDC dc, HRGN rgn, HBRUSH brush);
// A frame w pixels wide (vertical strokes) and h pixels high (horizontal strokes) inside the
// region's border.
bool FrameRgn(HDC dc, HRGN rgn, HBRUSH brush, int w, int h);
bool PaintRgn(HDC dc, HRGN rgn);
bool InvertRgn(HDC dc, HRGN rgn);

// ---- Shapes (selected pen outlines, selected brush fills) ----------------------------------------
// With a visible pen of width 1 the outline runs along the outermost pixels of the bounding
// rectangle; a wider pen is centred on that outline (PS_INSIDEFRAME keeps it inside the
// rectangle). With NULL_PEN the filled shape is one pixel smaller at the right and bottom.
bool Rectangle(HDC dc, int left, int top, int right, int bottom);
bool RoundRect(HDC dc, int left, int top, int right, int bottom, int width, int height);
bool Ellipse(HDC dc, int left, int top, int right, int bottom);

constexpr int AD_COUNTERCLOCKWISE = 1;
constexpr int AD_CLOCKWISE = 2;
int SetArcDirection(HDC dc, int direction);  // returns the previous direction, 0 on error
int GetArcDirection(HDC dc);
// Arcs of the ellipse inscribed in the rectangle, from the radial through (xs, ys) to the
// radial through (xe, ye), in the DC's arc direction (counter-clockwise on screen by default).
// Equal radials give the whole ellipse.
bool Arc(HDC dc, int left, int top, int right, int bottom, int xs, int ys, int xe, int ye);
bool Chord(HDC dc, int left, int top, int right, int bottom, int xs, int ys, int xe, int ye);
bool Pie(HDC dc, int left, int top, int right, int bottom, int xs, int ys, int xe, int ye);

int SetPolyFillMode(HDC dc, int mode);  // ALTERNATE or WINDING; returns the previous mode
int GetPolyFillMode(HDC dc);
bool Polygon(HDC dc, const TPoint* points, int count);
bool PolyPolygon(HDC dc, const TPoint* points, const int* counts, int polygons);
bool Polyline(HDC dc, const TPoint* points, int count);
bool PolyPolyline(HDC dc, const TPoint* points, const DWORD* counts, DWORD polylines);

// Lines from the current position; the end pixel is not drawn.
bool MoveToEx(HDC dc, int x, int y, TPoint* old);
bool LineTo(HDC dc, int x, int y);
bool GetCurrentPositionEx(HDC dc, TPoint* out);

// ---- Pixels ---------------------------------------------------------------------------------------
// SetPixel returns the colour written, or CLR_INVALID (-1) outside the clip or the surface.
// GetPixel returns the colour bytes of the pixel as stored (alpha ignored), or CLR_INVALID.
COLORREF SetPixel(HDC dc, int x, int y, COLORREF color);
bool SetPixelV(HDC dc, int x, int y, COLORREF color);
COLORREF GetPixel(HDC dc, int x, int y);

// ---- Block transfers ------------------------------------------------------------------------------
// Ternary raster operations: bits 16..23 are the truth table over pattern, source and
// destination (index P*4 + S*2 + D). Any of the 256 codes is evaluated.
constexpr DWORD SRCCOPY = 0x00CC0020;
constexpr DWORD SRCPAINT = 0x00EE0086;
constexpr DWORD SRCAND = 0x008800C6;
constexpr DWORD SRCINVERT = 0x00660046;
constexpr DWORD SRCERASE = 0x00440328;
constexpr DWORD NOTSRCCOPY = 0x00330008;
constexpr DWORD NOTSRCERASE = 0x001100A6;
constexpr DWORD MERGECOPY = 0x00C000CA;
constexpr DWORD MERGEPAINT = 0x00BB0226;
constexpr DWORD PATCOPY = 0x00F00021;
constexpr DWORD PATPAINT = 0x00FB0A09;
constexpr DWORD PATINVERT = 0x005A0049;
constexpr DWORD DSTINVERT = 0x00550009;
constexpr DWORD BLACKNESS = 0x00000042;
constexpr DWORD WHITENESS = 0x00FF0062;
constexpr DWORD NOMIRRORBITMAP = 0x80000000;
constexpr DWORD CAPTUREBLT = 0x40000000;
constexpr DWORD MAKEROP4(DWORD fore, DWORD back) { return ((back << 8) & 0xFF000000u) | fore; }

// Negative extents are normalised. The source may be the destination DC (overlapping areas
// are copied as if through a temporary). A monochrome source is drawn in the destination's
// text (0 bits) and background (1 bits) colours; a colour source copied onto a monochrome
// bitmap gives white where it matches the source DC's background colour, black elsewhere.
bool PatBlt(HDC dc, int x, int y, int w, int h, DWORD rop);
bool BitBlt(HDC dst, int x, int y, int w, int h, HDC src, int sx, int sy, DWORD rop);
// Extents of opposite signs mirror the image; a negative extent covers [x + w, x).
// COLORONCOLOR, BLACKONWHITE and WHITEONBLACK pick the nearest source pixel (the one under
// the centre of the destination pixel); HALFTONE averages the covered source area.
bool StretchBlt(HDC dst, int x, int y, int w, int h, HDC src, int sx, int sy, int sw, int sh,
                DWORD rop);
// mask: a monochrome bitmap; 1 bits use the foreground raster operation (low 24 bits of
// rop4), 0 bits the background one (bits 24..31). No mask: the foreground one everywhere.
bool MaskBlt(HDC dst, int x, int y, int w, int h, HDC src, int sx, int sy, HBITMAP mask,
             int mx, int my, DWORD rop4);
// Copies the source (stretched by nearest pixel) except pixels whose colour is `transparent`.
bool TransparentBlt(HDC dst, int x, int y, int w, int h, HDC src, int sx, int sy, int sw,
                    int sh, UINT transparent);

constexpr BYTE AC_SRC_OVER = 0x00;
constexpr BYTE AC_SRC_ALPHA = 0x01;
struct BLENDFUNCTION {
  BYTE BlendOp = AC_SRC_OVER;
  BYTE BlendFlags = 0;
  BYTE SourceConstantAlpha = 255;
  BYTE AlphaFormat = 0;
};
// Source-over blending of premultiplied pixels, stretched by nearest pixel. With
// SCA = SourceConstantAlpha and the source pixel S (alpha 255 assumed when AlphaFormat is 0):
//   S' = S * SCA / 255            (every channel, alpha included)
//   D  = S' + D * (255 - S'.alpha) / 255
// where each product is divided by 255 rounding to the nearest integer (halves up) and sums
// saturate at 255. Fails for non-positive extents or a source rectangle outside the source.
bool AlphaBlend(HDC dst, int x, int y, int w, int h, HDC src, int sx, int sy, int sw, int sh,
                BLENDFUNCTION blend);

using COLOR16 = std::uint16_t;
struct TRIVERTEX {
  LONG x = 0;
  LONG y = 0;
  COLOR16 Red = 0;
  COLOR16 Green = 0;
  COLOR16 Blue = 0;
  COLOR16 Alpha = 0;
};
struct GRADIENT_RECT {
  ULONG UpperLeft = 0;
  ULONG LowerRight = 0;
};
struct GRADIENT_TRIANGLE {
  ULONG Vertex1 = 0;
  ULONG Vertex2 = 0;
  ULONG Vertex3 = 0;
};
constexpr ULONG GRADIENT_FILL_RECT_H = 0;
constexpr ULONG GRADIENT_FILL_RECT_V = 1;
constexpr ULONG GRADIENT_FILL_TRIANGLE = 2;
// Rectangles: the colour runs from the left (top) vertex's colour on the first column (row)
// to the right (bottom) vertex's colour on the last, interpolated in 16 bits per channel; the
// high byte is written. Triangles: barycentric colours at pixel centres, top-left fill rule.
// Pixels are written opaque (TRIVERTEX::Alpha is ignored).
bool GradientFill(HDC dc, const TRIVERTEX* vertices, ULONG nVertices, const void* mesh,
                  ULONG nMesh, ULONG mode);

// ---- Classic 3-D look -----------------------------------------------------------------------------
constexpr UINT BDR_RAISEDOUTER = 0x0001;
constexpr UINT BDR_SUNKENOUTER = 0x0002;
constexpr UINT BDR_RAISEDINNER = 0x0004;
constexpr UINT BDR_SUNKENINNER = 0x0008;
constexpr UINT BDR_OUTER = BDR_RAISEDOUTER | BDR_SUNKENOUTER;
constexpr UINT BDR_INNER = BDR_RAISEDINNER | BDR_SUNKENINNER;
constexpr UINT BDR_RAISED = BDR_RAISEDOUTER | BDR_RAISEDINNER;
constexpr UINT BDR_SUNKEN = BDR_SUNKENOUTER | BDR_SUNKENINNER;
constexpr UINT EDGE_RAISED = BDR_RAISEDOUTER | BDR_RAISEDINNER;
constexpr UINT EDGE_SUNKEN = BDR_SUNKENOUTER | BDR_SUNKENINNER;
constexpr UINT EDGE_ETCHED = BDR_SUNKENOUTER | BDR_RAISEDINNER;
constexpr UINT EDGE_BUMP = BDR_RAISEDOUTER | BDR_SUNKENINNER;

constexpr UINT BF_LEFT = 0x0001;
constexpr UINT BF_TOP = 0x0002;
constexpr UINT BF_RIGHT = 0x0004;
constexpr UINT BF_BOTTOM = 0x0008;
constexpr UINT BF_TOPLEFT = BF_TOP | BF_LEFT;
constexpr UINT BF_TOPRIGHT = BF_TOP | BF_RIGHT;
constexpr UINT BF_BOTTOMLEFT = BF_BOTTOM | BF_LEFT;
constexpr UINT BF_BOTTOMRIGHT = BF_BOTTOM | BF_RIGHT;
constexpr UINT BF_RECT = BF_LEFT | BF_TOP | BF_RIGHT | BF_BOTTOM;
constexpr UINT BF_DIAGONAL = 0x0010;
constexpr UINT BF_DIAGONAL_ENDTOPRIGHT = BF_DIAGONAL | BF_TOP | BF_RIGHT;
constexpr UINT BF_DIAGONAL_ENDTOPLEFT = BF_DIAGONAL | BF_TOP | BF_LEFT;
constexpr UINT BF_DIAGONAL_ENDBOTTOMLEFT = BF_DIAGONAL | BF_BOTTOM | BF_LEFT;
constexpr UINT BF_DIAGONAL_ENDBOTTOMRIGHT = BF_DIAGONAL | BF_BOTTOM | BF_RIGHT;
constexpr UINT BF_MIDDLE = 0x0800;
constexpr UINT BF_SOFT = 0x1000;
constexpr UINT BF_ADJUST = 0x2000;
constexpr UINT BF_FLAT = 0x4000;
constexpr UINT BF_MONO = 0x8000;

// Each border ring is one pixel; the top/left colour owns the top row and left column up to
// (not including) the bottom-left and top-right corner pixels, which belong to the
// bottom/right colour. Colours come from the system colour table:
//   raised outer: 3DLIGHT / 3DDKSHADOW     raised inner: 3DHIGHLIGHT / 3DSHADOW
//   sunken outer: 3DSHADOW / 3DHIGHLIGHT   sunken inner: 3DDKSHADOW / 3DLIGHT
// BF_SOFT swaps the top/left colours of the outer and inner rings; BF_FLAT draws the outer
// ring in 3DSHADOW and the inner in 3DFACE, BF_MONO the outer in WINDOWFRAME and the inner in
// WINDOW. BF_MIDDLE fills the inside with 3DFACE (WINDOW with BF_MONO). BF_ADJUST shrinks *r
// by the borders drawn. BF_DIAGONAL draws a diagonal edge across the rectangle instead.
bool DrawEdge(HDC dc, TRect* r, UINT edge, UINT flags);

constexpr UINT DFC_CAPTION = 1;
constexpr UINT DFC_MENU = 2;
constexpr UINT DFC_SCROLL = 3;
constexpr UINT DFC_BUTTON = 4;
constexpr UINT DFC_POPUPMENU = 5;

constexpr UINT DFCS_CAPTIONCLOSE = 0x0000;
constexpr UINT DFCS_CAPTIONMIN = 0x0001;
constexpr UINT DFCS_CAPTIONMAX = 0x0002;
constexpr UINT DFCS_CAPTIONRESTORE = 0x0003;
constexpr UINT DFCS_CAPTIONHELP = 0x0004;
constexpr UINT DFCS_MENUARROW = 0x0000;
constexpr UINT DFCS_MENUCHECK = 0x0001;
constexpr UINT DFCS_MENUBULLET = 0x0002;
constexpr UINT DFCS_MENUARROWRIGHT = 0x0004;
constexpr UINT DFCS_SCROLLUP = 0x0000;
constexpr UINT DFCS_SCROLLDOWN = 0x0001;
constexpr UINT DFCS_SCROLLLEFT = 0x0002;
constexpr UINT DFCS_SCROLLRIGHT = 0x0003;
constexpr UINT DFCS_SCROLLCOMBOBOX = 0x0005;
constexpr UINT DFCS_SCROLLSIZEGRIP = 0x0008;
constexpr UINT DFCS_SCROLLSIZEGRIPRIGHT = 0x0010;
constexpr UINT DFCS_BUTTONCHECK = 0x0000;
constexpr UINT DFCS_BUTTONRADIOIMAGE = 0x0001;
constexpr UINT DFCS_BUTTONRADIOMASK = 0x0002;
constexpr UINT DFCS_BUTTONRADIO = 0x0004;
constexpr UINT DFCS_BUTTON3STATE = 0x0008;
constexpr UINT DFCS_BUTTONPUSH = 0x0010;
constexpr UINT DFCS_INACTIVE = 0x0100;
constexpr UINT DFCS_PUSHED = 0x0200;
constexpr UINT DFCS_CHECKED = 0x0400;
constexpr UINT DFCS_TRANSPARENT = 0x0800;
constexpr UINT DFCS_HOT = 0x1000;
constexpr UINT DFCS_ADJUSTRECT = 0x2000;
constexpr UINT DFCS_FLAT = 0x4000;
constexpr UINT DFCS_MONO = 0x8000;

// Classic frame controls. Glyphs are drawn from pixel shapes sized to the rectangle (whole
// pixels, centred), so they stay crisp at any scale. Check boxes and radio buttons use the
// largest centred square. Inactive glyphs are embossed (3DHIGHLIGHT under 3DSHADOW); DFC_MENU
// glyphs are black on white (a mask), or black on the existing pixels with DFCS_TRANSPARENT.
// DFCS_ADJUSTRECT shrinks *r to the area inside the frame.
bool DrawFrameControl(HDC dc, TRect* r, UINT type, UINT state);

}  // namespace vcl
