// A whole scenario file through the host's reader, with the built module loaded for a launcher
// block as the host loads it. Nothing that is not finite ever enters a vessel's state, whether it
// comes from the file or from what the module asks of the host. The world unloads the module when
// it goes, so every input meets a freshly loaded module.

#include <cmath>
#include <sstream>
#include <string>
#include <vector>

#include "fuzz/fuzz_host.h"
#include "fuzz/fuzz_targets.h"
#include "sim/files/host_state_lines.h"
#include "sim/files/scenario_file.h"

using namespace zenthar;

namespace {

const int FRAMES = 3;

/// Every number of a vessel's state, as the host keeps it.
bool Finite(const VesselState& v) {
  std::vector<double> values = {v.emptyMass,    v.maxFuelMass,      v.fuelMass,
                                v.isp,          v.mainThrustMod,    v.size,
                                v.cogElevation, v.pitchMomentScale, v.bankMomentScale,
                                v.atmPressure,  v.atmDensity,       v.atmTemperature,
                                v.padLatitude,  v.padLongitude,     v.pitch.heading};
  for (const VECTOR3& u :
       {v.position, v.velocity, v.angularVelocity, v.rotDrag, v.touchdown[0], v.touchdown[1],
        v.touchdown[2], v.groundPosition_P, v.crossSections, v.pitch.plane})
    values.insert(values.end(), {u.x, u.y, u.z});
  for (const auto& row : v.attitude.m) values.insert(values.end(), row, row + 3);
  for (const auto& row : v.groundAttitude_P.m) values.insert(values.end(), row, row + 3);
  for (int i = 0; i < 4; ++i)
    values.insert(values.end(), {v.maxThrust[i], v.engineLevel[i], v.cw[i]});
  for (const MeshRef& mesh : v.meshes)
    values.insert(values.end(), {mesh.offset.x, mesh.offset.y, mesh.offset.z});
  for (const ExhaustRef& e : v.exhausts)
    values.insert(values.end(), {e.position.x, e.position.y, e.position.z, e.direction.x,
                                 e.direction.y, e.direction.z, e.lengthScale, e.widthScale});
  for (const PitchProgram::Point& point : v.pitch.points)
    values.insert(values.end(), {point.time, point.elevation});
  for (double value : values)
    if (!std::isfinite(value)) return false;
  return true;
}

/// The host never accepts a number that is not finite into a vessel's state.
void CheckFinite(const World& world, const std::string& when, const std::string& input) {
  for (const auto& vessel : world.vessels())
    if (!Finite(*vessel))
      FuzzFail("vessel " + vessel->name + " holds a non-finite state " + when, input);
}

/// Whether every vessel lies within the host's limits, which a flight may carry one beyond.
bool WithinLimits(const World& world) {
  std::string why;
  for (const auto& vessel : world.vessels())
    if (!StatusFits(StatusOf(*vessel, world.planet), world.planet.radius, why)) return false;
  return true;
}

/// Reads text into a fresh world; the error when it is refused.
bool Read(World& world, const std::string& text, const std::string& source, std::string& error) {
  UseProjectFiles(world);
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
    CheckFinite(world, "after loading", input);
    for (int frame = 0; frame < FRAMES; ++frame) {
      world.Step();
      CheckFinite(world, "after a frame", input);
    }
    saved = WriteScenario(world);
    if (!WithinLimits(world)) return 0;
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
