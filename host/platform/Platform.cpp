#include "host/platform/Platform.h"

#include <cstdlib>
#include <string_view>

#include "host/platform/headless/HeadlessBackend.h"
#include "host/platform/sdl/SdlBackend.h"

namespace vcl::platform {

namespace {

bool EnvSet(const char* name) {
  const char* v = std::getenv(name);
  return v && *v;
}

std::unique_ptr<Backend>& CurrentSlot() {
  static std::unique_ptr<Backend> current;
  return current;
}

}  // namespace

std::unique_ptr<Backend> CreateDefaultBackend() {
  const char* choice = std::getenv("KX_BACKEND");
  std::string_view kind = choice ? choice : "";
  if (kind == "headless") return std::make_unique<HeadlessBackend>();
  if (kind == "sdl") return std::make_unique<SdlBackend>();
  if (!kind.empty())
    throw EPlatformError("KX_BACKEND: unknown backend \"" + std::string(kind) +
                         "\" (expected \"sdl\" or \"headless\")");
  if (EnvSet("SDL_VIDEODRIVER") || EnvSet("DISPLAY") || EnvSet("WAYLAND_DISPLAY")) {
    try {
      return std::make_unique<SdlBackend>();
    } catch (const EPlatformError&) {
      // No usable display after all: fall through to the virtual screen.
    }
  }
  return std::make_unique<HeadlessBackend>();
}

Backend& CurrentBackend() {
  std::unique_ptr<Backend>& slot = CurrentSlot();
  if (!slot) slot = CreateDefaultBackend();
  return *slot;
}

void SetCurrentBackend(std::unique_ptr<Backend> backend) {
  std::unique_ptr<Backend>& slot = CurrentSlot();
  slot.reset();  // the old one goes first: only one SDL backend may exist at a time
  slot = std::move(backend);
}

bool HasCurrentBackend() { return CurrentSlot() != nullptr; }

}  // namespace vcl::platform
