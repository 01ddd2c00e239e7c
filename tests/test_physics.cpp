#include <gtest/gtest.h>

#include <cmath>

#include "sim/physics/atmosphere.h"
#include "sim/physics/ground_point.h"
#include "sim/physics/launch_pad.h"
#include "sim/physics/physics.h"
#include "tests/support/flight_run.h"
#include "tests/support/host_checks.h"

using namespace zenthar;

namespace {

const double DT = 0.01;  // s, the host's default frame
const double PI = 3.14159265358979323846;

/// Host frames for one vessel from simulation time 0: the environment first, then the motion.
class Frames {
 public:
  Frames(VesselState& vessel, const Planet& planet) : vessel_(vessel), planet_(planet) {}
  StepOutcome operator()(double dt = DT) {
    UpdateEnvironment(vessel_, planet_);
    const StepOutcome outcome = Integrate(vessel_, planet_, static_cast<double>(frames_) * dt, dt);
    ++frames_;
    return outcome;
  }

 private:
  VesselState& vessel_;
  const Planet& planet_;
  long frames_ = 0;
};

/// m/s^2: what holds a body against the turning air at a point of the equator: gravity less what
/// keeps it on its circle.
double EquatorialGravity(const Planet& planet, double r) {
  return planet.gm / (r * r) - planet.rotationRate * planet.rotationRate * r;
}

VECTOR3 Up(double latitudeDeg, double longitudeDeg) {
  const double lat = latitudeDeg * PI / 180, lon = longitudeDeg * PI / 180;
  return {std::cos(lat) * std::cos(lon), std::cos(lat) * std::sin(lon), std::sin(lat)};
}

/// A launcher-like vessel standing on three touchdown points 16 m below its origin.
VesselState PadVessel() {
  VesselState vessel;
  vessel.emptyMass = 1e5;
  vessel.fuelMass = vessel.maxFuelMass = 5e4;
  vessel.isp = 3000;
  vessel.touchdown[0] = {0, -1, -16};
  vessel.touchdown[1] = {-0.7, 0.7, -16};
  vessel.touchdown[2] = {0.7, 0.7, -16};
  return vessel;
}

}  // namespace

TEST(MainThrust, IsEngineWhileFuelRemainsPlusModifierNeverNegative) {
  struct {
    double level, fuel, modifier, thrust;  // -, kg, N, N
  } const cases[] = {
      {1, 10, 0, 1000}, {0.5, 10, 0, 500},  {1, 0, 0, 0},       {0, 10, 200, 200},
      {1, 0, 200, 200}, {1, 10, -300, 700}, {0.2, 10, -300, 0}, {0, 0, -5, 0},
  };
  for (const auto& c : cases) {
    VesselState vessel;
    vessel.maxThrust[ENGINE_MAIN] = 1000;
    vessel.engineLevel[ENGINE_MAIN] = c.level;
    vessel.fuelMass = c.fuel;
    vessel.mainThrustMod = c.modifier;
    EXPECT_EQ(MainThrust(vessel), c.thrust) << c.level << " " << c.fuel << " " << c.modifier;
  }
}

TEST(UpdateEnvironment, SamplesTheAirAboveTheSurface) {
  const Planet planet;
  VesselState vessel;
  vessel.position = ((planet.radius + 5000) / 3) * VECTOR3{1, -2, 2};
  UpdateEnvironment(vessel, planet);
  EXPECT_NEAR(Altitude(vessel, planet), 5000, 1e-8);
  EXPECT_NEAR(vessel.atmPressure, 5.4048e4, 0.5);  // the 1976 table at 5 km
  EXPECT_NEAR(vessel.atmDensity, 7.3643e-1, 5e-5);
  EXPECT_NEAR(vessel.atmTemperature, 255.676, 5e-4);

  vessel.position = (planet.radius + 90e3) * VECTOR3{0, 0, 1};
  UpdateEnvironment(vessel, planet);
  EXPECT_EQ(vessel.atmPressure, 0.0);
  EXPECT_EQ(vessel.atmDensity, 0.0);
}

