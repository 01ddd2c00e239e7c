#pragma once

#include "host/export.h"
#include "host/handles.h"
#include "host/vessel.h"
#include "host/vessel_status.h"

/// The seven callbacks a vessel module exports; the host resolves them by these names.
extern "C" {
ZENTHAR_EXPORT VESSEL* zvcInit(OBJHANDLE hostVessel, int flightModel);
ZENTHAR_EXPORT void zvcExit(VESSEL* vessel);
ZENTHAR_EXPORT void zvcSetClassCaps(VESSEL* vessel);
ZENTHAR_EXPORT void zvcTimestep(VESSEL* vessel, double simTime);
ZENTHAR_EXPORT int zvcConsumeKey(VESSEL* vessel, const char* keystate);
ZENTHAR_EXPORT void zvcLoadState(VESSEL* vessel, FILEHANDLE scenario, VESSELSTATUS* status);
ZENTHAR_EXPORT void zvcSaveState(VESSEL* vessel, FILEHANDLE scenario);
}
