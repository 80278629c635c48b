#!/usr/bin/env python3
"""Runs the panel program against a recorded Open-Meteo answer in °F
(Toronto) served on loopback and checks the unit it asks for and shows, by
locale (en_US: Fahrenheit, en_GB: Celsius), --units both ways and kept in
the settings, --units "" back to the locale's, kept values that make no
sense, and the day captions by language (weekdays under English, "09号"
under Chinese).

usage: units_test.py PATH_TO_SKYVANE RECORDINGS_FOLDER
"""
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
PANEL, RECORDINGS = sys.argv[1:3]
# The kept settings are read as there; it reads its own arguments when
# imported.
sys.argv = sys.argv[:3] + [""]
import open_meteo_test as om  # noqa: E402
from program_checks import Checks, run_without_display  # noqa: E402
from loopback import asked, columns, recorded, serve, start  # noqa: E402

TORONTO = "forecast-toronto-fahrenheit.json"

FAHRENHEIT = [("Wed 9", "34℉-48℉"), ("Thu 10", "30℉-42℉"), ("Fri 11", "27℉-36℉"),
              ("Sat 12", "21℉-31℉"), ("Sun 13", "14℉-28℉"), ("Mon 14", "39℉-50℉"),
              ("Tue 15", "32℉-45℉")]
CELSIUS = [("Wed 9", "1℃-9℃"), ("Thu 10", "-1℃-5℃"), ("Fri 11", "-3℃-2℃"),
           ("Sat 12", "-6℃--1℃"), ("Sun 13", "-10℃--2℃"), ("Mon 14", "4℃-10℃"),
           ("Tue 15", "0℃-7℃")]


def main():
    checks = Checks()
    check = checks.check
    server, service, work, runtime = start()

    def run(args, config, lang):
        serve({"/v1/forecast": recorded(RECORDINGS, TORONTO)})
        config_home = os.path.join(work.name, config)
        env = {"XDG_CONFIG_HOME": config_home, "XDG_RUNTIME_DIR": runtime,
               "TZ": "America/Toronto", "LANG": lang, "LC_ALL": None, "LC_MESSAGES": None,
               "LC_MEASUREMENT": None, "LANGUAGE": None, "SKYVANE_FORECAST_SERVICE": service}
        out, err, status = run_without_display(
            [PANEL, "--dump-controls", "--location", "43.70011,-79.4163"] + args, text=True,
            env_changes=env)
        units = [query.get("temperature_unit") for _, query, _ in asked()]
        shown = [(day, temperature) for day, _, _, temperature in columns(out)] if out else []
        return (status, err), units, shown, (om.saved(config_home) or {}).get("units")

    # The locale's unit: asked in Fahrenheit and shown as answered.
    check("en_US", run([], "us", "en_US.UTF-8"), ((0, ""), ["fahrenheit"], FAHRENHEIT, None))
    # Asked in Celsius; the °F answer is converted, not shown as Celsius.
    check("en_GB", run([], "gb", "en_GB.UTF-8"), ((0, ""), [None], CELSIUS, None))

    # --units overrides the locale and is kept for later starts.
    check("en_US --units celsius", run(["--units", "celsius"], "us", "en_US.UTF-8"),
          ((0, ""), [None], CELSIUS, "celsius"))
    check("en_US, celsius kept", run([], "us", "en_US.UTF-8"),
          ((0, ""), [None], CELSIUS, "celsius"))
    check("en_GB --units Fahrenheit", run(["--units", "Fahrenheit"], "gb", "en_GB.UTF-8"),
          ((0, ""), ["fahrenheit"], FAHRENHEIT, "fahrenheit"))
    check("en_US --units ''", run(["--units", ""], "us", "en_US.UTF-8"),
          ((0, ""), ["fahrenheit"], FAHRENHEIT, None))
    status, _, _, kept = run(["--units", "kelvin"], "bad", "en_US.UTF-8")
    check("--units kelvin", (status[0], "--units" in status[1], kept), (2, True, None))

    # Kept values that make no sense: the defaults are used, each named once
    # on stderr, and the file keeps them.
    odd = os.path.join(work.name, "odd", "Skyvane")
    os.makedirs(odd)
    with open(os.path.join(odd, "Skyvane.conf"), "w", encoding="utf-8") as f:
        f.write("[set]\nunits=kelvin\nsource=carrier-pigeon\n")
    status, units, shown, _ = run([], "odd", "en_US.UTF-8")
    kept = om.saved(os.path.dirname(odd))
    check("kept nonsense", (status[0], units, shown, sorted(status[1].splitlines()),
                            {key: kept.get(key) for key in ("units", "source")}),
          (0, ["fahrenheit"], FAHRENHEIT,
           ["skyvane: the kept setting source=carrier-pigeon is not understood; using auto",
            "skyvane: the kept setting units=kelvin is not understood; using fahrenheit, "
            "the locale's"],
           {"units": "kelvin", "source": "carrier-pigeon"}))

    # Chinese keeps its day captions.
    _, _, shown, _ = run([], "zh", "zh_CN.UTF-8")
    check("zh_CN days", [day for day, _ in shown],
          ["09号", "10号", "11号", "12号", "13号", "14号", "15号"])

    server.shutdown()
    return checks.finish()


if __name__ == "__main__":
    sys.exit(main())
