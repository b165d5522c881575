#include "host/platform/sdl/SdlBackend.h"

#include <SDL2/SDL.h>
#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "host/platform/sdl/SdlKeys.h"
#include "host/platform/sdl/X11Stacking.h"

namespace vcl::platform {

namespace {

bool gAlive = false;

std::string SdlError(const char* what) { return std::string(what) + ": " + SDL_GetError(); }

// Logical DPI from the physical one SDL measures: the nearest 25 % step, at least 100 %.
int SnapDpi(float measured) {
  if (!(measured > 0.f) || measured > 2000.f) return 96;
  int dpi = int(std::lround(measured / 24.0f)) * 24;
  return std::clamp(dpi, 96, 480);
}

Rect ToRect(const SDL_Rect& r) { return Rect::FromSize(r.x, r.y, r.w, r.h); }

SDL_SystemCursor SystemCursorFor(CursorShape shape) {
  switch (shape) {
    case CursorShape::IBeam: return SDL_SYSTEM_CURSOR_IBEAM;
    case CursorShape::Wait: return SDL_SYSTEM_CURSOR_WAIT;
    case CursorShape::Cross: return SDL_SYSTEM_CURSOR_CROSSHAIR;
    case CursorShape::SizeNWSE: return SDL_SYSTEM_CURSOR_SIZENWSE;
    case CursorShape::SizeNESW: return SDL_SYSTEM_CURSOR_SIZENESW;
    case CursorShape::SizeWE: return SDL_SYSTEM_CURSOR_SIZEWE;
    case CursorShape::SizeNS: return SDL_SYSTEM_CURSOR_SIZENS;
    case CursorShape::SizeAll: return SDL_SYSTEM_CURSOR_SIZEALL;
    case CursorShape::No: return SDL_SYSTEM_CURSOR_NO;
    case CursorShape::Hand: return SDL_SYSTEM_CURSOR_HAND;
    case CursorShape::AppStarting: return SDL_SYSTEM_CURSOR_WAITARROW;
    case CursorShape::UpArrow:  // drawn: see DrawnCursor
    case CursorShape::Help:
    case CursorShape::Arrow:
    case CursorShape::None: break;
  }
  return SDL_SYSTEM_CURSOR_ARROW;
}

// SDL's system cursors have no up arrow and no help cursor: these two are drawn, white with a
// black outline like the others, at the primary monitor's scale.
SDL_Cursor* DrawnCursor(CursorShape shape, int dpi) {
  const double k = std::max(1, dpi) / 96.0;
  const int size = int(std::lround(24 * k));
  cairo_surface_t* img = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, size, size);
  cairo_t* cr = cairo_create(img);
  cairo_scale(cr, k, k);
  auto polygon = [cr](std::initializer_list<std::pair<double, double>> pts) {
    for (auto [x, y] : pts) cairo_line_to(cr, x, y);
    cairo_close_path(cr);
  };
  int hotX = 0, hotY = 0;
  if (shape == CursorShape::UpArrow) {
    polygon({{7.5, 0.5}, {14.5, 7.5}, {10.5, 7.5}, {10.5, 18.5}, {4.5, 18.5}, {4.5, 7.5}, {0.5, 7.5}});
    hotX = int(7 * k);
  } else {
    polygon({{0.5, 0.5}, {0.5, 15.5}, {4.5, 12}, {7, 17.5}, {9, 16.5}, {6.5, 11.5}, {11.5, 11.5}});
    cairo_select_font_face(cr, "sans-serif", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
    cairo_set_font_size(cr, 13);
    cairo_move_to(cr, 12, 12);
    cairo_text_path(cr, "?");
  }
  cairo_set_source_rgb(cr, 1, 1, 1);
  cairo_fill_preserve(cr);
  cairo_set_source_rgb(cr, 0, 0, 0);
  cairo_set_line_width(cr, 1);
  cairo_stroke(cr);
  cairo_destroy(cr);
  cairo_surface_flush(img);
  SDL_Surface* s = SDL_CreateRGBSurfaceWithFormatFrom(
      cairo_image_surface_get_data(img), size, size, 32, cairo_image_surface_get_stride(img),
      SDL_PIXELFORMAT_ARGB8888);
  SDL_Cursor* c = s ? SDL_CreateColorCursor(s, hotX, hotY) : nullptr;
  SDL_FreeSurface(s);
  cairo_surface_destroy(img);
  return c;
}

// Whether the framebuffer has cairo's ARGB32 layout (XRGB/ARGB 8888), so rows copy as bytes.
bool SameLayout(const SDL_PixelFormat* f) {
  return f->BytesPerPixel == 4 && f->Rmask == 0x00FF0000 && f->Gmask == 0x0000FF00 &&
         f->Bmask == 0x000000FF;
}

void CopyArea(cairo_surface_t* back, SDL_Surface* fb, const Rect& r) {
  const unsigned char* src = cairo_image_surface_get_data(back);
  int ss = cairo_image_surface_get_stride(back);
  src += size_t(r.Top) * ss + size_t(r.Left) * 4;
  auto* dst = static_cast<unsigned char*>(fb->pixels) + size_t(r.Top) * fb->pitch +
              size_t(r.Left) * fb->format->BytesPerPixel;
  if (SameLayout(fb->format)) {
    for (int y = 0; y < r.Height(); ++y)
      std::memcpy(dst + size_t(y) * fb->pitch, src + size_t(y) * ss, size_t(r.Width()) * 4);
  } else {
    SDL_ConvertPixels(r.Width(), r.Height(), SDL_PIXELFORMAT_ARGB8888, src, ss,
                      fb->format->format, dst, fb->pitch);
  }
}

}  // namespace

struct SdlBackend::SdlSurface : CommonBackend::Surface {
  SDL_Window* Win = nullptr;
  std::uint32_t WindowId = 0;
  SDL_Surface* Fb = nullptr;  // the window framebuffer last copied into
  bool FbStale = true;        // the framebuffer needs a full copy
};

SdlBackend::SdlBackend() {
  if (gAlive) throw EPlatformError("SdlBackend: only one SDL backend can exist at a time");
  // Hints at normal priority: the matching environment variables still win.
  // Present through shared-memory images: no GL context to create at start-up.
  SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
  SDL_SetHint(SDL_HINT_VIDEO_X11_NET_WM_BYPASS_COMPOSITOR, "0");
  SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "1");
  SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
  SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
  SDL_SetHint(SDL_HINT_MOUSE_AUTO_CAPTURE, "1");
  // Closing the last window is a Close request like any other; the application decides.
  SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
  const char* driver = std::getenv("SDL_VIDEODRIVER");
  const char* display = std::getenv("DISPLAY");
  if ((!driver || !*driver) && display && *display) SDL_SetHint(SDL_HINT_VIDEODRIVER, "x11");
  // Restarting SDL's X11 driver right after a shutdown in the same process sometimes fails
  // once; a second attempt connects.
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0 && SDL_InitSubSystem(SDL_INIT_VIDEO) != 0)
    throw EPlatformError(SdlError("SdlBackend: SDL video initialisation failed"));
  gAlive = true;
  FWakeType = SDL_RegisterEvents(1);
  SDL_EventState(SDL_SYSWMEVENT, SDL_ENABLE);  // the X events' screen positions
  SDL_Keymod m = SDL_GetModState();
  SetLockState(m & KMOD_CAPS, m & KMOD_NUM, m & KMOD_SCROLL);
}

