#!/usr/bin/env bash
# A program kept deep in a folder tree saves its settings in its own user
# folder however long the path (its settings path beyond 260 characters, or
# its own path), and never in a folder above it.
source "$(dirname "$0")/lib.sh"
e2e_begin

user=$(id -un)
for length in 259 280; do
    # Folders until the program's Windows path (Z: + the Linux path) is $length long.
    dir="$E2E_TMP/deep$length"
    while :; do
        room=$((length - ${#dir} - 2 - 1 - 7 - 1))
        [ $room -le 0 ] && break
        [ $room -gt 60 ] && room=60
        dir="$dir/$(printf 'd%.0s' $(seq "$room"))"
    done
    mkdir -p "$dir"
    cp "$KEP_BUILD_DIR/kep.exe" "$dir/kep.exe"
    exe=$(e2e_winpath "$dir/kep.exe")
    e2e_log "program path of ${#exe} characters"

    e2e_start_program "$dir/kep.exe"
    win=$(e2e_wait_title "KEP") || e2e_fail "the window of the deep program did not appear"
    e2e_settle
    e2e_post "$win" 32806   # always on top: a setting, saved at once
    e2e_wait_for test -f "$dir/$user/wndset.def" || e2e_fail "no settings beside the program at ${#exe} characters"
    [ -e "$(dirname "$dir")/$user" ] && e2e_fail "settings written above the program's folder"
    e2e_ctl close-others $E2E_BASELINE || e2e_fail "the deep program did not exit"
done
