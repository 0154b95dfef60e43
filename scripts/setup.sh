#!/usr/bin/env bash
# Installs, as root, only what the build and the tests need and is not there yet.
# Idempotent: with everything present it only checks and returns, without
# touching the network.
set -euo pipefail

need=()
have_cmd() { command -v "$1" >/dev/null 2>&1; }
have_pkg() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"; }

# Some kernels run no 32-bit processes, and then the 32-bit Wine could never
# start: find out before installing anything, by running a static 32-bit ELF
# of 96 bytes that only exits with status 42 (no Wine, no i386 library).
kernel_runs_32bit() {
    local elf rc=0
    elf=$(mktemp "${TMPDIR:-/tmp}/sorrelwick-elf32.XXXXXX")
    printf '\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00'`
          `'\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08\x34\x00\x00\x00'`
          `'\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00'`
          `'\x00\x00\x00\x00\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08'`
          `'\x00\x80\x04\x08\x60\x00\x00\x00\x60\x00\x00\x00\x05\x00\x00\x00'`
          `'\x00\x10\x00\x00\xb8\x01\x00\x00\x00\xbb\x2a\x00\x00\x00\xcd\x80' >"$elf"
    chmod +x "$elf"
    "$elf" 2>/dev/null || rc=$?
    rm -f "$elf"
    [ "$rc" = 42 ]
}

# apt-get update, tried a few times; a source that still fails is named in a
# warning and passed over: the install that follows decides whether what it
# needs could be had from the other sources.
apt_update() {
    local try out failed
    for try in 1 2 3; do
        if out=$(apt-get update -q 2>&1); then
            return 0
        fi
        [ "$try" = 3 ] || sleep 5
    done
    # apt names a source on its "Err:" lines: "Err:5 http://host/debian suite Release".
    failed=$(printf '%s\n' "$out" | sed -n 's/^Err:[0-9]* \([^ ]* [^ ]*\).*/\1/p' | sort -u | paste -sd, -)
    echo "setup: warning: apt-get update failed 3 times (${failed:-see apt-get update}); going on with the indexes it fetched" >&2
}

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
have_cmd cppcheck || need+=(cppcheck)
# The release archive.
have_cmd zip || need+=(zip)
have_cmd unzip || need+=(unzip)

if kernel_runs_32bit; then
    echo "setup: this kernel runs 32-bit processes: the 32-bit Wine runs the 32-bit exe"
    wine32=1
else
    echo "setup: this kernel runs no 32-bit processes: 64-bit Wine only, nothing i386 is added"
    wine32=0
fi
have_pkg wine || need+=(wine)
have_pkg wine64 || need+=(wine64)
[ "$wine32" = 1 ] && { have_pkg wine32:i386 || need+=(wine32:i386); }

if [ "${#need[@]}" -gt 0 ]; then
    if [ "$(id -u)" != 0 ]; then
        echo "setup: missing packages (${need[*]}) and not root" >&2
        exit 1
    fi
    export DEBIAN_FRONTEND=noninteractive
    if [ "$wine32" = 1 ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
        dpkg --add-architecture i386
    fi
    apt_update
    if ! apt-get install -y -q --no-install-recommends "${need[@]}"; then
        echo "setup: apt-get install failed (its message is above). If the package mirror" >&2
        echo "setup: is being synced, run again later; otherwise check /etc/apt/sources.list*." >&2
        exit 1
    fi
fi

if ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$'; then
    if [ -f /etc/locale.gen ] && grep -q '^# *ja_JP.UTF-8' /etc/locale.gen; then
        sed -i 's/^# *\(ja_JP.UTF-8 UTF-8\)/\1/' /etc/locale.gen
    elif ! grep -q '^ja_JP.UTF-8' /etc/locale.gen 2>/dev/null; then
        echo 'ja_JP.UTF-8 UTF-8' >> /etc/locale.gen
    fi
    locale-gen >/dev/null
fi
