// Modifier states of keyboard and mouse input, and the states of an owner-drawn item, as the
// framework's events pass them.
#pragma once
#include "host/classes/Sets.h"

namespace vcl {

enum TShiftStateItem {
  ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble, ssTouch, ssPen, ssCommand, ssHorizontal
};
constexpr TEnumNames EnumNames(TShiftStateItem) {
  return {u"TShiftStateItem",
          u"ssShift ssAlt ssCtrl ssLeft ssRight ssMiddle ssDouble ssTouch ssPen ssCommand ssHorizontal"};
}
using TShiftState = TSet<TShiftStateItem>;

enum TOwnerDrawStateItem {
  odSelected, odGrayed, odDisabled, odChecked, odFocused, odDefault, odHotLight, odInactive, odNoAccel,
  odNoFocusRect, odReserved1, odReserved2, odComboBoxEdit
};
constexpr TEnumNames EnumNames(TOwnerDrawStateItem) {
  return {u"TOwnerDrawStateItem",
          u"odSelected odGrayed odDisabled odChecked odFocused odDefault odHotLight odInactive odNoAccel "
          u"odNoFocusRect odReserved1 odReserved2 odComboBoxEdit"};
}
using TOwnerDrawState = TSet<TOwnerDrawStateItem>;

}  // namespace vcl
