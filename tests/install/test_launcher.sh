#!/usr/bin/env bash
# The installed tree and its launcher: the programs and data in place, the
# player's folder on first and later starts, and the refusals, the import's
# included. A stand-in takes the game's place and reports where it ran and
# what it found there.
# usage: test_launcher.sh BUILD_DIR
. "$(dirname "$0")/common.sh"
stage_install "$1"
data="$stage$datadir"
for f in "$privatedir/cratoria" "$privatedir/cratoria-import" "$mandir/man6/cratoria.6" "$sharedir/applications/io.github.cratoria.Cratoria.desktop" \
    "$sharedir/icons/hicolor/48x48/apps/cratoria.png" "$docdir/gfx/vera-COPYRIGHT.txt" \
    "$docdir/gfx/base02-LICENSE.txt" "$datadir/gfx/base02.ttf" "$datadir/gfx/skin12.bmp" "$datadir/levels/default"; do
    [ -f "$stage$f" ] || fail "missing $f"
done
[ ! -e "$data/levels/solutions" ] || fail "the level solutions were installed"
# The launcher and the man page name the folders the game is installed to.
grep -qF "datadir=\$stage'$datadir'" "$launcher" || fail "the launcher does not name $datadir"
grep -qxF ".I $datadir/" "$stage$mandir/man6/cratoria.6" || fail "the man page does not name $datadir"

printf '#!/bin/sh\n{ echo "$(pwd) $*"; ls levels; cat gfx/vera.ttf >/dev/null && echo fonts; } >"$REPORT"
echo start >>scores.xml\nexit "${STATUS:-0}"\n' >"$scratch/stand-in"
cp "$scratch/stand-in" "$stage$privatedir/cratoria"
export REPORT="$scratch/report"
unset XDG_DATA_HOME
home="$scratch/home"
user="$home/.local/share/cratoria"
mkdir "$home"

# launch EXPECTED-STATUS ARGS...: the launcher with that HOME.
launch() {
    local expected=$1
    shift
    rm -f "$REPORT"
    HOME=$home "$launcher" "$@" >"$scratch/out" 2>"$scratch/err" && status=0 || status=$?
    [ "$status" -eq "$expected" ] || fail "status $status, not $expected: $(cat "$scratch/err")"
}
# expect_report LINE...: the game ran and reported each line.
expect_report() {
    for line in "$@"; do grep -qxF "$line" "$REPORT" 2>/dev/null || fail "the game did not report '$line'"; done
}

STATUS=11 launch 11
expect_report "$user " default fonts
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
"$launcher" --version | grep -qx 'cratoria [0-9][0-9.]*' || fail "--version did not show the version"
# Only the options above are the launcher's; the game takes none.
for wrong in -h -v --frobnicate "--name x" "--help extra" level.xsb; do
    launch 64 $wrong
    grep -q '^usage: cratoria$' "$scratch/err" && [ ! -s "$scratch/out" ] || fail "'$wrong' did not show the usage"
done
# The player typed cratoria --import: the messages say so, and name neither
# the program behind it nor the folder option the launcher gives it.
for wrong in "" --bogus "--name x a.txt b.txt"; do
    launch 64 --import $wrong
    grep -q '^cratoria --import: ' "$scratch/err" && ! grep -qe '--to\|cratoria-import' "$scratch/err" ||
        fail "--import $wrong said: $(cat "$scratch/err")"
done
grep -qx 'cratoria --import: --name names one collection, but 2 files were given' "$scratch/err" ||
    fail "--name with two files was not named as such"
[ ! -e "$REPORT" ] || fail "the game was started after a wrong option"
home="" launch 73
printf 'x' >"$scratch/file"
home="$scratch/file" launch 73
rm "$stage$privatedir/cratoria"
launch 72
[ ! -e "$REPORT" ] || fail "the game was started after a refusal"

finish
