// Value types of the style engine: the named colours a style defines, the colours, sizes and
// margins an element reports, and the options of styled text drawing.
#pragma once
#include "host/gdi/Types.h"
#include "host/rtl/SysUtils.h"

namespace vcl {

// Colours of an element (GetElementColor).
enum TElementColor : int {
  ecBorderColor,
  ecFillColor,
  ecTextColor,
  ecEdgeLightColor,
  ecEdgeHighLightColor,
  ecEdgeShadowColor,
  ecEdgeDkShadowColor,
  ecEdgeFillColor,
  ecTransparentColor,
  ecGradientColor1,
  ecGradientColor2,
  ecGradientColor3,
  ecGradientColor4,
  ecGradientColor5,
  ecShadowColor,
  ecGlowColor,
  ecTextBorderColor,
  ecTextShadowColor,
  ecGlyphTextColor,
  ecGlyphTransparentColor,
  ecFillColorHint,
  ecBorderColorHint,
  ecAccentColorHint,
  ecTextColorHint,
  ecHeading1TextColor,
  ecHeading2TextColor,
  ecBodyTextColor,
};
constexpr int ElementColorCount = ecBodyTextColor + 1;

// Which size of an element GetElementSize reports: the smallest it can be drawn at, its natural
// size, or its natural size stretched to fit a given rectangle.
enum TElementSize : int { esMinimum, esActual, esStretch };

// Margins of an element: sizing (the part of the image that is not stretched), content (the
// inset of the area text and glyphs go into) and caption (the caption area of a window part).
enum TElementMargin : int { emSizing, emContent, emCaption };

struct TElementMargins {
  int cxLeftWidth = 0;
  int cxRightWidth = 0;
  int cyTopHeight = 0;
  int cyBottomHeight = 0;
  friend constexpr bool operator==(const TElementMargins&, const TElementMargins&) = default;
};

// The named colours of a style (GetStyleColor).
enum TStyleColor : int {
  scBorder,
  scButtonDisabled,
  scButtonFocused,
  scButtonHot,
  scButtonNormal,
  scButtonPressed,
  scCategoryButtons,
  scCategoryButtonsGradientBase,
  scCategoryButtonsGradientEnd,
  scCategoryPanelGroup,
  scComboBox,
  scComboBoxDisabled,
  scEdit,
  scEditDisabled,
  scGrid,
  scGenericBackground,
  scGenericGradientBase,
  scGenericGradientEnd,
  scHintGradientBase,
  scHintGradientEnd,
  scListBox,
  scListBoxDisabled,
  scListView,
  scPanel,
  scPanelDisabled,
  scSplitter,
  scToolBarGradientBase,
  scToolBarGradientEnd,
  scTreeView,
  scWindow,
};
constexpr int StyleColorCount = scWindow + 1;

// The named text colours of a style (GetStyleFontColor).
enum TStyleFont : int {
  sfButtonTextDisabled,
  sfButtonTextFocused,
  sfButtonTextHot,
  sfButtonTextNormal,
  sfButtonTextPressed,
  sfCaptionTextInactive,
  sfCaptionTextNormal,
  sfCategoryPanelGroupHeaderHot,
  sfCategoryPanelGroupHeaderNormal,
  sfCategoryButtonsCategoryNormal,
  sfCategoryButtonsCategorySelected,
  sfCategoryButtonsHot,
  sfCategoryButtonsNormal,
  sfCategoryButtonsSelected,
  sfCheckBoxTextDisabled,
  sfCheckBoxTextFocused,
  sfCheckBoxTextHot,
  sfCheckBoxTextNormal,
  sfCheckBoxTextPressed,
  sfComboBoxItemDisabled,
  sfComboBoxItemFocused,
  sfComboBoxItemHot,
  sfComboBoxItemNormal,
  sfComboBoxItemSelected,
  sfEditBoxTextDisabled,
  sfEditBoxTextFocused,
  sfEditBoxTextHot,
  sfEditBoxTextNormal,
  sfEditBoxTextSelected,
  sfGridItemFixedHot,
  sfGridItemFixedNormal,
  sfGridItemFixedPressed,
  sfGridItemNormal,
  sfGridItemSelected,
  sfGroupBoxTextDisabled,
  sfGroupBoxTextNormal,
  sfHeaderSectionTextDisabled,
  sfHeaderSectionTextHot,
  sfHeaderSectionTextNormal,
  sfHeaderSectionTextPressed,
  sfListItemTextDisabled,
  sfListItemTextFocused,
  sfListItemTextHot,
  sfListItemTextNormal,
  sfListItemTextSelected,
  sfMenuItemTextDisabled,
  sfMenuItemTextHot,
  sfMenuItemTextNormal,
  sfMenuItemTextSelected,
  sfPanelTextDisabled,
  sfPanelTextNormal,
  sfPopupMenuItemTextDisabled,
  sfPopupMenuItemTextHot,
  sfPopupMenuItemTextNormal,
  sfPopupMenuItemTextSelected,
  sfRadioButtonTextDisabled,
  sfRadioButtonTextFocused,
  sfRadioButtonTextHot,
  sfRadioButtonTextNormal,
  sfRadioButtonTextPressed,
  sfSmCaptionTextInactive,
  sfSmCaptionTextNormal,
  sfStatusPanelTextDisabled,
  sfStatusPanelTextNormal,
  sfTabTextActiveDisabled,
  sfTabTextActiveHot,
  sfTabTextActiveNormal,
  sfTabTextInactiveDisabled,
  sfTabTextInactiveHot,
  sfTabTextInactiveNormal,
  sfTextLabelDisabled,
  sfTextLabelFocused,
  sfTextLabelHot,
  sfTextLabelNormal,
  sfToolItemTextDisabled,
  sfToolItemTextHot,
  sfToolItemTextNormal,
  sfToolItemTextSelected,
  sfTreeItemTextDisabled,
  sfTreeItemTextFocused,
  sfTreeItemTextHot,
  sfTreeItemTextNormal,
  sfTreeItemTextSelected,
  sfWindowTextDisabled,
  sfWindowTextNormal,
};
constexpr int StyleFontCount = sfWindowTextNormal + 1;

// Names of the enumerators ("scBorder", "sfButtonTextHot", "ecTextColor").
const char* StyleColorName(TStyleColor c);
const char* StyleFontName(TStyleFont f);
const char* ElementColorName(TElementColor c);

// Options of styled text drawing (TCustomStyleServices::DrawText).
enum TStyleTextFlag : unsigned {
  stfTextColor = 1u << 0,     // draw in TextColor instead of the element's text colour
  stfBorderColor = 1u << 1,   // outline the glyphs in BorderColor
  stfBorderSize = 1u << 2,    // outline width BorderSize
  stfShadowColor = 1u << 3,   // a shadow in ShadowColor
  stfShadowOffset = 1u << 4,  // shadow offset ShadowOffset
  stfGlowSize = 1u << 5,      // a glow of GlowSize pixels in the element's glow colour
};
struct TStyleTextOptions {
  unsigned Flags = 0;
  TColor TextColor = clNone;
  TColor BorderColor = clNone;
  int BorderSize = 0;
  TColor ShadowColor = clNone;
  TPoint ShadowOffset{1, 1};
  int GlowSize = 0;
};

// A style's descriptive data.
struct TStyleInfo {
  String Name;
  String Author;
  String AuthorEMail;
  String AuthorURL;
  String Version;
  String Description;
};

// A font a style names (caption, menu, ...): face, size in points, weight.
struct TStyleFontSpec {
  String Face;
  int Size = 0;  // points; 0 when the style names none
  bool Bold = false;
  bool Italic = false;
};

// The fonts a style may name.
enum TStyleFontKind : int { sfkDefault, sfkCaption, sfkSmallCaption, sfkMenu, sfkHint, sfkHeading };
constexpr int StyleFontKindCount = sfkHeading + 1;

// Errors of the style engine: unknown styles, malformed style files (the message names the file
// and line), operations a style does not support.
class EStyleEngineException : public Exception {
 public:
  using Exception::Exception;
};

}  // namespace vcl
