#pragma once

#include "sim/guidance/ascent_steering.h"
#include "sim/guidance/launcher_model.h"

// The core stage's ascent burn flown ahead on the model, and the steering law that makes it end
// where the guidance wants: found by shooting (Newton's method on model flights).

namespace zenthar::guidance {

/// Where an ascent burn should end: at the energy of the orbit it is to reach, at a radius,
/// moving horizontally, and, when `holdPlane`, in the steering law's plane.
struct BurnAim {
  double radius;   ///< m, from the planet's centre
  double energy;   ///< m^2/s^2
  bool holdPlane;  ///< steer out of the plane as well, to end in it
};

/// A burn flown on the model.
struct BurnPrediction {
  ModelState end;
  bool reached = false;      ///< it ended at the aim's energy; false: the propellant ran out first
  double shortfall = 0;      ///< m/s of speed still missing at the end when not reached
  double radiusMiss = 0;     ///< m, end radius less the aim's
  double radialSpeed = 0;    ///< m/s at the end
  double planeDistance = 0;  ///< m out of the law's plane at the end
  double planeSpeed = 0;     ///< m/s out of it
};

/// Flies the burn from `start` at full level along the law, in steps of h (s), until the orbit's
/// energy reaches the aim's or the propellant runs out.
BurnPrediction PredictBurn(const LauncherModel& model, const ModelState& start,
                           const SteeringLaw& law, const BurnAim& aim, double h);

/// Adjusts the law (epoch kept) until the predicted burn ends on the aim, within a metre and a
/// centimetre per second, in at most `iterations` Newton steps. Returns whether it converged; the
/// law and the prediction are the best found either way.
bool SolveSteering(const LauncherModel& model, const ModelState& start, const BurnAim& aim,
                   double h, int iterations, SteeringLaw& law, BurnPrediction& prediction);

/// SolveSteering from the law as given when `warm`, then from steep climbs easing to level, until
/// one converges. The law keeps its normal; its epoch becomes the start's time. The law and the
/// prediction are those of the first attempt when none converges.
bool SolveSteeringAfresh(const LauncherModel& model, const ModelState& start, const BurnAim& aim,
                         double h, int iterations, bool warm, SteeringLaw& law,
                         BurnPrediction& prediction);

/// m: the highest apoapsis (between `lowest` and `highest`, within a kilometre) of an orbit with
/// periapsis at the aim's radius that a burn from `start` reaches with `reserve` kg of propellant
/// left; the law is left solved for it. Below 0 when not even `lowest` is reached.
double HighestApoapsis(const LauncherModel& model, const ModelState& start, const BurnAim& aim,
                       double lowest, double highest, double reserve, double h, SteeringLaw& law);

}  // namespace zenthar::guidance
