#!/usr/bin/env bash
# End to end on a real X server (Xvfb): with the real X pointer and keyboard (xdotool) the "1" key
# is remapped to Q through the key map dialog, a macro is named and recorded on the macro page
# and given to the second programmable key through the function menu, and Apply sends both;
# checked on the simulated keyboard (through the demo's commands) and in the data files.
#
#   KeysEndToEnd.sh <corvane-demo> <corvane-screenshot> <output folder>
#
# Exits 77 (skipped) only when Xvfb or xdotool is not installed.
set -uo pipefail
DEMO=$1
SHOT=$2
OUT=$3

source "$(dirname "$0")/EndToEndHarness.sh"

# Moves the real pointer onto window point (x, y) and lets the window see it there.
point_at() {
  xdotool mousemove --sync $((WIN_X + $1)) $((WIN_Y + $2)) || fail "pointer did not move"
  sleep 0.15
  xdotool mousemove_relative --sync 1 0 mousemove_relative --sync -- -1 0
  sleep 0.3
}
# A key pressed and let go on the real keyboard, in the window that has the input focus.
press_key() {
  xdotool key --delay 60 "$@" || fail "xdotool could not press $*"
  sleep 0.3
}

# ---- Key page: the "1" key (2217 at 153, 280) becomes Q ----
click_control 153 280 20 21
find_window 400 270 || fail "the key map dialog did not open"
DIALOG_X=$FOUND_X
DIALOG_Y=$FOUND_Y
press_key q
shot keys-key-map-dialog-q
WIN_X=$DIALOG_X WIN_Y=$DIALOG_Y click_control 223 230 73 29 # OK
sleep 0.3
for id in $(xdotool search --onlyvisible --name '^Quelmar Keyboard$' 2>/dev/null); do
  eval "$(xdotool getwindowgeometry --shell "$id")"
  [ "$WIDTH" = 400 ] && fail "the key map dialog is still open"
done

# ---- Macro page: a new macro "Jump", recorded from the A key ----
click_control 276 531 47 26  # macro tab
click_control 78 460 86 23   # New
xdotool type --delay 60 Jump || fail "xdotool could not type"
press_key Return
click_at 150 204             # the first row of the macro list
click_control 517 202 157 29 # Record
press_key a
click_at 610 220             # Record again (elsewhere on it, so the pointer moves): stop
shot keys-recorded-macro
LIBRARY=$(tr -d '\r' <"$DATA/config/MacroLibraryFile.mlf")
grep -qx $'\t\tMacroKey0Name=Jump' <<<"$LIBRARY" || fail "the library holds:"$'\n'"$LIBRARY"
grep -q 'AllAction=4100000041800000' <<<"$LIBRARY" || fail "the macro was not recorded:"$'\n'"$LIBRARY"

# ---- P-Keys page: the second key (93, 288, 229 x 30) gets the macro ----
click_control 468 531 53 26
click_control 93 288 229 30
# The menu hangs from the button (93, 318); "Assign a Macro" is its first row. Its submenu opens
# at (322 - 6, 318 - 2) with "Jump" as its first row.
point_at 150 329
shot keys-function-menu-macro-submenu
click_at 356 327
ask state
grep -q 'G2 value 06 01 1F' <<<"$REPLY" || fail "nothing may reach the keyboard before Apply:"$'\n'"$REPLY"

# ---- Apply ----
click_control 605 109 30 20
ask_until log 'set  .*\[05 03 00\]'
LOG=$REPLY
grep -Eq 'set  .*\[06 B8 00 00 00 00 00 00 1D 14 AF A4 E6 A5 A9 B8 ' <<<"$LOG" ||
  fail "no key table with the 1 key as Q in:"$'\n'"$LOG"
grep -Eq 'set  .*\[08 E2 00 01 00 00 00 00 4A 75 6D 70 00 00 00 00 ' <<<"$LOG" ||
  fail "no macro report for the second key in:"$'\n'"$LOG"
ask violations
[ "$REPLY" = $'none\n' ] || fail "protocol violations:"$'\n'"$REPLY"
ask state
grep -q 'G2 value 01 00 00  macro "Jump", repeat 1, 2 steps' <<<"$REPLY" || fail "the keyboard holds:"$'\n'"$REPLY"
grep -q 'remap 1D 14 AF' <<<"$REPLY" || fail "the keyboard's remap table:"$'\n'"$REPLY"
PROFILE=$(tr -d '\r' <"$DATA/config/default0.psf")
grep -qx 'Key1Name=Jump' <<<"$PROFILE" && grep -qx $'\tKey1Value=010000' <<<"$PROFILE" ||
  fail "default0.psf:"$'\n'"$PROFILE"
shot keys-after-apply

end_demo
echo "PASS: a remapped key and a recorded macro on a programmable key reached the keyboard and the files"
