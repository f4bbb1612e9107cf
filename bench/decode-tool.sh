#!/usr/bin/env bash
# quillscope-decode against iconv as whole processes: for every catalogue row, both turn the
# same file of about 20 MB into UTF-8 on /dev/null; the best of three runs of each is printed
# with their ratio (above 1: quillscope-decode is faster). The Palm DOC rows have no iconv
# peer (iconv cannot decompress a book): their iconv column converts the book's decompressed
# text from the same code page, which is less work than the whole row.
#
#   bench/decode-tool.sh            (QUILL_DECODE_BUILD names the build folder, default build/)
# The inputs come from tools/gen_bench_text.py --megabytes 20 (written once, about 400 MB).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${QUILL_DECODE_BUILD:-build}
tool=$build/convert/tool/quillscope-decode
data=$build/decode-bench-data
[ -x "$tool" ] || { echo "build $tool first: cmake --build $build --target quillscope-decode" >&2; exit 1; }
[ -f "$data/manifest.txt" ] || python3 tools/gen_bench_text.py --megabytes 20 "$data"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

best_ms() {  # the best wall-clock time of three runs of the command, in milliseconds
  local best=999999 t0 t1 ms
  for _ in 1 2 3; do
    t0=$(date +%s%N)
    "$@" >/dev/null
    t1=$(date +%s%N)
    ms=$(( (t1 - t0) / 1000000 ))
    [ "$ms" -lt "$best" ] && best=$ms
  done
  echo "$best"
}

printf '| Row | Encoding | file MB | quillscope-decode ms | iconv ms | iconv / ours |\n|---:|---|---:|---:|---:|---:|\n'
while read -r row file charset; do
  input=$data/$file
  if [ "${file##*.}" = pdb ]; then
    # The book's text, decompressed, for iconv's column.
    "$tool" --encoding "$row" --utf16 "$input" | iconv -f UTF-16LE -t "$charset" >"$work/book.txt" 2>/dev/null || true
    peer=$work/book.txt
  else
    peer=$input
  fi
  ours=$(best_ms "$tool" --encoding "$row" "$input")
  theirs=$(best_ms iconv -c -f "$charset" -t UTF-8 "$peer")
  mb=$(awk -v b="$(stat -c %s "$input")" 'BEGIN { printf "%.1f", b / 1e6 }')
  awk -v r="$row" -v f="$file" -v m="$mb" -v o="$ours" -v t="$theirs" \
    'BEGIN { printf "| %s | %s | %s | %d | %d | %.2f |\n", r, f, m, o, t, t / (o > 0 ? o : 1) }'
done <<'ROWS'
0 japanese-shift_jis.txt CP932
1 japanese-shift_jis.txt CP932
2 japanese-iso2022jp.txt ISO-2022-JP
3 japanese-euc_jp.txt EUC-JP
4 unicode-utf8.txt UTF-8
5 unicode-utf16le.txt UTF-16
6 iso8859-1.txt ISO-8859-1
7 iso8859-2.txt ISO-8859-2
8 iso8859-3.txt ISO-8859-3
9 iso8859-4.txt ISO-8859-4
10 iso8859-5.txt ISO-8859-5
11 iso8859-7.txt ISO-8859-7
12 korean-euc_kr.txt CP949
13 korean-iso2022kr.txt ISO-2022-KR
14 chinese-big5.txt CP950
15 chinese-gb2312.txt GB2312
16 thai-tis620.txt TIS-620
17 vietnamese-cp1258.txt CP1258
18 palmdoc-japanese.pdb CP932
19 palmdoc-western.pdb ISO-8859-1
ROWS
