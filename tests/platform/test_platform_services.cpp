// Monitors and the DPI override, clipboard, URL opening, backend selection.
#include <gtest/gtest.h>

#include <cstdlib>

#include "PlatformTestUtil.h"

namespace vcl::platform {
namespace {

using test::Drain;

// Sets an environment variable for one scope.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value) : FName(name) {
    if (const char* old = std::getenv(name)) FOld = old, FHad = true;
    if (value)
      setenv(name, value, 1);
    else
      unsetenv(name);
  }
  ~ScopedEnv() {
    if (FHad)
      setenv(FName, FOld.c_str(), 1);
    else
      unsetenv(FName);
  }

 private:
  const char* FName;
  std::string FOld;
  bool FHad = false;
};

TEST(PlatformServices, MonitorsDefaultAndConfigured) {
  ScopedEnv noDpi("KX_DPI", nullptr);
  HeadlessBackend b;
  auto m = b.Monitors();
  ASSERT_EQ(m.size(), 1u);
  EXPECT_EQ(m[0].Bounds, Rect::FromSize(0, 0, 1920, 1080));
  EXPECT_EQ(m[0].WorkArea, Rect::FromSize(0, 0, 1920, 1040));
  EXPECT_EQ(m[0].Dpi, 96);
  EXPECT_TRUE(m[0].Primary);

  MonitorInfo left{Rect::FromSize(-1280, 0, 1280, 1024), Rect::FromSize(-1280, 0, 1280, 1000),
                   120, false, "left"};
  MonitorInfo main{Rect::FromSize(0, 0, 2560, 1440), Rect::FromSize(0, 40, 2560, 1400), 144,
                   true, "main"};
  b.SetMonitors({left, main});
  auto ev = Drain(b);
  ASSERT_EQ(ev.size(), 1u);
  EXPECT_EQ(ev[0].Type, EventType::DisplayChanged);
  m = b.Monitors();
  ASSERT_EQ(m.size(), 2u);
  EXPECT_EQ(m[0].Name, "main");  // primary first
  EXPECT_EQ(m[0].Dpi, 144);
  EXPECT_EQ(m[1].Dpi, 120);
  EXPECT_EQ(m[1].WorkArea.Bottom, 1000);

  // The virtual screen spans both monitors.
  PixelBuffer px = b.CaptureScreen();
  EXPECT_EQ(px.Left, -1280);
  EXPECT_EQ(px.Width, 1280 + 2560);
  EXPECT_EQ(px.Height, 1440);

  // Without a primary the first becomes primary; bad descriptions are refused.
  left.Primary = false;
  main.Primary = false;
  b.SetMonitors({left, main});
  EXPECT_EQ(b.Monitors()[0].Name, "left");
  MonitorInfo bad = main;
  bad.WorkArea = Rect::FromSize(0, 0, 3000, 100);
  EXPECT_THROW(b.SetMonitors({bad}), EPlatformError);
  bad = main;
  bad.Dpi = 20;
  EXPECT_THROW(b.SetMonitors({bad}), EPlatformError);
  left.Primary = main.Primary = true;
  EXPECT_THROW(b.SetMonitors({left, main}), EPlatformError);
  EXPECT_THROW(b.SetMonitors({}), EPlatformError);
  EXPECT_EQ(b.Monitors().size(), 2u);  // unchanged by the refused calls
}

TEST(PlatformServices, KxDpiOverridesEveryMonitor) {
  HeadlessBackend b;
  b.SetMonitors({MonitorInfo{Rect::FromSize(0, 0, 800, 600), Rect::FromSize(0, 0, 800, 560), 96,
                             true, "a"},
                 MonitorInfo{Rect::FromSize(800, 0, 800, 600), Rect::FromSize(800, 0, 800, 600),
                             120, false, "b"}});
  {
    ScopedEnv dpi("KX_DPI", "144");
    for (const MonitorInfo& m : b.Monitors()) EXPECT_EQ(m.Dpi, 144);
  }
  {
    ScopedEnv dpi("KX_DPI", "");
    EXPECT_EQ(b.Monitors()[1].Dpi, 120);
  }
  for (const char* wrong : {"abc", "144dpi", "12", "100000"}) {
    ScopedEnv dpi("KX_DPI", wrong);
    try {
      b.Monitors();
      ADD_FAILURE() << "KX_DPI=" << wrong << " accepted";
    } catch (const EPlatformError& e) {
      EXPECT_NE(std::string(e.what()).find("KX_DPI"), std::string::npos);
      EXPECT_NE(std::string(e.what()).find(wrong), std::string::npos);
    }
  }
}

TEST(PlatformServices, ClipboardAndUrls) {
  HeadlessBackend b;
  EXPECT_FALSE(b.HasClipboardText());
  EXPECT_EQ(b.ClipboardText(), "");
  b.SetClipboardText("caf\xC3\xA9\nline 2");
  EXPECT_TRUE(b.HasClipboardText());
  EXPECT_EQ(b.ClipboardText(), "caf\xC3\xA9\nline 2");

  EXPECT_TRUE(b.OpenUrl("https://example.com/a?b=c; touch x"));
  EXPECT_TRUE(b.OpenUrl("/home/user/My File.pdf"));
  // Never handed to a handler: option-like, empty, or with control characters.
  EXPECT_FALSE(b.OpenUrl("--help"));
  EXPECT_FALSE(b.OpenUrl(""));
  EXPECT_FALSE(b.OpenUrl("http://x/\n--version"));
  EXPECT_EQ(b.OpenedUrls(),
            (std::vector<std::string>{"https://example.com/a?b=c; touch x", "/home/user/My File.pdf"}));
  b.Beep();
  EXPECT_EQ(b.BeepCount(), 1);
}

TEST(PlatformServices, BackendSelectionAndCurrentBackend) {
  {
    ScopedEnv kind("KX_BACKEND", "headless");
    EXPECT_STREQ(CreateDefaultBackend()->Name(), "headless");
  }
  {
    ScopedEnv kind("KX_BACKEND", "directfb");
    try {
      CreateDefaultBackend();
      ADD_FAILURE() << "unknown backend accepted";
    } catch (const EPlatformError& e) {
      EXPECT_NE(std::string(e.what()).find("directfb"), std::string::npos);
    }
  }
  {
    // No display and no driver: the virtual screen.
    ScopedEnv kind("KX_BACKEND", nullptr);
    ScopedEnv driver("SDL_VIDEODRIVER", nullptr);
    ScopedEnv display("DISPLAY", nullptr);
    ScopedEnv wayland("WAYLAND_DISPLAY", nullptr);
    EXPECT_STREQ(CreateDefaultBackend()->Name(), "headless");
  }

  SetCurrentBackend(nullptr);
  EXPECT_FALSE(HasCurrentBackend());
  Backend& created = CurrentBackend();  // KX_BACKEND=headless from the test main
  EXPECT_STREQ(created.Name(), "headless");
  EXPECT_EQ(&CurrentBackend(), &created);
  auto mine = std::make_unique<HeadlessBackend>();
  HeadlessBackend* raw = mine.get();
  SetCurrentBackend(std::move(mine));
  EXPECT_EQ(&CurrentBackend(), raw);
  SetCurrentBackend(nullptr);
}

}  // namespace
}  // namespace vcl::platform
