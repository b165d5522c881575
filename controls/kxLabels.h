// TkxLabel: a windowed, transparent text label with an optional glow, horizontal and vertical
// alignment, word wrap, end ellipsis, accelerator underlining with a focus target, automatic
// sizing and a text colour that follows the style. It can drag its form like the panel.
#pragma once
#include <memory>

#include "controls/kxPanels.h"
#include "host/vcl/StdCtrls.h"

namespace kx {

enum TkxVertAlignment { kxvtaTop, kxvtaCenter, kxvtaBottom };
constexpr vcl::TEnumNames EnumNames(TkxVertAlignment) {
  return {u"TkxVertAlignment", u"kxvtaTop kxvtaCenter kxvtaBottom"};
}

class TkxLabel : public TkxCustomControl {
 public:
  static const vcl::TClass Class;
  const vcl::TClass* ClassType() const override { return &Class; }

  explicit TkxLabel(vcl::TComponent* owner);
  ~TkxLabel() override;

  bool DragForm() const { return FDrag.FDragForm; }
  void SetDragForm(bool value) { FDrag.FDragForm = value; }
  bool DragTopForm() const { return FDrag.FDragTopForm; }
  void SetDragTopForm(bool value) { FDrag.FDragTopForm = value; }
  TkxGlowEffect* GlowEffect() const { return FGlowEffect.get(); }
  // The text's kept halo (nullptr until a glowing text is painted); it is rebuilt only when
  // what it depends on changes.
  vcl::TBitmap* GlowBuffer() const { return FGlowBuffer.get(); }
  void SetGlowEffect(TkxGlowEffect* value) { FGlowEffect->Assign(value); }
  // Stores the value and fits the bounds to the text.
  void SetAutoSize(bool value) override;
  vcl::TTextLayout Layout() const { return FLayout; }
  void SetLayout(vcl::TTextLayout value);
  vcl::TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(vcl::TAlignment value);
  TkxVertAlignment VertAlignment() const { return FVertAlignment; }
  void SetVertAlignment(TkxVertAlignment value);
  vcl::TWinControl* FocusControl() const { return FFocusControl; }
  void SetFocusControl(vcl::TWinControl* value);
  bool ShowAccelChar() const { return FShowAccelChar; }
  void SetShowAccelChar(bool value);
  bool WordWrap() const { return FWordWrap; }
  void SetWordWrap(bool value);
  bool ShowEllipsis() const { return FShowEllipsis; }
  void SetShowEllipsis(bool value);
  bool UseFontColorToStyleColor() const { return FUseFontColorToStyleColor; }
  void SetUseFontColorToStyleColor(bool value) { FUseFontColorToStyleColor = value; }

  void Loaded() override;

  // Fits the bounds to the text (with the glow's margin) while AutoSize is set.
  virtual void AdjustBounds();
  // The label's own size adjustment is AdjustBounds.
  void AdjustSize() override { AdjustBounds(); }

 protected:
  // The text to draw: the caption.
  virtual void GetLabelText(vcl::String& text);
  // Draws (or with DT_CALCRECT measures) the text; an empty text, or a lone "&" that is an
  // accelerator marker, measures as one line.
  virtual void DoDrawText(vcl::TCanvas* canvas, vcl::TRect& rect, vcl::UINT flags);

  bool CanAutoSize(int& newWidth, int& newHeight) override { return false; }
  void Notification(vcl::TComponent* component, vcl::TOperation operation) override;
  void DrawControl(vcl::TCanvas* canvas, TkxsCtrlState state) override;
  void ChangeScale(int M, int D, bool isDpiChange) override;
  void MouseDown(vcl::TMouseButton button, vcl::TShiftState shift, int x, int y) override;
  void MouseMove(vcl::TShiftState shift, int x, int y) override;
  void MouseUp(vcl::TMouseButton button, vcl::TShiftState shift, int x, int y) override;
  void CMTextChanged(vcl::TMessage& message) override;
  void CMFontChanged(vcl::TMessage& message) override;
  void CMDialogChar(vcl::TMessage& message) override;

 private:
  // Whether the halo must be rebuilt; stores what it is now built for.
  bool GlowCacheCheck(vcl::TCanvas* canvas, const vcl::String& text);
  void GlowChanged(vcl::TObject* sender);

  vcl::TWinControl* FFocusControl = nullptr;
  vcl::TAlignment FAlignment = vcl::taLeftJustify;
  TkxVertAlignment FVertAlignment = kxvtaTop;
  vcl::TTextLayout FLayout = vcl::tlTop;
  bool FWordWrap = false;
  bool FShowAccelChar = true;
  std::unique_ptr<TkxGlowEffect> FGlowEffect;
  TkxFormDrag FDrag;
  bool FShowEllipsis = false;
  std::unique_ptr<vcl::TBitmap> FGlowBuffer;
  vcl::String FStoredCaption;
  int FStoredWidth = 0;
  int FStoredHeight = 0;
  vcl::TColor FStoredGlowColor = vcl::clNone;
  int FStoredFontSize = 0;
  vcl::String FStoredFontName;
  vcl::TFontStyles FStoredFontStyle;
  bool FUpdateGlowBuffer = true;
  vcl::TAlignment FStoredAlignment = vcl::taLeftJustify;
  bool FStoredShowAccelChar = false;
  vcl::TTextLayout FStoredLayout = vcl::tlCenter;
  bool FStoredWordWrap = false;
  bool FStoredShowEllipsis = false;
  bool FUseFontColorToStyleColor = false;
};

}  // namespace kx
