#!/usr/bin/env bash
# Makes the camera RAW folders of the format thumbnail benchmark from photo-like 3000 x 2000 pictures:
#   raw/            DNGs as cameras write them: a 1620 x 1080 JPEG preview in the first directory,
#                   the 16-bit RGGB sensor data (uncompressed, 12 MB) in a sub-directory
#   raw-full/       the same with a full-size 3000 x 2000 JPEG preview, as other cameras embed
#   raw-nopreview/  the same sensor data without a preview, so the reader has to develop it
# Usage: make_raw_files.sh BUILD_DIR [folder] (default /tmp/pagero-bench-raw). Never inside the
# repository. COUNT (default 50) files in raw/, EXTRA_COUNT (default 20) in each of the others.
set -euo pipefail
BUILD=${1:?usage: make_raw_files.sh BUILD_DIR [folder]}
OUT=${2:-/tmp/pagero-bench-raw}
COUNT=${COUNT:-50}
EXTRA_COUNT=${EXTRA_COUNT:-20}
MAKE_DNG=$BUILD/bench/imaging/make_dng
[ -x "$MAKE_DNG" ] || { echo "build the make_dng target first" >&2; exit 2; }
mkdir -p "$OUT"/{src,raw,raw-full,raw-nopreview}
for i in $(seq 1 "$COUNT"); do
  n=$(printf %02d "$i")
  src="$OUT/src/p$n.png"
  [ -f "$src" ] || nice convert -seed "$i" -size 750x500 plasma:fractal -blur 0x1 -resize '3000x2000!' \
      -depth 8 "PNG24:$src"
  [ -f "$OUT/raw/p$n.dng" ] || nice "$MAKE_DNG" "$src" "$OUT/raw/p$n.dng" 1620
  [ "$i" -le "$EXTRA_COUNT" ] || continue
  [ -f "$OUT/raw-full/p$n.dng" ] || nice "$MAKE_DNG" "$src" "$OUT/raw-full/p$n.dng" 3000
  [ -f "$OUT/raw-nopreview/p$n.dng" ] || nice "$MAKE_DNG" "$src" "$OUT/raw-nopreview/p$n.dng" 0
done
echo "$OUT"
