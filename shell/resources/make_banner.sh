#!/usr/bin/env bash
# Writes banner.bmp, the About box's 500 x 54 banner, with ImageMagick: a
# night-blue to teal band, three "result rows" at the left with one term
# marked in the preview's yellow, a magnifying glass over them, and the
# program's name. Quantised to a 256-colour palette and written as a plain
# BITMAPINFOHEADER bitmap (BMP3), uncompressed, the form every loader takes.
# Run it again after changing the picture; banner.bmp is committed beside it.
set -euo pipefail
cd "$(dirname "$0")"

sans=Liberation-Sans
bold=Liberation-Sans-Bold

convert -size 54x500 gradient:'#0b2545-#13737a' -rotate 90 \
    -fill '#ffffff26' -draw 'rectangle 12,12 96,16' \
    -fill '#ffffff26' -draw 'rectangle 12,24 84,28' \
    -fill '#ffffff26' -draw 'rectangle 12,36 90,40' \
    -fill '#ffffa0' -draw 'rectangle 40,23 64,29' \
    -stroke '#e8f1f2' -strokewidth 4 -fill none -draw 'circle 52,26 52,10' \
    -stroke '#e8f1f2' -strokewidth 6 -draw 'line 64,38 80,50' \
    -stroke none -fill white -font "$bold" -pointsize 30 -annotate +112+37 'Tarvo Search' \
    -fill '#bfe3e6' -font "$sans" -pointsize 13 -annotate +318+36 'ranked search of source trees' \
    -colors 256 -type Palette -depth 8 -compress None BMP3:banner.bmp
