// Touch and gesture settings of a control (TControl::Touch) and the gesture event's record.
// They are stored in window descriptions; this host has no touch input, so no gesture is
// ever raised.
#pragma once
#include "host/vcl/Controls.h"

namespace vcl {

enum TInteractiveGesture { igZoom, igPan, igRotate, igTwoFingerTap, igPressAndTap };
constexpr TEnumNames EnumNames(TInteractiveGesture) {
  return {u"TInteractiveGesture", u"igZoom igPan igRotate igTwoFingerTap igPressAndTap"};
}
using TInteractiveGestures = TSet<TInteractiveGesture>;

enum TInteractiveGestureOption {
  igoPanSingleFingerHorizontal, igoPanSingleFingerVertical, igoPanInertia, igoPanGutter,
  igoParentPassthrough
};
constexpr TEnumNames EnumNames(TInteractiveGestureOption) {
  return {u"TInteractiveGestureOption",
          u"igoPanSingleFingerHorizontal igoPanSingleFingerVertical igoPanInertia igoPanGutter "
          u"igoParentPassthrough"};
}
using TInteractiveGestureOptions = TSet<TInteractiveGestureOption>;

enum TTabletOption {
  toPressAndHold, toPenTapFeedback, toPenBarrelFeedback, toTouchUIForceOn, toTouchUIForceOff,
  toTouchSwitch, toFlicks, toSmoothScrolling, toFlickFallbackKeys
};
constexpr TEnumNames EnumNames(TTabletOption) {
  return {u"TTabletOption",
          u"toPressAndHold toPenTapFeedback toPenBarrelFeedback toTouchUIForceOn "
          u"toTouchUIForceOff toTouchSwitch toFlicks toSmoothScrolling toFlickFallbackKeys"};
}
using TTabletOptions = TSet<TTabletOption>;

inline constexpr TInteractiveGestures DefaultInteractiveGestures{igPan, igPressAndTap};
inline constexpr TInteractiveGestureOptions DefaultInteractiveGestureOptions{
    igoPanSingleFingerHorizontal, igoPanSingleFingerVertical, igoPanInertia, igoPanGutter,
    igoParentPassthrough};
inline constexpr TTabletOptions DefaultTabletOptions{toPressAndHold};

class TTouchManager : public TPersistent {
 public:
  static const TClass Class;
  const TClass* ClassType() const override { return &Class; }

  explicit TTouchManager(TControl* control = nullptr) : FControl(control) {}
  void Assign(TPersistent* source) override;
  TPersistent* GetOwner() const override;

  TInteractiveGestures InteractiveGestures() const { return FInteractiveGestures; }
  void SetInteractiveGestures(TInteractiveGestures v) { FInteractiveGestures = v; }
  TInteractiveGestureOptions InteractiveGestureOptions() const { return FGestureOptions; }
  void SetInteractiveGestureOptions(TInteractiveGestureOptions v) { FGestureOptions = v; }
  bool ParentTabletOptions() const { return FParentTabletOptions; }
  void SetParentTabletOptions(bool v) { FParentTabletOptions = v; }
  TTabletOptions TabletOptions() const { return FTabletOptions; }
  // Setting the options turns ParentTabletOptions off.
  void SetTabletOptions(TTabletOptions v);

 private:
  TControl* FControl;
  TInteractiveGestures FInteractiveGestures = DefaultInteractiveGestures;
  TInteractiveGestureOptions FGestureOptions = DefaultInteractiveGestureOptions;
  bool FParentTabletOptions = true;
  TTabletOptions FTabletOptions = DefaultTabletOptions;
};

// What OnGesture is told.
struct TGestureEventInfo {
  int GestureID = 0;
  TPoint Location;
  int Distance = 0;
  double Angle = 0;
};

}  // namespace vcl
