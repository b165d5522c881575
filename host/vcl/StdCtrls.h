// Simple standard controls in the classic system look, enough for dialogs: a push button
// with Default, Cancel and ModalResult, a check box, and a label that can carry the
// accelerator of the control beside it. Also the application's plain message box.
#pragma once
#include "host/vcl/Controls.h"

namespace vcl {

enum TTextLayout { tlTop, tlCenter, tlBottom };
constexpr TEnumNames EnumNames(TTextLayout) { return {u"TTextLayout", u"tlTop tlCenter tlBottom"}; }

// Text in a graphic control: aligned, optionally wrapped, with "&" marking an accelerator
// that focuses FocusControl.
class TCustomLabel : public TGraphicControl {
 public:
  static const TClass Class;
  const TClass* ClassType() const override { return &Class; }

  explicit TCustomLabel(TComponent* owner);

  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment v);
  TTextLayout Layout() const { return FLayout; }
  void SetLayout(TTextLayout v);
  bool WordWrap() const { return FWordWrap; }
  void SetWordWrap(bool v);
  bool ShowAccelChar() const { return FShowAccelChar; }
  void SetShowAccelChar(bool v);
  bool Transparent() const { return FTransparent; }
  void SetTransparent(bool v);
  TWinControl* FocusControl() const { return FFocusControl; }
  void SetFocusControl(TWinControl* v);

  void Dispatch(TMessage& message) override;

 protected:
  void Paint() override;
  bool CanAutoSize(int& newWidth, int& newHeight) override;
  void Notification(TComponent* component, TOperation operation) override;
  UINT TextFlags() const;
  // The text's rectangle when laid out in `r` (DT_CALCRECT).
  TRect MeasureText(const TRect& r) const;

 private:
  TAlignment FAlignment = taLeftJustify;
  TTextLayout FLayout = tlTop;
  bool FWordWrap = false;
  bool FShowAccelChar = true;
  bool FTransparent = false;
  TWinControl* FFocusControl = nullptr;
};

class TLabel : public TCustomLabel {
 public:
  static const TClass Class;
  const TClass* ClassType() const override { return &Class; }
  explicit TLabel(TComponent* owner) : TCustomLabel(owner) {}
};

// A push button. Enter clicks the focused button, or the Default button when the focus is on
// a control that is not a button; Escape clicks the Cancel button. A click sets the form's
// ModalResult to the button's.
class TButton : public TCustomControl {
 public:
  static const TClass Class;
  const TClass* ClassType() const override { return &Class; }

  explicit TButton(TComponent* owner);

  bool Default() const { return FDefault; }
  void SetDefault(bool v);
  bool Cancel() const { return FCancel; }
  void SetCancel(bool v) { FCancel = v; }
  int ModalResult() const { return FModalResult; }
  void SetModalResult(int v) { FModalResult = v; }
  // Shows pressed (mouse held inside, or Space held).
  bool Pressed() const { return FPressed; }
  // Draws the default frame: the button Enter would click now.
  bool IsActiveDefault() const;

  void Click() override;
  void Dispatch(TMessage& message) override;

 protected:
  void Paint() override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
  void CMDialogKey(TMessage& message) override;
  void CMDialogChar(TMessage& message) override;

 private:
  void SetPressed(bool v);
  bool FDefault = false;
  bool FCancel = false;
  int FModalResult = 0;
  bool FPressed = false;
  bool FMouseHeld = false;
  bool FSpaceHeld = false;
};

// A check box (two or three states) with its caption to the right.
class TCheckBox : public TCustomControl {
 public:
  static const TClass Class;
  const TClass* ClassType() const override { return &Class; }

  explicit TCheckBox(TComponent* owner);

  TCheckBoxState State() const { return FState; }
  void SetState(TCheckBoxState v);
  bool Checked() const { return FState == cbChecked; }
  void SetChecked(bool v) { SetState(v ? cbChecked : cbUnchecked); }
  bool AllowGrayed() const { return FAllowGrayed; }
  void SetAllowGrayed(bool v) { FAllowGrayed = v; }

  // Advances the state (unchecked, checked, grayed when allowed) and raises OnClick.
  void Toggle();
  void Dispatch(TMessage& message) override;

 protected:
  void Paint() override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
  void CMDialogChar(TMessage& message) override;

 private:
  TCheckBoxState FState = cbUnchecked;
  bool FAllowGrayed = false;
  bool FSpaceHeld = false;
  bool FMouseHeld = false;
};

// A modal box with a message, a caption and an OK button (the application's exception
// report on a real display).
void ShowMessageBox(StringView text, StringView caption);

// Registers the form and standard control classes with the class registry (for stored
// descriptions); calling it again does nothing.
void RegisterStdControlClasses();

}  // namespace vcl
