#!/usr/bin/env python3
"""Prints the ratio table of one benchmark run from Google Benchmark's JSON output.

    report.py RESULTS.json

Benchmarks are named Decode/<entry>/<who> (who: ours, iconv, icu, baseline) and
Decompress/<book>/<who> (ours, baseline). With repetitions, the median of each is used.
Ratios are bytes per second of ours divided by the other's: above 1 means ours is faster.
"""

import json
import sys

ENTRY_ORDER = [
    "JapaneseAuto", "ShiftJIS", "ISO2022JP", "EUCJP", "UTF8", "UTF16", "ISO8859_1", "ISO8859_2",
    "ISO8859_3", "ISO8859_4", "ISO8859_5", "ISO8859_7", "EUCKR", "ISO2022KR", "Big5", "GB2312", "Thai",
    "Vietnamese", "PalmDocJapanese", "PalmDocWestern",
]


def load_speeds(path):
    with open(path, encoding="utf-8") as f:
        data = json.load(f)
    singles, medians = {}, {}
    for run in data["benchmarks"]:
        speed = run.get("bytes_per_second")
        if speed is None or run.get("error_occurred"):
            continue
        name = run.get("run_name", run["name"])
        if run.get("run_type") == "aggregate":
            if run.get("aggregate_name") == "median":
                medians[name] = speed
        else:
            singles.setdefault(name, speed)
    singles.update(medians)
    return data.get("context", {}), singles


def mb(speed):
    return f"{speed / 1e6:,.0f}" if speed else "—"


def ratio(ours, other):
    return f"{ours / other:.2f}" if ours and other else "—"


def main():
    if len(sys.argv) != 2:
        raise SystemExit(__doc__)
    context, speeds = load_speeds(sys.argv[1])
    groups = {}
    for name, speed in speeds.items():
        parts = name.split("/")
        if len(parts) == 3:
            groups.setdefault((parts[0], parts[1]), {})[parts[2]] = speed

    def order(key):
        kind, entry = key
        position = ENTRY_ORDER.index(entry) if entry in ENTRY_ORDER else len(ENTRY_ORDER)
        return (kind != "Decode", position, entry)

    print(f"Machine: {context.get('num_cpus', '?')} CPUs at {context.get('mhz_per_cpu', '?')} MHz, "
          f"{context.get('date', '')}; speeds in MB/s of input bytes (10^6 bytes per second).")
    print()
    print("| Benchmark | ours | iconv | ICU | baseline | ours / best peer | ours / ICU | ours / baseline |")
    print("|---|---:|---:|---:|---:|---:|---:|---:|")
    for kind, entry in sorted(groups, key=order):
        row = groups[(kind, entry)]
        ours = row.get("ours")
        peers = [s for s in (row.get("iconv"), row.get("icu")) if s]
        best = max(peers) if peers else None
        print(f"| {kind}/{entry} | {mb(ours)} | {mb(row.get('iconv'))} | {mb(row.get('icu'))} | "
              f"{mb(row.get('baseline'))} | {ratio(ours, best)} | {ratio(ours, row.get('icu'))} | "
              f"{ratio(ours, row.get('baseline'))} |")


if __name__ == "__main__":
    main()
