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
    updated=1
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

# install_needed: installs what is in `need`; a failed install ends the set-up.
install_needed() {
    [ "${#need[@]}" -gt 0 ] || return 0
    if [ "$(id -u)" != 0 ]; then
        echo "setup: missing packages (${need[*]}) and not root" >&2
        exit 1
    fi
    apt_update
    if ! apt-get install -y -q --no-install-recommends "${need[@]}"; then
        echo "setup: apt-get install failed (its message is above). If the package mirror" >&2
        echo "setup: is being synced, run again later; otherwise check /etc/apt/sources.list*." >&2
        exit 1
    fi
    need=()
}

# The 32-bit Wine is a step of its own: every i386 library must match its
# amd64 twin's version, and a mirror in mid-sync (or a pin) can make that
# impossible. Then the tests go the 64-bit way, as on a kernel that runs no
# 32-bit processes; the next run tries again. Nothing installed is changed to
# make it fit: no downgrade, no pin.
install_wine32() {
    local added=0 out why
    if [ "$(id -u)" != 0 ]; then
        echo "setup: the 32-bit Wine (wine32:i386) is missing and we are not root: going the 64-bit way" >&2
        return 0
    fi
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
        dpkg --add-architecture i386
        added=1
    fi
    # The i386 indexes come only with the architecture.
    [ "$added" = 0 ] && [ "${updated:-0}" = 1 ] || apt_update
    echo "setup: installing the 32-bit Wine (wine32:i386)"
    if out=$(apt-get install -y -q --no-install-recommends wine32:i386 2>&1); then
        return 0
    fi
    why=$(printf '%s\n' "$out" | grep -m 1 '^E:' || true)
    echo "setup: the 32-bit Wine could not be installed (${why:-could not be installed}): going the 64-bit way; the x86_64 build runs here and the 32-bit exe is still built" >&2
    # Leave the machine as it was: dpkg itself refuses while anything i386
    # is installed.
    if [ "$added" = 1 ]; then
        dpkg --remove-architecture i386 2>/dev/null || true
    fi
}

export DEBIAN_FRONTEND=noninteractive

# What every build needs, the release included.
have_cmd cmake || need+=(cmake)
have_cmd ninja || need+=(ninja-build)
have_cmd i686-w64-mingw32-g++-posix || need+=(g++-mingw-w64-i686-posix)
have_cmd i686-w64-mingw32-gcc-posix || need+=(gcc-mingw-w64-i686-posix)
have_cmd i686-w64-mingw32-windres || need+=(binutils-mingw-w64-i686)
have_cmd python3 || need+=(python3)
have_cmd git || need+=(git)
have_cmd zip || need+=(zip)
have_cmd unzip || need+=(unzip)

if [ "${1:-}" = --release ]; then
    # The release builds the 32-bit exe and packs it: no Wine, no tests.
    install_needed
    exit 0
fi

# Where Wine cannot run the 32-bit exe, the tests run a 64-bit build of the
# same sources.
have_cmd x86_64-w64-mingw32-g++-posix || need+=(g++-mingw-w64-x86-64-posix)
have_cmd x86_64-w64-mingw32-gcc-posix || need+=(gcc-mingw-w64-x86-64-posix)
have_cmd x86_64-w64-mingw32-windres || need+=(binutils-mingw-w64-x86-64)
[ -f /usr/src/googletest/CMakeLists.txt ] || need+=(googletest)
have_cmd xvfb-run || need+=(xvfb)
have_cmd xauth || need+=(xauth)
have_pkg locales || need+=(locales)
have_pkg fonts-ipafont-gothic || need+=(fonts-ipafont-gothic)
# Wine's own fonts: without Marlett the caption buttons draw as letters.
have_pkg fonts-wine || need+=(fonts-wine)
have_cmd import || need+=(imagemagick)
have_cmd cppcheck || need+=(cppcheck)
have_cmd strings || need+=(binutils)
have_pkg wine || need+=(wine)
have_pkg wine64 || need+=(wine64)

if kernel_runs_32bit; then
    echo "setup: this kernel runs 32-bit processes: the 32-bit Wine runs the 32-bit exe"
    wine32=1
else
    echo "setup: this kernel runs no 32-bit processes: 64-bit Wine only, nothing i386 is added"
    wine32=0
fi

install_needed
if [ "$wine32" = 1 ] && ! have_pkg wine32:i386; then
    install_wine32
fi

if ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$'; then
    if [ -f /etc/locale.gen ] && grep -q '^# *ja_JP.UTF-8' /etc/locale.gen; then
        sed -i 's/^# *\(ja_JP.UTF-8 UTF-8\)/\1/' /etc/locale.gen
    elif ! grep -q '^ja_JP.UTF-8' /etc/locale.gen 2>/dev/null; then
        echo 'ja_JP.UTF-8 UTF-8' >> /etc/locale.gen
    fi
    locale-gen >/dev/null
fi
