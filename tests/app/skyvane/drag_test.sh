#!/usr/bin/env bash
# Drags the real panel on a virtual X display and checks where it goes and
# what it remembers.
#
#   drag_test.sh SKYVANE FORECAST_JSON no-wm|openbox
#
# Starts its own Xvfb (on a display number it asks the server to pick), a
# loopback HTTP server that answers every GET with FORECAST_JSON, optionally
# openbox, then the panel with a fresh configuration folder. Every wait polls
# with a deadline, so a slow machine only makes the test slower.
set -uo pipefail

skyvane=$1
forecast=$2
mode=$3

source "$(dirname "$0")/x_session.bash"

start_display
[ "$mode" = openbox ] && start_openbox
start_forecast_server "$forecast"

export XDG_CONFIG_HOME="$work/config"
export XDG_CACHE_HOME="$work/cache"
settings="$XDG_CONFIG_HOME/Skyvane/Skyvane.conf"
# The window system's side of a drag, to tell which kind of drag ran.
export QT_LOGGING_RULES="qt.qpa.input.devices=true"

at_place() {
  read_geometry && [ "$X" -eq "$1" ] && [ "$Y" -eq "$2" ]
}

settings_say() {
  grep -qx "formX=$1" "$settings" 2>/dev/null && grep -qx "formY=$2" "$settings"
}

saved_both() {
  grep -q '^formX=' "$settings" 2>/dev/null && grep -q '^formY=' "$settings"
}

# drag FROM_X FROM_Y DX DY BUTTON [bare]: press at a point of the panel
# (relative to its corner), move the mouse by DX, DY in a few steps, release.
# On the bare surface the press saves the place; the mouse moves on only once
# it has, so that a slow panel cannot miss the start of its drag.
drag() {
  local x=$((X + $1)) y=$((Y + $2)) dx=$3 dy=$4 button=$5 bare=${6:-} step
  xdotool mousemove "$x" "$y"
  sleep 0.05
  if [ -n "$bare" ]; then
    rm -f "$settings"
    xdotool mousedown "$button"
    wait_for "the place to be saved after the press" saved_both
  else
    xdotool mousedown "$button"
    sleep 0.2
  fi
  for step in 1 2 3 4; do
    sleep 0.05
    xdotool mousemove "$((x + dx * step / 4))" "$((y + dy * step / 4))"
  done
  sleep 0.1
  xdotool mouseup "$button"
}

# --- first start: the default place, near the bottom-right corner
start_panel
# 1920 x 1080: Left 22100, Top 14800 twips, at 15 twips a pixel.
wait_for "the default place" at_place 1473 987
[ -e "$settings" ] && fail "a place was saved before any press"

# --- a press on a label or an icon does nothing
drag 80 30 -100 -100 1   # Label2(1), the weather text of the second column
drag 60 4 -100 -100 1    # Image1(0), right of the first day label
drag 20 45 -100 -100 3   # Label3(0), with the right button
sleep 0.5
at_place 1473 987 || fail "a drag on a control moved the panel to $X,$Y"
[ -e "$settings" ] && fail "a press on a control saved a place"

# --- a drag on the bare surface left of the first column moves and saves
drag 3 30 -200 -300 1 bare
wait_for "the panel to follow the drag" at_place 1273 687
wait_for "the final place to be saved" settings_say 19095 10305
grep -q '^\[set\]$' "$settings" || fail "no [set] section in $settings"

# --- a press without a move saves too, and a right-button drag moves as well
drag 3 30 0 0 1 bare
wait_for "the place to be saved after a press" settings_say 19095 10305
drag 210 3 100 50 3 bare  # above the fourth day label, left of its icon
wait_for "the right-button drag" at_place 1373 737
wait_for "the right-button place to be saved" settings_say 20595 11055
if [ "$mode" = openbox ]; then
  grep -q '_NET_WM_MOVERESIZE' "$work/panel.log" ||
    fail "under a window manager the left-button drag was not a system move"
else
  grep -q '_NET_WM_MOVERESIZE' "$work/panel.log" &&
    fail "without a window manager a system move was attempted"
fi
stop_panel

# --- a restart opens at the saved place
start_panel
wait_for "the saved place after a restart" at_place 1373 737
stop_panel

# --- a saved place that lies off every screen: default place, keys kept
printf '[set]\nformX=99990\nformY=99990\n' >"$settings"
start_panel
wait_for "the default place instead of an unreachable one" at_place 1473 987
settings_say 99990 99990 || fail "the unreachable place was overwritten before any drag"
grep -q 'off every screen' "$work/panel.log" || fail "no note about the unreachable place"
stop_panel

# --- --reset-position forgets the saved place
printf '[set]\nformX=3000\nformY=1500\n' >"$settings"
start_panel --reset-position
wait_for "the default place after --reset-position" at_place 1473 987
grep -q formX "$settings" && fail "--reset-position kept the saved place"
stop_panel

if [ "$failures" -ne 0 ]; then
  echo "--- panel log" >&2
  cat "$work/panel.log" >&2
  exit 1
fi
echo "drag test ($mode) passed"
