#pragma once

#include <string>
#include <vector>

#include "sim/world/key_script.h"

namespace zenthar::zsim {

/// replay.scn: a flight flown by hand as a scenario that flies it again headless, frame for frame.
/// It is the scenario as it was read, with an environment of the flight put first: the frame
/// length, every press of the key script (the scenario's own and the pilot's, host controls
/// among them, in time order), the times (s) the world was saved at and the time the flight ended.
/// The DT, KEYS, SAVE_AT and UNTIL lines of the scenario's own environment give way to it; its
/// other lines (FOCUS, comments, vessels) stay as written. `scenarioName` goes into the first
/// comment as Printable shows it.
std::string ReplayScenario(const std::string& scenarioText, const std::string& scenarioName,
                           double dt, const KeyScript& keys, const std::vector<double>& saves,
                           double endTime);

}  // namespace zenthar::zsim
