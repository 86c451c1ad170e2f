#!/usr/bin/env bash
# The mouse wheel over the picture steps the zoom through the percent items,
# out of the free mode into the next item, refitting the window and saving
# as the items do; with Ctrl it steps the translucency.
source "$(dirname "$0")/lib.sh"
e2e_begin

pic="$E2E_TMP/wide.png"; e2e_image "$pic" 400 300 teal
e2e_show "$pic"
win=$E2E_WIN

# The integers of the stored settings: version frameless value mode status alpha ...
stored() { od -An -v -t d4 "$(e2e_settings_dir)/wndset.def" 2>/dev/null | tr -s ' \n' ' '; }
field() { stored | awk -v n="$1" '{ print $(n + 1) }'; }
size_is() { [ "$(e2e_view_size "$(e2e_frame_line "$win")")" = "$1" ]; }
# wheel BUTTON [MODIFIER]: one notch over the middle of the picture.
wheel() {
    e2e_ctl foreground "$win" || e2e_fail "the window cannot be brought to the front"
    xdotool windowfocus "$win"
    read -r x y <<<"$(e2e_view_centre "$(e2e_frame_line "$win")")"
    e2e_mouse_to "$x" "$y"
    if [ -n "${2:-}" ]; then
        xdotool keydown "$2" click "$1" keyup "$2"
    else
        xdotool click "$1"
    fi
}

wheel 5                                   # towards the user: smaller
e2e_wait_for size_is 360x270 || e2e_fail "one notch down from 100 % gave $(e2e_view_size "$(e2e_frame_line "$win")")"
[ "$(field 3)" = 1 ] && [ "$(field 2)" = 90 ] || e2e_fail "saved: $(stored)"
wheel 5
e2e_wait_for size_is 320x240 || e2e_fail "two notches down gave $(e2e_view_size "$(e2e_frame_line "$win")")"
wheel 4
e2e_wait_for size_is 360x270 || e2e_fail "one notch up gave $(e2e_view_size "$(e2e_frame_line "$win")")"

wheel 5 ctrl
e2e_wait_for test "$(field 5)" = 90 || e2e_fail "Ctrl and the wheel did not save 90 % opacity: $(stored)"
[ "$(field 2)" = 90 ] || e2e_fail "Ctrl and the wheel changed the zoom: $(stored)"
size_is 360x270 || e2e_fail "Ctrl and the wheel resized the view"
