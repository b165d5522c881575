#include "TestControls.h"

#include "host/classes/TypInfo.h"

namespace drawtest {

using namespace vcl;

const TClass TGlowControl::Class =
    TClass::Define<TGlowControl, TComponent>(u"TGlowControl", [](auto& c) {
      c.Property(u"GlowEffect", &TGlowControl::GlowEffect, &TGlowControl::SetGlowEffect);
      c.Property(u"StyleElements", &TGlowControl::StyleElements, &TGlowControl::SetStyleElements)
          .Default(TStyleElements{seFont, seClient, seBorder});
      c.Property(u"StyleName", &TGlowControl::StyleName, &TGlowControl::SetStyleName);
    });

const TClass TGlowForm::Class = TClass::Define<TGlowForm, TComponent>(u"TGlowForm");

TGlowControl::TGlowControl(TComponent* owner)
    : TComponent(owner), FGlowEffect(new kx::TkxButtonGlowEffect) {
  FGlowEffect->FControl = this;
  FGlowEffect->SetOnChange(TNotifyEvent(this, &TGlowControl::GlowChanged));
}

TGlowControl::~TGlowControl() { delete FGlowEffect; }

void RegisterGlowClasses() { RegisterClasses({&TGlowControl::Class, &TGlowForm::Class}); }

}  // namespace drawtest
