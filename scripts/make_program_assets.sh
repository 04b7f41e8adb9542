#!/usr/bin/env bash
# Makes the pictures and sounds of the program folder: the default book background "~bkgnd.bmp",
# the default cover picture "%Res1.%j" (a JPEG under that name), the tileable fill patterns of
# "BitPattern" and the system sounds of "SysSound". Deterministic (fixed seeds); the results are
# committed under assets/program/, run this again only to change them.
set -euo pipefail
C=/usr/bin/convert
OUT="${1:-$(dirname "$0")/../assets/program}"
GEN="$(cd "$(dirname "$0")" && pwd)/make_media_files.py"
mkdir -p "$OUT/BitPattern" "$OUT/SysSound"
cd "$OUT"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# A tileable relief: wrapped noise, blurred across the tile edges, lit from the upper left.
relief() {   # relief <size> <seed> <blur> <out.png>
  $C -size "$1" -seed "$2" xc: +noise Random -channel G -separate +channel \
     -virtual-pixel tile -blur "0x$3" -virtual-pixel tile -shade 135x55 -auto-level "$4"
}

# Book background: slate-blue fine grain, tiled around the book.
relief 128x128 3 0.8 "$tmp/grain.png"
$C "$tmp/grain.png" +level 42%,58% -colorspace sRGB -type TrueColor \( -size 128x128 xc:'#5b6470' \) \
   -compose overlay -composite -type TrueColor BMP3:"~bkgnd.bmp"

# Default cover: parchment with a double frame (album name lines are written over it in black).
$C \( -size 480x640 -seed 5 plasma:grey40-grey80 -colorspace gray -blur 0x10 -auto-level \
      -colorspace sRGB -type TrueColor +level-colors '#cdbb92','#f4eddc' \) \
   \( -size 480x640 -seed 11 xc: +noise Random -channel G -separate +channel -motion-blur 0x6+90 \
      -blur 0x0.6 -shade 120x50 -auto-level +level 42%,58% -colorspace sRGB -type TrueColor \) \
   -compose overlay -composite \
   \( -size 480x640 xc:none -fill none -stroke '#8c7b55' -strokewidth 3 -draw "rectangle 18,18 461,621" \
      -stroke '#b8a77f' -strokewidth 1 -draw "rectangle 26,26 453,613" \) -compose over -composite \
   -sampling-factor 2x2 -quality 88 -strip "JPEG:$tmp/cover.jpg"
mv "$tmp/cover.jpg" "%Res1.%j"

# Fill patterns for backgrounds and covers, 64 x 64, tileable.
tint() {   # tint <gray.png> <dark> <light> <out.bmp>
  $C "$1" -colorspace sRGB -type TrueColor +level-colors "$2","$3" -type TrueColor "BMP3:$4"
}
relief 64x64 21 1.5 "$tmp/p1.png"; tint "$tmp/p1.png" '#6b4f2f' '#c9a978' BitPattern/Cork.bmp
relief 64x64 22 3 "$tmp/p2.png";   tint "$tmp/p2.png" '#2f4f3f' '#8fb79f' BitPattern/Moss.bmp
relief 64x64 23 0.5 "$tmp/p3.png"; tint "$tmp/p3.png" '#b8b0a0' '#f2eee6' BitPattern/Paper.bmp
$C -size 64x64 pattern:checkerboard -blur 0x0.7 -auto-level +level 55%,80% -colorspace sRGB -type TrueColor \
   +level-colors '#203050','#d8e0f0' -type TrueColor BMP3:BitPattern/Checks.bmp
$C -size 64x64 pattern:hs_diagcross -negate -blur 0x0.4 -colorspace sRGB -type TrueColor \
   +level-colors '#e8dcc8','#7a2e2e' -type TrueColor BMP3:BitPattern/Lattice.bmp
$C -size 64x64 pattern:bricks -colorspace sRGB -type TrueColor +level-colors '#f0e6d8','#8e3b26' \
   -type TrueColor BMP3:BitPattern/Bricks.bmp

# System sounds, 22.05 kHz mono 16-bit. The page rustle: filtered noise with a quick swell.
sox -R -n -r 22050 -c 1 -b 16 "$tmp/rustle.wav" synth 0.30 pinknoise band -n 3000 2200 \
    tremolo 22 40 fade q 0.03 0.30 0.20 gain -n -4
mv "$tmp/rustle.wav" SysSound/flipSnd.wav
# The mail-sent chime: two rising bell tones.
sox -R -n -r 22050 -c 1 -b 16 "$tmp/a.wav" synth 0.16 sine 784 fade q 0.005 0.16 0.10
sox -R -n -r 22050 -c 1 -b 16 "$tmp/b.wav" synth 0.50 sine 1175 sine 2350 remix 1 fade q 0.005 0.50 0.42
sox -R "$tmp/a.wav" "$tmp/b.wav" "$tmp/chime.wav" gain -n -6
mv "$tmp/chime.wav" "SysSound/sent email.wav"
# Background music: three traditional tunes as MIDI files.
PY=/usr/bin/python3; [ -x "$PY" ] || PY=python3
"$PY" "$GEN" midi SysSound/bksnd1.mid 132 jingle
"$PY" "$GEN" midi SysSound/bksnd2.mid 76 bride
"$PY" "$GEN" midi SysSound/bksnd3.mid 84 fortress
echo "program folder assets written to $OUT"
