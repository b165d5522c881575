// The canvas binding guard: a canvas locked and bound to a device context it does not own for
// the lifetime of the guard, then unbound and unlocked, also when the painting inside raises.
#pragma once
#include "host/graphics/Canvas.h"

namespace vcl {

class TCanvasBinding {
 public:
  TCanvasBinding(TCanvas* canvas, HDC dc) : FCanvas(canvas) {
    FCanvas->Lock();
    try {
      FCanvas->SetHandle(dc);
    } catch (...) {
      FCanvas->Unlock();
      throw;
    }
  }
  TCanvasBinding(const TCanvasBinding&) = delete;
  TCanvasBinding& operator=(const TCanvasBinding&) = delete;
  ~TCanvasBinding() {
    FCanvas->SetHandle(nullptr);
    FCanvas->Unlock();
  }

 private:
  TCanvas* FCanvas;
};

}  // namespace vcl
