// The engine's hook of list boxes under a custom style.
#include "host/themes/ListStyleHooks.h"

#include "host/gdi/Gdi.h"

namespace vcl {

TListBoxStyleHook::TListBoxStyleHook(TWinControl* control) : TScrollingStyleHook(control) {
  SetOverrideEraseBkgnd(false);
  UpdateColors();
}

void TListBoxStyleHook::UpdateColors() {
  TScrollingStyleHook::UpdateColors();
  TWinControl* c = Control();
  TCustomStyleServices* s = StyleServices();
  bool enabled = c->Enabled();
  TColor back = StyleElementsContain(seClient)
                    ? s->GetStyleColor(enabled ? scListBox : scListBoxDisabled)
                    : c->Color();
  TColor text = StyleElementsContain(seFont)
                    ? s->GetStyleFontColor(enabled ? sfListItemTextNormal : sfListItemTextDisabled)
                    : c->Font()->Color();
  SetColors(back, text);
}

void TListBoxStyleHook::WndProc(TMessage& msg) {
  switch (msg.Msg) {
    case CN_CTLCOLORLISTBOX: {
      HDC dc = reinterpret_cast<HDC>(msg.WParam);
      SetTextColor(dc, COLORREF(ColorToRGB(FontColor())));
      SetBkColor(dc, COLORREF(ColorToRGB(Color())));
      msg.Result = reinterpret_cast<LRESULT>(Brush()->Handle());
      SetHandled(true);
      return;
    }
    case CM_ENABLEDCHANGED: UpdateColors(); break;
    default: break;
  }
  TScrollingStyleHook::WndProc(msg);
  if (msg.Msg == CM_STYLEELEMENTSCHANGED || msg.Msg == CM_COLORCHANGED) SetOverrideEraseBkgnd(false);
}

}  // namespace vcl
