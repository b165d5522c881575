// The enabled and disabled looks of image-list glyphs.
#include "draw/kxImageListGlyphs.h"

#include "draw/kxGlow.h"
#include "host/graphics/ImgList.h"

namespace kx {

using namespace vcl;

bool IsLibraryImageList(const TCustomImageList* images) {
  if (!images) return false;
  for (const TClass* c = images->ClassType(); c; c = c->ClassParent())
    if (c->ClassNameIs(u"TkxCustomImageList")) return true;
  return false;
}

void DrawImageListGlyph(TCanvas* canvas, int x, int y, int index, TCustomImageList* images,
                        TkxGlyphLook look, Byte virtualListAlpha) {
  if (!canvas || !images || index < 0 || index >= images->Count()) return;
  if (look == kxglDisabled && !IsLibraryImageList(images) &&
      images->ClassType()->ClassNameIs(u"TVirtualImageList")) {
    DrawImageWithAlpha(canvas, x, y, virtualListAlpha, index, images);
    return;
  }
  images->Draw(canvas, x, y, index, look == kxglEnabled);
}

}  // namespace kx
