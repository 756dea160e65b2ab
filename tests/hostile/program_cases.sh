#!/usr/bin/env bash
# Runs the game against one kind of damaged resource in a scratch copy of
# gfx/ and levels/, and checks that it ends the way it should: a fatal font
# with its status and message, anything else with an orderly start and an
# orderly quit at SIGTERM (which SDL turns into a quit event).
#   program_cases.sh GAME SOURCE_DIR CASE
set -euo pipefail
game=$1
source_dir=$2
case=$3

work=$(mktemp -d "${TMPDIR:-/tmp}/cratoria-program.XXXXXX")
pid=""
status=""
cleanup() {
    [ -n "$pid" ] && kill -KILL "$pid" 2>/dev/null || true
    chmod -R u+rwX "$work" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
fail() {
    echo "hostile.program.$case: $*" >&2
    echo "-- standard output:" >&2; cat "$work/out" >&2 || true
    echo "-- standard error:" >&2; cat "$work/err" >&2 || true
    exit 1
}

cp -r "$source_dir/gfx" "$source_dir/levels" "$work/"
cd "$work"

start() {
    "$game" >"$work/out" 2>"$work/err" &
    pid=$!
}

# Waits for the process to end by itself and sets status to its exit status.
wait_end() {
    local limit=$1 waited=0
    while running; do
        [ "$waited" -ge "$((limit * 10))" ] && fail "still running after ${limit}s"
        sleep 0.1
        waited=$((waited + 1))
    done
    status=0
    wait "$pid" || status=$?
    pid=""
}

running() {
    kill -0 "$pid" 2>/dev/null && [ "$(awk '{print $3}' "/proc/$pid/stat" 2>/dev/null)" != Z ]
}

cpu_ticks() {
    awk '{print $14 + $15}' "/proc/$1/stat" 2>/dev/null || echo gone
}

# The menu blocks for events, so a game that has started uses next to no
# CPU time (SDL polls its queue a hundred times a second); two seconds of
# that mean it waits in the menu, or hangs.
wait_idle() {
    local limit=$1 waited=0 quiet=0 last now
    last=$(cpu_ticks "$pid")
    while [ "$quiet" -lt 2 ]; do
        [ "$waited" -ge "$limit" ] && fail "never settled within ${limit}s"
        sleep 1
        waited=$((waited + 1))
        running || return 0
        now=$(cpu_ticks "$pid")
        if [ "$((now - last))" -le 2 ]; then quiet=$((quiet + 1)); else quiet=0; fi
        last=$now
    done
}

# Starts the game, lets it reach the menu and quits it; it must end with 0.
start_and_quit() {
    start
    wait_idle 60
    kill -TERM "$pid" 2>/dev/null || true
    wait_end 30
    [ "$status" = 0 ] || fail "exit status $status instead of 0"
}

expect_fatal() {
    local want_status=$1 want_message=$2
    start
    wait_end 30
    [ "$status" = "$want_status" ] || fail "exit status $status instead of $want_status"
    [ "$(cat "$work/err")" = "$want_message" ] || fail "standard error is not just: $want_message"
}

case "$case" in
empty_big_font)
    : >gfx/base02.ttf
    expect_fatal 31 "Error: could not load base02.ttf"
    ;;
cut_fonts)
    # FreeType needs only some of a font's tables, so a font cut late may
    # still open; then the game must start and draw with it.
    for font in base02.ttf:31 vera.ttf:32; do
        name=${font%:*}
        want=${font#*:}
        size=$(stat -c %s "$source_dir/gfx/$name")
        for cut in 12 2000 $((size / 2)) $((size - 5000)) $((size - 64)); do
            head -c "$cut" "$source_dir/gfx/$name" >"gfx/$name"
            start
            wait_idle 60
            if running; then
                kill -TERM "$pid"
                wait_end 30
                [ "$status" = 0 ] || fail "$name cut at $cut: exit status $status after a start"
            else
                wait_end 1
                [ "$status" = "$want" ] || fail "$name cut at $cut: exit status $status instead of $want"
                [ "$(cat err)" = "Error: could not load $name" ] || fail "$name cut at $cut: wrong message"
            fi
        done
        cp "$source_dir/gfx/$name" "gfx/$name"
    done
    ;;
empty_background)
    : >gfx/back.bmp
    start_and_quit
    grep -qxF "load_image: error opening gfx/back.bmp" err || fail "no message for the empty background"
    [ -f scores.xml ] || fail "no scores.xml after an orderly quit"
    ;;
tiny_skin)
    # Tiles of 50 pixels cut from a picture of 72 x 24: most of each tile
    # lies outside it and stays as the new surface was.
    cp gfx/skin12.bmp gfx/skin50.bmp
    start_and_quit
    [ ! -s err ] || fail "messages for a small but valid skin"
    ;;
odd_level_entries)
    mkfifo levels/a-fifo
    ln -s nowhere levels/b-dangling
    mkdir levels/c-directory
    cp levels/default levels/d-locked
    chmod 000 levels/d-locked
    { printf ";1\n\n"; head -c 200000 gfx/skin50.bmp; } >levels/e-binary
    start_and_quit
    ! grep -q -e a-fifo -e b-dangling -e c-directory err || fail "a non-regular entry was opened"
    grep -q "TLevelCollection.import: e-binary: " err || fail "no message for the binary level file"
    ;;
scores_directory)
    mkdir scores.xml
    echo mine >scores.xml/keep
    start_and_quit
    [ "$(cat scores.xml/keep)" = mine ] || fail "the directory in place of scores.xml was touched"
    ;;
leftover_and_hostile_scores)
    # A save killed last time left its temporary file; this scores.xml is
    # nested too deep to be parsed and must survive as the backup.
    printf '<Collection name="x">%.0s' $(seq 20000) >scores.xml
    cp scores.xml expected.bak
    echo "half a save" >scores.xml.tmp
    start_and_quit
    [ ! -e scores.xml.tmp ] || fail "the leftover temporary file is still there"
    cmp -s scores.xml.bak expected.bak || fail "the unparseable scores.xml was not kept as scores.xml.bak"
    grep -qF '<?xml version="1.0" encoding="UTF-8" ?>' scores.xml || fail "no new scores.xml"
    ;;
*)
    fail "unknown case"
    ;;
esac
echo "hostile.program.$case: passed"
