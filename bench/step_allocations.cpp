// Checks that the launcher's time step allocates nothing on the heap, in every phase of the launch:
// the module's step and the host calls it makes, with the journal off as in any flight. Exits 1
// when a step allocates, or when the counter cannot see the allocations a step makes with the
// journal on (then a zero would prove nothing).

#include <cstdio>

#include "bench/allocation_counter.h"
#include "bench/launch_world.h"

using namespace zenthar;

namespace {

const int STEPS = 2000;  // per phase; the booster burn's walk reaches every profile segment

// With the journal on every host call records an entry, so the same step must be seen allocating.
bool CounterSeesStepAllocations(World& world, PhaseStepper& stepper) {
  world.journal().Enable(true);
  const unsigned long before = HeapAllocations();
  stepper.Step();
  const unsigned long seen = HeapAllocations() - before;
  world.journal().Enable(false);
  world.journal().Clear();
  return seen > 0;
}

// Counts around the step loop only: flying to the phase allocates, as the host does.
bool CheckPhase(FlightPhase phase) {
  World world;
  VesselState* launcher = FlyToPhase(world, phase);
  PhaseStepper stepper(world, launcher, phase);
  if (!CounterSeesStepAllocations(world, stepper)) {
    std::printf("%-14s the allocation counter sees nothing: check not possible\n",
                PhaseName(phase));
    return false;
  }
  const unsigned long before = HeapAllocations();
  for (int i = 0; i < STEPS; ++i) stepper.Step();
  const unsigned long allocations = HeapAllocations() - before;
  std::printf("%-14s %lu heap allocations in %d steps%s\n", PhaseName(phase), allocations, STEPS,
              allocations == 0 ? "" : "  FAILED");
  return allocations == 0;
}

}  // namespace

int main() {
  bool passed = true;
  for (FlightPhase phase : kAllPhases) passed = CheckPhase(phase) && passed;
  return passed ? 0 : 1;
}