SdlBackend::~SdlBackend() {
  DestroyAllSurfaces();
  for (SDL_Cursor*& c : FCursors)
    if (c) SDL_FreeCursor(c);
  SDL_QuitSubSystem(SDL_INIT_VIDEO);
  gAlive = false;
}

std::string SdlBackend::VideoDriver() const {
  const char* d = SDL_GetCurrentVideoDriver();
  return d ? d : "";
}

SDL_Window* SdlBackend::NativeWindow(SurfaceId s) const {
  return static_cast<SdlSurface&>(Get(s, "NativeWindow")).Win;
}

std::uint64_t SdlBackend::TickCount() const { return SDL_GetTicks64(); }

std::uint64_t SdlBackend::EventTime(std::uint32_t ts) const {
  std::uint64_t now = SDL_GetTicks64();
  if (ts == 0) return now;
  std::uint32_t age = std::uint32_t(now) - ts;  // SDL stamps are the low 32 bits of the ticks
  return age <= now ? now - age : now;
}

// ---- Surfaces --------------------------------------------------------------------------------

SdlBackend::SdlSurface* SdlBackend::ByWindowId(std::uint32_t windowId) const {
  auto it = FByWindow.find(windowId);
  return it == FByWindow.end() ? nullptr : static_cast<SdlSurface*>(Find(it->second));
}

