#!/usr/bin/env python3
"""Runs the panel program with no display at all, or with one that cannot be
opened, and checks that command-line mistakes, help and version are answered
without one, and that a correct command line then stops with a clear message
rather than an abort.

usage: command_line_test.py PATH_TO_SKYVANE
"""
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
from program_checks import Checks, run_without_display  # noqa: E402

PANEL = sys.argv[1]
NO_DISPLAY = "skyvane: no display to show the panel on (neither DISPLAY nor WAYLAND_DISPLAY is set)\n"


# A display that no X server serves: no socket of that number, and its TCP
# port (6000 + 59321) does not exist.
DEAD_DISPLAY = ":59321"
CANNOT_OPEN = f'skyvane: cannot open the display "{DEAD_DISPLAY}" to show the panel on\n'


def run(args, display=None):
    return run_without_display([PANEL] + args, text=True,
                               env_changes={"DISPLAY": display} if display else None)


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

    # A display that is set but cannot be opened (typically at login, before
    # the X server answers) ends the same way as no display, never in an
    # abort; a mistaken command line is still named first.
    dead_cases = [
        ("a display that cannot be opened", [], "", CANNOT_OPEN, 1),
        ("a display that cannot be opened, chosen by -display", ["-display", DEAD_DISPLAY], "",
         CANNOT_OPEN, 1),
        ("a display that cannot be opened and a mistaken command line", ["--bogus"], "",
         "skyvane: Unknown option 'bogus'.\n", 2),
    ]
    for name, args, out, err, status in dead_cases:
        check(name, run(args, DEAD_DISPLAY), (out, err, status))
    check("a display chosen by -display that cannot be opened, with none set",
          run(["-display", DEAD_DISPLAY]), ("", CANNOT_OPEN, 1))
    check("the X11 platform chosen, its display cannot be opened",
          run(["-platform", "xcb"], DEAD_DISPLAY), ("", CANNOT_OPEN, 1))
    check("the X11 platform chosen and no display named", run(["-platform", "xcb"]),
          ("", NO_DISPLAY, 1))

    # Qt's own -platform option is no mistake, and names a platform to use.
    # (Qt may note its own set-up on standard error first.)
    out, err, status = run(["-platform", "offscreen", "--bogus"])
    check("an unknown option beside -platform", (out, err.splitlines()[-1:], status),
          ("", ["skyvane: Unknown option 'bogus'."], 2))

    # A details snapshot needs no display, so Qt starts (and may note its own
    # set-up on standard error first).
    snapshot_cases = [
        ("a details snapshot of no day", ["--snapshot-details", "7", "a.png"],
         "skyvane: --snapshot-details takes a day from 0 to 6, not \"7\""),
        ("a details snapshot without its file", ["--snapshot-details", "0"],
         "skyvane: --snapshot-details takes a day and a file: DAY FILE.png"),
        ("a details snapshot with a stray argument", ["--snapshot-details", "0", "a.png", "b"],
         "skyvane: unexpected argument \"b\"; see --help"),
    ]
    for name, args, last_line in snapshot_cases:
        out, err, status = run(args)
        check(name, (out, err.splitlines()[-1:], status), ("", [last_line], 2))

    out, err, status = run(["--help"])
    check("help", ("--snapshot" in out, "--url" in out, status), (True, True, 0))
    out, err, status = run(["--version"])
    check("version", (out.startswith("skyvane "), status), (True, 0))

    return checks.finish()


if __name__ == "__main__":
    sys.exit(main())
