#pragma once

#include "sim/physics/planet.h"
#include "sim/world/vessel_state.h"

namespace zenthar {

/// Places the vessel standing on its touchdown points at the surface point (degrees), vessel +z
/// pointing up, at rest and landed.
void PlaceOnPad(VesselState& vessel, const Planet& planet, double latitudeDeg, double longitudeDeg);

}  // namespace zenthar
