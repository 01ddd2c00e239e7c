#include "sim/zsim/csv_field.h"

#include "sim/files/text_format.h"

namespace zenthar::zsim {

namespace {

/// Whether the field holds a comma, a quote or a line break. A plain loop: find_first_of looks
/// up every character in the set, and the vessel's name goes into every telemetry row.
bool NeedsQuotes(const std::string& text) {
  for (char c : text)
    if (c == ',' || c == '"' || c == '\n' || c == '\r') return true;
  return false;
}

}  // namespace

void PutCsvField(std::FILE* file, const std::string& text) {
  if (!NeedsQuotes(text)) {
    std::fwrite(text.data(), 1, text.size(), file);
    return;
  }
  std::fputc('"', file);
  for (char c : text) {
    if (c == '"') std::fputc('"', file);
    std::fputc(c, file);
  }
  std::fputc('"', file);
}

void AppendCsvField(std::string& line, const std::string& text) {
  if (!NeedsQuotes(text)) {
    line += text;
    return;
  }
  line += '"';
  for (char c : text) {
    if (c == '"') line += '"';
    line += c;
  }
  line += '"';
}

std::vector<std::string> CsvFields(const std::string& line) {
  std::vector<std::string> fields(1);
  bool quoted = false;
  for (std::size_t i = 0; i < line.size(); ++i) {
    const char c = line[i];
    if (quoted && c == '"' && i + 1 < line.size() && line[i + 1] == '"') {
      fields.back() += '"';
      ++i;
    } else if (c == '"') {
      quoted = !quoted;
    } else if (c == ',' && !quoted) {
      fields.emplace_back();
    } else {
      fields.back() += c;
    }
  }
  return fields;
}

void PutCsvNumber(std::FILE* file, double value) {
  char text[kNumberTextSize];
  std::fwrite(text, 1, static_cast<std::size_t>(WriteGeneral(text, value, kCsvDigits) - text),
              file);
}

}  // namespace zenthar::zsim
