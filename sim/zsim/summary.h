#pragma once

#include <string>

#include "sim/world/world.h"
#include "sim/zsim/event_log.h"
#include "sim/zsim/telemetry.h"

namespace zenthar::zsim {

/// The summary of a flight as summary.txt and the terminal show it: peak dynamic pressure and
/// acceleration, the timeline, every vessel at the end with its state (flying, landed, impacted),
/// and the orbit of the launcher and of the flown vehicle when above the atmosphere. Names and the
/// scenario's path appear as Printable shows them. `stoppedBy` names what ended the flight early
/// ("Ctrl-C"), or is empty.
std::string FlightSummary(const World& world, const std::string& scenario, const EventLog& log,
                          const Telemetry& telemetry, const std::string& stoppedBy);

}  // namespace zenthar::zsim
