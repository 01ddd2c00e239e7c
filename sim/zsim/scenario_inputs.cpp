#include "sim/zsim/scenario_inputs.h"

#include <strings.h>

#include <algorithm>
#include <cctype>
#include <cstring>

#include "sim/files/host_state_lines.h"
#include "sim/files/scenario_file.h"
#include "sim/files/text_format.h"
#include "sim/files/text_reader.h"
#include "sim/world/host_limits.h"
#include "sim/world/key_script.h"
#include "sim/world/world.h"

namespace zenthar::zsim {

namespace {

using Place = ScenarioInput::Place;

/// The module's lines a sweep may vary, in their value forms. CONFIGURATION is not among them:
/// it says how the rest of the block is read.
struct ModuleLine {
  const char* key;
  enum class Form { kReal, kFlag, kWord } form;
  const ValueRange* range;  ///< kReal
};
const ValueRange kOffsetRange = kVesselLength;
const ModuleLine kModuleLines[] = {
    {"ITIME", ModuleLine::Form::kReal, &kFlightTime},
    {"BOOSTER_IGNITED", ModuleLine::Form::kFlag, nullptr},
    {"SAT_OFS_X", ModuleLine::Form::kReal, &kOffsetRange},
    {"SAT_OFS_Y", ModuleLine::Form::kReal, &kOffsetRange},
    {"SAT_OFS_Z", ModuleLine::Form::kReal, &kOffsetRange},
    {"SAT_MASS", ModuleLine::Form::kReal, &kMass},
    {"SAT_JETTISONED", ModuleLine::Form::kFlag, nullptr},
    {"SAT_NAME", ModuleLine::Form::kWord, nullptr},
    {"SAT_MESH", ModuleLine::Form::kWord, nullptr},
    {"SHROUD", ModuleLine::Form::kFlag, nullptr},
};
/// The module reads a name into 256 bytes, its end included.
const std::size_t kLongestModuleWord = 255;

const char* const kHeaderKeys[] = {"DT", "UNTIL", "PLANET_ROTATION"};

const ModuleLine* FindModuleLine(const std::string& key) {
  for (const ModuleLine& line : kModuleLines)
    if (key == line.key) return &line;
  return nullptr;
}

/// The line's first word.
std::string KeyOf(const std::string& line) {
  std::size_t end = 0;
  while (end < line.size() && !IsBlank(line[end])) ++end;
  return line.substr(0, end);
}

/// Whether the line begins with the key, compared as the module compares: without case, over the
/// key's length.
bool CarriesModuleKey(const std::string& line, const std::string& key) {
  return strncasecmp(Trim(line).c_str(), key.c_str(), key.size()) == 0;
}

bool CheckModuleValue(const ModuleLine& line, const std::string& value, std::string& error) {
  FieldReader fields(line.key, value);
  bool read = false;
  if (line.form == ModuleLine::Form::kReal) {
    double number = 0;
    read = fields.Number(*line.range, number) && fields.End();
  } else {
    std::string word;
    read = fields.Word(line.form == ModuleLine::Form::kFlag ? "0 or 1" : "a name", word) &&
           fields.End();
    if (read && line.form == ModuleLine::Form::kFlag && word != "0" && word != "1")
      read = fields.Fail("expected 0 or 1, found '" + word + "'");
    if (read && word.size() > kLongestModuleWord)
      read = fields.Fail("expected a name of at most 255 characters");
  }
  if (!read) error = fields.error();
  return read;
}

/// The presses of a KEYS line's items, each with its time's text and its keys' text.
struct PressItem {
  std::string time;
  std::string keys;
};

std::vector<PressItem> PressItems(const std::string& rest) {
  std::vector<PressItem> items;
  std::size_t start = 0;
  for (;;) {
    const std::size_t comma = rest.find(',', start);
    const std::string item = Trim(rest.substr(start, comma - start));
    const std::size_t colon = item.find(':');
    items.push_back({Trim(item.substr(0, colon)),
                     colon == std::string::npos ? std::string() : Trim(item.substr(colon + 1))});
    if (comma == std::string::npos) return items;
    start = comma + 1;
  }
}

}  // namespace

bool ReadScenarioInput(const std::string& name, ScenarioInput& input, std::string& error) {
  input = ScenarioInput{name, {}, Place::kHostLine, {}};
  if (Upper(name.substr(0, 4)) == "KEY:") {
    input.place = Place::kKeyPress;
    input.key = name.substr(4);
    std::vector<ScriptedPress> presses;
    if (!KeyScript::ReadPresses("0:" + input.key, presses, error)) {
      error = name + ": " + error;
      return false;
    }
    // The name goes into a KEYS line as it is: "J,50:K" would add a press nobody varies.
    if (presses.size() != 1) {
      error = name + ": expected one key, as KEY:J or KEY:LSHIFT+J";
      return false;
    }
    input.keys = presses.front().keys;
    return true;
  }
  input.key = Upper(name);
  for (char c : input.key)
    if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_') {
      error = name + ": expected a scenario key (SAT_MASS, PAD, DT ...) or KEY:NAME";
      return false;
    }
  for (const char* header : kHeaderKeys)
    if (input.key == header) {
      input.place = Place::kHeader;
      return true;
    }
  if (FindModuleLine(input.key)) {
    input.place = Place::kModuleLine;
    return true;
  }
  if (input.key == "KEYS") {
    error = name + ": vary a key press's time as KEY:NAME, e.g. KEY:J";
    return false;
  }
  // The host's own lines are those its reader knows; a module key it does not read is no line
  // of its.
  std::string why;
  VesselState vessel;
  VESSELSTATUS status{};
  if (!input.key.empty() && !BeginsWithModuleKey(input.key.c_str()) &&
      (ReadHostStateLine(input.key.c_str(), status, vessel, Planet(), why) ||
       why.compare(0, 12, "unknown line") != 0))
    return true;
  error = name +
          ": not an input a sweep varies: a line of the launcher's block (PAD, SAT_MASS, "
          "...), DT, UNTIL, PLANET_ROTATION, or KEY:NAME";
  return false;
}

