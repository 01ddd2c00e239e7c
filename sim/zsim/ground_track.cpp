#include "sim/zsim/ground_track.h"

#include <cmath>

#include "sim/physics/ground_point.h"

namespace zenthar::zsim {

void GroundTracks::Add(VesselTrack& track, const VesselState& vessel) {
  const double time = world_.time();
  if (track.points.size() >= kMostPoints) {
    std::size_t kept = 0;
    for (std::size_t i = 0; i < track.points.size(); i += 2) track.points[kept++] = track.points[i];
    track.points.resize(kept);
    track.every *= 2;
  }
  const GroundPoint ground = GroundPointOf(world_.planet, vessel.position, time);
  track.points.push_back(TrackPoint{time, ground.latitude, ground.longitude, ground.altitude});
  track.next = (std::floor(time / track.every + 1e-9) + 1) * track.every;
  track.landed = vessel.landed;
}

void GroundTracks::Record() {
  const auto& vessels = world_.vessels();
  const double time = world_.time();
  for (std::size_t i = 0; i < vessels.size(); ++i) {
    const VesselState& vessel = *vessels[i];
    if (i == tracks_.size()) {
      VesselTrack track;
      track.name = vessel.name;
      track.launcher = vessel.module != nullptr;
      track.every = every_;
      tracks_.push_back(std::move(track));
      Add(tracks_.back(), vessel);
      continue;
    }
    VesselTrack& track = tracks_[i];
    if (vessel.landed != track.landed || (!vessel.landed && time + 1e-9 >= track.next))
      Add(track, vessel);
  }
}

void GroundTracks::Finish() {
  const auto& vessels = world_.vessels();
  for (std::size_t i = 0; i < tracks_.size() && i < vessels.size(); ++i)
    if (tracks_[i].points.back().time < world_.time()) Add(tracks_[i], *vessels[i]);
}

std::vector<GroundMark> GroundMarks(const std::vector<FlightEvent>& events) {
  std::vector<GroundMark> marks;
  bool ignited = false;
  for (const FlightEvent& event : events) {
    if (event.atLoad) continue;
    if (event.kind == "engine" && event.detail != "0" && !ignited) {
      ignited = true;
      marks.push_back(GroundMark{"ignition", &event});
    } else if (event.kind == "vessel_created" && *event.milestone) {
      marks.push_back(GroundMark{event.milestone, &event});
    } else if (event.kind == "impact") {
      marks.push_back(GroundMark{"impact", &event});
    }
  }
  return marks;
}

}  // namespace zenthar::zsim
