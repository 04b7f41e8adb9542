#!/usr/bin/env bash
# Makes the photo-like 6000 x 4000 JPEGs of the thumbnail benchmark: smooth and noisy scenes, with
# 4:2:0 and 4:4:4 chroma sampling. 20 distinct pictures, each copied under 10 names (200 files).
# Usage: make_photos.sh [folder] (default /tmp/pagero-bench-photos). Never inside the repository.
set -euo pipefail
OUT=${1:-/tmp/pagero-bench-photos}
COPIES=${COPIES:-10}
mkdir -p "$OUT"
IM=/usr/bin/convert
n=0
for seed in 1 2 3 4 5; do
  for kind in smooth noisy; do
    for sampling in 4:2:0 4:4:4; do
      n=$((n + 1))
      base="$OUT/photo$(printf %02d $n).jpg"
      [ -f "$base" ] && continue
      if [ $kind = smooth ]; then
        nice $IM -seed $seed -size 1500x1000 plasma:fractal -blur 0x2 -resize '6000x4000!' \
          -quality 90 -sampling-factor $sampling "$base"
      else
        nice $IM -seed $seed -size 1500x1000 plasma:fractal -resize '6000x4000!' \
          -attenuate 0.25 +noise Gaussian -quality 90 -sampling-factor $sampling "$base"
      fi
    done
  done
done
for f in "$OUT"/photo??.jpg; do
  for c in $(seq 1 $((COPIES - 1))); do
    copy="${f%.jpg}_c$c.jpg"
    [ -f "$copy" ] || cp "$f" "$copy"
  done
done
ls "$OUT" | wc -l
du -sh "$OUT"
