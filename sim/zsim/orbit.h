#pragma once

#include "host/vector3.h"
#include "sim/physics/planet.h"

namespace zenthar::zsim {

/// The shape of the two-body orbit through a position and velocity around the planet.
struct OrbitShape {
  double periapsisAltitude;  ///< m above the surface; below zero the orbit meets the ground
  double apoapsisAltitude;   ///< m above the surface; infinity on an escape path
  double eccentricity;
  double inclination;  ///< rad, of the orbit's plane to the equator, 0 to pi (above pi/2: westward)
  double period;       ///< s; infinity on an escape path
  bool bound;          ///< false on an escape path
};

/// From position (m) and velocity (m/s) relative to the planet's centre, inertial frame.
OrbitShape OrbitOf(const VECTOR3& position, const VECTOR3& velocity, const Planet& planet);

}  // namespace zenthar::zsim
