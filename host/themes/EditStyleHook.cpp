#include "host/themes/EditStyleHook.h"

#include "host/gdi/Gdi.h"
#include "host/vcl/ControlMessages.h"

namespace vcl {

TEditStyleHook::TEditStyleHook(TWinControl* control) : TScrollingStyleHook(control) {
  UpdateColors();
}

void TEditStyleHook::UpdateColors() {
  TCustomStyleServices* s = StyleServices();
  TWinControl* c = Control();
  TColor back = StyleElementsContain(seClient) ? s->GetStyleColor(scEdit) : c->Color();
  TColor text = c->Font()->Color();
  if (StyleElementsContain(seFont))
    text = s->GetStyleFontColor(c->Enabled() ? sfEditBoxTextNormal : sfEditBoxTextDisabled);
  SetColors(back, text);
}

void TEditStyleHook::WndProc(TMessage& msg) {
  switch (msg.Msg) {
    case CN_CTLCOLOREDIT:
    case CN_CTLCOLORSTATIC: {
      // A control that paints under the style itself chooses its own colours.
      if (Control()->ControlStyle().Contains(csOverrideStylePaint)) break;
      UpdateColors();
      HDC dc = reinterpret_cast<HDC>(msg.WParam);
      SetTextColor(dc, COLORREF(ColorToRGB(FontColor())));
      SetBkColor(dc, COLORREF(ColorToRGB(Color())));
      msg.Result = reinterpret_cast<LRESULT>(Brush()->Handle());
      SetHandled(true);
      return;
    }
    case CM_ENABLEDCHANGED:
      UpdateColors();
      Invalidate();
      break;
    default: break;
  }
  TScrollingStyleHook::WndProc(msg);
}

}  // namespace vcl
