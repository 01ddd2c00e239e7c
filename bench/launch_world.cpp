#include "bench/launch_world.h"

#include <cstdio>
#include <cstdlib>

#include "sim/files/scenario_file.h"

using namespace zenthar;

namespace {

// The open-loop launch presses E at 5 s; the boosters are recognised as lit two frames later, at
// 5.02 s, and separate once more than 129 s have passed since then. The core stage's tank runs
// dry at 603.44 s, and the fairing and the satellite leave in the next two frames.
struct PhasePlan {
  FlightPhase phase;
  const char* name;
  double flyTo;        ///< s, how far the launch is flown before measuring; <0: to release
  double windowBegin;  ///< s, the simulation times the measured steps walk through
  double windowEnd;    ///< s; for kAfterRelease relative to the release
};

const PhasePlan kPlans[] = {
    {FlightPhase::kPad, "pad", 2.0, 0.0, 4.9},
    {FlightPhase::kBoosterBurn, "booster_burn", 60.0, 6.0, 133.0},
    {FlightPhase::kCoreStage, "core_stage", 300.0, 140.0, 600.0},
    {FlightPhase::kAfterRelease, "after_release", -1.0, 1.0, 100.0},
};

const PhasePlan& PlanOf(FlightPhase phase) {
  for (const PhasePlan& plan : kPlans)
    if (plan.phase == phase) return plan;
  std::abort();
}

[[noreturn]] void Fail(const std::string& message) {
  std::fprintf(stderr, "launch world: %s\n", message.c_str());
  std::exit(2);
}

// The host's own record shows which phase the launcher is in, whatever the module holds.
bool InPhase(const World& world, const VesselState* launcher, FlightPhase phase) {
  const bool boostersGone = world.Find(launcher->name + "-Stage_LeftBooster") != nullptr;
  const bool released = SatelliteReleased(world, launcher);
  switch (phase) {
    case FlightPhase::kPad:
      return launcher->landed && launcher->engineLevel[ENGINE_MAIN] == 0 && !boostersGone;
    case FlightPhase::kBoosterBurn:
      return !launcher->landed && !boostersGone && BoosterFlameLit(*launcher);
    case FlightPhase::kCoreStage:
      return boostersGone && launcher->fuelMass > 0 && !released;
    case FlightPhase::kAfterRelease:
      return released && launcher->fuelMass == 0.0;
  }
  return false;
}

}  // namespace

const char* PhaseName(FlightPhase phase) {
  return PlanOf(phase).name;
}

bool PhaseFromName(const std::string& name, FlightPhase& phase) {
  for (const PhasePlan& plan : kPlans) {
    if (name != plan.name) continue;
    phase = plan.phase;
    return true;
  }
  return false;
}

VesselState* LoadOpenLoopLaunch(World& world) {
  std::string error;
  if (!LoadScenarioFile(world, ScenarioPath("open_loop.scn"), error)) Fail(error);
  VesselState* launcher = world.Launcher();
  if (launcher == nullptr || launcher->moduleVessel == nullptr)
    Fail("the open-loop scenario holds no launcher");
  return launcher;
}

VesselState* FlyToPhase(World& world, FlightPhase phase) {
  UseProjectFiles(world);
  VesselState* launcher = LoadOpenLoopLaunch(world);
  const PhasePlan& plan = PlanOf(phase);
  if (plan.flyTo >= 0) {
    world.RunUntil(plan.flyTo);
  } else {
    const double limit = 2000;  // s, far beyond the open-loop launch's release
    while (!SatelliteReleased(world, launcher) && world.time() < limit) world.Step();
    world.RunUntil(world.time() + 1.0);
  }
  if (!InPhase(world, launcher, phase))
    Fail(std::string("the open-loop launch is not in the phase ") + plan.name +
         " at t = " + std::to_string(world.time()) + " s");
  return launcher;
}

PhaseStepper::PhaseStepper(World& world, VesselState* launcher, FlightPhase phase)
    : timestep_(launcher->module->callbacks().timestep),
      moduleVessel_(launcher->moduleVessel),
      dt_(world.dt) {
  const PhasePlan& plan = PlanOf(phase);
  const double base = plan.flyTo >= 0 ? 0.0 : world.time();  // s
  begin_ = base + plan.windowBegin;
  end_ = base + plan.windowEnd;
  time_ = begin_;
}
