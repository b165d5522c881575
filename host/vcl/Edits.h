// Text edits over the native "EDIT" window: TCustomEdit / TEdit (single line) and
// TCustomMemo / TMemo (multi-line with Lines), and the clipboard object.
#pragma once
#include <memory>

#include "host/classes/StringList.h"
#include "host/vcl/Controls.h"

namespace vcl {

enum TEditCharCase { ecNormal, ecUpperCase, ecLowerCase };
constexpr TEnumNames EnumNames(TEditCharCase) {
  return {u"TEditCharCase", u"ecNormal ecUpperCase ecLowerCase"};
}

// A character or text in the given case (surrogates unchanged).
Char ApplyCharCase(Char c, TEditCharCase charCase);
String ApplyCharCase(StringView s, TEditCharCase charCase);

// (A scoped enumeration: ssHorizontal is also a shift-state item.)
enum class TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };
constexpr TEnumNames EnumNames(TScrollStyle) {
  return {u"TScrollStyle", u"ssNone ssHorizontal ssVertical ssBoth"};
}

// The system clipboard as text.
class TClipboard {
 public:
  String AsText() const;
  void SetAsText(StringView text);
  bool HasFormat(UINT format) const;
  void Clear();
};
TClipboard& Clipboard();

class TCustomEdit : public TWinControl {
 public:
  static const TClass Class;
  const TClass* ClassType() const override { return &Class; }

  explicit TCustomEdit(TComponent* owner);

  // ---- properties ----
  bool AutoSelect() const { return FAutoSelect; }
  void SetAutoSelect(bool v) { FAutoSelect = v; }
  TBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TBorderStyle v);
  TEditCharCase CharCase() const { return FCharCase; }
  void SetCharCase(TEditCharCase v);
  bool HideSelection() const { return FHideSelection; }
  void SetHideSelection(bool v);
  int MaxLength() const { return FMaxLength; }
  virtual void SetMaxLength(int v);
  Char PasswordChar() const { return FPasswordChar; }
  void SetPasswordChar(Char v);
  bool ReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool v);
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment v);
  bool NumbersOnly() const { return FNumbersOnly; }
  void SetNumbersOnly(bool v);
  bool Modified() const;
  void SetModified(bool v);
  bool CanUndo() const;

  // ---- selection (UTF-16 positions) ----
  int SelStart() const;
  void SetSelStart(int v);
  int SelLength() const;
  void SetSelLength(int v);
  String SelText() const;
  void SetSelText(StringView v);

  void Clear();
  void ClearSelection();
  void SelectAll();
  void CopyToClipboard();
  void CutToClipboard();
  virtual void PasteFromClipboard();
  void Undo();
  void ClearUndo();

  const TNotifyEvent& OnChange() const { return FOnChange; }
  void SetOnChange(const TNotifyEvent& e) { FOnChange = e; }

  void Dispatch(TMessage& message) override;

 protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  void DestroyWnd() override;
  // Raises OnChange; called for every change of the text (EN_CHANGE).
  virtual void Change();
  bool CanAutoSize(int& newWidth, int& newHeight) override;
  // The font's line height in pixels.
  int FontLineHeight() const;
  void AdjustHeight();
  virtual void CNCommand(TMessage& message);
  void CMEnter(TMessage& message) override;
  void CMFontChanged(TMessage& message) override;
  bool Creating() const { return FCreating; }

 private:
  bool FAutoSelect = true;
  TBorderStyle FBorderStyle = bsSingle;
  TEditCharCase FCharCase = ecNormal;
  bool FHideSelection = true;
  int FMaxLength = 0;
  Char FPasswordChar = 0;
  bool FReadOnly = false;
  TAlignment FAlignment = taLeftJustify;
  bool FNumbersOnly = false;
  bool FModified = false;  // kept while the window does not exist
  bool FCreating = false;
  TNotifyEvent FOnChange;
};

class TEdit : public TCustomEdit {
 public:
  static const TClass Class;
  const TClass* ClassType() const override { return &Class; }
  explicit TEdit(TComponent* owner) : TCustomEdit(owner) {}
};

class TCustomMemo : public TCustomEdit {
 public:
  static const TClass Class;
  const TClass* ClassType() const override { return &Class; }

  explicit TCustomMemo(TComponent* owner);
  ~TCustomMemo() override;

  TStrings* Lines() const { return FLines.get(); }
  void SetLines(TStrings* v) { FLines->Assign(v); }
  TScrollStyle ScrollBars() const { return FScrollBars; }
  void SetScrollBars(TScrollStyle v);
  bool WordWrap() const { return FWordWrap; }
  void SetWordWrap(bool v);
  bool WantReturns() const { return FWantReturns; }
  void SetWantReturns(bool v) { FWantReturns = v; }
  bool WantTabs() const { return FWantTabs; }
  void SetWantTabs(bool v) { FWantTabs = v; }
  // The caret's line and column.
  TPoint CaretPos() const;

  void Dispatch(TMessage& message) override;

 protected:
  void CreateParams(TCreateParams& params) override;
  void KeyPress(Char& key) override;

 private:
  std::unique_ptr<TStrings> FLines;
  TScrollStyle FScrollBars = TScrollStyle::ssNone;
  bool FWordWrap = true;
  bool FWantReturns = true;
  bool FWantTabs = false;
};

class TMemo : public TCustomMemo {
 public:
  static const TClass Class;
  const TClass* ClassType() const override { return &Class; }
  explicit TMemo(TComponent* owner) : TCustomMemo(owner) {}
};

// Registers the edit classes with the class registry (for stored descriptions).
void RegisterEditClasses();

}  // namespace vcl
