#!/usr/bin/env python3
"""Keeps docs/ARCHITECTURE.md true: every path it names exists, and every
room of panel/ includes only the rooms the page allows it, with no QtWidgets
header in a room marked "no widgets".

Usage: architecture_test.py SOURCE_DIR QT_INCLUDE_DIR...
(the folder among the QT_INCLUDE_DIRs that holds QWidget lists the
QtWidgets headers)
"""
import os
import re
import sys

ROOT = sys.argv[1]
WIDGETS_DIR = next((d for d in sys.argv[2:] if os.path.isfile(os.path.join(d, "QWidget"))), "")
PAGE = os.path.join(ROOT, "docs", "ARCHITECTURE.md")
FORM = "panel/"  # the form lies in panel/ itself, above every room

failures = []


def fail(message):
    failures.append(message)


def room_of(path):
    """The room of a file under panel/: 'panel/x/' or FORM."""
    parts = path.split("/")
    return "panel/%s/" % parts[1] if len(parts) > 2 else FORM


page = open(PAGE, encoding="utf-8").read()

# Every path in backquotes that names a file or folder of the tree exists:
# either from the root, or (a bare file name) in the room of its row.
rooms = {}  # room -> (allowed rooms, widget-free)
for line in page.splitlines():
    cells = [c.strip() for c in line.strip().strip("|").split("|")]
    row_room = None
    if cells and cells[0] == "`panel/` itself":
        rooms[FORM] = (None, False)
        row_room = FORM
    elif len(cells) == 3 and cells[0].startswith("`panel/") and cells[0] != "`panel/`":
        row_room = cells[0].strip("`")
        allowed = set()
        if cells[2].startswith("every room"):
            allowed = None  # checked below against the rooms listed
        elif cells[2] != "—":
            allowed = {"panel/%s/" % name.strip("` ") for name in cells[2].split(",")}
        rooms[row_room] = (allowed, "*no widgets*" in cells[1] and "except" not in cells[1])
    for name in re.findall(r"`([A-Za-z0-9_./-]+\.(?:h|cc|md|py|sh)|[a-z_]+/(?:[a-z_]+/)*)`", line):
        candidates = [os.path.join(ROOT, name)]
        if row_room and "/" not in name:
            candidates.append(os.path.join(ROOT, row_room, name))
        if not any(os.path.exists(c) for c in candidates):
            fail("docs/ARCHITECTURE.md names %s, which does not exist" % name)

if not rooms:
    fail("docs/ARCHITECTURE.md lists no rooms of panel/")

# Every folder of panel/ is a room on the page.
for entry in sorted(os.listdir(os.path.join(ROOT, "panel"))):
    if os.path.isdir(os.path.join(ROOT, "panel", entry)) and "panel/%s/" % entry not in rooms:
        fail("panel/%s/ is not described in docs/ARCHITECTURE.md" % entry)

widget_headers = set(os.listdir(WIDGETS_DIR)) if os.path.isdir(WIDGETS_DIR) else set()
if not widget_headers:
    fail("no QtWidgets headers found in %s" % WIDGETS_DIR)

# The rooms in the order of the page; "every room above" means those before.
order = list(rooms)
for dirpath, _, files in os.walk(os.path.join(ROOT, "panel")):
    for name in files:
        if not name.endswith((".h", ".cc")):
            continue
        path = os.path.relpath(os.path.join(dirpath, name), ROOT)
        room = room_of(path)
        if room not in rooms:
            continue
        allowed, widget_free = rooms[room]
        if allowed is None:
            allowed = set(order[: order.index(room)])
        for include in re.findall(r'#include [<"]([^">]+)[">]', open(os.path.join(ROOT, path)).read()):
            if include.startswith("panel/"):
                target = room_of(include)
                if target != room and target not in allowed:
                    fail("%s includes %s: %s may not include %s" % (path, include, room, target))
            elif include.startswith(("app/", "script/")):
                fail("%s includes %s, from a folder above panel/" % (path, include))
            elif widget_free and (include in widget_headers or include.startswith("QtWidgets")):
                fail("%s includes %s, but %s is free of widgets" % (path, include, room))

for message in failures:
    print("FAIL:", message)
print("%d rooms checked, %d problems" % (len(rooms), len(failures)))
sys.exit(1 if failures else 0)
