// The engine's own control hooks, registered when the registry starts: the frame of forms, the
// scroll bars of scrolling controls, the colours of list boxes and the text edits. Later
// registrations for these classes (or their descendants) take over.
#include "host/themes/EditStyleHook.h"
#include "host/themes/FormStyleHook.h"
#include "host/themes/ListStyleHooks.h"
#include "host/themes/ScrollingStyleHook.h"
#include "host/vcl/Edits.h"
#include "host/vcl/Forms.h"
#include "host/vcl/ListCtrls.h"
#include "host/themes/StyleSwitch.h"

namespace vcl::detail {

void RegisterDefaultControlStyleHooks() {
  TStyleManager::RegisterStyleHook(TScrollingWinControl::Class, StyleHookClass<TScrollingStyleHook>());
  TStyleManager::RegisterStyleHook(TCustomForm::Class, StyleHookClass<TFormStyleHook>());
  TStyleManager::RegisterStyleHook(TCustomListBox::Class, StyleHookClass<TListBoxStyleHook>());
  TStyleManager::RegisterStyleHook(TCustomEdit::Class, StyleHookClass<TEditStyleHook>());
}

}  // namespace vcl::detail
