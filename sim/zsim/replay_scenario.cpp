#include "sim/zsim/replay_scenario.h"

#include "sim/files/text_format.h"
#include "sim/files/text_reader.h"
#include "sim/world/host_limits.h"
#include "sim/zsim/printable.h"

namespace zenthar::zsim {

namespace {

/// Items after a keyword, comma-separated, on as many lines as the longest line a reader takes
/// needs.
std::string ListLines(const char* keyword, const std::vector<std::string>& items) {
  std::string text;
  std::string line;
  for (const std::string& item : items) {
    if (!line.empty() && line.size() + 1 + item.size() > kLongestLine) {
      text += line + "\n";
      line.clear();
    }
    line += (line.empty() ? std::string(keyword) + " " : ",") + item;
  }
  return line.empty() ? text : text + line + "\n";
}

/// Whether a header line (its comment stripped) is one the replay's own environment replaces.
bool Replaced(const std::string& line) {
  const std::string keyword = line.substr(0, line.find_first_of(" \t"));
  return keyword == "DT" || keyword == "KEYS" || keyword == "SAVE_AT" || keyword == "UNTIL";
}

}  // namespace

std::string ReplayScenario(const std::string& scenarioText, const std::string& scenarioName,
                           double dt, const KeyScript& keys, const std::vector<double>& saves,
                           double endTime) {
  std::vector<std::string> presses;
  for (const ScriptedPress& press : keys.presses()) presses.push_back(KeyScript::PressText(press));
  std::vector<std::string> times;
  for (double time : saves) times.push_back(ShortNumber(time));
  std::string text = "# " + Printable(scenarioName) +
                     " flown by hand; zsim fly replay.scn flies the same flight again.\n"
                     "BEGIN_ENVIRONMENT\nDT " +
                     ShortNumber(dt) + "\n" + ListLines("KEYS", presses) +
                     ListLines("SAVE_AT", times) + "UNTIL " + ShortNumber(endTime) +
                     "\nEND_ENVIRONMENT\n";

  bool inEnvironment = false;
  for (std::size_t start = 0; start < scenarioText.size();) {
    std::size_t end = scenarioText.find('\n', start);
    if (end == std::string::npos) end = scenarioText.size();
    const std::string line = scenarioText.substr(start, end - start);
    start = end + 1;
    const std::string bare = StripComment(Trim(line));
    if (!inEnvironment && bare == "BEGIN_ENVIRONMENT")
      inEnvironment = true;
    else if (inEnvironment && bare == "END_ENVIRONMENT")
      inEnvironment = false;
    else if (inEnvironment && Replaced(bare))
      continue;
    text += line + "\n";
  }
  return text;
}

}  // namespace zenthar::zsim
