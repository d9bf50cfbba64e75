#!/usr/bin/env python3
"""The shape of src/: which folder may include which, and where the main window's designer names
and the platform may appear. Prints every breach and exits 1 when there is one."""
import pathlib
import re
import sys

SRC = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else "src")

# What each folder may include from src/ (besides itself).
ALLOWED = {
    "base": set(),
    "vector": {"base"},
    "raster": {"base"},
    "centerline": {"base", "vector", "raster"},
    "process": {"base", "ports/processes.h"},
    "ports": {"base", "raster/bitmap.h"},
    "tools": {"base", "vector", "raster", "centerline", "process", "ports"},
    "cad": {"base", "vector", "raster", "centerline", "process", "ports", "tools"},
    "app": {"base", "vector", "raster", "centerline", "process", "ports", "tools", "cad"},
    "cli": {"base", "vector", "raster", "centerline", "process", "ports", "tools", "cad"},
}
DESIGNER_NAME = re.compile(r'"(Edit|CheckBox|Button|Memo|Label|Shape|Timer|Image|PageControl)\d+"')
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.M)
SYSTEM_INCLUDE = re.compile(r'^\s*#\s*include\s+<([^>]+)>', re.M)

breaches = []
for path in sorted(SRC.rglob("*")):
    if path.suffix not in {".h", ".cpp", ".inc"}:
        continue
    folder = path.relative_to(SRC).parts[0]
    text = path.read_text(encoding="utf-8")
    where = path.relative_to(SRC.parent)
    if folder in ALLOWED:
        allowed = ALLOWED[folder]
        for name in INCLUDE.findall(text):
            top = name.split("/")[0]
            if top == folder:
                continue
            if top not in allowed and name not in allowed:
                breaches.append(f"{where}: includes {name}")
        if "windows.h" in SYSTEM_INCLUDE.findall(text):
            breaches.append(f"{where}: includes <windows.h> outside src/win32")
        if folder != "app" and DESIGNER_NAME.search(text):
            breaches.append(f"{where}: names a control of the main window")
        if folder == "cli" and "_WIN32" in text:
            breaches.append(f"{where}: tells the platforms apart; the platform library does that")

for breach in breaches:
    print(breach)
sys.exit(1 if breaches else 0)
