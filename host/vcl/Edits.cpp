// TCustomEdit, TEdit, TCustomMemo, TMemo and the clipboard object.
#include "host/vcl/Edits.h"

#include <algorithm>
#include <cwctype>
#include <mutex>

#include "host/classes/TypInfo.h"
#include "host/gdi/GdiText.h"
#include "host/rtl/NumFormat.h"
#include "host/win/ctl/Edit.h"

namespace vcl {

Char ApplyCharCase(Char c, TEditCharCase charCase) {
  if (c >= 0xD800 && c <= 0xDFFF) return c;
  if (charCase == ecUpperCase) return Char(std::towupper(wint_t(c)));
  if (charCase == ecLowerCase) return Char(std::towlower(wint_t(c)));
  return c;
}

String ApplyCharCase(StringView s, TEditCharCase charCase) {
  String r(s);
  for (Char& c : r) c = ApplyCharCase(c, charCase);
  return r;
}

// ---- clipboard ------------------------------------------------------------------------------

String TClipboard::AsText() const { return ReadClipboardText(nullptr); }

void TClipboard::SetAsText(StringView text) { PutClipboardText(nullptr, text); }

bool TClipboard::HasFormat(UINT format) const { return IsClipboardFormatAvailable(format) != 0; }

void TClipboard::Clear() {
  if (!OpenClipboard(nullptr)) return;
  EmptyClipboard();
  CloseClipboard();
}

TClipboard& Clipboard() {
  static TClipboard c;
  return c;
}

// ---- TCustomEdit ----------------------------------------------------------------------------

const TClass TCustomEdit::Class = TClass::Define<TCustomEdit, TWinControl>(u"TCustomEdit");

const TClass TEdit::Class = TClass::Define<TEdit, TCustomEdit>(u"TEdit", [](auto& c) {
  c.Property(u"Alignment", &TEdit::Alignment, &TEdit::SetAlignment).Default(taLeftJustify);
  c.Property(u"AutoSelect", &TEdit::AutoSelect, &TEdit::SetAutoSelect).Default(true);
  c.Inherited(u"AutoSize").Default(true);
  c.Property(u"BorderStyle", &TEdit::BorderStyle, &TEdit::SetBorderStyle).Default(bsSingle);
  c.Property(u"CharCase", &TEdit::CharCase, &TEdit::SetCharCase).Default(ecNormal);
  c.Property(u"HideSelection", &TEdit::HideSelection, &TEdit::SetHideSelection).Default(true);
  c.Property(u"MaxLength", &TEdit::MaxLength, &TEdit::SetMaxLength).Default(0);
  c.Property(u"NumbersOnly", &TEdit::NumbersOnly, &TEdit::SetNumbersOnly).Default(false);
  c.Property(u"PasswordChar", &TEdit::PasswordChar, &TEdit::SetPasswordChar).Default(Char(0));
  c.Property(u"ReadOnly", &TEdit::ReadOnly, &TEdit::SetReadOnly).Default(false);
  c.Property(u"Text", [](const TEdit& t) { return t.Text(); },
             [](TEdit& t, const String& v) { t.SetText(v); });
  c.Property(u"OnChange", &TEdit::OnChange, &TEdit::SetOnChange);
  c.Inherited(u"TabStop").Default(true);
  c.Inherited(u"ParentColor").Default(false);
});

TCustomEdit::TCustomEdit(TComponent* owner) : TWinControl(owner) {
  FControlStyle = TControlStyle{csClickEvents, csSetCaption, csDoubleClicks};
  FWidth = 121;
  FHeight = 25;
  FTabStop = true;
  FParentColor = false;
  FColor = clWindow;
  FAutoSize = true;
  Brush()->SetColor(clWindow);
}

void TCustomEdit::CreateParams(TCreateParams& p) {
  TWinControl::CreateParams(p);
  CreateSubClass(p, u"EDIT");
  p.Style |= ES_AUTOHSCROLL | ES_AUTOVSCROLL;
  if (FBorderStyle == bsSingle) p.ExStyle |= WS_EX_CLIENTEDGE;
  if (!FHideSelection) p.Style |= ES_NOHIDESEL;
  if (FReadOnly) p.Style |= ES_READONLY;
  if (FNumbersOnly) p.Style |= ES_NUMBER;
  if (FCharCase == ecUpperCase) p.Style |= ES_UPPERCASE;
  if (FCharCase == ecLowerCase) p.Style |= ES_LOWERCASE;
  if (FAlignment == taRightJustify) p.Style |= ES_RIGHT;
  if (FAlignment == taCenter) p.Style |= ES_CENTER;
}

void TCustomEdit::CreateWnd() {
  FCreating = true;
  struct Reset {
    bool& Flag;
    ~Reset() { Flag = false; }
  } reset{FCreating};
  TWinControl::CreateWnd();
  HWND h = HandleIfAllocated();
  SendMessageW(h, EM_LIMITTEXT, WPARAM(FMaxLength), 0);
  if (FPasswordChar) SendMessageW(h, EM_SETPASSWORDCHAR, FPasswordChar, 0);
  SendMessageW(h, EM_SETMODIFY, FModified, 0);
}

void TCustomEdit::DestroyWnd() {
  if (HWND h = HandleIfAllocated()) FModified = SendMessageW(h, EM_GETMODIFY, 0, 0) != 0;
  TWinControl::DestroyWnd();
}

void TCustomEdit::SetBorderStyle(TBorderStyle v) {
  if (FBorderStyle == v) return;
  FBorderStyle = v;
  AdjustHeight();
  RecreateWnd();
}

void TCustomEdit::SetCharCase(TEditCharCase v) {
  if (FCharCase == v) return;
  FCharCase = v;
  if (v != ecNormal) SetText(ApplyCharCase(Text(), v));
  RecreateWnd();
}

void TCustomEdit::SetHideSelection(bool v) {
  if (FHideSelection == v) return;
  FHideSelection = v;
  RecreateWnd();
}

void TCustomEdit::SetMaxLength(int v) {
  if (v < 0) throw EInvalidOperation(u"Control '" + Name() + u"': MaxLength " + IntToStr(v) +
                                     u" is negative");
  FMaxLength = v;
  if (HWND h = HandleIfAllocated()) SendMessageW(h, EM_LIMITTEXT, WPARAM(v), 0);
}

void TCustomEdit::SetPasswordChar(Char v) {
  if (FPasswordChar == v) return;
  FPasswordChar = v;
  if (HWND h = HandleIfAllocated()) {
    SendMessageW(h, EM_SETPASSWORDCHAR, v, 0);
    InvalidateRect(h, nullptr, true);
  }
}

void TCustomEdit::SetReadOnly(bool v) {
  FReadOnly = v;
  if (HWND h = HandleIfAllocated()) SendMessageW(h, EM_SETREADONLY, v, 0);
}

void TCustomEdit::SetAlignment(TAlignment v) {
  if (FAlignment == v) return;
  FAlignment = v;
  RecreateWnd();
}

void TCustomEdit::SetNumbersOnly(bool v) {
  if (FNumbersOnly == v) return;
  FNumbersOnly = v;
  RecreateWnd();
}

bool TCustomEdit::Modified() const {
  if (HWND h = HandleIfAllocated()) return SendMessageW(h, EM_GETMODIFY, 0, 0) != 0;
  return FModified;
}

void TCustomEdit::SetModified(bool v) {
  FModified = v;
  if (HWND h = HandleIfAllocated()) SendMessageW(h, EM_SETMODIFY, v, 0);
}

bool TCustomEdit::CanUndo() const {
  HWND h = HandleIfAllocated();
  return h && SendMessageW(h, EM_CANUNDO, 0, 0) != 0;
}

int TCustomEdit::SelStart() const {
  DWORD a = 0, b = 0;
  SendMessageW(const_cast<TCustomEdit*>(this)->Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&a),
               reinterpret_cast<LPARAM>(&b));
  return int(a);
}

