// The abstract image source that controls paint wallpapers and custom images from: a
// component holding indexed images that draw themselves into a rectangle at a scale factor.
// Controls keep a reference to one plus an image index and call only the operations below;
// the one concrete collection is TkxGPImageCollection (kxGPImageCollection.h).
#pragma once
#include "host/classes/Component.h"
#include "host/gdi/Types.h"

namespace vcl {
class TCanvas;
}

namespace kx {

// Placement of an image in a destination rectangle when no slicing applies.
enum TkxImageDrawStyle {
  idsTile, idsStretch, idsCenter, idsTopLeft, idsTopRight, idsBottomLeft, idsBottomRight,
  idsTopTile, idsLeftTile, idsRightTile, idsBottomTile, idsTopStretch, idsLeftStretch,
  idsRightStretch, idsBottomStretch, idsHorzStretchTile, idsVertStretchTile,
  idsHorzCenterStretch, idsVertCenterStretch, idsLeftCenter, idsTopCenter, idsRightCenter,
  idsBottomCenter, idsHorzCenterTile, idsVertCenterTile
};
constexpr vcl::TEnumNames EnumNames(TkxImageDrawStyle) {
  return {u"TkxImageDrawStyle",
          u"idsTile idsStretch idsCenter idsTopLeft idsTopRight idsBottomLeft idsBottomRight "
          u"idsTopTile idsLeftTile idsRightTile idsBottomTile idsTopStretch idsLeftStretch "
          u"idsRightStretch idsBottomStretch idsHorzStretchTile idsVertStretchTile "
          u"idsHorzCenterStretch idsVertCenterStretch idsLeftCenter idsTopCenter idsRightCenter "
          u"idsBottomCenter idsHorzCenterTile idsVertCenterTile"};
}
constexpr int kxImageDrawStyleCount = idsVertCenterTile + 1;

// Every answer of the base class is "nothing": counts and sizes 0, empty rectangles, false
// predicates, and a Draw that paints nothing. Indexes out of range are answered the same way
// by every collection; no operation raises for a bad index.
class TkxCustomImageCollection : public vcl::TComponent {
 public:
  static const vcl::TClass Class;
  const vcl::TClass* ClassType() const override { return &Class; }

  explicit TkxCustomImageCollection(vcl::TComponent* owner) : vcl::TComponent(owner) {}

  int Count() const { return GetCount(); }

  virtual int GetCount() const { return 0; }
  // The drawn size of image AIndex at the scale factor (1 at 96 pixels per inch).
  virtual int GetWidth(int AIndex, double AScaleFactor) const { return 0; }
  virtual int GetHeight(int AIndex, double AScaleFactor) const { return 0; }
  // Insets of the area that controls place their text or children in, scaled.
  virtual vcl::TRect GetContentMargins(int AIndex, double AScaleFactor) const { return {}; }
  // The slice margins (Left, Top, Right, Bottom), scaled.
  virtual vcl::TRect GetMargins(int AIndex, double AScaleFactor) const { return {}; }
  // True when what is drawn depends on the destination size, so that a resized control must
  // repaint itself and its children.
  virtual bool NeedFullUpdate(int AIndex) const { return false; }
  // The index is in range and its item holds an image.
  virtual bool IsIndexAvailable(int AIndex) const { return false; }
  // The image covers the destination with opaque pixels: callers paint no background under it.
  virtual bool IsSolidDrawing(int AIndex) const { return false; }
  virtual bool IsStretchTileDrawing(int AIndex) const { return false; }
  // Paints image AIndex into ARect of the canvas at the caller's scale factor.
  virtual void Draw(vcl::TCanvas* ACanvas, const vcl::TRect& ARect, int AIndex,
                    double AScaleFactor) {}

 protected:
  // Whether sizes and margins follow the scale factor the caller passes.
  bool FScaled = false;
};

}  // namespace kx
