// The process-wide styling options: a handful of library-wide switches that painting and
// scaling code reads at paint or scale time. Only the style manager component writes them,
// from its published properties (the last writer wins); until then they keep their initial
// values. No notification is sent on a change: it shows at the next paint.
#pragma once
#include "host/rtl/System.h"

namespace kx {

class TkxCustomImageCollection;

// How arrows of drop-down buttons, caption buttons and submenus look.
enum TkxStyleArrowType { kxsatDefault, kxsatModern };
// How the hot item of a popup menu is marked: the style's element or a plain colour.
enum TkxMenuSelectionStyle { kxmssStyled, kxmssColor };

struct TkxStylingOptions {
  bool ModernArrows = false;         // arrows drawn as modern chevrons (kxsatModern)
  bool RTLMode = false;              // right-to-left dialogs
  bool ScaleFormBorder = true;       // styled forms restore their client size scaled
  bool ScaleStyles = true;           // track bars scale their styled parts
  bool ScaleThemes = false;
  bool ScaleResources = true;
  bool MenuColorSelection = false;   // popup menus mark the hot item in a colour (kxmssColor)
  bool MenuHeadersSupport = true;    // popup menus draw header items
  vcl::Byte MenuAlphaBlendValue = 255;
  int MenuWallpaperIndex = -1;       // items of the menu images; -1: none
  int MenuBackgroundIndex = -1;
  int MenuBackgroundOverContentIndex = -1;
};

// The options in force.
extern TkxStylingOptions StylingOptions;

// The image collection popup menus draw their wallpaper and backgrounds from (nullptr: none).
// The option lets go of a collection that is freed while it is set.
TkxCustomImageCollection* StylingMenuImages();
void SetStylingMenuImages(TkxCustomImageCollection* images);

// What destroying a style manager resets: no menu images, the three menu item indexes -1,
// menu headers on. The other options keep their values.
void ResetMenuStylingOptions();
// Every option back to its initial value.
void ResetStylingOptions();

}  // namespace kx
