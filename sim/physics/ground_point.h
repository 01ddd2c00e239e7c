#pragma once

#include "host/vector3.h"
#include "sim/physics/planet.h"

namespace zenthar {

/// Where a position lies over the turning planet.
struct GroundPoint {
  double latitude;   ///< deg, geocentric on the sphere, north positive
  double longitude;  ///< deg, east positive, in the planet's frame, from -180 to 180
  double altitude;   ///< m above the sphere
};

/// The point of the turning planet below a position (m, global frame) at simulation time t (s):
/// its longitude is the position's inertial angle less the planet's rotation angle then.
GroundPoint GroundPointOf(const Planet& planet, const VECTOR3& position_I, double t);

/// The local horizon at a position (global frame), as unit vectors. Over a pole, where every
/// direction is south, east is taken along the global y axis.
struct LocalHorizon {
  VECTOR3 east;
  VECTOR3 north;
  VECTOR3 up;

  /// The unit direction along the horizon of a heading (rad from north towards east).
  VECTOR3 Towards(double headingRad) const;
};
LocalHorizon LocalHorizonAt(const VECTOR3& position_I);

/// deg: the angle of a velocity above the local horizon at a position (both global frame); 0 for
/// no velocity.
double FlightPathAngle(const VECTOR3& position_I, const VECTOR3& velocity_I);

}  // namespace zenthar
