// Image-list handles: a list of equally sized images kept in one bitmap (and, with ILC_MASK,
// one monochrome mask), drawn normally, transparently, blended or as a mask.
//
// Images are stored as premultiplied 32-bit pixels, one image under the other: image i occupies
// rows [i * cy, (i + 1) * cy) of the image bitmap. In an ILC_COLOR32 list a 32-bit image whose
// alpha bytes are not all zero keeps its per-pixel alpha and is drawn by source-over blending;
// every other image is opaque and uses the mask (1 = transparent) when the list has one.
#pragma once
#include "host/gdi/Gdi.h"

namespace vcl {

struct ImageListObject;
using HIMAGELIST = ImageListObject*;

// ImageList_Create flags. The colour depth decides whether alpha is kept (ILC_COLOR32) or
// dropped (every other depth); images are not reduced to fewer colours.
constexpr UINT ILC_MASK = 0x0001;
constexpr UINT ILC_COLOR = 0x0000;
constexpr UINT ILC_COLORDDB = 0x00FE;
constexpr UINT ILC_COLOR4 = 0x0004;
constexpr UINT ILC_COLOR8 = 0x0008;
constexpr UINT ILC_COLOR16 = 0x0010;
constexpr UINT ILC_COLOR24 = 0x0018;
constexpr UINT ILC_COLOR32 = 0x0020;

// Drawing styles.
constexpr UINT ILD_NORMAL = 0x0000;       // masked pixels show the background colour
constexpr UINT ILD_TRANSPARENT = 0x0001;  // masked pixels leave the destination alone
constexpr UINT ILD_BLEND25 = 0x0002;      // 25 % of the blend colour
constexpr UINT ILD_FOCUS = ILD_BLEND25;
constexpr UINT ILD_BLEND50 = 0x0004;      // 50 % of the blend colour
constexpr UINT ILD_SELECTED = ILD_BLEND50;
constexpr UINT ILD_BLEND = ILD_BLEND50;
constexpr UINT ILD_MASK = 0x0010;   // the mask: white where transparent, black elsewhere
constexpr UINT ILD_IMAGE = 0x0020;  // the image ignoring the mask

// ImageList_Copy flags.
constexpr UINT ILCF_MOVE = 0x0000;
constexpr UINT ILCF_SWAP = 0x0001;

struct IMAGEINFO {
  HBITMAP hbmImage = nullptr;  // owned by the list: read it, don't keep or delete it
  HBITMAP hbmMask = nullptr;   // nullptr for a list without ILC_MASK
  int Unused1 = 0;
  int Unused2 = 0;
  TRect rcImage;               // the image's cell in both bitmaps
};

// A list of cx x cy images. initial is the first capacity, grow how many more slots each
// enlargement adds. nullptr for a non-positive or oversized (> 32768) image size.
HIMAGELIST ImageList_Create(int cx, int cy, UINT flags, int initial, int grow);
bool ImageList_Destroy(HIMAGELIST himl);
// A deep copy (images, masks, background colour).
HIMAGELIST ImageList_Duplicate(HIMAGELIST himl);

// Adds image.Width / cx images taken left to right from the bitmap (rows below cy are ignored,
// missing rows are transparent black). mask: a bitmap of the same layout whose set (white)
// pixels are transparent; without one, an alpha image's mask is made from its zero-alpha
// pixels and an opaque image has none. Returns the index of the first new image, or -1.
int ImageList_Add(HIMAGELIST himl, HBITMAP image, HBITMAP mask);
// Like ImageList_Add, the mask made from the pixels of colour maskColor (CLR_DEFAULT: the
// colour of the bitmap's top-left pixel). Those pixels become black in a list with a mask, and
// fully transparent in an ILC_COLOR32 list without one; other lists keep them as they are.
int ImageList_AddMasked(HIMAGELIST himl, HBITMAP image, COLORREF maskColor);
// Replaces image i by the first image of the bitmap.
bool ImageList_Replace(HIMAGELIST himl, int i, HBITMAP image, HBITMAP mask);
// Removes image i; -1 removes every image.
bool ImageList_Remove(HIMAGELIST himl, int i);
inline bool ImageList_RemoveAll(HIMAGELIST himl) { return ImageList_Remove(himl, -1); }
int ImageList_GetImageCount(HIMAGELIST himl);
// Grows (new images are transparent black) or shrinks the list.
bool ImageList_SetImageCount(HIMAGELIST himl, UINT count);
bool ImageList_GetIconSize(HIMAGELIST himl, int* cx, int* cy);
// Changes the image size and removes every image.
bool ImageList_SetIconSize(HIMAGELIST himl, int cx, int cy);
// Within one list: moves image iSrc onto iDst (ILCF_MOVE, the source stays as it was), or
// swaps the two (ILCF_SWAP).
bool ImageList_Copy(HIMAGELIST dst, int iDst, HIMAGELIST src, int iSrc, UINT flags);
bool ImageList_GetImageInfo(HIMAGELIST himl, int i, IMAGEINFO* info);
// The background colour of ILD_NORMAL drawing; CLR_NONE (the default) draws transparently.
// Returns the previous colour, CLR_NONE for an invalid list.
COLORREF ImageList_SetBkColor(HIMAGELIST himl, COLORREF color);
COLORREF ImageList_GetBkColor(HIMAGELIST himl);

// Draws image i at (x, y) in logical coordinates, honouring the DC's origins and clip.
// ImageList_Draw is ImageList_DrawEx with the whole image and CLR_DEFAULT colours.
//   dx, dy   the part of the image drawn from its top-left corner (0: the whole width/height)
//   rgbBk    background of masked pixels; CLR_DEFAULT: the list's colour; CLR_NONE:
//            transparent. An alpha image is composed over that background.
//   rgbFg    blend colour of ILD_BLEND25/50; CLR_DEFAULT: the highlight system colour;
//            CLR_NONE: the image itself is drawn 75 % / 50 % opaque over the destination.
// ILD_MASK draws the mask (white = transparent, black = opaque); with ILD_TRANSPARENT it is
// combined like SRCAND, leaving the destination under white. ILD_IMAGE ignores the mask.
bool ImageList_Draw(HIMAGELIST himl, int i, HDC dc, int x, int y, UINT style);
bool ImageList_DrawEx(HIMAGELIST himl, int i, HDC dc, int x, int y, int dx, int dy,
                      COLORREF rgbBk, COLORREF rgbFg, UINT style);

}  // namespace vcl
