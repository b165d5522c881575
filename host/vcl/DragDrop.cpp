// The drag session between controls: starting, tracking the mouse through the source's
// capture, asking targets, the cursor feedback, dropping and cancelling; and DragDetect.
#include "host/vcl/DragDrop.h"

#include <cstdlib>
#include <memory>

#include "host/classes/TypInfo.h"
#include "host/vcl/ControlsInternal.h"
#include "host/vcl/Screen.h"

namespace vcl {

const TClass TDragObject::Class = TClass::Define<TDragObject, TObject>(u"TDragObject");
const TClass TDragControlObject::Class =
    TClass::Define<TDragControlObject, TDragObject>(u"TDragControlObject");
const TClass TDragDockObject::Class =
    TClass::Define<TDragDockObject, TDragControlObject>(u"TDragDockObject");

TCursor TDragObject::GetDragCursor(bool accepted, int x, int y) {
  if (!accepted) return crNoDrop;
  TControl* source = SourceControl();
  return source ? source->DragCursor() : crDrag;
}

namespace {

int DefaultThreshold() { return Mouse->DragThreshold(); }

}  // namespace

// ---- the session ---------------------------------------------------------------------------------

// The one drag that can run at a time.
class TDragSession {
 public:
  static TDragSession* Current() { return FCurrent; }

  static void Start(TControl* source, bool immediate, int threshold) {
    TDragObject* object = nullptr;
    source->DoStartDrag(object);
    auto* session = new TDragSession;
    session->FSource = source;
    session->FOwned = !object;
    session->FObject = object ? object : new TDragControlObject(source);
    session->FThreshold = threshold < 0 ? DefaultThreshold() : threshold;
    GetCursorPos(&session->FStart);
    session->FPos = session->FStart;
    FCurrent = session;
    SetCaptureControl(source);
    if (immediate) session->Move(session->FStart);
  }

  // A mouse message the source received while its drag runs; true when the drag used it.
  bool SourceMessage(TMessage& m) {
    switch (m.Msg) {
      case WM_MOUSEMOVE: {
        TPoint p = FSource->ClientToScreen(MousePos(m));
        if (!FMoving && std::abs(p.X - FStart.X) < FThreshold &&
            std::abs(p.Y - FStart.Y) < FThreshold)
          return true;
        Move(p);
        return true;
      }
      case WM_LBUTTONUP: {
        if (!FMoving) {
          // A press that never became a drag: the release is an ordinary one.
          Finish(false);
          return false;
        }
        TControlState state = FSource->ControlState();
        state.Exclude(csClicked);
        state.Exclude(csLButtonDown);
        FSource->SetControlState(state);
        Finish(true);
        return true;
      }
      case WM_RBUTTONDOWN:
        Finish(false);
        return true;
      case WM_CANCELMODE: Finish(false); return false;
      default: return false;
    }
  }

  // Asks the control under a screen point and shows the answer with the cursor.
  void Move(TPoint screen) {
    FMoving = true;
    FPos = screen;
    TControl* target = FindDragTarget(screen, false);
    if (target != FTarget) {
      if (FTarget) Ask(FTarget, dsDragLeave);
      FTarget = target;
      FAccepted = false;
      if (FTarget) Ask(FTarget, dsDragEnter);
    }
    if (FCurrent != this) return;  // an event ended the drag
    FAccepted = FTarget && Ask(FTarget, dsDragMove);
    if (FCurrent != this) return;
    FObject->FDragTarget = FTarget;
    FObject->FDragPos = screen;
    TCursor cursor = FObject->GetDragCursor(FAccepted, screen.X, screen.Y);
    ::vcl::SetCursor(CursorHandle(cursor));
  }

  // Ends the drag: dropped on the accepting target when `drop`, cancelled otherwise.
  void Finish(bool drop) {
    if (FCurrent != this) return;
    FCurrent = nullptr;
    // Controls destroyed by the events below leave the session through Forget.
    FFinishing = this;
    std::unique_ptr<TDragSession> self(this);
    TFinally finished([] { FFinishing = nullptr; });
    if (GetCaptureControl() == FSource) SetCaptureControl(nullptr);
    ::vcl::SetCursor(CursorHandle(FSource->Cursor() != crDefault ? FSource->Cursor() : crArrow));
    TControl* target = drop && FMoving && FAccepted ? FTarget : nullptr;
    FObject->FCancelling = !target;
    TObject* source = SourceFor();
    if (!target && FTarget && FMoving) {
      bool ignored = false;
      TPoint p = FTarget->ScreenToClient(FPos);
      FTarget->DragOver(source, p.X, p.Y, dsDragLeave, ignored);
    }
    TPoint p = target ? target->ScreenToClient(FPos)
                      : (FSource ? FSource->ScreenToClient(FPos) : FPos);
    if (target) target->DragDrop(source, p.X, p.Y);
    FObject->Finished(FTarget == target ? target : nullptr, p.X, p.Y, target != nullptr);
    if (FSource) FSource->DoEndDrag(FTarget == target ? target : nullptr, p.X, p.Y);
    if (FOwned) delete FObject;
  }

