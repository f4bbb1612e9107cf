#!/usr/bin/env python3
"""Writes the benchmark inputs: a few megabytes of realistic text for each encoding the viewer
decodes, and two compressed Palm DOC books.

    gen_bench_text.py OUTPUT_FOLDER [--megabytes N]

The text is made deterministically (a fixed seed), so every run writes the same bytes. Each file
is checked before it is written: it must decode back to the text it was made from with Python's
own codec, and each Palm DOC book must decompress back to its text. Any failed check stops the
script with an error. A manifest.txt lists the files and their sizes; it is written last, so a
folder with a manifest is complete.

Standard library only. The build never runs this script: the benchmark runs it on first use
(or bench/run.sh does) and the files live in the build tree, never in the repository.
"""

import argparse
import os
import random
import struct
import sys
import unicodedata

SEED = 20240607
PALMDOC_RECORD_SIZE = 4096

# --- vocabularies --------------------------------------------------------------------------------

# Common kanji (JIS X 0208 level 1), roughly by frequency in prose.
KANJI = (
    "日一国人年大十二本中長出三時行見月分後前生五間上東四今金九入学高円子外八六下来気小七山話"
    "女北午百書先名川千水半男西電校語土木聞食車何南万毎白天母火右読友左休父雨会社事業自者発表"
    "明開関係問題場合意味理由方法結果部屋同体手足目口耳心思考知識教室家族道路駅店物品売買新古"
    "多少強弱早遅近遠広長短重軽明暗春夏秋冬朝昼夜晩毎週番号電話手紙写真映画音楽絵色赤青黄緑"
    "海空雲風雪星花草林森村町市県都京世界地図旅館港島岸橋船飛機鉄銀動働作使住持待通運転歩走"
    "起寝着脱取送返答決定変化進退始終止続習練勉研究試験調査計画説明記録報告連絡相談準備用意"
)
HIRAGANA_PIECES = [
    "は", "が", "を", "に", "で", "と", "の", "も", "へ", "から", "まで", "より", "ました", "です",
    "ている", "した", "する", "ない", "れる", "られる", "ます", "でした", "ません", "という", "こと",
    "もの", "ため", "よう", "として", "について", "けれども", "しかし", "そして", "また", "あの",
    "この", "その", "どの", "いる", "ある", "なる", "くる", "いく", "みる", "おく", "だろう", "かもしれない",
]
KATAKANA_WORDS = [
    "コンピュータ", "データ", "テキスト", "ファイル", "システム", "ネットワーク", "メール", "ニュース",
    "ホテル", "レストラン", "コーヒー", "テレビ", "ラジオ", "カメラ", "バス", "タクシー", "ページ",
    "プログラム", "デザイン", "サービス", "センター", "グループ", "ゲーム", "スポーツ", "ノート",
]
ASCII_WORDS = ["PC", "OK", "Web", "CD", "DVD", "USB", "OS", "IT", "2024", "10", "3", "100", "A", "B"]

# Frequent simplified (GB2312) and traditional (Big5) characters.
HANZI_SIMPLIFIED = (
    "的一是不了在人有我他这个们中来上大为和国地到以说时要就出会可也你对生能而子那得于着下自之年过"
    "发后作里用道行所然家种事成方多经么去法学如都同现当没动面起看定天分还进好小部其些主样理心她本"
    "前开但因只从想实日军者意无力它与长把机十民第公此已工使情明性知全三又关点正业外将两高间由问很"
    "最重并物手应战向头文体政美相见被利什二等产或新己制身果加西斯月话合回特代内信表化老给世位次度"
    "门任常先海通教儿原东声提立及比员解水名真论处走义各入几口认条平系气题活尔更别打女变四神总何电"
    "数安少报才结反受目太量再感建务做接必场件计管期市直德资命山金指克许统区保至队形社便空决治展马"
)
HANZI_TRADITIONAL = (
    "的一是不了在人有我他這個們中來上大為和國地到以說時要就出會可也你對生能而子那得於著下自之年過"
    "發後作裡用道行所然家種事成方多經麼去法學如都同現當沒動面起看定天分還進好小部其些主樣理心她本"
    "前開但因只從想實日軍者意無力它與長把機十民第公此已工使情明性知全三又關點正業外將兩高間由問很"
    "最重並物手應戰向頭文體政美相見被利什二等產或新己制身果加西斯月話合回特代內信表化老給世位次度"
    "門任常先海通教兒原東聲提立及比員解水名真論處走義各入幾口認條平系氣題活爾更別打女變四神總何電"
    "數安少報才結反受目太量再感建務做接必場件計管期市直德資命山金指克許統區保至隊形社便空決治展馬"
)

