#!/usr/bin/env bash
# Draws the pictures of the window design (error sign, binding rings, sound and MIDI icons, the
# page-jump box with its section icons, the pointer shapes) with ImageMagick drawing primitives.
# The results are committed under assets/design/; run this again only to change them.
set -euo pipefail
CONVERT=/usr/bin/convert
OUT="${1:-$(dirname "$0")/../assets/design}"
mkdir -p "$OUT"
cd "$OUT"

draw() {   # draw <file> <w> <h> <background> <mvg...>
  local file=$1 w=$2 h=$3 bg=$4; shift 4
  $CONVERT -size "${w}x${h}" "xc:$bg" -draw "$*" -strip "PNG32:$file"
}

# Error sign: a red disc with a white cross, 32 x 32.
draw ErrorImage.png 32 32 none \
  "fill #c62828 stroke #7f0000 stroke-width 1.5 circle 16,16 16,1.5
   stroke white stroke-width 4 stroke-linecap round line 10,10 22,22 line 22,10 10,22"

# Binding rings of a closed book: a metal half-ring that stands out of the spine edge.
# RightLkImg sits left of the spine (front cover on the right), LeftLkImg right of it.
ring_body="fill none stroke #3a3a3a stroke-width 2.4 stroke-linecap round"
ring_light="fill none stroke #d8d8d8 stroke-width 1.2 stroke-linecap round"
draw RightLkImg.png 14 11 none \
  "$ring_body path 'M 13.5,2.5 L 6,2.5 Q 1.5,2.5 1.5,5.5 Q 1.5,8.5 6,8.5 L 13.5,8.5'
   $ring_light path 'M 12,2.2 L 6,2.2 Q 2.5,2.2 2.3,5'"
$CONVERT RightLkImg.png -flop -strip PNG32:LeftLkImg.png

# Rings on a page's spine edge: a punched hole with the ring passing through it.
# LeftFlipLkImg is drawn at the right edge of a left page, RightFlipLkImg at the left edge of a right page.
draw LeftFlipLkImg.png 10 10 none \
  "fill #f4f4f4 stroke #8a8a8a stroke-width 1 circle 3.5,5 3.5,2.5
   fill none stroke #3a3a3a stroke-width 2.6 stroke-linecap round path 'M 3.5,2 Q 9.5,2 9.5,5'
   stroke #3a3a3a path 'M 3.5,8 Q 9.5,8 9.5,5'"
$CONVERT LeftFlipLkImg.png -flop -strip PNG32:RightFlipLkImg.png

# Sound page: a loudspeaker with three sound waves, 49 x 49, opaque.
draw wavIcon.png 49 49 white \
  "fill #f3f6fb stroke #6d7f99 stroke-width 1 roundrectangle 0.5,0.5 48.5,48.5 6,6
   fill #2f4f7f stroke #1b2f4f stroke-width 1 polygon 8,19 15,19 25,10 25,39 15,30 8,30
   fill none stroke #2f6fbf stroke-width 2.2 stroke-linecap round
   path 'M 29.5,19.5 A 6,6 0 0,1 29.5,29.5'
   path 'M 33,14.5 A 11,11 0 0,1 33,34.5'
   path 'M 36.5,9.5 A 16,16 0 0,1 36.5,39.5'"

# MIDI page: two beamed notes over a small keyboard, 71 x 71, opaque.
draw midIcon.png 71 71 white \
  "fill #fbf6ee stroke #99836d stroke-width 1 roundrectangle 0.5,0.5 70.5,70.5 8,8
   fill white stroke #333333 stroke-width 1 rectangle 8,46 63,63
   stroke #333333 line 16,46 16,63 line 24,46 24,63 line 32,46 32,63 line 40,46 40,63 line 48,46 48,63 line 56,46 56,63
   fill #222222 stroke none rectangle 13,46 19,56 rectangle 21,46 27,56 rectangle 37,46 43,56 rectangle 45,46 51,56 rectangle 53,46 59,56
   fill #7a3b0c stroke none ellipse 24,36 6,4.5 -20,340 ellipse 46,32 6,4.5 -20,340
   stroke #7a3b0c stroke-width 2.4 line 29.5,35 29.5,10 line 51.5,31 51.5,6
   stroke-width 5 line 29.5,10 51.5,6"

# Page-jump box: a label field of 21 pixels on the left, the section icon on the right.
draw ThumbCursorImg.png 44 26 none \
  "fill #fff8d0 stroke #5a5030 stroke-width 1 roundrectangle 0.5,0.5 43.5,25.5 4,4
   stroke #c8b878 line 23.5,3 23.5,22"

