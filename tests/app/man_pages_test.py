#!/usr/bin/env python3
"""Checks that each program's manual page names every option its --help
lists, so that a new option cannot ship undocumented.

usage: man_pages_test.py MAN_FOLDER PROGRAM...
  (the page of PROGRAM is MAN_FOLDER/NAME.1.in)
"""
import os
import re
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from program_checks import Checks, run_without_display  # noqa: E402

OPTION = re.compile(r"(?<![\w-])--?[a-z][a-z0-9-]*")


def main():
    checks = Checks()
    man_folder, programs = sys.argv[1], sys.argv[2:]
    for program in programs:
        name = os.path.basename(program)
        out, err, status = run_without_display([program, "--help"], text=True)
        checks.check(f"{name} --help", status, 0)
        options = sorted(set(OPTION.findall(out)))
        with open(os.path.join(man_folder, name + ".1.in"), encoding="utf-8") as page:
            # troff writes a hyphen in an option as "\-".
            text = page.read().replace("\\-", "-")
        missing = [o for o in options if not re.search(r"(?<![\w-])" + re.escape(o) + r"(?![\w-])",
                                                       text)]
        checks.check(f"options of {name} missing from its manual page", missing, [])
    return checks.finish()


if __name__ == "__main__":
    sys.exit(main())
