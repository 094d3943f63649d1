#!/bin/bash
# Packs the media a second time and compares every file with the build's:
#   same_twice.sh PACK MKMEDIA BUILD_WORK BUILD_OUT RUN_DIR DATA_H SOUNDFONT
# Any difference (a date, unseeded noise) fails and names the file.
set -euo pipefail
pack="$1" mkmedia="$2" build_work="$3" build_out="$4" run="$5" data_h="$6" soundfont="$7"

rm -rf "$run"
bash "$pack" "$mkmedia" "$run/work" "$run/out" "$data_h" "$soundfont"

status=0
for f in "$build_work"/*.bmp "$build_work"/*.wav "$build_work"/*.mid; do
  cmp -s "$f" "$run/work/$(basename "$f")" || { echo "differs: $(basename "$f")"; status=1; }
done
for f in data.wee patches.dat; do
  cmp -s "$build_out/$f" "$run/out/$f" || { echo "differs: $f"; status=1; }
done
[ "$status" = 0 ] && echo "media identical on a second run"
exit "$status"
