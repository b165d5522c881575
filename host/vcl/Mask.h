// Edit masks ("mask;literals;blank") and the masked edit, TCustomMaskEdit / TMaskEdit.
//
// Mask characters: '!' keeps optional blanks leading, '>' upper case and '<' lower case for
// what follows ("<>" ends either), '\' makes the next character a literal, 'L' / 'l' a letter,
// 'A' / 'a' a letter or digit, 'C' / 'c' any character, '0' / '9' a digit, '#' a digit or a
// sign (upper case: required, lower case and '9' / '#': optional), ':' and '/' the locale's
// time and date separators, '_' a space; anything else stands for itself. The second field
// is '0' when the literals are left out of Text, and the third the blank character ('_'
// when absent).
#pragma once
#include <vector>

#include "host/vcl/Edits.h"

namespace vcl {

class EMaskEditError : public Exception {
 public:
  using Exception::Exception;
};

enum class TMaskCase { None, Upper, Lower };

struct TMaskPosition {
  bool Input = false;     // typed into; otherwise a literal
  Char Literal = 0;       // the literal character
  Char Code = 0;          // the mask character of an input position
  bool Required = false;
  TMaskCase Case = TMaskCase::None;
};

// A parsed edit mask.
class TEditMaskInfo {
 public:
  TEditMaskInfo() = default;
  explicit TEditMaskInfo(StringView editMask);

  bool Empty() const { return FPositions.empty(); }
  int Length() const { return int(FPositions.size()); }
  const TMaskPosition& At(int pos) const { return FPositions.at(size_t(pos)); }
  bool SaveLiterals() const { return FSaveLiterals; }
  Char Blank() const { return FBlank; }

  // Whether the character may stand at an input position, converting its case as the mask
  // asks.
  bool Accepts(int pos, Char& c) const;
  // The first input position at or after `pos` (Length() when none), and the last before it
  // (-1 when none).
  int NextInput(int pos) const;
  int PrevInput(int pos) const;
  // The edit text (one character per mask position) for a value in Text form.
  String FormatText(StringView value) const;
  // The Text form of an edit text: without the literals unless they are saved; blanks as
  // spaces.
  String TextOf(StringView editText) const;
  // Whether every required position is filled; `pos` receives the first that is not.
  bool Validate(StringView editText, int& pos) const;

 private:
  std::vector<TMaskPosition> FPositions;
  bool FSaveLiterals = true;
  Char FBlank = u'_';
};

// The value formatted by the mask, as the edit shows it.
String FormatMaskText(StringView editMask, StringView value);

class TCustomMaskEdit : public TCustomEdit {
 public:
  static const TClass Class;
  const TClass* ClassType() const override { return &Class; }

  explicit TCustomMaskEdit(TComponent* owner);

  String EditMask() const { return FEditMask; }
  void SetEditMask(StringView v);
  bool IsMasked() const { return !FMask.Empty(); }
  const TEditMaskInfo& MaskInfo() const { return FMask; }
  // The text as shown, literals and blanks included.
  String EditText() const;
  void SetEditText(StringView v);
  void SetMaxLength(int v) override;
  void PasteFromClipboard() override;

  // Validates the text against the mask: `pos` receives the first position not filled.
  bool Validate(StringView value, int& pos) const { return FMask.Validate(value, pos); }
  // Runs when the focus leaves a modified masked edit; raises EMaskEditError (keeping the
  // focus) when a required position is empty.
  virtual void ValidateEdit();

  void Dispatch(TMessage& message) override;

 protected:
  String GetText() const override;
  void SetTextValue(StringView v) override;
  void CreateWnd() override;
  // Whether typing may change the text now.
  virtual bool EditCanModify();
  void KeyDown(Word& key, TShiftState shift) override;
  void KeyPress(Char& key) override;
  void CMEnter(TMessage& message) override;
  void CMExit(TMessage& message) override;
  // Focuses the edit, places the caret at `pos` and raises EMaskEditError.
  [[noreturn]] void ValidateError(int pos);
  // Restores the text the edit had when it received the focus.
  void Reset();

 private:
  void ApplyLimit();
  void Selection(int& a, int& b) const;
  // Replaces [a, b) of the edit text with `text` (one undo step, one change) and selects
  // [selA, selB).
  void WriteRange(int a, int b, const String& text, int selA, int selB);
  void InputChars(StringView chars, bool beepOnRefusal);
  void BlankSelection(bool backspace);
  void CutThroughMask();

  String FEditMask;
  TEditMaskInfo FMask;
  String FFocusText;
  bool FWriting = false;
};

class TMaskEdit : public TCustomMaskEdit {
 public:
  static const TClass Class;
  const TClass* ClassType() const override { return &Class; }
  explicit TMaskEdit(TComponent* owner) : TCustomMaskEdit(owner) {}
};

void RegisterMaskClasses();

}  // namespace vcl
