#include "host/vcl/StdCtrls.h"

#include <algorithm>
#include <mutex>

#include "host/classes/TypInfo.h"
#include "host/gdi/GdiDraw.h"
#include "host/vcl/ComCtrls.h"
#include "host/rtl/Assert.h"
#include "host/vcl/Forms.h"
#include "host/vcl/ListCtrls.h"

namespace vcl {

const TClass TCustomLabel::Class = TClass::Define<TCustomLabel, TGraphicControl>(u"TCustomLabel");

const TClass TLabel::Class = TClass::Define<TLabel, TCustomLabel>(u"TLabel", [](auto& c) {
  c.Property(u"Alignment", &TLabel::Alignment, &TLabel::SetAlignment).Default(taLeftJustify);
  c.Inherited(u"AutoSize").Default(true);
  c.Property(u"FocusControl", &TLabel::FocusControl, &TLabel::SetFocusControl);
  c.Property(u"Layout", &TLabel::Layout, &TLabel::SetLayout).Default(tlTop);
  c.Property(u"ShowAccelChar", &TLabel::ShowAccelChar, &TLabel::SetShowAccelChar).Default(true);
  c.Property(u"Transparent", &TLabel::Transparent, &TLabel::SetTransparent).Default(false);
  c.Property(u"WordWrap", &TLabel::WordWrap, &TLabel::SetWordWrap).Default(false);
});

const TClass TButton::Class = TClass::Define<TButton, TCustomControl>(u"TButton", [](auto& c) {
  c.Property(u"Cancel", &TButton::Cancel, &TButton::SetCancel).Default(false);
  c.Property(u"Default", &TButton::Default, &TButton::SetDefault).Default(false);
  c.Property(u"ModalResult", &TButton::ModalResult, &TButton::SetModalResult).Default(0);
  c.Inherited(u"TabStop").Default(true);
});

const TClass TCheckBox::Class = TClass::Define<TCheckBox, TCustomControl>(u"TCheckBox", [](auto& c) {
  c.Property(u"AllowGrayed", &TCheckBox::AllowGrayed, &TCheckBox::SetAllowGrayed).Default(false);
  c.Property(u"Checked", &TCheckBox::Checked, &TCheckBox::SetChecked).Default(false);
  c.Property(u"State", &TCheckBox::State, &TCheckBox::SetState).Default(cbUnchecked);
  c.Inherited(u"TabStop").Default(true);
});

void RegisterStdControlClasses() {
  static std::once_flag once;
  std::call_once(once, [] {
    RegisterControlClasses();
    RegisterClasses({&TForm::Class, &TLabel::Class, &TButton::Class, &TCheckBox::Class});
    RegisterListControlClasses();
    RegisterComCtrlClasses();
  });
}

namespace {

// Draws text grayed out the classic way: a highlight copy one pixel down-right under a
// shadow copy.
void DrawDisabledText(HDC dc, StringView text, TRect r, UINT flags) {
  int mode = SetBkMode(dc, TRANSPARENT);
  COLORREF old = SetTextColor(dc, GetSysColor(COLOR_BTNHIGHLIGHT));
  TRect shifted = r;
  shifted.Offset(1, 1);
  DrawTextW(dc, text, &shifted, flags);
  SetTextColor(dc, GetSysColor(COLOR_BTNSHADOW));
  DrawTextW(dc, text, &r, flags);
  SetTextColor(dc, old);
  SetBkMode(dc, mode);
}

// A memory DC with a font selected, for measuring outside painting.
class TMeasureDC {
 public:
  explicit TMeasureDC(TFont* font) : FDC(CreateCompatibleDC(nullptr)) {
    FOld = SelectObject(FDC, font->Handle());
  }
  ~TMeasureDC() {
    SelectObject(FDC, FOld);
    DeleteDC(FDC);
  }
  HDC Handle() const { return FDC; }

