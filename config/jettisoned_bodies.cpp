#include "config/jettisoned_bodies.h"

#include <cstring>

#include "host/engine_types.h"
#include "vehicle/parameters.h"
#include "vehicle/satellite_payload.h"

namespace vantor {

const char SATELLITE_SUFFIX[] = "-Sat";

namespace {

/// Characters before the first NUL, looking at no more than limit of them.
std::size_t BoundedLength(const char* text, std::size_t limit) {
  std::size_t length = 0;
  while (length < limit && text[length] != '\0') ++length;
  return length;
}

/// One body leaving the launcher.
struct Body {
  const VECTOR3* offset;  ///< m, launcher frame: its mounting point
  VECTOR3 velocity;       ///< m/s, launcher frame: its push away from the launcher
  const char* suffix;     ///< appended to the launcher's name
  const char* className;  ///< host vessel class
  bool stopsEngine;       ///< the launcher's main engine is shut down as it leaves
  bool fullTank;          ///< created with a full main tank
};

// The boosters and fairing halves are pushed outward along the axis on which they are mounted;
// the satellite is pushed back along the launcher's axis, towards its tail. The satellite's offset
// and class are read when it leaves, as the scenario last set them.
// clang-format off
const Body LEFT_BOOSTER =       {&LEFT_BOOSTER_MESH_OFFSET,  {-2, 0, 0}, "-Stage_LeftBooster",
                                 "Vantor_LeftBooster",       true,  false};
const Body RIGHT_BOOSTER =      {&RIGHT_BOOSTER_MESH_OFFSET, {2, 0, 0},  "-Stage_RightBooster",
                                 "Vantor_RightBooster",      true,  false};
const Body LEFT_FAIRING_HALF =  {&LEFT_FAIRING_MESH_OFFSET,  {0, -2, 0}, "-Stage_LeftPayload",
                                 "Vantor_LeftPayload",       false, false};
const Body RIGHT_FAIRING_HALF = {&RIGHT_FAIRING_MESH_OFFSET, {0, 2, 0},  "-Stage_RightPayload",
                                 "Vantor_RightPayload",      false, false};
const Body SATELLITE =          {&satellitePayload.offset,   {0, 0, -2}, SATELLITE_SUFFIX,
                                 satellitePayload.className, true,  true};
// clang-format on

void CreateBody(VESSEL* launcher, const Body& body) {
  // Read afresh for every body: the one before may have changed the launcher's engine level.
  VESSELSTATUS status;
  launcher->GetStatus(status);
  status.mainLevel = 0.0;
  status.hoverLevel = 0.0;
  if (body.fullTank) status.fuelLevel = 1.0;
  if (body.stopsEngine) launcher->SetEngineLevel(ENGINE_MAIN, 0.0);
  MakeSeparationStatus(launcher, status, *body.offset, body.velocity);
  // A new body does not inherit the launcher's rotation.
  status.angularVelocity = {0, 0, 0};

  char name[256];
  ComposeVesselName(launcher, body.suffix, name);
  // A body the host cannot create is simply not there; the flight goes on without it.
  VESSEL::Create(name, body.className, status);
}

}  // namespace

void ComposeVesselName(VESSEL* launcher, const char* suffix, char (&name)[256]) {
  const std::size_t capacity = sizeof(name) - 1;  // characters, without the NUL
  const char* launcherName = launcher->GetName();
  if (launcherName == nullptr) launcherName = "";
  const std::size_t suffixLength = BoundedLength(suffix, capacity);
  const std::size_t nameLength = BoundedLength(launcherName, capacity - suffixLength);
  std::memcpy(name, launcherName, nameLength);
  std::memcpy(name + nameLength, suffix, suffixLength);
  name[nameLength + suffixLength] = '\0';
}

void MakeSeparationStatus(VESSEL* launcher, VESSELSTATUS& status, VECTOR3 offset,
                          VECTOR3 velocity) {
  const VECTOR3 launcherVelocity = status.velocity;
  launcher->Local2Rel(offset, status.position);
  VECTOR3 push;
  launcher->GlobalRot(velocity, push);
  status.velocity.x = launcherVelocity.x + push.x;
  status.velocity.y = launcherVelocity.y + push.y;
  status.velocity.z = launcherVelocity.z + push.z;
}

void SeparateBoosters(VESSEL* launcher) {
  CreateBody(launcher, LEFT_BOOSTER);
  CreateBody(launcher, RIGHT_BOOSTER);
}

void JettisonFairing(VESSEL* launcher) {
  CreateBody(launcher, LEFT_FAIRING_HALF);
  CreateBody(launcher, RIGHT_FAIRING_HALF);
}

void ReleaseSatellite(VESSEL* launcher) {
  CreateBody(launcher, SATELLITE);
}

}  // namespace vantor
