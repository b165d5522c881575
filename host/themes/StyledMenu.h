// Styled popup menus and tooltips: the drawing the engine's popup-menu and tooltip hooks do,
// from the style's TThemedMenu and TThemedToolTip elements.
//
// A popup menu is drawn as: the popup border element over the window, the popup background
// over the item area with the gutter (the check and image column) at its left, then each item:
// separators as the separator element after the gutter; other items with the hot (or hot
// disabled) item element behind them when selected, a check mark or radio bullet on the check
// background in the gutter (or the item's image), the caption (bold for the default item, the
// accelerator underlined) and the shortcut text right-aligned, both in the item text colour of
// the state, and a sub-menu arrow at the right.
#pragma once
#include "host/gdi/ImageList.h"
#include "host/themes/StyleServices.h"

namespace vcl {

struct TStyledMenuItem {
  String Text;               // the caption; "&" marks the accelerator
  String ShortCut;           // e.g. "Ctrl+O", right-aligned
  TRect Rect;                // where the item goes (the menu window's client coordinates)
  bool Separator = false;
  bool Hot = false;          // the selected item
  bool Disabled = false;
  bool Checked = false;
  bool RadioCheck = false;   // a bullet instead of a check mark
  bool HasSubMenu = false;
  bool Default = false;      // drawn bold
  HIMAGELIST Images = nullptr;
  int ImageIndex = -1;
};

// The width of the gutter (the check and image column) at a density.
int StyledMenuGutterWidth(TCustomStyleServices* style, int dpi);
// The popup's background with the gutter at its left over `itemArea`, after its border over
// *window when given (DC coordinates).
void DrawStyledMenuBackground(HDC dc, TCustomStyleServices* style, const TRect& itemArea, int dpi,
                              const TRect* window = nullptr);
// The width of the popup border at a density.
int StyledMenuBorderWidth(TCustomStyleServices* style, int dpi);
// One item in item.Rect, with the DC's font unless `font` is given (the default item is drawn
// with a bold version of it).
void DrawStyledMenuItem(HDC dc, TCustomStyleServices* style, const TStyledMenuItem& item, int dpi,
                        HFONT font = nullptr);
// The text colour of an item: the popup item element's text colour of its state (normal, hot,
// disabled), else the style's popup-menu font colour.
TColor StyledMenuItemTextColor(TCustomStyleServices* style, bool hot, bool disabled);
// The size an item needs: caption, shortcut, gutter and arrow column (separators: their own
// height).
TSize MeasureStyledMenuItem(HDC dc, TCustomStyleServices* style, const TStyledMenuItem& item, int dpi,
                            HFONT font = nullptr);

// A tooltip: its element (tttStandardNormal) over `r`, then the text in the element's text
// colour, inside its content margins, word-wrapped and centred vertically, with the DC's font.
void DrawStyledToolTip(HDC dc, TCustomStyleServices* style, const TRect& r, StringView text, int dpi);
// The size a tooltip needs for its text with the DC's font, wrapped at maxWidth.
TSize MeasureStyledToolTip(HDC dc, TCustomStyleServices* style, StringView text, int maxWidth, int dpi);

}  // namespace vcl
