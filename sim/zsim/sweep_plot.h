#pragma once

#include <string>

#include "sim/zsim/plot.h"

namespace zenthar::zsim {

/// Draws a PNG into a folder with gnuplot: the script and its data (a file of the fixed name
/// `dataName`) are written into a hidden folder of their own inside it, so gnuplot reads and
/// writes files of fixed names only; the picture moves into the folder once whole. The outcome as
/// DrawPlot's.
PlotOutcome DrawFromData(const std::string& folder, const char* dataName, const std::string& data,
                         const std::string& script, const char* png, std::string& message);

/// Draws FOLDER/sweep.png from FOLDER/sweep.csv: the satellite's periapsis and apoapsis against
/// each varied input that is one number (against the flight's number when none is), the flights
/// that missed their target marked. `title` is any text.
PlotOutcome DrawSweepPlot(const std::string& folder, const std::string& title,
                          std::string& message);

}  // namespace zenthar::zsim
