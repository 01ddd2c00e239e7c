#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace zenthar {

/// What a FILEHANDLE points to: one vessel block of a scenario, as lines to read or lines written.
struct ScenarioStream {
  std::vector<std::string> lines;
  std::size_t next = 0;  ///< the next line to read
  std::string current;   ///< the line last handed out; the reader may modify it

  // A block read from a file: where its lines stand and what the host made of them.
  std::string source;          ///< the file, for messages
  std::vector<int> numbers;    ///< the file's line number of each line
  std::vector<bool> returned;  ///< per line: the module handed it back to the host
  std::string error;           ///< the first line the host refused, "file:line: why"

  void Write(const std::string& key, const std::string& value) {
    lines.push_back(key + " " + value);
  }
  void Add(std::string line, int number) {
    lines.push_back(std::move(line));
    numbers.push_back(number);
  }
  /// Refuses the line handed out last, unless a line before it was refused already.
  void Refuse(const std::string& why) {
    if (!error.empty()) return;
    const std::size_t line = next > 0 ? next - 1 : 0;
    error =
        source + ":" + (line < numbers.size() ? std::to_string(numbers[line]) : "?") + ": " + why;
  }
};

}  // namespace zenthar
