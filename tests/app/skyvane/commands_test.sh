#!/usr/bin/env bash
# The running panel as a desktop citizen, on a virtual X display under
# openbox with a tray (trayer) and a loopback weather service the test
# switches between a good forecast, an error page and no answer:
#   - its status (--status, and the tooltip shown) after a good and after a
#     failed fetch, and the columns kept after a failed one;
#   - one panel per display: a later start hands its command over and exits
#     0 at once (--refresh, --url, --refresh-minutes, --reset-position,
#     --quit), also when two start together and when a killed panel left its
#     socket behind; --dump-controls never talks to the running panel;
#   - a refresh planned with --refresh-minutes 1 that retries after a fetch
#     without an answer and then shows the forecast;
#   - the tray icon, also in a tray that starts after the panel, and its
#     menu: Refresh now, Reset position, Start at login, Quit.
#
#   commands_test.sh SKYVANE FORECAST_JSON HANDOVER_LIMIT_MS GRAB_PROBE
#
# HANDOVER_LIMIT_MS bounds how long a later start may take to hand over its
# command and exit. The measured times are printed, for the record.
# GRAB_PROBE is x_grab_probe, which tells whether a popup holds the pointer
# or the keyboard.
set -uo pipefail

skyvane=$1
forecast=$2
handover_limit_ms=$3
grab_probe=$4
here=$(cd "$(dirname "$0")" && pwd)

source "$here/x_session.bash"

export XDG_CONFIG_HOME="$work/config"
export XDG_CACHE_HOME="$work/cache"
export XDG_RUNTIME_DIR="$work/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"
settings="$XDG_CONFIG_HOME/Skyvane/Skyvane.conf"
autostart="$XDG_CONFIG_HOME/autostart/skyvane.desktop"
# A refresh planned a minute ahead, and its retry, come after this long.
minute_deadline=$((60 + deadline_seconds))

start_display
start_openbox

# --- a tray: trayer docked at the top right
tray_pid=
start_tray() {
  trayer --edge top --align right --widthtype pixel --width 120 --height 32 \
    >>"$work/trayer.log" 2>&1 &
  tray_pid=$!
  pids+=("$tray_pid")
  wait_for "the tray to show" tray_ready
}
tray_ready() { xdotool search --onlyvisible --class trayer >/dev/null 2>&1; }
start_tray

# --- the weather service
python3 -u "$here/switch_server.py" "$forecast" "$work/mode" "$work/requests" \
  >"$work/port" 2>"$work/http.log" &
pids+=($!)
wait_for "the weather service" test -s "$work/port"
service="http://127.0.0.1:$(head -1 "$work/port")"
url="$service/api?version=v1&appid=48157302&appsecret=Qw7rZp2K"
# Open-Meteo's forecast and place search are asked here too.
export SKYVANE_FORECAST_SERVICE="$service" SKYVANE_GEOCODING_SERVICE="$service"
serve() { echo "$1" >"$work/mode"; }
requests() { [ -f "$work/requests" ] && wc -l <"$work/requests" || echo 0; }
requests_reach() { [ "$(requests)" -ge "$1" ]; }

# --- asking the panel
status_rc=
ask_status() {
  "$skyvane" --status >"$work/status.json" 2>"$work/status.err"
  status_rc=$?
}
# status_is PYTHON_EXPRESSION: the last status line is one JSON object with
# exactly the six keys, in order, for which the expression on it (s) holds.
status_is() {
  python3 - "$work/status.json" "$1" <<'PYTHON'
import json, sys
lines = open(sys.argv[1], encoding="utf-8").read().splitlines()
if len(lines) != 1:
    sys.exit(1)
s = json.loads(lines[0])
if list(s) != ["source", "updated", "problem", "next", "fetched", "stale"]:
    sys.exit(1)
sys.exit(0 if eval(sys.argv[2]) else 1)
PYTHON
}
status_now_is() { ask_status && [ "$status_rc" -eq 0 ] && status_is "$1"; }
show_status() { cat "$work/status.json" "$work/status.err" 2>/dev/null; }

