#!/usr/bin/env bash
# Draws the program's icons and start-up picture with ImageMagick; run from res/ to refresh them.
set -euo pipefail
font=/usr/share/fonts/truetype/dejavu/DejaVuSansCondensed-Bold.ttf

# icon <file> <knob x> <track colour>: the product name above a slide switch.
icon() {
  convert -size 128x128 xc:none \
    -fill '#1d3557' -draw 'roundrectangle 4,4 123,123 22,22' \
    -font "$font" -pointsize 34 -fill white -gravity north -annotate +0+14 'ZEPA2' \
    -gravity northwest \
    -fill "$3" -draw 'roundrectangle 22,70 105,106 18,18' \
    -fill '#f1faee' -stroke '#0b1a2e' -strokewidth 2 -draw "circle $2,88 $(($2 + 15)),88" \
    -depth 8 "$1.png"
  convert "$1.png" -depth 8 -resize 32x32 "$1_32.png"
  convert "$1.png" -depth 8 -resize 16x16 "$1_16.png"
}
icon icon128 40 '#8d99ae'   # waiting: knob left, track grey
icon icon134 87 '#2a9d8f'   # running: knob right, track green

convert -size 540x90 gradient:'#1d3557'-'#457b9d' \
  -font "$font" -pointsize 56 -fill white -gravity west -annotate +150+0 'ZEPA2' \
  -pointsize 15 -fill '#f1faee' -gravity southeast -annotate +14+10 'global address watcher' \
  -fill '#2a9d8f' -draw 'roundrectangle 22,25 122,65 20,20' \
  -fill '#f1faee' -stroke '#0b1a2e' -strokewidth 2 -draw 'circle 101,45 118,45' \
  -depth 8 -type TrueColor splash138.png
