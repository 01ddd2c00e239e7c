#include "config/stack_configuration.h"

#include <new>

#include "config/core_configuration.h"
#include "config/jettisoned_bodies.h"
#include "host/engine_types.h"
#include "host/zapi.h"
#include "module/configuration_manager.h"
#include "vehicle/meshes.h"
#include "vehicle/parameters.h"
#include "vehicle/propulsion.h"
#include "vehicle/satellite_payload.h"

namespace vantor {

namespace {

const double BOOSTER_BURN_TIME = 129.0;    // s, from ignition to automatic separation
const double IGNITION_LEVEL = 0.95;        // main-engine level above which the boosters light
const double BOOSTER_FLAME_LENGTH = 10.0;  // flame length scale during the whole burn
const double BOOSTER_FLAME_WIDTH = 1.0;    // flame width scale during the whole burn

// The manager reclaims the configuration that the core stage replaces.
void InstallCoreStage(VESSEL* vessel, double simTime) {
  ConfigurationManager* manager = Manager();
  if (manager == nullptr) return;
  manager->SetConfiguration(new (std::nothrow) CoreConfiguration, vessel, simTime);
}

}  // namespace

void StackConfiguration::Init() {
  InitCommon();
  boosterThrustSeaLevel = SeaLevelThrust(BOOSTER_THRUST_VACUUM, BOOSTER_ISP_VACUUM,
                                         BOOSTER_ISP_SEA_LEVEL, BOOSTER_PROPELLANT_MASS);
  boosterThrustVacuum = BOOSTER_THRUST_VACUUM;
  lastSimTime = 0.0;
  boosterFuelMass = BOOSTER_PROPELLANT_MASS;
  // The core's gross mass, propellant included, on top of the propellant in the host's tank: the
  // full stack's pad mass is fixed at this figure.
  stackBaseMass = (FAIRING_HALF_MASS + BOOSTER_DRY_MASS) * 2 + CORE_GROSS_MASS;
  ignitionTime = 0.0;
  boostersIgnited = false;
  boosterBurnTime = BOOSTER_BURN_TIME;
  BuildBoosterProfile(boosterBurnTime);
}

void StackConfiguration::SetClassCaps(VESSEL* vessel, double) {
  // The booster flames' height is also where the stack stands: the boosters reach lowest.
  ApplyCommonCaps(vessel, 2 * boosterFuelMass + stackBaseMass, LEFT_BOOSTER_EXHAUST_POS.z);
  AddBoosterFlames(vessel);
  AddStackMeshes(vessel);
  AddSatelliteAboard(vessel);
}

// Flattened: the booster burn's step runs in every frame for two minutes, and with its helpers
// inlined it pays for one stack frame instead of three.
[[gnu::flatten]] void StackConfiguration::Timestep(VESSEL* vessel, double simTime) {
  if (StepTakenByRequests(vessel, simTime)) return;
  if (!boostersIgnited) {
    DetectIgnition(vessel, simTime);
  } else if (SeparationDue(simTime)) {
    SeparateAndHandOver(vessel, simTime);
    return;
  }
  StepThrustUpdate(vessel, simTime);
}

void StackConfiguration::UpdateThrust(VESSEL* vessel, double simTime) {
  double* modifier = vessel->GetMainThrustModPtr();
  *modifier = 0.0;
  double boosterThrust = 0.0;  // N, both boosters
  if (boostersIgnited) boosterThrust = BurnBoosters(vessel, simTime);
  *modifier = ThrustAtPressure(vessel, thrustSeaLevel, thrustVacuum) - thrustVacuum + boosterThrust;
}

void StackConfiguration::StepThrustUpdate(VESSEL* vessel, double simTime) {
  UpdateThrust(vessel, simTime);
  lastSimTime = simTime;
}

// Scales 0 keep the flames invisible until the burn sizes them.
void StackConfiguration::AddBoosterFlames(VESSEL* vessel) {
  leftBoosterExhaust =
      vessel->AddExhaustRef(EXHAUST_CUSTOM, LEFT_BOOSTER_EXHAUST_POS, 0, 0, nullptr);
  rightBoosterExhaust =
      vessel->AddExhaustRef(EXHAUST_CUSTOM, RIGHT_BOOSTER_EXHAUST_POS, 0, 0, nullptr);
}

void StackConfiguration::AddStackMeshes(VESSEL* vessel) const {
  AddLeftBoosterMesh(vessel);
  AddRightBoosterMesh(vessel);
  AddMainMesh(vessel);
  AddLeftFairingMesh(vessel);
  AddRightFairingMesh(vessel);
}

// The level alone decides, whoever raised it: an E request or the host itself.
void StackConfiguration::DetectIgnition(VESSEL* vessel, double simTime) {
  if (vessel->GetEngineLevel(ENGINE_MAIN) > IGNITION_LEVEL) {
    ignitionTime = simTime;
    boostersIgnited = true;
  }
}

bool StackConfiguration::SeparationDue(double simTime) const {
  return simTime - ignitionTime > boosterBurnTime || jettisonRequested;
}

// Installing the successor reclaims this object: after InstallCoreStage only the vessel, a
// parameter and not a field, may be used.
void StackConfiguration::SeparateAndHandOver(VESSEL* vessel, double simTime) {
  jettisonRequested = false;
  SeparateBoosters(vessel);
  InstallCoreStage(vessel, simTime);
  vessel->SetEngineLevel(ENGINE_MAIN, 1.0);  // the core burns on after the boosters have gone
}

// Returns both boosters' thrust (N) and burns their propellant off the empty mass.
double StackConfiguration::BurnBoosters(VESSEL* vessel, double simTime) const {
  double thrustFraction = 0;
  double propellantFraction = 0;
  SampleBoosterProfile(simTime - ignitionTime, thrustFraction, propellantFraction);
  const double boosterThrust = ThrustAtPressure(vessel, boosterThrustSeaLevel, boosterThrustVacuum);
  double emptyMass = propellantFraction * boosterFuelMass * 2 + stackBaseMass;
  if (!satellitePayload.jettisoned) emptyMass += satellitePayload.mass;
  vessel->SetEmptyMass(emptyMass);
  vessel->SetExhaustScales(EXHAUST_CUSTOM, static_cast<unsigned short>(leftBoosterExhaust),
                           BOOSTER_FLAME_LENGTH, BOOSTER_FLAME_WIDTH);
  vessel->SetExhaustScales(EXHAUST_CUSTOM, static_cast<unsigned short>(rightBoosterExhaust),
                           BOOSTER_FLAME_LENGTH, BOOSTER_FLAME_WIDTH);
  return boosterThrust * thrustFraction * 2;
}

}  // namespace vantor
