#include "sim/guidance/mission_plan.h"

#include <cmath>
#include <cstdio>

#include "sim/guidance/orbit_geometry.h"
#include "sim/physics/ground_point.h"
#include "sim/physics/physical_constants.h"
#include "sim/physics/vec_math.h"

namespace zenthar::guidance {

namespace {

const double kBoosterStep = 0.05;  // s, model step through the air
const int kSolveIterations = 20;
// The kicks tried first (rad); the best is then refined between its neighbours.
const double kLeastKick = 1 * kDegree;
const double kKickStep = 1 * kDegree;
const int kKickCount = 8;
const int kRefinements = 6;

/// One kick flown on the model: the booster burn, then the core burn solved to the aim.
struct Trial {
  double kick = 0;      ///< rad
  bool solved = false;  ///< the core burn ends on the aim's radius, climb and plane
  BurnPrediction burn;
  SteeringLaw law;
  double score = -INFINITY;  ///< kg of propellant left at the end; below 0 what is missing
};

/// kg of propellant a burn of dv (m/s) takes from a vehicle of `mass` (kg).
double PropellantFor(double dv, double mass, double exhaustVelocity) {
  return mass * (1 - std::exp(-dv / exhaustVelocity));
}

Trial TryKick(const LauncherModel& model, const ModelState& pad, const MissionPlan& plan,
              double kick, const SteeringLaw* warm) {
  Trial trial;
  trial.kick = kick;
  BoosterSteering booster = plan.booster;
  booster.kick = kick;
  const ModelState separation = FlyBoosterBurn(model, pad, booster);
  const VECTOR3 normal = FlightPlane(plan, separation.position_I, separation.velocity_I);
  // Warm from the neighbouring kick's law.
  trial.law = warm ? warm->At(separation.time) : SteeringLaw{};
  trial.law.normal_I = normal;
  trial.solved = SolveSteeringAfresh(model, separation, plan.aim, kCoreStep, kSolveIterations,
                                     warm != nullptr, trial.law, trial.burn);
  if (!trial.solved) return trial;
  // kg left at the end, or missing: the ascent's shortfall and the apoapsis burn together.
  const ModelState& end = trial.burn.end;
  const double exhaust = model.setup().exhaustVelocity;
  const double burn = plan.apoapsisBurn ? ApoapsisBurnSpeed(plan, model.planet().gm) : 0;  // m/s
  if (!trial.burn.reached) {
    const double dry = model.Mass(end);  // kg, the tank empty
    trial.score = -dry * (std::exp((trial.burn.shortfall + burn) / exhaust) - 1);
    return trial;
  }
  trial.score = end.propellant - PropellantFor(burn, model.Mass(end), exhaust);
  return trial;
}

/// When the ascent cannot reach the insertion orbit: the orbit with the highest apoapsis it does
/// reach, with the kick of `best`, found by bisection; no apoapsis burn follows. `best` itself when
/// not even a circular orbit at the insertion radius is within reach.
Trial HighestReachable(const LauncherModel& model, const ModelState& pad, MissionPlan& plan,
                       const Trial& best) {
  BoosterSteering booster = plan.booster;
  booster.kick = best.kick;
  const ModelState separation = FlyBoosterBurn(model, pad, booster);
  SteeringLaw law = best.law;
  const double apoapsis = HighestApoapsis(model, separation, plan.aim, plan.insertion,
                                          plan.apoapsis, kFallbackReserve, kCoreStep, law);
  if (apoapsis < 0) return best;
  plan.insertionApoapsis = apoapsis;
  plan.aim.energy = -model.planet().gm / (plan.insertion + apoapsis);
  plan.apoapsisBurn = false;
  Trial reached = best;
  reached.law = law;
  return reached;
}

/// The heading relative to the ground whose velocity, once the launcher is at orbital speed,
/// heads along the plane: the ground's own eastward motion taken out.
double GroundHeading(const ModelState& pad, const VECTOR3& normal, double orbitalSpeed,
                     const LauncherModel& model) {
  const LocalHorizon horizon = LocalHorizonAt(pad.position_I);
  const VECTOR3 along = Cross(normal, horizon.up);
  const double groundEast =
      Dot(model.planet().SurfaceVelocity(pad.position_I), horizon.east);  // m/s
  return std::atan2(orbitalSpeed * Dot(along, horizon.east) - groundEast,
                    orbitalSpeed * Dot(along, horizon.north));
}

std::string Kilograms(double kg) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f t", kg / 1000);
  return text;
}

void ChoosePlane(const LauncherModel& model, const ModelState& pad, const TargetOrbit& target,
                 MissionPlan& plan) {
  plan.booster.heading = 90 * kDegree;
  if (!target.HasInclination()) return;
  // From the pad the launch goes north of east (or west); a launcher taken over in flight keeps
  // the way it goes.
  const bool northward = pad.velocity_I.z * pad.position_I.z >= 0 || pad.landed;
  const double latitude = std::asin(Unit(pad.position_I).z) / kDegree;  // deg
  if (!PlaneThrough(pad.position_I, target.inclination * kDegree, northward, plan.planeNormal)) {
    // The nearest plane the pad allows: due east (or west), the pad at its highest latitude.
    const double lowest = std::fabs(latitude);
    const double nearest = target.inclination < 90 ? lowest : 180 - lowest;
    PlaneThrough(pad.position_I, nearest * kDegree, northward, plan.planeNormal);
    char text[200];
    std::snprintf(text, sizeof text,
                  "a pad at %.2f deg latitude reaches inclinations from %.2f to %.2f deg only: it "
                  "flies the nearest, %.2f deg",
                  latitude, lowest, 180 - lowest, nearest);
    plan.inclinationProblem = text;
  }
  plan.holdPlane = true;
  const double orbitalSpeed = std::sqrt(model.planet().gm / plan.insertion);
  plan.booster.heading = GroundHeading(pad, plan.planeNormal, orbitalSpeed, model);
}

void WriteVerdict(const LauncherModel& model, const TargetOrbit& target, MissionPlan& plan) {
  const double radius = model.planet().radius;
  char ascent[160];
  std::snprintf(ascent, sizeof ascent, "ascent to %.0f x %.0f km%s",
                (plan.insertion - radius) / 1000, (plan.insertionApoapsis - radius) / 1000,
                plan.apoapsisBurn ? ", periapsis raised at apoapsis" : "");
  char payload[64];
  std::snprintf(payload, sizeof payload, "%.0f kg", model.setup().payload);
  if (!plan.inclinationProblem.empty()) {
    plan.verdict = target.Text() + " is beyond reach: " + plan.inclinationProblem;
    if (plan.propellantLeft < 0)
      plan.verdict += ", and about " + Kilograms(-plan.propellantLeft) + " of propellant short";
    return;
  }
  if (plan.reachable) {
    plan.verdict = "flies to " + target.Text() + ": " + ascent + "; about " +
                   Kilograms(plan.propellantLeft) + " of propellant to spare";
  } else if (plan.propellantLeft > -INFINITY) {
    plan.verdict = target.Text() + " is beyond the launcher with " + payload + " aboard: about " +
                   Kilograms(-plan.propellantLeft) +
                   " of propellant short; it flies as far as it can";
    if (plan.insertionApoapsis < plan.apoapsis) plan.verdict += std::string(", ") + (ascent + 7);
  } else {
    plan.verdict = target.Text() + " is beyond the launcher with " + payload +
                   " aboard: no ascent reaches it; it flies as far as it can";
  }
}

}  // namespace

