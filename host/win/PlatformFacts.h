// The facts of the emulated system, kept in one settable place: the Windows version it reports,
// whether themes are enabled, whether desktop composition runs, and the optional system
// modules with their functions (our own implementations, found by name at run time). Tests
// set them to reach every branch that callers take on older or different systems;
// ResetPlatformFacts() returns to the defaults (Windows 10 build 19045, themes on,
// composition off, every module and function present).
#pragma once
#include <functional>
#include <type_traits>

#include "host/win/WinTypes.h"

namespace vcl {

// ---- the emulated Windows version -----------------------------------------------------------

enum TWindowsRelease {
  wrWindowsXP,     // 5.1.2600 Service Pack 3
  wrWindowsVista,  // 6.0.6002 Service Pack 2
  wrWindows7,      // 6.1.7601 Service Pack 1
  wrWindows8,      // 6.2.9200
  wrWindows81,     // 6.3.9600
  wrWindows10,     // 10.0.19045
  wrWindows11      // 10.0.22631
};

struct TWindowsVersion {
  DWORD Major = 10;
  DWORD Minor = 0;
  DWORD Build = 19045;
  WORD ServicePackMajor = 0;
  String ServicePack;  // "Service Pack 1", or empty
};

TWindowsVersion WindowsReleaseVersion(TWindowsRelease release);
void SetEmulatedWindowsVersion(TWindowsRelease release);
// Any version: major 1-255, minor 0-255, build 0-32767 (what GetVersion can carry);
// EArgumentOutOfRangeException naming the value otherwise. No service pack.
void SetEmulatedWindowsVersion(DWORD major, DWORD minor, DWORD build);
const TWindowsVersion& EmulatedWindowsVersion();
// Whether the emulated version is at least major.minor.
bool EmulatedVersionAtLeast(DWORD major, DWORD minor);

// Major version in the low byte, minor in the next, the build number in the high word (bit 31
// clear: the NT family).
DWORD GetVersion();

constexpr DWORD VER_PLATFORM_WIN32_NT = 2;
constexpr BYTE VER_NT_WORKSTATION = 1;
constexpr WORD VER_SUITE_SINGLEUSERTS = 0x0100;

struct OSVERSIONINFOW {
  DWORD dwOSVersionInfoSize = sizeof(OSVERSIONINFOW);
  DWORD dwMajorVersion = 0;
  DWORD dwMinorVersion = 0;
  DWORD dwBuildNumber = 0;
  DWORD dwPlatformId = 0;
  Char szCSDVersion[128] = {};
};
struct OSVERSIONINFOEXW : OSVERSIONINFOW {
  OSVERSIONINFOEXW() { dwOSVersionInfoSize = sizeof(OSVERSIONINFOEXW); }
  WORD wServicePackMajor = 0;
  WORD wServicePackMinor = 0;
  WORD wSuiteMask = 0;
  BYTE wProductType = 0;
  BYTE wReserved = 0;
};
static_assert(sizeof(OSVERSIONINFOW) == 276 && sizeof(OSVERSIONINFOEXW) == 284);

// Fills the record whose dwOSVersionInfoSize is the size of OSVERSIONINFOW or of
// OSVERSIONINFOEXW (the extended part only for the latter); any other size fails with
// ERROR_INVALID_PARAMETER, leaving the record untouched. We report the emulated version as it
// is: the compatibility answer of the real call (6.2 for programs without a manifest on 8.1 and
// later) is not reproduced.
BOOL GetVersionExW(OSVERSIONINFOW* info);

// The run-time library's view of the operating system.
struct TOSVersion {
  static int Major();
  static int Minor();
  static int Build();
  static int ServicePackMajor();
  static String Name();  // "Windows 10", "Windows 8.1", "Windows XP", ... ("Windows" otherwise)
  static bool Check(int major, int minor = 0);  // at least major.minor
};

// ---- workstation information (netapi32) -------------------------------------------------------

using NET_API_STATUS = DWORD;
constexpr NET_API_STATUS NERR_Success = 0;
constexpr DWORD PLATFORM_ID_NT = 500;

struct WKSTA_INFO_100 {
  DWORD wki100_platform_id = 0;
  Char* wki100_computername = nullptr;
  Char* wki100_langroup = nullptr;
  DWORD wki100_ver_major = 0;
  DWORD wki100_ver_minor = 0;
};

// Level 100 only (ERROR_INVALID_LEVEL otherwise); serverName must be null or empty (the local
// workstation). The buffer is freed with NetApiBufferFree.
NET_API_STATUS NetWkstaGetInfo(const Char* serverName, DWORD level, BYTE** buffer);
NET_API_STATUS NetApiBufferFree(void* buffer);
// Makes NetWkstaGetInfo fail with `status` (NERR_Success: it succeeds again).
void SetNetWkstaGetInfoStatus(NET_API_STATUS status);

// ---- themes -------------------------------------------------------------------------------------

// Whether visual themes are enabled; off means the classic look. The style engine reads and
// writes this flag (TStyleManager::ThemesEnabled), so there is one place.
bool ThemesEnabled();
void SetThemesEnabled(bool enabled);
// Called after the flag changed, with the value it had before. Returns an id for removal.
int AddThemesChangedHandler(std::function<void(bool previous)> handler);
void RemoveThemesChangedHandler(int id);
// uxtheme's answer: themes enabled.
BOOL IsThemeActive();

// ---- desktop composition ------------------------------------------------------------------------

// Off by default: DwmIsCompositionEnabled reports FALSE and the composition functions fail
// with DWM_E_COMPOSITIONDISABLED. On, they succeed and record what they were given.
bool DwmCompositionAvailable();
void SetDwmCompositionAvailable(bool available);

// ---- optional modules ------------------------------------------------------------------------------
//
// "dwmapi.dll":   DwmIsCompositionEnabled, DwmExtendFrameIntoClientArea, DwmDefWindowProc,
//                 DwmSetWindowAttribute, DwmGetWindowAttribute            (Vista and later)
// "uxtheme.dll":  BeginBufferedAnimation, EndBufferedAnimation, BufferedPaintRenderAnimation,
//                 BufferedPaintStopAllAnimations, BufferedPaintInit, BufferedPaintUnInit
//                 (Vista and later), IsThemeActive
// "user32.dll":   SetWindowCompositionAttribute, GetWindowCompositionAttribute (7 and later)
// "netapi32.dll": NetWkstaGetInfo, NetApiBufferFree
// A module or function is present when the emulated version has it and it was not switched
// off. Names compare ignoring case; a module name may carry a path and may leave out ".dll".

using FARPROC = void (*)();
constexpr DWORD ERROR_SUCCESS = 0;
constexpr DWORD ERROR_ACCESS_DENIED = 5;
constexpr DWORD ERROR_INVALID_HANDLE = 6;
constexpr DWORD ERROR_NOT_ENOUGH_MEMORY = 8;
constexpr DWORD ERROR_INVALID_PARAMETER = 87;
constexpr DWORD ERROR_INVALID_LEVEL = 124;
constexpr DWORD ERROR_MOD_NOT_FOUND = 126;
constexpr DWORD ERROR_PROC_NOT_FOUND = 127;
constexpr DWORD ERROR_RESOURCE_NAME_NOT_FOUND = 1814;

DWORD GetLastError();
void SetLastError(DWORD error);

// A counted reference to the module, or nullptr (ERROR_MOD_NOT_FOUND) when it is absent.
HMODULE LoadLibraryW(const Char* fileName);
// Drops a reference; the handle stops working when the last one is gone.
BOOL FreeLibrary(HMODULE module);
// The module when it is loaded, without a new reference.
HMODULE GetModuleHandleW(const Char* moduleName);
// The function, to be cast to its documented signature, or nullptr (ERROR_PROC_NOT_FOUND).
FARPROC GetProcAddress(HMODULE module, const char* procName);

namespace detail {
template <class F>
inline constexpr char ProcKey = 0;
// The function, checked to have the signature `key` (EInvalidOperation naming it when not).
FARPROC GetTypedProc(HMODULE module, const char* procName, const void* key);
}  // namespace detail

// Type-checked lookup: GetProc<decltype(DwmIsCompositionEnabled)>(module, "DwmIsCompositionEnabled")
// gives the function pointer or nullptr; asking with another signature than the function's
// raises EInvalidOperation naming the function.
template <class F>
F* GetProc(HMODULE module, const char* procName) {
  static_assert(std::is_function_v<F>);
  return reinterpret_cast<F*>(detail::GetTypedProc(module, procName, &detail::ProcKey<F*>));
}

// Switches a module or one of its functions off (and on again). Unknown names raise
// EArgumentException naming them.
void SetModuleAvailable(StringView moduleName, bool available);
void SetFunctionAvailable(StringView moduleName, StringView functionName, bool available);

// String resources of a module: LoadStringW copies string `id` (at most maxCount - 1
// characters and a terminating zero) and returns its length, 0 when the module or string is
// absent. maxCount 0 gives a read-only pointer to the text in *buffer. Modules have no strings
// unless a test gives them some.
int LoadStringW(HINSTANCE module, UINT id, Char* buffer, int maxCount);
void SetModuleString(StringView moduleName, UINT id, StringView text);

// Back to the defaults (see the top of this header). Loaded modules stay loaded.
void ResetPlatformFacts();

}  // namespace vcl
