// Attaching the hooks of control classes.
//
// Every windowed control of a registered class is linked: a small component put into the
// control's WindowProc chain that offers each message to the control's hook (when it has one)
// before passing it on. The link stays while the control lives, so it sees a re-created
// window's first message and gives that window a new hook at once; whether the control has a
// hook is decided again at every style switch, registration change, change of the control's
// StyleName or StyleElements and CM_STYLECHANGED (a parent's StyleName changed).
//
// A control created while classes are registered is found through the window manager's
// creation hook; its window is bound to the control only by its first message, so a short-lived
// message-return hook links it right after that message.
//
// As with the window hooks, a hook can be removed while one of its messages is being handled:
// links count the calls running through them, and retired hooks (and removed links) are deleted
// only when none runs.
#include <algorithm>
#include <cstdio>
#include <unordered_map>
#include <vector>

#include "host/themes/ControlStyleHooks.h"
#include "host/themes/StyleSwitch.h"
#include "host/vcl/Forms.h"
#include "host/vcl/Screen.h"

namespace vcl {

namespace {

using detail::AllWindows;
using detail::RecalcFrame;
using detail::Refresh;

struct TControlHookRegistry {
  std::vector<std::pair<const TClass*, TStyleHookClass>> Classes;  // registration order
  std::unordered_map<const TWinControl*, TControlHookLink*> Links;
  std::vector<HWND> FrameChanges;  // windows whose hooks came or went since the last switch
  std::vector<HWND> Pending;       // created windows not yet bound to their controls
  HHOOK Cbt = nullptr;
  HHOOK Ret = nullptr;
  TStyleManager::TFormBorderStyle FormBorder = TStyleManager::fbsCurrentStyle;
};

TControlHookRegistry& Reg() {
  static TControlHookRegistry r;
  return r;
}

// The hook class for controls of class c: the nearest registered ancestor, its latest
// registration.
TStyleHookClass ClassFor(const TClass* c) {
  auto& classes = Reg().Classes;
  if (classes.empty()) return nullptr;
  for (; c; c = c->ClassParent())
    for (auto it = classes.rbegin(); it != classes.rend(); ++it)
      if (it->first == c) return it->second;
  return nullptr;
}

bool PaintedInCustomStyle(const TWinControl* control) {
  TCustomStyleServices* s = StyleServices(control);
  return s && !s->IsSystemStyle();
}

void InstallCreationHook(bool on);

}  // namespace

struct TControlHookLink : public TComponent {
  TWinControl* Control;
  TWndMethod Prev;      // what the control's WindowProc was before the link
  TWndMethod Own;       // the link's place in the chain
  TStyleHookClass HookClass = nullptr;  // the hook the control is to have (nullptr: none)
  std::unique_ptr<TStyleHook> Hook;
  std::vector<std::unique_ptr<TStyleHook>> Retired;
  HWND FailedFor = nullptr;  // the window whose hook could not be made
  int Depth = 0;
  bool Removed = false;      // out of the registry: passes messages on only
  bool Deleting = false;     // to be deleted when idle

  explicit TControlHookLink(TWinControl* control) : TComponent(nullptr), Control(control) {
    Own = TWndMethod(this, &TControlHookLink::Proc);
    Prev = control->WindowProc();
    control->SetWindowProc(Own);
    control->FreeNotification(this);
  }

  struct TGuard {
    TControlHookLink* L;
    explicit TGuard(TControlHookLink* l) : L(l) { ++L->Depth; }
    ~TGuard() {
      if (--L->Depth == 0) L->Sweep();
    }
  };

  void Sweep() {
    while (Depth == 0 && !Retired.empty()) {
      auto retired = std::move(Retired);
      Retired.clear();
      ++Depth;  // a hook's destructor may send messages through the link
      retired.clear();
      --Depth;
    }
    if (Depth == 0 && Deleting) delete this;
  }

