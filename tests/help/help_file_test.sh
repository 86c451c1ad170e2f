#!/usr/bin/env bash
# The compiled help, read back with a CHM reader other than the compiler
# (libchm's enum_chmLib and extract_chmLib): it holds every file of the
# project's list, each page reads back byte for byte as the build staged it,
# the contents list every page, and every link of a page leads to a file
# inside the help.
#   help_file_test.sh BUILD_DIR HELP_SOURCE_DIR
set -euo pipefail
build=$1 src=$2
chm=$build/kep.chm stage=$build/help/stage
fail() {
    echo "FAIL: $*" >&2
    exit 1
}
[ -s "$chm" ] || fail "no help file $chm"
command -v enum_chmLib >/dev/null || fail "enum_chmLib is missing (Debian package libchm-bin)"

out=$(mktemp -d "${TMPDIR:-/tmp}/kep-help.XXXXXX")
trap 'rm -rf "$out"' EXIT
enum_chmLib "$chm" >"$out/listing" || fail "enum_chmLib cannot read $chm"
awk '$4 == "normal" && $5 == "file" { print $6 }' "$out/listing" | sed 's|^/||' | sort >"$out/held"
mapfile -t files < <(sed -n '/^\[FILES\]/,/^\[/p' "$src/kep.hhp" | tr -d '\r' | grep -v '^\[' | grep .)
[ ${#files[@]} -gt 0 ] || fail "kep.hhp lists no files"
extract_chmLib "$chm" "$out/x" >/dev/null || fail "extract_chmLib cannot unpack $chm"

checked=0
for file in "${files[@]}" toc.hhc; do
    grep -Fx "$file" "$out/held" >/dev/null || fail "$file is not in the help"
    cmp -s "$out/x/$file" "$stage/$file" || fail "$file does not read back as it was compiled"
    checked=$((checked + 1))
done
for page in "${files[@]}"; do
    [[ "$page" == *.html ]] || continue
    grep -F "value=\"$page\"" "$out/x/toc.hhc" >/dev/null || fail "the contents do not list $page"
    for target in $(grep -o 'href="[^"#:]*' "$out/x/$page" | sed 's/^href="//' | sort -u); do
        grep -Fx "$target" "$out/held" >/dev/null || fail "$page links to $target, which the help lacks"
    done
done
echo "kep.chm holds ${#files[@]} files, all in the contents and linked within: $checked checked"