std::unique_ptr<CommonBackend::Surface> SdlBackend::SysCreate(SurfaceId id,
                                                              const SurfaceParams& p) {
  // Resizable even though sizing is ours: for fixed-size windows SDL rewrites the size hints
  // and raises the window on every resize, which would break the caller's z-order.
  Uint32 flags = SDL_WINDOW_BORDERLESS | SDL_WINDOW_HIDDEN | SDL_WINDOW_RESIZABLE;
  switch (p.Kind) {
    case SurfaceKind::Popup: flags |= SDL_WINDOW_POPUP_MENU | SDL_WINDOW_SKIP_TASKBAR; break;
    case SurfaceKind::Tooltip: flags |= SDL_WINDOW_TOOLTIP | SDL_WINDOW_SKIP_TASKBAR; break;
    case SurfaceKind::Normal:
      if (p.Topmost) flags |= SDL_WINDOW_ALWAYS_ON_TOP;
      break;
  }
  SDL_Window* w = SDL_CreateWindow(p.Title.c_str(), p.Bounds.Left, p.Bounds.Top,
                                   std::max(1, p.Bounds.Width()), std::max(1, p.Bounds.Height()),
                                   flags);
  if (!w) throw EPlatformError(SdlError("CreateSurface: cannot create an SDL window"));
  auto s = std::make_unique<SdlSurface>();
  s->Win = w;
  s->WindowId = SDL_GetWindowID(w);
  FByWindow[s->WindowId] = id;
  if (p.Opacity != 255) SDL_SetWindowOpacity(w, p.Opacity / 255.f);
  if (p.Owner && p.Kind == SurfaceKind::Normal)
    if (auto* owner = static_cast<SdlSurface*>(Find(p.Owner))) SDL_SetWindowModalFor(w, owner->Win);
  return s;
}

void SdlBackend::SysDestroy(Surface& base) {
  auto& s = static_cast<SdlSurface&>(base);
  FByWindow.erase(s.WindowId);
  SDL_DestroyWindow(s.Win);
  s.Win = nullptr;
}

void SdlBackend::SysSetBounds(Surface& base, const Rect& old, bool sizeChanged) {
  auto& s = static_cast<SdlSurface&>(base);
  // Only real changes reach SDL: an unchanged request can make it wait for a configure
  // notification that never comes.
  if (s.Bounds.Left != old.Left || s.Bounds.Top != old.Top)
    SDL_SetWindowPosition(s.Win, s.Bounds.Left, s.Bounds.Top);
  if (sizeChanged) {
    int w = std::max(1, s.Bounds.Width()), h = std::max(1, s.Bounds.Height());
    int cw = 0, ch = 0;
    SDL_GetWindowSize(s.Win, &cw, &ch);
    if (cw != w || ch != h) SDL_SetWindowSize(s.Win, w, h);
    s.FbStale = true;
  }
}

void SdlBackend::SysShow(Surface& base) {
  auto& s = static_cast<SdlSurface&>(base);
  SDL_ShowWindow(s.Win);
  Refresh(s);
  if (FocusSurface() == s.Id) SDL_SetWindowInputFocus(s.Win);
}

void SdlBackend::SysHide(Surface& base) { SDL_HideWindow(static_cast<SdlSurface&>(base).Win); }

void SdlBackend::SysRaise(Surface& base) {
  auto& s = static_cast<SdlSurface&>(base);
  // Other drivers can only raise by activating, which pop-ups must never do.
  if (!x11::RaiseWindow(s.Win) && s.Kind == SurfaceKind::Normal && s.Visible)
    SDL_RaiseWindow(s.Win);
}

void SdlBackend::SysPlaceBelow(Surface& s, Surface& above) {
  x11::StackBelow(static_cast<SdlSurface&>(s).Win, static_cast<SdlSurface&>(above).Win);
}

void SdlBackend::SysSetTopmost(Surface& base) {
  auto& s = static_cast<SdlSurface&>(base);
  if (s.Kind == SurfaceKind::Normal)
    SDL_SetWindowAlwaysOnTop(s.Win, s.Topmost ? SDL_TRUE : SDL_FALSE);
  if (s.Topmost) SysRaise(s);
}

