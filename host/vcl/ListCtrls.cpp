// The list box wrappers: TListBoxStrings (items held by the window, or here while there is
// none), TCustomListBox / TListBox and TCheckListBox.
#include "host/vcl/ListCtrls.h"

#include <algorithm>
#include <mutex>

#include "host/classes/TypInfo.h"
#include "host/rtl/NumFormat.h"
#include "host/gdi/GdiDraw.h"
#include "host/gdi/GdiText.h"
#include "host/vcl/ControlMessages.h"
#include "host/win/ctl/ListBox.h"
#include "host/win/ctl/OwnerDraw.h"

namespace vcl {

namespace {

[[noreturn]] void ListIndexError(StringView what, int index) {
  throw EListError(String(what) + u" index out of bounds (" + IntToStr(index) + u")");
}

// Binds a canvas to a device context for one scope.
class TCanvasBinding {
 public:
  TCanvasBinding(TCanvas& canvas, HDC dc) : FCanvas(canvas) { FCanvas.SetHandle(dc); }
  ~TCanvasBinding() { FCanvas.SetHandle(nullptr); }
  TCanvasBinding(const TCanvasBinding&) = delete;
  TCanvasBinding& operator=(const TCanvasBinding&) = delete;

 private:
  TCanvas& FCanvas;
};

TOwnerDrawState DrawState(UINT s) {
  TOwnerDrawState state;
  if (s & ODS_SELECTED) state.Include(odSelected);
  if (s & ODS_GRAYED) state.Include(odGrayed);
  if (s & ODS_DISABLED) state.Include(odDisabled);
  if (s & ODS_CHECKED) state.Include(odChecked);
  if (s & ODS_FOCUS) state.Include(odFocused);
  if (s & ODS_DEFAULT) state.Include(odDefault);
  if (s & ODS_HOTLIGHT) state.Include(odHotLight);
  if (s & ODS_INACTIVE) state.Include(odInactive);
  if (s & ODS_NOACCEL) state.Include(odNoAccel);
  return state;
}

}  // namespace

// ---- TListBoxStrings ----------------------------------------------------------------------------

const TClass TListBoxStrings::Class = TClass::Define<TListBoxStrings, TStrings>(u"TListBoxStrings");

TListBoxStrings::TListBoxStrings(TCustomListBox* listBox) : FListBox(listBox) {}

void TListBoxStrings::CheckIndex(int index, int count) const {
  if (index < 0 || index >= count) ListIndexError(u"List", index);
}

int TListBoxStrings::Count() const {
  if (FListBox->HandleAllocated()) return int(FListBox->Send(LB_GETCOUNT));
  return FSaved.Count();
}

String TListBoxStrings::Strings(int index) const {
  if (!FListBox->HandleAllocated()) {
    CheckIndex(index, FSaved.Count());
    return FSaved.Strings(index);
  }
  LRESULT len = FListBox->Send(LB_GETTEXTLEN, WPARAM(index));
  if (len == LB_ERR) ListIndexError(u"List", index);
  String s(size_t(len) + 1, u'\0');
  FListBox->Send(LB_GETTEXT, WPARAM(index), reinterpret_cast<LPARAM>(s.data()));
  s.resize(size_t(len));
  return s;
}

void TListBoxStrings::SetStrings(int index, StringView value) {
  if (!FListBox->HandleAllocated()) {
    CheckIndex(index, FSaved.Count());
    FSaved.SetStrings(index, value);
    return;
  }
  CheckIndex(index, Count());
  // Replaced in place: the item keeps its data, selection and any per-item state.
  LRESULT data = FListBox->Send(LB_GETITEMDATA, WPARAM(index));
  bool selected = FListBox->Send(LB_GETSEL, WPARAM(index)) > 0;
  int top = FListBox->TopIndex();
  String text(value);
  FListBox->Send(LB_DELETESTRING, WPARAM(index));
  FListBox->Send(LB_INSERTSTRING, WPARAM(index), reinterpret_cast<LPARAM>(text.c_str()));
  FListBox->Send(LB_SETITEMDATA, WPARAM(index), data);
  if (selected) {
    if (FListBox->MultiSelect()) FListBox->Send(LB_SETSEL, 1, index);
    else FListBox->Send(LB_SETCURSEL, WPARAM(index));
  }
  FListBox->Send(LB_SETTOPINDEX, WPARAM(std::min(top, Count() - 1)));
}

TObject* TListBoxStrings::Objects(int index) const {
  if (!FListBox->HandleAllocated()) {
    CheckIndex(index, FSaved.Count());
    return FSaved.Objects(index);
  }
  LRESULT data = FListBox->Send(LB_GETITEMDATA, WPARAM(index));
  if (data == LB_ERR) ListIndexError(u"List", index);
  return reinterpret_cast<TObject*>(data);
}

void TListBoxStrings::SetObjects(int index, TObject* value) {
  if (!FListBox->HandleAllocated()) {
    CheckIndex(index, FSaved.Count());
    FSaved.SetObjects(index, value);
    return;
  }
  if (FListBox->Send(LB_SETITEMDATA, WPARAM(index), reinterpret_cast<LPARAM>(value)) == LB_ERR)
    ListIndexError(u"List", index);
}

int TListBoxStrings::AddObject(StringView s, TObject* obj) {
  String text(s);
  int index;
  if (FListBox->HandleAllocated()) {
    LRESULT r = FListBox->Send(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    if (r < 0) throw EOutOfResources(u"List box '" + FListBox->Name() + u"': the item could not be added");
    index = int(r);
    FListBox->Send(LB_SETITEMDATA, WPARAM(index), reinterpret_cast<LPARAM>(obj));
  } else {
    index = FSaved.Count();
    if (FListBox->Sorted())
      for (int i = 0; i < FSaved.Count(); ++i)
        if (CompareStrings(text, FSaved.Strings(i)) < 0) {
          index = i;
          break;
        }
    FSaved.InsertObject(index, text, obj);
  }
  FListBox->ItemInserted(index);
  return index;
}

void TListBoxStrings::InsertObject(int index, StringView s, TObject* obj) {
  if (index < 0 || index > Count()) ListIndexError(u"List", index);
  String text(s);
  if (FListBox->HandleAllocated()) {
    LRESULT r = FListBox->Send(LB_INSERTSTRING, WPARAM(index), reinterpret_cast<LPARAM>(text.c_str()));
    if (r < 0) throw EOutOfResources(u"List box '" + FListBox->Name() + u"': the item could not be inserted");
    FListBox->Send(LB_SETITEMDATA, WPARAM(index), reinterpret_cast<LPARAM>(obj));
  } else {
    FSaved.InsertObject(index, text, obj);
  }
  FListBox->ItemInserted(index);
}

void TListBoxStrings::Delete(int index) {
  CheckIndex(index, Count());
  if (FListBox->HandleAllocated()) FListBox->Send(LB_DELETESTRING, WPARAM(index));
  else FSaved.Delete(index);
  FListBox->ItemDeleted(index);
}

void TListBoxStrings::Clear() {
  if (FListBox->HandleAllocated()) FListBox->Send(LB_RESETCONTENT);
  else FSaved.Clear();
  FListBox->ItemsCleared();
}

int TListBoxStrings::IndexOf(StringView s) const {
  if (!FListBox->HandleAllocated()) return FSaved.IndexOf(s);
  String text(s);
  LRESULT r = FListBox->Send(LB_FINDSTRINGEXACT, WPARAM(-1), reinterpret_cast<LPARAM>(text.c_str()));
  return r < 0 ? -1 : int(r);
}

void TListBoxStrings::SetUpdateState(bool updating) {
  if (!FListBox->HandleAllocated()) return;
  FListBox->Send(WM_SETREDRAW, updating ? 0 : 1);
}

// ---- TCustomListBox -----------------------------------------------------------------------------

const TClass TCustomListBox::Class =
    TClass::Define<TCustomListBox, TWinControl>(u"TCustomListBox", [](auto& c) {
      c.Property(u"AutoComplete", &TCustomListBox::AutoComplete, &TCustomListBox::SetAutoComplete)
          .Default(true);
      c.Property(u"BorderStyle", &TCustomListBox::BorderStyle, &TCustomListBox::SetBorderStyle)
          .Default(bsSingle);
      c.Property(u"Columns", &TCustomListBox::Columns, &TCustomListBox::SetColumns).Default(0);
      c.Property(u"ExtendedSelect", &TCustomListBox::ExtendedSelect,
                 &TCustomListBox::SetExtendedSelect)
          .Default(true);
      c.Property(u"IntegralHeight", &TCustomListBox::IntegralHeight,
                 &TCustomListBox::SetIntegralHeight)
          .Default(false);
      c.Property(u"ItemHeight", &TCustomListBox::ItemHeight, &TCustomListBox::SetItemHeight)
          .Default(16);
      c.Property(u"Items", &TCustomListBox::Items, &TCustomListBox::SetItems);
      c.Property(u"ItemIndex", &TCustomListBox::ItemIndex, &TCustomListBox::SetItemIndex)
          .Default(-1);
      c.Property(u"MultiSelect", &TCustomListBox::MultiSelect, &TCustomListBox::SetMultiSelect)
          .Default(false);
      c.Property(u"Sorted", &TCustomListBox::Sorted, &TCustomListBox::SetSorted).Default(false);
      c.Property(u"Style", &TCustomListBox::Style, &TCustomListBox::SetStyle).Default(lbStandard);
      c.Property(u"TabWidth", &TCustomListBox::TabWidth, &TCustomListBox::SetTabWidth).Default(0);
      c.Property(u"OnDrawItem", &TCustomListBox::FOnDrawItem);
      c.Property(u"OnMeasureItem", &TCustomListBox::FOnMeasureItem);
      c.Inherited(u"TabStop").Default(true);
      c.Inherited(u"ParentColor").Default(false);
    });

const TClass TListBox::Class = TClass::Define<TListBox, TCustomListBox>(u"TListBox");

TCustomListBox::TCustomListBox(TComponent* owner)
    : TWinControl(owner),
      FItems(std::make_unique<TListBoxStrings>(this)),
      FCanvas(std::make_unique<TCanvas>()) {
  FControlStyle = TControlStyle{csSetCaption, csOpaque};
  FWidth = 121;
  FHeight = 97;
  FTabStop = true;
  FParentColor = false;
  FColor = clWindow;
  FBrush->SetColor(FColor);
}

TCustomListBox::~TCustomListBox() = default;

LRESULT TCustomListBox::Send(UINT msg, WPARAM wp, LPARAM lp) const {
  return SendMessageW(HandleIfAllocated(), msg, wp, lp);
}

void TCustomListBox::CreateParams(TCreateParams& p) {
  TWinControl::CreateParams(p);
  CreateSubClass(p, u"LISTBOX");
  p.Style |= WS_VSCROLL | LBS_HASSTRINGS | LBS_NOTIFY;
  if (FStyle == lbOwnerDrawFixed) p.Style |= LBS_OWNERDRAWFIXED;
  if (FStyle == lbOwnerDrawVariable) p.Style |= LBS_OWNERDRAWVARIABLE;
  if (FMultiSelect) p.Style |= FExtendedSelect ? LBS_EXTENDEDSEL : LBS_MULTIPLESEL;
  if (FSorted) p.Style |= LBS_SORT;
  if (FColumns > 0) p.Style |= LBS_MULTICOLUMN | WS_HSCROLL;
  if (!FIntegralHeight) p.Style |= LBS_NOINTEGRALHEIGHT;
  if (FTabWidth > 0) p.Style |= LBS_USETABSTOPS;
  if (FBorderStyle == bsSingle) p.ExStyle |= WS_EX_CLIENTEDGE;
}

void TCustomListBox::CreateWnd() {
  TWinControl::CreateWnd();
  if (FStyle != lbStandard) Send(LB_SETITEMHEIGHT, 0, FItemHeight);
  if (FColumns > 0) Send(LB_SETCOLUMNWIDTH, WPARAM(std::max(1, Width() / FColumns)));
  if (FTabWidth > 0) Send(LB_SETTABSTOPS, 1, reinterpret_cast<LPARAM>(&FTabWidth));
  TStringList& saved = FItems->FSaved;
  if (saved.Count() == 0 && FSaveItemIndex < 0) return;
  Send(WM_SETREDRAW, 0);
  for (int i = 0; i < saved.Count(); ++i) {
    String text = saved.Strings(i);
    Send(LB_INSERTSTRING, WPARAM(i), reinterpret_cast<LPARAM>(text.c_str()));
    Send(LB_SETITEMDATA, WPARAM(i), reinterpret_cast<LPARAM>(saved.Objects(i)));
  }
  saved.Clear();
  for (int i : FSaveSelected) Send(LB_SETSEL, 1, i);
  FSaveSelected.clear();
  int index = FSaveItemIndex;
  FSaveItemIndex = -1;
  if (index >= 0 && index < Count()) {
    if (FMultiSelect) Send(LB_SETCARETINDEX, WPARAM(index));
    else Send(LB_SETCURSEL, WPARAM(index));
  }
  if (FSaveTopIndex > 0 && FSaveTopIndex < Count()) Send(LB_SETTOPINDEX, WPARAM(FSaveTopIndex));
  FSaveTopIndex = 0;
  Send(WM_SETREDRAW, 1);
}

void TCustomListBox::DestroyWnd() {
  if (HandleAllocated()) {
    TStringList& saved = FItems->FSaved;
    saved.Clear();
    int n = Count();
    for (int i = 0; i < n; ++i) saved.AddObject(FItems->Strings(i), FItems->Objects(i));
    FSaveSelected.clear();
    if (FMultiSelect)
      for (int i = 0; i < n; ++i)
        if (Send(LB_GETSEL, WPARAM(i)) > 0) FSaveSelected.push_back(i);
    FSaveItemIndex = ItemIndex();
    FSaveTopIndex = TopIndex();
  }
  TWinControl::DestroyWnd();
}

int TCustomListBox::ItemIndex() const {
  if (!HandleAllocated()) return FSaveItemIndex;
  LRESULT r = FMultiSelect ? Send(LB_GETCARETINDEX) : Send(LB_GETCURSEL);
  return r < 0 ? -1 : int(r);
}

void TCustomListBox::CheckItemIndex(int index) const {
  if (index < 0 || index >= Count()) ListIndexError(u"Item", index);
}

void TCustomListBox::SetItemIndex(int v) {
  if (ComponentState().Contains(csLoading) && !HandleAllocated()) {
    FSaveItemIndex = v;
    return;
  }
  if (v != -1) CheckItemIndex(v);
  if (!HandleAllocated()) {
    FSaveItemIndex = v;
    return;
  }
  if (ItemIndex() == v) return;
  if (FMultiSelect) {
    if (v >= 0) Send(LB_SETCARETINDEX, WPARAM(v));
  } else {
    Send(LB_SETCURSEL, WPARAM(v));
  }
}

bool TCustomListBox::Selected(int index) const {
  CheckItemIndex(index);
  if (!HandleAllocated())
    return FMultiSelect ? std::find(FSaveSelected.begin(), FSaveSelected.end(), index) != FSaveSelected.end()
                        : FSaveItemIndex == index;
  return Send(LB_GETSEL, WPARAM(index)) > 0;
}

void TCustomListBox::SetSelected(int index, bool v) {
  CheckItemIndex(index);
  if (!HandleAllocated()) {
    if (!FMultiSelect) {
      if (v) FSaveItemIndex = index;
      else if (FSaveItemIndex == index) FSaveItemIndex = -1;
      return;
    }
    auto it = std::find(FSaveSelected.begin(), FSaveSelected.end(), index);
    if (v && it == FSaveSelected.end()) FSaveSelected.push_back(index);
    if (!v && it != FSaveSelected.end()) FSaveSelected.erase(it);
    return;
  }
  if (FMultiSelect) Send(LB_SETSEL, v ? 1 : 0, index);
  else if (v) Send(LB_SETCURSEL, WPARAM(index));
  else if (ItemIndex() == index) Send(LB_SETCURSEL, WPARAM(-1));
}

int TCustomListBox::SelCount() const {
  if (!FMultiSelect) return ItemIndex() >= 0 ? 1 : 0;
  if (!HandleAllocated()) return int(FSaveSelected.size());
  return int(Send(LB_GETSELCOUNT));
}

int TCustomListBox::TopIndex() const {
  if (!HandleAllocated()) return FSaveTopIndex;
  return int(Send(LB_GETTOPINDEX));
}

void TCustomListBox::SetTopIndex(int v) {
  if (v != 0 || Count() != 0) CheckItemIndex(v);
  if (!HandleAllocated()) FSaveTopIndex = v;
  else if (Count()) Send(LB_SETTOPINDEX, WPARAM(v));
}

void TCustomListBox::SetStyle(TListBoxStyle v) {
  if (v == FStyle) return;
  FStyle = v;
  RecreateWnd();
}

int TCustomListBox::ItemHeight() const {
  if (HandleAllocated() && FStyle == lbStandard) return int(Send(LB_GETITEMHEIGHT));
  return FItemHeight;
}

void TCustomListBox::SetItemHeight(int v) {
  if (v < 1)
    throw EInvalidOperation(u"List box '" + Name() + u"': ItemHeight " + IntToStr(v) +
                            u" is below 1");
  if (v == FItemHeight) return;
  FItemHeight = v;
  if (HandleAllocated() && FStyle != lbStandard) RecreateWnd();
}

void TCustomListBox::SetMultiSelect(bool v) {
  if (v == FMultiSelect) return;
  FMultiSelect = v;
  RecreateWnd();
}

void TCustomListBox::SetExtendedSelect(bool v) {
  if (v == FExtendedSelect) return;
  FExtendedSelect = v;
  RecreateWnd();
}

void TCustomListBox::SetColumns(int v) {
  if (v < 0) throw EInvalidOperation(u"List box '" + Name() + u"': Columns " + IntToStr(v) + u" is negative");
  if (v == FColumns) return;
  bool recreate = (v == 0) != (FColumns == 0);
  FColumns = v;
  if (recreate) RecreateWnd();
  else if (HandleAllocated()) Send(LB_SETCOLUMNWIDTH, WPARAM(std::max(1, Width() / FColumns)));
}

void TCustomListBox::SetSorted(bool v) {
  if (v == FSorted) return;
  FSorted = v;
  if (!v) {
    RecreateWnd();
    return;
  }
  // Sorting reorders the stored items; per-item state follows a re-created window's order.
  if (HandleAllocated()) {
    RecreateWnd();
    std::vector<std::pair<String, TObject*>> items;
    for (int i = 0; i < Count(); ++i) items.push_back({FItems->Strings(i), FItems->Objects(i)});
    FItems->BeginUpdate();
    Send(LB_RESETCONTENT);
    for (auto& [text, obj] : items) {
      LRESULT r = Send(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
      if (r >= 0) Send(LB_SETITEMDATA, WPARAM(r), reinterpret_cast<LPARAM>(obj));
    }
    FItems->EndUpdate();
  } else {
    TStringList& saved = FItems->FSaved;
    saved.SetSorted(true);
    saved.SetSorted(false);
  }
}

void TCustomListBox::SetIntegralHeight(bool v) {
  if (v == FIntegralHeight) return;
  FIntegralHeight = v;
  RecreateWnd();
}

void TCustomListBox::SetBorderStyle(TBorderStyle v) {
  if (v == FBorderStyle) return;
  FBorderStyle = v;
  RecreateWnd();
}

void TCustomListBox::SetTabWidth(int v) {
  if (v < 0) throw EInvalidOperation(u"List box '" + Name() + u"': TabWidth " + IntToStr(v) + u" is negative");
  if (v == FTabWidth) return;
  FTabWidth = v;
  RecreateWnd();
}

int TCustomListBox::ItemAtPos(TPoint pos, bool existing) const {
  if (!HandleAllocated()) return existing ? -1 : Count();
  LRESULT r = Send(LB_ITEMFROMPOINT, 0, PointToLParam(pos));
  if (HIWORD(DWORD(r)) == 0) return int(LOWORD(DWORD(r)));
  return existing ? -1 : Count();
}

TRect TCustomListBox::ItemRect(int index) const {
  CheckItemIndex(index);
  TRect r;
  if (HandleAllocated()) Send(LB_GETITEMRECT, WPARAM(index), reinterpret_cast<LPARAM>(&r));
  return r;
}

void TCustomListBox::ClearSelection() {
  if (FMultiSelect) {
    if (HandleAllocated()) Send(LB_SETSEL, 0, -1);
    else FSaveSelected.clear();
  } else {
    SetItemIndex(-1);
  }
}

void TCustomListBox::SelectAll() {
  if (!FMultiSelect) return;
  if (HandleAllocated()) {
    Send(LB_SETSEL, 1, -1);
    return;
  }
  FSaveSelected.clear();
  for (int i = 0; i < Count(); ++i) FSaveSelected.push_back(i);
}

void TCustomListBox::DeleteSelected() {
  FItems->BeginUpdate();
  for (int i = Count() - 1; i >= 0; --i)
    if (Selected(i)) FItems->Delete(i);
  FItems->EndUpdate();
}

void TCustomListBox::ChangeScale(int M, int D, bool isDpiChange) {
  int height = FItemHeight;
  TWinControl::ChangeScale(M, D, isDpiChange);
  if (M != D && M > 0 && D > 0) SetItemHeight(std::max(1, MulDiv(height, M, D)));
}

void TCustomListBox::KeyPress(Char& key) {
  TWinControl::KeyPress(key);
  if (!FAutoComplete && key >= u' ') key = 0;
}

void TCustomListBox::DrawItem(int index, const TRect& rect, TOwnerDrawState state) {
  if (FOnDrawItem) {
    FOnDrawItem(this, index, rect, state);
    return;
  }
  FCanvas->FillRect(rect);
  if (index < 0 || index >= Count()) return;
  TRect r = rect;
  r.Left += MulDiv(2, CurrentPPI(), 96);
  HDC dc = FCanvas->Handle();
  SetBkMode(dc, TRANSPARENT);
  DrawTextW(dc, FItems->Strings(index), &r, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
}

void TCustomListBox::MeasureItem(int index, int& height) {
  if (FOnMeasureItem) FOnMeasureItem(this, index, height);
}

void TCustomListBox::CNDrawItem(TMessage& m) {
  auto* d = reinterpret_cast<DRAWITEMSTRUCT*>(m.LParam);
  m.Result = 1;
  if (!d || d->rcItem.IsEmpty()) return;
  TOwnerDrawState state = DrawState(d->itemState);
  TCanvasBinding binding(*FCanvas, d->hDC);
  FCanvas->Font()->SetPixelsPerInch(CurrentPPI());
  FCanvas->Font()->Assign(Font());
  FCanvas->Brush()->Assign(Brush());
  // The list's colours as the window set them on the DC (WM_CTLCOLORLISTBOX, which a style
  // hook may answer).
  FCanvas->Brush()->SetColor(TColor(GetBkColor(d->hDC)));
  FCanvas->Font()->SetColor(TColor(GetTextColor(d->hDC)));
  if (state.Contains(odSelected)) {
    FCanvas->Brush()->SetColor(clHighlight);
    FCanvas->Font()->SetColor(clHighlightText);
  }
  if (int(d->itemID) >= 0) DrawItem(int(d->itemID), d->rcItem, state);
  else FCanvas->FillRect(d->rcItem);
  if (state.Contains(odFocused)) DrawFocusRect(d->hDC, &d->rcItem);
}

void TCustomListBox::Dispatch(TMessage& m) {
  switch (m.Msg) {
    case CN_DRAWITEM: CNDrawItem(m); return;
    case CN_MEASUREITEM: {
      auto* mi = reinterpret_cast<MEASUREITEMSTRUCT*>(m.LParam);
      if (!mi) return;
      int height = FItemHeight;
      if (FStyle == lbOwnerDrawVariable) MeasureItem(int(mi->itemID), height);
      mi->itemHeight = UINT(std::max(1, height));
      m.Result = 1;
      return;
    }
    case CN_COMMAND:
      switch (HIWORD(DWORD(m.WParam))) {
        case LBN_SELCHANGE: Click(); break;
        case LBN_DBLCLK: DblClick(); break;
        default: break;
      }
      m.Result = 0;
      return;
    default: TWinControl::Dispatch(m); return;
  }
}

// ---- TCheckListBox ------------------------------------------------------------------------------

const TClass TCheckListBox::Class =
    TClass::Define<TCheckListBox, TCustomListBox>(u"TCheckListBox", [](auto& c) {
      c.Property(u"AllowGrayed", &TCheckListBox::AllowGrayed, &TCheckListBox::SetAllowGrayed)
          .Default(false);
      c.Property(u"OnClickCheck", &TCheckListBox::FOnClickCheck);
      c.Inherited(u"Style").Default(lbOwnerDrawFixed);
    });

TCheckListBox::TCheckListBox(TComponent* owner) : TCustomListBox(owner) { SetStyle(lbOwnerDrawFixed); }

int TCheckListBox::CheckWidth() const { return MulDiv(13 + 4, CurrentPPI(), 96); }

TCheckBoxState TCheckListBox::State(int index) const {
  CheckItemIndex(index);
  return size_t(index) < FStates.size() ? FStates[size_t(index)] : cbUnchecked;
}

void TCheckListBox::SetState(int index, TCheckBoxState v) {
  CheckItemIndex(index);
  if (size_t(index) >= FStates.size()) {
    if (v == cbUnchecked) return;
    FStates.resize(size_t(index) + 1, cbUnchecked);
  }
  if (FStates[size_t(index)] == v) return;
  FStates[size_t(index)] = v;
  if (HandleAllocated()) {
    TRect r = ItemRect(index);
    InvalidateRect(Handle(), &r, false);
  }
}

void TCheckListBox::ItemInserted(int index) {
  if (size_t(index) <= FStates.size()) FStates.insert(FStates.begin() + index, cbUnchecked);
}

void TCheckListBox::ItemDeleted(int index) {
  if (size_t(index) < FStates.size()) FStates.erase(FStates.begin() + index);
}

void TCheckListBox::ClickCheck() { FOnClickCheck(this); }

void TCheckListBox::ToggleClickCheck(int index) {
  if (index < 0 || index >= Count() || !Enabled()) return;
  TCheckBoxState next = cbUnchecked;
  switch (State(index)) {
    case cbUnchecked: next = cbChecked; break;
    case cbChecked: next = FAllowGrayed ? cbGrayed : cbUnchecked; break;
    case cbGrayed: next = cbUnchecked; break;
  }
  SetState(index, next);
  ClickCheck();
}

void TCheckListBox::KeyPress(Char& key) {
  TCustomListBox::KeyPress(key);
  if (key == u' ') {
    ToggleClickCheck(ItemIndex());
    key = 0;
  }
}

void TCheckListBox::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (button == mbLeft) {
    int index = ItemAtPos(TPoint(x, y), true);
    if (index >= 0) {
      TRect r = ItemRect(index);
      bool inCheck = UseRightToLeftAlignment() ? r.Right - x < CheckWidth() : x - r.Left < CheckWidth();
      if (inCheck) ToggleClickCheck(index);
    }
  }
  TCustomListBox::MouseDown(button, shift, x, y);
}

void TCheckListBox::Dispatch(TMessage& m) {
  if (m.Msg != CN_DRAWITEM) {
    TCustomListBox::Dispatch(m);
    return;
  }
  auto* d = reinterpret_cast<DRAWITEMSTRUCT*>(m.LParam);
  if (d && int(d->itemID) >= 0 && int(d->itemID) < Count() && !d->rcItem.IsEmpty()) {
    // The check area before the item, in the list's colour; the item is drawn beside it.
    int w = CheckWidth();
    bool rtl = UseRightToLeftAlignment();
    TRect area = rtl ? TRect(d->rcItem.Right - w, d->rcItem.Top, d->rcItem.Right, d->rcItem.Bottom)
                     : TRect(d->rcItem.Left, d->rcItem.Top, d->rcItem.Left + w, d->rcItem.Bottom);
    HBRUSH back = CreateSolidBrush(GetBkColor(d->hDC));
    FillRect(d->hDC, &area, back);
    DeleteObject(back);
    int box = std::min(MulDiv(13, CurrentPPI(), 96), std::max(1, area.Height() - 2));
    TRect b = TRect::FromSize(area.Left + (area.Width() - box) / 2,
                              area.Top + (area.Height() - box) / 2, box, box);
    UINT st = DFCS_BUTTONCHECK;
    TCheckBoxState s = State(int(d->itemID));
    if (s == cbChecked) st |= DFCS_CHECKED;
    if (s == cbGrayed) st = DFCS_BUTTON3STATE | DFCS_CHECKED;
    if (!Enabled()) st |= DFCS_INACTIVE;
    DrawFrameControl(d->hDC, &b, DFC_BUTTON, st);
    if (rtl) d->rcItem.Right -= w;
    else d->rcItem.Left += w;
  }
  TCustomListBox::Dispatch(m);
}

void RegisterListControlClasses() {
  static std::once_flag once;
  std::call_once(once, [] {
    RegisterControlClasses();
    RegisterClasses({&TListBox::Class, &TCheckListBox::Class});
  });
}

}  // namespace vcl
