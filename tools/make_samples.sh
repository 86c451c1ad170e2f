#!/bin/sh
# Makes the sample pictures in samples/ with ImageMagick.
#
#   sample.png  320 x 240, sky gradient, sun, hill, "KEP" text; asymmetric,
#               with a solid 16 x 16 marker in each corner so that a turned or
#               mirrored display can be told apart by its corner colours:
#               top-left red, top-right lime, bottom-left blue, bottom-right
#               yellow (pure colours, stored as 24-bit PNG).
#   anim.gif    160 x 120, three full opaque frames, delays 10, 20, 30
#               (hundredths of a second), loops forever, disposal "none".
#               Backgrounds red, lime, blue; a white disc moves left to right
#               (centre x 40, 80, 120). No antialiasing, so the frame colours
#               stay exact.
#   photo.jpg   240 x 180 baseline JPEG: sky, sun, mountains, seeded plasma meadow.
#
# Usage: tools/make_samples.sh [output folder]   (default: samples/ of the repo)
set -eu

here=$(cd "$(dirname "$0")" && pwd)
out=${1:-$here/../samples}
mkdir -p "$out"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# Any scalable sans font will do for the lettering.
font=$(fc-match -f '%{file}' 'DejaVu Sans:bold' 2>/dev/null || true)
if [ -n "$font" ] && [ -f "$font" ]; then
    fontopt="-font $font"
else
    fontopt=""
fi

# No time stamps or other metadata, so the files only change when the pictures do.
png_opts="-strip -define png:exclude-chunks=date,time"

# --- sample.png -------------------------------------------------------------
# shellcheck disable=SC2086
convert -size 320x240 gradient:'#5b8fd6'-'#d8ecff' \
    -fill '#ffd23c' -stroke '#e0a800' -strokewidth 2 -draw 'circle 250,60 250,88' \
    -stroke none -fill '#3f8f4a' -draw 'ellipse 90,260 200,90 180,360' \
    -fill '#2d6e37' -draw 'polygon 170,240 230,150 300,240' \
    -fill '#7a4a1e' -draw 'rectangle 60,150 66,190' \
    -fill '#2f7d3a' -draw 'circle 63,140 63,118' \
    $fontopt -pointsize 56 -fill white -stroke '#203050' -strokewidth 2 \
    -annotate +24+78 'KEP' \
    -stroke none \
    -fill '#ff0000' -draw 'rectangle 0,0 15,15' \
    -fill '#00ff00' -draw 'rectangle 304,0 319,15' \
    -fill '#0000ff' -draw 'rectangle 0,224 15,239' \
    -fill '#ffff00' -draw 'rectangle 304,224 319,239' \
    $png_opts PNG24:"$out/sample.png"

# --- anim.gif ---------------------------------------------------------------
i=0
for frame in '#ff0000 40' '#00ff00 80' '#0000ff 120'; do
    set -- $frame
    convert -size 160x120 xc:"$1" +antialias \
        -fill white -draw "circle $2,60 $2,84" \
        -fill black -draw "rectangle 4,4 $((4 + 12 * (i + 1))),12" \
        "$tmp/f$i.png"
    i=$((i + 1))
done
# ImageMagick puts a private "ImageMagick" application extension (gamma)
# between each frame's control extension and its image unless the gamma is
# exactly the single-precision 1/2.2. Some GIF decoders (Wine's) then lose the
# delays of every frame but the first, so keep the file free of it.
convert -dispose none -loop 0 \
    -delay 10 "$tmp/f0.png" -delay 20 "$tmp/f1.png" -delay 30 "$tmp/f2.png" \
    -alpha off -set gamma 0.454545438289642333984375 -strip "$out/anim.gif"
if grep -q ImageMagick "$out/anim.gif"; then
    echo "make_samples: anim.gif still carries an ImageMagick extension" >&2
    exit 1
fi
delays=$(identify -format '%T ' "$out/anim.gif")
if [ "$delays" != "10 20 30 " ]; then
    echo "make_samples: anim.gif has delays '$delays', expected 10 20 30" >&2
    exit 1
fi

# --- photo.jpg --------------------------------------------------------------
convert -size 240x110 gradient:'#6fa3dc'-'#e6f0f8' "$tmp/sky.png"
convert -size 240x70 -seed 7 plasma:'#6c9a3c'-'#2e5a20' -blur 0x1 "$tmp/ground.png"
convert "$tmp/sky.png" "$tmp/ground.png" -append \
    -fill '#fff6c8' -draw 'circle 185,38 185,54' \
    -fill '#4a6e8a' -draw 'polygon 0,110 50,70 95,100 140,62 200,110' \
    -blur 0x0.6 \
    -strip -interlace none -sampling-factor 2x2 -quality 85 "$out/photo.jpg"

# --- pages.tif: two pages (a multi-page picture is not an animation) ------
convert -size 120x90 xc:'#c03030' -fill white -draw 'rectangle 10,10 40,40' "$tmp/p1.png"
convert -size 120x90 xc:'#3030c0' -fill white -draw 'rectangle 70,40 100,70' "$tmp/p2.png"
convert "$tmp/p1.png" "$tmp/p2.png" -compress lzw "$out/pages.tif"

ls -l "$out/sample.png" "$out/anim.gif" "$out/photo.jpg" "$out/pages.tif"
