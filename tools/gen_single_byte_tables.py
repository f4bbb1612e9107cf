#!/usr/bin/python3
"""Generates the conversion tables of the single-byte decoders.

Writes, from the published code-page mappings (Python's own codecs):
  decode/tables/iso8859_tables.h           the seven ISO-8859 tables, parts 1 to 7
  decode/tables/thai_vietnamese_tables.h   the Thai (code page 874) and Vietnamese (1258) tables
  decode/tables/palm_western_table.h       the Western Palm DOC table: ISO-8859-1, with the
                                            Windows code page 1252 in 0x80 to 0x9F
  tests/decode/reference/single_byte_tables.txt
                                            every byte of every table and the unit it must give

Each table has 256 UTF-16 units indexed by the byte value. Where a mapping leaves a byte
unassigned the viewer does not leave it to chance; the cell gets a fixed value:
  ISO-8859-3   its seven gaps hold 0x0000
  ISO-8859-6   its 45 gaps hold 0xFFFF
  ISO-8859-7   as before its 2003 edition: 0xA4, 0xA5 and 0xAA are gaps again; the gaps
               0xA4, 0xA5, 0xAA, 0xAE and 0xD2 hold 0xFFFF, 0xFF holds 0x0000
  Thai, Vietnamese
               every gap repeats the unit of the nearest assigned byte below it
  Palm DOC Western
               Palm books write Western text in Windows code page 1252: its five gaps
               (0x81, 0x8D, 0x8F, 0x90, 0x9D) keep the unit of the byte's own value, as in
               ISO-8859-1 and as Windows itself converts them

The script checks what it reads and what it writes, and stops with an error when a source
mapping is not the one it expects (cell and character counts, gaps, the listed cells). When
ICU's `uconv` or glibc's charmaps are installed, each table is also compared with them; values
that differ from those sources are reported, and any difference not known here is an error.

Usage:  tools/gen_single_byte_tables.py            write the files
        tools/gen_single_byte_tables.py --check    fail if the committed files are stale
"""

import argparse
import codecs
import gzip
import os
import shutil
import subprocess
import sys

REPO = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
SCRIPT = "tools/gen_single_byte_tables.py"

ISO_HEADER = "decode/tables/iso8859_tables.h"
THAI_VIET_HEADER = "decode/tables/thai_vietnamese_tables.h"
PALM_WESTERN_HEADER = "decode/tables/palm_western_table.h"
REFERENCE = "tests/decode/reference/single_byte_tables.txt"

GLIBC_CHARMAPS = "/usr/share/i18n/charmaps"


class GeneratorError(Exception):
    pass


def expect(condition, message):
    if not condition:
        raise GeneratorError(message)


class Table:
    """One 256-unit table: where it comes from and what the script expects of it."""

    def __init__(self, name, codec, icu, glibc, gaps, chars, fill, removed=None):
        self.name = name          # column name in the reference file
        self.codec = codec        # Python codec: the primary source
        self.icu = icu            # ICU converter name for the cross-check
        self.glibc = glibc        # glibc charmap name for the cross-check
        self.gaps = set(gaps)     # bytes the mapping leaves unassigned (after `removed`)
        self.chars = chars        # bytes that hold a character once the gaps are taken out
        self.fill = fill          # function (byte, mapping) -> unit for a gap
        self.removed = removed or {}  # byte -> unit the source assigns but the viewer does not


def fill_with(value):
    return lambda byte, mapping: value


def fill_iso8859_7(byte, mapping):
    return 0x0000 if byte == 0xFF else 0xFFFF


def fill_from_below(byte, mapping):
    below = byte - 1
    while below not in mapping:
        below -= 1
    return mapping[below]


def fill_same(byte, mapping):
    return byte


def byte_range(first, last):
    return range(first, last + 1)


ISO8859_6_GAPS = (
    [0xA1, 0xA2, 0xA3] + list(byte_range(0xA5, 0xAB)) + [0xAE, 0xAF]
    + list(byte_range(0xB0, 0xBA)) + [0xBC, 0xBD, 0xBE, 0xC0]
    + list(byte_range(0xDB, 0xDF)) + list(byte_range(0xF3, 0xFF)))

