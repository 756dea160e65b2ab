#!/usr/bin/env bash
# The committed icons are what the icon program draws now, and every one is
# a PNG that a strict reader accepts at its nominal size.
# usage: test_icons.sh MAKE_ICONS SOURCE_DIR
. "$(dirname "$0")/common.sh"
make_icons=$1
source=$2

mkdir "$scratch/drawn"
"$make_icons" "$scratch/drawn" || fail "make_icons failed"
for size in 16 24 32 48 64 128 256; do
    name=cratoria-$size.png
    cmp -s "$scratch/drawn/$name" "$source/packaging/icons/$name" ||
        fail "packaging/icons/$name is stale: rebuild the 'icons' target"
    if command -v identify >/dev/null; then
        geometry=$(identify -regard-warnings -format '%m %wx%h' "$scratch/drawn/$name" 2>&1) ||
            fail "$name does not decode: $geometry"
        [ "$geometry" = "PNG ${size}x${size}" ] || fail "$name reads as $geometry"
    fi
done

finish
