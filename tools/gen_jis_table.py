#!/usr/bin/env python3
"""Generates the JIS X 0208 conversion table of the Japanese decoders.

The table has one 16-bit cell per JIS X 0208 position, 94 cells per row, rows 1 to 83 whole
and the first six cells of row 84 (JIS 0x2121 to 0x7426): 7808 cells. Each cell holds the
character that Windows code page 932 gives for that position, except that the code page's
own additions are left out (row 13, the NEC special characters; rows 89 to 92 lie beyond the
table anyway). A cell without a character holds 0xFFFF.

Source: Python's cp932 codec. Cross-checks: Python's shift_jis and euc_jp codecs (which follow
the JIS mapping and must differ from cp932 in exactly six known cells) and, when ICU's `uconv`
is on the PATH, ICU's windows-31j and EUC-JP converters (differences are reported only).

Writes:
  decode/tables/jis_table.cpp               the C++ table (committed; the build never runs this)
  tests/decode/reference/cp932_pairs.txt    every Shift-JIS lead/trail pair and the unit the
                                            decoder must give for it, decoded by the cp932 codec
                                            straight from the bytes

Usage: tools/gen_jis_table.py [--check]   (--check: verify the committed files are current)
Standard library only.
"""

import os
import shutil
import subprocess
import sys

ROWS_WHOLE = 83
LAST_ROW_CELLS = 6
CELLS_PER_ROW = 94
CELL_COUNT = ROWS_WHOLE * CELLS_PER_ROW + LAST_ROW_CELLS  # 7808
EXPECTED_CHARACTERS = 6879  # JIS X 0208:1990
EMPTY = 0xFFFF
NEC_ROW = 13

# Where code page 932 departs from the JIS mapping: JIS code -> (cp932 value, JIS-style value).
CP932_DEPARTURES = {
    0x2141: (0xFF5E, 0x301C),  # fullwidth tilde, not wave dash
    0x2142: (0x2225, 0x2016),  # parallel to, not double vertical line
    0x215D: (0xFF0D, 0x2212),  # fullwidth hyphen-minus, not minus sign
    0x2171: (0xFFE0, 0x00A2),  # fullwidth cent sign
    0x2172: (0xFFE1, 0x00A3),  # fullwidth pound sign
    0x224C: (0xFFE2, 0x00AC),  # fullwidth not sign
}

SJIS_LEADS = list(range(0x81, 0xA0)) + list(range(0xE0, 0xF0))
SJIS_TRAILS = [t for t in range(0x40, 0xFD) if t != 0x7F]

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
TABLE_PATH = os.path.join(ROOT, "decode", "tables", "jis_table.cpp")
PAIRS_PATH = os.path.join(ROOT, "tests", "decode", "reference", "cp932_pairs.txt")


def fail(message):
    sys.stderr.write("gen_jis_table.py: FAILED: " + message + "\n")
    sys.exit(1)


def sjis_from_jis(row, cell):
    """The Shift-JIS byte pair of JIS row/cell (1..94 each), by the standard rule."""
    lead = (row + 1) // 2 + (0x80 if row <= 62 else 0xC0)
    if row % 2 == 1:
        trail = cell + 0x3F + (1 if cell >= 64 else 0)  # 0x40..0x7E, then 0x80..0x9E
    else:
        trail = cell + 0x9E  # 0x9F..0xFC
    return bytes([lead, trail])


def jis_code(row, cell):
    return ((row + 0x20) << 8) | (cell + 0x20)


def in_table(row, cell):
    return (row - 1) * CELLS_PER_ROW + (cell - 1) < CELL_COUNT


def decode_one(data, codec):
    """The single BMP character that `codec` gives for `data`, or None."""
    try:
        text = data.decode(codec)
    except UnicodeDecodeError:
        return None
    if len(text) != 1 or ord(text) > 0xFFFF:
        return None
    return ord(text)


def build_cells():
    cells = []
    for row in range(1, 95):
        for cell in range(1, 95):
            if not in_table(row, cell):
                continue
            value = decode_one(sjis_from_jis(row, cell), "cp932")
            if row == NEC_ROW or value is None:
                value = EMPTY
            cells.append(value)
    return cells


