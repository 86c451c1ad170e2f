#!/usr/bin/env bash
# A double-click on the picture closes its window and ends its process
# normally; a single click leaves it open.
source "$(dirname "$0")/lib.sh"
e2e_begin

pic="$E2E_TMP/pic.png"; e2e_image "$pic" 300 220 maroon

e2e_show "$pic"
pid=$E2E_PID win=$E2E_WIN
read -r x y <<<"$(e2e_view_centre "$(e2e_frame_line "$win")")"
e2e_mouse_to "$x" "$y"

xdotool click 1
# Longer than the double-click time, so that the next clicks make a pair of their own.
sleep 1
e2e_alive "$pid" || e2e_fail "a single click ended the process"
[ -n "$(e2e_frame_line "$win")" ] || e2e_fail "a single click closed the window"

xdotool click --repeat 2 --delay 80 1
e2e_wait_exit "$pid" || e2e_fail "the process still runs after the double-click"
[ "$E2E_STATUS" -eq 0 ] || e2e_fail "the process ended with status $E2E_STATUS"
