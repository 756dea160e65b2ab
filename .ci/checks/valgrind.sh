#!/usr/bin/env bash
# A leak check of one whole session under valgrind's memcheck: the game starts
# on a virtual display, a level is played and solved with key presses, the
# chooser and the help screen are opened and left, and Q quits. Any memory
# error, and any definite or indirect leak not suppressed as the libraries'
# own, fails.
#   BUILD_DIR   the build whose cratoria is checked (default build)
set -euo pipefail
repo=$(cd "$(dirname "$0")/../.." && pwd)
cd "$repo"
deps/install.sh deps/build.txt .ci/deps/valgrind.txt
build_dir=${BUILD_DIR:-build}

if [ ! -f "$build_dir/CMakeCache.txt" ]; then
    cmake -S . -B "$build_dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
cmake --build "$build_dir" -j "$(nproc)" --target cratoria >/dev/null
game=$repo/$build_dir/cratoria

work=$(mktemp -d "${TMPDIR:-/tmp}/cratoria-valgrind.XXXXXX")
xvfb_pid=""
game_pid=""
cleanup() {
    [ -n "$game_pid" ] && kill -KILL "$game_pid" 2>/dev/null || true
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
die() {
    echo "valgrind check: $*" >&2
    [ -f "$work/valgrind.log" ] && tail -n 80 "$work/valgrind.log" >&2
    exit 1
}

# -displayfd picks a free display, so no other X server is disturbed.
. "$repo/.ci/lib/xvfb.sh"
start_xvfb
unset SDL_VIDEODRIVER

mkdir "$work/run"
cp -r gfx "$work/run/gfx"
cp -r tests/data/e2e/levels "$work/run/levels"
cd "$work/run"

valgrind --tool=memcheck --leak-check=full --show-leak-kinds=definite,indirect \
    --errors-for-leak-kinds=definite,indirect --error-exitcode=99 --num-callers=40 \
    --suppressions="$repo/.ci/valgrind.supp" --gen-suppressions=all \
    --log-file="$work/valgrind.log" "$game" >"$work/out" 2>"$work/err" </dev/null &
game_pid=$!

window=$(timeout 120 xdotool search --sync --name '^Cratoria$' | head -n 1) || die "no window within 120 s"

# The menu blocks for events, so a game that is ready uses next to no CPU
# time; under valgrind loading takes a while.
cpu_ticks() { awk '{print $14 + $15}' "/proc/$game_pid/stat"; }
settle() {
    local quiet=0 last now
    last=$(cpu_ticks)
    for _ in $(seq 120); do
        sleep 1
        now=$(cpu_ticks) || die "the game ended early"
        if [ "$((now - last))" -le 5 ]; then quiet=$((quiet + 1)); else quiet=0; fi
        [ "$quiet" -ge 2 ] && return 0
        last=$now
    done
    die "the game never settled"
}
# Without a window manager keys go to the window under the pointer.
press() {
    xdotool mousemove --window "$window" 200 200
    xdotool key "$1"
}

settle
# Start Game; the first fixture level is solved by two pushes to the right,
# one of them taken back and pushed again; back to the menu, through the
# collection chooser and the help screen, and Quit.
for key in Return Right BackSpace Right Right Down Up q Down Return Down Return Down Return Escape; do
    press "$key"
    settle
done
press q
for _ in $(seq 600); do kill -0 "$game_pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$game_pid" 2>/dev/null && die "the game did not quit"
status=0
wait "$game_pid" || status=$?
game_pid=""

[ "$status" -ne 99 ] || die "memcheck found errors"
[ "$status" -eq 0 ] || die "the game ended with status $status"
grep -q '<Level nr="1"' scores.xml || die "the solved level is not in scores.xml"
grep -E 'ERROR SUMMARY|definitely lost|indirectly lost|suppressed:' "$work/valgrind.log" | sed 's/^==[0-9]*== /   /'
echo "valgrind check passed"
