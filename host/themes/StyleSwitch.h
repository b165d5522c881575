// What a style switch does to the windows: shared by the registry and the hook attachment.
#pragma once

namespace vcl::detail {

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

}  // namespace vcl::detail
