// The rows behind the element enumerations: each enumerator's name, the path a style source
// names it by, and its state. Used by the style loader, the renderer and the tools.
#pragma once
#include <span>
#include <string_view>

#include "host/themes/ThemedElements.h"

namespace vcl {

struct TElementEntry {
  TThemedElement Element;
  const char* Name;   // "tbPushButtonHot"
  const char* Path;   // part and variants below the family: "push", "check.checked"
  const char* State;  // "hot"
  bool TextOnly;      // a text style: has colours but draws nothing
};

struct TFamilyInfo {
  TThemedElement Element;
  const char* TypeName;  // "TThemedButton"
  const char* Selector;  // "button": the family's name in style sources
  int First;             // index of its first row
  int Count;
};

std::span<const TElementEntry> ElementEntries();
std::span<const TFamilyInfo> ElementFamilies();
inline const TFamilyInfo& FamilyOf(TThemedElement e) { return ElementFamilies()[int(e)]; }

// Part and state numbers: a family's root (path "root") is part 0, state 0; every other path
// is a part numbered from 1 in table order, its states numbered from 1.
TThemedElementDetails DetailsOfEntry(int index);
// The row of a detail, or -1 when the family has no such part and state.
int EntryOfDetails(const TThemedElementDetails& d);
// The row of an enumerator's name, or -1.
int EntryOfName(std::string_view name);

}  // namespace vcl