void SdlBackend::SysSetOpacity(Surface& base) {
  auto& s = static_cast<SdlSurface&>(base);
  SDL_SetWindowOpacity(s.Win, s.Opacity / 255.f);  // needs a compositing window manager
}

void SdlBackend::SysSetTitle(Surface& base) {
  auto& s = static_cast<SdlSurface&>(base);
  SDL_SetWindowTitle(s.Win, s.Title.c_str());
}

void SdlBackend::SysSetShape(Surface& base) {
  auto& s = static_cast<SdlSurface&>(base);
  std::vector<x11::ShapeRect> rects;
  rects.reserve(s.Shape.size());
  for (const Rect& r : s.Shape) rects.push_back({r.Left, r.Top, r.Width(), r.Height()});
  x11::SetShape(s.Win, rects.data(), int(rects.size()), s.IsShaped);
}

void SdlBackend::SysActivate(Surface& base) {
  auto& s = static_cast<SdlSurface&>(base);
  if (!s.Visible) return;  // SysShow gives it the focus when it appears
  SDL_RaiseWindow(s.Win);
  SDL_SetWindowInputFocus(s.Win);
}

// ---- Presenting ------------------------------------------------------------------------------

SDL_Surface* SdlBackend::SyncFramebuffer(SdlSurface& s, std::span<const Rect> rects,
                                         bool& full) {
  full = false;
  SDL_Surface* fb = SDL_GetWindowSurface(s.Win);
  if (!fb)
    throw EPlatformError(
        SdlError(("Present: surface " + std::to_string(s.Id) + " has no framebuffer").c_str()));
  Rect fbRect{0, 0, fb->w, fb->h};
  if (fb != s.Fb || s.FbStale) {
    // A new framebuffer (first use, or recreated at another size) holds nothing yet.
    s.Fb = fb;
    s.FbStale = false;
    full = true;
    Rect all = fbRect.Intersect({0, 0, s.Bounds.Width(), s.Bounds.Height()});
    if (!all.IsEmpty()) CopyArea(s.Back, fb, all);
    return fb;
  }
  for (const Rect& r : rects) {
    Rect c = r.Intersect(fbRect);
    if (!c.IsEmpty()) CopyArea(s.Back, fb, c);
  }
  return fb;
}

void SdlBackend::SysPresent(Surface& base, std::span<const Rect> rects) {
  auto& s = static_cast<SdlSurface&>(base);
  bool full = false;
  SDL_Surface* fb = SyncFramebuffer(s, rects, full);
  // A hidden window keeps the pixels in its framebuffer; showing it puts them on screen, so a
  // round trip to the display now would be wasted.
  if (!s.Visible) return;
  if (full) {
    SDL_UpdateWindowSurface(s.Win);
    return;
  }
  constexpr size_t Inline = 16;
  SDL_Rect local[Inline];
  std::vector<SDL_Rect> many;
  SDL_Rect* out = local;
  if (rects.size() > Inline) {
    many.resize(rects.size());
    out = many.data();
  }
  Rect fbRect{0, 0, fb->w, fb->h};
  int n = 0;
  for (const Rect& r : rects) {
    Rect c = r.Intersect(fbRect);
    if (!c.IsEmpty()) out[n++] = SDL_Rect{c.Left, c.Top, c.Width(), c.Height()};
  }
  if (n) SDL_UpdateWindowSurfaceRects(s.Win, out, n);
}

void SdlBackend::Refresh(SdlSurface& s) {
  if (!s.Visible) return;
  bool full = false;
  SyncFramebuffer(s, {}, full);
  SDL_UpdateWindowSurface(s.Win);
}

// ---- Pointer and cursor ----------------------------------------------------------------------

void SdlBackend::SysApplyCursor(CursorShape shape) {
  if (shape == CursorShape::None) {
    SDL_ShowCursor(SDL_DISABLE);
    return;
  }
  SDL_Cursor*& c = FCursors[size_t(shape)];
  if (!c) {
    c = shape == CursorShape::UpArrow || shape == CursorShape::Help
            ? DrawnCursor(shape, SystemMonitors().front().Dpi)
            : SDL_CreateSystemCursor(SystemCursorFor(shape));
  }
  if (c) SDL_SetCursor(c);
  SDL_ShowCursor(SDL_ENABLE);
}

