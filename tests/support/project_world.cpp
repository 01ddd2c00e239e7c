#include "tests/support/project_world.h"

#include <cstdio>
#include <cstdlib>

using namespace zenthar;

namespace {

[[noreturn]] void Stop(const std::string& message) {
  std::fprintf(stderr, "project world: %s\n", message.c_str());
  std::exit(2);
}

}  // namespace

const ClassRegistry& ProjectClasses() {
  static const ClassRegistry classes = [] {
    ClassRegistry registry;
    std::string error;
    if (!registry.LoadFolder(VANTOR_CLASSES_DIR, error)) Stop(error);
    VesselClass body;
    body.name = kTestBodyClass;
    registry.Add(body);
    return registry;
  }();
  return classes;
}

void UseProjectFiles(World& world, bool findsModule) {
  const std::string module = VANTOR_MODULE_PATH;
  world.classes() = ProjectClasses();
  world.moduleFolder = findsModule ? module.substr(0, module.rfind('/')) : "/nonexistent";
}

VesselState* AddTestBody(World& world, const std::string& name, const VECTOR3& position) {
  VESSELSTATUS status{};
  status.position = position;
  std::string error;
  VesselState* body = world.CreateVessel(name, kTestBodyClass, status, error);
  if (body == nullptr) Stop(name + ": " + error);
  return body;
}

std::string ScenarioPath(const std::string& file) {
  return std::string(VANTOR_SCENARIOS_DIR) + "/" + file;
}
