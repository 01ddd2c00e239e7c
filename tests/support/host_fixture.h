#pragma once

#include <gtest/gtest.h>

#include <string>

#include "host/vessel.h"
#include "sim/world/world.h"
#include "tests/support/project_world.h"

/// A vessel state at rest at a point, upright (identity attitude), flying, empty tank.
VESSELSTATUS StatusAt(const VECTOR3& position);

/// A world with the class files loaded and one passive vessel "L1" (class "TestBody", no module)
/// with a VESSEL bound to it: module code under test drives `vessel` and the test inspects
/// `state` and the journal.
class HostFixture : public ::testing::Test {
 protected:
  HostFixture();

  zenthar::World world;
  zenthar::VesselState* state;
  VESSEL vessel;
};
