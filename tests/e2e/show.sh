#!/bin/bash
# The real program, the real media, a real X server and the ALSA WAV sink:
# records the show with scripts/record.sh, labels every screen frame against
# the media pictures (e2e_frames) and checks the scenes, their order and hold
# times, and the sound effects in the captured WAV.
#
#   show.sh play BUILD_DIR E2E_FRAMES WORK   one play, no argument
#   show.sh loop BUILD_DIR E2E_FRAMES WORK   repeat mode, stopped after the second title
#   show.sh same WORK                        both runs froze the same chase picture
set -uo pipefail
mode="$1"
here="$(cd "$(dirname "$0")" && pwd)"
repo="$(cd "$here/../.." && pwd)"

failures=0
fail() { echo "FAIL [$mode] $*"; failures=$((failures + 1)); }
finish() {
  if [ "$failures" -ne 0 ]; then
    echo "$failures check(s) failed; frames, labels and sound are in $work"
    exit 1
  fi
  echo "all checks passed"
  exit 0
}

if [ "$mode" = same ]; then
  work="$2"
  sig() { awk '$3 == "SHAKE" { for (i = 4; i <= NF; i++) if ($i ~ /^sig=/) print $i }' "$1" | sort | uniq -c | sort -rn | head -1 | awk '{print $2}'; }
  a="$(sig "$work/play/labels.txt")"
  b="$(sig "$work/loop/labels.txt")"
  echo "frozen chase picture: single play $a, first cycle of repeat mode $b"
  [ -n "$a" ] && [ "$a" = "$b" ] || fail "the two runs froze different chase pictures ($a, $b)"
  finish
fi

build="$2" frames="$3" work="$4/$mode"
media="$build/tools/media/work"
rm -rf "$work"
mkdir -p "$work/keep"

# the run
if [ "$mode" = play ]; then
  "$repo/scripts/record.sh" --fps 30 --work "$work" "$build" "$work/show.mp4" >"$work/record.out" 2>&1
  status=$?
  [ "$status" -eq 0 ] || fail "record.sh / the program ended with status $status"
else
  "$repo/scripts/record.sh" --fps 10 --no-check --work "$work" \
    --stop-when "$here/second_title.sh $frames $media $work/second-title 8" \
    "$build" "$work/show.mp4" loop >"$work/record.out" 2>&1
  grep -q '^record: the show was still running' "$work/record.out" ||
    fail "the repeating show ended by itself (status $?)"
fi
grep -h '^record:' "$work/record.out" | grep -v 'recording is'
[ -s "$work/screen.mkv" ] || { fail "no screen capture"; finish; }

# labels: "index seconds LABEL details"
ffmpeg -v error -nostdin -i "$work/screen.mkv" -fps_mode passthrough -f rawvideo -pix_fmt rgb24 - |
  "$frames" classify "$media" "$work/screen.times" "$work/keep" >"$work/labels.txt"
awk '{ print $3 }' "$work/labels.txt" | uniq -c | awk '{ printf "%s x%s, ", $2, $1 } END { print "" }'

first() { awk -v l="$1" -v from="${2:-0}" '$3 == l && $2 >= from { print $2; exit }' "$work/labels.txt"; }
last() { awk -v l="$1" '$3 == l { t = $2 } END { print t }' "$work/labels.txt"; }
count() { awk -v l="$1" '$3 == l { n++ } END { print n + 0 }' "$work/labels.txt"; }
# between A B LOW HIGH: LOW <= B - A <= HIGH
between() { awk -v a="$1" -v b="$2" -v lo="$3" -v hi="$4" 'BEGIN { d = b - a; exit !(d >= lo && d <= hi) }'; }
delay="$(sed -n 's/^record: sound starts \(-*[0-9]*\) ms.*/\1/p' "$work/record.out")"
# the sink may fall behind the wall clock on a busy machine; assume it did so evenly
read -r sound_ms wall_ms < <(sed -n 's/^record: \([0-9]*\) ms of sound in \([0-9]*\) ms.*/\1 \2/p' "$work/record.out")
[ "${sound_ms:-0}" -gt 0 ] && [ "${wall_ms:-0}" -gt 0 ] || fail "no length of sound and wall time from record.sh"
# wav_time SECONDS_OF_VIDEO: the same moment in capture.wav
wav_time() {
  awk -v t="$1" -v d="${delay:-0}" -v s="${sound_ms:-1}" -v w="${wall_ms:-1}" 'BEGIN { printf "%.3f", (t - d / 1000) * s / w }'
}
# sound NAME.wav VIDEO_SECONDS WHAT: the sample's waveform is in the capture there, on top of
# the music (unrelated sound correlates below 0.1)
sound() {
  local result corr
  result="$("$frames" sound "$work/capture.wav" "$media/$1" "$(wav_time "$2")")"
  corr="$(sed -n 's/^correlation=\([-0-9.]*\).*/\1/p' <<<"$result")"
  echo "sound: $3 ($1 at ${2}s): $result"
  awk -v c="${corr:-0}" 'BEGIN { exit !(c >= 0.2) }' || fail "$3: $1 is not heard at ${2}s ($result)"
}
[ -n "$delay" ] && [ -s "$work/capture.wav" ] || fail "no sound captured"

