#!/usr/bin/env bash
# Builds Sorrelwick and its tests and runs every test under Wine and Xvfb in a
# throwaway prefix. Installs whatever is missing first.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
# SORRELWICK_BUILD picks another build folder, so that several checkouts or
# people can test side by side without sharing a prefix or a server.
build=${SORRELWICK_BUILD:-build}

bash scripts/setup.sh
source scripts/wine-env.sh

# The product: the 32-bit exe, always built.
cmake -S . -B "$build/i686" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-i686-mingw.cmake \
    -DBUILD_TESTING=$([ "$SORRELWICK_ARCH" = i686 ] && echo ON || echo OFF) >/dev/null
ninja -C "$build/i686"
echo "Sorrelwick.exe (i686, release): $(stat -c %s "$build/i686/Sorrelwick.exe") bytes"

if [ "$SORRELWICK_ARCH" != i686 ]; then
    echo "This kernel runs no 32-bit processes, so Wine cannot run the 32-bit exe:"
    echo "the tests run a 64-bit build of the same sources."
    cmake -S . -B "$build/$SORRELWICK_ARCH" -G Ninja -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-x86_64-mingw.cmake -DBUILD_TESTING=ON >/dev/null
    ninja -C "$build/$SORRELWICK_ARCH"
fi

export WINEPREFIX="$root/$build/test-prefix"
wine_new_prefix "$WINEPREFIX"
# One server for the whole run: every Wine process then starts in a moment.
wineserver -k 2>/dev/null || true
wineserver -p
trap 'wineserver -k 2>/dev/null || true' EXIT

# Start Wine's own services first, with their output going nowhere: a
# service started by a test would hold the test's output pipe open.
xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
    $WINE wineboot >/dev/null 2>&1 </dev/null
    exec ctest --test-dir "$0" --output-on-failure -j2 "$@"' "$build/$SORRELWICK_ARCH" "$@"
