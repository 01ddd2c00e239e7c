#pragma once

#include "sim/world/vessel_state.h"

namespace zenthar {

/// Turns a flying vessel with a pitch program to the program's elevation and heading at time t
/// (s); on the ground, or without a program, the vessel keeps its attitude.
void SteerToProgram(VesselState& vessel, double t);

}  // namespace zenthar