  // A control being destroyed leaves the drag: its end as the source, its part as target.
  static void Forget(TControl* control) {
    if (TDragSession* s = FFinishing) {
      if (s->FTarget == control) s->FTarget = nullptr;
      if (s->FSource == control) s->FSource = nullptr;
    }
    if (FCurrent) FCurrent->ForgetCurrent(control);
  }

  TControl* Source() const { return FSource; }

 private:
  void ForgetCurrent(TControl* control) {
    if (FTarget == control) {
      FTarget = nullptr;
      FAccepted = false;
    }
    if (FSource == control) {
      FCurrent = nullptr;
      if (ctl::CaptureControl() == control) SetCaptureControl(nullptr);
      if (FOwned) delete FObject;
      delete this;
    }
  }

  // What targets are told the source is: the dragged control, or the caller's drag object.
  TObject* SourceFor() const {
    if (auto* c = dynamic_cast<TDragControlObject*>(FObject)) return c->Control();
    return FObject;
  }
  bool Ask(TControl* target, TDragState state) {
    bool accept = false;
    TPoint p = target->ScreenToClient(FPos);
    target->DragOver(SourceFor(), p.X, p.Y, state, accept);
    return accept;
  }

  static inline TDragSession* FCurrent = nullptr;
  static inline TDragSession* FFinishing = nullptr;
  TControl* FSource = nullptr;
  TDragObject* FObject = nullptr;
  bool FOwned = true;
  TPoint FStart, FPos;
  int FThreshold = 5;
  bool FMoving = false;
  TControl* FTarget = nullptr;
  bool FAccepted = false;
};

namespace ctl {

bool DragSourceMessage(TControl* control, TMessage& m) {
  TDragSession* s = TDragSession::Current();
  return s && s->Source() == control && s->SourceMessage(m);
}

void ForgetDragControl(TControl* control) { TDragSession::Forget(control); }

}  // namespace ctl

TControl* DragSourceControl() {
  TDragSession* s = TDragSession::Current();
  return s ? s->Source() : nullptr;
}

bool CancelDrag() {
  TDragSession* s = TDragSession::Current();
  if (!s) return false;
  s->Finish(false);
  return true;
}

// ---- TControl's part -------------------------------------------------------------------------------

void TControl::BeginDrag(bool immediate, int threshold) {
  if (ComponentState().Contains(csDesigning) || TDragSession::Current()) return;
  // A dkDock control drags like a dkDrag one: docking is not built.
  TDragSession::Start(this, immediate, threshold);
}

void TControl::EndDrag(bool drop) {
  TDragSession* s = TDragSession::Current();
  if (s && s->Source() == this) s->Finish(drop);
}

bool TControl::Dragging() const {
  TDragSession* s = TDragSession::Current();
  return s && s->Source() == this;
}

void TControl::DoStartDrag(TDragObject*& dragObject) { FOnStartDrag(this, dragObject); }

void TControl::DoEndDrag(TObject* target, int x, int y) { FOnEndDrag(this, target, x, y); }

void TControl::DragOver(TObject* source, int x, int y, TDragState state, bool& accept) {
  accept = bool(FOnDragOver);
  if (accept) FOnDragOver(this, source, x, y, state, accept);
}

void TControl::DragDrop(TObject* source, int x, int y) { FOnDragDrop(this, source, x, y); }

// ---- DragDetect -------------------------------------------------------------------------------------

bool DragDetect(HWND window, TPoint screenPos, int threshold) {
  if (threshold < 0) threshold = DefaultThreshold();
  HWND previous = GetCapture();
  if (window) SetCapture(window);
  bool dragged = false;
  for (;;) {
    MSG msg;
    if (!PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (!WaitMessage()) break;  // nothing can arrive any more
      continue;
    }
    if (msg.message == WM_MOUSEMOVE) {
      TPoint p;
      GetCursorPos(&p);
      if (std::abs(p.X - screenPos.X) >= threshold || std::abs(p.Y - screenPos.Y) >= threshold) {
        dragged = true;
        break;
      }
      continue;
    }
    if (msg.message == WM_LBUTTONUP || msg.message == WM_RBUTTONDOWN ||
        (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE))
      break;
    if (msg.message >= WM_KEYFIRST && msg.message <= WM_KEYLAST) continue;
    DispatchMessageW(&msg);
  }
  if (window && GetCapture() == window && previous != window) ReleaseCapture();
  return dragged;
}

}  // namespace vcl
