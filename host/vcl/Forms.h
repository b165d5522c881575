// Forms: top-level windows with a border style, caption buttons, a placement rule, a window
// state, modal showing with its own loop, closing with its queries, keyboard navigation
// between their controls, and scaling between the density they were designed at and the
// density of the monitor they are on. A form is built from the stored description of its
// class (the resource named like the class) when it is constructed.
#pragma once
#include <memory>

#include "host/vcl/Controls.h"

namespace vcl {

class TCustomForm;
class TMonitor;

enum TBorderIcon { biSystemMenu, biMinimize, biMaximize, biHelp };
constexpr TEnumNames EnumNames(TBorderIcon) {
  return {u"TBorderIcon", u"biSystemMenu biMinimize biMaximize biHelp"};
}
using TBorderIcons = TSet<TBorderIcon>;

enum TPosition {
  poDesigned, poDefault, poDefaultPosOnly, poDefaultSizeOnly, poScreenCenter, poDesktopCenter,
  poMainFormCenter, poOwnerFormCenter
};
constexpr TEnumNames EnumNames(TPosition) {
  return {u"TPosition", u"poDesigned poDefault poDefaultPosOnly poDefaultSizeOnly poScreenCenter "
                        u"poDesktopCenter poMainFormCenter poOwnerFormCenter"};
}
enum TWindowState { wsNormal, wsMinimized, wsMaximized };
constexpr TEnumNames EnumNames(TWindowState) {
  return {u"TWindowState", u"wsNormal wsMinimized wsMaximized"};
}
enum TFormStyle { fsNormal, fsMDIChild, fsMDIForm, fsStayOnTop };
constexpr TEnumNames EnumNames(TFormStyle) {
  return {u"TFormStyle", u"fsNormal fsMDIChild fsMDIForm fsStayOnTop"};
}
enum TDefaultMonitor { dmDesktop, dmPrimary, dmMainForm, dmActiveForm };
constexpr TEnumNames EnumNames(TDefaultMonitor) {
  return {u"TDefaultMonitor", u"dmDesktop dmPrimary dmMainForm dmActiveForm"};
}
enum TCloseAction { caNone, caHide, caFree, caMinimize };
constexpr TEnumNames EnumNames(TCloseAction) {
  return {u"TCloseAction", u"caNone caHide caFree caMinimize"};
}
enum TFormStateItem { fsCreating, fsVisible, fsShowing, fsModal, fsCreatedMDIChild, fsActivated };
using TFormState = TSet<TFormStateItem>;

// Results of modal forms and buttons.
using TModalResult = int;
constexpr TModalResult mrNone = 0;
constexpr TModalResult mrOk = 1;
constexpr TModalResult mrCancel = 2;
constexpr TModalResult mrAbort = 3;
constexpr TModalResult mrRetry = 4;
constexpr TModalResult mrIgnore = 5;
constexpr TModalResult mrYes = 6;
constexpr TModalResult mrNo = 7;
constexpr TModalResult mrClose = 8;
constexpr TModalResult mrHelp = 9;
constexpr TModalResult mrTryAgain = 10;
constexpr TModalResult mrContinue = 11;
constexpr TModalResult mrAll = 12;
constexpr TModalResult mrNoToAll = 13;
constexpr TModalResult mrYesToAll = 14;

using TCloseEvent = TEvent<void(TObject* Sender, TCloseAction& Action)>;
using TCloseQueryEvent = TEvent<void(TObject* Sender, bool& CanClose)>;

class ECannotShowModal : public EInvalidOperation {
 public:
  using EInvalidOperation::EInvalidOperation;
};

// The form a control sits on (the top of its parent chain when that is a form), or nullptr.
TCustomForm* GetParentForm(TControl* control, bool topForm = true);

class TCustomForm : public TScrollingWinControl {
 public:
  static const TClass Class;
  const TClass* ClassType() const override { return &Class; }

  // A form without content: a form class with a stored description reads it in
  // AfterConstruction (which Application->CreateForm and Create<T> call).
  explicit TCustomForm(TComponent* owner);
  ~TCustomForm() override;
  // Reads the stored descriptions of the form's class and its ancestors (the embedded
  // resources named like the classes), scales the form to the density of the monitor it will
  // show on, then raises OnCreate; shows the form when its description makes it visible.
  // Runs once; later calls do nothing.
  void AfterConstruction();
  void BeforeDestruction() override;
  // A form of class T, constructed and built from its stored description.
  template <class T>
  static T* Create(TComponent* owner) {
    T* f = new T(owner);
    try {
      f->AfterConstruction();
    } catch (...) {
      delete f;
      throw;
    }
    return f;
  }

