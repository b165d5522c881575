// What the drawing core knows of the system it runs on: the Windows version (read once at
// start-up), desktop composition, and unique component names.
#pragma once
#include <cstdint>

#include "host/gdi/Types.h"
#include "host/rtl/System.h"

namespace vcl {
class TComponent;
}

namespace kx {

// The optional DwmIsCompositionEnabled of "dwmapi.dll" (HRESULT result, S_OK on success).
using TDwmIsCompositionEnabledFunc = std::int32_t (*)(vcl::BOOL* enabled);

// The system's answers the version detection reads at start-up.
struct TkxSystemFacts {
  vcl::DWORD Version = 0;          // GetVersion(): major in the low byte, minor in the next
  bool HasWorkstationVersion = false;  // NetWkstaGetInfo at level 100 succeeded
  int WorkstationMajor = 0;
  int WorkstationMinor = 0;
  vcl::DWORD RuntimeBuild = 0;     // the host run-time's build number (0: unknown)
  vcl::DWORD VersionExBuild = 0;   // dwBuildNumber of GetVersionExW (extended record)
  TDwmIsCompositionEnabledFunc DwmIsCompositionEnabled = nullptr;  // nullptr: not found
};

// Start-up: the version from the facts (GetVersion's major and minor; above 6.1 the
// workstation's version when it was read; on Windows 10 and later the run-time's build, else
// the extended record's; build 0 below Windows 10) and the optional functions.
void InitializeDrawUtils(const TkxSystemFacts& facts);
// Forgets what InitializeDrawUtils read (every version test false, no optional functions).
void FinalizeDrawUtils();
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

// The first of Format(format, [1]), Format(format, [2]), ... that `owner` does not own as a
// component name (the first at once without an owner). A format whose results do not differ
// raises EArgumentException naming it instead of searching for ever.
vcl::String UniqueComponentName(vcl::StringView format, const vcl::TComponent* owner);

}  // namespace kx
