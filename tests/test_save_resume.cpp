// Saving a flight at any moment and resuming it in a fresh world (with the module loaded afresh):
// the flight goes on to the same events and ends with the same vessels. Also what a saved
// launcher block holds, and the sample scenarios that start a flight in mid-air.

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "host/engine_types.h"
#include "sim/files/scenario_file.h"
#include "sim/physics/physics.h"
#include "tests/support/flight_run.h"

using namespace zenthar;

namespace {

const double BOOSTER_BURN = 129;  // s, from ignition to automatic booster separation

// The open-loop launch with further key presses, flown to the end time.
std::unique_ptr<World> OpenLoopLaunch(const std::string& extraKeys) {
  auto world = WorldFromFile(ScenarioPath("open_loop.scn"));
  std::string error;
  if (world && !extraKeys.empty() && !world->keyScript().Parse(extraKeys, error)) {
    ADD_FAILURE() << error;
    return nullptr;
  }
  return world;
}

// Where a save point lies: at a time, or some frames from a moment of the flight.
enum class Anchor { kTime, kFirstKey, kBoosters, kExhausted, kFairing, kSatellite };

struct SavePoint {
  const char* moment;
  Anchor anchor;
  double time;  // s, for kTime
  long frames;  // from the anchor's frame; the file holds the world before that frame's step
};

struct Flight {
  const char* what;
  const char* extraKeys;
  double end;  // s
  std::vector<SavePoint> saves;
};

// An uninterrupted flight: what the host reported after the load, and how it ended.
struct Reference {
  std::vector<HostEvent> events;
  std::vector<std::string> vessels;
  std::string focus;
  long firstKey = -1;
};

long CreatedFrame(const Reference& reference, const std::string& className, double dt) {
  for (const HostEvent& event : reference.events)
    if (event.kind == "vessel_created" && event.detail == className) return FrameOf(event.time, dt);
  return -1;
}

long AnchorFrame(const Reference& reference, const SavePoint& save, double dt) {
  long anchor = -1;
  switch (save.anchor) {
    case Anchor::kTime:
      return FrameOf(save.time, dt);
    case Anchor::kFirstKey:
      anchor = reference.firstKey;
      break;
    case Anchor::kBoosters:
      anchor = CreatedFrame(reference, "Vantor_LeftBooster", dt);
      break;
    case Anchor::kExhausted:
      for (const HostEvent& event : reference.events)
        if (event.kind == "propellant_exhausted") anchor = FrameOf(event.time, dt);
      break;
    case Anchor::kFairing:
      anchor = CreatedFrame(reference, "Vantor_LeftPayload", dt);
      break;
    case Anchor::kSatellite:
      anchor = CreatedFrame(reference, "Relaysat", dt);
      break;
  }
  return anchor < 0 ? -1 : anchor + save.frames;
}

std::vector<HostEvent> EventsAfterLoad(const World& world, std::size_t loaded) {
  return {world.events().begin() + static_cast<long>(loaded), world.events().end()};
}

TEST(SaveResume, FlightsResumeFromAnyMomentToTheSameEvents) {
  const Flight flights[] = {
      {"E alone",
       "",
       620,
       {{"on the pad at load", Anchor::kTime, 0, 0},
        {"on the pad, E still to come", Anchor::kTime, 2, 0},
        {"right after the E step", Anchor::kFirstKey, 0, 1},
        {"right after the skipped step", Anchor::kFirstKey, 0, 2},
        {"right after ignition", Anchor::kFirstKey, 0, 3},
        {"during the booster burn", Anchor::kTime, 60, 0},
        {"the step before separation", Anchor::kBoosters, 0, 0},
        {"right after booster separation", Anchor::kBoosters, 0, 1},
        {"during the core burn", Anchor::kTime, 300, 0},
        {"just before the tank runs dry", Anchor::kExhausted, 0, -2},
        {"tank empty, fairing aboard", Anchor::kExhausted, 0, 1},
        {"right after fairing jettison", Anchor::kFairing, 0, 1},
        {"right after satellite release", Anchor::kSatellite, 0, 1},
        {"coasting after release", Anchor::kSatellite, 0, 500}}},
      {"J presses",
       "60:J,100:J,110:J",
       130,
       {{"J held down, boosters gone", Anchor::kBoosters, 0, 5},
        {"between the presses", Anchor::kTime, 80, 0},
        {"fairing gone by J, propellant left", Anchor::kFairing, 0, 1},
        {"right after release by J", Anchor::kSatellite, 0, 1}}},
  };

  for (const Flight& flight : flights) {
    SCOPED_TRACE(flight.what);
    double dt = 0;
    Reference reference;
    {
      auto world = OpenLoopLaunch(flight.extraKeys);
      ASSERT_NE(nullptr, world);
      dt = world->dt;
      reference.firstKey = FrameOf(world->keyScript().presses().front().time, dt);
      const std::size_t loaded = world->events().size();
      FlyUntil(*world, flight.end);
      reference.events = EventsAfterLoad(*world, loaded);
      reference.vessels = VesselList(*world);
      ASSERT_NE(nullptr, world->focus());
      reference.focus = world->focus()->name;
    }

    // The same flight again, saved on the way; saving must not change it.
    std::vector<long> frames;
    std::vector<std::string> texts;
    {
      auto world = OpenLoopLaunch(flight.extraKeys);
      ASSERT_NE(nullptr, world);
      const std::size_t loaded = world->events().size();
      for (const SavePoint& save : flight.saves) {
        const long frame = AnchorFrame(reference, save, dt);
        ASSERT_GE(frame, world->frame()) << save.moment;
        FlyUntil(*world, TimeOf(frame, dt));
        frames.push_back(frame);
        texts.push_back(WriteScenario(*world));
      }
      FlyUntil(*world, flight.end);
      ExpectEventsFrom(reference.events, EventsAfterLoad(*world, loaded), 0, 0, dt);
    }

    for (std::size_t i = 0; i < texts.size(); ++i) {
      SCOPED_TRACE(std::string(flight.saves[i].moment) + ", saved at frame " +
                   std::to_string(frames[i]) + ":\n" + texts[i]);
      auto world = WorldFromText(texts[i]);
      ASSERT_NE(nullptr, world);
      const std::size_t loaded = world->events().size();
      FlyUntil(*world, flight.end - TimeOf(frames[i], dt));
      ExpectEventsFrom(reference.events, EventsAfterLoad(*world, loaded), frames[i], 1, dt,
                       kBoosterImpactLag);
      EXPECT_EQ(reference.vessels, VesselList(*world));
      ASSERT_NE(nullptr, world->focus());
      EXPECT_EQ(reference.focus, world->focus()->name);
    }
  }
}

TEST(SaveResume, LauncherBlockHoldsTheHostLinesThenTheConfigurationsLines) {
  const std::vector<std::string> stackKeys = {
      "CONFIGURATION", "ITIME",          "BOOSTER_IGNITED", "SAT_OFS_X", "SAT_OFS_Y",
      "SAT_OFS_Z",     "SAT_JETTISONED", "SAT_NAME",        "SAT_MESH",  "SAT_MASS"};
  const std::vector<std::string> coreKeys = {"CONFIGURATION", "SAT_OFS_X", "SAT_OFS_Y",
                                             "SAT_OFS_Z",     "SAT_MASS",  "SAT_JETTISONED",
                                             "SAT_NAME",      "SAT_MESH",  "SHROUD"};
  struct Moment {
    double time;  // s
    bool core;
    std::vector<std::string> lines;  // "KEY value"
  } const moments[] = {
      {0, false, {"CONFIGURATION 0", "BOOSTER_IGNITED 0", "SAT_JETTISONED 0"}},
      {60,
       false,
       {"CONFIGURATION 0", "BOOSTER_IGNITED 1", "SAT_OFS_X 0", "SAT_OFS_Y 0", "SAT_OFS_Z 23.5",
        "SAT_JETTISONED 0", "SAT_NAME Relaysat", "SAT_MESH relaysat", "SAT_MASS 950"}},
      {300,
       true,
       {"CONFIGURATION 1", "SAT_OFS_Z 23.5", "SAT_MASS 950", "SAT_JETTISONED 0",
        "SAT_NAME Relaysat", "SAT_MESH relaysat", "SHROUD 0"}},
      {605, true, {"CONFIGURATION 1", "SAT_JETTISONED 1", "SHROUD 1"}},
  };

  // The flight saved at each moment: the text, and the time since ignition as of the last full
  // step (ITIME; 0 before ignition).
  std::vector<std::string> texts;
  std::vector<double> sinceIgnition;
  {
    auto world = OpenLoopLaunch("");
    ASSERT_NE(nullptr, world);
    const double dt = world->dt;
    const long ignition = FrameOf(world->keyScript().presses().front().time, dt) + 2;
    for (const Moment& moment : moments) {
      FlyUntil(*world, moment.time);
      texts.push_back(WriteScenario(*world));
      const bool ignited = world->frame() > ignition;
      sinceIgnition.push_back(ignited ? TimeOf(world->frame() - 1, dt) - TimeOf(ignition, dt) : 0);
    }
  }
  // The host writes a launcher's own lines as it writes those of any other vessel.
  const std::vector<std::string> hostKeys =
      KeysOf(VesselBlock(texts.back(), "Vantor1-Stage_LeftBooster"));
  ASSERT_FALSE(hostKeys.empty());

  for (std::size_t i = 0; i < texts.size(); ++i) {
    const Moment& moment = moments[i];
    SCOPED_TRACE("saved at " + std::to_string(moment.time) + " s:\n" + texts[i]);
    const std::vector<std::string> block = VesselBlock(texts[i], "Vantor1");
    std::vector<std::string> keys = hostKeys;
    // The open-loop launch flies a programmed ascent, which the host keeps among its own lines,
    // with the plane it has flown in since lift-off.
    keys.push_back("HEADING");
    if (moment.time > 0) keys.push_back("LAUNCH_PLANE");
    keys.push_back("PITCH");
    for (const std::string& key : moment.core ? coreKeys : stackKeys) keys.push_back(key);
    EXPECT_EQ(keys, KeysOf(block));
    for (const std::string& line : moment.lines) {
      const std::string key = line.substr(0, line.find(' '));
      EXPECT_EQ(line.substr(key.size() + 1), ValueOf(block, key)) << key;
    }
    if (!moment.core) {
      EXPECT_NEAR(sinceIgnition[i], std::atof(ValueOf(block, "ITIME").c_str()), 1e-9);
    }
  }
}

TEST(SampleScenarios, StackBurnSeparatesItsBoostersWhenTheBurnPasses129Seconds) {
  auto world = WorldFromFile(ScenarioPath("stack_burn.scn"));
  ASSERT_NE(nullptr, world);
  VesselState* launcher = world->Launcher();
  ASSERT_NE(nullptr, launcher);
  EXPECT_EQ(launcher, world->focus());
  const double dt = world->dt;
  const double burning = 40.2;  // s, ITIME of the file
  // Saved before any step, the file's time since ignition comes back as it was read.
  EXPECT_EQ(
      burning,
      std::atof(ValueOf(VesselBlock(WriteScenario(*world), launcher->name), "ITIME").c_str()));

  const double climbing = Altitude(*launcher, world->planet);
  StepOnce(*world);
  EXPECT_TRUE(BoosterFlameLit(*launcher));
  const long separation = FirstFrameAfter(-burning, BOOSTER_BURN, dt);
  // The first step after 129 - 40.2 = 88.8 s of flight.
  EXPECT_NEAR(BOOSTER_BURN - burning + dt / 2, TimeOf(separation, dt), dt / 2 + 1e-9);
  FlyUntil(*world, TimeOf(separation, dt));
  EXPECT_EQ(1u, world->vessels().size());
  const std::vector<HostEvent> created = EventsOfKind(StepOnce(*world), "vessel_created");
  ASSERT_EQ(2u, created.size());
  EXPECT_EQ("Vantor1-Stage_LeftBooster", created[0].vessel);
  EXPECT_EQ("Vantor1-Stage_RightBooster", created[1].vessel);
  EXPECT_NEAR(TimeOf(separation, dt), created[0].time, dt / 2);
  EXPECT_EQ(1.0, launcher->engineLevel[ENGINE_MAIN]);
  EXPECT_GT(Altitude(*launcher, world->planet), climbing);
}

TEST(SampleScenarios, CoreAfterFairingReleasesItsSatelliteWhenDryOrOnJ) {
  struct {
    const char* keys;
    bool dry;  // released because the tank ran dry, not by J
  } const cases[] = {{"", true}, {"1:J", false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.keys);
    auto world = WorldFromFile(ScenarioPath("core_after_fairing.scn"));
    ASSERT_NE(nullptr, world);
    std::string error;
    ASSERT_TRUE(world->keyScript().Parse(c.keys, error)) << error;
    VesselState* launcher = world->Launcher();
    ASSERT_NE(nullptr, launcher);
    const double dt = world->dt;
    const double left = launcher->fuelMass / (launcher->maxThrust[ENGINE_MAIN] / launcher->isp);
    ASSERT_GT(left, 1.0);  // s of full thrust, more than the J case waits

    long release = FrameOf(1, dt);
    if (c.dry) {
      const long exhausted = FlyUntilEvent(*world, "propellant_exhausted", 60);
      EXPECT_NEAR(TimeOf(exhausted, dt) + dt / 2, left, dt / 2 + 1e-6);
      release = exhausted + 1;
    }
    const std::vector<HostEvent> events = FlyUntil(*world, TimeOf(release + 1, dt) + 5);
    const std::vector<HostEvent> created = EventsOfKind(events, "vessel_created");
    ASSERT_EQ(1u, created.size());  // the fairing left before the file was saved
    EXPECT_EQ("Vantor1-Sat", created[0].vessel);
    EXPECT_EQ("Relaysat", created[0].detail);
    EXPECT_NEAR(TimeOf(release, dt), created[0].time, dt / 2);
    ASSERT_NE(nullptr, world->focus());
    EXPECT_EQ("Vantor1-Sat", world->focus()->name);
    EXPECT_EQ(0.0, launcher->engineLevel[ENGINE_MAIN]);
    EXPECT_EQ(c.dry, launcher->fuelMass == 0.0);
  }
}

}  // namespace
