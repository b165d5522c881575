// The list box wrappers over the native "LISTBOX" class: TCustomListBox / TListBox (items,
// selection, owner drawing through DrawItem / MeasureItem) and TCheckListBox (a check box on
// every item, with Checked[], State[], AllowGrayed and OnClickCheck).
#pragma once
#include <memory>
#include <vector>

#include "host/classes/StringList.h"
#include "host/vcl/Controls.h"
#include "host/vcl/InputTypes.h"

namespace vcl {

enum TListBoxStyle { lbStandard, lbOwnerDrawFixed, lbOwnerDrawVariable };
constexpr TEnumNames EnumNames(TListBoxStyle) {
  return {u"TListBoxStyle", u"lbStandard lbOwnerDrawFixed lbOwnerDrawVariable"};
}

class TCustomListBox;
using TDrawItemEvent =
    TEvent<void(TWinControl* Control, int Index, TRect Rect, TOwnerDrawState State)>;
using TMeasureItemEvent = TEvent<void(TWinControl* Control, int Index, int& Height)>;

// The items of a list box: the native list's while its window exists, kept here otherwise
// (before the window is created and while it is re-created).
class TListBoxStrings : public TStrings {
 public:
  static const TClass Class;
  const TClass* ClassType() const override { return &Class; }

  explicit TListBoxStrings(TCustomListBox* listBox);

  int Count() const override;
  String Strings(int index) const override;
  void SetStrings(int index, StringView value) override;
  TObject* Objects(int index) const override;
  void SetObjects(int index, TObject* value) override;
  int AddObject(StringView s, TObject* obj) override;
  int Add(StringView s) override { return AddObject(s, nullptr); }
  void InsertObject(int index, StringView s, TObject* obj) override;
  void Insert(int index, StringView s) override { InsertObject(index, s, nullptr); }
  void Delete(int index) override;
  void Clear() override;
  int IndexOf(StringView s) const override;

 protected:
  void SetUpdateState(bool updating) override;

 private:
  friend class TCustomListBox;
  void CheckIndex(int index, int count) const;
  TCustomListBox* FListBox;
  TStringList FSaved;  // while there is no window
};

class TCustomListBox : public TWinControl {
 public:
  static const TClass Class;
  const TClass* ClassType() const override { return &Class; }

  explicit TCustomListBox(TComponent* owner);
  ~TCustomListBox() override;

  TStrings* Items() const { return FItems.get(); }
  void SetItems(TStrings* v) { FItems->Assign(v); }
  int Count() const { return FItems->Count(); }
  // The selected item of a single-selection list, the caret item of a multi-selection one;
  // -1 for none. Setting an index outside -1 .. Count - 1 raises EListError naming it.
  int ItemIndex() const;
  void SetItemIndex(int v);
  bool Selected(int index) const;
  void SetSelected(int index, bool v);
  int SelCount() const;
  int TopIndex() const;
  void SetTopIndex(int v);

  TListBoxStyle Style() const { return FStyle; }
  void SetStyle(TListBoxStyle v);
  // The height of an item; below 1 raises EInvalidOperation naming the value.
  int ItemHeight() const;
  void SetItemHeight(int v);
  bool MultiSelect() const { return FMultiSelect; }
  void SetMultiSelect(bool v);
  bool ExtendedSelect() const { return FExtendedSelect; }
  void SetExtendedSelect(bool v);
  int Columns() const { return FColumns; }
  void SetColumns(int v);
  bool Sorted() const { return FSorted; }
  void SetSorted(bool v);
  bool IntegralHeight() const { return FIntegralHeight; }
  void SetIntegralHeight(bool v);
  TBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TBorderStyle v);
  int TabWidth() const { return FTabWidth; }
  void SetTabWidth(int v);
  // Typing selects the first item starting with the characters typed, each within
  // AutoCompleteDelay milliseconds of the previous one; off, typed characters are ignored.
  bool AutoComplete() const { return FAutoComplete; }
  void SetAutoComplete(bool v) { FAutoComplete = v; }

  TCanvas* Canvas() const { return FCanvas.get(); }
  // The item at a client point: -1 when none, or with `existing` False the item count for
  // a point below the last item.
  int ItemAtPos(TPoint pos, bool existing) const;
  TRect ItemRect(int index) const;
  void Clear() { FItems->Clear(); }
  void ClearSelection();
  void SelectAll();
  void DeleteSelected();

