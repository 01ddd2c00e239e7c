#include "sim/guidance/autopilot.h"

#include <cmath>
#include <cstdio>

#include "sim/guidance/orbit_geometry.h"
#include "sim/physics/atmosphere.h"
#include "sim/physics/physics.h"
#include "sim/physics/vec_math.h"
#include "sim/world/world.h"

namespace zenthar::guidance {

namespace {

const double kReplanInterval = 2;     // s between solutions of the core burn's law
const double kFreezeTime = 3;         // s before cut-off: the law is no longer re-solved
const double kTerminalTime = 1.5;     // s before cut-off: steer along the velocity still missing
const double kReleasePush = 2;        // m/s the satellite leaves at, towards the launcher's tail
const double kFairingHeating = 1135;  // W/m^2 of free-molecular heating (rho v^3 / 2) the
                                      // payload can take without its fairing
const double kKeyInterval = 1;        // s the module waits between two accepted presses of a key
const double kLiftOffWait = 10;       // s after E: a launcher still on the pad then stays there

/// kg aboard: the launcher's empty mass less its own, on the pad (boosters full) or after booster
/// separation; 0 while the boosters burn, when the empty mass does not tell it.
double PayloadAboard(const VesselState& launcher) {
  const LauncherFigures& figures = kVantorFigures;
  const double stack = figures.StackEmptyMass();
  if (launcher.landed && launcher.emptyMass >= stack) return launcher.emptyMass - stack;
  if (launcher.emptyMass >= figures.stackBaseMass) return 0;
  const double core = launcher.emptyMass - figures.coreEmptyMass;
  return core > 0 ? core : 0;
}

bool Carries(const VesselState& launcher, const char* mesh) {
  for (const MeshRef& carried : launcher.meshes)
    if (carried.name == mesh) return true;
  return false;
}

/// m^2: the launcher's drag areas once its boosters have left: its areas now, less what the
/// booster meshes it carries add.
VECTOR3 AreasAfterBoosters(const VesselState& launcher) {
  VECTOR3 areas = DragAreas(launcher);
  if (launcher.sizedDrag || !launcher.vesselClass) return areas;
  for (const char* mesh : kVantorFigures.boosterMeshes) {
    const VECTOR3* added = launcher.vesselClass->MeshAreas(mesh);
    if (added && Carries(launcher, mesh)) areas = areas - *added;
  }
  return areas;
}

}  // namespace

Autopilot::Autopilot(World& world, VesselState& launcher)
    : world_(world),
      launcher_(launcher),
      target_(launcher.target),
      payload_(PayloadAboard(launcher)),
      model_(kVantorFigures, SetupFor(0)),
      vesselsSeen_(world.vessels().size()) {
  if (launcher_.landed)
    PlanFromPad(world_.time() + kCountdown);
  else
    TakeOver();
}

const char* Autopilot::PhaseName(Phase phase) {
  switch (phase) {
    case Phase::kCountdown:
      return "countdown";
    case Phase::kBoosterBurn:
      return "booster burn";
    case Phase::kCoreBurn:
      return "core burn";
    case Phase::kCoast:
      return "coast";
    case Phase::kApoapsisBurn:
      return "apoapsis burn";
    case Phase::kRelease:
      return "release";
    case Phase::kDone:
      break;
  }
  return "done";
}

ModelSetup Autopilot::SetupFor(double ignitionTime) const {
  const VesselState& v = launcher_;
  return ModelSetup{world_.planet, v.maxThrust[ENGINE_MAIN],
                    v.isp,         payload_,
                    ignitionTime,  {v.cw[0], v.cw[1], v.cw[2], v.cw[3]},
                    DragAreas(v),  AreasAfterBoosters(v)};
}

ModelState Autopilot::StateNow() const {
  return ModelState{world_.time(),      launcher_.position, launcher_.velocity,
                    launcher_.fuelMass, BoostersAttached(), launcher_.landed};
}

bool Autopilot::BoostersAttached() const {
  return launcher_.emptyMass >= kVantorFigures.stackBaseMass;
}

void Autopilot::Press(const char* key) {
  presses_.Add({ScriptedPress{world_.time(), {KeyScript::KeyCode(key)}, key}});
}

void Autopilot::DropFairing(double t) {
  Press("J");
  fairingGone_ = true;
  fairingTime_ = t;
}

void Autopilot::HoldKeys(long frame, double dt, unsigned char keyState[256]) const {
  if (presses_.presses().empty()) return;
  unsigned char held[256];
  presses_.Apply(frame, dt, held);
  for (int key = 0; key < 256; ++key) keyState[key] |= held[key];
}

void Autopilot::Report(const std::string& what) {
  world_.Report("guidance", launcher_.name, what);
}

void Autopilot::PointNose(const VECTOR3& nose_I, const VECTOR3& across_I) {
  const Matrix3 attitude = AttitudeAlong(nose_I, across_I);
  // A plan that came to nothing on a flight no launcher flies leaves the attitude as it is.
  for (const auto& row : attitude.m)
    for (double value : row)
      if (!std::isfinite(value)) return;
  launcher_.attitude = attitude;
}

void Autopilot::SetLevel(double level) {
  if (!(level >= 0)) level = 0;  // none, or not a number
  launcher_.engineLevel[ENGINE_MAIN] = level < 1 ? level : 1;
}

void Autopilot::PlanFromPad(double launchTime) {
  launchTime_ = launchTime;
  ignitionPressed_ = false;
  phase_ = Phase::kCountdown;
  // The module lights the boosters two frames after the E press: one frame carries the press out,
  // the next is skipped.
  const double ignition = launchTime + 2 * world_.dt;
  model_ = LauncherModel(kVantorFigures, SetupFor(ignition));
  const double turn = world_.planet.rotationRate * (ignition - world_.time());  // rad
  const VECTOR3 position_I = RotationAboutZ(turn) * launcher_.position;
  const ModelState pad{ignition,           position_I, world_.planet.SurfaceVelocity(position_I),
                       launcher_.fuelMass, true,       true};
  plan_ = PlanMission(model_, pad, target_);
  // A target beyond reach is said before anything flies.
  world_.Report(plan_.reachable ? "guidance" : "warning", launcher_.name, plan_.verdict);
}

void Autopilot::TakeOver() {
  if (launcher_.landed) {
    PlanFromPad(world_.time());
    return;
  }
  model_ = LauncherModel(kVantorFigures, SetupFor(0));
  plan_ = PlanOrbits(model_, StateNow(), target_);
  world_.Report(plan_.reachable ? "guidance" : "warning", launcher_.name, plan_.verdict);
  ignitionPressed_ = true;
  noOrbit_ = false;
  fairingGone_ = !Carries(launcher_, kVantorFigures.fairingMesh);
  planeNormal_ = FlightPlane(plan_, launcher_.position, launcher_.velocity);
  releaseAxis_ = PlaneNormalAt(launcher_.position);
  // Still climbing: the booster burn's gravity turn, then the core burn solved afresh.
  phase_ = Phase::kBoosterBurn;
  const double gm = world_.planet.gm;
  const Apsides orbit = ApsidesOf(launcher_.position, launcher_.velocity, gm);
  const bool inOrbit = !BoostersAttached() && orbit.apoapsis < INFINITY &&
                       StandardAtmosphere(orbit.periapsis - world_.planet.radius).density == 0;
  if (!inOrbit) return;
  if (plan_.apoapsisBurn && orbit.periapsis < plan_.periapsis - kApsisGoal) {
    if (launcher_.engineLevel[ENGINE_MAIN] > 0)
      phase_ = Phase::kApoapsisBurn;
    else
      StartCoast();
  } else {
    phase_ = Phase::kRelease;
  }
}

void Autopilot::Resume() {
  if (launcher_.landed && !ignitionPressed_) {
    // The countdown goes on; one that ran out while the pilot had the launcher ends now.
    if (launchTime_ < world_.time()) PlanFromPad(world_.time());
    return;
  }
  TakeOver();
}

void Autopilot::MeasureThrust() {
  if (world_.frame() == 0) return;  // nothing has flown yet
  // The level and the modifier that drove the last frame, over its midpoint mass.
  const double thrust = MainThrust(launcher_);  // N
  if (thrust <= 0) return;
  const double flow = MainFlow(launcher_);  // kg/s
  deltaV_ += thrust / (launcher_.Mass() + 0.5 * flow * world_.dt) * world_.dt;
}

bool Autopilot::SatelliteLeft() {
  // The satellite is the body the launcher makes that is neither a booster nor a fairing half.
  const auto& vessels = world_.vessels();
  for (; vesselsSeen_ < vessels.size(); ++vesselsSeen_) {
    const VesselState& made = *vessels[vesselsSeen_];
    if (&made == &launcher_ || !made.vesselClass || made.vesselClass->role != VesselRole::kNone)
      continue;
    satellite_ = &made;
    return true;
  }
  return false;
}

void Autopilot::Fly() {
  if (phase_ == Phase::kDone) return;
  MeasureThrust();
  if (SatelliteLeft()) {
    Finish(releasePressed_           ? nullptr
           : launcher_.fuelMass == 0 ? "the propellant ran out: the module released the satellite"
                                     : "the satellite left before the guidance released it");
    return;
  }
  if (launcher_.impacted) {
    Finish("the launcher came down");
    return;
  }
  if (launcher_.attitudeMode != AttitudeMode::kAutopilot) {
    if (!pilotFlies_) Report("the pilot flies; the autopilot key gives the launcher back");
    pilotFlies_ = true;
    return;
  }
  if (pilotFlies_) {
    pilotFlies_ = false;
    Resume();
  }
  const double t = world_.time();
  switch (phase_) {
    case Phase::kCountdown:
      if (!ignitionPressed_ && t + 1e-9 >= launchTime_) {
        Press("E");
        ignitionPressed_ = true;
      }
      if (!launcher_.landed)
        phase_ = Phase::kBoosterBurn;
      else if (ignitionPressed_ && t > launchTime_ + kLiftOffWait)
        Finish("the launcher did not lift off");
      break;
    case Phase::kBoosterBurn:
      if (!BoostersAttached()) {
        StartCoreBurn();
        break;
      }
      PointNose(BoosterNose(launcher_.position,
                            world_.planet.AirVelocity(launcher_.position, launcher_.velocity),
                            plan_.booster),
                BoosterAcross(launcher_.position, plan_.booster));
      break;
    case Phase::kCoreBurn:
      CoreBurn();
      break;
    case Phase::kCoast:
      SetLevel(0);
      if (t + 1e-9 >= burnStart_) {
        phase_ = Phase::kApoapsisBurn;
        if (BurnTowards(plan_.periapsis, plan_.apoapsis, true)) phase_ = Phase::kRelease;
      }
      break;
    case Phase::kApoapsisBurn:
      if (BurnTowards(plan_.periapsis, plan_.apoapsis, true)) phase_ = Phase::kRelease;
      break;
    case Phase::kRelease:
      Release();
      break;
    case Phase::kDone:
      break;
  }
}

void Autopilot::StartCoreBurn() {
  phase_ = Phase::kCoreBurn;
  payload_ = PayloadAboard(launcher_);
  model_.SetPayload(payload_);
  model_.SetAreasAfterBoosters(DragAreas(launcher_));
  law_ = plan_.core.At(world_.time());
  // Without an inclination to reach, the plane is the one the booster burn has flown into.
  planeNormal_ = FlightPlane(plan_, launcher_.position, launcher_.velocity);
  law_.normal_I = planeNormal_;
  BurnPrediction prediction;
  SolveSteeringAfresh(model_, StateNow(), plan_.aim, kCoreStep, 20, plan_.core.pitch != 0, law_,
                      prediction);
  Replan(2);
  nextReplan_ = world_.time() + kReplanInterval;
  CoreBurn();
}

void Autopilot::Replan(int iterations) {
  SteeringLaw law = law_.At(world_.time());
  BurnPrediction prediction;
  SolveSteering(model_, StateNow(), plan_.aim, kCoreStep, iterations, law, prediction);
  law_ = law;
  cutoffTime_ = prediction.reached ? prediction.end.time : INFINITY;
  if (!prediction.reached && !noOrbit_) FallShort();
}

void Autopilot::FallShort() {
  const double radius = world_.planet.radius;
  const ModelState now = StateNow();
  SteeringLaw law = law_;
  const double apoapsis =
      HighestApoapsis(model_, now, plan_.aim, plan_.insertion, plan_.insertionApoapsis,
                      kFallbackReserve, kCoreStep, law);
  if (apoapsis < 0) {
    noOrbit_ = true;
    world_.Report("warning", launcher_.name,
                  "no orbit is within the ascent's reach with propellant in hand: it burns until "
                  "its propellant is gone");
    return;
  }
  char text[200];
  std::snprintf(text, sizeof text,
                "the ascent falls short of %.0f x %.0f km: it flies to %.0f x %.0f km",
                (plan_.insertion - radius) / 1000, (plan_.insertionApoapsis - radius) / 1000,
                (plan_.insertion - radius) / 1000, (apoapsis - radius) / 1000);
  world_.Report("warning", launcher_.name, text);
  plan_.insertionApoapsis = apoapsis;
  plan_.aim.energy = -world_.planet.gm / (plan_.insertion + apoapsis);
  plan_.apoapsisBurn = false;
  law_ = law;
  cutoffTime_ = PredictBurn(model_, now, law_, plan_.aim, kCoreStep).end.time;
}

void Autopilot::CoreBurn() {
  const double t = world_.time();
  const double dt = world_.dt;
  if (!fairingGone_) {
    const VECTOR3 air_I = world_.planet.AirVelocity(launcher_.position, launcher_.velocity);
    const double speed = Length(air_I);  // m/s
    if (0.5 * launcher_.atmDensity * speed * speed * speed < kFairingHeating) DropFairing(t);
  }
  if (t + 1e-9 >= nextReplan_ && cutoffTime_ - t > kFreezeTime) {
    Replan(2);
    nextReplan_ += kReplanInterval;
  }
  if (cutoffTime_ - t > kTerminalTime) {
    SetLevel(1);
    const VECTOR3 mid_I = launcher_.position + (0.5 * dt) * launcher_.velocity;
    PointNose(CoreNose(mid_I, t + 0.5 * dt, law_), law_.normal_I);
    return;
  }
  if (!BurnTowards(plan_.insertion, plan_.insertionApoapsis, !plan_.apoapsisBurn)) return;
  Report("ascent burn ends");
  if (plan_.apoapsisBurn)
    StartCoast();
  else
    phase_ = Phase::kRelease;
}

void Autopilot::StartCoast() {
  phase_ = Phase::kCoast;
  // The coast ends half the apoapsis burn before the apoapsis, as long as the burn is now.
  const double gm = world_.planet.gm;
  const double dv = ApoapsisBurnSpeed(plan_, gm);  // m/s
  const double thrust = launcher_.maxThrust[ENGINE_MAIN];
  const double burnTime =
      launcher_.Mass() * launcher_.isp / thrust * (1 - std::exp(-dv / launcher_.isp));  // s
  burnStart_ =
      world_.time() + TimeToApoapsis(launcher_.position, launcher_.velocity, gm) - 0.5 * burnTime;
  char text[120];
  std::snprintf(text, sizeof text, "coast; apoapsis burn of %.1f m/s at T+%.2f s", dv, burnStart_);
  Report(text);
}

void Autopilot::Finish(const char* why) {
  if (why) world_.Report("warning", launcher_.name, why);
  ReportOrbit();
  phase_ = Phase::kDone;
  doneTime_ = world_.time();
}

void Autopilot::ReportOrbit() {
  if (!satellite_) {
    world_.Report("warning", launcher_.name,
                  "target " + target_.Text() + " not reached: the satellite has not left");
    return;
  }
  const Arrival arrival = ArrivalOf(satellite_->position, satellite_->velocity, target_,
                                    world_.planet.radius, world_.planet.gm);
  const std::string said = "target " + target_.Text() +
                           (arrival.reached ? " reached" : " not reached") + ": the satellite in " +
                           ArrivalText(arrival, target_);
  world_.Report(arrival.reached ? "guidance" : "warning", launcher_.name, said);
}

VECTOR3 Autopilot::PlaneNormalAt(const VECTOR3& position_I) const {
  const VECTOR3 up = Unit(position_I);
  return Unit(planeNormal_ - Dot(planeNormal_, up) * up);
}

VECTOR3 Autopilot::AimVelocity(const VECTOR3& position_I, double periapsis, double apoapsis,
                               bool pushAllowed) const {
  const VECTOR3 normal_I = PlaneNormalAt(position_I);
  const bool rising = Dot(launcher_.velocity, launcher_.position) > 0;
  const VECTOR3 velocity_I =
      OrbitVelocityAt(position_I, periapsis, apoapsis, normal_I, rising, world_.planet.gm);
  // The satellite leaves pushed back along the nose, which will point along the normal.
  return pushAllowed ? velocity_I + kReleasePush * normal_I : velocity_I;
}

bool Autopilot::BurnTowards(double periapsis, double apoapsis, bool pushAllowed) {
  const double dt = world_.dt;
  const double gm = world_.planet.gm;
  const VECTOR3 r = launcher_.position, v = launcher_.velocity;
  // Where the host's integration puts the launcher: drift half a frame, kick, drift half a frame;
  // the kick leaves the velocity the orbit wants at the frame's end.
  const VECTOR3 mid = r + (0.5 * dt) * v;
  const double r2 = Dot(mid, mid);
  const VECTOR3 gravity = (-gm / (r2 * std::sqrt(r2))) * mid;
  VECTOR3 wanted = AimVelocity(mid + (0.5 * dt) * v, periapsis, apoapsis, pushAllowed);
  for (int i = 0; i < 3; ++i)
    wanted = AimVelocity(mid + (0.5 * dt) * wanted, periapsis, apoapsis, pushAllowed);
  releaseAxis_ = PlaneNormalAt(mid + (0.5 * dt) * wanted);
  const VECTOR3 missing = wanted - v - dt * gravity;  // m/s the thrust must add this frame
  const double need = Length(missing) / dt;           // m/s^2
  if (need == 0) {
    SetLevel(0);
    return true;
  }

  const double thrust = launcher_.maxThrust[ENGINE_MAIN];  // N at full level in vacuum
  const double isp = launcher_.isp;
  const double correction = launcher_.atmPressure / kVantorFigures.referencePressure *
                            (kVantorFigures.coreSeaLevelToVacuum * thrust - thrust);
  const double mass = launcher_.Mass();
  const double full = (thrust + correction) / (mass - thrust * dt / (2 * isp));
  PointNose(missing, releaseAxis_);
  if (need >= full) {
    SetLevel(1);
    return false;
  }
  // The level whose thrust, over the mass in the middle of the frame, delivers exactly `need`.
  const double level = (need * mass - correction) / (thrust * (1 + need * dt / (2 * isp)));
  SetLevel(level);
  return true;
}

void Autopilot::Release() {
  const double t = world_.time();
  SetLevel(0);
  PointNose(releaseAxis_, launcher_.position);
  if (!fairingGone_) {
    DropFairing(t);
    return;
  }
  if (!releasePressed_ && t + 1e-9 >= fairingTime_ + kKeyInterval) {
    Press("J");
    releasePressed_ = true;
    releaseTime_ = t;
  } else if (releasePressed_ && t > releaseTime_ + kKeyInterval) {
    Finish("no satellite left the launcher");
  }
}

}  // namespace zenthar::guidance
