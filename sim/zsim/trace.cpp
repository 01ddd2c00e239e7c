#include "sim/zsim/trace.h"

#include "sim/files/text_format.h"

namespace zenthar::zsim {

TraceWriter::TraceWriter(std::FILE* file, const std::string& about) : file_(file) {
  std::fprintf(file_, "# zsim trace of %s\n# seq\tt_s\tvessel\toperation\targuments\tanswer\n",
               about.c_str());
}

void TraceWriter::Drain(Journal& journal) {
  for (const JournalEntry& entry : journal.entries())
    std::fprintf(file_, "%llu\t%s\t%s\t%s\t%s\t%s\n",
                 static_cast<unsigned long long>(entry.sequence), FormatDouble(entry.time).c_str(),
                 TraceField(entry.vessel).c_str(), TraceField(entry.operation).c_str(),
                 TraceField(entry.arguments).c_str(), TraceField(entry.answer).c_str());
  journal.Clear();
}

std::string TraceField(const std::string& text) {
  if (text.find_first_of("\\\t\n\r") == std::string::npos) return text;
  std::string escaped;
  for (char c : text) {
    switch (c) {
      case '\\':
        escaped += "\\\\";
        break;
      case '\t':
        escaped += "\\t";
        break;
      case '\n':
        escaped += "\\n";
        break;
      case '\r':
        escaped += "\\r";
        break;
      default:
        escaped += c;
    }
  }
  return escaped;
}

}  // namespace zenthar::zsim
