#!/usr/bin/env bash
# End to end on a real X server (Xvfb, the xcb platform): starts corvane-demo on a fresh data
# folder, clicks through the window with the real X pointer (xdotool), and checks what the
# simulated keyboard received (through the demo's commands) and the files written. Saves a
# screenshot of each page in the output folder.
#
#   DemoEndToEnd.sh <corvane-demo> <corvane-screenshot> <output folder>
#
# Exits 77 (skipped) only when Xvfb or xdotool is not installed.
set -uo pipefail
DEMO=$1
SHOT=$2
OUT=$3

source "$(dirname "$0")/EndToEndHarness.sh"

ask trace
START_TRACE=$REPLY
grep -q "G5" <<<"$START_TRACE" || fail "the keyboard was not read at start-up: $START_TRACE"
shot page-0-keys

# ---- Each page, by its tab ----
click_control 276 531 47 26; shot page-1-macros
click_control 468 531 53 26; shot page-2-programmable-keys
click_control 558 531 53 26; shot page-3-lighting

# ---- Lighting: the colour button opens its list under itself; the fifth entry is Green ----
click_control 61 273 166 30
sleep 0.3
shot lighting-colour-list
# The list hangs from the button's bottom-left corner (61, 303): 16-pixel rows from y 3.
click_at $((61 + 83)) $((303 + 3 + 4 * 16 + 8))
shot lighting-green

# ---- Second profile slot, then Apply ----
click_control 364 562 71 21
click_control 605 109 30 20

# The keyboard gets slot 0's lighting (report 7: profile 0, colour 5, brightness 8) and the
# active profile (report 5 with 1).
ask_until log 'set  .*\[05 03 01\]'
LOG=$REPLY
grep -Eq 'set  .*\[07 0D 00 00 05 08\]' <<<"$LOG" || fail "no lighting report for profile 0 in:"$'\n'"$LOG"
ask violations
[ "$REPLY" = $'none\n' ] || fail "protocol violations:"$'\n'"$REPLY"
ask state
grep -q "profile 0: colour 5, brightness 8" <<<"$REPLY" || fail "the keyboard holds:"$'\n'"$REPLY"
grep -q "active profile 1" <<<"$REPLY" || fail "the keyboard's active profile:"$'\n'"$REPLY"

# ---- The files ----
# (The data files end their lines with CR LF.)
tr -d '\r' <"$DATA/config/default0.psf" | grep -qx 'LightColor=5' ||
  fail "default0.psf: $(grep Light "$DATA/config/default0.psf")"
tr -d '\r' <"$DATA/config/default1.psf" | grep -qx 'LightColor=1' ||
  fail "default1.psf: $(grep Light "$DATA/config/default1.psf")"
tr -d '\r' <"$DATA/config/config.ini" | grep -qx 'CurrentProfile=1' ||
  fail "config.ini: $(grep Current "$DATA/config/config.ini")"
shot after-apply

# ---- A profile key pressed on the keyboard reaches the window; then the end ----
ask "profile-key 3"
ask_until "state" 'active profile 2'
end_demo
echo "PASS: lighting, slot and Apply reached the keyboard and the files; pages in $OUT"
