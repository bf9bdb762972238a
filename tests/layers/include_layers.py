#!/usr/bin/env python3
"""Checks that the folders of src/ include one another only along the allowed edges.

Usage: include_layers.py SRC_DIR

Dependencies point one way: platform <- core <- shell <- dashboard <- the feature folders <- app.
core/obd and html stand on the standard library alone; imaging stands on the platform alone, below the
features. A feature includes another feature only where a file-level exception below names the header.
Prints every include along an edge not allowed and exits with 1; exits with 0 when there is none.
"""

import pathlib
import re
import sys

PLATFORM = {
    "platform/foundation": set(),
    "platform/ui": {"platform/foundation"},
    "platform/net": {"platform/foundation"},
    "platform/mail": {"platform/foundation"},
    "platform/motion": {"platform/foundation"},
    "platform/geo": {"platform/foundation", "platform/ui", "platform/net"},
    "platform/map": {"platform/foundation", "platform/ui", "platform/net", "platform/geo"},
    "platform/media": {"platform/foundation", "platform/ui"},
    "platform/gl": {"platform/foundation", "platform/ui", "platform/media"},
    "platform/web": {"platform/foundation", "platform/ui", "platform/net"},
}
ALL_PLATFORM = set(PLATFORM)
CORE = {"core", "core/obd", "core/link", "core/model"}
FEATURES = {"diagnostics", "logging", "fuel", "performance", "dashcam"}
BELOW_FEATURES = ALL_PLATFORM | CORE | {"html", "imaging", "shell", "dashboard"}

ALLOWED = {
    **PLATFORM,
    "html": set(),
    "imaging": ALL_PLATFORM,
    "core": set(),
    "core/obd": set(),
    "core/link": {"core", "core/obd", "platform/foundation", "platform/net"},
    "core/model": {"core", "core/obd", "core/link"} | ALL_PLATFORM,
    "shell": CORE | ALL_PLATFORM,
    "dashboard": CORE | ALL_PLATFORM | {"shell"},
    **{feature: BELOW_FEATURES for feature in FEATURES},
    "app": BELOW_FEATURES | FEATURES,
}

# The headers one feature may include from another.
SHARED_HEADERS = {
    "dashcam": {"performance/GforceView.h", "performance/TrackView.h"},
}

INCLUDE = re.compile(r'^\s*#\s*include\s*[<"]([^>"]+)[>"]')


def folder_of(path):
    """The folder a header or source belongs to ("core/model", "shell"), or None outside src/."""
    parts = path.split("/")
    for candidate in ("/".join(parts[:2]), parts[0]):
        if candidate in ALLOWED:
            return candidate
    return None


def violations(src):
    found = []
    for path in sorted(src.rglob("*")):
        if path.suffix not in (".h", ".cpp"):
            continue
        relative = path.relative_to(src).as_posix()
        folder = folder_of(relative)
        if folder is None:
            found.append(f"{relative}: in no known folder")
            continue
        for number, line in enumerate(path.read_text(encoding="utf-8").splitlines(), 1):
            match = INCLUDE.match(line)
            if not match:
                continue
            header = match.group(1)
            target = folder_of(header)
            if target is None or target == folder or target in ALLOWED[folder]:
                continue
            if header in SHARED_HEADERS.get(folder, set()):
                continue
            found.append(f"{relative}:{number}: {folder} may not include {header}")
    return found


def main():
    if len(sys.argv) != 2:
        print("usage: include_layers.py SRC_DIR", file=sys.stderr)
        return 2
    found = violations(pathlib.Path(sys.argv[1]))
    for line in found:
        print(line)
    print(f"{len(found)} include(s) along an edge not allowed")
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main())
