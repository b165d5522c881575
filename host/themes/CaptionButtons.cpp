// TCaptionButtonTracker: hot, pressed and released caption buttons of a styled frame.
#include "host/themes/CaptionButtons.h"

namespace vcl {

void TCaptionButtonTracker::Set(LRESULT hot, LRESULT pressed) {
  if (hot == FHot && pressed == FPressed) return;
  FHot = hot;
  FPressed = pressed;
  if (FChanged) FChanged();
}

bool TCaptionButtonTracker::NCMouseMove(HWND window, LRESULT hit) {
  if (StyledCaptionButtonOf(hit) < 0) {
    if (FHot && !FPressed) Set(0, 0);
    return false;
  }
  if (!FPressed || FPressed == hit) Set(hit, FPressed);
  TRACKMOUSEEVENT tme;
  tme.dwFlags = TME_LEAVE | TME_NONCLIENT;
  tme.hwndTrack = window;
  TrackMouseEvent(&tme);
  return true;
}

void TCaptionButtonTracker::MouseLeave() {
  if (!FPressed) Set(0, 0);
}

bool TCaptionButtonTracker::NCButtonDown(HWND window, LRESULT hit, const TStyledFrameInfo& frame) {
  int b = StyledCaptionButtonOf(hit);
  if (b < 0) return false;
  if (frame.States[b] != sbsDisabled) {
    SetCapture(window);
    Set(hit, hit);
  }
  return true;
}

LRESULT TCaptionButtonTracker::Track(bool release, LRESULT hit) {
  bool over = hit == FPressed;
  if (!release) {
    Set(over ? FPressed : 0, FPressed);
    return 0;
  }
  LRESULT button = FPressed;
  Set(0, 0);
  ReleaseCapture();
  return over ? button : 0;
}

void TCaptionButtonTracker::CaptureChanged() {
  if (FPressed) Set(0, 0);
}

WPARAM CaptionButtonCommand(HWND window, LRESULT button) {
  switch (button) {
    case HTCLOSE: return SC_CLOSE;
    case HTMINBUTTON: return IsIconic(window) ? SC_RESTORE : SC_MINIMIZE;
    case HTMAXBUTTON: return IsZoomed(window) ? SC_RESTORE : SC_MAXIMIZE;
    case HTHELP: return SC_CONTEXTHELP;
    default: return 0;
  }
}

}  // namespace vcl
