// What a large input costs the host: reading a scenario of many vessels, and handing the keys of
// a long key script over frame by frame. Both should grow linearly with the input, or slower.

#include <benchmark/benchmark.h>

#include <sstream>
#include <string>

#include "bench/launch_world.h"
#include "bench/spread.h"
#include "sim/files/scenario_file.h"
#include "sim/world/key_script.h"

using namespace zenthar;

namespace {

/// A scenario of passive satellites, one block each, 10 m apart.
std::string ManyVessels(long count) {
  std::string text;
  for (long i = 0; i < count; ++i)
    text += "BEGIN_VESSEL S" + std::to_string(i) + ":Relaysat\nRPOS " +
            std::to_string(7000000 + 10 * i) + " 0 0\nEND_VESSEL\n";
  return text;
}

void BM_ReadScenario(benchmark::State& state) {
  const std::string text = ManyVessels(state.range(0));
  for (auto _ : state) {
    World world;
    UseProjectFiles(world);
    std::istringstream in(text);
    std::string error;
    if (!ReadScenario(world, in, "many.scn", error)) state.SkipWithError(error.c_str());
    benchmark::DoNotOptimize(world.vessels().data());
  }
  state.SetComplexityN(state.range(0));
}

/// One press every 0.01 s, in reverse order in the script, handed over one frame at a time.
void BM_KeyScriptFrame(benchmark::State& state) {
  std::string text;
  for (long i = state.range(0); i-- > 0;)
    text += (text.empty() ? "" : ",") + std::to_string(0.01 * static_cast<double>(i)) + ":J";
  KeyScript script;
  std::string error;
  if (!script.Parse(text, error)) state.SkipWithError(error.c_str());
  unsigned char keys[256];
  long frame = 0;
  for (auto _ : state) {
    script.Apply(frame, 0.01, keys);
    frame = (frame + 1) % state.range(0);
    benchmark::DoNotOptimize(keys);
  }
  state.SetComplexityN(state.range(0));
}

}  // namespace

BENCHMARK(BM_ReadScenario)
    ->RangeMultiplier(4)
    ->Range(1 << 10, 1 << 16)
    ->Complexity()
    ->Apply(AddSpread);
BENCHMARK(BM_KeyScriptFrame)
    ->RangeMultiplier(8)
    ->Range(1 << 9, 1 << 18)
    ->Complexity()
    ->Apply(AddSpread);
