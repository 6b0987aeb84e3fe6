#!/usr/bin/env bash
# Makes the pictures the end-to-end tests load through the Load button, with independent
# encoders, each 141x226 (the photo slot's size, so it is drawn pixel for pixel), and next
# to each the pixels it must show as a binary PPM (FILE.ref.ppm). Icons and cursors are one
# solid colour, which the slot shows stretched.
#   make_e2e_fixtures.sh OUTDIR
set -euo pipefail
OUT=$1
mkdir -p "$OUT"
cd "$OUT"
TMP=$(mktemp -d)
trap 'rm -rf "$TMP"' EXIT

# Overwrites bytes of a file at an offset: patch FILE OFFSET HEX
patch() { printf '%s' "$3" | xxd -r -p | dd of="$1" bs=1 seek="$2" conv=notrunc status=none; }
ref() { convert "$1" -alpha off -depth 8 "ppm:$1.ref.ppm"; }

convert -size 141x226 -seed 5 plasma:fractal -depth 8 "$TMP/src.ppm"
convert "$TMP/src.ppm" -monochrome -depth 8 "$TMP/src.pbm"
convert "$TMP/src.ppm" +dither -colors 16 -depth 8 "$TMP/src16.ppm"
convert "$TMP/src.ppm" +dither -colors 200 -depth 8 "$TMP/src200.ppm"

ppmtobmp -bpp 1 "$TMP/src.pbm" >bmp1.bmp 2>/dev/null && ref bmp1.bmp
ppmtobmp -bpp 4 "$TMP/src16.ppm" >bmp4.bmp 2>/dev/null && ref bmp4.bmp
ppmtobmp -bpp 8 "$TMP/src200.ppm" >bmp8.bmp 2>/dev/null && ref bmp8.bmp
convert "$TMP/src.ppm" -type TrueColor -compress None "BMP3:bmp24.bmp" && ref bmp24.bmp
convert "$TMP/src.ppm" -alpha set -define bmp3:alpha=true -compress None "BMP3:bmp32.bmp" && ref bmp32.bmp
cjpeg -quality 90 "$TMP/src.ppm" >baseline.jpg && djpeg -pnm baseline.jpg >baseline.jpg.ref.ppm
cjpeg -quality 90 -progressive "$TMP/src.ppm" >progressive.jpg && djpeg -pnm progressive.jpg >progressive.jpg.ref.ppm
convert "$TMP/src200.ppm" "GIF:still.gif" && ref still.gif
ppmtopcx -8bit "$TMP/src200.ppm" >pcx8.pcx 2>/dev/null && ref pcx8.pcx
# The black-and-white kind is recognised as version 3; its reference is the source itself
# (a reader that takes version 3 for the EGA palette would show other colours).
ppmtopcx "$TMP/src.pbm" >pcx1.pcx 2>/dev/null && patch pcx1.pcx 1 03
convert "$TMP/src.pbm" -depth 8 ppm:pcx1.pcx.ref.ppm

# One solid colour in an icon and in a cursor (ImageMagick writes icons; a cursor is an
# icon whose type word is 2).
convert -size 32x32 xc:'rgb(20,120,220)' -alpha off -type TrueColor "$TMP/blue.bmp"
convert "$TMP/blue.bmp" icon.ico
cp icon.ico cursor.cur && patch cursor.cur 2 0200
convert -size 141x226 xc:'rgb(20,120,220)' -depth 8 ppm:icon.ico.ref.ppm
cp icon.ico.ref.ppm cursor.cur.ref.ppm

# Files that are no picture.
printf 'This is no picture, just a few words of text.\r\n' >text.txt
: >empty.bin
printf 'GIF89' >five.bin

# A large photo for the timing tests: 6000x4000.
convert -size 4000x6000 gradient:'rgb(250,120,30)'-'rgb(20,60,200)' -rotate 90 -depth 8 "$TMP/large.ppm"
cjpeg -quality 90 "$TMP/large.ppm" >large.jpg

# An animation of three solid frames, 200 ms each, that asks to be played twice only; and
# a GIF of one image.
convert -delay 20 -size 141x226 xc:'rgb(255,0,0)' xc:'rgb(0,255,0)' xc:'rgb(0,0,255)' -loop 2 anim.gif
convert -size 141x226 xc:'rgb(0,128,128)' single.gif