  HWND Window() const { return Control ? Control->HandleIfAllocated() : nullptr; }

  void Retire() {
    if (Hook) Retired.push_back(std::move(Hook));
  }

  bool CanHook() const {
    return Control && !Control->ComponentState().Contains(csDestroying) &&
           !Control->ControlState().Contains(csDestroyingHandle);
  }

  void Make(HWND h) {
    if (FailedFor == h) return;
    try {
      Hook = HookClass(Control);
    } catch (const std::exception& e) {
      // The control stays unstyled rather than failing.
      std::fprintf(stderr, "style hook of a %s control: %s\n", StringToUtf8(Control->ClassName()).c_str(),
                   e.what());
      Hook = nullptr;
    }
    if (Hook) Hook->FLink = this;
    else FailedFor = h;
  }

  // Decides again whether the control has a hook and which; true when that changed.
  bool Update() {
    TGuard guard(this);
    TStyleHookClass cls = ClassFor(Control->ClassType());
    TStyleHookClass want = cls && PaintedInCustomStyle(Control) ? cls : nullptr;
    HWND h = Window();
    bool had = Hook != nullptr;
    if (want == HookClass && (had || !want || !h || !CanHook())) {
      if (!cls) Remove();
      return false;
    }
    Retire();
    HookClass = want;
    FailedFor = nullptr;
    if (want && h && CanHook()) Make(h);
    if (!cls) Remove();
    return had || Hook != nullptr;
  }

  void Proc(TMessage& m) {
    TGuard guard(this);
    if (Removed) {
      Prev(m);
      return;
    }
    HWND h = Window();
    if (Hook && Hook->Handle() != h) Retire();  // the window was re-created
    if (!Hook && HookClass && h && CanHook()) Make(h);
    TStyleHook* hook = Hook.get();
    if (!(hook && hook->HandleMessage(m))) Prev(m);
    if (Removed) return;  // the control may be gone
    switch (m.Msg) {
      case WM_NCDESTROY:
        // The hook belongs to the window that ends here.
        Retire();
        if (Control->ComponentState().Contains(csDestroying)) Remove();
        break;
      case CM_STYLENAMECHANGED:
      case CM_STYLECHANGED:
        // A parent's StyleName may have changed the style that paints the control.
        if (Update()) Refresh(Window());
        break;
      case CM_STYLEELEMENTSCHANGED:
        // A hook that stays paints other parts now (a frame that no longer follows the style).
        if (Update() || Hook) Refresh(Window());
        break;
      default: break;
    }
  }

  // Takes the link out of the registry and, while it is the control's WindowProc, out of the
  // chain; a link something else has chained over stays, passing messages on, until the
  // control goes.
  void Remove() {
    if (Removed) return;
    Removed = true;
    Retire();
    HookClass = nullptr;
    auto& links = Reg().Links;
    if (auto it = links.find(Control); it != links.end() && it->second == this) links.erase(it);
    if (Control->WindowProc() == Own) {
      Control->SetWindowProc(Prev);
      Control->RemoveFreeNotification(this);
      Control = nullptr;
      DeleteWhenIdle();
    }
  }

  void DeleteWhenIdle() {
    Deleting = true;
    if (Depth == 0) Sweep();
  }

