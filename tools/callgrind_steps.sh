#!/usr/bin/env bash
# Instructions per zvcTimestep in each phase of the open-loop launch, counted by callgrind: the
# module's step and the host calls it makes (journal off), and nothing else. The count does not
# move with machine load, so a regression shows as one changed number.
#
#   tools/callgrind_steps.sh [BUILD_DIR [STEPS]]     (defaults: build, 20000)
#
# BUILD_DIR is a plain (non-sanitizer) build with the target step_instructions built.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
steps=${2:-20000}
driver=$build/bench/step_instructions

if [ ! -x "$driver" ]; then
  echo "callgrind_steps: $driver not found; build it: cmake --build $build --target step_instructions" >&2
  exit 2
fi
if ! command -v valgrind > /dev/null; then
  echo "callgrind_steps: valgrind not found (Debian package valgrind)" >&2
  exit 2
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Counting is switched on only inside zvcTimestep; the driver zeroes the counts after flying to
# the phase and dumps them after its steps, so the dump holds exactly STEPS time steps.
printf '%-14s %s\n' phase "instructions per zvcTimestep (mean of $steps steps)"
for phase in pad booster_burn core_stage after_release; do
  if ! valgrind --tool=callgrind --collect-atstart=no --toggle-collect=zvcTimestep \
      --callgrind-out-file="$work/$phase" "$driver" "$phase" "$steps" \
      > "$work/$phase.log" 2>&1; then
    cat "$work/$phase.log" >&2
    exit 1
  fi
  collected=$(sed -n 's/^summary: //p' "$work/$phase.1")
  if [ -z "$collected" ]; then
    echo "callgrind_steps: no dump of the $phase steps in $work" >&2
    exit 1
  fi
  awk -v phase="$phase" -v collected="$collected" -v steps="$steps" \
    'BEGIN { printf "%-14s %.1f\n", phase, collected / steps }'
done
