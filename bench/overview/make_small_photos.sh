#!/usr/bin/env bash
# Makes an album of many small JPEGs (640 x 480, like phone pictures sent by mail) for the
# thumbnail benchmark, where the cost per file rather than per pixel counts: 50 distinct pictures,
# each copied under COUNT / 50 names. Usage: make_small_photos.sh [folder] [count]
# (default /tmp/pagero-bench-small-jpegs, 5000). Never inside the repository.
set -euo pipefail
OUT=${1:-/tmp/pagero-bench-small-jpegs}
COUNT=${2:-5000}
mkdir -p "$OUT"
IM=/usr/bin/convert
for seed in $(seq 1 50); do
  base="$OUT/small$(printf %02d $seed).jpg"
  [ -f "$base" ] || nice $IM -seed $seed -size 320x240 plasma:fractal -resize '640x480!' -quality 85 "$base"
done
for seed in $(seq 1 50); do
  base="$OUT/small$(printf %02d $seed).jpg"
  for c in $(seq 1 $((COUNT / 50 - 1))); do
    copy="${base%.jpg}_c$c.jpg"
    [ -f "$copy" ] || cp "$base" "$copy"
  done
done
echo "$(ls "$OUT" | wc -l) JPEGs in $OUT"
