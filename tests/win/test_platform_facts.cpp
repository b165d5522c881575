// The emulated system's facts: versions as GetVersion, GetVersionExW, the run-time record and the
// workstation information report them; optional modules and functions found by name; themes
// and composition switches and what the composition functions answer.
#include <gtest/gtest.h>

#include "host/rtl/SysUtils.h"
#include "host/win/BufferedPaint.h"
#include "host/win/PlatformFacts.h"
#include "tests/win/WinTestUtil.h"

using namespace vcl;
using namespace vcl::wintest;

namespace {

struct PlatformFacts : WinTest {
  void TearDown() override {
    WinTest::TearDown();
    ResetPlatformFacts();
  }
};

struct TExpected {
  TWindowsRelease Release;
  DWORD Major, Minor, Build;
  WORD ServicePack;
  const char16_t* Name;
};

const TExpected kReleases[] = {
    {wrWindowsXP, 5, 1, 2600, 3, u"Windows XP"},
    {wrWindowsVista, 6, 0, 6002, 2, u"Windows Vista"},
    {wrWindows7, 6, 1, 7601, 1, u"Windows 7"},
    {wrWindows8, 6, 2, 9200, 0, u"Windows 8"},
    {wrWindows81, 6, 3, 9600, 0, u"Windows 8.1"},
    {wrWindows10, 10, 0, 19045, 0, u"Windows 10"},
    {wrWindows11, 10, 0, 22631, 0, u"Windows 11"},
};

}  // namespace

TEST_F(PlatformFacts, EveryPresetReportsTheSameVersionThroughEveryCall) {
  for (const TExpected& e : kReleases) {
    SCOPED_TRACE(StringToUtf8(e.Name));
    SetEmulatedWindowsVersion(e.Release);
    DWORD v = GetVersion();
    EXPECT_EQ(v & 0xFF, e.Major);
    EXPECT_EQ((v >> 8) & 0xFF, e.Minor);
    EXPECT_EQ(v >> 16, e.Build);
    EXPECT_EQ(v & 0x80000000u, 0u);

    OSVERSIONINFOW plain;
    ASSERT_TRUE(GetVersionExW(&plain));
    EXPECT_EQ(plain.dwMajorVersion, e.Major);
    EXPECT_EQ(plain.dwMinorVersion, e.Minor);
    EXPECT_EQ(plain.dwBuildNumber, e.Build);
    EXPECT_EQ(plain.dwPlatformId, VER_PLATFORM_WIN32_NT);
    EXPECT_EQ(String(plain.szCSDVersion).empty(), e.ServicePack == 0);

    OSVERSIONINFOEXW ex;
    ASSERT_EQ(ex.dwOSVersionInfoSize, 284u);
    ASSERT_TRUE(GetVersionExW(&ex));
    EXPECT_EQ(ex.dwBuildNumber, e.Build);
    EXPECT_EQ(ex.wServicePackMajor, e.ServicePack);
    EXPECT_EQ(ex.wProductType, VER_NT_WORKSTATION);

    EXPECT_EQ(TOSVersion::Major(), int(e.Major));
    EXPECT_EQ(TOSVersion::Minor(), int(e.Minor));
    EXPECT_EQ(TOSVersion::Build(), int(e.Build));
    EXPECT_EQ(TOSVersion::Name(), e.Name);
    EXPECT_TRUE(TOSVersion::Check(int(e.Major), int(e.Minor)));
    EXPECT_FALSE(TOSVersion::Check(int(e.Major), int(e.Minor) + 1));

    BYTE* buffer = nullptr;
    ASSERT_EQ(NetWkstaGetInfo(nullptr, 100, &buffer), NERR_Success);
    auto* info = reinterpret_cast<WKSTA_INFO_100*>(buffer);
    EXPECT_EQ(info->wki100_ver_major, e.Major);
    EXPECT_EQ(info->wki100_ver_minor, e.Minor);
    EXPECT_EQ(info->wki100_platform_id, PLATFORM_ID_NT);
    EXPECT_FALSE(String(info->wki100_computername).empty());
    EXPECT_EQ(NetApiBufferFree(buffer), NERR_Success);
  }
  // The default is Windows 10, build 19045.
  ResetPlatformFacts();
  EXPECT_EQ(GetVersion(), 10u | (19045u << 16));
}

