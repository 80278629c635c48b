#!/usr/bin/env python3
"""Builds the Debian package from a finished build folder, unpacks it into a
temporary root and checks it as an installed system would see it: the
unpacked panel fills all seven columns with icons from the installed data
folder, the menu entry and the AppStream file validate, the Depends line
names what the panel needs at run time, and lintian reports no error.

usage: package_test.py CPACK CPACK_CONFIG SAMPLE_FORECAST
"""
import glob
import json
import os
import re
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "app"))
from program_checks import Checks, run_without_display  # noqa: E402

CPACK, CPACK_CONFIG, SAMPLE = sys.argv[1:4]
COLUMNS = 7
ICON_FOLDER = "usr/share/skyvane/tianqi_ICON/black"
DESKTOP_ENTRY = "usr/share/applications/skyvane.desktop"
# Seconds that building the package (an install of the whole tree) or one
# lintian run may take.
SLOW_STEP_LIMIT = 300
# What the panel needs at run time that no library link shows: the CJK
# font, the time-zone tables and the certificates HTTPS answers are checked
# against.
RUN_TIME_NEEDS = ["fonts-wqy-microhei", "tzdata", "ca-certificates"]
# The Qt plugins that read the GIF icons and speak TLS; the packages that
# ship them must be among the dependencies, through a link or named outright.
PLUGINS = ["*/qt6/plugins/imageformats/libqgif.so", "*/qt6/plugins/tls/libqopensslbackend.so"]


def run(command, **kwargs):
    done = subprocess.run(command, capture_output=True, text=True, timeout=SLOW_STEP_LIMIT,
                          **kwargs)
    return done.stdout, done.stderr, done.returncode


def build_package(work):
    out, err, status = run([CPACK, "-G", "DEB", "--config", CPACK_CONFIG, "-B", work])
    debs = glob.glob(os.path.join(work, "skyvane_*.deb"))
    if status != 0 or len(debs) != 1:
        sys.exit(f"FAIL cpack (status {status}) made {debs}\n{out}{err}")
    return debs[0]


def depends(deb):
    out, _, _ = run(["dpkg-deb", "--field", deb, "Depends"])
    return {re.sub(r"\s*\(.*\)", "", d).strip() for d in out.split(",") if d.strip()}


def package_shipping(pattern):
    """The installed Debian package that holds a file matching `pattern`."""
    out, _, status = run(["dpkg-query", "--search", pattern])
    return out.split(":")[0] if status == 0 else None


def check_columns(checks, root):
    """The unpacked panel, run from the unpacked tree, against the sample."""
    panel = os.path.join(root, "usr/bin/skyvane")
    out, err, status = run_without_display(
        [panel, "--dump-controls", "--url", "file://" + os.path.abspath(SAMPLE)], text=True)
    checks.check("the unpacked panel's exit status", (status, err if status else ""), (0, ""))
    controls = [json.loads(line) for line in out.splitlines() if line.startswith("{")]
    pictures = {c["index"]: c["picture"] for c in controls if c["control"] == "Image1"}
    icons = os.path.realpath(os.path.join(root, ICON_FOLDER))
    for column in range(COLUMNS):
        picture = pictures.get(column)
        checks.check(f"column {column} shows an icon from the installed data folder",
                     (picture is not None and os.path.dirname(os.path.realpath(picture)) == icons
                      and os.path.isfile(picture)), True)
    captions = {(c["control"], c["index"]): c["caption"] for c in controls}
    with open(SAMPLE, encoding="utf-8") as f:
        days = json.load(f)["data"][:COLUMNS]
    checks.check("the weather texts of the seven columns",
                 [captions.get(("Label2", i)) for i in range(COLUMNS)],
                 [d["wea"] for d in days])


def main():
    checks = Checks()
    check = checks.check
    with tempfile.TemporaryDirectory() as work:
        deb = build_package(work)
        root = os.path.join(work, "root")
        _, err, status = run(["dpkg-deb", "-x", deb, root])
        check("dpkg-deb -x", (status, err), (0, ""))

        check_columns(checks, root)
        check("no icons in bin/", glob.glob(os.path.join(root, "usr/bin/*/")), [])

        needed = depends(deb)
        for name in RUN_TIME_NEEDS:
            check(f"Depends names {name}", name in needed, True)
        for plugin in PLUGINS:
            package = package_shipping(plugin)
            check(f"Depends names {package}, which ships {plugin}", package in needed, True)

        out, err, status = run(["desktop-file-validate", os.path.join(root, DESKTOP_ENTRY)])
        check("desktop-file-validate", (status, out + err), (0, ""))
        metainfo = glob.glob(os.path.join(root, "usr/share/metainfo/*.metainfo.xml"))
        check("one AppStream file", len(metainfo), 1)
        for path in metainfo:
            out, err, status = run(["appstreamcli", "validate", "--no-net", "--pedantic", path])
            print(out + err, end="")
            check("appstreamcli validate", status, 0)

        out, err, status = run(["lintian", "--pedantic", deb])
        print(out, end="")
        check("lintian errors", [line for line in out.splitlines() if line.startswith("E:")], [])
        check("lintian's exit status", status, 0)
    return checks.finish()


if __name__ == "__main__":
    sys.exit(main())
