#!/usr/bin/env bash
# What a sweep costs: `zsim sweep scenarios/open_loop.scn --draws 1000` on 2 processes, the whole
# run from its start to its exit (1000 flights of the open-loop launch, the satellite's mass and
# the moment of ignition drawn at random, the rows written, the plot drawn), against its goal:
#
#   - wall time at most 15 s, median of RUNS runs (default 3) one after the other.
#
# Also printed: the CPU time (user + system) of the sweep and its flights' processes together, and
# per flight, and the machine's load when the runs began: the machine may be shared, and wall time
# moves with what else it does.
#
#   tools/sweep_cost.sh [BUILD_DIR [RUNS [FLIGHTS]]]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
runs=${2:-3}
flights=${3:-1000}
wall_limit_s=15
zsim=$build/zsim
if [ ! -x "$zsim" ]; then
  echo "sweep_cost: $zsim not found; build it: cmake --build $build --target zsim" >&2
  exit 2
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

echo "sweep: zsim sweep scenarios/open_loop.scn --draws $flights -j 2" \
  "(load average $(cut -d' ' -f1-3 /proc/loadavg))"
walls=()
for run in $(seq "$runs"); do
  rm -rf "$work/sweep"
  TIMEFORMAT='%R %U %S'
  # bash's time counts the sweep's process and every flight's process it waited for.
  if ! { time "$zsim" sweep scenarios/open_loop.scn --vary 'SAT_MASS=N(950,50)' \
      --vary 'KEY:E=U(4,6)' --draws "$flights" --seed "$run" -j 2 --quiet --out "$work/sweep" \
      > /dev/null 2> "$work/stderr"; } 2> "$work/time"; then
    cat "$work/stderr" >&2
    exit 1
  fi
  read -r wall user system < "$work/time"
  rows=$(($(wc -l < "$work/sweep/sweep.csv") - 1))
  if [ "$rows" -ne "$flights" ]; then
    echo "sweep_cost: $rows rows in sweep.csv, not $flights" >&2
    exit 1
  fi
  printf '  run %d: %s s wall, %s s CPU (%s ms a flight)\n' "$run" "$wall" \
    "$(awk -v u="$user" -v s="$system" 'BEGIN { printf "%.1f", u + s }')" \
    "$(awk -v u="$user" -v s="$system" -v n="$flights" 'BEGIN { printf "%.1f", (u + s) * 1000 / n }')"
  walls+=("$wall")
done
median=$(printf '%s\n' "${walls[@]}" | sort -g | awk '{ v[NR] = $1 } END {
  print (NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2) }')
verdict=$(awk -v value="$median" -v limit="$wall_limit_s" 'BEGIN { print (value <= limit ? "met" : "missed") }')
printf '  wall time, median of %d runs: %s s (goal: at most %s s): %s\n' \
  "$runs" "$median" "$wall_limit_s" "$verdict"
