#!/usr/bin/env bash
# Prints what one tick of the auto-exit poll's Internet Explorer rule costs
# beside a bare walk over the same windows, with 50 frame windows of its own
# and then 50 of another process, in a throwaway prefix.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/common.sh
bench_prefix
bench_run poll_bench.exe