ModelState FlyBoosterBurn(const LauncherModel& model, const ModelState& pad,
                          const BoosterSteering& steering) {
  ModelState state = pad;
  while (state.boosters && Length(state.position_I) >= model.planet().radius) {
    const VECTOR3 air_I = model.planet().AirVelocity(state.position_I, state.velocity_I);
    const VECTOR3 nose_I =
        state.landed ? Unit(state.position_I) : BoosterNose(state.position_I, air_I, steering);
    model.Step(state, AttitudeAlong(nose_I, BoosterAcross(state.position_I, steering)), 1,
               kBoosterStep);
  }
  return state;
}

VECTOR3 FlightPlane(const MissionPlan& plan, const VECTOR3& position_I, const VECTOR3& velocity_I) {
  return plan.holdPlane ? plan.planeNormal : MotionPlaneNormal(position_I, velocity_I);
}

double ApoapsisBurnSpeed(const MissionPlan& plan, double gm) {
  const double ra = plan.apoapsis;
  const double target = std::sqrt(gm * (2 / ra - 2 / (plan.periapsis + ra)));
  const double coasting = std::sqrt(gm * (2 / ra - 2 / (plan.insertion + ra)));
  return target - coasting;
}

MissionPlan PlanOrbits(const LauncherModel& model, const ModelState& state,
                       const TargetOrbit& target) {
  const double radius = model.planet().radius;
  MissionPlan plan;
  plan.periapsis = radius + target.periapsisAltitude * 1000;
  plan.apoapsis = radius + target.apoapsisAltitude * 1000;
  const double insertionAltitude =
      target.periapsisAltitude < kInsertionAltitude ? target.periapsisAltitude : kInsertionAltitude;
  plan.insertion = radius + insertionAltitude * 1000;
  plan.insertionApoapsis = plan.apoapsis;
  plan.apoapsisBurn = plan.periapsis > plan.insertion;
  ChoosePlane(model, state, target, plan);
  plan.aim = BurnAim{plan.insertion, -model.planet().gm / (plan.insertion + plan.apoapsis),
                     plan.holdPlane};
  plan.reachable = plan.inclinationProblem.empty();
  plan.verdict = "takes over: flies to " + target.Text();
  if (!plan.reachable)
    plan.verdict = target.Text() + " is beyond reach: " + plan.inclinationProblem;
  return plan;
}

