#!/usr/bin/env bash
# A player's session under a real X server: the title menu, the chooser and
# the help screen, each left idle to see that it sleeps; two levels solved
# with key presses (a push undone and pushed again among them), a window
# resize in the menu and in play, Q and the close button in play, quitting,
# the close button and SIGTERM in the menu, and scores.xml checked byte for
# byte, also while the game still runs.
set -u
for tool in Xvfb xdotool xdpyinfo xwininfo python3; do
    if ! command -v "$tool" >/dev/null; then
        echo "SKIP: $tool is not installed"
        exit 77
    fi
done
here=$(cd "$(dirname "$0")" && pwd)
. "$here/common.sh" "$1" "$2"
unset SDL_VIDEODRIVER
# In a sanitizer build, what Xlib keeps until exit is not the game's leak.
echo 'leak:libX11.so' >"$work/x11.supp"
export LSAN_OPTIONS="suppressions=$work/x11.supp:print_suppressions=0${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
xpid=
gpid=
cleanup_extra='[ -n "$gpid" ] && kill -KILL $gpid 2>/dev/null; [ -n "$xpid" ] && kill $xpid 2>/dev/null'

# The server picks a free display itself and names it once it is ready.
# Without -noreset it would reset when a probe disconnects, and a client
# connecting just then would be turned away.
start_x() {
    exec 3>"$work/display"
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset >/dev/null 2>&1 &
    xpid=$!
    exec 3>&-
    for _ in $(seq 100); do
        [ -s "$work/display" ] && break
        sleep 0.1
    done
    [ -s "$work/display" ] || return 1
    export DISPLAY=":$(cat "$work/display")"
    xdpyinfo >/dev/null 2>&1
}

# Without a window manager keys go to the window under the pointer.
start_game() {
    "$game" >"$work/out" 2>"$work/err" </dev/null &
    gpid=$!
    window=$(timeout 30 xdotool search --sync --name '^Cratoria$' | head -n 1)
    if [ -z "$window" ]; then
        fail "no window appeared on $DISPLAY; the game's output:"
        cat "$work/out" "$work/err"
        finish
    fi
    xdotool mousemove 400 300
    sleep 1.5
}

press() {
    xdotool key "$1"
    sleep 0.4
}

close_window() {
    python3 "$here/close_window.py" "$window"
    sleep 1
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
    if kill -KILL "$gpid" 2>/dev/null; then
        fail "$1: the game did not end"
    fi
    wait "$gpid"
    local status=$?
    gpid=
    [ "$status" -eq "$2" ] || fail "$1: status $status, expected $2"
}

start_x || { fail "Xvfb did not come up"; finish; }

fresh_dir
start_game
idle "the menu"
xdotool windowsize "$window" 700 500
sleep 1
for key in Down Return; do press "$key"; done
idle "the chooser"
for key in Escape Down Return; do press "$key"; done
idle "the help screen"
for key in Escape Up Up; do press "$key"; done
xdotool windowsize "$window" 800 600
sleep 1
press Return
for key in Down Up Right BackSpace Right Right; do
    press "$key"
done
# A new best is on disk as soon as the level is solved.
expect_same "first level solved (scores.xml during play)" scores.xml "$fixtures/scores_first.xml"

xdotool windowsize "$window" 640 480
sleep 1.5
kill -0 "$gpid" 2>/dev/null || fail "the game ended at the resize"
xwininfo -id "$window" | grep -q 'Width: 640' || fail "the window is not 640 pixels wide after the resize"
press Right
press Right

# Q leaves the third level for the menu, where Return starts the first level
# again; it is solved in fewer moves this time, and the close button then
# leaves play from the second level.
press q
kill -0 "$gpid" 2>/dev/null || fail "Q in play ended the game"
press Return
press Right
press Right
close_window
kill -0 "$gpid" 2>/dev/null || fail "closing the window in play ended the game"
for key in Down Down Down Return; do
    press "$key"
done
expect_exit "Quit in the menu" 0
expect_same "after quitting (scores.xml)" scores.xml "$fixtures/scores_played.xml"
expect_file "the session (standard error)" "$work/err" ""

fresh_dir
cp "$fixtures/scores.xml" .
start_game
close_window
expect_exit "closing the window in the menu" 0
expect_same "closed in the menu (scores.xml)" scores.xml "$fixtures/scores_written.xml"

fresh_dir
start_game
kill -TERM "$gpid"
expect_exit "SIGTERM in the menu" 0
[ -f scores.xml ] || fail "SIGTERM in the menu: no scores.xml written"

finish