TEST_F(PlatformFacts, AnyBuildAndItsLimits) {
  SetEmulatedWindowsVersion(10, 0, 17134);
  EXPECT_EQ(GetVersion() >> 16, 17134u);
  EXPECT_EQ(TOSVersion::Name(), u"Windows 10");
  SetEmulatedWindowsVersion(10, 0, 22000);
  EXPECT_EQ(TOSVersion::Name(), u"Windows 11");
  // A build GetVersion's high word cannot hold (bit 31 would be set) is refused by name.
  try {
    SetEmulatedWindowsVersion(10, 0, 40000);
    FAIL() << "no exception";
  } catch (const EArgumentOutOfRangeException& e) {
    EXPECT_NE(std::string(e.what()).find("build number 40000"), std::string::npos) << e.what();
  }
  EXPECT_THROW(SetEmulatedWindowsVersion(6, 256, 0), EArgumentOutOfRangeException);
  EXPECT_EQ(GetVersion() >> 16, 22000u);  // unchanged by the refused calls
}

TEST_F(PlatformFacts, VersionRecordsOfAWrongSizeAreRefusedUntouched) {
  OSVERSIONINFOEXW ex;
  ex.dwOSVersionInfoSize = 280;
  ex.dwMajorVersion = 77;
  SetLastError(0);
  EXPECT_FALSE(GetVersionExW(&ex));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(ex.dwMajorVersion, 77u);
  // The plain record is filled without writing past it.
  struct {
    OSVERSIONINFOW info;
    DWORD guard = 0xDEADBEEF;
  } plain;
  ASSERT_TRUE(GetVersionExW(&plain.info));
  EXPECT_EQ(plain.guard, 0xDEADBEEFu);
}

TEST_F(PlatformFacts, WorkstationInformationFailures) {
  BYTE* buffer = reinterpret_cast<BYTE*>(this);
  EXPECT_EQ(NetWkstaGetInfo(nullptr, 101, &buffer), ERROR_INVALID_LEVEL);
  EXPECT_EQ(buffer, nullptr);
  SetNetWkstaGetInfoStatus(ERROR_ACCESS_DENIED);
  EXPECT_EQ(NetWkstaGetInfo(u"", 100, &buffer), ERROR_ACCESS_DENIED);
  SetNetWkstaGetInfoStatus(NERR_Success);
  ASSERT_EQ(NetWkstaGetInfo(u"", 100, &buffer), NERR_Success);
  EXPECT_EQ(NetApiBufferFree(buffer), NERR_Success);
  // A buffer freed twice is refused instead of corrupting memory.
  EXPECT_EQ(NetApiBufferFree(buffer), ERROR_INVALID_PARAMETER);
}

TEST_F(PlatformFacts, ModulesAreFoundByNameAndCounted) {
  HMODULE a = LoadLibraryW(u"UXTHEME.DLL");
  HMODULE b = LoadLibraryW(u"C:\\Windows\\System32\\uxtheme");
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(a, b);
  EXPECT_EQ(GetModuleHandleW(u"uxtheme.dll"), a);
  SetLastError(0);
  EXPECT_EQ(LoadLibraryW(u"compstui.dll"), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_MOD_NOT_FOUND);
  EXPECT_EQ(LoadLibraryW(nullptr), nullptr);

  // Names of functions compare exactly; unknown ones and ordinals give nothing.
  EXPECT_NE(GetProcAddress(a, "BeginBufferedAnimation"), nullptr);
  SetLastError(0);
  EXPECT_EQ(GetProcAddress(a, "beginbufferedanimation"), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_PROC_NOT_FOUND);
  EXPECT_EQ(GetProcAddress(a, reinterpret_cast<const char*>(std::uintptr_t(5))), nullptr);

  // Two references: the module works until both are released.
  EXPECT_TRUE(FreeLibrary(a));
  EXPECT_NE(GetProcAddress(a, "IsThemeActive"), nullptr);
  EXPECT_TRUE(FreeLibrary(b));
  EXPECT_EQ(GetProcAddress(a, "IsThemeActive"), nullptr);
  EXPECT_EQ(GetModuleHandleW(u"uxtheme.dll"), nullptr);
  int notAModule = 0;
  EXPECT_FALSE(FreeLibrary(&notAModule));
}

