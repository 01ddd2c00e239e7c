#include "sim/zsim/groundtrack_plot.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>

#include "sim/files/text_format.h"

namespace zenthar::zsim {

namespace {

const char* const kData = "groundtrack.dat.part";
const char* const kPng = "groundtrack.png";

std::string Point(double longitude, double latitude) {
  char text[64];
  std::snprintf(text, sizeof text, "%.6f %.6f\n", longitude, latitude);
  return text;
}

/// The launcher's tracks first: the order of the data's blocks.
std::vector<const VesselTrack*> Ordered(const std::vector<VesselTrack>& tracks) {
  std::vector<const VesselTrack*> ordered;
  for (const VesselTrack& track : tracks)
    if (track.launcher) ordered.push_back(&track);
  for (const VesselTrack& track : tracks)
    if (!track.launcher) ordered.push_back(&track);
  return ordered;
}

/// The map's extent: every point and mark with a margin, at least 10 degrees each way, within the
/// globe.
struct Extent {
  double west = 180, east = -180, south = 90, north = -90;
  void Take(double longitude, double latitude) {
    west = std::min(west, longitude);
    east = std::max(east, longitude);
    south = std::min(south, latitude);
    north = std::max(north, latitude);
  }
  void Pad() {
    const double margin = 5;  // deg
    if (west > east) west = east = south = north = 0;
    const double middleX = (west + east) / 2, middleY = (south + north) / 2;
    west = std::max(-180.0, std::min(west - margin, middleX - 10));
    east = std::min(180.0, std::max(east + margin, middleX + 10));
    south = std::max(-90.0, std::min(south - margin, middleY - 10));
    north = std::min(90.0, std::max(north + margin, middleY + 10));
    // A track along the equator spans far more longitude than latitude: at least half as high as
    // wide, the map fills its picture instead of a thin strip with its labels outside.
    const double missing = (east - west) / 2 - (north - south);
    if (missing > 0) {
      south = std::max(-90.0, south - missing / 2);
      north = std::min(90.0, south + (east - west) / 2);
      south = std::max(-90.0, north - (east - west) / 2);
    }
  }
};

Extent ExtentOf(const GroundTrackRequest& request) {
  Extent extent;
  for (const VesselTrack& track : *request.tracks)
    for (const TrackPoint& point : track.points) extent.Take(point.longitude, point.latitude);
  extent.Pad();
  return extent;
}

}  // namespace

std::string GroundTrackData(const GroundTrackRequest& request) {
  std::string data;
  for (const VesselTrack* track : Ordered(*request.tracks)) {
    for (std::size_t i = 0; i < track->points.size(); ++i) {
      const TrackPoint& point = track->points[i];
      if (i > 0 && std::fabs(point.longitude - track->points[i - 1].longitude) > 180) data += "\n";
      data += Point(point.longitude, point.latitude);
    }
    data += "\n\n";
  }
  for (const GroundMark& mark : GroundMarks(*request.events))
    data += Point(mark.event->longitude, mark.event->latitude);
  return data;
}

std::string GroundTrackScript(const GroundTrackRequest& request) {
  const Extent extent = ExtentOf(request);
  std::string script;
  script += "set terminal pngcairo noenhanced size 1200,800 font 'Sans,11'\n";
  script += "set output '" + std::string(kPng) + "'\n";
  script += "set title " + GnuplotText(request.titleLines) + " font ',14'\n";
  script += "set xlabel 'longitude (deg, east)'\nset ylabel 'latitude (deg, north)'\n";
  script += "set xrange [" + FormatDouble(extent.west) + ":" + FormatDouble(extent.east) + "]\n";
  script += "set yrange [" + FormatDouble(extent.south) + ":" + FormatDouble(extent.north) + "]\n";
  script += "set size ratio -1\nset grid lc rgb '#dddddd'\nset key top right opaque box\n";
  script += "set style textbox opaque noborder margins 1,1\n";
  // Marks close together share one label ("ignition + booster separation"), each kind named once.
  struct Label {
    std::string text;
    double longitude, latitude;  // deg
  };
  std::vector<Label> labels;
  const double closeness = 0.03 * std::max(extent.east - extent.west, extent.north - extent.south);
  for (const GroundMark& mark : GroundMarks(*request.events)) {
    const double longitude = mark.event->longitude, latitude = mark.event->latitude;
    if (!labels.empty() && std::hypot(longitude - labels.back().longitude,
                                      latitude - labels.back().latitude) < closeness) {
      std::string& text = labels.back().text;
      if (text.find(mark.label) == std::string::npos) text += std::string(" + ") + mark.label;
      continue;
    }
    labels.push_back(Label{mark.label, longitude, latitude});
  }
  for (std::size_t i = 0; i < labels.size(); ++i) {
    // Names run away from the nearer side of the map, so that they stay inside it.
    const bool eastHalf = labels[i].longitude > (extent.west + extent.east) / 2;
    script +=
        "set label " + std::to_string(i + 1) + " '" + labels[i].text + "' at " +
        FormatDouble(labels[i].longitude) + "," + FormatDouble(labels[i].latitude) +
        (eastHalf ? " right rotate by 30 offset -0.8,-0.4" : " left rotate by 30 offset 0.8,0.4") +
        " front boxed tc rgb '#333333'\n";
  }
  std::size_t launcherTracks = 0;
  for (const VesselTrack& track : *request.tracks) launcherTracks += track.launcher ? 1 : 0;
  const std::size_t tracks = request.tracks->size();
  const std::string data = std::string("'") + kData + "'";
  std::string plots;
  const auto add = [&plots](const std::string& plot) {
    plots += (plots.empty() ? "plot " : ", \\\n     ") + plot;
  };
  // The launcher's track drawn last, over the bodies' that start on it.
  if (tracks > launcherTracks)
    add(data + " index " + std::to_string(launcherTracks) + ":" + std::to_string(tracks - 1) +
        " with lines lw 1.5 lc rgb '#1f77b4' title 'bodies it left'");
  if (launcherTracks > 0)
    add(data + " index 0:" + std::to_string(launcherTracks - 1) +
        " with lines lw 3 lc rgb '#d62728' title 'launcher'");
  if (!GroundMarks(*request.events).empty())
    add(data + " index " + std::to_string(tracks) +
        " with points pt 7 ps 1.3 lc rgb '#333333' title 'events'");
  if (plots.empty()) add("NaN notitle");
  return script + plots + "\n";
}

PlotOutcome DrawGroundTrack(const GroundTrackRequest& request, std::string& message) {
  const std::string data = request.folder + "/" + kData;
  {
    std::ofstream file(data);
    if (!(file << GroundTrackData(request)) || !file.flush()) {
      std::remove(data.c_str());
      message = data + ": cannot be written";
      return PlotOutcome::kFailed;
    }
  }
  const PlotOutcome outcome =
      RunPlotScript(request.folder, GroundTrackScript(request), kPng, message);
  std::remove(data.c_str());
  return outcome;
}

}  // namespace zenthar::zsim
