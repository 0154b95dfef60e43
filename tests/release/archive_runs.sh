#!/usr/bin/env bash
# archive_runs.sh ROOT BUILD: the exe out of an archive packed from BUILD as
# the release is packed, alone in a fresh prefix, starts, shows its tray icon,
# opens its settings dialog on this first run and ends by its menu.
set -euo pipefail
root=$1 build=$2 kind=win32
cd "$root" && source scripts/wine-env.sh
if [ "$SORRELWICK_ARCH" != i686 ]; then
    echo "No 32-bit processes on this kernel: testing, instead of the 32-bit exe, the $SORRELWICK_ARCH exe of an archive packed the same way."
    kind=$SORRELWICK_ARCH-test
fi
work=$(mktemp -d "${TMPDIR:-/tmp}/sorrelwick-unzipped.XXXXXX")
export WINEPREFIX="$work/prefix"
trap 'wineserver -k 2>/dev/null || true; rm -rf "$work"' EXIT
zip=$(bash scripts/package.sh "$build" "$work/out" "$kind" | tail -1)
cd "$work" && unzip -q "$zip"
wine_new_prefix "$WINEPREFIX"
wine_seed_autocomplete  # what Internet Explorer leaves on every Windows
desktop="explorer /desktop=archive,800x600"
(cd Sorrelwick-* && $WINE $desktop Sorrelwick.exe >/dev/null 2>&1 </dev/null &)
# tray_poke's exit code is not seen from a desktop: its verdict is a file.
# 1013 is the settings dialog's 閉じる (Alt+C), which the main window passes on.
for step in dialog icon command=1013 menu key=X gone; do
    rm -f done
    ($WINE $desktop "$build/tray_poke.exe" $step done=done >/dev/null 2>&1 </dev/null &)
    for _ in $(seq 1 300); do [ -s done ] && break; sleep 0.1; done
    [ "$(cat done 2>/dev/null)" = ok ] || { echo "$(basename "$zip"), unzipped: $step failed" >&2; exit 1; }
done
echo "$(basename "$zip"), unzipped alone: first-run dialog, tray icon, ended by its menu"
