# The end-to-end harness, sourced by the end-to-end scripts after they set DEMO (corvane-demo),
# SHOT (corvane-screenshot) and OUT (the output folder): it starts a display server and the demo
# on a fresh data folder ($DATA) talking through a pair of pipes, and offers the helpers:
#   ask CMD / ask_until CMD REGEX   a demo command and its reply in REPLY
#   wait_for_line LINE SECONDS      the demo's output up to that line
#   shot NAME / fail WHY / end_demo
# The display server is Xvfb (the xcb platform), or with E2E_PLATFORM=wayland a headless weston
# (Qt's wayland platform) with its own runtime folder and socket. With E2E_PLATFORM=wayland-seat
# weston runs on its X11 backend inside Xvfb instead, which gives it a seat: the X server's
# keyboard and pointer, for real keys through xdotool.
# On X11 it also finds the main window (WINDOW, WIN_X, WIN_Y) and offers:
#   click_at X Y / click_control L T W H   the real X pointer on window points
#   find_window W H                 the visible window of that size named "Quelmar Keyboard" (a
#                                   dialog): its id and geometry in FOUND, FOUND_X, FOUND_Y
# On Wayland, where the headless compositor has no pointer, the demo's own "click" command
# stands in for click_at and click_control, and shot takes the compositor's screenshot
# (weston-screenshooter; weston runs with --debug for it). SCREEN_BEFORE_DEMO is then the
# screenshot of the bare desktop, taken before the demo started.
# Exits 77 (skipped) only when the display server or its tools are not installed.
# Window points are the layout's (logical) ones at any QT_SCALE_FACTOR (a whole number): the
# harness scales them to the screen's pixels, so a run at 2 proves hit-testing stays logical.

E2E_PLATFORM=${E2E_PLATFORM:-xcb}
if [ "$E2E_PLATFORM" = wayland ]; then
  E2E_TOOLS="weston weston-screenshooter"
elif [ "$E2E_PLATFORM" = wayland-seat ]; then
  E2E_TOOLS="weston weston-screenshooter Xvfb xdotool"
else
  E2E_TOOLS="Xvfb xdotool"
fi
for tool in $E2E_TOOLS; do
  if ! command -v "$tool" >/dev/null; then
    echo "SKIPPED: $tool is not installed (scripts/setup-deps.sh installs it)"
    exit 77
  fi
done

