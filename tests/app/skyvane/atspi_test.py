#!/usr/bin/env python3
"""Reads the running panel as a screen reader does, through the
accessibility bus: the panel program on a virtual X display with Qt's
accessibility bridge, against a recorded Open-Meteo answer served on
loopback, read back with Atspi once its refresh is done. The panel must be
one element with seven children, one phrase per day, and the status as its
description.

Runs inside its own D-Bus session (dbus-run-session), where the
accessibility bus and its registry are started on demand (at-spi2-core);
starts its own X server.

usage: dbus-run-session -- atspi_test.py PATH_TO_SKYVANE RECORDINGS_FOLDER
"""
import os
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
PANEL, RECORDINGS = sys.argv[1:3]
import http.server  # noqa: E402
import threading  # noqa: E402

import loopback  # noqa: E402
from program_checks import Checks, for_x_client  # noqa: E402

import gi  # noqa: E402

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi  # noqa: E402

DEADLINE_SECONDS = float(os.environ.get("SKYVANE_TEST_DEADLINE", "40"))
PANEL_NAME = "Seven-day weather forecast"
# forecast-berlin.json under en_GB: the whole weather texts, not the
# columns' short forms, and the temperatures with their unit.
PHRASES = [
    "Friday 29 May: Clear, high 25 degrees Celsius, low 15 degrees Celsius",
    "Saturday 30 May: Partly cloudy, high 27 degrees Celsius, low 15 degrees Celsius",
    "Sunday 31 May: Overcast, high 21 degrees Celsius, low 16 degrees Celsius",
    "Monday 1 June: Light rain, high 16 degrees Celsius, low 10 degrees Celsius",
    "Tuesday 2 June: Thunderstorm, high 30 degrees Celsius, low 25 degrees Celsius",
    "Wednesday 3 June: Fog, high 13 degrees Celsius, low -1 degrees Celsius",
    "Thursday 4 June: Light snow, high 3 degrees Celsius, low -4 degrees Celsius",
]


def wait_for(what, find):
    """Calls `find` until it returns something, within the deadline."""
    end = time.monotonic() + DEADLINE_SECONDS
    while time.monotonic() < end:
        found = find()
        if found:
            return found
        time.sleep(0.2)
    raise SystemExit("FAIL: timed out waiting for " + what)


def start_display(processes):
    """An Xvfb display on a number the server picks; returns ":N"."""
    read_end, write_end = os.pipe()
    processes.append(subprocess.Popen(
        ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1280x800x24", "-nolisten", "tcp",
         "-noreset"], pass_fds=[write_end], stderr=subprocess.DEVNULL))
    os.close(write_end)
    with os.fdopen(read_end) as pipe:
        number = pipe.readline().strip()
    if not number:
        raise SystemExit("FAIL: Xvfb did not start")
    return ":" + number


def panel_of(pid):
    """The panel's accessible element in the application of process `pid`."""
    desktop = Atspi.get_desktop(0)
    for i in range(desktop.get_child_count()):
        app = desktop.get_child_at_index(i)
        if app is None or app.get_process_id() != pid:
            continue
        for j in range(app.get_child_count()):
            window = app.get_child_at_index(j)
            if window is not None and window.get_name() == PANEL_NAME:
                return window
    return None


def main():
    if not os.environ.get("DBUS_SESSION_BUS_ADDRESS"):
        raise SystemExit("FAIL: run inside dbus-run-session")
    checks = Checks()
    check = checks.check
    processes = []
    work = tempfile.TemporaryDirectory()
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), loopback.Service)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    loopback.serve({"/v1/forecast": loopback.recorded(RECORDINGS, "forecast-berlin.json")})
    try:
        display = start_display(processes)
        os.environ["DISPLAY"] = display
        runtime = os.path.join(work.name, "runtime")
        os.mkdir(runtime, 0o700)
        env = {k: v for k, v in os.environ.items()
               if k not in ("LC_ALL", "LC_MESSAGES", "LANGUAGE", "WAYLAND_DISPLAY",
                            "QT_QPA_PLATFORM")}
        env.update({"LANG": "en_GB.UTF-8", "TZ": "Europe/Berlin",
                    "QT_LINUX_ACCESSIBILITY_ALWAYS_ON": "1", "QT_ACCESSIBILITY": "1",
                    "XDG_CONFIG_HOME": os.path.join(work.name, "config"),
                    "XDG_CACHE_HOME": os.path.join(work.name, "cache"),
                    "XDG_RUNTIME_DIR": runtime,
                    "SKYVANE_FORECAST_SERVICE": "http://127.0.0.1:%d" % server.server_address[1]})
        env = for_x_client(env)
        with open(os.path.join(work.name, "panel.log"), "w") as log:
            panel = subprocess.Popen([PANEL, "--location", "52.52437,13.41053"], env=env,
                                     stdout=log, stderr=subprocess.STDOUT)
        processes.append(panel)

        element = wait_for("the panel on the accessibility bus", lambda: panel_of(panel.pid))
        description = wait_for(
            "the panel's description after the refresh",
            lambda: "\nUpdated " in (element.get_description() or "") and
            element.get_description())
        lines = description.split("\n")
        check("description: the source", lines[0], "52.52437,13.41053")
        check("description: no problem", [l for l in lines if l.startswith("Problem")], [])
        days = [element.get_child_at_index(i) for i in range(element.get_child_count())]
        check("seven days, not their labels", len(days), 7)
        check("the day phrases", [day.get_name() for day in days], PHRASES)
        check("each day one element", [day.get_child_count() for day in days], [0] * 7)
        check("each day a list item", {day.get_role() for day in days}, {Atspi.Role.LIST_ITEM})
    finally:
        for process in reversed(processes):
            process.terminate()
        for process in processes:
            try:
                process.wait(timeout=10)
            except subprocess.TimeoutExpired:
                process.kill()
        server.shutdown()
        log_path = os.path.join(work.name, "panel.log")
        if os.path.exists(log_path) and os.path.getsize(log_path):
            print("--- panel output\n" + open(log_path).read(), file=sys.stderr)
    return checks.finish()


if __name__ == "__main__":
    sys.exit(main())
