#include "host/vcl/Screen.h"

#include <algorithm>

#include "host/classes/StringList.h"
#include "host/classes/TypInfo.h"
#include "host/gdi/AppFonts.h"
#include "host/graphics/GraphicsObjects.h"
#include "host/vcl/Forms.h"
#include "host/win/WinUser.h"

namespace vcl {

const TClass TMonitor::Class = TClass::Define<TMonitor, TObject>(u"TMonitor");
const TClass TScreen::Class = TClass::Define<TScreen, TComponent>(u"TScreen");

namespace {

MONITORINFO InfoOf(HMONITOR m) {
  MONITORINFO mi;
  if (!GetMonitorInfoW(m, &mi)) mi = MONITORINFO{};
  return mi;
}

DWORD Flags(TMonitorDefaultTo def) {
  switch (def) {
    case mdNull: return MONITOR_DEFAULTTONULL;
    case mdPrimary: return MONITOR_DEFAULTTOPRIMARY;
    default: return MONITOR_DEFAULTTONEAREST;
  }
}

// The system cursor of each predefined cursor value.
int SystemCursorId(TCursor c) {
  switch (c) {
    case crArrow: case crDefault: return IDC_ARROW;
    case crCross: return IDC_CROSS;
    case crIBeam: return IDC_IBEAM;
    case crSizeNESW: return IDC_SIZENESW;
    case crSizeNS: case crVSplit: return IDC_SIZENS;
    case crSizeNWSE: return IDC_SIZENWSE;
    case crSizeWE: case crHSplit: return IDC_SIZEWE;
    case crUpArrow: return IDC_UPARROW;
    case crHourGlass: case crSQLWait: return IDC_WAIT;
    case crNo: case crNoDrop: return IDC_NO;
    case crAppStart: return IDC_APPSTARTING;
    case crHelp: return IDC_HELP;
    case crHandPoint: return IDC_HAND;
    case crSizeAll: return IDC_SIZEALL;
    case crDrag: case crMultiDrag: return IDC_ARROW;
    default: return 0;
  }
}

void FontFromLog(TFont& f, const LOGFONTW& lf) {
  f.SetPixelsPerInch(int(GetDpiForSystem()));
  f.SetName(lf.lfFaceName);
  f.SetHeight(lf.lfHeight);
  TFontStyles s;
  if (lf.lfWeight >= FW_BOLD) s.Include(fsBold);
  if (lf.lfItalic) s.Include(fsItalic);
  if (lf.lfUnderline) s.Include(fsUnderline);
  if (lf.lfStrikeOut) s.Include(fsStrikeOut);
  f.SetStyle(s);
}

}  // namespace

// ---- TMonitor -----------------------------------------------------------------------------------

bool TMonitor::Primary() const { return (InfoOf(FHandle).dwFlags & MONITORINFOF_PRIMARY) != 0; }
TRect TMonitor::BoundsRect() const { return InfoOf(FHandle).rcMonitor; }
TRect TMonitor::WorkareaRect() const { return InfoOf(FHandle).rcWork; }
int TMonitor::PixelsPerInch() const {
  UINT x = 96, y = 96;
  if (GetDpiForMonitor(FHandle, MDT_EFFECTIVE_DPI, &x, &y) != S_OK) return 96;
  return int(x);
}

// ---- TScreen ------------------------------------------------------------------------------------

namespace {
// Every control's cursor goes through the screen: its Cursor overrides them all.
HCURSOR ResolveCursor(TCursor c) {
  TScreen* s = GetScreen();
  return s->Cursors(s->Cursor() != crDefault ? s->Cursor() : c);
}
}  // namespace

TScreen::TScreen(TComponent* owner) : TComponent(owner) { SetCursorResolver(&ResolveCursor); }

TScreen::~TScreen() { delete FFonts; }

void TScreen::UpdateMonitors() {
  std::vector<HMONITOR> handles;
  EnumDisplayMonitors(
      nullptr, nullptr,
      [](HMONITOR m, HDC, TRect*, LPARAM lp) {
        reinterpret_cast<std::vector<HMONITOR>*>(lp)->push_back(m);
        return BOOL(true);
      },
      reinterpret_cast<LPARAM>(&handles));
  bool same = handles.size() == FMonitors.size();
  for (size_t i = 0; same && i < handles.size(); ++i) same = FMonitors[i]->Handle() == handles[i];
  if (same) return;
  FMonitors.clear();
  for (size_t i = 0; i < handles.size(); ++i)
    FMonitors.push_back(std::make_unique<TMonitor>(handles[i], int(i)));
}

void TScreen::GetMonitors() { UpdateMonitors(); }

int TScreen::MonitorCount() {
  UpdateMonitors();
  return int(FMonitors.size());
}

TMonitor* TScreen::Monitors(int index) {
  UpdateMonitors();
  if (index < 0 || index >= int(FMonitors.size()))
    throw EListError(S("Monitor index out of bounds (" + std::to_string(index) + ")"));
  return FMonitors[size_t(index)].get();
}

TMonitor* TScreen::PrimaryMonitor() {
  UpdateMonitors();
  for (auto& m : FMonitors)
    if (m->Primary()) return m.get();
  return FMonitors.empty() ? nullptr : FMonitors.front().get();
}

namespace {
TMonitor* Find(std::vector<std::unique_ptr<TMonitor>>& list, HMONITOR h) {
  for (auto& m : list)
    if (m->Handle() == h) return m.get();
  return nullptr;
}
}  // namespace

TMonitor* TScreen::MonitorFromWindow(HWND hwnd, TMonitorDefaultTo def) {
  UpdateMonitors();
  return Find(FMonitors, ::vcl::MonitorFromWindow(hwnd, Flags(def)));
}

TMonitor* TScreen::MonitorFromPoint(TPoint pt, TMonitorDefaultTo def) {
  UpdateMonitors();
  return Find(FMonitors, ::vcl::MonitorFromPoint(pt, Flags(def)));
}

TMonitor* TScreen::MonitorFromRect(const TRect& r, TMonitorDefaultTo def) {
  UpdateMonitors();
  return Find(FMonitors, ::vcl::MonitorFromRect(&r, Flags(def)));
}

TRect TScreen::WorkAreaRect() {
  TRect r;
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &r, 0);
  return r;
}

