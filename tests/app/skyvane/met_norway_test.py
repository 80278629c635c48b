#!/usr/bin/env python3
"""Runs the panel program against Open-Meteo and MET Norway served on
loopback (SKYVANE_FORECAST_SERVICE, SKYVANE_METNO_SERVICE) and checks MET
Norway as the second source and its terms: Open-Meteo failing and MET Norway
answering shows MET Norway's days and the status names both; --source
met-norway never asks Open-Meteo; every MET Norway request carries the
User-Agent and at most 4 decimals; a running panel sends If-Modified-Since
and keeps its columns on a 304, sends nothing before Retry-After or Expires.

usage: met_norway_test.py PATH_TO_SKYVANE RECORDINGS_FOLDER
"""
import email.utils
import http.server
import json
import os
import subprocess
import sys
import tempfile
import threading
import time
import urllib.parse

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
from program_checks import RUN_TIME_LIMIT, Checks, run_without_display  # noqa: E402

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


class Service(http.server.BaseHTTPRequestHandler):
    """Open-Meteo's forecast and MET Norway's complete product, as chosen."""

    # path -> (status, extra headers, body bytes)
    answers = {}
    asked = []  # (path, query, headers) of every request
    lock = threading.Lock()

    def do_GET(self):
        url = urllib.parse.urlsplit(self.path)
        with Service.lock:
            Service.asked.append((url.path, dict(urllib.parse.parse_qsl(url.query)),
                                  dict(self.headers.items())))
            status, headers, body = Service.answers.get(url.path, (404, {}, b"{}"))
        self.send_response(status)
        self.send_header("Content-Type", "application/json")
        for name, value in headers.items():
            self.send_header(name, value)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def log_message(self, *args):
        pass


def met_asked():
    with Service.lock:
        return [(q, h) for p, q, h in Service.asked if p == MET_PATH]


def om_asked():
    with Service.lock:
        return [q for p, q, _ in Service.asked if p == OM_PATH]


def columns(dump):
    controls = {}
    for line in dump.splitlines():
        control = json.loads(line)
        controls[(control["control"], control["index"])] = control
    shown = []
    for c in range(7):
        picture = controls[("Image1", c)]["picture"]
        shown.append((controls[("Label1", c)]["caption"], controls[("Label2", c)]["caption"],
                      os.path.basename(picture) if picture else None,
                      controls[("Label3", c)]["caption"]))
    return shown


