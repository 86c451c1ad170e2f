#!/usr/bin/env bash
# Compiles the help: tools/build_help.sh SOURCE_DIR STAGE_DIR OUTPUT.chm
# The sources (help/) are UTF-8; the help viewer of a Japanese system reads a
# help file of language 0x411 in code page 932, so every page, the contents and
# the project are converted to Shift-JIS in STAGE_DIR (a character outside the
# code page stops the build) and compiled there with chmcmd.
set -euo pipefail
src=$1 stage=$2 out=$3

command -v chmcmd >/dev/null || { echo "build_help.sh: chmcmd is missing (Debian package fp-utils)" >&2; exit 1; }
rm -rf "$stage"
mkdir -p "$stage"
for file in "$src"/*.html "$src"/*.hhc "$src"/*.hhp "$src"/*.css; do
    name=$(basename "$file")
    if ! sed 's/charset=UTF-8/charset=Shift_JIS/' "$file" | iconv -f UTF-8 -t CP932 >"$stage/$name"; then
        echo "build_help.sh: $file holds a character outside code page 932" >&2
        exit 1
    fi
done
chm=$(sed -n 's/^Compiled file=\(.*\)$/\1/p' "$src/kep.hhp" | tr -d '\r')
# chmcmd prints its banner and a line per file; only a failure matters.
if ! (cd "$stage" && chmcmd --verbosity 0 kep.hhp >chmcmd.log 2>&1); then
    cat "$stage/chmcmd.log" >&2
    exit 1
fi
if grep -i 'warning\|error' "$stage/chmcmd.log" >&2; then
    exit 1
fi
mv "$stage/$chm" "$out"