 private:
  HDC FDC;
  HFONT FOld;
};

}  // namespace

// ---- TCustomLabel ---------------------------------------------------------------------------------

TCustomLabel::TCustomLabel(TComponent* owner) : TGraphicControl(owner) {
  FControlStyle.Include(csReplicatable);
  FControlStyle.Include(csSetCaption);
  FAutoSize = true;
  FWidth = 65;
  FHeight = 17;
}

UINT TCustomLabel::TextFlags() const {
  UINT f = DT_EXPANDTABS;
  if (FWordWrap) f |= DT_WORDBREAK;
  else f |= DT_SINGLELINE;
  static constexpr UINT kAlign[] = {DT_LEFT, DT_RIGHT, DT_CENTER};
  f |= TableAt(kAlign, FAlignment);
  if (!FShowAccelChar) f |= DT_NOPREFIX;
  return DrawTextBiDiModeFlags(f);
}

TRect TCustomLabel::MeasureText(const TRect& r) const {
  TMeasureDC dc(Font());
  TRect out = r;
  String text = Caption();
  // An empty caption still has the height of one line.
  if (text.empty()) text.push_back(u' ');
  DrawTextW(dc.Handle(), text, &out, (TextFlags() & ~(DT_RIGHT | DT_CENTER)) | DT_CALCRECT);
  return out;
}

bool TCustomLabel::CanAutoSize(int& newWidth, int& newHeight) {
  TRect r = MeasureText(TRect(0, 0, FWordWrap ? std::max(newWidth, 1) : 0x3FFF, 0));
  if (!FWordWrap) newWidth = r.Width();
  newHeight = r.Height();
  return true;
}

void TCustomLabel::Paint() {
  TCanvas* c = Canvas();
  TRect client = ClientRect();
  if (!FTransparent) {
    c->Brush()->SetColor(Color());
    c->Brush()->SetStyle(bsSolid);
    c->FillRect(client);
  }
  c->Font()->Assign(Font());
  c->Brush()->SetStyle(bsClear);
  HDC dc = c->Handle();
  String text = Caption();
  UINT flags = TextFlags();
  TRect r = client;
  if (FLayout != tlTop) {
    TRect m = MeasureText(TRect(0, 0, client.Width(), 0));
    int dy = client.Height() - m.Height();
    r.Top += FLayout == tlBottom ? dy : dy / 2;
  }
  if (!Enabled()) {
    DrawDisabledText(dc, text, r, flags);
    return;
  }
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, ColorToRGB(Font()->Color()));
  DrawTextW(dc, text, &r, flags);
}

void TCustomLabel::SetAlignment(TAlignment v) {
  if (v == FAlignment) return;
  FAlignment = v;
  Invalidate();
}

void TCustomLabel::SetLayout(TTextLayout v) {
  if (v == FLayout) return;
  FLayout = v;
  Invalidate();
}

void TCustomLabel::SetWordWrap(bool v) {
  if (v == FWordWrap) return;
  FWordWrap = v;
  AdjustSize();
  Invalidate();
}

void TCustomLabel::SetShowAccelChar(bool v) {
  if (v == FShowAccelChar) return;
  FShowAccelChar = v;
  AdjustSize();
  Invalidate();
}

void TCustomLabel::SetTransparent(bool v) {
  if (v == FTransparent) return;
  FTransparent = v;
  if (v) FControlStyle.Exclude(csOpaque);
  else FControlStyle.Include(csOpaque);
  Invalidate();
}

void TCustomLabel::SetFocusControl(TWinControl* v) {
  if (v == FFocusControl) return;
  if (FFocusControl) FFocusControl->RemoveFreeNotification(this);
  FFocusControl = v;
  if (v) v->FreeNotification(this);
}

void TCustomLabel::Notification(TComponent* component, TOperation operation) {
  TGraphicControl::Notification(component, operation);
  if (operation == opRemove && component == FFocusControl) FFocusControl = nullptr;
}

