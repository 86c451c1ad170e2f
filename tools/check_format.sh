#!/usr/bin/env bash
# Checks that every C++ source and header of the project is formatted with
# the project's .clang-format; prints the places that are not, and fails.
# Format a file with: clang-format -i FILE
set -euo pipefail
source "$(dirname "$0")/kep-env.sh"

kep_install_packages
cd "$KEP_ROOT"
git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run --Werror
kep_log "formatting checked: $(git ls-files '*.cpp' '*.h' | wc -l) files"