def main():
    checks = Checks()
    check = checks.check
    with open(os.path.join(RECORDINGS, "shanghai.json"), "rb") as f:
        shanghai = f.read()
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Service)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    service = "http://127.0.0.1:%d" % server.server_address[1]
    work = tempfile.TemporaryDirectory()
    runtime = os.path.join(work.name, "runtime")
    os.mkdir(runtime, 0o700)

    def env(config):
        return {"XDG_CONFIG_HOME": os.path.join(work.name, config), "XDG_RUNTIME_DIR": runtime,
                "TZ": "Asia/Shanghai", "LANG": "C.UTF-8", "LC_ALL": None, "LC_MESSAGES": None,
                "LANGUAGE": None, "SKYVANE_FORECAST_SERVICE": service,
                "SKYVANE_GEOCODING_SERVICE": service, "SKYVANE_METNO_SERVICE": service}

    def serve(om, met):
        with Service.lock:
            Service.answers = {OM_PATH: om, MET_PATH: met}
            Service.asked = []

    unavailable = (503, {}, b"<html>busy</html>")
    met_ok = (200, {"Last-Modified": LAST_MODIFIED, "Expires": http_date(-60)}, shanghai)

    def check_terms(name):
        for query, headers in met_asked():
            check(name + ": User-Agent", headers.get("User-Agent", "").startswith("skyvane/"),
                  True)
            check(name + ": at most 4 decimals",
                  [len(query[k].partition(".")[2]) <= 4 for k in ("lat", "lon")], [True, True])

    # Open-Meteo unavailable: MET Norway answers in the same refresh.
    serve(unavailable, met_ok)
    out, err, status = run_without_display(
        [PANEL, "--dump-controls", "--location", "31.222222,121.458056"], text=True,
        env_changes=env("auto"))
    check("fallback: exit and stderr", (status, err), (0, ""))
    check("fallback: Open-Meteo first", len(om_asked()), 1)
    check("fallback: MET Norway's place", [q for q, _ in met_asked()],
          [{"lat": "31.2222", "lon": "121.4581"}])
    check("fallback: Shanghai's own days", columns(out), SHANGHAI_COLUMNS)
    check_terms("fallback")

    # --source met-norway never asks Open-Meteo.
    serve((200, {}, b"{}"), met_ok)
    out, err, status = run_without_display(
        [PANEL, "--dump-controls", "--source", "met-norway", "--location", "31.2222,121.4581"],
        text=True, env_changes=env("pinned"))
    check("pinned: exit and stderr", (status, err), (0, ""))
    check("pinned: Open-Meteo not asked", om_asked(), [])
    check("pinned: columns", columns(out), SHANGHAI_COLUMNS)
    check_terms("pinned")

    # A running panel: the status, 304, 429 and Expires.
    serve(unavailable, met_ok)
    panel_env = dict(os.environ)
    for name in ("DISPLAY", "WAYLAND_DISPLAY"):
        panel_env.pop(name, None)
    for name, value in env("running").items():
        if value is None:
            panel_env.pop(name, None)
        else:
            panel_env[name] = value
    panel_env["QT_QPA_PLATFORM"] = "offscreen"
    panel = subprocess.Popen([PANEL, "--location", "31.2222,121.4581"], env=panel_env,
                             stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True)

    def later_start(*args):
        return subprocess.run([PANEL] + list(args), env=panel_env, capture_output=True,
                              text=True, timeout=RUN_TIME_LIMIT)

    def status_now():
        done = later_start("--status")
        return json.loads(done.stdout) if done.returncode == 0 and done.stdout else None

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

    try:
        deadline = time.time() + 20
        first = None
        while time.time() < deadline and not (first and first["updated"]):
            first = status_now()
            time.sleep(0.1)
        check("running: updated from MET Norway", bool(first and first["updated"]), True)
        source = first["source"] if first else ""
        check("running: the status names both",
              "MET Norway (Open-Meteo: HTTP 503 Service Unavailable)" in source, True)
        check("running: the credit", "Data from MET Norway" in source, True)

        serve(unavailable, (304, {"Expires": http_date(-60)}, b""))
        after = refreshed(first)
        check("304: If-Modified-Since sent",
              [h.get("If-Modified-Since") for _, h in met_asked()], [LAST_MODIFIED])
        check("304: the columns kept", (after or {}).get("problem", "none"), None)

        serve(unavailable, (429, {"Retry-After": "3"}, b"{}"))
        after = refreshed(after)
        check("429: asked once", len(met_asked()), 1)
        check("429: said", "no request before" in (after or {}).get("source", ""), True)
        serve(unavailable, met_ok)
        after = refreshed(after)
        check("429: nothing asked before Retry-After", met_asked(), [])
        time.sleep(2.5)
        serve(unavailable, (200, {"Expires": http_date(3600)}, shanghai))
        after = refreshed(after)
        check("429: asked after Retry-After", len(met_asked()), 1)
        serve(unavailable, met_ok)
        after = refreshed(after)
        check("Expires: nothing asked before it", met_asked(), [])
        check("Expires: said", "not asked again before" in (after or {}).get("source", ""), True)
        check_terms("running")
    finally:
        later_start("--quit")
        try:
            panel.wait(timeout=10)
        except subprocess.TimeoutExpired:
            panel.kill()
            panel.wait()
    server.shutdown()
    return checks.finish()


if __name__ == "__main__":
    sys.exit(main())
