#include "sim/physics/launch_pad.h"

#include <cmath>

#include "sim/physics/ground.h"
#include "sim/physics/physical_constants.h"

namespace zenthar {

void PlaceOnPad(VesselState& vessel, const Planet& planet, double latitudeDeg, double longitudeDeg,
                double t) {
  const double lat = latitudeDeg * kDegree, lon = longitudeDeg * kDegree;
  const double cosLat = std::cos(lat), sinLat = std::sin(lat);
  const double cosLon = std::cos(lon), sinLon = std::sin(lon);
  // Vessel x to the east, y to the north, z up: a right-handed local frame, in the planet's frame.
  const VECTOR3 east{-sinLon, cosLon, 0};
  const VECTOR3 north{-sinLat * cosLon, -sinLat * sinLon, cosLat};
  const VECTOR3 up{cosLat * cosLon, cosLat * sinLon, sinLat};
  vessel.groundAttitude_P = {
      {{east.x, north.x, up.x}, {east.y, north.y, up.y}, {east.z, north.z, up.z}}};

  // The origin stands as high above the ground as the lowest touchdown point lies below it; a
  // vessel without touchdown points rests on its centre-of-gravity elevation.
  double height = 0;  // m
  bool anyPoint = false;
  for (const VECTOR3& p : vessel.touchdown) {
    if (p.x != 0 || p.y != 0 || p.z != 0) {
      if (!anyPoint || -p.z > height) height = -p.z;
      anyPoint = true;
    }
  }
  if (!anyPoint) height = vessel.cogElevation;
  vessel.groundPosition_P = (planet.radius + height) * up;
  FollowGround(vessel, planet, t);
  vessel.angularVelocity = {0, 0, 0};
  vessel.landed = true;
  vessel.impacted = false;
}

}  // namespace zenthar
