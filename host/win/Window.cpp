// Window classes, window creation and destruction, the window tree and z-order, window longs,
// properties and text.
#include <algorithm>
#include <cstring>
#include <string>

#include "host/win/WinInternal.h"
#include "host/win/ctl/ListBox.h"
#include "host/win/ctl/UpDown.h"
#include "host/win/ctl/Edit.h"

namespace vcl {

struct WndProcInstance {
  TWndProcFunction Function;
};

namespace {

WinState* gWm = nullptr;

std::unordered_set<const void*>& Instances() {
  static auto* s = new std::unordered_set<const void*>;
  return *s;
}

Char FoldAscii(Char c) { return (c >= u'a' && c <= u'z') ? Char(c - 32) : c; }

bool SameName(StringView a, StringView b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (FoldAscii(a[i]) != FoldAscii(b[i])) return false;
  return true;
}

// A name argument that may be an integer atom (a value below 0x10000).
String NameArg(const Char* s) {
  auto v = reinterpret_cast<std::uintptr_t>(s);
  if (v == 0) return {};
  if (v < 0x10000) return u"#" + Utf8ToString(std::to_string(v));
  return String(s);
}

ATOM gNextAtom = 0xC000;

LRESULT DesktopProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_NCCALCSIZE: return 0;
    case WM_NCHITTEST: return HTCLIENT;
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      BeginPaint(hwnd, &ps);
      EndPaint(hwnd, &ps);
      return 0;
    }
    default: return DefWindowProcW(hwnd, msg, wp, lp);
  }
}

ClassObject* AddSystemClass(WinState& s, const Char* name, WNDPROC proc, UINT style, int cursor) {
  auto c = std::make_unique<ClassObject>();
  c->Name = name;
  c->Atom = gNextAtom++;
  c->Proc = proc;
  c->Style = style;
  c->System = true;
  if (cursor) c->Cursor = LoadCursorW(nullptr, cursor);
  ClassObject* raw = c.get();
  s.Classes.push_back(std::move(c));
  return raw;
}

WindowObject* NewRootWindow(WinState& s, ClassObject* cls, DWORD style) {
  auto* w = new WindowObject;
  w->Class = cls;
  w->Proc = cls->Proc;
  w->Style = style;
  ++cls->WindowCount;
  s.Windows.insert(w);
  return w;
}

void InitState(WinState& s) {
  ClassObject* desktopClass = AddSystemClass(s, u"#32769", DesktopProc, 0, IDC_ARROW);
  ClassObject* messageClass = AddSystemClass(s, u"Message", DefWindowProcW, 0, 0);
  AddSystemClass(s, u"SCROLLBAR", ScrollBarControlProc,
                 CS_DBLCLKS | CS_VREDRAW | CS_HREDRAW | CS_PARENTDC, IDC_ARROW);
  AddSystemClass(s, u"#32768", MenuWindowProc, CS_DROPSHADOW | CS_SAVEBITS | CS_DBLCLKS, IDC_ARROW);
  AddSystemClass(s, u"LISTBOX", ListBoxWndProc, CS_DBLCLKS | CS_PARENTDC, IDC_ARROW);
  AddSystemClass(s, u"msctls_updown32", UpDownWndProc, CS_HREDRAW | CS_VREDRAW, IDC_ARROW);
  AddSystemClass(s, u"EDIT", EditWindowProc, CS_DBLCLKS | CS_PARENTDC, IDC_IBEAM);
  s.Desktop = NewRootWindow(s, desktopClass, WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN |
                                                 WS_CLIPSIBLINGS);
  s.MessageRoot = NewRootWindow(s, messageClass, WS_POPUP);
  s.BackendGivesText = wm::Port().KeyTextProvided();
  RefreshMonitors();
}

}  // namespace

WinState::WinState() { LastMessage = {}; LastKeyMsg = {}; }

WinState& Wm() {
  if (!gWm) {
    gWm = new WinState;  // lives for the process, like the desktop it models
    InitState(*gWm);
  }
  return *gWm;
}

SurfaceState::~SurfaceState() {
  if (Dirty) cairo_region_destroy(Dirty);
}

WindowObject::~WindowObject() {
  if (Update) cairo_region_destroy(Update);
  if (WindowRgn) cairo_region_destroy(WindowRgn);
  if (LayeredShape) cairo_region_destroy(LayeredShape);
}

WindowLock::WindowLock(WindowObject* w) : FWindow(w) {
  if (FWindow) ++FWindow->Lock;
}

WindowLock::~WindowLock() {
  if (FWindow && --FWindow->Lock == 0 && FWindow->Dead) delete FWindow;
}

// ---- Lookup and tree helpers -------------------------------------------------------------------------

WindowObject* Live(HWND hwnd) {
  if (!hwnd) return nullptr;
  WinState& s = Wm();
  auto it = s.Windows.find(hwnd);
  if (it == s.Windows.end() || (*it)->Dead) return nullptr;
  return *it;
}

bool IsTopLevel(const WindowObject* w) { return w && w->Parent && w->Parent == Wm().Desktop; }

WindowObject* TopLevelOf(WindowObject* w) {
  WindowObject* desk = Wm().Desktop;
  while (w && w->Parent && w->Parent != desk) {
    if (!w->Parent->Parent) return nullptr;  // under the message root
    w = w->Parent;
  }
  return (w && w->Parent == desk) ? w : nullptr;
}

bool IsDescendant(const WindowObject* ancestor, const WindowObject* w) {
  for (const WindowObject* p = w ? w->Parent : nullptr; p; p = p->Parent)
    if (p == ancestor) return true;
  return false;
}

bool IsVisibleTree(const WindowObject* w) {
  WindowObject* desk = Wm().Desktop;
  for (; w && w != desk; w = w->Parent) {
    if (!(w->Style & WS_VISIBLE)) return false;
    if (!w->Parent) return false;  // message-only windows are never visible
  }
  return w == desk;
}

