// The saved-DC guard: the state of a device context (origins, clip region, selected objects)
// saved when the guard is made and restored when it goes out of scope, also when the scope
// raises.
#pragma once
#include "host/gdi/Gdi.h"

namespace vcl {

class TSavedDC {
 public:
  explicit TSavedDC(HDC dc) : FDC(dc), FSaved(dc ? SaveDC(dc) : 0) {}
  TSavedDC(const TSavedDC&) = delete;
  TSavedDC& operator=(const TSavedDC&) = delete;
  ~TSavedDC() {
    if (FSaved > 0) RestoreDC(FDC, FSaved);
  }
  HDC DC() const { return FDC; }

 private:
  HDC FDC;
  int FSaved;
};

}  // namespace vcl
