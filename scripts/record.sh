#!/bin/bash
# Plays the show on a private Xvfb with the ALSA WAV sink and records it:
# the screen through ffmpeg's x11grab, the sound from the sink, joined into
# an H.264 + AAC file with the sound moved by the measured delay between the
# start of the screen capture and the start of the sound.
#
#   scripts/record.sh [options] BUILD_DIR OUT.mp4 [program arguments...]
#
# --fps N        screen frames per second (default 30)
# --work DIR     where the lossless screen capture (screen.mkv, with
#                screen.times), capture.wav and the logs stay
#                (default BUILD_DIR/record)
# --stop-when C  shell command run every half second while the show plays;
#                when it succeeds the program is stopped (for repeat mode).
#                It sees DISPLAY and RECORD_ELAPSED (seconds since start).
# --no-check     skip the sync check
#
# After writing OUT.mp4 it checks the sync: the first non-black picture and
# the first sound of OUT.mp4 (the title picture and the title sample start
# together) must lie within 100 ms of each other. Exits with the program's
# status, or 3 when the sync check fails.
set -euo pipefail

here="$(cd "$(dirname "$0")/.." && pwd)"
fps=30
work=""
stop_when=""
check=1
while [ $# -gt 0 ]; do
  case "$1" in
    --fps) fps="$2"; shift 2 ;;
    --work) work="$2"; shift 2 ;;
    --stop-when) stop_when="$2"; shift 2 ;;
    --no-check) check=0; shift ;;
    --inside) break ;;
    *) break ;;
  esac
done

