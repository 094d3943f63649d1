#!/bin/sh
# Contact sheet of the show's pictures: contact-sheet.sh DIR_WITH_BMPS OUT.png
# Small pictures are enlarged (pixels kept sharp) so that their detail shows next to the full-screen ones.
set -e
src=${1:?directory with the pictures}
out=${2:?output png}
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
n=0
for name in title background walk1 walk2 walk3 walk4 walk5 prop pan mover corner riser zoom end; do
    n=$((n + 1))
    case $name in
        walk*|prop) scale=200% ;;
        mover|corner|riser) scale=100% ;;
        *) scale=50% ;;
    esac
    size=$(identify -format '%wx%h' "$src/$name.bmp")
    convert "$src/$name.bmp" -filter point -resize "$scale" -set label "$name.bmp  $size" "$tmp/$(printf %02d $n).miff"
done
montage "$tmp"/*.miff -tile 5x -geometry '320x260>+10+10' -background '#2a2a34' -fill '#f0e8d0' -pointsize 15 "$out"
