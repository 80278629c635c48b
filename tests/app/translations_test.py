#!/usr/bin/env python3
"""Fails while a translation is unfinished: each translations/*.ts is
brought up to date with the program's texts (lupdate, on a copy), then
compiled (lrelease); a text that is new, marked unfinished or left empty
is reported by lrelease and fails the check.

usage: translations_test.py LUPDATE LRELEASE SOURCE_DIR
"""
import glob
import os
import re
import shutil
import subprocess
import sys
import tempfile

LUPDATE, LRELEASE, SOURCE = sys.argv[1:4]
# The folders whose texts a person sees.
SCANNED = ["app/skyvane", "panel"]


def check(ts, work):
    copy = os.path.join(work, os.path.basename(ts))
    shutil.copy(ts, copy)
    subprocess.run([LUPDATE, "-silent", "-locations", "none", "-no-obsolete"]
                   + [os.path.join(SOURCE, folder) for folder in SCANNED] + ["-ts", copy],
                   check=True)
    released = subprocess.run([LRELEASE, copy, "-qm", copy[:-3] + ".qm"], check=True,
                              capture_output=True, text=True).stdout
    generated = re.search(r"Generated (\d+) translation\(s\) \((\d+) finished and (\d+) unfinished\)",
                          released)
    untranslated = re.search(r"Ignored (\d+) untranslated", released)
    problems = []
    if not generated or int(generated.group(1)) == 0:
        problems.append("no translations generated:\n" + released)
    elif int(generated.group(3)) != 0:
        problems.append("%s unfinished translation(s)" % generated.group(3))
    if untranslated:
        problems.append("%s untranslated text(s)" % untranslated.group(1))
    return problems


def main():
    files = sorted(glob.glob(os.path.join(SOURCE, "translations", "*.ts")))
    if not files:
        print("no translations found under %s/translations" % SOURCE)
        return 1
    failed = False
    with tempfile.TemporaryDirectory() as work:
        for ts in files:
            problems = check(ts, work)
            name = os.path.relpath(ts, SOURCE)
            print("%s: %s" % (name, "; ".join(problems) if problems else "complete"))
            failed = failed or bool(problems)
    if failed:
        print("run lupdate on the file, translate the texts marked unfinished, and drop "
              "the mark")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