// Two-body motion over the turning planet: after one analytic period the vessel is back where it
// started, and energy, angular momentum and the orbit's plane hold all the way round.
TEST(Integrate, CoastsAKeplerOrbit) {
  const Planet planet;
  struct {
    double perigee, apogee;  // m above the surface
    double inclination;      // rad
  } const orbits[] = {{400e3, 400e3, 0.5}, {200e3, 2000e3, 0.5}, {300e3, 800e3, 1.7}};
  for (const auto& orbit : orbits) {
    const double rp = planet.radius + orbit.perigee, ra = planet.radius + orbit.apogee;
    const double a = (rp + ra) / 2;
    const double vp = std::sqrt(planet.gm * (2 / rp - 1 / a));
    const double energy = -planet.gm / (2 * a);  // J/kg
    const double momentum = rp * vp;             // m^2/s
    const double period = 2 * PI * std::sqrt(a * a * a / planet.gm);

    VesselState vessel;
    vessel.emptyMass = 1000;
    vessel.fuelMass = 100;
    vessel.isp = 3000;
    vessel.maxThrust[ENGINE_MAIN] = 1e4;  // idle: level 0
    vessel.position = {rp, 0, 0};
    vessel.velocity = vp * VECTOR3{0, std::cos(orbit.inclination), std::sin(orbit.inclination)};
    const VECTOR3 start = vessel.position;
    Frames frame(vessel, planet);

    double energyError = 0, momentumError = 0, inclinationError = 0, highest = 0;
    const long steps = static_cast<long>(period / DT);
    for (long i = 0; i <= steps; ++i) {
      const double dt = i < steps ? DT : period - steps * DT;
      const StepOutcome outcome = frame(dt);
      ASSERT_FALSE(outcome.impacted);
      const double r = Length(vessel.position);
      const double e = 0.5 * Dot(vessel.velocity, vessel.velocity) - planet.gm / r;
      const VECTOR3 hv = Cross(vessel.position, vessel.velocity);
      const double h = Length(hv);
      energyError = std::fmax(energyError, std::fabs(e / energy - 1));
      momentumError = std::fmax(momentumError, std::fabs(h / momentum - 1));
      inclinationError =
          std::fmax(inclinationError, std::fabs(std::acos(hv.z / h) - orbit.inclination));
      highest = std::fmax(highest, r);
    }
    EXPECT_LT(energyError, 1e-9) << orbit.apogee;
    EXPECT_LT(momentumError, 1e-11) << orbit.apogee;
    EXPECT_LT(inclinationError, 1e-9) << orbit.apogee;
    EXPECT_NEAR(highest, ra, 0.01) << orbit.apogee;
    EXPECT_LT(Length(vessel.position - start), 0.1) << orbit.apogee;
    EXPECT_EQ(vessel.fuelMass, 100.0);
  }
}

// With no gravity and no air the burn is the rocket equation; the engine stops with the tank.
TEST(Integrate, BurnsToTheRocketEquationAndStopsWithTheTank) {
  Planet planet;
  planet.gm = 0;
  VesselState vessel;
  vessel.position = {1e9, 0, 0};
  vessel.attitude = RotationFromAngles({0.3, -0.2, 1.1});
  vessel.emptyMass = 1e4;
  vessel.fuelMass = vessel.maxFuelMass = 3e4;
  vessel.isp = 3000;
  vessel.maxThrust[ENGINE_MAIN] = 1e6;
  vessel.engineLevel[ENGINE_MAIN] = 1;
  const double m0 = 4e4, m1 = 1e4, flow = 1e6 / 3000;  // kg, kg, kg/s
  const double burnTime = 90;                          // s
  const VECTOR3 nose = vessel.attitude * VECTOR3{0, 0, 1};
  Frames frame(vessel, planet);

  long exhaustedAt = -1;
  int exhaustions = 0;
  const long steps = 10000;  // 100 s
  for (long i = 0; i < steps; ++i) {
    if (frame().propellantExhausted) {
      ++exhaustions;
      exhaustedAt = i;
    }
  }
  EXPECT_EQ(exhaustions, 1);
  EXPECT_NEAR(exhaustedAt, burnTime / DT - 1, 1);
  EXPECT_EQ(vessel.fuelMass, 0.0);
  EXPECT_EQ(MainThrust(vessel), 0.0);

  const double dv = 3000 * std::log(m0 / m1);
  const double distance = 3000 * (burnTime + m1 / flow * std::log(m1 / m0)) + dv * (100 - burnTime);
  const VECTOR3 expectedVelocity = dv * nose;
  const VECTOR3 expectedPosition = VECTOR3{1e9, 0, 0} + distance * nose;
  EXPECT_LT(Length(vessel.velocity - expectedVelocity), 1e-6 * dv);
  EXPECT_LT(Length(vessel.position - expectedPosition), 1e-3);

  // Coasting: nothing pushes any more.
  const VECTOR3 coast = vessel.velocity;
  for (int i = 0; i < 100; ++i) frame();
  ExpectVector(vessel.velocity, coast);

  // The modifier still pushes with the tank empty.
  vessel.mainThrustMod = 2000;
  for (int i = 0; i < 100; ++i) frame();
  EXPECT_LT(Length(vessel.velocity - coast - (2000.0 / m1 * 1.0) * nose), 1e-10);
}

