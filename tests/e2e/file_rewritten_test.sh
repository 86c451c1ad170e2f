#!/usr/bin/env bash
# A picture that another program rewrites is shown anew: once with the same
# size (a new colour), once with a new size (the window fits it); the
# history is not touched. A picture deleted while shown leaves the window as
# it was, without a message.
source "$(dirname "$0")/lib.sh"
e2e_begin

dir="$E2E_TMP/renders"
pic="$dir/plot.png"
e2e_image "$pic" 200 150 red
e2e_show "$pic"
pid=$E2E_PID win=$E2E_WIN
title=$(e2e_title_of "$pic")
history="$(e2e_settings_dir)/history.def"
e2e_wait_for test -s "$history" || e2e_fail "the picture did not enter the history"
history_before=$(md5sum <"$history")

view_size() { e2e_view_size "$(e2e_frame_line "$win")"; }
size_is() { [ "$(view_size)" = "$1" ]; }
# The colour at the middle of the view, as RRGGBB.
centre_colour() {
    local x y
    read -r x y <<<"$(e2e_view_centre "$(e2e_frame_line "$win")")"
    xwd -root -silent | convert xwd:- -crop "1x1+$x+$y" -format '%[hex:p{0,0}]' info:- 2>/dev/null
}
colour_is() { [ "$(centre_colour)" = "$1" ]; }
shows_title() { [ "$(xdotool getwindowname "$win")" = "$title" ]; }
other_window() { [ "$(xdotool search --all --onlyvisible --pid "$pid" 2>/dev/null | grep -vc "^$win\$")" != 0 ]; }

e2e_wait_for colour_is FF0000 || e2e_fail "the picture shows $(centre_colour), not red"

# Rewritten in place, as a program writing its output does (the shell
# truncates the file, then ImageMagick writes into it).
convert -size 200x150 xc:blue png:- >"$pic"
e2e_wait_for colour_is 0000FF || e2e_fail "after the first rewrite the picture shows $(centre_colour), not blue"
size_is 200x150 || e2e_fail "the view is $(view_size) after a rewrite of the same size"

convert -size 260x120 xc:lime png:- >"$pic"
e2e_wait_for size_is 260x120 || e2e_fail "after the second rewrite the view is $(view_size), not 260x120"
e2e_wait_for colour_is 00FF00 || e2e_fail "after the second rewrite the picture shows $(centre_colour)"
shows_title || e2e_fail "the title became '$(xdotool getwindowname "$win")'"
[ "$(md5sum <"$history")" = "$history_before" ] || e2e_fail "a reload changed the history"

# Deleted: nothing happens, within the time a reload would take.
rm -f "$pic"
touch "$dir/neighbour.txt" # one more change in the folder
if e2e_wait_for 2 other_window; then
    e2e_fail "a message box came up after the picture was deleted"
fi
shows_title || e2e_fail "after the deletion the title is '$(xdotool getwindowname "$win")'"
size_is 260x120 || e2e_fail "after the deletion the view is $(view_size)"
colour_is 00FF00 || e2e_fail "after the deletion the picture shows $(centre_colour)"