void TCustomLabel::Dispatch(TMessage& message) {
  switch (message.Msg) {
    case CM_DIALOGCHAR:
      if (FFocusControl && Enabled() && FShowAccelChar && IsAccel(KeyCharCode(message), Caption()) &&
          FFocusControl->CanFocus()) {
        FFocusControl->SetFocus();
        message.Result = 1;
        return;
      }
      break;
    case CM_TEXTCHANGED:
    case CM_FONTCHANGED:
      TGraphicControl::Dispatch(message);
      AdjustSize();
      Invalidate();
      return;
    default: break;
  }
  TGraphicControl::Dispatch(message);
}

// ---- TButton ----------------------------------------------------------------------------------------

TButton::TButton(TComponent* owner) : TCustomControl(owner) {
  FControlStyle = TControlStyle{csSetCaption, csCaptureMouse, csClickEvents, csOpaque};
  FWidth = 75;
  FHeight = 25;
  FTabStop = true;
  FParentColor = false;
  FColor = clBtnFace;
  FBrush->SetColor(FColor);
}

void TButton::SetDefault(bool v) {
  if (v == FDefault) return;
  FDefault = v;
  Invalidate();
}

bool TButton::IsActiveDefault() const {
  // The focused button takes Enter; with the focus elsewhere, the default button does.
  TWinControl* focused = FindControl(GetFocus());
  if (focused && dynamic_cast<TButton*>(focused)) return focused == this;
  if (!FDefault) return false;
  // Only when the focus is on the same form.
  TCustomForm* mine = GetParentForm(const_cast<TButton*>(this));
  return !focused || GetParentForm(focused) == mine;
}

void TButton::Click() {
  if (TCustomForm* form = GetParentForm(this)) form->SetModalResult(FModalResult);
  TCustomControl::Click();
}

void TButton::SetPressed(bool v) {
  if (v == FPressed) return;
  FPressed = v;
  Invalidate();
}

void TButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (button == mbLeft) {
    if (CanFocus() && !Focused()) SetFocus();
    FMouseHeld = true;
    SetPressed(true);
  }
  TCustomControl::MouseDown(button, shift, x, y);
}

void TButton::MouseMove(TShiftState shift, int x, int y) {
  if (FMouseHeld) SetPressed(ClientRect().Contains(TPoint{x, y}));
  TCustomControl::MouseMove(shift, x, y);
}

void TButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  if (button == mbLeft) {
    FMouseHeld = false;
    SetPressed(FSpaceHeld);
  }
  TCustomControl::MouseUp(button, shift, x, y);
}

void TButton::CMDialogKey(TMessage& message) {
  Word key = KeyCharCode(message);
  if (((key == VK_RETURN && IsActiveDefault()) || (key == VK_ESCAPE && FCancel)) &&
      KeyDataToShiftState(KeyData(message)).Empty() && CanFocus()) {
    Click();
    message.Result = 1;
    return;
  }
  TCustomControl::CMDialogKey(message);
}

void TButton::CMDialogChar(TMessage& message) {
  if (IsAccel(KeyCharCode(message), Caption()) && CanFocus()) {
    Click();
    message.Result = 1;
    return;
  }
  TCustomControl::CMDialogChar(message);
}

void TButton::Dispatch(TMessage& message) {
  switch (message.Msg) {
    case WM_GETDLGCODE:
      message.Result = DLGC_BUTTON | (IsActiveDefault() ? DLGC_DEFPUSHBUTTON : DLGC_UNDEFPUSHBUTTON);
      return;
    case WM_KEYDOWN:
      if (message.WParam == VK_SPACE) {
        if (!(message.LParam & (LPARAM(1) << 30))) {  // not a repeat
          FSpaceHeld = true;
          SetPressed(true);
        }
        message.Result = 0;
        return;
      }
      break;
    case WM_KEYUP:
      if (message.WParam == VK_SPACE && FSpaceHeld) {
        FSpaceHeld = false;
        SetPressed(FMouseHeld);
        Click();
        message.Result = 0;
        return;
      }
      break;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      if (message.Msg == WM_KILLFOCUS && FSpaceHeld) {
        FSpaceHeld = false;
        SetPressed(false);
      }
      TCustomControl::Dispatch(message);
      // The default frame follows the focus across the form's buttons.
      if (TCustomForm* form = GetParentForm(this)) form->Invalidate();
      Invalidate();
      return;
    case CM_ENABLEDCHANGED:
    case CM_TEXTCHANGED:
      TCustomControl::Dispatch(message);
      Invalidate();
      return;
    default: break;
  }
  TCustomControl::Dispatch(message);
}

