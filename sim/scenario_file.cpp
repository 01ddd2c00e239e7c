#include "sim/scenario_file.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "sim/host_state_lines.h"
#include "sim/text.h"

namespace {

/// The rest of a line after a header keyword and blanks, when the line starts with it.
bool After(const std::string& line, const std::string& keyword, std::string& rest) {
  if (line.compare(0, keyword.size(), keyword) != 0) return false;
  if (line.size() > keyword.size() && line[keyword.size()] != ' ' && line[keyword.size()] != '\t')
    return false;
  rest = Trim(line.substr(keyword.size()));
  return true;
}

bool ReadReal(const std::string& text, double& value) {
  char* end = nullptr;
  const double read = std::strtod(text.c_str(), &end);
  if (end == text.c_str() || !Trim(end).empty() || !std::isfinite(read)) return false;
  value = read;
  return true;
}

struct PendingBlock {
  std::string name;
  std::string className;
  int line = 0;
  ScenarioStream stream;
};

bool CreateFromBlock(World& world, PendingBlock& block, const std::string& where,
                     std::string& error) {
  VESSELSTATUS status{};
  status.fuelLevel = 1.0;  // a launcher's tank is full unless its block says otherwise
  VesselState* vessel =
      world.CreateVessel(block.name, block.className, status, error, &block.stream);
  if (!vessel) {
    error = where + ": " + error;
    return false;
  }
  return true;
}

}  // namespace

bool ReadScenario(World& world, std::istream& in, const std::string& source, std::string& error) {
  enum class Section { kTop, kEnvironment, kVessel } section = Section::kTop;
  PendingBlock block;
  std::string focus;
  std::string raw;
  int number = 0;
  const auto fail = [&](const std::string& what) {
    error = source + ":" + std::to_string(number) + ": " + what;
    return false;
  };

  while (std::getline(in, raw)) {
    ++number;
    const std::string line = Trim(raw);
    if (line.empty()) continue;
    std::string rest;
    if (section == Section::kTop) {
      if (line[0] == '#') continue;
      if (line == "BEGIN_ENVIRONMENT") {
        section = Section::kEnvironment;
      } else if (After(line, "BEGIN_VESSEL", rest)) {
        // A name holds no blanks; a carriage return counts as one, since it would not survive
        // the end of the FOCUS line that names the vessel in a saved file.
        const auto colon = rest.find(':');
        if (colon == std::string::npos || colon == 0 || colon + 1 == rest.size() ||
            rest.find_first_of(" \t\r") != std::string::npos)
          return fail("expected 'BEGIN_VESSEL name:class', found '" + line + "'");
        block = PendingBlock{rest.substr(0, colon), rest.substr(colon + 1), number, {}};
        section = Section::kVessel;
      } else {
        return fail("expected BEGIN_ENVIRONMENT or BEGIN_VESSEL, found '" + line + "'");
      }
    } else if (section == Section::kEnvironment) {
      if (line[0] == '#') continue;
      if (line == "END_ENVIRONMENT") {
        section = Section::kTop;
      } else if (After(line, "DT", rest)) {
        double dt;
        if (!ReadReal(rest, dt) || dt <= 0) return fail("DT needs a positive number of seconds");
        world.dt = dt;
      } else if (After(line, "KEYS", rest)) {
        std::string keyError;
        if (!world.keyScript().Parse(rest, keyError)) return fail(keyError);
      } else if (After(line, "FOCUS", rest)) {
        focus = rest;
      } else {
        return fail("unknown environment line '" + line + "'");
      }
    } else if (line == "END_VESSEL") {
      section = Section::kTop;
      if (!CreateFromBlock(world, block, source + ":" + std::to_string(block.line), error))
        return false;
    } else {
      block.stream.lines.push_back(line);
    }
  }
  if (section == Section::kEnvironment) return fail("END_ENVIRONMENT missing at end of file");
  if (section == Section::kVessel) return fail("END_VESSEL missing at end of file");
  if (world.vessels().empty()) return fail("the scenario holds no vessel");

  VesselState* focused = focus.empty() ? world.Launcher() : world.Find(focus);
  if (!focus.empty() && !focused) {
    error = source + ": FOCUS names no vessel of the scenario: '" + focus + "'";
    return false;
  }
  world.SetFocus(focused ? focused : world.vessels().front().get());
  return true;
}

bool LoadScenarioFile(World& world, const std::string& path, std::string& error) {
  std::ifstream file(path);
  if (!file) {
    error = path + ": cannot be read";
    return false;
  }
  return ReadScenario(world, file, path, error);
}

std::string WriteScenario(World& world) {
  std::string text = "BEGIN_ENVIRONMENT\nDT " + FormatDouble(world.dt) + "\n";
  const KeyScript remaining = world.keyScript().RemainingAfter(world.frame(), world.dt);
  if (!remaining.presses().empty()) text += "KEYS " + remaining.ToString() + "\n";
  if (world.focus()) text += "FOCUS " + world.focus()->name + "\n";
  text += "END_ENVIRONMENT\n";
  for (const auto& vessel : world.vessels()) {
    ScenarioStream stream;
    if (vessel->module) {
      if (world.journal().enabled()) world.Record(vessel.get(), "zvcSaveState", {});
      vessel->module->callbacks().saveState(vessel->moduleVessel, &stream);
    } else
      WriteHostState(*vessel, stream);
    text += "BEGIN_VESSEL " + vessel->name + ":" + vessel->className + "\n";
    for (const std::string& line : stream.lines) text += line + "\n";
    text += "END_VESSEL\n";
  }
  return text;
}

bool SaveScenarioFile(World& world, const std::string& path, std::string& error) {
  const std::string text = WriteScenario(world);
  const std::string temporary = path + ".part";
  {
    std::ofstream file(temporary, std::ios::trunc);
    if (!(file << text) || !file.flush()) {
      error = path + ": cannot be written";
      std::remove(temporary.c_str());
      return false;
    }
  }
  if (std::rename(temporary.c_str(), path.c_str()) != 0) {
    error = path + ": cannot be written";
    std::remove(temporary.c_str());
    return false;
  }
  return true;
}
