#!/usr/bin/env bash
# Takes the README's pictures from the real program: builds bingo (release), starts it under
# Xvfb with a fresh TEMP, grabs the main window, presses Alt+P and grabs the preview "Bingo".
# Writes docs/screenshots/main-window.png and docs/screenshots/preview.png.
# Set BINGO=/path/to/bingo to use an executable built elsewhere instead of building.
set -euo pipefail
cd "$(dirname "$0")/.."

readonly caption="賓果彩卷列印"
readonly out=docs/screenshots

tools/install-deps.sh xvfb xauth xdotool x11-utils imagemagick
if [ -z "${BINGO:-}" ]; then
    make --no-print-directory deps-build
    cmake --preset release -DBINGO_BUILD_TESTS=OFF -DBINGO_BUILD_BENCHMARKS=OFF >/dev/null
    cmake --build --preset release --target bingo
    BINGO=build/release/app/bingo
fi
[ -x "$BINGO" ] || { echo "no executable at $BINGO" >&2; exit 1; }

work=$(mktemp -d)
xvfb_pid=
bingo_pid=
cleanup() {
    set +e
    [ -n "$bingo_pid" ] && kill "$bingo_pid" 2>/dev/null && wait "$bingo_pid" 2>/dev/null
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

# wait_for_window NAME_REGEX: prints the first visible window whose name matches, within 30 s.
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

# grab WINDOW FILE: the window's contents as a PNG, stripped of the time stamps PNG files carry.
grab() {
    import -window "$1" "$work/grab.png"
    convert "$work/grab.png" -strip "$2"
    echo "wrote $2 ($(identify -format '%wx%h' "$2"))"
}

Xvfb -displayfd 3 -nolisten tcp -screen 0 1280x960x24 3>"$work/display" 2>"$work/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 100); do
    [ -s "$work/display" ] && break
    sleep 0.1
done
[ -s "$work/display" ] || { cat "$work/xvfb.log" >&2; echo "Xvfb did not start" >&2; exit 1; }
DISPLAY=":$(head -n1 "$work/display")"
export DISPLAY

mkdir "$work/temp"
env -u QT_QPA_PLATFORM TEMP="$work/temp" "$BINGO" >"$work/bingo.log" 2>&1 &
bingo_pid=$!

main=$(wait_for_window "^$caption\$")
sleep 1 # let the first paint finish
mkdir -p "$out"
grab "$main" "$out/main-window.png"

xdotool windowfocus --sync "$main"
xdotool key alt+p
preview=$(wait_for_window '^Bingo$')
# The preview asks to open maximised; with no window manager on Xvfb nobody grants that, so
# give it the screen the way one would.
xdotool windowmove --sync "$preview" 0 0 windowsize --sync "$preview" 1280 960
sleep 3 # the cards are drawn and the first page laid out after the window shows
grab "$preview" "$out/preview.png"
