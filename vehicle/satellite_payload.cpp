#include "vehicle/satellite_payload.h"

namespace vantor {

// No satellite until a scenario configures one; the flag outlives vessels, so a launcher loaded
// after another has released its satellite carries none unless its own scenario says so.
SatellitePayload satellitePayload = {"", "", 0.0, {0, 0, 0}, true};

}  // namespace vantor
