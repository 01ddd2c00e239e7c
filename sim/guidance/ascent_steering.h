#pragma once

#include "host/vector3.h"
#include "sim/physics/vec_math.h"

namespace zenthar::guidance {

// Where the guidance points the launcher: the two laws it steers the ascent by, and the attitude
// that points the nose, shared by the real flight and the model flights that plan it (the air
// meets each of the launcher's axes differently, so the model turns it as the flight does).

/// The attitude (vessel frame to global frame) whose z axis is the nose and whose y axis lies as
/// near `across_I` as the nose allows; any side when `across_I` lies along the nose.
Matrix3 AttitudeAlong(const VECTOR3& nose_I, const VECTOR3& across_I);

/// The booster burn: straight up, tipped over by the kick angle towards a heading as the launcher
/// gathers speed, then along its velocity relative to the air (a gravity turn, which keeps the
/// air on the nose).
struct BoosterSteering {
  double kick;     ///< rad from the vertical
  double heading;  ///< rad from north towards east, relative to the ground
};

/// Unit nose direction in the global frame for a launcher at `position_I` moving at
/// `airVelocity_I` relative to the air.
VECTOR3 BoosterNose(const VECTOR3& position_I, const VECTOR3& airVelocity_I,
                    const BoosterSteering& steering);

/// The launcher's side during the booster burn: horizontal, across the heading.
VECTOR3 BoosterAcross(const VECTOR3& position_I, const BoosterSteering& steering);

/// The core stage's burn: the tangents of the pitch above the local horizontal and of the yaw out
/// of a plane change linearly with time (the law that minimises the propellant to reach a state in
/// a uniform field). The launcher's side lies along the plane's normal.
struct SteeringLaw {
  double epoch = 0;           ///< s, when the tangents have their base values
  double pitch = 0;           ///< tangent of the pitch at the epoch
  double pitchRate = 0;       ///< 1/s
  double yaw = 0;             ///< tangent of the yaw towards the normal at the epoch
  double yawRate = 0;         ///< 1/s
  VECTOR3 normal_I{0, 0, 1};  ///< unit normal of the plane flown in, prograde about it

  /// The same law with its epoch moved to t.
  SteeringLaw At(double t) const;
};

/// Unit nose direction in the global frame at `position_I` and time t (s).
VECTOR3 CoreNose(const VECTOR3& position_I, double t, const SteeringLaw& law);

}  // namespace zenthar::guidance
