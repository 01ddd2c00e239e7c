// The core stage's scenario lines: the satellite and whether the fairing has gone.

#include "config/core_configuration.h"
#include "host/zapi.h"
#include "scenario/satellite_lines.h"
#include "scenario/scenario_keys.h"
#include "scenario/scenario_reader.h"
#include "vehicle/satellite_payload.h"

namespace vantor {

void CoreConfiguration::ParseScenarioLine(VESSEL* vessel, char* line, VESSELSTATUS* status) {
  if (ParseSatelliteLine(line)) return;
  if (const char* value = MatchKey(line, KEY_SHROUD)) {
    fairingJettisoned = ReadFlag(value);
  } else {
    vessel->ParseScenarioLine(line, status);
  }
}

void CoreConfiguration::SaveState(VESSEL*, FILEHANDLE scenario) {
  const SatellitePayload& satellite = satellitePayload;
  zapiWriteScenario_int(scenario, KEY_CONFIGURATION, CONFIGURATION_NUMBER);
  zapiWriteScenario_float(scenario, KEY_SAT_OFS_X, satellite.offset.x);
  zapiWriteScenario_float(scenario, KEY_SAT_OFS_Y, satellite.offset.y);
  zapiWriteScenario_float(scenario, KEY_SAT_OFS_Z, satellite.offset.z);
  zapiWriteScenario_float(scenario, KEY_SAT_MASS, satellite.mass);
  zapiWriteScenario_int(scenario, KEY_SAT_JETTISONED, satellite.jettisoned ? 1 : 0);
  zapiWriteScenario_string(scenario, KEY_SAT_NAME, satellite.className);
  zapiWriteScenario_string(scenario, KEY_SAT_MESH, satellite.meshName);
  zapiWriteScenario_int(scenario, KEY_SHROUD, fairingJettisoned ? 1 : 0);
}

}  // namespace vantor
