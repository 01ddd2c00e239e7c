// The host's programmed ascent: reading the PITCH and HEADING lines, the elevation over time, the
// attitude it steers to, and how a saved scenario carries the rest of the program.

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "sim/files/host_state_lines.h"
#include "sim/files/scenario_file.h"
#include "sim/physics/steering.h"
#include "tests/support/flight_run.h"
#include "tests/support/host_checks.h"
#include "tests/support/host_fixture.h"

using namespace zenthar;

namespace {

TEST(PitchProgram, ReadsPointListsAndRefusesWhatIsNotOne) {
  PitchProgram program;
  std::string error;
  ASSERT_TRUE(program.Parse(" 0 90  15 90 134 60 600 0 ", error)) << error;
  ASSERT_EQ(4u, program.points.size());
  EXPECT_EQ(134, program.points[2].time);
  EXPECT_EQ(60, program.points[2].elevation);
  std::string tooMany;
  for (int i = 0; i <= 64; ++i) tooMany += std::to_string(i) + " 45 ";
  for (const std::string bad : {"", "10", "0 90 15", "0 90 0 80", "5 90 4 80", "0 nan", "0 90 x",
                                "0 90 1e999 80", "-1 90", "0 91", tooMany.c_str()}) {
    PitchProgram other = program;
    EXPECT_FALSE(other.Parse(bad, error)) << bad;
    EXPECT_EQ(0u, error.find("PITCH: expected ")) << error;
    EXPECT_EQ(4u, other.points.size()) << bad;
  }
}

TEST(PitchProgram, ElevationIsPiecewiseLinearAndHeldAtTheEnds) {
  PitchProgram program;
  std::string error;
  ASSERT_TRUE(program.Parse("15 90 134 60 600 0", error));
  struct {
    double t, elevation;
  } const cases[] = {{0, 90}, {15, 90}, {74.5, 75}, {134, 60}, {367, 30}, {600, 0}, {900, 0}};
  for (const auto& c : cases) EXPECT_EQ(c.elevation, program.ElevationAt(c.t)) << c.t;

  // The longest program: every segment found (elevation t from t = 0 to 63).
  PitchProgram longest;
  std::string points;
  for (int i = 0; i < 64; ++i) points += std::to_string(i) + " " + std::to_string(i) + " ";
  ASSERT_TRUE(longest.Parse(points, error)) << error;
  for (double t = -1; t <= 64; t += 0.25)
    EXPECT_EQ(t < 0 ? 0 : t > 63 ? 63 : t, longest.ElevationAt(t)) << t;
  // Asked backwards, in jumps, and after the points changed: the segment found last is a guess.
  for (double t = 64; t >= -1; t -= 0.25)
    EXPECT_EQ(t < 0 ? 0 : t > 63 ? 63 : t, longest.ElevationAt(t)) << t;
  for (const double t : {62.5, 0.5, 40.25, 63.5, 1.0})
    EXPECT_EQ(t > 63 ? 63 : t, longest.ElevationAt(t)) << t;
  ASSERT_TRUE(longest.Parse("0 10 2 30", error)) << error;
  EXPECT_EQ(20, longest.ElevationAt(1));
  EXPECT_EQ(30, longest.ElevationAt(62.5));

  const PitchProgram rest = program.RebasedAt(367);
  ASSERT_EQ(2u, rest.points.size());
  EXPECT_EQ(0, rest.points[0].time);
  EXPECT_EQ(30, rest.points[0].elevation);
  EXPECT_EQ(233, rest.points[1].time);
  EXPECT_NEAR(program.ElevationAt(500), rest.ElevationAt(133), 1e-12);
}

TEST_F(HostFixture, SteersAFlyingVesselToItsElevationAndHeading) {
  state->position = {6471000, 0, 0};  // over (0, 0): up is +x, east +y, north +z
  std::string error;
  ASSERT_TRUE(state->pitch.Parse("0 30", error));
  state->pitch.heading = 90;
  SteerToProgram(*state, 10);
  VECTOR3 nose, across;
  vessel.GlobalRot({0, 0, 1}, nose);
  vessel.GlobalRot({0, 1, 0}, across);
  ExpectVector(nose, {0.5, std::sqrt(3) / 2, 0}, 1e-15, "nose");  // up sin 30, east cos 30
  EXPECT_NEAR(1, across.z, 1e-15);  // the ascent's plane is east-up: y points north

  state->pitch.heading = 0;  // northwards, a program that has not flown yet
  state->pitch.plane = {0, 0, 0};
  SteerToProgram(*state, 10);
  vessel.GlobalRot({0, 0, 1}, nose);
  EXPECT_NEAR(std::sqrt(3) / 2, nose.z, 1e-15);
  EXPECT_NEAR(0, nose.y, 1e-15);

  // The ascent keeps to the plane it began in, a great circle, whatever the heading says now: at
  // 45 degrees north the nose still points along the meridian, 30 degrees above the horizon.
  state->position = 6471000 * VECTOR3{std::sqrt(0.5), 0, std::sqrt(0.5)};
  state->pitch.heading = 90;
  SteerToProgram(*state, 10);
  vessel.GlobalRot({0, 0, 1}, nose);
  EXPECT_NEAR(0, nose.y, 1e-15);
  EXPECT_NEAR(0.5, Dot(nose, VECTOR3{std::sqrt(0.5), 0, std::sqrt(0.5)}), 1e-15);
  EXPECT_GT(nose.z, 0);

  // On the ground the vessel stands as it is.
  const Matrix3 before = state->attitude;
  state->landed = true;
  ASSERT_TRUE(state->pitch.Parse("0 0", error));
  SteerToProgram(*state, 10);
  EXPECT_EQ(0, std::memcmp(&before, &state->attitude, sizeof before));
}

TEST(PitchProgram, ASavedScenarioCarriesTheRestOfTheProgram) {
  auto world = WorldFromText(
      "BEGIN_VESSEL Sat:Relaysat\nRPOS 6471000 0 0\nRVEL 0 7800 0\nHEADING 45\n"
      "PITCH 0 90 10 0\nEND_VESSEL\n");
  ASSERT_NE(nullptr, world);
  world->RunUntil(4);
  auto again = WorldFromText(WriteScenario(*world));
  ASSERT_NE(nullptr, again);
  const PitchProgram& rest = again->Find("Sat")->pitch;
  EXPECT_EQ(45, rest.heading);
  ExpectVector(rest.plane, world->Find("Sat")->pitch.plane);  // the plane it began in
  ASSERT_EQ(2u, rest.points.size());
  EXPECT_NEAR(54, rest.points[0].elevation, 1e-12);
  EXPECT_NEAR(6, rest.points[1].time, 1e-12);
}

}  // namespace
