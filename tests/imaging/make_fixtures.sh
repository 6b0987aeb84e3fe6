#!/usr/bin/env bash
# Makes the picture fixtures for the imaging tests in OUTDIR: files written by independent
# encoders (ImageMagick, netpbm, cjpeg), a few of them then altered byte-wise where no
# encoder writes the case (top-down rows, a short colour table, a cursor), and beside each
# picture NAME.ref.ppm, the reference decoder's output (ImageMagick, netpbm or djpeg).
# The tests read the folder named by VARNELT_FIXTURES.
#
#   make_fixtures.sh OUTDIR
#   make_fixtures.sh --large OUTDIR   the benchmark files instead (4000x3000 BMPs, a photo)
set -euo pipefail

LARGE=0
if [ "${1:-}" = "--large" ]; then
  LARGE=1
  shift
fi
if [ $# -ne 1 ]; then
  echo "usage: $0 [--large] OUTDIR" >&2
  exit 2
fi
OUT=$1
mkdir -p "$OUT"
cd "$OUT"
TMP=$(mktemp -d)
trap 'rm -rf "$TMP"' EXIT

for tool in convert ppmtobmp ppmtopcx pcxtoppm cjpeg djpeg pamcut python3; do
  command -v "$tool" >/dev/null || { echo "make_fixtures.sh: $tool is missing" >&2; exit 1; }
done

# Reference decodes, always as 8-bit binary PPM.
im_ref() { convert "$1" -alpha off -depth 8 "ppm:$1.ref.ppm"; }
pcx_ref() { pcxtoppm "$1" >"$1.ref.ppm" 2>/dev/null; }
# djpeg -rgb gives greyscale files as PPM too; CMYK ones it converts to RGB by itself.
# djpeg reports warnings (a cut-off file) with exit status 2; its output is still complete.
djpeg_ref() {
  local status=0
  djpeg "${@:2}" "$1" >"$1.ref.ppm" 2>/dev/null || status=$?
  [ $status -eq 0 ] || [ $status -eq 2 ]
}

# Byte-wise alterations, in Python for exactness.
py() { python3 - "$@"; }

# BMP: rows bottom-up -> top-down (negative height), keeping each row's padding.
bmp_top_down() {
  py "$1" "$2" <<'EOF'
import struct, sys
d = bytearray(open(sys.argv[1], 'rb').read())
off, = struct.unpack_from('<I', d, 10)
w, h = struct.unpack_from('<ii', d, 18)
bits, = struct.unpack_from('<H', d, 28)
stride = ((w * bits + 31) // 32) * 4
rows = [d[off + i * stride: off + (i + 1) * stride] for i in range(h)]
d[off:off + h * stride] = b''.join(reversed(rows))
struct.pack_into('<i', d, 22, -h)
open(sys.argv[2], 'wb').write(d)
EOF
}

# BMP of 8 bits: cut the colour table to N entries (biClrUsed = N).
bmp_short_table() {
  py "$1" "$2" "$3" <<'EOF'
import struct, sys
d = open(sys.argv[1], 'rb').read()
n = int(sys.argv[3])
off, = struct.unpack_from('<I', d, 10)
hs, = struct.unpack_from('<I', d, 14)
table = 14 + hs
out = bytearray(d[:table] + d[table:table + 4 * n] + d[off:])
struct.pack_into('<I', out, 10, table + 4 * n)
struct.pack_into('<I', out, 2, len(out))
struct.pack_into('<I', out, 46, n)
open(sys.argv[2], 'wb').write(out)
EOF
}

# Sets bytes at an offset: patch FILE OFFSET HEXBYTES
patch() {
  py "$1" "$2" "$3" <<'EOF'
import sys
d = bytearray(open(sys.argv[1], 'rb').read())
at = int(sys.argv[2], 0)
b = bytes.fromhex(sys.argv[3])
d[at:at + len(b)] = b
open(sys.argv[1], 'wb').write(d)
EOF
}

# JPEG: new frame size in the SOF0 marker (the data then end long before the picture).
jpeg_resize() {
  py "$1" "$2" "$3" "$4" <<'EOF'
import struct, sys
d = bytearray(open(sys.argv[1], 'rb').read())
i = d.index(b'\xff\xc0')
struct.pack_into('>HH', d, i + 5, int(sys.argv[4]), int(sys.argv[3]))
open(sys.argv[2], 'wb').write(d)
EOF
}

if [ $LARGE -eq 1 ]; then
  convert -size 4000x3000 -seed 11 plasma:fractal -blur 0x1 -depth 8 "$TMP/large.ppm"
  convert "$TMP/large.ppm" -type TrueColor -compress None "BMP3:bench_bmp24_4000x3000.bmp"
  convert "$TMP/large.ppm" +dither -colors 256 -depth 8 "$TMP/large256.ppm"
  ppmtobmp -bpp 8 "$TMP/large256.ppm" >bench_bmp8_4000x3000.bmp 2>/dev/null
  cjpeg -quality 90 "$TMP/large.ppm" >bench_photo_baseline.jpg
  cjpeg -quality 90 -progressive "$TMP/large.ppm" >bench_photo_progressive.jpg
  echo "benchmark files written to $OUT"
  exit 0
fi

# ---- Sources -----------------------------------------------------------------------
for w in 1 3 159; do
  convert -size "${w}x5" -seed "$w" plasma:fractal -depth 8 "$TMP/src$w.ppm"
  convert "$TMP/src$w.ppm" -monochrome -depth 8 "$TMP/src$w.pbm"
  convert "$TMP/src$w.ppm" +dither -colors 16 -depth 8 "$TMP/src${w}_16.ppm"
  convert "$TMP/src$w.ppm" +dither -colors 200 -depth 8 "$TMP/src${w}_200.ppm"
done
convert -size 227x149 -seed 7 plasma:fractal -depth 8 "$TMP/photo.ppm"

# ---- BMP -----------------------------------------------------------------------------
for w in 1 3 159; do
  ppmtobmp -bpp 1 "$TMP/src$w.pbm" >"bmp1_w$w.bmp" 2>/dev/null
  ppmtobmp -bpp 4 "$TMP/src${w}_16.ppm" >"bmp4_w$w.bmp" 2>/dev/null
  ppmtobmp -bpp 8 "$TMP/src${w}_200.ppm" >"bmp8_w$w.bmp" 2>/dev/null
  convert "$TMP/src$w.ppm" -type TrueColor -compress None "BMP3:bmp24_w$w.bmp"
  convert "$TMP/src$w.ppm" -alpha set -channel A -fx 'i/w' +channel -define bmp3:alpha=true \
    -compress None "BMP3:bmp32_w$w.bmp"
  for b in 1 4 8 24 32; do
    bmp_top_down "bmp${b}_w$w.bmp" "bmp${b}_w${w}_topdown.bmp"
    im_ref "bmp${b}_w$w.bmp"
    im_ref "bmp${b}_w${w}_topdown.bmp"
  done
done
# A 1-bit file with its table written out (biClrUsed 2), by the other encoder.
convert "$TMP/src159.pbm" -compress None "BMP3:bmp1_im.bmp" && im_ref bmp1_im.bmp
# 8 bits with 40 colours and a 40-entry table.
convert "$TMP/src159.ppm" +dither -colors 40 -depth 8 "$TMP/src159_40.ppm"
ppmtobmp -bpp 8 "$TMP/src159_40.ppm" >"$TMP/bmp8_40.bmp" 2>/dev/null
bmp_short_table "$TMP/bmp8_40.bmp" bmp8_fewcolours.bmp 40 && im_ref bmp8_fewcolours.bmp
# 8 bits with a 124-byte (V5) info header: the colour table follows that header.
convert "$TMP/src159_200.ppm" -type Palette -compress None "BMP:bmp8_v5header.bmp" && im_ref bmp8_v5header.bmp
# No picture: run-length 8 bits, and 16 bits (bit fields turned into BI_RGB).
convert "$TMP/src159_200.ppm" -type Palette -compress RLE "BMP3:bmp8_rle.bmp"
convert "$TMP/src159.ppm" -define bmp:subtype=RGB555 "BMP3:bmp16.bmp"
patch bmp16.bmp 30 00000000

# ---- PCX -----------------------------------------------------------------------------
ppmtopcx -8bit "$TMP/src159_200.ppm" >pcx8_netpbm.pcx 2>/dev/null && pcx_ref pcx8_netpbm.pcx
ppmtopcx -8bit "$TMP/src3_16.ppm" >pcx8_w3.pcx 2>/dev/null && pcx_ref pcx8_w3.pcx
convert "$TMP/src159_200.ppm" -type Palette "PCX:pcx8_im.pcx" && im_ref pcx8_im.pcx
ppmtopcx -24bit "$TMP/src159.ppm" >pcx24_netpbm.pcx 2>/dev/null && pcx_ref pcx24_netpbm.pcx
convert "$TMP/src3.ppm" -type TrueColor "PCX:pcx24_im.pcx" && im_ref pcx24_im.pcx
# Black and white: netpbm writes version 5; the format's black-and-white files are version 3.
for w in 3 159; do
  ppmtopcx "$TMP/src$w.pbm" >"pcx1_w$w.pcx" 2>/dev/null
  patch "pcx1_w$w.pcx" 1 03
  pcx_ref "pcx1_w$w.pcx"
done

# ---- Icons and cursors ---------------------------------------------------------------
for s in 16 32 48 256; do convert -size "${s}x$s" -seed "$s" plasma:fractal "$TMP/icon$s.png"; done
convert "$TMP/icon16.png" "$TMP/icon32.png" "$TMP/icon48.png" icon_three.ico
convert "$TMP/icon32.png" "$TMP/icon256.png" icon_png.ico
# ImageMagick writes no cursors: the icon's type word made 2, hot spots at (0, 0).
cp icon_three.ico cursor_three.cur
patch cursor_three.cur 2 0200
for i in 0 1 2; do patch cursor_three.cur $((6 + 16 * i + 4)) 00000000; done

# ---- JPEG ----------------------------------------------------------------------------
cjpeg -quality 85 "$TMP/photo.ppm" >jpeg_baseline.jpg && djpeg_ref jpeg_baseline.jpg -rgb
cjpeg -quality 85 -progressive "$TMP/photo.ppm" >jpeg_progressive.jpg && djpeg_ref jpeg_progressive.jpg -rgb
cjpeg -quality 85 -grayscale "$TMP/photo.ppm" >jpeg_grey.jpg && djpeg_ref jpeg_grey.jpg -rgb
cjpeg -quality 85 -sample 1x1 -restart 1 "$TMP/photo.ppm" >jpeg_444_restart.jpg && djpeg_ref jpeg_444_restart.jpg -rgb
cjpeg -quality 85 -sample 2x1 "$TMP/src159.ppm" >jpeg_422_small.jpg && djpeg_ref jpeg_422_small.jpg -rgb
convert "$TMP/photo.ppm" -colorspace CMYK -quality 90 jpeg_cmyk_adobe.jpg && djpeg_ref jpeg_cmyk_adobe.jpg
# Cut off inside the scan: two thirds of the file.
size=$(stat -c %s jpeg_baseline.jpg)
head -c $((size * 2 / 3)) jpeg_baseline.jpg >jpeg_cut.jpg && djpeg_ref jpeg_cut.jpg -rgb
head -c $((size / 2)) jpeg_progressive.jpg >jpeg_progressive_cut.jpg && djpeg_ref jpeg_progressive_cut.jpg -rgb
# Frames too large for a full-size block; the references hold the top 16 rows only.
cjpeg -quality 85 "$TMP/src159.ppm" >"$TMP/small.jpg"
jpeg_resize "$TMP/small.jpg" jpeg_huge_half.jpg 9500 9500
jpeg_resize "$TMP/small.jpg" jpeg_huge_quarter.jpg 20000 20000
for f in half:1/2 quarter:1/4; do
  name=jpeg_huge_${f%%:*}.jpg
  { djpeg -rgb -scale "${f#*:}" "$name" 2>/dev/null || true; } | pamcut -top 0 -height 16 >"$name.ref.ppm"
done

echo "fixtures written to $OUT"
