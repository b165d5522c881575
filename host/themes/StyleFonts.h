// Fonts the style engine's own painting uses (captions, menus, tooltips): the font a style
// names, or the system's non-client font of that kind, at a density.
#pragma once
#include "host/themes/StyleServices.h"

namespace vcl {

// A font handle kept for the life of the process (like the stock fonts): never delete it. The
// same request returns the same handle. bold forces a bold weight (default menu items).
HFONT StyleFontHandle(TCustomStyleServices* style, TStyleFontKind kind, int dpi, bool bold = false);

}  // namespace vcl
