#pragma once

#include "sim/physics/planet.h"
#include "sim/world/vessel_state.h"

namespace zenthar {

// A vessel at rest on the turning planet keeps its place and attitude in the planet's frame; its
// position, velocity and attitude in the global frame follow from the planet's rotation angle, so
// a vessel that stands for a day is where it stood, to rounding.

/// Anchors a landed vessel to the ground where it is at simulation time t (s): keeps its place and
/// attitude in the planet's frame, so that from its next step on it moves with the ground.
void AnchorToGround(VesselState& vessel, const Planet& planet, double t);

/// Puts a vessel anchored to the ground where the turning planet has carried it at simulation
/// time t (s): position and attitude turned by the rotation angle, velocity omega x r.
void FollowGround(VesselState& vessel, const Planet& planet, double t);

}  // namespace zenthar
