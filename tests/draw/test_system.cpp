// The version read at start-up, desktop composition, and unique component names.
#include <gtest/gtest.h>

#include "draw/kxSystem.h"
#include "host/classes/Component.h"
#include "host/win/PlatformFacts.h"

using namespace vcl;
using namespace kx;

namespace {

struct SystemTest : ::testing::Test {
  void TearDown() override { FinalizeDrawUtils(); }
};

DWORD PackedVersion(int major, int minor) { return DWORD(major) | DWORD(minor) << 8; }

bool GComposition = true;
std::int32_t FakeComposition(BOOL* enabled) {
  *enabled = GComposition;
  return 0;
}
std::int32_t FailingComposition(BOOL* enabled) {
  *enabled = true;
  return std::int32_t(0x80263001u);
}

}  // namespace

TEST_F(SystemTest, VersionThresholds) {
  SetWindowsVersion(10, 0, 17134);
  EXPECT_TRUE(IsWindows10());
  EXPECT_FALSE(IsWindows11());
  EXPECT_EQ(WindowsBuildNumber(), 17134);
  SetWindowsVersion(10, 0, 21999);
  EXPECT_FALSE(IsWindows11());
  SetWindowsVersion(10, 0, 22000);
  EXPECT_TRUE(IsWindows10());
  EXPECT_TRUE(IsWindows11());
  for (auto [minor, is8] : {std::pair{1, false}, {2, true}, {3, true}, {4, false}}) {
    SetWindowsVersion(6, minor, 9200);
    EXPECT_EQ(IsWindows8(), is8) << minor;
    EXPECT_EQ(IsWindows7(), minor == 1);
    EXPECT_FALSE(IsWindows10());
    EXPECT_EQ(WindowsBuildNumber(), 0);  // counted from Windows 10 on only
  }
  SetWindowsVersion(5, 1, 2600);
  EXPECT_TRUE(IsWindowsXP());
  EXPECT_FALSE(IsWindows7());
  SetWindowsVersion(5, 2, 0);
  EXPECT_FALSE(IsWindowsXP());
  FinalizeDrawUtils();
  EXPECT_FALSE(IsWindows10() || IsWindows8() || IsWindows7() || IsWindowsXP());
}

TEST_F(SystemTest, StartUpReadsTheRealVersionBehindTheCompatibilityAnswer) {
  TkxSystemFacts f;
  // Told 6.2, the workstation knows better; the run-time has no build, the record has.
  f.Version = PackedVersion(6, 2);
  f.HasWorkstationVersion = true;
  f.WorkstationMajor = 10;
  f.WorkstationMinor = 0;
  f.VersionExBuild = 22631;
  InitializeDrawUtils(f);
  EXPECT_EQ(WindowsMajorVersion(), 10);
  EXPECT_TRUE(IsWindows11());
  // The run-time's build wins when it has one.
  f.RuntimeBuild = 19045;
  InitializeDrawUtils(f);
  EXPECT_FALSE(IsWindows11());
  EXPECT_EQ(WindowsBuildNumber(), 19045);
  // Without the workstation's answer the reported 6.2 stands.
  f.HasWorkstationVersion = false;
  InitializeDrawUtils(f);
  EXPECT_TRUE(IsWindows8());
  EXPECT_EQ(WindowsBuildNumber(), 0);
  // Up to 6.1 the workstation is not asked.
  f.Version = PackedVersion(6, 1);
  f.HasWorkstationVersion = true;
  InitializeDrawUtils(f);
  EXPECT_TRUE(IsWindows7());
}

TEST_F(SystemTest, CompositionNeedsVistaAndAWorkingFunction) {
  TkxSystemFacts f;
  f.Version = PackedVersion(10, 0);
  InitializeDrawUtils(f);
  EXPECT_FALSE(IsDwmCompositionEnabled());  // the function was not found
  f.DwmIsCompositionEnabled = &FakeComposition;
  InitializeDrawUtils(f);
  GComposition = true;
  EXPECT_TRUE(IsDwmCompositionEnabled());
  GComposition = false;
  EXPECT_FALSE(IsDwmCompositionEnabled());
  GComposition = true;
  f.Version = PackedVersion(5, 1);
  InitializeDrawUtils(f);
  EXPECT_FALSE(IsDwmCompositionEnabled());
  f.Version = PackedVersion(6, 0);
  f.DwmIsCompositionEnabled = &FailingComposition;
  InitializeDrawUtils(f);
  EXPECT_FALSE(IsDwmCompositionEnabled());
  FinalizeDrawUtils();
  EXPECT_FALSE(IsDwmCompositionEnabled());
}

