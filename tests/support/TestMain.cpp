// Entry point of every test binary: tests run headless whatever the caller's environment says,
// and the sanitizers are configured here so a bare `ctest` or a direct run behaves like CI.
#include <gtest/gtest.h>

#include <cstdlib>

extern "C" {
// Process-lifetime caches of system libraries (font configuration, layout engines, the video
// driver), not leaks of ours.
const char* __lsan_default_suppressions() {
  return "leak:libfontconfig.so\n"
         "leak:libpango-1.0.so\n"
         "leak:libpangoft2-1.0.so\n"
         "leak:libpangocairo-1.0.so\n"
         "leak:libglib-2.0.so\n"
         "leak:libgobject-2.0.so\n"
         "leak:libharfbuzz.so\n"
         "leak:libcairo.so\n"
         "leak:libfreetype.so\n"
         "leak:libSDL2-2.0.so\n"
         "leak:libX11.so\n";
}
const char* __ubsan_default_options() { return "print_stacktrace=1:halt_on_error=1"; }
}

int main(int argc, char** argv) {
  setenv("KX_BACKEND", "headless", 1);
  setenv("SDL_VIDEODRIVER", "dummy", 1);
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
