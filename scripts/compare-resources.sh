#!/usr/bin/env bash
# Compares the resources of two builds of the exe: the same resources by
# type, name, language and size, and each type's bytes the same. For changes
# that must leave the dialogs, accelerators and version block as they are.
# Needs icoutils' wrestool. Usage: scripts/compare-resources.sh OLD.exe NEW.exe
set -euo pipefail
if [ $# -ne 2 ]; then
    echo "usage: $0 OLD.exe NEW.exe" >&2
    exit 2
fi
old=$1
new=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Offsets move with the code before the resource section.
list() { wrestool -l "$1" | sed 's/ offset=0x[0-9a-f]*//'; }
if ! diff <(list "$old") <(list "$new"); then
    echo "The resource lists differ."
    exit 1
fi

status=0
for type in $(list "$old" | sed -n 's/^--type=\([0-9]*\) .*/\1/p' | sort -un); do
    name=$(list "$old" | sed -n "s/^--type=$type .*\[type=\([a-z_]*\).*/\1/p" | head -1)
    wrestool -x --raw -t "$type" "$old" >"$work/old"
    wrestool -x --raw -t "$type" "$new" >"$work/new"
    if cmp "$work/old" "$work/new"; then
        echo "type $type ${name:-(no name)}: $(stat -c %s "$work/old") bytes, identical"
    else
        echo "type $type ${name:-(no name)}: differs"
        status=1
    fi
done
exit $status
