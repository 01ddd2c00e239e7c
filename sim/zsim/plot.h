#pragma once

#include <string>
#include <vector>

#include "sim/zsim/event_log.h"

/// A moment marked on the plot.
struct PlotMark {
  double time;        ///< s
  std::string label;  ///< "booster separation", "fairing jettison + satellite release" ...
};

/// The moments to mark: ignition and the milestones, those closer than `closeness` seconds to the
/// one before sharing one mark.
std::vector<PlotMark> PlotMarks(const std::vector<FlightEvent>& events, double closeness);

/// What flight.png shows.
struct PlotRequest {
  std::string telemetryCsv;  ///< the rows to draw
  std::string png;           ///< the picture to write
  std::string script;        ///< where the gnuplot script goes
  std::string log;           ///< where gnuplot's own messages go
  std::string title;
  double endTime;  ///< s, right end of the time axis
  std::vector<PlotMark> marks;
};

/// The gnuplot script: altitude, speed, acceleration, mass and thrust in stacked panels over one
/// time axis, units on every axis, the marks drawn across every panel and named on the top one.
std::string GnuplotScript(const PlotRequest& request);

enum class PlotOutcome { kDrawn, kNoGnuplot, kFailed };

/// Draws the plot with the gnuplot found on PATH. kNoGnuplot when there is none; kFailed with
/// gnuplot's first complaint in `message`.
PlotOutcome DrawPlot(const PlotRequest& request, std::string& message);