HANGUL_SYLLABLES = (
    "이다는에의가을한하고지기사도로서를수대나인자리것보들일정시제무어상게아주전부우소요만해없있되그"
    "생장면내중같때모람위러화계속원비마거두또습니까요며서다면라니은을는과와으로에서부터까지처럼보다"
    "학교회국가정부경제문화사회역사과학기술교육생활세계시간사람마음말씀생각얼굴목소리눈물사랑친구"
    "가족부모형제어머니아버지선생님학생도시마을나라하늘바다산강길집방문책신문편지전화컴퓨터음악영화"
)

THAI_WORDS = [
    "การ", "ที่", "และ", "ของ", "ใน", "มี", "เป็น", "ได้", "ไม่", "จะ", "ให้", "ว่า", "คน", "นี้", "กับ",
    "แต่", "ไป", "มา", "อยู่", "เรา", "เขา", "ประเทศ", "ภาษา", "ไทย", "วัน", "เวลา", "ทำงาน", "โรงเรียน",
    "หนังสือ", "อ่าน", "เขียน", "บ้าน", "เมือง", "น้ำ", "ข้าว", "กิน", "ดี", "มาก", "ใหญ่", "เล็ก", "สวย",
    "รัก", "ความ", "คิด", "รู้", "เห็น", "พูด", "ฟัง", "ถาม", "ตอบ", "ชีวิต", "โลก", "ปี", "เดือน",
    "สัปดาห์", "ครั้ง", "เรื่อง", "ข่าว", "รัฐบาล", "สังคม", "ธรรมชาติ", "ต้นไม้", "ดอกไม้", "ท้องฟ้า",
    "ทะเล", "ภูเขา", "นักเรียน", "ครู", "พ่อ", "แม่", "เพื่อน", "ตลาด", "ถนน", "รถไฟ",
]

VIETNAMESE_WORDS = [
    "Việt", "Nam", "người", "không", "được", "những", "của", "và", "có", "là", "một", "trong", "cho",
    "với", "này", "đã", "các", "về", "đến", "như", "khi", "năm", "nhà", "nước", "thành", "phố", "học",
    "sinh", "tiếng", "nói", "viết", "đọc", "sách", "báo", "thời", "gian", "ngày", "tháng", "đường", "xe",
    "máy", "chúng", "tôi", "bạn", "họ", "rất", "nhiều", "mới", "cũ", "đẹp", "tốt", "lớn", "nhỏ", "làm",
    "việc", "ăn", "uống", "cơm", "phở", "cà", "phê", "trời", "mưa", "nắng", "gió", "biển", "sông",
    "núi", "quê", "hương", "gia", "đình", "yêu", "thương", "hạnh", "phúc", "tương", "lai", "kể", "chuyện",
]

ENGLISH_WORDS = (
    "the of and to a in is it you that he was for on are with as his they be at one have this from "
    "or had by hot word but what some we can out other were all there when up use your how said an "
    "each she which do their time if will way about many then them write would like so these her long "
    "make thing see him two has look more day could go come did number sound no most people my over "
    "know water than call first who may down side been now find any new work part take get place made "
    "live where after back little only round man year came show every good me give our under name very "
    "through just form sentence great think say help low line differ turn cause much mean before move "
    "right boy old too same tell does set three want air well also play small end put home read hand "
    "port large spell add even land here must big high such follow act why ask men change went light "
    "kind off need house picture try us again animal point mother world near build self earth father "
    "book page chapter story viewer letter night morning river city window door garden winter summer"
).split()
ENGLISH_LETTERS = "etaoinshrdlcumwfgypbvkjxqz"
ENGLISH_WEIGHTS = [12.7, 9.1, 8.2, 7.5, 7.0, 6.7, 6.3, 6.1, 6.0, 4.3, 4.0, 2.8, 2.8, 2.4, 2.4, 2.2, 2.0,
                   2.0, 1.9, 1.5, 1.0, 0.8, 0.2, 0.2, 0.1, 0.1]

