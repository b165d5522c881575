#!/usr/bin/env bash
# Builds everything with AddressSanitizer and UndefinedBehaviorSanitizer and runs every test.
set -euo pipefail
cd "$(dirname "$0")"
# Compiler cache hits across checkouts in different folders (CI builds a fresh clone).
export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1
scripts/deps.sh
build=${KX_TEST_BUILD_DIR:-build/test}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKX_SANITIZE=ON >/dev/null
cmake --build "$build" -j "$(nproc)"
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=0}
cd "$build"
# The label "nested" builds the library once more (as a subproject, shared): with KX_TEST_NESTED=1.
exclude=(-LE nested)
[[ "${KX_TEST_NESTED:-0}" == 1 ]] && exclude=()
ctest --output-on-failure -j "$(nproc)" --timeout 600 "${exclude[@]}"
