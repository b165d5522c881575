// Styled painting of borders and frames: selections of list items, header sections, edit,
// combo and flat borders, focus rectangles, separators and one-pixel 3D frames.
//
// The styled routines draw with the style services of `control` (nullptr: the active style)
// and, when those report themselves not enabled, in the classic look with system colours.
#pragma once
#include "draw/kxStates.h"
#include "host/gdi/Types.h"

namespace vcl {
class TCanvas;
class TComponent;
struct DcObject;
using HDC = DcObject*;
}  // namespace vcl

namespace kx {

// A translucent selection under list items, blended with `alpha`: the style's selected grid
// cell with a custom style, the selected calendar cell of the themed system look, and a
// clHighlight fill classically (and on Windows XP without a custom style).
void DrawSelection(vcl::TCanvas* canvas, const vcl::TRect& rect, vcl::Byte alpha,
                   const vcl::TComponent* control);
// The selection of a list item. `focused` (the list has the focus) or `forceFocused` give the
// focused look. With a custom style an unfocused selection is DrawSelection at 175 and a
// focused one the selected grid cell; the themed system look uses the selected calendar cell,
// focused or not; classically clHighlight, solid when focused, else blended at 200.
void DrawItemSelection(vcl::TCanvas* canvas, const vcl::TRect& rect, bool focused,
                       bool forceFocused, const vcl::TComponent* control);

// A header section face: normal, hot (also focused), pressed; classically a clBtnFace fill in
// a raised one-pixel frame, sunken when pressed.
void DrawHeaderSection(vcl::TCanvas* canvas, const vcl::TRect& rect, TkxsCtrlState state,
                       const vcl::TComponent* control);

// The 2-pixel border of an edit: a face-coloured 2-pixel frame, then the style's edit border
// of the state (focused looks hot with a custom style); classically a two-level sunken frame.
void DrawEditBorder(vcl::TCanvas* canvas, const vcl::TRect& rect, TkxsCtrlState state,
                    const vcl::TComponent* control);
// The border of a combo box: the combo border of the system style on Windows 11 (after a
// face-coloured 2-pixel frame), otherwise DrawEditBorder.
void DrawComboBorder(vcl::TCanvas* canvas, const vcl::TRect& rect, TkxsCtrlState state,
                     const vcl::TComponent* control);
// A 2-pixel flat border: one pixel clBtnShadow outside, one pixel clWindow inside, both as the
// control's custom style shows them while one is in effect.
void DrawFlatBorder(vcl::TCanvas* canvas, const vcl::TRect& rect, const vcl::TComponent* control);

// A rectangle of single dots, every second pixel, along the edges of `rect` (right and bottom
// taken one pixel inside); the dots start on the top-left pixel when width and height are both
// even, one pixel later otherwise, and run on around the corners. At a scale of 1.5 or more a
// second ring follows one pixel further inside. This one draws in the canvas's font colour.
void DrawFocusRectDotted(vcl::TCanvas* canvas, const vcl::TRect& rect, double scale = 1);
// The same in `color`, through the canvas's pen (whose colour it sets).
void DrawFocusRectDotted(vcl::TCanvas* canvas, const vcl::TRect& rect, vcl::TColor color,
                         double scale);
// The same in `color` on a device context, through its DC pen.
void DrawFocusRectDottedDC(vcl::HDC dc, const vcl::TRect& rect, vcl::TColor color,
                           double scale = 1);

// 2-pixel separators: a line in the shadow colour and one in the highlight colour (clBtnShadow
// and clBtnHighlight, as the control's style shows them while it is themed), blended at 125.
// The horizontal one runs along the top of `rect`, its full width; the vertical one down the
// left edge, or with `rightAligned` the last 2 pixels, its full height.
void DrawHorzSeparator(vcl::TCanvas* canvas, const vcl::TRect& rect,
                       const vcl::TComponent* control);
void DrawVertSeparator(vcl::TCanvas* canvas, const vcl::TRect& rect,
                       const vcl::TComponent* control, bool rightAligned = false);

// A one-pixel 3D frame with the canvas's pen: top and left edges in `topLeft`, bottom and
// right edges (one pixel inside the rectangle's exclusive edges) in `bottomRight`; then `rect`
// shrinks by 1 on every side, ready for the next ring.
void DrawFrame3D(vcl::TCanvas* canvas, vcl::TRect& rect, vcl::TColor topLeft,
                 vcl::TColor bottomRight);

}  // namespace kx
