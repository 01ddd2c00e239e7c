// The per-step path: the module's time step in each phase of the launch, through the loaded
// module and the host's VESSEL (journal off), and the two propulsion functions it runs on.

#include <benchmark/benchmark.h>

#include "bench/launch_world.h"
#include "bench/spread.h"
#include "vehicle/propulsion.h"

using namespace vantor;
using namespace zenthar;

namespace {

void BM_Timestep(benchmark::State& state, FlightPhase phase) {
  World world;
  VesselState* launcher = FlyToPhase(world, phase);
  PhaseStepper stepper(world, launcher, phase);
  for (auto _ : state) {
    stepper.Step();
    benchmark::ClobberMemory();
  }
}

// Frame by frame from a second before ignition to two seconds past the profile's end: every
// segment the search can end on, each for as long as a burn spends on it.
void BM_SampleBoosterProfile(benchmark::State& state) {
  BuildBoosterProfile(129.0);
  const double first = -1.0;  // s
  const double last = 140.0;  // s
  const double step = 0.01;   // s, one frame
  double t = first;
  for (auto _ : state) {
    double thrust = 0;
    double propellant = 0;
    SampleBoosterProfile(t, thrust, propellant);
    benchmark::DoNotOptimize(thrust);
    benchmark::DoNotOptimize(propellant);
    t += step;
    if (t > last) t = first;
  }
}

void BM_ThrustAtPressure(benchmark::State& state) {
  World world;
  VesselState* launcher = FlyToPhase(world, FlightPhase::kBoosterBurn);
  VESSEL vessel(launcher, 0);
  const double seaLevel = 5883990;  // N, one booster
  const double vacuum = 6472389;    // N
  for (auto _ : state) benchmark::DoNotOptimize(ThrustAtPressure(&vessel, seaLevel, vacuum));
}

}  // namespace

BENCHMARK_CAPTURE(BM_Timestep, pad, FlightPhase::kPad)->Apply(AddSpread);
BENCHMARK_CAPTURE(BM_Timestep, booster_burn, FlightPhase::kBoosterBurn)->Apply(AddSpread);
BENCHMARK_CAPTURE(BM_Timestep, core_stage, FlightPhase::kCoreStage)->Apply(AddSpread);
BENCHMARK_CAPTURE(BM_Timestep, after_release, FlightPhase::kAfterRelease)->Apply(AddSpread);
BENCHMARK(BM_SampleBoosterProfile)->Apply(AddSpread);
BENCHMARK(BM_ThrustAtPressure)->Apply(AddSpread);
