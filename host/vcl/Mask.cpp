// Edit masks and the masked edit: typing over literals, blanks for Backspace and Delete,
// paste through the mask, Escape, validation on focus loss.
#include "host/vcl/Mask.h"

#include <algorithm>
#include <cwctype>
#include <mutex>

#include "host/classes/TypInfo.h"
#include "host/rtl/FormatSettings.h"
#include "host/rtl/NumFormat.h"
#include "host/win/ctl/Edit.h"

namespace vcl {

namespace {

bool IsLetter(Char c) { return c < 0xD800 && std::iswalpha(wint_t(c)); }
bool IsDigit(Char c) { return c >= u'0' && c <= u'9'; }

}  // namespace

// ---- TEditMaskInfo --------------------------------------------------------------------------

TEditMaskInfo::TEditMaskInfo(StringView editMask) {
  // The mask field ends at the first ';' that is not escaped.
  size_t end = 0;
  for (; end < editMask.size(); ++end) {
    if (editMask[end] == u'\\') {
      ++end;
      continue;
    }
    if (editMask[end] == u';') break;
  }
  StringView mask = editMask.substr(0, std::min(end, editMask.size()));
  if (end < editMask.size()) {
    StringView rest = editMask.substr(end + 1);
    size_t semi = rest.find(u';');
    StringView save = rest.substr(0, semi);
    if (!save.empty()) FSaveLiterals = save[0] != u'0';
    if (semi != StringView::npos && semi + 1 < rest.size()) FBlank = rest[semi + 1];
  }
  const TFormatSettings& fs = FormatSettings();
  TMaskCase mode = TMaskCase::None;
  for (size_t i = 0; i < mask.size(); ++i) {
    Char c = mask[i];
    TMaskPosition p;
    switch (c) {
      case u'!': continue;
      case u'>':
        if (i + 1 < mask.size() && mask[i + 1] == u'<') {
          mode = TMaskCase::None;
          ++i;
        } else {
          mode = TMaskCase::Upper;
        }
        continue;
      case u'<':
        if (i + 1 < mask.size() && mask[i + 1] == u'>') {
          mode = TMaskCase::None;
          ++i;
        } else {
          mode = TMaskCase::Lower;
        }
        continue;
      case u'\\':
        if (i + 1 < mask.size()) ++i;
        p.Literal = mask[i];
        break;
      case u'L': case u'A': case u'C': case u'0':
        p.Input = true;
        p.Required = true;
        p.Code = c;
        break;
      case u'l': case u'a': case u'c': case u'9': case u'#':
        p.Input = true;
        p.Code = c;
        break;
      case u':': p.Literal = fs.TimeSeparator; break;
      case u'/': p.Literal = fs.DateSeparator; break;
      case u'_': p.Literal = u' '; break;
      default: p.Literal = c; break;
    }
    p.Case = mode;
    FPositions.push_back(p);
  }
}

bool TEditMaskInfo::Accepts(int pos, Char& c) const {
  if (pos < 0 || pos >= Length()) return false;
  const TMaskPosition& p = FPositions[size_t(pos)];
  if (!p.Input) return false;
  if (p.Case == TMaskCase::Upper) c = ApplyCharCase(c, ecUpperCase);
  if (p.Case == TMaskCase::Lower) c = ApplyCharCase(c, ecLowerCase);
  switch (p.Code) {
    case u'L': case u'l': return IsLetter(c);
    case u'A': case u'a': return IsLetter(c) || IsDigit(c);
    case u'C': case u'c': return c >= 0x20;
    case u'0': case u'9': return IsDigit(c);
    case u'#': return IsDigit(c) || c == u'+' || c == u'-';
    default: return false;
  }
}

int TEditMaskInfo::NextInput(int pos) const {
  pos = std::max(pos, 0);
  while (pos < Length() && !FPositions[size_t(pos)].Input) ++pos;
  return pos;
}

int TEditMaskInfo::PrevInput(int pos) const {
  pos = std::min(pos, Length()) - 1;
  while (pos >= 0 && !FPositions[size_t(pos)].Input) --pos;
  return pos;
}

String TEditMaskInfo::FormatText(StringView value) const {
  String out;
  out.reserve(FPositions.size());
  size_t v = 0;
  for (int i = 0; i < Length(); ++i) {
    const TMaskPosition& p = FPositions[size_t(i)];
    if (!p.Input) {
      out += p.Literal;
      if (FSaveLiterals) ++v;
      continue;
    }
    Char c = v < value.size() ? value[v] : FBlank;
    ++v;
    out += (c != FBlank && Accepts(i, c)) ? c : FBlank;
  }
  return out;
}

String TEditMaskInfo::TextOf(StringView editText) const {
  String out;
  for (int i = 0; i < Length() && i < int(editText.size()); ++i) {
    const TMaskPosition& p = FPositions[size_t(i)];
    Char c = editText[size_t(i)];
    if (!p.Input) {
      if (FSaveLiterals) out += c;
      continue;
    }
    out += c == FBlank ? u' ' : c;
  }
  return out;
}

bool TEditMaskInfo::Validate(StringView editText, int& pos) const {
  for (int i = 0; i < Length(); ++i) {
    const TMaskPosition& p = FPositions[size_t(i)];
    if (!p.Input || !p.Required) continue;
    Char c = i < int(editText.size()) ? editText[size_t(i)] : FBlank;
    if (c == FBlank || !Accepts(i, c)) {
      pos = i;
      return false;
    }
  }
  pos = -1;
  return true;
}

String FormatMaskText(StringView editMask, StringView value) {
  TEditMaskInfo m(editMask);
  return m.Empty() ? String(value) : m.FormatText(value);
}

// ---- TCustomMaskEdit ------------------------------------------------------------------------

const TClass TCustomMaskEdit::Class =
    TClass::Define<TCustomMaskEdit, TCustomEdit>(u"TCustomMaskEdit");

const TClass TMaskEdit::Class = TClass::Define<TMaskEdit, TCustomMaskEdit>(u"TMaskEdit", [](auto& c) {
  c.Property(u"Alignment", &TMaskEdit::Alignment, &TMaskEdit::SetAlignment).Default(taLeftJustify);
  c.Property(u"AutoSelect", &TMaskEdit::AutoSelect, &TMaskEdit::SetAutoSelect).Default(true);
  c.Inherited(u"AutoSize").Default(true);
  c.Property(u"BorderStyle", &TMaskEdit::BorderStyle, &TMaskEdit::SetBorderStyle).Default(bsSingle);
  c.Property(u"CharCase", &TMaskEdit::CharCase, &TMaskEdit::SetCharCase).Default(ecNormal);
  c.Property(u"EditMask", &TMaskEdit::EditMask, &TMaskEdit::SetEditMask);
  c.Property(u"MaxLength", &TMaskEdit::MaxLength, &TMaskEdit::SetMaxLength).Default(0);
  c.Property(u"PasswordChar", &TMaskEdit::PasswordChar, &TMaskEdit::SetPasswordChar).Default(Char(0));
  c.Property(u"ReadOnly", &TMaskEdit::ReadOnly, &TMaskEdit::SetReadOnly).Default(false);
  c.Property(u"Text", [](const TMaskEdit& t) { return t.Text(); },
             [](TMaskEdit& t, const String& v) { t.SetText(v); });
  c.Property(u"OnChange", &TMaskEdit::OnChange, &TMaskEdit::SetOnChange);
  c.Inherited(u"TabStop").Default(true);
  c.Inherited(u"ParentColor").Default(false);
});

TCustomMaskEdit::TCustomMaskEdit(TComponent* owner) : TCustomEdit(owner) {}

void TCustomMaskEdit::SetEditMask(StringView v) {
  String text = GetText();
  FEditMask = String(v);
  FMask = TEditMaskInfo(v);
  ApplyLimit();
  // The current value, reformatted by the new mask (or kept as it stands without one).
  if (IsMasked()) SetEditText(FMask.FormatText(text));
}

String TCustomMaskEdit::EditText() const { return TCustomEdit::GetText(); }

void TCustomMaskEdit::SetEditText(StringView v) { TCustomEdit::SetTextValue(v); }

String TCustomMaskEdit::GetText() const {
  String t = TCustomEdit::GetText();
  return IsMasked() ? FMask.TextOf(t) : t;
}

void TCustomMaskEdit::SetTextValue(StringView v) {
  if (!IsMasked()) {
    TCustomEdit::SetTextValue(v);
    return;
  }
  TCustomEdit::SetTextValue(FMask.FormatText(v));
}

void TCustomMaskEdit::SetMaxLength(int v) {
  TCustomEdit::SetMaxLength(v);
  ApplyLimit();
}

void TCustomMaskEdit::ApplyLimit() {
  // While a mask is set, the mask decides the length.
  if (HWND h = HandleIfAllocated())
    SendMessageW(h, EM_LIMITTEXT, WPARAM(IsMasked() ? FMask.Length() : MaxLength()), 0);
}

void TCustomMaskEdit::CreateWnd() {
  TCustomEdit::CreateWnd();
  ApplyLimit();
}

bool TCustomMaskEdit::EditCanModify() { return !ReadOnly(); }

void TCustomMaskEdit::Selection(int& a, int& b) const {
  DWORD s = 0, e = 0;
  SendMessageW(const_cast<TCustomMaskEdit*>(this)->Handle(), EM_GETSEL,
               reinterpret_cast<WPARAM>(&s), reinterpret_cast<LPARAM>(&e));
  a = int(s);
  b = int(e);
}

void TCustomMaskEdit::WriteRange(int a, int b, const String& text, int selA, int selB) {
  HWND h = Handle();
  struct Flag {
    bool& F;
    explicit Flag(bool& f) : F(f) { F = true; }
    ~Flag() { F = false; }
  } writing(FWriting);
  SendMessageW(h, EM_SETSEL, WPARAM(a), LPARAM(b));
  SendMessageW(h, EM_REPLACESEL, 1, reinterpret_cast<LPARAM>(text.c_str()));
  if (IsWindow(h)) SendMessageW(h, EM_SETSEL, WPARAM(selA), LPARAM(selB));
}

void TCustomMaskEdit::InputChars(StringView chars, bool beepOnRefusal) {
  String edit = EditText();
  if (int(edit.size()) != FMask.Length()) edit = FMask.FormatText(FMask.TextOf(edit));
  int a = 0, b = 0;
  Selection(a, b);
  a = std::clamp(a, 0, FMask.Length());
  b = std::clamp(b, a, FMask.Length());
  String work = edit;
  // A wider selection is cleared to blanks first.
  if (b - a > 1)
    for (int i = a; i < b; ++i)
      if (FMask.At(i).Input) work[size_t(i)] = FMask.Blank();
  int pos = a;
  bool any = false;
  for (Char c : chars) {
    c = ApplyCharCase(c, CharCase());
    if (pos < FMask.Length() && !FMask.At(pos).Input && FMask.At(pos).Literal == c) {
      ++pos;  // a pasted separator lines up with the mask's own
      continue;
    }
    int p = FMask.NextInput(pos);
    if (p >= FMask.Length() || !FMask.Accepts(p, c)) {
      if (beepOnRefusal) MessageBeep(0);
      break;
    }
    work[size_t(p)] = c;
    pos = p + 1;
    any = true;
  }
  if (!any && b - a <= 1) return;
  int next = FMask.NextInput(pos);
  int end = std::max({b, pos, a + 1});
  end = std::min(end, FMask.Length());
  int selB = next < FMask.Length() ? next + 1 : next;
  WriteRange(a, end, work.substr(size_t(a), size_t(end - a)), next, selB);
}

void TCustomMaskEdit::BlankSelection(bool backspace) {
  String edit = EditText();
  if (int(edit.size()) != FMask.Length()) edit = FMask.FormatText(FMask.TextOf(edit));
  int a = 0, b = 0;
  Selection(a, b);
  a = std::clamp(a, 0, FMask.Length());
  b = std::clamp(b, a, FMask.Length());
  // A one-character selection is the overwrite caret: Backspace blanks the position before
  // it, Delete the one under it.
  if (b - a <= 1) {
    int p = backspace ? FMask.PrevInput(a) : FMask.NextInput(a);
    if (p < 0 || p >= FMask.Length()) return;
    a = p;
    b = p + 1;
  }
  String part = edit.substr(size_t(a), size_t(b - a));
  for (int i = a; i < b; ++i)
    if (FMask.At(i).Input) part[size_t(i - a)] = FMask.Blank();
  WriteRange(a, b, part, a, a);
}

void TCustomMaskEdit::CutThroughMask() {
  int a = 0, b = 0;
  Selection(a, b);
  if (a == b) return;
  CopyToClipboard();
  if (EditCanModify()) BlankSelection(false);
}

void TCustomMaskEdit::PasteFromClipboard() {
  if (!IsMasked()) {
    TCustomEdit::PasteFromClipboard();
    return;
  }
  if (!EditCanModify()) return;
  String t = Clipboard().AsText();
  std::erase_if(t, [](Char c) { return c == u'\r' || c == u'\n'; });
  InputChars(t, true);
}

void TCustomMaskEdit::KeyDown(Word& key, TShiftState shift) {
  TCustomEdit::KeyDown(key, shift);
  if (!IsMasked() || key != VK_DELETE) return;
  if (shift.Contains(ssShift)) CutThroughMask();
  else if (EditCanModify()) BlankSelection(false);
  key = 0;
}

void TCustomMaskEdit::KeyPress(Char& key) {
  TCustomEdit::KeyPress(key);
  if (!IsMasked() || key == 0) return;
  if (key == 0x1B) {
    Reset();
    key = 0;
    return;
  }
  if (key == 0x08 || key == 0x7F) {
    if (EditCanModify()) BlankSelection(true);
    key = 0;
    return;
  }
  if (key < 0x20) return;  // clipboard and selection keys go to the window
  Char c = key;
  key = 0;
  if (EditCanModify()) InputChars(StringView(&c, 1), true);
}

void TCustomMaskEdit::Reset() {
  if (EditText() == FFocusText) return;
  SetEditText(FFocusText);
  SetModified(false);
  SelectAll();
}

void TCustomMaskEdit::CMEnter(TMessage& m) {
  FFocusText = EditText();
  TCustomEdit::CMEnter(m);
}

void TCustomMaskEdit::CMExit(TMessage& m) {
  if (IsMasked() && Modified() && !ComponentState().Contains(csDesigning)) ValidateEdit();
  TCustomEdit::CMExit(m);
}

void TCustomMaskEdit::ValidateEdit() {
  int pos = -1;
  if (IsMasked() && Modified() && !Validate(EditText(), pos)) ValidateError(pos);
}

void TCustomMaskEdit::ValidateError(int pos) {
  MessageBeep(0);
  SetFocus();
  if (HWND h = HandleIfAllocated()) SendMessageW(h, EM_SETSEL, WPARAM(pos), LPARAM(pos + 1));
  throw EMaskEditError(u"Control '" + Name() + u"': the value '" + EditText() +
                       u"' is incomplete for the edit mask '" + FEditMask + u"' at position " +
                       IntToStr(pos + 1));
}

void TCustomMaskEdit::Dispatch(TMessage& m) {
  if (IsMasked() && !FWriting && HandleAllocated()) {
    switch (m.Msg) {
      case WM_PASTE: PasteFromClipboard(); m.Result = 0; return;
      case WM_CUT: CutThroughMask(); m.Result = 0; return;
      case WM_CLEAR:
        if (EditCanModify()) BlankSelection(false);
        m.Result = 0;
        return;
      case EM_REPLACESEL: {
        // Replacing goes through the mask as typing does.
        const Char* t = reinterpret_cast<const Char*>(m.LParam);
        String text = t ? String(t) : String();
        std::erase_if(text, [](Char c) { return c == u'\r' || c == u'\n'; });
        InputChars(text, false);
        m.Result = 0;
        return;
      }
      default: break;
    }
  }
  TCustomEdit::Dispatch(m);
}

void RegisterMaskClasses() {
  static std::once_flag once;
  std::call_once(once, [] {
    RegisterEditClasses();
    RegisterClasses({&TCustomMaskEdit::Class, &TMaskEdit::Class});
  });
}

}  // namespace vcl
