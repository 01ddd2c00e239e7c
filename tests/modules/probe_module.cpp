// A minimal vessel module for the host's own tests: it reacts to E by setting the main engine to
// full in its next time step, and records what it sees in the host's journal through its calls.
#include "host/callbacks.h"
#include "host/zapi.h"

namespace {
bool igniteRequested = false;
}  // namespace

VESSEL* zvcInit(OBJHANDLE hostVessel, int flightModel) {
  igniteRequested = false;
  return new VESSEL(hostVessel, flightModel);
}

void zvcExit(VESSEL* vessel) {
  delete vessel;
}

void zvcSetClassCaps(VESSEL* vessel) {
  vessel->SetEmptyMass(1000);
  vessel->SetMaxFuelMass(500);
  vessel->SetISP(3000);
  vessel->SetMaxThrust(ENGINE_MAIN, 20000);
}

void zvcTimestep(VESSEL* vessel, double /*simTime*/) {
  if (!igniteRequested) return;
  igniteRequested = false;
  vessel->SetEngineLevel(ENGINE_MAIN, 1.0);
}

int zvcConsumeKey(VESSEL* /*vessel*/, const char* keystate) {
  if (!(keystate[0x12] & 0x80) || !zapiAcceptDelayedKey(0x12, 1.0)) return 0;
  igniteRequested = true;
  return 1;
}

void zvcLoadState(VESSEL* vessel, FILEHANDLE scenario, VESSELSTATUS* status) {
  zvcSetClassCaps(vessel);
  char* line = nullptr;
  while (zapiReadScenario_nextline(scenario, line)) vessel->ParseScenarioLine(line, status);
}

void zvcSaveState(VESSEL* vessel, FILEHANDLE scenario) {
  vessel->SaveDefaultState(scenario);
  zapiWriteScenario_int(scenario, "PROBE", 1);
}
