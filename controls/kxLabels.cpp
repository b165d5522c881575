// TkxLabel: text placement, the glow halo and its cache, automatic sizing, accelerators and
// form dragging.
#include "controls/kxLabels.h"

#include "draw/kxGlow.h"
#include "draw/kxStyleUtils.h"
#include "draw/kxStyledPaintText.h"
#include "host/gdi/GdiText.h"
#include "host/rtl/Assert.h"
#include "host/vcl/ControlMessages.h"

namespace kx {

using namespace vcl;

TkxLabel::TkxLabel(TComponent* owner)
    : TkxCustomControl(owner), FGlowEffect(std::make_unique<TkxGlowEffect>()) {
  FControlStyle = TControlStyle{csCaptureMouse, csClickEvents,  csSetCaption,
                                csOpaque,       csDoubleClicks, csReplicatable};
  FAutoSize = true;
  FTransparentBackground = true;
  SetBounds(Left(), Top(), 65, 17);
  FGlowEffect->SetColor(clBtnShadow);
  FGlowEffect->FControl = this;
  FGlowEffect->SetOnChange(TNotifyEvent(this, &TkxLabel::GlowChanged));
}

TkxLabel::~TkxLabel() = default;

// ---- properties ----------------------------------------------------------------------------------

void TkxLabel::GlowChanged(TObject*) {
  if (ComponentState().Contains(csLoading)) return;
  FUpdateGlowBuffer = true;
  RePaintControl();
  AdjustBounds();
}

void TkxLabel::SetAutoSize(bool value) {
  if (FAutoSize == value) return;
  FAutoSize = value;
  AdjustBounds();
}

void TkxLabel::SetLayout(TTextLayout value) {
  if (FLayout == value) return;
  FLayout = value;
  RePaintControl();
}

void TkxLabel::SetAlignment(TAlignment value) {
  if (FAlignment == value) return;
  FAlignment = value;
  RePaintControl();
}

void TkxLabel::SetVertAlignment(TkxVertAlignment value) {
  if (FVertAlignment == value) return;
  FVertAlignment = value;
  RePaintControl();
}

void TkxLabel::SetFocusControl(TWinControl* value) {
  if (FFocusControl == value) return;
  if (FFocusControl) FFocusControl->RemoveFreeNotification(this);
  FFocusControl = value;
  if (value) value->FreeNotification(this);
}

void TkxLabel::SetShowAccelChar(bool value) {
  if (FShowAccelChar == value) return;
  FShowAccelChar = value;
  RePaintControl();
}

void TkxLabel::SetWordWrap(bool value) {
  if (FWordWrap == value) return;
  FWordWrap = value;
  AdjustBounds();
  RePaintControl();
}

void TkxLabel::SetShowEllipsis(bool value) {
  if (FShowEllipsis == value) return;
  FShowEllipsis = value;
  RePaintControl();
}

void TkxLabel::Notification(TComponent* component, TOperation operation) {
  TkxCustomControl::Notification(component, operation);
  if (operation == opRemove && component == FFocusControl) FFocusControl = nullptr;
}

void TkxLabel::Loaded() {
  TkxCustomControl::Loaded();
  AdjustBounds();
}

// ---- text ----------------------------------------------------------------------------------------

void TkxLabel::GetLabelText(String& text) { text = Text(); }

void TkxLabel::DoDrawText(TCanvas* canvas, TRect& rect, UINT flags) {
  String text;
  GetLabelText(text);
  if ((flags & DT_CALCRECT) && (text.empty() || (FShowAccelChar && text == u"&")))
    text += u' ';
  if (!FShowAccelChar) flags |= DT_NOPREFIX;
  DrawTextW(canvas->Handle(), text, &rect, flags);
}

void TkxLabel::AdjustBounds() {
  if (ComponentState().Contains(csReading) || ComponentState().Contains(csLoading) ||
      !FAutoSize || Align() == alTop || Align() == alBottom || Align() == alClient)
    return;
  // The glow's margin around the text: a wrapped text is laid out within the width that is
  // left for it, so that adjusting again finds the same lines and the same size.
  int margin = FGlowEffect->Enabled() ? 2 * FGlowEffect->GlowSize() + FGlowEffect->Offset() : 0;
  TBitmap measure;
  AssignCanvasFont(measure.Canvas(), Font());
  TRect m(0, 0, Width() - (FWordWrap ? margin : 0), Height());
  if (m.Right < 0) m.Right = 0;
  DoDrawText(measure.Canvas(), m, (FWordWrap ? DT_WORDBREAK : 0) | DT_CALCRECT | DT_EXPANDTABS);
  int w = m.Right, h = m.Bottom;
  int left = Left();
  TAlignment alignment = FAlignment;
  if (UseRightToLeftAlignment() && alignment != taCenter)
    alignment = alignment == taLeftJustify ? taRightJustify : taLeftJustify;
  w += margin;
  h += margin;
  if (alignment == taRightJustify) left += Width() - w;
  SetBounds(left, Top(), w, h);
}

bool TkxLabel::GlowCacheCheck(TCanvas* canvas, const String& text) {
  TFont* f = canvas->Font();
  TColor glowColor = FGlowEffect->GetColor();
  bool rebuild = FUpdateGlowBuffer || text != FStoredCaption || Width() != FStoredWidth ||
                 Height() != FStoredHeight || glowColor != FStoredGlowColor ||
                 f->Name() != FStoredFontName || f->Size() != FStoredFontSize ||
                 f->Style() != FStoredFontStyle || FAlignment != FStoredAlignment ||
                 FShowAccelChar != FStoredShowAccelChar || FLayout != FStoredLayout ||
                 FWordWrap != FStoredWordWrap || FShowEllipsis != FStoredShowEllipsis;
  FStoredCaption = text;
  FStoredWidth = Width();
  FStoredHeight = Height();
  FStoredGlowColor = glowColor;
  FStoredFontName = f->Name();
  FStoredFontSize = f->Size();
  FStoredFontStyle = f->Style();
  FStoredAlignment = FAlignment;
  FStoredShowAccelChar = FShowAccelChar;
  FStoredLayout = FLayout;
  FStoredWordWrap = FWordWrap;
  FStoredShowEllipsis = FShowEllipsis;
  FUpdateGlowBuffer = false;
  return rebuild;
}

void TkxLabel::DrawControl(TCanvas* canvas, TkxsCtrlState state) {
  AssignCanvasFont(canvas, Font());
  if (StyleElements().Contains(seFont) && IsCustomStyle(this)) {
    if (state != kxsNormal || !FUseFontColorToStyleColor)
      canvas->Font()->SetColor(GetCheckBoxTextColor(state, this));
    else
      canvas->Font()->SetColor(ColorToStyleColor(Font()->Color(), this));
  }
  canvas->Brush()->SetStyle(bsClear);
  String text;
  GetLabelText(text);

  bool glow = FGlowEffect->Enabled();
  int g = FGlowEffect->GlowSize(), o = FGlowEffect->Offset();
  TRect t = glow ? TRect(g - o, g - o, Width() - g - o, Height() - g - o)
                 : TRect(0, 0, Width(), Height());
  if (t.Left < 0) t.Left = 0;
  if (t.Top < 0) t.Top = 0;

  static constexpr UINT kAlign[] = {DT_LEFT, DT_RIGHT, DT_CENTER};
  UINT flags = (FWordWrap ? DT_WORDBREAK : 0) | DT_EXPANDTABS | TableAt(kAlign, FAlignment);
  if (!FShowAccelChar) flags |= DT_NOPREFIX;
  flags = DrawTextBiDiModeFlags(flags);
  if (FShowEllipsis && !FAutoSize) flags |= DT_END_ELLIPSIS;

  if (FVertAlignment != kxvtaTop) {
    TRect m = t;
    DoDrawText(canvas, m, flags | DT_CALCRECT);
    int h = m.Height();
    t.Top = FVertAlignment == kxvtaCenter ? (Height() - h) / 2 : Height() - h;
    t.Bottom = t.Top + h;
    if (FVertAlignment == kxvtaBottom && glow) {
      t.Top -= g + o;
      t.Bottom -= g + o;
    }
  }

  if (glow) {
    bool rebuild = GlowCacheCheck(canvas, text);
    TkxGlowTextFormat format{flags,
                             BiDiMode() == bdRightToLeft ? kxroRightToLeft : kxroLeftToRight,
                             FShowAccelChar ? kxpmPrefix : kxpmNoPrefix};
    TkxGlowCache cache{FGlowBuffer, rebuild};
    DrawGlowText(canvas, t, text, format, FGlowEffect->GetParams(), &cache);
  } else {
    DoDrawText(canvas, t, flags);
  }
}

// ---- scaling, mouse, messages -------------------------------------------------------------------

void TkxLabel::ChangeScale(int M, int D, bool isDpiChange) {
  TkxCustomControl::ChangeScale(M, D, isDpiChange);
  if (FAutoSize) AdjustBounds();
}

void TkxLabel::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  TkxCustomControl::MouseDown(button, shift, x, y);
  FDrag.MouseDown(this, button, shift);
}

