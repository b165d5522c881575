// The control classes: TControl (a rectangle in a parent with font, colour, text, mouse
// handling and scaling), TWinControl (a control with a window of its own that holds child
// controls, lays them out, takes the focus and the keyboard), TGraphicControl (painted by its
// parent), TCustomControl (a window that paints itself on a canvas), the scrolling containers
// (TScrollingWinControl, TScrollBox, TFrame) and the simple panel (TCustomPanel, TPanel).
//
// Messages. Every control handles messages in one chain: Perform(msg) calls WindowProc (a
// replaceable delegate, WndProc by default); WndProc pre-processes mouse and key input and
// calls Dispatch, which hands each message the class knows to its handler and the rest to
// DefaultHandler. A subclass handles a message by overriding Dispatch (or WndProc), acting on
// its messages and passing everything else to the base class:
//
//   void TMyControl::Dispatch(TMessage& m) {
//     if (m.Msg == CM_MOUSEENTER) { ...; }
//     TCustomControl::Dispatch(m);   // or not, to swallow it
//   }
//
// A windowed control's window routes every message of the window manager through
// WindowProc, so Perform and SendMessage reach the same code. DefaultHandler of a windowed
// control calls the window's default procedure (DefWindowProcW, or the procedure of the system
// class it subclasses).
#pragma once
#include <memory>
#include <vector>

#include "host/classes/Component.h"
#include "host/classes/ControlEnums.h"
#include "host/graphics/Canvas.h"
#include "host/vcl/ControlMessages.h"
#include "host/vcl/InputTypes.h"
#include "host/win/WinUser.h"

namespace vcl {

class TControl;
class TWinControl;
class TPopupMenu;  // host/vcl/Menus.h
class TDragObject;  // host/vcl/DragDrop.h
class TDragDockObject;
class TTouchManager;  // host/vcl/Touch.h
struct TGestureEventInfo;

// ---- enumerations and sets -------------------------------------------------------------------

enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient, alCustom };
constexpr TEnumNames EnumNames(TAlign) {
  return {u"TAlign", u"alNone alTop alBottom alLeft alRight alClient alCustom"};
}
using TAlignSet = TSet<TAlign>;

enum TAnchorKind { akLeft, akTop, akRight, akBottom };
constexpr TEnumNames EnumNames(TAnchorKind) {
  return {u"TAnchorKind", u"akLeft akTop akRight akBottom"};
}
using TAnchors = TSet<TAnchorKind>;
inline constexpr TAnchors DefaultAnchors{akLeft, akTop};

enum TStyleElement { seFont, seClient, seBorder };
constexpr TEnumNames EnumNames(TStyleElement) {
  return {u"TStyleElement", u"seFont seClient seBorder"};
}
using TStyleElements = TSet<TStyleElement>;
inline constexpr TStyleElements AllStyleElements{seFont, seClient, seBorder};

enum TBiDiMode { bdLeftToRight, bdRightToLeft, bdRightToLeftNoAlign, bdRightToLeftReadingOnly };
constexpr TEnumNames EnumNames(TBiDiMode) {
  return {u"TBiDiMode",
          u"bdLeftToRight bdRightToLeft bdRightToLeftNoAlign bdRightToLeftReadingOnly"};
}

enum TMouseButton { mbLeft, mbRight, mbMiddle };
constexpr TEnumNames EnumNames(TMouseButton) {
  return {u"TMouseButton", u"mbLeft mbRight mbMiddle"};
}

// The shift state of a mouse message's MK_ flags (plus Alt from the keyboard).
TShiftState KeysToShiftState(WORD keys);
// The shift state of a key message's key data (Alt from bit 29, Shift and Ctrl from the
// keyboard).
TShiftState KeyDataToShiftState(LPARAM keyData);
// The shift state of the keyboard and mouse buttons now.
TShiftState KeyboardStateToShiftState();

enum TControlStyleItem {
  csAcceptsControls, csCaptureMouse, csDesignInteractive, csClickEvents, csFramed, csSetCaption,
  csOpaque, csDoubleClicks, csFixedWidth, csFixedHeight, csNoDesignVisible, csReplicatable,
  csNoStdEvents, csDisplayDragImage, csReflector, csActionClient, csMenuEvents,
  csNeedsBorderPaint, csParentBackground, csPannable, csAlignWithMargins, csGestures,
  csPaintBlackOpaqueOnGlass, csOverrideStylePaint, csNeedsDesignDisabledState
};
constexpr TEnumNames EnumNames(TControlStyleItem) {
  return {u"TControlStyleItem",
          u"csAcceptsControls csCaptureMouse csDesignInteractive csClickEvents csFramed "
          u"csSetCaption csOpaque csDoubleClicks csFixedWidth csFixedHeight csNoDesignVisible "
          u"csReplicatable csNoStdEvents csDisplayDragImage csReflector csActionClient "
          u"csMenuEvents csNeedsBorderPaint csParentBackground csPannable csAlignWithMargins "
          u"csGestures csPaintBlackOpaqueOnGlass csOverrideStylePaint "
          u"csNeedsDesignDisabledState"};
}
using TControlStyle = TSet<TControlStyleItem>;

enum TControlStateItem {
  csLButtonDown, csClicked, csPalette, csReadingState, csAlignmentNeeded, csFocusing, csCreating,
  csPaintCopy, csCustomPaint, csDestroyingHandle, csDocking, csDesignerHide, csPanning,
  csRecreating, csAligning, csGlassPaint, csPrintClient
};
constexpr TEnumNames EnumNames(TControlStateItem) {
  return {u"TControlStateItem",
          u"csLButtonDown csClicked csPalette csReadingState csAlignmentNeeded csFocusing "
          u"csCreating csPaintCopy csCustomPaint csDestroyingHandle csDocking csDesignerHide "
          u"csPanning csRecreating csAligning csGlassPaint csPrintClient"};
}
using TControlState = TSet<TControlStateItem>;

enum TVerticalAlignment { taAlignTop, taAlignBottom, taVerticalCenter };
constexpr TEnumNames EnumNames(TVerticalAlignment) {
  return {u"TVerticalAlignment", u"taAlignTop taAlignBottom taVerticalCenter"};
}

// Border styles of windows; scroll boxes and panels use bsNone and bsSingle (TBorderStyle).
enum TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
constexpr TEnumNames EnumNames(TFormBorderStyle) {
  return {u"TFormBorderStyle", u"bsNone bsSingle bsSizeable bsDialog bsToolWindow bsSizeToolWin"};
}
using TBorderStyle = TFormBorderStyle;

enum TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };
constexpr TEnumNames EnumNames(TBevelCut) {
  return {u"TBevelCut", u"bvNone bvLowered bvRaised bvSpace"};
}
using TPanelBevel = TBevelCut;
using TBevelWidth = int;

enum TScrollBarKind { sbHorizontal, sbVertical };
constexpr TEnumNames EnumNames(TScrollBarKind) {
  return {u"TScrollBarKind", u"sbHorizontal sbVertical"};
}

// Drag and drop between controls (host/vcl/DragDrop.h).
enum TDragMode { dmManual, dmAutomatic };
constexpr TEnumNames EnumNames(TDragMode) { return {u"TDragMode", u"dmManual dmAutomatic"}; }
enum TDragKind { dkDrag, dkDock };
constexpr TEnumNames EnumNames(TDragKind) { return {u"TDragKind", u"dkDrag dkDock"}; }
enum TDragState { dsDragEnter, dsDragLeave, dsDragMove };
constexpr TEnumNames EnumNames(TDragState) {
  return {u"TDragState", u"dsDragEnter dsDragLeave dsDragMove"};
}
// The answer to a mouse press on an inactive window; the values are the MA_ results
// (maDefault: the window manager's default).
enum TMouseActivate { maDefault, maActivate, maActivateAndEat, maNoActivate, maNoActivateAndEat };
constexpr TEnumNames EnumNames(TMouseActivate) {
  return {u"TMouseActivate",
          u"maDefault maActivate maActivateAndEat maNoActivate maNoActivateAndEat"};
}