TABLES = [
    Table("iso8859-1", "latin_1", "ISO-8859-1", "ISO-8859-1", [], 256, None),
    Table("iso8859-2", "iso8859_2", "ISO-8859-2", "ISO-8859-2", [], 256, None),
    Table("iso8859-3", "iso8859_3", "ISO-8859-3", "ISO-8859-3",
          [0xA5, 0xAE, 0xBE, 0xC3, 0xD0, 0xE3, 0xF0], 249, fill_with(0x0000)),
    Table("iso8859-4", "iso8859_4", "ISO-8859-4", "ISO-8859-4", [], 256, None),
    Table("iso8859-5", "iso8859_5", "ISO-8859-5", "ISO-8859-5", [], 256, None),
    Table("iso8859-6", "iso8859_6", "ISO-8859-6", "ISO-8859-6", ISO8859_6_GAPS, 211,
          fill_with(0xFFFF)),
    # The 2003 edition added the euro, the drachma and the ypogegrammeni; the viewer's table
    # is the earlier one.
    Table("iso8859-7", "iso8859_7", "ISO-8859-7", "ISO-8859-7",
          [0xA4, 0xA5, 0xAA, 0xAE, 0xD2, 0xFF], 250, fill_iso8859_7,
          removed={0xA4: 0x20AC, 0xA5: 0x20AF, 0xAA: 0x037A}),
    Table("thai", "cp874", "windows-874-2000", "IBM874",
          list(byte_range(0x81, 0x84)) + list(byte_range(0x86, 0x90))
          + list(byte_range(0x98, 0x9F)) + list(byte_range(0xDB, 0xDE))
          + list(byte_range(0xFC, 0xFF)), 225, fill_from_below),
    Table("vietnamese", "cp1258", "ibm-5354", "CP1258",
          [0x81, 0x8A, 0x8D, 0x8E, 0x8F, 0x90, 0x9A, 0x9D, 0x9E], 247, fill_from_below),
    # Not a catalogue row of its own: the Palm DOC reader's Western table.
    Table("palm-western", "cp1252", "windows-1252", "CP1252",
          [0x81, 0x8D, 0x8F, 0x90, 0x9D], 251, fill_same),
]

# Cells the finished tables must hold, written out one by one rather than derived from the
# rules above, so that a rule that goes wrong cannot agree with itself.
LISTED_CELLS = {
    "iso8859-1": {0x80: 0x0080, 0x9F: 0x009F, 0xA4: 0x00A4, 0xE9: 0x00E9, 0xFF: 0x00FF},
    "iso8859-2": {0xA1: 0x0104, 0xB1: 0x0105, 0xFF: 0x02D9},
    "iso8859-3": {0xA1: 0x0126, 0xA5: 0x0000, 0xAE: 0x0000, 0xBE: 0x0000, 0xC3: 0x0000,
                  0xD0: 0x0000, 0xE3: 0x0000, 0xF0: 0x0000},
    "iso8859-4": {0xA1: 0x0104, 0xA2: 0x0138, 0xFF: 0x02D9},
    "iso8859-5": {0xA1: 0x0401, 0xB0: 0x0410, 0xF0: 0x2116, 0xFD: 0x00A7, 0xFF: 0x045F},
    "iso8859-6": {0xA0: 0x00A0, 0xA4: 0x00A4, 0xA1: 0xFFFF, 0xC1: 0x0621, 0xDB: 0xFFFF,
                  0xF2: 0x0652, 0xFF: 0xFFFF},
    "iso8859-7": {0xA1: 0x2018, 0xA2: 0x2019, 0xA4: 0xFFFF, 0xA5: 0xFFFF, 0xAA: 0xFFFF,
                  0xAE: 0xFFFF, 0xC1: 0x0391, 0xD2: 0xFFFF, 0xFF: 0x0000},
    "thai": dict(
        [(0x80, 0x20AC), (0x85, 0x2026), (0xA0, 0x00A0), (0xA1, 0x0E01), (0xDA, 0x0E3A),
         (0xFB, 0x0E5B)]
        + [(b, 0x20AC) for b in byte_range(0x81, 0x84)]
        + [(b, 0x2026) for b in byte_range(0x86, 0x90)]
        + [(b, 0x2014) for b in byte_range(0x98, 0x9F)]
        + [(b, 0x0E3A) for b in byte_range(0xDB, 0xDE)]
        + [(b, 0x0E5B) for b in byte_range(0xFC, 0xFF)]),
    "vietnamese": {
        0x80: 0x20AC, 0x81: 0x20AC, 0x89: 0x2030, 0x8A: 0x2030, 0x8C: 0x0152, 0x8D: 0x0152,
        0x8E: 0x0152, 0x8F: 0x0152, 0x90: 0x0152, 0x99: 0x2122, 0x9A: 0x2122, 0x9C: 0x0153,
        0x9D: 0x0153, 0x9E: 0x0153,
        # the combining marks stay separate characters
        0xCC: 0x0300, 0xD2: 0x0309, 0xDE: 0x0303, 0xEC: 0x0301, 0xF2: 0x0323},
    "palm-western": {
        0x80: 0x20AC, 0x81: 0x0081, 0x85: 0x2026, 0x8D: 0x008D, 0x93: 0x201C, 0x94: 0x201D,
        0x96: 0x2013, 0x97: 0x2014, 0x9D: 0x009D, 0x9F: 0x0178, 0xA0: 0x00A0, 0xE9: 0x00E9,
        0xFF: 0x00FF},
}

