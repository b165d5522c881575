// Resources embedded in the program at build time (see tools/respack and
// cmake/KxResources.cmake), found by type and name. Types and names compare without regard to
// the case of ASCII letters. The data is read-only and stays valid for the life of the process.
#pragma once
#include <cstddef>
#include <vector>

#include "host/rtl/System.h"

namespace vcl {

struct ResourceData {
  const Byte* Data;
  size_t Size;
};

// The type of raw application data.
inline constexpr StringView RT_RCDATA = u"RCDATA";

bool FindResource(StringView type, StringView name, ResourceData& out);
// The names of all resources of a type, spelt as registered, in registration order.
std::vector<String> ResourceNames(StringView type);

// Called by the generated resource code during static initialisation (type and name are
// UTF-8). The first registration of a type and name wins; a later duplicate is reported on
// the standard error stream and ignored.
void RegisterResource(const char* type, const char* name, const Byte* data, size_t size);

}  // namespace vcl
