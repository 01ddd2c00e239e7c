#include "sim/world/host_controls.h"

#include <cmath>

#include "host/engine_types.h"
#include "sim/physics/attitude_control.h"
#include "sim/world/world.h"

namespace zenthar {

namespace {

/// The main engine's level after a press: whole tenths, 0 to 1.
double Stepped(double level, double step) {
  const double next = std::round((level + step) * 10) / 10;
  return next < 0 ? 0 : (next > 1 ? 1 : next);
}

/// The pilot turns the nose: autopilot and prograde hold let go. A vessel on the ground stands as
/// it is.
void Turn(VesselState& vessel, double elevationStep, double headingStep) {
  vessel.attitudeMode = AttitudeMode::kHeld;
  if (vessel.landed) return;
  const NoseDirection nose = NoseOf(vessel);
  const double elevation = nose.elevation + elevationStep;
  PointNose(vessel, elevation > 90 ? 90 : (elevation < -90 ? -90 : elevation),
            nose.heading + headingStep);
}

void FocusNext(World& world) {
  const auto& vessels = world.vessels();
  if (vessels.empty()) return;
  std::size_t next = 0;
  for (std::size_t i = 0; i < vessels.size(); ++i)
    if (vessels[i].get() == world.focus()) next = (i + 1) % vessels.size();
  world.SetFocus(vessels[next].get());
}

}  // namespace

void ApplyHostControl(World& world, HostControl control) {
  if (control == HostControl::kFocusNext) return FocusNext(world);
  VesselState* vessel = world.focus();
  if (!vessel) return;
  double& level = vessel->engineLevel[ENGINE_MAIN];
  AttitudeMode& mode = vessel->attitudeMode;
  // The pilot's hand on the engine takes the launcher from a guidance that flies it.
  const bool engine = control == HostControl::kEngineUp || control == HostControl::kEngineDown ||
                      control == HostControl::kEngineFull || control == HostControl::kEngineCut;
  if (engine && AutopilotFliesEngine(*vessel)) mode = AttitudeMode::kHeld;
  switch (control) {
    case HostControl::kEngineUp:
      level = Stepped(level, kEngineLevelStep);
      break;
    case HostControl::kEngineDown:
      level = Stepped(level, -kEngineLevelStep);
      break;
    case HostControl::kEngineFull:
      level = 1;
      break;
    case HostControl::kEngineCut:
      level = 0;
      break;
    case HostControl::kPitchUp:
      return Turn(*vessel, kAttitudeStep, 0);
    case HostControl::kPitchDown:
      return Turn(*vessel, -kAttitudeStep, 0);
    case HostControl::kHeadingLeft:
      return Turn(*vessel, 0, -kAttitudeStep);
    case HostControl::kHeadingRight:
      return Turn(*vessel, 0, kAttitudeStep);
    case HostControl::kAutopilot:
      // Without an autopilot there is nothing to switch; switched off, the attitude is held.
      if (HasAutopilot(*vessel))
        mode = mode == AttitudeMode::kAutopilot ? AttitudeMode::kHeld : AttitudeMode::kAutopilot;
      break;
    case HostControl::kPrograde:
      mode = mode == AttitudeMode::kPrograde ? AttitudeMode::kHeld : AttitudeMode::kPrograde;
      break;
    case HostControl::kFocusNext:
      break;
  }
}

}  // namespace zenthar
