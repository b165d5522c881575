// Styled painting of bars, tabs and tracks: track-bar tracks and thumbs, progress bars,
// tool-bar, form and status-bar backgrounds, status panes, tab sheets and tab buttons, and the
// hot item of popup menus.
//
// The routines draw with the style services of `control` (nullptr: the active style) and,
// when those report themselves not enabled, in the classic look with system colours.
#pragma once
#include "draw/kxStates.h"
#include "host/gdi/Types.h"

namespace vcl {
class TCanvas;
class TComponent;
}  // namespace vcl

namespace kx {

// The track of a track bar, horizontal or vertical; classically a sunken frame. A custom style
// renders it for the density of `scale`, the system style at its default density.
void DrawTrackBarTrack(vcl::TCanvas* canvas, const vcl::TRect& rect, bool vertical,
                       const vcl::TComponent* control, double scale = 1);
// The thumb of a track bar (focused looks hot); classically a push frame, pushed when pressed.
void DrawTrackBarThumb(vcl::TCanvas* canvas, const vcl::TRect& rect, TkxsCtrlState state,
                       bool vertical, const vcl::TComponent* control, double scale = 1);

// The filled part of a progress bar in `rect`: the rectangle inset by 1, as wide as
// round((width - 2) x (position - min) / (max - min)). Empty when max <= min or position is
// below min; a position beyond max fills the whole inside, never more.
vcl::TRect ProgressBarChunkRect(const vcl::TRect& rect, int min, int max, int position);
// A progress bar: the bar over the whole rectangle, the chunk over the filled part;
// classically a clBtnShadow outline on white with the filled part in clGreen.
void DrawProgressBar(vcl::TCanvas* canvas, const vcl::TRect& rect, int min, int max,
                     int position, const vcl::TComponent* control);

// The background of a tool bar; classically clBtnFace.
void DrawToolBarBackground(vcl::TCanvas* canvas, const vcl::TRect& rect,
                           const vcl::TComponent* control);
// The client background of a form, for containers that imitate one: the style's window
// background while a custom style is in effect for the control, else clBtnFace.
void DrawFormBackground(vcl::TCanvas* canvas, const vcl::TRect& rect,
                        const vcl::TComponent* control);
// The background of a status bar (classically clBtnFace) and one of its panes (classically a
// sunken one-pixel frame).
void DrawStatusBarBackground(vcl::TCanvas* canvas, const vcl::TRect& rect,
                             const vcl::TComponent* control);
void DrawStatusBarPane(vcl::TCanvas* canvas, const vcl::TRect& rect,
                       const vcl::TComponent* control);

// The body of a tab sheet; classically clBtnFace in a two-level raised frame.
void DrawTabSheetBody(vcl::TCanvas* canvas, const vcl::TRect& rect,
                      const vcl::TComponent* control);
// A button drawn as a tab: normal, hot, or selected (pressed and focused), a selected tab
// reaching 2 pixels below the rectangle to cover the sheet's edge. A disabled tab is the
// normal tab blended at 150 (on Windows XP with the system style it draws nothing). The
// classic tab is an outline over clBtnFace, unselected tabs starting 2 pixels lower.
void DrawTabButton(vcl::TCanvas* canvas, const vcl::TRect& rect, TkxsCtrlState state,
                   const vcl::TComponent* control);

// The hot item of a popup menu, blended with `alpha`; classically clHighlight.
void DrawPopupItemSelection(vcl::TCanvas* canvas, const vcl::TRect& rect,
                            const vcl::TComponent* control, vcl::Byte alpha = 255);

}  // namespace kx
