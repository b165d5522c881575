// The SDL backend under SDL's dummy video driver: windows, framebuffers, event translation,
// and the URL handler's argument vector.
#include <gtest/gtest.h>

#include <SDL2/SDL.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>

#include "PlatformTestUtil.h"
#include "host/platform/VirtualKeys.h"
#include "host/platform/sdl/SdlBackend.h"

namespace vcl::platform {
namespace {

using test::Drain;
using test::Fill;
using test::OfType;

std::unique_ptr<SdlBackend> StartSdl() {
  try {
    return std::make_unique<SdlBackend>();
  } catch (const EPlatformError& e) {
    std::cerr << "SDL unavailable: " << e.what() << "\n";
    return nullptr;
  }
}

std::uint32_t FramebufferPixel(SDL_Window* w, int x, int y) {
  SDL_Surface* fb = SDL_GetWindowSurface(w);
  return static_cast<std::uint32_t*>(fb->pixels)[size_t(y) * (fb->pitch / 4) + size_t(x)] &
         0xFFFFFF;
}

void Push(SDL_Event ev) { ASSERT_EQ(SDL_PushEvent(&ev), 1) << SDL_GetError(); }

SDL_Event Key(SDL_Scancode sc, SDL_Keycode sym, Uint16 mod, bool down = true) {
  SDL_Event ev{};
  ev.type = down ? SDL_KEYDOWN : SDL_KEYUP;
  ev.key.state = down ? SDL_PRESSED : SDL_RELEASED;
  ev.key.keysym.scancode = sc;
  ev.key.keysym.sym = sym;
  ev.key.keysym.mod = mod;
  return ev;
}

TEST(PlatformSdl, SurfacePresentAndResize) {
  auto b = StartSdl();
  if (!b) GTEST_SKIP() << "SDL video cannot start here";
  SurfaceParams p;
  p.Bounds = Rect::FromSize(30, 40, 100, 80);
  p.Title = "Main";
  SurfaceId s = b->CreateSurface(p);
  EXPECT_EQ(cairo_image_surface_get_width(b->BackBuffer(s)), 100);
  Fill(*b, s, 0x336699);
  b->Present(s);
  b->Show(s);
  SDL_Window* w = b->NativeWindow(s);
  EXPECT_EQ(FramebufferPixel(w, 99, 79), 0x336699u);

  // A partial present copies only its area.
  Fill(*b, s, 0xAA0000);
  Rect part = Rect::FromSize(0, 0, 10, 10);
  b->Present(s, std::span<const Rect>(&part, 1));
  EXPECT_EQ(FramebufferPixel(w, 5, 5), 0xAA0000u);
  EXPECT_EQ(FramebufferPixel(w, 50, 50), 0x336699u);

  // After a resize the new framebuffer is filled completely on the next present.
  b->SetBounds(s, Rect::FromSize(30, 40, 160, 90));
  EXPECT_EQ(cairo_image_surface_get_width(b->BackBuffer(s)), 160);
  int ww = 0, wh = 0;
  SDL_GetWindowSize(w, &ww, &wh);
  EXPECT_EQ(ww, 160);
  EXPECT_EQ(wh, 90);
  b->Present(s, std::span<const Rect>(&part, 1));
  EXPECT_EQ(FramebufferPixel(w, 50, 50), 0xAA0000u);
  EXPECT_EQ(FramebufferPixel(w, 159, 89), 0u);  // new area of the back buffer: black

  // Our own changes are not reported back as system moves or resizes.
  b->SetBounds(s, Rect::FromSize(10, 10, 120, 60));
  auto ev = Drain(*b);
  EXPECT_TRUE(OfType(ev, EventType::Resized).empty());
  EXPECT_TRUE(OfType(ev, EventType::Moved).empty());

  SurfaceId pop = test::MakeSurface(*b, Rect::FromSize(0, 0, 0, 0), SurfaceKind::Popup);
  b->Present(pop);
  b->SetCursor(s, CursorShape::IBeam);
  b->SetOpacity(s, 200);
  b->SetTitle(s, "Renamed");
  EXPECT_EQ(std::string(SDL_GetWindowTitle(w)), "Renamed");
  b->DestroySurface(pop);

  auto mon = b->Monitors();
  ASSERT_FALSE(mon.empty());
  EXPECT_TRUE(mon[0].Primary);
  EXPECT_GE(mon[0].Dpi, 48);

  b->SetClipboardText("clip \xE2\x82\xAC");
  EXPECT_EQ(b->ClipboardText(), "clip \xE2\x82\xAC");
}

TEST(PlatformSdl, TranslatesSdlEvents) {
  auto b = StartSdl();
  if (!b) GTEST_SKIP() << "SDL video cannot start here";
  SurfaceId s = test::MakeSurface(*b, Rect::FromSize(100, 50, 200, 100));
  Uint32 id = SDL_GetWindowID(b->NativeWindow(s));
  b->Activate(s);
  Drain(*b);

  // A German layout: the key at the US 'Z' position types 'y' and is VK_Y.
  Push(Key(SDL_SCANCODE_Z, SDLK_y, KMOD_NUM));
  // The keypad follows NumLock.
  Push(Key(SDL_SCANCODE_KP_1, SDLK_KP_1, KMOD_NONE));
  Push(Key(SDL_SCANCODE_KP_1, SDLK_KP_1, KMOD_NUM));
  Push(Key(SDL_SCANCODE_KP_ENTER, SDLK_KP_ENTER, KMOD_NUM));
  auto keys = OfType(Drain(*b), EventType::KeyDown);
  ASSERT_EQ(keys.size(), 4u);
  EXPECT_EQ(keys[0].VirtualKey, VK_Y);
  EXPECT_EQ(keys[0].ScanCode, 0x2C);
  EXPECT_EQ(keys[0].Surface, s);
  EXPECT_EQ(keys[1].VirtualKey, VK_END);
  EXPECT_FALSE(keys[1].Extended);
  EXPECT_EQ(keys[2].VirtualKey, VK_NUMPAD1);
  EXPECT_EQ(keys[3].VirtualKey, VK_RETURN);
  EXPECT_TRUE(keys[3].Extended);

  // Text: typed characters pass; what Ctrl+key "types" is replaced by the control character.
  SDL_Event text{};
  text.type = SDL_TEXTINPUT;
  text.text.windowID = id;
  std::strcpy(text.text.text, "\xC3\xA9");
  Push(text);
  Push(Key(SDL_SCANCODE_LCTRL, SDLK_LCTRL, KMOD_LCTRL));
  Push(Key(SDL_SCANCODE_1, SDLK_1, KMOD_LCTRL));
  std::strcpy(text.text.text, "1");
  Push(text);
  auto texts = OfType(Drain(*b), EventType::Text);
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_EQ(texts[0].Text, "\xC3\xA9");
  Push(Key(SDL_SCANCODE_LCTRL, SDLK_LCTRL, KMOD_NONE, false));

  // Wheel: fine deltas add up to notches; buttons count clicks; positions are on screen.
  SDL_Event wheel{};
  wheel.type = SDL_MOUSEWHEEL;
  wheel.wheel.windowID = id;
  wheel.wheel.preciseY = 0.5f;
  wheel.wheel.y = 0;
  wheel.wheel.mouseX = 10;
  wheel.wheel.mouseY = 20;
  Push(wheel);
  Push(wheel);
  SDL_Event button{};
  button.type = SDL_MOUSEBUTTONDOWN;
  button.button.windowID = id;
  button.button.button = SDL_BUTTON_LEFT;
  button.button.x = 7;
  button.button.y = 8;
  Push(button);
  button.type = SDL_MOUSEBUTTONUP;
  Push(button);
  button.type = SDL_MOUSEBUTTONDOWN;
  Push(button);
  auto ev = Drain(*b);
  auto wheels = OfType(ev, EventType::MouseWheel);
  ASSERT_EQ(wheels.size(), 1u);
  EXPECT_EQ(wheels[0].WheelDelta, 120);
  EXPECT_EQ(wheels[0].X, 10);
  EXPECT_EQ(wheels[0].ScreenY, 70);
  auto downs = OfType(ev, EventType::MouseDown);
  ASSERT_EQ(downs.size(), 2u);
  EXPECT_EQ(downs[0].ScreenX, 107);
  EXPECT_EQ(downs[1].ClickCount, 2);

  // The drawn cursors and X shapes are harmless without X11.
  b->SetCursor(s, CursorShape::Help);
  b->SetCursor(s, CursorShape::UpArrow);
  Rect shape = Rect::FromSize(0, 0, 20, 20);
  b->SetShape(s, std::span<const Rect>(&shape, 1));
  b->ResetShape(s);

  SDL_Event close{};
  close.type = SDL_WINDOWEVENT;
  close.window.windowID = id;
  close.window.event = SDL_WINDOWEVENT_CLOSE;
  Push(close);
  ev = Drain(*b);
  ASSERT_FALSE(ev.empty());
  EXPECT_EQ(ev.back().Type, EventType::Close);
  EXPECT_EQ(ev.back().Surface, s);

  // Wake ends a wait that would otherwise last a minute.
  b->Wake();
  std::uint64_t t0 = b->TickCount();
  Event e;
  EXPECT_FALSE(b->WaitEvent(e, 60000));
  EXPECT_LT(b->TickCount() - t0, 30000u);
}

TEST(PlatformSdl, UrlHandlerGetsTheUrlAsOneArgument) {
  auto b = StartSdl();
  if (!b) GTEST_SKIP() << "SDL video cannot start here";
  auto dir = std::filesystem::temp_directory_path() /
             ("kx_platform_url_" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  auto script = dir / "handler.sh";
  auto out = dir / "args.txt";
  {
    std::ofstream f(script);
    f << "#!/bin/sh\nprintf '%s\\n' \"$#\" > '" << out.string() << "'\n"
      << "for a in \"$@\"; do printf '[%s]\\n' \"$a\" >> '" << out.string() << "'; done\n";
  }
  std::filesystem::permissions(script, std::filesystem::perms::owner_all);
  b->SetOpenUrlProgram(script.string());

  std::string pwned = (dir / "pwned").string();
  std::string url = "http://example.com/?q=1; touch " + pwned + " $(touch " + pwned + ") `touch " +
                    pwned + "` | touch " + pwned;
  ASSERT_TRUE(b->OpenUrl(url));
  EXPECT_EQ(b->WaitForUrlHandlers(), 1);
  std::ifstream in(out);
  std::stringstream got;
  got << in.rdbuf();
  EXPECT_EQ(got.str(), "1\n[" + url + "]\n");
  EXPECT_FALSE(std::filesystem::exists(pwned));

  EXPECT_FALSE(b->OpenUrl("--version"));  // would be read as an option
  b->SetOpenUrlProgram((dir / "no-such-handler").string());
  EXPECT_FALSE(b->OpenUrl("http://example.com/"));
  std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace vcl::platform
