#pragma once

#include <cstdio>
#include <string>

#include "sim/world/journal.h"

namespace zenthar::zsim {

/// Writes the journal of calls between host and module to trace.log as the flight goes (format in
/// docs/TRACE.md): one line per call, tab-separated: sequence number, simulation time, vessel,
/// operation, arguments, answer; doubles as %.17g so they read back to the same double.
class TraceWriter {
 public:
  /// Writes the header; `about` says which flight it is ("scenarios/default.scn, dt 0.01 s").
  TraceWriter(std::FILE* file, const std::string& about);

  /// Writes the journal's entries and empties it, so that a long flight holds no more than one
  /// frame's calls in memory.
  void Drain(Journal& journal);

 private:
  std::FILE* file_;
};

/// A trace field: backslash, tab, line feed and carriage return written as \\, \t, \n and \r, so
/// that every call stays on one line and the fields split at tabs.
std::string TraceField(const std::string& text);

}  // namespace zenthar::zsim
