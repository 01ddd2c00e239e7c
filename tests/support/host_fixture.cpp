#include "tests/support/host_fixture.h"

#include "tests/support/project_world.h"

using namespace zenthar;

namespace {

VesselState* FirstBody(World& world) {
  UseProjectFiles(world);
  return AddTestBody(world, "L1", {6371016, 0, 0});
}

}  // namespace

VESSELSTATUS StatusAt(const VECTOR3& position) {
  VESSELSTATUS status{};
  status.position = position;
  return status;
}

HostFixture::HostFixture() : state(FirstBody(world)), vessel(state, 0) {}
