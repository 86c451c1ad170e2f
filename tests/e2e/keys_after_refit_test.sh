#!/usr/bin/env bash
# A refit (a zoom chosen from the menu, a wheel step, a turn, the frameless
# switch) hides and shows the window: the window that had the keyboard keeps
# it, so Right steps on without a click, and a window refitted in the
# background does not take the keyboard from the one in front.
source "$(dirname "$0")/lib.sh"
e2e_begin

dir="$E2E_TMP/pics"
for i in 1 2 3 4 5 6; do
    e2e_image "$dir/img$i.png" $((390 + 10 * i)) 300 "rgb($((40 * i)),90,160)"
done
other="$E2E_TMP/other/other.png"
e2e_image "$other" 300 200 teal

e2e_show "$dir/img1.png"
win=$E2E_WIN
# The one time the test hands the window the keyboard: every key after this
# reaches it only if no refit took the keyboard away.
e2e_ctl foreground "$win" || e2e_fail "the window cannot be brought to the front"
xdotool windowfocus "$win"

# The integers of the stored settings: version frameless value mode ...
stored() { od -An -v -t d4 "$(e2e_settings_dir)/wndset.def" 2>/dev/null | tr -s ' \n' ' '; }
field_is() { [ "$(stored | awk -v n="$1" '{ print $(n + 1) }')" = "$2" ]; }
view_size() { e2e_view_size "$(e2e_frame_line "$1")"; }
size_is() { [ "$(view_size "$1")" = "$2" ]; }
# Right, typed at whatever window has the keyboard, shows picture $1.
right_shows() {
    xdotool key Right
    e2e_wait_title "$(e2e_title_of "$dir/$1")" >/dev/null \
        || e2e_fail "after $2 Right left the window at '$(xdotool getwindowname "$win")', not $1"
}

# 操作 → 倍率 → 100% from the keyboard: Alt+O highlights 倍率, Right opens
# its cascade on 任意, Up goes round past the fixed sizes to 100%.
xdotool key alt+o Right Up Up Up Up Return
e2e_wait_for field_is 3 1 || e2e_fail "100 % was not chosen: $(stored)"
right_shows img2.png "100 % from the menu"

# One wheel notch towards the user: 90 %.
read -r x y <<<"$(e2e_view_centre "$(e2e_frame_line "$win")")"
e2e_mouse_to "$x" "$y"
xdotool click 5
e2e_wait_for size_is "$win" 369x270 || e2e_fail "the wheel step gave $(view_size "$win")"
right_shows img3.png "a wheel step"

# 操作 → 回転／反転 (the third item) → 右90度回転 (R).
xdotool key alt+o Down Down Right r
e2e_wait_for size_is "$win" 270x378 || e2e_fail "the turn gave $(view_size "$win")"
right_shows img4.png "右90度回転"

# 操作 → フレームを表示しない, the sixth item from the bottom.
xdotool key alt+o Up Up Up Up Up Up Return
e2e_wait_for field_is 1 1 || e2e_fail "the frameless look was not chosen: $(stored)"
right_shows img5.png "the frameless switch"

# A second window refitted behind this one leaves the keyboard here.
e2e_show "$other"
other_win=$E2E_WIN
e2e_ctl foreground "$win" || e2e_fail "the first window cannot be brought back to the front"
xdotool windowfocus "$win"
e2e_post "$other_win" 32790   # 50 %
e2e_wait_for size_is "$other_win" 150x100 || e2e_fail "the window behind was not refitted"
right_shows img6.png "a refit of the window behind"
