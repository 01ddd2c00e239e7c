#include "vehicle/propulsion.h"

#include <iterator>

#include "vehicle/booster_profile.h"
#include "vehicle/parameters.h"

// Not the standard atmosphere's 101325 Pa: the thrust ratings refer to 101400 Pa.
constexpr double REFERENCE_PRESSURE = 101400;                           // Pa
constexpr double REFERENCE_PRESSURE_RECIPROCAL = 9.861932938856015e-6;  // 1/Pa
static_assert(REFERENCE_PRESSURE_RECIPROCAL == 1.0 / REFERENCE_PRESSURE,
              "the reciprocal must be the double nearest 1 / 101400");

double ThrustAtPressure(VESSEL* vessel, double seaLevelThrust, double vacuumThrust) {
  const double pressure = vessel->GetAtmPressure();               // Pa
  const double ratio = pressure * REFERENCE_PRESSURE_RECIPROCAL;  // 0 in vacuum
  return ratio * (seaLevelThrust - vacuumThrust) + vacuumThrust;
}

void ApplyPressureThrust(VESSEL* vessel, double seaLevelThrust, double vacuumThrust) {
  double* modifier = vessel->GetMainThrustModPtr();
  // The host keeps the modifier between steps; clear last step's correction before the new one.
  *modifier = 0;
  const double atPressure = ThrustAtPressure(vessel, seaLevelThrust, vacuumThrust);
  // The same line with no sea-level drop: the engine's rating, in the same arithmetic, so that
  // the difference is exactly 0 in vacuum.
  const double rating = ThrustAtPressure(vessel, vacuumThrust, vacuumThrust);
  *modifier = atPressure - rating;
}

double SeaLevelThrust(double vacuumThrust, double vacuumExhaustVelocity,
                      double seaLevelExhaustVelocity, double propellantMass) {
  // Mass over mass flow and back again: the round trip fixes the last digit of the result, which
  // the direct vacuumThrust * seaLevel / vacuum does not reproduce (it is 1 ulp high for a
  // booster).
  double q = propellantMass / vacuumThrust;
  q = q * STANDARD_GRAVITY;
  q = q * vacuumExhaustVelocity;
  q = propellantMass / q;
  q = q * STANDARD_GRAVITY;
  q = q * seaLevelExhaustVelocity;
  return q;
}

void BuildBoosterProfile(double burnTime) {
  BoosterProfile& profile = boosterProfile;
  profile.times[0] = 0;
  profile.times[1] = 1;
  profile.times[2] = burnTime - 24;
  profile.times[3] = burnTime - 9;
  profile.times[4] = burnTime;
  profile.times[5] = burnTime + 9;
  for (std::size_t k = 0; k < std::size(profile.thrustSlope); ++k) {
    const double duration = profile.times[k + 1] - profile.times[k];  // s
    profile.thrustSlope[k] = (profile.thrustFraction[k + 1] - profile.thrustFraction[k]) / duration;
    profile.propellantSlope[k] =
        (profile.propellantFraction[k + 1] - profile.propellantFraction[k]) / duration;
  }
}

void SampleBoosterProfile(double t, double& thrustFraction, double& propellantFraction) {
  const BoosterProfile& profile = boosterProfile;
  // Search from the top: the step at ignition (t = 0) lands on the first segment, which gives
  // exactly no thrust and a full booster.
  int k = profile.pointCount - 2;
  while (k > 0 && !(t > profile.times[k])) --k;
  const double elapsed = t - profile.times[k];  // s into segment k
  thrustFraction = elapsed * profile.thrustSlope[k] + profile.thrustFraction[k];
  propellantFraction = elapsed * profile.propellantSlope[k] + profile.propellantFraction[k];
}
