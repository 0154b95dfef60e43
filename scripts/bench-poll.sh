#!/usr/bin/env bash
# Prints what one tick of the auto-exit poll's Internet Explorer rule costs
# beside a bare walk over the same windows, with 50 frame windows of its own
# and then 50 of another process, in a throwaway prefix.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/common.sh
build_sorrelwick ON >/dev/null

export WINEPREFIX="$root/$build/bench-prefix"
wine_new_prefix "$WINEPREFIX"
wineserver -w
trap 'wineserver -k 2>/dev/null || true' EXIT
xvfb-run -a -s "-screen 0 1024x768x24" $WINE "$bin/poll_bench.exe" 2>/dev/null | cat
