#pragma once

namespace vantor {

// The satellite's scenario lines, which both configurations read the same way: the module-wide
// satellite record lives across configurations and vessels.

/// Reads a satellite key (SAT_JETTISONED, SAT_OFS_X, SAT_OFS_Y, SAT_OFS_Z, SAT_NAME, SAT_MESH,
/// SAT_MASS, tested in this order) into the satellite record. False when the line carries none.
bool ParseSatelliteLine(const char* line);

}  // namespace vantor