// A tank that runs dry within a long step only pushes for the part of the step it burned.
TEST(Integrate, TankRunningDryMidStepStopsTheEngineThere) {
  Planet planet;
  planet.gm = 0;
  VesselState vessel;
  vessel.position = {1e9, 0, 0};
  vessel.emptyMass = 999;
  vessel.fuelMass = 1;  // burns 0.4 s of a 1 s step
  vessel.isp = 2000;
  vessel.maxThrust[ENGINE_MAIN] = 5000;
  vessel.engineLevel[ENGINE_MAIN] = 1;
  Frames frame(vessel, planet);
  const StepOutcome outcome = frame(1.0);
  EXPECT_TRUE(outcome.propellantExhausted);
  EXPECT_EQ(vessel.fuelMass, 0.0);
  // Burning through the whole step would give 5 m/s.
  EXPECT_NEAR(vessel.velocity.z, 2000 * std::log(1000.0 / 999.0), 1e-6);
  EXPECT_FALSE(frame(1.0).propellantExhausted);
}

// The pad as the planet stands at a moment: upright, on its touchdown points, carried round with
// the ground at omega x r to the last bit.
TEST(PlaceOnPad, StandsUprightOnItsTouchdownPointsMovingWithTheGround) {
  Planet planet;
  planet.rotationAtLoad = 1.3;                                              // rad
  const double t = 500;                                                     // s
  const double sites[][2] = {{0, 0}, {28.5, -80.6}, {-45, 170}, {89, 30}};  // deg
  for (const auto& site : sites) {
    VesselState vessel = PadVessel();
    vessel.velocity = {5, 5, 5};
    PlaceOnPad(vessel, planet, site[0], site[1], t);
    const GroundPoint ground = GroundPointOf(planet, vessel.position, t);
    EXPECT_NEAR(ground.latitude, site[0], 1e-12) << site[0];
    EXPECT_NEAR(ground.longitude, site[1], 1e-12) << site[0];
    EXPECT_NEAR(ground.altitude, 16, 1e-8) << site[0];
    const LocalHorizon local = LocalHorizonAt(vessel.position);
    EXPECT_NEAR(Length(vessel.attitude * VECTOR3{0, 0, 1} - local.up), 0, 1e-15) << site[0];
    EXPECT_NEAR(Length(vessel.attitude * VECTOR3{1, 0, 0} - local.east), 0, 1e-15) << site[0];
    for (const VECTOR3& p : vessel.touchdown) {
      const double altitude = Length(vessel.position + vessel.attitude * p) - planet.radius;
      EXPECT_NEAR(altitude, 0, 1e-6) << site[0];
    }
    EXPECT_TRUE(vessel.landed);
    const double w = planet.rotationRate;  // rad/s
    EXPECT_EQ(vessel.velocity.x, -w * vessel.position.y) << site[0];
    EXPECT_EQ(vessel.velocity.y, w * vessel.position.x) << site[0];
    EXPECT_EQ(vessel.velocity.z, 0.0) << site[0];
  }
}

// A body at rest on the ground stays where it stands over a whole day of 1 s frames, moving with
// the ground all the while.
TEST(Integrate, ABodyOnTheGroundTurnsWithThePlanetForADay) {
  const Planet planet;
  VesselState vessel = PadVessel();
  PlaceOnPad(vessel, planet, 28.5, -80.6, 0);
  const GroundPoint start = GroundPointOf(planet, vessel.position, 0);
  Frames frame(vessel, planet);
  const long frames = 86400;
  double farthest = 0;  // m, from the place it stood, in the planet's frame
  for (long i = 1; i <= frames; ++i) {
    ASSERT_FALSE(frame(1.0).liftedOff);
    const GroundPoint now = GroundPointOf(planet, vessel.position, static_cast<double>(i));
    const double apart = std::hypot(now.latitude - start.latitude,
                                    std::remainder(now.longitude - start.longitude, 360.0));
    farthest = std::fmax(farthest, apart);
    EXPECT_NEAR(now.altitude, start.altitude, 1e-6);
  }
  EXPECT_LT(farthest, 1e-11);  // deg, a micrometre
  ExpectVector(vessel.velocity, planet.SurfaceVelocity(vessel.position));
  EXPECT_TRUE(vessel.landed);
}

