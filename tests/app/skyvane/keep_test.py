#!/usr/bin/env python3
"""The kept forecast and the retries, end to end: the panel program against a
loopback Open-Meteo service (switch_server.py) that the test switches
between answering, dropping the connection and a busy 503 with Retry-After.
Two panels wait out the real timings side by side, each with its service:
the first retry a minute after a refusal at --refresh-minutes 0, and the
refresh a minute after local midnight (in a time zone whose midnight is
seconds away when the panel starts).

usage: keep_test.py PATH_TO_SKYVANE
"""
import datetime
import json
import os
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, ".."))
from program_checks import Checks, for_x_client, run_without_display  # noqa: E402

PANEL = sys.argv[1]
PLACE = "52.52,13.41"
DESIGN = ["Label2"] * 7  # the weather captions of the stored design
DEADLINE = float(os.environ.get("SKYVANE_TEST_DEADLINE", "40"))
# The slow panels' first refresh ends before midnight with this to spare.
BEFORE_MIDNIGHT = 25
MINUTE, SPREAD = 60, 6  # the wait for a first retry and after midnight: 60 s ± 10 %


def open_meteo_answer(first_day):
    days = [(first_day + datetime.timedelta(days=i)).isoformat() for i in range(7)]
    return {"latitude": 52.52, "longitude": 13.41, "timezone": "UTC", "utc_offset_seconds": 0,
            "daily": {"time": days, "weather_code": [0, 2, 3, 61, 95, 45, 71],
                      "temperature_2m_max": [20 + i for i in range(7)],
                      "temperature_2m_min": [10 + i for i in range(7)],
                      "precipitation_sum": [0.5 * i for i in range(6)] + [None],
                      "sunrise": [d + "T05:0%d" % i for i, d in enumerate(days)]},
            "hourly": {"time": ["%sT%02d:00" % (days[1], h) for h in range(24)],
                       "temperature_2m": [h / 2 if h != 5 else None for h in range(24)]}}


def details(dump):
    """The details lines of a dump, without their day numbers."""
    found = [json.loads(line) for line in dump.splitlines() if '"date"' in line]
    for day in found:
        day.pop("day")
    return found


def captions(dump, control):
    shown = {}
    for line in dump.splitlines():
        state = json.loads(line)
        if state.get("control") == control:
            shown[state["index"]] = state["caption"]
    return [shown[c] for c in range(7)]


def request_times(log):
    try:
        with open(log + ".times") as f:
            return [float(line) for line in f]
    except FileNotFoundError:
        return []


def zone_before_midnight(seconds):
    """A POSIX time zone in which local midnight is `seconds` away (to the
    second), the local date now in it and the time of that midnight."""
    now = datetime.datetime.now(datetime.timezone.utc).replace(microsecond=0)
    since_midnight = now.hour * 3600 + now.minute * 60 + now.second
    offset = (86400 - seconds - since_midnight) % 86400
    if offset > 43200:
        offset -= 86400
    east = abs(offset)
    zone = "XXX%s%02d:%02d:%02d" % ("-" if offset >= 0 else "+", east // 3600, east // 60 % 60,
                                    east % 60)
    return zone, (now + datetime.timedelta(seconds=offset)).date(), now.timestamp() + seconds


def wait_for(what, condition, deadline=DEADLINE):
    end = time.monotonic() + deadline
    while not condition():
        if time.monotonic() > end:
            raise SystemExit("FAIL: timed out waiting for " + what)
        time.sleep(0.1)


