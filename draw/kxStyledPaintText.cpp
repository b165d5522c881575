// Colours of styled parts, colour arithmetic, and single-line text helpers.
#include "draw/kxStyledPaintText.h"

#include <algorithm>

#include "draw/kxBitmapUtils.h"
#include "draw/kxPaintCommon.h"
#include "draw/kxSystem.h"
#include "host/gdi/GdiText.h"
#include "host/graphics/Canvas.h"

namespace kx {

using namespace vcl;
using detail::FourState;
using detail::PaintStyleOf;
using detail::TPaintStyle;

namespace {

// The classic text colour of a caption: clGrayText when disabled, else clBtnText.
TColor ClassicText(TkxsCtrlState state) {
  return state == kxsDisabled ? clGrayText : clBtnText;
}

// The text colour of an element while the style is themed, else `classic`. A style that
// names none gives `classic` as the style shows it.
TColor ElementText(const TPaintStyle& style, const TThemedElementDetails& d, TColor classic) {
  if (!style.Enabled) return classic;
  return style.TextColor(d, style.Color(classic));
}

TColor Channels(int r, int g, int b) { return TColor(RGB(BYTE(r), BYTE(g), BYTE(b))); }

}  // namespace

// ---- colours of parts -------------------------------------------------------------------------

TColor GetEditColor(TkxsCtrlState state, const TComponent* control) {
  TPaintStyle style = PaintStyleOf(control);
  if (!style.Custom) return clWindow;
  return style.Services->GetStyleColor(state == kxsDisabled ? scEditDisabled : scEdit);
}

TColor GetEditTextColor(TkxsCtrlState state, const TComponent* control) {
  TPaintStyle style = PaintStyleOf(control);
  if (!style.Enabled) return state == kxsDisabled ? clGrayText : clWindowText;
  return style.Services->GetStyleFontColor(state == kxsDisabled ? sfEditBoxTextDisabled
                                                                : sfEditBoxTextNormal);
}

TColor GetButtonTextColor(TkxsCtrlState state, const TComponent* control) {
  TPaintStyle style = PaintStyleOf(control);
  if (!style.Custom) return ClassicText(state);
  TThemedButton part = tbPushButtonNormal;
  switch (state) {
    case kxsHot: part = tbPushButtonHot; break;
    case kxsPressed: part = tbPushButtonPressed; break;
    case kxsFocused: part = tbPushButtonDefaulted; break;
    case kxsDisabled: part = tbPushButtonDisabled; break;
    default: break;
  }
  return ElementText(style, GetElementDetails(part), ClassicText(state));
}

TColor GetToolButtonTextColor(TkxsCtrlState state, const TComponent* control) {
  TPaintStyle style = PaintStyleOf(control);
  return ElementText(style,
                     GetElementDetails(FourState(state, ttbButtonNormal, ttbButtonHot,
                                                 ttbButtonPressed, ttbButtonDisabled)),
                     ClassicText(state));
}

TColor GetCheckBoxTextColor(TkxsCtrlState state, const TComponent* control) {
  TPaintStyle style = PaintStyleOf(control);
  return ElementText(style,
                     GetElementDetails(FourState(state, tbCheckBoxUncheckedNormal,
                                                 tbCheckBoxUncheckedHot,
                                                 tbCheckBoxUncheckedPressed,
                                                 tbCheckBoxUncheckedDisabled)),
                     ClassicText(state));
}

TColor GetHeaderTextColor(TkxsCtrlState state, const TComponent* control) {
  TPaintStyle style = PaintStyleOf(control);
  TThemedElementDetails d = GetElementDetails(tgFixedCellNormal);
  switch (state) {
    case kxsHot:
    case kxsFocused: d = GetElementDetails(tgFixedCellHot); break;
    case kxsPressed: d = GetElementDetails(tgFixedCellPressed); break;
    case kxsDisabled: d = GetElementDetails(tbCheckBoxUncheckedDisabled); break;
    default: break;
  }
  return ElementText(style, d, ClassicText(state));
}

TColor GetTabTextColor(TkxsCtrlState state, const TComponent* control) {
  TPaintStyle style = PaintStyleOf(control);
  TThemedTab part = ttTabItemNormal;
  switch (state) {
    case kxsHot: part = ttTabItemHot; break;
    case kxsFocused: part = ttTabItemSelected; break;
    case kxsDisabled: part = ttTabItemDisabled; break;
    default: break;
  }
  return ElementText(style, GetElementDetails(part), ClassicText(state));
}

TColor GetTabButtonTextColor(TkxsCtrlState state, const TComponent* control) {
  return GetTabTextColor(state == kxsPressed ? kxsFocused : state, control);
}

TColor GetSelectionTextColor(const TComponent* control) {
  TPaintStyle style = PaintStyleOf(control);
  if (!style.Enabled || (IsWindowsXP() && !style.Custom)) return clHighlightText;
  if (style.System() && IsWindows11()) return clWindowText;
  return ElementText(style, GetElementDetails(tgCellSelected), clHighlightText);
}

TColor GetCaptionTextColor(TkxsCtrlState state, const TComponent* control) {
  TPaintStyle style = PaintStyleOf(control);
  const bool inactive = state == kxsDisabled;
  return ElementText(style, GetElementDetails(inactive ? twCaptionInactive : twCaptionActive),
                     inactive ? clInactiveCaptionText : clCaptionText);
}

TColor GetMenuItemTextColor(TkxsCtrlState state, const TComponent* control) {
  TPaintStyle style = PaintStyleOf(control);
  TThemedMenu part = tmPopupItemNormal;
  TColor classic = clBtnText;
  if (state == kxsHot || state == kxsPressed) {
    part = tmPopupItemHot;
    classic = clHighlightText;
  } else if (state == kxsDisabled) {
    part = tmPopupItemDisabled;
    classic = clGrayText;
  }
  return ElementText(style, GetElementDetails(part), classic);
}

// ---- colour arithmetic ----------------------------------------------------------------------

TColor DarkerColor(TColor color, int percent) {
  const int p = std::clamp(percent, 0, 100);
  COLORREF c = vcl::ColorToRGB(color);
  auto down = [p](int v) { return v - MulDiv(v, p, 100); };
  return Channels(down(GetRValue(c)), down(GetGValue(c)), down(GetBValue(c)));
}

TColor LighterColor(TColor color, int percent) {
  const int p = std::clamp(percent, 0, 100);
  COLORREF c = vcl::ColorToRGB(color);
  auto up = [p](int v) { return v + MulDiv(255 - v, p, 100); };
  return Channels(up(GetRValue(c)), up(GetGValue(c)), up(GetBValue(c)));
}

TColor MiddleColor(TColor color1, TColor color2) {
  COLORREF a = vcl::ColorToRGB(color1), b = vcl::ColorToRGB(color2);
  return Channels((GetRValue(a) + GetRValue(b)) / 2, (GetGValue(a) + GetGValue(b)) / 2,
                  (GetBValue(a) + GetBValue(b)) / 2);
}

TColor ShadeColor(TColor color) {
  COLORREF c = vcl::ColorToRGB(color);
  const int top = std::max({GetRValue(c), GetGValue(c), GetBValue(c)});
  const int brightness = detail::Round(top / 255.0 * 100);
  return brightness >= 50 ? DarkerColor(color, 10) : LighterColor(color, 10);
}

// ---- geometry -------------------------------------------------------------------------------

TRect RectVCenter(const TRect& r, const TRect& bounds) {
  const int top = bounds.Top + (bounds.Height() - r.Height()) / 2;
  return TRect::FromSize(bounds.Left, top, r.Width(), r.Height());
}

bool PointInRect(const TPoint& p, const TRect& r) {
  return p.X >= r.Left && p.X <= r.Right && p.Y >= r.Top && p.Y <= r.Bottom;
}

// ---- filling and text -----------------------------------------------------------------------

void AlphaFillRect(TCanvas* canvas, const TRect& rect, Byte alpha) {
  if (!canvas) return;
  detail::BlendColor(canvas, rect, canvas->Brush()->Color(), alpha);
}

void DrawTextLine(TCanvas* canvas, StringView text, const TRect& rect, bool rightToLeft,
                  bool noPrefix) {
  if (!canvas || text.empty()) return;
  UINT flags = DT_SINGLELINE | DT_VCENTER | DT_NOCLIP;
  if (noPrefix) flags |= DT_NOPREFIX;
  TRect r = rect;
  if (HDC dc = canvas->Handle()) DrawTextW(dc, text, &r, DrawTextBiDiFlags(flags, rightToLeft));
}

void DrawTextAligned(TCanvas* canvas, StringView text, const TRect& rect, TAlignment alignment,
                     bool rightToLeft, bool endEllipsis) {
  if (!canvas || text.empty()) return;
  UINT flags = DT_NOPREFIX | DT_NOCLIP | DT_SINGLELINE | DT_VCENTER;
  if (alignment == taRightJustify) flags |= DT_RIGHT;
  if (alignment == taCenter) flags |= DT_CENTER;
  if (endEllipsis) flags |= DT_END_ELLIPSIS;
  TRect r = rect;
  if (HDC dc = canvas->Handle()) DrawTextW(dc, text, &r, DrawTextBiDiFlags(flags, rightToLeft));
}

void TruncateTextToWidth(TCanvas* canvas, String& text, int width) {
  if (!canvas || canvas->TextWidth(text) <= width) return;
  static constexpr StringView kEllipsis = u"...";
  String rest = text;
  while (!rest.empty()) {
    size_t cut = rest.size() - 1;
    // Remove a surrogate pair as one character.
    if (cut > 0 && rest[cut] >= 0xDC00 && rest[cut] <= 0xDFFF && rest[cut - 1] >= 0xD800 &&
        rest[cut - 1] <= 0xDBFF)
      --cut;
    rest.resize(cut);
    if (canvas->TextWidth(rest + String(kEllipsis)) <= width) break;
  }
  text = rest + String(kEllipsis);
}

}  // namespace kx