TRect TScreen::DesktopRect() {
  return TRect::FromSize(GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN),
                         GetSystemMetrics(SM_CXVIRTUALSCREEN), GetSystemMetrics(SM_CYVIRTUALSCREEN));
}

int TScreen::Width() { return GetSystemMetrics(SM_CXSCREEN); }
int TScreen::Height() { return GetSystemMetrics(SM_CYSCREEN); }
int TScreen::PixelsPerInch() { return int(GetDpiForSystem()); }

TCustomForm* TScreen::Forms(int index) const {
  if (index < 0 || index >= FormCount())
    throw EListError(S("Form index out of bounds (" + std::to_string(index) + ")"));
  return FForms[size_t(index)];
}

void TScreen::AddForm(TCustomForm* form) {
  if (std::find(FForms.begin(), FForms.end(), form) == FForms.end()) FForms.push_back(form);
}

void TScreen::RemoveForm(TCustomForm* form) {
  std::erase(FForms, form);
  if (FFocusedForm == form) FFocusedForm = nullptr;
  FActiveControl = nullptr;
  if (FActiveForm == form) {
    FActiveForm = nullptr;
    OnActiveFormChange(this);
  }
}

void TScreen::BringFormToFront(TCustomForm* form) {
  auto it = std::find(FForms.begin(), FForms.end(), form);
  if (it == FForms.end() || it == FForms.begin()) return;
  FForms.erase(it);
  FForms.insert(FForms.begin(), form);
}

void TScreen::SetActiveForm(TCustomForm* form) {
  if (form) BringFormToFront(form);
  if (form == FActiveForm) return;
  FActiveForm = form;
  OnActiveFormChange(this);
}

TWinControl* TScreen::ActiveControl() const {
  for (HWND h = GetFocus(); h; h = (GetWindowLongW(h, GWL_STYLE) & WS_CHILD) ? GetParent(h) : nullptr)
    if (TWinControl* c = FindControl(h)) return c;
  return nullptr;
}

void TScreen::FocusChanged(TWinControl* control) {
  // Only compared, never followed: it tells a change of the focused control.
  if (control == FActiveControl) return;
  FActiveControl = control;
  FFocusedForm = control ? GetParentForm(control) : nullptr;
  OnActiveControlChange(this);
}

