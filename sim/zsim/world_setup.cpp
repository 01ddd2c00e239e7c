#include "sim/zsim/world_setup.h"

#include <sys/stat.h>

#include <algorithm>
#include <cmath>

#include "sim/files/scenario_file.h"
#include "sim/files/text_format.h"
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

}  // namespace

bool SetUpWorld(World& world, const FlyOptions& options, const InstallLayout& layout,
                std::string& error) {
  const std::string classFolder =
      options.classFolder.empty() ? layout.classFolder : options.classFolder;
  if (!world.classes().LoadFolder(classFolder, error)) return Refuse(error, error);
  world.moduleFolder = layout.moduleFolder;
  if (!options.module.empty()) {
    // A path without a folder would be looked up as a module name: keep it a path.
    const std::string path =
        options.module.find('/') == std::string::npos ? "./" + options.module : options.module;
    if (!world.LoadModule(path, error)) return Refuse(error, "--module: " + error);
    world.classes().UseModule(path);
  }
  if (options.trace) world.journal().Enable(true);

  if (IsFolder(options.scenario))
    return Refuse(error, options.scenario + ": a folder, not a scenario file");
  if (!LoadScenarioFile(world, options.scenario, error)) return Refuse(error, error);

  if (options.dt > 0) world.dt = options.dt;
  if (options.keysGiven) {
    world.keyScript() = KeyScript();
    if (!world.keyScript().Parse(options.keys, error)) return Refuse(error, "--keys: " + error);
  }
  const double frames = std::ceil(options.until / world.dt);
  if (frames > static_cast<double>(kMostFrames))
    return Refuse(error, "--until " + ShortNumber(options.until) + " s in frames of " +
                             ShortNumber(world.dt) + " s takes " +
                             std::to_string(static_cast<long long>(frames)) +
                             " frames; a flight has at most " + std::to_string(kMostFrames));
  return true;
}

}  // namespace zenthar::zsim