void SdlBackend::SysSetCapture(Surface* s) {
  // Keeps pointer reports coming while the pointer is outside every surface; best effort
  // (the system may refuse, e.g. when no surface has the focus).
  SDL_CaptureMouse(s ? SDL_TRUE : SDL_FALSE);
}

Point SdlBackend::CursorPos() const {
  int x = 0, y = 0;
  SDL_GetGlobalMouseState(&x, &y);
  return {x, y};
}

void SdlBackend::SetCursorPos(Point p) { SDL_WarpMouseGlobal(p.X, p.Y); }

// ---- Events ----------------------------------------------------------------------------------

void SdlBackend::Pump() {
  FHavePointer = false;
  SDL_Event ev;
  while (SDL_PollEvent(&ev))
    if (!Translate(ev)) FWoken = true;
  FinishPump();
}

void SdlBackend::FinishPump() {
  if (FPendingFocusLoss) {
    FPendingFocusLoss = false;
    DeliverFocus(NoSurface, TickCount());
  }
  if (FDisplayChanged) {
    FDisplayChanged = false;
    FMonitorsDirty = true;
    Event e;
    e.Type = EventType::DisplayChanged;
    e.Time = TickCount();
    Queue(std::move(e));
  }
  if (FChildren.Running()) FChildren.ReapFinished();
}

bool SdlBackend::WaitEvent(Event& e, int timeoutMs) {
  if (PollEvent(e)) return true;
  if (FWoken) {
    FWoken = false;
    return false;
  }
  const std::uint64_t start = TickCount();
  for (;;) {
    int wait = -1;
    if (timeoutMs >= 0) {
      std::uint64_t elapsed = TickCount() - start;
      if (elapsed >= std::uint64_t(timeoutMs)) return false;
      wait = int(std::uint64_t(timeoutMs) - elapsed);
    }
    SDL_Event ev;
    if (!SDL_WaitEventTimeout(&ev, wait)) return false;
    FHavePointer = false;
    bool woke = !Translate(ev);
    while (SDL_PollEvent(&ev))
      if (!Translate(ev)) woke = true;
    FinishPump();
    if (PopQueued(e)) return true;
    if (woke) return false;
  }
}

void SdlBackend::Wake() {
  SDL_Event ev{};
  ev.type = FWakeType;
  SDL_PushEvent(&ev);
}