# The letters each ISO-8859 part is used for, beyond ASCII (lower case; upper case follows).
LATIN_LETTERS = {
    1: "éèêàâçüöäßñáíóúëïôû",
    2: "ąćęłńóśźżčďěňřšťůžáéíýő",
    3: "ĉĝĥĵŝŭċġħżàèìòù",
    4: "āēīūģķļņąčęėįšųžõäöü",
}
CYRILLIC = "оеаинтсрвлкмдпуяызьбгчйхжюшцщэфъё"
GREEK = "αοιετσνηυρπκμλωδγχθφβξζψάέήίόύώ"


def weighted_letter(rng):
    return rng.choices(ENGLISH_LETTERS, ENGLISH_WEIGHTS)[0]


def sentences_to_text(rng, size_chars, make_sentence, newline, sentences_per_paragraph=(2, 6)):
    """Joins sentences into paragraphs separated by a blank line until size_chars is reached."""
    parts = []
    length = 0
    while length < size_chars:
        paragraph = " ".join(make_sentence(rng) for _ in range(rng.randint(*sentences_per_paragraph)))
        parts.append(paragraph + newline + newline)
        length += len(parts[-1])
    return "".join(parts)


# --- texts per language --------------------------------------------------------------------------

def japanese_sentence(rng):
    pieces = []
    for _ in range(rng.randint(4, 10)):
        kind = rng.random()
        if kind < 0.45:
            pieces.append("".join(rng.choice(KANJI) for _ in range(rng.randint(1, 3))))
            pieces.append(rng.choice(HIRAGANA_PIECES))
        elif kind < 0.80:
            pieces.append(rng.choice(HIRAGANA_PIECES))
        elif kind < 0.92:
            pieces.append(rng.choice(KATAKANA_WORDS))
        else:
            pieces.append(rng.choice(ASCII_WORDS))
        if rng.random() < 0.12:
            pieces.append("、")
    sentence = "".join(pieces)
    if rng.random() < 0.15:
        sentence = "「" + sentence + "」"
    return sentence + "。"


def japanese_text(rng, size_chars, newline):
    # Japanese prose has no spaces between sentences.
    parts, length = [], 0
    while length < size_chars:
        paragraph = "　" + "".join(japanese_sentence(rng) for _ in range(rng.randint(2, 6)))
        parts.append(paragraph + newline)
        length += len(parts[-1])
    return "".join(parts)


def hanzi_text(rng, size_chars, characters):
    def sentence(r):
        clauses = []
        for _ in range(r.randint(1, 3)):
            clauses.append("".join(r.choice(characters) for _ in range(r.randint(4, 14))))
        return "，".join(clauses) + r.choice("。。。？！")

    parts, length = [], 0
    while length < size_chars:
        paragraph = "　　" + "".join(sentence(rng) for _ in range(rng.randint(2, 6)))
        if rng.random() < 0.2:
            paragraph += " " + rng.choice(ASCII_WORDS)
        parts.append(paragraph + "\r\n")
        length += len(parts[-1])
    return "".join(parts)


def korean_sentence(rng, syllables=HANGUL_SYLLABLES):
    words = []
    for _ in range(rng.randint(3, 9)):
        if rng.random() < 0.05:
            words.append(rng.choice(ASCII_WORDS))
        else:
            words.append("".join(rng.choice(syllables) for _ in range(rng.randint(1, 4))))
    return " ".join(words) + rng.choice("...?!")


def thai_sentence(rng):
    phrases = []
    for _ in range(rng.randint(1, 4)):
        phrases.append("".join(rng.choice(THAI_WORDS) for _ in range(rng.randint(2, 6))))
    return " ".join(phrases)


