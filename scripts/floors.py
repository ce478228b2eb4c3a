#!/usr/bin/env python3
"""Checks the house's floors: each folder of the product includes only from
its own folder and the floors beneath it, never sideways or from above.

    platform -> store -> engine -> ui -> {editing, options, history} -> shell

`resources/resource.h` (ids only) stands beside the floors: the window layer
and everything above it may take the ids. Tests, fuzz targets and benchmarks
may include anything. Outside the `win32/` glue folders nothing includes
`<windows.h>`, so that the logic builds natively. Prints every arrow that goes the wrong way and exits 1
if there is one."""
import pathlib
import re
import sys

FLOORS = {"platform": 0, "store": 1, "engine": 2, "ui": 3, "editing": 4, "options": 4, "history": 4, "shell": 5}
IDS_FROM = FLOORS["ui"]
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.M)
WINDOWS = re.compile(r'^\s*#\s*include\s+<windows\.h>', re.M | re.I)

root = pathlib.Path(__file__).resolve().parent.parent


def folder(path):
    return path.split("/", 1)[0]


wrong = []
arrows = 0
for source in sorted(p for f in FLOORS for p in (root / f).rglob("*") if p.suffix in (".h", ".cpp")):
    here = source.relative_to(root).as_posix()
    mine = folder(here)
    text = source.read_text(encoding="utf-8", errors="replace")
    if WINDOWS.search(text) and "/win32/" not in here:
        wrong.append(f"{here} -> <windows.h> (outside the glue)")
    for target in INCLUDE.findall(text):
        there = folder(target)
        arrows += 1
        if there == mine:
            continue
        if target == "resources/resource.h":
            if FLOORS[mine] < IDS_FROM:
                wrong.append(f"{here} -> {target} (ids below the window layer)")
            continue
        if there not in FLOORS:
            wrong.append(f"{here} -> {target} (not a floor of the product)")
        elif FLOORS[there] >= FLOORS[mine]:
            side = "sideways" if FLOORS[there] == FLOORS[mine] else "upwards"
            wrong.append(f"{here} -> {target} ({side})")

for line in wrong:
    print(line)
print(f"floors: {arrows} includes checked, {len(wrong)} against the floors")
sys.exit(1 if wrong else 0)