bool CheckInputValue(const ScenarioInput& input, const std::string& value, std::string& error) {
  // A value is one line's fields: a line break would start another line, a '#' a comment, a
  // double quote would end the value in a planned command's list.
  for (char c : value)
    if (static_cast<unsigned char>(c) < 32 || c == 127 || c == '#' || c == '"') {
      error = input.name + ": a value holds no control character, '#' or '\"'";
      return false;
    }
  switch (input.place) {
    case Place::kHeader: {
      World scratch;
      std::vector<ScriptedPress> presses;
      std::string focus;
      return ReadEnvironmentLine(scratch, input.key + " " + value, presses, focus, error);
    }
    case Place::kHostLine: {
      VesselState vessel;
      VESSELSTATUS status{};
      return ReadHostStateLine((input.key + " " + value).c_str(), status, vessel, Planet(), error);
    }
    case Place::kModuleLine:
      return CheckModuleValue(*FindModuleLine(input.key), value, error);
    case Place::kKeyPress: {
      std::vector<ScriptedPress> presses;
      if (!KeyScript::ReadPresses(value + ":" + input.key, presses, error)) return false;
      // The value replaces a press's time in its KEYS line: "7:K,5" would add a press of K.
      if (presses.size() == 1) return true;
      error = input.name + ": expected a time in s, found '" + value + "'";
      return false;
    }
  }
  return false;
}

bool ScenarioText::Read(const std::string& path, const ClassRegistry& classes, std::string& error) {
  std::string text;
  if (!ReadTextFile(path, text, error)) return false;
  path_ = path;
  lines_.clear();
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = std::min(text.find('\n', start), text.size());
    lines_.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  // The structure only: the flights' reader refuses what is wrong with it.
  bool inEnvironment = false;
  bool inVessel = false;
  bool launcherBlock = false;
  std::size_t begin = 0;
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    const std::string line = StripComment(lines_[i]);
    std::string rest;
    if (inEnvironment && line == "END_ENVIRONMENT") {
      environments_.push_back({begin, i});
      inEnvironment = false;
    } else if (inVessel && line == "END_VESSEL") {
      if (launcherBlock && !hasLauncher_) {
        hasLauncher_ = true;
        launcher_ = {begin, i};
      }
      inVessel = false;
    } else if (!inEnvironment && !inVessel && line == "BEGIN_ENVIRONMENT") {
      inEnvironment = true;
      begin = i + 1;
    } else if (!inEnvironment && !inVessel && AfterKeyword(line, "BEGIN_VESSEL", rest)) {
      const std::size_t colon = rest.find(':');
      const VesselClass* type =
          colon == std::string::npos ? nullptr : classes.Find(rest.substr(colon + 1));
      launcherBlock = type && !type->module.empty();
      if (launcherBlock && !hasLauncher_) launcherClass_ = type->name;
      inVessel = true;
      begin = i + 1;
    }
  }
  return true;
}

