// A vessel module that lacks zvcSaveState: the host's loader must refuse it.
#include "host/callbacks.h"

VESSEL* zvcInit(OBJHANDLE hostVessel, int flightModel) {
  return new VESSEL(hostVessel, flightModel);
}
void zvcExit(VESSEL* vessel) {
  delete vessel;
}
void zvcSetClassCaps(VESSEL*) {}
void zvcTimestep(VESSEL*, double) {}
int zvcConsumeKey(VESSEL*, const char*) {
  return 0;
}
void zvcLoadState(VESSEL*, FILEHANDLE, VESSELSTATUS*) {}
