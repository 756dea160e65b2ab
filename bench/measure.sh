#!/usr/bin/env bash
# Measures the real program under Xvfb (1024 x 768 x 24) and prints one
# table: start-up to the first menu frame, idle CPU in the menu and in play,
# peak resident memory, and the delay from a key press to the frame that
# shows the step. Each figure is taken RUNS times (3 by default); the table
# gives every run and the median.
#
#   bench/measure.sh                 measures build/cratoria
#   CRATORIA=build-x/cratoria bench/measure.sh
#
# Frames are timed by bench/frame_probe, an X client that the server's
# DAMAGE extension wakes whenever the window's pixels change; see
# BENCHMARKS.md for the method and its resolution.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

program=$(realpath "${CRATORIA:-build/cratoria}")
tools=${BENCH_TOOLS:-$(dirname "$program")/bench}
probe=$(realpath "$tools/frame_probe")
make_fixtures=$(realpath "$tools/make_fixtures")
runs=${RUNS:-3}
idle_seconds=${IDLE_SECONDS:-10}
steps=${STEPS:-40}
# Time for the program to settle after a screen change, before measuring.
settle=1

for tool in "$program" "$probe" "$make_fixtures"; do
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
# machine are left alone. A desktop's server never resets between clients,
# and neither does this one: a reset when the last client leaves would
# delay the next start by the time it takes.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$scratch/display" >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do
    [ -s "$scratch/display" ] && break
    sleep 0.05
