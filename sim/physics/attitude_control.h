#pragma once

#include "sim/world/vessel_state.h"

namespace zenthar {

// The host points a flying vessel's nose: by its autopilot, by prograde hold, or where the pilot's
// attitude controls leave it (AttitudeMode). On the ground a vessel stands as it is.

/// Where a vessel's nose points, seen from where the vessel is.
struct NoseDirection {
  double elevation;  ///< deg above the local horizon, 90 = straight up
  double heading;    ///< deg from north towards east, 0 to 360
};

/// The nose's direction. Straight up or down the heading is the one the vessel's y axis leaves
/// (as the pitch program and PointNose set it: across the plane of the ascent).
NoseDirection NoseOf(const VesselState& vessel);

/// Turns the vessel so that its nose points at an elevation and heading (deg), its y axis
/// horizontal and across that heading, as the pitch program turns it.
void PointNose(VesselState& vessel, double elevation, double heading);

/// Whether the vessel has an autopilot to engage: the guidance to its target orbit, else its pitch
/// program.
bool HasAutopilot(const VesselState& vessel);

/// Whether its autopilot flies the main engine as well as the attitude now: the guidance to a
/// target orbit, switched on.
bool AutopilotFliesEngine(const VesselState& vessel);

/// At the start of the frame at time t (s): points a flying vessel as its attitude mode says; the
/// autopilot without anything to fly, a held attitude, and a vessel on the ground stay as they are.
/// The guidance to a target orbit is flown by the world (sim/guidance/autopilot.h), not here.
void SteerVessel(VesselState& vessel, double t);

}  // namespace zenthar
