// Attaching the hooks of system window classes: the class registry, subclassing windows through
// one window procedure that looks up each window's hook, the creation hook that catches new
// windows while a custom style is active, and what a style switch does to the windows.
//
// A hook can be removed (a switch to the system style, an unregistration) while one of its own
// messages is being handled, even from inside its own code: the window's link therefore counts
// the calls running through it, and hooks taken off a window are deleted only when none runs.
#include <cstdio>
#include <unordered_map>
#include <vector>

#include "host/themes/StyleHooks.h"
#include "host/themes/StyleManager.h"
#include "host/themes/StyleSwitch.h"
#include "host/win/WinUser.h"

namespace vcl {

struct TSysHookLink {
  HWND Wnd = nullptr;
  WNDPROC Orig = nullptr;                 // the procedure before the hook's
  std::unique_ptr<TSysStyleHook> Hook;    // nullptr: passing messages on only
  TSysStyleHookClass Class = nullptr;
  std::vector<std::unique_ptr<TSysStyleHook>> Retired;  // taken off, deleted when idle
  int Depth = 0;                          // calls running through the link
  bool Unlinked = false;                  // out of the table: deleted when idle

  void SetHook(std::unique_ptr<TSysStyleHook> hook, TSysStyleHookClass cls) {
    if (Hook) Retired.push_back(std::move(Hook));
    Hook = std::move(hook);
    Class = cls;
    if (Hook) Hook->FDefProc = Orig;
  }
};

namespace {

using detail::AllWindows;
using detail::RecalcFrame;
using detail::Refresh;

String LowerAscii(StringView s) {
  String r(s);
  for (Char& c : r)
    if (c >= u'A' && c <= u'Z') c = Char(c + 32);
  return r;
}

struct THookRegistry {
  std::vector<std::pair<String, TSysStyleHookClass>> Classes;  // lower-case class names
  std::unordered_map<HWND, TSysHookLink*> Links;
  std::vector<HWND> LostHooks;  // windows whose hook went since the last notification
  HHOOK Cbt = nullptr;
};

THookRegistry& Reg() {
  static THookRegistry r;
  return r;
}

TSysStyleHookClass ClassFor(HWND h) {
  THookRegistry& r = Reg();
  if (r.Classes.empty()) return nullptr;
  String name = LowerAscii(GetClassName(h));
  for (auto& [n, c] : r.Classes)
    if (n == name) return c;
  return nullptr;
}

void Sweep(TSysHookLink* l) {
  // Deleting a hook may send messages through the link again: take the list first.
  while (l->Depth == 0 && !l->Retired.empty()) {
    auto retired = std::move(l->Retired);
    l->Retired.clear();
    retired.clear();
  }
  if (l->Depth == 0 && l->Unlinked && l->Retired.empty()) delete l;
}

void Unlink(TSysHookLink* l) {
  THookRegistry& r = Reg();
  auto it = r.Links.find(l->Wnd);
  if (it != r.Links.end() && it->second == l) r.Links.erase(it);
  l->Unlinked = true;
}

struct TDepthGuard {
  TSysHookLink* Link;
  explicit TDepthGuard(TSysHookLink* l) : Link(l) { ++Link->Depth; }
  ~TDepthGuard() {
    if (--Link->Depth == 0) Sweep(Link);
  }
};

LRESULT HookedWndProc(HWND h, UINT m, WPARAM wp, LPARAM lp) {
  THookRegistry& r = Reg();
  auto it = r.Links.find(h);
  if (it == r.Links.end()) return DefWindowProcW(h, m, wp, lp);
  TSysHookLink* l = it->second;
  TDepthGuard guard(l);
  WNDPROC orig = l->Orig;
  LRESULT result;
  TMessage msg{m, wp, lp, 0};
  if (l->Hook && l->Hook->HandleMessage(msg))
    result = msg.Result;
  else
    result = CallWindowProcW(orig, h, m, wp, lp);
  if (m == WM_NCDESTROY) {
    if (l->Hook) l->Retired.push_back(std::move(l->Hook));
    Unlink(l);
  }
  return result;
}

std::unique_ptr<TSysStyleHook> MakeHook(TSysStyleHookClass cls, HWND h) {
  try {
    return cls(h);
  } catch (const std::exception& e) {
    // The window stays unstyled rather than failing its creation.
    std::fprintf(stderr, "style hook of a \"%s\" window: %s\n", StringToUtf8(GetClassName(h)).c_str(), e.what());
    return nullptr;
  }
}

// Gives a window the hook of `cls` (a no-op when it has it already). True when it changed.
bool Attach(HWND h, TSysStyleHookClass cls) {
  THookRegistry& r = Reg();
  TSysHookLink* l;
  auto it = r.Links.find(h);
  if (it != r.Links.end()) {
    l = it->second;
    if (l->Hook && l->Class == cls) return false;
  } else {
    l = new TSysHookLink;
    l->Wnd = h;
    l->Orig = LongToProc(SetWindowLongPtrW(h, GWLP_WNDPROC, ProcToLong(HookedWndProc)));
    r.Links.emplace(h, l);
  }
  TDepthGuard guard(l);
  l->SetHook(MakeHook(cls, h), cls);
  return true;
}

void Detach(TSysHookLink* l) {
  THookRegistry& r = Reg();
  TDepthGuard guard(l);
  bool had = l->Hook != nullptr;
  l->SetHook(nullptr, nullptr);
  if (had) r.LostHooks.push_back(l->Wnd);
  // Our procedure can be taken out only while it is the window's: a procedure installed after
  // the hook calls through it, so then the link stays, passing messages on.
  if (!l->Unlinked && IsWindow(l->Wnd) &&
      GetWindowLongPtrW(l->Wnd, GWLP_WNDPROC) == ProcToLong(HookedWndProc)) {
    SetWindowLongPtrW(l->Wnd, GWLP_WNDPROC, ProcToLong(l->Orig));
    Unlink(l);
  }
}

LRESULT CbtProc(int code, WPARAM wp, LPARAM lp) {
  if (code == HCBT_CREATEWND && TStyleManager::IsCustomStyleActive()) {
    auto h = reinterpret_cast<HWND>(wp);
    if (TSysStyleHookClass cls = ClassFor(h)) Attach(h, cls);
  }
  return CallNextHookEx(Reg().Cbt, code, wp, lp);
}

void InstallCreationHook(bool on) {
  THookRegistry& r = Reg();
  if (on && !r.Cbt) r.Cbt = SetWindowsHookExW(WH_CBT, CbtProc, nullptr, 0);
  if (!on && r.Cbt) {
    UnhookWindowsHookEx(r.Cbt);
    r.Cbt = nullptr;
  }
}

// Attaches the hook of one registered class (all when name is empty) to the existing windows.
std::vector<HWND> AttachExisting(const String& lowerName) {
  std::vector<HWND> changed;
  for (HWND h : AllWindows()) {
    if (!IsWindow(h)) continue;
    if (!lowerName.empty() && LowerAscii(GetClassName(h)) != lowerName) continue;
    if (TSysStyleHookClass cls = ClassFor(h))
      if (Attach(h, cls)) changed.push_back(h);
  }
  return changed;
}

}  // namespace

namespace detail {

std::vector<HWND> AllWindows(std::vector<HWND>* topLevel) {
  std::vector<HWND> tops, all;
  EnumWindows(
      [](HWND h, LPARAM p) {
        reinterpret_cast<std::vector<HWND>*>(p)->push_back(h);
        return BOOL(true);
      },
      reinterpret_cast<LPARAM>(&tops));
  for (HWND t : tops) {
    all.push_back(t);
    EnumChildWindows(
        t,
        [](HWND h, LPARAM p) {
          reinterpret_cast<std::vector<HWND>*>(p)->push_back(h);
          return BOOL(true);
        },
        reinterpret_cast<LPARAM>(&all));
  }
  if (topLevel) *topLevel = std::move(tops);
  return all;
}

void RecalcFrame(HWND h) {
  SetWindowPos(h, nullptr, 0, 0, 0, 0,
               SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Refresh(HWND h) {
  if (!IsWindow(h)) return;
  RecalcFrame(h);
  if (IsWindow(h)) RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}


void ApplySysStyleHooks() {
  THookRegistry& r = Reg();
  bool on = TStyleManager::IsCustomStyleActive() && !r.Classes.empty();
  if (on) {
    InstallCreationHook(true);
    AttachExisting({});
  } else {
    InstallCreationHook(false);
    std::vector<HWND> hooked;
    for (auto& [h, l] : r.Links) hooked.push_back(h);
    // Removing one hook may end other windows: look each up again.
    for (HWND h : hooked)
      if (auto it = r.Links.find(h); it != r.Links.end()) Detach(it->second);
  }
}

void NotifyWindowsOfStyleChange() {
  THookRegistry& r = Reg();
  std::vector<HWND> tops;
  std::vector<HWND> all = AllWindows(&tops);
  for (HWND h : all)
    if (IsWindow(h)) SendMessageW(h, CM_STYLECHANGED, 0, 0);
  NotifyControlsWithoutWindows(all);
  // Frames whose metrics may differ now: hooked windows and those that lost their hooks.
  std::vector<HWND> frames = std::move(r.LostHooks);
  r.LostHooks.clear();
  for (auto& [h, l] : r.Links)
    if (l->Hook) frames.push_back(h);
  std::vector<HWND> controls = TakeControlHookFrames();
  frames.insert(frames.end(), controls.begin(), controls.end());
  for (HWND h : frames)
    if (IsWindow(h)) RecalcFrame(h);
  for (HWND h : tops)
    if (IsWindow(h))
      RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

}  // namespace detail

void TStyleManager::RegisterSysStyleHook(StringView windowClassName, TSysStyleHookClass hookClass) {
  Initialize();
  if (!hookClass) throw EStyleEngineException(u"RegisterSysStyleHook: no hook class for \"" + String(windowClassName) + u"\"");
  THookRegistry& r = Reg();
  String name = LowerAscii(windowClassName);
  bool found = false;
  for (auto& [n, c] : r.Classes)
    if (n == name) {
      c = hookClass;
      found = true;
    }
  if (!found) r.Classes.push_back({name, hookClass});
  if (IsCustomStyleActive()) {
    InstallCreationHook(true);
    for (HWND h : AttachExisting(name)) Refresh(h);
  }
}

void TStyleManager::UnRegisterSysStyleHook(StringView windowClassName, TSysStyleHookClass hookClass) {
  Initialize();
  THookRegistry& r = Reg();
  String name = LowerAscii(windowClassName);
  bool removed = false;
  for (auto it = r.Classes.begin(); it != r.Classes.end(); ++it)
    if (it->first == name && it->second == hookClass) {
      r.Classes.erase(it);
      removed = true;
      break;
    }
  if (!removed) return;
  std::vector<HWND> hooked;
  for (auto& [h, l] : r.Links)
    if (l->Class == hookClass && LowerAscii(GetClassName(h)) == name) hooked.push_back(h);
  for (HWND h : hooked)
    if (auto it = r.Links.find(h); it != r.Links.end()) {
      Detach(it->second);
      Refresh(h);
    }
  if (r.Classes.empty()) InstallCreationHook(false);
}

TSysStyleHookClass TStyleManager::SysStyleHookClassOf(StringView windowClassName) {
  Initialize();
  String name = LowerAscii(windowClassName);
  for (auto& [n, c] : Reg().Classes)
    if (n == name) return c;
  return nullptr;
}

TSysStyleHook* TStyleManager::SysStyleHookOf(HWND window) {
  THookRegistry& r = Reg();
  auto it = r.Links.find(window);
  return it == r.Links.end() ? nullptr : it->second->Hook.get();
}

}  // namespace vcl
