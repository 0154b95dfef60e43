#!/usr/bin/env bash
# The release of this commit built in two fresh clones, at different paths,
# times, time zones and umasks: the same bytes, and the files a user expects.
set -euo pipefail
root=$1 rev=$(git -C "$1" rev-parse HEAD)
work=$(mktemp -d "${TMPDIR:-/tmp}/sorrelwick-release.XXXXXX")
trap 'rm -rf "$work"' EXIT
fail() { echo "archive: $*" >&2; exit 1; }
release_in() {  # folder, time zone, umask
    git clone -q "$root" "$1" && git -C "$1" checkout -q "$rev"
    (cd "$1" && umask "$3" && TZ=$2 SORRELWICK_BUILD=build bash scripts/release.sh >"$1.log" 2>&1) || {
        tail -5 "$1.log" >&2; return 1; }
    tail -1 "$1.log"
}
first=$(release_in "$work/a/Sorrelwick" UTC 022)
sleep 2
second=$(release_in "$work/clone-at-another-path/sw" Asia/Tokyo 077)
cmp "$first" "$second" || fail "two clones of $rev differ"
[ "$(unzip -Z1 "$first")" = "$(printf 'Sorrelwick-3.8/%s\n' LICENSE.txt Sorrelwick.cnt Sorrelwick.exe \
    Sorrelwick.hlp Sorrelwick.html readme.txt)" ] || fail "holds $(unzip -Z1 "$first" | paste -sd' ')"
cd "$work" && unzip -q "$first" && cd Sorrelwick-3.8
clone=$work/a/Sorrelwick
python3 "$clone/tests/help/hlp_check.py" Sorrelwick.hlp Sorrelwick.cnt Sorrelwick.html "$clone/help/Sorrelwick.txt" >&2 \
    || fail "its Sorrelwick.html does not match its Sorrelwick.hlp"
iconv -f CP932 -t UTF-8 readme.txt >/dev/null && [ "$(tail -c2 readme.txt | od -An -tx1)" = " 0d 0a" ] \
    && ! grep -qv $'\r$' readme.txt || fail "readme.txt is not Shift-JIS with CRLF"
# The usual read-me sections in order, and no line wider than 78 columns (a
# Shift-JIS byte is one column).
sections=$(iconv -f CP932 -t UTF-8 readme.txt | tr -d '\r' | { grep '^■' || true; } | paste -sd' ')
[ "$sections" = "$(printf '■ %s\n' 概要 動作環境 インストール 使い方 アンインストール 注意事項 困ったときは \
    免責 著作権・ライセンス 連絡先 履歴 | paste -sd' ')" ] || fail "readme.txt sections: $sections"
! tr -d '\r' <readme.txt | LC_ALL=C grep -n '^.\{79\}' >&2 || fail "readme.txt lines wider than 78 columns"
copyright=$(strings -el Sorrelwick.exe | grep -A1 -x LegalCopyright | tail -1)
grep -q '^MIT License' LICENSE.txt && grep -qx "$copyright"$'\r' LICENSE.txt || fail "LICENSE.txt lacks $copyright"
echo "two clones of $rev: the same bytes; six files, a $(stat -c %s Sorrelwick.exe)-byte exe"
