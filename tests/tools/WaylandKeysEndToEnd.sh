#!/usr/bin/env bash
# With a real seat under weston, dragging the window's background moves the window (the
# compositor does it, asked through startSystemMove) while a press beside its rounded corner
# falls through to the desktop, and a macro recorded on Wayland from the
# real keyboard holds the same key codes as on X11: weston
# runs on its X11 backend inside Xvfb, whose keyboard is its seat, and xdotool types the macro's
# name and presses A, the right Shift and the right Ctrl. The recording must hold exactly the
# steps that X11 records for the same presses under Xvfb: A (VK 0x41), then each right modifier
# (0xA1, 0xA3) together with its left one (0xA0, 0xA2), which xdotool's presses bring on X11 too.
#
#   WaylandKeysEndToEnd.sh <corvane-demo> <corvane-shotcheck> <output folder>
#
# Exits 77 (skipped) only when weston, Xvfb or xdotool is not installed.
set -uo pipefail
DEMO=$1
SHOTCHECK=$2
OUT=$3
E2E_PLATFORM=wayland-seat

source "$(dirname "$0")/EndToEndHarness.sh"

# Sets WX, WY: where the compositor shows the window (screenshot $1).
locate_window() {
  local where
  ask "render $WORK/window.png"
  where=$("$SHOTCHECK" locate "$1" "$SCREEN_BEFORE_DEMO" "$WORK/window.png") || fail "the window is not on $1: $where"
  read -r WX WY _ <<<"$where"
}

# Drags the real pointer from window point ($1, $2) by 100, 50.
drag_from() {
  xdotool mousemove --sync $((WX + $1)) $((WY + $2)) || fail "pointer did not move"
  sleep 0.2
  xdotool mousedown 1
  sleep 0.2
  for step in 1 2 3 4 5; do
    xdotool mousemove --sync $((WX + $1 + 20 * step)) $((WY + $2 + 10 * step))
    sleep 0.05
  done
  xdotool mouseup 1
  sleep 0.3
}

# ---- A drag on the background (right of the page's last line) moves the window ----
shot before-drag
locate_window "$OUT/before-drag.png"
# weston follows the X pointer by its moves: a sweep to the far corner and back to the first
# pins its pointer on the screen's edge, and from there on both are at the same place.
xdotool mousemove --sync 1279 1023 && sleep 0.1 && xdotool mousemove --sync 0 0 || fail "pointer did not move"
sleep 0.1
drag_from 700 480
shot after-drag
OLD_X=$WX OLD_Y=$WY
locate_window "$OUT/after-drag.png"
[ "$WX" = $((OLD_X + 100)) ] && [ "$WY" = $((OLD_Y + 50)) ] ||
  fail "the drag of 100, 50 moved the window from $OLD_X, $OLD_Y to $WX, $WY"

# ---- Outside the rounded corner the press falls through to the desktop: the window stays ----
drag_from 4 4
shot after-drag-beside-corner
OLD_X=$WX OLD_Y=$WY
locate_window "$OUT/after-drag-beside-corner.png"
[ "$WX" = "$OLD_X" ] && [ "$WY" = "$OLD_Y" ] ||
  fail "a drag beside the window's corner moved it from $OLD_X, $OLD_Y to $WX, $WY"

# Keys go to the X window under the pointer: weston's, at the screen's top-left.
xdotool mousemove --sync 1270 1010 || fail "pointer did not move"
press_key() {
  xdotool key --delay 60 "$@" || fail "xdotool could not press $*"
  sleep 0.3
}

# ---- Macro page: a new macro "Jump", recorded from A, right Shift and right Ctrl ----
ask "click 299 544"  # macro tab
ask "click 121 471"  # New
xdotool type --delay 60 Jump || fail "xdotool could not type"
press_key Return
ask "click 150 204"  # the first row of the macro list
ask "click 595 216"  # Record
press_key a Shift_R Control_R
ask "click 610 220"  # Record again: stop
shot recorded-macro
LIBRARY=$(tr -d '\r' <"$DATA/config/MacroLibraryFile.mlf")
grep -qx $'\t\tMacroKey0Name=Jump' <<<"$LIBRARY" || fail "the name was not typed:"$'\n'"$LIBRARY"
grep -q 'AllAction=4100000041800000A0000000A1000000A0800000A1800000A2000000A3000000A2800000A3800000' \
  <<<"$LIBRARY" ||
  fail "the keys were not recorded as on X11:"$'\n'"$(grep AllAction <<<"$LIBRARY" | cut -c1-80)"
end_demo
echo "PASS: window dragged, keys recorded on Wayland as on X11; screenshots in $OUT"
