// Vector rendering of element recipes with cairo.
#pragma once
#include <cairo.h>

#include "host/themes/format/StyleFormat.h"

namespace vcl {

// Paints `recipe` into `r` (logical coordinates of cr's current matrix) at `scale` = dpi / 96.
// Borders and straight lines fall on whole device pixels, so edges stay crisp at any scale;
// curves, diagonals and glyphs are antialiased.
void PaintRecipe(cairo_t* cr, const TRecipe& recipe, const TRect& r, double scale);

// Whether painting the recipe leaves parts of its rectangle untouched or translucent.
bool RecipeHasTransparentParts(const TRecipe& recipe);

// The outline of the recipe's shape in `r` as a list of rectangles (rounded corners and
// pointed thumbs cut away pixel by pixel), for window regions.
std::vector<TRect> RecipeRegionRects(const TRecipe& recipe, const TRect& r, double scale);

// Pixels at `scale` of a length given at 96 DPI: rounded, and at least 1 when len > 0.
int ScaleLength(double len, double scale);

}  // namespace vcl
