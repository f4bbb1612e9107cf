#!/usr/bin/env bash
# Installs the Debian packages that the build, the tests, the benchmarks and the fonts need,
# when they are missing. Idempotent, and quiet when everything is there.
set -euo pipefail

packages=(
  g++ cmake ninja-build pkg-config python3
  qt6-base-dev qt6-qpa-plugins libgl-dev
  libsqlite3-dev libgtest-dev libgmock-dev libbenchmark-dev libicu-dev
  clang libclang-rt-14-dev
  fonts-noto-cjk fonts-noto-core
  desktop-file-utils dpkg-dev
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
