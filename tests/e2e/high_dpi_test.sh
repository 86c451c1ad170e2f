#!/usr/bin/env bash
# A display of 150 % (144 dots per inch): the window of a 400 x 300 picture
# at 100 % has a 400 x 300 view, the frame's X window is as large as the
# frame the program sees (nothing stretched), and the view shows the
# picture's pixels one to one. The raised DPI lives in a Wine prefix of this
# test's own, so the other tests, which share their prefix, keep 96.
source "$(dirname "$0")/lib.sh"
source "$KEP_SOURCE_DIR/tools/kep-env.sh"

E2E_PREFIX="$KEP_BUILD_DIR/wineprefix-dpi144"
kep_prefix "$E2E_PREFIX" unmanaged   # made once, about 15 s
e2e_begin
for key in 'HKCU\Control Panel\Desktop' 'HKLM\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts'; do
    "$E2E_WINE64" reg add "$key" /v LogPixels /t REG_DWORD /d 144 /f </dev/null >/dev/null 2>&1 \
        || e2e_fail "cannot set LogPixels under $key"
done
dpi=$(e2e_ctl dpi | tr -d '\r')
[ "$dpi" = 144 ] || e2e_fail "the prefix runs at $dpi dots per inch, not 144"

ID_ZOOM_100=32795
picture="$E2E_TMP/framed.png"
# Teal with a one-pixel red border: a stretched or shifted view loses an edge.
convert -size 398x298 xc:teal -bordercolor red -border 1 "$picture" || e2e_fail "cannot make the picture"

e2e_show "$picture"
win=$E2E_WIN
e2e_post "$win" $ID_ZOOM_100
# The frame's line is kept from the check that saw the view fitted (a later
# listing under load may come back empty).
line=""
fitted() { line=$(e2e_frame_line "$win"); [ "$(e2e_view_size "$line")" = 400x300 ]; }
e2e_wait_for fitted || e2e_fail "the view is $(e2e_view_size "$line"), not 400x300 at 100 %"

read -r wl wt wr wb vl vt <<<"$(echo "$line" | awk '{ print $5, $6, $7, $8, $9, $10 }')"
geometry=$(xdotool getwindowgeometry "$win" | awk '/Geometry:/ { print $2 }')
[ "$geometry" = "$((wr - wl))x$((wb - wt))" ] \
    || e2e_fail "the X window is $geometry, the frame $((wr - wl))x$((wb - wt))"

shot="$E2E_TMP/view.png"
xwd -id "$win" | convert xwd:- -crop "400x300+$((vl - wl))+$((vt - wt))" +repage "$shot" \
    || e2e_fail "cannot capture the window"
differing=$(compare -metric AE "$picture" "$shot" null: 2>&1)
[ "$differing" = 0 ] || { cp "$shot" "$KEP_BUILD_DIR/high_dpi_view.png"; e2e_fail "$differing pixels of the view differ from the picture"; }
e2e_log "frame $((wr - wl))x$((wb - wt)) around a 400x300 view at 144 dpi"
