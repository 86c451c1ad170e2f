#!/usr/bin/env bash
# Writes the pictures of the formats only the system's imaging codecs read:
#   tests/make_codec_samples.sh OUTPUT_FOLDER
# source.png (64 x 48: four coloured quarters) and the same picture as DDS
# (uncompressed), TGA, JPEG XR (lossless), WebP, HEIC and AVIF. The output is
# the same on every run.
set -euo pipefail
out=$1
mkdir -p "$out"
cd "$out"
convert -size 64x48 xc:white \
    -fill '#FF0000' -draw 'rectangle 0,0 31,23' -fill '#00FF00' -draw 'rectangle 32,0 63,23' \
    -fill '#0000FF' -draw 'rectangle 0,24 31,47' -fill '#C06030' -draw 'rectangle 32,24 63,47' \
    -strip PNG24:source.png
# A photo-like 24-bit PNG of an odd size, for the decoding of opaque stills.
convert -size 301x203 -seed 7 plasma: -strip PNG24:plasma.png
convert source.png -define dds:compression=none -strip source.dds
# ImageMagick writes the rows top-down but marks the file bottom-up unless
# the orientation is given.
convert source.png -orient TopLeft -strip source.tga
convert source.png -strip BMP3:source-jxr-input.bmp
JxrEncApp -i source-jxr-input.bmp -o source.jxr -q 1 >/dev/null
rm -f source-jxr-input.bmp
convert source.png -define webp:lossless=true -strip source.webp
convert source.png -strip source.heic 2>/dev/null || true
convert source.png -strip source.avif 2>/dev/null || true
