#include "sim/files/text_format.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace zenthar {

std::string FormatDouble(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.17g", value);
  return text;
}

std::string ShortestDigits(double value, int fewestDigits) {
  char text[32];
  for (int digits = fewestDigits; digits <= 17; ++digits) {
    std::snprintf(text, sizeof text, "%.*g", digits, value);
    if (std::strtod(text, nullptr) == value) break;
  }
  return text;
}

std::string ShortNumber(double value) {
  if (value == std::floor(value) && std::fabs(value) < 1e7) {
    char text[32];
    std::snprintf(text, sizeof text, "%.0f", value);
    return text;
  }
  return ShortestDigits(value, 1);
}

std::string Trim(const std::string& text) {
  const auto first = text.find_first_not_of(" \t\r");
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

}  // namespace zenthar
