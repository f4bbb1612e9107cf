#!/usr/bin/env python3
"""Checks the floor plan: every #include "folder/..." in the product's sources must name a folder
that the including folder may use (docs/architecture.md draws the same plan).

    tools/check_layers.py [ROOT]      lists each include that reaches up, exits 1 when any does
    tools/check_layers.py --self-test checks the checker on a small tree of its own

Tests, benchmarks and fuzz targets may include anything and are not read.
"""
import os
import re
import sys
import tempfile

# Folder -> the folders its sources may include, itself first. A folder is the longest prefix
# of a path listed here; one not listed (tests/, bench/, fuzz/, tools/) is not checked.
PLATFORM = ["platform/system", "platform/textview", "platform/shellext", "platform/host"]
ALLOWED = {
    "decode": ["decode"],
    "palmdoc": ["palmdoc", "decode"],
    "convert": ["convert", "palmdoc", "decode"],
    # quillscope-decode --rich: the text view's readers, which need no window.
    "convert/tool": ["convert/tool", "convert", "palmdoc", "decode", "platform/textview"],
    "platform/system": ["platform/system"],
    "platform/textview": ["platform/textview", "platform/system"],
    "platform/shellext": ["platform/shellext", "platform/system"],
    "platform/host": PLATFORM,
    "platform/testing": ["platform/testing"] + PLATFORM,
    "resources": ["resources", "platform/system"],
    "settings": ["settings", "resources", "convert", "decode"] + PLATFORM,
    "shell": ["shell", "resources"] + PLATFORM,
    "app": ["app", "shell", "settings", "resources", "convert", "palmdoc", "decode"] + PLATFORM,
}
SOURCE_ENDINGS = (".h", ".hpp", ".cpp", ".cc", ".c")
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"')


def folder_of(path):
    """The listed folder that holds `path` (a path relative to the root), or None."""
    best = None
    for folder in ALLOWED:
        if (path == folder or path.startswith(folder + "/")) and (best is None or len(folder) > len(best)):
            best = folder
    return best


def target_folder(included):
    """The folder an include names: a listed folder, or its first component for any other."""
    listed = folder_of(included)
    return listed if listed is not None else included.split("/")[0]


def upward_includes(root):
    """(file, line number, included path) for every include outside the including folder's list."""
    found = []
    for directory, subdirectories, files in os.walk(root):
        subdirectories[:] = sorted(d for d in subdirectories if not d.startswith((".", "build")))
        for name in sorted(files):
            if not name.endswith(SOURCE_ENDINGS):
                continue
            path = os.path.relpath(os.path.join(directory, name), root).replace(os.sep, "/")
            folder = folder_of(path)
            if folder is None:
                continue
            with open(os.path.join(directory, name), encoding="utf-8", errors="replace") as source:
                for number, line in enumerate(source, 1):
                    match = INCLUDE.match(line)
                    if not match or "/" not in match.group(1):
                        continue  # a header beside the file, or a system header
                    if target_folder(match.group(1)) not in ALLOWED[folder]:
                        found.append((path, number, match.group(1)))
    return found


def self_test():
    """The checker finds an upward include and passes a tree without one."""
    with tempfile.TemporaryDirectory() as root:
        def write(path, text):
            os.makedirs(os.path.dirname(os.path.join(root, path)), exist_ok=True)
            with open(os.path.join(root, path), "w", encoding="utf-8") as out:
                out.write(text)
        write("decode/a.cpp", '#include "decode/a.h"\n#include <vector>\n')
        write("platform/host/l.cpp", '#include "platform/system/windows.h"\n')
        write("tests/t.cpp", '#include "platform/testing/test_host.h"\n')
        if upward_includes(root):
            return "a tree without upward includes was reported"
        write("platform/system/w.cpp", '#include "platform/testing/message_spy.h"\n#include "platform/host/launcher.h"\n')
        write("decode/b.cpp", '#include "palmdoc/palmdoc.h"\n')
        found = sorted((path, included) for path, _, included in upward_includes(root))
        expected = [("decode/b.cpp", "palmdoc/palmdoc.h"),
                    ("platform/system/w.cpp", "platform/host/launcher.h"),
                    ("platform/system/w.cpp", "platform/testing/message_spy.h")]
        if found != expected:
            return f"expected {expected}, found {found}"
    return None


def main(arguments):
    if arguments[:1] == ["--self-test"]:
        failure = self_test()
        print(failure or "check_layers: self-test passed")
        return 1 if failure else 0
    root = arguments[0] if arguments else os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")
    found = upward_includes(root)
    for path, number, included in found:
        print(f"{path}:{number}: includes {included}, above its folder")
    print(f"check_layers: {len(found)} include(s) reach up")
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