bool ScenarioText::With(const std::vector<ScenarioInput>& inputs,
                        const std::vector<std::string>& values, std::string& text,
                        std::string& error) const {
  std::vector<std::string> lines = lines_;
  std::vector<std::string> toHeader;
  std::vector<std::string> toLauncher;
  for (std::size_t n = 0; n < inputs.size(); ++n) {
    const ScenarioInput& input = inputs[n];
    const std::string line = input.key + " " + values[n];
    bool found = false;
    if (input.place == Place::kHeader) {
      for (const Section& section : environments_)
        for (std::size_t i = section.begin; i < section.end; ++i) {
          std::string rest;
          if (!AfterKeyword(StripComment(lines[i]), input.key, rest)) continue;
          lines[i] = line;
          found = true;
        }
      if (!found) toHeader.push_back(line);
      continue;
    }
    if (input.place == Place::kKeyPress) {
      // The first press of the key in time, the first written of equal times, as the reader
      // orders them.
      std::size_t atLine = 0, atItem = 0;
      double earliest = 0;
      for (const Section& section : environments_)
        for (std::size_t i = section.begin; i < section.end; ++i) {
          std::string rest;
          if (!AfterKeyword(StripComment(lines[i]), "KEYS", rest)) continue;
          const std::vector<PressItem> items = PressItems(rest);
          for (std::size_t k = 0; k < items.size(); ++k) {
            std::vector<ScriptedPress> press;
            std::string why;
            if (!KeyScript::ReadPresses(items[k].time + ":" + items[k].keys, press, why) ||
                press.front().keys != input.keys || (found && press.front().time >= earliest))
              continue;
            found = true;
            earliest = press.front().time;
            atLine = i;
            atItem = k;
          }
        }
      if (!found) {
        toHeader.push_back("KEYS " + values[n] + ":" + input.key);
        continue;
      }
      std::string rest;
      AfterKeyword(StripComment(lines[atLine]), "KEYS", rest);
      std::vector<PressItem> items = PressItems(rest);
      items[atItem].time = values[n];
      std::string rewritten = "KEYS ";
      for (std::size_t k = 0; k < items.size(); ++k)
        rewritten += (k ? "," : "") + items[k].time + ":" + items[k].keys;
      lines[atLine] = rewritten;
      continue;
    }
    if (!hasLauncher_) {
      error = path_ + ": no launcher's block to put " + input.name + " in";
      return false;
    }
    std::size_t from = launcher_.begin;
    if (input.place == Place::kModuleLine) {
      // The module reads its lines after the block's CONFIGURATION line only.
      while (from < launcher_.end && !CarriesModuleKey(lines[from], "CONFIGURATION")) ++from;
      if (from == launcher_.end) {
        error = path_ +
                ": the launcher's block has no CONFIGURATION line, after which the "
                "module would read " +
                input.name;
        return false;
      }
      ++from;
    }
    for (std::size_t i = from; i < launcher_.end; ++i) {
      const bool carries =
          input.place == Place::kModuleLine
              ? CarriesModuleKey(lines[i], input.key)
              : strcasecmp(KeyOf(StripComment(lines[i])).c_str(), input.key.c_str()) == 0;
      if (!carries) continue;
      lines[i] = line;
      found = true;
    }
    if (!found) toLauncher.push_back(line);
  }

  text.clear();
  const auto add = [&text](const std::vector<std::string>& more) {
    for (const std::string& line : more) text += line + "\n";
  };
  if (environments_.empty() && !toHeader.empty()) {
    text += "BEGIN_ENVIRONMENT\n";
    add(toHeader);
    text += "END_ENVIRONMENT\n";
  }
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (!environments_.empty() && i == environments_.front().end) add(toHeader);
    if (hasLauncher_ && i == launcher_.end) add(toLauncher);
    text += lines[i] + "\n";
  }
  return true;
}

}  // namespace zenthar::zsim
