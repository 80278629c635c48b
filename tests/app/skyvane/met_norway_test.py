#!/usr/bin/env python3
"""Runs the panel program against Open-Meteo and MET Norway served on
loopback (SKYVANE_FORECAST_SERVICE, SKYVANE_METNO_SERVICE) and checks MET
Norway as the second source and its terms: Open-Meteo failing and MET Norway
answering shows MET Norway's days and the status names both; --source
met-norway never asks Open-Meteo; a kept place's time zone sets the days;
every MET Norway request carries the User-Agent and at most 4 decimals; a
running panel sends If-Modified-Since and keeps its columns on a 304, warns
once on a 203, names the User-Agent on a 403, sends nothing before
Retry-After or Expires, and a panel started again keeps to them.

usage: met_norway_test.py PATH_TO_SKYVANE RECORDINGS_FOLDER
"""
import email.utils
import json
import os
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
from program_checks import RUN_TIME_LIMIT, Checks, run_without_display  # noqa: E402
from loopback import asked, columns, serve, start  # noqa: E402

PANEL, RECORDINGS = sys.argv[1:3]
MET_PATH = "/weatherapi/locationforecast/2.0/complete"
OM_PATH = "/v1/forecast"
LAST_MODIFIED = "Tue, 01 Jun 2026 18:00:00 GMT"
# shanghai.json in Shanghai's own days: (day, the weather's short form,
# icon, temperature).
SHANGHAI_COLUMNS = [
    ("02号", "Rain", "yu.gif", "19℃-31℃"),
    ("3号", "Snow", "xue.gif", "13℃-34℃"),
    ("4号", "Storm", "lei.gif", "10℃-29℃"),
    ("5号", "Showers", "yu.gif", "15℃-28℃"),
    ("6号", "Fog", "wu.gif", "5℃-23℃"),
    ("7号", "Cloudy", "yun.gif", "21℃-23℃"),
    ("8号", "Snow", "xue.gif", "21℃-23℃"),
]


def http_date(seconds_from_now):
    return email.utils.formatdate(time.time() + seconds_from_now, usegmt=True)


def met_asked():
    return asked(MET_PATH)


def om_asked():
    return [q for q, _ in asked(OM_PATH)]


