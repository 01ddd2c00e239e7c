#pragma once

#include "sim/physics/planet.h"
#include "sim/world/vessel_state.h"

namespace zenthar {

/// Stands the vessel on its touchdown points at the surface point (degrees, in the planet's frame)
/// as the planet stands at simulation time t (s): vessel +z up, +x east, +y north, landed, moving
/// with the ground (omega x r) from then on.
void PlaceOnPad(VesselState& vessel, const Planet& planet, double latitudeDeg, double longitudeDeg,
                double t);

}  // namespace zenthar
