#!/usr/bin/env python3
"""Runs the panel program against faulty and hostile weather services on the
loopback interface and checks that it stays bounded and honest: endless and
decompression-bomb bodies fail at the body cap within bounded memory, a
forecast cut short is refused before anything is written, the status of an
error page and a redirect that is not followed are named, and control
characters from the network reach standard error escaped.

usage: hostile_server_test.py PATH_TO_SKYVANE PEAK_MEMORY_LIMIT_MB
"""
import json
import os
import subprocess
import sys
import tempfile
import threading

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, ".."))
sys.path.insert(0, HERE)
from hostile_server import HostileServer  # noqa: E402
from program_checks import RUN_TIME_LIMIT, Checks  # noqa: E402

PANEL = sys.argv[1]
PEAK_LIMIT_KB = int(sys.argv[2]) * 1024
SAMPLE = os.path.join(HERE, "..", "..", "..", "data", "sample-forecast.json")
PREFIX = "skyvane: forecast refresh stopped at column "
OVER_CAP = PREFIX + "0: fetch failed: the answer is larger than 8388608 bytes"
CUT_SHORT = PREFIX + "0: the forecast was cut short: its text ends before its document closes"


class Run:
    """One run of the panel with --dump-controls against `url`: its exit
    status, its peak memory, its lines on standard error that are its own,
    and the captions it dumped."""

    def __init__(self, url, config_home):
        env = dict(os.environ, XDG_CONFIG_HOME=config_home,
                   XDG_CACHE_HOME=os.path.join(config_home, "cache"))
        env.pop("DISPLAY", None)
        env.pop("WAYLAND_DISPLAY", None)
        process = subprocess.Popen([PANEL, "--dump-controls", "--url", url],
                                   stdout=subprocess.PIPE, stderr=subprocess.PIPE, env=env)
        streams = {}
        readers = [threading.Thread(target=lambda n=n, s=s: streams.__setitem__(n, s.read()))
                   for n, s in (("out", process.stdout), ("err", process.stderr))]
        for reader in readers:
            reader.start()
        killer = threading.Timer(RUN_TIME_LIMIT, process.kill)
        killer.start()
        # Reaped here rather than by subprocess, which drops the figures.
        _, wait_status, usage = os.wait4(process.pid, 0)
        killer.cancel()
        process.returncode = os.waitstatus_to_exitcode(wait_status)
        for reader in readers:
            reader.join()
        self.status = process.returncode
        self.peak_kb = usage.ru_maxrss
        self.lines = [line for line in streams["err"].decode("utf-8", "replace").splitlines()
                      if line.startswith("skyvane:")]
        self.captions = {}
        for line in streams["out"].decode("utf-8").splitlines():
            state = json.loads(line)
            if "index" in state:
                self.captions[f'{state["control"]}({state["index"]})'] = state["caption"]


def with_tem2(record, tem2):
    """The sample forecast with the tem2 of day record `record` (1-based)
    replaced; also where that text starts."""
    with open(SAMPLE, encoding="utf-8") as f:
        text = f.read()
    at = -1
    for _ in range(record):
        at = text.index('{"day"', at + 1)
    start = text.index('"tem2": "', at) + len('"tem2": "')
    end = text.index('"', start)
    return text[:start] + tem2 + text[end:], start


def main():
    checks = Checks()
    check = checks.check
    text, start = with_tem2(7, "10℃")
    whole = text.encode()
    cut = text[:start + 1].encode()  # "10℃" read as "1"
    with tempfile.TemporaryDirectory() as config_home:
        def serve(mode, payload=None):
            server = HostileServer(mode, payload)
            try:
                return Run(server.url, config_home)
            finally:
                server.close()

        for mode in ("endless-chunked", "endless-raw", "gzip-bomb"):
            run = serve(mode)
            check(f"{mode}: the line", run.lines, [OVER_CAP])
            check(f"{mode}: exit status", run.status, 0)
            check(f"{mode}: peak memory within {PEAK_LIMIT_KB // 1024} MB",
                  run.peak_kb <= PEAK_LIMIT_KB, True)
            print(f"{mode}: peak memory {run.peak_kb // 1024} MB")

        for mode, payload in (("cut-close", cut), ("cut-reset", cut), ("cut-gzip", whole)):
            run = serve(mode, payload)
            check(f"{mode}: the line", run.lines, [CUT_SHORT])
            check(f"{mode}: nothing written", (run.captions["Label1(0)"],
                                               run.captions["Label3(6)"]), ("Label1", "Label3"))

        run = serve("cut-close", whole)
        check("a whole forecast without a length: no line", run.lines, [])
        check("a whole forecast without a length: the last temperature",
              run.captions["Label3(6)"].startswith("10℃-"), True)

        run = serve("status", (b"503 Service Unavailable", b"<html><body>busy</body></html>"))
        check("an error page names its status", run.lines,
              [PREFIX + "0: the forecast is not a JSON object"
               " (the server answered HTTP 503 Service Unavailable)"])

        run = serve("redirect", b"gopher://127.0.0.1/forecast")
        check("a redirect that is not followed is named", run.lines,
              [PREFIX + '0: fetch failed: the server redirected to '
               '"gopher://127.0.0.1/forecast", which is not followed'])

        hostile, _ = with_tem2(2, "\\u001b]0;owned\\u0007\x1b[2J")
        run = serve("cut-close", hostile.encode())
        check("control characters are escaped", len(run.lines), 1)
        check("control characters are escaped: none raw",
              any(c in "".join(run.lines) for c in "\x1b\x07"), False)
        check("control characters are escaped: shown",
              "\\x1b]0;owned\\x07\\x1b[2J" in "".join(run.lines), True)
    return checks.finish()


if __name__ == "__main__":
    sys.exit(main())
