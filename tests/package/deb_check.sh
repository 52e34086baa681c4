#!/usr/bin/env bash
# Builds the Debian package from BUILD_DIR with CPack, installs it with apt, starts the installed
# bingo under Xvfb, checks its main window and, after Alt+P, its preview, and removes the package
# again, also when a step fails. Exits 77 (skipped) when it cannot install packages here.
# Usage: deb_check.sh BUILD_DIR
set -euo pipefail

build_dir=${1:?usage: deb_check.sh BUILD_DIR}
readonly skip=77
readonly caption="賓果彩卷列印"

if [ "$(id -u)" -ne 0 ]; then
    echo "SKIP: installing a package needs root"
    exit $skip
fi
if ! command -v apt-get >/dev/null || ! command -v dpkg-query >/dev/null; then
    echo "SKIP: apt-get and dpkg are not available"
    exit $skip
fi
if dpkg-query -W -f='${Status}' bingo 2>/dev/null | grep -q 'ok installed'; then
    echo "SKIP: a bingo package is installed already; this test does not touch it"
    exit $skip
fi
for tool in cpack dpkg-shlibdeps Xvfb xdotool xprop; do
    command -v "$tool" >/dev/null || { echo "FAIL: $tool is missing (make deps-test installs it)"; exit 1; }
done

work=$(mktemp -d)
installed=no
source "$(dirname "${BASH_SOURCE[0]}")/../../tools/xsession.sh"
cleanup() {
    set +e
    xsession_stop
    if [ "$installed" = yes ] && dpkg-query -W bingo >/dev/null 2>&1; then
        echo "removing the bingo package"
        apt-get remove -y -q -o DPkg::Lock::Timeout=300 bingo >/dev/null || dpkg --remove bingo
    fi
    rm -rf "$work"
}
trap cleanup EXIT

cpack --config "$build_dir/CPackConfig.cmake" -G DEB -B "$work/package" >"$work/cpack.log" 2>&1 ||
    { cat "$work/cpack.log"; echo "FAIL: cpack"; exit 1; }
shopt -s nullglob
debs=("$work"/package/bingo_*.deb)
[ ${#debs[@]} -eq 1 ] || { echo "FAIL: expected one bingo_*.deb, found ${#debs[@]}"; exit 1; }
deb=${debs[0]}
echo "built $(basename "$deb")"

depends=$(dpkg-deb --field "$deb" Depends)
echo "Depends: $depends"
for package in fonts-noto-cjk fonts-arphic-uming fonts-liberation libcups2 qt6-translations-l10n \
    libqt6widgets6 libqt6printsupport6 libqt6pdf6 libsqlite3-0; do
    grep -Eq "(^|, )$package( |,|$)" <<<"$depends" || { echo "FAIL: the package does not depend on $package"; exit 1; }
done

installed=yes
DEBIAN_FRONTEND=noninteractive apt-get install -y -q -o DPkg::Lock::Timeout=300 "$deb" >"$work/apt.log" 2>&1 ||
    { cat "$work/apt.log"; echo "FAIL: apt-get install"; exit 1; }
[ -x /usr/bin/bingo ] || { echo "FAIL: /usr/bin/bingo is not installed"; exit 1; }
for file in /usr/share/applications/bingo.desktop /usr/share/icons/hicolor/48x48/apps/bingo.png; do
    [ -f "$file" ] || { echo "FAIL: $file is not installed"; exit 1; }
done
grep -qs '<launchable type="desktop-id">bingo.desktop</launchable>' /usr/share/metainfo/*.metainfo.xml ||
    { echo "FAIL: no metainfo for bingo.desktop installed"; exit 1; }

xsession_start 1024x768x24 || { echo "FAIL: no X display"; exit 1; }

mkdir "$work/temp"
# The installed program, as a user starts it: on X, not on the offscreen platform tests use.
env -u QT_QPA_PLATFORM TEMP="$work/temp" /usr/bin/bingo >"$work/bingo.log" 2>&1 &
bingo_pid=$!

# has_icon WINDOW: the window carries the program's icon, the 16 px drawing among its sizes.
# (Read whole first: grep -q closing the pipe early would fail the pipeline under pipefail.)
has_icon() {
    local icons
    icons=$(xprop -id "$1" -notype _NET_WM_ICON)
    grep -q 'Icon (16 x 16)' <<<"$icons"
}

main=$(wait_for_window "^$caption\$") || { echo "FAIL: no main window"; exit 1; }
echo "main window is up: $(xdotool getwindowname "$main")"
has_icon "$main" || { echo "FAIL: the main window has no 16 px icon"; exit 1; }

# One print job with the default numbers ends in the preview, which the installed fonts and
# libraries have to draw.
xdotool windowfocus --sync "$main" key alt+p
preview=$(wait_for_window '^Bingo$') || { echo "FAIL: no preview"; exit 1; }
echo "preview is up: $(xdotool getwindowname "$preview")"
has_icon "$preview" || { echo "FAIL: the preview has no 16 px icon"; exit 1; }

kill "$bingo_pid"
wait "$bingo_pid" 2>/dev/null || true
bingo_pid=

apt-get remove -y -q -o DPkg::Lock::Timeout=300 bingo >"$work/apt.log" 2>&1 ||
    { cat "$work/apt.log"; echo "FAIL: apt-get remove"; exit 1; }
installed=no
[ ! -e /usr/bin/bingo ] || { echo "FAIL: /usr/bin/bingo is still there after removal"; exit 1; }
echo "package built, installed, started and removed"
