#!/usr/bin/env bash
# Builds the benchmarks in Release, runs all of them in one run and prints the ratio table.
#
#   bench/run.sh [extra Google Benchmark flags, e.g. --benchmark_filter=Decode/ShiftJIS]
#
# QUILL_BENCH_BUILD names the build folder (default build-bench/); the inputs are generated
# into <build>/bench-data on first use (about a minute). The JSON of the run is kept as
# <build>/bench-results.json.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${QUILL_BENCH_BUILD:-$root/build-bench}
python=/usr/bin/python3
[ -x "$python" ] || python=python3

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DQUILL_BENCH=ON -DQUILL_TESTS=OFF -DQUILL_SANITIZE=OFF -DQUILL_ONLY="decode;palmdoc;convert" >/dev/null
ninja -C "$build" -j2 quill_bench >&2

if [ ! -f "$build/bench-data/manifest.txt" ]; then
  "$python" "$root/tools/gen_bench_text.py" "$build/bench-data" >&2
fi

results="$build/bench-results.json"
QUILL_BENCH_DATA="$build/bench-data" "$build/bench/quill_bench" \
  --benchmark_repetitions=3 --benchmark_report_aggregates_only=true \
  --benchmark_out="$results" --benchmark_out_format=json "$@" >&2
"$python" "$root/bench/report.py" "$results"
