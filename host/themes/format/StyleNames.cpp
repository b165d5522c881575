// Names of the colour enumerations and of the system colours, as style sources spell them.
#include <string_view>

#include "host/themes/format/StyleFormat.h"

namespace vcl {
namespace {

constexpr const char* StyleColorNames[] = {
    "scBorder",
    "scButtonDisabled",
    "scButtonFocused",
    "scButtonHot",
    "scButtonNormal",
    "scButtonPressed",
    "scCategoryButtons",
    "scCategoryButtonsGradientBase",
    "scCategoryButtonsGradientEnd",
    "scCategoryPanelGroup",
    "scComboBox",
    "scComboBoxDisabled",
    "scEdit",
    "scEditDisabled",
    "scGrid",
    "scGenericBackground",
    "scGenericGradientBase",
    "scGenericGradientEnd",
    "scHintGradientBase",
    "scHintGradientEnd",
    "scListBox",
    "scListBoxDisabled",
    "scListView",
    "scPanel",
    "scPanelDisabled",
    "scSplitter",
    "scToolBarGradientBase",
    "scToolBarGradientEnd",
    "scTreeView",
    "scWindow",
};

constexpr const char* StyleFontNames[] = {
    "sfButtonTextDisabled",
    "sfButtonTextFocused",
    "sfButtonTextHot",
    "sfButtonTextNormal",
    "sfButtonTextPressed",
    "sfCaptionTextInactive",
    "sfCaptionTextNormal",
    "sfCategoryPanelGroupHeaderHot",
    "sfCategoryPanelGroupHeaderNormal",
    "sfCategoryButtonsCategoryNormal",
    "sfCategoryButtonsCategorySelected",
    "sfCategoryButtonsHot",
    "sfCategoryButtonsNormal",
    "sfCategoryButtonsSelected",
    "sfCheckBoxTextDisabled",
    "sfCheckBoxTextFocused",
    "sfCheckBoxTextHot",
    "sfCheckBoxTextNormal",
    "sfCheckBoxTextPressed",
    "sfComboBoxItemDisabled",
    "sfComboBoxItemFocused",
    "sfComboBoxItemHot",
    "sfComboBoxItemNormal",
    "sfComboBoxItemSelected",
    "sfEditBoxTextDisabled",
    "sfEditBoxTextFocused",
    "sfEditBoxTextHot",
    "sfEditBoxTextNormal",
    "sfEditBoxTextSelected",
    "sfGridItemFixedHot",
    "sfGridItemFixedNormal",
    "sfGridItemFixedPressed",
    "sfGridItemNormal",
    "sfGridItemSelected",
    "sfGroupBoxTextDisabled",
    "sfGroupBoxTextNormal",
    "sfHeaderSectionTextDisabled",
    "sfHeaderSectionTextHot",
    "sfHeaderSectionTextNormal",
    "sfHeaderSectionTextPressed",
    "sfListItemTextDisabled",
    "sfListItemTextFocused",
    "sfListItemTextHot",
    "sfListItemTextNormal",
    "sfListItemTextSelected",
    "sfMenuItemTextDisabled",
    "sfMenuItemTextHot",
    "sfMenuItemTextNormal",
    "sfMenuItemTextSelected",
    "sfPanelTextDisabled",
    "sfPanelTextNormal",
    "sfPopupMenuItemTextDisabled",
    "sfPopupMenuItemTextHot",
    "sfPopupMenuItemTextNormal",
    "sfPopupMenuItemTextSelected",
    "sfRadioButtonTextDisabled",
    "sfRadioButtonTextFocused",
    "sfRadioButtonTextHot",
    "sfRadioButtonTextNormal",
    "sfRadioButtonTextPressed",
    "sfSmCaptionTextInactive",
    "sfSmCaptionTextNormal",
    "sfStatusPanelTextDisabled",
    "sfStatusPanelTextNormal",
    "sfTabTextActiveDisabled",
    "sfTabTextActiveHot",
    "sfTabTextActiveNormal",
    "sfTabTextInactiveDisabled",
    "sfTabTextInactiveHot",
    "sfTabTextInactiveNormal",
    "sfTextLabelDisabled",
    "sfTextLabelFocused",
    "sfTextLabelHot",
    "sfTextLabelNormal",
    "sfToolItemTextDisabled",
    "sfToolItemTextHot",
    "sfToolItemTextNormal",
    "sfToolItemTextSelected",
    "sfTreeItemTextDisabled",
    "sfTreeItemTextFocused",
    "sfTreeItemTextHot",
    "sfTreeItemTextNormal",
    "sfTreeItemTextSelected",
    "sfWindowTextDisabled",
    "sfWindowTextNormal",
};

constexpr const char* ElementColorNames[] = {
    "ecBorderColor",
    "ecFillColor",
    "ecTextColor",
    "ecEdgeLightColor",
    "ecEdgeHighLightColor",
    "ecEdgeShadowColor",
    "ecEdgeDkShadowColor",
    "ecEdgeFillColor",
    "ecTransparentColor",
    "ecGradientColor1",
    "ecGradientColor2",
    "ecGradientColor3",
    "ecGradientColor4",
    "ecGradientColor5",
    "ecShadowColor",
    "ecGlowColor",
    "ecTextBorderColor",
    "ecTextShadowColor",
    "ecGlyphTextColor",
    "ecGlyphTransparentColor",
    "ecFillColorHint",
    "ecBorderColorHint",
    "ecAccentColorHint",
    "ecTextColorHint",
    "ecHeading1TextColor",
    "ecHeading2TextColor",
    "ecBodyTextColor",
};

constexpr const char* SystemColorNames[] = {
    "clScrollBar",
    "clBackground",
    "clActiveCaption",
    "clInactiveCaption",
    "clMenu",
    "clWindow",
    "clWindowFrame",
    "clMenuText",
    "clWindowText",
    "clCaptionText",
    "clActiveBorder",
    "clInactiveBorder",
    "clAppWorkSpace",
    "clHighlight",
    "clHighlightText",
    "clBtnFace",
    "clBtnShadow",
    "clGrayText",
    "clBtnText",
    "clInactiveCaptionText",
    "clBtnHighlight",
    "cl3DDkShadow",
    "cl3DLight",
    "clInfoText",
    "clInfoBk",
    "",
    "clHotLight",
    "clGradientActiveCaption",
    "clGradientInactiveCaption",
    "clMenuHighlight",
    "clMenuBar",
};

static_assert(std::size(StyleColorNames) == StyleColorCount);
static_assert(std::size(StyleFontNames) == StyleFontCount);
static_assert(std::size(ElementColorNames) == ElementColorCount);
static_assert(std::size(SystemColorNames) == COLOR_COUNT);

}  // namespace

const char* StyleColorName(TStyleColor c) {
  return int(c) >= 0 && int(c) < StyleColorCount ? StyleColorNames[int(c)] : "";
}
const char* StyleFontName(TStyleFont f) {
  return int(f) >= 0 && int(f) < StyleFontCount ? StyleFontNames[int(f)] : "";
}
const char* ElementColorName(TElementColor c) {
  return int(c) >= 0 && int(c) < ElementColorCount ? ElementColorNames[int(c)] : "";
}
const char* SystemColorName(int index) {
  return index >= 0 && index < COLOR_COUNT ? SystemColorNames[index] : "";
}
int SystemColorIndexOfName(std::string_view name) {
  if (name.empty()) return -1;
  for (int i = 0; i < COLOR_COUNT; ++i)
    if (name == SystemColorNames[i]) return i;
  return -1;
}

}  // namespace vcl
