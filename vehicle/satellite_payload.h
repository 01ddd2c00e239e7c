#pragma once

#include "host/vector3.h"

namespace vantor {

/// The one satellite the launcher carries. Module-wide: every launcher the module serves shares
/// it, so the last writer wins.
struct SatellitePayload {
  char className[256];  ///< vessel class of the released satellite, NUL-terminated
  char meshName[256];   ///< mesh drawn while the satellite is aboard, NUL-terminated
  double mass;          ///< kg, added to the launcher's empty mass while aboard
  VECTOR3 offset;       ///< m, vessel frame: where the mesh is drawn and the satellite released
  bool jettisoned;      ///< no satellite aboard: released, or none configured
};

extern SatellitePayload satellitePayload;

}  // namespace vantor
