#!/usr/bin/env python3
"""Generates the conversion tables of the Korean and Chinese decoders.

Four tables of 16-bit cells, each indexed arithmetically from the lead and trail byte:

  UHC     lead 0x81-0xC8 x trail 0x41-0xFE (190 a row), 13680 cells: code page 949 (EUC-KR with
          the Unified Hangul Code extension). Source: Python's cp949 codec.
  Hanja   lead 0xCA-0xFD x trail 0xA1-0xFE (94 a row), 4888 cells: the KS X 1001 Hanja as
          EUC-KR maps them, every cell assigned. Source: Python's euc_kr codec.
  Big5    lead 0xA1-0xF9 x trail 0x40-0xFE (191 a row, the unused trails 0x7F-0xA0 included),
          ending with the cell 0xF9D7: 16960 cells. Source: Python's cp950 codec, with these
          departures: eleven cells take the classic Big5 character (Python's big5 codec gives
          it), seven duplicate or doubtful cells hold U+FFFD, the euro cell 0xA3E1 holds 0xFFFF,
          the user-defined area 0xC6A1-0xC8FE holds 0xFFFF (Python's codecs put the ETEN kana
          there, Windows does not), and the cells 0xF9D6 and 0xF9D7 hold 0x0000: the code page
          950 extension that starts there is left out.
  GB2312  lead 0xA1-0xF7 x trail 0xA1-0xFE (94 a row), 8178 cells holding the 7445 characters
          of GB 2312. Source: Python's gbk codec (code page 936), except that 0xA1A4 is U+30FB
          and 0xA1AA is U+2015, and that the 33 cells code page 936 adds in these rows hold
          0xFFFF. Python's gb2312 codec must agree with the result cell for cell.

Everywhere a pair has no character, the cell holds 0xFFFF.

Checks (the script stops with FAILED when one does not hold): cell and character counts, the
listed departures against what the source gives there, the extension Hangul, the agreement of
each source with a second Python codec, and, where ICU's common library can be loaded, each
source against ICU's converter for the same code page: every disagreement must be one that is
known (ICU puts private-use characters where the Python codec has none, and in Big5's
user-defined area); all of them are printed.

Writes:
  decode/tables/korean_tables_uhc.cpp, korean_tables_hanja.cpp,
  decode/tables/chinese_tables_big5.cpp, chinese_tables_gb2312.cpp     the C++ tables
  tests/decode/reference/{uhc,hanja,big5,gb2312}_pairs.txt             what the decoders must
      give for every pair of each table, one line per lead byte, 'LL:' then one token per
      trail byte in order: a unit in hex, 'XXXX+k' for that unit and the k units counting up
      after it, or 'XXXX*k' for k cells in a row holding XXXX.

Usage: tools/gen_cjk_tables.py [--check]   (--check: verify that the committed files are current)
Standard library only; the build never runs this.
"""

import ctypes
import ctypes.util
import os
import re
import sys
import textwrap

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
TABLES_DIR = os.path.join(ROOT, "decode", "tables")
REFERENCE_DIR = os.path.join(ROOT, "tests", "decode", "reference")
SCRIPT = "tools/gen_cjk_tables.py"

NONE = 0xFFFF  # a cell without a character


def fail(message):
    sys.stderr.write("gen_cjk_tables.py: FAILED: " + message + "\n")
    sys.exit(1)


def expect(condition, message):
    if not condition:
        fail(message)


def decode_pair(codec, lead, trail):
    """The one UTF-16 unit `codec` gives for the two bytes, or None when it gives no character."""
    try:
        text = bytes([lead, trail]).decode(codec)
    except UnicodeDecodeError:
        return None
    expect(len(text) == 1 and ord(text) <= 0xFFFF,
           "%s gives %r for %02X%02X, not one BMP character" % (codec, text, lead, trail))
    return ord(text)


