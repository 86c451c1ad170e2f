#!/usr/bin/env bash
# Builds KEP and shows it: ./run.sh [IMAGE...]
# Linux paths are handed to the program as Windows paths (Z:\...); a path may
# carry the option suffix /left:top:zoom. With no image the sample opens.
# Without a display the program runs under Xvfb and a screenshot is saved to
# build/screenshot.png.
set -euo pipefail
source "$(dirname "$0")/tools/kep-env.sh"

kep_install_packages
kep_build kep

[ $# -eq 0 ] && set -- "$KEP_ROOT/samples/sample.png"
args=()
for arg in "$@"; do
    path=$arg suffix=""
    if [ ! -e "$path" ] && [[ "$arg" == */*:*:* ]] && [ -e "${arg%/*}" ]; then
        path=${arg%/*} suffix=/${arg##*/}
    fi
    [ -e "$path" ] && path=$(kep_winpath "$path")
    args+=("$path$suffix")
done

if [ -n "${DISPLAY:-}" ]; then
    # A real desktop: a prefix of its own, windows managed by the desktop.
    kep_prefix "$KEP_BUILD_DIR/wineprefix-desktop"
    exec "$WINE64" "$KEP_BUILD_DIR/kep.exe" "${args[@]}"
fi

kep_prefix "$KEP_BUILD_DIR/wineprefix" unmanaged
kep_start_xvfb
trap 'kep_stop_wine; kep_stop_xvfb' EXIT
kep_start_wine
"$WINE64" "$KEP_BUILD_DIR/kep.exe" "${args[@]}" &
for _ in $(seq 100); do
    xdotool search --name '^KEP' >/dev/null 2>&1 && break
    sleep 0.2
done
sleep "${KEP_SCREENSHOT_DELAY:-2}"
shot="$KEP_BUILD_DIR/screenshot.png"
xwd -root -display "$DISPLAY" | convert xwd:- -trim +repage "$shot"
kep_log "no display: ran under Xvfb; screenshot saved to $shot"
