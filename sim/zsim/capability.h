#pragma once

#include "sim/zsim/command_line.h"

namespace zenthar::zsim {

/// Carries out `zsim capability`: for each target orbit, the heaviest satellite (SAT_MASS) that
/// the scenario's guided launch puts into it within the guidance's goal, found by bracketing and
/// bisection on flights flown in parallel processes; the table on the terminal and in
/// DIR/capability.csv, every flight in DIR/flights.csv, the payload against the orbit's altitude in
/// DIR/capability.png. Returns zsim's exit status.
int Capability(const CapabilityOptions& options);

}  // namespace zenthar::zsim
