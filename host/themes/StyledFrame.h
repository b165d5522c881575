// Styled non-client painting: the frame, caption bar, caption text and caption buttons of a
// window drawn from a style's TThemedWindow elements, the hit-testing and metrics that go with
// them, and non-client scroll bars drawn from its TThemedScrollBar elements.
//
// Everything is in window coordinates (the window's top left is 0, 0) at the density given.
#pragma once
#include "host/themes/StyleServices.h"
#include "host/win/WinTypes.h"

namespace vcl {

enum TStyledCaptionButton : int { scbClose, scbMax, scbMin, scbHelp };
constexpr int StyledCaptionButtonCount = 4;
enum TStyledButtonState : int { sbsNormal, sbsHot, sbsPressed, sbsDisabled };

// What a styled frame looks like.
struct TStyledFrameInfo {
  TSize Size;                // the window's size
  String Caption;
  HICON Icon = nullptr;      // the caption icon; nullptr: the style's system-button glyph
  bool ShowIcon = true;      // the system-menu icon at the left of the caption
  bool HasCaption = true;
  bool Active = true;
  bool Maximized = false;    // the maximise button shows the restore glyph; no sizing borders
  bool ToolWindow = false;   // small caption, frame and close button
  bool Sizeable = true;      // sizing borders in hit-testing
  bool Buttons[StyledCaptionButtonCount] = {true, true, true, false};  // which buttons exist
  TStyledButtonState States[StyledCaptionButtonCount] = {};
  int Dpi = 96;
};

// Widths of the frame: the caption (or top border) and the three borders.
struct TStyledFrameMetrics {
  int Left = 0, Top = 0, Right = 0, Bottom = 0;
  friend constexpr bool operator==(const TStyledFrameMetrics&, const TStyledFrameMetrics&) = default;
};

// Where the parts of a styled frame go (empty rectangles for parts that are absent).
struct TStyledFrameLayout {
  TStyledFrameMetrics Metrics;
  TRect Caption;   // the caption bar, across the whole width
  TRect Icon;      // the system-menu icon
  TRect Text;      // the caption text
  TRect Buttons[StyledCaptionButtonCount];
  TRect FrameLeft, FrameRight, FrameBottom;
  TRect Client;    // what the frame leaves for the client area (scroll bars included)
};

// The frame widths of the style at a density.
TStyledFrameMetrics GetStyledFrameMetrics(TCustomStyleServices* style, bool toolWindow, bool hasCaption,
                                          int dpi);
TStyledFrameLayout GetStyledFrameLayout(TCustomStyleServices* style, const TStyledFrameInfo& info);
// Paints the whole frame: caption bar, icon, text, buttons in their states, and the borders.
// An inactive window's buttons at rest take the disabled look (the elements have no inactive
// buttons). The client area is not touched (the DC need not be clipped).
void DrawStyledFrame(HDC dc, TCustomStyleServices* style, const TStyledFrameInfo& info);
// The hit-test code of a point (window coordinates): HTCLOSE, HTMAXBUTTON, HTMINBUTTON, HTHELP,
// HTSYSMENU, HTCAPTION, the sizing borders (HTLEFT ... HTBOTTOMRIGHT) of a sizeable,
// non-maximised window, HTBORDER for other borders, HTCLIENT inside, HTNOWHERE outside.
LRESULT StyledFrameHitTest(TCustomStyleServices* style, const TStyledFrameInfo& info, TPoint pt);
// The caption text colour: the caption element's text colour, else the style's caption font
// colour.
TColor StyledCaptionTextColor(TCustomStyleServices* style, bool active, bool toolWindow);

// ---- the frame of a window -----------------------------------------------------------------
// The caption-button hit-test codes in button order (HTCLOSE, HTMAXBUTTON, HTMINBUTTON,
// HTHELP) and the button of a code (-1 for none).
extern const LRESULT StyledCaptionButtonCodes[StyledCaptionButtonCount];
int StyledCaptionButtonOf(LRESULT hit);
// Whether a window has a frame to style: top-level, with a caption or a sizing frame.
bool HasStyledWindowFrame(HWND window);
// The frame of a window as it is to be painted now, from its styles, text, icon and size:
// `active` as the window was last told (WM_NCACTIVATE), hot and pressed the caption buttons'
// hit-test codes (0 for none). Tool windows show no icon and no minimise or maximise buttons.
TStyledFrameInfo StyledWindowFrameInfo(HWND window, bool active, LRESULT hot, LRESULT pressed);
// The hit-test code of a screen point on a window with the style's frame: the frame's codes,
// then the window's non-client scroll bars and the size box between them, else HTCLIENT.
LRESULT StyledWindowHitTest(HWND window, TCustomStyleServices* style, const TStyledFrameInfo& info,
                            TPoint screen);
// WM_NCCALCSIZE with the style's frame: shrinks the proposed window rectangle to the client
// rectangle (the frame's widths, then the scroll bars the window has).
void StyledWindowCalcClientRect(HWND window, TCustomStyleServices* style, TRect& r);

// The non-client scroll bars of a window (WS_VSCROLL, WS_HSCROLL) and the size box between
// them, from GetScrollBarInfo: arrows, track and thumb in their normal, hot, pressed and
// disabled states. windowDc is a DC of the whole window (GetWindowDC).
void DrawStyledScrollBars(HDC windowDc, HWND window, TCustomStyleServices* style);
// One bar in `bar` (DC coordinates); info gives the arrow size, thumb position and part states
// as GetScrollBarInfo reports them (offsets relative to the bar's start).
void DrawStyledScrollBar(HDC dc, TCustomStyleServices* style, const TRect& bar, const SCROLLBARINFO& info,
                         bool vertical, int dpi);

}  // namespace vcl