TEST(UniqueComponentName, FirstNumberTheOwnerDoesNotUse) {
  const char16_t* fmt = u"kxAdvancedPagerPage%d";
  EXPECT_EQ(UniqueComponentName(fmt, nullptr), u"kxAdvancedPagerPage1");
  TComponent owner(nullptr);
  EXPECT_EQ(UniqueComponentName(fmt, &owner), u"kxAdvancedPagerPage1");
  (new TComponent(&owner))->SetName(u"kxAdvancedPagerPage1");
  (new TComponent(&owner))->SetName(u"KXADVANCEDPAGERPAGE2");  // names ignore case
  (new TComponent(&owner))->SetName(u"kxAdvancedPagerPage4");
  EXPECT_EQ(UniqueComponentName(fmt, &owner), u"kxAdvancedPagerPage3");
  (new TComponent(&owner))->SetName(u"kxAdvancedPagerPage3");
  EXPECT_EQ(UniqueComponentName(fmt, &owner), u"kxAdvancedPagerPage5");
  // A format that ignores the number cannot give a free name: refused, not looped over.
  EXPECT_EQ(UniqueComponentName(u"Page", &owner), u"Page");
  (new TComponent(&owner))->SetName(u"Page");
  EXPECT_THROW(UniqueComponentName(u"Page", &owner), EArgumentException);
  EXPECT_THROW(UniqueComponentName(u"Page%s", &owner), EConvertError);
}

namespace {

struct StartUpTest : ::testing::Test {
  void TearDown() override {
    FinalizeDrawUtils();
    ResetPlatformFacts();
  }
};

}  // namespace

TEST_F(StartUpTest, TheEmulatedVersionPicksEachVersionTest) {
  struct {
    TWindowsRelease Release;
    bool Xp, Seven, Eight, Ten, Eleven;
    int Build;
  } cases[] = {
      {wrWindowsXP, true, false, false, false, false, 0},
      {wrWindowsVista, false, false, false, false, false, 0},
      {wrWindows7, false, true, false, false, false, 0},
      {wrWindows8, false, false, true, false, false, 0},
      {wrWindows81, false, false, true, false, false, 0},
      {wrWindows10, false, false, false, true, false, 19045},
      {wrWindows11, false, false, false, true, true, 22631},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(int(c.Release));
    SetEmulatedWindowsVersion(c.Release);
    InitializeDrawUtils();
    EXPECT_EQ(IsWindowsXP(), c.Xp);
    EXPECT_EQ(IsWindows7(), c.Seven);
    EXPECT_EQ(IsWindows8(), c.Eight);
    EXPECT_EQ(IsWindows10(), c.Ten);
    EXPECT_EQ(IsWindows11(), c.Eleven);
    EXPECT_EQ(WindowsBuildNumber(), c.Build);
    // Buffered animation from Vista on; composition stays off unless switched on.
    EXPECT_EQ(IsBufferedAnimationAvailable(), c.Release != wrWindowsXP);
    EXPECT_EQ(SystemFacts().DwmIsCompositionEnabled == nullptr, c.Release == wrWindowsXP);
    EXPECT_FALSE(IsDwmCompositionEnabled());
    FinalizeDrawUtils();
  }
  // Any build: 17134 is Windows 10, not 11.
  SetEmulatedWindowsVersion(10, 0, 17134);
  InitializeDrawUtils();
  EXPECT_TRUE(IsWindows10());
  EXPECT_FALSE(IsWindows11());
  EXPECT_EQ(WindowsBuildNumber(), 17134);
}

TEST_F(StartUpTest, MissingPiecesSwitchFeaturesOff) {
  // A failing workstation query leaves what GetVersion reported.
  SetEmulatedWindowsVersion(wrWindows81);
  SetNetWkstaGetInfoStatus(ERROR_ACCESS_DENIED);
  TkxSystemFacts f = ReadSystemFacts();
  EXPECT_FALSE(f.HasWorkstationVersion);
  InitializeDrawUtils(f);
  EXPECT_TRUE(IsWindows8());
  FinalizeDrawUtils();
  ResetPlatformFacts();

  // Composition on: reported through the function found at start-up.
  SetDwmCompositionAvailable(true);
  InitializeDrawUtils();
  EXPECT_TRUE(IsDwmCompositionEnabled());
  EXPECT_NE(SystemFacts().DwmExtendFrameIntoClientArea, nullptr);
  EXPECT_NE(SystemFacts().SetWindowCompositionAttribute, nullptr);
  FinalizeDrawUtils();

  // Without the module, or without the one function, the feature is off.
  SetModuleAvailable(u"dwmapi.dll", false);
  InitializeDrawUtils();
  EXPECT_FALSE(IsDwmCompositionEnabled());
  EXPECT_EQ(SystemFacts().DwmSetWindowAttribute, nullptr);
  FinalizeDrawUtils();
  SetModuleAvailable(u"dwmapi.dll", true);
  SetFunctionAvailable(u"uxtheme.dll", u"BufferedPaintStopAllAnimations", false);
  InitializeDrawUtils();
  EXPECT_NE(SystemFacts().BeginBufferedAnimation, nullptr);
  EXPECT_FALSE(IsBufferedAnimationAvailable());
  EXPECT_TRUE(IsDwmCompositionEnabled());
  // Finalising releases the modules start-up loaded.
  ASSERT_NE(GetModuleHandleW(u"uxtheme.dll"), nullptr);
  FinalizeDrawUtils();
  EXPECT_EQ(GetModuleHandleW(u"uxtheme.dll"), nullptr);
  EXPECT_EQ(GetModuleHandleW(u"dwmapi.dll"), nullptr);
  EXPECT_EQ(SystemFacts().BeginBufferedAnimation, nullptr);
}
