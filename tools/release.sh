#!/usr/bin/env bash
# Builds a release of KEP: an optimised, stripped kep.exe (Release build in
# build-release/) and build-release/kep-VERSION-win64.zip holding it, its help
# kep.chm, the README (with the screenshot it shows) and the licence in a folder
# kep-VERSION-win64. VERSION comes from
# res/version.h. Prints the zip's path and contents.
set -euo pipefail
KEP_BUILD_DIR=$(cd "$(dirname "$0")/.." && pwd)/build-release
KEP_BUILD_TYPE=Release
source "$(dirname "$0")/kep-env.sh"

kep_install_packages
kep_build kep

version=$(sed -n 's/^#define KEP_VERSION_TEXT *"\([^"]*\)".*/\1/p' "$KEP_ROOT/res/version.h")
[ -n "$version" ] || { kep_log "no KEP_VERSION_TEXT in res/version.h"; exit 1; }
exe="$KEP_BUILD_DIR/kep.exe"
if x86_64-w64-mingw32-objdump -h "$exe" | grep -E '\.debug_|\.symtab' >/dev/null; then
    kep_log "$exe still carries debugging symbols"
    exit 1
fi

name="kep-$version-win64"
stage="$KEP_BUILD_DIR/$name"
zip="$KEP_BUILD_DIR/$name.zip"
rm -rf "$stage" "$zip"
mkdir -p "$stage/docs"
cp "$exe" "$KEP_BUILD_DIR/kep.chm" "$KEP_ROOT/README.md" "$KEP_ROOT/LICENSE" "$stage/"
cp "$KEP_ROOT/docs/screenshot.png" "$stage/docs/"
(cd "$KEP_BUILD_DIR" && zip -q -X -r "$zip" "$name")
rm -rf "$stage"
kep_log "release $version: $zip"
unzip -l "$zip"
