// Hidden utility windows: windows that only receive messages (timers, menu tracking ...).
// They all share one window class, so any number of framework parts can have their own window
// with their own window procedure.
#pragma once
#include "host/win/WinUser.h"

namespace vcl {

// A hidden window of the shared utility class whose messages go to `proc`. exStyle and parent
// as for CreateWindowExW (HWND_MESSAGE for a message-only window). nullptr when it cannot be
// made. The class is registered again when needed, so a reset window manager is no obstacle.
HWND AllocateHWnd(WNDPROC proc, DWORD exStyle = 0, HWND parent = nullptr);
// Destroys a window made by AllocateHWnd (nullptr and windows already gone are ignored).
void DeallocateHWnd(HWND window);

}  // namespace vcl
