// Fonts the application ships with or relies on beyond the system's fontconfig set.
#pragma once
#include <vector>

#include "host/rtl/System.h"

namespace vcl {

// Makes the application font folders known to fontconfig (the "Tahoma" and "Marlett" faces of
// the wine font package live outside fontconfig's default path). Idempotent and thread-safe;
// call before the first font lookup (the text and GDI+ code do so themselves).
void EnsureAppFonts();

// The family names of every installed font (the application fonts included), sorted ignoring
// case, each once.
std::vector<String> FontFamilyNames();

}  // namespace vcl
