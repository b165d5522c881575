#include "host/themes/ScrollingStyleHook.h"

#include "host/gdi/Gdi.h"
#include "host/gdi/GdiDraw.h"
#include "host/themes/StyledFrame.h"

namespace vcl {

TScrollingStyleHook::TScrollingStyleHook(TWinControl* control) : TMouseTrackControlStyleHook(control) {
  SetOverridePaintNC(true);
  SetOverrideEraseBkgnd(StyleElementsContain(seClient));
  UpdateColors();
}

void TScrollingStyleHook::UpdateColors() {
  TStyleHook::UpdateColors();
  TWinControl* c = Control();
  TColor back = StyleElementsContain(seClient) ? StyleServices()->GetSystemColor(c->Color()) : c->Color();
  SetColors(back, FontColor());
}

void TScrollingStyleHook::WndProc(TMessage& msg) {
  switch (msg.Msg) {
    case CM_STYLEELEMENTSCHANGED:
    case CM_COLORCHANGED:
      SetOverrideEraseBkgnd(StyleElementsContain(seClient));
      Invalidate();
      break;
    default: break;
  }
  TMouseTrackControlStyleHook::WndProc(msg);
}

void TScrollingStyleHook::PaintBorder(HDC dc) {
  TRect wr;
  GetWindowRect(Handle(), &wr);
  TRect r(0, 0, wr.Width(), wr.Height());
  TCustomStyleServices* s = StyleServices();
  if (HasClientEdge()) {
    TThemedEdit state = !Control()->Enabled() ? teEditBorderNoScrollDisabled
                        : Focused()           ? teEditBorderNoScrollFocused
                        : MouseInControl()    ? teEditBorderNoScrollHot
                                              : teEditBorderNoScrollNormal;
    s->DrawElement(dc, s->GetElementDetails(state), r, nullptr, int(GetDpiForWindow(Handle())));
  } else if (HasBorder()) {
    HBRUSH b = CreateSolidBrush(COLORREF(ColorToRGB(s->GetSystemColor(clWindowFrame))));
    FrameRect(dc, &r, b);
    DeleteObject(b);
  }
}

void TScrollingStyleHook::PaintNC(TCanvas& canvas) {
  HDC dc = canvas.Handle();
  PaintBorder(dc);
  DrawStyledScrollBars(dc, Handle(), StyleServices());
}

void TScrollingStyleHook::PaintBackground(TCanvas& canvas) {
  if (Control()->ParentBackground()) {
    DrawParentBackground(canvas.Handle());
    return;
  }
  TStyleHook::PaintBackground(canvas);
}

}  // namespace vcl
