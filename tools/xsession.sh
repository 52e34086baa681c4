# Sourced by the scripts that run bingo on an X display of their own (tools/screenshots.sh,
# tests/package/deb_check.sh). The sourcing script sets work (its scratch directory) first,
# sets bingo_pid once it has started the program, and calls xsession_stop from its cleanup.

xvfb_pid=
bingo_pid=

# xsession_start WxHxD: starts Xvfb with a screen of that size and exports its DISPLAY.
# -displayfd picks a free display number and writes it once the server is up.
xsession_start() {
    Xvfb -displayfd 3 -nolisten tcp -screen 0 "$1" 3>"$work/display" 2>"$work/xvfb.log" &
    xvfb_pid=$!
    for _ in $(seq 100); do
        [ -s "$work/display" ] && break
        kill -0 "$xvfb_pid" 2>/dev/null || break
        sleep 0.1
    done
    [ -s "$work/display" ] || { cat "$work/xvfb.log" >&2; echo "Xvfb did not start" >&2; return 1; }
    DISPLAY=":$(head -n1 "$work/display")"
    export DISPLAY
}

# xsession_stop: stops the program and Xvfb, if they were started.
xsession_stop() {
    [ -n "$bingo_pid" ] && kill "$bingo_pid" 2>/dev/null && wait "$bingo_pid" 2>/dev/null
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
    bingo_pid=
    xvfb_pid=
}

# wait_for_window NAME_REGEX: prints the first visible window whose name matches, within 30 s;
# fails early, with the program's output ($work/bingo.log), if bingo_pid has ended.
wait_for_window() {
    local window
    for _ in $(seq 150); do
        window=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n1) || true
        [ -n "$window" ] && { echo "$window"; return 0; }
        kill -0 "$bingo_pid" 2>/dev/null || { cat "$work/bingo.log" >&2; echo "bingo exited" >&2; return 1; }
        sleep 0.2
    done
    cat "$work/bingo.log" >&2
    echo "no window named $1 appeared" >&2
    return 1
}