bool SdlBackend::Translate(const SDL_Event& ev) {
  if (ev.type == FWakeType) return false;
  std::uint64_t t = EventTime(ev.common.timestamp);
  switch (ev.type) {
    case SDL_QUIT: {
      Event e;
      e.Type = EventType::Quit;
      e.Time = t;
      Queue(std::move(e));
      break;
    }
    case SDL_DISPLAYEVENT: FDisplayChanged = true; break;
    case SDL_SYSWMEVENT: {
      // Comes just before the SDL event the X event becomes.
      int x, y;
      if (x11::PointerEventRoot(ev.syswm.msg, x, y)) {
        FEventRoot = {x, y};
        FHaveEventRoot = true;
      }
      break;
    }
    case SDL_WINDOWEVENT: {
      SdlSurface* s = ByWindowId(ev.window.windowID);
      if (!s) break;
      const int d1 = ev.window.data1, d2 = ev.window.data2;
      switch (ev.window.event) {
        case SDL_WINDOWEVENT_EXPOSED: {
          Refresh(*s);
          Event e;
          e.Type = EventType::Expose;
          e.Surface = s->Id;
          e.Time = t;
          e.Bounds = {0, 0, s->Bounds.Width(), s->Bounds.Height()};
          Queue(std::move(e));
          break;
        }
        case SDL_WINDOWEVENT_MOVED: {
          // Stale reports (SDL already knows a newer position) and our own moves are skipped.
          int x = 0, y = 0;
          SDL_GetWindowPosition(s->Win, &x, &y);
          if (x != d1 || y != d2 || (x == s->Bounds.Left && y == s->Bounds.Top)) break;
          DeliverSystemBounds(s->Id, s->Bounds.Offset(x - s->Bounds.Left, y - s->Bounds.Top), t);
          break;
        }
        case SDL_WINDOWEVENT_SIZE_CHANGED: {
          int w = 0, h = 0;
          SDL_GetWindowSize(s->Win, &w, &h);
          if (w != d1 || h != d2) break;
          if (w == std::max(1, s->Bounds.Width()) && h == std::max(1, s->Bounds.Height())) break;
          s->FbStale = true;
          DeliverSystemBounds(s->Id, Rect::FromSize(s->Bounds.Left, s->Bounds.Top, w, h), t);
          break;
        }
        case SDL_WINDOWEVENT_LEAVE: DeliverMouseLeftAll(t); break;
        case SDL_WINDOWEVENT_TAKE_FOCUS:
          if (s->Kind == SurfaceKind::Normal) SDL_SetWindowInputFocus(s->Win);
          break;
        case SDL_WINDOWEVENT_FOCUS_GAINED: {
          SDL_Keymod m = SDL_GetModState();
          SetLockState(m & KMOD_CAPS, m & KMOD_NUM, m & KMOD_SCROLL);
          FPendingFocusLoss = false;
          if (s->Kind != SurfaceKind::Normal) {
            // Pop-ups never keep the focus: hand it back to the focused surface.
            auto* f = static_cast<SdlSurface*>(Find(FocusSurface()));
            if (f && f->Visible) SDL_SetWindowInputFocus(f->Win);
            break;
          }
          DeliverFocus(s->Id, t);
          break;
        }
        case SDL_WINDOWEVENT_FOCUS_LOST:
          // Deferred to the end of the pump: focus moving between our own surfaces arrives as
          // a loss followed by a gain.
          if (s->Id == FocusSurface()) FPendingFocusLoss = true;
          break;
        case SDL_WINDOWEVENT_CLOSE: {
          Event e;
          e.Type = EventType::Close;
          e.Surface = s->Id;
          e.Time = t;
          Queue(std::move(e));
          break;
        }
        default: break;
      }
      break;
    }
    case SDL_MOUSEMOTION: {
      SdlSurface* s = ByWindowId(ev.motion.windowID);
      // The pointer's screen position: the X event's own (see SDL_SYSWMEVENT), else read once
      // per batch. The window-relative coordinates of queued motion may refer to a position
      // the window has since left, and SDL's global position can lag one event behind.
      if (!FHavePointer && !FHaveEventRoot) {
        FPointer = CursorPos();
        FHavePointer = true;
      }
      Point p = FPointer;
      if (FHaveEventRoot) p = FEventRoot;
      FHaveEventRoot = false;
      DeliverMouseMove(s ? s->Id : NoSurface, p, t);
      break;
    }
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: {
      MouseButton b;
      switch (ev.button.button) {
        case SDL_BUTTON_LEFT: b = MouseButton::Left; break;
        case SDL_BUTTON_RIGHT: b = MouseButton::Right; break;
        case SDL_BUTTON_MIDDLE: b = MouseButton::Middle; break;
        case SDL_BUTTON_X1: b = MouseButton::X1; break;
        case SDL_BUTTON_X2: b = MouseButton::X2; break;
        default: return true;
      }
      SdlSurface* s = ByWindowId(ev.button.windowID);
      // SDL stamps a button with the window-relative position of the last motion, which is
      // stale once the window has moved since (the release ending a drag that moved it): the
      // X event's own screen position wins when there is one.
      Point p = s ? Point{s->Bounds.Left + ev.button.x, s->Bounds.Top + ev.button.y} : CursorPos();
      if (FHaveEventRoot) p = FEventRoot;
      FHaveEventRoot = false;
      DeliverMouseButton(s ? s->Id : NoSurface, p, b, ev.type == SDL_MOUSEBUTTONDOWN, t);
      break;
    }
    case SDL_MOUSEWHEEL: {
      float dy = ev.wheel.preciseY, dx = ev.wheel.preciseX;
      if (ev.wheel.direction == SDL_MOUSEWHEEL_FLIPPED) {
        dy = -dy;
        dx = -dx;
      }
      SdlSurface* s = ByWindowId(ev.wheel.windowID);
      Point p = s ? Point{s->Bounds.Left + ev.wheel.mouseX, s->Bounds.Top + ev.wheel.mouseY}
                  : CursorPos();
      if (FHaveEventRoot) p = FEventRoot;  // from the X button event of the notch
      FHaveEventRoot = false;
      DeliverWheel(s ? s->Id : NoSurface, p, int(std::lround(dy * WheelDelta)),
                   int(std::lround(dx * WheelDelta)), t);
      break;
    }
    case SDL_KEYDOWN:
    case SDL_KEYUP: {
      const SDL_Keysym& k = ev.key.keysym;
      SdlKey key = MapSdlKey(k, (k.mod & KMOD_NUM) != 0);
      if (!key.Vk) break;
      bool down = ev.type == SDL_KEYDOWN;
      // SDL's lock state already includes this press; the shared logic toggles on the press
      // itself, so hand it the state from before.
      bool caps = k.mod & KMOD_CAPS, num = k.mod & KMOD_NUM, scroll = k.mod & KMOD_SCROLL;
      if (down && !IsKeyDown(key.Vk)) {
        std::uint16_t g = GenericVk(key.Vk);
        if (g == VK_CAPITAL) caps = !caps;
        if (g == VK_NUMLOCK) num = !num;
        if (g == VK_SCROLL) scroll = !scroll;
      }
      SetLockState(caps, num, scroll);
      DeliverKey(key.Vk, key.Scan, down, t);
      break;
    }
    case SDL_TEXTEDITING:
      DeliverComposition(ev.edit.text, t);
      break;
    case SDL_TEXTINPUT: {
      // Ctrl combinations yield control characters from their key press instead (Ctrl+Alt is
      // AltGr and types real characters).
      std::uint8_t m = Modifiers();
      if ((m & ModCtrl) && !(m & ModAlt)) break;
      DeliverText(ev.text.text, t);
      break;
    }
    default: break;
  }
  return true;
}

