#!/usr/bin/env bash
# Builds and runs the demonstration program. With no display, runs it under a virtual X
# server, saves a screenshot and prints its path.
set -euo pipefail
cd "$(dirname "$0")"
# Compiler cache hits across checkouts in different folders (CI builds a fresh clone).
export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1
scripts/deps.sh demo
build=${KX_DEMO_BUILD_DIR:-build/release}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DKX_BUILD_TESTS=OFF \
      -DKX_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" -j "$(nproc)" --target kx_demo
demo="$build/app/kx_demo"

if [[ -n "${DISPLAY:-}" ]] && xdpyinfo >/dev/null 2>&1; then
  exec "$demo"
fi

echo "No display: running the demo under Xvfb."
shot_dir=${KX_SCREENSHOT_DIR:-$PWD/out}
mkdir -p "$shot_dir"
shot="$shot_dir/demo-$(date +%Y%m%d-%H%M%S).png"
scripts/xvfb-shot.sh "$demo" "$shot"
echo "Screenshot: $shot"
