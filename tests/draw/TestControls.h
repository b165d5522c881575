// A control-like component of the drawing-core tests: it publishes StyleName and StyleElements
// as controls do, and owns a button glow whose changes it counts, as a glowing button would.
#pragma once
#include "draw/kxStates.h"
#include "host/classes/Component.h"

namespace drawtest {

enum TStyleElement { seFont, seClient, seBorder };
constexpr vcl::TEnumNames EnumNames(TStyleElement) {
  return {u"TStyleElement", u"seFont seClient seBorder"};
}
using TStyleElements = vcl::TSet<TStyleElement>;

class TGlowControl : public vcl::TComponent {
 public:
  static const vcl::TClass Class;
  const vcl::TClass* ClassType() const override { return &Class; }

  explicit TGlowControl(vcl::TComponent* owner);
  ~TGlowControl() override;

  const vcl::String& StyleName() const { return FStyleName; }
  void SetStyleName(vcl::StringView v) { FStyleName = vcl::String(v); }
  TStyleElements StyleElements() const { return FStyleElements; }
  void SetStyleElements(TStyleElements v) { FStyleElements = v; }
  kx::TkxButtonGlowEffect* GlowEffect() const { return FGlowEffect; }
  void SetGlowEffect(kx::TkxButtonGlowEffect* v) { FGlowEffect->Assign(v); }

  int Repaints = 0;

 private:
  void GlowChanged(vcl::TObject* sender) { ++Repaints; }
  vcl::String FStyleName;
  TStyleElements FStyleElements{seFont, seClient, seBorder};
  kx::TkxButtonGlowEffect* FGlowEffect;
};

// A root for window descriptions holding TGlowControls.
class TGlowForm : public vcl::TComponent {
 public:
  static const vcl::TClass Class;
  const vcl::TClass* ClassType() const override { return &Class; }
  explicit TGlowForm(vcl::TComponent* owner) : vcl::TComponent(owner) {}
};

void RegisterGlowClasses();

}  // namespace drawtest
