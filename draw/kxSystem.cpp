// The Windows version read once at start-up, desktop composition, unique component names.
#include "draw/kxSystem.h"

#include "host/classes/Component.h"
#include "host/rtl/NumFormat.h"

namespace kx {

using namespace vcl;

namespace {

struct TSystemState {
  int Major = 0;
  int Minor = 0;
  int Build = 0;
  TDwmIsCompositionEnabledFunc DwmIsCompositionEnabled = nullptr;
};
TSystemState GSystem;

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
  GSystem.DwmIsCompositionEnabled = facts.DwmIsCompositionEnabled;
}

void FinalizeDrawUtils() { GSystem = {}; }

int WindowsMajorVersion() { return GSystem.Major; }
int WindowsMinorVersion() { return GSystem.Minor; }
int WindowsBuildNumber() { return GSystem.Build; }

bool IsWindows10() { return GSystem.Major > 9; }
bool IsWindows11() { return GSystem.Major >= 10 && GSystem.Build >= 22000; }
bool IsWindows8() { return GSystem.Major == 6 && (GSystem.Minor == 2 || GSystem.Minor == 3); }
bool IsWindows7() { return GSystem.Major == 6 && GSystem.Minor == 1; }
bool IsWindowsXP() { return GSystem.Major == 5 && GSystem.Minor == 1; }

bool IsDwmCompositionEnabled() {
  if (GSystem.Major <= 5 || !GSystem.DwmIsCompositionEnabled) return false;
  BOOL enabled = false;
  return GSystem.DwmIsCompositionEnabled(&enabled) == 0 && enabled;
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
