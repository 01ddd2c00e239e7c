#!/usr/bin/env bash
# What one whole flight costs as a user flies it: `zsim fly SCENARIO --no-plot --quiet`, the whole
# process from its start to its exit (loading, the flight, its files), against two goals:
#
#   - CPU time (user + system) of the process, median of 7 runs: at most 20 ms. It moves with
#     what else the machine does.
#   - instructions of the process, counted by callgrind: at most 60 % of what the build before the
#     host wrote its numbers without printf needed for the same flight. The count does not move
#     with load.
#
#   tools/flight_cost.sh [BUILD_DIR [SCENARIO [EARLIER_ZSIM]]]
#
# BUILD_DIR is a plain (non-sanitizer) build with zsim and bench/process_cpu_time built. SCENARIO
# defaults to scenarios/open_loop.scn, the open-loop launch. The earlier build's count is the one
# recorded below for that launch; give EARLIER_ZSIM (a zsim of the earlier build) to count it
# afresh, as another flight needs.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
scenario=${2:-scenarios/open_loop.scn}
earlier=${3:-}
runs=7
cpu_limit_ms=20
share_limit_percent=60
# Instructions of `zsim fly scenarios/open_loop.scn --no-plot --quiet` as the main line built it
# before its numbers left printf (the open-loop launch flown to T+660 s, the build's own module),
# RelWithDebInfo, g++ 12.2, Debian 12's C library, valgrind 3.19.
recorded_earlier_instructions=491931592

zsim=$build/zsim
timer=$build/bench/process_cpu_time
for program in "$zsim" "$timer"; do
  if [ ! -x "$program" ]; then
    echo "flight_cost: $program not found; build it: cmake --build $build --target zsim process_cpu_time" >&2
    exit 2
  fi
done
if ! command -v valgrind > /dev/null; then
  echo "flight_cost: valgrind not found (Debian package valgrind)" >&2
  exit 2
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Instructions of one flight's whole process; callgrind's total ("Collected") covers it from the
# dynamic loader on.
count_instructions() {
  if ! valgrind --tool=callgrind --callgrind-out-file="$work/callgrind.out" \
      "$1" fly "$scenario" --no-plot --quiet --out "$work/out" > "$work/callgrind.log" 2>&1; then
    cat "$work/callgrind.log" >&2
    exit 1
  fi
  sed -n 's/^==[0-9]*== Collected : //p' "$work/callgrind.log"
}

verdict() { awk -v value="$1" -v limit="$2" 'BEGIN { print (value <= limit ? "met" : "missed") }'; }

echo "whole flight: zsim fly $scenario --no-plot --quiet"
times=$("$timer" "$runs" "$zsim" fly "$scenario" --no-plot --quiet --out "$work/out")
median=$(sed -n 's/^median //p' <<< "$times")
printf '  CPU time, user + system, %d runs (ms): %s\n' "$runs" "$(head -n 1 <<< "$times")"
printf '  CPU time, median: %s ms (goal: at most %s ms): %s\n' \
  "$median" "$cpu_limit_ms" "$(verdict "$median" "$cpu_limit_ms")"

instructions=$(count_instructions "$zsim")
printf '  instructions (callgrind, whole process): %s\n' "$instructions"
if [ -z "$earlier" ] && [ "$scenario" != scenarios/open_loop.scn ]; then
  echo "  (the earlier build's count is recorded for scenarios/open_loop.scn only; give EARLIER_ZSIM)"
  exit 0
fi
if [ -n "$earlier" ]; then
  earlier_instructions=$(count_instructions "$earlier")
  source="$earlier"
else
  earlier_instructions=$recorded_earlier_instructions
  source="recorded for scenarios/open_loop.scn"
fi
share=$(awk -v now="$instructions" -v before="$earlier_instructions" \
  'BEGIN { printf "%.1f", 100 * now / before }')
printf '  %s %% of the earlier build'"'"'s %s (%s) (goal: at most %s %%): %s\n' \
  "$share" "$earlier_instructions" "$source" "$share_limit_percent" \
  "$(verdict "$share" "$share_limit_percent")"
