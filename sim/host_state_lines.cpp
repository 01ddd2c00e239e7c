#include "sim/host_state_lines.h"

#include <strings.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "sim/journal.h"
#include "sim/world.h"

namespace {

std::string FormatVector(const VECTOR3& v) {
  return FormatDouble(v.x) + " " + FormatDouble(v.y) + " " + FormatDouble(v.z);
}

/// The value text after a key, when the line carries that key followed by a blank.
const char* ValueAfter(const char* line, const char* key) {
  const std::size_t length = std::strlen(key);
  if (strncasecmp(line, key, length) != 0) return nullptr;
  if (line[length] != ' ' && line[length] != '\t') return nullptr;
  return line + length;
}

bool ReadVector(const char* text, VECTOR3& v) {
  VECTOR3 read;
  if (std::sscanf(text, "%lf %lf %lf", &read.x, &read.y, &read.z) != 3) return false;
  if (!std::isfinite(read.x) || !std::isfinite(read.y) || !std::isfinite(read.z)) return false;
  v = read;
  return true;
}

bool ReadLevel(const char* text, double& level) {
  double read;
  if (std::sscanf(text, "%lf", &read) != 1 || !std::isfinite(read)) return false;
  level = read < 0 ? 0 : (read > 1 ? 1 : read);
  return true;
}

}  // namespace

VESSELSTATUS StatusOf(const VesselState& vessel) {
  VESSELSTATUS status{};
  status.position = vessel.position;
  status.velocity = vessel.velocity;
  status.angularVelocity = vessel.angularVelocity;
  status.attitude = AnglesFromRotation(vessel.attitude);
  status.fuelLevel = vessel.maxFuelMass > 0 ? vessel.fuelMass / vessel.maxFuelMass : 0.0;
  status.mainLevel = vessel.engineLevel[ENGINE_MAIN];
  status.hoverLevel = vessel.engineLevel[ENGINE_HOVER];
  status.referenceBody = vessel.world ? &vessel.world->planet : nullptr;
  status.landed = vessel.landed ? 1 : 0;
  return status;
}

void ApplyStatus(VesselState& vessel, const VESSELSTATUS& status) {
  vessel.position = status.position;
  vessel.velocity = status.velocity;
  vessel.angularVelocity = status.angularVelocity;
  vessel.attitude = RotationFromAngles(status.attitude);
  vessel.engineLevel[ENGINE_MAIN] = status.mainLevel;
  vessel.engineLevel[ENGINE_HOVER] = status.hoverLevel;
  vessel.landed = status.landed != 0;
  const double level = status.fuelLevel < 0 ? 0 : (status.fuelLevel > 1 ? 1 : status.fuelLevel);
  vessel.fuelMass = level * vessel.maxFuelMass;
}

void WriteHostState(const VesselState& vessel, ScenarioStream& stream) {
  const VESSELSTATUS status = StatusOf(vessel);
  stream.Write("RPOS", FormatVector(status.position));
  stream.Write("RVEL", FormatVector(status.velocity));
  stream.Write("AROT", FormatVector(status.attitude));
  stream.Write("VROT", FormatVector(status.angularVelocity));
  stream.Write("FUEL", FormatDouble(status.fuelLevel));
  stream.Write("ENG_MAIN", FormatDouble(status.mainLevel));
  stream.Write("ENG_HOVER", FormatDouble(status.hoverLevel));
  stream.Write("LANDED", status.landed ? "1" : "0");
  if (!vessel.pitch.points.empty()) {
    // The program goes on from the moment of saving, which becomes time 0 when it is loaded.
    const PitchProgram rest = vessel.pitch.RebasedAt(vessel.world ? vessel.world->time() : 0.0);
    stream.Write("HEADING", FormatDouble(rest.heading));
    stream.Write("PITCH", rest.PointsText());
  }
}

bool ParseHostStateLine(const char* line, VESSELSTATUS& status, VesselState& vessel) {
  if (const char* v = ValueAfter(line, "RPOS")) return ReadVector(v, status.position);
  if (const char* v = ValueAfter(line, "RVEL")) return ReadVector(v, status.velocity);
  if (const char* v = ValueAfter(line, "AROT")) return ReadVector(v, status.attitude);
  if (const char* v = ValueAfter(line, "VROT")) return ReadVector(v, status.angularVelocity);
  if (const char* v = ValueAfter(line, "FUEL")) return ReadLevel(v, status.fuelLevel);
  if (const char* v = ValueAfter(line, "ENG_MAIN")) return ReadLevel(v, status.mainLevel);
  if (const char* v = ValueAfter(line, "ENG_HOVER")) return ReadLevel(v, status.hoverLevel);
  if (const char* v = ValueAfter(line, "PITCH")) return vessel.pitch.Parse(v);
  if (const char* v = ValueAfter(line, "HEADING")) {
    char* end = nullptr;
    const double heading = std::strtod(v, &end);
    if (end == v || !std::isfinite(heading)) return false;
    vessel.pitch.heading = heading;
    return true;
  }
  if (const char* v = ValueAfter(line, "PAD")) {
    double latitude, longitude;
    if (std::sscanf(v, "%lf %lf", &latitude, &longitude) != 2 || !std::isfinite(latitude) ||
        !std::isfinite(longitude))
      return false;
    vessel.padRequested = true;
    vessel.padLatitude = latitude;
    vessel.padLongitude = longitude;
    return true;
  }
  if (const char* v = ValueAfter(line, "LANDED")) {
    char* end = nullptr;
    const long landed = std::strtol(v, &end, 10);
    if (end == v) return false;
    status.landed = landed == 1 ? 1 : 0;
    return true;
  }
  return false;
}
