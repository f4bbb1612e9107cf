#!/usr/bin/env bash
# install_test.sh CMAKE BUILD_DIR VERSION: installs the build into a temporary prefix and checks
# what the desktop needs of it.
set -euo pipefail
cmake=$1 build=$2 version=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix
fail() { echo "install_tree: $*" >&2; exit 1; }

"$cmake" --install "$build" --prefix "$prefix" >/dev/null

for file in bin/quillscope bin/quillscope-decode libexec/quillscope/quillscope-decode-rich \
            share/applications/quillscope.desktop \
            share/mime/packages/quillscope.xml \
            share/icons/hicolor/{32x32,64x64,128x128,256x256}/apps/quillscope.png; do
  [ -f "$prefix/$file" ] || fail "missing $file"
done
[ -x "$prefix/bin/quillscope" ] || fail "the viewer is not executable"
desktop-file-validate "$prefix/share/applications/quillscope.desktop" || fail "the desktop entry is not valid"

# Each icon is a whole PNG of its size: chunks with right CRCs, a zlib stream that inflates.
python3 - "$prefix/share/icons/hicolor" <<'PY' || fail "an icon is not a valid PNG"
import struct, sys, zlib
for size in (32, 64, 128, 256):
    data = open(f"{sys.argv[1]}/{size}x{size}/apps/quillscope.png", "rb").read()
    assert data[:8] == b"\x89PNG\r\n\x1a\n"
    at, idat, header = 8, b"", None
    while at < len(data):
        length, kind = struct.unpack(">I4s", data[at:at + 8])
        body = data[at + 8:at + 8 + length]
        assert struct.unpack(">I", data[at + 8 + length:at + 12 + length])[0] == zlib.crc32(kind + body)
        if kind == b"IHDR": header = struct.unpack(">IIBB", body[:10])
        if kind == b"IDAT": idat += body
        at += 12 + length
    assert header == (size, size, 8, 6), header
    assert len(zlib.decompress(idat)) == size * (1 + 4 * size)
PY

[ "$("$prefix/bin/quillscope" --version)" = "quillscope $version" ] || fail "quillscope --version"
[ "$("$prefix/bin/quillscope-decode" --version)" = "quillscope-decode $version" ] || fail "quillscope-decode --version"
# --rich is handed to the program with the document readers, found from the installed bin folder.
printf '{\\rtf1 installed rich\\par}' > "$work/rich.rtf"
[ "$("$prefix/bin/quillscope-decode" --rich "$work/rich.rtf")" = "installed rich" ] || fail "quillscope-decode --rich"

# The installed viewer, started from a folder of its own without a display, shows a document
# and writes its screenshot.
mkdir -p "$work/device/Program Files/Quillscope" "$work/elsewhere"
printf 'installed\n' > "$work/device/a.txt"
# The settings image: zoom 100, encoding 1, no line style, application keys on, default bindings.
python3 - "$work/device/Program Files/Quillscope/Setting.dat" <<'PY'
import struct, sys
image = bytearray(184)
struct.pack_into("<i", image, 0, 100)
struct.pack_into("<iii", image, 132, 1, 0, 1)
struct.pack_into("<9i", image, 144, 8, 9, 6, 7, 0, 1, 0, 2, 3)
struct.pack_into("<i", image, 180, 1)
open(sys.argv[1], "wb").write(image)
PY
(cd "$work/elsewhere" && env -u DISPLAY -u WAYLAND_DISPLAY "$prefix/bin/quillscope" --device "$work/device" \
   --screenshot "$work/screen.png" "$work/device/a.txt" >/dev/null) || fail "the installed viewer failed"
[ "$(head -c 8 "$work/screen.png" | od -An -tx1 | tr -d ' ')" = "89504e470d0a1a0a" ] || fail "no screenshot"
echo "install_tree: ok"
