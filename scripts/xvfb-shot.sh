#!/usr/bin/env bash
# Runs a program in a fresh Xvfb server, waits for its window, takes a screenshot of the
# screen and closes the program.  Usage: scripts/xvfb-shot.sh PROGRAM OUTPUT.png [WAIT_S]
set -euo pipefail
prog=$1
out=$2
wait_s=${3:-2}
num=99
while [[ -e /tmp/.X${num}-lock ]]; do num=$((num + 1)); done
Xvfb ":$num" -screen 0 1280x900x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill "$app" 2>/dev/null || true; kill "$xvfb" 2>/dev/null || true' EXIT
export DISPLAY=":$num"
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
"$prog" &
app=$!
# Wait for the program to map a window, then give it time to paint.
for _ in $(seq 100); do
  xdotool search --onlyvisible --pid "$app" >/dev/null 2>&1 && break
  kill -0 "$app" 2>/dev/null || { echo "The program exited early." >&2; exit 1; }
  sleep 0.1
done
sleep "$wait_s"
import -window root "$out"
