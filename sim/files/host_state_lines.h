#pragma once

#include <string>

#include "host/vessel_status.h"
#include "sim/files/scenario_stream.h"
#include "sim/physics/planet.h"
#include "sim/world/vessel_state.h"

namespace zenthar {

// The host's own lines of a vessel block: its state as the status record carries it. No key begins
// with a module key (CONFIGURATION, ITIME, BOOSTER_IGNITED, SAT_, SHROUD), compared without case.

/// The vessel's status record: position, velocity, angular velocity, attitude angles, tank level,
/// engine levels, landed flag, and the planet as the reference body.
VESSELSTATUS StatusOf(const VesselState& vessel, const Planet& planet);

/// Puts a status record into effect: motion, attitude, engine levels, landed flag, and the tank
/// filled to the record's level of the vessel's capacity.
void ApplyStatus(VesselState& vessel, const VESSELSTATUS& status);

/// Writes the status as host lines, saved at simulation time `time` (s): a pitch program goes on
/// from there.
void WriteHostState(const VesselState& vessel, const Planet& planet, double time,
                    ScenarioStream& stream);

/// Reads one host line of a vessel block into the status: the text up to its comment, key and
/// values, each value within its range (docs/SCENARIO.md). A line that is empty once its comment
/// is stripped reads as nothing. False, with "KEY: expected ..., found ..." or "unknown line", when
/// the line is not a host line or a value cannot be read or flown; the status is then unchanged.
/// The line "PAD latitude longitude" (degrees) asks the host to stand the vessel on its touchdown
/// points at that surface point once its block has been read; it is kept in the vessel's record.
bool ReadHostStateLine(const char* line, VESSELSTATUS& status, VesselState& vessel,
                       const Planet& planet, std::string& error);

/// Whether a status lies within the host's limits: position, velocity, angular velocity,
/// attitude and levels each in its range, the position no deeper below the surface of the planet
/// (of the given radius, m) than kBelowSurfaceAllowed. False with "position ...: expected ..."
/// otherwise.
bool StatusFits(const VESSELSTATUS& status, double radius, std::string& why);

/// Whether a line carries a module key (CONFIGURATION, ITIME, BOOSTER_IGNITED, SAT_, SHROUD),
/// compared as the module compares them: without regard to case over the key's length.
bool BeginsWithModuleKey(const char* line);

/// The satellite class a SAT_NAME line names, read as the module reads it: the first word after
/// the key, at most 255 characters; empty when the line is no SAT_NAME line or names nothing.
std::string SatelliteClassNamed(const std::string& line);

}  // namespace zenthar