ClassObject* FindWindowClass(StringView name) {
  WinState& s = Wm();
  ClassObject* sys = nullptr;
  for (auto& c : s.Classes) {
    if (!SameName(c->Name, name)) continue;
    if (!c->System) return c.get();
    sys = c.get();
  }
  return sys;
}

LRESULT InvokeProc(WNDPROC proc, WndProcInstance* inst, HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (inst) return inst->Function(hwnd, msg, wp, lp);
  if (proc) return proc(hwnd, msg, wp, lp);
  return DefWindowProcW(hwnd, msg, wp, lp);
}

LRESULT CallProc(WindowObject* w, UINT msg, WPARAM wp, LPARAM lp) {
  WindowLock lock(w);
  return InvokeProc(w->Proc, w->ProcInstance, w, msg, wp, lp);
}

namespace {

WndProcInstance* InstanceOf(WNDPROC proc) {
  if (!proc) return nullptr;
  const void* p = reinterpret_cast<const void*>(proc);
  return Instances().count(p) ? reinterpret_cast<WndProcInstance*>(proc) : nullptr;
}

}  // namespace

WNDPROC MakeWndProcInstance(TWndProcFunction function) {
  auto* inst = new WndProcInstance{std::move(function)};
  Instances().insert(inst);
  return reinterpret_cast<WNDPROC>(inst);
}

void FreeWndProcInstance(WNDPROC instance) {
  WndProcInstance* inst = InstanceOf(instance);
  if (!inst) return;
  Instances().erase(inst);
  // A window or class still using it falls back to the default procedure instead of calling
  // freed memory.
  WinState& s = Wm();
  for (WindowObject* w : s.Windows)
    if (w->ProcInstance == inst) {
      w->ProcInstance = nullptr;
      w->Proc = DefWindowProcW;
    }
  for (auto& c : s.Classes)
    if (c->Proc == instance) c->Proc = DefWindowProcW;
  delete inst;
}

LRESULT CallWindowProcW(WNDPROC proc, HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (!proc) return 0;
  WindowLock lock(Live(hwnd));
  return InvokeProc(proc, InstanceOf(proc), hwnd, msg, wp, lp);
}

void SendParentNotify(WindowObject* w, UINT event) {
  HWND cur = w;
  for (;;) {
    WindowObject* c = Live(cur);
    if (!c || !(c->Style & WS_CHILD) || (c->ExStyle & WS_EX_NOPARENTNOTIFY)) break;
    WindowObject* parent = c->Parent;
    if (!parent || parent == Wm().Desktop || parent == Wm().MessageRoot) break;
    SendMessageW(parent, WM_PARENTNOTIFY, MAKEWPARAM(WORD(event), WORD(w->Id)),
                 reinterpret_cast<LPARAM>(w));
    cur = parent;
  }
}

TRect ParentToWindowRect(WindowObject* w) {
  return {0, 0, w->WindowRect.Width(), w->WindowRect.Height()};
}

// ---- Z-order ----------------------------------------------------------------------------------------

void Unlink(WindowObject* w) {
  if (!w->Parent) return;
  auto& ch = w->Parent->Children;
  ch.erase(std::remove(ch.begin(), ch.end(), w), ch.end());
}

namespace {

size_t FirstNonTopmost(const std::vector<WindowObject*>& ch) {
  size_t i = 0;
  while (i < ch.size() && (ch[i]->ExStyle & WS_EX_TOPMOST)) ++i;
  return i;
}

bool OwnedBy(const WindowObject* w, const WindowObject* owner) {
  for (const WindowObject* o = w->Owner; o; o = o->Owner)
    if (o == owner) return true;
  return false;
}

}  // namespace

void LinkWindow(WindowObject* w, WindowObject* parent, HWND after) {
  w->Parent = parent;
  auto& ch = parent->Children;
  bool banded = parent == Wm().Desktop;
  bool topmost = banded && (w->ExStyle & WS_EX_TOPMOST);
  size_t band = banded ? FirstNonTopmost(ch) : 0;
  size_t pos;
  if (after == HWND_TOP || after == HWND_TOPMOST || after == HWND_NOTOPMOST) {
    pos = topmost ? 0 : band;
  } else if (after == HWND_BOTTOM) {
    pos = topmost ? band : ch.size();
  } else {
    auto it = std::find(ch.begin(), ch.end(), after);
    pos = it == ch.end() ? (topmost ? 0 : band) : size_t(it - ch.begin()) + 1;
    if (banded) {
      if (topmost && pos > band) pos = band;
      if (!topmost && pos < band) pos = band;
    }
  }
  ch.insert(ch.begin() + std::ptrdiff_t(pos), w);
}

void RaiseOwnedAbove(WindowObject* owner) {
  if (!IsTopLevel(owner)) return;
  auto& ch = owner->Parent->Children;
  bool ownerTop = (owner->ExStyle & WS_EX_TOPMOST) != 0;
  std::vector<WindowObject*> owned;
  for (WindowObject* c : ch)
    if (c != owner && OwnedBy(c, owner) && ((c->ExStyle & WS_EX_TOPMOST) != 0) == ownerTop)
      owned.push_back(c);
  if (owned.empty()) return;
  for (WindowObject* o : owned) ch.erase(std::find(ch.begin(), ch.end(), o));
  auto at = std::find(ch.begin(), ch.end(), owner);
  ch.insert(at, owned.begin(), owned.end());
}

void RestackSurfaces() {
  WinState& s = Wm();
  std::vector<wm::SurfaceId> order;
  auto& ch = s.Desktop->Children;
  for (auto it = ch.rbegin(); it != ch.rend(); ++it)
    if ((*it)->Surface && (*it)->Surface->Id) order.push_back((*it)->Surface->Id);
  static std::vector<wm::SurfaceId> last;
  if (order != last) {
    last = order;
    wm::Port().Restack(order);
  }
}

// ---- Classes ---------------------------------------------------------------------------------------

