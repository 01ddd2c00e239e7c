#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zenthar {

/// One call across the boundary between host and module.
struct JournalEntry {
  std::uint64_t sequence;
  double time;         ///< s, simulation time of the call
  std::string vessel;  ///< empty for VESSEL::Create, the zapi functions and callbacks without one
  std::string operation;  ///< "SetEmptyMass", "zapiAcceptDelayedKey", "zvcTimestep" ...
  std::string arguments;  ///< comma-separated, doubles as %.17g, vectors as (x, y, z)
  std::string answer;     ///< the result of a query, empty otherwise
};

/// The host-wide record of calls, off by default. Tests switch it on and read it; zsim writes it
/// out as a trace.
class Journal {
 public:
  bool enabled() const { return enabled_; }
  void Enable(bool on) { enabled_ = on; }
  void Clear() { entries_.clear(); }
  const std::vector<JournalEntry>& entries() const { return entries_; }
  void Record(double time, std::string vessel, std::string operation, std::string arguments,
              std::string answer = {});

  /// The operations in order, for tests that check a sequence.
  std::vector<std::string> Operations() const;

 private:
  bool enabled_ = false;
  std::uint64_t next_ = 1;
  std::vector<JournalEntry> entries_;
};

}  // namespace zenthar
