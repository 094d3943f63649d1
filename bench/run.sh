#!/bin/bash
# Plays the real show under Xvfb and the ALSA file sink with the benchmark
# build and prints the table of figures.
#
#   bench/run.sh BUILD_DIR [DEPTHS] [CYCLES]
#
# DEPTHS  Xvfb depths for the single plays, e.g. "24 16" (default "24 16")
# CYCLES  cycles of the repeat-mode run for memory growth; 0 skips it (default 2)
# STARTS  extra start-ups per depth, ended at the title picture (env, default 7)
# Figures go to BUILD_DIR/bench-out; a run without the show's data.wee uses the
# driver tests' smallest datafile instead, and says so.
set -euo pipefail

here="$(cd "$(dirname "$0")/.." && pwd)"
build="$(cd "$1" && pwd)"
depths="${2:-24 16}"
cycles="${3:-2}"
starts="${STARTS:-7}"
out="$build/bench-out"
mkdir -p "$out"

for program in strikk_bench strikk_launch; do
  [ -x "$build/$program" ] || { echo "bench: $build/$program is missing; build it first" >&2; exit 1; }
done

# the show's media, or a stand-in
workdir="$build"
media="data.wee of this build"
if [ ! -f "$build/data.wee" ]; then
  "$here/tests/driver/make_fixtures.sh" "$out/fixture" >/dev/null
  cp "$out/fixture/good.wee" "$out/fixture/data.wee"
  workdir="$out/fixture"
  media="STAND-IN: the driver tests' smallest datafile (no data.wee in $build)"
fi
[ -f "$build/patches.dat" ] || media="$media; no patches.dat, music silent"

# one run of the program under the headless stand-ins; figures to $1
play() {
  local figures="$1" depth="$2"; shift 2
  rm -f "$figures"
  (cd "$workdir" && STRIKK_XVFB_DEPTH="$depth" STRIKK_BENCH_OUT="$figures" \
     "$here/scripts/headless.sh" --force --out "$out/headless-x$depth" \
     "$build/strikk_launch" "$build/strikk_bench" "$@") >"$figures.log" 2>&1 || {
    echo "bench: the run failed, see $figures.log" >&2; exit 1; }
  [ -s "$figures" ] || { echo "bench: no figures from the run, see $figures.log" >&2; exit 1; }
  echo "xvfb.depth $depth" >>"$figures"
}

load_before="$(cut -d' ' -f1-3 /proc/loadavg)"
singles=()
for depth in $depths; do
  echo "bench: single play at Xvfb depth $depth (about 45 s)" >&2
  play "$out/single-x$depth.txt" "$depth"
  singles+=("$out/single-x$depth.txt")
  echo "bench: $starts start-ups at Xvfb depth $depth" >&2
  rm -f "$out/startup-x$depth-"*.txt
  for i in $(seq "$starts"); do
    STRIKK_BENCH_STARTUP=1 play "$out/startup-x$depth-$i.txt" "$depth"
  done
done
loop_args=()
if [ "$cycles" -gt 0 ]; then
  first="${depths%% *}"
  echo "bench: $cycles cycles in repeat mode at Xvfb depth $first (about $((cycles * 45)) s)" >&2
  STRIKK_BENCH_CYCLES="$cycles" play "$out/loop-x$first.txt" "$first" loop
  loop_args=(--loop "$out/loop-x$first.txt")
fi
load_after="$(cut -d' ' -f1-3 /proc/loadavg)"

echo "machine: $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //'), $(nproc) cores," \
     "kernel $(uname -r); load average before $load_before, after $load_after"
echo "media: $media"
python3 "$here/bench/report.py" "${loop_args[@]}" "${singles[@]}" | tee "$out/table.txt"
