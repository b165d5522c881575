// The window manager's port over the platform backend (CurrentBackend()).
#include <algorithm>
#include <cstring>
#include <optional>

#include "host/platform/Platform.h"
#include "host/win/DesktopPort.h"
#include "host/win/WinTypes.h"

namespace vcl::wm {

namespace {

using platform::Backend;
using platform::CurrentBackend;

platform::Rect ToRect(const TRect& r) { return {r.Left, r.Top, r.Right, r.Bottom}; }
TRect FromRect(const platform::Rect& r) { return {r.Left, r.Top, r.Right, r.Bottom}; }

platform::CursorShape ShapeOf(int idc) {
  using platform::CursorShape;
  switch (idc) {
    case 0: return CursorShape::None;
    case IDC_IBEAM: return CursorShape::IBeam;
    case IDC_WAIT: return CursorShape::Wait;
    case IDC_CROSS: return CursorShape::Cross;
    case IDC_UPARROW: return CursorShape::UpArrow;
    case IDC_SIZENWSE: return CursorShape::SizeNWSE;
    case IDC_SIZENESW: return CursorShape::SizeNESW;
    case IDC_SIZEWE: return CursorShape::SizeWE;
    case IDC_SIZENS: return CursorShape::SizeNS;
    case IDC_SIZEALL: return CursorShape::SizeAll;
    case IDC_NO: return CursorShape::No;
    case IDC_HAND: return CursorShape::Hand;
    case IDC_APPSTARTING: return CursorShape::AppStarting;
    case IDC_HELP: return CursorShape::Help;
    default: return CursorShape::Arrow;
  }
}

class BackendPort final : public DesktopPort {
 public:
  Backend& B() { return CurrentBackend(); }

  std::uint32_t TickCount() override { return std::uint32_t(B().TickCount()); }
  bool IsInteractive() override { return std::strcmp(B().Name(), "headless") != 0; }
  bool KeyTextProvided() override { return true; }

  std::vector<PortMonitor> Monitors() override {
    std::vector<PortMonitor> r;
    for (const platform::MonitorInfo& m : B().Monitors())
      r.push_back({FromRect(m.Bounds), FromRect(m.WorkArea), m.Dpi, m.Primary});
    return r;
  }

  SurfaceId CreateSurface(SurfaceKind kind, const TRect& bounds, bool topmost, SurfaceId owner) override {
    platform::SurfaceParams p;
    p.Kind = kind == SurfaceKind::Normal ? platform::SurfaceKind::Normal
             : kind == SurfaceKind::Popup ? platform::SurfaceKind::Popup
                                          : platform::SurfaceKind::Tooltip;
    p.Bounds = ToRect(bounds);
    p.Topmost = topmost;
    if (owner && p.Kind == platform::SurfaceKind::Normal && B().SurfaceExists(platform::SurfaceId(owner)))
      p.Owner = platform::SurfaceId(owner);
    return B().CreateSurface(p);
  }
  void DestroySurface(SurfaceId id) override {
    if (Exists(id)) B().DestroySurface(Id(id));
    FStack.erase(std::remove(FStack.begin(), FStack.end(), id), FStack.end());
  }
  cairo_surface_t* BackBuffer(SurfaceId id) override { return Exists(id) ? B().BackBuffer(Id(id)) : nullptr; }
  void SetBounds(SurfaceId id, const TRect& b) override {
    if (Exists(id)) B().SetBounds(Id(id), ToRect(b));
  }
  void Show(SurfaceId id, bool visible) override {
    if (!Exists(id)) return;
    if (visible)
      B().Show(Id(id));
    else
      B().Hide(Id(id));
  }
  void Restack(const std::vector<SurfaceId>& order) override {
    // Raise, bottom first, from the first surface whose place changed.
    size_t i = 0;
    while (i < order.size() && i < FStack.size() && order[i] == FStack[i]) ++i;
    for (size_t j = i; j < order.size(); ++j)
      if (Exists(order[j])) B().Raise(Id(order[j]));
    FStack = order;
  }
  void SetTopmost(SurfaceId id, bool topmost) override {
    if (Exists(id)) B().SetTopmost(Id(id), topmost);
  }
  void SetOpacity(SurfaceId id, double opacity) override {
    if (Exists(id)) B().SetOpacity(Id(id), std::uint8_t(std::clamp(opacity, 0.0, 1.0) * 255.0 + 0.5));
  }
  void SetTitle(SurfaceId id, const String& title) override {
    if (Exists(id)) B().SetTitle(Id(id), StringToUtf8(title));
  }
  void SetShape(SurfaceId id, const std::vector<TRect>& rects) override {
    if (!Exists(id)) return;
    std::vector<platform::Rect> r;
    r.reserve(rects.size());
    for (const TRect& x : rects) r.push_back(ToRect(x));
    B().SetShape(Id(id), r);
  }
  void ResetShape(SurfaceId id) override {
    if (Exists(id)) B().ResetShape(Id(id));
  }
  void Present(SurfaceId id, const std::vector<TRect>& rects) override {
    if (!Exists(id)) return;
    std::vector<platform::Rect> r;
    r.reserve(rects.size());
    for (const TRect& x : rects) r.push_back(ToRect(x));
    B().Present(Id(id), r);
  }
  void RequestFocus(SurfaceId id) override {
    if (Exists(id) && B().Kind(Id(id)) == platform::SurfaceKind::Normal && B().Visible(Id(id)))
      B().Activate(Id(id));
  }
  void CapturePointer(SurfaceId id) override {
    B().SetMouseCapture(Exists(id) ? Id(id) : platform::NoSurface);
  }

