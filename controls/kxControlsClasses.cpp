// Class metadata of the library's controls: names and published properties for window
// descriptions, and registration.
#include "controls/kxControls.h"
#include "host/classes/TypInfo.h"

namespace kx {

using namespace vcl;

const TClass TkxCustomControl::Class =
    TClass::Define<TkxCustomControl, TCustomControl>(u"TkxCustomControl", [](auto& c) {
      c.Property(u"FluentUIOpaque", &TkxCustomControl::FluentUIOpaque,
                 &TkxCustomControl::SetFluentUIOpaque)
          .Default(false);
      c.Property(u"OnChangeScale", &TkxCustomControl::FOnChangeScale);
    });

void RegisterKxControlClasses() {
  static const bool done = [] {
    RegisterControlClasses();
    RegisterClasses({&TkxCustomControl::Class, &TkxCustomActiveControl::Class, &TkxPanel::Class,
                     &TkxLabel::Class});
    return true;
  }();
  (void)done;
}

}  // namespace kx
