#!/usr/bin/env bash
# Makes the Samples album of the program folder from Debian tools (ImageMagick, sox, ffmpeg) and
# scripts/make_media_files.py: pictures of every format of the default mask in several sizes (one
# of 4000 x 3000), upper- and lower-case extensions, a sound, a MIDI tune, a short video and one
# damaged JPEG. Nothing is downloaded. Usage: make_samples.sh <Samples folder>
# Returns at once when the album is complete and was made by this version of the script.
set -euo pipefail
OUT="${1:?usage: make_samples.sh <Samples folder>}"
HERE="$(cd "$(dirname "$0")" && pwd)"
C=/usr/bin/convert
PY=/usr/bin/python3; [ -x "$PY" ] || PY=python3

FILES=("Harbour.JPG" "Meadow.jpg" "Sunset.jpg" "Portrait Study.jpg" "Forest Path.jpg" "Night Sky.jpg"
       "Broken.jpg" "Mountains.bmp" "Tiles.BMP" "Lagoon.pcx" "Emblem.wmf" "Compass.ico"
       "Archive Scan.pcd" "Spinner.gif" "Canyon.tif" "Dunes.TIF" "Orchid.png" "Skyline.png"
       "Layers.psd" "Chime.wav" "Little Tune.mid" "Test Pattern.avi")
STAMP="$OUT/.samples-stamp"
VERSION="$(cat "$0" "$HERE/make_media_files.py" | md5sum | cut -d' ' -f1)"

complete() {
  [ -f "$STAMP" ] && [ "$(cat "$STAMP")" = "$VERSION" ] || return 1
  local f
  for f in "${FILES[@]}"; do [ -s "$OUT/$f" ] || return 1; done
}
if complete; then exit 0; fi

echo "Making the Samples album in $OUT"
mkdir -p "$OUT"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# A photo-like landscape: a graded sky with a soft sun over fractal hills, with film grain.
# scene <w> <h> <seed> <sky top> <sky horizon> <land dark> <land light> <out> [extra convert options]
scene() {
  local w=$1 h=$2 seed=$3 top=$4 horizon=$5 dark=$6 light=$7 out=$8; shift 8
  local sky=$((h * 11 / 20)) land=$((h - h * 11 / 20))
  $C \( -size "${w}x${sky}" "gradient:${top}-${horizon}" \) \
     \( -size "${w}x${land}" -seed "$seed" plasma:grey30-grey90 -colorspace gray -blur 0x1.5 -auto-level \
        -colorspace sRGB -type TrueColor +level-colors "${dark},${light}" \) -append \
     \( -size "${w}x${h}" xc:none -fill 'rgba(255,246,220,0.85)' \
        -draw "circle $((w * 7 / 10)),$((h * 3 / 10)) $((w * 7 / 10 + w / 18)),$((h * 3 / 10))" -blur 0x$((w / 200 + 1)) \) \
     -compose screen -composite \
     \( -size "${w}x$((h / 3))" xc:none -fill "$dark" -draw "rectangle 0,$((h / 7)) $w,$((h / 3))" \
        -background none -wave "$((h / 22))x$((w * 2 / 3))" -wave "$((h / 60 + 1))x$((w / 7))" \
        -alpha on -channel A -evaluate multiply 0.8 +channel \) \
     -gravity north -geometry "+0+$((sky - h / 7 - h / 22 - h / 60 - h / 12))" -compose over -composite -gravity northwest \
     -seed "$seed" -attenuate 0.25 +noise Gaussian -depth 8 "$@" "$out"
}

# Large photo: made at a quarter of its size, enlarged, then given full-size grain.
big() {
  scene 1000 750 41 '#5d8fc9' '#d9e6f2' '#2c4a3a' '#a9b98a' "$tmp/harbour.png"
  $C "$tmp/harbour.png" -filter Lanczos -resize 4000x3000! -seed 7 -attenuate 0.35 +noise Gaussian \
     -sampling-factor 2x2 -quality 82 "JPEG:$OUT/Harbour.JPG"
}

pictures() {
  scene 1600 1200 12 '#3b6ea8' '#cfe0ee' '#3d5a2a' '#b8c77a' "$OUT/Meadow.jpg" -quality 85
  scene 1024 768 23 '#4a2c5e' '#f2a65a' '#3a2417' '#b7794a' "$OUT/Sunset.jpg" -quality 85
  scene 768 1024 34 '#6a8caf' '#e8eef4' '#4a3b2f' '#c9b49a' "$OUT/Portrait Study.jpg" -quality 88
  scene 2048 1365 45 '#2f5d50' '#c7dccf' '#1f3a22' '#7f9f5a' "$OUT/Forest Path.jpg" -sampling-factor 1x1 -quality 80
  scene 640 480 56 '#05081a' '#1d2a5a' '#07070f' '#303450' "$OUT/Night Sky.jpg" -sampling-factor 1x1 -quality 90
  scene 640 480 67 '#4f7fb5' '#e0ecf6' '#4d4438' '#d7cbb6' "BMP3:$OUT/Mountains.bmp"
  $C -size 320x240 pattern:hexagons -colorspace sRGB -type TrueColor +level-colors '#204a6a','#f0e8d8' \
     -colors 64 -type Palette "BMP3:$OUT/Tiles.BMP"
  scene 512 384 78 '#2e86ab' '#bde4f4' '#0f5e63' '#6cc4b4' "PCX:$OUT/Lagoon.pcx"
  scene 768 512 89 '#7a8fa6' '#eef2f5' '#5a4a3a' '#c8b89a' "PCD:$OUT/Archive Scan.pcd"
  scene 800 533 90 '#c8743a' '#f6d9a8' '#6a2f16' '#d98c4a' "TIFF:$OUT/Canyon.tif" -compress lzw
  scene 640 427 91 '#d9a05a' '#fbe9c8' '#a86a2a' '#f0c98a' "TIFF:$OUT/Dunes.TIF" -compress zip
  scene 960 540 92 '#1a2a4a' '#f08a5a' '#101018' '#404058' "PNG24:$OUT/Skyline.png"
}

