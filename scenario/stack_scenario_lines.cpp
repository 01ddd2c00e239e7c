// The full stack's scenario lines: the booster burn's time base and the satellite.

#include "config/stack_configuration.h"
#include "host/zapi.h"
#include "scenario/satellite_lines.h"
#include "scenario/scenario_keys.h"
#include "scenario/scenario_reader.h"
#include "vehicle/satellite_payload.h"

namespace vantor {

// ITIME places ignition that many seconds before simulation time 0, so the burn resumes where it
// was saved.
void StackConfiguration::ParseScenarioLine(VESSEL* vessel, char* line, VESSELSTATUS* status) {
  if (const char* value = MatchKey(line, KEY_ITIME)) {
    double sinceIgnition = 0.0;  // s
    ReadReal(value, sinceIgnition);
    ignitionTime = -sinceIgnition;
  } else if (const char* value = MatchKey(line, KEY_BOOSTER_IGNITED)) {
    boostersIgnited = ReadFlag(value);
  } else if (!ParseSatelliteLine(line)) {
    vessel->ParseScenarioLine(line, status);
  }
}

void StackConfiguration::SaveState(VESSEL*, FILEHANDLE scenario) {
  const SatellitePayload& satellite = satellitePayload;
  zapiWriteScenario_int(scenario, KEY_CONFIGURATION, CONFIGURATION_NUMBER);
  zapiWriteScenario_float(scenario, KEY_ITIME, lastSimTime - ignitionTime);
  zapiWriteScenario_int(scenario, KEY_BOOSTER_IGNITED, boostersIgnited ? 1 : 0);
  zapiWriteScenario_float(scenario, KEY_SAT_OFS_X, satellite.offset.x);
  zapiWriteScenario_float(scenario, KEY_SAT_OFS_Y, satellite.offset.y);
  zapiWriteScenario_float(scenario, KEY_SAT_OFS_Z, satellite.offset.z);
  zapiWriteScenario_int(scenario, KEY_SAT_JETTISONED, satellite.jettisoned ? 1 : 0);
  zapiWriteScenario_string(scenario, KEY_SAT_NAME, satellite.className);
  zapiWriteScenario_string(scenario, KEY_SAT_MESH, satellite.meshName);
  zapiWriteScenario_float(scenario, KEY_SAT_MASS, satellite.mass);
}

}  // namespace vantor
