#!/usr/bin/env python3
"""Runs the panel program against recorded Open-Meteo answers served on
loopback (SKYVANE_FORECAST_SERVICE, SKYVANE_GEOCODING_SERVICE) and checks
what --dump-controls shows, what was asked and what was saved: a place
named with --location, coordinates, the saved place, the time-zone default,
and the failures (not found, out of range, no service, the error answer).

usage: open_meteo_test.py PATH_TO_SKYVANE RECORDINGS_FOLDER SAMPLE_FORECAST
"""
import configparser
import json
import os
import socket
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
from program_checks import Checks, run_without_display  # noqa: E402
from loopback import asked as loopback_asked, columns, recorded, serve, start  # noqa: E402

PANEL, RECORDINGS, SAMPLE = sys.argv[1:4]

CHOOSE_A_PLACE = "; start once with --location PLACE (a place name, or LAT,LON) to choose a place"
# The seven columns of forecast-berlin.json for an English-speaking user:
# (day, the weather's short form, icon, temperature).
BERLIN_COLUMNS = [
    ("Fri 29", "Clear", "qing.gif", "15℃-25℃"),
    ("Sat 30", "Cloudy", "yun.gif", "15℃-27℃"),
    ("Sun 31", "Overcast", "yin.gif", "16℃-21℃"),
    ("Mon 1", "Rain", "yu.gif", "10℃-16℃"),
    ("Tue 2", "Storm", "lei.gif", "25℃-30℃"),
    ("Wed 3", "Fog", "wu.gif", "-1℃-13℃"),
    ("Thu 4", "Snow", "xue.gif", "-4℃-3℃"),
]


def saved(config_home):
    """The keys of the group "set" in the settings file, or None without one."""
    path = os.path.join(config_home, "Skyvane", "Skyvane.conf")
    if not os.path.exists(path):
        return None
    parser = configparser.ConfigParser(interpolation=None)
    parser.optionxform = str
    parser.read(path, encoding="utf-8")
    if not parser.has_section("set"):
        return {}
    # A value with a comma is written in double quotes.
    return {key: value[1:-1] if len(value) > 1 and value[0] == value[-1] == '"' else value
            for key, value in parser["set"].items()}


