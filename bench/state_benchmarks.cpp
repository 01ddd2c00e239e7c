// Saving and restoring the launcher: its whole scenario block, host lines and module lines, as the
// host hands it to the loaded module.

#include <benchmark/benchmark.h>

#include <cstddef>

#include "bench/launch_world.h"
#include "bench/spread.h"
#include "sim/files/host_state_lines.h"
#include "sim/files/scenario_stream.h"

using namespace zenthar;

namespace {

// Mid-burn the block is at its longest: host state, configuration, ignition time and flag, and
// every satellite line.
ScenarioStream SavedBlock(VesselState* launcher) {
  ScenarioStream block;
  launcher->module->callbacks().saveState(launcher->moduleVessel, &block);
  return block;
}

void BM_LoadState(benchmark::State& state) {
  World world;
  VesselState* launcher = FlyToPhase(world, FlightPhase::kBoosterBurn);
  ScenarioStream block = SavedBlock(launcher);
  const auto loadState = launcher->module->callbacks().loadState;
  for (auto _ : state) {
    block.next = 0;
    VESSELSTATUS status = StatusOf(*launcher, world.planet);
    loadState(launcher->moduleVessel, &block, &status);
    benchmark::DoNotOptimize(status);
  }
  state.counters["lines"] = static_cast<double>(block.lines.size());
}

void BM_SaveState(benchmark::State& state) {
  World world;
  VesselState* launcher = FlyToPhase(world, FlightPhase::kBoosterBurn);
  const auto saveState = launcher->module->callbacks().saveState;
  std::size_t lines = 0;
  for (auto _ : state) {
    ScenarioStream block;
    saveState(launcher->moduleVessel, &block);
    lines = block.lines.size();
    benchmark::DoNotOptimize(block);
  }
  state.counters["lines"] = static_cast<double>(lines);
}

}  // namespace

BENCHMARK(BM_LoadState)->Apply(AddSpread);
BENCHMARK(BM_SaveState)->Apply(AddSpread);
