#!/usr/bin/env bash
# Every exit status that can be caused from outside, with its exact
# messages on the right streams, on the dummy video driver; and a missing
# background picture that the game survives.
set -u
. "$(dirname "$0")/common.sh" "$1" "$2"
export SDL_VIDEODRIVER=dummy

# run_game NAME STATUS STDOUT STDERR: runs the game once in the current
# directory and checks the status and both streams exactly.
run_game() {
    timeout -s KILL 60 "$game" >"$work/out" 2>"$work/err" </dev/null
    local status=$?
    [ "$status" -eq "$2" ] || fail "$1: status $status, expected $2"
    expect_file "$1 (standard output)" "$work/out" "$3"
    expect_file "$1 (standard error)" "$work/err" "$4"
}

fresh_dir
rm -r levels
cp "$fixtures/scores.xml" .
run_game "no levels directory" 11 $'Error on game initialization: -11\n' $'Error: no level collections found\n'
cmp -s scores.xml "$fixtures/scores.xml" || fail "no levels directory: scores.xml was changed"

fresh_dir
printf ';1\n\n#####\n#@$ #\n#####\n' > levels/default
run_game "only a broken collection" 11 $'Error on game initialization: -11\n' \
    $'TLevelCollection.import: default: level 1: number of targets does not match number of boxes\nError: no level collections found\n'

code=-21
for size in 50 40 30 20 12; do
    fresh_dir
    rm "gfx/skin$size.bmp"
    run_game "gfx/skin$size.bmp missing" 11 "Error on game initialization: $code"$'\n' \
        "load_image: error opening gfx/skin$size.bmp"$'\n'
    code=$((code - 1))
done

fresh_dir
rm gfx/base02.ttf
run_game "gfx/base02.ttf missing" 31 "" $'Error: could not load base02.ttf\n'

fresh_dir
rm gfx/vera.ttf
run_game "gfx/vera.ttf missing" 32 "" $'Error: could not load vera.ttf\n'

fresh_dir
SDL_VIDEODRIVER=no-such-driver timeout -s KILL 60 "$game" >"$work/out" 2>"$work/err" </dev/null
status=$?
[ "$status" -eq 1 ] || fail "no video driver: status $status, expected 1"
grep -qx 'SDL Error: .*' "$work/out" || fail "no video driver: standard output is '$(cat "$work/out")'"

# Without gfx/back.bmp the game starts and waits in the title menu; SIGTERM
# reaches it as a close request, which the menu takes as quit.
fresh_dir
rm gfx/back.bmp
cp "$fixtures/scores.xml" .
"$game" >"$work/out" 2>"$work/err" </dev/null &
pid=$!
sleep 2
kill -0 "$pid" 2>/dev/null || fail "gfx/back.bmp missing: the game did not keep running"
kill -TERM "$pid"
for _ in $(seq 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
kill -KILL "$pid" 2>/dev/null && fail "gfx/back.bmp missing: SIGTERM did not end the game"
wait "$pid"
status=$?
[ "$status" -eq 0 ] || fail "gfx/back.bmp missing: status $status after SIGTERM, expected 0"
expect_file "gfx/back.bmp missing (standard error)" "$work/err" $'load_image: error opening gfx/back.bmp\n'
expect_same "gfx/back.bmp missing (scores.xml)" scores.xml "$fixtures/scores_written.xml"

finish
