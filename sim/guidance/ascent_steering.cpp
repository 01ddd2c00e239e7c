#include "sim/guidance/ascent_steering.h"

#include <cmath>

#include "sim/physics/ground_point.h"

namespace zenthar::guidance {

namespace {

const double kKickStart = 40;  // m/s relative to the air: straight up until then
const double kKickSpan = 40;   // m/s more to tip over by the whole kick

}  // namespace

Matrix3 AttitudeAlong(const VECTOR3& nose_I, const VECTOR3& across_I) {
  const VECTOR3 z = Unit(nose_I);
  VECTOR3 y = across_I - Dot(across_I, z) * z;
  // Across along the nose says nothing of the roll: any side will do.
  if (Length(y) < 1e-9 * Length(across_I))
    y = Cross(z, std::fabs(z.x) < 0.9 ? VECTOR3{1, 0, 0} : VECTOR3{0, 1, 0});
  y = Unit(y);
  const VECTOR3 x = Cross(y, z);
  return {{{x.x, y.x, z.x}, {x.y, y.y, z.y}, {x.z, y.z, z.z}}};
}

VECTOR3 BoosterNose(const VECTOR3& position_I, const VECTOR3& airVelocity_I,
                    const BoosterSteering& steering) {
  const LocalHorizon horizon = LocalHorizonAt(position_I);
  const double speed = Length(airVelocity_I);
  if (speed <= kKickStart) return horizon.up;
  const double ramp = speed < kKickStart + kKickSpan ? (speed - kKickStart) / kKickSpan : 1;
  const double leastTilt = steering.kick * ramp;        // rad
  const double climb = Dot(airVelocity_I, horizon.up);  // m/s
  const double across = Length(airVelocity_I - climb * horizon.up);
  // Once tipped over the whole kick, the nose follows the air as soon as the flight path has
  // come down as far.
  if (ramp == 1 && std::atan2(across, climb) >= leastTilt) return (1 / speed) * airVelocity_I;
  const VECTOR3 towards = horizon.Towards(steering.heading);
  return std::cos(leastTilt) * horizon.up + std::sin(leastTilt) * towards;
}

VECTOR3 BoosterAcross(const VECTOR3& position_I, const BoosterSteering& steering) {
  const LocalHorizon horizon = LocalHorizonAt(position_I);
  const VECTOR3 towards = horizon.Towards(steering.heading);
  return Cross(horizon.up, towards);
}

SteeringLaw SteeringLaw::At(double t) const {
  SteeringLaw moved = *this;
  moved.epoch = t;
  moved.pitch = pitch + pitchRate * (t - epoch);
  moved.yaw = yaw + yawRate * (t - epoch);
  return moved;
}

VECTOR3 CoreNose(const VECTOR3& position_I, double t, const SteeringLaw& law) {
  const VECTOR3 up = Unit(position_I);
  const VECTOR3 along = Unit(Cross(law.normal_I, up));
  const double pitch = law.pitch + law.pitchRate * (t - law.epoch);
  const double yaw = law.yaw + law.yawRate * (t - law.epoch);
  return Unit(along + pitch * up + yaw * law.normal_I);
}

}  // namespace zenthar::guidance
