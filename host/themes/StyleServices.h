// Style services: one object per style, which draws element details and answers the colours,
// sizes and margins of its elements and its named colours.
#pragma once
#include "host/gdi/Gdi.h"
#include "host/gdi/ImageList.h"
#include "host/themes/StyleTypes.h"
#include "host/themes/ThemedElements.h"

namespace vcl {

struct WindowObject;  // a window of the window manager (HWND)

class TCustomStyleServices {
 public:
  TCustomStyleServices() = default;
  TCustomStyleServices(const TCustomStyleServices&) = delete;
  TCustomStyleServices& operator=(const TCustomStyleServices&) = delete;
  virtual ~TCustomStyleServices() = default;

  // ---- identity ----------------------------------------------------------------------------
  virtual String Name() const = 0;
  // False for the classic look (themes switched off): callers then draw with DrawFrameControl
  // and DrawEdge themselves.
  virtual bool Enabled() const = 0;
  virtual bool Available() const { return Enabled(); }
  // True for the system style "Windows" (themed or classic), false for custom styles.
  virtual bool IsSystemStyle() const = 0;
  virtual TStyleInfo Info() const = 0;

  // ---- element details ---------------------------------------------------------------------
  template <class TDetail>
  static TThemedElementDetails GetElementDetails(TDetail detail) {
    return vcl::GetElementDetails(detail);
  }
  static TThemedElementDetails GetElementDetails(TThemedElement element, int part, int state) {
    return TThemedElementDetails::Create(element, part, state);
  }

  // ---- drawing -----------------------------------------------------------------------------
  // Draws the element into r, clipped to *clip when given, for a device of `dpi` pixels per
  // inch (the element's sizes, borders and glyphs scale by dpi / 96). False when the style
  // cannot draw the detail.
  virtual bool DrawElement(HDC dc, const TThemedElementDetails& details, const TRect& r,
                           const TRect* clip = nullptr, int dpi = 96) const = 0;
  // Draws text (DrawTextW format flags) in the element's text colour, or options.TextColor
  // with stfTextColor; stfShadowColor adds a shadow at ShadowOffset, stfBorderColor an outline
  // of BorderSize pixels, stfGlowSize a soft glow of that radius in the element's glow colour
  // (its text colour when it has none). With DT_CALCRECT nothing is drawn and r receives the
  // extent. The DC's font is used; its text colour and background mode are left unchanged.
  virtual bool DrawText(HDC dc, const TThemedElementDetails& details, StringView text, TRect& r,
                        UINT format, const TStyleTextOptions& options, int dpi = 96) const;
  bool DrawText(HDC dc, const TThemedElementDetails& details, StringView text, TRect& r,
                UINT format, TColor color = clNone, int dpi = 96) const;
  // The extent of text drawn with `format` (within bounds' width for word-wrapped text).
  virtual bool GetTextExtent(HDC dc, const TThemedElementDetails& details, StringView text,
                             UINT format, TRect& extent, const TRect* bounds = nullptr) const;
  // Draws image `index` of `images` centred in r, faded for a disabled detail.
  virtual bool DrawIcon(HDC dc, const TThemedElementDetails& details, const TRect& r,
                        HIMAGELIST images, int index, int dpi = 96) const;
  // Lets the parent of `window` paint the background under it. The control framework provides
  // the painting (TStyleManager::SetParentBackgroundPainter); without it nothing is drawn and
  // the result is false.
  virtual bool DrawParentBackground(WindowObject* window, HDC dc,
                                    const TThemedElementDetails* details, bool onlyIfTransparent,
                                    const TRect* bounds = nullptr) const;

  // ---- metrics and colours -----------------------------------------------------------------
  // A colour of the element; false when the style defines none.
  virtual bool GetElementColor(const TThemedElementDetails& details, TElementColor kind,
                               TColor& color) const = 0;
  // The element's size at `dpi` (esActual: natural size; esMinimum: smallest; esStretch: the
  // natural size, or the size of r for elements that stretch). False when it has no size.
  virtual bool GetElementSize(HDC dc, const TThemedElementDetails& details, TElementSize kind,
                              TSize& size, int dpi = 96) const = 0;
  virtual bool GetElementSize(HDC dc, const TThemedElementDetails& details, const TRect& r,
                              TElementSize kind, TSize& size, int dpi = 96) const = 0;
  // The area inside `bounds` where content (text, images) goes; for an element placed inside a
  // larger area (a caption button, given the caption's rectangle), its own rectangle there.
  virtual bool GetElementContentRect(HDC dc, const TThemedElementDetails& details,
                                     const TRect& bounds, TRect& contentRect,
                                     int dpi = 96) const = 0;
  virtual bool GetElementMargins(HDC dc, const TThemedElementDetails& details,
                                 TElementMargin margin, TElementMargins& margins,
                                 int dpi = 96) const = 0;
  virtual bool GetElementMargins(HDC dc, const TThemedElementDetails& details, const TRect& r,
                                 TElementMargin margin, TElementMargins& margins,
                                 int dpi = 96) const = 0;
  // The outline of the element drawn in r, as a new region the caller deletes; false (and
  // region nullptr) when the element fills r completely or draws nothing.
  virtual bool GetElementRegion(HDC dc, const TThemedElementDetails& details, const TRect& r,
                                HRGN& region, int dpi = 96) const = 0;
  virtual bool HasTransparentParts(const TThemedElementDetails& details) const = 0;
  // True for elements placed at a fixed position (caption buttons of some styles).
  virtual bool HasElementFixedPosition(const TThemedElementDetails& details) const = 0;

  // The style's named colours and text colours, as RGB values.
  virtual TColor GetStyleColor(TStyleColor color) const = 0;
  virtual TColor GetStyleFontColor(TStyleFont font) const = 0;
  // A system colour (clBtnFace, clWindowText, ...) mapped to the style's value; any other colour
  // is returned unchanged. The system style returns system colours unchanged.
  virtual TColor GetSystemColor(TColor color) const = 0;
  // RGB of a colour with system colours taken from this style (clNone and clDefault unchanged).
  TColor ColorToRGB(TColor color) const;
  // A font the style names; Size 0 when it names none.
  virtual TStyleFontSpec GetStyleFont(TStyleFontKind kind) const = 0;
};

}  // namespace vcl
