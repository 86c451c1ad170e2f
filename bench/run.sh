#!/usr/bin/env bash
# Builds a benchmark and runs it under Wine, in Xvfb when there is no display.
#
#   bench/run.sh            the targets table: repaint, load, pulse, memory,
#                           start-up and history menu, as ratios measured in
#                           one run (several minutes; the test pictures are
#                           made once, in the prefix's %TEMP%\kep_bench)
#   bench/run.sh --quick    a subset of the targets, in under a minute
#   bench/run.sh --rows 8,9 the targets named alone
#   bench/run.sh paint      the paint table: decoding, drawing and the
#                           transfer under each transform (--quick: 12 MP only)
#   bench/run.sh pulse      the start pulse's ticks per second
#   bench/run.sh history    opening the history submenu with thumbnails of
#                           12 MP pictures, and moving its highlight
set -euo pipefail
source "$(dirname "$0")/../tools/kep-env.sh"

program=kep_bench_targets
if [ $# -gt 0 ] && [[ "$1" != -* ]]; then
    program=kep_bench_$1
    [ "$1" = paint ] && program=kep_bench
    shift
fi

kep_install_packages
kep_prefix "$KEP_BUILD_DIR/wineprefix" unmanaged
if [ -z "${DISPLAY:-}" ]; then
    kep_start_xvfb
    trap 'kep_stop_wine; kep_stop_xvfb' EXIT
fi
kep_start_wine
targets=("$program")
[ "$program" = kep_bench_targets ] && targets+=(kep minimal_viewer kep_bench_history)
kep_build "${targets[@]}"
"$KEP_ROOT/cmake/wine-run.sh" "$KEP_BUILD_DIR/$program.exe" "$@"
