// step_instructions PHASE STEPS: flies the open-loop launch into a phase, then takes the launcher's
// time step STEPS times. Under callgrind (tools/callgrind_steps.sh) the counts are zeroed before
// the steps and dumped after them, so the dump holds those steps alone; run outside valgrind it
// just steps.

#include <valgrind/callgrind.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench/launch_world.h"

using namespace zenthar;

int main(int argc, char** argv) {
  FlightPhase phase;
  const long steps = argc == 3 ? std::strtol(argv[2], nullptr, 10) : 0;
  if (argc != 3 || !PhaseFromName(argv[1], phase) || steps <= 0) {
    std::fprintf(stderr,
                 "usage: step_instructions pad|booster_burn|core_stage|after_release STEPS\n");
    return 2;
  }
  World world;
  VesselState* launcher = FlyToPhase(world, phase);
  PhaseStepper stepper(world, launcher, phase);
  CALLGRIND_ZERO_STATS;
  for (long i = 0; i < steps; ++i) stepper.Step();
  CALLGRIND_DUMP_STATS_AT(argv[1]);
  return 0;
}
