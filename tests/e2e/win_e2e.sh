#!/usr/bin/env bash
# The window manager in a real X server: starts Xvfb, runs win_e2e over the SDL backend and
# drives it with xdotool -- a click on the non-activating pop-up, a drag of the caption, a drag
# of the frame's corner, a click on the close button -- then checks the program's log, the X
# focus and a screenshot (saved as win_e2e.png in the output folder).
# Usage: win_e2e.sh PROGRAM OUTPUT_DIR
# It installs nothing: scripts/deps.sh provides Xvfb, xdotool and ImageMagick. Without them,
# or when no X server starts, it fails.
set -uo pipefail

prog=$1
out=$2
log="$out/win_e2e.log"
shot="$out/win_e2e.png"
app=
xvfb=
tmp=$(mktemp -d)

fail() {
  echo "FAIL: $*" >&2
  [[ -f "$log" ]] && { echo "--- program log:" >&2; cat "$log" >&2; }
  exit 1
}
cleanup() {
  [[ -n "$app" ]] && kill "$app" 2>/dev/null
  [[ -n "$xvfb" ]] && kill "$xvfb" 2>/dev/null
  rm -rf "$tmp"
}
trap cleanup EXIT

for tool in Xvfb xdotool import convert; do
  command -v "$tool" >/dev/null || fail "$tool is not installed (scripts/deps.sh installs it)"
done
mkdir -p "$out"
rm -f "$log" "$shot"

# A server on a free display; it writes the display number once it accepts clients.
Xvfb -displayfd 3 -screen 0 1024x768x24 -br -nolisten tcp 3>"$tmp/display" 2>"$tmp/xvfb.err" &
xvfb=$!
for _ in $(seq 200); do
  [[ -s "$tmp/display" ]] && break
  kill -0 "$xvfb" 2>/dev/null || fail "Xvfb did not start: $(cat "$tmp/xvfb.err")"
  sleep 0.05
done
[[ -s "$tmp/display" ]] || fail "Xvfb did not report a display within 10 s"
export DISPLAY=":$(tr -d '[:space:]' <"$tmp/display")"
export KX_BACKEND=sdl
unset SDL_VIDEODRIVER

"$prog" "$log" 2>"$tmp/app.err" &
app=$!

# Waits (up to $2 seconds, default 20) for a log line matching the pattern.
wait_for() {
  local pattern=$1 end=$((SECONDS + ${2:-20}))
  until grep -q -- "$pattern" "$log" 2>/dev/null; do
    kill -0 "$app" 2>/dev/null || fail "the program ended while waiting for '$pattern': $(cat "$tmp/app.err")"
    ((SECONDS < end)) || fail "timed out waiting for '$pattern'"
    sleep 0.05
  done
}
expect_line() {  # the last line starting with $1 must be exactly $2
  local got
  got=$(grep -- "^$1" "$log" | tail -1)
  [[ "$got" == "$2" ]] || fail "expected '$2', the program said '$got'"
}
pixel() {  # the screenshot's colour at x y as RRGGBB
  convert "$shot" -crop "1x1+$1+$2" +repage -depth 8 txt:- | grep -o '#[0-9A-Fa-f]\{6\}' | head -1 | tr -d '#'
}
expect_pixel() {  # x y RRGGBB what
  local got
  got=$(pixel "$1" "$2")
  [[ "${got^^}" == "${3^^}" ]] || fail "$4: pixel ($1,$2) is #$got, expected #$3"
}

main_id=
for _ in $(seq 20); do
  main_id=$(timeout 1 xdotool search --sync --name '^Kexora e2e main$' 2>/dev/null | head -1)
  [[ -n "$main_id" ]] && break
  kill -0 "$app" 2>/dev/null || fail "the program ended before showing its window: $(cat "$tmp/app.err")"
done
[[ -n "$main_id" ]] || fail "the main window did not appear within 20 s"
wait_for '^ready'

# The pop-up takes a click without taking the activation or the focus.
xdotool mousemove --sync 880 200 click 1
wait_for '^popup-click'
expect_line popup-click "popup-click active=main focus=edit"
focus=$(xdotool getwindowfocus)
[[ "$focus" == "$main_id" ]] || fail "the X focus went to window $focus, not to the main window $main_id"

# Moving: press on the caption and drag, one step at a time as a hand would.
xdotool mousemove --sync 300 115 mousedown 1
xdotool mousemove --sync 350 165
wait_for '^pos 150 150 550 450$'
xdotool mousemove --sync 450 215
wait_for '^pos 250 200 650 500$'
xdotool mouseup 1
wait_for '^exitsizemove'
expect_line exitsizemove "exitsizemove 250 200 650 500 active=main focus=edit"

# Sizing from the bottom-right corner of the frame.
xdotool mousemove --sync 647 497 mousedown 1
xdotool mousemove --sync 687 537
wait_for '^pos 250 200 690 540$'
xdotool mousemove --sync 727 557
wait_for '^pos 250 200 730 560$'
xdotool mouseup 1
wait_for '^exitsizemove 250 200 730 560'
expect_line exitsizemove "exitsizemove 250 200 730 560 active=main focus=edit"

# What the screen shows: the frame and caption at the new place, the grown client area
# repainted, the pop-up still above, nothing left behind where the window was.
xdotool mousemove --sync 900 700
import -window root "$shot" || fail "import could not take a screenshot"
expect_pixel 250 200 707070 "the active frame's outer line"
expect_pixel 600 205 FFFFFF "the frame above the caption"
expect_pixel 460 230 FFFFFF "the caption"
expect_pixel 700 540 1E6EC8 "the client area grown by sizing"
expect_pixel 300 400 1E6EC8 "the client area"
expect_pixel 330 262 FFFFFF "the child window"
expect_pixel 880 200 FA9614 "the pop-up"
expect_pixel 120 120 000000 "the old place of the window"
title=$(convert "$shot" -crop 100x23+288+208 +repage -colorspace Gray -format '%[fx:int(255*minima)]' info:)
((title < 100)) || fail "no dark title text in the caption (darkest grey $title)"

# The close button ends the program.
xdotool mousemove --sync 704 219 click 1
wait_for '^closed'
for _ in $(seq 200); do kill -0 "$app" 2>/dev/null || break; sleep 0.05; done
kill -0 "$app" 2>/dev/null && fail "the program did not end after its window closed"
wait "$app"
rc=$?
app=
((rc == 0)) || fail "the program ended with status $rc: $(cat "$tmp/app.err")"
echo "win_e2e: passed; screenshot $shot"
