#!/usr/bin/env bash
# Installs, as root, only what the build and the tests need and is not there yet.
# Idempotent: with everything present it only checks and returns.
set -euo pipefail

need=()
have_cmd() { command -v "$1" >/dev/null 2>&1; }
have_pkg() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"; }

have_cmd cmake || need+=(cmake)
have_cmd ninja || need+=(ninja-build)
have_cmd i686-w64-mingw32-g++-posix || need+=(g++-mingw-w64-i686-posix)
have_cmd i686-w64-mingw32-gcc-posix || need+=(gcc-mingw-w64-i686-posix)
have_cmd i686-w64-mingw32-windres || need+=(binutils-mingw-w64-i686)
# Where the kernel runs no 32-bit processes, Wine cannot run the 32-bit exe;
# the tests then run a 64-bit build of the same sources.
have_cmd x86_64-w64-mingw32-g++-posix || need+=(g++-mingw-w64-x86-64-posix)
have_cmd x86_64-w64-mingw32-gcc-posix || need+=(gcc-mingw-w64-x86-64-posix)
have_cmd x86_64-w64-mingw32-windres || need+=(binutils-mingw-w64-x86-64)
[ -f /usr/src/googletest/CMakeLists.txt ] || need+=(googletest)
have_cmd xvfb-run || need+=(xvfb)
have_cmd xauth || need+=(xauth)
have_pkg locales || need+=(locales)
have_pkg fonts-ipafont-gothic || need+=(fonts-ipafont-gothic)
have_cmd python3 || need+=(python3)
have_cmd import || need+=(imagemagick)

wine_missing=0
have_cmd wine || wine_missing=1
have_pkg wine32:i386 || wine_missing=1
have_pkg wine64 || wine_missing=1

if [ "${#need[@]}" -gt 0 ] || [ "$wine_missing" = 1 ]; then
    if [ "$(id -u)" != 0 ]; then
        echo "setup: missing packages (${need[*]} wine) and not root" >&2
        exit 1
    fi
    export DEBIAN_FRONTEND=noninteractive
    if [ "$wine_missing" = 1 ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
        dpkg --add-architecture i386
    fi
    apt-get update -q
    [ "$wine_missing" = 1 ] && need+=(wine wine32:i386 wine64)
    apt-get install -y -q --no-install-recommends "${need[@]}"
fi

if ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$'; then
    if [ -f /etc/locale.gen ] && grep -q '^# *ja_JP.UTF-8' /etc/locale.gen; then
        sed -i 's/^# *\(ja_JP.UTF-8 UTF-8\)/\1/' /etc/locale.gen
    elif ! grep -q '^ja_JP.UTF-8' /etc/locale.gen 2>/dev/null; then
        echo 'ja_JP.UTF-8 UTF-8' >> /etc/locale.gen
    fi
    locale-gen >/dev/null
fi
