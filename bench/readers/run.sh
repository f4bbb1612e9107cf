#!/usr/bin/env bash
# The readers' throughput beside antiword and catdoc: installs the two (Debian packages, for
# this benchmark only) when missing, generates the inputs (tools/gen_rich_bench.py), builds in
# Release and runs every row once with three repetitions.
#
#   bench/readers/run.sh [extra Google Benchmark flags]
#
# QUILL_BENCH_BUILD names the build folder (default build-bench/).
set -euo pipefail

root=$(cd "$(dirname "$0")/../.." && pwd)
build=${QUILL_BENCH_BUILD:-$root/build-bench}

missing=()
for program in antiword catdoc; do
  command -v "$program" >/dev/null || missing+=("$program")
done
if [ ${#missing[@]} -ne 0 ]; then
  SUDO=""
  if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

data="$build/bench-data-rich"
[ -f "$data/big.doc" ] || python3 "$root/tools/gen_rich_bench.py" "$data" 10

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DQUILL_BENCH=ON -DQUILL_TESTS=OFF -DQUILL_SANITIZE=OFF -DQUILL_SUBSYSTEMS="palmdoc;decode" >/dev/null
ninja -C "$build" -j2 quill_reader_bench >&2
QUILL_RICH_BENCH_DATA="$data" "$build/bench/readers/quill_reader_bench" \
  --benchmark_repetitions=3 --benchmark_report_aggregates_only=true "$@"
