#!/usr/bin/env bash
# isolation.sh WRAPPER BIN: the wrapper that runs every test program ends a
# hang in a bounded time and ends whatever a test program left running, so
# that neither reaches the next test nor holds CTest's output pipe.
set -uo pipefail
wrapper=$1 bin=$2
tmp=$(mktemp -d "${TMPDIR:-/tmp}/sorrelwick-harness.XXXXXX")
trap 'rm -rf "$tmp"' EXIT
# The prefixes of the runs below, and so of every process they start.
export SORRELWICK_TEST_TMP=$tmp/prefixes
failed=0
fail() { echo "FAILED: $*"; failed=1; }

# run NAME CMD...: runs CMD with its output through a pipe, as CTest reads
# it, and notes how long the pipe stayed open; more than 100 s fails, and
# CMD's session is ended.
run() {
    local name=$1 start=$SECONDS
    shift
    rm -f "$tmp/pipe"
    mkfifo "$tmp/pipe"
    cat "$tmp/pipe" >"$tmp/$name" &
    local reader=$!
    setsid bash -c '"$@"; echo "exit=$?"' run "$@" >"$tmp/pipe" 2>&1 &
    local writer=$!
    while kill -0 "$reader" 2>/dev/null; do
        if [ $((SECONDS - start)) -ge 100 ]; then
            kill -KILL -- "-$writer" "$reader" 2>/dev/null
            fail "$name: the output pipe was still open after 100 s"
            break
        fi
        sleep 0.2
    done
    wait
    secs=$((SECONDS - start))
    echo "$name: $secs s"
    sed 's/^/    /' "$tmp/$name"
}

has() { grep -qF -- "$2" "$tmp/$1" || fail "$1: no line with '$2'"; }

grace=5
SORRELWICK_TEST_GRACE=$grace run after-summary "$wrapper" "$bin/harness_probe.exe" hang-after-summary
has after-summary "exit=0"
has after-summary "had not ended $grace s later"
# The server's start and end cost a few seconds; a slow machine gets room.
[ "$secs" -le $((grace + 30)) ] || fail "after-summary: took $secs s with a grace of $grace s"

limit=10
SORRELWICK_TEST_LIMIT=$limit run hang "$wrapper" "$bin/harness_probe.exe" hang
has hang "exit=1"
has hang "[ RUN      ] Probe.Hang"
has hang "printed no summary in $limit s"
[ "$secs" -le $((limit + 30)) ] || fail "hang: took $secs s with a limit of $limit s"

run leave-copies "$wrapper" "$bin/harness_probe.exe" leave-copies
has leave-copies "exit=0"
has leave-copies "[  PASSED  ]"
left=$(grep -lzF "WINEPREFIX=$SORRELWICK_TEST_TMP/" /proc/[0-9]*/environ 2>/dev/null)
[ -z "$left" ] || fail "leave-copies: still running: $(for p in $left; do tr '\0' ' ' <"${p%/environ}/cmdline"; echo; done)"

# A test that needs the one running copy to be its own.
run next "$wrapper" "$bin/blackbox_tests.exe" --gtest_filter=BlackBox.TwoCopiesStartedTogetherLeaveOneRunning
has next "exit=0"
has next "[  PASSED  ] 1 test."

[ "$failed" = 0 ] && echo "1 passed, 0 failed" || echo "0 passed, 1 failed"
exit "$failed"
