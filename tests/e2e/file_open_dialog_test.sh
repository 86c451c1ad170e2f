#!/usr/bin/env bash
# File Open through the real open-file dialog: the path typed into the file
# name field is loaded into this window, which fits itself around the new
# picture; no other process is started. A name outside the ANSI code page
# (é) chosen there opens too, by its short (8.3) form.
source "$(dirname "$0")/lib.sh"
e2e_begin

ID_FILE_OPEN=57601
first="$E2E_TMP/first.bmp"; e2e_image "$first" 320 240 olive
chosen="$E2E_TMP/chosen.png"; e2e_image "$chosen" 260 200 purple
accented="$E2E_TMP/café.png"; e2e_image "$accented" 280 210 teal

e2e_show "$first"
pid=$E2E_PID win=$E2E_WIN

# The dialog: the process's other visible window.
dialog_of_kep() {
    local id
    for id in $(xdotool search --all --onlyvisible --pid "$pid" 2>/dev/null); do
        [ "$id" != "$win" ] && { dialog=$id; return 0; }
    done
    return 1
}
dialog_gone() { ! dialog_of_kep; }

# Opens the dialog and types the Linux file $1 into it.
choose_in_dialog() {
    e2e_post "$win" $ID_FILE_OPEN
    dialog=
    e2e_wait_for dialog_of_kep || e2e_fail "the open-file dialog did not appear"
    e2e_log "dialog: '$(xdotool getwindowname "$dialog")'"
    e2e_settle
    xdotool windowfocus --sync "$dialog"
    sleep 0.2
    xdotool type --delay 15 "$(e2e_winpath "$1")"
    sleep 0.2
    xdotool key Return
}

# $1 = WxH: the view holds the picture's size.
fitted() { [ "$(e2e_view_size "$(e2e_frame_line "$win")")" = "$1" ]; }

choose_in_dialog "$chosen"
e2e_wait_title "$(e2e_title_of "$chosen")" >/dev/null || e2e_fail "the chosen file was not loaded"
[ "$(xdotool getwindowpid "$win")" = "$pid" ] && [ "$(xdotool getwindowname "$win")" = "$(e2e_title_of "$chosen")" ] \
    || e2e_fail "the chosen file is not shown in the window that asked for it"
e2e_wait_for dialog_gone || e2e_fail "the dialog stayed open"
e2e_wait_for fitted 260x200 || e2e_fail "the view is $(e2e_view_size "$(e2e_frame_line "$win")"), not fitted to 260x200"

# café.png: shown by its short name, no '?' where é was, no message box.
choose_in_dialog "$accented"
short_title_re="^KEP - $(e2e_regex_quote "$(e2e_winpath "$E2E_TMP")")\\\\[^\\\\?]+\$"
e2e_wait_window --pid "$pid" --name "$short_title_re" >/dev/null \
    || e2e_fail "café.png was not shown by its short name (title '$(xdotool getwindowname "$win")')"
e2e_wait_for dialog_gone || e2e_fail "a dialog or message box stayed open after choosing café.png"
e2e_wait_for fitted 280x210 || e2e_fail "the view is $(e2e_view_size "$(e2e_frame_line "$win")"), not fitted to 280x210"
e2e_log "café.png shown as: $(xdotool getwindowname "$win")"

count=$(e2e_new_frames | wc -l)
[ "$count" -eq 1 ] || { e2e_new_frames >&2; e2e_fail "$count KEP frames, expected 1"; }
