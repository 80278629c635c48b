#!/usr/bin/env python3
"""Runs the panel program with no display at all and checks that command-line
mistakes, help and version are answered without one, and that a correct
command line then stops with a clear message rather than an abort.

usage: command_line_test.py PATH_TO_SKYVANE
"""
import os
import subprocess
import sys

PANEL = sys.argv[1]
NO_DISPLAY = "skyvane: no display to show the panel on (neither DISPLAY nor WAYLAND_DISPLAY is set)\n"


def run(args):
    env = {k: v for k, v in os.environ.items()
           if k not in ("DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM")}
    done = subprocess.run([PANEL] + args, capture_output=True, env=env, timeout=60, text=True)
    return done.stdout, done.stderr, done.returncode


def main():
    failures = 0

    def check(name, got, want):
        nonlocal failures
        if got != want:
            failures += 1
            print(f"FAIL {name}\n  got:  {got!r}\n  want: {want!r}")

    # (name, arguments, stdout, stderr, exit status)
    cases = [
        ("an unknown option", ["--bogus"], "", "skyvane: Unknown option 'bogus'.\n", 2),
        ("an unknown option after a good one", ["--reset-position", "--bogus"], "",
         "skyvane: Unknown option 'bogus'.\n", 2),
        ("an option without its value", ["--url"], "",
         "skyvane: Missing value after '--url'.\n", 2),
        ("a stray argument", ["extra"], "",
         "skyvane: unexpected argument \"extra\"; see --help\n", 2),
        ("a correct command line", ["--reset-position"], "", NO_DISPLAY, 1),
        ("no arguments", [], "", NO_DISPLAY, 1),
    ]
    for name, args, out, err, status in cases:
        check(name, run(args), (out, err, status))

    # Qt's own -platform option is no mistake, and names a platform to use.
    # (Qt may note its own set-up on standard error first.)
    out, err, status = run(["-platform", "offscreen", "--bogus"])
    check("an unknown option beside -platform", (out, err.splitlines()[-1:], status),
          ("", ["skyvane: Unknown option 'bogus'."], 2))

    out, err, status = run(["--help"])
    check("help", ("--snapshot" in out, "--url" in out, status), (True, True, 0))
    out, err, status = run(["--version"])
    check("version", (out.startswith("skyvane "), status), (True, 0))

    print(f"{failures} failure(s)" if failures else "all checks passed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
