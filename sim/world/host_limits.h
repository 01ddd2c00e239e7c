#pragma once

#include <cmath>
#include <cstddef>
#include <string>

#include "host/vector3.h"
#include "sim/physics/physical_constants.h"

namespace zenthar {

// What the stand-in host reads and flies. A value outside its range is refused where it arrives:
// a scenario, class file or command-line value with its file and line, a value the module passes
// to the host interface by the host keeping what it had. docs/SCENARIO.md and docs/HOST.md give
// the same figures.

/// The values a quantity may take, both ends included. Values are always finite; an infinite
/// `max` means no upper end.
struct ValueRange {
  const char* what;  ///< "a frame length": what the value is, in messages
  double min;
  double max;
  const char* unit;  ///< "s", "kg", or "" for a pure number

  /// Not-a-number and, with a finite max, infinity fail the comparisons themselves.
  bool Holds(double value) const {
    return value >= min && value <= max && (max < INFINITY || std::isfinite(value));
  }
  bool Holds(const VECTOR3& v) const { return Holds(v.x) && Holds(v.y) && Holds(v.z); }
  /// The first coordinate of v outside the range (the last one when all are inside).
  double Outside(const VECTOR3& v) const { return !Holds(v.x) ? v.x : !Holds(v.y) ? v.y : v.z; }
  /// "a frame length from 0.0001 to 1 s", "a time of at least 0 s".
  std::string Expected() const;
};

// Text.
constexpr std::size_t kLongestLine = 4096;        ///< bytes of a line, its end not counted
constexpr std::size_t kLargestFile = 256u << 20;  ///< bytes of a scenario or class file
constexpr long kMostFrames = 100000000;           ///< frames of one flight
constexpr std::size_t kMostKeysPerPress = 8;      ///< keys held together by one press
/// m: how deep below the surface a vessel may be placed. Bodies that leave a launcher lying on the
/// ground start partly below it, and the ground brings them up; the planet's centre stays far.
constexpr double kBelowSurfaceAllowed = 1e4;

// Scenario files and the command line.
constexpr ValueRange kFrameLength{"a frame length", 1e-4, 1, "s"};
constexpr ValueRange kFlightTime{"a time", 0, 1e8, "s"};      ///< kMostFrames of the longest frame
constexpr ValueRange kEventTime{"a time", 0, INFINITY, "s"};  ///< key presses, pitch points
constexpr ValueRange kTelemetryInterval{"a telemetry interval", 1e-4, 1e8, "s"};
constexpr ValueRange kSpeedFactor{"a speed factor", 0.01, 1e6, ""};
constexpr ValueRange kPositionCoordinate{"a position coordinate", -1e12, 1e12, "m"};
constexpr double kFarthest = 1e12;  ///< m, from the planet's centre
constexpr ValueRange kVelocityCoordinate{"a velocity coordinate", -1e5, 1e5, "m/s"};
constexpr ValueRange kAttitudeAngle{"an attitude angle", -2 * kPi, 2 * kPi, "rad"};
constexpr ValueRange kAngularVelocity{"an angular velocity", -100, 100, "rad/s"};
constexpr ValueRange kLevel{"a level", 0, 1, ""};
constexpr ValueRange kLatitude{"a latitude", -90, 90, "deg"};
constexpr ValueRange kLongitude{"a longitude", -360, 360, "deg"};
constexpr ValueRange kHeading{"a heading", -360, 360, "deg"};
constexpr ValueRange kElevation{"an elevation", -90, 90, "deg"};
constexpr ValueRange kPlanetRotation{"a rotation angle", -360, 360, "deg"};
/// A launch plane's normal: a unit vector, each component within this range ...
constexpr ValueRange kUnitComponent{"a unit vector's component", -1, 1, ""};
/// ... and its length within this of 1.
constexpr double kUnitLengthTolerance = 1e-6;
/// A target orbit's apsides (TARGET_ORBIT, --target): above the air (vacuum from 86 km) and well
/// within the planet's reach.
constexpr ValueRange kOrbitAltitude{"an orbit altitude", 100, 100000, "km"};
constexpr ValueRange kInclination{"an inclination", 0, 180, "deg"};

// Class files and the vessel interface.
constexpr ValueRange kMass{"a mass", 0, 1e9, "kg"};
constexpr ValueRange kSize{"a size", 0, 1e4, "m"};
constexpr ValueRange kVesselLength{"a length in the vessel frame", -1e4, 1e4, "m"};
constexpr ValueRange kTouchdownHeight{"a touchdown height", 0, 1e4, "m"};
constexpr ValueRange kCrossSection{"a cross-section", 0, 1e8, "m^2"};
constexpr ValueRange kDragCoefficient{"a drag coefficient", 0, 1e3, ""};
constexpr ValueRange kMomentScale{"a moment scale", -1e3, 1e3, ""};
constexpr ValueRange kExhaustVelocity{"an exhaust velocity", 0, 1e6, "m/s"};
constexpr ValueRange kThrust{"a thrust", 0, 1e10, "N"};
constexpr ValueRange kThrustModifier{"a thrust modifier", -1e10, 1e10, "N"};
constexpr ValueRange kFlameScale{"a flame scale", 0, 1e4, ""};

}  // namespace zenthar
