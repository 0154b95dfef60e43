#!/usr/bin/env bash
# Opens and closes the settings dialog 100 times in a throwaway prefix and
# prints what the process holds before and after, and how long an opening
# takes beside a bare dialog of the same template.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/common.sh
build_sorrelwick ON >/dev/null

export WINEPREFIX="$root/$build/bench-prefix"
wine_new_prefix "$WINEPREFIX"
wine_seed_autocomplete
$WINE reg add 'HKCU\Software\Tarrow\Sorrelwick' /v CompleteCount /t REG_DWORD /d 6 /f >/dev/null
wineserver -w
trap 'wineserver -k 2>/dev/null || true' EXIT
xvfb-run -a -s "-screen 0 1024x768x24" $WINE "$bin/dialog_bench.exe" 2>/dev/null | cat
