# Sourced by the run and test scripts: the Wine environment and a booted
# template prefix that each run copies instead of booting its own.
export LANG=ja_JP.UTF-8

export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="

# The product is a 32-bit exe. Some kernels run no 32-bit processes, and then
# Wine's 32-bit loader cannot start; elsewhere the 32-bit Wine may not have
# installed. Either way: a 64-bit prefix and a 64-bit build.
# SORRELWICK_WINE64=1 takes the 64-bit way where the 32-bit one works too,
# so that a change can be proved both ways on one machine.
if [ "${SORRELWICK_WINE64:-0}" != 1 ] && /usr/lib/wine/wine --version >/dev/null 2>&1; then
    export WINEARCH=win32 WINE=wine SORRELWICK_ARCH=i686
else
    export WINEARCH=win64 WINE=/usr/lib/wine/wine64 SORRELWICK_ARCH=x86_64
fi

SORRELWICK_CACHE=${SORRELWICK_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/sorrelwick}
# The number goes up whenever the making of the template changes, so that
# an older template is not reused.
WINE_TEMPLATE="$SORRELWICK_CACHE/prefix-3-$WINEARCH-$($WINE --version 2>/dev/null | tr -c 'A-Za-z0-9.\n' '_')"

# Registry settings every prefix of ours needs: no window manager delays for
# hidden boxes, and a crash ends the process instead of waiting on a dialog.
wine_base_settings() {
    $WINE reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null
    $WINE reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null
    # The settings dialog's font is the proportional MS PGothic, which Wine
    # lacks: the IPA font of the same kind keeps its labels inside their boxes.
    $WINE reg add 'HKCU\Software\Wine\Fonts\Replacements' /v 'ＭＳ Ｐゴシック' /t REG_SZ /d IPAPGothic /f >/dev/null
}

# The AutoComplete values of a typical Internet Explorer installation, so that
# a first start finds something to capture.
wine_seed_autocomplete() {
    local ac='HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\AutoComplete'
    local main='HKCU\Software\Microsoft\Internet Explorer\Main'
    $WINE reg add "$ac" /v AutoSuggest /t REG_SZ /d yes /f >/dev/null
    $WINE reg add "$ac" /v 'Append Completion' /t REG_SZ /d no /f >/dev/null
    $WINE reg add "$ac" /v 'Use AutoComplete' /t REG_SZ /d yes /f >/dev/null
    $WINE reg add "$main" /v 'Use FormSuggest' /t REG_SZ /d yes /f >/dev/null
    $WINE reg add "$main" /v 'FormSuggest Passwords' /t REG_SZ /d yes /f >/dev/null
    $WINE reg add "$main" /v 'FormSuggest PW Ask' /t REG_SZ /d no /f >/dev/null
    $WINE reg add 'HKCU\Software\Microsoft\Search Assistant' /v AutoComplete /t REG_DWORD /d 1 /f >/dev/null
}

wine_template() {
    if [ ! -f "$WINE_TEMPLATE/.booted" ]; then
        echo "Booting a Wine template prefix (once) in $WINE_TEMPLATE"
        rm -rf "$WINE_TEMPLATE"
        mkdir -p "$WINE_TEMPLATE"
        WINEPREFIX="$WINE_TEMPLATE" $WINE wineboot -i >/dev/null 2>&1 || true
        # Debian's Wine does not look where fonts-wine puts its fonts; without
        # Marlett in the prefix the caption buttons draw as letters.
        cp /usr/share/wine/fonts/marlett.ttf "$WINE_TEMPLATE/drive_c/windows/Fonts/" 2>/dev/null || true
        WINEPREFIX="$WINE_TEMPLATE" wine_base_settings
        WINEPREFIX="$WINE_TEMPLATE" wineserver -w
        touch "$WINE_TEMPLATE/.booted"
    fi
}

# wine_clone_prefix FROM TO: a copy of a booted prefix that costs little. The
# programs and libraries, which Wine only reads, are hard links; everything
# else (the registry, .ini and .inf files, the user's folders) is copied, so
# that nothing done in the copy reaches FROM.
wine_clone_prefix() {
    rm -rf "$2"
    mkdir -p "$(dirname "$2")"
    cp -al "$1" "$2"
    find "$2" -type f ! \( -iname '*.dll' -o -iname '*.exe' -o -iname '*.drv' -o -iname '*.sys' \
        -o -iname '*.ocx' -o -iname '*.cpl' -o -iname '*.acm' -o -iname '*.ax' -o -iname '*.ds' \
        -o -iname '*.tlb' -o -iname '*.nls' -o -iname '*.ttf' -o -iname '*.msstyles' \) \
        -exec sh -c 'for f; do cp -p "$f" "$f.copy" && mv -f "$f.copy" "$f"; done' sh {} +
}

# wine_new_prefix DIR: a fresh copy of the template at DIR.
wine_new_prefix() {
    wine_template
    wine_clone_prefix "$WINE_TEMPLATE" "$1"
}