void TScreen::SetCursor(TCursor value) {
  if (value == FCursor) return;
  FCursor = value;
  // Show it at once when the pointer is over one of our windows.
  TPoint p;
  GetCursorPos(&p);
  HWND under = WindowFromPoint(p);
  if (value != crDefault) {
    ::vcl::SetCursor(Cursors(value));
  } else if (under) {
    LRESULT hit = SendMessageW(under, WM_NCHITTEST, 0, PointToLParam(p));
    SendMessageW(under, WM_SETCURSOR, reinterpret_cast<WPARAM>(under),
                 MAKELPARAM(WORD(hit), WORD(WM_MOUSEMOVE)));
  }
}

HCURSOR TScreen::Cursors(TCursor index) const {
  for (auto& [c, h] : FCursorMap)
    if (c == index) return h;
  if (index == crNone) return nullptr;
  int id = SystemCursorId(index);
  return LoadCursorW(nullptr, id ? id : IDC_ARROW);
}

void TScreen::SetCursors(TCursor index, HCURSOR handle) {
  for (auto& e : FCursorMap)
    if (e.first == index) {
      e.second = handle;
      return;
    }
  FCursorMap.emplace_back(index, handle);
}

TStrings* TScreen::Fonts() {
  if (!FFonts) {
    auto* list = new TStringList();
    for (const String& name : FontFamilyNames()) list->Add(name);
    FFonts = list;
  }
  return FFonts;
}

void TScreen::ResetFonts() {
  NONCLIENTMETRICSW ncm;
  SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof ncm, &ncm, 0);
  auto make = [](std::unique_ptr<TFont>& f, const LOGFONTW& lf) {
    if (!f) f = std::make_unique<TFont>();
    FontFromLog(*f, lf);
  };
  make(FHintFont, ncm.lfStatusFont);
  FHintFont->SetColor(clInfoText);
  make(FMenuFont, ncm.lfMenuFont);
  make(FMessageFont, ncm.lfMessageFont);
  make(FCaptionFont, ncm.lfCaptionFont);
  ICONMETRICSW im;
  if (SystemParametersInfoW(SPI_GETICONMETRICS, sizeof im, &im, 0))
    make(FIconFont, im.lfFont);
  else
    make(FIconFont, ncm.lfMessageFont);
}

TFont* TScreen::HintFont() {
  if (!FHintFont) ResetFonts();
  return FHintFont.get();
}
TFont* TScreen::MenuFont() {
  if (!FMenuFont) ResetFonts();
  return FMenuFont.get();
}
TFont* TScreen::MessageFont() {
  if (!FMessageFont) ResetFonts();
  return FMessageFont.get();
}
TFont* TScreen::CaptionFont() {
  if (!FCaptionFont) ResetFonts();
  return FCaptionFont.get();
}
TFont* TScreen::IconFont() {
  if (!FIconFont) ResetFonts();
  return FIconFont.get();
}

namespace {
void AssignFont(TScreen* screen, std::unique_ptr<TFont>& f, TFont* v) {
  if (!f) screen->ResetFonts();
  if (v) f->Assign(v);
}
}  // namespace

void TScreen::SetHintFont(TFont* v) { AssignFont(this, FHintFont, v); }
void TScreen::SetMenuFont(TFont* v) { AssignFont(this, FMenuFont, v); }
void TScreen::SetMessageFont(TFont* v) { AssignFont(this, FMessageFont, v); }
void TScreen::SetCaptionFont(TFont* v) { AssignFont(this, FCaptionFont, v); }
void TScreen::SetIconFont(TFont* v) { AssignFont(this, FIconFont, v); }

TScreen* GetScreen() {
  // Never freed: forms and controls may still ask for it while the process ends.
  static TScreen* screen = new TScreen(nullptr);
  return screen;
}

TMouse* GetMouse() {
  static TMouse* mouse = new TMouse();
  return mouse;
}

// ---- TMouse -------------------------------------------------------------------------------------

TPoint TMouse::CursorPos() const {
  TPoint p;
  GetCursorPos(&p);
  return p;
}
void TMouse::SetCursorPos(TPoint pt) { ::vcl::SetCursorPos(pt.X, pt.Y); }
HWND TMouse::Capture() const { return GetCapture(); }
void TMouse::SetCapture(HWND hwnd) {
  if (hwnd) ::vcl::SetCapture(hwnd);
  else ReleaseCapture();
}
int TMouse::WheelScrollLines() const {
  UINT lines = 3;
  SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
  return int(lines);
}

}  // namespace vcl
