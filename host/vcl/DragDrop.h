// Drag and drop between controls: the drag objects and the drag session's services.
//
// A drag starts with TControl::BeginDrag (a left press on a dmAutomatic control calls it):
// the source raises OnStartDrag and captures the mouse. Once the mouse has moved the threshold
// (or at once when immediate) every move asks the control under the pointer, through
// DragOver (OnDragOver), whether it accepts; the cursor shows the source's DragCursor over an
// accepting target and crNoDrop elsewhere. Releasing the left button drops on an accepting
// target (DragDrop, OnDragDrop); Esc, the right button or a lost capture cancel. The source
// then raises OnEndDrag with the target, or nullptr when nothing took the drop.
//
// Docking is not built: a control whose DragKind is dkDock drags like a dkDrag one, and the
// docking properties and events are only stored.
#pragma once
#include "host/vcl/Controls.h"

namespace vcl {

// What is being dragged. OnStartDrag may hand out one of its own (derived) objects, which the
// targets then receive as the drag source; it stays the caller's to free.
class TDragObject : public TObject {
 public:
  static const TClass Class;
  const TClass* ClassType() const override { return &Class; }

  // The cursor shown at a screen point: over an accepting target, the source's DragCursor
  // (crDrag when there is no source), crNoDrop otherwise.
  virtual TCursor GetDragCursor(bool accepted, int x, int y);
  // The drag was dropped on target (nullptr: cancelled).
  virtual void Finished(TObject* target, int x, int y, bool accepted) {}
  // The source control of the drag (nullptr for a drag object without one).
  virtual TControl* SourceControl() const { return nullptr; }
  TControl* DragTarget() const { return FDragTarget; }
  TPoint DragPos() const { return FDragPos; }
  bool Cancelling() const { return FCancelling; }

 private:
  friend class TDragSession;
  TControl* FDragTarget = nullptr;
  TPoint FDragPos;
  bool FCancelling = false;
};

// The drag object of a control dragged without an object of its own: targets receive the
// control itself as the source.
class TDragControlObject : public TDragObject {
 public:
  static const TClass Class;
  const TClass* ClassType() const override { return &Class; }
  explicit TDragControlObject(TControl* control) : FControl(control) {}
  TControl* Control() const { return FControl; }
  TControl* SourceControl() const override { return FControl; }

 private:
  TControl* FControl;
};

// The object of a docking drag (kept for the docking events' signatures; docking is not
// built).
class TDragDockObject : public TDragControlObject {
 public:
  static const TClass Class;
  const TClass* ClassType() const override { return &Class; }
  using TDragControlObject::TDragControlObject;
};

// The control being dragged (nullptr when no drag runs).
TControl* DragSourceControl();
// Ends a running drag without a drop (OnEndDrag with a nullptr target); false when none ran.
bool CancelDrag();

// Tracks the mouse from a press at a screen point until it leaves the square of `threshold`
// pixels around it (true: the user drags) or the left button is released or Esc is pressed
// (false). Messages other than mouse and key input are dispatched meanwhile.
bool DragDetect(HWND window, TPoint screenPos, int threshold = -1);

}  // namespace vcl
