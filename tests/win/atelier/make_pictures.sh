#!/bin/sh
# Makes the six pictures of the folder that the Atelier's Windows tests start
# a quiz from (run once; the files are kept in the repository): JPEG and PNG
# mixed, one accented file name, and a file that is no picture. Each is
# 160 x 120, a river's colour with a white band, so that the thumbnails and
# the preview tell them apart. Beside them, in large/, one picture much
# larger than the views.
set -e
cd "$(dirname "$0")/pictures"
picture() { # name colour
  convert -size 160x120 "xc:$2" -fill white -draw "rectangle 10,50 150,70" -strip "$1"
}
picture Ain.jpg '#c03030'
picture Garonne.png '#3060c0'
picture Loire.jpg '#30a040'
picture Meuse.png '#a040a0'
picture Rhône.png '#d09020'
# A wider picture: the quiz colour shows above and below it in the view.
convert -size 160x80 "xc:#208080" -fill white -draw "rectangle 10,30 150,50" -strip Seine.jpg
printf 'Des fleuves de France.\r\n' > lisez-moi.txt
# A picture much larger than the views, for the reduction at build.
convert -size 1600x1200 gradient:'#3060c0-#c0e0ff' -fill white -draw "rectangle 100,500 1500,700" -quality 80 \
  -strip ../large/Loire-grande.jpg
