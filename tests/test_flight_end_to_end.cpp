// Whole flights: the launcher module loaded through the host's loader and flown by the stand-in
// host from the pad through booster burn and separation, the core burn to an empty tank, fairing
// jettison and satellite release, driven by E alone or by J presses.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/engine_types.h"
#include "sim/physics/physics.h"
#include "sim/physics/vec_math.h"
#include "tests/support/flight_run.h"
#include "tests/support/host_checks.h"

using namespace zenthar;

namespace {

const double BOOSTER_BURN = 129;  // s, from ignition to automatic booster separation

const std::string OPEN_LOOP_LAUNCH = ScenarioPath("open_loop.scn");

// The frame in which the boosters ignite, for an E press in keyFrame: the E step sets the main
// engine to full, the next step is skipped, and the one after finds the level above 0.95.
long IgnitionFrame(long keyFrame) {
  return keyFrame + 2;
}

long SeparationFrame(long keyFrame, double dt) {
  return FirstFrameAfter(TimeOf(IgnitionFrame(keyFrame), dt), BOOSTER_BURN, dt);
}

// What the flight did, frame by frame: "frame kind vessel detail", impacts left out (when the
// spent boosters come down is the host's business).
std::vector<std::string> Timeline(const std::vector<HostEvent>& events, double dt) {
  std::vector<std::string> lines;
  for (const HostEvent& e : events)
    if (e.kind != "impact")
      lines.push_back(std::to_string(FrameOf(e.time, dt)) + " " + e.kind + " " + e.vessel +
                      (e.detail.empty() ? "" : " " + e.detail));
  return lines;
}

std::string At(long frame, const std::string& what) {
  return std::to_string(frame) + " " + what;
}

TEST(FlightEndToEnd, LaunchWithoutSatelliteBurnsToEmptyAndStopsAfterTheFairing) {
  // An earlier world's launcher carried a satellite; the next world loads the module afresh and
  // its launcher starts with none.
  ASSERT_NE(nullptr, WorldFromFile(OPEN_LOOP_LAUNCH));

  auto world = WorldOnPad("Kestrel", "5:E");
  ASSERT_NE(nullptr, world);
  VesselState* launcher = world->Launcher();
  ASSERT_NE(nullptr, launcher);
  const double dt = world->dt;
  const long keyFrame = FrameOf(5, dt);
  const long ignition = IgnitionFrame(keyFrame);
  const long separation = SeparationFrame(keyFrame, dt);

  FlyUntil(*world, TimeOf(keyFrame, dt));
  EXPECT_TRUE(launcher->landed);
  EXPECT_EQ(0.0, launcher->engineLevel[ENGINE_MAIN]);
  StepOnce(*world);
  EXPECT_EQ(1.0, launcher->engineLevel[ENGINE_MAIN]);
  FlyUntil(*world, TimeOf(ignition, dt));
  EXPECT_FALSE(BoosterFlameLit(*launcher)) << "ignited before frame " << ignition;
  StepOnce(*world);
  EXPECT_TRUE(BoosterFlameLit(*launcher)) << "not ignited in frame " << ignition;

  FlyUntil(*world, TimeOf(separation, dt));
  EXPECT_EQ(1u, world->vessels().size()) << "boosters gone before frame " << separation;
  EXPECT_FALSE(launcher->landed);
  EXPECT_GT(Altitude(*launcher, world->planet), 10000.0);
  StepOnce(*world);
  EXPECT_EQ(3u, world->vessels().size()) << "boosters not gone in frame " << separation;
  EXPECT_EQ(1.0, launcher->engineLevel[ENGINE_MAIN]);

  const double flow = launcher->maxThrust[ENGINE_MAIN] / launcher->isp;  // kg/s at full level
  const long exhausted = FlyUntilEvent(*world, "propellant_exhausted", 1000);
  ASSERT_GT(exhausted, separation);
  EXPECT_EQ(0.0, launcher->fuelMass);
  // The core burned at full level from the E step on, through the separation, and runs dry
  // within the exhaustion step.
  const double dry = TimeOf(keyFrame, dt) + launcher->maxFuelMass / flow;
  EXPECT_NEAR(TimeOf(exhausted, dt) + dt / 2, dry, dt / 2 + 1e-6);

  StepOnce(*world);  // the fairing goes
  const std::size_t vessels = world->vessels().size();
  const double level = launcher->engineLevel[ENGINE_MAIN];
  EXPECT_EQ(1.0, level);
  // With no satellite the next jettison step, and every one after it, does nothing.
  EXPECT_TRUE(StepOnce(*world).empty());
  EXPECT_EQ(vessels, world->vessels().size());
  EXPECT_EQ(level, launcher->engineLevel[ENGINE_MAIN]);
  EXPECT_EQ(launcher, world->focus());
  FlyUntil(*world, world->time() + 10);
  EXPECT_EQ(level, launcher->engineLevel[ENGINE_MAIN]);
  EXPECT_EQ(launcher, world->focus());
  EXPECT_EQ(0.0, launcher->fuelMass);

  const std::vector<std::string> expected = {
      At(0, "vessel_created Kestrel Vantor"),
      At(0, "focus Kestrel"),
      At(separation, "vessel_created Kestrel-Stage_LeftBooster Vantor_LeftBooster"),
      At(separation, "vessel_created Kestrel-Stage_RightBooster Vantor_RightBooster"),
      At(exhausted, "propellant_exhausted Kestrel"),
      At(exhausted + 1, "vessel_created Kestrel-Stage_LeftPayload Vantor_LeftPayload"),
      At(exhausted + 1, "vessel_created Kestrel-Stage_RightPayload Vantor_RightPayload"),
  };
  EXPECT_EQ(expected, Timeline(world->events(), dt));
  EXPECT_EQ(
      (std::vector<std::string>{"Kestrel:Vantor", "Kestrel-Stage_LeftBooster:Vantor_LeftBooster",
                                "Kestrel-Stage_RightBooster:Vantor_RightBooster",
                                "Kestrel-Stage_LeftPayload:Vantor_LeftPayload",
                                "Kestrel-Stage_RightPayload:Vantor_RightPayload"}),
      VesselList(*world));
}

TEST(FlightEndToEnd, JPressesSeparateJettisonAndReleaseEachInTheirStep) {
  auto world = WorldFromFile(OPEN_LOOP_LAUNCH);
  ASSERT_NE(nullptr, world);
  std::string error;
  // J during the booster burn, then with propellant left: the fairing, then the satellite.
  ASSERT_TRUE(world->keyScript().Parse("60:J,100:J,110:J", error)) << error;
  VesselState* launcher = world->Launcher();
  const double dt = world->dt;
  const long boosters = FrameOf(60, dt), fairing = FrameOf(100, dt), satellite = FrameOf(110, dt);
  ASSERT_LT(boosters, SeparationFrame(FrameOf(5, dt), dt));

  FlyUntil(*world, TimeOf(boosters + 1, dt));
  EXPECT_EQ(1.0, launcher->engineLevel[ENGINE_MAIN]);
  FlyUntil(*world, TimeOf(fairing + 1, dt));
  EXPECT_EQ(1.0, launcher->engineLevel[ENGINE_MAIN]);
  FlyUntil(*world, TimeOf(satellite + 1, dt));
  EXPECT_EQ(0.0, launcher->engineLevel[ENGINE_MAIN]);
  FlyUntil(*world, 130);
  EXPECT_GT(launcher->fuelMass, 0.0);

  const std::vector<std::string> expected = {
      At(0, "vessel_created Vantor1 Vantor"),
      At(0, "focus Vantor1"),
      At(boosters, "vessel_created Vantor1-Stage_LeftBooster Vantor_LeftBooster"),
      At(boosters, "vessel_created Vantor1-Stage_RightBooster Vantor_RightBooster"),
      At(fairing, "vessel_created Vantor1-Stage_LeftPayload Vantor_LeftPayload"),
      At(fairing, "vessel_created Vantor1-Stage_RightPayload Vantor_RightPayload"),
      At(satellite, "vessel_created Vantor1-Sat Relaysat"),
      At(satellite, "focus Vantor1-Sat"),
  };
  EXPECT_EQ(expected, Timeline(world->events(), dt));
}

TEST(MissionEndToEnd, OpenLoopLaunchReleasesTheSatelliteAndHandsItTheFocus) {
  auto world = WorldFromFile(OPEN_LOOP_LAUNCH);
  ASSERT_NE(nullptr, world);
  VesselState* launcher = world->Launcher();
  ASSERT_NE(nullptr, launcher);
  ASSERT_EQ(1u, world->keyScript().presses().size());  // E alone
  const double dt = world->dt;
  const long separation = SeparationFrame(FrameOf(world->keyScript().presses()[0].time, dt), dt);

  const long exhausted = FlyUntilEvent(*world, "propellant_exhausted", 1000);
  ASSERT_GT(exhausted, separation);
  StepOnce(*world);  // the fairing goes
  EXPECT_EQ(1.0, launcher->engineLevel[ENGINE_MAIN]);
  StepOnce(*world);  // the satellite goes
  EXPECT_EQ(0.0, launcher->engineLevel[ENGINE_MAIN]);

  const std::string satelliteName = launcher->name + "-Sat";
  const VesselState* satellite = world->Find(satelliteName);
  ASSERT_NE(nullptr, satellite);
  EXPECT_EQ("Relaysat", satellite->className);
  EXPECT_EQ(satellite, world->focus());
  EXPECT_EQ(950.0, satellite->Mass());
  // Released at z 23.5 on the launcher with -2 m/s along the launcher's z; both then flew one
  // step in vacuum without thrust, so they have drifted apart by one step of that velocity.
  const VECTOR3 offset =
      TransposeTimes(launcher->attitude, satellite->position - launcher->position);
  const VECTOR3 velocity =
      TransposeTimes(launcher->attitude, satellite->velocity - launcher->velocity);
  ExpectVector(offset, {0, 0, 23.5 - 2 * dt}, 1e-6, "offset");
  ExpectVector(velocity, {0, 0, -2}, 1e-6, "velocity");

  // Nothing is left to leave.
  FlyUntil(*world, world->time() + 10);
  EXPECT_EQ(0.0, launcher->engineLevel[ENGINE_MAIN]);
  EXPECT_EQ(satellite, world->focus());
  const std::vector<std::string> expected = {
      At(0, "vessel_created Vantor1 Vantor"),
      At(0, "focus Vantor1"),
      At(separation, "vessel_created Vantor1-Stage_LeftBooster Vantor_LeftBooster"),
      At(separation, "vessel_created Vantor1-Stage_RightBooster Vantor_RightBooster"),
      At(exhausted, "propellant_exhausted Vantor1"),
      At(exhausted + 1, "vessel_created Vantor1-Stage_LeftPayload Vantor_LeftPayload"),
      At(exhausted + 1, "vessel_created Vantor1-Stage_RightPayload Vantor_RightPayload"),
      At(exhausted + 2, "vessel_created Vantor1-Sat Relaysat"),
      At(exhausted + 2, "focus Vantor1-Sat"),
  };
  EXPECT_EQ(expected, Timeline(world->events(), dt));
  EXPECT_EQ(6u, world->vessels().size());
}

}  // namespace
