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
# Wine may start its own background processes (services, the desktop) from
# this one; they would inherit our output and keep a reading pipe (ctest's)
# open forever. So the program writes to a file, which is shown afterwards.
out=$(mktemp "${TMPDIR:-/tmp}/kep-wine.XXXXXX")
/usr/lib/wine/wine64 "$@" </dev/null >"$out" 2>&1
rc=$?
cat "$out"
rm -f "$out"
exit $rc
