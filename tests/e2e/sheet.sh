#!/bin/bash
# Contact sheet of the show from the end-to-end test's single play: one real
# frame per scene (the middle one of its label), 3 x 3 tiles at half size.
#   sheet.sh PLAY_DIR OUT.png     (PLAY_DIR: BUILD/tests/e2e/runs/play)
set -euo pipefail
play="$1" out="$2"
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT

# label shown | labels of the scene, first one present wins
scenes=("title|TITLE" "walk|WALK" "slide and rise|SLIDE RISE" "noise|NOISE" "pan|PAN"
        "still|ZOOM" "chase|CHASE SHAKE" "shake|SHAKE" "end|END")
tiles=()
n=0
for entry in "${scenes[@]}"; do
  IFS='|' read -r caption labels <<<"$entry"
  index=""
  for label in $labels; do
    index="$(awk -v l="$label" '$1 == l { print $2 }' "$play/sheet.list")"
    [ -n "$index" ] && break
  done
  [ -n "$index" ] || { echo "sheet: no $caption frame in $play/labels.txt" >&2; exit 1; }
  ffmpeg -v error -nostdin -y -i "$play/screen.mkv" -vf "select=eq(n\,$index)" -fps_mode passthrough \
    -frames:v 1 "$tmp/$n.png"
  tiles+=(-label "$caption" "$tmp/$n.png")
  n=$((n + 1))
done
montage "${tiles[@]}" -tile 3x3 -geometry 320x240+4+4 -background '#202020' -fill white \
  -pointsize 16 "$tmp/sheet.png"
# a 256-colour palette keeps the picture small enough for the repository
convert "$tmp/sheet.png" -dither FloydSteinberg -colors 256 "PNG8:$out"
echo "sheet: $out"
