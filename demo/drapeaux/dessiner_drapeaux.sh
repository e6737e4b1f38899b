#!/usr/bin/env bash
# Draws the flags of the demo quiz with ImageMagick. Run once; the pictures
# are committed. Most are JPEG, three are PNG so that both picture routes of
# the player are used.
set -euo pipefail
cd "$(dirname "$0")/images"
W=600 H=400

tricolore_v() {  # file colour1 colour2 colour3
  convert -size ${W}x${H} xc:"$3" -fill "$2" -draw "rectangle 0,0 $((2*W/3-1)),$H" \
    -fill "$1" -draw "rectangle 0,0 $((W/3-1)),$H" -strip "$4"
}
tricolore_h() {
  convert -size ${W}x${H} xc:"$3" -fill "$2" -draw "rectangle 0,0 $W,$((2*H/3-1))" \
    -fill "$1" -draw "rectangle 0,0 $W,$((H/3-1))" -strip "$4"
}
deux_bandes_h() {
  convert -size ${W}x${H} xc:"$2" -fill "$1" -draw "rectangle 0,0 $W,$((H/2-1))" -strip "$3"
}

tricolore_v '#0055A4' '#FFFFFF' '#EF4135' 01-france.jpg
tricolore_v '#009246' '#FFFFFF' '#CE2B37' 02-italie.jpg
tricolore_v '#000000' '#FDDA24' '#EF3340' 03-belgique.png
tricolore_h '#000000' '#DD0000' '#FFCE00' 04-allemagne.jpg
tricolore_v '#169B62' '#FFFFFF' '#FF883E' 05-irlande.jpg
tricolore_h '#AE1C28' '#FFFFFF' '#21468B' 06-pays-bas.jpg
tricolore_h '#ED2939' '#FFFFFF' '#ED2939' 07-autriche.png
deux_bandes_h '#FFFFFF' '#DC143C' 08-pologne.jpg
convert -size ${W}x${H} xc:white -fill '#BC002D' -draw "circle $((W/2)),$((H/2)) $((W/2)),$((H/2+H*3/10))" \
  -strip 09-japon.jpg
tricolore_h '#FFFFFF' '#0039A6' '#D52B1E' 10-russie.jpg
deux_bandes_h '#0057B7' '#FFD700' 11-ukraine.jpg
# A square flag: narrower than the picture box once fitted.
convert -size ${H}x${H} xc:'#DA291C' -fill white \
  -draw "rectangle $((H*6/32)),$((H*13/32)) $((H*26/32)),$((H*19/32))" \
  -draw "rectangle $((H*13/32)),$((H*6/32)) $((H*19/32)),$((H*26/32))" -strip 12-suisse.png