# Where a second source is known to assign another character than the primary one. Anything
# else that differs stops the script.
KNOWN_VALUE_DIFFERENCES = {}


def primary_mapping(table):
    """byte -> code point from the Python codec, with the viewer's removals applied."""
    mapping = {}
    for byte in range(256):
        try:
            text = bytes([byte]).decode(table.codec)
        except UnicodeDecodeError:
            continue
        expect(len(text) == 1, f"{table.codec}: byte {byte:#04x} gives {len(text)} characters")
        mapping[byte] = ord(text)
    for byte, unit in table.removed.items():
        expect(mapping.get(byte) == unit,
               f"{table.codec}: byte {byte:#04x} should be U+{unit:04X}, the addition that is "
               f"taken out, but the codec gives {mapping.get(byte)!r}")
        del mapping[byte]
    return mapping


def check_primary(table, mapping):
    for byte in range(0x80):
        expect(mapping.get(byte) == byte,
               f"{table.codec}: byte {byte:#04x} does not map to itself")
    gaps = set(range(256)) - set(mapping)
    expect(gaps == table.gaps,
           f"{table.codec}: unassigned bytes {sorted(hex(b) for b in gaps)}, expected "
           f"{sorted(hex(b) for b in table.gaps)}")
    expect(len(mapping) == table.chars,
           f"{table.codec}: {len(mapping)} characters, expected {table.chars}")
    for byte, cp in mapping.items():
        expect(cp <= 0xFFFF and not 0xD800 <= cp <= 0xDFFF,
               f"{table.codec}: byte {byte:#04x} maps to U+{cp:04X}, not one UTF-16 unit")
        expect(cp != 0xFFFF and (cp != 0 or byte == 0),
               f"{table.codec}: byte {byte:#04x} maps to a value the gaps use")


def build_units(table, mapping):
    units = []
    for byte in range(256):
        units.append(mapping[byte] if byte in mapping else table.fill(byte, mapping))
    return units


def check_units(table, units):
    expect(len(units) == 256, f"{table.name}: {len(units)} cells")
    for byte, unit in LISTED_CELLS[table.name].items():
        expect(units[byte] == unit,
               f"{table.name}: cell {byte:#04x} holds {units[byte]:#06x}, expected {unit:#06x}")
    if table.name == "iso8859-1":
        expect(units == list(range(256)), "iso8859-1: not every byte maps to itself")
    if table.name == "iso8859-6":
        expect(units.count(0xFFFF) == 45, "iso8859-6: not 45 cells of 0xFFFF")
    if table.name == "palm-western":
        expect(all(units[b] == b for b in range(256) if not 0x80 <= b <= 0x9F),
               "palm-western: a byte outside 0x80 to 0x9F is not its ISO-8859-1 unit")


# --- second sources -------------------------------------------------------------------------

