#pragma once

#include <string>

#include "host/vector3.h"
#include "sim/guidance/target_orbit.h"

namespace zenthar::guidance {

/// m: how close to the target's apsides the satellite's orbit counts as reached ...
constexpr double kApsisGoal = 2000;
/// ... and deg, to a target inclination.
constexpr double kInclinationGoal = 0.1;

// Two-body orbit geometry around the planet's centre, in the inertial global frame: what the
// guidance aims at and measures. Radii are from the planet's centre (m), velocities in m/s.

/// The periapsis and apoapsis radii of the orbit through a state; the apoapsis is infinite on an
/// escape path.
struct Apsides {
  double periapsis;  ///< m, from the planet's centre
  double apoapsis;   ///< m
};
Apsides ApsidesOf(const VECTOR3& position_I, const VECTOR3& velocity_I, double gm);

/// rad, 0 to pi: the tilt of the orbit plane to the planet's equator (the global xy plane).
double InclinationOf(const VECTOR3& position_I, const VECTOR3& velocity_I);

/// m^2/s^2: the orbit's specific energy.
double EnergyOf(const VECTOR3& position_I, const VECTOR3& velocity_I, double gm);

/// The velocity at `position_I` on the orbit with apsis radii `periapsis` <= `apoapsis` (m) in the
/// plane of unit normal `normal_I` (perpendicular to the position), moving prograde about the
/// normal and away from the planet when `rising`. A position below the periapsis or above the
/// apoapsis becomes that apsis itself, so the answer is the nearest orbit the position allows.
VECTOR3 OrbitVelocityAt(const VECTOR3& position_I, double periapsis, double apoapsis,
                        const VECTOR3& normal_I, bool rising, double gm);

/// The unit normal of the plane a vessel moves in, prograde about it: along r x v, or, for a
/// vessel at rest or moving straight up or down, the plane that heads east from where it is.
VECTOR3 MotionPlaneNormal(const VECTOR3& position_I, const VECTOR3& velocity_I);

/// s: how long a vessel coasting from the state takes to reach its apoapsis (0 on an escape path).
double TimeToApoapsis(const VECTOR3& position_I, const VECTOR3& velocity_I, double gm);

/// The unit normal of the plane through the position with the given inclination (rad) whose
/// direction of motion at the position heads north (towards +z) when `northward`, or south.
/// False when no such plane exists: the inclination is below the position's latitude (or above
/// 180 degrees less it).
bool PlaneThrough(const VECTOR3& position_I, double inclination, bool northward, VECTOR3& normal_I);

/// How an orbit compares with a target: the errors of its apsides and inclination, and whether
/// they are within the guidance's goal (kApsisGoal, kInclinationGoal).
struct Arrival {
  double periapsisAltitude;  ///< km above the surface (radius, m)
  double apoapsisAltitude;   ///< km; infinite on an escape path
  double inclination;        ///< deg
  double periapsisError;     ///< km, the orbit's less the target's
  double apoapsisError;      ///< km
  double inclinationError;   ///< deg; 0 when the target asks for none
  bool reached;
};
Arrival ArrivalOf(const VECTOR3& position_I, const VECTOR3& velocity_I, const TargetOrbit& target,
                  double radius, double gm);

/// "499.998 x 500.003 km at 5.2000 deg, off by -0.002 and +0.003 km": an arrival as reports give
/// it; the inclination's error too when the target asks for one.
std::string ArrivalText(const Arrival& arrival, const TargetOrbit& target);

}  // namespace zenthar::guidance
