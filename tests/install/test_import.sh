#!/usr/bin/env bash
# cratoria --import on an installed game, then the imported collection picked
# in the chooser and solved under a real X server: the player's scores.xml
# records it.
# usage: test_import.sh BUILD_DIR SOURCE_DIR
for tool in Xvfb xdotool; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done
. "$(dirname "$0")/common.sh"
stage_install "$1"
export HOME="$scratch/home" XDG_DATA_HOME="$scratch/data"
mkdir "$HOME"

# A capital letter sorts the collection first in the chooser.
printf 'Title: One Push\n#####\n#@$.#\n#####\n' >"$scratch/A Push.txt"
"$launcher" --import "$scratch/A Push.txt" >/dev/null || fail "cratoria --import failed"

work=$scratch
die() { fail "$*"; finish; }
. "$2/.ci/lib/xvfb.sh"
start_xvfb
"$launcher" >"$scratch/game.log" 2>&1 &
game=$!
trap '{ kill -KILL $game $xvfb_pid; wait; } 2>/dev/null; rm -rf "$scratch"' EXIT
timeout 30 xdotool search --sync --name '^Cratoria$' >/dev/null || die "no window: $(cat "$scratch/game.log")"
# Without a window manager keys go to the window under the pointer.
xdotool mousemove 400 300
sleep 1.5
# Level Set, the first name in the chooser, Start Game, one push; Q back to
# the menu and Q to quit.
for key in Down Return Return Up Return Right q q; do
    xdotool key "$key"
    sleep 0.4
done
for _ in $(seq 50); do kill -0 $game 2>/dev/null && sleep 0.2; done
kill -0 $game 2>/dev/null && die "the game did not quit"
wait $game || fail "the game ended with status $?"
scores=$(cat "$XDG_DATA_HOME/cratoria/scores.xml")
[ "$scores" = '<?xml version="1.0" encoding="UTF-8" ?>
<Collection name="A Push">
    <Level nr="1" moves="1" pushes="1" />
</Collection>' ] || fail "scores.xml does not record the imported collection: $scores"
finish