// ---- cursors ----------------------------------------------------------------------------------
// Cursor identifiers, written in window descriptions by name ("crHandPoint").
using TCursor = Integer;
constexpr TCursor crDefault = 0;
constexpr TCursor crNone = -1;
constexpr TCursor crArrow = -2;
constexpr TCursor crCross = -3;
constexpr TCursor crIBeam = -4;
constexpr TCursor crSizeNESW = -6;
constexpr TCursor crSizeNS = -7;
constexpr TCursor crSizeNWSE = -8;
constexpr TCursor crSizeWE = -9;
constexpr TCursor crUpArrow = -10;
constexpr TCursor crHourGlass = -11;
constexpr TCursor crDrag = -12;
constexpr TCursor crNoDrop = -13;
constexpr TCursor crHSplit = -14;
constexpr TCursor crVSplit = -15;
constexpr TCursor crMultiDrag = -16;
constexpr TCursor crSQLWait = -17;
constexpr TCursor crNo = -18;
constexpr TCursor crAppStart = -19;
constexpr TCursor crHelp = -20;
constexpr TCursor crHandPoint = -21;
constexpr TCursor crSizeAll = -22;
constexpr TCursor crSize = crSizeAll;
// The window-manager cursor of a cursor identifier: the resolver set with
// SetCursorResolver (the screen object's cursor table) when there is one, else the standard
// cursor (crDefault and unknown values give the arrow, crNone no cursor).
HCURSOR CursorHandle(TCursor cursor);
using TCursorResolver = HCURSOR (*)(TCursor cursor);
void SetCursorResolver(TCursorResolver resolver);
void RegisterCursorIdents();

