#!/bin/bash
# Builds small datafiles for the driver's tests with Allegro's `dat`:
#   good.wee      the 18 catalogue objects at their smallest sizes
#   short.wee     only the first 17
#   swapped.wee   a bitmap where the title sample belongs (index 4)
#   smallpan.wee  a 320x200 pan picture (index 10)
#   garbage.wee   not a datafile at all
# usage: make_fixtures.sh OUTDIR
set -euo pipefail
out="$1"
mkdir -p "$out/src"
cd "$out/src"

# inputs: pictures in distinct colours, a short tone, a one-note tune
picture() { convert -size "$2" "xc:$3" "bmp3:$1"; }
picture screen.bmp 640x480 '#204080'
picture walk.bmp   75x127  '#ff00ff'
picture riser.bmp  187x78  '#30a030'
picture prop.bmp   70x79   '#a03030'
picture mover.bmp  164x182 '#c0c020'
picture corner.bmp 254x224 '#20c0c0'
picture small.bmp  320x200 '#808080'
sox -n -r 22050 -b 16 -c 1 tone.wav synth 0.2 sine 440 2>/dev/null
printf 'MThd\0\0\0\6\0\0\0\1\0\140MTrk\0\0\0\14\0\220\74\100\140\200\74\100\0\377\57\0' > tune.mid

# catalogue order: file for each index, 0..17
catalogue=(tune.mid tone.wav screen.bmp screen.bmp tone.wav walk.bmp walk.bmp walk.bmp walk.bmp walk.bmp
           screen.bmp riser.bmp screen.bmp tone.wav prop.bmp mover.bmp corner.bmp screen.bmp)

# pack FILE... into a datafile, one object per argument, in order
pack() {
  local target="$1"; shift
  rm -f "$target"
  local i=0
  for f in "$@"; do
    local copy="obj$i.${f##*.}"
    cp "$f" "$copy"
    if [ "${f##*.}" = bmp ]; then
      dat -a -n0 -s1 -c0 -t BMP -bpp 16 "$target" "$copy" >/dev/null
    else
      dat -a -n0 -s1 -c0 "$target" "$copy" >/dev/null
    fi
    rm -f "$copy"
    i=$((i + 1))
  done
}

pack ../good.wee "${catalogue[@]}"
pack ../short.wee "${catalogue[@]:0:17}"
swapped=("${catalogue[@]}"); swapped[4]=screen.bmp
pack ../swapped.wee "${swapped[@]}"
smallpan=("${catalogue[@]}"); smallpan[10]=small.bmp
pack ../smallpan.wee "${smallpan[@]}"
head -c 4096 /dev/urandom > ../garbage.wee
