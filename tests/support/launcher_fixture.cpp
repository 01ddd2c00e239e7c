#include "tests/support/launcher_fixture.h"

#include <cstring>

#include "sim/world/call_format.h"

using namespace vantor;
using namespace zenthar;

LauncherFixture::LauncherFixture() : savedPayload_(satellitePayload) {
  world.journal().Enable(true);
}

LauncherFixture::~LauncherFixture() {
  satellitePayload = savedPayload_;
}

void LauncherFixture::CarrySatellite(const char* className) {
  std::strcpy(satellitePayload.className, className);
  std::strcpy(satellitePayload.meshName, "relaysat");
  satellitePayload.mass = 950;
  satellitePayload.offset = {0, 0, 23.5};
  satellitePayload.jettisoned = false;
}

std::vector<Call> CommonCapsCalls(double emptyMass, double touchdownZ) {
  using V = VECTOR3;
  const double z = touchdownZ;
  return {
      {"SetSize", FormatArgs(15.0)},
      {"SetCOG_elev", FormatArgs(13.0)},
      {"SetMaxFuelMass", FormatArgs(158100.0)},
      {"SetEmptyMass", FormatArgs(emptyMass)},
      {"SetISP", FormatArgs(430 * 9.80665)},
      {"SetMaxThrust", FormatArgs(0, 113600 * 9.80665)},
      {"SetMaxThrust", FormatArgs(1, 0.0)},
      {"SetMaxThrust", FormatArgs(2, 0.0)},
      {"SetMaxThrust", FormatArgs(3, 50000.0)},
      {"SetTouchdownPoints", FormatArgs(V{0, -1, z}, V{-0.7, 0.7, z}, V{0.7, 0.7, z})},
      {"SetCW", FormatArgs(0.09, 0.09, 2.0, 1.4)},
      {"SetRotDrag", FormatArgs(V{2, 2, 2})},
      {"SetPitchMomentScale", FormatArgs(0.0)},
      {"SetBankMomentScale", FormatArgs(0.0)},
      {"SetLiftCoeffFunc", "null"},
      {"ClearMeshes", ""},
      {"ClearExhaustRefs", ""},
      {"ClearAttExhaustRefs", ""},
      {"AddExhaustRef", FormatArgs(0, V{0, 0, -15}, 10.0, 1.0, V{0, 0, -1})},
  };
}

std::vector<Call> SatelliteCapsCalls(double emptyMassWithSatellite) {
  return {{"AddMesh", FormatArgs("relaysat", VECTOR3{0, 0, 23.5})},
          {"GetEmptyMass", ""},
          {"SetEmptyMass", FormatArgs(emptyMassWithSatellite)}};
}
