#include "sim/physics/steering.h"

#include <cmath>

#include "sim/physics/physical_constants.h"
#include "sim/physics/vec_math.h"

namespace zenthar {

namespace {

VECTOR3 Unit(const VECTOR3& v) {
  return (1 / Length(v)) * v;
}

}  // namespace

void SteerToProgram(VesselState& vessel, double t) {
  if (vessel.pitch.points.empty() || vessel.landed) return;
  const VECTOR3 up = Unit(vessel.position);
  VECTOR3 east = Cross(VECTOR3{0, 0, 1}, up);
  // Over a pole every direction is south: take the global y axis as east there.
  east = Length(east) > 1e-9 ? Unit(east) : VECTOR3{0, 1, 0};
  const VECTOR3 north = Cross(up, east);
  double headingCos = 0;
  double headingSin = 0;
  vessel.pitch.HeadingCosSin(headingCos, headingSin);
  const VECTOR3 horizontal = headingCos * north + headingSin * east;
  const double elevation = vessel.pitch.ElevationAt(t) * kDegree;
  // Vessel z along the nose, y across the plane of the ascent, x completing the frame: on the
  // pad (elevation 90, heading east) that is x east, y north, z up.
  const VECTOR3 z = std::sin(elevation) * up + std::cos(elevation) * horizontal;
  const VECTOR3 y = Cross(up, horizontal);
  const VECTOR3 x = Cross(y, z);
  vessel.attitude = {{{x.x, y.x, z.x}, {x.y, y.y, z.y}, {x.z, y.z, z.z}}};
}

}  // namespace zenthar
