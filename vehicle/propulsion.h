#pragma once

#include "host/vessel.h"

/// Pa: the ambient pressure at which a rocket delivers its sea-level thrust.
extern const double REFERENCE_PRESSURE;
/// 1/Pa: 1 / REFERENCE_PRESSURE, applied as a multiplication.
extern const double REFERENCE_PRESSURE_RECIPROCAL;

/// N: a rocket's thrust at the vessel's ambient pressure, on the straight line through its vacuum
/// thrust (0 Pa) and its sea-level thrust (REFERENCE_PRESSURE), continued beyond both.
double ThrustAtPressure(VESSEL* vessel, double seaLevelThrust, double vacuumThrust);

/// Sets the host's main-thrust modifier to the pressure correction of one engine rated at its
/// vacuum thrust: 0 in vacuum, negative in the atmosphere when the sea-level thrust is lower.
void ApplyPressureThrust(VESSEL* vessel, double seaLevelThrust, double vacuumThrust);

/// N: the sea-level thrust, vacuumThrust scaled by the ratio of the sea-level to the vacuum
/// exhaust velocity (m/s). propellantMass (kg) cancels out but fixes the last digit; it must not
/// be zero.
double SeaLevelThrust(double vacuumThrust, double vacuumExhaustVelocity,
                      double seaLevelExhaustVelocity, double propellantMass);

/// Writes the profile's times and slopes for a burn time (s); the burn time must exceed 25 s.
void BuildBoosterProfile(double burnTime);

/// The thrust and remaining-propellant fractions at t s after booster ignition. A time on a
/// breakpoint is taken from the segment that ends there; times outside the profile continue its
/// first or last segment.
void SampleBoosterProfile(double t, double& thrustFraction, double& propellantFraction);
