// Drawing a picture of an image list as a glyph, enabled or disabled: the one rule every
// control (buttons, check boxes, edit buttons, the gallery menu, the lists) follows.
#pragma once
#include "host/rtl/System.h"

namespace vcl {
class TCanvas;
class TCustomImageList;
}  // namespace vcl

namespace kx {

// Whether the list is one of the library's own (a TkxCustomImageList, recognised by class name
// so that the drawing core needs no image unit).
bool IsLibraryImageList(const vcl::TCustomImageList* images);

enum TkxGlyphLook { kxglEnabled, kxglDisabled };

// The opacity a disabled picture of the host's "TVirtualImageList" is blended with; the gallery
// menu blends it with the lighter kxGalleryDisabledGlyphAlpha.
constexpr vcl::Byte kxDisabledGlyphAlpha = 80;
constexpr vcl::Byte kxGalleryDisabledGlyphAlpha = 100;

// Picture `index` of the list at (x, y). Enabled: the list's own drawing. Disabled:
//  - a library image list (TkxCustomImageList) draws its own disabled look;
//  - a list whose class is named "TVirtualImageList" (the host's virtual list, recognised by
//    name only) has its picture fetched as a 32-bit image (for a list that is not 32-bit,
//    every pixel differing from the top-left pixel counts as opaque and the rest as
//    transparent) and blended at its size with `virtualListAlpha`;
//  - any other list draws its own disabled look.
// Nothing for a missing list or an index out of range.
void DrawImageListGlyph(vcl::TCanvas* canvas, int x, int y, int index,
                        vcl::TCustomImageList* images, TkxGlyphLook look,
                        vcl::Byte virtualListAlpha = kxDisabledGlyphAlpha);

}  // namespace kx