TEST_F(PlatformFacts, FunctionsCalledThroughTheirPointersAreOurs) {
  HMODULE dwm = LoadLibraryW(u"dwmapi.dll");
  ASSERT_NE(dwm, nullptr);
  auto* isEnabled = reinterpret_cast<HRESULT (*)(BOOL*)>(GetProcAddress(dwm, "DwmIsCompositionEnabled"));
  ASSERT_NE(isEnabled, nullptr);
  BOOL on = true;
  EXPECT_EQ(isEnabled(&on), S_OK);
  EXPECT_FALSE(on);  // composition is absent by default
  SetDwmCompositionAvailable(true);
  EXPECT_EQ(isEnabled(&on), S_OK);
  EXPECT_TRUE(on);
  // The checked lookup agrees, and refuses a signature that is not the function's.
  EXPECT_EQ(GetProc<decltype(DwmIsCompositionEnabled)>(dwm, "DwmIsCompositionEnabled"), isEnabled);
  EXPECT_EQ(GetProc<decltype(DwmIsCompositionEnabled)>(dwm, "NoSuchFunction"), nullptr);
  try {
    GetProc<BOOL(HWND)>(dwm, "DwmIsCompositionEnabled");
    FAIL() << "no exception";
  } catch (const EInvalidOperation& e) {
    EXPECT_NE(std::string(e.what()).find("DwmIsCompositionEnabled"), std::string::npos);
  }
  FreeLibrary(dwm);
}

TEST_F(PlatformFacts, SwitchedOffAndOlderSystemsLackWhatTheyLack) {
  SetModuleAvailable(u"dwmapi", false);
  EXPECT_EQ(LoadLibraryW(u"dwmapi.dll"), nullptr);
  SetModuleAvailable(u"dwmapi.dll", true);
  HMODULE dwm = LoadLibraryW(u"dwmapi.dll");
  ASSERT_NE(dwm, nullptr);
  SetFunctionAvailable(u"dwmapi.dll", u"DwmSetWindowAttribute", false);
  EXPECT_EQ(GetProcAddress(dwm, "DwmSetWindowAttribute"), nullptr);
  // A module switched off while loaded gives no more functions.
  SetModuleAvailable(u"dwmapi.dll", false);
  EXPECT_EQ(GetProcAddress(dwm, "DwmExtendFrameIntoClientArea"), nullptr);
  FreeLibrary(dwm);
  ResetPlatformFacts();

  // Windows XP: no dwmapi, no buffered animation, but the theme query.
  SetEmulatedWindowsVersion(wrWindowsXP);
  EXPECT_EQ(LoadLibraryW(u"dwmapi.dll"), nullptr);
  HMODULE ux = LoadLibraryW(u"uxtheme.dll");
  ASSERT_NE(ux, nullptr);
  EXPECT_EQ(GetProcAddress(ux, "BeginBufferedAnimation"), nullptr);
  EXPECT_NE(GetProcAddress(ux, "IsThemeActive"), nullptr);
  // Vista: buffered animation, but no window composition attributes before Windows 7.
  SetEmulatedWindowsVersion(wrWindowsVista);
  EXPECT_NE(GetProcAddress(ux, "BeginBufferedAnimation"), nullptr);
  HMODULE user = LoadLibraryW(u"user32.dll");
  EXPECT_EQ(GetProcAddress(user, "SetWindowCompositionAttribute"), nullptr);
  SetEmulatedWindowsVersion(wrWindows7);
  EXPECT_NE(GetProcAddress(user, "SetWindowCompositionAttribute"), nullptr);
  FreeLibrary(user);
  FreeLibrary(ux);

  // Unknown names are errors that say which name.
  try {
    SetModuleAvailable(u"nosuch.dll", false);
    FAIL() << "no exception";
  } catch (const EArgumentException& e) {
    EXPECT_NE(std::string(e.what()).find("nosuch.dll"), std::string::npos);
  }
  EXPECT_THROW(SetFunctionAvailable(u"uxtheme.dll", u"DrawThemeText", false), EArgumentException);
}

