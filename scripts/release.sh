#!/usr/bin/env bash
# Builds the shipped 32-bit Release exe with its help and texts and packs
# build/release/Sorrelwick-<version>-win32.zip with SHA256SUMS beside it; the
# last line printed is the archive's path. Installs whatever is missing first.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh --release
build=${SORRELWICK_BUILD:-build}
# The tests are not part of a release, nor is anything of this machine.
cmake -S . -B "$build/i686" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-i686-mingw.cmake -DBUILD_TESTING=OFF >/dev/null
ninja -C "$build/i686"
bash scripts/package.sh "$build/i686" "$build/release" win32