def icu_mapping(converter):
    """byte -> code point as ICU's uconv decodes single bytes, or None without uconv."""
    uconv = shutil.which("uconv")
    if uconv is None:
        return None
    mapping = {}
    # Upper half: each byte followed by LF; an unassigned byte is skipped and leaves an empty
    # field between two LFs.
    data = b"".join(bytes([byte, 0x0A]) for byte in range(0x80, 0x100))
    result = subprocess.run([uconv, "-f", converter, "-t", "UTF-32BE", "--from-callback", "skip"],
                            input=data, capture_output=True, check=True)
    text = result.stdout.decode("utf-32-be")
    fields = text.split("\n")
    expect(len(fields) == 129 and fields[-1] == "",
           f"ICU {converter}: unexpected output shape ({len(fields)} fields)")
    for byte, field in zip(range(0x80, 0x100), fields):
        expect(len(field) <= 1, f"ICU {converter}: byte {byte:#04x} gives {field!r}")
        if field:
            mapping[byte] = ord(field)
    lower = subprocess.run([uconv, "-f", converter, "-t", "UTF-32BE"],
                           input=bytes(range(0x80)), capture_output=True, check=True)
    for byte, char in enumerate(lower.stdout.decode("utf-32-be")):
        mapping[byte] = ord(char)
    return mapping


def glibc_mapping(charmap):
    """byte -> code point from a glibc charmap file, or None when it is not installed."""
    path = os.path.join(GLIBC_CHARMAPS, charmap + ".gz")
    if not os.path.exists(path):
        return None
    mapping = {}
    inside = False
    with gzip.open(path, "rt", encoding="ascii", errors="replace") as lines:
        for line in lines:
            if line.startswith("CHARMAP"):
                inside = True
                continue
            if line.startswith("END CHARMAP"):
                break
            fields = line.split()
            if not inside or len(fields) < 2 or not fields[0].startswith("<U"):
                continue
            if fields[0].count("<U") != 1 or not fields[1].startswith("/x"):
                continue  # sequences of several characters, ranges: none of a single byte
            code = fields[1][2:]
            if len(code) != 2:
                continue
            mapping[int(code, 16)] = int(fields[0][2:-1], 16)
    return mapping


def cross_check(table, mapping, source_name, other, notes):
    """Compares the primary mapping (removals applied) with another source."""
    if other is None:
        notes.append(f"{table.name}: {source_name} not available, not compared")
        return
    only_theirs, only_ours = [], []
    for byte in range(256):
        ours, theirs = mapping.get(byte), other.get(byte)
        if ours == theirs:
            continue
        if theirs is None:
            only_ours.append(f"{byte:02X}=U+{ours:04X}")
        elif ours is None:
            only_theirs.append(f"{byte:02X}=U+{theirs:04X}")
        else:
            known = KNOWN_VALUE_DIFFERENCES.get((table.name, source_name, byte))
            expect(known == (ours, theirs),
                   f"{table.name}: byte {byte:#04x} is U+{ours:04X} in the codec but "
                   f"U+{theirs:04X} in {source_name}")
            notes.append(f"{table.name}: {source_name} maps {byte:#04x} to U+{theirs:04X}, "
                         f"the codec to U+{ours:04X} (known)")
    if only_theirs:
        notes.append(f"{table.name}: {source_name} assigns bytes that are gaps here: "
                     + " ".join(only_theirs))
    if only_ours:
        notes.append(f"{table.name}: {source_name} leaves unassigned: " + " ".join(only_ours))


# --- output ---------------------------------------------------------------------------------

def banner(comment, what):
    return (f"{comment} GENERATED FILE - do not edit. Written by {SCRIPT} from Python's codecs\n"
            f"{comment} (Python {sys.version.split()[0]}); run the script to change it.\n"
            f"{comment} {what}\n")


def cpp_rows(units, indent):
    lines = []
    for start in range(0, 256, 8):
        cells = ", ".join(f"0x{unit:04X}" for unit in units[start:start + 8])
        lines.append(f"{indent}/* 0x{start:02X} */ {cells},")
    return "\n".join(lines)


