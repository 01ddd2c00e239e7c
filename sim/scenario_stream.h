#pragma once

#include <cstddef>
#include <string>
#include <vector>

/// What a FILEHANDLE points to: one vessel block of a scenario, as lines to read or lines written.
struct ScenarioStream {
  std::vector<std::string> lines;
  std::size_t next = 0;  ///< the next line to read
  std::string current;   ///< the line last handed out; the reader may modify it

  void Write(const std::string& key, const std::string& value) {
    lines.push_back(key + " " + value);
  }
};
