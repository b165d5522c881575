// Glow options: defaults, copying, change notification, the style-aware colours and alphas, the
// glow of a state, and the published properties of window descriptions.
#include "draw/kxStates.h"

#include "draw/kxStyleUtils.h"
#include "host/classes/TypInfo.h"
#include "host/graphics/GraphicsObjects.h"
#include "host/rtl/NumFormat.h"

namespace kx {

using namespace vcl;

namespace {

// Byte options are published as integers so that a stored value outside 0..255 is refused by
// name instead of being cut to its low byte.
Byte CheckedByte(int value, const char16_t* name) {
  if (value < 0 || value > 255)
    throw EArgumentOutOfRangeException(String(name) + u" must be between 0 and 255, not " +
                                       IntToStr(value));
  return Byte(value);
}

template <class T, Byte (T::*Get)() const, void (T::*Set)(Byte)>
void PublishByte(TClassBuilder<T>& c, const char16_t* name, Byte defaultValue) {
  c.Property(
       name, [](const T& t) { return int((t.*Get)()); },
       [name](T& t, int v) { (t.*Set)(CheckedByte(v, name)); })
      .Default(int(defaultValue));
}

}  // namespace

// ---- TkxGlowEffect ---------------------------------------------------------------------------

const TClass TkxGlowEffect::Class =
    TClass::Define<TkxGlowEffect, TPersistent>(u"TkxGlowEffect", [](auto& c) {
      using T = TkxGlowEffect;
      RegisterColorIdents();
      PublishByte<T, &T::AlphaValue, &T::SetAlphaValue>(c, u"AlphaValue", 255);
      c.Property(u"Color", &T::Color, &T::SetColor).Idents(u"TColor").Default(clHighlight);
      c.Property(u"Enabled", &T::Enabled, &T::SetEnabled).Default(false);
      PublishByte<T, &T::GlowSize, &T::SetGlowSize>(c, u"GlowSize", 7);
      c.Property(u"Intensive", &T::Intensive, &T::SetIntensive).Default(true);
      PublishByte<T, &T::Offset, &T::SetOffset>(c, u"Offset", 0);
      c.Property(u"StyleColors", &T::StyleColors, &T::SetStyleColors).Default(true);
      c.Property(u"OnChange", &T::FOnChange);
    });

void TkxGlowEffect::Changed() {
  if (FEnabled) FOnChange(this);
}

void TkxGlowEffect::SetEnabled(bool v) {
  if (v == FEnabled) return;
  FEnabled = v;
  FOnChange(this);
}

void TkxGlowEffect::SetColor(TColor v) { Store(FColor, v); }
void TkxGlowEffect::SetAlphaValue(Byte v) { Store(FAlphaValue, v); }
void TkxGlowEffect::SetGlowSize(Byte v) { Store(FGlowSize, v); }
void TkxGlowEffect::SetIntensive(bool v) { Store(FIntensive, v); }
void TkxGlowEffect::SetOffset(Byte v) { Store(FOffset, v); }
void TkxGlowEffect::SetStyleColors(bool v) { Store(FStyleColors, v); }

bool TkxGlowEffect::AssignBase(const TkxGlowEffect& s) {
  bool changed = FEnabled != s.FEnabled || FColor != s.FColor || FAlphaValue != s.FAlphaValue ||
                 FOffset != s.FOffset || FGlowSize != s.FGlowSize ||
                 FIntensive != s.FIntensive || FStyleColors != s.FStyleColors;
  FEnabled = s.FEnabled;
  FColor = s.FColor;
  FAlphaValue = s.FAlphaValue;
  FOffset = s.FOffset;
  FGlowSize = s.FGlowSize;
  FIntensive = s.FIntensive;
  FStyleColors = s.FStyleColors;
  return changed;
}

void TkxGlowEffect::Assign(TPersistent* source) {
  if (auto* g = dynamic_cast<TkxGlowEffect*>(source)) {
    bool wasEnabled = FEnabled;
    if (AssignBase(*g) && (wasEnabled || FEnabled)) FOnChange(this);
    return;
  }
  TPersistent::Assign(source);
}

TColor TkxGlowEffect::StyleColor(TColor color) const {
  if (FStyleColors && IsCustomStyle(FControl)) return ColorToStyleColor(color, FControl);
  return color;
}

TColor TkxGlowEffect::GetColor() const { return StyleColor(FColor); }

bool TkxGlowEffect::ClassicAlpha(TColor color, Byte alpha, Byte above) const {
  if (color != clHighlight || alpha <= above || IsCustomStyle(FControl)) return false;
  return !StyleServicesEnabled(ControlStyleServices(FControl));
}

Byte TkxGlowEffect::GetAlphaValue() const {
  return ClassicAlpha(FColor, FAlphaValue, 170) ? Byte(FAlphaValue - 80) : FAlphaValue;
}

TkxGlowParams TkxGlowEffect::GetParams() const {
  return {GetColor(), FGlowSize, GetAlphaValue(), FIntensive, FOffset};
}

// ---- TkxButtonGlowEffect ---------------------------------------------------------------------

const TClass TkxButtonGlowEffect::Class =
    TClass::Define<TkxButtonGlowEffect, TkxGlowEffect>(u"TkxButtonGlowEffect", [](auto& c) {
      using T = TkxButtonGlowEffect;
      RegisterColorIdents();
      c.Property(u"FocusedColor", &T::FocusedColor, &T::SetFocusedColor)
          .Idents(u"TColor")
          .Default(clNone);
      c.Property(u"HotColor", &T::HotColor, &T::SetHotColor).Idents(u"TColor").Default(clNone);
      PublishByte<T, &T::PressedAlphaValue, &T::SetPressedAlphaValue>(c, u"PressedAlphaValue",
                                                                       255);
      c.Property(u"PressedColor", &T::PressedColor, &T::SetPressedColor)
          .Idents(u"TColor")
          .Default(clNone);
      PublishByte<T, &T::PressedGlowSize, &T::SetPressedGlowSize>(c, u"PressedGlowSize", 7);
      c.Property(u"States", &T::States, &T::SetStates)
          .Default(TkxsCtrlStates{kxsHot, kxsPressed, kxsFocused});
    });

void TkxButtonGlowEffect::SetHotColor(TColor v) { Store(FHotColor, v); }
void TkxButtonGlowEffect::SetPressedColor(TColor v) { Store(FPressedColor, v); }
void TkxButtonGlowEffect::SetFocusedColor(TColor v) { Store(FFocusedColor, v); }
void TkxButtonGlowEffect::SetPressedAlphaValue(Byte v) { Store(FPressedAlphaValue, v); }
void TkxButtonGlowEffect::SetPressedGlowSize(Byte v) { Store(FPressedGlowSize, v); }
void TkxButtonGlowEffect::SetStates(TkxsCtrlStates v) { Store(FStates, v); }

void TkxButtonGlowEffect::Assign(TPersistent* source) {
  auto* g = dynamic_cast<TkxGlowEffect*>(source);
  if (!g) {
    TPersistent::Assign(source);
    return;
  }
  bool wasEnabled = FEnabled;
  bool changed = AssignBase(*g);
  if (auto* b = dynamic_cast<TkxButtonGlowEffect*>(g)) {
    changed = changed || FHotColor != b->FHotColor || FPressedColor != b->FPressedColor ||
              FFocusedColor != b->FFocusedColor || FPressedAlphaValue != b->FPressedAlphaValue ||
              FPressedGlowSize != b->FPressedGlowSize || FStates != b->FStates;
    FHotColor = b->FHotColor;
    FPressedColor = b->FPressedColor;
    FFocusedColor = b->FFocusedColor;
    FPressedAlphaValue = b->FPressedAlphaValue;
    FPressedGlowSize = b->FPressedGlowSize;
    FStates = b->FStates;
  }
  if (changed && (wasEnabled || FEnabled)) FOnChange(this);
}

Byte TkxButtonGlowEffect::GetPressedAlphaValue() const {
  return ClassicAlpha(FPressedColor, FPressedAlphaValue, 200) ? Byte(FPressedAlphaValue - 50)
                                                              : FPressedAlphaValue;
}

bool TkxButtonGlowEffect::GetStateParams(TkxsCtrlState state, TkxGlowParams& p) const {
  if (!FStates.Contains(state)) return false;
  TColor color;
  switch (state) {
    case kxsHot: color = GetHotColor(); break;
    case kxsPressed: color = GetPressedColor(); break;
    case kxsFocused: color = GetFocusedColor(); break;
    default: color = GetColor(); break;
  }
  p.Color = color == clNone ? GetColor() : color;
  if (state == kxsPressed) {
    p.Size = FPressedGlowSize;
    p.Alpha = GetPressedAlphaValue();
  } else {
    p.Size = FGlowSize;
    p.Alpha = GetAlphaValue();
    if (state == kxsDisabled) p.Alpha = Byte(p.Alpha / 2);
  }
  p.Intensive = FIntensive;
  p.Offset = FOffset;
  return true;
}

}  // namespace kx
