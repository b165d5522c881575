// What a style switch does to the windows: shared by the registry and the hook attachment.
#pragma once
#include <vector>

#include "host/win/WinTypes.h"

namespace vcl::detail {

// Every window of the process, parents before their children; the top-level ones in *topLevel.
std::vector<HWND> AllWindows(std::vector<HWND>* topLevel = nullptr);
// Has a window recalculate its frame (WM_NCCALCSIZE) where it stands.
void RecalcFrame(HWND h);
// Recalculates a window's frame and repaints it with its frame and children.
void Refresh(HWND h);

// Attaches the registered system-class hooks to every window of their classes while a custom
// style is active (and to each window created from now on), or removes them all while the
// system style is active.
void ApplySysStyleHooks();
// Tells every window of the process that its style changed (CM_STYLECHANGED, hooks first), has
// hooked windows and windows that lost their hooks recalculate their frames, and repaints every
// window with its frame.
void NotifyWindowsOfStyleChange();
// The engine's own hooks: popup menus and tooltips.
void RegisterDefaultSysStyleHooks();

// Decides again, for every linked control, whether it has a hook and which (ControlHookRegistry).
void ApplyControlStyleHooks();
// The windows whose control hooks came or went since the last call, and every window with a
// control hook now: their frames are to be recalculated.
std::vector<HWND> TakeControlHookFrames();
// CM_STYLECHANGED to the windowed controls inside these windows that have no window yet (the
// windows themselves are told by their messages).
void NotifyControlsWithoutWindows(const std::vector<HWND>& windows);
// The engine's own control hooks: forms and scrolling controls.
void RegisterDefaultControlStyleHooks();
// The engine's painter of parent backgrounds (ParentBackground.cpp), unless one is set already.
void InstallDefaultParentBackgroundPainter();

}  // namespace vcl::detail
