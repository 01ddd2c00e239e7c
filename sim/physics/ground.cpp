#include "sim/physics/ground.h"

#include "sim/physics/vec_math.h"

namespace zenthar {

void AnchorToGround(VesselState& vessel, const Planet& planet, double t) {
  const Matrix3 toPlanet = RotationAboutZ(-planet.RotationAngle(t));
  vessel.groundPosition_P = toPlanet * vessel.position;
  vessel.groundAttitude_P = toPlanet * vessel.attitude;
}

void FollowGround(VesselState& vessel, const Planet& planet, double t) {
  const Matrix3& toGlobal = planet.TurnAt(t);
  vessel.position = toGlobal * vessel.groundPosition_P;
  vessel.attitude = toGlobal * vessel.groundAttitude_P;
  vessel.velocity = planet.SurfaceVelocity(vessel.position);
}

}  // namespace zenthar
