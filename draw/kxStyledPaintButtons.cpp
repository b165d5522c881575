// Styled painting of buttons, spin buttons, drop-down buttons, check boxes and radio buttons.
#include "draw/kxStyledPaintButtons.h"

#include "draw/kxPaintCommon.h"
#include "draw/kxPixels.h"
#include "draw/kxStyleUtils.h"
#include "draw/kxStyledPaintBorders.h"
#include "draw/kxStyledPaintGlyphs.h"
#include "draw/kxSystem.h"
#include "host/gdi/GdiDraw.h"
#include "host/graphics/Canvas.h"

namespace kx {

using namespace vcl;
using detail::DrawDetail;
using detail::FourState;
using detail::PaintStyleOf;
using detail::ScaleDpi;
using detail::TPaintStyle;

namespace {

TThemedElementDetails PushDetails(TkxsCtrlState state) {
  switch (state) {
    case kxsHot: return GetElementDetails(tbPushButtonHot);
    case kxsPressed: return GetElementDetails(tbPushButtonPressed);
    case kxsFocused: return GetElementDetails(tbPushButtonDefaulted);
    case kxsDisabled: return GetElementDetails(tbPushButtonDisabled);
    default: return GetElementDetails(tbPushButtonNormal);
  }
}

TThemedElementDetails ToolDetails(TkxsCtrlState state) {
  return GetElementDetails(
      FourState(state, ttbButtonNormal, ttbButtonHot, ttbButtonPressed, ttbButtonDisabled));
}

void ClassicPushFrame(TCanvas* canvas, const TRect& rect, TkxsCtrlState state) {
  HDC dc = canvas->Handle();
  if (!dc || rect.IsEmpty()) return;
  TRect r = rect;
  DrawFrameControl(dc, &r, DFC_BUTTON, DFCS_BUTTONPUSH | (state == kxsPressed ? DFCS_PUSHED : 0));
}

// The focus rectangle of push faces: dotted for the system style, the canvas's own classically
// (unless a custom style is in effect for the control), none for custom styles.
void PushFocusRect(TCanvas* canvas, const TRect& rect, const TPaintStyle& style,
                   const TComponent* control, double scale) {
  TRect r = rect.Inflated(-3, -3);
  if (r.IsEmpty()) return;
  if (style.Enabled) {
    if (style.System()) DrawFocusRectDotted(canvas, r, scale);
  } else if (!IsCustomStyle(control)) {
    canvas->DrawFocusRect(r);
  }
}

void PushFace(TCanvas* canvas, const TRect& rect, TkxsCtrlState state, const TPaintStyle& style) {
  if (style.Enabled)
    DrawDetail(canvas, style, PushDetails(state), rect);
  else
    ClassicPushFrame(canvas, rect, state);
}

// Classic faces of tool buttons: sunken when pressed, raised when hot or focused.
void ClassicToolFace(TCanvas* canvas, TRect r, TkxsCtrlState state) {
  if (state == kxsPressed)
    DrawFrame3D(canvas, r, clBtnShadow, clBtnHighlight);
  else if (state == kxsHot || state == kxsFocused)
    DrawFrame3D(canvas, r, clBtnHighlight, clBtnShadow);
}

void ToolFace(TCanvas* canvas, const TRect& rect, TkxsCtrlState state, const TPaintStyle& style) {
  if (style.Enabled)
    DrawDetail(canvas, style, ToolDetails(state), rect);
  else
    ClassicToolFace(canvas, rect, state);
}

// The rectangle a segment's face is drawn in: 20 pixels wider on each joined side.
TRect SegmentFaceRect(const TRect& rect, TkxSegmentKind segment) {
  TRect r = rect;
  if (segment == kxskLeft || segment == kxskMiddle) r.Right += 20;
  if (segment == kxskRight || segment == kxskMiddle) r.Left -= 20;
  return r;
}

// Separators at the inner joints, 2 pixels inside the top and bottom: a left segment's at its
// right edge, a right segment's at its left edge, a middle segment's at both.
void SegmentSeparators(TCanvas* canvas, const TRect& rect, TkxSegmentKind segment,
                       const TComponent* control) {
  const int top = rect.Top + 2, bottom = rect.Bottom - 2;
  if (bottom <= top) return;
  if (segment == kxskLeft || segment == kxskMiddle)
    DrawVertSeparator(canvas, TRect(rect.Right - 1, top, rect.Right + 1, bottom), control);
  if (segment == kxskRight || segment == kxskMiddle)
    DrawVertSeparator(canvas, TRect(rect.Left, top, rect.Left + 2, bottom), control);
}

// ---- spin and arrow buttons ----------------------------------------------------------------

enum TArrowSide { asUp, asDown, asRight, asLeft };

TThemedElementDetails ArrowDetails(TArrowSide side, TkxsCtrlState state, bool custom) {
  if (custom) {
    switch (side) {
      case asUp:
        return GetElementDetails(FourState(state, tsArrowBtnUpNormal, tsArrowBtnUpHot,
                                           tsArrowBtnUpPressed, tsArrowBtnUpDisabled));
      case asDown:
        return GetElementDetails(FourState(state, tsArrowBtnDownNormal, tsArrowBtnDownHot,
                                           tsArrowBtnDownPressed, tsArrowBtnDownDisabled));
      case asRight:
        return GetElementDetails(FourState(state, tsArrowBtnRightNormal, tsArrowBtnRightHot,
                                           tsArrowBtnRightPressed, tsArrowBtnRightDisabled));
      default:
        return GetElementDetails(FourState(state, tsArrowBtnLeftNormal, tsArrowBtnLeftHot,
                                           tsArrowBtnLeftPressed, tsArrowBtnLeftDisabled));
    }
  }
  switch (side) {
    case asUp:
      return GetElementDetails(FourState(state, tsUpNormal, tsUpHot, tsUpPressed, tsUpDisabled));
    case asDown:
      return GetElementDetails(
          FourState(state, tsDownNormal, tsDownHot, tsDownPressed, tsDownDisabled));
    case asRight:
      return GetElementDetails(
          FourState(state, tsUpHorzNormal, tsUpHorzHot, tsUpHorzPressed, tsUpHorzDisabled));
    default:
      return GetElementDetails(FourState(state, tsDownHorzNormal, tsDownHorzHot,
                                         tsDownHorzPressed, tsDownHorzDisabled));
  }
}

// A detail drawn into r, whose top `rows` rows come from a rendering `height` pixels high. The
// taller rendering starts from what lies under the button, as the element may leave parts of
// it transparent.
void DrawWithTallTop(TCanvas* canvas, const TPaintStyle& style, const TThemedElementDetails& d,
                     const TRect& r, int height, int rows, int dpi) {
  HDC dst = canvas->Handle();
  if (!dst) return;
  const int w = r.Width();
  TBitmap tall;
  detail::Make32(tall, w, height);
  HDC src = tall.Canvas()->Handle();
  BitBlt(src, 0, 0, w, rows, dst, r.Left, r.Top, SRCCOPY);
  DrawDetail(canvas, style, d, r, dpi);
  style.Services->DrawElement(src, d, TRect(0, 0, w, height), nullptr, dpi);
  BitBlt(dst, r.Left, r.Top, w, rows, src, 0, 0, SRCCOPY);
}

void SpinButton(TCanvas* canvas, const TRect& rect, TkxsCtrlState state,
                const TComponent* control, double scale, TArrowSide side) {
  if (!canvas || rect.IsEmpty()) return;
  TPaintStyle style = PaintStyleOf(control);
  if (style.Enabled) {
    const int dpi = ScaleDpi(scale);
    TThemedElementDetails d = ArrowDetails(side, state, style.Custom);
    // A short up button of the system style squeezes its top edge: its top 2 rows come from a
    // rendering 10 pixels high.
    if (side == asUp && style.System() && rect.Height() <= 9)
      DrawWithTallTop(canvas, style, d, rect, 10, std::min(2, rect.Height()), dpi);
    else
      DrawDetail(canvas, style, d, rect, dpi);
    return;
  }
  static constexpr UINT kSides[] = {DFCS_SCROLLUP, DFCS_SCROLLDOWN, DFCS_SCROLLRIGHT,
                                    DFCS_SCROLLLEFT};
  UINT flags = kSides[side];
  if (state == kxsPressed) flags |= DFCS_PUSHED;
  if (state == kxsDisabled) flags |= DFCS_INACTIVE;
  TRect r = rect;
  if (HDC dc = canvas->Handle()) DrawFrameControl(dc, &r, DFC_SCROLL, flags);
}

// ---- check boxes and radio buttons -----------------------------------------------------------

TThemedElementDetails CheckDetails(TkxsCtrlState state, TCheckBoxState check) {
  switch (check) {
    case cbChecked:
      return GetElementDetails(FourState(state, tbCheckBoxCheckedNormal, tbCheckBoxCheckedHot,
                                         tbCheckBoxCheckedPressed, tbCheckBoxCheckedDisabled));
    case cbGrayed:
      return GetElementDetails(FourState(state, tbCheckBoxMixedNormal, tbCheckBoxMixedHot,
                                         tbCheckBoxMixedPressed, tbCheckBoxMixedDisabled));
    default:
      return GetElementDetails(FourState(state, tbCheckBoxUncheckedNormal,
                                         tbCheckBoxUncheckedHot, tbCheckBoxUncheckedPressed,
                                         tbCheckBoxUncheckedDisabled));
  }
}

TThemedElementDetails RadioDetails(TkxsCtrlState state, bool checked) {
  if (checked)
    return GetElementDetails(FourState(state, tbRadioButtonCheckedNormal,
                                       tbRadioButtonCheckedHot, tbRadioButtonCheckedPressed,
                                       tbRadioButtonCheckedDisabled));
  return GetElementDetails(FourState(state, tbRadioButtonUncheckedNormal,
                                     tbRadioButtonUncheckedHot, tbRadioButtonUncheckedPressed,
                                     tbRadioButtonUncheckedDisabled));
}

// The side of the box of a detail: the style's size, or round(13 x scale).
TSize BoxSize(const TPaintStyle& style, const TThemedElementDetails& d, double scale) {
  const int classic = detail::Round(13 * detail::EffectiveScale(scale));
  TSize size{classic, classic};
  if (style.Enabled) {
    TSize s;
    if (style.Services->GetElementSize(nullptr, d, esActual, s, ScaleDpi(scale)) && s.cx > 0 &&
        s.cy > 0)
      size = s;
  }
  return size;
}

// The box at the rectangle's left, centred vertically, moved left where it would pass the
// right edge; with `centre` centred both ways.
TRect PlaceBox(const TRect& rect, TSize size, bool centre) {
  int left = centre ? rect.Left + (rect.Width() - size.cx) / 2 : rect.Left;
  if (left + size.cx > rect.Right) left = rect.Right - size.cx;
  int top = rect.Top + (rect.Height() - size.cy) / 2;
  return TRect::FromSize(left, top, size.cx, size.cy);
}

void Box(TCanvas* canvas, const TRect& rect, TkxsCtrlState state, const TComponent* control,
         double scale, const TThemedElementDetails& d, UINT classicFlags, bool centre) {
  if (!canvas || rect.IsEmpty()) return;
  TPaintStyle style = PaintStyleOf(control);
  TRect box = PlaceBox(rect, BoxSize(style, d, scale), centre);
  if (style.Enabled) {
    DrawDetail(canvas, style, d, box, ScaleDpi(scale));
    return;
  }
  if (state == kxsPressed) classicFlags |= DFCS_PUSHED;
  if (state == kxsDisabled) classicFlags |= DFCS_INACTIVE;
  if (HDC dc = canvas->Handle()) DrawFrameControl(dc, &box, DFC_BUTTON, classicFlags);
}

UINT CheckFlags(TCheckBoxState check) {
  UINT flags = DFCS_BUTTONCHECK;
  if (check == cbChecked) flags |= DFCS_CHECKED;
  if (check == cbGrayed) flags |= DFCS_CHECKED | DFCS_INACTIVE;
  return flags;
}

}  // namespace

void DrawPushButtonFace(TCanvas* canvas, const TRect& rect, TkxsCtrlState state,
                        const TComponent* control, bool focusRect, double scale) {
  if (!canvas || rect.IsEmpty()) return;
  TPaintStyle style = PaintStyleOf(control);
  PushFace(canvas, rect, state, style);
  if (focusRect) PushFocusRect(canvas, rect, style, control, scale);
}

void DrawSegmentedButtonFace(TCanvas* canvas, const TRect& rect, TkxsCtrlState state,
                             TkxSegmentKind segment, const TComponent* control, bool focusRect,
                             double scale) {
  if (!canvas || rect.IsEmpty()) return;
  TPaintStyle style = PaintStyleOf(control);
  detail::TClipScope clip(canvas, rect);
  PushFace(canvas, SegmentFaceRect(rect, segment), state == kxsFocused ? kxsHot : state, style);
  SegmentSeparators(canvas, rect, segment, control);
  if (focusRect) PushFocusRect(canvas, rect, style, control, scale);
}

void DrawComboButtonFace(TCanvas* canvas, const TRect& rect, TkxsCtrlState state,
                         const TComponent* control, bool focusRect, double scale) {
  if (!canvas || rect.IsEmpty()) return;
  TPaintStyle style = PaintStyleOf(control);
  if (!(style.Enabled && style.System() && IsWindows11())) {
    DrawPushButtonFace(canvas, rect, state, control, focusRect, scale);
    return;
  }
  DrawDetail(canvas, style,
             GetElementDetails(FourState(state, tcReadOnlyNormal, tcReadOnlyHot,
                                         tcReadOnlyPressed, tcReadOnlyDisabled)),
             rect);
  if (focusRect) PushFocusRect(canvas, rect, style, control, scale);
}

void DrawToolButtonFace(TCanvas* canvas, const TRect& rect, TkxsCtrlState state,
                        const TComponent* control) {
  if (!canvas || rect.IsEmpty()) return;
  ToolFace(canvas, rect, state, PaintStyleOf(control));
}

void DrawToolButtonFaceFramed(TCanvas* canvas, const TRect& rect, TkxsCtrlState state,
                              const TComponent* control) {
  if (!canvas || rect.IsEmpty()) return;
  TPaintStyle style = PaintStyleOf(control);
  if (style.Enabled) {
    ToolFace(canvas, rect, state, style);
    return;
  }
  TRect r = rect;
  DrawFrame3D(canvas, r, clBtnFace, clBtnFace);
  ClassicToolFace(canvas, r, state);
}

void DrawSegmentedToolButtonFace(TCanvas* canvas, const TRect& rect, TkxsCtrlState state,
                                 TkxSegmentKind segment, const TComponent* control) {
  if (!canvas || rect.IsEmpty()) return;
  TPaintStyle style = PaintStyleOf(control);
  detail::TClipScope clip(canvas, rect);
  ToolFace(canvas, SegmentFaceRect(rect, segment), state, style);
  SegmentSeparators(canvas, rect, segment, control);
}

void DrawUpButton(TCanvas* canvas, const TRect& rect, TkxsCtrlState state,
                  const TComponent* control, double scale) {
  SpinButton(canvas, rect, state, control, scale, asUp);
}
void DrawDownButton(TCanvas* canvas, const TRect& rect, TkxsCtrlState state,
                    const TComponent* control, double scale) {
  SpinButton(canvas, rect, state, control, scale, asDown);
}
void DrawRightButton(TCanvas* canvas, const TRect& rect, TkxsCtrlState state,
                     const TComponent* control, double scale) {
  SpinButton(canvas, rect, state, control, scale, asRight);
}
void DrawLeftButton(TCanvas* canvas, const TRect& rect, TkxsCtrlState state,
                    const TComponent* control, double scale) {
  SpinButton(canvas, rect, state, control, scale, asLeft);
}

void DrawDropDownButton(TCanvas* canvas, const TRect& rect, TkxsCtrlState state,
                        const TComponent* control, double scale, bool rightToLeft) {
  if (!canvas || rect.IsEmpty()) return;
  TPaintStyle style = PaintStyleOf(control);
  if (style.Enabled) {
    const int dpi = ScaleDpi(scale);
    if (!style.Custom && WindowsMajorVersion() >= 6) {
      TRect r = rect;
      r.Top -= 1;
      r.Bottom += 1;
      if (rightToLeft) {
        r.Left -= 1;
        DrawDetail(canvas, style,
                   GetElementDetails(FourState(state, tcDropDownButtonLeftNormal,
                                               tcDropDownButtonLeftHot,
                                               tcDropDownButtonLeftPressed,
                                               tcDropDownButtonLeftDisabled)),
                   r, dpi);
      } else {
        r.Right += 1;
        DrawDetail(canvas, style,
                   GetElementDetails(FourState(state, tcDropDownButtonRightNormal,
                                               tcDropDownButtonRightHot,
                                               tcDropDownButtonRightPressed,
                                               tcDropDownButtonRightDisabled)),
                   r, dpi);
      }
    } else {
      DrawDetail(canvas, style,
                 GetElementDetails(FourState(state, tcDropDownButtonNormal, tcDropDownButtonHot,
                                             tcDropDownButtonPressed,
                                             tcDropDownButtonDisabled)),
                 rect, dpi);
    }
    return;
  }
  ClassicPushFrame(canvas, rect, state);
  DrawArrowGlyph(canvas, rect, clBtnText, scale, kxadDown);
}

int GetCheckBoxSize(const TComponent* control, double scale) {
  TPaintStyle style = PaintStyleOf(control);
  return BoxSize(style, GetElementDetails(tbCheckBoxCheckedNormal), scale).cx;
}

void DrawCheckBox(TCanvas* canvas, const TRect& rect, TkxsCtrlState state, TCheckBoxState check,
                  const TComponent* control, double scale) {
  Box(canvas, rect, state, control, scale, CheckDetails(state, check), CheckFlags(check), false);
}

void DrawTreeViewCheckBox(TCanvas* canvas, const TRect& rect, TkxsCtrlState state, bool checked,
                          const TComponent* control, double scale) {
  TCheckBoxState check = checked ? cbChecked : cbUnchecked;
  Box(canvas, rect, state, control, scale, CheckDetails(state, check), CheckFlags(check), true);
}

void DrawListCheckBox(TCanvas* canvas, const TRect& rect, TkxsCtrlState state,
                      TCheckBoxState check, bool enabled, const TComponent* control,
                      double scale) {
  DrawCheckBox(canvas, rect, enabled ? state : kxsDisabled, check, control, scale);
}

void DrawRadioButton(TCanvas* canvas, const TRect& rect, TkxsCtrlState state, bool checked,
                     const TComponent* control, double scale) {
  Box(canvas, rect, state, control, scale, RadioDetails(state, checked),
      DFCS_BUTTONRADIO | (checked ? DFCS_CHECKED : 0), false);
}

}  // namespace kx
