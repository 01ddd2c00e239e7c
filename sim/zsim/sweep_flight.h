#pragma once

#include <string>

#include "sim/world/world.h"
#include "sim/zsim/command_line.h"
#include "sim/zsim/event_log.h"
#include "sim/zsim/install_layout.h"
#include "sim/zsim/orbit.h"
#include "sim/zsim/telemetry.h"

namespace zenthar::zsim {

/// What one flight of a sweep came to: the figures of its row in sweep.csv.
struct FlightOutcome {
  bool flown = false;  ///< false: it could not be flown, and `why` says so
  std::string why;
  int reached = -1;       ///< the satellite in its target orbit: 1 yes, 0 no, -1 no target
  bool released = false;  ///< the satellite has left the launcher and is not on the ground
  OrbitShape orbit{};     ///< the satellite's, once released
  double ignition = NAN;  ///< s, simulation time of each milestone; NaN when it did not come
  double boosterSeparation = NAN;
  double fairingJettison = NAN;
  double satelliteRelease = NAN;
  Peak maxDynamicPressure;      ///< Pa
  Peak maxAcceleration;         ///< m/s^2
  double propellantLeft = NAN;  ///< kg, in the launcher's main tank at the end
};

/// The outcome of a flight that has been flown, from its events, its peaks and the world at its
/// end (before World::End).
FlightOutcome OutcomeOf(const World& world, const EventLog& log, const Telemetry& telemetry);

/// Flies one flight of a sweep: the world set up from the options (the scenario's text with the
/// flight's inputs), to its end. Without `files` it keeps only what its row needs, the events and
/// the peaks, and writes nothing; with them it leaves a flight's files in options.out as zsim fly
/// does. A flight that cannot be set up, flown or written has `flown` false and the reason.
FlightOutcome FlySweepFlight(FlyOptions options, bool files, const InstallLayout& layout);

}  // namespace zenthar::zsim