mkdir -p "$OUT"
rm -f "$OUT"/*.png
WORK=$(mktemp -d)
SERVER_PID=
WESTON_PID=
DEMO_PID=
cleanup() {
  if [ -n "$DEMO_PID" ] && kill -0 "$DEMO_PID" 2>/dev/null; then
    kill "$DEMO_PID" 2>/dev/null
    for _ in $(seq 50); do kill -0 "$DEMO_PID" 2>/dev/null || break; sleep 0.1; done
    kill -9 "$DEMO_PID" 2>/dev/null
  fi
  for pid in $WESTON_PID $SERVER_PID; do
    kill "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
  done
  rm -rf "$WORK"
}
trap cleanup EXIT

fail() {
  echo "FAIL: $*"
  take_screenshot "$OUT/failure.png" 2>/dev/null && echo "screen at the failure: $OUT/failure.png"
  echo "--- demo transcript"; cat "$WORK/transcript" 2>/dev/null
  echo "--- demo errors"; tail -n 30 "$WORK/demo.err" 2>/dev/null
  exit 1
}

SCALE=${QT_SCALE_FACTOR:-1}
[[ "$SCALE" =~ ^[1-9]$ ]] || fail "QT_SCALE_FACTOR must be a whole number here, not $SCALE"

export XDG_RUNTIME_DIR=$WORK/runtime
mkdir -m 700 "$XDG_RUNTIME_DIR"
# Leaks are the sanitiser tests' business; here the X and font libraries' caches would only blur it.
export ASAN_OPTIONS=${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0

start_xvfb() {
  # ---- X server: Xvfb chooses a free display and reports it ----
  Xvfb -displayfd 3 -screen 0 $((1280 * SCALE))x$((1024 * SCALE))x24 -nolisten tcp 3>"$WORK/display" 2>"$WORK/xvfb.log" &
  SERVER_PID=$!
  for _ in $(seq 200); do [ -s "$WORK/display" ] && break; sleep 0.05; done
  [ -s "$WORK/display" ] || { cat "$WORK/xvfb.log"; fail "Xvfb did not start"; }
  export DISPLAY=":$(head -n1 "$WORK/display")"
}

if [ "$E2E_PLATFORM" != xcb ]; then
  # ---- Wayland: weston on the CPU renderer, with its own socket ----
  export WAYLAND_DISPLAY=corvane-e2e
  export QT_QPA_PLATFORM=wayland
  # A bare compositor: no session bus, so neither a tray nor a notification service.
  export DBUS_SESSION_BUS_ADDRESS=unix:path=$WORK/no-session-bus
  if [ "$E2E_PLATFORM" = wayland-seat ]; then
    start_xvfb
    WESTON_BACKEND=x11-backend.so
  else
    unset DISPLAY
    WESTON_BACKEND=headless-backend.so
  fi
  weston --backend=$WESTON_BACKEND --use-pixman --debug --no-config --idle-time=0 \
    --width=1280 --height=1024 --socket="$WAYLAND_DISPLAY" >"$WORK/weston.log" 2>&1 &
  WESTON_PID=$!
  # weston-screenshooter names its file by the time; one at a time, in a folder of its own.
  take_screenshot() {
    local dir=$WORK/screenshooter
    rm -rf "$dir" && mkdir -p "$dir" || return 1
    (cd "$dir" && timeout 10 weston-screenshooter >/dev/null 2>&1) || return 1
    mv "$dir"/*.png "$1" 2>/dev/null
  }
  # The desktop is ready once the shell's background is on the screen and stays: the screen
  # starts black, and the shell may paint it in more than one step.
  for _ in $(seq 100); do
    if [ -S "$XDG_RUNTIME_DIR/$WAYLAND_DISPLAY" ] && take_screenshot "$WORK/desktop-next.png" &&
      [ "$("$SHOTCHECK" colour "$WORK/desktop-next.png" 640 600)" != 000000 ]; then
      [ -s "$WORK/desktop.png" ] && "$SHOTCHECK" same "$WORK/desktop.png" "$WORK/desktop-next.png" \
        5 50 640 600 1275 1019 5 1019 1275 50 300 300 >/dev/null && break
      mv "$WORK/desktop-next.png" "$WORK/desktop.png"
    fi
    sleep 0.1
  done
  [ -s "$WORK/desktop.png" ] || { cat "$WORK/weston.log"; fail "weston did not start"; }
  SCREEN_BEFORE_DEMO=$WORK/desktop.png
else
  start_xvfb
  export QT_QPA_PLATFORM=xcb
  take_screenshot() { "$SHOT" "$1"; }
fi

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
shot() { take_screenshot "$OUT/$1.png" || fail "no screenshot $1"; }

if [ "$E2E_PLATFORM" = xcb ]; then
  # ---- The window: 800 x 634 at a place of the X server's choosing ----
  # Finds the visible window of size $1 x $2 named "Quelmar Keyboard" (5 s at most).
  find_window() {
    FOUND=
    for _ in $(seq 50); do
      for id in $(xdotool search --onlyvisible --name '^Quelmar Keyboard$' 2>/dev/null); do
        eval "$(xdotool getwindowgeometry --shell "$id")"
        if [ "$WIDTH" = $(($1 * SCALE)) ] && [ "$HEIGHT" = $(($2 * SCALE)) ]; then
          FOUND=$id
          FOUND_X=$X
          FOUND_Y=$Y
          return 0
        fi
      done
      sleep 0.1
    done
    return 1
  }
  find_window 800 634 || fail "no 800 x 634 window named \"Quelmar Keyboard\""
  WINDOW=$FOUND
  WIN_X=$FOUND_X
  WIN_Y=$FOUND_Y

  # Moves the real pointer onto window point (x, y), lets the window see it there, then clicks.
  click_at() {
    xdotool mousemove --sync $((WIN_X + $1 * SCALE)) $((WIN_Y + $2 * SCALE)) || fail "pointer did not move"
    sleep 0.15
    xdotool mousemove_relative --sync 1 0 mousemove_relative --sync -- -1 0
    sleep 0.1
    xdotool click 1
    sleep 0.3
  }
  # Centre of a control rectangle (left, top, width, height) of the window's layout.
  click_control() { click_at $(($1 + $3 / 2)) $(($2 + $4 / 2)); }
fi

# Ends the demo as the tray menu's "Exit" does and checks that it ended cleanly.
end_demo() {
  echo quit >&"$TO_DEMO"
  wait_for_line ended 30 || fail "the demo did not end"
  for _ in $(seq 100); do kill -0 "$DEMO_PID" 2>/dev/null || break; sleep 0.1; done
  kill -0 "$DEMO_PID" 2>/dev/null && fail "the demo is still running after \"ended\""
  wait "$DEMO_PID"
  STATUS=$?
  DEMO_PID=
  [ "$STATUS" = 0 ] || fail "the demo ended with status $STATUS"
}
