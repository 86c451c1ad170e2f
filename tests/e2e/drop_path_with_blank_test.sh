#!/usr/bin/env bash
# Two files dropped on a window that already shows a picture: both go to new
# processes, and a path with blanks (in a folder and in the file name) reaches
# its process as one argument, so that window's title shows the whole path.
source "$(dirname "$0")/lib.sh"
e2e_begin

shown="$E2E_TMP/shown.bmp"; e2e_image "$shown" 260 200 gray
blank="$E2E_TMP/my pictures/a b.bmp"; e2e_image "$blank" 300 220 orange
plain="$E2E_TMP/plain.png"; e2e_image "$plain" 280 240 teal

e2e_show "$shown"
first=$E2E_PID win=$E2E_WIN
read -r x y <<<"$(e2e_view_centre "$(e2e_frame_line "$win")")"
e2e_drop "$win" "$x" "$y" "$blank" "$plain"

win_blank=$(e2e_wait_title "$(e2e_title_of "$blank")") \
    || { e2e_new_frames >&2; e2e_fail "no window shows '$(e2e_winpath "$blank")'"; }
win_plain=$(e2e_wait_title "$(e2e_title_of "$plain")") || e2e_fail "no window shows the second file"
[ "$(xdotool getwindowpid "$win_blank")" != "$first" ] && [ "$(xdotool getwindowpid "$win_plain")" != "$first" ] \
    || e2e_fail "a dropped file was taken by the window that already showed a picture"
[ "$(xdotool getwindowname "$win")" = "$(e2e_title_of "$shown")" ] \
    || e2e_fail "the first window now shows '$(xdotool getwindowname "$win")'"

# A path split at its blanks would have started further processes (and
# error messages) for the pieces, one after the other with the others: they
# would be running before the window of the last file showed.
count=$(e2e_new_pids | wc -l)
[ "$count" -eq 3 ] || { e2e_new_frames >&2; e2e_fail "$count kep.exe processes, expected 3"; }
