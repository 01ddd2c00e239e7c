#pragma once

#include <string>

#include "host/callbacks.h"
#include "sim/world/world.h"
#include "tests/support/project_world.h"

// The open-loop launch (scenarios/open_loop.scn) flown in the stand-in host, and the launcher's
// time step taken in each of its phases the way the host takes it: through the loaded module's
// callback, with the host's VESSEL behind it and the journal off.

/// The phases of the launch in which the module's time step does different work.
enum class FlightPhase {
  kPad,          ///< full stack on the pad, engine off: ignition watch, core pressure correction
  kBoosterBurn,  ///< full stack, boosters burning: profile sample, masses, flames, both thrusts
  kCoreStage,    ///< core stage with propellant left: pressure correction only
  kAfterRelease  ///< satellite gone, tank empty: the exhaustion test and nothing else
};

constexpr FlightPhase kAllPhases[] = {FlightPhase::kPad, FlightPhase::kBoosterBurn,
                                      FlightPhase::kCoreStage, FlightPhase::kAfterRelease};

const char* PhaseName(FlightPhase phase);
/// The phase of a name PhaseName gives; false for any other text.
bool PhaseFromName(const std::string& name, FlightPhase& phase);

/// Reads the open-loop launch into a world set up by UseProjectFiles and returns the launcher.
/// Exits with a message when the scenario cannot be flown.
zenthar::VesselState* LoadOpenLoopLaunch(zenthar::World& world);

/// The satellite has left: the host's focus has moved from the launcher to it.
inline bool SatelliteReleased(const zenthar::World& world, const zenthar::VesselState* launcher) {
  return world.focus() != launcher;
}

/// Flies the open-loop launch in a fresh world up to a point inside the phase and returns the
/// launcher. Exits with a message when the flight does not reach the phase.
zenthar::VesselState* FlyToPhase(zenthar::World& world, FlightPhase phase);

/// The launcher's time step in one phase, called as the host calls it, with a simulation time
/// that walks through the phase in steps of the world's dt and starts over at its end, so that
/// repeated steps stay in the phase.
class PhaseStepper {
 public:
  PhaseStepper(zenthar::World& world, zenthar::VesselState* launcher, FlightPhase phase);

  void Step() {
    timestep_(moduleVessel_, time_);
    time_ += dt_;
    if (time_ > end_) time_ = begin_;
  }

 private:
  decltype(&zvcTimestep) timestep_;
  VESSEL* moduleVessel_;
  double dt_;     ///< s
  double begin_;  ///< s, simulation time window within the phase
  double end_;    ///< s
  double time_;   ///< s, the next step's simulation time
};