def vietnamese_sentence(rng):
    words = [rng.choice(VIETNAMESE_WORDS) for _ in range(rng.randint(5, 14))]
    words[0] = words[0][0].upper() + words[0][1:]
    return " ".join(words) + rng.choice("..,?")


def alphabet_sentence(rng, letter):
    words = []
    for _ in range(rng.randint(5, 14)):
        words.append("".join(letter(rng) for _ in range(rng.randint(1, 9))))
    words[0] = words[0][0].upper() + words[0][1:]
    if rng.random() < 0.3:
        words[rng.randrange(len(words))] += ","
    return " ".join(words) + rng.choice("...?!")


def latin_letter_maker(part):
    extra = LATIN_LETTERS[part]

    def letter(rng):
        c = rng.choice(extra) if rng.random() < 0.07 else weighted_letter(rng)
        return c.upper() if rng.random() < 0.02 else c

    return letter


def script_letter_maker(alphabet):
    def letter(rng):
        c = rng.choice(alphabet)
        return c.upper() if rng.random() < 0.02 else c

    return letter


def english_sentence(rng):
    words = [rng.choice(ENGLISH_WORDS) for _ in range(rng.randint(5, 16))]
    words[0] = words[0].capitalize()
    if rng.random() < 0.3:
        words[rng.randrange(len(words))] += ","
    return " ".join(words) + rng.choice("...?!")


def mixed_text(rng, size_chars):
    """Mostly English with paragraphs in other scripts, and a few characters beyond the BMP."""
    makers = [
        (0.40, lambda r: english_sentence(r)),
        (0.10, lambda r: alphabet_sentence(r, latin_letter_maker(1))),
        (0.08, lambda r: alphabet_sentence(r, script_letter_maker(CYRILLIC))),
        (0.06, lambda r: alphabet_sentence(r, script_letter_maker(GREEK))),
        (0.14, japanese_sentence),
        (0.08, lambda r: hanzi_text(r, 20, HANZI_SIMPLIFIED).strip()),
        (0.08, korean_sentence),
        (0.03, thai_sentence),
        (0.03, vietnamese_sentence),
    ]
    weights = [w for w, _ in makers]
    parts, length = [], 0
    while length < size_chars:
        maker = rng.choices(makers, weights)[0][1]
        paragraph = " ".join(maker(rng) for _ in range(rng.randint(2, 5)))
        if rng.random() < 0.05:
            paragraph += " " + rng.choice(["\U0001F600", "\U0001F4D6", "\U00020BB7", "\U0001F680"])
        parts.append(paragraph + "\n\n")
        length += len(parts[-1])
    return "".join(parts)


def cp1258_form(text):
    """Vietnamese as code page 1258 writes it: letters with circumflex, breve or horn are
    precomposed, tone marks follow as combining characters."""
    shape_marks = {"\u0302", "\u0306", "\u031B"}
    out = []
    for ch in text:
        try:
            ch.encode("cp1258")
            out.append(ch)
            continue
        except UnicodeEncodeError:
            pass
        decomposed = unicodedata.normalize("NFD", ch)
        base = decomposed[0] + "".join(m for m in decomposed[1:] if m in shape_marks)
        tones = "".join(m for m in decomposed[1:] if m not in shape_marks)
        out.append(unicodedata.normalize("NFC", base) + tones)
    return "".join(out)


# --- PalmDOC ------------------------------------------------------------------------------------

def palmdoc_compress_record(data):
    """Greedy PalmDOC compression of one record: the longest earlier match of 3 to 10 bytes within
    2047 bytes, a space followed by 0x40..0x7F as one byte, literal runs of up to 8 bytes for
    bytes that cannot stand for themselves."""
    out = bytearray()
    i, n = 0, len(data)
    while i < n:
        best_len, best_dist = 0, 0
        window_start = max(0, i - 2047)
        length = 3
        while length <= 10 and i + length <= n:
            # A match may overlap the bytes it produces: its start only has to lie before i.
            j = data.rfind(data[i:i + length], window_start, i + length - 1)
            if j < 0:
                break
            best_len, best_dist = length, i - j
            length += 1
        if best_len >= 3:
            v = 0x8000 | (best_dist << 3) | (best_len - 3)
            out += bytes((v >> 8, v & 0xFF))
            i += best_len
            continue
        b = data[i]
        if b == 0x20 and i + 1 < n and 0x40 <= data[i + 1] <= 0x7F:
            out.append(data[i + 1] ^ 0x80)
            i += 2
        elif 0x09 <= b <= 0x7F:
            out.append(b)
            i += 1
        else:
            run = 1
            while run < 8 and i + run < n and not (0x09 <= data[i + run] <= 0x7F):
                run += 1
            out.append(run)
            out += data[i:i + run]
            i += run
    return bytes(out)