  bool PollEvent(PortEvent& out) override {
    platform::Event e;
    for (;;) {
      if (FPending) {
        e = std::move(*FPending);
        FPending.reset();
      } else if (!B().PollEvent(e)) {
        return false;
      }
      if (Convert(e, out)) return true;
    }
  }
  void WaitEvent(int timeoutMs) override {
    platform::Event e;
    if (B().WaitEvent(e, timeoutMs)) FPending = std::move(e);
  }

  TPoint CursorPos() override {
    platform::Point p = B().CursorPos();
    return {p.X, p.Y};
  }
  void SetCursorPos(TPoint pt) override { B().SetCursorPos({pt.X, pt.Y}); }
  void SetCursorShape(SurfaceId id, int idc) override {
    if (Exists(id)) B().SetCursor(Id(id), ShapeOf(idc));
  }
  unsigned DoubleClickTime() override { return B().DoubleClickTime(); }
  void SetDoubleClickTime(unsigned ms) override { B().SetDoubleClickTime(ms); }

  String ClipboardText() override { return Utf8ToString(B().ClipboardText()); }
  bool HasClipboardText() override { return B().HasClipboardText(); }
  void SetClipboardText(const String& text) override { B().SetClipboardText(StringToUtf8(text)); }
  bool OpenUrl(const String& url) override { return B().OpenUrl(StringToUtf8(url)); }
  void Beep() override { B().Beep(); }
  void StartTextInput(SurfaceId id, const TRect& caret) override {
    if (Exists(id)) B().StartTextInput(Id(id), {caret.Left, caret.Top, caret.Right, caret.Bottom});
  }
  void StopTextInput() override { B().StopTextInput(); }

 private:
  static platform::SurfaceId Id(SurfaceId id) { return platform::SurfaceId(id); }
  bool Exists(SurfaceId id) { return id && B().SurfaceExists(Id(id)); }

  static bool Convert(const platform::Event& e, PortEvent& out) {
    out = PortEvent{};
    out.Surface = e.Surface;
    out.ScreenPos = {e.ScreenX, e.ScreenY};
    out.Time = std::uint32_t(e.Time);
    out.Buttons = e.Buttons;
    out.Mods = std::uint8_t(e.Mods & (platform::ModShift | platform::ModCtrl | platform::ModAlt));
    using T = platform::EventType;
    switch (e.Type) {
      case T::MouseMove: out.Kind = PortEventKind::MouseMove; break;
      case T::MouseLeave: out.Kind = PortEventKind::MouseLeave; break;
      case T::MouseDown:
      case T::MouseUp:
        out.Kind = e.Type == T::MouseDown ? PortEventKind::MouseDown : PortEventKind::MouseUp;
        out.Button = int(e.Button) + 1;
        break;
      case T::MouseWheel:
        out.Kind = PortEventKind::Wheel;
        out.WheelY = e.WheelDelta;
        out.WheelX = e.WheelDeltaX;
        break;
      case T::KeyDown:
      case T::KeyUp:
        out.Kind = e.Type == T::KeyDown ? PortEventKind::KeyDown : PortEventKind::KeyUp;
        out.Vk = e.VirtualKey;
        out.ScanCode = e.ScanCode;
        out.Extended = e.Extended;
        out.Repeat = e.Repeat;
        break;
      case T::Text:
        out.Kind = PortEventKind::Text;
        out.Text = Utf8ToString(e.Text);
        break;
      case T::Composition:
        out.Kind = PortEventKind::Composition;
        out.Text = Utf8ToString(e.Text);
        break;
      case T::FocusGained: out.Kind = PortEventKind::FocusGained; break;
      case T::FocusLost: out.Kind = PortEventKind::FocusLost; break;
      case T::Close: out.Kind = PortEventKind::CloseRequest; break;
      case T::Expose:
        out.Kind = PortEventKind::Expose;
        out.Bounds = FromRect(e.Bounds);
        break;
      case T::Moved:
      case T::Resized:
        out.Kind = PortEventKind::SurfaceMoved;
        out.Bounds = FromRect(e.Bounds);
        break;
      case T::DisplayChanged: out.Kind = PortEventKind::MonitorsChanged; break;
      case T::Quit: out.Kind = PortEventKind::Quit; break;
      default: return false;
    }
    return true;
  }

  std::optional<platform::Event> FPending;
  std::vector<SurfaceId> FStack;
};

}  // namespace

DesktopPort& Port() {
  static BackendPort* p = new BackendPort;  // lives as long as the backend it talks to
  return *p;
}

}  // namespace vcl::wm
