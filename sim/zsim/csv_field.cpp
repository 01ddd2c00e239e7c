#include "sim/zsim/csv_field.h"

#include "sim/files/text_format.h"

namespace zenthar::zsim {

void PutCsvField(std::FILE* file, const std::string& text) {
  if (text.find_first_of(",\"\n\r") == std::string::npos) {
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

void PutCsvNumber(std::FILE* file, double value) {
  char text[kNumberTextSize];
  std::fwrite(text, 1, static_cast<std::size_t>(WriteGeneral(text, value, kCsvDigits) - text),
              file);
}

}  // namespace zenthar::zsim