panels() { xdotool search --onlyvisible --name '^Form1$' 2>/dev/null | wc -l; }
one_panel() { [ "$(panels)" -eq 1 ]; }
panel_ended() { ! kill -0 "$panel_pid" 2>/dev/null; }

# later START_ARGS...: a later start; checks that it exits 0 within the
# hand-over limit and prints how long it took.
later() {
  local started took rc
  started=$(date +%s%N)
  "$skyvane" "$@" >"$work/later.out" 2>"$work/later.err"
  rc=$?
  took=$((($(date +%s%N) - started) / 1000000))
  echo "later start ${*:-(no options)}: exit $rc after $took ms"
  [ "$rc" -eq 0 ] || fail "a later start with ${*:-no options} exited $rc: $(cat "$work/later.err")"
  [ "$took" -le "$handover_limit_ms" ] ||
    fail "a later start with ${*:-no options} took $took ms"
}

# --- the tray icon and its menu
# The icon is a window of the panel's that the tray took in; the panel itself
# is taken in by openbox's frame.
tray_icon=
find_tray_icon() {
  local root w parent
  root=$(xwininfo -root | sed -n 's/.*Window id: \(0x[0-9a-f]*\).*/\1/p')
  for w in $(xdotool search --onlyvisible --pid "$panel_pid" 2>/dev/null); do
    [ "$w" = "$panel_window" ] && continue
    parent=$(xwininfo -id "$w" -tree 2>/dev/null | sed -n 's/.*Parent window id: \(0x[0-9a-f]*\).*/\1/p')
    if [ -n "$parent" ] && [ "$((parent))" -ne "$((root))" ]; then
      tray_icon=$w
      return 0
    fi
  done
  return 1
}
window_type_of() { xprop -id "$1" _NET_WM_WINDOW_TYPE 2>/dev/null; }
# shown_window TYPE: a viewable top-level window of the panel, other than the
# panel, whose window type is (tooltip) or is not (menu) a tooltip.
shown_window() {
  local w
  for w in $(xdotool search --onlyvisible --pid "$panel_pid" 2>/dev/null); do
    [ "$w" = "$panel_window" ] || [ "$w" = "$tray_icon" ] && continue
    if window_type_of "$w" | grep -q _NET_WM_WINDOW_TYPE_TOOLTIP; then
      [ "$1" = tooltip ] && return 0
    else
      [ "$1" = menu ] && return 0
    fi
  done
  return 1
}
menu_shown() { shown_window menu; }
menu_gone() { ! shown_window menu; }
tooltip_shown() { shown_window tooltip; }
# pointer_over_tray_icon X Y: the server has the pointer inside the tray
# icon, whose upper left corner is at X, Y.
pointer_over_tray_icon() {
  local X= Y= WIDTH= HEIGHT=
  eval "$(xdotool getwindowgeometry --shell "$tray_icon" 2>/dev/null | grep -E '^(WIDTH|HEIGHT)=')"
  eval "$(xdotool getmouselocation --shell 2>/dev/null | grep -E '^(X|Y)=')"
  [ -n "$X" ] && [ -n "$WIDTH" ] && [ "$X" -ge "$1" ] && [ "$X" -lt "$(($1 + WIDTH))" ] &&
    [ "$Y" -ge "$2" ] && [ "$Y" -lt "$(($2 + HEIGHT))" ]
}
grabs_free() { "$grab_probe" free; }
# wait_up_to SECONDS COMMAND...: true once COMMAND succeeds within SECONDS.
wait_up_to() {
  local end=$((SECONDS + $1))
  shift
  until "$@"; do
    [ "$SECONDS" -lt "$end" ] || return 1
    sleep 0.05
  done
}
keyboard_held() { "$grab_probe" keyboard-held; }
# menu_choose KEY...: opens the tray icon's menu with a right click and picks
# an item with the keys (Down from the top, Up from the bottom), then Return.
# Each step waits for what a person's hand meets: the click once no popup
# holds the pointer (a menu lets go of it only a moment after its window is
# gone) and the pointer rests on the icon; the keys once the open menu has
# taken the keyboard; the next step once the menu is gone and has let go.
menu_choose() {
  local x y
  x=$(xwininfo -id "$tray_icon" | sed -n 's/.*Absolute upper-left X: *//p')
  y=$(xwininfo -id "$tray_icon" | sed -n 's/.*Absolute upper-left Y: *//p')
  wait_for "the pointer and the keyboard to be free" grabs_free
  xdotool mousemove "$((x + 4))" "$((y + 4))"
  wait_for "the pointer on the tray icon" pointer_over_tray_icon "$x" "$y"
  xdotool click 3
  # A click on an icon that a tray took in only a moment ago can go
  # unanswered; a person clicks again, and so does the test, saying so.
  if ! wait_up_to 3 menu_shown; then
    echo "the tray icon did not answer the first right-click; clicking again"
    xdotool click 3
  fi
  wait_for "the tray menu" menu_shown
  wait_for "the tray menu to take the keyboard" keyboard_held
  xdotool key "$@" Return
  wait_for "the tray menu to close" menu_gone
  wait_for "the tray menu to let go of the pointer and the keyboard" grabs_free
}