def palmdoc_decompress(stream):
    out = bytearray()
    i = 0
    while i < len(stream):
        m = stream[i]
        i += 1
        if m == 0:
            break
        if m <= 8:
            out += stream[i:i + m]
            i += m
        elif m < 0x80:
            out.append(m)
        elif m < 0xC0:
            v = ((m << 8) | stream[i]) & 0x3FFF
            i += 1
            distance, length = v >> 3, (v & 7) + 3
            for _ in range(length):
                out.append(out[-distance])
        else:
            out += bytes((0x20, m ^ 0x80))
    return bytes(out)


def palmdoc_book(name, text_bytes):
    records = [palmdoc_compress_record(text_bytes[k:k + PALMDOC_RECORD_SIZE])
               for k in range(0, len(text_bytes), PALMDOC_RECORD_SIZE)]
    if len(records) + 1 > 0xFFFF:
        raise SystemExit("gen_bench_text: too many records for one Palm database")
    if palmdoc_decompress(b"".join(records)) != text_bytes:
        raise SystemExit("gen_bench_text: PalmDOC compression does not round-trip")
    record_count = len(records) + 1
    header = bytearray(78)
    encoded_name = name.encode("ascii")[:31]
    header[0:len(encoded_name)] = encoded_name           # byte 31 stays zero, attributes zero
    header[60:68] = b"TEXtREAd"
    struct.pack_into(">H", header, 76, record_count)
    offset = 78 + 8 * record_count + 2
    record0 = struct.pack(">HHIHHI", 2, 0, len(text_bytes), len(records), PALMDOC_RECORD_SIZE, 0)
    offsets = [offset]
    offset += len(record0)
    for record in records:
        offsets.append(offset)
        offset += len(record)
    entries = b"".join(struct.pack(">II", o, k) for k, o in enumerate(offsets))
    return bytes(header) + entries + b"\0\0" + record0 + b"".join(records)


# --- output -------------------------------------------------------------------------------------

def encode_checked(text, codec):
    data = text.encode(codec)
    if data.decode(codec) != text:
        raise SystemExit(f"gen_bench_text: {codec} does not round-trip the generated text")
    return data


def keep_encodable(characters, codec):
    kept = "".join(c for c in characters if _encodes(c, codec))
    if len(kept) < 0.9 * len(characters):
        raise SystemExit(f"gen_bench_text: {codec} lacks too many of the vocabulary's characters")
    return kept


def _encodes(ch, codec):
    try:
        ch.encode(codec)
        return True
    except UnicodeEncodeError:
        return False


