#include "draw/kxUnits.h"

#include <cstdio>
#include <exception>

namespace kx {

TkxUnitsScope::TkxUnitsScope(std::span<const TkxUnit> units) {
  FDone.reserve(units.size());
  try {
    for (const TkxUnit& u : units) {
      if (u.Initialize) u.Initialize();
      FDone.push_back(&u);
    }
  } catch (...) {
    FinalizeAll();
    throw;
  }
}

TkxUnitsScope::~TkxUnitsScope() { FinalizeAll(); }

void TkxUnitsScope::FinalizeAll() noexcept {
  while (!FDone.empty()) {
    const TkxUnit* u = FDone.back();
    FDone.pop_back();
    if (!u->Finalize) continue;
    // A unit that fails to finalise must not keep the ones below it from finalising.
    try {
      u->Finalize();
    } catch (const std::exception& e) {
      std::fprintf(stderr, "finalising %s: %s\n", u->Name, e.what());
    } catch (...) {
      std::fprintf(stderr, "finalising %s failed\n", u->Name);
    }
  }
}

}  // namespace kx
