#include "config/launcher_configuration.h"

#include "host/engine_types.h"
#include "host/vector3.h"
#include "host/zapi.h"
#include "vehicle/parameters.h"
#include "vehicle/propulsion.h"
#include "vehicle/satellite_payload.h"

namespace vantor {

namespace {

// Keyboard state: 256 bytes indexed by DirectInput key code, bit 7 set while the key is down.
const int KEY_LEFT_SHIFT = 0x2A;
const int KEY_RIGHT_SHIFT = 0x36;
const int KEY_LEFT_CONTROL = 0x1D;
const int KEY_RIGHT_CONTROL = 0x9D;
const int KEY_JETTISON = 0x24;  // J
const int KEY_IGNITE = 0x12;    // E
const unsigned char KEY_DOWN = 0x80;

const double KEY_REPEAT_DELAY = 1.0;  // s, before the host accepts the same key again

const double STAGE_SIZE = 15.0;          // m, mean radius
const double COG_ELEVATION = 13.0;       // m, above the touchdown plane
const double ATTITUDE_THRUST = 50000.0;  // N
const double MAIN_FLAME_LENGTH = 10.0;   // flame length scale
const double MAIN_FLAME_WIDTH = 1.0;     // flame width scale
const VECTOR3 MAIN_FLAME_DIRECTION = {0, 0, -1.0};
const VECTOR3 ROTATION_DRAG = {2.0, 2.0, 2.0};

bool KeyDown(const char* keystate, int key) {
  return (static_cast<unsigned char>(keystate[key]) & KEY_DOWN) != 0;
}

// Shift or Control held turns the command keys into someone else's shortcuts.
bool ModifierDown(const char* keystate) {
  return KeyDown(keystate, KEY_LEFT_SHIFT) || KeyDown(keystate, KEY_RIGHT_SHIFT) ||
         KeyDown(keystate, KEY_LEFT_CONTROL) || KeyDown(keystate, KEY_RIGHT_CONTROL);
}

// A command key counts as handled even when the host holds it back, so that nothing else acts on
// the same press.
int RequestOnKey(int key, bool& request) {
  if (zapiAcceptDelayedKey(key, KEY_REPEAT_DELAY)) request = true;
  return 1;
}

}  // namespace

int LauncherConfiguration::ConsumeKey(VESSEL*, const char* keystate) {
  if (ModifierDown(keystate)) return 0;
  if (KeyDown(keystate, KEY_JETTISON)) return RequestOnKey(KEY_JETTISON, jettisonRequested);
  if (KeyDown(keystate, KEY_IGNITE)) return RequestOnKey(KEY_IGNITE, igniteRequested);
  return 0;
}

void LauncherConfiguration::InitCommon() {
  jettisonRequested = false;
  igniteRequested = false;
  skipNextStep = false;
  thrustSeaLevel =
      SeaLevelThrust(CORE_THRUST_VACUUM, CORE_ISP_VACUUM, CORE_ISP_SEA_LEVEL, CORE_PROPELLANT_MASS);
  thrustVacuum = CORE_THRUST_VACUUM;
}

bool LauncherConfiguration::ActOnRequests(VESSEL* vessel, double simTime) {
  if (igniteRequested) {
    vessel->SetEngineLevel(ENGINE_MAIN, 1.0);
    igniteRequested = false;
    skipNextStep = true;
    StepThrustUpdate(vessel, simTime);
    return true;
  }
  if (skipNextStep) {
    // The host keeps the modifier between steps, so a skipped step leaves last step's thrust.
    skipNextStep = false;
    return true;
  }
  return false;
}

void LauncherConfiguration::ApplyCommonCaps(VESSEL* vessel, double emptyMass,
                                            double touchdownHeight) const {
  SetMassesAndEngines(vessel, emptyMass);
  SetShapeAndDrag(vessel, touchdownHeight);
  ResetVisuals(vessel);
}

void LauncherConfiguration::AddSatelliteAboard(VESSEL* vessel) const {
  if (satellitePayload.jettisoned) return;
  vessel->AddMesh(satellitePayload.meshName, &satellitePayload.offset);
  vessel->SetEmptyMass(vessel->GetEmptyMass() + satellitePayload.mass);
}

// Only the core's main engine is rated; the boosters' thrust reaches the host through the
// main-thrust modifier.
void LauncherConfiguration::SetMassesAndEngines(VESSEL* vessel, double emptyMass) const {
  vessel->SetSize(STAGE_SIZE);
  vessel->SetCOG_elev(COG_ELEVATION);
  vessel->SetMaxFuelMass(CORE_PROPELLANT_MASS);
  vessel->SetEmptyMass(emptyMass);
  vessel->SetISP(CORE_ISP_VACUUM);
  vessel->SetMaxThrust(ENGINE_MAIN, thrustVacuum);
  vessel->SetMaxThrust(ENGINE_RETRO, 0);
  vessel->SetMaxThrust(ENGINE_HOVER, 0);
  vessel->SetMaxThrust(ENGINE_ATTITUDE, ATTITUDE_THRUST);
}

void LauncherConfiguration::SetShapeAndDrag(VESSEL* vessel, double touchdownHeight) const {
  const VECTOR3 p1 = {0, -1.0, touchdownHeight};
  const VECTOR3 p2 = {-0.7, 0.7, touchdownHeight};
  const VECTOR3 p3 = {0.7, 0.7, touchdownHeight};
  vessel->SetTouchdownPoints(p1, p2, p3);
  vessel->SetCW(0.09, 0.09, 2.0, 1.4);
  vessel->SetRotDrag(ROTATION_DRAG);
  vessel->SetPitchMomentScale(0.0);
  vessel->SetBankMomentScale(0.0);
  vessel->SetLiftCoeffFunc(nullptr);  // a rocket body: no lift
}

// Meshes and flames are rebuilt from nothing, so bodies that have left simply are not added back.
void LauncherConfiguration::ResetVisuals(VESSEL* vessel) const {
  vessel->ClearMeshes();
  vessel->ClearExhaustRefs();
  vessel->ClearAttExhaustRefs();
  vessel->AddExhaustRef(EXHAUST_MAIN, MAIN_EXHAUST_POS, MAIN_FLAME_LENGTH, MAIN_FLAME_WIDTH,
                        &MAIN_FLAME_DIRECTION);
}

}  // namespace vantor
