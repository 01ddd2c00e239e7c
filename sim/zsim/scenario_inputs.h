#pragma once

#include <string>
#include <vector>

#include "sim/files/vessel_class.h"

namespace zenthar::zsim {

// Where the inputs a sweep varies go in a scenario: the launcher block's lines (the host's, the
// module's), the environment header's, or the time of a key press. Every value is read by the
// reader of the line it goes into, before any flight, and the scenario's text is changed line by
// line, so that a flight reads its inputs as it would read them from a file.

/// An input of a scenario, by name: "SAT_MASS", "PAD", "DT", "KEY:J".
struct ScenarioInput {
  enum class Place { kHeader, kHostLine, kModuleLine, kKeyPress };
  std::string name;  ///< as given
  std::string key;   ///< the line's key in upper case ("PAD"), or the key's name ("J")
  Place place = Place::kHostLine;
  std::vector<int> keys;  ///< kKeyPress: the scan codes of the press ("LSHIFT+J" two)
};

/// Reads an input's name: a key of the environment header (DT, UNTIL, PLANET_ROTATION), a line of
/// the launcher's block, the host's (PAD, HEADING, ...) or the module's (SAT_MASS, ...), or
/// KEY:NAME for the time of the first press of that key in KEYS. False with the reason.
bool ReadScenarioInput(const std::string& name, ScenarioInput& input, std::string& error);

/// Checks a value as the scenario's reader reads that line; false with its words ("PAD: expected a
/// latitude from -90 to 90 deg, found '95'"). The module's lines are read in their value forms:
/// SAT_MASS a mass, SAT_OFS_ a length, ITIME a time, the flags 0 or 1, the names one word.
bool CheckInputValue(const ScenarioInput& input, const std::string& value, std::string& error);

/// A scenario file's text, and where its inputs stand in it.
class ScenarioText {
 public:
  /// Reads the file and finds its environment header and its launcher's block (the block of a class
  /// that a module flies). False when the file cannot be read.
  bool Read(const std::string& path, const ClassRegistry& classes, std::string& error);

  /// The text with each input set to its value: the lines that carry it are replaced, or the line
  /// is added (to the launcher's block, or the header, made when there is none); a key press has
  /// its time changed, or is added. False when an input has no place: no launcher block for a
  /// vessel line, no CONFIGURATION line for the module to read its line after.
  bool With(const std::vector<ScenarioInput>& inputs, const std::vector<std::string>& values,
            std::string& text, std::string& error) const;

  /// The class of the launcher's block, or empty when there is none.
  const std::string& launcherClass() const { return launcherClass_; }

 private:
  /// Lines [begin, end) between a BEGIN_ and its END_ line.
  struct Section {
    std::size_t begin = 0;
    std::size_t end = 0;
  };

  std::string path_;
  std::vector<std::string> lines_;
  std::vector<Section> environments_;
  bool hasLauncher_ = false;
  Section launcher_;
  std::string launcherClass_;
};

}  // namespace zenthar::zsim
