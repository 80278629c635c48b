# What the panel's end-to-end tests share: a scratch folder cleaned up on
# exit, failure counting, waiting with a deadline, a virtual X display,
# openbox, and a loopback HTTP server that answers with a forecast. Sourced
# by the test scripts, not run.
#
# The script sets skyvane (the program) before it starts the panel. After
# sourcing: $work is the scratch folder, every process started through
# these functions is ended on exit, and fail/die/wait_for are ready. Every
# wait polls with a deadline (SKYVANE_TEST_DEADLINE seconds, 40 by default),
# so a slow machine only makes a test slower.

deadline_seconds=${SKYVANE_TEST_DEADLINE:-40}
work=$(mktemp -d)
pids=()
failures=0

cleanup() {
  local pid
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
  for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null; done
  rm -rf "$work"
}
trap cleanup EXIT

# fail MESSAGE: counts a failed check and goes on.
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

# die MESSAGE: ends the test, with the tail of every log in $work.
die() {
  echo "FAIL: $*" >&2
  for f in "$work"/*.log; do
    [ -s "$f" ] && { echo "--- $f" >&2; tail -20 "$f" >&2; }
  done
  exit 1
}

# wait_for DESCRIPTION COMMAND...: runs COMMAND until it succeeds or the
# deadline passes.
wait_for() {
  local what=$1
  shift
  local end=$((SECONDS + deadline_seconds))
  until "$@"; do
    [ $SECONDS -lt $end ] || die "timed out waiting for $what"
    sleep 0.1
  done
}

# start_display: an Xvfb screen of 1920 x 1080 on a display number the
# server picks; exports DISPLAY and leaves Qt free to choose xcb.
start_display() {
  exec 3>"$work/display"
  Xvfb -displayfd 3 -screen 0 1920x1080x24 -nolisten tcp -noreset >"$work/xvfb.log" 2>&1 &
  pids+=($!)
  exec 3>&-
  wait_for "Xvfb to pick a display" test -s "$work/display"
  export DISPLAY=":$(head -1 "$work/display")"
  unset WAYLAND_DISPLAY QT_QPA_PLATFORM
  wait_for "the display to answer" xdpyinfo >/dev/null 2>&1
}

# start_openbox: openbox managing the display, with its default settings.
start_openbox() {
  openbox --sm-disable >"$work/openbox.log" 2>&1 &
  pids+=($!)
  wm_ready() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; }
  wait_for "openbox to manage the display" wm_ready
}

# start_forecast_server FILE: answers every GET with FILE on a loopback port;
# sets url to the weather service's request on it.
start_forecast_server() {
  python3 -u - "$1" >"$work/port" 2>"$work/http.log" <<'PYTHON' &
import http.server, sys
body = open(sys.argv[1], 'rb').read()
class Handler(http.server.BaseHTTPRequestHandler):
    def do_GET(self):
        self.send_response(200)
        self.send_header('Content-Type', 'application/json')
        self.send_header('Content-Length', str(len(body)))
        self.end_headers()
        self.wfile.write(body)
server = http.server.HTTPServer(('127.0.0.1', 0), Handler)
print(server.server_address[1])
server.serve_forever()
PYTHON
  pids+=($!)
  wait_for "the forecast server" test -s "$work/port"
  url="http://127.0.0.1:$(head -1 "$work/port")/api?version=v1&appid=48157302&appsecret=Qw7rZp2K"
}

# start_panel [OPTION...]: starts $skyvane with --url $url and the options,
# its output in $work/panel.log, and waits until its window shows; sets
# panel_pid, panel_window (the X window id) and X, Y (read_geometry).
panel_pid=
panel_window=
X=
Y=
start_panel() {
  "$skyvane" --url "$url" "$@" >"$work/panel.log" 2>&1 &
  panel_pid=$!
  pids+=("$panel_pid")
  find_window() {
    kill -0 "$panel_pid" 2>/dev/null || die "the panel ended before showing its window"
    panel_window=$(xdotool search --all --onlyvisible --pid "$panel_pid" --name '^Form1$' 2>/dev/null |
      head -1)
    [ -n "$panel_window" ] && read_geometry
  }
  wait_for "the panel's window" find_window
}

stop_panel() {
  kill "$panel_pid" 2>/dev/null
  wait "$panel_pid" 2>/dev/null
}

# read_geometry: sets X and Y to the panel window's place on the screen.
read_geometry() {
  local out
  out=$(xdotool getwindowgeometry --shell "$panel_window" 2>/dev/null) || return 1
  X=$(sed -n 's/^X=//p' <<<"$out")
  Y=$(sed -n 's/^Y=//p' <<<"$out")
  [ -n "$X" ] && [ -n "$Y" ]
}

# Under AddressSanitizer: the X keyboard library copies keymap names with
# strndup from buffers that hold no terminating NUL, which is correct but
# trips the strict string check.
if [[ ${ASAN_OPTIONS:-} == *strict_string_checks=1* ]]; then
  export ASAN_OPTIONS=${ASAN_OPTIONS//strict_string_checks=1/strict_string_checks=0}
fi
