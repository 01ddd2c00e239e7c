#pragma once

#include "sim/physics/planet.h"
#include "sim/world/vessel_state.h"

namespace zenthar {

/// What happened to a vessel during one integration step. A bit each: it comes back from every
/// vessel's step in every frame, in a register as a whole rather than byte by byte through memory.
struct StepOutcome {
  bool propellantExhausted : 1;  ///< the main tank reached 0 kg in this step
  bool impacted : 1;             ///< came down on the surface in this step
  bool liftedOff : 1;            ///< left the ground in this step
};

/// Height of the vessel's origin above the planet's surface (m).
double Altitude(const VesselState& vessel, const Planet& planet);

/// Caches the air at the vessel's altitude (atmPressure, atmDensity, atmTemperature) for this
/// frame.
void UpdateEnvironment(VesselState& vessel, const Planet& planet);

/// Main engine thrust (N): level x max thrust while the tank holds propellant, plus the main-thrust
/// modifier, never below zero.
double MainThrust(const VesselState& vessel);

/// kg/s the main engine takes from the tank: its thrust before the modifier over the exhaust
/// velocity; 0 without thrust or without an exhaust velocity.
double MainFlow(const VesselState& vessel);

/// N, global frame: the air's force on the vessel, -1/2 rho |u| u', with u its velocity relative
/// to the air that turns with the planet, in the vessel frame, and u'_i = cw_i A_i u_i (cw_z for
/// the sign of u_z; A its cross-sections, or pi size^2 along every axis). Zero where there is no
/// air or the vessel moves with it.
VECTOR3 DragForce(const VesselState& vessel, const Planet& planet);

/// m^2, seen along the vessel's x, y and z axes: its cross-sections, or pi size^2 along every axis
/// when its class gives none.
VECTOR3 DragAreas(const VesselState& vessel);

/// m/s^2, global frame: the air's drag on a body over a stretch of h (s) at a mass (kg), as the
/// host integrates it: air of `density` (kg/m^3) meets the body, turned by `attitude` (vessel to
/// global frame) and moving at `air_I` (m/s, global frame) relative to it, along each of its axes
/// with that axis's coefficient (`cw` along +z, -z, x, y) and area (`area`, m^2 along x, y, z).
/// Along each axis drag may stop the body against the air within the stretch but never reverse it.
VECTOR3 DragAcceleration(const Matrix3& attitude, const VECTOR3& air_I, double density,
                         const double cw[4], const VECTOR3& area, double mass, double h);

/// Advances the vessel's motion and propellant from simulation time t to t + dt (s). A landed
/// vessel that does not lift off moves with the turning ground; one that comes down comes to rest
/// on it.
StepOutcome Integrate(VesselState& vessel, const Planet& planet, double t, double dt);

}  // namespace zenthar
