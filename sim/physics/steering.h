#pragma once

#include "host/vector3.h"
#include "sim/physics/vec_math.h"
#include "sim/world/vessel_state.h"

namespace zenthar {

/// The unit normal (global frame) of the plane through the planet's centre that holds a position
/// (m, global frame) and the direction of a heading there (deg from north towards east): the
/// launch plane of a pitch program that lifts off there. The heading's direction is normal x up.
VECTOR3 LaunchPlaneNormal(const VECTOR3& position_I, double headingDeg);

/// The attitude whose nose (z) points at an elevation (rad) above the horizon towards `along`, with
/// y across that direction and x completing the frame: `up` and `along` are unit vectors (global
/// frame), along on the horizon. At elevation 90 deg towards east that is x east, y north, z up.
Matrix3 PitchedAttitude(const VECTOR3& up, const VECTOR3& along, double elevationRad);

/// Turns a flying vessel with a pitch program to the program's elevation at time t (s) above the
/// local horizon, in its launch plane (taken from its position and heading first when it has
/// none yet); on the ground, or without a program, the vessel keeps its attitude.
void SteerToProgram(VesselState& vessel, double t);

}  // namespace zenthar
