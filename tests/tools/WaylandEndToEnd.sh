#!/usr/bin/env bash
# End to end on a real Wayland compositor (weston, headless, Qt's wayland platform): the main
# window shows exactly its shape, its pages and popups show on the compositor's screen as they
# are drawn off screen, a popup hangs from its button, a lighting change and Apply reach the
# simulated keyboard, and without a tray the header's close button minimises. The compositor has
# no pointer, so the demo's "click" command puts the pointer input through Qt's own path.
#
#   WaylandEndToEnd.sh <corvane-demo> <corvane-shotcheck> <output folder> [<gallery folder>]
#
# Exits 77 (skipped) only when weston is not installed.
set -uo pipefail
DEMO=$1
SHOTCHECK=$2
OUT=$3
GALLERY=${4:-}
E2E_PLATFORM=wayland

source "$(dirname "$0")/EndToEndHarness.sh"

# ---- Where the compositor put the window, and its shape ----
# Sets WX, WY (the window's top-left on the screen) and the box its shape covers (BOX_L, BOX_T,
# BOX_R, BOX_B, window coordinates) from screenshot $1 over $2 (the same screen without it),
# matched against the window drawn off screen ($3).
locate_window() {
  local where
  where=$("$SHOTCHECK" locate "$1" "$2" "$3") || fail "the window is not on the screenshot: $where"
  read -r WX WY BOX_L BOX_T BOX_R BOX_B SHARE <<<"$where"
  # All but the few pixels of the rounded corners inside the box show the off-screen picture.
  awk -v s="$SHARE" 'BEGIN { exit !(s >= 99.5) }' ||
    fail "only $SHARE % of the window show what it draws off screen ($where)"
}
# Points (window coordinates) of screenshot $1 that show picture $2 drawn at the window's place.
expect_drawn() {
  local shot=$1 picture=$2
  shift 2
  "$SHOTCHECK" match "$shot" "$WX" "$WY" "$picture" "$@" >"$WORK/check" ||
    fail "$(basename "$shot") does not show $(basename "$picture") there:"$'\n'"$(cat "$WORK/check")"
}
# Points (window coordinates) that show on screenshot $1 what screenshot $2 shows there.
expect_behind() {
  local shot=$1 behind=$2 points=()
  shift 2
  while [ $# -ge 2 ]; do points+=($((WX + $1)) $((WY + $2))); shift 2; done
  "$SHOTCHECK" same "$shot" "$behind" "${points[@]}" >"$WORK/check" ||
    fail "$(basename "$shot") does not show what lies behind the window there:"$'\n'"$(cat "$WORK/check")"
}

# ---- The keys page as the program starts ----
ask windows
grep -q '^main 0 0 800 634 translucent' <<<"$REPLY" || fail "the main window is not a translucent 800 x 634:"$'\n'"$REPLY"
shot page-0-keys
ask "render $WORK/page-0.png"
locate_window "$OUT/page-0-keys.png" "$SCREEN_BEFORE_DEMO" "$WORK/page-0.png"
# The shape lies inside the window's rectangle; its box's corners and the rectangle's corners
# are outside the rounded shape and show the desktop, not a fill. Inside: what it draws.
[ "$BOX_L" -gt 0 ] && [ "$BOX_T" -gt 0 ] && [ "$BOX_R" -lt 800 ] && [ "$BOX_B" -lt 634 ] ||
  fail "the window covers its whole rectangle ($BOX_L $BOX_T $BOX_R $BOX_B), not its shape"
expect_behind "$OUT/page-0-keys.png" "$SCREEN_BEFORE_DEMO" 0 0 799 633 0 633 "$BOX_L" "$BOX_T" \
  $((BOX_R - 1)) "$BOX_T" "$BOX_L" $((BOX_B - 1)) $((BOX_R - 1)) $((BOX_B - 1))
expect_drawn "$OUT/page-0-keys.png" "$WORK/page-0.png" $((BOX_L + 24)) $((BOX_T + 24)) 400 317 153 280 \
  205 544 $((BOX_R - 24)) $((BOX_B - 24))
if [ -n "$GALLERY" ]; then
  mkdir -p "$GALLERY"
  "$SHOTCHECK" crop "$OUT/page-0-keys.png" "$WX" "$WY" 800 634 "$GALLERY/wayland_main_window.png" ||
    fail "could not save the window beside the gallery"
fi

# ---- A page switch: the lighting tab ----
ask "click 584 544"
ask "render $WORK/page-3.png"
shot page-3-lighting
expect_drawn "$OUT/page-3-lighting.png" "$WORK/page-3.png" 144 288 120 150 300 300 584 544 640 400

# ---- The colour list hangs from its button's bottom-left corner (61, 303) ----
ask "click 144 288"
ask windows
grep -q '^popup 7 61 303 166 118' <<<"$REPLY" || fail "the colour list is not under its button:"$'\n'"$REPLY"
ask "render $WORK/colour-list.png 7"
shot lighting-colour-list
# Inside, the list as drawn; just outside it, the page behind it.
WX0=$WX WY0=$WY
WX=$((WX0 + 61)) WY=$((WY0 + 303))
expect_drawn "$OUT/lighting-colour-list.png" "$WORK/colour-list.png" 0 0 165 117 83 8 83 108 2 60
WX=$WX0 WY=$WY0
expect_behind "$OUT/lighting-colour-list.png" "$OUT/page-3-lighting.png" 60 340 $((61 + 166)) 340 \
  120 $((303 + 118)) $((61 + 165)) $((303 + 118))
# The fifth entry is Green; the keyboard gets nothing before Apply.
ask "click $((61 + 83)) $((303 + 3 + 4 * 16 + 8))"
ask windows
grep -q '^popup' <<<"$REPLY" && fail "the colour list stayed open after the choice:"$'\n'"$REPLY"
ask state
grep -q "profile 0: colour 5" <<<"$REPLY" && fail "the colour reached the keyboard before Apply"

# ---- A press elsewhere closes an open list, as its loss of activation does on X11 ----
ask "click 144 288"
ask windows
grep -q '^popup 7 ' <<<"$REPLY" || fail "the colour list did not open again:"$'\n'"$REPLY"
ask "click 650 450"
ask windows
grep -q '^popup' <<<"$REPLY" && fail "the colour list stayed open after a press beside it:"$'\n'"$REPLY"

# ---- Apply ----
ask "click 620 119"
ask_until log 'set  .*\[05 03 00\]'
grep -Eq 'set  .*\[07 0D 00 00 05 08\]' <<<"$REPLY" || fail "no lighting report for profile 0 in:"$'\n'"$REPLY"
ask violations
[ "$REPLY" = $'none\n' ] || fail "protocol violations:"$'\n'"$REPLY"
ask state
grep -q "profile 0: colour 5, brightness 8" <<<"$REPLY" || fail "the keyboard holds:"$'\n'"$REPLY"
shot after-apply

# ---- No tray here: the header's close button minimises instead of hiding ----
# The window stays shown to the program (a hidden one could never come back without a tray);
# the compositor takes it off the screen, to the desktop's task list.
ask "click 752 77"
ask windows
grep -q '^main 0 0 800 634' <<<"$REPLY" || fail "the window was hidden, not minimised:"$'\n'"$REPLY"
for _ in $(seq 20); do
  shot minimised
  "$SHOTCHECK" same "$OUT/minimised.png" "$SCREEN_BEFORE_DEMO" $((WX + 400)) $((WY + 317)) \
    $((WX + 153)) $((WY + 280)) >/dev/null && break
  sleep 0.1
done
"$SHOTCHECK" same "$OUT/minimised.png" "$SCREEN_BEFORE_DEMO" $((WX + 400)) $((WY + 317)) \
  $((WX + 153)) $((WY + 280)) >/dev/null || fail "the window is still on the screen after its close button"
end_demo
echo "PASS: shape, pages, popup, lighting and Apply on Wayland; screenshots in $OUT"
