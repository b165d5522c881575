// Styled painting of buttons: push, combo-look, tool and segmented faces, spin and arrow
// buttons, the drop-down button of combo boxes, check boxes and radio buttons.
//
// Every routine draws with the style services of `control` (the per-control rule; nullptr: the
// active style) and, when those services report themselves not enabled, in the classic look
// with DrawFrameControl and system colours. `scale` is the control's scale factor (1 at 96
// pixels per inch; below 1 counts as 1); the parts that are rendered for a density draw at
// round(96 x scale) pixels per inch.
#pragma once
#include "draw/kxStates.h"
#include "host/classes/ControlEnums.h"
#include "host/gdi/Types.h"

namespace vcl {
class TCanvas;
class TComponent;
}  // namespace vcl

namespace kx {

// The face of a push button: normal, hot, pressed, defaulted (focused) or disabled. With
// `focusRect` a dotted focus rectangle 3 pixels inside is added for the system style (custom
// styles never show one); classically the canvas's focus rectangle, unless a custom style is
// in effect for the control.
void DrawPushButtonFace(vcl::TCanvas* canvas, const vcl::TRect& rect, TkxsCtrlState state,
                        const vcl::TComponent* control, bool focusRect = false,
                        double scale = 1);

// Segments of segmented buttons.
enum TkxSegmentKind { kxskSingle, kxskLeft, kxskMiddle, kxskRight };

// One segment of a segmented push button: the face is drawn 20 pixels wider on the sides that
// join other segments, so its rounded corners fall outside the rectangle (drawing is clipped
// to it), then a vertical separator marks each inner joint. Focused looks hot.
void DrawSegmentedButtonFace(vcl::TCanvas* canvas, const vcl::TRect& rect,
                             TkxsCtrlState state, TkxSegmentKind segment,
                             const vcl::TComponent* control, bool focusRect = false,
                             double scale = 1);
// A push button that looks like a read-only combo box where the system style has that look
// (Windows 11), else a push-button face.
void DrawComboButtonFace(vcl::TCanvas* canvas, const vcl::TRect& rect, TkxsCtrlState state,
                         const vcl::TComponent* control, bool focusRect = false,
                         double scale = 1);

// The face of a tool button; classically a sunken one-pixel frame when pressed, a raised one
// when hot or focused, nothing when normal or disabled.
void DrawToolButtonFace(vcl::TCanvas* canvas, const vcl::TRect& rect, TkxsCtrlState state,
                        const vcl::TComponent* control);
// The same with a face-coloured one-pixel border first in the classic look.
void DrawToolButtonFaceFramed(vcl::TCanvas* canvas, const vcl::TRect& rect,
                              TkxsCtrlState state, const vcl::TComponent* control);
// One segment of a segmented tool button (widened and separated like the push segments).
void DrawSegmentedToolButtonFace(vcl::TCanvas* canvas, const vcl::TRect& rect,
                                 TkxsCtrlState state, TkxSegmentKind segment,
                                 const vcl::TComponent* control);

// Spin and arrow buttons: with a custom style the scroll-bar arrow buttons, otherwise the
// spin parts (right and left are the horizontal spin parts). An up button of the system style
// 9 pixels high or less gets its top 2 pixels from a rendering 10 pixels high, so its top edge
// stays clean.
void DrawUpButton(vcl::TCanvas* canvas, const vcl::TRect& rect, TkxsCtrlState state,
                  const vcl::TComponent* control, double scale = 1);
void DrawDownButton(vcl::TCanvas* canvas, const vcl::TRect& rect, TkxsCtrlState state,
                    const vcl::TComponent* control, double scale = 1);
void DrawRightButton(vcl::TCanvas* canvas, const vcl::TRect& rect, TkxsCtrlState state,
                     const vcl::TComponent* control, double scale = 1);
void DrawLeftButton(vcl::TCanvas* canvas, const vcl::TRect& rect, TkxsCtrlState state,
                    const vcl::TComponent* control, double scale = 1);

// The drop-down button of a combo box. Without a custom style, themed, on system version 6 or
// later: the right-hand part (the rectangle grown by 1 to the right, top and bottom, so it
// meets the combo border) or, right-to-left, the left-hand part (grown by 1 to the left);
// otherwise the plain drop-down button. Classically a push frame with a down arrow in
// clBtnText.
void DrawDropDownButton(vcl::TCanvas* canvas, const vcl::TRect& rect, TkxsCtrlState state,
                        const vcl::TComponent* control, double scale = 1,
                        bool rightToLeft = false);

// The side of the square check box at the scale: the width the style gives its checked box,
// or round(13 x scale) where it gives none and in the classic look.
int GetCheckBoxSize(const vcl::TComponent* control, double scale = 1);

// A check box square: unchecked, checked or mixed, in state normal, hot, pressed or disabled
// (focused looks hot). The box has the element's size (classic round(13 x scale)), sits at the
// rectangle's left, centred vertically, and moves left where it would pass the right edge.
void DrawCheckBox(vcl::TCanvas* canvas, const vcl::TRect& rect, TkxsCtrlState state,
                  vcl::TCheckBoxState check, const vcl::TComponent* control, double scale = 1);
// The check box of a tree-view item: the same box centred in the state-image cell `rect`.
void DrawTreeViewCheckBox(vcl::TCanvas* canvas, const vcl::TRect& rect, TkxsCtrlState state,
                          bool checked, const vcl::TComponent* control, double scale = 1);
// The check box of a list item: placed as DrawCheckBox; a disabled item (`enabled` false)
// draws its box disabled whatever the state.
void DrawListCheckBox(vcl::TCanvas* canvas, const vcl::TRect& rect, TkxsCtrlState state,
                      vcl::TCheckBoxState check, bool enabled, const vcl::TComponent* control,
                      double scale = 1);
// A radio circle, unchecked or checked, placed as a check box.
void DrawRadioButton(vcl::TCanvas* canvas, const vcl::TRect& rect, TkxsCtrlState state,
                     bool checked, const vcl::TComponent* control, double scale = 1);

}  // namespace kx
