#!/usr/bin/env python3
"""Writes a 184-byte settings file (Setting.dat) as the View dialog leaves it.

Used by the sample script and handy for trying settings by hand. The layout: zoom (int32),
face name (32 UTF-16LE units), 64 reserved bytes, encoding, line style, application keys
enabled, nine key actions, system dialog choice (all int32, little-endian).
"""
import argparse
import struct
import sys

DEFAULT_KEYS = [8, 9, 6, 7, 0, 1, 0, 2, 3]


def main() -> int:
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("output")
    parser.add_argument("--zoom", type=int, default=100)
    parser.add_argument("--face", default="")
    parser.add_argument("--encoding", type=int, default=0)
    parser.add_argument("--line-style", type=int, default=0)
    parser.add_argument("--app-keys", type=int, default=1)
    parser.add_argument("--system-dialog", type=int, default=1)
    args = parser.parse_args()

    face = args.face.encode("utf-16-le")
    if len(face) > 62:
        parser.error("the face name holds at most 31 units")
    image = struct.pack("<i", args.zoom) + face.ljust(64, b"\0") + bytes(64)
    image += struct.pack("<iii", args.encoding, args.line_style, args.app_keys)
    image += struct.pack("<9i", *DEFAULT_KEYS) + struct.pack("<i", args.system_dialog)
    assert len(image) == 184
    with open(args.output, "wb") as f:
        f.write(image)
    return 0


if __name__ == "__main__":
    sys.exit(main())
