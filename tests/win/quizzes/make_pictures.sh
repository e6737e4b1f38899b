#!/bin/sh
# Makes the small test pictures of the view tests (run once; the files are kept
# in the repository). Each size is chosen for the box it is fitted into:
#   wide_64x40    640 x 400 in the 640 x 480 box (full width), 210 x 131 in 210 x 210
#   wide_42x30    210 x 150 in 210 x 210: a row whose tallest picture is 150
#   wide_70x35    210 x 105 in 210 x 210
#   narrow_60x48  600 x 480 in 640 x 480, 210 x 168 in 210 x 210
#   narrow_36x48  360 x 480 in 640 x 480, 157 x 210 in 210 x 210
#   flag_60x36    640 x 384 in 640 x 480, 210 x 126 in 210 x 210; black along its top
#   clear_40x40   480 x 480 in 640 x 480; a PNG, transparent but for a square in its middle
set -e
cd "$(dirname "$0")/images"
picture() {
  convert -size "$2" "xc:$3" -fill white -draw "rectangle 2,2 8,8" -quality 90 "$1.jpg"
}
picture wide_64x40 64x40 '#3060c0'
picture wide_42x30 42x30 '#c03030'
picture wide_70x35 70x35 '#30a040'
picture narrow_60x48 60x48 '#a040a0'
picture narrow_36x48 36x48 '#c09020'
convert -size 60x36 xc:'#000000' -fill '#dd0000' -draw 'rectangle 0,12 59,23' \
  -fill '#ffce00' -draw 'rectangle 0,24 59,35' -strip -quality 92 flag_60x36.jpg
convert -size 40x40 xc:none -fill '#2050c0' -draw 'rectangle 10,10 29,29' -strip PNG32:clear_40x40.png
