#!/usr/bin/env bash
# Builds KEP and runs every test (unit, in-process GUI, end to end) with ctest
# under Xvfb and Wine. Extra arguments go to ctest (e.g. -L unit, -R Zoom).
# The unit tests are one ctest ("unit") and the GUI tests one per suite
# ("gui.ZoomTest"); GTEST_FILTER narrows the cases inside them, e.g.
# GTEST_FILTER='HistoryList*' ./test.sh -L unit.
set -euo pipefail
source "$(dirname "$0")/tools/kep-env.sh"

kep_install_packages
# The prefix and Wine come first: ctest lists the tests by running them under Wine.
kep_prefix "$KEP_BUILD_DIR/wineprefix" unmanaged
kep_start_xvfb
trap 'kep_stop_wine; kep_stop_xvfb' EXIT
kep_start_wine
kep_build
cd "$KEP_BUILD_DIR"
ctest --output-on-failure -j"$(nproc)" "$@"