ATOM RegisterClassExW(const WNDCLASSEXW* wc) {
  if (!wc || !wc->lpfnWndProc || wc->cbClsExtra < 0 || wc->cbWndExtra < 0 ||
      wc->cbClsExtra > 40000 || wc->cbWndExtra > 40000)
    return 0;
  String name = NameArg(wc->lpszClassName);
  if (name.empty()) return 0;
  WinState& s = Wm();
  for (auto& c : s.Classes)
    if (!c->System && SameName(c->Name, name)) return 0;
  auto c = std::make_unique<ClassObject>();
  c->Name = name;
  c->Atom = gNextAtom++;
  c->Style = wc->style;
  c->Proc = wc->lpfnWndProc;
  c->ClsExtra = wc->cbClsExtra;
  c->WndExtra = wc->cbWndExtra;
  c->Instance = wc->hInstance;
  c->Icon = wc->hIcon;
  c->IconSm = wc->hIconSm;
  c->Cursor = wc->hCursor;
  c->Background = wc->hbrBackground;
  c->MenuName = NameArg(wc->lpszMenuName);
  c->Extra.assign(size_t(wc->cbClsExtra), 0);
  ATOM atom = c->Atom;
  s.Classes.push_back(std::move(c));
  return atom;
}

ATOM RegisterClassW(const WNDCLASSW* wc) {
  if (!wc) return 0;
  WNDCLASSEXW ex;
  ex.style = wc->style;
  ex.lpfnWndProc = wc->lpfnWndProc;
  ex.cbClsExtra = wc->cbClsExtra;
  ex.cbWndExtra = wc->cbWndExtra;
  ex.hInstance = wc->hInstance;
  ex.hIcon = wc->hIcon;
  ex.hCursor = wc->hCursor;
  ex.hbrBackground = wc->hbrBackground;
  ex.lpszMenuName = wc->lpszMenuName;
  ex.lpszClassName = wc->lpszClassName;
  return RegisterClassExW(&ex);
}

BOOL UnregisterClassW(const Char* className, HINSTANCE) {
  String name = NameArg(className);
  WinState& s = Wm();
  for (auto it = s.Classes.begin(); it != s.Classes.end(); ++it) {
    if ((*it)->System || !SameName((*it)->Name, name)) continue;
    if ((*it)->WindowCount > 0) return false;
    s.Classes.erase(it);
    return true;
  }
  return false;
}

BOOL GetClassInfoExW(HINSTANCE, const Char* className, WNDCLASSEXW* out) {
  ClassObject* c = FindWindowClass(NameArg(className));
  if (!c || !out) return false;
  out->style = c->Style;
  out->lpfnWndProc = c->Proc;
  out->cbClsExtra = c->ClsExtra;
  out->cbWndExtra = c->WndExtra;
  out->hInstance = c->Instance;
  out->hIcon = c->Icon;
  out->hCursor = c->Cursor;
  out->hbrBackground = c->Background;
  out->lpszMenuName = c->MenuName.empty() ? nullptr : c->MenuName.c_str();
  out->lpszClassName = c->Name.c_str();
  out->hIconSm = c->IconSm;
  return true;
}

BOOL GetClassInfoW(HINSTANCE instance, const Char* className, WNDCLASSW* out) {
  WNDCLASSEXW ex;
  if (!out || !GetClassInfoExW(instance, className, &ex)) return false;
  out->style = ex.style;
  out->lpfnWndProc = ex.lpfnWndProc;
  out->cbClsExtra = ex.cbClsExtra;
  out->cbWndExtra = ex.cbWndExtra;
  out->hInstance = ex.hInstance;
  out->hIcon = ex.hIcon;
  out->hCursor = ex.hCursor;
  out->hbrBackground = ex.hbrBackground;
  out->lpszMenuName = ex.lpszMenuName;
  out->lpszClassName = ex.lpszClassName;
  return true;
}

String GetClassName(HWND hwnd) {
  WindowObject* w = Live(hwnd);
  return w ? w->Class->Name : String();
}

int GetClassNameW(HWND hwnd, Char* buffer, int maxCount) {
  WindowObject* w = Live(hwnd);
  if (!w || !buffer || maxCount <= 0) return 0;
  int n = std::min<int>(int(w->Class->Name.size()), maxCount - 1);
  std::copy_n(w->Class->Name.data(), n, buffer);
  buffer[n] = 0;
  return n;
}

namespace {

bool ExtraSlot(std::vector<BYTE>& extra, int index, LONG_PTR** slot) {
  if (index < 0 || size_t(index) + sizeof(LONG_PTR) > extra.size()) return false;
  *slot = reinterpret_cast<LONG_PTR*>(extra.data() + index);
  return true;
}

LONG_PTR ReadExtra(std::vector<BYTE>& extra, int index) {
  if (index < 0 || size_t(index) + sizeof(LONG_PTR) > extra.size()) return 0;
  LONG_PTR v;
  std::memcpy(&v, extra.data() + index, sizeof v);
  return v;
}

LONG_PTR WriteExtra(std::vector<BYTE>& extra, int index, LONG_PTR value) {
  LONG_PTR* slot;
  if (!ExtraSlot(extra, index, &slot)) return 0;
  LONG_PTR old;
  std::memcpy(&old, extra.data() + index, sizeof old);
  std::memcpy(extra.data() + index, &value, sizeof value);
  return old;
}

}  // namespace

ULONG_PTR GetClassLongPtrW(HWND hwnd, int index) {
  WindowObject* w = Live(hwnd);
  if (!w) return 0;
  ClassObject* c = w->Class;
  switch (index) {
    case GCLP_HBRBACKGROUND: return reinterpret_cast<ULONG_PTR>(c->Background);
    case GCLP_HCURSOR: return reinterpret_cast<ULONG_PTR>(c->Cursor);
    case GCLP_HICON: return reinterpret_cast<ULONG_PTR>(c->Icon);
    case GCLP_HICONSM: return reinterpret_cast<ULONG_PTR>(c->IconSm);
    case GCLP_HMODULE: return reinterpret_cast<ULONG_PTR>(c->Instance);
    case GCLP_WNDPROC: return reinterpret_cast<ULONG_PTR>(c->Proc);
    case GCL_STYLE: return c->Style;
    case GCL_CBWNDEXTRA: return ULONG_PTR(c->WndExtra);
    case GCL_CBCLSEXTRA: return ULONG_PTR(c->ClsExtra);
    case GCW_ATOM: return c->Atom;
    default: return ULONG_PTR(ReadExtra(c->Extra, index));
  }
}

