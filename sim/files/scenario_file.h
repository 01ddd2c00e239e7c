#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "sim/world/world.h"

namespace zenthar {

// Scenario files: an environment header, then one block per vessel. See docs/SCENARIO.md.
//
//   BEGIN_ENVIRONMENT
//   DT 0.01
//   PLANET_ROTATION 0
//   KEYS 5:E
//   FOCUS Vantor1
//   END_ENVIRONMENT
//   BEGIN_VESSEL Vantor1:Vantor
//   PAD 5.2 -52.8
//   CONFIGURATION 0
//   ...
//   END_VESSEL

/// Reads a scenario into a fresh world (simulation time 0). Every line of a launcher's block goes
/// to its module through zvcLoadState; a passive body's block is read by the host. False, with
/// "source:line: what is wrong", when the text breaks a limit, its structure cannot be read, a
/// host line is unknown or holds a value that cannot be read or flown, a block gives no place, a
/// class is unknown, a second launcher appears or the module fails.
bool ReadScenario(World& world, std::istream& in, const std::string& source, std::string& error);
bool LoadScenarioFile(World& world, const std::string& path, std::string& error);

/// Reads one line of the environment header, its comment stripped, into the world (DT, UNTIL,
/// SAVE_AT, PLANET_ROTATION), the presses of a KEYS line or the vessel a FOCUS line names. False
/// with "KEY: what was expected" when the line is unknown or its value cannot be read or flown.
bool ReadEnvironmentLine(World& world, const std::string& line, std::vector<ScriptedPress>& presses,
                         std::string& focus, std::string& error);

/// The whole world as a scenario: the header (frame length, the planet's rotation angle at the
/// time of saving, the key presses not yet delivered, rebased to that time, the focus), then every
/// vessel; the launcher's block through zvcSaveState.
std::string WriteScenario(World& world);
bool SaveScenarioFile(World& world, const std::string& path, std::string& error);

}  // namespace zenthar