# outside the stand-ins: start them and run this script again inside
if [ "${1:-}" != --inside ]; then
  [ $# -ge 2 ] || { echo "usage: $0 [--fps N] [--work DIR] [--stop-when CMD] [--no-check] BUILD_DIR OUT.mp4 [args...]" >&2; exit 2; }
  build="$(cd "$1" && pwd)"; out="$2"; shift 2
  case "$out" in /*) ;; *) out="$PWD/$out" ;; esac
  work="${work:-$build/record}"
  mkdir -p "$work"
  work="$(cd "$work" && pwd)"
  export RECORD_FPS="$fps" RECORD_STOP_WHEN="$stop_when" RECORD_CHECK="$check"
  export STRIKK_PATCHES="$build/patches.dat"
  exec "$here/scripts/headless.sh" --force --out "$work" "$0" --inside "$build" "$out" "$work" "$@"
fi
shift
build="$1" out="$2" work="$3"; shift 3
fps="$RECORD_FPS" stop_when="$RECORD_STOP_WHEN" check="$RECORD_CHECK"

# seconds since the epoch, with nanoseconds, of a file's creation
born() { date -d "$(stat -c %w "$1")" +%s.%N; }
# a - b in milliseconds
ms() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%d", (a - b) * 1000 }'; }

grab=""
show=""
stop_all() {
  [ -n "$show" ] && kill "$show" 2>/dev/null && wait "$show" 2>/dev/null
  [ -n "$grab" ] && kill -INT "$grab" 2>/dev/null && wait "$grab" 2>/dev/null
  return 0
}
trap stop_all EXIT

# screen capture first, lossless RGB so frames can be compared with the media
rm -f "$work/capture.wav" "$work/screen.mkv" "$work/grab.log"
ffmpeg -hide_banner -nostdin -f x11grab -draw_mouse 0 -framerate "$fps" -video_size 640x480 \
  -i "$DISPLAY" -c:v libx264rgb -preset ultrafast -qp 0 "$work/screen.mkv" 2>"$work/grab.log" &
grab=$!
for _ in $(seq 200); do grep -q 'start: [0-9]' "$work/grab.log" && break; sleep 0.05; done
capture_start="$(sed -n 's/.*start: \([0-9.]*\),.*/\1/p' "$work/grab.log" | head -1)"
[ -n "$capture_start" ] || { echo "record: screen capture did not start (see $work/grab.log)" >&2; exit 1; }
sleep 0.3

# the show, from the build directory where data.wee and patches.dat are
started="$(date +%s.%N)"
stopped=0
(cd "$build" && exec ./strikk "$@") &
show=$!
if [ -n "$stop_when" ]; then
  while kill -0 "$show" 2>/dev/null; do
    sleep 0.5
    RECORD_ELAPSED="$(ms "$(date +%s.%N)" "$started")"
    RECORD_ELAPSED=$((RECORD_ELAPSED / 1000))
    if (export RECORD_ELAPSED; eval "$stop_when") >/dev/null 2>&1; then
      kill -TERM "$show" 2>/dev/null && stopped=1
      break
    fi
  done
fi
set +e
wait "$show"
status=$?
set -e
show=""
ended="$(date +%s.%N)"
sleep 0.3
kill -INT "$grab"
wait "$grab" || true
grab=""
echo "record: the show ran $(ms "$ended" "$started") ms, exit status $status" >"$work/record.log"
[ "$stopped" = 0 ] || echo "record: the show was still running and was stopped from outside" >>"$work/record.log"

# the frames' times, for whoever compares them with the media
ffprobe -v error -select_streams v -show_entries frame=pts_time -of csv=p=0 "$work/screen.mkv" |
  grep -o '^[0-9.]*' >"$work/screen.times"

# D: the sound file starts when the program opens the sound device
tmp="$out.part.mp4"
if [ -s "$work/capture.wav" ]; then
  sound_born="$(born "$work/capture.wav")"
  delay_ms="$(ms "$sound_born" "$capture_start")"
  echo "record: sound starts $delay_ms ms after the screen capture" >>"$work/record.log"
  # the file sink falls behind the wall clock when the machine is busy: stretch
  # the sound evenly over the time it was open
  wall_ms="$(ms "$ended" "$sound_born")"
  # from the size: a program stopped from outside may leave a header saying 0 bytes
  sound_ms="$(stat -c %s "$work/capture.wav" | awk '{ printf "%d", ($1 - 44) / (44100 * 4) * 1000 }')"
  tempo="$(awk -v s="$sound_ms" -v w="$wall_ms" 'BEGIN { t = s / w; if (t < 0.5) t = 0.5; if (t > 2) t = 2; printf "%.6f", t }')"
  echo "record: $sound_ms ms of sound in $wall_ms ms of wall time" >>"$work/record.log"
  ffmpeg -v error -nostdin -y -i "$work/screen.mkv" -ignore_length 1 -i "$work/capture.wav" \
    -filter_complex "[1:a]atempo=${tempo},adelay=${delay_ms}:all=1[a]" -map 0:v -map "[a]" \
    -c:v libx264 -preset veryfast -crf 20 -pix_fmt yuv420p -c:a aac -b:a 192k "$tmp"
else
  echo "record: no sound was captured" >>"$work/record.log"
  ffmpeg -v error -nostdin -y -i "$work/screen.mkv" -c:v libx264 -preset veryfast -crf 20 -pix_fmt yuv420p "$tmp"
fi
mv "$tmp" "$out"

# sync: the title picture and the first sound start at the same moment
if [ "$check" = 1 ] && [ -s "$work/capture.wav" ]; then
  picture="$(ffprobe -v error -f lavfi "movie=$out,signalstats" \
    -show_entries frame=pts_time:frame_tags=lavfi.signalstats.YMAX -of csv=p=0 |
    awk -F, '$2 > 40 && !found { print $1; found = 1 }' || true)"
  sound="$(ffmpeg -nostdin -i "$out" -map 0:a -af silencedetect=n=-50dB:d=0.05 -f null - 2>&1 |
    awk '/silence_start: 0(\.0*)?$/ { lead = 1 } /silence_end:/ && !done { sub(/.*silence_end: */, ""); print lead ? $1 : 0; done = 1 }' || true)"
  if [ -z "$picture" ] || [ -z "$sound" ]; then
    echo "record: sync check: no picture ($picture) or no sound ($sound) found" | tee -a "$work/record.log"
    status=3
  else
    offset="$(ms "$sound" "$picture")"
    echo "record: sync: first picture at ${picture} s, first sound at ${sound} s, sound - picture = ${offset} ms" |
      tee -a "$work/record.log"
    if [ "${offset#-}" -gt 100 ]; then
      echo "record: sync check failed: more than 100 ms apart" | tee -a "$work/record.log"
      status=3
    fi
  fi
fi
cat "$work/record.log" | grep -v '^record: sync' >&2 || true
echo "record: the recording is $out" >&2
exit "$status"