default_x=1473
default_y=987
at_place() { read_geometry && [ "$X" -eq "$1" ] && [ "$Y" -eq "$2" ]; }

# ===== a panel that starts with a good forecast, at a saved place
serve good
mkdir -p "$(dirname "$settings")"
printf '[set]\nformX=3000\nformY=1500\n' >"$settings"
start_panel
wait_for "the saved place" at_place 200 100
ask_status
[ "$status_rc" -eq 0 ] || fail "--status exited $status_rc"
status_is "s['source'] == '$url' and s['updated'] and s['problem'] is None and s['next'] is None" ||
  fail "the status after a good start: $(show_status)"
echo "status after a good fetch: $(cat "$work/status.json")"
[ "$(requests)" -eq 1 ] || fail "$(requests) requests at start"

# The status is the tooltip over the panel.
xdotool mousemove "$((X + 200))" "$((Y + 45))"
sleep 0.1
xdotool mousemove "$((X + 202))" "$((Y + 46))"
wait_for "the status tooltip over the panel" tooltip_shown
xdotool mousemove 10 400

# ===== the tray
wait_for "the tray icon" find_tray_icon
echo "tray icon $tray_icon embedded in the tray"
menu_choose Down  # Refresh now
wait_for "the refresh from the tray" requests_reach 2
menu_choose Down Down  # Reset position
wait_for "the default place after Reset position" at_place "$default_x" "$default_y"
grep -q '^formX=' "$settings" && fail "Reset position kept the saved place"
menu_choose Up Up  # Start at login
wait_for "the autostart entry" test -f "$autostart"
grep -qxF "Exec=$skyvane --url \"$url\"" "$autostart" ||
  fail "the autostart entry runs: $(grep '^Exec=' "$autostart")"
grep -q '^\[Desktop Entry\]$' "$autostart" || fail "the autostart entry has no [Desktop Entry]"

# ===== later starts hand over and exit
before=$(requests)
later
wait_for "the refresh of a later start without options" requests_reach $((before + 1))
later --refresh
wait_for "the refresh of --refresh" requests_reach $((before + 2))
one_panel || fail "$(panels) panels after later starts"
kill -0 "$panel_pid" || fail "the first panel ended"

# --dump-controls is a start of its own, whatever runs
"$skyvane" --url "$url" --dump-controls >"$work/dump.out" 2>"$work/dump.err" ||
  fail "--dump-controls beside a running panel exited $?"
