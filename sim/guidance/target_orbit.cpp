#include "sim/guidance/target_orbit.h"

#include "sim/files/text_format.h"
#include "sim/files/text_reader.h"
#include "sim/world/host_limits.h"

namespace zenthar::guidance {

namespace {

bool Apsides(FieldReader& fields, TargetOrbit& read) {
  if (!fields.Number(kOrbitAltitude, read.periapsisAltitude) ||
      !fields.Number(kOrbitAltitude, read.apoapsisAltitude))
    return false;
  if (read.apoapsisAltitude < read.periapsisAltitude)
    return fields.Fail("expected the periapsis, the lower, first, found " +
                       ShortNumber(read.periapsisAltitude) + " km then " +
                       ShortNumber(read.apoapsisAltitude) + " km");
  return true;
}

/// The apsides, then an inclination when `inclined` or when more follows, then nothing.
bool ReadFields(FieldReader& fields, bool inclined, TargetOrbit& target) {
  TargetOrbit read;
  if (!Apsides(fields, read)) return false;
  if ((inclined || !fields.AtEnd()) && !fields.Number(kInclination, read.inclination)) return false;
  if (!fields.End()) return false;
  target = read;
  return true;
}

}  // namespace

std::string TargetOrbit::Text() const {
  std::string text = ShortNumber(periapsisAltitude) + " x " + ShortNumber(apoapsisAltitude) + " km";
  if (HasInclination()) text += " at " + ShortNumber(inclination) + " deg";
  return text;
}

std::string TargetOrbit::LineValues() const {
  std::string text = ShortNumber(periapsisAltitude) + " " + ShortNumber(apoapsisAltitude);
  if (HasInclination()) text += " " + ShortNumber(inclination);
  return text;
}

bool ReadTargetOrbit(FieldReader& fields, TargetOrbit& target) {
  return ReadFields(fields, false, target);
}

bool ParseTargetOrbit(const std::string& text, TargetOrbit& target, std::string& error) {
  const std::string expected = "expected PxA or PxA@I (km, km, deg), e.g. 500x500 or 300x1000@51.6";
  const std::size_t x = text.find_first_of("xX");
  const std::size_t at = text.find('@');
  if (text.find_first_of(" \t") != std::string::npos || x == std::string::npos ||
      (at != std::string::npos && at < x)) {
    error = expected + ", found '" + text + "'";
    return false;
  }
  // "PxA@I" reads as the fields "P A I" of a TARGET_ORBIT line; after '@' an inclination must come.
  std::string fields = text;
  fields[x] = ' ';
  if (at != std::string::npos) fields[at] = ' ';
  FieldReader reader("", fields);
  if (ReadFields(reader, at != std::string::npos, target)) return true;
  error = reader.error().substr(2);  // without the empty key's ": "
  return false;
}

}  // namespace zenthar::guidance
