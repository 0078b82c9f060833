#!/usr/bin/env bash
# Renders the program's pictures from their SVG sources beside them. The PNGs
# are kept in the repository, so building the program never needs this; run it
# after changing an SVG (needs rsvg-convert from librsvg2-bin and ImageMagick).
set -euo pipefail
cd "$(dirname "$0")"

# The panel pictures are opaque 24-bit images, 600 x 400.
for picture in home_picture cloning_picture imaging_picture restore_picture; do
  rsvg-convert --width 600 --height 400 --background-color white "$picture.svg" --output "$picture.tmp.png"
  convert "$picture.tmp.png" -alpha off -define png:color-type=2 -strip "$picture.png"
  rm "$picture.tmp.png"
done

# The help image keeps its alpha channel.
rsvg-convert --width 24 --height 24 help_image.svg --output help_image.png
convert help_image.png -define png:color-type=6 -strip help_image.png

for size in 64 128; do
  rsvg-convert --width "$size" --height "$size" application_icon.svg --output "application_icon_$size.png"
  convert "application_icon_$size.png" -define png:color-type=6 -strip "application_icon_$size.png"
done
