#include "sim/physics/attitude_control.h"

#include <cmath>

#include "sim/physics/ground_point.h"
#include "sim/physics/physical_constants.h"
#include "sim/physics/steering.h"
#include "sim/physics/vec_math.h"

namespace zenthar {

namespace {

/// deg from north towards east, 0 to 360, of a direction with a horizontal part.
double HeadingOf(const VECTOR3& direction, const LocalHorizon& frame) {
  const double heading =
      std::atan2(Dot(direction, frame.east), Dot(direction, frame.north)) / kDegree;
  return heading < 0 ? heading + 360 : heading;
}

/// deg above the horizon of a unit direction.
double ElevationOf(const VECTOR3& unit, const LocalHorizon& frame) {
  const double sine = Dot(unit, frame.up);
  return std::asin(sine > 1 ? 1 : (sine < -1 ? -1 : sine)) / kDegree;
}

void HoldPrograde(VesselState& vessel) {
  const double speed = Length(vessel.velocity);
  if (!(speed > 1e-3)) return;  // at rest there is no prograde
  const LocalHorizon frame = LocalHorizonAt(vessel.position);
  const VECTOR3 along = (1 / speed) * vessel.velocity;
  const VECTOR3 horizontal = along - Dot(along, frame.up) * frame.up;
  const double heading =
      Length(horizontal) > 1e-9 ? HeadingOf(horizontal, frame) : NoseOf(vessel).heading;
  PointNose(vessel, ElevationOf(along, frame), heading);
}

}  // namespace

NoseDirection NoseOf(const VesselState& vessel) {
  const LocalHorizon frame = LocalHorizonAt(vessel.position);
  const Matrix3& r = vessel.attitude;
  const VECTOR3 nose{r.m[0][2], r.m[1][2], r.m[2][2]};
  const VECTOR3 across{r.m[0][1], r.m[1][1], r.m[2][1]};
  const VECTOR3 horizontal = nose - Dot(nose, frame.up) * frame.up;
  // Straight up, the heading is the one the y axis is across from.
  const VECTOR3 towards = Length(horizontal) > 1e-9 ? horizontal : Cross(across, frame.up);
  return {ElevationOf(nose, frame), HeadingOf(towards, frame)};
}

void PointNose(VesselState& vessel, double elevation, double heading) {
  const LocalHorizon frame = LocalHorizonAt(vessel.position);
  const VECTOR3 horizontal = frame.Towards(heading * kDegree);
  // As the pitch program turns it: y across the heading.
  vessel.attitude = PitchedAttitude(frame.up, horizontal, elevation * kDegree);
}

bool HasAutopilot(const VesselState& vessel) {
  return vessel.target.given() || !vessel.pitch.points.empty();
}

bool AutopilotFliesEngine(const VesselState& vessel) {
  return vessel.target.given() && vessel.attitudeMode == AttitudeMode::kAutopilot;
}

void SteerVessel(VesselState& vessel, double t) {
  if (vessel.landed) return;
  switch (vessel.attitudeMode) {
    case AttitudeMode::kAutopilot:
      // The guidance to a target orbit steers in the world's frame, with its keys.
      if (!vessel.target.given()) SteerToProgram(vessel, t);
      return;
    case AttitudeMode::kPrograde:
      HoldPrograde(vessel);
      return;
    case AttitudeMode::kHeld:
      return;
  }
}

}  // namespace zenthar
