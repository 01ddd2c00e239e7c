#include "sim/physics/steering.h"

#include <cmath>

#include "sim/physics/ground_point.h"
#include "sim/physics/physical_constants.h"
#include "sim/physics/vec_math.h"

namespace zenthar {

VECTOR3 LaunchPlaneNormal(const VECTOR3& position_I, double headingDeg) {
  const LocalHorizon local = LocalHorizonAt(position_I);
  const VECTOR3 along = local.Towards(headingDeg * kDegree);
  const VECTOR3 normal = Cross(local.up, along);
  return (1 / Length(normal)) * normal;
}

Matrix3 PitchedAttitude(const VECTOR3& up, const VECTOR3& along, double elevationRad) {
  const VECTOR3 z = std::sin(elevationRad) * up + std::cos(elevationRad) * along;
  const VECTOR3 y = Cross(up, along);
  const VECTOR3 x = Cross(y, z);
  return {{{x.x, y.x, z.x}, {x.y, y.y, z.y}, {x.z, y.z, z.z}}};
}

void SteerToProgram(VesselState& vessel, double t) {
  PitchProgram& program = vessel.pitch;
  if (program.points.empty() || vessel.landed) return;
  if (!program.HasPlane()) program.plane = LaunchPlaneNormal(vessel.position, program.heading);
  const VECTOR3 up = (1 / Length(vessel.position)) * vessel.position;
  VECTOR3 along = Cross(program.plane, up);  // the ascent's direction along the horizon
  const double length = Length(along);
  // A quarter of the way round the planet from its plane there is no direction along it.
  if (!(length > 1e-9)) return;
  along = (1 / length) * along;
  vessel.attitude = PitchedAttitude(up, along, program.ElevationAt(t) * kDegree);
}

}  // namespace zenthar