TEST(Planet, TurnAtIsTheRotationOfItsAngleWhateverWasAskedBefore) {
  Planet planet;
  planet.rotationAtLoad = -0.0;
  // Repeats, a step back, and the angles -0 and +0, whose sines differ in sign.
  const double times[] = {0.5, 0.5, 0.25, 0.5, -0.0, 0.0, -0.0, 1e9};
  for (double t : times) {
    const Matrix3 expected = RotationAboutZ(planet.RotationAngle(t));
    const Matrix3& turn = planet.TurnAt(t);
    for (int row = 0; row < 3; ++row)
      for (int column = 0; column < 3; ++column) {
        EXPECT_EQ(turn.m[row][column], expected.m[row][column]) << "t " << t;
        EXPECT_EQ(std::signbit(turn.m[row][column]), std::signbit(expected.m[row][column]))
            << "t " << t;
      }
  }
}

TEST(Integrate, StaysOnThePadUntilThrustExceedsWeight) {
  Planet planet;
  planet.rotationRate = 0;  // the climb's closed form is that of a planet at rest
  VesselState vessel = PadVessel();
  PlaceOnPad(vessel, planet, 28.5, -80.6, 0);
  const double g = planet.gm / std::pow(planet.radius + 16, 2);  // m/s^2
  vessel.maxThrust[ENGINE_MAIN] = 2 * 1.5e5 * g;                 // twice the full weight
  vessel.engineLevel[ENGINE_MAIN] = 0.45;
  const VECTOR3 pad = vessel.position;
  Frames frame(vessel, planet);

  for (int i = 0; i < 100; ++i) EXPECT_FALSE(frame().liftedOff);
  ExpectVector(vessel.position, pad);
  EXPECT_EQ(Length(vessel.velocity), 0.0);
  EXPECT_TRUE(vessel.landed);
  const double flow = 0.45 * vessel.maxThrust[ENGINE_MAIN] / 3000;  // kg/s, flows on the pad too
  EXPECT_NEAR(vessel.fuelMass, 5e4 - flow * 1.0, 1e-8);

  vessel.engineLevel[ENGINE_MAIN] = 0.55;
  const double m0 = vessel.Mass(), q = 0.55 * vessel.maxThrust[ENGINE_MAIN] / 3000;
  EXPECT_TRUE(frame().liftedOff);
  EXPECT_FALSE(vessel.landed);
  for (int i = 1; i < 200; ++i) {
    const StepOutcome outcome = frame();
    EXPECT_FALSE(outcome.liftedOff || outcome.impacted);
  }
  const double t = 2, m = m0 - q * t;
  const double climb =
      3000 * (t + m / q * std::log(m / m0)) - g * t * t / 2;  // m, the stack has no drag
  EXPECT_NEAR(Altitude(vessel, planet) - 16, climb, 1e-3);
}

TEST(Integrate, AFallingBodyComesToRestOnTheTurningGround) {
  const Planet planet;
  struct {
    double touchdownZ, cogElevation, restingAltitude;  // m; touchdownZ 0: no touchdown points
  } const cases[] = {{-2, 0, 2}, {0, 3, 3}, {0, 0, 0}};
  for (const auto& c : cases) {
    VesselState vessel;
    vessel.emptyMass = 500;
    vessel.cogElevation = c.cogElevation;
    for (VECTOR3& p : vessel.touchdown) p = {0, 0, c.touchdownZ};
    vessel.touchdown[1].x = c.touchdownZ == 0 ? 0 : 1;
    PlaceOnPad(vessel, planet, -12, 40, 0);
    vessel.position = (planet.radius + c.restingAltitude + 100) * Up(-12, 40);
    vessel.velocity = planet.SurfaceVelocity(vessel.position);
    vessel.landed = false;
    Frames frame(vessel, planet);

    long impactAt = -1;
    int impacts = 0;
    for (long i = 0; i < 1000; ++i) {
      if (frame().impacted) {
        ++impacts;
        if (impactAt < 0) impactAt = i;
      }
    }
    // s; the ground it falls to turns under it, which takes the vertical part of what keeps it on
    // its circle off its weight.
    const double circling =
        std::pow(planet.rotationRate * std::cos(12 * PI / 180), 2) * planet.radius;
    const double fallTime =
        std::sqrt(2 * 100 / (planet.gm / std::pow(planet.radius, 2) - circling));
    EXPECT_EQ(impacts, 1) << c.restingAltitude;
    EXPECT_NEAR((impactAt + 1) * DT, fallTime, DT) << c.restingAltitude;
    EXPECT_TRUE(vessel.landed && vessel.impacted);
    ExpectVector(vessel.velocity, planet.SurfaceVelocity(vessel.position));
    EXPECT_NEAR(Altitude(vessel, planet), c.restingAltitude, 1e-6) << c.restingAltitude;
  }
}

