// kxControls, the library's controls: the custom control base with its paint pipeline and
// DrawParentImage, and the controls built on it.
#pragma once
#include "controls/kxActiveControl.h"
#include "controls/kxCustomControl.h"
#include "controls/kxLabels.h"
#include "controls/kxPanels.h"
