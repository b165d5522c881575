// The process-wide styling options.
#include "draw/kxStylingOptions.h"

#include "images/kxImageCollection.h"

namespace kx {

using namespace vcl;

TkxStylingOptions StylingOptions;

namespace {

TkxCustomImageCollection* GMenuImages = nullptr;

// Holds a free notification on the menu images, so the option never points at a freed
// collection.
class TMenuImagesWatch : public TComponent {
 public:
  TMenuImagesWatch() : TComponent(nullptr) {}

 protected:
  void Notification(TComponent* component, TOperation operation) override {
    TComponent::Notification(component, operation);
    if (operation == opRemove && component == GMenuImages) GMenuImages = nullptr;
  }
};

// Made once and kept for the life of the process: collections may still hold it in their
// notification lists while static objects are destroyed.
TMenuImagesWatch* Watch() {
  static TMenuImagesWatch* watch = new TMenuImagesWatch;
  return watch;
}

}  // namespace

TkxCustomImageCollection* StylingMenuImages() { return GMenuImages; }

void SetStylingMenuImages(TkxCustomImageCollection* images) {
  if (images == GMenuImages) return;
  if (GMenuImages) GMenuImages->RemoveFreeNotification(Watch());
  GMenuImages = images;
  if (images) images->FreeNotification(Watch());
}

void ResetMenuStylingOptions() {
  SetStylingMenuImages(nullptr);
  StylingOptions.MenuWallpaperIndex = -1;
  StylingOptions.MenuBackgroundIndex = -1;
  StylingOptions.MenuBackgroundOverContentIndex = -1;
  StylingOptions.MenuHeadersSupport = true;
}

void ResetStylingOptions() {
  SetStylingMenuImages(nullptr);
  StylingOptions = TkxStylingOptions{};
}

}  // namespace kx