def main():
    checks = Checks()
    check = checks.check
    with open(os.path.join(RECORDINGS, "shanghai.json"), "rb") as f:
        shanghai = f.read()
    server, service, work, runtime = start()

    def env(config, tz="Asia/Shanghai"):
        return {"XDG_CONFIG_HOME": os.path.join(work.name, config),
                "XDG_CACHE_HOME": os.path.join(work.name, config + "-cache"),
                "XDG_RUNTIME_DIR": runtime, "TZ": tz, "LANG": "C.UTF-8", "LC_ALL": None,
                "LC_MESSAGES": None, "LANGUAGE": None, "SKYVANE_FORECAST_SERVICE": service,
                "SKYVANE_GEOCODING_SERVICE": service, "SKYVANE_METNO_SERVICE": service}

    def serve_both(om, met):
        serve({OM_PATH: om, MET_PATH: met})

    unavailable = (503, {}, b"<html>busy</html>")
    met_ok = (200, {"Last-Modified": LAST_MODIFIED, "Expires": http_date(-60)}, shanghai)

    def check_terms(name):
        for query, headers in met_asked():
            check(name + ": User-Agent", headers.get("User-Agent", "").startswith("skyvane/"),
                  True)
            check(name + ": at most 4 decimals",
                  [len(query[k].partition(".")[2]) <= 4 for k in ("lat", "lon")], [True, True])

    # Open-Meteo unavailable: MET Norway answers in the same refresh.
    serve_both(unavailable, met_ok)
    out, err, status = run_without_display(
        [PANEL, "--dump-controls", "--location", "31.222222,121.458056"], text=True,
        env_changes=env("auto"))
    check("fallback: exit and stderr", (status, err), (0, ""))
    check("fallback: Open-Meteo first", len(om_asked()), 1)
    check("fallback: MET Norway's place", [q for q, _ in met_asked()],
          [{"lat": "31.2222", "lon": "121.4581"}])
    check("fallback: Shanghai's own days", columns(out), SHANGHAI_COLUMNS)
    check_terms("fallback")

    # --source met-norway never asks Open-Meteo; a later start keeps to the
    # terms the last one left: a 304 shows the answer kept with its
    # Last-Modified, and before Expires nothing is asked at all.
    # Converted exactly from MET Norway's Celsius: 18.6-31.4 ℃, 12.5-33.5 ℃.
    fahrenheit = [c[:3] + (t,) for c, t in zip(SHANGHAI_COLUMNS, ("65℉-89℉", "55℉-92℉"))]
    restarts = [
        # name, MET Norway's answer, requests, If-Modified-Since, first columns
        ("pinned", met_ok, 1, None, SHANGHAI_COLUMNS),
        ("304 after a restart", (304, {"Expires": http_date(-60)}, b""), 1, LAST_MODIFIED,
         SHANGHAI_COLUMNS),
        ("Fahrenheit", (200, {"Expires": http_date(3600)}, shanghai), 1, None, fahrenheit),
        ("a restart before Expires", met_ok, 0, None, SHANGHAI_COLUMNS),
    ]
    for name, met, requests, since, shown in restarts:
        serve_both((200, {}, b"{}"), met)
        units = ["--units", "fahrenheit" if name == "Fahrenheit" else "celsius"]
        out, err, status = run_without_display(
            [PANEL, "--dump-controls", "--source", "met-norway", "--location", "31.2222,121.4581"]
            + units, text=True, env_changes=env("pinned"))
        check(name + ": exit and stderr", (status, err), (0, ""))
        check(name + ": Open-Meteo not asked", om_asked(), [])
        check(name + ": requests", len(met_asked()), requests)
        if since:
            check(name + ": If-Modified-Since", [h.get("If-Modified-Since") for _, h in met_asked()],
                  [since])
        check(name + ": columns", columns(out)[:len(shown)], shown)
        check_terms(name)

    # The kept place's own time zone counts its days, whatever the system's;
    # an unknown one is said once and the system's counts them.
    zones = [
        ("kept zone", "Asia/Shanghai", "America/Bogota", ""),
        ("unknown kept zone", "Mars/Olympus", "Asia/Shanghai",
         "skyvane: the kept time zone \"Mars/Olympus\" of Shanghai is unknown; its days follow "
         "the system's time zone\n"),
    ]
    for name, kept_zone, system_zone, said in zones:
        config = os.path.join(work.name, name.replace(" ", "-"), "Skyvane")
        os.makedirs(config)
        with open(os.path.join(config, "Skyvane.conf"), "w", encoding="utf-8") as f:
            f.write("[set]\nlocation=Shanghai\nlatitude=31.2222\nlongitude=121.4581\n"
                    "timezone=%s\nsource=met-norway\n" % kept_zone)
        serve_both((200, {}, b"{}"), met_ok)
        out, err, status = run_without_display(
            [PANEL, "--dump-controls"], text=True,
            env_changes=env(name.replace(" ", "-"), tz=system_zone))
        check(name + ": exit and stderr", (status, err), (0, said))
        check(name + ": Shanghai's own days", columns(out), SHANGHAI_COLUMNS)

    # A running panel: the status, then one refresh per row.
    panel_env = dict(os.environ)
    for name in ("DISPLAY", "WAYLAND_DISPLAY"):
        panel_env.pop(name, None)
    for name, value in env("running").items():
        if value is None:
            panel_env.pop(name, None)
        else:
            panel_env[name] = value
    panel_env["QT_QPA_PLATFORM"] = "offscreen"

    def later_start(*args):
        return subprocess.run([PANEL] + list(args), env=panel_env, capture_output=True,
                              text=True, timeout=RUN_TIME_LIMIT)

    def status_now():
        done = later_start("--status")
        return json.loads(done.stdout) if done.returncode == 0 and done.stdout else None

    def started():
        """Starts the panel and waits for its first refresh's status."""
        panel = subprocess.Popen([PANEL, "--location", "31.2222,121.4581"], env=panel_env,
                                 stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True)
        deadline = time.time() + 20
        first = None
        while time.time() < deadline and not (first and first["updated"]):
            first = status_now()
            time.sleep(0.1)
        return panel, first

    def quit_panel(panel):
        later_start("--quit")
        try:
            return panel.communicate(timeout=10)[1]
        except subprocess.TimeoutExpired:
            panel.kill()
            return panel.communicate()[1]

    def refreshed(before):
        """Asks for a refresh a second after the last, then waits for its status."""
        time.sleep(1.1)  # the update time is told to the second
        later_start("--refresh")
        deadline = time.time() + 20
        while time.time() < deadline:
            now = status_now()
            if now and now != before:
                return now
            time.sleep(0.1)
        return None

    deprecated = (203, {"Expires": http_date(-60)}, shanghai)
    steps = [
        # name, seconds to wait first, MET Norway's answer, requests to it,
        # what the status's source says, whether the refresh updated
        ("304", 0, (304, {"Expires": http_date(-60)}, b""), 1, "unchanged", True),
        ("203", 0, deprecated, 1, "deprecated or in beta", True),
        ("203 again", 0, deprecated, 1, "deprecated or in beta", True),
        ("403", 0, (403, {}, b"{}"), 1, "User-Agent it does not accept", False),
        ("429", 0, (429, {"Retry-After": "3"}, b"{}"), 1, "no request before", True),
        ("before Retry-After", 0, met_ok, 0, "no request before", True),
        ("after Retry-After", 2.5, (200, {"Expires": http_date(3600)}, shanghai), 1, "", True),
        ("before Expires", 0, met_ok, 0, "not asked again before", True),
    ]
    serve_both(unavailable, met_ok)
    panel, first = started()
    try:
        check("running: updated from MET Norway", bool(first and first["updated"]), True)
        source = first["source"] if first else ""
        check("running: the status names both",
              "MET Norway (Open-Meteo: HTTP 503 Service Unavailable)" in source, True)
        check("running: the credit", "Data from MET Norway" in source, True)
        after = first
        for name, wait, met, requests, said, updated in steps:
            time.sleep(wait)
            serve_both(unavailable, met)
            after = refreshed(after)
            check(name + ": requests", len(met_asked()), requests)
            if name == "304":
                check("304: If-Modified-Since sent",
                      [h.get("If-Modified-Since") for _, h in met_asked()], [LAST_MODIFIED])
            check(name + ": said", said in (after or {}).get("source", ""), True)
            if name == "403":
                check("403: names the coordinates", "coordinates" in (after or {}).get("source", ""), True)
            check(name + ": updated", (after or {}).get("problem", "none") is None, updated)
            check_terms(name)
    finally:
        err = quit_panel(panel)
    check("203: warned once", err.count("deprecated or in beta"), 1)

    # Started again before Expires: the kept answer, and not one request.
    serve_both(unavailable, met_ok)
    panel, first = started()
    try:
        check("restart: nothing asked before Expires", met_asked(), [])
        check("restart: said", "not asked again before" in (first or {}).get("source", ""), True)
        check("restart: updated", bool(first and first["updated"]), True)
    finally:
        quit_panel(panel)
    server.shutdown()
    return checks.finish()


if __name__ == "__main__":
    sys.exit(main())