if [ "$mode" = play ]; then
  # one play: the status and the running time of fixed waits plus drawing
  ran="$(sed -n 's/^record: the show ran \([0-9]*\) ms.*/\1/p' "$work/record.out")"
  echo "the show ran ${ran:-?} ms"
  [ -n "$ran" ] && [ "$ran" -ge 35000 ] && [ "$ran" -le 80000 ] || fail "ran ${ran:-?} ms, want 35-80 s"

  # every scene, in show order
  prev=0
  for label in TITLE WALK SLIDE NOISE PAN ZOOM SHAKE END; do
    t="$(first "$label" "$prev")"
    if [ "$label" = SLIDE ] && [ -z "$t" ]; then t="$(first RISE "$prev")"; fi
    if [ -z "$t" ]; then fail "no $label frame after ${prev}s"; continue; fi
    echo "first $label frame at ${t}s"
    eval "at_$label=$t"
    prev="$t"
  done
  # a frame grabbed while the screen was being drawn may fit no scene; a few in a hundred at most
  others="$(count OTHER)"; total="$(wc -l <"$work/labels.txt")"
  echo "$others of $total frames fit no scene"
  [ $((others * 20)) -le "$total" ] || fail "$others of $total frames fit no scene (some kept in $work/keep)"

  # within the scenes: the figure walks right, the mover slides right, the window travels the path
  awk '$3 == "WALK" { split($4, a, "="); if (a[2] + 0 < x) bad = 1; x = a[2] + 0 } END { exit bad }' \
    "$work/labels.txt" || fail "the walking figure does not move steadily right"
  awk '$3 == "PAN" { split($4, a, "="); if (a[2] + 0 < s) bad = 1; s = a[2] + 0 } END { exit bad }' \
    "$work/labels.txt" || fail "the pan does not move along its path"
  # the shake shows one frozen picture, moved about
  sigs="$(awk '$3 == "SHAKE" { print $6 }' "$work/labels.txt" | sort -u | wc -l)"
  shifts="$(awk '$3 == "SHAKE" { print $4 }' "$work/labels.txt" | sort -u | wc -l)"
  echo "shake: $(count SHAKE) frames, $shifts different shifts, $sigs frozen picture(s)"
  [ "$sigs" -eq 1 ] || fail "the shaking picture changes ($sigs different chains)"
  [ "$shifts" -ge 5 ] || fail "the picture hardly shakes ($shifts different shifts)"

  # the holds: title 7.5 s, still 3.5 s (plus the chase), shake 9.28 s, end picture 12.5 s
  if [ -n "${at_WALK:-}" ] && [ -n "${at_END:-}" ]; then
    between "$at_TITLE" "$at_WALK" 7.4 8.5 || fail "title held from $at_TITLE to $at_WALK s, want 7.5 s"
    next="$(first CHASE "$at_ZOOM")"; next="${next:-$at_SHAKE}"
    between "$at_ZOOM" "$next" 3.4 4.5 || fail "still held from $at_ZOOM to $next s, want 3.5 s"
    between "$at_SHAKE" "$at_END" 9.1 10.2 || fail "shake from $at_SHAKE to $at_END s, want 9.28 s"
    end_last="$(last END)"
    between "$at_END" "$end_last" 12.0 13.5 || fail "end picture from $at_END to $end_last s, want 12.5 s"
  fi

  # sound: title sample with the title, the walk's sample, music under the still, the finale's sample
  if [ -n "$delay" ] && [ -n "${at_END:-}" ]; then
    sound title.wav "$at_TITLE" "title"
    sound gaar.wav "$at_WALK" "walk"
    sound terror.wav "$at_SHAKE" "shake"
    music="$(sox "$work/capture.wav" -n trim "$(wav_time "$at_ZOOM")" 3 stat 2>&1 | awk '/RMS +amplitude/ { print $3 }')"
    echo "sound: music under the still picture: RMS $music"
    awk -v r="${music:-0}" 'BEGIN { exit !(r > 0.002) }' || fail "no music under the still picture (RMS ${music:-?})"
  fi

  # one frame per scene for the contact sheet: the middle one of each label
  for label in TITLE WALK SLIDE RISE NOISE PAN ZOOM CHASE SHAKE END; do
    awk -v l="$label" '$3 == l { i[n++] = $1 } END { if (n) print l, i[int(n / 2)] }' "$work/labels.txt"
  done >"$work/sheet.list"
else
  # repeat mode (10 frames a second: too coarse for the sync check, which the single play makes)
  # title, the cycle, end picture, and the title with its sample again
  t1="$(first TITLE)"
  end="$(first END "${t1:-0}")"
  t2="$(first TITLE "${end:-999999}")"
  echo "repeat mode: title at ${t1:-?}s, end picture at ${end:-?}s, title again at ${t2:-?}s"
  if [ -z "$t1" ] || [ -z "$end" ] || [ -z "$t2" ]; then
    fail "no second title after the end picture"
  else
    between "$end" "$t2" 12.0 13.5 || fail "end picture held from $end to $t2 s, want 12.5 s"
    [ -n "$(first SHAKE "$t1")" ] || fail "no shake in the first cycle"
    sound title.wav "$t1" "first title"
    sound title.wav "$t2" "second title"
  fi
fi
finish
