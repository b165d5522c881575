// TStyleHook and TMouseTrackControlStyleHook, and the per-control styling rule of the engine.
#include "host/themes/ControlStyleHooks.h"

#include "host/gdi/Gdi.h"

namespace vcl {

namespace {

TCustomStyleServices* NamedStyle(const TControl* c) {
  const String& name = c->StyleName();
  if (name.empty()) return nullptr;
  TCustomStyleServices* named = TStyleManager::Style(name);
  return named && named->Enabled() ? named : nullptr;
}

}  // namespace

const TControl* StyleNameSource(const TControl* control) {
  for (const TControl* c = control; c; c = c->Parent())
    if (NamedStyle(c)) return c;
  return nullptr;
}

TCustomStyleServices* StyleServices(const TControl* control) {
  TCustomStyleServices* active = TStyleManager::ActiveStyle();
  if (!control || !TStyleManager::IsCustomStyleActive()) return active;
  if (const TControl* source = StyleNameSource(control)) return NamedStyle(source);
  if (TStyleManager::SystemStyleIsDefault() || control->StyleElements().Empty())
    return TStyleManager::SystemStyle();
  return active;
}

// ---- TStyleHook ---------------------------------------------------------------------------------

TStyleHook::TStyleHook(TWinControl* control)
    : TStyleHookBase(control ? control->HandleIfAllocated() : nullptr), FControl(control) {
  if (!control) throw EStyleEngineException("TStyleHook: no control given");
  // The base made its colours from the active style; the control's style may be another.
  UpdateColors();
}

TStyleHook::~TStyleHook() = default;

LRESULT TStyleHook::CallDefaultProc(TMessage& msg) {
  if (FLink) detail::CallNextInChain(FLink, msg);
  else FControl->WindowProc()(msg);
  return msg.Result;
}

TCustomStyleServices* TStyleHook::StyleServices() const { return vcl::StyleServices(FControl); }

void TStyleHook::UpdateColors() {
  TCustomStyleServices* s = StyleServices();
  TColor back = StyleElementsContain(seClient) ? s->GetStyleColor(scWindow) : FControl->Color();
  TColor text = StyleElementsContain(seFont) ? s->GetStyleFontColor(sfWindowTextNormal)
                                             : FControl->Font()->Color();
  SetColors(back, text);
}

bool TStyleHook::HasBorder() const {
  return IsWindow(Handle()) && (GetWindowLongW(Handle(), GWL_STYLE) & WS_BORDER);
}

bool TStyleHook::HasClientEdge() const {
  return IsWindow(Handle()) && (GetWindowLongW(Handle(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
}

bool TStyleHook::Focused() const { return Handle() && GetFocus() == Handle(); }

bool TStyleHook::StyleElementsContain(TStyleElement e) const {
  return FControl && FControl->StyleElements().Contains(e);
}

void TStyleHook::WndProc(TMessage& msg) {
  if ((msg.Msg == WM_PAINT || msg.Msg == WM_PRINTCLIENT) && OverridePaint()) {
    auto given = reinterpret_cast<HDC>(msg.WParam);
    PAINTSTRUCT ps;
    HDC dc = given ? given : BeginPaint(Handle(), &ps);
    if (dc) {
      TCanvas canvas;
      canvas.SetHandle(dc);
      if (msg.Msg == WM_PRINTCLIENT && (msg.LParam & PRF_ERASEBKGND) && OverrideEraseBkgnd())
        PaintBackground(canvas);
      Paint(canvas);
      canvas.SetHandle(nullptr);
      PaintControls(dc);
    }
    if (!given) EndPaint(Handle(), &ps);
    msg.Result = 0;
    SetHandled(true);
    return;
  }
  if (msg.Msg == CM_STYLEELEMENTSCHANGED || msg.Msg == CM_COLORCHANGED || msg.Msg == CM_FONTCHANGED)
    UpdateColors();
  TStyleHookBase::WndProc(msg);
}

void TStyleHook::DrawParentBackground(HDC dc) {
  if (FControl && dc) FControl->DrawParentBackground(dc);
}

void TStyleHook::PaintControls(HDC dc) {
  if (!FControl || !dc) return;
  for (int i = 0; i < FControl->ControlCount(); ++i) {
    TControl* c = FControl->Controls(i);
    if (dynamic_cast<TWinControl*>(c)) continue;
    if (!c->Visible() && !c->ComponentState().Contains(csDesigning)) continue;
    TRect b = c->BoundsRect();
    if (b.IsEmpty()) continue;
    int saved = SaveDC(dc);
    IntersectClipRect(dc, b.Left, b.Top, b.Right, b.Bottom);
    TPoint old;
    OffsetViewportOrgEx(dc, b.Left, b.Top, &old);
    c->Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
    RestoreDC(dc, saved);
  }
}

// ---- TMouseTrackControlStyleHook ----------------------------------------------------------------

TMouseTrackControlStyleHook::TMouseTrackControlStyleHook(TWinControl* control) : TStyleHook(control) {}

TMouseTrackControlStyleHook::~TMouseTrackControlStyleHook() { StopHotTrackTimer(); }

bool TMouseTrackControlStyleHook::IsMouseInControl() const {
  HWND h = Handle();
  if (!IsWindow(h) || !IsWindowVisible(h)) return false;
  TPoint p;
  if (!GetCursorPos(&p)) return false;
  HWND under = WindowFromPoint(p);
  return under && (under == h || IsChild(h, under));
}

void TMouseTrackControlStyleHook::StartHotTrackTimer() {
  if (FTimerRunning || !IsWindow(Handle())) return;
  FTimerRunning = SetTimer(Handle(), HotTrackTimerId, HotTrackInterval, nullptr) != 0;
}

void TMouseTrackControlStyleHook::StopHotTrackTimer() {
  if (!FTimerRunning) return;
  FTimerRunning = false;
  if (IsWindow(Handle())) KillTimer(Handle(), HotTrackTimerId);
}

void TMouseTrackControlStyleHook::MouseEnter() {
  Invalidate();
  InvalidateNC();
}

void TMouseTrackControlStyleHook::MouseLeave() {
  Invalidate();
  InvalidateNC();
}

void TMouseTrackControlStyleHook::Enter(bool nonClient) {
  FMouseInNCArea = nonClient;
  if (FMouseInControl) return;
  FMouseInControl = true;
  StartHotTrackTimer();
  MouseEnter();
}

void TMouseTrackControlStyleHook::Leave() {
  StopHotTrackTimer();
  if (!FMouseInControl) return;
  FMouseInControl = false;
  FMouseInNCArea = false;
  MouseLeave();
}

void TMouseTrackControlStyleHook::WndProc(TMessage& msg) {
  switch (msg.Msg) {
    case WM_MOUSEMOVE: Enter(false); break;
    case WM_NCMOUSEMOVE: Enter(true); break;
    case WM_MOUSELEAVE:
    case WM_NCMOUSELEAVE:
    case CM_MOUSELEAVE:
      // Moving between the client area and the frame leaves one and enters the other: only a
      // cursor that is elsewhere has left.
      if (FMouseInControl && !IsMouseInControl()) Leave();
      break;
    case WM_TIMER:
      if (msg.WParam == HotTrackTimerId) {
        if (!FMouseInControl) StopHotTrackTimer();
        else if (!IsMouseInControl()) Leave();
        msg.Result = 0;
        SetHandled(true);
        return;
      }
      break;
    case WM_NCDESTROY:
      // The window manager drops the window's timers; nothing is left to stop later.
      FTimerRunning = false;
      FMouseInControl = false;
      break;
    default: break;
  }
  TStyleHook::WndProc(msg);
}

}  // namespace vcl
