#include "tests/support/host_fixture.h"

#include <cstdlib>

using namespace zenthar;

namespace {

std::string FolderOf(const std::string& path) {
  return path.substr(0, path.rfind('/'));
}

VesselState* AddTestBody(World& world, const std::string& name) {
  PrepareWorld(world);
  VesselClass body;
  body.name = "TestBody";
  world.classes().Add(body);
  std::string error;
  VesselState* state = world.CreateVessel(name, "TestBody", StatusAt({6371016, 0, 0}), error);
  if (!state) {
    ADD_FAILURE() << error;
    std::abort();
  }
  return state;
}

}  // namespace

void PrepareWorld(World& world) {
  std::string error;
  if (!world.classes().LoadFolder(VANTOR_CLASSES_DIR, error)) ADD_FAILURE() << error;
  world.moduleFolder = FolderOf(VANTOR_MODULE_PATH);
}

VESSELSTATUS StatusAt(const VECTOR3& position) {
  VESSELSTATUS status{};
  status.position = position;
  return status;
}

HostFixture::HostFixture() : state(AddTestBody(world, "L1")), vessel(state, 0) {}
