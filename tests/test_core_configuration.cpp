// The core stage: its capabilities, pressure-corrected thrust, and the jettison sequence of
// fairing and satellite.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "config/core_configuration.h"
#include "sim/world/call_format.h"
#include "tests/support/launcher_fixture.h"

using namespace vantor;
using namespace zenthar;

namespace {

using V = VECTOR3;

class CoreTest : public LauncherFixture {
 protected:
  CoreTest() {
    core.Init();
    core.SetClassCaps(&vessel, 0.0);
    state->fuelMass = 1000;
    world.journal().Clear();
  }

  void CarrySatellite(const char* className) {
    LauncherFixture::CarrySatellite(className);
    core.SetClassCaps(&vessel, 0.0);
  }

  // The host calls of one time step, by operation.
  std::vector<std::string> Step(double t) {
    world.journal().Clear();
    core.Timestep(&vessel, t);
    return world.journal().Operations();
  }

  std::vector<std::string> MeshNames() const {
    std::vector<std::string> names;
    for (const MeshRef& mesh : state->meshes) names.push_back(mesh.name);
    return names;
  }

  CoreConfiguration core;
};

TEST_F(CoreTest, SetClassCapsMakesTheHostCallsInOrder) {
  std::vector<Call> common = CommonCapsCalls(13700.0, -15);
  common.push_back({"AddMesh", FormatArgs("vantor_main", V{0, 0, 0})});
  const std::vector<Call> fairing = {
      {"AddMesh", FormatArgs("vantor_leftpay", V{0, -1.345, 24.09})},
      {"AddMesh", FormatArgs("vantor_rightpay", V{0, 1.345, 24.09})},
  };
  const std::vector<Call> satellite = SatelliteCapsCalls(13700.0 + 950.0);
  auto join = [](std::vector<Call> a, const std::vector<Call>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
  };

  struct Case {
    bool fairingGone, satelliteAboard;
    std::vector<Call> calls;
  };
  const Case cases[] = {
      {false, false, join(common, fairing)},
      {false, true, join(join(common, fairing), satellite)},
      {true, true, join(common, satellite)},
      {true, false, common},
  };
  for (const Case& c : cases) {
    if (c.satelliteAboard) CarrySatellite("Relaysat");
    satellitePayload.jettisoned = !c.satelliteAboard;
    core.fairingJettisoned = c.fairingGone;
    world.journal().Clear();
    core.SetClassCaps(&vessel, 99.0);
    EXPECT_EQ(Calls(), c.calls) << c.fairingGone << c.satelliteAboard;
  }
}

TEST_F(CoreTest, InitStartsWithTheFairingOn) {
  core.fairingJettisoned = true;
  core.jettisonRequested = true;
  core.Init();
  EXPECT_FALSE(core.fairingJettisoned);
  EXPECT_FALSE(core.jettisonRequested);
  EXPECT_EQ(core.thrustVacuum, 1114035.44);
  EXPECT_EQ(core.thrustSeaLevel, 880865.231627907);
}

TEST_F(CoreTest, AnyPropellantLeftBurnsWithPressureCorrectedThrust) {
  state->fuelMass = 0.001;
  state->atmPressure = 50700;
  EXPECT_EQ(Step(1.0), (std::vector<std::string>{"GetFuelMass", "GetMainThrustModPtr",
                                                 "GetAtmPressure", "GetAtmPressure"}));
  EXPECT_NEAR(state->mainThrustMod, -116585.104, 0.0005);
  EXPECT_FALSE(core.fairingJettisoned);
  EXPECT_EQ(world.Find("L1-Stage_LeftPayload"), nullptr);
}

TEST_F(CoreTest, EmptyTankSendsTheFairingThenTheSatelliteThenNothing) {
  CarrySatellite("Relaysat");
  state->fuelMass = 0.0;
  state->engineLevel[ENGINE_MAIN] = 1.0;
  state->mainThrustMod = -500.0;

  Step(1.0);
  EXPECT_TRUE(core.fairingJettisoned);
  EXPECT_NE(world.Find("L1-Stage_LeftPayload"), nullptr);
  EXPECT_NE(world.Find("L1-Stage_RightPayload"), nullptr);
  EXPECT_EQ(MeshNames(), (std::vector<std::string>{"vantor_main", "relaysat"}));
  EXPECT_EQ(state->emptyMass, 13700.0 + 950.0);  // the fairing's mass stays
  EXPECT_EQ(state->engineLevel[ENGINE_MAIN], 1.0);
  EXPECT_EQ(world.Find("L1-Sat"), nullptr);

  Step(1.01);
  VesselState* satellite = world.Find("L1-Sat");
  ASSERT_NE(satellite, nullptr);
  EXPECT_EQ(satellite->className, "Relaysat");
  EXPECT_TRUE(satellitePayload.jettisoned);
  EXPECT_EQ(MeshNames(), (std::vector<std::string>{"vantor_main"}));
  EXPECT_EQ(state->emptyMass, 13700.0);
  EXPECT_EQ(state->engineLevel[ENGINE_MAIN], 0.0);
  EXPECT_EQ(world.focus(), satellite);

  const std::size_t vessels = world.vessels().size();
  EXPECT_EQ(Step(1.02), (std::vector<std::string>{"GetFuelMass"}));
  EXPECT_EQ(world.vessels().size(), vessels);
  EXPECT_EQ(state->mainThrustMod, -500.0);  // no thrust update in a jettison step
}

TEST_F(CoreTest, EachAcceptedJSendsOneBody) {
  CarrySatellite("Relaysat");
  state->mainThrustMod = -500.0;
  core.jettisonRequested = true;
  Step(1.0);
  EXPECT_TRUE(core.fairingJettisoned);
  EXPECT_FALSE(core.jettisonRequested);
  EXPECT_FALSE(satellitePayload.jettisoned);
  Step(1.01);  // propellant left and no J: an ordinary step
  EXPECT_EQ(world.Find("L1-Sat"), nullptr);

  core.jettisonRequested = true;
  Step(2.0);
  EXPECT_NE(world.Find("L1-Sat"), nullptr);
  EXPECT_TRUE(satellitePayload.jettisoned);

  state->mainThrustMod = -700.0;
  core.jettisonRequested = true;
  EXPECT_EQ(Step(3.0), (std::vector<std::string>{"GetFuelMass"}));
  EXPECT_FALSE(core.jettisonRequested);
  EXPECT_EQ(state->mainThrustMod, -700.0);
}

TEST_F(CoreTest, JPendingAsThePropellantRunsOutMakesOneJettisonStep) {
  CarrySatellite("Relaysat");
  state->fuelMass = 0.0;
  core.jettisonRequested = true;
  Step(1.0);
  EXPECT_TRUE(core.fairingJettisoned);
  EXPECT_FALSE(core.jettisonRequested);
  EXPECT_FALSE(satellitePayload.jettisoned);
  Step(1.01);
  EXPECT_TRUE(satellitePayload.jettisoned);
}

TEST_F(CoreTest, WithoutASatelliteTheSecondJettisonStepDoesNothing) {
  satellitePayload.jettisoned = true;
  state->fuelMass = 0.0;
  state->engineLevel[ENGINE_MAIN] = 1.0;
  Step(1.0);
  EXPECT_TRUE(core.fairingJettisoned);
  EXPECT_EQ(MeshNames(), (std::vector<std::string>{"vantor_main"}));
  const VesselState* focus = world.focus();
  EXPECT_EQ(Step(1.01), (std::vector<std::string>{"GetFuelMass"}));
  EXPECT_EQ(state->engineLevel[ENGINE_MAIN], 1.0);
  EXPECT_EQ(world.focus(), focus);
}

TEST_F(CoreTest, EAfterEverythingHasGoneRestartsTheEngine) {
  satellitePayload.jettisoned = true;
  core.fairingJettisoned = true;
  state->fuelMass = 0.0;
  core.igniteRequested = true;
  EXPECT_EQ(Step(1.0), (std::vector<std::string>{"SetEngineLevel", "GetMainThrustModPtr",
                                                 "GetAtmPressure", "GetAtmPressure"}));
  EXPECT_EQ(state->engineLevel[ENGINE_MAIN], 1.0);
  EXPECT_TRUE(Step(1.01).empty());
  EXPECT_EQ(Step(1.02), (std::vector<std::string>{"GetFuelMass"}));
}

TEST_F(CoreTest, FocusMovesOnlyToAVesselOfTheComposedName) {
  struct Case {
    const char* satelliteClass;  // the host creates no vessel of an unknown class
    bool created;
  };
  const Case cases[] = {{"NoSuchClass", false}, {"Relaysat", true}};
  core.fairingJettisoned = true;
  for (const Case& c : cases) {
    CarrySatellite(c.satelliteClass);
    core.jettisonRequested = true;
    Step(1.0);
    VesselState* satellite = world.Find("L1-Sat");
    EXPECT_EQ(satellite != nullptr, c.created) << c.satelliteClass;
    EXPECT_EQ(world.focus(), satellite) << c.satelliteClass;
    // The step ends with the repeated caps (the main mesh last, no satellite), the engine shut
    // down, and the focus moved by the composed name.
    std::vector<Call> expected = {{"AddMesh", FormatArgs("vantor_main", V{0, 0, 0})},
                                  {"SetEngineLevel", "0, 0"},
                                  {"GetName", ""},
                                  {"zapiGetVesselByName", "\"L1-Sat\""}};
    if (c.created) expected.push_back({"zapiSetFocusObject", "\"L1-Sat\""});
    const std::vector<Call> calls = Calls();
    ASSERT_GE(calls.size(), expected.size()) << c.satelliteClass;
    EXPECT_EQ(std::vector<Call>(calls.end() - expected.size(), calls.end()), expected)
        << c.satelliteClass;
  }
}

}  // namespace