// A vessel on the surface that is not standing (a body set down there as flying) with a net upward
// force too small to move it a representable distance in one step climbs away: it is not stopped
// as an impact in every step.
TEST(Integrate, ABodyOnTheSurfaceWithNetUpwardForceIsNotAnImpact) {
  const Planet planet;
  VesselState vessel;
  vessel.emptyMass = 1000;
  vessel.position = {planet.radius, 0, 0};
  vessel.attitude = RotationFromAngles({0, PI / 2, 0});  // nose along +x, up
  vessel.mainThrustMod = 1000 * planet.gm / (planet.radius * planet.radius) * (1 + 1e-9);  // N
  Frames frame(vessel, planet);
  for (int i = 0; i < 100; ++i) ASSERT_FALSE(frame().impacted) << i;
  EXPECT_FALSE(vessel.landed);
  EXPECT_GT(Dot(vessel.velocity, vessel.position), 0);
}

// The air turns with the planet: drag comes from the velocity relative to it, and each axis meets
// the air with its own cw x A.
TEST(DragForce, ComesFromTheVelocityRelativeToTheAir) {
  const Planet planet;
  VesselState vessel;
  vessel.position = {planet.radius + 5000, 0, 0};  // over the equator: east is +y
  vessel.cw[0] = 0.5;
  vessel.cw[1] = 1;
  vessel.cw[2] = 2;
  vessel.cw[3] = 4;
  vessel.sizedDrag = false;
  vessel.crossSections = {10, 20, 30};  // m^2
  UpdateEnvironment(vessel, planet);
  const double rho = vessel.atmDensity;
  const double ground = planet.rotationRate * vessel.position.x;  // m/s, eastwards
  struct {
    VECTOR3 velocity;  // m/s, global frame
    VECTOR3 force;     // N, global frame
  } const cases[] = {
      {{0, ground, 0}, {0, 0, 0}},                                // moving with the air
      {{-3, ground, 0}, {0.5 * rho * 3 * 2 * 10 * 3, 0, 0}},      // falling: x
      {{0, ground + 3, 0}, {0, -0.5 * rho * 3 * 4 * 20 * 3, 0}},  // eastwards: y
      {{0, ground, 3}, {0, 0, -0.5 * rho * 3 * 0.5 * 30 * 3}},    // nose first: +z, cw[0]
      {{0, ground, -3}, {0, 0, 0.5 * rho * 3 * 1 * 30 * 3}},      // tail first: -z, cw[1]
  };
  for (const auto& c : cases) {
    vessel.velocity = c.velocity;
    ExpectVector(DragForce(vessel, planet), c.force, 1e-12, "drag, N");
  }
  // At rest in the inertial frame the vessel meets the air coming from the east.
  vessel.velocity = {0, 0, 0};
  EXPECT_GT(DragForce(vessel, planet).y, 0);
}

// Terminal velocity sqrt(2 m g / (rho cd A)) with A = pi size^2 picks out the coefficient of the
// axis the air meets.
TEST(Integrate, DragTakesTheCoefficientOfTheAxisFacingTheAirflow) {
  const Planet planet;
  struct {
    VECTOR3 angles;  // rad, attitude; the ground is below along global -x
    int coefficient;
  } const cases[] = {{{0, -PI / 2, 0}, 0},  // nose down: the air comes from +z
                     {{0, PI / 2, 0}, 1},   // nose up: the air comes from -z
                     {{0, 0, 0}, 2},        // +x up
                     {{0, 0, PI / 2}, 3}};  // +y down
  for (const auto& c : cases) {
    VesselState vessel;
    vessel.emptyMass = 2;
    vessel.size = 1;
    vessel.cw[0] = 0.5;
    vessel.cw[1] = 1;
    vessel.cw[2] = 2;
    vessel.cw[3] = 4;
    vessel.attitude = RotationFromAngles(c.angles);
    vessel.position = {planet.radius + 1000, 0, 0};
    vessel.velocity = planet.SurfaceVelocity(vessel.position);
    Frames frame(vessel, planet);
    while (Altitude(vessel, planet) > 500) ASSERT_FALSE(frame().impacted);
    const double r = Length(vessel.position);
    const double rho = StandardAtmosphere(r - planet.radius).density;
    const double terminal =
        std::sqrt(2 * 2 * EquatorialGravity(planet, r) / (rho * vessel.cw[c.coefficient] * PI));
    const VECTOR3 air = planet.AirVelocity(vessel.position, vessel.velocity);
    EXPECT_NEAR(Length(air), terminal, 2e-3 * terminal) << c.coefficient;
    EXPECT_LT(air.x, 0);
  }
}

