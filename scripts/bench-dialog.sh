#!/usr/bin/env bash
# Opens and closes the settings dialog 100 times in a throwaway prefix and
# prints what the process holds before and after, and how long an opening
# takes beside a bare dialog of the same template.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/common.sh
bench_prefix
wine_seed_autocomplete
$WINE reg add 'HKCU\Software\Tarrow\Sorrelwick' /v CompleteCount /t REG_DWORD /d 6 /f >/dev/null
bench_run dialog_bench.exe
