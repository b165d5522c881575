// DrawParentImage: what lies beneath a control in its parent, painted onto a canvas.
#include "controls/kxCustomControl.h"

#include "draw/kxStyleUtils.h"
#include "draw/kxStyledPaintBars.h"
#include "host/gdi/Gdi.h"
#include "host/gdi/GdiDraw.h"
#include "host/themes/StyleServices.h"
#include "host/win/WinUser.h"

namespace kx {

using namespace vcl;

namespace {

// The paint-window operation of a windowed control (protected in the framework).
struct TPaintWindowAccess : TWinControl {
  static void Paint(TWinControl* control, HDC dc) {
    (control->*(&TPaintWindowAccess::PaintWindow))(dc);
  }
};

bool InheritsFromName(const TControl* control, StringView className) {
  for (const TClass* c = control->ClassType(); c; c = c->ClassParent())
    if (c->ClassNameIs(className)) return true;
  return false;
}

void MarkPaintCopy(TControl* control, bool on) {
  TControlState s = control->ControlState();
  if (on) s.Include(csPaintCopy);
  else s.Exclude(csPaintCopy);
  control->SetControlState(s);
}

// Marks a control csPaintCopy for the lifetime of the guard.
class TPaintCopyScope {
 public:
  explicit TPaintCopyScope(TControl* control)
      : FControl(control), FWasMarked(control->ControlState().Contains(csPaintCopy)) {
    MarkPaintCopy(control, true);
  }
  TPaintCopyScope(const TPaintCopyScope&) = delete;
  TPaintCopyScope& operator=(const TPaintCopyScope&) = delete;
  ~TPaintCopyScope() {
    if (!FWasMarked) MarkPaintCopy(FControl, false);
  }

 private:
  TControl* FControl;
  bool FWasMarked;
};

// Restores a DC's saved state on the way out, also when painting raises.
class TSavedDC {
 public:
  explicit TSavedDC(HDC dc) : FDC(dc), FSaved(SaveDC(dc)) {}
  TSavedDC(const TSavedDC&) = delete;
  TSavedDC& operator=(const TSavedDC&) = delete;
  ~TSavedDC() {
    if (FSaved) RestoreDC(FDC, FSaved);
  }

 private:
  HDC FDC;
  int FSaved;
};

// One element of a style into r; the classic look (services not enabled, or no element) fills
// with the button face.
void DrawStyleElement(HDC dc, TCustomStyleServices* services, const TThemedElementDetails& d,
                      const TRect& r) {
  if (services && StyleServicesEnabled(services) && services->DrawElement(dc, d, r)) return;
  HBRUSH brush = CreateSolidBrush(ColorToRGB(clBtnFace));
  FillRect(dc, &r, brush);
  DeleteObject(brush);
}

// The tab-sheet body of a page, in the control's coordinates: the page's client area placed
// where the page lies.
TRect PageBodyRect(const TWinControl* page) {
  return {-page->Left(), -page->Top(), page->ClientWidth() + page->Left(),
          page->ClientHeight() + page->Top()};
}

}  // namespace

void DrawParentImage(TControl* control, TCanvas* canvas) {
  if (!control || !canvas) return;
  TWinControl* parent = control->Parent();
  if (!parent) return;
  HDC dc = canvas->Handle();
  TWinControl* grandparent = parent->Parent();

  if (parent->ClassType()->ClassNameIs(u"TkxStatusBar")) {
    // The whole status bar, in the control's coordinates.
    TRect r{0, 0, control->Width(), control->Height()};
    r.Top -= control->Top();
    r.Left -= 5;
    r.Right += 5;
    r.Bottom += parent->Height() - control->Top() - control->Height();
    TCustomStyleServices* services = ControlStyleServices(parent);
    DrawStyleElement(dc, services, TCustomStyleServices::GetElementDetails(tsStatusRoot), r);
    DrawStyleElement(dc, services, TCustomStyleServices::GetElementDetails(tsPane), r);
    return;
  }
  if (parent->ClassType()->ClassNameIs(u"TTabPage") && grandparent &&
      grandparent->ClassType()->ClassNameIs(u"TTabbedNotebook")) {
    DrawTabSheetBody(canvas, PageBodyRect(parent), grandparent);
    return;
  }

  TCustomStyleServices* services = ControlStyleServices(parent);
  if (IsCustomStyle(parent)) {
    // The style lets the parent paint beneath the window (the engine's parent-background
    // painter, which corrects for the window's border); a graphic control has no window of its
    // own, and a style without a painter draws nothing: both are painted by hand below.
    auto* windowed = dynamic_cast<TWinControl*>(control);
    if (windowed && windowed->HandleAllocated() &&
        services->DrawParentBackground(windowed->Handle(), dc, nullptr, false))
      return;
  }

  {
    TPaintCopyScope copying(parent);
    // The parent's painting lands under the control's client area.
    TPoint offset{0, 0};
    if (auto* windowed = dynamic_cast<TWinControl*>(control); windowed && windowed->HandleAllocated()) {
      TRect window;
      GetWindowRect(windowed->Handle(), &window);
      TPoint client = windowed->ClientOrigin();
      offset = {client.X - window.Left, client.Y - window.Top};
    }
    TSavedDC saved(dc);
    OffsetViewportOrgEx(dc, -(control->Left() + offset.X), -(control->Top() + offset.Y), nullptr);
    TRect pc = parent->ClientRect();
    IntersectClipRect(dc, pc.Left, pc.Top, pc.Right, pc.Bottom);
    WPARAM wp = reinterpret_cast<WPARAM>(dc);
    if (parent->ClassType()->ClassNameIs(u"TkxTabSheet")) {
      parent->Perform(WM_ERASEBKGND, wp, 0);
    } else if (parent->ClassType()->ClassNameIs(u"TTabPage") && StyleServicesEnabled(services)) {
      DrawTabSheetBody(canvas, PageBodyRect(parent), parent);
    } else if (dynamic_cast<TCustomFrame*>(parent) &&
               parent->ControlStyle().Contains(csParentBackground)) {
      if (grandparent) {
        OffsetViewportOrgEx(dc, -parent->Left(), -parent->Top(), nullptr);
        grandparent->Perform(WM_ERASEBKGND, wp, 0);
        OffsetViewportOrgEx(dc, parent->Left(), parent->Top(), nullptr);
      }
    } else {
      parent->Perform(WM_ERASEBKGND, wp, 0);
      if (!InheritsFromName(parent, u"TCustomForm")) TPaintWindowAccess::Paint(parent, dc);
    }
  }

  // The graphic siblings beneath the control (before it in the parent's list) that overlap it.
  TRect bounds = control->BoundsRect();
  for (int i = 0; i < parent->ControlCount(); ++i) {
    TControl* sibling = parent->Controls(i);
    if (sibling == control) break;
    auto* graphic = dynamic_cast<TGraphicControl*>(sibling);
    if (!graphic || !graphic->Visible()) continue;
    TRect sb = graphic->BoundsRect(), overlap;
    if (!IntersectRect(overlap, sb, bounds)) continue;
    TPaintCopyScope copying(graphic);
    TSavedDC saved(dc);
    OffsetViewportOrgEx(dc, sb.Left - bounds.Left, sb.Top - bounds.Top, nullptr);
    IntersectClipRect(dc, 0, 0, sb.Width(), sb.Height());
    graphic->Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
  }
}

}  // namespace kx
