#include "sim/guidance/orbit_geometry.h"

#include <cmath>
#include <cstdio>

#include "sim/physics/ground_point.h"
#include "sim/physics/physical_constants.h"
#include "sim/physics/steering.h"
#include "sim/physics/vec_math.h"

namespace zenthar::guidance {

Apsides ApsidesOf(const VECTOR3& position_I, const VECTOR3& velocity_I, double gm) {
  const double r = Length(position_I);
  const double energy = 0.5 * Dot(velocity_I, velocity_I) - gm / r;  // m^2/s^2
  const VECTOR3 h = Cross(position_I, velocity_I);                   // m^2/s
  const double h2 = Dot(h, h);
  const double squared = 1 + 2 * energy * h2 / (gm * gm);
  const double e = squared > 0 ? std::sqrt(squared) : 0;
  const double periapsis = h2 / gm / (1 + e);
  if (energy >= 0) return {periapsis, INFINITY};
  return {periapsis, -gm / (2 * energy) * (1 + e)};
}

double InclinationOf(const VECTOR3& position_I, const VECTOR3& velocity_I) {
  const VECTOR3 h = Cross(position_I, velocity_I);
  const double c = h.z / Length(h);
  return std::acos(c < -1 ? -1 : (c > 1 ? 1 : c));
}

double EnergyOf(const VECTOR3& position_I, const VECTOR3& velocity_I, double gm) {
  return 0.5 * Dot(velocity_I, velocity_I) - gm / Length(position_I);
}

VECTOR3 OrbitVelocityAt(const VECTOR3& position_I, double periapsis, double apoapsis,
                        const VECTOR3& normal_I, bool rising, double gm) {
  const double r = Length(position_I);
  const double rp = r < periapsis ? r : periapsis;
  const double ra = r > apoapsis ? r : apoapsis;
  const double speed2 = gm * (2 / r - 2 / (rp + ra));        // m^2/s^2, vis-viva
  const double h = std::sqrt(gm * 2 * rp * ra / (rp + ra));  // m^2/s, from the semi-latus rectum
  const double horizontal = h / r;                           // m/s
  const double radial2 = speed2 - horizontal * horizontal;
  const double radial = radial2 > 0 ? std::sqrt(radial2) : 0;  // m/s
  const VECTOR3 up = (1 / r) * position_I;
  const VECTOR3 along = Unit(Cross(normal_I, up));
  return (rising ? radial : -radial) * up + horizontal * along;
}

VECTOR3 MotionPlaneNormal(const VECTOR3& position_I, const VECTOR3& velocity_I) {
  const VECTOR3 h = Cross(position_I, velocity_I);  // m^2/s
  const double length = Length(h);
  if (length > 1e-9 * Length(position_I) * Length(velocity_I) && length > 0)
    return (1 / length) * h;
  return LaunchPlaneNormal(position_I, 90);
}

double TimeToApoapsis(const VECTOR3& position_I, const VECTOR3& velocity_I, double gm) {
  const double r = Length(position_I);
  const double energy = 0.5 * Dot(velocity_I, velocity_I) - gm / r;
  if (energy >= 0) return 0;
  const double a = -gm / (2 * energy);  // m, semi-major axis
  const double radialSpeed = Dot(position_I, velocity_I) / r;
  // Eccentric anomaly from e cos E = 1 - r/a and e sin E = r vr / sqrt(gm a).
  const double ecosE = 1 - r / a;
  const double esinE = r * radialSpeed / std::sqrt(gm * a);
  const double e = std::sqrt(ecosE * ecosE + esinE * esinE);
  if (e < 1e-12) return 0;  // circular: every point is the apoapsis
  const double E = std::atan2(esinE, ecosE);
  const double meanAnomaly = E - esinE;                   // rad, -pi to pi
  const double meanMotion = std::sqrt(gm / (a * a * a));  // rad/s
  return (kPi - meanAnomaly) / meanMotion;
}

bool PlaneThrough(const VECTOR3& position_I, double inclination, bool northward,
                  VECTOR3& normal_I) {
  const LocalHorizon horizon = LocalHorizonAt(position_I);
  const double cosLatitude = Length(Cross(VECTOR3{0, 0, 1}, horizon.up));
  // The heading's sine from north towards east: cos i = cos(latitude) sin(heading).
  const double s = std::cos(inclination) / cosLatitude;
  if (!(s >= -1 - 1e-12 && s <= 1 + 1e-12)) return false;
  const double sinHeading = s < -1 ? -1 : (s > 1 ? 1 : s);
  const double cosHeading = std::sqrt(1 - sinHeading * sinHeading) * (northward ? 1 : -1);
  const VECTOR3 heading = cosHeading * horizon.north + sinHeading * horizon.east;
  normal_I = Unit(Cross(horizon.up, heading));
  return true;
}

Arrival ArrivalOf(const VECTOR3& position_I, const VECTOR3& velocity_I, const TargetOrbit& target,
                  double radius, double gm) {
  const Apsides apsides = ApsidesOf(position_I, velocity_I, gm);
  Arrival arrival;
  arrival.periapsisAltitude = (apsides.periapsis - radius) / 1000;
  arrival.apoapsisAltitude = (apsides.apoapsis - radius) / 1000;
  arrival.inclination = InclinationOf(position_I, velocity_I) / kDegree;
  arrival.periapsisError = arrival.periapsisAltitude - target.periapsisAltitude;
  arrival.apoapsisError = arrival.apoapsisAltitude - target.apoapsisAltitude;
  arrival.inclinationError = target.HasInclination() ? arrival.inclination - target.inclination : 0;
  const double goal = kApsisGoal / 1000;  // km
  arrival.reached = std::fabs(arrival.periapsisError) <= goal &&
                    std::fabs(arrival.apoapsisError) <= goal &&
                    std::fabs(arrival.inclinationError) <= kInclinationGoal;
  return arrival;
}

std::string ArrivalText(const Arrival& arrival, const TargetOrbit& target) {
  char text[200];
  std::snprintf(text, sizeof text, "%.3f x %.3f km at %.4f deg, off by %+.3f and %+.3f km",
                arrival.periapsisAltitude, arrival.apoapsisAltitude, arrival.inclination,
                arrival.periapsisError, arrival.apoapsisError);
  std::string said = text;
  if (target.HasInclination()) {
    std::snprintf(text, sizeof text, " and %+.4f deg", arrival.inclinationError);
    said += text;
  }
  return said;
}

}  // namespace zenthar::guidance
