#!/usr/bin/env bash
# Shows Sorrelwick in a Wine virtual desktop with a taskbar and takes
# screenshots: the tray in the OFF state, the tray in the ON state, the open
# tray menu, the About box twice a second apart (its icon moves on), and the
# settings dialog of a first run in both Search Assistant modes (win2k, and
# winxp with a value missing and its hint showing), and the help window.
# Each run is closed the normal way.
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
    # The About box, as the tray menu item "ﾊﾞｰｼﾞｮﾝ情報 (&V)" opens it.
    poke command=260
    for name in about about-next; do
        sleep 1
        import -window root "$out/$name.png"
        # The box sits in the middle of the screen.
        convert "$out/$name.png" -crop 320x240+352+264 +repage -scale 200% "$out/$name-zoom.png"
        echo "$out/$name.png"
    done
    poke close

    # A first run opens the settings dialog by itself.
    for version in win2k winxp; do
        $WINE reg delete "HKCU\\Software\\Tarrow" /f >/dev/null 2>&1 || true
        $WINE reg add "HKCU\\Software\\Wine\\AppDefaults\\Sorrelwick.exe" /v Version /t REG_SZ /d $version /f >/dev/null
        hover=
        if [ $version = winxp ]; then
            $WINE reg delete "HKCU\\Software\\Microsoft\\Internet Explorer\\Main" /v "FormSuggest Passwords" /f >/dev/null
            hover=hover=1036
        fi
        (cd "$run" && $WINE $desktop "$bin/Sorrelwick.exe") >/dev/null 2>&1 </dev/null &
        poke dialog
        [ -n "$hover" ] && poke $hover
        shot settings-$version
        convert "$out/settings-$version.png" -crop 420x560+300+100 +repage "$out/settings-$version-dialog.png"
        poke close
    done

    # The help as -h opens it, its files beside the exe as a user unzips
    # them; the reader stays open until the end.
    cp "$bin/Sorrelwick.exe" "$bin/Sorrelwick.hlp" "$bin/Sorrelwick.cnt" "$run/"
    (cd "$run" && $WINE $desktop Sorrelwick.exe -h) >/dev/null 2>&1 </dev/null &
    poke wait
    sleep 2
    shot help
    poke close
'
