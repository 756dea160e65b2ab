#!/usr/bin/env bash
# The whole game on the dummy video driver against missing and damaged
# files: every exit status that can be caused from outside, with its exact
# messages on the right streams, and damage it survives to quit in order.
set -u
. "$(dirname "$0")/common.sh" "$1" "$2"
export SDL_VIDEODRIVER=dummy

# play TIMEOUT-OPTIONS: runs the game in the current directory under timeout,
# with its standard input closed, as some launchers start it: the first file
# it opens then gets descriptor 0.
play() {
    timeout "$@" "$game" >"$work/out" 2>"$work/err" <&-
    status=$?
}
# A start that fails ends by itself; a game that hangs instead is killed.
fails="-s KILL 20"
# A game still running after two seconds waits in its menu, and SIGTERM
# ends it in order.
quits="--preserve-status -k 30 2"

# expect NAME STATUS STDOUT [STDERR]: the last run, exactly.
expect() {
    [ "$status" -eq "$2" ] || fail "$1: status $status, expected $2"
    expect_file "$1 (standard output)" "$work/out" "$3"
    [ $# -lt 4 ] || expect_file "$1 (standard error)" "$work/err" "$4"
}

fresh_dir
rm -r levels
cp "$fixtures/scores.xml" .
play $fails
expect "no levels directory" 11 $'Error on game initialization: -11\n' $'Error: no level collections found\n'
cmp -s scores.xml "$fixtures/scores.xml" || fail "no levels directory: scores.xml was changed"

# A failed start leaves the records alone: the store it would save is empty.
fresh_dir
printf ';1\n\n#####\n#@$ #\n#####\n' >levels/default
cp "$fixtures/scores.xml" .
play $fails
expect "only a broken collection" 11 $'Error on game initialization: -11\n' \
    $'TLevelCollection.import: default: level 1: number of targets does not match number of boxes\nError: no level collections found\n'
code=-21
for size in 50 40 30 20 12; do
    fresh_dir
    rm "gfx/skin$size.bmp"
    cp "$fixtures/scores.xml" .
    play $fails
    expect "gfx/skin$size.bmp missing" 11 "Error on game initialization: $code"$'\n' \
        "load_image: error opening gfx/skin$size.bmp"$'\n'
    cmp -s scores.xml "$fixtures/scores.xml" || fail "gfx/skin$size.bmp missing: scores.xml was changed"
    code=$((code - 1))
done

fresh_dir
rm gfx/base02.ttf
play $fails
expect "gfx/base02.ttf missing" 31 "" $'Error: could not load base02.ttf\n'

# Opening a fifo would wait for a writer that never comes.
fresh_dir
rm gfx/vera.ttf
mkfifo gfx/vera.ttf
play $fails
expect "gfx/vera.ttf a fifo" 32 "" $'Error: could not load vera.ttf\n'

SDL_VIDEODRIVER=no-such-driver play $fails
expect "no video driver" 1 $'SDL Error: No available video device\n' ""

# Damage the game survives, reporting only what it cannot use: a font
# missing its end (FreeType opens it, reading only the tables it needs), an
# empty background, a skin too small for its tiles (what is missing stays
# blank), level entries that are not regular files or not text, the
# leftover of a save killed last time, and a scores.xml nested too deep to
# read, which is kept as the backup when the new one is written.
fresh_dir
head -c -5000 "$source_dir/gfx/base02.ttf" >gfx/base02.ttf
: >gfx/back.bmp
cp gfx/skin12.bmp gfx/skin50.bmp
mkfifo levels/a-fifo
ln -s nowhere levels/b-dangling
mkdir levels/c-directory
{ printf ';1\n\n'; head -c 200000 gfx/skin40.bmp; } >levels/d-binary
printf '<Collection name="x">%.0s' $(seq 20000) >scores.xml
echo "half a save" >scores.xml.tmp
play $quits
expect "damaged files" 0 ""
grep -q '^TLevelCollection.import: d-binary: ' "$work/err" || fail "damaged files: no message for the binary level file"
grep -v '^TLevelCollection.import: d-binary: ' "$work/err" >"$work/others"
expect_file "damaged files (other messages)" "$work/others" \
    $'load_image: error opening gfx/back.bmp\n'"Note: the unreadable scores.xml is kept as $(pwd -P)/scores.xml.bak"$'\n'
[ ! -e scores.xml.tmp ] || fail "damaged files: the leftover of a save is still there"
printf '<Collection name="x">%.0s' $(seq 20000) | cmp -s - scores.xml.bak || fail "damaged files: no backup of the deep scores.xml"
expect_file "damaged files (scores.xml)" scores.xml $'<?xml version="1.0" encoding="UTF-8" ?>\n'

# Without a display SDL would draw in the terminal, which the game refuses;
# a framebuffer that cannot be opened is no way out either.
unset SDL_VIDEODRIVER
export SDL_FBDEV=/nonexistent
DISPLAY=:99999 play $fails
expect "a display that does not exist" 1 $'SDL Error: no graphical display (DISPLAY: :99999)\n' ""
unset DISPLAY
play $fails
expect "no display" 1 $'SDL Error: no graphical display (DISPLAY: not set)\n' ""

finish