  void Notification(TComponent* component, TOperation operation) override {
    TComponent::Notification(component, operation);
    if (operation != opRemove || component != Control) return;
    // The control is being freed: nothing calls the chain any more.
    auto& links = Reg().Links;
    if (auto it = links.find(Control); it != links.end() && it->second == this) links.erase(it);
    Removed = true;
    Control = nullptr;
    Retire();
    DeleteWhenIdle();
  }
};

namespace detail {

void CallNextInChain(TControlHookLink* link, TMessage& msg) { link->Prev(msg); }

}  // namespace detail

namespace {

TControlHookLink* Link(TWinControl* c) {
  auto& links = Reg().Links;
  if (auto it = links.find(c); it != links.end()) return it->second;
  if (c->ComponentState().Contains(csDestroying) || !ClassFor(c->ClassType())) return nullptr;
  auto* l = new TControlHookLink(c);
  links.emplace(c, l);
  return l;
}

// Links a control (when its class is registered) and gives it its hook; true when its hook
// changed.
bool Bind(TWinControl* c) {
  auto& links = Reg().Links;
  bool fresh = links.find(c) == links.end();
  TControlHookLink* l = Link(c);
  if (!l) return false;
  bool changed = l->Update();
  return changed || (fresh && l->Hook);
}

LRESULT RetProc(int code, WPARAM wp, LPARAM lp) {
  TControlHookRegistry& r = Reg();
  HHOOK self = r.Ret;
  auto* ret = reinterpret_cast<const CWPRETSTRUCT*>(lp);
  if (code == HC_ACTION && ret) {
    auto it = std::find(r.Pending.begin(), r.Pending.end(), ret->hwnd);
    if (it != r.Pending.end()) {
      r.Pending.erase(it);
      if (TWinControl* c = FindControl(ret->hwnd)) Bind(c);
    }
  }
  if (r.Pending.empty() && r.Ret) {
    UnhookWindowsHookEx(r.Ret);
    r.Ret = nullptr;
  }
  return CallNextHookEx(self, code, wp, lp);
}

LRESULT CbtProc(int code, WPARAM wp, LPARAM lp) {
  TControlHookRegistry& r = Reg();
  auto h = reinterpret_cast<HWND>(wp);
  if (code == HCBT_CREATEWND && !r.Classes.empty()) {
    r.Pending.push_back(h);
    if (!r.Ret) r.Ret = SetWindowsHookExW(WH_CALLWNDPROCRET, RetProc, nullptr, 0);
  } else if (code == HCBT_DESTROYWND) {
    r.Pending.erase(std::remove(r.Pending.begin(), r.Pending.end(), h), r.Pending.end());
  }
  return CallNextHookEx(r.Cbt, code, wp, lp);
}

void InstallCreationHook(bool on) {
  TControlHookRegistry& r = Reg();
  if (on && !r.Cbt) r.Cbt = SetWindowsHookExW(WH_CBT, CbtProc, nullptr, 0);
  if (!on && r.Cbt) {
    UnhookWindowsHookEx(r.Cbt);
    r.Cbt = nullptr;
    r.Pending.clear();
    if (r.Ret) {
      UnhookWindowsHookEx(r.Ret);
      r.Ret = nullptr;
    }
  }
}

std::vector<TControlHookLink*> LinksNow() {
  std::vector<TControlHookLink*> links;
  links.reserve(Reg().Links.size());
  for (auto& [c, l] : Reg().Links) links.push_back(l);
  return links;
}

// Re-decides the hooks of the linked controls of a class (every class for nullptr), and links
// the existing controls of that class that have none yet; returns the windows whose hooks
// changed.
std::vector<HWND> Reapply(const TClass* of) {
  std::vector<HWND> changed;
  std::vector<TControlHookLink*> links = LinksNow();
  for (auto* l : links) l->Depth++;  // none is deleted while others are updated
  for (auto* l : links) {
    if (l->Removed || !l->Control) continue;
    if (of && !l->Control->ClassType()->InheritsFrom(of)) continue;
    HWND h = l->Window();
    if (l->Update() && h) changed.push_back(h);
  }
  for (auto* l : links)
    if (--l->Depth == 0) l->Sweep();
  if (of) {
    for (HWND h : AllWindows()) {
      TWinControl* c = FindControl(h);
      if (!c || !c->ClassType()->InheritsFrom(of) || Reg().Links.count(c)) continue;
      if (Bind(c)) changed.push_back(h);
    }
  }
  return changed;
}

}  // namespace

namespace detail {

void ApplyControlStyleHooks() {
  std::vector<HWND> changed = Reapply(nullptr);
  auto& frames = Reg().FrameChanges;
  frames.insert(frames.end(), changed.begin(), changed.end());
}

std::vector<HWND> TakeControlHookFrames() {
  std::vector<HWND> frames = std::move(Reg().FrameChanges);
  Reg().FrameChanges.clear();
  for (auto& [c, l] : Reg().Links)
    if (l->Hook && l->Hook->Handle()) frames.push_back(l->Hook->Handle());
  std::sort(frames.begin(), frames.end());
  frames.erase(std::unique(frames.begin(), frames.end()), frames.end());
  return frames;
}

namespace {
void NotifyWithoutWindows(TWinControl* c) {
  for (int i = 0; i < c->WinControlCount(); ++i) {
    TWinControl* child = c->WinControls(i);
    if (child->HandleAllocated()) continue;  // its window is told
    child->Perform(CM_STYLECHANGED, 0, 0);
    NotifyWithoutWindows(child);
  }
}
}  // namespace

void NotifyControlsWithoutWindows(const std::vector<HWND>& windows) {
  for (HWND h : windows)
    if (TWinControl* c = FindControl(h)) NotifyWithoutWindows(c);
  // Forms whose windows are not made yet, with everything on them.
  if (!Screen) return;
  std::vector<TCustomForm*> forms;
  for (int i = 0; i < Screen->FormCount(); ++i) forms.push_back(Screen->Forms(i));
  for (TCustomForm* f : forms) {
    if (f->HandleAllocated() || f->Parent()) continue;
    f->Perform(CM_STYLECHANGED, 0, 0);
    NotifyWithoutWindows(f);
  }
}

}  // namespace detail

void TStyleManager::RegisterStyleHook(const TClass& controlClass, TStyleHookClass hookClass) {
  Initialize();
  if (!hookClass)
    throw EStyleEngineException(u"RegisterStyleHook: no hook class for " + String(controlClass.ClassName()));
  auto& classes = Reg().Classes;
  for (auto& [c, h] : classes)
    if (c == &controlClass && h == hookClass)
      throw EStyleEngineException(u"RegisterStyleHook: this hook class is already registered for " +
                                  String(controlClass.ClassName()));
  classes.push_back({&controlClass, hookClass});
  InstallCreationHook(true);
  for (HWND h : Reapply(&controlClass)) Refresh(h);
}

void TStyleManager::UnRegisterStyleHook(const TClass& controlClass, TStyleHookClass hookClass) {
  Initialize();
  auto& classes = Reg().Classes;
  auto it = std::find(classes.begin(), classes.end(), std::pair<const TClass*, TStyleHookClass>(&controlClass, hookClass));
  if (it == classes.end()) return;
  classes.erase(it);
  std::vector<HWND> changed = Reapply(&controlClass);
  if (classes.empty()) InstallCreationHook(false);
  for (HWND h : changed) Refresh(h);
}

TStyleHookClass TStyleManager::StyleHookClassOf(const TClass& controlClass) { return ClassFor(&controlClass); }

TStyleHook* TStyleManager::StyleHookOf(const TWinControl* control) {
  auto& links = Reg().Links;
  auto it = links.find(control);
  if (it == links.end() || !it->second->Hook) return nullptr;
  return it->second->Hook.get();
}

TStyleManager::TFormBorderStyle TStyleManager::FormBorderStyle() { return Reg().FormBorder; }

void TStyleManager::SetFormBorderStyle(TFormBorderStyle v) {
  if (Reg().FormBorder == v) return;
  Reg().FormBorder = v;
  std::vector<HWND> hooked;
  for (auto& [c, l] : Reg().Links)
    if (l->Hook && l->Hook->Handle()) hooked.push_back(l->Hook->Handle());
  for (HWND h : hooked) Refresh(h);
}

}  // namespace vcl
