#!/bin/bash
# Runs a command with a display and a sound device, starting stand-ins for
# whichever the machine lacks: an Xvfb server, and an ALSA default device
# that writes what is played to a WAV file, paced to real time.
#
#   scripts/headless.sh [--force] [--out DIR] command [args...]
#
# --force   use the stand-ins even where a display and sound card exist
# --out DIR where the stand-ins keep their files (default: build/headless);
#           the sound goes to DIR/capture.wav
# STRIKK_XVFB_DEPTH picks the Xvfb depth (16 by default; 24 converts every frame).
# Exports STRIKK_DISPLAY_HEADLESS=1 / STRIKK_SOUND_HEADLESS=1 to the command
# when the stand-ins are used. Everything started here is stopped on exit,
# also when interrupted.
set -euo pipefail

here="$(cd "$(dirname "$0")/.." && pwd)"
force=0
out="$here/build/headless"
while [ $# -gt 0 ]; do
  case "$1" in
    --force) force=1; shift ;;
    --out) out="$2"; shift 2 ;;
    *) break ;;
  esac
done
[ $# -gt 0 ] || { echo "usage: $0 [--force] [--out DIR] command [args...]" >&2; exit 2; }
mkdir -p "$out"
out="$(cd "$out" && pwd)"

xvfb_pid=""
child=""
cleanup() {
  [ -n "$child" ] && kill "$child" 2>/dev/null && wait "$child" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null || true
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

# display: keep a working one, else start Xvfb at 640x480 so the picture sits at 0,0;
# at depth 16 the show's frames reach the screen without a colour conversion
if [ "$force" = 1 ] || [ -z "${DISPLAY:-}" ] || ! xdpyinfo >/dev/null 2>&1; then
  depth="${STRIKK_XVFB_DEPTH:-16}"
  rm -f "$out/display"
  Xvfb -displayfd 3 -screen 0 "640x480x$depth" -nolisten tcp 3>"$out/display" 2>"$out/xvfb.log" &
  xvfb_pid=$!
  for _ in $(seq 100); do [ -s "$out/display" ] && break; sleep 0.05; done
  [ -s "$out/display" ] || { echo "headless: Xvfb did not start (see $out/xvfb.log)" >&2; exit 1; }
  export DISPLAY=":$(cat "$out/display")"
  export STRIKK_DISPLAY_HEADLESS=1
fi

# sound: keep a real card, else an ALSA default device writing capture.wav
if [ "$force" = 1 ] || ! grep -q '^ *[0-9]' /proc/asound/cards 2>/dev/null; then
  cat >"$out/asound.conf" <<ALSA
pcm.!default {
  type plug
  slave {
    pcm { type file; slave.pcm { type null }; file "$out/capture.wav"; format "wav" }
    format S16_LE; rate 44100; channels 2
  }
}
ALSA
  # the null device takes audio as fast as it is given; small fragments pace it
  cat >"$out/allegro.cfg" <<CFG
[sound]
alsa_fragsize = 441
patches = ${STRIKK_PATCHES:-$here/build/patches.dat}
CFG
  export ALSA_CONFIG_PATH="/usr/share/alsa/alsa.conf:$out/asound.conf"
  export ALLEGRO="$out"
  export STRIKK_SOUND_HEADLESS=1
  export STRIKK_CAPTURE="$out/capture.wav"
fi

"$@" &
child=$!
set +e
wait "$child"
status=$?
child=""
exit "$status"
