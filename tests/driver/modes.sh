#!/bin/bash
# Run modes and the clock, on the real start-up and show cycle with instant
# waits: the argument count picks one play or endless repeats, and `timer`
# counts milliseconds of wall time.
# usage: modes.sh STRIKK_SEAM FIXTURES
set -uo pipefail
seam="$1"; fixtures="$2"
source "$(dirname "$0")/lib.sh"

cycles() { grep -c '^seam: cycle' "$1" || true; }

# arguments | mode ("once" or "loop")
cases=(
  "|once"
  "x|loop"
  "-|loop"
  "two words|once"
  "a b c|once"
)
for entry in "${cases[@]}"; do
  IFS='|' read -r args mode <<<"$entry"
  name="args '$args'"
  dir="$(workdir "mode-$args" "$fixtures/good.wee")"
  # shellcheck disable=SC2086 # the words of $args are the arguments
  (cd "$dir" && exec env STRIKK_SEAM_SPEEDUP=20 "$seam" $args >"$dir/out" 2>"$dir/err") &
  pid=$!
  if [ "$mode" = once ]; then
    timeout_wait=$(( $(date +%s) + 120 ))
    while kill -0 "$pid" 2>/dev/null && [ "$(date +%s)" -lt "$timeout_wait" ]; do sleep 0.2; done
    if kill -0 "$pid" 2>/dev/null; then
      kill "$pid"; fail "$name" "still running after 120 s"; continue
    fi
    wait "$pid"; status=$?
    [ "$status" -eq 0 ] || fail "$name" "exit status $status, want 0"
    [ "$(cycles "$dir/err")" -eq 1 ] || fail "$name" "$(cycles "$dir/err") cycles, want 1"
  else
    deadline=$(( $(date +%s) + 120 ))
    while kill -0 "$pid" 2>/dev/null && [ "$(cycles "$dir/err")" -lt 3 ] && [ "$(date +%s)" -lt "$deadline" ]; do sleep 0.2; done
    if kill -0 "$pid" 2>/dev/null; then
      kill "$pid"; wait "$pid" 2>/dev/null
      [ "$(cycles "$dir/err")" -ge 3 ] || fail "$name" "only $(cycles "$dir/err") cycles in 120 s"
    else
      wait "$pid"; fail "$name" "ended with status $? after $(cycles "$dir/err") cycles, want endless cycles"
    fi
  fi
  [ ! -s "$dir/out" ] || fail "$name" "wrote '$(cat "$dir/out")' on standard output"
done

# the clock: about 1000 ticks per second of wall time
dir="$(workdir clock "$fixtures/good.wee")"
(cd "$dir" && timeout 120 "$seam" >"$dir/out" 2>"$dir/err")
status=$?
read -r ticks wall < <(sed -n 's/^seam: clock \([0-9]*\) ticks in \([0-9]*\) ms$/\1 \2/p' "$dir/err")
if [ "$status" -ne 0 ] || [ -z "${ticks:-}" ]; then
  fail clock "status $status, no clock report: $(cat "$dir/err")"
elif [ "$ticks" -lt $(( wall * 9 / 10 )) ] || [ "$ticks" -gt $(( wall * 11 / 10 )) ]; then
  fail clock "$ticks ticks in $wall ms"
else
  echo "clock: $ticks ticks in $wall ms"
fi
finish
