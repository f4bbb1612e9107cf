#!/usr/bin/env bash
# Builds the libFuzzer targets with clang in build-fuzz/ and runs each one for a short time.
# Fails when a target does not build or when any run finds a crash, a leak or undefined
# behaviour (libFuzzer then exits non-zero and leaves the input as crash-* in the work folder).
#
#   scripts/fuzz-smoke.sh [SECONDS_PER_TARGET]      (default 20)
#
# QUILL_FUZZ_BUILD names another build folder; QUILL_CORPUS_DIR (default tests/data, the files
# made by other programs) adds the Palm DOC books there as seeds for fuzz_palmdoc. The document
# readers' targets are seeded from tests/data/rich and run for at most 10 seconds each.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${QUILL_FUZZ_BUILD:-$root/build-fuzz}
seconds=${1:-20}
corpus_dir=${QUILL_CORPUS_DIR:-$root/tests/data}

cmake -S "$root" -B "$build" -G Ninja \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DQUILL_FUZZ=ON -DQUILL_TESTS=OFF -DQUILL_BENCH=OFF -DQUILL_WERROR="${QUILL_WERROR:-OFF}" \
  -DQUILL_ONLY="decode;palmdoc;convert"
ninja -C "$build" -j2 quill_fuzz_targets

shopt -s nullglob
targets=("$build"/fuzz/fuzz_*)
if [ ${#targets[@]} -eq 0 ]; then
  echo "fuzz-smoke: no fuzz targets were built" >&2
  exit 1
fi

failed=()
for target in "${targets[@]}"; do
  [ -x "$target" ] || continue
  name=$(basename "$target")
  work="$build/fuzz-work/$name"
  mkdir -p "$work/corpus"
  seeds=()
  if [ "$name" = fuzz_palmdoc ] && [ -d "$corpus_dir/palmdoc" ]; then
    seeds+=("$corpus_dir/palmdoc")
  fi
  time_limit=$seconds
  case "$name" in
    fuzz_device_paths)
      # "\" + U+FFFE + the byte-swapped units of "/../../../etc/passwd" (UTF-16LE): a name that
      # a byte-order-mark reading would turn into ".." after the path was resolved.
      mkdir -p "$work/seeds"
      dotdot='/../../../etc/passwd'
      { printf '\x5c\x00\xfe\xff'
        for ((k = 0; k < ${#dotdot}; k++)); do printf "\\x00\\x$(printf %02x "'${dotdot:k:1}")"; done
      } >"$work/seeds/swapped-dotdot"
      seeds+=("$work/seeds")
      ;;
    fuzz_rtf|fuzz_word|fuzz_pocket_word)
      time_limit=$(( seconds < 10 ? seconds : 10 ))
      mkdir -p "$work/seeds"
      case "$name" in
        fuzz_rtf) pattern='*.rtf pocketword-rtf.psw en-formatting-rtf.doc' ;;
        fuzz_word) pattern='*.doc' ;;
        fuzz_pocket_word) pattern='pocketword-basic.psw pocketword-western.psw' ;;
      esac
      (cd "$root/tests/data/rich" && for f in $pattern; do cp "$f" "$work/seeds/"; done)
      seeds+=("$work/seeds")
      ;;
  esac
  echo "== $name: ${time_limit}s"
  if (cd "$work" && "$target" -max_total_time="$time_limit" -timeout=10 -rss_limit_mb=2048 \
        -print_final_stats=1 corpus "${seeds[@]}" >"$work/log.txt" 2>&1); then
    grep -E '^stat::number_of_executed_units|^Done ' "$work/log.txt" || true
  else
    echo "!! $name failed; see $work/log.txt" >&2
    tail -n 30 "$work/log.txt" >&2
    failed+=("$name")
  fi
done

if [ ${#failed[@]} -ne 0 ]; then
  echo "fuzz-smoke: failures in ${failed[*]}" >&2
  exit 1
fi
echo "fuzz-smoke: all ${#targets[@]} targets ran clean"
