// TTouchManager: the stored touch and gesture settings of a control.
#include "host/vcl/Touch.h"

#include "host/classes/TypInfo.h"

namespace vcl {

const TClass TTouchManager::Class =
    TClass::Define<TTouchManager, TPersistent>(u"TTouchManager", [](auto& c) {
      c.Property(u"InteractiveGestures", &TTouchManager::InteractiveGestures,
                 &TTouchManager::SetInteractiveGestures)
          .Default(DefaultInteractiveGestures);
      c.Property(u"InteractiveGestureOptions", &TTouchManager::InteractiveGestureOptions,
                 &TTouchManager::SetInteractiveGestureOptions)
          .Default(DefaultInteractiveGestureOptions);
      c.Property(u"ParentTabletOptions", &TTouchManager::ParentTabletOptions,
                 &TTouchManager::SetParentTabletOptions)
          .Default(true);
      c.Property(u"TabletOptions", &TTouchManager::TabletOptions, &TTouchManager::SetTabletOptions)
          .Stored([](const TTouchManager& t) { return !t.ParentTabletOptions(); });
    });

void TTouchManager::Assign(TPersistent* source) {
  if (auto* s = dynamic_cast<TTouchManager*>(source)) {
    FInteractiveGestures = s->FInteractiveGestures;
    FGestureOptions = s->FGestureOptions;
    FParentTabletOptions = s->FParentTabletOptions;
    FTabletOptions = s->FTabletOptions;
    return;
  }
  TPersistent::Assign(source);
}

TPersistent* TTouchManager::GetOwner() const { return FControl; }

void TTouchManager::SetTabletOptions(TTabletOptions v) {
  FTabletOptions = v;
  FParentTabletOptions = false;
}

}  // namespace vcl
