#!/bin/sh
# Makes the four pictures of the quiz that vidod-make builds in the Windows
# tests, one per format the player shows (run once; the files are kept in the
# repository). All are 40 x 30, fitted to 210 x 157 in the list view.
set -e
cd "$(dirname "$0")/images"
convert -size 40x30 'xc:#c03030' -fill white -draw "rectangle 2,2 8,8" -quality 90 rome.jpg
convert -size 40x30 'xc:#3060c0' -fill white -draw "rectangle 2,2 8,8" -define png:color-type=2 paris.png
convert -size 40x30 'xc:#30a040' -fill white -draw "rectangle 2,2 8,8" berne.gif
convert -size 40x30 'xc:#a040a0' -fill white -draw "rectangle 2,2 8,8" BMP3:madrid.bmp
