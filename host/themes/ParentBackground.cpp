// The engine's painter of parent backgrounds (TCustomStyleServices::DrawParentBackground): the
// parent of a window paints what lies beneath it into a device context, at the window's client
// origin.
#include "host/gdi/Gdi.h"
#include "host/themes/StyleManager.h"
#include "host/themes/StyleSwitch.h"
#include "host/vcl/Controls.h"
#include "host/win/WinUser.h"

namespace vcl::detail {

namespace {

// Marks a control csPaintCopy while its image is copied: a parent that paints itself in its
// erase phase then paints once, through WM_PRINTCLIENT.
class TPaintCopyMark {
 public:
  explicit TPaintCopyMark(TControl* c) : FControl(c), FWas(c->ControlState().Contains(csPaintCopy)) {
    Set(true);
  }
  TPaintCopyMark(const TPaintCopyMark&) = delete;
  TPaintCopyMark& operator=(const TPaintCopyMark&) = delete;
  ~TPaintCopyMark() {
    if (!FWas) Set(false);
  }

 private:
  void Set(bool on) {
    TControlState s = FControl->ControlState();
    if (on) s.Include(csPaintCopy);
    else s.Exclude(csPaintCopy);
    FControl->SetControlState(s);
  }
  TControl* FControl;
  bool FWas;
};

bool PaintParentBackground(WindowObject* window, HDC dc, const TThemedElementDetails*,
                           bool, const TRect* bounds) {
  HWND h = window;
  if (!dc || !IsWindow(h)) return false;
  if (TWinControl* control = FindControl(h); control && control->Parent()) {
    TPaintCopyMark copying(control->Parent());
    int saved = SaveDC(dc);
    if (bounds) IntersectClipRect(dc, bounds->Left, bounds->Top, bounds->Right, bounds->Bottom);
    // Maps the window's client origin into the parent's client area: a border of the window
    // moves the parent's painting with it.
    control->DrawParentBackground(dc);
    RestoreDC(dc, saved);
    return true;
  }
  // A window of no control: its parent window erases and paints beneath it.
  HWND parent = GetParent(h);
  if (!parent) return false;
  TPoint origin{0, 0};
  MapWindowPoints(h, parent, &origin, 1);
  int saved = SaveDC(dc);
  if (bounds) IntersectClipRect(dc, bounds->Left, bounds->Top, bounds->Right, bounds->Bottom);
  OffsetViewportOrgEx(dc, -origin.X, -origin.Y, nullptr);
  SendMessageW(parent, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
  SendMessageW(parent, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
  RestoreDC(dc, saved);
  return true;
}

}  // namespace

void InstallDefaultParentBackgroundPainter() {
  if (!TStyleManager::ParentBackgroundPainter())
    TStyleManager::SetParentBackgroundPainter(&PaintParentBackground);
}

}  // namespace vcl::detail
