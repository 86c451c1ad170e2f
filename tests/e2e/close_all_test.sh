#!/usr/bin/env bash
# Ctrl+Z ("全てのKEPを閉じる") in one of three windows, each in its own
# process, closes all three, and every process ends normally.
source "$(dirname "$0")/lib.sh"
e2e_begin

a="$E2E_TMP/pics/a.bmp"; e2e_image "$a" 320 240 red
b="$E2E_TMP/pics/b.bmp"; e2e_image "$b" 300 200 lime
c="$E2E_TMP/pics/c.bmp"; e2e_image "$c" 280 260 blue

# The first process shows a and starts one process each for b and c.
e2e_start_kep "$(e2e_winpath "$a")" "$(e2e_winpath "$b")" "$(e2e_winpath "$c")"
first=$E2E_PID
e2e_wait_title "$(e2e_title_of "$a")" >/dev/null || e2e_fail "no window shows a"
win_b=$(e2e_wait_title "$(e2e_title_of "$b")") || e2e_fail "no window shows b"
e2e_wait_title "$(e2e_title_of "$c")" >/dev/null || e2e_fail "no window shows c"
[ "$(e2e_new_frames | wc -l)" -eq 3 ] || { e2e_new_frames >&2; e2e_fail "expected three KEP frames"; }
e2e_settle

# The keys go to b's window, which belongs to one of the started processes.
[ "$(xdotool getwindowpid "$win_b")" != "$first" ] || e2e_fail "b is shown by the first process"
e2e_ctl foreground "$win_b" || e2e_fail "b's window cannot be brought to the front"
xdotool windowfocus "$win_b"
sleep 0.3
xdotool key ctrl+z

no_frames_left() { [ -z "$(e2e_new_frames)" ]; }
e2e_wait_for no_frames_left || { e2e_new_frames >&2; e2e_fail "windows are still open after Ctrl+Z"; }
no_processes_left() { [ -z "$(e2e_new_pids)" ]; }
e2e_wait_for no_processes_left || e2e_fail "kep.exe processes still run after their windows closed"
e2e_wait_exit "$first" || e2e_fail "the first process still runs"
[ "$E2E_STATUS" -eq 0 ] || e2e_fail "the first process ended with status $E2E_STATUS"