// ---- events ------------------------------------------------------------------------------------
using TWndMethod = TEvent<void(TMessage& Message)>;
using TMouseEvent = TEvent<void(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TMouseMoveEvent = TEvent<void(TObject* Sender, TShiftState Shift, int X, int Y)>;
using TMouseWheelEvent =
    TEvent<void(TObject* Sender, TShiftState Shift, int WheelDelta, TPoint MousePos, bool& Handled)>;
using TMouseWheelUpDownEvent =
    TEvent<void(TObject* Sender, TShiftState Shift, TPoint MousePos, bool& Handled)>;
using TKeyEvent = TEvent<void(TObject* Sender, Word& Key, TShiftState Shift)>;
using TKeyPressEvent = TEvent<void(TObject* Sender, Char& Key)>;
using TCanResizeEvent = TEvent<void(TObject* Sender, int& NewWidth, int& NewHeight, bool& Resize)>;
using TConstrainedResizeEvent =
    TEvent<void(TObject* Sender, int& MinWidth, int& MinHeight, int& MaxWidth, int& MaxHeight)>;
using TContextPopupEvent = TEvent<void(TObject* Sender, TPoint MousePos, bool& Handled)>;
using TStartDragEvent = TEvent<void(TObject* Sender, TDragObject*& DragObject)>;
using TDragOverEvent = TEvent<void(TObject* Sender, TObject* Source, int X, int Y,
                                   TDragState State, bool& Accept)>;
using TDragDropEvent = TEvent<void(TObject* Sender, TObject* Source, int X, int Y)>;
using TEndDragEvent = TEvent<void(TObject* Sender, TObject* Target, int X, int Y)>;
using TMouseActivateEvent =
    TEvent<void(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y,
                int HitTest, TMouseActivate& MouseActivate)>;
using TStartDockEvent = TEvent<void(TObject* Sender, TDragDockObject*& DragObject)>;
using TDockDropEvent = TEvent<void(TObject* Sender, TDragDockObject* Source, int X, int Y)>;
using TDockOverEvent = TEvent<void(TObject* Sender, TDragDockObject* Source, int X, int Y,
                                   TDragState State, bool& Accept)>;
using TUnDockEvent =
    TEvent<void(TObject* Sender, TControl* Client, TWinControl* NewTarget, bool& Allow)>;
using TGetSiteInfoEvent = TEvent<void(TObject* Sender, TControl* DockClient, TRect& InfluenceRect,
                                      TPoint MousePos, bool& CanDock)>;
using TGestureEvent =
    TEvent<void(TObject* Sender, const TGestureEventInfo& EventInfo, bool& Handled)>;

// What alCustom placement is told about the control being placed.
struct TAlignInfo {
  std::vector<TControl*>* AlignList = nullptr;
  int ControlIndex = 0;
  TAlign Align = alNone;
  int Scratch = 0;
};
using TAlignInsertBeforeEvent = TEvent<bool(TWinControl* Sender, TControl* C1, TControl* C2)>;
using TAlignPositionEvent =
    TEvent<void(TWinControl* Sender, TControl* Control, int& NewLeft, int& NewTop, int& NewWidth,
                int& NewHeight, TRect& AlignRect, TAlignInfo AlignInfo)>;

// ---- size constraints, margins, padding ------------------------------------------------------

// Minimum and maximum width and height of a control (0: no limit), applied by SetBounds.
class TSizeConstraints : public TPersistent {
 public:
  static const TClass Class;
  const TClass* ClassType() const override { return &Class; }

  explicit TSizeConstraints(TControl* control = nullptr) : FControl(control) {}
  void Assign(TPersistent* source) override;
  TPersistent* GetOwner() const override;
  TControl* Control() const { return FControl; }

  int MaxHeight() const { return FMaxHeight; }
  void SetMaxHeight(int v);
  int MaxWidth() const { return FMaxWidth; }
  void SetMaxWidth(int v);
  int MinHeight() const { return FMinHeight; }
  void SetMinHeight(int v);
  int MinWidth() const { return FMinWidth; }
  void SetMinWidth(int v);
  // Sets all four at once with one change notification.
  void SetConstraints(int minWidth, int minHeight, int maxWidth, int maxHeight);

  const TNotifyEvent& OnChange() const { return FOnChange; }
  void SetOnChange(const TNotifyEvent& e) { FOnChange = e; }

 protected:
  virtual void Change();

 private:
  TControl* FControl;
  int FMaxHeight = 0, FMaxWidth = 0, FMinHeight = 0, FMinWidth = 0;
  TNotifyEvent FOnChange;
};

// Space kept around a control that AlignWithMargins (default 3 on each side).
class TMargins : public TPersistent {
 public:
  static const TClass Class;
  const TClass* ClassType() const override { return &Class; }

  explicit TMargins(TControl* control = nullptr);
  void Assign(TPersistent* source) override;
  TPersistent* GetOwner() const override;
  TControl* Control() const { return FControl; }

  int Left() const { return FLeft; }
  void SetLeft(int v);
  int Top() const { return FTop; }
  void SetTop(int v);
  int Right() const { return FRight; }
  void SetRight(int v);
  int Bottom() const { return FBottom; }
  void SetBottom(int v);
  void SetBounds(int left, int top, int right, int bottom);
  // The bounds of the control with the margins around it.
  int ExplicitWidth() const;
  int ExplicitHeight() const;
  // The margins in a rectangle's fields.
  TRect AsRect() const { return {FLeft, FTop, FRight, FBottom}; }
  // Scales every side by MulDiv(v, M, D).
  void Scale(int M, int D);

  const TNotifyEvent& OnChange() const { return FOnChange; }
  void SetOnChange(const TNotifyEvent& e) { FOnChange = e; }

  virtual int DefaultValue() const { return 3; }

 protected:
  // For TPadding: every side starts at `value`.
  TMargins(TControl* control, int value);
  virtual void Change();

 private:
  TControl* FControl;
  int FLeft, FTop, FRight, FBottom;
  TNotifyEvent FOnChange;
};

// Space a container keeps free inside its client area for aligned children (default 0).
class TPadding : public TMargins {
 public:
  static const TClass Class;
  const TClass* ClassType() const override { return &Class; }
  explicit TPadding(TControl* control = nullptr) : TMargins(control, 0) {}
  int DefaultValue() const override { return 0; }
};

// ---- TControlCanvas --------------------------------------------------------------------------
// A canvas on a control. Bound to a DC during painting; outside painting, using it asks the
// control for a DC of its own (a windowed control's window DC, or the parent's DC moved and
// clipped to a graphic control), released by FreeHandle.
class TControlCanvas : public TCanvas {
 public:
  static const TClass Class;
  const TClass* ClassType() const override { return &Class; }

  TControlCanvas() = default;
  ~TControlCanvas() override;
  TControl* Control() const { return FControl; }
  void SetControl(TControl* control);
  // Releases a DC the canvas asked the control for (not one bound with SetHandle).
  void FreeHandle();
  // Right-to-left reading in the text flags when the control reads right to left.
  void UpdateTextFlags();

 protected:
  void CreateHandle() override;

 private:
  TControl* FControl = nullptr;
  HDC FDeviceContext = nullptr;
  HWND FWindowHandle = nullptr;
};

// ---- TControl ----------------------------------------------------------------------------------
class TControl : public TComponent {
 public:
  static const TClass Class;
  const TClass* ClassType() const override { return &Class; }

  explicit TControl(TComponent* owner);
  ~TControl() override;
  void BeforeDestruction() override;

  // ---- tree ----
  TWinControl* Parent() const { return FParent; }
  virtual void SetParent(TWinControl* parent);
  // The outermost windowed control above this one (itself for a parentless windowed control).
  TWinControl* TopParent() const;
  bool HasParent() const override { return true; }
  TComponent* GetParentComponent() const override;
  void SetParentComponent(TComponent* value) override;

  // ---- bounds ----
  int Left() const { return FLeft; }
  void SetLeft(int v) { SetBounds(v, FTop, FWidth, FHeight); }
  int Top() const { return FTop; }
  void SetTop(int v) { SetBounds(FLeft, v, FWidth, FHeight); }
  int Width() const { return FWidth; }
  void SetWidth(int v) { SetBounds(FLeft, FTop, v, FHeight); }
  int Height() const { return FHeight; }
  void SetHeight(int v) { SetBounds(FLeft, FTop, FWidth, v); }
  TRect BoundsRect() const { return Bounds(FLeft, FTop, FWidth, FHeight); }
  void SetBoundsRect(const TRect& r) { SetBounds(r.Left, r.Top, r.Width(), r.Height()); }
  // The one place bounds change: constraints and auto-size applied, anchors recorded, the
  // parent asked to realign, OnResize raised.
  virtual void SetBounds(int left, int top, int width, int height);
  // The client area in client coordinates.
  TRect ClientRect() const { return GetClientRect(); }
  int ClientWidth() const { return ClientRect().Width(); }
  void SetClientWidth(int v);
  int ClientHeight() const { return ClientRect().Height(); }
  void SetClientHeight(int v);
  // The screen position of the client area's origin.
  TPoint ClientOrigin() const { return GetClientOrigin(); }
  TPoint ClientToScreen(TPoint p) const;
  TPoint ScreenToClient(TPoint p) const;
  TRect ClientToScreen(const TRect& r) const;
  TRect ScreenToClient(const TRect& r) const;
  // Between this control's client coordinates and an ancestor's (the parent when null).
  TPoint ClientToParent(TPoint p, TWinControl* ancestor = nullptr) const;
  TPoint ParentToClient(TPoint p, TWinControl* ancestor = nullptr) const;

  // ---- layout ----
  TAlign Align() const { return FAlign; }
  void SetAlign(TAlign v);
  TAnchors Anchors() const { return FAnchors; }
  void SetAnchors(TAnchors v);
  TSizeConstraints* Constraints() const { return FConstraints.get(); }
  void SetConstraints(TSizeConstraints* v) { FConstraints->Assign(v); }
  TMargins* Margins() const { return FMargins.get(); }
  void SetMargins(TMargins* v) { FMargins->Assign(v); }
  bool AlignWithMargins() const { return FAlignWithMargins; }
  void SetAlignWithMargins(bool v);
  bool AutoSize() const { return FAutoSize; }
  virtual void SetAutoSize(bool v);
  // Re-applies AutoSize (and the constraints) to the current bounds.
  virtual void AdjustSize();
  // Tells the parent to realign its children because of this control.
  virtual void RequestAlign();

  // ---- visibility and state ----
  bool Visible() const { return FVisible; }
  virtual void SetVisible(bool v);
  void Show() { SetVisible(true); }
  void Hide() { SetVisible(false); }
  bool Enabled() const { return GetEnabled(); }
  void SetEnabled(bool v) { SetEnabledValue(v); }
  // Visible, and every parent showing (a parentless control: visible).
  virtual bool IsShowing() const;
  TControlStyle ControlStyle() const { return FControlStyle; }
  void SetControlStyle(TControlStyle v) { FControlStyle = v; }
  TControlState ControlState() const { return FControlState; }
  void SetControlState(TControlState v) { FControlState = v; }

  // ---- appearance ----
  TFont* Font() const { return FFont.get(); }
  void SetFont(TFont* v) { FFont->Assign(v); }
  TColor Color() const { return FColor; }
  void SetColor(TColor v);
  bool ParentFont() const { return FParentFont; }
  void SetParentFont(bool v);
  bool ParentColor() const { return FParentColor; }
  void SetParentColor(bool v);
  const String& StyleName() const { return FStyleName; }
  void SetStyleName(StringView v);
  TStyleElements StyleElements() const { return FStyleElements; }
  void SetStyleElements(TStyleElements v);
  TCursor Cursor() const { return FCursor; }
  void SetCursor(TCursor v);

  // ---- text ----
  String Caption() const { return GetText(); }
  void SetCaption(StringView v) { SetText(v); }
  String Text() const { return GetText(); }
  // Stores the text and sends CM_TEXTCHANGED when it changed.
  void SetText(StringView v);
  int GetTextLen() const { return int(GetText().size()); }

  // ---- hints, popup menu, reading order ----
  const String& Hint() const { return FHint; }
  void SetHint(StringView v) { FHint = String(v); }
  bool ShowHint() const { return FShowHint; }
  void SetShowHint(bool v);
  bool ParentShowHint() const { return FParentShowHint; }
  void SetParentShowHint(bool v);
  // The popup menu (host/vcl/Menus.h), not owned; cleared when the menu is freed. Callers
  // include Menus.h; the header only forward-declares the class.
  template <class M = TPopupMenu>
  M* PopupMenu() const {
    return static_cast<M*>(FPopupMenu);
  }
  template <class M = TPopupMenu>
  void SetPopupMenu(M* v) {
    SetPopupMenuComponent(static_cast<TComponent*>(v));
  }
  TComponent* PopupMenuComponent() const { return FPopupMenu; }
  // The component must be a TPopupMenu (EInvalidOperation names the component otherwise).
  void SetPopupMenuComponent(TComponent* menu);
  TBiDiMode BiDiMode() const { return FBiDiMode; }
  void SetBiDiMode(TBiDiMode v);
  bool ParentBiDiMode() const { return FParentBiDiMode; }
  void SetParentBiDiMode(bool v);
  bool IsRightToLeft() const { return FBiDiMode != bdLeftToRight; }
  bool UseRightToLeftAlignment() const { return FBiDiMode == bdRightToLeft; }
  bool UseRightToLeftReading() const { return FBiDiMode != bdLeftToRight; }
  bool UseRightToLeftScrollBar() const {
    return FBiDiMode == bdRightToLeft || FBiDiMode == bdRightToLeftNoAlign;
  }
  // DT_ flags with the control's reading order (and, when it aligns right to left, left and
  // right alignment swapped).
  UINT DrawTextBiDiModeFlags(UINT flags) const;
  UINT DrawTextBiDiModeFlagsReadingOnly() const;

  // ---- messages ----
  LRESULT Perform(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);
  const TWndMethod& WindowProc() const { return FWindowProc; }
  // A replacement window procedure; the control's own is WndProc (nullptr restores it).
  void SetWindowProc(const TWndMethod& proc);
  // Hands a message to its handler, or to DefaultHandler.
  virtual void Dispatch(TMessage& message);
  // What happens to messages nobody handles: text messages of a graphic control; a windowed
  // control's window default procedure.
  virtual void DefaultHandler(TMessage& message);

  // ---- painting ----
  virtual void Invalidate();
  virtual void Repaint();
  void Refresh() { Repaint(); }
  virtual void Update();
  void BringToFront() { SetZOrder(true); }
  void SendToBack() { SetZOrder(false); }

  // ---- mouse ----
  bool MouseCapture() const;
  void SetMouseCapture(bool v);
  bool MouseInClient() const { return FMouseInClient; }
  // Programmatic click (OnClick).
  virtual void Click();

  // ---- drag and drop (host/vcl/DragDrop.cpp) ----
  // dmAutomatic: a left press starts a drag (BeginDrag(false)).
  TDragMode DragMode() const { return FDragMode; }
  void SetDragMode(TDragMode v) { FDragMode = v; }
  // Docking is not built: dkDock drags like dkDrag (the property is kept for stored windows).
  TDragKind DragKind() const { return FDragKind; }
  void SetDragKind(TDragKind v) { FDragKind = v; }
  // The cursor over a target that accepts the drag (crNoDrop elsewhere).
  TCursor DragCursor() const { return FDragCursor; }
  void SetDragCursor(TCursor v) { FDragCursor = v; }
  // Starts dragging this control: OnStartDrag now, and the drag proper at once (immediate) or
  // when the mouse has moved `threshold` pixels (< 0: the screen's DragThreshold) while the
  // button is held. The mouse is captured until the drag ends.
  void BeginDrag(bool immediate, int threshold = -1);
  // Ends this control's drag: dropped on the target when `drop` and the target accepts,
  // cancelled otherwise; OnEndDrag is told the target (nullptr when cancelled).
  void EndDrag(bool drop);
  bool Dragging() const;
  // Touch and gesture settings, kept for stored windows.
  TTouchManager* Touch() const { return FTouch.get(); }
  void SetTouch(TTouchManager* v);

  // ---- scaling ----
  int CurrentPPI() const { return FCurrentPPI; }
  // CurrentPPI / 96.
  double ScaleFactor() const { return FCurrentPPI / 96.0; }
  bool Scaled() const { return FScaled; }
  void SetScaled(bool v) { FScaled = v; }
  // Rescales to a new density: ChangeScale(NewPPI, CurrentPPI, true).
  virtual void ScaleForPPI(int newPPI);
  // A value given at 96 DPI at the control's density.
  int ScaleValue(int value) const { return MulDiv(value, FCurrentPPI, 96); }

  // ---- components ----
  void SetName(StringView value) override;
  void Loaded() override;
  void ReadState(TReader& reader) override;

  // ---- events ----
  const TNotifyEvent& OnClick() const { return FOnClick; }
  void SetOnClick(const TNotifyEvent& e) { FOnClick = e; }
  const TNotifyEvent& OnDblClick() const { return FOnDblClick; }
  void SetOnDblClick(const TNotifyEvent& e) { FOnDblClick = e; }
  const TMouseEvent& OnMouseDown() const { return FOnMouseDown; }
  void SetOnMouseDown(const TMouseEvent& e) { FOnMouseDown = e; }
  const TMouseMoveEvent& OnMouseMove() const { return FOnMouseMove; }
  void SetOnMouseMove(const TMouseMoveEvent& e) { FOnMouseMove = e; }
  const TMouseEvent& OnMouseUp() const { return FOnMouseUp; }
  void SetOnMouseUp(const TMouseEvent& e) { FOnMouseUp = e; }
  const TNotifyEvent& OnMouseEnter() const { return FOnMouseEnter; }
  void SetOnMouseEnter(const TNotifyEvent& e) { FOnMouseEnter = e; }
  const TNotifyEvent& OnMouseLeave() const { return FOnMouseLeave; }
  void SetOnMouseLeave(const TNotifyEvent& e) { FOnMouseLeave = e; }
  const TMouseWheelEvent& OnMouseWheel() const { return FOnMouseWheel; }
  void SetOnMouseWheel(const TMouseWheelEvent& e) { FOnMouseWheel = e; }
  const TMouseWheelUpDownEvent& OnMouseWheelDown() const { return FOnMouseWheelDown; }
  void SetOnMouseWheelDown(const TMouseWheelUpDownEvent& e) { FOnMouseWheelDown = e; }
  const TMouseWheelUpDownEvent& OnMouseWheelUp() const { return FOnMouseWheelUp; }
  void SetOnMouseWheelUp(const TMouseWheelUpDownEvent& e) { FOnMouseWheelUp = e; }
  const TNotifyEvent& OnResize() const { return FOnResize; }
  void SetOnResize(const TNotifyEvent& e) { FOnResize = e; }
  const TCanResizeEvent& OnCanResize() const { return FOnCanResize; }
  void SetOnCanResize(const TCanResizeEvent& e) { FOnCanResize = e; }
  const TConstrainedResizeEvent& OnConstrainedResize() const { return FOnConstrainedResize; }
  void SetOnConstrainedResize(const TConstrainedResizeEvent& e) { FOnConstrainedResize = e; }
  const TContextPopupEvent& OnContextPopup() const { return FOnContextPopup; }
  void SetOnContextPopup(const TContextPopupEvent& e) { FOnContextPopup = e; }
  const TStartDragEvent& OnStartDrag() const { return FOnStartDrag; }
  void SetOnStartDrag(const TStartDragEvent& e) { FOnStartDrag = e; }
  const TDragOverEvent& OnDragOver() const { return FOnDragOver; }
  void SetOnDragOver(const TDragOverEvent& e) { FOnDragOver = e; }
  const TDragDropEvent& OnDragDrop() const { return FOnDragDrop; }
  void SetOnDragDrop(const TDragDropEvent& e) { FOnDragDrop = e; }
  const TEndDragEvent& OnEndDrag() const { return FOnEndDrag; }
  void SetOnEndDrag(const TEndDragEvent& e) { FOnEndDrag = e; }
  const TMouseActivateEvent& OnMouseActivate() const { return FOnMouseActivate; }
  void SetOnMouseActivate(const TMouseActivateEvent& e) { FOnMouseActivate = e; }

  // The drop hooks of a drag target (OnDragOver: accepted when the event is assigned and lets
  // it; OnDragDrop), in the target's client coordinates. Source is the dragged control, or the
  // drag object OnStartDrag made.
  virtual void DragOver(TObject* source, int x, int y, TDragState state, bool& accept);
  virtual void DragDrop(TObject* source, int x, int y);

 protected:
  // The control's own window procedure: mouse capture and click bookkeeping, then Dispatch.
  virtual void WndProc(TMessage& message);
  void Notification(TComponent* component, TOperation operation) override;

  virtual String GetText() const { return FText; }
  // Stores the text without notification (windowed controls also set their window's text).
  virtual void SetTextValue(StringView v);
  virtual bool GetEnabled() const { return FEnabled; }
  virtual void SetEnabledValue(bool v);
  virtual TRect GetClientRect() const { return {0, 0, FWidth, FHeight}; }
  virtual TPoint GetClientOrigin() const;
  // A DC for drawing on the control outside painting, with the window it belongs to.
  virtual HDC GetDeviceContext(HWND& window);
  virtual void SetZOrder(bool topMost);
  virtual void VisibleChanging() {}

  // ---- sizing hooks ----
  // Whether the control may take the new size (OnCanResize).
  virtual bool CanResize(int& newWidth, int& newHeight);
  // The size AutoSize gives; false keeps the size unchanged.
  virtual bool CanAutoSize(int& newWidth, int& newHeight);
  // Limits beyond Constraints (OnConstrainedResize).
  virtual void ConstrainedResize(int& minWidth, int& minHeight, int& maxWidth, int& maxHeight);
  // Applies CanResize, AutoSize and the constraints; false refuses the change.
  bool CheckNewSize(int& newWidth, int& newHeight);
  virtual void Resize();
  virtual void ConstraintsChanged(TObject* sender);
  virtual void MarginsChanged(TObject* sender);
  // Stores new bounds without moving a window (windowed controls call it after the window
  // moved); records the anchors.
  void UpdateBoundsRect(const TRect& r);
  void UpdateAnchorRules();
  // Invalidates the control's area in the parent (graphic controls).
  void InvalidateControl(bool isVisible, bool isOpaque);

  // Scales bounds, constraints, margins and (unless ParentFont) the font by MulDiv(v, M, D).
  virtual void ChangeScale(int M, int D, bool isDpiChange);
  // The bounds part of ChangeScale.
  virtual void ScaleControlBounds(int M, int D);

  // ---- mouse hooks ----
  virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
  virtual void MouseMove(TShiftState shift, int x, int y);
  virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
  virtual void DblClick();
  virtual bool DoMouseWheel(TShiftState shift, int wheelDelta, TPoint mousePos);
  virtual bool DoMouseWheelDown(TShiftState shift, TPoint mousePos);
  virtual bool DoMouseWheelUp(TShiftState shift, TPoint mousePos);
  virtual void DoContextPopup(TPoint mousePos, bool& handled);
  // OnStartDrag; a drag object left null is made by the drag machinery.
  virtual void DoStartDrag(TDragObject*& dragObject);
  // OnEndDrag: target nullptr when the drag was cancelled.
  virtual void DoEndDrag(TObject* target, int x, int y);
  // OnMouseActivate, at a client point; maDefault leaves the answer to the parent window.
  virtual TMouseActivate MouseActivate(TMouseButton button, TShiftState shift, int x, int y,
                                       int hitTest);

  // ---- message handlers (Dispatch calls them) ----
  virtual void WMMouseButton(TMessage& message);  // WM_xBUTTONDOWN/UP/DBLCLK
  virtual void WMMouseMove(TMessage& message);
  virtual void WMMouseWheel(TMessage& message);
  virtual void WMContextMenu(TMessage& message);
  virtual void WMCancelMode(TMessage& message);
  virtual void CMMouseWheel(TMessage& message);
  virtual void CMMouseEnter(TMessage& message);
  virtual void CMMouseLeave(TMessage& message);
  virtual void CMEnabledChanged(TMessage& message);
  virtual void CMVisibleChanged(TMessage& message);
  virtual void CMFontChanged(TMessage& message);
  virtual void CMColorChanged(TMessage& message);
  virtual void CMTextChanged(TMessage& message);
  virtual void CMParentFontChanged(TMessage& message);
  virtual void CMParentColorChanged(TMessage& message);
  virtual void CMParentShowHintChanged(TMessage& message);
  virtual void CMParentBiDiModeChanged(TMessage& message);
  virtual void CMHitTest(TMessage& message);

  void FontChanged(TObject* sender);
  // Takes the parent's font, colour, show-hint and reading order where the Parent flags ask.
  void UpdateParentProperties();
  // True while the font is being set from the parent (so ParentFont stays on).
  bool FUpdatingParentFont = false;

  // State.
  TWinControl* FParent = nullptr;
  int FLeft = 0, FTop = 0, FWidth = 0, FHeight = 0;
  TAlign FAlign = alNone;
  TAnchors FAnchors = DefaultAnchors;
  TPoint FAnchorRules;
  TPoint FOriginalParentSize;
  bool FAnchorMove = false;
  std::unique_ptr<TSizeConstraints> FConstraints;
  std::unique_ptr<TMargins> FMargins;
  bool FAlignWithMargins = false;
  bool FAutoSize = false;
  bool FVisible = true;
  bool FEnabled = true;
  std::unique_ptr<TFont> FFont;
  TColor FColor = clWindow;
  bool FParentFont = true;
  bool FParentColor = true;
  String FText;
  String FHint;
  bool FShowHint = false;
  bool FParentShowHint = true;
  TCursor FCursor = crDefault;
  TComponent* FPopupMenu = nullptr;
  TBiDiMode FBiDiMode = bdLeftToRight;
  bool FParentBiDiMode = true;
  String FStyleName;
  TStyleElements FStyleElements = AllStyleElements;
  TControlStyle FControlStyle;
  TControlState FControlState;
  TWndMethod FWindowProc;
  int FCurrentPPI = 96;
  bool FScaled = true;
  bool FMouseInClient = false;
  TDragMode FDragMode = dmManual;
  TDragKind FDragKind = dkDrag;
  TCursor FDragCursor = crDrag;
  std::unique_ptr<TTouchManager> FTouch;

  TNotifyEvent FOnClick, FOnDblClick, FOnMouseEnter, FOnMouseLeave, FOnResize;
  TMouseEvent FOnMouseDown, FOnMouseUp;
  TMouseMoveEvent FOnMouseMove;
  TMouseWheelEvent FOnMouseWheel;
  TMouseWheelUpDownEvent FOnMouseWheelDown, FOnMouseWheelUp;
  TCanResizeEvent FOnCanResize;
  TConstrainedResizeEvent FOnConstrainedResize;
  TContextPopupEvent FOnContextPopup;
  TStartDragEvent FOnStartDrag;
  TDragOverEvent FOnDragOver;
  TDragDropEvent FOnDragDrop;
  TEndDragEvent FOnEndDrag;
  TMouseActivateEvent FOnMouseActivate;
  // Stored for windows that name them; docking is not built, so they are never raised.
  TStartDockEvent FOnStartDock;
  TEndDragEvent FOnEndDock;
  TGestureEvent FOnGesture;

 private:
  friend class TWinControl;
  friend class TControlCanvas;
  friend class TDragSession;
};

// ---- TWinControl -------------------------------------------------------------------------------

// What CreateParams fills in and CreateWnd creates the window from.
struct TCreateParams {
  String Caption;
  DWORD Style = 0;
  DWORD ExStyle = 0;
  int X = 0, Y = 0, Width = 0, Height = 0;
  HWND WndParent = nullptr;
  void* Param = nullptr;
  WNDCLASSW WindowClass;
  // The window class name (by default the control's class name).
  String WinClassName;
};

class TWinControl : public TControl {
 public:
  static const TClass Class;
  const TClass* ClassType() const override { return &Class; }

  explicit TWinControl(TComponent* owner);
  ~TWinControl() override;
  void BeforeDestruction() override;

  // ---- the window ----
  // The window, created on first use (with the windows of the parents above it).
  HWND Handle();
  HWND HandleIfAllocated() const { return FHandle; }
  bool HandleAllocated() const { return FHandle != nullptr; }
  void HandleNeeded();
  // A window that is not a control, used as the parent of a parentless control's window.
  HWND ParentWindow() const { return FParentWindow; }
  void SetParentWindow(HWND v);
  // The window's default procedure (what DefaultHandler calls).
  WNDPROC DefWndProc() const { return FDefWndProc; }
  // Destroys and re-creates the window keeping bounds, text, focus and the children's windows
  // (at once when the window exists; nothing when it does not).
  void RecreateWnd();
  // Windows of the parent chain are showing and so is this control.
  bool Showing() const { return FShowing; }
  bool IsShowing() const override;

  void SetParent(TWinControl* parent) override;

  // ---- children ----
  // Every child control: graphic children first, then windowed children, each in z-order
  // (bottom first).
  int ControlCount() const { return int(FControls.size() + FWinControls.size()); }
  TControl* Controls(int index) const;
  int WinControlCount() const { return int(FWinControls.size()); }
  TWinControl* WinControls(int index) const { return FWinControls.at(size_t(index)); }
  void InsertControl(TControl* control);
  void RemoveControl(TControl* control);
  bool ContainsControl(TControl* control) const;  // a descendant, or this control
  // The visible (or any, with allowDisabled) child at a client point; windowed children only
  // with allowWinControls; grandchildren with allLevels. The topmost wins.
  TControl* ControlAtPos(TPoint pos, bool allowDisabled, bool allowWinControls = false,
                         bool allLevels = false) const;
  TControl* FindChildControl(StringView controlName) const;
  // Sends the message to every child until one answers with a non-zero result.
  void Broadcast(TMessage& message);
  // Sends the message (wParam 0, lParam 0) to every child.
  void NotifyControls(UINT msg);

  // ---- focus and tab order ----
  int TabOrder() const;
  void SetTabOrder(int v);
  bool DockSite() const { return FDockSite; }
  void SetDockSite(bool v) { FDockSite = v; }
  bool TabStop() const { return FTabStop; }
  void SetTabStop(bool v);
  // The windowed descendants in tab order, depth first.
  void GetTabOrderList(std::vector<TWinControl*>& list);
  // The next (or previous) focusable descendant after `current` in tab order, wrapping;
  // checkTabStop requires TabStop, checkParent requires this control as the parent.
  TWinControl* FindNextControl(TWinControl* current, bool goForward, bool checkTabStop,
                               bool checkParent);
  // Focuses the next control (FindNextControl with checkParent = !checkTabStop).
  void SelectNext(TWinControl* current, bool goForward, bool checkTabStop);
  void SelectFirst();
  // Visible and enabled, as is every parent.
  virtual bool CanFocus() const;
  virtual void SetFocus();
  virtual bool Focused() const;
  // The windowed descendant of this root that received the focus last.
  TWinControl* EnteredControl() const { return FEnteredControl; }
  // Called on the root when a descendant receives the focus: CM_EXIT to the controls the
  // focus leaves (innermost first), CM_ENTER to the ones it enters (outermost first), then
  // CM_FOCUSCHANGED (lParam the control), which is broadcast to every child. A form overrides
  // it to track its active control.
  virtual bool SetFocusedControl(TWinControl* control);
  // Whether key messages go to this root first (a form's KeyPreview).
  virtual bool KeyPreviewEnabled() const { return false; }

  // ---- layout ----
  void DisableAlign();
  void EnableAlign();
  bool AlignDisabled() const { return FAlignLevel > 0; }
  void Realign();
  // Aligns the children, this control being the one whose change asked for it.
  void AlignControl(TControl* control);
  TPadding* Padding() const { return FPadding.get(); }
  void SetPadding(TPadding* v) { FPadding->Assign(v); }
  // Space between the client edge and the children of a container (not Padding).
  int BorderWidth() const { return FBorderWidth; }
  void SetBorderWidth(int v);
  // Moves every child by (dx, dy) and scrolls the window's pixels with them.
  virtual void ScrollBy(int deltaX, int deltaY);

  // ---- painting ----
  // Paints the control and its children (windowed ones too) into a DC at (x, y).
  void PaintTo(HDC dc, int x, int y);
  void PaintTo(TCanvas* canvas, int x, int y);
  bool DoubleBuffered() const { return FDoubleBuffered; }
  void SetDoubleBuffered(bool v);
  bool ParentDoubleBuffered() const { return FParentDoubleBuffered; }
  void SetParentDoubleBuffered(bool v);
  bool ParentBackground() const { return FControlStyle.Contains(csParentBackground); }
  virtual void SetParentBackground(bool v);
  TBrush* Brush() const { return FBrush.get(); }
  void Invalidate() override;
  void Repaint() override;
  void Update() override;
  // Fills a DC with what the parent shows beneath this control (ParentBackground).
  void DrawParentBackground(HDC dc);

  void SetBounds(int left, int top, int width, int height) override;
  void ScaleForPPI(int newPPI) override;

  // ---- components ----
  void GetChildren(const TGetChildProc& proc, TComponent* root) override;
  void SetChildOrder(TComponent* child, int order) override;
  void ReadState(TReader& reader) override;
  void Loaded() override;

  // ---- events ----
  const TNotifyEvent& OnEnter() const { return FOnEnter; }
  void SetOnEnter(const TNotifyEvent& e) { FOnEnter = e; }
  const TNotifyEvent& OnExit() const { return FOnExit; }
  void SetOnExit(const TNotifyEvent& e) { FOnExit = e; }
  const TKeyEvent& OnKeyDown() const { return FOnKeyDown; }
  void SetOnKeyDown(const TKeyEvent& e) { FOnKeyDown = e; }
  const TKeyPressEvent& OnKeyPress() const { return FOnKeyPress; }
  void SetOnKeyPress(const TKeyPressEvent& e) { FOnKeyPress = e; }
  const TKeyEvent& OnKeyUp() const { return FOnKeyUp; }
  void SetOnKeyUp(const TKeyEvent& e) { FOnKeyUp = e; }
  const TAlignInsertBeforeEvent& OnAlignInsertBefore() const { return FOnAlignInsertBefore; }
  void SetOnAlignInsertBefore(const TAlignInsertBeforeEvent& e) { FOnAlignInsertBefore = e; }
  const TAlignPositionEvent& OnAlignPosition() const { return FOnAlignPosition; }
  void SetOnAlignPosition(const TAlignPositionEvent& e) { FOnAlignPosition = e; }

  void Dispatch(TMessage& message) override;
  void DefaultHandler(TMessage& message) override;

 protected:
  void WndProc(TMessage& message) override;
  // The window's procedure: WindowProc, with exceptions handed to the exception handler.
  void MainWndProc(TMessage& message);
  void Notification(TComponent* component, TOperation operation) override;

  // ---- window creation ----
  // Style WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS (+ WS_VISIBLE, WS_DISABLED, WS_TABSTOP
  // as the control is), the bounds, the parent window, the window class (CS_VREDRAW |
  // CS_HREDRAW | CS_DBLCLKS, arrow cursor) named after the control class.
  virtual void CreateParams(TCreateParams& params);
  // Makes a system window class the control's base: its procedure becomes the default one.
  void CreateSubClass(TCreateParams& params, const Char* className);
  // Registers the class when needed and creates the window (EInvalidOperation naming the
  // control when a child window has no parent window).
  virtual void CreateWnd();
  virtual void CreateWindowHandle(const TCreateParams& params);
  // CreateWnd, then the children's windows, then the window's place in z-order.
  virtual void CreateHandle();
  // Keeps the text, then destroys the window.
  virtual void DestroyWnd();
  virtual void DestroyWindowHandle();
  // The children's windows, then this one.
  virtual void DestroyHandle();
  // Showing follows Visible and the parents; windows are shown or hidden.
  void UpdateShowing();
  void UpdateControlState();

  TRect GetClientRect() const override;
  TPoint GetClientOrigin() const override;
  HDC GetDeviceContext(HWND& window) override;
  void SetTextValue(StringView v) override;
  String GetText() const override;
  void SetZOrder(bool topMost) override;
  void SetEnabledValue(bool v) override;
  bool CanAutoSize(int& newWidth, int& newHeight) override;
  void ChangeScale(int M, int D, bool isDpiChange) override;

  // ---- layout hooks ----
  // The client area less padding and border width: where aligned children go.
  virtual void AdjustClientRect(TRect& rect);
  virtual void AlignControls(TControl* control, TRect& rect);
  // alCustom order and placement (OnAlignInsertBefore / OnAlignPosition).
  virtual bool CustomAlignInsertBefore(TControl* c1, TControl* c2);
  virtual void CustomAlignPosition(TControl* control, int& newLeft, int& newTop, int& newWidth,
                                   int& newHeight, TRect& alignRect, const TAlignInfo& info);
  virtual void ControlsAligned() {}
  virtual void PaddingChanged(TObject* sender);

  // ---- painting hooks ----
  // WM_PAINT: BeginPaint (or the DC in wParam), PaintWindow, PaintControls.
  void PaintHandler(TMessage& message);
  // Paints the window's own content; the base class lets the default procedure paint.
  virtual void PaintWindow(HDC dc);
  // Paints the visible graphic children (from `first` on, bottom first), each clipped to its
  // bounds with the DC origin at its top-left.
  void PaintControls(HDC dc, TControl* first);

  // ---- focus and keys ----
  virtual void DoEnter();
  virtual void DoExit();
  virtual void KeyDown(Word& key, TShiftState shift);
  virtual void KeyUp(Word& key, TShiftState shift);
  virtual void KeyPress(Char& key);
  // Key events; true when the key was used up (set to 0).
  bool DoKeyDown(TMessage& message);
  bool DoKeyUp(TMessage& message);
  bool DoKeyPress(TMessage& message);

  // ---- message handlers ----
  virtual void WMPaint(TMessage& message);
  virtual void WMEraseBkgnd(TMessage& message);
  virtual void WMPrintClient(TMessage& message);
  virtual void WMSize(TMessage& message);
  virtual void WMWindowPosChanged(TMessage& message);
  virtual void WMSetFocus(TMessage& message);
  virtual void WMKillFocus(TMessage& message);
  virtual void WMSetCursor(TMessage& message);
  virtual void WMMouseActivate(TMessage& message);
  virtual void WMMouseLeave(TMessage& message);
  virtual void WMKeyMessage(TMessage& message);   // WM_KEYDOWN/UP, WM_SYSKEYDOWN/UP, WM_CHAR
  virtual void WMReflected(TMessage& message);    // WM_COMMAND, WM_NOTIFY, WM_DRAWITEM ...
  virtual void WMNCDestroy(TMessage& message);
  virtual void CNKeyDown(TMessage& message);      // CN_KEYDOWN, CN_SYSKEYDOWN
  virtual void CNChar(TMessage& message);         // CN_CHAR, CN_SYSCHAR
  virtual void CMDialogKey(TMessage& message);
  virtual void CMDialogChar(TMessage& message);
  virtual void CMChildKey(TMessage& message);
  virtual void CMFocusChanged(TMessage& message);
  virtual void CMEnter(TMessage& message);
  virtual void CMExit(TMessage& message);
  virtual void CMRecreateWnd(TMessage& message);
  virtual void CMShowingChanged(TMessage& message);
  virtual void CMParentDoubleBufferedChanged(TMessage& message);
  void CMEnabledChanged(TMessage& message) override;
  void CMVisibleChanged(TMessage& message) override;
  void CMFontChanged(TMessage& message) override;
  void CMColorChanged(TMessage& message) override;
  void CMTextChanged(TMessage& message) override;
  void CMParentColorChanged(TMessage& message) override;
  void CMParentBiDiModeChanged(TMessage& message) override;

  // Mouse messages of the window meant for a graphic child (under the mouse, or capturing
  // it) go to that child; true when one took it.
  bool IsControlMouseMsg(TMessage& message);
  // Tracks which control of this window (itself or a graphic child) has the mouse and sends
  // CM_MOUSEENTER / CM_MOUSELEAVE when that changes.
  void UpdateMouseControl(TControl* now);

  HWND FHandle = nullptr;
  HWND FParentWindow = nullptr;
  WNDPROC FDefWndProc = nullptr;
  WNDPROC FObjectInstance = nullptr;
  std::vector<TControl*> FControls;       // graphic children, bottom first
  std::vector<TWinControl*> FWinControls;  // windowed children, bottom first
  std::vector<TWinControl*> FTabList;      // windowed children in tab order
  bool FTabStop = false;
  bool FShowing = false;
  int FAlignLevel = 0;
  int FBorderWidth = 0;
  std::unique_ptr<TPadding> FPadding;
  std::unique_ptr<TBrush> FBrush;
  bool FDoubleBuffered = false;
  bool FParentDoubleBuffered = true;
  TWinControl* FEnteredControl = nullptr;  // on the root: the control that has entered
  TControl* FMouseControl = nullptr;       // this control or a graphic child under the mouse
  bool FTrackingMouse = false;
  String FSavedText;                       // text kept while the window is re-created
  bool FFocusAfterRecreate = false;

  TNotifyEvent FOnEnter, FOnExit;
  TKeyEvent FOnKeyDown, FOnKeyUp;
  TKeyPressEvent FOnKeyPress;
  TAlignInsertBeforeEvent FOnAlignInsertBefore;
  TAlignPositionEvent FOnAlignPosition;
  // Docking is not built: DockSite and the docking events are stored, never used.
  bool FDockSite = false;
  TDockDropEvent FOnDockDrop;
  TDockOverEvent FOnDockOver;
  TGetSiteInfoEvent FOnGetSiteInfo;
  TUnDockEvent FOnUnDock;

 private:
  friend class TControl;
  friend LRESULT InitWndProc(HWND, UINT, WPARAM, LPARAM);
  void DoAlign(TAlign align, TControl* control, TRect& rect, std::vector<TControl*>& list);
  void AlignOne(TControl* control, TAlign align, TRect& rect, const TAlignInfo& info);
  void FixupTabList();
  void UpdateZOrderOf(TWinControl* child);
  HWND PrecedingWindow(TWinControl* child) const;
  WNDPROC FDeadInstance = nullptr;  // the procedure of a destroyed window, freed later
  int FTabOrderValue = -1;          // TabOrder as read, applied after loading
};

// ---- TGraphicControl ---------------------------------------------------------------------------
// A control without a window: its parent paints it (WM_PAINT with the parent's DC, origin at
// the control's top-left, clipped to it) and passes it the mouse.
class TGraphicControl : public TControl {
 public:
  static const TClass Class;
  const TClass* ClassType() const override { return &Class; }

  explicit TGraphicControl(TComponent* owner);
  ~TGraphicControl() override;
  TCanvas* Canvas() const { return FCanvas.get(); }

  void Dispatch(TMessage& message) override;

 protected:
  virtual void Paint() {}
  virtual void WMPaint(TMessage& message);

 private:
  std::unique_ptr<TControlCanvas> FCanvas;
};

// ---- TCustomControl ------------------------------------------------------------------------------
// A windowed control that paints itself: during WM_PAINT its Canvas is bound to the paint DC
// and Paint is called.
class TCustomControl : public TWinControl {
 public:
  static const TClass Class;
  const TClass* ClassType() const override { return &Class; }

  explicit TCustomControl(TComponent* owner);
  ~TCustomControl() override;
  TCanvas* Canvas() const { return FCanvas.get(); }

 protected:
  virtual void Paint() {}
  void PaintWindow(HDC dc) override;

 private:
  std::unique_ptr<TControlCanvas> FCanvas;
};

// ---- scrolling containers ----------------------------------------------------------------------

class TScrollingWinControl;

// One scroll bar of a scrolling container: the scrollable Range (content size), the Position
// (how far the content is scrolled), line Increment, and whether it may show.
class TControlScrollBar : public TPersistent {
 public:
  static const TClass Class;
  const TClass* ClassType() const override { return &Class; }

  TControlScrollBar(TScrollingWinControl* control, TScrollBarKind kind);
  void Assign(TPersistent* source) override;
  TPersistent* GetOwner() const override;

  TScrollBarKind Kind() const { return FKind; }
  int Increment() const { return FIncrement; }
  void SetIncrement(int v) { FIncrement = v; }
  int Margin() const { return FMargin; }
  void SetMargin(int v);
  int Position() const { return FPosition; }
  // Scrolls the content (clamped to 0 .. Range - client extent).
  void SetPosition(int v);
  int Range() const { return FRange; }
  void SetRange(int v);
  bool Tracking() const { return FTracking; }
  void SetTracking(bool v) { FTracking = v; }
  bool Visible() const { return FVisible; }
  void SetVisible(bool v);
  // Whether the bar is showing now (Visible and Range beyond the client extent).
  bool IsScrollBarVisible() const;
  // The largest Position.
  int MaxPosition() const;
  // The client extent the bar scrolls over.
  int ControlSize() const;
  // The Position the window manager's scroll bar shows.
  int ScrollPos() const { return FVisible ? FPosition : 0; }

 private:
  friend class TScrollingWinControl;
  void ScrollMessage(WORD code, int thumbPos);
  void Update();
  void SetRangeValue(int v);
  TScrollingWinControl* FControl;
  TScrollBarKind FKind;
  int FIncrement = 8;
  int FMargin = 0;
  int FPosition = 0;
  int FRange = 0;
  bool FTracking = false;
  bool FVisible = true;
  bool FUpdatingRange = false;
};

class TScrollingWinControl : public TWinControl {
 public:
  static const TClass Class;
  const TClass* ClassType() const override { return &Class; }

  explicit TScrollingWinControl(TComponent* owner);
  ~TScrollingWinControl() override;

  TControlScrollBar* HorzScrollBar() const { return FHorzScrollBar.get(); }
  void SetHorzScrollBar(TControlScrollBar* v) { FHorzScrollBar->Assign(v); }
  TControlScrollBar* VertScrollBar() const { return FVertScrollBar.get(); }
  void SetVertScrollBar(TControlScrollBar* v) { FVertScrollBar->Assign(v); }
  // Ranges follow the children's extent (default on).
  bool AutoScroll() const { return FAutoScroll; }
  void SetAutoScroll(bool v);
  // Scrolls so that the child is inside the client area.
  void ScrollInView(TControl* control);
  // Recomputes the automatic ranges from the children and updates the bars.
  void UpdateScrollBars();

  void Dispatch(TMessage& message) override;

 protected:
  // Called when a child receives the focus: ScrollInView unless the box scrolls itself.
  virtual void AutoScrollInView(TControl* control);
  virtual void CalcAutoRange();
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  void AlignControls(TControl* control, TRect& rect) override;
  void AdjustClientRect(TRect& rect) override;
  void ChangeScale(int M, int D, bool isDpiChange) override;
  void Resize() override;
  virtual void WMScroll(TMessage& message);  // WM_HSCROLL, WM_VSCROLL

 private:
  friend class TControlScrollBar;
  friend class TWinControl;
  std::unique_ptr<TControlScrollBar> FHorzScrollBar;
  std::unique_ptr<TControlScrollBar> FVertScrollBar;
  bool FAutoScroll = true;
  bool FUpdatingScrollBars = false;
  int FAutoRangeCount = 0;
};

class TScrollBox : public TScrollingWinControl {
 public:
  static const TClass Class;
  const TClass* ClassType() const override { return &Class; }

  explicit TScrollBox(TComponent* owner);
  TBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TBorderStyle v);

 protected:
  void CreateParams(TCreateParams& params) override;
  void WMEraseBkgnd(TMessage& message) override;

 private:
  TBorderStyle FBorderStyle = bsSingle;
};

