#!/usr/bin/env bash
# The viewer's start-up on big documents, beside less. For each generated document (1, 20, 100
# and 200 MB; UTF-8 and Shift-JIS; ASCII-heavy and CJK-heavy) it starts the real viewer headless
# in a sandboxed device (build/bench/quill_open_probe: the program with a stopwatch, see its
# source) and prints: start to the first painted screen of the document, start to the whole
# document in the view (a big one shows its first screen while the rest loads), peak resident memory
# and its ratio to the file, SB_BOTTOM (Ctrl+End) to the end painted and SB_TOP back, the line
# count at the end, and resident memory after a small document is opened next. Then less in
# tmux: start to its first screen.
#
#   bench/viewer-open.sh                 everything (about 3 GB of documents in the build folder)
#   bench/viewer-open.sh 1 20            only these sizes (MB)
#   KINDS=utf8-ascii bench/viewer-open.sh 200
# QUILL_OPEN_BUILD names the build folder (default build/, which must hold quill_open_probe).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${QUILL_OPEN_BUILD:-build}
probe=$build/bench/quill_open_probe
data=$build/open-bench-data
kinds=${KINDS:-utf8-ascii sjis-ascii utf8-cjk sjis-cjk}
sizes=("$@")
[ ${#sizes[@]} -gt 0 ] || sizes=(1 20 100 200)
[ -x "$probe" ] || { echo "build $probe first: cmake --build $build --target quill_open_probe" >&2; exit 1; }
python3 tools/gen_open_bench.py "$data" --sizes "$(IFS=,; echo "${sizes[*]}")" --kinds "${kinds// /,}"

work=$(mktemp -d)
trap 'tmux kill-session -t quill-open-less 2>/dev/null || true; rm -rf "$work"' EXIT

# less in an 80 x 24 tmux pane: from the start of tmux to the file's first screen (the pane's
# first row filled).
less_first_ms() {
  local file=$1 t0 now
  t0=$(date +%s%N)
  LESSCHARSET=utf-8 tmux new-session -d -s quill-open-less -x 80 -y 24 "less -S '$file'"
  while :; do
    if [ -n "$(tmux capture-pane -p -t quill-open-less 2>/dev/null | head -n 1 | tr -d ' ')" ]; then break; fi
    now=$(date +%s%N)
    [ $(( (now - t0) / 1000000 )) -lt 20000 ] || { echo "-"; tmux kill-session -t quill-open-less; return; }
  done
  now=$(date +%s%N)
  tmux kill-session -t quill-open-less
  echo $(( (now - t0) / 1000000 ))
}

printf '| Document | MB | first screen ms | CPU ms | whole ms | peak MB | peak / file | end ms | back ms | end ok | lines | after small MB | less first ms |\n'
printf '|---|---:|---:|---:|---:|---:|---:|---:|---:|---|---:|---:|---:|\n'
for kind in $kinds; do
  case $kind in utf8-*) encoding=4 ;; *) encoding=1 ;; esac
  for size in "${sizes[@]}"; do
    file=$data/$kind-${size}MB.txt
    device=$work/device
    rm -rf "$device"
    mkdir -p "$device/Program Files/Quillscope"
    python3 tools/make_settings.py --encoding $encoding "$device/Program Files/Quillscope/Setting.dat"
    ln "$file" "$device/document.txt" 2>/dev/null || cp "$file" "$device/document.txt"
    printf 'A small document.\n' >"$device/small.txt"
    line=$(QUILL_PROBE_T0_NS=$(date +%s%N) QT_QPA_PLATFORM=offscreen timeout 600 \
      "$probe" --device "$device" --next '\small.txt' -- '\document.txt' 2>"$work/stderr" | grep '^first_ms=' || true)
    if [ -z "$line" ]; then
      echo "| $kind | $size | failed: $(tail -n 3 "$work/stderr" | tr '\n' ' ') |"
      continue
    fi
    eval "$line"
    bytes=$(stat -c %s "$file")
    lessms=$(less_first_ms "$file")
    awk -v k="$kind" -v s="$size" -v f="$first_ms" -v c="$cpu_ms" -v w="$whole_ms" -v p="$peak_kb" -v b="$bytes" -v e="$end_ms" -v t="$top_ms" \
        -v ok="$end_ok" -v l="$lines" -v n="$next_kb" -v less="$lessms" 'BEGIN {
      printf "| %s | %s | %.0f | %.0f | %.0f | %.0f | %.2f | %.1f | %.1f | %s | %d | %.0f | %s |\n",
        k, s, f, c, w, p / 1024, p * 1024 / b, e, t, (ok == 1 ? "yes" : "NO"), l, n / 1024, less }'
  done
done
