# Sourced by the run, test and screenshot scripts, from the project folder:
# installs what is missing, sets up the Wine environment and offers the build.
root=$PWD
# SORRELWICK_BUILD picks another build folder, so that several checkouts or
# people can work side by side without sharing a prefix or a server.
build=${SORRELWICK_BUILD:-build}

bash scripts/setup.sh
source scripts/wine-env.sh

# build_sorrelwick ON|OFF (with or without the tests): always builds the
# 32-bit product exe. Where Wine cannot run it (a kernel that runs no 32-bit
# processes, or no 32-bit Wine), a 64-bit build of the same sources is made
# as well. `bin` is
# then the folder whose programs Wine can run here.
build_sorrelwick() {
    local testing=$1
    local native=OFF
    [ "$SORRELWICK_ARCH" = i686 ] && native=$testing
    cmake -S . -B "$build/i686" -G Ninja -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-i686-mingw.cmake -DBUILD_TESTING=$native >/dev/null
    ninja -C "$build/i686"
    echo "Sorrelwick.exe (i686, release): $(stat -c %s "$build/i686/Sorrelwick.exe") bytes"
    if [ "$SORRELWICK_ARCH" != i686 ]; then
        echo "Wine cannot run the 32-bit exe here (no 32-bit Wine, or a kernel that runs"
        echo "no 32-bit processes): a 64-bit build of the same sources runs here instead."
        cmake -S . -B "$build/$SORRELWICK_ARCH" -G Ninja -DCMAKE_BUILD_TYPE=Release \
            -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-x86_64-mingw.cmake -DBUILD_TESTING=$testing >/dev/null
        ninja -C "$build/$SORRELWICK_ARCH"
    fi
    bin="$root/$build/$SORRELWICK_ARCH"
}

# The benchmarks: bench_prefix builds their programs and makes a throwaway
# prefix for them; bench_run runs one there under Xvfb and passes on what it
# prints.
bench_prefix() {
    build_sorrelwick ON >/dev/null
    export WINEPREFIX="$root/$build/bench-prefix"
    wine_new_prefix "$WINEPREFIX"
}
bench_run() {
    wineserver -w
    trap 'wineserver -k 2>/dev/null || true' EXIT
    xvfb-run -a -s "-screen 0 1024x768x24" $WINE "$bin/$1" 2>/dev/null | cat
}
