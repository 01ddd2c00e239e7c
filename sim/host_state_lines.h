#pragma once

#include "host/vessel_status.h"
#include "sim/scenario_stream.h"
#include "sim/vessel_state.h"

// The host's own lines of a vessel block: its state as the status record carries it. No key begins
// with a module key (CONFIGURATION, ITIME, BOOSTER_IGNITED, SAT_, SHROUD), compared without case.

/// The vessel's status record: position, velocity, angular velocity, attitude angles, tank level,
/// engine levels, landed flag.
VESSELSTATUS StatusOf(const VesselState& vessel);

/// Puts a status record into effect: motion, attitude, engine levels, landed flag, and the tank
/// filled to the record's level of the vessel's capacity.
void ApplyStatus(VesselState& vessel, const VESSELSTATUS& status);

/// Writes the status as host lines.
void WriteHostState(const VesselState& vessel, ScenarioStream& stream);

/// Reads one host line into the status; false when the line is not a host line. The line
/// "PAD latitude longitude" (degrees) asks the host to stand the vessel on its touchdown points at
/// that surface point once its block has been read; it is kept in the vessel's record.
bool ParseHostStateLine(const char* line, VESSELSTATUS& status, VesselState& vessel);