[ "$(wc -l <"$work/dump.out")" -eq 29 ] || fail "--dump-controls printed $(wc -l <"$work/dump.out") lines"

# ===== a failed refresh: the columns stay, the status says why
status_now_is "s['problem'] is None" || fail "a problem before the failure: $(show_status)"
updated=$(python3 -c 'import json,sys; print(json.load(open(sys.argv[1]))["updated"])' "$work/status.json")
serve bad
before=$(requests)
later --refresh
wait_for "the failed refresh" requests_reach $((before + 1))
failed() { status_now_is "s['problem'] is not None"; }
wait_for "the status to tell the failure" failed
status_is "s['updated'] == '$updated' and 'stopped at column 0' in s['problem']" ||
  fail "the status after a failed fetch: $(show_status)"
echo "status after a failed fetch: $(cat "$work/status.json")"
xdotool mousemove "$((X + 200))" "$((Y + 45))"
sleep 0.1
xdotool mousemove "$((X + 202))" "$((Y + 46))"
wait_for "the status tooltip after the failure" tooltip_shown
xdotool mousemove 10 400
grep -q 'forecast refresh stopped at column 0' "$work/panel.log" ||
  fail "no line on standard error for the failed refresh"

# ===== --refresh-minutes 1: a fetch at once without an answer, the retry a
# minute later with one
serve drop
before=$(requests)
later --refresh-minutes 1
wait_for "the fetch of --refresh-minutes" requests_reach $((before + 1))
grep -qx 'refreshMinutes=1' "$settings" || fail "the interval was not kept: $(cat "$settings")"
no_answer() { status_now_is "s['problem'] is not None and s['next'] is not None"; }
wait_for "the status after a fetch without an answer" no_answer
echo "status after a fetch without an answer: $(cat "$work/status.json")"
serve good
saved_deadline=$deadline_seconds
deadline_seconds=$minute_deadline
wait_for "the retry a minute later" requests_reach $((before + 2))
updated_again() { status_now_is "s['problem'] is None and s['updated'] != '$updated'"; }
wait_for "the status after the retry" updated_again
deadline_seconds=$saved_deadline
echo "status after the planned retry: $(cat "$work/status.json")"

# ===== --location of a later start: a place that cannot be looked up is
# the running panel's problem to report; a place is kept and its forecast
# asked for at once, instead of the address of --url
before=$(requests)
later --location Atlantis
wait_for "the search for the place" requests_reach $((before + 1))
tail -1 "$work/requests" | grep -q '^/v1/search?' || fail "the search asked $(tail -1 "$work/requests")"
not_found() { status_now_is "'Atlantis' in (s['problem'] or '') and s['source'] == '$url'"; }
wait_for "the status to tell the place was not found" not_found
grep -q '^latitude=' "$settings" && fail "a place that was not found was kept"
later --location 52.52,13.41
wait_for "the forecast of the place" requests_reach $((before + 2))
tail -1 "$work/requests" | grep -q '^/v1/forecast?latitude=52.52&' ||
  fail "the place's forecast asked $(tail -1 "$work/requests")"
grep -qx 'latitude=52.52' "$settings" || fail "the place was not kept: $(cat "$settings")"
on_place() { status_now_is "'52.52' in s['source']"; }
wait_for "the place as the source" on_place

# ===== --url and --reset-position of a later start
printf 'formX=3000\nformY=1500\n' >>"$settings"
later --url "$service/other" --reset-position
on_other() { status_now_is "s['source'] == '$service/other'"; }
wait_for "the new address" on_other
tail -1 "$work/requests" | grep -qx '/other' || fail "the last request was $(tail -1 "$work/requests")"
grep -q '^formX=' "$settings" && fail "--reset-position of a later start kept the saved place"
grep -qxF "Exec=$skyvane --url $service/other" "$autostart" ||
  fail "the autostart entry was not made to follow --url: $(grep '^Exec=' "$autostart")"