def main():
    checks = Checks()
    check = checks.check
    server, service, work, runtime = start()

    def run(args, config, tz="Europe/Berlin", lang="C.UTF-8", forecast=(200, "forecast-berlin.json"),
            search=(200, "geocoding-berlin.json"), geocoding_service=None):
        serve({"/v1/forecast": recorded(RECORDINGS, forecast[1], forecast[0]),
               "/v1/search": recorded(RECORDINGS, search[1], search[0])})
        config_home = os.path.join(work.name, config)
        # A fresh cache for every start: no run shows a forecast another kept.
        env = {"XDG_CONFIG_HOME": config_home, "XDG_CACHE_HOME": tempfile.mkdtemp(dir=work.name),
               "XDG_RUNTIME_DIR": runtime, "TZ": tz, "LANG": lang, "LC_ALL": None,
               "LC_MESSAGES": None, "LANGUAGE": None,
               "SKYVANE_FORECAST_SERVICE": service, "SKYVANE_METNO_SERVICE": service,
               "SKYVANE_GEOCODING_SERVICE": geocoding_service or service}
        out, err, status = run_without_display([PANEL, "--dump-controls"] + args, text=True,
                                               env_changes=env)
        return (out, err, status, [(p, q) for p, q, _ in loopback_asked()],
                saved(config_home))

    def forecast_asked(latitude, longitude):
        return ("/v1/forecast", {"latitude": latitude, "longitude": longitude,
                                 "daily": "weather_code,temperature_2m_max,temperature_2m_min,"
                                          "precipitation_probability_max,precipitation_sum,"
                                          "wind_speed_10m_max,wind_direction_10m_dominant,"
                                          "sunrise,sunset,apparent_temperature_max,"
                                          "apparent_temperature_min",
                                 "hourly": "temperature_2m,precipitation_probability",
                                 "timezone": "auto", "forecast_days": "7"})

    def search_asked(name, language="en"):
        return ("/v1/search", {"name": name, "count": "1", "language": language, "format": "json"})

    # --location NAME: searched, shown, saved.
    out, err, status, asked, kept = run(["--location", "Berlin"], "named")
    check("--location Berlin: exit and stderr", (status, err), (0, ""))
    check("--location Berlin: requests", asked,
          [search_asked("Berlin"), forecast_asked("52.52437", "13.41053")])
    check("--location Berlin: columns", columns(out), BERLIN_COLUMNS)
    check("--location Berlin: saved", kept,
          {"location": "Berlin, Germany", "latitude": "52.52437", "longitude": "13.41053",
           "timezone": "Europe/Berlin"})

    # The saved place, at the next start: no search.
    out, err, status, asked, kept = run([], "named", tz="America/New_York")
    check("saved place: exit and stderr", (status, err), (0, ""))
    check("saved place: requests", asked, [forecast_asked("52.52437", "13.41053")])
    check("saved place: columns", columns(out), BERLIN_COLUMNS)

    # --url still comes first and is not saved.
    sample_url = "file://" + os.path.abspath(SAMPLE)
    out, err, status, asked, kept = run(["--url", sample_url], "named")
    check("--url beside a saved place: exit, stderr, requests", (status, err, asked), (0, "", []))
    check("--url beside a saved place: the sample's texts", columns(out)[0][1] != "Clear", True)
    check("--url beside a saved place: saved place kept", kept["location"], "Berlin, Germany")

    # --location "" forgets: the time zone's place takes over.
    out, err, status, asked, kept = run(["--location", ""], "named", tz="America/New_York")
    check("--location '': exit and stderr", (status, err), (0, ""))
    check("--location '': requests", asked, [forecast_asked("40.714167", "-74.006389")])
    check("--location '': nothing saved",
          {k: kept.get(k) for k in ("location", "latitude", "longitude", "timezone")},
          {"location": None, "latitude": None, "longitude": None, "timezone": None})

    # --location LAT,LON: no search.
    out, err, status, asked, kept = run(["--location", "52.52,13.41"], "coordinates")
    check("--location LAT,LON: exit and stderr", (status, err), (0, ""))
    check("--location LAT,LON: requests", asked, [forecast_asked("52.52", "13.41")])
    check("--location LAT,LON: columns", columns(out), BERLIN_COLUMNS)
    check("--location LAT,LON: saved", kept,
          {"location": "52.52,13.41", "latitude": "52.52", "longitude": "13.41"})

    # The time-zone default on a first start.
    out, err, status, asked, kept = run([], "zone", tz="America/New_York")
    check("time zone: exit and stderr", (status, err), (0, ""))
    check("time zone: requests", asked, [forecast_asked("40.714167", "-74.006389")])
    check("time zone: columns", columns(out), BERLIN_COLUMNS)
    check("time zone: nothing saved", kept, None)

    # A time zone without a place: column 0, and what to do.
    out, err, status, asked, kept = run([], "utc", tz="UTC")
    check("UTC: exit, stderr, requests", (status, err, asked),
          (0, "skyvane: forecast refresh stopped at column 0: the time zone \"UTC\" names no "
              "place to show the weather of" + CHOOSE_A_PLACE + "\n", []))
    check("UTC: placeholders", columns(out)[0], ("Label1", "Label2", None, "Label3"))

    # A Chinese user: names and weather in Chinese.
    out, err, status, asked, kept = run(["--location", "柏林"], "chinese", lang="zh_CN.UTF-8",
                                        search=(200, "geocoding-berlin-zh.json"))
    check("Chinese: exit and stderr", (status, err), (0, ""))
    check("Chinese: search", asked[:1], [search_asked("柏林", "zh")])
    check("Chinese: weather", [c[1] for c in columns(out)],
          ["晴", "多云", "阴", "小雨", "雷阵雨", "雾", "小雪"])
    check("Chinese: saved name", kept["location"], "柏林, 德国")

    # The service's error answer: its reason on the stderr line.
    out, err, status, asked, kept = run(["--location", "52.52,13.41"], "refused",
                                        forecast=(400, "forecast-error.json"))
    check("error answer: exit and stderr", (status, err),
          (0, "skyvane: forecast refresh stopped at column 0: fetch failed: the forecast service "
              "refused the request: Latitude must be in range of -90 to 90°. Given: 95.0.\n"))

    # A short answer: the columns it has.
    out, err, status, asked, kept = run(["--location", "40.71,-74.01"], "short",
                                        forecast=(200, "forecast-short.json"))
    check("short answer: exit and stderr", (status, err),
          (0, "skyvane: forecast refresh stopped at column 5: the forecast has only 5 day "
              "records\n"))
    check("short answer: last columns", [c[1] for c in columns(out)][4:],
          ["Rain", "Label2", "Label2"])

    # The day details beside the columns: nulls and a short hourly list are
    # absent, and a day without hours keeps its other details.
    out, err, status, asked, kept = run(["--location", "52.52,13.41", "--dump-details"],
                                        "details", forecast=(200, "forecast-details.json"))
    check("details: exit and stderr", (status, err), (0, ""))
    lines = out.splitlines()
    check("details: columns filled", [c[3] for c in columns("\n".join(lines[:29]))][:2],
          ["15℃-25℃", "15℃-27℃"])
    days = [json.loads(line) for line in lines[29:]]
    check("details: one object per day", [d["day"] for d in days], list(range(7)))
    check("details: a null hour is a gap", (days[0]["hourly_temperature"][4:7],
                                             days[0]["hourly_precipitation_chance"][15]),
          ([13.4, None, 15], 70))
    check("details: the short hourly list", (days[1]["hourly_temperature"][3:7],
                                              days[1]["hourly_precipitation_chance"][11:13]),
          ([15.2, None, 16.9, None], [0, None]))
    check("details: no hours, other details kept",
          (set(days[2]["hourly_temperature"]), days[2]["sunrise"], days[2]["wind_speed_max"],
           days[2]["wind_compass"], days[2]["feels_like_min"], days[2]["precipitation_sum"]),
          ({None}, "04:49", 22.7, "S", 15.1, 1.4))
    check("details: a day of nulls", (days[4]["wind_speed_max"], days[4]["sunset"],
                                      days[4]["temperature_max"], days[4]["units"]),
          (None, None, 30, {"temperature": "°C", "wind": "km/h", "precipitation": "mm"}))

    # Failures of --location: one line, exit 2, nothing saved, no forecast.
    closed = socket.socket()
    closed.bind(("127.0.0.1", 0))
    closed_service = "http://127.0.0.1:%d" % closed.getsockname()[1]
    closed.close()
    failures = [
        ("not found", ["--location", "Atlantis"], {"search": (200, "geocoding-none.json")},
         "skyvane: no place called \"Atlantis\" was found\n"),
        ("out of range", ["--location", "95,13.41"], {},
         "skyvane: latitude 95 is outside -90 to 90\n"),
        ("search refused", ["--location", "Berlin"], {"search": (400, "geocoding-error.json")},
         "skyvane: cannot look up \"Berlin\": the geocoding service refused the request: "
         "Parameter count must be between 1 and 100.\n"),
        ("no geocoding service", ["--location", "Berlin"], {"geocoding_service": closed_service},
         "skyvane: cannot look up \"Berlin\": no answer: Connection refused\n"),
    ]
    for name, args, answers, line in failures:
        out, err, status, asked, kept = run(args, "failed-" + name.replace(" ", "-"), **answers)
        check("--location " + name, (out, err, status, kept), ("", line, 2, None))
        check("--location " + name + ": no forecast asked",
              [path for path, _ in asked if path == "/v1/forecast"], [])

    server.shutdown()
    return checks.finish()


if __name__ == "__main__":
    sys.exit(main())
