// Control states and glow options: the visual state of a control (or of one part of it), the
// glow options that labels, buttons and tabs publish, and the rule that turns a state into the
// colour, radius and opacity of its glow.
#pragma once
#include "host/classes/Persistent.h"
#include "host/classes/Sets.h"
#include "host/gdi/Types.h"

namespace vcl {
class TComponent;
}

namespace kx {

using vcl::Byte;
using vcl::TColor;

// The visual state of a control or of a part of one (a button face, a tab, a list item).
enum TkxsCtrlState {
  kxsNormal,    // enabled, not under the mouse, not pressed
  kxsHot,       // under the mouse
  kxsPressed,   // mouse button held, or a toggle or drop-down button that is down
  kxsFocused,   // has the keyboard focus and is neither hot nor pressed
  kxsDisabled   // disabled
};
constexpr vcl::TEnumNames EnumNames(TkxsCtrlState) {
  return {u"TkxsCtrlState", u"kxsNormal kxsHot kxsPressed kxsFocused kxsDisabled"};
}
using TkxsCtrlStates = vcl::TSet<TkxsCtrlState>;

// The side of its owner a drop-down window is aligned to.
enum TkxDropDownPosition { kxdpRight, kxdpLeft };
constexpr vcl::TEnumNames EnumNames(TkxDropDownPosition) {
  return {u"TkxDropDownPosition", u"kxdpRight kxdpLeft"};
}

// What a glow is drawn with: colour, radius, opacity, thickness and offset.
struct TkxGlowParams {
  TColor Color = vcl::clHighlight;
  int Size = 7;
  Byte Alpha = 255;
  bool Intensive = true;
  int Offset = 0;
};

// ---- TkxGlowEffect ---------------------------------------------------------------------------
// The options of a soft glow around text or a glyph. The owner sets FControl to itself (its
// style decides the colours) and OnChange to a handler that repaints it.
//
// Changes notify: a setter stores a changed value and calls OnChange, but only while the glow
// is Enabled, so changing a disabled glow repaints nothing; switching Enabled notifies on
// every change, in both directions.
class TkxGlowEffect : public vcl::TPersistent {
 public:
  static const vcl::TClass Class;
  const vcl::TClass* ClassType() const override { return &Class; }

  TkxGlowEffect() = default;

  // From a TkxGlowEffect: Enabled, Color, AlphaValue, Offset, GlowSize, Intensive and
  // StyleColors (not the owner, not the event), with one notification when something changed
  // while the glow is or was enabled. Other sources go to the host's Assign.
  void Assign(vcl::TPersistent* source) override;

  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool v);
  TColor Color() const { return FColor; }
  void SetColor(TColor v);
  Byte AlphaValue() const { return FAlphaValue; }
  void SetAlphaValue(Byte v);
  Byte GlowSize() const { return FGlowSize; }
  void SetGlowSize(Byte v);
  bool Intensive() const { return FIntensive; }
  void SetIntensive(bool v);
  Byte Offset() const { return FOffset; }
  void SetOffset(Byte v);
  bool StyleColors() const { return FStyleColors; }
  void SetStyleColors(bool v);
  const vcl::TNotifyEvent& OnChange() const { return FOnChange; }
  void SetOnChange(const vcl::TNotifyEvent& e) { FOnChange = e; }

  // The colour to draw: with StyleColors and a custom style in effect for FControl, Color
  // mapped through that style; otherwise Color.
  TColor GetColor() const;
  // AlphaValue, lowered by 80 for the classic (unthemed) look when Color is clHighlight and
  // AlphaValue is above 170.
  Byte GetAlphaValue() const;
  // What owners of a plain glow draw with, in every state while Enabled.
  TkxGlowParams GetParams() const;

  // The control that owns the options, whose style the colours follow (nullptr: the active
  // style's).
  vcl::TComponent* FControl = nullptr;

 protected:
  // Calls OnChange while the glow is enabled.
  void Changed();
  // The state colour rule of GetColor applied to another colour (clNone passes unchanged).
  TColor StyleColor(TColor color) const;
  // Whether the classic look's alpha adjustments apply to a glow of this colour and alpha.
  bool ClassicAlpha(TColor color, Byte alpha, Byte above) const;
  // Copies the base options; true when one of them changed.
  bool AssignBase(const TkxGlowEffect& source);
  // Stores a changed value and notifies.
  template <class T>
  void Store(T& field, T value) {
    if (field == value) return;
    field = value;
    Changed();
  }

  bool FEnabled = false;
  TColor FColor = vcl::clHighlight;
  Byte FAlphaValue = 255;
  Byte FGlowSize = 7;
  bool FIntensive = true;
  Byte FOffset = 0;
  bool FStyleColors = true;
  vcl::TNotifyEvent FOnChange;
};

// ---- TkxButtonGlowEffect ---------------------------------------------------------------------
// Glow options of buttons, check boxes and radio buttons: per-state colours, the look of the
// pressed glow, and the states in which the glow is drawn.
class TkxButtonGlowEffect : public TkxGlowEffect {
 public:
  static const vcl::TClass Class;
  const vcl::TClass* ClassType() const override { return &Class; }

  TkxButtonGlowEffect() = default;

  // From a TkxButtonGlowEffect also the state colours, PressedAlphaValue, PressedGlowSize
  // and States; from a plain TkxGlowEffect only the base options.
  void Assign(vcl::TPersistent* source) override;

  TColor HotColor() const { return FHotColor; }
  void SetHotColor(TColor v);
  TColor PressedColor() const { return FPressedColor; }
  void SetPressedColor(TColor v);
  TColor FocusedColor() const { return FFocusedColor; }
  void SetFocusedColor(TColor v);
  Byte PressedAlphaValue() const { return FPressedAlphaValue; }
  void SetPressedAlphaValue(Byte v);
  Byte PressedGlowSize() const { return FPressedGlowSize; }
  void SetPressedGlowSize(Byte v);
  TkxsCtrlStates States() const { return FStates; }
  void SetStates(TkxsCtrlStates v);

  TColor GetHotColor() const { return StyleColor(FHotColor); }
  TColor GetPressedColor() const { return StyleColor(FPressedColor); }
  TColor GetFocusedColor() const { return StyleColor(FFocusedColor); }
  // PressedAlphaValue, lowered by 50 for the classic look when PressedColor is clHighlight and
  // PressedAlphaValue is above 200.
  Byte GetPressedAlphaValue() const;

  // The glow of a state: false when the state is not in States. Otherwise the colour of the
  // state (clNone falls back to GetColor), the pressed radius and opacity for kxsPressed, and
  // GlowSize with GetAlphaValue (halved for kxsDisabled) for the others. Whether to draw it at
  // all is the caller's: only while Enabled.
  bool GetStateParams(TkxsCtrlState state, TkxGlowParams& params) const;

 protected:
  TColor FHotColor = vcl::clNone;
  TColor FPressedColor = vcl::clNone;
  TColor FFocusedColor = vcl::clNone;
  Byte FPressedAlphaValue = 255;
  Byte FPressedGlowSize = 7;
  TkxsCtrlStates FStates{kxsHot, kxsPressed, kxsFocused};
};

}  // namespace kx
