#!/usr/bin/env python3
"""Checks that the platform layer turns the program's UTF-16 into QString only through
platform/system/qt_units.h. Qt's QString::fromUtf16 and QString::fromStdU16String read a leading
U+FEFF / U+FFFE as a byte-order mark (dropping or byte-swapping), which changes texts and paths.

    tools/check_utf16_conversions.py [ROOT]   lists each use outside qt_units.h, exits 1 if any
"""
import os
import re
import sys

FORBIDDEN = re.compile(r"QString::(fromUtf16|fromStdU16String)\s*\(")
HELPER = os.path.join("platform", "system", "qt_units.h")


def main():
    root = sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    found = []
    for folder, _, names in os.walk(os.path.join(root, "platform")):
        for name in names:
            if not name.endswith((".h", ".cpp")):
                continue
            path = os.path.join(folder, name)
            relative = os.path.relpath(path, root)
            if relative == HELPER:
                continue
            with open(path, encoding="utf-8") as source:
                for number, line in enumerate(source, start=1):
                    if FORBIDDEN.search(line) and not line.lstrip().startswith("//"):
                        found.append(f"{relative}:{number}: {line.strip()}")
    for entry in found:
        print(entry)
    if found:
        print(f"use platform::unitsToQString (platform/system/qt_units.h) instead", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
