// kxDrawUtils, the drawing core of the library: control states and glow options, the styling
// helpers, the system's version, the glow and bitmap routines, the styled painting of standard
// parts with their colours and glyphs, and the process-wide styling options.
#pragma once
#include "draw/kxBitmapUtils.h"
#include "draw/kxGlow.h"
#include "draw/kxImageListGlyphs.h"
#include "draw/kxResample.h"
#include "draw/kxStates.h"
#include "draw/kxStyleUtils.h"
#include "draw/kxStyledPaintBars.h"
#include "draw/kxStyledPaintBorders.h"
#include "draw/kxStyledPaintButtons.h"
#include "draw/kxStyledPaintGlyphs.h"
#include "draw/kxStyledPaintText.h"
#include "draw/kxStylingOptions.h"
#include "draw/kxSystem.h"
