#include "sim/zsim/orbit.h"

#include <cmath>

#include "sim/physics/physical_constants.h"
#include "sim/physics/vec_math.h"

namespace zenthar::zsim {

OrbitShape OrbitOf(const VECTOR3& position, const VECTOR3& velocity, const Planet& planet) {
  const double mu = planet.gm;
  const double r = Length(position);
  const double energy = 0.5 * Dot(velocity, velocity) - mu / r;  // J/kg
  const VECTOR3 momentum = Cross(position, velocity);            // m^2/s
  const double h = Length(momentum);                             // m^2/s
  const double squared = 1 + 2 * energy * h * h / (mu * mu);
  const double e = squared > 0 ? std::sqrt(squared) : 0;
  OrbitShape orbit;
  orbit.eccentricity = e;
  orbit.bound = energy < 0;
  // The periapsis from the semi-latus rectum holds for every conic; the apoapsis from the
  // semi-major axis holds for a straight-up flight too (e = 1, the far end at 2a).
  orbit.periapsisAltitude = h * h / mu / (1 + e) - planet.radius;
  orbit.apoapsisAltitude = orbit.bound ? -mu / (2 * energy) * (1 + e) - planet.radius : INFINITY;
  orbit.inclination = h > 0 ? std::acos(std::fmax(-1, std::fmin(1, momentum.z / h))) : 0;
  const double a = -mu / (2 * energy);  // m, semi-major axis
  orbit.period = orbit.bound ? 2 * kPi * std::sqrt(a * a * a / mu) : INFINITY;
  return orbit;
}

}  // namespace zenthar::zsim
