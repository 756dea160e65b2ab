#!/usr/bin/env bash
# Measures the real program under Xvfb (1024 x 768 x 24) and prints one
# table: start-up to the first menu frame, the CPU and the main thread's
# wake-ups while idle on each screen, peak resident memory, and the delay
# from a key press to the frame that answers it. Each figure is taken RUNS
# times (3 by default); the table gives every run and the median.
#
#   bench/measure.sh                 measures build-dev/cratoria
#   CRATORIA=build-x/cratoria RUNS=1 IDLE_SECONDS=5 STEPS=10 bench/measure.sh
#
# Frames are timed by bench/frame_probe, an X client that the server's
# DAMAGE extension wakes whenever the window's pixels change; see
# BENCHMARKS.md for the method.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

program=$(realpath "${CRATORIA:-build-dev/cratoria}")
probe=$(realpath "${PROBE:-build-dev/bench/frame_probe}")
runs=${RUNS:-3}
idle_seconds=${IDLE_SECONDS:-10}
steps=${STEPS:-40}
# Time for the program to settle after a screen change, before measuring.
settle=1

for tool in "$program" "$probe"; do
    [ -x "$tool" ] || { echo "measure.sh: $tool is missing; build it first (./build.sh build)" >&2; exit 2; }
done

scratch=$(mktemp -d /tmp/cratoria-measure-XXXXXX)
xvfb_pid=""
game_pid=""
cleanup() {
    [ -n "$game_pid" ] && kill "$game_pid" 2>/dev/null || true
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
    rm -rf "$scratch"
}
trap cleanup EXIT

# The server picks a free display itself, so that other X servers on the
# machine are left alone, and never resets between clients, as a desktop's
# server does not.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$scratch/display" >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do
    [ -s "$scratch/display" ] && break
    sleep 0.05
done
[ -s "$scratch/display" ] || { echo "measure.sh: Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$(head -n1 "$scratch/display")"

# Working directories: the shipped data; 80 collections of 1,000 levels;
# and one board that fills an 800 x 600 window with 50-pixel tiles, on
# which the keeper can always step right and back.
for dir in shipped large board; do
    mkdir -p "$scratch/$dir/levels"
    ln -s "$root/gfx" "$scratch/$dir/gfx"
done
cp "$root"/levels/* "$scratch/shipped/levels/" 2>/dev/null || true
for set in $(seq 80); do
    awk 'BEGIN { for (i = 1; i <= 1000; ++i)
        printf ";%d\n'\''Level %d\n  #######\n###  .  #\n# @ $ # #\n#     . #\n#### $  #\n   ######\n\n", i, i }' \
        >"$scratch/large/levels/set$set"
done
awk 'BEGIN { print ";1\n\n################"; print "#@            $.#"
    for (i = 0; i < 7; ++i) print "#              #"; print "################" }' >"$scratch/board/levels/default"

# CPU time of every thread of the process, in nanoseconds.
cpu_ns() {
    cat /proc/"$1"/task/*/schedstat 2>/dev/null | awk '{ s += $1 } END { printf "%d", s }'
}

# Times the main thread went to sleep and was woken again.
wakeups() {
    awk '/^voluntary_ctxt_switches:/ { print $2 }' /proc/"$1"/task/"$1"/status
}

# idle NAME: the per cent of a core the process uses while idle, and the
# main thread's wake-ups a second, as the results NAME_cpu and NAME_wake.
idle() {
    local cpu_before cpu_after wake_before wake_after
    sleep "$settle"
    cpu_before=$(cpu_ns "$game_pid")
    wake_before=$(wakeups "$game_pid")
    sleep "$idle_seconds"
    cpu_after=$(cpu_ns "$game_pid")
    wake_after=$(wakeups "$game_pid")
    result[$1_cpu,$run]=$(awk -v a="$cpu_before" -v b="$cpu_after" -v s="$idle_seconds" 'BEGIN { printf "%.2f", (b - a) / s / 1e7 }')
    result[$1_wake,$run]=$(awk -v a="$wake_before" -v b="$wake_after" -v s="$idle_seconds" 'BEGIN { printf "%.1f", (b - a) / s }')
}