# ===== --quit
later --quit
wait_for "the panel to end" panel_ended
[ -e "$XDG_RUNTIME_DIR/skyvane-$(sed 's/^://' <<<"$DISPLAY").sock" ] &&
  fail "the socket is left after --quit"
ask_status
[ "$status_rc" -eq 1 ] || fail "--status without a panel exited $status_rc"
"$skyvane" --quit 2>/dev/null
[ $? -eq 1 ] || fail "--quit without a panel did not exit 1"

# ===== a killed panel's socket is taken over
start_panel
kill -9 "$panel_pid"
wait "$panel_pid" 2>/dev/null
ls "$XDG_RUNTIME_DIR"/skyvane-*.sock >/dev/null 2>&1 || fail "a killed panel left no socket to take over"
start_panel
ask_status
[ "$status_rc" -eq 0 ] || fail "no status from the panel that took the socket over"
later --quit
wait_for "the panel to end" panel_ended

# ===== two starts at the same moment: one panel
"$skyvane" --url "$url" >"$work/first.log" 2>&1 &
first=$!
pids+=("$first")
"$skyvane" --url "$url" >"$work/second.log" 2>&1 &
second=$!
pids+=("$second")
wait_for "a panel of the two starts" one_panel
sleep 1
one_panel || fail "$(panels) panels from two starts at once"
alive=0
for pid in "$first" "$second"; do kill -0 "$pid" 2>/dev/null && alive=$((alive + 1)); done
[ "$alive" -eq 1 ] || fail "$alive processes left of two starts at once"
"$skyvane" --quit || fail "--quit after two starts"

# ===== a tray menu opened as soon as the icon lets it, while the first
# forecast is on its way, stays open when the panel shows with it
serve hold
before=$(requests)
"$skyvane" --url "$url" >"$work/panel.log" 2>&1 &
panel_pid=$!
pids+=("$panel_pid")
panel_window=
wait_for "the first fetch of the start" requests_reach $((before + 1))
early_menu=
if find_tray_icon; then
  x=$(xwininfo -id "$tray_icon" | sed -n 's/.*Absolute upper-left X: *//p')
  y=$(xwininfo -id "$tray_icon" | sed -n 's/.*Absolute upper-left Y: *//p')
  xdotool mousemove "$((x + 4))" "$((y + 4))"
  wait_for "the pointer on the tray icon" pointer_over_tray_icon "$x" "$y"
  xdotool click 3
  wait_for "the tray menu during the first fetch" menu_shown
  early_menu=yes
fi
serve good
panel_shown() {
  panel_window=$(xdotool search --all --onlyvisible --pid "$panel_pid" --name '^Form1$' 2>/dev/null |
    head -1)
  [ -n "$panel_window" ]
}
wait_for "the panel after the first forecast" panel_shown
if [ -n "$early_menu" ]; then
  menu_shown || fail "the tray menu opened during the first fetch closed when the panel showed"
  xdotool key Escape
  wait_for "the early tray menu to close" menu_gone
  wait_for "the early tray menu to let go" grabs_free
fi
wait_for "the tray icon once the panel shows" find_tray_icon
echo "a tray menu during the first fetch: ${early_menu:-no, the icon shows with the panel}"
"$skyvane" --quit || fail "--quit after the early tray menu"
wait_for "the panel to end" panel_ended

# ===== a tray that comes after the panel (a login that starts both at once),
# and the tray's Quit
kill "$tray_pid"
wait "$tray_pid" 2>/dev/null
start_panel
start_tray
wait_for "the tray icon in a tray that came later" find_tray_icon
menu_choose Up Up  # Start at login, checked since before: off
wait_for "the autostart entry to go" test ! -f "$autostart"
menu_choose Up  # Quit
wait_for "the panel to end from the tray" panel_ended

if [ "$failures" -ne 0 ]; then
  echo "--- panel log" >&2
  cat "$work/panel.log" >&2
  exit 1
fi
echo "commands test passed"