done
[ -s "$scratch/display" ] || { echo "measure.sh: Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$(head -n1 "$scratch/display")"
export SDL_AUDIODRIVER=dummy

# Working directories: the shipped data, 80 collections of 1,000 made-up
# levels, and one made-up board that fills an 800 x 600 window with 50-pixel
# tiles, on which the keeper can always step right and back.
make_workdir() {
    mkdir -p "$scratch/$1"
    ln -s "$root/gfx" "$scratch/$1/gfx"
}
make_workdir shipped
ln -s "$root/levels" "$scratch/shipped/levels"
make_workdir large
"$make_fixtures" collections "$scratch/large" 80 1000
make_workdir board
"$make_fixtures" board "$scratch/board" 16 10

# CPU time of every thread of the process, in nanoseconds.
cpu_ns() {
    cat /proc/"$1"/task/*/schedstat 2>/dev/null | awk '{ s += $1 } END { printf "%d", s }'
}

# Milliseconds the process has run, and waited ready to run while other
# programs had the cores: on a busy machine start-up takes their sum.
ran_ms() {
    cat /proc/"$1"/task/*/schedstat 2>/dev/null | awk '{ s += $1 } END { printf "%.1f", s / 1e6 }'
}
waited_ms() {
    cat /proc/"$1"/task/*/schedstat 2>/dev/null | awk '{ s += $2 } END { printf "%.1f", s / 1e6 }'
}

# Times any thread of the process went to sleep and was woken again.
wakeups() {
    cat /proc/"$1"/task/*/status 2>/dev/null | awk '/^voluntary_ctxt_switches:/ { s += $2 } END { printf "%d", s }'
}

# Sets idle_cpu to the per cent of a core the process uses while idle, and
# idle_wakeups to its wake-ups a second.
idle() {
    local cpu_before cpu_after wake_before wake_after
    cpu_before=$(cpu_ns "$1")
    wake_before=$(wakeups "$1")
    sleep "$idle_seconds"
    cpu_after=$(cpu_ns "$1")
    wake_after=$(wakeups "$1")
    idle_cpu=$(awk -v a="$cpu_before" -v b="$cpu_after" -v s="$idle_seconds" 'BEGIN { printf "%.2f", (b - a) / s / 1e7 }')
    idle_wakeups=$(awk -v a="$wake_before" -v b="$wake_after" -v s="$idle_seconds" 'BEGIN { printf "%.0f", (b - a) / s }')
}

peak_mib() {
    awk '/^VmHWM:/ { printf "%.1f", $2 / 1024 }' /proc/"$1"/status
}

# Starts the program in a working directory; sets game_pid, and line to the
# probe's report.
launch() {
    line=$(cd "$scratch/$1" && "$probe" launch "$scratch/$1.log" "$program")
    game_pid=$(awk '{ print $2 }' <<<"$line")
}

field() {
    awk -v name="$2" '{ for (i = 1; i < NF; ++i) if ($i == name) { print $(i + 1); exit } }' <<<"$1"
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
names=(mapped first_frame menu menu_cpu menu_wait menu_large menu_large_cpu menu_large_wait idle_menu wake_menu idle_play wake_play peak peak_large step step_max step_server)
for run in $(seq "$runs"); do
    launch shipped
    result[mapped,$run]=$(field "$line" mapped)
    result[first_frame,$run]=$(field "$line" first_frame)
    result[menu,$run]=$(field "$line" menu)
    result[menu_cpu,$run]=$(ran_ms "$game_pid")
    result[menu_wait,$run]=$(waited_ms "$game_pid")
    sleep "$settle"
    idle "$game_pid"
    result[idle_menu,$run]=$idle_cpu
    result[wake_menu,$run]=$idle_wakeups
    "$probe" key Return
    sleep "$settle"
    idle "$game_pid"
    result[idle_play,$run]=$idle_cpu
    result[wake_play,$run]=$idle_wakeups
    "$probe" key q
    sleep "$settle"
    result[peak,$run]=$(peak_mib "$game_pid")
    quit_game q

    launch large
    result[menu_large,$run]=$(field "$line" menu)
    result[menu_large_cpu,$run]=$(ran_ms "$game_pid")
    result[menu_large_wait,$run]=$(waited_ms "$game_pid")
    sleep "$settle"
    result[peak_large,$run]=$(peak_mib "$game_pid")
    quit_game q

    launch board
    sleep "$settle"
    "$probe" key Return
    sleep "$settle"
    line=$("$probe" steps "$steps" Right Left)
    result[step,$run]=$(field "$line" received_median)
    result[step_max,$run]=$(field "$line" received_max)
    result[step_server,$run]=$(field "$line" stamped_median)
    quit_game q q
done

median() {
    tr ' ' '\n' <<<"$*" | sed '/^$/d' | sort -g | awk '{ v[NR] = $1 } END { if (NR % 2) print v[(NR + 1) / 2]; else printf "%.2f\n", (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

label() {
    case $1 in
        mapped) echo "window mapped, ms after exec (shipped data)" ;;
        first_frame) echo "first frame (SDL's black one), ms after exec" ;;
        menu) echo "first menu frame, ms after exec (shipped data)" ;;
        menu_cpu|menu_large_cpu) echo "  CPU time of the program until then, ms" ;;
        menu_wait|menu_large_wait) echo "  time it waited for a busy core, ms" ;;
        menu_large) echo "first menu frame, ms after exec (80 x 1,000 levels)" ;;
        idle_menu) echo "idle CPU in the menu, % of a core" ;;
        idle_play) echo "idle CPU in play, % of a core" ;;
        wake_menu|wake_play) echo "  wake-ups a second" ;;
        peak) echo "peak resident memory, MiB (shipped data)" ;;
        peak_large) echo "peak resident memory, MiB (80 x 1,000 levels)" ;;
        step) echo "key press to step frame, ms (median of $steps)" ;;
        step_max) echo "  the slowest of them, ms" ;;
        step_server) echo "  median by the server's 1 ms time stamps" ;;
    esac
}

target() {
    case $1 in
        menu) echo "< 100" ;;
        menu_large) echo "< 300" ;;
        idle_menu) echo "< 0.5" ;;
        idle_play) echo "< 1" ;;
        peak) echo "< 30" ;;
        step) echo "< 25" ;;
        *) echo "" ;;
    esac
}

echo "$(basename "$program") under Xvfb 1024x768x24, $(nproc) cores, load average $(cut -d' ' -f1-3 /proc/loadavg)"
header=$(printf '%-54s' "measure")
for run in $(seq "$runs"); do header+=$(printf '%9s' "run $run"); done
header+=$(printf '%9s  %s' median target)
echo "$header"
for name in "${names[@]}"; do
    row=$(printf '%-54s' "$(label "$name")")
    values=()
    for run in $(seq "$runs"); do
        values+=("${result[$name,$run]}")
        row+=$(printf '%9s' "${result[$name,$run]}")
    done
    row+=$(printf '%9s  %s' "$(median "${values[@]}")" "$(target "$name")")
    echo "$row"
done
