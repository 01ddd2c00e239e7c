#pragma once

#include "sim/physics/planet.h"
#include "sim/world/vessel_state.h"

namespace zenthar {

/// What happened to a vessel during one integration step.
struct StepOutcome {
  bool propellantExhausted = false;  ///< the main tank reached 0 kg in this step
  bool impacted = false;             ///< came down on the surface in this step
  bool liftedOff = false;            ///< left the ground in this step
};

/// Height of the vessel's origin above the planet's surface (m).
double Altitude(const VesselState& vessel, const Planet& planet);

/// Caches the air at the vessel's altitude (atmPressure, atmDensity, atmTemperature) for this
/// frame.
void UpdateEnvironment(VesselState& vessel, const Planet& planet);

/// Main engine thrust (N): level x max thrust while the tank holds propellant, plus the main-thrust
/// modifier, never below zero.
double MainThrust(const VesselState& vessel);

/// Advances the vessel's motion and propellant from t to t + dt (s).
StepOutcome Integrate(VesselState& vessel, const Planet& planet, double dt);

}  // namespace zenthar
