#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "tests/support/host_checks.h"
#include "tests/support/host_fixture.h"
#include "vehicle/booster_profile.h"
#include "vehicle/meshes.h"
#include "vehicle/parameters.h"
#include "vehicle/satellite_payload.h"

using namespace vantor;
using namespace zenthar;

namespace {

// The derivations redone at run time, one double operation each: a figure folded differently
// when the module was built, or typed in as its rounded value, shows up as a mismatch.
double Minus(volatile double a, volatile double b) {
  return a - b;
}
double Plus(volatile double a, volatile double b) {
  return a + b;
}
double Times(volatile double a, volatile double b) {
  return a * b;
}

TEST(VehicleParameters, ScalarsAreTheirDerivations) {
  // The value each derivation gives is known to the last bit, so it is checked exactly too.
  struct {
    const char* name;
    double value;
    double derivation;
    double exact;
  } const figures[] = {
      {"STANDARD_GRAVITY", STANDARD_GRAVITY, 9.80665, 9.80665},
      {"CORE_GROSS_MASS", CORE_GROSS_MASS, 170800, 170800},
      {"BOOSTER_GROSS_MASS", BOOSTER_GROSS_MASS, 277500, 277500},
      {"FAIRING_HALF_MASS", FAIRING_HALF_MASS, 500, 500},
      {"CORE_DRY_MASS", CORE_DRY_MASS, 12700, 12700},
      {"CORE_PROPELLANT_MASS", CORE_PROPELLANT_MASS, Minus(CORE_GROSS_MASS, CORE_DRY_MASS), 158100},
      {"BOOSTER_DRY_MASS", BOOSTER_DRY_MASS, 39800, 39800},
      {"BOOSTER_PROPELLANT_MASS", BOOSTER_PROPELLANT_MASS,
       Minus(BOOSTER_GROSS_MASS, BOOSTER_DRY_MASS), 237700},
      {"BOOSTER_ISP_SEA_LEVEL", BOOSTER_ISP_SEA_LEVEL, Times(STANDARD_GRAVITY, 250), 2451.6625},
      // Not 2696.82875: the product rounds one unit in the last place below it.
      {"BOOSTER_ISP_VACUUM", BOOSTER_ISP_VACUUM, Times(STANDARD_GRAVITY, 275), 2696.8287499999997},
      {"CORE_ISP_SEA_LEVEL", CORE_ISP_SEA_LEVEL, Times(STANDARD_GRAVITY, 340), 3334.261},
      {"CORE_ISP_VACUUM", CORE_ISP_VACUUM, Times(STANDARD_GRAVITY, 430), 4216.8595},
      {"BOOSTER_THRUST_VACUUM", BOOSTER_THRUST_VACUUM, Times(9.80665, 660000), 6472389},
      {"CORE_THRUST_VACUUM", CORE_THRUST_VACUUM, Times(9.80665, 113600), 1114035.44},
  };
  for (const auto& f : figures) {
    EXPECT_EQ(f.value, f.derivation) << f.name;
    EXPECT_EQ(f.value, f.exact) << f.name;
  }
}

TEST(VehicleParameters, MassCombinations) {
  // The stack carries the core at its gross mass, propellant included.
  EXPECT_EQ((FAIRING_HALF_MASS + BOOSTER_DRY_MASS) * 2 + CORE_GROSS_MASS, 251400);
  EXPECT_EQ(2 * FAIRING_HALF_MASS + CORE_DRY_MASS, 13700);
}

TEST(VehicleParameters, PositionsAreTheirDerivations) {
  struct {
    const char* name;
    VECTOR3 value;
    VECTOR3 derivation;
    VECTOR3 printed;
  } const positions[] = {
      {"MAIN_MESH_OFFSET", MAIN_MESH_OFFSET, {0, 0, 0}, {0, 0, 0}},
      {"LEFT_BOOSTER_MESH_OFFSET",
       LEFT_BOOSTER_MESH_OFFSET,
       {-3.45, 0, Minus(MAIN_MESH_OFFSET.z, 2)},
       {-3.45, 0, -2}},
      {"RIGHT_BOOSTER_MESH_OFFSET",
       RIGHT_BOOSTER_MESH_OFFSET,
       {3.45, 0, Minus(MAIN_MESH_OFFSET.z, 2)},
       {3.45, 0, -2}},
      {"LEFT_FAIRING_MESH_OFFSET",
       LEFT_FAIRING_MESH_OFFSET,
       {0, -1.345, 24.09},
       {0, -1.345, 24.09}},
      {"RIGHT_FAIRING_MESH_OFFSET",
       RIGHT_FAIRING_MESH_OFFSET,
       {0, 1.345, 24.09},
       {0, 1.345, 24.09}},
      {"MAIN_EXHAUST_POS", MAIN_EXHAUST_POS, {0, 0, Minus(MAIN_MESH_OFFSET.z, 15)}, {0, 0, -15}},
      {"LEFT_BOOSTER_EXHAUST_POS",
       LEFT_BOOSTER_EXHAUST_POS,
       {Minus(LEFT_BOOSTER_MESH_OFFSET.x, 0.2), 0, Minus(LEFT_BOOSTER_MESH_OFFSET.z, 14)},
       {-3.6500000000000004, 0, -16}},
      {"RIGHT_BOOSTER_EXHAUST_POS",
       RIGHT_BOOSTER_EXHAUST_POS,
       {Plus(RIGHT_BOOSTER_MESH_OFFSET.x, 0.2), 0, Minus(RIGHT_BOOSTER_MESH_OFFSET.z, 14)},
       {3.6500000000000004, 0, -16}},
  };
  for (const auto& p : positions) {
    ExpectVector(p.value, p.derivation, 0, p.name);
    ExpectVector(p.value, p.printed, 0, p.name);
  }
  // The flame x is the difference, one unit in the last place beyond the literal.
  EXPECT_NE(LEFT_BOOSTER_EXHAUST_POS.x, -3.65);
  EXPECT_NE(RIGHT_BOOSTER_EXHAUST_POS.x, 3.65);
}

TEST(BoosterProfile, LoadsWithStoredColumnsOnly) {
  const double thrust[6] = {0, 1, 1, 0.8, 0.15, 0};
  const double propellant[6] = {1, 0.99583, 0.1618, 0.0492, 0.00563, 0};
  EXPECT_EQ(boosterProfile.pointCount, 6);
  for (int i = 0; i < 6; ++i) {
    EXPECT_EQ(boosterProfile.thrustFraction[i], thrust[i]) << i;
    EXPECT_EQ(boosterProfile.propellantFraction[i], propellant[i]) << i;
    EXPECT_EQ(boosterProfile.times[i], 0) << i;
  }
  for (int k = 0; k < 5; ++k) {
    EXPECT_EQ(boosterProfile.thrustSlope[k], 0) << k;
    EXPECT_EQ(boosterProfile.propellantSlope[k], 0) << k;
  }
}

TEST(SatellitePayload, LoadsWithNoSatelliteAboard) {
  EXPECT_STREQ(satellitePayload.className, "");
  EXPECT_STREQ(satellitePayload.meshName, "");
  EXPECT_EQ(satellitePayload.mass, 0);
  ExpectVector(satellitePayload.offset, {0, 0, 0});
  EXPECT_TRUE(satellitePayload.jettisoned);
}

using MeshAdders = HostFixture;

TEST_F(MeshAdders, EachAddsItsMeshAtItsOffset) {
  struct {
    void (*add)(VESSEL*);
    const char* name;
    VECTOR3 offset;
  } const meshes[] = {
      {AddMainMesh, "vantor_main", {0, 0, 0}},
      {AddLeftBoosterMesh, "vantor_leftsrb", {-3.45, 0, -2}},
      {AddRightBoosterMesh, "vantor_rightsrb", {3.45, 0, -2}},
      {AddLeftFairingMesh, "vantor_leftpay", {0, -1.345, 24.09}},
      {AddRightFairingMesh, "vantor_rightpay", {0, 1.345, 24.09}},
  };
  world.journal().Enable(true);
  for (const auto& mesh : meshes) {
    state->meshes.clear();
    world.journal().Clear();
    mesh.add(&vessel);
    ASSERT_EQ(state->meshes.size(), 1u) << mesh.name;
    EXPECT_EQ(state->meshes[0].name, mesh.name);
    ExpectVector(state->meshes[0].offset, mesh.offset, 0, mesh.name);
    // One host call and nothing else.
    ASSERT_EQ(world.journal().entries().size(), 1u) << mesh.name;
    EXPECT_EQ(world.journal().entries()[0].operation, "AddMesh");
  }
}

}  // namespace