// A container whose content comes from its class's own stored description (the embedded
// RCDATA resource named after the class), read when it is created; several frames of one
// class may sit on one window.
class TCustomFrame : public TScrollingWinControl {
 public:
  static const TClass Class;
  const TClass* ClassType() const override { return &Class; }

  explicit TCustomFrame(TComponent* owner);
  // Reads the class's stored description once (at the first SetParent or read, or when
  // called).
  void InitFrame();
  void SetParent(TWinControl* parent) override;
  TComponent* GetChildOwner() override { return this; }
  void ReadState(TReader& reader) override;

 private:
  bool FInitialized = false;
};

class TFrame : public TCustomFrame {
 public:
  static const TClass Class;
  const TClass* ClassType() const override { return &Class; }
  explicit TFrame(TComponent* owner) : TCustomFrame(owner) {}
};

// Reads the stored descriptions of the instance's class and of its ancestors up to (not
// including) rootAncestor into the instance, oldest first; false when no class on the way has
// one. Descriptions are the embedded RCDATA resources named after the classes (upper case
// names match too). Errors raise EReadError naming the resource.
bool InitInheritedComponent(TComponent* instance, const TClass* rootAncestor);

// ---- panels --------------------------------------------------------------------------------------
// Draws a 3-D frame of `width` lines inside rect (top-left in topColor, bottom-right in
// bottomColor) and shrinks rect by it.
void Frame3D(TCanvas* canvas, TRect& rect, TColor topColor, TColor bottomColor, int width);

