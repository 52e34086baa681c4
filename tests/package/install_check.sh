#!/usr/bin/env bash
# Installs the build tree into a temporary DESTDIR and checks what lands there: the executable,
# the desktop entry and the AppStream metainfo (both validated, and pointing at each other and at
# the installed executable and icon), and the icon at every size.
# Usage: install_check.sh BUILD_DIR
set -euo pipefail

build_dir=${1:?usage: install_check.sh BUILD_DIR}
for tool in desktop-file-validate appstreamcli; do
    command -v "$tool" >/dev/null || { echo "FAIL: $tool is missing (make deps-test installs it)"; exit 1; }
done

destdir=$(mktemp -d)
trap 'rm -rf "$destdir"' EXIT
prefix=/usr
DESTDIR="$destdir" cmake --install "$build_dir" --prefix "$prefix" >/dev/null
root="$destdir$prefix"

failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

# Width and height from a PNG's IHDR chunk, as "WxH".
png_size() {
    local bytes
    read -r -a bytes <<<"$(od -An -tu1 -j16 -N8 "$1")"
    local width=$(((bytes[0] << 24) | (bytes[1] << 16) | (bytes[2] << 8) | bytes[3]))
    local height=$(((bytes[4] << 24) | (bytes[5] << 16) | (bytes[6] << 8) | bytes[7]))
    echo "${width}x${height}"
}

# The value of KEY in the [Desktop Entry] group.
desktop_value() {
    sed -n '/^\[Desktop Entry\]/,/^\[/{s/^'"$2"'=//p}' "$1"
}

[ -x "$root/bin/bingo" ] || fail "bin/bingo is not installed as an executable"

desktop="$root/share/applications/bingo.desktop"
if [ -f "$desktop" ]; then
    desktop-file-validate "$desktop" || fail "desktop-file-validate rejects bingo.desktop"
    exec_name=$(desktop_value "$desktop" Exec)
    [ -x "$root/bin/${exec_name%% *}" ] || fail "Exec=$exec_name names no installed executable"
    [ "$(desktop_value "$desktop" Name)" = "賓果彩卷列印" ] || fail "Name is not the window's caption"
    [ -n "$(desktop_value "$desktop" 'Name\[en\]')" ] || fail "no English Name[en]"
    [ "$(desktop_value "$desktop" Terminal)" = false ] || fail "Terminal is not false"
    icon_name=$(desktop_value "$desktop" Icon)
else
    fail "share/applications/bingo.desktop is not installed"
    icon_name=bingo
fi

for size in 16 32 48 64 128 256; do
    png="$root/share/icons/hicolor/${size}x${size}/apps/$icon_name.png"
    if [ -f "$png" ]; then
        [ "$(png_size "$png")" = "${size}x${size}" ] || fail "$png is $(png_size "$png"), not ${size}x${size}"
    else
        fail "no $size px icon named $icon_name in hicolor"
    fi
done
[ -f "$root/share/icons/hicolor/scalable/apps/$icon_name.svg" ] || fail "no scalable icon named $icon_name"

[ -x "$root/bin/bingo-caller" ] || fail "bin/bingo-caller is not installed as an executable"
caller_desktop="$root/share/applications/bingo-caller.desktop"
if [ -f "$caller_desktop" ]; then
    desktop-file-validate "$caller_desktop" || fail "desktop-file-validate rejects bingo-caller.desktop"
    exec_name=$(desktop_value "$caller_desktop" Exec)
    [ -x "$root/bin/${exec_name%% *}" ] || fail "bingo-caller.desktop: Exec=$exec_name names no installed executable"
    [ "$(desktop_value "$caller_desktop" Name)" = "賓果對獎" ] || fail "bingo-caller.desktop: Name is not 賓果對獎"
    [ "$(desktop_value "$caller_desktop" 'Name\[en\]')" = "Bingo Caller" ] || fail "bingo-caller.desktop: Name[en] is not Bingo Caller"
    [ "$(desktop_value "$caller_desktop" Terminal)" = false ] || fail "bingo-caller.desktop: Terminal is not false"
    caller_icon=$(desktop_value "$caller_desktop" Icon)
    for size in 48 256; do
        png="$root/share/icons/hicolor/${size}x${size}/apps/$caller_icon.png"
        [ -f "$png" ] && [ "$(png_size "$png")" = "${size}x${size}" ] || fail "no $size px icon named $caller_icon in hicolor"
    done
    [ -f "$root/share/icons/hicolor/scalable/apps/$caller_icon.svg" ] || fail "no scalable icon named $caller_icon"
else
    fail "share/applications/bingo-caller.desktop is not installed"
fi

shopt -s nullglob
metainfos=("$root"/share/metainfo/*.metainfo.xml)
if [ ${#metainfos[@]} -eq 1 ]; then
    metainfo=${metainfos[0]}
    appstreamcli validate --no-net --strict "$metainfo" || fail "appstreamcli rejects $(basename "$metainfo")"
    id=$(sed -n 's:.*<id>\(.*\)</id>.*:\1:p' "$metainfo")
    [ "$(basename "$metainfo")" = "$id.metainfo.xml" ] || fail "metainfo file name does not match its id $id"
    grep -q '<launchable type="desktop-id">bingo.desktop</launchable>' "$metainfo" ||
        fail "metainfo does not launch bingo.desktop"
    grep -q "<icon type=\"stock\">$icon_name</icon>" "$metainfo" || fail "metainfo icon is not $icon_name"
    # Its screenshots are pictures of this repository.
    source_dir=$(sed -n 's/^CMAKE_HOME_DIRECTORY:INTERNAL=//p' "$build_dir/CMakeCache.txt")
    while read -r url; do
        [ -f "$source_dir/${url#https://*/}" ] || fail "screenshot $url is not in the repository"
    done < <(sed -n 's:.*<image>\(.*\)</image>.*:\1:p' "$metainfo")
else
    fail "expected one metainfo file, found ${#metainfos[@]}"
fi

if [ "$failures" -ne 0 ]; then
    echo "$failures check(s) failed"
    exit 1
fi
echo "installed tree is complete and valid"