int TCustomEdit::SelLength() const {
  DWORD a = 0, b = 0;
  SendMessageW(const_cast<TCustomEdit*>(this)->Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&a),
               reinterpret_cast<LPARAM>(&b));
  return int(b - a);
}

void TCustomEdit::SetSelStart(int v) { SendMessageW(Handle(), EM_SETSEL, WPARAM(v), LPARAM(v)); }

void TCustomEdit::SetSelLength(int v) {
  int start = SelStart();
  SendMessageW(Handle(), EM_SETSEL, WPARAM(start), LPARAM(start + std::max(0, v)));
}

String TCustomEdit::SelText() const {
  String t = Text();
  int a = std::min(SelStart(), int(t.size()));
  return t.substr(size_t(a), size_t(std::clamp(SelLength(), 0, int(t.size()) - a)));
}

void TCustomEdit::SetSelText(StringView v) {
  String t(v);
  SendMessageW(Handle(), EM_REPLACESEL, 0, reinterpret_cast<LPARAM>(t.c_str()));
}

void TCustomEdit::Clear() { SetText(u""); }
void TCustomEdit::ClearSelection() { SendMessageW(Handle(), WM_CLEAR, 0, 0); }
void TCustomEdit::SelectAll() { SendMessageW(Handle(), EM_SETSEL, 0, -1); }
void TCustomEdit::CopyToClipboard() { SendMessageW(Handle(), WM_COPY, 0, 0); }
void TCustomEdit::CutToClipboard() { SendMessageW(Handle(), WM_CUT, 0, 0); }
void TCustomEdit::PasteFromClipboard() { SendMessageW(Handle(), WM_PASTE, 0, 0); }
void TCustomEdit::Undo() { SendMessageW(Handle(), WM_UNDO, 0, 0); }
void TCustomEdit::ClearUndo() { SendMessageW(Handle(), EM_EMPTYUNDOBUFFER, 0, 0); }