def check_cells(cells):
    if len(cells) != CELL_COUNT:
        fail("expected %d cells, built %d" % (CELL_COUNT, len(cells)))
    characters = [v for v in cells if v != EMPTY]
    if len(characters) != EXPECTED_CHARACTERS:
        fail("expected %d characters, found %d" % (EXPECTED_CHARACTERS, len(characters)))
    if cells.count(EMPTY) != CELL_COUNT - EXPECTED_CHARACTERS:
        fail("expected %d empty cells, found %d" % (CELL_COUNT - EXPECTED_CHARACTERS, cells.count(EMPTY)))
    if len(set(characters)) != len(characters):
        fail("a character occupies more than one cell")
    if any(v < 0x80 or 0xD800 <= v <= 0xDFFF for v in characters):
        fail("a cell holds an ASCII/control unit or a surrogate")
    nec_start = (NEC_ROW - 1) * CELLS_PER_ROW
    if any(v != EMPTY for v in cells[nec_start:nec_start + CELLS_PER_ROW]):
        fail("row 13 is not empty")
    for code, (wanted, _) in CP932_DEPARTURES.items():
        row, cell = (code >> 8) - 0x20, (code & 0xFF) - 0x20
        got = cells[(row - 1) * CELLS_PER_ROW + (cell - 1)]
        if got != wanted:
            fail("JIS 0x%04X holds U+%04X, expected U+%04X" % (code, got, wanted))
    # Spot checks that pin the layout: the first cell, HIRAGANA A, and the last two kanji.
    for code, wanted in ((0x2121, 0x3000), (0x2422, 0x3042), (0x7425, 0x51DC), (0x7426, 0x7199)):
        row, cell = (code >> 8) - 0x20, (code & 0xFF) - 0x20
        if cells[(row - 1) * CELLS_PER_ROW + (cell - 1)] != wanted:
            fail("JIS 0x%04X is not U+%04X" % (code, wanted))


def cross_check_python(cells):
    """cp932 against the JIS-style shift_jis and euc_jp codecs: exactly the six departures."""
    disagreements = {}
    for row in range(1, 95):
        for cell in range(1, 95):
            if not in_table(row, cell) or row == NEC_ROW:
                continue
            ours = cells[(row - 1) * CELLS_PER_ROW + (cell - 1)]
            by_sjis = decode_one(sjis_from_jis(row, cell), "shift_jis")
            by_euc = decode_one(bytes([row + 0xA0, cell + 0xA0]), "euc_jp")
            by_sjis = EMPTY if by_sjis is None else by_sjis
            by_euc = EMPTY if by_euc is None else by_euc
            if ours != by_sjis or ours != by_euc:
                disagreements[jis_code(row, cell)] = (ours, by_sjis, by_euc)
    for code, (ours, by_sjis, by_euc) in sorted(disagreements.items()):
        print("  JIS 0x%04X: cp932 U+%04X, shift_jis U+%04X, euc_jp U+%04X" % (code, ours, by_sjis, by_euc))
    expected = {code: (cp, jis, jis) for code, (cp, jis) in CP932_DEPARTURES.items()}
    if disagreements != expected:
        fail("cp932 departs from Python's shift_jis/euc_jp codecs elsewhere than in the six known cells")
    print("Python codecs: cp932 differs from shift_jis and euc_jp in exactly the %d expected cells" % len(expected))


def icu_decode_all(pairs, codec):
    """Decodes each two-byte pair with ICU's uconv; None where ICU has no character."""
    data = b"".join(p + b"\n" for p in pairs)
    result = subprocess.run(["uconv", "--from-callback", "substitute", "-f", codec, "-t", "UTF-8"], input=data,
                            capture_output=True, check=False)
    if result.returncode != 0:
        return None
    lines = result.stdout.decode("utf-8").split("\n")[:-1]
    if len(lines) != len(pairs):
        return None
    values = []
    for line in lines:
        if len(line) == 1 and line not in ("\ufffd", "\x1a"):
            values.append(ord(line))
        else:
            values.append(EMPTY)
    return values


