#!/usr/bin/env bash
# The installed tree: program, launcher, game data, licences, desktop files.
# usage: test_layout.sh BUILD_DIR SOURCE_DIR
. "$(dirname "$0")/common.sh"
build=$1
source=$2

prefix="$scratch/pre fix"
install_tree "$build" "$prefix"

[ -x "$prefix/lib/cratoria/cratoria" ] || fail "game binary not in lib/cratoria/"
[ -x "$prefix/bin/cratoria" ] || fail "launcher not in bin/"
head -n 1 "$prefix/bin/cratoria" | grep -qx '#!/bin/sh' || fail "launcher is not a sh script"
file_type=$(od -An -c -N 4 "$prefix/lib/cratoria/cratoria" | tr -d ' ')
[ "$file_type" = '177ELF' ] || fail "lib/cratoria/cratoria is not a compiled program"

# The launcher must name the prefix it was installed to, not the configured one.
grep -qF "datadir='$prefix/share/cratoria'" "$prefix/bin/cratoria" ||
    fail "launcher does not carry the install prefix"
grep -qF "'$prefix/lib/cratoria/cratoria'" "$prefix/bin/cratoria" ||
    fail "launcher does not point at the installed binary"

data="$prefix/share/cratoria"
for f in vera.ttf base02.ttf back.bmp skin50.bmp skin40.bmp skin30.bmp skin20.bmp skin12.bmp; do
    expect_file "$data/gfx/$f"
done
expect_file "$data/levels/default"

# Exactly the collection files of the source tree, and no folders or notes.
for f in "$source"/levels/*; do
    name=${f##*/}
    if [ -f "$f" ]; then
        case $name in .*|*~) expect_absent "$data/levels/$name" ;; *) expect_file "$data/levels/$name" ;; esac
    else
        expect_absent "$data/levels/$name"
    fi
done
[ -z "$(find "$data" -mindepth 2 -type d)" ] || fail "subfolders installed under share/cratoria/*/"
[ -z "$(find "$data/gfx" -type f ! -name '*.bmp' ! -name '*.ttf')" ] ||
    fail "non-game files installed in gfx/"
[ "$(ls "$data")" = "$(printf 'gfx\nlevels')" ] || fail "share/cratoria holds more than gfx/ and levels/"

# Every font travels with its licence.
for f in "$source"/gfx/*.txt; do
    expect_file "$prefix/share/doc/cratoria/gfx/${f##*/}"
done

expect_file "$prefix/share/applications/io.github.cratoria.Cratoria.desktop"
expect_file "$prefix/share/metainfo/io.github.cratoria.Cratoria.metainfo.xml"
expect_file "$prefix/share/man/man6/cratoria.6"
for size in 16 24 32 48 64 128 256; do
    expect_file "$prefix/share/icons/hicolor/${size}x${size}/apps/cratoria.png"
done

# A packager's staged install keeps the final prefix in the launcher.
DESTDIR="$scratch/stage" cmake --install "$build" --prefix /opt/cratoria >/dev/null
[ -x "$scratch/stage/opt/cratoria/bin/cratoria" ] || fail "DESTDIR install has no launcher"
expect_file "$scratch/stage/opt/cratoria/share/cratoria/levels/default"
grep -qF "datadir='/opt/cratoria/share/cratoria'" "$scratch/stage/opt/cratoria/bin/cratoria" ||
    fail "DESTDIR leaked into the launcher"

finish
