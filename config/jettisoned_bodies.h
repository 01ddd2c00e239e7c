#pragma once

#include "host/vector3.h"
#include "host/vessel.h"
#include "host/vessel_status.h"

namespace vantor {

// Bodies that leave the launcher become host vessels of their own class, placed at their mounting
// point with the launcher's velocity plus a small push in the launcher's frame.

/// Suffix of the released satellite's vessel name.
extern const char SATELLITE_SUFFIX[];

/// Composes the launcher's name followed by the suffix. The suffix is always kept whole; a long
/// launcher name is cut so that the result has at most 255 characters, which keeps the left and
/// right bodies of one launcher apart.
void ComposeVesselName(VESSEL* launcher, const char* suffix, char (&name)[256]);

/// Moves a status record read from the launcher to a point at offset (m, launcher frame) and adds
/// velocity (m/s, launcher frame) to the launcher's velocity. Nothing else in the record changes.
void MakeSeparationStatus(VESSEL* launcher, VESSELSTATUS& status, VECTOR3 offset, VECTOR3 velocity);

/// Creates the left booster, then the right one; shuts the main engine down.
void SeparateBoosters(VESSEL* launcher);

/// Creates the left fairing half, then the right one; the engine is left alone.
void JettisonFairing(VESSEL* launcher);

/// Shuts the main engine down and creates the satellite of the payload's class.
void ReleaseSatellite(VESSEL* launcher);

}  // namespace vantor
