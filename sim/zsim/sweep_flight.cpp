#include "sim/zsim/sweep_flight.h"

#include <cstring>

#include "sim/guidance/autopilot.h"
#include "sim/guidance/orbit_geometry.h"
#include "sim/physics/physics.h"
#include "sim/zsim/flight.h"
#include "sim/zsim/world_setup.h"

namespace zenthar::zsim {

namespace {

FlightOutcome Failed(const std::string& why) {
  FlightOutcome outcome;
  outcome.why = why;
  return outcome;
}

/// The frames of a flight with nothing written: its events and the peaks of its telemetry, as
/// Flight records them.
FlightOutcome FlyForRow(World& world, const FlyOptions& options) {
  EventLog log(world);
  Telemetry telemetry(world, options.every, nullptr);
  log.Observe();
  telemetry.Start(log.vehicle());
  while (!FlightOver(world, options)) {
    telemetry.BeforeFrame(log.vehicle());
    world.Step();
    log.Observe();
    telemetry.Record(log.vehicle());
  }
  telemetry.Finish();
  log.Observe();
  return OutcomeOf(world, log, telemetry);
}

FlightOutcome FlyWithFiles(World& world, const FlyOptions& options) {
  Flight flight(options, world);
  std::string error;
  if (!flight.Open(error) || !flight.Run(error)) return Failed(error);
  const FlightOutcome outcome = OutcomeOf(world, flight.log(), flight.telemetry());
  if (!flight.Finish(error)) return Failed(error);
  return outcome;
}

}  // namespace

FlightOutcome OutcomeOf(const World& world, const EventLog& log, const Telemetry& telemetry) {
  FlightOutcome outcome;
  outcome.flown = true;
  std::string satellite;
  for (const FlightEvent& event : log.events()) {
    if (event.atLoad) continue;
    double* time = nullptr;
    if (event.kind == "engine" && event.detail != "0")
      time = &outcome.ignition;
    else if (std::strcmp(event.milestone, "booster separation") == 0)
      time = &outcome.boosterSeparation;
    else if (std::strcmp(event.milestone, "fairing jettison") == 0)
      time = &outcome.fairingJettison;
    else if (std::strcmp(event.milestone, "satellite release") == 0) {
      time = &outcome.satelliteRelease;
      if (satellite.empty()) satellite = event.vessel;
    }
    if (time && std::isnan(*time)) *time = event.time;
  }
  if (const guidance::Autopilot* autopilot = world.autopilot()) {
    // The summary's verdict: the satellite's orbit at the end against the target.
    const VesselState* flown = autopilot->satellite();
    outcome.reached =
        flown && guidance::ArrivalOf(flown->position, flown->velocity, autopilot->target(),
                                     world.planet.radius, world.planet.gm)
                     .reached;
  }
  const VesselState* released = satellite.empty() ? nullptr : world.Find(satellite);
  if (released && !released->landed) {
    outcome.released = true;
    outcome.orbit = OrbitOf(released->position, released->velocity, world.planet);
  }
  outcome.maxDynamicPressure = telemetry.maxDynamicPressure();
  outcome.maxAcceleration = telemetry.maxAcceleration();
  if (const VesselState* launcher = world.Launcher()) outcome.propellantLeft = launcher->fuelMass;
  return outcome;
}

FlightOutcome FlySweepFlight(FlyOptions options, bool files, const InstallLayout& layout) {
  World world;
  std::string error;
  if (!SetUpWorld(world, options, layout, error)) return Failed(error);
  if (ScheduleFlight(world, options, error) >= 0) return Failed(error);
  return files ? FlyWithFiles(world, options) : FlyForRow(world, options);
}

}  // namespace zenthar::zsim
