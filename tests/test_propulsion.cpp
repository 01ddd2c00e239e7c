#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "tests/support/host_fixture.h"
#include "vehicle/booster_profile.h"
#include "vehicle/parameters.h"
#include "vehicle/propulsion.h"

using namespace vantor;
using namespace zenthar;

namespace {

/// A figure as printed in a table, and how far a double may lie from it: half a unit of its last
/// printed digit. Whole numbers in these tables come out of exact arithmetic and must match.
struct Printed {
  double value;
  double tolerance;
};

Printed Parse(const char* text) {
  const char* point = std::strchr(text, '.');
  double tolerance = 0;
  if (point != nullptr) {
    tolerance = 0.5;
    for (const char* digit = point + 1; *digit != '\0'; ++digit) tolerance /= 10;
  }
  return {std::strtod(text, nullptr), tolerance};
}

void ExpectPrinted(double actual, const char* printed, const std::string& what) {
  const Printed p = Parse(printed);
  if (p.tolerance == 0) {
    EXPECT_EQ(actual, p.value) << what;
  } else {
    EXPECT_NEAR(actual, p.value, p.tolerance) << what << " printed as " << printed;
  }
}

double CoreSeaLevelThrust() {
  return SeaLevelThrust(CORE_THRUST_VACUUM, CORE_ISP_VACUUM, CORE_ISP_SEA_LEVEL,
                        CORE_PROPELLANT_MASS);
}

double BoosterSeaLevelThrust() {
  return SeaLevelThrust(BOOSTER_THRUST_VACUUM, BOOSTER_ISP_VACUUM, BOOSTER_ISP_SEA_LEVEL,
                        BOOSTER_PROPELLANT_MASS);
}

TEST(SeaLevelThrust, KeepsTheLastDigitOfTheRoundTrip) {
  EXPECT_EQ(CoreSeaLevelThrust(), 880865.231627907);
  // The direct ratio would be one unit in the last place high.
  EXPECT_EQ(BoosterSeaLevelThrust(), 5883990);
  volatile double direct = BOOSTER_THRUST_VACUUM * BOOSTER_ISP_SEA_LEVEL;
  EXPECT_NE(direct / BOOSTER_ISP_VACUUM, BoosterSeaLevelThrust());
}

TEST(BoosterProfile, BuildsTimesFromTheBurnTimeAndSlopes) {
  struct {
    double burnTime;  // s
    double times[6];  // s
  } const builds[] = {{60, {0, 1, 36, 51, 60, 69}}, {129, {0, 1, 105, 120, 129, 138}}};
  for (const auto& b : builds) {
    BuildBoosterProfile(b.burnTime);
    for (int i = 0; i < 6; ++i)
      EXPECT_EQ(boosterProfile.times[i], b.times[i]) << b.burnTime << " s, point " << i;
    ExpectPrinted(boosterProfile.thrustSlope[2], "-0.0133333333", "thrust slope 2");
  }

  struct {
    const char* thrust;
    const char* propellant;
  } const slopes[] = {
      {"1", "-0.00417"},
      {"0", "-0.0080195192"},
      {"-0.0133333333", "-0.0075066667"},
      {"-0.0722222222", "-0.0048411111"},
      {"-0.0166666667", "-0.0006255556"},
  };
  for (int k = 0; k < 5; ++k) {
    ExpectPrinted(boosterProfile.thrustSlope[k], slopes[k].thrust,
                  "thrust slope " + std::to_string(k));
    ExpectPrinted(boosterProfile.propellantSlope[k], slopes[k].propellant,
                  "propellant slope " + std::to_string(k));
  }
}

TEST(BoosterProfile, RebuildChangesNothing) {
  BuildBoosterProfile(129);
  const BoosterProfile first = boosterProfile;
  BuildBoosterProfile(129);
  EXPECT_EQ(std::memcmp(&first, &boosterProfile, sizeof first), 0);
}

TEST(BoosterProfile, SamplesTheWorkedValues) {
  BuildBoosterProfile(129);
  struct {
    double t;
    const char* thrust;
    const char* propellant;
  } const cases[] = {
      {0, "0", "1"},
      {0.5, "0.5", "0.997915"},
      {1, "1", "0.99583"},
      {60, "1", "0.5226783654"},
      {105, "1", "0.1618"},
      {112.5, "0.9", "0.1055"},
      {120, "0.8", "0.0492"},
      {125, "0.4388888889", "0.0249944444"},
      {129, "0.15", "0.00563"},
      {133.5, "0.075", "0.002815"},
      {138, "0", "0"},
      {140, "-0.0333333333", "-0.0012511111"},
  };
  for (const auto& c : cases) {
    double thrust = -1, propellant = -1;
    SampleBoosterProfile(c.t, thrust, propellant);
    ExpectPrinted(thrust, c.thrust, "thrust at t=" + std::to_string(c.t));
    ExpectPrinted(propellant, c.propellant, "propellant at t=" + std::to_string(c.t));
  }
}

TEST(BoosterProfile, BreakpointsTakeTheSegmentThatEndsThere) {
  BuildBoosterProfile(129);
  // The two segments meeting at a breakpoint differ in the last digit, which tells them apart:
  // the later segment would give 0.1618 and 0.15 exactly.
  double thrust = 0, propellant = 0;
  SampleBoosterProfile(105, thrust, propellant);
  EXPECT_EQ(propellant, 0.16179999999999994);
  SampleBoosterProfile(129, thrust, propellant);
  EXPECT_EQ(thrust, 0.15000000000000002);
  EXPECT_EQ(propellant, 0.005630000000000003);

  // At or before ignition: the first segment, continued backwards.
  SampleBoosterProfile(-1, thrust, propellant);
  EXPECT_EQ(thrust, -1);
  EXPECT_GT(propellant, 1);
  // Beyond burn-out: the last segment, continued.
  SampleBoosterProfile(140, thrust, propellant);
  EXPECT_LT(thrust, 0);
  EXPECT_LT(propellant, 0);
}

using PressureThrust = HostFixture;

TEST_F(PressureThrust, FollowsTheLineBetweenVacuumAndSeaLevel) {
  const double coreSeaLevel = CoreSeaLevelThrust();
  const double boosterSeaLevel = BoosterSeaLevelThrust();
  struct {
    double pressure;
    const char* core;
    const char* booster;
  } const rows[] = {
      {0, "1114035.44", "6472389"},
      // Every digit: the order of the operations fixes the last one.
      {8400, "1094719.5647502409", "6423645.8875739649"},
      {25350, "1055742.8879", "6325289.25"},
      {50700, "997450.3358", "6178189.5"},
      {101400, "880865.2316", "5883990"},
  };
  for (const auto& row : rows) {
    state->atmPressure = row.pressure;
    const std::string at = "at " + std::to_string(row.pressure) + " Pa";
    ExpectPrinted(ThrustAtPressure(&vessel, coreSeaLevel, CORE_THRUST_VACUUM), row.core,
                  "core " + at);
    ExpectPrinted(ThrustAtPressure(&vessel, boosterSeaLevel, BOOSTER_THRUST_VACUUM), row.booster,
                  "booster " + at);
  }
}

TEST_F(PressureThrust, MeetsTheRatingsExactly) {
  const double ratings[][2] = {{CoreSeaLevelThrust(), CORE_THRUST_VACUUM},
                               {BoosterSeaLevelThrust(), BOOSTER_THRUST_VACUUM}};  // N
  for (const auto& rating : ratings) {
    state->atmPressure = 0;
    EXPECT_EQ(ThrustAtPressure(&vessel, rating[0], rating[1]), rating[1]);
    state->atmPressure = 101400;
    EXPECT_EQ(ThrustAtPressure(&vessel, rating[0], rating[1]), rating[0]);
  }
  // The standard atmosphere's sea level lies a little below the reference pressure.
  state->atmPressure = 101325;
  EXPECT_NEAR(ThrustAtPressure(&vessel, CoreSeaLevelThrust(), CORE_THRUST_VACUUM), 881037.6948,
              5e-5);
  // Above the reference pressure the line goes on past the sea-level thrust.
  state->atmPressure = 120000;
  EXPECT_LT(ThrustAtPressure(&vessel, CoreSeaLevelThrust(), CORE_THRUST_VACUUM),
            CoreSeaLevelThrust());
}

TEST_F(PressureThrust, ThrustAsksForThePressureOnceTheModifierForPointerAndPressureTwice) {
  state->atmPressure = 50700;
  world.journal().Enable(true);
  ThrustAtPressure(&vessel, CoreSeaLevelThrust(), CORE_THRUST_VACUUM);
  EXPECT_EQ(world.journal().Operations(), std::vector<std::string>{"GetAtmPressure"});
  world.journal().Clear();
  ApplyPressureThrust(&vessel, CoreSeaLevelThrust(), CORE_THRUST_VACUUM);
  EXPECT_EQ(world.journal().Operations(),
            (std::vector<std::string>{"GetMainThrustModPtr", "GetAtmPressure", "GetAtmPressure"}));
}

TEST_F(PressureThrust, ModifierHoldsThePressureCorrection) {
  struct {
    double pressure;
    const char* modifier;
  } const rows[] = {
      {0, "0"},
      {25350, "-58292.552"},
      {50700, "-116585.104"},
      {101400, "-233170.208"},
  };
  for (const auto& row : rows) {
    state->atmPressure = row.pressure;
    state->mainThrustMod = 12345;  // last step's value must not survive
    ApplyPressureThrust(&vessel, CoreSeaLevelThrust(), CORE_THRUST_VACUUM);
    ExpectPrinted(state->mainThrustMod, row.modifier,
                  "modifier at " + std::to_string(row.pressure) + " Pa");
    // With the engine rated at the vacuum thrust, rating plus modifier is the thrust at pressure.
    EXPECT_NEAR(CORE_THRUST_VACUUM + state->mainThrustMod,
                ThrustAtPressure(&vessel, CoreSeaLevelThrust(), CORE_THRUST_VACUUM), 1e-9);
  }
}

}  // namespace