// A spent booster (its class file's mass, coefficient and cross-sections) falling through the
// turning air at sqrt(2 m g / (rho cw A)) for the axis it falls along neither speeds up nor slows
// down: that is its terminal velocity there.
TEST(Integrate, ASpentBoosterFallsAtItsTerminalVelocity) {
  const Planet planet;
  const VesselClass& booster = *ProjectClasses().Find("Vantor_LeftBooster");
  ASSERT_TRUE(booster.hasCrossSections);
  struct {
    double altitude;  // m
    VECTOR3 angles;   // rad, attitude; the ground is below along global -x
    double area;      // m^2, along the axis it falls
  } const cases[] = {
      {20e3, {0, 0, 0}, booster.crossSections.x},       // lying, +x up
      {5e3, {0, 0, 0}, booster.crossSections.x},        //
      {5e3, {0, 0, PI / 2}, booster.crossSections.y},   // lying, +y down
      {5e3, {0, -PI / 2, 0}, booster.crossSections.z},  // nose first
      {1e3, {0, -PI / 2, 0}, booster.crossSections.z},  //
  };
  for (const auto& c : cases) {
    World world;
    UseProjectFiles(world);
    VESSELSTATUS status{};
    status.position = {planet.radius + c.altitude, 0, 0};
    status.attitude = c.angles;
    std::string error;
    VesselState* vessel = world.CreateVessel("B", booster.name, status, error);
    ASSERT_NE(nullptr, vessel) << error;
    const double r = Length(vessel->position);
    const double g = EquatorialGravity(planet, r);  // m/s^2
    const double rho = StandardAtmosphere(c.altitude).density;
    const double terminal = std::sqrt(2 * booster.mass * g / (rho * booster.cw * c.area));
    vessel->velocity = planet.SurfaceVelocity(vessel->position) + VECTOR3{-terminal, 0, 0};
    world.Step();
    const double falling = -world.planet.AirVelocity(vessel->position, vessel->velocity).x;
    // Off by a part in a thousand, drag would change the speed by g / 2000 in the frame.
    EXPECT_NEAR(falling, terminal, g * world.dt / 2000) << c.altitude << " m, area " << c.area;
  }
}

// A launcher meets the air with the meshes it carries: the areas shrink as the boosters and the
// fairing leave, to the sums of its class file's lines.
TEST(Integrate, ALaunchersDragAreasAreThoseOfTheMeshesItCarries) {
  auto world = WorldOnPad("L1", "5:E,10:J,11:J,12:J");
  ASSERT_NE(nullptr, world);
  const VesselClass& launcher = *ProjectClasses().Find("Vantor");
  const auto areasOf = [&](std::initializer_list<const char*> meshes) {
    VECTOR3 sum{0, 0, 0};
    for (const char* mesh : meshes) sum = sum + *launcher.MeshAreas(mesh);
    return sum;
  };
  struct {
    double time;  // s
    VECTOR3 areas;
  } const moments[] = {
      {1, areasOf({"vantor_main", "vantor_leftsrb", "vantor_rightsrb", "vantor_leftpay",
                   "vantor_rightpay"})},
      {10.5, areasOf({"vantor_main", "vantor_leftpay", "vantor_rightpay"})},
      {11.5, areasOf({"vantor_main"})},
      {13, areasOf({"vantor_main"})},  // the satellite rides inside and adds nothing
  };
  EXPECT_NEAR(30.0416, moments[0].areas.z, 1e-12);  // m^2, the full stack end on
  VesselState* l1 = world->Find("L1");
  for (const auto& moment : moments) {
    world->RunUntil(moment.time);
    EXPECT_FALSE(l1->sizedDrag);
    ExpectVector(l1->crossSections, moment.areas, 1e-12, "at " + std::to_string(moment.time));
  }
}
