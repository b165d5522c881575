// Compiled with the include path of the drawing API layer (host/gdi): the runtime library is
// below it, so this compiles.
#include "host/rtl/System.h"