ULONG_PTR SetClassLongPtrW(HWND hwnd, int index, LONG_PTR value) {
  WindowObject* w = Live(hwnd);
  if (!w) return 0;
  ClassObject* c = w->Class;
  auto swap = [](auto& slot, auto v) {
    auto old = slot;
    slot = v;
    return reinterpret_cast<ULONG_PTR>(old);
  };
  switch (index) {
    case GCLP_HBRBACKGROUND: return swap(c->Background, reinterpret_cast<HBRUSH>(value));
    case GCLP_HCURSOR: return swap(c->Cursor, reinterpret_cast<HCURSOR>(value));
    case GCLP_HICON: return swap(c->Icon, reinterpret_cast<HICON>(value));
    case GCLP_HICONSM: return swap(c->IconSm, reinterpret_cast<HICON>(value));
    case GCLP_WNDPROC:
      if (!value) return 0;
      return swap(c->Proc, reinterpret_cast<WNDPROC>(value));
    case GCL_STYLE: {
      ULONG_PTR old = c->Style;
      c->Style = UINT(value);
      return old;
    }
    default: return ULONG_PTR(WriteExtra(c->Extra, index, value));
  }
}

// ---- Creation ------------------------------------------------------------------------------------------

namespace {

void FreeWindowTree(WindowObject* w);

TRect DefaultTopLevelRect(int x, int y, int cx, int cy) {
  TRect work = PrimaryWorkArea();
  static int cascade = 0;
  if (x == CW_USEDEFAULT) {
    int step = 26 * (cascade++ % 8);
    x = work.Left + 26 + step;
    y = work.Top + 26 + step;
  }
  if (cx == CW_USEDEFAULT) {
    cx = work.Width() * 3 / 4;
    cy = work.Height() * 3 / 4;
  }
  return {x, y, x + cx, y + cy};
}

}  // namespace

namespace {

// WS_EX_WINDOWEDGE goes with a dialog frame or a sizing border (unless the window has a static
// edge), and with WS_EX_DLGMODALFRAME; it is never kept otherwise.
DWORD WithWindowEdge(DWORD style, DWORD exStyle) {
  if ((exStyle & WS_EX_DLGMODALFRAME) ||
      (!(exStyle & WS_EX_STATICEDGE) && (style & (WS_DLGFRAME | WS_THICKFRAME))))
    return exStyle | WS_EX_WINDOWEDGE;
  return exStyle & ~WS_EX_WINDOWEDGE;
}

}  // namespace

