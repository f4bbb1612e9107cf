#!/usr/bin/env python3
"""Writes the bundled Japanese samples (samples/japanese-*.txt) from samples/japanese-source.txt.

The source is UTF-8; the samples are the same text in Shift-JIS (code page 932), EUC-JP and
ISO-2022-JP, with CR LF line ends as the handheld's editors wrote them. EUC-JP and ISO-2022-JP
are derived from the Shift-JIS bytes by the JIS row/cell arithmetic, so all three name the same
JIS X 0208 cells (Python's own euc_jp codec maps a few symbols differently from code page 932).
Code page 932's NEC row 13 (circled digits) exists only in the Shift-JIS sample; ISO-2022-JP has
no half-width katakana, so that sample spells them full-width.
"""
import pathlib
import sys
import unicodedata

HERE = pathlib.Path(__file__).resolve().parent.parent / "samples"


def sjis_pairs(data: bytes):
    """Yields ('ascii', b), ('kana', b) or ('jis', j1, j2) for each Shift-JIS character."""
    i = 0
    while i < len(data):
        b = data[i]
        if 0x81 <= b <= 0x9F or 0xE0 <= b <= 0xEF:
            t = data[i + 1]
            k = b - 0x80 if b <= 0x9F else b - 0xC0
            j1 = 2 * k + 0x1F
            if t >= 0x9F:
                j1, j2 = j1 + 1, t - 0x7E
            elif t >= 0x80:
                j2 = t - 0x20
            else:
                j2 = t - 0x1F
            yield ("jis", j1, j2)
            i += 2
        elif 0xA1 <= b <= 0xDF:
            yield ("kana", b)
            i += 1
        else:
            yield ("ascii", b)
            i += 1


def to_euc(data: bytes) -> bytes:
    out = bytearray()
    for item in sjis_pairs(data):
        if item[0] == "jis":
            out += bytes([item[1] | 0x80, item[2] | 0x80])
        elif item[0] == "kana":
            out += bytes([0x8E, item[1]])
        else:
            out.append(item[1])
    return bytes(out)


def to_iso2022jp(data: bytes) -> bytes:
    out, double = bytearray(), False
    for item in sjis_pairs(data):
        if item[0] == "jis":
            if not double:
                out += b"\x1b$B"
                double = True
            out += bytes([item[1], item[2]])
        else:
            if double:
                out += b"\x1b(B"
                double = False
            if item[0] == "kana":
                raise ValueError("half-width katakana have no ISO-2022-JP form here")
            out.append(item[1])
    if double:
        out += b"\x1b(B"
    return bytes(out)


def main() -> int:
    text = (HERE / "japanese-source.txt").read_text(encoding="utf-8").replace("\n", "\r\n")
    sjis = text.encode("cp932")
    portable = text.replace("①②③", "(1)(2)(3)")
    full_width = "".join(unicodedata.normalize("NFKC", c) if "\uff61" <= c <= "\uff9f" else c for c in portable)
    outputs = {
        "japanese-sjis.txt": sjis,
        "japanese-eucjp.txt": to_euc(portable.encode("cp932")),
        "japanese-iso2022jp.txt": to_iso2022jp(full_width.encode("cp932")),
    }
    for name, data in outputs.items():
        (HERE / name).write_bytes(data)
        print(f"wrote {name}: {len(data)} bytes")
    return 0


if __name__ == "__main__":
    sys.exit(main())
