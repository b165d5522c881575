// The external test data (KX_SHARED_DIR/testdata/pngsuite): the PNG test suite with reference
// pixels. A clone without it still runs every other test; a test that needs it starts with
// KX_REQUIRE_PNGSUITE() and is skipped, saying why, when the folder is missing.
#pragma once
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace kxtest {

inline std::filesystem::path PngSuiteDir() {
  return std::filesystem::path(KX_SHARED_DIR) / "testdata" / "pngsuite";
}

inline bool HavePngSuite() { return std::filesystem::is_directory(PngSuiteDir() / "png"); }

}  // namespace kxtest

#define KX_REQUIRE_PNGSUITE()                                                              \
  do {                                                                                     \
    if (!::kxtest::HavePngSuite())                                                         \
      GTEST_SKIP() << "needs the external PNG test suite, which is not at "              \
                   << ::kxtest::PngSuiteDir().string()                                    \
                   << " (configure with -DKX_SHARED_DIR=<folder holding testdata/pngsuite>)"; \
  } while (0)
