// A whole scenario file through the host's reader, with the built module loaded for a launcher
// block as the host loads it. The world unloads the module when it goes, so every input meets a
// freshly loaded module.

#include <sstream>
#include <string>

#include "fuzz/fuzz_host.h"
#include "fuzz/fuzz_targets.h"
#include "sim/scenario_file.h"

namespace {

const int FRAMES = 3;

/// Reads text into a fresh world; the error when it is refused.
bool Read(World& world, const std::string& text, const std::string& source, std::string& error) {
  PrepareFuzzWorld(world, true);
  std::istringstream in(text);
  return ReadScenario(world, in, source, error);
}

}  // namespace

int FuzzScenarioFile(const std::uint8_t* data, std::size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  std::string saved;
  {
    World world;
    std::string error;
    if (!Read(world, input, "input", error)) {
      if (error.empty()) FuzzFail("a refusal without a reason", input);
      return 0;
    }
    for (int frame = 0; frame < FRAMES; ++frame) world.Step();
    saved = WriteScenario(world);
  }
  // A saved file loads again, and the launcher's flight state comes back as it was written.
  World again;
  std::string error;
  if (!Read(again, saved, "saved", error))
    FuzzFail("a saved scenario does not load again: " + error + "\n" + saved, input);
  const std::string rewritten = WriteScenario(again);
  if (ModuleLines(SplitLines(rewritten)) != ModuleLines(SplitLines(saved)))
    FuzzFail("the module's lines change on reading:\n" + saved + "written again as\n" + rewritten,
             input);
  return 0;
}
