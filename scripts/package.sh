#!/usr/bin/env bash
# package.sh BUILD OUT KIND: packs what BUILD's install() rules install, one
# folder Sorrelwick-<version>, into OUT/Sorrelwick-<version>-KIND.zip with
# OUT/SHA256SUMS beside it, and prints the archive's path. The same bytes
# every time for one commit: file times are SOURCE_DATE_EPOCH (the commit's
# time unless given), names are in a fixed order, and zip -X keeps no owner,
# access or change time (CPack's zip keeps them).
set -euo pipefail
build=$1 out=$2 kind=$3

missing=()
for f in Sorrelwick.exe Sorrelwick.hlp Sorrelwick.cnt Sorrelwick.html generated/readme.txt generated/LICENSE.txt; do
    [ -f "$build/$f" ] || missing+=("$build/$f")
done
if [ "${#missing[@]}" -gt 0 ]; then
    echo "package: missing, so no archive is made: ${missing[*]}" >&2
    exit 1
fi
epoch=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct)}

mkdir -p "$out"
out=$(realpath "$out")
stage="$out/stage"
rm -rf "$stage" "$out"/Sorrelwick-*-"$kind".zip "$out/SHA256SUMS"
cmake --install "$build" --prefix "$stage" >/dev/null
cd "$stage"
name=$(echo Sorrelwick-*)-$kind.zip
find . -mindepth 1 -exec touch -h -d "@$epoch" {} +
# Fixed modes: the packer's umask does not show.
find . -type d -exec chmod 755 {} + -o -type f -exec chmod 644 {} +
chmod 755 ./*/Sorrelwick.exe
find . -type f | sed 's|^\./||' | LC_ALL=C sort | TZ=UTC zip -X -D -9 -q "$out/$name" -@
cd "$out"
rm -rf "$stage"
sha256sum "$name" >SHA256SUMS
echo "$out/$name"
