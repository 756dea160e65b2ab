#!/usr/bin/env bash
# The launcher: the player's directory on first and later starts, and the
# refusals when it cannot be made. A stand-in takes the game's place and
# reports where it ran and what it found there.
# usage: test_launcher.sh BUILD_DIR CASE
. "$(dirname "$0")/common.sh"
build=$1
case_name=$2

prefix="$scratch/pre fix"
install_tree "$build" "$prefix"
launcher="$prefix/bin/cratoria"
data="$prefix/share/cratoria"
report="$scratch/report"

cat >"$scratch/stand-in" <<'STANDIN'
#!/bin/sh
{
    echo "cwd=$(pwd)"
    echo "args=$*"
    for f in levels/*; do
        [ -f "$f" ] && [ -r "$f" ] && echo "collection=${f#levels/}"
    done
    [ -r gfx/vera.ttf ] && echo "fonts=yes"
} >"$STANDIN_REPORT"
echo "start" >>scores.xml
exit "${STANDIN_STATUS:-0}"
STANDIN
chmod 755 "$scratch/stand-in"
export CRATORIA_BINARY="$scratch/stand-in" STANDIN_REPORT="$report"
unset XDG_DATA_HOME

# launch HOME ARGS...: runs the launcher with that HOME, and XDG_DATA_HOME
# only if the caller set it for this call.
launch() {
    local home=$1
    shift
    rm -f "$report"
    set +e
    HOME="$home" "$launcher" "$@" >"$scratch/out" 2>"$scratch/err"
    status=$?
    set -e
}

expect_started_in() {
    [ "$status" -eq 0 ] || fail "status $status, stderr: $(cat "$scratch/err")"
    [ -f "$report" ] || { fail "the game was not started"; return; }
    grep -qxF "cwd=$1" "$report" || fail "game ran in $(grep cwd= "$report"), not $1"
    grep -qx "fonts=yes" "$report" || fail "gfx/ not reachable from the game's directory"
}

expect_collection() {
    grep -qxF "collection=$1" "$report" || fail "collection $1 not offered"
}

# expect_refusal STATUS PATTERN: one line on stderr, the game not started.
expect_refusal() {
    [ "$status" -eq "$1" ] || fail "status $status, expected $1"
    [ "$(wc -l <"$scratch/err")" -eq 1 ] || fail "expected one line on stderr, got: $(cat "$scratch/err")"
    grep -q "^cratoria: $2" "$scratch/err" || fail "unexpected message: $(cat "$scratch/err")"
    [ ! -e "$report" ] || fail "the game was started all the same"
}

# Runs the launcher as an unprivileged user when the test runs as root,
# for whom no permission bit would ever say no.
launch_unprivileged() {
    local home=$1
    rm -f "$report"
    chmod 777 "$scratch"
    set +e
    if [ "$(id -u)" -eq 0 ]; then
        if ! setpriv --reuid=65534 --regid=65534 --clear-groups test -x "$launcher"; then
            echo "SKIP: an unprivileged user cannot reach $launcher"
            set -e
            status=skipped
            return 1
        fi
        HOME="$home" setpriv --reuid=65534 --regid=65534 --clear-groups \
            "$launcher" >"$scratch/out" 2>"$scratch/err"
    else
        HOME="$home" "$launcher" >"$scratch/out" 2>"$scratch/err"
    fi
    status=$?
    set -e
}

case $case_name in
first_start)
    home="$scratch/home of player"
    mkdir "$home"
    launch "$home" --anything
    userdir="$home/.local/share/cratoria"
    expect_started_in "$userdir"
    expect_collection default
    grep -qx "args=--anything" "$report" || fail "arguments not passed on"
    [ -d "$userdir/levels" ] && [ ! -L "$userdir/levels" ] || fail "levels/ is not a real directory"
    [ "$(cat "$userdir/scores.xml")" = start ] || fail "scores.xml not written in $userdir"
    [ -z "$(ls -A "$home" | grep -vx .local)" ] || fail "files left in HOME itself: $(ls -A "$home")"

    STANDIN_STATUS=11 launch "$home"
    [ "$status" -eq 11 ] || fail "the game's exit status $status was not passed on"
    ;;

second_start)
    home="$scratch/home"
    mkdir "$home"
    launch "$home"
    userdir="$home/.local/share/cratoria"
    levels="$userdir/levels"

    # Between two starts the player adds collections of their own, one of
    # them under an installed name, and a link to a missing drive; an
    # upgrade brings a new collection and drops another.
    printf '; 1\n\n#####\n#@$.#\n#####\n' >"$levels/my own"
    printf 'mine\n' >"$levels/classic"
    ln -s /nonexistent/drive/collection "$levels/on a drive"
    printf '; 1\n\n#####\n#@$.#\n#####\n' >"$scratch/collection"
    cp "$scratch/collection" "$data/levels/classic"
    cp "$scratch/collection" "$data/levels/new arrival"
    cp "$scratch/collection" "$data/levels/dropped"
    # The prefix moved since the last start.
    rm "$userdir/gfx"
    ln -s "$scratch/old prefix/share/cratoria/gfx" "$userdir/gfx"
    launch "$home"
    [ -L "$levels/dropped" ] || fail "installed collection not linked"
    rm "$data/levels/dropped"
    launch "$home"

    expect_started_in "$userdir"
    expect_collection default
    expect_collection "my own"
    expect_collection "new arrival"
    [ "$(cat "$levels/classic")" = mine ] || fail "the player's own file was overwritten"
    [ -L "$levels/on a drive" ] || fail "the player's own link was removed"
    expect_absent "$levels/dropped"
    [ "$(grep -c start "$userdir/scores.xml")" -eq 3 ] || fail "scores.xml was replaced between starts"

    # A player's own gfx/ directory, a skin of their making, is theirs.
    rm "$userdir/gfx"
    mkdir "$userdir/gfx"
    printf 'own' >"$userdir/gfx/vera.ttf"
    launch "$home"
    [ -d "$userdir/gfx" ] && [ ! -L "$userdir/gfx" ] && [ "$(cat "$userdir/gfx/vera.ttf")" = own ] ||
        fail "the player's own gfx/ was replaced"
    ;;

xdg_data_home)
    home="$scratch/home"
    mkdir "$home"
    XDG_DATA_HOME="$scratch/data home" launch "$home"
    expect_started_in "$scratch/data home/cratoria"
    expect_absent "$home/.local"

    # A relative XDG_DATA_HOME is invalid and falls back to the default.
    cd "$scratch"
    XDG_DATA_HOME=relative launch "$home"
    expect_started_in "$home/.local/share/cratoria"
    expect_absent "$scratch/relative"
    ;;

refusals)
    # HOME without write permission.
    home="$scratch/locked home"
    mkdir "$home"
    chmod 555 "$home"
    launch_unprivileged "$home" &&
        expect_refusal 73 "cannot create .*locked home/.local/share/cratoria/levels: Permission denied"

    # A player directory made earlier that can no longer be written: the
    # scores would be lost at the end of the game.
    home="$scratch/read-only data"
    mkdir -p "$home/.local/share/cratoria/levels"
    chmod 555 "$home/.local/share/cratoria"
    launch_unprivileged "$home" &&
        expect_refusal 73 "cannot write in .*read-only data/.local/share/cratoria"

    # HOME that is a file, not a directory.
    printf 'x' >"$scratch/home file"
    launch "$scratch/home file"
    expect_refusal 73 "cannot create .*home file/.local/share/cratoria/levels: Not a directory"

    # levels/ that is a file.
    home="$scratch/odd home"
    mkdir -p "$home/.local/share/cratoria"
    printf 'x' >"$home/.local/share/cratoria/levels"
    launch "$home"
    expect_refusal 73 "cannot create .*levels: File exists"
    [ "$(cat "$home/.local/share/cratoria/levels")" = x ] || fail "the player's file was changed"

    launch ""
    expect_refusal 73 "neither HOME nor XDG_DATA_HOME is set"

    CRATORIA_BINARY="$scratch/no such program" launch "$scratch/home"
    expect_refusal 72 "the game program .*no such program is missing"
    ;;

*)
    echo "unknown case $case_name" >&2
    exit 2
    ;;
esac

finish
