#include "config/core_configuration.h"

#include "config/jettisoned_bodies.h"
#include "host/engine_types.h"
#include "host/handles.h"
#include "host/zapi.h"
#include "vehicle/meshes.h"
#include "vehicle/parameters.h"
#include "vehicle/propulsion.h"
#include "vehicle/satellite_payload.h"

namespace vantor {

namespace {

// The user flies the satellite from here on; no vessel of that name (its class unknown to the
// host, say) leaves the focus where it was.
void FocusSatellite(VESSEL* launcher) {
  char name[256];
  ComposeVesselName(launcher, SATELLITE_SUFFIX, name);
  OBJHANDLE satellite = zapiGetVesselByName(name);
  if (satellite != nullptr) zapiSetFocusObject(satellite);
}

}  // namespace

void CoreConfiguration::Init() {
  InitCommon();
  fairingJettisoned = false;
}

void CoreConfiguration::SetClassCaps(VESSEL* vessel, double) {
  // The fairing halves' mass stays in the empty mass after they have gone; only their meshes go.
  ApplyCommonCaps(vessel, 2 * FAIRING_HALF_MASS + CORE_DRY_MASS, MAIN_EXHAUST_POS.z);
  AddCoreMeshes(vessel);
  AddSatelliteAboard(vessel);
}

// Exhausted means exactly 0 kg: the host stops the tank at 0.0, and any propellant left, however
// little, still burns.
void CoreConfiguration::Timestep(VESSEL* vessel, double simTime) {
  if (StepTakenByRequests(vessel, simTime)) return;
  if (vessel->GetFuelMass() == 0.0 || jettisonRequested) {
    JettisonStep(vessel, simTime);
    return;
  }
  StepThrustUpdate(vessel, simTime);
}

void CoreConfiguration::StepThrustUpdate(VESSEL* vessel, double) {
  ApplyPressureThrust(vessel, thrustSeaLevel, thrustVacuum);
}

void CoreConfiguration::AddCoreMeshes(VESSEL* vessel) const {
  AddMainMesh(vessel);
  if (fairingJettisoned) return;
  AddLeftFairingMesh(vessel);
  AddRightFairingMesh(vessel);
}

// One body per jettison step, the fairing before the satellite. The step makes no thrust update:
// the host keeps the modifier it last had.
void CoreConfiguration::JettisonStep(VESSEL* vessel, double simTime) {
  jettisonRequested = false;
  if (!fairingJettisoned) {
    DropFairing(vessel, simTime);
    return;
  }
  if (!satellitePayload.jettisoned) ReleaseSatelliteWithFocus(vessel, simTime);
}

void CoreConfiguration::DropFairing(VESSEL* vessel, double simTime) {
  JettisonFairing(vessel);
  fairingJettisoned = true;
  SetClassCaps(vessel, simTime);
}

void CoreConfiguration::ReleaseSatelliteWithFocus(VESSEL* vessel, double simTime) {
  ReleaseSatellite(vessel);
  satellitePayload.jettisoned = true;
  SetClassCaps(vessel, simTime);
  vessel->SetEngineLevel(ENGINE_MAIN, 0.0);
  FocusSatellite(vessel);
}

}  // namespace vantor