void TCustomEdit::Change() {
  if (FOnChange) FOnChange(this);
}

int TCustomEdit::FontLineHeight() const {
  HDC dc = GetDC(nullptr);
  HFONT old = SelectObject(dc, FFont->Handle());
  TEXTMETRICW tm;
  GetTextMetricsW(dc, &tm);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  return int(tm.tmHeight);
}

bool TCustomEdit::CanAutoSize(int& newWidth, int& newHeight) {
  (void)newWidth;
  newHeight = FontLineHeight() + (FBorderStyle == bsSingle ? 8 : 0);
  return true;
}

void TCustomEdit::AdjustHeight() {
  if (FAutoSize) AdjustSize();
}

void TCustomEdit::CMFontChanged(TMessage& m) {
  TWinControl::CMFontChanged(m);
  AdjustHeight();
}

void TCustomEdit::CMEnter(TMessage& m) {
  // A click places the caret itself; keyboard focus selects everything.
  if (FAutoSelect && GetKeyState(VK_LBUTTON) >= 0) SelectAll();
  TWinControl::CMEnter(m);
}

void TCustomEdit::CNCommand(TMessage& m) {
  if (HIWORD(m.WParam) == EN_CHANGE && !FCreating) Change();
}

void TCustomEdit::Dispatch(TMessage& m) {
  switch (m.Msg) {
    case CN_COMMAND: CNCommand(m); return;
    default: TWinControl::Dispatch(m); return;
  }
}

// ---- TCustomMemo ----------------------------------------------------------------------------

namespace {

// The memo's lines: the paragraphs of its text (CR LF, CR or LF separated).
class TMemoStrings : public TStrings {
 public:
  explicit TMemoStrings(TCustomMemo* memo) : FMemo(memo) {}

  int Count() const override { return int(Split().size()); }
  String Strings(int index) const override {
    auto lines = Split();
    if (index < 0 || index >= int(lines.size())) IndexError(index);
    return lines[size_t(index)];
  }
  void SetStrings(int index, StringView value) override {
    auto lines = Split();
    if (index < 0 || index >= int(lines.size())) IndexError(index);
    lines[size_t(index)] = String(value);
    Join(lines);
  }
  void Insert(int index, StringView s) override {
    auto lines = Split();
    if (index < 0 || index > int(lines.size())) IndexError(index);
    lines.insert(lines.begin() + index, String(s));
    Join(lines);
  }
  void Delete(int index) override {
    auto lines = Split();
    if (index < 0 || index >= int(lines.size())) IndexError(index);
    lines.erase(lines.begin() + index);
    Join(lines);
  }
  void Clear() override { FMemo->SetText(u""); }
  void SetText(StringView value) override { FMemo->SetText(value); }

 private:
  std::vector<String> Split() const {
    std::vector<String> lines;
    String t = FMemo->Text();
    size_t start = 0;
    for (size_t i = 0; i < t.size(); ++i) {
      if (t[i] != u'\r' && t[i] != u'\n') continue;
      lines.push_back(t.substr(start, i - start));
      if (t[i] == u'\r' && i + 1 < t.size() && t[i + 1] == u'\n') ++i;
      start = i + 1;
    }
    if (start < t.size()) lines.push_back(t.substr(start));
    return lines;
  }
  void Join(const std::vector<String>& lines) {
    String t;
    for (const String& l : lines) t += l + u"\r\n";
    FMemo->SetText(t);
  }
  TCustomMemo* FMemo;
};

}  // namespace

