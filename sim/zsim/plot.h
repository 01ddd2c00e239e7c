#pragma once

#include <string>
#include <vector>

#include "sim/zsim/event_log.h"

namespace zenthar::zsim {

/// A moment marked on the plot.
struct PlotMark {
  double time;        ///< s
  std::string label;  ///< "booster separation", "fairing jettison + satellite release" ...
};

/// The moments to mark: ignition and the milestones, those closer than `closeness` seconds to the
/// one before sharing one mark.
std::vector<PlotMark> PlotMarks(const std::vector<FlightEvent>& events, double closeness);

/// What flight.png shows. gnuplot runs in `folder` and reads and writes files of fixed names
/// there (telemetry.csv in, flight.png out), so no path from the user reaches its script.
struct PlotRequest {
  std::string folder;                   ///< where telemetry.csv is and flight.png goes
  std::vector<std::string> titleLines;  ///< any text: shown as it is, control characters escaped
  double endTime;                       ///< s, right end of the time axis
  std::vector<PlotMark> marks;
};

/// The gnuplot script: altitude, speed, acceleration, mass and thrust in stacked panels over one
/// time axis, units on every axis, the marks drawn across every panel and named on the top one.
std::string GnuplotScript(const PlotRequest& request);

enum class PlotOutcome { kDrawn, kNoGnuplot, kFailed, kIncomplete };

/// Draws the plot with the gnuplot found on PATH. kNoGnuplot when there is none; kFailed with
/// gnuplot's first complaint in `message`; kIncomplete when gnuplot said it drew the picture but
/// flight.png does not end as a PNG does (a full disk), which is then removed.
PlotOutcome DrawPlot(const PlotRequest& request, std::string& message);

/// Runs a gnuplot script in a folder, where it reads and writes files of fixed names only, to draw
/// the PNG `pngName` there; the outcome as DrawPlot's.
PlotOutcome RunPlotScript(const std::string& folder, const std::string& script, const char* pngName,
                          std::string& message);

/// Draws a PNG into a folder with gnuplot: the script and its data (a file of the fixed name
/// `dataName`) are written into a hidden folder of their own inside it, so gnuplot reads and
/// writes files of fixed names only; the picture moves into the folder once whole. The outcome as
/// DrawPlot's.
PlotOutcome DrawFromData(const std::string& folder, const char* dataName, const std::string& data,
                         const std::string& script, const char* png, std::string& message);

/// Lines of any text as one gnuplot string expression, control characters escaped, in single
/// quotes where gnuplot substitutes nothing: the one way user text enters a script.
std::string GnuplotText(const std::vector<std::string>& lines);

/// True when the file is a whole PNG: its signature first, its IEND chunk last.
bool IsCompletePng(const std::string& path);

}  // namespace zenthar::zsim
