#include "sim/zsim/csv_field.h"

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

}  // namespace zenthar::zsim