  const TDrawItemEvent& OnDrawItem() const { return FOnDrawItem; }
  void SetOnDrawItem(const TDrawItemEvent& e) { FOnDrawItem = e; }
  const TMeasureItemEvent& OnMeasureItem() const { return FOnMeasureItem; }
  void SetOnMeasureItem(const TMeasureItemEvent& e) { FOnMeasureItem = e; }

  void Dispatch(TMessage& message) override;

 protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  void DestroyWnd() override;
  void KeyPress(Char& key) override;
  // The host's scaling, then ItemHeight scaled likewise (rounded to nearest).
  void ChangeScale(int M, int D, bool isDpiChange) override;
  // Draws an item into Canvas (already filled by state colours): OnDrawItem when assigned,
  // else the item's text.
  virtual void DrawItem(int index, const TRect& rect, TOwnerDrawState state);
  virtual void MeasureItem(int index, int& height);
  // The reflected WM_DRAWITEM: Canvas bound to the item's DC, colours by state, DrawItem,
  // the focus rectangle.
  virtual void CNDrawItem(TMessage& message);
  // The items changed (for per-item state kept by descendants).
  virtual void ItemInserted(int /*index*/) {}
  virtual void ItemDeleted(int /*index*/) {}
  virtual void ItemsCleared() {}
  // Sends a message to the window, which must exist.
  LRESULT Send(UINT msg, WPARAM wp = 0, LPARAM lp = 0) const;
  void CheckItemIndex(int index) const;

 private:
  friend class TListBoxStrings;
  std::unique_ptr<TListBoxStrings> FItems;
  std::unique_ptr<TCanvas> FCanvas;
  TListBoxStyle FStyle = lbStandard;
  int FItemHeight = 16;
  bool FMultiSelect = false;
  bool FExtendedSelect = true;
  int FColumns = 0;
  bool FSorted = false;
  bool FIntegralHeight = false;
  TBorderStyle FBorderStyle = bsSingle;
  int FTabWidth = 0;
  bool FAutoComplete = true;
  // Kept while there is no window.
  int FSaveItemIndex = -1;
  int FSaveTopIndex = 0;
  std::vector<int> FSaveSelected;
  TDrawItemEvent FOnDrawItem;
  TMeasureItemEvent FOnMeasureItem;
};

class TListBox : public TCustomListBox {
 public:
  static const TClass Class;
  const TClass* ClassType() const override { return &Class; }
  explicit TListBox(TComponent* owner) : TCustomListBox(owner) {}
};

// A list box with a check box before every item. Space, or a press on the check box, advances
// the item's state (unchecked, checked, grayed when AllowGrayed) and raises OnClickCheck.
class TCheckListBox : public TCustomListBox {
 public:
  static const TClass Class;
  const TClass* ClassType() const override { return &Class; }

  explicit TCheckListBox(TComponent* owner);

  // Out-of-range indexes raise EListError naming the index.
  bool Checked(int index) const { return State(index) == cbChecked; }
  void SetChecked(int index, bool v) { SetState(index, v ? cbChecked : cbUnchecked); }
  TCheckBoxState State(int index) const;
  void SetState(int index, TCheckBoxState v);
  bool AllowGrayed() const { return FAllowGrayed; }
  void SetAllowGrayed(bool v) { FAllowGrayed = v; }
  const TNotifyEvent& OnClickCheck() const { return FOnClickCheck; }
  void SetOnClickCheck(const TNotifyEvent& e) { FOnClickCheck = e; }
  // The width of the check area at the control's pixel density.
  int CheckWidth() const;

  void Dispatch(TMessage& message) override;

 protected:
  void KeyPress(Char& key) override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  virtual void ClickCheck();
  void ToggleClickCheck(int index);
  void ItemInserted(int index) override;
  void ItemDeleted(int index) override;
  void ItemsCleared() override { FStates.clear(); }

 private:
  friend class TListBoxStrings;
  std::vector<TCheckBoxState> FStates;  // may be shorter than the list: missing means unchecked
  bool FAllowGrayed = false;
  TNotifyEvent FOnClickCheck;
};

void RegisterListControlClasses();

}  // namespace vcl
