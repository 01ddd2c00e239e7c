#pragma once

// Whole flights in the stand-in host: fresh worlds, stepping, and what the host observed.
//
// A world loads the launcher module with dlopen and unloads it when it ends, so the module's
// module-wide state (the satellite record) is fresh only in a world created after the previous
// one has ended. Worlds live on the heap here so that a test can end one before the next begins.

#include <memory>
#include <string>
#include <vector>

#include "sim/world/world.h"
#include "tests/support/project_world.h"

/// A world with the project's class files and the built module's folder.
std::unique_ptr<zenthar::World> NewWorld();

/// A fresh world read from a scenario text or file; null, with a test failure, when refused.
std::unique_ptr<zenthar::World> WorldFromText(const std::string& text);
std::unique_ptr<zenthar::World> WorldFromFile(const std::string& path);

/// A launch from the pad: a new launcher (its module's own defaults) standing on the pad at 5.2 N
/// 52.8 W, with the input focus and the key script (e.g. "5:E").
std::unique_ptr<zenthar::World> WorldOnPad(const std::string& launcherName,
                                           const std::string& keys);

std::string ReadTextFile(const std::string& path);

/// The frame of a simulation time that is a whole number of frames.
long FrameOf(double time, double dt);
/// The simulation time of a frame, as the host computes it.
double TimeOf(long frame, double dt);

/// The first frame whose time t satisfies t - start > span, with the host's and the module's
/// arithmetic: where a burn that started at `start` is over.
long FirstFrameAfter(double start, double span, double dt);

/// Steps once; the host's events of that step.
std::vector<zenthar::HostEvent> StepOnce(zenthar::World& world);
/// Steps until the simulation time reaches t; the host's events of those steps.
std::vector<zenthar::HostEvent> FlyUntil(zenthar::World& world, double t);
/// Steps until a step reports an event of the kind, at most until the time limit; that step's
/// frame, or -1.
long FlyUntilEvent(zenthar::World& world, const std::string& kind, double limit);

/// Frames by which a spent booster may come down off its reference frame in a flight resumed
/// during the booster burn: the burn resumes a frame behind (the file holds the time since
/// ignition as of the last full step), and the boosters' long fall through the air carries that
/// to some frames at their impact (up to 6 seen).
constexpr long kBoosterImpactLag = 10;

/// Checks a resumed flight's events against the reference flight's from the saved frame on: the
/// same events in order, each on its reference frame less the saved frame, give or take
/// `framesOff` (impacts `impactFramesOff`, when not negative). Whether all came and each on its
/// very frame.
bool ExpectEventsFrom(const std::vector<zenthar::HostEvent>& reference,
                      const std::vector<zenthar::HostEvent>& resumed, long savedFrame,
                      long framesOff, double dt, long impactFramesOff = -1);

/// A vessel as a flight left it.
struct VesselEnd {
  std::string name;
  std::string className;
  VECTOR3 position;  // m
  VECTOR3 velocity;  // m/s
  double mass;       // kg
  bool landed;
  bool impacted;
};
std::vector<VesselEnd> VesselEnds(const zenthar::World& world);

/// The events of one kind, in order.
std::vector<zenthar::HostEvent> EventsOfKind(const std::vector<zenthar::HostEvent>& events,
                                             const std::string& kind);

/// The world's vessels in order, each as "name:class".
std::vector<std::string> VesselList(const zenthar::World& world);

/// The lines of one vessel's block in a scenario text, without BEGIN_VESSEL and END_VESSEL.
std::vector<std::string> VesselBlock(const std::string& scenario, const std::string& name);
/// The first word of each line.
std::vector<std::string> KeysOf(const std::vector<std::string>& lines);
/// The text after the key of the first line that starts with "key ", or "" when none does.
std::string ValueOf(const std::vector<std::string>& lines, const std::string& key);
