// Popup menus: showing them modally on a hidden utility window that receives the menu's
// messages for every popup menu alive, and running the chosen item afterwards.
#include <algorithm>
#include <vector>

#include "host/vcl/MenuInternal.h"
#include "host/vcl/UtilWindow.h"

namespace vcl {

namespace {

std::vector<TPopupMenu*>& PopupList() {
  static auto* list = new std::vector<TPopupMenu*>;
  return *list;
}

bool IsLivePopup(const TPopupMenu* m) {
  const auto& l = PopupList();
  return std::find(l.begin(), l.end(), m) != l.end();
}

HWND gPopupWindow = nullptr;

LRESULT PopupListProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_NCDESTROY:
      if (hwnd == gPopupWindow) gPopupWindow = nullptr;
      break;
    case WM_INITMENUPOPUP:
    case WM_MEASUREITEM:
    case WM_DRAWITEM:
    case WM_MENUSELECT:
    case WM_COMMAND: {
      // A handler may free menus: walk a copy and skip the ones gone.
      std::vector<TPopupMenu*> menus = PopupList();
      for (TPopupMenu* m : menus) {
        LRESULT r = 0;
        if (IsLivePopup(m) && m->ProcessMenuMessage(msg, wp, lp, r)) return r;
      }
      if (msg == WM_MENUSELECT) return 0;
      break;
    }
    default: break;
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}

// The hidden window popup menus are tracked on.
HWND PopupListWindow() {
  if (gPopupWindow && IsWindow(gPopupWindow)) return gPopupWindow;
  gPopupWindow = AllocateHWnd(PopupListProc, WS_EX_TOOLWINDOW);
  return gPopupWindow;
}

UINT AlignmentFlags(TPopupAlignment a) {
  switch (a) {
    case paRight: return TPM_RIGHTALIGN;
    case paCenter: return TPM_CENTERALIGN;
    default: return TPM_LEFTALIGN;
  }
}

}  // namespace

TPopupMenu::TPopupMenu(TComponent* owner) : TMenu(owner) { PopupList().push_back(this); }

TPopupMenu::~TPopupMenu() {
  auto& l = PopupList();
  l.erase(std::remove(l.begin(), l.end(), this), l.end());
  SetPopupComponent(nullptr);
  if (FTracking) EndMenu();
}

void TPopupMenu::SetPopupComponent(TComponent* v) {
  if (FPopupComponent == v) return;
  if (FPopupComponent) FPopupComponent->RemoveFreeNotification(this);
  FPopupComponent = v;
  if (FPopupComponent) FPopupComponent->FreeNotification(this);
}

void TPopupMenu::Notification(TComponent* component, TOperation operation) {
  TMenu::Notification(component, operation);
  if (operation == opRemove && component == FPopupComponent) FPopupComponent = nullptr;
}

void TPopupMenu::DoPopup(TObject* sender) { FOnPopup(sender); }

void TPopupMenu::DoClose() { FOnClose(this); }

void TPopupMenu::Popup(int X, int Y) {
  if (FTracking) return;
  FPopupPoint = {X, Y};
  DoPopup(this);
  if (!IsLivePopup(this)) return;  // freed by OnPopup
  bool any = false;
  for (int i = 0; i < Items()->Count(); ++i) any = any || Items()->Items(i)->Visible();
  int command = 0;
  if (any) {
    HMENU menu = Items()->Handle();
    UINT flags = AlignmentFlags(FAlignment) | TPM_RETURNCMD | (FTrackButton == tbRightButton ? TPM_RIGHTBUTTON : 0);
    FTracking = true;
    command = TrackPopupMenu(menu, flags, X, Y, 0, PopupListWindow(), nullptr);
    if (!IsLivePopup(this)) return;  // freed while it was open
    FTracking = false;
  }
  DoClose();
  if (!IsLivePopup(this)) return;
  if (command) DispatchCommand(WORD(command));
}

bool ShowControlPopupMenu(TPopupMenu* menu, TComponent* popupComponent, TPoint screenPt) {
  if (!menu || !IsLivePopup(menu) || !menu->AutoPopup()) return false;
  menu->SetPopupComponent(popupComponent);
  menu->Popup(screenPt.X, screenPt.Y);
  return true;
}

}  // namespace vcl
