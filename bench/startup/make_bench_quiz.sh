#!/usr/bin/env bash
# Writes the start-up benchmark's quizzes into OUT_DIR: 96 photograph-like
# 640 x 480 JPEG pictures and three one-answer sources using the first 12, 48
# and 96 of them, with pictures in the list view.
set -euo pipefail
out=$1
mkdir -p "$out/images"
for i in $(seq 1 98); do
  picture=$(printf '%s/images/%03d.jpg' "$out" "$i")
  [ -f "$picture" ] && continue
  # Noise blurred into blotches compresses like a photograph.
  convert -size 640x480 -seed "$i" plasma:fractal -blur 0x2 -quality 85 -strip "$picture"
done
for count in 12 48 96; do
  source="$out/startup_$count.toml"
  {
    echo "titre = \"Mesure $count\""
    echo "auteur = \"Banc\""
    echo "explication = \"Quiz de mesure du démarrage\""
    echo "libelles = [\"\", \"\"]"
    echo "type = 0"
    echo "images_dans_liste = true"
    printf 'codes = ['
    for i in $(seq 1 "$count"); do printf '"C%d", ' "$i"; done
    echo ']'
    for i in $(seq 1 "$count"); do
      echo "[[question]]"
      echo "reponse = \"reponse $i\""
      printf 'image = "images/%03d.jpg"\n' "$i"
    done
  } > "$source.tmp"
  mv "$source.tmp" "$source"
done