def main():
    checks = Checks()
    check = checks.check
    work = tempfile.TemporaryDirectory()
    w = work.name
    today = datetime.datetime.now(datetime.timezone.utc).date()
    processes = []

    def start_service(folder, first_day):
        """Starts a switch_server.py in `folder`; returns its address."""
        os.makedirs(folder, exist_ok=True)
        with open(os.path.join(folder, "forecast.json"), "w") as f:
            json.dump(open_meteo_answer(first_day), f)
        server = subprocess.Popen([sys.executable, "-u", os.path.join(HERE, "switch_server.py")] +
                                  [os.path.join(folder, n) for n in ("forecast.json", "mode",
                                                                     "requests")],
                                  stdout=subprocess.PIPE, text=True)
        processes.append(server)
        return "http://127.0.0.1:" + server.stdout.readline().strip()

    def set_mode(mode, folder=w):
        with open(os.path.join(folder, "mode"), "w") as f:
            f.write(mode)

    requests = os.path.join(w, "requests")

    def request_count():
        try:
            with open(requests) as f:
                return len(f.read().splitlines())
        except FileNotFoundError:
            return 0

    service = start_service(w, today)
    cache = os.path.join(w, "cache")
    kept = os.path.join(cache, "skyvane", "forecast-open-meteo.json")
    runtime = os.path.join(w, "runtime")
    os.mkdir(runtime, 0o700)
    env = {"XDG_CONFIG_HOME": os.path.join(w, "config"), "XDG_CACHE_HOME": cache,
           "XDG_RUNTIME_DIR": runtime, "TZ": "UTC", "LANG": "C.UTF-8", "LC_ALL": None,
           "LANGUAGE": None, "SKYVANE_FORECAST_SERVICE": service, "SKYVANE_RETRY_UNIT_MS": "300"}

    def dump(*args):
        out, err, status = run_without_display([PANEL, "--dump-controls"] + list(args), text=True,
                                               env_changes=env)
        return out, [line for line in err.splitlines() if line], status

    try:
        # An answer fills the columns and is kept.
        set_mode("good")
        out, err, status = dump("--location", PLACE)
        check("answered: exit and stderr", (status, err), (0, []))
        fresh = captions(out, "Label2")
        check("answered: a whole forecast", fresh.count("Label2"), 0)
        check("answered: the forecast is kept", os.path.isfile(kept), True)
        whole = open(kept, "rb").read()

        out, err, status = dump("--dump-details", "--location", PLACE)
        fresh_details = details(out)
        check("answered: the details of 7 days", [d["date"] for d in fresh_details],
              [(today + datetime.timedelta(days=i)).isoformat() for i in range(7)])
        check("answered: a day's details",
              [fresh_details[1][k] for k in ("precipitation_sum", "sunrise")]
              + fresh_details[1]["hourly_temperature"][4:7], [0.5, "05:01", 2, None, 3])

        # No answer: the kept days and their details, with the refresh's own
        # stderr line.
        set_mode("drop")
        out, err, status = dump("--dump-details", "--location", PLACE)
        check("no answer: kept days shown", captions(out, "Label2"), fresh)
        check("no answer: kept details", details(out), fresh_details)
        check("no answer: one line, the refresh's",
              [line.startswith("skyvane: forecast refresh stopped at column 0") for line in err],
              [True])

        # A forecast kept two days ago is moved on by two columns, its details
        # too.
        old = json.loads(whole)
        old["first_day"] = (today - datetime.timedelta(days=2)).isoformat()
        old_details = json.loads(old["details"])
        for day in old_details["days"]:
            day["date"] = (datetime.date.fromisoformat(day["date"])
                           - datetime.timedelta(days=2)).isoformat()
        old["details"] = json.dumps(old_details)
        with open(kept, "w") as f:
            json.dump(old, f)
        out, err, status = dump("--dump-details", "--location", PLACE)
        check("two days old: moved on by two", captions(out, "Label2"), fresh[2:] + DESIGN[5:])
        check("two days old: today first", captions(out, "Label1")[0], "%02d号" % today.day)
        check("two days old: details moved on by two",
              [d["precipitation_sum"] for d in details(out)],
              [d["precipitation_sum"] for d in fresh_details[2:]])
        check("two days old: details dated from today", details(out)[0]["date"], today.isoformat())
        # A file kept before details were kept: its days without details.
        del old["details"]
        with open(kept, "w") as f:
            json.dump(old, f)
        out, err, status = dump("--dump-details", "--location", PLACE)
        check("kept without details: days shown, no details",
              (captions(out, "Label2"), details(out)), (fresh[2:] + DESIGN[5:], []))
        old["first_day"] = (today - datetime.timedelta(days=7)).isoformat()
        with open(kept, "w") as f:
            json.dump(old, f)
        out, err, status = dump("--location", PLACE)
        check("a week old: not shown", captions(out, "Label2"), DESIGN)

        # Kept files that are not to be trusted: ignored, one line each.
        def corrupt():
            with open(kept, "wb") as f:
                f.write(b"\x00\xff{{{ not a forecast")

        def truncated():
            with open(kept, "wb") as f:
                f.write(whole[: len(whole) // 2])

        def fifo():
            os.mkfifo(kept)

        def sparse():
            with open(kept, "wb") as f:
                f.truncate(1 << 30)

        for name, make in [("corrupted", corrupt), ("truncated", truncated), ("FIFO", fifo),
                           ("1 GB sparse", sparse)]:
            os.remove(kept)
            make()
            started = time.monotonic()
            out, err, status = dump("--location", PLACE)
            check(name + ": exit", status, 0)
            check(name + ": design captions", captions(out, "Label2"), DESIGN)
            check(name + ": one line about the kept file, then the refresh's",
                  [line.startswith("skyvane: the kept forecast is ignored: " + kept) for line in err],
                  [True, False])
            check(name + ": no hang", time.monotonic() - started < 10, True)
        os.remove(kept)
        with open(kept, "wb") as f:
            f.write(whole)

        # The own-format service at --refresh-minutes 0: one fetch, placeholders
        # on failure, whatever is kept.
        for name, keep in [("a kept file", True), ("no kept file", False)]:
            if not keep:
                os.rename(kept, kept + ".aside")
            out, err, status = dump("--url", service + "/api")
            check("own format, no answer, " + name + ": placeholders", captions(out, "Label2"),
                  DESIGN)
            if not keep:
                os.rename(kept + ".aside", kept)

        # The running panel: kept days at once and marked; the service comes
        # back and the panel catches up on its own.
        display = subprocess.Popen(["Xvfb", "-displayfd", "1", "-screen", "0", "1024x768x24",
                                    "-nolisten", "tcp"], stdout=subprocess.PIPE,
                                   stderr=subprocess.DEVNULL, text=True)
        processes.append(display)
        run_env = dict(os.environ)
        run_env.update({k: v for k, v in env.items() if v is not None})
        for name in ("LC_ALL", "LANGUAGE", "QT_QPA_PLATFORM"):
            run_env.pop(name, None)
        run_env["DISPLAY"] = ":" + display.stdout.readline().strip()
        run_env = for_x_client(run_env)

        def status_now(e=run_env):
            result = subprocess.run([PANEL, "--status"], env=e, capture_output=True, text=True,
                                    timeout=DEADLINE)
            return json.loads(result.stdout) if result.returncode == 0 else None

        def start(*args, e=run_env):
            panel = subprocess.Popen([PANEL] + list(args), env=e, stdout=subprocess.DEVNULL,
                                     stderr=subprocess.DEVNULL)
            processes.append(panel)
            wait_for("the panel's status", lambda: status_now(e) is not None)
            return panel

        def stop(panel, e=run_env):
            subprocess.run([PANEL, "--quit"], env=e, timeout=DEADLINE)
            panel.wait(timeout=DEADLINE)

        def slow_panel(name, first_day, tz):
            """A service in its own folder and a panel's environment for it,
            with folders and an instance of its own and the real retry
            timings."""
            folder = os.path.join(w, name)
            e = dict(run_env, TZ=tz, SKYVANE_FORECAST_SERVICE=start_service(folder, first_day))
            e.pop("SKYVANE_RETRY_UNIT_MS")
            for variable in ("XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_RUNTIME_DIR"):
                e[variable] = os.path.join(folder, variable.lower())
                os.mkdir(e[variable], 0o700)
            return folder, e

        def kept_first_day(folder):
            try:
                with open(os.path.join(folder, "xdg_cache_home", "skyvane",
                                       "forecast-open-meteo.json")) as f:
                    return json.load(f)["first_day"]
            except FileNotFoundError:
                return None

        # Started first so that their minutes pass during the checks below.
        # At --refresh-minutes 0 a refused refresh is tried again a minute on.
        retry, retry_env = slow_panel("retry", today, "UTC")
        set_mode("bad", retry)
        retry_panel = start("--location", PLACE, "--refresh-minutes", "0", e=retry_env)
        wait_for("the refused refresh", lambda: request_times(os.path.join(retry, "requests")))
        set_mode("good", retry)
        # A minute after local midnight the first column moves on to the new
        # day; the service answers for it from then on.
        zone, day, midnight_at = zone_before_midnight(BEFORE_MIDNIGHT)
        midnight, midnight_env = slow_panel("midnight", day, zone)
        midnight_panel = start("--location", PLACE, e=midnight_env)
        wait_for("the refresh at start", lambda: kept_first_day(midnight) is not None)
        check("before midnight: the first refresh ended in time",
              (kept_first_day(midnight), time.time() < midnight_at), (day.isoformat(), True))
        with open(os.path.join(midnight, "forecast.json"), "w") as f:
            json.dump(open_meteo_answer(day + datetime.timedelta(days=1)), f)

        set_mode("drop")
        open(requests, "w").close()
        panel = start("--location", PLACE)
        wait_for("the first refresh to fail", lambda: (status_now() or {}).get("problem"))
        s = status_now()
        check("running, no answer: kept and stale", (s["stale"], s["fetched"] is not None,
                                                      s["problem"] is not None), (True, True, True))
        wait_for("retries", lambda: request_count() >= 3)
        set_mode("good")
        wait_for("the panel to catch up", lambda: status_now()["stale"] is False)
        s = status_now()
        check("service back: updated with no command", (s["problem"], s["updated"] is not None),
              (None, True))
        # A busy answer with Retry-After: 2 puts the retry off past the backoff.
        set_mode("busy")
        before = request_count()
        subprocess.run([PANEL, "--refresh"], env=run_env, timeout=DEADLINE)
        wait_for("the busy answer", lambda: request_count() > before)
        time.sleep(1.2)
        check("Retry-After: no retry before it", request_count(), before + 1)
        wait_for("the retry after Retry-After", lambda: request_count() > before + 1)
        stop(panel)

        # The own-format service at --refresh-minutes 0 is asked once, busy or
        # not. (A dropped connection is asked twice: Qt resends a request once
        # when a connection closes without an answer.)
        set_mode("busy")
        open(requests, "w").close()
        panel = start("--url", service + "/api")
        time.sleep(2)
        check("own format: one fetch, no retries", request_count(), 1)
        check("own format: nothing planned", status_now()["next"], None)
        stop(panel)

        # The slow panels, once their minute has passed.
        times = request_times(os.path.join(retry, "requests"))
        wait_for("the retry", lambda: len(request_times(os.path.join(retry, "requests"))) > 1,
                 times[0] + MINUTE + SPREAD + DEADLINE - time.time())
        wait_for("the retried forecast", lambda: status_now(retry_env)["stale"] is False)
        times = request_times(os.path.join(retry, "requests"))
        s = status_now(retry_env)
        check("refused at 0 minutes: retried a minute on, once",
              (MINUTE - SPREAD - 0.5 < times[1] - times[0] < MINUTE + SPREAD + 3, len(times)),
              (True, 2))
        check("refused at 0 minutes: the answer shown with no command",
              (s["problem"], s["updated"] is not None, kept_first_day(retry)),
              (None, True, today.isoformat()))
        stop(retry_panel, retry_env)
        new_day = (day + datetime.timedelta(days=1)).isoformat()
        wait_for("the refresh after midnight", lambda: kept_first_day(midnight) == new_day,
                 midnight_at + MINUTE + SPREAD + DEADLINE - time.time())
        times = request_times(os.path.join(midnight, "requests"))
        s = status_now(midnight_env)
        check("after midnight: refreshed a minute on, once",
              (len(times), MINUTE - SPREAD - 1 < times[-1] - midnight_at < MINUTE + SPREAD + 3),
              (2, True))
        check("after midnight: the new day shown, up to date", (s["problem"], s["stale"]),
              (None, False))
        stop(midnight_panel, midnight_env)
    finally:
        for process in reversed(processes):
            if process.poll() is None:
                process.kill()
                process.wait()
    return checks.finish()


if __name__ == "__main__":
    sys.exit(main())
