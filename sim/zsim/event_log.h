#pragma once

#include <cstddef>
#include <cstdio>
#include <string>
#include <vector>

#include "sim/world/world.h"

namespace zenthar::zsim {

/// One event of the flight: what the host observed, with a vessel's state at the end of the frame
/// in which it happened.
struct FlightEvent {
  double time;            ///< s, simulation time of the frame in which the host saw it
  std::string kind;       ///< engine, booster_ignition, vessel_created, vessel_refused, focus,
                          ///< propellant_exhausted, impact, saved
  std::string vessel;     ///< the vessel it concerns
  std::string detail;     ///< the new engine level, the class created or refused, the file saved
  double altitude;        ///< m
  double speed;           ///< m/s
  double mass;            ///< kg
  double latitude;        ///< deg, geocentric
  double longitude;       ///< deg, east, in the turning planet's frame
  bool atLoad;            ///< seen while the scenario was read, before the first frame
  const char* milestone;  ///< "booster separation", "fairing jettison", "satellite release", or ""
};

/// Watches a world and collects the events of its flight: the host's own reports and what it sees
/// change from frame to frame (the launcher's main-engine level, its booster flames lit). It also
/// knows the vehicle being flown: the launcher, and once the focus moves during the flight, the new
/// focus (the satellite after its release).
///
/// A launcher flown on from a saved scenario has its burn put into effect by its module's first
/// time step: the masses set then count as the launcher's at load, and booster flames lit then
/// while the main engine burnt at load are a burn that was already going, not an ignition.
///
/// The state an event carries is that of the vessel it names, except for a body that has just left
/// the vehicle (and for a refusal or a save), which carry the vehicle's state: where and how fast
/// it was flying, and its mass once the body has gone.
class EventLog {
 public:
  explicit EventLog(World& world) : world_(world) {}

  /// Looks at the world after the scenario was read, a frame was run or a file saved; returns how
  /// many events are new (the last ones of events()). Allocates only when something happened.
  std::size_t Observe();
  const std::vector<FlightEvent>& events() const { return events_; }

  /// The vessel whose flight is recorded; null when the world holds neither launcher nor focus.
  const VesselState* vehicle() const { return vehicle_; }
  /// Where the flight stands, for a status line: "on the pad", "booster burn", "core burn" ...
  const char* phase() const { return phase_; }

 private:
  void Add(const std::string& kind, const VesselState* stateOf, const std::string& vessel,
           const std::string& detail, double time, bool atLoad, const char* milestone = "");
  void TakeHostReport(const HostEvent& report, bool atLoad);
  void WatchLauncher(double frameTime);
  /// After the first frame: what it put into effect of the launcher's state at load.
  void PutLoadIntoEffect();

  World& world_;
  bool started_ = false;
  std::size_t reportsSeen_ = 0;
  const VesselState* vehicle_ = nullptr;
  const VesselState* launcher_ = nullptr;
  double mainLevel_ = 0;      ///< the launcher's main-engine level at the end of the last frame
  bool boostersLit_ = false;  ///< booster flames seen scaled at least once
  double launcherFuelAtLoad_ = 0;            ///< kg
  std::vector<std::size_t> launcherAtLoad_;  ///< events at load that carry the launcher's state
  const char* phase_ = "";
  std::vector<FlightEvent> events_;
};

/// The flight's timeline as a person reads it, one line per moment: events from `first` on, those
/// of one frame that say the same thing of the same state on one line ("booster separation" for
/// both boosters).
std::vector<std::string> TimelineLines(const std::vector<FlightEvent>& events, std::size_t first);

/// events.csv: t_s,event,vessel,detail,altitude_m,speed_m_s,mass_kg,latitude_deg,longitude_deg.
void WriteEventsCsv(std::FILE* file, const std::vector<FlightEvent>& events);

}  // namespace zenthar::zsim