void TButton::Paint() {
  TCanvas* c = Canvas();
  HDC dc = c->Handle();
  TRect r = ClientRect();
  bool focused = Focused();
  if (IsActiveDefault() || focused) {
    // The button Enter would click has a dark outer frame.
    c->Brush()->SetColor(clWindowFrame);
    c->Brush()->SetStyle(bsSolid);
    c->FrameRect(r);
    r.Inflate(-1, -1);
  }
  UINT state = DFCS_BUTTONPUSH;
  if (FPressed) state |= DFCS_PUSHED;
  if (!Enabled()) state |= DFCS_INACTIVE;
  if (FPressed) {
    // A pressed button is drawn flat with a shadow frame, the classic way.
    c->Brush()->SetColor(clBtnShadow);
    c->FrameRect(r);
    TRect inner = r;
    inner.Inflate(-1, -1);
    c->Brush()->SetColor(Color());
    c->FillRect(inner);
  } else {
    DrawFrameControl(dc, &r, DFC_BUTTON, state);
  }
  c->Font()->Assign(Font());
  TRect text = r;
  if (FPressed) text.Offset(1, 1);
  String caption = Caption();
  UINT flags = DrawTextBiDiModeFlags(DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  if (!Enabled()) {
    DrawDisabledText(c->Handle(), caption, text, flags);
  } else {
    SetBkMode(c->Handle(), TRANSPARENT);
    SetTextColor(c->Handle(), ColorToRGB(Font()->Color()));
    DrawTextW(c->Handle(), caption, &text, flags);
  }
  if (focused) {
    TRect f = r;
    f.Inflate(-3, -3);
    c->DrawFocusRect(f);
  }
}

// ---- TCheckBox --------------------------------------------------------------------------------------

TCheckBox::TCheckBox(TComponent* owner) : TCustomControl(owner) {
  // Toggled on a release inside after a press (not through csClickEvents: the state must
  // change before OnClick).
  FControlStyle = TControlStyle{csSetCaption, csCaptureMouse, csDoubleClicks};
  FWidth = 97;
  FHeight = 17;
  FTabStop = true;
}

void TCheckBox::SetState(TCheckBoxState v) {
  if (v == FState) return;
  FState = v;
  Invalidate();
}

void TCheckBox::Toggle() {
  switch (FState) {
    case cbUnchecked: SetState(cbChecked); break;
    case cbChecked: SetState(FAllowGrayed ? cbGrayed : cbUnchecked); break;
    case cbGrayed: SetState(cbUnchecked); break;
  }
  Click();
}

void TCheckBox::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (button == mbLeft) {
    FMouseHeld = true;
    if (CanFocus() && !Focused()) SetFocus();
  }
  TCustomControl::MouseDown(button, shift, x, y);
}

void TCheckBox::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  if (button == mbLeft && FMouseHeld) {
    FMouseHeld = false;
    if (ClientRect().Contains(TPoint{x, y})) Toggle();
  }
  TCustomControl::MouseUp(button, shift, x, y);
}

void TCheckBox::CMDialogChar(TMessage& message) {
  if (IsAccel(KeyCharCode(message), Caption()) && CanFocus()) {
    SetFocus();
    Toggle();
    message.Result = 1;
    return;
  }
  TCustomControl::CMDialogChar(message);
}

