#!/usr/bin/env bash
# Regenerates the demo program's two built-in pictures (446 x 75, 24-bit BMP): a word in
# red-to-blue gradient lettering on a silver field. Run once; the results are committed.
set -eu
out=${1:-$(dirname "$0")/../settings/res}
make_picture() {  # text file
  convert -size 446x75 xc:'#C0C0C0' \
    \( -size 446x75 gradient:red-blue -rotate -90 -resize '446x75!' \) \
    \( -size 446x75 xc:black -font DejaVu-Serif-Bold-Italic -pointsize 52 -fill white \
       -gravity center -annotate +0+0 "$1" \) \
    -composite -type TrueColor -define bmp:format=bmp3 -compress none BMP3:"$2"
}
make_picture "Introducing" "$out/From.bmp"
make_picture "Lumawipe" "$out/To.bmp"
