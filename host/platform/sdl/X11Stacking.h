// Stacking, shapes and bell through Xlib for SDL windows on X11. SDL can only raise a window by
// activating it; these calls restack without touching the keyboard focus. Each returns false
// when the window is not an X11 window (other video drivers), and does nothing then.
#pragma once

struct SDL_Window;
struct SDL_SysWMmsg;

namespace vcl::platform::x11 {

bool RaiseWindow(SDL_Window* w);
// Places w directly below `above` (through the window manager when one manages them).
bool StackBelow(SDL_Window* w, SDL_Window* above);
bool Bell(SDL_Window* anyWindow);
// Limits the window's visible and input area to the rectangles (window-relative), or makes it
// rectangular again (shaped = false). Uses the X Shape extension.
struct ShapeRect {
  int X, Y, W, H;
};
bool SetShape(SDL_Window* w, const ShapeRect* rects, int count, bool shaped);
// The pointer's screen position carried by an X pointer event (motion, button, crossing) that
// SDL hands over as a system event before translating it.
bool PointerEventRoot(const SDL_SysWMmsg* msg, int& x, int& y);

}  // namespace vcl::platform::x11
