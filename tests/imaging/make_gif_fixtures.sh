#!/bin/sh
# Makes the GIF test fixtures in OUTDIR/gif with independent encoders (ImageMagick,
# giflib's gifbuild, netpbm's ppmtogif), and reference decodes of them by ImageMagick as
# binary PPM files (NAME.ppm for the first image, NAME_N.ppm for image N from 0), and for
# animations ImageMagick's composed frames (NAME_cN.ppm).
#   make_gif_fixtures.sh OUTDIR           the test fixtures
#   make_gif_fixtures.sh --large OUTDIR   also the 4000x3000 benchmark images
set -eu

large=0
if [ "${1:-}" = "--large" ]; then
  large=1
  shift
fi
if [ $# -ne 1 ]; then
  echo "usage: $0 [--large] OUTDIR" >&2
  exit 2
fi
for tool in convert gifbuild ppmtogif; do
  command -v "$tool" >/dev/null || { echo "$0: $tool is missing" >&2; exit 1; }
done

out="$1/gif"
mkdir -p "$out"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Reference decode of image N of a GIF: its own pixels, without its offset.
ref() {  # ref GIF N PPM
  convert "$1[$2]" +repage -depth 8 "ppm:$3"
}

# --- ImageMagick ---------------------------------------------------------------------
convert -size 141x226 -seed 3 plasma:fractal -colors 256 "$work/photo.miff"
convert "$work/photo.miff" -interlace none "$out/plain.gif"
ref "$out/plain.gif" 0 "$out/plain.ppm"
convert "$work/photo.miff" -interlace Line "$out/interlaced.gif"
ref "$out/interlaced.gif" 0 "$out/interlaced.ppm"
# Odd sizes: row padding, and interlace passes that end early.
convert -size 37x23 -seed 5 plasma:fractal -colors 64 -interlace Line "$out/odd_interlaced.gif"
ref "$out/odd_interlaced.gif" 0 "$out/odd_interlaced.ppm"
convert -size 1x1 xc:'#123456' "$out/one_pixel.gif"
ref "$out/one_pixel.gif" 0 "$out/one_pixel.ppm"

# Three images of different sizes, places, colours (local colour tables) and delays.
convert -size 60x40 -seed 11 plasma:red-yellow -colors 100 "$work/f0.miff"
convert -size 25x30 -seed 12 plasma:blue-green -colors 60 "$work/f1.miff"
convert -size 9x7 -seed 13 plasma:white-purple -colors 20 "$work/f2.miff"
convert -dispose None \
  -delay 10 -page 60x40+0+0 "$work/f0.miff" \
  -delay 20 -page 60x40+30+5 "$work/f1.miff" \
  -delay 30 -page 60x40+7+21 "$work/f2.miff" \
  -loop 3 "$out/anim3.gif"
for n in 0 1 2; do ref "$out/anim3.gif" $n "$out/anim3_$n.ppm"; done

# --- netpbm ----------------------------------------------------------------------------
convert -size 141x226 -seed 7 plasma:fractal -colors 200 "ppm:$work/pnm_plain.ppm"
ppmtogif "$work/pnm_plain.ppm" > "$out/pnm_plain.gif" 2>/dev/null
ref "$out/pnm_plain.gif" 0 "$out/pnm_plain.ppm"
convert -size 59x17 -seed 8 plasma:fractal -colors 16 "ppm:$work/pnm_il.ppm"
ppmtogif -interlace "$work/pnm_il.ppm" > "$out/pnm_interlaced.gif" 2>/dev/null
ref "$out/pnm_interlaced.gif" 0 "$out/pnm_interlaced.ppm"
convert -size 33x9 pattern:checkerboard -monochrome "ppm:$work/pnm_two.ppm"
ppmtogif "$work/pnm_two.ppm" > "$out/pnm_two.gif" 2>/dev/null
ref "$out/pnm_two.gif" 0 "$out/pnm_two.ppm"

# --- giflib's gifbuild: block structures the other encoders do not write ------------------
# Three images with local colour tables; one graphic control extension, before image 2
# (disposal 2, transparency on with index 1, delay 10); image 2 interlaced.
cat > "$work/controls.txt" <<'END'
screen width 6
screen height 5
screen background 2
screen map
	rgb 9 9 9 is z
	rgb 8 8 8 is w
end

image
image left 0
image top 0
image map
	rgb 255 0 0 is a
	rgb 0 255 0 is b
	rgb 0 0 255 is c
	rgb 255 255 255 is d
end
image bits 4 by 3
abcd
dcba
aabb

graphics control
	disposal mode 2
	user input flag off
	delay 10
	transparent index 1
end

image
image left 2
image top 1
image interlaced
image map
	rgb 10 20 30 is x
	rgb 40 50 60 is y
end
image bits 3 by 4
xyx
yxy
xxy
yyx

image
image left 1
image top 1
image map
	rgb 1 2 3 is p
	rgb 4 5 6 is q
end
image bits 2 by 2
pq
qp
END
gifbuild "$work/controls.txt" > "$out/controls.gif"
for n in 0 1 2; do ref "$out/controls.gif" $n "$out/controls_$n.ppm"; done

# An extension of label 0x02 before the first image.
cat > "$work/ext02.txt" <<'END'
screen width 4
screen height 2
screen map
	rgb 0 0 0 is a
	rgb 255 255 255 is b
end

extension 02
hello
end

image
image bits 4 by 2
abab
baba
END
gifbuild "$work/ext02.txt" > "$out/ext02.gif"

# A screen descriptor, a colour table and the trailer: no image.
printf 'screen width 3\nscreen height 3\nscreen map\n\trgb 0 0 0 is a\n\trgb 1 1 1 is b\nend\n' |
  gifbuild > "$out/noimage.gif"

# One image with a local colour table and no global one. gifbuild sets the global-table
# flag without writing a table when there is no screen map, so the flag is cleared here.
cat > "$work/local.txt" <<'END'
screen width 5
screen height 2

image
image map
	rgb 200 10 20 is a
	rgb 30 220 40 is b
	rgb 50 60 230 is c
end
image bits 5 by 2
abcab
cbacb
END
gifbuild "$work/local.txt" > "$work/local_flagged.gif"
flag=$(od -An -tu1 -j10 -N1 "$work/local_flagged.gif" | tr -d ' ')
{
  head -c 10 "$work/local_flagged.gif"
  printf "\\$(printf '%03o' $((flag & 127)))"
  tail -c +12 "$work/local_flagged.gif"
} > "$out/local_only.gif"
ref "$out/local_only.gif" 0 "$out/local_only.ppm"

# pnm_plain.gif with its global colour table cut out: no colour table at all.
flag=$(od -An -tu1 -j10 -N1 "$out/pnm_plain.gif" | tr -d ' ')
entries=$((2 << (flag & 7)))
{
  head -c 10 "$out/pnm_plain.gif"
  printf "\\$(printf '%03o' $((flag & 127)))"
  tail -c +12 "$out/pnm_plain.gif" | head -c 2
  tail -c +$((14 + 3 * entries)) "$out/pnm_plain.gif"
} > "$out/no_colours.gif"

# plain.gif cut off in the middle of its image data.
size=$(wc -c < "$out/plain.gif")
head -c $((size / 2)) "$out/plain.gif" > "$out/truncated.gif"

# --- animations: frames composed by disposal and transparency ---------------------------
# Each NAME.gif comes with ImageMagick's composition of its frames (-coalesce), flattened
# over white, as NAME_cN.ppm for frame N. ImageMagick clears a frame of disposal method 2
# to transparent, which the flattening makes white.
coalesce() {  # coalesce GIF
  convert "$1" -coalesce -background white -alpha remove -alpha off -depth 8 \
    "ppm:${1%.gif}_c%d.ppm"
}
# Small pictures with many colours, and ones with a colour made transparent.
convert -size 64x48 -seed 21 plasma:fractal -colors 64 "$work/a0.miff"
convert -size 20x16 -seed 22 plasma:red-blue -colors 32 "$work/a1.miff"
convert -size 24x20 -seed 23 plasma:green-yellow -colors 16 \
  -fill '#00FF00' -draw 'rectangle 4,4 15,11' -transparent '#00FF00' "$work/a2.miff"
convert -size 16x16 xc:'#FF00FF' -fill '#00FFFF' -draw 'rectangle 0,0 7,7' -draw 'rectangle 8,8 15,15' \
  -fill white -draw 'rectangle 4,4 11,11' -transparent white "$work/a3.miff"
convert -size 30x10 -seed 24 plasma:purple-orange -colors 24 "$work/a4.miff"
# Dispose 1 (None), 2 (Background) and 3 (Previous), transparent frames over the areas
# that disposal left, offsets, delays 0, 3, 5 and 2 (the first frame covers the screen, so
# after the last frame it comes back as it was).
convert \
  -dispose None -delay 0 -page 64x48+0+0 "$work/a0.miff" \
  -dispose Background -delay 3 -page 64x48+10+8 "$work/a1.miff" \
  -dispose Previous -delay 5 -page 64x48+20+12 "$work/a2.miff" \
  -dispose None -delay 2 -page 64x48+40+4 "$work/a3.miff" \
  -dispose Previous -delay 0 -page 64x48+4+30 "$work/a4.miff" \
  -dispose Background -delay 4 -page 64x48+36+26 "$work/a2.miff" \
  -dispose None -delay 1 -page 64x48+30+20 "$work/a3.miff" \
  -loop 2 "$out/anim_dispose.gif"
coalesce "$out/anim_dispose.gif"
# Transparent frames that never cover the whole screen: the white canvas shows through.
convert \
  -dispose Background -delay 6 -page 50x40+15+10 "$work/a3.miff" \
  -dispose None -delay 0 -page 50x40+0+0 "$work/a2.miff" \
  -dispose Previous -delay 8 -page 50x40+30+24 "$work/a3.miff" \
  -dispose None -delay 2 -page 50x40+8+16 "$work/a1.miff" \
  "$out/anim_transparent.gif"
coalesce "$out/anim_transparent.gif"
# Frames that reach past the logical screen, and one wholly outside it (gifbuild writes
# them as given; every image has its own graphic control extension). The third image's
# transparent index has the same colour as another of its entries: only the index counts.
cat > "$work/offscreen.txt" <<'END'
screen width 8
screen height 6
screen map
	rgb 200 0 0 is a
	rgb 0 200 0 is b
	rgb 0 0 200 is c
	rgb 90 90 90 is d
end

graphics control
	disposal mode 1
	delay 7
end

image
image bits 8 by 6
aaaabbbb
aaaabbbb
aaaabbbb
ccccdddd
ccccdddd
ccccdddd

graphics control
	disposal mode 2
	delay 0
end

image
image left 5
image top 3
image bits 6 by 5
cccccc
cddddc
cdaadc
cddddc
cccccc

graphics control
	disposal mode 1
	delay 3
	transparent index 1
end

image
image left 6
image top 1
image map
	rgb 200 0 0 is a
	rgb 90 90 90 is t
	rgb 90 90 90 is e
end
image bits 3 by 3
tet
tae
ttt

graphics control
	disposal mode 3
	delay 4
end

image
image left 20
image top 20
image bits 2 by 2
aa
aa

graphics control
	disposal mode 1
	delay 5
end

image
image left 0
image top 4
image bits 3 by 2
bbb
bbb
END
gifbuild "$work/offscreen.txt" > "$out/anim_offscreen.gif"
coalesce "$out/anim_offscreen.gif"

# --- benchmark images ------------------------------------------------------------------
if [ "$large" = 1 ]; then
  convert -size 4000x3000 -seed 9 plasma:fractal -colors 256 "$work/large.miff"
  convert "$work/large.miff" -interlace none "$out/large_plain.gif"
  convert "$work/large.miff" -interlace Line "$out/large_interlaced.gif"
  # The photo slot's case: 141x226 frames on a 320x240 screen, 10 frames a second.
  frames=""
  for n in 0 1 2 3 4 5 6 7; do
    convert -size 141x226 -seed $((40 + n)) plasma:fractal -colors 255 "$work/b$n.miff"
    frames="$frames -page 320x240+$((n * 20))+$((n * 2)) $work/b$n.miff"
  done
  # shellcheck disable=SC2086
  convert -dispose None -delay 10 $frames "$out/anim_320x240.gif"
fi
