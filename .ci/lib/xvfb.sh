# Sourced by the checks that need a display: starts Xvfb on a free display
# of its own choosing, sets DISPLAY and xvfb_pid. Needs $work and die().
start_xvfb() {
    exec 3>"$work/display"
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset >"$work/xvfb.log" 2>&1 &
    xvfb_pid=$!
    exec 3>&-
    for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.2; done
    [ -s "$work/display" ] || die "Xvfb did not start"
    export DISPLAY=":$(cat "$work/display")"
}
