#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "config/jettisoned_bodies.h"
#include "sim/files/host_state_lines.h"
#include "sim/physics/vec_math.h"
#include "sim/world/call_format.h"
#include "tests/support/launcher_fixture.h"

using namespace vantor;
using namespace zenthar;

namespace {

/// 90 degrees about the global z axis: vessel +x points along global +y, vessel +y along global
/// -x. Its entries are 0 and 1, so rotated figures stay exact.
const Matrix3 QUARTER_TURN = {{{0, -1, 0}, {1, 0, 0}, {0, 0, 1}}};

/// A body as the launcher should release it.
struct Expected {
  const char* suffix;
  const char* className;
  VECTOR3 offset;    ///< m, launcher frame
  VECTOR3 velocity;  ///< m/s, launcher frame
};

const Expected LEFT_BOOSTER = {
    "-Stage_LeftBooster", "Vantor_LeftBooster", {-3.45, 0, -2}, {-2, 0, 0}};
const Expected RIGHT_BOOSTER = {
    "-Stage_RightBooster", "Vantor_RightBooster", {3.45, 0, -2}, {2, 0, 0}};
const Expected LEFT_FAIRING = {
    "-Stage_LeftPayload", "Vantor_LeftPayload", {0, -1.345, 24.09}, {0, -2, 0}};
const Expected RIGHT_FAIRING = {
    "-Stage_RightPayload", "Vantor_RightPayload", {0, 1.345, 24.09}, {0, 2, 0}};

class JettisonedBodies : public LauncherFixture {
 protected:
  JettisonedBodies() {
    CarrySatellite();
    satellitePayload.offset = {0, 0, 0};
    state->engineLevel[ENGINE_MAIN] = 1;
  }

  /// The vessel of that name; fails the test when there is none.
  const VesselState& Body(const std::string& name) {
    const VesselState* body = world.Find(name);
    if (body == nullptr) {
      ADD_FAILURE() << "no vessel " << name;
      return *state;
    }
    return *body;
  }

  /// Creation order: the names of every vessel after the launcher.
  std::vector<std::string> CreatedNames() const {
    std::vector<std::string> names;
    for (const auto& v : world.vessels())
      if (v.get() != state) names.push_back(v->name);
    return names;
  }

  void ReleaseEverything() {
    SeparateBoosters(&vessel);
    JettisonFairing(&vessel);
    ReleaseSatellite(&vessel);
  }

