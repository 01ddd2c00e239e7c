#pragma once

#include <string>

#include "sim/world/world.h"
#include "sim/zsim/command_line.h"
#include "sim/zsim/flight.h"

namespace zenthar::zsim {

/// Flies an opened flight by hand in the terminal, in real time times the time warp, with the
/// flight panel, until the pilot quits, a stop signal (or Ctrl-C typed) comes, or the end time.
/// Every key the pilot gives the module or the host becomes a press of the world's key script at
/// the time of the next frame; a save is made at once. Then the terminal is given back and
/// replay.scn written (from `scenarioText`, the scenario as read). False, with the reason, when a
/// save or replay.scn cannot be written.
bool FlyByHand(Flight& flight, World& world, const FlyOptions& options,
               const std::string& scenarioText, std::string& error);

}  // namespace zenthar::zsim
