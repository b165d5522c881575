// The element model of the style engine: every element family the controls draw, with one
// enumerator per part and state, and the details (family, part, state) a style draws from.
// Generated once from a table and kept by hand since; ElementTable.cpp holds the matching
// rows in the same order (checked at start-up by the tests).
#pragma once

namespace vcl {

// Element families.
enum TThemedElement : int {
  teButton,
  teComboBox,
  teEdit,
  teGrid,
  teHeader,
  teHint,
  teListView,
  teMenu,
  teMonthCal,
  teProgress,
  teRebar,
  teScrollBar,
  teSpin,
  teStatus,
  teTab,
  teTextStyle,
  teToolBar,
  teToolTip,
  teTrackBar,
  teTreeview,
  teWindow,
  teCategoryPanelGroup,
};
constexpr int ThemedElementCount = 22;

enum TThemedButton : int {
  tbPushButtonNormal, tbPushButtonHot, tbPushButtonPressed, tbPushButtonDisabled,
  tbPushButtonDefaulted, tbPushButtonDefaultedAnimating, tbRadioButtonUncheckedNormal,
  tbRadioButtonUncheckedHot, tbRadioButtonUncheckedPressed, tbRadioButtonUncheckedDisabled,
  tbRadioButtonCheckedNormal, tbRadioButtonCheckedHot, tbRadioButtonCheckedPressed,
  tbRadioButtonCheckedDisabled, tbCheckBoxUncheckedNormal, tbCheckBoxUncheckedHot,
  tbCheckBoxUncheckedPressed, tbCheckBoxUncheckedDisabled, tbCheckBoxCheckedNormal,
  tbCheckBoxCheckedHot, tbCheckBoxCheckedPressed, tbCheckBoxCheckedDisabled,
  tbCheckBoxMixedNormal, tbCheckBoxMixedHot, tbCheckBoxMixedPressed, tbCheckBoxMixedDisabled,
  tbGroupBoxNormal, tbGroupBoxDisabled, tbCommandLinkNormal, tbCommandLinkHot,
  tbCommandLinkPressed, tbCommandLinkDisabled, tbCommandLinkDefaulted,
};
enum TThemedComboBox : int {
  tcDropDownButtonNormal, tcDropDownButtonHot, tcDropDownButtonPressed, tcDropDownButtonDisabled,
  tcBackground, tcBorderNormal, tcBorderHot, tcBorderFocused, tcBorderDisabled, tcReadOnlyNormal,
  tcReadOnlyHot, tcReadOnlyPressed, tcReadOnlyDisabled, tcDropDownButtonRightNormal,
  tcDropDownButtonRightHot, tcDropDownButtonRightPressed, tcDropDownButtonRightDisabled,
  tcDropDownButtonLeftNormal, tcDropDownButtonLeftHot, tcDropDownButtonLeftPressed,
  tcDropDownButtonLeftDisabled,
};
enum TThemedEdit : int {
  teEditTextNormal, teEditTextHot, teEditTextSelected, teEditTextDisabled, teEditTextFocused,
  teEditTextReadOnly, teEditTextAssist, teBackgroundNormal, teBackgroundHot, teBackgroundDisabled,
  teBackgroundFocused, teBackgroundReadOnly, teBackgroundAssist, teEditBorderNoScrollNormal,
  teEditBorderNoScrollHot, teEditBorderNoScrollFocused, teEditBorderNoScrollDisabled,
  teEditBorderHScrollNormal, teEditBorderHScrollHot, teEditBorderHScrollFocused,
  teEditBorderHScrollDisabled, teEditBorderVScrollNormal, teEditBorderVScrollHot,
  teEditBorderVScrollFocused, teEditBorderVScrollDisabled, teEditBorderHVScrollNormal,
  teEditBorderHVScrollHot, teEditBorderHVScrollFocused, teEditBorderHVScrollDisabled,
};
enum TThemedGrid : int {
  tgCellNormal, tgCellSelected, tgFixedCellNormal, tgFixedCellHot, tgFixedCellPressed,
};
enum TThemedHeader : int {
  thHeaderRoot, thHeaderItemNormal, thHeaderItemHot, thHeaderItemPressed, thHeaderItemLeftNormal,
  thHeaderItemLeftHot, thHeaderItemLeftPressed, thHeaderItemRightNormal, thHeaderItemRightHot,
  thHeaderItemRightPressed, thHeaderSortArrowSortedUp, thHeaderSortArrowSortedDown,
  thHeaderDropDownNormal, thHeaderDropDownSoftHot, thHeaderDropDownHot,
};
enum TThemedHint : int {
  thHintNormal, thHintBalloon,
};
enum TThemedListView : int {
  tlListviewRoot, tlListItemNormal, tlListItemHot, tlListItemSelected, tlListItemDisabled,
  tlListItemSelectedNotFocus, tlListItemHotSelected, tlListGroup, tlListDetail, tlListSortDetail,
  tlEmptyText, tlExpandButtonNormal, tlExpandButtonHover, tlExpandButtonPushed,
  tlCollapseButtonNormal, tlCollapseButtonHover, tlCollapseButtonPushed,
};
enum TThemedMenu : int {
  tmChevron, tmSeparator, tmMenuBarBackgroundActive, tmMenuBarBackgroundInactive,
  tmMenuBarItemNormal, tmMenuBarItemHot, tmMenuBarItemPushed, tmMenuBarItemDisabled,
  tmMenuBarItemDisabledHot, tmMenuBarItemDisabledPushed, tmPopupBackground, tmPopupBorders,
  tmPopupCheckMarkNormal, tmPopupCheckMarkDisabled, tmPopupBulletNormal, tmPopupBulletDisabled,
  tmPopupCheckBackgroundDisabled, tmPopupCheckBackgroundNormal, tmPopupCheckBackgroundBitmap,
  tmPopupGutter, tmPopupItemNormal, tmPopupItemHot, tmPopupItemDisabled, tmPopupItemDisabledHot,
  tmPopupSeparator, tmPopupSubMenuNormal, tmPopupSubMenuDisabled, tmSystemCloseNormal,
  tmSystemCloseDisabled, tmSystemMaximizeNormal, tmSystemMaximizeDisabled, tmSystemMinimizeNormal,
  tmSystemMinimizeDisabled, tmSystemRestoreNormal, tmSystemRestoreDisabled,
};
enum TThemedMonthCal : int {
  tmcBackground, tmcBorders, tmcGridBackground, tmcColHeaderSplitter,
  tmcGridCellBackgroundSelected, tmcGridCellBackgroundHot, tmcGridCellBackgroundSelectedHot,
  tmcGridCellBackgroundSelectedNotFocused, tmcGridCellBackgroundToday, tmcGridCellHot,
  tmcGridCellHasState, tmcGridCellHasStateHot, tmcGridCellToday, tmcGridCellUpperHot,
  tmcGridCellUpperHasState, tmcGridCellUpperHasStateHot, tmcNavNextNormal, tmcNavNextHot,
  tmcNavNextPressed, tmcNavNextDisabled, tmcNavPrevNormal, tmcNavPrevHot, tmcNavPrevPressed,
  tmcNavPrevDisabled,
};
enum TThemedProgress : int {
  tpBar, tpBarVert, tpChunk, tpChunkVert, tpFillNormal, tpFillError, tpFillPaused, tpFillPartial,
  tpFillVertNormal, tpFillVertError, tpFillVertPaused, tpFillVertPartial,
};
enum TThemedRebar : int {
  trRebarRoot, trGripper, trGripperVert, trBand, trChevronNormal, trChevronHot, trChevronPressed,
  trChevronVertNormal, trChevronVertHot, trChevronVertPressed, trBackground, trSplitterNormal,
  trSplitterHot, trSplitterPressed, trSplitterVertNormal, trSplitterVertHot,
  trSplitterVertPressed,
};
enum TThemedScrollBar : int {
  tsArrowBtnUpNormal, tsArrowBtnUpHot, tsArrowBtnUpPressed, tsArrowBtnUpDisabled,
  tsArrowBtnDownNormal, tsArrowBtnDownHot, tsArrowBtnDownPressed, tsArrowBtnDownDisabled,
  tsArrowBtnLeftNormal, tsArrowBtnLeftHot, tsArrowBtnLeftPressed, tsArrowBtnLeftDisabled,
  tsArrowBtnRightNormal, tsArrowBtnRightHot, tsArrowBtnRightPressed, tsArrowBtnRightDisabled,
  tsThumbBtnHorzNormal, tsThumbBtnHorzHot, tsThumbBtnHorzPressed, tsThumbBtnHorzDisabled,
  tsThumbBtnVertNormal, tsThumbBtnVertHot, tsThumbBtnVertPressed, tsThumbBtnVertDisabled,
  tsLowerTrackHorzNormal, tsLowerTrackHorzHot, tsLowerTrackHorzPressed, tsLowerTrackHorzDisabled,
  tsUpperTrackHorzNormal, tsUpperTrackHorzHot, tsUpperTrackHorzPressed, tsUpperTrackHorzDisabled,
  tsLowerTrackVertNormal, tsLowerTrackVertHot, tsLowerTrackVertPressed, tsLowerTrackVertDisabled,
  tsUpperTrackVertNormal, tsUpperTrackVertHot, tsUpperTrackVertPressed, tsUpperTrackVertDisabled,
  tsGripperHorzNormal, tsGripperHorzHot, tsGripperHorzPressed, tsGripperHorzDisabled,
  tsGripperVertNormal, tsGripperVertHot, tsGripperVertPressed, tsGripperVertDisabled,
  tsSizeBoxRightAlign, tsSizeBoxLeftAlign,
};
enum TThemedSpin : int {
  tsUpNormal, tsUpHot, tsUpPressed, tsUpDisabled, tsDownNormal, tsDownHot, tsDownPressed,
  tsDownDisabled, tsUpHorzNormal, tsUpHorzHot, tsUpHorzPressed, tsUpHorzDisabled,
  tsDownHorzNormal, tsDownHorzHot, tsDownHorzPressed, tsDownHorzDisabled,
};
enum TThemedStatus : int {
  tsStatusRoot, tsPane, tsGripperPane, tsGripper,
};
enum TThemedTab : int {
  ttTabItemNormal, ttTabItemHot, ttTabItemSelected, ttTabItemDisabled, ttTabItemFocused,
  ttTabItemLeftEdgeNormal, ttTabItemLeftEdgeHot, ttTabItemLeftEdgeSelected,
  ttTabItemLeftEdgeDisabled, ttTabItemLeftEdgeFocused, ttTabItemRightEdgeNormal,
  ttTabItemRightEdgeHot, ttTabItemRightEdgeSelected, ttTabItemRightEdgeDisabled,
  ttTabItemRightEdgeFocused, ttTabItemBothEdgeNormal, ttTabItemBothEdgeHot,
  ttTabItemBothEdgeSelected, ttTabItemBothEdgeDisabled, ttTabItemBothEdgeFocused,
  ttTopTabItemNormal, ttTopTabItemHot, ttTopTabItemSelected, ttTopTabItemDisabled,
  ttTopTabItemFocused, ttTopTabItemLeftEdgeNormal, ttTopTabItemLeftEdgeHot,
  ttTopTabItemLeftEdgeSelected, ttTopTabItemLeftEdgeDisabled, ttTopTabItemLeftEdgeFocused,
  ttTopTabItemRightEdgeNormal, ttTopTabItemRightEdgeHot, ttTopTabItemRightEdgeSelected,
  ttTopTabItemRightEdgeDisabled, ttTopTabItemRightEdgeFocused, ttTopTabItemBothEdgeNormal,
  ttTopTabItemBothEdgeHot, ttTopTabItemBothEdgeSelected, ttTopTabItemBothEdgeDisabled,
  ttTopTabItemBothEdgeFocused, ttPane, ttBody,
};
enum TThemedTextStyle : int {
  ttsMainInstruction, ttsInstruction, ttsBodyTitle, ttsBodyText, ttsSecondaryText,
  ttsHyperLinkTextNormal, ttsHyperLinkTextHot, ttsHyperLinkTextPressed, ttsHyperLinkTextDisabled,
  ttsExpanded, ttsLabelNormal, ttsLabelDisabled, ttsControlLabelNormal, ttsControlLabelDisabled,
};
enum TThemedToolBar : int {
  ttbToolBarRoot, ttbButtonNormal, ttbButtonHot, ttbButtonPressed, ttbButtonDisabled,
  ttbButtonChecked, ttbButtonCheckedHot, ttbDropDownButtonNormal, ttbDropDownButtonHot,
  ttbDropDownButtonPressed, ttbDropDownButtonDisabled, ttbDropDownButtonChecked,
  ttbDropDownButtonCheckedHot, ttbSplitButtonNormal, ttbSplitButtonHot, ttbSplitButtonPressed,
  ttbSplitButtonDisabled, ttbSplitButtonChecked, ttbSplitButtonCheckedHot,
  ttbSplitButtonDropDownNormal, ttbSplitButtonDropDownHot, ttbSplitButtonDropDownPressed,
  ttbSplitButtonDropDownDisabled, ttbSplitButtonDropDownChecked, ttbSplitButtonDropDownCheckedHot,
  ttbSeparatorNormal, ttbSeparatorHot, ttbSeparatorPressed, ttbSeparatorDisabled,
  ttbSeparatorChecked, ttbSeparatorCheckedHot, ttbSeparatorVertNormal, ttbSeparatorVertHot,
  ttbSeparatorVertPressed, ttbSeparatorVertDisabled, ttbSeparatorVertChecked,
  ttbSeparatorVertCheckedHot, ttbDropDownButtonGlyphNormal, ttbDropDownButtonGlyphHot,
  ttbDropDownButtonGlyphPressed, ttbDropDownButtonGlyphDisabled, ttbDropDownButtonGlyphChecked,
  ttbDropDownButtonGlyphCheckedHot,
};
enum TThemedToolTip : int {
  tttStandardNormal, tttStandardLink, tttStandardTitleNormal, tttStandardTitleLink,
  tttBaloonNormal, tttBaloonLink, tttBaloonTitleNormal, tttBaloonTitleLink, tttCloseNormal,
  tttCloseHot, tttClosePressed,
};
enum TThemedTrackBar : int {
  ttbTrackBarRoot, ttbTrack, ttbTrackVert, ttbThumbNormal, ttbThumbHot, ttbThumbPressed,
  ttbThumbFocused, ttbThumbDisabled, ttbThumbBottomNormal, ttbThumbBottomHot,
  ttbThumbBottomPressed, ttbThumbBottomFocused, ttbThumbBottomDisabled, ttbThumbTopNormal,
  ttbThumbTopHot, ttbThumbTopPressed, ttbThumbTopFocused, ttbThumbTopDisabled, ttbThumbVertNormal,
  ttbThumbVertHot, ttbThumbVertPressed, ttbThumbVertFocused, ttbThumbVertDisabled,
  ttbThumbLeftNormal, ttbThumbLeftHot, ttbThumbLeftPressed, ttbThumbLeftFocused,
  ttbThumbLeftDisabled, ttbThumbRightNormal, ttbThumbRightHot, ttbThumbRightPressed,
  ttbThumbRightFocused, ttbThumbRightDisabled, ttbThumbTics, ttbThumbTicsVert,
};
enum TThemedTreeview : int {
  ttTreeviewRoot, ttItemNormal, ttItemHot, ttItemSelected, ttItemDisabled, ttItemSelectedNotFocus,
  ttItemHotSelected, ttGlyphClosed, ttGlyphOpened, ttBranch, ttHotGlyphClosed, ttHotGlyphOpened,
};
enum TThemedWindow : int {
  twWindowRoot, twCaptionActive, twCaptionInactive, twCaptionDisabled, twSmallCaptionActive,
  twSmallCaptionInactive, twSmallCaptionDisabled, twFrameLeftActive, twFrameLeftInactive,
  twFrameRightActive, twFrameRightInactive, twFrameBottomActive, twFrameBottomInactive,
  twSmallFrameLeftActive, twSmallFrameLeftInactive, twSmallFrameRightActive,
  twSmallFrameRightInactive, twSmallFrameBottomActive, twSmallFrameBottomInactive,
  twSysButtonNormal, twSysButtonHot, twSysButtonPushed, twSysButtonDisabled, twMinButtonNormal,
  twMinButtonHot, twMinButtonPushed, twMinButtonDisabled, twMaxButtonNormal, twMaxButtonHot,
  twMaxButtonPushed, twMaxButtonDisabled, twCloseButtonNormal, twCloseButtonHot,
  twCloseButtonPushed, twCloseButtonDisabled, twSmallCloseButtonNormal, twSmallCloseButtonHot,
  twSmallCloseButtonPushed, twSmallCloseButtonDisabled, twRestoreButtonNormal, twRestoreButtonHot,
  twRestoreButtonPushed, twRestoreButtonDisabled, twHelpButtonNormal, twHelpButtonHot,
  twHelpButtonPushed, twHelpButtonDisabled, twMDISysButtonNormal, twMDISysButtonHot,
  twMDISysButtonPushed, twMDISysButtonDisabled, twMDIMinButtonNormal, twMDIMinButtonHot,
  twMDIMinButtonPushed, twMDIMinButtonDisabled, twMDICloseButtonNormal, twMDICloseButtonHot,
  twMDICloseButtonPushed, twMDICloseButtonDisabled, twMDIRestoreButtonNormal,
  twMDIRestoreButtonHot, twMDIRestoreButtonPushed, twMDIRestoreButtonDisabled,
  twMDIHelpButtonNormal, twMDIHelpButtonHot, twMDIHelpButtonPushed, twMDIHelpButtonDisabled,
  twDialog,
};
enum TThemedCategoryPanelGroup : int {
  tcpBackground, tcpThemedHeader, tcpChevronOpenedNormal, tcpChevronOpenedHot,
  tcpChevronOpenedPressed, tcpChevronClosedNormal, tcpChevronClosedHot, tcpChevronClosedPressed,
};

// A part and state of an element family. Part 0 is the family's root (its background where
// it has one); details of unknown parts or states draw nothing.
struct TThemedElementDetails {
  TThemedElement Element = teButton;
  int Part = 0;
  int State = 0;
  friend constexpr bool operator==(const TThemedElementDetails&,
                                   const TThemedElementDetails&) = default;
  static constexpr TThemedElementDetails Create(TThemedElement element, int part, int state) {
    return {element, part, state};
  }
};

TThemedElementDetails GetElementDetails(TThemedButton detail);
TThemedElementDetails GetElementDetails(TThemedComboBox detail);
TThemedElementDetails GetElementDetails(TThemedEdit detail);
TThemedElementDetails GetElementDetails(TThemedGrid detail);
TThemedElementDetails GetElementDetails(TThemedHeader detail);
TThemedElementDetails GetElementDetails(TThemedHint detail);
TThemedElementDetails GetElementDetails(TThemedListView detail);
TThemedElementDetails GetElementDetails(TThemedMenu detail);
TThemedElementDetails GetElementDetails(TThemedMonthCal detail);
TThemedElementDetails GetElementDetails(TThemedProgress detail);
TThemedElementDetails GetElementDetails(TThemedRebar detail);
TThemedElementDetails GetElementDetails(TThemedScrollBar detail);
TThemedElementDetails GetElementDetails(TThemedSpin detail);
TThemedElementDetails GetElementDetails(TThemedStatus detail);
TThemedElementDetails GetElementDetails(TThemedTab detail);
TThemedElementDetails GetElementDetails(TThemedTextStyle detail);
TThemedElementDetails GetElementDetails(TThemedToolBar detail);
TThemedElementDetails GetElementDetails(TThemedToolTip detail);
TThemedElementDetails GetElementDetails(TThemedTrackBar detail);
TThemedElementDetails GetElementDetails(TThemedTreeview detail);
TThemedElementDetails GetElementDetails(TThemedWindow detail);
TThemedElementDetails GetElementDetails(TThemedCategoryPanelGroup detail);

// The name of a detail's enumerator ("tbPushButtonHot"); "" when the detail is unknown.
const char* ElementDetailsName(const TThemedElementDetails& details);

}  // namespace vcl