const TClass TCustomMemo::Class = TClass::Define<TCustomMemo, TCustomEdit>(u"TCustomMemo");

const TClass TMemo::Class = TClass::Define<TMemo, TCustomMemo>(u"TMemo", [](auto& c) {
  c.Property(u"Alignment", &TMemo::Alignment, &TMemo::SetAlignment).Default(taLeftJustify);
  c.Property(u"BorderStyle", &TMemo::BorderStyle, &TMemo::SetBorderStyle).Default(bsSingle);
  c.Property(u"HideSelection", &TMemo::HideSelection, &TMemo::SetHideSelection).Default(true);
  c.Property(u"Lines", &TMemo::Lines, &TMemo::SetLines);
  c.Property(u"MaxLength", &TMemo::MaxLength, &TMemo::SetMaxLength).Default(0);
  c.Property(u"ReadOnly", &TMemo::ReadOnly, &TMemo::SetReadOnly).Default(false);
  c.Property(u"ScrollBars", &TMemo::ScrollBars, &TMemo::SetScrollBars).Default(TScrollStyle::ssNone);
  c.Property(u"WantReturns", &TMemo::WantReturns, &TMemo::SetWantReturns).Default(true);
  c.Property(u"WantTabs", &TMemo::WantTabs, &TMemo::SetWantTabs).Default(false);
  c.Property(u"WordWrap", &TMemo::WordWrap, &TMemo::SetWordWrap).Default(true);
  c.Property(u"OnChange", &TMemo::OnChange, &TMemo::SetOnChange);
  c.Inherited(u"TabStop").Default(true);
  c.Inherited(u"ParentColor").Default(false);
});

TCustomMemo::TCustomMemo(TComponent* owner)
    : TCustomEdit(owner), FLines(std::make_unique<TMemoStrings>(this)) {
  FWidth = 185;
  FHeight = 89;
  FAutoSize = false;
  SetAutoSelect(false);
}

TCustomMemo::~TCustomMemo() = default;

void TCustomMemo::CreateParams(TCreateParams& p) {
  TCustomEdit::CreateParams(p);
  p.Style = (p.Style & ~(ES_AUTOHSCROLL | ES_AUTOVSCROLL)) | ES_MULTILINE | ES_AUTOVSCROLL;
  if (!FWordWrap) p.Style |= ES_AUTOHSCROLL;
  if (FScrollBars == TScrollStyle::ssVertical || FScrollBars == TScrollStyle::ssBoth) p.Style |= WS_VSCROLL;
  if ((FScrollBars == TScrollStyle::ssHorizontal || FScrollBars == TScrollStyle::ssBoth) && !FWordWrap) p.Style |= WS_HSCROLL;
}

void TCustomMemo::SetScrollBars(TScrollStyle v) {
  if (FScrollBars == v) return;
  FScrollBars = v;
  RecreateWnd();
}

void TCustomMemo::SetWordWrap(bool v) {
  if (FWordWrap == v) return;
  FWordWrap = v;
  RecreateWnd();
}

TPoint TCustomMemo::CaretPos() const {
  HWND h = const_cast<TCustomMemo*>(this)->Handle();
  DWORD a = 0, b = 0;
  SendMessageW(h, EM_GETSEL, reinterpret_cast<WPARAM>(&a), reinterpret_cast<LPARAM>(&b));
  int line = int(SendMessageW(h, EM_LINEFROMCHAR, b, 0));
  int start = int(SendMessageW(h, EM_LINEINDEX, WPARAM(line), 0));
  return {int(b) - start, line};
}

void TCustomMemo::KeyPress(Char& key) {
  TCustomEdit::KeyPress(key);
  if (key == u'\r' && !FWantReturns) key = 0;
  if (key == u'\t' && !FWantTabs) key = 0;
}

void TCustomMemo::Dispatch(TMessage& m) {
  if (m.Msg == WM_GETDLGCODE) {
    TCustomEdit::Dispatch(m);
    if (FWantTabs) m.Result |= DLGC_WANTTAB;
    else m.Result &= ~DLGC_WANTTAB;
    if (!FWantReturns) m.Result &= ~DLGC_WANTALLKEYS;
    return;
  }
  TCustomEdit::Dispatch(m);
}

void RegisterEditClasses() {
  static std::once_flag once;
  std::call_once(once, [] {
    RegisterControlClasses();
    RegisterClasses({&TCustomEdit::Class, &TEdit::Class, &TCustomMemo::Class, &TMemo::Class});
  });
}

}  // namespace vcl