class Table:
    """One table's layout: leads first..last, `row_cells` trails from `trail_first` a row."""

    def __init__(self, name, symbol, lead_first, lead_last, trail_first, row_cells, cell_count):
        self.name = name                # short name, used for file names and messages
        self.symbol = symbol            # the C++ array's name
        self.lead_first = lead_first    # first lead byte
        self.lead_last = lead_last      # last lead byte (its row may be cut short)
        self.trail_first = trail_first  # trail byte of a row's first cell
        self.row_cells = row_cells      # cells per row
        self.cell_count = cell_count    # cells in all
        self.cells = []                 # the 16-bit values, filled by a builder

    def pairs(self):
        """Every (lead, trail) of the table in cell order."""
        for index in range(self.cell_count):
            yield self.pair_at(index)

    def pair_at(self, index):
        return (self.lead_first + index // self.row_cells, self.trail_first + index % self.row_cells)

    def index_of(self, lead, trail):
        return (lead - self.lead_first) * self.row_cells + (trail - self.trail_first)

    def cell(self, code):
        return self.cells[self.index_of(code >> 8, code & 0xFF)]


def is_hangul_syllable(u):
    return 0xAC00 <= u <= 0xD7A3


def is_cjk_ideograph(u):
    return 0x4E00 <= u <= 0x9FFF or 0xF900 <= u <= 0xFAFF


def in_ks_x_1001_area(lead, trail):
    return lead >= 0xA1 and trail >= 0xA1


# ---- Korean -------------------------------------------------------------------------------

UHC_EXTENSION_SYLLABLES = 8822  # the Hangul syllables code page 949 adds to KS X 1001
KS_X_1001_HANGUL = 2350
KS_X_1001_NON_HANJA = 3338      # symbols, letters and Hangul in leads 0xA1-0xC8, euro and (R) included
HANJA_COUNT = 4888


def build_uhc():
    table = Table("uhc", "kUhcTable", 0x81, 0xC8, 0x41, 190, 72 * 190)
    extension = set()
    ks_hangul = set()
    for lead, trail in table.pairs():
        value = decode_pair("cp949", lead, trail)
        table.cells.append(NONE if value is None else value)
        if value is None:
            continue
        if in_ks_x_1001_area(lead, trail):
            if is_hangul_syllable(value):
                ks_hangul.add(value)
        else:
            expect(is_hangul_syllable(value), "cp949 %02X%02X: U+%04X is no Hangul syllable" % (lead, trail, value))
            extension.add(value)
    assigned = sum(1 for v in table.cells if v != NONE)
    expect(len(extension) == UHC_EXTENSION_SYLLABLES, "cp949 has %d extension syllables" % len(extension))
    expect(len(ks_hangul) == KS_X_1001_HANGUL, "cp949 has %d KS X 1001 syllables" % len(ks_hangul))
    expect(extension.isdisjoint(ks_hangul) and len(extension | ks_hangul) == 11172,
           "the extension and KS X 1001 syllables do not make up the 11172 modern syllables")
    expect(assigned == UHC_EXTENSION_SYLLABLES + KS_X_1001_NON_HANJA, "cp949 assigns %d UHC cells" % assigned)
    expect(table.cell(0xA2E6) == 0x20AC and table.cell(0xA2E7) == 0x00AE, "cp949 lacks the euro or (R) sign")
    expect(table.cell(0xB0A1) == 0xAC00 and table.cell(0x8141) == 0xAC02, "cp949 0xB0A1 or 0x8141 moved")
    for lead in range(0x81, 0xC9):
        for trail in list(range(0x5B, 0x61)) + list(range(0x7B, 0x81)):
            expect(table.cell(lead << 8 | trail) == NONE, "cp949 assigns %02X%02X" % (lead, trail))
    # Second source: euc_kr agrees wherever both speak; it lacks only the lone Hangul filler
    # 0xA4D4, which it reads as the start of an eight-byte composition sequence.
    for lead, trail in table.pairs():
        if in_ks_x_1001_area(lead, trail):
            other = decode_pair("euc_kr", lead, trail)
            mine = table.cells[table.index_of(lead, trail)]
            if (lead, trail) == (0xA4, 0xD4):
                expect(other is None and mine == 0x3164, "0xA4D4 is no longer the Hangul filler")
            else:
                expect((NONE if other is None else other) == mine,
                       "cp949 and euc_kr disagree at %02X%02X" % (lead, trail))
    return table


def build_hanja():
    table = Table("hanja", "kHanjaTable", 0xCA, 0xFD, 0xA1, 94, 52 * 94)
    for lead, trail in table.pairs():
        value = decode_pair("euc_kr", lead, trail)
        expect(value is not None and is_cjk_ideograph(value),
               "euc_kr %02X%02X gives %r, not a Hanja" % (lead, trail, value))
        expect(decode_pair("cp949", lead, trail) == value, "cp949 and euc_kr disagree at %02X%02X" % (lead, trail))
        table.cells.append(value)
    expect(len(table.cells) == HANJA_COUNT, "%d Hanja" % len(table.cells))
    return table


# ---- Chinese ------------------------------------------------------------------------------

# Cells where the table keeps the classic Big5 character: Big5 -> (table, code page 950).
BIG5_CLASSIC = {
    0xA145: (0x2022, 0x2027), 0xA14E: (0xFF64, 0xFE51), 0xA1C2: (0x203E, 0x00AF),
    0xA1E3: (0x223C, 0xFF5E), 0xA1F2: (0x2641, 0x2295), 0xA1F3: (0x2609, 0x2299),
    0xA241: (0xFF0F, 0x2215), 0xA242: (0xFF3C, 0xFE68), 0xA244: (0x00A5, 0xFFE5),
    0xA246: (0x00A2, 0xFFE0), 0xA247: (0x00A3, 0xFFE1),
}
# Duplicates of other cells and doubtful symbols: U+FFFD.
BIG5_REPLACED = (0xA15A, 0xA1C3, 0xA1C5, 0xA1FE, 0xA240, 0xA2CC, 0xA2CE)
BIG5_EURO = 0xA3E1
BIG5_ZERO = (0xF9D6, 0xF9D7)                  # first cells of code page 950's extension
BIG5_USER_DEFINED = (0xC6A1, 0xC8FE)          # in pair order, trails 0x40-0xFE of each row
BIG5_CHARACTERS = 13454                       # 5401 + 7652 Hanzi and 408 symbols, less the 7 above
BIG5_USER_DEFINED_CELLS = 408                 # 94 + 63 + 94 + 63 + 94 trails of 0xC6A1-0xC8FE


def big5_user_defined(code):
    return BIG5_USER_DEFINED[0] <= code <= BIG5_USER_DEFINED[1] and (code & 0xFF) in BIG5_TRAILS


BIG5_TRAILS = set(range(0x40, 0x7F)) | set(range(0xA1, 0xFF))


def build_big5():
    table = Table("big5", "kBig5Table", 0xA1, 0xF9, 0x40, 191, 88 * 191 + 152)
    expect(table.pair_at(table.cell_count - 1) == (0xF9, 0xD7), "the Big5 table does not end with 0xF9D7")
    seen = {"classic": 0, "user": 0}
    for lead, trail in table.pairs():
        code = lead << 8 | trail
        cp950 = decode_pair("cp950", lead, trail)
        classic = decode_pair("big5", lead, trail)
        if code in BIG5_CLASSIC:
            want, cp950_value = BIG5_CLASSIC[code]
            expect(cp950 == cp950_value, "cp950 %04X is %r, expected U+%04X" % (code, cp950, cp950_value))
            expect(classic == want, "big5 %04X is %r, expected U+%04X" % (code, classic, want))
            value = want
            seen["classic"] += 1
        elif code in BIG5_REPLACED:
            expect(cp950 is not None, "cp950 leaves %04X unassigned" % code)
            value = 0xFFFD
        elif code == BIG5_EURO:
            expect(cp950 == 0x20AC and classic is None, "0xA3E1 is not code page 950's euro sign")
            value = NONE
        elif code in BIG5_ZERO:
            expect(cp950 is not None and classic is None, "%04X is not a code page 950 extension" % code)
            value = 0x0000
        elif big5_user_defined(code):
            seen["user"] += 1
            value = NONE
        else:
            # Everywhere else code page 950 and classic Big5 must be the same mapping.
            expect(cp950 == classic, "cp950 and big5 disagree at %04X: %r %r" % (code, cp950, classic))
            expect(cp950 is None or trail in BIG5_TRAILS, "cp950 assigns the unused trail %04X" % code)
            value = NONE if cp950 is None else cp950
        table.cells.append(value)
    characters = sum(1 for v in table.cells if v not in (NONE, 0xFFFD, 0x0000))
    expect(seen["classic"] == len(BIG5_CLASSIC), "classic cells missed")
    expect(seen["user"] == BIG5_USER_DEFINED_CELLS, "%d user-defined cells" % seen["user"])
    expect(characters == BIG5_CHARACTERS, "the Big5 table holds %d characters" % characters)
    expect(table.cell(0xA440) == 0x4E00 and table.cell(0xF9D5) == 0x9F98, "Big5 0xA440 or 0xF9D5 moved")
    return table


GB2312_DEPARTURES = {0xA1A4: (0x30FB, 0x00B7), 0xA1AA: (0x2015, 0x2014)}  # table, code page 936
GB2312_CP936_ADDITIONS = (
    list(range(0xA2A1, 0xA2AB)) + list(range(0xA6E0, 0xA6EC)) + list(range(0xA6EE, 0xA6F3))
    + [0xA6F4, 0xA6F5, 0xA8BB, 0xA8BD, 0xA8BE, 0xA8C0])
GB2312_CHARACTERS = 7445


def build_gb2312():
    table = Table("gb2312", "kGb2312Table", 0xA1, 0xF7, 0xA1, 94, 87 * 94)
    expect(len(GB2312_CP936_ADDITIONS) == 33, "the list of code page 936 additions")
    additions = set(GB2312_CP936_ADDITIONS)
    for lead, trail in table.pairs():
        code = lead << 8 | trail
        cp936 = decode_pair("gbk", lead, trail)
        if code in GB2312_DEPARTURES:
            want, cp936_value = GB2312_DEPARTURES[code]
            expect(cp936 == cp936_value, "gbk %04X is %r, expected U+%04X" % (code, cp936, cp936_value))
            value = want
        elif code in additions:
            expect(cp936 is not None, "gbk leaves %04X unassigned" % code)
            value = NONE
        else:
            value = NONE if cp936 is None else cp936
        table.cells.append(value)
        # Second source: Python's gb2312 codec is exactly the result.
        gb = decode_pair("gb2312", lead, trail)
        expect((NONE if gb is None else gb) == value, "gb2312 disagrees at %04X" % code)
    characters = sum(1 for v in table.cells if v != NONE)
    expect(characters == GB2312_CHARACTERS, "the GB2312 table holds %d characters" % characters)
    expect(table.cell(0xB0A1) == 0x554A and table.cell(0xF7FE) == 0x9F44, "GB2312 0xB0A1 or 0xF7FE moved")
    return table


# ---- Cross-check with ICU -----------------------------------------------------------------

class IcuConverter:
    """ICU's toUnicode for one converter, loaded from libicuuc through ctypes."""

    def __init__(self, library, suffix, name):
        P = ctypes.POINTER
        def function(base, restype, argtypes):
            f = getattr(library, base + suffix)
            f.restype, f.argtypes = restype, argtypes
            return f
        open_ = function("ucnv_open", ctypes.c_void_p, [ctypes.c_char_p, P(ctypes.c_int)])
        get_name = function("ucnv_getName", ctypes.c_char_p, [ctypes.c_void_p, P(ctypes.c_int)])
        set_callback = function("ucnv_setToUCallBack", None, [ctypes.c_void_p, ctypes.c_void_p, ctypes.c_void_p,
                                                              P(ctypes.c_void_p), P(ctypes.c_void_p), P(ctypes.c_int)])
        self._to_uchars = function("ucnv_toUChars", ctypes.c_int32, [ctypes.c_void_p, ctypes.c_void_p, ctypes.c_int32,
                                                                     ctypes.c_char_p, ctypes.c_int32, P(ctypes.c_int)])
        error = ctypes.c_int(0)
        self._converter = open_(name.encode("ascii"), ctypes.byref(error))
        expect(self._converter and error.value <= 0, "ICU cannot open %s (error %d)" % (name, error.value))
        self.name = get_name(self._converter, ctypes.byref(error)).decode("ascii")
        stop = ctypes.cast(getattr(library, "UCNV_TO_U_CALLBACK_STOP" + suffix), ctypes.c_void_p)
        old_action, old_context = ctypes.c_void_p(), ctypes.c_void_p()
        set_callback(self._converter, stop, None, ctypes.byref(old_action), ctypes.byref(old_context),
                     ctypes.byref(error))
        expect(error.value <= 0, "ICU refuses the stop callback")
        self._buffer = (ctypes.c_uint16 * 4)()

    def decode_pair(self, lead, trail):
        """The one unit ICU gives for the pair, or None for no character (or more than one unit)."""
        error = ctypes.c_int(0)
        count = self._to_uchars(self._converter, self._buffer, 4, bytes([lead, trail]), 2, ctypes.byref(error))
        if error.value > 0 or count != 1:
            return None
        return self._buffer[0]


def load_icu():
    name = ctypes.util.find_library("icuuc")
    if not name:
        return None
    try:
        library = ctypes.CDLL(name)
    except OSError:
        return None
    match = re.search(r"\.so\.(\d+)", name)
    for suffix in (["_" + match.group(1)] if match else []) + [""]:
        if hasattr(library, "ucnv_open" + suffix):
            return library, suffix
    return None


def describe_codes(codes):
    """Runs of consecutive codes, e.g. 'C6A1-C6FE C740-C77E'."""
    runs = []
    for code in sorted(codes):
        if runs and code == runs[-1][1] + 1:
            runs[-1][1] = code
        else:
            runs.append([code, code])
    return " ".join("%04X" % a if a == b else "%04X-%04X" % (a, b) for a, b in runs)


def is_private_use(u):
    return u is not None and 0xE000 <= u <= 0xF8FF


def cross_check_icu(checks):
    """checks: (label, python codec, ICU converter, table, skip(code), allowed(code, py, icu))."""
    icu = load_icu()
    if icu is None:
        print("ICU: libicuuc not found, cross-check skipped")
        return
    for label, codec, converter_name, table, skip, allowed in checks:
        converter = IcuConverter(icu[0], icu[1], converter_name)
        private_use, other = [], []
        for lead in range(table.lead_first, table.lead_last + 1):
            for trail in range(table.trail_first, table.trail_first + table.row_cells):
                code = lead << 8 | trail
                if skip(code):
                    continue
                mine, theirs = decode_pair(codec, lead, trail), converter.decode_pair(lead, trail)
                if mine == theirs:
                    continue
                if not allowed(code, mine, theirs):
                    other.append("%04X: %s U+%s, ICU U+%s" % (code, codec, "----" if mine is None else "%04X" % mine,
                                                              "----" if theirs is None else "%04X" % theirs))
                elif is_private_use(theirs):
                    private_use.append(code)
                else:
                    other.append("%04X: %s U+%04X, ICU U+%04X (known)" % (code, codec, mine, theirs))
        print("ICU %s (%s) against Python's %s, %s: %d private-use cells%s" %
              (converter_name, converter.name, codec, label, len(private_use),
               (": " + describe_codes(private_use)) if private_use else ""))
        for line in other:
            print("  " + line)
        expect(all(line.endswith("(known)") for line in other),
               "ICU %s and Python's %s disagree in unexpected cells" % (converter_name, codec))


def icu_checks(uhc, hanja, big5, gb2312):
    def no_difference(code, mine, theirs):
        return False

    def big5_user_area(code, mine, theirs):
        # Windows maps the user-defined area to private use; Python puts the ETEN kana there.
        return big5_user_defined(code) and is_private_use(theirs)

    def private_use_for_nothing(code, mine, theirs):
        return mine is None and is_private_use(theirs)

    def ibm_1383(code, mine, theirs):
        # IBM's GB2312 gives the acute accent for the apostrophe; private use for the rest.
        return private_use_for_nothing(code, mine, theirs) or (code == 0xA3A7 and (mine, theirs) == (0xFF07, 0x00B4))

    nothing = lambda code: False  # noqa: E731
    return [
        ("UHC cells", "cp949", "windows-949", uhc, nothing, no_difference),
        ("Hanja cells", "euc_kr", "windows-949", hanja, nothing, no_difference),
        ("Hanja cells", "euc_kr", "EUC-KR", hanja, nothing, no_difference),
        ("Big5 cells", "cp950", "windows-950", big5, lambda code: code > 0xF9D7, big5_user_area),
        ("GB2312 cells", "gbk", "windows-936", gb2312, nothing, private_use_for_nothing),
        ("GB2312 cells", "gb2312", "GB2312", gb2312, nothing, ibm_1383),
    ]


# ---- Output -------------------------------------------------------------------------------

def banner(sources):
    return "Generated by %s from %s. Do not edit by hand." % (SCRIPT, sources)


TABLE_NOTES = {
    "uhc": ("korean_tables.h", "Python's cp949 codec",
            ["Code page 949 (Unified Hangul Code): leads 0x81-0xC8, trails 0x41-0xFE, 190 cells a row;",
             "0xFFFF where the code page assigns nothing. 13680 cells, 12160 characters."]),
    "hanja": ("korean_tables.h", "Python's euc_kr codec",
              ["The KS X 1001 Hanja: leads 0xCA-0xFD, trails 0xA1-0xFE, 94 cells a row. 4888 cells,",
               "every one a character."]),
    "big5": ("chinese_tables.h", "Python's cp950 and big5 codecs",
             ["Big5 as code page 950 maps it: leads 0xA1-0xF9, trails 0x40-0xFE, 191 cells a row, up to",
              "0xF9D7. Eleven cells keep the classic Big5 character, seven hold U+FFFD, the euro cell",
              "0xA3E1 and the user-defined area 0xC6A1-0xC8FE hold 0xFFFF, 0xF9D6 and 0xF9D7 hold 0.",
              "0xFFFF where nothing is assigned. 16960 cells, 13454 characters."]),
    "gb2312": ("chinese_tables.h", "Python's gbk and gb2312 codecs",
               ["GB 2312 (EUC-CN) as code page 936 maps it, without the code page's 33 additions in",
                "these rows; 0xA1A4 is U+30FB and 0xA1AA is U+2015. Leads 0xA1-0xF7, trails 0xA1-0xFE,",
                "94 cells a row; 0xFFFF where nothing is assigned. 8178 cells, 7445 characters."]),
}


def render_table(table, count_constant):
    header, sources, notes = TABLE_NOTES[table.name]
    lines = ["// " + banner(sources)] + ["// " + note for note in notes] + [
        '#include "decode/tables/%s"' % header,
        "",
        "const char16_t %s[%s] = {" % (table.symbol, count_constant),
    ]
    for row_start in range(0, table.cell_count, table.row_cells):
        row = table.cells[row_start:row_start + table.row_cells]
        lead = table.lead_first + row_start // table.row_cells
        lines.append("    // lead 0x%02X, trails from 0x%02X" % (lead, table.trail_first))
        for i in range(0, len(row), 16):
            lines.append("    " + " ".join("0x%04X," % v for v in row[i:i + 16]))
    lines.append("};")
    return "\n".join(lines) + "\n"


def reference_units(table):
    """The expected unit of every pair, decoded again from the bytes, not read from table.cells."""
    builders = {"uhc": uhc_reference, "hanja": hanja_reference, "big5": big5_reference, "gb2312": gb2312_reference}
    return [builders[table.name](lead, trail) for lead, trail in table.pairs()]


def or_none(value):
    return NONE if value is None else value


def uhc_reference(lead, trail):
    return or_none(decode_pair("cp949", lead, trail))


def hanja_reference(lead, trail):
    return or_none(decode_pair("euc_kr", lead, trail))


def big5_reference(lead, trail):
    code = lead << 8 | trail
    if code in BIG5_CLASSIC:
        return or_none(decode_pair("big5", lead, trail))
    if code in BIG5_REPLACED:
        return 0xFFFD
    if code in BIG5_ZERO:
        return 0x0000
    if code == BIG5_EURO or big5_user_defined(code):
        return NONE
    return or_none(decode_pair("cp950", lead, trail))


def gb2312_reference(lead, trail):
    code = lead << 8 | trail
    if code in GB2312_DEPARTURES:
        return GB2312_DEPARTURES[code][0]
    if code in GB2312_CP936_ADDITIONS:
        return NONE
    return or_none(decode_pair("gbk", lead, trail))


REFERENCE_NOTES = {
    "uhc": "code page 949 (Python's cp949 codec), leads 0x81-0xC8 x trails 0x41-0xFE",
    "hanja": "the KS X 1001 Hanja (Python's euc_kr codec), leads 0xCA-0xFD x trails 0xA1-0xFE",
    "big5": "Big5 (Python's cp950 codec with the classic, U+FFFD, euro, user-defined and zero cells "
            "listed in the script), leads 0xA1-0xF9 x trails 0x40-0xFE up to 0xF9D7",
    "gb2312": "GB 2312 (Python's gbk codec with 0xA1A4, 0xA1AA and the 33 additions listed in the "
              "script), leads 0xA1-0xF7 x trails 0xA1-0xFE",
}


def render_reference(table):
    units = reference_units(table)
    expect(units == table.cells, "the %s reference and the table disagree" % table.name)
    description = ("Every pair of " + REFERENCE_NOTES[table.name] + ": one line per lead byte, 'LL:' then, "
                   "for the trail bytes in order, the UTF-16 unit the decoder gives (FFFF: no character); "
                   "'XXXX+k' stands for XXXX and the k units counting up after it, 'XXXX*k' for k units XXXX.")
    lines = ["# " + banner("Python's codecs")] + ["# " + line for line in textwrap.wrap(description, 94)]
    for row_start in range(0, table.cell_count, table.row_cells):
        row = units[row_start:row_start + table.row_cells]
        tokens = []
        i = 0
        while i < len(row):
            j = i
            while j + 1 < len(row) and row[j + 1] == row[i]:
                j += 1
            if j > i:
                tokens.append("%04X*%d" % (row[i], j - i + 1))
                i = j + 1
                continue
            while j + 1 < len(row) and row[j + 1] == row[j] + 1:
                j += 1
            tokens.append("%04X" % row[i] + ("+%d" % (j - i) if j > i else ""))
            i = j + 1
        lines.append("%02X: %s" % (table.lead_first + row_start // table.row_cells, " ".join(tokens)))
    return "\n".join(lines) + "\n"


def main():
    check_only = sys.argv[1:] == ["--check"]
    if sys.argv[1:] and not check_only:
        fail("usage: gen_cjk_tables.py [--check]")
    uhc, hanja, big5, gb2312 = build_uhc(), build_hanja(), build_big5(), build_gb2312()
    print("Python's codecs: UHC %d, Hanja %d, Big5 %d, GB2312 %d characters; all checks hold" % tuple(
        sum(1 for v in t.cells if v not in (NONE, 0xFFFD, 0)) for t in (uhc, hanja, big5, gb2312)))
    cross_check_icu(icu_checks(uhc, hanja, big5, gb2312))
    outputs = {
        os.path.join(TABLES_DIR, "korean_tables_uhc.cpp"): render_table(uhc, "kUhcTableCells"),
        os.path.join(TABLES_DIR, "korean_tables_hanja.cpp"): render_table(hanja, "kHanjaTableCells"),
        os.path.join(TABLES_DIR, "chinese_tables_big5.cpp"): render_table(big5, "kBig5TableCells"),
        os.path.join(TABLES_DIR, "chinese_tables_gb2312.cpp"): render_table(gb2312, "kGb2312TableCells"),
    }
    for table in (uhc, hanja, big5, gb2312):
        outputs[os.path.join(REFERENCE_DIR, table.name + "_pairs.txt")] = render_reference(table)
    stale = []
    for path, text in outputs.items():
        current = open(path, encoding="ascii").read() if os.path.exists(path) else None
        if current == text:
            continue
        if check_only:
            stale.append(os.path.relpath(path, ROOT))
        else:
            os.makedirs(os.path.dirname(path), exist_ok=True)
            with open(path, "w", encoding="ascii", newline="\n") as f:
                f.write(text)
            print("wrote " + os.path.relpath(path, ROOT))
    if stale:
        fail("stale (run tools/gen_cjk_tables.py): " + ", ".join(stale))


if __name__ == "__main__":
    main()
