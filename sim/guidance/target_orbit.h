#pragma once

#include <string>

namespace zenthar {

class FieldReader;

namespace guidance {

/// The orbit a launch is to put its satellite into: the TARGET_ORBIT line of a launcher block and
/// zsim's --target value.
struct TargetOrbit {
  double periapsisAltitude = 0;  ///< km above the surface
  double apoapsisAltitude = 0;   ///< km above the surface, at least the periapsis
  double inclination = -1;       ///< deg; below 0 when none is asked for (the pad's own)

  bool given() const { return apoapsisAltitude > 0; }
  bool HasInclination() const { return inclination >= 0; }
  /// "500 x 500 km", "300 x 1000 km at 51.6 deg": as the host reports it.
  std::string Text() const;
  /// "500 500", "300 1000 51.6": the values of a TARGET_ORBIT line.
  std::string LineValues() const;
};

/// Reads the values of a TARGET_ORBIT line, "periapsis_km apoapsis_km [inclination_deg]", into the
/// target; false with the fields' error, the target unchanged, when they are not such values.
bool ReadTargetOrbit(FieldReader& fields, TargetOrbit& target);

/// Reads zsim's "PxA" or "PxA@I" (km, km, degrees); false with the reason ("expected ..."), the
/// target unchanged.
bool ParseTargetOrbit(const std::string& text, TargetOrbit& target, std::string& error);

}  // namespace guidance
}  // namespace zenthar
