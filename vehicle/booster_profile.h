#pragma once

#include <cstdint>

namespace vantor {

/// One booster's thrust and remaining propellant over the time since booster ignition, as six
/// breakpoints joined by straight segments. The fraction columns are fixed; the times and slopes
/// are written by BuildBoosterProfile and hold zeros until then.
struct BoosterProfile {
  std::int32_t pointCount;       ///< breakpoints (6, five segments)
  double thrustFraction[6];      ///< of one booster's full thrust at the current pressure
  double propellantFraction[6];  ///< of one booster's propellant still aboard
  double times[6];               ///< s since booster ignition
  double thrustSlope[5];         ///< 1/s, per segment
  double propellantSlope[5];     ///< 1/s, per segment
};

/// The module's one profile, shared by every launcher it serves.
extern BoosterProfile boosterProfile;

}  // namespace vantor
