#!/usr/bin/env bash
# File Open through the real open-file dialog: the path typed into the file
# name field is loaded into this window, which fits itself around the new
# picture; no other process is started.
source "$(dirname "$0")/lib.sh"
e2e_begin

ID_FILE_OPEN=57601
first="$E2E_TMP/first.bmp"; e2e_image "$first" 320 240 olive
chosen="$E2E_TMP/chosen.png"; e2e_image "$chosen" 260 200 purple

e2e_show "$first"
pid=$E2E_PID win=$E2E_WIN

e2e_post "$win" $ID_FILE_OPEN
# The dialog: the process's other visible window.
dialog_of_kep() {
    local id
    for id in $(xdotool search --all --onlyvisible --pid "$pid" 2>/dev/null); do
        [ "$id" != "$win" ] && { dialog=$id; return 0; }
    done
    return 1
}
dialog=
e2e_wait_for dialog_of_kep || e2e_fail "the open-file dialog did not appear"
e2e_log "dialog: '$(xdotool getwindowname "$dialog")'"
e2e_settle
xdotool windowfocus --sync "$dialog"
sleep 0.2
xdotool type --delay 15 "$(e2e_winpath "$chosen")"
sleep 0.2
xdotool key Return

e2e_wait_title "$(e2e_title_of "$chosen")" >/dev/null || e2e_fail "the chosen file was not loaded"
[ "$(xdotool getwindowpid "$win")" = "$pid" ] && [ "$(xdotool getwindowname "$win")" = "$(e2e_title_of "$chosen")" ] \
    || e2e_fail "the chosen file is not shown in the window that asked for it"
dialog_gone() { ! dialog_of_kep; }
e2e_wait_for dialog_gone || e2e_fail "the dialog stayed open"
fitted() { [ "$(e2e_view_size "$(e2e_frame_line "$win")")" = 260x200 ]; }
e2e_wait_for fitted || e2e_fail "the view is $(e2e_view_size "$(e2e_frame_line "$win")"), not fitted to 260x200"
count=$(e2e_new_frames | wc -l)
[ "$count" -eq 1 ] || { e2e_new_frames >&2; e2e_fail "$count KEP frames, expected 1"; }
