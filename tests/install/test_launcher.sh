#!/usr/bin/env bash
# The installed tree and its launcher: the programs and data in place, the
# player's folder on first and later starts, and the refusals. A stand-in
# takes the game's place and reports where it ran and what it found there.
# usage: test_launcher.sh BUILD_DIR
. "$(dirname "$0")/common.sh"
prefix="$scratch/pre fix"
install_tree "$1" "$prefix"
data="$prefix/share/cratoria"
for program in cratoria cratoria-import; do
    [ "$(od -An -c -N 4 "$prefix/lib/cratoria/$program" | tr -d ' ')" = 177ELF ] || fail "no lib/cratoria/$program"
done
for f in man/man6/cratoria.6 applications/io.github.cratoria.Cratoria.desktop icons/hicolor/48x48/apps/cratoria.png \
    doc/cratoria/gfx/vera-COPYRIGHT.txt doc/cratoria/gfx/base02-LICENSE.txt cratoria/gfx/base02.ttf \
    cratoria/gfx/skin12.bmp cratoria/levels/default; do
    [ -f "$prefix/share/$f" ] || fail "missing share/$f"
done
# A packager's staged install keeps the final prefix in the launcher.
DESTDIR="$scratch/stage" cmake --install "$1" --prefix /opt/cratoria >/dev/null
grep -qF "datadir='/opt/cratoria/share/cratoria'" "$scratch/stage/opt/cratoria/bin/cratoria" ||
    fail "the staged launcher does not name the final prefix"

printf '#!/bin/sh\n{ echo "$(pwd) $*"; ls levels; cat gfx/vera.ttf >/dev/null && echo fonts; } >"$REPORT"
echo start >>scores.xml\nexit "${STATUS:-0}"\n' >"$scratch/stand-in"
chmod 755 "$scratch/stand-in"
export CRATORIA_BINARY="$scratch/stand-in" REPORT="$scratch/report"
unset XDG_DATA_HOME
home="$scratch/home"
user="$home/.local/share/cratoria"
mkdir "$home"

# launch EXPECTED-STATUS ARGS...: the launcher with that HOME.
launch() {
    local expected=$1
    shift
    rm -f "$REPORT"
    HOME=$home "$prefix/bin/cratoria" "$@" >"$scratch/out" 2>"$scratch/err" && status=0 || status=$?
    [ "$status" -eq "$expected" ] || fail "status $status, not $expected: $(cat "$scratch/err")"
}
# expect_report LINE...: the game ran and reported each line.
expect_report() {
    for line in "$@"; do grep -qxF "$line" "$REPORT" 2>/dev/null || fail "the game did not report '$line'"; done
}

STATUS=11 launch 11 --anything
expect_report "$user --anything" default fonts
[ "$(cat "$user/scores.xml")" = start ] || fail "scores.xml not written in $user"

# Between two starts the player adds files and links of their own, one under
# an installed name; an upgrade adds a collection and drops another; the
# prefix moved.
printf 'mine' >"$user/levels/classic"
ln -s /nonexistent/drive "$user/levels/on a drive"
cp "$data/levels/default" "$data/levels/classic"
cp "$data/levels/default" "$data/levels/new arrival"
ln -s "$data/levels/dropped" "$user/levels/dropped"
ln -sfn "$scratch/old prefix/gfx" "$user/gfx"
launch 0
expect_report "$user " classic "new arrival" fonts
[ "$(cat "$user/levels/classic")" = mine ] || fail "the player's own file was replaced"
[ -L "$user/levels/on a drive" ] || fail "the player's own link was removed"
[ ! -L "$user/levels/dropped" ] || fail "the link to a dropped collection stayed"
[ "$(cat "$user/scores.xml")" = "$(printf 'start\nstart')" ] || fail "scores.xml was replaced between starts"

XDG_DATA_HOME="$scratch/data home" launch 0
expect_report "$scratch/data home/cratoria "
XDG_DATA_HOME=relative launch 0
expect_report "$user "

launch 0 --help
grep -q '^usage: cratoria$' "$scratch/out" && [ ! -e "$REPORT" ] || fail "--help did not show the usage"
launch 0 --import --force --help
grep -q '^usage: cratoria$' "$scratch/out" || fail "--import --help did not show the player's usage"
"$prefix/bin/cratoria" --version | grep -qx 'cratoria [0-9][0-9.]*' || fail "--version did not show the version"
home="" launch 73
printf 'x' >"$scratch/file"
home="$scratch/file" launch 73
CRATORIA_BINARY="$scratch/missing" launch 72
[ ! -e "$REPORT" ] || fail "the game was started after a refusal"

finish
