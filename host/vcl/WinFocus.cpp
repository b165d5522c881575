// Focus, tab order and the keyboard: entering and leaving controls, dialog keys and
// accelerators, and the key step of the message loop.
#include <algorithm>

#include "host/vcl/ControlsInternal.h"

namespace vcl {

// ---- tab order ------------------------------------------------------------------------------------

int TWinControl::TabOrder() const {
  if (!FParent) return -1;
  const auto& list = FParent->FTabList;
  auto it = std::find(list.begin(), list.end(), this);
  return it == list.end() ? -1 : int(it - list.begin());
}

void TWinControl::SetTabOrder(int v) {
  if (ComponentState().Contains(csReading)) {
    // Applied once the siblings are read (FixupTabList).
    FTabOrderValue = v;
    return;
  }
  if (!FParent) return;
  auto& list = FParent->FTabList;
  int cur = TabOrder();
  if (cur < 0) return;
  int count = int(list.size());
  v = std::clamp(v, 0, count - 1);
  if (v == cur) return;
  list.erase(list.begin() + cur);
  list.insert(list.begin() + v, this);
}

void TWinControl::FixupTabList() {
  // The stored tab orders of children read from a description: stable, so equal or missing
  // values keep the reading order.
  std::vector<TWinControl*> read;
  for (TWinControl* w : FTabList)
    if (w->FTabOrderValue >= 0) read.push_back(w);
  if (read.empty()) return;
  std::vector<TWinControl*> result(FTabList.size(), nullptr);
  std::stable_sort(read.begin(), read.end(),
                   [](TWinControl* a, TWinControl* b) { return a->FTabOrderValue < b->FTabOrderValue; });
  std::vector<TWinControl*> rest;
  for (TWinControl* w : FTabList)
    if (w->FTabOrderValue < 0) rest.push_back(w);
  for (TWinControl* w : read) {
    size_t pos = std::min<size_t>(size_t(w->FTabOrderValue), result.size() - 1);
    while (pos < result.size() && result[pos]) ++pos;
    if (pos == result.size()) {
      pos = 0;
      while (result[pos]) ++pos;
    }
    result[pos] = w;
    w->FTabOrderValue = -1;
  }
  size_t k = 0;
  for (TWinControl*& slot : result)
    if (!slot) slot = rest[k++];
  FTabList = std::move(result);
}

void TWinControl::GetTabOrderList(std::vector<TWinControl*>& list) {
  for (TWinControl* w : FTabList) {
    list.push_back(w);
    w->GetTabOrderList(list);
  }
}

TWinControl* TWinControl::FindNextControl(TWinControl* current, bool goForward, bool checkTabStop,
                                          bool checkParent) {
  std::vector<TWinControl*> list;
  GetTabOrderList(list);
  if (list.empty()) return nullptr;
  auto found = std::find(list.begin(), list.end(), current);
  int count = int(list.size());
  int start = found == list.end() ? (goForward ? count - 1 : 0) : int(found - list.begin());
  int i = start;
  do {
    if (goForward) {
      if (++i == count) i = 0;
    } else {
      if (i == 0) i = count;
      --i;
    }
    TWinControl* c = list[size_t(i)];
    if (c->CanFocus() && (!checkTabStop || c->FTabStop) && (!checkParent || c->FParent == this))
      return c;
  } while (i != start);
  return nullptr;
}

void TWinControl::SelectNext(TWinControl* current, bool goForward, bool checkTabStop) {
  if (TWinControl* next = FindNextControl(current, goForward, checkTabStop, !checkTabStop))
    next->SetFocus();
}

void TWinControl::SelectFirst() {
  if (TWinControl* first = FindNextControl(nullptr, true, true, false)) first->SetFocus();
}

// ---- focus -------------------------------------------------------------------------------------------

bool TWinControl::CanFocus() const {
  // The root (a form) need not be shown yet; everything under it must be visible and enabled.
  if (!FParent) return FVisible && Enabled();
  return ctl::VisibleAndEnabledChain(this);
}

void TWinControl::SetFocus() {
  if (!CanFocus())
    throw EInvalidOperation(u"Cannot focus a disabled or invisible window ('" +
                            (Name().empty() ? String(ClassName()) : Name()) + u"')");
  ::vcl::SetFocus(Handle());
}

bool TWinControl::Focused() const { return FHandle && GetFocus() == FHandle; }

bool TWinControl::SetFocusedControl(TWinControl* control) {
  if (ComponentState().Contains(csDestroying)) return false;
  TWinControl* old = FEnteredControl;
  if (old == control) return true;
  FEnteredControl = control;
  // Leave the controls the focus no longer is in, innermost first (not the root itself).
  for (TWinControl* c = old; c && c != this && !(control && c->ContainsControl(control));
       c = c->FParent) {
    c->Perform(CM_EXIT, 0, 0);
    if (FEnteredControl != control) return false;  // a handler moved the focus again
  }
  // Enter the controls above the new one, outermost first.
  if (control) {
    TWinControl* common = old;
    while (common && common != this && !common->ContainsControl(control)) common = common->FParent;
    if (!common) common = this;
    std::vector<TWinControl*> chain;
    for (TWinControl* c = control; c && c != common; c = c->FParent) chain.push_back(c);
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
      (*it)->Perform(CM_ENTER, 0, 0);
      if (FEnteredControl != control) return false;
    }
    for (TWinControl* c = control->FParent; c && c != this; c = c->FParent)
      if (auto* s = dynamic_cast<TScrollingWinControl*>(c)) s->AutoScrollInView(control);
  }
  Perform(CM_FOCUSCHANGED, 0, LPARAM(control));
  return true;
}

