#include "sim/files/scenario_file.h"

#include <cmath>
#include <fstream>

#include "sim/files/host_state_lines.h"
#include "sim/files/text_format.h"
#include "sim/files/text_reader.h"
#include "sim/files/whole_file.h"
#include "sim/physics/physical_constants.h"

namespace zenthar {

namespace {

struct PendingBlock {
  std::string name;
  std::string className;
  int line = 0;
  ScenarioStream stream;
};

/// "name:class", one word; false when the text is not that.
bool ReadBlockHeader(const std::string& text, PendingBlock& block) {
  FieldReader fields("BEGIN_VESSEL", text);
  std::string word;
  if (!fields.Word("name:class", word) || !fields.End()) return false;
  const auto colon = word.find(':');
  if (colon == std::string::npos || colon == 0 || colon + 1 == word.size()) return false;
  block.name = word.substr(0, colon);
  block.className = word.substr(colon + 1);
  return true;
}

/// "T,T,...": times from 0 on, appended to `times`.
bool ReadTimes(const std::string& text, std::vector<double>& times, std::string& error) {
  std::size_t start = 0;
  for (;;) {
    const std::size_t comma = text.find(',', start);
    const std::string item = Trim(text.substr(start, comma - start));
    double time = 0;
    if (!ReadNumber(item, kFlightTime, time, error)) {
      error = "SAVE_AT: " + error;
      return false;
    }
    times.push_back(time);
    if (comma == std::string::npos) return true;
    start = comma + 1;
  }
}

bool CreateFromBlock(World& world, PendingBlock& block, const std::string& where,
                     std::string& error) {
  VESSELSTATUS status{};
  status.fuelLevel = 1.0;  // a launcher's tank is full unless its block says otherwise
  VesselState* vessel =
      world.CreateVessel(block.name, block.className, status, error, &block.stream);
  if (!vessel) {
    // A line the host refused says where it stands; anything else is the block's as a whole.
    error = block.stream.error.empty() ? where + ": " + error : block.stream.error;
    return false;
  }
  return true;
}

}  // namespace

bool ReadEnvironmentLine(World& world, const std::string& line, std::vector<ScriptedPress>& presses,
                         std::string& focus, std::string& error) {
  const auto fail = [&error](const std::string& what) {
    error = what;
    return false;
  };
  std::string rest;
  if (AfterKeyword(line, "DT", rest)) {
    FieldReader fields("DT", rest);
    double dt = 0;
    if (!fields.Number(kFrameLength, dt) || !fields.End()) return fail(fields.error());
    world.dt = dt;
  } else if (AfterKeyword(line, "KEYS", rest)) {
    std::string keyError;
    if (!KeyScript::ReadPresses(rest, presses, keyError)) return fail(keyError);
  } else if (AfterKeyword(line, "SAVE_AT", rest)) {
    if (!ReadTimes(rest, world.schedule.saveAt, error)) return false;
  } else if (AfterKeyword(line, "UNTIL", rest)) {
    FieldReader fields("UNTIL", rest);
    if (!fields.Number(kFlightTime, world.schedule.until) || !fields.End())
      return fail(fields.error());
  } else if (AfterKeyword(line, "PLANET_ROTATION", rest)) {
    // Pads are placed as the planet stands when their block is read.
    if (!world.vessels().empty())
      return fail("PLANET_ROTATION must come before the first vessel block");
    FieldReader fields("PLANET_ROTATION", rest);
    double angle = 0;  // deg
    if (!fields.Number(kPlanetRotation, angle) || !fields.End()) return fail(fields.error());
    world.planet.rotationAtLoad = angle * kDegree;
  } else if (AfterKeyword(line, "FOCUS", rest)) {
    FieldReader fields("FOCUS", rest);
    if (!fields.Word("a vessel name", focus) || !fields.End()) return fail(fields.error());
  } else {
    return fail("unknown environment line '" + line + "'");
  }
  return true;
}

bool ReadScenario(World& world, std::istream& in, const std::string& source, std::string& error) {
  enum class Section { kTop, kEnvironment, kVessel } section = Section::kTop;
  TextReader text(in, source);
  PendingBlock block;
  std::string focus;
  std::vector<ScriptedPress> presses;  // of every KEYS line, put in time order once at the end
  std::string raw;
  const auto fail = [&](const std::string& what) {
    error = text.At(what);
    return false;
  };

  while (text.Next(raw)) {
    // The host reads its own lines without their comments; a launcher's block reaches the module
    // as written, less leading and trailing blanks.
    const std::string line = StripComment(raw);
    std::string rest;
    if (section == Section::kVessel) {
      if (line == "END_VESSEL") {
        section = Section::kTop;
        if (!CreateFromBlock(world, block, source + ":" + std::to_string(block.line), error))
          return false;
      } else if (AfterKeyword(line, "BEGIN_VESSEL", rest) || line == "BEGIN_ENVIRONMENT") {
        return fail("END_VESSEL missing before '" + line + "'");
      } else if (!Trim(raw).empty()) {
        block.stream.Add(Trim(raw), text.line());
      }
      continue;
    }
    if (line.empty()) continue;
    if (section == Section::kTop) {
      if (line == "BEGIN_ENVIRONMENT") {
        section = Section::kEnvironment;
      } else if (AfterKeyword(line, "BEGIN_VESSEL", rest)) {
        block = PendingBlock{};
        // A name holds no blanks; a carriage return counts as one, since it would not survive
        // the end of the FOCUS line that names the vessel in a saved file.
        if (!ReadBlockHeader(rest, block))
          return fail("expected 'BEGIN_VESSEL name:class', found '" + line + "'");
        block.line = text.line();
        block.stream.source = source;
        section = Section::kVessel;
      } else {
        return fail("expected BEGIN_ENVIRONMENT or BEGIN_VESSEL, found '" + line + "'");
      }
    } else if (line == "END_ENVIRONMENT") {
      section = Section::kTop;
    } else if (!ReadEnvironmentLine(world, line, presses, focus, error)) {
      return fail(error);
    }
  }
  if (!text.error().empty()) {
    error = text.error();
    return false;
  }
  if (section == Section::kEnvironment) return fail("END_ENVIRONMENT missing at end of file");
  if (section == Section::kVessel) return fail("END_VESSEL missing at end of file");
  if (world.vessels().empty()) return fail("the scenario holds no vessel");
  world.keyScript().Add(std::move(presses));

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
  // The planet as it stands now, so that a flight loaded from the file goes on over the same
  // ground.
  double angle = std::fmod(world.planet.RotationAngle(world.time()) / kDegree, 360.0);  // deg
  if (angle < 0) angle += 360;
  text += "PLANET_ROTATION " + FormatDouble(angle) + "\n";
  // Key presses on as many KEYS lines as the longest line a reader takes needs.
  const KeyScript remaining = world.keyScript().RemainingAfter(world.frame(), world.dt);
  std::string keys;
  for (const ScriptedPress& press : remaining.presses()) {
    const std::string item = KeyScript::PressText(press);
    if (!keys.empty() && keys.size() + 1 + item.size() > kLongestLine) {
      text += keys + "\n";
      keys.clear();
    }
    keys += (keys.empty() ? "KEYS " : ",") + item;
  }
  if (!keys.empty()) text += keys + "\n";
  if (world.focus()) text += "FOCUS " + world.focus()->name + "\n";
  text += "END_ENVIRONMENT\n";
  for (const auto& vessel : world.vessels()) {
    ScenarioStream stream;
    if (vessel->module) {
      if (world.journal().enabled()) world.Record(vessel.get(), "zvcSaveState", {});
      vessel->module->callbacks().saveState(vessel->moduleVessel, &stream);
    } else
      WriteHostState(*vessel, world.planet, world.time(), stream);
    text += "BEGIN_VESSEL " + vessel->name + ":" + vessel->className + "\n";
    for (const std::string& line : stream.lines) text += line + "\n";
    text += "END_VESSEL\n";
  }
  return text;
}

bool SaveScenarioFile(World& world, const std::string& path, std::string& error) {
  return ReplaceFile(path, WriteScenario(world), error);
}

}  // namespace zenthar
