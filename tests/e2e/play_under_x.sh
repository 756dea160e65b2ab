#!/usr/bin/env bash
# A player's session under a real X server: the title menu, the chooser,
# the help screen and play, each left idle to see that it sleeps; two levels solved
# with key presses (a push undone and pushed again, and a key held), a window
# resize in the menu and in play, Q in play, and scores.xml checked byte for
# byte, also while the game still runs. SIGTERM or SIGINT ends the game in
# order from play, the chooser and the help screen, which all but play
# would not leave for the window's close button.
set -u
for tool in Xvfb xdotool xwininfo; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done
. "$(dirname "$0")/common.sh" "$1" "$2"
unset SDL_VIDEODRIVER
# In a sanitizer build, what Xlib keeps until exit is not the game's leak.
echo 'leak:libX11.so' >"$work/x11.supp"
export LSAN_OPTIONS="suppressions=$work/x11.supp:print_suppressions=0${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
xvfb_pid=
gpid=
cleanup_extra='[ -n "$gpid" ] && kill -KILL $gpid 2>/dev/null; [ -n "$xvfb_pid" ] && kill $xvfb_pid 2>/dev/null'
die() { fail "$*"; finish; }
. "$source_dir/.ci/lib/xvfb.sh"

# Without a window manager keys go to the window under the pointer.
start_game() {
    "$game" >"$work/out" 2>"$work/err" </dev/null &
    gpid=$!
    window=$(timeout 30 xdotool search --sync --name '^Cratoria$' | head -n 1)
    [ -n "$window" ] || die "no window appeared on $DISPLAY: $(cat "$work/out" "$work/err")"
    xdotool mousemove 400 300
    sleep 1.5
}

press() {
    for key in "$@"; do
        xdotool key "$key"
        sleep 0.4
    done
}

# idle NAME: over two idle seconds the game's main thread wakes a few times
# at most, where a polling loop would wake two hundred times.
idle() {
    local status=/proc/$gpid/task/$gpid/status before after
    before=$(awk '/^voluntary_ctxt_switches/ {print $2}' "$status")
    sleep 2
    after=$(awk '/^voluntary_ctxt_switches/ {print $2}' "$status")
    [ $((after - before)) -le 6 ] || fail "$1: $((after - before)) wake-ups in 2 s while idle"
}

# expect_exit NAME STATUS: the game ends by itself with that status.
expect_exit() {
    for _ in $(seq 100); do
        kill -0 "$gpid" 2>/dev/null || break
        sleep 0.1
    done
    kill -KILL "$gpid" 2>/dev/null && fail "$1: the game did not end"
    wait "$gpid"
    local status=$?
    gpid=
    [ "$status" -eq "$2" ] || fail "$1: status $status, expected $2"
}

start_xvfb
fresh_dir
start_game
idle "the menu"
xdotool windowsize "$window" 700 500
sleep 1
press Down Return
idle "the chooser"
press Escape Down Return
idle "the help screen"
press Escape Up Up
xdotool windowsize "$window" 800 600
sleep 1
press Return Down Up Right BackSpace Right Right
# A new best is on disk as soon as the level is solved.
expect_same "first level solved (scores.xml during play)" scores.xml "$fixtures/scores_first.xml"

xdotool windowsize "$window" 640 480
sleep 1.5
xwininfo -id "$window" | grep -q 'Width: 640' || fail "the window is not 640 pixels wide after the resize"
press Right Right
idle "play"
# Q leaves the third level for the menu, where Return starts the first level
# again. Right held solves it in fewer moves and walks on into the second
# level, the key repeat waking the game for every step after the first;
# however far it gets there, the records stay those of the first session
# but one. SIGTERM then ends the game.
press q Return
xdotool keydown Right
sleep 0.7
xdotool keyup Right
sleep 0.4
kill -TERM "$gpid"
expect_exit "SIGTERM in play" 0
expect_same "ended in play (scores.xml)" scores.xml "$fixtures/scores_played.xml"
expect_file "the session (standard error)" "$work/err" ""

fresh_dir
cp "$fixtures/scores.xml" .
start_game
press Down Return
kill -TERM "$gpid"
expect_exit "SIGTERM in the chooser" 0
expect_same "ended in the chooser (scores.xml)" scores.xml "$fixtures/scores_written.xml"

fresh_dir
start_game
press Down Down Return
kill -INT "$gpid"
expect_exit "SIGINT in the help screen" 0
expect_file "ended in the help screen (scores.xml)" scores.xml $'<?xml version="1.0" encoding="UTF-8" ?>\n'

finish
