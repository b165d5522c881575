// The classic look: the system style "Windows" while themes are switched off.
//
// Its services report themselves not enabled, so the drawing routines of the controls fall back
// to DrawFrameControl and DrawEdge as they must. Everything else answers from the system colour
// table and the system metrics, so code that asks anyway gets the classic result:
//  - DrawElement draws the classic equivalent of the details that have one (push buttons, check
//    boxes and radio buttons, scroll-bar and spin arrows, thumbs and tracks, combo-box and header
//    drop-downs, edit and combo borders, header and grid cells, tabs and their pane, tool-bar and
//    menu-bar buttons, popup-menu items, check marks, sub-menu arrows and separators, tooltips
//    and hints, progress bars, track bars, status panes, tree-view plus/minus boxes, captions,
//    frames and caption buttons) and returns false for details without one (chevrons, glyph-only
//    gutters and decorations), leaving them to the caller;
//  - colours, sizes, content rectangles and margins are those the classic drawing uses;
//  - GetSystemColor is the identity, and the named style colours and text colours are the
//    system colours of the parts they name (clWindow for edits, clHighlightText for selected
//    items, clGrayText for disabled text, ...).
#pragma once
#include <memory>

#include "host/themes/StyleServices.h"

namespace vcl {

class TClassicStyle final : public TCustomStyleServices {
 public:
  TClassicStyle();
  ~TClassicStyle() override;

  String Name() const override { return u"Windows"; }
  bool Enabled() const override { return false; }
  bool IsSystemStyle() const override { return true; }
  TStyleInfo Info() const override;

  bool DrawElement(HDC dc, const TThemedElementDetails& details, const TRect& r,
                   const TRect* clip, int dpi) const override;
  bool GetElementColor(const TThemedElementDetails& details, TElementColor kind,
                       TColor& color) const override;
  bool GetElementSize(HDC dc, const TThemedElementDetails& details, TElementSize kind,
                      TSize& size, int dpi) const override;
  bool GetElementSize(HDC dc, const TThemedElementDetails& details, const TRect& r,
                      TElementSize kind, TSize& size, int dpi) const override;
  bool GetElementContentRect(HDC dc, const TThemedElementDetails& details, const TRect& bounds,
                             TRect& contentRect, int dpi) const override;
  bool GetElementMargins(HDC dc, const TThemedElementDetails& details, TElementMargin margin,
                         TElementMargins& margins, int dpi) const override;
  bool GetElementMargins(HDC dc, const TThemedElementDetails& details, const TRect& r,
                         TElementMargin margin, TElementMargins& margins,
                         int dpi) const override;
  bool GetElementRegion(HDC dc, const TThemedElementDetails& details, const TRect& r,
                        HRGN& region, int dpi) const override;
  bool HasTransparentParts(const TThemedElementDetails& details) const override;
  bool HasElementFixedPosition(const TThemedElementDetails& details) const override;

  TColor GetStyleColor(TStyleColor color) const override;
  TColor GetStyleFontColor(TStyleFont font) const override;
  TColor GetSystemColor(TColor color) const override { return color; }
  TStyleFontSpec GetStyleFont(TStyleFontKind kind) const override;

  struct TRecipe;  // how a detail is drawn and measured classically

 private:
  const TRecipe* RecipeOf(const TThemedElementDetails& details) const;
  std::unique_ptr<TRecipe[]> FRecipes;  // one per row of the element model
};

}  // namespace vcl
