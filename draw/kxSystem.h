// What the drawing core knows of the system it runs on: the Windows version (read once at
// start-up), desktop composition, and unique component names.
#pragma once
#include <cstdint>

#include "host/gdi/Types.h"
#include "host/rtl/System.h"
#include "host/win/BufferedPaint.h"
#include "host/win/WinUser.h"

namespace vcl {
class TComponent;
}

namespace kx {

// The optional DwmIsCompositionEnabled of "dwmapi.dll" (HRESULT result, S_OK on success).
using TDwmIsCompositionEnabledFunc = std::int32_t (*)(vcl::BOOL* enabled);
// The other optional functions, with the signatures of their modules' exports.
using TDwmExtendFrameIntoClientAreaFunc = decltype(&vcl::DwmExtendFrameIntoClientArea);
using TDwmSetWindowAttributeFunc = decltype(&vcl::DwmSetWindowAttribute);
using TSetWindowCompositionAttributeFunc = decltype(&vcl::SetWindowCompositionAttribute);
using TBeginBufferedAnimationFunc = decltype(&vcl::BeginBufferedAnimation);
using TEndBufferedAnimationFunc = decltype(&vcl::EndBufferedAnimation);
using TBufferedPaintRenderAnimationFunc = decltype(&vcl::BufferedPaintRenderAnimation);
using TBufferedPaintStopAllAnimationsFunc = decltype(&vcl::BufferedPaintStopAllAnimations);

// The system's answers the version detection reads at start-up.
struct TkxSystemFacts {
  vcl::DWORD Version = 0;          // GetVersion(): major in the low byte, minor in the next
  bool HasWorkstationVersion = false;  // NetWkstaGetInfo at level 100 succeeded
  int WorkstationMajor = 0;
  int WorkstationMinor = 0;
  vcl::DWORD RuntimeBuild = 0;     // the host run-time's build number (0: unknown)
  vcl::DWORD VersionExBuild = 0;   // dwBuildNumber of GetVersionExW (extended record)
  TDwmIsCompositionEnabledFunc DwmIsCompositionEnabled = nullptr;  // nullptr: not found
  // The other optional functions; each nullptr when its module or the function is missing.
  TDwmExtendFrameIntoClientAreaFunc DwmExtendFrameIntoClientArea = nullptr;
  TDwmSetWindowAttributeFunc DwmSetWindowAttribute = nullptr;
  TSetWindowCompositionAttributeFunc SetWindowCompositionAttribute = nullptr;
  TBeginBufferedAnimationFunc BeginBufferedAnimation = nullptr;
  TEndBufferedAnimationFunc EndBufferedAnimation = nullptr;
  TBufferedPaintRenderAnimationFunc BufferedPaintRenderAnimation = nullptr;
  TBufferedPaintStopAllAnimationsFunc BufferedPaintStopAllAnimations = nullptr;
  // The modules the functions came from, released by FinalizeDrawUtils.
  vcl::HMODULE UxThemeModule = nullptr;
  vcl::HMODULE DwmApiModule = nullptr;
  vcl::HMODULE User32Module = nullptr;
};

// Asks the system: GetVersion, NetWkstaGetInfo at level 100 when GetVersion reports more than
// 6.1, the run-time's build number, GetVersionExW with the extended record (284 bytes), then
// loads "uxtheme.dll", "dwmapi.dll" and "user32.dll" and looks up the optional functions.
TkxSystemFacts ReadSystemFacts();
// Start-up of the drawing core: InitializeDrawUtils(ReadSystemFacts()).
void InitializeDrawUtils();

// Start-up: the version from the facts (GetVersion's major and minor; above 6.1 the
// workstation's version when it was read; on Windows 10 and later the run-time's build, else
// the extended record's; build 0 below Windows 10) and the optional functions. The module
// handles of the facts are taken over (released by FinalizeDrawUtils or the next
// initialisation); the modules of an earlier initialisation are released.
void InitializeDrawUtils(const TkxSystemFacts& facts);
// Forgets what InitializeDrawUtils read (every version test false, no optional functions) and
// releases the modules the facts came with.
void FinalizeDrawUtils();
// The facts read at start-up: the optional functions for their users to check and call.
const TkxSystemFacts& SystemFacts();
// Sets the version directly; the build number counts only from Windows 10 on.
void SetWindowsVersion(int major, int minor, int build);

int WindowsMajorVersion();
int WindowsMinorVersion();
int WindowsBuildNumber();
bool IsWindows10();  // major version above 9
bool IsWindows11();  // major version 10 or more and build 22000 or more
bool IsWindows8();   // 6.2 or 6.3
bool IsWindows7();   // 6.1
bool IsWindowsXP();  // 5.1
// Major version above 5, DwmIsCompositionEnabled found, succeeding and reporting true.
bool IsDwmCompositionEnabled();
// Version 6.0 or later and BeginBufferedAnimation (with its companions) found.
bool IsBufferedAnimationAvailable();

// The first of Format(format, [1]), Format(format, [2]), ... that `owner` does not own as a
// component name (the first at once without an owner). A format whose results do not differ
// raises EArgumentException naming it instead of searching for ever.
vcl::String UniqueComponentName(vcl::StringView format, const vcl::TComponent* owner);

}  // namespace kx