// The host's simple panel: a container with a classic bevelled frame (BevelOuter, BevelInner
// of BevelWidth, BorderWidth between them) and a caption aligned by Alignment and
// VerticalAlignment.
class TCustomPanel : public TCustomControl {
 public:
  static const TClass Class;
  const TClass* ClassType() const override { return &Class; }

  explicit TCustomPanel(TComponent* owner);

  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment v);
  TVerticalAlignment VerticalAlignment() const { return FVerticalAlignment; }
  void SetVerticalAlignment(TVerticalAlignment v);
  TPanelBevel BevelInner() const { return FBevelInner; }
  void SetBevelInner(TPanelBevel v);
  TPanelBevel BevelOuter() const { return FBevelOuter; }
  void SetBevelOuter(TPanelBevel v);
  TBevelWidth BevelWidth() const { return FBevelWidth; }
  void SetBevelWidth(TBevelWidth v);
  TBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TBorderStyle v);
  bool ShowCaption() const { return FShowCaption; }
  void SetShowCaption(bool v);
  bool FullRepaint() const { return FFullRepaint; }
  void SetFullRepaint(bool v) { FFullRepaint = v; }
  bool Locked() const { return FLocked; }
  void SetLocked(bool v) { FLocked = v; }
  void SetParentBackground(bool v) override;

  // The width of the bevels and border inside the panel's edge.
  int FrameWidth() const;

 protected:
  void CreateParams(TCreateParams& params) override;
  void AdjustClientRect(TRect& rect) override;
  void Paint() override;
  void ChangeScale(int M, int D, bool isDpiChange) override;
  void CMTextChanged(TMessage& message) override;

 private:
  TAlignment FAlignment = taCenter;
  TVerticalAlignment FVerticalAlignment = taVerticalCenter;
  TPanelBevel FBevelInner = bvNone;
  TPanelBevel FBevelOuter = bvRaised;
  TBevelWidth FBevelWidth = 1;
  TBorderStyle FBorderStyle = bsNone;
  bool FShowCaption = true;
  bool FFullRepaint = true;
  bool FLocked = false;
};

