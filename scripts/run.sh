#!/usr/bin/env bash
# Builds Sorrelwick and starts it under Wine in a virtual desktop with a
# taskbar, on this display, or under Xvfb when there is none (then a
# screenshot is saved and the program is closed after a few seconds).
# Installs whatever is missing first.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/common.sh
build_sorrelwick OFF
exe="$bin/Sorrelwick.exe"

# A prefix of its own that keeps Sorrelwick's settings from run to run, with
# typical Internet Explorer values wherever none are there yet.
export WINEPREFIX=${SORRELWICK_PREFIX:-$root/$build/run-prefix}
[ -f "$WINEPREFIX/system.reg" ] || wine_new_prefix "$WINEPREFIX"
wineserver -p
trap 'wineserver -k 2>/dev/null || true' EXIT
if ! $WINE reg query 'HKCU\Software\Microsoft\Internet Explorer\Main' /v 'Use FormSuggest' >/dev/null 2>&1; then
    wine_seed_autocomplete
fi

# Backup files land in the current folder: keep them with the prefix.
mkdir -p "$WINEPREFIX/drive_c/Sorrelwick"
cd "$WINEPREFIX/drive_c/Sorrelwick"

if [ -n "${DISPLAY:-}" ]; then
    echo "Starting Sorrelwick on $DISPLAY; it lives in the tray of the Wine desktop."
    $WINE explorer /desktop=shell,1024x768 "$exe"
    exit 0
fi

shot="$root/$build/sorrelwick.png"
seconds=${SORRELWICK_SECONDS:-8}
echo "No display: running Sorrelwick under Xvfb for $seconds seconds; a screenshot goes to $shot."
export shot seconds exe
xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
    $WINE explorer /desktop=shell,1024x768 "$exe" &
    sleep "$seconds"
    import -window root "$shot"
    # taskkill without /f asks the windows to close: a clean shutdown. It
    # must run on the same desktop to see them.
    $WINE explorer /desktop=shell,1024x768 taskkill /im Sorrelwick.exe >/dev/null 2>&1 || true
    sleep 2
    wineserver -k 2>/dev/null || true'
echo "Screenshot saved: $shot"
