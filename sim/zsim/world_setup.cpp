#include "sim/zsim/world_setup.h"

#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <sstream>

#include "sim/files/scenario_file.h"
#include "sim/files/text_format.h"
#include "sim/files/text_reader.h"
#include "sim/guidance/autopilot.h"
#include "sim/guidance/target_orbit.h"
#include "sim/world/host_limits.h"

namespace zenthar::zsim {

namespace {

bool IsFolder(const std::string& path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool Refuse(std::string& error, std::string message) {
  std::replace(message.begin(), message.end(), '\n', ' ');
  error = std::move(message);
  return false;
}

/// The scenario read into the world, and its text kept.
bool LoadKeepingText(World& world, const std::string& path, std::string& text, std::string& error) {
  if (!ReadTextFile(path, text, error)) return false;
  std::istringstream in(text);
  return ReadScenario(world, in, path, error);
}

}  // namespace

std::string ModulePath(const std::string& module) {
  return module.find('/') == std::string::npos ? "./" + module : module;
}

bool SetUpWorld(World& world, const FlyOptions& options, const InstallLayout& layout,
                std::string& error, std::string* scenarioText) {
  const std::string classFolder =
      options.classFolder.empty() ? layout.classFolder : options.classFolder;
  if (!world.classes().LoadFolder(classFolder, error)) return Refuse(error, error);
  world.moduleFolder = layout.moduleFolder;
  if (!options.module.empty()) {
    const std::string path = ModulePath(options.module);
    if (!world.LoadModule(path, error)) return Refuse(error, "--module: " + error);
    world.classes().UseModule(path);
  }
  if (options.trace) world.journal().Enable(true);

  if (IsFolder(options.scenario))
    return Refuse(error, options.scenario + ": a folder, not a scenario file");
  bool loaded = false;
  if (options.scenarioText) {
    std::istringstream in(*options.scenarioText);
    loaded = ReadScenario(world, in, options.scenario, error);
  } else {
    loaded = scenarioText ? LoadKeepingText(world, options.scenario, *scenarioText, error)
                          : LoadScenarioFile(world, options.scenario, error);
  }
  if (!loaded) return Refuse(error, error);

  if (!options.target.empty()) {
    VesselState* launcher = world.Launcher();
    if (!launcher) return Refuse(error, "--target: " + options.scenario + " holds no launcher");
    std::string why;
    if (!guidance::ParseTargetOrbit(options.target, launcher->target, why))
      return Refuse(error, "--target: " + why);
  }

  if (options.dt > 0) world.dt = options.dt;
  if (options.keysGiven) {
    world.keyScript() = KeyScript();
    if (!world.keyScript().Parse(options.keys, error)) return Refuse(error, "--keys: " + error);
  }
  // The guidance plans with the flight's frame length, and says before the flight what it will
  // fly or why the target is beyond reach.
  world.EngageGuidance();
  return true;
}

int ScheduleFlight(const World& world, FlyOptions& options, std::string& error) {
  options.endsAfterRelease = !options.untilGiven && world.schedule.until < 0 &&
                             !options.interactive && world.autopilot() != nullptr;
  if (!options.untilGiven)
    options.until = world.schedule.until >= 0 ? world.schedule.until
                    : options.interactive     ? static_cast<double>(kMostFrames - 1) * world.dt
                    : options.endsAfterRelease
                        ? std::fmin(kGuidedFlightLimit, static_cast<double>(kMostFrames) * world.dt)
                        : options.until;
  std::vector<double>& saves = options.saveAt;
  saves.insert(saves.end(), world.schedule.saveAt.begin(), world.schedule.saveAt.end());
  std::sort(saves.begin(), saves.end());
  saves.erase(std::unique(saves.begin(), saves.end()), saves.end());
  if (!saves.empty() && saves.back() > options.until) {
    Refuse(error, "--save-at " + ShortNumber(saves.back()) + " comes after --until " +
                      ShortNumber(options.until) +
                      " (or the scenario's SAVE_AT and UNTIL): it would never be saved");
    return kExitBadCommandLine;
  }
  const double frames = std::ceil(options.until / world.dt);
  if (frames > static_cast<double>(kMostFrames)) {
    Refuse(error, "--until " + ShortNumber(options.until) + " s in frames of " +
                      ShortNumber(world.dt) + " s takes " +
                      std::to_string(static_cast<long long>(frames)) +
                      " frames; a flight has at most " + std::to_string(kMostFrames));
    return kExitCannotFly;
  }
  return -1;
}

bool FlightOver(const World& world, const FlyOptions& options) {
  if (world.time() >= options.until - 1e-9) return true;
  const guidance::Autopilot* autopilot = world.autopilot();
  return options.endsAfterRelease && autopilot &&
         autopilot->phase() == guidance::Autopilot::Phase::kDone &&
         world.time() >= autopilot->doneTime() + kAfterRelease - 1e-9;
}

}  // namespace zenthar::zsim
