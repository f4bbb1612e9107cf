#!/usr/bin/env bash
# Start to first screen, and memory, for a 10 MB Word document: the viewer (headless, in a
# device folder of its own) opens the file, draws its first screen, writes a screenshot and
# quits. Each run is timed with its peak resident memory; a one-line text file gives the
# viewer's own start-up for comparison. Prints the median of five runs of each.
#
#   bench/readers/startup.sh [BUILD_DIR]      (default build/, which must hold app/quillscope)
set -euo pipefail

root=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-$root/build}
viewer="$build/app/quillscope"
[ -x "$viewer" ] || { echo "no viewer at $viewer: build it first" >&2; exit 1; }

device=$(mktemp -d)
trap 'rm -rf "$device"' EXIT
mkdir -p "$device/My Documents" "$device/Program Files/Quillscope"
python3 "$root/tools/gen_rich_bench.py" "$device/gen" 10
mv "$device/gen/big.doc" "$device/My Documents/big.doc"
echo "one line" > "$device/My Documents/tiny.txt"
python3 "$root/tools/make_settings.py" --zoom 100 --encoding 1 --line-style 1 "$device/Program Files/Quillscope/Setting.dat"

measure() {
  local file=$1
  for _ in 1 2 3 4 5; do
    QT_QPA_PLATFORM=offscreen /usr/bin/time -f "%e %M" "$viewer" --device "$device" \
      --screenshot "$device/shot.png" "$device/My Documents/$file" 2>&1 >/dev/null | tail -n 1
  done | sort -n | sed -n 3p
}

size=$(stat -c %s "$device/My Documents/big.doc")
read -r tiny_s tiny_kb < <(measure tiny.txt)
read -r big_s big_kb < <(measure big.doc)
echo "one-line text: ${tiny_s} s, ${tiny_kb} KB peak"
echo "10 MB .doc ($size bytes): ${big_s} s, ${big_kb} KB peak"
awk -v ts="$tiny_s" -v bs="$big_s" -v tk="$tiny_kb" -v bk="$big_kb" -v size="$size" 'BEGIN {
  printf "the document adds %.2f s and %.1f MB (%.2fx its size)\n", bs - ts, (bk - tk) / 1024, (bk - tk) * 1024 / size
}'
