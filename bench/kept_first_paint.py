#!/usr/bin/env python3
"""Start to first paint of the panel with a kept forecast and no answering
service: starts the program RUNS times (11 by default) on its own Xvfb with
SKYVANE_TRACE_START set, and reports each time and the median, from just
before the process is started to the first paint of its window (the
program's own line on stderr, both taken on the monotonic clock). It does so
twice: with a service that refuses the connection, and with one that takes
the request and never answers. Extra arguments replace the place the panel
is started for, e.g. `--url file:///...` for a baseline without a kept
forecast.

usage: kept_first_paint.py PATH_TO_SKYVANE [OPTION...]
"""
import datetime
import json
import os
import re
import socket
import statistics
import subprocess
import sys
import tempfile
import time

panel = sys.argv[1]
options = sys.argv[2:] or ["--location", "52.52,13.41"]
work = tempfile.TemporaryDirectory()
w = work.name
today = datetime.date.today()
document = {"data": [{"wea": "W%d" % i, "wea_img": "qing", "tem1": "20℃", "tem2": "10℃"}
                     for i in range(7)]}
kept = {"format": "skyvane kept forecast 1", "source": "open-meteo",
        "place": {"name": "52.52,13.41", "latitude": 52.52, "longitude": 13.41},
        "fetched": "2026-01-01T10:00:00Z", "first_day": today.isoformat(),
        "document": json.dumps(document)}
os.makedirs(os.path.join(w, "cache", "skyvane"))
with open(os.path.join(w, "cache", "skyvane", "forecast-open-meteo.json"), "w") as f:
    json.dump(kept, f)
os.mkdir(os.path.join(w, "runtime"), 0o700)
# Takes connections into its backlog and never reads from them.
silent = socket.socket()
silent.bind(("127.0.0.1", 0))
silent.listen(64)
display = subprocess.Popen(["Xvfb", "-displayfd", "1", "-screen", "0", "1024x768x24", "-nolisten",
                            "tcp"], stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
env = dict(os.environ, DISPLAY=":" + display.stdout.readline().strip(),
           XDG_RUNTIME_DIR=os.path.join(w, "runtime"), XDG_CONFIG_HOME=os.path.join(w, "config"),
           XDG_CACHE_HOME=os.path.join(w, "cache"), SKYVANE_TRACE_START="1")
env.pop("QT_QPA_PLATFORM", None)
PAINTED = re.compile(r"skyvane: first paint at ([0-9.]+) ms of the monotonic clock")


def first_paint(service):
    started = time.monotonic()
    process = subprocess.Popen([panel] + options, env=dict(env, SKYVANE_FORECAST_SERVICE=service),
                               stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True)
    try:
        for line in process.stderr:
            painted = PAINTED.match(line)
            if painted:
                return float(painted.group(1)) - started * 1000
        raise SystemExit("the panel ended without painting")
    finally:
        process.terminate()
        process.wait()


try:
    for name, service in [("refused", "http://127.0.0.1:9"),
                          ("silent", "http://127.0.0.1:%d" % silent.getsockname()[1])]:
        times = [first_paint(service) for _ in range(int(os.environ.get("RUNS", "11")))]
        print("start to first paint, service %s (ms): %s - median %.0f" %
              (name, " ".join("%.0f" % t for t in times), statistics.median(times)), flush=True)
finally:
    display.kill()
    display.wait()
