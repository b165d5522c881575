// Class metadata of the control classes: names, published properties and events for window
// descriptions, the cursor identifiers, and registration.
#include "host/classes/TypInfo.h"
#include "host/vcl/Controls.h"
#include "host/vcl/Touch.h"

namespace vcl {

namespace {
const TIdentMapEntry kCursorIdents[] = {
    {crDefault, u"crDefault"},     {crNone, u"crNone"},           {crArrow, u"crArrow"},
    {crCross, u"crCross"},         {crIBeam, u"crIBeam"},         {crSizeNESW, u"crSizeNESW"},
    {crSizeNS, u"crSizeNS"},       {crSizeNWSE, u"crSizeNWSE"},   {crSizeWE, u"crSizeWE"},
    {crUpArrow, u"crUpArrow"},     {crHourGlass, u"crHourGlass"}, {crDrag, u"crDrag"},
    {crNoDrop, u"crNoDrop"},       {crHSplit, u"crHSplit"},       {crVSplit, u"crVSplit"},
    {crMultiDrag, u"crMultiDrag"}, {crSQLWait, u"crSQLWait"},     {crNo, u"crNo"},
    {crAppStart, u"crAppStart"},   {crHelp, u"crHelp"},           {crHandPoint, u"crHandPoint"},
    {crSizeAll, u"crSizeAll"},
};
}  // namespace

void RegisterCursorIdents() {
  static const bool done = [] {
    RegisterIntegerConsts(u"TCursor", kCursorIdents);
    return true;
  }();
  (void)done;
}

const TClass TSizeConstraints::Class =
    TClass::Define<TSizeConstraints, TPersistent>(u"TSizeConstraints", [](auto& c) {
      c.Property(u"MaxHeight", &TSizeConstraints::MaxHeight, &TSizeConstraints::SetMaxHeight).Default(0);
      c.Property(u"MaxWidth", &TSizeConstraints::MaxWidth, &TSizeConstraints::SetMaxWidth).Default(0);
      c.Property(u"MinHeight", &TSizeConstraints::MinHeight, &TSizeConstraints::SetMinHeight).Default(0);
      c.Property(u"MinWidth", &TSizeConstraints::MinWidth, &TSizeConstraints::SetMinWidth).Default(0);
    });

const TClass TMargins::Class = TClass::Define<TMargins, TPersistent>(u"TMargins", [](auto& c) {
  c.Property(u"Left", &TMargins::Left, &TMargins::SetLeft).Default(3);
  c.Property(u"Top", &TMargins::Top, &TMargins::SetTop).Default(3);
  c.Property(u"Right", &TMargins::Right, &TMargins::SetRight).Default(3);
  c.Property(u"Bottom", &TMargins::Bottom, &TMargins::SetBottom).Default(3);
});

const TClass TPadding::Class = TClass::Define<TPadding, TMargins>(u"TPadding", [](auto& c) {
  c.Inherited(u"Left").Default(0);
  c.Inherited(u"Top").Default(0);
  c.Inherited(u"Right").Default(0);
  c.Inherited(u"Bottom").Default(0);
});

const TClass TControlCanvas::Class = TClass::Define<TControlCanvas, TCanvas>(u"TControlCanvas");

const TClass TControl::Class = TClass::Define<TControl, TComponent>(u"TControl", [](auto& c) {
  RegisterColorIdents();
  RegisterCursorIdents();
  c.Property(u"Left", &TControl::Left, &TControl::SetLeft);
  c.Property(u"Top", &TControl::Top, &TControl::SetTop);
  c.Property(u"Width", &TControl::Width, &TControl::SetWidth);
  c.Property(u"Height", &TControl::Height, &TControl::SetHeight);
  c.Property(u"Align", &TControl::Align, &TControl::SetAlign).Default(alNone);
  c.Property(u"Anchors", &TControl::Anchors, &TControl::SetAnchors)
      .Stored([](const TControl& t) { return t.Anchors() != DefaultAnchors && t.Align() == alNone; });
  c.Property(u"AlignWithMargins", &TControl::AlignWithMargins, &TControl::SetAlignWithMargins)
      .Default(false);
  c.Property(u"AutoSize", &TControl::AutoSize, &TControl::SetAutoSize).Default(false);
  c.Property(u"BiDiMode", &TControl::BiDiMode, &TControl::SetBiDiMode)
      .Stored([](const TControl& t) { return !t.ParentBiDiMode(); });
  c.Property(u"Caption", [](const TControl& t) { return t.Caption(); },
             [](TControl& t, const String& v) { t.SetCaption(v); });
  c.Property(u"Color", &TControl::Color, &TControl::SetColor)
      .Idents(u"TColor")
      .Stored([](const TControl& t) { return !t.ParentColor(); });
  c.Property(u"Constraints", &TControl::Constraints, &TControl::SetConstraints);
  c.Property(u"Cursor", &TControl::Cursor, &TControl::SetCursor).Idents(u"TCursor").Default(crDefault);
  c.Property(u"DragCursor", &TControl::DragCursor, &TControl::SetDragCursor)
      .Idents(u"TCursor")
      .Default(crDrag);
  c.Property(u"DragKind", &TControl::DragKind, &TControl::SetDragKind).Default(dkDrag);
  c.Property(u"DragMode", &TControl::DragMode, &TControl::SetDragMode).Default(dmManual);
  c.Property(u"Enabled", &TControl::Enabled, &TControl::SetEnabled).Default(true);
  c.Property(u"Font", &TControl::Font, &TControl::SetFont)
      .Stored([](const TControl& t) { return !t.ParentFont(); });
  c.Property(u"Hint", &TControl::Hint, &TControl::SetHint);
  c.Property(u"Margins", &TControl::Margins, &TControl::SetMargins);
  c.Property(u"ParentBiDiMode", &TControl::ParentBiDiMode, &TControl::SetParentBiDiMode).Default(true);
  c.Property(u"ParentColor", &TControl::ParentColor, &TControl::SetParentColor).Default(true);
  c.Property(u"ParentFont", &TControl::ParentFont, &TControl::SetParentFont).Default(true);
  c.Property(u"ParentShowHint", &TControl::ParentShowHint, &TControl::SetParentShowHint).Default(true);
  c.Property(u"PopupMenu", [](const TControl& t) { return t.PopupMenuComponent(); },
             [](TControl& t, TComponent* v) { t.SetPopupMenuComponent(v); });
  c.Property(u"ShowHint", &TControl::ShowHint, &TControl::SetShowHint)
      .Stored([](const TControl& t) { return !t.ParentShowHint(); });
  c.Property(u"StyleElements", &TControl::StyleElements, &TControl::SetStyleElements)
      .Default(AllStyleElements);
  c.Property(u"StyleName", &TControl::StyleName, &TControl::SetStyleName);
  c.Property(u"Touch", &TControl::Touch, &TControl::SetTouch);
  c.Property(u"Visible", &TControl::Visible, &TControl::SetVisible).Default(true);
  c.Property(u"OnCanResize", &TControl::FOnCanResize);
  c.Property(u"OnClick", &TControl::FOnClick);
  c.Property(u"OnConstrainedResize", &TControl::FOnConstrainedResize);
  c.Property(u"OnContextPopup", &TControl::FOnContextPopup);
  c.Property(u"OnDblClick", &TControl::FOnDblClick);
  c.Property(u"OnDragDrop", &TControl::FOnDragDrop);
  c.Property(u"OnDragOver", &TControl::FOnDragOver);
  c.Property(u"OnEndDock", &TControl::FOnEndDock);
  c.Property(u"OnEndDrag", &TControl::FOnEndDrag);
  c.Property(u"OnGesture", &TControl::FOnGesture);
  c.Property(u"OnMouseActivate", &TControl::FOnMouseActivate);
  c.Property(u"OnMouseDown", &TControl::FOnMouseDown);
  c.Property(u"OnMouseEnter", &TControl::FOnMouseEnter);
  c.Property(u"OnMouseLeave", &TControl::FOnMouseLeave);
  c.Property(u"OnMouseMove", &TControl::FOnMouseMove);
  c.Property(u"OnMouseUp", &TControl::FOnMouseUp);
  c.Property(u"OnMouseWheel", &TControl::FOnMouseWheel);
  c.Property(u"OnMouseWheelDown", &TControl::FOnMouseWheelDown);
  c.Property(u"OnMouseWheelUp", &TControl::FOnMouseWheelUp);
  c.Property(u"OnResize", &TControl::FOnResize);
  c.Property(u"OnStartDock", &TControl::FOnStartDock);
  c.Property(u"OnStartDrag", &TControl::FOnStartDrag);
});

const TClass TWinControl::Class =
    TClass::Define<TWinControl, TControl>(u"TWinControl", [](auto& c) {
      c.Property(u"DockSite", &TWinControl::DockSite, &TWinControl::SetDockSite).Default(false);
      c.Property(u"DoubleBuffered", &TWinControl::DoubleBuffered, &TWinControl::SetDoubleBuffered)
          .Stored([](const TWinControl& t) { return !t.ParentDoubleBuffered(); });
      c.Property(u"Padding", &TWinControl::Padding, &TWinControl::SetPadding);
      c.Property(u"ParentBackground", &TWinControl::ParentBackground,
                 &TWinControl::SetParentBackground);
      c.Property(u"ParentDoubleBuffered", &TWinControl::ParentDoubleBuffered,
                 &TWinControl::SetParentDoubleBuffered)
          .Default(true);
      c.Property(u"TabOrder", &TWinControl::TabOrder, &TWinControl::SetTabOrder).Default(-1);
      c.Property(u"TabStop", &TWinControl::TabStop, &TWinControl::SetTabStop).Default(false);
      c.Property(u"OnEnter", &TWinControl::FOnEnter);
      c.Property(u"OnExit", &TWinControl::FOnExit);
      c.Property(u"OnKeyDown", &TWinControl::FOnKeyDown);
      c.Property(u"OnKeyPress", &TWinControl::FOnKeyPress);
      c.Property(u"OnKeyUp", &TWinControl::FOnKeyUp);
      c.Property(u"OnAlignInsertBefore", &TWinControl::FOnAlignInsertBefore);
      c.Property(u"OnAlignPosition", &TWinControl::FOnAlignPosition);
      c.Property(u"OnDockDrop", &TWinControl::FOnDockDrop);
      c.Property(u"OnDockOver", &TWinControl::FOnDockOver);
      c.Property(u"OnGetSiteInfo", &TWinControl::FOnGetSiteInfo);
      c.Property(u"OnUnDock", &TWinControl::FOnUnDock);
    });

const TClass TGraphicControl::Class =
    TClass::Define<TGraphicControl, TControl>(u"TGraphicControl");
const TClass TCustomControl::Class =
    TClass::Define<TCustomControl, TWinControl>(u"TCustomControl");

const TClass TControlScrollBar::Class =
    TClass::Define<TControlScrollBar, TPersistent>(u"TControlScrollBar", [](auto& c) {
      c.Property(u"Increment", &TControlScrollBar::Increment, &TControlScrollBar::SetIncrement)
          .Default(8);
      c.Property(u"Margin", &TControlScrollBar::Margin, &TControlScrollBar::SetMargin).Default(0);
      c.Property(u"Position", &TControlScrollBar::Position, &TControlScrollBar::SetPosition)
          .Default(0);
      c.Property(u"Range", &TControlScrollBar::Range, &TControlScrollBar::SetRange).Default(0);
      c.Property(u"Tracking", &TControlScrollBar::Tracking, &TControlScrollBar::SetTracking)
          .Default(false);
      c.Property(u"Visible", &TControlScrollBar::Visible, &TControlScrollBar::SetVisible)
          .Default(true);
    });

const TClass TScrollingWinControl::Class =
    TClass::Define<TScrollingWinControl, TWinControl>(u"TScrollingWinControl", [](auto& c) {
      c.Property(u"AutoScroll", &TScrollingWinControl::AutoScroll,
                 &TScrollingWinControl::SetAutoScroll)
          .Default(true);
      c.Property(u"HorzScrollBar", &TScrollingWinControl::HorzScrollBar,
                 &TScrollingWinControl::SetHorzScrollBar);
      c.Property(u"VertScrollBar", &TScrollingWinControl::VertScrollBar,
                 &TScrollingWinControl::SetVertScrollBar);
    });

const TClass TScrollBox::Class =
    TClass::Define<TScrollBox, TScrollingWinControl>(u"TScrollBox", [](auto& c) {
      c.Property(u"BorderStyle", &TScrollBox::BorderStyle, &TScrollBox::SetBorderStyle)
          .Default(bsSingle);
    });

const TClass TCustomFrame::Class =
    TClass::Define<TCustomFrame, TScrollingWinControl>(u"TCustomFrame");
const TClass TFrame::Class = TClass::Define<TFrame, TCustomFrame>(u"TFrame");

const TClass TCustomPanel::Class =
    TClass::Define<TCustomPanel, TCustomControl>(u"TCustomPanel", [](auto& c) {
      c.Property(u"Alignment", &TCustomPanel::Alignment, &TCustomPanel::SetAlignment)
          .Default(taCenter);
      c.Property(u"BevelInner", &TCustomPanel::BevelInner, &TCustomPanel::SetBevelInner)
          .Default(bvNone);
      c.Property(u"BevelOuter", &TCustomPanel::BevelOuter, &TCustomPanel::SetBevelOuter)
          .Default(bvRaised);
      c.Property(u"BevelWidth", &TCustomPanel::BevelWidth, &TCustomPanel::SetBevelWidth)
          .Default(1);
      c.Property(u"BorderStyle", &TCustomPanel::BorderStyle, &TCustomPanel::SetBorderStyle)
          .Default(bsNone);
      c.Property(u"BorderWidth", &TCustomPanel::BorderWidth, &TCustomPanel::SetBorderWidth)
          .Default(0);
      c.Property(u"FullRepaint", &TCustomPanel::FullRepaint, &TCustomPanel::SetFullRepaint)
          .Default(true);
      c.Property(u"Locked", &TCustomPanel::Locked, &TCustomPanel::SetLocked).Default(false);
      c.Property(u"ShowCaption", &TCustomPanel::ShowCaption, &TCustomPanel::SetShowCaption)
          .Default(true);
      c.Property(u"VerticalAlignment", &TCustomPanel::VerticalAlignment,
                 &TCustomPanel::SetVerticalAlignment)
          .Default(taVerticalCenter);
      c.Inherited(u"ParentBackground").Default(true);
      c.Inherited(u"ParentColor").Default(false);
    });
const TClass TPanel::Class = TClass::Define<TPanel, TCustomPanel>(u"TPanel");

void RegisterControlClasses() {
  static const bool done = [] {
    RegisterGraphicsClasses();
    RegisterColorIdents();
    RegisterCursorIdents();
    RegisterClasses({&TControl::Class, &TWinControl::Class, &TGraphicControl::Class,
                     &TCustomControl::Class, &TScrollingWinControl::Class, &TScrollBox::Class,
                     &TCustomFrame::Class, &TFrame::Class, &TCustomPanel::Class, &TPanel::Class,
                     &TSizeConstraints::Class, &TMargins::Class, &TPadding::Class,
                     &TTouchManager::Class});
    return true;
  }();
  (void)done;
}

}  // namespace vcl