def iso_header(tables):
    parts = []
    for number, (table, units) in enumerate(tables, start=1):
        parts.append(f"    // part {number}: ISO-8859-{number}\n    {{\n"
                     f"{cpp_rows(units, '        ')}\n    }},")
    body = "\n".join(parts)
    return (banner("//", "The seven ISO-8859 tables (parts 1 to 7), one UTF-16 unit per byte.")
            + "#pragma once\n\n"
            "// Part p is row p - 1. Gaps: part 3 holds 0x0000, part 6 0xFFFF, part 7 0xFFFF\n"
            "// (0x0000 at 0xFF); part 7 is the edition before 2003 (no euro, drachma,\n"
            "// ypogegrammeni).\n"
            "inline constexpr char16_t kIso8859Tables[7][256] = {\n"
            f"{body}\n}};\n")


def thai_viet_header(thai, vietnamese):
    return (banner("//", "The Thai (code page 874) and Vietnamese (code page 1258) tables.")
            + "#pragma once\n\n"
            "// An unassigned byte repeats the unit of the nearest assigned byte below it.\n"
            "inline constexpr char16_t kThaiTable[256] = {\n"
            f"{cpp_rows(thai, '    ')}\n}};\n\n"
            "// Combining marks (0xCC, 0xD2, 0xDE, 0xEC, 0xF2) are written as they are.\n"
            "inline constexpr char16_t kVietnameseTable[256] = {\n"
            f"{cpp_rows(vietnamese, '    ')}\n}};\n")


def palm_western_header(units):
    return (banner("//", "The Western Palm DOC table, one UTF-16 unit per byte.")
            + "#pragma once\n\n"
            "// ISO-8859-1, except 0x80 to 0x9F, which Palm books fill from Windows code page 1252\n"
            "// (curly quotes, dashes, the euro sign); its five gaps keep the byte's own value.\n"
            "inline constexpr char16_t kPalmWesternTable[256] = {\n"
            f"{cpp_rows(units, '    ')}\n}};\n")


def reference_text(tables):
    lines = [banner("#", "For every byte (hex), the UTF-16 unit (hex) each table must give, "
                         "gaps filled.").rstrip("\n"),
             "# byte " + " ".join(table.name for table, _ in tables)]
    for byte in range(256):
        lines.append(f"{byte:02X} " + " ".join(f"{units[byte]:04X}" for _, units in tables))
    return "\n".join(lines) + "\n"


def generate(notes):
    built = []
    for table in TABLES:
        codecs.lookup(table.codec)  # raises when this Python lacks the codec
        mapping = primary_mapping(table)
        check_primary(table, mapping)
        cross_check(table, mapping, "ICU", icu_mapping(table.icu), notes)
        cross_check(table, mapping, "glibc", glibc_mapping(table.glibc), notes)
        units = build_units(table, mapping)
        check_units(table, units)
        built.append((table, units))
    iso = built[:7]
    files = {
        ISO_HEADER: iso_header(iso),
        THAI_VIET_HEADER: thai_viet_header(built[7][1], built[8][1]),
        PALM_WESTERN_HEADER: palm_western_header(built[9][1]),
        REFERENCE: reference_text(built[:9]),
    }
    return files


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--check", action="store_true",
                        help="compare with the committed files instead of writing them")
    parser.add_argument("--quiet", action="store_true", help="do not list the differences "
                        "from the second sources")
    args = parser.parse_args()
    notes = []
    try:
        files = generate(notes)
    except (GeneratorError, subprocess.CalledProcessError, LookupError) as error:
        print(f"{SCRIPT}: error: {error}", file=sys.stderr)
        return 1
    if not args.quiet:
        for note in notes:
            print("note:", note)
    stale = []
    for relative, text in files.items():
        path = os.path.join(REPO, relative)
        if args.check:
            try:
                with open(path, encoding="utf-8") as existing:
                    current = existing.read()
            except FileNotFoundError:
                current = None
            # The Python version in the banner may differ; compare the rest.
            strip = lambda s: s.split("\n", 2)[2] if s else s
            if strip(current) != strip(text):
                stale.append(relative)
            continue
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "w", encoding="utf-8", newline="\n") as out:
            out.write(text)
        print("wrote", relative)
    if stale:
        print(f"{SCRIPT}: stale: {', '.join(stale)}", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