HWND CreateWindowExW(DWORD exStyle, const Char* className, const Char* windowName, DWORD style,
                     int x, int y, int cx, int cy, HWND parent, HMENU menu, HINSTANCE instance,
                     void* param) {
  WinState& s = Wm();
  ClassObject* cls = FindWindowClass(NameArg(className));
  if (!cls) return nullptr;

  WindowObject* parentObj = nullptr;
  WindowObject* owner = nullptr;
  if (parent == HWND_MESSAGE) {
    parentObj = s.MessageRoot;
  } else if (style & WS_CHILD) {
    parentObj = Live(parent);
    if (!parentObj) return nullptr;
  } else {
    parentObj = s.Desktop;
    if (parent) {
      WindowObject* p = Live(parent);
      if (!p) return nullptr;
      if (p != s.Desktop) owner = TopLevelOf(p);
    }
  }
  bool topLevel = parentObj == s.Desktop;
  const DWORD callerStyle = style;  // what CREATESTRUCT reports

  // Top-level windows always clip their siblings; overlapped ones always have a caption.
  if (topLevel) {
    style |= WS_CLIPSIBLINGS;
    if (!(style & (WS_POPUP | WS_CHILD))) style |= WS_CAPTION;
  }
  exStyle = WithWindowEdge(style, exStyle);

  if (topLevel && !(style & (WS_POPUP | WS_CHILD))) {
    TRect r = DefaultTopLevelRect(x, y, cx, cy);
    x = r.Left;
    y = r.Top;
    cx = r.Width();
    cy = r.Height();
  } else {
    if (x == CW_USEDEFAULT) x = y = 0;
    if (cx == CW_USEDEFAULT) cx = cy = 0;
  }
  ClampWindowPos(x, y, cx, cy);

  auto* w = new WindowObject;
  w->Class = cls;
  w->Proc = cls->Proc;
  w->ProcInstance = InstanceOf(cls->Proc);
  w->Instance = instance;
  w->Style = style & ~(WS_VISIBLE | WS_MINIMIZE | WS_MAXIMIZE);
  w->ExStyle = exStyle;
  w->Owner = owner;
  w->Id = (style & WS_CHILD) ? reinterpret_cast<LONG_PTR>(menu) : 0;
  w->Menu = (style & WS_CHILD) ? nullptr : menu;
  w->Extra.assign(size_t(cls->WndExtra), 0);
  InitScrollInfo(w);
  w->Text = windowName ? String(windowName) : String();
  ++cls->WindowCount;
  s.Windows.insert(w);
  LinkWindow(w, parentObj, (style & WS_CHILD) ? HWND_BOTTOM : HWND_TOP);
  w->WindowRect = w->ClientRect = TRect{x, y, x + cx, y + cy};
  w->Dpi = topLevel ? DpiAt(w->WindowRect) : parentObj->Dpi;
  if (topLevel) RaiseOwnedAbove(w->Owner ? w->Owner : w);

  WindowLock lock(w);
  CREATESTRUCTW cs;
  cs.lpCreateParams = param;
  cs.hInstance = instance;
  cs.hMenu = menu;
  cs.hwndParent = parent == HWND_MESSAGE ? nullptr : parent;
  cs.x = x;
  cs.y = y;
  cs.cx = cx;
  cs.cy = cy;
  cs.style = LONG(callerStyle);
  cs.lpszName = windowName;
  cs.lpszClass = className;
  cs.dwExStyle = exStyle;

  if (HasHooks(WH_CBT)) {
    CBT_CREATEWNDW cbt{&cs, (style & WS_CHILD) ? HWND_BOTTOM : HWND_TOP};
    if (CallHooks(WH_CBT, HCBT_CREATEWND, reinterpret_cast<WPARAM>(w), reinterpret_cast<LPARAM>(&cbt))) {
      if (Live(w)) FreeWindowTree(w);
      return nullptr;
    }
    if (!Live(w)) return nullptr;
    if (cs.x != x || cs.y != y || cs.cx != cx || cs.cy != cy) {
      x = cs.x;
      y = cs.y;
      cx = cs.cx;
      cy = cs.cy;
      ClampWindowPos(x, y, cx, cy);
      w->WindowRect = w->ClientRect = TRect{x, y, x + cx, y + cy};
    }
  }

  if ((style & WS_THICKFRAME) || !(style & (WS_POPUP | WS_CHILD))) {
    MINMAXINFO mmi;
    GetMinMaxInfo(w, &mmi);
    cs.cx = std::clamp(cs.cx, std::min(mmi.ptMinTrackSize.X, mmi.ptMaxTrackSize.X), mmi.ptMaxTrackSize.X);
    cs.cy = std::clamp(cs.cy, std::min(mmi.ptMinTrackSize.Y, mmi.ptMaxTrackSize.Y), mmi.ptMaxTrackSize.Y);
    w->WindowRect = w->ClientRect = TRect::FromSize(x, y, cs.cx, cs.cy);
  }

  if (!SendMessageW(w, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&cs))) {
    if (Live(w)) FreeWindowTree(w);
    return nullptr;
  }
  if (!Live(w)) return nullptr;

  TRect rc = w->WindowRect;
  SendMessageW(w, WM_NCCALCSIZE, 0, reinterpret_cast<LPARAM>(&rc));
  if (!Live(w)) return nullptr;
  w->ClientRect = rc;
  if (topLevel) EnsureSurface(w);

  if (SendMessageW(w, WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs)) == -1) {
    if (Live(w)) DestroyWindow(w);
    return nullptr;
  }
  if (!Live(w)) return nullptr;

  SendMessageW(w, WM_SIZE, SIZE_RESTORED,
               MAKELPARAM(WORD(w->ClientRect.Width()), WORD(w->ClientRect.Height())));
  if (!Live(w)) return nullptr;
  SendMessageW(w, WM_MOVE, 0, MAKELPARAM(WORD(w->ClientRect.Left), WORD(w->ClientRect.Top)));
  if (!Live(w)) return nullptr;

  if (style & (WS_MINIMIZE | WS_MAXIMIZE)) {
    ShowWindow(w, (style & WS_MINIMIZE) ? SW_MINIMIZE : SW_MAXIMIZE);
    // Minimising or maximising at creation must not show the window yet.
    if (Live(w) && !(style & WS_VISIBLE) && (w->Style & WS_VISIBLE))
      SetWindowPosInternal(w, nullptr, 0, 0, 0, 0,
                           SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    if (!Live(w)) return nullptr;
  }

  SendParentNotify(w, WM_CREATE);
  if (!Live(w)) return nullptr;

  if ((style & WS_VISIBLE) && !(w->Style & WS_VISIBLE)) {
    ShowWindow(w, (style & WS_MAXIMIZE) ? SW_SHOWMAXIMIZED
                  : (style & WS_MINIMIZE) ? SW_SHOWMINIMIZED
                                          : SW_SHOW);
    if (!Live(w)) return nullptr;
  }
  return w;
}

// ---- Destruction -------------------------------------------------------------------------------------

namespace {
std::vector<void (*)(WindowObject*)>& WindowFreedObservers();
}  // namespace

void AddWindowFreedObserver(void (*observer)(WindowObject* w)) {
  auto& list = WindowFreedObservers();
  if (std::find(list.begin(), list.end(), observer) == list.end()) list.push_back(observer);
}

namespace {

std::vector<void (*)(WindowObject*)>& WindowFreedObservers() {
  static std::vector<void (*)(WindowObject*)> observers;
  return observers;
}

void SendDestroyMessages(WindowObject* w) {
  WinState& s = Wm();
  WindowLock lock(w);
  CaretOnDestroy(w);
  if (s.Focus && (s.Focus == w || IsDescendant(w, s.Focus))) {
    WindowObject* parent = w->Parent;
    SetFocus((parent && parent != s.Desktop && parent != s.MessageRoot && !parent->Destroying)
                 ? parent
                 : nullptr);
  }
  if (s.ActiveTracker && s.ActiveTracker->Hwnd == w) CancelTracking();
  if (s.Capture == w) ReleaseCapture();
  if (!Live(w)) return;
  if (HasHooks(WH_CBT)) {
    CallHooks(WH_CBT, HCBT_DESTROYWND, reinterpret_cast<WPARAM>(w), 0);
    if (!Live(w)) return;
  }
  SendMessageW(w, WM_DESTROY, 0, 0);
  std::vector<WindowObject*> kids = w->Children;
  for (WindowObject* c : kids)
    if (Live(c)) {
      c->Destroying = true;
      SendDestroyMessages(c);
    }
}

void FreeWindowTree(WindowObject* w) {
  WinState& s = Wm();
  WindowLock lock(w);
  w->Destroying = true;
  std::vector<WindowObject*> kids = w->Children;
  for (WindowObject* c : kids)
    if (Live(c)) FreeWindowTree(c);
  if (!Live(w)) return;
  SendMessageW(w, WM_NCDESTROY, 0, 0);
  if (w->Dead) return;

  for (auto* observer : WindowFreedObservers()) observer(w);
  KillTimersFor(w);
  RemoveMessagesFor(w);
  ReleaseWindowDcs(w);
  if (s.Focus == w) s.Focus = nullptr;
  if (s.Active == w) s.Active = nullptr;
  if (s.Capture == w) s.Capture = nullptr;
  if (s.MouseWindow == w) s.MouseWindow = nullptr;
  if (s.Track.Hwnd == w) s.Track = {};
  if (s.LastClickHwnd == w) s.LastClickHwnd = nullptr;
  if (s.ActiveTracker && s.ActiveTracker->Hwnd == w) CancelTracking();
  if (w->PaintQueued) {
    w->PaintQueued = false;
    --s.PendingPaint;
  }
  for (WindowObject* t : s.Desktop->Children) {
    if (t->Owner == w) t->Owner = nullptr;
    if (t->LastActivePopup == w) t->LastActivePopup = nullptr;
  }
  bool top = IsTopLevel(w);
  Unlink(w);
  if (top) {
    DestroySurface(w);
    RestackSurfaces();
  }
  --w->Class->WindowCount;
  w->Props.clear();
  w->Dead = true;
  s.Windows.erase(w);
}

}  // namespace

