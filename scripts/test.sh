#!/usr/bin/env bash
# Builds Sorrelwick and its tests and runs every test under Wine and Xvfb.
# Installs whatever is missing first. Each test program runs alone, in a
# throwaway copy of the booted template prefix with a wineserver of its own
# (tests/support/wine_start.sh.in), so no test can reach another.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/common.sh
build_sorrelwick ON
wine_template

export SORRELWICK_TEST_TMP="$root/$build/test-prefixes"
rm -rf "$SORRELWICK_TEST_TMP"
mkdir -p "$SORRELWICK_TEST_TMP"

xvfb-run -a -s "-screen 0 1024x768x24" \
    ctest --test-dir "$build/$SORRELWICK_ARCH" --output-on-failure -j2 "$@"
