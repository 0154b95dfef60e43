#!/usr/bin/env bash
# Shows Sorrelwick in a Wine virtual desktop with a taskbar and takes
# screenshots: the tray in the OFF state, the tray in the ON state, and the
# open tray menu. Then closes the program the normal way.
#   scripts/screenshot.sh [output folder]   (default: $build/screenshots)
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/common.sh
build_sorrelwick ON >/dev/null

out=$(realpath -m "${1:-$build/screenshots}")
mkdir -p "$out"
run="$root/$build/screenshot-run"
rm -rf "$run"
mkdir -p "$run"

# A prefix of its own, so nothing here meets the tests' server or values.
export WINEPREFIX="$root/$build/screenshot-prefix"
wine_new_prefix "$WINEPREFIX"
wine_seed_autocomplete
# A store from an earlier run, so that no first-run dialog covers the view.
$WINE reg add 'HKCU\Software\Tarrow\Sorrelwick' /v CompleteCount /t REG_DWORD /d 6 /f >/dev/null
$WINE reg add 'HKCU\Software\Tarrow\Sorrelwick' /v Enable /t REG_DWORD /d 0 /f >/dev/null
wineserver -w
trap 'wineserver -k 2>/dev/null || true' EXIT

export bin run out
xvfb-run -a -s "-screen 0 1024x768x24" bash -eu -c '
    desktop="explorer /desktop=shell,1024x768"
    # Runs the helper inside the virtual desktop and waits for its verdict.
    poke() {
        rm -f "$run/done"
        (cd "$run" && $WINE $desktop "$bin/tray_poke.exe" "$1" done=done) >/dev/null 2>&1 </dev/null &
        for _ in $(seq 1 300); do
            [ -s "$run/done" ] && break
            sleep 0.1
        done
        if [ "$(cat "$run/done" 2>/dev/null)" != ok ]; then
            echo "screenshot: $1 failed" >&2
            return 1
        fi
    }
    shot() {
        sleep 1
        import -window root "$out/$1.png"
        # The tray corner, enlarged, where the icon sits.
        convert "$out/$1.png" -crop 240x48+784+720 +repage -scale 400% "$out/$1-tray.png"
        echo "$out/$1.png"
    }

    (cd "$run" && $WINE $desktop "$bin/Sorrelwick.exe") >/dev/null 2>&1 </dev/null &
    poke wait
    shot off
    poke notify=515
    shot on
    poke menu
    shot menu
    # The menu opens upwards from the cursor over the tray.
    convert "$out/menu.png" -crop 220x180+804+588 +repage -scale 300% "$out/menu-zoom.png"
    poke escape
    poke close
'
echo "Enable after the run: $($WINE reg query 'HKCU\Software\Tarrow\Sorrelwick' /v Enable 2>/dev/null | grep -o '0x[0-9a-f]*' || echo none)"