  /// Launcher position plus the offset turned a quarter about z.
  static VECTOR3 QuarterTurned(const VECTOR3& base, const VECTOR3& v) {
    return {base.x - v.y, base.y + v.x, base.z + v.z};
  }
};

TEST_F(JettisonedBodies, LauncherAtRestReleasesAtMountingPoints) {
  // Upright and at rest: the bodies sit at launcher position + offset, moving at their push alone.
  const VECTOR3 at = state->position;
  struct {
    void (*release)(VESSEL*);
    Expected bodies[2];
    bool stopsEngine;
  } const operations[] = {
      {SeparateBoosters, {LEFT_BOOSTER, RIGHT_BOOSTER}, true},
      {JettisonFairing, {LEFT_FAIRING, RIGHT_FAIRING}, false},
  };
  for (const auto& op : operations) {
    state->engineLevel[ENGINE_MAIN] = 1;
    op.release(&vessel);
    for (const Expected& e : op.bodies) {
      const VesselState& body = Body(std::string("L1") + e.suffix);
      EXPECT_EQ(body.className, e.className);
      ExpectVector(body.position, at + e.offset, 0, e.suffix);
      ExpectVector(body.velocity, e.velocity, 0, e.suffix);
    }
    EXPECT_EQ(state->engineLevel[ENGINE_MAIN], op.stopsEngine ? 0 : 1) << op.bodies[0].suffix;
  }
  const std::vector<std::string> order = {"L1-Stage_LeftBooster", "L1-Stage_RightBooster",
                                          "L1-Stage_LeftPayload", "L1-Stage_RightPayload"};
  EXPECT_EQ(CreatedNames(), order);
}

TEST_F(JettisonedBodies, SatelliteLeavesTowardsTheTail) {
  state->velocity = {10, 20, 30};
  ReleaseSatellite(&vessel);
  const VesselState& satellite = Body("L1-Sat");
  EXPECT_EQ(satellite.className, "Relaysat");
  ExpectVector(satellite.position, state->position);
  ExpectVector(satellite.velocity, {10, 20, 28});
  EXPECT_EQ(state->engineLevel[ENGINE_MAIN], 0);
}

TEST_F(JettisonedBodies, UnknownSatelliteClassStillShutsTheEngineDown) {
  std::strcpy(satellitePayload.className, "NoSuchClass");
  ReleaseSatellite(&vessel);
  EXPECT_TRUE(CreatedNames().empty());
  EXPECT_EQ(state->engineLevel[ENGINE_MAIN], 0);
}

TEST_F(JettisonedBodies, RotatedMovingLauncherReleasesInItsFrame) {
  state->attitude = QUARTER_TURN;
  state->velocity = {100, -50, 7.5};
  satellitePayload.offset = {0, 0, 20};
  ReleaseEverything();

  const Expected satellite = {"-Sat", "Relaysat", {0, 0, 20}, {0, 0, -2}};
  for (const Expected& e : {LEFT_BOOSTER, RIGHT_BOOSTER, LEFT_FAIRING, RIGHT_FAIRING, satellite}) {
    const VesselState& body = Body(std::string("L1") + e.suffix);
    ExpectVector(body.position, QuarterTurned(state->position, e.offset), 1e-6,
                 std::string(e.suffix) + " position");
    ExpectVector(body.velocity, QuarterTurned(state->velocity, e.velocity), 1e-12,
                 std::string(e.suffix) + " velocity");
    ExpectMatrix(body.attitude, QUARTER_TURN, 1e-12, e.suffix);  // the launcher's attitude
  }
}

TEST_F(JettisonedBodies, StatusRecordsReplaceOnlyTheirMembers) {
  state->attitude = QUARTER_TURN;
  state->angularVelocity = {0.01, -0.02, 0.03};
  state->engineLevel[ENGINE_HOVER] = 0.5;
  state->maxFuelMass = 1000;
  state->fuelMass = 250;
  state->landed = true;
  const VESSELSTATUS launcher = StatusOf(*state, world.planet);
  ReleaseEverything();

  struct {
    std::string name;
    const char* className;
    double fuelLevel;
  } const bodies[] = {
      {"L1-Stage_LeftBooster", "Vantor_LeftBooster", 0.25},
      {"L1-Stage_RightBooster", "Vantor_RightBooster", 0.25},
      {"L1-Stage_LeftPayload", "Vantor_LeftPayload", 0.25},
      {"L1-Stage_RightPayload", "Vantor_RightPayload", 0.25},
      {"L1-Sat", "Relaysat", 1.0},
  };
  const std::vector<std::string> created = ArgumentsOf(world.journal(), "VESSEL::Create");
  ASSERT_EQ(created.size(), std::size(bodies));
  for (std::size_t i = 0; i < created.size(); ++i) {
    const VesselState& body = Body(bodies[i].name);
    // Position and velocity are checked elsewhere; here the rest of the record: no rotation, the
    // launcher's attitude and landed flag, engines off, the tank level as the body requires.
    const std::string expected = FormatArgs(
        bodies[i].name.c_str(), bodies[i].className, body.position, body.velocity, VECTOR3{0, 0, 0},
        launcher.attitude, bodies[i].fuelLevel, 0.0, 0.0, launcher.landed);
    EXPECT_EQ(created[i], expected) << bodies[i].name;
  }
  // The launcher's record that the first body is made from, laid out as the bodies' records.
  const auto& entries = world.journal().entries();
  const auto status = std::find_if(entries.begin(), entries.end(), [](const JournalEntry& entry) {
    return entry.operation == "GetStatus";
  });
  ASSERT_NE(status, entries.end());
  EXPECT_EQ(status->answer,
            FormatArgs(launcher.position, launcher.velocity, VECTOR3{0.01, -0.02, 0.03},
                       launcher.attitude, 0.25, 1.0, 0.5, 1));
}

TEST_F(JettisonedBodies, HostCallsInOrder) {
  const std::vector<std::string> withEngineStop = {"GetStatus", "SetEngineLevel", "Local2Rel",
                                                   "GlobalRot", "GetName",        "VESSEL::Create"};
  const std::vector<std::string> engineAlone = {"GetStatus", "Local2Rel", "GlobalRot", "GetName",
                                                "VESSEL::Create"};
  const Expected satellite = {"-Sat", "Relaysat", {0, 0, 0}, {0, 0, -2}};
  struct {
    void (*release)(VESSEL*);
    std::vector<Expected> bodies;
    const std::vector<std::string>* perBody;
  } const operations[] = {
      {SeparateBoosters, {LEFT_BOOSTER, RIGHT_BOOSTER}, &withEngineStop},
      {JettisonFairing, {LEFT_FAIRING, RIGHT_FAIRING}, &engineAlone},
      {ReleaseSatellite, {satellite}, &withEngineStop},
  };
  for (const auto& op : operations) {
    world.journal().Clear();
    op.release(&vessel);
    std::vector<std::string> expected;
    for (std::size_t i = 0; i < op.bodies.size(); ++i)
      expected.insert(expected.end(), op.perBody->begin(), op.perBody->end());
    const std::string what = op.bodies[0].suffix;
    ASSERT_EQ(world.journal().Operations(), expected) << what;

    // Each body's own offset and push, the engine set to 0.
    std::size_t body = 0;
    for (const JournalEntry& entry : world.journal().entries()) {
      if (entry.operation == "SetEngineLevel") {
        EXPECT_EQ(entry.arguments, "0, 0") << what;
      } else if (entry.operation == "Local2Rel") {
        EXPECT_EQ(entry.arguments, FormatArg(op.bodies[body].offset)) << what;
      } else if (entry.operation == "GlobalRot") {
        EXPECT_EQ(entry.arguments, FormatArg(op.bodies[body].velocity)) << what;
      }
      if (entry.operation == "VESSEL::Create") ++body;
    }
  }
}

TEST_F(JettisonedBodies, LongLauncherNamesKeepTheSuffixWhole) {
  // Characters of the launcher's name kept in each body's name: all of them while name and suffix
  // fit 255 characters, otherwise as many as leave room for the whole suffix.
  struct {
    std::size_t length;
    std::size_t kept[5];  // left/right booster, left/right fairing half, satellite
  } const cases[] = {
      {236, {236, 236, 236, 236, 236}},
      {237, {237, 236, 237, 236, 237}},
      {251, {237, 236, 237, 236, 251}},
      {300, {237, 236, 237, 236, 251}},
  };
  const char* suffixes[5] = {"-Stage_LeftBooster", "-Stage_RightBooster", "-Stage_LeftPayload",
                             "-Stage_RightPayload", "-Sat"};
  char fill = 'a';
  for (const auto& c : cases) {
    const std::string launcherName(c.length, fill++);
    state->name = launcherName;
    ReleaseEverything();
    for (int i = 0; i < 5; ++i) {
      const std::string name = launcherName.substr(0, c.kept[i]) + suffixes[i];
      EXPECT_LE(name.size(), 255u);
      EXPECT_NE(world.Find(name), nullptr) << "length " << c.length << suffixes[i];
    }
    // The focus lookup composes the satellite's name with the same function.
    char satelliteName[256];
    ComposeVesselName(&vessel, SATELLITE_SUFFIX, satelliteName);
    EXPECT_NE(world.Find(satelliteName), nullptr) << "length " << c.length;
  }
  EXPECT_EQ(CreatedNames().size(), 20u);
}

TEST_F(JettisonedBodies, ComposedNameStaysInsideItsBuffer) {
  struct {
    char name[256];
    char guard[16];
  } buffer;
  std::memset(&buffer, '#', sizeof buffer);
  state->name = std::string(300, 'x');
  ComposeVesselName(&vessel, "-Stage_RightPayload", buffer.name);
  EXPECT_EQ(std::string(buffer.name), std::string(236, 'x') + "-Stage_RightPayload");
  EXPECT_EQ(std::string(buffer.guard, sizeof buffer.guard), std::string(16, '#'));
}

TEST_F(JettisonedBodies, SeparationStatusMovesOnlyPositionAndVelocity) {
  state->attitude = QUARTER_TURN;
  const VESSELSTATUS before = {
      {7, 7, 7}, {1, 2, 3}, {0.1, 0.2, 0.3}, {0.4, 0.5, 0.6}, 0.7, 0.8, 0.9, &world, 1};
  VESSELSTATUS status = before;
  MakeSeparationStatus(&vessel, status, {1, 0, 0}, {0, 4, 0});
  ExpectVector(status.position, QuarterTurned(state->position, {1, 0, 0}), 1e-6, "position");
  ExpectVector(status.velocity, {-3, 2, 3}, 0, "velocity");
  ExpectVector(status.angularVelocity, before.angularVelocity, 0, "angular velocity");
  ExpectVector(status.attitude, before.attitude, 0, "attitude");
  EXPECT_EQ(status.fuelLevel, before.fuelLevel);
  EXPECT_EQ(status.mainLevel, before.mainLevel);
  EXPECT_EQ(status.hoverLevel, before.hoverLevel);
  EXPECT_EQ(status.referenceBody, before.referenceBody);
  EXPECT_EQ(status.landed, before.landed);
}

}  // namespace
