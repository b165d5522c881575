// The emulated system's facts: version, workstation information, themes, composition, and the
// table of optional modules with our own implementations of their functions.
#include "host/win/PlatformFacts.h"

#include <unistd.h>

#include <algorithm>
#include <map>
#include <memory>
#include <vector>

#include "host/rtl/SysUtils.h"
#include "host/win/BufferedPaint.h"
#include "host/win/WinUser.h"

namespace vcl {

namespace {

struct TFunctionEntry {
  const char* Name;
  FARPROC Proc;
  const void* Key;  // signature identity (detail::ProcKey)
  DWORD MinMajor;   // first version that has it
  DWORD MinMinor;
  bool Available = true;
};

struct TModuleEntry {
  String Name;  // lower case, with ".dll"
  DWORD MinMajor = 0;
  DWORD MinMinor = 0;
  bool Available = true;
  int RefCount = 0;
  std::vector<TFunctionEntry> Functions;
  std::map<UINT, String> Strings;
};

template <class F>
TFunctionEntry Fn(const char* name, F* proc, DWORD minMajor = 0, DWORD minMinor = 0) {
  return {name, reinterpret_cast<FARPROC>(proc), &detail::ProcKey<F*>, minMajor, minMinor};
}

std::vector<std::unique_ptr<TModuleEntry>> MakeModules() {
  std::vector<std::unique_ptr<TModuleEntry>> m;
  auto add = [&](const char16_t* name, DWORD major, DWORD minor,
                 std::vector<TFunctionEntry> functions) {
    auto e = std::make_unique<TModuleEntry>();
    e->Name = name;
    e->MinMajor = major;
    e->MinMinor = minor;
    e->Functions = std::move(functions);
    m.push_back(std::move(e));
  };
  add(u"dwmapi.dll", 6, 0,
      {Fn("DwmIsCompositionEnabled", &DwmIsCompositionEnabled),
       Fn("DwmExtendFrameIntoClientArea", &DwmExtendFrameIntoClientArea),
       Fn("DwmDefWindowProc", &DwmDefWindowProc),
       Fn("DwmSetWindowAttribute", &DwmSetWindowAttribute),
       Fn("DwmGetWindowAttribute", &DwmGetWindowAttribute)});
  add(u"uxtheme.dll", 0, 0,
      {Fn("BeginBufferedAnimation", &BeginBufferedAnimation, 6, 0),
       Fn("EndBufferedAnimation", &EndBufferedAnimation, 6, 0),
       Fn("BufferedPaintRenderAnimation", &BufferedPaintRenderAnimation, 6, 0),
       Fn("BufferedPaintStopAllAnimations", &BufferedPaintStopAllAnimations, 6, 0),
       Fn("BufferedPaintInit", &BufferedPaintInit, 6, 0),
       Fn("BufferedPaintUnInit", &BufferedPaintUnInit, 6, 0),
       Fn("IsThemeActive", &IsThemeActive)});
  add(u"user32.dll", 0, 0,
      {Fn("SetWindowCompositionAttribute", &SetWindowCompositionAttribute, 6, 1),
       Fn("GetWindowCompositionAttribute", &GetWindowCompositionAttribute, 6, 1)});
  add(u"netapi32.dll", 0, 0,
      {Fn("NetWkstaGetInfo", &NetWkstaGetInfo), Fn("NetApiBufferFree", &NetApiBufferFree)});
  return m;
}

struct TFacts {
  TWindowsVersion Version;
  NET_API_STATUS WkstaStatus = NERR_Success;
  bool ThemesEnabled = true;
  bool Composition = false;
  DWORD LastError = 0;
  std::vector<std::unique_ptr<TModuleEntry>> Modules = MakeModules();
  std::map<int, std::function<void(bool)>> ThemesHandlers;
  int NextHandlerId = 1;
  std::map<void*, std::unique_ptr<Byte[]>> NetBuffers;
};

TFacts& Facts() {
  static TFacts f;
  return f;
}

bool VersionAtLeast(DWORD major, DWORD minor) {
  const TWindowsVersion& v = Facts().Version;
  return v.Major > major || (v.Major == major && v.Minor >= minor);
}

Char LowerAscii(Char c) { return (c >= u'A' && c <= u'Z') ? Char(c + 32) : c; }

// "C:\Windows\System32\DWMAPI" -> "dwmapi.dll".
String NormalizeModuleName(StringView name) {
  size_t slash = name.find_last_of(u"\\/");
  if (slash != StringView::npos) name = name.substr(slash + 1);
  String n;
  n.reserve(name.size() + 4);
  for (Char c : name) n.push_back(LowerAscii(c));
  if (n.find(u'.') == String::npos) n += u".dll";
  // A trailing dot means "no extension" to the loader.
  if (!n.empty() && n.back() == u'.') n.pop_back();
  return n;
}

TModuleEntry* FindModule(StringView name) {
  String n = NormalizeModuleName(name);
  for (auto& m : Facts().Modules)
    if (m->Name == n) return m.get();
  return nullptr;
}

bool ModulePresent(const TModuleEntry& m) {
  return m.Available && VersionAtLeast(m.MinMajor, m.MinMinor);
}

TModuleEntry* LoadedModule(HMODULE handle) {
  for (auto& m : Facts().Modules)
    if (m.get() == handle) return m->RefCount > 0 ? m.get() : nullptr;
  return nullptr;
}

bool SameAscii(const char* a, StringView b) {
  size_t n = std::char_traits<char>::length(a);
  if (n != b.size()) return false;
  for (size_t i = 0; i < n; ++i)
    if (LowerAscii(Char(Byte(a[i]))) != LowerAscii(b[i])) return false;
  return true;
}

TFunctionEntry* FindFunction(TModuleEntry& m, StringView name) {
  for (TFunctionEntry& f : m.Functions)
    if (SameAscii(f.Name, name)) return &f;
  return nullptr;
}

const TFunctionEntry* LookupProc(HMODULE module, const char* procName) {
  TFacts& s = Facts();
  TModuleEntry* m = LoadedModule(module);
  if (!m) {
    s.LastError = ERROR_INVALID_HANDLE;
    return nullptr;
  }
  // Ordinals (values below 0x10000 in place of a name) are not exported by our modules.
  if (!procName || reinterpret_cast<std::uintptr_t>(procName) < 0x10000 || !ModulePresent(*m)) {
    s.LastError = ERROR_PROC_NOT_FOUND;
    return nullptr;
  }
  // Function names compare exactly, as the loader's do.
  for (const TFunctionEntry& f : m->Functions)
    if (f.Name == std::string_view(procName) && f.Available &&
        VersionAtLeast(f.MinMajor, f.MinMinor))
      return &f;
  s.LastError = ERROR_PROC_NOT_FOUND;
  return nullptr;
}

String ComputerName() {
  char host[256] = {};
  if (gethostname(host, sizeof host - 1) != 0 || !host[0]) return u"LOCALHOST";
  String n;
  for (const char* p = host; *p && *p != '.' && n.size() < 15; ++p) {
    char c = *p;
    n.push_back(Char((c >= 'a' && c <= 'z') ? c - 32 : c));
  }
  return n;
}

}  // namespace

// ---- version ----------------------------------------------------------------------------------

TWindowsVersion WindowsReleaseVersion(TWindowsRelease release) {
  switch (release) {
    case wrWindowsXP: return {5, 1, 2600, 3, u"Service Pack 3"};
    case wrWindowsVista: return {6, 0, 6002, 2, u"Service Pack 2"};
    case wrWindows7: return {6, 1, 7601, 1, u"Service Pack 1"};
    case wrWindows8: return {6, 2, 9200, 0, {}};
    case wrWindows81: return {6, 3, 9600, 0, {}};
    case wrWindows10: return {10, 0, 19045, 0, {}};
    case wrWindows11: return {10, 0, 22631, 0, {}};
  }
  throw EArgumentOutOfRangeException(u"Unknown Windows release " +
                                     Utf8ToString(std::to_string(int(release))));
}

void SetEmulatedWindowsVersion(TWindowsRelease release) {
  Facts().Version = WindowsReleaseVersion(release);
}

void SetEmulatedWindowsVersion(DWORD major, DWORD minor, DWORD build) {
  auto check = [](const char* what, DWORD v, DWORD lo, DWORD hi) {
    if (v < lo || v > hi)
      throw EArgumentOutOfRangeException(Utf8ToString(std::string("Windows ") + what + " " +
                                                      std::to_string(v) + " out of range " +
                                                      std::to_string(lo) + "-" +
                                                      std::to_string(hi)));
  };
  check("major version", major, 1, 255);
  check("minor version", minor, 0, 255);
  check("build number", build, 0, 0x7FFF);
  Facts().Version = {major, minor, build, 0, {}};
}

const TWindowsVersion& EmulatedWindowsVersion() { return Facts().Version; }

bool EmulatedVersionAtLeast(DWORD major, DWORD minor) { return VersionAtLeast(major, minor); }

DWORD GetVersion() {
  const TWindowsVersion& v = Facts().Version;
  return (v.Major & 0xFF) | ((v.Minor & 0xFF) << 8) | ((v.Build & 0x7FFF) << 16);
}

BOOL GetVersionExW(OSVERSIONINFOW* info) {
  TFacts& s = Facts();
  if (!info || (info->dwOSVersionInfoSize != sizeof(OSVERSIONINFOW) &&
                info->dwOSVersionInfoSize != sizeof(OSVERSIONINFOEXW))) {
    s.LastError = ERROR_INVALID_PARAMETER;
    return false;
  }
  const TWindowsVersion& v = s.Version;
  info->dwMajorVersion = v.Major;
  info->dwMinorVersion = v.Minor;
  info->dwBuildNumber = v.Build;
  info->dwPlatformId = VER_PLATFORM_WIN32_NT;
  size_t n = std::min<size_t>(v.ServicePack.size(), 127);
  std::fill(std::begin(info->szCSDVersion), std::end(info->szCSDVersion), Char(0));
  std::copy_n(v.ServicePack.begin(), n, info->szCSDVersion);
  if (info->dwOSVersionInfoSize == sizeof(OSVERSIONINFOEXW)) {
    auto* ex = static_cast<OSVERSIONINFOEXW*>(info);
    ex->wServicePackMajor = v.ServicePackMajor;
    ex->wServicePackMinor = 0;
    ex->wSuiteMask = VER_SUITE_SINGLEUSERTS;
    ex->wProductType = VER_NT_WORKSTATION;
    ex->wReserved = 0;
  }
  return true;
}

int TOSVersion::Major() { return int(Facts().Version.Major); }
int TOSVersion::Minor() { return int(Facts().Version.Minor); }
int TOSVersion::Build() { return int(Facts().Version.Build); }
int TOSVersion::ServicePackMajor() { return Facts().Version.ServicePackMajor; }
bool TOSVersion::Check(int major, int minor) {
  return major >= 0 && minor >= 0 && VersionAtLeast(DWORD(major), DWORD(minor));
}

String TOSVersion::Name() {
  const TWindowsVersion& v = Facts().Version;
  if (v.Major == 10 && v.Minor == 0) return v.Build >= 22000 ? u"Windows 11" : u"Windows 10";
  if (v.Major == 6) {
    switch (v.Minor) {
      case 0: return u"Windows Vista";
      case 1: return u"Windows 7";
      case 2: return u"Windows 8";
      case 3: return u"Windows 8.1";
      default: break;
    }
  }
  if (v.Major == 5 && v.Minor == 1) return u"Windows XP";
  return u"Windows";
}

// ---- workstation ------------------------------------------------------------------------------

NET_API_STATUS NetWkstaGetInfo(const Char* serverName, DWORD level, BYTE** buffer) {
  TFacts& s = Facts();
  if (!buffer) return ERROR_INVALID_PARAMETER;
  *buffer = nullptr;
  if (serverName && *serverName) return ERROR_ACCESS_DENIED;  // no network here
  if (level != 100) return ERROR_INVALID_LEVEL;
  if (s.WkstaStatus != NERR_Success) return s.WkstaStatus;
  String computer = ComputerName();
  String group = u"WORKGROUP";
  // One block: the record, then both names with their terminating zeros.
  size_t chars = computer.size() + 1 + group.size() + 1;
  size_t bytes = sizeof(WKSTA_INFO_100) + chars * sizeof(Char);
  auto block = std::make_unique<Byte[]>(bytes);
  auto* info = new (block.get()) WKSTA_INFO_100;
  auto* text = reinterpret_cast<Char*>(block.get() + sizeof(WKSTA_INFO_100));
  info->wki100_platform_id = PLATFORM_ID_NT;
  info->wki100_computername = text;
  text = std::copy(computer.begin(), computer.end(), text);
  *text++ = 0;
  info->wki100_langroup = text;
  text = std::copy(group.begin(), group.end(), text);
  *text = 0;
  info->wki100_ver_major = s.Version.Major;
  info->wki100_ver_minor = s.Version.Minor;
  *buffer = block.get();
  s.NetBuffers.emplace(block.get(), std::move(block));
  return NERR_Success;
}

NET_API_STATUS NetApiBufferFree(void* buffer) {
  if (!buffer) return NERR_Success;
  return Facts().NetBuffers.erase(buffer) ? NERR_Success : ERROR_INVALID_PARAMETER;
}

void SetNetWkstaGetInfoStatus(NET_API_STATUS status) { Facts().WkstaStatus = status; }

// ---- themes and composition --------------------------------------------------------------------

bool ThemesEnabled() { return Facts().ThemesEnabled; }

void SetThemesEnabled(bool enabled) {
  TFacts& s = Facts();
  if (s.ThemesEnabled == enabled) return;
  s.ThemesEnabled = enabled;
  auto handlers = s.ThemesHandlers;  // handlers may add or remove handlers
  for (auto& [id, h] : handlers)
    if (h) h(!enabled);
}

int AddThemesChangedHandler(std::function<void(bool previous)> handler) {
  TFacts& s = Facts();
  int id = s.NextHandlerId++;
  s.ThemesHandlers.emplace(id, std::move(handler));
  return id;
}

void RemoveThemesChangedHandler(int id) { Facts().ThemesHandlers.erase(id); }

BOOL IsThemeActive() { return Facts().ThemesEnabled; }

bool DwmCompositionAvailable() { return Facts().Composition && VersionAtLeast(6, 0); }
void SetDwmCompositionAvailable(bool available) { Facts().Composition = available; }

// ---- modules ----------------------------------------------------------------------------------

DWORD GetLastError() { return Facts().LastError; }
void SetLastError(DWORD error) { Facts().LastError = error; }

HMODULE LoadLibraryW(const Char* fileName) {
  TFacts& s = Facts();
  TModuleEntry* m = fileName && *fileName ? FindModule(fileName) : nullptr;
  if (!m || !ModulePresent(*m)) {
    s.LastError = ERROR_MOD_NOT_FOUND;
    return nullptr;
  }
  ++m->RefCount;
  return m;
}

BOOL FreeLibrary(HMODULE module) {
  TModuleEntry* m = LoadedModule(module);
  if (!m) {
    Facts().LastError = ERROR_INVALID_HANDLE;
    return false;
  }
  --m->RefCount;
  return true;
}

HMODULE GetModuleHandleW(const Char* moduleName) {
  TModuleEntry* m = moduleName && *moduleName ? FindModule(moduleName) : nullptr;
  if (!m || m->RefCount == 0 || !ModulePresent(*m)) {
    Facts().LastError = ERROR_MOD_NOT_FOUND;
    return nullptr;
  }
  return m;
}

FARPROC GetProcAddress(HMODULE module, const char* procName) {
  const TFunctionEntry* f = LookupProc(module, procName);
  return f ? f->Proc : nullptr;
}

FARPROC detail::GetTypedProc(HMODULE module, const char* procName, const void* key) {
  const TFunctionEntry* f = LookupProc(module, procName);
  if (!f) return nullptr;
  if (f->Key != key)
    throw EInvalidOperation(u"GetProc: " + Utf8ToString(procName) +
                            u" was asked for with another signature than its own");
  return f->Proc;
}

void SetModuleAvailable(StringView moduleName, bool available) {
  TModuleEntry* m = FindModule(moduleName);
  if (!m) throw EArgumentException(u"Unknown system module \"" + String(moduleName) + u"\"");
  m->Available = available;
}

void SetFunctionAvailable(StringView moduleName, StringView functionName, bool available) {
  TModuleEntry* m = FindModule(moduleName);
  if (!m) throw EArgumentException(u"Unknown system module \"" + String(moduleName) + u"\"");
  TFunctionEntry* f = FindFunction(*m, functionName);
  if (!f)
    throw EArgumentException(u"Module \"" + m->Name + u"\" has no function \"" +
                             String(functionName) + u"\"");
  f->Available = available;
}

int LoadStringW(HINSTANCE module, UINT id, Char* buffer, int maxCount) {
  TFacts& s = Facts();
  TModuleEntry* m = LoadedModule(module);
  if (!buffer || maxCount < 0) {
    s.LastError = ERROR_INVALID_PARAMETER;
    return 0;
  }
  const String* found = nullptr;
  if (m) {
    auto it = m->Strings.find(id);
    if (it != m->Strings.end()) found = &it->second;
  }
  if (!found) {
    s.LastError = m ? ERROR_RESOURCE_NAME_NOT_FOUND : ERROR_INVALID_HANDLE;
    if (maxCount > 0) buffer[0] = 0;
    return 0;
  }
  const String& text = *found;
  if (maxCount == 0) {
    *reinterpret_cast<const Char**>(buffer) = text.c_str();
    return int(text.size());
  }
  int n = std::min<int>(int(text.size()), maxCount - 1);
  std::copy_n(text.begin(), n, buffer);
  buffer[n] = 0;
  return n;
}

void SetModuleString(StringView moduleName, UINT id, StringView text) {
  TModuleEntry* m = FindModule(moduleName);
  if (!m) throw EArgumentException(u"Unknown system module \"" + String(moduleName) + u"\"");
  if (text.empty())
    m->Strings.erase(id);
  else
    m->Strings[id] = String(text);
}

void ResetPlatformFacts() {
  TFacts& s = Facts();
  s.Version = TWindowsVersion{};
  s.WkstaStatus = NERR_Success;
  s.Composition = false;
  s.LastError = 0;
  for (auto& m : s.Modules) {
    m->Available = true;
    m->Strings.clear();
    for (TFunctionEntry& f : m->Functions) f.Available = true;
  }
  SetThemesEnabled(true);  // last: its handlers see the other defaults
}

}  // namespace vcl
