// The guidance end to end in the stand-in host: the target orbits it reaches across pads, payloads
// and inclinations, the targets it says are beyond reach and how far it then gets, a resumed
// flight and a pilot's interruptions flown on to the target; its model of the launcher and its
// orbit geometry against the host; the target's text.

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <sstream>
#include <string>

#include "sim/files/scenario_file.h"
#include "sim/files/text_reader.h"
#include "sim/guidance/autopilot.h"
#include "sim/guidance/orbit_geometry.h"
#include "sim/physics/physical_constants.h"
#include "sim/physics/physics.h"
#include "sim/physics/vec_math.h"
#include "tests/support/flight_run.h"

using namespace zenthar;
using guidance::Autopilot;
using guidance::TargetOrbit;

namespace {

const double kLongestFlight = 6000;  // s, past every release here

struct Mission {
  double latitude;  // deg
  double payload;   // kg
  const char* target;
  const char* keys = "";  // the pilot's presses
};

std::string ScenarioOf(const Mission& m) {
  std::ostringstream text;
  if (*m.keys) text << "BEGIN_ENVIRONMENT\nKEYS " << m.keys << "\nEND_ENVIRONMENT\n";
  text << "BEGIN_VESSEL Vantor1:Vantor\nPAD " << m.latitude << " -52.8\nTARGET_ORBIT " << m.target
       << "\nCONFIGURATION 0\nSAT_OFS_Z 23.5\nSAT_JETTISONED 0\nSAT_NAME Relaysat\n"
       << "SAT_MESH relaysat\nSAT_MASS " << m.payload << "\nEND_VESSEL\n";
  return text.str();
}

/// A world read from a scenario, its launcher's guidance engaged.
std::unique_ptr<World> GuidedWorld(const std::string& scenario) {
  auto world = WorldFromText(scenario);
  if (world) world->EngageGuidance();
  EXPECT_TRUE(world && world->autopilot()) << scenario;
  return world;
}

/// Flies until the guidance is done, then a frame more.
void FlyToTheEnd(World& world) {
  while (world.autopilot()->phase() != Autopilot::Phase::kDone && world.time() < kLongestFlight)
    world.Step();
  world.Step();
}

TargetOrbit TargetOf(const char* text) {
  TargetOrbit target;
  FieldReader fields("TARGET_ORBIT", text);
  EXPECT_TRUE(guidance::ReadTargetOrbit(fields, target)) << fields.error();
  return target;
}

/// The satellite's orbit against the target, within the goal: apsides within 2 km, inclination
/// within 0.1 deg.
void ExpectOnTarget(const World& world, const TargetOrbit& target) {
  const VesselState* satellite = world.autopilot()->satellite();
  ASSERT_TRUE(satellite) << "the satellite has not left";
  const guidance::Arrival arrival = guidance::ArrivalOf(
      satellite->position, satellite->velocity, target, world.planet.radius, world.planet.gm);
  EXPECT_NEAR(target.periapsisAltitude, arrival.periapsisAltitude, 2);
  EXPECT_NEAR(target.apoapsisAltitude, arrival.apoapsisAltitude, 2);
  if (target.HasInclination()) {
    EXPECT_NEAR(target.inclination, arrival.inclination, 0.1);
  }
}

/// How many events of a kind at a time say something.
int Saying(const World& world, const std::string& kind, double time, const std::string& words) {
  int count = 0;
  for (const HostEvent& event : world.events())
    if (event.kind == kind && event.time == time && event.detail.find(words) != std::string::npos)
      ++count;
  return count;
}

TEST(Guidance, MeetsTheAccuracyGoalAcrossPadsPayloadsAndTargets) {
  const Mission missions[] = {
      {28.5, 10000, "2000 2000"},
      {45, 0, "300 1000 90"},
      {5, 5000, "250 250 51.6"},
      {45, 950, "1000 1000 98"},
      {5, 10000, "500 500 5"},
      // The pilot takes the launcher in the core burn, gives it back, cuts the engine, gives it
      // back again.
      {5.2, 950, "500 500", "150:AUTOPILOT,170:AUTOPILOT,200:ENGINE_CUT,230:AUTOPILOT"},
  };
  for (const Mission& m : missions) {
    SCOPED_TRACE(std::to_string(m.latitude) + " deg, " + std::to_string(m.payload) + " kg, " +
                 m.target + " " + m.keys);
    auto world = GuidedWorld(ScenarioOf(m));
    ASSERT_TRUE(world);
    EXPECT_TRUE(world->autopilot()->plan().reachable) << world->autopilot()->plan().verdict;
    FlyToTheEnd(*world);
    ExpectOnTarget(*world, TargetOf(m.target));
    const std::string reached = "target " + TargetOf(m.target).Text() + " reached";
    EXPECT_EQ(1, Saying(*world, "guidance", world->autopilot()->doneTime(), reached));
    if (!*m.keys) continue;
    // Each time the pilot took it, the guidance said so, and took over again at the key.
    for (double time : {150.0, 200.0})
      EXPECT_EQ(1, Saying(*world, "guidance", time, "the pilot flies"));
    for (double time : {170.0, 230.0})
      EXPECT_EQ(1, Saying(*world, "guidance", time, "takes over: flies to 500 x 500 km"));
  }
}

TEST(Guidance, FliesTheDefaultMissionWithTheSatellitesOwnMass) {
  auto world = WorldFromFile(ScenarioPath("default.scn"));
  ASSERT_TRUE(world);
  world->EngageGuidance();
  const Autopilot& autopilot = *world->autopilot();
  EXPECT_EQ(950, autopilot.payload());  // SAT_MASS
  FlyToTheEnd(*world);
  ExpectOnTarget(*world, TargetOf("500 500"));
  // The satellite has the mass its class file gives; the module passes it none.
  EXPECT_EQ(world->classes().Find("Relaysat")->mass, autopilot.satellite()->Mass());
  // What the launcher burnt, and what its core stage has left, in the host's figures.
  EXPECT_GT(world->Launcher()->fuelMass, 10000);
  EXPECT_NEAR(9121, autopilot.deltaV(), 50);
}

TEST(Guidance, SaysWhenTheTargetIsBeyondReachAndFliesAsFarAsItCan) {
  struct {
    Mission mission;
    const char* before;  // the warning before launch
    const char* flown;   // the orbit flown instead, within the goal; empty: none
    const char* end;     // how it ends
  } const cases[] = {
      {{5, 10000, "2000 2000 90"},
       "2000 x 2000 km at 90 deg is beyond the launcher with 10000 kg aboard",
       "",
       "target 2000 x 2000 km at 90 deg not reached: the satellite in "},
      {{28.5, 950, "500 500 10"},
       "a pad at 28.50 deg latitude reaches inclinations from 28.50 to 151.50 deg only",
       "500 500 28.5",
       "target 500 x 500 km at 10 deg not reached: the satellite in 500.000 x 500.000 km at "},
      {{5, 25000, "500 500"},
       "500 x 500 km is beyond the launcher with 25000 kg aboard",
       "",
       "the propellant ran out: the module released the satellite"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.mission.target);
    auto world = GuidedWorld(ScenarioOf(c.mission));
    ASSERT_TRUE(world);
    EXPECT_FALSE(world->autopilot()->plan().reachable);
    EXPECT_EQ(1, Saying(*world, "warning", 0, c.before));
    FlyToTheEnd(*world);
    EXPECT_EQ(1, Saying(*world, "warning", world->autopilot()->doneTime(), c.end));
    EXPECT_EQ(0, Saying(*world, "guidance", world->autopilot()->doneTime(), "reached"));
    if (*c.flown) ExpectOnTarget(*world, TargetOf(c.flown));
  }
}

TEST(Guidance, AResumedFlightKeepsFlyingToItsTarget) {
  const Mission mission{28.5, 950, "300 1000 51.6"};
  auto world = GuidedWorld(ScenarioOf(mission));
  ASSERT_TRUE(world);
  const double saves[] = {100, 200, 2000};  // s: booster burn, core burn, coast
  std::string saved[3];
  for (int i = 0; i < 3; ++i) {
    world->RunUntil(saves[i]);
    saved[i] = WriteScenario(*world);
    EXPECT_EQ("300 1000 51.6", ValueOf(VesselBlock(saved[i], "Vantor1"), "TARGET_ORBIT"));
  }
  world.reset();
  for (int i = 0; i < 3; ++i) {
    SCOPED_TRACE(saves[i]);
    auto resumed = GuidedWorld(saved[i]);
    ASSERT_TRUE(resumed);
    EXPECT_EQ(1, Saying(*resumed, "guidance", 0, "takes over: flies to 300 x 1000 km at 51.6 deg"));
    FlyToTheEnd(*resumed);
    ExpectOnTarget(*resumed, TargetOf(mission.target));
  }
}

TEST(LauncherModel, FliesTheBoosterBurnAsTheHostFliesTheLauncher) {
  auto world = GuidedWorld(ScenarioOf({28.5, 5000, "500 500 51.6"}));
  ASSERT_TRUE(world);
  VesselState& launcher = *world->Launcher();
  const double ignition = guidance::kCountdown + 2 * world->dt;  // E, the frame that carries it
  world->RunUntil(ignition);                                     // out, a skipped frame
  const guidance::ModelSetup setup{world->planet,
                                   launcher.maxThrust[ENGINE_MAIN],
                                   launcher.isp,
                                   5000,
                                   ignition,
                                   {launcher.cw[0], launcher.cw[1], launcher.cw[2], launcher.cw[3]},
                                   DragAreas(launcher),
                                   {0, 0, 0}};
  const guidance::LauncherModel model(guidance::kVantorFigures, setup);
  guidance::ModelState state{
      world->time(), launcher.position, launcher.velocity, launcher.fuelMass, true, true};
  const guidance::BoosterSteering& steering = world->autopilot()->plan().booster;
  const double end = 130;  // s, the boosters still burning
  while (state.time < end - 1e-9) {
    const VECTOR3 air = world->planet.AirVelocity(state.position_I, state.velocity_I);
    const VECTOR3 nose = state.landed ? (1 / Length(state.position_I)) * state.position_I
                                      : guidance::BoosterNose(state.position_I, air, steering);
    model.Step(state,
               guidance::AttitudeAlong(nose, guidance::BoosterAcross(state.position_I, steering)),
               1, world->dt);
  }
  world->RunUntil(end);
  EXPECT_NEAR(0, Length(state.position_I - launcher.position), 1.0);
  EXPECT_NEAR(0, Length(state.velocity_I - launcher.velocity), 0.01);
  // The module set the empty mass in the last frame's step, a frame before the end.
  guidance::ModelState lastStep = state;
  lastStep.time -= world->dt;
  EXPECT_NEAR(launcher.Mass(), model.Mass(lastStep), 0.1);
  EXPECT_NEAR(launcher.fuelMass, state.propellant, 0.1);
}

TEST(OrbitGeometry, VelocityAtAPositionLiesOnTheOrbitAsked) {
  const double gm = Planet().gm;
  struct {
    double radius;               // km from the centre
    double periapsis, apoapsis;  // km from the centre, asked
    bool rising;
    double wantPeriapsis, wantApoapsis;  // km: the orbit the velocity gives
  } const cases[] = {
      {6871, 6871, 6871, true, 6871, 6871},   // circular
      {6671, 6671, 8371, true, 6671, 8371},   // at periapsis
      {8371, 6671, 8371, false, 6671, 8371},  // at apoapsis
      {7000, 6671, 8371, true, 6671, 8371},   // between, climbing
      {7000, 6671, 8371, false, 6671, 8371},  // between, falling
      {6600, 6671, 8371, true, 6600, 8371},   // below the periapsis: it becomes the periapsis
      {8500, 6871, 6871, true, 6871, 8500},   // above the apoapsis: it becomes the apoapsis
  };
  const VECTOR3 normal = {0, std::sin(0.3), std::cos(0.3)};
  for (const auto& c : cases) {
    const VECTOR3 position = (c.radius * 1000) * VECTOR3{1, 0, 0};
    const VECTOR3 v = guidance::OrbitVelocityAt(position, c.periapsis * 1000, c.apoapsis * 1000,
                                                normal, c.rising, gm);
    const guidance::Apsides apsides = guidance::ApsidesOf(position, v, gm);
    EXPECT_NEAR(c.wantPeriapsis * 1000, apsides.periapsis, 1e-3) << c.radius;
    EXPECT_NEAR(c.wantApoapsis * 1000, apsides.apoapsis, 1e-3) << c.radius;
    EXPECT_NEAR(0, Dot(v, normal), 1e-9) << c.radius;
    EXPECT_GT(Dot(Cross(position, v), normal), 0) << c.radius;  // prograde about the normal
    if (c.wantPeriapsis < c.radius && c.radius < c.wantApoapsis) {
      EXPECT_EQ(c.rising, Dot(v, position) > 0) << c.radius;
    }
  }
}

TEST(OrbitGeometry, PlanesThroughAPadHaveTheInclinationAskedOrNone) {
  const double radius = Planet().radius;
  struct {
    double latitude, inclination;  // deg
    bool northward, exists;
  } const cases[] = {
      {28.5, 28.5, true, true}, {28.5, 51.6, true, true}, {28.5, 51.6, false, true},
      {45, 90, true, true},     {45, 135, true, true},    {5, 98, false, true},
      {28.5, 10, true, false},  {45, 170, true, false},   {-30, 20, true, false},
  };
  for (const auto& c : cases) {
    const double lat = c.latitude * kDegree, lon = -0.9;
    const VECTOR3 pad = radius * VECTOR3{std::cos(lat) * std::cos(lon),
                                         std::cos(lat) * std::sin(lon), std::sin(lat)};
    VECTOR3 normal{0, 0, 0};
    ASSERT_EQ(c.exists, guidance::PlaneThrough(pad, c.inclination * kDegree, c.northward, normal))
        << c.latitude << " " << c.inclination;
    if (!c.exists) continue;
    EXPECT_NEAR(0, Dot(normal, pad) / radius, 1e-12);
    EXPECT_NEAR(std::cos(c.inclination * kDegree), normal.z, 1e-12);
    // The direction of motion at the pad heads north when asked, south otherwise.
    if (c.inclination != c.latitude) {
      EXPECT_EQ(c.northward, Cross(normal, pad).z > 0) << c.inclination;
    }
  }
}

TEST(OrbitGeometry, TimeToApoapsisIsWhenACoastInTheHostGetsThere) {
  auto world = NewWorld();
  VesselState* coaster = AddTestBody(*world, "C1", {6671000, 0, 0});
  coaster->velocity = {300, 8200, 900};  // climbing on a 300 x 2000 km orbit or so
  const double gm = world->planet.gm;
  const double wait = guidance::TimeToApoapsis(coaster->position, coaster->velocity, gm);
  const guidance::Apsides apsides = guidance::ApsidesOf(coaster->position, coaster->velocity, gm);
  world->RunUntil(wait);
  EXPECT_NEAR(apsides.apoapsis, Length(coaster->position), 0.01);
  EXPECT_NEAR(0, Dot(coaster->velocity, coaster->position) / Length(coaster->position), 0.05);
}

TEST(TargetOrbit, ReadsWhatZsimGivesAndRefusesTheRest) {
  struct {
    const char* text;
    bool read;
    double periapsis, apoapsis, inclination;  // km, km, deg
  } const cases[] = {
      {"500x500", true, 500, 500, -1},    {"300x1000@51.6", true, 300, 1000, 51.6},
      {"300X1000@0", true, 300, 1000, 0}, {"1000x300", false, 0, 0, 0},
      {"50x500", false, 0, 0, 0},         {"500", false, 0, 0, 0},
      {"500x500@181", false, 0, 0, 0},    {"500 x500", false, 0, 0, 0},
      {"500x500@", false, 0, 0, 0},       {"@5x500", false, 0, 0, 0},
  };
  for (const auto& c : cases) {
    TargetOrbit target;
    std::string error;
    EXPECT_EQ(c.read, guidance::ParseTargetOrbit(c.text, target, error)) << c.text;
    EXPECT_EQ(c.read, error.empty()) << c.text << ": " << error;
    if (!c.read) continue;
    EXPECT_EQ(c.periapsis, target.periapsisAltitude) << c.text;
    EXPECT_EQ(c.apoapsis, target.apoapsisAltitude) << c.text;
    EXPECT_EQ(c.inclination, target.inclination) << c.text;
  }
}

}  // namespace