void TWinControl::WMSetFocus(TMessage& m) {
  DefaultHandler(m);
  if (ComponentState().Contains(csDestroying)) return;
  if (TWinControl* root = TopParent(); root && root != this) root->SetFocusedControl(this);
}

void TWinControl::WMKillFocus(TMessage& m) { DefaultHandler(m); }

void TWinControl::CMFocusChanged(TMessage& m) { Broadcast(m); }

void TWinControl::CMEnter(TMessage&) { DoEnter(); }
void TWinControl::CMExit(TMessage&) { DoExit(); }
void TWinControl::DoEnter() { FOnEnter(this); }
void TWinControl::DoExit() { FOnExit(this); }

// ---- keys ----------------------------------------------------------------------------------------------

void TWinControl::KeyDown(Word& key, TShiftState shift) { FOnKeyDown(this, key, shift); }
void TWinControl::KeyUp(Word& key, TShiftState shift) { FOnKeyUp(this, key, shift); }
void TWinControl::KeyPress(Char& key) { FOnKeyPress(this, key); }

bool TWinControl::DoKeyDown(TMessage& m) {
  TWinControl* root = TopParent();
  if (root && root != this && root->KeyPreviewEnabled() && root->DoKeyDown(m)) return true;
  if (FControlStyle.Contains(csNoStdEvents)) return false;
  Word key = KeyCharCode(m);
  KeyDown(key, KeyDataToShiftState(m.LParam));
  SetKeyCharCode(m, key);
  return key == 0;
}

bool TWinControl::DoKeyUp(TMessage& m) {
  TWinControl* root = TopParent();
  if (root && root != this && root->KeyPreviewEnabled() && root->DoKeyUp(m)) return true;
  if (FControlStyle.Contains(csNoStdEvents)) return false;
  Word key = KeyCharCode(m);
  KeyUp(key, KeyDataToShiftState(m.LParam));
  SetKeyCharCode(m, key);
  return key == 0;
}

bool TWinControl::DoKeyPress(TMessage& m) {
  TWinControl* root = TopParent();
  if (root && root != this && root->KeyPreviewEnabled() && root->DoKeyPress(m)) return true;
  if (FControlStyle.Contains(csNoStdEvents)) return false;
  Char ch = Char(m.WParam);
  KeyPress(ch);
  m.WParam = ch;
  return ch == 0;
}

void TWinControl::WMKeyMessage(TMessage& m) {
  bool used = false;
  switch (m.Msg) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: used = DoKeyDown(m); break;
    case WM_KEYUP:
    case WM_SYSKEYUP: used = DoKeyUp(m); break;
    case WM_CHAR: used = DoKeyPress(m); break;
    default: break;
  }
  if (used) {
    m.Result = 0;
    return;
  }
  DefaultHandler(m);
}

void TWinControl::CNKeyDown(TMessage& m) {
  m.Result = 1;
  if (!ComponentState().Contains(csDesigning)) {
    Word key = KeyCharCode(m);
    if (Perform(CM_CHILDKEY, key, LPARAM(this)) != 0) return;
    LRESULT mask = 0;
    switch (key) {
      case VK_TAB: mask = DLGC_WANTTAB; break;
      case VK_LEFT:
      case VK_RIGHT:
      case VK_UP:
      case VK_DOWN: mask = DLGC_WANTARROWS; break;
      case VK_RETURN:
      case VK_EXECUTE:
      case VK_ESCAPE:
      case VK_CANCEL: mask = DLGC_WANTALLKEYS; break;
      default: break;
    }
    if (mask != 0 && Perform(CM_WANTSPECIALKEY, key, 0) == 0 &&
        (Perform(WM_GETDLGCODE, 0, 0) & mask) == 0) {
      TWinControl* root = TopParent();
      if (root && root->Perform(CM_DIALOGKEY, key, m.LParam) != 0) return;
    }
  }
  m.Result = 0;
}

void TWinControl::CNChar(TMessage& m) {
  m.Result = 1;
  if (!ComponentState().Contains(csDesigning)) {
    bool sys = m.Msg == CN_SYSCHAR;
    if (sys || (Perform(WM_GETDLGCODE, 0, 0) & DLGC_WANTCHARS) == 0) {
      TWinControl* root = TopParent();
      if (root && root->Perform(CM_DIALOGCHAR, m.WParam, m.LParam) != 0) return;
    }
  }
  m.Result = 0;
}

void TWinControl::CMDialogKey(TMessage& m) { Broadcast(m); }
void TWinControl::CMDialogChar(TMessage& m) { Broadcast(m); }

void TWinControl::CMChildKey(TMessage& m) {
  if (FParent)
    m.Result = FParent->Perform(CM_CHILDKEY, m.WParam, m.LParam);
  else
    m.Result = 0;
}

bool IsControlKeyMsg(const MSG& msg) {
  UINT reflected = 0;
  switch (msg.message) {
    case WM_KEYDOWN: reflected = CN_KEYDOWN; break;
    case WM_SYSKEYDOWN: reflected = CN_SYSKEYDOWN; break;
    case WM_CHAR: reflected = CN_CHAR; break;
    case WM_SYSCHAR: reflected = CN_SYSCHAR; break;
    default: return false;
  }
  // The control the window belongs to, or the nearest control above a window of its own.
  HWND h = msg.hwnd;
  TWinControl* c = FindControl(h);
  while (!c && h) {
    h = GetParent(h);
    c = FindControl(h);
  }
  if (!c || !c->HandleAllocated()) return false;
  return SendMessageW(c->Handle(), reflected, msg.wParam, msg.lParam) != 0;
}

}  // namespace vcl
