// The colours that go with styled parts (text colours per state, edit backgrounds), colour
// arithmetic, and the single-line text helpers of the drawing core.
#pragma once
#include "draw/kxStates.h"
#include "host/classes/ControlEnums.h"
#include "host/gdi/Types.h"
#include "host/rtl/System.h"

namespace vcl {
class TCanvas;
class TComponent;
}  // namespace vcl

namespace kx {

// ---- colours of parts ---------------------------------------------------------------------
// Each answers for the style that paints `control` (nullptr: the active style); where the
// style names no colour, and in the classic look, the system colour given.

// The background of edits and lists: with a custom style its edit colour, or its disabled-edit
// colour for kxsDisabled; otherwise clWindow.
vcl::TColor GetEditColor(TkxsCtrlState state, const vcl::TComponent* control);
// The text of edits and lists: the style's edit text colour (disabled for kxsDisabled);
// classically clGrayText for kxsDisabled, else clWindowText.
vcl::TColor GetEditTextColor(TkxsCtrlState state, const vcl::TComponent* control);
// The caption of push buttons, from the push-button element of the state (focused: the
// defaulted face) while a custom style is in effect; otherwise clGrayText when disabled, else
// clBtnText.
vcl::TColor GetButtonTextColor(TkxsCtrlState state, const vcl::TComponent* control);
// The caption of tool buttons, from the tool-button element of the state.
vcl::TColor GetToolButtonTextColor(TkxsCtrlState state, const vcl::TComponent* control);
// The caption of check boxes, radio buttons, labels and panels, from the unchecked check box
// of the state (focused looks hot).
vcl::TColor GetCheckBoxTextColor(TkxsCtrlState state, const vcl::TComponent* control);
// The caption of header sections (focused looks hot; disabled as a disabled check box).
vcl::TColor GetHeaderTextColor(TkxsCtrlState state, const vcl::TComponent* control);
// The caption of tabs: normal, hot, selected for kxsFocused, disabled; pressed as normal.
vcl::TColor GetTabTextColor(TkxsCtrlState state, const vcl::TComponent* control);
// The caption of a button drawn as a tab: as GetTabTextColor, pressed as selected.
vcl::TColor GetTabButtonTextColor(TkxsCtrlState state, const vcl::TComponent* control);
// Text on a selection: the style's selected grid cell; with the system style on Windows 11
// clWindowText; classically, and on Windows XP without a custom style, clHighlightText.
vcl::TColor GetSelectionTextColor(const vcl::TComponent* control);
// The caption text of a form: active, or inactive for kxsDisabled.
vcl::TColor GetCaptionTextColor(TkxsCtrlState state, const vcl::TComponent* control);
// The text of popup-menu items: normal, hot, disabled (pressed as hot, focused as normal);
// classically clHighlightText when hot, clGrayText when disabled, else clBtnText.
vcl::TColor GetMenuItemTextColor(TkxsCtrlState state, const vcl::TComponent* control);

// ---- colour arithmetic --------------------------------------------------------------------
// Each RGB channel moved towards 0 (darker) or 255 (lighter) by `percent` (capped at 100) of
// its distance; system colours are resolved first.
vcl::TColor DarkerColor(vcl::TColor color, int percent);
vcl::TColor LighterColor(vcl::TColor color, int percent);
// The channel-wise mean (a + b) div 2 of two colours, resolved to RGB.
vcl::TColor MiddleColor(vcl::TColor color1, vcl::TColor color2);
// A shade for alternate rows: 10 % darker when the brightest channel is at least 50 % of full,
// else 10 % lighter.
vcl::TColor ShadeColor(vcl::TColor color);

// ---- geometry -----------------------------------------------------------------------------
// `r` moved to the left edge of `bounds`, centred vertically in it (size unchanged).
vcl::TRect RectVCenter(const vcl::TRect& r, const vcl::TRect& bounds);
// Whether the point lies in the rectangle, all four edges included.
bool PointInRect(const vcl::TPoint& p, const vcl::TRect& r);

// ---- filling and text ---------------------------------------------------------------------
// The rectangle in the canvas's brush colour, blended with `alpha` (nothing when empty).
void AlphaFillRect(vcl::TCanvas* canvas, const vcl::TRect& rect, vcl::Byte alpha);
// One line of text, vertically centred, unclipped (DT_SINGLELINE | DT_VCENTER | DT_NOCLIP,
// plus DT_NOPREFIX with noPrefix), mirrored for right-to-left; nothing for empty text.
void DrawTextLine(vcl::TCanvas* canvas, vcl::StringView text, const vcl::TRect& rect,
                  bool rightToLeft = false, bool noPrefix = false);
// One line of text without prefix processing, vertically centred, unclipped, aligned left,
// right or centred, with an end ellipsis when asked, mirrored for right-to-left.
void DrawTextAligned(vcl::TCanvas* canvas, vcl::StringView text, const vcl::TRect& rect,
                     vcl::TAlignment alignment, bool rightToLeft = false,
                     bool endEllipsis = false);
// Shortens `text` so that it fits `width` on the canvas: unchanged when it fits; otherwise
// characters go from the end until the rest followed by "..." fits (or nothing is left), and
// "..." is appended. A surrogate pair is removed as one character.
void TruncateTextToWidth(vcl::TCanvas* canvas, vcl::String& text, int width);

}  // namespace kx
