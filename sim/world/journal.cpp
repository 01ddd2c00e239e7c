#include "sim/world/journal.h"

namespace zenthar {

void Journal::Record(double time, std::string vessel, std::string operation, std::string arguments,
                     std::string answer) {
  entries_.push_back(JournalEntry{next_++, time, std::move(vessel), std::move(operation),
                                  std::move(arguments), std::move(answer)});
}

std::vector<std::string> Journal::Operations() const {
  std::vector<std::string> operations;
  operations.reserve(entries_.size());
  for (const JournalEntry& entry : entries_) operations.push_back(entry.operation);
  return operations;
}

}  // namespace zenthar
