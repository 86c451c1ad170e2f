#!/usr/bin/env bash
# Builds a benchmark and runs it under Wine, in Xvfb when there is no display.
#
#   bench/run.sh            kep_bench, the full paint table (a few minutes; the
#                           test pictures are made once, in the prefix's
#                           %TEMP%\kep_bench)
#   bench/run.sh --quick    kep_bench, only the transfers of the 12 MP picture
#   bench/run.sh history    kep_bench_history: opening the history submenu
#                           with thumbnails of 12 MP pictures, and moving its
#                           highlight
set -euo pipefail
source "$(dirname "$0")/../tools/kep-env.sh"

program=kep_bench
if [ $# -gt 0 ] && [[ "$1" != -* ]]; then
    program=kep_bench_$1
    shift
fi

kep_install_packages
kep_prefix "$KEP_BUILD_DIR/wineprefix" unmanaged
if [ -z "${DISPLAY:-}" ]; then
    kep_start_xvfb
    trap 'kep_stop_wine; kep_stop_xvfb' EXIT
fi
kep_start_wine
kep_build "$program"
"$KEP_ROOT/cmake/wine-run.sh" "$KEP_BUILD_DIR/$program.exe" "$@"
