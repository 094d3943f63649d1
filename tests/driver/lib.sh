# Shared helpers of the driver's program tests (sourced).

failures=0
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT

# fail NAME MESSAGE: records a failed case
fail() { echo "FAIL [$1] $2"; failures=$((failures + 1)); }

# our_lines FILE: standard error without the lines ALSA prints while probing cards
our_lines() { grep -v -e '^ALSA lib ' -e '^seam: ' "$1" || true; }

# workdir NAME DATAFILE: a fresh working directory holding DATAFILE as data.wee
# ("-" for none); prints its path
workdir() {
  local dir="$scratch/$1"
  mkdir -p "$dir"
  [ "$2" = "-" ] || cp "$2" "$dir/data.wee"
  echo "$dir"
}

# allegro_cfg NAME LINES...: a directory with an allegro.cfg of the given lines,
# on top of the sound pacing the headless runner uses; prints its path
allegro_cfg() {
  local dir="$scratch/cfg-$1"; shift
  mkdir -p "$dir"
  { [ -n "${ALLEGRO:-}" ] && [ -f "$ALLEGRO/allegro.cfg" ] && cat "$ALLEGRO/allegro.cfg"; printf '%s\n' "$@"; } > "$dir/allegro.cfg"
  echo "$dir"
}

finish() {
  if [ "$failures" -ne 0 ]; then echo "$failures case(s) failed"; exit 1; fi
  echo "all cases passed"
}
