// A flight is a function of its scenario alone: flown twice, in two worlds of one process or by
// two runs of zsim, it is the same to the last bit. And a flight saved at any of 100 moments drawn
// from a fixed seed and resumed from the saved text in a fresh world (the module loaded afresh)
// goes on to the same events and ends with the same vessels.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "host/engine_types.h"
#include "sim/files/scenario_file.h"
#include "sim/physics/vec_math.h"
#include "tests/support/flight_run.h"
#include "tests/support/temp_folder.h"

using namespace zenthar;

namespace {

const std::string OPEN_LOOP_LAUNCH = ScenarioPath("open_loop.scn");
const std::string LAUNCHER = "Vantor1";

const double FLIGHT_END = 820;  // s, past the spent boosters' impact (about 500 s)

// The save moments lie between the pad and a little after satellite release (about 603.5 s); the
// resumed flights stop soon after that, since a long coast holds no further event of the module.
const int SAVE_MOMENTS = 100;
const unsigned SAVE_SEED = 20240611;
const double LAST_SAVE = 610;    // s, save moments lie in [0, LAST_SAVE)
const double RESUMED_END = 612;  // s

// A resumed flight whose events all come on their own frames carried every quantity over exactly;
// what differs at its end is rounding (the attitude rebuilt from its angles, times rebased to
// the load), some 1e-16 of each quantity.
const double RESUMED_RELATIVE = 1e-9;
// A booster burn resumes one frame behind (the file holds the time since ignition as of the last
// full step), and a press saved before ignition is rebased to the new time zero, so the boosters
// may leave a frame off. That changes the launcher's velocity by at most one frame of its largest
// acceleration (under 80 m/s^2: under 1 m/s), and its position by that over the rest of the
// flight (under 612 s: under 1 km).
const double LAGGED_SPEED = 1;       // m/s
const double LAGGED_POSITION = 1e3;  // m

/// "" when the two files are the same byte for byte, else where they first differ.
std::string FirstDifference(const std::string& a, const std::string& b) {
  std::ifstream fileA(a, std::ios::binary), fileB(b, std::ios::binary);
  if (!fileA || !fileB) return "cannot read " + a + " or " + b;
  std::string lineA, lineB;
  for (long line = 1;; ++line) {
    const bool moreA = static_cast<bool>(std::getline(fileA, lineA));
    const bool moreB = static_cast<bool>(std::getline(fileB, lineB));
    if (!moreA && !moreB) break;
    if (moreA != moreB || lineA != lineB)
      return "line " + std::to_string(line) + ":\n  " + (moreA ? lineA : "(end of file)") + "\n  " +
             (moreB ? lineB : "(end of file)");
  }
  if (std::filesystem::file_size(a) != std::filesystem::file_size(b))
    return "the files end differently";
  return {};
}

// Every vessel at the end of a frame, then the host's events of that frame; reals with 17
// significant digits, so that a difference in any bit shows.
void WriteFrame(std::FILE* file, const World& world, std::size_t& eventsWritten) {
  for (const auto& vessel : world.vessels()) {
    const VesselState& v = *vessel;
    std::fprintf(file, "%ld %s %.17g %.17g %.17g %.17g %.17g %.17g %.17g %.17g %.17g %.17g %d %d\n",
                 world.frame(), v.name.c_str(), v.position.x, v.position.y, v.position.z,
                 v.velocity.x, v.velocity.y, v.velocity.z, v.Mass(), v.fuelMass,
                 v.engineLevel[ENGINE_MAIN], v.mainThrustMod, v.landed, v.impacted);
  }
  for (; eventsWritten < world.events().size(); ++eventsWritten) {
    const HostEvent& e = world.events()[eventsWritten];
    std::fprintf(file, "event %.17g %s %s %s\n", e.time, e.kind.c_str(), e.vessel.c_str(),
                 e.detail.c_str());
  }
}

// Flies the open-loop launch to its end, writing every frame; the host's events of the flight.
std::vector<HostEvent> FlyWritingTelemetry(const std::string& path) {
  auto world = WorldFromFile(OPEN_LOOP_LAUNCH);
  std::FILE* file = std::fopen(path.c_str(), "w");
  if (!world || !file) {
    ADD_FAILURE() << "cannot fly into " << path;
    if (file) std::fclose(file);
    return {};
  }
  std::size_t eventsWritten = 0;
  WriteFrame(file, *world, eventsWritten);
  while (world->time() < FLIGHT_END - 1e-9) {
    world->Step();
    WriteFrame(file, *world, eventsWritten);
  }
  EXPECT_EQ(0, std::fclose(file)) << path;
  return world->events();
}

bool Happened(const std::vector<HostEvent>& events, const std::string& kind,
              const std::string& vessel) {
  return std::any_of(events.begin(), events.end(),
                     [&](const HostEvent& e) { return e.kind == kind && e.vessel == vessel; });
}

TEST(Determinism, TwoWorldsFlyTheOpenLoopLaunchToTheSameBits) {
  TempFolder folder;
  ASSERT_TRUE(folder.made());
  // The first world's module is unloaded before the second loads it, so module-wide state that
  // outlives an unload, or memory read before it is written, shows as a difference.
  const std::vector<HostEvent> first = FlyWritingTelemetry(folder / "first.txt");
  FlyWritingTelemetry(folder / "second.txt");
  EXPECT_EQ("", FirstDifference(folder / "first.txt", folder / "second.txt"));
  // The comparison covered the whole mission, up to the boosters coming down.
  EXPECT_TRUE(Happened(first, "vessel_created", LAUNCHER + "-Sat"));
  EXPECT_TRUE(Happened(first, "impact", LAUNCHER + "-Stage_LeftBooster"));
}

// The open-loop launch, and the default mission flown by the guidance to its end.
TEST(Determinism, TwoRunsOfZsimWriteTheSameFiles) {
  const std::string zsim = ZSIM_PATH;
  if (!std::filesystem::exists(zsim)) GTEST_SKIP() << zsim << " is not built";
  struct {
    std::string scenario;
    std::string options;
    const char* flown;  ///< in events.csv when the flight went as far as it should
  } const flights[] = {
      {OPEN_LOOP_LAUNCH, "--until " + std::to_string(FLIGHT_END) + " --every 0.01", "impact"},
      {ScenarioPath("default.scn"), "", "target 500 x 500 km reached"},
  };
  for (const auto& flight : flights) {
    SCOPED_TRACE(flight.scenario);
    TempFolder folder;
    ASSERT_TRUE(folder.made());
    for (const char* run : {"a", "b"}) {
      const std::string command = "'" + zsim + "' fly '" + flight.scenario + "' --out '" +
                                  folder / run + "' " + flight.options + " --no-plot --quiet > '" +
                                  folder / run + ".log' 2>&1";
      ASSERT_EQ(0, std::system(command.c_str())) << command << "\n"
                                                 << ReadTextFile(folder / run + ".log");
    }
    for (const char* file : {"telemetry.csv", "events.csv", "summary.txt"}) {
      SCOPED_TRACE(file);
      EXPECT_EQ("", FirstDifference(folder / "a/" + file, folder / "b/" + file));
    }
    const std::string events = ReadTextFile(folder / "a/events.csv");
    EXPECT_NE(std::string::npos, events.find(LAUNCHER + "-Sat")) << events;
    EXPECT_NE(std::string::npos, events.find(flight.flown)) << events;
  }
}

// Distinct frames uniform over [0, LAST_SAVE), in order. The engine's own output is reduced to
// the range because its sequence is fixed by the language standard, while the algorithms of the
// distributions are each library's own: every build saves at the same moments.
std::vector<long> SaveFrames(double dt) {
  std::mt19937 engine(SAVE_SEED);
  const auto range = static_cast<unsigned long>(FrameOf(LAST_SAVE, dt));
  std::set<long> frames;
  while (frames.size() < static_cast<std::size_t>(SAVE_MOMENTS))
    frames.insert(static_cast<long>(engine() % range));
  return {frames.begin(), frames.end()};
}

struct FlightEnd {
  std::vector<HostEvent> events;  // after the load
  std::vector<VesselEnd> vessels;
  std::string focus;
};

FlightEnd EndOf(const World& world, std::size_t loaded) {
  FlightEnd end;
  end.events.assign(world.events().begin() + static_cast<long>(loaded), world.events().end());
  end.vessels = VesselEnds(world);
  end.focus = world.focus() ? world.focus()->name : "";
  return end;
}

void ExpectNearVector(const VECTOR3& expected, const VECTOR3& actual, double tolerance) {
  EXPECT_LE(Length(actual - expected), tolerance)
      << "expected " << expected.x << " " << expected.y << " " << expected.z << ", got " << actual.x
      << " " << actual.y << " " << actual.z;
}

void ExpectSameVessels(const FlightEnd& reference, const FlightEnd& resumed, bool onFrame) {
  ASSERT_EQ(reference.vessels.size(), resumed.vessels.size());
  EXPECT_EQ(reference.focus, resumed.focus);
  for (std::size_t i = 0; i < reference.vessels.size(); ++i) {
    const VesselEnd& expected = reference.vessels[i];
    const VesselEnd& actual = resumed.vessels[i];
    SCOPED_TRACE(expected.name);
    EXPECT_EQ(expected.name, actual.name);
    EXPECT_EQ(expected.className, actual.className);
    EXPECT_EQ(expected.landed, actual.landed);
    EXPECT_EQ(expected.impacted, actual.impacted);
    // Every tank has run dry and every body has left by the end, so even a lagged flight ends
    // with the same masses.
    EXPECT_NEAR(expected.mass, actual.mass, RESUMED_RELATIVE * expected.mass);
    const double speed = std::max(Length(expected.velocity), 1.0);
    ExpectNearVector(expected.position, actual.position,
                     onFrame ? RESUMED_RELATIVE * Length(expected.position) : LAGGED_POSITION);
    ExpectNearVector(expected.velocity, actual.velocity,
                     onFrame ? RESUMED_RELATIVE * speed : LAGGED_SPEED);
  }
}

TEST(Determinism, FlightSavedAtHundredRandomMomentsResumesToTheSameEnd) {
  // One uninterrupted flight, saved as it passes each moment (saving leaves the flight as it is).
  std::vector<long> frames;
  std::vector<std::string> texts;
  FlightEnd reference;
  double dt = 0;
  {
    auto world = WorldFromFile(OPEN_LOOP_LAUNCH);
    ASSERT_NE(nullptr, world);
    dt = world->dt;
    frames = SaveFrames(dt);
    const std::size_t loaded = world->events().size();
    for (long frame : frames) {
      FlyUntil(*world, TimeOf(frame, dt));
      texts.push_back(WriteScenario(*world));
    }
    FlyUntil(*world, RESUMED_END);
    reference = EndOf(*world, loaded);
    ASSERT_TRUE(Happened(reference.events, "focus", LAUNCHER + "-Sat"));
  }

  int lagged = 0, onFrames = 0;
  for (std::size_t i = 0; i < texts.size(); ++i) {
    SCOPED_TRACE("saved at frame " + std::to_string(frames[i]) + ":\n" + texts[i]);
    FlightEnd resumed;
    {
      auto world = WorldFromText(texts[i]);
      ASSERT_NE(nullptr, world);
      const std::size_t loaded = world->events().size();
      FlyUntil(*world, RESUMED_END - TimeOf(frames[i], dt));
      resumed = EndOf(*world, loaded);
    }
    // Each event on its frame, or one frame off.
    const bool onFrame =
        ExpectEventsFrom(reference.events, resumed.events, frames[i], 1, dt, kBoosterImpactLag);
    // After booster separation no clock of the module is left to rebase: propellant and presses
    // decide the rest, so every event comes on its very frame.
    const bool separated = ValueOf(VesselBlock(texts[i], LAUNCHER), "CONFIGURATION") == "1";
    EXPECT_TRUE(onFrame || !separated) << "saved after booster separation";
    ++(onFrame ? onFrames : lagged);
    ExpectSameVessels(reference, resumed, onFrame);
    if (HasFailure()) break;
  }
  // Both kinds of resumed flight were compared.
  EXPECT_GT(lagged, 0);
  EXPECT_GT(onFrames, 0);
}

}  // namespace
