#!/usr/bin/env bash
# The release of this commit built in two fresh clones, at different paths,
# times, time zones and umasks: the same archive bytes, and as shipped.
set -euo pipefail
root=$1
work=$(mktemp -d "${TMPDIR:-/tmp}/sorrelwick-release.XXXXXX")
trap 'rm -rf "$work"' EXIT
rev=$(git -C "$root" rev-parse HEAD)
git -C "$root" diff --quiet HEAD || echo "note: changes not committed are not in the clones of $rev"

release_in() {  # folder, time zone, umask
    git clone -q "$root" "$1"
    git -C "$1" checkout -q "$rev"
    (cd "$1" && umask "$3" && TZ=$2 SORRELWICK_BUILD=build bash scripts/release.sh >"$1.log" 2>&1) || {
        tail -5 "$1.log" >&2; return 1; }
    tail -1 "$1.log"
}
first=$(release_in "$work/a/Sorrelwick" UTC 022)
sleep 2
second=$(release_in "$work/clone-at-another-path/sw" Asia/Tokyo 077)
cmp "$first" "$second"
cmp "$(dirname "$first")/SHA256SUMS" "$(dirname "$second")/SHA256SUMS"
echo "two clones of $rev: the same bytes, $(sha256sum <"$first" | cut -c1-16)…"
python3 "$root/tests/release/check_archive.py" "$first" "$work" "$root"
