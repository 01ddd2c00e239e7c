#pragma once

#include <string>

namespace zenthar {

/// The text without leading and trailing blanks, tabs and carriage returns.
inline std::string Trim(const std::string& text) {
  const auto first = text.find_first_not_of(" \t\r");
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

}  // namespace zenthar
