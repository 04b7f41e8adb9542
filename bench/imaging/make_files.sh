#!/usr/bin/env bash
# Makes the folders of the format thumbnail benchmark from photo-like 3000 x 2000 pictures:
#   tiff/     LZW-compressed striped TIFFs (decoded in bands with a box reduction)
#   pyramid/  the same as tiled pyramids (the reduced-resolution picture is read)
#   heic/     HEIC files from heif-enc
#   jpeg/     JPEGs without orientation, and jpeg6/ the same with EXIF orientation 6
# Usage: make_files.sh [folder] (default /tmp/pagero-bench-formats). Never inside the repository.
set -euo pipefail
OUT=${1:-/tmp/pagero-bench-formats}
COUNT=${COUNT:-20}
IM=/usr/bin/convert
mkdir -p "$OUT"/{src,tiff,pyramid,heic,jpeg,jpeg6}
# Inserts an APP1 segment holding only the orientation tag after the start marker.
orient() {
  python3 - "$1" "$2" "$3" <<'PY'
import struct, sys
src, dst, o = sys.argv[1], sys.argv[2], int(sys.argv[3])
data = open(src, 'rb').read()
tiff = b'II*\0' + struct.pack('<IH', 8, 1) + struct.pack('<HHIHH', 0x112, 3, 1, o, 0) + struct.pack('<I', 0)
payload = b'Exif\0\0' + tiff
open(dst, 'wb').write(data[:2] + b'\xff\xe1' + struct.pack('>H', len(payload) + 2) + payload + data[2:])
PY
}
for i in $(seq 1 "$COUNT"); do
  n=$(printf %02d "$i")
  src="$OUT/src/p$n.png"
  [ -f "$src" ] || nice $IM -seed "$i" -size 750x500 plasma:fractal -blur 0x1 -resize '3000x2000!' \
      -depth 8 "PNG24:$src"
  [ -f "$OUT/tiff/p$n.tif" ] || nice $IM "$src" -compress lzw "TIFF:$OUT/tiff/p$n.tif"
  [ -f "$OUT/pyramid/p$n.tif" ] || nice $IM "$src" -define tiff:tile-geometry=256x256 -compress jpeg -quality 90 \
      "PTIF:$OUT/pyramid/p$n.tif"
  [ -f "$OUT/heic/p$n.heic" ] || nice heif-enc -q 80 -p preset=ultrafast -o "$OUT/heic/p$n.heic" "$src" >/dev/null
  [ -f "$OUT/jpeg/p$n.jpg" ] || nice $IM "$src" -quality 90 "JPEG:$OUT/jpeg/p$n.jpg"
  [ -f "$OUT/jpeg6/p$n.jpg" ] || orient "$OUT/jpeg/p$n.jpg" "$OUT/jpeg6/p$n.jpg" 6
done
echo "$OUT"
