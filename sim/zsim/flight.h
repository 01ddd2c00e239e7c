#pragma once

#include "sim/zsim/command_line.h"

namespace zenthar::zsim {

/// Flies the scenario the options name: the timeline on the terminal as it happens, then the
/// summary; telemetry.csv, events.csv, summary.txt, flight.png, trace.log and the saved worlds in
/// the output folder. Returns zsim's exit status.
int Fly(const FlyOptions& options);

}  // namespace zenthar::zsim