// ---- Monitors --------------------------------------------------------------------------------

std::vector<MonitorInfo> SdlBackend::SystemMonitors() const {
  if (!FMonitorsDirty) return FMonitorCache;
  std::vector<MonitorInfo> list;
  int n = SDL_GetNumVideoDisplays();
  for (int i = 0; i < n; ++i) {
    SDL_Rect b, u;
    if (SDL_GetDisplayBounds(i, &b) != 0) continue;
    MonitorInfo m;
    m.Bounds = ToRect(b);
    m.WorkArea = SDL_GetDisplayUsableBounds(i, &u) == 0 ? ToRect(u).Intersect(m.Bounds) : m.Bounds;
    if (m.WorkArea.IsEmpty()) m.WorkArea = m.Bounds;
    float ddpi = 0;
    m.Dpi = SDL_GetDisplayDPI(i, &ddpi, nullptr, nullptr) == 0 ? SnapDpi(ddpi) : 96;
    m.Primary = list.empty();  // SDL lists the primary display first
    if (const char* name = SDL_GetDisplayName(i)) m.Name = name;
    list.push_back(std::move(m));
  }
  if (list.empty()) {
    MonitorInfo m;
    m.Bounds = m.WorkArea = {0, 0, 1024, 768};
    m.Primary = true;
    list.push_back(m);
  }
  FMonitorCache = std::move(list);
  FMonitorsDirty = false;
  return FMonitorCache;
}

// ---- Clipboard and shell ---------------------------------------------------------------------

std::string SdlBackend::ClipboardText() const {
  char* text = SDL_GetClipboardText();
  std::string out = text ? text : "";
  SDL_free(text);
  return out;
}

bool SdlBackend::HasClipboardText() const { return SDL_HasClipboardText() == SDL_TRUE; }

void SdlBackend::SetClipboardText(const std::string& utf8) {
  if (SDL_SetClipboardText(utf8.c_str()) != 0)
    throw EPlatformError(SdlError("SetClipboardText: the clipboard refused the text"));
}

bool SdlBackend::OpenUrl(const std::string& url) {
  if (!IsAcceptableUrl(url)) return false;
  return FChildren.Spawn(FUrlProgram, {url});
}

void SdlBackend::Beep() {
  for (const auto& [id, s] : Surfaces())
    if (x11::Bell(static_cast<SdlSurface&>(*s).Win)) return;
}

void SdlBackend::StartTextInput(SurfaceId s, const Rect& caret) {
  (void)s;
  SDL_Rect r{caret.Left, caret.Top, caret.Width(), caret.Height()};
  SDL_SetTextInputRect(&r);
  if (!SDL_IsTextInputActive()) SDL_StartTextInput();
}

// The characters of every key press arrive as text input, so it stays on for all windows;
// only the candidate window's place is forgotten.
void SdlBackend::StopTextInput() {}

}  // namespace vcl::platform
