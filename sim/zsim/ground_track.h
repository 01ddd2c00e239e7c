#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "sim/world/world.h"
#include "sim/zsim/event_log.h"

namespace zenthar::zsim {

/// A vessel over the turning ground at one moment.
struct TrackPoint {
  double time;       ///< s
  double latitude;   ///< deg, geocentric
  double longitude;  ///< deg, east, in the planet's frame
  double altitude;   ///< m
};

/// One vessel's way over the ground.
struct VesselTrack {
  std::string name;
  bool launcher = false;  ///< the vessel a module flies
  std::vector<TrackPoint> points;
  double every = 0;  ///< s between points while it flies (grows on very long flights)
  double next = 0;   ///< s, when the next point is due
  bool landed = false;
};

/// Records the way of every vessel of a world over the ground: a point when a vessel is first
/// seen, every `every` seconds while it flies, and when it comes to rest or lifts off; a vessel
/// standing still adds nothing. A track that grows past kMostPoints keeps every other point and
/// takes points half as often, so a flight of any length fits in memory.
class GroundTracks {
 public:
  static constexpr std::size_t kMostPoints = 100000;

  GroundTracks(const World& world, double every) : world_(world), every_(every) {}

  /// After the load and after every frame.
  void Record();
  /// After the last frame: where every vessel ended. The tracks no longer need the world.
  void Finish();
  const std::vector<VesselTrack>& tracks() const { return tracks_; }

 private:
  void Add(VesselTrack& track, const VesselState& vessel);

  const World& world_;
  double every_;                     ///< s
  std::vector<VesselTrack> tracks_;  ///< one per vessel of the world, in its order
};

/// An event marked over the ground, with a label of fixed text (never a name): "ignition", the
/// milestones ("booster separation" ...) and "impact".
struct GroundMark {
  const char* label;
  const FlightEvent* event;
};

/// The events worth a mark over the ground, in order: the first ignition, every body that leaves
/// the launcher, every impact.
std::vector<GroundMark> GroundMarks(const std::vector<FlightEvent>& events);

}  // namespace zenthar::zsim
