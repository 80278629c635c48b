#!/usr/bin/env python3
"""Runs the panel program with no display at all and checks that command-line
mistakes, help and version are answered without one, and that a correct
command line then stops with a clear message rather than an abort.

usage: command_line_test.py PATH_TO_SKYVANE
"""
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
from program_checks import Checks, run_without_display  # noqa: E402

PANEL = sys.argv[1]
NO_DISPLAY = "skyvane: no display to show the panel on (neither DISPLAY nor WAYLAND_DISPLAY is set)\n"


def run(args):
    return run_without_display([PANEL] + args, text=True)


def main():
    checks = Checks()
    check = checks.check

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

    return checks.finish()


if __name__ == "__main__":
    sys.exit(main())
