#!/usr/bin/env bash
# Names outside the ANSI code page (é, ï) open by their short (8.3) form: a
# picture named on the command line, one named as a further token (opened by
# a new process) and one dropped from the file manager. Each window fits its
# picture and shows the short path in its title: no '?' where a character was
# lost, no "cannot open" message box.
source "$(dirname "$0")/lib.sh"
e2e_begin

dir="$E2E_TMP/été"
first="$dir/café.png"; e2e_image "$first" 310 170 navy
further="$dir/crème.bmp"; e2e_image "$further" 290 180 maroon
dropped="$dir/naïve.bmp"; e2e_image "$dropped" 270 190 olive

# The title of a window showing a short path of $dir: "KEP - Z:\...\<short dir>\<short name>".
short_title_re="^KEP - $(e2e_regex_quote "$(e2e_winpath "$E2E_TMP")")\\\\[^\\\\?]+\\\\[^\\\\?]+\$"
only_window_of() { xdotool search --all --onlyvisible --pid "$1" 2>/dev/null | wc -l; }

e2e_start_kep "$(e2e_winpath "$first")" "$(e2e_winpath "$further")"
pid=$E2E_PID
win=$(e2e_wait_window --pid "$pid" --name "$short_title_re") \
    || { e2e_frames >&2; e2e_fail "the window did not show the picture named on the command line"; }
e2e_settle
[ "$(e2e_view_size "$(e2e_frame_line "$win")")" = 310x170 ] \
    || e2e_fail "the view is $(e2e_view_size "$(e2e_frame_line "$win")"), not the picture's 310x170"
[ "$(only_window_of "$pid")" -eq 1 ] || e2e_fail "a message box came up beside the window"

# The further token: a process of its own, which shows it the same way.
other_shown() {
    local line
    line=$(e2e_new_frames | awk -v w="$win" '$2 != w && $4 == 1')
    [ -n "$line" ] && [ "$(e2e_view_size "$line")" = 290x180 ]
}
e2e_wait_for other_shown || { e2e_new_frames >&2; e2e_fail "the further token's picture was not shown"; }
e2e_new_frames | awk -v w="$win" '$2 != w' | grep -q '?' && e2e_fail "the further token lost characters"

read -r x y <<<"$(e2e_view_centre "$(e2e_frame_line "$win")")"
e2e_drop "$win" "$x" "$y" "$dropped"
fitted() { [ "$(e2e_view_size "$(e2e_frame_line "$win")")" = 270x190 ]; }
e2e_wait_for fitted || e2e_fail "the dropped picture was not shown (view $(e2e_view_size "$(e2e_frame_line "$win")"))"
title=$(xdotool getwindowname "$win")
[[ "$title" =~ $short_title_re ]] || e2e_fail "the title after the drop is '$title'"
[ "$(only_window_of "$pid")" -eq 1 ] || e2e_fail "a message box came up after the drop"
e2e_log "shown as: $title"
