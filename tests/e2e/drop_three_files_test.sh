#!/usr/bin/env bash
# Three pictures dropped from the file manager on an empty window: the first
# is shown in that window, which fits itself around it, and each of the two
# others gets a new process with a window of its own.
source "$(dirname "$0")/lib.sh"
e2e_begin

a="$E2E_TMP/pics/a.bmp"; e2e_image "$a" 320 240 red
b="$E2E_TMP/pics/b.png"; e2e_image "$b" 300 200 lime
c="$E2E_TMP/pics/c.bmp"; e2e_image "$c" 280 260 blue

e2e_start_kep
first=$E2E_PID
win=$(e2e_wait_window --pid "$first" --name '^KEP$') || e2e_fail "the empty window did not appear"
e2e_settle
frame=$(e2e_frame_line "$win")
[ -n "$frame" ] || e2e_fail "X window $win is no KEP frame"
read -r x y <<<"$(e2e_view_centre "$frame")"
e2e_drop "$win" "$x" "$y" "$a" "$b" "$c"

e2e_wait_title "$(e2e_title_of "$a")" >/dev/null || e2e_fail "the dropped window does not show the first file"
win_b=$(e2e_wait_title "$(e2e_title_of "$b")") || e2e_fail "no window shows the second file"
win_c=$(e2e_wait_title "$(e2e_title_of "$c")") || e2e_fail "no window shows the third file"

# The first file stays in the window it was dropped on; the others are in
# processes of their own, one each.
[ "$(xdotool getwindowpid "$win")" = "$first" ] || e2e_fail "window $win changed hands"
[ "$(xdotool getwindowname "$win")" = "$(e2e_title_of "$a")" ] \
    || e2e_fail "the dropped window shows '$(xdotool getwindowname "$win")'"
pid_b=$(xdotool getwindowpid "$win_b")
pid_c=$(xdotool getwindowpid "$win_c")
[ "$pid_b" != "$first" ] && [ "$pid_c" != "$first" ] && [ "$pid_b" != "$pid_c" ] \
    || e2e_fail "the pictures are not in three processes ($first, $pid_b, $pid_c)"

# The window fitted itself around the picture dropped into it.
fitted() { [ "$(e2e_view_size "$(e2e_frame_line "$win")")" = 320x240 ]; }
e2e_wait_for fitted \
    || e2e_fail "the view of the first window is $(e2e_view_size "$(e2e_frame_line "$win")"), not 320x240"

# Nothing else was started: the drop started its processes one after the
# other, so any other would be running before the third window showed.
count=$(e2e_new_pids | wc -l)
[ "$count" -eq 3 ] || { e2e_new_frames >&2; e2e_fail "$count kep.exe processes, expected 3"; }