  // ---- appearance ----
  TFormBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TFormBorderStyle v);
  TBorderIcons BorderIcons() const { return FBorderIcons; }
  void SetBorderIcons(TBorderIcons v);
  TFormStyle FormStyle() const { return FFormStyle; }
  void SetFormStyle(TFormStyle v);
  TPosition Position() const { return FPosition; }
  void SetPosition(TPosition v);
  TDefaultMonitor DefaultMonitor() const { return FDefaultMonitor; }
  void SetDefaultMonitor(TDefaultMonitor v) { FDefaultMonitor = v; }
  TWindowState WindowState() const;
  void SetWindowState(TWindowState v);
  // The icon of the caption and the task bar (not owned; nullptr: the system's default).
  HICON Icon() const { return FIcon; }
  void SetIcon(HICON v);
  // Key events reach the form before the focused control.
  bool KeyPreview() const { return FKeyPreview; }
  void SetKeyPreview(bool v) { FKeyPreview = v; }
  // The monitor the form is on.
  TMonitor* Monitor();
  TCanvas* Canvas() const { return FCanvas.get(); }

  // ---- state ----
  TWinControl* ActiveControl() const { return FActiveControl; }
  // The control that gets the focus when the form is active (EInvalidOperation when it is
  // not on this form or cannot take the focus).
  void SetActiveControl(TWinControl* control);
  TModalResult ModalResult() const { return FModalResult; }
  void SetModalResult(TModalResult v) { FModalResult = v; }
  TFormState FormState() const { return FFormState; }
  bool Active() const { return FActive; }

  // ---- density ----
  // The density the form's coordinates are given at: the design density while the form is
  // read, the density it shows at afterwards.
  int PixelsPerInch() const { return FPixelsPerInch; }
  void SetPixelsPerInch(int v);
  void ScaleForPPI(int newPPI) override;

  // ---- showing and closing ----
  void Show();
  // Shows the form with every other window of the application disabled and handles messages
  // until ModalResult becomes non-zero; returns it. ECannotShowModal when the form is
  // already visible, disabled or modal. A loop that can never end (a headless desktop with
  // nothing left to happen) ends with mrCancel.
  virtual TModalResult ShowModal();
  // Asks OnCloseQuery; then OnClose decides: hide (caHide), free (caFree, through Release),
  // minimise, or nothing. Closing the main form ends the program; a modal form only sets
  // ModalResult to mrCancel.
  void Close();
  virtual bool CloseQuery();
  // Frees the form once the messages already queued for it have been handled.
  void Release();
  void BringToFront();
  void SetFocus() override;
  bool CanFocus() const override;
  // The focus moved to `control` inside the form.
  void FocusChanged(TWinControl* control);

  // ---- events ----
  TNotifyEvent OnCreate;
  TNotifyEvent OnDestroy;
  TNotifyEvent OnShow;
  TNotifyEvent OnHide;
  TNotifyEvent OnActivate;
  TNotifyEvent OnDeactivate;
  TNotifyEvent OnPaint;
  TCloseEvent OnClose;
  TCloseQueryEvent OnCloseQuery;

  void Dispatch(TMessage& message) override;

 protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  void Loaded() override;
  void PaintWindow(HDC dc) override;
  TRect GetClientRect() const override;
  void ScaleControlBounds(int M, int D) override;
  void ChangeScale(int M, int D, bool isDpiChange) override;
  void Notification(TComponent* component, TOperation operation) override;
  void VisibleChanging() override;
  void CMShowingChanged(TMessage& message) override;
  void CMDialogKey(TMessage& message) override;
  bool KeyPreviewEnabled() const override { return FKeyPreview; }
  virtual void Paint();
  virtual void DoCreate();
  virtual void DoDestroy();
  virtual void DoShow();
  virtual void DoHide();
  virtual void DoClose(TCloseAction& action);
  virtual void Activate();
  virtual void Deactivate();

 private:
  friend class TApplication;
  void WMActivate(TMessage& m);
  void WMGetMinMaxInfo(TMessage& m);
  void WMDpiChanged(TMessage& m);
  void WMSizeState(TMessage& m);
  void PlaceForm();
  void CloseModal();
  void ScaleToMonitor();
  TMonitor* TargetMonitor();
  void FrameStyle(DWORD& style, DWORD& exStyle) const;
  void SetFocusToActiveControl();
  void ApplyStoredClientSize();

  std::unique_ptr<TControlCanvas> FCanvas;
  TFormBorderStyle FBorderStyle = bsSizeable;
  TBorderIcons FBorderIcons{biSystemMenu, biMinimize, biMaximize};
  TFormStyle FFormStyle = fsNormal;
  TPosition FPosition = poDefaultPosOnly;
  TDefaultMonitor FDefaultMonitor = dmActiveForm;
  TWindowState FWindowState = wsNormal;
  HICON FIcon = nullptr;
  bool FKeyPreview = false;
  bool FActive = false;
  bool FConstructed = false;
  bool FPositioned = false;  // Position applied at the first showing
  bool FInDpiChange = false;
  bool FScalingBounds = true;
  int FPixelsPerInch = 96;
  int FStoredClientWidth = -1;   // ClientWidth/ClientHeight read from a description
  int FStoredClientHeight = -1;
  TWinControl* FActiveControl = nullptr;
  TModalResult FModalResult = mrNone;
  TFormState FFormState;
};

class TForm : public TCustomForm {
 public:
  static const TClass Class;
  const TClass* ClassType() const override { return &Class; }
  explicit TForm(TComponent* owner) : TCustomForm(owner) {}
};

}  // namespace vcl
