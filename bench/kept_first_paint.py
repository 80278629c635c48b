#!/usr/bin/env python3
"""Start to first show of the panel with a kept forecast and a service that
refuses: starts the program RUNS times (11 by default) on its own Xvfb and
reports each time and the median, from the start of the process to its
window being visible (xdotool, polled every 2 ms). Extra arguments replace
the place the panel is started for, e.g. `--url file:///...` for a
baseline without a kept forecast.

usage: kept_first_paint.py PATH_TO_SKYVANE [OPTION...]
"""
import datetime
import json
import os
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
display = subprocess.Popen(["Xvfb", "-displayfd", "1", "-screen", "0", "1024x768x24", "-nolisten",
                            "tcp"], stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
env = dict(os.environ, DISPLAY=":" + display.stdout.readline().strip(),
           XDG_RUNTIME_DIR=os.path.join(w, "runtime"), XDG_CONFIG_HOME=os.path.join(w, "config"),
           XDG_CACHE_HOME=os.path.join(w, "cache"),
           SKYVANE_FORECAST_SERVICE="http://127.0.0.1:9")  # nothing listens there
times = []
try:
    for _ in range(int(os.environ.get("RUNS", "11"))):
        started = time.monotonic()
        process = subprocess.Popen([panel] + options, env=env, stderr=subprocess.DEVNULL)
        while not subprocess.run(["xdotool", "search", "--onlyvisible", "--pid", str(process.pid),
                                  "--name", "^Form1$"], env=env, capture_output=True).stdout.strip():
            time.sleep(0.002)
        times.append((time.monotonic() - started) * 1000)
        process.terminate()
        process.wait()
finally:
    display.kill()
    display.wait()
print("start to first show (ms):", " ".join("%.0f" % t for t in times),
      "- median %.0f" % statistics.median(times))
