#include "scenario/satellite_lines.h"

#include "scenario/scenario_keys.h"
#include "scenario/scenario_reader.h"
#include "vehicle/satellite_payload.h"

namespace vantor {

namespace {

/// An offset component: the value, or 0.0 when none can be read.
double OffsetComponent(const char* text) {
  double value = 0.0;
  return ReadReal(text, value) ? value : 0.0;
}

}  // namespace

bool ParseSatelliteLine(const char* line) {
  SatellitePayload& satellite = satellitePayload;
  if (const char* value = MatchKey(line, KEY_SAT_JETTISONED)) {
    satellite.jettisoned = ReadFlag(value);
  } else if (const char* value = MatchKey(line, KEY_SAT_OFS_X)) {
    satellite.offset.x = OffsetComponent(value);
  } else if (const char* value = MatchKey(line, KEY_SAT_OFS_Y)) {
    satellite.offset.y = OffsetComponent(value);
  } else if (const char* value = MatchKey(line, KEY_SAT_OFS_Z)) {
    satellite.offset.z = OffsetComponent(value);
  } else if (const char* value = MatchKey(line, KEY_SAT_NAME)) {
    ReadWord(value, satellite.className);
  } else if (const char* value = MatchKey(line, KEY_SAT_MESH)) {
    ReadWord(value, satellite.meshName);
  } else if (const char* value = MatchKey(line, KEY_SAT_MASS)) {
    ReadReal(value, satellite.mass);
  } else {
    return false;
  }
  return true;
}

}  // namespace vantor
