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

for tool in Xvfb xdotool; do
  if ! command -v "$tool" >/dev/null; then
    echo "SKIPPED: $tool is not installed (scripts/setup-deps.sh installs it)"
    exit 77
  fi
done

mkdir -p "$OUT"
rm -f "$OUT"/*.png
WORK=$(mktemp -d)
XVFB_PID=
DEMO_PID=
cleanup() {
  if [ -n "$DEMO_PID" ] && kill -0 "$DEMO_PID" 2>/dev/null; then
    kill "$DEMO_PID" 2>/dev/null
    for _ in $(seq 50); do kill -0 "$DEMO_PID" 2>/dev/null || break; sleep 0.1; done
    kill -9 "$DEMO_PID" 2>/dev/null
  fi
  if [ -n "$XVFB_PID" ]; then
    kill "$XVFB_PID" 2>/dev/null
    wait "$XVFB_PID" 2>/dev/null
  fi
  rm -rf "$WORK"
}
trap cleanup EXIT

fail() {
  echo "FAIL: $*"
  [ -n "${DISPLAY:-}" ] && "$SHOT" "$OUT/failure.png" 2>/dev/null && echo "screen at the failure: $OUT/failure.png"
  echo "--- demo transcript"; cat "$WORK/transcript" 2>/dev/null
  echo "--- demo errors"; tail -n 30 "$WORK/demo.err" 2>/dev/null
  exit 1
}

# ---- X server: Xvfb chooses a free display and reports it ----
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$WORK/display" 2>"$WORK/xvfb.log" &
XVFB_PID=$!
for _ in $(seq 200); do [ -s "$WORK/display" ] && break; sleep 0.05; done
[ -s "$WORK/display" ] || { cat "$WORK/xvfb.log"; fail "Xvfb did not start"; }
export DISPLAY=":$(head -n1 "$WORK/display")"
export QT_QPA_PLATFORM=xcb
export XDG_RUNTIME_DIR=$WORK/runtime
mkdir -m 700 "$XDG_RUNTIME_DIR"
# Leaks are the sanitiser tests' business; here the X and font libraries' caches would only blur it.
export ASAN_OPTIONS=${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0

# ---- The demo, talking through a pair of pipes ----
DATA=$WORK/data
coproc DEMOPROC { exec "$DEMO" --data "$DATA" 2>"$WORK/demo.err"; }
DEMO_PID=$DEMOPROC_PID
exec {TO_DEMO}>&"${DEMOPROC[1]}" {FROM_DEMO}<&"${DEMOPROC[0]}"
: >"$WORK/transcript"

# Reads lines until one equals $1 (timeout $2 seconds per line).
wait_for_line() {
  local line
  while IFS= read -r -t "$2" line <&"$FROM_DEMO"; do
    echo "$line" >>"$WORK/transcript"
    [ "$line" = "$1" ] && return 0
  done
  return 1
}

# Sends one command; its reply (without the closing "ok") lands in REPLY.
ask() {
  local line
  echo "> $1" >>"$WORK/transcript"
  echo "$1" >&"$TO_DEMO"
  REPLY=""
  while IFS= read -r -t 30 line <&"$FROM_DEMO"; do
    echo "$line" >>"$WORK/transcript"
    case "$line" in
      ok) return 0 ;;
      error:*) fail "the demo refused \"$1\": $line" ;;
      "  "*) REPLY+="${line#  }"$'\n' ;;
    esac
  done
  fail "no reply to \"$1\""
}

# Asks $1 until its reply matches the extended regular expression $2 (10 s at most).
ask_until() {
  for _ in $(seq 50); do
    ask "$1"
    grep -Eq "$2" <<<"$REPLY" && return 0
    sleep 0.2
  done
  fail "\"$1\" never showed /$2/; last reply:"$'\n'"$REPLY"
}

wait_for_line mapped 60 || fail "the main window was not shown"

# ---- The window: 800 x 634 at a place of the X server's choosing ----
WINDOW=
for _ in $(seq 50); do
  for id in $(xdotool search --onlyvisible --name '^Quelmar Keyboard$' 2>/dev/null); do
    eval "$(xdotool getwindowgeometry --shell "$id")"
    if [ "$WIDTH" = 800 ] && [ "$HEIGHT" = 634 ]; then WINDOW=$id; break 2; fi
  done
  sleep 0.1
done
[ -n "$WINDOW" ] || fail "no 800 x 634 window named \"Quelmar Keyboard\""
eval "$(xdotool getwindowgeometry --shell "$WINDOW")"
WIN_X=$X
WIN_Y=$Y

# Moves the real pointer onto window point (x, y), lets the window see it there, then clicks.
click_at() {
  xdotool mousemove --sync $((WIN_X + $1)) $((WIN_Y + $2)) || fail "pointer did not move"
  sleep 0.15
  xdotool mousemove_relative --sync 1 0 mousemove_relative --sync -- -1 0
  sleep 0.1
  xdotool click 1
  sleep 0.3
}
# Centre of a control rectangle (left, top, width, height) of the window's layout.
click_control() { click_at $(($1 + $3 / 2)) $(($2 + $4 / 2)); }
shot() { "$SHOT" "$OUT/$1.png" || fail "no screenshot $1"; }

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
echo quit >&"$TO_DEMO"
wait_for_line ended 30 || fail "the demo did not end"
for _ in $(seq 100); do kill -0 "$DEMO_PID" 2>/dev/null || break; sleep 0.1; done
kill -0 "$DEMO_PID" 2>/dev/null && fail "the demo is still running after \"ended\""
wait "$DEMO_PID"
STATUS=$?
DEMO_PID=
[ "$STATUS" = 0 ] || fail "the demo ended with status $STATUS"
echo "PASS: lighting, slot and Apply reached the keyboard and the files; pages in $OUT"