void TkxLabel::MouseMove(TShiftState shift, int x, int y) {
  TkxCustomControl::MouseMove(shift, x, y);
  FDrag.MouseMove();
}

void TkxLabel::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  TkxCustomControl::MouseUp(button, shift, x, y);
  FDrag.MouseUp();
}

void TkxLabel::CMTextChanged(TMessage& m) {
  TkxCustomControl::CMTextChanged(m);
  AdjustBounds();
  RePaintControl();
}

void TkxLabel::CMFontChanged(TMessage& m) {
  TkxCustomControl::CMFontChanged(m);
  AdjustBounds();
  RePaintControl();
}

void TkxLabel::CMDialogChar(TMessage& m) {
  TkxCustomControl::CMDialogChar(m);
  if (FFocusControl && Enabled() && FShowAccelChar && IsAccel(KeyCharCode(m), Text()) &&
      FFocusControl->CanFocus()) {
    FFocusControl->SetFocus();
    m.Result = 1;
  }
}

}  // namespace kx

#include "host/classes/TypInfo.h"

namespace kx {

const TClass TkxLabel::Class = TClass::Define<TkxLabel, TkxCustomControl>(u"TkxLabel", [](auto& c) {
  using T = TkxLabel;
  // DragForm, DragTopForm, AutoSize and UseFontColorToStyleColor have no default in the
  // stored form: they are always written.
  c.Property(u"DragForm", &T::DragForm, &T::SetDragForm);
  c.Property(u"DragTopForm", &T::DragTopForm, &T::SetDragTopForm);
  c.Property(u"GlowEffect", &T::GlowEffect, &T::SetGlowEffect);
  c.Inherited(u"AutoSize").NoDefault();
  c.Property(u"Layout", &T::Layout, &T::SetLayout).Default(tlTop);
  c.Property(u"Alignment", &T::Alignment, &T::SetAlignment).Default(taLeftJustify);
  c.Property(u"VertAlignment", &T::VertAlignment, &T::SetVertAlignment).Default(kxvtaTop);
  c.Property(u"FocusControl", &T::FocusControl, &T::SetFocusControl);
  c.Property(u"ShowAccelChar", &T::ShowAccelChar, &T::SetShowAccelChar).Default(true);
  c.Property(u"WordWrap", &T::WordWrap, &T::SetWordWrap).Default(false);
  c.Property(u"ShowEllipsis", &T::ShowEllipsis, &T::SetShowEllipsis).Default(false);
  c.Property(u"UseFontColorToStyleColor", &T::UseFontColorToStyleColor,
             &T::SetUseFontColorToStyleColor);
});

}  // namespace kx