MissionPlan PlanMission(const LauncherModel& model, const ModelState& pad,
                        const TargetOrbit& target) {
  MissionPlan plan = PlanOrbits(model, pad, target);

  // Kicks on a grid, each warm from the one before, then the best refined by golden sections.
  Trial best;
  const SteeringLaw* warm = nullptr;
  Trial previous;
  for (int i = 0; i < kKickCount; ++i) {
    previous = TryKick(model, pad, plan, kLeastKick + i * kKickStep, warm);
    warm = previous.solved ? &previous.law : nullptr;
    if (previous.score > best.score) best = previous;
  }
  if (best.solved) {
    // Golden sections between the best kick's neighbours, keeping one inner point each time.
    const double golden = 0.3819660112501051;
    double low = best.kick - kKickStep, high = best.kick + kKickStep;
    const SteeringLaw warmLaw = best.law;
    Trial inner[2] = {TryKick(model, pad, plan, low + golden * (high - low), &warmLaw),
                      TryKick(model, pad, plan, high - golden * (high - low), &warmLaw)};
    for (int i = 0; i < kRefinements; ++i) {
      if (inner[0].score >= inner[1].score) {
        high = inner[1].kick;
        inner[1] = inner[0];
        inner[0] = TryKick(model, pad, plan, low + golden * (high - low), &warmLaw);
      } else {
        low = inner[0].kick;
        inner[0] = inner[1];
        inner[1] = TryKick(model, pad, plan, high - golden * (high - low), &warmLaw);
      }
      for (const Trial& trial : inner)
        if (trial.score > best.score) best = trial;
    }
  }
  if (best.solved && !best.burn.reached) best = HighestReachable(model, pad, plan, best);
  plan.booster.kick = best.solved ? best.kick : kLeastKick + kKickCount / 2 * kKickStep;
  plan.core = best.law;
  plan.propellantLeft = best.score;
  plan.shortfall = best.burn.reached ? 0 : best.burn.shortfall;
  plan.reachable = best.solved && best.score >= 0 && plan.inclinationProblem.empty();
  WriteVerdict(model, target, plan);
  return plan;
}

}  // namespace zenthar::guidance
