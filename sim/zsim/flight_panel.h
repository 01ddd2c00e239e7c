#pragma once

#include <string>

#include "sim/world/world.h"
#include "sim/zsim/flight.h"

namespace zenthar::zsim {

/// What the panel shows of the pilot's side of a flight flown by hand.
struct PilotView {
  std::string scenario;  ///< the scenario's file name
  double warp = 1;       ///< times real time; infinity: as fast as the machine goes
  bool paused = false;
  bool help = false;    ///< the keys instead of the timeline
  std::string message;  ///< the last thing the pilot did, or why it did nothing
};

/// Draws the flight panel on the full screen (ncurses): mission time, warp and pause; the focus
/// vessel and the launcher's phase; the flown vehicle's altitude, speeds, acceleration, dynamic
/// pressure, Mach, mass, propellant, thrust, main engine level, nose and steering; its apsides once
/// it flies fast enough for them to mean something; the last events; the keys. It fits 80 x 24
/// and gives the timeline every further line; names appear as Printable shows them. LoadCurses
/// must have succeeded.
void DrawPanel(const World& world, const Flight& flight, const PilotView& pilot);

}  // namespace zenthar::zsim
