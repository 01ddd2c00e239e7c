// The full stack: its capabilities on the pad, ignition, the booster burn and the hand-over to the
// core stage.

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "config/core_configuration.h"
#include "config/stack_configuration.h"
#include "module/configuration_manager.h"
#include "sim/world/call_format.h"
#include "tests/support/launcher_fixture.h"
#include "vehicle/booster_profile.h"

using namespace vantor;
using namespace zenthar;

namespace {

using V = VECTOR3;
const VECTOR3* const NO_DIRECTION = nullptr;

class StackTest : public LauncherFixture {
 protected:
  StackTest() { ReplaceManager(new ConfigurationManager); }
  ~StackTest() override { ReplaceManager(nullptr); }

  // Installed through the manager, which reclaims it at booster separation.
  StackConfiguration* Install() {
    auto* stack = new StackConfiguration;
    Manager()->SetConfiguration(stack, &vessel, 0.0);
    world.journal().Clear();
    return stack;
  }

  // The host calls of one time step, as "operation(arguments)".
  std::vector<std::string> Step(double t) {
    world.journal().Clear();
    Manager()->Timestep(&vessel, t);
    return CallTexts(world.journal());
  }

  bool CoreInstalled() const {
    return dynamic_cast<CoreConfiguration*>(Manager()->currentConfiguration) != nullptr;
  }
};

TEST_F(StackTest, SetClassCapsMakesTheHostCallsInOrder) {
  const std::vector<Call> boosters = {
      {"AddExhaustRef", FormatArgs(3, V{-3.45 - 0.2, 0, -16}, 0.0, 0.0, NO_DIRECTION)},
      {"AddExhaustRef", FormatArgs(3, V{3.45 + 0.2, 0, -16}, 0.0, 0.0, NO_DIRECTION)},
      {"AddMesh", FormatArgs("vantor_leftsrb", V{-3.45, 0, -2})},
      {"AddMesh", FormatArgs("vantor_rightsrb", V{3.45, 0, -2})},
      {"AddMesh", FormatArgs("vantor_main", V{0, 0, 0})},
      {"AddMesh", FormatArgs("vantor_leftpay", V{0, -1.345, 24.09})},
      {"AddMesh", FormatArgs("vantor_rightpay", V{0, 1.345, 24.09})},
  };
  std::vector<Call> pad = CommonCapsCalls(726800.0, -16);
  pad.insert(pad.end(), boosters.begin(), boosters.end());
  StackConfiguration* stack = Install();
  stack->SetClassCaps(&vessel, 12.0);
  EXPECT_EQ(Calls(), pad);
  EXPECT_EQ(stack->leftBoosterExhaust, 1u);
  EXPECT_EQ(stack->rightBoosterExhaust, 2u);

  CarrySatellite();
  world.journal().Clear();
  stack->SetClassCaps(&vessel, 0.0);
  const std::vector<Call> satellite = SatelliteCapsCalls(727750.0);
  pad.insert(pad.end(), satellite.begin(), satellite.end());
  EXPECT_EQ(Calls(), pad);
}

TEST_F(StackTest, InitSetsEveryFigure) {
  StackConfiguration stack;
  stack.ignitionTime = 5;
  stack.lastSimTime = 6;
  stack.boostersIgnited = true;
  stack.Init();
  EXPECT_EQ(stack.thrustVacuum, 1114035.44);
  EXPECT_EQ(stack.thrustSeaLevel, 880865.231627907);
  EXPECT_EQ(stack.boosterThrustSeaLevel, 5883990.0);
  EXPECT_EQ(stack.boosterThrustVacuum, 6472389.0);
  EXPECT_EQ(stack.lastSimTime, 0.0);
  EXPECT_EQ(stack.boosterFuelMass, 237700.0);
  EXPECT_EQ(stack.stackBaseMass, 251400.0);
  EXPECT_EQ(stack.ignitionTime, 0.0);
  EXPECT_FALSE(stack.boostersIgnited);
  EXPECT_EQ(stack.boosterBurnTime, 129.0);
  const double times[] = {0, 1, 105, 120, 129, 138};
  for (int k = 0; k < 6; ++k) EXPECT_EQ(boosterProfile.times[k], times[k]) << k;
}

TEST_F(StackTest, PadValues) {
  Install();
  EXPECT_EQ(state->emptyMass, 726800.0);
  EXPECT_EQ(state->maxFuelMass, 158100.0);
  EXPECT_EQ(state->maxThrust[ENGINE_MAIN], 1114035.44);
  EXPECT_EQ(state->maxThrust[ENGINE_RETRO], 0.0);
  EXPECT_EQ(state->maxThrust[ENGINE_HOVER], 0.0);
  EXPECT_EQ(state->maxThrust[ENGINE_ATTITUDE], 50000.0);
  for (const VECTOR3& point : state->touchdown) EXPECT_EQ(point.z, -16.0);
  ASSERT_EQ(state->exhausts.size(), 3u);
  EXPECT_EQ(state->exhausts[1].lengthScale, 0.0);
  EXPECT_EQ(state->exhausts[2].widthScale, 0.0);
  EXPECT_EQ(state->meshes.size(), 5u);

  CarrySatellite();
  Install();
  EXPECT_EQ(state->emptyMass, 726800.0 + 950.0);
  ASSERT_EQ(state->meshes.size(), 6u);
  EXPECT_EQ(state->meshes.back().name, "relaysat");
}

TEST_F(StackTest, OnThePadOnlyTheCoreThrustIsCorrected) {
  StackConfiguration* stack = Install();
  state->atmPressure = 101400;
  EXPECT_EQ(Step(1.0), (std::vector<std::string>{"GetEngineLevel(0)", "GetMainThrustModPtr()",
                                                 "GetAtmPressure()"}));
  EXPECT_NEAR(state->mainThrustMod, -233170.208, 0.0005);
  EXPECT_EQ(state->emptyMass, 726800.0);
  EXPECT_EQ(state->exhausts[1].lengthScale, 0.0);
  EXPECT_FALSE(stack->boostersIgnited);
  EXPECT_EQ(stack->lastSimTime, 1.0);
}

TEST_F(StackTest, IgnitionNeedsALevelAboveNinetyFivePercent) {
  struct Case {
    double level;
    bool satellite;
    bool ignites;
  };
  const Case cases[] = {
      {0.95, false, false}, {std::nextafter(0.95, 1.0), false, true}, {1.0, true, true}};
  for (const Case& c : cases) {
    if (c.satellite) CarrySatellite();
    StackConfiguration* stack = Install();
    const double padMass = state->emptyMass;
    state->engineLevel[ENGINE_MAIN] = c.level;
    Step(2.5);
    EXPECT_EQ(stack->boostersIgnited, c.ignites) << c.level;
    EXPECT_EQ(stack->ignitionTime, c.ignites ? 2.5 : 0.0) << c.level;
    // At ignition the profile starts at no thrust and full boosters.
    EXPECT_EQ(state->emptyMass, padMass) << c.level;
    EXPECT_EQ(state->mainThrustMod, 0.0) << c.level;
    EXPECT_EQ(state->exhausts[1].lengthScale, c.ignites ? 10.0 : 0.0) << c.level;
    EXPECT_EQ(state->exhausts[2].widthScale, c.ignites ? 1.0 : 0.0) << c.level;
  }
}

TEST_F(StackTest, EOnThePadIgnitesSkipsAndThenDetectsIgnition) {
  StackConfiguration* stack = Install();
  stack->igniteRequested = true;
  EXPECT_EQ(Step(1.0), (std::vector<std::string>{"SetEngineLevel(0, 1)", "GetMainThrustModPtr()",
                                                 "GetAtmPressure()"}));
  EXPECT_EQ(stack->lastSimTime, 1.0);
  EXPECT_TRUE(Step(1.01).empty());
  EXPECT_EQ(stack->lastSimTime, 1.0);
  EXPECT_FALSE(stack->boostersIgnited);
  Step(1.02);
  EXPECT_TRUE(stack->boostersIgnited);
  EXPECT_EQ(stack->ignitionTime, 1.02);
}

TEST_F(StackTest, BoosterBurnAddsBoosterThrustAndBurnsPropellantOff) {
  StackConfiguration* stack = Install();
  state->engineLevel[ENGINE_MAIN] = 1.0;
  Step(0.5);  // ignition
  Step(60.5);
  EXPECT_EQ(state->mainThrustMod, 2 * 6472389.0);  // vacuum: the core needs no correction
  EXPECT_NEAR(state->emptyMass, 0.5226783654 * 2 * 237700 + 251400, 5e-11 * 2 * 237700);
  EXPECT_EQ(stack->lastSimTime, 60.5);

  state->atmPressure = 101400;
  Step(70.5);
  EXPECT_EQ(state->mainThrustMod, 11534809.791627906);  // (core at pressure - rating) + boosters

  // A throttled core leaves the boosters' share alone.
  state->atmPressure = 0;
  state->engineLevel[ENGINE_MAIN] = 0.3;
  Step(80.5);
  EXPECT_EQ(state->mainThrustMod, 2 * 6472389.0);
  EXPECT_EQ(state->engineLevel[ENGINE_MAIN], 0.3);
  EXPECT_FALSE(CoreInstalled());
}

TEST_F(StackTest, BoostersSeparateOnlyAfterTheBurnTime) {
  Install();
  state->engineLevel[ENGINE_MAIN] = 1.0;
  Step(0.5);
  Step(129.5);  // 129 s after ignition exactly
  EXPECT_FALSE(CoreInstalled());
  EXPECT_EQ(world.Find("L1-Stage_LeftBooster"), nullptr);

  state->engineLevel[ENGINE_MAIN] = 0.6;
  state->mainThrustMod = 321.0;
  const std::vector<std::string> calls = Step(std::nextafter(129.5, 200.0));
  ASSERT_TRUE(CoreInstalled());
  EXPECT_NE(world.Find("L1-Stage_LeftBooster"), nullptr);
  EXPECT_NE(world.Find("L1-Stage_RightBooster"), nullptr);
  // No thrust update in this step: the core stage starts from a cleared modifier at full level.
  for (const std::string& call : calls) EXPECT_NE(call, "GetAtmPressure()");
  ASSERT_GE(calls.size(), 2u);
  EXPECT_EQ(calls[calls.size() - 2], "GetMainThrustModPtr()");
  EXPECT_EQ(calls.back(), "SetEngineLevel(0, 1)");
  EXPECT_EQ(state->mainThrustMod, 0.0);
  EXPECT_EQ(state->engineLevel[ENGINE_MAIN], 1.0);
  for (const VECTOR3& point : state->touchdown) EXPECT_EQ(point.z, -15.0);
  EXPECT_EQ(state->exhausts.size(), 1u);
  EXPECT_EQ(state->meshes.size(), 3u);
  EXPECT_EQ(state->emptyMass, 13700.0);
  EXPECT_FALSE(Manager()->currentConfiguration->jettisonRequested);
}

TEST_F(StackTest, JBeforeIgnitionWaitsForTheBoostersToBurn) {
  StackConfiguration* stack = Install();
  stack->jettisonRequested = true;
  Step(1.0);
  EXPECT_TRUE(stack->jettisonRequested);
  state->engineLevel[ENGINE_MAIN] = 1.0;
  Step(1.01);  // ignition
  EXPECT_TRUE(stack->boostersIgnited);
  EXPECT_TRUE(stack->jettisonRequested);
  EXPECT_FALSE(CoreInstalled());
  Step(1.02);
  EXPECT_TRUE(CoreInstalled());
  EXPECT_NE(world.Find("L1-Stage_RightBooster"), nullptr);
}

TEST_F(StackTest, JAndEPendingTogetherIgniteSkipThenSeparate) {
  StackConfiguration* stack = Install();
  state->engineLevel[ENGINE_MAIN] = 1.0;
  Step(10.0);  // ignition
  stack->igniteRequested = true;
  stack->jettisonRequested = true;
  EXPECT_EQ(Step(20.0).front(), "SetEngineLevel(0, 1)");
  EXPECT_FALSE(CoreInstalled());
  EXPECT_TRUE(Step(20.01).empty());
  EXPECT_FALSE(CoreInstalled());
  Step(20.02);
  EXPECT_TRUE(CoreInstalled());
}

}  // namespace
