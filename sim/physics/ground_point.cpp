#include "sim/physics/ground_point.h"

#include <cmath>

#include "sim/physics/vec_math.h"

namespace zenthar {

GroundPoint GroundPointOf(const Planet& planet, const VECTOR3& position_I, double t) {
  const double horizontal = std::hypot(position_I.x, position_I.y);                     // m
  double longitude = std::atan2(position_I.y, position_I.x) - planet.RotationAngle(t);  // rad
  longitude = std::remainder(longitude, 2 * kPi);
  GroundPoint point;
  point.latitude = std::atan2(position_I.z, horizontal) / kDegree;
  point.longitude = longitude / kDegree;
  point.altitude = Length(position_I) - planet.radius;
  return point;
}

LocalHorizon LocalHorizonAt(const VECTOR3& position_I) {
  LocalHorizon horizon;
  horizon.up = (1 / Length(position_I)) * position_I;
  const VECTOR3 east = Cross(VECTOR3{0, 0, 1}, horizon.up);
  const double length = Length(east);
  horizon.east = length > 1e-9 ? (1 / length) * east : VECTOR3{0, 1, 0};
  horizon.north = Cross(horizon.up, horizon.east);
  return horizon;
}

VECTOR3 LocalHorizon::Towards(double headingRad) const {
  return std::cos(headingRad) * north + std::sin(headingRad) * east;
}

double FlightPathAngle(const VECTOR3& position_I, const VECTOR3& velocity_I) {
  const double speed = Length(velocity_I);
  const double radius = Length(position_I);
  if (speed == 0 || radius == 0) return 0;
  double sine = Dot(velocity_I, position_I) / (speed * radius);
  sine = sine > 1 ? 1 : (sine < -1 ? -1 : sine);
  return std::asin(sine) / kDegree;
}

}  // namespace zenthar
