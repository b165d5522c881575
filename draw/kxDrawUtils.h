// kxDrawUtils, the drawing core of the library: control states and glow options, the styling
// helpers, the system's version, and the glow and bitmap routines.
#pragma once
#include "draw/kxBitmapUtils.h"
#include "draw/kxGlow.h"
#include "draw/kxResample.h"
#include "draw/kxStates.h"
#include "draw/kxStyleUtils.h"
#include "draw/kxSystem.h"
