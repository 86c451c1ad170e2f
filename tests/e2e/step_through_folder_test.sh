#!/usr/bin/env bash
# The step keys and the mouse's side buttons go through the pictures of the
# shown picture's folder in the order Explorer shows (img9 before img10), only
# the types File Open lists, wrapping around at both ends; a broken file on
# the way is reported and the next key goes on from it.
source "$(dirname "$0")/lib.sh"
e2e_begin

dir="$E2E_TMP/pics"
e2e_image "$dir/img1.png" 200 150 red
e2e_image "$dir/img2.bmp" 210 150 green
e2e_image "$dir/img9.png" 220 150 blue
e2e_image "$dir/img10.jpg" 230 150 yellow
echo "not a picture" >"$dir/img3.gif"
e2e_image "$dir/img5.txt.png" 240 150 white   # listed: its type is PNG
e2e_image "$dir/img4.png" 250 150 black; mv "$dir/img4.png" "$dir/img4.xyz"   # not listed

e2e_show "$dir/img9.png"
pid=$E2E_PID win=$E2E_WIN

focus() {
    e2e_ctl foreground "$win" || e2e_fail "the window cannot be brought to the front"
    xdotool windowfocus "$win"
}
# Presses a key (or clicks a mouse button over the picture) and waits for
# the title of the picture that follows.
expect_shows() {
    e2e_wait_title "$(e2e_title_of "$dir/$1")" >/dev/null \
        || e2e_fail "after $2 the window shows '$(xdotool getwindowname "$win")', not $1"
}
step() {
    focus
    xdotool key "$1"
    expect_shows "$2" "$1"
}
message_box() {
    local id
    for id in $(xdotool search --all --onlyvisible --pid "$pid" 2>/dev/null); do
        [ "$id" != "$win" ] && { box=$id; return 0; }
    done
    return 1
}

step Right img10.jpg
step space img1.png            # wrapped around
step Next img2.bmp
focus
xdotool key Down               # img3.gif: broken
box=
e2e_wait_for message_box || e2e_fail "no message box for the broken file"
[ "$(xdotool getwindowname "$win")" = KEP ] || e2e_fail "the window still shows '$(xdotool getwindowname "$win")'"
e2e_settle
xdotool windowfocus --sync "$box"
xdotool key Return
box_gone() { ! message_box; }
e2e_wait_for box_gone || e2e_fail "the message box stayed"
step Right img5.txt.png        # on from the broken file
step Right img9.png
step End img10.jpg
step Home img1.png
step Left img10.jpg            # wrapped around backwards
step BackSpace img9.png

read -r x y <<<"$(e2e_view_centre "$(e2e_frame_line "$win")")"
e2e_mouse_to "$x" "$y"
xdotool click 8                # back
expect_shows img5.txt.png "the back button"
xdotool click 9                # forward
expect_shows img9.png "the forward button"
fitted() { [ "$(e2e_view_size "$(e2e_frame_line "$win")")" = 220x150 ]; }
e2e_wait_for fitted || e2e_fail "the view is $(e2e_view_size "$(e2e_frame_line "$win")"), not fitted to 220x150"