def build_files(size_bytes):
    """Returns {file name: bytes}. Each text is made with its own seeded generator."""
    files = {}

    def rng_for(label):
        return random.Random(f"{SEED}:{label}")

    # Japanese: about two bytes per character.
    jp_chars = size_bytes // 2
    files["japanese-shift_jis.txt"] = encode_checked(japanese_text(rng_for("sjis"), jp_chars, "\r\n"), "cp932")
    files["japanese-iso2022jp.txt"] = encode_checked(japanese_text(rng_for("jis"), jp_chars, "\r\n"), "iso2022_jp")
    files["japanese-euc_jp.txt"] = encode_checked(japanese_text(rng_for("euc"), jp_chars, "\n"), "euc_jp")

    mixed = mixed_text(rng_for("mixed"), size_bytes // 2)
    files["unicode-utf8.txt"] = encode_checked(mixed, "utf-8")
    files["unicode-utf16le.txt"] = b"\xff\xfe" + encode_checked(mixed[: size_bytes // 2], "utf-16-le")

    for part, letters in LATIN_LETTERS.items():
        codec = f"iso8859_{part}"
        keep_encodable(letters + letters.upper(), codec)
        letter = latin_letter_maker(part)
        text = sentences_to_text(rng_for(codec), size_bytes, lambda r: alphabet_sentence(r, letter), "\n")
        files[f"iso8859-{part}.txt"] = encode_checked(text, codec)
    for part, alphabet in ((5, CYRILLIC), (7, GREEK)):
        codec = f"iso8859_{part}"
        keep_encodable(alphabet + alphabet.upper(), codec)
        letter = script_letter_maker(alphabet)
        text = sentences_to_text(rng_for(codec), size_bytes, lambda r: alphabet_sentence(r, letter), "\n")
        files[f"iso8859-{part}.txt"] = encode_checked(text, codec)

    hangul = keep_encodable(HANGUL_SYLLABLES, "euc_kr")
    files["korean-euc_kr.txt"] = encode_checked(
        sentences_to_text(rng_for("euckr"), size_bytes // 2, lambda r: korean_sentence(r, hangul), "\r\n"), "euc_kr")
    files["korean-iso2022kr.txt"] = encode_checked(
        sentences_to_text(rng_for("iso2022kr"), size_bytes // 2, lambda r: korean_sentence(r, hangul), "\r\n"),
        "iso2022_kr")

    files["chinese-big5.txt"] = encode_checked(
        hanzi_text(rng_for("big5"), size_bytes // 2, keep_encodable(HANZI_TRADITIONAL, "big5")), "cp950")
    files["chinese-gb2312.txt"] = encode_checked(
        hanzi_text(rng_for("gb2312"), size_bytes // 2, keep_encodable(HANZI_SIMPLIFIED, "gb2312")), "gb2312")

    files["thai-tis620.txt"] = encode_checked(
        sentences_to_text(rng_for("thai"), size_bytes, thai_sentence, "\r\n"), "tis_620")
    files["vietnamese-cp1258.txt"] = encode_checked(
        cp1258_form(sentences_to_text(rng_for("viet"), size_bytes * 3 // 4, vietnamese_sentence, "\r\n")), "cp1258")

    # Palm DOC books: a Japanese (Shift-JIS) and a Western (ISO-8859-1) text with LF line ends.
    palm_jp = encode_checked(japanese_text(rng_for("palm-jp"), size_bytes // 2, "\n"), "cp932")
    files["palmdoc-japanese.pdb"] = palmdoc_book("Quill bench Japanese", palm_jp)
    palm_en = encode_checked(sentences_to_text(rng_for("palm-en"), size_bytes, english_sentence, "\n"), "iso8859_1")
    files["palmdoc-western.pdb"] = palmdoc_book("Quill bench Western", palm_en)
    return files


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("output", help="folder to write the files into (created if missing)")
    parser.add_argument("--megabytes", type=float, default=4.0, help="about how large each text is (default 4)")
    args = parser.parse_args()
    size_bytes = int(args.megabytes * 1024 * 1024)
    if size_bytes < 4096:
        raise SystemExit("gen_bench_text: --megabytes is too small")

    os.makedirs(args.output, exist_ok=True)
    manifest_path = os.path.join(args.output, "manifest.txt")
    if os.path.exists(manifest_path):
        os.remove(manifest_path)
    files = build_files(size_bytes)
    if len(files) != 19:  # twenty catalogue entries; the first two share the Shift-JIS text
        raise SystemExit(f"gen_bench_text: expected 19 files, made {len(files)}")
    for name, data in files.items():
        if len(data) < size_bytes // 4:
            raise SystemExit(f"gen_bench_text: {name} is only {len(data)} bytes")
        with open(os.path.join(args.output, name), "wb") as out:
            out.write(data)
    with open(manifest_path, "w", encoding="ascii") as manifest:
        manifest.write("# Benchmark inputs written by tools/gen_bench_text.py; name and size in bytes.\n")
        for name, data in sorted(files.items()):
            manifest.write(f"{name} {len(data)}\n")
    print(f"gen_bench_text: wrote {len(files)} files to {args.output}", file=sys.stderr)


if __name__ == "__main__":
    main()