void TCheckBox::Dispatch(TMessage& message) {
  switch (message.Msg) {
    case WM_GETDLGCODE: message.Result = DLGC_BUTTON; return;
    case WM_KEYDOWN:
      if (message.WParam == VK_SPACE) {
        FSpaceHeld = true;
        message.Result = 0;
        return;
      }
      break;
    case WM_KEYUP:
      if (message.WParam == VK_SPACE && FSpaceHeld) {
        FSpaceHeld = false;
        Toggle();
        message.Result = 0;
        return;
      }
      break;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case CM_ENABLEDCHANGED:
    case CM_TEXTCHANGED:
      TCustomControl::Dispatch(message);
      Invalidate();
      return;
    default: break;
  }
  TCustomControl::Dispatch(message);
}

void TCheckBox::Paint() {
  TCanvas* c = Canvas();
  TRect client = ClientRect();
  c->Brush()->SetColor(Color());
  c->Brush()->SetStyle(bsSolid);
  c->FillRect(client);
  int box = MulDiv(13, CurrentPPI(), 96);
  TRect b = TRect::FromSize(0, (client.Height() - box) / 2, box, box);
  UINT state = DFCS_BUTTONCHECK;
  if (FState == cbChecked) state |= DFCS_CHECKED;
  if (FState == cbGrayed) state = DFCS_BUTTON3STATE | DFCS_CHECKED;
  if (!Enabled()) state |= DFCS_INACTIVE;
  DrawFrameControl(c->Handle(), &b, DFC_BUTTON, state);
  c->Font()->Assign(Font());
  HDC dc = c->Handle();
  TRect text(box + MulDiv(4, CurrentPPI(), 96), 0, client.Right, client.Bottom);
  String caption = Caption();
  UINT flags = DrawTextBiDiModeFlags(DT_LEFT | DT_VCENTER | DT_SINGLELINE);
  if (!Enabled()) {
    DrawDisabledText(dc, caption, text, flags);
  } else {
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, ColorToRGB(Font()->Color()));
    DrawTextW(dc, caption, &text, flags);
  }
  if (Focused()) {
    TRect calc = text;
    DrawTextW(dc, caption, &calc, flags | DT_CALCRECT);
    calc.Top = text.Top + (text.Height() - calc.Height()) / 2;
    calc.Bottom = calc.Top + DrawTextW(dc, caption, &calc, flags | DT_CALCRECT);
    calc.Inflate(1, 0);
    c->DrawFocusRect(calc);
  }
}

// ---- message box --------------------------------------------------------------------------------------

void ShowMessageBox(StringView text, StringView caption) {
  RegisterStdControlClasses();
  std::unique_ptr<TForm> form(new TForm(nullptr));
  form->SetBorderStyle(bsDialog);
  form->SetBorderIcons(TBorderIcons{biSystemMenu});
  form->SetCaption(caption);
  form->SetPosition(poScreenCenter);
  auto* label = new TLabel(form.get());
  label->SetParent(form.get());
  label->SetShowAccelChar(false);
  label->SetCaption(text);
  const int margin = form->ScaleValue(16);
  label->SetLeft(margin);
  label->SetTop(margin);
  auto* ok = new TButton(form.get());
  ok->SetParent(form.get());
  ok->SetCaption(u"OK");
  ok->SetDefault(true);
  ok->SetCancel(true);
  ok->SetModalResult(mrOk);
  int width = std::max(label->Width() + 2 * margin, ok->Width() + 2 * margin);
  width = std::max(width, form->ScaleValue(240));
  ok->SetBounds((width - ok->Width()) / 2, label->Top() + label->Height() + margin, ok->Width(),
                ok->Height());
  form->SetClientWidth(width);
  form->SetClientHeight(ok->Top() + ok->Height() + margin);
  form->SetActiveControl(ok);
  form->ShowModal();
}

}  // namespace vcl