def cross_check_icu(cells):
    if shutil.which("uconv") is None:
        print("ICU: uconv not found, cross-check skipped")
        return
    positions = [(r, c) for r in range(1, 95) for c in range(1, 95) if in_table(r, c) and r != NEC_ROW]
    for codec, to_bytes in (("windows-31j", lambda r, c: sjis_from_jis(r, c)),
                            ("EUC-JP", lambda r, c: bytes([r + 0xA0, c + 0xA0]))):
        values = icu_decode_all([to_bytes(r, c) for r, c in positions], codec)
        if values is None:
            print("ICU: uconv could not decode with %s, cross-check skipped" % codec)
            continue
        differences = [(r, c, v) for (r, c), v in zip(positions, values)
                       if v != cells[(r - 1) * CELLS_PER_ROW + (c - 1)]]
        print("ICU %s: %d cells differ from the table" % (codec, len(differences)))
        for r, c, v in differences:
            print("  JIS 0x%04X: table U+%04X, ICU U+%04X" % (jis_code(r, c), cells[(r - 1) * CELLS_PER_ROW + (c - 1)], v))


BANNER = "Generated by tools/gen_jis_table.py from Python's cp932 codec. Do not edit by hand."


def render_table(cells):
    lines = [
        "// " + BANNER,
        "// JIS X 0208 cells (row 1 cell 1 to row 84 cell 6) in code page 932's mapping, without",
        "// its NEC row 13; 0xFFFF where no character is assigned. %d cells, %d characters."
        % (CELL_COUNT, EXPECTED_CHARACTERS),
        "#include \"decode/tables/jis_table.h\"",
        "",
        "const char16_t kJisTable[kJisTableCells] = {",
    ]
    for row in range(1, ROWS_WHOLE + 2):
        start = (row - 1) * CELLS_PER_ROW
        row_cells = cells[start:start + CELLS_PER_ROW]
        lines.append("    // row %d (JIS 0x%02X21)" % (row, row + 0x20))
        for i in range(0, len(row_cells), 12):
            lines.append("    " + " ".join("0x%04X," % v for v in row_cells[i:i + 12]))
    lines.append("};")
    return "\n".join(lines) + "\n"


def render_pairs(cells):
    by_pair = {}
    for row in range(1, 95):
        for cell in range(1, 95):
            by_pair[sjis_from_jis(row, cell)] = (row, cell)
    lines = [
        "# " + BANNER,
        "# Every Shift-JIS lead byte (0x81-0x9F, 0xE0-0xEF) with every trail byte 0x40-0xFC except",
        "# 0x7F, in that order: one line per lead byte, 'LL:' then 188 units in hex. A unit is what",
        "# the cp932 codec gives for the two bytes, or FFFF where it gives nothing, where the pair",
        "# lies in row 13 (NEC special characters) or beyond JIS 0x7426 (the end of the table).",
    ]
    count = 0
    for lead in SJIS_LEADS:
        units = []
        for trail in SJIS_TRAILS:
            pair = bytes([lead, trail])
            row, cell = by_pair[pair]
            value = decode_one(pair, "cp932")
            if value is None or row == NEC_ROW or not in_table(row, cell):
                value = EMPTY
            elif value != cells[(row - 1) * CELLS_PER_ROW + (cell - 1)]:
                fail("pair %s disagrees with the table" % pair.hex())
            units.append("%04X" % value)
            count += 1
        lines.append("%02X: %s" % (lead, " ".join(units)))
    if count != len(SJIS_LEADS) * len(SJIS_TRAILS) or len(by_pair) != CELLS_PER_ROW * CELLS_PER_ROW:
        fail("the Shift-JIS pairs do not cover the 94 x 94 JIS code space one to one")
    return "\n".join(lines) + "\n"


def main():
    check_only = sys.argv[1:] == ["--check"]
    if sys.argv[1:] and not check_only:
        fail("usage: gen_jis_table.py [--check]")
    cells = build_cells()
    check_cells(cells)
    cross_check_python(cells)
    cross_check_icu(cells)
    outputs = {TABLE_PATH: render_table(cells), PAIRS_PATH: render_pairs(cells)}
    stale = False
    for path, text in outputs.items():
        current = open(path, encoding="ascii").read() if os.path.exists(path) else None
        if current == text:
            continue
        if check_only:
            print("stale: " + os.path.relpath(path, ROOT))
            stale = True
        else:
            os.makedirs(os.path.dirname(path), exist_ok=True)
            with open(path, "w", encoding="ascii", newline="\n") as out:
                out.write(text)
            print("wrote " + os.path.relpath(path, ROOT))
    print("%d cells, %d characters, %d empty" % (CELL_COUNT, EXPECTED_CHARACTERS, CELL_COUNT - EXPECTED_CHARACTERS))
    if stale:
        sys.exit(1)


if __name__ == "__main__":
    main()
