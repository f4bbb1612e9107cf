#!/usr/bin/env python3
"""Writes the documents bench/viewer-open.sh opens: plain text of 1 to 200 MB in four kinds.

  utf8-ascii  English prose in UTF-8, a few accented words (about 70 characters a line)
  sjis-ascii  the same prose in Shift-JIS with a few kana words
  utf8-cjk    Japanese prose (kanji, hiragana, katakana, some digits) in UTF-8
  sjis-cjk    the same Japanese prose in Shift-JIS

A 4 MB block is made from a fixed seed and repeated up to the size (cut at a line end), so the
files are always the same bytes. Files that already exist with the right size are kept.
"""
import argparse
import os
import random
import sys

WORDS = ("the of and to in is was that for it with as his on be at by had not are but from or have "
         "an they which one you were her all she there would their we him been has when who will more "
         "no if out so said what up its about into than them can only other new some could time these "
         "two may then do first any my now such like our over man me even most made after also did many "
         "before must through back years where much your way well down should because each just those "
         "people how too little state good very make world still own see men work long get here between "
         "both life being under never day same another know while last might us great old year off come "
         "since against go came right used take three").split()
ACCENTED = ["café", "naïve", "façade", "Zürich", "señor", "crème", "déjà"]
KANA_WORDS = ["カタカナ", "ひらがな", "テキスト", "ことば"]


def kanji_pool():
    # Level-1 kanji of JIS X 0208 through Shift-JIS: every one of them encodes in both encodings.
    pool = []
    for lead in range(0x88, 0x99):
        for trail in list(range(0x40, 0x7F)) + list(range(0x80, 0xFD)):
            try:
                ch = bytes([lead, trail]).decode("shift_jis")
            except UnicodeDecodeError:
                continue
            if len(ch) == 1 and 0x4E00 <= ord(ch) <= 0x9FFF:
                pool.append(ch)
    return pool


def ascii_block(rng, size, kana):
    lines, total = [], 0
    while total < size:
        words, length = [], 0
        target = rng.randint(40, 100)
        while length < target:
            r = rng.random()
            word = rng.choice(KANA_WORDS) if kana and r < 0.01 else rng.choice(ACCENTED) if not kana and r < 0.01 else rng.choice(WORDS)
            words.append(word)
            length += len(word) + 1
        line = " ".join(words).capitalize() + "."
        lines.append(line)
        total += len(line) + 1
    return "\n".join(lines) + "\n"


def cjk_block(rng, size):
    kanji = kanji_pool()
    hiragana = [chr(c) for c in range(0x3041, 0x3094)]
    katakana = [chr(c) for c in range(0x30A1, 0x30F4)]
    lines, total = [], 0
    while total < size:
        chars = []
        for _ in range(rng.randint(20, 50)):
            r = rng.random()
            chars.append(rng.choice(kanji) if r < 0.45 else rng.choice(hiragana) if r < 0.85
                         else rng.choice(katakana) if r < 0.95 else str(rng.randint(0, 9)))
        chars.append("。")
        line = "".join(chars)
        lines.append(line)
        total += len(line) * 3 + 1
    return "\n".join(lines) + "\n"


def write(path, block, size):
    if os.path.exists(path) and os.path.getsize(path) <= size and os.path.getsize(path) > size - len(block):
        return
    with open(path + ".part", "wb") as out:
        written = 0
        while written + len(block) <= size:
            out.write(block)
            written += len(block)
        rest = block[: size - written]
        rest = rest[: rest.rfind(b"\n") + 1]
        out.write(rest)
    os.replace(path + ".part", path)


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("folder")
    parser.add_argument("--sizes", default="1,20,100,200", help="sizes in MB (10^6 bytes), comma-separated")
    parser.add_argument("--kinds", default="utf8-ascii,sjis-ascii,utf8-cjk,sjis-cjk")
    args = parser.parse_args()
    os.makedirs(args.folder, exist_ok=True)
    rng = random.Random(20261207)
    english_utf8 = ascii_block(rng, 4_000_000, kana=False).encode("utf-8")
    english_sjis = ascii_block(rng, 4_000_000, kana=True).encode("shift_jis")
    japanese = cjk_block(rng, 4_000_000)
    blocks = {"utf8-ascii": english_utf8, "sjis-ascii": english_sjis,
              "utf8-cjk": japanese.encode("utf-8"), "sjis-cjk": japanese.encode("shift_jis")}
    for kind in args.kinds.split(","):
        for size in args.sizes.split(","):
            write(os.path.join(args.folder, f"{kind}-{size}MB.txt"), blocks[kind], int(size) * 1_000_000)
    return 0


if __name__ == "__main__":
    sys.exit(main())
