#include "sim/files/host_state_lines.h"

#include <strings.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "sim/files/text_format.h"
#include "sim/files/text_reader.h"
#include "sim/world/host_limits.h"

namespace zenthar {

namespace {

std::string FormatVector(const VECTOR3& v) {
  return FormatDouble(v.x) + " " + FormatDouble(v.y) + " " + FormatDouble(v.z);
}

bool ReadVector(FieldReader& fields, const ValueRange& range, VECTOR3& v) {
  VECTOR3 read;
  if (!fields.Number(range, read.x) || !fields.Number(range, read.y) ||
      !fields.Number(range, read.z) || !fields.End())
    return false;
  v = read;
  return true;
}

/// Where a vessel may be: in the air or in space, no deeper below the surface than
/// kBelowSurfaceAllowed, nowhere near the planet's centre.
ValueRange DistanceFromCentre(double radius) {
  return {"a distance from the planet's centre", radius - kBelowSurfaceAllowed, kFarthest, "m"};
}

bool ReadPosition(FieldReader& fields, double radius, VECTOR3& position) {
  VECTOR3 read;
  if (!ReadVector(fields, kPositionCoordinate, read)) return false;
  const ValueRange reach = DistanceFromCentre(radius);
  if (!reach.Holds(Length(read)))
    return fields.Fail("expected " + reach.Expected() + ", found " + ShortNumber(Length(read)) +
                       " m");
  position = read;
  return true;
}

bool ReadOne(FieldReader& fields, const ValueRange& range, double& value) {
  double read = 0;
  if (!fields.Number(range, read) || !fields.End()) return false;
  value = read;
  return true;
}

bool ReadPad(FieldReader& fields, VesselState& vessel) {
  double latitude = 0, longitude = 0;
  if (!fields.Number(kLatitude, latitude) || !fields.Number(kLongitude, longitude) || !fields.End())
    return false;
  vessel.padRequested = true;
  vessel.padLatitude = latitude;
  vessel.padLongitude = longitude;
  return true;
}

/// A launch plane's normal: a unit vector.
bool ReadPlane(FieldReader& fields, VECTOR3& plane) {
  VECTOR3 read;
  if (!ReadVector(fields, kUnitComponent, read)) return false;
  const double length = Length(read);
  if (!(std::fabs(length - 1) <= kUnitLengthTolerance))
    return fields.Fail("expected a unit vector, found one of length " + ShortNumber(length));
  plane = read;
  return true;
}

bool ReadFlag(FieldReader& fields, int& flag) {
  std::string word;
  if (!fields.Word("0 or 1", word)) return false;
  if (word != "0" && word != "1") return fields.Fail("expected 0 or 1, found '" + word + "'");
  if (!fields.End()) return false;
  flag = word == "1" ? 1 : 0;
  return true;
}

/// The words of the STEERING line: what points the vessel's nose.
struct SteeringWord {
  const char* word;
  AttitudeMode mode;
};
constexpr SteeringWord kSteering[] = {{"autopilot", AttitudeMode::kAutopilot},
                                      {"prograde", AttitudeMode::kPrograde},
                                      {"held", AttitudeMode::kHeld}};

bool ReadSteering(FieldReader& fields, AttitudeMode& mode) {
  std::string word;
  if (!fields.Word("autopilot, prograde or held", word)) return false;
  for (const SteeringWord& known : kSteering)
    if (word == known.word) {
      mode = known.mode;
      return fields.End();
    }
  return fields.Fail("expected autopilot, prograde or held, found '" + word + "'");
}

bool Is(const std::string& key, const char* name) {
  return strcasecmp(key.c_str(), name) == 0;
}

}  // namespace

VESSELSTATUS StatusOf(const VesselState& vessel, const Planet& planet) {
  VESSELSTATUS status{};
  status.position = vessel.position;
  status.velocity = vessel.velocity;
  status.angularVelocity = vessel.angularVelocity;
  status.attitude = AnglesFromRotation(vessel.attitude);
  status.fuelLevel = vessel.maxFuelMass > 0 ? vessel.fuelMass / vessel.maxFuelMass : 0.0;
  status.mainLevel = vessel.engineLevel[ENGINE_MAIN];
  status.hoverLevel = vessel.engineLevel[ENGINE_HOVER];
  status.referenceBody = const_cast<Planet*>(&planet);  // a handle the module only passes on
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

void WriteHostState(const VesselState& vessel, const Planet& planet, double time,
                    ScenarioStream& stream) {
  const VESSELSTATUS status = StatusOf(vessel, planet);
  stream.Write("RPOS", FormatVector(status.position));
  stream.Write("RVEL", FormatVector(status.velocity));
  stream.Write("AROT", FormatVector(status.attitude));
  stream.Write("VROT", FormatVector(status.angularVelocity));
  stream.Write("FUEL", FormatDouble(status.fuelLevel));
  stream.Write("ENG_MAIN", FormatDouble(status.mainLevel));
  stream.Write("ENG_HOVER", FormatDouble(status.hoverLevel));
  stream.Write("LANDED", status.landed ? "1" : "0");
  stream.Write("IMPACTED", vessel.impacted ? "1" : "0");
  if (!vessel.pitch.points.empty()) {
    // The program goes on from the moment of saving, which becomes time 0 when it is loaded.
    const PitchProgram rest = vessel.pitch.RebasedAt(time);
    stream.Write("HEADING", FormatDouble(rest.heading));
    if (rest.HasPlane()) stream.Write("LAUNCH_PLANE", FormatVector(rest.plane));
    stream.Write("PITCH", rest.PointsText());
  }
  if (vessel.target.given()) stream.Write("TARGET_ORBIT", vessel.target.LineValues());
  // Written once the pilot has taken the autopilot's place.
  if (vessel.attitudeMode != AttitudeMode::kAutopilot)
    for (const SteeringWord& known : kSteering)
      if (known.mode == vessel.attitudeMode) stream.Write("STEERING", known.word);
}

bool ReadHostStateLine(const char* line, VESSELSTATUS& status, VesselState& vessel,
                       const Planet& planet, std::string& error) {
  const std::string text = StripComment(line);
  if (text.empty()) return true;
  const std::size_t blank = text.find_first_of(" \t\r");
  const std::string key = text.substr(0, blank);
  const std::string rest = blank == std::string::npos ? std::string() : text.substr(blank);
  const double radius = planet.radius;  // m
  FieldReader fields(key, rest);
  bool read = false;
  if (Is(key, "RPOS"))
    read = ReadPosition(fields, radius, status.position);
  else if (Is(key, "RVEL"))
    read = ReadVector(fields, kVelocityCoordinate, status.velocity);
  else if (Is(key, "AROT"))
    read = ReadVector(fields, kAttitudeAngle, status.attitude);
  else if (Is(key, "VROT"))
    read = ReadVector(fields, kAngularVelocity, status.angularVelocity);
  else if (Is(key, "FUEL"))
    read = ReadOne(fields, kLevel, status.fuelLevel);
  else if (Is(key, "ENG_MAIN"))
    read = ReadOne(fields, kLevel, status.mainLevel);
  else if (Is(key, "ENG_HOVER"))
    read = ReadOne(fields, kLevel, status.hoverLevel);
  else if (Is(key, "LANDED"))
    read = ReadFlag(fields, status.landed);
  else if (Is(key, "IMPACTED")) {
    int impacted = 0;
    read = ReadFlag(fields, impacted);
    if (read) vessel.impacted = impacted != 0;
  } else if (Is(key, "PAD"))
    read = ReadPad(fields, vessel);
  else if (Is(key, "HEADING"))
    read = ReadOne(fields, kHeading, vessel.pitch.heading);
  else if (Is(key, "LAUNCH_PLANE"))
    read = ReadPlane(fields, vessel.pitch.plane);
  else if (Is(key, "PITCH"))
    return vessel.pitch.Parse(rest, error);
  else if (Is(key, "STEERING"))
    read = ReadSteering(fields, vessel.attitudeMode);
  else if (Is(key, "TARGET_ORBIT"))
    read = guidance::ReadTargetOrbit(fields, vessel.target);
  else {
    error = "unknown line '" + text + "'";
    return false;
  }
  if (!read) error = fields.error();
  return read;
}

bool StatusFits(const VESSELSTATUS& status, double radius, std::string& why) {
  const auto outside = [&why](const char* field, double value, const ValueRange& range) {
    why = std::string(field) + " " + FormatDouble(value) + ": expected " + range.Expected();
    return false;
  };
  struct {
    const char* field;
    const VECTOR3& value;
    const ValueRange& range;
  } const vectors[] = {{"position", status.position, kPositionCoordinate},
                       {"velocity", status.velocity, kVelocityCoordinate},
                       {"angular velocity", status.angularVelocity, kAngularVelocity},
                       {"attitude", status.attitude, kAttitudeAngle}};
  for (const auto& v : vectors)
    if (!v.range.Holds(v.value)) return outside(v.field, v.range.Outside(v.value), v.range);
  const double distance = Length(status.position);
  const ValueRange reach = DistanceFromCentre(radius);
  if (!reach.Holds(distance)) return outside("position", distance, reach);
  if (!kLevel.Holds(status.fuelLevel)) return outside("fuel level", status.fuelLevel, kLevel);
  if (!kLevel.Holds(status.mainLevel))
    return outside("main engine level", status.mainLevel, kLevel);
  if (!kLevel.Holds(status.hoverLevel))
    return outside("hover engine level", status.hoverLevel, kLevel);
  return true;
}

bool BeginsWithModuleKey(const char* line) {
  for (const char* key : {"CONFIGURATION", "ITIME", "BOOSTER_IGNITED", "SAT_", "SHROUD"})
    if (strncasecmp(line, key, std::strlen(key)) == 0) return true;
  return false;
}

std::string SatelliteClassNamed(const std::string& line) {
  const std::size_t keyLength = 8;  // "SAT_NAME"
  if (strncasecmp(line.c_str(), "SAT_NAME", keyLength) != 0) return {};
  const std::size_t start = line.find_first_not_of(" \t\n\v\f\r", keyLength);
  if (start == std::string::npos) return {};
  const std::size_t end = line.find_first_of(" \t\n\v\f\r", start);
  return line.substr(start, std::min(end, start + 255) - start);
}

}  // namespace zenthar
