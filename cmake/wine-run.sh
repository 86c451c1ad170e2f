#!/bin/sh
# Runs a Windows program under Wine in the build folder's own prefix.
# KEP_BUILD_DIR names the build folder; it defaults to ../build beside this script.
here=$(cd "$(dirname "$0")" && pwd)
: "${KEP_BUILD_DIR:=$here/../build}"
export WINEPREFIX="${WINEPREFIX:-$KEP_BUILD_DIR/wineprefix}"
export LANG=ja_JP.UTF-8
export LC_ALL=ja_JP.UTF-8
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d"
exec /usr/lib/wine/wine64 "$@"
