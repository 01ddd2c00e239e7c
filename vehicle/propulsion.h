#pragma once

#include "host/vessel.h"
#include "vehicle/booster_profile.h"

namespace vantor {

// The functions that run in every time step are defined here, so that the step inlines them: a
// call to one cost more than its arithmetic.

/// Pa: the ambient pressure at which a rocket delivers its sea-level thrust. Not the standard
/// atmosphere's 101325 Pa: the thrust ratings refer to 101400 Pa.
inline constexpr double REFERENCE_PRESSURE = 101400;
/// 1/Pa: 1 / REFERENCE_PRESSURE, applied as a multiplication.
inline constexpr double REFERENCE_PRESSURE_RECIPROCAL = 9.861932938856015e-6;
static_assert(REFERENCE_PRESSURE_RECIPROCAL == 1.0 / REFERENCE_PRESSURE,
              "the reciprocal must be the double nearest 1 / 101400");

/// N: a rocket's thrust at the vessel's ambient pressure, on the straight line through its vacuum
/// thrust (0 Pa) and its sea-level thrust (REFERENCE_PRESSURE), continued beyond both.
inline double ThrustAtPressure(VESSEL* vessel, double seaLevelThrust, double vacuumThrust) {
  const double pressure = vessel->GetAtmPressure();               // Pa
  const double ratio = pressure * REFERENCE_PRESSURE_RECIPROCAL;  // 0 in vacuum
  return ratio * (seaLevelThrust - vacuumThrust) + vacuumThrust;
}

/// Sets the host's main-thrust modifier to the pressure correction of one engine rated at its
/// vacuum thrust: 0 in vacuum, negative in the atmosphere when the sea-level thrust is lower.
inline void ApplyPressureThrust(VESSEL* vessel, double seaLevelThrust, double vacuumThrust) {
  double* modifier = vessel->GetMainThrustModPtr();
  // The host keeps the modifier between steps; clear last step's correction before the new one.
  *modifier = 0;
  const double atPressure = ThrustAtPressure(vessel, seaLevelThrust, vacuumThrust);
  // The same line with no sea-level drop: the engine's rating, in the same arithmetic, so that
  // the difference is exactly 0 in vacuum.
  const double rating = ThrustAtPressure(vessel, vacuumThrust, vacuumThrust);
  *modifier = atPressure - rating;
}

/// N: the sea-level thrust, vacuumThrust scaled by the ratio of the sea-level to the vacuum
/// exhaust velocity (m/s). propellantMass (kg) cancels out but fixes the last digit; it must not
/// be zero.
double SeaLevelThrust(double vacuumThrust, double vacuumExhaustVelocity,
                      double seaLevelExhaustVelocity, double propellantMass);

/// Writes the profile's times and slopes for a burn time (s); the burn time must exceed 25 s.
void BuildBoosterProfile(double burnTime);

/// The thrust and remaining-propellant fractions at t s after booster ignition. A time on a
/// breakpoint is taken from the segment that ends there; times outside the profile continue its
/// first or last segment.
inline void SampleBoosterProfile(double t, double& thrustFraction, double& propellantFraction) {
  const BoosterProfile& profile = boosterProfile;
  // Search from the top: the step at ignition (t = 0) lands on the first segment, which gives
  // exactly no thrust and a full booster.
  int k = profile.pointCount - 2;
  while (k > 0 && !(t > profile.times[k])) --k;
  const double elapsed = t - profile.times[k];  // s into segment k
  thrustFraction = elapsed * profile.thrustSlope[k] + profile.thrustFraction[k];
  propellantFraction = elapsed * profile.propellantSlope[k] + profile.propellantFraction[k];
}

}  // namespace vantor
