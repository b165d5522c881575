// Stacking and bell through Xlib for SDL windows on X11. SDL can only raise a window by
// activating it; these calls restack without touching the keyboard focus. Each returns false
// when the window is not an X11 window (other video drivers), and does nothing then.
#pragma once

struct SDL_Window;

namespace vcl::platform::x11 {

bool RaiseWindow(SDL_Window* w);
// Places w directly below `above` (through the window manager when one manages them).
bool StackBelow(SDL_Window* w, SDL_Window* above);
bool Bell(SDL_Window* anyWindow);

}  // namespace vcl::platform::x11
