// The GDI+ image unit: the image collection and the virtual image list.
#pragma once
#include "images/kxGPImageCollection.h"
#include "images/kxGPVirtualImageList.h"
