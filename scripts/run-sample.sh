#!/usr/bin/env bash
# Builds the viewer and shows a bundled Japanese sample (Shift-JIS by default) in a device
# folder of its own, so nothing of the user's is touched. Without a display it runs headless
# and writes a screenshot, and says where.
#   scripts/run-sample.sh [sjis|eucjp|iso2022jp]
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" --target quillscope

kind="${1:-sjis}"
case "$kind" in
  sjis) file=japanese-sjis.txt; encoding=1 ;;
  eucjp) file=japanese-eucjp.txt; encoding=3 ;;
  iso2022jp) file=japanese-iso2022jp.txt; encoding=2 ;;
  *) echo "usage: $0 [sjis|eucjp|iso2022jp]" >&2; exit 1 ;;
esac

device="$PWD/build/sample-device"
mkdir -p "$device/My Documents" "$device/Program Files/Quillscope"
cp "samples/$file" "$device/My Documents/$file"
# A settings file as the View dialog would leave it: zoom 100, the sample's encoding, ruled lines.
python3 tools/make_settings.py --zoom 100 --encoding "$encoding" --line-style 1 \
  "$device/Program Files/Quillscope/Setting.dat"

args=(--device "$device")
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  args+=(--screenshot "$PWD/build/sample-screenshot.png")
fi
exec build/app/quillscope "${args[@]}" "build/sample-device/My Documents/$file"
