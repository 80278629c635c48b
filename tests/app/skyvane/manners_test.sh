#!/usr/bin/env bash
# The real panel among other windows under openbox, on a virtual X display:
# the window manager hints as openbox keeps them (read with xprop), the
# keyboard focus staying on the window that had it when the panel appears
# and when it is clicked, the panel below that window and on every desktop,
# and the tooltip with the whole of a caption that is shown cut.
#
#   manners_test.sh SKYVANE FORECAST_JSON
#
# The hints as read are printed, for the record.
set -uo pipefail

skyvane=$1
forecast=$2

source "$(dirname "$0")/x_session.bash"

# The forecast with a weather text far too long for the first column.
long_text="Thunderstorms turning to heavy rain in the evening"
python3 - "$forecast" "$long_text" >"$work/forecast.json" <<'PYTHON' || die "cannot write the forecast"
import json, sys
document = json.load(open(sys.argv[1], encoding='utf-8'))
document['data'][0]['wea'] = sys.argv[2]
print(json.dumps(document, ensure_ascii=False))
PYTHON

start_display
start_openbox
start_forecast_server "$work/forecast.json"
export XDG_CONFIG_HOME="$work/config"
export XDG_CACHE_HOME="$work/cache"
settings="$XDG_CONFIG_HOME/Skyvane/Skyvane.conf"

hex() { printf '0x%x' "$1"; }
focused() { xdotool getwindowfocus 2>/dev/null; }
active() { xprop -root _NET_ACTIVE_WINDOW 2>/dev/null | sed -n 's/.*window id # //p'; }
viewable() { xwininfo -id "$1" 2>/dev/null | grep -q 'Map State: IsViewable'; }
hidden() { ! viewable "$1"; }

# --- a window of the user's that has the keyboard focus
holder_name=skyvane-focus-holder
xev -name "$holder_name" -geometry 400x300+100+100 >/dev/null 2>&1 &
pids+=($!)
holder=
holder_focused() {
  holder=$(xdotool search --onlyvisible --name "^$holder_name\$" 2>/dev/null | head -1)
  [ -n "$holder" ] && [ "$(focused)" = "$holder" ] && [ "$(active)" = "$(hex "$holder")" ]
}
wait_for "the user's window to have the focus" holder_focused

# check_focus WHEN: the user's window still has the focus and is the active
# window.
check_focus() {
  local now_focused now_active
  now_focused=$(focused)
  now_active=$(active)
  if [ "$now_focused" = "$holder" ] && [ "$now_active" = "$(hex "$holder")" ]; then
    echo "focus $1: still on the user's window $(hex "$holder") (_NET_ACTIVE_WINDOW $now_active)"
  else
    fail "focus $1: on $(hex "${now_focused:-0}"), active $now_active, not the user's $(hex "$holder")"
  fi
}

# check_below WHEN: the panel lies below the user's window in openbox's
# stacking order (bottom first).
check_below() {
  local order
  order=$(xprop -root _NET_CLIENT_LIST_STACKING | sed 's/.*# //; s/,//g')
  local panel_at=-1 holder_at=-1 i=0 id
  for id in $order; do
    [ "$((id))" -eq "$panel_window" ] && panel_at=$i
    [ "$((id))" -eq "$holder" ] && holder_at=$i
    i=$((i + 1))
  done
  [ "$panel_at" -ge 0 ] && [ "$panel_at" -lt "$holder_at" ] ||
    fail "stacking $1: the panel is not below the user's window ($order)"
}

# --- the panel appears
start_panel
# Openbox writes the frame extents and its own reading of the state while it
# takes the window on, before it maps it.
managed() { xprop -id "$panel_window" _NET_FRAME_EXTENTS 2>/dev/null | grep -q '='; }
wait_for "openbox to manage the panel" managed
hints=$(xprop -id "$panel_window" WM_CLASS WM_NAME _NET_WM_NAME _NET_WM_STATE _NET_WM_DESKTOP \
  WM_HINTS WM_PROTOCOLS)
echo "--- the panel's hints as read with xprop under openbox"
echo "$hints"
echo "---"

has_hint() { grep -qE "$1" <<<"$hints" || fail "$2"; }
has_hint '^WM_CLASS\(STRING\) = "skyvane", "skyvane"$' 'WM_CLASS is not "skyvane"'
has_hint '^WM_NAME\(STRING\) = "Form1"$' 'the title is not "Form1"'
has_hint '^_NET_WM_NAME\(UTF8_STRING\) = "Form1"$' 'the title is not "Form1"'
has_hint '^_NET_WM_STATE\(ATOM\) = .*_NET_WM_STATE_SKIP_TASKBAR' 'the panel is in the task bar'
has_hint '^_NET_WM_STATE\(ATOM\) = .*_NET_WM_STATE_SKIP_PAGER' 'the panel is in the pager'
has_hint '^_NET_WM_STATE\(ATOM\) = .*_NET_WM_STATE_BELOW' 'the panel is not kept below'
has_hint '^_NET_WM_DESKTOP\(CARDINAL\) = 4294967295$|_NET_WM_STATE_STICKY' \
  'the panel is not on every desktop'
has_hint 'Client accepts input or input focus: False' 'WM_HINTS let the panel take the focus'
grep -q WM_TAKE_FOCUS <<<"$hints" && fail "WM_PROTOCOLS offer WM_TAKE_FOCUS"
check_below "after the panel appeared"

# --- the tooltip over the cut caption of Label2(0), at 8, 24 in the panel;
# showing it also tells that the panel is long past its start
tooltip=
tooltip_shown() {
  local id
  for id in $(xdotool search --onlyvisible --pid "$panel_pid" 2>/dev/null); do
    [ "$id" = "$panel_window" ] && continue
    xprop -id "$id" _NET_WM_WINDOW_TYPE 2>/dev/null | grep -q _NET_WM_WINDOW_TYPE_TOOLTIP &&
      { tooltip=$id; return 0; }
  done
  return 1
}
xdotool mousemove "$((X + 12))" "$((Y + 30))"
sleep 0.1
xdotool mousemove "$((X + 14))" "$((Y + 31))"
wait_for "the tooltip of the cut caption" tooltip_shown
echo "tooltip window $(hex "$tooltip") shown over the panel"
check_focus "after the panel appeared"

# --- a click on the cut caption: the press hides the tooltip, which tells
# that the panel has taken it
xdotool click 1
wait_for "the press to hide the tooltip" hidden "$tooltip"
check_focus "after a click on a caption"

# --- a click on the bare surface, which starts a drag and saves the place
xdotool mousemove "$((X + 3))" "$((Y + 30))"
xdotool mousedown 1
saved() { grep -q '^formX=' "$settings" 2>/dev/null; }
wait_for "the press on the bare surface to reach the panel" saved
xdotool mouseup 1
# The window manager's move ends with the release; its last word on the focus
# would come with it.
sleep 0.5
check_focus "after a click on the bare surface"
check_below "after the clicks"

# --- every desktop: on the next one the user's window hides, the panel stays
desktops=$(xdotool get_num_desktops)
if [ "${desktops:-1}" -lt 2 ]; then
  fail "openbox offers only ${desktops:-1} desktop"
else
  xdotool set_desktop 1
  wait_for "the user's window to leave with its desktop" hidden "$holder"
  viewable "$panel_window" || fail "the panel is not shown on the second desktop"
  xdotool set_desktop 0
  wait_for "the user's window to come back" viewable "$holder"
fi

stop_panel
if [ "$failures" -ne 0 ]; then
  echo "--- panel log" >&2
  cat "$work/panel.log" >&2
  exit 1
fi
echo "window manners test passed"
