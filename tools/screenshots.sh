#!/usr/bin/env bash
# Takes the README's pictures from the real programs: builds bingo and bingo-caller (release),
# starts bingo under Xvfb with a fresh TEMP, grabs the main window, presses Alt+P and grabs the
# preview "Bingo". Then, as a Taiwanese operator (LANG=zh_TW.UTF-8), grabs the error box of a
# table file that is no database and the preview's save dialog. Last it starts bingo-caller on
# the job's table, calls a few numbers that complete the first row of card 1, grabs the board,
# checks serial 1 and grabs that.
# Writes docs/screenshots/main-window.png, preview.png, error-box.png, save-dialog.png,
# caller-board.png and caller-check.png.
# Set BINGO=/path/to/bingo and CALLER=/path/to/bingo-caller to use executables built elsewhere.
set -euo pipefail
cd "$(dirname "$0")/.."

readonly caption="賓果彩卷列印"
readonly out=docs/screenshots

tools/install-deps.sh xvfb xauth xdotool x11-utils imagemagick locales sqlite3
if [ -z "${BINGO:-}" ] || [ -z "${CALLER:-}" ]; then
    make --no-print-directory deps-build
    cmake --preset release -DBINGO_BUILD_TESTS=OFF -DBINGO_BUILD_BENCHMARKS=OFF >/dev/null
    cmake --build --preset release --target bingo bingo-caller
    BINGO=${BINGO:-build/release/app/bingo}
    CALLER=${CALLER:-build/release/caller/bingo-caller}
fi
[ -x "$BINGO" ] || { echo "no executable at $BINGO" >&2; exit 1; }
[ -x "$CALLER" ] || { echo "no executable at $CALLER" >&2; exit 1; }

work=$(mktemp -d)
source tools/xsession.sh
cleanup() {
    set +e
    xsession_stop
    rm -rf "$work"
}
trap cleanup EXIT

# grab WINDOW FILE: the window's contents as a PNG, stripped of the time stamps PNG files carry.
grab() {
    import -window "$1" "$work/grab.png"
    convert "$work/grab.png" -strip "$2"
    echo "wrote $2 ($(identify -format '%wx%h' "$2"))"
}

# wait_idle: waits until bingo has used no CPU for 0.6 s (its painting and layout have
# finished), at most 60 s.
wait_idle() {
    local stat fields last=-1 quiet=0
    for _ in $(seq 600); do
        stat=$(<"/proc/$bingo_pid/stat")
        read -r -a fields <<<"${stat##*) }"
        if [ $((fields[11] + fields[12])) -eq "$last" ]; then
            quiet=$((quiet + 1))
            [ "$quiet" -ge 6 ] && return 0
        else
            last=$((fields[11] + fields[12]))
            quiet=0
        fi
        sleep 0.1
    done
    echo "bingo did not become idle" >&2
    return 1
}

xsession_start 1280x960x24

mkdir "$work/temp"
env -u QT_QPA_PLATFORM TEMP="$work/temp" "$BINGO" >"$work/bingo.log" 2>&1 &
bingo_pid=$!

main=$(wait_for_window "^$caption\$")
wait_idle
mkdir -p "$out"
grab "$main" "$out/main-window.png"

xdotool windowfocus --sync "$main"
xdotool key alt+p
preview=$(wait_for_window '^Bingo$')
# The preview asks to open maximised; with no window manager on Xvfb nobody grants that, so
# give it the screen the way one would.
xdotool windowmove --sync "$preview" 0 0 windowsize --sync "$preview" 1280 960
wait_idle # the cards are drawn and the first page laid out after the window shows
grab "$preview" "$out/preview.png"

kill "$bingo_pid" && wait "$bingo_pid" 2>/dev/null || true

# The operator's own language, compiled here so that it exists whatever the system has
# generated (Xlib names the windows in its encoding), and a table file some other program wrote.
mkdir -p "$work/locale"
localedef -i zh_TW -f UTF-8 "$work/locale/zh_TW.UTF-8" 2>/dev/null || [ -d "$work/locale/zh_TW.UTF-8" ]
printf 'These are my notes, not a card table.\n' >"$work/temp/tmpBingo.db"
env -u QT_QPA_PLATFORM -u LC_ALL -u LANGUAGE LOCPATH="$work/locale" LANG=zh_TW.UTF-8 \
    TEMP="$work/temp" "$BINGO" >"$work/bingo.log" 2>&1 &
bingo_pid=$!
main=$(wait_for_window "^$caption\$")
wait_idle
xdotool windowfocus --sync "$main"
xdotool key alt+p
box=$(wait_for_window '^bingo$')
wait_idle
grab "$box" "$out/error-box.png"
xdotool windowfocus --sync "$box"
xdotool key Return

rm "$work/temp/tmpBingo.db"
xdotool windowfocus --sync "$main"
xdotool key alt+p
preview=$(wait_for_window '^Bingo$')
wait_idle
xdotool windowfocus --sync "$preview"
xdotool key ctrl+s
dialog=$(wait_for_window '^儲存預覽$')
wait_idle
grab "$dialog" "$out/save-dialog.png"
xdotool windowfocus --sync "$dialog"
xdotool key Escape

# The caller on the job just printed: a few calls, the last one completing card 1's first row.
kill "$bingo_pid" && wait "$bingo_pid" 2>/dev/null || true
row=$(sqlite3 -readonly -separator ' ' "$work/temp/tmpBingo.db" "SELECT S1, S2, S3, S4, S5 FROM tmpBingo WHERE S0 = 1")
env -u QT_QPA_PLATFORM TEMP="$work/temp" XDG_DATA_HOME="$work/data" "$CALLER" >"$work/bingo.log" 2>&1 &
bingo_pid=$!
caller=$(wait_for_window '^賓果對獎')
xdotool windowmove --sync "$caller" 0 0 windowsize --sync "$caller" 1280 800
wait_idle
xdotool windowfocus --sync "$caller"
for number in 7 19 $row; do
    xdotool type --delay 30 "$number"
    xdotool key Return
    sleep 0.2
done
wait_idle
grab "$caller" "$out/caller-board.png"
xdotool key ctrl+f
xdotool type --delay 30 1
xdotool key Return
wait_idle
grab "$caller" "$out/caller-check.png"
