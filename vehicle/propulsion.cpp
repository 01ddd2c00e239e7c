#include "vehicle/propulsion.h"

#include <iterator>

#include "vehicle/booster_profile.h"
#include "vehicle/parameters.h"

namespace vantor {

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

}  // namespace vantor
