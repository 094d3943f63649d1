#!/bin/bash
# Makes the show's media and packs them:
#   pack.sh MKMEDIA WORKDIR OUTDIR DATA_H SOUNDFONT
# MKMEDIA writes the pictures, sounds and music into WORKDIR; `dat` packs
# them into OUTDIR/data.wee in the program's index order, and `pat2dat` puts
# the instruments the music uses into OUTDIR/patches.dat. Fails when the
# header `dat` writes does not name and number the objects as DATA_H does.
set -euo pipefail

[ $# -eq 5 ] || { echo "usage: $0 MKMEDIA WORKDIR OUTDIR DATA_H SOUNDFONT" >&2; exit 2; }
mkmedia="$1" work="$2" out="$3" data_h="$4" soundfont="$5"

# media files, made afresh
rm -rf "$work"
mkdir -p "$work" "$out"
"$mkmedia" "$work"
cd "$work"

# datafile: -n0 keeps the order of adding, -s1 leaves out the grabber's
# dates and file names (the output is the same on every run), -c0 stores
# uncompressed; pictures converted to 16 bits per pixel
pack() { dat -a -n0 -s1 -c0 data.wee "$@" >>dat.log; }
pictures() { pack -t BMP -bpp 16 "$@"; }
pack music.mid gaar.wav
pictures background.bmp title.bmp
pack title.wav
pictures walk1.bmp walk2.bmp walk3.bmp walk4.bmp walk5.bmp pan.bmp riser.bmp end.bmp
pack terror.wav
pictures prop.bmp mover.bmp corner.bmp zoom.bmp

# names: dat derives them from the file names, the program wants these
rename() { dat -n0 -s1 -c0 data.wee "NAME=$1" "$2" >>dat.log; }
rename MUSIC_MIDI MUSIC_MID
rename GAAR_SAMPLE GAAR_WAV
rename TITLE_SAMPLE TITLE_WAV
rename TERROR_SAMPLE TERROR_WAV

# index check: the NAME NUMBER pairs of dat's header against data.h
dat -n0 -s1 -c0 -h packed.h data.wee >>dat.log
awk '/^#define/ { print $2, $3 }' packed.h >packed.ids
sed -n 's/^inline constexpr int \([A-Z0-9_]*\) *= *\([0-9]*\);.*/\1 \2/p' "$data_h" >wanted.ids
if ! diff -u wanted.ids packed.ids >ids.diff; then
  echo "pack.sh: data.wee's objects do not match $data_h:" >&2
  cat ids.diff >&2
  exit 1
fi

# instruments: only those that music.mid plays. pat2dat also takes the
# grand piano as a stand-in for missing patches (none are missing, and the
# tune has no piano) and dates its index: drop both, so the file is smaller
# and the same on every run
pat2dat -o patches.dat "$soundfont" music.mid >pat2dat.log
patches() { dat -n0 -s1 -c0 "$@" >>dat.log; }
patches -e -o default.cfg patches.dat default_cfg
sed -i '/^# Date:/d' default.cfg
patches -a -t DATA patches.dat default.cfg
patches patches.dat NAME=default_cfg DEFAULT_CFG
patches -d patches.dat acpiano

# publish both at once, never half-written
cp data.wee "$out/data.wee.new"
cp patches.dat "$out/patches.dat.new"
mv "$out/data.wee.new" "$out/data.wee"
mv "$out/patches.dat.new" "$out/patches.dat"
