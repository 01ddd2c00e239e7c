#pragma once

#include <string>

#include "sim/zsim/plot.h"

namespace zenthar::zsim {

/// Draws FOLDER/sweep.png from FOLDER/sweep.csv: the satellite's periapsis and apoapsis against
/// each varied input that is one number (against the flight's number when none is), the flights
/// that missed their target marked. `title` is any text.
PlotOutcome DrawSweepPlot(const std::string& folder, const std::string& title,
                          std::string& message);

}  // namespace zenthar::zsim
