#pragma once

#include <string>

#include "host/vector3.h"
#include "host/vessel_status.h"
#include "sim/files/text_format.h"

namespace zenthar {

// Arguments of a host call as the journal shows them: doubles that read back exactly, vectors as
// (x, y, z), names in double quotes, a null pointer as null.

inline std::string FormatArg(double value) {
  return FormatDouble(value);
}
inline std::string FormatArg(int value) {
  return std::to_string(value);
}
inline std::string FormatArg(unsigned value) {
  return std::to_string(value);
}
inline std::string FormatArg(bool value) {
  return value ? "true" : "false";
}
inline std::string FormatArg(const VECTOR3& v) {
  return "(" + FormatDouble(v.x) + ", " + FormatDouble(v.y) + ", " + FormatDouble(v.z) + ")";
}
inline std::string FormatArg(const VECTOR3* v) {
  return v ? FormatArg(*v) : "null";
}
inline std::string FormatArg(const char* text) {
  return text ? "\"" + std::string(text) + "\"" : "null";
}
inline std::string FormatArg(const std::string& text) {
  return "\"" + text + "\"";
}

inline std::string FormatArgs() {
  return {};
}
template <typename First, typename... Rest>
std::string FormatArgs(const First& first, const Rest&... rest) {
  std::string text = FormatArg(first);
  ((text += ", " + FormatArg(rest)), ...);
  return text;
}

/// A status record as VESSEL::Create's arguments show it: position, velocity, angular velocity,
/// attitude, fuel level, main and hover engine levels, landed. The reference body is left out:
/// the stand-in host has one planet.
inline std::string FormatArg(const VESSELSTATUS& status) {
  return FormatArgs(status.position, status.velocity, status.angularVelocity, status.attitude,
                    status.fuelLevel, status.mainLevel, status.hoverLevel, status.landed);
}

}  // namespace zenthar