# Section icons of the page-jump box, 16 x 16.
draw CoverImg.png 16 16 none \
  "fill #1f6f6f stroke #0d3b3b stroke-width 1 rectangle 2.5,1.5 13.5,14.5
   stroke #e0c060 line 4.5,4 11.5,4 line 4.5,6 9.5,6"
draw OverviewImg.png 16 16 none \
  "fill white stroke #555555 stroke-width 1 rectangle 1.5,1.5 14.5,14.5
   fill #4a7fc0 stroke none rectangle 3,3 7,7 rectangle 9,3 13,7 rectangle 3,9 7,13 rectangle 9,9 13,13"
draw ContentsImg.png 16 16 none \
  "fill white stroke #555555 stroke-width 1 rectangle 1.5,1.5 14.5,14.5
   stroke #333333 line 3.5,4.5 9.5,4.5 line 3.5,8 9.5,8 line 3.5,11.5 9.5,11.5
   stroke #888888 line 11.5,4.5 12.5,4.5 line 11.5,8 12.5,8 line 11.5,11.5 12.5,11.5"
draw IndexImg.png 16 16 none \
  "fill white stroke #555555 stroke-width 1 rectangle 1.5,1.5 14.5,14.5
   fill #333333 stroke none font DejaVu-Sans-Bold font-size 9 text 2.5,11.5 'A'
   stroke #777777 stroke-width 1 line 11,5 13,5 line 11,8 13,8 line 11,11 13,11"

# Pointer shapes, 32 x 32, white with a black outline. Hot spots are in platform/Assets.cpp.
hand_style="fill white stroke black stroke-width 1.2 stroke-linejoin round"
pointing="path 'M 10,3 Q 12,0.5 14,3 L 14,12 Q 16,10 18,12 Q 20,10 22,13 Q 24,11 26,14 L 26,22 Q 26,27 22,30 L 13,30 Q 10,28.5 8,25 L 3.5,18.5 Q 2.5,15.5 5.5,16 L 10,20 Z'
  fill none line 18,12 18,17 line 22,13 22,17"
open_hand="path 'M 7,8 Q 8.5,6 10,8 L 10,15 L 11,4 Q 12.5,2 14,4 L 14,14 L 15,3 Q 16.5,1 18,3 L 18,14 L 19,5 Q 20.5,3 22,5 L 22,17 L 24,13 Q 26.5,11.5 27,14 L 24,24 Q 22,29 18,30 L 13,30 Q 8,29 7,23 Z'"
fist="path 'M 7,14 Q 8,11 10.5,12 Q 11.5,9 14.5,10 Q 15.5,8 18.5,9.5 Q 20,8 22.5,10 Q 25.5,10.5 25.5,14 L 26,22 Q 25.5,28 20,30 L 13,30 Q 8,29 7,23 Z'
  fill none line 10.5,12 10.5,16 line 14.5,10 14.5,15 line 18.5,9.5 18.5,15 line 22.5,10 22.5,15"
badge_bg="fill white stroke black stroke-width 1"
draw HAND.png 32 32 none "$hand_style $open_hand"
draw HANDMOVE.png 32 32 none "$hand_style $fist"
draw HANDPNT.png 32 32 none "$hand_style $pointing"
$CONVERT HANDPNT.png -flop -strip PNG32:HANDPNTRIGHT1.png
# Badges in the lower right corner tell the pointing hands apart.
draw HANDPNTMOVE.png 32 32 none "$hand_style $pointing
  $badge_bg circle 25,25 25,18.5
  fill black stroke none polygon 25,19.5 27.5,22.5 22.5,22.5 polygon 25,30.5 27.5,27.5 22.5,27.5
  polygon 19.5,25 22.5,22.5 22.5,27.5 polygon 30.5,25 27.5,22.5 27.5,27.5"
draw HANDPNTGOTO.png 32 32 none "$hand_style $pointing
  $badge_bg circle 25,25 25,18.5
  fill black stroke none polygon 21,23.5 25,23.5 25,21 29.5,25 25,29 25,26.5 21,26.5"
draw HANDPNTGOTO2.png 32 32 none "$hand_style $pointing
  $badge_bg circle 25,25 25,18.5
  fill black stroke none polygon 20.5,21.5 25,25 20.5,28.5 polygon 25,21.5 29.5,25 25,28.5"
draw HANDPNTVIEW.png 32 32 none "$hand_style $pointing
  $badge_bg circle 25,25 25,18.5
  fill none stroke black stroke-width 1.5 circle 24,24 24,21 line 26.2,26.2 29,29"
draw ZOOMIN.png 32 32 none \
  "fill #eaf2ff stroke black stroke-width 2 circle 13,13 13,3
   stroke black stroke-width 4.5 stroke-linecap round line 20.5,20.5 29,29
   stroke-width 2 line 8,13 18,13 line 13,8 13,18"
echo "design pictures written to $OUT"
