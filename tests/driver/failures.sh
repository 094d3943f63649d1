#!/bin/bash
# Start-up failures of the real program: each case ends with status 1, the
# exact standard output, one message (or none) on standard error, no crash.
# usage: failures.sh STRIKK STRIKK_SEAM FIXTURES
set -uo pipefail
program="$1"; seam="$2"; fixtures="$3"
source "$(dirname "$0")/lib.sh"

sound_msg="Error initializing sound card"
no_sound="$(allegro_cfg nosound '[sound]' 'digi_card = 0')"
no_gfx="$(allegro_cfg nogfx '[graphics]' 'gfx_card = DGA2')"

# name | runner | datafile | setup | stdout | stderr
cases=(
  "sound fails|$program|good.wee|ALLEGRO=$no_sound|$sound_msg|"
  "graphics mode fails|$program|good.wee|ALLEGRO=$no_gfx||"
  "no display|$program|good.wee|-u DISPLAY||strikk: allegro_init failed*"
  "install_timer fails|$seam|good.wee|STRIKK_SEAM_FAIL=install_timer||strikk: install_timer failed"
  "install_int fails|$seam|good.wee|STRIKK_SEAM_FAIL=install_int||strikk: install_int failed"
  "create_bitmap fails|$seam|good.wee|STRIKK_SEAM_FAIL=create_bitmap||strikk: create_bitmap failed"
  "data.wee missing|$program|-|||data.wee: No such file or directory"
  "data.wee a directory|$program|dir|||data.wee: Is a directory"
  "data.wee not a datafile|$program|garbage.wee|||data.wee: offset 0: *"
  "17 objects|$program|short.wee|||data.wee: holds 17 objects, needs at least 18"
  "sample is a bitmap|$program|swapped.wee|||data.wee: object 4 (TITLE_SAMPLE) is a bitmap, needs a sample"
  "pan picture too small|$program|smallpan.wee|||data.wee: object 10 (PAN_BMP) is 320x200, needs at least 640x480"
)

for entry in "${cases[@]}"; do
  IFS='|' read -r name runner datafile setup want_out want_err <<<"$entry"
  file="-"; [ "$datafile" = "-" ] || [ "$datafile" = dir ] || file="$fixtures/$datafile"
  dir="$(workdir "$name" "$file")"
  [ "$datafile" = dir ] && mkdir "$dir/data.wee"

  (cd "$dir" && timeout 60 env $setup "$runner" >"$dir/out" 2>"$dir/err")
  status=$?
  err="$(our_lines "$dir/err")"

  [ "$status" -eq 1 ] || fail "$name" "exit status $status, want 1"
  [ "$(cat "$dir/out"; echo x)" = "${want_out}x" ] || fail "$name" "stdout '$(cat "$dir/out")', want '$want_out'"
  # shellcheck disable=SC2053 # the expected message may end in a wildcard
  if [ -z "$want_err" ]; then
    [ -z "$err" ] || fail "$name" "unexpected stderr: $err"
  elif [ "$(printf '%s\n' "$err" | wc -l)" -ne 1 ] || [[ "$err" != $want_err ]]; then
    fail "$name" "stderr '$err', want '$want_err'"
  fi
done
finish