TEST_F(PlatformFacts, ModuleStrings) {
  HMODULE user = LoadLibraryW(u"user32.dll");
  Char buf[8];
  EXPECT_EQ(LoadStringW(user, 800, buf, 8), 0);  // no strings unless given
  SetModuleString(u"user32.dll", 800, u"&Abbrechen");
  EXPECT_EQ(LoadStringW(user, 800, buf, 8), 7);  // cut to the buffer, terminated
  EXPECT_EQ(String(buf), u"&Abbrec");
  FreeLibrary(user);
  EXPECT_EQ(LoadStringW(user, 800, buf, 8), 0);  // a released module has none
}

TEST_F(PlatformFacts, CompositionFunctionsAnswerFromTheFacts) {
  HWND w = MakeWindow(WS_POPUP, TRect(10, 20, 110, 80));
  MARGINS m{0, 0, 1, 0};
  DWORD round = DWMWCP_DONOTROUND;
  EXPECT_EQ(DwmExtendFrameIntoClientArea(w, &m), DWM_E_COMPOSITIONDISABLED);
  EXPECT_EQ(DwmSetWindowAttribute(w, DWMWA_WINDOW_CORNER_PREFERENCE, &round, 4),
            DWM_E_COMPOSITIONDISABLED);
  MARGINS got{9, 9, 9, 9};
  ASSERT_TRUE(GetWindowFrameExtension(w, &got));
  EXPECT_EQ(got.cyTopHeight, 0);

  SetDwmCompositionAvailable(true);
  EXPECT_EQ(DwmExtendFrameIntoClientArea(w, &m), S_OK);
  ASSERT_TRUE(GetWindowFrameExtension(w, &got));
  EXPECT_EQ(got.cyTopHeight, 1);
  // The corner preference exists from Windows 11 on.
  EXPECT_EQ(DwmSetWindowAttribute(w, DWMWA_WINDOW_CORNER_PREFERENCE, &round, 4), E_INVALIDARG);
  SetEmulatedWindowsVersion(wrWindows11);
  EXPECT_EQ(DwmSetWindowAttribute(w, DWMWA_WINDOW_CORNER_PREFERENCE, &round, 4), S_OK);
  DWORD read = 77;
  EXPECT_EQ(DwmGetWindowAttribute(w, DWMWA_WINDOW_CORNER_PREFERENCE, &read, 4), S_OK);
  EXPECT_EQ(read, DWMWCP_DONOTROUND);
  TRect bounds;
  EXPECT_EQ(DwmGetWindowAttribute(w, DWMWA_EXTENDED_FRAME_BOUNDS, &bounds, sizeof bounds), S_OK);
  EXPECT_EQ(bounds, TRect(10, 20, 110, 80));
  // A freed window's records go with it.
  DestroyWindow(w);
  EXPECT_EQ(DwmExtendFrameIntoClientArea(w, &m), E_HANDLE);
  EXPECT_FALSE(GetWindowFrameExtension(w, &got));
  HWND again = MakeWindow(WS_POPUP, TRect(0, 0, 10, 10));
  EXPECT_EQ(DwmGetWindowAttribute(again, DWMWA_WINDOW_CORNER_PREFERENCE, &read, 4), S_OK);
  EXPECT_EQ(read, DWMWCP_DEFAULT);
}

TEST_F(PlatformFacts, AccentPolicyIsRecordedPerWindow) {
  HWND w = MakeWindow(WS_POPUP, TRect(0, 0, 50, 50));
  ACCENT_POLICY accent{ACCENT_ENABLE_ACRYLICBLURBEHIND, 480, 0x64F0F0F0, 0};
  WINDOWCOMPOSITIONATTRIBDATA data{WCA_ACCENT_POLICY, &accent, sizeof accent};
  EXPECT_TRUE(SetWindowCompositionAttribute(w, &data));
  ACCENT_POLICY back;
  WINDOWCOMPOSITIONATTRIBDATA query{WCA_ACCENT_POLICY, &back, sizeof back};
  ASSERT_TRUE(GetWindowCompositionAttribute(w, &query));
  EXPECT_EQ(back.AccentState, ACCENT_ENABLE_ACRYLICBLURBEHIND);
  EXPECT_EQ(back.AccentFlags, 480u);
  EXPECT_EQ(back.GradientColor, 0x64F0F0F0u);
  // A record too small, or no window: refused.
  data.cbData = 8;
  EXPECT_FALSE(SetWindowCompositionAttribute(w, &data));
  EXPECT_FALSE(SetWindowCompositionAttribute(nullptr, &data));
}