BOOL DestroyWindow(HWND hwnd) {
  WinState& s = Wm();
  WindowObject* w = Live(hwnd);
  if (!w || w == s.Desktop || w == s.MessageRoot || w->Destroying) return false;
  WindowLock lock(w);
  w->Destroying = true;
  bool top = IsTopLevel(w);
  if (w->Style & WS_CHILD) SendParentNotify(w, WM_DESTROY);
  if (!Live(w)) return true;
  if (w->Style & WS_VISIBLE) {
    if (!top)
      ShowWindow(w, SW_HIDE);
    else
      SetWindowPosInternal(w, nullptr, 0, 0, 0, 0,
                           SWP_HIDEWINDOW | SWP_NOZORDER | SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
  if (!Live(w)) return true;
  if (top) {
    std::vector<WindowObject*> owned;
    for (WindowObject* t : s.Desktop->Children)
      if (t->Owner == w) owned.push_back(t);
    for (WindowObject* o : owned)
      if (Live(o)) DestroyWindow(o);
    if (s.Active == w) ActivateOtherWindow(w);
  }
  if (!Live(w)) return true;
  SendDestroyMessages(w);
  if (!Live(w)) return true;
  FreeWindowTree(w);
  return true;
}

// ---- Queries ---------------------------------------------------------------------------------------------

BOOL IsWindow(HWND hwnd) { return Live(hwnd) != nullptr; }

BOOL IsWindowVisible(HWND hwnd) {
  WindowObject* w = Live(hwnd);
  return w && IsVisibleTree(w);
}

BOOL IsWindowEnabled(HWND hwnd) {
  WindowObject* w = Live(hwnd);
  return w && !(w->Style & WS_DISABLED);
}

BOOL IsChild(HWND parent, HWND hwnd) {
  WindowObject* p = Live(parent);
  WindowObject* w = Live(hwnd);
  if (!p || !w) return false;
  // Only a chain of child windows counts.
  for (WindowObject* c = w; c && (c->Style & WS_CHILD); c = c->Parent)
    if (c->Parent == p) return true;
  return false;
}

BOOL IsIconic(HWND hwnd) {
  WindowObject* w = Live(hwnd);
  return w && (w->Style & WS_MINIMIZE);
}

BOOL IsZoomed(HWND hwnd) {
  WindowObject* w = Live(hwnd);
  return w && (w->Style & WS_MAXIMIZE);
}

BOOL EnableWindow(HWND hwnd, BOOL enable) {
  WinState& s = Wm();
  WindowObject* w = Live(hwnd);
  if (!w) return false;
  bool wasDisabled = (w->Style & WS_DISABLED) != 0;
  WindowLock lock(w);
  if (enable && wasDisabled) {
    w->Style &= ~WS_DISABLED;
    SendMessageW(w, WM_ENABLE, 1, 0);
  } else if (!enable && !wasDisabled) {
    SendMessageW(w, WM_CANCELMODE, 0, 0);
    if (!Live(w)) return wasDisabled;
    w->Style |= WS_DISABLED;
    if (s.Focus && (s.Focus == w || IsDescendant(w, s.Focus))) SetFocus(nullptr);
    if (!Live(w)) return wasDisabled;
    SendMessageW(w, WM_ENABLE, 0, 0);
  }
  return wasDisabled;
}

HWND GetDesktopWindow() { return Wm().Desktop; }

HWND GetParent(HWND hwnd) {
  WindowObject* w = Live(hwnd);
  if (!w) return nullptr;
  WinState& s = Wm();
  // WS_POPUP wins over WS_CHILD: such a window answers its owner.
  if (w->Style & WS_POPUP) return w->Owner;
  if (w->Style & WS_CHILD) {
    WindowObject* p = w->Parent;
    return (p == s.Desktop || p == s.MessageRoot) ? nullptr : p;
  }
  return nullptr;
}

HWND GetAncestor(HWND hwnd, UINT flags) {
  WindowObject* w = Live(hwnd);
  WinState& s = Wm();
  if (!w || w == s.Desktop) return nullptr;
  switch (flags) {
    case GA_PARENT: return w->Parent;
    case GA_ROOT: {
      while (w->Parent && w->Parent != s.Desktop && w->Parent != s.MessageRoot) w = w->Parent;
      return w;
    }
    case GA_ROOTOWNER: {
      // Up the GetParent chain: parents of child windows, owners of pop-ups.
      for (int guard = 0; guard < 4096; ++guard) {
        HWND up = GetParent(w);
        if (!up) break;
        w = up;
      }
      return w;
    }
    default: return nullptr;
  }
}

HWND GetWindow(HWND hwnd, UINT relation) {
  WindowObject* w = Live(hwnd);
  if (!w) return nullptr;
  switch (relation) {
    case GW_CHILD: return w->Children.empty() ? nullptr : w->Children.front();
    case GW_OWNER: return w->Owner;
    case GW_ENABLEDPOPUP: {
      for (WindowObject* t : Wm().Desktop->Children)
        if (t->Owner == w && (t->Style & WS_VISIBLE) && !(t->Style & WS_DISABLED)) return t;
      return nullptr;
    }
    default: break;
  }
  if (!w->Parent) return nullptr;
  auto& ch = w->Parent->Children;
  auto it = std::find(ch.begin(), ch.end(), w);
  if (it == ch.end()) return nullptr;
  switch (relation) {
    case GW_HWNDFIRST: return ch.front();
    case GW_HWNDLAST: return ch.back();
    case GW_HWNDNEXT: return (it + 1) == ch.end() ? nullptr : *(it + 1);
    case GW_HWNDPREV: return it == ch.begin() ? nullptr : *(it - 1);
    default: return nullptr;
  }
}

HWND GetTopWindow(HWND hwnd) {
  WindowObject* w = hwnd ? Live(hwnd) : Wm().Desktop;
  if (!w || w->Children.empty()) return nullptr;
  return w->Children.front();
}

HWND GetLastActivePopup(HWND hwnd) {
  WindowObject* w = Live(hwnd);
  if (!w) return nullptr;
  WindowObject* p = Live(w->LastActivePopup);
  if (p && (p->Style & WS_VISIBLE) && !(p->Style & WS_DISABLED)) return p;
  return w;
}

HWND SetParent(HWND hwnd, HWND newParent) {
  WinState& s = Wm();
  WindowObject* w = Live(hwnd);
  if (!w || w == s.Desktop || w == s.MessageRoot) return nullptr;
  WindowObject* np;
  if (newParent == HWND_MESSAGE)
    np = s.MessageRoot;
  else
    np = newParent ? Live(newParent) : s.Desktop;
  if (!np || np == w || IsDescendant(w, np)) return nullptr;
  WindowObject* old = w->Parent;
  if (old == np) return old;
  WindowLock lock(w);
  bool wasVisible = (w->Style & WS_VISIBLE) != 0;
  if (wasVisible) ShowWindow(w, SW_HIDE);
  if (!Live(w) || !Live(np)) return nullptr;
  bool wasTop = IsTopLevel(w);
  Unlink(w);
  LinkWindow(w, np, HWND_TOP);
  bool nowTop = IsTopLevel(w);
  if (wasTop && !nowTop) {
    DestroySurface(w);
    RestackSurfaces();
  }
  if (!nowTop) w->Owner = nullptr;
  // The rectangles keep their values, now relative to the new parent's client area.
  if (nowTop) {
    w->Dpi = DpiAt(w->WindowRect);
    EnsureSurface(w);
  } else {
    w->Dpi = np->Dpi;
  }
  if (wasVisible)
    SetWindowPosInternal(w, HWND_TOP, 0, 0, 0, 0,
                         SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW | SWP_NOACTIVATE);
  else
    SetWindowPosInternal(w, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  return old;
}

BOOL EnumWindows(WNDENUMPROC proc, LPARAM lParam) {
  if (!proc) return false;
  std::vector<WindowObject*> snap = Wm().Desktop->Children;
  for (WindowObject* w : snap)
    if (Live(w) && !proc(w, lParam)) return false;
  return true;
}

BOOL EnumThreadWindows(DWORD, WNDENUMPROC proc, LPARAM lParam) { return EnumWindows(proc, lParam); }

namespace {

bool EnumTree(WindowObject* parent, WNDENUMPROC proc, LPARAM lParam) {
  std::vector<WindowObject*> snap = parent->Children;
  for (WindowObject* c : snap) {
    if (!Live(c)) continue;
    if (!proc(c, lParam)) return false;
    if (Live(c) && !EnumTree(c, proc, lParam)) return false;
  }
  return true;
}

}  // namespace

BOOL EnumChildWindows(HWND parent, WNDENUMPROC proc, LPARAM lParam) {
  if (!proc) return false;
  WindowObject* p = parent ? Live(parent) : Wm().Desktop;
  if (!p || p->Children.empty()) return false;  // nothing to enumerate
  return EnumTree(p, proc, lParam);
}

HWND FindWindowExW(HWND parent, HWND childAfter, const Char* className, const Char* windowName) {
  WinState& s = Wm();
  WindowObject* p = parent == HWND_MESSAGE ? s.MessageRoot : parent ? Live(parent) : s.Desktop;
  if (!p) return nullptr;
  String cls = NameArg(className);
  auto& ch = p->Children;
  auto it = ch.begin();
  if (childAfter) {
    it = std::find(ch.begin(), ch.end(), childAfter);
    if (it == ch.end()) return nullptr;
    ++it;
  }
  for (; it != ch.end(); ++it) {
    WindowObject* w = *it;
    if (!cls.empty() && !SameName(w->Class->Name, cls)) continue;
    if (windowName && !SameName(w->Text, windowName)) continue;
    return w;
  }
  return nullptr;
}

HWND FindWindowW(const Char* className, const Char* windowName) {
  return FindWindowExW(nullptr, nullptr, className, windowName);
}

int GetDlgCtrlID(HWND hwnd) {
  WindowObject* w = Live(hwnd);
  return w ? int(w->Id) : 0;
}

HWND GetDlgItem(HWND parent, int id) {
  WindowObject* p = Live(parent);
  if (!p) return nullptr;
  for (WindowObject* c : p->Children)
    if (c->Id == id) return c;
  return nullptr;
}

// ---- Window longs ----------------------------------------------------------------------------------------

LONG_PTR GetWindowLongPtrW(HWND hwnd, int index) {
  WindowObject* w = Live(hwnd);
  if (!w) return 0;
  switch (index) {
    case GWLP_WNDPROC:
      return w->ProcInstance ? reinterpret_cast<LONG_PTR>(w->ProcInstance)
                             : reinterpret_cast<LONG_PTR>(w->Proc);
    case GWLP_HINSTANCE: return reinterpret_cast<LONG_PTR>(w->Instance);
    case GWLP_HWNDPARENT: {
      // The parent, unless that is the desktop: then the owner.
      WinState& s = Wm();
      bool top = !w->Parent || w->Parent == s.Desktop || w->Parent == s.MessageRoot;
      return reinterpret_cast<LONG_PTR>(top ? w->Owner : w->Parent);
    }
    case GWLP_ID: return w->Id;
    case GWL_STYLE: return LONG_PTR(w->Style);
    case GWL_EXSTYLE: return LONG_PTR(w->ExStyle);
    case GWLP_USERDATA: return w->UserData;
    default: return ReadExtra(w->Extra, index);
  }
}

namespace {

LONG_PTR SetStyleLong(WindowObject* w, int index, DWORD value) {
  DWORD& field = index == GWL_STYLE ? w->Style : w->ExStyle;
  STYLESTRUCT ss{field, value};
  WindowLock lock(w);
  SendMessageW(w, WM_STYLECHANGING, WPARAM(index), reinterpret_cast<LPARAM>(&ss));
  if (!Live(w)) return LONG_PTR(ss.styleOld);
  DWORD old = field;
  DWORD nv = ss.styleNew;
  if (index == GWL_STYLE && IsTopLevel(w)) nv |= WS_CLIPSIBLINGS;  // as at creation
  if (index == GWL_EXSTYLE) {
    // Topmost status changes only through SetWindowPos.
    nv = (nv & ~WS_EX_TOPMOST) | (old & WS_EX_TOPMOST);
    nv = WithWindowEdge(w->Style, nv);
    if ((old & WS_EX_LAYERED) && !(nv & WS_EX_LAYERED)) {
      w->Alpha = 255;
      w->LayeredFlags = 0;
      if (w->Surface && w->Surface->Id) wm::Port().SetOpacity(w->Surface->Id, 1.0);
      EndLayeredUpdate(w);
    }
  }
  if (old == nv) return LONG_PTR(old);
  field = nv;
  ss.styleOld = old;
  SendMessageW(w, WM_STYLECHANGED, WPARAM(index), reinterpret_cast<LPARAM>(&ss));
  return LONG_PTR(old);
}

}  // namespace

LONG_PTR SetWindowLongPtrW(HWND hwnd, int index, LONG_PTR value) {
  WindowObject* w = Live(hwnd);
  if (!w) return 0;
  switch (index) {
    case GWLP_WNDPROC: {
      if (!value) return 0;
      LONG_PTR old = GetWindowLongPtrW(hwnd, GWLP_WNDPROC);
      WNDPROC proc = reinterpret_cast<WNDPROC>(value);
      w->ProcInstance = InstanceOf(proc);
      w->Proc = proc;
      return old;
    }
    case GWLP_HINSTANCE: {
      LONG_PTR old = reinterpret_cast<LONG_PTR>(w->Instance);
      w->Instance = reinterpret_cast<HINSTANCE>(value);
      return old;
    }
    case GWLP_HWNDPARENT: {
      LONG_PTR old = GetWindowLongPtrW(hwnd, GWLP_HWNDPARENT);
      if (IsTopLevel(w)) {
        WindowObject* o = value ? Live(reinterpret_cast<HWND>(value)) : nullptr;
        if (o) o = TopLevelOf(o);
        if (o == w || (o && [&] {
              for (WindowObject* c = o; c; c = c->Owner)
                if (c == w) return true;
              return false;
            }()))
          return old;  // an ownership cycle is refused
        w->Owner = o;
        if (o) {
          RaiseOwnedAbove(o);
          RestackSurfaces();
        }
      }
      return old;
    }
    case GWLP_ID: {
      LONG_PTR old = w->Id;
      w->Id = value;
      return old;
    }
    case GWL_STYLE:
    case GWL_EXSTYLE:
      if (w == Wm().Desktop) return GetWindowLongPtrW(hwnd, index);  // the desktop's is fixed
      return SetStyleLong(w, index, DWORD(value));
    case GWLP_USERDATA: {
      LONG_PTR old = w->UserData;
      w->UserData = value;
      return old;
    }
    default: return WriteExtra(w->Extra, index, value);
  }
}

// ---- Text and properties ----------------------------------------------------------------------------

int GetWindowTextW(HWND hwnd, Char* buffer, int maxCount) {
  if (!buffer || maxCount <= 0) return 0;
  buffer[0] = 0;
  if (!Live(hwnd)) return 0;
  return int(SendMessageW(hwnd, WM_GETTEXT, WPARAM(maxCount), reinterpret_cast<LPARAM>(buffer)));
}

int GetWindowTextLengthW(HWND hwnd) {
  if (!Live(hwnd)) return 0;
  return int(SendMessageW(hwnd, WM_GETTEXTLENGTH, 0, 0));
}

BOOL SetWindowTextW(HWND hwnd, const Char* text) {
  if (!Live(hwnd)) return false;
  return SendMessageW(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text ? text : u"")) != 0;
}

String GetWindowText(HWND hwnd) {
  int n = GetWindowTextLengthW(hwnd);
  if (n <= 0) return {};
  String buf(size_t(n) + 1, u'\0');
  int got = GetWindowTextW(hwnd, buf.data(), n + 1);
  buf.resize(size_t(std::max(0, got)));
  return buf;
}

BOOL SetWindowText(HWND hwnd, const String& text) { return SetWindowTextW(hwnd, text.c_str()); }

BOOL SetPropW(HWND hwnd, const Char* name, HANDLE data) {
  WindowObject* w = Live(hwnd);
  String n = NameArg(name);
  if (!w || n.empty()) return false;
  for (PropEntry& p : w->Props)
    if (SameName(p.Name, n)) {
      p.Data = data;
      return true;
    }
  w->Props.push_back({std::move(n), data});
  return true;
}

HANDLE GetPropW(HWND hwnd, const Char* name) {
  WindowObject* w = Live(hwnd);
  String n = NameArg(name);
  if (!w || n.empty()) return nullptr;
  for (PropEntry& p : w->Props)
    if (SameName(p.Name, n)) return p.Data;
  return nullptr;
}

HANDLE RemovePropW(HWND hwnd, const Char* name) {
  WindowObject* w = Live(hwnd);
  String n = NameArg(name);
  if (!w || n.empty()) return nullptr;
  for (auto it = w->Props.begin(); it != w->Props.end(); ++it)
    if (SameName(it->Name, n)) {
      HANDLE d = it->Data;
      w->Props.erase(it);
      return d;
    }
  return nullptr;
}

}  // namespace vcl
