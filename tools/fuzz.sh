#!/usr/bin/env bash
# The long fuzz run: builds the fuzz program, writes the picture corpus and
# runs the cases under Xvfb and Wine; prints the counts per category and each
# case that crashed, hung or failed its check (run one again with --case I).
#
#   tools/fuzz.sh [--cases N] [--seed S] [--budget SECONDS]   (default: 100000 cases, seed 1)
set -euo pipefail
source "$(dirname "$0")/kep-env.sh"

kep_install_packages
kep_prefix "$KEP_BUILD_DIR/wineprefix" unmanaged
kep_start_xvfb
trap 'kep_stop_wine; kep_stop_xvfb' EXIT
kep_start_wine
kep_build
python3 "$KEP_ROOT/tests/fuzz/make_corpus.py" "$KEP_BUILD_DIR/fuzz-corpus"
[ $# -gt 0 ] || set -- --cases 100000
"$WINE64" "$KEP_BUILD_DIR/kep_fuzz.exe" "$@"
