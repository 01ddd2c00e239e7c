#include "sim/world/host_limits.h"

#include <cstdio>
#include <cstdlib>

namespace zenthar {

std::string ShortNumber(double value) {
  char text[32];
  // Whole numbers below ten million as they are; others in as few digits as read back.
  if (value == std::floor(value) && std::fabs(value) < 1e7) {
    std::snprintf(text, sizeof text, "%.0f", value);
    return text;
  }
  for (int digits = 1; digits <= 17; ++digits) {
    std::snprintf(text, sizeof text, "%.*g", digits, value);
    if (std::strtod(text, nullptr) == value) break;
  }
  return text;
}

std::string ValueRange::Expected() const {
  const std::string unitText = *unit ? std::string(" ") + unit : std::string();
  if (std::isinf(max)) return std::string(what) + " of at least " + ShortNumber(min) + unitText;
  return std::string(what) + " from " + ShortNumber(min) + " to " + ShortNumber(max) + unitText;
}

}  // namespace zenthar
