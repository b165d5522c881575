// The per-control styling rule and the helpers built on it.
#include "draw/kxStyleUtils.h"

#include "host/classes/TypInfo.h"
#include "host/themes/StyleManager.h"
#include "host/vcl/Controls.h"

namespace kx {

using namespace vcl;

namespace {

// The published "StyleName" and "StyleElements" of the component's class, where it has them.
bool ReadPublishedStyling(const TComponent* control, TkxControlStyling& styling) {
  const TClass* c = control->ClassType();
  auto* instance = const_cast<TComponent*>(control);
  bool found = false;
  const TPropInfo* name = GetPropInfo(c, u"StyleName");
  if (name && name->Kind == pkString) {
    styling.StyleName = std::get<String>(name->Get(instance));
    found = true;
  }
  const TPropInfo* elements = GetPropInfo(c, u"StyleElements");
  if (elements && elements->Kind == pkSet) {
    styling.NoStyleElements = std::get<Int64>(elements->Get(instance)) == 0;
    found = true;
  }
  return found;
}

TkxControlStylingReader GStylingReader = &ReadPublishedStyling;

bool ContainsWindows(StringView name) {
  static constexpr StringView kWord = u"windows";
  if (name.size() < kWord.size()) return false;
  for (size_t i = 0; i + kWord.size() <= name.size(); ++i) {
    size_t k = 0;
    while (k < kWord.size()) {
      Char ch = name[i + k];
      if (ch >= u'A' && ch <= u'Z') ch = Char(ch - u'A' + u'a');
      if (ch != kWord[k]) break;
      ++k;
    }
    if (k == kWord.size()) return true;
  }
  return false;
}

}  // namespace

void SetControlStylingReader(TkxControlStylingReader reader) {
  GStylingReader = reader ? reader : &ReadPublishedStyling;
}

TkxControlStyling GetControlStyling(const TComponent* control) {
  TkxControlStyling styling;
  if (control && !GStylingReader(control, styling)) styling = {};
  return styling;
}

TCustomStyleServices* StyleServicesFor(StringView styleName, bool noStyleElements,
                                       bool systemStyleIsDefault) {
  TCustomStyleServices* active = TStyleManager::ActiveStyle();
  if (!TStyleManager::IsCustomStyleActive()) return active;
  if (!styleName.empty()) {
    TCustomStyleServices* named = TStyleManager::Style(styleName);
    if (named && named->Enabled()) return named;
  } else if (systemStyleIsDefault) {
    return TStyleManager::SystemStyle();
  }
  if (noStyleElements) return TStyleManager::SystemStyle();
  return active;
}

TCustomStyleServices* ControlStyleServices(const TComponent* control) {
  if (!control || !TStyleManager::IsCustomStyleActive()) return TStyleManager::ActiveStyle();
  // Controls inherit their parents' StyleName: the host's rule answers for them.
  if (auto* c = dynamic_cast<const TControl*>(control)) return StyleServices(c);
  TkxControlStyling styling = GetControlStyling(control);
  return StyleServicesFor(styling.StyleName, styling.NoStyleElements,
                          TStyleManager::SystemStyleIsDefault());
}

String EffectiveStyleName(const TComponent* control) {
  if (auto* c = dynamic_cast<const TControl*>(control)) {
    const TControl* source = StyleNameSource(c);
    return source ? source->StyleName() : String();
  }
  return GetControlStyling(control).StyleName;
}

bool StyleServicesEnabled(const TCustomStyleServices* services) {
  if (!services || !services->Enabled()) return false;
  return !services->IsSystemStyle() || TStyleManager::ThemesEnabled();
}

bool IsCustomStyle(const TComponent* control) {
  if (!control) return TStyleManager::IsCustomStyleActive();
  if (control->ComponentState().Contains(csDesigning)) return false;
  TCustomStyleServices* services = ControlStyleServices(control);
  return services && !services->IsSystemStyle();
}

TColor ColorToStyleColor(TColor color, const TComponent* control) {
  if (!IsCustomStyle(control)) return color;
  TCustomStyleServices* services = ControlStyleServices(control);
  return services ? services->GetSystemColor(color) : color;
}

bool IsWindowsStyle(const TComponent* control) {
  if (!IsCustomStyle(control)) return false;
  if (control) return ContainsWindows(EffectiveStyleName(control));
  TCustomStyleServices* active = TStyleManager::ActiveStyle();
  return active && ContainsWindows(active->Name());
}

}  // namespace kx