class TPanel : public TCustomPanel {
 public:
  static const TClass Class;
  const TClass* ClassType() const override { return &Class; }
  explicit TPanel(TComponent* owner) : TCustomPanel(owner) {}
};

// ---- framework services ------------------------------------------------------------------------

// The control a window belongs to (nullptr for windows that are not controls).
TWinControl* FindControl(HWND window);
// The windowed control under a screen point.
TWinControl* FindVCLWindow(TPoint screenPos);
// The control (windowed or graphic) under a screen point, searching graphic children too.
TControl* FindDragTarget(TPoint screenPos, bool allowDisabled);

// The control that has the mouse captured (a graphic control captures through its parent's
// window).
TControl* GetCaptureControl();
void SetCaptureControl(TControl* control);

// Whether `str` has `key` as its accelerator: "&x" (not "&&") with x the key's character,
// ignoring case.
bool IsAccel(Word key, StringView str);
// The character after the accelerator '&', 0 when none.
Char GetHotkey(StringView text);
// The text without accelerator marks ("&&" becomes "&").
String StripHotkey(StringView text);

// The message loop's key step: for WM_KEYDOWN, WM_SYSKEYDOWN, WM_CHAR and WM_SYSCHAR to a
// control's window, sends the reflected CN_ message to the control first (dialog keys,
// accelerators, CM_CHILDKEY); true when the control used the key and the message must not be
// dispatched.
bool IsControlKeyMsg(const MSG& msg);

// What happens to an exception raised while a control handles a window message (the
// application object installs one). Without a handler the exception propagates to the sender.
using TControlExceptionHandler = void (*)(TObject* sender);
void SetControlExceptionHandler(TControlExceptionHandler handler);
TControlExceptionHandler ControlExceptionHandler();

// Shows a control's popup menu at a screen point on WM_CONTEXTMENU (installed by the menus
// unit); false when it did not.
using TPopupMenuHandler = bool (*)(TControl* control, TComponent* menu, TPoint screenPos);
void SetPopupMenuHandler(TPopupMenuHandler handler);

// Sees every mouse message a control receives before the control (the application's hint
// machinery installs it).
using THintMouseHook = void (*)(TControl* control, TMessage& message);
void SetHintMouseHook(THintMouseHook hook);

// Registers the control classes (TControl ... TPanel, TScrollBox, TFrame) and the cursor
// identifiers; runs when the first control is made; calling it again does nothing.
void RegisterControlClasses();

}  // namespace vcl
