#include "fuzz/fuzz_host.h"

#include <cstdio>
#include <cstdlib>

#include "scenario/scenario_keys.h"

using namespace vantor;
using namespace zenthar;

namespace {

bool StartsWith(const std::string& line, const char* key) {
  return line.compare(0, std::char_traits<char>::length(key), key) == 0;
}

}  // namespace

void FuzzFail(const std::string& what, const std::string& context) {
  std::fprintf(stderr, "fuzz property broken: %s\n--- context ---\n%s\n---\n", what.c_str(),
               context.c_str());
  std::abort();
}

std::vector<std::string> ModuleLines(const std::vector<std::string>& lines) {
  static const char* const keys[] = {KEY_CONFIGURATION, KEY_ITIME, KEY_BOOSTER_IGNITED, "SAT_",
                                     KEY_SHROUD};
  std::vector<std::string> module;
  for (const std::string& line : lines)
    for (const char* key : keys)
      if (StartsWith(line, key)) {
        module.push_back(line);
        break;
      }
  return module;
}

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    lines.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}
