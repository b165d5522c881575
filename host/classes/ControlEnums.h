// Small enumerations that the control classes and the drawing core share: the horizontal
// alignment of text and the state of a check box.
#pragma once
#include "host/classes/Sets.h"

namespace vcl {

// Horizontal alignment of text in a rectangle.
enum TAlignment { taLeftJustify, taRightJustify, taCenter };
constexpr TEnumNames EnumNames(TAlignment) {
  return {u"TAlignment", u"taLeftJustify taRightJustify taCenter"};
}

// The state of a check box: unchecked, checked, or mixed (grayed).
enum TCheckBoxState { cbUnchecked, cbChecked, cbGrayed };
constexpr TEnumNames EnumNames(TCheckBoxState) {
  return {u"TCheckBoxState", u"cbUnchecked cbChecked cbGrayed"};
}

}  // namespace vcl
