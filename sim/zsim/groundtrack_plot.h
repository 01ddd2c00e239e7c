#pragma once

#include <string>
#include <vector>

#include "sim/zsim/event_log.h"
#include "sim/zsim/ground_track.h"
#include "sim/zsim/plot.h"

namespace zenthar::zsim {

/// What groundtrack.png shows: latitude against longitude, the launcher's track and the bodies'
/// tracks, the events worth a mark (GroundMarks) named by their fixed labels.
struct GroundTrackRequest {
  std::string folder;                   ///< where the data goes and groundtrack.png is drawn
  std::vector<std::string> titleLines;  ///< any text: shown as it is, control characters escaped
  const std::vector<VesselTrack>* tracks = nullptr;
  const std::vector<FlightEvent>* events = nullptr;
};

/// The data gnuplot reads, one block per track (the launcher's first), each broken where it
/// crosses the 180th meridian, then one block of the marks: "longitude latitude" lines.
std::string GroundTrackData(const GroundTrackRequest& request);
/// The gnuplot script; user text enters it only as GnuplotText.
std::string GroundTrackScript(const GroundTrackRequest& request);

/// Draws groundtrack.png with the gnuplot found on PATH; outcomes as DrawPlot's.
PlotOutcome DrawGroundTrack(const GroundTrackRequest& request, std::string& message);

}  // namespace zenthar::zsim
