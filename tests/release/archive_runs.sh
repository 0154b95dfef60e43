#!/usr/bin/env bash
# archive_runs.sh ROOT BUILD: the exe taken out of an archive, alone in a
# fresh prefix, starts, shows its tray icon, opens its settings dialog on this
# first run and ends by its menu. The archive is packed from BUILD exactly as
# the release is packed from the 32-bit build.
set -euo pipefail
root=$1 build=$2
cd "$root"
source scripts/wine-env.sh
work=$(mktemp -d "${TMPDIR:-/tmp}/sorrelwick-unzipped.XXXXXX")
export WINEPREFIX="$work/prefix"
trap 'wineserver -k 2>/dev/null || true; rm -rf "$work"' EXIT

if [ "$SORRELWICK_ARCH" = i686 ]; then
    echo "The archive's own 32-bit exe runs here."
    kind=win32
else
    echo "This kernel runs no 32-bit processes: an archive packed the same way from"
    echo "the $SORRELWICK_ARCH build runs instead of the 32-bit one."
    kind=$SORRELWICK_ARCH-test
fi
zip=$(bash scripts/package.sh "$build" "$work/out" "$kind" | tail -1)
unzip -q "$zip" -d "$work/unzipped"
exe=$(echo "$work"/unzipped/Sorrelwick-*/Sorrelwick.exe)

wine_new_prefix "$WINEPREFIX"
wine_seed_autocomplete  # what Internet Explorer leaves on every Windows
desktop="explorer /desktop=archive,800x600"
(cd "$(dirname "$exe")" && $WINE $desktop Sorrelwick.exe >/dev/null 2>&1 </dev/null &)
# tray_poke runs in the same desktop, where its exit code is not seen: its
# verdict comes back in a file.
cd "$work"
for step in dialog icon dismiss menu key=X gone; do
    rm -f done
    ($WINE $desktop "$build/tray_poke.exe" $step done=done >/dev/null 2>&1 </dev/null &)
    for _ in $(seq 1 300); do
        [ -s done ] && break
        sleep 0.1
    done
    if [ "$(cat done 2>/dev/null)" != ok ]; then
        echo "unzipped $(basename "$zip"): $step failed" >&2
        exit 1
    fi
    echo "unzipped $(basename "$zip"): $step ok"
done
