#!/usr/bin/env bash
# Builds Sorrelwick and its tests and runs every test under Wine and Xvfb in a
# throwaway prefix. Installs whatever is missing first.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/common.sh
build_sorrelwick ON

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