peak_mib() {
    awk '/^VmHWM:/ { printf "%.1f", $2 / 1024 }' /proc/"$game_pid"/status
}

# launch DIR NAME: starts the program in a working directory and keeps the
# time of its first menu frame as the result NAME.
launch() {
    local line
    line=$(cd "$scratch/$1" && "$probe" launch "$scratch/$1.log" "$program")
    game_pid=$(awk '{ print $2 }' <<<"$line")
    result[$2,$run]=$(awk '{ print $4 }' <<<"$line")
}

# key_to_frame NAME KEY KEY: the median and slowest delays of STEPS presses.
key_to_frame() {
    local line
    sleep "$settle"
    line=$("$probe" steps "$steps" "$2" "$3")
    result[$1,$run]=$(awk '{ print $4 }' <<<"$line")
    result[$1_max,$run]=$(awk '{ print $6 }' <<<"$line")
}

quit_game() {
    "$probe" key "$@"
    for _ in $(seq 100); do
        [ -d /proc/"$game_pid" ] || { game_pid=""; return 0; }
        sleep 0.05
    done
    echo "measure.sh: the program did not quit" >&2
    exit 1
}

declare -A result
names=(menu menu_large menu_cpu menu_wake chooser_cpu chooser_wake help_cpu help_wake play_cpu play_wake
    peak peak_large step step_max menu_key menu_key_max)
for run in $(seq "$runs"); do
    launch shipped menu
    idle menu
    "$probe" key Down Return
    idle chooser
    "$probe" key Escape Down Return
    idle help
    "$probe" key Escape Up Up Return
    idle play
    "$probe" key q
    sleep "$settle"
    result[peak,$run]=$(peak_mib)
    key_to_frame menu_key Down Up
    quit_game q

    launch large menu_large
    sleep "$settle"
    result[peak_large,$run]=$(peak_mib)
    quit_game q

    launch board board
    "$probe" key Return
    key_to_frame step Right Left
    quit_game q q
done

median() {
    tr ' ' '\n' <<<"$*" | sed '/^$/d' | sort -g | awk '{ v[NR] = $1 } END { if (NR % 2) print v[(NR + 1) / 2]; else printf "%.2f\n", (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

label() {
    case $1 in
        menu) echo "first menu frame, ms after exec (shipped data)|< 100" ;;
        menu_large) echo "first menu frame, ms after exec (80 x 1,000 levels)|< 500" ;;
        menu_cpu) echo "idle CPU in the title menu, % of a core|0.0" ;;
        chooser_cpu) echo "idle CPU in the chooser, % of a core|" ;;
        help_cpu) echo "idle CPU on the help screen, % of a core|" ;;
        play_cpu) echo "idle CPU in play, % of a core|0.0" ;;
        menu_wake|chooser_wake|help_wake|play_wake) echo "  main thread's wake-ups a second|<= 1" ;;
        peak) echo "peak resident memory, MiB (shipped data)|< 30" ;;
        peak_large) echo "peak resident memory, MiB (80 x 1,000 levels)|" ;;
        step) echo "key press to step frame in play, ms (median of $steps)|< 25" ;;
        menu_key) echo "key press to menu frame, ms (median of $steps)|" ;;
        step_max|menu_key_max) echo "  the slowest of them, ms|" ;;
    esac
}

echo "$(basename "$program") under Xvfb 1024x768x24, $(nproc) cores, load average $(cut -d' ' -f1-3 /proc/loadavg)"
header=$(printf '%-54s' "measure")
for run in $(seq "$runs"); do header+=$(printf '%9s' "run $run"); done
echo "$header$(printf '%9s  %s' median target)"
for name in "${names[@]}"; do
    row=$(printf '%-54s' "$(label "$name" | cut -d'|' -f1)")
    values=()
    for run in $(seq "$runs"); do
        values+=("${result[$name,$run]}")
        row+=$(printf '%9s' "${result[$name,$run]}")
    done
    echo "$row$(printf '%9s  %s' "$(median "${values[@]}")" "$(label "$name" | cut -d'|' -f2)")"
done
