#!/usr/bin/env bash
# Dragging the picture with the mouse: in a framed window it leaves the window
# where it is; once the frame is hidden (frameless mode) the window follows
# the mouse by exactly the mouse's offset, and stays there when let go.
source "$(dirname "$0")/lib.sh"
e2e_begin

ID_HIDE_FRAME=32811
pic="$E2E_TMP/pic.bmp"; e2e_image "$pic" 320 240 navy

e2e_show "$pic"
win=$E2E_WIN

# press_and_move X Y DX DY: presses the left button at X,Y and moves it in steps by
# DX,DY, leaving it down. The window's move loop starts from a message the
# view posts: the press gets time to arrive before the mouse moves.
press_and_move() {
    local x=$1 y=$2 dx=$3 dy=$4 step
    e2e_mouse_to "$x" "$y"
    e2e_mouse_down
    sleep 0.3
    for step in 1 2 3 4; do
        xdotool mousemove $((x + dx * step / 4)) $((y + dy * step / 4))
        sleep 0.1
    done
}

# The X window's position, as the user sees it.
x_pos() {
    local X Y WINDOW WIDTH HEIGHT SCREEN
    eval "$(xdotool getwindowgeometry --shell "$win")"
    echo "$X $Y"
}

# Framed: the press goes to the picture only.
framed=$(e2e_frame_line "$win")
read -r x y <<<"$(e2e_view_centre "$framed")"
press_and_move "$x" "$y" 90 70
sleep 0.5
e2e_mouse_up
sleep 0.3
[ "$(e2e_frame_pos "$(e2e_frame_line "$win")")" = "$(e2e_frame_pos "$framed")" ] \
    || e2e_fail "a framed window moved with the mouse: $(e2e_frame_line "$win")"

e2e_post "$win" $ID_HIDE_FRAME
frameless_now() { [ "$(e2e_frame_line "$win" | cut -d' ' -f5-8)" != "$(echo "$framed" | cut -d' ' -f5-8)" ]; }
e2e_wait_for frameless_now || e2e_fail "the frame did not go away"
e2e_settle

before=$(e2e_frame_line "$win")
read -r left top <<<"$(e2e_frame_pos "$before")"
read -r x y <<<"$(e2e_view_centre "$before")"
dx=130 dy=-40
want="$((left + dx)) $((top + dy))"
press_and_move "$x" "$y" $dx $dy
# The window follows while the button is down. Should the move loop have
# started after the last step, a small wiggle gives it the pointer again.
arrived_or_wiggle() {
    [ "$(x_pos)" = "$want" ] && return 0
    sleep 0.3
    xdotool mousemove $((x + dx + 1)) $((y + dy))
    sleep 0.1
    xdotool mousemove $((x + dx)) $((y + dy))
    return 1
}
e2e_wait_for arrived_or_wiggle
sleep 0.1
e2e_mouse_up
sleep 0.3
[ "$(x_pos)" = "$want" ] || e2e_fail "the window moved from $left,$top to $(x_pos), expected $want (the mouse moved by $dx,$dy)"
after=$(e2e_frame_line "$win")
[ "$(e2e_frame_pos "$after")" = "$want" ] || e2e_fail "the program puts its window at $(e2e_frame_pos "$after"), expected $want"
[ "$(e2e_view_size "$after")" = "$(e2e_view_size "$before")" ] || e2e_fail "the window changed its size while moving"