drawn() {
  # A flower with a transparent background.
  $C -size 600x600 xc:none -fill '#2f7f3f' -draw "rectangle 292,300 308,590" \
     -fill '#c23a8a' -stroke '#7a1a52' -strokewidth 3 \
     -draw "ellipse 300,170 60,110 0,360" -draw "ellipse 300,430 60,110 0,360" \
     -draw "ellipse 170,300 110,60 0,360" -draw "ellipse 430,300 110,60 0,360" \
     -fill '#f4d03f' -stroke '#a67c00' -draw "circle 300,300 300,350" "PNG32:$OUT/Orchid.png"
  # An icon with three sizes.
  $C -size 48x48 xc:none -fill '#f4eddc' -stroke '#5a4a2a' -strokewidth 2 -draw "circle 24,24 24,3" \
     -fill '#c62828' -stroke none -draw "polygon 24,6 29,24 19,24" -fill '#1f5f6f' -draw "polygon 24,42 29,24 19,24" \
     \( -clone 0 -resize 32x32 \) \( -clone 0 -resize 16x16 \) "ICO:$OUT/Compass.ico"
  # A small animation; the album shows its first frame.
  local frames=() i
  for i in 0 1 2 3 4 5 6 7; do
    $C -size 200x200 xc:'#fbf8f1' -fill '#1f5f6f' -draw "translate 100,100 rotate $((i * 45)) rectangle -8,-80 8,-20" \
       -fill '#c62828' -draw "circle 100,100 100,88" "$tmp/spin$i.png"
    frames+=("$tmp/spin$i.png")
  done
  $C -delay 12 -loop 0 "${frames[@]}" -layers optimize "GIF:$OUT/Spinner.gif"
  # A layered PSD: a sky gradient and a framed title layer; its first picture is the merged one.
  $C -size 480x320 gradient:'#3b6ea8'-'#dbe8f2' -depth 8 "PNG24:$tmp/psd_bg.png"
  $C -size 480x320 xc:none -fill 'rgba(255,255,255,0.75)' -stroke '#333' -draw "roundrectangle 110,110 370,210 12,12" \
     -fill '#333' -stroke none -font DejaVu-Sans-Bold -pointsize 36 -gravity center -annotate 0 "Layers" \
     -depth 8 "PNG32:$tmp/psd_top.png"
  $C \( "$tmp/psd_bg.png" "$tmp/psd_top.png" -compose over -composite \) "$tmp/psd_bg.png" "$tmp/psd_top.png" \
     -depth 8 "PSD:$OUT/Layers.psd"
  # A metafile and a MIDI tune from their generator.
  "$PY" "$HERE/make_media_files.py" wmf "$OUT/Emblem.wmf"
  "$PY" "$HERE/make_media_files.py" midi "$OUT/Little Tune.mid"
  # A chime of three bell tones with an echo.
  sox -R -n -r 22050 -c 1 -b 16 "$tmp/c1.wav" synth 0.4 pluck C5 fade q 0.005 0.4 0.3
  sox -R -n -r 22050 -c 1 -b 16 "$tmp/c2.wav" synth 0.4 pluck E5 fade q 0.005 0.4 0.3
  sox -R -n -r 22050 -c 1 -b 16 "$tmp/c3.wav" synth 0.9 pluck G5 fade q 0.005 0.9 0.7
  sox -R "$tmp/c1.wav" "$tmp/c2.wav" "$tmp/c3.wav" "$OUT/Chime.wav" echo 0.8 0.7 120 0.3 gain -n -3
  # A short video: three seconds of a test pattern with a tone.
  ffmpeg -nostdin -loglevel error -y -f lavfi -i testsrc=size=320x240:rate=15:duration=3 \
         -f lavfi -i sine=frequency=660:duration=3:sample_rate=22050 \
         -c:v mjpeg -q:v 6 -pix_fmt yuvj420p -c:a pcm_s16le -ac 1 "$OUT/Test Pattern.avi"
}

big & BIG=$!
pictures & PICS=$!
drawn
wait $BIG
wait $PICS

# A damaged JPEG: the first half of a real one, then garbage.
head -c 30000 "$OUT/Sunset.jpg" > "$tmp/broken.jpg"
head -c 4000 /dev/zero | tr '\0' '\125' >> "$tmp/broken.jpg"
mv "$tmp/broken.jpg" "$OUT/Broken.jpg"

echo "$VERSION" > "$STAMP"
echo "Samples album: $(ls "$OUT" | wc -l) files, $(du -sh "$OUT" | cut -f1)"
