#!/usr/bin/env python3
"""Writes the rich-document benchmark inputs into a folder:

  big.doc   a Word 97-2003 file of about 10 MB: ~5 M characters of English text in one 16-bit
            piece, ~8,000 paragraphs, every tenth paragraph bold (CHPX pages), in a Compound File
            of 512-byte sectors (with DIFAT sectors, as a file this size needs)
  big.rtf   the same text as RTF, with the same bold paragraphs

    tools/gen_rich_bench.py OUT_DIR [MEGABYTES]

The generator is deterministic; the benchmarks and the start-up figure read its files.
"""
import os
import random
import struct
import sys

SECTOR = 512
FREE, END, FATSECT, DIFSECT = 0xFFFFFFFF, 0xFFFFFFFE, 0xFFFFFFFD, 0xFFFFFFFC
WORDS = ("the quick brown fox jumps over a lazy dog while seven bold engineers read long "
         "documents on small screens and measure every byte twice before they ship").split()


def paragraphs(characters):
    rng = random.Random(7)
    out, total = [], 0
    while total < characters:
        words = [rng.choice(WORDS) for _ in range(rng.randint(60, 140))]
        text = " ".join(words).capitalize() + "."
        out.append(text)
        total += len(text) + 1
    return out


def word_document(paras):
    text = "".join(p + "\r" for p in paras)
    text_fc = 0x800
    data = bytearray(text_fc)
    data += text.encode("utf-16-le")
    text_end = len(data)
    # Character runs: every tenth paragraph bold, the rest without properties.
    runs, fc = [], text_fc
    for i, p in enumerate(paras):
        end = fc + 2 * (len(p) + 1)
        runs.append((fc, end, b"\x35\x08\x01" if i % 10 == 0 else b""))
        fc = end
    while len(data) % SECTOR:
        data.append(0)
    bins = []
    for start in range(0, len(runs), 20):
        chunk = runs[start:start + 20]
        page = bytearray(SECTOR)
        n = len(chunk)
        for k, (a, b, _) in enumerate(chunk):
            struct.pack_into("<I", page, 4 * k, a)
        struct.pack_into("<I", page, 4 * n, chunk[-1][1])
        at = 511
        for k, (_, _, grpprl) in enumerate(chunk):
            if grpprl:
                at = (at - 1 - len(grpprl)) & ~1
                page[at] = len(grpprl)
                page[at + 1:at + 1 + len(grpprl)] = grpprl
                page[4 * (n + 1) + k] = at // 2
        page[511] = n
        bins.append((chunk[0][0], chunk[-1][1], len(data) // SECTOR))
        data += page
    # The table stream: the piece table (one 16-bit piece), then the CHPX bin table.
    table = bytearray()
    cps = len(text)
    clx = b"\x02" + struct.pack("<I", 4 * 2 + 8) + struct.pack("<II", 0, cps) + struct.pack("<HIH", 0, text_fc, 0)
    table += clx
    bin_at = len(table)
    for a, _, _ in bins:
        table += struct.pack("<I", a)
    table += struct.pack("<I", bins[-1][1])
    for _, _, pn in bins:
        table += struct.pack("<I", pn)
    bin_len = len(table) - bin_at
    # The FIB.
    struct.pack_into("<HHH", data, 0, 0xA5EC, 0x00C1, 0)
    struct.pack_into("<H", data, 0x06, 0x0409)
    struct.pack_into("<H", data, 0x0A, 0x0200)
    struct.pack_into("<II", data, 0x18, text_fc, text_end)
    struct.pack_into("<H", data, 0x20, 14)
    struct.pack_into("<H", data, 0x3E, 22)
    struct.pack_into("<I", data, 0x40, len(data))
    struct.pack_into("<I", data, 0x4C, cps)
    struct.pack_into("<H", data, 0x98, 93)
    blob = 0x9A
    struct.pack_into("<II", data, blob + 12 * 8, bin_at, bin_len)
    struct.pack_into("<II", data, blob + 33 * 8, 0, len(clx))
    while len(table) < 4096 or len(table) % SECTOR:
        table.append(0)
    return bytes(data), bytes(table)


def compound_file(streams):
    """streams: list of (name, bytes), each at least 4096 bytes (regular sectors only)."""
    stream_sectors = sum((len(b) + SECTOR - 1) // SECTOR for _, b in streams)
    dir_sectors = 1
    per_fat = SECTOR // 4
    fat_sectors = difat_sectors = 0
    while True:
        total = stream_sectors + dir_sectors + fat_sectors + difat_sectors
        need_fat = (total + per_fat - 1) // per_fat
        need_difat = max(0, (need_fat - 109 + per_fat - 2) // (per_fat - 1))
        if need_fat == fat_sectors and need_difat == difat_sectors:
            break
        fat_sectors, difat_sectors = need_fat, need_difat
    fat = [FREE] * (fat_sectors * per_fat)
    sector = 0
    fat_ids = list(range(sector, sector + fat_sectors))
    for i in fat_ids:
        fat[i] = FATSECT
    sector += fat_sectors
    difat_ids = list(range(sector, sector + difat_sectors))
    for i in difat_ids:
        fat[i] = DIFSECT
    sector += difat_sectors
    dir_id = sector
    fat[dir_id] = END
    sector += 1
    starts, body = [], bytearray()
    for _, b in streams:
        count = (len(b) + SECTOR - 1) // SECTOR
        starts.append(sector)
        for k in range(count):
            fat[sector + k] = sector + k + 1 if k + 1 < count else END
        sector += count
        body += b + bytes(count * SECTOR - len(b))
    header = bytearray(SECTOR)
    header[0:8] = bytes([0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1])
    struct.pack_into("<HHHHH", header, 0x18, 0x3E, 3, 0xFFFE, 9, 6)
    struct.pack_into("<I", header, 0x2C, fat_sectors)
    struct.pack_into("<I", header, 0x30, dir_id)
    struct.pack_into("<I", header, 0x38, 4096)
    struct.pack_into("<II", header, 0x3C, END, 0)
    struct.pack_into("<II", header, 0x44, difat_ids[0] if difat_ids else END, difat_sectors)
    for i in range(109):
        struct.pack_into("<I", header, 0x4C + 4 * i, fat_ids[i] if i < len(fat_ids) else FREE)
    difat = bytearray()
    rest = fat_ids[109:]
    for n, _ in enumerate(difat_ids):
        block = rest[n * (per_fat - 1):(n + 1) * (per_fat - 1)]
        block += [FREE] * (per_fat - 1 - len(block))
        block.append(difat_ids[n + 1] if n + 1 < len(difat_ids) else END)
        difat += struct.pack("<%dI" % per_fat, *block)
    directory = bytearray(SECTOR)

    def entry(index, name, kind, child, right, start, size):
        at = index * 128
        encoded = name.encode("utf-16-le")
        directory[at:at + len(encoded)] = encoded
        struct.pack_into("<HBB", directory, at + 64, len(encoded) + 2, kind, 1)
        struct.pack_into("<III", directory, at + 68, FREE, right, child)
        struct.pack_into("<II", directory, at + 116, start, size)

    entry(0, "Root Entry", 5, 1, FREE, END, 0)
    for i, (name, b) in enumerate(streams):
        entry(i + 1, name, 2, FREE, i + 2 if i + 1 < len(streams) else FREE, starts[i], len(b))
    return bytes(header) + struct.pack("<%dI" % len(fat), *fat) + bytes(difat) + bytes(directory) + bytes(body)


def rtf_document(paras):
    out = ["{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fswiss Arial;}}\\f0\\fs20\n"]
    for i, p in enumerate(paras):
        out.append(("\\pard{\\b %s}\\par\n" if i % 10 == 0 else "\\pard %s\\par\n") % p)
    out.append("}")
    return "".join(out).encode("cp1252")


def main():
    folder = sys.argv[1]
    megabytes = float(sys.argv[2]) if len(sys.argv) > 2 else 10.0
    os.makedirs(folder, exist_ok=True)
    paras = paragraphs(int(megabytes * 1024 * 1024 / 2))
    word, table = word_document(paras)
    with open(os.path.join(folder, "big.doc"), "wb") as f:
        f.write(compound_file([("WordDocument", word), ("1Table", table)]))
    with open(os.path.join(folder, "big.rtf"), "wb") as f:
        f.write(rtf_document(paras))


if __name__ == "__main__":
    main()
