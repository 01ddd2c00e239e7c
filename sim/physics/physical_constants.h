#pragma once

namespace zenthar {

// The physical constants of the stand-in host, each with its unit. The launcher's own figures
// (its masses, thrusts and the gravity it converts its ratings with) are the module's.

constexpr double kPi = 3.14159265358979323846;
constexpr double kDegree = kPi / 180;  ///< rad in one degree

/// rad/s: the Earth's rotation rate as WGS 84 gives it; the stand-in host's planet turns at it.
constexpr double kEarthRotationRate = 7.292115e-5;

/// m/s^2: standard gravity, the 1976 standard atmosphere's g0 and the unit of accelerations in g.
constexpr double kStandardGravity = 9.80665;

// Air as the 1976 standard atmosphere has it.
constexpr double kGasConstant = 8.31432e3;     ///< J/(kmol K), the standard's R*
constexpr double kAirMolarMass = 28.9644;      ///< kg/kmol, sea-level mean molecular weight
constexpr double kAirHeatCapacityRatio = 1.4;  ///< gamma, for the speed of sound

}  // namespace zenthar
