// Xlib is reached through the library SDL's X11 driver has already loaded, so the platform
// layer needs no link-time X11 dependency.
#include "host/platform/sdl/X11Stacking.h"

#include <SDL2/SDL.h>
#include <SDL2/SDL_syswm.h>
#include <dlfcn.h>

#include <algorithm>
#include <vector>

namespace vcl::platform::x11 {

namespace {

struct XlibCalls {
  int (*Raise)(Display*, Window) = nullptr;
  Status (*Reconfigure)(Display*, Window, int, unsigned, XWindowChanges*) = nullptr;
  int (*DefaultScreenOf)(Display*) = nullptr;
  int (*Flush)(Display*) = nullptr;
  int (*Ring)(Display*, int) = nullptr;
  bool Ok = false;
  // libXext (X Shape extension), optional.
  void (*ShapeRects)(Display*, Window, int, int, int, XRectangle*, int, int, int) = nullptr;
  void (*ShapeMask)(Display*, Window, int, int, int, Pixmap, int) = nullptr;
};

const XlibCalls& Xlib() {
  static const XlibCalls calls = [] {
    XlibCalls c;
    void* lib = dlopen("libX11.so.6", RTLD_LAZY | RTLD_LOCAL | RTLD_NOLOAD);
    if (!lib) lib = dlopen("libX11.so.6", RTLD_LAZY | RTLD_LOCAL);
    if (!lib) return c;
    // The library stays loaded for the life of the process, as SDL keeps it too.
    c.Raise = reinterpret_cast<decltype(c.Raise)>(dlsym(lib, "XRaiseWindow"));
    c.Reconfigure = reinterpret_cast<decltype(c.Reconfigure)>(dlsym(lib, "XReconfigureWMWindow"));
    c.DefaultScreenOf = reinterpret_cast<decltype(c.DefaultScreenOf)>(dlsym(lib, "XDefaultScreen"));
    c.Flush = reinterpret_cast<decltype(c.Flush)>(dlsym(lib, "XFlush"));
    c.Ring = reinterpret_cast<decltype(c.Ring)>(dlsym(lib, "XBell"));
    c.Ok = c.Raise && c.Reconfigure && c.DefaultScreenOf && c.Flush && c.Ring;
    void* ext = dlopen("libXext.so.6", RTLD_LAZY | RTLD_LOCAL | RTLD_NOLOAD);
    if (!ext) ext = dlopen("libXext.so.6", RTLD_LAZY | RTLD_LOCAL);
    if (ext) {
      c.ShapeRects = reinterpret_cast<decltype(c.ShapeRects)>(dlsym(ext, "XShapeCombineRectangles"));
      c.ShapeMask = reinterpret_cast<decltype(c.ShapeMask)>(dlsym(ext, "XShapeCombineMask"));
    }
    return c;
  }();
  return calls;
}

bool X11Of(SDL_Window* w, Display*& display, Window& window) {
  if (!w) return false;
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (!SDL_GetWindowWMInfo(w, &info) || info.subsystem != SDL_SYSWM_X11) return false;
  if (!Xlib().Ok) return false;
  display = info.info.x11.display;
  window = info.info.x11.window;
  return true;
}

}  // namespace

bool RaiseWindow(SDL_Window* w) {
  Display* d;
  Window x;
  if (!X11Of(w, d, x)) return false;
  Xlib().Raise(d, x);
  Xlib().Flush(d);
  return true;
}

bool StackBelow(SDL_Window* w, SDL_Window* above) {
  Display* d;
  Window x, sibling;
  if (!X11Of(w, d, x) || !X11Of(above, d, sibling)) return false;
  XWindowChanges changes{};
  changes.sibling = sibling;
  changes.stack_mode = Below;
  // Unlike XConfigureWindow, this goes through the window manager for managed (reparented)
  // windows instead of failing with BadMatch.
  Xlib().Reconfigure(d, x, Xlib().DefaultScreenOf(d), CWSibling | CWStackMode, &changes);
  Xlib().Flush(d);
  return true;
}

bool Bell(SDL_Window* anyWindow) {
  Display* d;
  Window x;
  if (!X11Of(anyWindow, d, x)) return false;
  Xlib().Ring(d, 0);
  Xlib().Flush(d);
  return true;
}

bool SetShape(SDL_Window* w, const ShapeRect* rects, int count, bool shaped) {
  Display* d;
  Window x;
  if (!X11Of(w, d, x) || !Xlib().ShapeRects || !Xlib().ShapeMask) return false;
  constexpr int ShapeBounding = 0, ShapeSet = 0;  // X Shape extension constants
  if (!shaped) {
    Xlib().ShapeMask(d, x, ShapeBounding, 0, 0, 0 /* no mask: the plain rectangle */, ShapeSet);
  } else {
    std::vector<XRectangle> xr;
    xr.reserve(size_t(count));
    for (int i = 0; i < count; ++i) {
      const ShapeRect& r = rects[i];
      xr.push_back(XRectangle{short(std::clamp(r.X, -32768, 32767)),
                              short(std::clamp(r.Y, -32768, 32767)),
                              static_cast<unsigned short>(std::clamp(r.W, 0, 65535)),
                              static_cast<unsigned short>(std::clamp(r.H, 0, 65535))});
    }
    Xlib().ShapeRects(d, x, ShapeBounding, 0, 0, xr.data(), int(xr.size()), ShapeSet, Unsorted);
  }
  Xlib().Flush(d);
  return true;
}

bool PointerEventRoot(const SDL_SysWMmsg* msg, int& x, int& y) {
  if (!msg || msg->subsystem != SDL_SYSWM_X11) return false;
  const XEvent& e = msg->msg.x11.event;
  switch (e.type) {
    case MotionNotify: x = e.xmotion.x_root; y = e.xmotion.y_root; return true;
    case ButtonPress:
    case ButtonRelease: x = e.xbutton.x_root; y = e.xbutton.y_root; return true;
    case EnterNotify: x = e.xcrossing.x_root; y = e.xcrossing.y_root; return true;
    default: return false;
  }
}

}  // namespace vcl::platform::x11
