#pragma once

#include <string>

#include "sim/guidance/ascent_steering.h"
#include "sim/guidance/burn_solver.h"
#include "sim/guidance/target_orbit.h"

// The mission planned before lift-off on the model: which orbit the ascent burn ends in, whether a
// burn at its apoapsis follows, the plane, the booster burn's kick that leaves the most
// propellant, and whether the target is within the launcher's reach at all.

namespace zenthar::guidance {

/// km: the lowest orbit the ascent burn ends in. The core stage lifts less than its weight when
/// the boosters leave, so every kilometre it climbs under power costs propellant: it goes no higher
/// than this, and a burn at apoapsis raises the periapsis of higher targets.
constexpr double kInsertionAltitude = 150;

/// kg kept in hand when the ascent aims at a lower apoapsis than the target's, for what the
/// flight meets that the model did not.
constexpr double kFallbackReserve = 300;

/// s, the model's step through the core burn.
constexpr double kCoreStep = 0.5;

struct MissionPlan {
  double periapsis = 0;  ///< m from the planet's centre: the target's
  double apoapsis = 0;   ///< m: the target's
  double insertion = 0;  ///< m: where the ascent burn ends, at the periapsis of its orbit
  /// m: the apoapsis of the orbit the ascent burn ends in: the target's, or the highest the
  /// launcher reaches when the target's is beyond it.
  double insertionApoapsis = 0;
  bool apoapsisBurn = false;  ///< a burn at the first apoapsis raises the periapsis to the target's
  bool holdPlane = false;     ///< an inclination is targeted and can be reached
  VECTOR3 planeNormal{0, 0, 1};  ///< unit, the target plane's normal when held
  BoosterSteering booster{};
  SteeringLaw core;  ///< the core burn's steering as solved on the model
  BurnAim aim{};     ///< what the ascent burn aims at

  bool reachable = false;
  double propellantLeft = 0;  ///< kg predicted in the tank at the end; below 0: what is missing
  double shortfall = 0;       ///< m/s the ascent burn falls short by, when it does
  std::string inclinationProblem;  ///< why an inclination cannot be flown, or empty
  std::string verdict;  ///< one line: what will be flown, or why the target is beyond reach
};

/// Plans the mission for a launcher standing on the pad (`pad`, landed, at the boosters'
/// ignition time) with the model.
MissionPlan PlanMission(const LauncherModel& model, const ModelState& pad,
                        const TargetOrbit& target);

/// The orbits and the plane of a mission flown from `state`, on the pad or in flight, without
/// flying it ahead: what the guidance flies when it takes a launcher over in flight. Its verdict
/// says so, or why the inclination is beyond reach.
MissionPlan PlanOrbits(const LauncherModel& model, const ModelState& state,
                       const TargetOrbit& target);

/// Flies the booster burn on the model from the pad to booster separation.
ModelState FlyBoosterBurn(const LauncherModel& model, const ModelState& pad,
                          const BoosterSteering& steering);

/// The unit normal (global frame) of the plane the core burn flies in, from a launcher at
/// `position_I` moving at `velocity_I`: the target's plane when the plan holds one, else the plane
/// the launcher moves in.
VECTOR3 FlightPlane(const MissionPlan& plan, const VECTOR3& position_I, const VECTOR3& velocity_I);

/// m/s: the burn at the apoapsis of the insertion orbit that raises the periapsis to the target's.
double ApoapsisBurnSpeed(const MissionPlan& plan, double gm);

}  // namespace zenthar::guidance
