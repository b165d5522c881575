// The graphics objects in one include: fonts, pens, brushes, canvases, pictures and bitmaps.
// PNG pictures are in PngImage.h, image lists in ImgList.h.
#pragma once
#include "host/graphics/Canvas.h"
#include "host/graphics/Graphic.h"
#include "host/graphics/GraphicsObjects.h"
