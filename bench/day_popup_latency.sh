#!/usr/bin/env bash
# Measures, on a virtual X display under openbox, the time from a click on a
# column of the real panel to its details popup being mapped, 11 times, and
# prints each time and the median; then the panel's RSS with the popup open.
# A figure, not a test: it asserts nothing.
#
#   day_popup_latency.sh SKYVANE OPEN_METEO_FORECAST_JSON
set -uo pipefail

skyvane=$1
forecast=$2
source "$(dirname "$0")/../tests/app/skyvane/x_session.bash"

start_display
start_openbox
start_forecast_server "$forecast"
export SKYVANE_FORECAST_SERVICE="http://127.0.0.1:$(head -1 "$work/port")"
export XDG_CONFIG_HOME="$work/config" LC_ALL=C.UTF-8

"$skyvane" --location 52.52,13.41 >"$work/panel.log" 2>&1 &
panel_pid=$!
pids+=("$panel_pid")
find_panel() {
  panel_window=$(xdotool search --all --onlyvisible --pid "$panel_pid" --name '^Form1$' 2>/dev/null |
    head -1)
  [ -n "$panel_window" ] && read_geometry
}
wait_for "the panel's window" find_panel
sleep 1

popup_shown() { xdotool search --all --onlyvisible --pid "$panel_pid" --name '2026' >/dev/null 2>&1; }
times=()
for run in $(seq 11); do
  xdotool mousemove $((X + 80)) $((Y + 30))
  sleep 0.2
  start=$(date +%s%N)
  xdotool click 1
  until popup_shown; do :; done
  end=$(date +%s%N)
  times+=($(((end - start) / 1000)))
  [ "$run" -eq 11 ] && echo "RSS with the popup open: $(grep VmRSS /proc/$panel_pid/status | tr -s ' \t' ' ')"
  xdotool key Escape
  while popup_shown; do sleep 0.01; done
done
echo "click to popup (µs, each poll costs a few ms): ${times[*]}"
printf '%s\n' "${times[@]}" | sort -n | sed -n 6p | sed 's/^/median µs: /'
echo "RSS before any popup is not measured here; see the report."
