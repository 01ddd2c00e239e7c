#pragma once

#include "host/export.h"
#include "host/handles.h"

/// Next line of the vessel's scenario block; false at the end of the block. The line stays the
/// host's and may be modified until the next call.
ZENTHAR_EXPORT bool zapiReadScenario_nextline(FILEHANDLE scenario, char*& line);
ZENTHAR_EXPORT void zapiWriteScenario_int(FILEHANDLE scenario, const char* key, int value);
ZENTHAR_EXPORT void zapiWriteScenario_float(FILEHANDLE scenario, const char* key, double value);
ZENTHAR_EXPORT void zapiWriteScenario_string(FILEHANDLE scenario, const char* key,
                                             const char* value);

/// True when the key (set-1 scan code) was not accepted within the last interval seconds of
/// simulation time; records the acceptance.
ZENTHAR_EXPORT bool zapiAcceptDelayedKey(int key, double interval);

/// The vessel of that name, or null.
ZENTHAR_EXPORT OBJHANDLE zapiGetVesselByName(const char* name);
ZENTHAR_EXPORT void zapiSetFocusObject(OBJHANDLE vessel);
