// The Windows version read once at start-up, desktop composition, unique component names.
#include "draw/kxSystem.h"

#include <algorithm>

#include "host/classes/Component.h"
#include "host/rtl/NumFormat.h"
#include "host/win/PlatformFacts.h"

namespace kx {

using namespace vcl;

namespace {

struct TSystemState {
  int Major = 0;
  int Minor = 0;
  int Build = 0;
  TkxSystemFacts Facts;
};
TSystemState GSystem;

void ReleaseModules(TkxSystemFacts& f) {
  for (HMODULE* m : {&f.UxThemeModule, &f.DwmApiModule, &f.User32Module}) {
    if (*m) FreeLibrary(*m);
    *m = nullptr;
  }
}

}  // namespace

void SetWindowsVersion(int major, int minor, int build) {
  GSystem.Major = major;
  GSystem.Minor = minor;
  GSystem.Build = major > 9 ? build : 0;
}

void InitializeDrawUtils(const TkxSystemFacts& facts) {
  int major = int(facts.Version & 0xFF);
  int minor = int((facts.Version >> 8) & 0xFF);
  // Programs without a compatibility manifest are told 6.2 whatever runs; the workstation
  // information has the real version.
  if ((major > 6 || (major == 6 && minor > 1)) && facts.HasWorkstationVersion) {
    major = facts.WorkstationMajor;
    minor = facts.WorkstationMinor;
  }
  DWORD build = facts.RuntimeBuild != 0 ? facts.RuntimeBuild : facts.VersionExBuild;
  SetWindowsVersion(major, minor, int(build));
  // Initialised again: the modules of the earlier facts are released, these are kept.
  if (&facts != &GSystem.Facts) {
    ReleaseModules(GSystem.Facts);
    GSystem.Facts = facts;
  }
}

TkxSystemFacts ReadSystemFacts() {
  TkxSystemFacts f;
  f.Version = GetVersion();
  int major = int(f.Version & 0xFF), minor = int((f.Version >> 8) & 0xFF);
  if (major > 6 || (major == 6 && minor > 1)) {
    BYTE* buffer = nullptr;
    if (NetWkstaGetInfo(nullptr, 100, &buffer) == NERR_Success && buffer) {
      const auto* info = reinterpret_cast<const WKSTA_INFO_100*>(buffer);
      f.HasWorkstationVersion = true;
      f.WorkstationMajor = int(info->wki100_ver_major);
      f.WorkstationMinor = int(info->wki100_ver_minor);
    }
    if (buffer) NetApiBufferFree(buffer);
  }
  f.RuntimeBuild = DWORD(std::max(0, TOSVersion::Build()));
  OSVERSIONINFOEXW ex;
  if (GetVersionExW(&ex)) f.VersionExBuild = ex.dwBuildNumber;

  if ((f.UxThemeModule = LoadLibraryW(u"uxtheme.dll"))) {
    HMODULE m = f.UxThemeModule;
    f.BeginBufferedAnimation =
        GetProc<std::remove_pointer_t<TBeginBufferedAnimationFunc>>(m, "BeginBufferedAnimation");
    f.EndBufferedAnimation =
        GetProc<std::remove_pointer_t<TEndBufferedAnimationFunc>>(m, "EndBufferedAnimation");
    f.BufferedPaintRenderAnimation = GetProc<std::remove_pointer_t<TBufferedPaintRenderAnimationFunc>>(
        m, "BufferedPaintRenderAnimation");
    f.BufferedPaintStopAllAnimations =
        GetProc<std::remove_pointer_t<TBufferedPaintStopAllAnimationsFunc>>(
            m, "BufferedPaintStopAllAnimations");
  }
  if ((f.DwmApiModule = LoadLibraryW(u"dwmapi.dll"))) {
    HMODULE m = f.DwmApiModule;
    f.DwmIsCompositionEnabled =
        GetProc<std::remove_pointer_t<TDwmIsCompositionEnabledFunc>>(m, "DwmIsCompositionEnabled");
    f.DwmExtendFrameIntoClientArea = GetProc<std::remove_pointer_t<TDwmExtendFrameIntoClientAreaFunc>>(
        m, "DwmExtendFrameIntoClientArea");
    f.DwmSetWindowAttribute =
        GetProc<std::remove_pointer_t<TDwmSetWindowAttributeFunc>>(m, "DwmSetWindowAttribute");
  }
  if ((f.User32Module = LoadLibraryW(u"user32.dll"))) {
    f.SetWindowCompositionAttribute =
        GetProc<std::remove_pointer_t<TSetWindowCompositionAttributeFunc>>(
            f.User32Module, "SetWindowCompositionAttribute");
  }
  return f;
}

void InitializeDrawUtils() { InitializeDrawUtils(ReadSystemFacts()); }

void FinalizeDrawUtils() {
  ReleaseModules(GSystem.Facts);
  GSystem = {};
}

const TkxSystemFacts& SystemFacts() { return GSystem.Facts; }

bool IsBufferedAnimationAvailable() {
  const TkxSystemFacts& f = GSystem.Facts;
  return GSystem.Major >= 6 && f.BeginBufferedAnimation && f.EndBufferedAnimation &&
         f.BufferedPaintRenderAnimation && f.BufferedPaintStopAllAnimations;
}

int WindowsMajorVersion() { return GSystem.Major; }
int WindowsMinorVersion() { return GSystem.Minor; }
int WindowsBuildNumber() { return GSystem.Build; }

bool IsWindows10() { return GSystem.Major > 9; }
bool IsWindows11() { return GSystem.Major >= 10 && GSystem.Build >= 22000; }
bool IsWindows8() { return GSystem.Major == 6 && (GSystem.Minor == 2 || GSystem.Minor == 3); }
bool IsWindows7() { return GSystem.Major == 6 && GSystem.Minor == 1; }
bool IsWindowsXP() { return GSystem.Major == 5 && GSystem.Minor == 1; }

bool IsDwmCompositionEnabled() {
  if (GSystem.Major <= 5 || !GSystem.Facts.DwmIsCompositionEnabled) return false;
  BOOL enabled = false;
  return GSystem.Facts.DwmIsCompositionEnabled(&enabled) == 0 && enabled;
}

String UniqueComponentName(StringView format, const TComponent* owner) {
  String first = Format(format, {1});
  if (!owner) return first;
  // Among count + 1 different names one is free; a format that gives the same name for two
  // numbers would never find one.
  int tries = owner->ComponentCount() + 1;
  String previous;
  for (int i = 1; i <= tries; ++i) {
    String name = i == 1 ? first : Format(format, {i});
    if (i > 1 && name == previous)
      throw EArgumentException(u"Component name format '" + String(format) +
                               u"' does not number its names");
    if (!owner->FindComponent(name)) return name;
    previous = std::move(name);
  }
  throw EArgumentException(u"Component name format '" + String(format) +
                           u"' gives no free name");
}

}  // namespace kx
