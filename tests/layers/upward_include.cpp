// Compiled with the include path of the drawing API layer (host/gdi): the drawing core is
// above it, so this must not compile.
#include "draw/kxGlow.h"
